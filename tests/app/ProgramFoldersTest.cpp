#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "app/MainVars.h"
#include "app/ProgramFolders.h"
#include "platform/core/SysUtils.h"
#include "tests/common/TestFiles.h"

TEST(ProgramFolders, InstalledDataLiesBesideTheProgramsFolderAtAnyPrefix)
{
    EXPECT_EQ(InstalledDataFolder("/usr/bin/"), "/usr/share/velmarok/");
    EXPECT_EQ(InstalledDataFolder("/opt/velmarok/bin"), "/opt/velmarok/share/velmarok/");
    EXPECT_EQ(InstalledDataFolder("/home/jan/.local/bin//"), "/home/jan/.local/share/velmarok/");
}

TEST(ProgramFolders, ShippedFilesBesideTheProgramComeFirstThenTheInstalledOnes)
{
    TTempDir dir("velmarok-shipped");
    const AnsiString oldExe = ExeFolder;
    ExeFolder = FromOsPath(dir / "bin") + "/";
    ForceDirectories(FromOsPath(dir / "share/velmarok/help"));
    SaveBytesToFile(FromOsPath(dir / "share/velmarok/help/tyrvenhold.html"), "installed");
    EXPECT_EQ(LoadBytesFromFile(ShippedFile("help\\tyrvenhold.html")), "installed");
    ForceDirectories(FromOsPath(dir / "bin/help"));
    SaveBytesToFile(FromOsPath(dir / "bin/help/tyrvenhold.html"), "beside");
    EXPECT_EQ(LoadBytesFromFile(ShippedFile("help\\tyrvenhold.html")), "beside");
    // In neither place: the name beside the program, for the message that it is missing.
    EXPECT_EQ(ShippedFile("Importuj\\CZYTAJ TO !!!.htm"), ExeFolder + "Importuj\\CZYTAJ TO !!!.htm");
    ExeFolder = oldExe;
}

TEST(ProgramFolders, TheNamedFolderTheDepartmentsOrTheProgramsNeverAPrivateCopy)
{
    TTempDir dir("velmarok-folder");
    const AnsiString root = FromOsPath(dir.Path.string()) + "/";
    for (const char* folder : {"usr/bin", "usr/share/velmarok", "opt/bin", "plain"})
        ForceDirectories(root + folder);
    struct Case {
        const char* What;
        std::optional<AnsiString> Named;   // VELMAROK_FOLDER, unset when empty
        AnsiString Exe;
        AnsiString Folder;
    };
    const Case cases[] = {
        {"named", root + "dzial", root + "usr/bin/", root + "dzial/"},
        {"named with its slash", root + "dzial/", root + "plain/", root + "dzial/"},
        {"named empty", "", root + "plain", root + "plain/"},
        {"installed", {}, root + "usr/bin/", DepartmentFolder},
        {"installed, without the slash", {}, root + "usr/bin", DepartmentFolder},
        {"a bin folder without installed data", {}, root + "opt/bin/", root + "opt/bin/"},
        {"a plain folder", {}, root + "plain/", root + "plain/"},
        {"a folder nobody may write in", {}, "/proc/", "/proc/"},
    };
    const char* old = std::getenv("VELMAROK_FOLDER");
    const std::string saved = old ? old : "";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        if (c.Named)
            ::setenv("VELMAROK_FOLDER", c.Named->c_str(), 1);
        else
            ::unsetenv("VELMAROK_FOLDER");
        EXPECT_EQ(ChooseProgramFolder(c.Exe), c.Folder);
    }
    if (old)
        ::setenv("VELMAROK_FOLDER", saved.c_str(), 1);
    else
        ::unsetenv("VELMAROK_FOLDER");
    EXPECT_FALSE(DirectoryExists(root + "dzial"));   // chosen, not made
}
