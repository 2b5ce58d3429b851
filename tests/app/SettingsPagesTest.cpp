// The folders page with config.dat, the users page and the rights page with
// users.dat, and where the program keeps its data.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ToolEdit.h"
#include "controls/ToolPanels.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/DialogTest.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/TestFiles.h"

namespace {

class SettingsPages : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        Login = GetWindowsUserName();
        PrepareStart();
        Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 1|Aktualna|Jest||T|O|\r\n");
        Form->DoCreate();
        ClearRecordedDialogs();
    }
    std::vector<AnsiString> ConfigLines() const { return Lines(ReadScrambledFile(Path("config.dat"))); }
    void WriteConfig(const AnsiString& PlainText) { WriteScrambledFile(Path("config.dat"), PlainText); }
    void WriteUsers(const AnsiString& PlainText) { WriteScrambledFile(Path("Ustawienia\\users.dat"), PlainText); }
    AnsiString Users(const AnsiString& Section, const AnsiString& Key)
    {
        TPlainCopy copy(Path("Ustawienia\\users.dat"));
        return TIniFile(copy.FileName()).ReadString(Section, Key, "(none)");
    }
    void Key(TWinControl* Control, Word K, TShiftState Shift = 0)
    {
        if (Control->OnKeyDown)
            Control->OnKeyDown(Control, K, Shift);
    }

    AnsiString Login;
};

}  // namespace

TEST_F(SettingsPages, FoldersAreSavedWithTheirTrailingDelimiter)
{
    // Start-up fills the page without enabling its save button.
    EXPECT_FALSE(Form->sb_Foldery_Zapisz->Enabled());
    EXPECT_EQ(Form->edt_DirWykazy->Text(), Path("Wykazy\\"));
    EXPECT_EQ(Form->sb_Foldery_Zapisz->Caption(), "      Zapisz zmiany      ");

    ForceDirectories(Path("Inne"));
    ForceDirectories(Path("Kopie"));
    Form->edt_DirWykazy->SetText(Path("Inne"));
    EXPECT_TRUE(Form->sb_Foldery_Zapisz->Enabled());
    Form->edt_KopiaBazyNorm->SetText(Path("Brak"));   // a missing place
    EXPECT_FALSE(Form->sb_Foldery_Zapisz->Enabled());
    Form->edt_KopiaBazyNorm->SetText(Path("Kopie"));
    Form->cb_UserSpozaListy->SetChecked(true);
    EXPECT_TRUE(Form->sb_Uzytkownicy_Zapisz->Enabled());
    Form->e_KierownikDzialu->SetText("Kier");
    Form->lb_UserName->Items()->Add("anna");

    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
    Key(Form->edt_DirWykazy, VK_RETURN);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(RecordedDialogs().back().Caption, "INFORMACJA !!!");
    EXPECT_EQ(Form->edt_DirWykazy->Text(), Path("Inne/"));
    EXPECT_FALSE(Form->sb_Foldery_Zapisz->Enabled());
    EXPECT_FALSE(Form->sb_Uzytkownicy_Zapisz->Enabled());
    const std::vector<AnsiString> saved = ConfigLines();
    const std::vector<AnsiString> expected = {Path("Katalog Norm\\normy_wszystkie.txt"), Path("Inne/"),
                                              Path("Ustawienia\\kategorie.ini"), Path("Ustawienia\\"), Path("Kopie/"),
                                              "Kier", "0", "1", "0", "", "", "", "", ""};
    EXPECT_EQ(saved, expected);
    // The users list went into users.dat; the levels stayed.
    EXPECT_EQ(Users("UsersName", "anna"), "");
    EXPECT_EQ(Users("UsersName", Login), "");
    EXPECT_EQ(Users("Level", Login), "4");
    EXPECT_EQ(Users("Level", "anna"), "(none)");

    // The reload reads it back; the folders' own places are taken as configured.
    Form->edt_DirWykazy->SetText(Path("Wykazy"));
    Form->cb_UserSpozaListy->SetChecked(false);
    Form->sb_Foldery_OdswierzClick(nullptr);
    EXPECT_EQ(Form->edt_DirWykazy->Text(), Path("Inne/"));
    EXPECT_TRUE(Form->cb_UserSpozaListy->Checked());
    EXPECT_EQ(Form->e_KierownikDzialu->Text(), "Kier");

    // Anything but "0" in line 6 clears the box; a backup folder read without
    // its delimiter keeps that form; a missing catalogue falls back to the
    // default; a folder written with "/" is taken as it is.
    WriteConfig(Path("nie ma\\spis.txt") + "\r\n" + FromOsPath(FDir) + "/Inne/\r\n" + Path("Ustawienia\\kategorie.ini") +
                "\r\n" + Path("Ustawienia\\") + "\r\n" + Path("Kopie") + "\r\n\r\n2\r\n1\r\n1\r\n");
    Form->sb_Foldery_OdswierzClick(nullptr);
    EXPECT_FALSE(Form->cb_UserSpozaListy->Checked());
    EXPECT_TRUE(Form->cb_KierMozeZmieniac->Checked());
    EXPECT_EQ(Form->edt_BazaNorm->FileName(), Path("Katalog Norm/normy_wszystkie.txt"));
    EXPECT_EQ(Form->edt_DirWykazy->Text(), FromOsPath(FDir) + "/Inne/");
    EXPECT_EQ(Form->edt_KopiaBazyNorm->Text(), Path("Kopie"));
    EXPECT_EQ(Form->ListFolder(), FromOsPath(FDir) + "/Inne/");

    // A short file: its missing lines read as empty.
    WriteConfig(Path("Katalog Norm\\normy_wszystkie.txt") + "\r\n" + Path("Wykazy\\") + "\r\n" +
                Path("Ustawienia\\kategorie.ini") + "\r\n" + Path("Ustawienia\\") + "\r\n" + Path("Kopie\\") + "\r\n");
    Form->sb_Foldery_OdswierzClick(nullptr);
    EXPECT_EQ(Form->e_KierownikDzialu->Text(), "");
    EXPECT_FALSE(Form->cb_KierDzialuMaNieOgrMozliwosci->Checked());
    EXPECT_FALSE(Form->cb_KierMozeZmieniac->Checked());
}

TEST_F(SettingsPages, AFailedSaveIsReportedAndTheUsersListStillSaved)
{
    // config.dat cannot be replaced: a folder stands in its place.
    DeleteFile(Path("config.dat"));
    ForceDirectories(Path("config.dat"));
    Form->lb_UserName->Items()->Add("ewa");
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można zapisać wprowadzonych zmian - nie masz do tego odpowiednich "
                                           "uprawnień !!!");
    Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(RecordedDialogs().size(), 1u);
    EXPECT_EQ(Users("UsersName", "ewa"), "");

    // A users folder without users.dat: only the configuration is written.
    std::filesystem::remove_all(OsPath("config.dat"));
    ForceDirectories(Path("Inni"));
    Form->edt_DirUzytkownicy->SetText(Path("Inni\\"));
    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
    Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz);
    EXPECT_TRUE(FileExists(Path("config.dat")));
    EXPECT_FALSE(FileExists(Path("Inni\\users.dat")));
    // users.dat deleted after it was read, the list unchanged: nothing of it is lost, the save succeeds.
    Form->edt_DirUzytkownicy->SetText(Path("Ustawienia\\"));
    DeleteFile(Path("Ustawienia\\users.dat"));
    Form->e_KierownikDzialu->SetText("szef");
    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
    Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(ConfigLines().at(5), "szef");
    EXPECT_FALSE(FileExists(Path("Ustawienia\\users.dat")));
    // No plain copy is left in the temporary folder.
    for (const auto& e : std::filesystem::directory_iterator(ToOsPath(PrivateTempFolder())))
        EXPECT_NE(e.path().extension(), ".ini") << e.path();
}

// A users list that was not written is told so, not told as saved, and stays on the page to be saved again.
TEST_F(SettingsPages, AUsersListNotWrittenIsReportedAndKeptOnThePage)
{
    const AnsiString users = Path("Ustawienia\\users.dat");
    Form->lb_UserName->Items()->Add("ewa");
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"read-only", [&] { ::chmod(ToOsPath(users).c_str(), 0444); }},
        {"removed by another login since it was read", [&] { DeleteFile(users); }},
        {"a users folder that holds none", [&] { Form->edt_DirUzytkownicy->SetText(Path("")); }},
    };
    for (const auto& [name, spoil] : cases) {
        SCOPED_TRACE(name);
        spoil();
        const AnsiString before = FileExists(users) ? LoadBytesFromFile(users) : AnsiString("(none)");
        Form->sb_Uzytkownicy_Zapisz->SetEnabled(true);
        ClearRecordedDialogs();
        ScriptDialogs().ExpectMessageBox(IDOK, "Nie można zapisać wprowadzonych zmian - nie masz do tego "
                                               "odpowiednich uprawnień !!!");
        {
            TNoPermissionOverride asAUser;
            Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz);
        }
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(RecordedDialogs().size(), 1u);
        EXPECT_EQ(FileExists(users) ? LoadBytesFromFile(users) : AnsiString("(none)"), before);
        EXPECT_TRUE(Form->sb_Uzytkownicy_Zapisz->Enabled());
        EXPECT_GE(Form->lb_UserName->Items()->IndexOf("ewa"), 0);
    }
}

TEST_F(SettingsPages, UsersAreAddedAndRemovedWithTheirQuestions)
{
    TEdit* edit = Form->e_NowyUzytkownik;
    char semicolon = ';', equals = '=', bar = '|', letter = 'j';
    for (char* k : {&semicolon, &equals, &bar, &letter})
        edit->OnKeyPress(edit, *k);
    EXPECT_EQ(semicolon | equals | bar, 0);
    EXPECT_EQ(letter, 'j');
    edit->SetText("a;b");   // pasted
    EXPECT_EQ(edit->Text(), "");
    EXPECT_FALSE(Form->sb_DodajUzytkownika->Enabled());
    edit->SetText("[x]");   // users.dat would read it as a section's heading
    EXPECT_EQ(edit->Text(), "");

    // A login differing only in case is already there.
    edit->SetText(AnsiUpperCase(Login));
    ScriptDialogs().ExpectMessageBox(IDOK, "Wskazany użytkownik znajduje się już na liście !!!");
    Key(edit, VK_RETURN);
    EXPECT_EQ(Form->lb_UserName->Count(), 1);
    edit->SetText("ewa");
    Key(edit, VK_RETURN);
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(Form->lb_UserName->Items()->Text(), AnsiString("ewa\r\n") + Login + "\r\n");
    EXPECT_TRUE(Form->sb_Uzytkownicy_Zapisz->Enabled());

    // The head of department: asked twice; No on the first keeps the user.
    Form->e_KierownikDzialu->SetText("EWA");
    Choose(Form->lb_UserName, "ewa");
    EXPECT_TRUE(Form->sb_UsunUzytkownika->Enabled());
    ScriptDialogs().ExpectMessageBox(IDNO, "Czy na pewno chcesz usunąć wybranego użytkownika z listy ???");
    Key(Form->lb_UserName, VK_DELETE);
    EXPECT_EQ(Form->lb_UserName->Count(), 2);
    ScriptDialogs()
        .ExpectMessageBox(IDYES, "Czy na pewno")
        .ExpectMessageBox(IDYES, "Usuwasz kierownika działu, czy na pewno wiesz co robisz  ???");
    Key(Form->lb_UserName, VK_DELETE);
    EXPECT_EQ(Form->lb_UserName->Items()->Text(), Login + "\r\n");
    EXPECT_FALSE(Form->sb_UsunUzytkownika->Enabled());

    // The last user, with outsiders refused: three questions.
    Form->cb_UserSpozaListy->SetChecked(true);
    Choose(Form->lb_UserName, Login);
    ScriptDialogs()
        .ExpectMessageBox(IDYES, "Czy na pewno")
        .ExpectMessageBox(IDYES, "Wybrana jest opcja \"Użytkownicy spoza listy nie mogą uruchomić programu\" a Ty "
                                 "usuwasz właśnie ostatniego użytkownika z listy");
    Form->sb_UsunUzytkownikaClick(nullptr);
    EXPECT_EQ(Form->lb_UserName->Count(), 0);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    for (const TRecordedDialog& d : RecordedDialogs())
        if (d.Flags & MB_YESNO) { EXPECT_EQ(d.Flags, unsigned(MB_YESNO | MB_ICONQUESTION)) << d.Text; }
}

// A removed user leaves no user chosen: the line that takes its place is
// chosen by the user's own click or key, and that enables the delete button.
TEST_F(SettingsPages, TheLineAfterARemovedUserIsChosenByClickOrKey)
{
    TListBox* list = Form->lb_UserName;
    const struct {
        const char* What;
        std::function<void()> Choose;
    } ways[] = {
        {"mouse click", [&] { Click(list, 10, list->ItemRect(0).Top + 3); }},
        {"Home key", [&] { KeyDown(list, VK_HOME); }},
    };
    Form->Show();
    Form->RunMenuCommand("Użytkownicy programu", "Użytkownicy programu");
    for (const auto& w : ways) {
        SCOPED_TRACE(w.What);
        for (const char* login : {"aaa1", "aaa2"}) {
            Form->e_NowyUzytkownik->SetText(login);
            Form->sb_DodajUzytkownika->Click();
        }
        Choose(list, "aaa1");
        ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno");
        KeyDown(list, VK_DELETE);
        EXPECT_EQ(list->ItemIndex(), -1);
        w.Choose();
        EXPECT_TRUE(Form->sb_UsunUzytkownika->Enabled());
        ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno");
        KeyDown(list, VK_DELETE);
        EXPECT_EQ(list->Items()->Text(), Login + "\r\n");
    }
    Form->Hide();
}

TEST_F(SettingsPages, LevelsShownAndChosenOnTheRightsPage)
{
    WriteUsers("[UsersName]\r\njan=\r\newa=\r\nola=\r\n[Level]\r\njan=3\r\newa=7\r\n[Options]\r\nRunUserOut=0\r\n");
    Form->lb_UserName->Items()->SetText("jan\r\newa\r\nola\r\n");
    Form->RunMenuCommand("Uprawnienia", "Uprawnienia");
    EXPECT_EQ(Form->lb_Userzy->Count(), 3);
    EXPECT_FALSE(Form->cb_Uprawnienia->Enabled());
    EXPECT_EQ(Form->Memo1->Lines()->Count(), 25);
    EXPECT_EQ(Form->Memo1->Lines()->Strings(3), "Określony poziom pozwala użytkownikowi na: ");

    struct Case {
        const char* User;
        int Index;
    };
    for (const Case& c : {Case{"jan", 2}, Case{"ewa", -1}, Case{"ola", 0}}) {
        SCOPED_TRACE(c.User);
        Choose(Form->lb_Userzy, c.User);
        EXPECT_TRUE(Form->cb_Uprawnienia->Enabled());
        EXPECT_TRUE(Form->Label28->Enabled());
        EXPECT_EQ(Form->cb_Uprawnienia->ItemIndex(), c.Index);
    }

    // A level is written at once into users.dat, the other keys kept.
    Choose(Form->lb_Userzy, "jan");
    Form->cb_Uprawnienia->SetItemIndex(3);
    Form->cb_Uprawnienia->OnChange(Form->cb_Uprawnienia);
    EXPECT_EQ(Users("Level", "jan"), "4");
    EXPECT_EQ(Users("Level", "ewa"), "7");
    EXPECT_EQ(Users("UsersName", "ola"), "");

    // The head of department with unlimited rights keeps the combo disabled.
    Form->e_KierownikDzialu->SetText("JAN");
    Form->cb_KierDzialuMaNieOgrMozliwosci->SetChecked(true);
    ScriptDialogs().ExpectMessageBox(IDOK, "użytkownik \"JAN\" zawsze będzie uruchamiał program bez ograniczeń !!!");
    Choose(Form->lb_Userzy, "jan");
    EXPECT_FALSE(Form->cb_Uprawnienia->Enabled());
    EXPECT_EQ(RecordedDialogs().back().Flags, unsigned(MB_OK | MB_ICONINFORMATION));

    // Without the users file nothing is written.
    DeleteFile(Path("Ustawienia\\users.dat"));
    Choose(Form->lb_Userzy, "ola");
    Form->cb_Uprawnienia->SetItemIndex(2);
    Form->cb_Uprawnienia->OnChange(Form->cb_Uprawnienia);
    EXPECT_FALSE(FileExists(Path("Ustawienia\\users.dat")));
}

// The save buttons follow what is unsaved: a change undone, or options read at start-up, leave them off.
TEST_F(SettingsPages, SaveButtonsAreOnExactlyWhileAChangeIsUnsaved)
{
    PrepareStart(4, "kier\r\n0\r\n1\r\n1\r\n");
    Restart();
    ForceDirectories(Path("Inne"));
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"start-up with every option ticked", [] {}},
        {"a login added and removed again",
         [&] {
             Form->e_NowyUzytkownik->SetText("ewa");
             Form->sb_DodajUzytkownika->Click();
             Choose(Form->lb_UserName, "ewa");
             ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno");
             Form->sb_UsunUzytkownika->Click();
         }},
        {"an option cleared and ticked again",
         [&] {
             for (bool ticked : {false, true})
                 Form->cb_KierMozeZmieniac->SetChecked(ticked);
         }},
        {"a folder changed and changed back",
         [&] {
             for (const char* folder : {"Inne\\", "Wykazy\\"})
                 Form->edt_DirWykazy->SetText(Path(folder));
         }},
        {"the head of department emptied", [&] { Form->e_KierownikDzialu->SetText(""); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        change();
        const bool pending = AnsiString(what) == "the head of department emptied";
        EXPECT_EQ(Form->sb_Uzytkownicy_Zapisz->Enabled(), pending);
        EXPECT_EQ(Form->sb_Foldery_Zapisz->Enabled(), pending);
    }
}

// A login added or a folder changed and not saved is asked about wherever its page is left:
// Yes saves it, No drops it, Cancel stays on the page with it.
TEST_F(SettingsPages, UnsavedUsersAndFoldersAreAskedAboutWhereverThePageIsLeft)
{
    struct TSettingsPage {
        const char* Command;
        const char* Page;
        const char* Question;
        TWinControl* Keys;
        std::function<AnsiString(int)> Change;   // the change made: its login or folder
        std::function<bool(const AnsiString&)> Stored, Shown;
    };
    const TSettingsPage pages[] = {
        {"Użytkownicy programu", "Uzytkownicy",
         "Lista użytkowników została zmodyfikowana i nie zapisana, czy zapisać wprowadzone w niej zmiany ???",
         Form->lb_UserName,
         [&](int n) {
             Form->e_NowyUzytkownik->SetText("nowy" + IntToStr(n));
             Form->sb_DodajUzytkownika->Click();
             return "nowy" + IntToStr(n);
         },
         [&](const AnsiString& login) { return Users("UsersName", login) == ""; },
         [&](const AnsiString& login) { return Form->lb_UserName->Items()->IndexOf(login) >= 0; }},
        {"Foldery", "UstawieniaFolderow",
         "Ustawienia folderów zostały zmodyfikowane i nie zapisane, czy zapisać wprowadzone w nich zmiany ???",
         Form->edt_Menu,
         [&](int n) {
             const AnsiString folder = Path("Inne" + IntToStr(n) + "\\");
             ForceDirectories(folder);
             Form->edt_DirWykazy->SetText(folder);
             return folder;
         },
         [&](const AnsiString& folder) { return ConfigLines()[1] == folder; },
         [&](const AnsiString& folder) { return Form->edt_DirWykazy->Text() == folder; }},
    };
    TCloseAction action = caHide;
    TProToolPanel* normy = Form->MenuPanel("Normy");
    const std::pair<const char*, std::function<void(const TSettingsPage&)>> ways[] = {
        {"main menu item", [&](const TSettingsPage&) { normy->OnItemClick(normy, 0, 1); }},
        {"F3 on the page", [&](const TSettingsPage& p) { KeyDown(p.Keys, VK_F3); }},
        {"Wstecz", [&](const TSettingsPage&) { Form->sb_Zakladki_Wstecz->Click(); }},
        {"quick page", [&](const TSettingsPage&) { Form->Listawszystkichnorm1Click(nullptr); }},
        {"closing the window", [&](const TSettingsPage&) { Form->FormClose(Form.get(), action); }},
    };
    int n = 0;
    for (const TSettingsPage& page : pages)
        for (const auto& [way, leave] : ways)
            for (int answer : {IDYES, IDNO, IDCANCEL}) {
                SCOPED_TRACE(AnsiString(page.Page) + " / " + way + " / " + IntToStr(answer));
                Form->Strony->SetActivePage("NormyWgStanu");
                PageHistory->Clear();
                Form->sb_Zakladki_Wstecz->SetTag(0);
                Form->Listawszystkichnorm1Click(nullptr);
                Form->RunMenuCommand(page.Command, page.Command);
                const AnsiString change = page.Change(++n);
                ClearRecordedDialogs();
                ScriptDialogs().ExpectMessageBox(answer, page.Question);
                if (answer == IDYES)
                    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
                action = caHide;
                leave(page);
                ASSERT_TRUE(VerifyNoPendingDialogs());
                EXPECT_EQ(RecordedDialogs().front().Caption, "UWAGA !!!");
                EXPECT_EQ(RecordedDialogs().front().Flags, unsigned(MB_YESNOCANCEL | MB_ICONWARNING));
                const bool closing = AnsiString(way) == "closing the window";
                EXPECT_EQ(closing ? action != caNone : Form->Strony->ActivePage() != page.Page, answer != IDCANCEL);
                EXPECT_EQ(page.Stored(change), answer == IDYES);
                EXPECT_EQ(page.Shown(change), answer != IDNO);
                EXPECT_EQ(Form->sb_Uzytkownicy_Zapisz->Enabled(), answer == IDCANCEL);
                if (answer == IDCANCEL) {
                    ScriptDialogs().ExpectMessageBox(IDNO, page.Question);
                    Form->RunMenuCommand("W katalogu norm", "W katalogu norm");
                }
            }
}

TEST_F(SettingsPages, FolderEditsBrowseFromTheDesktop)
{
    for (TDirectoryEdit* edit : {Form->edt_DirWykazy, Form->edt_DirUzytkownicy, Form->edt_KopiaBazyNorm,
                                 Form->edt_Exportuj_Directory}) {
        AnsiString root = "(none)";
        ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDCANCEL,
                                     [&](TDialogRequest& r) { root = r.Text; });
        edit->DoClick();
        // The folder browser starts from the desktop (the top of the file system without one).
        EXPECT_FALSE(root.empty()) << edit->Name();
    }
}

TEST_F(SettingsPages, PagesAsShown)
{
    Form->lb_UserName->Items()->Add("anna");
    Form->e_KierownikDzialu->SetText("kier");
    Form->Show();
    struct Page {
        const char* Command;
        const char* Shot;
    };
    for (const Page& p : {Page{"Foldery", "folders-page.png"}, Page{"Użytkownicy programu", "users-page.png"},
                          Page{"Uprawnienia", "rights-page.png"}, Page{"W katalogu norm", "search-page.png"}}) {
        if (AnsiString(p.Command) == "Uprawnienia")   // the users page left with its changes
            ScriptDialogs()
                .ExpectMessageBox(IDYES, "Lista użytkowników została zmodyfikowana")
                .ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
        Form->RunMenuCommand(p.Command, p.Command);
        if (AnsiString(p.Command) == "W katalogu norm") {
            Form->e_z_NrNormy->SetText("en");
            Form->sb_ZnajdzNormeWTrelKordelinClick(nullptr);
        }
        Application->ProcessMessages();
        SaveScreenshot(Form.get(), p.Shot);
        if (AnsiString(p.Command) == "Uprawnienia") { EXPECT_EQ(Form->lb_Userzy->ItemIndex(), -1); }
    }
    EXPECT_EQ(Form->lbl_ZnajdzNormeWTrelKordelni->Caption(), "Liczba norm spełniających kryteria wyszukiwania: 1");
}
