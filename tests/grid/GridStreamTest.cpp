#include <gtest/gtest.h>

#include <string>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"

namespace {
std::string StreamText(TMemoryStream& S)
{
    return std::string(S.Memory(), std::size_t(S.Size()));
}

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
    TMemoryStream s;
    g.WriteTextStream(&s);
    EXPECT_EQ(StreamText(s), std::string("2,2\r\ncw 0,64\r\ncw 1,80\r\n0,0,a\r\n1,1,x\x09\x08y\x01z\r\n"));
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
    for (std::size_t i = 0; i < std::size(texts); ++i)
        source.SetCells(2, int(i) + 1, texts[i]);

    TProStringGrid target(nullptr);
    target.SetMultilinecells(true);
    target.AssignCells(&source);
    EXPECT_EQ(target.RowCount(), source.RowCount());
    EXPECT_EQ(target.ColCount(), 3);
    EXPECT_EQ(target.ColWidths(2), 91);
    for (std::size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(target.Cells(2, int(i) + 1), texts[i]) << i;
}

TEST(GridStream, ReadsTheOldFormAndStopsAtAForeignLine)
{
    TProStringGrid g(nullptr);
    g.SetMultilinecells(true);
    TMemoryStream s;
    std::string text = "3,4\r\ncw 1,70\r\n1,2,one\x09\x08two\r\n2,3,\x09x\r\nEND\r\n0,0,late\r\n";
    Put(s, text);
    g.ReadTextStream(&s);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 4);
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
    EXPECT_EQ(StreamText(s), "2,2\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\n0,0,data\r\n");
    s.SetPosition(0);
    TProStringGrid target(nullptr);
    target.SetExportFixedCells(false);
    target.ReadTextStream(&s);
    EXPECT_EQ(target.ColCount(), 3);
    EXPECT_EQ(target.RowCount(), 3);
    EXPECT_EQ(target.Cells(1, 1), "data");
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
