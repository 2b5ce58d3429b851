#include <gtest/gtest.h>

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
