// Cell text hooks, hints and balloons of the string grid.
#include <gtest/gtest.h>

#include "grid/ProGrid.h"
#include "grid/ProHint.h"
#include "grid/ProUtil.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

namespace {
struct HintFixture : TGridFormTest<TProStringGrid> {
    void SetUp() override
    {
        ResetFormatSettings();
        MakeGrid(500, 400, 460, 300);
        Grid->SetColCount(4);
        Grid->SetRowCount(6);
        Form->Show();
    }
};
}

TEST_F(HintFixture, BalloonTextAndTitleAreCut)
{
    Grid->Balloon()->SetEnable(true);
    Grid->SetCells(1, 2, "\r\n" + AnsiString(2000, 'x'));
    Grid->SetCells(2, 2, "a\tb");
    Grid->OnCellBalloon = [](TObject*, int ACol, int, AnsiString& T, AnsiString&, int&) {
        if (ACol == 1) T = AnsiString(150, 't');
    };
    AnsiString title, text;
    int icon = 0;
    ASSERT_TRUE(Grid->GetBalloonText(1, 2, title, text, icon));
    EXPECT_EQ(text.size(), 1024u);
    EXPECT_EQ(text.substr(0, 1021), AnsiString(1021, 'x'));
    EXPECT_EQ(text.substr(1021), "...");
    EXPECT_EQ(title, AnsiString(97, 't') + "...");
    EXPECT_EQ(icon, 1);
    title.clear();
    ASSERT_TRUE(Grid->GetBalloonText(2, 2, title, text, icon));
    EXPECT_EQ(text, "a b");
    EXPECT_EQ(title, " ");
}

TEST_F(HintFixture, SwitchingBalloonsOffDestroysTheWindow)
{
    EXPECT_EQ(Grid->BalloonWindow(), nullptr);
    Grid->Balloon()->SetTransparency(55);
    Grid->Balloon()->SetEnable(true);
    ASSERT_NE(Grid->BalloonWindow(), nullptr);
    EXPECT_EQ(Grid->BalloonWindow()->Title(), "ToolTipText");
    Grid->Balloon()->SetEnable(false);
    EXPECT_EQ(Grid->BalloonWindow(), nullptr);
    Grid->Balloon()->SetEnable(true);
    Grid->Balloon()->SetEnable(true);   // no second window
    EXPECT_NE(Grid->BalloonWindow(), nullptr);
    Grid->SetCells(1, 1, "Bezpieczeństwo");
    TRect r = Grid->CellRect(1, 1);
    EXPECT_TRUE(Grid->ShowBalloonAt(r.Left + 5, r.Top + 5));
    EXPECT_EQ(Grid->BalloonWindow()->BalloonText(), "Bezpieczeństwo");
    EXPECT_NEAR(WindowOpacity(Grid->BalloonWindow()), 200 / 255.0, 0.01);   // 255 less the transparency
    FireAllTimers();   // its hiding delay passes
    EXPECT_FALSE(Grid->BalloonWindow()->Visible());
}

TEST_F(HintFixture, FloatFormatOfNumericCells)
{
    Grid->SetCells(1, 1, "3,14159");
    Grid->SetCells(1, 2, "42");
    Grid->SetCells(1, 3, "tekst");
    AnsiString fmt = "%.2f";
    Grid->OnGetFloatFormat = [&](TObject*, int, int, bool&, AnsiString& F) { F = fmt; };
    struct Case {
        const char* Format;
        int Row;
        const char* Shown;
    } cases[] = {
        {"%.2f", 1, "3,14"}, {"%d", 2, "42"}, {"%.2f", 3, "tekst"},
        {"%d", 1, "3,14159"},      // no integer there: the stored text
        {"%.2f %s %q", 1, "3,14159"},   // a format the formatter rejects: the stored text
    };
    for (const Case& c : cases) {
        fmt = c.Format;
        AnsiString shown;
        EXPECT_NO_THROW(Grid->FormatNumericCell(1, c.Row, shown)) << c.Format;
        EXPECT_EQ(shown, c.Shown) << c.Format;
    }
    // Painting with a rejected format does not raise.
    fmt = "%.2f %s %q";
    EXPECT_NO_THROW(GrabControl(Grid));
}

TEST_F(HintFixture, RemovingTheOnlyRowEmptiesIt)
{
    Grid->SetRowCount(2);
    Grid->SetCells(1, 1, "PN-EN 1000");
    int removed = -1;
    Grid->OnAutoDeleteRow = [&](TObject*, int ARow) { removed = ARow; };
    Grid->AutoRemoveRow(1);
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->Cells(1, 1), "");
    EXPECT_EQ(removed, 1);
}

TEST_F(HintFixture, CellHints)
{
    Grid->SetColWidths(1, 40);
    Grid->SetCells(1, 1, "<b>Bardzo długi tekst komórki</b>");
    Grid->SetCells(2, 1, "ok");
    AddGraphic(Grid, 2, 2, ctComment)->CellText = "Normy się różnią !!!";
    Grid->SetHintShowLargeText(true);
    auto hintAt = [&](int c, int r, THintInfo& info) {
        TRect rc = Grid->CellRect(c, r);
        info = THintInfo();
        info.CursorPos = TPoint(rc.Left + 3, rc.Top + 3);
        AnsiString s;
        Grid->PrepareCellHint(s, info);
        return s;
    };
    THintInfo info;
    EXPECT_EQ(hintAt(1, 1, info), "Bardzo długi tekst komórki");
    EXPECT_EQ(info.HintData, nullptr);
    EXPECT_EQ(hintAt(2, 1, info), "");
    EXPECT_EQ(hintAt(2, 2, info), "Normy się różnią !!!");
    EXPECT_EQ(info.HintColor, Grid->HintColor());
    Grid->SetHTMLHint(true);
    EXPECT_EQ(hintAt(1, 1, info), "<b>Bardzo długi tekst komórki</b>");
    EXPECT_NE(info.HintData, nullptr);   // mini-HTML goes to the grid's own hint window
    // OnGridHint is given the hint prepared so far (here the comment) and may take it away.
    AnsiString given = "-";
    Grid->OnGridHint = [&](TObject*, int, int, AnsiString& H) { given = H; H.clear(); };
    EXPECT_EQ(hintAt(2, 2, info), "");
    EXPECT_EQ(given, "Normy się różnią !!!");
}

TEST_F(HintFixture, RestingMouseShowsCellHintsAndBalloons)
{
    Grid->SetShowHint(true);
    Grid->SetHintShowCells(true);
    Grid->SetCells(1, 1, "Norma PN-EN 1");
    Grid->SetCells(2, 1, "<b>Zastąpiona</b>");
    Grid->SetCells(1, 3, "Bezpieczeństwo");
    auto at = [&](int c, int r) {
        TRect rc = Grid->CellRect(c, r);
        return TPoint(rc.Left + 3, rc.Top + 3);
    };
    THTMLHintWindow* w = Grid->HintWindow();
    Grid->SetHintColor(TColor(0xC0FFC0));
    struct Case { bool htmlHint; int col, row; const char* hint; bool ownWindow; };
    const Case cases[] = {
        {false, 1, 1, "Norma PN-EN 1", false},
        {false, 2, 1, "Zastąpiona", false},   // tags removed: the toolkit's tooltip shows it
        {true, 2, 1, "<b>Zastąpiona</b>", true},
        {true, 1, 1, "Norma PN-EN 1", false},   // a plain hint takes the mini-HTML window away
    };
    for (const Case& c : cases) {
        Grid->SetHTMLHint(c.htmlHint);
        TPoint p = at(c.col, c.row);
        EXPECT_EQ(HintAt(Grid, p.X, p.Y), c.hint) << c.col << "," << c.row;
        EXPECT_EQ(w->Visible(), c.ownWindow) << c.col << "," << c.row;
        if (c.ownWindow) {
            EXPECT_EQ(w->Caption(), c.hint);
        }
        auto shown = c.ownWindow ? GrabControl(w) : GrabShownHint();   // in the hint colour, the form active
        EXPECT_TRUE(shown->Canvas()->Pixels(shown->Width() - 3, 9) == TColor(0xC0FFC0) && Form->Active());
    }

    // The mini-HTML hint stays while the mouse is over its cell and goes when it leaves the cell or on a press.
    TPoint p = at(2, 1);
    ASSERT_EQ(HintAt(Grid, p.X, p.Y), "<b>Zastąpiona</b>");
    MouseMove(Grid, p.X + 4, p.Y + 2);
    EXPECT_TRUE(w->Visible());
    MouseMove(Grid, at(1, 1).X, at(1, 1).Y);
    EXPECT_FALSE(w->Visible());
    HintAt(Grid, p.X, p.Y);
    MouseDown(Grid, p.X, p.Y);
    MouseUp(Grid, p.X, p.Y);
    EXPECT_FALSE(w->Visible());

    // The balloon shows the text of the cell the mouse rests over, also without hints, once it has
    // rested for the initial delay (the reshow delay from a shown balloon to the next cell), and goes
    // when the mouse leaves.
    Grid->SetShowHint(false);
    Grid->Balloon()->SetInitialDelay(900);
    Grid->Balloon()->SetReshowDelay(40);
    Grid->Balloon()->SetEnable(true);
    TBalloonWindow* b = Grid->BalloonWindow();
    ASSERT_NE(b, nullptr);
    const struct { int col, row; unsigned delay; const char* text; } rests[] = {
        {1, 3, 900, "Bezpieczeństwo"}, {1, 1, 40, "Norma PN-EN 1"}};
    for (const auto& r : rests) {
        p = at(r.col, r.row);
        MouseMove(Grid, p.X, p.Y);
        EXPECT_EQ(HintAt(Grid, p.X, p.Y), "");
        EXPECT_FALSE(b->Visible()) << r.text;
        EXPECT_EQ(b->ShowTimer()->Interval(), r.delay);
        FireTimer(b->ShowTimer());
        EXPECT_TRUE(b->Visible());
        EXPECT_TRUE(WindowIsTip(b) && Form->Active()) << "shown without taking the activation";
        EXPECT_EQ(b->BalloonText(), r.text);
    }
    MouseLeave(Grid);
    EXPECT_FALSE(b->Visible());
    EXPECT_FALSE(b->ShowTimer()->Enabled());
}

TEST(HTMLHintWindow, ShowsAsATipInsideTheMonitor)
{
    THTMLHintWindow::SetMonitorRect(TRect(0, 0, 800, 600));
    THTMLHintWindow w(nullptr);
    w.ActivateHint(TRect(780, 590, 790, 600), "<b>Aktualna</b> norma");
    EXPECT_TRUE(WindowIsTip(&w)) << "shadowed as a tip, never activated";
    EXPECT_EQ(TPoint(w.Left() + w.Width(), w.Top() + w.Height()), TPoint(798, 598));
    EXPECT_EQ(w.Width(), w.TextWidth() + 16);
    EXPECT_GT(w.TextWidth(), 20);
    // A Unicode hint is measured and drawn from its letters, also those without an 8-bit form.
    const WideString letters = u"\u0416\u0416\u0416";
    TBitmap m;
    m.SetSize(4, 4);
    m.Canvas()->Font()->Assign(w.Font());
    m.Canvas()->Font()->SetName(THTMLHintWindow::FontName());
    TRect want;
    DrawTextW(m.Canvas(), letters, want, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    w.ActivateHint(TRect(10, 10, 10, 10), EncodeUnicodeCell(letters));
    EXPECT_EQ(w.TextWidth(), want.Width());
    EXPECT_EQ(w.Width(), want.Width() + 8);
    auto shown = GrabControl(&w);
    EXPECT_NEAR(InkBox(shown.get(), TRect(2, 2, w.Width() - 2, w.Height() - 2), Dark).Width(), want.Width(), 2);
    THTMLHintWindow::SetMonitorRect(TRect());
}
