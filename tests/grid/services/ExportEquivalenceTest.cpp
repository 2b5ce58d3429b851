// The exports of large grids, formed on several threads and written field by
// field, against their plain way (every row through SaveCell on the grid's
// thread, every field and sheet cell by the general code): the same bytes on
// random grids of awkward texts, under every option that changes fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

#include "grid/ProGrid.h"
#include "grid/PsgHTMLE.h"
#include "grid/services/GridFiles_p.h"
#include "grid/services/OfficePackage.h"
#include "platform/core/SysUtils.h"
#include "tests/common/TestFiles.h"

namespace {
const char* const Texts[] = {
    "", "", "zwykły tekst", "PN-EN 1090-2:2018", "12", "0", "007", "-4", "3,14", "12,50", "100,000", "1e3", " 12",
    "123456789012345", "1234567890123456", "przecinek, w środku", "średnik; w środku", "cudzy \"cytat\"",
    "\"cały\"", "dwie\r\nlinie", "samo\rCR", "samo\nLF", "tab\tulator", " spacje ", "ŻÓŁĆ zażółć gęślą jaźń",
    "a & b < c > d", "_x0041_", "pod_kreślnik", "ster\x01owanie", "<p align=\"center\"><b>Aktualna</b></p>",
    "{\\rtf1 rich}", "|\\\x41\x00\x42\x00", "\"", ",", ";",
};

struct TSetup { const char* Name; std::function<void(TProStringGrid&)> Prepare; };

// A grid of Rows x 6 random texts, the first row a header.
void Fill(TProStringGrid& G, int Rows, unsigned Seed)
{
    std::mt19937 rng(Seed);
    G.SetColCount(6);
    G.SetRowCount(Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < 6; ++c) {
            const char* t = Texts[rng() % std::size(Texts)];
            // Unicode cells hold NUL bytes: their length is their own.
            AnsiString text = t[0] == '|' ? AnsiString(t, 6) : AnsiString(t);
            if (rng() % 4 == 0)
                text += std::to_string(r);
            G.SetCells(c, r, text);
        }
}

std::string Export(TProStringGrid& G, const std::string& File, bool Plain)
{
    PlainWays = Plain;
    std::string bytes;
    try {
        if (File.ends_with(".csv")) {
            G.SaveToCsvFile(File.c_str());
            bytes = ReadFileBytes(File);
        } else {
            G.SaveToExcel(File.c_str());
            TOfficePackage p;
            p.LoadFromFile(File.c_str(), "a workbook");
            bytes = p.Part("xl/worksheets/sheet1.xml") + "\n--\n" + p.Part("xl/styles.xml");
        }
    } catch (...) {
        PlainWays = false;
        throw;
    }
    PlainWays = false;
    return bytes;
}
}  // namespace

TEST(ExportEquivalence, LargeGridsWriteWhatThePlainWayWrites)
{
    ResetFormatSettings();
    FormatSettings.DecimalSeparator = ',';
    const TSetup setups[] = {
        {"defaults", [](TProStringGrid&) {}},
        {"records and events",
         [](TProStringGrid& G) {
             // Check boxes and rich text need the grid's thread; merged cells show their base text;
             // an event that may run anywhere changes a column.
             for (int r = 5; r < G.RowCount(); r += 997) {
                 G.SetCells(2, r, "");
                 TCellGraphic* box = G.CreateCellGraphic(2, r);
                 box->CellType = ctCheckBox;
                 box->CellBoolean = r % 2 == 0;
                 G.SetCells(3, r + 1, "{\\rtf1\\ansi tekst}");
                 G.MergeCells(4, r + 2, 2, 2);
             }
             G.SetSaveKeepsRichText(false);
             G.SetSaveKeepsHTML(false);
             G.SetSaveCellConcurrent(true);
             G.OnSaveCell = [](TObject*, int ACol, int ARow, AnsiString& Value) {
                 if (ACol == 1 && ARow % 3 == 0)
                     Value = "[" + Value + "]";
             };
         }},
        {"hidden column and an event kept on the grid's thread",
         [](TProStringGrid& G) {
             G.HideColumn(3);
             G.SetExportHiddenColumns(true);
             G.OnSaveCell = [](TObject*, int, int ARow, AnsiString& Value) {
                 if (ARow == 7000)
                     Value = "ostatni";
             };
         }},
        {"quoted fields, semicolons",
         [](TProStringGrid& G) { G.SetFieldSeparator(';'); G.SetQuoteAllFields(true); }},
        {"tildes, no quotes for empty fields",
         [](TProStringGrid& G) { G.SetTildeLineBreaks(true); G.SetQuoteEmptyFields(false); }},
        {"grouped with counts",
         [](TProStringGrid& G) { G.Grouping()->SetShowGroupCount(true); G.GroupByColumn(4); }},
        {"a quote, separator or line break at each place of short fields",
         [](TProStringGrid& G) {
             int r = 1;
             for (const char ch : {'"', ',', '\r', '\n'})
                 for (int n = 1; n <= 17; ++n)
                     for (int k = 0; k < n; ++k, ++r) {
                         AnsiString text(std::size_t(n), 'x');
                         text[std::size_t(k)] = ch;
                         G.SetCells(r % 6, r, text);
                     }
         }},
        {"OEM code page and fixed cells left out",
         [](TProStringGrid& G) { G.SetOemConvert(true); G.SetExportFixedCells(false); }},
    };
    TTempDir dir("velmarok-export-");
    for (const TSetup& setup : setups)
        for (const char* file : {"grid.csv", "grid.xlsx"}) {
            TProStringGrid g(nullptr);
            Fill(g, 9000, 7);
            setup.Prepare(g);
            const std::string plain = Export(g, dir / file, true);
            const std::string fast = Export(g, dir / file, false);
            ASSERT_FALSE(plain.empty());
            const std::size_t at = std::size_t(std::mismatch(fast.begin(), fast.end(), plain.begin(), plain.end()).first - fast.begin());
            EXPECT_TRUE(fast == plain) << setup.Name << ", " << file << ": " << fast.size() << " bytes against "
                                       << plain.size() << ", from byte " << at << ":\n"
                                       << fast.substr(at, 80) << "\n" << plain.substr(at, 80);
        }
    ResetFormatSettings();
}
