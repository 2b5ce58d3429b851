// Loading and saving a catalogue of 100,000 standards (or the size given as
// the first argument) against reading and splitting the same file; the
// split and the loads are the fastest of three runs.
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench/BenchCells.h"
#include "bench/catalogue_load.h"
#include "platform/gui/TestSupport.h"

int main(int argc, char** argv)
{
    int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (rows < 0)
        rows = 0;
    InitTestApplication(argc, argv);
    const bench::TBenchFolder folder("catalogue-bench");
    if (folder.Path().empty())
        return 1;
    const std::string& pattern = folder.Path();
    TCatalogueTimes t = MeasureCatalogue(rows, FromOsPath(pattern) + "/", 3);

    const unsigned cores = std::thread::hardware_concurrency();
    auto ratio = [&](double v) { return t.SplitMs > 0 ? v / t.SplitMs : 0.0; };
    auto verdict = [](bool met) { return met ? "met" : "NOT met"; };
    const double saveBound = t.WriteMs + 1.2 * t.LoadMs;
    const double held = t.FileBytes ? double(t.HeldBytes) / double(t.FileBytes) : 0.0;
    std::printf("standards                     %d (grid rows %d), %u cores\n", t.Rows, t.GridRows, cores);
    std::printf("read and split                %10.1f ms\n", t.SplitMs);
    std::printf("load without column sizing    %10.1f ms   x%.2f\n", t.LoadNoSizeMs, ratio(t.LoadNoSizeMs));
    std::printf("load whole                    %10.1f ms   x%.2f (bound x4: %s; %u cores)\n", t.LoadMs,
                ratio(t.LoadMs), verdict(ratio(t.LoadMs) <= 4.0), cores);
    std::printf("write the bytes, fsync, rename%10.1f ms\n", t.WriteMs);
    std::printf("save (reload included)        %10.1f ms   (bound %.1f ms = write + 1.2 x load whole: %s; %u cores)\n",
                t.SaveMs, saveBound, verdict(t.SaveMs <= saveBound), cores);
    std::printf("memory held for the catalogue %10.1f MB   x%.2f of the file's %.1f MB (bound x3: %s; %u cores)\n",
                double(t.HeldBytes) / 1e6, held, double(t.FileBytes) / 1e6, verdict(held <= 3.0), cores);
    std::printf("saved file equals the written %s\n", t.SavedSame ? "yes" : "NO");
    DoneTestApplication();
    return t.SavedSame ? 0 : 1;
}
