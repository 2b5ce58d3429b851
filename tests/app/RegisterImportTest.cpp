// The two import forms: the page "Importuj" and the menu editor's box. The
// button's enabling and caption, the name rules of both forms, the checks,
// replacing an item's register, a new group, Enter and the two links.
#include <gtest/gtest.h>

#include "app/Wykazy.h"
#include "controls/FileLbl.h"
#include "controls/KXCtrls.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ShellApi.h"
#include "tests/app/MainFormFixture.h"

namespace {

const AnsiString MenuFile = "[Kategorie]\r\nWyroby=0\r\n"
                        "[Wyroby]\r\nZawory=\r\n"
                        "[Zawory]\r\nZawór DN50=zawor.txt\r\n";
const AnsiString Source = "Korpus\tR-1\tŻeliwo\tPN-EN 1561:2012\r\nKołnierz\tR-2\tS235\tPN-EN 1092-1\r\n";

class ImportForms : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        Write("Ustawienia\\kategorie.ini", MenuFile);
        Write("Wykazy\\zawor.txt", "A|A||||\r\n");
        Write("Importuj\\bom.txt", Source);
    }
    // The page opened; with Pick, the source file and the first group chosen too.
    void OpenImportPage(bool Pick = false)
    {
        Form->RunMenuCommand("Wyroby|Importuj z pliku", "Importuj z pliku");
        ASSERT_EQ(Form->Strony->ActivePage(), "Importuj");
        if (Pick)
            PickSourceAndGroup();
    }
    void PickSourceAndGroup()
    {
        Form->edt_ImportujWykaz->SetText(Path("Importuj\\bom.txt"));
        ChooseGroup(Form->lb_Importuj_GrupyProdoktow, 0);
    }
    // The menu editor on the group "Zawory" of the category "Wyroby".
    void OpenMenuEditorGroup()
    {
        Form->RunMenuCommand("Menu", "Menu");
        ASSERT_EQ(Form->Strony->ActivePage(), "DostosujGrupyPrziPoz");
        Choose(Form->clb_MG_PrzyciskiMenuGlownego, "Wyroby");
        Choose(Form->lb_G_Spis, "Zawory");
    }
    // Name added to the group and the menu saved in the menu editor.
    void AddMenuEditorItem(const AnsiString& Name)
    {
        OpenMenuEditorGroup();
        Form->e_W_Dodaj->SetText(Name);
        Form->sb_W_Dodaj->Click();
        ScriptDialogs().ExpectMessageBox(IDOK, "Wszystkie wprowadzone zmiany");
        Form->sb_W_Zapisz->Click();
    }
    void ChooseGroup(TListBox* Groups, int Index)
    {
        Groups->SetItemIndex(Index);
        Groups->OnClick(Groups);
    }
    void PressEnter(TWinControl* Control)
    {
        Word key = VK_RETURN;
        Control->OnKeyDown(Control, key, 0);
    }
};

}  // namespace

TEST_F(ImportForms, PageButtonFollowsTheFileTheGroupAndTheName)
{
    OpenImportPage();
    TSpeedButton* button = Form->sb_ImportujPlik;
    Form->edt_ImportujWykaz->SetText(Path("Importuj\\brak.txt"));
    EXPECT_EQ(Form->lbl_Importuj_ImportowanyPlik->Caption(), "WSKAZANY PLIK NIE ISTNIEJE !!!");
    EXPECT_EQ(Form->lbl_Importuj_ImportowanyPlik->Font()->Color(), clRed);
    Form->edt_ImportujWykaz->SetText(Path("Importuj\\bom.txt"));
    EXPECT_EQ(Form->lbl_Importuj_ImportowanyPlik->FileName(), Path("Importuj\\bom.txt"));
    EXPECT_EQ(Form->lbl_Importuj_ImportowanyPlik->Font()->Color(), clBlack);
    EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz->Text(), "bom");
    EXPECT_FALSE(button->Enabled());   // no group yet

    ChooseGroup(Form->lb_Importuj_GrupyProdoktow, 0);
    EXPECT_EQ(Form->lbl_Importuj_NazwaGrupy->Caption(), "Zawory");
    EXPECT_EQ(Form->lb_Importuj_ListaWykazow->Items()->CommaText(), "\"Zawór DN50\"");
    struct Case {
        const char* Name;
        const char* Shown;   // the edit's text afterwards
        bool Enabled;
        const char* Caption;
    } cases[] = {
        {"bom", "bom", true, "Importuj plik"},
        {"zawór dn50", "zawór dn50", true, "Zastąp wykaz"},
        {"a=b", "", false, "Importuj plik"},
        {"a;b", "", false, "Importuj plik"},
        {"a|b", "", false, "Importuj plik"},
        {"   ", "   ", false, "Importuj plik"},
        {" Nowy", " Nowy", false, "Importuj plik"},
        {"", "", false, "Importuj plik"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Form->e_Importuj_NazwaNowejPoz->SetText(c.Name);
        EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz->Text(), c.Shown);
        EXPECT_EQ(button->Enabled(), c.Enabled);
        EXPECT_EQ(button->Caption(), c.Caption);
    }
    // Choosing an item of the group takes its name, to replace its register.
    ChooseGroup(Form->lb_Importuj_ListaWykazow, 0);
    EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz->Text(), "Zawór DN50");
    EXPECT_EQ(button->Caption(), "Zastąp wykaz");

    Form->Show();
    SaveScreenshot(Form.get(), "register_import_page_filled.png");
    Form->Hide();
}

TEST_F(ImportForms, EnterImportsANewItemAndReplacingAsksFirst)
{
    OpenImportPage();
    // Enter while the button is disabled does nothing.
    PressEnter(Form->lb_Importuj_GrupyProdoktow);
    PickSourceAndGroup();
    Form->e_Importuj_NazwaNowejPoz->SetText("Zawór DN80");
    ScriptDialogs().ExpectMessageBox(IDNO, "Wykaz został pomyślnie zaimportowany, czy chcesz uruchomić go teraz ???");
    PressEnter(Form->e_Importuj_NazwaNowejPoz);
    EXPECT_EQ(Read("Wykazy\\Zawór_DN80.txt"), "|PN-EN 1561:2012|Żeliwo|Korpus|R-1|\r\n|PN-EN 1092-1|S235|Kołnierz|R-2|\r\n");
    EXPECT_EQ(Menu("Zawory", "Zawór DN80"), "Zawór_DN80.txt");
    // The category's key is written anew: its panel is shown again.
    EXPECT_EQ(Menu("Kategorie", "Wyroby"), "");
    EXPECT_FALSE(FileExists(Path("Importuj\\bom.txt")));
    EXPECT_EQ(Form->edt_ImportujWykaz->Text(), "");
    EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz->Text(), "");
    EXPECT_GE(Form->lb_Importuj_ListaWykazow->Items()->IndexOf("Zawór DN80"), 0);

    // Replacing: "no" keeps everything; "yes" binds the item to a new file and keeps the old one.
    Write("Importuj\\bom.txt", Source);
    Form->cb_Importuj_UsunZrodlo->SetChecked(false);
    Form->edt_ImportujWykaz->SetText(Path("Importuj\\bom.txt"));
    Form->e_Importuj_NazwaNowejPoz->SetText("Zawór DN50");
    ASSERT_EQ(Form->sb_ImportujPlik->Caption(), "Zastąp wykaz");
    ScriptDialogs().ExpectMessageBox(IDNO, "Czy na pewno chcesz zamienić wykaz dla Zawór DN50 na aktualnie imporotwany ???");
    Form->sb_ImportujPlik->Click();
    EXPECT_EQ(Menu("Zawory", "Zawór DN50"), "zawor.txt");
    EXPECT_EQ(RecordedDialogs().back().Caption, "BŁĄD !!!");
    ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno chcesz zamienić wykaz").ExpectMessageBox(IDNO, "pomyślnie");
    Form->sb_ImportujPlik->Click();
    EXPECT_EQ(Menu("Zawory", "Zawór DN50"), "Zawór_DN50.txt");
    EXPECT_TRUE(FileExists(Path("Wykazy\\zawor.txt")));
    EXPECT_TRUE(FileExists(Path("Importuj\\bom.txt")));
    EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz->Text(), "Zawór DN50");
    EXPECT_EQ(Form->lb_Importuj_ListaWykazow->Items()->Count(), 2);
}

TEST_F(ImportForms, ChecksBeforeAnythingIsWritten)
{
    OpenImportPage(true);
    Form->e_Importuj_NazwaNowejPoz->SetText("Nowy");
    ASSERT_TRUE(Form->sb_ImportujPlik->Enabled());
    // The source disappears after the button was enabled.
    std::filesystem::remove(OsPath("Importuj\\bom.txt"));
    ScriptDialogs().ExpectMessageBox(IDOK, "Plik, który mam zaimportować nie istnieje !!!");
    Form->sb_ImportujPlik->Click();
    Write("Importuj\\bom.txt", Source);
    Form->e_Importuj_NazwaNowejPoz->Clear();
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie podano nazwy dla nowego wykazu, dla nowej pozycji !!!");
    Form->sb_ImportujPlik->Click();
    Form->lb_Importuj_GrupyProdoktow->SetItemIndex(-1);
    Form->e_Importuj_NazwaNowejPoz->SetText("Nowy");
    ScriptDialogs().ExpectMessageBox(IDOK, "Wybierz grupę produktów do której mam zaimportować wskazany wykaz !!!");
    Form->sb_ImportujPlik->Click();
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), MenuFile);
    EXPECT_FALSE(FileExists(Path("Wykazy\\Nowy.txt")));
}

TEST_F(ImportForms, NewGroupLivesInTheListUntilARegisterIsImportedIntoIt)
{
    OpenImportPage();
    ScriptDialogs().ExpectInput(true, "zawory").ExpectMessageBox(IDOK, "Podana nazwa znajduje sie już na liście !!!");
    Form->sb_Importuj_DodajGrupe->Click();
    ScriptDialogs().ExpectInput(false);
    Form->sb_Importuj_DodajGrupe->Click();
    ScriptDialogs().ExpectInput(true, " Pompy").ExpectMessageBox(IDOK, "Nazwa nie może rozpoczynać się od znaku spacji");
    Form->sb_Importuj_DodajGrupe->Click();
    ScriptDialogs().ExpectInput(true, "Pompy");
    Form->sb_Importuj_DodajGrupe->Click();
    EXPECT_EQ(Form->lb_Importuj_GrupyProdoktow->Items()->CommaText(), "Pompy,Zawory");
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), MenuFile);

    PickSourceAndGroup();
    EXPECT_EQ(Form->lb_Importuj_ListaWykazow->Count(), 0);
    ScriptDialogs().ExpectMessageBox(IDNO, "pomyślnie");
    Form->sb_ImportujPlik->Click();
    EXPECT_EQ(Menu("Wyroby", "Pompy"), "");
    EXPECT_EQ(Menu("Pompy", "bom"), "bom.txt");
}

TEST_F(ImportForms, MenuEditorBoxRefusesBadNamesWithAMessage)
{
    OpenMenuEditorGroup();
    TSpeedButton* button = Form->sb_ImportujZPlikuNaUstawieniachMenu;
    EXPECT_FALSE(button->Enabled());
    Form->e_NazwaPliku_ImportujNaUstawieniachMenu->SetText(Path("Importuj\\bom.txt"));
    EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->Text(), "bom");
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->Caption(), "Importuj z pliku");

    struct Case {
        const char* Name;
        const char* Message;
    } refused[] = {{"a=b", "Nazwa nie może zawierać żadnego z następujących znaków: ; = |"},
                   {"a|b", "Nazwa nie może zawierać żadnego z następujących znaków: ; = |"},
                   {"  ", "Nazwa nie może rozpoczynać się od znaku spacji"}};
    for (const Case& c : refused) {
        SCOPED_TRACE(c.Name);
        ScriptDialogs().ExpectMessageBox(IDOK, c.Message);
        Form->e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->SetText(c.Name);
        EXPECT_EQ(RecordedDialogs().back().Caption, "BŁĄD");
        EXPECT_FALSE(button->Enabled());
        // The name stays for the user to mend; Enter does nothing meanwhile.
        PressEnter(Form->e_Importuj_NazwaNowejPoz_NaUstawieniachMenu);
    }
    Form->e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->SetText("ZAWÓR DN50");
    EXPECT_EQ(button->Caption(), "Zastąp wykaz");

    // Choosing an item evaluates the button again; a new name imports with Enter.
    ChooseGroup(Form->lb_W_Spis, 0);
    EXPECT_EQ(button->Caption(), "Zastąp wykaz");
    Form->e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->SetText("Nowa");
    ScriptDialogs().ExpectMessageBox(IDNO, "pomyślnie");
    PressEnter(Form->cb_UsunPlik_ImportujNaUstawieniachMenu);
    EXPECT_EQ(Menu("Zawory", "Nowa"), "Nowa.txt");
    EXPECT_GE(Form->lb_W_Spis->Items()->IndexOf("Nowa"), 0);
    EXPECT_EQ(Form->e_NazwaPliku_ImportujNaUstawieniachMenu->Text(), "");
    EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz_NaUstawieniachMenu->Text(), "");

    Form->Show();
    SaveScreenshot(Form.get(), "register_import_menu_box.png");
    Form->Hide();
}

TEST_F(ImportForms, LinksToTheImportPageAndToTheInstructions)
{
    Form->RunMenuCommand("Menu", "Menu");
    ScriptDialogs().ExpectMessageBox(IDOK, "Wybierz wyrób do którego mam importować nowy wykaz !!!");
    Form->QelSensitiveLabel3Click(nullptr);
    EXPECT_EQ(Form->Strony->ActivePage(), "DostosujGrupyPrziPoz");
    Form->clb_MG_PrzyciskiMenuGlownego->SetItemIndex(0);
    Form->QelSensitiveLabel3Click(nullptr);
    EXPECT_EQ(Form->Strony->ActivePage(), "Importuj");
    EXPECT_EQ(Form->gb_Importuj_NazwaKategorii->Caption(), " Grupy wyrobów w kategorii Wyroby ");
    EXPECT_EQ(Form->lbl_Importuj_NazwaGrupy->Caption(), "(NIE WYBRANO GRUPY)");

    AnsiString opened;
    SetShellOpenHook([&](const AnsiString& Target) {
        opened = Target;
        return true;
    });
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można wyświetlić instrukcji, brak niezbędnych do tego plików.\r\r"
                                           "Pobierz ponownie program ze strony ");
    Form->QelSensitiveLabel5->OnClick(Form->QelSensitiveLabel5);
    EXPECT_EQ(opened, "");
    Write("Importuj\\CZYTAJ TO !!!.htm", "<html></html>");
    Form->QelSensitiveLabel4->OnClick(Form->QelSensitiveLabel4);
    EXPECT_EQ(ExtractFileName(opened), "CZYTAJ TO !!!.htm");
}

TEST_F(ImportForms, NamesWithAColonKeepTheirOwnRegisterFiles)
{
    // "Skala 1:10" imported on the page, "Model 2:10" added in the menu editor
    // and its new register written there.
    OpenImportPage(true);
    Form->e_Importuj_NazwaNowejPoz->SetText("Skala 1:10");
    ScriptDialogs().ExpectMessageBox(IDNO, "pomyślnie");
    Form->sb_ImportujPlik->Click();

    AddMenuEditorItem("Model 2:10");
    ChooseGroup(Form->lb_W_Spis, Form->lb_W_Spis->Items()->IndexOf("Model 2:10"));
    ASSERT_TRUE(Form->sb_W_UtworzWykaz->Enabled());
    Form->sb_W_UtworzWykaz->Click();
    Form->sg_NowyEdytujWykaz->SetCells(2, 1, "PN-EN 10025-2");
    ASSERT_TRUE(Form->SaveListFile());

    // Each item names the file written for it and opens it again from the menu.
    struct Case {
        const char* Item;
        const char* File;
        const char* Line;
    } cases[] = {
        {"Skala 1:10", "Skala_1:10.txt", "|PN-EN 1561:2012|Żeliwo|Korpus|R-1|"},
        {"Model 2:10", "Model_2:10.txt", "|PN-EN 10025-2||||"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Item);
        const AnsiString file = Menu("Zawory", c.Item);
        EXPECT_EQ(file, c.File);
        EXPECT_EQ(Read(AnsiString("Wykazy\\") + c.File).substr(0, strlen(c.Line)), c.Line);
        Form->RunMenuCommand(file, c.Item);
        EXPECT_EQ(CurrentListFile, Path(AnsiString("Wykazy/") + c.File));
        EXPECT_EQ(Form->sg_NowyEdytujWykaz->Cells(2, 1), SplitListLine(c.Line)[lfListNorm]);
    }
    EXPECT_FALSE(FileExists(Path("Wykazy\\10.txt")));
}

TEST_F(ImportForms, AClickOnTheChosenItemOrGroupChoosesItAgain)
{
    OpenImportPage();
    Form->Show();
    TListBox* groups = Form->lb_Importuj_GrupyProdoktow;
    TListBox* items = Form->lb_Importuj_ListaWykazow;
    auto clickRow = [](TListBox* List, int Row) {
        const TRect r = List->ItemRect(Row);
        AdvanceInputClock(1000);
        Click(List, r.Left + 10, (r.Top + r.Bottom) / 2);
    };
    Form->edt_ImportujWykaz->SetText(Path("Importuj\\bom.txt"));
    clickRow(groups, 0);
    // The item again after another name was typed: its register is to be replaced.
    clickRow(items, 0);
    Form->e_Importuj_NazwaNowejPoz->SetText("Inny");
    clickRow(items, 0);
    EXPECT_EQ(Form->e_Importuj_NazwaNowejPoz->Text(), "Zawór DN50");
    EXPECT_EQ(Form->sb_ImportujPlik->Caption(), "Zastąp wykaz");
    // The group again after another login gave it an item: the list shows it.
    Write("Ustawienia\\kategorie.ini", MenuFile + "Nowy=nowy.txt\r\n");
    clickRow(groups, 0);
    EXPECT_EQ(items->Items()->CommaText(), "\"Zawór DN50\",Nowy");
    Form->Hide();
}

TEST_F(ImportForms, AnItemTheGroupGotElsewhereIsNotBoundToTheImportUnasked)
{
    // How the group gets the item "Nowy" while the page shows the group as it was read.
    struct Way {
        const char* Name;
        std::function<void()> Give;
    } ways[] = {
        {"the menu editor, then Wstecz",
         [this] {
             AddMenuEditorItem("nowy");
             Form->sb_Zakladki_Wstecz->Click();
             ASSERT_EQ(Form->Strony->ActivePage(), "Importuj");
         }},
        {"another login", [this] { Write("Ustawienia\\kategorie.ini", MenuFile + "nowy=\r\n"); }},
    };
    // How the import is started.
    const std::pair<const char*, std::function<void()>> runs[] = {
        {"button", [this] { Form->sb_ImportujPlik->Click(); }},
        {"Return", [this] { PressEnter(Form->e_Importuj_NazwaNowejPoz); }},
    };
    for (const Way& w : ways)
        for (const auto& run : runs) {
            SCOPED_TRACE(std::string(w.Name) + " / " + run.first);
            Write("Ustawienia\\kategorie.ini", MenuFile);
            OpenImportPage(true);
            w.Give();
            const AnsiString menu = Read("Ustawienia\\kategorie.ini");
            Form->e_Importuj_NazwaNowejPoz->SetText("Nowy");
            ScriptDialogs().ExpectMessageBox(IDOK, "Pozycja o nazwie 'Nowy'już istnieje - podaj inną !!!");
            run.second();
            EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), menu);
            EXPECT_TRUE(FileExists(Path("Importuj\\bom.txt")));
            // The list shows the item now, and the button offers to replace its register.
            EXPECT_EQ(Form->lb_Importuj_ListaWykazow->Items()->CommaText(), "\"Zawór DN50\",nowy");
            EXPECT_EQ(Form->sb_ImportujPlik->Caption(), "Zastąp wykaz");
        }
}

// A group the page read that is gone from the menu when the import writes (its category
// renamed, the group renamed or removed) is refused, and the groups are read again.
TEST_F(ImportForms, AGroupGoneSinceThePageReadItIsRefused)
{
    auto editMenu = [this](TCustomListBox* List, const char* Entry, TEdit* Edit, TSpeedButton* Rename,
                           TSpeedButton* Save) {
        Form->RunMenuCommand("Menu", "Menu");
        Choose(Form->clb_MG_PrzyciskiMenuGlownego, "Wyroby");
        Choose(List, Entry);
        List->OnDblClick(List);
        Edit->SetText("Pompy");
        Rename->Click();
        ScriptDialogs().ExpectMessageBox(IDOK, "Wszystkie wprowadzone zmiany");
        Save->Click();
        Form->sb_Zakladki_Wstecz->Click();
    };
    const struct {
        const char* Way;
        std::function<void()> Go;
        const char* GroupsAfter;
    } ways[] = {
        {"group renamed in the menu editor",
         [&] { editMenu(Form->lb_G_Spis, "Zawory", Form->e_G_DodajNowa, Form->sb_G_ZmienNazwe, Form->sb_G_Zapisz); },
         "Pompy"},
        {"category renamed in the menu editor",
         [&] {
             editMenu(Form->clb_MG_PrzyciskiMenuGlownego, "Wyroby", Form->e_MG_NazwaNowejPoz, Form->sb_MG_ZmienNazwe,
                      Form->sb_MG_Zapisz);
         },
         ""},
        {"group removed by another login",
         [&] { Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyroby=0\r\n[Zawory]\r\nZawór DN50=zawor.txt\r\n"); },
         ""},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.Way);
        Write("Ustawienia\\kategorie.ini", MenuFile);
        OpenImportPage(true);
        Form->e_Importuj_NazwaNowejPoz->SetText("Nowy");
        w.Go();
        ASSERT_EQ(Form->Strony->ActivePage(), "Importuj");
        const AnsiString menu = Read("Ustawienia\\kategorie.ini");
        ScriptDialogs().ExpectMessageBox(IDOK, "Wybierz grupę produktów do której mam zaimportować wskazany wykaz !!!");
        Form->sb_ImportujPlik->Click();
        EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), menu);
        EXPECT_FALSE(FileExists(Path("Wykazy\\Nowy.txt")));
        EXPECT_EQ(Form->lb_Importuj_GrupyProdoktow->Items()->CommaText(), w.GroupsAfter);
        EXPECT_EQ(Form->lbl_Importuj_NazwaGrupy->Caption(), "(NIE WYBRANO GRUPY)");
        EXPECT_FALSE(Form->sb_ImportujPlik->Enabled());
    }
}

// Opening the page again, showing the window and an import that deleted its source leave
// no file in sight: neither in the file edit nor in the summary.
TEST_F(ImportForms, TheFileEditAndItsLabelAreEmptiedTogether)
{
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"the category's item", [this] { OpenImportPage(); }},
        {"the menu editor's link",
         [this] {
             Form->RunMenuCommand("Menu", "Menu");
             Form->clb_MG_PrzyciskiMenuGlownego->SetItemIndex(0);
             Form->QelSensitiveLabel3Click(nullptr);
         }},
        {"the window shown", [this] { Form->FormShow(Form.get()); }},
        {"an import deleting its source",
         [this] {
             ChooseGroup(Form->lb_Importuj_GrupyProdoktow, 0);
             ScriptDialogs().ExpectMessageBox(IDNO, "pomyślnie");
             Form->sb_ImportujPlik->Click();
         }},
    };
    for (const auto& [way, empty] : ways) {
        SCOPED_TRACE(way);
        OpenImportPage();
        Form->edt_ImportujWykaz->SetText(Path("Importuj\\bom.txt"));
        empty();
        EXPECT_EQ(Form->edt_ImportujWykaz->FileName(), "");
        EXPECT_EQ(Form->lbl_Importuj_ImportowanyPlik->Caption(), "");
    }
}

// A main-menu item or group renamed in the menu editor and not yet saved is saved before an
// import writes under its new name (through the link, in the box): its groups or items stay.
TEST_F(ImportForms, AnUnsavedNameOfTheMenuEditorIsSavedBeforeTheImportWritesUnderIt)
{
    const struct {
        bool Category;
        const char *Kept, *Group;
    } cases[] = {{true, "Pompy", "Zawory"}, {false, "Zawór DN50", "Armatura"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Kept);
        Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyroby=1\r\n[Wyroby]\r\nZawory=\r\nPompy=\r\n"
                                           "[Zawory]\r\nZawór DN50=zawor.txt\r\n");
        Write("Importuj\\bom.txt", Source);
        OpenMenuEditorGroup();
        TCustomListBox* list = c.Category ? static_cast<TCustomListBox*>(Form->clb_MG_PrzyciskiMenuGlownego) : Form->lb_G_Spis;
        list->OnDblClick(list);
        (c.Category ? Form->e_MG_NazwaNowejPoz : Form->e_G_DodajNowa)->SetText("Armatura");
        (c.Category ? Form->sb_MG_ZmienNazwe : Form->sb_G_ZmienNazwe)->Click();
        ScriptDialogs().ExpectMessageBox(IDOK, "Wszystkie wprowadzone zmiany").ExpectMessageBox(IDNO, "pomyślnie");
        if (c.Category) {
            Form->QelSensitiveLabel3->OnClick(Form->QelSensitiveLabel3);
            Form->edt_ImportujWykaz->SetText(Path("Importuj\\bom.txt"));
            Choose(Form->lb_Importuj_GrupyProdoktow, "Zawory");
            Form->sb_ImportujPlik->Click();
        } else {
            Form->e_NazwaPliku_ImportujNaUstawieniachMenu->SetText(Path("Importuj\\bom.txt"));
            Form->sb_ImportujZPlikuNaUstawieniachMenu->Click();
        }
        EXPECT_FALSE(Form->sb_MG_Zapisz->Enabled() || Form->sb_G_Zapisz->Enabled());
        EXPECT_NE(Menu("Armatura", c.Kept), "(none)");
        EXPECT_NE(Menu(c.Group, "bom"), "(none)");
    }
}
