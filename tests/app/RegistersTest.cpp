#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <unordered_map>

#include "app/Dirscan.h"
#include "app/Wykazy.h"
#include "controls/KXCtrls.h"
#include "controls/NetGradient.h"
#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {

const AnsiString Green = "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>";
const AnsiString Red = "<p align=\"center\"><font color=\"#FF0000\"><b>Nieaktualna</b></font></p>";

class Registers : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        Grid = Form->sg_NowyEdytujWykaz;
        LoadCatalogue("PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n"
                      "PN-H-84020:1989|Nieaktualna|Brak|PN-EN 10025-2:2019|||\r\n"
                      "PN-EN 10025-2:2019|Nieaktualna|Brak|drugi wiersz|||\r\n");
    }
    // Opens "Wykazy\\w.txt" holding Bytes; Shown: its page shown in the window shown.
    void Open(const AnsiString& Bytes, bool Shown = false)
    {
        Write("Wykazy\\w.txt", Bytes);
        Form->OpenListFile(Path("Wykazy\\w.txt"), "Wykonanie A");
        if (Shown) {
            Form->Strony->SetActivePage("NowyWykaz");
            Form->Show();
        }
    }
    AnsiString Comment(int Row)
    {
        AnsiString c;
        return Grid->GetCellComment(1, Row, c) ? c : AnsiString("(none)");
    }
    TProStringGrid* Grid = nullptr;
};

}  // namespace

TEST_F(Registers, OpenMatchesEveryLineAgainstTheCatalogue)
{
    Open("PN-EN 10025-2:2019|PN-EN 10025-2:2019|S235|Blacha|R-1|\r\n"
         "PN-H-84020:1989|PN-H-84020|S355|Pręt|R-2\r\n"
         "\r\n"
         "PN-XX|PN-XX|||||po piątym|\r\n"
         "|PN-YY||||\r\n");
    ASSERT_EQ(Grid->RowCount(), 7);
    ASSERT_EQ(Grid->ColCount(), 9);
    EXPECT_EQ(Form->ng_NowyEdytujWykaz->Caption(), "Zestawienie materiałów dla Wykonanie A");
    EXPECT_EQ(CurrentListFile, Path("Wykazy\\w.txt"));
    struct Expect {
        int Row;
        std::array<AnsiString, 9> Cells;
        AnsiString Comment;
    } rows[] = {
        {0, {"", "Norma w dokumentacji", "Norma w wykazie", "Stan normy", "Norma aktualna", "Stan posiadania",
             "Materiał", "Część", "Nr rysunku"}, "(none)"},
        // The first catalogue row of a number counts.
        {1, {"1", "PN-EN 10025-2:2019", "PN-EN 10025-2:2019", Green, "", "Dostępna", "S235", "Blacha", "R-1"},
         "(none)"},
        // Without the final bar; the numbers differ.
        {2, {"2", "PN-H-84020:1989", "PN-H-84020", Red, "PN-EN 10025-2:2019", "Brak", "S355", "Pręt", "R-2"},
         "Normy się różnią !!!"},
        {3, {"3", "", "", "", "", "", "", "", ""}, "(none)"},
        {4, {"4", "PN-XX", "PN-XX", "Brak w spisie", "", "", "", "", ""}, "(none)"},
        // Nothing to look up without the documentation standard.
        {5, {"5", "", "PN-YY", "", "", "", "", "", ""}, "Normy się różnią !!!"},
        {6, {"6", "", "", "", "", "", "", "", ""}, "(none)"},
    };
    for (const Expect& e : rows) {
        for (int c = 0; c < 9; ++c)
            EXPECT_EQ(Grid->Cells(c, e.Row), e.Cells[size_t(c)]) << "col " << c << " row " << e.Row;
        EXPECT_EQ(Comment(e.Row), e.Comment) << "row " << e.Row;
    }
    EXPECT_FALSE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
    EXPECT_TRUE(Form->pan_NowyWykaz->Visible());
    EXPECT_FALSE(Form->ListEditing());
}

TEST_F(Registers, RegisterPageScreenshot)
{
    Open("PN-EN 10025-2:2019|PN-EN 10025-2:2019|S235JR|Blacha górna|R-100-01|\r\n"
         "PN-H-84020:1989|PN-H-84020|S355J2|Pręt żebrowany|R-100-02|\r\n"
         "PN-EN ISO 4032|PN-EN ISO 4032|8|Nakrętka sześciokątna M12|R-100-03|\r\n", true);
    std::unique_ptr<TBitmap> shot = GrabControl(Form.get());
    ASSERT_FALSE(shot->Empty());
    SaveScreenshot(shot.get(), "register_page.png");
    Form->Hide();
}

// The comment of a differing line is added while the cursor stands on its cell: once the
// cursor moves on, that cell shows no selection, on the screen or on the printed page.
TEST_F(Registers, CommentedCellUnderTheCursorLooksPlainOnceTheCursorMoves)
{
    Grid->SetSelectionColor(clLime);
    Open("PN-H-84020:1989|PN-H-84020|S355|Pręt|R-2|\r\n"
         "PN-EN 10025-2:2019|PN-EN 10025-2:2019|S235|Blacha|R-1|\r\n");
    ASSERT_EQ(Comment(1), NormsDifferComment);
    Form->Strony->SetActivePage("NowyWykaz");
    Form->Show();
    Grid->FocusCell(3, 2, true);
    std::unique_ptr<TBitmap> shot = GrabControl(Grid);
    Form->Hide();
    TBitmap page;
    page.SetSize(600, 800);
    Grid->SetPreviewPage(1);
    Grid->PrintPreviewTo(page.Canvas(), TRect(0, 0, 600, 800));
    auto lime = [](TBitmap* B, const TRect& R) { return CountPixels(B, R, [](TColor c) { return c == clLime; }); };
    EXPECT_EQ(lime(shot.get(), Grid->CellRect(1, 1)), 0);
    EXPECT_EQ(lime(&page, TRect(0, 0, 600, 800)), 0);
}

TEST_F(Registers, MissingFileIsReportedAndStaysOpenEmpty)
{
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można otworzyć wskazanego pliku.");
    Form->OpenListFile(Path("Wykazy\\brak.txt"), "Nowy");
    EXPECT_EQ(RecordedDialogs().back().Caption, "BŁĄD !!!");
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->Cells(2, 0), "Norma w wykazie");
    EXPECT_EQ(CurrentListFile, Path("Wykazy\\brak.txt"));
}

TEST_F(Registers, BelowLevelThreeTheRegisterIsOnlyShown)
{
    CurrentUserLevel = 2;
    Open("A|A|m|c|r|\r\n");
    EXPECT_FALSE(Form->pan_NowyWykaz->Visible());
    EXPECT_FALSE(Grid->Options() & goEditing);
    EXPECT_EQ(Grid->PopupMenu(), nullptr);
}

TEST_F(Registers, EditingModeHidesTheLookedUpColumnsBehindTheStoredFields)
{
    Open("PN-H-84020:1989|B|m|c|r|\r\n");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    ASSERT_TRUE(Form->ListEditing());
    EXPECT_EQ(Grid->ColCount(), 6);
    EXPECT_TRUE(Grid->Options() & goEditing);
    EXPECT_EQ(Form->sb_NowyWykaz_Edytuj->Caption(), "Przerwij edycję");
    const char* shown[] = {"", "Norma w dokumentacji", "Norma w wykazie", "Materiał", "Część", "Nr rysunku"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(Grid->Cells(c, 0), shown[c]);
    EXPECT_EQ(Grid->Cells(3, 1), "m");

    // Leaving with changes asks; cancel stays in editing mode.
    Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
    ScriptDialogs().ExpectMessageBox(IDCANCEL, "przerwać edycję");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    EXPECT_TRUE(Form->ListEditing());
    ScriptDialogs().ExpectMessageBox(IDNO, "został zmodyfikowany");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    EXPECT_FALSE(Form->ListEditing());
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(Grid->Cells(c, 0), ListHeaders[size_t(c)]);
    EXPECT_EQ(Grid->Cells(3, 1), Red);
    EXPECT_EQ(Grid->Cells(6, 1), "m");
    EXPECT_FALSE(Grid->Options() & goEditing);
}

TEST_F(Registers, SavedInEditingModeEqualsSavedInViewingMode)
{
    const AnsiString text = "PN-H-84020:1989|PN-H-84020|S355|Pręt|R-2|\r\n\r\n|PN-YY|||R-9|\r\n";
    Open(text);
    Form->SaveListFile();
    const AnsiString viewing = Read("Wykazy\\w.txt");
    // The empty line goes; nothing of the looked-up columns is stored.
    EXPECT_EQ(viewing, "PN-H-84020:1989|PN-H-84020|S355|Pręt|R-2|\r\n|PN-YY|||R-9|\r\n");

    Open(text);
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    Grid->SetCells(1, 4, "A|B");   // a bar cannot split the record
    Form->SaveListFile();
    EXPECT_EQ(Read("Wykazy\\w.txt"), viewing + "A B|||||\r\n");
    EXPECT_FALSE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
}

TEST_F(Registers, SaveFailuresAreReportedAndTheGridKept)
{
    Open("A|B|||\r\n");
    CurrentListFile = Path("Wykazy\\bez_rozszerzenia");
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można zapisać tego pliku !!!");
    Form->SaveListFile();

    // A folder in the way of the file.
    ForceDirectories(Path("Wykazy\\zajety.txt"));
    CurrentListFile = Path("Wykazy\\zajety.txt");
    Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
    ScriptDialogs().ExpectMessageBox(IDOK, "NIE MOGĘ ZAPISAĆ ZMIAN W WYKAZIE !!!");
    Form->SaveListFile();
    EXPECT_EQ(RecordedDialogs().back().Caption, "BŁĄD !!!");
    EXPECT_TRUE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
    EXPECT_EQ(Grid->Cells(1, 1), "A");
}

TEST_F(Registers, OpeningAnotherRegisterAsksAboutUnsavedChanges)
{
    Open("A|A|||\r\n");
    Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
    ScriptDialogs().ExpectMessageBox(IDCANCEL, "Wykaz Wykonanie A został zmodyfikowany.");
    Form->OpenListFile(Path("Wykazy\\inny.txt"), "Inny");
    EXPECT_NE(RecordedDialogs().back().Text.find("otworzyć wykaz Inny,"), AnsiString::npos);
    EXPECT_EQ(CurrentListFile, Path("Wykazy\\w.txt"));

    Grid->SetCells(2, 1, "zmieniona");
    ScriptDialogs().ExpectMessageBox(IDYES, "został zmodyfikowany").ExpectMessageBox(IDOK, "Nie można otworzyć");
    Form->OpenListFile(Path("Wykazy\\inny.txt"), "Inny");
    EXPECT_EQ(Read("Wykazy\\w.txt"), "A|zmieniona||||\r\n");
}

TEST_F(Registers, NewRegisterStartsInEditingModeWithThirtyRows)
{
    Form->NewListGrid(Path("Wykazy\\nowy.txt"), "Wykonanie B");
    EXPECT_EQ(Grid->RowCount(), 31);
    EXPECT_TRUE(Form->ListEditing());
    EXPECT_EQ(Form->ng_NowyEdytujWykaz->Caption(), "Dodaj nowy wykaz - zestawienie dla Wykonanie B");
    EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
    EXPECT_EQ(Grid->Cells(0, 30), "30");
    Grid->SetCells(5, 2, "R-7");
    Form->SaveListFile();
    EXPECT_EQ(Read("Wykazy\\nowy.txt"), "||||R-7|\r\n");
}

TEST_F(Registers, NewFileNamesAreFreeInTheFolderAndInThisRun)
{
    EXPECT_EQ(Form->MakeListFileName("Wykonanie z uszczelką"), Path("Wykazy/Wykonanie_z_uszczelką.txt"));
    EXPECT_EQ(Form->MakeListFileName("Wykonanie z uszczelką"), Path("Wykazy/Wykonanie_z_uszczelką_01.txt"));
    Write("Wykazy\\a_b.txt", "");
    EXPECT_EQ(Form->MakeListFileName("a.b"), Path("Wykazy/a_b_01.txt"));
    EXPECT_EQ(ListFileBase("a b.c;d\\e/f<g>h|i*j?k\"l:m"), "a_b_c_d_e_f_g_h_i_j_k_l:m");
    int calls = 0;
    EXPECT_EQ(FreeListFileName("x", [&](const AnsiString&) { return ++calls <= 100; }), "x_100.txt");

    // A new file is had by making it: a name that another login's file took after the look, a
    // folder or a file named in other letter case is passed over, and the file there is kept.
    const AnsiString folder = Path("Wykazy\\");
    auto otherTakes = [this](const AnsiString& Name) {
        if (Name == "y.txt")
            Write("Wykazy\\y.txt", "PN-INNA|||||\r\n");
        return false;
    };
    EXPECT_EQ(CreateListFile(folder, "y", otherTakes), "y_01.txt");
    EXPECT_EQ(Read("Wykazy\\y.txt"), "PN-INNA|||||\r\n");
    EXPECT_EQ(Read("Wykazy\\y_01.txt"), "");
    ForceDirectories(Path("Wykazy\\z.txt"));
    Write("Wykazy\\Z_01.TXT", "PN-INNA|||||\r\n");
    EXPECT_EQ(CreateListFile(folder, "z", [](const AnsiString&) { return false; }), "z_02.txt");
    EXPECT_EQ(Read("Wykazy\\Z_01.TXT"), "PN-INNA|||||\r\n");
}

TEST_F(Registers, MenuNamesThatLeaveTheRegistersFolderAreRefused)
{
    for (const char* bad : {"../poza.txt", "..\\poza.txt", "a/b.txt", "/etc/passwd", ""}) {
        ScriptDialogs().ExpectMessageBox(IDOK, "Nieprawidłowa nazwa pliku wykazu");
        EXPECT_EQ(Form->ListFilePath(bad), "") << bad;
    }
    // A ":" is a character of the name, in the registers folder like any other.
    for (const char* good : {"z_u.txt", "Skala_1:10.txt", "c:poza.txt"})
        EXPECT_EQ(Form->ListFilePath(good), Path("Wykazy/") + good);
}

// ---------------------------------------------------------------- import
TEST(RegisterImport, TabSeparatedRowsBecomeRegisterLines)
{
    struct Case {
        const char* Source;
        const char* Lines;
        int Dropped;
    } cases[] = {
        {"part\tdrw\tmat\tstd\r\n", "|std|mat|part|drw|\r\n", 0},
        // Five or more cells keep four; bars and quotes disappear.
        {"p\td\tm\ts\tpiąta\tszósta\n", "|s|m|p|d|\r\n", 0},
        // A line with quotes went through the joining of quoted cells: it starts with a blank.
        {"p|1\td\"\"\tm\ts\n", "|s|m| p1|d|\r\n", 0},
        // A quoted cell over two lines is one line; the break becomes a blank.
        {"\"Pokrywa\r\ngórna\"\tR-1\tS235\tPN-1\r\n", "|PN-1|S235| Pokrywa górna|R-1|\r\n", 0},
        // A quote left open keeps its text.
        {"a\tb\tc\td\r\n\"x\ty\tz\tw\r\n", "|d|c|a|b|\r\n|w|z| x|y|\r\n", 0},
        // A quote inside a cell is text; a doubled one inside a quoted cell too.
        {"rura 3/4\" ocynk\tR-2\tS235\tPN-2\nx\ty\tz\tw\n", "|PN-2|S235| rura 3/4 ocynk|R-2|\r\n|w|z|x|y|\r\n", 0},
        {"\"a \"\"b\"\"\r\nc\"\td\tm\ts\n", "|s|m| a b c|d|\r\n", 0},
        // Fewer than three tabs: dropped and counted (an empty line too).
        {"a\tb\tc\n\nx\ty\tz\tw\n", "|w|z|x|y|\r\n", 2},
        // Cells of blanks alone give no line.
        {" \t \t \t \n", "", 0},
    };
    for (const Case& c : cases) {
        TListImport r = ImportListText(c.Source);
        EXPECT_EQ(r.Text, c.Lines) << c.Source;
        EXPECT_EQ(r.Dropped, c.Dropped) << c.Source;
    }
    int steps = 0, lines = -1;
    ImportListText("a\tb\tc\td\nx\n", [&](int n) {
        ++steps;
        lines = n;
    });
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(steps, 2 + 2 + 2 + 1 + 1 + 1);
}

TEST(RegisterImport, DroppedLinesMessageTakesThePolishPluralOfItsNumber)
{
    const AnsiString blanks(16, ' ');
    EXPECT_EQ(DroppedLinesText(1), blanks + "1 LINIA MIAŁA NIEPRAWIDŁOWY FORMAT, ZOSTAŁA USUNIĘTA");
    EXPECT_EQ(DroppedLinesText(3), blanks + "3 LINIE MIAŁY NIEPRAWIDŁOWY FORMAT, ZOSTAŁY USUNIĘTE");
    EXPECT_EQ(DroppedLinesText(5), blanks + "5 LINII MIAŁO NIEPRAWIDŁOWY FORMAT, ZOSTAŁY USUNIĘTE");
    EXPECT_EQ(DroppedLinesText(22), blanks + "22 LINII MIAŁO NIEPRAWIDŁOWY FORMAT, ZOSTAŁY USUNIĘTE");
}

TEST_F(Registers, ImportWritesTheRegisterThenItsMenuEntryAndOpensIt)
{
    Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyrób 1=\r\n");
    Write("Importuj\\bom.txt", "Blacha\tR-1\tS235\tPN-H-84020:1989\r\nzła\tlinia\r\n");
    ScriptDialogs().ExpectMessageBox(IDYES, "Wykaz został pomyślnie zaimportowany, czy chcesz uruchomić go teraz");
    Form->ImportListFile(Path("Importuj\\bom.txt"), "Wykonanie C", "Wyrób 1", "Grupa X", true);

    EXPECT_EQ(Read("Wykazy\\Wykonanie_C.txt"), "|PN-H-84020:1989|S235|Blacha|R-1|\r\n");
    TIniFile menu(Path("Ustawienia\\kategorie.ini"));
    EXPECT_EQ(menu.ReadString("Grupa X", "Wykonanie C", "?"), "Wykonanie_C.txt");
    EXPECT_TRUE(menu.ValueExists("Wyrób 1", "Grupa X"));
    EXPECT_FALSE(FileExists(Path("Importuj\\bom.txt")));
    EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
    EXPECT_EQ(Grid->Cells(2, 1), "PN-H-84020:1989");
    // The success replaces the dropped-line warning.
    EXPECT_EQ(Form->p_Worning->Caption(), AnsiString(20, ' ') + "Wykaz został pomyślnie zaimportowany");
    EXPECT_TRUE(Form->img_OK->Visible());
    EXPECT_FALSE(Form->img_Warning->Visible());
    EXPECT_FALSE(dynamic_cast<TControl*>(Form->FindComponent("pbar_ImportowaniePliku"))->Visible());
}

TEST_F(Registers, ImportFailuresWriteNoMenuEntry)
{
    Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\n");
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie znaleziono pliku do zaimportowania");
    Form->ImportListFile(Path("Importuj\\brak.txt"), "Brak", "K", "G", false);

    // The register cannot be written: the login may not write the registers folder.
    Write("Importuj\\bom.txt", "a\tb\tc\td\n1\t2\n3\t4\n5\t6\n");
    ForceDirectories(Path("Wykazy"));
    ::chmod(OsPath("Wykazy").c_str(), 0555);
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można zapisać pliku");
    {
        TNoPermissionOverride asAUser;
        Form->ImportListFile(Path("Importuj\\bom.txt"), "Zajęty", "K", "G", true);
    }
    ::chmod(OsPath("Wykazy").c_str(), 0755);
    EXPECT_FALSE(FileExists(Path("Wykazy\\Zajęty.txt")));
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), "[Kategorie]\r\n");
    EXPECT_TRUE(FileExists(Path("Importuj\\bom.txt")));
    EXPECT_EQ(Form->p_Worning->Caption(), DroppedLinesText(3));
    EXPECT_TRUE(Form->img_Warning->Visible());
    EXPECT_EQ(Form->p_Worning->Font()->Color(), clRed);
    Form->ReadCategoryNames("Kategorie", Form->lb_Importuj_GrupyProdoktow);
    Form->Strony->SetActivePage("Importuj");
    Form->Show();
    SaveScreenshot(Form.get(), "import_page.png");
    Form->Hide();
}

TEST_F(Registers, ImportReadsUtf8Utf16AndWindows1250SourcesAndWritesAWindows1250Register)
{
    const AnsiString row = "ŚWIADECTWO żółć\tR-1\tStal – „S235”\tPN-EN 10204:2006\r\n";
    const AnsiString line = "|PN-EN 10204:2006|Stal – „S235”|ŚWIADECTWO żółć|R-1|\r\n";
    int n = 0;
    for (const TForeignText& c : ForeignTexts(row)) {
        SCOPED_TRACE(c.What);
        const AnsiString item = "Wykonanie " + IntToStr(++n);
        Write("Importuj\\bom.txt", c.Bytes);
        if (c.Refusal)
            ScriptDialogs().ExpectMessageBox(IDOK, c.Refusal);
        else
            ScriptDialogs().ExpectMessageBox(IDNO, "Wykaz został pomyślnie zaimportowany");
        EXPECT_EQ(Form->ImportListFile(Path("Importuj\\bom.txt"), item, "K", "G", true), !c.Refusal);
        const AnsiString file = "Wykazy\\Wykonanie_" + IntToStr(n) + ".txt";
        EXPECT_EQ(FileExists(Path(file)), !c.Refusal);
        if (!c.Refusal) { EXPECT_EQ(Read(file), line); }
        EXPECT_EQ(FileExists(Path("Importuj\\bom.txt")), c.Refusal != nullptr);
    }
}

// ---------------------------------------------------------------- menu file
TEST_F(Registers, MenuSettingsListTheCategoriesWithTheirCheckMarks)
{
    Write("Ustawienia\\kategorie.ini",
          "[Kategorie]\r\nWyrób 1=\r\nWyrób 2=0\r\nWyrób 3=1\r\n[Wyrób 1]\r\nWykonanie A=\r\nWykonanie B=\r\n");
    Form->sb_G_Dodaj->SetEnabled(true);
    Form->LoadMenuSettings();
    TKxCheckListBox* clb = Form->clb_MG_PrzyciskiMenuGlownego;
    ASSERT_EQ(clb->Count(), 3);
    EXPECT_EQ(clb->Items()->Strings(1), "Wyrób 2");
    EXPECT_TRUE(clb->Checked(0));
    EXPECT_FALSE(clb->Checked(1));
    EXPECT_TRUE(clb->Checked(2));
    EXPECT_FALSE(Form->sb_G_Dodaj->Enabled());
    EXPECT_FALSE(Form->sb_MG_Dodaj->Enabled());
    EXPECT_EQ(Form->Strony->ActivePage(), "DostosujGrupyPrziPoz");
    Form->Show();
    SaveScreenshot(Form.get(), "menu_editor_page.png");
    Form->Hide();

    Form->ReadCategoryNames("Wyrób 1", Form->lb_Importuj_GrupyProdoktow);
    EXPECT_EQ(Items(*Form->lb_Importuj_GrupyProdoktow->Items()), (std::vector<AnsiString>{"Wykonanie A", "Wykonanie B"}));
    Form->ReadCategoryNames("Wyrób 2", Form->lb_Importuj_GrupyProdoktow);
    EXPECT_EQ(Form->lb_Importuj_GrupyProdoktow->Count(), 0);
}

// ---------------------------------------------------------------- folder scan
TEST(FolderScan, FilesComeBeforeSubfoldersAndLinksAreNotFollowed)
{
    TTempDir dir("velmarok-scan");
    std::filesystem::create_directories(dir.Path / "b_sub" / "deeper");
    WriteFileBytes(dir / "z.txt", "");
    WriteFileBytes(dir / "a.txt", "");
    WriteFileBytes(dir / "notes.doc", "");
    WriteFileBytes((dir.Path / "b_sub" / "w.txt").string(), "");
    WriteFileBytes((dir.Path / "b_sub" / "deeper" / "d.txt").string(), "");
    // A link back to the top would make the walk endless.
    std::filesystem::create_directory_symlink(dir.Path, dir.Path / "b_sub" / "loop");

    const AnsiString root = FromOsPath(dir.Path.string()) + "\\";
    // The files found below root, the scan going on after each or not.
    auto scan = [&](const AnsiString& Folder, const char* Mask, bool GoOn) {
        std::vector<AnsiString> found;
        ScanDirectory(Folder, Mask, [&](const AnsiString& Path, const TSearchRec& E) {
            found.push_back(Path.substr(root.size()) + E.Name);
            return GoOn;
        });
        return found;
    };
    EXPECT_EQ(scan(root, "*.txt", true),
              (std::vector<AnsiString>{"a.txt", "z.txt", "b_sub\\w.txt", "b_sub\\deeper\\d.txt"}));
    // Stopping at the first file enters no subfolder.
    EXPECT_EQ(scan(root, "", false), (std::vector<AnsiString>{"a.txt"}));
    EXPECT_TRUE(scan(root + "brak", "*.txt", true).empty());
}

TEST_F(Registers, FoundRegistersKeepTheirPathInsideTheRegistersFolder)
{
    Write("Wykazy\\a.txt", "A|A|||\r\n");
    Write("Wykazy\\Wyrób 1\\b.txt", "B|B|||\r\n");
    ScanDirectory(Form->ListFolder(), "*.txt",
                  [&](const AnsiString& P, const TSearchRec& E) { return Form->AddFoundListFile(P, E); });
    EXPECT_EQ(Items(*Form->lb_DoWyszukiwania_Ukryte->Items()), (std::vector<AnsiString>{"a.txt", "Wyrób 1\\b.txt"}));
    EXPECT_TRUE(FileExists(Form->ListFolder() + "Wyrób 1\\b.txt"));
}

TEST_F(Registers, TypingInTheRegisterGridChangesTheCellAndEnterStoresIt)
{
    Open("PN-H-84020:1989|PN-H-84020|S355|Pręt|R-2|\r\n", true);
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    ASSERT_TRUE(Form->ListEditing());
    EXPECT_FALSE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
    Grid->SetFocus();
    Grid->FocusCell(3, 1, true);
    TypeText(Grid, "S");
    ASSERT_TRUE(Grid->InplaceEditor() && Grid->InplaceEditor()->Visible());
    TypeText(Grid->InplaceEditor(), "235JR żółty");
    SaveScreenshot(Form.get(), "register_cell_editing.png");
    TypeKey(Grid->InplaceEditor(), VK_RETURN);
    ProcessPendingMessages();
    EXPECT_EQ(Grid->Cells(3, 1), "S235JR żółty");
    EXPECT_FALSE(Grid->InplaceEditor()->Visible());
    EXPECT_TRUE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
    EXPECT_TRUE(Grid->GetRowModified(1));
    Form->SaveListFile();
    EXPECT_EQ(Read("Wykazy\\w.txt"), "PN-H-84020:1989|PN-H-84020|S235JR żółty|Pręt|R-2|\r\n");
    EXPECT_FALSE(Grid->GetRowModified(1));   // saved: no row differs from the file any more
    Form->Hide();
}

// A cell still being edited is an unsaved change of the register: every way of leaving the
// register asks about it, and what was typed is what "TAK" saves.
TEST_F(Registers, ACellStillBeingEditedIsAskedAboutAndSavedWhereverTheRegisterIsLeft)
{
    const AnsiString before = "PN-H-84020:1989|PN-H-84020|S355|Pręt|R-2|\r\n";
    const AnsiString typed = "PN-H-84020:1989|PN-H-84020|S235JR|Pręt|R-2|\r\n";
    struct Case {
        const char* Name;
        std::vector<std::pair<int, const char*>> Boxes;
        std::function<void()> Leave;
        AnsiString Stored;
    } cases[] = {
        {"the window closed", {{IDYES, "przed zamknięciem programu"}}, [&] { Form->Close(); }, typed},
        {"another register opened", {{IDYES, "otworzyć wykaz Inny"}},
         [&] { Form->OpenListFile(Path("Wykazy\\inny.txt"), "Inny"); }, typed},
        {"editing mode left", {{IDYES, "przerwać edycję"}}, [&] { Form->sb_NowyWykaz_EdytujClick(nullptr); }, typed},
        {"the whole register cleared", {{IDYES, "usunąć wszystkie dane"}, {IDYES, "przerwać edycję"}},
         [&] { Form->RunListCommand(Tf_MainForm::lcClearAll); }, typed},
        {"the saved register reopened, kept", {{IDNO, "Wszystkie zmiany zostaną utracone"}},
         [&] { Form->RunListCommand(Tf_MainForm::lcReload); }, before},
        {"\"Zapisz\" clicked", {}, [&] { Click(Form->sb_Edytuj_ZapiszZmiany, 5, 5); }, typed},
        {"saved from the menu", {}, [&] { Form->RunListCommand(Tf_MainForm::lcSave); }, typed},
    };
    Write("Wykazy\\inny.txt", "A|B|||\r\n");
    for (bool byF2 : {false, true})
        for (const Case& k : cases) {
            SCOPED_TRACE(std::string(k.Name) + (byF2 ? ", opened with F2" : ", opened by typing"));
            Open(before, true);
            Form->sb_NowyWykaz_EdytujClick(nullptr);
            // "Zapisz" is there to click once something has changed.
            Form->sb_Edytuj_ZapiszZmiany->SetEnabled(!k.Boxes.size());
            Grid->SetFocus();
            Grid->FocusCell(3, 1, true);
            if (byF2)
                TypeKey(Grid, VK_F2);
            else
                TypeText(Grid, "S");
            ASSERT_TRUE(Grid->InplaceEditor() && Grid->InplaceEditor()->Visible());
            Grid->InplaceEditor()->SetText("S235JR");
            for (const auto& [answer, text] : k.Boxes)
                ScriptDialogs().ExpectMessageBox(answer, text);
            k.Leave();
            ProcessPendingMessages();
            EXPECT_TRUE(VerifyNoPendingDialogs());
            EXPECT_EQ(Read("Wykazy\\w.txt"), k.Stored);
            if (k.Stored == before) {
                EXPECT_EQ(Grid->Cells(3, 1), "S235JR");
            }
            Form->sb_Edytuj_ZapiszZmiany->SetEnabled(false);
            Form->Hide();
        }
}

// A large catalogue is looked up in parts on several threads; every number
// still gets the first row that holds it, as a walk from the top gives:
// numbers held twice in different parts, held only near the end, at the
// first row, and not held at all.
TEST(NormIndex, LargeCataloguesGiveTheFirstRowOfEveryNumber)
{
    TProStringGrid catalogue(nullptr);
    const int rows = 70000;
    catalogue.SetColCount(7);
    catalogue.SetRowCount(rows + 1);
    auto number = [](int i) { return "PN-EN " + IntToStr(10000 + i % 50000) + ":2010"; };   // rows 50000+ repeat
    for (int r = 1; r <= rows; ++r)
        catalogue.SetCells(1, r, number(r));
    catalogue.SetCells(1, 69999, "PN-OSTATNIA");
    catalogue.SetCells(1, 35000, "PN-DWA");
    catalogue.SetCells(1, 66000, "PN-DWA");
    std::vector<AnsiString> sought = {"PN-OSTATNIA", "PN-DWA", number(1), number(49999), number(50003),
                                      "PN-BRAK", number(60000), number(1)};
    for (int i = 0; i < 3000; ++i)
        sought.push_back(number(i * 23 % 70000));
    const TNormIndex index(&catalogue, sought);
    std::unordered_map<AnsiString, int> first;   // a walk from the top
    for (int r = 1; r <= rows; ++r)
        first.emplace(catalogue.CellText(1, r), r);
    for (const AnsiString& n : sought) {
        auto f = first.find(n);
        EXPECT_EQ(index.Find(n), f == first.end() ? -1 : f->second) << n;
    }
    EXPECT_EQ(index.Find("PN-DWA"), 35000);
    EXPECT_EQ(index.Find("PN-BRAK"), -1);
    EXPECT_EQ(index.Find("PN-NIESZUKANA"), -1);
}
