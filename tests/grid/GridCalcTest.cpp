#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "tests/common/GridTest.h"

namespace {
void SetColumn(TProStringGrid& G, int ACol, const std::vector<std::string>& Texts)
{
    G.SetRowCount(int(Texts.size()));
    for (std::size_t r = 0; r < Texts.size(); ++r) G.SetCells(ACol, int(r), Texts[r]);
}
}

TEST(GridCalc, AggregatesSkipTextAndCountEveryRowInTheAverage)
{
    struct Case {
        std::vector<std::string> Texts;
        int From, To;
        double Sum, Average, Minimum, Maximum;
    } cases[] = {
        {{"hdr", "2", "4", "abc", ""}, 1, 4, 6, 1.5, 2, 4},
        {{"hdr", "-1,5", "3", "", "2"}, 1, 4, 3.5, 0.875, -1.5, 3},
        {{"hdr", "7"}, 1, 1, 7, 7, 7, 7},
        {{"hdr", "7", "8"}, 2, 1, 0, 0, 0, 0},   // empty range
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        SetColumn(g, 1, c.Texts);
        EXPECT_DOUBLE_EQ(g.ColumnSum(1, c.From, c.To), c.Sum) << c.Texts[1];
        EXPECT_DOUBLE_EQ(g.ColumnAverage(1, c.From, c.To), c.Average) << c.Texts[1];
        EXPECT_DOUBLE_EQ(g.ColumnMinimum(1, c.From, c.To), c.Minimum) << c.Texts[1];
        EXPECT_DOUBLE_EQ(g.ColumnMaximum(1, c.From, c.To), c.Maximum) << c.Texts[1];
    }
}

TEST(GridCalc, MinimumAndMaximumRaiseOnANonNumericFirstCell)
{
    TProStringGrid g(nullptr);
    SetColumn(g, 1, {"hdr", "12-3", "2"});
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 2), 2);
    for (auto f : {&TProStringGrid::ColumnMinimum, &TProStringGrid::ColumnMaximum}) {
        EXPECT_EQ(GridError([&] { (g.*f)(1, 1, 2); }), "Cell does not contain a float value");
    }
}

TEST(GridCalc, MinimumAndMaximumLeaveOutCellsWithoutANumber)
{
    // Called directly over the shown rows, and by the footer row (column 1 the minimum, column 2
    // the maximum) over the stored rows, a hidden one included.
    DotFormatSettings dot;
    struct Case {
        std::vector<std::string> Texts;
        int Hidden;   // the row hidden, or -1
        double Minimum, Maximum;
        const char *FooterMinimum, *FooterMaximum;
    } cases[] = {
        {{"-5", "", "-3"}, -1, -5, -3, "-5.00", "-3.00"},
        {{"", "5", "7"}, -1, 5, 7, "5.00", "7.00"},
        {{"", "  ", "-", "abc"}, -1, 0, 0, "0.00", "0.00"},
        {{"", "4", "", "9"}, 4, 4, 4, "4.00", "9.00"},
        {{"", "-1.5", "", "-8"}, 4, -1.5, -1.5, "-8.00", "-1.50"},
    };
    for (const Case& k : cases) {
        TProStringGrid g(nullptr);
        g.SetColCount(3);
        g.SetRowCount(int(k.Texts.size()) + 2);
        for (std::size_t i = 0; i < k.Texts.size(); ++i)
            for (int c : {1, 2}) g.SetCells(c, int(i) + 1, k.Texts[i]);
        g.FloatingFooter()->SetVisible(true);
        if (k.Hidden >= 0) g.HideRow(k.Hidden);
        const int footer = g.RowCount() - 1;
        EXPECT_DOUBLE_EQ(k.Minimum, g.ColumnMinimum(1, 1, footer - 1)) << k.Texts[0] << k.Texts[1];
        EXPECT_DOUBLE_EQ(k.Maximum, g.ColumnMaximum(1, 1, footer - 1)) << k.Texts[0] << k.Texts[1];
        g.CellProperties(1, footer)->SetCalcType(4);
        g.CellProperties(2, footer)->SetCalcType(5);
        g.CalcFooter(-1);
        EXPECT_EQ(k.FooterMinimum, g.Cells(1, footer)) << k.Texts[0] << k.Texts[1];
        EXPECT_EQ(k.FooterMaximum, g.Cells(2, footer)) << k.Texts[0] << k.Texts[1];
    }
}

TEST(GridCalc, NodeAndSummaryRowsCountOnlyInAnUngroupedGrid)
{
    TProStringGrid g(nullptr);
    SetColumn(g, 1, {"hdr", "100", "1", "2", "50"});
    g.AddNode(1, 3);
    g.AddSummaryRow(4);
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 4), 153);
    g.SetGroupColumn(2);
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 4), 3);
    EXPECT_DOUBLE_EQ(g.ColumnMaximum(1, 2, 4), 2);
}

TEST(GridCalc, CoveredCellsOfMergedRegionsDoNotCount)
{
    TProStringGrid g(nullptr);
    SetColumn(g, 1, {"hdr", "5", "5", "1"});
    g.MergeCells(1, 1, 1, 2);
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 3), 6);
}

// A column or row outside the grid raises its index error instead of giving 0 or writing beyond it.
TEST(GridCalc, IndicesOutsideTheGridRaise)
{
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&)> Call;
        const char* Message;
    } cases[] = {
        {"sum of column 9", [](TProStringGrid& g) { g.ColumnSum(9, 1, 2); }, "Invalid column accessed"},
        {"sum of column -1", [](TProStringGrid& g) { g.ColumnSum(-1, 1, 2); }, "Invalid column accessed"},
        {"average from row -3", [](TProStringGrid& g) { g.ColumnAverage(1, -3, 2); }, "Invalid row accessed"},
        {"average over every int", [](TProStringGrid& g) { g.ColumnAverage(1, INT_MIN, INT_MAX); }, "Invalid row accessed"},
        {"minimum of column 9", [](TProStringGrid& g) { g.ColumnMinimum(9, 1, 2); }, "Invalid column accessed"},
        {"maximum to row 50", [](TProStringGrid& g) { g.ColumnMaximum(1, 1, 50); }, "Invalid row accessed"},
        {"numbers into column 9", [](TProStringGrid& g) { g.NumberColumn(9); }, "Invalid column accessed"},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        SetColumn(g, 1, {"hdr", "1", "2", "3"});
        g.SetColCount(3);
        g.HideColumn(2);   // column 2 is stored: a hidden column still counts
        EXPECT_DOUBLE_EQ(g.ColumnSum(2, 1, 3), 0) << c.Name;
        EXPECT_EQ(GridError([&] { c.Call(g); }), c.Message) << c.Name;
        g.SetColCount(10);
        EXPECT_EQ(g.Cells(9, 1), "") << c.Name;
    }
}

TEST(GridCalc, NumberColumnLeavesFixedAndFooterRows)
{
    struct Case {
        bool Reverse;
        int Offset, Start;
        std::vector<std::string> Numbers;
    } cases[] = {
        {false, 0, 0, {"", "1", "2", "3", "foot"}}, {true, 0, 0, {"", "3", "2", "1", "foot"}},
        {false, 10, 0, {"", "11", "12", "13", "foot"}},
        {false, 0, 1, {"", "", "2", "3", "foot"}},
    };
    for (auto& c : cases) {
        TProStringGrid g(nullptr);
        g.SetRowCount(5);
        g.SetFixedFooters(1);
        g.SetCells(0, 4, "foot");
        g.SetAutoNumReverse(c.Reverse);
        g.SetAutoNumOffset(c.Offset);
        g.SetAutoNumStart(c.Start);
        g.NumberColumn(0);
        EXPECT_EQ(ColumnTexts(g, 0, 0), c.Numbers) << c.Reverse << c.Offset << c.Start;
    }
}

TEST(GridCalc, AutoSizeFitsTheWidestTextWithinTheBounds)
{
    TProStringGrid g(nullptr);
    SetColumn(g, 1, {"h", "short", "a much longer cell text here"});
    g.AutoSizeCol(1);
    int fitted = g.ColWidths(1);
    EXPECT_GT(fitted, 100);
    g.SetCells(1, 2, "x");
    g.AutoSizeColEx(1, true);
    EXPECT_EQ(g.ColWidths(1), fitted);   // grow-only never narrows
    g.AutoSizeColEx(1, false);
    EXPECT_LT(g.ColWidths(1), fitted);
    g.SetMaxColWidth(30);
    g.SetCells(1, 2, "a much longer cell text here");
    g.AutoSizeCol(1);
    EXPECT_EQ(g.ColWidths(1), 30);
    g.SetMaxColWidth(0);
    g.SetMinColWidth(500);
    g.AutoSizeColumns(false, 10);
    EXPECT_EQ(g.ColWidths(1), 510);   // the bound, then the padding
    EXPECT_EQ(g.ColWidths(0), 64);    // fixed columns left alone
}

TEST(GridCalc, RowsSizeToTheirLines)
{
    TProStringGrid g(nullptr);
    g.SetCells(1, 1, "one");
    g.SizeRowToLines(1, 1, 0);
    int one = g.RowHeights(1);
    g.SizeRowToLines(1, 3, 4);
    EXPECT_EQ(g.RowHeights(1), one * 3 + 4);
    g.SetWordWrap(false);
    g.SetCells(2, 2, "a\r\nb\r\nc");
    g.SetRowHeights(2, 5);
    g.AutoSizeRow(2);
    EXPECT_GT(g.RowHeights(2), 2 * one);
}

TEST(GridCalc, PlainTextOfTheSelection)
{
    TProStringGrid g(nullptr);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) g.SetCells(c, r, std::to_string(c) + std::to_string(r));
    g.SetSelection(TGridRect(1, 1, 2, 3));
    EXPECT_EQ(g.GridAsPlainText(), "11\t21\r\n12\t22\r\n13\t23");
}
