#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {
// A grid of 3 columns and 3 rows: a header row and two data rows.
void FillSample(TProStringGrid& G)
{
    SetGridTexts(G, "|Nazwa|Ilość/1|śruba|12/2|kabel długi|7");
}
}

TEST(GridTextFile, MaxColumnTextLengthCountsLinesOnlyWithMultilineCells)
{
    TProStringGrid g(nullptr);
    SetGridTexts(g, "|/|abc\r\nlonger line/|abcdef");
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
    SetGridTexts(g, "ab|x\r\nyy\r\nz|k\r\nl");
    g.SetFixedRows(0);
    g.SaveToFixedText((dir / "m.txt").c_str());
    EXPECT_EQ(ReadFileBytes(dir / "m.txt"), "ab x  k \r\n   yy l \r\n   z  \r\n");
}

// A save that fails half-way (here a cell conversion hook that raises) leaves the old file as it was.
TEST(GridFiles, EverySaveLeavesTheOldFileWhenItFails)
{
    struct Format { const char* Name; std::function<void(TProStringGrid&, const std::string&)> Save; } formats[] = {
        {"a.txt", [](TProStringGrid& G, const std::string& F) { G.SaveToFixedText(F.c_str()); }},
        {"a.csv", [](TProStringGrid& G, const std::string& F) { G.SaveToCsvFile(F.c_str()); }},
        {"a.html", [](TProStringGrid& G, const std::string& F) { G.SaveToHtmlFile(F.c_str(), false); }},
        {"a.xml", [](TProStringGrid& G, const std::string& F) { G.SaveToXmlFile(F.c_str(), "l", "r", nullptr, true); }},
        {"a.xlsx", [](TProStringGrid& G, const std::string& F) { G.SaveToExcel(F.c_str()); }},
        {"b.xlsx", [](TProStringGrid& G, const std::string& F) { G.SaveToExcel(F.c_str(), "Arkusz"); }},
        {"a.docx", [](TProStringGrid& G, const std::string& F) { G.SaveToWord(F.c_str()); }},
    };
    TTempDir dir("velmarok-files");
    for (const Format& f : formats) {
        std::string name = dir / f.Name;
        TProStringGrid g(nullptr);
        FillSample(g);
        f.Save(g, name);
        std::string before = ReadFileBytes(name);
        ASSERT_FALSE(before.empty()) << f.Name;
        g.SetCells(1, 2, "zmiana");
        g.OnSaveCell = [](TObject*, int ACol, int ARow, AnsiString& V) {
            if (ARow == 2)
                throw EProGridError("stop");
        };
        EXPECT_THROW(f.Save(g, name), EProGridError) << f.Name;
        EXPECT_EQ(ReadFileBytes(name), before) << f.Name;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), std::ptrdiff_t(&f - formats + 1))
            << "no temporary file left beside " << f.Name;
    }
}
