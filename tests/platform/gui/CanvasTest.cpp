#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <vector>

#include "platform/gui/Graphics.h"
#include "tests/common/Bounds.h"

namespace {

std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TColor bg = clWhite)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(bg);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

// Columns holding any pixel different from the background, within rows top..bottom.
void InkColumns(TCanvas* c, int w, int top, int bottom, TColor bg, int& first, int& last)
{
    first = -1;
    last = -1;
    for (int x = 0; x < w; ++x)
        for (int y = top; y < bottom; ++y)
            if (c->Pixels(x, y) != bg) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
}

}  // namespace

TEST(Canvas, FillRectCoversLeftToRightMinusOne)
{
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(2, 3, 10, 8));
    EXPECT_EQ(c->Pixels(2, 3), RGB(212, 208, 200));
    EXPECT_EQ(c->Pixels(9, 7), RGB(212, 208, 200));
    EXPECT_EQ(c->Pixels(10, 7), clWhite);
    EXPECT_EQ(c->Pixels(9, 8), clWhite);
    EXPECT_EQ(c->Pixels(1, 3), clWhite);
    EXPECT_EQ(c->Pixels(-1, 0), -1);
}

TEST(Canvas, LineToLeavesOutTheEndPixel)
{
    struct Case { TPoint from, to; };
    Case cases[] = {{{2, 5}, {12, 5}}, {{5, 2}, {5, 12}}, {{2, 2}, {12, 12}}, {{12, 12}, {2, 2}}, {{1, 1}, {13, 6}}};
    for (const Case& k : cases) {
        auto b = MakeBitmap(16, 16);
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
        auto b = MakeBitmap(16, 16, RGB(10, 200, 30));
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
        auto b = MakeBitmap(16, 16);
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
    auto b = MakeBitmap(20, 20, RGB(10, 200, 30));
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
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(2, 2, 8, 8);
    EXPECT_EQ(c->Pixels(2, 2), clBlack);
    EXPECT_EQ(c->Pixels(7, 7), clBlack);
    EXPECT_EQ(c->Pixels(8, 8), clWhite);
    EXPECT_EQ(c->Pixels(4, 4), clYellow);
    // Without a pen the fill is one pixel smaller.
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(10, 10, 15, 15);
    EXPECT_EQ(c->Pixels(10, 10), clBlue);
    EXPECT_EQ(c->Pixels(13, 13), clBlue);
    EXPECT_EQ(c->Pixels(14, 14), clWhite);
}

TEST(Canvas, ClippingAndSavedStates)
{
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->Canvas();
    int saved = SaveDC(c);
    IntersectClipRect(c, 5, 5, 15, 15);
    ExcludeClipRect(c, 8, 8, 10, 10);
    TRect box;
    EXPECT_EQ(GetClipBox(c, box), COMPLEXREGION);
    EXPECT_EQ(box, TRect(5, 5, 15, 15));
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(c->Pixels(4, 4), clWhite);
    EXPECT_EQ(c->Pixels(5, 5), clRed);
    EXPECT_EQ(c->Pixels(8, 8), clWhite);
    EXPECT_EQ(c->Pixels(14, 14), clRed);
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
    EXPECT_EQ(c->Pixels(3, 3), clBlack);
    EXPECT_EQ(c->Pixels(4, 4), clLime);
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
    auto s = MakeBitmap(4, 4, src);
    for (const Case& k : cases) {
        auto d = MakeBitmap(6, 6, dst);
        d->Canvas()->Brush()->SetColor(RGB(0x12, 0x34, 0x56));
        EXPECT_TRUE(BitBlt(d->Canvas(), 1, 1, 4, 4, s->Canvas(), 0, 0, k.rop)) << std::hex << k.rop;
        EXPECT_EQ(d->Canvas()->Pixels(2, 2), k.expected) << std::hex << k.rop;
        EXPECT_EQ(d->Canvas()->Pixels(0, 0), dst) << std::hex << k.rop;
        EXPECT_EQ(d->Canvas()->Pixels(5, 5), dst) << std::hex << k.rop;
    }
}

TEST(Canvas, CopyRectStretchesWithTheCopyMode)
{
    auto s = MakeBitmap(2, 2, clRed);
    auto d = MakeBitmap(10, 10);
    d->Canvas()->CopyRect(TRect(0, 0, 8, 8), s->Canvas(), TRect(0, 0, 2, 2));
    EXPECT_EQ(d->Canvas()->Pixels(7, 7), clRed);
    EXPECT_EQ(d->Canvas()->Pixels(8, 8), clWhite);
}

TEST(Canvas, TextOutMeasuresPolishTextAsItPaints)
{
    auto b = MakeBitmap(200, 30);
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
    int first, last;
    InkColumns(c, 200, 0, 30, clWhite, first, last);
    EXPECT_GE(first, 10);
    EXPECT_LE(last, 10 + w);
    EXPECT_GT(last - first, w / 2);
}

TEST(Canvas, TextOutFillsTheBackgroundUnlessTransparent)
{
    auto b = MakeBitmap(100, 30);
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
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(2, 2, 12, 12);
    c->Brush()->SetColor(clRed);
    c->FloodFill(5, 5, clBlack, false);
    EXPECT_EQ(c->Pixels(5, 5), clRed);
    EXPECT_EQ(c->Pixels(10, 10), clRed);
    EXPECT_EQ(c->Pixels(2, 2), clBlack);
    EXPECT_EQ(c->Pixels(15, 15), clWhite);
    c->Brush()->SetColor(clBlue);
    c->FloodFill(15, 15, clWhite, true);
    EXPECT_EQ(c->Pixels(0, 0), clBlue);
    EXPECT_EQ(c->Pixels(5, 5), clRed);
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

TEST(Canvas, TextRectClipsAndFillsTheWholeRectangle)
{
    auto b = MakeBitmap(100, 30);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clYellow);
    c->Font()->SetColor(clBlack);
    c->TextRect(TRect(10, 5, 20, 25), 10, 5, "WWWWWWWW");
    EXPECT_EQ(c->Pixels(19, 24), clYellow);
    EXPECT_EQ(c->Pixels(20, 10), clWhite);
    int first, last;
    InkColumns(c, 100, 0, 30, clWhite, first, last);
    EXPECT_EQ(first, 10);
    EXPECT_EQ(last, 19);
}

TEST(Canvas, PatternsEdgesAndPieces)
{
    auto b = MakeBitmap(40, 40);
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
    EXPECT_EQ(c->Pixels(20, 20), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c->Pixels(29, 29), clWhite);
    EXPECT_EQ(c->Pixels(21, 21), ColorToRGB(cl3DDkShadow));
    // A pie from 3 o'clock to 12 o'clock fills the upper right quarter only.
    auto p = MakeBitmap(40, 40);
    p->Canvas()->Brush()->SetColor(clBlue);
    p->Canvas()->Pen()->SetColor(clBlue);
    p->Canvas()->Pie(0, 0, 40, 40, 40, 20, 20, 0);
    EXPECT_EQ(p->Canvas()->Pixels(28, 12), clBlue);
    EXPECT_EQ(p->Canvas()->Pixels(12, 12), clWhite);
    EXPECT_EQ(p->Canvas()->Pixels(28, 28), clWhite);
}
