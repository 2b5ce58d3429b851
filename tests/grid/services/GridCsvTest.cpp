#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {
// Each test's files go into a scratch folder of its own.
struct GridCsv : ::testing::Test {
    TTempDir Dir{"velmarok-csv"};
};
}  // namespace

TEST_F(GridCsv, SeparatorDetection)
{
    struct Case { const char* Line1; const char* Line2; char Sep; } cases[] = {
        {"a;b;c", "1;2;3", ';'},
        {"a,b", "1", ','},           // pass 3: the larger count
        {"a,b;c", "1;2,3", ','},     // ties keep the earlier candidate
        {"x\ty\tz", "1\t2\t3", '\t'},
        {"\"a,b\";c", "1;2", ';'},   // the comma inside quotes is in one line only
        {"a||b", "c|d", '|'},        // no equal counts in passes 1 and 2; pass 3
        {"plain", "", ','},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TProStringGrid::DetectCsvSeparator(c.Line1, c.Line2), c.Sep) << c.Line1 << " / " << c.Line2;
}

TEST_F(GridCsv, WritesQuotedAndEmptyFieldsAsTheFormerFilesDid)
{
    TProStringGrid g(nullptr);
    SetGridTexts(g, "x\r\ny||a\"b/c,d|e\"f,g|h\"\r\ni");
    g.SetFixedRows(0);
    std::string name = Dir / "a.csv";
    g.SaveToCsvFile(name.c_str());
    EXPECT_EQ(ReadFileBytes(name), "\"x\x0By\",\"\",\"a\"\"b\"\r\n"
                                   "\"c,d\",\"e\"\"f,g\",\"h\"\"\ni\"\r\n");

    g.SetTildeLineBreaks(true);
    g.SaveToCsvFile(name.c_str());
    EXPECT_EQ(ReadFileBytes(name).substr(0, 8), "x~y,^,\"a");
    TProStringGrid back(nullptr);
    back.SetTildeLineBreaks(true);
    back.SetFixedRows(0);
    back.LoadFromCsvFile(name.c_str());
    EXPECT_EQ(back.Cells(0, 0), "x\r\ny");
    EXPECT_EQ(back.Cells(1, 0), "");
}

// Every option set writes a file that reads back to the same cells.
TEST_F(GridCsv, AwkwardTextsReadBackEqual)
{
    const std::vector<std::string> texts = {
        "plain", "", "x\r\ny", "a,b", "a;b", "say \"hi\"", "\"quoted\"", "\"", "a\"b,c", "q\"\r\nline",
        "two\r\nlines, and \"quotes\"", "ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ", " spaced ", "trailing,", ",", "\"\"",
    };
    struct Options { char Sep; bool QuoteAll, QuoteEmpty, Oem, Tilde; } options[] = {{0, false, true, false, false},
                   {';', false, false, false, false},
                   {0, true, true, false, false},
                   {'\t', false, true, true, false},
                   {0, false, true, false, true}};
    std::string name = Dir / "r.csv";
    for (const Options& o : options) {
        TProStringGrid g(nullptr);
        g.SetFieldSeparator(o.Sep);
        g.SetQuoteAllFields(o.QuoteAll);
        g.SetQuoteEmptyFields(o.QuoteEmpty);
        g.SetOemConvert(o.Oem);
        g.SetTildeLineBreaks(o.Tilde);
        g.SetColCount(3);
        g.SetRowCount(int(texts.size()) + 1);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            g.SetCells(1, int(i) + 1, texts[i]);
            g.SetCells(2, int(i) + 1, "end");
        }
        g.SaveToCsvFile(name.c_str());
        TProStringGrid back(nullptr);
        back.SetFieldSeparator(o.Sep);
        back.SetOemConvert(o.Oem);
        back.SetTildeLineBreaks(o.Tilde);
        back.SetColCount(2);   // grows to the fields there are
        back.LoadFromCsvFile(name.c_str());
        ASSERT_EQ(back.RowCount(), g.RowCount()) << int(o.Sep);
        ASSERT_EQ(back.ColCount(), 3);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(back.Cells(1, int(i) + 1), texts[i]) << "sep " << int(o.Sep) << " row " << i;
            EXPECT_EQ(back.Cells(2, int(i) + 1), "end") << "sep " << int(o.Sep) << " row " << i;
        }
    }
}

TEST_F(GridCsv, ReadsForeignFiles)
{
    std::string name = Dir / "f.csv";
    // A quoted field over two lines (LF inside), a lone quote in a plain field,
    // a field with doubled quotes around a word, a quote that never closes (its
    // line keeps its own text, the next line is a row of its own).
    WriteFileBytes(name, "id;opis;uwagi\r\n"
                         "1;\"pierwsza\nlinia\";5\" śruba\r\n"
                         "2;\"\"\"słowo\"\"\";ok\r\n"
                         "3;\"bez końca\r\nciąg");
    TProStringGrid g(nullptr);
    g.SetReadFirstLine(false);
    g.LoadFromCsvFile(name.c_str());
    // From row 0: ExportFixedCells.
    EXPECT_EQ(GridTexts(g), "1|pierwsza\r\nlinia|5\" śruba||/2|\"słowo\"|ok||/3|bez końca|||/ciąg||||");

    TProStringGrid limited(nullptr);
    limited.LoadFromCsvFile(name.c_str(), 2);
    EXPECT_EQ(limited.RowCount(), 2);
    EXPECT_EQ(limited.Cells(0, 0), "id");
    EXPECT_EQ(limited.Cells(2, 1), "5\" śruba");
}

// A file of another program is read as UTF-8 (with or without its byte-order mark), as UTF-16
// with its mark or as Windows-1250; one with characters the grid's text cannot hold, or that is
// no text, is refused whole.
TEST_F(GridCsv, ReadsUtf8Utf16AndWindows1250Files)
{
    const std::string name = Dir / "f.csv";
    const AnsiString row = "ŚWIADECTWO;żółć – „x”\r\n";
    for (const TForeignText& c : ForeignTexts(row)) {
        SCOPED_TRACE(c.What);
        WriteFileBytes(name, c.Bytes);
        TProStringGrid g(nullptr);
        g.SetCells(0, 0, "było");
        const int rows = g.RowCount();
        if (c.Refusal) {
            try {
                g.LoadFromCsvFile(name.c_str());
                ADD_FAILURE();
            } catch (const EForeignTextError& e) {
                EXPECT_NE(e.Message().find(c.Refusal), AnsiString::npos) << e.Message();
            }
            EXPECT_EQ(g.Cells(0, 0), "było");
            EXPECT_EQ(g.RowCount(), rows);
            continue;
        }
        g.LoadFromCsvFile(name.c_str());
        EXPECT_EQ(g.Cells(0, 0), "ŚWIADECTWO");
        EXPECT_EQ(g.Cells(1, 0), "żółć – „x”");
        EXPECT_EQ(g.GetGridCell(2, 0) + g.GetGridCell(0, 1), "");   // nothing more, beyond the grid either
    }
}

// Each line of a file is a row that holds exactly its fields, whatever the grid held before.
TEST_F(GridCsv, EachLineLoadsAsARowOfItsOwnFields)
{
    // OldText: a grid of 3 x 3 cells "o"
    struct Case { const char* File; bool OldText; const char* Result; } cases[] = {
        {"a;\"b\r\nc;d\r\ne;f\r\ng;h\r\n", false, "a|b/c|d/e|f/g|h"},   // a quote that never closes
        {"a;\"b;c\r\nd;e\r\n", false, "a|b|c/d|e|"},
        {"a;b;\r\n\r\nc\r\n", true, "a|b|/||/c||"},                     // empty last field, empty line
        {"x\r\n", true, "x||"},                                             // one line, one row
    };
    const std::string name = Dir / "l.csv";
    for (const Case& c : cases) {
        WriteFileBytes(name, c.File);
        TProStringGrid g(nullptr);
        g.SetColCount(c.OldText ? 3 : 2);
        g.SetRowCount(c.OldText ? 3 : 2);
        for (int r = 0; c.OldText && r < 3; ++r)
            for (int col = 0; col < 3; ++col)
                g.SetCells(col, r, "o");
        g.LoadFromCsvFile(name.c_str());
        EXPECT_EQ(GridTexts(g), c.Result) << c.File;
    }
}

TEST_F(GridCsv, ManyLinesGiveExactlyTheirRowsAndProgress)
{
    std::string name = Dir / "big.csv";
    std::string text;
    for (int i = 0; i < 2500; ++i)
        text += std::to_string(i) + ",w" + std::to_string(i) + "\r\n";
    WriteFileBytes(name, text);
    for (bool progress : {false, true}) {
        TProStringGrid g(nullptr);
        g.SetExportFixedCells(false);
        std::vector<int> seen;
        if (progress)
            g.OnFileProgress = [&](TObject*, int P) { seen.push_back(P); };
        g.LoadFromCsvFile(name.c_str());
        EXPECT_EQ(g.RowCount(), 2501);
        EXPECT_EQ(g.Cells(1, 1), "0");
        EXPECT_EQ(g.Cells(2, 2500), "w2499");
        if (progress) {
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(seen.back(), 100);
            EXPECT_EQ(seen.size(), 101u);   // each percentage once
        }
    }
}

TEST_F(GridCsv, AppendAddsRowsToTheGridAndLinesToTheFile)
{
    std::string name = Dir / "ap.csv";
    TProStringGrid g(nullptr);
    SetGridTexts(g, "h|/|one");
    g.SaveToCsvFile(name.c_str());
    g.SetCells(1, 1, "two");
    g.WriteCsvFile(name.c_str(), true);
    EXPECT_EQ(ReadFileBytes(name), "h,\"\"\r\n\"\",one\r\nh,\"\"\r\n\"\",two\r\n");

    g.ReadCsvFile(name.c_str(), true, 0);
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Cells(1, 3), "one");
    EXPECT_EQ(g.Cells(1, 5), "two");
    // The floating footer's row stays last, right after the rows appended.
    g.FloatingFooter()->SetVisible(true);
    g.SetCells(0, 5, "stopka");
    g.ReadCsvFile(name.c_str(), true, 0);
    EXPECT_EQ(g.RowCount(), 10);
    EXPECT_EQ(g.Cells(1, 8), "two");
    EXPECT_EQ(g.Cells(0, 9), "stopka");
}

TEST_F(GridCsv, HiddenColumnsOnlyWithExportHiddenColumns)
{
    std::string name = Dir / "h.csv";
    TProStringGrid g(nullptr);
    SetGridTexts(g, "a|ukryta|c");
    g.SetFixedRows(0);
    g.HideColumn(1);
    g.SaveToCsvFile(name.c_str());
    EXPECT_EQ(ReadFileBytes(name), "a,c\r\n");
    g.SetExportHiddenColumns(true);
    g.SaveToCsvFile(name.c_str());
    EXPECT_EQ(ReadFileBytes(name), "a,ukryta,c\r\n");
}
