#include <gtest/gtest.h>

#include "controls/FileUtil.h"
#include "controls/NetGradient.h"
#include "controls/VCLUtils.h"

TEST(KxSupport, CommandLineTokensAndWords)
{
    AnsiString token;
    AnsiString rest = ExtractCmdToken("  \"C:\\Program Files\\a.txt\" -x", token);
    EXPECT_EQ(token, "C:\\Program Files\\a.txt");
    EXPECT_EQ(CmdTokenCount("a \"b c\" d"), 3);
    EXPECT_EQ(CmdToken("a \"b c\" d", 1), "b c");
    EXPECT_EQ(CmdToken("a", 4), "");
    AnsiString file, params;
    SplitCommandLine("prog \"x y\" z", file, params);
    EXPECT_EQ(file, "prog");
    EXPECT_EQ(params, "\"x y\" z");
    // No fixed limit on a token's length.
    AnsiString longPath(5000, 'a');
    ExtractCmdToken(longPath, token);
    EXPECT_EQ(token.size(), 5000u);

    TCharSet comma{','};
    EXPECT_EQ(ExtractWord(2, "a,,b", comma), "b");
    EXPECT_EQ(WordPosition(2, "a,,b", comma), 4);
    EXPECT_EQ(ExtractWord(3, "a,,b", comma), "");
    int pos = 1;
    EXPECT_EQ(ExtractSubstr("ab;cd", pos, TCharSet{';'}), "ab");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(Max(-1, 0), 0);
    EXPECT_EQ(Min(-1, 0), -1);
}

TEST(KxSupport, NormalizeDirAndFileNameCheck)
{
    struct { const char* in; const char* out; } dirs[] = {
        {"C:\\", "C:\\"}, {"C:\\Data\\", "C:\\Data"}, {"\\", "\\"}, {"Wykazy\\", "Wykazy"}, {"D", "D"},
    };
    for (auto& d : dirs)
        EXPECT_EQ(NormalizeDir(d.in), d.out) << d.in;
    for (const char* bad : {"", "a<b", "a>b", "a\"b", "a[b", "a]b", "a|b"})
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
    EXPECT_TRUE(IsValidFileName("C:\\Katalog Norm\\normy.txt"));
}

TEST(KxSupport, ShortenStringFitsTheWidth)
{
    TBitmap bmp;
    bmp.SetSize(10, 10);
    TCanvas* c = bmp.Canvas();
    AnsiString text = "Normy wycofane bez zastąpienia";
    EXPECT_EQ(ShortenString(text, c, c->TextWidth(text)), text);
    int limit = c->TextWidth(text) / 2;
    AnsiString s = ShortenString(text, c, limit);
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ(s.substr(s.size() - 3), "...");
    EXPECT_LE(c->TextWidth(s), limit);
    // One more character of the text no longer fits.
    AnsiString longer = text.substr(0, s.size() - 3 + 1) + "...";
    EXPECT_GT(c->TextWidth(longer), limit);
    EXPECT_EQ(ShortenString(text, c, 1), "...");
}

TEST(NetGradient, BandsSplitTheWidthEvenly)
{
    const int W = 729, H = 4;
    TBitmap bmp;
    bmp.SetSize(W, H);
    DrawGradientBands(bmp.Canvas(), W, H, RGB(0, 0, 0), RGB(254, 127, 0), 255);
    TCanvas* c = bmp.Canvas();
    for (int i : {0, 1, 100, 200, 254}) {
        int left = MulDiv(i, W, 255), right = MulDiv(i + 1, W, 255);
        TColor expected = RGB(MulDiv(i, 254, 254), MulDiv(i, 127, 254), 0);
        EXPECT_EQ(c->Pixels(left, 1), expected) << "band " << i;
        EXPECT_EQ(c->Pixels(right - 1, 1), expected) << "band " << i;
    }
    EXPECT_EQ(c->Pixels(W - 1, 0), RGB(254, 127, 0));

    // One band: the start colour across the whole width.
    DrawGradientBands(c, W, H, clRed, clBlue, 1);
    EXPECT_EQ(c->Pixels(0, 0), clRed);
    EXPECT_EQ(c->Pixels(W - 1, 0), clRed);
}

TEST(NetGradient, RightToLeftPutsEndColourLeft)
{
    TNetGradient bar(nullptr);
    bar.SetBounds(0, 0, 100, 25);
    bar.SetBeginColor(clRed);
    bar.SetEndColor(clBlue);
    bar.SetNumberOfColors(2);
    bar.SetFillDirection(fdRightToLeft);
    bar.SetCaption("");
    TBitmap bmp;
    bmp.SetSize(100, 25);
    bar.DrawBar(bmp.Canvas());
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 10), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(99, 10), clRed);
}
