#include "platform/gui/SysInfo.h"

#include <filesystem>
#include <fstream>

#include "platform/core/SysUtils.h"

namespace {
std::string g_netFolder = "/sys/class/net";
}

void GetWindowsVersion(int& Major, int& Minor)
{
    Major = 5;
    Minor = 1;
}

bool IsThemeActive()
{
    return true;
}

AnsiString GetThemeColorSchemeName()
{
    return AnsiString();
}

bool GetDllFileVersion(const AnsiString& DllName, int& Major, int& Minor)
{
    if (SameText(ExtractFileName(DllName), "COMCTL32.DLL")) {
        Major = 6;
        Minor = 0;
        return true;
    }
    Major = Minor = 0;
    return false;
}

bool InternetConnected()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(g_netFolder, ec)) {
        std::string name = entry.path().filename().string();
        if (name == "lo")
            continue;
        std::ifstream f(entry.path() / "operstate");
        std::string state;
        if (f >> state && state == "up")
            return true;
    }
    return false;
}

void SetNetInterfacesFolder(const std::string& Folder)
{
    g_netFolder = Folder.empty() ? std::string("/sys/class/net") : Folder;
}
