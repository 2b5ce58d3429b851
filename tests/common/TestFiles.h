#pragma once
// Scratch files for tests: a fresh folder under /tmp that is removed afterwards, a file's bytes
// written and read whole, and a string list's items as a vector.
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
