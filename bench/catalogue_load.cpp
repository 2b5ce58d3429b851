// Loading and saving a catalogue of 100,000 standards (or the size given as
// the first argument) against reading and splitting the same file; the
// split and the loads are the fastest of three runs.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "bench/catalogue_load.h"
#include "platform/gui/TestSupport.h"

int main(int argc, char** argv)
{
    int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (rows < 0)
        rows = 0;
    InitTestApplication(argc, argv);
    std::string pattern = (std::filesystem::temp_directory_path() / "catalogue-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    TCatalogueTimes t = MeasureCatalogue(rows, FromOsPath(pattern) + "/", 3);
    std::error_code ec;
    std::filesystem::remove_all(pattern, ec);

    auto ratio = [&](double v) { return t.SplitMs > 0 ? v / t.SplitMs : 0.0; };
    std::printf("standards                     %d (grid rows %d)\n", t.Rows, t.GridRows);
    std::printf("read and split                %10.1f ms\n", t.SplitMs);
    std::printf("load without column sizing    %10.1f ms   x%.2f\n", t.LoadNoSizeMs, ratio(t.LoadNoSizeMs));
    std::printf("load whole                    %10.1f ms   x%.2f (bound x1.5: %s)\n", t.LoadMs, ratio(t.LoadMs),
                ratio(t.LoadMs) <= 1.5 ? "met" : "NOT met");
    std::printf("save (reload included)        %10.1f ms   x%.2f\n", t.SaveMs, ratio(t.SaveMs));
    std::printf("saved file equals the written %s\n", t.SavedSame ? "yes" : "NO");
    DoneTestApplication();
    return t.SavedSame ? 0 : 1;
}
