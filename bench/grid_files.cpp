// Saving and loading a CSV file of 100,000 x 7 cells against writing the same
// text and splitting it again with plain string code (no code of the
// program), and saving the same grid as a workbook (.xlsx) and loading it
// back: time, size and the memory each load takes on top of what was held.
// The row count comes from the first argument or VELMAROK_BENCH_ROWS.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "bench/BenchCells.h"
#include "grid/ProGrid.h"
#include "platform/gui/TestSupport.h"

namespace {
using bench::Clock;
using bench::Cols;
using bench::Millis;
using bench::RowsWanted;
using bench::CellText;

// The baseline: the same cells as quoted CSV text, written with an ofstream and split again.
double BaselineMs(int Rows, const std::string& File)
{
    auto t0 = Clock::now();
    std::string text;
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Cols; ++c) {
            if (c)
                text += ',';
            std::string s = CellText(r, c);
            bool quote = s.empty() || s.find(',') != std::string::npos;
            text += quote ? "\"" + s + "\"" : s;
        }
        text += "\r\n";
    }
    std::ofstream(File, std::ios::binary) << text;
    std::ifstream in(File, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::vector<std::string>> cells;
    std::size_t pos = 0;
    while (pos < back.size()) {
        std::vector<std::string> row;
        std::string field;
        bool quoted = false;
        for (; pos < back.size(); ++pos) {
            char ch = back[pos];
            if (ch == '"') {
                quoted = !quoted;
            } else if (ch == ',' && !quoted) {
                row.push_back(std::move(field));
                field.clear();
            } else if (ch == '\r' && !quoted) {
                continue;
            } else if (ch == '\n' && !quoted) {
                ++pos;
                break;
            } else {
                field += ch;
            }
        }
        row.push_back(std::move(field));
        cells.push_back(std::move(row));
    }
    double ms = Millis(Clock::now() - t0);
    if (int(cells.size()) != Rows)
        std::printf("baseline read %zu rows\n", cells.size());
    return ms;
}

// Milliseconds Work takes, and the MiB it held at most beyond what the process held before it
// (the system's high-water mark of the process, reset first; -1 where the system cannot tell).
std::pair<double, double> TimeAndPeak(const std::function<void()>& Work)
{
    const auto status = [](const char* Key) {
        std::ifstream in("/proc/self/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind(Key, 0) == 0)
                return std::stod(line.substr(std::string(Key).size()));
        return -1.0;
    };
    const bool reset = bool(std::ofstream("/proc/self/clear_refs") << "5" << std::flush);
    const double before = status("VmRSS:");
    const auto t0 = Clock::now();
    Work();
    const double ms = Millis(Clock::now() - t0), peak = status("VmHWM:");
    return {ms, reset && before >= 0 && peak >= 0 ? (peak - before) / 1024 : -1};
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = RowsWanted(argc, argv);
    std::string dir = std::filesystem::temp_directory_path() / ("velmarok-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string csv = dir + "/grid.csv", plain = dir + "/plain.csv", xlsx = dir + "/grid.xlsx";

    double saveMs = 0, loadMs = 0, xlsxMs = 0, loadMiB = 0, xlsxLoadMs = 0, xlsxLoadMiB = 0;
    int loadedRows = 0, xlsxRows = 0;
    {
        TProStringGrid grid(nullptr);
        grid.SetFixedRows(0);
        grid.SetFixedCols(0);
        grid.SetColCount(Cols);
        grid.SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < Cols; ++c)
                grid.SetCells(c, r, CellText(r, c));
        auto t0 = Clock::now();
        grid.SaveToCsvFile(csv);
        auto t1 = Clock::now();
        grid.SaveToExcel(xlsx);
        auto t2 = Clock::now();
        saveMs = Millis(t1 - t0);
        xlsxMs = Millis(t2 - t1);

        TProStringGrid back(nullptr);
        back.SetFixedRows(0);
        back.SetFixedCols(0);
        std::tie(loadMs, loadMiB) = TimeAndPeak([&] { back.LoadFromCsvFile(csv); });
        loadedRows = back.RowCount();
    }
    {
        TProStringGrid back(nullptr);
        back.SetFixedRows(0);
        back.SetFixedCols(0);
        std::tie(xlsxLoadMs, xlsxLoadMiB) = TimeAndPeak([&] { back.LoadFromExcel(xlsx, ""); });
        xlsxRows = back.RowCount();
    }
    double baseMs = BaselineMs(rows, plain);
    double xlsxSize = double(std::filesystem::file_size(xlsx));
    double csvSize = double(std::filesystem::file_size(csv));
    std::filesystem::remove_all(dir);

    std::printf("rows x columns                 %d x %d\n", rows, Cols);
    std::printf("grid CSV save (ms)             %.1f\n", saveMs);
    std::printf("grid CSV load (ms)             %.1f (%d rows, %.0f MiB)\n", loadMs, loadedRows, loadMiB);
    std::printf("plain write + split (ms)       %.1f\n", baseMs);
    std::printf("ratio grid / plain             %.2f\n", baseMs > 0 ? (saveMs + loadMs) / baseMs : 0.0);
    std::printf("grid .xlsx save (ms)           %.1f\n", xlsxMs);
    std::printf("grid .xlsx load (ms)           %.1f (%d rows, %.0f MiB)\n", xlsxLoadMs, xlsxRows, xlsxLoadMiB);
    std::printf(".xlsx size (KiB)               %.0f (CSV %.0f)\n", xlsxSize / 1024, csvSize / 1024);
    DoneTestApplication();
    return loadedRows == rows && xlsxRows == rows ? 0 : 1;
}
