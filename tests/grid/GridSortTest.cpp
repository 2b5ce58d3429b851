#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "tests/common/GridTest.h"

namespace {
using GridSetup = std::function<void(TProStringGrid&)>;

// The grid's sort style for every column, with the prefix and suffix the comparison drops.
GridSetup Style(TSortStyle S, const char* Prefix = "", const char* Suffix = "")
{
    return [=](TProStringGrid& g) {
        g.OnGetFormat = [=](TObject*, int, TSortStyle& st, AnsiString& p, AnsiString& s) {
            st = S;
            p = Prefix;
            s = Suffix;
        };
    };
}

// Blanks kept apart from the texts, at this end.
GridSetup Blanks(TSortBlankPosition P)
{
    return [=](TProStringGrid& g) {
        g.SortSettings()->SetIgnoreBlanks(true);
        g.SortSettings()->SetBlankPos(P);
    };
}

// Case ignored without the style's detection: upper case first on a tie.
void NoCase(TProStringGrid& g)
{
    g.SortSettings()->SetAutoFormat(false);
    g.SortSettings()->SetIgnoreCase(true);
}
}  // namespace

TEST(GridSort, SortsByTheStyleOfTheColumn)
{
    DotFormatSettings dot;
    struct Case {
        const char* Name;
        GridSetup Prepare;
        TSortDirection Direction;
        std::vector<std::string> Texts, Sorted;
    } cases[] = {
        {"numbers", nullptr, sdAscending, {"10", "1.5", "2", "-3"}, {"-3", "1.5", "2", "10"}},
        {"numbers descending", nullptr, sdDescending, {"10", "1.5", "2"}, {"10", "2", "1.5"}},
        {"plain text by bytes", nullptr, sdAscending,
         {"żaba", "zebra", "ąb", "ab", "b", "łan", "lis"}, {"ab", "b", "lis", "zebra", "łan", "ąb", "żaba"}},
        {"Polish letters by the locale", Style(ssAnsiAlphaCase), sdAscending, {"żaba", "zebra", "ąb", "ab", "b", "łan", "lis"}, {"ab", "ąb", "b", "lis", "łan", "zebra", "żaba"}},
        {"case by bytes", nullptr, sdAscending, {"b", "B", "a"}, {"B", "a", "b"}},
        // Texts that agree in their first megabyte, a field pasted again and again.
        {"texts sharing a long start", nullptr, sdAscending,
         {std::string(1 << 20, 'x') + "b", "y", std::string(1 << 20, 'x') + "a", std::string(1 << 20, 'x')},
         {std::string(1 << 20, 'x'), std::string(1 << 20, 'x') + "a", std::string(1 << 20, 'x') + "b", "y"}},
        {"no case, upper first on a tie", NoCase, sdAscending, {"abc", "b", "ABC"}, {"ABC", "abc", "b"}},
        {"dates", nullptr, sdAscending, {"05-03-2020", "01-12-2019", "20-01-2020"},
         {"01-12-2019", "20-01-2020", "05-03-2020"}},
        {"blanks last ascending", Blanks(blLast), sdAscending, {"b", "", "a", ""}, {"a", "b", "", ""}},
        {"blanks last descending", Blanks(blLast), sdDescending, {"b", "", "a", ""}, {"b", "a", "", ""}},
        {"blanks first descending", Blanks(blFirst), sdDescending, {"b", "", "a"}, {"", "b", "a"}},
        {"financial", Style(ssFinancial, "", " zł"), sdAscending, {"1,200.50 zł", "99 zł", "12,000 zł"},
         {"99 zł", "1,200.50 zł", "12,000 zł"}},
        {"custom",
         [](TProStringGrid& g) {
             Style(ssCustom)(g);
             g.OnCustomCompare = [](TObject*, const AnsiString& a, const AnsiString& b, int& r) {
                 r = a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
             };
         },
         sdAscending, {"ccc", "a", "bb"}, {"a", "bb", "ccc"}},
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        LoadKeys(g, c.Texts);
        if (c.Prepare) c.Prepare(g);
        g.SortByColumn(1, c.Direction);
        EXPECT_EQ(ColumnTexts(g, 1), c.Sorted) << c.Name;
        EXPECT_EQ(g.Cells(1, 0), "head") << c.Name;
    }
}

// The plain styles compare bytes (Windows-1250: "L" < "Z" < "Ł" < "ł"), the
// Ansi and Unicode styles the Polish word sort (l < ł < z).
TEST(GridSort, TextStylesCompareBytesOrByTheLocale)
{
    const std::vector<std::string> words = {"Łódź", "Lublin", "Zabrze", "łąka"};
    const std::vector<std::string> bytes = {"Lublin", "Zabrze", "Łódź", "łąka"};
    const std::vector<std::string> locale = {"Lublin", "łąka", "Łódź", "Zabrze"};
    struct Case {
        TSortStyle Style;
        bool Html;
        std::vector<std::string> Sorted;
    } cases[] = {
        {ssAlphabetic, false, bytes}, {ssAlphaCase, false, bytes},
        // Upper-cased "ŁĄKA" and "ŁÓDŹ" share the first byte; "Ą" is below "Ó".
        {ssAlphaNoCase, false, {"Lublin", "Zabrze", "łąka", "Łódź"}},
        {ssHTML, true, bytes}, {ssAnsiAlphaCase, false, locale}, {ssAnsiAlphaNoCase, false, locale},
        {ssUnicode, false, locale}, {ssAlphaNumeric, false, bytes},
        {ssAlphaNumericNoCase, false, {"Lublin", "Zabrze", "łąka", "Łódź"}},
    };
    for (const Case& c : cases) {
        for (TSortDirection dir : {sdAscending, sdDescending}) {
            std::vector<std::string> keys = words;
            if (c.Html)   // tags that would sort otherwise by their own bytes
                keys = {"<b>Łódź</b>", "<i>Lublin</i>", "<u>Zabrze</u>", "<a>łąka</a>"};
            TProStringGrid g(nullptr);
            LoadKeys(g, keys);
            Style(c.Style)(g);
            g.SortByColumn(1, dir);
            std::vector<std::string> expected = c.Sorted;
            if (dir == sdDescending) expected.assign(c.Sorted.rbegin(), c.Sorted.rend());
            std::vector<std::string> got;
            for (int r = 1; r < g.RowCount(); ++r)
                got.push_back(c.Html ? std::string(g.GetStrippedCell(1, r)) : std::string(g.Cells(1, r)));
            EXPECT_EQ(got, expected) << int(c.Style) << (dir == sdDescending ? " descending" : "");
        }
    }
}

TEST(GridSort, FixedAndFooterRowsStayAndTiesFollowTheNextColumn)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(6);
    g.SetFixedFooters(1);
    const char* keys[] = {"key", "b", "a", "b", "a", "total"};
    const char* next[] = {"next", "2", "9", "1", "3", "sum"};
    for (int r = 0; r < 6; ++r) {
        g.SetCells(1, r, keys[r]);
        g.SetCells(2, r, next[r]);
    }
    g.SortByColumn(1, sdAscending);
    EXPECT_EQ(ColumnTexts(g, 1, 0), (std::vector<std::string>{"key", "a", "a", "b", "b", "total"}));
    EXPECT_EQ(ColumnTexts(g, 2, 0), (std::vector<std::string>{"next", "3", "9", "1", "2", "sum"}));
}

TEST(GridSort, RowsCarryTheirRecordsHeightsAndHiddenColumns)
{
    TProStringGrid g(nullptr);
    LoadKeys(g, {"c", "a", "b"});
    g.SetCellBrushColor(1, 1, clRed);
    g.SetRowHeights(1, 40);
    g.SetColumnVisibleFlag(5, false);
    g.SetCells(5, 1, "hidden of c");   // stored column beyond the shown ones
    g.SortByColumn(1, sdAscending);
    EXPECT_EQ(g.Cells(1, 3), "c");
    EXPECT_EQ(g.GetCellBrushColor(1, 3), clRed);
    EXPECT_FALSE(g.HasCellProperties(1, 1));
    EXPECT_EQ(g.RowHeights(3), 40);
    EXPECT_EQ(g.GetGridCell(5, 3), "hidden of c");
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.GetGridCell(1, 4), "");   // scratch rows leave nothing behind
}

// Equal keys are decided by the columns shown to their right, then by the hidden ones,
// one row exchange or the indexes' sort alike.
TEST(GridSort, TiesGoToTheShownColumnsBeforeTheHiddenOnes)
{
    for (bool single : {false, true}) {
        TProStringGrid g(nullptr);
        g.SetColCount(4);
        LoadKeys(g, {"a", "a", "a", "b"});
        const char* hidden[] = {"1", "2", "0", "0"};
        const char* shown[] = {"y", "x", "y", "z"};
        for (int r = 1; r <= 4; ++r) {
            g.SetCells(2, r, hidden[r - 1]);
            g.SetCells(3, r, shown[r - 1]);
        }
        g.HideColumn(2);
        if (single) g.SortSettings()->SetSingleColumn(true);
        g.SortSettings()->SetColumn(1);
        g.SortRows();
        // With one column moving, the rows' other cells stay: the keys follow the shown column's order.
        EXPECT_EQ(ColumnTexts(g, 3), (single ? std::vector<std::string>{"y", "x", "y", "z"}
                                             : std::vector<std::string>{"x", "y", "y", "z"}));
        EXPECT_EQ(ColumnTexts(g, 2), (single ? std::vector<std::string>{"1", "2", "0", "0"}
                                             : std::vector<std::string>{"2", "0", "1", "0"}));
        EXPECT_EQ(g.CompareRows(1, 1, 2), single ? 1 : -1);
    }
}

TEST(GridSort, SingleColumnMovesOnlyTheSortColumn)
{
    TProStringGrid g(nullptr);
    LoadKeys(g, {"c", "a", "b"});
    g.SortSettings()->SetSingleColumn(true);
    g.SortByColumn(1, sdAscending);
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ColumnTexts(g, 2), (std::vector<std::string>{"p0", "p1", "p2"}));
}

// A row outside the grid raises before anything changes: the rows, and the update bracket that would
// leave the grid without repainting.
TEST(GridSort, SwapRowsOutsideTheGridRaisesAndChangesNothing)
{
    for (auto rows : {std::pair(1, 9), std::pair(-1, 2)}) {
        TProStringGrid g(nullptr);
        LoadKeys(g, {"c", "a", "b"});
        EXPECT_EQ(GridError([&] { g.SwapRows(rows.first, rows.second); }), "Invalid row accessed");
        EXPECT_EQ(g.UpdateCount(), 0);
        EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"c", "a", "b"}));
    }
}

// Column 1 shown as 100 - v: the pivot row compares by the text every other
// row compares by, shown once or stored.
TEST(GridSort, ShownTextSortsTheWholeRowOrTheColumnAlike)
{
    using V = std::vector<std::string>;
    const V up{"1", "2", "3", "4", "5", "6", "7", "8", "9"}, down{"9", "8", "7", "6", "5", "4", "3", "2", "1"};
    struct Case {
        bool Single, OnShown;
        V Stored, Positions;
    } cases[] = {
        {false, true, down, {"p1", "p6", "p3", "p8", "p4", "p7", "p0", "p5", "p2"}},
        {false, false, up, {"p2", "p5", "p0", "p7", "p4", "p8", "p3", "p6", "p1"}},
        {true, true, down, {"p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8"}},
        {true, false, up, {"p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "single column " << c.Single << ", on shown text " << c.OnShown);
        TProStringGrid g(nullptr);
        LoadKeys(g, {"3", "9", "1", "7", "5", "2", "8", "4", "6"});
        g.OnGetDisplText = [](TObject*, int ACol, int ARow, AnsiString& AValue) {
            if (ACol == 1 && ARow > 0) AValue = std::to_string(100 - std::atoi(AValue.c_str()));
        };
        g.SortSettings()->SetSingleColumn(c.Single);
        g.SortSettings()->SetSortOnVirtualCells(c.OnShown);
        g.SortByColumn(1, sdAscending);
        V stored;
        for (int r = 1; r < g.RowCount(); ++r) stored.push_back(g.GetGridCell(1, r));
        EXPECT_EQ(stored, c.Stored);
        EXPECT_EQ(ColumnTexts(g, 2), c.Positions);
    }
}

TEST(GridSort, UnSortRestoresTheOrderBeforeTheFirstSort)
{
    TProStringGrid g(nullptr);
    LoadKeys(g, {"d", "b", "a", "c", "b"});
    g.SortByColumn(1, sdAscending);
    g.SortByColumn(2, sdDescending);
    g.SortByColumn(1, sdDescending);
    g.UnSort();
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"d", "b", "a", "c", "b"}));
    EXPECT_EQ(ColumnTexts(g, 2), (std::vector<std::string>{"p0", "p1", "p2", "p3", "p4"}));
}

TEST(GridSort, IndexedSortNeedsIndexesAndFollowsEachColumnsDirection)
{
    TProStringGrid g(nullptr);
    LoadKeys(g, {"a", "b", "a", "b"});
    const char* second[] = {"1", "2", "3", "4"};
    for (int r = 1; r <= 4; ++r) g.SetCells(3, r, second[r - 1]);
    // Without indexes it raises and changes nothing.
    EXPECT_EQ(GridError([&] { g.SortRowsIndexed(); }), "No indexes specified for indexed sort");
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"a", "b", "a", "b"}));
    EXPECT_EQ(g.RowCount(), 5);
    g.SortIndexes()->AddIndex(1, true);
    g.SortIndexes()->AddIndex(3, false);
    g.SortRowsIndexed();
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"a", "a", "b", "b"}));
    EXPECT_EQ(ColumnTexts(g, 3), (std::vector<std::string>{"3", "1", "4", "2"}));
}

TEST(GridSort, CurrentRowFollowsItsRowOnlyWhenAsked)
{
    for (bool follow : {false, true}) {
        TProStringGrid g(nullptr);
        LoadKeys(g, {"c", "a", "b"});
        g.Navigation()->SetMoveRowOnSort(follow);
        g.SetRow(1);
        g.SortByColumn(1, sdAscending);
        EXPECT_EQ(g.Row(), follow ? 3 : 1) << follow;
    }
}

TEST(GridSort, GroupsSortInsideTheirNodes)
{
    TProStringGrid g(nullptr);
    LoadKeys(g, {"grp1", "c", "a", "b", "grp2", "z", "y"});
    g.AddNode(1, 4);
    g.AddNode(5, 3);
    g.SortSettings()->SetColumn(1);
    g.SortGroups();
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"grp1", "a", "b", "c", "grp2", "y", "z"}));
}

TEST(GridSort, LargeGridSortsAndLosesRowsWithoutLeaks)
{
    TProStringGrid g(nullptr);
    const int n = 100000;
    g.SetRowCount(n + 1);
    for (int r = 1; r <= n; ++r) {
        g.SetCells(1, r, "w" + std::to_string((r * 7919) % n));
        g.SetCells(2, r, std::to_string(r));
        if (r % 1000 == 0) g.SetCellBrushColor(1, r, clRed);
    }
    g.SortByColumn(1, sdAscending);
    for (int r = 2; r <= n; r += 997) EXPECT_LE(AnsiCompareStr(g.Cells(1, r - 1), g.Cells(1, r)), 0) << r;
    g.RemoveRows(10, 5000);
    g.DeleteRows(1, 3);
    EXPECT_EQ(g.RowCount(), n + 1 - 5003);
}

// Decimal texts compare by the nearest double to each, with either decimal
// separator: trailing zeros change nothing, and any two texts compare as
// their exact values (up to 15 digits and beyond).
TEST(GridSort, DecimalTextsCompareByTheirExactValues)
{
    for (char separator : {'.', ','}) {
        DotFormatSettings dot;
        FormatSettings.DecimalSeparator = separator;
        FormatSettings.ThousandSeparator = separator == ',' ? ' ' : ',';
        std::mt19937 rng(separator);
        std::vector<std::string> keys;
        std::vector<double> values;
        for (int i = 0; i < 400; ++i) {
            const int whole = int(rng() % 8) + 1, decimals = int(rng() % 9);
            std::string digits;
            for (int d = 0; d < whole + decimals; ++d) digits += char('0' + rng() % 10);
            std::string text = digits.substr(0, std::size_t(whole));
            if (decimals > 0) text += separator + digits.substr(std::size_t(whole));
            std::string longer = decimals > 0 ? text + std::string(std::size_t(rng() % 9), '0') : text;
            for (const std::string& t : {text, longer}) {
                keys.push_back(t);
                std::string c = t;
                std::replace(c.begin(), c.end(), ',', '.');
                values.push_back(std::strtod(c.c_str(), nullptr));
            }
        }
        TProStringGrid g(nullptr);
        LoadKeys(g, keys);
        Style(ssNumeric)(g);
        for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
            const std::size_t j = (i * 7919 + 13) % keys.size();
            const int expected = values[i] < values[j] ? -1 : values[i] > values[j] ? 1 : 0;
            ASSERT_EQ(g.CompareCells(1, int(i) + 1, int(j) + 1, sdAscending), expected) << keys[i] << " " << keys[j];
            if (i % 2 == 0) {   // a text and the same with zeros added
                ASSERT_EQ(g.CompareCells(1, int(i) + 1, int(i) + 2, sdAscending), 0) << keys[i] << " " << keys[i + 1];
            }
        }
    }
}

// Rows that compare equal stay where the grid's quicksort leaves them: the
// one-column sort never exchanges equal rows, the indexed sort does.
TEST(GridSort, QuicksortLeavesEqualRowsWhereItsExchangesPutThem)
{
    struct Case {
        const char* Name;
        std::vector<std::string> Keys;
        std::function<void(TProStringGrid&)> Sort;
        std::vector<std::string> Order;
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
        g.SetColCount(3);
        LoadKeys(g, c.Keys);
        g.SortSettings()->SetFull(false);   // column 2 must not break the ties
        c.Sort(g);
        EXPECT_EQ(ColumnTexts(g, 2), c.Order) << c.Name;
    }
}

TEST(GridSort, ComparisonStylesAndTheirDetection)
{
    DotFormatSettings locale;
    struct Case {
        const char* Name;
        std::string A, B;
        GridSetup Prepare;
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
        {"bytes: upper case first", "abc", "ABC", nullptr, sdAscending, 1},
        {"the word sort: lower case first on a tie", "abc", "ABC", Style(ssAnsiAlphaCase), sdAscending, -1},
        {"no case by bytes", "abc", "ABC", Style(ssAlphaNoCase), sdAscending, 1},
        {"no case by bytes, other way", "ABC", "abc", Style(ssAlphaNoCase), sdAscending, -1},
        {"no case by the word sort", "abc", "ABC", Style(ssAnsiAlphaNoCase), sdAscending, 0},
        {"no case: upper first on a tie", "abc", "ABC", NoCase, sdAscending, 1},
        {"empty equals 0", "", "0", Style(ssNumeric), sdAscending, 0},
        {"two texts that are no numbers", "abc", "xyz", Style(ssNumeric), sdAscending, 0},
        {"prefix and suffix dropped", "$12 net", "$9 net", Style(ssNumeric, "$", " net"), sdAscending, 1},
        {"thousands only for money", "1,200", "99", Style(ssFinancial), sdAscending, 1},
        {"alphanumeric, both numbers", "10", "9", Style(ssAlphaNumeric), sdAscending, 1},
        {"alphanumeric, one text", "10", "9a", Style(ssAlphaNumeric), sdAscending, -1},
        {"EU short date", "01/02/2020", "02/01/2020", Style(ssShortDateEU), sdAscending, 1},
        {"US short date", "01/02/2020", "02/01/2020", Style(ssShortDateUS), sdAscending, -1},
        {"US short date, other way", "02/01/2020", "01/02/2020", Style(ssShortDateUS), sdAscending, 1},
        {"bad date is 0", "never", "01/01/1900", Style(ssShortDateEU), sdAscending, -1},
        {"HTML tags left out", "<b>b</b>", "a", Style(ssHTML), sdAscending, 1},
        {"custom without event", "b", "a", Style(ssCustom), sdAscending, 0},
        {"blank first", "", "a", Blanks(blFirst), sdAscending, -1},
        {"blank last", "", "a", Blanks(blLast), sdAscending, 1},
        {"blank first, reversed for descending", "", "a", Blanks(blFirst), sdDescending, 1},
        {"blank last, second cell", "a", "", Blanks(blLast), sdAscending, -1},
        {"two blanks", "", "", Blanks(blLast), sdAscending, 0},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        g.SetColCount(2);
        g.SetRowCount(3);
        g.SetCells(1, 1, c.A);
        g.SetCells(1, 2, c.B);
        if (c.Prepare) c.Prepare(g);
        EXPECT_EQ(g.CompareCells(1, 1, 2, c.Direction), c.Expect) << c.Name;
    }
}

TEST(GridSort, SortKeepsFixedColumnsAndFootersAndUnSortGoesBackAfterMixedSorts)
{
    TProStringGrid g(nullptr);
    g.SetColCount(3);
    LoadKeys(g, {"c", "a", "d", "b", "foot"});
    g.SetFixedFooters(1);
    g.SetFixedCols(1);
    for (int r = 0; r < g.RowCount(); ++r) g.SetCells(0, r, "h" + std::to_string(r));
    g.SortSettings()->SetNormalCellsOnly(true);
    g.SetRowHeights(1, 40);
    g.ShowModified()->SetEnabled(true);
    g.SetRowModified(3, true);   // "d"

    g.SortByColumn(1, sdAscending);
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"a", "b", "c", "d", "foot"}));
    EXPECT_EQ(ColumnTexts(g, 0, 0), (std::vector<std::string>{"h0", "h1", "h2", "h3", "h4", "h5"}));   // column 0 stays
    EXPECT_EQ(g.Cells(1, 0), "head");
    EXPECT_EQ(g.RowHeights(3), 40);   // "c" took its height along
    EXPECT_TRUE(g.GetRowModified(4));
    EXPECT_FALSE(g.GetRowModified(3));

    g.SortIndexes()->AddIndex(2, false);
    g.SortRowsIndexed();
    EXPECT_EQ(ColumnTexts(g, 2), (std::vector<std::string>{"p3", "p2", "p1", "p0", "p4"}));
    g.SortByColumn(1, sdDescending);
    EXPECT_EQ(g.SortIndexes()->Count(), 0);   // a one-column sort forgets the indexes

    g.UnSort();
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"c", "a", "d", "b", "foot"}));
    EXPECT_EQ(g.RowHeights(1), 40);
    EXPECT_TRUE(g.GetRowModified(3));
    EXPECT_EQ(ColumnTexts(g, 0, 0), (std::vector<std::string>{"h0", "h1", "h2", "h3", "h4", "h5"}));
}

TEST(GridSort, GroupSortLeavesContractedGroupsAndUsesTheIndexes)
{
    TProStringGrid g(nullptr);
    g.SetColCount(3);
    LoadKeys(g, {"g1", "c", "a", "b", "g2", "z", "x", "y"});
    g.AddNode(1, 4);
    g.AddNode(5, 4);
    g.SortIndexes()->AddIndex(1, false);
    g.SortGroupsIndexed();
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"g1", "c", "b", "a", "g2", "z", "y", "x"}));

    g.ContractNode(5);   // its rows are out of sight now
    g.SortSettings()->SetColumn(1);
    g.SortGroups();
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"g1", "a", "b", "c", "g2"}));
    g.ExpandNode(5);
    EXPECT_EQ(ColumnTexts(g, 1), (std::vector<std::string>{"g1", "a", "b", "c", "g2", "z", "y", "x"}));
}
