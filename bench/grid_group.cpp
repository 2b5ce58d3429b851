// Grouping and ungrouping a large grid by a column, beside a plain stable
// sort of the same keys. The row count is the first argument or
// VELMAROK_BENCH_ROWS (default 100,000 rows with 1,000 distinct keys). Every
// time is the fastest of five runs, each on a grid filled afresh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchCells.h"
#include "grid/ProGrid.h"
#include "platform/gui/TestSupport.h"

namespace {
using bench::Clock;
using bench::Millis;
constexpr int Runs = 5;

std::string Key(int Row, int Distinct)
{
    // A scattered order of the keys, zero-padded so text order is number order.
    unsigned k = unsigned(Row) * 2654435761u % unsigned(Distinct);
    char buf[16];
    std::snprintf(buf, sizeof buf, "K%05u", k);
    return buf;
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    int rows = bench::RowsWanted(argc, argv);
    int distinct = std::max(1, std::min(1000, rows / 100));

    std::vector<std::string> keys;
    keys.reserve(std::size_t(rows));
    for (int r = 0; r < rows; ++r)
        keys.push_back(Key(r, distinct));
    double ungroupMs = 1e300;
    bool whole = true;
    auto groupOnce = [&] {
        auto* grid = new TProStringGrid(nullptr);
        grid->SetColCount(4);
        grid->SetRowCount(rows + 1);
        for (int r = 0; r < rows; ++r) {
            grid->SetGridCell(1, r + 1, "n" + std::to_string(r));
            grid->SetGridCell(2, r + 1, keys[std::size_t(r)]);
            grid->SetGridCell(3, r + 1, std::to_string(r % 97));
        }
        auto g0 = Clock::now();
        grid->GroupByColumn(2);
        auto g1 = Clock::now();
        int groupedRows = grid->RowCount();
        grid->UnGroup();
        auto g2 = Clock::now();
        whole = whole && grid->RowCount() == rows + 1 && groupedRows == rows + 1 + distinct;
        delete grid;
        ungroupMs = std::min(ungroupMs, Millis(g2 - g1));
        return Millis(g1 - g0);
    };
    auto [groupMs, stableMs] = bench::Fastest(Runs, groupOnce, [&] {
        auto s0 = Clock::now();
        std::vector<std::string> sorted = keys;
        std::stable_sort(sorted.begin(), sorted.end());
        return Millis(Clock::now() - s0);
    });

    std::printf("rows %d, distinct keys %d\n", rows, distinct);
    double ratio = stableMs > 0 ? groupMs / stableMs : 0.0;
    std::printf("std::stable_sort of the keys  %10.2f ms\n", stableMs);
    std::printf("GroupByColumn (sort included) %10.2f ms   x%.2f (bound x4.0: %s)\n", groupMs, ratio,
                ratio <= 4.0 ? "met" : "NOT met");
    std::printf("UnGroup                       %10.2f ms\n", ungroupMs);
    std::printf("rows back after ungrouping: %s\n", whole ? "yes" : "NO");
    DoneTestApplication();
    return whole ? 0 : 1;
}
