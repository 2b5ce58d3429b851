// What the grid takes from a file, a paste or a cell's text stays within what it can show and
// hold: widths and heights, wrapped texts, the grid's growth, workbook references, print sizes
// and filter conditions. Each case is quick and leaves the grid as the user expects.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <new>
#include <string>

#include <pugixml.hpp>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/services/OfficePackage.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Printers.h"
#include "tests/common/Bounds.h"
#include "tests/common/Fuzz.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {

struct InputBounds : TGridFormTest<TProStringGrid> {
    TTempDir Dir{"velmarok-bounds"};
    // 5 x 4 cells, "zostaje" in cell (1, 1): the grid a refused read must leave as it was.
    void KeepFiveByFour()
    {
        Grid->SetColCount(5);
        Grid->SetRowCount(4);
        Grid->SetCells(1, 1, "zostaje");
    }
    static constexpr const char* Kept = "||||/|zostaje|||/||||/||||";
};

// The processor time a case may take, generous for a sanitizer build; the faults it guards
// against took from half a minute to hours.
constexpr double CaseSeconds = 2.0;

// A sheet of these rows, with a dimension when one is given.
std::string SheetXml(const std::string& Rows, const std::string& Dimension = "")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
           "spreadsheetml/2006/main\">" +
           (Dimension.empty() ? "" : "<dimension ref=\"" + Dimension + "\"/>") + "<sheetData>" + Rows +
           "</sheetData></worksheet>";
}

// A line of Seps separators and then Lines short lines.
std::string SeparatorBlock(char Sep, int Seps, int Lines)
{
    std::string t(std::size_t(Seps), Sep);
    for (int i = 0; i < Lines; ++i) t += "\r\na";
    return t + "\r\n";
}

}  // namespace

TEST_F(InputBounds, WidthsFromTextsAndFilesAreHeldAtTheLargestExtent)
{
    const std::string ini = Dir / "kolumny.ini";
    WriteFileBytes(ini, "[Wykaz]\r\nCol1=2147483647\r\nCol2=2147483647\r\n");
    struct Case {
        const char* Name;
        std::function<void()> Load;
    } cases[] = {
        {"mini-HTML indent",
         [&] {
             Grid->SetCells(1, 1, "<IND x=\"2147483647\">a");
             Grid->AutoSizeColumns(false, 4);
         }},
        {"padding of the sized columns", [&] { Grid->AutoSizeColumns(false, INT_MAX); }},
        {"saved widths",
         [&] {
             Grid->ColumnSize()->SetLocation(clIniFile);
             Grid->ColumnSize()->SetKey(ini);
             Grid->ColumnSize()->SetSection("Wykaz");
             Grid->LoadColumnSizes();
         }},
        {"grid text stream",
         [&] {
             TStringStream in("4,3\r\ncw 1,2147483647\r\ncw 2,2147483647\r\n1,1,a\r\n");
             Grid->ReadTextStream(&in);
         }},
    };
    for (const Case& k : cases) {
        Grid->SetColCount(4);
        Grid->SetRowCount(3);
        Grid->SetDefaultColWidth(64);
        Grid->SetLeftCol(1);
        const double start = ProcessSeconds();
        k.Load();
        EXPECT_EQ(Grid->ColWidths(1), MaxGridExtent) << k.Name;
        GrabControl(Grid);
        // The last column can be scrolled into view; the wide one shows alone.
        Grid->SetLeftCol(3);
        EXPECT_EQ(Grid->LeftCol(), 3) << k.Name;
        Grid->SetLeftCol(1);
        EXPECT_EQ(Grid->VisibleColCount(), 1) << k.Name;
        GrabControl(Grid);
        EXPECT_LT(ProcessSeconds() - start, CaseSeconds) << k.Name;
    }
}

TEST_F(InputBounds, CellTextsWithoutBlanksPaintInTimeTheirLengthAllows)
{
    const std::string csv = Dir / "dane.csv";
    Grid->SetOptions(Grid->Options() | goEditing);
    // A word of N letters read into a cell, painted.
    const auto read = [&](const std::function<void(const std::string& Word)>& Read) {
        return [&, Read](int N) {
            Grid->SetFixedRows(0);
            Grid->SetColCount(3);
            Grid->SetRowCount(3);
            Grid->SetColWidths(1, 200);
            Grid->SetRowHeights(0, 60);
            Grid->SetCells(1, 0, "");
            const std::string word(std::size_t(N), 'x');
            Read(word);
            ASSERT_EQ(Grid->Cells(1, 0), word);
        };
    };
    const auto paint = [&](int) { GrabControl(Grid); };
    const TScalingCase cases[] = {
        {"CSV field", 2500,
         read([&](const std::string& Word) {
             WriteFileBytes(csv, "a;" + Word + "\r\n");
             Grid->LoadFromCsvFile(csv.c_str());
         }),
         paint},
        {"paste", 2500, read([&](const std::string& Word) { Grid->PasteText(1, 0, Word); }), paint},
        {"grid text stream", 2500,
         read([&](const std::string& Word) {
             TStringStream in("3,3\r\n1,0," + Word + "\r\n");
             Grid->ReadTextStream(&in);
         }),
         paint},
    };
    for (const TScalingCase& k : cases) ExpectProportional(k);
    SaveScreenshot(Form, "grid_long_word_wrapped.png");
}

TEST_F(InputBounds, PastesAndFilesThatWouldGrowTheGridTooLargeAreRefusedWithTheGridAsItWas)
{
    const std::string csv = Dir / "dane.csv", xlsx = Dir / "arkusz.xlsx";
    Grid->SetOptions(Grid->Options() | goEditing);
    // A square block just past the bound, and a spreadsheet's rows and one more of 16 columns.
    const int side = 4096, sheetRows = 1048576;
    static_assert(Int64(side) * side == TProStringGrid::MaxGrownCells && 16LL * sheetRows == side * side);
    // A sheet that cannot be read after its first cells: refused for its size, it was refused
    // before the reader came to them.
    const auto sheet = [&](const std::string& Dimension, const std::string& Rows) {
        Grid->SaveToExcel(xlsx.c_str());
        ReplacePackagePart(xlsx, "xl/worksheets/sheet1.xml", SheetXml(Rows + "<row><c><v>1</v></c></rowx>", Dimension));
        Grid->LoadFromExcel(xlsx.c_str(), "");
    };
    const std::string corners =
        "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"1048576\"><c r=\"XFD1048576\"><v>2</v></c></row>";
    struct Case {
        const char* Name;
        std::function<void()> Read;
    } cases[] = {
        {"paste of tabs",
         [&] {
             // The key's handler raises what the application shows in a message box.
             Clipboard()->SetAsText(SeparatorBlock('\t', side, side));
             Grid->Navigation()->SetAllowClipboardShortCuts(true);
             Grid->SetFocus();
             KeyDown(Grid, 'V', ssCtrl);
         }},
        {"drop of text inserting its rows",
         [&] {
             Grid->DragDropSettings()->SetOleDropTarget(true);
             Grid->DragDropSettings()->SetOleInsertRows(true);
             TSystemDropData text;
             text.Text = SeparatorBlock('\t', side, side);
             const TRect cell = Grid->CellRect(1, 1);
             DropFromOutside(text, {TSystemDragStep{Grid, cell.Left + 2, cell.Top + 2, 0}});
         }},
        {"paste of a wide line", [&] { Grid->PasteText(1, 1, std::string(side * side / 200, '\t') + "\r\n" + SeparatorBlock('\t', 0, 200)); }},
        {"CSV file",
         [&] {
             WriteFileBytes(csv, SeparatorBlock(';', side, side));
             Grid->LoadFromCsvFile(csv.c_str());
         }},
        {"CSV file of a spreadsheet's rows and one more",
         [&] {
             WriteFileBytes(csv, SeparatorBlock(',', 16, sheetRows));
             Grid->LoadFromCsvFile(csv.c_str());
         }},
        {"grid text stream of wide rows",
         [&] {
             std::string stream = "65536,500\r\n";
             for (int r = 0; r < 500; ++r) stream += "0," + std::to_string(r) + ",a\r\n";
             TStringStream in(stream);
             Grid->ReadTextStream(&in);
         }},
        {"workbook whose dimension is too large", [&] { sheet("A1:Q1048576", "<row><c><v>1</v></c></row>"); }},
        {"workbook without a dimension", [&] { sheet("", corners); }},
        {"workbook whose cells run past its dimension", [&] { sheet("A1:B2", corners); }},
        {"rows inserted past the count", [&] { Grid->InsertRows(1, INT_MAX); }},
        {"columns inserted past the count", [&] { Grid->InsertColumns(1, INT_MAX); }},
    };
    for (const Case& k : cases) {
        KeepFiveByFour();
        const double start = ProcessSeconds();
        EXPECT_EQ(GridError(k.Read), "Grid too large for operation") << k.Name;
        EXPECT_EQ(GridTexts(*Grid), Kept) << k.Name;
        EXPECT_LT(ProcessSeconds() - start, CaseSeconds) << k.Name;
    }
    // Memory that runs out while the cells go in (the cell hooks throw as an allocation would) is
    // refused the same way.
    const auto outOfMemory = [](auto&&...) { throw std::bad_alloc(); };
    Grid->OnLoadCell = outOfMemory;
    Grid->OnClipboardBeforePasteCell = outOfMemory;
    WriteFileBytes(csv, "a;b\r\n");
    Grid->SaveToExcel(xlsx.c_str());
    for (const auto& read : std::initializer_list<std::function<void()>>{
             [&] { Grid->LoadFromCsvFile(csv.c_str()); }, [&] { Grid->LoadFromExcel(xlsx.c_str(), ""); },
             [&] { Grid->PasteText(1, 1, "a\tb"); }})
        EXPECT_EQ(GridError(read), "Grid too large for operation");
    Grid->OnLoadCell = nullptr;
    Grid->OnClipboardBeforePasteCell = nullptr;
}

// A grid that runs out of memory at a column lookup, after a number of them: the cell stream looks up
// each cell's column as it stores it.
class TShortOfMemoryGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    int RealColIndex(int ADisplayCol) const override
    {
        if (LookupsLeft >= 0 && LookupsLeft-- == 0) throw std::bad_alloc();
        return TProStringGrid::RealColIndex(ADisplayCol);
    }
    mutable int LookupsLeft = -1;
};
using ReadFailures = TGridFormTest<TShortOfMemoryGrid>;

TEST_F(ReadFailures, AReadThatFailsAfterSomeCellsLeavesTheGridAsItWas)
{
    TTempDir dir("velmarok-bounds");
    const std::string csv = dir / "dane.csv", xlsx = dir / "arkusz.xlsx";
    // What is read: 6 x 8 cells of another grid, in each form.
    TProStringGrid source(nullptr);
    source.SetColCount(6);
    source.SetRowCount(8);
    NameCells(source);
    source.SaveToCsvFile(csv.c_str());
    source.SaveToExcel(xlsx.c_str());
    TMemoryStream text, cells;
    source.WriteTextStream(&text);
    source.WriteCellObjects(TGridRect(0, 0, 5, 7), &cells);
    source.Navigation()->SetAllowFmtClipboard(true);
    source.SetSelection(TGridRect(0, 0, 5, 7));
    source.CopySelection();
    Grid->SetOptions(Grid->Options() | goEditing);
    int left = 0;
    const auto failing = [&left](auto&&...) {
        if (left-- == 0) throw std::bad_alloc();
    };
    struct Case {
        const char* Name;
        std::function<void()> Read;
        bool Lookups;
    } cases[] = {
        {"CSV file", [&] { Grid->LoadFromCsvFile(csv.c_str()); }, false},
        {"CSV file appended", [&] { Grid->ReadCsvFile(csv.c_str(), true, 0); }, false},
        {"grid text stream", [&] { text.SetPosition(0), Grid->ReadTextStream(&text); }, false},
        {"workbook", [&] { Grid->LoadFromExcel(xlsx.c_str(), ""); }, false},
        {"paste of text", [&] { Grid->PasteSelection(); }, false},
        {"cell stream", [&] { cells.SetPosition(0), Grid->ReadCellObjects(TPoint(1, 1), &cells); }, true},
        {"paste of the grid's own format", [&] { Grid->PasteSelection(); }, true},
    };
    for (const Case& k : cases)
        for (int n : {0, 5, 20}) {
            Grid->SetColCount(5);
            Grid->SetRowCount(6);
            NameCells(*Grid);
            Grid->CellProperties(2, 2)->SetBrushColor(clRed);
            TCellGraphic* box = Grid->CreateCellGraphic(3, 3);
            box->CellType = ctCheckBox;
            box->CellBoolean = true;
            Grid->FocusCell(3, 4, true);
            const std::string before = GridTexts(*Grid);
            Grid->Navigation()->SetAllowFmtClipboard(k.Lookups);
            (k.Lookups ? Grid->LookupsLeft : left) = n;
            if (!k.Lookups) {
                Grid->OnLoadCell = failing;
                Grid->OnClipboardBeforePasteCell = failing;
            }
            EXPECT_ANY_THROW(k.Read()) << k.Name << n;
            Grid->LookupsLeft = -1;
            Grid->OnLoadCell = nullptr;
            Grid->OnClipboardBeforePasteCell = nullptr;
            EXPECT_EQ(GridTexts(*Grid), before) << k.Name << n;
            EXPECT_EQ(TPoint(Grid->ColCount(), Grid->RowCount()), TPoint(5, 6)) << k.Name << n;
            EXPECT_EQ(Current(), TPoint(3, 4)) << k.Name << n;
            bool checked = false;
            EXPECT_TRUE(Grid->GetCheckBoxState(3, 3, checked) && checked) << k.Name << n;
            EXPECT_TRUE(Grid->HasCellProperties(2, 2) && Grid->CellProperties(2, 2)->BrushColor() == clRed) << k.Name << n;
        }
}

TEST_F(InputBounds, CsvFilesAndWorkbooksOfSixHundredThousandRowsOfEightColumnsAreReadWhole)
{
    const std::string csv = Dir / "dane.csv", xlsx = Dir / "arkusz.xlsx";
    constexpr int rows = 600000;
    // Each row its number in the first column and a word in the last; the workbook is the grid's
    // own save of what the CSV file gave.
    std::string text;
    for (int r = 1; r <= rows; ++r) text += std::to_string(r) + ",,,,,,,zawór\r\n";
    WriteFileBytes(csv, text);
    for (const auto& read : std::initializer_list<std::function<void()>>{
             [&] { Grid->LoadFromCsvFile(csv.c_str()); },
             [&] {
                 Grid->SaveToExcel(xlsx.c_str());
                 Grid->SetColCount(3);
                 Grid->SetRowCount(3);
                 Grid->LoadFromExcel(xlsx.c_str(), "");
             }}) {
        read();
        ASSERT_EQ(Grid->RowCount(), rows);
        ASSERT_EQ(Grid->ColCount(), 8);
        EXPECT_EQ(Grid->Cells(0, 0), "1");
        EXPECT_EQ(Grid->Cells(0, rows - 1), "600000");
        EXPECT_EQ(Grid->Cells(7, rows - 1), "zawór");
        EXPECT_EQ(Grid->Cells(6, rows - 1), "");
    }
}

TEST_F(InputBounds, WorkbookReferencesBeyondTheSheetAreRefused)
{
    const std::string xlsx = Dir / "arkusz.xlsx";
    const char* sheets[] = {
        "<row r=\"2147483647\"/><row><c><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"A99999999999\"><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"ZZZZZZZZ1\"><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"ZZZZZZ1\"><v>2</v></c></row>",
        "<row r=\"1048576\"/><row><c><v>1</v></c></row>",
        "<row r=\"1\"><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>",
    };
    for (const char* rows : sheets) {
        KeepFiveByFour();
        Grid->SaveToExcel(xlsx.c_str());
        ReplacePackagePart(xlsx, "xl/worksheets/sheet1.xml", SheetXml(rows));
        const double start = ProcessSeconds();
        EXPECT_THROW(Grid->LoadFromExcel(xlsx.c_str(), ""), EProGridError) << rows;
        // Saving into the sheet reads its references too.
        EXPECT_THROW(Grid->SaveToExcel(xlsx.c_str(), "Arkusz1", false), EProGridError) << rows;
        EXPECT_EQ(GridTexts(*Grid), Kept) << rows;
        EXPECT_LT(ProcessSeconds() - start, CaseSeconds) << rows;
    }
}

TEST_F(InputBounds, NumbersOfWorkbooksDocumentsAndPrintSettingsAddUpWithoutOverflow)
{
    const std::string xlsx = Dir / "arkusz.xlsx", templ = Dir / "wzor.docx", docx = Dir / "wynik.docx";
    const std::string ini = Dir / "druk.ini";
    Grid->SetColCount(2);
    Grid->SetRowCount(2);
    Grid->SetCells(1, 1, "a");
    auto workbookWith = [&](const char* Id) {
        Grid->SaveToExcel(xlsx.c_str());
        std::string wb = PackagePart(xlsx, "xl/workbook.xml");
        const std::size_t at = wb.find("sheetId=\"") + 9;
        ReplacePackagePart(xlsx, "xl/workbook.xml", wb.replace(at, wb.find('"', at) - at, Id));
        Grid->SaveToExcel(xlsx.c_str(), "Drugi", false);
        pugi::xml_document doc;
        const std::string data = PackagePart(xlsx, "xl/workbook.xml");
        doc.load_buffer(data.data(), data.size());
        std::vector<std::string> ids;
        for (pugi::xml_node s : doc.document_element().child("sheets").children("sheet"))
            ids.push_back(s.attribute("sheetId").value());
        return ids;
    };
    auto gridColumnWidth = [&](const char* Right) {
        Grid->SaveToWord(templ.c_str());
        std::string doc = PackagePart(templ, "word/document.xml");
        const std::size_t sect = doc.rfind("<w:sectPr");
        doc.replace(sect, doc.find("</w:sectPr>", sect) + 11 - sect,
                    std::string("<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:left=\"-2147483648\" w:right=\"") +
                        Right + "\"/></w:sectPr>");
        ReplacePackagePart(templ, "word/document.xml", doc);
        Grid->SaveToWord(docx.c_str(), templ.c_str(), "");
        const std::string written = PackagePart(docx, "word/document.xml");
        const std::size_t col = written.rfind("<w:gridCol w:w=\"") + 16;   // the table added last
        return written.substr(col, written.find('"', col) - col);
    };
    TPrintSettings* ps = Grid->PrintSettings();
    auto printSizes = [&](const char* Values) {
        WriteFileBytes(ini, std::string("[PRINTSETTINGS]\r\n") + Values);
        Grid->LoadPrintSettings(ini, "PRINTSETTINGS");
        TBitmap page;
        page.SetSize(200, 280);
        Grid->PrintPreviewTo(page.Canvas(), TRect(0, 0, 200, 280));
        return std::vector<int>{ps->FooterSize(), ps->HeaderSize(), ps->TitleSpacing(), ps->LeftSize()};
    };
    // The longer side of the printer's page (A4 in the tests, less what it cannot print on).
    const int page = std::max(Printer()->PageWidth(), Printer()->PageHeight()) * 254 /
                     GetDeviceCaps(Printer()->Canvas(), LOGPIXELSY);
    ASSERT_GT(page, 2800);
    // The widest text of an A4 page in twips, shared by the two columns.
    const std::string half = std::to_string((11906 - 2 * 1417) / 2);
    EXPECT_EQ(workbookWith("2147483647"), (std::vector<std::string>{"2147483647", "2147483648"}));
    EXPECT_EQ(workbookWith("4294967295"), (std::vector<std::string>{"4294967295", "1"}));
    EXPECT_EQ(gridColumnWidth("-2147483648"), half);
    EXPECT_EQ(printSizes("FooterSize=2147483647\r\nTitleSpacing=-2147483648\r\nHeaderSize=99999\r\nLeftSize=-5\r\n"),
              (std::vector<int>{page, page, 0, 0}));
    EXPECT_EQ(printSizes("FooterSize=150\r\nTitleSpacing=30\r\n"), (std::vector<int>{150, 100, 30, 100}));
}

TEST_F(InputBounds, DeepDocumentsAndInflatedWorkbooksAreReadWithinBoundedStackAndMemory)
{
    const std::string templ = Dir / "wzor.docx", docx = Dir / "wynik.docx", xlsx = Dir / "arkusz.xlsx";
    const std::size_t inflated = std::size_t(100) << 20;   // blanks that pack into about 100 KB
    Grid->SetColCount(3);
    Grid->SetRowCount(3);
    Grid->SetCells(1, 1, "zawór");
    struct Case {
        const char* Name;
        std::function<void()> Prepare, Read;
        const char* Expected;      // the texts the grid or the document ends up with
        long long MostKiB;         // the memory the read may take on top; 0: not measured
    } cases[] = {
        {"a document template nesting 200,000 paragraphs before its bookmark",
         [&] {
             Grid->SaveToWord(templ.c_str());
             std::string doc = PackagePart(templ, "word/document.xml");
             doc.replace(doc.find("<w:body>"), 8,
                         "<w:body>" + Repeated("<w:p>", 200000) +
                             "<w:bookmarkStart w:id=\"0\" w:name=\"tabela\"/>" + Repeated("</w:p>", 200000));
             ReplacePackagePart(templ, "word/document.xml", doc);
         },
         [&] {
             Grid->SaveToWord(docx.c_str(), templ.c_str(), "tabela");
             const std::string doc = PackagePart(docx, "word/document.xml");
             // The table stands after the paragraph that holds the bookmark.
             const std::size_t mark = doc.find("w:name=\"tabela\"/></w:p>");
             EXPECT_NE(mark, std::string::npos);
             EXPECT_EQ(doc.find("<w:tbl>"), doc.find("</w:p>", mark) + 6);
             EXPECT_NE(doc.find("zaw\xC3\xB3r"), std::string::npos);
         },
         nullptr, 0},
        {"a workbook whose sheet unpacks to 100 MB of blanks",
         [&] {
             Grid->SaveToExcel(xlsx.c_str());
             ReplacePackagePart(xlsx, "xl/worksheets/sheet1.xml",
                         SheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>zaw\xC3\xB3r</t></is></c></row>" +
                                  std::string(inflated, ' ') + "<row r=\"2\"><c r=\"B2\"><v>7</v></c></row>"));
         },
         [&] { Grid->LoadFromExcel(xlsx.c_str(), ""); }, "zawór|/|7", 48 << 10},
        {"a workbook whose shared strings unpack to 100 MB of blanks",
         [&] {
             Grid->SaveToExcel(xlsx.c_str());
             std::string rels = PackagePart(xlsx, "xl/_rels/workbook.xml.rels");
             rels.insert(rels.rfind("</Relationships>"),
                         "<Relationship Id=\"rId99\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>");
             ReplacePackagePart(xlsx, "xl/_rels/workbook.xml.rels", rels);
             ReplacePackagePart(xlsx, "xl/sharedStrings.xml",
                         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>zaw\xC3\xB3r"
                         "</t></si>" + std::string(inflated, ' ') + "<si><r><t>7</t></r></si></sst>");
             ReplacePackagePart(xlsx, "xl/worksheets/sheet1.xml",
                                SheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                                         "<c r=\"B1\" t=\"s\"><v>1</v></c></row>"));
         },
         [&] { Grid->LoadFromExcel(xlsx.c_str(), ""); }, "zawór|7", 48 << 10},
    };
    for (const Case& k : cases) {
        k.Prepare();
        const double start = ProcessSeconds();
        const long long kib = PeakMemoryGrowthKiB(k.Read);
        EXPECT_LT(ProcessSeconds() - start, 3 * CaseSeconds) << k.Name;
        if (k.MostKiB > 0 && kib >= 0) { EXPECT_LT(kib, k.MostKiB) << k.Name; }
        if (k.Expected) { EXPECT_EQ(GridTexts(*Grid), k.Expected) << k.Name; }
    }
}

TEST_F(InputBounds, RowWorkClosingTagsAndRichTextCostInProportionToTheirSize)
{
    Grid->SetWordWrap(true);
    Grid->SetSaveKeepsRichText(false);
    Grid->SetColWidths(1, 200);
    const auto cell = [&](const std::string& Text) {
        Grid->SetColCount(3);
        Grid->SetRowCount(3);
        Grid->SetCells(1, 1, Text);
    };
    const auto paint = [&](int) { GrabControl(Grid); };
    // N rows under a header, each Run rows sharing a key in column 1.
    std::unique_ptr<TProStringGrid> keys;
    const auto fillKeys = [&](int N, int Run = 1) {
        keys = std::make_unique<TProStringGrid>(nullptr);
        keys->SetColCount(4);
        keys->SetRowCount(N + 1);
        for (int r = 1; r <= N; ++r) {
            keys->SetCells(1, r, "k" + std::to_string(100000 + (r - 1) / Run));
            keys->SetCells(2, r, "v");
        }
    };
    // N groups of two rows.
    const auto groups = [&](int N) { fillKeys(2 * N, 2); keys->GroupByColumn(1); };
    const auto contracted = [&](int N) { groups(N); keys->ContractAll(); };
    const auto rowsLeft = [&](int Rows) { EXPECT_EQ(keys->RowCount(), Rows); };
    // A selected rich cell is painted in the selection's text colour, set by the grid's hidden
    // rich edit; its text is read through the other one.
    const auto richText = [&](int) {
        Grid->SetOptions(Grid->Options() | goRangeSelect);
        Grid->SetSelection(TGridRect(1, 1, 2, 2));
        GrabControl(Grid);
        AnsiString s;
        Grid->SaveCell(1, 1, s);
        EXPECT_FALSE(s.empty());
    };
    const TScalingCase cases[] = {
        {"SubGroup of as many keys as rows", 16000, [&](int N) { fillKeys(N); },
         [&](int N) { keys->SubGroup(1); rowsLeft(2 * N + 1); }},
        {"a cell of closing tags </b>", 40000, [&](int N) { cell("<b>a" + Repeated("</b>", N)); }, paint},
        {"a cell of closing tags </font>", 40000,
         [&](int N) { cell("<font color=\"clred\">a" + Repeated("</font>", N)); }, paint},
        {"a rich cell of one word", 15000,
         [&](int N) { cell("{\\rtf1\\ansi " + std::string(std::size_t(N), 'x') + "\\par}"); }, richText},
        {"a rich cell of paragraphs in the largest size", 1000,
         [&](int N) { cell("{\\rtf1\\ansi\\fs3276 " + Repeated("a\\par ", N) + "}"); }, richText},
        {"RemoveRows of a block", 20000, [&](int N) { fillKeys(N); },
         [&](int N) { keys->RemoveRows(1, N / 2); rowsLeft(N - N / 2 + 1); }},
        {"RemoveSelectedRows of every other row", 4000,
         [&](int N) {
             fillKeys(N);
             keys->MouseActions()->SetDisjunctRowSelect(true);
             for (int r = 1; r <= N; r += 2) keys->SetRowSelect(r, true);
         },
         [&](int N) { keys->RemoveSelectedRows(); rowsLeft(N / 2 + 1); }},
        {"RemoveDuplicateRows of pairs", 6000, [&](int N) { fillKeys(N, 2); },
         [&](int N) { keys->RemoveDuplicateRows(1, true); rowsLeft(N / 2 + 1); }},
        {"RemoveRowsEx of a block among hidden rows", 5000, contracted,
         [&](int N) { keys->RemoveRowsEx(1, N / 2); rowsLeft(N - N / 2 + 1); }},
        {"RemoveNodeLevel of as many groups as rows", 8000,
         [&](int N) { fillKeys(N); keys->SubGroup(1); },
         [&](int N) { keys->RemoveNodeLevel(1); rowsLeft(N + 1); }},
        {"ContractAll of groups", 4000, groups,
         [&](int N) { keys->ContractAll(); rowsLeft(N + 1); }},
        {"ExpandAll of contracted groups", 8000, contracted,
         [&](int N) { keys->ExpandAll(); rowsLeft(3 * N + 1); }},
        {"ContractNode and ExpandNode of one group", 5000, [&](int N) { fillKeys(N, N); keys->GroupByColumn(1); },
         [&](int N) {
             keys->ContractNode(1);
             rowsLeft(2);
             keys->ExpandNode(1);
             rowsLeft(N + 2);
         }},
    };
    for (const TScalingCase& k : cases) ExpectProportional(k);
}

TEST(FilterConditions, UnclosedBracketsCostTheConditionsLength)
{
    std::string condition;
    // A grid filter asks once per row.
    const auto match = [&](const char* Text, bool Matches) {
        return [&condition, Text, Matches](int) {
            for (int row = 0; row < 20; ++row)
                EXPECT_EQ(MatchFilterCondition(condition, Text, false), Matches) << condition.substr(0, 20);
        };
    };
    const auto unclosedAfterAMatch = [&](int N) { condition = "((a|b)&!c*)|(" + std::string(std::size_t(N), '(') + "x"; };
    const TScalingCase cases[] = {
        {"unclosed brackets", 2500, [&](int N) { condition = std::string(std::size_t(N), '(') + "a"; },
         match("a", false)},
        {"unclosed alternatives", 625, [&](int N) { condition = Repeated("(a|", std::size_t(N)); }, match("b", false)},
        {"a match before unclosed brackets", 1875, unclosedAfterAMatch, match("b", true)},
        {"no match before unclosed brackets", 1875, unclosedAfterAMatch, match("c", false)},
    };
    for (const TScalingCase& k : cases) ExpectProportional(k);
}
