#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "grid/ProUtilDraw.h"

namespace {

struct TSurface {
    TBitmap Bmp;
    TSurface(int w, int h)
    {
        Bmp.SetSize(w, h);
        C()->Brush()->SetColor(clWhite);
        C()->FillRect(TRect(0, 0, w, h));
        C()->Font()->SetName("DejaVu Sans");
        C()->Font()->SetSize(9);
    }
    TCanvas* C() { return Bmp.Canvas(); }
    // Runs of pixels of the colour along row y: (start, length).
    std::vector<std::pair<int, int>> Runs(int y, TColor color)
    {
        std::vector<std::pair<int, int>> out;
        for (int x = 0; x < Bmp.Width(); ++x) {
            if (C()->Pixels(x, y) != color) continue;
            if (!out.empty() && out.back().first + out.back().second == x)
                ++out.back().second;
            else
                out.emplace_back(x, 1);
        }
        return out;
    }
};

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
        TSurface s(102, 12);
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
        TSurface s(102, 12);
        a.Stacked = c.Stacked;
        DrawLevelProgressBar(s.C(), TRect(0, 0, 102, 12), c.Percent, a);
        auto runs = s.Runs(6, c.Expected);
        ASSERT_EQ(runs.size(), 1u) << c.Percent;
        EXPECT_EQ(runs[0], std::make_pair(1, c.Length)) << c.Percent;
    }
    // Stacked at 95 %: 70 red, 20 green, 5 yellow.
    TSurface s(102, 12);
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
    TSurface s(100, 20);
    s.C()->Brush()->SetColor(clWhite);
    DrawProgressBar(s.C(), TRect(0, 0, 100, 20), clNavy, clWhite, clWhite, clNavy, 50, 0, 0, 0, 100, "", clNone,
                    false);
    const int tw = s.C()->TextWidth("50%");
    EXPECT_EQ(s.C()->Pixels(5, 2), clNavy);
    EXPECT_EQ(s.C()->Pixels(95, 2), clWhite);
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
        TSurface t(100, 20);
        EXPECT_NO_THROW(DrawProgressBar(t.C(), TRect(0, 0, 100, 20), clNavy, clWhite, clWhite, clNavy, c.Value, 0, 0,
                                        c.Min, c.Max, c.Format, clBlack, false));
        EXPECT_EQ(t.C()->Pixels(5, 2), c.At5) << c.Value << " " << c.Format;
    }
}

TEST(DrawHelpers, GradientsBlendsAndGuards)
{
    TSurface s(40, 10);
    DrawGradient(s.C(), clRed, clBlue, true, TRect(0, 0, 40, 10), 0);   // one band
    EXPECT_EQ(s.C()->Pixels(0, 5), clRed);
    EXPECT_EQ(s.C()->Pixels(39, 5), clRed);
    DrawGradient(s.C(), clLime, clNone, false, TRect(0, 0, 40, 10), 16);
    EXPECT_EQ(s.C()->Pixels(20, 9), clLime);
    DrawGradient(s.C(), clBlack, clWhite, true, TRect(0, 0, 40, 10), 4);
    EXPECT_EQ(s.C()->Pixels(0, 0), clBlack);
    EXPECT_EQ(s.C()->Pixels(39, 0), RGB(191, 191, 191));   // the last of four bands
    DrawMirrorGradient(s.C(), TRect(0, 0, 40, 10), clRed, clNone, clBlue, clNone, true, clNone, false, true);
    EXPECT_EQ(s.C()->Pixels(10, 1), clRed);
    EXPECT_EQ(s.C()->Pixels(10, 8), clBlue);

    EXPECT_EQ(BlendColorAt(clRed, clBlue, 5, 3, 5), clRed);     // High = Low
    EXPECT_EQ(BlendColorAt(clRed, clNone, 0, 3, 10), clRed);
    EXPECT_EQ(BlendColorAt(RGB(0, 0, 0), RGB(200, 100, 0), 0, 5, 10), RGB(100, 50, 0));
    EXPECT_EQ(DarkenColor(RGB(200, 101, 3)), RGB(100, 50, 1));

    TSurface b(40, 10);
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
    src.SetSize(4, 4);
    src.Canvas()->Brush()->SetColor(clFuchsia);
    src.Canvas()->FillRect(TRect(0, 0, 4, 4));
    src.Canvas()->SetPixels(2, 2, clBlue);
    TSurface s(10, 10);
    DrawBitmapTransparent(s.C(), &src, clYellow, TRect(3, 3, 10, 10));
    EXPECT_EQ(s.C()->Pixels(3, 3), clYellow);
    EXPECT_EQ(s.C()->Pixels(5, 5), clBlue);
    EXPECT_EQ(s.C()->Pixels(8, 8), clWhite);
    DrawBitmapTransparent(s.C(), nullptr, clYellow, TRect(0, 0, 1, 1));
    DrawResourceBitmapTransparent(s.C(), "NO_SUCH_BITMAP", clYellow, TRect(0, 0, 1, 1));

    TSurface p(41, 41);
    DrawProgressPie(p.C(), TRect(0, 0, 41, 41), clRed, true, 25);
    EXPECT_EQ(p.C()->Pixels(30, 12), clRed);    // the upper right quarter
    EXPECT_NE(p.C()->Pixels(10, 30), clRed);    // not the lower left
    DrawProgressPie(p.C(), TRect(0, 0, 41, 41), clLime, false, 100);
    EXPECT_EQ(p.C()->Pixels(10, 30), clLime);

    TSurface c(60, 20);
    DrawComboButton(c.C(), nullptr, TRect(0, 0, 60, 20), true, false);
    DrawComboButton(c.C(), nullptr, TRect(0, 0, 60, 20), false, false);
    DrawSpinButtons(c.C(), nullptr, TRect(0, 0, 60, 20), false, false);
    EXPECT_NE(c.C()->Pixels(50, 10), clWhite);   // a button is there
    EXPECT_EQ(c.C()->Pixels(10, 10), clWhite);
    DrawErrorUnderline(nullptr, c.C(), "abc", 2, 1, 0, TRect(0, 0, 60, 20));
    DrawErrorUnderline(nullptr, c.C(), "abc", 5, 9, 0, TRect(0, 0, 60, 20));
    EXPECT_TRUE(CallSetLayeredWindowAttributes(nullptr, 0, 128, 2));
}
