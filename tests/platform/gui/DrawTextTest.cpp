#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/gui/Graphics.h"
#include "platform/gui/RichEdit.h"
#include "tests/common/Bounds.h"
#include "tests/platform/gui/Pixels.h"

namespace {

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h)
{
    auto b = FilledBitmap(w, h);
    b->Canvas()->Brush()->SetStyle(bsClear);
    b->Canvas()->Font()->SetColor(clBlack);
    return b;
}

bool SamePixels(TBitmap* a, TBitmap* b)
{
    for (int y = 0; y < a->Height(); ++y)
        for (int x = 0; x < a->Width(); ++x)
            if (a->Canvas()->Pixels(x, y) != b->Canvas()->Pixels(x, y))
                return false;
    return true;
}

}  // namespace

TEST(DrawText, CalcRectWordBreakGivesMoreLinesForANarrowerRect)
{
    TBitmap b;
    b.SetSize(10, 10);
    TCanvas* c = b.Canvas();
    const AnsiString text = "Zastąpiona uznaniowo norma zakładowa";
    int line = c->TextHeight("Ag");
    int widest = std::max({c->TextWidth("Zastąpiona"), c->TextWidth("uznaniowo"), c->TextWidth("zakładowa")});
    TRect wide(0, 0, 1000, 0), narrow(0, 0, widest + 2, 0);
    int hw = DrawText(c, text, -1, wide, DT_CALCRECT | DT_WORDBREAK);
    int hn = DrawText(c, text, -1, narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(hw, line);
    EXPECT_EQ(wide.Bottom, line);
    EXPECT_EQ(wide.Right, c->TextWidth(text));
    EXPECT_EQ(hn, 4 * line);
    EXPECT_EQ(narrow.Right, widest);
    // Explicit line breaks count unless on a single line; len cuts the text.
    TRect r(0, 0, 1000, 0);
    EXPECT_EQ(DrawText(c, "a\r\nb\nc", -1, r, DT_CALCRECT), 3 * line);
    EXPECT_EQ(DrawText(c, "a\r\nb\nc", -1, r, DT_CALCRECT | DT_SINGLELINE), line);
    EXPECT_EQ(DrawText(c, "a\r\nb\nc", 1, r, DT_CALCRECT), line);
    // A word wider than the rectangle stays whole, unless broken as in an edit control.
    TRect tiny(0, 0, c->TextWidth("abc"), 0);
    EXPECT_EQ(DrawText(c, "abcdefgh", -1, tiny, DT_CALCRECT | DT_WORDBREAK), line);
    tiny = TRect(0, 0, c->TextWidth("abc"), 0);
    EXPECT_GE(DrawText(c, "abcdefgh", -1, tiny, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL), 3 * line);
}

TEST(DrawText, AlignmentPlacesTextWhereMeasured)
{
    const int W = 200, H = 40;
    const AnsiString text = "Mm";
    struct Case { unsigned flags; } cases[] = {{DT_LEFT}, {DT_CENTER}, {DT_RIGHT}};
    for (const Case& k : cases) {
        auto b = WhiteBitmap(W, H);
        TCanvas* c = b->Canvas();
        int w = c->TextWidth(text);
        TRect r(10, 0, 190, H);
        DrawText(c, text, -1, r, k.flags | DT_SINGLELINE | DT_VCENTER);
        const TRect ink = InkBox(c, W, H);
        int left = k.flags == DT_CENTER ? 10 + (180 - w) / 2 : k.flags == DT_RIGHT ? 190 - w : 10;
        EXPECT_GE(ink.Left, left) << k.flags;
        EXPECT_LE(ink.Left, left + 3) << k.flags;
        EXPECT_LE(ink.Right, left + w) << k.flags;
        EXPECT_GT(ink.Right, left + w - 4) << k.flags;
        EXPECT_GT(ink.Bottom, H / 2 + 1) << "vertically centred";
        EXPECT_LE(ink.Bottom, H - 5);
    }
    // Read from the right, the full stop after the letters stands at their left.
    auto rtl = WhiteBitmap(W, H), ltr = WhiteBitmap(W, H);
    TRect rr(10, 0, 190, H), lr = rr;
    DrawText(rtl->Canvas(), "Mm.", -1, rr, DT_SINGLELINE | DT_RTLREADING);
    DrawText(ltr->Canvas(), ".Mm", -1, lr, DT_SINGLELINE);
    EXPECT_TRUE(SamePixels(rtl.get(), ltr.get()));
}

TEST(DrawText, PrefixIsHiddenAndUnderlinesTheNextCharacter)
{
    auto b = WhiteBitmap(200, 30);
    TCanvas* c = b->Canvas();
    TRect r(0, 0, 200, 0);
    DrawText(c, "&Plik", -1, r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Right, c->TextWidth("Plik"));
    r = TRect(0, 0, 200, 0);
    DrawText(c, "A&&B", -1, r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Right, c->TextWidth("A&B"));
    r = TRect(0, 0, 200, 0);
    DrawText(c, "&Plik", -1, r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.Right, c->TextWidth("&Plik"));

    // The underline: a row under the baseline inked across the first letter only.
    auto plain = WhiteBitmap(200, 30), marked = WhiteBitmap(200, 30);
    TRect pr(0, 0, 200, 30), mr(0, 0, 200, 30);
    DrawText(plain->Canvas(), "Plik", -1, pr, DT_SINGLELINE);
    DrawText(marked->Canvas(), "&Plik", -1, mr, DT_SINGLELINE);
    int pw = c->TextWidth("P");
    int changedInP = 0, changedElsewhere = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x)
            if (plain->Canvas()->Pixels(x, y) != marked->Canvas()->Pixels(x, y))
                (x < pw ? changedInP : changedElsewhere)++;
    EXPECT_GT(changedInP, 0);
    EXPECT_EQ(changedElsewhere, 0);
}

TEST(DrawText, EndAndPathEllipsesShorten)
{
    TBitmap b;
    b.SetSize(10, 10);
    TCanvas* c = b.Canvas();
    const AnsiString text = "Bardzo długi tekst komórki siatki";
    int limit = c->TextWidth(text) / 2;
    TRect r(0, 0, limit, 0);
    DrawText(c, text, -1, r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.Right, limit);
    EXPECT_GT(r.Right, limit / 2);
    const AnsiString path = "C:\\Program Files\\Normy\\Wykazy\\katalog.dat";
    int plimit = c->TextWidth("C:\\Pro...\\katalog.dat");
    TRect pr(0, 0, plimit, 0);
    DrawText(c, path, -1, pr, DT_CALCRECT | DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_LE(pr.Right, plimit);
    // Short text is untouched.
    TRect sr(0, 0, 1000, 0);
    DrawText(c, "krótki", -1, sr, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(sr.Right, c->TextWidth("krótki"));
    // A wrapped text cut at the bottom ends its last whole line with the ellipsis.
    const int w = c->TextWidth("WWWW") + 2, h = c->TextHeight("W");
    auto wrapped = WhiteBitmap(w, 2 * h + h / 2), expected = WhiteBitmap(w, 2 * h + h / 2);
    TRect all(0, 0, w, 2 * h + h / 2), first(0, 0, w, h), second(0, h, w, 2 * h);
    DrawText(wrapped->Canvas(), "WWWW WWWW WWWW WWWW", -1, all, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
    DrawText(expected->Canvas(), "WWWW", -1, first, DT_SINGLELINE);
    DrawText(expected->Canvas(), "WWWW WWWW", -1, second, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_TRUE(SamePixels(wrapped.get(), expected.get()));
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip)
{
    for (unsigned extra : {0u, unsigned(DT_NOCLIP)}) {
        auto b = WhiteBitmap(200, 30);
        TCanvas* c = b->Canvas();
        TRect r(0, 0, 8, 30);
        DrawText(c, "WWWWWW", -1, r, DT_SINGLELINE | extra);
        const TRect ink = InkBox(c, 200, 30);
        if (extra)
            EXPECT_GT(ink.Right, 9);
        else
            EXPECT_LE(ink.Right, 8);
    }
}

TEST(DrawText, LongTextsWithoutBlanksCostWhatTheirLengthCosts)
{
    const auto word = [](int N) { return std::string(std::size_t(N), 'x'); };
    const auto paragraphs = [](int N) {
        std::string rtf = "{\\rtf1\\fs3276 ";
        for (int i = 0; i < N; ++i)
            rtf += "a\\par ";
        return rtf + "}";
    };
    auto b = WhiteBitmap(300, 60);
    TCanvas* c = b->Canvas();
    TRect one(0, 0, 0, 0);
    DrawText(c, "x", -1, one, DT_CALCRECT | DT_NOPREFIX);
    const int perLine = 200 / c->TextWidth("x");
    const TScalingCase cases[] = {
        {"wrapped between letters", 2500, nullptr,
         [&](int N) {
             TRect r(0, 0, 200, 0);
             DrawText(c, word(N), -1, r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
             EXPECT_EQ(r.Height(), (N + perLine - 1) / perLine * one.Height());
             r = TRect(0, 0, 200, 60);
             DrawText(c, word(N), -1, r, DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
         }},
        {"end ellipsis", 2500, nullptr,
         [&](int N) {
             for (unsigned lines : {unsigned(DT_SINGLELINE), unsigned(DT_WORDBREAK)}) {
                 TRect r(0, 0, 200, 60);
                 DrawText(c, word(N), -1, r, DT_CALCRECT | DT_END_ELLIPSIS | DT_NOPREFIX | lines);
                 EXPECT_LE(r.Width(), 200);
                 EXPECT_GT(r.Width(), 150);
             }
         }},
        {"path ellipsis", 2500, nullptr,
         [&](int N) {
             TRect r(0, 0, 200, 60);
             DrawText(c, "C:\\" + word(N) + "\\wykaz.dat", -1, r, DT_CALCRECT | DT_SINGLELINE | DT_PATH_ELLIPSIS);
             EXPECT_LE(r.Width(), 200);
         }},
        {"rich text word in the largest font", 3750, nullptr,
         [&](int N) { DrawRichText(c, "{\\rtf1\\fs3276 " + word(N) + "}", TRect(0, 0, 200, 60)); }},
        {"rich text paragraphs in the largest font", 250, nullptr,
         [&](int N) { DrawRichText(c, paragraphs(N), TRect(0, 0, 200, 60)); }},
    };
    for (const TScalingCase& k : cases)
        ExpectProportional(k);
    // What the rectangle shows of a long rich text is painted.
    auto shown = WhiteBitmap(200, 60);
    DrawRichText(shown->Canvas(), "{\\rtf1 " + std::string(60000, 'W') + "}", TRect(0, 0, 200, 60));
    const TRect ink = InkBox(shown->Canvas(), 200, 60);
    EXPECT_LT(ink.Left, 10);
    EXPECT_GT(ink.Right, 151);
    EXPECT_GT(ink.Bottom, 41);
}

// Laid out once, a text is told the extent DT_CALCRECT gives without ellipses
// and drawn, as placed, pixel for pixel as measured and drawn in two calls.
TEST(DrawText, PlacedOnceDrawsAsMeasuredThenDrawn)
{
    const int W = 120, H = 60;
    struct Case { const char* text; unsigned flags; } cases[] = {
        {"Zastąpiona uznaniowo norma zakładowa", DT_SINGLELINE | DT_END_ELLIPSIS},
        {"Zastąpiona uznaniowo norma zakładowa", DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_CENTER},
        {"PN-EN 1234\r\nwiersz drugi", DT_WORDBREAK | DT_RIGHT},
        {"", DT_SINGLELINE},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        auto place = [](int Height, TRect& r, unsigned& flags) {
            if (flags & DT_SINGLELINE)
                flags |= DT_VCENTER;
            else
                r.Top = r.Bottom - Height;
        };
        auto once = WhiteBitmap(W, H), twice = WhiteBitmap(W, H);
        TRect calc(4, 2, W - 4, H - 2);
        DrawText(twice->Canvas(), k.text, -1, calc, (k.flags | DT_CALCRECT) & ~DT_END_ELLIPSIS);
        TRect r2(4, 2, W - 4, H - 2);
        unsigned f2 = k.flags;
        place(calc.Height(), r2, f2);
        DrawText(twice->Canvas(), k.text, -1, r2, f2);
        TRect r1(4, 2, W - 4, H - 2);
        int width = -1, height = -1;
        DrawText(once->Canvas(), k.text, r1, k.flags, [&](int w, int h, TRect& r, unsigned& f) {
            width = w;
            height = h;
            place(h, r, f);
        });
        EXPECT_EQ(width, calc.Width());
        EXPECT_EQ(height, calc.Height());
        EXPECT_EQ(r1.Top, r2.Top);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(once->Canvas()->Pixels(x, y), twice->Canvas()->Pixels(x, y)) << x << "," << y;
    }
}
