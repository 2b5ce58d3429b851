// The print layout of large grids, its cells measured in one pass on several
// threads, against its plain way (every cell through the cell-style query):
// the same page totals of a print job and of a preview, the same column
// widths and the same pictures of the preview pages, on random grids of
// awkward cells under the settings that change how cells are measured.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Printers.h"
#include "tests/common/FormTest.h"
#include "tests/common/TestFiles.h"

namespace {
const char* const Texts[] = {
    "", "", "PN-EN 1090-2:2018", "Aktualna", "Wymagania ogólne dotyczące kompetencji", "ŻÓŁĆ zażółć gęślą jaźń",
    "office affluent fjord", "dwie\r\nlinie", "trzy\rkrótkie\rlinie", "koniec\r", "WWWWWWWWWWWWWWWWWWWWWWWW",
    "iiiiiiii", "<b>pogrubiony</b> tekst", "=1+2", "{\\rtf1 rich}", "tab\tulator", "12,50",
};

struct TLayout { int PrintPages = 0, PreviewPages = 0; std::vector<int> Widths; std::vector<std::string> Pictures; };

struct PrintEquivalence : TFormTest {
    TProStringGrid* Grid = nullptr;
    TTempDir Dir{"velmarok-print-eq"};
    void SetUp() override
    {
        MakeForm(600, 400);
        Grid = Place<TProStringGrid>(0, 0, 580, 380);
        Form->Show();
    }
    void TearDown() override
    {
        PlainWays = false;
        SetPrinterOutputFile("");
        TFormTest::TearDown();
    }
    void Fill(int Rows, int Cols, unsigned Seed)
    {
        std::mt19937 rng(Seed);
        Grid->SetColCount(Cols);
        Grid->SetRowCount(Rows);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                Grid->SetCells(c, r, AnsiString(Texts[rng() % std::size(Texts)]) +
                                         (rng() % 3 ? AnsiString() : IntToStr(r) + AnsiString(rng() % 40, 'm')));
    }
    // The page totals, widths and the pictures of the first, a middle and the last preview page.
    TLayout Layout(bool Plain, const std::function<void(TCanvas*, const TRect&)>& Preview)
    {
        PlainWays = Plain;
        TLayout l;
        SetPrinterOutputFile(Dir / "count.pdf");
        Grid->OnPrintStart = [&](TObject*, int Pages, int& From, int& To) { l.PrintPages = Pages; From = To = 0; };
        Grid->PrintGrid();
        Grid->OnPrintStart = nullptr;
        TBitmap page;
        page.SetSize(240, 340);
        for (int which = 0; which < 3; ++which) {
            const int total = std::max(Grid->PrintPageCount(), 1);
            Grid->SetPreviewPage(which == 0 ? 1 : which == 1 ? (total + 1) / 2 : total);
            page.Canvas()->Brush()->SetColor(clWhite);
            page.Canvas()->FillRect(TRect(0, 0, 240, 340));
            Preview(page.Canvas(), TRect(0, 0, 240, 340));
            l.PreviewPages = Grid->PrintPageCount();
            l.Widths = Grid->PrintState().ColWidths;
            l.Pictures.push_back(page.SaveToData());
        }
        PlainWays = false;
        return l;
    }
};
}  // namespace

TEST_F(PrintEquivalence, CellsMeasuredAtOnceLayOutPagesAsTheStyleQueryDoes)
{
    using TPreview = std::function<void(TCanvas*, const TRect&)>;
    const TPreview whole = [&](TCanvas* C, const TRect& R) { Grid->PrintPreviewTo(C, R); };
    const TPreview selected = [&](TCanvas* C, const TRect& R) { Grid->PrintPreviewSelectedTo(C, R); };
    struct TSetup {
        const char* Name; int Cols; std::function<void(TProStringGrid&)> Prepare; TPreview Preview;
    } setups[] = {
        {"defaults", 5, [](TProStringGrid&) {}, whole},
        {"lines of several lines, fixed rows and columns repeated", 4,
         [](TProStringGrid& G) {
             G.SetMultilinecells(true);
             G.SetFixedRows(2);
             G.SetFixedCols(1);
             G.PrintSettings()->SetRepeatFixedRows(true);
             G.PrintSettings()->SetRepeatFixedCols(true);
         },
         whole},
        {"cell records, merged cells, screen fonts", 5,
         [](TProStringGrid& G) {
             for (int r = 3; r < G.RowCount(); r += 401) {
                 G.CellProperties(1, r)->SetFontSize(20);
                 G.CellProperties(2, r + 1)->SetFontName("Courier New");
                 G.MergeCells(3, r + 2, 2, 2);
             }
             G.PrintSettings()->SetUseDisplayFont(true);
         },
         whole},
        {"hidden column, fixed width, several bands", 9,
         [](TProStringGrid& G) {
             G.HideColumn(2);
             G.PrintSettings()->SetUseFixedWidth(true);
             G.PrintSettings()->SetFixedWidth(500);
         },
         whole},
        {"selected rows and columns, shrunk to the page", 6,
         [](TProStringGrid& G) {
             G.SetSelection(TGridRect{1, 100, 4, 4000});
             G.PrintSettings()->SetFitToPage(fpShrink);
         },
         selected},
    };
    for (const TSetup& s : setups) {
        Fill(4000, s.Cols, 11);
        // The widest cell of a column far from the first rows, in characters met before it.
        Grid->SetCells(3, 2500, AnsiString(120, 'W'));
        Grid->PrintSettings()->SetTime(ppNone);
        Grid->PrintSettings()->SetDate(ppNone);
        Grid->PrintSettings()->SetPageNr(ppBottomCenter);
        s.Prepare(*Grid);
        const TLayout plain = Layout(true, s.Preview);
        const TLayout fast = Layout(false, s.Preview);
        EXPECT_GT(plain.PrintPages, 1) << s.Name;
        EXPECT_EQ(fast.PrintPages, plain.PrintPages) << s.Name;
        EXPECT_EQ(fast.PreviewPages, plain.PreviewPages) << s.Name;
        EXPECT_EQ(fast.Widths, plain.Widths) << s.Name;
        for (std::size_t p = 0; p < plain.Pictures.size(); ++p)
            EXPECT_TRUE(fast.Pictures[p] == plain.Pictures[p]) << s.Name << ", picture " << p;
        delete Grid;
        Grid = Place<TProStringGrid>(0, 0, 580, 380);
    }
}
