#pragma once
// Times of the standards catalogue: loading it into the main window's grid
// (without and with the sizing of the columns to their content) and saving
// it, against reading and splitting the same file into strings. Shared by
// the benchmark and its smoke test.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>
#include <string>
#include <string_view>
#include <vector>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/qx_Unit1.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"

struct TCatalogueTimes {
    int Rows = 0;
    int GridRows = 0;           // RowCount after the load
    double SplitMs = 0;         // read in one call and split into lines and fields, without the program
    double LoadNoSizeMs = 0;    // LoadNormList without the column sizing
    double LoadMs = 0;          // LoadNormList whole
    double WriteMs = 0;         // the file's bytes written in one fwrite, fsync and rename, without the program
    double SaveMs = 0;          // SaveNormList (no backup copy, reload with the column sizing included)
    bool SavedSame = false;     // the saved file equals the written one
    std::size_t FileBytes = 0;  // the catalogue file's size
    std::size_t HeldBytes = 0;  // what the allocator has handed out more with the catalogue loaded than before
};

// Bytes the allocator has handed out and not taken back: those of its arenas in use and
// those mapped for large blocks.
inline std::size_t AllocatedBytes()
{
    const struct mallinfo2 m = ::mallinfo2();
    return m.uordblks + m.hblkhd;
}

// The record lines of a catalogue of Rows standards: numbers "PN-EN 10000-0:2010"
// upwards, the five states and no state in turn, four holdings, every third
// replaced, titles "Stale odporne na korozję, część N" (N = row % 40).
inline AnsiString BenchCatalogueText(int Rows)
{
    static const char* const states[] = {"Aktualna", "Nieaktualna", "Zastąpiona uznaniowo",
                                         "Wycofana bez zastąpienia", "Norma zakładowa", ""};
    static const char* const holdings[] = {"Brak", "Dostępna", "Dostępna (KJ)", "Jest"};
    AnsiString text;
    for (int i = 0; i < Rows; ++i) {
        TNormRecord rec = {"PN-EN " + IntToStr(10000 + i) + "-" + IntToStr(i % 7) + ":20" + IntToStr(10 + i % 15),
                           states[i % 6], holdings[i % 4],
                           i % 3 ? AnsiString() : "PN-EN ISO " + IntToStr(2000 + i) + ":2004",
                           "Stale odporne na korozję, część " + IntToStr(i % 40),
                           "Opis normy numer " + IntToStr(i) + " - wymagania i badania"};
        text += NormLine(rec) + "\r\n";
    }
    return text;
}

// A catalogue of Rows standards in Folder + "Katalog Norm\normy_wszystkie.txt";
// Folder ends with a path delimiter. The split and the loads are timed ARuns
// times each and the shortest time kept (other work on the machine only
// ever adds time).
inline TCatalogueTimes MeasureCatalogue(int Rows, const AnsiString& Folder, int ARuns = 1)
{
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };

    const AnsiString text = BenchCatalogueText(Rows);
    AnsiString dir = Folder + "Katalog Norm\\";
    ForceDirectories(dir);
    AnsiString file = dir + "normy_wszystkie.txt";
    SaveBytesToFile(file, text);

    TCatalogueTimes t;
    t.Rows = Rows;

    // The baseline uses nothing of the program: the file read in one call
    // into a std::string and split with std::string_view into the six
    // fields of each line.
    std::string osPath = ToOsPath(file);
    auto split = [&] {
        auto t0 = Clock::now();
        std::string bytes;
        if (std::FILE* f = std::fopen(osPath.c_str(), "rb")) {
            std::fseek(f, 0, SEEK_END);
            bytes.resize(std::size_t(std::ftell(f)));
            std::fseek(f, 0, SEEK_SET);
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
            std::fclose(f);
        }
        std::vector<std::array<std::string_view, 6>> lines;
        std::string_view rest(bytes);
        while (!rest.empty()) {
            std::size_t eol = rest.find('\n');
            std::string_view line = rest.substr(0, eol);
            rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            std::array<std::string_view, 6> fields{};
            for (std::size_t k = 0; k < 6; ++k) {
                std::size_t bar = line.find('|');
                if (bar == std::string_view::npos)
                    break;
                fields[k] = line.substr(0, bar);
                line.remove_prefix(bar + 1);
            }
            lines.push_back(fields);
        }
        if (lines.size() != std::size_t(Rows))
            std::fprintf(stderr, "split %zu lines, not %d\n", lines.size(), Rows);
        return ms(Clock::now() - t0);
    };

    // The baseline of a save: the same bytes written to a new file beside
    // the catalogue in one fwrite, made durable and renamed over a copy.
    const std::string copyPath = osPath + ".copy", newPath = osPath + ".new";
    auto write = [&] {
        auto t0 = Clock::now();
        if (std::FILE* f = std::fopen(newPath.c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fflush(f);
            ::fsync(::fileno(f));
            std::fclose(f);
            std::rename(newPath.c_str(), copyPath.c_str());
        }
        return ms(Clock::now() - t0);
    };

    AnsiString oldFolder = ProgramFolder;
    ProgramFolder = Folder;
    // The save asks for the backup copy (no) and reports success (OK).
    TDialogHook oldHook = SetDialogHook([](TDialogRequest& r) { return r.Flags & MB_YESNO ? IDNO : IDOK; });
    {
        Tf_MainForm form(nullptr);
        const std::size_t before = AllocatedBytes();
        // The baselines and the commands in turn, so that all meet the same
        // load of the machine.
        t.SplitMs = t.LoadNoSizeMs = t.LoadMs = t.WriteMs = t.SaveMs = 1e300;
        for (int run = 0; run < ARuns; ++run) {
            t.SplitMs = std::min(t.SplitMs, split());
            form.SetSizeColumnsOnLoad(false);
            auto t1 = Clock::now();
            form.LoadNormList(file);
            t.LoadNoSizeMs = std::min(t.LoadNoSizeMs, ms(Clock::now() - t1));

            form.SetSizeColumnsOnLoad(true);
            auto t2 = Clock::now();
            form.LoadNormList(file);
            t.LoadMs = std::min(t.LoadMs, ms(Clock::now() - t2));
            if (run == 0)
                t.HeldBytes = AllocatedBytes() - std::min(before, AllocatedBytes());

            t.WriteMs = std::min(t.WriteMs, write());
            auto t3 = Clock::now();
            form.SaveNormList(form.sg_WszystkieNormy);
            t.SaveMs = std::min(t.SaveMs, ms(Clock::now() - t3));
        }
        t.GridRows = form.sg_WszystkieNormy->RowCount();
    }
    std::remove(copyPath.c_str());
    t.FileBytes = text.size();
    SetDialogHook(oldHook);
    ProgramFolder = oldFolder;
    t.SavedSame = LoadBytesFromFile(file) == text;
    return t;
}
