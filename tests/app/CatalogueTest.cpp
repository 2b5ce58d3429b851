#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <filesystem>
#include <memory>
#include <new>
#include <thread>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "bench/catalogue_load.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {

namespace fs = std::filesystem;

const AnsiString Green = "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>";

AnsiString Plain(const AnsiString& Text)
{
    return "<p align=\"center\"><b>" + Text + "</b></p>";
}

class Catalogue : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        Grid = Form->sg_WszystkieNormy;
    }

    AnsiString File() const { return ProgramFolder + "Katalog Norm\\normy_wszystkie.txt"; }
    std::string OsFile() const { return FDir + "/Katalog Norm/normy_wszystkie.txt"; }
    void WriteCatalogue(const AnsiString& Bytes) { Write("Katalog Norm\\normy_wszystkie.txt", Bytes); }
    AnsiString Saved() const { return LoadBytesFromFile(File()); }
    void SetEditText(const char* Name, const AnsiString& Text)
    {
        dynamic_cast<TControl*>(Form->FindComponent(Name))->SetText(Text);
    }
    // Saves with the backup question answered Answer and the success shown.
    void Save(int Answer = IDNO)
    {
        ScriptDialogs().ExpectMessageBox(Answer, "Zrobić kopię").ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
        Form->SaveNormList(Grid);
    }

    TProStringGrid* Grid = nullptr;
};

}  // namespace

TEST_F(Catalogue, LoadsRecordsIntoColumnsWithStateParagraphs)
{
    LoadCatalogue("PN-EN 10088-1:2007|Aktualna|Jest||Stale odporne|Część 1|\r\n"
                  "PN-M-82144:1986|Nieaktualna|Brak|PN-EN ISO 4032:2004|Nakrętki||\r\n"
                  "PN-O-79162:1991|Zastąpiona uznaniowo|Jest|X||||\r\n"
                  "PN-H-92747:1987|Wycofana bez zastąpienia|Jest||||\r\n"
                  "KW-01/VODUZ/T-001|Norma zakładowa|Brak||||\r\n"
                  "PN-1|aktualna|Dostępna||T|O|reszta|za szóstym\r\n"
                  "PN-2||Brak||||\r\n");

    ASSERT_EQ(Grid->RowCount(), 9);
    ASSERT_EQ(Grid->ColCount(), 7);
    struct Cell {
        int Col, Row;
        AnsiString Text;
    } cells[] = {
        {0, 0, ""}, {1, 0, "Numer normy"}, {2, 0, "Stan normy"}, {3, 0, "Stan posiadania"},
        {4, 0, "Zastąpiona"}, {5, 0, "Tytuł"}, {6, 0, "Opis"},
        {0, 1, "1"}, {1, 1, "PN-EN 10088-1:2007"}, {2, 1, Green}, {3, 1, "Jest"}, {4, 1, ""},
        {5, 1, "Stale odporne"}, {6, 1, "Część 1"},
        {2, 2, "<p align=\"center\"><font color=\"#FF0000\"><b>Nieaktualna</b></font></p>"},
        {4, 2, "PN-EN ISO 4032:2004"},
        {2, 3, "<p align=\"center\"><font color=\"#FF0000\"><b>Zastąpiona uznaniowo</b></font></p>"},
        {2, 4, "<p align=\"center\"><font color=\"#800000\"><b>Wycofana bez zastąpienia</b></font></p>"},
        {2, 5, "<p align=\"center\"><font color=\"#0000FF\"><b>Norma zakładowa</b></font></p>"},
        // Case matters; text after the sixth "|" is dropped.
        {2, 6, Plain("aktualna")}, {6, 6, "O"},
        {2, 7, Plain("")},
        {0, 8, "8"}, {1, 8, ""}, {2, 8, ""},
    };
    for (const Cell& c : cells)
        EXPECT_EQ(Grid->Cells(c.Col, c.Row), c.Text) << "col " << c.Col << " row " << c.Row;

    EXPECT_EQ(Grid->Hint(), ProgramFolder + "Katalog Norm/normy_wszystkie.txt");   // as the program names it
    EXPECT_FALSE(NormListModified);
    EXPECT_EQ(Form->Strony->ActivePage(), "ListaWszystkichNorm");
    // The preview: the header and the records, no empty last row.
    EXPECT_EQ(Form->sg_PN_Podglad->RowCount(), 8);
    EXPECT_EQ(Form->sg_PN_Podglad->Cells(2, 1), Green);
    EXPECT_EQ(Form->sg_PN_Podglad->Cells(1, 7), "PN-2");
}

TEST_F(Catalogue, PreviewTakesTheHeaderAndTheFirstTenRecords)
{
    AnsiString text;
    for (int i = 1; i <= 12; ++i)
        text += "PN-" + IntToStr(i) + "|Aktualna|Jest||||\r\n";
    LoadCatalogue(text);
    TProStringGrid* p = Form->sg_PN_Podglad;
    ASSERT_EQ(p->RowCount(), 11);
    EXPECT_EQ(p->ColCount(), 7);
    EXPECT_EQ(p->Cells(6, 0), "Opis");
    EXPECT_EQ(p->Cells(0, 10), "10");
    EXPECT_EQ(p->Cells(1, 10), "PN-10");
    EXPECT_EQ(p->Cells(2, 10), Green);
}

TEST_F(Catalogue, SaveWritesSixBarsAndTakesStateWordsBackBySubstring)
{
    LoadCatalogue("PN-1|Aktualna|Jest||T|O|\r\n"
                  "PN-2|aktualna|Brak||T|O|po szóstym|\r\n"
                  "PN-3|Nieaktualna|Brak|PN-4|||\r\n");
    // A check writes the bare word back until the next save; any text holding
    // a state word counts as that word, "Nieaktualna" before "Aktualna".
    Grid->SetCells(2, 3, "Stan: Nieaktualna (Aktualna?)");
    NormListModified = true;
    Save();
    EXPECT_EQ(Saved(), "PN-1|Aktualna|Jest||T|O|\r\n"
                       "PN-2||Brak||T|O|\r\n"
                       "PN-3|Nieaktualna|Brak|PN-4|||\r\n");
    // The save reloads the file.
    EXPECT_EQ(Grid->Cells(2, 2), Plain(""));
    EXPECT_FALSE(NormListModified);
}

TEST_F(Catalogue, EmptyFileGivesHeaderAndOneNumberedRow)
{
    LoadCatalogue("");
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->Cells(0, 1), "1");
    EXPECT_EQ(Grid->Cells(1, 0), "Numer normy");
    Save();
    EXPECT_EQ(Saved(), "");
}

TEST_F(Catalogue, ReloadOverALargerCatalogueLeavesOnlyTheNewRecords)
{
    // Long fields first, then a shorter file with empty and missing fields:
    // no text, colour, merge or sort indicator of the first load may show through.
    const AnsiString longText(300, 'x');
    LoadCatalogue("PN-1|Aktualna|Jest|" + longText + "|" + longText + "|" + longText + "|\r\n"
                  "PN-2|Nieaktualna|Brak|Z|T|O|\r\n"
                  "PN-3|Aktualna|Jest|Z|T|O|\r\n");
    Grid->CellProperties(5, 1)->SetFontColor(clRed);
    Grid->MergeCells(4, 2, 2, 1);
    Grid->SortSettings()->SetColumn(3);
    Grid->SortIndexes()->AddIndex(1, true);
    Grid->SortIndexes()->AddIndex(3, false);
    LoadCatalogue("PN-A|Aktualna||||krótki|\r\nPN-B|Nieaktualna|Brak\r\n");

    ASSERT_EQ(Grid->RowCount(), 4);
    const char* rows[][7] = {{"1", "PN-A", "", "", "", "", "krótki"}, {"2", "PN-B", "", "Brak", "", "", ""},
                             {"3", "", "", "", "", "", ""}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 7; ++c)
            if (c != 2) { EXPECT_EQ(Grid->Cells(c, r), rows[r - 1][c]) << "col " << c << " row " << r; }
    EXPECT_EQ(Grid->Cells(2, 1), Green);
    EXPECT_EQ(Grid->Cells(2, 3), "");
    EXPECT_FALSE(Grid->HasCellProperties(5, 1));
    EXPECT_FALSE(Grid->HasCellProperties(5, 2));
    EXPECT_EQ(Grid->SortSettings()->Column(), -1);
    EXPECT_EQ(Grid->SortIndexes()->Count(), 0);
    Save();
    EXPECT_EQ(Saved(), "PN-A|Aktualna||||krótki|\r\nPN-B|Nieaktualna|Brak||||\r\n");
}

TEST(CatalogueFields, ViewsAndCopiesSplitAlike)
{
    const char* lines[] = {"", "a", "a|b", "a|b|", "|||", "a|b|c|d|e|f|g|h", "a||c|\r"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        AnsiString copies[6] = {"keep0", "keep1", "keep2", "keep3", "keep4", "keep5"};
        std::string_view views[6];
        SplitRecordFields(AnsiString(line), copies, 6);
        SplitRecordFields(std::string_view(line), views, 6);
        for (int k = 0; k < 6; ++k)
            // A field the line does not reach keeps its text and gets no view.
            EXPECT_EQ(copies[k], views[k].data() ? AnsiString(views[k]) : "keep" + IntToStr(k)) << k;
    }
}

TEST_F(Catalogue, SaveKeepsEveryRecordWhateverTheRowOrderAndBlanksSeparators)
{
    LoadCatalogue("PN-1|Aktualna|Jest||||\r\nPN-2|Aktualna|Jest||||\r\n");
    // As after a sort that put the empty row first and no empty row last.
    Grid->SetRowCount(4);
    for (int c = 1; c < 7; ++c) {
        Grid->SetCells(c, 3, Grid->Cells(c, 1));
        Grid->SetCells(c, 1, "");
    }
    Grid->SetCells(5, 2, "a|b\r\nc\rd");
    Save();
    EXPECT_EQ(Saved(), "PN-2|Aktualna|Jest||a b  c d||\r\nPN-1|Aktualna|Jest||||\r\n");
}

TEST_F(Catalogue, BackupCopyHasDateInNameAndFailuresAreReported)
{
    LoadCatalogue("PN-1|Aktualna|Jest||||\r\n");
    fs::create_directories(FDir + "/kopie");
    SetEditText("edt_KopiaBazyNorm", ProgramFolder + "kopie\\");
    SetTestClock(EncodeDate(2026, 12, 6) + EncodeTime(9, 5, 7, 0));

    Save(IDYES);
    std::string copy = FDir + "/kopie/normy_wszystkie (kopia z 06-12-2026 09-05-07).txt";
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_EQ(LoadBytesFromFile(FromOsPath(copy)), "PN-1|Aktualna|Jest||||\r\n");

    // Within the same second the copy exists: the first one stays, the failure is shown.
    auto saveWithoutCopy = [this] {
        ScriptDialogs().ExpectMessageBox(IDYES, "Zrobić kopię").ExpectMessageBox(IDOK, "Nie udało się zrobić kopii")
            .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
        Form->SaveNormList(Grid);
    };
    Grid->SetCells(1, 1, "PN-9");
    saveWithoutCopy();
    EXPECT_EQ(LoadBytesFromFile(FromOsPath(copy)), "PN-1|Aktualna|Jest||||\r\n");
    EXPECT_EQ(Saved(), "PN-9|Aktualna|Jest||||\r\n");

    // A backup folder that is not there.
    SetEditText("edt_KopiaBazyNorm", ProgramFolder + "brak\\");
    saveWithoutCopy();
    const auto& shown = RecordedDialogs();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[shown.size() - 2].Caption, "UWAGA !!!");
}

TEST_F(Catalogue, DamagedFilesLoadAndSaveBackWithoutLosingOtherRecords)
{
    const AnsiString good = "PN-A|Aktualna|Jest||T|O|\r\nPN-B|Nieaktualna|Brak|PN-C|||\r\n";
    static const char odd[] = "PN-\x81\x98|Aktualna|\x00\xFF|||\x83|\r\n";
    const AnsiString oddLine(odd, sizeof odd - 1);
    struct Case {
        const char* Name;
        AnsiString Damaged;   // appended after the good records
        AnsiString SavedAs;   // its line in the saved file
    } cases[] = {
        {"truncated last line", "PN-D|Aktualna|Dos", "PN-D|Aktualna|Dos||||\r\n"},
        {"line without a bar", "tylko tekst\r\n", "tylko tekst||||||\r\n"},
        {"invalid bytes", oddLine, oddLine},
        {"one megabyte line", "PN-E|Aktualna|Jest||" + AnsiString(1 << 20, 'x') + "||\r\n",
         "PN-E|Aktualna|Jest||" + AnsiString(1 << 20, 'x') + "||\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadCatalogue(good + c.Damaged);
        EXPECT_FALSE(Form->CatalogueIncomplete());
        EXPECT_EQ(Grid->RowCount(), 5);
        Save();
        EXPECT_EQ(Saved(), good + c.SavedAs);
    }
}

TEST_F(Catalogue, FailedLoadIsReportedAndTheFileCannotBeSavedOver)
{
    // A catalogue path that names a folder cannot be read.
    fs::create_directories(OsFile());
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie udało się wczytać spisu norm");
    Form->LoadNormList(File());
    ASSERT_EQ(RecordedDialogs().size(), 1u);
    EXPECT_EQ(RecordedDialogs()[0].Caption, "BŁĄD !!!");
    EXPECT_TRUE(Form->CatalogueIncomplete());

    ScriptDialogs().ExpectMessageBox(IDOK, "nie został wczytany w całości");
    Form->SaveNormList(Grid);
    ScriptDialogs().ExpectMessageBox(IDOK, "nie został wczytany w całości");
    Form->GroupNormList();
    EXPECT_TRUE(fs::is_directory(OsFile()));

    // Loaded whole again, it saves.
    fs::remove(OsFile());
    LoadCatalogue("PN-1|Aktualna|Jest||||\r\n");
    EXPECT_FALSE(Form->CatalogueIncomplete());
    Save();
    EXPECT_EQ(Saved(), "PN-1|Aktualna|Jest||||\r\n");
}

TEST_F(Catalogue, MissingFileIsReportedAndANewCatalogueCanBeSaved)
{
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie udało się wczytać spisu norm");
    Form->LoadNormList(File());
    EXPECT_FALSE(Form->CatalogueIncomplete());
    EXPECT_EQ(Grid->RowCount(), 2);
    Grid->SetCells(1, 1, "PN-1");
    Save();   // the folder "Katalog Norm" is created
    EXPECT_EQ(Saved(), "PN-1||||||\r\n");
}

TEST_F(Catalogue, WriteFailureIsReportedAsMissingRights)
{
    LoadCatalogue("PN-1|Aktualna|Jest||||\r\n");
    // A catalogue under a plain file cannot be written.
    SetEditText("edt_BazaNorm", File() + "\\pod.txt");
    ScriptDialogs().ExpectMessageBox(IDOK, "nie masz do tego odpowiednich uprawnień");
    Form->SaveNormList(Grid);
    EXPECT_EQ(RecordedDialogs().back().Caption, "UWAGA !!!");
    EXPECT_EQ(Grid->Cells(1, 1), "PN-1");
    EXPECT_EQ(Saved(), "PN-1|Aktualna|Jest||||\r\n");
}

// A record line that cannot be made, on one of the threads making them: the save and the
// grouping say they failed only once no thread reads the grid any longer, the file and the grid
// stay as they were, and the program goes on.
TEST_F(Catalogue, ALineThatCannotBeMadeFailsTheSaveOrTheGroupingWithAMessage)
{
    const AnsiString file = BenchCatalogueText(30000);
    LoadCatalogue(file);
    Grid->SetCells(6, 1, "zmieniony");
    std::atomic<int> afterMessage{0};
    std::atomic<bool> shown{false}, offThread{false};
    std::function<void()> fail;
    const std::thread::id gui = std::this_thread::get_id();
    SetNormLineProbe([&](int Row) {
        afterMessage += shown ? 1 : 0;
        if (std::this_thread::get_id() != gui)
            offThread = true;
        if (Row == 1)   // while the others have just begun
            fail();
    });
    const struct {
        const char* Name;
        std::function<void()> Run, Fail;
        const char* Message;
    } cases[] = {
        {"save, no memory", [&] { Form->SaveNormList(Grid); }, [] { throw std::bad_alloc(); },
         "Nie udało się zaktualizować spisu norm"},
        {"save, a failure", [&] { Form->SaveNormList(Grid); }, [] { throw EWriteError("brak"); },
         "Nie udało się zaktualizować spisu norm"},
        {"grouping, no memory", [&] { Form->GroupNormList(); }, [] { throw std::bad_alloc(); },
         "Nie udało się pogrupować i zapisać"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        shown = false;
        afterMessage = 0;
        fail = c.Fail;
        ScriptDialogs().ExpectDialog(dkMessageBox, c.Message, IDOK, [&](TDialogRequest&) { shown = true; });
        EXPECT_NO_THROW(c.Run());
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(afterMessage, 0);
        EXPECT_TRUE(Saved() == file);
        EXPECT_EQ(Grid->Cells(6, 1), "zmieniony");
    }
    EXPECT_TRUE(offThread || std::thread::hardware_concurrency() < 2);
    SetNormLineProbe(nullptr);
    Save();
    EXPECT_NE(Saved().find("|zmieniony|"), AnsiString::npos);
}

TEST_F(Catalogue, LinkedCatalogueIsUpdatedWhereItIsAndReadOnlyOneIsReportedNotReplaced)
{
    // The catalogue folder holds a link to the real catalogue kept elsewhere.
    fs::create_directories(FDir + "/Katalog Norm");
    fs::create_directories(FDir + "/wspolne");
    const std::string real = FDir + "/wspolne/normy.txt";
    SaveBytesToFile(FromOsPath(real), "PN-1|Aktualna|Jest||||\r\n");
    fs::create_symlink("../wspolne/normy.txt", OsFile());
    Form->LoadNormList(File());
    Grid->SetCells(1, 1, "PN-2");
    Save();
    EXPECT_TRUE(fs::is_symlink(OsFile()));
    EXPECT_EQ(LoadBytesFromFile(FromOsPath(real)).substr(0, 5), "PN-2|");

    // A read-only catalogue is not replaced, and the save says it failed.
    fs::permissions(real, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const AnsiString before = LoadBytesFromFile(FromOsPath(real));
    Grid->SetCells(1, 1, "PN-3");
    ClearRecordedDialogs();
    ScriptDialogs().ExpectMessageBox(IDOK, "nie masz do tego odpowiednich uprawnień");
    Form->SaveNormList(Grid);
    EXPECT_EQ(RecordedDialogs().back().Caption, "UWAGA !!!");
    for (const auto& d : RecordedDialogs())
        EXPECT_EQ(d.Text.find("pomyślnie"), AnsiString::npos);
    EXPECT_EQ(LoadBytesFromFile(FromOsPath(real)), before);
    EXPECT_TRUE(fs::is_symlink(OsFile()));
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(CatalogueGrouping, OrdersNumbersByKindAndKeepsRecordsWithoutNumber)
{
    const char* numbers[] = {"PN-M-82144:1986", "XYZ 1",           "PN-EN ISO 1207:1999", "PN-B-02481",
                             "",                "PN-85/B-02481",   "PN-ISO 2768",         "PN-IEC 60050",
                             "PN-EN 10088-1",   "KW-01/VODUZ/T-001", "PN-E-90054:1987",   "PN-A-1",
                             "PN-H-92747:1987", "PN-EN 1000"};
    std::vector<TNormRecord> records;
    for (const char* n : numbers)
        records.push_back({n, "", "", "", "", n[0] ? "" : "bez numeru"});
    std::vector<AnsiString> got;
    for (int i : GroupNormOrder(records))
        got.push_back(records[size_t(i)][nfNumber]);
    std::vector<AnsiString> expected = {"PN-A-1",          "PN-85/B-02481", "PN-B-02481",  "PN-E-90054:1987",
                                        "PN-EN 1000",      "PN-EN 10088-1", "PN-EN ISO 1207:1999",
                                        "PN-H-92747:1987", "PN-ISO 2768",   "PN-IEC 60050", "PN-M-82144:1986",
                                        "KW-01/VODUZ/T-001", "XYZ 1",       ""};
    EXPECT_EQ(got, expected);
}

namespace {
// Grouping as the passes do it one after the other: the EN, ISO and IEC passes,
// then a pass for each letter, each group sorted by its record lines.
std::vector<int> ReferenceGroupOrder(const std::vector<TNormRecord>& Records)
{
    const int n = int(Records.size());
    std::vector<bool> taken(std::size_t(n), false);
    auto pass = [&](const std::function<bool(const AnsiString&)>& Test) {
        std::vector<int> group;
        for (int i = 0; i < n; ++i)
            if (!taken[std::size_t(i)] && !Records[std::size_t(i)][nfNumber].empty() &&
                Test(Records[std::size_t(i)][nfNumber])) {
                taken[std::size_t(i)] = true;
                group.push_back(i);
            }
        std::stable_sort(group.begin(), group.end(), [&](int a, int b) {
            return AnsiCompareText(NormLine(Records[std::size_t(a)]), NormLine(Records[std::size_t(b)])) < 0;
        });
        return group;
    };
    auto has = [](const AnsiString& Part) { return [Part](const AnsiString& s) { return s.find(Part) != AnsiString::npos; }; };
    const std::vector<int> en = pass(has("EN")), iso = pass(has("ISO")), iec = pass(has("IEC"));
    std::vector<int> order;
    for (char c = 'A'; c <= 'Z'; ++c) {
        for (int i : pass([c](const AnsiString& s) {
                 return s.find(AnsiString("-") + c) != AnsiString::npos || s.find(AnsiString("/") + c + "-") != AnsiString::npos;
             }))
            order.push_back(i);
        if (c == 'E')
            order.insert(order.end(), en.begin(), en.end());
        if (c == 'I') {
            order.insert(order.end(), iso.begin(), iso.end());
            order.insert(order.end(), iec.begin(), iec.end());
        }
    }
    for (int i = 0; i < n; ++i)
        if (!taken[std::size_t(i)])
            order.push_back(i);
    return order;
}

// Records whose numbers fall in every group, with lines alike but for case, accents and "-".
std::vector<TNormRecord> RandomRecords(int Count, unsigned Seed)
{
    std::mt19937 rng(Seed);
    const char* numbers[] = {"PN-EN %d",    "PN-EN ISO %d:2004", "PN-ISO %d",      "PN-IEC %d",    "PN-B-%d",
                             "PN-85/B-%d",  "PN-M-%d:1986",      "BN-76/%d-01",    "KW-%d/VODUZ/T-001",
                             "",            "pn-en %d",          "PN EN %d",       "PN-Ż-%d",      "PN-%d",
                             "PN-E-%d",     "PN-I-%d",           "ISO-IEC %d",     "PN-Z-%d"};
    const char* titles[] = {"Łożyska", "łożyska", "lozyska", "Łożyska-kulkowe", "Łożyska kulkowe", "Beton", "beton",
                            "Stale odporne", "stale odporne", "O'Brien", "OBrien", ""};
    std::vector<TNormRecord> records;
    for (int i = 0; i < Count; ++i) {
        char number[64];
        std::snprintf(number, sizeof number, numbers[rng() % std::size(numbers)], int(rng() % 500));
        records.push_back({number, NormStateWords[rng() % 5], "Brak", "", titles[rng() % std::size(titles)],
                           rng() % 3 ? "" : "opis " + IntToStr(int(rng() % 50))});
    }
    return records;
}
}  // namespace

TEST(CatalogueGrouping, LargeCataloguesGroupAsThePassesOneAfterTheOther)
{
    for (int count : {40, 9000}) {
        const std::vector<TNormRecord> records = RandomRecords(count, unsigned(count));
        EXPECT_EQ(GroupNormOrder(records), ReferenceGroupOrder(records)) << count << " records";
    }
}

TEST_F(Catalogue, GroupingALargeCatalogueSavesTheLinesInTheirGroups)
{
    const std::vector<TNormRecord> records = RandomRecords(9000, 3);
    AnsiString file, expected;
    for (const TNormRecord& r : records)
        file += NormLine(r) + "\r\n";
    for (int i : ReferenceGroupOrder(records))
        expected += NormLine(records[std::size_t(i)]) + "\r\n";
    LoadCatalogue(file);
    ScriptDialogs().ExpectMessageBox(IDYES, "pogrupowana, czy chcesz").ExpectMessageBox(IDOK, "pogrupowana i zapisana");
    Form->GroupNormList();
    EXPECT_TRUE(Saved() == expected);
    EXPECT_EQ(Grid->RowCount(), 9002);
}

// A catalogue of many runs of rows and megabytes is written as it was read,
// its copy too, with a change made late in it; the next save finds the file
// as it left it and asks nothing about another login.
TEST_F(Catalogue, LargeCatalogueSavesWholeWithItsCopyAndIsRememberedAsWritten)
{
    AnsiString file = BenchCatalogueText(30000);
    LoadCatalogue(file);
    Grid->SetCells(6, 29999, "zmieniony opis");
    file.replace(file.rfind("Opis normy numer 29998"), std::strlen("Opis normy numer 29998 - wymagania i badania"),
                 "zmieniony opis");
    fs::create_directories(FDir + "/kopie");
    SetEditText("edt_KopiaBazyNorm", ProgramFolder + "kopie\\");
    SetTestClock(EncodeDate(2026, 12, 7) + EncodeTime(10, 0, 0, 0));
    Save(IDYES);
    EXPECT_TRUE(Saved() == file);
    EXPECT_TRUE(LoadBytesFromFile(FromOsPath(FDir + "/kopie/normy_wszystkie (kopia z 07-12-2026 10-00-00).txt")) == file);
    Save();
    EXPECT_TRUE(Saved() == file);
}

TEST_F(Catalogue, GroupingRegroupsTheGridAndSavesOnYes)
{
    const AnsiString file = "PN-M-1|Aktualna|Jest||||\r\n"
                            "|Aktualna|Brak||bez numeru||\r\n"
                            "PN-EN 2|Nieaktualna|Jest||||\r\n"
                            "PN-B-3|Aktualna|Jest||||\r\n";
    LoadCatalogue(file);

    ScriptDialogs().ExpectMessageBox(IDNO, "pogrupowana, czy chcesz");
    Form->GroupNormList();
    EXPECT_TRUE(NormListModified);
    EXPECT_EQ(Saved(), file);
    EXPECT_EQ(ColumnTexts(*Grid, 1), (std::vector<std::string>{"PN-B-3", "PN-EN 2", "PN-M-1", "", ""}));
    EXPECT_EQ(Grid->Cells(5, 4), "bez numeru");

    ScriptDialogs().ExpectMessageBox(IDYES, "pogrupowana, czy chcesz").ExpectMessageBox(IDOK, "pogrupowana i zapisana");
    Form->GroupNormList();
    EXPECT_FALSE(NormListModified);
    EXPECT_EQ(Saved(), "PN-B-3|Aktualna|Jest||||\r\n"
                       "PN-EN 2|Nieaktualna|Jest||||\r\n"
                       "PN-M-1|Aktualna|Jest||||\r\n"
                       "|Aktualna|Brak||bez numeru||\r\n");
}

TEST_F(Catalogue, ViewsOfALargeCatalogueHoldItsStandardsOfTheState)
{
    // States as loaded and as the checks write them back (the bare word, another case).
    std::vector<TNormRecord> records = RandomRecords(20000, 9);
    for (std::size_t i = 0; i < records.size(); i += 7)
        records[i][nfState] = "aktualna";
    AnsiString file;
    for (const TNormRecord& r : records)
        file += NormLine(r) + "\r\n";
    LoadCatalogue(file);
    Grid->SetCells(2, 500, "Aktualna");
    Grid->SetCells(2, 600, "Nieaktualna");
    Grid->MergeCells(5, 600, 2, 1);
    TProStringGrid* view = Form->sg_NormyWgStanu;
    for (const char* title : {"Normy aktualne", "Normy nieaktualne", "Normy zakładowe"}) {
        const AnsiString word = Tf_MainForm::StateWordOfView(title);
        std::vector<int> rows;
        for (int r = 1; r <= Grid->RowCount() - 2; ++r)
            if (Grid->Cells(2, r).find(word) != AnsiString::npos)
                rows.push_back(r);
        Form->RunMenuCommand(title, title);
        ASSERT_EQ(view->RowCount(), int(rows.size()) + 2) << title;
        for (int c = 0; c < 7; ++c)
            EXPECT_EQ(view->Cells(c, 0), Grid->Cells(c, 0));
        for (std::size_t k = 0; k < rows.size(); ++k)
            for (int c = 0; c < 7; ++c)
                ASSERT_EQ(view->Cells(c, int(k) + 1), c == 0 ? IntToStr(int(k) + 1) : Grid->Cells(c, rows[k]))
                    << title << ", row " << k + 1 << ", column " << c;
    }
}

TEST(CatalogueFile, BackupNameKeepsTheExtension)
{
    TDateTime when = EncodeDate(2026, 12, 6) + EncodeTime(9, 5, 7, 0);
    struct Case {
        AnsiString Folder, File, Expected;
    } cases[] = {
        {"K:\\kopie\\", "K:\\spis\\normy_wszystkie.txt", "K:\\kopie\\normy_wszystkie (kopia z 06-12-2026 09-05-07).txt"},
        {"K:\\kopie", "spis.txt", "K:\\kopie\\spis (kopia z 06-12-2026 09-05-07).txt"},
        {"/k/", "/a/b.c/spis", "/k/spis (kopia z 06-12-2026 09-05-07)"},
        {"/k/", "/a/normy.v2.txt", "/k/normy.v2 (kopia z 06-12-2026 09-05-07).txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormBackupFileName(c.Folder, c.File, when), c.Expected);
}

TEST_F(Catalogue, MainWindowShowsTheCatalogueBesideTheProgramAndSavesAChange)
{
    struct Pages {
        TNotebook* Notebook;
        std::vector<const char*> Names;
    } pages[] = {
        {Form->Strony,
         {"UstawieniaProg", "DostosujGrupyPrziPoz", "Informacja", "SprawdzUaktualnienia", "ListaWszystkichNorm",
          "NormyWgStanu", "ZapiszWykazJako", "WkataloguTrelKordelin", "NastroniePKN", "UstawieniaFolderow",
          "NowyWykaz", "Uzytkownicy", "Uprawnienia", "Importuj"}},
        {Form->str_UstawieniaProgramu,
         {"Kolory_Menu_Przyciskow_Glownego", "Kolory_Wysuwanych_Paneli", "Kolor_Naglowka", "Kolory_Sekcji",
          "Kolory_Stanu_Norm", "Opcje_Dodatkowe", "Spis_Norm", "Wykazy"}},
    };
    for (const Pages& p : pages) {
        ASSERT_EQ(p.Notebook->PageCount(), int(p.Names.size()));
        for (const char* n : p.Names)
            EXPECT_NE(Tf_MainForm::PageOf(p.Notebook, n), nullptr) << n;
    }

    WriteCatalogue("PN-EN 10088-1:2007|Aktualna|Jest||Stale|Opis|\r\nPN-B-1|Norma zakładowa|Brak||||\r\n");
    PrepareStart();
    Form->DoCreate();
    EXPECT_FALSE(StartingUp);
    ASSERT_EQ(Grid->RowCount(), 4);
    EXPECT_EQ(Grid->Cells(2, 1), Green);
    EXPECT_GT(NormListDate, 0);

    Grid->SetCells(3, 2, "Dostępna (KJ)");
    NormListModified = true;
    Save();
    EXPECT_EQ(Saved(), "PN-EN 10088-1:2007|Aktualna|Jest||Stale|Opis|\r\nPN-B-1|Norma zakładowa|Dostępna (KJ)||||\r\n");
}

TEST_F(Catalogue, NoCatalogueFileAndTheSampleRefusedGivesAnEmptyCatalogue)
{
    PrepareStart();
    ScriptDialogs().ExpectMessageBox(IDCANCEL, "Czy mam stworzyć przykładowy spis teraz ???");
    Form->DoCreate();
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->Cells(1, 0), "Numer normy");
    EXPECT_FALSE(FileExists(File()));
}

TEST(CatalogueBench, SmokeRunAtThousandStandards)
{
    const TTempDir dir("catalogue-bench-");
    const TCatalogueTimes t = MeasureCatalogue(1000, FromOsPath(dir.Path.string()) + "/");
    EXPECT_EQ(t.GridRows, 1002);
    EXPECT_TRUE(t.SavedSame);
}
