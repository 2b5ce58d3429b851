// The grid's sorts against the row-moving quicksort they replace, on random
// grids with many equal keys: every comparison style (fixed for the sort and
// asked at every comparison), both directions, fixed and footer rows, hidden
// rows, node groups and index lists. Each row's cells, cell records, height,
// modified mark and selection flag must end where the reference puts them.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"

namespace {
// A grid whose format comes from an override, once per column and sort.
struct TStyledGrid : TProStringGrid {
    TStyledGrid() : TProStringGrid(nullptr) {}
    std::vector<TSortStyle> Styles;
    void GetCellFormat(int ACol, TSortStyle& AStyle, AnsiString& APrefix, AnsiString& ASuffix) override
    {
        if (std::size_t(ACol) < Styles.size()) AStyle = Styles[std::size_t(ACol)];
    }
};

int Sign(int V)
{
    return (V > 0) - (V < 0);
}

// ---------------------------------------------------------------- the reference
// The pivot row is copied into the scratch row below the rows; rows are
// exchanged one pair at a time by SwapRows; both parts recurse.
void ReferenceQuickSort(TProStringGrid& G, int Lo, int Hi, const std::function<int(int, int)>& Cmp, int Sign,
                        bool SwapEqual)
{
    int i = Lo, j = Hi;
    int pivot = G.RowCount() - 2;
    for (int c = 0; c < G.AllColCount(); ++c) {
        G.SetGridCell(c, pivot, G.GetGridCell(c, (Lo + Hi) / 2));
        G.SetGridObject(c, pivot, G.GetGridObject(c, (Lo + Hi) / 2));
    }
    do {
        while (Cmp(pivot, i) == Sign && i < Hi) ++i;
        while (Cmp(j, pivot) == Sign && j > Lo) --j;
        if (i <= j) {
            if (i != j && (SwapEqual || Cmp(i, j) != 0)) G.SwapRows(i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (Lo < j) ReferenceQuickSort(G, Lo, j, Cmp, Sign, SwapEqual);
    if (i < Hi) ReferenceQuickSort(G, i, Hi, Cmp, Sign, SwapEqual);
}

// AKind: 0 one column, 1 indexed, 2 groups, 3 groups indexed.
void ReferenceSort(TProStringGrid& G, int AKind)
{
    if (G.RowCount() != G.RowOrder()->Count()) G.ResetRowOrder();
    if (AKind == 0) G.SortIndexes()->Clear();
    bool indexed = AKind == 1 || AKind == 3;
    int rows = G.RowCount();
    G.SetRowCount(rows + 3);
    int sign = G.SortSettings()->Direction() == sdDescending ? -1 : 1;
    int col = G.SortSettings()->Column();
    auto sortRange = [&](int Lo, int Hi) {
        if (Lo >= Hi) return;
        if (indexed)
            ReferenceQuickSort(G, Lo, Hi, [&G](int A, int B) { return G.CompareRowsIndexed(0, A, B); }, 1, true);
        else ReferenceQuickSort(G, Lo, Hi, [&G, col](int A, int B) { return G.CompareRows(col, A, B); }, sign, false);
    };
    int lo = G.FixedRows(), hi = rows - 1 - G.FixedFooters();
    if (AKind < 2) {
        sortRange(lo, hi);
    } else {
        int deepest = -1;
        for (int r = lo; r <= hi; ++r)
            if (G.IsNodeRow(r)) deepest = std::max(deepest, G.GetNodeLevel(G.RealRowIndex(r)));
        for (int r = lo; r <= hi && deepest >= 0; ++r) {
            int real = G.RealRowIndex(r);
            if (!G.IsNodeRow(r) || G.GetNodeLevel(real) != deepest || G.GetNodeState(real)) continue;
            int span = G.GetNodeSpan(real);
            if (span > 2) sortRange(r + 1, std::min(r + span - 1, hi));
        }
    }
    for (int r = rows; r < rows + 3; ++r)
        for (int c = 0; c < G.AllColCount(); ++c) G.ResetCell(c, r);
    G.SetRowCount(rows);
}

// ---------------------------------------------------------------- random grids
struct TScenario {
    unsigned Seed;
    int Kind;              // as ReferenceSort
    int Format;            // 0 automatic, 1 plain, 2 no case, 3 override per column, 4 OnGetFormat per column
    bool Hidden;           // some rows hidden
};

const char* const Pool[] = {"", "a", "A", "ab", "Ab", "abc", "ABC", "Łódź", "łąka", "Lublin", "Zabrze", "zebra",
                            "10", "9", "1.5", "-3", "0", "1,200.50", "01-02-2020", "12-11-2019", "05-01-2021 10:00",
                            "12:30", "9:05", "<b>x</b>", "<i>b</i>", "x-y", "xy", "x'y", "|\\0041", "abc$", "$12"};

void Build(TProStringGrid& G, const TScenario& S, std::vector<TSortStyle>& AStyles)
{
    std::mt19937 rng(S.Seed);
    auto pick = [&rng](int N) { return int(rng() % unsigned(N)); };
    const int cols = 5;
    int rows = 4 + pick(40);
    G.SetColCount(cols);
    G.SetRowCount(rows);
    G.SetFixedRows(std::min(pick(3), rows - 2));
    G.SetFixedFooters(pick(2));
    G.ShowModified()->SetEnabled(true);
    G.MouseActions()->SetDisjunctRowSelect(true);
    G.Navigation()->SetMoveRowOnSort(true);
    // Few distinct keys per column, so that ties are common and reach the
    // columns to the right.
    std::vector<std::vector<int>> keys(cols);
    for (auto& k : keys)
        for (int n = 1 + pick(6); n > 0; --n) k.push_back(pick(int(std::size(Pool))));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const auto& k = keys[std::size_t(c)];
            G.SetCells(c, r, Pool[k[std::size_t(pick(int(k.size())))]]);
            if (pick(6) == 0) G.SetCellBrushColor(c, r, TColor(0x10000 * (r + 1) + c));
            if (c == 3 && pick(4) == 0) {
                TCellGraphic* g = G.CreateCellGraphic(c, r);
                g->CellType = ctCheckBox;
                g->CellBoolean = pick(2) == 0;
            }
        }
        G.SetRowHeights(r, 20 + pick(3));
        G.SetRowModified(r, pick(3) == 0);
        G.SetRowSelect(r, pick(3) == 0);
    }
    TSortSettings* ss = G.SortSettings();
    ss->SetColumn(1 + pick(cols - 1));
    ss->SetDirection(pick(2) ? sdDescending : sdAscending);
    ss->SetFull(pick(5) != 0);
    ss->SetIgnoreBlanks(pick(3) == 0);
    ss->SetBlankPos(pick(2) ? blLast : blFirst);
    ss->SetAutoFormat(S.Format == 0 || S.Format >= 3);
    ss->SetIgnoreCase(S.Format == 2 || (S.Format != 1 && pick(2) == 0));
    if (S.Kind == 1 || S.Kind == 3)
        for (int n = 1 + pick(3); n > 0; --n) G.SortIndexes()->AddIndex(1 + pick(cols - 1), pick(2) == 0);
    AStyles.clear();
    for (int c = 0; c < cols; ++c) AStyles.push_back(TSortStyle(pick(ssAlphaNumericNoCase + 1)));
    TProStringGrid* grid = &G;
    if (S.Format >= 3) {
        // Only styles given per column reach these; without them the sort
        // reads the texts where the grid keeps them.
        G.OnCustomCompare = [](TObject*, const AnsiString& A, const AnsiString& B, int& Res) {
            Res = Sign(int(A.size()) - int(B.size()));
        };
        G.OnRawCompare = [grid](TObject*, int ACol, int R1, int R2, int& Res) {
            Res = Sign(grid->GetGridCell(ACol, R1).compare(grid->GetGridCell(ACol, R2)));
        };
    }
    if (S.Seed % 5 == 0)
        G.OnGetDisplText = [](TObject*, int ACol, int ARow, AnsiString& AValue) {
            if (ACol == 2 && !AValue.empty())
                AValue = AValue.substr(0, 1);   // fewer distinct texts: more ties
        };
    if (S.Format == 4) {
        std::vector<TSortStyle> styles = AStyles;
        G.OnGetFormat = [styles](TObject*, int ACol, TSortStyle& AStyle, AnsiString&, AnsiString&) {
            AStyle = styles[std::size_t(ACol)];
        };
    }
    int first = G.FixedRows(), last = rows - 1 - G.FixedFooters();
    if (S.Kind >= 2) {
        // Nodes at two levels; some contracted nodes are left alone.
        for (int r = first; r <= last - 2;) {
            int span = 2 + pick(8);
            if (r + span - 1 > last) break;
            G.AddNode(r, span);
            if (span > 4 && pick(2) == 0) G.AddNode(r + 1, 2 + pick(span - 3));
            r += span;
        }
    } else if (S.Hidden && last - first > 4) {
        int from = first + pick(last - first - 2);
        G.HideRows(from, from + pick(3));
    }
}

struct TCellState {
    std::string Text;
    TColor Colour;
    bool Checked;
    bool operator==(const TCellState&) const = default;
};

struct TRowState {
    std::vector<TCellState> Cells;
    int Height;
    bool Modified;
    int Order;
    bool operator==(const TRowState&) const = default;
};

void PrintTo(const TRowState& S, std::ostream* Os)
{
    *Os << "{";
    for (const TCellState& c : S.Cells)
        *Os << "\"" << c.Text << "\"/" << std::hex << unsigned(c.Colour) << std::dec << (c.Checked ? "/x" : "") << " ";
    *Os << "h" << S.Height << (S.Modified ? " m" : "") << " o" << S.Order << "}";
}

std::vector<TRowState> Snapshot(TProStringGrid& G)
{
    std::vector<TRowState> rows;
    for (int r = 0; r < G.RowCount(); ++r) {
        TRowState s;
        for (int c = 0; c < G.AllColCount(); ++c) {
            bool checked = false;
            G.GetCheckBoxState(c, G.RealRowIndex(r), checked);
            s.Cells.push_back({G.GetGridCell(c, r), G.GetCellBrushColor(c, r), checked});
        }
        s.Height = G.RowHeights(r);
        s.Modified = G.GetRowModified(r);
        s.Order = r < G.RowOrder()->Count() ? G.RowOrder()->GetItem(r) : -1;
        rows.push_back(s);
    }
    return rows;
}

std::vector<bool> SelectFlags(TProStringGrid& G)
{
    std::vector<bool> flags;
    for (int r = 0; r < G.RowCount() + G.NumHiddenRows(); ++r) flags.push_back(G.GetRowSelect(r));
    return flags;
}

std::string Describe(const TScenario& S)
{
    return "seed " + std::to_string(S.Seed) + " kind " + std::to_string(S.Kind) + " format " +
           std::to_string(S.Format) + (S.Hidden ? " hidden rows" : "");
}

void Sort(TProStringGrid& G, int AKind)
{
    switch (AKind) {
    case 0: G.SortRows(); break;
    case 1: G.SortRowsIndexed(); break;
    case 2: G.SortGroups(); break;
    default: G.SortGroupsIndexed(); break;
    }
}
}  // namespace

TEST(GridSortEquivalence, SortsGiveTheRowsOfTheRowMovingQuicksort)
{
    DotFormatSettings dot;
    int scenarios = 0;
    for (unsigned seed = 1; seed <= 60; ++seed)
        for (int kind = 0; kind < 4; ++kind)
            for (int format = 0; format < 5; ++format) {
                TScenario s{seed * 131 + unsigned(kind * 7 + format), kind, format, seed % 3 == 0};
                TStyledGrid fast, reference;
                std::vector<TSortStyle> styles;
                Build(fast, s, styles);
                if (format == 3) fast.Styles = styles;
                Build(reference, s, styles);
                if (format == 3) reference.Styles = styles;
                std::vector<TRowState> before = Snapshot(fast);

                Sort(fast, kind);
                ReferenceSort(reference, kind);
                ASSERT_EQ(Snapshot(fast), Snapshot(reference)) << Describe(s);
                ASSERT_EQ(SelectFlags(fast), SelectFlags(reference)) << Describe(s);
                ASSERT_EQ(fast.RowCount(), reference.RowCount()) << Describe(s);

                // UnSort brings back the rows as they were before the sort.
                fast.UnSort();
                std::vector<TRowState> after = Snapshot(fast);
                for (std::size_t r = 0; r < after.size(); ++r) {
                    after[r].Order = before[r].Order;   // the list was reset by the sort
                    ASSERT_EQ(after[r], before[r]) << Describe(s) << " row " << r;
                }
                ++scenarios;
            }
    EXPECT_EQ(scenarios, 60 * 4 * 5);
}

// Large columns of one kind (texts, upper-cased texts, numbers, blanks set
// apart) with many equal keys, the ties decided by the next columns or not at
// all: the quicksort's order of equal rows is kept. The next column holds
// numbers, or numbers and texts (which the ranks cannot order, so that its
// cells are compared by the quicksort); the last one a name per row or a few
// values, which leaves rows equal in every column.
TEST(GridSortEquivalence, LargeColumnsOfOneKindKeepTheQuicksortOrder)
{
    DotFormatSettings dot;
    enum { Numbers, Mixed };
    struct TCase {
        const char* Name;
        int Distinct;
        bool Numbers, NoCase, Blanks, Full;
        TSortDirection Direction;
        int Next = Numbers;
        int LastDistinct = 0;   // 0: a name per row
    } cases[] = {
        {"texts, ties decided", 300, false, false, false, true, sdAscending},
        {"texts, ties left", 300, false, false, true, false, sdDescending},
        {"no case, ties decided", 40, false, true, false, true, sdDescending},
        {"numbers, ties left", 50, true, false, true, false, sdAscending},
        {"numbers, ties decided", 5000, true, false, false, true, sdDescending},
        {"numbers, few ties left", 200000, true, false, false, false, sdDescending},
        {"texts, few ties left", 50000, false, false, false, false, sdAscending},
        {"texts, three keys, ties left", 3, false, false, false, false, sdAscending},
        {"numbers, two keys, ties left", 2, true, false, true, false, sdDescending},
        {"texts, ties left by the last column", 40, false, false, false, true, sdAscending, Numbers, 7},
        {"numbers, ties left by the last column", 40, true, false, false, true, sdDescending, Numbers, 3},
        {"texts, ties decided by mixed cells", 40, false, false, false, true, sdDescending, Mixed, 5},
        {"no case, ties decided by mixed cells", 300, false, true, true, true, sdAscending, Mixed},
    };
    for (const TCase& t : cases) {
        std::mt19937 rng(77);
        TProStringGrid fast(nullptr), reference(nullptr);
        for (TProStringGrid* g : {&fast, &reference}) {
            g->SetColCount(4);
            g->SetRowCount(3001);
            g->SortSettings()->SetColumn(1);
            g->SortSettings()->SetDirection(t.Direction);
            g->SortSettings()->SetFull(t.Full);
            g->SortSettings()->SetIgnoreCase(t.NoCase);
            g->SortSettings()->SetIgnoreBlanks(t.Blanks);
        }
        for (int r = 1; r <= 3000; ++r) {
            int k = int(rng() % unsigned(t.Distinct));
            std::string key = t.Numbers ? std::to_string(k - t.Distinct / 2) + "." + std::to_string(k % 7)
                                        : std::string(k % 2 ? "Łąka " : "łąka ") + std::string(std::size_t(k % 13), 'x') +
                                              std::to_string(k);
            if (t.Blanks && k % 9 == 0) key.clear();
            unsigned v = rng() % 2000;
            std::string next = std::to_string(v);
            if (t.Next == Mixed)   // a few numbers and texts
                next = v % 3 ? std::to_string(v % 9) : "x" + std::to_string(v % 4);
            std::string last =
                t.LastDistinct ? std::to_string(rng() % unsigned(t.LastDistinct)) : "r" + std::to_string(r);
            for (TProStringGrid* g : {&fast, &reference}) {
                g->SetCells(1, r, key);
                g->SetCells(2, r, next);
                g->SetCells(3, r, last);
            }
        }
        fast.SortRows();
        ReferenceSort(reference, 0);
        ASSERT_EQ(Snapshot(fast), Snapshot(reference)) << t.Name;
    }
}

// The comparisons of the list sort read each row once: a handler asked at
// every comparison still sees the texts of real rows, never of a scratch row.
TEST(GridSortEquivalence, HandlersSeeRealRowsAndTheCurrentRowFollows)
{
    TProStringGrid g(nullptr);
    LoadKeys(g, {"d", "b", "a", "c", "b"});
    std::vector<int> rowsSeen;
    g.OnGetFormat = [](TObject*, int, TSortStyle& AStyle, AnsiString&, AnsiString&) { AStyle = ssRaw; };
    g.OnRawCompare = [&](TObject*, int ACol, int R1, int R2, int& Res) {
        rowsSeen.push_back(R1);
        rowsSeen.push_back(R2);
        Res = Sign(g.Cells(ACol, R1).compare(g.Cells(ACol, R2)));
    };
    g.Navigation()->SetMoveRowOnSort(true);
    g.SetRow(4);   // "c"
    g.SortByColumn(1, sdAscending);
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"a", "b", "b", "c", "d"}));
    EXPECT_EQ(g.Row(), 4);
    for (int r : rowsSeen) EXPECT_TRUE(r >= 1 && r <= 5) << r;
}

TEST(GridSortEquivalence, CellControlsTravelWithTheirRows)
{
    TProStringGrid g(nullptr);
    LoadKeys(g, {"c", "a", "b"});
    auto* button = new TButton(nullptr);
    g.CellControls()->Add(2, 1, button);   // on the row of "c"
    g.SortByColumn(1, sdAscending);
    EXPECT_EQ(g.Cells(1, 3), "c");
    ASSERT_EQ(g.CellControls()->Count(), 1);
    EXPECT_EQ(g.CellControls()->Items(0)->Y, 3);
    g.UnSort();
    EXPECT_EQ(g.CellControls()->Items(0)->Y, 1);
    delete button;
}

// A large grid sorted, grouped, ungrouped and put back (also run under the
// address sanitizer): every row comes back with its texts and record.
TEST(GridSortEquivalence, LargeGridSortsGroupsUngroupsAndUnsorts)
{
    const int n = 100000, keys = 1000;
    TProStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(n + 1);
    std::vector<std::string> before;
    for (int r = 1; r <= n; ++r) {
        std::string key = "K" + std::to_string(1000 + (unsigned(r) * 2654435761u) % keys);
        g.SetCells(1, r, "n" + std::to_string(r));
        g.SetCells(2, r, key);
        g.SetCells(3, r, std::to_string(r % 97));
        if (r % 500 == 0) g.SetCellBrushColor(1, r, clRed);
        before.push_back(g.Cells(1, r) + "|" + key + "|" + g.Cells(3, r));
    }
    g.SortByColumn(3, sdDescending);
    for (int r = 2; r <= n; r += 991) ASSERT_GE(std::stoi(g.Cells(3, r - 1)), std::stoi(g.Cells(3, r))) << r;
    g.GroupByColumn(2);
    ASSERT_EQ(g.RowCount(), n + 1 + keys);
    ASSERT_EQ(g.GetGridCell(1, 1), "K1999");   // grouping sorts in the direction last used
    g.UnGroup();
    ASSERT_EQ(g.RowCount(), n + 1);
    g.UnSort();
    for (int r = 1; r <= n; ++r) {
        ASSERT_EQ(g.Cells(1, r) + "|" + g.Cells(2, r) + "|" + g.Cells(3, r), before[std::size_t(r - 1)]) << r;
        ASSERT_EQ(g.GetCellBrushColor(1, r) == clRed, r % 500 == 0) << r;
    }
}

namespace {
// Every text and every record field of a grid, row by row, with the hidden
// rows, node states and the group column.
std::vector<std::string> GroupedState(TProStringGrid& G)
{
    std::vector<std::string> rows;
    for (int r = 0; r < G.RowCount(); ++r) {
        std::string row = std::to_string(G.RowHeights(r)) + (G.IsNodeRow(r) ? " node" : "") +
                          (G.IsSummaryRow(r) ? " summary" : "");
        for (int c = 0; c < G.AllColCount(); ++c) {
            row += " | " + G.GetGridCell(c, r);
            if (!G.HasCellProperties(c, r)) continue;
            TCellProperties* p = G.CellProperties(c, r);
            for (int v : {int(p->Alignment()), int(p->VAlignment()), int(p->WordWrap()), p->FontSize(),
                          int(p->FontStyle()), int(p->FontColor()), int(p->BrushColor()), int(p->BrushColorTo()),
                          int(p->BrushStyle()), int(p->GradientDirection()), p->NodeLevel(), p->CellSpanX(),
                          p->CellSpanY(), int(p->IsBaseCell()), p->BorderWidth(), int(p->BorderColor()),
                          int(p->Editor()), int(p->ReadOnly()), int(p->CalcType())})
                row += " " + std::to_string(v);
            row += " " + p->FontName() + (p->CellObject() || p->Control() ? " object" : "");
            if (auto* g = dynamic_cast<TCellGraphic*>(p->GraphicObject()))
                row += " graphic " + std::to_string(g->CellType) + "/" + std::to_string(g->CellIndex);
        }
        rows.push_back(row);
    }
    rows.push_back("hidden " + std::to_string(G.NumHiddenRows()) + " group " + std::to_string(G.GroupColumn()));
    return rows;
}

void PrepareForGrouping(TProStringGrid& G)
{
    G.SetColCount(5);
    G.SetRowCount(3001);
    G.Grouping()->SetSummary(true);
}

void FillForGrouping(TProStringGrid& G)
{
    PrepareForGrouping(G);
    for (int r = 1; r <= 3000; ++r) {
        G.SetCells(1, r, "n" + std::to_string(r));
        G.SetCells(2, r, "K" + std::to_string((unsigned(r) * 2654435761u) % 61));
        G.SetCells(3, r, std::to_string(r % 7));
        G.SetCells(4, r, r % 5 ? "" : "uwagi");
        if (r % 11 == 0) G.SetCellBrushColor(1, r, clRed);
    }
}

// A fresh grid with the rows of an ungrouped one in their present order.
void FillAsRows(TProStringGrid& AFrom, TProStringGrid& ATo)
{
    PrepareForGrouping(ATo);
    for (int r = 1; r <= 3000; ++r) {
        for (int c = 1; c < 5; ++c) ATo.SetCells(c, r, AFrom.GetGridCell(c, r));
        if (AFrom.HasCellProperties(1, r) && AFrom.GetCellBrushColor(1, r) == clRed) ATo.SetCellBrushColor(1, r, clRed);
    }
}
}  // namespace

// Cell records freed by one grid are made again for the next ones (their
// memory is kept for that): grouping on records whose memory held others,
// grouping a grouped grid again and grouping another column after ungrouping
// give what grouping a freshly filled grid with the same rows gives.
TEST(GridSortEquivalence, GroupingOnReusedRecordsGivesWhatFreshGroupingGives)
{
    DotFormatSettings dot;
    std::vector<std::string> fresh;
    {
        TProStringGrid g(nullptr);
        FillForGrouping(g);
        g.GroupByColumn(2);
        fresh = GroupedState(g);
    }
    // Records with every field away from its first value, freed at once.
    {
        TProStringGrid used(nullptr);
        used.SetColCount(5);
        used.SetRowCount(4000);
        for (int r = 0; r < 4000; ++r)
            for (int c = 0; c < 5; ++c) {
                TCellProperties* p = used.CellProperties(c, r);
                p->SetFontName("a font name longer than any short text");
                p->SetNodeLevel(7);
                p->SetCellSpanX(3);
                p->SetCellSpanY(2);
                p->SetIsBaseCell(false);
                p->SetReadOnly(true);
                p->SetEditor(edComboList);
                p->SetCalcType(3);
                p->SetBorderWidth(2);
                p->SetBrushColorTo(clLime);
                p->SetBrushStyle(bsCross);
            }
    }
    // The same steps on two grids; one of them ungroups on its own, so that
    // its rows show the order the other regroups.
    TProStringGrid grid(nullptr), twin(nullptr);
    for (TProStringGrid* g : {&grid, &twin}) {
        FillForGrouping(*g);
        g->GroupByColumn(2);
    }
    EXPECT_EQ(GroupedState(grid), fresh);
    twin.UnGroup();
    {
        TProStringGrid expected(nullptr);
        FillAsRows(twin, expected);
        expected.GroupByColumn(2);
        grid.GroupByColumn(2);   // ungroups first
        EXPECT_EQ(GroupedState(grid), GroupedState(expected));
        twin.GroupByColumn(2);
    }
    grid.UnGroup();
    twin.UnGroup();
    TProStringGrid expected(nullptr);
    FillAsRows(twin, expected);
    expected.GroupByColumn(3);
    grid.GroupByColumn(3);
    EXPECT_EQ(GroupedState(grid), GroupedState(expected));
}
