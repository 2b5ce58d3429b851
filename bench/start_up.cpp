// The program's start on a folder whose catalogue holds 100,000 standards
// (or the row count given as the first argument or VELMAROK_BENCH_ROWS): the
// main window created, started and shown, beside the bare load of the same
// catalogue into the catalogue grid.
#include <algorithm>
#include <cstdio>

#include "app/U_WspolneFunkcje.h"
#include "bench/BenchCells.h"
#include "bench/catalogue_load.h"
#include "platform/core/Registry.h"
#include "platform/gui/TestSupport.h"

using bench::Clock;
using bench::Millis;

int main(int argc, char** argv)
{
    InitTestApplication(argc, argv);
    const int rows = bench::RowsWanted(argc, argv);
    const bench::TBenchFolder folder("start-up");
    if (folder.Path().empty())
        return 1;
    const std::string& pattern = folder.Path();
    // A program folder as earlier starts leave it: the first run marked,
    // the configuration, the users file, the menu and the catalogue.
    const AnsiString dir = FromOsPath(pattern) + "/";
    ProgramFolder = dir;
    ExeFolder = dir;
    SetRegistryStoreFile(dir + "registry-store.ini");
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        reg.OpenKey("Software\\Quorvane\\Tyrvenhold", true);
        reg.WriteString("Path", Application->ExeName());
    }
    ForceDirectories(dir + "Ustawienia");
    ForceDirectories(dir + "Katalog Norm");
    const AnsiString login = GetWindowsUserName();
    WriteScrambledFile(dir + "config.dat", dir + "Katalog Norm\\normy_wszystkie.txt\r\n" + dir + "Wykazy\\\r\n" + dir +
                                               "Ustawienia\\kategorie.ini\r\n" + dir + "Ustawienia\\\r\n" + dir +
                                               "Katalog Norm\\\r\n\r\n1\r\n1\r\n0\r\n");
    WriteScrambledFile(dir + "Ustawienia\\users.dat", "[UsersName]\r\n" + login + "=\r\n[Level]\r\n" + login +
                                                          "=4\r\n[Options]\r\nRunUserOut=0\r\n");
    SaveBytesToFile(dir + "Ustawienia\\kategorie.ini",
                    "[Kategorie]\r\nWyroby=\r\n[Wyroby]\r\nZawory=\r\n[Zawory]\r\nDN 50=z_u.txt\r\n");
    const AnsiString file = dir + "Katalog Norm\\normy_wszystkie.txt";
    SaveBytesToFile(file, BenchCatalogueText(rows));

    double loadMs = 1e300, startMs = 1e300;
    int shownRows = 0;
    bool ended = false;
    for (int round = 0; round < 3; ++round) {
        {
            Tf_MainForm form(nullptr);
            auto t0 = Clock::now();
            form.LoadNormList(file);
            loadMs = std::min(loadMs, Millis(Clock::now() - t0));
        }
        auto t0 = Clock::now();
        {
            Tf_MainForm form(nullptr);
            f_MainForm = &form;
            form.DoCreate();
            form.Show();
            Application->ProcessMessages();
            startMs = std::min(startMs, Millis(Clock::now() - t0));
            shownRows = form.sg_WszystkieNormy->RowCount() - 2;
            ended = ended || Application->Terminated();
            f_MainForm = nullptr;
        }
    }
    SetRegistryStoreFile(AnsiString());
    if (shownRows != rows || ended) {
        std::printf("wrong start: %d standards shown%s\n", shownRows, ended ? ", the program ended" : "");
        DoneTestApplication();
        return 1;
    }
    const double ratio = startMs / loadMs;
    std::printf("standards %d\n", rows);
    std::printf("start to the shown window %8.1f ms   catalogue load %8.1f ms   x%.2f (bound x1.5: %s)\n", startMs,
                loadMs, ratio, ratio < 1.5 ? "ok" : "OVER");
    DoneTestApplication();
    return 0;
}
