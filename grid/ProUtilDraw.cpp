#include "grid/ProUtilDraw.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/core/SysUtils.h"
#include "platform/gui/Themes.h"

namespace {

int Round(double v) { return int(std::lround(v)); }

struct TRGB {
    int R, G, B;
};

TRGB Split(TColor c)
{
    c = ColorToRGB(c);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

void SolidFill(TCanvas* canvas, const TRect& r, TColor color)
{
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(color);
    canvas->FillRect(r);
}

void FrameColor(TCanvas* canvas, const TRect& r, TColor color)
{
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(color);
    canvas->FrameRect(r);
}

// Two gradient halves across a bar: colour to colour-to, then back.
void MirroredFill(TCanvas* canvas, const TRect& r, TColor color, TColor colorTo, bool gradient, int steps,
                  bool vertical)
{
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    if (!gradient || colorTo == clNone) {
        SolidFill(canvas, r, color);
        return;
    }
    if (!vertical) {
        int mid = r.Top + r.Height() / 2;
        DrawGradient(canvas, color, colorTo, false, TRect(r.Left, r.Top, r.Right, mid), steps);
        DrawGradient(canvas, colorTo, color, false, TRect(r.Left, mid, r.Right, r.Bottom), steps);
    } else {
        int mid = r.Left + r.Width() / 2;
        DrawGradient(canvas, color, colorTo, true, TRect(r.Left, r.Top, mid, r.Bottom), steps);
        DrawGradient(canvas, colorTo, color, true, TRect(mid, r.Top, r.Right, r.Bottom), steps);
    }
}

// A piece of the levelled bar from Start to Start + Len along its length.
TRect BarPiece(const TRect& inner, bool vertical, int start, int len)
{
    if (!vertical) return TRect(inner.Left + start, inner.Top, inner.Left + start + len, inner.Bottom);
    return TRect(inner.Left, inner.Bottom - start - len, inner.Right, inner.Bottom - start);
}

}  // namespace

void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps)
{
    if (!Canvas) return;
    if (ToColor == clNone) {
        SolidFill(Canvas, R, FromColor);
        return;
    }
    if (Steps <= 0) Steps = 1;
    TRGB f = Split(FromColor), t = Split(ToColor);
    int extent = Horizontal ? R.Width() : R.Height();
    if (extent <= 0) return;
    // Bands of round(extent / Steps) pixels, each drawn a pixel longer. Where such bands would stop
    // short of the far edge or lie past it, the bands share the extent evenly instead (a band is
    // at least one pixel); the last band always reaches the far edge.
    const int band = Round(double(extent) / Steps);
    const bool even = band < 1 || (Steps - 1) * band >= extent || Steps * band + 1 < extent;
    if (even)
        Steps = std::min(Steps, extent);
    const double share = double(extent) / Steps;
    for (int i = 0; i < Steps; ++i) {
        TColor c = RGB(f.R + Round(double(i) * (t.R - f.R) / Steps), f.G + Round(double(i) * (t.G - f.G) / Steps),
                       f.B + Round(double(i) * (t.B - f.B) / Steps));
        int a = even ? Round(i * share) : i * band;
        int b = i == Steps - 1 ? extent : std::min(extent, even ? Round((i + 1) * share) + 1 : a + band + 1);
        TRect r = Horizontal ? TRect(R.Left + a, R.Top, R.Left + b, R.Bottom)
                             : TRect(R.Left, R.Top + a, R.Right, R.Top + b);
        SolidFill(Canvas, r, c);
    }
}

void DrawMirrorGradient(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool LinesOnly, bool Fill)
{
    if (!Canvas) return;
    if (Fill && Color != clNone) {
        if (MirrorColor != clNone) {
            if (Vertical) {
                int mid = R.Top + R.Height() / 2;
                DrawGradient(Canvas, Color, ColorTo, false, TRect(R.Left, R.Top, R.Right, mid), 128);
                DrawGradient(Canvas, MirrorColor, MirrorColorTo, false, TRect(R.Left, mid, R.Right, R.Bottom), 128);
            } else {
                int mid = R.Left + R.Width() / 2;
                DrawGradient(Canvas, Color, ColorTo, true, TRect(R.Left, R.Top, mid, R.Bottom), 128);
                DrawGradient(Canvas, MirrorColor, MirrorColorTo, true, TRect(mid, R.Top, R.Right, R.Bottom), 128);
            }
        } else if (ColorTo == clNone) {
            SolidFill(Canvas, TRect(R.Left, R.Top, R.Right, R.Bottom + 1), Color);
        } else {
            DrawGradient(Canvas, Color, ColorTo, !Vertical, R, 128);
        }
    }
    if (BorderColor != clNone) {
        if (LinesOnly) {
            Canvas->Pen()->SetStyle(psSolid);
            Canvas->Pen()->SetWidth(1);
            Canvas->Pen()->SetColor(BorderColor);
            Canvas->MoveTo(R.Left, R.Top);
            Canvas->LineTo(R.Left, R.Bottom);
            Canvas->MoveTo(R.Right - 1, R.Top);
            Canvas->LineTo(R.Right - 1, R.Bottom);
        } else {
            FrameColor(Canvas, R, BorderColor);
        }
    }
}

TColor BlendColorAt(TColor From, TColor To, int Low, int Position, int High)
{
    if (To == clNone || High == Low) return From;
    TRGB f = Split(From), t = Split(To);
    double k = double(Position) / (High - Low);
    auto mix = [k](int a, int b) { return std::clamp(a + Round((b - a) * k), 0, 255); };
    return RGB(mix(f.R, t.R), mix(f.G, t.G), mix(f.B, t.B));
}

TColor DarkenColor(TColor Color)
{
    TRGB c = Split(Color);
    return RGB(c.R / 2, c.G / 2, c.B / 2);
}

void FillRectColor(TCanvas* Canvas, const TRect& R, TColor Color)
{
    if (Canvas) SolidFill(Canvas, R, Color);
}

void DrawDropDownArrow(TCanvas* Canvas, int X, int Y, TColor Color)
{
    if (!Canvas) return;
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    TPoint pts[3] = {TPoint(X - 3, Y), TPoint(X + 3, Y), TPoint(X, Y + 3)};
    Canvas->Polygon(pts, 3);
}

void DrawProgressBar(TCanvas* Canvas, const TRect& R, TColor CompleteColor, TColor CompleteFontColor,
                     TColor UnCompleteColor, TColor UnCompleteFontColor, double Value, int MarginX, int MarginY,
                     double Min, double Max, const AnsiString& Format, TColor BorderColor, bool Rotated)
{
    if (!Canvas) return;
    TColor background = Canvas->Brush()->Color();
    AnsiString text;
    int percentage;
    if (Format.empty()) {
        text = IntToStr(Round(Value)) + "%";
        percentage = Round(Value);
    } else {
        try {
            if (Format.find('d') != AnsiString::npos || Format.find('u') != AnsiString::npos)
                text = ::Format(Format, {Round(Value)});
            else
                text = ::Format(Format, {Value});
        } catch (const Exception&) {
            text.clear();   // a format the text routine rejects shows no text
        }
        percentage = Max > Min ? Round((Value - Min) * 100 / (Max - Min)) : 0;
    }
    percentage = std::clamp(percentage, 0, 100);

    TRect r(R.Left + MarginX, R.Top + MarginY, R.Right - MarginX, R.Bottom - MarginY);
    int complete = Round(double(r.Width()) * percentage / 100);
    int tw = Canvas->TextWidth(text), th = Canvas->TextHeight(text);
    int x = r.Left + (r.Width() - tw) / 2;
    int y = Rotated ? r.Top + (r.Height() + th) / 2 : r.Top + (r.Height() - th) / 2;

    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(CompleteColor);
    Canvas->Font()->SetColor(CompleteFontColor);
    Canvas->TextRect(TRect(r.Left, r.Top, r.Left + complete, r.Bottom), x, y, text);
    Canvas->Brush()->SetColor(UnCompleteColor);
    Canvas->Font()->SetColor(UnCompleteFontColor);
    Canvas->TextRect(TRect(r.Left + complete, r.Top, r.Right, r.Bottom), x, y, text);

    TRect frame(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
    if (BorderColor != clNone) FrameColor(Canvas, frame, BorderColor);
    frame = TRect(frame.Left - 1, frame.Top - 1, frame.Right + 1, frame.Bottom + 1);
    if (background != clNone) FrameColor(Canvas, frame, background);
    Canvas->Brush()->SetColor(background);
}

void DrawLevelProgressBar(TCanvas* Canvas, const TRect& R, int Percentage, const TLevelProgressAppearance& A)
{
    if (!Canvas) return;
    const bool vert = A.Vertical;
    const int length = (vert ? R.Height() : R.Width()) - 2;
    const TColor bg = A.BackgroundColor == clNone ? Canvas->Brush()->Color() : A.BackgroundColor;
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(A.ShowBorder ? A.BorderColor : bg);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(bg);
    Canvas->Rectangle(R);

    const int steps = A.Steps > 0 ? A.Steps : 1;
    if (Percentage >= 1 && length > 0) {
        const TRect inner(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
        auto piece = [&](int start, int len, TColor c, TColor cTo) {
            if (len <= 0) return;
            MirroredFill(Canvas, BarPiece(inner, vert, start, len), c, cTo, A.ShowGradient, steps, vert);
        };
        const int p = std::min(Percentage, 100);
        if (A.Stacked) {
            int l1 = Round(std::min(p, A.Level1Perc) / 100.0 * length);
            piece(0, l1, A.Level0Color, A.Level0ColorTo);
            int l2 = 0;
            if (p >= A.Level1Perc) {
                l2 = Round(length * (std::min(p, A.Level2Perc) - A.Level1Perc) / 100.0);
                piece(l1, l2, A.Level1Color, A.Level1ColorTo);
            }
            if (p >= A.Level2Perc) {
                int l3 = p >= 100 ? length - l1 - l2 : Round(length * (p - A.Level2Perc) / 100.0);
                piece(l1 + l2, l3, A.Level3Color, A.Level3ColorTo);
            }
        } else {
            TColor c = A.Level0Color, cTo = A.Level0ColorTo;
            if (p >= 100) c = A.Level3Color, cTo = A.Level3ColorTo;
            else if (p >= A.Level2Perc) c = A.Level2Color, cTo = A.Level2ColorTo;
            else if (p >= A.Level1Perc) c = A.Level1Color, cTo = A.Level1ColorTo;
            if (A.CompletionSmooth) {
                piece(0, Round(p / 100.0 * length), c, cTo);
            } else {
                // Blocks of 7 pixels with 2-pixel gaps, across the bar inset by 2.
                const TRect blocks(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
                auto block = [&](int start, int len) {
                    TRect b = vert ? TRect(blocks.Left, R.Bottom - start - len, blocks.Right, R.Bottom - start)
                                   : TRect(R.Left + start, blocks.Top, R.Left + start + len, blocks.Bottom);
                    MirroredFill(Canvas, b, c, cTo, A.ShowGradient, steps, vert);
                };
                const int l = Round(double(p) * length / 100);
                if (l > 9) {
                    int pos = 2;
                    for (int i = 0; i < l / 9; ++i, pos += 9) block(pos, 7);
                    if (l % 9 > 2) block(pos, l % 9 - 1);
                } else if (l >= 2) {
                    block(2, l - 1);
                }
            }
        }
    }

    if (A.ShowPercentage) {
        std::unique_ptr<TFont> saved = std::make_unique<TFont>();
        saved->Assign(Canvas->Font());
        if (A.Font) Canvas->Font()->Assign(A.Font);
        if (vert) Canvas->Font()->SetOrientation(900);
        AnsiString text = IntToStr(Percentage) + "%";
        int tw = Canvas->TextWidth(text), th = Canvas->TextHeight(text);
        Canvas->Brush()->SetStyle(bsClear);
        if (!vert)
            Canvas->TextOut(R.Left + (R.Width() - tw) / 2, R.Top + (R.Height() - th) / 2, text);
        else
            Canvas->TextOut(R.Left + (R.Width() - th) / 2, R.Bottom - (R.Height() - tw) / 2, text);
        Canvas->Font()->Assign(saved.get());
    }
    Canvas->Pen()->SetColor(A.ShowBorder ? A.BorderColor : bg);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Rectangle(R);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(bg);
}

void DrawProgressPie(TCanvas* Canvas, const TRect& R, TColor Color, bool UpperHalf, int Value)
{
    if (!Canvas || R.Width() <= 0 || R.Height() <= 0) return;
    // The sector is painted as a pie of its own rather than flood-filled, so
    // that thin sectors and sectors away from the top edge fill correctly.
    Value = std::clamp(Value, 0, 100);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(0x808080);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Ellipse(R);
    const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
    const double a = Value / 100.0 * 2 * M_PI;
    const int ex = cx + Round(std::sin(a) * R.Width() / 2.0), ey = cy - Round(std::cos(a) * R.Height() / 2.0);
    if (Value >= 100) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Color);
        Canvas->Ellipse(R);
    } else if (Value > 0) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Color);
        // Counter-clockwise from the end point back to the top.
        Canvas->Pie(R.Left, R.Top, R.Right, R.Bottom, ex, ey, cx, R.Top);
    }
    Canvas->MoveTo(cx, R.Top);
    Canvas->LineTo(cx, cy);
    Canvas->LineTo(ex, ey);
}

void DrawBalanceBar(TCanvas* Canvas, const TRect& R, int Value, TColor PositiveColor, TColor NegativeColor,
                    bool ShowValue, int Max)
{
    if (!Canvas) return;
    TRect r(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    if (Max > 0) {
        int v = std::clamp(Value, -Max, Max);
        int half = r.Width() / 2, mid = r.Left + half;
        int bar = Round(double(v) * half / Max);
        if (bar > 0) SolidFill(Canvas, TRect(mid, r.Top, mid + bar, r.Bottom), PositiveColor);
        else if (bar < 0) SolidFill(Canvas, TRect(mid + bar, r.Top, mid, r.Bottom), NegativeColor);
    }
    if (ShowValue) {
        AnsiString text = IntToStr(Value);
        Canvas->Brush()->SetStyle(bsClear);
        TRect tr = r;
        DrawText(Canvas, text, -1, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        Canvas->Brush()->SetStyle(bsSolid);
    }
}

namespace {

// The classic flat button with a small arrow, when no themed part is drawn.
void ClassicArrowButton(TCanvas* canvas, const TRect& r, int direction)
{
    SolidFill(canvas, r, clBtnFace);
    FrameColor(canvas, r, clBtnShadow);
    int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    canvas->Pen()->SetColor(clBtnText);
    canvas->Brush()->SetColor(clBtnText);
    TPoint pts[3];
    if (direction > 0) {   // down
        pts[0] = TPoint(cx - 3, cy - 1);
        pts[1] = TPoint(cx + 3, cy - 1);
        pts[2] = TPoint(cx, cy + 2);
    } else {
        pts[0] = TPoint(cx - 3, cy + 1);
        pts[1] = TPoint(cx + 3, cy + 1);
        pts[2] = TPoint(cx, cy - 2);
    }
    canvas->Polygon(pts, 3);
}

}  // namespace

void DrawComboButton(TCanvas* Canvas, TWinControl* Window, const TRect& R, bool Themed, bool Extra)
{
    if (!Canvas) return;
    TRect b(R.Right - 16 - 2, R.Top + 1, R.Right - 2, R.Bottom - 1);
    if (Themed && DrawThemedPart(Canvas, "combobox", CP_DROPDOWNBUTTON, CBXS_NORMAL, b)) return;
    ClassicArrowButton(Canvas, b, 1);
}

void DrawSpinButtons(TCanvas* Canvas, TWinControl* Window, const TRect& R, bool Themed, bool Extra)
{
    if (!Canvas) return;
    TRect b(R.Right - 15 - 1, R.Top - 1, R.Right - 1, R.Bottom - 1);
    int mid = (b.Top + b.Bottom) / 2;
    TRect up(b.Left, b.Top, b.Right, mid), down(b.Left, mid, b.Right, b.Bottom);
    if (Themed && DrawThemedPart(Canvas, "spin", SPNP_UP, UPS_NORMAL, up) &&
        DrawThemedPart(Canvas, "spin", SPNP_DOWN, DNS_NORMAL, down))
        return;
    ClassicArrowButton(Canvas, up, -1);
    ClassicArrowButton(Canvas, TRect(down.Left, down.Top + 1, down.Right, down.Bottom), 1);
}

void DrawBitmapTransparent(TCanvas* Canvas, TBitmap* Bitmap, TColor BackgroundColor, const TRect& R)
{
    if (!Canvas || !Bitmap || Bitmap->Empty()) return;
    TBitmap tmp;
    tmp.Assign(Bitmap);
    const int w = tmp.Width(), h = tmp.Height();
    const std::uint32_t key = tmp.ScanLine(0)[0] & 0xFFFFFFu;
    const TColor bg = ColorToRGB(BackgroundColor);
    const std::uint32_t fill = 0xFF000000u | (std::uint32_t(GetRValue(bg)) << 16) |
                               (std::uint32_t(GetGValue(bg)) << 8) | GetBValue(bg);
    for (int y = 0; y < h; ++y) {
        std::uint32_t* line = tmp.ScanLine(y);
        for (int x = 0; x < w; ++x)
            if ((line[x] & 0xFFFFFFu) == key) line[x] = fill;
    }
    Canvas->Draw(R.Left, R.Top, &tmp);
}

void DrawResourceBitmapTransparent(TCanvas* Canvas, const AnsiString& ResourceName, TColor BackgroundColor,
                                   const TRect& R)
{
    if (!Canvas || !ResourceBitmapExists(ResourceName)) return;
    TBitmap bmp;
    try {
        bmp.LoadFromResourceName(ResourceName);
    } catch (const Exception&) {
        return;
    }
    DrawBitmapTransparent(Canvas, &bmp, BackgroundColor, R);
}

void DrawErrorUnderline(TWinControl* Parent, TCanvas* Canvas, const AnsiString& Text, int ErrorLength,
                        int ErrorPos, int YOffset, const TRect& R)
{
    if (!Canvas || Text.empty() || ErrorLength <= 0 || ErrorPos < 0) return;
    const int n = int(Text.size());
    // Left edge of the character at Index; past the end, the last one's plus 4.
    auto charX = [&](int index) {
        if (index >= n) return R.Left + Canvas->TextWidth(Text.substr(0, size_t(n - 1))) + 4;
        return R.Left + Canvas->TextWidth(Text.substr(0, size_t(index)));
    };
    const int x1 = charX(ErrorPos), x2 = charX(ErrorPos + ErrorLength - 1);
    const int base = R.Top + Canvas->TextHeight("gh") + YOffset;
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetColor(0x0000FF);
    Canvas->Pen()->SetWidth(2);
    bool low = true;
    Canvas->MoveTo(x1, base);
    for (int x = x1; x < x2 + 3; x += 3) {
        Canvas->LineTo(x + 3, low ? base + 3 : base);
        low = !low;
    }
    Canvas->Pen()->SetWidth(1);
}

bool CallUpdateLayeredWindow(TWinControl* Window, TCanvas* DestDC, const TPoint* DestPt, const TSize* Size,
                             TCanvas* SrcDC, const TPoint* SrcPt, TColor Key, Byte Alpha, Cardinal Flags)
{
    return true;
}

bool CallSetLayeredWindowAttributes(TWinControl* Window, TColor Key, Byte Alpha, Cardinal Flags)
{
    return true;
}
