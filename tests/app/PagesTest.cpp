#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "controls/KXCtrls.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/ShellApi.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/TestFiles.h"

namespace {

const AnsiString DefaultMenu = "[Kategorie]\r\nWyrób 1=\r\nWyrób 2=\r\nWyrób 3=\r\n"
                               "[Wyrób 1]\r\nWykonanie A=\r\nWykonanie B=\r\n"
                               "[Wyrób 2]\r\nWykonanie 1=\r\nWykonanie A=\r\n"
                               "[Wyrób 3]\r\nWykonanie dla OS=\r\n"
                               "[Wykonanie A]\r\nWykonanie z uszczelką=z_u.txt\r\nWykonanie bez uszczelki=bez_u.txt\r\n";
const char* const Saved = "Wszystkie wprowadzone zmiany zostały pomyślnie zapisane";

// The main window over the default menu tree, two registers and a catalogue
// of two standards, at the highest access level.
class Pages : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        Write("Ustawienia\\kategorie.ini", DefaultMenu);
        Write("Wykazy\\z_u.txt", "PN-EN 10025-2:2019|PN-EN 10025-2:2019|S235|Blacha|R-1|\r\n");
        Write("Wykazy\\bez_u.txt", "");
        LoadCatalogue("PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n"
                      "PN-H-84020:1989|Nieaktualna|Brak|PN-EN 10025-2:2019|||\r\n");
    }
    bool HasSection(const AnsiString& Section)
    {
        TIniFile ini(Path("Ustawienia\\kategorie.ini"));
        return ini.SectionExists(Section);
    }
    static AnsiString Entries(TCustomListBox* List) { return List->Items()->CommaText(); }
    // The window asked to close: the action it chose.
    TCloseAction Close()
    {
        TCloseAction action = caHide;
        Form->FormClose(Form.get(), action);
        return action;
    }
    // A button of the menu editor clicked whose click saves the menu file, the success shown.
    void ClickSaving(TSpeedButton* Button)
    {
        ScriptDialogs().ExpectMessageBox(IDOK, Saved);
        Button->Click();
    }
    // Renames the chosen entry of a level as a double click and the rename button do.
    static void Rename(TCustomListBox* List, TEdit* Edit, TSpeedButton* Button, const AnsiString& From,
                       const AnsiString& To)
    {
        Choose(List, From);
        List->OnDblClick(List);
        Edit->SetText(To);
        Button->Click();
    }
};

// ---------------------------------------------------------------- page navigation

TEST_F(Pages, BackAndForwardWalkTheHistoryOfShownPages)
{
    TSpeedButton* back = Form->sb_Zakladki_Wstecz;
    TSpeedButton* forward = Form->sb_Zakladki_WPrzod;
    EXPECT_TRUE(back->Enabled());
    EXPECT_FALSE(forward->Enabled());
    Form->Strony->SetActivePage("Informacja");
    Form->edt_ImportujWykaz->SetFileName(Path("a.txt"));
    Form->l_G_Warning->SetCaption("x");
    Form->FormShow(Form.get());
    EXPECT_EQ(Form->edt_ImportujWykaz->FileName(), "");
    EXPECT_EQ(Form->l_G_Warning->Caption(), "");
    // One page shown: nothing to go back to; the page of the first display is not in the history.
    EXPECT_FALSE(back->Enabled());
    Form->Strony->SetActivePage("Informacja");   // the page already shown records nothing
    Form->Strony->SetActivePage("UstawieniaFolderow");
    Form->Strony->SetActivePage("NowyWykaz");
    EXPECT_EQ(PageHistory->CommaText(), "Informacja,UstawieniaFolderow,NowyWykaz");
    EXPECT_TRUE(back->Enabled());

    struct TStep {
        TSpeedButton* Button;
        const char* Page;
        bool Back, Forward;
    };
    const TStep steps[] = {
        {back, "UstawieniaFolderow", true, true},
        {back, "Informacja", false, true},
        {forward, "UstawieniaFolderow", true, true},
        {forward, "NowyWykaz", true, false},
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Page);
        s.Button->Click();
        EXPECT_EQ(Form->Strony->ActivePage(), s.Page);
        EXPECT_EQ(back->Enabled(), s.Back);
        EXPECT_EQ(forward->Enabled(), s.Forward);
        EXPECT_EQ(PageHistory->CommaText(), "Informacja,UstawieniaFolderow,NowyWykaz");
    }
    EXPECT_EQ(back->Tag(), 0);
}

TEST_F(Pages, HistoryIndicesStayWithinTheHistory)
{
    TSpeedButton* back = Form->sb_Zakladki_Wstecz;
    for (const char* p : {"Informacja", "UstawieniaFolderow", "NowyWykaz"})
        Form->Strony->SetActivePage(p);
    back->Click();
    back->Click();   // at "Informacja", two steps back
    // A command shows the newest page again: the history grows, the position stays.
    Form->Strony->SetActivePage("NowyWykaz");
    EXPECT_EQ(PageHistory->CommaText(), "Informacja,UstawieniaFolderow,NowyWykaz,NowyWykaz");
    // Forward's entry is the page already shown: no real entry is deleted.
    Form->sb_Zakladki_WPrzod->Click();
    EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
    EXPECT_EQ(PageHistory->Count(), 4);
    // Pressed beyond its entries (as a stale position would), Back stays in the history.
    back->SetTag(40);
    back->Click();
    EXPECT_EQ(Form->Strony->ActivePage(), "Informacja");
    EXPECT_EQ(PageHistory->Count(), 4);
    EXPECT_FALSE(back->Enabled());
    Form->sb_Zakladki_WPrzod->SetTag(0);
    back->SetTag(40);
    Form->sb_Zakladki_WPrzod->Click();
    EXPECT_GE(Form->Strony->PageIndex(), 0);
    EXPECT_EQ(PageHistory->Count(), 4);
}

TEST_F(Pages, QuickPagesDropDownBelowTheButtonAndRunTheirCommands)
{
    TPopupMenu* menu = Form->pm_Zakladki;
    std::vector<AnsiString> captions;
    for (int i = 0; i < menu->Items()->Count(); ++i)
        captions.push_back(menu->Items()->Items(i)->Caption() +
                           (menu->Items()->Items(i)->ShortCut() ? " " + ShortCutToText(menu->Items()->Items(i)->ShortCut())
                                                                 : AnsiString()));
    EXPECT_EQ(captions, (std::vector<AnsiString>{"Lista wszystkich norm", "Wyszukaj normę Ctrl+F",
                                                 "Wyszukaj na stronie PKN", "-", "Ustawienia programu Ctrl+U",
                                                 "Ustawienia Menu", "Ustawienia folderów", "-", "Użytkownicy",
                                                 "Uprawnienia", "-", "Aktualizacje", "O programie F10"}));
    struct TCase {
        TMenuItem* Item;
        const char* Page;
    };
    const TCase cases[] = {
        {Form->Ustawieniafolderw1, "UstawieniaFolderow"},  {Form->Listawszystkichnorm1, "ListaWszystkichNorm"},
        {Form->Wyszukajnorm1, "WkataloguTrelKordelin"},     {Form->UstawieniaMenu1, "DostosujGrupyPrziPoz"},
        {Form->Uytkownicy1, "Uzytkownicy"},                 {Form->Uprawnienia1, "Uprawnienia"},
        {Form->Ustawieniaprogramu1, "UstawieniaProg"},
    };
    TPoint at;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Page);
        TMenuItem* chosen = c.Item;
        SetPopupMenuHook([&](TPopupMenu*, int X, int Y) {
            at = TPoint(X, Y);
            chosen->Click();
        });
        Form->sb_SzybkieZakladki->Click();
        EXPECT_EQ(Form->Strony->ActivePage(), c.Page);
    }
    TSpeedButton* b = Form->sb_SzybkieZakladki;
    EXPECT_EQ(at.X, b->ClientToScreen(TPoint(0, 0)).X);
    EXPECT_EQ(at.Y, b->ClientToScreen(TPoint(0, 0)).Y + b->Height());
}

// ---------------------------------------------------------------- menu editor

// A menu file an editor saved shows its buttons whatever byte-order mark it begins with; the
// editor saves it as Windows-1250, and never writes over one that does not read whole.
TEST_F(Pages, MenuFilesOfEveryEncodingShowTheirButtonsAndSaveAsWindows1250)
{
    using namespace std::string_literals;
    const AnsiString menu = "[Kategorie]\r\nWyrób 1=\r\nŁożyska=0\r\n[Wyrób 1]\r\nWykonanie A=\r\n";
    const AnsiString saved = "[Wyrób 1]\r\nWykonanie A=\r\n[Kategorie]\r\nArmatura=1\r\nŁożyska=0\r\nWyrób 1=1\r\n";
    const struct {
        const char* What;
        std::string Bytes;
        const char* Buttons;
        bool Saved;
    } cases[] = {
        {"Windows-1250", menu, "Łożyska,\"Wyrób 1\"", true},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + AnsiToUtf8(menu), "Łożyska,\"Wyrób 1\"", true},
        {"UTF-16 LE with a byte-order mark", Utf16(menu, false), "Łożyska,\"Wyrób 1\"", true},
        {"UTF-16 BE with a byte-order mark", Utf16(menu, true), "Łożyska,\"Wyrób 1\"", true},
        {"UTF-16 LE cut short", Utf16(menu, false) + "x", "Łożyska,\"Wyrób 1\"", false},
        {"UTF-16 LE without its mark (NUL bytes)", Utf16(menu, false, false), "", false},
    };
    TKxCheckListBox* list = Form->clb_MG_PrzyciskiMenuGlownego;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        Write("Ustawienia\\kategorie.ini", c.Bytes);
        // The addition that the case before could not write is given up.
        if (Form->sb_MG_Zapisz->Enabled())
            ScriptDialogs().ExpectMessageBox(IDNO, "Lista przycisków menu głównego została zmodyfikowana");
        Form->RunMenuCommand("Menu", "Menu");
        EXPECT_EQ(Entries(list), c.Buttons);
        EXPECT_EQ(list->Count() > 0 && !list->Checked(0), c.Buttons[0] != 0);   // "Łożyska=0"
        Form->e_MG_NazwaNowejPoz->SetText("Armatura");
        Form->sb_MG_Dodaj->Click();
        ScriptDialogs().ExpectMessageBox(IDOK, c.Saved ? Saved : "Nie można zapisać pliku");
        Form->sb_MG_Zapisz->Click();
        EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), c.Saved ? saved : AnsiString(c.Bytes));
    }
}

TEST_F(Pages, MainMenuSaveWritesTicksAsOneAndZero)
{
    Form->RunMenuCommand("Menu", "Menu");
    TKxCheckListBox* list = Form->clb_MG_PrzyciskiMenuGlownego;
    EXPECT_EQ(Entries(list), "\"Wyrób 1\",\"Wyrób 2\",\"Wyrób 3\"");
    list->ToggleItem(1);
    EXPECT_TRUE(Form->sb_MG_Zapisz->Enabled());
    Form->e_MG_NazwaNowejPoz->SetText("Armatura");
    Form->sb_MG_Dodaj->Click();
    EXPECT_EQ(Form->e_MG_NazwaNowejPoz->Text(), "");
    EXPECT_FALSE(Form->sb_MG_Dodaj->Enabled());
    // The same name again, in other letters' case.
    Form->e_MG_NazwaNowejPoz->SetText("ARMATURA");
    ScriptDialogs().ExpectMessageBox(IDOK, "Wskazana pozycja znajduje się już na liście !!!");
    Form->sb_MG_Dodaj->Click();
    ClickSaving(Form->sb_MG_Zapisz);
    EXPECT_FALSE(Form->sb_MG_Zapisz->Enabled());
    const AnsiString text = Read("Ustawienia\\kategorie.ini");
    EXPECT_NE(text.find("[Kategorie]\r\nArmatura=1\r\nWyrób 1=1\r\nWyrób 2=0\r\nWyrób 3=1\r\n"), AnsiString::npos)
        << text;
    // Other sections untouched.
    EXPECT_EQ(Menu("Wykonanie A", "Wykonanie z uszczelką"), "z_u.txt");
    EXPECT_EQ(Entries(list), "Armatura,\"Wyrób 1\",\"Wyrób 2\",\"Wyrób 3\"");
    EXPECT_FALSE(list->Checked(2));
}

TEST_F(Pages, NewItemsGetFreeRegisterFileNames)
{
    Form->RunMenuCommand("Menu", "Menu");
    Choose(Form->clb_MG_PrzyciskiMenuGlownego, "Wyrób 1");
    EXPECT_EQ(Entries(Form->lb_G_Spis), "\"Wykonanie A\",\"Wykonanie B\"");
    Choose(Form->lb_G_Spis, "Wykonanie B");
    Form->e_W_Dodaj->SetText("Name");
    Form->sb_W_Dodaj->Click();
    EXPECT_EQ(Form->l_pom_W_NazwaPoz->Caption(), "Wykonanie B");
    // Shown again, the window empties the owner labels: the chosen group owns the items.
    Form->FormShow(Form.get());
    EXPECT_EQ(Form->l_pom_W_NazwaPoz->Caption(), "");
    ClickSaving(Form->sb_W_Zapisz);
    EXPECT_EQ(Menu("Wykonanie B", "Name"), "Name.txt");
    EXPECT_EQ(Form->l_pom_W_NazwaPoz->Caption(), "");

    // The same name in another group, and two names that make one file name, in one save.
    Choose(Form->lb_G_Spis, "Wykonanie A");
    for (const char* name : {"Name", "a b", "a_b"}) {
        Form->e_W_Dodaj->SetText(name);
        Form->sb_W_Dodaj->Click();
    }
    ClickSaving(Form->sb_W_Zapisz);
    EXPECT_EQ(Menu("Wykonanie A", "Name"), "Name_01.txt");
    EXPECT_EQ(Menu("Wykonanie A", "a b"), "a_b.txt");
    EXPECT_EQ(Menu("Wykonanie A", "a_b"), "a_b_01.txt");
    EXPECT_EQ(Menu("Wykonanie A", "Wykonanie z uszczelką"), "z_u.txt");

    // An item without its register creates one; one with it opens it.
    Choose(Form->lb_W_Spis, "Name");
    EXPECT_FALSE(Form->sb_W_OtworzWykaz->Enabled());
    EXPECT_TRUE(Form->sb_W_UtworzWykaz->Enabled());
    Form->sb_W_UtworzWykaz->Click();
    EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
    EXPECT_EQ(CurrentListFile, Path("Wykazy/Name_01.txt"));
    Form->RunMenuCommand("Menu", "Menu");
    OpenGroupA();
    Choose(Form->lb_W_Spis, "Wykonanie z uszczelką");
    EXPECT_EQ(Form->lbl_Menu_NazwaPoz->Caption(), "z_u.txt");
    ASSERT_TRUE(Form->sb_W_OtworzWykaz->Enabled());
    Form->sb_W_OtworzWykaz->Click();
    EXPECT_EQ(CurrentListFile, Path("Wykazy/z_u.txt"));
    EXPECT_EQ(Form->sg_NowyEdytujWykaz->Cells(1, 1), "PN-EN 10025-2:2019");
}

TEST_F(Pages, RenameRefusesNoChangeAnExistingNameAndForbiddenCharacters)
{
    Form->RunMenuCommand("Menu", "Menu");
    TKxCheckListBox* list = Form->clb_MG_PrzyciskiMenuGlownego;
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie dokonano żadnych zmian w nazwie pozycji");
    Rename(list, Form->e_MG_NazwaNowejPoz, Form->sb_MG_ZmienNazwe, "Wyrób 1", "WYRÓB 1");
    ScriptDialogs().ExpectMessageBox(IDOK, "Pozycja o podanej nazwie już istnieje na liście  !!!");
    Rename(list, Form->e_MG_NazwaNowejPoz, Form->sb_MG_ZmienNazwe, "Wyrób 1", "wyrób 2");
    EXPECT_FALSE(Form->sb_MG_Zapisz->Enabled());

    // A pasted "|" warns and turns Add off; Rename stays on but refuses the name.
    TEdit* edit = Form->e_MG_NazwaNowejPoz;
    edit->SetText("a|b");
    EXPECT_EQ(Form->l_MG_Warning->Caption(), "Nazwa nie może zawierać żadnego z następujących znaków: ; = |");
    EXPECT_FALSE(Form->sb_MG_Dodaj->Enabled());
    EXPECT_TRUE(Form->sb_MG_ZmienNazwe->Enabled());
    ScriptDialogs().ExpectMessageBox(IDOK, "Nazwa nie może zawierać");
    Form->sb_MG_ZmienNazwe->Click();
    edit->SetText(" a");
    EXPECT_EQ(Form->l_MG_Warning->Caption(), "Nazwa nie może rozpoczynać się od znaku spacji");
    EXPECT_FALSE(Form->sb_MG_Dodaj->Enabled());
    edit->SetText("a");
    EXPECT_EQ(Form->l_MG_Warning->Caption(), "");
    EXPECT_TRUE(Form->sb_MG_Dodaj->Enabled());
    EXPECT_EQ(Entries(list), "\"Wyrób 1\",\"Wyrób 2\",\"Wyrób 3\"");
    EXPECT_FALSE(Form->sb_MG_Zapisz->Enabled());
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), DefaultMenu);
}

// No entry takes the name of the main menu's own section, in any case of letters: it is refused
// as a name already on the list is, by Enter (add) and by a rename.
TEST_F(Pages, NoEntryTakesTheNameOfTheMainMenusSection)
{
    OpenGroupA();
    const struct {
        TCustomListBox* List;
        TEdit* Edit;
        TSpeedButton* Rename;
        const char *Entry, *Name;
    } cases[] = {
        {Form->lb_W_Spis, Form->e_W_Dodaj, Form->sb_W_ZmienNazwe, "Wykonanie z uszczelką", "KATEGORIE "},
        {Form->lb_G_Spis, Form->e_G_DodajNowa, Form->sb_G_ZmienNazwe, "Wykonanie B", "kategorie"},
        {Form->clb_MG_PrzyciskiMenuGlownego, Form->e_MG_NazwaNowejPoz, Form->sb_MG_ZmienNazwe, "Wyrób 3", "Kategorie"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Entry);
        c.Edit->SetText(c.Name);
        ScriptDialogs().ExpectMessageBox(IDOK, "Wskazana pozycja znajduje się już na liście !!!");
        KeyDown(c.Edit, VK_RETURN);
        ScriptDialogs().ExpectMessageBox(IDOK, "Pozycja o podanej nazwie już istnieje na liście  !!!");
        Rename(c.List, c.Edit, c.Rename, c.Entry, c.Name);
        EXPECT_TRUE(VerifyNoPendingDialogs());
    }
    for (TSpeedButton* save : {Form->sb_MG_Zapisz, Form->sb_G_Zapisz, Form->sb_W_Zapisz})
        EXPECT_FALSE(save->Enabled());
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), DefaultMenu);
}

TEST_F(Pages, RenamesTakeTheirSectionsAndValuesAlong)
{
    // An item keeps its register file.
    OpenGroupA();
    Rename(Form->lb_W_Spis, Form->e_W_Dodaj, Form->sb_W_ZmienNazwe, "Wykonanie z uszczelką", "Z uszczelką");
    EXPECT_EQ(Form->lb_W_Spis->Items()->Strings(Form->lb_W_Spis->ItemIndex()), "Z uszczelką");
    ClickSaving(Form->sb_W_Zapisz);
    EXPECT_EQ(Menu("Wykonanie A", "Z uszczelką"), "z_u.txt");
    EXPECT_EQ(Menu("Wykonanie A", "Wykonanie z uszczelką"), "(none)");

    // A group that another main-menu item shares ("Wyrób 2") gets a copy of its section.
    Choose(Form->lb_G_Spis, "Wykonanie A");
    Rename(Form->lb_G_Spis, Form->e_G_DodajNowa, Form->sb_G_ZmienNazwe, "Wykonanie A", "Wykonanie Z");
    ClickSaving(Form->sb_G_Zapisz);
    EXPECT_EQ(Menu("Wyrób 1", "Wykonanie Z"), "");
    EXPECT_EQ(Menu("Wyrób 1", "Wykonanie A"), "(none)");
    EXPECT_EQ(Menu("Wykonanie Z", "Z uszczelką"), "z_u.txt");
    EXPECT_EQ(Menu("Wykonanie A", "Z uszczelką"), "z_u.txt");
    EXPECT_EQ(Menu("Wyrób 2", "Wykonanie A"), "");

    // Renamed in "Wyrób 2" too, the old section is no longer used and goes.
    Choose(Form->clb_MG_PrzyciskiMenuGlownego, "Wyrób 2");
    Rename(Form->lb_G_Spis, Form->e_G_DodajNowa, Form->sb_G_ZmienNazwe, "Wykonanie A", "Wykonanie Y");
    ClickSaving(Form->sb_G_Zapisz);
    EXPECT_FALSE(HasSection("Wykonanie A"));
    EXPECT_EQ(Menu("Wykonanie Y", "Wykonanie bez uszczelki"), "bez_u.txt");

    // A main-menu item renamed twice before its save moves its section once.
    Rename(Form->clb_MG_PrzyciskiMenuGlownego, Form->e_MG_NazwaNowejPoz, Form->sb_MG_ZmienNazwe, "Wyrób 1",
           "Zawory");
    Rename(Form->clb_MG_PrzyciskiMenuGlownego, Form->e_MG_NazwaNowejPoz, Form->sb_MG_ZmienNazwe, "Zawory",
           "Armatura");
    EXPECT_TRUE(Form->clb_MG_PrzyciskiMenuGlownego->Checked(0));
    ClickSaving(Form->sb_MG_Zapisz);
    EXPECT_FALSE(HasSection("Wyrób 1"));
    EXPECT_FALSE(HasSection("Zawory"));
    EXPECT_EQ(Menu("Kategorie", "Armatura"), "1");
    EXPECT_EQ(Menu("Armatura", "Wykonanie Z"), "");
    EXPECT_EQ(Menu("Armatura", "Wykonanie B"), "");
}

TEST_F(Pages, AChangeBelowSavesTheLevelsAboveFirst)
{
    // A main-menu item renamed and not saved: adding a group to it saves it
    // first, and the group list then holds its groups from their new section.
    Form->RunMenuCommand("Menu", "Menu");
    TKxCheckListBox* mg = Form->clb_MG_PrzyciskiMenuGlownego;
    Rename(mg, Form->e_MG_NazwaNowejPoz, Form->sb_MG_ZmienNazwe, "Wyrób 3", "Pompy");
    Choose(mg, "Pompy");
    EXPECT_EQ(Form->lb_G_Spis->Count(), 0);   // not in the file yet
    Form->e_G_DodajNowa->SetText("Wykonanie 2");
    ClickSaving(Form->sb_G_Dodaj);
    EXPECT_EQ(Entries(Form->lb_G_Spis), "\"Wykonanie 2\",\"Wykonanie dla OS\"");
    ClickSaving(Form->sb_G_Zapisz);
    EXPECT_EQ(Menu("Pompy", "Wykonanie dla OS"), "");
    EXPECT_EQ(Menu("Pompy", "Wykonanie 2"), "");
    EXPECT_FALSE(HasSection("Wyrób 3"));

    // Groups and items both pending: choosing another main-menu item asks about the groups first.
    Choose(Form->lb_G_Spis, "Wykonanie 2");
    Form->e_W_Dodaj->SetText("Nowa");
    Form->sb_W_Dodaj->Click();
    Form->e_G_DodajNowa->SetText("Wykonanie 3");
    Form->sb_G_Dodaj->Click();
    ScriptDialogs()
        .ExpectMessageBox(IDNO, "Grupa wyrobów \"Pompy\" została zmodyfikowana i nie zapisana, czy przed "
                                "wyświetleniem zawartości wyrobu \"Wyrób 1\"")
        .ExpectMessageBox(IDNO, "• TAK spowoduje zapisanie wprowadzonych zmian w grupie wyrobów \"Wykonanie 2\"");
    Choose(mg, "Wyrób 1");
    EXPECT_EQ(Entries(Form->lb_G_Spis), "\"Wykonanie A\",\"Wykonanie B\"");
    EXPECT_FALSE(Form->sb_G_Zapisz->Enabled());
    EXPECT_FALSE(Form->sb_W_Zapisz->Enabled());
    EXPECT_EQ(Menu("Wykonanie 2", "Nowa"), "(none)");
    EXPECT_EQ(Menu("Pompy", "Wykonanie 3"), "(none)");
}

TEST_F(Pages, DeletingKeepsRegisterFilesAndAddingNeedsAParent)
{
    OpenGroupA();
    Choose(Form->lb_W_Spis, "Wykonanie bez uszczelki");
    EXPECT_TRUE(Form->sb_W_Usun->Enabled());
    ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno chcesz usunąć wybraną pozycję z listy ???");
    KeyDown(Form->lb_W_Spis, VK_DELETE);
    EXPECT_EQ(RecordedDialogs().back().Flags, unsigned(MB_YESNO));
    EXPECT_EQ(RecordedDialogs().back().Caption, "UWAGA !!!");
    ScriptDialogs().ExpectMessageBox(IDOK, Saved);
    KeyDown(Form->lb_W_Spis, 'S', ssCtrl);
    EXPECT_EQ(Menu("Wykonanie A", "Wykonanie bez uszczelki"), "(none)");
    EXPECT_TRUE(FileExists(Path("Wykazy\\bez_u.txt")));

    // No group chosen: the item is refused and the group list takes the focus.
    Form->lb_G_Spis->SetItemIndex(-1);
    Form->e_W_Dodaj->SetText("X");
    ScriptDialogs().ExpectMessageBox(IDOK, "Wskaż grupę wyrobów, do której chcesz dodać nową pozycję !!!");
    KeyDown(Form->e_W_Dodaj, VK_RETURN);
    // The menu file gone: the saves write nothing.
    Choose(Form->lb_G_Spis, "Wykonanie B");
    KeyDown(Form->e_W_Dodaj, VK_RETURN);
    std::filesystem::remove(OsPath("Ustawienia\\kategorie.ini"));
    ScriptDialogs().ExpectMessageBox(IDOK, "Plik z ustawieniami menu głównego nie istnieje !!!");
    Form->sb_W_Zapisz->Click();
    EXPECT_TRUE(Form->sb_W_Zapisz->Enabled());
}

// A deleted entry leaves its list with no entry chosen: what follows by key
// is refused for want of a choice, never done to the entry that moved up.
TEST_F(Pages, AfterADeletionNothingIsChosenForTheKeysThatFollow)
{
    struct TCase {
        const char* What;
        TCustomListBox* List;
        const char* Deleted;
        TEdit* Edit;
        Word Key;
        TShiftState Shift;
        const char* Refusal;   // nullptr: nothing to refuse, nothing done
        const char* Lists;     // the main-menu, group and item lists afterwards
    };
    const TCase cases[] = {
        {"main-menu item, then Return in the group edit", Form->clb_MG_PrzyciskiMenuGlownego, "Wyrób 1",
         Form->e_G_DodajNowa, VK_RETURN, 0, "Wskaż wyrób, do którego chcesz dodać nową grupę !!!",
         "\"Wyrób 2\",\"Wyrób 3\"||"},
        {"group, then Return in the item edit", Form->lb_G_Spis, "Wykonanie A", Form->e_W_Dodaj, VK_RETURN, 0,
         "Wskaż grupę wyrobów, do której chcesz dodać nową pozycję !!!",
         "\"Wyrób 1\",\"Wyrób 2\",\"Wyrób 3\"|\"Wykonanie B\"|"},
        {"item, then Ctrl+H in the item edit", Form->lb_W_Spis, "Wykonanie z uszczelką", Form->e_W_Dodaj, 'H',
         ssCtrl, nullptr,
         "\"Wyrób 1\",\"Wyrób 2\",\"Wyrób 3\"|\"Wykonanie A\",\"Wykonanie B\"|\"Wykonanie bez uszczelki\""},
    };
    Form->Show();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        OpenGroupA();
        Choose(c.List, c.Deleted);
        c.List->SetFocus();
        ScriptDialogs().ExpectMessageBox(IDYES, "");
        KeyDown(c.List, VK_DELETE);
        EXPECT_EQ(c.List->ItemIndex(), -1);
        c.Edit->SetText("Nowa");
        if (c.Refusal)
            ScriptDialogs().ExpectMessageBox(IDOK, c.Refusal);
        KeyDown(c.Edit, c.Key, c.Shift);
        EXPECT_EQ(Entries(Form->clb_MG_PrzyciskiMenuGlownego) + "|" + Entries(Form->lb_G_Spis) + "|" +
                      Entries(Form->lb_W_Spis),
                  c.Lists);
        ScriptDialogs().ExpectMessageBox(IDNO, "została zmodyfikowana");   // the deletion given up
        Form->RunMenuCommand("Menu", "Menu");
    }
    Form->Hide();
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), DefaultMenu);
}

// Unsaved lists of the menu editor are asked about before the editor is read
// again from the file or the window closes: yes writes them, no drops them,
// cancel keeps them on the page.
TEST_F(Pages, UnsavedListsAreAskedAboutWhereverTheEditorIsLeft)
{
    struct TWay {
        const char* What;
        std::function<void()> Run;
    };
    TCloseAction action = caHide;
    const TWay ways[] = {
        {"command Menu", [&] { Form->RunMenuCommand("Menu", "Menu"); }},
        {"quick page", [&] { Form->UstawieniaMenu1Click(nullptr); }},
        {"category's item Menu", [&] { Form->RunMenuCommand("Wyrób 1|Menu", "Menu"); }},
        {"closing the window", [&] { action = Close(); }},
    };
    int n = 0;
    for (const TWay& w : ways)
        for (int answer : {IDYES, IDNO, IDCANCEL}) {
            const AnsiString item = "Nowa " + IntToStr(++n);
            SCOPED_TRACE(AnsiString(w.What) + " " + item);
            OpenGroupA();
            Form->e_W_Dodaj->SetText(item);
            KeyDown(Form->e_W_Dodaj, VK_RETURN);
            Form->RunMenuCommand("Foldery", "Foldery");
            action = caHide;
            ScriptDialogs().ExpectMessageBox(answer, "Grupa wyrobów \"Wykonanie A\" została zmodyfikowana");
            if (answer == IDYES)
                ScriptDialogs().ExpectMessageBox(IDOK, Saved);
            w.Run();
            EXPECT_EQ(Menu("Wykonanie A", item) != "(none)", answer == IDYES);
            if (AnsiString(w.What) == "closing the window") {
                EXPECT_EQ(action == caNone, answer == IDCANCEL);
            } else {
                EXPECT_EQ(Form->sb_W_Zapisz->Enabled(), answer == IDCANCEL);
                EXPECT_EQ(Form->Strony->ActivePage(), "DostosujGrupyPrziPoz");
            }
            if (Form->sb_W_Zapisz->Enabled()) {
                EXPECT_NE(Form->lb_W_Spis->Items()->IndexOf(item), -1);
                ScriptDialogs().ExpectMessageBox(IDNO, "została zmodyfikowana");
                Form->RunMenuCommand("Menu", "Menu");
            }
        }
}

// ---------------------------------------------------------------- shortcuts and links

TEST_F(Pages, CommonShortcutsCompareTheShiftStateExactly)
{
    struct TCase {
        Word Key;
        TShiftState Shift;
        int Level;
        const char* Page;
    };
    const TCase cases[] = {
        {'U', ssCtrl | ssShift, 4, "ListaWszystkichNorm"}, {'U', ssCtrl, 0, "ListaWszystkichNorm"},
        {'U', ssCtrl, 1, "UstawieniaProg"},                {VK_F3, ssShift, 0, "WkataloguTrelKordelin"},
        {'F', ssCtrl, 0, "WkataloguTrelKordelin"},         {'F', ssCtrl | ssAlt, 0, "ListaWszystkichNorm"},
        {VK_F10, ssShift, 0, "Informacja"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Page);
        CurrentUserLevel = c.Level;
        Form->Strony->SetActivePage("ListaWszystkichNorm");
        Word key = c.Key;
        Form->FormKeyDown(Form->e_MG_NazwaNowejPoz, key, c.Shift);
        EXPECT_EQ(Form->Strony->ActivePage(), c.Page);
        // A key that ran its command is used up for the control's handler.
        EXPECT_EQ(key == 0, AnsiString(c.Page) != "ListaWszystkichNorm");
    }
    // The window sees the keys of its controls first: F3 in a list of the menu editor.
    Form->RunMenuCommand("Menu", "Menu");
    KeyDown(Form->lb_G_Spis, VK_F3, ssShift);
    EXPECT_EQ(Form->Strony->ActivePage(), "WkataloguTrelKordelin");
}

TEST_F(Pages, LinksOpenThroughTheShellAndHelpNeedsItsFile)
{
    std::vector<AnsiString> opened;
    SetShellOpenHook([&](const AnsiString& Target) {
        opened.push_back(Target);
        return true;
    });
    Form->a_l[2]->OnClick(Form->a_l[2]);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "mailto:biuro@velmarok.invalid?Subject=Cześć&Body=Gratuluję zrobienia bardzo dobrego "
                         "programu " +
                             Application->Title());
    Form->l_SzukamPracy->SetHint("https://velmarok.invalid/cv.html");
    Form->l_SzukamPracy2->OnClick(Form->l_SzukamPracy2);
    Form->imgGL->OnClick(Form->imgGL);
    Form->img_Money->OnClick(Form->img_Money);
    UpdateAddress = "";
    Form->sb_DownUpdate->OnClick(Form->sb_DownUpdate);   // no address: nothing
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[1], "https://velmarok.invalid/cv.html");
    for (size_t i = 2; i < 4; ++i)
        EXPECT_EQ(opened[i].substr(0, 25), "https://velmarok.invalid/");

    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można wyświetlić pomocy, brak niezbędnych do tego plików.\r\r"
                                           "Pobierz ponownie program ze strony https://velmarok.invalid/");
    Form->sb_Pomoc->Click();
    EXPECT_EQ(opened.size(), 4u);
    Write("help\\tyrvenhold.html", "<html></html>");
    Form->sb_Pomoc->Click();
    ASSERT_EQ(opened.size(), 5u);
    EXPECT_NE(opened[4].find("tyrvenhold.html"), AnsiString::npos);

    // The notice blinks by its caption, with an address to open or none (the version
    // information read before).
    Form->l_SzukamPracy->SetHint("");
    UpdateCheckDone = true;
    Form->RunMenuCommand("Informacja", "Informacja");
    UpdateCheckDone = false;
    EXPECT_TRUE(Form->Timer_SzukamPracy->Enabled());
    const bool shown = Form->l_SzukamPracy->Visible();
    FireTimer(Form->Timer_SzukamPracy);
    EXPECT_NE(Form->l_SzukamPracy->Visible(), shown);
    SaveScreenshot(Form.get(), "about-links.png");

    // The users pages link to each other.
    Form->QelSensitiveLabel1->OnClick(Form->QelSensitiveLabel1);
    EXPECT_EQ(Form->Strony->ActivePage(), "Uprawnienia");
    Form->QelSensitiveLabel2->OnClick(Form->QelSensitiveLabel2);
    EXPECT_EQ(Form->Strony->ActivePage(), "Uzytkownicy");

    // The browser's history buttons do nothing visible without pages.
    Form->sb_Back->Click();
    Form->sbForword->Click();
    Form->sb_Refresh->Click();
}

TEST_F(Pages, WhatNothingOnTheDesktopOpensIsReported)
{
    std::vector<AnsiString> asked;
    SetShellOpenHook([&](const AnsiString& Target) {
        asked.push_back(Target);
        return false;
    });
    Write("help\\tyrvenhold.html", "<html></html>");
    Write("Importuj\\CZYTAJ TO !!!.htm", "<html></html>");
    Tf_DodajNowaNorme add(nullptr);
    add.e_NrNormy->SetText("PN-EN 1");
    Form->l_SzukamPracy->SetHint("https://velmarok.invalid/cv.html");
    TNetworkState online(true);
    const struct {
        const char* What;
        std::function<void()> Click;
        AnsiString Target;
    } cases[] = {
        {"Pomoc", [&] { Form->sb_Pomoc->Click(); }, Path("help/tyrvenhold.html")},
        {"a link of the about page", [&] { Form->l_SzukamPracy2->OnClick(Form->l_SzukamPracy2); },
         "https://velmarok.invalid/cv.html"},
        {"the import instructions", [&] { Form->QelSensitiveLabel4->OnClick(Form->QelSensitiveLabel4); },
         Path("Importuj/CZYTAJ TO !!!.htm")},
        {"Sprawdź", [&] { add.sb_SprawdzNorme->Click(); }, BuildCatalogQueryUrl("PN-EN 1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        asked.clear();
        ClearRecordedDialogs();
        ScriptDialogs().ExpectMessageBox(IDOK, "Nie można otworzyć: " + c.Target + ".");
        c.Click();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(asked, std::vector<AnsiString>{c.Target});
        ASSERT_EQ(RecordedDialogs().size(), 1u);
        EXPECT_EQ(RecordedDialogs()[0].Text, "Nie można otworzyć: " + c.Target + ".");
        EXPECT_EQ(RecordedDialogs()[0].Flags, unsigned(MB_OK | MB_ICONINFORMATION));
    }
}

// ---------------------------------------------------------------- closing

TEST_F(Pages, ClosingAsksAboutAnUnsavedRegister)
{
    auto editRegister = [this] {
        Form->RunMenuCommand("z_u.txt", "Wykonanie z uszczelką");
        Form->sb_NowyWykaz_EdytujClick(nullptr);
        Form->sg_NowyEdytujWykaz->SetCells(3, 1, "S355");
        Form->sg_NowyEdytujWykaz->CellsChanged(TRect(3, 1, 3, 1));
        ASSERT_TRUE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
    };
    const AnsiString question = "Wykaz Wykonanie z uszczelką został zmodyfikowany i nie zapisany";
    const AnsiString before = Read("Wykazy\\z_u.txt");

    // Cancel: the window stays open on the register.
    editRegister();
    ScriptDialogs().ExpectMessageBox(IDCANCEL, question);
    EXPECT_EQ(Close(), caNone);
    EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
    EXPECT_EQ(Read("Wykazy\\z_u.txt"), before);

    // No: the window closes without writing the register.
    ScriptDialogs().ExpectMessageBox(IDNO, question);
    EXPECT_EQ(Close(), caHide);
    EXPECT_EQ(Read("Wykazy\\z_u.txt"), before);

    // Yes: the register is written and the window closes, from any page.
    ScriptDialogs().ExpectMessageBox(IDYES, question);
    EXPECT_EQ(Close(), caHide);
    EXPECT_NE(Read("Wykazy\\z_u.txt").find("|S355|"), AnsiString::npos);
    EXPECT_FALSE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
    EXPECT_EQ(PageHistory->Count(), 0);

    // Yes with a register that cannot be written: the window stays open.
    Form->NewListGrid(AnsiString(), "Bez pliku");
    Form->sg_NowyEdytujWykaz->SetCells(3, 1, "S235");
    Form->sg_NowyEdytujWykaz->CellsChanged(TRect(3, 1, 3, 1));
    ScriptDialogs()
        .ExpectMessageBox(IDYES, "Wykaz Bez pliku został zmodyfikowany")
        .ExpectMessageBox(IDOK, "Nie można zapisać tego pliku !!!");
    EXPECT_EQ(Close(), caNone);
    EXPECT_TRUE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
}

TEST_F(Pages, ClosingShowsTheCatalogueFirstAndKeepsAnUnsavedCatalogue)
{
    Form->Strony->SetActivePage("Informacja");
    EXPECT_EQ(Close(), caNone);
    EXPECT_EQ(Form->Strony->ActivePage(), "ListaWszystkichNorm");
    EXPECT_EQ(Close(), caHide);

    // A modified catalogue is asked about at once from any page.
    const AnsiString question = "Lista norm została zmodyfikowana";
    NormListModified = true;
    Form->Strony->SetActivePage("Informacja");
    ScriptDialogs().ExpectMessageBox(IDCANCEL, question);
    EXPECT_EQ(Close(), caNone);
    ScriptDialogs().ExpectMessageBox(IDNO, question);
    EXPECT_EQ(Close(), caHide);
    EXPECT_TRUE(NormListModified);

    // A save that fails keeps the window open: the configuration saved names a catalogue that cannot be written.
    Form->edt_BazaNorm->SetText(Path("Katalog Norm\\normy_wszystkie.txt\\x\\y.txt"));
    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
    Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz);
    Form->sg_WszystkieNormy->SetCells(1, 1, "PN-EN 10025-2:2020");
    ScriptDialogs()
        .ExpectMessageBox(IDYES, question)
        .ExpectMessageBox(IDOK, "Nie udało się zaktualizować spisu norm");
    EXPECT_EQ(Close(), caNone);
    EXPECT_TRUE(NormListModified);
}

}  // namespace
