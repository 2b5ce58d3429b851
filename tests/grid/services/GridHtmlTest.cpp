#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/core/CodePage.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ShellApi.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {
std::string Html(TProStringGrid& G, const std::string& Folder = "/tmp/none/")
{
    return G.BuildHtmlTable(Folder);
}

// An 8 x 6 bitmap as the graphic of cell (ACol, ARow).
void AddBitmap(TProStringGrid& G, int ACol, int ARow)
{
    TCellGraphic* graphic = G.CreateCellGraphic(ACol, ARow);
    auto* bitmap = new TBitmap();
    bitmap->SetSize(8, 6);
    graphic->CellType = ctBitmap;
    graphic->CellObject = bitmap;
    graphic->CellCreated = true;
}

int Count(const std::string& S, const std::string& Sub)
{
    int n = 0;
    for (auto p = S.find(Sub); p != std::string::npos; p = S.find(Sub, p + 1))
        ++n;
    return n;
}

void FillSmall(TProStringGrid& G)
{
    SetGridTexts(G, "|Nazwa/1|śruba M8/2|a\r\nb");
}
}

TEST(GridHtml, DocumentOfASmallGrid)
{
    TProStringGrid g(nullptr);
    FillSmall(g);
    EXPECT_EQ(Html(g),
              "<style>\r\n"
              ".c0 {background-color: #D4D0C8;color: #000000;font-size:8pt;font-weight: bold;font-family: Tahoma;"
              "vertical-align: top}\r\n"
              ".c1 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;vertical-align: top}\r\n"
              "</style>\r\n"
              "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\" width=\"100%\">\r\n"
              "<tr>\r\n<td class=\"c0\"><br></td>\r\n<td class=\"c0\">Nazwa</td>\r\n</tr>\r\n"
              "<tr>\r\n<td class=\"c0\">1</td>\r\n<td class=\"c1\">śruba M8</td>\r\n</tr>\r\n"
              "<tr>\r\n<td class=\"c0\">2</td>\r\n<td class=\"c1\">a<br>b</td>\r\n</tr>\r\n"
              "</table>\r\n");
}

TEST(GridHtml, HeaderRowOnlyWithFixedRowsAndExportedFixedCells)
{
    // Row 0's cell " " stays as it is in a header row and becomes a break in a data row.
    struct Case {
        int FixedRows;
        bool ExportFixed;
        int Rows;   // <tr> written
        const char* Cell;
    } cases[] = {{0, true, 3, "><br></td>"}, {1, false, 2, nullptr}, {2, true, 3, "> </td>"}, {1, true, 3, "> </td>"}};
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        FillSmall(g);
        g.SetFixedRows(c.FixedRows);
        g.SetExportFixedCells(c.ExportFixed);
        g.SetCells(1, 0, " ");
        std::string h = Html(g);
        EXPECT_EQ(Count(h, "<tr>"), c.Rows) << c.FixedRows << c.ExportFixed;
        if (c.Cell)
            EXPECT_NE(h.find(c.Cell), std::string::npos) << c.FixedRows << c.ExportFixed << h;
        else
            EXPECT_EQ(h.find("> </td>"), std::string::npos) << h;
    }
}

TEST(GridHtml, LinksSpansAndSharedStyles)
{
    TProStringGrid g(nullptr);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetURLShow(true);
    g.SetCells(0, 0, "https://sklep.pkn.pl/?a=1&b=\"2\"");
    g.SetCells(1, 0, "mailto:biuro@pkn.pl");
    g.SetCells(2, 0, "x");
    g.MergeCells(0, 1, 2, 2);
    g.SetCells(0, 1, "scalona");
    std::string h = Html(g);
    EXPECT_NE(h.find(">sklep.pkn.pl/?a=1&b=\"2\"</a>"), std::string::npos) << h;
    EXPECT_NE(h.find("<a href=\"https://sklep.pkn.pl/?a=1&amp;b=&quot;2&quot;\">"), std::string::npos) << h;
    EXPECT_NE(h.find("<a href=\"mailto:biuro@pkn.pl\">biuro@pkn.pl</a>"), std::string::npos) << h;
    EXPECT_NE(h.find("colspan=\"2\" rowspan=\"2\">scalona</td>"), std::string::npos) << h;
    EXPECT_EQ(Count(h, "<td "), 3 + 2 + 1);   // the covered cells are left out
    // Every cell has the grid's font and colour: one class.
    EXPECT_EQ(Count(h, ".c"), 1);
    EXPECT_EQ(Count(h, "class=\"c0\""), 6);

    g.SetURLFull(true);
    EXPECT_NE(Html(g).find("\">https://sklep.pkn.pl/?a=1&b=\"2\"</a>"), std::string::npos);
}

TEST(GridHtml, XhtmlFileIsWellFormedAndImagesGoBesideIt)
{
    TTempDir dir("velmarok-html");
    TProStringGrid g(nullptr);
    FillSmall(g);
    g.HTMLSettings()->SetXHTML(true);
    g.HTMLSettings()->SetConvertSpecialChars(true);
    g.SetURLShow(true);
    g.SetCells(1, 1, "a < b & \"c\" http://x.invalid/?p=1&q=2");
    g.SetCells(1, 2, "");
    g.SetCells(0, 0, "Ilość");
    AddBitmap(g, 1, 2);
    std::string name = dir / "t.html";
    g.SaveToHtmlFile(name.c_str(), false);

    std::string bytes = ReadFileBytes(name);
    EXPECT_EQ(bytes.substr(0, 38), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_NE(bytes.find(AnsiToUtf8("Ilość")), std::string::npos);
    pugi::xml_document doc;
    pugi::xml_parse_result ok = doc.load_string(bytes.c_str());
    ASSERT_TRUE(ok) << ok.description() << "\n" << bytes;
    EXPECT_STREQ(doc.document_element().name(), "html");
    pugi::xml_node img = doc.select_node("//img").node();
    ASSERT_TRUE(img);
    std::string src = img.attribute("src").value();
    EXPECT_EQ(src, "file://" + (dir / "images/img1.jpg"));
    std::string jpeg = ReadFileBytes(dir / "images/img1.jpg");
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_NE(bytes.find("<td class=\"c1\"><br/><img"), std::string::npos) << bytes;
}

// As XHTML a plain cell's "&", "<" and ">" are escaped without ConvertSpecialChars; mini-HTML stays markup.
TEST(GridHtml, XhtmlEscapesPlainCellsOnly)
{
    // Shown: the cell's text as an XML parser reads it
    struct Case { int Col, Row; const char* Text; const char* Shown; } cases[] = {
        {1, 0, "Wyroby & usługi", "Wyroby & usługi"},   // a header cell
        {1, 1, "a & b < c > d", "a & b < c > d"},
        {0, 1, "x&amp;y", "x&amp;y"},
        {0, 2, "<FONT color=\"#008000\">Aktualna</FONT>", "Aktualna"},
        {1, 2, "R&D", "R&D"},
    };
    TProStringGrid g(nullptr);
    FillSmall(g);
    g.HTMLSettings()->SetXHTML(true);
    for (const Case& c : cases)
        g.SetCells(c.Col, c.Row, c.Text);
    const std::string doc = AnsiToUtf8(Html(g));
    pugi::xml_document xml;
    pugi::xml_parse_result ok = xml.load_string(doc.c_str());
    ASSERT_TRUE(ok) << ok.description() << "\n" << doc;
    pugi::xpath_node_set rows = xml.select_nodes("//tr");
    for (const Case& c : cases) {
        pugi::xml_node td = rows[std::size_t(c.Row)].node().select_nodes("td")[std::size_t(c.Col)].node();
        EXPECT_EQ(Utf8ToAnsi(pugi::xpath_query(".").evaluate_string(td)), c.Shown) << c.Text;
    }
    EXPECT_TRUE(xml.select_node("//FONT[@color='#008000']")) << "mini-HTML stays markup";
}

TEST(GridHtml, HeaderAndFooterFilesAndAppending)
{
    TTempDir dir("velmarok-html");
    WriteFileBytes(dir / "head.txt", "<html>\r\n<body>Nagłówek\r\n");
    WriteFileBytes(dir / "foot.txt", "</body>\r\n</html>");
    TProStringGrid g(nullptr);
    g.SetColCount(1);
    g.SetRowCount(1);
    g.SetFixedCols(0);
    g.SetCells(0, 0, "x");
    g.HTMLSettings()->SetHeaderFile((dir / "head.txt").c_str());
    g.HTMLSettings()->SetFooterFile((dir / "foot.txt").c_str());
    std::string name = dir / "h.html";
    g.SaveToHtmlFile(name.c_str(), false);
    std::string once = ReadFileBytes(name);
    const std::string head = AnsiToUtf8("<html>\r\n<body>Nagłówek\r\n<style>");   // the program's text, as UTF-8
    EXPECT_EQ(once.substr(0, head.size()), head);
    EXPECT_EQ(once.substr(once.size() - 28), "</table>\r\n</body>\r\n</html>\r\n");

    g.HTMLSettings()->SetFooterFile((dir / "missing.txt").c_str());   // skipped
    g.WriteHtmlFile(name.c_str(), true);
    std::string twice = ReadFileBytes(name);
    EXPECT_EQ(twice.substr(0, once.size()), once);
    EXPECT_EQ(Count(twice, "<table "), 2);
    EXPECT_EQ(twice.substr(twice.size() - 10), "</table>\r\n");
}

TEST(GridHtml, OpensTheFileWhenAsked)
{
    TTempDir dir("velmarok-html");
    std::string name = dir / "o.html";
    std::vector<AnsiString> opened;
    TShellOpenHook old = SetShellOpenHook([&](const AnsiString& Target) { opened.push_back(Target); return true; });
    TProStringGrid g(nullptr);
    g.SaveToHtmlFile(name.c_str(), false);
    EXPECT_TRUE(opened.empty());
    g.SaveToHtmlFile(name.c_str(), true);
    SetShellOpenHook(old);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], name);
}

// A file that cannot be made is told as such before any picture is written beside it.
TEST(GridHtml, CannotCreateFile)
{
    TTempDir dir("velmarok-html");
    WriteFileBytes(dir / "plik", "");
    for (const std::string& name : {dir / "missing/x.html", dir / "plik/x.html"}) {
        TProStringGrid g(nullptr);
        AddBitmap(g, 1, 1);
        try {
            g.SaveToHtmlFile(name.c_str(), false);
            ADD_FAILURE() << name;
        } catch (const EProGridError& e) {
            EXPECT_EQ(e.Message(), "Cannot Create file " + name);
        }
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(name).parent_path() / "images"));
    }
}

TEST(GridXml, EscapesNamesFieldsAndDeclaresItsEncoding)
{
    TTempDir dir("velmarok-xml");
    TProStringGrid g(nullptr);
    SetGridTexts(g, "||/|a<b & c|\"ą\"/||x>y");
    g.SetExportFixedCells(false);
    std::string name = dir / "a.xml";
    g.SaveToXmlFile(name.c_str(), "lista", "norma", nullptr, false);
    EXPECT_EQ(ReadFileBytes(name), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n"
                                   "<lista>\r\n"
                                   "<norma>\r\n<FIELD0>a&lt;b &amp; c</FIELD0>\r\n"
                                   "<FIELD1>&quot;&#261;&quot;</FIELD1>\r\n</norma>\r\n"
                                   "<norma>\r\n<FIELD1>x&gt;y</FIELD1>\r\n</norma>\r\n"
                                   "</lista>\r\n");

    // Names cannot be character references: letters the declared encoding lacks become "_".
    TStringList polish;
    polish.Add("Ilość");
    g.SaveToXmlFile(name.c_str(), "lista", "norma", &polish, false);
    EXPECT_NE(ReadFileBytes(name).find("<Ilo__>a&lt;b &amp; c</Ilo__>"), std::string::npos);

    g.SetExportFixedCells(true);
    g.SetXmlEncodingName("UTF-8");
    TStringList names;
    names.Add("1st");
    names.Add("nr normy");
    names.Add("Ilość");
    g.SaveToXmlFile(name.c_str(), "lista", "9", &names, true);
    std::string bytes = ReadFileBytes(name);
    EXPECT_NE(bytes.find("<FIELD0>&quot;&quot;</FIELD0>"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("<nr_normy>a&lt;b &amp; c</nr_normy>"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find(AnsiToUtf8("<Ilość>&quot;ą&quot;</Ilość>")), std::string::npos) << bytes;
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(bytes.c_str()));
    EXPECT_EQ(doc.select_nodes("/lista/RECORD").size(), 3u);

    // Without field names the third exported column is FIELD2.
    g.SaveToXmlFile(name.c_str(), "lista", "norma", nullptr, false);
    EXPECT_NE(ReadFileBytes(name).find(AnsiToUtf8("<FIELD2>&quot;ą&quot;</FIELD2>")), std::string::npos);
}
