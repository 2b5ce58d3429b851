#include <gtest/gtest.h>

#include "platform/gui/Graphics.h"
#include "tests/platform/gui/Pixels.h"

namespace {
bool IsGrey(TColor c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::abs(r - g) < 24 && std::abs(g - b) < 24 && std::abs(r - b) < 24;
}
}  // namespace

// Nested saved states each bring back their own clip, the brush too.
TEST(PaintingFaults, NestedSavedStatesRestoreTheirOwnClip)
{
    auto b = FilledBitmap(40, 40);
    TCanvas* c = b->Canvas();
    int outer = c->SaveState();
    IntersectClipRect(c, 0, 0, 30, 30);
    int inner = c->SaveState();
    IntersectClipRect(c, 10, 10, 40, 40);   // the clip is now 10..30
    TRect box;
    GetClipBox(c, box);
    EXPECT_EQ(TRect(10, 10, 30, 30), box);
    c->Brush()->SetColor(clRed);

    EXPECT_TRUE(c->RestoreState(inner));
    GetClipBox(c, box);
    EXPECT_EQ(TRect(0, 0, 30, 30), box);
    c->Brush()->SetColor(clBlue);
    c->FillRect(TRect(0, 0, 40, 40));
    ExpectPixels(c, {{0, 0, clBlue}, {29, 29, clBlue}, {30, 30, clWhite}});

    EXPECT_TRUE(c->RestoreState(outer));
    EXPECT_EQ(clWhite, c->Brush()->Color());
    c->Brush()->SetColor(clLime);
    c->FillRect(TRect(0, 0, 40, 40));
    EXPECT_EQ(clLime, c->Pixels(39, 39));
    // A state restored once is gone.
    EXPECT_FALSE(c->RestoreState(outer));
}

TEST(PaintingFaults, TextRectKeepsTextInsideItsRectangle)
{
    struct Case { TRect R; const char* Text; } cases[] = {
        {TRect(10, 5, 20, 25), "WWWWWWWW"}, {TRect(20, 10, 50, 30), "Zażółć gęślą jaźń bardzo długo"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Text);
        auto b = FilledBitmap(120, 40);
        TCanvas* c = b->Canvas();
        c->Font()->SetColor(clBlack);
        c->Brush()->SetColor(clYellow);
        c->TextRect(k.R, k.R.Left, k.R.Top, k.Text);
        // The yellow fills it exactly, up to its last pixel; the text stays in it.
        EXPECT_EQ(k.R, InkBox(c, 120, 40));
        EXPECT_EQ(c->Pixels(k.R.Right - 1, k.R.Bottom - 1), clYellow);
        int dark = 0;
        for (int y = k.R.Top; y < k.R.Bottom; ++y)
            for (int x = k.R.Left; x < k.R.Right; ++x)
                dark += c->Pixels(x, y) != clYellow;
        EXPECT_GT(dark, 0);
    }
}

TEST(PaintingFaults, DrawTextWordBreakOfPolishTextAndLongWords)
{
    auto b = FilledBitmap(10, 10);
    TCanvas* c = b->Canvas();
    int line = c->TextHeight("Ąg");
    struct Case { const char* Text; int Width; unsigned Extra; int MinLines, MaxLines; };
    const Case cases[] = {
        {"Zażółć gęślą jaźń", 1000, 0, 1, 1},
        {"Zażółć gęślą jaźń", 1, 0, 3, 3},   // one word a line, each wider than the rect
        {"Konstantynopolitańczykowianeczka", 30, 0, 1, 1},   // a word is never split
        {"Konstantynopolitańczykowianeczka", 30, DT_EDITCONTROL, 3, 40},
        {"", 50, 0, 1, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Text);
        TRect r(0, 0, k.Width, 0);
        int h = DrawText(c, k.Text, -1, r, DT_CALCRECT | DT_WORDBREAK | k.Extra);
        EXPECT_EQ(h, r.Height());
        EXPECT_GE(h, k.MinLines * line);
        EXPECT_LE(h, k.MaxLines * line);
        if (!(k.Extra & DT_EDITCONTROL) && *k.Text) {
            EXPECT_GE(r.Width(), c->TextWidth("jaźń") - 1);   // the widest word fits in the result
        }
    }
}

TEST(PaintingFaults, StretchDrawScalesEveryQuarterOfTheBitmap)
{
    auto src = FilledBitmap(2, 2);
    src->Canvas()->SetPixels(0, 0, clRed);
    src->Canvas()->SetPixels(1, 0, clLime);
    src->Canvas()->SetPixels(0, 1, clBlue);
    src->Canvas()->SetPixels(1, 1, clBlack);
    auto dst = FilledBitmap(40, 30);
    dst->Canvas()->StretchDraw(TRect(10, 10, 30, 30), src.get());
    ExpectPixels(dst->Canvas(), {{12, 12, clRed}, {28, 12, clLime}, {12, 28, clBlue}, {28, 28, clBlack},
                                 {9, 9, clWhite}, {30, 20, clWhite}});
    EXPECT_EQ(TRect(10, 10, 30, 30), InkBox(dst->Canvas(), 40, 30, clWhite));
}

TEST(PaintingFaults, TransparentBitmapShowsTheBackgroundThroughItsKeyColour)
{
    struct Case {
        TTransparentMode Mode;
        TColor Key;   // fixed key colour, or the bottom-left pixel's in auto mode
    };
    for (Case k : {Case{tmAuto, clFuchsia}, Case{tmFixed, clLime}}) {
        auto bmp = FilledBitmap(10, 10, k.Key);
        bmp->Canvas()->Brush()->SetColor(clNavy);
        bmp->Canvas()->FillRect(TRect(3, 3, 7, 7));
        if (k.Mode == tmFixed)
            bmp->SetTransparentColor(k.Key);
        bmp->SetTransparent(true);
        auto dst = FilledBitmap(20, 20, clYellow);
        dst->Canvas()->Draw(5, 5, bmp.get());
        ExpectPixels(dst->Canvas(), {{5, 5, clYellow}, {14, 14, clYellow}, {8, 8, clNavy}, {11, 11, clNavy}});
        // Not transparent: the key colour is painted.
        bmp->SetTransparent(false);
        dst->Canvas()->Draw(5, 5, bmp.get());
        EXPECT_EQ(k.Key, dst->Canvas()->Pixels(5, 5));
    }
}

TEST(PaintingFaults, ImageListDrawsDisabledImagesGrey)
{
    TImageList list(8, 8);
    auto img = FilledBitmap(8, 8, clFuchsia);
    img->Canvas()->Brush()->SetColor(clRed);
    img->Canvas()->FillRect(TRect(2, 2, 6, 6));
    ASSERT_EQ(0, list.AddMasked(img.get(), clFuchsia));
    auto on = FilledBitmap(8, 8, clWhite);
    auto off = FilledBitmap(8, 8, clWhite);
    list.Draw(on->Canvas(), 0, 0, 0, true);
    list.Draw(off->Canvas(), 0, 0, 0, false);
    ExpectPixels(on->Canvas(), {{3, 3, clRed}, {0, 0, clWhite}});   // the mask keeps the background
    EXPECT_TRUE(IsGrey(off->Canvas()->Pixels(3, 3))) << std::hex << off->Canvas()->Pixels(3, 3);
    EXPECT_EQ(clWhite, off->Canvas()->Pixels(0, 0));
    // Indexes outside the list draw nothing.
    auto none = FilledBitmap(8, 8, clWhite);
    list.Draw(none->Canvas(), 0, 0, 5, true);
    list.Draw(none->Canvas(), 0, 0, -1, true);
    EXPECT_EQ(TRect(), InkBox(none->Canvas(), 8, 8, clWhite));
}

// Text at 90 degrees runs upwards from its point: a tall, narrow box above it.
TEST(PaintingFaults, RotatedTextOccupiesAVerticalBox)
{
    const AnsiString text = "Pionowy napis";
    auto flat = FilledBitmap(200, 200);
    flat->Canvas()->Font()->SetColor(clBlack);
    flat->Canvas()->Font()->SetSize(10);
    SetBkMode(flat->Canvas(), TRANSPARENT);
    flat->Canvas()->TextOut(20, 100, text);
    TRect h = InkBox(flat->Canvas(), 200, 200, clWhite);

    auto up = FilledBitmap(200, 200);
    up->Canvas()->Font()->SetColor(clBlack);
    up->Canvas()->Font()->SetSize(10);
    up->Canvas()->Font()->SetOrientation(900);
    SetBkMode(up->Canvas(), TRANSPARENT);
    up->Canvas()->TextOut(20, 150, text);
    TRect v = InkBox(up->Canvas(), 200, 200, clWhite);

    ASSERT_FALSE(v.Width() == 0);
    EXPECT_GT(v.Height(), 2 * v.Width());
    EXPECT_NEAR(h.Width(), v.Height(), 3);
    EXPECT_LE(v.Bottom, 151);   // above the point
    EXPECT_GE(v.Left, 19);      // to the right of it (the text's top faces left)
    EXPECT_LE(v.Right, 20 + up->Canvas()->TextHeight(text) + 1);
}

TEST(PaintingFaults, FontChangeEventsCountEachRealChange)
{
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetName("Arial");
    f.SetSize(12);
    f.SetColor(clRed);
    f.SetStyle(fsBold);
    f.SetOrientation(900);
    EXPECT_EQ(5, changes);
    // The same value again is no change.
    f.SetSize(12);
    f.SetColor(clRed);
    f.SetName("Arial");
    EXPECT_EQ(5, changes);
    TFont g;
    g.Assign(&f);
    f.Assign(&g);   // assigning equal settings: one notification at most
    EXPECT_LE(changes, 6);
    EXPECT_EQ(900, g.Orientation());
    EXPECT_EQ(f.Height(), g.Height());
}
