#pragma once
// Where the screenshot tests leave their pictures: "screenshots" beside the
// test executable, whatever the current folder is (dialog tests may change it).
#include <filesystem>
#include <string>

inline std::string ScreenshotPath(const std::string& name)
{
    std::filesystem::path dir = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "screenshots";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}
