#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/common/Screenshots.h"
#include "tests/platform/gui/Pixels.h"

namespace {
struct GlyphButtons : TFormTest {
    void SetUp() override { MakeForm(360, 200); }
    // The Down state of the buttons as "1" and "0".
    static std::string DownOf(const std::vector<TSpeedButton*>& bs)
    {
        std::string s;
        for (auto* b : bs)
            s += b->Down() ? '1' : '0';
        return s;
    }
};
}  // namespace

TEST_F(GlyphButtons, SpeedButtonGroupsKeepOneDownAndAllowAllUpLetsTheLastOneGo)
{
    // Clicks on buttons 0..2 of group 1 (button 3 is alone, group 0), and the Down states after each.
    struct Case { bool allowAllUp; std::vector<int> clicks; std::vector<std::string> after; };
    const Case cases[] = {
        {false, {0, 1, 1, 2, 3, 3}, {"1000", "0100", "0100", "0010", "0010", "0010"}},
        {true, {0, 0, 1, 1, 3}, {"1000", "0000", "0100", "0000", "0000"}},
    };
    for (const Case& c : cases) {
        std::vector<TSpeedButton*> bs;
        for (int i = 0; i < 4; ++i) {
            auto* b = Place<TSpeedButton>(10 + i * 30, 10, 25, 25);
            b->SetGroupIndex(i < 3 ? 1 : 0);
            bs.push_back(b);
        }
        // The group shares AllowAllUp: set on one, it reaches the others.
        bs[2]->SetAllowAllUp(c.allowAllUp);
        EXPECT_EQ(bs[0]->AllowAllUp(), c.allowAllUp);
        Form->Show();
        int clicks = 0;
        for (auto* b : bs)
            b->OnClick = [&](TObject*) { ++clicks; };
        for (size_t i = 0; i < c.clicks.size(); ++i) {
            Click(bs[c.clicks[i]], 5, 5);
            EXPECT_EQ(DownOf(bs), c.after[i]) << "allowAllUp " << c.allowAllUp << " click " << i;
        }
        EXPECT_EQ(clicks, int(c.clicks.size()));
        // A press that leaves the button before the release neither clicks nor changes the group.
        std::string before = DownOf(bs);
        MouseDown(bs[1], 5, 5);
        MouseMove(bs[1], 60, 5);
        MouseUp(bs[1], 60, 5);
        EXPECT_EQ(DownOf(bs), before);
        EXPECT_EQ(clicks, int(c.clicks.size()));
        // From code: Down on a button without a group is refused; in a group it takes the others up.
        bs[3]->SetDown(true);
        EXPECT_FALSE(bs[3]->Down());
        bs[0]->SetDown(true);
        EXPECT_EQ(DownOf(bs), "1000");
        EXPECT_EQ(bs[0]->State(), bsExclusive);
        for (auto* b : bs)
            delete b;
        Form->Hide();
    }
}

TEST_F(GlyphButtons, BitBtnKindsBringCaptionAndCloseTheModalFormWithTheirResult)
{
    struct Case { TBitBtnKind kind; const char* caption; int result; };
    const Case cases[] = {{bkOK, "OK", mrOk},       {bkCancel, "Cancel", mrCancel}, {bkYes, "&Yes", mrYes},
                          {bkNo, "&No", mrNo},      {bkAbort, "Abort", mrAbort},    {bkRetry, "&Retry", mrRetry},
                          {bkIgnore, "&Ignore", mrIgnore}, {bkAll, "&All", mrAll},  {bkClose, "&Close", mrCancel}};
    for (const Case& c : cases) {
        auto* b = Place<TBitBtn>(10, 10, 90, 28);
        b->SetKind(c.kind);
        EXPECT_EQ(b->Caption(), c.caption);
        EXPECT_FALSE(b->Glyph()->Empty());
        EXPECT_EQ(b->Default(), c.kind == bkOK || c.kind == bkYes);
        EXPECT_EQ(b->Cancel(), c.kind == bkCancel || c.kind == bkNo);
        ScriptDialogs().ExpectModal("", mrNone, [b](TForm*) { Click(b, 40, 14); });
        EXPECT_EQ(Form->ShowModal(), c.result) << c.caption;
        delete b;
    }
    // A glyph of the program's own makes the button a custom one; the modal result stays as set.
    auto* b = Place<TBitBtn>(10, 10, 90, 28);
    b->SetKind(bkOK);
    TBitmap g;
    g.SetSize(32, 16);
    b->SetGlyph(&g);
    EXPECT_EQ(b->Kind(), bkCustom);
    EXPECT_EQ(b->NumGlyphs(), 2);
    EXPECT_EQ(b->ModalResult(), mrOk);
}

TEST_F(GlyphButtons, ActionDrivesLinkedButtonsUntilTheyDiffer)
{
    auto* action = new TAction(Form);
    action->SetCaption("Zapisz");
    action->SetHint("Zapisuje wykaz");
    auto* sb = Place<TSpeedButton>(10, 10, 80, 25);
    auto* own = Place<TSpeedButton>(100, 10, 80, 25);
    sb->SetAction(action);
    own->SetAction(action);
    own->SetCaption("Własny");
    EXPECT_EQ(sb->Caption(), "Zapisz");
    EXPECT_EQ(sb->Hint(), "Zapisuje wykaz");

    // Caption and enabled state follow the action where the button still shows the action's.
    action->SetCaption("Zapisz jako");
    action->SetEnabled(false);
    EXPECT_EQ(sb->Caption(), "Zapisz jako");
    EXPECT_EQ(own->Caption(), "Własny");
    EXPECT_FALSE(sb->Enabled());
    EXPECT_FALSE(own->Enabled());

    // OnUpdate runs when the program is idle; a click executes the enabled action.
    int executed = 0;
    bool allow = true;
    action->OnExecute = [&](TObject* s) { EXPECT_EQ(s, action); EXPECT_EQ(action->ActionComponent(), sb); ++executed; };
    action->OnUpdate = [&](TObject*) { action->SetEnabled(allow); };
    UpdateActionsIdle();
    EXPECT_TRUE(sb->Enabled());
    Form->Show();
    Click(sb, 5, 5);
    EXPECT_EQ(executed, 1);
    // The action updates before it runs: a disabled one does not.
    allow = false;
    sb->Click();
    EXPECT_EQ(executed, 1);
    // An OnClick given after the action wins over it.
    allow = true;
    UpdateActionsIdle();
    int own_clicks = 0;
    own->OnClick = [&](TObject*) { ++own_clicks; };
    Click(own, 5, 5);
    EXPECT_EQ(own_clicks, 1);
    EXPECT_EQ(executed, 1);

    // Freed, the action leaves the buttons unlinked.
    delete action;
    EXPECT_EQ(sb->Action(), nullptr);
    Click(sb, 5, 5);
    EXPECT_EQ(executed, 1);
}

TEST_F(GlyphButtons, CheckedActionMovesDownOfGroupedButtonsThatCanGoUp)
{
    auto* a = new TAction(Form);
    a->SetGroupIndex(3);
    auto* sb = Place<TSpeedButton>(10, 10, 25, 25);
    sb->SetAllowAllUp(true);
    sb->SetAction(a);
    EXPECT_EQ(sb->GroupIndex(), 3);
    a->SetChecked(true);
    EXPECT_TRUE(sb->Down());
    a->SetChecked(false);
    EXPECT_FALSE(sb->Down());
    // A button that does not match the action's state, or cannot go up on its own, is not linked.
    a->SetChecked(true);
    sb->SetDown(false);
    a->SetChecked(false);
    a->SetChecked(true);   // matching again (both up): linked again
    EXPECT_TRUE(sb->Down());
    sb->SetAllowAllUp(false);
    a->SetChecked(false);
    EXPECT_TRUE(sb->Down());

    // Actions of one group: checking one unchecks the others of its list.
    TActionList list(Form);
    auto* x = new TAction(Form);
    auto* y = new TAction(Form);
    for (auto* act : {x, y}) {
        act->SetActionList(&list);
        act->SetGroupIndex(1);
    }
    x->SetChecked(true);
    y->SetChecked(true);
    EXPECT_FALSE(x->Checked());
    EXPECT_EQ(list.ActionCount(), 2);
    delete x;
    EXPECT_EQ(list.ActionCount(), 1);
}

TEST_F(GlyphButtons, ButtonsPaintGlyphsAndCaptions)
{
    auto glyph = FilledBitmap(32, 16, clOlive);   // two cells: red (up) and blue (disabled), olive background
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(TRect(4, 4, 12, 12));
    glyph->Canvas()->Brush()->SetColor(clBlue);
    glyph->Canvas()->FillRect(TRect(20, 4, 28, 12));
    auto* sb = Place<TSpeedButton>(10, 10, 100, 30);
    sb->SetGlyph(glyph.get());
    sb->SetCaption("Łódź");
    sb->SetMargin(4);
    auto* off = Place<TSpeedButton>(120, 10, 40, 30);
    off->SetGlyph(glyph.get());
    off->SetEnabled(false);
    auto* top = Place<TSpeedButton>(170, 10, 60, 50);
    top->SetGlyph(glyph.get());
    top->SetLayout(blGlyphTop);
    top->SetCaption("Góra");
    top->SetFlat(true);
    int x = 10;
    for (TBitBtnKind k : {bkOK, bkCancel, bkHelp}) {
        auto* b = Place<TBitBtn>(x, 80, 100, 30);
        b->SetKind(k);
        x += 110;
    }
    auto* pl = Place<TBitBtn>(10, 120, 160, 30);
    pl->SetKind(bkYes);
    pl->SetCaption("Zażółć gęślą");
    Form->Show();
    ProcessPendingMessages();
    std::unique_ptr<TBitmap> shot = GrabControl(Form);
    ASSERT_TRUE(shot && !shot->Empty());
    SaveScreenshot(shot.get(), "buttons.png");

    std::unique_ptr<TBitmap> b = GrabControl(sb);
    // Margin 4 from the 1-pixel frame: the red cell's square starts at x 5 + 4.
    EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(5 + 4 + 4, 15)), ColorToRGB(clRed));
    EXPECT_NE(ColorToRGB(b->Canvas()->Pixels(5 + 4 + 2, 15)), ColorToRGB(clOlive));   // transparent
    // The disabled button shows the glyph's second cell.
    std::unique_ptr<TBitmap> d = GrabControl(off);
    EXPECT_EQ(ColorToRGB(d->Canvas()->Pixels(20, 15)), ColorToRGB(clBlue));
}
