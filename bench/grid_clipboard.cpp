// Copying 100,000 x 7 cells to the clipboard as text and pasting that text
// into an empty grid, each against writing the same text in memory and
// splitting it again with plain string code (no code of the program).
// The row count comes from the first argument or VELMAROK_BENCH_ROWS.
#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchCells.h"
#include "grid/ProGrid.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/TestSupport.h"

namespace {
using bench::Clock;
using bench::Cols;
using bench::Millis;
using bench::RowsWanted;
using bench::CellText;

// The baseline: the cells as tab- and CR LF-separated text, written and split again.
double BaselineMs(const std::vector<std::vector<std::string>>& Cells)
{
    auto t0 = Clock::now();
    std::string text;
    for (const auto& row : Cells) {
        for (int c = 0; c < Cols; ++c) {
            text += row[std::size_t(c)];
            text += c + 1 < Cols ? "\t" : "\r\n";
        }
    }
    std::vector<std::vector<std::string>> back;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::vector<std::string> row;
        std::size_t end = text.find('\r', pos);
        std::size_t from = pos;
        for (;;) {
            std::size_t tab = text.find('\t', from);
            if (tab == std::string::npos || tab > end) {
                row.push_back(text.substr(from, end - from));
                break;
            }
            row.push_back(text.substr(from, tab - from));
            from = tab + 1;
        }
        back.push_back(std::move(row));
        pos = end + 2;
    }
    double ms = Millis(Clock::now() - t0);
    if (back.size() != Cells.size())
        std::printf("baseline read %zu rows\n", back.size());
    return ms;
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = RowsWanted(argc, argv);
    std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(rows), std::vector<std::string>(std::size_t{Cols}));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < Cols; ++c)
            cells[std::size_t(r)][std::size_t(c)] = CellText(r, c);

    double baseMs = 0, copyMs = 0, pasteMs = 0;
    std::size_t textSize = 0;
    bool same = false;
    {
        TProStringGrid source(nullptr);
        source.SetFixedRows(0);
        source.SetFixedCols(0);
        source.SetColCount(Cols);
        source.SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < Cols; ++c)
                source.SetCells(c, r, cells[std::size_t(r)][std::size_t(c)]);
        source.SetSelection(TGridRect(0, 0, Cols - 1, rows - 1));

        baseMs = BaselineMs(cells);
        auto t0 = Clock::now();
        source.CopySelection();
        copyMs = Millis(Clock::now() - t0);

        TProStringGrid target(nullptr);
        target.SetFixedRows(0);
        target.SetFixedCols(0);
        target.SetColCount(1);
        target.SetRowCount(1);
        target.SetOptions(target.Options() | goEditing);
        target.SetSelection(TGridRect(0, 0, 0, 0));
        t0 = Clock::now();
        target.PasteSelection();
        pasteMs = Millis(Clock::now() - t0);

        same = target.RowCount() == rows && target.ColCount() == Cols;
        for (int r = 0; same && r < rows; r += std::max(1, rows / 97))
            for (int c = 0; c < Cols; ++c)
                same = same && target.Cells(c, r) == cells[std::size_t(r)][std::size_t(c)];
        textSize = Clipboard()->AsText().size();
        Clipboard()->Clear();
    }
    DoneTestApplication();
    std::printf("%d x %d cells, text %zu bytes\n", rows, Cols, textSize);
    std::printf("write and split in memory: %.1f ms\n", baseMs);
    std::printf("copy to clipboard:         %.1f ms  ratio %.2f\n", copyMs, copyMs / baseMs);
    std::printf("paste into empty grid:     %.1f ms  ratio %.2f\n", pasteMs, pasteMs / baseMs);
    if (!same) {
        std::printf("pasted cells differ from the copied ones\n");
        return 1;
    }
    return 0;
}
