// Colour styles of the tool panels, the gradient fill that all their painting
// uses, the masked bitmaps and the choice of style from the desktop's scheme.
#include <cmath>

#include "controls/ToolPanels.h"
#include "platform/gui/Themes.h"

namespace {

// Strip colours: font, tab, tab to, hover, hover to, border, colour, colour to.
struct StripColours { TColor Font, Tab, TabTo, Hover, HoverTo, Border, Back, BackTo; };
// Panel colours: colour, colour to, no-focus caption (from, to, font), focus caption (from, to, font),
// caption buttons (hover from, hover to, down from, down to).
struct PanelColours {
    TColor Back, BackTo, NoFocus, NoFocusTo, NoFocusFont, Focus, FocusTo, FocusFont;
    TColor Hover, HoverTo, Down, DownTo;
};
// Section layout colours.
struct SectionColours {
    TColor Caption, CaptionTo; TGradientDirection CaptionDir; TColor CaptionFont;
    TColor Back, BackTo, ItemFont, Border;
};

// Index by style value; the esCustom row (8) is never applied.
const StripColours StripTable[10] = {
    {0x000000, 0xFCE1CB, 0xE0A57D, 0xDCFFFF, 0x5BC0F7, 0x962D00, 0xFFFFFF, 0xF7EFDE},
    {0x000000, 0xECE2E1, 0xB39698, 0xDCFFFF, 0x5BC0F7, 0x947C7C, 0xFFFFFF, 0xEFE7E7},
    {0x000000, 0xCFF0EA, 0x8CC0B1, 0xDCFFFF, 0x5BC0F7, 0x588060, 0xFFFFFF, 0xCEE7E7},
    {0x000000, 0xFFFFFF, 0xC9D1D5, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xFFFFFF, 0xECEFF0},
    {0x723708, 0xFFEFE3, 0xFFD2AF, 0xDCFFFF, 0x5BC0F7, 0xFFD2AF, 0xFFF4E3, 0xEDD9C8},
    {0x433C37, 0xF2F1F0, 0xC9C2BD, 0xDCFFFF, 0x5BC0F7, 0x5C534C, 0xF1F0E6, 0xC6BCB5},
    {0xFFFFFF, clInactiveCaption, clInactiveCaption, clHighlight, clHighlight, 0x000000, clBtnFace, clBtnFace},
    {0x000000, 0xEBEEEF, 0x7E9898, 0xDCFFFF, 0x5BC0F7, 0x962D00, 0xEBEEEF, 0x7E9898},
    {},
    {0x723708, 0xF8F7F6, 0xE8E0DB, 0xDCFFFF, 0x5BC0F7, 0x74706F, 0xFFFFFF, 0xDDD4D0},
};

const PanelColours PanelTable[10] = {
    {0xFFE7D6, 0xC67B52, 0xD68759, 0x933803, 0xFFFFFF, 0x94E6FB, 0x1595EE, 0x000000, 0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
    {0xF7E7E7, 0xB5A5A5, 0xEFE7E7, 0xAA8888, 0x000000, 0x94E6FB, 0x1595EE, 0x000000, 0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
    {0xDEEFEF, 0x84ADA5, 0xC6EFE7, 0x94BDB5, 0x000000, 0x94E6FB, 0x1595EE, 0x000000, 0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
    {0xE7E7EF, 0xC6CECE, 0xEFEFEF, 0xC0C9C9, 0x000000, 0xDFDFDF, 0xAFA7A3, 0x000000, 0xD2BDB6, 0xD2BDB6, 0xB59285, 0xB59285},
    {0xFFF4E3, 0xEDD9C8, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xBBEEFF, 0x78DAFF, 0x723708, 0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
    {0xF1F0E6, 0xC6BCB5, 0xF2F1F0, 0xC9C2BD, 0x433C37, 0xBBEEFF, 0x78DAFF, 0x000000, 0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
    {clBtnFace, clBtnFace, clInactiveCaption, clInactiveCaption, 0xFFFFFF, clHighlight, clHighlight, 0xFFFFFF, clHighlight, clNone, clInactiveCaption, clNone},
    {0xEBEEEF, 0x7E9898, 0xEBEEEF, 0x7E9898, 0x000000, 0x94E6FB, 0x1595EE, 0x000000, 0xF5F9FA, 0xA8C0C0, 0x087FE8, 0x7CDAF7},
    {},
    {0xDEDDDE, 0xF7F3F3, 0xF8F7F6, 0xE8E0DB, 0x000000, 0xBBEEFF, 0x78DAFF, 0x723708, 0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
};

const SectionColours SectionTable[10] = {
    {0xF7DEC6, 0xD68C63, gdHorizontal, 0x842900, 0xF7EFDE, 0xF7D6BD, 0xB53900, 0xFFFFFF},
    {0xDECACE, 0xBDADAD, gdHorizontal, 0x7B5A5A, 0xEFE7E7, 0xE7D6D6, 0xB53900, 0xFFFFFF},
    {0xADDED2, 0x7BB5A5, gdHorizontal, 0x842900, 0xCEE7E7, 0xB5DED6, 0xB53900, 0xFFFFFF},
    {0xE7E7E7, 0xDEDEDE, gdHorizontal, 0x000000, 0xF7F7F7, 0xECEFF0, 0xFF0000, 0xFFFFFF},
    {0xFDD6B7, 0xC89A76, gdVertical, 0x000000, 0xF7EFDE, 0xF7D6BD, 0xB53900, 0xFFD2AF},
    {0xB8B8B6, 0x6E6E6D, gdVertical, 0xFFFFFF, 0xE6E6DF, 0xD7D5CE, 0xB53900, 0x5C534C},
    {0xFFFFFF, cl3DLight, gdVertical, 0x000000, clBtnFace, clBtnFace, 0x000000, 0xFFFFFF},
    {0xEBEEEF, 0xA8C0C0, gdVertical, 0x000000, 0xFFFFFF, clNone, 0x000000, 0xFFFFFF},
    {},
    {0xFAEEEB, 0xE5DBD7, gdVertical, 0x000000, 0xE7DCD5, 0xFBFAF0, 0xB53900, 0xCCCAC9},
};

bool StyleHasTable(int s)
{
    return s >= 0 && s <= 9 && s != esCustom;
}

// Rounding to nearest, ties to even.
int RoundEven(double v)
{
    return int(std::nearbyint(v));
}

TColor BitmapPixel(TBitmap* b, int x, int y)
{
    std::uint32_t p = b->ScanLine(y)[x];
    return RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

} // namespace

void ToolPanelGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R,
                       int Steps)
{
    const int n = Steps > 0 ? Steps : 1;
    const TColor c1 = ColorToRGB(FromColor);
    const TColor c2 = ColorToRGB(ToColor);
    const int r1 = GetRValue(c1), g1 = GetGValue(c1), b1 = GetBValue(c1);
    const double dr = double(GetRValue(c2) - r1) / n;
    const double dg = double(GetGValue(c2) - g1) / n;
    const double db = double(GetBValue(c2) - b1) / n;
    const int span = Horizontal ? (R.Right - 1) - R.Left : (R.Bottom - 1) - R.Top;
    const double len = double(span) / n;
    const int band = RoundEven(len);
    // A band outlined in its own colour with a plain one-pixel pen covers what filling it covers
    // (save a band of a single pixel, which the outline leaves out): it is filled, which costs far
    // less than outlining.
    const TPen* pen = Canvas->Pen();
    const bool fill = pen->Style() == psSolid && pen->Width() <= 1 && pen->Mode() == pmCopy &&
                      Canvas->Brush()->Style() == bsSolid && GetMapMode(Canvas) == MM_TEXT;
    for (int i = 0; i < n; ++i) {
        const TColor c = RGB(r1 + RoundEven(i * dr), g1 + RoundEven(i * dg), b1 + RoundEven(i * db));
        Canvas->Pen()->SetColor(c);
        Canvas->Brush()->SetColor(c);
        const int off = RoundEven(i * len);
        const TRect b = Horizontal ? TRect(R.Left + off, R.Top, R.Left + off + band + 1, R.Bottom)
                                   : TRect(R.Left, R.Top + off, R.Right, R.Top + off + band + 1);
        if (fill && b.Right > b.Left && b.Bottom > b.Top && b.Width() + b.Height() > 2)
            Canvas->FillRect(b);
        else
            Canvas->Rectangle(b.Left, b.Top, b.Right, b.Bottom);
    }
}

void ToolPanelFill(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps)
{
    if (ToColor != clNone) {
        ToolPanelGradient(Canvas, FromColor, ToColor, Horizontal, R, Steps);
    } else {
        Canvas->Brush()->SetColor(FromColor);
        Canvas->FillRect(R);
    }
}

void ToolPanelPaintBuffered(TCanvas* Target, int Width, int Height, TColor FromColor, TColor ToColor,
                            bool Horizontal, int Steps, const std::function<void(TCanvas* C, const TRect& R)>& APaint)
{
    if (Width <= 0 || Height <= 0)
        return;
    TBitmap buffer;
    buffer.SetSize(Width, Height);
    TCanvas* C = buffer.Canvas();
    const TRect r(0, 0, Width, Height);
    ToolPanelFill(C, FromColor, ToColor, Horizontal, r, Steps);
    APaint(C, r);
    Target->Draw(0, 0, &buffer);
}

void StretchTransparentBitmap(TCanvas* DC, TBitmap* Bitmap, const TRect& Dest, const TRect& Source,
                              TColor TransparentColor)
{
    if (!Bitmap || Bitmap->Empty() || Dest.Width() <= 0 || Dest.Height() <= 0 || Source.Width() <= 0 ||
        Source.Height() <= 0)
        return;
    const TColor key = ColorToRGB(TransparentColor);
    const int bw = Bitmap->Width(), bh = Bitmap->Height();
    // Nearest pixel of the source for each destination pixel; the key colour lets the destination through.
    for (int y = 0; y < Dest.Height(); ++y) {
        const int sy = Source.Top + y * Source.Height() / Dest.Height();
        if (sy < 0 || sy >= bh)
            continue;
        for (int x = 0; x < Dest.Width(); ++x) {
            const int sx = Source.Left + x * Source.Width() / Dest.Width();
            if (sx < 0 || sx >= bw)
                continue;
            const TColor c = BitmapPixel(Bitmap, sx, sy);
            if (c != key)
                DC->SetPixels(Dest.Left + x, Dest.Top + y, c);
        }
    }
}

void DrawTransparentBitmap(TCanvas* DC, TBitmap* Bitmap, int X, int Y, TColor TransparentColor)
{
    if (!Bitmap || Bitmap->Empty())
        return;
    const TRect all(0, 0, Bitmap->Width(), Bitmap->Height());
    StretchTransparentBitmap(DC, Bitmap, TRect(X, Y, X + all.Right, Y + all.Bottom), all, TransparentColor);
}

int ThemeColorSchemeOfName(const AnsiString& ColorName)
{
    if (ColorName == "NormalColor")
        return 1;
    if (ColorName == "HomeStead")
        return 2;
    if (ColorName == "Metallic")
        return 3;
    return 0;
}

int CurrentThemeColorScheme()
{
    // The platform is of the 5.1 generation with visual styles on, and its
    // theme names no colour scheme.
    const int major = 5, minor = 1;
    if (!(major > 5 || (major == 5 && minor >= 1)))
        return 0;
    if (!ThemesActive())
        return 0;
    return ThemeColorSchemeOfName(AnsiString());
}

TToolPanelStyle StyleOfColorScheme(int Scheme)
{
    switch (Scheme) {
    case 1: return esOffice2003Blue;
    case 2: return esOffice2003Olive;
    case 3: return esOffice2003Silver;
    default: return esOffice2003Classic;
    }
}

void TProToolPanelTab::ThemeAdapt()
{
    SetStyle(StyleOfColorScheme(CurrentThemeColorScheme()));
}

void TProToolPanelTab::SetStyle(TToolPanelStyle Value)
{
    const int s = int(Value);
    // A value outside the styles changes nothing, not even the stored style.
    if (s < 0 || s > 9)
        return;
    FStyle = Value;
    if (StyleHasTable(s)) {
        const StripColours& t = StripTable[s];
        Font()->SetColor(t.Font);
        SetTabColor(t.Tab);
        SetTabColorTo(t.TabTo);
        FTabHoverColor = t.Hover;
        FTabHoverColorTo = t.HoverTo;
        SetTabBorderColor(t.Border);
        SetColor(t.Back);
        SetColorTo(t.BackTo);
        if (Value == esWhidbey) {
            SetColor(FTabColor);
            SetColorTo(FTabColorTo);
            FAutoThemeAdapt = false;
        }
    } else if (Value == esCustom) {
        FAutoThemeAdapt = false;
    } else {
        return;
    }
    for (int i = 0; i < FPanels->Count(); ++i)
        if (TProToolPanel* p = FPanels->Items(i)->Panel())
            p->SetStyle(Value);
}

void TProToolPanel::SetStyle(TToolPanelStyle Value)
{
    const int s = int(Value);
    if (s < 0 || s > 9)
        return;
    FStyle = Value;
    if (!StyleHasTable(s))
        return;
    const PanelColours& p = PanelTable[s];
    SetColor(p.Back);
    FColorTo = p.BackTo;
    FNoFocusCaptionColor = p.NoFocus;
    FNoFocusCaptionColorTo = p.NoFocusTo;
    FNoFocusCaptionFontColor = p.NoFocusFont;
    FFocusCaptionColor = p.Focus;
    FFocusCaptionColorTo = p.FocusTo;
    FFocusCaptionFontColor = p.FocusFont;
    FHoverButtonColor = p.Hover;
    FHoverButtonColorTo = p.HoverTo;
    FDownButtonColor = p.Down;
    FDownButtonColorTo = p.DownTo;
    FGradientDirection = gdVertical;
    FCaptionGradientDirection = gdVertical;
    FShowCaptionBorder = false;
    FButton3D = false;

    const SectionColours& c = SectionTable[s];
    TSectionLayout* l = FSectionLayout.get();
    l->SetCaptionColor(c.Caption);
    l->SetCaptionColorTo(c.CaptionTo);
    l->SetCaptionGradientDir(c.CaptionDir);
    l->SetCaptionFontColor(c.CaptionFont);
    l->SetBackGroundColor(c.Back);
    l->SetBackGroundColorTo(c.BackTo);
    l->SetItemFontColor(c.ItemFont);
    l->SetItemHoverTextColor(c.ItemFont);
    l->SetBorderColor(c.Border);
    l->SetBackGroundGradientDir(gdVertical);
    l->SetItemHoverUnderline(true);
    l->SetBorderWidth(1);
    Invalidate();
}
