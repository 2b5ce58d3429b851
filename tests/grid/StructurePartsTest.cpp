#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"

namespace {
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
        for (int c = 0; c < G.AllColCount(); ++c)
            row += G.Cells(c, r) + "|";
        v.push_back(row);
    }
    return v;
}
}  // namespace

TEST(StructureParts, NestedNodesContractAndExpandWithAHiddenColumn)
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
    for (auto& p : parents)
        EXPECT_EQ(g.GetParentNodeRow(p.Row), p.Parent) << p.Row;

    g.ContractNode(2);
    g.ContractNode(8);
    EXPECT_EQ(ShownRows(g), (std::vector<int>{0, 1, 2, 5, 6, 7, 8, 11, 12, 13}));
    EXPECT_EQ(g.GetParentNodeRow(3), 1);   // display row 3 is stored row 5
    g.ContractNode(1);
    EXPECT_EQ(ShownRows(g), (std::vector<int>{0, 1, 7, 8, 11, 12, 13}));
    EXPECT_TRUE(g.GetNodeState(1));
    EXPECT_FALSE(g.GetNodeState(2));   // opens expanded with its parent
    EXPECT_TRUE(g.GetNodeState(8));    // the sibling was not inside
    EXPECT_EQ(g.GetNodeSpan(2), 3);    // answered from its hidden record

    g.ExpandNode(1);
    EXPECT_EQ(ShownRows(g), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13}));
    g.ExpandNode(8);
    EXPECT_EQ(g.RowCount(), 14);
    EXPECT_EQ(g.NumHiddenRows(), 0);
    g.UnHideColumn(2);
    for (int r = 0; r < 14; ++r)
        for (int c = 1; c < 4; ++c)
            EXPECT_EQ(g.Cells(c, r), "c" + std::to_string(c) + "r" + std::to_string(r));
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

namespace {
// Rows already in group order: name, category, sub-category, amount.
void FillGroups(TProStringGrid& G)
{
    const char* rows[][3] = {{"a", "x", "1"}, {"a", "x", "2"}, {"a", "y", "3"}, {"b", "x", "4"},
                             {"b", "z", "5"}, {"b", "z", "6"}, {"c", "y", "7"}};
    G.SetColCount(5);
    G.SetRowCount(9);
    G.SetFixedFooters(1);
    G.SetCells(1, 0, "Nazwa");
    G.SetCells(2, 0, "Podkategoria");
    G.SetCells(3, 0, "Kategoria");
    G.SetCells(4, 0, "Kwota");
    for (int r = 1; r <= 7; ++r) {
        G.SetCells(1, r, "n" + std::to_string(r));
        G.SetCells(3, r, rows[r - 1][0]);
        G.SetCells(2, r, rows[r - 1][1]);
        G.SetCells(4, r, rows[r - 1][2]);
    }
    G.SetCells(3, 8, "stopka");
    G.SetCells(4, 8, "28");
    G.SortSettings()->SetAutoSortForGrouping(false);
}
}  // namespace

TEST(StructureParts, UnGroupRestoresEveryRowWithHeaderAndFooterText)
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
}

TEST(StructureParts, SubGroupNestsInsideGroupsAndRemoveNodeLevelTakesItBack)
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

TEST(StructureParts, MovedRowsAndColumnsTakeEveryCellControlAlong)
{
    struct Case {
        bool Rows;
        int From, To;
        std::vector<int> After;   // where the controls at 1..5 end up
    } cases[] = {
        {true, 4, 1, {2, 3, 4, 1, 5}}, {true, 1, 4, {4, 1, 2, 3, 5}},
        {false, 4, 1, {2, 3, 4, 1, 5}}, {false, 2, 3, {1, 3, 2, 4, 5}},
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        Fill(g, 7, 7);
        for (int i = 1; i <= 5; ++i)
            g.CellControls()->Add(c.Rows ? 6 : i, c.Rows ? i : 6, nullptr);
        if (c.Rows)
            g.MoveRow(c.From, c.To);
        else
            g.MoveColumn(c.From, c.To);
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

TEST(StructureParts, ScrollInViewCentresAnOutsideCellAndCapsAtTheEnd)
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
        EXPECT_EQ(g.LeftCol(), c.Left) << c.Col << "," << c.Row;
        EXPECT_EQ(g.TopRow(), c.Top) << c.Col << "," << c.Row;
        if (c.Moves) {
            EXPECT_TRUE(g.Col() == c.Col || g.Row() == c.Row) << c.Col << "," << c.Row;
        } else {
            EXPECT_EQ(g.Col(), 1);
            EXPECT_EQ(g.Row(), 1);
        }
    }
}

TEST(StructureParts, PicturesFitWithMarginsByMode)
{
    struct Case {
        int Mode, PicW, PicH, Margin;
        int W, H;
    } cases[] = {
        {1, 10, 10, 6, 94, 44},    // the available size less the margin
        {2, 47, 22, 6, 94, 44},    // equal factors: the available size
        {2, 30, 30, 6, 44, 44},    // the height limits: width follows round(30 * 44/30)
        {2, 300, 10, 4, 96, 3},    // the width limits: round(10 * 96/300) = 3
        {3, 94, 44, 6, 94, 44},    // exactly the available size: its own size
        {3, 95, 10, 6, 94, 44},    // one pixel too wide: the available size
        {3, 10, 45, 6, 94, 44},    // too high
        {4, 94, 44, 6, 94, 44},    // fits
        {4, 188, 22, 6, 94, 11},   // too wide: halved
        {4, 20, 88, 6, 10, 44},    // too high: halved
        {5, 300, 300, 6, 300, 300},   // unknown modes keep the picture's size
        {0x102, 300, 300, 6, 44, 44}, // only the low byte is the mode
    };
    for (auto& c : cases) {
        TSize s = FittedPictureSize(c.Mode, c.PicW, c.PicH, c.Margin);
        EXPECT_EQ(s.cx, c.W) << c.Mode << " " << c.PicW << "x" << c.PicH << " m" << c.Margin;
        EXPECT_EQ(s.cy, c.H) << c.Mode << " " << c.PicW << "x" << c.PicH << " m" << c.Margin;
    }
    // Other types are not fitted.
    TCellGraphic other;
    other.CellType = ctBitmap;
    other.CellAngle = 1;
    TSize s = other.GetPictureSize(100, 50);
    EXPECT_EQ(s.cx, 0);
}

TEST(StructureParts, AssignedCopyClaimsOwnershipButHoldsNothing)
{
    auto* owner = new TCellGraphic();
    owner->CellType = ctBitmap;
    owner->CellObject = new TBitmap();
    owner->CellCreated = true;
    auto* copy = new TCellGraphic();
    copy->Assign(owner);
    EXPECT_TRUE(copy->CellCreated);
    EXPECT_EQ(copy->CellObject, nullptr);
    EXPECT_EQ(copy->CellIcon, nullptr);
    delete copy;   // frees nothing
    EXPECT_NE(owner->CellObject, nullptr);
    delete owner;
}

TEST(StructureParts, ButtonsRadioGroupsAndProgressCells)
{
    TProStringGrid g(nullptr);
    Fill(g, 6, 6);
    g.SetColWidths(2, 50);
    g.SetColWidths(4, 70);
    g.SetRowHeights(3, 30);
    g.HideColumn(1);   // display column 2 is stored column 3

    // A button at stored (3, 3): 40 x 18 at offset (5, 6).
    TCellGraphic* b = g.CreateCellGraphic(3, 3);
    b->CellType = ctButton;
    b->CellIndex = (18 << 16) | 40;
    b->CellValue = (6 << 16) | 5;
    TRect cell = g.CellRect(2, 3);
    struct Case {
        TCellHAlign H;
        TCellVAlign V;
        TRect Want;
    } cases[] = {
        {haLeft, vaTop, TRect(cell.Left + 5, cell.Top + 6, cell.Left + 45, cell.Top + 24)},
        {haFull, vaTop, TRect(cell.Left, cell.Top + 6, cell.Right, cell.Top + 24)},
        {haLeft, vaFull, TRect(cell.Left + 5, cell.Top, cell.Left + 45, cell.Bottom)},
    };
    for (auto& c : cases) {
        b->CellHAlign = c.H;
        b->CellVAlign = c.V;
        TRect r;
        g.GetCellButtonRect(2, 3, r);
        EXPECT_EQ(r, c.Want) << c.H << " " << c.V;
    }
    EXPECT_TRUE(g.HasButton(3, 3));
    g.SetCellButtonDown(2, 3, true);
    EXPECT_TRUE(b->CellBoolean);
    g.SetCellButtonDown(2, 3, false);
    EXPECT_FALSE(b->CellBoolean);
    // A node is no button.
    g.AddNode(4, 1);
    g.SetCellButtonDown(0, 4, true);
    EXPECT_FALSE(g.GetNodeState(4));

    // A radio group: the value follows the item chosen.
    TCellGraphic* radio = g.CreateCellGraphic(4, 1);
    radio->CellType = ctRadio;
    auto* items = new TStringList();
    items->SetCommaText("jeden,dwa,trzy");
    radio->CellObject = items;
    radio->CellCreated = true;
    radio->CellIndex = 1;
    int index = -5;
    EXPECT_TRUE(g.GetRadioIndex(4, 1, index));
    EXPECT_EQ(index, 1);
    for (const char* want : {"trzy", "jeden", "dwa"}) {
        g.SelectNextRadioItem(4, 1, false);
        EXPECT_EQ(g.Cells(4, 1), want);
        ASSERT_TRUE(std::holds_alternative<int>(radio->CellVar));
        EXPECT_EQ(std::get<int>(radio->CellVar), items->IndexOf(want));
    }
    // Laid out horizontally the items share one line.
    TSize vertical, horizontal;
    g.GetCellGraphicSize(4, 1, vertical);
    radio->CellBoolean = true;
    g.GetCellGraphicSize(4, 1, horizontal);
    EXPECT_EQ(vertical.cy, 3 * horizontal.cy);
    EXPECT_GT(horizontal.cx, vertical.cx);

    // Progress cells measure as their cell, by the column's display width.
    g.CreateCellGraphic(4, 3)->CellType = ctProgress;
    TSize p;
    g.GetCellGraphicSizeEx(4, 3, p, 1.0, 0, 0);
    EXPECT_EQ(p.cx, 70);
    EXPECT_EQ(p.cy, 30);
}
