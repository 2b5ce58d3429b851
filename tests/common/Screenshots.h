#pragma once
// Where the screenshot tests leave their pictures: "screenshots" beside the
// test executable, whatever the current folder is (dialog tests may change it);
// and a picture, or what a control shows, written there as PNG.
#include <filesystem>
#include <string>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/TestSupport.h"

inline std::string ScreenshotPath(const std::string& name)
{
    std::filesystem::path dir = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "screenshots";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

// Writes the picture to <build>/screenshots/Name.
inline void SaveScreenshot(TBitmap* Shot, const std::string& Name)
{
    TRasterImage png("PNG");
    png.Assign(Shot);
    png.SaveToFile(FromOsPath(ScreenshotPath(Name)));
}

// Writes what the control shows now to <build>/screenshots/Name.
inline void SaveScreenshot(TControl* Control, const std::string& Name)
{
    SaveScreenshot(GrabControl(Control).get(), Name);
}
