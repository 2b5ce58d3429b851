#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cstdlib>
#include <string>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/services/OfficePackage.h"
#include "grid/services/OfficeXml_p.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {
// Each test's files go into a scratch folder of its own.
struct GridOffice : ::testing::Test {
    TTempDir Dir{"velmarok-office"};
};

pugi::xml_document PartXml(const std::string& File, const std::string& Part)
{
    pugi::xml_document doc;
    std::string data = PackagePart(File, Part);
    EXPECT_TRUE(doc.load_buffer(data.data(), data.size(), pugi::parse_default | pugi::parse_ws_pcdata_single))
        << Part;
    return doc;
}

const char* const Texts[] = {
    "Nazwa", "Ilość", "12", "3,5", "007", "-4", "dwie\r\nlinie", " spacje ", "ŻÓŁĆ zażółć", "a\x01" "b", "_x0041_",
    "", "PN-EN 1090-2:2018", "1E5",
};
}

TEST_F(GridOffice, ColumnLettersAndRangeAddresses)
{
    struct Letters { int Col; const char* Name; } letters[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {30, "AD"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const Letters& l : letters) {
        EXPECT_EQ(ColumnLetters(l.Col), l.Name);
        EXPECT_EQ(ColumnNumber(l.Name), l.Col);
    }
    struct Range { const char* Address; bool Ok; TRect R; } ranges[] = {
        {"$B$2:$D$5", true, TRect(2, 2, 4, 5)}, {"B2:D5", true, TRect(2, 2, 4, 5)}, {"$B$2", true, TRect(2, 2, 2, 2)},
        {"$AAA$1:$AAB$3", true, TRect(703, 1, 704, 3)}, {"$2:$5", true, TRect(1, 2, 256, 5)},
        {"D5:B2", true, TRect(2, 2, 4, 5)}, {"", false, {}}, {"B", false, {}}, {"A:C", false, {}},
        {"1A", false, {}}, {"B2:", false, {}},
    };
    for (const Range& r : ranges) {
        TRect got;
        ASSERT_EQ(ParseRangeAddress(r.Address, got), r.Ok) << r.Address;
        if (r.Ok) {
            EXPECT_TRUE(got.Left == r.R.Left && got.Top == r.R.Top && got.Right == r.R.Right && got.Bottom == r.R.Bottom)
                << r.Address;
        }
    }
}

TEST_F(GridOffice, WorkbookReadsBackEqualAndAddsASheetKeepingTheFirst)
{
    PolishFormatSettings formats;
    std::string name = Dir / "zestaw.xls";   // the new format's name is taken
    std::string file = Dir / "zestaw.xlsx";
    TProStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(int(std::size(Texts)) + 1);
    for (std::size_t i = 0; i < std::size(Texts); ++i) {
        g.SetCells(1, int(i) + 1, Texts[i]);
        g.SetCells(0, int(i) + 1, IntToStr(int(i)));
    }
    const AnsiString wide = EncodeUnicodeCell(u"\u03A9 \u0105");   // omega has no Windows-1250 form
    g.SetCells(1, 0, wide);
    g.SaveToExcel(name.c_str());
    ASSERT_TRUE(FileExists(file.c_str()));
    EXPECT_FALSE(FileExists(name.c_str()));

    pugi::xml_document sheet = PartXml(file, "xl/worksheets/sheet1.xml");
    EXPECT_STREQ(sheet.select_node("//*[local-name()='dimension']").node().attribute("ref").value(), "A1:B15");
    // "12" and "3,5" read back as the same numbers; "007" and "1E5" would not.
    EXPECT_STREQ(sheet.select_node("//*[@r='B4']/*[local-name()='v']").node().text().get(), "12");
    EXPECT_STREQ(sheet.select_node("//*[@r='B5']/*[local-name()='v']").node().text().get(), "3.5");
    EXPECT_STREQ(sheet.select_node("//*[@r='B6']").node().attribute("t").value(), "inlineStr");
    EXPECT_FALSE(sheet.select_node("//*[@r='B13']"));   // the empty cell

    TProStringGrid back(nullptr);
    back.LoadFromExcel(file.c_str(), "");
    ASSERT_EQ(back.RowCount(), g.RowCount());
    ASSERT_EQ(back.ColCount(), 2);
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(back.Cells(c, r), g.Cells(c, r)) << c << "," << r;
    EXPECT_EQ(back.Cells(1, 0), wide);

    std::string first = PackagePart(file, "xl/worksheets/sheet1.xml");
    TProStringGrid second(nullptr);
    SetGridTexts(second, "||/||drugi");
    second.SaveToExcel(file.c_str(), "Drugi");
    EXPECT_EQ(PackagePart(file, "xl/worksheets/sheet1.xml"), first);
    pugi::xml_document wb = PartXml(file, "xl/workbook.xml");
    EXPECT_EQ(wb.select_nodes("//*[local-name()='sheet']").size(), 2u);

    back.LoadFromExcel(file.c_str(), "drugi");
    EXPECT_EQ(back.ColCount(), 3);
    EXPECT_EQ(back.RowCount(), 2);
    EXPECT_EQ(back.Cells(2, 1), "drugi");
    back.LoadFromExcel(file.c_str(), "");
    EXPECT_EQ(back.Cells(1, 1), "Nazwa");

    // Writing into the named sheet again replaces its cells; no third sheet.
    second.SetCells(2, 1, "");
    second.SetCells(0, 0, "nowy");
    second.SaveToExcel(file.c_str(), "Drugi");
    EXPECT_EQ(PartXml(file, "xl/workbook.xml").select_nodes("//*[local-name()='sheet']").size(), 2u);
    back.LoadFromExcel(file.c_str(), "Drugi");
    EXPECT_EQ(back.Cells(0, 0), "nowy");
    EXPECT_EQ(back.Cells(2, 1), "");

    try {
        back.LoadFromExcel(file.c_str(), "Brak");
        FAIL();
    } catch (const EProGridError& e) {
        EXPECT_EQ(e.Message(), "Excel worksheet Brak not found");
    }
}

// A text that is the grid's form of a number with decimals is that number with the decimals as its format.
TEST_F(GridOffice, WorkbookNumbersKeepTheirDecimals)
{
    // Value: the cell's number; nullptr: a text
    // Format: its number format; "": the general one
    struct Case { const char* Text; const char* Value; const char* Format; } cases[] = {
        {"12,50", "12.5", "0.00"}, {"100,00", "100", "0.00"}, {"3,14", "3.14", "0.00"}, {"-0,5", "-0.5", "0.0"},
        {"0,125", "0.125", "0.000"}, {"12", "12", ""}, {"007", nullptr, ""}, {"1e3", nullptr, ""},
        {" 12,50", nullptr, ""}, {"12,50 ", nullptr, ""}, {"1 234,50", nullptr, ""}, {"00,50", nullptr, ""},
        {"12,", nullptr, ""}, {"PN-12,50", nullptr, ""},
    };
    PolishFormatSettings formats;
    const std::string file = Dir / "liczby.xlsx";
    TProStringGrid g(nullptr);
    g.SetColCount(1);
    g.SetRowCount(int(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        g.SetCells(0, int(i), cases[i].Text);
    g.SaveToExcel(file.c_str());
    g.SaveToExcel(file.c_str(), "Drugi");   // the formats are found again, not added twice
    pugi::xml_document styles = PartXml(file, "xl/styles.xml");
    EXPECT_EQ(styles.select_nodes("//*[local-name()='numFmt']").size(), 3u);
    for (const char* sheetPart : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"}) {
        pugi::xml_document sheet = PartXml(file, sheetPart);
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            pugi::xml_node cell = sheet.select_node(("//*[@r='A" + std::to_string(i + 1) + "']").c_str()).node();
            EXPECT_STREQ(cell.attribute("t").value(), c.Value ? "" : "inlineStr") << c.Text;
            EXPECT_STREQ(cell.child("v").text().get(), c.Value ? c.Value : "") << c.Text;
            std::string format;
            if (cell.attribute("s")) {
                auto xfs = styles.select_nodes("//*[local-name()='cellXfs']/*");
                const std::string id = xfs[cell.attribute("s").as_uint()].node().attribute("numFmtId").value();
                format = styles.select_node(("//*[@numFmtId='" + id + "' and @formatCode]").c_str())
                             .node().attribute("formatCode").value();
            }
            EXPECT_EQ(format, c.Format) << c.Text;
        }
    }
    TProStringGrid back(nullptr);
    back.LoadFromExcel(file.c_str(), "Drugi");
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(back.Cells(0, int(i)), cases[i].Text);
}

TEST_F(GridOffice, ThirtyColumnsEndInColumnAD)
{
    std::string file = Dir / "w.xlsx";
    TProStringGrid g(nullptr);
    g.SetColCount(30);
    g.SetRowCount(2);
    g.SetCells(29, 1, "ostatnia");
    g.SaveToExcel(file.c_str());
    pugi::xml_document sheet = PartXml(file, "xl/worksheets/sheet1.xml");
    EXPECT_STREQ(sheet.select_node("//*[local-name()='dimension']").node().attribute("ref").value(), "A1:AD2");
    EXPECT_STREQ(sheet.select_node("//*[@r='AD2']//*[local-name()='t']").node().text().get(), "ostatnia");
}

// A workbook as another program writes it: shared strings with rich text, a
// used range from B2, booleans, a date, a formula's text, an error value.
TEST_F(GridOffice, ReadsAForeignWorkbook)
{
    PolishFormatSettings formats;
    std::string file = Dir / "obcy.xlsx";
    {
        TOfficePackage p;
        const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
        const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
        p.SetPart("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
        p.SetPart("_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                 "<Relationship Id=\"a\" Type=\"" + rel + "/officeDocument\" Target=\"/xl/workbook.xml\"/>"
                                 "</Relationships>");
        p.SetPart("xl/workbook.xml", "<workbook " + ns + " xmlns:r=\"" + rel + "\"><bookViews><workbookView activeTab=\"1\"/>"
                                     "</bookViews><sheets><sheet name=\"Pusty\" sheetId=\"1\" r:id=\"s1\"/>"
                                     "<sheet name=\"Dane\" sheetId=\"2\" r:id=\"s2\"/></sheets></workbook>");
        p.SetPart("xl/_rels/workbook.xml.rels",
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"s1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/a.xml\"/>"
                  "<Relationship Id=\"s2\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/b.xml\"/>"
                  "<Relationship Id=\"t\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                  "<Relationship Id=\"y\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/></Relationships>");
        p.SetPart("xl/sharedStrings.xml", AnsiToUtf8("<sst " + ns + "><si><t>Norma</t></si><si><r><t>Zastąpiona </t></r>"
                                                     "<r><t>uznaniowo</t></r><rPh><t>x</t></rPh></si>"
                                                     "<si><t xml:space=\"preserve\">  </t></si></sst>"));
        p.SetPart("xl/styles.xml", "<styleSheet " + ns + "><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\"/>"
                                   "<numFmt numFmtId=\"165\" formatCode=\"0.00&quot; zł&quot;\"/></numFmts>"
                                   "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"14\"/>"
                                   "<xf numFmtId=\"165\"/></cellXfs></styleSheet>");
        // A sheet that names the main namespace with a prefix.
        p.SetPart("xl/worksheets/a.xml", "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                         "<x:sheetData><x:row r=\"2\"><x:c r=\"B2\" t=\"inlineStr\"><x:is><x:t>z prefiksem"
                                         "</x:t></x:is></x:c></x:row></x:sheetData></x:worksheet>");
        p.SetPart("xl/worksheets/b.xml",
                  "<worksheet " + ns + "><dimension ref=\"B2:D5\"/><sheetData>"
                  "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\" t=\"s\"><v>1</v></c><c r=\"D2\" t=\"b\"><v>1</v></c></row>"
                  "<row r=\"3\"><c r=\"B3\" s=\"1\"><v>45366</v></c><c r=\"C3\" s=\"2\"><v>45366.5</v></c>"
                  "<c r=\"D3\" s=\"3\"><v>2.5</v></c></row>"
                  "<row r=\"4\"><c r=\"B4\" t=\"str\"><f>A1&amp;\"x\"</f><v>wynik</v></c><c r=\"C4\" t=\"e\"><v>#DIV/0!</v></c>"
                  "<c r=\"D4\" t=\"s\"><v>2</v></c></row>"
                  "<row r=\"5\"><c r=\"D5\" s=\"1\"/></row></sheetData></worksheet>");
        p.SaveToFile(file.c_str());
    }
    TProStringGrid g(nullptr);
    g.SetCells(1, 1, "stare");
    std::vector<TRect> changed;
    g.OnCellsChanged = [&](TObject*, const TRect& R) { changed.push_back(R); };
    g.LoadFromExcel(file.c_str(), "");
    ASSERT_EQ(g.ColCount(), 3);
    ASSERT_EQ(g.RowCount(), 4);
    // One change for the whole grid, once it holds the sheet.
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_TRUE(changed[0].Left == 0 && changed[0].Top == 0 && changed[0].Right == 2 && changed[0].Bottom == 3);
    const char* expected[4][3] = {{"Norma", "Zastąpiona uznaniowo", "True"},
                                  {"15.03.2024", "15.03.2024 12:00:00", "2,5"},
                                  {"wynik", "", "  "},
                                  {"", "", ""}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(g.Cells(c, r), expected[r][c]) << c << "," << r;

    g.SetExportFixedCells(false);
    g.LoadFromExcel(file.c_str(), "Dane");
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Cells(1, 1), "Norma");

    g.LoadFromExcel(file.c_str(), "Pusty");
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cells(1, 1), "z prefiksem");

    // Written into, the prefixed sheet stays readable.
    TProStringGrid w(nullptr);
    SetGridTexts(w, "nowa|");
    w.SaveToExcel(file.c_str(), "Pusty");
    g.SetExportFixedCells(true);
    g.LoadFromExcel(file.c_str(), "Pusty");
    EXPECT_EQ(g.Cells(0, 0), "nowa");
    EXPECT_EQ(g.Cells(1, 1), "z prefiksem");
}

TEST_F(GridOffice, LegacyAndBrokenFilesRaiseClearErrors)
{
    std::string old = Dir / "stary.xls";
    WriteFileBytes(old, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(512, '\0'));
    std::string junk = Dir / "smieci.xlsx";
    WriteFileBytes(junk, "to nie jest skoroszyt");
    TProStringGrid g(nullptr);
    try {
        g.LoadFromExcel(old.c_str(), "");
        FAIL();
    } catch (const EProGridError& e) {
        EXPECT_NE(e.Message().find("old binary format, which is not read"), AnsiString::npos) << e.Message();
    }
    EXPECT_THROW(g.LoadFromExcel(junk.c_str(), ""), EProGridError);
    EXPECT_THROW(g.LoadFromExcel((Dir / "brak.xlsx").c_str(), ""), EFOpenError);
    EXPECT_THROW(g.SaveToExcel((Dir / "a.xlsx").c_str(), "zła:nazwa"), EProGridError);
}

TEST_F(GridOffice, DocumentHoldsTheGridAsATable)
{
    TProStringGrid g(nullptr);
    SetGridTexts(g, "|Nazwa|Ilość/|śruba\r\nM8|12/||");
    g.OnGetAlignment = [](TObject*, int, int ACol, TAlignment& H, TVAlignment&) {
        if (ACol == 2)
            H = taRightJustify;
        if (ACol == 0)
            H = taCenter;
    };
    std::string file = Dir / "raport.docx";
    g.SaveToWord((Dir / "raport.doc").c_str());
    pugi::xml_document doc = PartXml(file, "word/document.xml");
    pugi::xpath_node_set rows = doc.select_nodes("//w:tbl/w:tr");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(doc.select_nodes("//w:tbl/w:tr[1]/w:tc").size(), 3u);
    EXPECT_STREQ(doc.select_node("//w:tbl/w:tr[1]/w:tc[3]//w:t").node().text().get(), AnsiToUtf8("Ilość").c_str());
    EXPECT_STREQ(doc.select_node("//w:tbl/w:tr[2]/w:tc[3]//w:jc").node().attribute("w:val").value(), "right");
    EXPECT_STREQ(doc.select_node("//w:tbl/w:tr[2]/w:tc[1]//w:jc").node().attribute("w:val").value(), "center");
    EXPECT_TRUE(doc.select_node("//w:tbl/w:tr[2]/w:tc[2]//w:br"));
    EXPECT_STREQ(doc.select_node("//w:tbl/w:tr[2]/w:tc[2]//w:t[2]").node().text().get(), "M8");
    // The body: the table first, then the grid's own (empty) text, then the section.
    pugi::xml_node body = doc.select_node("//w:body").node();
    EXPECT_STREQ(body.first_child().name(), "w:tbl");
    EXPECT_STREQ(body.first_child().next_sibling().name(), "w:p");
    EXPECT_STREQ(body.last_child().name(), "w:sectPr");
}

// The table holds the save range, as the other exports: 4 columns and 4 rows, the last of each a
// fixed right column and a fixed footer, stored column 1 hidden ("b"). Rows by "|", cells by " ".
TEST_F(GridOffice, DocumentTableHoldsTheSaveRange)
{
    const std::string file = Dir / "zakres.docx";
    const struct { bool Fixed, Hidden; const char* Expected; } cases[] = {
        {true, false, "a0 c0 d0|a1 c1 d1|a2 c2 d2|a3 c3 d3"},
        {true, true, "a0 b0 c0 d0|a1 b1 c1 d1|a2 b2 c2 d2|a3 b3 c3 d3"},
        {false, false, "c1|c2"},
        {false, true, "b1 c1|b2 c2"},
    };
    for (const auto& c : cases) {
        TProStringGrid g(nullptr);
        g.SetColCount(4);
        g.SetRowCount(4);
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                g.SetCells(k, r, std::string(1, char('a' + k)) + char('0' + r));
        g.SetFixedRightCols(1);
        g.SetFixedFooters(1);
        g.HideColumn(1);
        g.SetExportFixedCells(c.Fixed);
        g.SetExportHiddenColumns(c.Hidden);
        g.SaveToWord(file.c_str());
        pugi::xml_document doc = PartXml(file, "word/document.xml");
        std::string table;
        for (pugi::xpath_node tr : doc.select_nodes("//w:tbl/w:tr")) {
            table += table.empty() ? "" : "|";
            std::string row;
            for (pugi::xml_node tc : tr.node().children("w:tc"))
                row += (row.empty() ? "" : " ") + std::string(tc.select_node(".//w:t").node().text().get());
            table += row;
        }
        EXPECT_EQ(table, c.Expected) << c.Fixed << c.Hidden;
        EXPECT_EQ(doc.select_nodes("//w:tbl/w:tblGrid/w:gridCol").size(),
                  doc.select_nodes("//w:tbl/w:tr[1]/w:tc").size()) << c.Fixed << c.Hidden;
    }
}

TEST_F(GridOffice, DocumentFromAGivenOneAtItsBookmarkOrEnd)
{
    std::string templ = Dir / "wzor.docx";
    {
        TOfficePackage p;
        p.SetPart("[Content_Types].xml",
                  "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Override PartName=\"/word/document.xml\" "
                  "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/>"
                  "</Types>");
        p.SetPart("_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                 "<Relationship Id=\"a\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                 "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>");
        p.SetPart("word/document.xml",
                  "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
                  "<w:p><w:r><w:t>Przed</w:t></w:r></w:p>"
                  "<w:p><w:bookmarkStart w:id=\"0\" w:name=\"tabela\"/><w:r><w:t>Tu</w:t></w:r><w:bookmarkEnd w:id=\"0\"/></w:p>"
                  "<w:p><w:r><w:t>Po</w:t></w:r></w:p><w:sectPr/></w:body></w:document>");
        p.SetPart("word/styles.xml", "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>");
        p.SaveToFile(templ.c_str());
    }
    std::string templBytes = ReadFileBytes(templ);
    TProStringGrid g(nullptr);
    SetGridTexts(g, "|/|x");

    std::string atMark = Dir / "a.docx";
    g.SaveToWord(atMark.c_str(), templ.c_str(), "tabela");
    pugi::xml_document doc = PartXml(atMark, "word/document.xml");
    pugi::xml_node body = doc.select_node("//w:body").node();
    std::string order;
    for (pugi::xml_node n : body.children())
        order += std::string(n.name()) + (n.child("w:r") ? std::string(":") + n.child("w:r").child("w:t").text().get() : "") + " ";
    EXPECT_EQ(order, "w:p w:p:Przed w:p:Tu w:tbl w:p:Po w:sectPr ");
    EXPECT_EQ(PackagePart(atMark, "word/styles.xml"), PackagePart(templ, "word/styles.xml"));
    EXPECT_EQ(ReadFileBytes(templ), templBytes);
    TOfficePackage written;
    written.LoadFromFile(atMark.c_str(), "a document");
    EXPECT_NE(written.Part("[Content_Types].xml").find("document.main+xml"), std::string::npos);

    std::string atEnd = Dir / "b.docx";
    g.SaveToWord(atEnd.c_str(), templ.c_str(), "nieznana");
    pugi::xml_document end = PartXml(atEnd, "word/document.xml");
    pugi::xml_node last = end.select_node("//w:body").node().last_child();
    EXPECT_STREQ(last.name(), "w:sectPr");
    EXPECT_STREQ(last.previous_sibling().name(), "w:p");
    EXPECT_STREQ(last.previous_sibling().previous_sibling().name(), "w:tbl");
}

// A written document shows no spelling marks: its settings hide them, in a new document and in
// one made from a given one (whose other settings stay, in the order the format asks).
TEST_F(GridOffice, DocumentHidesSpellingErrors)
{
    const std::string w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    // Settings: the given document's settings part; nullptr: none, "": no given document
    // Expected: the settings' elements in order
    const struct { const char* Settings; const char* Expected; } cases[] = {
        {"", "hideSpellingErrors"},
        {nullptr, "hideSpellingErrors"},
        {"<w:zoom w:percent=\"90\"/><w:hideSpellingErrors w:val=\"false\"/><w:defaultTabStop w:val=\"708\"/>",
         "zoom hideSpellingErrors defaultTabStop"},
        {"<w:view w:val=\"web\"/><w:zoom w:percent=\"90\"/><w:defaultTabStop w:val=\"708\"/>",
         "view zoom hideSpellingErrors defaultTabStop"},
    };
    TProStringGrid g(nullptr);
    for (const auto& c : cases) {
        const std::string templ = Dir / "wzor.docx", file = Dir / "wynik.docx";
        if (!c.Settings || *c.Settings) {
            TOfficePackage p;
            StartOfficePackage(p, "word/document.xml",
                               "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
                               "<w:document " + w + "><w:body><w:p/></w:body></w:document>");
            if (c.Settings) {
                p.SetPart("word/settings.xml", "<w:settings " + w + ">" + c.Settings + "</w:settings>");
                AddRelationship(p, "word/document.xml", (std::string(OfficeRelationships) + "/settings").c_str(),
                                "settings.xml");
                SetPartContentType(p, "word/settings.xml",
                                   "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
            }
            p.SaveToFile(templ.c_str());
        }
        g.SaveToWord(file.c_str(), c.Settings && !*c.Settings ? "" : templ.c_str());
        TOfficePackage written;
        written.LoadFromFile(file.c_str(), "a document");
        const std::string part = written.RelationshipTarget("word/document.xml", "/settings");
        ASSERT_FALSE(part.empty()) << c.Expected;
        EXPECT_NE(PartContentType(written, part).find("settings+xml"), std::string::npos);
        pugi::xml_document settings = PartXml(file, part);
        std::string order;
        for (pugi::xml_node n : settings.document_element().children())
            order += (order.empty() ? "" : " ") + std::string(n.name()).substr(2);
        EXPECT_EQ(order, c.Expected);
        EXPECT_TRUE(settings.document_element().child("w:hideSpellingErrors").attribute("w:val").empty());
    }
}

// Where LibreOffice is installed, it reads what the grid writes and sums its numbers.
TEST_F(GridOffice, LibreOfficeReadsTheFiles)
{
    const char* office = std::system("command -v soffice >/dev/null 2>&1") == 0       ? "soffice"
                         : std::system("command -v libreoffice >/dev/null 2>&1") == 0 ? "libreoffice"
                                                                                      : nullptr;
    if (!office)
        GTEST_SKIP() << "LibreOffice is not installed";
    PolishFormatSettings formats;
    TProStringGrid g(nullptr);
    SetGridTexts(g, "|Nazwa|Ilość/|śruba|12,50/|nakrętka|2,50/||");
    const std::string book = Dir / "k.xlsx";
    g.SaveToExcel(book.c_str());
    g.SaveToWord((Dir / "k.docx").c_str());
    {
        // The empty last row gets the sum of the column above it.
        std::string sheet = PackagePart(book, "xl/worksheets/sheet1.xml");
        const std::string row = "<row r=\"4\"/>";
        ASSERT_NE(sheet.find(row), std::string::npos);
        sheet.replace(sheet.find(row), row.size(), "<row r=\"4\"><c r=\"C4\"><f>SUM(C2:C3)</f></c></row>");
        ReplacePackagePart(book, "xl/worksheets/sheet1.xml", sheet);
    }
    // Its own profile, and the text filter's options named: comma, double quotes, UTF-8 (76).
    auto convert = [&](const char* Filter, const std::string& File) {
        return std::string(office) + " -env:UserInstallation=file://" + (Dir / "profile") + " --headless" +
               " --convert-to '" + Filter + "' --outdir " + Dir.Path.string() + " " + File + " >/dev/null 2>&1";
    };
    const std::string cmd = convert("csv:Text - txt - csv (StarCalc):44,34,76", book) + " && " +
                            convert("txt:Text (encoded):UTF8", Dir / "k.docx");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    // Numbers as their format shows them, with the decimal separator of the office's locale; no line
    // for the empty last row of the document.
    const std::string csv = ReadFileBytes(Dir / "k.csv");
    EXPECT_TRUE(csv == AnsiToUtf8(",Nazwa,Ilość\n,śruba,12.50\n,nakrętka,2.50\n,,15\n") ||
                csv == AnsiToUtf8(",Nazwa,Ilość\n,śruba,\"12,50\"\n,nakrętka,\"2,50\"\n,,15\n"))
        << csv;
    const std::string text = ReadFileBytes(Dir / "k.txt");
    EXPECT_NE(text.find(AnsiToUtf8("śruba")), std::string::npos);
    EXPECT_NE(text.find("Nazwa"), std::string::npos);
}
