// Ini files read and written as the Windows profile functions do.
#include "platform/core/IniFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <unordered_map>

#include "platform/core/CodePage.h"
#include "platform/core/FileBytes.h"

namespace {

bool IsSpace(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string TrimBytes(const std::string& s, size_t from, size_t to)
{
    while (from < to && IsSpace(s[from]))
        ++from;
    while (to > from && IsSpace(s[to - 1]))
        --to;
    return s.substr(from, to - from);
}

// A value in one pair of enclosing quotes, which reading drops.
bool EnclosedInQuotes(const std::string& v)
{
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

bool HasLineBreak(const AnsiString& s)
{
    return s.find_first_of("\r\n") != AnsiString::npos;
}

// A stored number or date read with Parse; Default when the key is missing or empty or does not parse.
double ReadParsed(TCustomIniFile& ini, const AnsiString& Section, const AnsiString& Ident, double Default,
                  bool (*Parse)(const AnsiString&, double&))
{
    AnsiString s = ini.ReadString(Section, Ident, AnsiString());
    double v = Default;
    return !s.empty() && Parse(s, v) ? v : Default;
}

}  // namespace

// The lines of one ini file, each with its own line end, and an index of
// the sections and keys that the profile rules see in them.
class TIniDocument {
public:
    void Parse(const std::string& fileBytes)
    {
        // A file an editor saved with a byte-order mark is read as the text the mark names.
        TDecodedText decoded = DecodeForeignText(fileBytes, false);
        FLossy = !decoded.Whole();
        const std::string& bytes = decoded.Text;
        FLines.clear();
        size_t i = 0, n = bytes.size();
        while (i < n) {
            size_t start = i;
            while (i < n && bytes[i] != '\r' && bytes[i] != '\n')
                ++i;
            TLine line;
            line.Text = bytes.substr(start, i - start);
            size_t endStart = i;
            if (i < n && bytes[i] == '\r')
                ++i;
            if (i < n && bytes[i] == '\n')
                ++i;
            line.End = bytes.substr(endStart, i - endStart);
            FLines.push_back(std::move(line));
        }
        Reindex();
    }

    std::string Serialize() const
    {
        std::string out;
        for (const auto& line : FLines) {
            out += line.Text;
            out += line.End;
        }
        return out;
    }

    // The value of the key as the profile functions give it, or false.
    bool Find(const AnsiString& section, const AnsiString& key, AnsiString& value) const
    {
        const TSection* sec = FindSection(section);
        if (!sec)
            return false;
        auto it = sec->FirstKey.find(Fold(key));
        if (it == sec->FirstKey.end())
            return false;
        const std::string& text = FLines[static_cast<size_t>(it->second)].Text;
        size_t eq = text.find('=');
        value = TrimBytes(text, eq + 1, text.size());
        if (EnclosedInQuotes(value))
            value = value.substr(1, value.size() - 2);
        return true;
    }

    void Keys(const AnsiString& section, TStrings* out) const
    {
        if (const TSection* sec = FindSection(section))
            for (int line : sec->KeyLines)
                out->Add(KeyName(line));
    }

    // "key=value" of each key (the value as Find gives it) and each name line as it stands.
    void Entries(const AnsiString& section, TStrings* out) const
    {
        const TSection* sec = FindSection(section);
        if (!sec)
            return;
        for (int line : sec->EntryLines) {
            const std::string& text = FLines[static_cast<size_t>(line)].Text;
            if (!IsKeyLine(line)) {
                out->Add(TrimBytes(text, 0, text.size()));
                continue;
            }
            AnsiString value;
            Find(section, KeyName(line), value);
            out->Add(KeyName(line) + "=" + value);
        }
    }

    // Writing would lose what the file holds: bytes that are no text, letters the program's
    // text cannot hold, or NUL characters, which the program never stores.
    bool Lossy() const { return FLossy; }

    void Sections(TStrings* out) const
    {
        for (const auto& sec : FSections)
            if (FFirstSection.at(Fold(sec.Name)) == &sec - FSections.data())
                out->Add(sec.Name);
    }

    // False when nothing changed.
    bool Write(const AnsiString& section, const AnsiString& key, const AnsiString& value)
    {
        std::string text = key + "=" + value;
        const TSection* sec = FindSection(section);
        if (!sec) {
            EndLastLine();
            FLines.push_back({"[" + section + "]", "\r\n"});
            FLines.push_back({text, "\r\n"});
            Reindex();
            return true;
        }
        auto it = sec->FirstKey.find(Fold(key));
        if (it != sec->FirstKey.end()) {
            TLine& line = FLines[static_cast<size_t>(it->second)];
            std::string replaced = KeyName(it->second) + "=" + value;
            if (line.Text == replaced)
                return false;
            line.Text = replaced;
            if (line.End.empty())
                line.End = "\r\n";
            return true;
        }
        // A name line of the key becomes the key, in its place.
        if (auto named = sec->FirstName.find(Fold(key)); named != sec->FirstName.end()) {
            TLine& line = FLines[static_cast<size_t>(named->second)];
            line.Text = TrimBytes(line.Text, 0, line.Text.size()) + "=" + value;
            if (line.End.empty())
                line.End = "\r\n";
            Reindex();
            return true;
        }
        // After the section's last non-blank line.
        int at = sec->Header;
        for (int i = sec->End - 1; i > sec->Header; --i)
            if (!TrimBytes(FLines[static_cast<size_t>(i)].Text, 0, FLines[static_cast<size_t>(i)].Text.size()).empty()) {
                at = i;
                break;
            }
        if (FLines[static_cast<size_t>(at)].End.empty())
            FLines[static_cast<size_t>(at)].End = "\r\n";
        FLines.insert(FLines.begin() + at + 1, TLine{text, "\r\n"});
        Reindex();
        return true;
    }

    // Every section of that name, header to the next section.
    bool EraseSection(const AnsiString& section)
    {
        std::string folded = Fold(section);
        std::vector<char> drop(FLines.size(), 0);
        bool any = false;
        for (const auto& sec : FSections)
            if (Fold(sec.Name) == folded) {
                for (int i = sec.Header; i < sec.End; ++i)
                    drop[static_cast<size_t>(i)] = 1;
                any = true;
            }
        if (any)
            RemoveLines(drop);
        return any;
    }

    // Every line of the key in the section that the profile functions see, and its name lines.
    bool DeleteKey(const AnsiString& section, const AnsiString& key)
    {
        const TSection* sec = FindSection(section);
        if (!sec)
            return false;
        std::string folded = Fold(key);
        std::vector<char> drop(FLines.size(), 0);
        bool any = false;
        for (int line = sec->Header + 1; line < sec->End; ++line)
            if ((IsKeyLine(line) && Fold(KeyName(line)) == folded) ||
                (IsNameLine(line) && Fold(FLines[static_cast<size_t>(line)].Text) == folded)) {
                drop[static_cast<size_t>(line)] = 1;
                any = true;
            }
        if (any)
            RemoveLines(drop);
        return any;
    }

private:
    struct TLine {
        std::string Text;
        std::string End;  // "\r\n", "\n", "\r" or "" for a last line without one
    };
    struct TSection {
        AnsiString Name;
        int Header = 0;
        int End = 0;  // first line after the section
        std::vector<int> KeyLines;                       // first line of each distinct key
        std::unordered_map<std::string, int> FirstKey;   // folded name -> line
        std::vector<int> EntryLines;                     // first line of each distinct key or name line
        std::unordered_map<std::string, int> FirstName;  // folded name -> line (a key or a name line)
    };
    std::vector<TLine> FLines;
    bool FLossy = false;
    std::vector<TSection> FSections;
    std::unordered_map<std::string, int> FFirstSection;  // folded name -> index in FSections

    static std::string Fold(const AnsiString& name)
    {
        return AnsiUpperCase(Trim(name));
    }

    std::string KeyName(int line) const
    {
        const std::string& text = FLines[static_cast<size_t>(line)].Text;
        return TrimBytes(text, 0, text.find('='));
    }

    bool IsKeyLine(int line) const
    {
        const std::string& text = FLines[static_cast<size_t>(line)].Text;
        size_t p = 0;
        while (p < text.size() && IsSpace(text[p]))
            ++p;
        size_t eq = text.find('=');
        return p < text.size() && text[p] != ';' && text[p] != '[' && eq != std::string::npos &&
               !TrimBytes(text, p, eq).empty();
    }

    // A line that names an entry by itself, without "=" (neither blank nor a comment).
    bool IsNameLine(int line) const
    {
        const std::string& text = FLines[static_cast<size_t>(line)].Text;
        size_t p = 0;
        while (p < text.size() && IsSpace(text[p]))
            ++p;
        return p < text.size() && text[p] != ';' && text[p] != '[' && text.find('=') == std::string::npos;
    }

    const TSection* FindSection(const AnsiString& section) const
    {
        auto it = FFirstSection.find(Fold(section));
        return it == FFirstSection.end() ? nullptr : &FSections[static_cast<size_t>(it->second)];
    }

    void EndLastLine()
    {
        if (!FLines.empty() && FLines.back().End.empty())
            FLines.back().End = "\r\n";
    }

    void RemoveLines(const std::vector<char>& drop)
    {
        std::vector<TLine> kept;
        kept.reserve(FLines.size());
        for (size_t i = 0; i < FLines.size(); ++i)
            if (!drop[i])
                kept.push_back(std::move(FLines[i]));
        FLines.swap(kept);
        Reindex();
    }

    void Reindex()
    {
        FSections.clear();
        FFirstSection.clear();
        const int n = static_cast<int>(FLines.size());
        for (int i = 0; i < n; ++i) {
            const std::string& text = FLines[static_cast<size_t>(i)].Text;
            size_t p = 0;
            while (p < text.size() && IsSpace(text[p]))
                ++p;
            if (p < text.size() && text[p] == '[') {
                if (!FSections.empty())
                    FSections.back().End = i;
                size_t close = text.find(']', p + 1);
                TSection sec;
                sec.Name = TrimBytes(text, p + 1, close == std::string::npos ? text.size() : close);
                sec.Header = i;
                sec.End = n;
                FSections.push_back(std::move(sec));
                FFirstSection.emplace(Fold(FSections.back().Name), static_cast<int>(FSections.size()) - 1);
                continue;
            }
            if (FSections.empty())
                continue;
            TSection& sec = FSections.back();
            const bool key = IsKeyLine(i);
            if (!key && !IsNameLine(i))
                continue;
            const std::string folded = Fold(key ? KeyName(i) : text);
            if (key && sec.FirstKey.emplace(folded, i).second)
                sec.KeyLines.push_back(i);
            if (sec.FirstName.emplace(folded, i).second)
                sec.EntryLines.push_back(i);
        }
    }
};

// ---------------------------------------------------------------- TCustomIniFile
TCustomIniFile::TCustomIniFile(const AnsiString& FileName) : FFileName(FileName) {}
TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default)
{
    AnsiString s = ReadString(Section, Ident, AnsiString());
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s = "$" + s.substr(2);
    return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default)
{
    return ReadParsed(*this, Section, Ident, Default, TryStrToFloat);
}

void TCustomIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default)
{
    return ReadParsed(*this, Section, Ident, Default, TryStrToDate);
}

void TCustomIniFile::WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value)
{
    WriteString(Section, Ident, DateToStr(Value));
}

TDateTime TCustomIniFile::ReadDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default)
{
    return ReadParsed(*this, Section, Ident, Default, TryStrToDateTime);
}

void TCustomIniFile::WriteDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value)
{
    WriteString(Section, Ident, DateTimeToStr(Value));
}

TDateTime TCustomIniFile::ReadTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default)
{
    return ReadParsed(*this, Section, Ident, Default, TryStrToTime);
}

void TCustomIniFile::WriteTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value)
{
    WriteString(Section, Ident, TimeToStr(Value));
}

bool TCustomIniFile::SectionExists(const AnsiString& Section)
{
    TStringList entries;
    ReadSectionValues(Section, &entries);
    return entries.Count() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident)
{
    TStringList keys;
    ReadSection(Section, &keys);
    for (int i = 0; i < keys.Count(); ++i)
        if (AnsiUpperCase(keys.Strings(i)) == AnsiUpperCase(Trim(Ident)))
            return true;
    return false;
}

namespace {

void FillFrom(TStrings* Strings, const std::function<void(TStrings*)>& fill)
{
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        fill(Strings);
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

void CheckWritable(const AnsiString& fileName, const AnsiString& Section, const AnsiString& Ident,
                   const AnsiString& Value)
{
    // A line break would split the entry and could plant other keys or sections; a key with "=" or
    // starting with "[" or ";", or a section name with "]", would not read back as written.
    const AnsiString key = Trim(Ident);
    if (HasLineBreak(Section) || HasLineBreak(Ident) || HasLineBreak(Value) ||
        key.find('=') != AnsiString::npos || (!key.empty() && (key[0] == '[' || key[0] == ';')) ||
        Section.find(']') != AnsiString::npos)
        throw EIniFileException("Unable to write to " + fileName);
}

}  // namespace

AnsiString IniQuotedValue(const AnsiString& Text)
{
    const bool blankEnds = !Text.empty() && (IsSpace(Text.front()) || IsSpace(Text.back()));
    return blankEnds || EnclosedInQuotes(Text) ? "\"" + Text + "\"" : Text;
}

// ---------------------------------------------------------------- TIniFile
TIniFile::TIniFile(const AnsiString& FileName) : TCustomIniFile(FileName), FDoc(std::make_unique<TIniDocument>()) {}
TIniFile::~TIniFile() = default;

TIniFile::TStamp TIniFile::StampOf(const std::string& osPath)
{
    TStamp s;
    struct stat st {};
    if (::stat(osPath.c_str(), &st) == 0) {
        s.Exists = true;
        s.Dev = st.st_dev;
        s.Ino = st.st_ino;
        s.Size = static_cast<unsigned long long>(st.st_size);
        s.MTimeSec = st.st_mtim.tv_sec;
        s.MTimeNsec = st.st_mtim.tv_nsec;
    }
    return s;
}

TIniDocument& TIniFile::Current()
{
    FOsPath = ToOsPath(FFileName);
    TStamp stamp = StampOf(FOsPath);
    if (FLoaded && stamp == FStamp)
        return *FDoc;
    std::string bytes;
    FLoaded = true;
    FStamp = stamp;
    if (stamp.Exists && !ReadWholeFileOs(FOsPath, bytes)) {
        // Unreadable: reads give their defaults, writes refuse rather than overwrite it.
        FLoaded = false;
    }
    FDoc->Parse(bytes);
    return *FDoc;
}

void TIniFile::Store()
{
    if (!FLoaded || FDoc->Lossy() || !WriteWholeFileOs(FOsPath, FDoc->Serialize())) {
        FLoaded = false;
        throw EIniFileException("Unable to write to " + FFileName);
    }
    FStamp = StampOf(FOsPath);
}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default)
{
    AnsiString value;
    if (Current().Find(Section, Ident, value))
        return value;
    // As the system's profile routines do, a default handed back for a missing key,
    // section or file loses its trailing blanks.
    std::size_t end = Default.find_last_not_of(' ');
    return end == AnsiString::npos ? AnsiString() : Default.substr(0, end + 1);
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    CheckWritable(FFileName, Section, Ident, Value);
    TIniDocument& doc = Current();
    if (doc.Write(Section, Ident, Value) || !FStamp.Exists)
        Store();
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings)
{
    FillFrom(Strings, [&](TStrings* s) { Current().Keys(Section, s); });
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings)
{
    FillFrom(Strings, [&](TStrings* s) { Current().Entries(Section, s); });
}

void TIniFile::ReadSections(TStrings* Strings)
{
    FillFrom(Strings, [&](TStrings* s) { Current().Sections(s); });
}

void TIniFile::EraseSection(const AnsiString& Section)
{
    if (Current().EraseSection(Section))
        Store();
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident)
{
    if (Current().DeleteKey(Section, Ident))
        Store();
}

// ---------------------------------------------------------------- TMemIniFile
TMemIniFile::TMemIniFile(const AnsiString& FileName)
    : TCustomIniFile(FileName), FDoc(std::make_unique<TIniDocument>())
{
    std::string bytes;
    const std::string path = ToOsPath(FileName);
    if (ReadWholeFileOs(path, bytes))
        FDoc->Parse(bytes);
    else
        FUnreadable = ::access(path.c_str(), F_OK) == 0;   // UpdateFile would lose what could not be read
}

TMemIniFile::~TMemIniFile() = default;

AnsiString TMemIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default)
{
    AnsiString value;
    return FDoc->Find(Section, Ident, value) ? value : Default;
}

void TMemIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    CheckWritable(FFileName, Section, Ident, Value);
    FDoc->Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const AnsiString& Section, TStrings* Strings)
{
    FillFrom(Strings, [&](TStrings* s) { FDoc->Keys(Section, s); });
}

void TMemIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings)
{
    FillFrom(Strings, [&](TStrings* s) { FDoc->Entries(Section, s); });
}

void TMemIniFile::ReadSections(TStrings* Strings)
{
    FillFrom(Strings, [&](TStrings* s) { FDoc->Sections(s); });
}

void TMemIniFile::EraseSection(const AnsiString& Section)
{
    FDoc->EraseSection(Section);
}

void TMemIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident)
{
    FDoc->DeleteKey(Section, Ident);
}

void TMemIniFile::UpdateFile()
{
    if (FUnreadable || FDoc->Lossy() || !WriteWholeFileOs(ToOsPath(FFileName), FDoc->Serialize()))
        throw EIniFileException("Unable to write to " + FFileName);
}
