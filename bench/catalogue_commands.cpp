// The catalogue commands of the main window on a catalogue of 100,000
// standards (or the size given as the first argument), each against its
// baseline measured in the same process: the five views by state and
// "Pogrupuj listę norm" (run as the command runs it) against the whole load
// of the catalogue; the CSV export of the catalogue against writing the same
// bytes; the workbook export against zipping the same sheet XML with the same
// library and level. Every figure is the fastest of interleaved runs.
#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchCells.h"
#include "bench/catalogue_load.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/TestSupport.h"

using bench::Clock;
using bench::Millis;

namespace {
constexpr int Runs = 5;

double TimeOf(const std::function<void()>& AWork)
{
    auto t0 = Clock::now();
    AWork();
    return Millis(Clock::now() - t0);
}

// The same catalogue with every standard in the state "Aktualna": the
// largest view there can be.
AnsiString AllCurrent(const AnsiString& Text)
{
    AnsiString out;
    for (std::string_view line : TextLines(Text)) {
        std::array<std::string_view, NormFieldCount> f{};
        SplitRecordFields(line, f.data(), NormFieldCount);
        TNormRecord rec;
        for (int k = 0; k < NormFieldCount; ++k)
            rec[std::size_t(k)] = AnsiString(f[std::size_t(k)]);
        rec[nfState] = "Aktualna";
        out += NormLine(rec) + "\r\n";
    }
    return out;
}

std::string ReadOs(const std::string& APath)
{
    std::string bytes;
    if (std::FILE* f = std::fopen(APath.c_str(), "rb")) {
        char buf[1 << 16];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

// Bytes written as files are written: a new file beside the target, one
// write, brought to the disk, closed and renamed over the target.
void WriteAsFile(const std::string& APath, const std::string& ABytes)
{
    const std::string tmp = APath + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, ABytes.data(), ABytes.size()) != ssize_t(ABytes.size()))
        std::perror("write");
    ::fdatasync(fd);
    ::close(fd);
    ::rename(tmp.c_str(), APath.c_str());
}

// The sheet part of a workbook file.
std::string SheetXml(const std::string& APath)
{
    std::string xml;
    int err = 0;
    zip_t* z = zip_open(APath.c_str(), ZIP_RDONLY, &err);
    if (!z)
        return xml;
    zip_stat_t st;
    if (zip_stat(z, "xl/worksheets/sheet1.xml", 0, &st) == 0) {
        xml.resize(st.size);
        zip_file_t* f = zip_fopen(z, "xl/worksheets/sheet1.xml", 0);
        if (f) {
            zip_fread(f, xml.data(), xml.size());
            zip_fclose(f);
        }
    }
    zip_discard(z);
    return xml;
}

// The sheet XML zipped into a new file at the level the workbook uses.
void ZipSheet(const std::string& APath, const std::string& AXml)
{
    int err = 0;
    zip_t* z = zip_open(APath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    zip_source_t* s = zip_source_buffer(z, AXml.data(), AXml.size(), 0);
    zip_int64_t i = zip_file_add(z, "xl/worksheets/sheet1.xml", s, ZIP_FL_OVERWRITE);
    zip_set_file_compression(z, zip_uint64_t(i), ZIP_CM_DEFLATE, 1);
    if (zip_close(z) < 0)
        std::printf("zip failed\n");
    // Brought to the disk, as the program's files are.
    int fd = ::open(APath.c_str(), O_RDONLY | O_CLOEXEC);
    ::fdatasync(fd);
    ::close(fd);
}

void Row(const char* AName, double AMs, double ABaseMs, double ABound)
{
    const double ratio = ABaseMs > 0 ? AMs / ABaseMs : 0.0;
    std::printf("%-42s %9.1f ms   x%.2f (bound x%.1f: %s)\n", AName, AMs, ratio, ABound,
                ratio <= ABound ? "met" : "NOT met");
}
}  // namespace

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = bench::RowsWanted(argc, argv);
    const bench::TBenchFolder folder("catalogue-commands");
    if (folder.Path().empty())
        return 1;
    const std::string& pattern = folder.Path();
    const AnsiString dir = FromOsPath(pattern) + "/";
    ForceDirectories(dir + "Katalog Norm");
    const AnsiString file = dir + "Katalog Norm\\normy_wszystkie.txt";
    const AnsiString current = dir + "Katalog Norm\\aktualne.txt";
    const AnsiString text = BenchCatalogueText(rows);
    SaveBytesToFile(file, text);
    SaveBytesToFile(current, AllCurrent(text));
    const std::string csv = pattern + "/lista.csv", xlsx = pattern + "/lista.xlsx";
    const std::string plainCsv = pattern + "/plain.csv", plainXlsx = pattern + "/plain.xlsx";

    ProgramFolder = dir;
    AnsiString saveAs;
    SetDialogHook([&](TDialogRequest& r) {
        if (r.Kind == dkCommonDialog) {
            r.Values = {saveAs};
            return IDOK;
        }
        // "Pogrupuj listę norm": yes to the grouping, no to saving it now.
        if (r.Text.find("zostanie pogrupowana") != AnsiString::npos)
            return IDYES;
        return r.Flags & MB_YESNO ? IDNO : IDOK;
    });

    static const char* const views[] = {"Normy aktualne", "Normy nieaktualne", "Normy zastąpione uznaniowo",
                                        "Normy wycofane bez zastąpienia", "Normy zakładowe"};
    double loadMs = 1e300, groupMs = 1e300, csvMs = 1e300, csvBaseMs = 1e300, xlsxMs = 1e300, xlsxBaseMs = 1e300;
    double viewMs[5] = {1e300, 1e300, 1e300, 1e300, 1e300}, allCurrentMs = 1e300;
    int viewRows[5] = {}, allCurrentRows = 0, groupedRows = 0;
    std::string csvBytes, sheet;
    {
        Tf_MainForm form(nullptr);
        form.SetSizeColumnsOnLoad(true);
        for (int run = 0; run < Runs; ++run) {
            loadMs = std::min(loadMs, TimeOf([&] { form.LoadNormList(file); }));
            for (int v = 0; v < 5; ++v) {
                viewMs[v] = std::min(viewMs[v], TimeOf([&] { form.RunMenuCommand(views[v], views[v]); }));
                viewRows[v] = form.sg_NormyWgStanu->RowCount() - 2;
            }

            form.Strony->SetActivePage("ListaWszystkichNorm");
            saveAs = FromOsPath(csv);
            std::filesystem::remove(csv);
            csvMs = std::min(csvMs, TimeOf([&] { form.RunMenuCommand("Zapisz aktualną listę jako ...", ""); }));
            if (csvBytes.empty())
                csvBytes = ReadOs(csv);
            std::filesystem::remove(plainCsv);
            csvBaseMs = std::min(csvBaseMs, TimeOf([&] { WriteAsFile(plainCsv, csvBytes); }));

            saveAs = FromOsPath(xlsx);
            std::filesystem::remove(xlsx);
            xlsxMs = std::min(xlsxMs, TimeOf([&] { form.RunMenuCommand("Zapisz aktualną listę jako ...", ""); }));
            if (sheet.empty())
                sheet = SheetXml(xlsx);
            xlsxBaseMs = std::min(xlsxBaseMs, TimeOf([&] { ZipSheet(plainXlsx, sheet); }));

            groupMs = std::min(groupMs, TimeOf([&] { form.RunMenuCommand("Pogrupuj listę norm", ""); }));
            groupedRows = form.sg_WszystkieNormy->RowCount() - 2;

            form.LoadNormList(current);
            allCurrentMs = std::min(allCurrentMs, TimeOf([&] { form.RunMenuCommand(views[0], views[0]); }));
            allCurrentRows = form.sg_NormyWgStanu->RowCount() - 2;
        }
    }
    SetDialogHook(nullptr);

    std::printf("standards %d, cores %u\n", rows, std::thread::hardware_concurrency());
    std::printf("%-42s %9.1f ms\n", "whole load (baseline of views, grouping)", loadMs);
    for (int v = 0; v < 5; ++v) {
        const std::string name = std::string(views[v]) + " (" + std::to_string(viewRows[v]) + ")";
        Row(name.c_str(), viewMs[v], loadMs, 1.5);
    }
    const std::string all = "Normy aktualne, all current (" + std::to_string(allCurrentRows) + ")";
    Row(all.c_str(), allCurrentMs, loadMs, 1.5);
    Row("Pogrupuj listę norm", groupMs, loadMs, 2.0);
    std::printf("%-42s %9.1f ms (%zu bytes)\n", "writing the CSV bytes, fsync, rename", csvBaseMs, csvBytes.size());
    Row("CSV export", csvMs, csvBaseMs, 1.5);
    std::printf("%-42s %9.1f ms (%zu bytes of sheet XML)\n", "zipping the sheet XML, fsync", xlsxBaseMs, sheet.size());
    Row("workbook export", xlsxMs, xlsxBaseMs, 2.0);
    const bool whole = groupedRows == rows && allCurrentRows == rows && !csvBytes.empty() && !sheet.empty();
    if (!whole)
        std::printf("grouped %d, all current %d of %d rows; CSV %zu, sheet %zu bytes\n", groupedRows,
                    allCurrentRows, rows, csvBytes.size(), sheet.size());
    DoneTestApplication();
    return whole ? 0 : 1;
}
