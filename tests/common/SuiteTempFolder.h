#pragma once
// One temporary folder for a whole test run: every scratch folder and file of the suite, and what
// the toolkit and the programs it starts write there, lie inside it (TMPDIR), and it goes when the
// run ends, after the toolkit has written its last files.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

class TSuiteTempFolder {
public:
    TSuiteTempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmarok-tests-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        FPath = pattern;
        // Open to the other logins some tests start, as the temporary folder is.
        std::filesystem::permissions(FPath, std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
        ::setenv("TMPDIR", FPath.c_str(), 1);
    }
    ~TSuiteTempFolder()
    {
        std::error_code ec;
        if (!FPath.empty())
            std::filesystem::remove_all(FPath, ec);
    }
    TSuiteTempFolder(const TSuiteTempFolder&) = delete;
    TSuiteTempFolder& operator=(const TSuiteTempFolder&) = delete;

private:
    std::filesystem::path FPath;
};
