#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <cstdlib>
#include <set>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "controls/aniicon.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit10_Wyroby.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/FileLbl.h"
#include "controls/KXCtrls.h"
#include "controls/NetGradient.h"
#include "controls/ToolPanels.h"
#include "grid/ProGrid.h"
#include "grid/services/OfficePackage.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Messages.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/GridTest.h"

namespace {

const AnsiString CatalogueText = "PN-EN 10088-1:2007|Aktualna|Dostępna||Stale odporne|Część 1|\r\n"
                                 "PN-M-82144:1986|Nieaktualna|Brak|PN-EN ISO 4032:2004|Nakrętki||\r\n"
                                 "PN-O-79162:1991|Zastąpiona uznaniowo|Dostępna|X|Pudła||\r\n"
                                 "PN-H-92747:1987|Wycofana bez zastąpienia|Brak||Blachy||\r\n"
                                 "PN-EN 10025-2:2007|Aktualna|Dostępna||Wyroby||\r\n"
                                 "PN-H-84020:1989|Nieaktualna|Brak|PN-EN 10025-2:2007|Stal||\r\n";

// The main window over a catalogue of six standards, a menu file with the
// categories "Wyroby" and "Menu główne" and one register, with the program's
// dialogs that the commands show.
class Commands : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 3;
        Write("Katalog Norm\\normy_wszystkie.txt", CatalogueText);
        Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyroby=1\r\nMenu główne=1\r\n[Wyroby]\r\nZawory=1\r\n"
                                           "[Menu główne]\r\nPompy=1\r\n");
        Write("Wykazy\\a.txt", "PN-EN 10088-1:2007|PN-EN 10088-1:2007|Stal|Korpus|R-1|\r\n");
        Form->LoadNormList(Path("Katalog Norm\\normy_wszystkie.txt"));
        Grid = Form->sg_WszystkieNormy;
        Add = MakeDialog(f_DodajNowaNorme);
        Used = MakeDialog(f_ListaUzywanychNorm);
        Products = MakeDialog(f_Wyroby);
    }
    // The catalogue grid's cells of row r from column From to 6, each followed by "|".
    AnsiString Row(int r, int From = 1) const
    {
        AnsiString s;
        for (int c = From; c <= 6; ++c)
            s += Grid->Cells(c, r) + "|";
        return s;
    }
    // Answers the save dialog with Name (in the program folder), the file type of that 1-based
    // index chosen (0 as it was), or cancels it.
    void AnswerSaveDialog(const AnsiString& Name, bool Ok = true, int FilterIndex = 0)
    {
        ScriptDialogs().ExpectDialog(dkCommonDialog, "ZapiszListeNormJako", Ok ? IDOK : IDCANCEL,
                                     [this, Name, Ok, FilterIndex](TDialogRequest& r) {
                                         if (FilterIndex > 0)
                                             static_cast<TSaveDialog*>(r.Dialog)->SetFilterIndex(FilterIndex);
                                         if (Ok)
                                             r.Values = {Path(Name)};
                                     });
    }

    TProStringGrid* Grid = nullptr;
    Tf_DodajNowaNorme* Add = nullptr;
    Tf_ListaUzywanychNorm* Used = nullptr;
    Tf_Wyroby* Products = nullptr;
};

}  // namespace

TEST_F(Commands, EveryCommandReachesItsPage)
{
    TNetworkState offline(false);
    struct Case {
        AnsiString Command;
        AnsiString Page;                      // "" : the page stays as it was
        std::function<void()> Script;         // the boxes and dialogs the command shows
        std::function<void()> Check;          // more than the page
    };
    auto box = [](int answer, const char* text) { return [=] { ScriptDialogs().ExpectMessageBox(answer, text); }; };
    auto settingsPage = [this](const char* page) {
        return [this, page] { EXPECT_EQ(Form->str_UstawieniaProgramu->ActivePage(), page); };
    };
    const Case cases[] = {
        {"Lista używanych norm", "", nullptr,
         [this] {
             EXPECT_TRUE(Used->Visible());
             EXPECT_EQ(Used->lb_ListaWykazow->Count(), 1);
             EXPECT_FALSE(Form->Enabled());
             Used->Close();
             EXPECT_TRUE(Form->Enabled());
         }},
        {"Normy użyte w wyrobie", "", nullptr,
         [this] {
             EXPECT_TRUE(Products->Visible());
             EXPECT_FALSE(Form->Enabled());
             Products->Close();
             EXPECT_TRUE(Form->Enabled());
         }},
        {"Uprawnienia", "Uprawnienia", nullptr,
         [this] { EXPECT_EQ(Form->lb_Userzy->Count(), 2); EXPECT_FALSE(Form->cb_Uprawnienia->Enabled()); }},
        {"Użytkownicy programu", "Uzytkownicy", nullptr, nullptr},
        {"Kolory i styl przycisków menu głównego", "UstawieniaProg", nullptr,
         settingsPage("Kolory_Menu_Przyciskow_Glownego")},
        {"Kolory i styl wysuwanych paneli", "UstawieniaProg", nullptr, settingsPage("Kolory_Wysuwanych_Paneli")},
        {"Kolory nagłówków", "UstawieniaProg", nullptr, settingsPage("Kolor_Naglowka")},
        {"Kolory określające stan norm", "UstawieniaProg", nullptr, settingsPage("Kolory_Stanu_Norm")},
        {"Kolory sekcji na panelach", "UstawieniaProg", nullptr, settingsPage("Kolory_Sekcji")},
        {"Styl wyświetlania spisu norm", "UstawieniaProg", nullptr, settingsPage("Spis_Norm")},
        {"Styl wyświetlania wykazów", "UstawieniaProg", nullptr, settingsPage("Wykazy")},
        {"Menu", "DostosujGrupyPrziPoz", nullptr,
         [this] {
             EXPECT_EQ(Form->clb_MG_PrzyciskiMenuGlownego->Count(), 2);
             EXPECT_TRUE(Form->clb_MG_PrzyciskiMenuGlownego->Enabled());
         }},
        {"Informacja", "Informacja", nullptr, nullptr},
        {"Sprawdź uaktualnienia", "", box(IDOK, "Musisz być połączony z Internetem !!!"), nullptr},
        {"Wszystkie normy", "ListaWszystkichNorm", nullptr, nullptr},
        {"Dodaj nową normę", "ListaWszystkichNorm", [] { ScriptDialogs().ExpectModal("f_DodajNowaNorme", mrCancel); },
         nullptr},
        {"Usuń zaznaczoną normę z listy", "ListaWszystkichNorm", box(IDNO, "Czy na pewno chcesz usunąć"), nullptr},
        {"Pogrupuj listę norm", "ListaWszystkichNorm", box(IDNO, "zostanie pogrupowana"), nullptr},
        {"Zapisz listę norm", "ListaWszystkichNorm", box(IDNO, "Czy na pewno chcesz zapisać"), nullptr},
        {"Zapisz aktualną listę jako ...", "", box(IDOK, "Tej listy nie można zapisać !!!"), nullptr},
        {"Normy aktualne", "NormyWgStanu", nullptr, nullptr},
        {"Normy nieaktualne", "NormyWgStanu", nullptr, nullptr},
        {"Normy wycofane bez zastąpienia", "NormyWgStanu", nullptr, nullptr},
        {"Normy zakładowe", "NormyWgStanu", nullptr, nullptr},
        {"Normy zastąpione uznaniowo", "NormyWgStanu", nullptr, nullptr},
        {"W katalogu norm", "WkataloguTrelKordelin", nullptr,
         [this] { EXPECT_EQ(Form->cb_z_KryteriaSzukania->ItemIndex(), 0); }},
        {"Listę wszystkich norm", "ListaWszystkichNorm", box(IDOK, "Musisz być połączony"), nullptr},
        {"Aktualną listę", "", box(IDOK, "Tej listy aktualizować nie można !!!"), nullptr},
        {"Od zaznaczenia w dół", "ListaWszystkichNorm", box(IDOK, "Musisz być połączony"), nullptr},
        {"Od zaznaczenia w górę", "ListaWszystkichNorm", box(IDOK, "Musisz być połączony"), nullptr},
        {"Od pozycji nr w górę", "ListaWszystkichNorm", box(IDOK, "Musisz być połączony"), nullptr},
        {"Od pozycji nr w dół", "ListaWszystkichNorm", box(IDOK, "Musisz być połączony"), nullptr},
        {"Od pozycji nr do pozycji nr", "ListaWszystkichNorm", box(IDOK, "Musisz być połączony"), nullptr},
        {"Wybraną pozycję", "ListaWszystkichNorm", box(IDOK, "Musisz być połączony"), nullptr},
        {"Foldery", "UstawieniaFolderow", nullptr, nullptr},
        {"Wyroby|Menu", "DostosujGrupyPrziPoz", nullptr,
         [this] {
             // The list is sorted: "Menu główne" first.
             EXPECT_EQ(Form->clb_MG_PrzyciskiMenuGlownego->ItemIndex(), 1);
             EXPECT_FALSE(Form->clb_MG_PrzyciskiMenuGlownego->Enabled());
             EXPECT_FALSE(Form->clb_MG_PrzyciskiMenuGlownego->ItemEnabled(0));
             EXPECT_FALSE(Form->sb_MG_Dodaj->Enabled());
             EXPECT_FALSE(Form->GroupBox4->Enabled());
         }},
        {"Wyroby|Importuj z pliku", "Importuj", nullptr,
         [this] {
             EXPECT_EQ(Form->gb_Importuj_NazwaKategorii->Caption(), " Grupy wyrobów w kategorii Wyroby ");
             EXPECT_EQ(Form->lb_Importuj_GrupyProdoktow->Count(), 1);
             EXPECT_EQ(Form->lbl_Importuj_NazwaGrupy->Caption(), "(NIE WYBRANO GRUPY)");
             EXPECT_FALSE(Form->p_Worning->Visible());
         }},
        {"Wyroby|Zapisz jako ...", "ZapiszWykazJako", nullptr,
         [this] {
             EXPECT_EQ(Form->gb_Eksportuj_NazwaKategorii->Caption(), " Grupy wyrobów w kategorii Wyroby ");
             EXPECT_EQ(Form->cb_Exportuj_ZapiszJakoTyp->ItemIndex(), 3);
             EXPECT_EQ(Form->lb_Eksportuj_GrupyProduktow->Items()->Strings(0), "Zawory");
         }},
        // The category's name is not its item: "Menu główne" runs the import, not the menu editor.
        {"Menu główne|Importuj z pliku", "Importuj", nullptr,
         [this] { EXPECT_EQ(Form->lb_Importuj_GrupyProdoktow->Items()->Strings(0), "Pompy"); }},
        {"Menu główne|Zapisz jako ...", "ZapiszWykazJako", nullptr, nullptr},
        {"a.txt", "NowyWykaz", nullptr,
         [this] { EXPECT_EQ(Form->sg_NowyEdytujWykaz->Cells(1, 1), "PN-EN 10088-1:2007"); }},
        {"brak.txt", "", box(IDNO, "Czy chcesz stworzyć nowy wykaz dla pozycji Zawór DN50 teraz ???"), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Command);
        Form->lb_UserName->Items()->SetText("jan\r\nanna\r\n");
        Form->SetEnabled(true);
        // From a page none of the commands shows.
        Form->Strony->SetActivePage("NastroniePKN");
        if (c.Script)
            c.Script();
        EXPECT_EQ(Form->RunMenuCommand(c.Command, c.Command == "brak.txt" ? "Zawór DN50" : c.Command), "");
        EXPECT_EQ(Form->Strony->ActivePage(), c.Page.empty() ? AnsiString("NastroniePKN") : c.Page);
        if (c.Check)
            c.Check();
        EXPECT_TRUE(VerifyNoPendingDialogs());
    }
}

TEST_F(Commands, ShortcutKeysAndTheCatalogueDateItem)
{
    TNetworkState offline(false);
    struct Case {
        Word Key;
        TShiftState Shift;
        int Level;
        AnsiString Page;
    };
    const Case cases[] = {
        {VK_F3, 0, 0, "WkataloguTrelKordelin"}, {'F', ssCtrl, 0, "WkataloguTrelKordelin"},
        {VK_F10, 0, 0, "Informacja"},          {'U', ssCtrl, 1, "UstawieniaProg"},
        {'U', ssCtrl, 0, "Foldery"},           {'F', 0, 3, "Foldery"},
    };
    for (const Case& c : cases) {
        CurrentUserLevel = c.Level;
        Form->Strony->SetActivePage("UstawieniaFolderow");
        Word key = c.Key;
        Form->FormKeyDown(Form.get(), key, c.Shift);
        EXPECT_EQ(Form->Strony->ActivePage(), c.Page == "Foldery" ? AnsiString("UstawieniaFolderow") : c.Page)
            << c.Key;
    }

    // The item of the section "Ostatnia aktualizacja" carries the date as its caption.
    NormListDate = EncodeDate(2025, 3, 14) + EncodeTime(9, 30, 0, 0);
    const AnsiString date = DateTimeToStr(NormListDate);
    ScriptDialogs().ExpectMessageBox(IDOK, "Ostatni raz wykaz norm modyfikowano " + date + ".");
    Form->RunMenuCommand(date, date);
    NormListDate = 0;
}

TEST_F(Commands, RegisterItemsWithoutAFile)
{
    // Below level 2 the item is only reported.
    CurrentUserLevel = 1;
    ScriptDialogs().ExpectMessageBox(IDOK, "Wskazana pozycja nie ma przypisanego żadnego wykazu");
    Form->RunMenuCommand("nowy.txt", "Zawór");
    EXPECT_EQ(RecordedDialogs().back().Flags, unsigned(MB_OK | MB_ICONQUESTION));

    // From level 2 a new register is offered: under the menu's name, or without a file.
    CurrentUserLevel = 2;
    ScriptDialogs().ExpectMessageBox(IDYES, "Czy chcesz stworzyć nowy wykaz dla pozycji Zawór teraz ???");
    Form->RunMenuCommand("nowy.txt", "Zawór");
    EXPECT_EQ(CurrentListFile, Path("Wykazy/nowy.txt"));
    EXPECT_EQ(Form->ng_NowyEdytujWykaz->Caption(), "Dodaj nowy wykaz - zestawienie dla Zawór");

    Form->sb_Edytuj_ZapiszZmiany->SetEnabled(false);
    ScriptDialogs().ExpectMessageBox(IDYES, "dla pozycji Pompa teraz");
    Form->RunMenuCommand("", "Pompa");
    EXPECT_EQ(CurrentListFile, "");
    EXPECT_EQ(Form->ng_NowyEdytujWykaz->Caption(), "Dodaj nowy wykaz - zestawienie dla Pompa");
}

TEST_F(Commands, StateViewsHoldExactlyTheStandardsOfTheirState)
{
    struct Case {
        AnsiString Command;
        std::vector<AnsiString> Numbers;
    };
    const Case cases[] = {
        {"Normy aktualne", {"PN-EN 10088-1:2007", "PN-EN 10025-2:2007"}},
        {"Normy nieaktualne", {"PN-M-82144:1986", "PN-H-84020:1989"}},
        {"Normy zastąpione uznaniowo", {"PN-O-79162:1991"}},
        {"Normy wycofane bez zastąpienia", {"PN-H-92747:1987"}},
        {"Normy zakładowe", {}},
    };
    TProStringGrid* v = Form->sg_NormyWgStanu;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Command);
        Form->RunMenuCommand(c.Command, c.Command);
        std::vector<std::string> numbers(c.Numbers.begin(), c.Numbers.end());
        numbers.push_back("");   // the empty last row
        EXPECT_EQ(ColumnTexts(*v, 1), numbers);
        EXPECT_EQ(Form->ng_NormyWgStanu->Caption(), c.Command);
        EXPECT_EQ(v->Cells(1, 0), "Numer normy");
        for (int r = 1; r <= int(c.Numbers.size()); ++r) {
            EXPECT_EQ(v->Cells(0, r), IntToStr(r));
            EXPECT_NE(v->Cells(2, r).find(Tf_MainForm::StateWordOfView(c.Command)), AnsiString::npos);
        }
        if (c.Numbers.empty()) { EXPECT_EQ(v->Cells(1, 1), ""); }
    }
    // The view is a copy: a later change of the catalogue does not reach it.
    Grid->SetCells(1, 1, "PN-X");
    EXPECT_EQ(v->Cells(1, 1), "");
    SaveScreenshot(Form.get(), "state-view-empty.png");
    Form->RunMenuCommand("Normy nieaktualne", "Normy nieaktualne");
    Form->SetBounds(0, 0, 1024, 600);
    Form->Show();
    SaveScreenshot(Form.get(), "state-view.png");
}

TEST_F(Commands, AddingStandardsJoinsTitleAndDescriptionLines)
{
    auto fill = [this](const AnsiString& Number, const AnsiString& Title, const AnsiString& Description) {
        return [=, this](TForm*) {
            Add->e_NrNormy->SetText(Number);
            Add->m_Tytul->SetText(Title);
            Add->m_Opis->SetText(Description);
            Add->cb_StanPosiadania->SetItemIndex(Add->cb_StanPosiadania->Items()->IndexOf("Brak"));
            Add->cb_StanNormy->SetItemIndex(Add->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
            Add->e_ZastopionaPrzez->SetEnabled(true);
            Add->e_ZastopionaPrzez->SetText("PN-Y");
        };
    };
    ScriptDialogs()
        .ExpectModal("f_DodajNowaNorme", mrOk, fill("PN-A", "A\r\nB", "A\r\nB"))
        .ExpectModal("f_NowaNorma", mrOk,
                     [](TForm* f) {
                         // The answers in the order Yes, No, OK, Cancel, centred, OK focused.
                         std::vector<AnsiString> captions;
                         int right = 0;
                         for (int i = 0; i < f->ControlCount(); ++i)
                             if (auto* b = dynamic_cast<TButton*>(f->Controls(i))) {
                                 captions.push_back(b->Caption());
                                 if (right) { EXPECT_EQ(b->Left(), right + 8); }
                                 right = b->Left() + b->Width();
                             }
                         EXPECT_EQ(captions, (std::vector<AnsiString>{"&Pogrupuj i zapisz", "&Zapisz",
                                                                       "&Dodaj następną", "Z&akończ"}));
                         EXPECT_EQ(dynamic_cast<TButton*>(f->ActiveControl())->Caption(), "&Dodaj następną");
                         EXPECT_NE(f->Controls(0)->Caption().find("Co mam zrobić teraz ???"), AnsiString::npos);
                         EXPECT_EQ(f->Caption(), "UWAGA !!!");
                         // The warning picture of a message dialog, left of the text.
                         auto* icon = dynamic_cast<TImage*>(f->FindComponent("Image"));
                         ASSERT_TRUE(icon);
                         EXPECT_LT(icon->Left() + icon->Width(), f->Controls(0)->Left());
                         TBitmap expected;
                         LoadMessageIcon(mtWarning, &expected);
                         EXPECT_GT(expected.Width(), 0);
                         EXPECT_EQ(icon->Picture()->Width(), expected.Width());
                     })
        .ExpectModal("f_DodajNowaNorme", mrOk, fill("PN-B", "Jeden", "Dwa"))
        .ExpectModal("f_NowaNorma", mrCancel);
    Form->RunMenuCommand("Dodaj nową normę", "Dodaj nową normę");

    ASSERT_EQ(Grid->RowCount(), 10);
    EXPECT_EQ(Row(7), "PN-A|Nieaktualna|Brak|PN-Y|AB|A B |");
    EXPECT_EQ(Row(8, 0), "8|PN-B|Nieaktualna|Brak|PN-Y|Jeden|Dwa|");
    EXPECT_EQ(Grid->Cells(1, 9), "");
    EXPECT_TRUE(NormListModified);
    // The dialog is left empty for the next standard.
    EXPECT_EQ(Add->e_NrNormy->Text(), "");
    EXPECT_EQ(Add->cb_StanNormy->ItemIndex(), -1);
    EXPECT_FALSE(Add->sb_SprawdzNorme->Enabled());

    // "Zapisz" saves the catalogue with both.
    ScriptDialogs()
        .ExpectModal("f_DodajNowaNorme", mrOk, fill("PN-C", "C", ""))
        .ExpectModal("f_NowaNorma", mrNo)
        .ExpectMessageBox(IDNO, "Zrobić kopię")
        .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
    Form->RunMenuCommand("Dodaj nową normę", "Dodaj nową normę");
    EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"),
              CatalogueText + "PN-A|Nieaktualna|Brak|PN-Y|AB|A B |\r\nPN-B|Nieaktualna|Brak|PN-Y|Jeden|Dwa|\r\n"
                              "PN-C|Nieaktualna|Brak|PN-Y|C||\r\n");
    EXPECT_FALSE(NormListModified);
}

// Every way to the add dialog and out of it: opened by Ctrl+D, by the menu item or by the command,
// filled by typing and by pasting (a pasted title or description keeps no line end), confirmed by
// the OK button or by Return on it; the question after it answered by a key, by its button or by
// the window's close button.
TEST_F(Commands, AddingAStandardEveryWay)
{
    bool basics = true;
    Form->BuildMainMenu(basics);
    TProToolPanel* normy = Form->MenuPanel("Normy");
    auto menuItem = [&] {
        for (int s = 0; s < normy->Sections()->Count(); ++s) {
            TSectionItems* items = normy->Sections()->GetItem(s)->SectionItems();
            for (int i = 0; i < items->Count(); ++i)
                if (items->GetItem(i)->Caption() == "Dodaj nową normę")
                    return normy->OnItemClick(normy, s, i);
        }
        ADD_FAILURE() << "no menu item";
    };
    auto paste = [](TWinControl* Control, const AnsiString& Text) {
        Clipboard()->SetAsText(Text);
        Control->SetFocus();
        KeyDown(Control, 'V', ssCtrl);
    };
    auto button = [](TForm* f, int Result) {
        for (int i = 0; i < f->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TButton*>(f->Controls(i)); b && b->ModalResult() == Result)
                return b;
        return static_cast<TButton*>(nullptr);
    };
    struct Case {
        const char* Way;
        std::function<void()> Open;
        bool Paste;                  // title and description pasted with a line end, else typed
        bool ReturnOnOK;             // else a click on OK
        std::function<void(TForm*)> Answer;   // the question after adding: ends with Z&akończ
    };
    const Case cases[] = {
        {"Ctrl+D", [&] { KeyDown(Grid, 'D', ssCtrl); }, true, false,
         [](TForm* f) { KeyDown(static_cast<TWinControl*>(f->ActiveControl()), VK_ESCAPE); }},
        {"menu item", menuItem, false, true, [&](TForm* f) { button(f, mrCancel)->Click(); }},
        {"command", [&] { Form->RunMenuCommand("Dodaj nową normę", "Dodaj nową normę"); }, true, true,
         [](TForm* f) { CloseWindowByUser(f); }},
    };
    int row = Grid->RowCount() - 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Way);
        ScriptDialogs()
            .ExpectModal("f_DodajNowaNorme", mrIgnore,
                         [&](TForm*) {
                             TypeText(Add->e_NrNormy, " PN-EN 1|0 ");
                             if (c.Paste) {
                                 paste(Add->m_Tytul, "Łączniki\r\n");
                                 paste(Add->m_Opis, "Część 2\r\n");
                             } else {
                                 TypeText(Add->m_Tytul, "Łączniki");
                                 TypeText(Add->m_Opis, "Część 2");
                             }
                             Add->cb_StanPosiadania->SetFocus();
                             KeyDown(Add->cb_StanPosiadania, VK_DOWN);
                             TypeKey(Add->cb_StanPosiadania, VK_RETURN);   // on to the state list
                             KeyDown(Add->cb_StanNormy, VK_DOWN);
                             ASSERT_TRUE(Add->bb_OK->Enabled());
                             if (c.ReturnOnOK) {
                                 Add->bb_OK->SetFocus();
                                 TypeKey(Add->bb_OK, VK_RETURN);
                             } else {
                                 Add->bb_OK->Click();
                             }
                             EXPECT_EQ(Add->ModalResult(), mrOk);
                         })
            .ExpectModal("f_NowaNorma", mrIgnore, [&](TForm* f) {
                c.Answer(f);
                EXPECT_EQ(f->ModalResult(), mrCancel);
            });
        c.Open();
        ASSERT_EQ(Grid->RowCount(), row + 2);
        EXPECT_EQ(Row(row), " PN-EN 10 |Aktualna|Brak||Łączniki|Część 2|");
        EXPECT_TRUE(NormListModified);
        ++row;
    }
    ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno chcesz zapisać").ExpectMessageBox(IDNO, "Zrobić kopię")
        .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
    Form->RunMenuCommand("Zapisz listę norm", "Zapisz listę norm");
    AnsiString added;
    for (int i = 0; i < 3; ++i)
        added += " PN-EN 10 |Aktualna|Brak||Łączniki|Część 2|\r\n";
    EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"), CatalogueText + added);
    Clipboard()->Clear();
}

// A number copied from the shop's page comes with its line end: each one-line field it is pasted into
// keeps the first line only, so that the catalogue holds the number and a search finds it.
TEST_F(Commands, ANumberPastedWithItsLineEndKeepsItsFirstLineOnly)
{
    Tf_SprawdzNorme check(nullptr);
    auto paste = [](TEdit* Edit, const AnsiString& Number) {
        Clipboard()->SetAsText(Number + "\r\n");
        Edit->SetEnabled(true);
        Edit->Clear();
        KeyDown(Edit, 'V', ssCtrl);
        return Edit->Text();
    };
    for (TEdit* e : {check.e_NrNormy, check.e_ZastopionaPrzez, Form->e_z_Tytul, Form->e_z_Opis,
                     Form->e_z_Zastopiona, Form->e_WyszukajWPKN_NrNormy, Add->e_NrNormy, Add->e_ZastopionaPrzez})
        EXPECT_EQ(paste(e, "PN-EN 10025-2:2007"), "PN-EN 10025-2:2007") << e->Name();

    for (TEdit* e : {Form->e_z_Tytul, Form->e_z_Opis, Form->e_z_Zastopiona})
        e->Clear();
    paste(Form->e_z_NrNormy, "PN-EN 10025-2:2007");
    Form->sb_ZnajdzNormeWTrelKordelinClick(Form->sb_ZnajdzNormeWTrelKordelin);
    EXPECT_EQ(Form->lbl_ZnajdzNormeWTrelKordelni->Caption(), "Liczba norm spełniających kryteria wyszukiwania: 1");

    ScriptDialogs()
        .ExpectModal("f_DodajNowaNorme", mrOk,
                     [&](TForm*) {
                         paste(Add->e_NrNormy, "PN-EN 10025-2:2019");
                         Add->m_Tytul->SetText("Wyroby");
                         Add->cb_StanPosiadania->SetItemIndex(Add->cb_StanPosiadania->Items()->IndexOf("Brak"));
                         Add->cb_StanNormy->SetItemIndex(Add->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
                         Add->cb_StanNormyChange(Add->cb_StanNormy);
                         paste(Add->e_ZastopionaPrzez, "PN-EN 10025-2:2020");
                         EXPECT_TRUE(Add->bb_OK->Enabled());
                     })
        .ExpectModal("f_NowaNorma", mrNo)
        .ExpectMessageBox(IDNO, "Zrobić kopię")
        .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
    Form->RunMenuCommand("Dodaj nową normę", "Dodaj nową normę");
    EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"),
              CatalogueText + "PN-EN 10025-2:2019|Nieaktualna|Brak|PN-EN 10025-2:2020|Wyroby||\r\n");
    Clipboard()->Clear();
}

TEST_F(Commands, DeletingKeepsTheOtherRowNumbersAndReloadAsksAboutChanges)
{
    Grid->SetRow(6);
    ScriptDialogs().ExpectMessageBox(IDYES, "Nr normy: PN-H-84020:1989\rTytuł: Stal\r\rCzy na pewno");
    Form->RunMenuCommand("Usuń zaznaczoną normę z listy", "Usuń zaznaczoną normę z listy");
    ASSERT_EQ(Grid->RowCount(), 7);
    EXPECT_EQ(Grid->Cells(0, 5), "5");
    EXPECT_EQ(Grid->Cells(1, 6), "");
    EXPECT_TRUE(NormListModified);
    Grid->SetRow(2);
    ScriptDialogs().ExpectMessageBox(IDYES, "PN-M-82144:1986");
    Form->RunMenuCommand("Usuń zaznaczoną normę z listy", "Usuń zaznaczoną normę z listy");
    EXPECT_EQ(Grid->Cells(0, 2), "3");   // not renumbered
    EXPECT_EQ(Grid->Cells(1, 2), "PN-O-79162:1991");

    // Reloading a changed catalogue: Cancel keeps it, No reloads the file.
    ScriptDialogs().ExpectMessageBox(IDCANCEL, "Lista norm została zmodyfikowana");
    Form->RunMenuCommand("Wszystkie normy", "Wszystkie normy");
    EXPECT_EQ(Grid->RowCount(), 6);
    ScriptDialogs().ExpectMessageBox(IDNO, "Lista norm została zmodyfikowana");
    Form->RunMenuCommand("Wszystkie normy", "Wszystkie normy");
    EXPECT_EQ(Grid->RowCount(), 8);
    EXPECT_FALSE(NormListModified);

    // A missing catalogue file leaves the grid as it is.
    DeleteFile(Path("Katalog Norm\\normy_wszystkie.txt"));
    ScriptDialogs().ExpectMessageBox(IDOK, "brakuje spisu wszystkich norm");
    Form->RunMenuCommand("Wszystkie normy", "Wszystkie normy");
    EXPECT_EQ(RecordedDialogs().back().Caption, "BŁĄD !!!");
    EXPECT_EQ(Grid->RowCount(), 8);
}

TEST_F(Commands, SavingTheShownListByExtension)
{
    struct Case {
        AnsiString Name;      // chosen in the dialog
        AnsiString Written;   // the file written
        std::string Start;    // its first bytes
        int Type = 0;         // the file type chosen in the dialog, 1-based (0 the first)
    };
    const Case cases[] = {
        {"lista.html", "lista.html", "<"},         {"lista.txt", "lista.txt", ""},
        {"lista.csv", "lista.csv", "\"\""},          {"lista.xls", "lista.xlsx", "PK"},
        {"druga.xlsx", "druga.xlsx", "PK"},        {"lista.doc", "lista.docx", "PK"},
        {"lista.xml", "lista.xml.html", "PK"},
        // A name typed without an extension gets the chosen type's.
        {"katalog", "katalog.csv", "\"\"", 3},   {"spis", "spis.txt", "", 5},
        {"bez", "bez.html", "<", 1},
    };
    Form->RunMenuCommand("Normy aktualne", "Normy aktualne");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        AnswerSaveDialog(c.Name, true, c.Type ? c.Type : 1);
        Form->RunMenuCommand("Zapisz aktualną listę jako ...", "Zapisz aktualną listę jako ...");
        ASSERT_TRUE(FileExists(Path(c.Written)));
        const AnsiString bytes = Read(c.Written);
        EXPECT_EQ(bytes.substr(0, c.Start.size()), c.Start);
        if (c.Name == "lista.txt" || c.Name == "lista.csv" || c.Name == "katalog") {
            EXPECT_NE(bytes.find("PN-EN 10025-2:2007"), AnsiString::npos);
            EXPECT_EQ(bytes.find("PN-M-82144:1986"), AnsiString::npos);   // only the view's standards
        }
    }
    EXPECT_FALSE(FileExists(Path("lista.xml")));

    // An existing file: No asks for another name, and a cancelled dialog writes nothing.
    Write("stary.csv", "stary");
    AnswerSaveDialog("stary.csv");
    ScriptDialogs().ExpectMessageBox(IDNO, "Plik o podanej nazwie już istnieje");
    AnswerSaveDialog("", false);
    Form->RunMenuCommand("Zapisz aktualną listę jako ...", "Zapisz aktualną listę jako ...");
    EXPECT_EQ(Read("stary.csv"), "stary");
    // Cancel stops; Yes replaces it.
    for (int answer : {IDCANCEL, IDYES}) {
        AnswerSaveDialog("stary.csv");
        ScriptDialogs().ExpectMessageBox(answer, "już istnieje");
        Form->RunMenuCommand("Zapisz aktualną listę jako ...", "Zapisz aktualną listę jako ...");
        EXPECT_EQ(Read("stary.csv") == "stary", answer == IDCANCEL);
    }
    EXPECT_NE(Read("stary.csv").find("PN-EN 10088-1:2007"), AnsiString::npos);
}

TEST_F(Commands, SavedListsHoldPlainStateWordsAndOnlyTheWebPageItsColours)
{
    struct Case {
        const char* Name;      // chosen in the dialog
        const char* Written;   // the file written
        std::vector<std::string> Parts;   // the package's parts that hold the texts; none: the bytes
    };
    const Case cases[] = {
        {"lista.html", "lista.html", {}},
        {"lista.txt", "lista.txt", {}},
        {"lista.csv", "lista.csv", {}},
        {"lista.xls", "lista.xlsx", {"xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"}},
        {"lista.doc", "lista.docx", {"word/document.xml"}},
        {"lista.xml", "lista.xml.html", {"word/document.xml"}},
    };
    // The catalogue and a state view.
    for (const char* view : {"Wszystkie normy", "Normy nieaktualne"}) {
        Form->RunMenuCommand(view, view);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(view) + " " + c.Name);
            const AnsiString name = AnsiString(view).substr(0, 5) + c.Name;
            AnswerSaveDialog(name);
            Form->RunMenuCommand("Zapisz aktualną listę jako ...", "Zapisz aktualną listę jako ...");
            const AnsiString file = Path(AnsiString(view).substr(0, 5) + c.Written);
            std::string text = LoadBytesFromFile(file);
            if (!c.Parts.empty()) {
                TOfficePackage package;
                package.LoadFromFile(file, "plik");
                text.clear();
                for (const std::string& part : c.Parts)
                    text += package.Part(part);
            }
            EXPECT_NE(text.find("Nieaktualna"), std::string::npos);
            const bool html = c.Written == std::string("lista.html");
            EXPECT_EQ(text.find("p align") != std::string::npos, html);
            EXPECT_EQ(text.find("font color") != std::string::npos, html);
        }
    }
}

TEST_F(Commands, SearchPageButtonsFollowTheResults)
{
    Form->RunMenuCommand("W katalogu norm", "W katalogu norm");
    EXPECT_FALSE(Form->sb_z_SprawdzNorme->Enabled());
    EXPECT_FALSE(Form->sb_z_Kopiuj->Enabled());
    Form->sg_ZnajdzNormeWTrelKordelin->SetCells(1, 1, "PN-EN 10088-1:2007");
    Form->sg_ZnajdzNormeWTrelKordelin->SetRow(1);
    Form->sg_ZnajdzNormeWTrelKordelin->SetCol(1);
    Form->RunMenuCommand("W katalogu norm", "W katalogu norm");
    EXPECT_TRUE(Form->sb_z_SprawdzNorme->Enabled());
    EXPECT_TRUE(Form->sb_z_Kopiuj->Enabled());
}

TEST_F(Commands, AboutAndUpdatePagesFetchTheVersionOnce)
{
    TTestHttpServer server;
    server.Serve("/version.ini", 200, "text/plain",
                 "[QDR]\r\nversion=9.0.0.0\r\nurl=https://velmarok.invalid/pobierz\r\nnew=Nowe raporty\r\n");
    RedirectHostToTestServer("https://velmarok.invalid", server);
    RunningVersion = "1.0.0.0";
    UpdateCheckDone = false;
    Form->SetBounds(0, 0, 1024, 700);
    Form->Show();
    {
        // Offline: the update page reports the message and that it could not check.
        TNetworkState offline(false);
        ScriptDialogs().ExpectMessageBox(IDOK, "Musisz być połączony z Internetem !!!");
        Form->RunMenuCommand("Sprawdź uaktualnienia", "Sprawdź uaktualnienia");
        EXPECT_EQ(Form->l_Status->Caption(), "Nie udało się sprawdzić, czy jest nowsza wersja programu.");
        EXPECT_FALSE(Form->sb_PobierzAktualizacje->Visible());
        EXPECT_FALSE(UpdateCheckDone);
        EXPECT_TRUE(server.Requests().empty());
    }
    TNetworkState online(true);
    Form->RunMenuCommand("Sprawdź uaktualnienia", "Sprawdź uaktualnienia");
    EXPECT_EQ(Form->Strony->ActivePage(), "SprawdzUaktualnienia");
    EXPECT_EQ(Form->l_Status->Caption(), "Dostępna jest nowa wersja programu.");
    EXPECT_TRUE(Form->sb_PobierzAktualizacje->Visible());
    EXPECT_EQ(Form->sb_PobierzAktualizacje->Hint(), "Nowe raporty");
    EXPECT_FALSE(Form->ani_Animacja->Visible());
    EXPECT_TRUE(UpdateCheckDone);
    SaveScreenshot(Form.get(), "update-page.png");

    // The about page does not download again.
    Form->e_KierownikDzialu->SetText("jan");
    Form->RunMenuCommand("Informacja", "Informacja");
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(Form->Strony->ActivePage(), "Informacja");
    EXPECT_TRUE(Form->sb_DownUpdate->Visible());
    EXPECT_EQ(Form->sb_DownUpdate->Hint(), "Nowe raporty");
    EXPECT_EQ(Form->l_Version->Caption(), "v " + GetExeVersion());
    EXPECT_FALSE(Form->sb_Pomoc->Visible());
    // Picture centred with its bottom at the middle, the rows 4 pixels apart below it.
    TImage* picture = Form->img_About;
    EXPECT_EQ(picture->Top() + picture->Height(), Form->Panel7->ClientHeight() / 2);
    EXPECT_LE(std::abs(2 * picture->Left() + picture->Width() - Form->Panel7->ClientWidth()), 1);
    EXPECT_EQ(Form->a_l[0]->Left(), picture->Left());
    EXPECT_EQ(Form->a_l[1]->Top(), Form->a_l[0]->Top() + Form->a_l[0]->Height() + 4);
    EXPECT_EQ(Form->a_l[2]->Left(), Form->a_l[1]->Left() + Form->a_l[1]->Width() + 10);
    EXPECT_EQ(Form->img_Money->Left(), Form->imgGL->Left() + Form->imgGL->Width() + 4);
    // The link pictures beside the author row.
    EXPECT_EQ(Form->imgGL->Left(), Form->a_l[10]->Left() + Form->a_l[10]->Width() + 4);
    EXPECT_EQ(Form->imgGL->Top(), Form->a_l[9]->Top());
    EXPECT_EQ(Form->l_Version->Left() + Form->l_Version->Width(), picture->Left() + picture->Width());
    SaveScreenshot(Form.get(), "about-page.png");

    // The help file beside the program shows the help button.
    Write("help\\tyrvenhold.html", "<html></html>");
    Form->RunMenuCommand("Informacja", "Informacja");
    EXPECT_TRUE(Form->sb_Pomoc->Visible());
    ClearHostRedirects();
    UpdateCheckDone = false;
    RunningVersion = PublishedVersion = UpdateAddress = NewsText = "";
}

TEST_F(Commands, NewRegisterAsksAboutTheOpenRegisterByItsItemName)
{
    CurrentUserLevel = 3;
    Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyroby=1\r\n[Wyroby]\r\nZawory=\r\n[Zawory]\r\nPompa=nowy.txt\r\n");
    const auto modifiedQuestion = [] {
        ScriptDialogs().ExpectMessageBox(IDCANCEL, "Wykaz Zawór A został zmodyfikowany. Czy chcesz zapisać "
                                                   "wprowadzone zmiany ???\r\rKliknij na:\r• TAK aby zapisać zmiany "
                                                   "w wykazie,\r• NIE aby bez zapisywania zmian otworzyć wykaz Pompa,"
                                                   "\r• ANULUJ aby wrócić do otwartego wykazu.");
    };
    // The same question from the menu item and from the menu editor's "Utwórz wykaz".
    const std::function<void()> creates[] = {
        [&] {
            ScriptDialogs().ExpectMessageBox(IDYES, "Czy chcesz stworzyć nowy wykaz dla pozycji Pompa teraz ???");
            modifiedQuestion();
            Form->RunMenuCommand("nowy.txt", "Pompa");
        },
        [&] {
            Form->RunMenuCommand("Menu", "Menu");
            Choose(Form->clb_MG_PrzyciskiMenuGlownego, "Wyroby");
            Choose(Form->lb_G_Spis, "Zawory");
            Choose(Form->lb_W_Spis, "Pompa");
            ASSERT_TRUE(Form->sb_W_UtworzWykaz->Enabled());
            modifiedQuestion();
            Form->sb_W_UtworzWykaz->Click();
        },
    };
    for (const auto& create : creates) {
        Form->RunMenuCommand("a.txt", "Zawór A");
        Form->ng_NowyEdytujWykaz->SetCaption("Inny nagłówek");
        Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
        create();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(CurrentListFile, Path("Wykazy/a.txt"));
        Form->sb_Edytuj_ZapiszZmiany->SetEnabled(false);
    }
}
