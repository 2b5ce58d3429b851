#include "platform/gui/Buttons.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <cstdint>

#include "platform/gui/Graphics_p.h"
#include "platform/gui/StdCtrls_p.h"

// ---------------------------------------------------------------- layout
void CalcButtonLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout, int Margin,
                      int Spacing, TPoint& GlyphPos, TPoint& TextPos)
{
    int cw = Client.Width(), ch = Client.Height();
    bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    if (horizontal) {
        GlyphPos.Y = (ch - GlyphSize.cy + 1) / 2;
        TextPos.Y = (ch - TextSize.cy + 1) / 2;
    } else {
        GlyphPos.X = (cw - GlyphSize.cx + 1) / 2;
        TextPos.X = (cw - TextSize.cx + 1) / 2;
    }
    if (TextSize.cx == 0 || GlyphSize.cx == 0)
        Spacing = 0;
    int avail = horizontal ? cw : ch;
    int glyph = horizontal ? GlyphSize.cx : GlyphSize.cy;
    int text = horizontal ? TextSize.cx : TextSize.cy;
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (avail - glyph - text) / 3;
            Spacing = Margin;
        } else {
            Margin = (avail - (glyph + Spacing + text) + 1) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (avail - (Margin + glyph) - text) / 2;
    }
    switch (Layout) {
    case blGlyphLeft:
        GlyphPos.X = Margin;
        TextPos.X = GlyphPos.X + GlyphSize.cx + Spacing;
        break;
    case blGlyphRight:
        GlyphPos.X = cw - Margin - GlyphSize.cx;
        TextPos.X = GlyphPos.X - Spacing - TextSize.cx;
        break;
    case blGlyphTop:
        GlyphPos.Y = Margin;
        TextPos.Y = GlyphPos.Y + GlyphSize.cy + Spacing;
        break;
    case blGlyphBottom:
        GlyphPos.Y = ch - Margin - GlyphSize.cy;
        TextPos.Y = GlyphPos.Y - Spacing - TextSize.cy;
        break;
    }
    GlyphPos.X += Client.Left;
    GlyphPos.Y += Client.Top;
    TextPos.X += Client.Left;
    TextPos.Y += Client.Top;
}

namespace {
// 0xAARRGGBB pixel <-> 0x00BBGGRR colour.
TColor PixelColor(std::uint32_t p) { return RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)); }
std::uint32_t ColorPixel(TColor c)
{
    TColor rgb = ColorToRGB(c);
    return 0xFF000000u | (std::uint32_t(GetRValue(rgb)) << 16) | (std::uint32_t(GetGValue(rgb)) << 8) |
           GetBValue(rgb);
}

// The caption's size as DrawText shows it ("&" marks the accelerator).
TSize CaptionSize(TCanvas* c, const AnsiString& caption)
{
    if (caption.empty())
        return TSize{};
    TRect r(0, 0, 0, 0);
    DrawText(c, caption, -1, r, DT_CALCRECT | DT_SINGLELINE);
    return TSize{r.Width(), r.Height()};
}

// The caption at its place; a disabled one embossed.
void DrawCaption(TCanvas* c, const AnsiString& caption, TPoint at, TSize size, bool enabled)
{
    if (caption.empty())
        return;
    c->Brush()->SetStyle(bsClear);
    TRect r(at.X, at.Y, at.X + size.cx, at.Y + size.cy);
    unsigned flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!enabled) {
        TRect shifted(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        c->Font()->SetColor(clBtnHighlight);
        DrawText(c, caption, -1, shifted, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    DrawText(c, caption, -1, r, flags);
}
}

// ---------------------------------------------------------------- TButtonGlyph
TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {}
TButtonGlyph::~TButtonGlyph() = default;

void TButtonGlyph::SetGlyph(TBitmap* Value)
{
    if (Value)
        FGlyph->Assign(Value);
    else
        FGlyph = std::make_unique<TBitmap>();
    int w = FGlyph->Width(), h = FGlyph->Height();
    if (h > 0 && w % h == 0 && w / h >= 1 && w / h <= 4)
        FNumGlyphs = w / h;
}

void TButtonGlyph::SetNumGlyphs(int Value)
{
    if (Value >= 1 && Value <= 4)
        FNumGlyphs = Value;
}

TSize TButtonGlyph::CellSize() const
{
    if (FGlyph->Empty())
        return TSize{};
    return TSize{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

void TButtonGlyph::Draw(TCanvas* Canvas, int X, int Y, TButtonState State) const
{
    TSize cell = CellSize();
    if (cell.cx <= 0 || cell.cy <= 0)
        return;
    int index = int(State);
    bool own = index < FNumGlyphs;
    if (!own)
        index = 0;
    std::uint32_t transparent = FGlyph->ScanLine(cell.cy - 1)[0] & 0x00FFFFFFu;
    TBitmap image;
    image.SetSize(cell.cx, cell.cy);
    for (int y = 0; y < cell.cy; ++y) {
        const std::uint32_t* src = FGlyph->ScanLine(y) + index * cell.cx;
        std::copy(src, src + cell.cx, image.ScanLine(y));
    }
    image.SetTransparentColor(PixelColor(transparent));
    image.SetTransparent(true);
    if (State != bsDisabled || own) {
        Canvas->Draw(X, Y, &image);
        return;
    }
    // No cell of its own for disabled: the darker pixels embossed in highlight and shadow.
    TBitmap mask;
    mask.SetSize(cell.cx, cell.cy);
    std::uint32_t key = ColorPixel(clFuchsia);
    for (TColor colour : {clBtnHighlight, clBtnShadow}) {
        std::uint32_t ink = ColorPixel(colour);
        for (int y = 0; y < cell.cy; ++y) {
            const std::uint32_t* src = image.ScanLine(y);
            std::uint32_t* dst = mask.ScanLine(y);
            for (int x = 0; x < cell.cx; ++x) {
                std::uint32_t p = src[x] & 0x00FFFFFFu;
                int level = int(((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
                dst[x] = (p != transparent && level < 192) ? ink : key;
            }
        }
        mask.SetTransparentColor(clFuchsia);
        mask.SetTransparent(true);
        int shift = colour == clBtnHighlight ? 1 : 0;
        Canvas->Draw(X + shift, Y + shift, &mask);
    }
}

// ---------------------------------------------------------------- TSpeedButton
TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TButtonGlyph>())
{
    SetControlStyle(csCaptureMouse | csDoubleClicks);
    SetBounds(0, 0, 23, 22);
    SetColor(clBtnFace);
    SetParentFont(true);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp == Value)
        return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    if (FDown && !FAllowAllUp)
        return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    Invalidate();
    if (Value)
        UpdateExclusive();
}

void TSpeedButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    TWinControl* parent = Parent();
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (TControl* c = parent->Controls(i); c != this)
            c->Perform(CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(static_cast<TSpeedButton*>(this)));
}

void TSpeedButton::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_BUTTONPRESSED) {
        if (int(Message.WParam) == FGroupIndex && Message.LParam)
            ButtonPressed(reinterpret_cast<TSpeedButton*>(Message.LParam));
        return;
    }
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::ButtonPressed(TSpeedButton* Sender)
{
    if (Sender == this)
        return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = Sender->FAllowAllUp;
}

void TSpeedButton::SetFlat(bool Value) { FFlat = Value; Invalidate(); }
void TSpeedButton::SetGlyph(TBitmap* Value) { FGlyph->SetGlyph(Value); Invalidate(); }
void TSpeedButton::SetNumGlyphs(int Value) { FGlyph->SetNumGlyphs(Value); Invalidate(); }
void TSpeedButton::SetLayout(TButtonLayout Value) { FLayout = Value; Invalidate(); }
void TSpeedButton::SetSpacing(int Value) { FSpacing = Value; Invalidate(); }
void TSpeedButton::SetTransparent(bool Value) { FTransparent = Value; Invalidate(); }

void TSpeedButton::SetMargin(int Value)
{
    if (Value < -1)
        return;
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
    TButtonState s = FDown ? bsExclusive : (inside ? bsDown : bsUp);
    if (s != FState) {
        FState = s;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = FMouseInControl && inside;
    } else if (inside) {
        SetDown(!FDown);
    }
    if (FDown)
        FState = bsExclusive;
    Invalidate();
    if (inside)
        Click();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

// A grouped button reports double clicks only while down (the second click of an up one presses it again).
void TSpeedButton::DblClick()
{
    if (FDown)
        TGraphicControl::DblClick();
}

void TSpeedButton::CMMouseEnter(TMessage& Message)
{
    TGraphicControl::CMMouseEnter(Message);
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        if (FFlat)
            Invalidate();
    }
}

void TSpeedButton::CMMouseLeave(TMessage& Message)
{
    TGraphicControl::CMMouseLeave(Message);
    if (FMouseInControl) {
        FMouseInControl = false;
        if (FFlat)
            Invalidate();
    }
}

void TSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    TButtonState state = Enabled() ? FState : bsDisabled;
    if (Enabled() && FDown && state == bsUp)
        state = bsExclusive;
    bool pressed = state == bsDown || state == bsExclusive;
    if (!FTransparent || !FFlat || pressed || FMouseInControl) {
        // A latched button shows a lighter face, as a checked one does.
        TColor face = Color();
        if (state == bsExclusive && (!FFlat || !FMouseInControl)) {
            TColor a = ColorToRGB(face), b = ColorToRGB(clBtnHighlight);
            face = RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
                       (GetBValue(a) + GetBValue(b)) / 2);
        }
        if (!FTransparent || !FFlat || state == bsExclusive) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(face);
            c->FillRect(r);
        }
    }
    TRect edge = r;
    if (FFlat) {
        if (pressed)
            DrawEdge(c, edge, BDR_SUNKENOUTER, BF_RECT);
        else if (FMouseInControl && state != bsDisabled)
            DrawEdge(c, edge, BDR_RAISEDINNER, BF_RECT);
    } else {
        DrawEdge(c, edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }

    c->SetFont(Font());
    AnsiString caption = Caption();
    TSize ts = CaptionSize(c, caption);
    TRect inner(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    if (pressed) {
        inner.Left += 1;
        inner.Top += 1;
        inner.Right += 1;
        inner.Bottom += 1;
    }
    TPoint gp, tp;
    CalcButtonLayout(inner, FGlyph->CellSize(), ts, FLayout, FMargin, FSpacing, gp, tp);
    FGlyph->Draw(c, gp.X, gp.Y, state);
    DrawCaption(c, caption, tp, ts, state != bsDisabled);
}

TControlActionLink* TSpeedButton::CreateActionLink() { return new TSpeedButtonActionLink(this); }

void TSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    if (!CheckDefaults || FGroupIndex == 0)
        SetGroupIndex(a->GroupIndex());
    if (FGroupIndex != 0 && (!CheckDefaults || !FDown)) {
        bool allowUp = FAllowAllUp;
        FAllowAllUp = true;   // taking the action's state is no click: the button may go up
        SetDown(a->Checked());
        FAllowAllUp = allowUp;
    }
}

// ---------------------------------------------------------------- TBitBtn
namespace {
const char* const KindCaptions[] = {"",       "OK",      "Cancel",  "&Help",   "&Yes", "&No",
                                    "&Close", "Abort",   "&Retry",  "&Ignore", "&All"};
const TModalResult KindResults[] = {mrNone, mrOk,  mrCancel, mrNone,   mrYes, mrNo,
                                    mrNone, mrAbort, mrRetry, mrIgnore, mrAll};

// The stock glyphs, 18 by 18 on an olive background (their transparent colour).
void MakeKindGlyph(TBitmap* Glyph, TBitBtnKind Kind)
{
    QImage img(18, 18, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(128, 128, 0));
    QPainter p(&img);
    auto pen = [&p](QColor colour, int width) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
    };
    const QColor green(0, 128, 0), red(192, 0, 0), blue(0, 0, 160), dark(64, 64, 64);
    auto check = [&](int dx) {
        pen(green, 3);
        QPoint pts[] = {QPoint(3 + dx, 9), QPoint(7 + dx, 13), QPoint(14 + dx, 4)};
        p.drawPolyline(pts, 3);
    };
    switch (Kind) {
    case bkOK:
    case bkYes:
        check(0);
        break;
    case bkAll:
        check(-2);
        check(3);
        break;
    case bkCancel:
        pen(red, 3);
        p.drawLine(4, 4, 13, 13);
        p.drawLine(13, 4, 4, 13);
        break;
    case bkNo:
        pen(red, 2);
        p.drawEllipse(3, 3, 11, 11);
        p.drawLine(5, 12, 12, 5);
        break;
    case bkAbort:
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawEllipse(2, 2, 14, 14);
        pen(Qt::white, 2);
        p.drawLine(6, 6, 11, 11);
        p.drawLine(11, 6, 6, 11);
        break;
    case bkHelp: {
        QFont f("Sans Serif");
        f.setPixelSize(15);
        f.setBold(true);
        p.setFont(f);
        p.setPen(blue);
        p.drawText(QRect(0, 0, 18, 18), Qt::AlignCenter, "?");
        break;
    }
    case bkClose:
        pen(dark, 1);
        p.setBrush(QColor(160, 96, 32));
        p.drawRect(4, 2, 9, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 0));
        p.drawRect(10, 9, 2, 2);
        break;
    case bkRetry:
        pen(green, 2);
        p.drawArc(3, 3, 12, 12, 90 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        {
            QPoint head[] = {QPoint(8, 0), QPoint(12, 3), QPoint(8, 7)};
            p.drawPolygon(head, 3);
        }
        break;
    case bkIgnore:
        pen(blue, 2);
        p.drawLine(3, 9, 13, 9);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        {
            QPoint head[] = {QPoint(11, 4), QPoint(16, 9), QPoint(11, 14)};
            p.drawPolygon(head, 3);
        }
        break;
    case bkCustom:
        break;
    }
    p.end();
    SetBitmapImage(*Glyph, img);
}

// The push button widget of a bitmap button: the style paints the face, the button its glyph and caption.
class TBitBtnWidget : public QPushButton {
public:
    explicit TBitBtnWidget(TBitBtn* Owner) : FOwner(Owner) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        opt.text.clear();
        opt.icon = QIcon();
        p.drawControl(QStyle::CE_PushButton, opt);
        TCanvas canvas;
        TCanvasPaintScope scope(canvas, p);
        RunGuarded([&] { FOwner->PaintButton(&canvas, isDown(), hasFocus()); });
    }

private:
    TBitBtn* FOwner;
};
}

AnsiString BitBtnCaption(TBitBtnKind Kind) { return KindCaptions[Kind]; }
TModalResult BitBtnModalResult(TBitBtnKind Kind) { return KindResults[Kind]; }

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TButtonGlyph>()) {}
TBitBtn::~TBitBtn() = default;

TNativeWidget* TBitBtn::CreateNativeWidget()
{
    auto* b = new TBitBtnWidget(this);
    b->setText(ToQString(Caption()));   // the accelerator letter and the widget's size hint
    b->setAutoDefault(false);
    b->setDefault(Default());
    QObject::connect(b, &QPushButton::clicked, b, [this] { RunGuarded([&] { Click(); }); });
    return WrapWidget(b);
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    if (Value == FKind)
        return;
    if (Value != bkCustom) {
        SetDefault(Value == bkOK || Value == bkYes);
        SetCancel(Value == bkCancel || Value == bkNo);
        // While loading, a caption of the program's own stays.
        if (!(ComponentState() & csLoading) || Caption().empty())
            SetCaption(KindCaptions[Value]);
        SetModalResult(KindResults[Value]);
        TBitmap glyph;
        MakeKindGlyph(&glyph, Value);
        FGlyph->SetGlyph(&glyph);
    }
    FKind = Value;
    Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* Value)
{
    FGlyph->SetGlyph(Value);
    FKind = bkCustom;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int Value) { FGlyph->SetNumGlyphs(Value); Invalidate(); }
void TBitBtn::SetLayout(TButtonLayout Value) { FLayout = Value; Invalidate(); }
void TBitBtn::SetSpacing(int Value) { FSpacing = Value; Invalidate(); }

void TBitBtn::SetMargin(int Value)
{
    if (Value < -1)
        return;
    FMargin = Value;
    Invalidate();
}

void TBitBtn::Click()
{
    if (FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            return;
        }
    }
    TButton::Click();
}

void TBitBtn::PaintButton(TCanvas* Canvas, bool Pressed, bool Focused)
{
    TRect r(3, 3, Width() - 3, Height() - 3);
    if (Pressed) {
        r.Left += 1;
        r.Top += 1;
        r.Right += 1;
        r.Bottom += 1;
    }
    Canvas->SetFont(Font());
    TSize ts = CaptionSize(Canvas, Caption());
    TPoint gp, tp;
    CalcButtonLayout(r, FGlyph->CellSize(), ts, FLayout, FMargin, FSpacing, gp, tp);
    TButtonState state = !Enabled() ? bsDisabled : (Pressed ? bsDown : bsUp);
    FGlyph->Draw(Canvas, gp.X, gp.Y, state);
    DrawCaption(Canvas, Caption(), tp, ts, Enabled());
}
