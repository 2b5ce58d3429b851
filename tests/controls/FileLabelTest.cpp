#include <gtest/gtest.h>

#include "controls/FileLbl.h"

namespace {
// Every character is 10 pixels wide.
int Width10(const AnsiString& s) { return int(s.size()) * 10; }
}  // namespace

TEST(FileLabel, FitsThePathKeepingDriveAndFileName)
{
    const AnsiString path = "C:\\Normy\\Katalog\\Stare\\plik.txt";   // 31 characters
    struct { TDirection dir; int w; const char* caption; } cases[] = {
        {drFromLeft, 400, "C:\\Normy\\Katalog\\Stare\\plik.txt"},
        {drFromLeft, 50, "plik.txt"},                       // file name alone is too wide with the ellipsis
        {drFromLeft, 140, "...\\plik.txt"},                 // no room for the drive
        {drFromLeft, 160, "C:\\...\\plik.txt"},
        {drFromLeft, 220, "C:\\...\\Stare\\plik.txt"},
        {drFromRight, 220, "C:\\Normy\\...\\plik.txt"},
    };
    for (auto& c : cases)
        EXPECT_EQ(TFileLabel::FitPath(path, "\\", c.dir, c.w, Width10), c.caption) << c.w;
    EXPECT_EQ(TFileLabel::FitPath("/a/bb/ccc/d.txt", "/", drFromLeft, 130, Width10), ".../ccc/d.txt");
}

TEST(FileLabel, ALongPathOfThisSystemKeepsItsFileNameInANarrowLabel)
{
    const AnsiString path = "/home/norma/Velmarok/Importuj/Wykazy 2024/wykaz_sprezarki.txt";
    TFileLabel label(nullptr);
    TBitmap probe;
    probe.Canvas()->SetFont(label.Font());
    TCanvas* measure = probe.Canvas();
    const int full = measure->TextWidth(path), name = measure->TextWidth("wykaz_sprezarki.txt");
    struct Case { AnsiString Separator; int Width; bool Shortened; } cases[] = {
        {"", full + 10, false},   // the label's own separator
        {"", full - 1, true},
        {"", name + measure->TextWidth(".../Wykazy 2024/") + 2, true},
        {"", name + 4, true},
        {"\\", full - 1, false},   // a separator the caller sets is kept: one part, shown whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Width);
        if (!c.Separator.empty())
            label.SetSeparator(c.Separator);
        EXPECT_EQ(label.Separator(), c.Separator.empty() ? AnsiString("/") : c.Separator);
        label.SetBounds(0, 0, c.Width, 16);
        label.SetFileName(path);
        const AnsiString shown = label.Caption();
        EXPECT_EQ(shown != path, c.Shortened) << shown;
        if (c.Shortened) {
            EXPECT_EQ(shown.substr(shown.size() - 19), "wykaz_sprezarki.txt") << shown;
            EXPECT_LE(measure->TextWidth(shown), c.Width) << shown;
        }
    }
}
