#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/core/IniFiles.h"
#include "tests/common/TestFiles.h"

namespace {

struct IniFixture : ::testing::Test {
    TTempDir Dir{"velmarok-ini"};
    std::string Name = Dir / "kategorie.ini";
    void TearDown() override { ResetFormatSettings(); }
    void Put(const std::string& bytes) { WriteFileBytes(Name, bytes); }
    std::string Bytes() { return ReadFileBytes(Name); }
    // The file through either reader: 0 TIniFile, 1 TMemIniFile.
    std::unique_ptr<TCustomIniFile> Open(int Kind)
    {
        if (Kind == 0)
            return std::make_unique<TIniFile>(Name);
        return std::make_unique<TMemIniFile>(Name);
    }
};

const char* const Sample =
    "; nagłówek przed sekcjami\r\n"
    "wolny=klucz\r\n"
    "[Sekcja]\r\n"
    "  Klucz  =  \"  wartość \"  \r\n"
    "bez rownosci\r\n"
    ";komentarz=1\r\n"
    "Pusty=\r\n"
    "Klucz=drugi\r\n"
    "Cytat='a'\r\n"
    "Pol=\"b\r\n"
    "[ sekcja ]\r\n"
    "Inny=z duplikatu\r\n"
    "\r\n"
    "[Inna]\n"
    "A=1\r"
    "B=Zastąpiona uznaniowo\n";

}  // namespace

TEST_F(IniFixture, ReadsAsTheProfileFunctions)
{
    Put(Sample);
    TIniFile ini(Name);
    struct Case { AnsiString Section, Key, Expected; } cases[] = {
        {"Sekcja", "Klucz", "  wartość "},   // trimmed, one pair of quotes dropped, first key wins
        {"SEKCJA", "klucz", "  wartość "},
        {"sekcja", "Pusty", ""},
        {"Sekcja", "Cytat", "a"},
        {"Sekcja", "Pol", "\"b"},
        {"Sekcja", "bez rownosci", "<def>"},
        {"Sekcja", ";komentarz", "<def>"},
        {"Sekcja", "Inny", "<def>"},         // only the first of duplicate sections counts
        {"", "wolny", "<def>"},
        {"Inna", "a", "1"},
        {"INNA", "b", "Zastąpiona uznaniowo"},
        {"Brak", "A", "<def>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.Section, c.Key, "<def>"), c.Expected) << c.Section << "/" << c.Key;

    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Sekcja", "Inna"}));
    ini.ReadSection("sekcja", &list);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Klucz", "Pusty", "Cytat", "Pol"}));
    ini.ReadSectionValues("Inna", &list);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"A=1", "B=Zastąpiona uznaniowo"}));
    ini.ReadSectionValues("sekcja", &list);   // a line without "=" is one of the section's lines, no key
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Klucz=  wartość ", "bez rownosci", "Pusty=", "Cytat=a", "Pol=\"b"}));
    EXPECT_TRUE(ini.SectionExists("INNA"));
    EXPECT_FALSE(ini.SectionExists("Brak"));
    EXPECT_TRUE(ini.ValueExists("Sekcja", "pusty"));
    EXPECT_FALSE(ini.ValueExists("Sekcja", "bez rownosci"));

    TIniFile missing(Dir / "brak.ini");
    EXPECT_EQ(missing.ReadString("A", "B", "x"), "x");
    // A default handed back loses its trailing blanks (missing file, section or key), a stored value keeps them.
    EXPECT_EQ(missing.ReadString("A", "B", " x y  "), " x y");
    EXPECT_EQ(missing.ReadString("A", "B", "   "), "");
    EXPECT_EQ(ini.ReadString("Brak", "A", "d\t "), "d\t");
    EXPECT_EQ(ini.ReadString("Sekcja", "Brak", "d "), "d");
    EXPECT_EQ(ini.ReadString("Sekcja", "Klucz", "d "), "  wartość ");
    EXPECT_FALSE(missing.SectionExists("A"));
}

TEST_F(IniFixture, LinesWithoutAnEqualsSignAreEntriesButNoKeys)
{
    Put("[Grupa]\r\n Bez klucza \r\nA=a.txt\r\n;uwaga\r\nbez klucza\r\n[Same nazwy]\r\nTylko\r\n");
    for (int kind = 0; kind < 2; ++kind) {
        std::unique_ptr<TCustomIniFile> ini = Open(kind);
        TStringList list;
        ini->ReadSectionValues("Grupa", &list);
        EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Bez klucza", "A=a.txt"})) << kind;
        ini->ReadSection("Grupa", &list);
        EXPECT_EQ(Items(list), (std::vector<AnsiString>{"A"})) << kind;
        EXPECT_TRUE(ini->SectionExists("same nazwy")) << kind;
        EXPECT_EQ(ini->ReadString("Same nazwy", "Tylko", "<def>"), "<def>") << kind;
    }
    // Written, the first line of the name becomes its key in its place; deleted, the name goes.
    TIniFile ini(Name);
    ini.WriteString("Grupa", "BEZ KLUCZA", "b.txt");
    ini.DeleteKey("Same nazwy", "tylko");
    EXPECT_EQ(Bytes(), "[Grupa]\r\nBez klucza=b.txt\r\nA=a.txt\r\n;uwaga\r\nbez klucza\r\n[Same nazwy]\r\n");
    EXPECT_FALSE(ini.SectionExists("Same nazwy"));
}

// An editor saved the file with a byte-order mark: it reads as its text, and is written back as
// Windows-1250 only when nothing of it is lost; a file with a NUL is never written either.
TEST_F(IniFixture, FilesWithAByteOrderMarkReadAsTheirTextAndAreWrittenOnlyWhole)
{
    using namespace std::string_literals;
    const AnsiString text = "[Kategorie]\r\nWyrób 1=\r\nWyrób 2=0\r\n[Wyrób 1]\r\nŁódź=ż.txt\r\n";
    const AnsiString written = "[Kategorie]\r\nWyrób 1=\r\nWyrób 2=0\r\nWyrób 3=\r\n[Wyrób 1]\r\nŁódź=ż.txt\r\n";
    const struct { const char* What; std::string Bytes; bool Writable; } cases[] = {
        {"Windows-1250", text, true},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + AnsiToUtf8(text), true},
        {"UTF-16 LE with a mark", Utf16(text, false), true},
        {"UTF-16 BE with a mark", Utf16(text, true), true},
        {"UTF-16 LE cut short", Utf16(text, false) + "x", false},
        {"a letter Windows-1250 has none for", "\xEF\xBB\xBF" + AnsiToUtf8(text) + "\xD0\x96=1\r\n", false},
        {"a NUL without a mark", text + "x\0=1\r\n"s, false},
    };
    for (int kind = 0; kind < 2; ++kind)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.What) + (kind ? " (TMemIniFile)" : " (TIniFile)"));
            Put(c.Bytes);
            std::unique_ptr<TCustomIniFile> ini = Open(kind);
            TStringList keys;
            ini->ReadSection("Kategorie", &keys);
            EXPECT_EQ(Items(keys), (std::vector<AnsiString>{"Wyrób 1", "Wyrób 2"}));
            EXPECT_FALSE(ini->ReadBool("Kategorie", "Wyrób 2", true));
            EXPECT_EQ(ini->ReadString("Wyrób 1", "Łódź", ""), "ż.txt");
            bool wrote = true;
            try {
                ini->WriteString("Kategorie", "Wyrób 3", "");
                ini->UpdateFile();
            } catch (const EIniFileException&) {
                wrote = false;
            }
            EXPECT_EQ(wrote, c.Writable);
            EXPECT_EQ(Bytes(), c.Writable ? written : AnsiString(c.Bytes));
        }
}

TEST_F(IniFixture, TypedReadsFallBackToDefaults)
{
    Put("[N]\r\nhex=0x1F\r\ndollar=$10\r\nneg= -7 \r\nbad=12a\r\nzero=0\r\nfloat=1,5\r\ndate=05.03.2024\r\n"
        "empty=\r\n");
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "dollar", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -7);
    EXPECT_EQ(ini.ReadInteger("N", "bad", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "empty", 5), 5);
    EXPECT_FALSE(ini.ReadBool("N", "zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "neg", false));
    EXPECT_TRUE(ini.ReadBool("N", "missing", true));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "float", 0), 1.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "bad", 2.5), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadDate("N", "date", 0), EncodeDate(2024, 3, 5));
    EXPECT_DOUBLE_EQ(ini.ReadDate("N", "bad", 7), 7);

    ini.WriteBool("N", "zero", true);
    ini.WriteInteger("N", "neg", -8);
    ini.WriteFloat("N", "float", 2.25);
    EXPECT_EQ(ini.ReadString("N", "zero", ""), "1");
    EXPECT_EQ(ini.ReadString("N", "neg", ""), "-8");
    EXPECT_EQ(ini.ReadString("N", "float", ""), "2,25");
}

TEST_F(IniFixture, WritesPlaceKeysAndSectionsAsWindows)
{
    Put("przed\n[A]\r\nx=1\r\n; uwaga\r\n\r\n\r\n[B]\r\ny=2");
    TIniFile ini(Name);
    ini.WriteString("a", "z", "3");          // after the section's last non-blank line
    ini.WriteString("B", "Y", "Zastąpiona"); // replaced in place, name kept
    ini.WriteString("C", "k", "v");          // new section at the end, no blank line before
    ini.WriteString("C", "k", "v");          // unchanged
    EXPECT_EQ(Bytes(), "przed\n[A]\r\nx=1\r\n; uwaga\r\nz=3\r\n\r\n\r\n[B]\r\ny=Zast\xB9piona\r\n[C]\r\nk=v\r\n");

    ini.DeleteKey("A", "X");
    ini.EraseSection("b");
    EXPECT_EQ(Bytes(), "przed\n[A]\r\n; uwaga\r\nz=3\r\n\r\n\r\n[C]\r\nk=v\r\n");

    TIniFile fresh(Dir / "nowy.ini");
    fresh.WriteString("S", "k", "v");
    fresh.WriteString("S", "l", "");
    EXPECT_EQ(ReadFileBytes(Dir / "nowy.ini"), "[S]\r\nk=v\r\nl=\r\n");
}

TEST_F(IniFixture, QuotedValuesReadBackAsWritten)
{
    struct Case { AnsiString Text, Stored; } cases[] = {
        {"Wykaz norm", "Wykaz norm"},   // nothing reading would drop: as it is
        {" z ", "\" z \""},
        {"dd.mm.yyyy ", "\"dd.mm.yyyy \""},
        {"\"Wykaz\"", "\"\"Wykaz\"\""},
        {"'a'", "\"'a'\""},
        {"\"b", "\"b"},
        {"\t", "\"\t\""},
        {"", ""},
    };
    TIniFile ini(Name);
    for (const Case& k : cases) {
        EXPECT_EQ(k.Stored, IniQuotedValue(k.Text)) << k.Text;
        ini.WriteString("S", "k", IniQuotedValue(k.Text));
        EXPECT_EQ(k.Text, ini.ReadString("S", "k", "<def>")) << k.Text;
    }
}

TEST_F(IniFixture, DuplicatesAreErasedTogether)
{
    Put("[S]\r\nk=1\r\nk=2\r\n[T]\r\nt=1\r\n[s]\r\nk=3\r\n");
    TIniFile ini(Name);
    ini.WriteString("S", "k", "9");
    EXPECT_EQ(Bytes(), "[S]\r\nk=9\r\nk=2\r\n[T]\r\nt=1\r\n[s]\r\nk=3\r\n");
    ini.DeleteKey("S", "K");
    EXPECT_EQ(Bytes(), "[S]\r\n[T]\r\nt=1\r\n[s]\r\nk=3\r\n");
    ini.EraseSection("S");
    EXPECT_EQ(Bytes(), "[T]\r\nt=1\r\n");
}

TEST_F(IniFixture, SeesChangesMadeByOthersAndRefusesUnsafeWrites)
{
    Put("[S]\r\nk=1\r\n");
    TIniFile a(Name), b(Name);
    EXPECT_EQ(b.ReadString("S", "k", ""), "1");
    a.WriteString("S", "k", "2");
    EXPECT_EQ(b.ReadString("S", "k", ""), "2");
    Put("[S]\r\nk=3\r\n");   // same size, rewritten by another program
    EXPECT_EQ(b.ReadString("S", "k", ""), "3");

    for (AnsiString bad : {"x\r\n[Inna]\r\ny=1", "x\ny"}) {
        EXPECT_THROW(a.WriteString("S", "k", bad), EIniFileException);
        EXPECT_THROW(a.WriteString("S", bad, "v"), EIniFileException);
    }
    EXPECT_EQ(Bytes(), "[S]\r\nk=3\r\n");
    TIniFile nowhere(Dir / "brak/plik.ini");
    try {
        nowhere.WriteString("S", "k", "v");
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + (Dir / "brak/plik.ini"));
    }
}

TEST_F(IniFixture, ManyReadsAndWritesOfALargeFile)
{
    std::string text = "[Dane]\r\n";
    for (int i = 0; i < 5000; ++i)
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    Put(text);
    TIniFile ini(Name);
    long sum = 0;
    for (int i = 0; i < 5000; ++i)
        sum += ini.ReadInteger("Dane", "K" + std::to_string(i), 0);
    EXPECT_EQ(sum, 4999L * 5000 / 2);
    for (int i = 0; i < 200; ++i)
        ini.WriteInteger("Dane", "k" + std::to_string(i * 25), -1);
    EXPECT_EQ(ini.ReadInteger("Dane", "k4975", 0), -1);
    EXPECT_EQ(ini.ReadInteger("Dane", "k4976", 0), 4976);
}

TEST_F(IniFixture, MemIniFileWritesOnUpdate)
{
    Put("[S]\r\nk=1\r\n");
    TMemIniFile mem(Name);
    mem.WriteString("S", "k", "2");
    mem.WriteString("T", "n", "Łódź");
    EXPECT_EQ(Bytes(), "[S]\r\nk=1\r\n");
    EXPECT_EQ(mem.ReadString("t", "N", ""), "Łódź");
    mem.UpdateFile();
    EXPECT_EQ(Bytes(), "[S]\r\nk=2\r\n[T]\r\nn=\xA3\xF3" "d\x9F\r\n");
}

TEST_F(IniFixture, NamesThatCannotReadBackAreRefused)
{
    Put("[Users]\r\nadam=1\r\n");
    TIniFile ini(Name);
    TMemIniFile mem(Name);
    struct Case { AnsiString Section, Key; } cases[] = {
        {"Users", "a=b"}, {"Users", "[Admins]eve"}, {"Users", " [x"}, {"Users", ";hidden"}, {"Us]ers", "k"},
        {"Users", "="},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(ini.WriteString(c.Section, c.Key, "1"), EIniFileException) << c.Section << "/" << c.Key;
        EXPECT_THROW(mem.WriteString(c.Section, c.Key, "1"), EIniFileException) << c.Section << "/" << c.Key;
    }
    EXPECT_EQ(Bytes(), "[Users]\r\nadam=1\r\n");
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(Items(sections), (std::vector<AnsiString>{"Users"}));
    // What can be read back still writes: brackets and semicolons inside names, "[" in a section name.
    ini.WriteString("[Users", "a[b];c", "2");
    EXPECT_EQ(ini.ReadString("[Users", "a[b];c", ""), "2");
}

TEST_F(IniFixture, MemIniFileRefusesToWriteAFileItCouldNotRead)
{
    Put("[S]\r\nkeep=1\r\n");
    ASSERT_EQ(::chmod(Name.c_str(), 0200), 0);
    TNoPermissionOverride asUser;
    if (int fd = ::open(Name.c_str(), O_RDONLY); fd >= 0) {
        ::close(fd);
        ::chmod(Name.c_str(), 0600);
        GTEST_SKIP() << "file permissions do not hold for this process";
    }
    TMemIniFile mem(Name);
    EXPECT_EQ(mem.ReadString("S", "keep", "none"), "none");
    mem.WriteString("S", "new", "2");
    EXPECT_THROW(mem.UpdateFile(), EIniFileException);
    ::chmod(Name.c_str(), 0600);
    EXPECT_EQ(Bytes(), "[S]\r\nkeep=1\r\n");

    // A file that is not there yet is written.
    TMemIniFile fresh(Dir / "nowy.ini");
    fresh.WriteString("S", "k", "v");
    fresh.UpdateFile();
    EXPECT_EQ(ReadFileBytes(Dir / "nowy.ini"), "[S]\r\nk=v\r\n");
}
