#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ShellApi.h"
#include "tests/common/TestFiles.h"

namespace {

struct Shell : ::testing::Test {
    std::vector<AnsiString> opened;
    void SetUp() override
    {
        SetShellOpenHook([this](const AnsiString& t) { opened.push_back(t); return true; });
    }
    void TearDown() override { SetShellOpenHook(nullptr); }
    static void Touch(const AnsiString& name) { std::ofstream(ToOsPath(name)) << "x"; }
};

}  // namespace

TEST_F(Shell, AddressesAndTheProgramsOwnFilesOpenEverythingElseIsRefused)
{
    AnsiString exeDir = ExtractFilePath(Application->ExeName());
    AnsiString own = exeDir + "shell-test-" + IntToStr(getpid()) + ".txt";
    AnsiString outside = "/tmp/velmarok-shell-" + IntToStr(getpid()) + ".txt";
    AnsiString written = "/tmp/velmarok-shell-written-" + IntToStr(getpid()) + ".csv";
    AnsiString link = exeDir + "shell-link-" + IntToStr(getpid()) + ".txt";
    for (const AnsiString& name : {own, outside, written})
        Touch(name);
    ASSERT_EQ(0, symlink(ToOsPath(outside).c_str(), ToOsPath(link).c_str()));
    ShellRegisterWrittenFile(written);

    struct Case { AnsiString op, file, dir; bool ok; int error; AnsiString target; } cases[] = {
        {"open", "http://example.org/normy?id=1", "", true, 0, "http://example.org/normy?id=1"},
        {"open", "HTTPS://example.org", "", true, 0, "HTTPS://example.org"},
        {"", "mailto:biuro@example.org", "", true, 0, "mailto:biuro@example.org"},
        {"open", own, "", true, 0, own},
        {"open", ExtractFileName(own), exeDir, true, 0, own},
        {"open", written, "", true, 0, written},
        {"open", outside, "", false, SE_ERR_ACCESSDENIED, ""},
        {"open", link, "", false, SE_ERR_ACCESSDENIED, ""},
        {"open", "/etc/passwd", "", false, SE_ERR_ACCESSDENIED, ""},
        {"open", "file:///etc/passwd", "", false, SE_ERR_ACCESSDENIED, ""},
        {"open", "javascript:alert(1)", "", false, SE_ERR_ACCESSDENIED, ""},
        {"open", "mailto:a@example.org?subject=x&Attach=/etc/passwd", "", false, SE_ERR_ACCESSDENIED, ""},
        {"open", "/tmp/nie-ma-takiego-pliku.txt", "", false, SE_ERR_FNF, ""},
        {"print", own, "", false, SE_ERR_NOASSOC, ""},
        {"open", "", "", false, SE_ERR_FNF, ""},
    };
    for (const Case& c : cases) {
        opened.clear();
        std::intptr_t rc = ShellExecute(0, c.op, c.file, "", c.dir, SW_SHOWNORMAL);
        if (c.ok) {
            EXPECT_GT(rc, 32) << c.file;
            ASSERT_EQ(1u, opened.size()) << c.file;
            EXPECT_EQ(c.target, opened[0]);
        } else {
            EXPECT_EQ(c.error, rc) << c.file;
            EXPECT_TRUE(opened.empty()) << c.file;
        }
    }
    // The opener failing is an error too.
    SetShellOpenHook([](const AnsiString&) { return false; });
    EXPECT_EQ(SE_ERR_NOASSOC, ShellExecute(0, "open", "http://example.org", "", "", SW_SHOW));

    for (const AnsiString& name : {own, outside, written, link})
        DeleteFile(name);
}

TEST_F(Shell, TheDesktopsOpenerIsAskedAndItsFailureIsReported)
{
    // A stand-in opener on the search path: it writes down what it was given and ends as told.
    TTempDir dir("velmarok-opener");
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    const AnsiString file = FromOsPath(dir / "lista.html");
    Touch(file);
    ShellRegisterWrittenFile(file);
    struct Case {
        const char* What;
        const char* Script;   // nullptr: no opener at all
        AnsiString Target;
        std::string Given;
        bool Opened;
    };
    const Case cases[] = {
        {"an address", "exit 0", "https://velmarok.invalid/pomoc?a=ó b", "https://velmarok.invalid/pomoc?a=%C3%B3%20b",
         true},
        {"a file", "exit 0", file, dir / "lista.html", true},
        {"nothing opens it", "exit 3", "mailto:dzial@velmarok.invalid", "mailto:dzial@velmarok.invalid", false},
        {"no opener", nullptr, "https://velmarok.invalid/", "", false},
    };
    SetShellOpenHook(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        std::filesystem::remove(dir / "xdg-open");
        std::filesystem::remove(dir / "given");
        if (c.Script) {
            WriteFileBytes(dir / "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + (dir / "given") + "'\n" + c.Script + "\n");
            std::filesystem::permissions(dir / "xdg-open", std::filesystem::perms::owner_all);
        }
        setenv("PATH", dir.Path.c_str(), 1);
        const std::intptr_t result = ShellExecute(0, "open", c.Target, "", "", SW_SHOWNORMAL);
        setenv("PATH", oldPath.c_str(), 1);
        EXPECT_EQ(result > 32, c.Opened) << result;
        if (!c.Opened) { EXPECT_EQ(result, SE_ERR_NOASSOC); }
        EXPECT_EQ(ReadFileBytes(dir / "given"), c.Given);
    }
}

TEST_F(Shell, SpecialFoldersAndDroppedFiles)
{
    AnsiString desktop;
    EXPECT_TRUE(SHGetSpecialFolderPath(0, desktop, CSIDL_DESKTOP, false));
    EXPECT_FALSE(desktop.empty());
    EXPECT_NE('/', desktop.back());
    AnsiString same;
    EXPECT_TRUE(SHGetSpecialFolderPath(0, same, CSIDL_DESKTOPDIRECTORY, false));
    EXPECT_EQ(desktop, same);
    AnsiString none = "unchanged";
    EXPECT_FALSE(SHGetSpecialFolderPath(0, none, 0x7777, false));
    EXPECT_EQ("unchanged", none);

    // The login's desktop folder as its user folders name it, else ~/Desktop; where it does not
    // exist, the home folder.
    TTempDir home("velmarok-home");
    const std::string oldHome = getenv("HOME"), oldConfig = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    setenv("HOME", home.Path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    std::filesystem::create_directories(home / ".config");
    const struct {
        const char* Named;   // XDG_DESKTOP_DIR of the user folders ("": no such file)
        const char* Made;    // folder made under the home folder
        const char* Want;    // under the home folder
    } desktops[] = {
        {"$HOME/Pulpit", "Pulpit", "/Pulpit"}, {"$HOME/Pulpit", "", ""},
        {"", "Desktop", "/Desktop"},           {"", "", ""},
    };
    for (const auto& d : desktops) {
        SCOPED_TRACE(std::string(d.Named) + " " + d.Made);
        std::filesystem::remove(home / ".config/user-dirs.dirs");
        std::filesystem::remove_all(home / "Pulpit");
        std::filesystem::remove_all(home / "Desktop");
        if (*d.Named)
            WriteFileBytes(home / ".config/user-dirs.dirs", std::string("XDG_DESKTOP_DIR=\"") + d.Named + "\"\n");
        if (*d.Made)
            std::filesystem::create_directories(home.Path / d.Made);
        for (const int folder : {CSIDL_DESKTOP, CSIDL_DESKTOPDIRECTORY}) {
            EXPECT_TRUE(SHGetSpecialFolderPath(0, desktop, folder, false));
            EXPECT_EQ(desktop, FromOsPath(home.Path.string()) + d.Want);
        }
    }
    // Asked to make it, the desktop folder is made where the user folders name it.
    WriteFileBytes(home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Pulpit\"\n");
    EXPECT_TRUE(SHGetSpecialFolderPath(0, desktop, CSIDL_DESKTOP, true));
    EXPECT_EQ(desktop, FromOsPath(home.Path.string()) + "/Pulpit");
    EXPECT_TRUE(std::filesystem::is_directory(home / "Pulpit"));
    setenv("HOME", oldHome.c_str(), 1);
    if (oldConfig.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);

    TForm form(nullptr);
    std::vector<AnsiString> got;
    TPoint where;
    EXPECT_FALSE(DropFilesOn(&form, {"/tmp/a.txt"}, TPoint(1, 2)));
    DragAcceptFiles(&form, true, [&](TWinControl* sender, TStrings* files, TPoint pos) {
        EXPECT_EQ(&form, sender);
        for (int i = 0; i < files->Count(); ++i)
            got.push_back(files->Strings(i));
        where = pos;
    });
    EXPECT_TRUE(DropFilesOn(&form, {"/tmp/a.txt", "/tmp/żółw.csv"}, TPoint(5, 7)));
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ("/tmp/żółw.csv", got[1]);
    EXPECT_EQ(5, where.X);
    EXPECT_EQ(7, where.Y);
    DragAcceptFiles(&form, false);
    EXPECT_FALSE(DropFilesOn(&form, {"/tmp/a.txt"}, TPoint(1, 2)));
}
