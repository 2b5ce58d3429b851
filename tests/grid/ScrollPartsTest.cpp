#include <gtest/gtest.h>

#include <string>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

namespace {
// Opens the grid's view of its last row and of the greatest TopRow.
class TScrollGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    int LastTopRow() const { return MaxTopRow(); }
    // The bottom of the last row as laid out from TopRow.
    int LastRowEnd() const
    {
        int bottom = FixedHeight();
        for (int r = TopRow(); r < RowCount(); ++r)
            bottom += RowHeights(r) + GridLineWidth();
        return bottom;
    }
};

using ScrollParts = TGridFormTest<TScrollGrid>;
}  // namespace

// With the search footer shown, scrolling down ends with the last row above
// its panel, further line-downs are answered without scrolling, and a line-up
// from there leaves the last top row so that the end of the scroll does not
// push it back.
TEST_F(ScrollParts, SearchFooterLetsTheLastRowOutFromUnderItsPanel)
{
    Grid->SetRowCount(40);
    Grid->SearchFooter()->SetVisible(true);
    int panelTop = Grid->ClientRect().Bottom - 32;
    int last = Grid->LastTopRow();

    struct Step {
        Word Code;
        int Top;   // expected TopRow, -1: beyond the last top row with the last row above the panel
    } steps[] = {
        {SB_BOTTOM, last},
        {SB_ENDSCROLL, -1},
        {SB_LINEDOWN, -1},
        {SB_ENDSCROLL, -1},
        {SB_LINEUP, last - 1},
        {SB_ENDSCROLL, last - 1},
        {SB_LINEDOWN, -1},
    };
    int i = 0;
    for (const Step& s : steps) {
        int before = Grid->TopRow();
        Scroll(true, s.Code);
        if (s.Top >= 0) {
            EXPECT_EQ(Grid->TopRow(), s.Top) << "step " << i;
        } else {
            EXPECT_GT(Grid->TopRow(), last) << "step " << i;
            EXPECT_LE(Grid->LastRowEnd(), panelTop) << "step " << i;
            // One row less would leave the last row under the panel.
            EXPECT_GT(Grid->LastRowEnd() + Grid->RowHeights(Grid->TopRow() - 1) + Grid->GridLineWidth(), panelTop)
                << "step " << i;
            if (s.Code == SB_LINEDOWN && before > last) {
                EXPECT_EQ(Grid->TopRow(), before) << "step " << i;
            }
        }
        ++i;
    }

    // Without the search footer the grid stops at its last top row.
    Grid->SearchFooter()->SetVisible(false);
    Scroll(true, SB_BOTTOM);
    Scroll(true, SB_ENDSCROLL);
    Scroll(true, SB_LINEDOWN);
    EXPECT_LE(Grid->TopRow(), last + 1);
    Grid->SetTopRow(1);
    Scroll(true, SB_BOTTOM);
    Scroll(true, SB_ENDSCROLL);
    EXPECT_EQ(Grid->TopRow(), last);

    // Rows that all fit above the panel do not scroll at all.
    Grid->SearchFooter()->SetVisible(true);
    Grid->SetRowCount(4);
    Grid->SetTopRow(1);
    Scroll(true, SB_LINEDOWN);
    Scroll(true, SB_ENDSCROLL);
    EXPECT_EQ(Grid->TopRow(), 1);
    Grid->ScrollAboveSearchFooter();
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(ScrollParts, HintsAndSynchOnlyForTheirOwnBar)
{
    Grid->SetRowCount(60);
    Grid->SetColCount(25);
    Grid->SetFixedRows(2);
    int visibleRows = Grid->VisibleRowCount();
    struct Case {
        TScrollHintType Hints;
        bool Vertical;
        bool Shown;
    } cases[] = {
        {shNone, true, false},       {shHorizontal, true, false}, {shVertical, true, true},
        {shVertical, false, false},  {shBoth, false, true},       {shHorizontal, false, true},
    };
    for (const Case& c : cases) {
        Grid->SetScrollHints(shBoth);
        Scroll(true, SB_ENDSCROLL);
        Grid->SetScrollHints(c.Hints);
        Scroll(c.Vertical, SB_THUMBTRACK, 127);
        EXPECT_EQ(Grid->ScrollHintShowing(), c.Shown) << int(c.Hints) << " " << c.Vertical;
    }
    Grid->SetScrollHints(shVertical);
    Scroll(true, SB_THUMBTRACK, 127);
    EXPECT_EQ(Grid->ScrollHintText(), "Row : " + IntToStr(60 - visibleRows));
    EXPECT_EQ(Grid->TopRow(), 2);   // tracking without ScrollSynch only hints

    Grid->SetScrollSynch(true);
    Scroll(true, SB_THUMBTRACK, 64);
    EXPECT_EQ(Grid->TopRow(), MulDiv(64, 60 - visibleRows - 2, 127) + 2);
    Scroll(true, SB_THUMBTRACK, 0);
    EXPECT_EQ(Grid->TopRow(), 2);
}

TEST_F(ScrollParts, FlatBarsFollowTheVisibleCountAndProportionalRangeItsThreshold)
{
    Grid->SetColCount(3);
    Grid->SetRowCount(3);
    Grid->SetScrollType(ssFlat);
    EXPECT_FALSE(Grid->ScrollBarVisible(SB_VERT));   // all rows fit
    Grid->SetRowCount(80);
    Grid->UpdateFlatScrollBars();
    EXPECT_TRUE(Grid->ScrollBarVisible(SB_VERT));
    Grid->SetScrollType(ssNormal);

    // A view that holds the rows (ratio at or above 0.9999) leaves the range alone.
    Grid->SetRowCount(3);
    TGridScrollInfo mark{0, 50, 7, 3};
    Grid->SetScrollInfo(SB_VERT, mark);
    Grid->SetScrollProportional(true);
    Grid->UpdateVertScrollRange();
    TGridScrollInfo v = Grid->ScrollInfo(SB_VERT);
    EXPECT_EQ(v.Max, 50);
    EXPECT_EQ(v.Page, 7);
    EXPECT_EQ(v.Pos, 3);

    // Many rows: page = Max - 126, so the thumb runs 0..127, at 0 on top.
    Grid->SetRowCount(200);
    Grid->UpdateVertScrollRange();
    v = Grid->ScrollInfo(SB_VERT);
    EXPECT_EQ(v.Page, v.Max - 126);
    EXPECT_GT(v.Max, 127);
    EXPECT_EQ(v.Pos, 0);
}

TEST_F(ScrollParts, StretchGivesTheDefaultWidthOnlyWhenScrolledFullyLeft)
{
    Grid->SetColCount(4);
    Grid->SetFixedCols(1);
    for (int c = 0; c < 4; ++c)
        Grid->SetColWidths(c, 300);
    Grid->SetLeftCol(2);
    ASSERT_EQ(Grid->LeftCol(), 2);
    Grid->ColumnSize()->SetStretch(true);
    Grid->StretchColumn(-1);
    EXPECT_EQ(Grid->ColWidths(3), 300);
    Grid->SetLeftCol(1);
    Grid->StretchColumn(-1);
    EXPECT_EQ(Grid->ColWidths(3), Grid->DefaultColWidth());

    // Off: nothing changes; any index past the last column raises.
    Grid->ColumnSize()->SetStretch(false);
    Grid->SetColWidths(3, 10);
    Grid->StretchColumn(3);
    EXPECT_EQ(Grid->ColWidths(3), 10);
    EXPECT_THROW(Grid->StretchColumn(4), Exception);
}

TEST_F(ScrollParts, DragInACornerScrollsBothWays)
{
    Grid->SetRowCount(50);
    Grid->SetColCount(30);
    Grid->SetFixedCols(1);
    Grid->DragScrollOptions()->SetActive(true);
    Grid->SetTopRow(10);
    Grid->SetLeftCol(5);
    bool accept = true;
    Grid->DragOver(nullptr, 2, 2, dsDragEnter, accept);
    ASSERT_TRUE(Grid->DragScrolling());
    ASSERT_TRUE(FireTimer(Grid->DragScrollTimer()));
    EXPECT_EQ(Grid->TopRow(), 9);
    EXPECT_EQ(Grid->LeftCol(), 4);

    // Leaving the margins frees the timer; so does switching the option off.
    Grid->DragOver(nullptr, 200, 120, dsDragMove, accept);
    EXPECT_FALSE(Grid->DragScrolling());
    Grid->DragOver(nullptr, Grid->Width() - 2, Grid->Height() - 2, dsDragMove, accept);
    ASSERT_TRUE(Grid->DragScrolling());
    FireTimer(Grid->DragScrollTimer());
    EXPECT_EQ(Grid->TopRow(), 10);
    EXPECT_EQ(Grid->LeftCol(), 5);
    Grid->DragScrollOptions()->SetActive(false);
    Grid->DragOver(nullptr, Grid->Width() - 2, Grid->Height() - 2, dsDragMove, accept);
    EXPECT_FALSE(Grid->DragScrolling());
}

// Cells are addressed by their stored column; the footer row is calculated
// for every stored column, a hidden one too.
TEST_F(ScrollParts, FooterCalculationCoversHiddenColumns)
{
    FormatSettings.DecimalSeparator = ',';
    TProStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(4);
    for (int c = 0; c < 4; ++c) {
        g.SetCells(c, 1, IntToStr(c + 1));
        g.SetCells(c, 2, IntToStr(10 * (c + 1)));
        g.CellProperties(c, 3)->SetCalcType(c == 3 ? 4 : 1);   // minimum in the last column
    }
    g.FloatingFooter()->SetVisible(true);
    g.HideColumn(1);
    ASSERT_EQ(g.ColCount(), 3);
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(0, 3), "11,00");
    EXPECT_EQ(g.Cells(1, 3), "22,00");
    EXPECT_EQ(g.Cells(2, 3), "33,00");
    EXPECT_EQ(g.Cells(3, 3), "4,00");
    ResetFormatSettings();
}

// A grid given flat scroll bars before its window exists, by their setter or by taking another
// grid's settings, has them set up when the window is made: the bar shown for the columns that
// do not fit carries the page of those in view.
TEST(ScrollPartsWindow, FlatBarsChosenBeforeTheWindowAreSetUpWithIt)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 400);
    TProStringGrid model(nullptr);
    for (bool assigned : {false, true}) {
        for (TScrollType type : {ssFlat, ssEncarta}) {
            SCOPED_TRACE(std::string(assigned ? "assigned " : "set ") + std::to_string(int(type)));
            auto* g = new TProStringGrid(&form);
            g->SetBounds(0, 0, 400, 250);
            if (assigned) {
                model.SetScrollType(type);
                g->Assign(&model);
                EXPECT_EQ(g->ScrollType(), type);
            } else {
                g->SetScrollType(type);
            }
            g->SetColCount(30);
            g->SetRowCount(3);
            g->SetParent(&form);
            form.Show();
            EXPECT_TRUE(g->FlatScrollActive());
            EXPECT_TRUE(g->ScrollBarVisible(SB_HORZ));
            EXPECT_FALSE(g->ScrollBarVisible(SB_VERT));
            EXPECT_EQ(g->ScrollInfo(SB_HORZ).Page, g->VisibleColCount() * 128 / 30);
            form.Hide();
            delete g;
        }
    }
}
