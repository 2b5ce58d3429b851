#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <vector>

#include "platform/gui/Graphics.h"
#include "tests/common/Bounds.h"
#include "tests/platform/gui/Pixels.h"


TEST(Canvas, FillRectCoversLeftToRightMinusOne)
{
    auto b = FilledBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(2, 3, 10, 8));
    const TColor face = RGB(212, 208, 200);
    ExpectPixels(c, {{2, 3, face}, {9, 7, face}, {10, 7, clWhite}, {9, 8, clWhite}, {1, 3, clWhite}, {-1, 0, -1}});
}

TEST(Canvas, LineToLeavesOutTheEndPixel)
{
    struct Case { TPoint from, to; };
    Case cases[] = {{{2, 5}, {12, 5}}, {{5, 2}, {5, 12}}, {{2, 2}, {12, 12}}, {{12, 12}, {2, 2}}, {{1, 1}, {13, 6}}};
    for (const Case& k : cases) {
        auto b = FilledBitmap(16, 16);
        TCanvas* c = b->Canvas();
        c->Pen()->SetColor(clRed);
        c->MoveTo(k.from.X, k.from.Y);
        c->LineTo(k.to.X, k.to.Y);
        EXPECT_EQ(c->Pixels(k.from.X, k.from.Y), clRed);
        EXPECT_EQ(c->Pixels(k.to.X, k.to.Y), clWhite) << k.to.X << "," << k.to.Y;
        EXPECT_EQ(c->PenPos(), k.to);
    }
}

// A solid one-pixel line along an axis covers its pixels from the start up to the end, whichever
// way it runs and however much of it is off the canvas; an xor polyline inverts each pixel once.
TEST(Canvas, SolidAxisLinesCoverTheirRunOnce)
{
    struct Case { std::vector<TPoint> Points; TPenMode Mode; } cases[] = {
        {{{12, 5}, {2, 5}}, pmCopy},
        {{{5, 12}, {5, 2}}, pmCopy},
        {{{-30, 7}, {40, 7}}, pmCopy},
        {{{9, 40}, {9, -3}}, pmCopy},
        {{{3, 3}, {3, 3}}, pmCopy},
        {{{2, 2}, {13, 2}, {13, 13}, {2, 13}, {2, 2}}, pmXor},
        {{{14, 1}, {1, 1}, {1, 9}, {6, 4}}, pmXor},
    };
    for (const Case& k : cases) {
        auto b = FilledBitmap(16, 16, RGB(10, 200, 30));
        TCanvas* c = b->Canvas();
        c->Pen()->SetColor(k.Mode == pmXor ? clWhite : clRed);
        c->Pen()->SetMode(k.Mode);
        c->Polyline(k.Points.data(), int(k.Points.size()));
        // Each segment's pixels, its end left out: every pixel once.
        std::set<std::pair<int, int>> ink;
        for (size_t i = 1; i < k.Points.size(); ++i) {
            const TPoint a = k.Points[i - 1], e = k.Points[i];
            const int n = std::max(std::abs(e.X - a.X), std::abs(e.Y - a.Y));
            for (int j = 0; j < n; ++j) {
                const int x = a.X + int(std::lround(double(e.X - a.X) * j / n));
                const int y = a.Y + int(std::lround(double(e.Y - a.Y) * j / n));
                ink.insert({x, y});
            }
        }
        const TColor on = k.Mode == pmXor ? RGB(245, 55, 225) : clRed;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(c->Pixels(x, y), ink.count({x, y}) ? on : RGB(10, 200, 30))
                    << k.Points[0].X << "," << k.Points[0].Y << " at " << x << "," << y;
    }
}

TEST(Canvas, LinesFarLongerThanTheCanvasCostTheirVisiblePart)
{
    // The dot pattern (3 on, 3 off) runs on from the line's start, far off the canvas.
    auto dotted = [](Int64 Steps) { return Steps % 6 < 3; };
    struct Case { const char* Name; TPoint From, To; TPenStyle Style; std::function<bool(int, int)> Ink; } cases[] = {
        {"dotted across", {-2147483646, 3}, {2147483646, 3}, psDot,
         [&](int x, int y) { return y == 3 && dotted(Int64(x) + 2147483646); }},
        {"dotted down", {5, -2000000000}, {5, 2000000000}, psDot,
         [&](int x, int y) { return x == 5 && dotted(Int64(y) + 2000000000); }},
        {"diagonal", {-1000000000, -1000000000}, {1000000000, 1000000000}, psSolid,
         [](int x, int y) { return x == y; }},
        {"ends off the canvas", {8, 8}, {2147483647, 8}, psSolid, [](int x, int y) { return y == 8 && x >= 8; }},
    };
    for (const Case& k : cases) {
        auto b = FilledBitmap(16, 16);
        TCanvas* c = b->Canvas();
        c->Pen()->SetColor(clRed);
        c->Pen()->SetStyle(k.Style);
        const double start = ProcessSeconds();
        c->MoveTo(k.From.X, k.From.Y);
        c->LineTo(k.To.X, k.To.Y);
        EXPECT_LT(ProcessSeconds() - start, 2.0) << k.Name;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(c->Pixels(x, y), k.Ink(x, y) ? clRed : clWhite) << k.Name << " " << x << "," << y;
    }
}

TEST(Canvas, XorLineDrawnTwiceLeavesTheBackground)
{
    auto b = FilledBitmap(20, 20, RGB(10, 200, 30));
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetMode(pmXor);
    c->MoveTo(1, 1);
    c->LineTo(18, 15);
    EXPECT_EQ(c->Pixels(1, 1), RGB(245, 55, 225));
    c->MoveTo(1, 1);
    c->LineTo(18, 15);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(c->Pixels(x, y), RGB(10, 200, 30)) << x << "," << y;
    // A rectangle in pmNot inverts its outline and fill.
    c->Pen()->SetMode(pmNot);
    c->Rectangle(2, 2, 6, 6);
    EXPECT_EQ(c->Pixels(3, 3), RGB(245, 55, 225));
    EXPECT_EQ(c->Pixels(6, 6), RGB(10, 200, 30));
}

TEST(Canvas, RectangleAndClearPenFollowThePlatformsPixels)
{
    auto b = FilledBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(2, 2, 8, 8);
    ExpectPixels(c, {{2, 2, clBlack}, {7, 7, clBlack}, {8, 8, clWhite}, {4, 4, clYellow}});
    // Without a pen the fill is one pixel smaller.
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(10, 10, 15, 15);
    ExpectPixels(c, {{10, 10, clBlue}, {13, 13, clBlue}, {14, 14, clWhite}});
}

TEST(Canvas, ClippingAndSavedStates)
{
    auto b = FilledBitmap(20, 20);
    TCanvas* c = b->Canvas();
    int saved = SaveDC(c);
    IntersectClipRect(c, 5, 5, 15, 15);
    ExcludeClipRect(c, 8, 8, 10, 10);
    TRect box;
    EXPECT_EQ(GetClipBox(c, box), COMPLEXREGION);
    EXPECT_EQ(box, TRect(5, 5, 15, 15));
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(0, 0, 20, 20));
    ExpectPixels(c, {{4, 4, clWhite}, {5, 5, clRed}, {8, 8, clWhite}, {14, 14, clRed}});
    EXPECT_TRUE(RestoreDC(c, saved));
    EXPECT_EQ(c->Brush()->Color(), clWhite);
    c->Brush()->SetColor(clLime);
    c->FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(c->Pixels(0, 0), clLime);

    HRGN rgn = CreateRectRgn(0, 0, 4, 4);
    SelectClipRgn(c, rgn);
    DeleteObject(rgn);
    c->Brush()->SetColor(clBlack);
    c->FillRect(TRect(0, 0, 20, 20));
    ExpectPixels(c, {{3, 3, clBlack}, {4, 4, clLime}});
}

TEST(Canvas, BitBltRasterOperations)
{
    const TColor src = RGB(0xF0, 0x0F, 0x55), dst = RGB(0x3C, 0xFF, 0x00);
    struct Case { TCopyMode rop; TColor expected; } cases[] = {
        {SRCCOPY, src},
        {SRCAND, RGB(0x30, 0x0F, 0x00)},
        {SRCPAINT, RGB(0xFC, 0xFF, 0x55)},
        {SRCINVERT, RGB(0xCC, 0xF0, 0x55)},
        {SRCERASE, RGB(0xC0, 0x00, 0x55)},
        {NOTSRCCOPY, RGB(0x0F, 0xF0, 0xAA)},
        {DSTINVERT, RGB(0xC3, 0x00, 0xFF)},
        {BLACKNESS, clBlack},
        {WHITENESS, clWhite},
        {PATINVERT, RGB(0x3C ^ 0x12, 0xFF ^ 0x34, 0x00 ^ 0x56)},
        {MERGECOPY, RGB(0xF0 & 0x12, 0x0F & 0x34, 0x55 & 0x56)},
    };
    auto s = FilledBitmap(4, 4, src);
    for (const Case& k : cases) {
        auto d = FilledBitmap(6, 6, dst);
        d->Canvas()->Brush()->SetColor(RGB(0x12, 0x34, 0x56));
        EXPECT_TRUE(BitBlt(d->Canvas(), 1, 1, 4, 4, s->Canvas(), 0, 0, k.rop)) << std::hex << k.rop;
        SCOPED_TRACE(k.rop);
        ExpectPixels(d->Canvas(), {{2, 2, k.expected}, {0, 0, dst}, {5, 5, dst}});
    }
}

TEST(Canvas, CopyRectStretchesWithTheCopyMode)
{
    auto s = FilledBitmap(2, 2, clRed);
    auto d = FilledBitmap(10, 10);
    d->Canvas()->CopyRect(TRect(0, 0, 8, 8), s->Canvas(), TRect(0, 0, 2, 2));
    ExpectPixels(d->Canvas(), {{7, 7, clRed}, {8, 8, clWhite}});
}

TEST(Canvas, TextOutMeasuresPolishTextAsItPaints)
{
    auto b = FilledBitmap(200, 30);
    TCanvas* c = b->Canvas();
    const AnsiString polish = "Zażółć";
    ASSERT_EQ(polish.size(), 6u);   // one byte a letter in the program's code page
    int w = c->TextWidth(polish);
    EXPECT_GT(w, 0);
    EXPECT_EQ(w, c->TextWidth(polish));
    EXPECT_GT(c->TextWidth(polish + "x"), w);
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(10, 5, polish);
    const TRect ink = InkBox(c, 200, 30);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right - 1, 10 + w);
    EXPECT_GT(ink.Right - 1 - ink.Left, w / 2);
}

TEST(Canvas, TextOutFillsTheBackgroundUnlessTransparent)
{
    auto b = FilledBitmap(100, 30);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clYellow);
    c->TextOut(0, 0, "Ab");
    EXPECT_EQ(c->Pixels(0, c->TextHeight("Ab") - 1), clYellow);
    c->Brush()->SetColor(clWhite);
    SetBkMode(c, TRANSPARENT);
    c->FillRect(TRect(0, 0, 100, 30));
    SetBkMode(c, TRANSPARENT);
    c->TextOut(0, 0, "Ab");
    EXPECT_EQ(c->Pixels(0, c->TextHeight("Ab") - 1), clWhite);
}

TEST(Canvas, FloodFillStopsAtTheBorder)
{
    auto b = FilledBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(2, 2, 12, 12);
    c->Brush()->SetColor(clRed);
    c->FloodFill(5, 5, clBlack, false);
    ExpectPixels(c, {{5, 5, clRed}, {10, 10, clRed}, {2, 2, clBlack}, {15, 15, clWhite}});
    c->Brush()->SetColor(clBlue);
    c->FloodFill(15, 15, clWhite, true);
    ExpectPixels(c, {{0, 0, clBlue}, {5, 5, clRed}});
}

TEST(Canvas, ACanvasWithoutDeviceDrawsNothingAndStillMeasures)
{
    TCanvas c;
    EXPECT_FALSE(c.HandleAllocated());
    c.FillRect(TRect(0, 0, 10, 10));
    c.LineTo(5, 5);
    EXPECT_EQ(c.Pixels(0, 0), -1);
    EXPECT_GT(c.TextWidth("abc"), 0);
    TTextMetric tm;
    ASSERT_TRUE(GetTextMetrics(&c, tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(GetDeviceCaps(&c, LOGPIXELSY), 96);
}

TEST(Canvas, PatternsEdgesAndPieces)
{
    auto b = FilledBitmap(40, 40);
    TCanvas* c = b->Canvas();
    // A hatched brush paints its lines over the background colour.
    c->Brush()->SetColor(clRed);
    c->Brush()->SetStyle(bsCross);
    SetBkColor(c, clLime);
    c->FillRect(TRect(0, 0, 16, 16));
    int red = 0, lime = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            (c->Pixels(x, y) == clRed ? red : c->Pixels(x, y) == clLime ? lime : red) += 1;
    EXPECT_GT(red, 0);
    EXPECT_GT(lime, red);
    // PatBlt with the brush, and a sunken edge adjusting its rectangle.
    c->Brush()->SetColor(clNavy);
    EXPECT_TRUE(PatBlt(c, 20, 0, 4, 4, PATCOPY));
    EXPECT_EQ(c->Pixels(21, 1), clNavy);
    EXPECT_FALSE(PatBlt(c, 20, 0, 4, 4, SRCCOPY));
    TRect e(20, 20, 30, 30);
    DrawEdge(c, e, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(e, TRect(22, 22, 28, 28));
    ExpectPixels(c, {{20, 20, ColorToRGB(clBtnShadow)}, {29, 29, clWhite}, {21, 21, ColorToRGB(cl3DDkShadow)}});
    // A pie from 3 o'clock to 12 o'clock fills the upper right quarter only.
    auto p = FilledBitmap(40, 40);
    p->Canvas()->Brush()->SetColor(clBlue);
    p->Canvas()->Pen()->SetColor(clBlue);
    p->Canvas()->Pie(0, 0, 40, 40, 40, 20, 20, 0);
    ExpectPixels(p->Canvas(), {{28, 12, clBlue}, {12, 12, clWhite}, {28, 28, clWhite}});
}
