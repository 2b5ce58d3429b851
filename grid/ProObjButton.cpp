// The grid's graphic button: states, groups, glyphs per state, presets and painting.
#include <algorithm>

#include "grid/ProObj.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Menus.h"

namespace {
constexpr int DropDownWidth = 12;

struct TButtonPreset {
    TColor Color, ColorTo, ColorHot, ColorHotTo, ColorDown, ColorDownTo, ColorChecked, ColorCheckedTo;
    TColor BorderDown, BorderHot;
    bool Rounded;
};

const TButtonPreset Presets[7] = {
    {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, clNone, 0xAF987A, 0xC3CECE, true},
    {clBtnFace, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31, 0xC56A31, false},
    {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
    {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
    {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
    {clBtnFace, clNone, clBtnFace, clNone, 0xD8D3D2, clNone, 0xCAC7C7, clNone, clNone, clNone, false},
    {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080, false},
};

// 0xAARRGGBB pixel of a scan line <-> 0x00BBGGRR colour.
TColor PixelToColor(std::uint32_t p) { return RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)); }
std::uint32_t ColorToPixel(TColor c)
{
    return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

bool GlyphEmpty(const TBitmap* b) { return !b || b->Empty(); }

// The rows a rounded button (corners of size 8) covers inside its border, for clipping its
// gradient: the insets of the first and the last four rows, as the rounded border is drawn.
TRegion RoundedShape(const TRect& r)
{
    static const int top[4] = {2, 1, 0, 0}, bottom[4] = {4, 2, 0, 0};
    TRegion shape(TRect(r.Left, r.Top + 4, r.Right, r.Bottom - 4));
    for (int i = 0; i < 4; ++i) {
        shape = shape.United(TRegion(TRect(r.Left + top[i], r.Top + i, r.Right - top[i], r.Top + i + 1)));
        shape = shape.United(TRegion(TRect(r.Left + bottom[i], r.Bottom - 1 - i, r.Right - bottom[i], r.Bottom - i)));
    }
    return shape;
}
}

TProGridButton::TProGridButton(TComponent* AOwner)
    : TGraphicControl(AOwner),
      FGlyph(std::make_unique<TBitmap>()),
      FGlyphHot(std::make_unique<TBitmap>()),
      FGlyphDown(std::make_unique<TBitmap>()),
      FGlyphDisabled(std::make_unique<TBitmap>()),
      FShadowGlyph(std::make_unique<TBitmap>())
{
    SetControlStyle(csCaptureMouse | csDoubleClicks);
    SetBounds(0, 0, 23, 22);
    SetColor(clBtnFace);
}

TProGridButton::~TProGridButton() = default;

void TProGridButton::SetColorPreset(int Preset)
{
    if (Preset < 0 || Preset > 6)
        return;
    const TButtonPreset& p = Presets[Preset];
    SetColor(p.Color);
    FColorTo = p.ColorTo;
    FColorHot = p.ColorHot;
    FColorHotTo = p.ColorHotTo;
    FColorDown = p.ColorDown;
    FColorDownTo = p.ColorDownTo;
    FColorChecked = p.ColorChecked;
    FColorCheckedTo = p.ColorCheckedTo;
    FBorderDownColor = p.BorderDown;
    FBorderHotColor = p.BorderHot;
    FBorderColor = clNone;
    FRounded = p.Rounded;
    FFlat = true;
    Invalidate();
}

void TProGridButton::ApplyThemePreset()
{
    switch (GetXPColorScheme()) {
    case 1: SetColorPreset(2); break;   // "NormalColor"
    case 2: SetColorPreset(3); break;   // "HomeStead"
    case 3: SetColorPreset(4); break;   // "Metallic"
    default: SetColorPreset(1); break;
    }
}

void TProGridButton::Loaded()
{
    TGraphicControl::Loaded();
    if (FShaded)
        BuildShadowGlyph();
    if (FAutoThemeAdapt)
        ApplyThemePreset();
}

void TProGridButton::Dispatch(TMessage& Message)
{
    if ((Message.Msg == WM_THEMECHANGED || Message.Msg == CM_SYSCOLORCHANGE) && FAutoThemeAdapt)
        ApplyThemePreset();
    TGraphicControl::Dispatch(Message);
    // The button takes no click events from the framework: a double click is its own.
    if (Message.Msg == WM_LBUTTONDBLCLK)
        DblClick();
}

void TProGridButton::SetMargin(int Value)
{
    if (Value < -1)
        return;
    FMargin = Value;
    Invalidate();
}

void TProGridButton::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    if (FGlyphDisabled->Empty() && !FGlyph->Empty()) {
        FGlyphDisabled->Assign(FGlyph.get());
        for (int y = 0; y < FGlyphDisabled->Height(); ++y) {
            std::uint32_t* line = FGlyphDisabled->ScanLine(y);
            for (int x = 0; x < FGlyphDisabled->Width(); ++x) {
                TColor c = PixelToColor(line[x]);
                int level = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 / 2 + 96;
                line[x] = (line[x] & 0xFF000000u) | (ColorToPixel(RGB(level, level, level)) & 0x00FFFFFFu);
            }
        }
    }
    if (FShaded)
        BuildShadowGlyph();
    Invalidate();
}

void TProGridButton::BuildShadowGlyph()
{
    if (FGlyph->Empty()) {
        FShadowGlyph->SetSize(0, 0);
        return;
    }
    int w = FGlyph->Width(), h = FGlyph->Height();
    std::uint32_t transparent = FGlyph->ScanLine(h - 1)[0] & 0x00FFFFFFu;
    FShadowGlyph->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* src = FGlyph->ScanLine(y);
        std::uint32_t* dst = FShadowGlyph->ScanLine(y);
        for (int x = 0; x < w; ++x)
            dst[x] = (src[x] & 0x00FFFFFFu) == transparent ? (0xFF000000u | transparent) : ColorToPixel(clGray);
    }
    FShadowGlyph->SetTransparentColor(PixelToColor(transparent));
    FShadowGlyph->SetTransparent(true);
}

// ---------------------------------------------------------------- groups
void TProGridButton::SetDown(bool Value)
{
    if (FGroupIndex == 0 && FStyle == tasButton)
        Value = false;
    if (Value == FDown)
        return;
    if (FDown && !Value && FGroupIndex != 0 && !FAllowAllUp)
        return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
    } else {
        FState = bsUp;
        Invalidate();
    }
    if (Value)
        UpdateExclusive();
    Invalidate();
}

void TProGridButton::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TProGridButton::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp == Value)
        return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TProGridButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TProGridButton*>(Parent()->Controls(i)); b && b != this)
            b->ButtonPressed(this);
}

void TProGridButton::ButtonPressed(TProGridButton* Sender)
{
    if (Sender->FGroupIndex != FGroupIndex)
        return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        if (auto* action = dynamic_cast<TCustomAction*>(Action()))
            action->SetChecked(false);
        Invalidate();
    }
    FAllowAllUp = Sender->FAllowAllUp;
}

// ---------------------------------------------------------------- mouse
void TProGridButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (FDropDownButton && X >= Width() - DropDownWidth) {
        FState = bsUp;
        FMouseCaptured = false;
        SetMouseCapture(false);
        Invalidate();
        if (OnDropDown)
            OnDropDown(this);
        if (FDropDownMenu) {
            TPoint p = ClientToScreen(TPoint(0, Height()));
            FDropDownMenu->Popup(p.X, p.Y);
        }
        return;
    }
    if (!FDown || FStyle == tasCheck) {
        FState = bsDown;
        Invalidate();
    }
    FMouseCaptured = true;
}

void TProGridButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FMouseCaptured)
        return;
    bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
    TButtonState s = inside ? bsDown : (FDown ? bsExclusive : bsUp);
    if (FStyle == tasCheck && FDown)
        s = bsDown;
    if (s != FState) {
        FState = s;
        Invalidate();
    }
}

void TProGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FMouseCaptured)
        return;
    FMouseCaptured = false;
    bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        if (FStyle == tasCheck && inside)
            FDown = !FDown;
        if (FDown)
            FState = bsExclusive;
    } else if (inside) {
        SetDown(!FDown);
    }
    if (!inside)
        FState = FDown ? bsExclusive : bsUp;
    Invalidate();
    if (inside)
        Click();
}

void TProGridButton::Click()
{
    TGraphicControl::Click();
}

TControlActionLink* TProGridButton::CreateActionLink() { return new TProGridButtonActionLink(this); }

void TProGridButton::DblClick()
{
    if (FDown)
        TGraphicControl::DblClick();
}

void TProGridButton::CMMouseEnter(TMessage& Message)
{
    if (FFlat && Enabled() && GetCapture() == 0 && DragMode() != dmAutomatic && !FHot) {
        FHot = true;
        Invalidate();
        TGraphicControl::CMMouseEnter(Message);
        return;
    }
    DefaultHandler(Message);
}

void TProGridButton::CMMouseLeave(TMessage& Message)
{
    if (FFlat && FHot && !FMouseCaptured) {
        FHot = false;
        Invalidate();
        TGraphicControl::CMMouseLeave(Message);
        return;
    }
    DefaultHandler(Message);
}

// ---------------------------------------------------------------- painting
int TProGridButton::FitWidth()
{
    TBitmap* glyph = CurrentGlyph();
    const int gw = GlyphEmpty(glyph) ? 0 : glyph->Width();
    const AnsiString caption = FShowCaption ? Caption() : AnsiString();
    int text = 0;
    if (!caption.empty()) {
        Canvas()->Font()->Assign(Font());
        text = Canvas()->TextExtent(caption).cx;
    }
    const int spacing = gw > 0 && text > 0 ? FSpacing : 0;
    const int margin = FMargin >= 0 ? FMargin : 6;
    return 2 * margin + gw + spacing + text + (FDropDownButton ? DropDownWidth : 0);
}

TBitmap* TProGridButton::CurrentGlyph() const
{
    TBitmap* g = nullptr;
    if (!Enabled())
        g = FGlyphDisabled.get();
    else if (FState == bsDown || FState == bsExclusive || FDown)
        g = FGlyphDown.get();
    else if (FHot)
        g = FGlyphHot.get();
    return GlyphEmpty(g) ? FGlyph.get() : g;
}

void TProGridButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    TButtonState state = Enabled() ? FState : bsDisabled;
    if (FDown && state == bsUp)
        state = bsExclusive;
    TRect body = r;
    if (FDropDownButton)
        body.Right -= DropDownWidth;

    TColor from = Color(), to = FColorTo, border = FBorderColor;
    if (state == bsDown) {
        from = FColorDown;
        to = FColorDownTo;
        border = FBorderDownColor;
    } else if (state == bsExclusive) {
        from = FColorChecked;
        to = FColorCheckedTo;
        border = FBorderDownColor;
    } else if (FHot && state != bsDisabled) {
        from = FColorHot;
        to = FColorHotTo;
        border = FBorderHotColor;
    }

    bool showBackground = !FFlat || FHot || state == bsDown || state == bsExclusive || FColorTo != clNone ||
                          ColorToRGB(Color()) != ColorToRGB(clBtnFace);
    if (showBackground) {
        if (FRounded && to != clNone) {
            // The gradient inside the rounded corners, then the border round it.
            const int saved = SaveDC(c);
            TRegion shape = RoundedShape(r);
            SelectClipRgn(c, &shape);
            DrawGradient(c, from, to, false, r, 16, clNone);
            RestoreDC(c, saved);
            if (border != clNone) {
                c->Brush()->SetStyle(bsClear);
                c->Pen()->SetColor(border);
                c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 8, 8);
                c->Brush()->SetStyle(bsSolid);
            }
        } else if (FRounded) {
            c->Brush()->SetColor(from);
            c->Pen()->SetColor(border == clNone ? from : border);
            c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 8, 8);
        } else if (to == clNone) {
            c->Brush()->SetColor(from);
            c->FillRect(r);
        } else {
            DrawGradient(c, from, to, false, r, 16, clNone);
        }
    }
    if (!FFlat && !FRounded && FColorTo == clNone) {
        TRect e = r;
        DrawEdge(c, e, (state == bsDown || state == bsExclusive) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else if (!FRounded && border != clNone && (FHot || state == bsDown || state == bsExclusive || !FFlat)) {
        c->Brush()->SetColor(border);
        c->FrameRect(r);
    }

    // Glyph and caption, laid out as a speed button does.
    TBitmap* glyph = CurrentGlyph();
    int gw = GlyphEmpty(glyph) ? 0 : glyph->Width();
    int gh = GlyphEmpty(glyph) ? 0 : glyph->Height();
    c->Font()->Assign(Font());
    AnsiString caption = FShowCaption ? Caption() : AnsiString();
    TSize ts = caption.empty() ? TSize{} : c->TextExtent(caption);
    int spacing = (gw > 0 && !caption.empty()) ? FSpacing : 0;
    bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    int total = horizontal ? gw + spacing + ts.cx : gh + spacing + ts.cy;
    int avail = horizontal ? body.Width() : body.Height();
    int start = FMargin >= 0 ? FMargin : (avail - total) / 2;
    int offset = (state == bsDown || state == bsExclusive) && !FFlat ? 1 : 0;
    TPoint gp, tp;
    switch (FLayout) {
    case blGlyphLeft:
        gp = {body.Left + start, body.Top + (body.Height() - gh) / 2};
        tp = {gp.X + gw + spacing, body.Top + (body.Height() - ts.cy) / 2};
        break;
    case blGlyphRight:
        tp = {body.Left + start, body.Top + (body.Height() - ts.cy) / 2};
        gp = {tp.X + ts.cx + spacing, body.Top + (body.Height() - gh) / 2};
        break;
    case blGlyphTop:
        gp = {body.Left + (body.Width() - gw) / 2, body.Top + start};
        tp = {body.Left + (body.Width() - ts.cx) / 2, gp.Y + gh + spacing};
        break;
    case blGlyphBottom:
        tp = {body.Left + (body.Width() - ts.cx) / 2, body.Top + start};
        gp = {body.Left + (body.Width() - gw) / 2, tp.Y + ts.cy + spacing};
        break;
    }
    if (gw > 0) {
        if (FShaded && FHot && Enabled() && state != bsDown && !FShadowGlyph->Empty()) {
            FShadowGlyph->SetTransparent(true);
            c->Draw(gp.X + 2, gp.Y + 2, FShadowGlyph.get());
        }
        glyph->SetTransparent(true);
        c->Draw(gp.X + offset, gp.Y + offset, glyph);
    }
    if (!caption.empty()) {
        SetBkMode(c, TRANSPARENT);
        TRect tr(tp.X + offset, tp.Y + offset, tp.X + ts.cx + offset, tp.Y + ts.cy + offset);
        unsigned flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (!Enabled()) {
            TRect shifted = tr;
            OffsetRect(shifted, 1, 1);
            c->Font()->SetColor(clBtnHighlight);
            DrawText(c, caption, -1, shifted, flags);
            c->Font()->SetColor(clBtnShadow);
        }
        DrawText(c, caption, -1, tr, flags);
    }
    if (FDropDownButton) {
        int x = r.Right - DropDownWidth + (DropDownWidth - 5) / 2;
        int y = r.Top + r.Height() / 2 - 1;
        c->Pen()->SetColor(Enabled() ? clBlack : clGray);
        for (int i = 0; i < 3; ++i) {
            c->MoveTo(x + i, y + i);
            c->LineTo(x + 5 - i, y + i);
        }
    }
}
