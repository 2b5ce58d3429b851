#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "grid/ProUtilDraw.h"
#include "tests/common/GridTest.h"
#include "tests/platform/gui/Pixels.h"

namespace {

using TRuns = std::vector<std::pair<int, TColor>>;   // (length, colour) along a row or column

struct TBoard {
    TBitmap Bmp;
    TBoard(int w, int h, TColor bg = clWhite)
    {
        Bmp.SetSize(w, h);
        C()->Brush()->SetStyle(bsSolid);
        C()->Brush()->SetColor(bg);
        C()->FillRect(TRect(0, 0, w, h));
        C()->Font()->SetName("DejaVu Sans");
        C()->Font()->SetSize(9);
    }
    TCanvas* C() { return Bmp.Canvas(); }
    TColor At(int x, int y) { return C()->Pixels(x, y); }
    TRuns Row(int y, int from, int to) { return Runs(from, y, 1, 0, to - from); }
    TRuns Column(int x, int from, int to) { return Runs(x, from, 0, 1, to - from); }
    // The runs of N pixels from (x, y) on in steps of (dx, dy).
    TRuns Runs(int x, int y, int dx, int dy, int n)
    {
        TRuns out;
        for (; n > 0; --n, x += dx, y += dy) {
            TColor p = At(x, y);
            if (!out.empty() && out.back().second == p) ++out.back().first;
            else out.emplace_back(1, p);
        }
        return out;
    }
    // Bounding box of the pixels passing the test.
    TRect Box(const std::function<bool(TColor)>& test)
    {
        const TRect b = InkBox(&Bmp, TRect(0, 0, Bmp.Width(), Bmp.Height()), test);
        return b.Left < 0 ? TRect() : b;
    }
    // Runs of pixels of the colour along row y: (start, length).
    std::vector<std::pair<int, int>> Runs(int y, TColor color)
    {
        std::vector<std::pair<int, int>> out;
        for (int x = 0; x < Bmp.Width(); ++x) {
            if (C()->Pixels(x, y) != color) continue;
            if (!out.empty() && out.back().first + out.back().second == x) ++out.back().second;
            else out.emplace_back(x, 1);
        }
        return out;
    }
};

// Band i of a From..To gradient in Steps bands.
TColor Band(TColor from, TColor to, int i, int steps)
{
    auto mix = [&](int a, int b) { return a + int(std::lround(double(i) * (b - a) / steps)); };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

TLevelProgressAppearance PlainLevels()
{
    TLevelProgressAppearance a;
    a.Level0Color = clRed;
    a.Level1Color = clLime;
    a.Level2Color = clBlue;
    a.Level3Color = clYellow;
    a.ShowGradient = false;
    a.ShowPercentage = false;
    a.ShowBorder = false;
    a.BackgroundColor = clWhite;
    return a;
}

TLevelProgressAppearance Levels()
{
    TLevelProgressAppearance a = PlainLevels();
    a.Level1Perc = 50;
    a.Level2Perc = 80;
    return a;
}

}  // namespace

TEST(DrawHelpers, LevelBarBlocksFollowTheBlockArithmetic)
{
    const struct {
        int Percent;
        std::vector<std::pair<int, int>> Blocks;
    } cases[] = {
        {0, {}},
        {1, {}},                                       // L = 1: no block
        {5, {{2, 4}}},                                 // L = 5: one block of 4
        {9, {{2, 8}}},
        {30, {{2, 7}, {11, 7}, {20, 7}, {29, 2}}},     // three blocks of 7 and one of 2
        {29, {{2, 7}, {11, 7}, {20, 7}}},              // L mod 9 = 2: no last block
    };
    for (const auto& c : cases) {
        TBoard s(102, 12);
        TLevelProgressAppearance a = PlainLevels();
        a.CompletionSmooth = false;
        DrawLevelProgressBar(s.C(), TRect(0, 0, 102, 12), c.Percent, a);
        EXPECT_EQ(s.Runs(6, clRed), c.Blocks) << c.Percent << "%";
        EXPECT_TRUE(s.Runs(1, clRed).empty()) << "blocks are inset by 2";
    }
}

TEST(DrawHelpers, LevelBarColoursAndStacking)
{
    TLevelProgressAppearance a = PlainLevels();
    a.Level1Perc = 70;
    a.Level2Perc = 90;
    const struct {
        bool Stacked;
        int Percent;
        TColor Expected;
        int Length;
    } cases[] = {
        {false, 69, clRed, 69},  {false, 70, clLime, 70}, {false, 90, clBlue, 90},
        {false, 100, clYellow, 100}, {true, 70, clRed, 70},
    };
    for (const auto& c : cases) {
        TBoard s(102, 12);
        a.Stacked = c.Stacked;
        DrawLevelProgressBar(s.C(), TRect(0, 0, 102, 12), c.Percent, a);
        auto runs = s.Runs(6, c.Expected);
        ASSERT_EQ(runs.size(), 1u) << c.Percent;
        EXPECT_EQ(runs[0], std::make_pair(1, c.Length)) << c.Percent;
    }
    // Stacked at 95 %: 70 red, 20 green, 5 yellow.
    TBoard s(102, 12);
    a.Stacked = true;
    DrawLevelProgressBar(s.C(), TRect(0, 0, 102, 12), 95, a);
    EXPECT_EQ(s.Runs(6, clRed), (std::vector<std::pair<int, int>>{{1, 70}}));
    EXPECT_EQ(s.Runs(6, clLime), (std::vector<std::pair<int, int>>{{71, 20}}));
    EXPECT_EQ(s.Runs(6, clYellow), (std::vector<std::pair<int, int>>{{91, 5}}));
    // Text and a vertical bar draw without trouble.
    a.ShowPercentage = true;
    a.Vertical = true;
    DrawLevelProgressBar(s.C(), TRect(0, 0, 20, 12), 50, a);
}

TEST(DrawHelpers, ProgressBarTextChangesColourAtTheBoundary)
{
    TBoard s(100, 20);
    s.C()->Brush()->SetColor(clWhite);
    DrawProgressBar(s.C(), TRect(0, 0, 100, 20), clNavy, clWhite, clWhite, clNavy, 50, 0, 0, 0, 100, "", clNone,
                    false);
    const int tw = s.C()->TextWidth("50%");
    ExpectPixels(s.C(), {{5, 2, clNavy}, {95, 2, clWhite}});
    int lightLeft = 0, darkRight = 0, navyRight = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 50 - tw / 2; x < 50; ++x)
            if (GetRValue(s.C()->Pixels(x, y)) > 128) ++lightLeft;   // white text on navy
        for (int x = 50; x < 50 + tw / 2 + 1; ++x) {
            TColor p = s.C()->Pixels(x, y);
            if (p != clWhite) ++darkRight;                           // navy text on white
            if (GetBValue(p) > GetRValue(p) + 40) ++navyRight;   // navy ink, antialiased
        }
    }
    EXPECT_GT(lightLeft, 0);
    EXPECT_GT(darkRight, 0);
    EXPECT_GT(navyRight, 0);

    // Max = Min, out-of-range values and a bad format: 0 % and no exception.
    const struct {
        double Value, Min, Max;
        const char* Format;
        TColor At5;
    } cases[] = {
        {5, 10, 10, "%d", clWhite}, {150, 0, 100, "", clNavy}, {-20, 0, 100, "", clWhite},
        {50, 0, 100, "%s %d %z", clNavy}, {75, 0, 100, "%.1f", clNavy},
    };
    for (const auto& c : cases) {
        TBoard t(100, 20);
        EXPECT_NO_THROW(DrawProgressBar(t.C(), TRect(0, 0, 100, 20), clNavy, clWhite, clWhite, clNavy, c.Value, 0, 0,
                                        c.Min, c.Max, c.Format, clBlack, false));
        EXPECT_EQ(t.C()->Pixels(5, 2), c.At5) << c.Value << " " << c.Format;
    }
}

TEST(DrawHelpers, GradientsBlendsAndGuards)
{
    TBoard s(40, 10);
    DrawGradient(s.C(), clRed, clBlue, true, TRect(0, 0, 40, 10), 0);   // one band
    ExpectPixels(s.C(), {{0, 5, clRed}, {39, 5, clRed}});
    DrawGradient(s.C(), clLime, clNone, false, TRect(0, 0, 40, 10), 16);
    EXPECT_EQ(s.C()->Pixels(20, 9), clLime);
    DrawGradient(s.C(), clBlack, clWhite, true, TRect(0, 0, 40, 10), 4);
    ExpectPixels(s.C(), {{0, 0, clBlack}, {39, 0, RGB(191, 191, 191)}});   // the last of four bands
    DrawMirrorGradient(s.C(), TRect(0, 0, 40, 10), clRed, clNone, clBlue, clNone, true, clNone, false, true);
    ExpectPixels(s.C(), {{10, 1, clRed}, {10, 8, clBlue}});

    EXPECT_EQ(BlendColorAt(clRed, clBlue, 5, 3, 5), clRed);     // High = Low
    EXPECT_EQ(BlendColorAt(clRed, clNone, 0, 3, 10), clRed);
    EXPECT_EQ(BlendColorAt(RGB(0, 0, 0), RGB(200, 100, 0), 0, 5, 10), RGB(100, 50, 0));
    EXPECT_EQ(DarkenColor(RGB(200, 101, 3)), RGB(100, 50, 1));

    TBoard b(40, 10);
    DrawBalanceBar(b.C(), TRect(0, 0, 40, 10), 50, clLime, clRed, false, 0);   // Max 0: nothing
    EXPECT_TRUE(b.Runs(5, clLime).empty());
    DrawBalanceBar(b.C(), TRect(0, 0, 40, 10), 500, clLime, clRed, false, 100);
    EXPECT_EQ(b.Runs(2, clLime), (std::vector<std::pair<int, int>>{{20, 18}}));
    DrawBalanceBar(b.C(), TRect(0, 0, 40, 10), -50, clLime, clRed, false, 100);
    EXPECT_EQ(b.Runs(2, clRed), (std::vector<std::pair<int, int>>{{11, 9}}));
    DrawBalanceBar(b.C(), TRect(0, 0, 40, 10), -50, clLime, clRed, true, 100);
}

TEST(DrawHelpers, TransparentBitmapsPiesAndButtons)
{
    TBitmap src;
    Filled(src, 4, 4, clFuchsia);
    src.Canvas()->SetPixels(2, 2, clBlue);
    TBoard s(10, 10);
    DrawBitmapTransparent(s.C(), &src, clYellow, TRect(3, 3, 10, 10));
    ExpectPixels(s.C(), {{3, 3, clYellow}, {5, 5, clBlue}, {8, 8, clWhite}});
    DrawBitmapTransparent(s.C(), nullptr, clYellow, TRect(0, 0, 1, 1));
    DrawResourceBitmapTransparent(s.C(), "NO_SUCH_BITMAP", clYellow, TRect(0, 0, 1, 1));

    TBoard p(41, 41);
    DrawProgressPie(p.C(), TRect(0, 0, 41, 41), clRed, true, 25);   // a quarter, then the whole pie
    DrawProgressPie(p.C(), TRect(0, 0, 41, 41), clLime, false, 100);
    EXPECT_EQ(p.C()->Pixels(10, 30), clLime);

    TBoard c(60, 20);
    DrawComboButton(c.C(), nullptr, TRect(0, 0, 60, 20), true, false);
    DrawComboButton(c.C(), nullptr, TRect(0, 0, 60, 20), false, false);
    DrawSpinButtons(c.C(), nullptr, TRect(0, 0, 60, 20), false, false);
    EXPECT_NE(c.C()->Pixels(50, 10), clWhite);   // a button is there
    EXPECT_EQ(c.C()->Pixels(10, 10), clWhite);
    DrawErrorUnderline(nullptr, c.C(), "abc", 2, 1, 0, TRect(0, 0, 60, 20));
    DrawErrorUnderline(nullptr, c.C(), "abc", 5, 9, 0, TRect(0, 0, 60, 20));
    EXPECT_TRUE(CallSetLayeredWindowAttributes(nullptr, 0, 128, 2));
}

TEST(DrawHelpers, GradientBandsRunAlongTheirDirection)
{
    const struct {
        int Extent, Steps;
        TColor From, To;
    } cases[] = {
        {40, 4, RGB(0, 0, 0), RGB(200, 100, 40)}, {60, 3, clRed, clBlue}, {30, 1, clLime, clBlack},
        {30, 0, clLime, clBlack},   // 0 counts as one band
        {100, 11, RGB(0, 0, 0), RGB(0, 0, 220)},   // bands of round(100 / 11) = 9, the last to the end
        {22, 4, RGB(0, 0, 0), RGB(0, 0, 220)},     // bands of 6, the last cut at the edge
    };
    for (const auto& c : cases) {
        const int steps = c.Steps > 0 ? c.Steps : 1;
        const int band = int(std::lround(double(c.Extent) / steps));
        TRuns expected;
        for (int i = 0; i < steps; ++i)
            expected.emplace_back(i + 1 < steps ? band : c.Extent - i * band, Band(c.From, c.To, i, steps));
        for (bool horizontal : {true, false}) {
            TBoard b(120, 120);
            const TRect r = horizontal ? TRect(5, 5, 5 + c.Extent, 15) : TRect(5, 5, 15, 5 + c.Extent);
            DrawGradient(b.C(), c.From, c.To, horizontal, r, c.Steps);
            TRuns got = horizontal ? b.Row(10, 5, 5 + c.Extent) : b.Column(10, 5, 5 + c.Extent);
            EXPECT_EQ(got, expected) << c.Extent << "/" << c.Steps << (horizontal ? " across" : " down");
            // Nothing outside the rectangle.
            EXPECT_EQ(b.At(4, 10), clWhite);
            EXPECT_EQ(horizontal ? b.At(5 + c.Extent, 10) : b.At(10, 5 + c.Extent), clWhite);
            EXPECT_EQ(horizontal ? b.At(10, 15) : b.At(15, 10), clWhite);
        }
    }
    // No end colour: one solid fill.
    TBoard b(20, 20);
    DrawGradient(b.C(), clYellow, clNone, true, TRect(0, 0, 20, 20), 7);
    EXPECT_EQ(b.Row(10, 0, 20), (TRuns{{20, clYellow}}));
    // Many more bands than pixels still cover the rectangle without gaps.
    TBoard m(20, 20);
    DrawGradient(m.C(), clBlack, clWhite, false, TRect(0, 0, 20, 10), 128);
    for (int y = 0; y < 10; ++y) EXPECT_NE(m.At(5, y), clWhite) << y;
    EXPECT_EQ(m.At(5, 10), clWhite);
}

TEST(DrawHelpers, MirrorGradientHalvesAndBorders)
{
    // Vertical: top half Color..ColorTo, bottom half Mirror..MirrorTo, both downwards.
    TBoard v(20, 40);
    DrawMirrorGradient(v.C(), TRect(0, 0, 20, 40), clRed, clBlue, clLime, clBlack, true, clNone, false, true);
    ExpectPixels(v.C(), {{10, 0, clRed}, {10, 20, clLime}});
    EXPECT_GT(GetBValue(v.At(10, 19)), 200);
    EXPECT_LT(GetGValue(v.At(10, 39)), 20);
    EXPECT_EQ(v.At(0, 5), v.At(19, 5));   // bands run across the width
    // Not vertical: left and right halves, bands along X.
    TBoard h(40, 20);
    DrawMirrorGradient(h.C(), TRect(0, 0, 40, 20), clRed, clBlue, clLime, clBlack, false, clNone, false, true);
    ExpectPixels(h.C(), {{0, 10, clRed}, {20, 10, clLime}});
    EXPECT_EQ(h.At(5, 0), h.At(5, 19));
    // No mirror colour and no end colour: a solid fill one pixel taller.
    TBoard s(20, 20);
    DrawMirrorGradient(s.C(), TRect(0, 0, 20, 10), clRed, clNone, clNone, clNone, true, clNone, false, true);
    EXPECT_EQ(s.Column(5, 0, 20), (TRuns{{11, clRed}, {9, clWhite}}));
    // One gradient from top to bottom when vertical.
    TBoard g(20, 20);
    DrawMirrorGradient(g.C(), TRect(0, 0, 20, 20), clBlack, clWhite, clNone, clNone, true, clNone, false, true);
    ExpectPixels(g.C(), {{0, 0, clBlack}, {19, 0, clBlack}});
    EXPECT_GT(GetRValue(g.At(0, 19)), 230);
    // Borders: a frame, or only the left and right lines; Fill off leaves the inside.
    TBoard f(20, 20);
    DrawMirrorGradient(f.C(), TRect(0, 0, 20, 20), clRed, clNone, clNone, clNone, true, clBlue, false, false);
    ExpectPixels(f.C(), {{10, 0, clBlue}, {0, 10, clBlue}, {19, 10, clBlue}, {10, 10, clWhite}});
    TBoard l(20, 20);
    DrawMirrorGradient(l.C(), TRect(0, 0, 20, 20), clRed, clNone, clNone, clNone, true, clBlue, true, true);
    ExpectPixels(l.C(), {{0, 10, clBlue}, {19, 10, clBlue}, {10, 0, clRed}});
}

TEST(DrawHelpers, ColourArithmetic)
{
    const struct {
        TColor From, To;
        int Low, Pos, High;
        TColor Expected;
    } blends[] = {
        {RGB(0, 0, 0), RGB(100, 200, 50), 0, 0, 10, RGB(0, 0, 0)},
        {RGB(0, 0, 0), RGB(100, 200, 50), 0, 10, 10, RGB(100, 200, 50)},
        {RGB(0, 0, 0), RGB(100, 200, 50), 0, 3, 10, RGB(30, 60, 15)},
        {RGB(200, 100, 0), RGB(0, 0, 0), 10, 5, 20, RGB(100, 50, 0)},   // position counted from 0
        {clRed, clNone, 0, 5, 10, clRed},
    };
    for (const auto& b : blends)
        EXPECT_EQ(BlendColorAt(b.From, b.To, b.Low, b.Pos, b.High), b.Expected) << b.Pos << "/" << b.High;
    EXPECT_EQ(DarkenColor(RGB(255, 128, 7)), RGB(127, 64, 3));
    EXPECT_EQ(DarkenColor(clWhite), RGB(127, 127, 127));
    EXPECT_EQ(DarkenColor(clBtnFace), RGB(GetRValue(ColorToRGB(clBtnFace)) / 2, GetGValue(ColorToRGB(clBtnFace)) / 2,
                                          GetBValue(ColorToRGB(clBtnFace)) / 2));

    TBoard a(20, 20);
    DrawDropDownArrow(a.C(), 10, 5, clBlack);
    EXPECT_EQ(a.Box([](TColor p) { return p == clBlack; }), TRect(7, 5, 14, 9));
    FillRectColor(a.C(), TRect(0, 15, 20, 20), clRed);
    EXPECT_EQ(a.Row(17, 0, 20), (TRuns{{20, clRed}}));
}

TEST(DrawHelpers, ProgressBarGeometryColoursAndText)
{
    const struct {
        double Value, Min, Max;
        const char* Format;
        int Complete;   // of the 90-pixel inner width
    } cases[] = {
        {40, 0, 100, "", 36},  {0, 0, 100, "", 0},       {100, 0, 100, "", 90}, {130, 0, 100, "", 90},
        {-5, 0, 100, "", 0},   {60, 0, 200, "%d", 27},   {1.6, 1, 3, "%.1f", 27}, {3, 1, 3, "%.2f", 90},
        {7, 7, 7, "%d", 0},
    };
    for (const auto& c : cases) {
        TBoard b(100, 40);
        b.C()->Brush()->SetColor(clYellow);   // the background on entry
        DrawProgressBar(b.C(), TRect(0, 0, 100, 40), clNavy, clWhite, clSilver, clBlack, c.Value, 5, 3, c.Min, c.Max,
                        c.Format, clRed, false);
        // Row 4 holds no text: the complete part, then the rest.
        TRuns expected;
        if (c.Complete > 0) expected.emplace_back(c.Complete, clNavy);
        if (c.Complete < 90) expected.emplace_back(90 - c.Complete, clSilver);
        EXPECT_EQ(b.Row(4, 5, 95), expected) << c.Value << " " << c.Format;
        // The frame one pixel out in the border colour, one more out in the background.
        ExpectPixels(b.C(), {{4, 20, clRed}, {95, 20, clRed}, {50, 2, clRed}, {50, 37, clRed}, {3, 20, clYellow},
                             {50, 1, clYellow}});
        EXPECT_EQ(b.C()->Brush()->Color(), clYellow);
    }
    // The text is centred and takes the colour of the part it lies on.
    TBoard t(100, 40);
    t.C()->Brush()->SetColor(clWhite);
    DrawProgressBar(t.C(), TRect(0, 0, 100, 40), clBlack, clWhite, clWhite, clBlack, 0, 0, 0, 0, 100, "", clNone,
                    false);
    const TRect ink = t.Box([](TColor p) { return p != clWhite; });
    const int tw = t.C()->TextWidth("0%"), th = t.C()->TextHeight("0%");
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 50, 2);
    EXPECT_GE(ink.Top, (40 - th) / 2);
    EXPECT_LE(ink.Bottom, (40 + th) / 2);
    EXPECT_LE(ink.Width(), tw);
    // No border colour: no frame.
    EXPECT_EQ(t.At(0, 20), clWhite);
}

TEST(DrawHelpers, LevelBarPiecesBordersAndDirections)
{
    // A 102 x 12 bar: the length is 100 pixels, from x = 1.
    const struct {
        bool Stacked, Smooth;
        int Percent;
        TRuns Row;   // along row 6 from x = 1 to 101
    } cases[] = {
        {false, true, 49, {{49, clRed}, {51, clWhite}}},
        {false, true, 50, {{50, clLime}, {50, clWhite}}},
        {false, true, 80, {{80, clBlue}, {20, clWhite}}},
        {false, true, 100, {{100, clYellow}}}, {false, true, 0, {{100, clWhite}}},
        {true, true, 50, {{50, clRed}, {50, clWhite}}},
        {true, true, 60, {{50, clRed}, {10, clLime}, {40, clWhite}}},
        {true, true, 90, {{50, clRed}, {30, clLime}, {10, clYellow}, {10, clWhite}}},
        {true, true, 100, {{50, clRed}, {30, clLime}, {20, clYellow}}},
        {false, false, 20, {{1, clWhite}, {7, clRed}, {2, clWhite}, {7, clRed}, {83, clWhite}}},   // L mod 9 = 2: no last block
    };
    for (const auto& c : cases) {
        TBoard b(102, 12);
        TLevelProgressAppearance a = Levels();
        a.Stacked = c.Stacked;
        a.CompletionSmooth = c.Smooth;
        DrawLevelProgressBar(b.C(), TRect(0, 0, 102, 12), c.Percent, a);
        EXPECT_EQ(b.Row(6, 1, 101), c.Row) << c.Percent << (c.Stacked ? " stacked" : "");
    }
    // Vertical: the bar grows from the bottom.
    TBoard v(12, 102);
    TLevelProgressAppearance a = Levels();
    a.Vertical = true;
    DrawLevelProgressBar(v.C(), TRect(0, 0, 12, 102), 30, a);
    EXPECT_EQ(v.Column(6, 1, 101), (TRuns{{70, clWhite}, {30, clRed}}));
    TBoard vs(12, 102);
    a.Stacked = true;
    DrawLevelProgressBar(vs.C(), TRect(0, 0, 12, 102), 60, a);
    EXPECT_EQ(vs.Column(6, 1, 101), (TRuns{{40, clWhite}, {10, clLime}, {50, clRed}}));
    // Border shown in its colour, else in the background.
    for (bool border : {true, false}) {
        TBoard f(102, 12);
        TLevelProgressAppearance l = Levels();
        l.ShowBorder = border;
        l.BorderColor = clBlack;
        l.BackgroundColor = clSilver;
        DrawLevelProgressBar(f.C(), TRect(0, 0, 102, 12), 100, l);
        const TColor edge = border ? clBlack : clSilver;
        ExpectPixels(f.C(), {{0, 6, edge}, {50, 11, edge}, {50, 6, clYellow}});
    }
    // Gradient pieces: two mirrored halves across the bar.
    TBoard g(102, 22);
    TLevelProgressAppearance gr = Levels();
    gr.ShowGradient = true;
    gr.Level0ColorTo = clBlack;
    gr.Steps = 10;
    DrawLevelProgressBar(g.C(), TRect(0, 0, 102, 22), 30, gr);
    ExpectPixels(g.C(), {{10, 1, clRed}, {10, 11, clBlack}});
    EXPECT_GT(GetRValue(g.At(10, 20)), GetRValue(g.At(10, 12)));
    EXPECT_EQ(g.At(10, 1), g.At(20, 1));
    // The percentage text is centred.
    TBoard t(102, 30);
    TLevelProgressAppearance tx = Levels();
    tx.ShowPercentage = true;
    DrawLevelProgressBar(t.C(), TRect(0, 0, 102, 30), 0, tx);
    const TRect ink = t.Box([](TColor p) { return p != clWhite; });
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 51, 2);
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 15, 3);
}

TEST(DrawHelpers, PieAndBalanceBar)
{
    const struct {
        int Value;
        std::vector<std::pair<int, int>> In, Out;   // points inside and outside the sector
    } pies[] = {
        {25, {{30, 10}, {30, 12}}, {{10, 10}, {10, 30}, {30, 30}}},
        {50, {{30, 10}, {30, 30}}, {{10, 10}, {10, 30}}},
        {75, {{30, 10}, {30, 30}, {10, 30}}, {{10, 10}}},
        {0, {}, {{30, 10}, {30, 30}, {10, 30}, {10, 10}}},
    };
    for (const auto& p : pies) {
        TBoard b(41, 41);
        DrawProgressPie(b.C(), TRect(0, 0, 41, 41), clRed, true, p.Value);
        for (auto [x, y] : p.In) EXPECT_EQ(b.At(x, y), clRed) << p.Value << " at " << x << "," << y;
        for (auto [x, y] : p.Out) EXPECT_NE(b.At(x, y), clRed) << p.Value << " at " << x << "," << y;
        EXPECT_NE(b.At(0, 0), clRed);   // never outside the ellipse
        EXPECT_EQ(b.At(20, 0), TColor(0x808080));   // the grey outline at the top
    }
    // Balance: half of the inner width is the full scale on either side.
    const struct {
        int Value, Max;
        TRuns Row;   // inner row from x = 2 to 42 (40 pixels, middle at 22)
    } bars[] = {
        {50, 100, {{20, clWhite}, {10, clLime}, {10, clWhite}}},
        {-25, 100, {{15, clWhite}, {5, clRed}, {20, clWhite}}},
        {999, 100, {{20, clWhite}, {20, clLime}}}, {-999, 100, {{20, clRed}, {20, clWhite}}}, {0, 100, {{40, clWhite}}},
    };
    for (const auto& c : bars) {
        TBoard b(44, 12);
        DrawBalanceBar(b.C(), TRect(0, 0, 44, 12), c.Value, clLime, clRed, false, c.Max);
        EXPECT_EQ(b.Row(6, 2, 42), c.Row) << c.Value;
        EXPECT_EQ(b.At(6, 1), clWhite);
    }
    TBoard s(60, 20);
    DrawBalanceBar(s.C(), TRect(0, 0, 60, 20), -7, clLime, clRed, true, 10);
    const TRect ink = s.Box([](TColor p) { return p != clWhite && p != clRed; });
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 30, 2);
}

TEST(DrawHelpers, ComboAndSpinButtonPlaces)
{
    // Classic combo button: 16 wide, 2 pixels in from the right, 1 in from top and bottom.
    TBoard c(60, 20);
    DrawComboButton(c.C(), nullptr, TRect(0, 0, 60, 20), false, false);
    EXPECT_EQ(c.Box([](TColor p) { return p != clWhite; }), TRect(42, 1, 58, 19));
    // Spin buttons: 15 wide, moved 1 left and 1 up; the lower half starts one pixel below the middle.
    TBoard s(60, 30);
    DrawSpinButtons(s.C(), nullptr, TRect(0, 2, 60, 22), false, false);
    EXPECT_EQ(s.Box([](TColor p) { return p != clWhite; }), TRect(44, 1, 59, 21));
    const int mid = (1 + 21) / 2;
    EXPECT_EQ(s.At(50, mid), clWhite);
    EXPECT_NE(s.At(50, mid - 1), clWhite);
    EXPECT_NE(s.At(50, mid + 1), clWhite);
    // Themed ones keep to the same places.
    TBoard t(60, 20);
    DrawComboButton(t.C(), nullptr, TRect(0, 0, 60, 20), true, false);
    const TRect tb = t.Box([](TColor p) { return p != clWhite; });
    EXPECT_GE(tb.Left, 42);
    EXPECT_LE(tb.Right, 58);
}

TEST(DrawHelpers, ErrorUnderlineSpansTheFaultyCharacters)
{
    const AnsiString text = "abcdefgh";
    const struct {
        int Pos, Length;
        int From, To;   // text widths of the prefixes where the wave starts and ends
    } cases[] = {
        {2, 3, 2, 4}, {0, 1, 0, 0},
        {6, 9, 6, 7},   // runs past the end: the last character's position + 4
    };
    for (const auto& c : cases) {
        TBoard b(120, 40);
        const TRect r(5, 5, 120, 40);
        DrawErrorUnderline(nullptr, b.C(), text, c.Length, c.Pos, 2, r);
        const int x1 = r.Left + b.C()->TextWidth(text.substr(0, size_t(c.From)));
        const int x2 = r.Left + b.C()->TextWidth(text.substr(0, size_t(c.To))) +
                       (c.Pos + c.Length > int(text.size()) ? 4 : 0);
        const int base = r.Top + b.C()->TextHeight("gh") + 2;
        const TRect wave = b.Box([](TColor p) { return GetRValue(p) > 150 && GetGValue(p) < 120; });
        ASSERT_GT(wave.Right, 0) << c.Pos;
        EXPECT_NEAR(wave.Left, x1, 1) << c.Pos;
        EXPECT_GE(wave.Right, x2) << c.Pos;
        EXPECT_LE(wave.Right, x2 + 7) << c.Pos;
        EXPECT_GE(wave.Top, base - 1) << c.Pos;
        EXPECT_LE(wave.Bottom, base + 5) << c.Pos;
        EXPECT_EQ(b.C()->Pen()->Width(), 1);
    }
    // Nothing for an empty range.
    TBoard n(60, 30);
    DrawErrorUnderline(nullptr, n.C(), text, 0, 1, 0, TRect(0, 0, 60, 30));
    EXPECT_EQ(n.Box([](TColor p) { return p != clWhite; }).Right, 0);
    // Layered windows do not exist here: the calls succeed doing nothing.
    EXPECT_TRUE(CallSetLayeredWindowAttributes(nullptr, clBlack, 200, 2));
    EXPECT_TRUE(CallUpdateLayeredWindow(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, clBlack, 200, 2));
}
