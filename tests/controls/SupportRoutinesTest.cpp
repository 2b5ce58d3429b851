#include <gtest/gtest.h>

#include "controls/FileUtil.h"
#include "controls/NetGradient.h"
#include "controls/VCLUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"
#include "tests/platform/gui/Pixels.h"

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

TEST(KxSupport, CommandLineTokens)
{
    struct { const char* text; std::vector<AnsiString> tokens; } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"C:\\Program Files\\x.exe\" /p", {"C:\\Program Files\\x.exe", "/p"}},
        {"\"\" \"\"a", {"a"}},                           // empty quote pairs are skipped
        {"a\"b c\"d e", {"ab cd", "e"}},                // a quoted run inside a token
        {"\"open end", {"open end"}},
        {"x\x01y", {"x", "y"}},                         // control characters separate
        {"\"a\"\"b\"", {"ab"}},
    };
    for (auto& c : cases) {
        EXPECT_EQ(CmdTokenCount(c.text), int(c.tokens.size())) << c.text;
        for (std::size_t i = 0; i < c.tokens.size(); ++i)
            EXPECT_EQ(CmdToken(c.text, int(i)), c.tokens[i]) << c.text << " #" << i;
        EXPECT_EQ(CmdToken(c.text, int(c.tokens.size())), "") << c.text;
    }
    AnsiString token;
    EXPECT_EQ(ExtractCmdToken("  first  second third", token), "  second third");
    EXPECT_EQ(token, "first");
    AnsiString file, params;
    SplitCommandLine("\"C:\\Normy PN\\v.exe\"  -a   \"b c\" \"d\"", file, params);
    EXPECT_EQ(file, "C:\\Normy PN\\v.exe");
    EXPECT_EQ(params, "-a \"b c\" d");
    SplitCommandLine("", file, params);
    EXPECT_EQ(file, "");
    EXPECT_EQ(params, "");
}

TEST(KxSupport, WordsAndSubstrings)
{
    TCharSet delims{' ', ',', ';'};
    struct { int n; const char* s; int pos; const char* word; } cases[] = {
        {1, "alfa beta", 1, "alfa"},   {2, "alfa beta", 6, "beta"},  {3, "alfa beta", 0, ""},
        {1, ";; ,x", 5, "x"},          {2, "a,,b", 4, "b"},          {2, "a ,; b;", 6, "b"},
        {0, "a", 0, ""},               {1, "", 0, ""},               {1, ",,,", 0, ""},
        {2, "ąę,żź", 4, "żź"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(WordPosition(c.n, c.s, delims), c.pos) << c.n << " '" << c.s << "'";
        EXPECT_EQ(ExtractWord(c.n, c.s, delims), c.word) << c.n << " '" << c.s << "'";
    }
    // ExtractSubstr walks the fields one by one, empty ones included.
    const AnsiString s = "ab;;cd;";
    int pos = 1;
    std::vector<std::pair<AnsiString, int>> walk;
    while (pos <= int(s.size())) {
        AnsiString part = ExtractSubstr(s, pos, TCharSet{';'});
        walk.emplace_back(part, pos);
    }
    std::vector<std::pair<AnsiString, int>> expected = {{"ab", 4}, {"", 5}, {"cd", 8}};
    EXPECT_EQ(walk, expected);
    pos = 3;
    EXPECT_EQ(ExtractSubstr("abcd", pos, TCharSet{';'}), "cd");
    EXPECT_EQ(pos, 5);
}

TEST(KxSupport, ShortenNormalizeAndPictures)
{
    TBitmap probe;
    probe.SetSize(4, 4);
    TCanvas* c = probe.Canvas();
    for (const AnsiString text : {"Zharmonizowane normy europejskie", "Normy wycofane bez zastąpienia"}) {
        const int whole = c->TextWidth(text);
        for (int width : {0, 1, 5, 40, 80, 120, whole / 2, whole - 1, whole, 1000}) {
            SCOPED_TRACE(text + " in " + IntToStr(width));
            AnsiString s = ShortenString(text, c, width);
            if (whole <= width) {
                EXPECT_EQ(s, text);
                continue;
            }
            ASSERT_GE(s.size(), 3u);
            EXPECT_EQ(s.substr(s.size() - 3), "...");
            AnsiString head = s.substr(0, s.size() - 3);
            EXPECT_EQ(text.substr(0, head.size()), head);
            if (s != "...") {
                EXPECT_LE(c->TextWidth(s), width);
                EXPECT_LE(head.size(), text.size() - 2);   // at least two characters go
            }
            if (head.size() + 3 <= text.size() - 2) {   // one character more would not fit
                EXPECT_GT(c->TextWidth(text.substr(0, head.size() + 1) + "..."), width);
            }
        }
        EXPECT_EQ(ShortenString(text, c, 1), "...");
    }

    struct { const char* in; const char* out; } dirs[] = {
        {"C:\\", "C:\\"}, {"d:\\", "d:\\"}, {"C:\\Data\\", "C:\\Data"}, {"C:\\Data", "C:\\Data"},
        {"\\", "\\"},     {"", ""},         {"Wykazy\\\\", "Wykazy\\"}, {"C:", "C:"},
        {"Wykazy\\", "Wykazy"}, {"D", "D"},
    };
    for (auto& d : dirs)
        EXPECT_EQ(NormalizeDir(d.in), d.out) << d.in;
    EXPECT_TRUE(HasAnyChar("<>", "a>b"));
    EXPECT_FALSE(HasAnyChar("<>", "ab"));
    EXPECT_FALSE(HasAnyChar("", "ab"));
    for (const char* bad : {"", "a<b", "a>b", "a\"b", "a[b", "a]b", "a|b"})
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
    EXPECT_TRUE(IsValidFileName("C:\\Katalog Norm\\normy.txt"));

    // Cells of a 3 x 2 strip, each 4 x 3 of its own colour.
    TBitmap strip;
    strip.SetSize(12, 6);
    const TColor colours[6] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
    for (int i = 0; i < 6; ++i) {
        strip.Canvas()->Brush()->SetColor(colours[i]);
        strip.Canvas()->FillRect(TRect(4 * (i % 3), 3 * (i / 3), 4 * (i % 3) + 4, 3 * (i / 3) + 3));
    }
    strip.SetTransparentColor(clBlue);
    struct { int cols, rows, index; TColor colour; int w, h; } cells[] = {
        {3, 2, 0, clRed, 4, 3}, {3, 2, 4, clAqua, 4, 3}, {3, 2, 5, clFuchsia, 4, 3},
        {3, 2, -2, clRed, 4, 3}, {0, 2, 1, clYellow, 12, 3}, {3, 0, 2, clBlue, 4, 6},
    };
    for (auto& k : cells) {
        TBitmap cell;
        AssignBitmapCell(&strip, &cell, k.cols, k.rows, k.index);
        EXPECT_EQ(cell.Width(), k.w);
        EXPECT_EQ(cell.Height(), k.h);
        EXPECT_EQ(cell.Canvas()->Pixels(1, 1), k.colour) << k.cols << "x" << k.rows << " #" << k.index;
        EXPECT_EQ(cell.TransparentColor(), clBlue);
    }

    // Grey pixels by (77 R + 150 G + 29 B) >> 8; the transparent colour and the face stay.
    TBitmap src;
    src.SetSize(4, 1);
    const TColor px[4] = {RGB(255, 0, 0), RGB(10, 200, 30), clOlive, ColorToRGB(clBtnFace)};
    for (int x = 0; x < 4; ++x)
        src.Canvas()->SetPixels(x, 0, px[x]);
    std::unique_ptr<TBitmap> grey(CreateGrayedBitmap(&src, clOlive));
    ExpectPixels(grey->Canvas(), {{0, 0, RGB(76, 76, 76)}, {1, 0, RGB(123, 123, 123)}, {2, 0, ColorToRGB(clOlive)},
                                  {3, 0, ColorToRGB(clBtnFace)}});

    // Embossed: the shape in the shadow colour, its highlight one pixel lower right.
    auto shape = FilledBitmap(3, 3);
    shape->Canvas()->SetPixels(0, 0, clBlack);
    std::unique_ptr<TBitmap> embossed(CreateDisabledBitmapEx(shape.get(), clWhite, clSilver, true, clGray, clYellow));
    ExpectPixels(embossed->Canvas(), {{0, 0, clGray}, {1, 1, clYellow}, {2, 2, clSilver}});
    std::unique_ptr<TBitmap> flat(CreateDisabledBitmapEx(shape.get(), clWhite, clSilver, false, clGray, clYellow));
    EXPECT_EQ(flat->Canvas()->Pixels(1, 1), clSilver);

    // An image of a list: its shape is what its mask keeps, the bottom left pixel too.
    TImageList list(3, 3);
    shape->Canvas()->SetPixels(0, 2, clRed);
    list.AddMasked(shape.get(), clWhite);
    TBitmap sheet;
    sheet.SetSize(3, 3);
    DrawDisabledImage(&list, sheet.Canvas(), 0, 0, 0, false, clGray, clYellow);
    ExpectPixels(sheet.Canvas(), {{0, 0, clGray}, {0, 2, clGray}, {1, 1, clWhite}});
}

TEST(KxSupport, ParentImageAndForegroundFollowTheWindows)
{
    TForm form(nullptr);
    form.SetBounds(10, 10, 200, 120);
    form.SetColor(clYellow);
    auto shape = [&](TColor Colour, int Left) {
        auto* s = new TShape(&form);
        s->SetParent(&form);
        s->SetBounds(Left, 10, 20, 20);
        s->Brush()->SetColor(Colour);
    };
    // Beneath the box: the form and the shape before the box, not the one after it.
    shape(clBlue, 10);
    auto* box = new TPaintBox(&form);
    box->SetParent(&form);
    box->SetBounds(20, 10, 40, 20);
    shape(clRed, 40);
    TBitmap beneath;
    beneath.SetSize(40, 20);
    CopyParentImage(box, beneath.Canvas());
    ExpectPixels(beneath.Canvas(), {{5, 5, clBlue}, {25, 5, clYellow}});

    // The program is in front only while its window is active.
    form.Show();
    ActivateWindowByUser(&form, true);
    EXPECT_TRUE(IsForegroundTask());
    ActivateWindowByUser(&form, false);
    EXPECT_FALSE(IsForegroundTask());
}

TEST(KxSupport, RectanglesKeptOnTheScreen)
{
    ASSERT_NE(Screen, nullptr);
    int sw = Screen->Width(), sh = Screen->Height();
    struct { TRect in; TRect out; } cases[] = {
        {TRect(10, 10, 110, 60), TRect(10, 10, 110, 60)},
        {TRect(sw - 50, 10, sw + 50, 60), TRect(sw - 100, 10, sw, 60)},
        {TRect(-30, sh - 10, 70, sh + 40), TRect(0, sh - 50, 100, sh)},
        {TRect(-5, -5, sw + 10, 20), TRect(0, 0, sw + 15, 25)},   // too wide: the left edge wins
    };
    for (auto& c : cases) {
        TRect r = c.in;
        MakeRectVisible(r);
        EXPECT_EQ(r, c.out);
    }
    EXPECT_EQ(RectWidth(TRect(3, 4, 10, 20)), 7);
    EXPECT_EQ(RectHeight(TRect(3, 4, 10, 20)), 16);
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
    ExpectPixels(c, {{0, 0, clRed}, {W - 1, 0, clRed}});
}

TEST(NetGradient, DefaultsBandsAndCaptionPlace)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 800, 100);
    TNetGradient bar(nullptr);
    EXPECT_EQ(bar.Width(), 400);
    EXPECT_EQ(bar.Height(), 25);
    EXPECT_EQ(bar.BeginColor(), 0x808080);
    EXPECT_EQ(bar.EndColor(), clBtnFace);
    EXPECT_EQ(bar.NumberOfColors(), 255);
    EXPECT_EQ(bar.Caption(), "TNetGradient");
    EXPECT_EQ(bar.TextLeft(), 12);
    EXPECT_EQ(bar.TextTop(), 5);
    EXPECT_TRUE(bar.Font()->Style() & fsBold);
    EXPECT_EQ(bar.FillDirection(), fdLeftToRight);

    bar.SetParent(&form);
    bar.SetBounds(0, 0, 729, 25);
    bar.SetCaption("");
    bar.SetBeginColor(RGB(0, 0, 0));
    bar.SetEndColor(RGB(254, 0, 254));
    struct { TFillDirection dir; int n; } cases[] = {{fdLeftToRight, 255}, {fdRightToLeft, 255}, {fdLeftToRight, 7},
                                                     {fdLeftToRight, 2}, {fdRightToLeft, 2}, {fdRightToLeft, 1}};
    for (auto& k : cases) {
        bar.SetFillDirection(k.dir);
        bar.SetNumberOfColors(TNumberOfColors(k.n));
        auto shot = GrabControl(&bar);
        TCanvas* c = shot->Canvas();
        TColor start = k.dir == fdLeftToRight ? RGB(0, 0, 0) : RGB(254, 0, 254);
        int d = k.dir == fdLeftToRight ? 254 : -254;
        for (int i : {0, 1, k.n / 2, k.n - 1}) {
            if (i < 0 || i >= k.n)
                continue;
            int v = GetRValue(start) + (k.n > 1 ? MulDiv(i, d, k.n - 1) : 0);
            int left = MulDiv(i, 729, k.n), right = MulDiv(i + 1, 729, k.n) - 1;
            for (int x : {left, right}) {
                EXPECT_EQ(c->Pixels(x, 0), RGB(v, 0, v)) << k.n << " band " << i << " x " << x;
                EXPECT_EQ(c->Pixels(x, 24), RGB(v, 0, v)) << k.n << " band " << i << " x " << x;
            }
        }
    }

    // The caption is written from (TextLeft, TextTop) in the bar's font over the bands.
    bar.SetFillDirection(fdLeftToRight);
    bar.SetNumberOfColors(1);
    bar.SetBeginColor(clBlack);
    bar.Font()->SetColor(clWhite);
    bar.SetCaption("Normy aktualne");
    for (TPoint at : {TPoint(12, 5), TPoint(40, 2)}) {
        bar.SetTextLeft(at.X);
        bar.SetTextTop(at.Y);
        auto shot = GrabControl(&bar);
        int minX = 1000, minY = 1000;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 300; ++x)
                if (shot->Canvas()->Pixels(x, y) != clBlack) {
                    minX = std::min(minX, x);
                    minY = std::min(minY, y);
                }
        EXPECT_GE(minX, at.X);
        EXPECT_LE(minX, at.X + 3);
        EXPECT_GE(minY, at.Y);
        EXPECT_LE(minY, at.Y + 6);
    }
}
