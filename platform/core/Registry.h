#pragma once
// The registry, kept in one per-user store file: keys are paths under a root
// key, compared without case; values are typed (string, integer, binary).
#include <cstdint>

#include "platform/core/Classes.h"

using HKEY = std::uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

constexpr Cardinal KEY_READ = 0x20019;
constexpr Cardinal KEY_WRITE = 0x20006;
constexpr Cardinal KEY_ALL_ACCESS = 0xF003F;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

// The store file. Default: $XDG_CONFIG_HOME (else ~/.config) + "/Tyrvenhold/registry.ini";
// an empty name returns to the default. Tests point it at a scratch file.
void SetRegistryStoreFile(const AnsiString& FileName);

class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(Cardinal AAccess);
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    // Closes the open key.
    void SetRootKey(HKEY Value);
    Cardinal Access() const { return FAccess; }
    void SetAccess(Cardinal Value) { FAccess = Value; }
    // Non-zero while a key is open.
    HKEY CurrentKey() const { return FOpen ? FRootKey : 0; }
    // Path of the open key below the root, without a leading "\".
    const AnsiString& CurrentPath() const { return FCurrentPath; }

    // Key relative to the open key, or to the root when it starts with "\" or no key is open.
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const AnsiString& Key);
    bool CreateKey(const AnsiString& Key);
    void CloseKey();
    bool KeyExists(const AnsiString& Key);
    // The key and all its subkeys.
    bool DeleteKey(const AnsiString& Key);
    bool HasSubKeys();
    void GetKeyNames(TStrings* Strings);
    void GetValueNames(TStrings* Strings);

    bool ValueExists(const AnsiString& Name);
    bool DeleteValue(const AnsiString& Name);
    TRegDataType GetDataType(const AnsiString& Name);
    // -1 when the value does not exist.
    int GetDataSize(const AnsiString& Name);
    bool GetDataInfo(const AnsiString& Name, TRegDataInfo& Value);

    // Reading: a value of another type raises ERegistryException "Invalid data type for '%s'";
    // a missing number raises "Failed to get data for '%s'"; a missing string reads as empty
    // and missing binary data as 0 bytes. Writing without a writable open key raises
    // "Failed to set data for '%s'".
    AnsiString ReadString(const AnsiString& Name);
    void WriteString(const AnsiString& Name, const AnsiString& Value);
    void WriteExpandString(const AnsiString& Name, const AnsiString& Value);
    int ReadInteger(const AnsiString& Name);
    void WriteInteger(const AnsiString& Name, int Value);
    bool ReadBool(const AnsiString& Name);
    void WriteBool(const AnsiString& Name, bool Value);
    double ReadFloat(const AnsiString& Name);
    void WriteFloat(const AnsiString& Name, double Value);
    // Bytes copied; raises when the value is not binary or larger than BufSize.
    int ReadBinaryData(const AnsiString& Name, void* Buffer, int BufSize);
    void WriteBinaryData(const AnsiString& Name, const void* Buffer, int BufSize);

protected:
    // Full store path of a key given as OpenKey takes it.
    AnsiString ResolveKey(const AnsiString& Key) const;
    AnsiString OpenFullPath() const;
    struct TKeyState {
        bool Open = false;
        bool ReadOnly = false;
        AnsiString Path;
    };
    TKeyState SaveKeyState() const;
    void RestoreKeyState(const TKeyState& State);

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    Cardinal FAccess = KEY_ALL_ACCESS;
    bool FOpen = false;
    bool FReadOnly = false;
    AnsiString FCurrentPath;

    void PutData(const AnsiString& Name, TRegDataType Type, const AnsiString& Data);
    bool GetData(const AnsiString& Name, TRegDataType& Type, AnsiString& Data);
};

// The registry seen as an ini file: FileName is a key below HKEY_CURRENT_USER
// (created when missing), sections are its subkeys. Numbers are stored as text.
class TRegIniFile : public TRegistry {
public:
    explicit TRegIniFile(const AnsiString& FileName);
    TRegIniFile(const AnsiString& FileName, Cardinal AAccess);

    const AnsiString& FileName() const { return FFileName; }

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    void ReadSection(const AnsiString& Section, TStrings* Strings);
    void ReadSections(TStrings* Strings);
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings);
    void EraseSection(const AnsiString& Section);
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident);

    using TRegistry::ReadString;
    using TRegistry::WriteString;
    using TRegistry::ReadInteger;
    using TRegistry::WriteInteger;
    using TRegistry::ReadBool;
    using TRegistry::WriteBool;
    using TRegistry::DeleteKey;

private:
    AnsiString FFileName;

    // Runs fn with the section's key open (the current key itself for an empty section);
    // false when the key does not exist and may not be created.
    bool WithSection(const AnsiString& Section, bool Create, const std::function<void()>& fn);
};
