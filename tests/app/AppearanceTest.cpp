#include <gtest/gtest.h>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ColorPicker.h"
#include "controls/NetGradient.h"
#include "controls/ToolPanels.h"
#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"

namespace {

class Appearance : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        Login = GetWindowsUserName();
    }
    // The settings of Text applied as start-up applies a file of the login.
    void Apply(const AnsiString& Text)
    {
        Write("Ustawienia\\plain.ini", Text);
        TMemIniFile ini(Path("Ustawienia\\plain.ini"));
        Form->ApplyUserSettings(&ini);
    }
    // The menu with one category panel.
    void BuildMenu()
    {
        Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nZawory=\r\n");
        bool basics = true;
        Form->BuildMainMenu(basics);
    }
    AnsiString Login;
};

TEST_F(Appearance, NewFileHoldsEveryKeyWithItsDefaultInOrder)
{
    const AnsiString text = Tf_MainForm::DefaultUserSettingsText("jan");
    TStringList lines;
    lines.SetText(text);
    ASSERT_EQ(lines.Count(), 57);   // 44 keys, 7 section lines, 6 empty lines
    const std::pair<int, const char*> some[] = {{0, "[UserName]"}, {1, "UserName=jan"}, {2, ""}, {3, "[TabMenuColor]"},
                                                {4, "TabStyl=0"}, {5, "TabBackground=-2147483633"}, {13, ""},
                                                {14, "[Header]"}};
    for (const auto& [i, line] : some)
        EXPECT_EQ(lines.Strings(i), line) << i;
    EXPECT_EQ(lines.IndexOf("SN_WycofanaBezZastapienia=128"), 24);
    EXPECT_EQ(lines.IndexOf("[Sections]"), 37);
    EXPECT_EQ(lines.IndexOf("PN_ActiveRowShow=0"), 51);
    EXPECT_EQ(lines.Strings(56), "PN_KolCellNrNormy=16773862");
    // Nothing after the last key.
    EXPECT_EQ(text.substr(text.size() - 8), "16773862");

    // The page as designed writes the same text.
    EXPECT_EQ(Form->UserSettingsText("jan"), text);
}

TEST_F(Appearance, MissingKeysTakeTheirFallbacksAndTheStripGetsTheCustomStyle)
{
    Apply("[UserName]\r\nUserName=" + Login + "\r\n[TabMenuColor]\r\nTabStyl=4\r\nTabBackground=255\r\n"
          "[ToolPanel]\r\nPanelStyl=3\r\n[Wyglad_PN]\r\nPN_Styl=1\r\n");
    EXPECT_EQ(Form->colbtn_NormaWycofanaBezZast->ActiveColor(), 16711935);
    EXPECT_EQ(Form->ColorBtn_SectionColor->ActiveColor(), -16777201);
    EXPECT_EQ(Form->ColorBtn_SectionBorder->ActiveColor(), 16777215);
    EXPECT_EQ(Form->ColorBtn_PN_GridLineColor->ActiveColor(), 8421504);
    // The stored styles have no effect; the stored colours decide.
    EXPECT_EQ(Form->cb_StylKolorowania->ItemIndex(), 0);
    EXPECT_EQ(Form->cb_StylKoorowaniaPaneli->ItemIndex(), 0);
    EXPECT_EQ(Form->cb_StylSekcji->ItemIndex(), 0);
    TProToolPanelTab* t = Form->ProToolPanelTab;
    EXPECT_EQ(t->Style(), esCustom);
    EXPECT_EQ(t->Color(), 255);
    EXPECT_EQ(t->TabColor(), -16777213);
    EXPECT_EQ(t->TabHoverColor(), -16777203);
    EXPECT_EQ(t->Font()->Color(), 16777215);
    EXPECT_EQ(Form->colbtn_MG_Background->AutomaticColor(), 255);
    EXPECT_EQ(Form->colbtn_MG_Background->TargetColor(), 255);
    EXPECT_EQ(Form->colbtn_MG_Background->OtherBtnCaption(), "&Pozostałe ...");   // every button's popup
    // The grids: "Nowoczesny" with the fallback grid line colour, on all four.
    for (TProStringGrid* g : {Form->sg_WszystkieNormy, Form->sg_PN_Podglad, Form->sg_NormyWgStanu,
                              Form->sg_ZnajdzNormeWTrelKordelin}) {
        EXPECT_EQ(g->Look(), glListView);
        EXPECT_EQ(g->GridLineColor(), 8421504);
        EXPECT_EQ(g->SelectionColorTo(), clNone);
    }
    EXPECT_FALSE(Form->sb_ZastosujUstawieniaProgramu->Enabled());
    EXPECT_FALSE(Form->sb_PN_ZastosujDlaWszystkich->Enabled());

    // The panels built afterwards take the page's colours.
    BuildMenu();
    TProToolPanel* p = Form->MenuPanel("Zawory");
    EXPECT_EQ(p->Color(), -16777201);
    EXPECT_EQ(p->NoFocusCaptionColor(), -16777213);
    EXPECT_EQ(p->SectionLayout()->CaptionColorTo(), -16777194);
    EXPECT_EQ(p->Style(), esCustom);
}

// The buttons of text colours show the letter, the other 27 the paint bucket.
TEST_F(Appearance, TextColourButtonsShowTheLetterAndTheOthersTheBucket)
{
    int background = 0, foreground = 0;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TColorBtn*>(Form->Components(i)))
            ++(b->GlyphType() == gtBackground ? background : foreground);
    EXPECT_EQ(background, 27);
    EXPECT_EQ(foreground, 12);
    for (TColorBtn* b : {Form->colbtn_MB_FontColor, Form->cbbtn_Nag_Font, Form->colbtn_NormaZakladowa,
                         Form->ColorBtn_ToolPanel_NoFocusFontColor, Form->ColorBtn_SectionItemHoverFontColor})
        EXPECT_EQ(b->GlyphType(), gtForeground) << b->Name();
}

TEST_F(Appearance, StoredActiveRowEnablesTheSaveButton)
{
    Apply("[UserName]\r\nUserName=" + Login + "\r\n[Wyglad_PN]\r\nPN_ActiveRowShow=1\r\nPN_ActiveRowColor=255\r\n");
    EXPECT_TRUE(Form->cb_PN_ShowActiveRow->Checked());
    EXPECT_TRUE(Form->Label105->Enabled());
    EXPECT_TRUE(Form->ColorBtn_PN_ActiveRowColor->Enabled());
    EXPECT_TRUE(Form->sg_WszystkieNormy->ActiveRowShow());
    EXPECT_EQ(Form->sg_NormyWgStanu->ActiveRowColor(), 255);
    EXPECT_TRUE(Form->sb_ZastosujUstawieniaProgramu->Enabled());
}

TEST_F(Appearance, SaveWritesTheScrambledFileAndRestoreDeletesIt)
{
    Apply(Tf_MainForm::DefaultUserSettingsText(Login));
    Form->ColorBtn_PN_KolCellNrNormy->SetActiveColor(255);
    Form->ColorBtn_PN_KolCellNrNormy->OnClick(Form->ColorBtn_PN_KolCellNrNormy);
    ASSERT_TRUE(Form->sb_ZastosujUstawieniaProgramu->Enabled());
    Form->sb_ZastosujUstawieniaProgramu->Click();

    const AnsiString file = Path("Ustawienia\\" + Login + ".dat");
    ASSERT_TRUE(FileExists(file));
    AnsiString expected = Tf_MainForm::DefaultUserSettingsText(Login);
    expected.replace(expected.find("PN_KolCellNrNormy=16773862"), 26, "PN_KolCellNrNormy=255");
    // Read back as lines, each ending with a line break.
    EXPECT_EQ(ReadScrambledFile(file), expected + "\r\n");
    // No plain copy is left beside it.
    EXPECT_FALSE(FileExists(Path("Ustawienia\\" + Login + ".ini")));
    EXPECT_FALSE(Form->sb_ZastosujUstawieniaProgramu->Enabled());
    EXPECT_FALSE(Form->sb_PN_ZastosujDlaWszystkich->Enabled());
    EXPECT_TRUE(Form->SpeedButton3->Enabled());

    ScriptDialogs().ExpectMessageBox(IDOK, "Domyślne ustawienia zostaną przywrócone po ponownym uruchomieniu "
                                           "programu.");
    Form->SpeedButton3->Click();
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(Form->SpeedButton3->Enabled());
    // No file to delete.
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie masz odpowiednich uprawnień do tego lub odczyt i zapis danych");
    Form->SpeedButton3Click(Form->SpeedButton3);
    EXPECT_EQ(RecordedDialogs().back().Caption, "BŁĄD !!!");
}

// A login named as a file that the users folder keeps for all has its settings beside it: its
// save and its restore of the defaults leave the users list and the template as they were.
TEST_F(Appearance, ALoginNamedAsAFileOfAllKeepsItsSettingsInAFileOfItsOwn)
{
    const struct {
        const char *Login, *Own;
    } cases[] = {{"users", "users.user.dat"}, {"USERS", "USERS.user.dat"},
                 {"Default", "Default.user.dat"}, {"default", "default.user.dat"}};
    Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 1|Aktualna|Jest||T|O|\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Login);
        std::filesystem::remove_all(OsPath("Ustawienia"));
        SetTestLoginName(c.Login);
        PrepareStart(1);
        WriteScrambledFile(Path("Ustawienia\\Default.dat"), Tf_MainForm::DefaultUserSettingsText("wzór"));
        const AnsiString users = Read("Ustawienia\\users.dat"), common = Read("Ustawienia\\Default.dat");
        Restart();
        ASSERT_EQ(CurrentUserLevel, 1);
        const AnsiString own = Path("Ustawienia\\" + AnsiString(c.Own));
        EXPECT_NE(ReadScrambledFile(own).find("UserName=" + AnsiString(c.Login)), AnsiString::npos);
        Form->colbtn_NormaAktualnaClick(nullptr);
        Form->sb_ZastosujUstawieniaProgramu->Click();
        ScriptDialogs().ExpectMessageBox(IDOK, "Domyślne ustawienia zostaną przywrócone");
        Form->SpeedButton3->Click();
        EXPECT_FALSE(FileExists(own));
        EXPECT_EQ(Read("Ustawienia\\users.dat"), users);
        EXPECT_EQ(Read("Ustawienia\\Default.dat"), common);
        Restart();
        EXPECT_EQ(CurrentUserLevel, 1);
    }
}

TEST_F(Appearance, FailedSaveIsReportedAndTheButtonsAreSetAsAfterASave)
{
    // A folder holds the settings file's name: the file cannot replace it.
    Write("Ustawienia\\" + Login + ".dat\\keep.txt", "old");
    Form->colbtn_NormaAktualnaClick(nullptr);
    ScriptDialogs().ExpectMessageBox(IDOK, "Nie można zapisać ustawień !!!\rNie masz do tego odpowiednich uprawnień");
    Form->sb_ZastosujUstawieniaProgramu->Click();
    EXPECT_EQ(Read("Ustawienia\\" + Login + ".dat\\keep.txt"), "old");
    EXPECT_FALSE(Form->sb_ZastosujUstawieniaProgramu->Enabled());
    EXPECT_TRUE(Form->SpeedButton3->Enabled());
}

TEST_F(Appearance, StylesAndColoursApplyLive)
{
    BuildMenu();
    TProToolPanel* p = Form->MenuPanel("Zawory");

    // A tab strip style: its colours come back into the buttons; the panels keep the page's colours.
    Form->cb_StylKolorowania->SetItemIndex(Form->cb_StylKolorowania->Items()->IndexOf("Luna"));
    EXPECT_EQ(Form->cb_StylKolorowania->ItemIndex(), 1);
    Form->ColorBtn_ToolPanel_Color->SetActiveColor(0x123456);
    Form->cb_StylKolorowaniaChange(nullptr);
    TProToolPanelTab* t = Form->ProToolPanelTab;
    EXPECT_EQ(t->Style(), esOffice2007Luna);
    EXPECT_EQ(Form->colbtn_MG_Btn->ActiveColor(), t->TabColor());
    EXPECT_EQ(Form->colbtn_MG_Btn->AutomaticColor(), t->TabColor());
    EXPECT_EQ(Form->colbtn_MG_HoverTo->TargetColor(), t->TabHoverColorTo());
    EXPECT_EQ(p->Color(), 0x123456);
    EXPECT_EQ(Form->cb_StylKoorowaniaPaneli->ItemIndex(), 0);
    EXPECT_TRUE(Form->sb_ZastosujUstawieniaProgramu->Enabled());

    // A tab strip colour: the style list goes back to "(Własny)".
    Form->colbtn_MG_Hover->SetActiveColor(0x00FF00);
    Form->colbtn_MG_BackgroundClick(nullptr);
    EXPECT_EQ(t->TabHoverColor(), 0x00FF00);
    EXPECT_EQ(Form->cb_StylKolorowania->ItemIndex(), 0);

    // A panel style: the first panel's colours come back into the panel buttons.
    Form->cb_StylKoorowaniaPaneli->SetItemIndex(4);   // "Obsidian"
    Form->cb_StylKoorowaniaPaneliChange(nullptr);
    EXPECT_EQ(p->Style(), esOffice2007Obsidian);
    EXPECT_EQ(Form->ColorBtn_ToolPanel_NoFocusColor->ActiveColor(), Form->MenuPanel("Normy")->NoFocusCaptionColor());

    // "(Własny)" in the section styles loads the "WinXP" preset.
    Form->cb_StylSekcji->SetItemIndex(2);
    Form->cb_StylSekcjiChange(nullptr);
    EXPECT_EQ(p->SectionLayout()->CaptionColorTo(), 14060643);
    EXPECT_EQ(p->SectionLayout()->CaptionFontColor(), 8661248);
    Form->cb_StylSekcji->SetItemIndex(0);
    Form->cb_StylSekcjiChange(nullptr);
    const TColor winXP[8] = {-16777201, -16777201, 16777215, 16777215, -16777194, 0, 0, 0};
    EXPECT_EQ(Form->ColorBtn_SectionColor->ActiveColor(), winXP[0]);
    EXPECT_EQ(Form->ColorBtn_SectionCaptionColorTo->AutomaticColor(), winXP[4]);
    EXPECT_EQ(p->SectionLayout()->CaptionColorTo(), winXP[4]);
    EXPECT_EQ(p->SectionLayout()->ItemFontColor(), 0);
    Form->ColorBtn_SectionItemFontColor->SetActiveColor(255);
    Form->cb_StylSekcji->SetItemIndex(3);
    Form->ColorBtn_SectionColorClick(nullptr);
    EXPECT_EQ(p->SectionLayout()->ItemFontColor(), 255);
    EXPECT_EQ(Form->cb_StylSekcji->ItemIndex(), 0);

    // Headings: every gradient bar of the window.
    Form->cbbtn_Nag_Pocz->SetActiveColor(0x0000FF);
    Form->cbbtn_Nag_Font->SetActiveColor(0xFFFFFF);
    Form->cbbtn_Nag_PoczClick(nullptr);
    EXPECT_EQ(Form->ng_NormyWgStanu->BeginColor(), 0x0000FF);
    EXPECT_EQ(Form->ng_NowyEdytujWykaz->Font()->Color(), 0xFFFFFF);
    EXPECT_EQ(Form->p_Nawigacja->Color(), Form->cbbtn_Nag_Kon->ActiveColor());
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* bar = dynamic_cast<TNetGradient*>(Form->Components(i))) {
            EXPECT_EQ(bar->Height(), 25) << bar->Name();
        }
}

TEST_F(Appearance, PreviewGridChangesApplyToAllGridsOnRequest)
{
    Form->cb_Styl_NormyWszystkie->SetItemIndex(0);   // "Klasyczny"
    Form->ColorBtn_PN_SelectionColor->SetActiveColor(0x00FFFF);
    Form->cb_Styl_NormyWszystkieChange(nullptr);
    EXPECT_EQ(Form->sg_PN_Podglad->Look(), glClassic);
    EXPECT_EQ(Form->sg_PN_Podglad->SelectionColor(), 0x00FFFF);
    EXPECT_NE(Form->sg_WszystkieNormy->Look(), glClassic);
    EXPECT_TRUE(Form->sb_PN_ZastosujDlaWszystkich->Enabled());

    Form->cb_PN_ShowActiveRow->SetChecked(true);
    EXPECT_TRUE(Form->sg_PN_Podglad->ActiveRowShow());
    EXPECT_TRUE(Form->ColorBtn_PN_ActiveRowColor->Enabled());
    Form->cb_PN_ShowActiveRow->SetChecked(false);
    EXPECT_FALSE(Form->Label105->Enabled());

    Form->sb_PN_ZastosujDlaWszystkich->Click();
    for (TProStringGrid* g : {Form->sg_WszystkieNormy, Form->sg_NormyWgStanu, Form->sg_ZnajdzNormeWTrelKordelin}) {
        EXPECT_EQ(g->Look(), glClassic);
        EXPECT_EQ(g->SelectionColor(), 0x00FFFF);
    }
    EXPECT_NE(Form->sg_NowyEdytujWykaz->Look(), glClassic);
    EXPECT_FALSE(Form->sb_PN_ZastosujDlaWszystkich->Enabled());
    EXPECT_TRUE(Form->sb_ZastosujUstawieniaProgramu->Enabled());
}

TEST_F(Appearance, TopicListShowsEachSettingsPage)
{
    const char* const topics[][2] = {{"Kolory i styl przycisków menu głównego", "Kolory_Menu_Przyciskow_Glownego"},
                                     {"Kolory sekcji na panelach", "Kolory_Sekcji"},
                                     {"Styl wyświetlania spisu norm", "Spis_Norm"}};
    for (auto& t : topics) {
        Form->RunMenuCommand(t[0], t[0]);
        EXPECT_EQ(Form->Strony->ActivePage(), "UstawieniaProg");
        EXPECT_EQ(Form->str_UstawieniaProgramu->ActivePage(), t[1]);
    }
}

}  // namespace
