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
    for (int r = From; r <= To; ++r) v.push_back("r" + std::to_string(r));
    return v;
}

// Every stored cell "c<col>r<row>".
void Fill(TProStringGrid& G, int ACols, int ARows)
{
    G.SetColCount(ACols);
    G.SetRowCount(ARows);
    NameCells(G);
}

// The shown rows by their stored number, read from column 1.
std::vector<int> ShownRows(TProStringGrid& G)
{
    std::vector<int> v;
    for (int r = 0; r < G.RowCount(); ++r) {
        std::string s = G.Cells(1, r);
        v.push_back(std::stoi(s.substr(s.find('r') + 1)));
    }
    return v;
}

// Every stored cell of every shown row, "|" between cells.
std::vector<std::string> Snapshot(TProStringGrid& G)
{
    std::vector<std::string> v;
    for (int r = 0; r < G.RowCount(); ++r) {
        std::string row;
        for (int c = 0; c < G.AllColCount(); ++c) row += G.Cells(c, r) + "|";
        v.push_back(row);
    }
    return v;
}

// Rows already in group order: name, category, sub-category, amount.
void FillGroups(TProStringGrid& G)
{
    SetGridTexts(G, "|Nazwa|Podkategoria|Kategoria|Kwota/|n1|x|a|1/|n2|x|a|2/|n3|y|a|3/|n4|x|b|4/|n5|z|b|5/"
                    "|n6|z|b|6/|n7|y|c|7/|||stopka|28");
    G.SetFixedFooters(1);
    G.SortSettings()->SetAutoSortForGrouping(false);
}
}

TEST(GridStructure, HiddenColumnKeepsItsCellsAndGetsItsWidthBack)
{
    TProStringGrid g(nullptr);
    Fill(g, 5, 3);
    for (int c = 0; c < 5; ++c) g.SetColWidths(c, 40 + c);
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
    for (int c = 0; c < 5; ++c) EXPECT_EQ(g.ColWidths(c), 40 + c) << c;
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
    for (int before : {-1, -2, -7})
        EXPECT_EQ(g.RealRowIndex(before), -1) << before;
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
        for (int r : c.HiddenFirst) g.HideRow(r);
        g.HideRows(c.HideFrom, c.HideTo);
        EXPECT_EQ(ColumnTexts(g, 1, 0), c.Hidden) << c.Name;
        for (int i = 1; i < g.NumHiddenRows(); ++i)
            EXPECT_LT(static_cast<TGridItem*>(g.HiddenRowList()->Items(i - 1))->Idx,
                      static_cast<TGridItem*>(g.HiddenRowList()->Items(i))->Idx)
                << c.Name;
        if (c.ShowFrom < 0) g.UnHideRowsAll();
        else g.UnHideRows(c.ShowFrom, c.ShowTo);
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
    int every = 2;
    g.OnCustomFilter = [&](TObject*, int ARow, bool& Allow) {
        Allow = (g.Cells(1, ARow).back() - '0') % every == 0;
    };
    g.SetFilterActive(true);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r2", "r4", "r6"}));
    EXPECT_EQ(g.NumHiddenRows(), 4);   // the header row is not filtered
    // Switched on again, a changed filter applies at once.
    every = 4;
    g.SetFilterActive(true);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"r0", "r4"}));
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
        EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(3, 10 + 3 * extra));
        EXPECT_EQ(g.GroupColumn(), 2);
        // Groups a, b, c in order, each under its node row.
        int row = 1;
        for (auto [value, count] : {std::pair<const char*, int>{"a", 4}, {"b", 3}, {"c", 2}}) {
            ASSERT_TRUE(g.IsNodeRow(row)) << value;
            EXPECT_EQ(g.GetGridCell(1, row), value);
            EXPECT_EQ(g.Cells(1, row), std::string(value) + " (" + std::to_string(count) + ")");
            EXPECT_EQ(g.GetNodeSpan(row), count + 1);
            for (int k = 1; k <= count; ++k) EXPECT_FALSE(g.IsNodeRow(row + k));
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
        EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(4, 10));
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
        for (int r = 2; r < 10; ++r) EXPECT_LE(g.Cells(2, r - 1), g.Cells(2, r));
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
    // Hidden rows keep their controls, the rows below take theirs along, however rows hide and show.
    const std::function<void()> hide[] = {[&] { g.HideRows(2, 3); }, [&] { g.HideRowList({2, 3}); }};
    const std::function<void()> show[] = {[&] { g.UnHideRows(2, 3); }, [&] { g.UnHideRowsAll(); }};
    for (auto& h : hide)
        for (auto& u : show) {
            h();
            EXPECT_LT(g.CellControls()->FindControl(3, 3), 0);
            EXPECT_GE(g.CellControls()->FindControl(2, 3), 0);
            u();
            EXPECT_GE(g.CellControls()->FindControl(3, 3), 0);
            EXPECT_GE(g.CellControls()->FindControl(2, 5), 0);
        }
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
    EXPECT_EQ(TPoint(g.Selection().Left, g.Selection().Top), TPoint(1, 1));
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
        for (TProStringGrid* g : {&plain, &asked}) {
            make(*g);
            g->Bands()->SetActive(bands);
        }
        std::vector<int> wrapRows;
        asked.OnGetWordWrap = [&](TObject*, int ACol, int ARow, bool&) {
            if (ACol == 0) wrapRows.push_back(ARow);
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
        if (ACol == 0) AFont->SetColor(ARow % 2 ? clRed : clBlue);
    };
    coloured.GroupByColumn(2);
    for (int r = 1; r < coloured.RowCount(); ++r)
        EXPECT_EQ(coloured.CellProperties(0, r)->FontColor(), r % 2 ? clRed : clBlue) << r;
}

TEST(GridStructure, NestedNodesContractAndExpandWithAHiddenColumn)
{
    TProStringGrid g(nullptr);
    Fill(g, 4, 14);
    g.HideColumn(2);
    g.AddNode(1, 6);    // rows 1..6
    g.AddNode(2, 3);    // nested: rows 2..4
    g.AddNode(8, 3);    // a sibling: rows 8..10
    EXPECT_EQ(g.GetNodeLevel(1), 1);
    EXPECT_EQ(g.GetNodeLevel(2), 2);
    EXPECT_EQ(g.GetNodeLevel(5), -1);
    struct Parent {
        int Row, Parent;
    } parents[] = {{3, 2}, {4, 2}, {5, 1}, {6, 1}, {7, -1}, {9, 8}, {2, 2}};
    for (auto& p : parents) EXPECT_EQ(g.GetParentNodeRow(p.Row), p.Parent) << p.Row;

    g.ContractNode(2);
    g.ContractNode(8);
    EXPECT_EQ(ShownRows(g), (std::vector<int>{0, 1, 2, 5, 6, 7, 8, 11, 12, 13}));
    EXPECT_EQ(g.GetParentNodeRow(3), 1);   // display row 3 is stored row 5
    g.ContractNode(1);
    EXPECT_EQ(ShownRows(g), (std::vector<int>{0, 1, 7, 8, 11, 12, 13}));
    EXPECT_EQ(g.GetNodeLevel(8), 1);   // by stored rows, also of a hidden one
    EXPECT_EQ(g.GetNodeLevel(2), 2);
    EXPECT_TRUE(g.GetNodeState(1));
    EXPECT_FALSE(g.GetNodeState(2));   // opens expanded with its parent
    EXPECT_TRUE(g.GetNodeState(8));    // the sibling was not inside
    EXPECT_EQ(g.GetNodeSpan(2), 3);    // answered from its hidden record

    g.ExpandNode(1);
    EXPECT_EQ(ShownRows(g), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13}));
    g.ExpandNode(8);
    // With ExpandOne a nested node opens inside its parent, which stays open; the sibling closes.
    g.CellNode()->SetExpandOne(true);
    g.ContractNode(2);
    g.ExpandNode(2);
    EXPECT_EQ(ShownRows(g), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13}));
    g.CellNode()->SetExpandOne(false);
    g.ExpandNode(8);
    EXPECT_EQ(g.RowCount(), 14);
    EXPECT_EQ(g.NumHiddenRows(), 0);
    g.UnHideColumn(2);
    for (int r = 0; r < 14; ++r)
        for (int c = 1; c < 4; ++c) EXPECT_EQ(g.Cells(c, r), "c" + std::to_string(c) + "r" + std::to_string(r));
    EXPECT_EQ(g.GetNodeLevel(2), 2);
    EXPECT_EQ(g.CellProperties(0, 4)->NodeLevel(), 2);
    EXPECT_EQ(g.CellProperties(0, 6)->NodeLevel(), 1);

    // Expanding a row that is no contracted node does nothing.
    g.ExpandNode(5);
    g.ExpandNode(1);
    EXPECT_EQ(g.RowCount(), 14);
    g.RemoveNode(2);
    EXPECT_EQ(g.NodeCount(), 2);
    EXPECT_EQ(g.CellProperties(0, 3)->NodeLevel(), 1);
}

TEST(GridStructure, UnGroupRestoresEveryRowWithHeaderAndFooterText)
{
    struct Case {
        bool Summary, MergeHeader;
    } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        FillGroups(g);
        g.SetColWidths(3, 77);
        std::vector<std::string> before = Snapshot(g);
        g.Grouping()->SetSummary(c.Summary);
        g.Grouping()->SetMergeHeader(c.MergeHeader);
        g.Grouping()->SetMergeSummary(c.MergeHeader);
        g.Grouping()->SetHeaderColor(clYellow);
        g.GroupByColumn(3);
        EXPECT_EQ(g.ColCount(), 4);
        EXPECT_EQ(g.Cells(3, 0), "Kwota");
        EXPECT_EQ(g.Cells(3, g.RowCount() - 1), "28");   // the footer row stays last
        EXPECT_EQ(g.RowCount(), 9 + 3 * (c.Summary ? 2 : 1));
        g.ContractNode(1);

        g.UnGroup();
        EXPECT_EQ(Snapshot(g), before) << c.Summary << c.MergeHeader;
        EXPECT_EQ(g.ColWidths(3), 77);
        EXPECT_FALSE(g.HasNodes());
        for (int r = 0; r < g.RowCount(); ++r) {
            EXPECT_EQ(g.GetCellType(0, r), ctEmpty) << r;
            EXPECT_FALSE(g.IsMergedCell(1, r)) << r;
            EXPECT_TRUE(!g.HasCellProperties(1, r) || g.CellProperties(1, r)->BrushColor() != clYellow) << r;
        }
    }
    // Grouping by a column the grouped grid has no more ungroups first.
    TProStringGrid g(nullptr);
    FillGroups(g);
    g.GroupByColumn(3);
    g.GroupByColumn(4);
    EXPECT_EQ(g.GroupColumn(), 4);
    EXPECT_EQ(g.Cells(3, 0), "Kategoria");
}

TEST(GridStructure, SubGroupSortsEachGroupsRowsFirstWithAutoSortForGrouping)
{
    for (bool sort : {false, true}) {
        TProStringGrid g(nullptr);
        FillGroups(g);
        g.SetCells(2, 2, "y"), g.SetCells(2, 3, "x");   // group a: x, y, x
        g.GroupByColumn(3);
        g.SortSettings()->SetAutoSortForGrouping(sort);
        g.SubGroup(2);
        std::string heads;   // the groups' and sub-groups' header rows, top down
        for (int r = 1; r < g.RowCount(); ++r)
            heads += !g.IsNodeRow(r) ? "" : g.GetNodeLevel(r) == 1 ? g.Cells(1, r) : g.Cells(3, r);
        EXPECT_EQ(heads, sort ? "axybxzcy" : "axyxbxzcy") << sort;
    }
}

TEST(GridStructure, SubGroupNestsInsideGroupsAndRemoveNodeLevelTakesItBack)
{
    TProStringGrid g(nullptr);
    FillGroups(g);
    g.Grouping()->SetShowGroupCount(true);
    g.GroupByColumn(3);
    // Columns now: 0, name, sub-category, amount.
    std::vector<std::string> grouped = Snapshot(g);
    ASSERT_EQ(g.RowCount(), 12);
    ASSERT_EQ(g.Cells(1, 1), "a (3)");

    g.SubGroup(2);
    // a: x(n1, n2), y(n3); b: x(n4), z(n5, n6); c: y(n7)
    struct Row {
        const char* Col1;
        const char* Col2;
        const char* Col3;
        bool Node;
        int Level;   // node level of a node row
        int Span;
    } expected[] = {
        {"a (3)", "", "", true, 1, 6}, {"", "", "x", true, 2, 3},   {"n1", "", "1", false, 0, 0},
        {"n2", "", "2", false, 0, 0},  {"", "", "y", true, 2, 2},   {"n3", "", "3", false, 0, 0},
        {"b (3)", "", "", true, 1, 6}, {"", "", "x", true, 2, 2},   {"n4", "", "4", false, 0, 0},
        {"", "", "z", true, 2, 3},     {"n5", "", "5", false, 0, 0}, {"n6", "", "6", false, 0, 0},
        {"c (1)", "", "", true, 1, 3}, {"", "", "y", true, 2, 2},   {"n7", "", "7", false, 0, 0},
    };
    ASSERT_EQ(g.RowCount(), 1 + 15 + 1);
    for (int i = 0; i < 15; ++i) {
        int r = i + 1;
        const Row& e = expected[i];
        EXPECT_EQ(e.Level == 2 ? g.GetGridCell(1, r) : g.Cells(1, r), e.Col1) << r;
        EXPECT_EQ(g.Cells(2, r), e.Col2) << r;
        EXPECT_EQ(g.Cells(3, r), e.Col3) << r;
        EXPECT_EQ(g.IsNodeRow(r), e.Node) << r;
        if (e.Node) {
            EXPECT_EQ(g.GetNodeLevel(r), e.Level) << r;
            EXPECT_EQ(g.GetNodeSpan(r), e.Span) << r;
        } else {
            EXPECT_EQ(g.CellProperties(0, r)->NodeLevel(), 2) << r;
        }
    }
    EXPECT_EQ(g.Cells(3, 16), "28");
    // Contracting a group hides its sub-groups with it.
    g.ContractNode(7);
    EXPECT_EQ(g.RowCount(), 12);
    g.ExpandNode(7);

    g.RemoveNodeLevel(2);
    EXPECT_EQ(Snapshot(g), grouped);
    g.RemoveNodeLevel(2);   // the level is gone: the column keeps its texts
    EXPECT_EQ(Snapshot(g), grouped);
    EXPECT_EQ(g.NodeCount(), 3);
    EXPECT_EQ(g.GetNodeSpan(1), 4);
    EXPECT_EQ(g.GetNodeSpan(5), 4);
    EXPECT_EQ(g.CellProperties(0, 2)->NodeLevel(), 1);
    g.UnGroup();
    EXPECT_EQ(g.RowCount(), 9);
    EXPECT_EQ(g.Cells(2, 5), "z");
    EXPECT_EQ(g.Cells(3, 5), "b");
    EXPECT_EQ(g.Cells(3, 0), "Kategoria");
    EXPECT_EQ(g.Cells(3, 8), "stopka");
}

TEST(GridStructure, MovedRowsAndColumnsTakeEveryCellControlAlong)
{
    struct Case {
        bool Rows;
        int From, To;
        std::vector<int> After;   // where the controls at 1..5 end up
        int Hidden = -1;          // a stored column hidden first (moves name shown columns)
    } cases[] = {
        {true, 4, 1, {2, 3, 4, 1, 5}}, {true, 1, 4, {4, 1, 2, 3, 5}},
        {false, 4, 1, {2, 3, 4, 1, 5}}, {false, 2, 3, {1, 3, 2, 4, 5}},
        {false, 2, 4, {1, 2, 5, 3, 4}, 1},
        // A place the grid does not have: nothing moves.
        {true, 1, 7, {1, 2, 3, 4, 5}}, {true, -1, 3, {1, 2, 3, 4, 5}}, {false, 2, 7, {1, 2, 3, 4, 5}},
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        Fill(g, 7, 7);
        if (c.Hidden >= 0) g.HideColumn(c.Hidden);
        for (int i = 1; i <= 5; ++i) g.CellControls()->Add(c.Rows ? 6 : i, c.Rows ? i : 6, nullptr);
        if (c.Rows) g.MoveRow(c.From, c.To);
        else g.MoveColumn(c.From, c.To);
        for (int i = 0; i < 5; ++i) {
            TControlListItem* item = g.CellControls()->GetItem(i);
            EXPECT_EQ(c.Rows ? item->Y : item->X, c.After[std::size_t(i)]) << c.Rows << c.From << c.To << i;
            EXPECT_EQ(c.Rows ? item->X : item->Y, 6);
        }
        // The cells moved the same way as their controls.
        for (int i = 1; i <= 5; ++i) {
            int at = c.After[std::size_t(i - 1)];
            std::string want = "c" + std::to_string(c.Rows ? 1 : i) + "r" + std::to_string(c.Rows ? i : 1);
            EXPECT_EQ(c.Rows ? g.Cells(1, at) : g.Cells(at, 1), want);
        }
    }
}

TEST(GridStructure, ScrollInViewCentresAnOutsideCellAndCapsAtTheEnd)
{
    TProStringGrid g(nullptr);
    g.SetColCount(30);
    g.SetRowCount(100);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.SetDefaultColWidth(64);
    g.SetDefaultRowHeight(22);
    int visRows = g.VisibleRowCount();
    int visCols = g.VisibleColCount();
    ASSERT_GT(visRows, 4);
    ASSERT_GT(visCols, 2);
    struct Case {
        int Col, Row;
        int Left, Top;   // expected, -1 for "unchanged from 1"
        bool Moves;
    } cases[] = {
        {2, 3, 1, 1, false},                                     // already in view
        {2, 50, 1, 50 - visRows / 2, true},                     // row centred
        {20, 3, 20 - visCols / 2, 1, true},                     // column centred
        {29, 99, 30 - (visCols - 1), 100 - (visRows - 1), true},   // capped at the end
        {2, 100, 1, 1, false},                                   // outside the grid: ignored
    };
    for (auto& c : cases) {
        g.SetTopRow(1);
        g.SetLeftCol(1);
        g.SetCol(1);
        g.SetRow(1);
        g.ScrollInView(c.Col, c.Row);
        EXPECT_EQ(TPoint(g.LeftCol(), g.TopRow()), TPoint(c.Left, c.Top)) << c.Col << "," << c.Row;
        if (c.Moves) {
            EXPECT_TRUE(g.Col() == c.Col || g.Row() == c.Row) << c.Col << "," << c.Row;
        } else {
            EXPECT_EQ(TPoint(g.Col(), g.Row()), TPoint(1, 1));
        }
    }
}
