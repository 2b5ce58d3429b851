// The program's start-up on its folder: the first starts on a fresh folder,
// the access level of the login, and the configuration read back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/MainVars.h"
#include "app/ProgramDialogs.h"
#include "app/ProgramFolders.h"
#include "app/Unit8_PoprawnoscNorm.h"
#include "app/Unit9_Waiting.h"
#include "app/qx_Unit10_Wyroby.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit3.h"
#include "app/qx_Unit4.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ColorPicker.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/DialogTest.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/SampleCatalogue.h"
#include "tests/common/TestFiles.h"

namespace {

class StartUp : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        FOldTitle = Application->Title();
        Application->SetTitle("Velmarok Polskich Norm");
        Login = GetWindowsUserName();
    }
    void TearDown() override
    {
        TMainFormTest::TearDown();
        Application->SetTitle(FOldTitle);
        CurrentUserLevel = 0;
        UserOutsideList = false;
    }
    // The box whose text holds Text, answered Answer; Check runs while it is shown.
    void ExpectBox(int Answer, const AnsiString& Text, std::function<void()> Check = nullptr)
    {
        ScriptDialogs().ExpectDialog(dkMessageBox, Text, Answer, [Check](TDialogRequest&) {
            if (Check)
                Check();
        });
    }
    bool Exists(const AnsiString& Name) const { return FileExists(Path(Name)); }
    std::vector<AnsiString> PlainLines(const AnsiString& Name) const { return Lines(ReadScrambledFile(Path(Name))); }
    void WriteUsers(const AnsiString& PlainText) { WriteScrambledFile(Path("Ustawienia\\users.dat"), PlainText); }

    AnsiString Login;
    AnsiString FOldTitle;
};

}  // namespace

TEST_F(StartUp, AFreshFolderStartsFourTimesBeforeTheWindowComesIntoUse)
{
    TNetworkState offline(false);

    // First start: the once-only notice (no launcher), the about page, the
    // default configuration and the end.
    ExpectBox(IDNO, "TYLKO TEN JEDEN RAZ NA TYM KOMPUTERZE");
    ExpectBox(IDOK, "PROGRAM ZOSTANIE ZAMKNIĘTY, zostaną utworzone nowe pliki",
              [this] { EXPECT_TRUE(Exists("config.dat")); });
    Restart();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Form->Strony->ActivePage(), "Informacja");
    EXPECT_TRUE(StartingUp);
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey("Software\\Quorvane\\Tyrvenhold", false));
        EXPECT_EQ(reg.ReadString("Path"), Application->ExeName());
        EXPECT_EQ(reg.ReadString("Name"), "Velmarok Polskich Norm");
        EXPECT_EQ(reg.ReadString("Version"), GetExeVersion());
    }
    const std::vector<AnsiString> config = PlainLines("config.dat");
    ASSERT_EQ(config.size(), 15u);
    const AnsiString expected[] = {Path("Katalog Norm/normy_wszystkie.txt"), Path("Wykazy/"),
                                   Path("Ustawienia/kategorie.ini"), Path("Ustawienia/"), Path("Katalog Norm/"),
                                   "", "1", "1", "0"};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(config[size_t(i)], i < 9 ? expected[i] : AnsiString()) << i;
    // One scrambled line: the text without its last character, then CR LF.
    const AnsiString plain = ReadScrambledFile(Path("config.dat"));
    EXPECT_EQ(Read("config.dat"), ScrambleString(plain, ScrambleKey) + "\r\n");
    EXPECT_FALSE(Exists("Ustawienia"));
    EXPECT_TRUE(VerifyNoPendingDialogs());

    // Second start: the users file, the login's settings, the sample
    // catalogue, an empty menu file, the end, and still the sample registers.
    const AnsiString own = "Ustawienia\\" + Login + ".dat";
    ExpectBox(IDOK, "jest uruchamiany na tym komputerze po raz pierwszy !!!.", [&] {
        EXPECT_TRUE(Exists("Ustawienia\\users.dat"));
        EXPECT_FALSE(Exists("Ustawienia\\users.ini"));
        EXPECT_FALSE(Exists(own));
    });
    ExpectBox(IDOK, "Czy mam stworzyć przykładowy spis teraz ???", [&] {
        EXPECT_TRUE(Exists(own));
        EXPECT_FALSE(Exists("Katalog Norm\\normy_wszystkie.txt"));
    });
    ExpectBox(IDOK, "Stworzyłem nowy plik z ustawieniami.", [&] {
        EXPECT_EQ(Read("Katalog Norm\\normy_wszystkie.txt"), SampleCatalogueFile);
        EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), "");
        EXPECT_FALSE(Exists("Wykazy\\z_u.txt"));
    });
    Restart();
    EXPECT_TRUE(Application->Terminated());
    ASSERT_EQ(RecordedDialogs().size(), 5u);
    EXPECT_EQ(RecordedDialogs()[2].Text,
              "Program Velmarok Polskich Norm jest uruchamiany na tym komputerze po raz pierwszy !!!.\r\rStworzyłem "
              "domyślne ustawienia dotyczące użytkowników tzn. stworzyłem dla aktualnie zalagowanego użytkownika na "
              "tym komputerze (" +
                  Login +
                  ") konto o poziomie dostępu do opcji programu 4 (najwyższym). Zachęcam do zapoznania się z "
                  "ustawieniami programu dotyczącymi ograniczeń dostępu znajdującymi się na zakładce \"Uprawnienia\" "
                  "w menu \"Ustawienia\"");
    EXPECT_EQ(RecordedDialogs()[2].Flags, unsigned(MB_OK | MB_ICONINFORMATION | MB_TOPMOST));
    EXPECT_EQ(RecordedDialogs()[3].Flags, unsigned(MB_OKCANCEL | MB_ICONERROR | MB_TOPMOST));
    {
        TPlainCopy users(Path("Ustawienia\\users.dat"));
        TIniFile ini(users.FileName());
        TStringList names;
        ini.ReadSection("UsersName", &names);
        ASSERT_EQ(names.Count(), 1);
        EXPECT_EQ(names.Strings(0), Login);
        EXPECT_EQ(ini.ReadString("Level", Login, ""), "4");
        EXPECT_EQ(ini.ReadString("Options", "RunUserOut", ""), "0");
    }
    EXPECT_EQ(ReadScrambledFile(Path(own)), Tf_MainForm::DefaultUserSettingsText(Login) + "\r\n");
    EXPECT_EQ(PlainLines(own).size(), size_t(44 + 7 + 6));
    const std::vector<AnsiString> withSeal = Lines(Read("Wykazy\\z_u.txt"));
    ASSERT_EQ(withSeal.size(), 13u);
    EXPECT_EQ(withSeal[3], "PN-EN ISO 1207:1999|PN-EN ISO 1207:1999|WKRĘT  M4 x 12 – 5.8-B       Fe/Zn|WKRĘT "
                                   "SPECJALNY|00.0001|");
    EXPECT_NE(withSeal[3].find(" \x96 "), AnsiString::npos);   // the dash is one Windows-1250 character
    EXPECT_EQ(withSeal[9], "|BN-73/6616-14|PŁYTA GUMOWA  2-40-B-a-I  #2 x 1100 x Rulon|USZCZELKA|00.0004|");
    const std::vector<AnsiString> withoutSeal = Lines(Read("Wykazy\\bez_u.txt"));
    ASSERT_EQ(withoutSeal.size(), 12u);
    EXPECT_EQ(withoutSeal[11],
              "PN-EN 60684-1:2002|PN-EN  60684-1 : 2002|KOSZULKA SZKLANO-POLIURETANOWA  OsPu  FI 2.0|CEWKA|00.2000|");
    // The sample in the grid ends with the empty row every catalogue has.
    TProStringGrid* g = Form->sg_WszystkieNormy;
    ASSERT_EQ(g->RowCount(), 9);
    EXPECT_EQ(g->Cells(1, 7), "PN-EN ISO 1207:1999");
    EXPECT_EQ(g->Cells(2, 1), "<p align=\"center\"><font color=\"#800000\"><b>Wycofana bez zastąpienia</b></font></p>");
    EXPECT_EQ(g->Cells(2, 6), "<p align=\"center\"><font color=\"#0000FF\"><b>Norma zakładowa</b></font></p>");
    EXPECT_EQ(g->Cells(1, 8), "");
    EXPECT_TRUE(VerifyNoPendingDialogs());

    // Third start: the default tree into the empty menu file, and the end.
    ExpectBox(IDOK, "Znalazłem plik z ustawieniami ale jest on pusty");
    Restart();
    EXPECT_TRUE(Application->Terminated());
    {
        TIniFile menu(Path("Ustawienia\\kategorie.ini"));
        TStringList keys;
        menu.ReadSection("Kategorie", &keys);
        EXPECT_EQ(keys.CommaText(), "\"Wyrób 1\",\"Wyrób 2\",\"Wyrób 3\",\"Wyroby pozostałe\"");
        menu.ReadSection("Wyrób 1", &keys);
        EXPECT_EQ(keys.CommaText(), "\"Wykonanie A\",\"Wykonanie B\",\"Wykonanie specjalne\"");
        EXPECT_EQ(menu.ReadString("Wykonanie A", "Wykonanie z uszczelką", ""), "z_u.txt");
        EXPECT_EQ(menu.ReadString("Wykonanie A", "Wykonanie bez uszczelki", ""), "bez_u.txt");
    }
    EXPECT_TRUE(VerifyNoPendingDialogs());

    // Fourth start: the window comes into use with the catalogue shown.
    DeleteFile(Path("Wykazy\\z_u.txt"));
    Write("Wykazy\\bez_u.txt", "kept\r\n");
    Restart();
    EXPECT_EQ(RecordedDialogs().size(), 6u);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_FALSE(StartingUp);
    EXPECT_EQ(Application->Title(), "Velmarok Polskich Norm v. 1.0");
    EXPECT_EQ(Form->Strony->ActivePage(), "ListaWszystkichNorm");
    EXPECT_EQ(Form->sg_WszystkieNormy->RowCount(), 9);
    EXPECT_EQ(Form->sg_WszystkieNormy->Cells(1, 2), "PN-EN 10088-1:2007");
    // The menu of the default tree: "Normy", four categories, "Ustawienia", "O programie".
    ASSERT_NE(Form->MenuPanel("Wyrób 1"), nullptr);
    EXPECT_NE(Form->MenuPanel("Wyroby pozostałe"), nullptr);
    EXPECT_NE(Form->MenuPanel("O programie"), nullptr);
    EXPECT_EQ(CurrentUserLevel, 4);
    EXPECT_FALSE(UserOutsideList);
    EXPECT_EQ(Form->lb_UserName->Items()->Text(), Login + "\r\n");
    EXPECT_GT(NormListDate, 0);
    // A deleted sample register comes back; an existing one is never overwritten.
    EXPECT_EQ(Lines(Read("Wykazy\\z_u.txt")).size(), 13u);
    EXPECT_EQ(Read("Wykazy\\bez_u.txt"), "kept\r\n");
    EXPECT_EQ(Form->lbl_ZnajdzNormeWTrelKordelni->Caption(), "Wprowadź dane i kliknij na przycisk Znajdź");
}

TEST_F(StartUp, EverythingMadeOrReplacedInADepartmentFolderIsTheGroupsToWrite)
{
    TNetworkState offline(false);
    TSharedFolder shared(FDir);
    // The three first starts make the folders and files, the fourth comes into use.
    ExpectBox(IDNO, "TYLKO TEN JEDEN RAZ NA TYM KOMPUTERZE");
    ExpectBox(IDOK, "PROGRAM ZOSTANIE ZAMKNIĘTY, zostaną utworzone nowe pliki");
    Restart();
    ExpectBox(IDOK, "jest uruchamiany na tym komputerze po raz pierwszy !!!.");
    ExpectBox(IDOK, "Czy mam stworzyć przykładowy spis teraz ???");
    ExpectBox(IDOK, "Stworzyłem nowy plik z ustawieniami.");
    Restart();
    ExpectBox(IDOK, "Znalazłem plik z ustawieniami ale jest on pusty");
    Restart();
    Restart();
    ASSERT_FALSE(Application->Terminated());
    // The catalogue saved with its dated copy, a register saved, one imported into the menu,
    // the login's settings saved.
    ExpectBox(IDYES, "Zrobić kopię");
    ExpectBox(IDOK, "pomyślnie zaktualizowany");
    Form->SaveNormList(Form->sg_WszystkieNormy);
    ASSERT_TRUE(Form->OpenListFile(Path("Wykazy\\z_u.txt"), "Wykonanie z uszczelką"));
    ASSERT_TRUE(Form->SaveListFile());
    Write("bom.txt", "Blacha\tR-1\tS235\tPN-H-84020:1989\r\n");
    ExpectBox(IDNO, "Wykaz został pomyślnie zaimportowany");
    Form->ImportListFile(Path("bom.txt"), "Wykonanie C", "Wyrób 1", "Grupa X", true);
    Form->sb_ZastosujUstawieniaProgramuClick(nullptr);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_TRUE(Exists("Wykazy\\Wykonanie_C.txt"));

    // Every file and folder there is the group's to write.
    using TMode = std::pair<mode_t, gid_t>;
    int files = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(FDir)) {
        files += e.is_regular_file();
        EXPECT_EQ(TSharedFolder::ModeAndGroup(e.path().string()),
                  TMode(e.is_directory() ? 02775 : 0664, shared.Group))
            << e.path();
    }
    EXPECT_GE(files, 10);
    EXPECT_EQ(std::count_if(std::filesystem::directory_iterator(FDir + "/Katalog Norm"), {},
                            [](const auto& e) { return e.path().filename().string().rfind("normy_wszystkie", 0) == 0; }),
              2);
}

TEST_F(StartUp, AccessLevelOfTheLogin)
{
    struct Case {
        const char* What;
        AnsiString Users;     // plain users file
        AnsiString Options;   // configuration lines 5 to 8
        int Level;
        bool Outside;
        const char* Box;      // the box shown, "" none
        bool Ends;
    };
    const AnsiString me = Login;
    const AnsiString upper = AnsiUpperCase(Login);
    auto users = [](const AnsiString& Names, const AnsiString& Levels, int RunUserOut = 0) {
        return "[UsersName]\r\n" + Names + "[Level]\r\n" + Levels + "[Options]\r\nRunUserOut=" + IntToStr(RunUserOut) +
               "\r\n";
    };
    const AnsiString noHead = "\r\n1\r\n1\r\n0\r\n";
    const Case cases[] = {
        {"stored 7 gives 1", users(me + "=\r\n", me + "=7\r\n"), noHead, 1, false, "", false},
        {"stored -3 gives 0", users(me + "=\r\n", me + "=-3\r\n"), noHead, 0, false, "", false},
        {"listed without a level", users(me + "=\r\n", "anna=3\r\n"), noHead, 0, false, "", false},
        {"not listed", users("anna=\r\n", me + "=3\r\n"), noHead, 0, true, "", false},
        {"listed in other letter case", users(upper + "=\r\n", upper + "=3\r\n"), noHead, 3, false, "", false},
        {"head with unlimited rights", users(me + "=\r\n", me + "=1\r\n"), upper + "\r\n1\r\n1\r\n0\r\n", 4, false,
         "", false},
        {"head without unlimited rights", users(me + "=\r\n", me + "=1\r\n"), me + "\r\n1\r\n0\r\n0\r\n", 1, false,
         "", false},
        {"head outside the list", users("anna=\r\n", me + "=1\r\n"), me + "\r\n1\r\n1\r\n0\r\n", 4, true, "", false},
        {"outsiders may not run it", users("anna=\r\n", ""), "\r\n0\r\n1\r\n0\r\n", 0, true,
         "Użytkownik spoza listy nie może uruchomić programu", true},
        {"RunUserOut refuses an outsider", users("anna=\r\n", "", 1), noHead, 0, true,
         "Jesteś użytkownikiem spoza listy", true},
        {"RunUserOut lets a listed user in", users(me + "=\r\n", me + "=2\r\n", 1), noHead, 2, false, "", false},
        {"listed by a line without \"=\"", users("anna=\r\n" + me + "\r\n", me + "=2\r\n"), noHead, 2, false, "",
         false},
        {"users file saved with a byte-order mark", "\xEF\xBB\xBF" + users(me + "=\r\n", me + "=3\r\n"), noHead, 3,
         false, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        PrepareStart(4, c.Options);
        Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 1|Aktualna|Jest||T|O|\r\n");
        WriteUsers(c.Users);
        CurrentUserLevel = -1;
        if (*c.Box)
            ScriptDialogs().ExpectMessageBox(IDOK, c.Box);
        Restart();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(Application->Terminated(), c.Ends);
        if (!c.Ends) { EXPECT_EQ(CurrentUserLevel, c.Level); }
        EXPECT_EQ(UserOutsideList, c.Outside);
    }
}

TEST_F(StartUp, PerUserFileComesFromTheTemplateAndServesOnlyItsLogin)
{
    PrepareStart();
    Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 1|Aktualna|Jest||T|O|\r\n");
    const AnsiString own = "Ustawienia\\" + Login + ".dat";
    // A template of another owner with a state colour of its own.
    const AnsiString templ = "[UserName]\r\nUserName=szablon\r\n\r\n[StanNormColor]\r\nSN_Aktualna=123\r\n";
    WriteScrambledFile(Path("Ustawienia\\Default.dat"), templ);
    Restart();
    ASSERT_FALSE(Application->Terminated());
    const std::vector<AnsiString> made = PlainLines(own);
    EXPECT_NE(std::find(made.begin(), made.end(), "UserName=" + Login), made.end());
    EXPECT_NE(std::find(made.begin(), made.end(), "SN_Aktualna=123"), made.end());
    EXPECT_EQ(ReadScrambledFile(Path("Ustawienia\\Default.dat")), templ);
    EXPECT_EQ(Form->colbtn_NormaAktualna->ActiveColor(), 123);
    // Applied before the catalogue is loaded: its state cells take the colour.
    EXPECT_NE(Form->sg_WszystkieNormy->Cells(2, 1).find("#7B0000"), AnsiString::npos);

    // A file of another login is neither applied nor changed.
    WriteScrambledFile(Path(own), "[UserName]\r\nUserName=ktos\r\n\r\n[StanNormColor]\r\nSN_Aktualna=456\r\n");
    const AnsiString bytes = Read(own);
    Restart();
    EXPECT_EQ(Form->colbtn_NormaAktualna->ActiveColor(), 32768);
    EXPECT_EQ(Read(own), bytes);

    // Deleted, it is made again from the template for this login.
    DeleteFile(Path(own));
    Restart();
    EXPECT_EQ(Form->colbtn_NormaAktualna->ActiveColor(), 123);
    EXPECT_TRUE(VerifyNoPendingDialogs());
}

TEST_F(StartUp, AUsersFolderThatCannotBeMadeEndsWithAMessage)
{
    PrepareStart();
    // A file stands where the users folder should be.
    std::filesystem::remove_all(OsPath("Ustawienia"));
    Write("Ustawienia", "");
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można utworzyć pliku z danymi na temat uprawnień użytkowników");
    Restart();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(CurrentUserLevel, 0);
    EXPECT_FALSE(Exists("Katalog Norm\\normy_wszystkie.txt"));
}

TEST_F(StartUp, ADepartmentFolderWithoutWriteRightsIsReportedAndAnUnlistedLoginGetsLevelZero)
{
    const AnsiString exe = ProgramFolder;
    const std::string dept = FDir + "/dzial";
    ::setenv("VELMAROK_FOLDER", dept.c_str(), 1);
    struct Case {
        const char* What;
        bool Made;       // the folder exists (read-only)
        bool Prepared;   // set up by another login: configuration, users, catalogue, menu, registers
        std::vector<const char*> Boxes;
        bool Ends;
    };
    const std::vector<const char*> firstStart = {
        "Nie można zapisać wprowadzonych zmian - nie masz do tego odpowiednich uprawnień !!!",
        "Brakuje podstawowych plików niezbędnych do uruchomienia programu !!!.\r\rPROGRAM ZOSTANIE ZAMKNIĘTY"};
    const Case cases[] = {
        {"missing", false, false, firstStart, true},
        {"not writable", true, false, firstStart, true},
        {"used by another login", true, true, {}, false},
    };
    auto setModes = [&](bool ReadOnly) {
        if (!std::filesystem::exists(dept))
            return;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dept))
            ::chmod(e.path().c_str(), e.is_directory() ? (ReadOnly ? 0555 : 0755) : (ReadOnly ? 0444 : 0644));
        ::chmod(dept.c_str(), ReadOnly ? 0555 : 0755);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        setModes(false);
        std::filesystem::remove_all(dept);
        ProgramFolder = ChooseProgramFolder(exe);
        ASSERT_EQ(ProgramFolder, FromOsPath(dept) + "/");
        if (c.Made)
            ForceDirectories(ProgramFolder);
        MarkFirstRunDone();   // the first run on this computer is behind
        if (c.Prepared) {
            PrepareStart();
            WriteUsers("[UsersName]\r\nanna=\r\n[Level]\r\nanna=4\r\n" + Login + "=4\r\n[Options]\r\nRunUserOut=0\r\n");
            for (const char* name : {"Katalog Norm\\normy_wszystkie.txt", "Wykazy\\z_u.txt", "Wykazy\\bez_u.txt"})
                Write(name, "PN-EN 1|Aktualna|Jest||T|O|\r\n");
        }
        setModes(true);
        for (const char* box : c.Boxes)
            ScriptDialogs().ExpectMessageBox(IDOK, box);
        CurrentUserLevel = -1;
        {
            TNoPermissionOverride asAUser;
            Restart();
        }
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(Application->Terminated(), c.Ends);
        EXPECT_EQ(std::filesystem::exists(dept), c.Made);
        if (c.Prepared) {
            EXPECT_EQ(CurrentUserLevel, 0);
            EXPECT_TRUE(UserOutsideList);
            EXPECT_FALSE(Exists("Ustawienia\\" + Login + ".dat"));
        } else if (c.Made) {
            EXPECT_TRUE(std::filesystem::is_empty(dept));
        }
    }
    setModes(false);
    ::unsetenv("VELMAROK_FOLDER");
}

// The launcher goes to the desktop's folder as the user folders name it (~/Desktop without them),
// made when missing; where it cannot be made the user is told.
TEST_F(StartUp, FirstRunOffersTheLauncherOncePerPlaceOfTheProgram)
{
    TNetworkState offline(false);
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    const std::string oldConfig = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    // The desktop the user folders name ("" none), whether it is there, where the launcher goes ("" nowhere).
    const struct { const char* Desktop; bool Made; const char* Launcher; } cases[] = {
        {"", true, "Desktop"}, {"", false, "Desktop"}, {"$HOME/Pulpit", false, "Pulpit"}, {"$HOME/f/P", false, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Desktop) + (c.Made ? " made" : ""));
        PrepareStart();
        Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 1|Aktualna|Jest||T|O|\r\n");
        // The desktop of a home of the test's own.
        std::filesystem::remove_all(FDir + "/home");
        ForceDirectories(Path(c.Made ? "home/Desktop" : "home/.config"));
        Write("home\\f", "");
        if (*c.Desktop)
            Write("home\\.config\\user-dirs.dirs", AnsiString("XDG_DESKTOP_DIR=\"") + c.Desktop + "\"\n");
        setenv("HOME", (FDir + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (FDir + "/home/.config").c_str(), 1);
        // A program moved away from the place the registry names counts as a first run.
        {
            TRegistry reg;
            reg.SetRootKey(HKEY_CURRENT_USER);
            reg.OpenKey("Software\\Quorvane\\Tyrvenhold", true);
            reg.WriteString("Path", Path("stary\\velmarok"));
        }
        ClearRecordedDialogs();
        ScriptDialogs().ExpectMessageBox(IDYES, "Utworzyć skrót do programu na pulpicie teraz ???");
        if (!*c.Launcher)
            ScriptDialogs().ExpectMessageBox(IDOK, "Nie udało się utworzyć skrótu do programu na pulpicie !!!");
        Application->SetTitle("Velmarok Polskich Norm");
        Restart();
        const AnsiString launcher = FromOsPath(FDir) + "/home/" + c.Launcher + "/Velmarok Polskich Norm.desktop";
        EXPECT_EQ(FileExists(launcher), *c.Launcher != 0);
        EXPECT_EQ(RecordedDialogs().at(0).Caption, "WAŻNA INFORMACJA !!!");
        EXPECT_EQ(RecordedDialogs().at(0).Flags, unsigned(MB_YESNO | MB_ICONINFORMATION));
        EXPECT_EQ(Form->Strony->ActivePage(), "Informacja");
        EXPECT_FALSE(Application->Terminated());

        // The next start on the same place asks nothing.
        DeleteFile(launcher);
        Restart();
        EXPECT_FALSE(FileExists(launcher));
    }
    setenv("HOME", oldHome.c_str(), 1);
    if (oldConfig.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
}

TEST(EntryPoint, CreatesEveryDialogOnceInItsOrder)
{
    const int before = Application->ComponentCount();
    CreateProgramDialogs();
    std::vector<AnsiString> names;
    for (int i = before; i < Application->ComponentCount(); ++i)
        names.push_back(Application->Components(i)->Name());
    const std::vector<AnsiString> expected = {"f_SprawdzNorme",       "f_WstawKilkaLinii", "f_Szer_WysKomorek",
                                              "f_DodajNowaNorme",     "f_ListaUzywanychNorm", "f_PoprawnoscNorm",
                                              "f_Waiting",            "f_Wyroby"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(f_SprawdzNorme->Name(), "f_SprawdzNorme");
    EXPECT_EQ(f_Wyroby->Name(), "f_Wyroby");
    // Gone again, so that the other tests make their own.
    while (Application->ComponentCount() > before)
        delete Application->Components(Application->ComponentCount() - 1);
    f_SprawdzNorme = nullptr;
    f_WstawKilkaLinii = nullptr;
    f_Szer_WysKomorek = nullptr;
    f_DodajNowaNorme = nullptr;
    f_ListaUzywanychNorm = nullptr;
    f_PoprawnoscNorm = nullptr;
    f_Waiting = nullptr;
    f_Wyroby = nullptr;
}
