#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"
#include "platform/core/IniFiles.h"
#include "platform/core/FileBytes.h"
#include "platform/core/SysUtils.h"
#include "tests/common/TestFiles.h"

namespace {

class PolishSettings : public ::testing::Test {
protected:
    void SetUp() override { ResetFormatSettings(); }
    void TearDown() override { ResetFormatSettings(); }
};

// A fresh folder under the system temp folder ("/tmp/coretest.../"), removed afterwards.
class TempFolder : public PolishSettings {
protected:
    void Write(const AnsiString& name, const std::string& bytes) { WriteFileBytes(ToOsPath(name), bytes); }
    std::string Read(const AnsiString& name) { return ReadFileBytes(ToOsPath(name)); }
    TTempDir Temp{"coretest"};
    AnsiString dir = FromOsPath(Temp.Path.string()) + "/";
};

}   // namespace

using Numbers = PolishSettings;

TEST_F(Numbers, StrToIntAcceptsDecimalAndHexAndRejectsTheRest)
{
    struct Case { const char* text; bool ok; int value; } cases[] = {
        {"42", true, 42},        {"  -17 ", true, -17},   {"+5", true, 5},
        {"$1F", true, 31},       {"0x1f", true, 31},      {"$FFFFFFFF", true, -1},
        {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0}, {"abc", false, 0},     {"", false, 0},
        {"12a", false, 0},       {"1 2", false, 0},       {"$", false, 0}, {"-", false, 0},
    };
    for (auto& c : cases) {
        int v = -999;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) { EXPECT_EQ(v, c.value) << c.text; }
        EXPECT_EQ(StrToIntDef(c.text, -999), c.ok ? c.value : -999) << c.text;
    }
    try {
        StrToInt("abc");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' nie jest prawidłową liczbą całkowitą");
    }
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(IntToStr(-12345), "-12345");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
}

TEST_F(Numbers, FloatTextUsesTheDecimalSeparatorOnly)
{
    struct Case { const char* text; bool ok; double value; } cases[] = {
        {"1,5", true, 1.5},   {" -0,25 ", true, -0.25}, {",5", true, 0.5},  {"3", true, 3},
        {"1,5E3", true, 1500}, {"2e-2", true, 0.02},    {"1.5", false, 0},   {"1 000,5", false, 0},
        {"1\xA0" "000", false, 0}, {"", false, 0},      {",", false, 0},     {"1e", false, 0},
        {"abc", false, 0},    {"1e999", false, 0},
    };
    for (auto& c : cases) {
        double v = -1;
        EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << c.text;
        if (c.ok) { EXPECT_DOUBLE_EQ(v, c.value) << c.text; }
    }
    FormatSettings.DecimalSeparator = '.';
    EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloatDef("x", 7), 7);
}

TEST_F(Numbers, FloatToStrHasFifteenSignificantDigits)
{
    struct Case { double v; const char* text; } cases[] = {
        {1.5, "1,5"},           {1e20, "1E20"},         {0.0001, "0,0001"},    {0.00001, "1E-5"},
        {0.1, "0,1"},           {-2.5, "-2,5"},         {0, "0"},              {100, "100"},
        {1.0 / 3, "0,333333333333333"}, {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1,23456789012346E15"}, {0.1 + 0.2, "0,3"}, {1.23e-7, "1,23E-7"},
        {2.5e-5, "2,5E-5"},     {0.000123, "0,000123"},
    };
    for (auto& c : cases) EXPECT_EQ(FloatToStr(c.v), c.text) << c.v;
    EXPECT_EQ(FloatToStr(NAN), "NAN");
    EXPECT_EQ(FloatToStr(-INFINITY), "-INF");
    FormatSettings.DecimalSeparator = '.';
    EXPECT_EQ(FloatToStr(1.5), "1.5");
}

using Strings = PolishSettings;

TEST_F(Strings, CopyDeleteInsertClampLikeTheFramework)
{
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    EXPECT_EQ(Copy("abcdef", 2, -1), "");
    AnsiString s = "abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "adef");
    Delete(s, 0, 2);
    EXPECT_EQ(s, "adef");
    Delete(s, 3, 100);
    EXPECT_EQ(s, "ad");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "aXYd");
    Insert("!", s, 100);
    EXPECT_EQ(s, "aXYd!");
    EXPECT_EQ(Pos("cd", "abcdcd"), 3);
    EXPECT_EQ(PosEx("cd", "abcdcd", 4), 5);
    EXPECT_EQ(PosEx("cd", "abcdcd", 0), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Pos("x", "abc"), 0);
}

TEST_F(Strings, TrimCaseReplaceAndQuotes)
{
    EXPECT_EQ(Trim(" \t ab c\r\n"), "ab c");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(UpperCase("zażółć"), "ZAżółć");
    EXPECT_EQ(AnsiUpperCase("zażółć gęślą jaźń"), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ");
    EXPECT_EQ(AnsiLowerCase("ZAŻÓŁĆ GĘŚLĄ JAŹŃ"), "zażółć gęślą jaźń");
    EXPECT_TRUE(SameText("Abc", "aBC"));
    EXPECT_FALSE(SameText("Abc", "aBCd"));
    EXPECT_TRUE(AnsiSameText("ŁÓDŹ", "łódź"));
    EXPECT_LT(CompareStr("B", "a"), 0);
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", 0), "a+b-c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
    EXPECT_EQ(StringReplace("Ąa ąA", "ąa", "x", rfReplaceAll | rfIgnoreCase), "x x");
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("'it''s'", '\''), "it's");
    EXPECT_EQ(AnsiDequotedStr("'open", '\''), "'open");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
    EXPECT_EQ(AdjustLineBreaks("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(LastDelimiter("\\/", "a\\b/c"), 4);
    EXPECT_TRUE(IsDelimiter(",;", "a;b", 2));
    EXPECT_FALSE(IsDelimiter(",;", "a;b", 4));
    EXPECT_EQ(WrapText("alpha beta gamma", 11), "alpha beta \r\ngamma");
    EXPECT_EQ(StrToBool("true"), true);
    EXPECT_EQ(StrToBool("0"), false);
    EXPECT_THROW(StrToBool("maybe"), EConvertError);
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false, true), "False");
}

TEST(Rects, HelpersFollowWindows)
{
    TRect r;
    EXPECT_TRUE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
    EXPECT_EQ(r, Rect(5, 5, 10, 10));
    EXPECT_FALSE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
    EXPECT_EQ(r, TRect());
    EXPECT_TRUE(UnionRect(r, Rect(0, 0, 0, 0), Rect(1, 1, 2, 2)));
    EXPECT_EQ(r, Rect(1, 1, 2, 2));
    EXPECT_TRUE(PtInRect(Rect(0, 0, 10, 10), Point(0, 9)));
    EXPECT_FALSE(PtInRect(Rect(0, 0, 10, 10), Point(10, 5)));
    r = Rect(0, 0, 10, 10);
    InflateRect(r, 2, -1);
    OffsetRect(r, 1, 1);
    EXPECT_EQ(r, Rect(-1, 2, 13, 10));
    EXPECT_EQ(MulDiv(10, 3, 4), 8);     // 7.5 rounds up
    EXPECT_EQ(MulDiv(-10, 3, 4), -8);
    EXPECT_EQ(MulDiv(96, 120, 96), 120);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(INT32_MAX, 4, 1), -1);
}

using Paths = PolishSettings;

TEST_F(Paths, PathPartsWithEitherDelimiter)
{
    struct Case { const char* name; const char* path; const char* dir; const char* file; const char* ext; } cases[] = {
        {"C:\\Program\\Wykazy\\lista.txt", "C:\\Program\\Wykazy\\", "C:\\Program\\Wykazy", "lista.txt", ".txt"},
        {"/home/u/Wykazy/lista.dat", "/home/u/Wykazy/", "/home/u/Wykazy", "lista.dat", ".dat"},
        {"Wykazy\\", "Wykazy\\", "Wykazy", "", ""},
        {"a.b\\plik", "a.b\\", "a.b", "plik", ""},
        {"/plik.x", "/", "/", "plik.x", ".x"},
        {"plik", "", "", "plik", ""},
        {"mixed/dir\\file.tar.gz", "mixed/dir\\", "mixed/dir", "file.tar.gz", ".gz"},
        {"/srv/Wykazy/Skala_1:10.txt", "/srv/Wykazy/", "/srv/Wykazy", "Skala_1:10.txt", ".txt"},
        {"Wykazy\\01_02_2024_10:15:00.txt", "Wykazy\\", "Wykazy", "01_02_2024_10:15:00.txt", ".txt"},
        {"a.b:c", "", "", "a.b:c", ".b:c"},
        {"C:lista.txt", "C:", "C:", "lista.txt", ".txt"},
        {"C:\\lista", "C:\\", "C:\\", "lista", ""},
    };
    for (auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    }
    EXPECT_EQ(ChangeFileExt("a.b\\plik", ".ini"), "a.b\\plik.ini");
    EXPECT_EQ(ChangeFileExt("dir/plik.txt", ".bak"), "dir/plik.bak");
    EXPECT_EQ(ChangeFileExt("dir/Skala_1:10.txt", ""), "dir/Skala_1:10");
    EXPECT_EQ(IncludeTrailingPathDelimiter("Wykazy"), "Wykazy\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/x"), "/tmp/x/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/x/"), "/tmp/x");
    EXPECT_EQ(ExpandFileName("/a/b/../c/./d.txt"), "/a/c/d.txt");
    EXPECT_EQ(ExpandFileName("\\a\\b\\"), "/a/b/");
    EXPECT_EQ(ExpandFileName("x.txt"), GetCurrentDir() + "/x.txt");
    EXPECT_TRUE(MatchesMask("Lista.TXT", "*.txt"));
    EXPECT_TRUE(MatchesMask("ŁÓDŹ.dat", "łódź.*"));
    EXPECT_TRUE(MatchesMask("a1b", "a?b"));
    EXPECT_FALSE(MatchesMask("a.txt.bak", "*.txt"));
    EXPECT_TRUE(MatchesMask("noext", "*.*"));
}

using Files = TempFolder;

TEST_F(Files, NameIsFoundWhateverItsCase)
{
    const AnsiString name = dir + "Wykonanie_z_uszczelką.txt";
    Write(name, "abc");
    EXPECT_TRUE(FileExists(name));
    // On disk the name is UTF-8.
    EXPECT_EQ(::access((AnsiToUtf8(dir) + "Wykonanie_z_uszczelk\xC4\x85.txt").c_str(), F_OK), 0);
    EXPECT_TRUE(FileExists(dir + "WYKONANIE_Z_USZCZELKĄ.TXT"));
    EXPECT_EQ(FileSizeOf(dir + "wykonanie_z_uszczelką.TXT"), 3);
    EXPECT_FALSE(FileExists(dir + "WYKONANIE_Z_USZCZELKA.TXT"));
    // A folder in between is matched too, with "\" delimiters.
    ASSERT_TRUE(ForceDirectories(dir + "Wykazy\\Źródła"));
    Write(dir + "Wykazy\\Źródła\\Default.dat", "x");
    EXPECT_TRUE(FileExists(dir + "WYKAZY\\źródła\\default.DAT"));
    EXPECT_TRUE(DirectoryExists(dir + "wykazy/ŹRÓDŁA/"));
    EXPECT_FALSE(DirectoryExists(dir + "wykazy/ŹRÓDŁA/default.dat"));
    EXPECT_FALSE(FileExists(dir + "wykazy"));
    auto list = ListDirectory(dir + "WYKAZY\\ŹRÓDŁA", "*.dat");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, "Default.dat");
    EXPECT_EQ(list[0].Size, 1);
    EXPECT_FALSE(list[0].Directory);
    auto all = ListDirectory(dir);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Name, "Wykazy");
    EXPECT_TRUE(all[0].Directory);
    EXPECT_EQ(all[1].Name, "Wykonanie_z_uszczelką.txt");
}

TEST_F(Files, CopyRenameDeleteKeepDataSafe)
{
    Write(dir + "a.txt", "first");
    Write(dir + "b.txt", "second");
    EXPECT_FALSE(CopyFile(dir + "A.TXT", dir + "b.txt", true));
    EXPECT_EQ(Read(dir + "b.txt"), "second");
    EXPECT_TRUE(CopyFile(dir + "A.TXT", dir + "B.txt", false));   // replaces b.txt, the existing name
    EXPECT_EQ(Read(dir + "b.txt"), "first");
    EXPECT_FALSE(FileExists(dir + "B.txt") && ListDirectory(dir).size() != 2);
    EXPECT_FALSE(CopyFile(dir + "missing.txt", dir + "c.txt", false));
    EXPECT_FALSE(FileExists(dir + "c.txt"));

    // An existing target is not replaced; a change of case is a rename.
    EXPECT_FALSE(RenameFile(dir + "a.txt", dir + "b.txt"));
    EXPECT_EQ(Read(dir + "b.txt"), "first");
    EXPECT_FALSE(RenameFile(dir + "a.txt", dir + "B.TXT"));
    EXPECT_TRUE(RenameFile(dir + "a.txt", dir + "A.txt"));
    auto list = ListDirectory(dir, "a.*");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, "A.txt");
    EXPECT_TRUE(RenameFile(dir + "a.TXT", dir + "ć.txt"));
    EXPECT_EQ(Read(dir + "Ć.txt"), "first");
    EXPECT_FALSE(RenameFile(dir + "none", dir + "x"));

    EXPECT_TRUE(DeleteFile(dir + "Ć.TXT"));
    EXPECT_FALSE(DeleteFile(dir + "ć.txt"));
    ASSERT_TRUE(CreateDir(dir + "Sub"));
    EXPECT_FALSE(CreateDir(dir + "SUB"));
    EXPECT_FALSE(DeleteFile(dir + "sub"));
    EXPECT_TRUE(RemoveDir(dir + "sub\\"));
    EXPECT_FALSE(DirectoryExists(dir + "Sub"));
    EXPECT_EQ(FileSizeOf(dir + "gone"), -1);
    EXPECT_EQ(FileAge(dir + "gone"), -1);
}

namespace {
// Every way the layer writes a whole file.
struct TWriter { const char* Name; std::function<void(const AnsiString& File, const std::string& Bytes)> Write; };
std::vector<TWriter> Writers(const AnsiString& dir)
{
    return {
        {"SaveBytesToFile", [](const AnsiString& f, const std::string& b) { SaveBytesToFile(f, b); }},
        {"TStringList", [](const AnsiString& f, const std::string& b) {
             TStringList l;
             l.SetText(b);
             l.SaveToFile(f);
         }},
        {"TFileStream", [](const AnsiString& f, const std::string& b) {
             TFileStream s(f, fmCreate);
             s.WriteBuffer(b.data(), Int64(b.size()));
         }},
        {"CopyFile", [dir](const AnsiString& f, const std::string& b) {
             SaveBytesToFile(dir + "source.txt", b);
             if (!CopyFile(dir + "source.txt", f, false))
                 throw EFCreateError("copy failed");
         }},
        {"TIniFile", [](const AnsiString& f, const std::string& b) { TIniFile(f).WriteString("S", "k", b); }},
        {"TReplacingFile", [](const AnsiString& f, const std::string& b) {
             TReplacingFile file(f);
             file.Write(std::string_view(b).substr(0, b.size() / 2));
             file.Write(std::string_view(b).substr(b.size() / 2));
             file.Commit();
         }},
    };
}
}   // namespace

TEST_F(Files, WritesGoThroughLinksAndLeaveReadOnlyFilesAlone)
{
    const std::vector<TWriter> writers = Writers(dir);
    const std::string os = ToOsPath(dir);
    ASSERT_EQ(::mkdir((os + "real").c_str(), 0700), 0);
    for (const TWriter& w : writers) {
        SCOPED_TRACE(w.Name);
        // A link (relative, absolute, a chain, one to a file not there yet) keeps pointing at the real file.
        Write(dir + "real/catalogue.txt", "old\r\n");
        for (const char* name : {"rel.txt", "abs.txt", "chain.txt", "new.txt", "real/later.txt"})
            ::unlink((os + name).c_str());
        ASSERT_EQ(::symlink("real/catalogue.txt", (os + "rel.txt").c_str()), 0);
        ASSERT_EQ(::symlink((os + "real/catalogue.txt").c_str(), (os + "abs.txt").c_str()), 0);
        ASSERT_EQ(::symlink("rel.txt", (os + "chain.txt").c_str()), 0);
        ASSERT_EQ(::symlink("real/later.txt", (os + "new.txt").c_str()), 0);
        for (const char* link : {"rel.txt", "abs.txt", "chain.txt", "new.txt"}) {
            w.Write(dir + link, std::string("v=") + link);
            struct stat st {};
            ASSERT_EQ(::lstat((os + link).c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
            EXPECT_NE(Read(dir + link).find(link), std::string::npos) << link;
        }
        EXPECT_NE(Read(dir + "real/catalogue.txt").find("chain.txt"), std::string::npos);
        EXPECT_NE(Read(dir + "real/later.txt").find("new.txt"), std::string::npos);

        // A read-only file in a writable folder is refused, even through a link, and stays as it was.
        Write(dir + "locked.txt", "[S]\r\nk=locked\r\n");
        ASSERT_EQ(::chmod((os + "locked.txt").c_str(), 0444), 0);
        ::unlink((os + "to-locked.txt").c_str());
        ASSERT_EQ(::symlink("locked.txt", (os + "to-locked.txt").c_str()), 0);
        for (const char* name : {"locked.txt", "to-locked.txt"})
            EXPECT_ANY_THROW(w.Write(dir + name, "new")) << name;
        EXPECT_EQ(Read(dir + "locked.txt"), "[S]\r\nk=locked\r\n");
        ::chmod((os + "locked.txt").c_str(), 0644);
        ::unlink((os + "locked.txt").c_str());
    }
    // A file written in part and given up leaves the target as it was.
    {
        TReplacingFile file(dir + "real/catalogue.txt");
        file.Write("half");
    }
    EXPECT_NE(Read(dir + "real/catalogue.txt").find("chain.txt"), std::string::npos);
    // Nothing but what the writers wrote is left in the folders (no temporary files).
    auto list = ListDirectory(dir + "real");
    ASSERT_EQ(list.size(), 2u);
    try {
        Write(dir + "ro.txt", "x");
        ::chmod((os + "ro.txt").c_str(), 0444);
        SaveBytesToFile(dir + "ro.txt", "y");
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + dir + "ro.txt\". Access is denied");
    }
}

TEST_F(Files, WhatIsMadeInASharedFolderIsTheGroupsToWriteAndAReplacedFileKeepsItsGroupAndMode)
{
    const std::string os = ToOsPath(dir);
    TSharedFolder shared(os + "dzial");
    const AnsiString in = dir + "dzial/";
    using TMode = std::pair<mode_t, gid_t>;
    const gid_t own = ::getegid();
    for (const TWriter& w : Writers(dir)) {
        SCOPED_TRACE(w.Name);
        const AnsiString name = w.Name;
        // New: in the shared folder for the group to write, elsewhere by the umask.
        w.Write(in + "new-" + name, "a");
        EXPECT_EQ(TSharedFolder::ModeAndGroup(ToOsPath(in + "new-" + name)), TMode(0664, shared.Group));
        w.Write(dir + "new-" + name, "a");
        EXPECT_EQ(TSharedFolder::ModeAndGroup(ToOsPath(dir + "new-" + name)), TMode(0644, own));
        // Replaced: the old file's mode, and its group where the login may give it.
        for (const AnsiString& folder : {in, dir}) {
            const std::string old = ToOsPath(folder + "old-" + name);
            const gid_t group = shared.OtherGroup ? shared.OtherGroup : own;
            for (const mode_t mode : {mode_t(0660), mode_t(0666)}) {
                SaveBytesToFile(folder + "old-" + name, "old");
                ASSERT_EQ(::chown(old.c_str(), uid_t(-1), group), 0);
                ASSERT_EQ(::chmod(old.c_str(), mode), 0);
                w.Write(folder + "old-" + name, "new");
                EXPECT_EQ(TSharedFolder::ModeAndGroup(old), TMode(mode, group)) << old;
                EXPECT_NE(Read(folder + "old-" + name).find("new"), std::string::npos);
            }
        }
    }
    // Folders: shared in turn in the shared folder, by the umask elsewhere; a file opened where
    // it is keeps its mode.
    ASSERT_TRUE(ForceDirectories(in + "Wykazy/Stare"));
    ASSERT_TRUE(CreateDir(in + "Ustawienia"));
    ASSERT_TRUE(ForceDirectories(dir + "prywatne/a"));
    const struct { const char* Name; TMode Expected; } folders[] = {{"dzial/Wykazy", {02775, shared.Group}},
                   {"dzial/Wykazy/Stare", {02775, shared.Group}},
                   {"dzial/Ustawienia", {02775, shared.Group}},
                   {"prywatne/a", {0755, own}}};
    for (const auto& f : folders)
        EXPECT_EQ(TSharedFolder::ModeAndGroup(os + f.Name), f.Expected) << f.Name;
    const std::string lock = os + "dzial/Wykazy/Stare/z.lock";
    for (int i = 0; i < 2; ++i) {
        const int fd = OpenOrCreateFileOs(lock, O_RDWR);
        ASSERT_GE(fd, 0);
        ::close(fd);
        EXPECT_EQ(TSharedFolder::ModeAndGroup(lock), TMode(i == 0 ? 0664 : 0600, shared.Group));
        ::chmod(lock.c_str(), 0600);
    }
    const int fd = CreateFileOs(lock, O_RDWR);
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(errno, EEXIST);
}

TEST_F(Files, TimesOfFiles)
{
    Write(dir + "t.txt", "x");
    TDateTime dt = 0;
    ASSERT_TRUE(FileAgeDateTime(dir + "T.TXT", dt));
    int age = FileAge(dir + "t.txt");
    ASSERT_NE(age, -1);
    EXPECT_NEAR(FileDateToDateTime(age), dt, 3.0 / 86400);
    EXPECT_DOUBLE_EQ(FileDateToDateTime((25 << 25) | (3 << 21) | (14 << 16) | (10 << 11) | (30 << 5) | 5),
                     EncodeDate(2005, 3, 14) + EncodeTime(10, 30, 10, 0));
}

TEST(System, TempDirLoginAndTicks)
{
    AnsiString t = GetTempDir();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), '/');
    EXPECT_TRUE(DirectoryExists(t));
    EXPECT_FALSE(GetLoginName().empty());
    Cardinal a = GetTickCount(), b = GetTickCount();
    EXPECT_LE(a, b);
    ::setenv("VELMAROK_CORE_TEST", "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", 1);
    EXPECT_EQ(GetEnvironmentVariable("VELMAROK_CORE_TEST"), "Zażółć");
}

// A scratch copy: its own new file each time, the owner's only, holding the bytes;
// a folder it cannot be made in raises the save's error and leaves nothing behind.
TEST_F(Files, ScratchFilesAreNewPrivateAndWholeOrNone)
{
    const std::vector<std::string> bytes = {"", "[Level]\r\nJan=4\r\n", std::string(70000, 'x')};
    std::vector<AnsiString> names;
    for (const std::string& b : bytes) {
        const AnsiString name = SaveBytesToScratchFile(dir, "plain", ".ini", b);
        SCOPED_TRACE(name);
        EXPECT_EQ(name.rfind(dir + "plain", 0), 0u);
        EXPECT_EQ(name.substr(name.size() - 4), ".ini");
        EXPECT_EQ(Read(name), b);
        struct stat st {};
        ASSERT_EQ(::stat(ToOsPath(name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        names.push_back(name);
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_EQ(ListDirectory(dir).size(), bytes.size());
    EXPECT_THROW(SaveBytesToScratchFile(dir + "none", "plain", ".ini", "x"), EFCreateError);
    EXPECT_EQ(ListDirectory(dir).size(), bytes.size());
}
