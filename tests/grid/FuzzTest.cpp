// Hostile input for the grid's readers: mini-HTML cell text, CSV files, the grid text stream, the
// cell stream of the grid's own clipboard format, workbooks and documents (whole packages and
// single damaged parts), pictures, filter conditions, pasted text and the grouping of its rows,
// print settings and saved column widths. Every case must be read or refused with
// a message, without a crash, a hang or a report of the sanitizers.
#include <gtest/gtest.h>

#include "grid/GDIPicture.h"
#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTML.h"
#include "grid/PsgHTMLE.h"
#include "grid/services/OfficePackage.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "tests/common/Fuzz.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {

// A grid with texts, properties, a merged region and cell graphics that own their content.
void FillSampleGrid(TProStringGrid& G)
{
    G.SetColCount(5);
    G.SetRowCount(5);
    G.SetCells(1, 0, "Numer normy");
    G.SetCells(2, 0, "Stan normy");
    G.SetCells(1, 1, "PN-EN 10088-1:2007");
    G.SetCells(2, 1, "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>");
    G.SetCells(3, 1, "wiersz\r\ndrugi\twiersz \"cytat\"");
    G.SetCells(1, 2, "12,5");
    G.SetCells(2, 2, "15.06.2025");
    G.CellProperties(1, 1)->SetBrushColor(clLime);
    G.MergeCells(1, 3, 2, 1);
    G.SetColWidths(2, 91);
    TCellGraphic* radio = G.CreateCellGraphic(2, 2);
    radio->CellType = ctRadio;
    radio->CellObject = NewStringList({"tak", "nie"});
    radio->CellCreated = true;
    TCellGraphic* pic = G.CreateCellGraphic(3, 2);
    auto* bitmap = new TBitmap();
    bitmap->SetSize(3, 2);
    pic->CellType = ctPicture;
    pic->CellObject = bitmap;
    pic->CellCreated = true;
    G.AddCellComment(4, 4, "uwaga");
}

// Every part of a package, by name.
std::vector<std::pair<std::string, std::string>> PackageParts(const std::string& File,
                                                              const std::vector<std::string>& Names)
{
    TOfficePackage p;
    p.LoadFromFile(File.c_str(), "test");
    std::vector<std::pair<std::string, std::string>> parts;
    for (const std::string& n : Names)
        if (p.HasPart(n)) parts.emplace_back(n, p.Part(n));
    return parts;
}

// The package with one part replaced, written to File.
void WritePackage(const std::string& File, const std::vector<std::pair<std::string, std::string>>& Parts,
                  const std::string& Name, const std::string& Data)
{
    TOfficePackage p;
    for (const auto& [n, d] : Parts) p.SetPart(n, n == Name ? Data : d);
    p.SaveToFile(File.c_str());
}

}   // namespace

TEST(Fuzz, MiniHtmlDrawsAnyText)
{
    const std::vector<std::string> samples = {
        "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>",
        "<UL><LI>a<LI>b</UL><P>one</P>two<BR><sub>1</sub><sup>2</sup>&amp;&lt;&#261;&nbsp;",
        "<a href=\"c\">link</a><IMG src=\"missing\" width=\"20\" height=\"4\"><IND x=\"1000\">a",
        "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"40\"><CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"v\">"
        "<CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"TRUE\" TEXT=\"tak\"><CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"FALSE\">",
        "<font face=\"Serif\" size=\"5\" color=\"clred\" bgcolor=\"#FFFF00\">a<hi>b</hi><e>c</e><shad>d</shad>"
        "<R a=\"90\">e</R><s>f</s><u>g</u><i>h</i></font><BLINK>x</BLINK><HR><z>ukryte</z>",
    };
    TBitmap sheet;
    sheet.SetSize(200, 60);
    FuzzParser("mini-HTML", samples, 500, 101, [&](const std::string& text) {
        AnsiString anchor, strip, focus, hint, id, value, type;
        int xs = 0, ys = 0, links = 0, mouseLink = 0;
        TRect hover, control;
        for (bool wrap : {false, true})
            HtmlDraw(sheet.Canvas(), text, TRect(0, 0, 200, 60), nullptr, 30, 10, -1, -1, 1, true, false, false, false,
                     true, false, wrap, false, 1.0, clBlue, clNone, clNone, clGray, anchor, strip, focus, hint, xs, ys,
                     links, mouseLink, hover, control, id, value, type, nullptr, nullptr, nullptr);
        HtmlStripTags(text);
        HtmlToPlainText(text);
        HtmlDecodeEntities(text);
        HtmlHighlight(text, "a", "hi", false);
        AnsiString html = text;
        HtmlControlSetValue(html, "e", "nowa");
        HtmlControlGetProp(text, "k");
        return true;
    });
}

TEST(Fuzz, CsvFilesLoadOrRefuse)
{
    TTempDir dir("velmarok-fuzz-csv");
    const std::string file = dir / "dane.csv";
    TProStringGrid source(nullptr);
    FillSampleGrid(source);
    source.SaveToCsvFile(file.c_str());
    const std::vector<std::string> samples = {
        ReadFileBytes(file),
        "a;b;c\r\n\"x;y\";\"z\"\"\";\r\n1;2;3\r\n\"otwarty\r\ncudzysłów\n",
        "Numer\tStan\r\nPN-EN 1\tAktualna\r\n",
        Utf16("Numer;Stan;Tytuł\r\nPN-EN 1;Aktualna;\"Łożyska\r\ntoczne\"\r\n", false),
        Utf16("Numer\tStan\r\nPN-EN 2\tNieaktualna\r\n", true),
    };
    TProStringGrid g(nullptr);
    FuzzParser("CSV", samples, 400, 111, [&](const std::string& bytes) {
        WriteFileBytes(file, bytes);
        g.SetFieldSeparator(0);
        g.LoadFromCsvFile(file.c_str());
        g.SetFieldSeparator(',');
        g.LoadFromCsvFile(file.c_str(), 3);
        return true;
    });
}

TEST(Fuzz, GridTextStreamReadsOrRefuses)
{
    TProStringGrid source(nullptr);
    FillSampleGrid(source);
    source.SetMultilinecells(true);
    TMemoryStream s;
    source.WriteTextStream(&s);
    const std::vector<std::string> samples = {StreamBytes(s), "3,2\r\ncw 0,64\r\n0,0,a\r\n2,1,x\x09\x08y\r\n",
                                              "2,2\r\n1,1,old form\r\n"};
    TProStringGrid g(nullptr);
    g.SetMultilinecells(true);
    FuzzParser("grid text stream", samples, 500, 121, [&](const std::string& bytes) {
        TStringStream in(bytes);
        g.ReadTextStream(&in);
        return true;
    });
}

TEST(Fuzz, CellStreamIsCheckedWholeBeforeReading)
{
    TProStringGrid source(nullptr);
    FillSampleGrid(source);
    TMemoryStream part, whole;
    source.WriteCellObjects(TGridRect(1, 1, 3, 2), &part);
    source.WriteCellObjects(TGridRect(0, 0, 4, 4), &whole);
    TProStringGrid g(nullptr);
    g.SetColCount(8);
    g.SetRowCount(8);
    FuzzParser("cell stream (VGCS)", {StreamBytes(part), StreamBytes(whole)}, 600, 131, [&](const std::string& bytes) {
        g.SetCells(1, 1, "zostaje");
        TStringStream in(bytes);
        try {
            g.ReadCellObjects(TPoint(1, 1), &in);
        } catch (const EProGridError&) {
            // A damaged stream changes nothing.
            EXPECT_EQ(g.Cells(1, 1), "zostaje");
            throw;
        }
        return true;
    });
}

TEST(Fuzz, WorkbooksLoadOrRefuse)
{
    TTempDir dir("velmarok-fuzz-xlsx");
    const std::string file = dir / "skoroszyt.xlsx";
    TProStringGrid source(nullptr);
    FillSampleGrid(source);
    source.SaveToExcel(file.c_str());
    source.SaveToExcel(file.c_str(), "Drugi", false);
    const std::string package = ReadFileBytes(file);
    const auto parts = PackageParts(file, {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml",
                                           "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml",
                                           "xl/worksheets/sheet2.xml", "xl/sharedStrings.xml", "xl/styles.xml"});
    ASSERT_GE(parts.size(), 5u);
    TProStringGrid g(nullptr);
    FuzzParser("xlsx package bytes", {package}, 150, 141, [&](const std::string& bytes) {
        WriteFileBytes(file, bytes);
        g.LoadFromExcel(file.c_str(), "");
        return true;
    });
    TMutator pick(142);
    std::vector<std::string> partSamples;
    for (const auto& p : parts) partSamples.push_back(p.second);
    FuzzParser("xlsx parts", partSamples, 300, 143, [&](const std::string& xml) {
        // The mutated part replaces the part it came from (or, for a splice, another).
        const std::string& name = parts[pick.Below(parts.size())].first;
        WritePackage(file, parts, name, xml);
        g.LoadFromExcel(file.c_str(), pick.Below(2) ? "" : "Drugi");
        return true;
    });
}

TEST(Fuzz, DocumentTemplatesLoadOrRefuse)
{
    TTempDir dir("velmarok-fuzz-docx");
    const std::string templ = dir / "wzor.docx", out = dir / "wynik.docx";
    TProStringGrid g(nullptr);
    FillSampleGrid(g);
    g.SaveToWord(templ.c_str());
    const std::string package = ReadFileBytes(templ);
    const auto parts = PackageParts(templ, {"[Content_Types].xml", "_rels/.rels", "word/document.xml",
                                            "word/_rels/document.xml.rels", "word/styles.xml"});
    ASSERT_GE(parts.size(), 3u);
    std::string document;
    for (const auto& p : parts)
        if (p.first == "word/document.xml") document = p.second;
    // A bookmark to put the table at.
    const std::string marked = std::string(document).replace(document.find("<w:body>"), 8,
        "<w:body><w:p><w:bookmarkStart w:id=\"0\" w:name=\"tabela\"/><w:bookmarkEnd w:id=\"0\"/></w:p>");
    FuzzParser("docx package bytes", {package}, 120, 151, [&](const std::string& bytes) {
        WriteFileBytes(templ, bytes);
        g.SaveToWord(out.c_str(), templ.c_str(), "tabela");
        return true;
    });
    FuzzParser("docx parts", {document, marked}, 250, 152, [&](const std::string& xml) {
        WritePackage(templ, parts, "word/document.xml", xml);
        g.SaveToWord(out.c_str(), templ.c_str(), "tabela");
        return true;
    });
}

TEST(Fuzz, PicturesLoadOrStayEmpty)
{
    TBitmap b;
    Filled(b, 6, 4, clBlue);
    TRasterImage png("PNG");
    png.Assign(&b);
    TJPEGImage jpeg;
    jpeg.Assign(&b);
    TIcon icon;
    const std::vector<std::string> samples = {b.SaveToData(), png.SaveToData(), jpeg.SaveToData(), FramesGif({{0, 0}})};
    TBitmap sheet;
    sheet.SetSize(20, 20);
    FuzzParser("pictures", samples, 500, 161, [&](const std::string& bytes) {
        TGDIPPicture pic;
        pic.LoadFromData(bytes);
        pic.Draw(sheet.Canvas(), TRect(0, 0, 20, 20));
        TGPImage image(bytes);
        // A picture that does not read measures nothing.
        if (image.LastStatus() != Ok) {
            EXPECT_EQ(TPoint(image.GetWidth(), image.GetHeight()), TPoint(0, 0));
        }
        TJPEGImage j;
        try {
            j.LoadFromData(bytes);
            j.Draw(sheet.Canvas(), TRect(0, 0, 20, 20));
        } catch (const EInvalidGraphic& e) {
            EXPECT_FALSE(e.Message().empty());
        }
        TBitmap bmp;
        bmp.LoadFromData(bytes);
        return true;
    });
}

TEST(Fuzz, FilterConditionsMatchOrNot)
{
    const std::vector<std::string> samples = {"a*|b*", ">=10", "(x|y)&!z*", ">15.01.2009", "<>1.000", "=*ą?",
                                              "!(PN-EN*&*2007)", "((a))|(b&(c|d))"};
    const char* const texts[] = {"", "a", "PN-EN 10088-1:2007", "12", "15.06.2025", "1.500", "zażółć"};
    FuzzParser("filter conditions", samples, 600, 171, [&](const std::string& condition) {
        for (const char* t : texts) {
            MatchFilterCondition(condition, t, true);
            MatchFilterCondition(condition, t, false);
        }
        return true;
    });
}

TEST(Fuzz, GridDatesParseOrRefuse)
{
    ResetFormatSettings();
    const std::vector<std::string> samples = {"15.06.2025", "6/15/2025", "1.1.25", "31-12-9999", "29.02.1900",
                                              "0x7E9.1.1", "15.06.2025 14:05"};
    FuzzParser("grid dates", samples, 500, 181, [](const std::string& text) {
        TDateTime d = 0;
        TryParseLocaleDate(text, d);
        IsDateLikeText(text);
        ParseDateMDY(text);   // EConvertError for an impossible date
        ParseDateDMY(text);
        return true;
    });
}

TEST(Fuzz, PastedTextFillsOrIsRefused)
{
    const std::vector<std::string> samples = {"Numer\tStan\r\nPN-EN 1\tAktualna\r\n", "a\tb\tc\n1\t\"x\ny\"\t3\n",
                                              "12\r\n13\r\n\t\t\r\n"};
    TProStringGrid g(nullptr);
    g.SetOptions(g.Options() | goEditing);
    FuzzParser("pasted text", samples, 300, 191, [&](const std::string& text) {
        g.SetColCount(5);
        g.SetRowCount(5);
        g.PasteText(1, 1, text);
        EXPECT_LE(Int64(g.ColCount()) * g.RowCount(), TProStringGrid::MaxGrownCells);
        return true;
    });
}

TEST(Fuzz, GroupingAndSubGroupingTakeAnyKeys)
{
    const std::vector<std::string> samples = {"Grupa\tKod\tNazwa\r\na\tx\t1\r\na\ty\t2\r\nb\tx\t3\r\n",
                                              "k1\tv\tw\r\nk2\tv\tw\r\nk1\tz\tw\r\n\t\t\r\n"};
    FuzzParser("grouped keys", samples, 200, 193, [&](const std::string& text) {
        TProStringGrid g(nullptr);
        g.SetOptions(g.Options() | goEditing);
        g.SetColCount(5);
        g.SetRowCount(2);
        g.PasteText(1, 1, text);
        const int rows = g.RowCount(), cols = g.ColCount();
        g.Grouping()->SetSummary(text.size() % 2 == 0);
        g.GroupByColumn(1);
        g.SubGroup(1);
        g.ContractAll();
        g.ExpandAll();
        g.RemoveNodeLevel(1);
        g.UnGroup();
        // Every row and column is back, and no node is left.
        EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(cols, rows));
        EXPECT_FALSE(g.HasNodes());
        return true;
    });
}

TEST(Fuzz, PrintSettingsAndColumnWidthsLoadWithinThePage)
{
    TTempDir dir("velmarok-fuzz-print");
    const std::string ini = dir / "druk.ini";
    TProStringGrid source(nullptr);
    FillSampleGrid(source);
    source.PrintSettings()->TitleLines()->SetText("Wykaz\r\nnorm");
    source.SavePrintSettings(ini.c_str(), "PRINTSETTINGS");
    {
        TIniFile widths(ini.c_str());
        for (int c = 0; c < source.ColCount(); ++c)
            widths.WriteInteger("Wykaz", "Col" + IntToStr(c), source.ColWidths(c));
    }
    TProStringGrid g(nullptr);
    FillSampleGrid(g);
    g.ColumnSize()->SetLocation(clIniFile);
    g.ColumnSize()->SetKey(ini.c_str());
    g.ColumnSize()->SetSection("Wykaz");
    TBitmap page;
    page.SetSize(120, 170);
    FuzzParser("print settings and column widths", {ReadFileBytes(ini)}, 200, 192, [&](const std::string& bytes) {
        WriteFileBytes(ini, bytes);
        g.LoadPrintSettings(ini.c_str(), "PRINTSETTINGS");
        g.LoadColumnSizes();
        for (int c = 0; c < g.ColCount(); ++c) EXPECT_LE(g.ColWidths(c), MaxGridExtent);
        g.SetLeftCol(g.ColCount() - 1);
        g.VisibleColCount();
        g.PrintPreviewTo(page.Canvas(), TRect(0, 0, 120, 170));
        return true;
    });
}
