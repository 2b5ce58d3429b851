#include <gtest/gtest.h>

#include <algorithm>

#include "app/Unit8_PoprawnoscNorm.h"
#include "app/Wykazy.h"
#include "app/qx_Unit10_Wyroby.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/ColorPicker.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {

const AnsiString Green = "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>";
const AnsiString Missing = "<p align=\"center\">Brak w spisie</p>";

// The main window on a program folder with a catalogue, and the three
// register dialogs.
class RegisterDialogs : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        LoadCatalogue("PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n"
                      "PN-H-84020:1989|Nieaktualna|Brak|PN-EN 10060:2006|||\r\n"
                      "PN-H-74200:1998|Nieaktualna|Brak||||\r\n"
                      "PN-M-82101:1988|Zastąpiona uznaniowo|Brak|PN-EN ISO 4014:2004|||\r\n"
                      "PN-M-82054:1990|Wycofana bez zastąpienia|Brak||||\r\n");
        List = MakeDialog(f_ListaUzywanychNorm);
        Review = MakeDialog(f_PoprawnoscNorm);
        Wyroby = MakeDialog(f_Wyroby);
    }
    Tf_ListaUzywanychNorm* List = nullptr;
    Tf_PoprawnoscNorm* Review = nullptr;
    Tf_Wyroby* Wyroby = nullptr;
};

}  // namespace

// ---------------------------------------------------------------- correctness of numbers
TEST(NormNumbers, CoresOfDesignations)
{
    struct Case {
        const char* Entry;
        const char* Core;
    } cases[] = {
        {"PN-EN 10025-2:2007", "10025-2"},   // blank, colon and dash
        {"PN-89/H-84020", "84020"},          // slash and dash: the last five characters
        {"PN-74/H-74200.01", "74200-01"},    // dash, slash and dot
        {"PN-H-84020:1989/Az1", "H-84020"},  // colon, slash and dash
        {"PN EN:2001", "EN"},                // colon and blank
        {"PN", "PN"},
        {"PN-:X/", ""},                      // colon before the dash: no core
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormCore(c.Entry), c.Core) << c.Entry;
}

TEST_F(RegisterDialogs, ProposalsForNumbersOutsideTheCatalogue)
{
    struct Case {
        const char* Entry;
        const char* Proposal;
    } cases[] = {
        {"PN-EN 10025-2:2007", "PN-EN 10025-2:2019"},   // current: its number
        {"PN-89/H-84020", "PN-EN 10060:2006"},          // not current: its replacement
        {"PN-98/H-74200", "PN-98/H-74200"},             // not current, no replacement: the entry
        {"DIN 933", "DIN 933"},                         // no "pn"
        {"pn-77/X-99999", "pn-77/X-99999"},             // no catalogue number holds the core
        {"PN-:X/", "PN-:X/"},                           // an empty core matches nothing
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Review->ProposeNormFromRegister(c.Entry), c.Proposal) << c.Entry;
}

TEST_F(RegisterDialogs, ReviewOfTheOpenRegisterInEitherMode)
{
    Write("Wykazy\\w.txt", "PN-EN 10025-2:2019|PN-EN 10025-2:2019|||\r\n"
                           "PN-H-84020:1989|PN-H-84020|||\r\n"
                           "PN-M-82101:1988|x|||\r\n"
                           "PN-M-82054:1990|y|||\r\n"
                           "PN-89/H-84020|z|||\r\n"
                           "PN-H-84020:1989|powtórzona|||\r\n");
    Form->OpenListFile(Path("Wykazy\\w.txt"), "A");
    for (bool editing : {false, true}) {
        if (editing)
            Form->sb_NowyWykaz_EdytujClick(nullptr);
        Review->Show();
        TProStringGrid* g = Review->sg_ListaNorm;
        ASSERT_EQ(g->ColCount(), 6);
        EXPECT_EQ(g->Cells(5, 0), "Proponuję ...");
        EXPECT_EQ(ColumnTexts(*g, 1), (std::vector<AnsiString>{"PN-89/H-84020", "PN-EN 10025-2:2019", "PN-H-84020:1989",
                                                         "PN-M-82054:1990", "PN-M-82101:1988", ""}));
        EXPECT_EQ(ColumnTexts(*g, 0), (std::vector<AnsiString>{"1", "2", "3", "4", "5", "6"}));
        EXPECT_EQ(ColumnTexts(*g, 4), (std::vector<AnsiString>{"Nie znaleziono w spisie", "", "PN-EN 10060:2006", "",
                                                         "PN-EN ISO 4014:2004", ""}));
        EXPECT_EQ(ColumnTexts(*g, 5), (std::vector<AnsiString>{"PN-EN 10060:2006", "PN-EN 10025-2:2019",
                                                         "PN-EN 10060:2006", "", "PN-EN ISO 4014:2004", ""}));
        EXPECT_EQ(g->Cells(3, 2), Green);
        EXPECT_EQ(g->Cells(2, 3), "PN-H-84020");
        if (editing)
            SaveScreenshot(Review, "correctness_of_numbers.png");
        Review->Hide();
    }
}

TEST_F(RegisterDialogs, ReviewOfAnImportedRegisterShowsEveryLine)
{
    // An import leaves the documentation standard empty on every line: no line repeats another.
    Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyroby=\r\n");
    Write("Importuj\\bom.txt", "Korpus\tR-1\tŻeliwo\tPN-EN 10025-2:2019\r\nŚruba\tR-2\tStal\tPN-M-82101:1988\r\n"
                              "Nakrętka\tR-3\tStal\tPN-M-82054:1990\r\n");
    ScriptDialogs().ExpectMessageBox(IDYES, "uruchomić go teraz");
    Form->ImportListFile(Path("Importuj\\bom.txt"), "Zawór", "Wyroby", "Zawory", true);
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    Form->RunListCommand(Tf_MainForm::lcCheckNorms);
    TProStringGrid* g = Review->sg_ListaNorm;
    std::vector<AnsiString> listed = ColumnTexts(*g, 2);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<AnsiString>{"", "PN-EN 10025-2:2019", "PN-M-82054:1990", "PN-M-82101:1988"}));
    EXPECT_EQ(ColumnTexts(*g, 0), (std::vector<AnsiString>{"1", "2", "3", "4"}));
    Review->Hide();
}

// ---------------------------------------------------------------- list of used standards
TEST_F(RegisterDialogs, UsedStandardsOfAllRegistersOnceEachWithTheirState)
{
    Write("Wykazy\\a.txt", "PN-EN 10025-2:2019|PN-X|m|c|r|\r\nbez kresek\r\n|PN-H-84020:1989\r\n");
    Write("Wykazy\\Wyrób 1\\b.txt", "PN-X|pn-x|||\r\n|||\r\n");
    List->lb_ListaWykazow->Items()->Add("a.txt");
    List->lb_ListaWykazow->Items()->Add("Wyrób 1\\b.txt");
    List->lb_ListaWykazow->Items()->Add("brak.txt");
    List->Show();
    TProStringGrid* g = List->sg_ListaNorm;
    EXPECT_EQ(List->Caption(), "Lista Używanych Norm");
    EXPECT_TRUE(List->sb_SprawdzListe->Enabled());
    EXPECT_EQ(ColumnTexts(*g, 1), (std::vector<AnsiString>{"PN-EN 10025-2:2019", "PN-H-84020:1989", "PN-X", ""}));
    EXPECT_EQ(ColumnTexts(*g, 2), (std::vector<AnsiString>{Green, Form->sg_WszystkieNormy->Cells(2, 2), Missing, ""}));
    EXPECT_EQ(ColumnTexts(*g, 3), (std::vector<AnsiString>{"", "PN-EN 10060:2006", "", ""}));
    EXPECT_TRUE(g->IsHiddenColumn(4));
    EXPECT_EQ(ColumnTexts(*g, 4), (std::vector<AnsiString>{"1", "2", "-1", ""}));
    EXPECT_GE(List->Width(), 420);
    // Nor can the user make it narrower.
    MoveWindowByUser(List, List->Left(), List->Top(), 300, List->Height());
    EXPECT_EQ(List->Width(), 420);
    SaveScreenshot(List, "used_standards.png");
    List->Close();
}

TEST_F(RegisterDialogs, StandardsMissingFromTheCatalogueAreNotChecked)
{
    Write("Wykazy\\a.txt", "PN-X|PN-Y|||\r\n");
    List->lb_ListaWykazow->Items()->Add("a.txt");
    List->Show();
    // Only the notice: no check dialog is shown.
    ScriptDialogs().ExpectMessageBox(IDOK, "Zostaną sprawdzone tylko te normy");
    List->sb_SprawdzListeClick(nullptr);
    EXPECT_EQ(RecordedDialogs().size(), 1u);
    List->Close();
}

TEST_F(RegisterDialogs, EmptyRegisterListIsShownAsAnEmptyFolder)
{
    CurrentUserLevel = 2;
    List->Show();
    EXPECT_EQ(List->p_Naglowek->Caption(), "FOLDER ZAWIERAJĄCY WYKAZY MATERIAŁOWE JEST PUSTY !!!");
    EXPECT_EQ(List->p_Naglowek->Font()->Color(), clRed);
    EXPECT_FALSE(List->sb_SprawdzListe->Enabled());
    Form->SetEnabled(false);
    List->Close();
    EXPECT_TRUE(Form->Enabled());
    EXPECT_EQ(SafeStrToInt("12"), 12);
    EXPECT_EQ(SafeStrToInt("1x"), -1);
    EXPECT_EQ(SafeStrToInt(""), -1);
}

TEST_F(RegisterDialogs, NumberColumnTakesTheUsersColourAndTheHeaderIsBold)
{
    Form->ColorBtn_PN_KolCellNrNormy->SetActiveColor(TColor(0x00CCEEFF));
    Write("Wykazy\\a.txt", "PN-X|PN-Y|||\r\n");
    List->lb_ListaWykazow->Items()->Add("a.txt");
    List->Show();
    TBrush brush;
    TFont font;
    struct Case {
        int Row, Col;
        unsigned State;
        bool Painted, Bold;
    } cases[] = {
        {1, 1, 0, true, false},
        {1, 1, gdSelected | gdFocused, true, false},
        {1, 1, gdSelected, false, false},   // selected without the focus
        {1, 2, 0, false, false},
        {0, 1, gdFixed, false, true},
    };
    for (const Case& c : cases) {
        brush.SetColor(clWindow);
        font.SetColor(clBlue);
        font.SetStyle(0);
        List->sg_ListaNormGetCellColor(List->sg_ListaNorm, c.Row, c.Col, c.State, &brush, &font);
        EXPECT_EQ(brush.Color() == TColor(0x00CCEEFF), c.Painted) << c.Row << "," << c.Col;
        EXPECT_EQ(font.Color() == clBlack, c.Painted);
        EXPECT_EQ((font.Style() & fsBold) != 0, c.Bold);
    }
    List->Close();
}

// ---------------------------------------------------------------- products
class Products : public RegisterDialogs {
protected:
    void SetUp() override
    {
        RegisterDialogs::SetUp();
        // Lines without "=" too: a name by itself (an empty group name in "Kategorie").
        Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyrób 1=\r\nWyrób 2=0\r\nBez znaku\r\n"
                                            "[Wyrób 1]\r\nWykonanie A=\r\nPuste=\r\nSama nazwa\r\n"
                                            "[Wykonanie A]\r\nz uszczelką=z_u.txt\r\nbez uszczelki=bez_u.txt\r\n"
                                            "drugi raz=Z_U.txt\r\nbez pliku=brak.txt\r\npoza=../poza.txt\r\n"
                                            "tylko nazwa\r\n[Puste]\r\nx=nie_ma.txt\r\n");
        Write("Wykazy\\z_u.txt", "PN-X|PN-X|||\r\n");
        Write("Wykazy\\bez_u.txt", "PN-EN 10025-2:2019|PN-Y|||\r\n");
        Wyroby->Show();
        Choose(Wyroby->lb_GropyWyrobow, "Wyrób 1");
        Choose(Wyroby->lb_WyrobyWGropie, "Wykonanie A");
    }
    void TearDown() override
    {
        Wyroby->Hide();
        RegisterDialogs::TearDown();
    }
    std::vector<AnsiString> Picks() { return Items(*Wyroby->lb_WykazyDoSprawdzenia->Items()); }
};

TEST_F(Products, ListsComeFromTheMenuFile)
{
    EXPECT_EQ(Items(*Wyroby->lb_GropyWyrobow->Items()), (std::vector<AnsiString>{"", "Wyrób 1", "Wyrób 2"}));
    EXPECT_EQ(Items(*Wyroby->lb_WyrobyWGropie->Items()),
              (std::vector<AnsiString>{"Puste", "Sama nazwa", "Wykonanie A"}));
    EXPECT_EQ(Items(*Wyroby->lb_Wykonania->Items()),
              (std::vector<AnsiString>{"bez pliku", "bez uszczelki", "drugi raz", "poza", "tylko nazwa", "z uszczelką"}));
    EXPECT_TRUE(Wyroby->sb_DodajWszystkie->Enabled());
    Choose(Wyroby->lb_Wykonania, "z uszczelką");
    EXPECT_EQ(Wyroby->lbl_Menu_NazwaPoz->Caption(), "z_u.txt");
    EXPECT_TRUE(Wyroby->sb_DodajWykaz->Enabled());
    Choose(Wyroby->lb_Wykonania, "bez pliku");
    EXPECT_FALSE(Wyroby->sb_DodajWykaz->Enabled());
    // A register name that leaves the registers folder is refused.
    ScriptDialogs().ExpectMessageBox(IDOK, "Nieprawidłowa nazwa pliku wykazu");
    Choose(Wyroby->lb_Wykonania, "poza");
    EXPECT_EQ(Wyroby->lbl_Menu_NazwaPoz->Caption(), "");
    EXPECT_FALSE(Wyroby->sb_DodajWykaz->Enabled());
}

TEST_F(Products, TheSameRegisterIsPickedOnce)
{
    Choose(Wyroby->lb_Wykonania, "z uszczelką");
    Wyroby->sb_DodajWykazClick(nullptr);
    Choose(Wyroby->lb_Wykonania, "drugi raz");
    ScriptDialogs().ExpectMessageBox(IDOK, "Wskazany wykaz znajduje się już na liście !!!");
    Wyroby->sb_DodajWykazClick(nullptr);
    EXPECT_EQ(Picks(), (std::vector<AnsiString>{"z uszczelką"}));
    EXPECT_TRUE(Wyroby->sb_SprawdzNormy->Enabled());
    SaveScreenshot(Wyroby, "products.png");

    // A double click adds only what the button could: no register, no pick.
    Choose(Wyroby->lb_Wykonania, "bez pliku");
    Wyroby->lb_Wykonania->OnDblClick(Wyroby->lb_Wykonania);
    EXPECT_EQ(Picks(), (std::vector<AnsiString>{"z uszczelką"}));

    // Removing the only pick disables both buttons.
    Wyroby->lb_WykazyDoSprawdzenia->SetItemIndex(0);
    Wyroby->lb_WykazyDoSprawdzeniaClick(nullptr);
    EXPECT_TRUE(Wyroby->sb_WyczyscListe->Enabled());
    Wyroby->sb_WyczyscListeClick(nullptr);
    EXPECT_TRUE(Picks().empty());
    EXPECT_EQ(Wyroby->lb_SpisNazwWykazow->Count(), 0);
    EXPECT_FALSE(Wyroby->sb_SprawdzNormy->Enabled());
    EXPECT_FALSE(Wyroby->sb_WyczyscListe->Enabled());
}

TEST_F(Products, AddAllTakesTheVariantsWithRegistersAndHandsThemOn)
{
    ScriptDialogs().ExpectMessageBox(IDOK, "Nieprawidłowa nazwa pliku wykazu");
    Wyroby->sb_DodajWszystkieClick(nullptr);
    // "drugi raz" names the register of "z uszczelką" in other letters: it comes first in the list.
    EXPECT_EQ(Picks(), (std::vector<AnsiString>{"bez uszczelki", "drugi raz"}));
    EXPECT_EQ(Items(*Wyroby->lb_SpisNazwWykazow->Items()), (std::vector<AnsiString>{"bez_u.txt", "Z_U.txt"}));

    Form->SetEnabled(false);
    Wyroby->sb_SprawdzNormyClick(nullptr);
    EXPECT_FALSE(Wyroby->Visible());
    EXPECT_TRUE(List->Visible());
    EXPECT_FALSE(Form->Enabled());
    EXPECT_EQ(Items(*List->lb_ListaWykazow->Items()), (std::vector<AnsiString>{"bez_u.txt", "Z_U.txt"}));
    EXPECT_EQ(ColumnTexts(*List->sg_ListaNorm, 1), (std::vector<AnsiString>{"PN-EN 10025-2:2019", "PN-X", "PN-Y", ""}));
    List->Close();
    EXPECT_TRUE(Form->Enabled());
}

TEST_F(Products, VariantsWithoutRegistersAddNothingAndTheWidthIsFixed)
{
    Choose(Wyroby->lb_WyrobyWGropie, "Puste");
    Wyroby->sb_DodajWszystkieClick(nullptr);
    EXPECT_TRUE(Picks().empty());
    EXPECT_FALSE(Wyroby->sb_SprawdzNormy->Enabled());

    int w = 900, h = 500;
    bool resize = true;
    Wyroby->FormCanResize(Wyroby, w, h, resize);
    EXPECT_FALSE(resize);
    w = 874;
    resize = true;
    Wyroby->FormCanResize(Wyroby, w, h, resize);
    EXPECT_TRUE(resize);
    // Nor can the user drag it wider or narrower; the height follows the drag.
    const int height = Wyroby->Height();
    for (int width : {1000, 600})
        MoveWindowByUser(Wyroby, Wyroby->Left(), Wyroby->Top(), width, height + 40);
    EXPECT_EQ(Wyroby->Width(), 874);
    EXPECT_EQ(Wyroby->Height(), height + 40);

    Word esc = 27;
    Form->SetEnabled(false);
    Wyroby->FormKeyDown(Wyroby, esc, 0);
    EXPECT_FALSE(Wyroby->Visible());
    EXPECT_TRUE(Form->Enabled());
}
