// Opening a register of 5,000 lines against a catalogue of 100,000 standards
// (or of the size given as the first argument; the register then has at
// most that many lines) beside opening it against an empty catalogue.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/Katalog.h"
#include "bench/BenchCells.h"
#include "app/MainVars.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/TestSupport.h"

namespace {
using Clock = std::chrono::steady_clock;

AnsiString Number(int i)
{
    return "PN-EN " + IntToStr(10000 + i) + "-" + IntToStr(i % 7) + ":20" + IntToStr(10 + i % 15);
}

// The best of nine openings, in milliseconds.
double TimeOpen(Tf_MainForm& Form, const AnsiString& Register)
{
    double best = 1e300;
    for (int i = 0; i < 9; ++i) {
        auto t = Clock::now();
        Form.OpenListFile(Register, "Wykonanie");
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t).count());
    }
    return best;
}
}  // namespace

int main(int argc, char** argv)
{
    const bool full = argc < 2;
    int standards = full ? 100000 : std::max(1, std::atoi(argv[1]));
    int lines = std::min(5000, standards);
    InitTestApplication(argc, argv);
    const bench::TBenchFolder temp("register-bench");
    if (temp.Path().empty())
        return 1;
    const std::string& pattern = temp.Path();
    const AnsiString folder = FromOsPath(pattern) + "/";

    AnsiString catalogue;
    for (int i = 0; i < standards; ++i)
        catalogue += NormLine({Number(i), i % 2 ? "Aktualna" : "Nieaktualna", "Dostępna",
                               i % 2 ? AnsiString() : Number(i + 1), "Tytuł " + IntToStr(i), ""}) +
                     "\r\n";
    // Standards from all over the catalogue, some differing, some missing.
    AnsiString text;
    for (int i = 0; i < lines; ++i) {
        AnsiString doc = i % 10 == 9 ? "PN-BRAK " + IntToStr(i) : Number(int((long long)i * 7919 % standards));
        text += ListLine({doc, i % 5 ? doc : AnsiString("PN-INNA"), "S235JR", "Część " + IntToStr(i),
                          "R-" + IntToStr(i)}) +
                "\r\n";
    }
    ForceDirectories(folder + "Katalog Norm");
    SaveBytesToFile(folder + "Katalog Norm/pelny.txt", catalogue);
    SaveBytesToFile(folder + "Katalog Norm/pusty.txt", "");
    SaveBytesToFile(folder + "wykaz.txt", text);

    ProgramFolder = folder;
    CurrentUserLevel = 4;
    double empty = 0, whole = 0;
    int rows = 0;
    AnsiString firstState;
    {
        Tf_MainForm form(nullptr);
        form.SetSizeColumnsOnLoad(false);
        form.LoadNormList(folder + "Katalog Norm/pusty.txt");
        empty = TimeOpen(form, folder + "wykaz.txt");
        form.LoadNormList(folder + "Katalog Norm/pelny.txt");
        whole = TimeOpen(form, folder + "wykaz.txt");
        rows = form.sg_NowyEdytujWykaz->RowCount();
        firstState = form.sg_NowyEdytujWykaz->Cells(ListStateCol, 1);
    }

    const double ratio = empty > 0 ? whole / empty : 0;
    std::printf("register lines                      %d, catalogue standards %d\n", lines, standards);
    std::printf("open against an empty catalogue     %10.1f ms\n", empty);
    std::printf("open against the whole catalogue    %10.1f ms   x%.2f (at most x2.00)\n", whole, ratio);
    DoneTestApplication();
    const bool opened = rows == lines + 2 && firstState.find("Nieaktualna") != AnsiString::npos;
    if (!opened)
        std::printf("the register was not opened as written\n");
    return opened && (!full || ratio <= 2.0) ? 0 : 1;
}
