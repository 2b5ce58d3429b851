// Objects, persistent objects, streams and whole-file helpers.
#include "platform/core/Classes.h"

#include <cxxabi.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <typeinfo>

#include "platform/core/CodePage.h"
#include "platform/core/FileBytes.h"
#include "platform/core/Parallel.h"

// ---------------------------------------------------------------- objects
AnsiString TObject::ClassName() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    AnsiString name = (status == 0 && demangled) ? demangled : mangled;
    std::free(demangled);
    return name;
}

void TPersistent::Assign(TPersistent* Source)
{
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + (Dest ? Dest->ClassName() : "nil"));
}

// ---------------------------------------------------------------- whole files
namespace {
// A file opened for reading, its status in St; -1 when it cannot be opened
// or is a folder.
int OpenToRead(const std::string& osPath, struct stat& St)
{
    int fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &St) != 0 || S_ISDIR(St.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}
}  // namespace

bool ReadWholeFileOs(const std::string& osPath, std::string& data)
{
    struct stat st {};
    const int fd = OpenToRead(osPath, st);
    if (fd < 0)
        return false;
    // Read straight into the string, which grows when the file does while it is read.
    std::string out(static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1, '\0');
    size_t got = 0;
    for (;;) {
        if (got == out.size())
            out.resize(out.size() * 2);
        ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    out.resize(got);
    data.swap(out);
    return true;
}

namespace {
// The hash of the bytes of ACount views one after the other, read in place
// but for the few words that two views share.
std::uint64_t HashRun(const std::string_view* AViews, std::size_t ACount, std::uint64_t Seed)
{
    constexpr std::uint64_t K0 = 0x9E3779B97F4A7C15u, K1 = 0xC2B2AE3D27D4EB4Fu, K2 = 0xFF51AFD7ED558CCDu;
    auto word = [](const char* p) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        return w;
    };
    auto step = [](std::uint64_t h, std::uint64_t w, std::uint64_t k) {
        h = (h ^ w) * k;
        return h ^ (h >> 29);
    };
    std::size_t n = 0;
    for (std::size_t i = 0; i < ACount; ++i)
        n += AViews[i].size();
    std::size_t v = 0, at = 0, left = n;
    // The next ASize bytes: in place where the view at hand holds them all, else joined.
    char joined[32];
    auto take = [&](std::size_t ASize) -> const char* {
        std::size_t got = 0;
        while (got < ASize) {
            const std::size_t here = AViews[v].size() - at;
            if (here == 0) {
                ++v;
                at = 0;
                continue;
            }
            if (got == 0 && here >= ASize) {
                at += ASize;
                return AViews[v].data() + at - ASize;
            }
            const std::size_t k = std::min(ASize - got, here);
            std::memcpy(joined + got, AViews[v].data() + at, k);
            got += k;
            at += k;
        }
        return joined;
    };
    std::uint64_t h = Seed ^ (n * K0);
    if (left >= 32) {
        std::uint64_t lane[4] = {h ^ K1, h ^ K2, h + K0, h - K1};
        auto block = [&](const char* p) {
            for (int i = 0; i < 4; ++i)
                lane[i] = step(lane[i], word(p + 8 * i), i % 2 ? K1 : K2);
        };
        while (left >= 32) {
            // The whole blocks the view at hand holds, then one that the next view completes.
            const std::size_t blocks = std::min(AViews[v].size() - at, left) / 32;
            const char* p = AViews[v].data() + at;
            for (std::size_t b = 0; b < blocks; ++b, p += 32)
                block(p);
            at += 32 * blocks;
            left -= 32 * blocks;
            if (left >= 32) {
                block(take(32));
                left -= 32;
            }
        }
        for (int i = 0; i < 4; ++i)
            h = step(h, lane[i], K0);
    }
    for (; left >= 8; left -= 8)
        h = step(h, word(take(8)), K2);
    if (left > 0) {
        std::uint64_t w = 0;
        std::memcpy(&w, take(left), left);
        h = step(h, w, K1);
    }
    h = (h ^ (h >> 32)) * K2;
    return h ^ (h >> 31);
}

std::uint64_t HashRun(std::string_view Bytes, std::uint64_t Seed)
{
    return HashRun(&Bytes, 1, Seed);
}

// Bytes beyond one piece are hashed a piece at a time, each piece with its
// own seed, and the hashes of the pieces hashed in turn.
constexpr std::size_t HashPiece = std::size_t(1) << 20;

std::uint64_t PieceSeed(std::uint64_t Seed, std::size_t Index)
{
    return Seed + 0x9E3779B97F4A7C15u * (Index + 1);
}

std::uint64_t HashOfPieces(const std::vector<std::uint64_t>& Pieces, std::size_t Size, std::uint64_t Seed)
{
    return HashRun(std::string_view(reinterpret_cast<const char*>(Pieces.data()), Pieces.size() * sizeof(std::uint64_t)),
                   Seed ^ Size);
}
}  // namespace

std::uint64_t HashBytes(std::string_view Bytes, std::uint64_t Seed)
{
    if (Bytes.size() <= HashPiece)
        return HashRun(Bytes, Seed);
    return HashBytes(std::vector<std::string_view>{Bytes}, Seed);
}

std::uint64_t HashBytes(const std::vector<std::string_view>& Runs, std::uint64_t Seed)
{
    // Where each run begins in the bytes the runs make one after the other.
    std::vector<std::size_t> starts(Runs.size() + 1, 0);
    for (std::size_t i = 0; i < Runs.size(); ++i)
        starts[i + 1] = starts[i] + Runs[i].size();
    const std::size_t n = starts.back();
    if (n <= HashPiece)
        return HashRun(Runs.data(), Runs.size(), Seed);
    std::vector<std::uint64_t> pieces((n + HashPiece - 1) / HashPiece);
    RunInParts(pieces.size(), PartsFor(pieces.size(), 2), [&](int, std::size_t From, std::size_t To) {
        std::vector<std::string_view> views;
        for (std::size_t i = From; i < To; ++i) {
            // The parts of the runs that piece i covers.
            const std::size_t begin = i * HashPiece, end = std::min(n, begin + HashPiece);
            views.clear();
            for (std::size_t r = std::size_t(std::upper_bound(starts.begin(), starts.end(), begin) - starts.begin()) - 1;
                 r < Runs.size() && starts[r] < end; ++r) {
                const std::size_t from = std::max(begin, starts[r]), to = std::min(end, starts[r + 1]);
                views.push_back(Runs[r].substr(from - starts[r], to - from));
            }
            pieces[i] = HashRun(views.data(), views.size(), PieceSeed(Seed, i));
        }
    });
    return HashOfPieces(pieces, n, Seed);
}

bool HashFileOs(const std::string& osPath, std::size_t& Size, std::uint64_t& Hash)
{
    struct stat st {};
    const int fd = OpenToRead(osPath, st);
    if (fd < 0)
        return false;
    // A piece at a time into two buffers: the file is never held whole, and
    // a full piece is hashed once it is known whether another follows.
    auto fill = [fd](char* p, std::size_t& Got) {
        Got = 0;
        while (Got < HashPiece) {
            const ssize_t r = ::read(fd, p + Got, HashPiece - Got);
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0)
                return false;
            if (r == 0)
                break;
            Got += std::size_t(r);
        }
        return true;
    };
    std::unique_ptr<char[]> buffers[2] = {std::unique_ptr<char[]>(new char[HashPiece]),
                                          std::unique_ptr<char[]>(new char[HashPiece])};
    std::vector<std::uint64_t> pieces;
    std::size_t got[2] = {0, 0}, total = 0;
    bool ok = fill(buffers[0].get(), got[0]);
    for (int cur = 0; ok; cur = 1 - cur) {
        if (got[cur] < HashPiece && pieces.empty()) {
            total = got[cur];
            Hash = HashRun(std::string_view(buffers[cur].get(), got[cur]), 0);
            break;
        }
        ok = got[cur] == HashPiece ? fill(buffers[1 - cur].get(), got[1 - cur]) : (got[1 - cur] = 0, true);
        if (!ok)
            break;
        if (pieces.empty() && got[1 - cur] == 0) {
            total = got[cur];
            Hash = HashRun(std::string_view(buffers[cur].get(), got[cur]), 0);
            break;
        }
        pieces.push_back(HashRun(std::string_view(buffers[cur].get(), got[cur]), PieceSeed(0, pieces.size())));
        total += got[cur];
        if (got[1 - cur] == 0 || got[cur] < HashPiece) {
            Hash = HashOfPieces(pieces, total, 0);
            break;
        }
    }
    ::close(fd);
    Size = total;
    return ok;
}

std::string ResolveLinksOs(const std::string& osPath)
{
    std::string path = osPath;
    for (int hop = 0; hop < 40; ++hop) {   // as many links as the system follows
        char target[4096];
        ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || size_t(n) >= sizeof target)
            return path;
        std::string next(target, size_t(n));
        if (next[0] != '/') {   // relative to the link's own folder
            size_t slash = path.rfind('/');
            if (slash != std::string::npos)
                next = path.substr(0, slash + 1) + next;
        }
        path = next;
    }
    return path;
}

bool MayReplaceOs(const std::string& osPath)
{
    struct stat st {};
    if (::stat(osPath.c_str(), &st) != 0)
        return true;
    // No write permission at all holds for root too.
    if ((st.st_mode & 0222) == 0 || ::access(osPath.c_str(), W_OK) != 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

namespace {
// The temporary file beside a target that replaces it once written: the target's links
// followed, a name of its own in the target's folder, the target's group and mode (a new
// target's mode in its folder). False (errno set, or
// 0 for a folder or a name without a file part) when there is none to be had.
bool OpenReplacement(const std::string& linkPath, int& Fd, std::string& Tmp, std::string& Target)
{
    static std::atomic<unsigned> counter{0};
    Fd = -1;
    Target = ResolveLinksOs(linkPath);
    if (!MayReplaceOs(Target))
        return false;
    if (Target.empty() || Target.back() == '/')
        return false;
    struct stat st {};
    if (::stat(Target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return false;
    for (int attempt = 0; attempt < 100 && Fd < 0; ++attempt) {
        Tmp = ReplacementFileOs(Target, ::getpid(), counter++);
        Fd = ::open(Tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (Fd < 0 && errno != EEXIST)
            return false;
    }
    if (Fd < 0)
        return false;
    TakeReplacedFileModeOs(Fd, Target);
    return true;
}

bool WriteAll(int Fd, const char* p, size_t left)
{
    while (left > 0) {
        ssize_t n = ::write(Fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

std::mutex ReplaceCheckMutex;
TReplaceCheck& ReplaceCheck()
{
    static TReplaceCheck check;
    return check;
}

// Closes the temporary file and renames it over the target when all went well and the check set
// allows it; otherwise removes it (errno kept).
bool FinishReplacement(int Fd, const std::string& Tmp, const std::string& Target, bool Ok)
{
    if (Ok && !SyncToDiskOs(Fd))
        Ok = false;
    if (::close(Fd) != 0)
        Ok = false;
    if (Ok) {
        TReplaceCheck check;
        {
            std::lock_guard<std::mutex> hold(ReplaceCheckMutex);
            check = ReplaceCheck();
        }
        try {
            if (check && !check(Tmp, Target)) {
                Ok = false;
                errno = EAGAIN;
            }
        } catch (...) {
            ::unlink(Tmp.c_str());
            throw;
        }
    }
    if (Ok && ::rename(Tmp.c_str(), Target.c_str()) != 0)
        Ok = false;
    if (!Ok) {
        int err = errno;
        ::unlink(Tmp.c_str());
        errno = err;
    }
    return Ok;
}
}  // namespace

TReplaceCheck SetReplaceCheckOs(TReplaceCheck Check)
{
    std::lock_guard<std::mutex> hold(ReplaceCheckMutex);
    std::swap(ReplaceCheck(), Check);
    return Check;
}

bool SyncToDiskOs(int Fd)
{
    while (::fdatasync(Fd) != 0) {
        if (errno == EINTR)
            continue;
        // A file system that cannot sync (EINVAL, EROFS) has nothing to wait for.
        return errno == EINVAL || errno == EROFS;
    }
    return true;
}

bool WriteWholeFileOs(const std::string& linkPath, const std::string& data)
{
    int fd = -1;
    std::string tmp, target;
    if (!OpenReplacement(linkPath, fd, tmp, target))
        return false;
    return FinishReplacement(fd, tmp, target, WriteAll(fd, data.data(), data.size()));
}

namespace {
// "Cannot create file "name"", with the reason when access was denied.
[[noreturn]] void CreateError(const AnsiString& FileName, int Err)
{
    AnsiString text = "Cannot create file \"" + FileName + "\"";
    if (Err == EACCES || Err == EPERM || Err == EROFS)
        text += ". Access is denied";
    throw EFCreateError(text);
}
}  // namespace

void SaveBytesToFile(const AnsiString& FileName, const AnsiString& Bytes)
{
    errno = 0;
    if (!WriteWholeFileOs(ToOsPath(FileName), Bytes))
        CreateError(FileName, errno);
}

AnsiString SaveBytesToScratchFile(const AnsiString& Folder, const AnsiString& Prefix, const AnsiString& Suffix,
                                  const AnsiString& Bytes)
{
    std::string folder = ToOsPath(Folder);
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::string suffix = AnsiToUtf8(Suffix);
    std::string name = folder + AnsiToUtf8(Prefix) + "XXXXXX" + suffix;
    errno = 0;
    const int fd = ::mkostemps(name.data(), int(suffix.size()), O_CLOEXEC);   // mode 0600
    if (fd < 0)
        CreateError(FromOsPath(name), errno);
    bool ok = WriteAll(fd, Bytes.data(), Bytes.size());
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(name.c_str());
        CreateError(FromOsPath(name), err);
    }
    return FromOsPath(name);
}

TReplacingFile::TReplacingFile(const AnsiString& FileName) : FFileName(FileName)
{
    errno = 0;
    if (!OpenReplacement(ToOsPath(FileName), FFd, FTmp, FTarget))
        CreateError(FileName, errno);
}

TReplacingFile::~TReplacingFile()
{
    if (FFd >= 0)
        FinishReplacement(FFd, FTmp, FTarget, false);
}

void TReplacingFile::Write(std::string_view Bytes)
{
    errno = 0;
    if (FFd < 0 || !WriteAll(FFd, Bytes.data(), Bytes.size()))
        Fail();
    // The disk starts taking what is written while the rest is made, so the
    // sync before the rename waits for little.
    ::sync_file_range(FFd, off64_t(FWritten), off64_t(Bytes.size()), SYNC_FILE_RANGE_WRITE);
    FWritten += Bytes.size();
}

void TReplacingFile::Commit()
{
    errno = 0;
    const int fd = FFd;
    FFd = -1;
    if (fd < 0 || !FinishReplacement(fd, FTmp, FTarget, true))
        CreateError(FFileName, errno);
}

void TReplacingFile::Fail()
{
    const int err = errno;
    if (FFd >= 0)
        FinishReplacement(FFd, FTmp, FTarget, false);
    FFd = -1;
    CreateError(FFileName, err);
}

AnsiString LoadBytesFromFile(const AnsiString& FileName)
{
    AnsiString data;
    if (!ReadWholeFileOs(ToOsPath(FileName), data))
        throw EFOpenError("Cannot open file \"" + FileName + "\"");
    return data;
}

AnsiString LoadForeignTextFile(const AnsiString& FileName)
{
    TDecodedText decoded = DecodeForeignText(LoadBytesFromFile(FileName));
    if (decoded.Whole())
        return std::move(decoded.Text);
    const AnsiString file = "Plik \"" + FileName + "\" ";
    if (decoded.Undecodable != 0 || decoded.Nul != 0) {
        // Not text in the encoding it shows (a file cut short, say), or no text at all.
        const AnsiString what =
            decoded.Undecodable != 0 && (decoded.Nul == 0 || decoded.Undecodable <= decoded.Nul)
                ? "w wierszu " + IntToStr(decoded.Undecodable) + " są bajty, które w kodowaniu " +
                      decoded.Encoding + " nie tworzą znaku"
                : "w wierszu " + IntToStr(decoded.Nul) + " jest znak NUL (bajt zerowy)";
        throw EForeignTextError(file + "nie jest tekstem, który program umie odczytać: " + what +
                                ".\rZapisz go jako tekst (UTF-8, UTF-16 lub Windows-1250) i spróbuj ponownie.");
    }
    AnsiString list;
    for (std::size_t i = 0; i < decoded.Unheld.size() && i < 5; ++i)
        list += AnsiString(i ? ", " : "") + "U+" + IntToHex(int(decoded.Unheld[i].Code), 4) + " (wiersz " +
                IntToStr(decoded.Unheld[i].Line) + ")";
    if (decoded.Unheld.size() > 5)
        list += " ...";
    throw EForeignTextError(file + "zawiera znaki, których nie ma w stronie kodowej Windows-1250 programu: " +
                            list + ".\rZastąp je w pliku innymi znakami i spróbuj ponownie.");
}

// ---------------------------------------------------------------- TStream
void TStream::ReadBuffer(void* Buffer, Int64 Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

Int64 TStream::Position()
{
    return Seek(0, soFromCurrent);
}

void TStream::SetPosition(Int64 Pos)
{
    Seek(Pos, soFromBeginning);
}

Int64 TStream::Size()
{
    Int64 pos = Seek(0, soFromCurrent);
    Int64 size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    Int64 result = Count;
    std::vector<char> buf(static_cast<size_t>(std::min<Int64>(Count, 0xF000)) + 1);
    while (Count > 0) {
        Int64 n = std::min<Int64>(Count, static_cast<Int64>(buf.size()));
        Source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        Count -= n;
    }
    return result;
}

// ---------------------------------------------------------------- TMemoryStream
Int64 TMemoryStream::Read(void* Buffer, Int64 Count)
{
    Int64 size = static_cast<Int64>(FData.size());
    if (FPosition < 0 || Count <= 0 || FPosition >= size)
        return 0;
    Int64 n = std::min(Count, size - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

Int64 TMemoryStream::Write(const void* Buffer, Int64 Count)
{
    if (FPosition < 0 || Count <= 0)
        return 0;
    Int64 end = FPosition + Count;
    if (end > static_cast<Int64>(FData.size()))
        FData.resize(static_cast<size_t>(end), '\0');
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

Int64 TMemoryStream::Seek(Int64 Offset, int Origin)
{
    switch (Origin) {
    case soFromBeginning: FPosition = Offset; break;
    case soFromCurrent: FPosition += Offset; break;
    case soFromEnd: FPosition = static_cast<Int64>(FData.size()) + Offset; break;
    default: break;
    }
    return FPosition;
}

void TMemoryStream::SetSize(Int64 NewSize)
{
    if (NewSize < 0)
        NewSize = 0;
    FData.resize(static_cast<size_t>(NewSize), '\0');
    if (FPosition > NewSize)
        FPosition = NewSize;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    Int64 count = Stream->Size();
    AnsiString data(static_cast<size_t>(count), '\0');
    Stream->ReadBuffer(data.data(), count);
    FData.swap(data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName)
{
    FData = LoadBytesFromFile(FileName);
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream* Stream)
{
    Stream->WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}

void TMemoryStream::SaveToFile(const AnsiString& FileName)
{
    SaveBytesToFile(FileName, FData);
}

// ---------------------------------------------------------------- TStringStream
TStringStream::TStringStream(const AnsiString& AString)
{
    FData = AString;
}

AnsiString TStringStream::ReadString(Int64 Count)
{
    Int64 size = static_cast<Int64>(FData.size());
    if (FPosition < 0 || Count <= 0 || FPosition >= size)
        return AnsiString();
    Int64 n = std::min(Count, size - FPosition);
    AnsiString s = FData.substr(static_cast<size_t>(FPosition), static_cast<size_t>(n));
    FPosition += n;
    return s;
}

void TStringStream::WriteString(const AnsiString& AString)
{
    Write(AString.data(), static_cast<Int64>(AString.size()));
}

// ---------------------------------------------------------------- TFileStream
TFileStream::TFileStream(const AnsiString& FileName, Word Mode) : FFileName(FileName)
{
    std::string path = ToOsPath(FileName);
    if ((Mode & fmCreate) == fmCreate) {
        if (!MayReplaceOs(path))
            CreateError(FileName, errno);
        FHandle = OpenOrCreateFileOs(path, O_RDWR | O_TRUNC);
        if (FHandle < 0)
            CreateError(FileName, errno);
    } else {
        int access = Mode & 3;
        int flags = access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
        if (flags != O_RDONLY && !MayReplaceOs(path))
            throw EFOpenError("Cannot open file \"" + FileName + "\". Access is denied");
        FHandle = ::open(path.c_str(), flags | O_CLOEXEC);
        if (FHandle < 0)
            throw EFOpenError("Cannot open file \"" + FileName + "\"");
    }
    struct stat st {};
    if (::fstat(FHandle, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        if ((Mode & fmCreate) == fmCreate)
            throw EFCreateError("Cannot create file \"" + FileName + "\"");
        throw EFOpenError("Cannot open file \"" + FileName + "\"");
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

namespace {
// Moves Count bytes in as many calls of Move (given what is done and what is left) as it takes, again
// after an interrupt; stops early at the end of the file or on an error. The bytes moved.
Int64 MoveAll(Int64 Count, const std::function<ssize_t(Int64 Done, size_t Left)>& Move)
{
    if (Count <= 0)
        return 0;
    Int64 done = 0;
    while (done < Count) {
        ssize_t n = Move(done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}
}  // namespace

Int64 TFileStream::Read(void* Buffer, Int64 Count)
{
    char* p = static_cast<char*>(Buffer);
    return MoveAll(Count, [&](Int64 done, size_t left) { return ::read(FHandle, p + done, left); });
}

Int64 TFileStream::Write(const void* Buffer, Int64 Count)
{
    const char* p = static_cast<const char*>(Buffer);
    return MoveAll(Count, [&](Int64 done, size_t left) { return ::write(FHandle, p + done, left); });
}

Int64 TFileStream::Seek(Int64 Offset, int Origin)
{
    int whence = Origin == soFromCurrent ? SEEK_CUR : Origin == soFromEnd ? SEEK_END : SEEK_SET;
    off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    return r < 0 ? -1 : static_cast<Int64>(r);
}

void TFileStream::SetSize(Int64 NewSize)
{
    Int64 pos = Position();
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EStreamError("Stream write error");
    if (pos > NewSize)
        Seek(NewSize, soFromBeginning);
}
