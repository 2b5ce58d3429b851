// The framework's string routines, integer conversion and format settings.
#include <algorithm>
#include <cctype>
#include <climits>

#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

void Abort() { throw EAbort("Operation aborted"); }

// ---------------------------------------------------------------- locale

TFormatSettings::TFormatSettings()
{
    static const char* const kShortMonths[12] = {"sty", "lut", "mar", "kwi", "maj", "cze",
                                                 "lip", "sie", "wrz", "paź", "lis", "gru"};
    static const char* const kLongMonths[12] = {"styczeń", "luty",     "marzec",   "kwiecień",
                                                "maj",     "czerwiec", "lipiec",   "sierpień",
                                                "wrzesień", "październik", "listopad", "grudzień"};
    static const char* const kShortDays[7] = {"N", "Pn", "Wt", "Śr", "Cz", "Pt", "So"};
    static const char* const kLongDays[7] = {"niedziela", "poniedziałek", "wtorek", "środa",
                                             "czwartek",  "piątek",       "sobota"};
    for (int i = 0; i < 12; ++i) {
        ShortMonthNames[i] = kShortMonths[i];
        LongMonthNames[i] = kLongMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        ShortDayNames[i] = kShortDays[i];
        LongDayNames[i] = kLongDays[i];
    }
}

TFormatSettings FormatSettings;

void ResetFormatSettings() { FormatSettings = TFormatSettings(); }

// ---------------------------------------------------------------- integers

AnsiString IntToStr(Int64 v) { return std::to_string(v); }

AnsiString IntToHex(Int64 v, int digits)
{
    // Values of the 32-bit range show as the framework's Integer overload.
    unsigned long long u = (v >= INT_MIN && v <= INT_MAX) ? static_cast<unsigned long long>(static_cast<std::uint32_t>(v))
                                                          : static_cast<unsigned long long>(v);
    static const char kHex[] = "0123456789ABCDEF";
    AnsiString s;
    do {
        s.insert(s.begin(), kHex[u & 15]);
        u >>= 4;
    } while (u);
    if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
    return s;
}

bool TryStrToInt64(const AnsiString& s, Int64& v)
{
    size_t i = 0, n = s.size();
    while (i < n && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    while (n > i && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
    if (i == n) return false;
    bool neg = false;
    if (s[i] == '+' || s[i] == '-') {
        neg = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) return false;
    unsigned long long acc = 0;
    const unsigned long long limit = base == 16 ? ~0ULL : (neg ? 0x8000000000000000ULL : 0x7FFFFFFFFFFFFFFFULL);
    for (; i < n; ++i) {
        int d;
        char c = s[i];
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        if (acc > (limit - static_cast<unsigned>(d)) / static_cast<unsigned>(base)) return false;
        acc = acc * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    v = static_cast<Int64>(neg ? 0ULL - acc : acc);
    return true;
}

bool TryStrToInt(const AnsiString& s, int& v)
{
    Int64 w;
    if (!TryStrToInt64(s, w)) return false;
    // Hex digits may give the bit pattern of a negative Integer ("$FFFFFFFF").
    AnsiString t = Trim(s);
    bool hex = t.find('$') != AnsiString::npos || t.find("0x") != AnsiString::npos || t.find("0X") != AnsiString::npos;
    if (hex && w >= 0 && w <= 0xFFFFFFFFLL) w = static_cast<std::int32_t>(static_cast<std::uint32_t>(w));
    if (w < INT_MIN || w > INT_MAX) return false;
    v = static_cast<int>(w);
    return true;
}

int StrToInt(const AnsiString& s)
{
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' nie jest prawidłową liczbą całkowitą");
    return v;
}

Int64 StrToInt64(const AnsiString& s)
{
    Int64 v;
    if (!TryStrToInt64(s, v)) throw EConvertError("'" + s + "' nie jest prawidłową liczbą całkowitą");
    return v;
}

int StrToIntDef(const AnsiString& s, int def)
{
    int v;
    return TryStrToInt(s, v) ? v : def;
}

bool StrToBool(const AnsiString& s)
{
    if (SameText(s, "True")) return true;
    if (SameText(s, "False")) return false;
    double d;
    if (TryStrToFloat(s, d)) return d != 0;
    throw EConvertError("'" + s + "' is not a valid boolean value");
}

AnsiString BoolToStr(bool b, bool useBoolStrs)
{
    if (useBoolStrs) return b ? "True" : "False";
    return b ? "-1" : "0";
}

// ---------------------------------------------------------------- strings

AnsiString TrimLeft(const AnsiString& s)
{
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    return s.substr(i);
}

AnsiString TrimRight(const AnsiString& s)
{
    size_t n = s.size();
    while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
    return s.substr(0, n);
}

AnsiString Trim(const AnsiString& s) { return TrimLeft(TrimRight(s)); }

AnsiString UpperCase(const AnsiString& s)
{
    AnsiString r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

AnsiString LowerCase(const AnsiString& s)
{
    AnsiString r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

AnsiString AnsiUpperCase(const AnsiString& s)
{
    AnsiString r(s);
    for (char& c : r) c = static_cast<char>(AnsiUpperChar(static_cast<unsigned char>(c)));
    return r;
}

AnsiString AnsiLowerCase(const AnsiString& s)
{
    AnsiString r(s);
    for (char& c : r) c = static_cast<char>(AnsiLowerChar(static_cast<unsigned char>(c)));
    return r;
}

int CompareStr(const AnsiString& a, const AnsiString& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
        if (d) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int CompareText(const AnsiString& a, const AnsiString& b)
{
    auto up = [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return u >= 'a' && u <= 'z' ? u - 32 : u;
    };
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = up(a[i]) - up(b[i]);
        if (d) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(const AnsiString& a, const AnsiString& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

static int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return Sign(CollateAnsi(a, b, false)); }
int AnsiCompareText(const AnsiString& a, const AnsiString& b) { return Sign(CollateAnsi(a, b, true)); }
bool AnsiSameText(const AnsiString& a, const AnsiString& b) { return AnsiLowerCase(a) == AnsiLowerCase(b); }

int Pos(const AnsiString& sub, const AnsiString& s)
{
    if (sub.empty()) return 0;
    size_t p = s.find(sub);
    return p == AnsiString::npos ? 0 : static_cast<int>(p) + 1;
}

int AnsiPos(const AnsiString& sub, const AnsiString& s) { return Pos(sub, s); }

int PosEx(const AnsiString& sub, const AnsiString& s, int offset)
{
    if (sub.empty() || offset < 1 || offset > static_cast<int>(s.size())) return 0;
    size_t p = s.find(sub, static_cast<size_t>(offset - 1));
    return p == AnsiString::npos ? 0 : static_cast<int>(p) + 1;
}

AnsiString Copy(const AnsiString& s, int index, int count)
{
    if (index < 1) index = 1;
    if (count <= 0 || index > static_cast<int>(s.size())) return AnsiString();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Delete(AnsiString& s, int index, int count)
{
    if (index < 1 || index > static_cast<int>(s.size()) || count <= 0) return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const AnsiString& sub, AnsiString& s, int index)
{
    if (index < 1) index = 1;
    if (index > static_cast<int>(s.size()) + 1) index = static_cast<int>(s.size()) + 1;
    s.insert(static_cast<size_t>(index - 1), sub);
}

AnsiString StringOfChar(char c, int count) { return count > 0 ? AnsiString(static_cast<size_t>(count), c) : AnsiString(); }

AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern, int flags)
{
    if (oldPattern.empty()) return s;
    const bool ignoreCase = flags & rfIgnoreCase;
    const AnsiString src = ignoreCase ? AnsiUpperCase(s) : s;
    const AnsiString pat = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
    AnsiString out;
    size_t from = 0;
    for (;;) {
        size_t p = src.find(pat, from);
        if (p == AnsiString::npos) break;
        out.append(s, from, p - from);
        out += newPattern;
        from = p + pat.size();
        if (!(flags & rfReplaceAll)) break;
    }
    out.append(s, from, AnsiString::npos);
    return out;
}

AnsiString AnsiQuotedStr(const AnsiString& s, char quote)
{
    AnsiString r(1, quote);
    for (char c : s) {
        r += c;
        if (c == quote) r += c;
    }
    r += quote;
    return r;
}

AnsiString QuotedStr(const AnsiString& s) { return AnsiQuotedStr(s, '\''); }

AnsiString AnsiDequotedStr(const AnsiString& s, char quote)
{
    if (s.empty() || s[0] != quote) return s;
    AnsiString r;
    size_t i = 1;
    bool closed = false;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                r += quote;
                i += 2;
                continue;
            }
            closed = true;
            ++i;
            break;
        }
        r += s[i++];
    }
    // Only a fully quoted text is dequoted.
    if (!closed || i != s.size()) return s;
    return r;
}

AnsiString AdjustLineBreaks(const AnsiString& s)
{
    AnsiString r;
    r.reserve(s.size() + 8);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\r') {
            r += "\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            r += "\r\n";
        } else {
            r += c;
        }
    }
    return r;
}

bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, int index)
{
    if (index < 1 || index > static_cast<int>(s.size())) return false;
    return delimiters.find(s[static_cast<size_t>(index - 1)]) != AnsiString::npos;
}

int LastDelimiter(const AnsiString& delimiters, const AnsiString& s)
{
    size_t p = s.find_last_of(delimiters);
    return p == AnsiString::npos ? 0 : static_cast<int>(p) + 1;
}

// Breaks the line after blanks, tabs and hyphens so that no line is longer
// than maxCol where a break is possible; quoted text is not broken.
AnsiString WrapText(const AnsiString& line, int maxCol)
{
    if (maxCol < 1) maxCol = 1;
    const AnsiString breakChars = " -\t";
    AnsiString out;
    AnsiString cur;          // text of the current output line
    size_t lastBreak = AnsiString::npos;   // position in cur after which a break may go
    char quote = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\r' || c == '\n') {
            out += cur;
            out += c;
            if (c == '\r' && i + 1 < line.size() && line[i + 1] == '\n') out += line[++i];
            cur.clear();
            lastBreak = AnsiString::npos;
            quote = 0;
            continue;
        }
        cur += c;
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (breakChars.find(c) != AnsiString::npos) {
            lastBreak = cur.size();
        }
        if (static_cast<int>(cur.size()) > maxCol && lastBreak != AnsiString::npos && lastBreak < cur.size()) {
            out += cur.substr(0, lastBreak);
            out += "\r\n";
            cur.erase(0, lastBreak);
            lastBreak = AnsiString::npos;
        }
    }
    out += cur;
    return out;
}
