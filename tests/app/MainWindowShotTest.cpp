#include <gtest/gtest.h>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/ToolPanels.h"
#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/DialogTest.h"
#include "tests/app/MainFormFixture.h"
#include "tests/app/SampleCatalogue.h"

namespace {

const AnsiString DefaultMenu = "[Kategorie]\r\nWyrób 1=\r\nWyrób 2=\r\nWyrób 3=\r\nWyroby pozostałe=\r\n"
                               "[Wyrób 1]\r\nWykonanie A=\r\nWykonanie B=\r\nWykonanie specjalne=\r\n"
                               "[Wyrób 2]\r\nWykonanie 1=\r\nWykonanie 2=\r\n[Wyrób 3]\r\nWykonanie dla OS=\r\n"
                               "[Wykonanie A]\r\nWykonanie z uszczelką=z_u.txt\r\nWykonanie bez uszczelki=bez_u.txt\r\n";

class MainWindowShot : public TMainFormTest {
protected:
    void TearDown() override
    {
        TProToolPanelTab::SlideWait = [](TProToolPanelTab*, int) {};
        TMainFormTest::TearDown();
    }
};

// The main window as a normal start leaves it: the catalogue shown, the
// user's appearance applied and the menu built.
TEST_F(MainWindowShot, NormalStart)
{
    PrepareStart();
    Write("Katalog Norm\\normy_wszystkie.txt", SampleCatalogueFile);
    Write("Ustawienia\\kategorie.ini", DefaultMenu);
    Form->DoCreate();
    ASSERT_FALSE(Application->Terminated());
    EXPECT_EQ(CurrentUserLevel, 4);
    Form->Show();
    Application->ProcessMessages();

    EXPECT_EQ(Form->Strony->ActivePage(), "ListaWszystkichNorm");
    EXPECT_EQ(Form->sg_WszystkieNormy->RowCount(), 9);
    ASSERT_EQ(Form->ProToolPanelTab->Panels()->Count(), 7);
    // The strip at the left edge, the catalogue beside it.
    EXPECT_EQ(Form->ProToolPanelTab->Left(), 0);
    EXPECT_GE(Form->sg_WszystkieNormy->ClientToScreen(TPoint(0, 0)).X,
              Form->ProToolPanelTab->ClientToScreen(TPoint(0, 0)).X + Form->ProToolPanelTab->Width());
    SaveScreenshot(Form.get(), "main-window.png");

    // The "Normy" panel slid out over the catalogue.
    TProToolPanelTab::SlideWait = [](TProToolPanelTab*, int) {};
    Form->ProToolPanelTab->OpenTab(0);
    Application->ProcessMessages();
    EXPECT_TRUE(Form->MenuPanel("Normy")->Visible());
    SaveScreenshot(Form.get(), "main-window-menu.png");

    // The settings panel and a category panel.
    struct TShot {
        const char* Panel;   // or the command that shows the page
        const char* File;
    };
    const char* open = "Normy";
    for (const TShot& s : {TShot{"Ustawienia", "main-window-settings.png"}, TShot{"Wyrób 1", "main-window-category.png"}}) {
        Form->ProToolPanelTab->SlidePanelIn(Form->MenuPanel(open));
        Form->ProToolPanelTab->OpenTab(Form->ProToolPanelTab->IndexOfPanel(Form->MenuPanel(s.Panel)));
        Application->ProcessMessages();
        EXPECT_TRUE(Form->MenuPanel(s.Panel)->Visible());
        SaveScreenshot(Form.get(), s.File);
        open = s.Panel;
    }

    // The appearance page, each of its topics.
    Form->ProToolPanelTab->SlidePanelIn(Form->MenuPanel(open));
    for (const TShot& s : {TShot{"Kolory i styl przycisków menu głównego", "appearance-tabs.png"},
                           TShot{"Kolory i styl wysuwanych paneli", "appearance-panels.png"},
                           TShot{"Kolory nagłówków", "appearance-headers.png"},
                           TShot{"Kolory określające stan norm", "appearance-states.png"},
                           TShot{"Kolory sekcji na panelach", "appearance-sections.png"},
                           TShot{"Styl wyświetlania spisu norm", "appearance-grids.png"}}) {
        Form->RunMenuCommand(s.Panel, s.Panel);
        Application->ProcessMessages();
        SaveScreenshot(Form.get(), s.File);
    }
}

}  // namespace
