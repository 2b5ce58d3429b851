#include "app/SharedFiles.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/core/CodePage.h"
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
const char* const LockFileOfFolder = ".velmarok.lock";
unsigned LockWait = 5000;
// Counted here and read by another thread of a test.
std::atomic<unsigned> LockWaits = 0;

using TFileId = TSharedFileLock::TFileId;

TFileId IdOf(const struct stat& st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::uint64_t(st.st_size),
            std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// The file at the name: the one a link names, or the link itself.
TFileId IdAt(const std::string& OsPath, bool FollowLinks)
{
    struct stat st {};
    if ((FollowLinks ? ::stat(OsPath.c_str(), &st) : ::lstat(OsPath.c_str(), &st)) != 0)
        return {};
    return IdOf(st);
}

bool SameFile(const TFileId& A, const TFileId& B)
{
    return A.Dev == B.Dev && A.Ino == B.Ino;
}

// The locks this process holds, by lock file: one descriptor for each, open
// while any of its locks is taken (the lock goes with the descriptor), the file
// it is open on, and the count of takes. A descriptor of -1 with takes: the
// lock file was found replaced, and the lock is not held until taken again.
struct THeldLock {
    int Fd = -1;
    TFileId Id;
    int Count = 0;
};
std::map<std::string, THeldLock>& Held()
{
    static std::map<std::string, THeldLock> held;
    return held;
}

// The locks of this process that are taken, for the check before a rename.
std::mutex TakenMutex;
std::vector<TSharedFileLock*>& TakenLocks()
{
    static std::vector<TSharedFileLock*> taken;
    return taken;
}

enum class TTake { Taken, Busy, None, Damaged };

// The owner or group of a file by name, else by number.
AnsiString OwnerName(uid_t Uid)
{
    char buf[1024];
    struct passwd pw {}, *found = nullptr;
    return ::getpwuid_r(Uid, &pw, buf, sizeof buf, &found) == 0 && found ? Utf8ToAnsi(found->pw_name)
                                                                        : IntToStr(int(Uid));
}
AnsiString GroupName(gid_t Gid)
{
    char buf[1024];
    struct group gr {}, *found = nullptr;
    return ::getgrgid_r(Gid, &gr, buf, sizeof buf, &found) == 0 && found ? Utf8ToAnsi(found->gr_name)
                                                                        : IntToStr(int(Gid));
}

// What is wrong with the name LockFile, where Err (errno) kept the lock from being had.
AnsiString LockFileDamage(const std::string& LockFile, int Err)
{
    struct stat st {};
    const AnsiString error = "błąd systemu " + IntToStr(Err);
    if (::lstat(LockFile.c_str(), &st) != 0)
        return "nie daje się utworzyć ani otworzyć (" + error + ")";
    if (S_ISLNK(st.st_mode))
        return "jest dowiązaniem symbolicznym, a nie plikiem";
    if (S_ISDIR(st.st_mode))
        return "jest folderem, a nie plikiem";
    if (!S_ISREG(st.st_mode))
        return "nie jest zwykłym plikiem";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
    const AnsiString rights =
        " (właściciel: " + OwnerName(st.st_uid) + ", grupa: " + GroupName(st.st_gid) + ", prawa: " + mode + ")";
    if (Err == EACCES || Err == EPERM)
        return "nie daje się otworzyć z tego konta" + rights;
    if (Err == EBADF)   // a file system that locks only files open for writing
        return "nie daje się zablokować z tego konta bez prawa zapisu do niego" + rights;
    return "nie daje się zablokować (" + error + ")" + rights;
}

// No lock had in the lock file of a folder for Err: none to be had where the
// login may not write the folder (nothing it saves there can cross another's
// save) or the folder is not there; else the lock file is damaged.
TTake Unlockable(const std::string& LockFile, int Err, AnsiString& Damage)
{
    const std::size_t slash = LockFile.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : LockFile.substr(0, slash + 1);
    if (Err == ENOENT || ::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return TTake::None;
    Damage = LockFileDamage(LockFile, Err);
    return TTake::Damaged;
}

// One try at the lock of the file that stands at the name LockFile, made when
// missing: a lock on the whole file (flock), which a descriptor open only for
// reading holds too, so that a lock file the login may not write locks as well.
// Never through a link, and only in a plain file. Fd and Id of the file locked
// when taken.
TTake LockAt(const std::string& LockFile, int& Fd, TFileId& Id, AnsiString& Damage)
{
    constexpr int Open = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(LockFile.c_str(), O_RDWR | Open);
        if (fd < 0 && errno == ENOENT) {
            fd = CreateFileOs(LockFile, O_RDWR);
            if (fd < 0 && errno == EEXIST)
                continue;   // made meanwhile, or a link stands there: looked at again
        }
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
            fd = ::open(LockFile.c_str(), O_RDONLY | Open);
        if (fd < 0)
            return Unlockable(LockFile, errno, Damage);
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return Unlockable(LockFile, EINVAL, Damage);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EINTR)
                continue;
            if (err == EWOULDBLOCK)
                return TTake::Busy;
            if (err == ENOLCK || err == EOPNOTSUPP || err == ENOSYS)
                return TTake::None;   // a file system that keeps no locks
            return Unlockable(LockFile, err, Damage);
        }
        // Removed or replaced between the open and the lock: the file at the name now.
        if (SameFile(IdAt(LockFile, false), IdOf(st))) {
            Fd = fd;
            Id = IdOf(st);
            return TTake::Taken;
        }
        ::close(fd);
    }
    return Unlockable(LockFile, EAGAIN, Damage);
}

// The lock file's lock for this process: taken by its descriptor, or only counted when held.
TTake TryLock(const std::string& LockFile, AnsiString& Damage)
{
    THeldLock& held = Held()[LockFile];
    const TTake t = held.Fd >= 0 ? TTake::Taken : LockAt(LockFile, held.Fd, held.Id, Damage);
    if (t == TTake::Taken)
        ++held.Count;
    else if (held.Count == 0)
        Held().erase(LockFile);
    return t;
}

void Unlock(const std::string& LockFile)
{
    const auto it = Held().find(LockFile);
    if (it == Held().end() || --it->second.Count > 0)
        return;
    if (it->second.Fd >= 0)
        ::close(it->second.Fd);   // the lock goes with it
    Held().erase(it);
}

// Try again while another process holds the lock, up to the wait.
TTake WaitWhileBusy(const std::function<TTake()>& Try)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(LockWait);
    auto pause = std::chrono::milliseconds(1);
    for (bool waited = false;;) {
        const TTake t = Try();
        if (t != TTake::Busy)
            return t;
        if (!waited)
            ++LockWaits;
        waited = true;
        if (Clock::now() >= until)
            return t;
        // Another login's save holds it for the writing of one file: looked at again soon.
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, until - Clock::now()));
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
}

// Why a save of FileName does not go on: another login's save held the lock past the wait, or its lock file is damaged.
void SayNotLocked(const AnsiString& FileName, const TSharedFileLock& Lock)
{
    const AnsiString file = FromOsPath(ToOsPath(FileName));
    if (Lock.Damage().empty())
        Application->MessageBox("Plik " + file +
                                    " jest właśnie zapisywany przez innego użytkownika. Zmiany pozostają na ekranie; "
                                    "spróbuj zapisać je ponownie za chwilę.",
                                "UWAGA !!!", MB_OK | MB_ICONINFORMATION);
    else
        Application->MessageBox("Plik " + file +
                                    " nie może zostać zapisany, bo nie można go zablokować przed zapisem innych "
                                    "użytkowników: plik blokady " +
                                    Lock.LockFileName() + " " + Lock.Damage() +
                                    ".\r\rZmiany pozostają na ekranie. Popraw lub usuń plik blokady (program utworzy "
                                    "go ponownie) i zapisz je jeszcze raz.",
                                "BŁĄD !!!", MB_OK | MB_ICONERROR);
}

// The lock taken, or the message why not.
bool TakeOrSay(TSharedFileLock& Lock, const AnsiString& FileName)
{
    if (Lock.Take())
        return true;
    SayNotLocked(FileName, Lock);
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

// ---------------------------------------------------------------- TSharedFileLock

// The check of every rename of the program: a file of a lock taken by this
// process is renamed over only while the lock holds.
struct TSharedFileLockCheck {
    static bool BeforeRename(const std::string& TmpOs, const std::string& TargetOs)
    {
        std::vector<TSharedFileLock*> locks;
        {
            std::lock_guard<std::mutex> hold(TakenMutex);
            for (TSharedFileLock* l : TakenLocks())
                if (l->FTarget == TargetOs)
                    locks.push_back(l);
        }
        for (TSharedFileLock* l : locks)
            if (!l->HoldsForRename(TmpOs))
                return false;
        return true;
    }
};

namespace {
[[maybe_unused]] const bool RenamesChecked = (SetReplaceCheckOs(TSharedFileLockCheck::BeforeRename), true);
}

TSharedFileLock::TSharedFileLock(const AnsiString& FileName)
    : FFileName(FileName),
      // Beside the file a link names: where the save replaces it.
      FTarget(ResolveLinksOs(ToOsPath(FileName)))
{
    const std::size_t slash = FTarget.rfind('/');
    FLockFile = (slash == std::string::npos ? std::string() : FTarget.substr(0, slash + 1)) + LockFileOfFolder;
}

TSharedFileLock::~TSharedFileLock()
{
    Release();
}

AnsiString TSharedFileLock::LockFileName() const
{
    return FromOsPath(FLockFile);
}

bool TSharedFileLock::Take()
{
    if (FTaken)
        return true;
    FDamage.clear();
    const TTake t = WaitWhileBusy([this] { return TryLock(FLockFile, FDamage); });
    if (t != TTake::Taken)
        return t == TTake::None;
    FTaken = true;
    FLockId = Held()[FLockFile].Id;
    FFileId = IdAt(FTarget, true);
    {
        std::lock_guard<std::mutex> hold(TakenMutex);
        TakenLocks().push_back(this);
    }
    RemoveLeftReplacementsOs(FTarget);
    return true;
}

void TSharedFileLock::Release()
{
    if (!FTaken)
        return;
    FTaken = false;
    {
        std::lock_guard<std::mutex> hold(TakenMutex);
        std::erase(TakenLocks(), this);
    }
    Unlock(FLockFile);
}

bool TSharedFileLock::HoldsForRename(const std::string& TmpOs)
{
    THeldLock& held = Held()[FLockFile];
    const TFileId atName = IdAt(FLockFile, false);
    if (held.Fd < 0 || !SameFile(held.Id, FLockId) || !SameFile(atName, FLockId)) {
        // The lock file was removed or replaced since the lock was taken: another
        // login's save may have gone on beside this one. The lock is taken again on
        // the file at the name, and the file looked at again.
        if (held.Fd >= 0 && !SameFile(atName, held.Id)) {
            ::close(held.Fd);
            held.Fd = -1;
        }
        FDamage.clear();
        const TTake t = held.Fd >= 0 ? TTake::Taken : WaitWhileBusy([&] {
            return LockAt(FLockFile, held.Fd, held.Id, FDamage);
        });
        if (t == TTake::Busy || t == TTake::Damaged) {
            Release();
            SayNotLocked(FFileName, *this);
            return false;
        }
        FLockId = held.Id;
        if (!(IdAt(FTarget, true) == FFileId)) {
            Release();
            Application->MessageBox("Plik blokady " + LockFileName() +
                                        " został usunięty lub podmieniony w czasie zapisu pliku " +
                                        FromOsPath(ToOsPath(FFileName)) +
                                        ", a inny użytkownik zapisał w tym czasie ten plik. Zmiany pozostają na "
                                        "ekranie; zapisz je ponownie.",
                                    "BŁĄD !!!", MB_OK | MB_ICONERROR);
            return false;
        }
    }
    // What the file is once renamed: the next rename under this lock finds it so.
    FFileId = IdAt(TmpOs, false);
    return true;
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
    if (!lock.Take()) {
        if (!lock.Damage().empty())
            SayNotLocked(FileName, lock);
        return false;
    }
    if (!(Missing ? Missing() : !FileExists(FileName)))
        return false;
    Write();
    return true;
}
