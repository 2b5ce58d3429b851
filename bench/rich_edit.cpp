// Loading rich text into a shown rich edit (laid out and painted once) and into the grid's
// in-place rich editor: one word of 100,000 format changes (or the count given as the first
// argument or VELMAROK_BENCH_ROWS), beside a plain word of the same length in the same run.
#include <cstdio>
#include <string>

#include "bench/BenchCells.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/gui/Forms.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/TestSupport.h"

using bench::Clock;
using bench::Millis;

namespace {

// N times Piece in an RTF document.
std::string Rtf(int N, const std::string& Piece)
{
    std::string rtf = "{\\rtf1\\ansi ";
    rtf.reserve(rtf.size() + std::size_t(N) * Piece.size() + 1);
    for (int i = 0; i < N; ++i)
        rtf += Piece;
    return rtf + "}";
}

// The time to load Text into a shown rich edit and paint it once; its length through Length.
double LoadShown(TRichEdit* Edit, const std::string& Text, std::size_t& Length)
{
    TStringStream in(Text);
    const auto t0 = Clock::now();
    Edit->Lines()->LoadFromStream(&in);
    ProcessPendingMessages();
    GrabControl(Edit);
    const double ms = Millis(Clock::now() - t0);
    Length = Edit->Text().size();
    return ms;
}

// The time to open the grid's in-place rich editor on a cell holding Text and paint it once.
double OpenInGrid(TProStringGrid* Grid, const std::string& Text, std::size_t& Length)
{
    Grid->EndCellEdit();
    Grid->SetCells(1, 1, Text);
    Grid->FocusCell(1, 1, true);
    const auto t0 = Clock::now();
    Grid->BeginCellEdit();
    ProcessPendingMessages();
    GrabControl(Grid->RichEditSelection());
    const double ms = Millis(Clock::now() - t0);
    Length = Grid->RichEditSelection()->Text().size();
    Grid->EndCellEdit();
    return ms;
}

// The report; false on a wrong text.
bool Run(int n)
{
    const std::string formats = Rtf(n, "\\b x\\b0 y");         // one word, a format change a letter
    const std::string between = Rtf(n, "\\b x\\b0 y ");        // the same changes, between words
    const std::string plain = Rtf(1, std::string(2 * std::size_t(n), 'x'));   // one word, one format

    TForm form(nullptr);
    form.SetBounds(0, 0, 420, 320);
    auto* edit = new TRichEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(0, 0, 400, 150);
    auto* grid = new TProStringGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 150, 400, 150);
    grid->SetColCount(3);
    grid->SetRowCount(3);
    grid->SetDefaultColWidth(120);
    grid->SetOptions(grid->Options() | goEditing);
    grid->OnGetEditorType = [](TObject*, int, int, TEditorType& e) { e = edRichEdit; };
    form.Show();
    grid->SetFocus();

    std::size_t lengths[5] = {};
    const int runs = 3;
    const auto [formatsMs, plainMs] = bench::Fastest(
        runs, [&] { return LoadShown(edit, formats, lengths[0]); }, [&] { return LoadShown(edit, plain, lengths[1]); });
    double betweenMs = 1e300;
    for (int i = 0; i < runs; ++i)
        betweenMs = std::min(betweenMs, LoadShown(edit, between, lengths[2]));
    const auto [gridMs, gridPlainMs] = bench::Fastest(
        runs, [&] { return OpenInGrid(grid, formats, lengths[3]); }, [&] { return OpenInGrid(grid, plain, lengths[4]); });

    const std::size_t word = 2 * std::size_t(n);
    if (lengths[0] != word || lengths[1] != word || lengths[2] != 3 * std::size_t(n) || lengths[3] != word ||
        lengths[4] != word) {
        std::printf("wrong text: %zu %zu %zu %zu %zu letters\n", lengths[0], lengths[1], lengths[2], lengths[3],
                    lengths[4]);
        return false;
    }
    const double ratio = formatsMs / plainMs;
    std::printf("rich edit shown, %d format changes in one word of %zu letters\n", 2 * n, word);
    std::printf("one word, changes %9.1f ms   plain %9.1f ms   x%.2f\n", formatsMs, plainMs, ratio);
    std::printf("changes between words %9.1f ms\n", betweenMs);
    std::printf("grid's rich editor  %9.1f ms   plain %9.1f ms   x%.2f\n", gridMs, gridPlainMs, gridMs / gridPlainMs);
    std::printf("one word of changes: %.2f s (bound 2 s: %s)\n", formatsMs / 1000, formatsMs < 2000 ? "ok" : "OVER");
    form.Hide();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const bool ok = Run(bench::RowsWanted(argc, argv));
    DoneTestApplication();
    return ok ? 0 : 1;
}
