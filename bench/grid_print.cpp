// Printing times of a register-like grid of 100,000 rows (or the first
// argument), each against its baseline measured in the same process, the
// fastest of interleaved runs: counting the pages of a print job against
// summing the rows' heights in print units (each row as tall as its tallest
// cell: its lines times its font's line height), and showing the first
// preview page (which counts the preview's pages first) against drawing one
// page of the same cells on the same canvas (each cell filled, its text put
// in its rectangle and its four lines drawn, in the preview's mapping).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchCells.h"
#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Printers.h"
#include "platform/gui/TestSupport.h"

using bench::Clock;
using bench::Millis;

namespace {
constexpr int Cols = 6;
constexpr int Runs = 5;
using TRowTexts = std::array<std::string, Cols>;

// The baseline of the count: the rows' heights in print units summed.
long long SumOfRowHeights(const std::vector<TRowTexts>& Rows, int LineHeight)
{
    long long sum = 0;
    for (const TRowTexts& row : Rows) {
        int tallest = 0;
        for (const std::string& t : row) {
            int lines = 1;
            for (const char* p = t.data(); (p = static_cast<const char*>(std::memchr(p, '\r', std::size_t(t.data() + t.size() - p)))); ++p)
                ++lines;
            tallest = std::max(tallest, lines * LineHeight);
        }
        sum += tallest;
    }
    return sum;
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = std::max(bench::RowsWanted(argc, argv), 10);
    int status = 0;
    {
        TForm form(nullptr);
        form.SetBounds(0, 0, 820, 620);
        auto* grid = new TProStringGrid(&form);
        grid->SetParent(&form);
        grid->SetBounds(0, 0, 800, 600);
        form.Show();
        grid->SetColCount(Cols);
        grid->SetRowCount(rows + 1);
        const char* heads[] = {"Lp.", "Numer normy", "Tytuł", "Stan", "Zastąpiona przez", "Uwagi"};
        std::vector<TRowTexts> texts(std::size_t(rows) + 1);
        for (int c = 0; c < Cols; ++c)
            texts[0][std::size_t(c)] = heads[c];
        for (int r = 1; r <= rows; ++r) {
            TRowTexts& t = texts[std::size_t(r)];
            t = {std::to_string(r), "PN-EN " + std::to_string(10000 + r % 9000) + ":2004",
                 "Wymagania ogólne dotyczące kompetencji " + std::to_string(r % 97), r % 3 ? "Aktualna" : "Wycofana",
                 r % 5 ? "" : "PN-EN ISO " + std::to_string(r), r % 7 ? "" : "zob. rejestr"};
        }
        for (int r = 0; r <= rows; ++r)
            for (int c = 0; c < Cols; ++c)
                grid->SetCells(c, r, texts[std::size_t(r)][std::size_t(c)]);
        grid->PrintSettings()->SetPageNr(ppBottomCenter);

        // The line height of the print font in print units, on the printer's canvas.
        TCanvas* printerCanvas = Printer()->Canvas();
        const int savedMode = SetMapMode(printerCanvas, MM_LOMETRIC);
        printerCanvas->Font()->Assign(grid->PrintSettings()->Font());
        printerCanvas->Font()->SetHeight(-int(std::lround(grid->PrintSettings()->Font()->Size() * 254.0 / 72.0)));
        const int lineHeight = printerCanvas->TextHeight("gh");
        SetMapMode(printerCanvas, savedMode ? savedMode : MM_TEXT);

        // Counting a print job's pages: the print job with every page outside the range.
        const std::string pdf = "/tmp/velmarok-bench-print-" + std::to_string(::getpid()) + ".pdf";
        SetPrinterOutputFile(pdf);
        int pages = 0;
        grid->OnPrintStart = [&](TObject*, int NrOfPages, int& FromPage, int& ToPage) {
            pages = NrOfPages;
            FromPage = ToPage = 0;
        };
        long long heights = 0;
        auto [countMs, sumMs] = bench::Fastest(
            Runs,
            [&] {
                auto t0 = Clock::now();
                grid->PrintGrid();
                return Millis(Clock::now() - t0);
            },
            [&] {
                auto t0 = Clock::now();
                benchmark::DoNotOptimize(texts.data());
                heights = SumOfRowHeights(texts, lineHeight);
                benchmark::DoNotOptimize(heights);
                benchmark::ClobberMemory();
                return Millis(Clock::now() - t0);
            });
        grid->OnPrintStart = nullptr;
        SetPrinterOutputFile("");

        // The first preview page, and the rows it shows.
        TBitmap page;
        page.SetSize(600, 850);
        int firstRows = 0;
        grid->OnPrintPageDone = [&](TObject*, TCanvas*, int LastRow, int, int, int, int) { firstRows = LastRow; };
        grid->SetPreviewPage(1);
        grid->PrintPreviewTo(page.Canvas(), TRect(0, 0, 600, 850));
        grid->OnPrintPageDone = nullptr;
        const TRect pageRect = grid->PrintState().PageRect;
        const std::vector<int> starts = grid->PrintState().ColStarts;
        // The same mapping as the preview's: the printer's page scaled into the bitmap.
        const double dpi = 96 / 254.0;
        const double scale = std::min(600 / (pageRect.Width() * dpi), 850 / (pageRect.Height() * dpi));
        auto [previewMs, drawMs] = bench::Fastest(
            Runs,
            [&] {
                grid->SetPreviewPage(1);
                auto t0 = Clock::now();
                grid->PrintPreviewTo(page.Canvas(), TRect(0, 0, 600, 850));
                return Millis(Clock::now() - t0);
            },
            [&] {
                auto t0 = Clock::now();
                TCanvas* c = page.Canvas();
                const int mode = SetMapMode(c, MM_LOMETRIC);
                SetMappedView(c, scale, TPoint(0, 0));
                c->Font()->Assign(grid->PrintSettings()->Font());
                c->Font()->SetHeight(-lineHeight);
                const int pitch = lineHeight + lineHeight / 8 + 2 * (lineHeight / 8);
                for (int r = 0; r < firstRows; ++r) {
                    const int y = -100 - r * pitch;
                    for (int col = 0; col < Cols && col + 1 < int(starts.size()); ++col) {
                        const TRect R(starts[std::size_t(col)], y, starts[std::size_t(col) + 1], y - pitch);
                        c->Brush()->SetStyle(bsSolid);
                        c->Brush()->SetColor(clWhite);
                        c->FillRect(R);
                        c->Brush()->SetStyle(bsClear);
                        c->TextRect(R, R.Left + 4, R.Top, texts[std::size_t(r)][std::size_t(col)]);
                        c->MoveTo(R.Left, R.Top);
                        c->LineTo(R.Right, R.Top);
                        c->LineTo(R.Right, R.Bottom);
                        c->LineTo(R.Left, R.Bottom);
                        c->LineTo(R.Left, R.Top);
                    }
                }
                SetMappedView(c, 1.0, TPoint(0, 0));
                SetMapMode(c, mode ? mode : MM_TEXT);
                return Millis(Clock::now() - t0);
            });

        auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        std::printf("rows %d, cores %u, print pages %d, preview pages %d, rows on the first page %d\n", rows,
                    std::thread::hardware_concurrency(), pages, grid->PrintPageCount(), firstRows);
        std::printf("sum of the rows' heights       %8.2f ms (%lld print units)\n", sumMs, heights);
        std::printf("print page count               %8.2f ms   x%.2f (bound x2.0: %s)\n", countMs,
                    ratio(countMs, sumMs), ratio(countMs, sumMs) <= 2.0 ? "met" : "NOT met");
        std::printf("drawing one page               %8.2f ms\n", drawMs);
        std::printf("first preview page shown       %8.2f ms   x%.2f (bound x5.0: %s)\n", previewMs,
                    ratio(previewMs, drawMs), ratio(previewMs, drawMs) <= 5.0 ? "met" : "NOT met");
        if (pages != grid->PrintPageCount() || pages < 1)
            status = 1;
    }
    DoneTestApplication();
    return status;
}
