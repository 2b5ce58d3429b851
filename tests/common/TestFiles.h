#pragma once
// Scratch files for tests: a fresh folder under /tmp that is removed afterwards, a file's bytes
// written and read whole, a string list's items as a vector, file permissions that hold for root,
// a folder shared with a group, and texts as other programs write them.
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"

struct TTempDir {
    std::filesystem::path Path;
    // Prefix names the folder, e.g. "velmarok-ini" gives velmarok-iniXXXXXX in the temporary folder.
    explicit TTempDir(const std::string& Prefix)
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / (Prefix + "XXXXXX")).string();
        Path = ::mkdtemp(tmpl.data());
    }
    ~TTempDir() { std::filesystem::remove_all(Path); }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    std::string operator/(const char* Name) const { return (Path / Name).string(); }
};

// The bytes of a file; none when it cannot be read (also when it goes while being read, as the
// files of a process that ends do).
inline std::string ReadFileBytes(const std::string& Name)
{
    try {
        std::ifstream in(Name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        return {};
    }
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

// The lines of a text, as a string list reads them.
inline std::vector<AnsiString> Lines(const AnsiString& Text)
{
    TStringList l;
    l.SetText(Text);
    return Items(l);
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

// A folder shared with a group, made as the department's folder is made (`install -d -g GROUP -m
// 2775`), with the umask 022 of a usual login while it lives. Its group is one of the login's
// groups other than its own where it has one (any group for root); OtherGroup a further one
// (0 when the login has none: root has every one).
struct TSharedFolder {
    std::string Path;
    gid_t Group = 0, OtherGroup = 0;
    mode_t OldUmask;
    explicit TSharedFolder(const std::string& APath) : Path(APath), OldUmask(::umask(022))
    {
        std::vector<gid_t> groups;
        if (::geteuid() == 0) {
            groups = {54321, 54322};
        } else {
            groups.resize(size_t(std::max(::getgroups(0, nullptr), 0)));
            groups.resize(size_t(std::max(::getgroups(int(groups.size()), groups.data()), 0)));
            std::erase(groups, ::getegid());
            groups.insert(groups.begin() + std::min<size_t>(groups.size(), 1), ::getegid());
        }
        Group = groups[0];
        OtherGroup = groups.size() > 1 && groups[1] != Group ? groups[1] : 0;
        ::mkdir(Path.c_str(), 0700);
        (void)!::chown(Path.c_str(), uid_t(-1), Group);
        ::chmod(Path.c_str(), 02775);
    }
    ~TSharedFolder() { ::umask(OldUmask); }
    TSharedFolder(const TSharedFolder&) = delete;
    TSharedFolder& operator=(const TSharedFolder&) = delete;
    // The mode (with the set-ID bits) and group of a file or folder; 0 and 0 when it is not there.
    static std::pair<mode_t, gid_t> ModeAndGroup(const std::string& Name)
    {
        struct stat st {};
        if (::stat(Name.c_str(), &st) != 0)
            return {0, 0};
        return {st.st_mode & 07777, st.st_gid};
    }
};

// Windows-1250 text as UTF-16 of either byte order, after its byte-order mark when Mark.
inline std::string Utf16(const AnsiString& Text, bool BigEndian, bool Mark = true)
{
    std::string out = !Mark ? "" : BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : AnsiToWide(Text)) {
        const char hi = char(u >> 8), lo = char(u & 0xFF);
        out += BigEndian ? hi : lo;
        out += BigEndian ? lo : hi;
    }
    return out;
}

// A text as another program may have written it: UTF-8 without and with the byte-order mark,
// Windows-1250, UTF-16 of both byte orders with the mark; and what is refused: a letter
// Windows-1250 has none for (U+0416, on the line after Lines), UTF-16 that does not decode,
// UTF-16 without its mark (NUL bytes). Lines is Windows-1250 text ending with a line break.
struct TForeignText {
    const char* What;
    std::string Bytes;
    const char* Refusal;   // what the refusal's message says, nullptr when the text is read
};
inline std::vector<TForeignText> ForeignTexts(const AnsiString& Lines)
{
    return {{"UTF-8", AnsiToUtf8(Lines), nullptr},
            {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + AnsiToUtf8(Lines), nullptr},
            {"Windows-1250", Lines, nullptr},
            {"UTF-16 LE with a byte-order mark", Utf16(Lines, false), nullptr},
            {"UTF-16 BE with a byte-order mark", Utf16(Lines, true), nullptr},
            {"a letter Windows-1250 has none for", AnsiToUtf8(Lines) + "\xD0\x96\r\n", "U+0416 (wiersz 2)"},
            {"the letter in UTF-16 LE", Utf16(Lines, false) + "\x16\x04", "U+0416 (wiersz 2)"},
            {"UTF-16 LE cut short", Utf16(Lines + "x", false).substr(0, Utf16(Lines, false).size() + 1),
             "w wierszu 2 są bajty, które w kodowaniu UTF-16 LE nie tworzą znaku"},
            {"UTF-16 BE with an unpaired surrogate", Utf16(Lines, true) + "\xD8\x3D\x00x",
             "w wierszu 2 są bajty, które w kodowaniu UTF-16 BE nie tworzą znaku"},
            {"UTF-16 LE without its mark", Utf16(Lines, false, false), "w wierszu 1 jest znak NUL (bajt zerowy)"}};
}
