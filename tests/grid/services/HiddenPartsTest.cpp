// The services on a grid with a hidden column, a hidden row or a contracted
// node: what the user asks for in the columns and rows as shown happens to
// exactly those cells, and the hidden cells keep their texts and places.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {
enum TShape { HiddenColumn, HiddenRow, Node };

// 4 stored columns and 5 stored rows, one fixed of each; cell (c, r) holds a letter for its
// column and the row's digit ("c2"). Column 2 hidden, row 2 hidden, or a node over rows 1-3
// contracted (rows 2 and 3 hidden).
void Shape(TProStringGrid& G, TShape AShape)
{
    G.SetColCount(4);
    G.SetRowCount(5);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c)
            G.SetCells(c, r, std::string(1, char('a' + c)) + char('0' + r));
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
std::string StoredRows(TProStringGrid& G)
{
    std::string out;
    for (int r = 0; r < G.RowCount() + G.NumHiddenRows(); ++r) {
        std::vector<std::string> cells;
        std::string all;
        for (int c = 0; c < G.AllColCount(); ++c) {
            cells.push_back(G.GetCellByRealRow(c, r));
            all += (c ? "," : "") + cells.back();
        }
        std::string token = all.find_first_not_of(',') == std::string::npos ? "-" : all;
        for (char k = '0'; k <= '4'; ++k)
            if (all == std::string("a") + k + ",b" + k + ",c" + k + ",d" + k)
                token = std::string(1, k);
        out += (out.empty() ? "" : " ") + token + (G.IsHiddenRow(r) ? "h" : "");
    }
    return out;
}

struct HiddenParts : TGridFormTest<TProStringGrid> {
    TTempDir Dir{"velmarok-hidden"};
};
}  // namespace

TEST_F(HiddenParts, ServicesWorkOnTheCellsAsShownAndKeepTheHiddenOnes)
{
    const std::string file = Dir / "g.csv", book = Dir / "g.xlsx";
    auto stream = [](TProStringGrid& G) {
        TMemoryStream s;
        G.WriteTextStream(&s);
        for (int r = 0; r < G.RowCount(); ++r)
            for (int c = 0; c < G.StoredColCount(r); ++c)
                G.SetGridCell(c, r, "");
        s.SetPosition(0);
        G.ReadTextStream(&s);
    };
    auto key = [](TProStringGrid& G, int ARow, TInsertPosition APos, Word AKey) {
        G.Navigation()->SetAllowInsertRow(true);
        G.Navigation()->SetAllowDeleteRow(true);
        G.Navigation()->SetInsertPosition(APos);
        G.FocusCell(1, ARow, true);
        TypeKey(&G, AKey);
    };
    const struct {
        const char* Name;
        std::function<void(TProStringGrid&)> Op;
        // The stored rows afterwards with the hidden column, the hidden row and the node.
        const char* Expected[3];
    } cases[] = {
        {"clear cells (shown column 2, shown rows 1-2)",
         [](TProStringGrid& G) {
             G.SetSelection(TGridRect(2, 1, 2, 2));
             G.ClearSelection();
         },
         {"0 a1,b1,c1, a2,b2,c2, 3 4", "0 a1,b1,,d1 2h a3,b3,,d3 4", "0 a1,b1,,d1 2h 3h a4,b4,,d4"}},
        {"clear a selected column (shown column 2)",
         [](TProStringGrid& G) {
             G.MouseActions()->SetDisjunctColSelect(true);
             G.SetColSelect(2, true);
             G.ClearSelection();
         },
         {"a0,b0,c0, a1,b1,c1, a2,b2,c2, a3,b3,c3, a4,b4,c4,", "a0,b0,,d0 a1,b1,,d1 2h a3,b3,,d3 a4,b4,,d4",
          "a0,b0,,d0 a1,b1,,d1 2h 3h a4,b4,,d4"}},
        {"CSV saved and read back",
         [&](TProStringGrid& G) {
             G.SaveToCsvFile(file.c_str());
             G.LoadFromCsvFile(file.c_str());
         },
         {"0 1 2 3 4", "0 1 2h 3 4", "0 1 2h 3h 4"}},
        {"CSV with hidden columns saved and read back",
         [&](TProStringGrid& G) {
             G.SetExportHiddenColumns(true);
             G.SaveToCsvFile(file.c_str());
             G.LoadFromCsvFile(file.c_str());
         },
         {"0 1 2 3 4", "0 1 2h 3 4", "0 1 2h 3h 4"}},
        {"CSV without the fixed columns saved and read back, column 3 hidden after the fixed right one",
         [&](TProStringGrid& G) {
             G.UnHideColumn(2);
             G.HideColumn(3);
             G.SetFixedRightCols(1);
             G.SetExportFixedCells(false);
             G.SetExportHiddenColumns(true);
             G.SaveToCsvFile(file.c_str());
             EXPECT_EQ(ReadFileBytes(file).find('c'), std::string::npos) << "the fixed right column is left out";
             G.LoadFromCsvFile(file.c_str());
         },
         {"0 1 2 3 4", "0 1 2h 3 4", "0 1 2h 3h 4"}},
        {"workbook saved and read back",
         [&](TProStringGrid& G) {
             G.SaveToExcel(book.c_str());
             G.LoadFromExcel(book.c_str(), "");
         },
         {"0 1 2 3 4", "0 1 2h 3 4", "0 1 2h 3h 4"}},
        {"workbook with hidden columns saved and read back",
         [&](TProStringGrid& G) {
             G.SetExportHiddenColumns(true);
             G.SaveToExcel(book.c_str());
             G.LoadFromExcel(book.c_str(), "");
         },
         {"0 1 2 3 4", "0 1 2h 3 4", "0 1 2h 3h 4"}},
        {"text stream into the emptied grid", stream,
         {"a0,b0,,d0 a1,b1,,d1 a2,b2,,d2 a3,b3,,d3 a4,b4,,d4", "0 1 2h 3 4", "0 1 2h 3h 4"}},
        {"text stream with hidden columns into the emptied grid",
         [&](TProStringGrid& G) {
             G.SetExportHiddenColumns(true);
             stream(G);
         },
         {"0 1 2 3 4", "0 1 2h 3 4", "0 1 2h 3h 4"}},
        {"rows inserted above the hidden ones", [](TProStringGrid& G) { G.InsertRows(1, 2); },
         {"0 - - 1 2 3 4", "0 - - 1 2h 3 4", "0 - - 1 2h 3h 4"}},
        {"Delete key on shown row 2", [&](TProStringGrid& G) { key(G, 2, pInsertBefore, VK_DELETE); },
         {"0 1 3 4", "0 1 2h 4", "0 1 2h 3h"}},
        {"Insert key before shown row 2", [&](TProStringGrid& G) { key(G, 2, pInsertBefore, VK_INSERT); },
         {"0 1 - 2 3 4", "0 1 2h - 3 4", "0 1 2h 3h - 4"}},
        {"Insert key after shown row 1", [&](TProStringGrid& G) { key(G, 1, pInsertAfter, VK_INSERT); },
         {"0 1 - 2 3 4", "0 1 2h - 3 4", "0 1 2h 3h - 4"}},
        {"sorted down by column 1", [](TProStringGrid& G) { G.SortByColumn(1, sdDescending); },
         {"0 4 3 2 1", "0 4 2h 3 1", "0 4 2h 3h 1"}},
    };
    for (const auto& c : cases)
        for (TShape shape : {HiddenColumn, HiddenRow, Node}) {
            auto* g = Place<TProStringGrid>(0, 0, 400, 250);
            Shape(*g, shape);
            c.Op(*g);
            EXPECT_EQ(StoredRows(*g), c.Expected[shape]) << c.Name << ", shape " << shape;
            delete g;
        }
}

TEST_F(HiddenParts, ResetRowCellsEmptiesTheHiddenColumnsToo)
{
    Shape(*Grid, HiddenColumn);
    Grid->ResetRowCells(2);
    EXPECT_EQ(StoredRows(*Grid), "0 1 - 3 4");
}
