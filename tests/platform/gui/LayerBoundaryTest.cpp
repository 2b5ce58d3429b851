#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <cstdlib>

#include "platform/gui/SysInfo.h"

namespace fs = std::filesystem;

// The toolkit stays inside platform/gui: no other source includes its headers.
TEST(LayerBoundary, NoToolkitHeaderOutsideTheGuiLayer)
{
    // The tree from the test data folder (tests/data), else from this file's place.
    const char* data = std::getenv("VELMAROK_TEST_DATA");
    fs::path root = data ? fs::path(data).parent_path().parent_path()
                         : fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
    ASSERT_TRUE(fs::exists(root / "platform" / "gui"));
    std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/[^>"]*)[>"])");
    std::vector<std::string> offenders;
    for (const char* top : {"platform/core", "grid", "controls", "app", "tests", "bench"}) {
        fs::path dir = root / top;
        if (!fs::exists(dir))
            continue;
        for (auto& e : fs::recursive_directory_iterator(dir)) {
            auto ext = e.path().extension();
            if (ext != ".h" && ext != ".cpp")
                continue;
            std::ifstream f(e.path());
            std::string line;
            while (std::getline(f, line))
                if (std::regex_search(line, qtInclude))
                    offenders.push_back(e.path().string() + ": " + line);
        }
    }
    // Public headers of the layer expose no toolkit types either.
    for (auto& e : fs::directory_iterator(root / "platform" / "gui")) {
        std::string name = e.path().filename().string();
        if (e.path().extension() != ".h" || name.find("_p.h") != std::string::npos)
            continue;
        std::ifstream f(e.path());
        std::string line;
        while (std::getline(f, line))
            if (std::regex_search(line, qtInclude))
                offenders.push_back(e.path().string() + ": " + line);
    }
    EXPECT_TRUE(offenders.empty()) << offenders.front();
}

TEST(SysInfo, ThePlatformAnswersTheSameWay)
{
    int major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    EXPECT_EQ(major * 10 + minor, 51);
    EXPECT_TRUE(IsThemeActive());
    EXPECT_EQ(GetThemeColorSchemeName(), "");
    EXPECT_TRUE(GetDllFileVersion("comctl32.dll", major, minor));
    EXPECT_EQ(major * 10 + minor, 60);

    fs::path dir = fs::temp_directory_path() / "velmarok_net_test";
    fs::remove_all(dir);
    fs::create_directories(dir / "lo");
    std::ofstream(dir / "lo" / "operstate") << "up\n";
    fs::create_directories(dir / "eth0");
    std::ofstream(dir / "eth0" / "operstate") << "down\n";
    SetNetInterfacesFolder(dir.string());
    EXPECT_FALSE(InternetConnected()) << "loopback alone is no connection";
    std::ofstream(dir / "eth0" / "operstate") << "up\n";
    EXPECT_TRUE(InternetConnected());
    SetNetInterfacesFolder("");
    fs::remove_all(dir);
}
