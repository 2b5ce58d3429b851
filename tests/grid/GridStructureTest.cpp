#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"

namespace {
std::vector<std::string> Names(int From, int To)
{
    std::vector<std::string> v;
    for (int r = From; r <= To; ++r)
        v.push_back("r" + std::to_string(r));
    return v;
}
}

TEST(GridStructure, HiddenColumnKeepsItsCellsAndGetsItsWidthBack)
{
    TProStringGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(3);
    for (int c = 0; c < 5; ++c) {
        g.SetColWidths(c, 40 + c);
        for (int r = 0; r < 3; ++r)
            g.SetCells(c, r, "c" + std::to_string(c) + "r" + std::to_string(r));
    }
    g.HideColumn(2);
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.NumHiddenColumns(), 1);
    EXPECT_EQ(g.AllColCount(), 5);
    EXPECT_TRUE(g.IsHiddenColumn(2));
    EXPECT_FALSE(g.IsHiddenColumn(600));
    EXPECT_EQ(g.Cells(2, 1), "c2r1");
    EXPECT_EQ(g.RealColIndex(2), 3);
    EXPECT_EQ(g.DisplayColumn(3), 2);
    EXPECT_EQ(g.ColWidths(2), 43);   // display column 2 is stored column 3
    EXPECT_EQ(g.ColWidths(3), 44);

    g.UnHideColumn(2);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_FALSE(g.IsHiddenColumn(2));
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(g.ColWidths(c), 40 + c) << c;
    EXPECT_EQ(g.Cells(2, 1), "c2r1");

    // The last shown column stays.
    TProStringGrid one(nullptr);
    one.SetColCount(2);
    one.HideColumns(0, 1);
    EXPECT_EQ(one.ColCount(), 1);
    EXPECT_EQ(one.NumHiddenColumns(), 1);
}

TEST(GridStructure, DisplayAndStoredRowsMapAroundHiddenRows)
{
    TProStringGrid g(nullptr);
    FillRows(g, 8);
    g.HideRow(3);
    g.HideRow(5);
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.NumHiddenRows(), 2);
    EXPECT_EQ(g.DisplayRowIndex(6), 4);
    EXPECT_EQ(g.RealRowIndex(4), 6);
    EXPECT_TRUE(g.IsHiddenRow(3));
    EXPECT_FALSE(g.IsHiddenRow(4));
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "r2", "r4", "r6", "r7"}));
    EXPECT_EQ(g.GetCellByRealRow(1, 5), "r5");
}

// Ranges mixing hidden and shown rows: each row goes back to its own place.
TEST(GridStructure, HidingAndShowingRangesKeepsEveryRowInItsPlace)
{
    struct Case {
        const char* Name;
        std::vector<int> HiddenFirst;   // single rows hidden before
        int HideFrom, HideTo;
        int ShowFrom, ShowTo;           // -1: show all
        std::vector<std::string> Hidden, Shown;
    } cases[] = {
        {"mixed hide", {4}, 3, 6, 3, 6, {"r0", "r1", "r2", "r7", "r8", "r9"}, Names(0, 9)},
        {"mixed show", {3, 5}, 8, 8, 3, 5, {"r0", "r1", "r2", "r4", "r6", "r7", "r9"},
         {"r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7", "r9"}},
        {"show all", {1, 9}, 4, 5, -1, -1, {"r0", "r2", "r3", "r6", "r7", "r8"}, Names(0, 9)},
        {"all hidden already", {2, 3}, 2, 3, 2, 3, {"r0", "r1", "r4", "r5", "r6", "r7", "r8", "r9"}, Names(0, 9)},
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        FillRows(g, 10);
        for (int r : c.HiddenFirst)
            g.HideRow(r);
        g.HideRows(c.HideFrom, c.HideTo);
        EXPECT_EQ(ColumnTexts(g, 1, 0), c.Hidden) << c.Name;
        for (int i = 1; i < g.NumHiddenRows(); ++i)
            EXPECT_LT(static_cast<TGridItem*>(g.HiddenRowList()->Items(i - 1))->Idx,
                      static_cast<TGridItem*>(g.HiddenRowList()->Items(i))->Idx)
                << c.Name;
        if (c.ShowFrom < 0)
            g.UnHideRowsAll();
        else
            g.UnHideRows(c.ShowFrom, c.ShowTo);
        EXPECT_EQ(ColumnTexts(g, 1, 0), c.Shown) << c.Name;
    }
}

TEST(GridStructure, HiddenRowsTakeTheirRecordsAndHiddenColumnsAlong)
{
    TProStringGrid g(nullptr);
    FillRows(g, 6);
    g.SetColCount(4);
    g.SetCells(3, 4, "hidden column");
    g.AddCellComment(2, 4, "Normy się różnią !!!");
    g.SetRowHeights(4, 33);
    g.HideColumn(3);
    g.HideRows(2, 4);
    EXPECT_EQ(g.RowCount(), 3);
    g.UnHideRows(2, 4);
    AnsiString comment;
    EXPECT_TRUE(g.GetCellComment(2, 4, comment));
    EXPECT_EQ(comment, "Normy się różnią !!!");
    EXPECT_EQ(g.Cells(3, 4), "hidden column");
    EXPECT_EQ(g.RowHeights(4), 33);

    // A grid destroyed with hidden rows frees their records.
    auto* left = new TProStringGrid(nullptr);
    FillRows(*left, 5);
    left->AddCellComment(1, 3, "x");
    left->HideRow(3);
    delete left;
}

TEST(GridStructure, FilterHidesTheRowsItDoesNotMatchAndShowsThemAgain)
{
    TProStringGrid g(nullptr);
    FillRows(g, 8);
    g.OnCustomFilter = [&](TObject*, int ARow, bool& Allow) {
        Allow = (g.Cells(1, ARow).back() - '0') % 2 == 0;
    };
    g.SetFilterActive(true);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r2", "r4", "r6"}));
    EXPECT_EQ(g.NumHiddenRows(), 4);   // the header row is not filtered
    g.SetFilterActive(false);
    EXPECT_EQ(ColumnTexts(g, 1, 0), Names(0, 7));
    EXPECT_EQ(g.NumHiddenRows(), 0);
}

TEST(GridStructure, NodesContractAndExpand)
{
    TProStringGrid g(nullptr);
    FillRows(g, 12);
    g.AddNode(2, 4);    // rows 2..5
    g.AddNode(3, 2);    // nested: rows 3..4
    g.AddNode(7, 1);    // only its own row
    g.AddNode(8, 0);    // up to the end
    EXPECT_TRUE(g.HasNodes());
    EXPECT_EQ(g.GetNodeSpan(2), 4);
    EXPECT_EQ(g.GetNodeLevel(3), 2);
    EXPECT_EQ(g.GetNodeSpan(5), -1);

    g.ContractNode(7);
    EXPECT_EQ(g.RowCount(), 12);
    EXPECT_TRUE(g.GetNodeState(7));

    g.ContractNode(8);
    EXPECT_EQ(ColumnTexts(g, 1, 0), Names(0, 8));
    g.ExpandNode(8);
    EXPECT_EQ(g.RowCount(), 12);

    g.ContractNode(3);   // inner first, then the outer node
    g.ContractNode(2);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "r2", "r6", "r7", "r8", "r9", "r10", "r11"}));
    EXPECT_FALSE(g.GetNodeState(3));   // opens expanded with its parent
    g.ExpandNode(2);
    EXPECT_EQ(ColumnTexts(g, 1, 0), Names(0, 11));

    g.ContractAll();
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r1", "r2", "r6", "r7", "r8"}));
    g.ExpandAll();
    EXPECT_EQ(ColumnTexts(g, 1, 0), Names(0, 11));
    EXPECT_FALSE(g.GetNodeState(2));

    g.RemoveAllNodes();
    EXPECT_FALSE(g.HasNodes());
    EXPECT_EQ(g.GetCellType(0, 2), ctEmpty);
}

TEST(GridStructure, GroupingMakesNodesOverSortedRowsAndUngroupingGivesThemBack)
{
    const char* categories[] = {"b", "a", "c", "a", "b", "a", "c", "b", "a"};
    for (bool summary : {false, true}) {
        TProStringGrid g(nullptr);
        g.SetColCount(4);
        g.SetRowCount(10);
        g.SetColWidths(2, 55);
        g.SetCells(2, 0, "Kategoria");
        for (int r = 1; r < 10; ++r) {
            g.SetCells(1, r, "n" + std::to_string(r));
            g.SetCells(2, r, categories[r - 1]);
            g.SetCells(3, r, std::to_string(r * 10));
        }
        g.AddCellComment(3, 4, "Normy się różnią !!!");
        g.Grouping()->SetSummary(summary);
        g.Grouping()->SetShowGroupCount(true);
        g.GroupByColumn(2);

        int extra = summary ? 2 : 1;
        EXPECT_EQ(g.ColCount(), 3);
        EXPECT_EQ(g.RowCount(), 10 + 3 * extra);
        EXPECT_EQ(g.GroupColumn(), 2);
        // Groups a, b, c in order, each under its node row.
        int row = 1;
        for (auto [value, count] : {std::pair<const char*, int>{"a", 4}, {"b", 3}, {"c", 2}}) {
            ASSERT_TRUE(g.IsNodeRow(row)) << value;
            EXPECT_EQ(g.GetGridCell(1, row), value);
            EXPECT_EQ(g.Cells(1, row), std::string(value) + " (" + std::to_string(count) + ")");
            EXPECT_EQ(g.GetNodeSpan(row), count + 1);
            for (int k = 1; k <= count; ++k)
                EXPECT_FALSE(g.IsNodeRow(row + k));
            if (summary) {
                EXPECT_TRUE(g.IsSummaryRow(row + count + 1));
            }
            row += count + extra;
        }

        g.ContractNode(1);
        EXPECT_EQ(g.RowCount(), 10 + 3 * extra - 4);
        g.UnGroup();
        EXPECT_EQ(g.GroupColumn(), -1);
        EXPECT_FALSE(g.HasNodes());
        EXPECT_EQ(g.ColCount(), 4);
        EXPECT_EQ(g.RowCount(), 10);
        EXPECT_EQ(g.Cells(2, 0), "Kategoria");
        EXPECT_EQ(g.ColWidths(2), 55);
        std::vector<std::string> rows, expected;
        for (int r = 1; r < 10; ++r) {
            rows.push_back(g.Cells(1, r) + "|" + g.Cells(2, r) + "|" + g.Cells(3, r));
            expected.push_back("n" + std::to_string(r) + "|" + categories[r - 1] + "|" + std::to_string(r * 10));
        }
        std::sort(rows.begin(), rows.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows, expected) << summary;
        // Sorted by the grouped column, and the comment went with its row.
        for (int r = 2; r < 10; ++r)
            EXPECT_LE(g.Cells(2, r - 1), g.Cells(2, r));
        for (int r = 1; r < 10; ++r) {
            AnsiString comment;
            EXPECT_EQ(g.GetCellComment(3, r, comment), g.Cells(1, r) == "n4") << r;
        }
    }
}

TEST(GridStructure, MovingRowsAndColumnsTakesCellControlsAlong)
{
    TProStringGrid g(nullptr);
    FillRows(g, 6);
    g.CellControls()->Add(1, 2, nullptr);
    g.CellControls()->Add(1, 4, nullptr);
    g.CellControls()->Add(3, 5, nullptr);
    g.MoveRow(4, 1);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r4", "r1", "r2", "r3", "r5"}));
    EXPECT_EQ(g.CellControls()->GetItem(0)->Y, 3);
    EXPECT_EQ(g.CellControls()->GetItem(1)->Y, 1);
    EXPECT_EQ(g.CellControls()->GetItem(2)->Y, 5);
    g.MoveColumn(1, 3);
    EXPECT_EQ(g.Cells(3, 1), "r4");
    EXPECT_EQ(g.CellControls()->GetItem(0)->X, 3);
    EXPECT_EQ(g.CellControls()->GetItem(2)->X, 2);
}

TEST(GridStructure, HiddenSelectionComesBackOrFallsToTheFirstDataCell)
{
    TProStringGrid g(nullptr);
    g.SetColCount(5);
    g.SetRowCount(8);
    g.SetSelection(TGridRect(2, 3, 3, 5));
    g.HideSelection();
    EXPECT_TRUE(g.SelectionHidden());
    // The selection waits beyond the last column and row.
    EXPECT_EQ(g.Selection(), TGridRect(5, 8, 5, 8));
    EXPECT_FALSE(g.IsSelected(2, 3));
    // Hiding again keeps the first rectangle.
    g.HideSelection();
    g.UnHideSelection();
    EXPECT_FALSE(g.SelectionHidden());
    EXPECT_EQ(g.Selection(), TGridRect(2, 3, 3, 5));

    g.HideSelection();
    g.SetRowCount(3);
    g.UnHideSelection();
    EXPECT_EQ(g.Selection().Top, 1);
    EXPECT_EQ(g.Selection().Left, 1);
}

// Grouping gives each grouped row a record in the node column. Those records
// equal the ones the full style resolution makes, whether the handlers that
// would be asked are assigned or not, and an assigned handler is asked per row.
TEST(GridStructure, GroupedRowsGetTheNodeColumnRecordsTheStyleHooksGive)
{
    const char* keys[] = {"b", "a", "c", "a", "b", "a", "c", "b", "a", "c", "a"};
    auto make = [&](TProStringGrid& g) {
        g.SetColCount(4);
        g.SetRowCount(12);
        g.FixedFont()->SetName("Tahoma");
        g.FixedFont()->SetSize(11);
        g.FixedFont()->SetStyle(fsBold);
        g.FixedFont()->SetColor(clMaroon);
        g.SetFixedColor(clYellow);
        g.SetDefaultWordWrap(false);
        for (int r = 1; r < 12; ++r) {
            g.SetCells(1, r, "n" + std::to_string(r));
            g.SetCells(2, r, keys[r - 1]);
        }
    };
    auto record = [](TProStringGrid& g, int r) {
        TCellProperties* p = g.CellProperties(0, r);
        return std::to_string(p->Alignment()) + "|" + std::to_string(p->VAlignment()) + "|" +
               std::to_string(p->WordWrap()) + "|" + p->FontName() + "|" + std::to_string(p->FontSize()) + "|" +
               std::to_string(p->FontStyle()) + "|" + std::to_string(p->FontColor()) + "|" +
               std::to_string(p->BrushColor()) + "|" + std::to_string(p->BrushColorTo()) + "|" +
               std::to_string(p->GradientDirection()) + "|" + std::to_string(p->NodeLevel());
    };
    for (bool bands : {false, true}) {
        TProStringGrid plain(nullptr), asked(nullptr);
        make(plain);
        make(asked);
        plain.Bands()->SetActive(bands);
        asked.Bands()->SetActive(bands);
        std::vector<int> wrapRows;
        asked.OnGetWordWrap = [&](TObject*, int ACol, int ARow, bool&) {
            if (ACol == 0)
                wrapRows.push_back(ARow);
        };
        plain.GroupByColumn(2);
        asked.GroupByColumn(2);
        ASSERT_EQ(plain.RowCount(), 15);
        for (int r = 1; r < plain.RowCount(); ++r) {
            EXPECT_EQ(record(plain, r), record(asked, r)) << r << " " << bands;
            EXPECT_EQ(plain.CellProperties(0, r)->FontName(), "Tahoma");
            EXPECT_EQ(plain.CellProperties(0, r)->NodeLevel(), 1);
        }
        // The handler was asked for every row's record: headers and grouped rows.
        for (int r = 1; r < asked.RowCount(); ++r)
            EXPECT_NE(std::find(wrapRows.begin(), wrapRows.end(), r), wrapRows.end()) << r;
    }
    // A colour handler decides each record on its own row.
    TProStringGrid coloured(nullptr);
    make(coloured);
    coloured.OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont* AFont) {
        if (ACol == 0)
            AFont->SetColor(ARow % 2 ? clRed : clBlue);
    };
    coloured.GroupByColumn(2);
    for (int r = 1; r < coloured.RowCount(); ++r)
        EXPECT_EQ(coloured.CellProperties(0, r)->FontColor(), r % 2 ? clRed : clBlue) << r;
}
