// Our RTF reader: groups, the font and colour tables, character formatting
// (\b \i \ul \strike \fs \cf \f), paragraphs (\par \pard \qc \qr \ql), \line,
// \tab, \'xx and \uN with \ucN skipping. Table cells are separated by a tab
// and a table row (\row) ends like a paragraph. Destinations it does not know are
// skipped. Hostile input (truncated, unbalanced, deeply nested, huge numbers)
// ends the read quietly with what was read so far.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <map>

#include "platform/gui/Rtf_p.h"

namespace {

enum TDest { dNormal, dFontTable, dColorTable, dSkip };

struct TGroupState {
    TRtfFormat Format;
    TRtfAlignment Alignment = raLeft;
    int UnicodeSkip = 1;
    TDest Dest = dNormal;
};

struct TFontEntry {
    AnsiString Name;
    TFontCharset Charset = DEFAULT_CHARSET;
};

// Groups nested deeper than this share the state of the deepest one.
constexpr size_t MaxDepth = 256;
constexpr int MaxWordLength = 32;

const std::array<char16_t, 256>& AnsiTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            WideString w = AnsiToWide(AnsiString(1, char(i)));
            t[size_t(i)] = w.empty() ? char16_t('?') : w[0];
        }
        return t;
    }();
    return table;
}

bool IsSkippedDestination(const char* word)
{
    static const char* const names[] = {
        "stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer", "footerl",
        "footerr", "footerf", "footnote", "object", "listtable", "listoverridetable", "revtbl",
        "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles",
        "datastore", "fldinst", "pntext", "pntxta", "pntxtb", "nonshppict", "author", "title",
        "subject", "company", "operator", "keywords", "comment", "doccomm", "falt", "panose",
        "filetbl", "private", "bkmkstart", "bkmkend", "annotation", "atnid", "atnauthor", "template",
    };
    for (const char* n : names)
        if (std::strcmp(n, word) == 0)
            return true;
    return false;
}

class TRtfReader {
public:
    explicit TRtfReader(const AnsiString& s) : src(s) {}

    TRtfDocument Read()
    {
        TGroupState root;
        root.Format.HalfPoints = 24;   // the format's default: 12 points
        stack.push_back(root);
        bool started = false;
        while (pos < src.size()) {
            unsigned char c = static_cast<unsigned char>(src[pos]);
            if (c == '{') {
                ++pos;
                skip = 0;
                if (!started) {
                    started = true;
                    continue;   // the document's own group is the root state
                }
                if (stack.size() < MaxDepth)
                    stack.push_back(stack.back());
                else
                    ++overflow;
                groupStart = true;
                continue;
            }
            if (c == '}') {
                ++pos;
                skip = 0;
                groupStart = false;
                if (overflow > 0) {
                    --overflow;
                    continue;
                }
                if (stack.size() <= 1)
                    break;     // the document's group closed: the end
                TDest closed = stack.back().Dest;
                stack.pop_back();
                if (closed == dFontTable && stack.back().Dest == dNormal)
                    ApplyDefaultFont(stack.back().Format);
                continue;
            }
            if (c == '\\') {
                ++pos;
                ControlWord();
                continue;
            }
            ++pos;
            groupStart = false;
            starred = false;
            if (c == '\r' || c == '\n')
                continue;
            if (c == '\t') {
                Char(u'\t');
                continue;
            }
            if (c < 0x20)
                continue;
            TextByte(c);
        }
        cellEnded = false;   // the last cell of a table without its \row
        EndParagraph(false);
        doc.DefaultFormat = stack.back().Format;
        return std::move(doc);
    }

private:
    TGroupState& St() { return stack.back(); }

    void ApplyDefaultFont(TRtfFormat& f)
    {
        auto it = fonts.find(defaultFont);
        if (it != fonts.end()) {
            f.FontName = it->second.Name;
            f.Charset = it->second.Charset;
        }
    }

    // A character of the document (or of a table being read).
    void Char(char16_t ch)
    {
        if (skip > 0) {
            --skip;
            return;
        }
        switch (St().Dest) {
        case dNormal: {
            if (cellEnded) {   // the next cell of the row begins
                cellEnded = false;
                Char(u'\t');
            }
            auto& runs = para.Runs;
            if (runs.empty() || !(runs.back().Format == St().Format))
                runs.push_back(TRtfRun{St().Format, {}});
            runs.back().Text.push_back(ch);
            break;
        }
        case dFontTable:
            if (ch == ';') {
                TFontEntry& e = fonts[curFont];
                e.Name = fontName;
                e.Charset = fontCharset;
                fontName.clear();
                fontCharset = DEFAULT_CHARSET;
            } else if (fontName.size() < 64) {
                WideString w(1, ch);
                fontName += WideToAnsi(w);
            }
            break;
        case dColorTable:
            if (ch == ';') {
                colors.push_back(colorSet ? RGB(red, green, blue) : clDefault);
                red = green = blue = 0;
                colorSet = false;
            }
            break;
        case dSkip: break;
        }
    }

    void TextByte(unsigned char c) { Char(AnsiTable()[c]); }

    void EndParagraph(bool explicitEnd)
    {
        if (cellEnded && explicitEnd) {   // a paragraph inside the next cell
            cellEnded = false;
            Char(u'\t');
        }
        if (!explicitEnd && para.Runs.empty())
            return;
        para.Alignment = St().Alignment;
        doc.Paragraphs.push_back(std::move(para));
        para = TRtfParagraph();
    }

    static int Clamp(long long v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : int(v); }

    void ControlWord()
    {
        if (pos >= src.size())
            return;
        unsigned char c = static_cast<unsigned char>(src[pos]);
        bool first = groupStart;
        groupStart = false;
        if (!std::isalpha(c)) {
            ++pos;
            ControlSymbol(c, first);
            return;
        }
        char word[MaxWordLength + 1];
        int len = 0;
        while (pos < src.size() && std::isalpha(static_cast<unsigned char>(src[pos]))) {
            if (len < MaxWordLength)
                word[len++] = src[pos];
            ++pos;
        }
        word[len] = 0;
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (pos < src.size() && src[pos] == '-' && pos + 1 < src.size() &&
            std::isdigit(static_cast<unsigned char>(src[pos + 1]))) {
            negative = true;
            ++pos;
        }
        while (pos < src.size() && std::isdigit(static_cast<unsigned char>(src[pos]))) {
            hasParam = true;
            if (param < 100000000000LL)
                param = param * 10 + (src[pos] - '0');
            ++pos;
        }
        if (negative)
            param = -param;
        if (pos < src.size() && src[pos] == ' ')
            ++pos;
        Word(word, hasParam, param, first);
    }

    void ControlSymbol(unsigned char c, bool first)
    {
        switch (c) {
        case '\'': {
            int v = 0;
            int digits = 0;
            while (digits < 2 && pos < src.size() && std::isxdigit(static_cast<unsigned char>(src[pos]))) {
                char h = src[pos++];
                v = v * 16 + (std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (std::tolower(h) - 'a' + 10));
                ++digits;
            }
            if (digits == 2)
                TextByte(static_cast<unsigned char>(v));
            break;
        }
        case '\\':
        case '{':
        case '}': Char(char16_t(c)); break;
        case '~': Char(0x00A0); break;
        case '_': Char(u'-'); break;
        case '\r':
        case '\n':
            if (St().Dest == dNormal && skip == 0)
                EndParagraph(true);
            break;
        case '*': starred = true; break;
        default: break;   // \- optional hyphen and the rest: nothing to show
        }
        if (c != '*')
            starred = false;
    }

    void Word(const char* w, bool hasParam, long long param, bool first)
    {
        bool wasStarred = starred;
        starred = false;
        TGroupState& s = St();
        if (s.Dest == dSkip) {
            if (std::strcmp(w, "bin") == 0 && hasParam && param > 0)
                pos += size_t(std::min<long long>(param, (long long)(src.size() - pos)));
            return;
        }
        if (std::strcmp(w, "bin") == 0) {
            if (hasParam && param > 0)
                pos += size_t(std::min<long long>(param, (long long)(src.size() - pos)));
            return;
        }
        if (wasStarred || IsSkippedDestination(w)) {
            s.Dest = dSkip;
            return;
        }
        if (std::strcmp(w, "fonttbl") == 0) {
            s.Dest = dFontTable;
            return;
        }
        if (std::strcmp(w, "colortbl") == 0) {
            s.Dest = dColorTable;
            colors.clear();
            return;
        }
        if (s.Dest == dFontTable) {
            if (std::strcmp(w, "f") == 0) {
                curFont = Clamp(param, -1, 1 << 20);
                fontName.clear();
                fontCharset = DEFAULT_CHARSET;
            } else if (std::strcmp(w, "fcharset") == 0) {
                fontCharset = TFontCharset(Clamp(param, 0, 255));
            }
            return;
        }
        if (s.Dest == dColorTable) {
            int v = Clamp(param, 0, 255);
            if (std::strcmp(w, "red") == 0)
                red = v, colorSet = true;
            else if (std::strcmp(w, "green") == 0)
                green = v, colorSet = true;
            else if (std::strcmp(w, "blue") == 0)
                blue = v, colorSet = true;
            return;
        }
        // A control word counts as one character after \uN.
        if (skip > 0 && std::strcmp(w, "u") != 0) {
            --skip;
            return;
        }
        TRtfFormat& f = s.Format;
        auto flag = [&](TFontStyles bit) {
            if (hasParam && param == 0)
                f.Style &= ~bit;
            else
                f.Style |= bit;
        };
        if (std::strcmp(w, "deff") == 0)
            defaultFont = Clamp(param, -1, 1 << 20);
        else if (std::strcmp(w, "b") == 0)
            flag(fsBold);
        else if (std::strcmp(w, "i") == 0)
            flag(fsItalic);
        else if (std::strcmp(w, "ul") == 0 || std::strcmp(w, "uld") == 0 || std::strcmp(w, "uldb") == 0 ||
                 std::strcmp(w, "ulw") == 0 || std::strcmp(w, "uldash") == 0 || std::strcmp(w, "ulth") == 0)
            flag(fsUnderline);
        else if (std::strcmp(w, "ulnone") == 0)
            f.Style &= ~fsUnderline;
        else if (std::strcmp(w, "strike") == 0 || std::strcmp(w, "striked") == 0)
            flag(fsStrikeOut);
        else if (std::strcmp(w, "fs") == 0)
            f.HalfPoints = hasParam && param > 0 ? Clamp(param, 2, 3276) : 24;
        else if (std::strcmp(w, "cf") == 0) {
            long long n = hasParam ? param : 0;
            f.Color = (n > 0 && n < (long long)colors.size()) ? colors[size_t(n)] : clDefault;
        } else if (std::strcmp(w, "f") == 0) {
            auto it = fonts.find(Clamp(param, -1, 1 << 20));
            if (it != fonts.end()) {
                f.FontName = it->second.Name;
                f.Charset = it->second.Charset;
            }
        } else if (std::strcmp(w, "plain") == 0) {
            f = TRtfFormat();
            f.HalfPoints = 24;
            f.Charset = DEFAULT_CHARSET;
            ApplyDefaultFont(f);
        } else if (std::strcmp(w, "pard") == 0)
            s.Alignment = raLeft;
        else if (std::strcmp(w, "ql") == 0 || std::strcmp(w, "qj") == 0)
            s.Alignment = raLeft;
        else if (std::strcmp(w, "qc") == 0)
            s.Alignment = raCenter;
        else if (std::strcmp(w, "qr") == 0)
            s.Alignment = raRight;
        else if (std::strcmp(w, "par") == 0 || std::strcmp(w, "sect") == 0)
            EndParagraph(true);
        else if (std::strcmp(w, "row") == 0) {
            cellEnded = false;   // the row's last cell ends with the row, without a tab
            EndParagraph(true);
        } else if (std::strcmp(w, "line") == 0)
            Char(RtfLineSeparator);
        else if (std::strcmp(w, "tab") == 0)
            Char(u'\t');
        else if (std::strcmp(w, "cell") == 0) {
            if (cellEnded) {   // the cell that ends here is empty
                cellEnded = false;
                Char(u'\t');
            }
            cellEnded = true;
        }
        else if (std::strcmp(w, "uc") == 0)
            s.UnicodeSkip = Clamp(param, 0, 16);
        else if (std::strcmp(w, "u") == 0) {
            if (!hasParam || param < -32768 || param > 65535)
                return;
            int v = int(param);
            if (v < 0)
                v += 65536;
            skip = 0;
            Char(char16_t(v));
            skip = s.UnicodeSkip;
        } else if (std::strcmp(w, "emdash") == 0)
            Char(0x2014);
        else if (std::strcmp(w, "endash") == 0)
            Char(0x2013);
        else if (std::strcmp(w, "bullet") == 0)
            Char(0x2022);
        else if (std::strcmp(w, "lquote") == 0)
            Char(0x2018);
        else if (std::strcmp(w, "rquote") == 0)
            Char(0x2019);
        else if (std::strcmp(w, "ldblquote") == 0)
            Char(0x201C);
        else if (std::strcmp(w, "rdblquote") == 0)
            Char(0x201D);
        (void)first;
    }

    const AnsiString& src;
    size_t pos = 0;
    std::vector<TGroupState> stack;
    size_t overflow = 0;
    bool groupStart = false;
    bool starred = false;
    int skip = 0;
    // A \cell was read: its tab is written when the row goes on with another cell.
    bool cellEnded = false;

    std::map<int, TFontEntry> fonts;
    int defaultFont = 0;
    int curFont = 0;
    AnsiString fontName;
    TFontCharset fontCharset = DEFAULT_CHARSET;

    std::vector<TColor> colors;
    int red = 0, green = 0, blue = 0;
    bool colorSet = false;

    TRtfDocument doc;
    TRtfParagraph para;
};

}  // namespace

bool LooksLikeRtf(const AnsiString& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    return text.compare(i, 5, "{\\rtf") == 0;
}

TRtfDocument ReadRtf(const AnsiString& rtf)
{
    return TRtfReader(rtf).Read();
}

WideString TRtfParagraph::PlainText() const
{
    WideString w;
    for (const TRtfRun& r : Runs)
        w += r.Text;
    return w;
}

AnsiString TRtfDocument::PlainText() const
{
    WideString w;
    for (size_t i = 0; i < Paragraphs.size(); ++i) {
        if (i > 0)
            w += u"\r\n";
        for (char16_t ch : Paragraphs[i].PlainText()) {
            if (ch == RtfLineSeparator)
                w += u"\r\n";
            else
                w.push_back(ch);
        }
    }
    return WideToAnsi(w);
}

TRtfDocument RtfFromPlainText(const AnsiString& text, const TRtfFormat& format)
{
    TRtfDocument doc;
    doc.DefaultFormat = format;
    WideString w = AnsiToWide(text);
    TRtfParagraph para;
    auto flush = [&] {
        doc.Paragraphs.push_back(std::move(para));
        para = TRtfParagraph();
    };
    WideString cur;
    auto addRun = [&] {
        if (!cur.empty())
            para.Runs.push_back(TRtfRun{format, cur});
        cur.clear();
    };
    for (size_t i = 0; i < w.size(); ++i) {
        char16_t ch = w[i];
        if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < w.size() && w[i + 1] == u'\n')
                ++i;
            addRun();
            flush();
            continue;
        }
        cur.push_back(ch);
    }
    addRun();
    if (!para.Runs.empty() || doc.Paragraphs.empty())
        flush();
    return doc;
}
