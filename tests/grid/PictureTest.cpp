#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "grid/GDIPicture.h"
#include "grid/PictureContainer.h"
#include "platform/core/SysUtils.h"
#include "tests/common/GridTest.h"
#include "tests/common/TestFiles.h"

namespace {

std::string SolidBmp(int w, int h, TColor c)
{
    TBitmap b;
    return Filled(b, w, h, c).SaveToData();
}

struct TCanvasSheet {
    TBitmap Bmp;
    TCanvasSheet(int w, int h)
    {
        Filled(Bmp, w, h, clWhite);
    }
    TCanvas* C() { return Bmp.Canvas(); }
};

// Each run of the suite writes its pictures into a folder of its own.
AnsiString TempFile(const char* name, const std::string& bytes)
{
    static TTempDir dir("velmarok-pictures");
    AnsiString path = dir / name;
    TMemoryStream ms;
    ms.Write(bytes.data(), Int64(bytes.size()));
    ms.SaveToFile(path);
    return path;
}

}  // namespace

TEST(PictureHtml, BitmapDrawsAtItsSizeOrStretched)
{
    AnsiString path = TempFile("a.bmp", SolidBmp(6, 5, clRed));
    THTMLPicture pic;
    int changes = 0;
    pic.OnChange = [&](TObject*) { ++changes; };
    pic.LoadFromFile(path);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(pic.Empty());
    EXPECT_EQ(TPoint(pic.Width(), pic.Height()), TPoint(6, 5));
    EXPECT_EQ(pic.FrameCount(), -1);
    EXPECT_EQ(pic.FrameWidth(), 6);

    TCanvasSheet s(20, 20);
    pic.Draw(s.C(), TRect(2, 2, 20, 20));
    EXPECT_EQ(s.C()->Pixels(7, 6), clRed);
    EXPECT_EQ(s.C()->Pixels(9, 9), clWhite);
    pic.SetStretch(true);
    pic.Draw(s.C(), TRect(2, 2, 20, 20));
    EXPECT_EQ(s.C()->Pixels(18, 18), clRed);

    THTMLPicture copy;
    copy.Assign(&pic);
    EXPECT_TRUE(copy.Stretch());
    EXPECT_EQ(copy.Width(), 6);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    std::remove(path.c_str());
}

TEST(PictureHtml, GifFramesAreCountedAndSelected)
{
    THTMLPicture pic;
    pic.LoadFromData(FramesGif({{0, 0}, {2, 1}, {3, 3}}));
    EXPECT_TRUE(pic.IsGIF());
    EXPECT_EQ(pic.FrameCount(), 3);
    EXPECT_EQ(TPoint(pic.FrameWidth(), pic.FrameHeight()), TPoint(4, 4));
    int frameChanges = 0;
    pic.OnFrameChange = [&](TObject*) { ++frameChanges; };
    pic.SetFrame(2);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(pic.FrameLeft(), 2);
    EXPECT_EQ(pic.FrameTop(), 1);
    EXPECT_TRUE(pic.Loaded());
    pic.SetFrame(3);
    EXPECT_EQ(pic.FrameLeft(), 3);
    pic.SetFrame(99);   // outside the frames: the first is shown, nothing fails
    EXPECT_EQ(pic.FrameLeft(), 0);
    TCanvasSheet s(10, 10);
    pic.Draw(s.C(), TRect(0, 0, 10, 10));
    // A looping extension between the first frame's control extension and its image, as some encoders write it.
    std::string looping = FramesGif({{0, 0}, {2, 1}, {3, 3}});
    looping.insert(27, std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19));
    pic.LoadFromData(looping);
    EXPECT_EQ(pic.FrameCount(), 3);
    pic.SetFrame(2);
    EXPECT_EQ(pic.FrameLeft(), 2);
    EXPECT_EQ(pic.Width(), 1);   // the frame alone, drawn at its offset in the screen
}

TEST(PictureHtml, BadBytesRaiseAndDrawNothing)
{
    const std::string cases[] = {
        "not a picture",
        std::string("GIF89a\x04\x00", 8),                                // truncated GIF
        std::string("GIF89a\x04\x00\x04\x00\x80\x00\x00\x21\xF9\x04", 14),
        std::string("BM\x10\x00", 4),
        std::string("\xFF\xD8\xFF", 3),
        std::string("\x89PNG\r\n", 6),
    };
    for (const auto& bytes : cases) {
        THTMLPicture pic;
        EXPECT_EQ(GridError<Exception>([&] { pic.LoadFromData(bytes); }), "Could not load image. Invalid format")
            << bytes.size() << " bytes";
        EXPECT_FALSE(pic.Empty());   // the bytes stay
        EXPECT_FALSE(pic.Loaded());
        EXPECT_EQ(pic.Width(), 0);
        TCanvasSheet s(4, 4);
        pic.Draw(s.C(), TRect(0, 0, 4, 4));
        EXPECT_EQ(s.C()->Pixels(1, 1), clWhite);
        pic.FrameCount();
        pic.SetFrame(2);
    }
    // A metafile is read as an empty picture.
    THTMLPicture wmf;
    EXPECT_NO_THROW(wmf.LoadFromData(std::string("\xD7\xCD\xC6\x9A\0\0\0\0", 8)));
    EXPECT_EQ(wmf.Width(), 0);
}

TEST(PictureHtml, ContainerAndCacheLookups)
{
    TPictureContainer container(nullptr);
    EXPECT_EQ(container.Version(), "1.0.0.0");
    TPictureItem* item = container.Items()->Add();
    item->SetName("Logo");
    item->Picture()->LoadFromData(SolidBmp(2, 2, clBlue));
    EXPECT_EQ(container.FindPicture("LOGO"), item->Picture());
    EXPECT_EQ(container.FindPicture("other"), nullptr);

    THTMLPictureCache cache;
    THTMLPicture* remote = cache.AddPicture();
    remote->LoadFromURL("http://host/p.png");
    EXPECT_TRUE(remote->Empty());
    EXPECT_EQ(cache.FindPicture("http://host/p.png"), remote);
    EXPECT_EQ(cache.FindPicture("HTTP://HOST/P.PNG"), nullptr);
    AnsiString path = TempFile("b.bmp", SolidBmp(3, 3, clRed));
    THTMLPicture* local = cache.AddPicture();
    local->LoadFromURL("FILE://" + path);
    EXPECT_EQ(local->Width(), 3);
    THTMLPicture* res = cache.AddPicture();
    res->LoadFromURL("res://NO_SUCH_RESOURCE");
    EXPECT_TRUE(res->Empty());
    EXPECT_EQ(cache.Count(), 3);
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
    std::remove(path.c_str());
}

TEST(PictureHtml, PictureCopiesAndChangeEvents)
{
    THTMLPicture src;
    src.LoadFromData(FramesGif({{0, 0}, {1, 2}}));
    src.SetStretch(true);
    src.SetFrame(2);
    src.SetAddress("file:///x.gif");
    THTMLPicture copy;
    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    copy.Assign(&src);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(copy.Stretch());
    EXPECT_EQ(copy.Frame(), 2);
    EXPECT_EQ(copy.FrameTop(), 2);
    EXPECT_EQ(copy.Address(), "file:///x.gif");
    EXPECT_EQ(copy.SaveToData(), src.SaveToData());
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Frame(), 1);
    EXPECT_EQ(copy.SaveToData(), "");

    // A hint picture is measured before its change event fires.
    TBitmap bmp;
    bmp.SetSize(7, 5);
    TGDIPPicture hint;
    int seenW = -1, seenH = -1;
    hint.OnChange = [&](TObject*) {
        seenW = hint.Width();
        seenH = hint.Height();
    };
    hint.Assign(&bmp);
    EXPECT_EQ(seenW, 7);
    EXPECT_EQ(seenH, 5);
    int clears = 0;
    hint.OnClear = [&](TObject*) { ++clears; };
    hint.Assign(nullptr);
    EXPECT_EQ(seenW, 0);
    EXPECT_EQ(clears, 1);
    EXPECT_TRUE(hint.Empty());
}

TEST(PictureGdip, MeasuresDrawsAndClears)
{
    TRasterImage png("PNG");
    {
        TBitmap b;
        png.Assign(&Filled(b, 7, 3, clLime));
    }
    AnsiString path = TempFile("c.png", png.SaveToData());
    TGDIPPicture pic;
    int clears = 0;
    pic.OnClear = [&](TObject*) { ++clears; };
    pic.LoadFromFile(path);
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(TPoint(pic.Width(), pic.Height()), TPoint(7, 3));
    TCanvasSheet s(30, 30);
    pic.Draw(s.C(), TRect(0, 0, 30, 30));   // scaled to the whole rectangle
    EXPECT_EQ(s.C()->Pixels(28, 28), clLime);

    TGDIPPicture bmp;
    bmp.LoadFromData(SolidBmp(4, 4, clRed));
    TCanvasSheet t(10, 10);
    bmp.Draw(t.C(), TRect(1, 1, 10, 10));   // its own size; the corner colour is transparent
    EXPECT_EQ(t.C()->Pixels(2, 2), clWhite);
    EXPECT_EQ(t.C()->Pixels(8, 8), clWhite);

    // A TIFF file (2 x 2 grey, uncompressed) is read too.
    std::string tiff("II*\0\x08\0\0\0\x08\0", 10);
    const unsigned short entries[][3] = {{256, 3, 2}, {257, 3, 2}, {258, 3, 8},   {259, 3, 1},
                                         {262, 3, 1}, {273, 4, 110}, {278, 3, 2}, {279, 4, 4}};
    for (const auto& e : entries)
        tiff += std::string{char(e[0] & 0xFF), char(e[0] >> 8), char(e[1]), 0, 1, 0, 0, 0, char(e[2]), 0, 0, 0};
    tiff += std::string(4, '\0') + "\x10\x20\x30\x40";
    TGDIPPicture tif;
    tif.LoadFromData(tiff);
    EXPECT_EQ(TPoint(tif.Width(), tif.Height()), TPoint(2, 2));

    TGDIPPicture broken;
    broken.LoadFromData("junk");
    EXPECT_EQ(broken.Width(), 0);
    broken.Draw(t.C(), TRect(0, 0, 10, 10));

    pic.Assign(nullptr);
    EXPECT_TRUE(pic.Empty());
    EXPECT_EQ(clears, 2);

    TProHintInfo a, b;
    a.SetTitle("T");
    a.Notes()->Add("n");
    a.Picture()->LoadFromData(SolidBmp(2, 2, clRed));
    b.Assign(&a);
    EXPECT_EQ(b.Title(), "T");
    EXPECT_EQ(b.Notes()->Count(), 1);
    EXPECT_EQ(b.Picture()->Width(), 2);
    std::remove(path.c_str());
}
