#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProHint.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

namespace {
// Lets a test play the mouse sizing code, which notes the column (row) being
// sized, and opens the grid's view of its last row and of the greatest TopRow.
class TScrollGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    void UserSizesColumn(int ACol, int AWidth)
    {
        FSizingCol = ACol;
        FSizingColWidth = ColWidths(ACol);
        SetColWidths(ACol, AWidth);
    }
    int LastTopRow() const { return MaxTopRow(); }
    // The bottom of the last row as laid out from TopRow.
    int LastRowEnd() const
    {
        int bottom = FixedHeight();
        for (int r = TopRow(); r < RowCount(); ++r) bottom += RowHeights(r) + GridLineWidth();
        return bottom;
    }
};

struct GridScroll : TGridFormTest<TScrollGrid> {
    void SetUp() override
    {
        FormatSettings.DecimalSeparator = ',';
        TGridFormTest::SetUp();
    }
};

struct FooterCase {
    Byte Type;
    int HiddenRow;   // display row hidden before the calculation, -1 none
    bool CalculateHidden;
    std::string Expect;
};

// Header, five data rows, footer. Row 3 holds text that the sums skip.
void CheckFooter(const FooterCase& c)
{
    const std::vector<std::string> values = {"", "2", "4", "abc", "10", "-1", ""};
    TProStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(int(values.size()));
    for (int r = 0; r < int(values.size()); ++r) g.SetCells(1, r, values[r]);
    g.FloatingFooter()->SetVisible(true);
    g.FloatingFooter()->SetCalculateHiddenRows(c.CalculateHidden);
    if (c.HiddenRow >= 0) g.HideRow(c.HiddenRow);
    int footer = g.RowCount() - 1;
    g.CellProperties(1, footer)->SetCalcType(c.Type);
    g.SetCells(1, footer, "kept");
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, footer), c.Expect) << "type " << int(c.Type) << " hidden " << c.HiddenRow
                                            << " calc hidden " << c.CalculateHidden;
}
}  // namespace

TEST_F(GridScroll, FooterRowCalculatesOverDataRowsAndHiddenRows)
{
    const FooterCase cases[] = {
        {1, -1, true, "15,00"},
        {2, -1, true, "3,00"},     // every row counts in the average, text ones too
        {3, -1, true, "5"}, {4, -1, true, "-1,00"}, {5, -1, true, "10,00"}, {6, -1, true, "kept"},
        {0, -1, true, "kept"},
        {0x81, -1, true, "15,00"},  // only the low 7 bits choose
        {3, 4, true, "5"},          // a hidden row still counts
        {1, 4, false, "5,00"}, {3, 4, false, "4"}, {5, 4, false, "4,00"},
        // With exactly one hidden row the range ends on the footer's display row:
        // the calculation still goes over the stored data rows, not the footer.
        {1, 4, true, "15,00"}, {5, 4, true, "10,00"},
    };
    for (const FooterCase& c : cases) CheckFooter(c);
}

TEST_F(GridScroll, FooterCalculationNeedsAVisibleFixedLastRowFooterAndAsksForCustomValues)
{
    TProStringGrid g(nullptr);
    SetGridTexts(g, "||/||5/||6/||");
    g.CellProperties(2, 3)->SetCalcType(1);
    g.CellProperties(0, 3)->SetCalcType(7);
    g.SetCells(2, 3, "x");
    g.CalcFooter(2);
    EXPECT_EQ(g.Cells(2, 3), "x");   // no footer shown
    g.FloatingFooter()->SetVisible(true);
    g.FloatingFooter()->SetFooterStyle(fsColumnPreview);
    g.CalcFooter(2);
    EXPECT_EQ(g.Cells(2, 3), "x");
    g.FloatingFooter()->SetFooterStyle(fsFixedLastRow);
    g.CalcFooter(2);
    EXPECT_EQ(g.Cells(2, 3), "11,00");

    // Custom: the grid's event first, then the footer's, else empty.
    std::vector<std::string> asked;
    g.FloatingFooter()->OnCalcFooter = [&](TObject*, int ACol, int ARow, AnsiString& V) {
        asked.push_back("footer " + std::to_string(ACol) + "," + std::to_string(ARow));
        V = "from footer";
    };
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(0, 3), "from footer");
    g.OnFooterCalc = [&](TObject*, int ACol, int ARow, AnsiString& V) {
        asked.push_back("grid " + std::to_string(ACol) + "," + std::to_string(ARow));
        V = "from grid";
    };
    g.CalcFooter(0);
    EXPECT_EQ(g.Cells(0, 3), "from grid");
    g.OnFooterCalc = nullptr;
    g.FloatingFooter()->OnCalcFooter = nullptr;
    g.CalcFooter(0);
    EXPECT_EQ(g.Cells(0, 3), "");
    EXPECT_EQ(asked, (std::vector<std::string>{"footer 0,3", "grid 0,3"}));
}

TEST_F(GridScroll, StretchFillsTheClientWidth)
{
    enum { ClientLessOthers, DefaultWidth, WholeClient };
    struct Case {
        int Cols;
        int StretchCol;
        std::vector<int> Widths;   // widths before stretching
        int Expect;
    } cases[] = {
        {4, -1, {30, 60, 60, 10}, ClientLessOthers},   // the last column
        {4, 1, {30, 60, 60, 60}, ClientLessOthers},    // a chosen column
        {3, -1, {30, 400, 300}, DefaultWidth},         // the others are wider than the client
        {1, -1, {50}, WholeClient},                    // one column
    };
    for (const Case& c : cases) {
        Grid->ColumnSize()->SetStretch(false);
        Grid->SetColCount(c.Cols);
        for (int i = 0; i < c.Cols; ++i) Grid->SetColWidths(i, c.Widths[i]);
        Grid->ColumnSize()->SetStretchColumn(c.StretchCol);
        Grid->ColumnSize()->SetStretch(true);
        int col = c.StretchCol < 0 ? c.Cols - 1 : c.StretchCol;
        int client = Grid->ClientRect().Width();
        int others = 0;
        for (int i = 0; i < c.Cols; ++i)
            if (i != col) others += Grid->ColWidths(i);
        int expect = c.Expect == WholeClient    ? client
                     : c.Expect == DefaultWidth ? Grid->DefaultColWidth()
                                                : client - others - 1;
        EXPECT_EQ(Grid->ColWidths(col), expect) << c.Cols << " columns, stretch " << c.StretchCol;
    }
    // Resizing the grid stretches again, and so does a vertical bar that comes or goes.
    Grid->SetBounds(0, 0, 500, 250);
    for (int rows : {5, 100, 5}) {
        Grid->SetRowCount(rows);
        EXPECT_EQ(Grid->ColWidths(0), Grid->ClientRect().Width()) << rows;
    }
    EXPECT_EQ(GridError<Exception>([&] { Grid->StretchColumn(3); }), "Stretch column index out of range");
}

TEST_F(GridScroll, SizingOneColumnScalesTheOthersAndTheStretchColumnTakesTheRest)
{
    Grid->SetColCount(5);
    for (int i = 0; i < 5; ++i) Grid->SetColWidths(i, 41);
    Grid->MouseActions()->SetAllColumnSize(true);
    Grid->ColumnSize()->SetStretch(true);   // the last column
    std::vector<int> ended;
    Grid->OnEndColumnSize = [&](TObject*, int ACol) { ended.push_back(ACol); };
    Grid->OnUpdateColumnSize = [&](TObject*, int ACol, int& AWidth) {
        if (ACol == 2) AWidth = 62;
    };

    Grid->UserSizesColumn(1, 61);   // 41 -> 61: factor 61/41
    EXPECT_EQ(ended, std::vector<int>{1});
    EXPECT_EQ(Grid->ColWidths(0), 41);   // fixed column untouched
    EXPECT_EQ(Grid->ColWidths(1), 61);
    EXPECT_EQ(Grid->ColWidths(2), 61);   // round(41 * 61 / 41)
    EXPECT_EQ(Grid->ColWidths(3), 61);
    int sum = 41 + 61 + 61 + 61;
    EXPECT_EQ(Grid->ColWidths(4), Grid->ClientRect().Width() - sum - 1);

    // The update hook may change the sized column's width.
    Grid->UserSizesColumn(2, 70);
    EXPECT_EQ(Grid->ColWidths(2), 62);
}

TEST_F(GridScroll, ControlsInCellsFollowColumnAndRowSizing)
{
    const std::function<void(TScrollGrid*)> sizings[] = {
        [](TScrollGrid* g) { Drag(g, TPoint(g->CellRect(1, 0).Right - 1, 5), TPoint(g->CellRect(1, 0).Right + 60, 5)); },
        [](TScrollGrid* g) { Drag(g, TPoint(5, g->CellRect(0, 1).Bottom - 1), TPoint(5, g->CellRect(0, 1).Bottom + 30)); },
        [](TScrollGrid* g) { g->SetColWidths(2, 100); },
        [](TScrollGrid* g) { g->SetDefaultRowHeight(30); },
        [](TScrollGrid* g) { g->Zoom(5); },
    };
    Grid->SetOptions(Grid->Options() | goColSizing | goRowSizing);
    auto* control = new TPanel(Form);
    control->SetParent(Grid);
    Grid->CellControls()->Add(2, 3, control);
    for (std::size_t i = 0; i < std::size(sizings); ++i) {
        Grid->PositionCellControls();
        sizings[i](Grid);
        const TRect r = Grid->CellRect(2, 3);
        EXPECT_EQ(control->BoundsRect(), TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1)) << i;
    }
}

TEST_F(GridScroll, ProportionalRangeFollowsPixelsOfRowsOfDifferentHeights)
{
    Grid->SetColCount(2);
    Grid->SetRowCount(40);
    for (int r = 1; r < 40; ++r) Grid->SetRowHeights(r, r < 20 ? 10 : 50);
    Grid->SetScrollProportional(true);
    Grid->SetTopRow(20);

    // Pixels: fixed 22 (no layout lines), others 19 x 10 + 20 x 50 = 1190, above the view 190.
    int height = Grid->Height();
    double ratio = double(height - Grid->RowHeights(0)) / 1190;
    int max = int((127 + ratio) / (1 - ratio));
    TGridScrollInfo v = Grid->ScrollInfo(SB_VERT);
    EXPECT_EQ(std::pair(v.Max, v.Page), std::pair(max, max - 126));
    EXPECT_EQ(v.Pos, int(190.0 / (1190 - height) * 128));
    // Counting rows instead would put the thumb past the middle (19 of 39 rows are above).
    EXPECT_LT(v.Pos, 30);

    // A grid that nearly fits keeps the standard scale.
    Grid->SetRowCount(3);
    TGridScrollInfo s = Grid->ScrollInfo(SB_VERT);
    EXPECT_EQ(std::pair(s.Max, s.Page), std::pair(127, 0));
    EXPECT_FALSE(Grid->ScrollBarVisible(SB_VERT));

    // Switching it off gives the bars page 0 again; flat bars get back the page of the rows in view.
    Grid->SetRowCount(40);
    Grid->SetScrollProportional(false);
    EXPECT_EQ(Grid->ScrollInfo(SB_VERT).Page, 0);
    Grid->SetScrollType(ssFlat);
    const int flatPage = Grid->ScrollInfo(SB_VERT).Page;
    Grid->SetScrollProportional(true);
    Grid->SetScrollProportional(false);
    EXPECT_EQ(std::pair(Grid->ScrollInfo(SB_VERT).Page, flatPage > 0), std::pair(flatPage, true));
}

TEST_F(GridScroll, ThumbMessagesHintScrollAlongAndRescaleFlatBars)
{
    Grid->SetColCount(30);
    Grid->SetRowCount(100);
    Grid->SetFixedCols(2);
    Grid->SetScrollHints(shBoth);
    int visibleCols = Grid->VisibleColCount();
    int visibleRows = Grid->VisibleRowCount();

    // The thumb track hint names the column counted from 0 with the fixed ones.
    std::vector<int> hinted;
    Grid->OnScrollHint = [&](TObject*, int ARow, AnsiString& Hint) {
        hinted.push_back(ARow);
        if (ARow == 2) Hint = "first";
    };
    Scroll(false, SB_THUMBTRACK, 127);
    EXPECT_TRUE(Grid->ScrollHintShowing());
    EXPECT_EQ(Grid->ScrollHintText(), "Col : " + IntToStr(30 - visibleCols));
    const int line = Grid->HintWindow()->TextHeight();
    Scroll(false, SB_THUMBTRACK, 0);
    EXPECT_EQ(Grid->ScrollHintText(), "first");
    Scroll(true, SB_THUMBTRACK, 64);
    EXPECT_EQ(Grid->ScrollHintText(), "Row : " + IntToStr(MulDiv(64, 100 - visibleRows - 1, 127) + 1));
    EXPECT_EQ(Grid->LeftCol(), 2);   // without ScrollSynch the track only hints
    Scroll(true, SB_ENDSCROLL);
    EXPECT_FALSE(Grid->ScrollHintShowing());
    EXPECT_EQ(hinted.size(), 3u);
    // A long hint is laid out at most 100 pixels wide, in more lines.
    Grid->OnScrollHint = [](TObject*, int, AnsiString& Hint) { Hint += " przewijanie wielu wierszy tabeli"; };
    Scroll(true, SB_THUMBTRACK, 64);
    EXPECT_LE(Grid->HintWindow()->TextWidth(), 100);
    EXPECT_GE(Grid->HintWindow()->TextHeight(), 2 * line);
    Scroll(true, SB_ENDSCROLL);

    // ScrollSynch: the cells follow the thumb while it is dragged.
    Grid->SetScrollSynch(true);
    Scroll(true, SB_THUMBTRACK, 127);
    EXPECT_EQ(Grid->TopRow(), 100 - visibleRows);
    Scroll(true, SB_THUMBTRACK, 0);
    EXPECT_EQ(Grid->TopRow(), 1);
    Scroll(true, SB_LINEDOWN);
    EXPECT_EQ(Grid->TopRow(), 2);

    // Flat bars: a thumb at the end of its shortened run reaches the last column.
    Grid->SetScrollSynch(false);
    Grid->SetScrollType(ssFlat);
    EXPECT_TRUE(Grid->FlatScrollActive());
    TGridScrollInfo h = Grid->ScrollInfo(SB_HORZ);
    EXPECT_EQ(h.Page, Grid->VisibleColCount() * 128 / 30);
    Scroll(false, SB_THUMBPOSITION, 128 - h.Page);
    EXPECT_EQ(Grid->LeftCol() + Grid->VisibleColCount(), 30);
    Grid->SetScrollType(ssNormal);
    EXPECT_FALSE(Grid->FlatScrollActive());
}

// The thumb dragged to the bar's end (the flat one from the bar's very top) hints the last top row,
// scrolls there when released and stays at the end of its run.
TEST_F(GridScroll, DraggedThumbHintsAndScrollsWhereReleased)
{
    Grid->SetRowCount(100);
    Grid->SetScrollHints(shVertical);
    for (TScrollType type : {ssNormal, ssFlat}) {
        Grid->SetScrollType(type);
        const int x = Grid->ClientRect().Right + 5, end = Grid->ClientRect().Bottom - 1;
        const int last = 100 - Grid->VisibleRowCount();
        MouseDown(Grid, x, type == ssFlat ? 2 : 20);
        MouseMove(Grid, x, end);
        EXPECT_EQ(Grid->ScrollHintText(), "Row : " + IntToStr(last));
        MouseUp(Grid, x, end);
        const TGridScrollInfo v = Grid->ScrollInfo(SB_VERT);
        EXPECT_EQ(TPoint(Grid->TopRow(), v.Pos), TPoint(last, type == ssFlat ? 128 - v.Page : 127));
        Grid->SetTopRow(1);
    }
}

TEST_F(GridScroll, FlatThumbWithAllColumnsInViewDoesNotDivideByZero)
{
    Grid->SetColCount(3);
    Grid->SetFixedCols(0);
    Grid->SetScrollType(ssEncarta);
    ASSERT_EQ(Grid->VisibleColCount(), 3);
    for (Word code : {SB_THUMBTRACK, SB_THUMBPOSITION})
        for (int pos : {0, 5, 127}) Scroll(false, code, pos);
    EXPECT_EQ(Grid->LeftCol(), 0);
    EXPECT_FALSE(Grid->ScrollBarVisible(SB_HORZ));
}

TEST_F(GridScroll, DragBelowTheLastVisibleRowScrollsOnTheTimer)
{
    Grid->SetRowCount(50);
    Grid->SetColCount(3);
    Grid->DragScrollOptions()->SetActive(true);
    bool accept = true;
    int bottom = Grid->Height() - 10;

    Grid->DragOver(nullptr, 100, 120, dsDragMove, accept);
    EXPECT_FALSE(Grid->DragScrolling());   // not in a margin
    Grid->DragOver(nullptr, 100, bottom, dsDragEnter, accept);
    ASSERT_TRUE(Grid->DragScrolling());
    EXPECT_EQ(Grid->DragScrollTimer()->Interval(), 1000u);
    ASSERT_TRUE(FireTimer(Grid->DragScrollTimer()));
    EXPECT_EQ(Grid->TopRow(), 2);
    EXPECT_EQ(Grid->DragScrollTimer()->Interval(), 250u);
    FireTimer(Grid->DragScrollTimer());
    EXPECT_EQ(Grid->TopRow(), 3);

    // Moving on inside the margin waits the initial delay again.
    Grid->DragOver(nullptr, 110, bottom, dsDragMove, accept);
    EXPECT_EQ(Grid->DragScrollTimer()->Interval(), 1000u);

    // The event may turn the direction round or refuse.
    bool refuse = false;
    Grid->OnDragScroll = [&](TObject*, int ATop, int, TDragScrollDirections& Dirs, bool& Can) {
        EXPECT_EQ(ATop, Grid->TopRow());
        Dirs = dsdUp;
        Can = !refuse;
    };
    FireTimer(Grid->DragScrollTimer());
    EXPECT_EQ(Grid->TopRow(), 2);
    refuse = true;
    FireTimer(Grid->DragScrollTimer());
    EXPECT_EQ(Grid->TopRow(), 2);
    Grid->OnDragScroll = nullptr;

    // Up stops at the first scrolling row.
    Grid->DragOver(nullptr, 100, 5, dsDragMove, accept);
    for (int i = 0; i < 5; ++i) FireTimer(Grid->DragScrollTimer());
    EXPECT_EQ(Grid->TopRow(), 1);

    Grid->DragOver(nullptr, 100, 5, dsDragLeave, accept);
    EXPECT_FALSE(Grid->DragScrolling());
}

// A real drag of a panel onto the grid's top margin, dropped there (taken or refused): the
// drag scrolling ends with the drag.
TEST_F(GridScroll, DropInAMarginEndsTheDragScrolling)
{
    Grid->SetRowCount(50);
    Grid->SetColCount(3);
    Grid->DragScrollOptions()->SetActive(true);
    auto* source = Place<TPanel>(450, 10, 60, 40);
    source->SetDragMode(dmAutomatic);
    for (bool take : {true, false}) {
        SCOPED_TRACE(take ? "taken" : "refused");
        Grid->SetTopRow(20);
        int drops = 0;
        bool scrolling = false;
        Grid->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool& Accept) {
            Accept = take;
            scrolling = scrolling || Grid->DragScrolling();
        };
        Grid->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
        Drag(source, TPoint(10, 10), source->ScreenToClient(Grid->ClientToScreen(TPoint(200, 20))));
        EXPECT_EQ(drops, take ? 1 : 0);
        EXPECT_TRUE(scrolling);
        EXPECT_FALSE(Grid->DragScrolling());
        FireAllTimers();
        EXPECT_EQ(Grid->TopRow(), 20);
    }
    Grid->OnDragOver = nullptr;
    Grid->OnDragDrop = nullptr;
}

TEST_F(GridScroll, FixedFootersAndRightColumnsAreFixed)
{
    Grid->SetColCount(6);
    Grid->SetRowCount(8);
    Grid->SetFixedFooters(1);
    Grid->SetFixedRightCols(2);
    struct Case {
        int Col, Row;
        bool Fixed;
    } cases[] = {{2, 7, true}, {2, 6, false}, {4, 3, true}, {5, 3, true}, {3, 3, false}};
    for (const Case& c : cases) EXPECT_EQ(Grid->IsFixed(c.Col, c.Row), c.Fixed) << c.Col << "," << c.Row;
    // A merged cell answers as its base cell.
    Grid->MergeCells(2, 5, 1, 3);
    EXPECT_FALSE(Grid->IsFixed(2, 7));
}

TEST_F(GridScroll, EditableWhenAnyEditingSwitchIsOn)
{
    // None, goEditing, range select with editing, the always-edit flag.
    for (int on = 0; on < 4; ++on) {
        Grid->SetOptions(on == 1 ? Grid->Options() | goEditing : Grid->Options() & ~goEditing);
        Grid->MouseActions()->SetRangeSelectAndEdit(on == 2);
        Grid->Navigation()->SetAlwaysEdit(on == 3);
        EXPECT_EQ(Grid->IsEditable(2, 2), on != 0) << on;
        EXPECT_FALSE(Grid->IsEditable(0, 2));
    }
    // Fixed footer rows and fixed right columns take neither edits nor a paste.
    Grid->SetFixedFooters(1);
    Grid->SetFixedRightCols(1);
    const int row = Grid->RowCount() - 1, col = Grid->ColCount() - 1;
    EXPECT_FALSE(Grid->IsEditable(2, row));
    EXPECT_FALSE(Grid->IsEditable(col, 2));
    Grid->PasteText(col - 1, row - 1, "a\tb\r\nc\td\r\n");
    EXPECT_EQ(Grid->Cells(col - 1, row - 1) + "|" + Grid->Cells(col, row - 1) + Grid->Cells(col - 1, row), "a|");
}

TEST_F(GridScroll, AnImageListThatGoesIsNoLongerUsed)
{
    auto* owner = new TForm(Application);
    Grid->SetGridImages(new TImageList(owner));
    delete owner;
    EXPECT_EQ(Grid->GridImages(), nullptr);
}

// With the search footer shown, scrolling down ends with the last row above
// its panel, further line-downs are answered without scrolling, and a line-up
// from there leaves the last top row so that the end of the scroll does not
// push it back.
TEST_F(GridScroll, SearchFooterLetsTheLastRowOutFromUnderItsPanel)
{
    Grid->SetRowCount(40);
    Grid->SearchFooter()->SetVisible(true);
    int panelTop = Grid->ClientRect().Bottom - 32;
    int last = Grid->LastTopRow();

    struct Step {
        Word Code;
        int Top;   // expected TopRow, -1: beyond the last top row with the last row above the panel
    } steps[] = {
        {SB_BOTTOM, last}, {SB_ENDSCROLL, -1}, {SB_LINEDOWN, -1}, {SB_ENDSCROLL, -1}, {SB_LINEUP, last - 1},
        {SB_ENDSCROLL, last - 1}, {SB_LINEDOWN, -1},
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

TEST_F(GridScroll, HintsAndSynchOnlyForTheirOwnBar)
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

TEST_F(GridScroll, FlatBarsFollowTheVisibleCountAndProportionalRangeItsThreshold)
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
    EXPECT_EQ(std::tuple(v.Max, v.Page, v.Pos), std::tuple(50, 7, 3));

    // Many rows: page = Max - 126, so the thumb runs 0..127, at 0 on top.
    Grid->SetRowCount(200);
    Grid->UpdateVertScrollRange();
    v = Grid->ScrollInfo(SB_VERT);
    EXPECT_EQ(v.Page, v.Max - 126);
    EXPECT_GT(v.Max, 127);
    EXPECT_EQ(v.Pos, 0);
}

TEST_F(GridScroll, StretchGivesTheDefaultWidthOnlyWhenScrolledFullyLeft)
{
    Grid->SetColCount(4);
    Grid->SetFixedCols(1);
    for (int c = 0; c < 4; ++c) Grid->SetColWidths(c, 300);
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
    EXPECT_EQ(GridError<Exception>([&] { Grid->StretchColumn(4); }), "Stretch column index out of range");
}

TEST_F(GridScroll, DragInACornerScrollsBothWays)
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
    EXPECT_EQ(TPoint(Grid->LeftCol(), Grid->TopRow()), TPoint(4, 9));

    // Leaving the margins frees the timer; so does switching the option off.
    Grid->DragOver(nullptr, 200, 120, dsDragMove, accept);
    EXPECT_FALSE(Grid->DragScrolling());
    Grid->DragOver(nullptr, Grid->Width() - 2, Grid->Height() - 2, dsDragMove, accept);
    ASSERT_TRUE(Grid->DragScrolling());
    FireTimer(Grid->DragScrollTimer());
    EXPECT_EQ(TPoint(Grid->LeftCol(), Grid->TopRow()), TPoint(5, 10));
    Grid->DragScrollOptions()->SetActive(false);
    Grid->DragOver(nullptr, Grid->Width() - 2, Grid->Height() - 2, dsDragMove, accept);
    EXPECT_FALSE(Grid->DragScrolling());
}

// Cells are addressed by their stored column; the footer row is calculated
// for every stored column, a hidden one too.
TEST_F(GridScroll, FooterCalculationCoversHiddenColumns)
{
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
    const char* footers[] = {"11,00", "22,00", "33,00", "4,00"};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(g.Cells(c, 3), footers[c]) << c;
    ResetFormatSettings();
}

// A grid given flat scroll bars before its window exists, by their setter or by taking another
// grid's settings, has them set up when the window is made: the bar shown for the columns that
// do not fit carries the page of those in view.
TEST(GridScrollBars, FlatBarsChosenBeforeTheWindowAreSetUpWithIt)
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
