// The company-catalogue search by title over 100,000 standards (or the row
// count given as the first argument or VELMAROK_BENCH_ROWS), results listed,
// beside a plain substring scan of the same titles (each title read from the
// catalogue grid and searched with std::string::find). Every title is
// different ("..., część N" with N the row): a search for one standard's
// part lists about ten standards; a search for a shorter part lists about a
// thousand, and the listing then takes its own share of the time.
#include <algorithm>
#include <cstdio>

#include "bench/BenchCells.h"
#include "bench/catalogue_load.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"

using bench::Clock;
using bench::Millis;

namespace {
struct TTimes {
    double SearchMs = 1e300;
    double ScanMs = 1e300;
    int Listed = 0;
    std::size_t Found = 0;
};

// The search for Typed in the titles, and the plain scan for Term (the same
// text in lower case), the fastest of five runs each.
TTimes Measure(Tf_MainForm& Form, const AnsiString& Typed, const AnsiString& Term)
{
    TTimes t;
    Form.e_z_Tytul->SetText(Typed);
    Form.cb_z_KryteriaSzukania->SetItemIndex(0);
    TProStringGrid* cat = Form.sg_WszystkieNormy;
    for (int round = 0; round < 5; ++round) {
        auto t0 = Clock::now();
        Form.sb_ZnajdzNormeWTrelKordelinClick(nullptr);
        t.SearchMs = std::min(t.SearchMs, Millis(Clock::now() - t0));

        t0 = Clock::now();
        t.Found = 0;
        for (int r = 1; r <= cat->RowCount() - 2; ++r)
            t.Found += cat->Cells(5, r).find(Term) != std::string::npos;
        t.ScanMs = std::min(t.ScanMs, Millis(Clock::now() - t0));
    }
    t.Listed = 0;
    for (int r = 1; r < Form.sg_ZnajdzNormeWTrelKordelin->RowCount() - 1; ++r)
        t.Listed += !Form.sg_ZnajdzNormeWTrelKordelin->Cells(1, r).empty();
    return t;
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = bench::RowsWanted(argc, argv);
    const bench::TBenchFolder folder("catalogue-search");
    if (folder.Path().empty())
        return 1;
    const std::string& pattern = folder.Path();
    AnsiString text;
    for (int i = 0; i < rows; ++i)
        text += NormLine({"PN-EN " + IntToStr(10000 + i) + ":2010", "Aktualna", "Dostępna", "",
                          "Stale odporne na korozję, część " + IntToStr(i), "Wymagania i badania"}) +
                "\r\n";
    const AnsiString file = FromOsPath(pattern) + "/normy_wszystkie.txt";
    SaveBytesToFile(file, text);

    TTimes few, many;
    {
        Tf_MainForm form(nullptr);
        form.SetSizeColumnsOnLoad(false);
        form.LoadNormList(file);
        few = Measure(form, "Korozję, CZĘŚĆ 4711", "korozję, część 4711");
        many = Measure(form, "CZĘŚĆ 17", "część 17");
    }
    for (const TTimes* t : {&few, &many})
        if (t->Listed != int(t->Found)) {
            std::printf("wrong result: %d listed, %zu found by the scan\n", t->Listed, t->Found);
            DoneTestApplication();
            return 1;
        }
    const double ratio = few.SearchMs / few.ScanMs;
    std::printf("standards %d\n", rows);
    std::printf("search, %4zu listed  %8.1f ms   substring scan %8.1f ms   x%.2f (bound x2.0: %s)\n", few.Found,
                few.SearchMs, few.ScanMs, ratio, ratio < 2.0 ? "ok" : "OVER");
    std::printf("search, %4zu listed  %8.1f ms   substring scan %8.1f ms   x%.2f\n", many.Found, many.SearchMs,
                many.ScanMs, many.SearchMs / many.ScanMs);
    DoneTestApplication();
    return 0;
}
