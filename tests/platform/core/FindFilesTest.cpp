#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/SysUtils.h"
#include "tests/common/TestFiles.h"

namespace fs = std::filesystem;

namespace {
// Every name FindFirst/FindNext give for the pattern, with "/d" after directories and "@" after links.
std::vector<std::string> Found(const AnsiString& Pattern, int Attr, bool FollowLinks = false)
{
    std::vector<std::string> out;
    TSearchRec sr;
    for (int rc = FindFirst(Pattern, Attr, sr, FollowLinks); rc == 0; rc = FindNext(sr))
        out.push_back(sr.Name + ((sr.Attr & faDirectory) ? "/d" : "") + ((sr.Attr & faSymLink) ? "@" : ""));
    FindClose(sr);
    return out;
}
}  // namespace

TEST(FindFiles, ListsAFolderWithAttributesWithoutFollowingLinks)
{
    TTempDir dir("velmarok-find");
    WriteFileBytes(dir / "b.txt", "12345");
    WriteFileBytes(dir / "A.TXT", "1");
    WriteFileBytes(dir / ".ukryty", "");
    fs::create_directory(dir / "Wykazy");
    WriteFileBytes(dir / "Wykazy/w.txt", "");
    fs::create_directory_symlink(dir / "Wykazy", dir / "link");
    fs::create_symlink(dir / "b.txt", dir / "c.txt");
    const AnsiString root = FromOsPath(dir.Path.string()) + "\\";

    struct Case { AnsiString pattern; int attr; bool follow; std::vector<std::string> names; };
    const Case cases[] = {
        // Files only: no directories, no hidden files; the link to a directory is no directory.
        {root + "*.*", 0, false, {"A.TXT", "b.txt", "c.txt@", "link@"}},
        {root + "*.txt", faArchive, false, {"A.TXT", "b.txt", "c.txt@"}},
        {root + "*", faDirectory | faHidden, false, {"./d", "../d", ".ukryty", "A.TXT", "b.txt", "c.txt@", "link@", "Wykazy/d"}},
        // Asked to follow, the link is the directory it points at.
        {root + "l*", 0, true, {}},
        {root + "l*", faDirectory, true, {"link/d@"}},
        // The folder found case-insensitively, "\" as the separator.
        {root + "wykazy\\*.TXT", 0, false, {"w.txt"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Found(c.pattern, c.attr, c.follow), c.names) << c.pattern << " " << c.attr;

    TSearchRec sr;
    ASSERT_EQ(FindFirst(root + "c.txt", faAnyFile, sr), 0);
    EXPECT_EQ(sr.Size, Int64((dir.Path / "b.txt").string().size()));   // the link's own size: its target's path
    EXPECT_EQ(FindNext(sr), ERROR_NO_MORE_FILES);
    FindClose(sr);
    ASSERT_EQ(FindFirst(root + "b.txt", faAnyFile, sr), 0);
    EXPECT_EQ(sr.Size, 5);
    EXPECT_EQ(sr.Attr, faArchive);
    EXPECT_EQ(sr.Time, FileAge(root + "b.txt"));
    FindClose(sr);
    EXPECT_EQ(FindFirst(root + "*.doc", faAnyFile, sr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirst(root + "brak\\*.*", faAnyFile, sr), ERROR_PATH_NOT_FOUND);
}
