#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <regex>

#include "app/U_WspolneFunkcje.h"
#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ShellApi.h"
#include "tests/common/TestFiles.h"

namespace {

AnsiString Bytes(std::initializer_list<unsigned char> b)
{
    return AnsiString(b.begin(), b.end());
}

// The file as the old writer produced it: the text of the lines of a string
// list, scrambled without its last character, stored as one line.
AnsiString OldWriterBytes(const AnsiString& plain)
{
    TStringList lines;
    lines.SetText(plain);
    return ScrambleString(lines.Text(), "Halvrintosep") + "\r\n";
}

}  // namespace

TEST(SharedRoutines, ScrambleStringDropsLastCharacterAndIsItsOwnInverse)
{
    EXPECT_EQ(ScrambleString("", ScrambleKey), "");
    EXPECT_EQ(ScrambleString("x", ScrambleKey), "");
    // Characters 1 to 10 of the key amount to the byte 0x2E; 11 and 12 are not read.
    EXPECT_EQ(ScrambleString("abc", ScrambleKey), Bytes({0x4F, 0x4C}));
    EXPECT_EQ(ScrambleString("abc", "HalvrintosXY"), Bytes({0x4F, 0x4C}));
}

TEST(SharedRoutines, ScrambledFileBytes)
{
    struct Case { AnsiString plain; AnsiString bytes; };
    const Case cases[] = {
        {"ab\r\n", Bytes({0x4F, 0x4C, 0x23, 0x0D, 0x0A})},
        {"ab", Bytes({0x4F, 0x4C, 0x23, 0x0D, 0x0A})},            // last line without a break
        {"ab\nc\r", Bytes({0x4F, 0x4C, 0x23, 0x24, 0x4D, 0x23, 0x0D, 0x0A})},
        {"", Bytes({0x0D, 0x0A})},
        // "." scrambles to NUL, "#" and "$" to CR and LF.
        {".#$\r\n", Bytes({0x00, 0x0D, 0x0A, 0x23, 0x0D, 0x0A})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeScrambledText(c.plain), c.bytes) << c.plain;
        EXPECT_EQ(EncodeScrambledText(c.plain), OldWriterBytes(c.plain)) << c.plain;
    }
}

TEST(SharedRoutines, ScrambledFilesReadBackWhatWasWrittenInTheOldFormat)
{
    TTempDir dir("shared-routines-");
    const AnsiString texts[] = {
        "[Foldery]\r\nWykazy=\\\\serwer$\\normy\\Wykazy\\\r\nBaza=K:\\Dział #2\\baza.txt\r\n",
        "[Users]\r\nłukasz.żak=4\r\nmarek=0\r\n#\r\n",
        "$#.\r\n\r\n.\r\n",
        "",
    };
    for (const AnsiString& text : texts) {
        const AnsiString file = dir / "config.dat";
        WriteScrambledFile(file, text);
        EXPECT_EQ(LoadBytesFromFile(file), OldWriterBytes(text));
        SaveBytesToFile(file, OldWriterBytes(text));
        EXPECT_EQ(ReadScrambledFile(file), text);
    }
    // Bytes without the closing line break are read as they are.
    EXPECT_EQ(DecodeScrambledText(Bytes({0x4F, 0x4C})), "ab");
}

TEST(SharedRoutines, ScrambleConfigFileBothWays)
{
    TTempDir dir("shared-routines-");
    const AnsiString plain = "[Foldery]\r\nKopia=C:\\kopia.bazy\\$archiwum\\\r\n";
    SaveBytesToFile(dir / "config.ini", plain);
    ScrambleConfigFile(dir / "config.ini", true);
    EXPECT_EQ(LoadBytesFromFile(dir / "config.dat"), OldWriterBytes(plain));

    ScrambleConfigFile(dir / "config.dat", false);
    const AnsiString copy = PrivateTempFolder() + "config.ini";
    EXPECT_EQ(LoadBytesFromFile(copy), plain);
    DeleteFile(copy);

    // The plain copies live in a folder of the user's own, not in the shared one.
    struct stat st{};
    ASSERT_EQ(::stat(ToOsPath(PrivateTempFolder()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_NE(ExcludeTrailingPathDelimiter(PrivateTempFolder()), ExcludeTrailingPathDelimiter(GetTempDir()));

    EXPECT_THROW(ScrambleConfigFile(dir / "missing.ini", true), EFOpenError);
    EXPECT_THROW(ScrambleConfigFile(dir / "missing.dat", false), EFOpenError);
}

TEST(SharedRoutines, PlainCopyUpdatesTheStoredFileAndLeavesNothingBehind)
{
    TTempDir dir("shared-routines-");
    const AnsiString dat = dir / "users.dat";
    WriteScrambledFile(dat, "[Users]\r\nmarek=2\r\n");
    AnsiString copyName;
    {
        TPlainCopy copy(dat);
        copyName = copy.FileName();
        EXPECT_EQ(ExtractFilePath(copyName), PrivateTempFolder());
        {
            TIniFile ini(copy.FileName());
            EXPECT_EQ(ini.ReadInteger("Users", "marek", -1), 2);
            ini.WriteString("Users", "ewa", "D:\\dane.2024\\");
        }
        copy.Save();
    }
    EXPECT_FALSE(FileExists(copyName));
    SaveBytesToFile(dir / "check.ini", ReadScrambledFile(dat));
    TMemIniFile reread(dir / "check.ini");
    EXPECT_EQ(reread.ReadString("Users", "ewa", ""), "D:\\dane.2024\\");
    EXPECT_EQ(reread.ReadInteger("Users", "marek", -1), 2);
    EXPECT_THROW(TPlainCopy(dir / "none.dat"), EFOpenError);
}

TEST(SharedRoutines, QueryAddressKeepsTheNumberReadableAndTheQueryIntact)
{
    const AnsiString head = "https://sklep.pkn.pl/index.php?m=product&a=find&cmd=&pfsymbol=";
    const AnsiString tail = "&pfics=&pfsymbolopt=e&pfname=&pfnameopt=e&pfreplace=&pfinsert=&pfreplaceopt=e"
                            "&pfinsertopt=e&pfisbn=&pfkt=&pfnormyopt=a&pfrows=50&submit=Szukaj";
    struct Case { AnsiString number; AnsiString inUrl; };
    const Case cases[] = {
        {"PN-EN 10088-1:2007", "PN-EN 10088-1:2007"},
        {"PN-EN ISO 9001:2015/A1", "PN-EN ISO 9001:2015/A1"},
        {"PN-H-84020:1974&pfrows=1", "PN-H-84020:1974%26pfrows=1"},
        {"A+B #1 100%", "A%2BB %231 100%25"},
        {"BN-\t\r\n", "BN-%09%0D%0A"},
        {"PN-M-ą", "PN-M-%C4%85"},
        {"Zakładowa Ż", "Zak%C5%82adowa %C5%BB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildCatalogQueryUrl(c.number), head + c.inUrl + tail) << c.number;
}

TEST(SharedRoutines, ColorToHtml)
{
    EXPECT_EQ(ColorToHtml(255), "#FF0000");
    EXPECT_EQ(ColorToHtml(32768), "#008000");
    EXPECT_EQ(ColorToHtml(16711680), "#0000FF");
    EXPECT_EQ(ColorToHtml(0x00123456), "#563412");
    // A system colour gives its current value, in both high-byte forms.
    const AnsiString btnFace = ColorToHtml(static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(ColorToHtml(static_cast<std::int32_t>(0xFF00000F)), btnFace);
    EXPECT_TRUE(std::regex_match(btnFace, std::regex("#[0-9A-F]{6}")));
}

TEST(SharedRoutines, DesktopLauncher)
{
    TTempDir dir("shared-routines-");
    const AnsiString desktop = dir / "Pulpit";
    CreateShortcut("/opt/Velmarok Normy/velmarok", desktop, "Velmarok Polskich Norm");
    const AnsiString file = desktop + "/Velmarok Polskich Norm.desktop";
    ASSERT_TRUE(FileExists(file));
    EXPECT_EQ(LoadBytesFromFile(file),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Velmarok Polskich Norm\n"
              "Comment=Uruchom program Velmarok Polskich Norm\n"
              "Exec=\"/opt/Velmarok Normy/velmarok\"\n"
              "Path=/opt/Velmarok Normy\n"
              "Icon=velmarok\n"
              "Terminal=false\n");
    struct stat st{};
    ASSERT_EQ(::stat(ToOsPath(file).c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);

    // Characters the launcher format gives a meaning to are escaped; the
    // texts are UTF-8.
    const std::string text = ShortcutText("/home/ł$x/50%/a\"b`c", "Normy\nżółte", "velmarok");
    EXPECT_NE(text.find("Exec=\"/home/" + AnsiToUtf8("ł") + "\\\\$x/50%%/a\\\\\"b\\\\`c\"\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Name=Normy\\n" + AnsiToUtf8("żółte") + "\n"), std::string::npos) << text;

    // The program's icon: beside the program, else installed beside its bin folder, else by name.
    const AnsiString prefix = dir / "usr";
    ForceDirectories(prefix + "/bin");
    ForceDirectories(prefix + "/share/icons/hicolor/scalable/apps");
    const struct {
        const char* Where;
        AnsiString Icon;
    } icons[] = {
        {"", "velmarok"},
        {"/share/icons/hicolor/scalable/apps/velmarok.svg", prefix + "/share/icons/hicolor/scalable/apps/velmarok.svg"},
        {"/bin/velmarok.svg", prefix + "/bin/velmarok.svg"},
    };
    for (const auto& i : icons) {
        if (*i.Where)
            SaveBytesToFile(prefix + i.Where, "<svg/>");
        CreateShortcut(prefix + "/bin/velmarok", desktop, "Ikona");
        EXPECT_NE(LoadBytesFromFile(desktop + "/Ikona.desktop").find("\nIcon=" + i.Icon + "\n"), AnsiString::npos)
            << i.Icon;
    }

    // A name with path delimiters stays inside the folder.
    CreateShortcut("/opt/v/velmarok", desktop, "a/b");
    EXPECT_TRUE(FileExists(desktop + "/a_b.desktop"));

    // The desktop folder is named without a trailing delimiter; an unknown folder gives "".
    const AnsiString home = GetSpecialFolderPath(CSIDL_DESKTOP);
    EXPECT_FALSE(home.empty());
    EXPECT_NE(home.back(), '/');
    EXPECT_EQ(GetSpecialFolderPath(0x7777), "");
}

TEST(SharedRoutines, VersionOfTheBuild)
{
    EXPECT_TRUE(std::regex_match(GetExeVersion(), std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+")));
    EXPECT_EQ(GetExeVersion(), VELMAROK_VERSION);
}
