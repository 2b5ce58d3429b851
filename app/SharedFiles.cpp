#include "app/SharedFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <functional>
#include <map>
#include <string_view>
#include <thread>
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

// ---------------------------------------------------------------- locks
const char* const LockFileName = ".velmarok.lock";
unsigned LockWait = 5000;
// Counted here and read by another thread of a test.
std::atomic<unsigned> LockWaits = 0;

// The locks this process holds, by lock file: one descriptor for each, open
// while any of its bytes is locked (closing a descriptor of the file would
// let go of the process's other locks on it), and each byte's count of takes.
struct THeldLocks {
    int Fd = -1;
    std::map<std::int64_t, int> Bytes;
};
std::map<std::string, THeldLocks>& Held()
{
    static std::map<std::string, THeldLocks> held;
    return held;
}

// The lock of a byte of an open lock file: an open file description's lock
// where the system has them (two descriptors of one process exclude each
// other too), else the process's.
int LockByte(int Fd, std::int64_t Byte, short Type)
{
    struct flock fl {};
    fl.l_type = Type;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t(Byte);
    fl.l_len = 1;
#ifdef F_OFD_SETLK
    const int rc = ::fcntl(Fd, F_OFD_SETLK, &fl);
    if (rc == 0 || errno != EINVAL)
        return rc;
#endif
    return ::fcntl(Fd, F_SETLK, &fl);
}

enum class TTake { Taken, Busy, None };

// One try at the byte's lock.
TTake TryLock(const std::string& LockFile, std::int64_t Byte)
{
    auto it = Held().find(LockFile);
    if (it != Held().end()) {
        if (auto b = it->second.Bytes.find(Byte); b != it->second.Bytes.end()) {
            ++b->second;
            return TTake::Taken;
        }
    } else {
        const int fd = OpenOrCreateFileOs(LockFile, O_RDWR);
        if (fd < 0)
            return TTake::None;
        it = Held().emplace(LockFile, THeldLocks{fd, {}}).first;
    }
    if (LockByte(it->second.Fd, Byte, F_WRLCK) == 0) {
        it->second.Bytes[Byte] = 1;
        return TTake::Taken;
    }
    const bool busy = errno == EAGAIN || errno == EACCES;
    if (it->second.Bytes.empty()) {
        ::close(it->second.Fd);
        Held().erase(it);
    }
    return busy ? TTake::Busy : TTake::None;
}

void Unlock(const std::string& LockFile, std::int64_t Byte)
{
    const auto it = Held().find(LockFile);
    if (it == Held().end())
        return;
    const auto b = it->second.Bytes.find(Byte);
    if (b == it->second.Bytes.end() || --b->second > 0)
        return;
    it->second.Bytes.erase(b);
    LockByte(it->second.Fd, Byte, F_UNLCK);
    if (it->second.Bytes.empty()) {
        ::close(it->second.Fd);
        Held().erase(it);
    }
}

// The lock taken, or the message that another login's save holds it.
bool TakeOrSay(TSharedFileLock& Lock, const AnsiString& FileName)
{
    if (Lock.Take())
        return true;
    Application->MessageBox("Plik " + FromOsPath(ToOsPath(FileName)) +
                                " jest właśnie zapisywany przez innego użytkownika. Zmiany pozostają na ekranie; "
                                "spróbuj zapisać je ponownie za chwilę.",
                            "UWAGA !!!", MB_OK | MB_ICONINFORMATION);
    return false;
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

bool SharedFileWasThere(const AnsiString& FileName)
{
    const auto it = Remembered().find(ToOsPath(FileName));
    return it != Remembered().end() && it->second.Exists;
}

// ---------------------------------------------------------------- TSharedFileLock

TSharedFileLock::TSharedFileLock(const AnsiString& FileName)
{
    // Beside the file a link names: where the save replaces it.
    const std::string path = ResolveLinksOs(ToOsPath(FileName));
    const std::size_t slash = path.rfind('/');
    FLockFile = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + LockFileName;
    // The byte by the name as Windows compares names: one file, whatever the case it is named in.
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    FByte = std::int64_t(HashBytes(name) % (std::uint64_t(1) << 30));
}

TSharedFileLock::~TSharedFileLock()
{
    Release();
}

bool TSharedFileLock::Take()
{
    if (FTaken)
        return true;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(LockWait);
    auto pause = std::chrono::milliseconds(1);
    for (bool waited = false;;) {
        const TTake t = TryLock(FLockFile, FByte);
        if (t != TTake::Busy) {
            FTaken = t == TTake::Taken;
            return true;
        }
        if (!waited)
            ++LockWaits;
        waited = true;
        if (Clock::now() >= until)
            return false;
        // Another login's save holds it for the writing of one file: looked at again soon.
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, until - Clock::now()));
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
}

void TSharedFileLock::Release()
{
    if (FTaken)
        Unlock(FLockFile, FByte);
    FTaken = false;
}

void SetSharedFileLockWait(unsigned Milliseconds)
{
    LockWait = Milliseconds;
}

unsigned SharedFileLockWaits()
{
    return LockWaits;
}

// ---------------------------------------------------------------- TSharedFileSave

TSharedFileSave::TSharedFileSave(const AnsiString& FileName) : FFileName(FileName), FLock(FileName)
{
}

bool TSharedFileSave::MayReplace(const std::function<void()>& AMeanwhile)
{
    if (!TakeOrSay(FLock, FFileName))
        return false;
    const std::string path = ToOsPath(FFileName);
    const auto it = Remembered().find(path);
    if (it == Remembered().end()) {
        if (AMeanwhile)
            AMeanwhile();
        return true;
    }
    // A reference: the message's loop may remember other files meanwhile.
    TFileState& known = it->second;
    TFileState now;
    {
        // The file is read on a thread of its own while AMeanwhile runs here.
        TOrderedParts looking(1, AMeanwhile ? 1 : 0, [&](std::size_t) { now = StateOnDisk(path); });
        if (AMeanwhile)
            AMeanwhile();
        looking.Take(0);
    }
    for (;;) {
        if (now == known)
            return true;
        // Another login's bytes are there, or another login removed what was
        // read. A folder or an unreadable file in its place holds nothing a
        // save could lose: the save goes on and reports its failure.
        if (!now.Readable && !(!now.Exists && known.Readable)) {
            known = now;
            return true;
        }
        // Nobody's save waits for the answer.
        FLock.Release();
        if (Application->MessageBox("Plik " + FromOsPath(path) +
                                        " został zmieniony przez innego użytkownika po jego wczytaniu.\r\r"
                                        "TAK - zapisz moje zmiany (zmiany innego użytkownika zostaną "
                                        "utracone),\r"
                                        "NIE - nie zapisuj; moje zmiany zostaną na ekranie.",
                                    "UWAGA !!!", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES ||
            !TakeOrSay(FLock, FFileName))
            return false;
        // Seen: a save that fails now does not ask again about the same
        // change. A change saved while the question waited is asked about.
        known = now;
        now = StateOnDisk(path);
    }
}

// ---------------------------------------------------------------- TSharedFileUpdate

TSharedFileUpdate::TSharedFileUpdate(const AnsiString& FileName)
    : FFileName(FileName), FLock(FileName), FTaken(TakeOrSay(FLock, FileName)),
      FSeen(FTaken && !Changed(ToOsPath(FileName)))
{
}

TSharedFileUpdate::~TSharedFileUpdate()
{
    if (FSeen)
        RememberSharedFile(FFileName);
}

// ---------------------------------------------------------------- default files

bool WriteDefaultSharedFile(const AnsiString& FileName, const std::function<void()>& Write,
                            const std::function<bool()>& Missing)
{
    TSharedFileLock lock(FileName);
    if (!lock.Take() || !(Missing ? Missing() : !FileExists(FileName)))
        return false;
    Write();
    return true;
}
