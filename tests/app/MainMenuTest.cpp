#include <gtest/gtest.h>

#include <sys/stat.h>

#include <tuple>
#include <vector>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ToolPanels.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "controls/KXCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/Bounds.h"

namespace {

// The main window with a menu file of its own; the level is set per test.
class MainMenu : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        NormListDate = 0;
    }
    void TearDown() override
    {
        ClearApplicationTerminated();
        TMainFormTest::TearDown();
    }
    void WriteMenu(const AnsiString& Text) { Write("Ustawienia\\kategorie.ini", Text); }
    // Builds the menu; the result of the build.
    bool Build()
    {
        bool basics = true;
        return Form->BuildMainMenu(basics);
    }
    std::vector<AnsiString> Tabs() const
    {
        std::vector<AnsiString> tabs;
        TToolPanels* p = Form->ProToolPanelTab->Panels();
        for (int i = 0; i < p->Count(); ++i)
            tabs.push_back(p->Items(i)->Panel()->Caption() + "/" + p->Items(i)->Panel()->Name());
        return tabs;
    }
    // "caption:command" of every item of a section, a "-" for a disabled one.
    static std::vector<AnsiString> Items(TProToolPanel* Panel, int Section)
    {
        std::vector<AnsiString> items;
        TSectionItems* s = Panel->Sections()->GetItem(Section)->SectionItems();
        for (int i = 0; i < s->Count(); ++i)
            items.push_back((s->GetItem(i)->Enabled() ? "" : "-") + s->GetItem(i)->Caption() + ":" +
                            s->GetItem(i)->Hint());
        return items;
    }
    static std::vector<AnsiString> Sections(TProToolPanel* Panel)
    {
        std::vector<AnsiString> sections;
        for (int i = 0; i < Panel->Sections()->Count(); ++i)
            sections.push_back(Panel->Sections()->GetItem(i)->Caption());
        return sections;
    }
    static int DisabledCount(TProToolPanel* Panel)
    {
        int n = 0;
        for (int i = 0; i < Panel->Sections()->Count(); ++i) {
            TSectionItems* s = Panel->Sections()->GetItem(i)->SectionItems();
            for (int j = 0; j < s->Count(); ++j)
                n += s->GetItem(j)->Enabled() ? 0 : 1;
        }
        return n;
    }
};

using V = std::vector<AnsiString>;

TEST_F(MainMenu, TwoCategoriesGiveTheirTabsBetweenTheFixedPanels)
{
    WriteMenu("[Kategorie]\r\nZawory=\r\nArmatura=\r\n");
    EXPECT_TRUE(Build());
    EXPECT_EQ(Tabs(), (V{"Normy/0x_Panel", "Armatura/1x_Panel", "Zawory/2x_Panel", "Ustawienia/3x_Panel",
                         "O programie/4x_Panel"}));
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(RecordedDialogs().empty());

    // No catalogue file: five sections on "Normy"; every fixed item carries its caption.
    TProToolPanel* normy = Form->MenuPanel("Normy");
    EXPECT_EQ(Sections(normy), (V{"Lista wyświetlanych norm", "Aktualizuj", "Wyszukaj", "Edycja", "Normy używane"}));
    EXPECT_EQ(Items(normy, 2), (V{"W katalogu norm:W katalogu norm", "Na stronie PKN:Na stronie PKN"}));
    EXPECT_TRUE(normy->ShowLock());
    EXPECT_EQ(normy->LockHint(), "Ustaw panel zawsze widoczny");
    EXPECT_EQ(normy->UnlockHint(), "Włącz autoukrywanie panelu");
    TProToolPanel* settings = Form->MenuPanel("Ustawienia");
    EXPECT_EQ(settings->OpenWidth(), 210);
    EXPECT_FALSE(settings->ShowLock());
    EXPECT_FALSE(settings->CanSize());
    EXPECT_EQ(Sections(settings), (V{"Ustawienia programu", "Organizuj", "Prawa dostępu"}));
    EXPECT_EQ(Sections(Form->MenuPanel("O programie")), (V{"O programie", "Aktualizacja"}));
    // An empty category: only its own two sections.
    TProToolPanel* zawory = Form->MenuPanel("Zawory");
    EXPECT_EQ(Sections(zawory), (V{"Organizuj", "Wykaz"}));
    EXPECT_EQ(Items(zawory, 0), (V{"Menu:Zawory|Menu"}));
    EXPECT_EQ(Items(zawory, 1), (V{"Importuj z pliku:Zawory|Importuj z pliku", "Zapisz jako ...:Zawory|Zapisz jako ..."}));
    EXPECT_EQ(zawory->OpenWidth(), 180);
}

TEST_F(MainMenu, CategoryHiddenByZeroKeepsThePositionsInTheNames)
{
    WriteMenu("[Kategorie]\r\nZawory=0\r\nArmatura=\r\nPompy=1\r\n");
    EXPECT_TRUE(Build());
    EXPECT_EQ(Tabs(), (V{"Normy/0x_Panel", "Armatura/1x_Panel", "Pompy/2x_Panel", "Ustawienia/4x_Panel",
                         "O programie/5x_Panel"}));
    EXPECT_EQ(Form->MenuPanel("Zawory"), nullptr);
}

TEST_F(MainMenu, CategoryNamedLikeAFixedPanelGetsItsContentAgain)
{
    WriteMenu("[Kategorie]\r\nUstawienia=\r\n");
    Build();
    EXPECT_EQ(Tabs(), (V{"Normy/0x_Panel", "Ustawienia/1x_Panel", "Ustawienia/2x_Panel", "O programie/3x_Panel"}));
    TToolPanels* p = Form->ProToolPanelTab->Panels();
    EXPECT_EQ(Sections(p->Items(1)->Panel()), Sections(p->Items(2)->Panel()));
    EXPECT_EQ(Sections(p->Items(1)->Panel()).front(), "Ustawienia programu");
}

TEST_F(MainMenu, GroupsSortedVariantsInFileOrderAndTheFirstItemKeepsARegister)
{
    WriteMenu("[Kategorie]\r\nZawory=\r\n"
              "[Zawory]\r\nzasuwy=\r\nKulowe=\r\nWykonanie A=x\r\n"
              "[zasuwy]\r\nDN 50=a.txt\r\nDN 25=b.txt\r\nDN 80=A.TXT\r\nBez wykazu=\r\nTeż bez=\r\n"
              "[Kulowe]\r\nMosiężne=c.txt\r\n");
    Build();
    TProToolPanel* p = Form->MenuPanel("Zawory");
    // Sorted without regard to case; a group with a value keeps it in its caption.
    EXPECT_EQ(Sections(p), (V{"Kulowe", "Wykonanie A=x", "zasuwy", "Organizuj", "Wykaz"}));
    EXPECT_EQ(Items(p, 0), (V{"Mosiężne:c.txt"}));
    EXPECT_TRUE(Items(p, 1).empty());
    EXPECT_EQ(Items(p, 2), (V{"DN 50:a.txt", "DN 25:b.txt", "DN 80:", "Bez wykazu:", "Też bez:"}));
    for (int i = 0; i < p->Sections()->Count(); ++i)
        EXPECT_TRUE(p->Sections()->GetItem(i)->Autosize());
    ASSERT_NE(UsedListFiles, nullptr);
    EXPECT_EQ(UsedListFiles->Text(), "c.txt\r\na.txt\r\nb.txt\r\n\r\n");
}

TEST_F(MainMenu, CatalogueFileAddsTheDateOfTheLastUpdate)
{
    Write("Katalog Norm\\normy_wszystkie.txt", "PN-1|Aktualna|Jest||T||\r\n");
    NormListDate = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
    WriteMenu("[Kategorie]\r\nZawory=0\r\n");
    Build();
    TProToolPanel* normy = Form->MenuPanel("Normy");
    ASSERT_EQ(normy->Sections()->Count(), 6);
    EXPECT_EQ(Sections(normy).back(), "Ostatnia aktualizacja");
    EXPECT_EQ(Items(normy, 5), (V{DateTimeToStr(NormListDate) + ":"}));
}

// Disabled items per panel at each level, as the rights table gives them.
TEST_F(MainMenu, ItemsEnabledByAccessLevel)
{
    struct Case {
        int Level;
        bool HeadOnly;
        int Normy, Ustawienia, Category, QuickPages;
    };
    const Case cases[] = {
        {0, false, 2 + 8 + 5, 7 + 2 + 2, 3, 5},
        {1, false, 8 + 5, 2 + 2, 3, 4},
        {2, false, 8 + 5, 2 + 2, 0, 4},
        {3, false, 0, 2 + 2, 0, 4},
        {4, false, 0, 0, 0, 0},
        {4, true, 0, 2, 0, 2},   // the login is not the head of department
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Level);
        Form = std::make_unique<Tf_MainForm>(nullptr);
        f_MainForm = Form.get();
        Form->cb_KierMozeZmieniac->SetChecked(c.HeadOnly);
        CurrentUserLevel = c.Level;
        WriteMenu("[Kategorie]\r\nZawory=\r\n[Zawory]\r\nKulowe=\r\n[Kulowe]\r\nDN 50=a.txt\r\n");
        Build();
        EXPECT_EQ(DisabledCount(Form->MenuPanel("Normy")), c.Normy);
        EXPECT_EQ(DisabledCount(Form->MenuPanel("Ustawienia")), c.Ustawienia);
        EXPECT_EQ(DisabledCount(Form->MenuPanel("Zawory")), c.Category);
        EXPECT_EQ(DisabledCount(Form->MenuPanel("O programie")), 0);
        int quick = 0;
        for (int i = 0; i < Form->pm_Zakladki->Items()->Count(); ++i)
            quick += Form->pm_Zakladki->Items()->Items(i)->Enabled() ? 0 : 1;
        EXPECT_EQ(quick, c.QuickPages);
    }
}

TEST_F(MainMenu, HeadOfDepartmentKeepsTheRightsItems)
{
    Form->cb_KierMozeZmieniac->SetChecked(true);
    Form->e_KierownikDzialu->SetText(AnsiUpperCase(GetWindowsUserName()));
    WriteMenu("[Kategorie]\r\nZawory=0\r\n");
    Build();
    EXPECT_EQ(DisabledCount(Form->MenuPanel("Ustawienia")), 0);
}

TEST_F(MainMenu, ClickRunsTheCommandOrSaysTheRightsAreMissing)
{
    CurrentUserLevel = 1;
    WriteMenu("[Kategorie]\r\nZawory=\r\n[Zawory]\r\nKulowe=\r\n[Kulowe]\r\nDN 50=a.txt\r\nDN 25=a.txt\r\n");
    Build();
    // An enabled fixed item shows its page.
    TProToolPanel* normy = Form->MenuPanel("Normy");
    TProToolPanel* settings = Form->MenuPanel("Ustawienia");
    normy->OnItemClick(normy, 0, 1);
    EXPECT_EQ(Form->Strony->ActivePage(), "NormyWgStanu");

    // A disabled one: the message and nothing else.
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie masz odpowiednich uprawnień !!!\r\rSkontaktuj się z administratorem "
                                           "(autorem) programu.");
    settings->OnItemClick(settings, 1, 1);
    EXPECT_EQ(Form->Strony->ActivePage(), "NormyWgStanu");
    ASSERT_FALSE(RecordedDialogs().empty());
    EXPECT_EQ(RecordedDialogs().back().Caption, "INFORMACJA !!!");
    EXPECT_EQ(RecordedDialogs().back().Flags, unsigned(MB_OK | MB_ICONWARNING));

    // The second variant of the same register runs without one.
    TProToolPanel* zawory = Form->MenuPanel("Zawory");
    ScriptDialogs().ExpectMessageBox(IDOK, "Wskazana pozycja nie ma przypisanego żadnego wykazu");
    zawory->OnItemClick(zawory, 0, 1);
    // Category items are disabled below level 2.
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie masz odpowiednich uprawnień");
    zawory->OnItemClick(zawory, 2, 0);
}

// A real click on an item of the slid-out panel, disabled or not.
TEST_F(MainMenu, ClickOnTheSlidOutPanel)
{
    CurrentUserLevel = 1;
    WriteMenu("[Kategorie]\r\nZawory=0\r\n");
    Build();
    Form->Show();
    TProToolPanelTab::SlideWait = [](TProToolPanelTab*, int) {};
    Form->ProToolPanelTab->OpenTab(Form->ProToolPanelTab->IndexOfPanel(Form->MenuPanel("Ustawienia")));
    TProToolPanel* p = Form->MenuPanel("Ustawienia");
    ASSERT_TRUE(p->Visible());
    auto clickItem = [p](int Section, int Item) {
        for (int y = 0; y < p->Height(); ++y) {
            int s = -1, i = -1;
            TRect r;
            if (p->ItemAtPos(40, y, s, i, r) && s == Section && i == Item) {
                MouseMove(p, 40, y);
                Click(p, 40, y);
                return true;
            }
        }
        return false;
    };
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie masz odpowiednich uprawnień !!!");
    ASSERT_TRUE(clickItem(1, 1));   // "Foldery"
    EXPECT_NE(Form->Strony->ActivePage(), "UstawieniaFolderow");
    ASSERT_TRUE(clickItem(0, 3));   // "Kolory określające stan norm"
    EXPECT_EQ(Form->Strony->ActivePage(), "UstawieniaProg");
    EXPECT_EQ(Form->str_UstawieniaProgramu->ActivePage(), "Kolory_Stanu_Norm");
}

TEST_F(MainMenu, MissingMenuFileIsCreatedEmptyAndTheProgramEnds)
{
    ScriptDialogs().ExpectMessageBox(IDOK, "Stworzyłem nowy plik z ustawieniami.\r\rProgram zostanie zamknięty i "
                                           "musi być uruchomiony ponownie.");
    EXPECT_TRUE(Build());   // start-up goes on with the sample registers
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(FileExists(Path("Ustawienia\\kategorie.ini")));
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), "");
    EXPECT_EQ(Form->ProToolPanelTab->Panels()->Count(), 0);
    EXPECT_EQ(RecordedDialogs().back().Flags, unsigned(MB_OK | MB_ICONINFORMATION | MB_TOPMOST));

    // With the basic files already missing start-up stops after both messages.
    ClearApplicationTerminated();
    DeleteFile(Path("Ustawienia\\kategorie.ini"));
    ScriptDialogs()
        .ExpectMessageBox(IDOK, "Brakuje podstawowych plików niezbędnych do uruchomienia programu!!!.\r\rProgram "
                                "zostanie zamknięty !!!");
    bool basics = false;
    EXPECT_FALSE(Form->BuildMainMenu(basics));
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainMenu, UnwritableMenuFolderEndsTheProgramWithBothMessages)
{
    ForceDirectories(Path("Ustawienia\\kategorie.ini"));
    // The menu file's name is taken by a folder: it cannot be saved. The message names the
    // program's folder, where its files are written.
    ScriptDialogs()
        .ExpectMessageBox(IDOK, "Próbowałem stworzyć nowy plik z ustaieniami ale zapis na dysku " +
                                    ExcludeTrailingPathDelimiter(ProgramFolder) +
                                    " nie jest możliwy !!!.\r\rProgram zostanie zamknięty !!!")
        .ExpectMessageBox(IDOK, "Brakuje podstawowych plików");
    EXPECT_FALSE(Build());
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainMenu, EmptyMenuFileGetsTheDefaultTree)
{
    WriteMenu("");
    ScriptDialogs().ExpectMessageBox(IDOK, "Znalazłem plik z ustawieniami ale jest on pusty, więc utworzyłem "
                                           "domyślne kategorie automatycznie.");
    EXPECT_FALSE(Build());
    EXPECT_TRUE(Application->Terminated());
    TIniFile ini(Path("Ustawienia\\kategorie.ini"));
    TStringList lines;
    ini.ReadSections(&lines);
    EXPECT_EQ(lines.Text(), "Kategorie\r\nWyrób 1\r\nWyrób 2\r\nWyrób 3\r\nWykonanie A\r\n");
    ini.ReadSectionValues("Kategorie", &lines);
    EXPECT_EQ(lines.Text(), "Wyrób 1=\r\nWyrób 2=\r\nWyrób 3=\r\nWyroby pozostałe=\r\n");
    ini.ReadSectionValues("Wykonanie A", &lines);
    EXPECT_EQ(lines.Text(), "Wykonanie z uszczelką=z_u.txt\r\nWykonanie bez uszczelki=bez_u.txt\r\n");

    // The next start builds it: the sample registers belong to their items.
    ClearApplicationTerminated();
    EXPECT_TRUE(Build());
    TProToolPanel* p = Form->MenuPanel("Wyrób 1");
    EXPECT_EQ(Sections(p), (V{"Wykonanie A", "Wykonanie B", "Wykonanie specjalne", "Organizuj", "Wykaz"}));
    EXPECT_EQ(Items(p, 0), (V{"Wykonanie z uszczelką:z_u.txt", "Wykonanie bez uszczelki:bez_u.txt"}));
}

TEST_F(MainMenu, ReadOnlyEmptyMenuFileIsReportedNotFilled)
{
    WriteMenu("");
    ::chmod(OsPath("Ustawienia\\kategorie.ini").c_str(), 0444);
    ScriptDialogs().ExpectMessageBox(IDOK, "Próbowałem stworzyć nowy plik z ustaieniami ale zapis na dysku ");
    EXPECT_FALSE(Build());
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Read("Ustawienia\\kategorie.ini"), "");
    ::chmod(OsPath("Ustawienia\\kategorie.ini").c_str(), 0644);
}

TEST_F(MainMenu, ManyCategoriesBuildTheMenuFillTheEditorAndCloseTheWindowInProportionToTheirNumber)
{
    // N categories, each with a group of one item.
    const auto writeMenu = [&](int N) {
        std::string ini = "[Kategorie]\r\n", sections;
        for (int i = 0; i < N; ++i) {
            const std::string n = std::to_string(i);
            ini += "Wyrób " + n + "=\r\n";
            sections += "[Wyrób " + n + "]\r\nWykonanie " + n + "=\r\n[Wykonanie " + n + "]\r\nPozycja " + n +
                        "=w" + n + ".txt\r\n";
        }
        WriteMenu(ini + sections);
    };
    // A new main window over the menu of N categories.
    const auto freshWindow = [&](int N) {
        Form = std::make_unique<Tf_MainForm>(nullptr);
        f_MainForm = Form.get();
        writeMenu(N);
    };
    const TScalingCase cases[] = {
        {"the main menu", 1000, freshWindow,
         [&](int N) {
             EXPECT_TRUE(Build());
             EXPECT_EQ(Form->ProToolPanelTab->Panels()->Count(), N + 3);
         }},
        {"the menu editor", 1000, writeMenu,
         [&](int N) {
             Form->LoadMenuSettings();
             EXPECT_EQ(Form->clb_MG_PrzyciskiMenuGlownego->Count(), N);
         }},
        {"closing the main window", 1000,
         [&](int N) {
             freshWindow(N);
             EXPECT_TRUE(Build());
         },
         [&](int) {
             Form.reset();
             f_MainForm = nullptr;
         }},
    };
    for (const TScalingCase& k : cases)
        ExpectProportional(k);
}

TEST_F(MainMenu, TheStripAsDesignedPutsTheArrowBackAtSlideOut)
{
    const TProToolPanelTab* t = Form->ProToolPanelTab;
    EXPECT_EQ(std::make_tuple(t->Style(), t->TabWidth(), t->Font()->Style(), t->Font()->Color(), t->TabColor(), t->TabHoverColor(), t->TabBorderColor()),
              std::make_tuple(esWindowsXP, 20, TFontStyles(fsBold), TColor(clWhite), TColor(clInactiveCaption), TColor(clHighlight), TColor(clBlack)));
    Screen->SetCursor(crHourGlass);
    Form->ProToolPanelTabTabSlideOut(Form->ProToolPanelTab, 0, nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

}  // namespace
