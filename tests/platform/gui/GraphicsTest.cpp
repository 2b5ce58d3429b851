#include <gtest/gtest.h>

#include <vector>

#include "platform/core/Classes.h"
#include "platform/gui/Graphics.h"
#include "tests/common/TestFiles.h"
#include "tests/platform/gui/Pixels.h"

TEST(Graphics, SystemColoursResolveInBothForms)
{
    struct Case { TColor color; TColor rgb; } cases[] = {
        {clBtnFace, RGB(212, 208, 200)},
        {TColor(0x80000000u | COLOR_BTNFACE), RGB(212, 208, 200)},   // the older form
        {clHighlight, RGB(49, 106, 197)},
        {TColor(0x8000000Du), RGB(49, 106, 197)},
        {clWindow, clWhite},
        {clInfoBk, RGB(255, 255, 225)},
        {cl3DDkShadow, RGB(64, 64, 64)},
        {clGradientActiveCaption, RGB(166, 202, 240)},
        {clRed, clRed},
        {clNone, clNone},
    };
    for (const Case& k : cases)
        EXPECT_EQ(ColorToRGB(k.color), k.rgb) << std::hex << k.color;
    EXPECT_EQ(std::vector<unsigned>({unsigned(clBtnFace), unsigned(clHighlight), unsigned(clInfoBk)}),
              std::vector<unsigned>({0xFF00000Fu, 0xFF00000Du, 0xFF000018u}));
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
    EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
    EXPECT_THROW(StringToColor("niebieski"), EConvertError);
}

TEST(Graphics, FontSizeHeightAndChangeEvents)
{
    TFont f;
    EXPECT_EQ(f.Name(), "Tahoma");
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    int changes = 0;
    f.OnChange = [&](TObject* sender) { EXPECT_EQ(sender, &f); ++changes; };
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    f.SetStyle(fsBold | fsUnderline);
    f.SetStyle(fsBold | fsUnderline);   // unchanged: no event
    f.SetColor(clRed);
    EXPECT_EQ(changes, 3);
    TFont g;
    g.Assign(&f);
    EXPECT_EQ(g.Size(), 12);
    EXPECT_EQ(g.Style(), unsigned(fsBold | fsUnderline));
    EXPECT_EQ(g.Color(), clRed);
    // Setting a colour on a clear brush makes it solid again.
    TBrush b;
    b.SetStyle(bsClear);
    b.SetColor(clRed);
    EXPECT_EQ(b.Style(), bsSolid);
}

TEST(Graphics, BitmapBmpRoundTripThroughFileAndStream)
{
    TBitmap b;
    b.SetSize(7, 5);
    b.Canvas()->Brush()->SetColor(clAqua);
    b.Canvas()->FillRect(TRect(0, 0, 7, 5));
    b.Canvas()->SetPixels(3, 2, RGB(1, 2, 3));
    b.Canvas()->SetPixels(6, 4, clMaroon);

    std::string data = b.SaveToData();
    ASSERT_GE(data.size(), 2u);
    EXPECT_EQ(data.substr(0, 2), "BM");

    const TTempDir dir("g2bmp");
    AnsiString name = dir / "obraz.bmp";
    b.SaveToFile(name);
    TBitmap c;
    c.LoadFromFile(name);
    EXPECT_EQ(c.Width(), 7);
    EXPECT_EQ(c.Height(), 5);
    ExpectPixels(c.Canvas(), {{3, 2, RGB(1, 2, 3)}, {6, 4, clMaroon}, {0, 0, clAqua}});
    EXPECT_EQ(c.TransparentColor(), clAqua);   // the bottom-left pixel

    TMemoryStream ms;
    c.SaveToStream(&ms);
    ms.SetPosition(0);
    TBitmap d;
    d.LoadFromStream(&ms);
    EXPECT_EQ(d.Canvas()->Pixels(6, 4), clMaroon);

    // A damaged file leaves the bitmap as it was.
    EXPECT_THROW(d.LoadFromData("BM not really a bitmap"), EInvalidGraphic);
    EXPECT_EQ(d.Width(), 7);
    EXPECT_THROW(d.LoadFromFile(dir / "brak.bmp"), EFOpenError);
}

// Sides set one at a time, in either order; what is drawn stays when a side grows.
TEST(Graphics, BitmapKeepsEachSideAndItsPixelsWhateverTheOrder)
{
    struct Case {
        const char* Name;
        std::vector<std::pair<char, int>> Steps;   // 'w' width, 'h' height, 'd' a dot at (1, 1)
        int Width, Height;
        bool Dot;
    } cases[] = {
        {"width then height", {{'w', 5}, {'h', 4}}, 5, 4, false},
        {"height then width", {{'h', 4}, {'w', 5}}, 5, 4, false},
        {"drawn, then wider", {{'w', 5}, {'h', 4}, {'d', 0}, {'w', 9}}, 9, 4, true},
        {"drawn, then taller", {{'h', 4}, {'w', 5}, {'d', 0}, {'h', 8}}, 5, 8, true},
        {"a side to 0 and back", {{'w', 5}, {'h', 4}, {'h', 0}, {'h', 3}}, 5, 3, false},
    };
    // A bitmap draws on its own canvas; a PNG picture takes a drawn bitmap and is shown on white.
    for (const bool png : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (png ? " (PNG)" : ""));
            TBitmap b;
            TRasterImage r;
            TGraphic& g = png ? static_cast<TGraphic&>(r) : b;
            for (auto [step, value] : c.Steps) {
                if (step == 'w')
                    g.SetWidth(value);
                else if (step == 'h')
                    g.SetHeight(value);
                else {
                    b.SetSize(g.Width(), g.Height());
                    b.Canvas()->SetPixels(1, 1, clMaroon);
                    if (png)
                        r.Assign(&b);
                }
            }
            EXPECT_EQ(g.Width(), c.Width);
            EXPECT_EQ(g.Height(), c.Height);
            ASSERT_FALSE(g.Empty());
            TBitmap shown;
            shown.SetSize(c.Width, c.Height);
            shown.Canvas()->Draw(0, 0, &g);
            EXPECT_EQ(shown.Canvas()->Pixels(1, 1), c.Dot ? clMaroon : clWhite);
            EXPECT_EQ(shown.Canvas()->Pixels(c.Width - 1, c.Height - 1), clWhite);
        }
}

TEST(Graphics, TransparentBitmapSkipsItsTransparentColour)
{
    auto icon = FilledBitmap(4, 4, clFuchsia);
    icon->Canvas()->SetPixels(1, 1, clBlue);
    icon->SetTransparent(true);
    TBitmap dest;
    dest.SetSize(6, 6);
    dest.Canvas()->Draw(1, 1, icon.get());
    ExpectPixels(dest.Canvas(), {{2, 2, clBlue}, {1, 1, clWhite}});
}

TEST(Graphics, ImageListCutsStripsAndMasks)
{
    auto strip = FilledBitmap(32, 16, clFuchsia);
    strip->Canvas()->Brush()->SetColor(clGreen);
    strip->Canvas()->FillRect(TRect(4, 4, 8, 8));
    strip->Canvas()->Brush()->SetColor(clNavy);
    strip->Canvas()->FillRect(TRect(20, 4, 24, 8));
    TImageList list(16, 16);
    EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);
    TBitmap dest;
    dest.SetSize(16, 16);
    list.Draw(dest.Canvas(), 0, 0, 1);
    ExpectPixels(dest.Canvas(), {{5, 5, clNavy}, {0, 0, clWhite}});
    list.Draw(dest.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(dest.Canvas()->Pixels(5, 5), ColorToRGB(clBtnShadow));
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_THROW(list.Delete(5), EInvalidOperation);
}

TEST(Graphics, PictureLoadsByExtensionAndKeepsItsPictureOnFailure)
{
    const TTempDir dir("g2pic");
    TBitmap b;
    b.SetSize(3, 2);
    AnsiString bmp = dir / "a.bmp";
    b.SaveToFile(bmp);
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.LoadFromFile(bmp);
    EXPECT_EQ(p.Width(), 3);
    EXPECT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(p.LoadFromFile(dir / "a.xyz"), EInvalidGraphic);
    WriteFileBytes(dir / "bad.png", "not a png");
    EXPECT_THROW(p.LoadFromFile(dir / "bad.png"), EInvalidGraphic);
    EXPECT_EQ(p.Width(), 3);

    TPicture q;
    q.Assign(&p);
    EXPECT_EQ(q.Height(), 2);
    EXPECT_NE(q.Graphic(), p.Graphic());
}

TEST(Graphics, ResourceBitmapsAreBuiltByName)
{
    RegisterResourceBitmap("TESTARROW", [](TBitmap* b) {
        b->SetSize(5, 3);
        b->Canvas()->Brush()->SetColor(clRed);
        b->Canvas()->FillRect(TRect(0, 0, 5, 3));
    });
    TBitmap b;
    b.LoadFromResourceName("TestArrow");
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Canvas()->Pixels(4, 2), clRed);
    EXPECT_THROW(b.LoadFromResourceName("NOSUCH"), EInvalidGraphic);
}
