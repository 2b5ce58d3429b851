#include "app/U_WspolneFunkcje.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/ProgramFolders.h"
#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"
#include "platform/core/FileBytes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/SysInfo.h"

// ---------------------------------------------------------------- login name

AnsiString GetWindowsUserName()
{
    return GetLoginName();
}

// ---------------------------------------------------------------- scrambling

namespace {

// The characters 10 down to 1 of the key combined into the one byte they
// amount to; a shorter key contributes the characters it has.
unsigned char KeyByte(const AnsiString& Key)
{
    unsigned char k = 0;
    for (size_t i = std::min<size_t>(Key.size(), 10); i > 0; --i)
        k ^= static_cast<unsigned char>(Key[i - 1]);
    return k;
}

AnsiString XorBytes(const AnsiString& S, size_t Count, unsigned char K)
{
    AnsiString r(S, 0, Count);
    for (char& c : r)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ K);
    return r;
}

}  // namespace

AnsiString ScrambleString(const AnsiString& S, const AnsiString& Key)
{
    if (S.size() <= 1)
        return AnsiString();
    return XorBytes(S, S.size() - 1, KeyByte(Key));
}

AnsiString EncodeScrambledText(const AnsiString& PlainText)
{
    // The text as a string list gives it: every line followed by CR LF.
    TStringList lines;
    lines.SetText(PlainText);
    return ScrambleString(lines.Text(), ScrambleKey) + "\r\n";
}

AnsiString DecodeScrambledText(const AnsiString& Bytes)
{
    size_t n = Bytes.size();
    if (n >= 2 && Bytes[n - 2] == '\r' && Bytes[n - 1] == '\n')
        n -= 2;
    AnsiString plain = XorBytes(Bytes, n, KeyByte(ScrambleKey));
    // The writer leaves out the last character of the text, the line feed of
    // its last line.
    if (!plain.empty() && plain.back() == '\r')
        plain += '\n';
    return plain;
}

AnsiString ReadScrambledFile(const AnsiString& FileName)
{
    return DecodeScrambledText(LoadBytesFromFile(FileName));
}

void WriteScrambledFile(const AnsiString& FileName, const AnsiString& PlainText)
{
    SaveBytesToFile(FileName, EncodeScrambledText(PlainText));
}

void ScrambleConfigFile(const AnsiString& FileName, bool ToDat)
{
    if (ToDat) {
        WriteScrambledFile(ChangeFileExt(FileName, ".dat"), LoadBytesFromFile(FileName));
        return;
    }
    // The plain copy goes to the program's own folder, never to the shared one.
    const AnsiString target = PrivateTempFolder() + ChangeFileExt(ExtractFileName(FileName), ".ini");
    SaveBytesToFile(target, ReadScrambledFile(FileName));
}

// ---------------------------------------------------------------- private temporary folder

namespace {

struct TPrivateFolder {
    std::string OsPath;   // with a trailing "/"; empty until created
    ~TPrivateFolder()
    {
        if (!OsPath.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(OsPath, ec);
        }
    }
};

TPrivateFolder& PrivateFolder()
{
    static TPrivateFolder folder;
    return folder;
}

}  // namespace

bool SamePlace(const AnsiString& A, const AnsiString& B)
{
    std::error_code ec;
    return !A.empty() && !B.empty() && std::filesystem::equivalent(ToOsPath(A), ToOsPath(B), ec);
}

AnsiString PrivateTempFolder()
{
    TPrivateFolder& folder = PrivateFolder();
    if (folder.OsPath.empty()) {
        std::string pattern = ToOsPath(GetTempDir());
        if (pattern.empty() || pattern.back() != '/')
            pattern += '/';
        pattern += "velmarok-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!::mkdtemp(buf.data()))   // mode 0700
            throw EFCreateError("Cannot create folder \"" + FromOsPath(pattern) + "\"");
        folder.OsPath = std::string(buf.data()) + "/";
    }
    return FromOsPath(folder.OsPath);
}

TPlainCopy::TPlainCopy(const AnsiString& DatFileName)
    : FDatFileName(DatFileName),
      // A scratch copy in the private folder: the stored file stays the one kept safe on disk.
      FFileName(SaveBytesToScratchFile(PrivateTempFolder(), "plain", ".ini", ReadScrambledFile(DatFileName)))
{
}

TPlainCopy::~TPlainCopy()
{
    ::unlink(ToOsPath(FFileName).c_str());
}

void TPlainCopy::Save()
{
    WriteScrambledFile(FDatFileName, LoadBytesFromFile(FFileName));
}

// ---------------------------------------------------------------- special folders

AnsiString GetSpecialFolderPath(int Folder)
{
    AnsiString path;
    if (!SHGetSpecialFolderPath(0, path, Folder, false))
        return AnsiString();
    return path;
}

// ---------------------------------------------------------------- desktop launcher

namespace {

// A value of a desktop entry: backslash and the line-break characters escaped.
std::string EntryValue(const std::string& s)
{
    std::string r;
    for (char c : s) {
        switch (c) {
        case '\\': r += "\\\\"; break;
        case '\n': r += "\\n"; break;
        case '\r': r += "\\r"; break;
        case '\t': r += "\\t"; break;
        default: r += c;
        }
    }
    return r;
}

// The program as one quoted argument of the Exec key.
std::string ExecValue(const std::string& program)
{
    std::string q = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            q += '\\';
        if (c == '%')
            q += '%';
        q += c;
    }
    q += '"';
    return EntryValue(q);
}

}  // namespace

std::string ShortcutText(const AnsiString& TargetPath, const AnsiString& LinkName, const AnsiString& Icon)
{
    std::string workDir = ToOsPath(ExtractFilePath(TargetPath));
    while (workDir.size() > 1 && workDir.back() == '/')
        workDir.pop_back();
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=" + EntryValue(AnsiToUtf8(LinkName)) + "\n";
    text += "Comment=" + EntryValue(AnsiToUtf8("Uruchom program Velmarok Polskich Norm")) + "\n";
    text += "Exec=" + ExecValue(ToOsPath(TargetPath)) + "\n";
    text += "Path=" + EntryValue(workDir) + "\n";
    text += "Icon=" + EntryValue(ToOsPath(Icon)) + "\n";
    text += "Terminal=false\n";
    return text;
}

bool CreateShortcut(const AnsiString& TargetPath, const AnsiString& Folder, const AnsiString& LinkName)
{
    CreateDir(Folder);   // it may exist already
    // The name is one file name: path delimiters in it do not lead elsewhere.
    AnsiString name = LinkName;
    for (char& c : name)
        if (c == '\\' || c == '/')
            c = '_';
    const AnsiString fileName = IncludeTrailingPathDelimiter(Folder) + name + ".desktop";
    const std::string osPath = ToOsPath(fileName);
    if (!WriteWholeFileOs(osPath, ShortcutText(TargetPath, LinkName, ProgramIcon(ExtractFilePath(TargetPath)))))
        return false;
    ::chmod(osPath.c_str(), 0755);   // desktops start only launchers marked executable
    return true;
}

void OpenWithDesktop(const AnsiString& Target, int ShowCmd)
{
    if (Target.empty())
        return;
    if (ShellExecute(0, "open", Target, "", "", ShowCmd) <= 32)
        Application->MessageBox("Nie można otworzyć: " + Target + ".", "INFORMACJA !!!", MB_OK | MB_ICONINFORMATION);
}

// ---------------------------------------------------------------- online test

bool IsInternetConnected()
{
    return InternetConnected();
}

// ---------------------------------------------------------------- colour as mini-HTML

AnsiString ColorToHtml(std::int32_t Color)
{
    const std::uint32_t rgb = static_cast<std::uint32_t>(ColorToRGB(Color));
    return "#" + IntToHex(rgb & 0xFF, 2) + IntToHex((rgb >> 8) & 0xFF, 2) + IntToHex((rgb >> 16) & 0xFF, 2);
}

// ---------------------------------------------------------------- web shop query

namespace {

const char* const CatalogShopHost = "sklep.pkn.pl";

// Characters that would change the query are percent-encoded, and so is every
// letter outside ASCII, as the UTF-8 bytes of the letter (as browsers send it).
AnsiString QueryValue(const AnsiString& s)
{
    static const char Hex[] = "0123456789ABCDEF";
    auto escape = [](AnsiString& r, unsigned char b) {
        r += '%';
        r += Hex[b >> 4];
        r += Hex[b & 0x0F];
    };
    AnsiString r;
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            for (char u : AnsiToUtf8(AnsiString(1, ch)))
                escape(r, static_cast<unsigned char>(u));
        } else if (c < 0x20 || c == 0x7F || c == '&' || c == '#' || c == '%' || c == '+') {
            escape(r, c);
        } else {
            r += ch;
        }
    }
    return r;
}

}  // namespace

AnsiString BuildCatalogQueryUrl(const AnsiString& Number)
{
    return AnsiString("https://") + CatalogShopHost + "/index.php?m=product&a=find&cmd=&pfsymbol=" +
           QueryValue(Number) +
           "&pfics=&pfsymbolopt=e&pfname=&pfnameopt=e&pfreplace=&pfinsert=&pfreplaceopt=e&pfinsertopt=e"
           "&pfisbn=&pfkt=&pfnormyopt=a&pfrows=50&submit=Szukaj";
}

// ---------------------------------------------------------------- version

AnsiString GetExeVersion()
{
#ifdef VELMAROK_VERSION
    const AnsiString text = VELMAROK_VERSION;
#else
    const AnsiString text;
#endif
    // Up to four numbers of 0 to 65535 joined by "."; missing ones are 0.
    std::vector<AnsiString> parts(1);
    for (char c : text) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    if (parts.size() > 4)
        return "0.0.0.0";
    AnsiString result;
    for (size_t i = 0; i < 4; ++i) {
        int v = 0;
        if (i < parts.size()) {
            const AnsiString& p = parts[i];
            if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != AnsiString::npos)
                return "0.0.0.0";
            v = std::atoi(p.c_str());
            if (v > 65535)
                return "0.0.0.0";
        }
        result += (i ? "." : "") + IntToStr(v);
    }
    return result;
}
