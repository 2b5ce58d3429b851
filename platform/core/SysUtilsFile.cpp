// Paths and files. Program paths are Windows-1250 with "\" or "/"; at the
// system boundary they become UTF-8 with "/", and a component that does not
// exist as given is looked up case-insensitively in its folder, as Windows
// finds "default.dat" for "Default.dat".
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform/core/CodePage.h"
#include "platform/core/FileBytes.h"
#include "platform/core/SysUtils.h"

namespace {

bool IsPathDelim(char c) { return c == '\\' || c == '/'; }

// The ":" of a drive ("C:") ends a path part only in the drive's place, at the
// start; anywhere else it is a character of the name ("Skala_1:10.txt").
bool IsDriveColonAt(const AnsiString& name, size_t i)
{
    return i == 1 && name.size() > 1 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

// The 1-based place of the last path delimiter, 0 when there is none.
int LastPathDelimiter(const AnsiString& name)
{
    int i = LastDelimiter("\\/", name);
    if (i == 0 && IsDriveColonAt(name, 1)) i = 2;
    return i;
}

// The 1-based place of the last "." of the name part, 0 when it has none.
int ExtensionDot(const AnsiString& name)
{
    int i = LastDelimiter(".\\/", name);
    if (i == 0 || name[static_cast<size_t>(i - 1)] != '.') return 0;
    return i > LastPathDelimiter(name) ? i : 0;
}

bool Exists(const std::string& os)
{
    struct stat st;
    return !os.empty() && ::lstat(os.c_str(), &st) == 0;
}

std::string Join(const std::string& base, const std::string& comp)
{
    if (base.empty()) return comp;
    if (base.back() == '/') return base + comp;
    return base + "/" + comp;
}

// The entry of folder `dirOs` whose name equals `compUtf8` up to case (Polish
// rules), or "" when there is none. The first in byte order wins when the
// folder holds several.
std::string FindCaseVariant(const std::string& dirOs, const std::string& compUtf8)
{
    DIR* d = ::opendir(dirOs.empty() ? "." : dirOs.c_str());
    if (!d) return std::string();
    const AnsiString want = AnsiUpperCase(Utf8ToAnsi(compUtf8));
    std::string best;
    while (dirent* e = ::readdir(d)) {
        // A name that is the program's text has one byte there for each
        // character: one of another length cannot match, and needs no converting.
        std::size_t chars = 0;
        for (const char* c = e->d_name; *c; ++c)
            chars += (static_cast<unsigned char>(*c) & 0xC0) != 0x80;
        if (chars != want.size()) continue;
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        AnsiString a = Utf8ToAnsi(name);
        if (AnsiToUtf8(a) != name) continue;   // not representable in the program's text
        if (AnsiUpperCase(a) == want && (best.empty() || name < best)) best = name;
    }
    ::closedir(d);
    return best;
}

TDateTime UnixToDateTime(const struct timespec& ts)
{
    struct tm tm;
    time_t t = ts.tv_sec;
    ::localtime_r(&t, &tm);
    TDateTime d = 0, tt = 0;
    TryEncodeDate(static_cast<Word>(tm.tm_year + 1900), static_cast<Word>(tm.tm_mon + 1), static_cast<Word>(tm.tm_mday), d);
    TryEncodeTime(static_cast<Word>(tm.tm_hour), static_cast<Word>(tm.tm_min), static_cast<Word>(std::min(tm.tm_sec, 59)),
                  static_cast<Word>(ts.tv_nsec / 1000000), tt);
    return d + tt;
}

bool StatOf(const AnsiString& name, struct stat& st)
{
    std::string os = ToOsPath(name);
    return !os.empty() && ::stat(os.c_str(), &st) == 0;
}

AnsiString StripTrailing(const AnsiString& s)
{
    AnsiString r = s;
    while (r.size() > 1 && IsPathDelim(r.back())) r.pop_back();
    return r;
}

}   // namespace

std::string ToOsPath(const AnsiString& name)
{
    std::string path = AnsiToUtf8(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || Exists(path)) return path;

    const bool absolute = path[0] == '/';
    const bool trailing = path.size() > 1 && path.back() == '/';
    std::string base = absolute ? "/" : "";
    bool missing = false;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) j = path.size();
        std::string comp = path.substr(i, j - i);
        i = j + 1;
        if (comp.empty()) continue;
        std::string candidate = Join(base, comp);
        if (!missing && comp != "." && comp != ".." && !Exists(candidate)) {
            std::string variant = FindCaseVariant(base, comp);
            if (!variant.empty()) candidate = Join(base, variant);
            else missing = true;   // nothing below can exist either
        }
        base = candidate;
    }
    if (trailing && (base.empty() || base.back() != '/')) base += '/';
    return base;
}

AnsiString FromOsPath(const std::string& utf8) { return Utf8ToAnsi(utf8); }

// ---------------------------------------------------------------- path text

AnsiString ExtractFilePath(const AnsiString& name)
{
    return name.substr(0, static_cast<size_t>(LastPathDelimiter(name)));
}

AnsiString ExtractFileDir(const AnsiString& name)
{
    int i = LastPathDelimiter(name);
    // A root ("\", "C:\") keeps its delimiter.
    if (i > 1 && IsPathDelim(name[static_cast<size_t>(i - 1)]) && !IsPathDelim(name[static_cast<size_t>(i - 2)]) &&
        !IsDriveColonAt(name, static_cast<size_t>(i - 2)))
        --i;
    return name.substr(0, static_cast<size_t>(i));
}

AnsiString ExtractFileName(const AnsiString& name)
{
    return name.substr(static_cast<size_t>(LastPathDelimiter(name)));
}

AnsiString ExtractFileExt(const AnsiString& name)
{
    int i = ExtensionDot(name);
    return i == 0 ? AnsiString() : name.substr(static_cast<size_t>(i - 1));
}

AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext)
{
    int i = ExtensionDot(name);
    return i == 0 ? name + ext : name.substr(0, static_cast<size_t>(i - 1)) + ext;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& s)
{
    if (!s.empty() && IsPathDelim(s.back())) return s;
    const bool slash = s.find('/') != AnsiString::npos && s.find('\\') == AnsiString::npos;
    return s + (slash ? '/' : '\\');
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& s)
{
    if (!s.empty() && IsPathDelim(s.back())) return s.substr(0, s.size() - 1);
    return s;
}

AnsiString ExpandFileName(const AnsiString& name)
{
    if (name.empty()) return AnsiString();
    AnsiString full = name;
    std::replace(full.begin(), full.end(), '\\', '/');
    if (full[0] != '/') full = GetCurrentDir() + "/" + full;
    const bool trailing = full.back() == '/';
    std::vector<AnsiString> parts;
    size_t i = 0;
    while (i <= full.size()) {
        size_t j = full.find('/', i);
        if (j == AnsiString::npos) j = full.size();
        AnsiString comp = full.substr(i, j - i);
        i = j + 1;
        if (comp.empty() || comp == ".") continue;
        if (comp == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(comp);
    }
    AnsiString r;
    for (auto& p : parts) r += "/" + p;
    if (r.empty() || trailing) r += "/";
    return r;
}

// ---------------------------------------------------------------- files

bool FileExists(const AnsiString& name)
{
    struct stat st;
    return StatOf(name, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& name)
{
    struct stat st;
    return StatOf(name, st) && S_ISDIR(st.st_mode);
}

// ---------------------------------------------------------------- folders shared with a group
namespace {
constexpr mode_t SharedFileMode = 0664, SharedFolderMode = 02775;

// The folder a path lies in: "." for a bare name, "/" for a name at the root.
std::string FolderOfOs(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

bool IsSharedFolderOs(const std::string& DirOs)
{
    struct stat st;
    return ::stat(DirOs.empty() ? "." : DirOs.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISGID);
}

int CreateFileOs(const std::string& osPath, int Flags)
{
    const int fd = ::open(osPath.c_str(), Flags | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 && IsSharedFolderOs(FolderOfOs(osPath))) ::fchmod(fd, SharedFileMode);
    return fd;
}

int OpenOrCreateFileOs(const std::string& osPath, int Flags)
{
    // A link to a file not there yet makes the file it names.
    const std::string path = ResolveLinksOs(osPath);
    // Another process may make or remove the file in between: the other way is tried again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = CreateFileOs(path, Flags);
        if (fd >= 0 || errno != EEXIST) return fd;
        fd = ::open(path.c_str(), Flags | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT) return fd;
    }
    return -1;
}

bool CreateFolderOs(const std::string& osPath)
{
    if (::mkdir(osPath.c_str(), 0777) != 0) return false;
    // The folder's group and the set-group-ID bit come with the bit of the folder it is made in.
    if (IsSharedFolderOs(FolderOfOs(osPath))) ::chmod(osPath.c_str(), SharedFolderMode);
    return true;
}

bool TakeReplacedFileModeOs(int Fd, const std::string& Target)
{
    struct stat st;
    if (::stat(Target.c_str(), &st) == 0) {
        // The group first: a change of group may clear the set-ID bits that the mode then gives.
        struct stat own;
        if (::fstat(Fd, &own) == 0 && own.st_gid != st.st_gid)
            (void)!::fchown(Fd, static_cast<uid_t>(-1), st.st_gid);   // a group the login is not in: its own
        ::fchmod(Fd, st.st_mode & 07777);
        return true;
    }
    if (!IsSharedFolderOs(FolderOfOs(Target))) return false;
    ::fchmod(Fd, SharedFileMode);
    return true;
}

// ---------------------------------------------------------------- temporary files of replacements
std::string ReplacementFileOs(const std::string& TargetOs, long Process, unsigned Number)
{
    const size_t slash = TargetOs.rfind('/');
    const std::string base = slash == std::string::npos ? TargetOs : TargetOs.substr(slash + 1);
    return FolderOfOs(TargetOs) + "/." + base + ".tmp" + std::to_string(Process) + "-" + std::to_string(Number);
}

int RemoveLeftReplacementsOs(const std::string& TargetOs)
{
    // The names ReplacementFileOs gives: ".<name>.tmp", digits, "-", digits.
    const std::string dir = FolderOfOs(TargetOs);
    std::string start = ReplacementFileOs(TargetOs, 0, 0);
    start = start.substr(start.rfind('/') + 1);
    start.resize(start.size() - 3);   // "0-0"
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    const TDateTime hourAgo = Now() - 1.0 / 24;
    int removed = 0;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.compare(0, start.size(), start) != 0) continue;
        const std::string rest = name.substr(start.size());
        const size_t dash = rest.find('-');
        const auto digits = [](const std::string& t) {
            return !t.empty() && t.size() < 10 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        if (dash == std::string::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(rest.substr(0, dash)));
        const std::string path = dir + "/" + name;
        struct stat st;
        if (pid <= 0 || (::kill(pid, 0) == 0 || errno != ESRCH) || ::lstat(path.c_str(), &st) != 0 ||
            !S_ISREG(st.st_mode) || UnixToDateTime(st.st_mtim) > hourAgo)
            continue;
        removed += ::unlink(path.c_str()) == 0;
    }
    ::closedir(d);
    return removed;
}

bool CreateDir(const AnsiString& dir)
{
    std::string os = ToOsPath(StripTrailing(dir));
    return !os.empty() && CreateFolderOs(os);
}

bool ForceDirectories(const AnsiString& dir)
{
    std::string os = ToOsPath(StripTrailing(dir));
    if (os.empty()) return false;
    for (size_t p = 1; p <= os.size(); ++p) {
        if (p < os.size() && os[p] != '/') continue;
        std::string prefix = os.substr(0, p);
        struct stat st;
        if (::stat(prefix.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false;
            continue;
        }
        if (!CreateFolderOs(prefix) && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(os.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveDir(const AnsiString& dir)
{
    std::string os = ToOsPath(StripTrailing(dir));
    return !os.empty() && ::rmdir(os.c_str()) == 0;
}

bool DeleteFile(const AnsiString& name)
{
    std::string os = ToOsPath(name);
    struct stat st;
    if (os.empty() || ::lstat(os.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(os.c_str()) == 0;
}

bool RenameFile(const AnsiString& oldName, const AnsiString& newName)
{
    std::string from = ToOsPath(oldName);
    struct stat sf;
    if (from.empty() || ::lstat(from.c_str(), &sf) != 0) return false;
    AnsiString newFile = ExtractFileName(newName);
    if (newFile.empty()) return false;
    AnsiString newDir = ExtractFilePath(newName);
    std::string dirOs = newDir.empty() ? std::string() : ToOsPath(newDir);
    std::string leaf = AnsiToUtf8(newFile);
    std::string to = Join(dirOs, leaf);
    // As on Windows an existing target is not replaced, but the case of a
    // name may change ("a.txt" -> "A.txt").
    std::string existing = Exists(to) ? to : std::string();
    if (existing.empty()) {
        std::string variant = FindCaseVariant(dirOs, leaf);
        if (!variant.empty()) existing = Join(dirOs, variant);
    }
    if (!existing.empty()) {
        struct stat se;
        if (::lstat(existing.c_str(), &se) != 0 || se.st_ino != sf.st_ino || se.st_dev != sf.st_dev) return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists)
{
    std::string src = ToOsPath(from);
    std::string dst = ToOsPath(to);
    if (src.empty() || dst.empty()) return false;
    struct stat st;
    if (::stat(src.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    struct stat sd;
    if (::stat(dst.c_str(), &sd) == 0) {
        if (failIfExists || S_ISDIR(sd.st_mode)) return false;
    }
    // A linked target is replaced where it really is; a read-only one is not replaced.
    dst = ResolveLinksOs(dst);
    if (!MayReplaceOs(dst)) return false;
    int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    // Written beside the target and put in its place only when complete.
    std::string tmp = dst + ".copyXXXXXX";
    int out = ::mkstemp(tmp.data());
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) { ok = false; break; }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) { ok = false; break; }
            done += w;
        }
        if (!ok) break;
    }
    ::close(in);
    if (ok) {
        // A copy that replaces a file takes its group and mode; a new one the source's, but in a
        // shared folder the mode of a new file there.
        if (!TakeReplacedFileModeOs(out, dst)) ::fchmod(out, st.st_mode & 07777);
        struct timespec times[2] = {st.st_atim, st.st_mtim};   // the copy keeps the time of writing
        ::futimens(out, times);
    }
    if (ok && !SyncToDiskOs(out)) ok = false;
    if (::close(out) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), dst.c_str()) != 0) ok = false;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

namespace {
// A file time as the DOS date and time of the local clock (1980 to 2107).
int DosFileTime(const struct timespec& ts)
{
    struct tm tm;
    ::localtime_r(&ts.tv_sec, &tm);
    int year = tm.tm_year + 1900;
    if (year < 1980) year = 1980;
    if (year > 2107) year = 2107;
    return ((year - 1980) << 25) | ((tm.tm_mon + 1) << 21) | (tm.tm_mday << 16) | (tm.tm_hour << 11) |
           (tm.tm_min << 5) | (std::min(tm.tm_sec, 59) / 2);
}
}

int FileAge(const AnsiString& name)
{
    struct stat st;
    if (!StatOf(name, st)) return -1;
    return DosFileTime(st.st_mtim);
}

TDateTime FileDateToDateTime(int fileDate)
{
    unsigned u = static_cast<unsigned>(fileDate);
    TDateTime d = 0, t = 0;
    if (!TryEncodeDate(static_cast<Word>((u >> 25) + 1980), static_cast<Word>((u >> 21) & 15), static_cast<Word>((u >> 16) & 31), d))
        return 0;
    TryEncodeTime(static_cast<Word>((u >> 11) & 31), static_cast<Word>((u >> 5) & 63), static_cast<Word>((u & 31) * 2), 0, t);
    return d + t;
}

bool FileAgeDateTime(const AnsiString& name, TDateTime& dt)
{
    struct stat st;
    if (!StatOf(name, st)) return false;
    dt = UnixToDateTime(st.st_mtim);
    return true;
}

Int64 FileSizeOf(const AnsiString& name)
{
    struct stat st;
    if (!StatOf(name, st) || S_ISDIR(st.st_mode)) return -1;
    return static_cast<Int64>(st.st_size);
}

AnsiString GetCurrentDir()
{
    std::string buf(4096, '\0');
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return AnsiString();
        buf.resize(buf.size() * 2);
    }
    return FromOsPath(buf.c_str());
}

bool SetCurrentDir(const AnsiString& dir)
{
    std::string os = ToOsPath(dir);
    return !os.empty() && ::chdir(os.c_str()) == 0;
}

// The system's temporary folder with a trailing "/" (program paths may use
// "/" as well as "\").
AnsiString GetTempDir()
{
    std::string dir;
    if (const char* t = std::getenv("TMPDIR")) {
        struct stat st;
        if (*t && ::stat(t, &st) == 0 && S_ISDIR(st.st_mode)) dir = t;
    }
    if (dir.empty()) dir = "/tmp";
    if (dir.back() != '/') dir += '/';
    return FromOsPath(dir);
}

bool MatchesMask(const AnsiString& name, const AnsiString& mask)
{
    if (mask == "*" || mask == "*.*") return true;
    const AnsiString n = AnsiUpperCase(name), m = AnsiUpperCase(mask);
    size_t i = 0, j = 0, starJ = AnsiString::npos, starI = 0;
    while (i < n.size()) {
        if (j < m.size() && (m[j] == '?' || m[j] == n[i])) {
            ++i;
            ++j;
        } else if (j < m.size() && m[j] == '*') {
            starJ = j++;
            starI = i;
        } else if (starJ != AnsiString::npos) {
            j = starJ + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (j < m.size() && m[j] == '*') ++j;
    return j == m.size();
}

std::vector<TSearchEntry> ListDirectory(const AnsiString& dir, const AnsiString& mask)
{
    std::vector<TSearchEntry> out;
    std::string os = dir.empty() ? std::string(".") : ToOsPath(dir);
    DIR* d = ::opendir(os.c_str());
    if (!d) return out;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        TSearchEntry entry;
        entry.Name = FromOsPath(name);
        if (!MatchesMask(entry.Name, mask)) continue;
        struct stat st;
        if (::stat(Join(os, name).c_str(), &st) == 0) {
            entry.Directory = S_ISDIR(st.st_mode);
            entry.Size = entry.Directory ? 0 : static_cast<Int64>(st.st_size);
            entry.Time = UnixToDateTime(st.st_mtim);
        }
        out.push_back(std::move(entry));
    }
    ::closedir(d);
    // The order of a Windows folder listing: by name, case folded.
    std::sort(out.begin(), out.end(), [](const TSearchEntry& a, const TSearchEntry& b) {
        return AnsiToWide(AnsiUpperCase(a.Name)) < AnsiToWide(AnsiUpperCase(b.Name));
    });
    return out;
}

namespace {
AnsiString TestLoginName;
}

void SetTestLoginName(const AnsiString& Name) { TestLoginName = Name; }

AnsiString GetLoginName()
{
    if (!TestLoginName.empty())
        return TestLoginName;
    struct passwd pw;
    struct passwd* res = nullptr;
    char buf[4096];
    if (::getpwuid_r(::geteuid(), &pw, buf, sizeof buf, &res) == 0 && res && res->pw_name && *res->pw_name)
        return FromOsPath(res->pw_name);
    const char* user = std::getenv("USER");
    return user ? FromOsPath(user) : AnsiString();
}

AnsiString GetEnvironmentVariable(const AnsiString& name)
{
    const char* v = std::getenv(AnsiToUtf8(name).c_str());
    return v ? FromOsPath(v) : AnsiString();
}

// ---------------------------------------------------------------- FindFirst, FindNext, FindClose
struct TFindState {
    std::vector<TSearchRec> Entries;
    size_t Next = 0;
};

namespace {
// The attributes of a folder entry as Windows gives them (the entry itself, not a link's target
// unless FollowLinks): hidden for a dot name, read-only without write permission.
bool EntryOf(const std::string& dirOs, const std::string& name, bool followLinks, TSearchRec& r)
{
    std::string full = Join(dirOs, name);
    struct stat st;
    if (::lstat(full.c_str(), &st) != 0)
        return false;
    int attr = 0;
    if (S_ISLNK(st.st_mode)) {
        attr |= faSymLink;
        struct stat target;
        if (followLinks && ::stat(full.c_str(), &target) == 0)
            st = target;
    }
    if (S_ISDIR(st.st_mode))
        attr |= faDirectory;
    else if (S_ISREG(st.st_mode))
        attr |= faArchive;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..")
        attr |= faHidden;
    if (::access(full.c_str(), W_OK) != 0 && errno != ENOENT)
        attr |= faReadOnly;
    if (attr == 0)
        attr = faNormal;
    r.Name = FromOsPath(name);
    r.Attr = attr;
    r.Size = (attr & faDirectory) ? 0 : static_cast<Int64>(st.st_size);
    r.Time = DosFileTime(st.st_mtim);
    r.TimeStamp = UnixToDateTime(st.st_mtim);
    return true;
}
}

int FindFirst(const AnsiString& Path, int Attr, TSearchRec& F, bool FollowLinks)
{
    FindClose(F);
    AnsiString dir = ExtractFilePath(Path), mask = ExtractFileName(Path);
    if (mask.empty())
        mask = "*";
    std::string os = dir.empty() ? std::string(".") : ToOsPath(dir);
    DIR* d = ::opendir(os.c_str());
    if (!d)
        return errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED;
    F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    auto state = std::make_shared<TFindState>();
    while (dirent* e = ::readdir(d)) {
        TSearchRec r;
        if (!MatchesMask(FromOsPath(e->d_name), mask) || !EntryOf(os, e->d_name, FollowLinks, r))
            continue;
        if (r.Attr & F.ExcludeAttr)
            continue;
        state->Entries.push_back(std::move(r));
    }
    ::closedir(d);
    // A Windows folder's order: "." and ".." first, then by name, case folded.
    std::sort(state->Entries.begin(), state->Entries.end(), [](const TSearchRec& a, const TSearchRec& b) {
        bool da = a.Name == "." || a.Name == "..", db = b.Name == "." || b.Name == "..";
        if (da != db)
            return da;
        return AnsiToWide(AnsiUpperCase(a.Name)) < AnsiToWide(AnsiUpperCase(b.Name));
    });
    F.FindHandle = state;
    int rc = FindNext(F);
    if (rc != 0) {
        FindClose(F);
        return ERROR_FILE_NOT_FOUND;
    }
    return 0;
}

int FindNext(TSearchRec& F)
{
    if (!F.FindHandle || F.FindHandle->Next >= F.FindHandle->Entries.size())
        return ERROR_NO_MORE_FILES;
    std::shared_ptr<TFindState> state = F.FindHandle;
    int exclude = F.ExcludeAttr;
    F = state->Entries[state->Next++];
    F.ExcludeAttr = exclude;
    F.FindHandle = state;
    return 0;
}

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }
