#pragma once
// The framework's base classes: objects, persistent objects, string lists and streams.
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/core/Types.h"

// ---------------------------------------------------------------- objects
class TObject {
public:
    virtual ~TObject() = default;
    // Name of the object's class ("TStringList").
    AnsiString ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
    // Copies the source's contents; raises EConvertError "Cannot assign a X to a Y"
    // when neither side knows how.
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
};

// ---------------------------------------------------------------- streams
enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };
constexpr TSeekOrigin soBeginning = soFromBeginning;
constexpr TSeekOrigin soCurrent = soFromCurrent;
constexpr TSeekOrigin soEnd = soFromEnd;

class TStream : public TObject {
public:
    // Number of bytes actually read or written.
    virtual Int64 Read(void* Buffer, Int64 Count) = 0;
    virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
    // New position from the start of the stream.
    virtual Int64 Seek(Int64 Offset, int Origin) = 0;
    virtual void SetSize(Int64 NewSize) = 0;

    // EReadError "Stream read error" / EWriteError "Stream write error" when short.
    void ReadBuffer(void* Buffer, Int64 Count);
    void WriteBuffer(const void* Buffer, Int64 Count);
    Int64 Position();
    void SetPosition(Int64 Pos);
    Int64 Size();
    // Copies Count bytes from the source's position; Count 0 copies the whole source from its start.
    Int64 CopyFrom(TStream* Source, Int64 Count);
};

class TMemoryStream : public TStream {
public:
    Int64 Read(void* Buffer, Int64 Count) override;
    Int64 Write(const void* Buffer, Int64 Count) override;
    Int64 Seek(Int64 Offset, int Origin) override;
    void SetSize(Int64 NewSize) override;

    char* Memory() { return FData.data(); }
    const char* Memory() const { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const AnsiString& FileName);
    void SaveToStream(TStream* Stream);
    // Writes beside the target first and replaces it when complete.
    void SaveToFile(const AnsiString& FileName);

protected:
    AnsiString FData;
    Int64 FPosition = 0;
};

// Mode bits of TFileStream: access in the low bits, sharing (ignored here) above.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
public:
    // EFCreateError "Cannot create file "%s"" / EFOpenError "Cannot open file "%s"".
    TFileStream(const AnsiString& FileName, Word Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    Int64 Read(void* Buffer, Int64 Count) override;
    Int64 Write(const void* Buffer, Int64 Count) override;
    Int64 Seek(Int64 Offset, int Origin) override;
    void SetSize(Int64 NewSize) override;
    const AnsiString& FileName() const { return FFileName; }

private:
    AnsiString FFileName;
    int FHandle = -1;
};

class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(const AnsiString& AString = AnsiString());
    AnsiString DataString() const { return FData; }
    // Reads up to Count bytes from the position.
    AnsiString ReadString(Int64 Count);
    void WriteString(const AnsiString& AString);
};

// Writes the bytes to a temporary file beside FileName and renames it over the
// target, so the target is either the old or the complete new file. EFCreateError on failure.
void SaveBytesToFile(const AnsiString& FileName, const AnsiString& Bytes);
// The same for bytes written a piece at a time: they go to a temporary file beside
// FileName, which Commit renames over it. Until then FileName stays as it was; destroyed
// without Commit (an exception), the writer leaves no temporary file behind.
// EFCreateError as SaveBytesToFile raises it.
class TReplacingFile {
public:
    explicit TReplacingFile(const AnsiString& FileName);
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;
    void Write(std::string_view Bytes);
    void Commit();

private:
    [[noreturn]] void Fail();
    AnsiString FFileName;
    int FFd = -1;
    std::size_t FWritten = 0;
    std::string FTmp, FTarget;
};
// Writes the bytes to a new file of its own in Folder, named Prefix, six characters that
// make it unique and Suffix, readable and writable by the owner only, and returns its name.
// A scratch copy that the program removes after use: it is not synced to the disk, and an
// incomplete one is removed. EFCreateError as SaveBytesToFile raises it.
AnsiString SaveBytesToScratchFile(const AnsiString& Folder, const AnsiString& Prefix, const AnsiString& Suffix,
                                  const AnsiString& Bytes);
// The whole file, byte for byte; EFOpenError when it cannot be read.
AnsiString LoadBytesFromFile(const AnsiString& FileName);
// A text file another program wrote (an import's source, a CSV file opened or dropped into a
// grid) as the program's Windows-1250 text, in the encoding DecodeForeignText tells.
// EFOpenError when it cannot be read; EForeignTextError, naming them and their lines, when it
// holds characters that Windows-1250 cannot hold, bytes that are no text of its encoding or a
// NUL: nothing is garbled, and no NUL reaches the program's text.
AnsiString LoadForeignTextFile(const AnsiString& FileName);

// ---------------------------------------------------------------- string lists
// The lines of a text as TStrings::SetText splits them (at CR LF, LF or CR;
// no line after a final break), viewing the text.
std::vector<std::string_view> TextLines(std::string_view Text);

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
    ~TStrings() override = default;

    // What a descendant provides.
    virtual int GetCount() const = 0;
    virtual AnsiString Get(int Index) const = 0;
    virtual void Put(int Index, const AnsiString& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const AnsiString& S) = 0;
    virtual void InsertObject(int Index, const AnsiString& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    int Count() const { return GetCount(); }
    AnsiString Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const AnsiString& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    virtual int Add(const AnsiString& S);
    virtual int AddObject(const AnsiString& S, TObject* AObject);
    void Append(const AnsiString& S) { Add(S); }
    virtual void AddStrings(TStrings* Strings);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(const AnsiString& S) const;
    int IndexOfName(const AnsiString& Name) const;
    int IndexOfObject(TObject* AObject) const;
    bool Equals(TStrings* Strings) const;
    void Assign(TPersistent* Source) override;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Lines each followed by CR LF; reading splits at CR LF, LF or CR.
    AnsiString Text() const;
    virtual void SetText(const AnsiString& Value);
    AnsiString CommaText() const;
    void SetCommaText(const AnsiString& Value);
    AnsiString DelimitedText() const;
    void SetDelimitedText(const AnsiString& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char C) { FDelimiter = C; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char C) { FQuoteChar = C; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool B) { FStrictDelimiter = B; }

    // "name=value" lines.
    AnsiString Names(int Index) const;
    AnsiString Values(const AnsiString& Name) const;
    // An empty value removes the line.
    void SetValues(const AnsiString& Name, const AnsiString& Value);
    AnsiString ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const AnsiString& Value);
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

    int Capacity() const { return GetCount(); }
    void SetCapacity(int) {}

    // Byte for byte, no code page conversion.
    virtual void LoadFromFile(const AnsiString& FileName);
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToFile(const AnsiString& FileName);
    virtual void SaveToStream(TStream* Stream);

protected:
    // Called when the update count leaves or reaches 0.
    virtual void SetUpdateState(bool Updating) {}
    // 0 when equal; the list's own case rule.
    virtual int CompareStrings(const AnsiString& S1, const AnsiString& S2) const;
    // EStringListError with Msg formatted with Data.
    [[noreturn]] void Error(const AnsiString& Msg, int Data) const;

private:
    AnsiString JoinDelimited(char Delim, char Quote, bool Strict) const;

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
    bool FStrictDelimiter = false;
};

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    ~TStringList() override;
    TStringList(const TStringList&) = delete;
    TStringList& operator=(const TStringList&) = delete;

    int GetCount() const override { return static_cast<int>(FList.size()); }
    AnsiString Get(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const AnsiString& S) override;
    void InsertObject(int Index, const AnsiString& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    int Add(const AnsiString& S) override;
    int AddObject(const AnsiString& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const AnsiString& S) const override;

    // Binary search of a sorted list: true when found; Index is the match or
    // the place where S belongs.
    virtual bool Find(const AnsiString& S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const AnsiString& S1, const AnsiString& S2) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct TStringItem {
        AnsiString FString;
        TObject* FObject = nullptr;
    };
    std::vector<TStringItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;

    void CheckIndex(int Index) const;
    void InsertItem(int Index, const AnsiString& S, TObject* AObject);
};
