// The 0.1 mm mapping mode of the canvas: on a bitmap at 96 dpi, and on a PDF page
// printed through the layer's printer and rendered by pdftoppm at 254 dpi (one pixel
// per 0.1 mm), so that positions on the paper can be read off the picture.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/core/SysUtils.h"
#include "platform/gui/Printers.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/Themes.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/Screenshots.h"
#include "tests/platform/gui/Pixels.h"

namespace {

bool Dark(TBitmap& b, int x, int y)
{
    TColor c = b.Canvas()->Pixels(x, y);
    return c >= 0 && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
}

TEST(PrintMapping, LometricOnABitmapCanvas)
{
    auto b = FilledBitmap(400, 400);
    TCanvas* c = b->Canvas();

    EXPECT_EQ(MM_TEXT, GetMapMode(c));
    EXPECT_EQ(MM_TEXT, SetMapMode(c, MM_LOMETRIC));
    EXPECT_EQ(0, SetMapMode(c, 7));   // a mode the layer does not have changes nothing
    EXPECT_EQ(MM_LOMETRIC, GetMapMode(c));
    EXPECT_EQ(96, GetDeviceCaps(c, LOGPIXELSX));   // the device's, whatever the mode

    // The device seen in 0.1 mm: the top stays 0 and the bottom is below it.
    EXPECT_EQ(TRect(0, 0, 1058, -1058), c->ClipRect());
    TRect box;
    GetClipBox(c, box);
    EXPECT_EQ(c->ClipRect(), box);
    TRect r(0, 0, 96, 192);
    ASSERT_TRUE(DPtoLP(c, r));
    EXPECT_EQ(TRect(0, 0, 254, -508), r);
    ASSERT_TRUE(LPtoDP(c, r));
    EXPECT_EQ(TRect(0, 0, 96, 192), r);

    // 2.54 cm square one inch in: 96 pixels at 96 dpi, whichever way round the corners come.
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(254, -254, 508, -508));
    c->Brush()->SetColor(clBlue);
    FillRect(c, TRect(254, -762, 508, -508), clBlue);
    EXPECT_EQ(clRed, c->Pixels(300, -300));
    // A clip in 0.1 mm holds when the mode changes back (it is the device's).
    IntersectClipRect(c, 0, 0, 1058, -254);
    int saved = SaveDC(c);
    SetMapMode(c, MM_TEXT);
    EXPECT_TRUE(RestoreDC(c, saved));
    EXPECT_EQ(MM_LOMETRIC, GetMapMode(c));   // the mode is part of the saved state
    SetMapMode(c, MM_TEXT);
    EXPECT_EQ(TRect(0, 0, 400, 96), c->ClipRect());
    SelectClipRgn(c, nullptr);
    struct Probe { int x, y; TColor colour; };
    for (const Probe& p : {Probe{96, 96, clRed}, Probe{191, 191, clRed}, Probe{95, 100, clWhite},
                           Probe{192, 150, clWhite}, Probe{100, 192, clBlue}, Probe{191, 287, clBlue},
                           Probe{150, 288, clWhite}}) {
        SCOPED_TRACE(IntToStr(p.x) + "," + IntToStr(p.y));
        EXPECT_EQ(p.colour, c->Pixels(p.x, p.y));
    }

    // Text: the font height is logical (1 cm), measures come back logical, and a text
    // written at a point hangs below it, upright.
    SetMapMode(c, MM_LOMETRIC);
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-100);
    const int h = c->TextHeight("T");
    EXPECT_GE(h, 100);
    EXPECT_LE(h, 130);
    TTextMetric tm;
    ASSERT_TRUE(GetTextMetrics(c, tm));
    EXPECT_NEAR(tm.tmHeight, h, 3);
    TRect calc(0, -800, 1000, -800);
    int dh = DrawText(c, "TTT", -1, calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_NEAR(dh, h, 3);
    EXPECT_NEAR(calc.Bottom, -800 - h, 3);   // the measured rectangle runs down the page
    EXPECT_NEAR(calc.Right, c->TextWidth("TTT"), 3);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clBlack);
    c->TextOut(600, -600, "TTT");
    SetMapMode(c, MM_TEXT);
    // 600 x 600 in 0.1 mm is 227 pixels; the bar of the T lies at the top of the text's cell.
    const int top = 227, bottom = 227 + 38 * 13 / 10;
    int firstInk = -1, lastInk = -1;
    for (int y = 200; y < 330; ++y)
        for (int x = 227; x < 330; ++x)
            if (Dark(*b, x, y)) {
                if (firstInk < 0)
                    firstInk = y;
                lastInk = y;
            }
    EXPECT_GE(firstInk, top);
    EXPECT_LE(lastInk, bottom);
    ASSERT_GE(firstInk, 0);
    int barInk = 0, footInk = 0;
    for (int x = 227; x < 330; ++x) {
        barInk += Dark(*b, x, firstInk + 1);
        footInk += Dark(*b, x, lastInk - 1);
    }
    EXPECT_GT(barInk, 3 * footInk);   // upright: the bars on top, the stems' feet below
}

// Every call that takes a rectangle takes it in 0.1 mm: one inch square, one inch in and
// one inch down, is pixels 96 to 191 at 96 dpi, and nothing is drawn outside it.
TEST(PrintMapping, RectanglesOfEveryCallAreLogical)
{
    auto red = FilledBitmap(8, 8, clRed);
    const TRect inch(254, -254, 508, -508);
    struct Case {
        const char* Name;
        std::function<void(TCanvas*)> Draw;
        bool Fills;   // the whole rectangle, else some ink inside
    } cases[] = {
        {"FillRect", [&](TCanvas* c) { c->FillRect(inch); }, true},
        {"GDI FillRect", [&](TCanvas* c) { FillRect(c, inch, clRed); }, true},
        {"Rectangle", [&](TCanvas* c) { c->Rectangle(inch); }, true},
        {"StretchDraw", [&](TCanvas* c) { c->StretchDraw(inch, red.get()); }, true},
        {"FrameRect", [&](TCanvas* c) { FrameRect(c, inch, clRed); }, false},
        {"DrawText", [&](TCanvas* c) {
             TRect r = inch;
             DrawText(c, "WWWWWWWWWWWW WWWWWWWW", -1, r, DT_WORDBREAK | DT_NOPREFIX);
         }, false},
        {"DrawRichText", [&](TCanvas* c) { DrawRichText(c, "{\\rtf1 \\b WWWWWWWW WWWWWWWW WWWWWWWW}", inch); }, false},
        {"themed button", [&](TCanvas* c) { DrawThemedPart(c, "button", BP_PUSHBUTTON, PBS_NORMAL, inch); }, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        auto b = FilledBitmap(300, 300);
        TCanvas* c = b->Canvas();
        c->Brush()->SetColor(clRed);
        c->Pen()->SetColor(clRed);
        c->Font()->SetName("Arial");
        c->Font()->SetColor(clBlack);
        SetMapMode(c, MM_LOMETRIC);
        c->Font()->SetHeight(-40);
        k.Draw(c);
        SetMapMode(c, MM_TEXT);
        int inside = 0, outside = 0;
        for (int y = 80; y < 210; ++y)
            for (int x = 80; x < 210; ++x) {
                const bool in = x >= 96 && x < 192 && y >= 96 && y < 192;
                if (c->Pixels(x, y) != clWhite)
                    ++(in ? inside : outside);
            }
        EXPECT_EQ(0, outside);
        if (k.Fills)
            EXPECT_EQ(96 * 96, inside);
        else
            EXPECT_GT(inside, 50);
    }
}

// A PDF page at 254 dpi: one pixel is 0.1 mm.
std::unique_ptr<TBitmap> RenderPdf(const AnsiString& pdf, const std::string& png)
{
    const std::string base = png.substr(0, png.size() - 4);
    const std::string cmd = "pdftoppm -r 254 -png -singlefile '" + ToOsPath(pdf) + "' '" + base + "'";
    if (std::system(cmd.c_str()) != 0)
        return nullptr;
    auto b = std::make_unique<TBitmap>();
    b->LoadFromFile(png);
    return b;
}

TEST(PrintMapping, LometricLineLandsOneCentimetreInOnThePdfPage)
{
    const AnsiString pdf = "/tmp/velmarok-lometric-" + IntToStr(getpid()) + ".pdf";
    SetPrinterOutputFile(pdf);
    TPrinter* p = Printer();
    TCanvas* c = p->Canvas();
    const int dpi = GetDeviceCaps(c, LOGPIXELSX);
    // Where the printable area starts on the paper, and the paper, in 0.1 mm.
    const int offX = MulDiv(GetDeviceCaps(c, PHYSICALOFFSETX), 254, dpi);
    const int offY = MulDiv(GetDeviceCaps(c, PHYSICALOFFSETY), 254, dpi);
    const int paperW = MulDiv(GetDeviceCaps(c, PHYSICALWIDTH), 254, dpi);
    const int paperH = MulDiv(GetDeviceCaps(c, PHYSICALHEIGHT), 254, dpi);
    EXPECT_GE(GetDeviceCaps(c, PHYSICALWIDTH), GetDeviceCaps(c, HORZRES) + GetDeviceCaps(c, PHYSICALOFFSETX));

    p->BeginDoc();
    EXPECT_EQ(MM_TEXT, GetMapMode(c));
    SetMapMode(c, MM_LOMETRIC);
    EXPECT_EQ(0, c->ClipRect().Top);
    EXPECT_NEAR(c->ClipRect().Bottom, -MulDiv(GetDeviceCaps(c, VERTRES), 254, dpi), 1);
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetWidth(4);
    c->MoveTo(100, -100);
    c->LineTo(1100, -100);   // 10 cm to the right
    c->MoveTo(100, -100);
    c->LineTo(100, -600);    // 5 cm down the page
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-50);   // 5 mm
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(300, -300, "TTTT");
    c->TextOut(300, -500, "Zażółć gęślą jaźń: wykaz norm");
    p->EndDoc();
    SetPrinterOutputFile("");

    std::unique_ptr<TBitmap> page = RenderPdf(pdf, ScreenshotPath("PrintMappingLometricPage.png"));
    DeleteFile(pdf);
    ASSERT_TRUE(page) << "pdftoppm could not render the page";
    EXPECT_NEAR(page->Width(), paperW, 2);
    EXPECT_NEAR(page->Height(), paperH, 2);

    // The corner of the two lines: 1 cm in and 1 cm down from where the printable area starts.
    const int cx = offX + 100, cy = offY + 100;
    int left = -1;
    for (int x = 0; x < cx + 50 && left < 0; ++x)
        if (Dark(*page, x, cy))
            left = x;
    int top = -1;
    for (int y = 0; y < cy + 50 && top < 0; ++y)
        if (Dark(*page, cx + 20, y))
            top = y;
    EXPECT_NEAR(left, cx, 3);
    EXPECT_NEAR(top, cy, 3);
    EXPECT_TRUE(Dark(*page, offX + 1095, cy));
    EXPECT_FALSE(Dark(*page, offX + 1110, cy));
    EXPECT_TRUE(Dark(*page, cx, offY + 595));
    EXPECT_FALSE(Dark(*page, cx, offY + 610));
    EXPECT_FALSE(Dark(*page, cx, offY + 90));   // nothing above the page's top line

    // "TTTT" hangs below 3 cm, upright.
    int firstInk = -1, lastInk = -1;
    for (int y = offY + 250; y < offY + 400; ++y)
        for (int x = offX + 300; x < offX + 500; ++x)
            if (Dark(*page, x, y)) {
                if (firstInk < 0)
                    firstInk = y;
                lastInk = y;
            }
    ASSERT_GE(firstInk, 0);
    EXPECT_GE(firstInk, offY + 300);
    EXPECT_LE(lastInk, offY + 370);
    int barInk = 0, footInk = 0;
    for (int x = offX + 300; x < offX + 500; ++x) {
        barInk += Dark(*page, x, firstInk + 1);
        footInk += Dark(*page, x, lastInk - 1);
    }
    EXPECT_GT(barInk, 3 * footInk);
}

}  // namespace
