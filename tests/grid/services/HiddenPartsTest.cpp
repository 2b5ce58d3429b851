// The services on a grid with a hidden column, a hidden row or a contracted
// node: what the user asks for in the columns and rows as shown happens to
// exactly those cells, and the hidden cells keep their texts and places.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProGridParts.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {
using TGrid = TProStringGrid;
using TOp = std::function<void(TGrid&)>;
enum TShape { HiddenColumn, HiddenRow, Node };

// ACols x ARows cells, (c, r) holding a letter for its column and the row's digit ("c2").
void Letter(TGrid& G, int ACols, int ARows)
{
    G.SetColCount(ACols);
    G.SetRowCount(ARows);
    for (int r = 0; r < ARows; ++r)
        for (int c = 0; c < ACols; ++c)
            G.SetCells(c, r, std::string(1, char('a' + c)) + char('0' + r));
}

// 4 x 5 lettered cells, one fixed row and column: column 2 hidden, row 2 hidden, or a node over
// rows 1-3 contracted (rows 2 and 3 hidden).
void Shape(TGrid& G, TShape AShape)
{
    Letter(G, 4, 5);
    if (AShape == HiddenColumn)
        G.HideColumn(2);
    else if (AShape == HiddenRow)
        G.HideRow(2);
    else {
        G.AddNode(1, 3);
        G.ContractNode(1);
    }
}

// Every stored row in stored order, hidden ones included: its digit while it holds its first
// cells whole, "-" when empty, else its cells; "h" marks a hidden row.
std::string StoredRows(TGrid& G)
{
    std::string out;
    for (int r = 0; r < G.RowCount() + G.NumHiddenRows(); ++r) {
        std::string all;
        for (int c = 0; c < G.AllColCount(); ++c)
            all += (c ? "," : "") + std::string(G.GetCellByRealRow(c, r));
        std::string token = all.find_first_not_of(',') == std::string::npos ? "-" : all;
        for (char k = '0'; k <= '4'; ++k)
            if (all == std::string("a") + k + ",b" + k + ",c" + k + ",d" + k)
                token = std::string(1, k);
        out += (out.empty() ? "" : " ") + token + (G.IsHiddenRow(r) ? "h" : "");
    }
    return out;
}

// Copies From in the grid's own clipboard format and pastes it at To.
void CopyPasteFormatted(TGrid& G, const TGridRect& From, const TGridRect& To)
{
    G.SetOptions(G.Options() | goEditing);
    G.Navigation()->SetAllowFmtClipboard(true);
    G.SetSelection(From);
    G.CopySelection();
    G.SetSelection(To);
    G.PasteSelection();
}

std::string Copied(TGrid& G, const TGridRect& R)
{
    G.SetSelection(R);
    G.CopySelection();
    return Clipboard()->AsText();
}

void ClickCellOf(TGrid& G, int ACol, int ARow)
{
    const TRect r = G.CellRect(ACol, ARow);
    Click(&G, r.Left + 5, r.Top + 5);
}

// The texts of the Cell elements of the Count Row elements after the first in Doc, each followed by
// its spans (":c2" colspan 2, ":r2" rowspan 2) and a row by "|".
std::string Cells(const std::string& Doc, const std::string& Row, const std::string& Cell, int Count = 1)
{
    std::string out;
    std::size_t at = Doc.find(Row, Doc.find(Row) + 1);
    for (int r = 0; r < Count; ++r, at = Doc.find(Row, at + 1)) {
        const std::size_t end = Doc.find("</" + Row.substr(1), at);
        for (std::size_t c = Doc.find(Cell, at); c < end; c = Doc.find(Cell, c + 1)) {
            const std::size_t text = Doc.find('>', c) + 1;
            out += Doc.substr(text, Doc.find('<', text) - text);
            for (const std::string span : {"colspan=\"", "rowspan=\""})
                if (const std::size_t n = Doc.find(span, c); n < text)
                    out += ":" + span.substr(0, 1) + Doc.substr(n + 9, Doc.find('"', n + 9) - n - 9);
            out += " ";
        }
        out += "| ";
    }
    return out;
}

struct HiddenParts : TGridFormTest<TGrid> {
    TTempDir Dir{"velmarok-hidden"};
    // A new grid placed over the fixture's.
    std::unique_ptr<TGrid> Fresh() { return std::unique_ptr<TGrid>(Place<TGrid>(0, 0, 400, 250)); }
};
}  // namespace

TEST_F(HiddenParts, ServicesWorkOnTheCellsAsShownAndKeepTheHiddenOnes)
{
    const std::string file = Dir / "g.csv", book = Dir / "g.xlsx";
    const TOp csv = [&](TGrid& G) { G.SaveToCsvFile(file.c_str()); G.LoadFromCsvFile(file.c_str()); };
    const TOp workbook = [&](TGrid& G) { G.SaveToExcel(book.c_str()); G.LoadFromExcel(book.c_str(), ""); };
    // Written and read back, into the emptied grid when Emptied.
    auto stream = [](bool Emptied) {
        return [=](TGrid& G) {
            TMemoryStream s;
            G.WriteTextStream(&s);
            for (int r = 0; Emptied && r < G.RowCount(); ++r)
                for (int c = 0; c < G.StoredColCount(r); ++c)
                    G.SetGridCell(c, r, "");
            s.SetPosition(0);
            G.ReadTextStream(&s);
        };
    };
    auto allColumns = [](TOp Op) { return [=](TGrid& G) { G.SetExportHiddenColumns(true); Op(G); }; };
    auto key = [](int ARow, TInsertPosition APos, Word AKey) {
        return [=](TGrid& G) {
            G.Navigation()->SetAllowInsertRow(true);
            G.Navigation()->SetAllowDeleteRow(true);
            G.Navigation()->SetInsertPosition(APos);
            G.FocusCell(1, ARow, true);
            TypeKey(&G, AKey);
        };
    };
    // With a disjunct row selection (kept by stored row when Persistent): Op runs with the shown
    // row AFlagged flagged, then the flagged rows are removed.
    auto flagged = [](bool Persistent, int AFlagged, TOp Op) {
        return [=](TGrid& G) {
            G.MouseActions()->SetDisjunctRowSelect(true);
            G.MouseActions()->SetRowSelectPersistent(Persistent);
            G.Navigation()->SetMoveRowOnSort(true);
            if (AFlagged >= 0)
                G.SetShownRowSelect(AFlagged, true);
            Op(G);
            G.RemoveSelectedRows();
        };
    };
    const char* whole = "0 1 2 3 4 | 0 1 2h 3 4 | 0 1 2h 3h 4";
    // Expected: the stored rows afterwards with the hidden column | row | node
    const struct { const char* Name; TOp Op; const char* Expected; } cases[] = {
        {"clear cells (shown column 2, shown rows 1-2)",
         [](TGrid& G) { G.SetSelection(TGridRect(2, 1, 2, 2)); G.ClearSelection(); },
         "0 a1,b1,c1, a2,b2,c2, 3 4 | 0 a1,b1,,d1 2h a3,b3,,d3 4 | 0 a1,b1,,d1 2h 3h a4,b4,,d4"},
        {"clear a selected column (shown column 2)",
         [](TGrid& G) { G.MouseActions()->SetDisjunctColSelect(true); G.SetColSelect(2, true); G.ClearSelection(); },
         "a0,b0,c0, a1,b1,c1, a2,b2,c2, a3,b3,c3, a4,b4,c4, | a0,b0,,d0 a1,b1,,d1 2h a3,b3,,d3 a4,b4,,d4 | "
         "a0,b0,,d0 a1,b1,,d1 2h 3h a4,b4,,d4"},
        {"CSV saved and read back", csv, whole},
        {"CSV with hidden columns saved and read back", allColumns(csv), whole},
        {"CSV without the fixed columns saved and read back, column 3 hidden after the fixed right one",
         allColumns([&](TGrid& G) {
             G.UnHideColumn(2);
             G.HideColumn(3);
             G.SetFixedRightCols(1);
             G.SetExportFixedCells(false);
             G.SaveToCsvFile(file.c_str());
             EXPECT_EQ(ReadFileBytes(file).find('c'), std::string::npos) << "the fixed right column is left out";
             G.LoadFromCsvFile(file.c_str());
         }),
         whole},
        {"workbook saved and read back", workbook, whole},
        {"workbook with hidden columns saved and read back", allColumns(workbook), whole},
        {"text stream into the emptied grid", stream(true),
         "a0,b0,,d0 a1,b1,,d1 a2,b2,,d2 a3,b3,,d3 a4,b4,,d4 | 0 1 2h 3 4 | 0 1 2h 3h 4"},
        {"text stream with hidden columns into the emptied grid", allColumns(stream(true)), whole},
        {"text stream without the fixed cells read back, the last row a fixed footer",
         [&](TGrid& G) { G.SetFixedFooters(1); G.SetExportFixedCells(false); stream(false)(G); }, whole},
        {"rows inserted above the hidden ones", [](TGrid& G) { G.InsertRows(1, 2); },
         "0 - - 1 2 3 4 | 0 - - 1 2h 3 4 | 0 - - 1 2h 3h 4"},
        {"Delete key on shown row 2", key(2, pInsertBefore, VK_DELETE), "0 1 3 4 | 0 1 2h 4 | 0 1 2h 3h"},
        {"Insert key before shown row 2", key(2, pInsertBefore, VK_INSERT),
         "0 1 - 2 3 4 | 0 1 2h - 3 4 | 0 1 2h 3h - 4"},
        {"Insert key after shown row 1", key(1, pInsertAfter, VK_INSERT), "0 1 - 2 3 4 | 0 1 2h - 3 4 | 0 1 2h 3h - 4"},
        {"sorted down by column 1", [](TGrid& G) { G.SortByColumn(1, sdDescending); },
         "0 4 3 2 1 | 0 4 2h 3 1 | 0 4 2h 3h 1"},
        {"a column inserted before stored column 1", [](TGrid& G) { G.InsertColumns(1, 1); },
         "a0,,b0,c0,d0 a1,,b1,c1,d1 a2,,b2,c2,d2 a3,,b3,c3,d3 a4,,b4,c4,d4 | "
         "a0,,b0,c0,d0 a1,,b1,c1,d1 a2,,b2,c2,d2h a3,,b3,c3,d3 a4,,b4,c4,d4 | "
         "a0,,b0,c0,d0 a1,,b1,c1,d1 a2,,b2,c2,d2h a3,,b3,c3,d3h a4,,b4,c4,d4"},
        {"stored column 1 removed", [](TGrid& G) { G.RemoveColumns(1, 1); },
         "a0,c0,d0 a1,c1,d1 a2,c2,d2 a3,c3,d3 a4,c4,d4 | a0,c0,d0 a1,c1,d1 a2,c2,d2h a3,c3,d3 a4,c4,d4 | "
         "a0,c0,d0 a1,c1,d1 a2,c2,d2h a3,c3,d3h a4,c4,d4"},
        {"a row inserted at a flagged one: the flag stays with its row",
         flagged(false, 2, [](TGrid& G) { G.InsertRows(2, 1); }), "0 1 - 3 4 | 0 1 2h - 4 | 0 1 2h 3h -"},
        {"the row above a flagged one removed: the flag stays with its row",
         flagged(false, 3, [](TGrid& G) { G.RemoveRows(2, 1); }), "0 1 4 | 0 1 2h | 0 1 2h 3h"},
        {"sorted down with the last shown row flagged: the flag goes with its row",
         flagged(false, -1,
                 [](TGrid& G) { G.SetShownRowSelect(G.RowCount() - 1, true); G.SortByColumn(1, sdDescending); }),
         "0 3 2 1 | 0 2h 3 1 | 0 2h 3h 1"},
        {"Space on shown row 2 flags its stored row",
         flagged(true, -1, [](TGrid& G) { G.FocusCell(1, 2, true); TypeKey(&G, VK_SPACE); }),
         "0 1 3 4 | 0 1 2h 4 | 0 1 2h 3h"},
        {"a flagged row kept by stored row while rows come back from hiding",
         flagged(true, 2, [](TGrid& G) { G.UnHideRows(2, 2); }), "0 1 3 4 | 0 1 2 4 | 0 1 2 3h"},
    };
    for (const auto& c : cases) {
        std::string got;
        for (TShape shape : {HiddenColumn, HiddenRow, Node}) {
            auto g = Fresh();
            Shape(*g, shape);
            c.Op(*g);
            got += (got.empty() ? "" : " | ") + StoredRows(*g);
        }
        EXPECT_EQ(got, c.Expected) << c.Name;
    }
}

TEST_F(HiddenParts, ResetRowCellsEmptiesTheHiddenColumnsToo)
{
    Shape(*Grid, HiddenColumn);
    Grid->ResetRowCells(2);
    EXPECT_EQ(StoredRows(*Grid), "0 1 - 3 4");
}

// Stored column 2, hidden, holds the widest and the tallest text: each shown column is sized by
// its own texts and a row by its shown cells, as in the same grid without the hidden column.
TEST_F(HiddenParts, SizingMeasuresTheCellsAsShown)
{
    auto make = [this](bool AHidden) {
        auto g = Fresh();
        g->SetOptions(g->Options() | goColSizing);
        g->SetColCount(AHidden ? 4 : 3);
        g->SetRowCount(3);
        const char* const texts[] = {"a", "bb", "a text much wider than the others\r\nx\r\ny\r\nz", "dddd\r\nd"};
        for (int r = 0; r < 3; ++r)
            for (int c = 0, to = 0; c < 4; ++c)
                if (AHidden || c != 2)
                    g->SetCells(to++, r, texts[c]);
        if (AHidden)
            g->HideColumn(2);
        return g;
    };
    auto sizes = [](TGrid& G) {
        std::string out;
        for (int c = 0; c < G.ColCount(); ++c)
            out += std::to_string(G.ColWidths(c)) + " ";
        for (int r = 0; r < G.RowCount(); ++r)
            out += "/" + std::to_string(G.RowHeights(r));
        return out;
    };
    const struct { const char* Name; TOp Op; } cases[] = {
        {"all columns", [](TGrid& G) { G.AutoSizeColumns(true, 0); }},
        {"shown column 2", [](TGrid& G) { G.AutoSizeColEx(2, false); }},
        {"double click on the right border of header 2",
         [](TGrid& G) {
             AdvanceInputClock(1000);
             DoubleClick(&G, G.CellRect(2, 0).Right - 1, G.CellRect(2, 0).Top + 5);
         }},
        {"row 1", [](TGrid& G) { G.AutoSizeRow(1); }},
    };
    for (const auto& c : cases) {
        auto shown = make(true), plain = make(false);
        const std::string before = sizes(*plain);
        c.Op(*shown);
        c.Op(*plain);
        EXPECT_NE(sizes(*plain), before) << c.Name << " sizes something";
        EXPECT_EQ(sizes(*shown), sizes(*plain)) << c.Name;
    }
}

// Row 1 holds two merged regions of stored columns: 2-4 with column 3 hidden inside (shown
// columns 2-3) and 5-6 (shown columns 4-5); stored column 7 is shown column 6. The keys, the
// copy and the merging of columns take the regions as shown.
TEST_F(HiddenParts, MergedRegionsAreWalkedAsShown)
{
    auto col = [](TGrid& G) { return "col " + std::to_string(G.Col()); };
    auto colRow = [&](TGrid& G) { return col(G) + " row " + std::to_string(G.Row()); };
    // The cells of the disjunct cell selection, stored column and row.
    auto selected = [](TGrid& G) {
        std::string cells;
        for (const TPoint& p : G.SelectedCells())
            cells += std::to_string(p.X) + ":" + std::to_string(p.Y) + " ";
        return cells;
    };
    // The hint over the shown column in row 1.
    auto hint = [](TGrid& G, int ACol) {
        const TRect r = G.CellRect(ACol, 1);
        return std::string(CellHint(G, r.Left + 3, r.Top + 3));
    };
    const struct {
        const char* Name;
        int From;   // the shown column current at first, in row 1
        std::function<std::string(TGrid&)> Op;
        const char* Expected;
    } cases[] = {
        {"Right from the first region", 2, [&](TGrid& G) { TypeKey(&G, VK_RIGHT); return col(G); }, "col 4"},
        {"Right from the second region", 4, [&](TGrid& G) { TypeKey(&G, VK_RIGHT); return col(G); }, "col 6"},
        {"Tab from the second region", 4,
         [&](TGrid& G) { G.SetOptions(G.Options() | goTabs); TypeKey(&G, VK_TAB); return col(G); }, "col 6"},
        {"Home from row 2 to the first row keeps the column as shown", 4,
         [&](TGrid& G) {
             G.Navigation()->SetHomeEndKey(heFirstLastRow);
             G.FocusCell(4, 2, true);
             TypeKey(&G, VK_HOME);
             return colRow(G);
         },
         "col 4 row 1"},
        {"the fixed right column is not made current", 4,
         [&](TGrid& G) { G.SetFixedRightCols(1); G.FocusCell(6, 1, true); return col(G); }, "col 4"},
        {"Return's advance steps past the first region", 2,
         [&](TGrid& G) {
             G.SetOptions(G.Options() | goEditing);
             G.SetFixedRightCols(2);
             G.AdvanceToNextCell(G.Col(), G.Row(), true, false, true, false, false);
             return colRow(G);
         },
         "col 4 row 1"},
        {"the editors' cursor walk steps past the first region", 2,
         [&](TGrid& G) {
             G.SetOptions(G.Options() | goEditing);
             G.SetFixedRightCols(2);
             G.EditorCursorWalk("c1", true);
             return col(G);
         },
         "col 4"},
        {"a click on the second region's covered cell selects its base cell", 1,
         [&](TGrid& G) { G.MouseActions()->SetDisjunctCellSelect(true); ClickCellOf(G, 5, 1); return selected(G); },
         "5:1 "},
        {"Space on the second region selects its base cell", 4,
         [&](TGrid& G) { G.MouseActions()->SetDisjunctCellSelect(true); TypeKey(&G, VK_SPACE); return selected(G); },
         "5:1 "},
        {"a copy cutting the first region takes it in as shown", 1,
         [](TGrid& G) { return Copied(G, TGridRect(1, 1, 2, 1)); }, "b1\tc1\tc1"},
        {"a click on a region whose base column is hidden keeps its first shown cell current", 1,
         [&](TGrid& G) { G.UnHideColumn(3); G.HideColumn(2); ClickCellOf(G, 3, 1); return col(G); }, "col 2"},
        {"the grid's own format carries the first region as shown", 1,
         [](TGrid& G) {
             CopyPasteFormatted(G, TGridRect(2, 1, 3, 1), TGridRect(2, 2, 2, 2));
             return std::to_string(G.CellSpan(2, 2).X) + " " + std::to_string(G.GetBaseCell(4, 2).X) + " " +
                    std::string(G.Cells(4, 2));
         },
         "2 2 c1"},
        {"the hint over the first region's covered cell is its base cell's comment", 1,
         [&](TGrid& G) { G.AddCellComment(2, 1, "note"); return hint(G, 3); }, "note"},
        {"the large-text hint over the first region's covered cell measures its base cell", 1,
         [&](TGrid& G) { G.SetHintShowLargeText(true); G.CellProperties(2, 1)->SetFontSize(30); return hint(G, 3); },
         "c1"},
        {"a merged column keeps to the runs of a hidden merged column", 1,
         [](TGrid& G) {
             for (int r = 1; r < 4; ++r) {
                 G.SetCells(1, r, "a");
                 G.SetCells(7, r, r < 3 ? "x" : "y");
             }
             G.HideColumn(7);
             G.MergedColumns()->Add(7);
             G.MergedColumns()->Add(1);
             return std::to_string(G.CellSpan(1, 1).Y) + "," + std::to_string(G.CellSpan(1, 3).Y);
         },
         "1,0"},
    };
    for (const auto& c : cases) {
        auto g = Fresh();
        Letter(*g, 8, 4);
        g->MergeCells(2, 1, 3, 1);
        g->MergeCells(5, 1, 2, 1);
        g->HideColumn(3);
        g->FocusCell(c.From, 1, true);
        EXPECT_EQ(c.Op(*g), c.Expected) << c.Name;
    }
}

// Row 1 and the footer's row hold a merged region over stored columns 2-4 whose base cell is red,
// and a blue stored column 5; one stored column is hidden. The region is painted over exactly
// its shown columns as its base cell, in the grid and in the footer, and the blue column keeps
// its own place: "R" red, "B" blue, "." anything else, one a shown column.
TEST_F(HiddenParts, MergedRegionsArePaintedOverTheirShownColumns)
{
    auto colours = [](TBitmap* B, const std::vector<TRect>& Cells) {
        std::string out;
        for (const TRect& r : Cells) {
            const TColor c = ColorToRGB(B->Canvas()->Pixels(r.Left + 30, (r.Top + r.Bottom) / 2));
            out += c == clRed ? 'R' : c == clBlue ? 'B' : '.';
        }
        return out;
    };
    // The hidden column, and what is painted: inside the region, before it, after it, its base
    // column, the blue one after it.
    const struct { int Hidden; const char* Expected; } cases[] = {
        {3, "..RRB.."}, {1, ".RRRB.."}, {6, "..RRRB."}, {2, "..RRB.."}, {5, "..RRR.."}};
    for (const auto& c : cases) {
        auto g = Fresh();
        g->SetDefaultColWidth(40);
        g->SetFlat(true);   // the footer's cells in their own colours
        g->SetColCount(8);
        g->SetRowCount(4);
        g->FloatingFooter()->SetVisible(true);
        for (int r : {1, 3}) {
            for (int k = 0; k < 8; ++k)
                g->SetCells(k, r, std::string(1, char('a' + k)));
            g->MergeCells(2, r, 3, 1);
            g->CellProperties(2, r)->SetBrushColor(clRed);
            g->CellProperties(5, r)->SetBrushColor(clBlue);
        }
        g->HideColumn(c.Hidden);
        g->FocusCell(1, 2, true);
        ProcessPendingMessages();
        std::vector<TRect> cells, footer;
        for (int k = 0, x = 0; k < g->ColCount(); x += g->ColWidths(k++)) {
            cells.push_back(g->CellRect(k, 1));
            footer.push_back(TRect(x, 0, x + g->ColWidths(k), g->FooterPanel()->Height()));
        }
        EXPECT_EQ(colours(GrabControl(g.get()).get(), cells), c.Expected) << "grid, hidden " << c.Hidden;
        EXPECT_EQ(colours(GrabControl(g->FooterPanel()).get(), footer), c.Expected) << "footer, hidden " << c.Hidden;
    }
}

// Row 1 holds "a" to "f" in stored columns 0-5 and a merged region over stored columns 2-4 ("m");
// one stored column is hidden. The HTML table and the XML records write the region once, at the
// first of its columns written, over its columns written ("m:c2" a cell of colspan 2).
TEST_F(HiddenParts, ExportsWriteAMergedRegionOverItsColumnsWritten)
{
    const std::string xml = Dir / "g.xml";
    const struct { int Hidden; bool ExportHidden; const char* Html; const char* Xml; } cases[] = {
        {3, false, "a b m:c2 f | ", "a b m f | "},   // inside the region
        {3, true, "a b m:c3 f | ", "a b m f | "},
        {2, false, "a b m:c2 f | ", "a b m f | "},   // its base column
        {1, false, "a m:c3 f | ", "a m f | "},       // before it
        {5, false, "a b m:c3 | ", "a b m | "},       // after it
    };
    for (const auto& c : cases) {
        auto g = Fresh();
        g->SetColCount(6);
        g->SetRowCount(3);
        for (int k = 0; k < 6; ++k)
            g->SetCells(k, 1, std::string(1, char('a' + k)));
        g->SetCells(2, 1, "m");
        g->MergeCells(2, 1, 3, 1);
        g->HideColumn(c.Hidden);
        g->SetExportHiddenColumns(c.ExportHidden);
        EXPECT_EQ(Cells(g->BuildHtmlTable(""), "<tr>", "<td"), c.Html) << "hidden " << c.Hidden;
        g->SaveToXmlFile(xml.c_str(), "", "", nullptr, false);
        EXPECT_EQ(Cells(ReadFileBytes(xml), "<RECORD>", "<FIELD"), c.Xml) << "hidden " << c.Hidden;
    }
}

// A merged region over stored columns 1-2 and stored rows 1-3, red, "m", with one of its rows hidden
// (its base row, a middle one or its last): the table shows it over shown rows 1-2, the keys, a
// click, the copies, the painting and the HTML table take it so, and shown row 3 (stored row 4)
// keeps its own cells.
TEST_F(HiddenParts, MergedRegionsOverAHiddenRowAreTakenAsShown)
{
    auto at = [](TGrid& G) { return std::to_string(G.Col()) + "," + std::to_string(G.Row()); };
    auto key = [&](int ARow, Word AKey) {
        return [=](TGrid& G) { G.FocusCell(1, ARow, true); TypeKey(&G, AKey); return at(G); };
    };
    // "R" red, "." anything else: shown columns 1-2 of shown rows 1-4.
    auto painted = [](TGrid& G) {
        G.FocusCell(3, 4, true);
        ProcessPendingMessages();
        auto b = GrabControl(&G);
        std::string out;
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 2; ++c) {
                const TRect cell = G.CellRect(c, r);
                out += ColorToRGB(b->Canvas()->Pixels(cell.Left + 3, cell.Top + 3)) == clRed ? 'R' : '.';
            }
        return out;
    };
    // Expected: with stored row 1, 2 or 3 hidden, joined by " / "
    const struct { const char* Name; std::function<std::string(TGrid&)> Op; const char* Expected; } cases[] = {
        {"texts and spans",
         [](TGrid& G) {
             return std::string(G.Cells(1, 1)) + G.Cells(2, 2) + G.Cells(1, 3) + " " +
                    std::to_string(G.CellSpan(2, 2).Y) + std::to_string(G.GetBaseCell(2, 2).Y) +
                    (G.IsBaseCell(1, 1) ? " base" : "");
         },
         "mmb4 11 base / mmb4 11 base / mmb4 11 base"},
        {"Down from the region", key(1, VK_DOWN), "1,3 / 1,3 / 1,3"},
        {"Up into the region", key(3, VK_UP), "1,1 / 1,1 / 1,1"},
        {"a click on a covered cell", [&](TGrid& G) { ClickCellOf(G, 2, 2); return at(G); }, "1,1 / 1,1 / 1,1"},
        {"painted", painted, "RRRR.... / RRRR.... / RRRR...."},
        {"a copy cutting the region takes it in as shown", [](TGrid& G) { return Copied(G, TGridRect(2, 2, 3, 2)); },
         "m\tm\td2\r\nm\tm\td3\r\n / m\tm\td1\r\nm\tm\td3\r\n / m\tm\td1\r\nm\tm\td2\r\n"},
        {"the grid's own format carries the region as shown",
         [](TGrid& G) {
             CopyPasteFormatted(G, TGridRect(1, 1, 2, 2), TGridRect(1, 3, 1, 3));
             return std::to_string(G.CellSpan(1, 3).X) + std::to_string(G.CellSpan(1, 3).Y) + G.Cells(2, 4);
         },
         "11m / 11m / 11m"},
        {"HTML table", [](TGrid& G) { return Cells(G.BuildHtmlTable(""), "<tr>", "<td", 3); },
         "a2 m:c2:r2 d2 | a3 d3 | a4 b4 c4 d4 |  / a1 m:c2:r2 d1 | a3 d3 | a4 b4 c4 d4 |  / "
         "a1 m:c2:r2 d1 | a2 d2 | a4 b4 c4 d4 | "},
    };
    for (const auto& c : cases) {
        std::string got;
        for (int hidden : {1, 2, 3}) {
            auto g = Fresh();
            Letter(*g, 4, 6);
            g->SetCells(1, 1, "m");
            g->MergeCells(1, 1, 2, 3);
            g->CellProperties(1, 1)->SetBrushColor(clRed);
            g->HideRow(hidden);
            got += (hidden > 1 ? " / " : "") + c.Op(*g);
        }
        EXPECT_EQ(got, c.Expected) << c.Name;
    }
}

// Row 1 holds "a" to "f" in stored columns 0-5, 10 to 60 pixels wide, the last a fixed right
// column; stored column 2 is hidden. After each change, with every column shown again, each
// column keeps its cells and its width ("-64": a new empty column of the default width), and no
// hidden column is left beyond the table.
TEST_F(HiddenParts, ColumnChangesKeepWidthsAndTheTableWhole)
{
    auto stream = [](const std::string& AText) {
        return [AText](TGrid& G) { TStringStream s(AText); G.ReadTextStream(&s); };
    };
    const struct { const char* Name; TOp Op; const char* Expected; } cases[] = {
        {"a column inserted before the hidden one", [](TGrid& G) { G.InsertColumns(1, 1); },
         "a10 -64 b20 c30 d40 e50 f60"},
        {"a column inserted after it", [](TGrid& G) { G.InsertColumns(4, 1); }, "a10 b20 c30 d40 -64 e50 f60"},
        {"a column removed before it", [](TGrid& G) { G.RemoveColumns(1, 1); }, "a10 c30 d40 e50 f60"},
        {"the hidden column and the next removed", [](TGrid& G) { G.RemoveColumns(2, 2); }, "a10 b20 e50 f60"},
        {"the column order reset",
         [](TGrid& G) { G.ResetColumnOrder(); G.SetCells(0, 1, "a" + std::to_string(G.ColumnOrder()->Count())); },
         "a610 b20 c30 d40 e50 f60"},
        {"a text stream without the fixed columns written and read back",
         [](TGrid& G) {
             TMemoryStream s;
             G.WriteTextStream(&s);
             s.SetPosition(0);
             G.ReadTextStream(&s);
         },
         "a10 b20 c30 d40 e50 f60"},
        {"a text stream of one column more read", stream("4,1\r\n3,0,n\r\n"), "a10 b20 c30 d40 e50 n64 f60"},
        {"a text stream of one column less read", stream("2,1\r\n"), "a10 b20 c30 d40 f60"},
        {"ColCount cut before the hidden column", [](TGrid& G) { G.SetColCount(1); }, "a10"},
    };
    for (const auto& c : cases) {
        auto g = Fresh();
        g->SetDefaultColWidth(64);
        g->SetColCount(6);
        g->SetRowCount(3);
        for (int k = 0; k < 6; ++k) {
            g->SetCells(k, 1, std::string(1, char('a' + k)));
            g->SetColWidths(k, 10 * (k + 1));
        }
        g->SetFixedRightCols(1);
        g->SetExportFixedCells(false);
        g->HideColumn(2);
        c.Op(*g);
        g->UnHideColumnsAll();
        std::string out;
        for (int k = 0; k < g->ColCount(); ++k) {
            const std::string text = g->Cells(k, 1);
            out += (k ? " " : "") + (text.empty() ? "-" : text) + std::to_string(g->ColWidths(k));
        }
        EXPECT_EQ(out, c.Expected) << c.Name;
        EXPECT_EQ(g->NumHiddenColumns(), 0) << c.Name;
    }
}
