#include "grid/ProUtil.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {

const char CR = '\r';
const char LF = '\n';
const char VTab = '\x0B';

bool Contains(std::string_view s, char c)
{
    return s.find(c) != std::string_view::npos;
}

bool Contains(std::string_view s, const char* sub)
{
    return s.find(sub) != std::string_view::npos;
}

AnsiString ReplaceChar(const AnsiString& s, char from, const AnsiString& to)
{
    return StringReplace(s, AnsiString(1, from), to, rfReplaceAll);
}

AnsiString RemoveChar(const AnsiString& s, char c)
{
    return ReplaceChar(s, c, AnsiString());
}

// Float conversion with "." as decimal point that must use the whole text
// (leading blanks and a leading "+" are allowed).
bool ValFloat(const AnsiString& s, double& v)
{
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && s[i] == '+') ++i;
    if (i >= s.size()) return false;
    for (size_t k = i; k < s.size(); ++k) {
        char c = s[k];
        if (!IsDigitChar(c) && c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') return false;
    }
    const char* first = s.data() + i;
    const char* last = s.data() + s.size();
    auto res = std::from_chars(first, last, v, std::chars_format::general);
    return res.ec == std::errc() && res.ptr == last;
}

// Values of the fixed-order date parsers are held in 16 bits; what does not
// fit becomes 0 so that the date encoding rejects it instead of wrapping.
Word DateField(Int64 v)
{
    return (v < 0 || v > 0xFFFF) ? Word(0) : Word(v);
}

int CountDigits(const AnsiString& s)
{
    return int(std::count_if(s.begin(), s.end(), [](char c) { return IsDigitChar(c); }));
}

TDateTime ParseFixedOrderDate(const AnsiString& S, bool monthFirst)
{
    char sep;
    if (Contains(S, '/'))
        sep = '/';
    else if (Contains(S, '.'))
        sep = '.';
    else if (Contains(S, '-'))
        sep = '-';
    else
        return 0;

    size_t a = S.find(sep);
    int first = 0;
    if (!TryStrToInt(S.substr(0, a), first)) return 0;
    AnsiString rest = S.substr(a + 1);
    size_t b = rest.find(sep);
    if (b == AnsiString::npos) return 0;
    int second = 0;
    if (!TryStrToInt(rest.substr(0, b), second)) return 0;
    AnsiString yearText = rest.substr(b + 1);
    int yearValue = 0;
    if (!TryStrToInt(yearText, yearValue)) return 0;

    // Two-digit years: 00..25 are this century, the rest the last one. A
    // hexadecimal year may have few digits and any value: counted in 64 bits.
    Int64 year = yearValue;
    if (year >= 0 && CountDigits(yearText) <= 2) year += (year <= 25) ? 2000 : 1900;

    Word month = DateField(monthFirst ? first : second);
    Word day = DateField(monthFirst ? second : first);
    return EncodeDate(DateField(year), month, day);
}

// ---------------------------------------------------------------- filter conditions

AnsiString RemoveSpacesOutsideQuotes(const AnsiString& s)
{
    AnsiString r;
    r.reserve(s.size());
    bool quoted = false;
    for (char c : s) {
        if (c == '"') quoted = !quoted;
        if (c == ' ' && !quoted) continue;
        r += c;
    }
    return r;
}

// Index of the first operator at or after From, outside quotes (counted from From), npos when none.
size_t FindConditionOperator(const AnsiString& s, size_t From)
{
    bool quoted = false;
    for (size_t i = From; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c != '\0' && std::strchr("&(;^|", c) != nullptr)   // strchr finds the NUL too
            return i;
    }
    return AnsiString::npos;
}

// The brackets of a condition outside quotes, in the order of their "(": the index of
// each "(" and of the ")" that closes it (npos when none does). One pass finds them all:
// looking for each ")" afresh from its "(" would cost the square of the condition's length.
std::vector<std::pair<size_t, size_t>> ConditionBrackets(const AnsiString& s)
{
    std::vector<std::pair<size_t, size_t>> brackets;
    std::vector<size_t> open;   // indexes into brackets of the "(" not closed yet
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
        } else if (c == '(') {
            open.push_back(brackets.size());
            brackets.emplace_back(i, AnsiString::npos);
        } else if (c == ')' && !open.empty()) {
            brackets[open.back()].second = i;
            open.pop_back();
        }
    }
    return brackets;
}

// The operand of the comparison whose operator stands at opPos.
AnsiString ReadOperand(const AnsiString& p, size_t opPos, bool& orEqual)
{
    size_t i = opPos + 1;
    orEqual = i < p.size() && p[i] == '=';
    if (orEqual) ++i;
    while (i < p.size() && p[i] == ' ') ++i;
    AnsiString operand;
    bool quoted = false;
    for (; i < p.size(); ++i) {
        char c = p[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ' ' || c == '&' || c == '|'))
            break;
        operand += c;
    }
    if (!operand.empty() && operand.front() == '"') operand.erase(0, 1);
    if (!operand.empty() && operand.back() == '"') operand.pop_back();
    if (operand.size() > 255) operand.resize(255);
    return operand;
}

// Sign of Text compared with Operand: as numbers, else as dates, else bytewise.
int CompareWithOperand(const AnsiString& text, const AnsiString& operand)
{
    double tv = 0, ov = 0;
    bool tNum = ValFloat(NormalizeDecimalText(text.c_str()), tv);
    bool oNum = ValFloat(NormalizeDecimalText(operand.c_str()), ov);
    TDateTime td = 0, od = 0;
    bool tDate = TryParseLocaleDate(text, td);
    bool oDate = TryParseLocaleDate(operand, od);
    if (tNum && oNum && !tDate && !oDate) return (tv > ov) - (tv < ov);
    if (tDate && oDate) return (td > od) - (td < od);
    int c = text.substr(0, 255).compare(operand);
    return (c > 0) - (c < 0);
}

struct PatternToken {
    enum Kind { Literal, AnyChar, AnyRun } kind;
    char ch;
};

// Anchored wildcard match: "*" any run, "?" one character, "\" escapes the
// next character, "!" negates the whole match, double quotes are skipped.
bool MatchWildcard(const AnsiString& p, const AnsiString& t)
{
    std::vector<PatternToken> tokens;
    bool negate = false;
    for (size_t i = 0; i < p.size(); ++i) {
        char c = p[i];
        switch (c) {
        case '\\':
            if (i + 1 < p.size()) tokens.push_back({PatternToken::Literal, p[++i]});
            break;
        case '!':
            negate = true;
            break;
        case '"':
            break;
        case '*':
            if (tokens.empty() || tokens.back().kind != PatternToken::AnyRun)
                tokens.push_back({PatternToken::AnyRun, 0});
            break;
        case '?':
            tokens.push_back({PatternToken::AnyChar, 0});
            break;
        default:
            tokens.push_back({PatternToken::Literal, c});
        }
    }

    // Greedy walk that returns to the last "*" on a mismatch; gives the same
    // answer as trying every split, without its exponential cost.
    const size_t none = size_t(-1);
    size_t pi = 0, ti = 0, starP = none, starT = 0;
    while (ti < t.size()) {
        if (pi < tokens.size() && tokens[pi].kind == PatternToken::AnyRun) {
            starP = pi++;
            starT = ti;
        } else if (pi < tokens.size() &&
                   (tokens[pi].kind == PatternToken::AnyChar || tokens[pi].ch == t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != none) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return negate;
        }
    }
    while (pi < tokens.size() && tokens[pi].kind == PatternToken::AnyRun) ++pi;
    bool matched = pi == tokens.size();
    return negate ? !matched : matched;
}

bool MatchPattern(const AnsiString& p, const AnsiString& t)
{
    size_t gt = p.find('>');
    size_t lt = p.find('<');
    bool gtHolds = true, ltHolds = true;
    bool gtDone = false, ltDone = false;
    if (gt != AnsiString::npos) {
        bool orEqual = false;
        int c = CompareWithOperand(t, ReadOperand(p, gt, orEqual));
        gtHolds = orEqual ? c >= 0 : c > 0;
        gtDone = true;
    }
    if (lt != AnsiString::npos) {
        bool orEqual = false;
        int c = CompareWithOperand(t, ReadOperand(p, lt, orEqual));
        ltHolds = orEqual ? c <= 0 : c < 0;
        ltDone = true;
    }
    if (Contains(p, '!')) gtDone = ltDone = true;
    if (Contains(p, '^') && (gtDone || ltDone)) return gtHolds || ltHolds;
    if (Contains(p, '&') && gtDone && ltDone) return gtHolds && ltHolds;
    if (gt != AnsiString::npos && gtHolds) return true;
    if (lt != AnsiString::npos && ltHolds) return true;
    return MatchWildcard(p, t);
}

bool MatchLeaf(const AnsiString& leaf, const AnsiString& text, bool caseSensitive)
{
    if (caseSensitive) return MatchPattern(leaf, text);
    return MatchPattern(AnsiUpperCase(leaf), AnsiUpperCase(text));
}

}  // namespace

// ---------------------------------------------------------------- Unicode-in-ANSI cell text

AnsiString EncodeUnicodeCell(const WideString& W)
{
    AnsiString r = "|\\";
    r.reserve(2 + 2 * W.size());
    for (char16_t u : W) {
        r += char(u >> 8);
        r += char(u & 0xFF);
    }
    return r;
}

WideString DecodeUnicodeCell(const AnsiString& S)
{
    if (S.compare(0, 2, "|\\") != 0) return AnsiToWide(S);
    size_t units = (S.size() - 2) / 2;
    WideString w;
    w.reserve(units);
    for (size_t k = 0; k < units; ++k) {
        unsigned char hi = S[2 + 2 * k];
        unsigned char lo = S[3 + 2 * k];
        w += char16_t((hi << 8) | lo);
    }
    return w;
}

Byte ClassifyCellText(std::string_view S, bool CheckHTML)
{
    // As if a blank were appended: no mark contains one, so the text is
    // looked at in place.
    if (S.size() >= 2 && S[0] == '{' && S[1] == '\\') return 2;
    if (!S.empty() && S[0] == '=') return 3;
    if (S.size() >= 2 && S[0] == '|' && S[1] == '\\') {
        if (S.size() >= 5 && S[3] == '=' && S[4] == '\0') return 3;
        return 5;
    }
    // A tag: "</", "<B", "<I" or "<C" anywhere.
    if (CheckHTML)
        for (std::size_t i = S.find('<'); i != std::string_view::npos && i + 1 < S.size(); i = S.find('<', i + 1))
            if (const char next = S[i + 1]; next == '/' || next == 'B' || next == 'I' || next == 'C')
                return 1;
    return 0;
}

const char16_t* WideStrPos(const char16_t* Str, const char16_t* SubStr)
{
    if (Str == nullptr || SubStr == nullptr || *SubStr == 0) return nullptr;
    for (const char16_t* s = Str; *s != 0; ++s) {
        const char16_t* a = s;
        const char16_t* b = SubStr;
        while (*a != 0 && *a == *b) {
            ++a;
            ++b;
        }
        if (*b == 0) return s;
    }
    return nullptr;
}

int WidePos(const WideString& Substr, const WideString& S)
{
    if (Substr.empty() || S.empty()) return 0;
    const char16_t* p = WideStrPos(S.c_str(), Substr.c_str());
    return p != nullptr ? int(p - S.c_str()) + 1 : 0;
}

// ---------------------------------------------------------------- numbers

bool IsDigitChar(char C)
{
    return C >= '0' && C <= '9';
}

bool IsDigitOrMinus(char C)
{
    return IsDigitChar(C) || C == '-';
}

bool IsNumberChar(char C)
{
    return IsDigitChar(C) || C == 'E' || C == 'e' || C == FormatSettings.ThousandSeparator ||
           C == FormatSettings.DecimalSeparator;
}

bool IsPlainNumberChar(char C)
{
    return C == '+' || C == '-' || C == '.' || IsDigitChar(C) || C == 'E' || C == 'e';
}

bool IsSignedNumberChar(char C)
{
    return IsNumberChar(C) || C == '+' || C == '-';
}

Byte IsNumericText(std::string_view S)
{
    if (S.empty()) return 2;
    const char thousand = FormatSettings.ThousandSeparator;
    const char decimal = FormatSettings.DecimalSeparator;
    bool isInt = true, isFloat = true, isSci = true, seenE = false;
    int minus = 0, decimals = 0;
    size_t lastThousand = 0;   // 1-based, 0 = none yet
    const size_t n = S.size();
    for (size_t i = 1; i <= n; ++i) {
        const char c = S[i - 1];
        const bool isE = c == 'e' || c == 'E';
        if (!IsDigitOrMinus(c)) isInt = false;
        if (isE) {
            if (seenE) isSci = false;
            seenE = true;
        }
        if (i > 1 && c == '-') isInt = isFloat = false;
        if (i == 1 && isE) isSci = false;
        if (i == n && (isE || c == '+' || c == '-')) isSci = false;
        if (!IsDigitOrMinus(c) && c != thousand && c != decimal) isFloat = false;
        if (!IsSignedNumberChar(c) || c == thousand) isSci = false;
        if (c == thousand) {
            if (lastThousand != 0 && i - lastThousand < 4) isFloat = false;
            lastThousand = i;
        }
        if (c == decimal) ++decimals;
        if (c == '-') ++minus;
        if (!isInt && !isFloat && !isSci)
            return 2;   // nothing after this can make it a number
    }
    if (isInt) return 0;
    Byte code = 2;
    if (isFloat && !seenE) code = 1;
    if (isSci && seenE) {
        code = 5;
        if (minus == 2) minus = 1;   // negative mantissa with a negative exponent
    }
    if (minus > 1 || decimals > 1) return 2;
    return code;
}

AnsiString CleanNumberText(const AnsiString& S)
{
    if (S.empty()) return AnsiString();
    AnsiString s = Trim(S);
    bool negative = !s.empty() && s.front() == '(' && s.back() == ')';
    // A number never starts with its exponent mark, so a leading "E" belongs
    // to a word before the number ("EUR 12").
    while (s.size() >= 2 && (!IsNumberChar(s[0]) || s[0] == 'E' || s[0] == 'e')) {
        if (s[0] == '-') negative = true;
        s.erase(0, 1);
    }
    AnsiString r;
    for (char c : s) {
        if (c == FormatSettings.ThousandSeparator)
            continue;
        if (c == FormatSettings.DecimalSeparator)
            r += '.';
        else if (IsPlainNumberChar(c))
            r += c;
        else
            break;
    }
    if (negative) r.insert(0, 1, '-');
    return r;
}

AnsiString NormalizeDecimalText(const char* P)
{
    AnsiString r;
    if (P == nullptr) return r;
    for (; *P != 0; ++P) {
        if (*P == FormatSettings.DecimalSeparator)
            r += '.';
        else if (*P != FormatSettings.ThousandSeparator)
            r += *P;
    }
    return r;
}

// ---------------------------------------------------------------- dates

TDateTime ParseDateMDY(const AnsiString& S)
{
    return ParseFixedOrderDate(S, true);
}

TDateTime ParseDateDMY(const AnsiString& S)
{
    return ParseFixedOrderDate(S, false);
}

bool TryParseLocaleDate(const AnsiString& S, TDateTime& D)
{
    const AnsiString fmt = UpperCase(FormatSettings.ShortDateFormat);
    struct Field { int pos; char kind; };
    Field order[3] = {{Pos("D", fmt), 'D'}, {Pos("M", fmt), 'M'}, {Pos("Y", fmt), 'Y'}};
    std::stable_sort(order, order + 3, [](const Field& a, const Field& b) { return a.pos < b.pos; });

    const char sep = FormatSettings.DateSeparator;
    size_t a = S.find(sep);
    if (a == AnsiString::npos) return false;
    size_t b = S.find(sep, a + 1);
    if (b == AnsiString::npos) return false;
    const AnsiString texts[3] = {S.substr(0, a), S.substr(a + 1, b - a - 1), S.substr(b + 1)};

    int day = 0, month = 0, year = 0;
    for (int i = 0; i < 3; ++i) {
        int v = 0;
        if (!TryStrToInt(texts[i], v)) return false;
        switch (order[i].kind) {
        case 'D': day = v; break;
        case 'M': month = v; break;
        default: year = v; break;
        }
    }
    if (day > 31 || month > 12) return false;
    if (day < 0 || month < 0 || year < 0 || year > 0xFFFF) return false;
    TDateTime dt = 0;
    if (!TryEncodeDate(Word(year), Word(month), Word(day), dt)) return false;
    D = dt;
    return true;
}

bool IsDateLikeText(const AnsiString& S)
{
    const char sep = FormatSettings.DateSeparator;
    size_t a = S.find(sep);
    if (a == AnsiString::npos || a == 0) return false;
    size_t b = S.find(sep, a + 1);
    return b != AnsiString::npos && b > a + 1;
}

TDateTime IncDateParts(Word Years, Word Months, Word Days, TDateTime Date, TDateTime Delta)
{
    const int steps = (Years != 0) + (Months != 0) + (Days != 0);
    if (steps != 1) return Date + Delta;
    if (Days != 0) return Date + Days;

    Word y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    // Years and months add in 16 bits: a step of 65535 is one back, as the sum wraps.
    int year = y, month = m;
    if (Years != 0) {
        year += int16_t(Years);
    } else {
        int total = year * 12 + (month - 1) + int16_t(Months);
        year = total < 0 ? 0 : total / 12;
        month = total < 0 ? 1 : total % 12 + 1;
    }
    if (year < 1 || year > 9999) throw EConvertError("Invalid argument to date encode");
    const Word lastDay = DaysInAMonth(Word(year), Word(month));
    return EncodeDate(Word(year), Word(month), std::min(d, lastDay));
}

// ---------------------------------------------------------------- filter conditions

namespace {

// Brackets nested deeper than this make the whole condition fail to match.
constexpr int MaxConditionNesting = 64;

bool MatchConditionAt(const AnsiString& Condition, const AnsiString& Text, bool CaseSensitive, int Depth,
                      bool& TooDeep)
{
    if (Depth > MaxConditionNesting) {
        TooDeep = true;
        return false;
    }
    AnsiString cond = RemoveSpacesOutsideQuotes(Trim(Condition));
    if (!cond.empty() && cond[0] == '=') cond.erase(0, 1);

    // Strictly left to right, no precedence between the operators.
    bool result = false;
    char previous = 0;
    auto combine = [&](bool r) {
        switch (previous) {
        case 0: result = r; break;
        case '&': result = result && r; break;
        case '(': break;
        default: result = result || r; break;   // ";", "^", "|"
        }
    };

    // The rest of the condition starts at pos (walked forward, never copied: a condition of
    // many operators stays linear). Every scan starts outside quotes, so the brackets found
    // in one pass over the whole are those a scan from pos would find.
    const std::vector<std::pair<size_t, size_t>> brackets = ConditionBrackets(cond);
    size_t next = 0;   // the first bracket at or after pos
    size_t pos = 0;
    for (;;) {
        const size_t found = FindConditionOperator(cond, pos);
        if (found == AnsiString::npos) break;
        const char op = cond[found];
        while (next < brackets.size() && brackets[next].first < pos)
            ++next;
        size_t close = AnsiString::npos;
        bool r;
        if (cond[pos] == '(' && (close = brackets[next].second) != AnsiString::npos) {
            r = MatchConditionAt(cond.substr(pos + 1, close - pos - 1), Text, CaseSensitive, Depth + 1, TooDeep);
            if (TooDeep) return false;
            pos = close + 1;
        } else {
            r = MatchLeaf(cond.substr(pos, found - pos), Text, CaseSensitive);
            pos = found + 1;
        }
        combine(r);
        previous = op;
    }
    combine(MatchLeaf(cond.substr(std::min(pos, cond.size())), Text, CaseSensitive));
    return result;
}

}  // namespace

bool MatchFilterCondition(const AnsiString& Condition, const AnsiString& Text, bool CaseSensitive)
{
    bool tooDeep = false;
    bool r = MatchConditionAt(Condition, Text, CaseSensitive, 0, tooDeep);
    return r && !tooDeep;
}

// ---------------------------------------------------------------- CSV and line breaks

AnsiString DoubleQuoteChars(const AnsiString& S)
{
    return ReplaceChar(S, '"', "\"\"");
}

void QuoteCSVCell(AnsiString& S)
{
    AnsiString r = "\"";
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == CR && i + 1 < S.size() && S[i + 1] == LF) {
            r += VTab;
            ++i;
        } else {
            r += S[i];
        }
    }
    r += '"';
    S = r;
}

void VTabToCRLF(AnsiString& S)
{
    if (Contains(S, VTab)) S = ReplaceChar(S, VTab, "\r\n");
}

void StripCRFromCRLF(AnsiString& S)
{
    AnsiString r;
    r.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == CR && i + 1 < S.size() && S[i + 1] == LF) continue;
        r += S[i];
    }
    S = r;
}

AnsiString RemoveQuoteChar(char Ch, const AnsiString& S)
{
    if (!Contains(S, Ch)) return S;
    AnsiString r;
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] != Ch) {
            r += S[i];
        } else if (i + 1 < S.size() && S[i + 1] == Ch) {
            r += Ch;
            ++i;
        }
    }
    return r;
}

void LineBreaksToTilde(AnsiString& S)
{
    S = ReplaceChar(RemoveChar(S, LF), CR, "~");
}

void TildeToLineBreaks(AnsiString& S)
{
    S = ReplaceChar(S, '~', "\r\n");
    if (S == "^") S.clear();
}

AnsiString LineBreaksToEscapedNewlines(const AnsiString& S)
{
    return ReplaceChar(RemoveChar(S, LF), CR, "\\n");
}

AnsiString EscapedNewlinesToCR(const AnsiString& S)
{
    AnsiString r;
    r.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\\' && i + 1 < S.size() && S[i + 1] == 'n') {
            r += CR;
            ++i;
        } else {
            r += S[i];
        }
    }
    return r;
}

AnsiString EncodeLineBreaksForStream(const AnsiString& S)
{
    if (!Contains(S, CR)) return S;
    AnsiString r = S;
    for (char& c : r) {
        if (c == CR)
            c = '\x09';
        else if (c == LF)
            c = '\x08';
        else if (c == '\0')
            c = '\x01';
    }
    return r;
}

AnsiString DecodeLineBreaksFromStream(const AnsiString& S, bool MultiLine)
{
    if (!Contains(S, '\x08')) return S;
    AnsiString r = S;
    for (char& c : r) {
        if (c == '\x09')
            c = CR;
        else if (c == '\x08')
            c = LF;
        else if (c == '\x01')
            c = '\0';
    }
    if (MultiLine) return r;
    AnsiString line;
    ExtractFirstLine(r, false, line);
    return line;
}

AnsiString CRToHtmlBreak(const AnsiString& S)
{
    if (!Contains(S, CR)) return S;
    return ReplaceChar(S, CR, "<br>");
}

AnsiString RemoveCRChars(const AnsiString& S)
{
    return RemoveChar(S, CR);
}

AnsiString DeleteCRChars(const AnsiString& S)
{
    return RemoveChar(S, CR);
}

void AnsiToOemString(AnsiString& S)
{
    S = AnsiToOem(S);
}

void OemToAnsiString(AnsiString& S)
{
    S = OemToAnsi(S);
}

void ExtractFirstLine(AnsiString& S, bool KeepRest, AnsiString& Line)
{
    const size_t p = S.find(CR);
    if (p == AnsiString::npos) {
        Line = S;
        S.clear();
        return;
    }
    Line = S.substr(0, p);
    S.erase(0, p + 1);
    if (!S.empty() && S[0] == LF) S.erase(0, 1);
    if (!KeepRest) S.clear();
}

int CountTextLines(const AnsiString& S, bool MultiLine)
{
    return MultiLine ? 1 + CountChar(CR, S) : 1;
}

bool FindOddCharRun(char Ch, const AnsiString& S, int& Pos)
{
    Pos = 0;
    for (size_t i = 0; i < S.size();) {
        if (S[i] != Ch) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < S.size() && S[j] == Ch) ++j;
        if ((j - i) % 2 == 1) {
            Pos = int(j);   // 1-based position of the run's last character
            return true;
        }
        i = j;
    }
    return false;
}

int CountOddCharRuns(char Ch, const AnsiString& S)
{
    int runs = 0;
    for (size_t i = 0; i < S.size();) {
        if (S[i] != Ch) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < S.size() && S[j] == Ch) ++j;
        if ((j - i) % 2 == 1) ++runs;
        i = j;
    }
    return runs;
}

int CountChar(char Ch, const AnsiString& S)
{
    return int(std::count(S.begin(), S.end(), Ch));
}

// ---------------------------------------------------------------- small helpers

int IntMax(int A, int B)
{
    return A > B ? A : B;
}

int IntMin(int A, int B)
{
    return A < B ? A : B;
}

int ClampToMinMax(int Value, int Min, int Max)
{
    if (Min == Max) return Value;
    int r = Value;
    if (Min > Value && Min > 0) r = Min;
    if (Max < Value && Max > 0) r = Max;
    return r;
}

int PosInUpperCase(const AnsiString& Substr, const AnsiString& S)
{
    return Pos(Substr, UpperCase(S));
}

int PosWithResult(const AnsiString& Substr, const AnsiString& S, int& Res)
{
    Res = Pos(Substr, S);
    return Res;
}

int CharPosWithResult(char Ch, const AnsiString& S, int& Res)
{
    Res = CharPos(Ch, S);
    return Res;
}

int CharPos(char Ch, const AnsiString& S)
{
    const size_t p = S.find(Ch);
    return p == AnsiString::npos ? 0 : int(p) + 1;
}

void CutUpToDelimiter(AnsiString& S, const AnsiString& Delim, AnsiString& Part)
{
    const int p = Pos(Delim, S);
    if (p == 0) {
        Part.clear();
        return;
    }
    Part = S.substr(0, p - 1);
    S.erase(0, p);
}

AnsiString ConcatStrings(const TStrings& Strings)
{
    AnsiString r;
    for (int i = 0; i < Strings.Count(); ++i) r += Strings.Strings(i);
    return r;
}

void FillChars(AnsiString& S, char Ch)
{
    std::fill(S.begin(), S.end(), Ch);
}

bool PointInRect(const TRect& R, int X, int Y)
{
    return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom;
}

bool ParseRowColRef(const AnsiString& S, TPoint& Cell)
{
    const AnsiString s = UpperCase(S);
    if (s.size() < 4 || s[0] != 'R') return false;
    const size_t c = s.find('C');
    if (c == AnsiString::npos) return false;
    int row = 0, col = 0;
    if (!TryStrToInt(s.substr(1, c - 1), row) || !TryStrToInt(s.substr(c + 1), col)) return false;
    Cell.X = col;
    Cell.Y = row;
    return true;
}

bool IsURL(std::string_view S)
{
    return Contains(S, "://") || Contains(S, "mailto:");
}

void StripURLPrefix(AnsiString& S)
{
    size_t p = S.find("://");
    if (p != AnsiString::npos) {
        S.erase(0, p + 3);
        return;
    }
    p = S.find("mailto:");
    if (p != AnsiString::npos) S.erase(0, p + 7);
}

AnsiString ProperNameCase(const AnsiString& S)
{
    const size_t n = S.size();
    AnsiString r;
    r.reserve(n);
    bool wordStart = true;
    bool mcSeen = false;
    for (size_t i = 0; i < n; ++i) {
        char c = S[i];
        if (wordStart) {
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
        r += c;
        wordStart = c == ' ' || c == '\'' || c == ',' || c == '-' || c == '.';
        if (r == "Mc") wordStart = true;
        // Only the first " Mc" of the text counts.
        if (!mcSeen && r.ends_with(" Mc")) {
            mcSeen = true;
            wordStart = true;
        }
        // Trailing roman numerals (II, III, IV) stay upper case.
        if (i + 3 >= n && (r.ends_with(" I") || r.ends_with(" II"))) wordStart = true;
    }
    return r;
}
