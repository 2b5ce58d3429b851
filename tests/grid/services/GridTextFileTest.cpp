#include <gtest/gtest.h>

#include <string>

#include "grid/ProGrid.h"
#include "tests/common/TestFiles.h"

namespace {
// A grid of 3 columns and 3 rows: a header row and two data rows.
void FillSample(TProStringGrid& G)
{
    G.SetColCount(3);
    G.SetRowCount(3);
    const char* texts[3][3] = {{"", "Nazwa", "Ilość"}, {"1", "śruba", "12"}, {"2", "kabel długi", "7"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            G.SetCells(c, r, texts[r][c]);
}
}

TEST(GridTextFile, MaxColumnTextLengthCountsLinesOnlyWithMultilineCells)
{
    TProStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(3);
    g.SetCells(1, 1, "abc\r\nlonger line");
    g.SetCells(1, 2, "abcdef");
    EXPECT_EQ(g.MaxColumnTextLength(1), 16);   // the whole text, CR LF counted
    g.SetMultilinecells(true);
    EXPECT_EQ(g.MaxColumnTextLength(1), 11);
    EXPECT_EQ(g.MaxColumnTextLength(0), 0);
    g.OnSaveCell = [](TObject*, int, int, AnsiString& V) { V += "!!!!!!!!!!!!"; };
    EXPECT_EQ(g.MaxColumnTextLength(0), 12);
}

TEST(GridTextFile, FixedWidthColumnsAreAligned)
{
    TTempDir dir("velmarok-fixed");
    TProStringGrid g(nullptr);
    FillSample(g);
    g.OnGetAlignment = [](TObject*, int ARow, int ACol, TAlignment& H, TVAlignment&) {
        if (ACol == 2)
            H = taRightJustify;
        if (ACol == 0 && ARow > 0)
            H = taCenter;
    };
    g.SaveToFixedText((dir / "a.txt").c_str());
    EXPECT_EQ(ReadFileBytes(dir / "a.txt"),
              "  Nazwa       Ilość \r\n"
              "1 śruba          12 \r\n"
              "2 kabel długi     7 \r\n");

    g.SetExportFixedCells(false);
    g.SaveToFixedText((dir / "b.txt").c_str());
    // Widths still count every row (the header's "Ilość" too).
    EXPECT_EQ(ReadFileBytes(dir / "b.txt"), "śruba          12 \r\nkabel długi     7 \r\n");
}

TEST(GridTextFile, MultilineCellsContinueUnderTheirColumn)
{
    TTempDir dir("velmarok-fixed");
    TProStringGrid g(nullptr);
    g.SetMultilinecells(true);
    g.SetColCount(3);
    g.SetRowCount(1);
    g.SetFixedRows(0);
    g.SetCells(0, 0, "ab");
    g.SetCells(1, 0, "x\r\nyy\r\nz");
    g.SetCells(2, 0, "k\r\nl");
    g.SaveToFixedText((dir / "m.txt").c_str());
    EXPECT_EQ(ReadFileBytes(dir / "m.txt"), "ab x  k \r\n   yy l \r\n   z  \r\n");
}
