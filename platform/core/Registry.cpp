// The registry over one store file.
//
// Store format (Windows-1250 text, CR LF): one "[ROOT\key\path]" line per key,
// then one "name=type:data" line per value in creation order. Types are "sz",
// "expand", "dword" (decimal) and "hex" (two hexadecimal digits a byte). In key
// paths and data "%" and control characters are written as "%XX"; names also
// escape blanks, "=", "[", "]" and "@"; the unnamed value is "@".
#include "platform/core/Registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>

#include "platform/core/FileBytes.h"

namespace {

constexpr Cardinal KEY_SET_VALUE = 0x0002;
constexpr Cardinal KEY_CREATE_SUB_KEY = 0x0004;

struct TRegValue {
    AnsiString Name;
    TRegDataType Type = rdString;
    AnsiString Data;  // bytes of a string or binary value; decimal text of an integer
};

struct TRegKey {
    AnsiString Path;  // as first created
    std::vector<TRegValue> Values;

    TRegValue* Find(const AnsiString& name)
    {
        AnsiString folded = AnsiUpperCase(name);
        for (auto& v : Values)
            if (AnsiUpperCase(v.Name) == folded)
                return &v;
        return nullptr;
    }
};

const char* const HexDigits = "0123456789ABCDEF";

AnsiString Escape(const AnsiString& s, bool name)
{
    if (name && s.empty())
        return "@";
    AnsiString out;
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        bool esc = u < 0x20 || u == 0x7F || c == '%' ||
                   (name && (u == ' ' || c == '=' || c == '[' || c == ']' || c == '@'));
        if (esc) {
            out += '%';
            out += HexDigits[u >> 4];
            out += HexDigits[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

AnsiString Unescape(const AnsiString& s, bool name)
{
    if (name && s == "@")
        return AnsiString();
    AnsiString out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Keys below this many levels (the root's name counted) are none a program of ours makes.
// Every key keeps its whole path and has all the keys above it, so a key of n levels costs
// the square of n: a store file that holds a deeper one (damaged or hostile) keeps it as it
// stands, unread, and such a key is neither opened nor created.
constexpr size_t MaxKeyDepth = 64;

bool TooDeep(const AnsiString& path)
{
    return size_t(std::count(path.begin(), path.end(), '\\')) >= MaxKeyDepth;
}

// Whole store, keys by folded path.
class TRegStore {
public:
    std::map<AnsiString, TRegKey> Keys;
    // The lines of the keys too deep to read, with their values, written back as they came.
    std::string Unread;

    static AnsiString Fold(const AnsiString& path) { return AnsiUpperCase(path); }

    TRegKey* Find(const AnsiString& path)
    {
        auto it = Keys.find(Fold(path));
        return it == Keys.end() ? nullptr : &it->second;
    }

    // Creates the key and every key above it; false for a key too deep.
    bool Create(const AnsiString& path)
    {
        if (TooDeep(path))
            return false;
        size_t p = 0;
        for (;;) {
            p = path.find('\\', p);
            AnsiString part = path.substr(0, p);
            Keys.try_emplace(Fold(part), TRegKey{part, {}});
            if (p == AnsiString::npos)
                break;
            ++p;
        }
        return true;
    }

    void Parse(const std::string& bytes)
    {
        Keys.clear();
        Unread.clear();
        TRegKey* current = nullptr;
        bool unread = false;   // the lines belong to a key too deep
        // Where each value stands in its key, by key and folded name: a key of many values (or
        // one named many times) reads in time that grows with the file.
        std::map<std::pair<const TRegKey*, AnsiString>, size_t> places;
        size_t i = 0, n = bytes.size();
        while (i < n) {
            size_t start = i;
            while (i < n && bytes[i] != '\r' && bytes[i] != '\n')
                ++i;
            std::string line = bytes.substr(start, i - start);
            while (i < n && (bytes[i] == '\r' || bytes[i] == '\n'))
                ++i;
            if (line.empty())
                continue;
            if (line.front() == '[' && line.back() == ']') {
                AnsiString path = Unescape(line.substr(1, line.size() - 2), false);
                unread = !Create(path);
                current = unread ? nullptr : Find(path);
                if (!unread)
                    continue;
            }
            if (unread) {
                Unread += line + "\r\n";
                continue;
            }
            size_t eq = line.find('=');
            size_t colon = eq == std::string::npos ? eq : line.find(':', eq + 1);
            if (!current || colon == std::string::npos)
                continue;
            TRegValue v;
            v.Name = Unescape(line.substr(0, eq), true);
            std::string type = line.substr(eq + 1, colon - eq - 1);
            std::string data = line.substr(colon + 1);
            if (type == "sz" || type == "expand") {
                v.Type = type == "sz" ? rdString : rdExpandString;
                v.Data = Unescape(data, false);
            } else if (type == "dword") {
                v.Type = rdInteger;
                v.Data = data;
            } else if (type == "hex") {
                v.Type = rdBinary;
                for (size_t k = 0; k + 1 < data.size(); k += 2)
                    v.Data += static_cast<char>(HexValue(data[k]) * 16 + HexValue(data[k + 1]));
            } else {
                continue;
            }
            auto [at, added] = places.try_emplace({current, AnsiUpperCase(v.Name)}, current->Values.size());
            if (added)
                current->Values.push_back(std::move(v));
            else
                current->Values[at->second] = std::move(v);
        }
    }

    std::string Serialize() const
    {
        std::string out;
        for (const auto& [folded, key] : Keys) {
            out += "[" + Escape(key.Path, false) + "]\r\n";
            for (const auto& v : key.Values) {
                out += Escape(v.Name, true) + "=";
                switch (v.Type) {
                case rdInteger: out += "dword:" + v.Data; break;
                case rdBinary:
                    out += "hex:";
                    for (char c : v.Data) {
                        out += HexDigits[static_cast<unsigned char>(c) >> 4];
                        out += HexDigits[static_cast<unsigned char>(c) & 15];
                    }
                    break;
                case rdExpandString: out += "expand:" + Escape(v.Data, false); break;
                default: out += "sz:" + Escape(v.Data, false); break;
                }
                out += "\r\n";
            }
        }
        return out + Unread;
    }
};

// The one store of the process, re-read when its file changes on disk.
struct TStoreState {
    std::string OsPath;  // empty: the default
    TRegStore Store;
    bool Loaded = false;
    bool Readable = true;
    struct stat Stamp {};
    bool Existed = false;
};

TStoreState& State()
{
    static TStoreState state;
    return state;
}

std::string StorePath()
{
    TStoreState& s = State();
    if (!s.OsPath.empty())
        return s.OsPath;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".";
    return base + "/Tyrvenhold/registry.ini";
}

bool SameStamp(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

TRegStore& LoadStore()
{
    TStoreState& s = State();
    std::string path = StorePath();
    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (s.Loaded && exists == s.Existed && (!exists || SameStamp(st, s.Stamp)))
        return s.Store;
    std::string bytes;
    s.Readable = !exists || ReadWholeFileOs(path, bytes);
    s.Store.Parse(bytes);
    s.Loaded = s.Readable;
    s.Existed = exists;
    s.Stamp = st;
    return s.Store;
}

// False when the store could not be written (the store on disk is unchanged then).
bool SaveStore()
{
    TStoreState& s = State();
    if (!s.Readable)
        return false;
    std::string path = StorePath();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!WriteWholeFileOs(path, s.Store.Serialize())) {
        s.Loaded = false;
        return false;
    }
    struct stat st {};
    s.Existed = ::stat(path.c_str(), &st) == 0;
    s.Stamp = st;
    return true;
}

AnsiString RootName(HKEY root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
    case HKEY_DYN_DATA: return "HKEY_DYN_DATA";
    default: return "HKEY_" + IntToHex(static_cast<Int64>(root), 8);
    }
}

// Components joined with "\", empty ones dropped.
AnsiString JoinPath(const AnsiString& base, const AnsiString& rel)
{
    AnsiString out = base;
    size_t i = 0;
    while (i <= rel.size()) {
        size_t j = rel.find('\\', i);
        if (j == AnsiString::npos)
            j = rel.size();
        if (j > i) {
            if (!out.empty())
                out += '\\';
            out += rel.substr(i, j - i);
        }
        i = j + 1;
    }
    return out;
}

}  // namespace

void SetRegistryStoreFile(const AnsiString& FileName)
{
    TStoreState& s = State();
    s.OsPath = FileName.empty() ? std::string() : ToOsPath(FileName);
    s.Loaded = false;
    s.Store.Keys.clear();
    s.Store.Unread.clear();
}

// ---------------------------------------------------------------- TRegistry
TRegistry::TRegistry() = default;
TRegistry::TRegistry(Cardinal AAccess) : FAccess(AAccess) {}
TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY Value)
{
    if (FRootKey == Value)
        return;
    CloseKey();
    FRootKey = Value;
}

AnsiString TRegistry::ResolveKey(const AnsiString& Key) const
{
    bool relative = Key.empty() || Key[0] != '\\';
    return JoinPath(relative && FOpen ? FCurrentPath : AnsiString(), Key);
}

AnsiString TRegistry::OpenFullPath() const
{
    return JoinPath(RootName(FRootKey), FCurrentPath);
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate)
{
    AnsiString path = ResolveKey(Key);
    AnsiString full = JoinPath(RootName(FRootKey), path);
    TRegStore& store = LoadStore();
    if (!store.Find(full)) {
        if (!CanCreate || !(FAccess & KEY_CREATE_SUB_KEY) || !store.Create(full))
            return false;
        if (!SaveStore())
            return false;
    }
    FOpen = true;
    FReadOnly = false;
    FCurrentPath = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key)
{
    AnsiString path = ResolveKey(Key);
    if (!LoadStore().Find(JoinPath(RootName(FRootKey), path)))
        return false;
    FOpen = true;
    FReadOnly = true;
    FCurrentPath = path;
    return true;
}

bool TRegistry::CreateKey(const AnsiString& Key)
{
    AnsiString full = JoinPath(RootName(FRootKey), ResolveKey(Key));
    TRegStore& store = LoadStore();
    if (store.Find(full))
        return true;
    if (!(FAccess & KEY_CREATE_SUB_KEY) || !store.Create(full) || !SaveStore())
        throw ERegistryException("Failed to create key " + Key);
    return true;
}

TRegistry::TKeyState TRegistry::SaveKeyState() const
{
    return TKeyState{FOpen, FReadOnly, FCurrentPath};
}

void TRegistry::RestoreKeyState(const TKeyState& State)
{
    FOpen = State.Open;
    FReadOnly = State.ReadOnly;
    FCurrentPath = State.Path;
}

void TRegistry::CloseKey()
{
    FOpen = false;
    FReadOnly = false;
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(const AnsiString& Key)
{
    return LoadStore().Find(JoinPath(RootName(FRootKey), ResolveKey(Key))) != nullptr;
}

bool TRegistry::DeleteKey(const AnsiString& Key)
{
    AnsiString path = ResolveKey(Key);
    if (path.empty())
        return false;  // never the root itself
    AnsiString folded = TRegStore::Fold(JoinPath(RootName(FRootKey), path));
    TRegStore& store = LoadStore();
    auto it = store.Keys.find(folded);
    if (it == store.Keys.end())
        return false;
    AnsiString prefix = folded + "\\";
    for (auto k = store.Keys.begin(); k != store.Keys.end();) {
        if (k->first == folded || k->first.compare(0, prefix.size(), prefix) == 0)
            k = store.Keys.erase(k);
        else
            ++k;
    }
    return SaveStore();
}

bool TRegistry::HasSubKeys()
{
    TStringList names;
    GetKeyNames(&names);
    return names.Count() > 0;
}

void TRegistry::GetKeyNames(TStrings* Strings)
{
    Strings->BeginUpdate();
    Strings->Clear();
    if (FOpen) {
        AnsiString prefix = TRegStore::Fold(OpenFullPath()) + "\\";
        for (const auto& [folded, key] : LoadStore().Keys)
            if (folded.compare(0, prefix.size(), prefix) == 0 && folded.find('\\', prefix.size()) == AnsiString::npos)
                Strings->Add(key.Path.substr(prefix.size()));
    }
    Strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* Strings)
{
    Strings->BeginUpdate();
    Strings->Clear();
    if (FOpen)
        if (TRegKey* key = LoadStore().Find(OpenFullPath()))
            for (const auto& v : key->Values)
                Strings->Add(v.Name);
    Strings->EndUpdate();
}

bool TRegistry::GetData(const AnsiString& Name, TRegDataType& Type, AnsiString& Data)
{
    if (!FOpen)
        return false;
    TRegKey* key = LoadStore().Find(OpenFullPath());
    TRegValue* v = key ? key->Find(Name) : nullptr;
    if (!v)
        return false;
    Type = v->Type;
    Data = v->Data;
    return true;
}

void TRegistry::PutData(const AnsiString& Name, TRegDataType Type, const AnsiString& Data)
{
    TRegKey* key = FOpen && !FReadOnly && (FAccess & KEY_SET_VALUE) ? LoadStore().Find(OpenFullPath()) : nullptr;
    if (!key)
        throw ERegistryException("Failed to set data for '" + Name + "'");
    if (TRegValue* v = key->Find(Name)) {
        v->Type = Type;
        v->Data = Data;
    } else {
        key->Values.push_back(TRegValue{Name, Type, Data});
    }
    if (!SaveStore())
        throw ERegistryException("Failed to set data for '" + Name + "'");
}

bool TRegistry::ValueExists(const AnsiString& Name)
{
    TRegDataInfo info;
    return GetDataInfo(Name, info);
}

bool TRegistry::DeleteValue(const AnsiString& Name)
{
    if (!FOpen || FReadOnly || !(FAccess & KEY_SET_VALUE))
        return false;
    TRegKey* key = LoadStore().Find(OpenFullPath());
    if (!key)
        return false;
    AnsiString folded = AnsiUpperCase(Name);
    for (auto it = key->Values.begin(); it != key->Values.end(); ++it)
        if (AnsiUpperCase(it->Name) == folded) {
            key->Values.erase(it);
            return SaveStore();
        }
    return false;
}

bool TRegistry::GetDataInfo(const AnsiString& Name, TRegDataInfo& Value)
{
    TRegDataType type;
    AnsiString data;
    if (!GetData(Name, type, data)) {
        Value = TRegDataInfo{};
        return false;
    }
    Value.RegData = type;
    Value.DataSize = type == rdInteger ? 4 : type == rdBinary ? static_cast<int>(data.size())
                                                             : static_cast<int>(data.size()) + 1;
    return true;
}

TRegDataType TRegistry::GetDataType(const AnsiString& Name)
{
    TRegDataInfo info;
    return GetDataInfo(Name, info) ? info.RegData : rdUnknown;
}

int TRegistry::GetDataSize(const AnsiString& Name)
{
    TRegDataInfo info;
    return GetDataInfo(Name, info) ? info.DataSize : -1;
}

AnsiString TRegistry::ReadString(const AnsiString& Name)
{
    TRegDataType type;
    AnsiString data;
    if (!GetData(Name, type, data))
        return AnsiString();
    if (type != rdString && type != rdExpandString)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return data;
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value)
{
    PutData(Name, rdString, Value);
}

void TRegistry::WriteExpandString(const AnsiString& Name, const AnsiString& Value)
{
    PutData(Name, rdExpandString, Value);
}

int TRegistry::ReadInteger(const AnsiString& Name)
{
    TRegDataType type;
    AnsiString data;
    if (!GetData(Name, type, data))
        throw ERegistryException("Failed to get data for '" + Name + "'");
    if (type != rdInteger)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return static_cast<int>(std::strtoll(data.c_str(), nullptr, 10));
}

void TRegistry::WriteInteger(const AnsiString& Name, int Value)
{
    PutData(Name, rdInteger, std::to_string(Value));
}

bool TRegistry::ReadBool(const AnsiString& Name)
{
    return ReadInteger(Name) != 0;
}

void TRegistry::WriteBool(const AnsiString& Name, bool Value)
{
    WriteInteger(Name, Value ? 1 : 0);
}

double TRegistry::ReadFloat(const AnsiString& Name)
{
    TRegDataType type;
    AnsiString data;
    if (!GetData(Name, type, data))
        throw ERegistryException("Failed to get data for '" + Name + "'");
    double v = 0;
    if (type != rdBinary || data.size() != sizeof v)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    std::memcpy(&v, data.data(), sizeof v);
    return v;
}

void TRegistry::WriteFloat(const AnsiString& Name, double Value)
{
    WriteBinaryData(Name, &Value, sizeof Value);
}

int TRegistry::ReadBinaryData(const AnsiString& Name, void* Buffer, int BufSize)
{
    TRegDataType type;
    AnsiString data;
    if (!GetData(Name, type, data))
        return 0;
    if (type != rdBinary || static_cast<int>(data.size()) > BufSize)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    if (!data.empty())
        std::memcpy(Buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const AnsiString& Name, const void* Buffer, int BufSize)
{
    PutData(Name, rdBinary, BufSize > 0 ? AnsiString(static_cast<const char*>(Buffer), static_cast<size_t>(BufSize))
                                        : AnsiString());
}

// ---------------------------------------------------------------- TRegIniFile
TRegIniFile::TRegIniFile(const AnsiString& FileName) : TRegIniFile(FileName, KEY_ALL_ACCESS) {}

TRegIniFile::TRegIniFile(const AnsiString& FileName, Cardinal AAccess) : TRegistry(AAccess), FFileName(FileName)
{
    OpenKey(FileName, true);
}

bool TRegIniFile::WithSection(const AnsiString& Section, bool Create, const std::function<void()>& fn)
{
    if (Section.empty()) {
        fn();
        return true;
    }
    // Open the section below the current key, then put the current key back.
    struct TRestore {
        TRegIniFile* Self;
        TKeyState State;
        ~TRestore() { Self->RestoreKeyState(State); }
    } restore{this, SaveKeyState()};
    if (!OpenKey(Section, Create))
        return false;
    fn();
    return true;
}

AnsiString TRegIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default)
{
    AnsiString result = Default;
    WithSection(Section, false, [&] {
        if (ValueExists(Ident))
            result = TRegistry::ReadString(Ident);
    });
    return result;
}

void TRegIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    if (!WithSection(Section, true, [&] { TRegistry::WriteString(Ident, Value); }))
        throw ERegistryException("Failed to set data for '" + Ident + "'");
}

int TRegIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default)
{
    int result = Default;
    WithSection(Section, false, [&] {
        if (!ValueExists(Ident))
            return;
        if (GetDataType(Ident) == rdString || GetDataType(Ident) == rdExpandString)
            result = StrToIntDef(TRegistry::ReadString(Ident), Default);
        else
            result = TRegistry::ReadInteger(Ident);
    });
    return result;
}

void TRegIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSection(const AnsiString& Section, TStrings* Strings)
{
    Strings->Clear();
    WithSection(Section, false, [&] { GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStrings* Strings)
{
    GetKeyNames(Strings);
}

void TRegIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings)
{
    TStringList result;
    WithSection(Section, false, [&] {
        TStringList names;
        GetValueNames(&names);
        for (int i = 0; i < names.Count(); ++i) {
            AnsiString name = names.Strings(i);
            AnsiString value = GetDataType(name) == rdInteger ? IntToStr(TRegistry::ReadInteger(name))
                               : GetDataType(name) == rdBinary ? AnsiString()
                                                               : TRegistry::ReadString(name);
            result.Add(name + "=" + value);
        }
    });
    Strings->BeginUpdate();
    Strings->Clear();
    Strings->AddStrings(&result);
    Strings->EndUpdate();
}

void TRegIniFile::EraseSection(const AnsiString& Section)
{
    TRegistry::DeleteKey(Section);
}

void TRegIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident)
{
    WithSection(Section, false, [&] { DeleteValue(Ident); });
}
