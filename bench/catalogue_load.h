#pragma once
// Times of the standards catalogue: loading it into the main window's grid
// (without and with the sizing of the columns to their content) and saving
// it, against reading and splitting the same file into strings. Shared by
// the benchmark and its smoke test.
#include <chrono>
#include <string>
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
    double SplitMs = 0;         // read and split into lines and fields
    double LoadNoSizeMs = 0;    // LoadNormList without the column sizing
    double LoadMs = 0;          // LoadNormList whole
    double SaveMs = 0;          // SaveNormList (no backup copy, reload included)
    bool SavedSame = false;     // the saved file equals the written one
};

// A catalogue of Rows standards in Folder + "Katalog Norm\normy_wszystkie.txt";
// Folder ends with a path delimiter.
inline TCatalogueTimes MeasureCatalogue(int Rows, const AnsiString& Folder)
{
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };

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
    AnsiString dir = Folder + "Katalog Norm\\";
    ForceDirectories(dir);
    AnsiString file = dir + "normy_wszystkie.txt";
    SaveBytesToFile(file, text);

    TCatalogueTimes t;
    t.Rows = Rows;

    auto t0 = Clock::now();
    {
        std::vector<std::vector<std::string>> split;
        TStringList lines;
        lines.LoadFromFile(file);
        split.reserve(size_t(lines.Count()));
        for (int i = 0; i < lines.Count(); ++i) {
            const AnsiString& l = lines.Strings(i);
            std::vector<std::string> fields;
            size_t start = 0, bar;
            while ((bar = l.find('|', start)) != std::string::npos && fields.size() < 6) {
                fields.push_back(l.substr(start, bar - start));
                start = bar + 1;
            }
            split.push_back(std::move(fields));
        }
    }
    t.SplitMs = ms(Clock::now() - t0);

    AnsiString oldFolder = ProgramFolder;
    ProgramFolder = Folder;
    // The save asks for the backup copy (no) and reports success (OK).
    TDialogHook oldHook = SetDialogHook([](TDialogRequest& r) { return r.Flags & MB_YESNO ? IDNO : IDOK; });
    {
        Tf_MainForm form(nullptr);
        form.SetSizeColumnsOnLoad(false);
        auto t1 = Clock::now();
        form.LoadNormList(file);
        t.LoadNoSizeMs = ms(Clock::now() - t1);

        form.SetSizeColumnsOnLoad(true);
        auto t2 = Clock::now();
        form.LoadNormList(file);
        t.LoadMs = ms(Clock::now() - t2);
        t.GridRows = form.sg_WszystkieNormy->RowCount();

        form.SetSizeColumnsOnLoad(false);
        auto t3 = Clock::now();
        form.SaveNormList(form.sg_WszystkieNormy);
        t.SaveMs = ms(Clock::now() - t3);
    }
    SetDialogHook(oldHook);
    ProgramFolder = oldFolder;
    t.SavedSame = LoadBytesFromFile(file) == text;
    return t;
}
