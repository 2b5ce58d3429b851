#include <gtest/gtest.h>

#include <string>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"
#include "tests/common/Bounds.h"
#include "platform/core/SysUtils.h"

namespace {
void Put(TMemoryStream& S, const std::string& Text)
{
    S.WriteBuffer(Text.data(), Int64(Text.size()));
    S.SetPosition(0);
}
}

TEST(GridStream, WritesCountsWidthsAndNonEmptyCells)
{
    TProStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetColWidths(1, 80);
    g.SetCells(0, 0, "a");
    g.SetCells(1, 1, std::string("x\r\ny\0z", 6));
    g.SetRowCount(3);   // a last row with no stored cells
    std::string progress;
    g.OnGridProgress = [&](TObject*, int Phase, int Value) { progress += std::to_string(Phase) + ":" + std::to_string(Value) + " "; };
    TMemoryStream s;
    g.WriteTextStream(&s);
    EXPECT_EQ(StreamBytes(s), std::string("2,3\r\ncw 0,64\r\ncw 1,80\r\n0,0,a\r\n1,1,x\x09\x08y\x01z\r\n"));
    EXPECT_EQ(progress, "0:-1 1:0 1:1 1:2 2:-1 ");
}

TEST(GridStream, EveryCellTextComesBack)
{
    const std::string texts[] = {
        "plain", "a\tb", "x\r\ny", "x\r\ny\tz", std::string("\x08"), "a\rb", "\x02lead", std::string("\x01", 1),
        std::string("n\0ul", 4), "ends\r\n", "ąęłńóśźż", "tab\t\r\nand\x08more",
    };
    TProStringGrid source(nullptr);
    source.SetMultilinecells(true);
    source.SetRowCount(int(std::size(texts)) + 1);
    source.SetColCount(3);
    source.SetColWidths(2, 91);
    for (std::size_t i = 0; i < std::size(texts); ++i) source.SetCells(2, int(i) + 1, texts[i]);

    TProStringGrid target(nullptr);
    target.SetMultilinecells(true);
    target.AssignCells(&source);
    EXPECT_EQ(TPoint(target.ColCount(), target.RowCount()), TPoint(3, source.RowCount()));
    EXPECT_EQ(target.ColWidths(2), 91);
    for (std::size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(target.Cells(2, int(i) + 1), texts[i]) << i;
}

TEST(GridStream, ReadsTheOldFormAndStopsAtAForeignLine)
{
    TProStringGrid g(nullptr);
    g.SetMultilinecells(true);
    TMemoryStream s;
    std::string text = "3,4\r\ncw 1,70\r\n1,2,one\x09\x08two\r\n2,3,\x09x\r\nEND\r\n0,0,late\r\n";
    Put(s, text);
    g.ReadTextStream(&s);
    EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(3, 4));
    EXPECT_EQ(g.ColWidths(1), 70);
    EXPECT_EQ(g.Cells(1, 2), "one\r\ntwo");
    EXPECT_EQ(g.Cells(2, 3), "\tx");
    EXPECT_EQ(g.Cells(0, 0), "");
    EXPECT_EQ(s.Position(), Int64(text.find("END")));
}

TEST(GridStream, SingleLineGridsKeepTheFirstLine)
{
    TProStringGrid source(nullptr);
    source.SetMultilinecells(true);
    source.SetCells(1, 1, "first\r\nsecond");
    source.SetCells(1, 2, "a\tb\r\nc");
    TProStringGrid target(nullptr);
    target.AssignCells(&source);
    EXPECT_EQ(target.Cells(1, 1), "first");
    EXPECT_EQ(target.Cells(1, 2), "a\tb");
}

TEST(GridStream, SaveRangeWithoutFixedCells)
{
    TProStringGrid source(nullptr);
    source.SetColCount(3);
    source.SetRowCount(3);
    source.SetExportFixedCells(false);
    source.SetCells(0, 1, "fixed");
    source.SetCells(1, 1, "data");
    TMemoryStream s;
    source.WriteTextStream(&s);
    EXPECT_EQ(StreamBytes(s), "2,2\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\n0,0,data\r\n");
    s.SetPosition(0);
    TProStringGrid target(nullptr);
    target.SetExportFixedCells(false);
    target.ReadTextStream(&s);
    EXPECT_EQ(TPoint(target.ColCount(), target.RowCount()), TPoint(3, 3));
    EXPECT_EQ(target.Cells(1, 1), "data");
}

// Column 1 of a grid of 5 rows whose last is a fixed footer ("f"), saved and read without the fixed
// cells: the footer keeps its cells and stays last, whatever the number of rows read.
TEST(GridStream, FixedFootersTheStreamLeavesOutStayLast)
{
    const struct {
        const char* Stream;   // nullptr: the grid's own
        const char* Expected;
    } cases[] = {
        {nullptr, "r0 r1 r2 r3 f"}, {"2,2\r\n0,0,n\r\n", "r0 n r2 f"}, {"2,4\r\n0,3,n\r\n", "r0 r1 r2 r3 n f"},
    };
    for (const auto& c : cases) {
        TProStringGrid g(nullptr);
        g.SetColCount(3);
        g.SetRowCount(5);
        g.SetFixedFooters(1);
        g.SetExportFixedCells(false);
        for (int r = 0; r < 4; ++r) g.SetCells(1, r, "r" + std::to_string(r));
        g.SetCells(1, 4, "f");
        TMemoryStream s;
        if (c.Stream) Put(s, c.Stream);
        else g.WriteTextStream(&s);
        s.SetPosition(0);
        g.ReadTextStream(&s);
        std::string rows;
        for (int r = 0; r < g.RowCount(); ++r)
            rows += (r ? " " : "") + (g.Cells(1, r).empty() ? std::string("-") : std::string(g.Cells(1, r)));
        EXPECT_EQ(rows, c.Expected) << (c.Stream ? c.Stream : "its own");
    }
}

TEST(GridStream, BadNumbersRaiseAndCellsOutsideAreLeftOut)
{
    TProStringGrid g(nullptr);
    TMemoryStream bad;
    Put(bad, "x,2\r\n");
    EXPECT_THROW(g.ReadTextStream(&bad), EConvertError);

    TMemoryStream outside;
    Put(outside, "2,2\r\n5,5,far\r\n1,1,near\r\n");
    g.ReadTextStream(&outside);
    EXPECT_EQ(g.Cells(1, 1), "near");
    EXPECT_EQ(g.GetGridCell(5, 5), "");
}

TEST(GridStream, SizesTheGridCannotHoldAreRefusedBeforeAnythingChanges)
{
    const char* headers[] = {"3,2147483647", "2,999999999", "2147483647,3", "70000,2",
                             "9223372036854775807,9223372036854775807", "-9223372036854775808,99999999999"};
    for (bool fixed : {false, true}) {
        for (const char* header : headers) {
            TProStringGrid g(nullptr);
            g.SetExportFixedCells(fixed);
            g.SetColCount(4);
            g.SetRowCount(3);
            g.SetCells(1, 1, "kept");
            TMemoryStream s;
            Put(s, std::string(header) + "\r\n0,0,new\r\n");
            EXPECT_THROW(g.ReadTextStream(&s), EProGridError) << header;
            EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(4, 3)) << header;
            EXPECT_EQ(g.Cells(1, 1), "kept") << header;
        }
    }
}

TEST(GridStream, CoordinatesFarOutsideAreLeftOutWithoutOverflow)
{
    TProStringGrid g(nullptr);
    g.SetExportFixedCells(false);
    TMemoryStream s;
    Put(s, "2,2\r\n2147483647,0,a\r\n0,2147483647,b\r\n9223372036854775807,0,c\r\n"
           "-9223372036854775808,0,d\r\n1,1,near\r\n");
    g.ReadTextStream(&s);
    EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(3, 3));
    EXPECT_EQ(g.Cells(2, 2), "near");
    EXPECT_EQ(g.Cells(1, 1), "");
}

TEST(GridStream, WritingCostsTheStoredCellsNotTheDeclaredSize)
{
    TProStringGrid g(nullptr);
    g.SetColCount(30000);
    g.SetRowCount(30000);
    g.SetCells(0, 0, "a");
    g.SetCells(29999, 29999, "z");
    const double start = ProcessSeconds();
    TMemoryStream out;
    g.WriteTextStream(&out);
    EXPECT_LT(ProcessSeconds() - start, 10.0);
    std::string expected = "30000,30000\r\n";
    for (int c = 0; c < 30000; ++c) expected += "cw " + std::to_string(c) + ",64\r\n";
    expected += "0,0,a\r\n29999,29999,z\r\n";
    EXPECT_EQ(StreamBytes(out), expected);

    // A hook that gives empty cells a text still has every cell of the range written.
    TProStringGrid h(nullptr);
    h.SetColCount(2);
    h.SetRowCount(2);
    h.OnGetDisplText = [](TObject*, int ACol, int ARow, AnsiString& Value) {
        if (ACol == 1 && ARow == 1) Value = "virtual";
    };
    TMemoryStream hooked;
    h.WriteTextStream(&hooked);
    EXPECT_EQ(StreamBytes(hooked), "2,2\r\ncw 0,64\r\ncw 1,64\r\n1,1,virtual\r\n");
}

TEST(GridStream, SaveCellTexts)
{
    ResetFormatSettings();
    TProStringGrid grid(nullptr);
    TProStringGrid* Grid = &grid;
    Grid->SetCells(1, 1, "");
    AddGraphic(Grid, 1, 1, ctCheckBox)->CellBoolean = true;
    Grid->SetCells(2, 1, "");
    AddGraphic(Grid, 2, 1, ctCheckBox)->CellBoolean = false;
    Grid->SetCells(3, 1, "<b>Aktualna</b> norma");
    Grid->SetCells(4, 1, "12,345");
    Grid->OnGetFloatFormat = [](TObject*, int, int, bool& IsFloat, AnsiString& Fmt) {
        IsFloat = true;
        Fmt = "%.1f";
    };
    auto saved = [&](int c, int r) {
        AnsiString s;
        Grid->SaveCell(c, r, s);
        return s;
    };
    EXPECT_EQ(saved(1, 1), Grid->GetCheckTrue(1, 1));
    EXPECT_EQ(saved(2, 1), Grid->GetCheckFalse(2, 1));
    EXPECT_NE(Grid->GetCheckTrue(1, 1), Grid->GetCheckFalse(1, 1));
    EXPECT_EQ(saved(3, 1), "<b>Aktualna</b> norma");
    EXPECT_EQ(saved(4, 1), "12,345");
    Grid->SetSaveKeepsHTML(false);
    Grid->SetSaveFormattedText(true);
    EXPECT_EQ(saved(3, 1), "Aktualna norma");
    EXPECT_EQ(saved(4, 1), "12,3");
    Grid->OnSaveCell = [](TObject*, int, int, AnsiString& V) { V = "[" + V + "]"; };
    EXPECT_EQ(saved(3, 1), "[Aktualna norma]");
    // Rich text becomes its plain text unless kept.
    Grid->OnSaveCell = nullptr;
    const AnsiString rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Norma {\\b PN}\\par}";
    Grid->SetCells(1, 2, rtf);
    EXPECT_EQ(saved(1, 2), rtf);
    Grid->SetSaveKeepsRichText(false);
    EXPECT_EQ(Trim(saved(1, 2)), "Norma PN");
    // LoadCell lets the event change what is stored.
    Grid->OnLoadCell = [](TObject*, int, int, AnsiString& V) { V = Trim(V); };
    Grid->LoadCell(2, 2, "  PN-EN 1  ");
    EXPECT_EQ(Grid->Cells(2, 2), "PN-EN 1");
}

// The stream form byte for byte: counts of the save range, the width of every
// column of the grid, then cells relative to the save range's first cell.
TEST(GridStream, TextStreamBytesFollowTheSaveRange)
{
    TProStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    g.SetExportFixedCells(false);
    for (int c = 0; c < 4; ++c) g.SetColWidths(c, 20 + c);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) g.SetCells(c, r, std::to_string(c) + std::to_string(r));
    g.SetCells(2, 2, "");
    g.SetCells(1, 3, "a\r\nb");
    TMemoryStream s;
    g.WriteTextStream(&s);
    EXPECT_EQ(StreamBytes(s),
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
    EXPECT_EQ(TPoint(t.ColCount(), t.RowCount()), TPoint(3, 4));
    EXPECT_EQ(t.ColWidths(2), 22);
    EXPECT_EQ(t.Cells(1, 3), "a\r\nb");
    EXPECT_EQ(t.Cells(2, 1), "21");
    EXPECT_EQ(s.Position(), s.Size());
}
