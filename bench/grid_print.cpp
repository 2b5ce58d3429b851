// Printing times of a register-like grid: counting the pages of a print job
// and drawing the first preview page (which counts the preview's pages first).
// The first argument is the number of rows (100,000 by default).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Printers.h"
#include "platform/gui/TestSupport.h"

namespace {
using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = argc > 1 ? std::max(std::atoi(argv[1]), 10) : 100000;
    int status = 0;
    {
        TForm form(nullptr);
        form.SetBounds(0, 0, 820, 620);
        auto* grid = new TProStringGrid(&form);
        grid->SetParent(&form);
        grid->SetBounds(0, 0, 800, 600);
        form.Show();
        grid->SetColCount(6);
        grid->SetRowCount(rows + 1);
        const char* heads[] = {"Lp.", "Numer normy", "Tytuł", "Stan", "Zastąpiona przez", "Uwagi"};
        for (int c = 0; c < 6; ++c)
            grid->SetCells(c, 0, heads[c]);
        for (int r = 1; r <= rows; ++r) {
            grid->SetCells(0, r, std::to_string(r));
            grid->SetCells(1, r, "PN-EN " + std::to_string(10000 + r % 9000) + ":2004");
            grid->SetCells(2, r, "Wymagania ogólne dotyczące kompetencji " + std::to_string(r % 97));
            grid->SetCells(3, r, r % 3 ? "Aktualna" : "Wycofana");
            grid->SetCells(4, r, r % 5 ? "" : "PN-EN ISO " + std::to_string(r));
            grid->SetCells(5, r, r % 7 ? "" : "zob. rejestr");
        }
        grid->PrintSettings()->SetPageNr(ppBottomCenter);

        // Counting a print job's pages: the print job with every page outside the range.
        const std::string pdf = "/tmp/velmarok-bench-print-" + std::to_string(::getpid()) + ".pdf";
        SetPrinterOutputFile(pdf);
        int pages = 0;
        grid->OnPrintStart = [&](TObject*, int NrOfPages, int& FromPage, int& ToPage) {
            pages = NrOfPages;
            FromPage = ToPage = 0;
        };
        auto t0 = Clock::now();
        grid->PrintGrid();
        auto t1 = Clock::now();
        grid->OnPrintStart = nullptr;
        SetPrinterOutputFile("");

        TBitmap page;
        page.SetSize(600, 850);
        grid->SetPreviewPage(1);
        auto t2 = Clock::now();
        grid->PrintPreviewTo(page.Canvas(), TRect(0, 0, 600, 850));
        auto t3 = Clock::now();
        const double countMs = Millis(t1 - t0), previewMs = Millis(t3 - t2);
        std::printf("rows      print pages  count (ms)  preview pages  first preview page (ms)\n");
        std::printf("%-8d  %11d  %10.1f  %13d  %23.1f\n", rows, pages, countMs, grid->PrintPageCount(), previewMs);
        if (rows >= 100000 && (countMs > 1000 || previewMs > 1000)) {
            std::printf("slower than one second\n");
            status = 1;
        }
    }
    DoneTestApplication();
    return status;
}
