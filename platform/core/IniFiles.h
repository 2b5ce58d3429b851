#pragma once
// Ini files with the Windows profile rules: sections and keys without case,
// names and values trimmed, one pair of enclosing quotes dropped from a value
// on reading, the first of duplicate sections or keys wins, lines that are not
// keys kept as they are, Windows-1250 bytes untouched, CR LF written.
// A file that begins with a byte-order mark (UTF-8, UTF-16) is read as the text
// the mark names and written back as Windows-1250. A file whose text the program's
// text cannot hold whole (bytes that are no text of its encoding, letters without a
// Windows-1250 byte, NUL characters) reads with "?" for what is lost, and is never
// written: writes refuse as for a file that cannot be written.
#include <memory>

#include "platform/core/Classes.h"

class TIniDocument;

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(const AnsiString& FileName);
    ~TCustomIniFile() override;

    const AnsiString& FileName() const { return FFileName; }

    virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                                  const AnsiString& Default) = 0;
    // EIniFileException "Unable to write to <file>" when the file cannot be written. A line
    // that names the key without "=" becomes the key's line.
    virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
    // Key names of the section, in file order.
    virtual void ReadSection(const AnsiString& Section, TStrings* Strings) = 0;
    // The section's lines in file order: "key=value" for each key (the value as ReadString
    // gives it) and, for a line that names an entry without "=", that line itself (trimmed).
    virtual void ReadSectionValues(const AnsiString& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void EraseSection(const AnsiString& Section) = 0;
    // The key's lines and the lines that name it without "=".
    virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
    virtual void UpdateFile() = 0;

    // "0x1F" and "$1F" are read as hexadecimal; anything else unreadable gives Default.
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    // "1" or "0".
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    double ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default);
    void WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value);
    TDateTime ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
    void WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
    TDateTime ReadDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
    void WriteDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
    TDateTime ReadTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
    void WriteTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
    // True when the section holds at least one key or line without "=".
    bool SectionExists(const AnsiString& Section);
    bool ValueExists(const AnsiString& Section, const AnsiString& Ident);

protected:
    AnsiString FFileName;
};

// The value to write for Text so that reading it gives Text back: Text in double quotes when
// reading would drop its ends (blanks, or a pair of enclosing quotes); else Text itself.
AnsiString IniQuotedValue(const AnsiString& Text);

// Every call reads the file as it is on disk now (other objects and programs
// may change it), and every write replaces the file at once.
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const AnsiString& FileName);
    ~TIniFile() override;

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                          const AnsiString& Default) override;
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
    void ReadSection(const AnsiString& Section, TStrings* Strings) override;
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void EraseSection(const AnsiString& Section) override;
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
    // Nothing to do: every write is already on disk.
    void UpdateFile() override {}

private:
    std::unique_ptr<TIniDocument> FDoc;
    // What the cached document was read from; reloaded when the file changes.
    struct TStamp {
        bool Exists = false;
        unsigned long long Dev = 0, Ino = 0, Size = 0;
        long long MTimeSec = 0, MTimeNsec = 0;
        bool operator==(const TStamp&) const = default;
    } FStamp;
    bool FLoaded = false;
    std::string FOsPath;

    TIniDocument& Current();
    void Store();
    static TStamp StampOf(const std::string& osPath);
};

// The same rules on a copy in memory; UpdateFile writes it.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const AnsiString& FileName);
    ~TMemIniFile() override;

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                          const AnsiString& Default) override;
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
    void ReadSection(const AnsiString& Section, TStrings* Strings) override;
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void EraseSection(const AnsiString& Section) override;
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
    // EIniFileException "Unable to write to <file>" also when the file was there but could not be read.
    void UpdateFile() override;

private:
    std::unique_ptr<TIniDocument> FDoc;
    bool FUnreadable = false;
};
