#include <gtest/gtest.h>

#include <random>

#include "platform/core/SysUtils.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/Rtf_p.h"
#include "tests/common/Bounds.h"
#include "tests/platform/gui/Pixels.h"

namespace {

TRtfFormat Fmt(const char* name, int halfPoints, TColor color, TFontStyles style)
{
    TRtfFormat f;
    f.FontName = name;
    f.HalfPoints = halfPoints;
    f.Color = color;
    f.Style = style;
    return f;
}

TRtfRun MakeRun(const TRtfFormat& f, const AnsiString& text)
{
    return TRtfRun{f, AnsiToWide(text)};
}

}  // namespace

TEST(Rtf, WriterAndReaderKeepRunsFormatsAndPolishLetters)
{
    TRtfDocument doc;
    TRtfParagraph p1;
    p1.Runs.push_back(MakeRun(Fmt("Tahoma", 16, clDefault, 0), "Zażółć "));
    p1.Runs.push_back(MakeRun(Fmt("Tahoma", 16, clDefault, fsBold), "gęślą"));
    p1.Runs.push_back(MakeRun(Fmt("Arial", 24, RGB(200, 0, 0), fsItalic | fsUnderline), " jaźń {x}\\y"));
    TRtfParagraph p2;
    p2.Alignment = raCenter;
    p2.Runs.push_back(MakeRun(Fmt("Tahoma", 21, RGB(0, 0, 255), fsStrikeOut), "ŁÓDŹ\tśródka"));
    TRtfParagraph p3;   // an empty paragraph between
    TRtfParagraph p4;
    p4.Alignment = raRight;
    p4.Runs.push_back(MakeRun(Fmt("Tahoma", 16, clDefault, fsBold | fsItalic), "koniec"));
    p4.Runs.back().Text += u'\x0436';   // no Windows-1250 byte: \uN?
    doc.Paragraphs = {p1, p2, p3, p4};

    AnsiString rtf = WriteRtf(doc);
    EXPECT_EQ(0u, rtf.find("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 Tahoma;}"));
    EXPECT_NE(AnsiString::npos, rtf.find("\\'bf"));   // ż as its Windows-1250 byte
    EXPECT_NE(AnsiString::npos, rtf.find("\\u1078?"));
    for (unsigned char c : rtf)
        EXPECT_LT(c, 0x80) << "RTF is 7-bit text";

    TRtfDocument back = ReadRtf(rtf);
    ASSERT_EQ(4u, back.Paragraphs.size());
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(doc.Paragraphs[i].Alignment, back.Paragraphs[i].Alignment);
        ASSERT_EQ(doc.Paragraphs[i].Runs.size(), back.Paragraphs[i].Runs.size());
        for (size_t j = 0; j < doc.Paragraphs[i].Runs.size(); ++j) {
            const TRtfRun& a = doc.Paragraphs[i].Runs[j];
            const TRtfRun& b = back.Paragraphs[i].Runs[j];
            EXPECT_EQ(WideToAnsi(a.Text), WideToAnsi(b.Text));
            EXPECT_TRUE(a.Text == b.Text);
            EXPECT_EQ(a.Format.FontName, b.Format.FontName);
            EXPECT_EQ(a.Format.HalfPoints, b.Format.HalfPoints);
            EXPECT_EQ(a.Format.Color, b.Format.Color);
            EXPECT_EQ(a.Format.Style, b.Format.Style);
        }
    }
    EXPECT_EQ(rtf, WriteRtf(back));
}

TEST(Rtf, ReaderUnderstandsWhatOtherWritersProduce)
{
    struct Case { const char* rtf; const char* text; } cases[] = {
        {"{\\rtf1\\ansi\\ansicpg1250 Za\\'bf\\'f3\\'b3\\'e6}", "Zażółć"},
        {"{\\rtf1 a\\u261?b}", "aąb"},
        {"{\\rtf1\\uc2 a\\u261\\'3f\\'3fb}", "aąb"},
        {"{\\rtf1 one\\par two\\line three\\tab four}", "one\r\ntwo\r\nthree\tfour"},
        {"{\\rtf1 \\{braces\\} and \\\\}", "{braces} and \\"},
        {"{\\rtf1{\\*\\generator Someone 1.0;}{\\*\\unknown {nested} text}visible}", "visible"},
        {"{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}{\\pict\\pngblip 89504e47}shown}", "shown"},
        {"{\\rtf1 a\\bin3 }}}b}", "ab"},
        {"{\\rtf1 x\\par}", "x"},
        {"{\\rtf1 x\\par\\par}", "x\r\n"},
        {"{\\rtf1 tail} ignored after the end", "tail"},
        {"{\\rtf1\r\nline\r\nbreaks\r\n are not text}", "linebreaks are not text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnsiString(c.text), RtfToPlainText(c.rtf)) << c.rtf;
    TRtfDocument neg = ReadRtf("{\\rtf1\\uc0 a\\u-3912b}");
    ASSERT_EQ(1u, neg.Paragraphs.size());
    EXPECT_TRUE(neg.Paragraphs[0].PlainText() == (WideString(u"a") + char16_t(65536 - 3912) + u"b"));

    // Formatting: tables, toggles, alignment and the default font.
    TRtfDocument d = ReadRtf(
        "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset238 Verdana;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
        "\\pard\\qc plain \\b\\fs28\\cf1 bold\\b0\\i\\f0\\cf2 ital\\plain  reset\\par"
        "\\pard\\qr\\ul under\\ulnone\\strike gone\\strike0\\par}");
    ASSERT_EQ(2u, d.Paragraphs.size());
    EXPECT_EQ(raCenter, d.Paragraphs[0].Alignment);
    EXPECT_EQ(raRight, d.Paragraphs[1].Alignment);
    const auto& r = d.Paragraphs[0].Runs;
    ASSERT_EQ(4u, r.size());
    EXPECT_EQ("Verdana", r[0].Format.FontName);
    EXPECT_EQ(24, r[0].Format.HalfPoints);
    EXPECT_EQ(clDefault, r[0].Format.Color);
    EXPECT_EQ(TFontStyles(fsBold), r[1].Format.Style);
    EXPECT_EQ(28, r[1].Format.HalfPoints);
    EXPECT_EQ(RGB(255, 0, 0), r[1].Format.Color);
    EXPECT_EQ("Arial", r[2].Format.FontName);
    EXPECT_EQ(TFontStyles(fsItalic), r[2].Format.Style);
    EXPECT_EQ(RGB(0, 128, 0), r[2].Format.Color);
    EXPECT_EQ("Verdana", r[3].Format.FontName);
    EXPECT_EQ(0u, r[3].Format.Style);
    EXPECT_EQ(" reset", WideToAnsi(r[3].Text));
    const auto& r2 = d.Paragraphs[1].Runs;
    ASSERT_EQ(2u, r2.size());
    EXPECT_EQ(TFontStyles(fsUnderline), r2[0].Format.Style);
    EXPECT_EQ(TFontStyles(fsStrikeOut), r2[1].Format.Style);
}

TEST(Rtf, TableRowsEndWithTheirLastCellAndNoTab)
{
    struct Case { const char* rtf; const char* text; } cases[] = {
        {"{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
         "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row}",
         "a\tb\r\nc\td"},
        // As a word processor writes it: cells in groups, the row's properties again before \row.
        {"{\\rtf1\\trowd\\cellx1\\cellx2\\pard\\intbl{a\\cell}{b\\cell}{\\trowd\\cellx1\\cellx2\\row}"
         "\\trowd\\cellx1\\cellx2\\pard\\intbl{c\\cell}{d\\cell}{\\trowd\\cellx1\\cellx2\\row}\\pard\\par}",
         "a\tb\r\nc\td\r\n"},
        {"{\\rtf1\\trowd\\pard\\intbl\\cell x\\cell\\cell\\row}", "\tx\t"},
        {"{\\rtf1\\trowd\\pard\\intbl one\\par two\\cell three\\cell\\row}", "one\r\ntwo\tthree"},
        {"{\\rtf1 a\\tab b\\cell c\\cell}", "a\tb\tc"},
        {"{\\rtf1\\uc1 a\\u261?\\cell b\\cell\\row}", "aą\tb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnsiString(c.text), RtfToPlainText(c.rtf)) << c.rtf;
}

TEST(Rtf, ReaderSurvivesTruncatedNestedAndRandomInput)
{
    TFont font;
    AnsiString good = PlainTextToRtf("Pierwsza linia ąę\r\nDruga {linia}\r\n\tTrzecia", &font);
    good.insert(good.size() - 1, "{\\*\\x {\\pict\\bin5 }}}}}{\\u-1?}\\'");
    const double start = ProcessSeconds();
    for (size_t n = 0; n <= good.size(); ++n)
        ReadRtf(good.substr(0, n));

    std::mt19937 rng(1250);
    const char alphabet[] = "{}\\'*abcdefghijklmnopqrstuvwxyz0123456789- ;\r\n\x80\xff";
    for (int i = 0; i < 3000; ++i) {
        AnsiString s;
        if (i % 2 == 0) {
            // Mutations of a good document.
            s = good;
            for (int k = 0; k < 5; ++k) {
                size_t at = rng() % s.size();
                s[at] = alphabet[rng() % (sizeof alphabet - 1)];
            }
        } else {
            size_t len = rng() % 200;
            s = "{\\rtf1 ";
            for (size_t k = 0; k < len; ++k)
                s += (rng() % 4 == 0) ? char(rng() % 256) : alphabet[rng() % (sizeof alphabet - 1)];
        }
        ReadRtf(s);
        RtfToPlainText(s);
    }
    // Deep nesting, huge numbers, a \bin beyond the end.
    AnsiString deep = "{\\rtf1 " + AnsiString(200000, '{') + "x" + AnsiString(200000, '}') + "}";
    EXPECT_EQ("x", RtfToPlainText(deep));
    EXPECT_EQ("", RtfToPlainText("{\\rtf1\\fs99999999999999999999\\cf99999999999\\u99999999999999\\bin999999999"));
    EXPECT_EQ("a", RtfToPlainText("{\\rtf1 a\\uc99999999999 }"));
    EXPECT_LT(ProcessSeconds() - start, 20.0);
}

TEST(Rtf, PlainTextHelpersRoundTripLinesInTheFont)
{
    TFont font;
    font.SetName("Courier New");
    font.SetSize(10);
    font.SetStyle(fsBold);
    font.SetColor(clRed);
    const char* texts[] = {"", "jedna", "Łódź\r\nKraków\r\n\r\nGdańsk", "tab\there", "a\rb\nc"};
    for (const char* t : texts) {
        AnsiString rtf = PlainTextToRtf(t, &font);
        ASSERT_TRUE(LooksLikeRtf(rtf));
        AnsiString expect = StringReplace(StringReplace(t, "\r\n", "\n", rfReplaceAll), "\r", "\n", rfReplaceAll);
        expect = StringReplace(expect, "\n", "\r\n", rfReplaceAll);
        EXPECT_EQ(expect, RtfToPlainText(rtf)) << t;
    }
    TRtfDocument d = ReadRtf(PlainTextToRtf("x", &font));
    ASSERT_EQ(1u, d.Paragraphs.size());
    EXPECT_EQ("Courier New", d.Paragraphs[0].Runs[0].Format.FontName);
    EXPECT_EQ(20, d.Paragraphs[0].Runs[0].Format.HalfPoints);
    EXPECT_EQ(TFontStyles(fsBold), d.Paragraphs[0].Runs[0].Format.Style);
    EXPECT_EQ(RGB(255, 0, 0), d.Paragraphs[0].Runs[0].Format.Color);
    // Text that is not RTF passes through.
    EXPECT_EQ("zwykły {tekst}", RtfToPlainText("zwykły {tekst}"));
}

TEST(Rtf, DrawRichTextPaintsInsideTheRectangleOnly)
{
    auto b = FilledBitmap(200, 80);
    AnsiString rtf = "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\fs40\\cf1 WWWWWWWWWWWWWWWWWWWW}";
    TRect r(20, 10, 120, 50);
    DrawRichText(b->Canvas(), rtf, r);
    int inside = 0, outside = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 200; ++x) {
            TColor c = b->Canvas()->Pixels(x, y);
            bool reddish = GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100;
            if (!reddish)
                continue;
            (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom ? inside : outside)++;
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(0, outside);
}
