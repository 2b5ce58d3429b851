// Fill and paint times of the base grid: one paint of the visible area must
// cost the same for 1,000 rows as for 100,000.
#include <chrono>
#include <cstdio>
#include <functional>

#include "grid/BaseGrid.h"
#include "grid/ProGrid.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"

namespace {
using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Result {
    double FillMs;
    double PaintMs;
};

const char* const kStates[] = {
    "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>",
    "<p align=\"center\"><font color=\"#0000FF\"><b>Wycofana</b></font></p>",
    "<p align=\"center\"><font color=\"#FF8000\"><b>Zastąpiona</b></font></p>"};

// A grid of type TGrid on a shown form: the time to fill Rows rows with
// FillRow, and of one paint of the visible area halfway down.
template <class TGrid>
Result MeasureGrid(int Rows, const std::function<void(TGrid* Grid, int Row)>& FillRow)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 820, 620);
    auto* grid = new TGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 800, 600);
    form.Show();

    auto t0 = Clock::now();
    grid->SetColCount(7);
    grid->SetRowCount(Rows);
    for (int r = 1; r < Rows; ++r)
        FillRow(grid, r);
    auto t1 = Clock::now();

    grid->SetTopRow(Rows / 2);
    GrabControl(grid);   // warm-up
    const int passes = 20;
    auto t2 = Clock::now();
    for (int i = 0; i < passes; ++i) {
        grid->SetTopRow(Rows / 2 + (i % 3));
        GrabControl(grid);
    }
    auto t3 = Clock::now();
    return {Millis(t1 - t0), Millis(t3 - t2) / passes};
}

// The string grid with a state cell in mini-HTML in every row.
Result MeasureStates(int Rows)
{
    return MeasureGrid<TProStringGrid>(Rows, [](TProStringGrid* grid, int r) {
        for (int c = 0; c < 6; ++c)
            grid->SetCells(c, r, "PN-EN " + std::to_string(r) + "-" + std::to_string(c));
        grid->SetCells(6, r, kStates[r % 3]);
    });
}

Result Measure(int Rows)
{
    return MeasureGrid<TBaseGrid>(Rows, [](TBaseGrid* grid, int r) {
        for (int c = 0; c < 7; ++c)
            grid->SetCells(c, r, "PN-EN " + std::to_string(r) + "-" + std::to_string(c));
    });
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    Result small = Measure(1000);
    Result large = Measure(100000);
    std::printf("rows      fill (ms)   one paint (ms)\n");
    std::printf("%-8d  %9.2f   %14.3f\n", 1000, small.FillMs, small.PaintMs);
    std::printf("%-8d  %9.2f   %14.3f\n", 100000, large.FillMs, large.PaintMs);
    std::printf("paint ratio 100,000 / 1,000 rows: %.2f\n", large.PaintMs / small.PaintMs);
    Result smallStates = MeasureStates(1000);
    Result largeStates = MeasureStates(100000);
    std::printf("string grid with mini-HTML state cells\n");
    std::printf("%-8d  %9.2f   %14.3f\n", 1000, smallStates.FillMs, smallStates.PaintMs);
    std::printf("%-8d  %9.2f   %14.3f\n", 100000, largeStates.FillMs, largeStates.PaintMs);
    std::printf("paint ratio 100,000 / 1,000 rows: %.2f\n", largeStates.PaintMs / smallStates.PaintMs);
    DoneTestApplication();
    return 0;
}
