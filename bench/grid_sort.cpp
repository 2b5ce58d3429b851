// Sorting 100,000 rows of the string grid by a text column against
// std::stable_sort of the same strings with the same comparison (the
// platform's word sort), and auto-sizing the columns over those rows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/core/CodePage.h"
#include "platform/gui/TestSupport.h"

namespace {
using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Catalogue-like texts: a word with Polish letters and a standard number.
std::vector<AnsiString> MakeTexts(int Count)
{
    static const char* words[] = {"Żurawie", "ściany", "Beton", "łożyska", "Ąkry", "zawory", "Okna", "śruby",
                                  "Rury", "kable", "Źródła", "mosty", "Drogi", "ćwieki", "Ekrany", "gazy"};
    std::mt19937 rng(12345);
    std::vector<AnsiString> texts;
    texts.reserve(std::size_t(Count));
    for (int i = 0; i < Count; ++i) {
        AnsiString s = words[rng() % std::size(words)];
        s += " PN-EN " + std::to_string(rng() % 20000) + ":" + std::to_string(1990 + rng() % 35);
        texts.push_back(s);
    }
    return texts;
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = 100000;
    std::vector<AnsiString> texts = MakeTexts(rows);

    double gridMs = 0, sizeMs = 0;
    {
        TProStringGrid grid(nullptr);
        grid.SetColCount(4);
        grid.SetRowCount(rows + 1);
        for (int r = 1; r <= rows; ++r) {
            grid.SetCells(1, r, texts[std::size_t(r - 1)]);
            grid.SetCells(2, r, std::to_string(r));
            grid.SetCells(3, r, "opis " + std::to_string(r % 97));
        }
        auto t0 = Clock::now();
        grid.SortByColumn(1, sdAscending);
        auto t1 = Clock::now();
        grid.AutoSizeColumns(false, 0);
        auto t2 = Clock::now();
        gridMs = Millis(t1 - t0);
        sizeMs = Millis(t2 - t1);
    }

    std::vector<AnsiString> copy = texts;
    auto t0 = Clock::now();
    std::stable_sort(copy.begin(), copy.end(),
                     [](const AnsiString& a, const AnsiString& b) { return CollateAnsi(a, b, false) < 0; });
    double stableMs = Millis(Clock::now() - t0);

    std::printf("rows                        %d\n", rows);
    std::printf("grid sort by text (ms)      %.1f\n", gridMs);
    std::printf("std::stable_sort (ms)       %.1f\n", stableMs);
    std::printf("ratio grid / stable_sort    %.1f\n", stableMs > 0 ? gridMs / stableMs : 0.0);
    std::printf("AutoSizeColumns (ms)        %.1f\n", sizeMs);
    DoneTestApplication();
    return 0;
}
