#include "platform/core/MaskUtils.h"

#include <cctype>

#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

TEditMask::TEditMask(const AnsiString& EditMask)
{
    // The fields: the mask runs to the last-but-one ";" at most ("\;" is a literal).
    AnsiString mask = EditMask;
    std::vector<AnsiString> fields;
    {
        AnsiString cur;
        for (size_t i = 0; i < EditMask.size(); ++i) {
            char ch = EditMask[i];
            if (ch == '\\' && i + 1 < EditMask.size() && fields.empty()) {
                cur += ch;
                cur += EditMask[++i];
            } else if (ch == ';') {
                fields.push_back(cur);
                cur.clear();
            } else {
                cur += ch;
            }
        }
        fields.push_back(cur);
    }
    mask = fields[0];
    if (fields.size() > 1 && !fields[1].empty())
        FSaveLiterals = fields[1][0] != '0';
    if (fields.size() > 2 && !fields[2].empty())
        FBlank = fields[2][0];

    TCase mode = csNone;
    for (size_t i = 0; i < mask.size(); ++i) {
        char ch = mask[i];
        TPosition p;
        switch (ch) {
        case '!':
            continue;
        case '>':
            if (i + 1 < mask.size() && mask[i + 1] == '<') {
                mode = csNone;
                ++i;
            } else {
                mode = csUpper;
            }
            continue;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == '>') {
                mode = csNone;
                ++i;
            } else {
                mode = csLower;
            }
            continue;
        case '\\':
            if (i + 1 >= mask.size())
                continue;
            p.Mask = mask[++i];
            p.Literal = true;
            break;
        case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': case '0': case '9': case '#':
            p.Mask = ch;
            p.Case = mode;
            break;
        case ':':
            p.Mask = FormatSettings.TimeSeparator;
            p.Literal = true;
            break;
        case '/':
            p.Mask = FormatSettings.DateSeparator;
            p.Literal = true;
            break;
        case '_':
            p.Mask = ' ';
            p.Literal = true;
            break;
        default:
            p.Mask = ch;
            p.Literal = true;
            break;
        }
        FPositions.push_back(p);
    }
}

bool TEditMask::IsLiteral(int Pos) const { return Pos >= 0 && Pos < Length() && FPositions[size_t(Pos)].Literal; }
char TEditMask::MaskChar(int Pos) const { return Pos >= 0 && Pos < Length() ? FPositions[size_t(Pos)].Mask : 0; }

int TEditMask::NextInput(int Pos) const
{
    for (int i = std::max(Pos, 0); i < Length(); ++i)
        if (!FPositions[size_t(i)].Literal)
            return i;
    return Length();
}

int TEditMask::PrevInput(int Pos) const
{
    for (int i = std::min(Pos, Length()) - 1; i >= 0; --i)
        if (!FPositions[size_t(i)].Literal)
            return i;
    return -1;
}

char TEditMask::Accept(int Pos, char Ch) const
{
    if (Pos < 0 || Pos >= Length() || FPositions[size_t(Pos)].Literal)
        return 0;
    const TPosition& p = FPositions[size_t(Pos)];
    auto u = static_cast<unsigned char>(Ch);
    bool digit = Ch >= '0' && Ch <= '9';
    bool letter = IsAnsiLetter(u);
    bool fits = false;
    switch (p.Mask) {
    case 'L': case 'l': fits = letter; break;
    case 'A': case 'a': fits = letter || digit; break;
    case 'C': case 'c': fits = u >= 32; break;
    case '0': case '9': fits = digit; break;
    case '#': fits = digit || Ch == '+' || Ch == '-'; break;
    }
    if (!fits)
        return 0;
    if (p.Case == csUpper)
        return char(AnsiUpperChar(u));
    if (p.Case == csLower)
        return char(AnsiLowerChar(u));
    return Ch;
}

AnsiString TEditMask::BlankText() const
{
    AnsiString s;
    for (const TPosition& p : FPositions)
        s += p.Literal ? p.Mask : FBlank;
    return s;
}

AnsiString TEditMask::Format(const AnsiString& Value) const
{
    AnsiString s = BlankText();
    size_t t = 0;
    for (int i = 0; i < Length() && t < Value.size(); ++i) {
        const TPosition& p = FPositions[size_t(i)];
        if (p.Literal) {
            if (Value[t] == p.Mask)
                ++t;
            continue;
        }
        char ch = Value[t++];
        char ok = (ch == ' ' || ch == FBlank) ? 0 : Accept(i, ch);
        if (ok)
            s[size_t(i)] = ok;
    }
    return s;
}

AnsiString TEditMask::Conform(const AnsiString& EditText) const
{
    AnsiString s = BlankText();
    for (int i = 0; i < Length() && size_t(i) < EditText.size(); ++i)
        if (!FPositions[size_t(i)].Literal)
            if (char ok = Accept(i, EditText[size_t(i)]))
                s[size_t(i)] = ok;
    return s;
}

AnsiString TEditMask::TextOf(const AnsiString& EditText) const
{
    AnsiString s;
    for (int i = 0; i < Length(); ++i) {
        const TPosition& p = FPositions[size_t(i)];
        char ch = size_t(i) < EditText.size() ? EditText[size_t(i)] : FBlank;
        if (p.Literal) {
            if (FSaveLiterals)
                s += p.Mask;
        } else {
            s += ch == FBlank ? ' ' : ch;
        }
    }
    return s;
}

bool TEditMask::Validate(const AnsiString& EditText, int& Pos) const
{
    for (int i = 0; i < Length(); ++i) {
        const TPosition& p = FPositions[size_t(i)];
        if (p.Literal)
            continue;
        bool required = p.Mask == 'L' || p.Mask == 'A' || p.Mask == 'C' || p.Mask == '0';
        char ch = size_t(i) < EditText.size() ? EditText[size_t(i)] : FBlank;
        if (required && (ch == FBlank || ch == ' ' || !Accept(i, ch))) {
            Pos = i;
            return false;
        }
    }
    return true;
}

AnsiString FormatMaskText(const AnsiString& EditMask, const AnsiString& Value)
{
    return TEditMask(EditMask).Format(Value);
}
