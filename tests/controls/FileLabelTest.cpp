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
