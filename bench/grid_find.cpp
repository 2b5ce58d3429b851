// The grid's search over 100,000 rows x 7 columns (or the row count given as the first argument or
// VELMAROK_BENCH_ROWS) for a text that stands only in the last row, beside a plain substring scan
// of the same cells in the same order (each cell's text read from the grid and searched with
// std::string::find).
#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/BenchCells.h"
#include "grid/ProGrid.h"
#include "platform/gui/TestSupport.h"

using bench::Clock;
using bench::Millis;

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = bench::RowsWanted(argc, argv);
    const int cols = bench::Cols;
    TProStringGrid grid(nullptr);
    grid.SetColCount(cols + 1);
    grid.SetRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            grid.SetCells(c, r, bench::CellText(r, c - 1));
    const std::string needle = "Szukany tekst";
    grid.SetCells(cols, rows, "w ostatnim wierszu: " + needle);

    double gridMs = 1e300, scanMs = 1e300;
    TPoint found;
    std::size_t hits = 0;
    for (int round = 0; round < 5; ++round) {
        auto t0 = Clock::now();
        grid.FindCell(TPoint(-1, -1), "szukany TEKST", found, TProStringGrid::fnDirectionLeftRight);
        gridMs = std::min(gridMs, Millis(Clock::now() - t0));

        t0 = Clock::now();
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c)
                hits += grid.Cells(c, r).find(needle) != std::string::npos;
        scanMs = std::min(scanMs, Millis(Clock::now() - t0));
    }
    if (found.X != cols || found.Y != rows || hits != 5) {
        std::printf("wrong result: (%d, %d), %zu hits\n", found.X, found.Y, hits);
        DoneTestApplication();
        return 1;
    }
    const double ratio = gridMs / scanMs;
    std::printf("rows %d x %d columns\n", rows, cols);
    std::printf("FindCell %8.1f ms   substring scan %8.1f ms   x%.2f (bound x2.0: %s)\n", gridMs, scanMs, ratio,
                ratio < 2.0 ? "ok" : "OVER");
    DoneTestApplication();
    return 0;
}
