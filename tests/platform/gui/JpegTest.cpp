#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/Classes.h"
#include "platform/gui/Graphics.h"

namespace {

// Four flat quadrants: red, green, blue, grey.
std::unique_ptr<TBitmap> Quadrants()
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(32, 32);
    TCanvas* c = b->Canvas();
    struct Q { TRect r; TColor c; };
    Q qs[] = {{{0, 0, 16, 16}, clRed}, {{16, 0, 32, 16}, clLime}, {{0, 16, 16, 32}, clBlue},
              {{16, 16, 32, 32}, RGB(128, 128, 128)}};
    for (const Q& q : qs) {
        c->Brush()->SetColor(q.c);
        c->FillRect(q.r);
    }
    return b;
}

bool Near(TColor a, TColor b, int tol)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tol && std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

}  // namespace

TEST(Jpeg, EncodeAndDecodeRoundTripWithinTolerance)
{
    auto src = Quadrants();
    TJPEGImage jpg;
    EXPECT_EQ(jpg.CompressionQuality(), 90);
    jpg.Assign(src.get());
    std::string data = jpg.SaveToData();
    ASSERT_GT(data.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(data[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(data[1]), 0xD8);

    TJPEGImage back;
    back.LoadFromData(data);
    EXPECT_EQ(back.Width(), 32);
    EXPECT_EQ(back.Height(), 32);
    struct P { int x, y; TColor c; };
    P points[] = {{4, 4, clRed}, {27, 4, clLime}, {4, 27, clBlue}, {27, 27, RGB(128, 128, 128)}};
    TCanvas* c = back.Bitmap()->Canvas();
    for (const P& p : points)
        EXPECT_TRUE(Near(c->Pixels(p.x, p.y), p.c, 24)) << p.x << "," << p.y << " " << std::hex << c->Pixels(p.x, p.y);

    // Grey scale output, and a half-size decode.
    TJPEGImage grey;
    grey.SetGrayscale(true);
    grey.LoadFromData(data);
    TColor g = grey.Bitmap()->Canvas()->Pixels(4, 4);
    EXPECT_EQ(GetRValue(g), GetGValue(g));
    EXPECT_EQ(GetGValue(g), GetBValue(g));
    TJPEGImage half;
    half.SetScale(jsHalf);
    half.LoadFromData(data);
    EXPECT_EQ(half.Width(), 16);

    // Through a stream into a picture drawn on a bitmap.
    TMemoryStream ms;
    back.SaveToStream(&ms);
    ms.SetPosition(0);
    TJPEGImage fromStream;
    fromStream.LoadFromStream(&ms);
    TBitmap dest;
    dest.SetSize(32, 32);
    dest.Canvas()->Draw(0, 0, &fromStream);
    EXPECT_TRUE(Near(dest.Canvas()->Pixels(27, 4), clLime, 24));
}

TEST(Jpeg, LowerQualityGivesSmallerData)
{
    auto src = Quadrants();
    src->Canvas()->Pen()->SetColor(clYellow);
    for (int i = 0; i < 32; i += 3) {
        src->Canvas()->MoveTo(0, i);
        src->Canvas()->LineTo(32, 31 - i);
    }
    TJPEGImage hi, lo;
    hi.SetCompressionQuality(95);
    lo.SetCompressionQuality(10);
    hi.Assign(src.get());
    lo.Assign(src.get());
    EXPECT_LT(lo.SaveToData().size(), hi.SaveToData().size());
}

TEST(Jpeg, DamagedDataRaisesInvalidGraphicAndKeepsThePicture)
{
    auto src = Quadrants();
    TJPEGImage jpg;
    jpg.Assign(src.get());
    std::string data = jpg.SaveToData();

    TJPEGImage target;
    target.LoadFromData(data);
    const std::string cases[] = {
        data.substr(0, data.size() / 2),   // cut in the picture data
        data.substr(0, 20),                // cut in the headers
        std::string(),                     // nothing
        "\xFF\xD8 this is no picture",     // a start marker and rubbish
        "GIF89a",                          // another format
    };
    for (const std::string& bad : cases) {
        try {
            target.LoadFromData(bad);
            ADD_FAILURE() << "accepted " << bad.size() << " bytes";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u) << e.Message();
        }
        EXPECT_EQ(target.Width(), 32);
    }
}
