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

TEST(FileLabel, ShortensAtSeveralWidths)
{
    auto w10 = [](const AnsiString& s) { return int(s.size()) * 10; };
    const AnsiString path = "C:\\Normy\\Katalog\\Stare\\Archiwum\\plik.txt";   // 40 characters
    struct { TDirection dir; int w; const char* caption; } cases[] = {
        {drFromLeft, 400, "C:\\Normy\\Katalog\\Stare\\Archiwum\\plik.txt"},
        {drFromLeft, 399, "C:\\...\\Katalog\\Stare\\Archiwum\\plik.txt"},
        {drFromLeft, 330, "C:\\...\\Stare\\Archiwum\\plik.txt"},
        {drFromLeft, 299, "C:\\...\\Archiwum\\plik.txt"},
        {drFromLeft, 151, "C:\\...\\plik.txt"},
        {drFromLeft, 150, "...\\plik.txt"},     // drive, ellipsis and name not below the width
        {drFromLeft, 121, "...\\plik.txt"},     // the drive no longer fits beside them
        {drFromLeft, 120, "plik.txt"},          // "...\" + name is not below the width
        {drFromLeft, 30, "plik.txt"},
        {drFromRight, 399, "C:\\Normy\\Katalog\\Stare\\...\\plik.txt"},
        {drFromRight, 290, "C:\\Normy\\Katalog\\...\\plik.txt"},
        {drFromRight, 289, "C:\\Normy\\...\\plik.txt"},
        {drFromRight, 210, "C:\\Normy\\...\\plik.txt"},
        {drFromRight, 179, "C:\\...\\plik.txt"},
    };
    for (auto& c : cases)
        EXPECT_EQ(TFileLabel::FitPath(path, "\\", c.dir, c.w, w10), c.caption) << c.dir << " " << c.w;
    // Without a drive every part but the last is a middle part.
    EXPECT_EQ(TFileLabel::FitPath("\\\\serwer\\dział\\a.txt", "\\", drFromRight, 160, w10), "\\\\...\\a.txt");
    EXPECT_EQ(TFileLabel::FitPath("Normy\\Stare\\a.txt", "\\", drFromLeft, 160, w10), "...\\Stare\\a.txt");
    EXPECT_EQ(TFileLabel::FitPath("", "\\", drFromLeft, 0, w10), "");

    // The label refits on resizing, on a new separator and on a new direction.
    TFileLabel label(nullptr);
    label.SetBounds(0, 0, 2000, 16);
    label.SetFileName("/home/norma/Katalog/plik.txt");
    EXPECT_EQ(label.Caption(), "/home/norma/Katalog/plik.txt");
    TBitmap probe;
    probe.Canvas()->SetFont(label.Font());
    TCanvas* measure = probe.Canvas();
    int full = measure->TextWidth("/home/norma/Katalog/plik.txt");
    label.SetSeparator("\\");
    label.SetBounds(0, 0, full - 1, 16);
    EXPECT_EQ(label.Caption(), "/home/norma/Katalog/plik.txt");   // with "\\" it is one part, shown whole
    label.SetSeparator("/");
    EXPECT_EQ(label.Caption().substr(label.Caption().size() - 9), "/plik.txt");
    EXPECT_NE(label.Caption().find(".../"), AnsiString::npos);
    EXPECT_LE(measure->TextWidth(label.Caption()), full - 1);
}
