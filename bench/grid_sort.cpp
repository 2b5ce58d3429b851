// Sorting 100,000 rows of the string grid (or the count given as the first
// argument or VELMAROK_BENCH_ROWS) by a text column and by a numeric column,
// each beside std::stable_sort of the same keys with the same comparison,
// and auto-sizing the columns over those rows. Every time is the fastest of
// five runs.
//
// The baselines use no code of the program: the text keys are compared by
// their bytes (the grid's plain text style), the numeric keys are converted
// once with std::from_chars and their values sorted.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchCells.h"
#include "grid/ProGrid.h"
#include "platform/gui/TestSupport.h"

namespace {
using bench::Clock;
using bench::Millis;
constexpr int Runs = 5;   // each time is the fastest of these

// Catalogue-like texts: a word with Polish letters and a standard number.
std::vector<std::string> MakeTexts(int Count)
{
    static const char* words[] = {"Żurawie", "ściany", "Beton", "łożyska", "Ąkry", "zawory", "Okna", "śruby",
                                  "Rury", "kable", "Źródła", "mosty", "Drogi", "ćwieki", "Ekrany", "gazy"};
    std::mt19937 rng(12345);
    std::vector<std::string> texts;
    texts.reserve(std::size_t(Count));
    for (int i = 0; i < Count; ++i) {
        std::string s = words[rng() % std::size(words)];
        s += " PN-EN " + std::to_string(rng() % 20000) + ":" + std::to_string(1990 + rng() % 35);
        texts.push_back(s);
    }
    return texts;
}

// Amounts with two decimals and the Polish decimal comma, many repeated.
std::vector<std::string> MakeNumbers(int Count)
{
    std::mt19937 rng(54321);
    std::vector<std::string> texts;
    texts.reserve(std::size_t(Count));
    for (int i = 0; i < Count; ++i) {
        unsigned v = rng() % 5000000;
        std::string s = std::to_string(v / 100) + "," + std::to_string(100 + v % 100).substr(1);
        texts.push_back(s);
    }
    return texts;
}

// The grid sort of column 1 holding Keys, in ms.
double GridSortMs(const std::vector<std::string>& Keys)
{
    TProStringGrid grid(nullptr);
    int rows = int(Keys.size());
    grid.SetColCount(4);
    grid.SetRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid.SetCells(1, r, Keys[std::size_t(r - 1)]);
        grid.SetCells(2, r, std::to_string(r));
        grid.SetCells(3, r, "opis " + std::to_string(r % 97));
    }
    auto t0 = Clock::now();
    grid.SortByColumn(1, sdAscending);
    return Millis(Clock::now() - t0);
}

void Report(const char* What, double GridMs, double BaseMs, double Bound)
{
    double ratio = BaseMs > 0 ? GridMs / BaseMs : 0.0;
    std::printf("%-28s grid %8.1f ms   std::stable_sort %8.1f ms   x%.2f (bound x%.1f: %s)\n", What, GridMs,
                BaseMs, ratio, Bound, ratio <= Bound ? "met" : "NOT met");
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = bench::RowsWanted(argc, argv);
    std::vector<std::string> texts = MakeTexts(rows);
    std::vector<std::string> numbers = MakeNumbers(rows);

    auto [textMs, textBaseMs] = bench::Fastest(Runs, [&] { return GridSortMs(texts); }, [&] {
        std::vector<std::string> copy = texts;
        auto t0 = Clock::now();
        std::stable_sort(copy.begin(), copy.end());
        return Millis(Clock::now() - t0);
    });

    auto [numberMs, numberBaseMs] = bench::Fastest(Runs, [&] { return GridSortMs(numbers); }, [&] {
        auto t0 = Clock::now();
        std::vector<std::pair<double, int>> values;
        values.reserve(numbers.size());
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            std::string s = numbers[i];
            std::replace(s.begin(), s.end(), ',', '.');
            double v = 0;
            std::from_chars(s.data(), s.data() + s.size(), v);
            values.emplace_back(v, int(i));
        }
        std::stable_sort(values.begin(), values.end(), [](const std::pair<double, int>& a,
                                                          const std::pair<double, int>& b) { return a.first < b.first; });
        return Millis(Clock::now() - t0);
    });

    double sizeMs = 0;
    {
        TProStringGrid grid(nullptr);
        grid.SetColCount(4);
        grid.SetRowCount(rows + 1);
        for (int r = 1; r <= rows; ++r) {
            grid.SetCells(1, r, texts[std::size_t(r - 1)]);
            grid.SetCells(2, r, numbers[std::size_t(r - 1)]);
            grid.SetCells(3, r, "opis " + std::to_string(r % 97));
        }
        auto s0 = Clock::now();
        grid.AutoSizeColumns(false, 0);
        sizeMs = Millis(Clock::now() - s0);
    }

    std::printf("rows %d\n", rows);
    Report("sort by a text column", textMs, textBaseMs, 2.0);
    Report("sort by a numeric column", numberMs, numberBaseMs, 2.0);
    std::printf("AutoSizeColumns              %8.1f ms\n", sizeMs);
    DoneTestApplication();
    return 0;
}
