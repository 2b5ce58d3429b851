#pragma once
// Shared by the grid benchmarks: the clock, the row count asked for, the
// fastest of repeated runs, a folder of their own and the texts of a
// catalogue-like grid of 7 columns.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

namespace bench {
using Clock = std::chrono::steady_clock;
constexpr int Cols = 7;

inline double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The shortest of ATimes runs of AFirst and of ASecond (each returns its
// own time in ms), run in turn so that both meet the same load of the
// machine; other work on the machine only ever adds time.
template <class F, class G>
std::pair<double, double> Fastest(int ATimes, F AFirst, G ASecond)
{
    std::pair<double, double> best{AFirst(), ASecond()};
    for (int i = 1; i < ATimes; ++i) {
        best.first = std::min(best.first, AFirst());
        best.second = std::min(best.second, ASecond());
    }
    return best;
}

// The first argument, else VELMAROK_BENCH_ROWS, else 100,000.
inline int RowsWanted(int argc, char** argv)
{
    if (argc > 1 && std::atoi(argv[1]) > 0)
        return std::atoi(argv[1]);
    if (const char* env = std::getenv("VELMAROK_BENCH_ROWS"); env && std::atoi(env) > 0)
        return std::atoi(env);
    return 100000;
}

// A new folder under the system's temporary folder, its name starting with
// APrefix, removed with the object; Path() is empty when it could not be made.
class TBenchFolder {
public:
    explicit TBenchFolder(const char* APrefix)
        : FPath((std::filesystem::temp_directory_path() / (std::string(APrefix) + "-XXXXXX")).string())
    {
        if (!::mkdtemp(FPath.data())) {
            std::perror("mkdtemp");
            FPath.clear();
        }
    }
    ~TBenchFolder()
    {
        std::error_code ec;
        if (!FPath.empty())
            std::filesystem::remove_all(FPath, ec);
    }
    TBenchFolder(const TBenchFolder&) = delete;
    TBenchFolder& operator=(const TBenchFolder&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// Number, standard, two words, decimal, state, date and an occasional remark.
inline std::string CellText(int Row, int Col)
{
    static const char* words[] = {"Beton", "zawory", "śruby", "Rury", "kable", "Łożyska", "mosty"};
    switch (Col) {
    case 0: return std::to_string(Row);
    case 1: return std::string("PN-EN ") + std::to_string(1000 + Row % 9000) + ":" + std::to_string(1990 + Row % 35);
    case 2: return std::string(words[Row % 7]) + " " + words[(Row / 7) % 7];
    case 3: return std::to_string(Row % 97) + "," + std::to_string(Row % 10);
    case 4: return Row % 5 ? "Aktualna" : "Wycofana";
    case 5: return "12.03.2024";
    default: return Row % 3 ? "" : "uwagi do normy";
    }
}
}  // namespace bench
