// What one page changes stays for the others: the menu editor's lists after
// an import, registers and the program's own files under an import or an
// export, the users of another users folder, a settings file the program
// itself removed, and a register that a login may only browse.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/Wykazy.h"
#include "controls/ColorPicker.h"
#include "controls/KXCtrls.h"
#include "controls/ToolEdit.h"
#include "controls/ToolPanels.h"
#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/TestFiles.h"

namespace {

const AnsiString DefaultMenu = "[Kategorie]\r\nWyrób 1=\r\nWyrób 2=\r\n"
                               "[Wyrób 1]\r\nWykonanie A=\r\nWykonanie B=\r\n"
                               "[Wyrób 2]\r\nWykonanie 1=\r\n"
                               "[Wykonanie A]\r\nWykonanie z uszczelką=z_u.txt\r\nWykonanie bez uszczelki=bez_u.txt\r\n";
const AnsiString ZU = "PN-EN 10025-2:2019|PN-EN 10025-2:2019|S235|Blacha|R-1|\r\n";
const AnsiString BezU = "PN-EN 1092-1|PN-EN 1092-1|P250GH|Kołnierz|R-2|\r\n";
const AnsiString Bill = "Korpus\tR-1\tŻeliwo\tPN-EN 1561:2012\r\n";
const char* const Saved = "Wszystkie wprowadzone zmiany zostały pomyślnie zapisane";
const char* const Imported = "Wykaz został pomyślnie zaimportowany, czy chcesz uruchomić go teraz ???";

// The program started on a folder with the menu tree above, its two
// registers and a catalogue, by a login of level 4.
class AcrossPages : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        PageHistory->Add("Informacja");   // shown by an earlier window: each start begins a history of its own
        PrepareStart();
        Write("Ustawienia\\kategorie.ini", DefaultMenu);
        Write("Wykazy\\z_u.txt", ZU);
        Write("Wykazy\\bez_u.txt", BezU);
        Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n");
        Form->DoCreate();
        ClearRecordedDialogs();
        ASSERT_EQ(CurrentUserLevel, 4);
        ASSERT_EQ(PageHistory->Count(), 0);
    }
    void TearDown() override
    {
        Clipboard()->Clear();
        TMainFormTest::TearDown();
    }
    // The users a users file of the program folder names.
    std::vector<AnsiString> UserNames(const AnsiString& Name)
    {
        TPlainCopy copy(Path(Name));
        TStringList names;
        TIniFile(copy.FileName()).ReadSection("UsersName", &names);
        return Items(names);
    }
    static bool Lists(TCustomListBox* List, const AnsiString& Name) { return List->Items()->IndexOf(Name) >= 0; }
    // The import page of "Wyrób 1" with Source chosen into Group under Name.
    void FillImportPage(const AnsiString& Source, const AnsiString& Group, const AnsiString& Name)
    {
        if (Form->Strony->ActivePage() != "Importuj")
            Form->RunMenuCommand("Wyrób 1|Importuj z pliku", "Importuj z pliku");
        Form->edt_ImportujWykaz->SetText(Path(Source));
        Choose(Form->lb_Importuj_GrupyProdoktow, Group);
        Form->e_Importuj_NazwaNowejPoz->SetText(Name);
    }
};

}  // namespace

TEST_F(AcrossPages, TheMenuEditorKeepsWhatTheImportPageAdded)
{
    // The editor's list of a level: a name deleted there (not saved), then an
    // import on the import page, then back in the editor a name added and saved.
    struct Case {
        const char* Trace;
        bool Groups;   // the group list (the import into a group made by "Dodaj grupę"), else the item list
        const char* Item;
        const char* File;
        const char* Deleted;
    } cases[] = {
        {"an item imported into the editor's group", false, "Zestaw importowany", "Zestaw_importowany.txt",
         "Wykonanie bez uszczelki"},
        {"a group made on the import page", true, "Zestaw X", "Zestaw_X.txt", "Wykonanie B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Trace);
        Write("Ustawienia\\kategorie.ini", DefaultMenu);
        Write("Importuj\\bom.txt", Bill);
        TListBox* list = c.Groups ? Form->lb_G_Spis : Form->lb_W_Spis;
        TEdit* edit = c.Groups ? Form->e_G_DodajNowa : Form->e_W_Dodaj;
        TSpeedButton* add = c.Groups ? Form->sb_G_Dodaj : Form->sb_W_Dodaj;
        TSpeedButton* save = c.Groups ? Form->sb_G_Zapisz : Form->sb_W_Zapisz;
        const AnsiString section = c.Groups ? "Wyrób 1" : "Wykonanie A";
        const AnsiString group = c.Groups ? "Grupa X" : "Wykonanie A";
        OpenGroupA();
        Choose(list, c.Deleted);
        ScriptDialogs().ExpectMessageBox(IDYES, "Czy na pewno chcesz usunąć wybraną pozycję z listy ???");
        (c.Groups ? Form->sb_G_Usun : Form->sb_W_Usun)->Click();

        Form->QelSensitiveLabel3Click(nullptr);
        ASSERT_EQ(Form->Strony->ActivePage(), "Importuj");
        if (c.Groups) {
            ScriptDialogs().ExpectInput(true, group);
            Form->sb_Importuj_DodajGrupe->Click();
        }
        FillImportPage("Importuj\\bom.txt", group, c.Item);
        ScriptDialogs().ExpectMessageBox(IDNO, Imported);
        Form->sb_ImportujPlik->Click();
        ASSERT_EQ(Menu(group, c.Item), c.File);

        // Back in the editor its list shows what the import added, not what was deleted there.
        Form->sb_Zakladki_WsteczClick(Form->sb_Zakladki_Wstecz);
        ASSERT_EQ(Form->Strony->ActivePage(), "DostosujGrupyPrziPoz");
        EXPECT_TRUE(Lists(list, c.Groups ? group : AnsiString(c.Item)));
        EXPECT_FALSE(Lists(list, c.Deleted));
        edit->SetText("Wykonanie C");
        add->Click();
        ScriptDialogs().ExpectMessageBox(IDOK, Saved);
        save->Click();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_NE(Menu(section, "Wykonanie C"), "(none)");
        EXPECT_EQ(Menu(section, c.Deleted), "(none)");
        EXPECT_EQ(Menu("Wyrób 1", group), "");
        EXPECT_EQ(Menu(group, c.Item), c.File);
        EXPECT_EQ(Menu("Wykonanie A", "Wykonanie z uszczelką"), "z_u.txt");
    }
}

TEST_F(AcrossPages, ANewItemNeverTakesTheRegisterFileOfAnotherLoginsItem)
{
    // Another login's item in "Wykonanie B" names the file that this login's item of the same name
    // would get: its import wrote it while this login's import read its source, or its menu editor
    // named it and nothing is written yet. This login's item gets a file of its own.
    const AnsiString others = "PN-INNA|PN-INNA||||\r\n";
    const UINT otherImports = WM_USER + 1;
    struct Case {
        const char* Trace;
        const char* Item;
        const char* Other;   // the other login's item
        bool Meanwhile;      // the other login's import runs during this one's; else its menu names the file before
        bool Editor;         // this login's item added in the menu editor, else imported on the import page
    } cases[] = {
        {"imported by both at once", "Zestaw A", "Inny A", true, false},
        {"named by the other's menu, imported here", "Zestaw B", "Inny B", false, false},
        {"named by the other's menu, added in the editor here", "Zestaw C", "Inny C", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Trace);
        const AnsiString file = ListFileBase(c.Item) + ".txt", own = ListFileBase(c.Item) + "_01.txt";
        bool acted = false;
        auto otherLogin = [&] {
            TMemIniFile menu(Path("Ustawienia\\kategorie.ini"));
            menu.WriteString("Wykonanie B", c.Other, file);
            menu.UpdateFile();
            if (c.Meanwhile)
                SaveBytesToFile(Path("Wykazy\\" + file), others);
            acted = true;
        };
        if (c.Editor) {
            OpenGroupA();
            otherLogin();
            Form->e_W_Dodaj->SetText(c.Item);
            Form->sb_W_Dodaj->Click();
            ScriptDialogs()
                .ExpectMessageBox(IDYES, "został zmieniony przez innego użytkownika")
                .ExpectMessageBox(IDOK, Saved);
            Form->sb_W_Zapisz->Click();
        } else {
            Write("Importuj\\bom.txt", Bill);
            FillImportPage("Importuj\\bom.txt", "Wykonanie A", c.Item);
            if (c.Meanwhile) {
                // Its import is done while this one's shows its progress.
                Application->OnMessage = [&](TMsg& Msg, bool& Handled) {
                    if ((Handled = Msg.message == otherImports))
                        otherLogin();
                };
                PostMessage(Form->Handle(), otherImports, 0, 0);
            } else {
                otherLogin();
            }
            ScriptDialogs().ExpectMessageBox(IDNO, Imported);
            Form->sb_ImportujPlik->Click();
            Application->OnMessage = nullptr;
            EXPECT_TRUE(FileExists(Path("Wykazy\\" + own)) &&
                        Read("Wykazy\\" + own) == "|PN-EN 1561:2012|Żeliwo|Korpus|R-1|\r\n");
        }
        EXPECT_TRUE(acted);
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(Menu("Wykonanie A", c.Item), own);
        EXPECT_EQ(Menu("Wykonanie B", c.Other), file);
        EXPECT_EQ(FileExists(Path("Wykazy\\" + file)), c.Meanwhile);
        if (c.Meanwhile) { EXPECT_EQ(Read("Wykazy\\" + file), others); }
    }
}

// A name pasted with its line end into a one-line field keeps its first line: the files those
// fields end in (the menu file, users.dat, config.dat) keep one name a line.
TEST_F(AcrossPages, ANamePastedWithItsLineEndKeepsItsFirstLine)
{
    auto paste = [](TWinControl* Edit, const AnsiString& Name) {
        Clipboard()->SetAsText(Name + "\r\nreszta\r\n");
        Edit->SetText("");
        KeyDown(Edit, 'V', ssCtrl);
        return Edit->Text();
    };
    OpenGroupA();
    for (TWinControl* e : std::initializer_list<TWinControl*>{
             Form->e_MG_NazwaNowejPoz, Form->e_G_DodajNowa, Form->e_W_Dodaj, Form->e_Importuj_NazwaNowejPoz,
             Form->e_Importuj_NazwaNowejPoz_NaUstawieniachMenu, Form->e_NowyUzytkownik, Form->e_KierownikDzialu,
             Form->edt_BazaNorm, Form->edt_DirWykazy, Form->edt_Menu, Form->edt_DirUzytkownicy,
             Form->edt_KopiaBazyNorm})
        EXPECT_EQ(paste(e, "Zestaw X"), "Zestaw X") << e->Name();
    // A group made on the import page from a pasted name.
    ScriptDialogs().ExpectInput(true, "Grupa Y\r\nreszta\r\n");
    Form->sb_Importuj_DodajGrupe->Click();
    EXPECT_TRUE(Lists(Form->lb_Importuj_GrupyProdoktow, "Grupa Y"));

    // What is saved from them, the folders named again by config.dat.
    Form->ReadConfiguration();
    paste(Form->e_W_Dodaj, "Wykonanie C");
    Form->sb_W_Dodaj->Click();
    ScriptDialogs().ExpectMessageBox(IDOK, Saved);
    Form->sb_W_Zapisz->Click();
    EXPECT_EQ(Menu("Wykonanie A", "Wykonanie C"), "Wykonanie_C.txt");
    paste(Form->e_KierownikDzialu, "szef");
    paste(Form->e_NowyUzytkownik, "ewa");
    Form->sb_DodajUzytkownika->Click();
    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
    Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz);
    EXPECT_NE(ReadScrambledFile(Path("config.dat")).find("\r\nszef\r\n1\r\n1\r\n0\r\n"), AnsiString::npos);
    const std::vector<AnsiString> names = UserNames("Ustawienia\\users.dat");
    EXPECT_EQ(names.size(), 2u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "ewa"), 1);
}

TEST_F(AcrossPages, ImportReadsEveryRowAndKeepsTheRegistersTheMenuNames)
{
    struct Case {
        const char* Trace;
        const char* Source;   // in the program folder, deleted after the import when it may be
        AnsiString Text;      // written there first ("" for a register of the menu)
        const char* Name;
        AnsiString Register;  // the new register's lines
        const char* Note;     // what the question says first; nullptr: the source is deleted
    } cases[] = {
        {"an inch mark inside a part name", "Importuj\\rury.txt",
         "Rura 1/2\"\tR-1\tS235\tPN-EN 10255:2004\r\nrura 3/4\" ocynk\tR-2\tS235\tPN-EN 10255:2005\r\n"
         "kołnierz\tR-3\tP250GH\tPN-EN 1092-1\r\n\"Pokrywa\r\ngórna\"\tR-4\tS235\tPN-1\r\n",
         "Rury",
         "|PN-EN 10255:2004|S235| Rura 1/2|R-1|\r\n|PN-EN 10255:2005|S235| rura 3/4 ocynk|R-2|\r\n"
         "|PN-EN 1092-1|P250GH|kołnierz|R-3|\r\n|PN-1|S235| Pokrywa górna|R-4|\r\n",
         nullptr},
        {"a quote opened at a cell's start and never closed", "Importuj\\otwarty.txt",
         "\"Uszczelka\tR-1\tEPDM\tPN-2\r\nŚruba\tR-2\t8.8\tPN-EN ISO 4014\r\n", "Otwarty",
         "|PN-2|EPDM| Uszczelka|R-1|\r\n|PN-EN ISO 4014|8.8|Śruba|R-2|\r\n", nullptr},
        {"the register of another item", "Wykazy\\bez_u.txt", "", "Kopia", "",
         "Plik źródłowy " },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Trace);
        if (!c.Text.empty())
            Write(c.Source, c.Text);
        const AnsiString before = Read(c.Source);
        FillImportPage(c.Source, "Wykonanie A", c.Name);
        ASSERT_TRUE(Form->cb_Importuj_UsunZrodlo->Checked());
        ScriptDialogs().ExpectMessageBox(IDNO, c.Note ? AnsiString(c.Note) : AnsiString(Imported));
        Form->sb_ImportujPlik->Click();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        const AnsiString file = Menu("Wykonanie A", c.Name);
        EXPECT_EQ(file, ListFileBase(c.Name) + ".txt");
        if (!c.Register.empty()) {
            EXPECT_EQ(Read("Wykazy\\" + file), c.Register);
        }
        EXPECT_EQ(Form->p_Worning->Caption(), AnsiString(20, ' ') + "Wykaz został pomyślnie zaimportowany");
        if (c.Note) {
            // The register another item names stays, and the message says why.
            EXPECT_NE(RecordedDialogs().back().Text.find("Wykonanie bez uszczelki"), AnsiString::npos);
            EXPECT_NE(RecordedDialogs().back().Text.find(Imported), AnsiString::npos);
            EXPECT_EQ(Read(c.Source), before);
            EXPECT_EQ(Menu("Wykonanie A", "Wykonanie bez uszczelki"), "bez_u.txt");
            EXPECT_EQ(Form->edt_ImportujWykaz->FileName(), Path(c.Source));
        } else {
            EXPECT_FALSE(FileExists(Path(c.Source)));
        }
    }
}

TEST_F(AcrossPages, NamesAreCheckedAsTheMenuFileStoresThem)
{
    Write("Importuj\\bom.txt", Bill);
    const AnsiString menu = Read("Ustawienia\\kategorie.ini");
    // A trailing blank names the item that is there: replacing it is asked first.
    FillImportPage("Importuj\\bom.txt", "Wykonanie A", "Wykonanie z uszczelką ");
    EXPECT_EQ(Form->sb_ImportujPlik->Caption(), "Zastąp wykaz");
    ScriptDialogs().ExpectMessageBox(IDNO, "Czy na pewno chcesz zamienić wykaz dla Wykonanie z uszczelką");
    Form->sb_ImportujPlik->Click();
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), menu);

    // A name the menu file cannot hold is refused before anything is written.
    struct Refused {
        const char* Name;
        const char* Message;
    } names[] = {{"[A] wspornik", "Nazwa nie może rozpoczynać się od znaku ["},
                 {"  [B] wspornik", "Nazwa nie może rozpoczynać się od znaku spacji"}};
    for (const Refused& r : names) {
        SCOPED_TRACE(r.Name);
        Form->e_Importuj_NazwaNowejPoz->SetText(r.Name);
        EXPECT_FALSE(Form->sb_ImportujPlik->Enabled());
        Form->sb_ImportujPlik->SetEnabled(true);   // as a click that raced the check
        ScriptDialogs().ExpectMessageBox(IDOK, r.Message);
        Form->sb_ImportujPlik->Click();
        EXPECT_TRUE(VerifyNoPendingDialogs());
    }
    // A group made on the import page names a section too.
    ScriptDialogs().ExpectInput(true, "Rury ]1").ExpectMessageBox(IDOK, "Nazwa nie może zawierać znaku ]");
    Form->sb_Importuj_DodajGrupe->Click();
    EXPECT_FALSE(Lists(Form->lb_Importuj_GrupyProdoktow, "Rury ]1"));
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), menu);
    EXPECT_TRUE(FileExists(Path("Importuj\\bom.txt")));
    EXPECT_EQ(ListDirectory(Path("Wykazy"), "*.txt").size(), 2u);

    // The same in the menu editor: main-menu items and groups are sections too.
    OpenGroupA();
    struct Level {
        TEdit* Edit;
        TSpeedButton* Add;
        TLabel* Warning;
        const char* Name;
        const char* Message;   // "" when the name is taken
    } levels[] = {
        {Form->e_MG_NazwaNowejPoz, Form->sb_MG_Dodaj, Form->l_MG_Warning, "Wyrób ]3", "Nazwa nie może zawierać znaku ]"},
        {Form->e_G_DodajNowa, Form->sb_G_Dodaj, Form->l_G_Warning, "Rura ]1", "Nazwa nie może zawierać znaku ]"},
        {Form->e_G_DodajNowa, Form->sb_G_Dodaj, Form->l_G_Warning, "[Rura", "Nazwa nie może rozpoczynać się od znaku ["},
        {Form->e_W_Dodaj, Form->sb_W_Dodaj, Form->l_W_Warning, "[Kolano", "Nazwa nie może rozpoczynać się od znaku ["},
        {Form->e_W_Dodaj, Form->sb_W_Dodaj, Form->l_W_Warning, "Kolano ]90", ""},
    };
    for (const Level& l : levels) {
        SCOPED_TRACE(l.Name);
        l.Edit->SetText(l.Name);
        EXPECT_EQ(l.Warning->Caption(), l.Message);
        EXPECT_EQ(l.Add->Enabled(), *l.Message == 0);
    }
    // A group name with a trailing blank is the group that is there.
    Form->e_G_DodajNowa->SetText("Wykonanie B ");
    ScriptDialogs().ExpectMessageBox(IDOK, "Wskazana pozycja znajduje się już na liście !!!");
    Form->sb_G_Dodaj->Click();
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), menu);
}

TEST_F(AcrossPages, ExportNeverReplacesAFileOfTheProgram)
{
    const AnsiString catalogue = Read("Katalog Norm\\normy_wszystkie.txt");
    struct Case {
        const char* Folder;
        const char* Name;
        const char* File;       // the target in the program folder
        const char* Refusal;    // nullptr: written
    } cases[] = {
        {"Wykazy\\", "z_u", "Wykazy\\z_u.txt", "wykazem pozycji \"Wykonanie z uszczelką\""},
        {"Wykazy\\", "BEZ_U", "Wykazy\\bez_u.txt", "wykazem pozycji \"Wykonanie bez uszczelki\""},
        {"Katalog Norm\\", "normy_wszystkie", "Katalog Norm\\normy_wszystkie.txt", "spisem wszystkich norm"},
        {"Eksport\\", "z_u", "Eksport\\z_u.txt", nullptr},
    };
    ForceDirectories(Path("Eksport"));
    Form->RunMenuCommand("Wyrób 1|Zapisz jako ...", "Zapisz jako ...");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        Choose(Form->lb_Eksportuj_GrupyProduktow, "Wykonanie A");
        Choose(Form->lb_Eksportuj_ListaWykazow, "Wykonanie z uszczelką");
        Form->edt_Exportuj_Directory->SetText(Path(c.Folder));
        Form->e_Exportuj_FileName->SetText(c.Name);
        Form->cb_Exportuj_ZapiszJakoTyp->SetItemIndex(Form->cb_Exportuj_ZapiszJakoTyp->Items()->IndexOf("Plik tekstowy"));
        Form->edt_Exportuj_DirectoryChange(nullptr);
        ASSERT_TRUE(Form->sb_Exportuj->Enabled());
        if (c.Refusal)
            ScriptDialogs().ExpectMessageBox(IDOK, c.Refusal);
        Form->sb_Exportuj->Click();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(FileExists(Path(c.File)), true);
    }
    EXPECT_EQ(Read("Wykazy\\z_u.txt"), ZU);
    EXPECT_EQ(Read("Wykazy\\bez_u.txt"), BezU);
    EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"), catalogue);
    EXPECT_NE(Read("Eksport\\z_u.txt").find("PN-EN 10025-2:2019"), AnsiString::npos);
}

TEST_F(AcrossPages, AnotherUsersFolderKeepsItsUsers)
{
    ForceDirectories(Path("Dzial2"));
    WriteScrambledFile(Path("Dzial2\\users.dat"),
                       "[UsersName]\r\nanna=\r\npiotr=\r\n[Level]\r\nanna=3\r\npiotr=2\r\n[Options]\r\nRunUserOut=0\r\n");
    Form->lb_UserName->Items()->Add("jan");   // added for the first folder, not saved
    Form->edt_DirUzytkownicy->SetText(Path("Dzial2"));
    EXPECT_EQ(Form->lb_UserName->Items()->CommaText(), "anna,piotr");
    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
    Form->sb_Foldery_ZapiszClick(Form->sb_Foldery_Zapisz);
    EXPECT_EQ(UserNames("Dzial2\\users.dat"), (std::vector<AnsiString>{"anna", "piotr"}));
    TPlainCopy copy(Path("Dzial2\\users.dat"));
    EXPECT_EQ(TIniFile(copy.FileName()).ReadString("Level", "anna", ""), "3");
    // The users page shows the folder's users; a user added there is saved into it.
    EXPECT_EQ(Form->lb_UserName->Items()->CommaText(), "anna,piotr");
    Form->e_NowyUzytkownik->SetText("ewa");
    Form->sb_DodajUzytkownika->Click();
    ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
    Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz);
    EXPECT_EQ(UserNames("Dzial2\\users.dat"), (std::vector<AnsiString>{"anna", "ewa", "piotr"}));
    // The first folder's file is as it was.
    EXPECT_EQ(UserNames("Ustawienia\\users.dat"), std::vector<AnsiString>{GetWindowsUserName()});
}

TEST_F(AcrossPages, RestoringTheDefaultAppearanceIsNoOtherLoginsChange)
{
    const AnsiString file = Path("Ustawienia\\" + GetWindowsUserName() + ".dat");
    ASSERT_TRUE(FileExists(file));
    ScriptDialogs().ExpectMessageBox(IDOK, "Domyślne ustawienia zostaną przywrócone");
    Form->SpeedButton3->Click();
    ASSERT_FALSE(FileExists(file));
    // A later change saved in the same run asks nothing and writes the file again.
    Form->ColorBtn_PN_KolCellNrNormy->SetActiveColor(255);
    Form->ColorBtn_PN_KolCellNrNormy->OnClick(Form->ColorBtn_PN_KolCellNrNormy);
    Form->sb_ZastosujUstawieniaProgramu->Click();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    ASSERT_TRUE(FileExists(file));
    EXPECT_NE(ReadScrambledFile(file).find("PN_KolCellNrNormy=255"), AnsiString::npos);
}

TEST_F(AcrossPages, ARegisterOnlyBrowsedIsNeverWritten)
{
    CurrentUserLevel = 1;
    Form->RunMenuCommand("z_u.txt", "Wykonanie z uszczelką");
    ASSERT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
    ASSERT_FALSE(Form->ListEditing());
    TProStringGrid* grid = Form->sg_NowyEdytujWykaz;
    Form->Show();
    grid->SetFocus();
    auto cells = [grid] {
        AnsiString s = IntToStr(grid->RowCount()) + ":";
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                s += grid->Cells(c, r) + "|";
        return s;
    };
    const AnsiString before = cells();
    struct Key {
        Word Code;
        TShiftState Shift;
        const char* Name;
    } keys[] = {{VK_INSERT, 0, "Insert"},       {VK_DELETE, 0, "Delete"},      {VK_INSERT, ssShift, "Shift+Insert"},
                {'V', ssCtrl, "Ctrl+V"},          {'X', ssCtrl, "Ctrl+X"},       {VK_DELETE, ssShift, "Shift+Delete"},
                {VK_UP, ssCtrl, "Ctrl+Up"},       {VK_DOWN, ssCtrl, "Ctrl+Down"}, {VK_UP, ssAlt, "Alt+Up"},
                {VK_DELETE, ssCtrl, "Ctrl+Del"}, {'K', ssCtrl, "Ctrl+K"},       {'W', ssCtrl, "Ctrl+W"},
                {'Z', ssCtrl, "Ctrl+Z"},          {VK_F2, 0, "F2"},              {VK_BACK, 0, "Backspace"}};
    Clipboard()->SetAsText("PN-X\tPN-Y");
    for (const Key& k : keys) {
        SCOPED_TRACE(k.Name);
        grid->FocusCell(2, 1, true);
        TypeKey(grid, k.Code, k.Shift);
        TypeText(grid, "a");
        ProcessPendingMessages();
        EXPECT_EQ(cells(), before);
        EXPECT_FALSE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
    }
    Form->Hide();
    // Closing asks nothing about the register and leaves its file as it was.
    TCloseAction action = caNone;
    for (int i = 0; i < 2 && action == caNone; ++i) {
        action = caHide;
        Form->FormClose(Form.get(), action);
    }
    EXPECT_EQ(action, caHide);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(Read("Wykazy\\z_u.txt"), ZU);
}

// Each route to a change of the folder's files, tried at every level up to the one it needs: below
// it the route is refused and leaves its target (a file, or every file of the folder) as it was,
// byte for byte; at it the route changes it. Level 0 is a login not on the users list.
TEST_F(AcrossPages, EachRouteChangesItsFilesOnlyFromTheLevelItNeeds)
{
    const AnsiString copyName = "normy_wszystkie (kopia z 06-12-2026 09-05-07)";
    const AnsiString copy = "Katalog Norm\\" + copyName + ".txt";
    int level = 0;
    auto files = [&](const char* Target) {
        std::map<std::string, AnsiString> bytes;
        for (const auto& e : std::filesystem::recursive_directory_iterator(FDir))
            if (e.is_regular_file() && (!Target || e.path() == OsPath(Target)))
                bytes[e.path().string()] = LoadBytesFromFile(FromOsPath(e.path().string()));
        return bytes;
    };
    // The folder as the first start at each level left it, put back before every later start.
    std::map<int, std::map<std::string, AnsiString>> folders;
    auto start = [&] {
        for (const auto& e : std::filesystem::directory_iterator(FDir))
            std::filesystem::remove_all(e.path());
        UsedListFiles->Clear();
        PageHistory->Clear();
        std::map<std::string, AnsiString>& folder = folders[level];
        for (const auto& [name, bytes] : folder) {
            std::filesystem::create_directories(std::filesystem::path(name).parent_path());
            std::ofstream(name, std::ios::binary) << bytes;
        }
        if (folder.empty()) {
            PrepareStart(std::max(level, 1));
            if (level == 0)
                WriteScrambledFile(Path("Ustawienia\\users.dat"), "[UsersName]\r\nanna=\r\n[Level]\r\nanna=4\r\n");
            Write("Ustawienia\\kategorie.ini", DefaultMenu);
            Write("Wykazy\\z_u.txt", ZU);
            Write("Wykazy\\bez_u.txt", BezU);
            Write("Importuj\\bom.txt", Bill);
            Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n");
            Write(copy, "PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n");
        }
        ForceDirectories(Path("Katalog Norm\\Kopie"));
        Restart();
        ASSERT_EQ(CurrentUserLevel, level);
        if (folder.empty())
            folder = files(nullptr);
    };
    // An item of a panel clicked: a disabled one only says that the rights are missing.
    auto item = [&](const AnsiString& Panel, const AnsiString& Section, const AnsiString& Caption) {
        TProToolPanel* p = Form->MenuPanel(Panel);
        for (int s = 0; s < p->Sections()->Count(); ++s) {
            TSectionItems* items = p->Sections()->GetItem(s)->SectionItems();
            for (int i = 0; i < items->Count(); ++i)
                if (p->Sections()->GetItem(s)->Caption() == Section && items->GetItem(i)->Caption() == Caption) {
                    const bool enabled = items->GetItem(i)->Enabled();
                    if (!enabled)
                        ScriptDialogs().ExpectMessageBox(IDOK, "Nie masz odpowiednich uprawnień !!!");
                    p->OnItemClick(p, s, i);
                    return enabled;
                }
        }
        ADD_FAILURE() << Caption.c_str();
        return false;
    };
    auto quick = [&](TMenuItem* Item, const char* Page) {
        if (Item->Enabled())
            Item->Click();
        return Form->Strony->ActivePage() == Page;
    };
    auto enter = [](TWinControl* Control, const AnsiString& Text) {
        TypeText(Control, Text);
        KeyDown(Control, VK_RETURN);
    };
    auto save = [](TWinControl* Control, TSpeedButton* Save) {
        if (Save->Enabled())
            ScriptDialogs().ExpectMessageBox(IDOK, Saved);
        KeyDown(Control, 'S', ssCtrl);
    };
    auto press = [](TControl* Control) { Click(Control, Control->Width() / 2, Control->Height() / 2); };
    auto editor = [&] { return item("Wyrób 1", "Organizuj", "Menu"); };
    // An entry of a list of the menu editor deleted by Del (asked when Delete is on) and the list saved.
    auto remove = [&](TCustomListBox* List, TSpeedButton* Delete, TSpeedButton* Save, const char* Name,
                      const char* Question) {
        Choose(List, Name);
        if (Delete->Enabled())
            ScriptDialogs().ExpectMessageBox(IDYES, Question);
        KeyDown(List, VK_DELETE);
        save(List, Save);
    };
    const char* const sure = "Czy na pewno chcesz usunąć wybraną pozycję z listy ???";
    const struct {
        const char* What;
        int Level;            // 5: no level may
        const char* Target;   // nullptr: every file
        std::function<void()> Try;
    } routes[] = {
        {"the catalogue grid: Delete, then Ctrl+S", 3, nullptr, [&] {
             if (level >= 3)
                 ScriptDialogs()
                     .ExpectMessageBox(IDYES, sure)
                     .ExpectMessageBox(IDYES, "Czy na pewno chcesz zapisać aktualny spis wszystkich norm ???")
                     .ExpectMessageBox(IDNO, "Zrobić kopię")
                     .ExpectMessageBox(IDOK, "Spis norm został pomyślnie zaktualizowany.");
             Form->sg_WszystkieNormy->FocusCell(1, 1, true);
             KeyDown(Form->sg_WszystkieNormy, VK_DELETE);
             KeyDown(Form->sg_WszystkieNormy, 'S', ssCtrl);
         }},
        {"the quick page of the menu editor: a main-menu button added and saved", 4, nullptr, [&] {
             if (quick(Form->UstawieniaMenu1, "DostosujGrupyPrziPoz")) {
                 enter(Form->e_MG_NazwaNowejPoz, "Wyrób 9");
                 save(Form->e_MG_NazwaNowejPoz, Form->sb_MG_Zapisz);
             }
         }},
        {"the settings' Menu: a main-menu button deleted and saved", 4, nullptr, [&] {
             if (item("Ustawienia", "Organizuj", "Menu"))
                 remove(Form->clb_MG_PrzyciskiMenuGlownego, Form->sb_MG_Usun, Form->sb_MG_Zapisz, "Wyrób 2",
                        "Nie musisz usuwać");
         }},
        {"a category's Menu: a main-menu button typed and saved", 5, nullptr, [&] {
             if (editor()) {
                 enter(Form->e_MG_NazwaNowejPoz, "Wyrób 9");
                 save(Form->e_MG_NazwaNowejPoz, Form->sb_MG_Zapisz);
             }
         }},
        {"a category's Menu: a group \"Kategorie\" and a button added in it", 5, nullptr, [&] {
             if (!editor())
                 return;
             ScriptDialogs().ExpectMessageBox(IDOK, "Wskazana pozycja znajduje się już na liście !!!");
             enter(Form->e_G_DodajNowa, "Kategorie");
             save(Form->e_G_DodajNowa, Form->sb_G_Zapisz);
             if (Lists(Form->lb_G_Spis, "Kategorie")) {
                 Choose(Form->lb_G_Spis, "Kategorie");
                 enter(Form->e_W_Dodaj, "Wyrób 9");
                 save(Form->e_W_Dodaj, Form->sb_W_Zapisz);
             }
         }},
        {"a category's Menu: a group deleted and saved", 3, nullptr, [&] {
             if (editor())
                 remove(Form->lb_G_Spis, Form->sb_G_Usun, Form->sb_G_Zapisz, "Wykonanie B", sure);
         }},
        {"a category's Menu: an item deleted and saved", 3, nullptr, [&] {
             if (editor()) {
                 Choose(Form->lb_G_Spis, "Wykonanie A");
                 remove(Form->lb_W_Spis, Form->sb_W_Usun, Form->sb_W_Zapisz, "Wykonanie bez uszczelki", sure);
             }
         }},
        {"the import page: a group \"Kategorie\" and a register imported into it", 5, nullptr, [&] {
             if (!item("Wyrób 1", "Wykaz", "Importuj z pliku"))
                 return;
             ScriptDialogs().ExpectInput(true, "Kategorie").ExpectMessageBox(IDOK, "Podana nazwa znajduje sie już");
             press(Form->sb_Importuj_DodajGrupe);
             if (Lists(Form->lb_Importuj_GrupyProdoktow, "Kategorie")) {
                 FillImportPage("Importuj\\bom.txt", "Kategorie", "Wyrób 9");
                 ScriptDialogs().ExpectMessageBox(IDNO, Imported);
                 KeyDown(Form->e_Importuj_NazwaNowejPoz, VK_RETURN);
             }
         }},
        {"the import page: a dated copy of the catalogue imported, its source to be deleted", 3, copy.c_str(), [&] {
             if (item("Wyrób 1", "Wykaz", "Importuj z pliku")) {
                 FillImportPage(copy, "Wykonanie A", "Kopia");
                 ScriptDialogs().ExpectMessageBox(IDNO, level < 3 ? "jest kopią spisu wszystkich norm" : Imported);
                 KeyDown(Form->e_Importuj_NazwaNowejPoz, VK_RETURN);
             }
         }},
        {"the export page: a register written over a dated copy of the catalogue", 3, copy.c_str(), [&] {
             if (!item("Wyrób 1", "Wykaz", "Zapisz jako ..."))
                 return;
             Choose(Form->lb_Eksportuj_GrupyProduktow, "Wykonanie A");
             Choose(Form->lb_Eksportuj_ListaWykazow, "Wykonanie z uszczelką");
             Form->edt_Exportuj_Directory->SetText(Path("Katalog Norm"));
             Form->cb_Exportuj_ZapiszJakoTyp->SetItemIndex(4);
             Form->e_Exportuj_FileName->SetText(copyName);
             if (level < 3)
                 ScriptDialogs().ExpectMessageBox(IDOK, "jest kopią spisu wszystkich norm");
             KeyDown(Form->e_Exportuj_FileName, VK_RETURN);
         }},
        {"the quick page of the folders: the backup folder changed and saved", 4, nullptr, [&] {
             if (quick(Form->Ustawieniafolderw1, "UstawieniaFolderow")) {
                 TypeText(Form->edt_KopiaBazyNorm, "Kopie");
                 ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
                 press(Form->sb_Foldery_Zapisz);
             }
         }},
        {"the quick page of the users: a user added and saved", 4, nullptr, [&] {
             if (quick(Form->Uytkownicy1, "Uzytkownicy")) {
                 enter(Form->e_NowyUzytkownik, "ewa");
                 ScriptDialogs().ExpectMessageBox(IDOK, "Zmiany poprawnie zapisane.");
                 press(Form->sb_Uzytkownicy_Zapisz);
             }
         }},
        {"the quick page of the rights: a level chosen", 4, nullptr, [&] {
             if (quick(Form->Uprawnienia1, "Uprawnienia")) {
                 Choose(Form->lb_Userzy, GetWindowsUserName());
                 KeyDown(Form->cb_Uprawnienia, VK_UP);
             }
         }},
        {"Ctrl+U: a colour of the appearance saved", 1, nullptr, [&] {
             KeyDown(Form->sg_WszystkieNormy, 'U', ssCtrl);
             if (Form->Strony->ActivePage() == "UstawieniaProg") {
                 Form->ColorBtn_PN_KolCellNrNormy->SetActiveColor(255);
                 Form->ColorBtn_PN_KolCellNrNormy->OnClick(Form->ColorBtn_PN_KolCellNrNormy);
                 press(Form->sb_ZastosujUstawieniaProgramu);
             }
         }},
    };
    for (level = 0; level <= 4; ++level)
        for (const auto& r : routes) {
            if (level > r.Level)
                continue;
            SCOPED_TRACE(IntToStr(level) + ": " + r.What);
            start();
            const auto before = files(r.Target);
            try {
                r.Try();
            } catch (const std::exception& e) {   // a box the route did not expect
                ADD_FAILURE() << e.what();
            }
            EXPECT_TRUE(VerifyNoPendingDialogs());
            EXPECT_EQ(files(r.Target) == before, level < r.Level);
        }
}
