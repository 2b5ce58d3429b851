// Form placement and its links: what is saved and restored for each window
// state, positions kept on the screen, and the storage routines it writes with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/AppUtils.h"
#include "controls/KXCtrls.h"
#include "controls/Placement.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/common/TestFiles.h"

namespace {

struct FormPlacement : TFormTest {
    TTempDir Dir{"velmarok-fp"};
    std::string Ini = Dir / "forma.ini";
    TFormPlacement* Placement = nullptr;
    void SetUp() override
    {
        MakeForm(300, 200);
        Placement = new TFormPlacement(Form);
        Placement->SetIniFileName(Ini);
    }
    AnsiString Read(const AnsiString& Section, const AnsiString& Ident)
    {
        TIniFile f(Ini);
        return f.ReadString(Section, Ident, "(none)");
    }
};

}  // namespace

TEST_F(FormPlacement, SavedKeysAndValuesByWindowState)
{
    const AnsiString res = ResolutionSuffix();
    EXPECT_EQ(res, Format("(%dx%d)", {Screen->Width(), Screen->Height()}));
    EXPECT_EQ(Placement->Options(), TPlacementOptions(fpState | fpPosition));
    Form->SetBounds(40, 50, 320, 240);
    // Not restored yet: an active placement writes nothing.
    Placement->SavePlacement();
    EXPECT_FALSE(std::filesystem::exists(Ini));

    Form->Show();   // restores (nothing stored)
    Form->SetBounds(40, 50, 320, 240);
    struct Case { TWindowState State; const char* ShowCmd; };
    Case cases[] = {{wsNormal, "1"}, {wsMaximized, "3"}, {wsMinimized, "2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ShowCmd);
        Form->SetWindowState(c.State);
        Placement->SavePlacement();
        EXPECT_EQ(Read("TForm", "FormVersion"), "0");
        EXPECT_EQ(Read("TForm", "Flags"), "0");
        EXPECT_EQ(Read("TForm", "ShowCmd"), c.ShowCmd);
        EXPECT_EQ(Read("TForm", "PixelsPerInch"), IntToStr(Screen->PixelsPerInch()));
        EXPECT_EQ(Read("TForm", "NormPos"), "40,50,360,290");
        EXPECT_EQ(Read("TForm", "NormPos" + res), "40,50,360,290");
        EXPECT_NE(Read("TForm", "MinMaxPos"), "(none)");
        EXPECT_NE(Read("TForm", "MinMaxPos" + res), "(none)");
        EXPECT_EQ(Read("TForm", "Visible"), "0");
        Form->SetWindowState(wsNormal);
    }
    // A hidden form keeps its state; saved while destroyed, "Visible" is 1.
    Form->SetWindowState(wsMaximized);
    Form->Hide();
    Placement->SavePlacement();
    EXPECT_EQ(Read("TForm", "ShowCmd"), "3");
    Form->Show();   // restored maximised, not saved since
    EXPECT_EQ(Form->WindowState(), wsMaximized);
    Form->Hide();
    delete Form;   // saved in the form's own section
    Form = nullptr;
    EXPECT_EQ(Read("TForm", "Visible"), "1");
    EXPECT_EQ(Read("TCustomForm", "Visible"), "(none)");
}

TEST_F(FormPlacement, RestoredStateAndPosition)
{
    const AnsiString res = ResolutionSuffix();
    struct Case {
        const char* Name;
        std::string Stored;
        TWindowState Designed;
        TBorderStyle Border;
        TWindowState WantState;
        TRect WantBounds;
    } cases[] = {
        {"normal", "ShowCmd=1\r\nNormPos=20,30,220,180\r\n", wsMaximized, bsSizeable, wsNormal,
         TRect(20, 30, 220, 180)},
        {"restore command", "ShowCmd=9\r\n", wsMaximized, bsSizeable, wsNormal, TRect(10, 10, 310, 210)},
        {"maximised", "ShowCmd=3\r\n", wsNormal, bsSizeable, wsMaximized, TRect()},
        {"minimised", "ShowCmd=2\r\n", wsNormal, bsSizeable, wsMinimized, TRect()},
        {"minimised without activation", "ShowCmd=7\r\n", wsNormal, bsSizeable, wsMinimized, TRect()},
        {"no command gives normal", "NormPos=20,30,220,180\r\n", wsMaximized, bsSizeable, wsNormal,
         TRect(20, 30, 220, 180)},
        {"fixed border keeps the size", "ShowCmd=1\r\nNormPos=20,30,500,500\r\n", wsNormal, bsSingle, wsNormal,
         TRect(20, 30, 320, 230)},
        {"missing words keep the form's", "ShowCmd=1\r\nNormPos=25\r\n", wsNormal, bsSizeable, wsNormal,
         TRect(25, 10, 310, 210)},
        {"resolution key first", "ShowCmd=1\r\nNormPos=20,30,220,180\r\nNormPos" + std::string(res) +
         "=60,70,260,270\r\n", wsNormal, bsSizeable, wsNormal, TRect(60, 70, 260, 270)},
        {"other pixels per inch", "ShowCmd=1\r\nPixelsPerInch=120\r\nNormPos=20,30,220,180\r\n", wsNormal,
         bsSizeable, wsNormal, TRect(10, 10, 310, 210)},
        {"empty normal rectangle", "ShowCmd=1\r\nNormPos=20,30,20,180\r\n", wsNormal, bsSizeable, wsNormal,
         TRect(10, 10, 310, 210)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(Ini, "[TForm]\r\n" + c.Stored);
        Form->SetBorderStyle(c.Border);
        Form->SetWindowState(wsNormal);
        Form->SetBounds(10, 10, 300, 200);
        Form->SetWindowState(c.Designed);
        Placement->RestorePlacement();
        EXPECT_EQ(Form->WindowState(), c.WantState);
        if (c.WantState == wsNormal) { EXPECT_EQ(Form->BoundsRect(), c.WantBounds); }
    }
    // A centred form is not centred again once a position was applied.
    Form->SetWindowState(wsNormal);
    Form->SetPosition(poScreenCenter);
    WriteFileBytes(Ini, "[TForm]\r\nShowCmd=1\r\nNormPos=20,30,220,180\r\n");
    Placement->RestorePlacement();
    EXPECT_EQ(Form->Position(), poDesigned);
    // Without fpState only the position is read.
    Placement->SetOptions(fpPosition);
    WriteFileBytes(Ini, "[TForm]\r\nShowCmd=3\r\nNormPos=21,31,221,181\r\n");
    Placement->RestorePlacement();
    EXPECT_EQ(Form->WindowState(), wsNormal);
    EXPECT_EQ(Form->Left(), 21);
}

TEST_F(FormPlacement, PositionsSavedOffTheScreenComeBackOnIt)
{
    const TRect wa = Screen->WorkAreaRect();
    auto at = [](int l, int t, int r, int b) { return Format("%d,%d,%d,%d", {l, t, r, b}); };
    struct Case { const char* Name; AnsiString NormPos; TBorderStyle Border; TRect Want; } cases[] = {
        {"beyond the right and bottom", "3800,2800,4100,3000", bsSizeable,
         TRect(wa.Right - 300, wa.Bottom - 200, wa.Right, wa.Bottom)},
        {"before the left and top", "-900,-700,-600,-500", bsSizeable, TRect(wa.Left, wa.Top, wa.Left + 300, wa.Top + 200)},
        {"half over the right edge", at(wa.Right - 100, wa.Top + 40, wa.Right + 100, wa.Top + 140), bsSizeable,
         TRect(wa.Right - 200, wa.Top + 40, wa.Right, wa.Top + 140)},
        {"fixed border keeps its size", "3800,2800,3810,2810", bsSingle,
         TRect(wa.Right - 300, wa.Bottom - 200, wa.Right, wa.Bottom)},
        {"on the screen stays", at(wa.Left + 20, wa.Top + 30, wa.Left + 220, wa.Top + 180), bsSizeable,
         TRect(wa.Left + 20, wa.Top + 30, wa.Left + 220, wa.Top + 180)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(Ini, "[TForm]\r\nShowCmd=1\r\nNormPos=" + c.NormPos + "\r\n");
        Form->SetBorderStyle(c.Border);
        Form->SetBounds(10, 10, 300, 200);
        Placement->RestorePlacement();
        EXPECT_EQ(Form->BoundsRect(), c.Want);
    }

    // The main form saved minimised comes back normal, then the program's window is minimised.
    Form->SetBorderStyle(bsSizeable);
    Application->FormCreated(Form);
    ASSERT_EQ(Application->MainForm(), Form);
    struct State { const char* ShowCmd; TWindowState First, Then; } states[] = {
        {"2", wsNormal, wsMinimized}, {"7", wsNormal, wsMinimized}, {"3", wsMaximized, wsMaximized},
        {"1", wsNormal, wsNormal},
    };
    for (const State& s : states) {
        SCOPED_TRACE(s.ShowCmd);
        Form->SetWindowState(wsNormal);
        Form->SetBounds(10, 10, 300, 200);
        WriteFileBytes(Ini, "[TForm]\r\nShowCmd=" + std::string(s.ShowCmd) + "\r\nNormPos=20,30,220,180\r\n");
        Placement->RestorePlacement();
        EXPECT_EQ(Form->WindowState(), s.First);
        EXPECT_EQ(Form->RestoredBounds(), TRect(20, 30, 220, 180));
        Application->ProcessMessages();
        EXPECT_EQ(Form->WindowState(), s.Then);
    }
}

TEST_F(FormPlacement, MaximisedFormRoundTripsItsNormalBounds)
{
    Form->Show();
    Form->SetBounds(40, 50, 320, 240);
    SetWindowStateByUser(Form, wsMaximized);
    ASSERT_EQ(Form->WindowState(), wsMaximized);
    EXPECT_EQ(Form->RestoredBounds(), TRect(40, 50, 360, 290));
    Placement->SavePlacement();
    EXPECT_EQ(Read("TForm", "ShowCmd"), "3");
    EXPECT_EQ(Read("TForm", "Flags"), "0");
    EXPECT_EQ(Read("TForm", "NormPos"), "40,50,360,290");
    // Restored on showing, the sizeable form's maximised frame sits just off the screen.
    EXPECT_EQ(Read("TForm", "MinMaxPos"),
              Format("-1,-1,%d,%d", {-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME)}));
    delete Form;

    // A new form comes back maximised and is restored to the stored normal bounds.
    MakeForm(200, 150);
    Placement = new TFormPlacement(Form);
    Placement->SetIniFileName(Ini);
    Form->Show();
    EXPECT_EQ(Form->WindowState(), wsMaximized);
    EXPECT_EQ(Form->RestoredBounds(), TRect(40, 50, 360, 290));
    SetWindowStateByUser(Form, wsNormal);
    EXPECT_EQ(Form->BoundsRect(), TRect(40, 50, 360, 290));

    // "Flags" and the maximised position of "MinMaxPos" are read back and written again.
    WriteFileBytes(Ini, "[TForm]\r\nFlags=2\r\nShowCmd=2\r\nMinMaxPos=-1,-1,-4,-4\r\nNormPos=20,30,220,180\r\n");
    Placement->RestorePlacement();
    EXPECT_EQ(Form->WindowState(), wsMinimized);
    EXPECT_TRUE(Form->RestoresMaximized());
    EXPECT_EQ(Form->MaximizedPos(), TPoint(-4, -4));
    Placement->SavePlacement();
    EXPECT_EQ(Read("TForm", "Flags"), "2");
    EXPECT_EQ(Read("TForm", "MinMaxPos"), "-1,-1,-4,-4");
    EXPECT_EQ(Read("TForm", "NormPos"), "20,30,220,180");
}

TEST_F(FormPlacement, VersionLinksAndTheActiveControl)
{
    auto* first = Place<TEdit>(10, 10, 100, 21);
    first->SetName("edFirst");
    auto* second = Place<TEdit>(10, 40, 100, 21);
    second->SetName("edSecond");
    Placement->SetOptions(fpState | fpPosition | fpActiveControl);
    Placement->SetVersion(2);
    std::vector<std::string> log;
    TIniLink link;
    link.OnSave = [&](TObject*) { log.push_back("link save"); };
    link.OnLoad = [&](TObject*) { log.push_back("link load"); };
    EXPECT_EQ(link.RootSection(), "");
    link.SetStorage(Placement);
    EXPECT_EQ(link.RootSection(), "TForm\\");
    Placement->SetIniSection("Okno");
    EXPECT_EQ(link.RootSection(), "Okno\\");
    Placement->OnSavePlacement = [&](TObject*) { log.push_back("saved"); };
    Placement->OnRestorePlacement = [&](TObject*) { log.push_back("restored"); };

    // An older stored version restores nothing; saving afterwards writes the new one.
    WriteFileBytes(Ini, "[Okno]\r\nFormVersion=1\r\nShowCmd=1\r\nNormPos=20,30,220,180\r\nActiveControl=edSecond\r\n");
    Form->Show();
    EXPECT_EQ(Form->Left(), 10);
    EXPECT_TRUE(log.empty());
    first->SetFocus();
    Form->SetActiveControl(first);
    Placement->SavePlacement();
    EXPECT_EQ(log, (std::vector<std::string>{"link save", "saved"}));
    EXPECT_EQ(Read("Okno", "FormVersion"), "2");
    EXPECT_EQ(Read("Okno", "ActiveControl"), "edFirst");

    log.clear();
    {
        TIniFile f(Ini);
        f.WriteString("Okno", "ActiveControl", "edSecond");
        f.WriteString("Okno", "NormPos", "20,30,220,180");
        f.WriteString("Okno", "NormPos" + ResolutionSuffix(), "20,30,220,180");
    }
    Placement->RestorePlacement();
    EXPECT_EQ(log, (std::vector<std::string>{"link load", "restored"}));
    EXPECT_EQ(Form->Left(), 20);
    EXPECT_EQ(Form->ActiveControl(), second);

    // Closing saves; the links go with their storage.
    log.clear();
    CloseWindowByUser(Form);
    EXPECT_EQ(log, (std::vector<std::string>{"link save", "saved"}));
    link.SetStorage(nullptr);
    EXPECT_EQ(link.IniObject(), nullptr);
}

TEST_F(FormPlacement, QuotedValuesRoundTripThroughAnIniFile)
{
    const AnsiString values[] = {"\"cytat\"", "'apostrof'", "\"", "\"a'", "zwykły", "", "\"\""};
    {
        TIniFile f(Ini);
        for (std::size_t i = 0; i < std::size(values); ++i)
            IniWriteString(&f, "S", "K" + IntToStr(int(i)), values[i]);
    }
    TIniFile f(Ini);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(IniReadString(&f, "S", "K" + IntToStr(int(i)), "(none)"), values[i]) << values[i];
    EXPECT_NE(ReadFileBytes(Ini).find("K0=\"\"cytat\"\""), std::string::npos);
    // Other objects are left alone.
    TStringList notAStore;
    IniWriteString(&notAStore, "S", "K", "v");
    EXPECT_EQ(IniReadInteger(&notAStore, "S", "K", 7), 7);
}

TEST_F(FormPlacement, DefaultSectionNames)
{
    auto* panel = Place<TPanel>(0, 0, 100, 100);
    panel->SetName("pnlGora");
    auto* edit = new TEdit(Form);
    edit->SetName("edNazwa");
    edit->SetParent(panel);
    Placement->SetName("fpOkno");
    TPanel orphanParent(nullptr);
    orphanParent.SetName("pnlLuzny");
    TEdit orphan(nullptr);
    orphan.SetName("edLuzny");
    orphan.SetParent(&orphanParent);
    EXPECT_EQ(GetDefaultSection(nullptr), "");
    EXPECT_EQ(GetDefaultSection(Form), "TForm");
    EXPECT_EQ(GetDefaultSection(edit), "TFormedNazwa");
    EXPECT_EQ(GetDefaultSection(Placement), "TForm.fpOkno");
    EXPECT_EQ(GetDefaultSection(&orphan), "pnlLuznyedLuzny");
    orphan.SetParent(nullptr);
    EXPECT_EQ(Placement->IniSection(), "TForm");
}
