#include <gtest/gtest.h>

#include <climits>

#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/StdCtrls.h"
#include "tests/common/GridTest.h"

namespace {
// The public ways of removing rows: Run(grid, first row, count).
struct TRemoval {
    const char* Name;
    std::function<void(TProStringGrid&, int, int)> Run;
};
const TRemoval Removals[] = {
    {"RemoveRows", [](TProStringGrid& g, int r, int n) { g.RemoveRows(r, n); }},
    {"RemoveRowsEx", [](TProStringGrid& g, int r, int n) { g.RemoveRowsEx(r, n); }},
    {"DeleteRows", [](TProStringGrid& g, int r, int n) { g.DeleteRows(r, n); }},
};
}  // namespace

TEST(GridRows, RemovingRowsAboveAHiddenRowLowersItsIndex)
{
    for (const TRemoval& c : Removals) {
        TProStringGrid g(nullptr);
        FillRows(g, 10);
        g.HideRows(8, 8);
        g.HideRows(4, 4);
        g.HideRows(1, 1);
        ASSERT_EQ(g.RowCount(), 7);
        c.Run(g, 2, 2);   // display rows 2 and 3 are the stored rows 3 and 5, around hidden row 4
        ASSERT_EQ(g.NumHiddenRows(), 3) << c.Name;
        std::vector<int> idx;
        for (int i = 0; i < g.NumHiddenRows(); ++i)
            idx.push_back(static_cast<TGridItem*>(g.HiddenRowList()->Items(i))->Idx);
        EXPECT_EQ(idx, (std::vector<int>{1, 3, 6})) << c.Name;
        g.UnHideRowsAll();
        EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "r2", "r4", "r6", "r7", "r8", "r9"})) << c.Name;
    }
}

TEST(GridRows, RemovalOutsideTheGridDoesNothingAndCountsAreLimited)
{
    std::vector<TRemoval> ops(std::begin(Removals), std::end(Removals));
    ops.push_back({"RemoveRowsInternal", [](TProStringGrid& g, int r, int n) { g.RemoveRowsInternal(r, n, true); }});
    struct Args {
        int Row, Count, RowsLeft;
        std::vector<std::string> Texts;
    } args[] = {
        {6, 1, 6, {"r0", "r1", "r2", "r3", "r4", "r5"}},   // at RowCount
        {9, 2, 6, {"r0", "r1", "r2", "r3", "r4", "r5"}},   // past it
        {-1, 2, 6, {"r0", "r1", "r2", "r3", "r4", "r5"}},
        {2, 0, 6, {"r0", "r1", "r2", "r3", "r4", "r5"}},
        {4, 10, 4, {"r0", "r1", "r2", "r3"}},              // only the rows there are
        {1, 2, 4, {"r0", "r3", "r4", "r5"}},
        {0, 6, 1, {""}},                                   // all: the row a grid keeps is empty
    };
    for (auto& op : ops)
        for (auto& a : args) {
            TProStringGrid g(nullptr);
            FillRows(g, 6);
            op.Run(g, a.Row, a.Count);
            EXPECT_EQ(g.RowCount(), a.RowsLeft) << op.Name << " " << a.Row << "," << a.Count;
            EXPECT_EQ(ColumnTexts(g, 1, 0), a.Texts) << op.Name << " " << a.Row << "," << a.Count;
        }
}

TEST(GridRows, RemovedRowsTakeTheirMarksAndHeightsAndDoNotComeBack)
{
    // The heights go with the rows also where moving a row by hand leaves them in place.
    for (bool moveHeights : {true, false}) {
        TProStringGrid g(nullptr);
        g.SetEnhRowColMove(moveHeights);
        FillRows(g, 6);
        g.SetRowHeights(2, 30);
        g.SetRowHeights(4, 40);
        g.RemoveRows(1, 2);
        EXPECT_EQ(g.RowHeights(1), g.DefaultRowHeight()) << moveHeights;
        EXPECT_EQ(g.RowHeights(2), 40) << moveHeights;
    }
    TProStringGrid g(nullptr);
    FillRows(g, 6);
    g.SetRowHeights(4, 40);
    g.SetRowModified(4, true);
    g.SetCellBrushColor(1, 2, clRed);
    g.RemoveRows(2, 1);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "r3", "r4", "r5"}));
    EXPECT_EQ(g.RowHeights(3), 40);
    EXPECT_TRUE(g.GetRowModified(3));
    EXPECT_FALSE(g.GetRowModified(4));
    EXPECT_FALSE(g.HasCellProperties(1, 2));
    // Growing the grid again brings empty rows, not the removed one.
    g.SetRowCount(6);
    EXPECT_EQ(g.Cells(1, 5), "");
    g.AddRow();
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.Cells(1, 6), "");
}

TEST(GridRows, InsertedRowsAreEmptyAndPushTheRestDown)
{
    TProStringGrid g(nullptr);
    FillRows(g, 5);
    g.SetRowHeights(2, 33);
    g.SetRowModified(2, true);
    g.SetCellBrushColor(1, 3, clRed);
    g.InsertRows(2, 2);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "", "", "r2", "r3", "r4"}));
    EXPECT_EQ(g.RowHeights(2), g.DefaultRowHeight());
    EXPECT_EQ(g.RowHeights(4), 33);
    EXPECT_TRUE(g.GetRowModified(4));
    EXPECT_FALSE(g.GetRowModified(2));
    EXPECT_EQ(g.GetCellBrushColor(1, 5), clRed);
    EXPECT_FALSE(g.HasCellProperties(1, 3));
}

TEST(GridRows, AddRowGoesBeforeAVisibleFloatingFooter)
{
    TProStringGrid g(nullptr);
    FillRows(g, 4);
    g.SetCells(1, 3, "sum");
    g.FloatingFooter()->SetVisible(true);
    g.AddRow();
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "r2", "", "sum"}));
    g.FloatingFooter()->SetVisible(false);
    g.AddRow();
    EXPECT_EQ(g.Cells(1, 5), "");
    EXPECT_EQ(g.RowCount(), 6);
}

TEST(GridRows, ColumnsMoveWithTheirCellsAndRemovalIsLimited)
{
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&)> Change;
        int Cols;
        std::vector<std::string> Row1;
    } cases[] = {
        {"insert", [](TProStringGrid& g) { g.InsertColumns(1, 2); }, 7, {"a", "", "", "b", "c", "d", "e"}},
        {"remove one", [](TProStringGrid& g) { g.RemoveColumns(1, 1); }, 4, {"a", "c", "d", "e"}},
        {"remove beyond the end", [](TProStringGrid& g) { g.RemoveColumns(3, 10); }, 3, {"a", "b", "c"}},
        {"remove outside", [](TProStringGrid& g) { g.RemoveColumns(5, 1); }, 5, {"a", "b", "c", "d", "e"}},
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        const char* texts[] = {"a", "b", "c", "d", "e"};
        for (int col = 0; col < 5; ++col) {
            g.SetCells(col, 1, texts[col]);
            g.SetColWidths(col, 50 + col);
        }
        c.Change(g);
        EXPECT_EQ(g.ColCount(), c.Cols) << c.Name;
        std::vector<std::string> row;
        for (int col = 0; col < g.ColCount(); ++col) row.push_back(g.Cells(col, 1));
        EXPECT_EQ(row, c.Row1) << c.Name;
        // Nothing is left behind beyond the columns.
        EXPECT_EQ(g.GetGridCell(g.ColCount(), 1), "") << c.Name;
    }
    TProStringGrid g(nullptr);
    g.SetColWidths(2, 77);
    g.InsertColumns(1, 1);
    EXPECT_EQ(g.ColWidths(3), 77);
    EXPECT_EQ(g.ColWidths(1), g.DefaultColWidth());
}

TEST(GridRows, DuplicateRowsKeepTheFirstOfEachTextWhateverTheCase)
{
    for (bool caseSensitive : {false, true}) {
        TProStringGrid g(nullptr);
        g.SetRowCount(6);
        const char* texts[] = {"hdr", "a", "A", "b", "a", "Ąb"};
        for (int r = 0; r < 6; ++r) g.SetCells(1, r, texts[r]);
        g.SetCells(2, 3, "row of b");
        g.RemoveDuplicateRows(1, caseSensitive);
        EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"hdr", "a", "b", "Ąb"})) << caseSensitive;
        EXPECT_EQ(g.Cells(2, 2), "row of b");
    }
}

TEST(GridRows, ClearingKeepsCountsAndFreesRecords)
{
    TProStringGrid g(nullptr);
    FillRows(g, 5);
    g.SetCells(0, 0, "header");
    g.SetCellBrushColor(1, 2, clRed);
    int changes = 0;
    g.OnCellsChanged = [&](TObject*, const TRect&) { ++changes; };

    g.ClearRowRange(2, 0);
    EXPECT_EQ(g.Cells(1, 2), "r2");
    EXPECT_EQ(changes, 0);

    g.ClearRowRange(2, 1);
    EXPECT_EQ(g.Cells(1, 2), "");
    EXPECT_FALSE(g.HasCellProperties(1, 2));
    EXPECT_EQ(changes, 1);

    g.ClearColumnRange(1, 1);
    EXPECT_EQ(g.Cells(1, 3), "");
    g.SetCells(2, 4, "x");
    g.ClearRowRange(3, INT_MAX);   // a count past the last row clears to the last row
    EXPECT_EQ(g.Cells(2, 4), "");
    g.RememberEditCell(0, 0);
    g.ClearAll();
    EXPECT_EQ(g.Cells(0, 0), "");
    EXPECT_EQ(g.TextBeforeEdit(), "");   // the text kept from before an edit goes with the cells
    EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(5, 5));
}

TEST(GridRows, ClearSelectionClearsTheSelectedRectangle)
{
    TProStringGrid g(nullptr);
    for (int r = 1; r < 5; ++r)
        for (int c = 1; c < 5; ++c) g.SetCells(c, r, "x");
    g.SetSelection(TGridRect(2, 2, 3, 3));
    g.ClearSelection();
    EXPECT_EQ(g.Cells(2, 2), "");
    EXPECT_EQ(g.Cells(3, 3), "");
    EXPECT_EQ(g.Cells(1, 2), "x");
    EXPECT_EQ(g.Cells(2, 4), "x");
}

TEST(GridRows, EqualRunsOfAColumnMergeAndSplit)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(6);
    const char* texts[] = {"hdr", "x", "x", "x", "y", "z"};
    for (int r = 0; r < 6; ++r) g.SetCells(1, r, texts[r]);
    g.MergeColumnCells(1, true);
    EXPECT_EQ(g.CellSpan(1, 1).Y, 2);
    EXPECT_EQ(g.Cells(1, 3), "x");
    EXPECT_FALSE(g.IsMergedCell(1, 4));
    g.SplitColumnCells(1);
    EXPECT_FALSE(g.IsMergedCell(1, 1));
    EXPECT_FALSE(g.IsMergedCell(1, 2));
}

TEST(GridRows, SelectedRowsFollowRemovalsAndGoTogether)
{
    TProStringGrid g(nullptr);
    FillRows(g, 8);
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(3, true);
    g.SetRowSelect(5, true);
    g.RemoveRows(1, 1);
    EXPECT_TRUE(g.GetRowSelect(2));
    EXPECT_FALSE(g.GetRowSelect(3));
    EXPECT_TRUE(g.GetRowSelect(4));
    g.RemoveSelectedRows();
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r2", "r4", "r6", "r7"}));
    EXPECT_EQ(g.SelectedRowCount(), 0);
}

TEST(GridRows, RemovalsTellEachRowMovedAndTheChangedCellsInTheirOrder)
{
    // Each removal tells what deleting its rows one at a time told: every row moved to the
    // last row (none for the last row itself), then the changed cells; many rows go at once.
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&)> Remove;
        const char* Told;   // "2>7": OnRowMoved(2, 7); "c2-4": OnCellsChanged rows 2 to 4
        const char* Left;   // column 1 afterwards
        int Hidden = -1;    // a row hidden before
    } cases[] = {
        {"a block", [](TProStringGrid& g) { g.RemoveRows(2, 2); }, "2>7 2>6 c2-4", "r0 r1 r4 r5 r6 r7"},
        {"the last rows", [](TProStringGrid& g) { g.RemoveRows(6, 2); }, "6>7 c6-8", "r0 r1 r2 r3 r4 r5"},
        {"flagged rows, from the last up",
         [](TProStringGrid& g) {
             g.MouseActions()->SetDisjunctRowSelect(true);
             g.SetRowSelect(2, true);
             g.SetRowSelect(5, true);
             g.RemoveSelectedRows();
         },
         "5>7 c5-6 2>6 c2-3", "r0 r1 r3 r4 r6 r7"},
        {"the selected rows, from the bottom one up",
         [](TProStringGrid& g) { g.SetSelection(TGridRect(1, 3, 1, 4)); g.RemoveSelectedRows(); },
         "4>7 c4-5 3>6 c3-4", "r0 r1 r2 r5 r6 r7"},
        {"repeats, as the walk down meets them",
         [](TProStringGrid& g) {
             const char* keys[] = {"a", "b", "a", "c", "b", "d", "a"};
             for (int r = 1; r < 8; ++r) g.SetCells(2, r, keys[r - 1]);
             g.RemoveDuplicateRows(2, true);
         },
         "3>7 c3-4 4>6 c4-5 c5-6", "r0 r1 r2 r4 r6"},
        {"shown rows hidden around a hidden one", [](TProStringGrid& g) { g.HideRows(2, 6); }, "2>6 2>5 2>4 2>3 c2-6",
         "r0 r1 r7", 4},
    };
    auto joined = [](const std::vector<std::string>& Texts) {
        std::string s;
        for (const std::string& t : Texts) s += (s.empty() ? "" : " ") + t;
        return s;
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        FillRows(g, 8);
        g.HideRows(c.Hidden, c.Hidden);
        std::vector<std::string> told;
        g.OnRowMoved = [&](TObject*, int From, int To) { told.push_back(std::to_string(From) + ">" + std::to_string(To)); };
        g.OnCellsChanged = [&](TObject*, const TRect& R) {
            told.push_back("c" + std::to_string(R.Top) + "-" + std::to_string(R.Bottom));
        };
        c.Remove(g);
        EXPECT_EQ(joined(told), c.Told) << c.Name;
        EXPECT_EQ(joined(ColumnTexts(g, 1, 0)), c.Left) << c.Name;
    }
}

TEST(GridRows, HidingEveryRowKeepsOneEmptyRowAndShowsEachOnceAgain)
{
    TProStringGrid g(nullptr);
    g.SetFixedRows(0);
    FillRows(g, 3);
    g.SetCellBrushColor(1, 2, clRed);
    g.HideRows(0, 2);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{""}));
    EXPECT_FALSE(g.HasCellProperties(1, 0));
    g.UnHideRowsAll();
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "r2", ""}));
    EXPECT_EQ(g.GetCellBrushColor(1, 2), clRed);
}

TEST(GridRows, CellControlsMoveWithTheirRowsAndGoWithThem)
{
    TProStringGrid g(nullptr);
    FillRows(g, 6);
    auto* edit = new TEdit(&g);
    edit->SetParent(&g);
    g.CellControls()->Add(1, 3, edit);
    g.InsertRows(1, 2);
    EXPECT_EQ(g.CellControls()->GetItem(0)->Y, 5);
    g.RemoveRowsEx(1, 1);
    EXPECT_EQ(g.CellControls()->GetItem(0)->Y, 4);
    g.RemoveRows(4, 1);
    EXPECT_EQ(g.CellControls()->Count(), 0);
    EXPECT_FALSE(edit->Visible());
}

// Undo puts the old texts back into the lines that were changed, wherever the rows and columns
// moved them since, and Redo the new texts; no other line is written, and a line gone takes its
// change with it. A twin grid that went through the same operation without the changes shows
// what Undo must give.
TEST(GridRows, UndoAndRedoFollowTheChangedLinesWhereverTheyMoved)
{
    using Op = std::function<void(TProStringGrid&)>;
    struct Case {
        const char* Name;
        Op Before, After;
    } cases[] = {
        {"insert before", {}, [](TProStringGrid& g) { g.InsertRows(1, 2); }},
        {"insert after", {}, [](TProStringGrid& g) { g.InsertRows(3, 1); }},
        {"remove above", {}, [](TProStringGrid& g) { g.RemoveRows(1, 1); }},
        {"remove one line", {}, [](TProStringGrid& g) { g.RemoveRows(2, 1); }},
        {"remove both lines", {}, [](TProStringGrid& g) { g.RemoveRows(2, 3); }},
        {"delete", {}, [](TProStringGrid& g) { g.DeleteRows(1, 1); }},
        {"remove ex", {}, [](TProStringGrid& g) { g.RemoveRowsEx(1, 1); }},
        {"move down", {}, [](TProStringGrid& g) { g.MoveRow(2, 5); }},
        {"move up", {}, [](TProStringGrid& g) { g.MoveRow(2, 1); }},
        {"move another over it", {}, [](TProStringGrid& g) { g.MoveRow(5, 1); }},
        {"swap", {}, [](TProStringGrid& g) { g.SwapRows(2, 4); }},
        {"sort", {}, [](TProStringGrid& g) { g.SortByColumn(1, sdDescending); }},
        {"hide above", {}, [](TProStringGrid& g) { g.HideRows(1, 1); }},
        {"hide one line", {}, [](TProStringGrid& g) { g.HideRow(2); }},
        {"unhide", [](TProStringGrid& g) { g.HideRows(1, 1); }, [](TProStringGrid& g) { g.UnHideRows(1, 1); }},
        {"unhide all", [](TProStringGrid& g) { g.HideRows(1, 1); }, [](TProStringGrid& g) { g.UnHideRowsAll(); }},
        {"group", {}, [](TProStringGrid& g) { g.GroupByColumn(1); }},
        {"ungroup", [](TProStringGrid& g) { g.GroupByColumn(2); }, [](TProStringGrid& g) { g.UnGroup(); }},
        {"move column", {}, [](TProStringGrid& g) { g.MoveColumn(3, 1); }},
        {"insert column", {}, [](TProStringGrid& g) { g.InsertColumns(1, 1); }},
        {"remove column", {}, [](TProStringGrid& g) { g.RemoveColumns(2, 1); }},
    };
    auto cells = [](TProStringGrid& g) {
        std::vector<std::string> v;
        for (int r = 0; r < g.RowCount(); ++r)
            for (int c = 0; c < g.AllColCount(); ++c) v.push_back(g.GetGridCell(c, r));
        return v;
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr), twin(nullptr);
        TProGridUndoRedo undo(nullptr);
        g.SetUndoRedo(&undo);
        for (TProStringGrid* x : {&g, &twin}) {
            x->SetColCount(6);
            x->SetRowCount(7);
            NameCells(*x);
            x->HideColumn(3);   // the change goes to stored column 4, shown as column 3
            if (c.Before) c.Before(*x);
        }
        undo.BeginGroup();
        g.SetCellTextWithUndo(3, 2, "Q");   // stored column 4
        g.SetCellTextWithUndo(2, 4, "R");
        undo.EndGroup();
        c.After(g);
        c.After(twin);
        const auto redone = cells(g);
        if (const int n = undo.List()->Count(); n > 0) {
            EXPECT_TRUE(undo.List()->Item(0)->SequenceStart && undo.List()->Item(n - 1)->SequenceStop) << c.Name;
        }
        undo.Undo();
        EXPECT_EQ(cells(g), cells(twin)) << c.Name;
        undo.Redo();
        EXPECT_EQ(cells(g), redone) << c.Name;
    }
}

// Each removal keeps heights, modified marks and the selection flags of the
// rows that stay in step with their rows.
TEST(GridRows, EveryRemovalKeepsRowRecordsInStep)
{
    for (const TRemoval& c : Removals) {
        TProStringGrid g(nullptr);
        g.SetColCount(3);
        LoadKeys(g, {"a", "b", "c", "d", "e", "f"});
        g.MouseActions()->SetDisjunctRowSelect(true);
        g.ShowModified()->SetEnabled(true);
        g.SetRowHeights(5, 37);     // "e"
        g.SetRowModified(4, true);  // "d"
        g.SetRowSelect(6, true);    // "f"
        g.SetRowSelect(2, true);    // "b", removed
        c.Run(g, 2, 2);             // "b" and "c" go
        EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"a", "d", "e", "f"})) << c.Name;
        EXPECT_EQ(g.RowHeights(3), 37) << c.Name;
        EXPECT_EQ(g.RowHeights(4), g.DefaultRowHeight()) << c.Name;
        EXPECT_TRUE(g.GetRowModified(2)) << c.Name;
        EXPECT_FALSE(g.GetRowModified(3)) << c.Name;
        EXPECT_TRUE(g.GetRowSelect(4)) << c.Name;
        EXPECT_FALSE(g.GetRowSelect(2)) << c.Name;
        EXPECT_FALSE(g.GetRowSelect(1)) << c.Name;
    }
}

TEST(GridRows, DuplicatesLeaveFooterRowsAndClearingGuards)
{
    TProStringGrid g(nullptr);
    g.SetColCount(3);
    LoadKeys(g, {"a", "A", "b", "a", "a"});
    g.SetFixedFooters(1);
    g.RemoveDuplicateRows(1, true);
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"a", "b", "a"}));   // the footer "a" stays

    g.ClearRowRange(1, 0);
    EXPECT_EQ(g.Cells(1, 1), "a");
    g.ClearColumnRange(1, 1);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(g.Cells(2, 1), "p0");
}

TEST(GridRows, SplitAndMergeWalkTheScrollingRowsOfAColumn)
{
    TProStringGrid g(nullptr);
    g.SetColCount(3);
    LoadKeys(g, {"x", "x", "x", "y", "y", "y"});
    g.SetFixedFooters(1);   // the last "y" is a footer
    g.MergeColumnCells(1, true);
    EXPECT_EQ(g.CellSpan(1, 1).Y, 2);   // three rows
    EXPECT_EQ(g.CellSpan(1, 4).Y, 1);   // two rows, the footer left out
    EXPECT_TRUE(g.IsMergedCell(1, 5));
    EXPECT_FALSE(g.IsMergedCell(1, 6));
    g.SplitColumnCells(1);
    for (int r = 1; r < g.RowCount(); ++r) EXPECT_FALSE(g.IsMergedAcrossRows(1, r)) << r;
}
