#include <gtest/gtest.h>

#include "platform/gui/Forms.h"
#include "platform/gui/Grids.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {
struct GridFixture : TFormTest {
    TStringGrid* Grid = nullptr;
    void SetUp() override
    {
        MakeForm(500, 400);
        Grid = Place<TStringGrid>(0, 0, 400, 300);
        Form->Show();
        Grid->SetFocus();
    }
    // Client point inside a cell (which must be in view).
    TPoint Inside(int ACol, int ARow) const
    {
        TRect r = Grid->CellRect(ACol, ARow);
        return TPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
    }
};
}  // namespace

TEST_F(GridFixture, CellsAndObjectsOutliveShrinkingCounts)
{
    TObject marker;
    Grid->SetColCount(6);
    Grid->SetRowCount(10);
    Grid->SetCells(5, 9, "corner");
    Grid->SetObjects(5, 9, &marker);
    Grid->SetCells(2, 3, "kept");

    Grid->SetColCount(3);
    Grid->SetRowCount(4);
    EXPECT_EQ(Grid->Cells(2, 3), "kept");
    // Beyond the counts the cells stay addressable by their stored indices.
    EXPECT_EQ(Grid->Cells(5, 9), "corner");

    Grid->SetColCount(6);
    Grid->SetRowCount(10);
    EXPECT_EQ(Grid->Cells(5, 9), "corner");
    EXPECT_EQ(Grid->Objects(5, 9), &marker);
    EXPECT_EQ(Grid->Cells(4, 8), "");

    for (auto [c, r] : {std::pair{-1, 0}, std::pair{0, -2}}) {
        try {
            Grid->Cells(c, r);
            ADD_FAILURE() << "no error for " << c << "," << r;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), Format("List index out of bounds (%d)", {c < 0 ? c : r}));
        }
    }
    EXPECT_THROW(Grid->SetCells(0, -1, "x"), EListError);
}

TEST_F(GridFixture, MovingAndDeletingCarryCellsAndWidths)
{
    Grid->SetColCount(5);
    Grid->SetRowCount(5);
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            Grid->SetCells(c, r, Format("%d:%d", {c, r}));
    Grid->SetColWidths(1, 30);
    Grid->MoveColumn(1, 3);
    EXPECT_EQ(Grid->Cells(3, 2), "1:2");
    EXPECT_EQ(Grid->Cells(1, 2), "2:2");
    EXPECT_EQ(Grid->ColWidths(3), 30);

    Grid->MoveRow(4, 1);
    EXPECT_EQ(Grid->Cells(0, 1), "0:4");
    EXPECT_EQ(Grid->Cells(0, 2), "0:1");

    Grid->DeleteRow(1);
    EXPECT_EQ(Grid->RowCount(), 4);
    EXPECT_EQ(Grid->Cells(0, 1), "0:1");
    Grid->DeleteColumn(0);
    EXPECT_EQ(Grid->ColCount(), 4);
    EXPECT_EQ(Grid->Cells(0, 0), "2:0");
    EXPECT_THROW(Grid->MoveRow(0, 9), EInvalidGridOperation);
}

TEST_F(GridFixture, ExtractingRowsLeavesWhatDeletingThemOneAfterAnotherLeaves)
{
    // Each step a row in the numbering the steps before leave; the selection runs from
    // Anchor to Current.
    struct Case { std::vector<int> Steps; int Fixed, Anchor, Current; } cases[] = {
        {{2, 2, 2}, 1, 1, 5},
        {{6, 2}, 1, 2, 2},
        {{5, 3, 0, 1}, 2, 7, 3},
        {{7, 6}, 1, 7, 7},
        {{0, 0, 0, 0, 0, 0, 0, 0}, 3, 4, 6},   // the last step on the one row left keeps it
    };
    auto* deleted = Place<TStringGrid>(0, 0, 400, 300);
    for (const Case& c : cases) {
        std::vector<std::string> told;
        for (TStringGrid* g : {Grid, deleted}) {
            g->SetRowCount(8);
            g->SetFixedRows(c.Fixed);
            for (int r = 0; r < 8; ++r) {
                g->SetCells(1, r, Format("r%d", {r}));
                g->SetRowHeights(r, 20 + r);
            }
            g->FocusCell(1, c.Anchor, true);
            g->FocusCell(1, c.Current, false);
            g->OnRowMoved = [&](TObject*, int, int) { told.push_back("moved"); };
        }
        Grid->ExtractRows(c.Steps);
        EXPECT_TRUE(told.empty());
        for (int step : c.Steps)
            deleted->DeleteRow(step);
        ASSERT_EQ(Grid->RowCount(), deleted->RowCount());
        EXPECT_EQ(Grid->FixedRows(), deleted->FixedRows());
        const TGridRect a = Grid->Selection(), b = deleted->Selection();
        EXPECT_EQ((std::vector<int>{Grid->Row(), a.Top, a.Bottom}), (std::vector<int>{deleted->Row(), b.Top, b.Bottom}));
        for (int r = 0; r < Grid->RowCount(); ++r) {
            EXPECT_EQ(Grid->RowHeights(r), deleted->RowHeights(r)) << r;
            // The one row kept when every row goes keeps whatever it held (the caller empties it).
            if (Grid->RowCount() > 1) { EXPECT_EQ(Grid->Cells(1, r), deleted->Cells(1, r)) << r; }
        }
        Grid->OnRowMoved = deleted->OnRowMoved = nullptr;
    }
    EXPECT_THROW(Grid->ExtractRows({Grid->RowCount()}), EInvalidGridOperation);
}

TEST_F(GridFixture, KeysMoveAndExtendTheCurrentCell)
{
    Grid->SetColCount(6);
    Grid->SetRowCount(100);
    struct Case {
        const char* Name;
        TGridOptions Extra;
        TGridCoord Start;
        Word Key;
        TShiftState Shift;
        TGridCoord Expect;
        TGridRect Sel;
    };
    const Case cases[] = {
        {"down", 0, {1, 1}, VK_DOWN, 0, {1, 2}, {1, 2, 1, 2}},
        {"up at first data row stays", 0, {2, 1}, VK_UP, 0, {2, 1}, {2, 1, 2, 1}},
        {"left stops at fixed column", 0, {1, 3}, VK_LEFT, 0, {1, 3}, {1, 3, 1, 3}},
        {"end", 0, {2, 3}, VK_END, 0, {5, 3}, {5, 3, 5, 3}},
        {"home", 0, {4, 3}, VK_HOME, 0, {1, 3}, {1, 3, 1, 3}},
        {"ctrl end", 0, {2, 3}, VK_END, ssCtrl, {5, 99}, {5, 99, 5, 99}},
        {"ctrl home", 0, {4, 50}, VK_HOME, ssCtrl, {1, 1}, {1, 1, 1, 1}},
        {"shift extends with range select", 0, {2, 2}, VK_RIGHT, ssShift, {3, 2}, {2, 2, 3, 2}},
        {"shift does not extend without it", ~0u, {2, 2}, VK_DOWN, ssShift, {2, 3}, {2, 3, 2, 3}},
        {"tab wraps to next row", goTabs, {5, 4}, VK_TAB, 0, {1, 5}, {1, 5, 1, 5}},
        {"row select spans columns", goRowSelect, {3, 4}, VK_DOWN, 0, {1, 5}, {1, 5, 5, 5}},
    };
    const TGridOptions base = Grid->Options();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TGridOptions o = base;
        if (c.Extra == ~0u)
            o &= ~goRangeSelect;
        else
            o |= c.Extra;
        Grid->SetOptions(o);
        Grid->FocusCell(c.Start.X, c.Start.Y, true);
        KeyDown(Grid, c.Key, c.Shift);
        KeyUp(Grid, c.Key, c.Shift);
        EXPECT_EQ(Grid->Col(), c.Expect.X);
        EXPECT_EQ(Grid->Row(), c.Expect.Y);
        EXPECT_EQ(Grid->Selection(), c.Sel);
    }
}

TEST_F(GridFixture, PageDownScrollsAndKeepsTheScrollBarInStep)
{
    Grid->SetRowCount(1000);
    int visible = Grid->VisibleRowCount();
    ASSERT_GT(visible, 3);
    // The vertical bar narrows the client area.
    EXPECT_LT(Grid->ClientRect().Right, 400);
    KeyDown(Grid, VK_NEXT);
    EXPECT_EQ(Grid->Row(), 1 + visible);
    EXPECT_EQ(Grid->TopRow(), 1 + visible);
    KeyDown(Grid, VK_END, ssCtrl);
    EXPECT_EQ(Grid->Row(), 999);
    EXPECT_EQ(Grid->TopRow() + Grid->VisibleRowCount() - 1, 999);
    KeyDown(Grid, VK_HOME, ssCtrl);
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(GridFixture, FirstScrollingColumnAndRowFollowTheFixedCounts)
{
    Grid->SetColCount(40);
    Grid->SetRowCount(100);
    struct Case { bool cols; int scrollTo; int fixed; int first; };
    const Case cases[] = {
        {true, 1, 0, 0},     // the view at the first scrolling column shows column 0 when nothing is fixed
        {true, 0, 2, 2},     // and moves past new fixed columns
        {true, 10, 1, 10},   // a scrolled view stays where it is
        {true, 10, 12, 12},  // unless the fixed columns reach over it
        {false, 1, 0, 0},
        {false, 0, 3, 3},
        {false, 20, 1, 20},
    };
    for (const Case& c : cases) {
        Grid->SetFixedCols(1);
        Grid->SetFixedRows(1);
        if (c.cols) {
            Grid->SetLeftCol(c.scrollTo);
            Grid->SetFixedCols(c.fixed);
            EXPECT_EQ(Grid->LeftCol(), c.first) << c.scrollTo << " " << c.fixed;
        } else {
            Grid->SetTopRow(c.scrollTo);
            Grid->SetFixedRows(c.fixed);
            EXPECT_EQ(Grid->TopRow(), c.first) << c.scrollTo << " " << c.fixed;
        }
    }
    Grid->SetFixedCols(0);
    Grid->SetLeftCol(0);
    EXPECT_GT(Grid->CellRect(0, Grid->TopRow()).Width(), 0);   // column 0 is in view
}

// Scrolled to the end, then fewer rows, smaller cells or a larger grid: the view goes back as far as it
// is filled again (to the first scrolling cell when all fit).
TEST_F(GridFixture, ShrinkingBringsBackTheViewThatNothingCouldScrollTo)
{
    const std::pair<std::function<void()>, TPoint> cases[] = {
        {[&] { Grid->SetRowCount(5), Grid->SetColCount(3); }, {1, 1}},
        {[&] { for (int i = 0; i < 14; ++i) Grid->SetRowHeights(i, 10), Grid->SetColWidths(i % 7, 20); }, {1, 1}},
        {[&] { Grid->SetBounds(0, 0, 500, 400); }, {1, 1}},
        {[&] { Grid->SetRowCount(13); }, {3, 3}},   // still scrolling: the last row and column at the end
    };
    for (const auto& [shrink, view] : cases) {
        Grid->SetBounds(0, 0, 400, 300), Grid->SetColCount(7), Grid->SetRowCount(14);
        for (int i = 0; i < 14; ++i) Grid->SetRowHeights(i, 24), Grid->SetColWidths(i % 7, 64);
        Grid->SetTopRow(13), Grid->SetLeftCol(6);
        shrink();
        EXPECT_EQ(TPoint(Grid->LeftCol(), Grid->TopRow()), view);
    }
}

TEST_F(GridFixture, ClickAndDragSelect)
{
    int selected = 0;
    Grid->OnSelectCell = [&](TObject*, int ACol, int ARow, bool& Can) {
        ++selected;
        Can = ACol != 4;   // column 4 refuses the current cell
    };
    TPoint p = Inside(2, 3);
    Click(Grid, p.X, p.Y);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_GT(selected, 0);

    Drag(Grid, Inside(1, 1), Inside(3, 4));
    EXPECT_EQ(Grid->Selection(), TGridRect(1, 1, 3, 4));
    EXPECT_EQ(Grid->GridState(), gsNormal);

    TPoint s = Inside(2, 2);
    AdvanceInputClock(1000);
    Click(Grid, s.X, s.Y, mbLeft, ssShift);
    EXPECT_EQ(Grid->Selection(), TGridRect(1, 1, 2, 2));

    TPoint refused = Inside(4, 2);
    AdvanceInputClock(1000);
    Click(Grid, refused.X, refused.Y);
    EXPECT_EQ(Grid->Col(), 2);

    Grid->SetSelection(TGridRect(2, 1, 99, 99));
    EXPECT_EQ(Grid->Selection(), TGridRect(2, 1, 4, 4));
    EXPECT_EQ(Grid->Col(), 4);

    // A click on a fixed cell moves nothing.
    AdvanceInputClock(1000);
    Click(Grid, 5, 5);
    EXPECT_EQ(Grid->Col(), 4);
}

TEST_F(GridFixture, MouseSizesAndMovesColumnsWhenAllowed)
{
    Grid->SetCells(1, 1, "one");
    Grid->SetCells(3, 1, "three");
    int movedFrom = -1, movedTo = -1;
    Grid->OnColumnMoved = [&](TObject*, int From, int To) { movedFrom = From; movedTo = To; };
    // Without the option a drag on the header border sizes nothing.
    TRect h = Grid->CellRect(1, 0);
    Drag(Grid, TPoint(h.Right, 5), TPoint(h.Right + 40, 5));
    EXPECT_EQ(Grid->ColWidths(1), 64);

    Grid->SetOptions(Grid->Options() | goColSizing | goColMoving);
    AdvanceInputClock(1000);
    Drag(Grid, TPoint(h.Right, 5), TPoint(h.Right + 40, 5));
    EXPECT_EQ(Grid->ColWidths(1), 104);

    AdvanceInputClock(1000);
    Drag(Grid, Inside(1, 0), Inside(3, 0));
    EXPECT_EQ(movedFrom, 1);
    EXPECT_EQ(movedTo, 3);
    EXPECT_EQ(Grid->Cells(3, 1), "one");
    EXPECT_EQ(Grid->Cells(2, 1), "three");
}

TEST_F(GridFixture, PaintsLinesFixedCellsAndSelection)
{
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Grid->FocusCell(1, 1, true);
    Grid->FocusCell(2, 1, false);   // cells 1..2 of row 1 selected, 2 is current
    auto bmp = GrabControl(Grid);
    TCanvas* c = bmp->Canvas();
    // Column 0 is 64 wide: its line is at x = 64; row 0 is 24 high: line at y = 24.
    EXPECT_EQ(c->Pixels(64, 10), clBlack);                  // fixed vertical line
    EXPECT_EQ(c->Pixels(64 + 65, 60), ColorToRGB(clSilver)); // line between data cells
    EXPECT_EQ(c->Pixels(100, 24), clBlack);                 // fixed horizontal line
    EXPECT_EQ(c->Pixels(20, 12), ColorToRGB(clBtnFace));    // inside a fixed cell
    EXPECT_EQ(c->Pixels(0, 0), ColorToRGB(clBtnHighlight)); // its raised edge
    TRect sel = Grid->CellRect(1, 1);
    EXPECT_EQ(c->Pixels(sel.Left + 30, sel.Top + 20), ColorToRGB(clHighlight));
    TRect plain = Grid->CellRect(1, 3);
    EXPECT_EQ(c->Pixels(plain.Left + 30, plain.Top + 12), ColorToRGB(clWindow));
}

TEST_F(GridFixture, DrawCellSeesOnlyTheCellsInView)
{
    Grid->SetRowCount(100000);
    Grid->SetTopRow(50000);
    int lowest = 1 << 30, highest = -1, calls = 0;
    Grid->OnDrawCell = [&](TObject*, int, int ARow, TRect, TGridDrawState) {
        ++calls;
        if (ARow >= Grid->FixedRows()) {
            lowest = std::min(lowest, ARow);
            highest = std::max(highest, ARow);
        }
    };
    GrabControl(Grid);
    EXPECT_EQ(lowest, 50000);
    EXPECT_LE(highest, 50000 + Grid->VisibleRowCount());
    EXPECT_LT(calls, 100);
}

TEST_F(GridFixture, TypingEditsTheCurrentCell)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->FocusCell(2, 2, true);
    Grid->SetCells(2, 2, "old");
    // The first character opens the editor in place of the text; the editor takes the rest.
    TypeText(Grid, "a");
    ASSERT_TRUE(Grid->InplaceEditor());
    EXPECT_TRUE(Grid->InplaceEditor()->Visible());
    TypeText(Grid->InplaceEditor(), "b");
    TypeKey(Grid->InplaceEditor(), VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "ab");
    EXPECT_FALSE(Grid->InplaceEditor()->Visible());

    TypeText(Grid, "z");
    TypeText(Grid->InplaceEditor(), "z");
    TypeKey(Grid->InplaceEditor(), VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 2), "ab");
}
