#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "tests/common/GridTest.h"

namespace {
// Header row 0; column 1 the keys, column 2 each row's first position "p<n>".
void Load(TProStringGrid& G, const std::vector<std::string>& Keys)
{
    G.SetColCount(3);
    LoadKeys(G, Keys);
}

using Strings = std::vector<std::string>;
}  // namespace

// Rows that compare equal stay where the grid's quicksort leaves them: the
// one-column sort never exchanges equal rows, the indexed sort does.
TEST(ServicesParts, QuicksortLeavesEqualRowsWhereItsExchangesPutThem)
{
    struct Case {
        const char* Name;
        Strings Keys;
        std::function<void(TProStringGrid&)> Sort;
        Strings Order;
    } cases[] = {
        {"ascending", {"b", "a", "b", "a"}, [](TProStringGrid& g) { g.SortByColumn(1, sdAscending); },
         {"p3", "p1", "p2", "p0"}},
        {"descending", {"b", "a", "b", "a"}, [](TProStringGrid& g) { g.SortByColumn(1, sdDescending); },
         {"p0", "p2", "p1", "p3"}},
        {"all equal", {"x", "x", "x", "x"}, [](TProStringGrid& g) { g.SortByColumn(1, sdAscending); },
         {"p0", "p1", "p2", "p3"}},
        {"indexed, all equal", {"x", "x", "x", "x"},
         [](TProStringGrid& g) {
             g.SortIndexes()->Add(1);
             g.SortRowsIndexed();
         },
         {"p2", "p3", "p0", "p1"}},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        Load(g, c.Keys);
        g.SortSettings()->SetFull(false);   // column 2 must not break the ties
        c.Sort(g);
        EXPECT_EQ(ColumnTexts(g, 2), c.Order) << c.Name;
    }
}

TEST(ServicesParts, ComparisonStylesAndTheirDetection)
{
    DotFormatSettings locale;
    using Setup = std::function<void(TProStringGrid&)>;
    auto style = [](TSortStyle S, const char* Prefix = "", const char* Suffix = "") -> Setup {
        return [=](TProStringGrid& g) {
            g.OnGetFormat = [=](TObject*, int, TSortStyle& st, AnsiString& p, AnsiString& s) {
                st = S;
                p = Prefix;
                s = Suffix;
            };
        };
    };
    auto blanks = [](TSortBlankPosition P) -> Setup {
        return [=](TProStringGrid& g) {
            g.SortSettings()->SetIgnoreBlanks(true);
            g.SortSettings()->SetBlankPos(P);
        };
    };
    struct Case {
        const char* Name;
        std::string A, B;
        Setup Prepare;
        TSortDirection Direction;
        int Expect;
    } cases[] = {
        {"numbers found", "1.5", "10", nullptr, sdAscending, -1},
        {"scientific found", "2e3", "300", nullptr, sdAscending, 1},
        {"date found", "12-05-2020", "02-06-2020", nullptr, sdAscending, -1},
        {"date and time found", "01-02-2020 10:00", "01-02-2020 9:00", nullptr, sdAscending, 1},
        {"time found", "9:30", "10:15", nullptr, sdAscending, -1},
        {"no date shape: separator too far in", "12345-1", "2", nullptr, sdAscending, -1},
        {"date shape without digits is text", "a-5", "b-1", nullptr, sdAscending, -1},
        {"only the first cell decides", "abc", "1", nullptr, sdAscending, 1},
        {"no case: upper first on a tie", "abc", "ABC",
         [](TProStringGrid& g) {
             g.SortSettings()->SetAutoFormat(false);
             g.SortSettings()->SetIgnoreCase(true);
         },
         sdAscending, 1},
        {"empty equals 0", "", "0", style(ssNumeric), sdAscending, 0},
        {"two texts that are no numbers", "abc", "xyz", style(ssNumeric), sdAscending, 0},
        {"prefix and suffix dropped", "$12 net", "$9 net", style(ssNumeric, "$", " net"), sdAscending, 1},
        {"thousands only for money", "1,200", "99", style(ssFinancial), sdAscending, 1},
        {"alphanumeric, both numbers", "10", "9", style(ssAlphaNumeric), sdAscending, 1},
        {"alphanumeric, one text", "10", "9a", style(ssAlphaNumeric), sdAscending, -1},
        {"EU short date", "01/02/2020", "02/01/2020", style(ssShortDateEU), sdAscending, 1},
        {"US short date", "01/02/2020", "02/01/2020", style(ssShortDateUS), sdAscending, -1},
        {"US short date, other way", "02/01/2020", "01/02/2020", style(ssShortDateUS), sdAscending, 1},
        {"bad date is 0", "never", "01/01/1900", style(ssShortDateEU), sdAscending, -1},
        {"HTML tags left out", "<b>b</b>", "a", style(ssHTML), sdAscending, 1},
        {"custom without event", "b", "a", style(ssCustom), sdAscending, 0},
        {"blank first", "", "a", blanks(blFirst), sdAscending, -1},
        {"blank last", "", "a", blanks(blLast), sdAscending, 1},
        {"blank first, reversed for descending", "", "a", blanks(blFirst), sdDescending, 1},
        {"blank last, second cell", "a", "", blanks(blLast), sdAscending, -1},
        {"two blanks", "", "", blanks(blLast), sdAscending, 0},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        g.SetColCount(2);
        g.SetRowCount(3);
        g.SetCells(1, 1, c.A);
        g.SetCells(1, 2, c.B);
        if (c.Prepare)
            c.Prepare(g);
        EXPECT_EQ(g.CompareCells(1, 1, 2, c.Direction), c.Expect) << c.Name;
    }
}

TEST(ServicesParts, SortFrameKeepsFixedPartsAndUnSortGoesBackAfterMixedSorts)
{
    TProStringGrid g(nullptr);
    Load(g, {"c", "a", "d", "b", "foot"});
    g.SetFixedFooters(1);
    g.SetFixedCols(1);
    for (int r = 0; r < g.RowCount(); ++r)
        g.SetCells(0, r, "h" + std::to_string(r));
    g.SortSettings()->SetNormalCellsOnly(true);
    g.SetRowHeights(1, 40);
    g.ShowModified()->SetEnabled(true);
    g.SetRowModified(3, true);   // "d"

    g.SortByColumn(1, sdAscending);
    EXPECT_EQ(ColumnTexts(g, 1), (Strings{"a", "b", "c", "d", "foot"}));
    EXPECT_EQ(ColumnTexts(g, 0, 0), (Strings{"h0", "h1", "h2", "h3", "h4", "h5"}));   // column 0 stays
    EXPECT_EQ(g.Cells(1, 0), "head");
    EXPECT_EQ(g.RowHeights(3), 40);   // "c" took its height along
    EXPECT_TRUE(g.GetRowModified(4));
    EXPECT_FALSE(g.GetRowModified(3));

    g.SortIndexes()->AddIndex(2, false);
    g.SortRowsIndexed();
    EXPECT_EQ(ColumnTexts(g, 2), (Strings{"p3", "p2", "p1", "p0", "p4"}));
    g.SortByColumn(1, sdDescending);
    EXPECT_EQ(g.SortIndexes()->Count(), 0);   // a one-column sort forgets the indexes

    g.UnSort();
    EXPECT_EQ(ColumnTexts(g, 1), (Strings{"c", "a", "d", "b", "foot"}));
    EXPECT_EQ(g.RowHeights(1), 40);
    EXPECT_TRUE(g.GetRowModified(3));
    EXPECT_EQ(ColumnTexts(g, 0, 0), (Strings{"h0", "h1", "h2", "h3", "h4", "h5"}));
}

TEST(ServicesParts, GroupSortLeavesContractedGroupsAndUsesTheIndexes)
{
    TProStringGrid g(nullptr);
    Load(g, {"g1", "c", "a", "b", "g2", "z", "x", "y"});
    g.AddNode(1, 4);
    g.AddNode(5, 4);
    g.SortIndexes()->AddIndex(1, false);
    g.SortGroupsIndexed();
    EXPECT_EQ(ColumnTexts(g, 1), (Strings{"g1", "c", "b", "a", "g2", "z", "y", "x"}));

    g.ContractNode(5);   // its rows are out of sight now
    g.SortSettings()->SetColumn(1);
    g.SortGroups();
    EXPECT_EQ(ColumnTexts(g, 1), (Strings{"g1", "a", "b", "c", "g2"}));
    g.ExpandNode(5);
    EXPECT_EQ(ColumnTexts(g, 1), (Strings{"g1", "a", "b", "c", "g2", "z", "y", "x"}));
}

// Each removal keeps heights, modified marks and the selection flags of the
// rows that stay in step with their rows.
TEST(ServicesParts, EveryRemovalKeepsRowRecordsInStep)
{
    using Remove = std::function<void(TProStringGrid&, int, int)>;
    struct Case {
        const char* Name;
        Remove Run;
    } cases[] = {
        {"RemoveRows", [](TProStringGrid& g, int r, int n) { g.RemoveRows(r, n); }},
        {"DeleteRows", [](TProStringGrid& g, int r, int n) { g.DeleteRows(r, n); }},
        {"RemoveRowsEx", [](TProStringGrid& g, int r, int n) { g.RemoveRowsEx(r, n); }},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        Load(g, {"a", "b", "c", "d", "e", "f"});
        g.MouseActions()->SetDisjunctRowSelect(true);
        g.ShowModified()->SetEnabled(true);
        g.SetRowHeights(5, 37);     // "e"
        g.SetRowModified(4, true);  // "d"
        g.SetRowSelect(6, true);    // "f"
        g.SetRowSelect(2, true);    // "b", removed
        c.Run(g, 2, 2);             // "b" and "c" go
        EXPECT_EQ(ColumnTexts(g, 1), (Strings{"a", "d", "e", "f"})) << c.Name;
        EXPECT_EQ(g.RowHeights(3), 37) << c.Name;
        EXPECT_EQ(g.RowHeights(4), g.DefaultRowHeight()) << c.Name;
        EXPECT_TRUE(g.GetRowModified(2)) << c.Name;
        EXPECT_FALSE(g.GetRowModified(3)) << c.Name;
        EXPECT_TRUE(g.GetRowSelect(4)) << c.Name;
        EXPECT_FALSE(g.GetRowSelect(2)) << c.Name;
        EXPECT_FALSE(g.GetRowSelect(1)) << c.Name;
    }
}

TEST(ServicesParts, DuplicatesLeaveFooterRowsAndClearingGuards)
{
    TProStringGrid g(nullptr);
    Load(g, {"a", "A", "b", "a", "a"});
    g.SetFixedFooters(1);
    g.RemoveDuplicateRows(1, true);
    EXPECT_EQ(ColumnTexts(g, 1), (Strings{"a", "b", "a"}));   // the footer "a" stays

    g.ClearRowRange(1, 0);
    EXPECT_EQ(g.Cells(1, 1), "a");
    g.ClearColumnRange(1, 1);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (Strings{"", "", "", ""}));
    EXPECT_EQ(g.Cells(2, 1), "p0");
}

TEST(ServicesParts, SplitAndMergeWalkTheScrollingRowsOfAColumn)
{
    TProStringGrid g(nullptr);
    Load(g, {"x", "x", "x", "y", "y", "y"});
    g.SetFixedFooters(1);   // the last "y" is a footer
    g.MergeColumnCells(1, true);
    EXPECT_EQ(g.CellSpan(1, 1).Y, 2);   // three rows
    EXPECT_EQ(g.CellSpan(1, 4).Y, 1);   // two rows, the footer left out
    EXPECT_TRUE(g.IsMergedCell(1, 5));
    EXPECT_FALSE(g.IsMergedCell(1, 6));
    g.SplitColumnCells(1);
    for (int r = 1; r < g.RowCount(); ++r)
        EXPECT_FALSE(g.IsMergedAcrossRows(1, r)) << r;
}

// The stream form byte for byte: counts of the save range, the width of every
// column of the grid, then cells relative to the save range's first cell.
TEST(ServicesParts, TextStreamBytesFollowTheSaveRange)
{
    TProStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    g.SetExportFixedCells(false);
    for (int c = 0; c < 4; ++c)
        g.SetColWidths(c, 20 + c);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c)
            g.SetCells(c, r, std::to_string(c) + std::to_string(r));
    g.SetCells(2, 2, "");
    g.SetCells(1, 3, "a\r\nb");
    TMemoryStream s;
    g.WriteTextStream(&s);
    EXPECT_EQ(std::string(s.Memory(), std::size_t(s.Size())),
              "2,3\r\ncw 0,20\r\ncw 1,21\r\ncw 2,22\r\ncw 3,23\r\n"
              "0,0,11\r\n1,0,21\r\n0,1,12\r\n0,2,a\t\x08" "b\r\n1,2,23\r\n");

    // Read back into a grid of the same fixed layout: the same cells.
    TProStringGrid t(nullptr);
    t.SetColCount(2);
    t.SetRowCount(2);
    t.SetFixedCols(1);
    t.SetFixedRows(1);
    t.SetExportFixedCells(false);
    t.SetMultilinecells(true);
    s.SetPosition(0);
    t.ReadTextStream(&s);
    EXPECT_EQ(t.ColCount(), 3);
    EXPECT_EQ(t.RowCount(), 4);
    EXPECT_EQ(t.ColWidths(2), 22);
    EXPECT_EQ(t.Cells(1, 3), "a\r\nb");
    EXPECT_EQ(t.Cells(2, 1), "21");
    EXPECT_EQ(s.Position(), s.Size());
}
