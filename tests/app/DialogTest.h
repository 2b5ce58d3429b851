#pragma once
// Helpers of the dialog suites: screenshots, the network interfaces the online test sees, and the
// requests a local server took.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/Screenshots.h"

// While it lives, the system reports one network interface, up or down.
struct TNetworkState {
    std::filesystem::path Dir;
    explicit TNetworkState(bool Connected)
    {
        Dir = std::filesystem::temp_directory_path() / ("velmarok-net-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir / "eth0");
        std::ofstream(Dir / "eth0" / "operstate") << (Connected ? "up\n" : "down\n");
        SetNetInterfacesFolder(Dir.string());
    }
    ~TNetworkState()
    {
        SetNetInterfacesFolder("");
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
};

// How many requests the server took whose path begins with Part (Anywhere: holds it).
inline int RequestsTo(const TTestHttpServer& Server, const std::string& Part, bool Anywhere = false)
{
    int n = 0;
    for (const AnsiString& r : Server.Requests())
        n += Anywhere ? r.find(Part) != AnsiString::npos : r.rfind(Part, 0) == 0;
    return n;
}
