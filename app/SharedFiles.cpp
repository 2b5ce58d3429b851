#include "app/SharedFiles.h"

#include <sys/stat.h>

#include <functional>
#include <string_view>
#include <unordered_map>

#include "platform/core/FileBytes.h"
#include "platform/core/Parallel.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"

namespace {

// What the program knows of a file's content. Its time is not taken: on a
// shared folder it may stay the same over two writes within one second, and
// a write of the same bytes again loses nothing.
struct TFileState {
    bool Exists = false;
    bool Readable = false;
    size_t Size = 0;
    std::uint64_t Hash = 0;
    bool operator==(const TFileState&) const = default;
};

TFileState StateOfBytes(const std::string& Bytes)
{
    return {true, true, Bytes.size(), HashBytes(Bytes)};
}

TFileState StateOnDisk(const std::string& OsPath)
{
    struct stat st {};
    if (::stat(OsPath.c_str(), &st) != 0)
        return {};
    TFileState s;
    s.Exists = true;
    s.Readable = HashFileOs(OsPath, s.Size, s.Hash);
    if (!s.Readable)
        s.Size = 0, s.Hash = 0;
    return s;
}

// By the file's path on the system, so that "\" and "/" name one file.
std::unordered_map<std::string, TFileState>& Remembered()
{
    static std::unordered_map<std::string, TFileState> states;
    return states;
}

bool Changed(const std::string& OsPath)
{
    const auto it = Remembered().find(OsPath);
    return it != Remembered().end() && !(StateOnDisk(OsPath) == it->second);
}

}  // namespace

void RememberSharedFile(const AnsiString& FileName)
{
    const std::string path = ToOsPath(FileName);
    Remembered()[path] = StateOnDisk(path);
}

void RememberSharedFile(const AnsiString& FileName, const AnsiString& Bytes)
{
    Remembered()[ToOsPath(FileName)] = StateOfBytes(Bytes);
}

void RememberSharedFile(const AnsiString& FileName, const std::vector<std::string_view>& Runs)
{
    std::size_t size = 0;
    for (std::string_view r : Runs)
        size += r.size();
    Remembered()[ToOsPath(FileName)] = {true, true, size, HashBytes(Runs)};
}

bool MayReplaceSharedFile(const AnsiString& FileName)
{
    return MayReplaceSharedFile(FileName, nullptr);
}

bool MayReplaceSharedFile(const AnsiString& FileName, const std::function<void()>& AMeanwhile)
{
    const std::string path = ToOsPath(FileName);
    const auto it = Remembered().find(path);
    if (it == Remembered().end()) {
        if (AMeanwhile)
            AMeanwhile();
        return true;
    }
    TFileState now;
    {
        // The file is read on a thread of its own while AMeanwhile runs here.
        TOrderedParts looking(1, AMeanwhile ? 1 : 0, [&](std::size_t) { now = StateOnDisk(path); });
        if (AMeanwhile)
            AMeanwhile();
        looking.Take(0);
    }
    if (now == it->second)
        return true;
    // Another login's bytes are there, or another login removed what was
    // read. A folder or an unreadable file in its place holds nothing a save
    // could lose: the save goes on and reports its failure.
    const bool loses = now.Readable || (!now.Exists && it->second.Readable);
    if (loses && Application->MessageBox("Plik " + FromOsPath(path) +
                                             " został zmieniony przez innego użytkownika po jego wczytaniu.\r\r"
                                             "TAK - zapisz moje zmiany (zmiany innego użytkownika zostaną "
                                             "utracone),\r"
                                             "NIE - nie zapisuj; moje zmiany zostaną na ekranie.",
                                         "UWAGA !!!", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    // Seen: a save that fails now does not ask again about the same change.
    it->second = now;
    return true;
}

TSharedFileUpdate::TSharedFileUpdate(const AnsiString& FileName)
    : FFileName(FileName), FSeen(!Changed(ToOsPath(FileName)))
{
}

TSharedFileUpdate::~TSharedFileUpdate()
{
    if (FSeen)
        RememberSharedFile(FFileName);
}
