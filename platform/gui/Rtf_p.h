#pragma once
// Private to platform/gui: rich text as paragraphs of formatted runs, the
// form our RTF reader produces and our RTF writer consumes. No toolkit types.
#include <vector>

#include "platform/core/CodePage.h"
#include "platform/gui/Graphics.h"

enum TRtfAlignment { raLeft, raRight, raCenter };

struct TRtfFormat {
    AnsiString FontName = "Tahoma";
    int HalfPoints = 16;               // \fs: the size in half points
    TColor Color = clDefault;          // clDefault: the automatic colour (\cf0)
    TFontStyles Style = 0;
    TFontCharset Charset = EASTEUROPE_CHARSET;
    bool operator==(const TRtfFormat&) const = default;
};

struct TRtfRun {
    TRtfFormat Format;
    // UTF-16; a line break inside the paragraph (\line) is U+2028.
    WideString Text;
};

struct TRtfParagraph {
    TRtfAlignment Alignment = raLeft;
    std::vector<TRtfRun> Runs;
    WideString PlainText() const;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> Paragraphs;
    // The format of text that has no run yet (the reader's last format, or the default).
    TRtfFormat DefaultFormat;
    // Paragraph texts joined by CR LF; line breaks become CR LF too.
    AnsiString PlainText() const;
};

constexpr char16_t RtfLineSeparator = 0x2028;

// True when the text begins like an RTF document ("{\rtf", blanks allowed before it).
bool LooksLikeRtf(const AnsiString& text);
// Never throws on bad input: whatever could be read is returned.
TRtfDocument ReadRtf(const AnsiString& rtf);
AnsiString WriteRtf(const TRtfDocument& doc);
// A document of plain text (lines split at CR LF, LF or CR) in one format.
TRtfDocument RtfFromPlainText(const AnsiString& text, const TRtfFormat& format);
