#pragma once
// Scratch files for tests: a fresh folder under /tmp that is removed afterwards, a file's bytes
// written and read whole, a string list's items as a vector, and file permissions that hold for root.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/core/Classes.h"

struct TTempDir {
    std::filesystem::path Path;
    // Prefix names the folder, e.g. "velmarok-ini" gives /tmp/velmarok-iniXXXXXX.
    explicit TTempDir(const std::string& Prefix)
    {
        std::string tmpl = "/tmp/" + Prefix + "XXXXXX";
        Path = ::mkdtemp(tmpl.data());
    }
    ~TTempDir() { std::filesystem::remove_all(Path); }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    std::string operator/(const char* Name) const { return (Path / Name).string(); }
};

inline std::string ReadFileBytes(const std::string& Name)
{
    std::ifstream in(Name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& Name, const std::string& Bytes)
{
    std::ofstream f(Name, std::ios::binary | std::ios::trunc);
    f << Bytes;
}

inline std::vector<AnsiString> Items(const TStrings& s)
{
    std::vector<AnsiString> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.Strings(i));
    return out;
}

// While it lives, file permissions hold for this thread even when the tests run as root: the
// capabilities that override them leave the effective set and come back at the end.
struct TNoPermissionOverride {
    __user_cap_header_struct Header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct Saved[2]{};
    bool Changed = false;
    TNoPermissionOverride()
    {
        if (::syscall(SYS_capget, &Header, Saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {Saved[0], Saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        Changed = ::syscall(SYS_capset, &Header, reduced) == 0;
    }
    ~TNoPermissionOverride()
    {
        if (Changed)
            ::syscall(SYS_capset, &Header, Saved);
    }
    TNoPermissionOverride(const TNoPermissionOverride&) = delete;
    TNoPermissionOverride& operator=(const TNoPermissionOverride&) = delete;
};
