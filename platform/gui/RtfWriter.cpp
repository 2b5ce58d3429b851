// Our RTF writer: one font table and colour table, then the paragraphs with
// only the formatting changes between runs. Characters above 0x7F go out as
// their Windows-1250 byte (\'xx), or as \uN? when that code page has none.
#include <cstdio>

#include "platform/gui/Rtf_p.h"

namespace {

struct TFontKey {
    AnsiString Name;
    TFontCharset Charset;
    bool operator==(const TFontKey&) const = default;
};

// The colour as written: clDefault for the automatic colour.
TColor WrittenColor(TColor c)
{
    if (c == clDefault || c == clNone || c == clWindowText)
        return clDefault;
    return ColorToRGB(c) & 0xFFFFFF;
}

// Font names end at ';' in the table; braces and backslashes would break it.
AnsiString SafeFontName(const AnsiString& name)
{
    AnsiString out;
    for (char c : name)
        if (c != ';' && c != '{' && c != '}' && c != '\\' && static_cast<unsigned char>(c) >= 0x20)
            out += c;
    return out.empty() ? AnsiString("Tahoma") : out;
}

void AppendText(AnsiString& out, const WideString& text)
{
    char buf[16];
    for (char16_t ch : text) {
        if (ch == u'\\' || ch == u'{' || ch == u'}') {
            out += '\\';
            out += char(ch);
        } else if (ch == u'\t') {
            out += "\\tab ";
        } else if (ch == RtfLineSeparator || ch == u'\n' || ch == u'\v') {
            out += "\\line ";
        } else if (ch < 0x20) {
            // other control characters have no place in the text
        } else if (ch < 0x80) {
            out += char(ch);
        } else {
            AnsiString b = WideToAnsi(WideString(1, ch));
            if (b.size() == 1 && b[0] != '?') {
                std::snprintf(buf, sizeof buf, "\\'%02x", unsigned(static_cast<unsigned char>(b[0])));
                out += buf;
            } else {
                std::snprintf(buf, sizeof buf, "\\u%d?", int(static_cast<short>(ch)));
                out += buf;
            }
        }
    }
}

}  // namespace

AnsiString WriteRtf(const TRtfDocument& doc)
{
    std::vector<TFontKey> fonts;
    std::vector<TColor> colors;
    auto fontIndex = [&](const TRtfFormat& f) {
        TFontKey k{SafeFontName(f.FontName), f.Charset};
        for (size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == k)
                return int(i);
        fonts.push_back(k);
        return int(fonts.size() - 1);
    };
    auto colorIndex = [&](TColor c) {
        c = WrittenColor(c);
        if (c == clDefault)
            return 0;
        for (size_t i = 0; i < colors.size(); ++i)
            if (colors[i] == c)
                return int(i + 1);
        colors.push_back(c);
        return int(colors.size());
    };
    // The tables first, in the order of use; the default font is \f0.
    const TRtfFormat* first = &doc.DefaultFormat;
    for (const TRtfParagraph& p : doc.Paragraphs)
        if (!p.Runs.empty()) {
            first = &p.Runs.front().Format;
            break;
        }
    fontIndex(*first);
    for (const TRtfParagraph& p : doc.Paragraphs)
        for (const TRtfRun& r : p.Runs) {
            fontIndex(r.Format);
            colorIndex(r.Format.Color);
        }

    AnsiString out = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl";
    char buf[64];
    for (size_t i = 0; i < fonts.size(); ++i) {
        std::snprintf(buf, sizeof buf, "{\\f%d\\fnil\\fcharset%d ", int(i), int(fonts[i].Charset));
        out += buf;
        out += fonts[i].Name;
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (TColor c : colors) {
        std::snprintf(buf, sizeof buf, "\\red%d\\green%d\\blue%d;", GetRValue(c), GetGValue(c), GetBValue(c));
        out += buf;
    }
    out += "}\r\n\\viewkind4\\uc1\\pard";

    // What the reader's state is now; nothing is known before the first run.
    bool known = false;
    int curFont = 0, curSize = 0, curColor = 0;
    TFontStyles curStyle = 0;
    for (size_t pi = 0; pi < doc.Paragraphs.size(); ++pi) {
        const TRtfParagraph& p = doc.Paragraphs[pi];
        if (pi > 0)
            out += "\\pard";
        size_t textEnd = out.size() - 1;   // control words follow
        if (p.Alignment == raCenter)
            out += "\\qc";
        else if (p.Alignment == raRight)
            out += "\\qr";
        for (const TRtfRun& r : p.Runs) {
            if (r.Text.empty())
                continue;
            int f = fontIndex(r.Format);
            int fs = r.Format.HalfPoints > 0 ? r.Format.HalfPoints : 24;
            int cf = colorIndex(r.Format.Color);
            TFontStyles st = r.Format.Style;
            auto styleWord = [&](TFontStyles bit, const char* on, const char* off) {
                if (!known ? (st & bit) != 0 : ((st ^ curStyle) & bit) != 0)
                    out += (st & bit) ? on : off;
            };
            styleWord(fsBold, "\\b", "\\b0");
            styleWord(fsItalic, "\\i", "\\i0");
            styleWord(fsUnderline, "\\ul", "\\ulnone");
            styleWord(fsStrikeOut, "\\strike", "\\strike0");
            if (!known || f != curFont) {
                std::snprintf(buf, sizeof buf, "\\f%d", f);
                out += buf;
            }
            if (!known || fs != curSize) {
                std::snprintf(buf, sizeof buf, "\\fs%d", fs);
                out += buf;
            }
            if ((!known && cf != 0) || (known && cf != curColor)) {
                std::snprintf(buf, sizeof buf, "\\cf%d", cf);
                out += buf;
            }
            known = true;
            curFont = f, curSize = fs, curColor = cf, curStyle = st;
            // A control word ends at a blank, which is not text.
            if (out.size() > textEnd)
                out += ' ';
            AppendText(out, r.Text);
            textEnd = out.size();
        }
        out += "\\par\r\n";
    }
    out += "}";
    return out;
}
