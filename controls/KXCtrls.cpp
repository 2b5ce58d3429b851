#include "controls/KXCtrls.h"

#include "controls/AppUtils.h"
#include "controls/Placement.h"
#include "controls/VCLUtils.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/Menus.h"

// ================================================================ shared glyph lists
int TGlyphList::Add(std::unique_ptr<TBitmap> Image)
{
    for (std::size_t i = 0; i < FImages.size(); ++i)
        if (!FImages[i]) {
            FImages[i] = std::move(Image);
            return int(i);
        }
    FImages.push_back(std::move(Image));
    return int(FImages.size()) - 1;
}

void TGlyphList::Delete(int Index)
{
    if (Index >= 0 && Index < int(FImages.size()))
        FImages[std::size_t(Index)].reset();
}

TBitmap* TGlyphList::Image(int Index) const
{
    return Index >= 0 && Index < int(FImages.size()) ? FImages[std::size_t(Index)].get() : nullptr;
}

int TGlyphList::Count() const
{
    return int(std::count_if(FImages.begin(), FImages.end(), [](const auto& i) { return i != nullptr; }));
}

namespace {
std::unique_ptr<TGlyphCache> g_glyphCache;
int g_glyphUsers = 0;
}  // namespace

TGlyphCache* TGlyphCache::Shared() { return g_glyphCache.get(); }

TGlyphList* TGlyphCache::GetList(int AWidth, int AHeight)
{
    for (auto& l : FLists)
        if (l->Width() == AWidth && l->Height() == AHeight)
            return l.get();
    FLists.push_back(std::make_unique<TGlyphList>(AWidth, AHeight));
    return FLists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* List)
{
    if (List && List->Count() == 0)
        std::erase_if(FLists, [&](const auto& l) { return l.get() == List; });
}

// ================================================================ TKxButtonGlyph
TKxButtonGlyph::TKxButtonGlyph() : FGlyph(std::make_unique<TBitmap>())
{
    if (g_glyphUsers++ == 0)
        g_glyphCache = std::make_unique<TGlyphCache>();
}

TKxButtonGlyph::~TKxButtonGlyph()
{
    Invalidate();
    // The shared lists go with the last glyph.
    if (--g_glyphUsers == 0)
        g_glyphCache.reset();
}

void TKxButtonGlyph::Invalidate()
{
    if (!FList)
        return;
    for (int& index : FIndexs) {
        FList->Delete(index);
        index = -1;
    }
    g_glyphCache->ReturnList(FList);
    FList = nullptr;
}

void TKxButtonGlyph::SetGlyph(TBitmap* Value)
{
    Invalidate();
    if (Value)
        FGlyph->Assign(Value);
    else
        FGlyph = std::make_unique<TBitmap>();
    int w = FGlyph->Width(), h = FGlyph->Height();
    if (h > 0 && w > 0 && w % h == 0) {
        int n = w / h;
        FNumGlyphs = n > 5 ? 1 : n;
    }
    if (OnChange)
        OnChange(nullptr);
}

void TKxButtonGlyph::SetNumGlyphs(TKxNumGlyphs Value)
{
    if (Value < 1)
        Value = 1;
    if (Value > 5)
        Value = 5;
    if (Value == FNumGlyphs)
        return;
    FNumGlyphs = Value;
    Invalidate();
    if (OnChange)
        OnChange(nullptr);
}

TBitmap* TKxButtonGlyph::StateImage(TButtonState State)
{
    if (FGlyph->Empty() || FGlyph->Width() == 0)
        return nullptr;
    int& slot = FIndexs[std::size_t(State)];
    if (FList && slot >= 0)
        return FList->Image(slot);
    // Cells: up, disabled, down, exclusive, inactive.
    int cell = int(State);
    if (State == bsDown && FNumGlyphs < 3)
        cell = 0;
    bool own = cell < FNumGlyphs;
    TColor transparent = FGlyph->TransparentColor();
    auto image = std::make_unique<TBitmap>();
    if (own) {
        AssignBitmapCell(FGlyph.get(), image.get(), FNumGlyphs, 1, cell);
    } else {
        TBitmap up;
        AssignBitmapCell(FGlyph.get(), &up, FNumGlyphs, 1, 0);
        if (State == bsDisabled)
            image.reset(CreateDisabledBitmap(&up, transparent));
        else if (State == bsInactive)
            image.reset(CreateGrayedBitmap(&up, transparent));
        else
            image->Assign(&up);
    }
    if (State == bsDisabled && !own)
        image->SetTransparentColor(clBtnFace);
    else
        image->SetTransparentColor(transparent);
    image->SetTransparent(true);
    if (!FList)
        FList = g_glyphCache->GetList(image->Width(), image->Height());
    slot = FList->Add(std::move(image));
    return FList->Image(slot);
}

// ================================================================ TKxSpeedButton
TKxSpeedButton::TKxSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TKxButtonGlyph>()), FDrawImage(std::make_unique<TBitmap>())
{
    RegisterKxCursors();
    SetBounds(0, 0, 25, 25);
    // Clicks come from the button's own release handling.
    FControlStyle = csCaptureMouse | csOpaque | csDoubleClicks | csReplicatable;
    SetShowHint(true);
    SetParentShowHint(false);
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TKxSpeedButton::~TKxSpeedButton()
{
    Destroying();
    *FAlive = false;
    FGlyph->OnChange = nullptr;
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    delete FRepeatTimer;   // its handler calls back into this button
    FRepeatTimer = nullptr;
}

void TKxSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropDownMenu) {
        FDropDownMenu = nullptr;
        Invalidate();
    }
}

void TKxSpeedButton::Click()
{
    if (TCustomForm* form = GetParentForm(this))
        form->SetModalResult(FModalResult);
    TGraphicControl::Click();
}

namespace {
// The action's checked state goes to a grouped button that may go up on its own.
class TKxSpeedButtonActionLink : public TGroupButtonActionLink<TKxSpeedButton> {
public:
    using TGroupButtonActionLink<TKxSpeedButton>::TGroupButtonActionLink;
    bool IsGroupIndexLinked() const override { return false; }
};
}  // namespace

TControlActionLink* TKxSpeedButton::CreateActionLink() { return new TKxSpeedButtonActionLink(this); }

void TKxSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action)
        return;
    if (FGroupIndex != 0 && (!CheckDefaults || !FDown)) {
        // Taking the action's state is no click: the button may go up.
        const bool allowAllUp = FAllowAllUp;
        FAllowAllUp = true;
        SetDown(action->Checked());
        FAllowAllUp = allowAllUp;
    }
    TImageList* images = action->ActionList() ? action->ActionList()->Images() : nullptr;
    if (FGlyph->Glyph()->Empty() && images && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count()) {
        TBitmap picture;
        picture.SetSize(images->Width(), images->Height());
        picture.Canvas()->Brush()->SetColor(clFuchsia);
        picture.Canvas()->FillRect(TRect(0, 0, images->Width(), images->Height()));
        images->Draw(picture.Canvas(), 0, 0, action->ImageIndex());
        picture.SetTransparentColor(clFuchsia);
        SetGlyph(&picture);
    }
}

void TKxSpeedButton::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    if (FDown && Parent())
        ButtonPressed(FGroupIndex, this);
}

void TKxSpeedButton::ButtonPressed(int Group, TKxSpeedButton* Button)
{
    if (!Parent())
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TKxSpeedButton*>(Parent()->Controls(i));
        if (!other || other == Button || other->FGroupIndex != Group || Group == 0)
            continue;
        if (other->FDown) {
            other->FDown = false;
            other->FState = bsUp;
            other->Invalidate();
        }
        other->FAllowAllUp = Button->FAllowAllUp;
    }
}

void TKxSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    if (FDown && !FAllowAllUp)
        return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
    } else {
        FState = bsUp;
    }
    Invalidate();
    if (Value)
        ButtonPressed(FGroupIndex, this);
}

void TKxSpeedButton::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp == Value)
        return;
    FAllowAllUp = Value;
    if (Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TKxSpeedButton*>(Parent()->Controls(i)))
                if (other != this && FGroupIndex != 0 && other->FGroupIndex == FGroupIndex)
                    other->FAllowAllUp = Value;
}

void TKxSpeedButton::SetStyle(TButtonStyle Value) { FStyle = Value; Invalidate(); }
void TKxSpeedButton::SetFlat(bool Value) { FFlat = Value; Invalidate(); }
void TKxSpeedButton::SetLayout(TButtonLayout Value) { FLayout = Value; Invalidate(); }
void TKxSpeedButton::SetSpacing(int Value) { FSpacing = Value; Invalidate(); }
void TKxSpeedButton::SetMargin(int Value) { FMargin = Value < -1 ? -1 : Value; Invalidate(); }
void TKxSpeedButton::SetTransparent(bool Value) { FTransparent = Value; Invalidate(); }
void TKxSpeedButton::SetGrayedInactive(bool Value) { FGrayedInactive = Value; Invalidate(); }
void TKxSpeedButton::SetAlignment(TAlignment Value) { FAlignment = Value; Invalidate(); }
void TKxSpeedButton::SetWordWrap(bool Value) { FWordWrap = Value; Invalidate(); }

void TKxSpeedButton::SetMarkDropDown(bool Value)
{
    FMarkDropDown = Value;
    Invalidate();
}

void TKxSpeedButton::SetDropDownMenu(TPopupMenu* Value)
{
    if (SetReference(FDropDownMenu, Value) && FMarkDropDown)
        Invalidate();
}

void TKxSpeedButton::SetAllowTimer(bool Value)
{
    FAllowTimer = Value;
    if (!Value && FRepeatTimer) {
        FRepeatTimer->SetEnabled(false);
        delete FRepeatTimer;
        FRepeatTimer = nullptr;
    }
}

void TKxSpeedButton::SetEnabled(bool Value)
{
    TGraphicControl::SetEnabled(Value);
    UpdateTracking();
}

void TKxSpeedButton::CMEnabledChanged(TMessage& Message)
{
    TGraphicControl::CMEnabledChanged(Message);
    Invalidate();
}

namespace {
// The character after a single '&' of Caption is its accelerator ("&&" is a plain ampersand).
bool IsButtonAccel(Word Key, const AnsiString& Caption)
{
    for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return AnsiUpperCase(AnsiString(1, Caption[i + 1])) == AnsiUpperCase(AnsiString(1, char(Key)));
    }
    return false;
}
}  // namespace

void TKxSpeedButton::Dispatch(TMessage& Message)
{
    // The accelerator of the caption clicks an enabled button.
    if (Message.Msg == CM_DIALOGCHAR) {
        if (Enabled() && Visible() && IsButtonAccel(Word(Message.WParam), Caption())) {
            Click();
            Message.Result = 1;
        }
        return;
    }
    // Shown or hidden under the resting mouse: the mouse is over it or not.
    if (Message.Msg == CM_VISIBLECHANGED) {
        TGraphicControl::Dispatch(Message);
        if (!(ComponentState() & csDestroying))
            UpdateTracking();
        return;
    }
    // A double click on a button that is down fires OnDblClick.
    if (Message.Msg == WM_LBUTTONDBLCLK && FDown && OnDblClick) {
        OnDblClick(this);
        return;
    }
    TGraphicControl::Dispatch(Message);
}

void TKxSpeedButton::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TKxSpeedButton::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TKxSpeedButton::SetMouseInControl(bool Value)
{
    if (FMouseInControl == Value)
        return;
    FMouseInControl = Value;
    if (FFlat)
        Invalidate();
    if (Value)
        MouseEnter();
    else
        MouseLeave();
}

void TKxSpeedButton::CMMouseEnter(TMessage& Message)
{
    // The layer's CMMouseEnter fires OnMouseEnter itself: ours goes through MouseEnter.
    if (Enabled())
        SetMouseInControl(true);
    Message.Result = 0;
}

void TKxSpeedButton::CMMouseLeave(TMessage& Message)
{
    if (Enabled() && !FDragging)
        SetMouseInControl(false);
    Message.Result = 0;
}

void TKxSpeedButton::UpdateTracking()
{
    if (!Enabled()) {
        SetMouseInControl(false);
        return;
    }
    TPoint p;
    bool over = false;
    if (Parent() && Visible() && GetCursorPos(p) && IsForegroundTask()) {
        TPoint local = ScreenToClient(p);
        over = local.X >= 0 && local.Y >= 0 && local.X < Width() && local.Y < Height();
    }
    SetMouseInControl(over);
}

void TKxSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FMenuTracking)
        return;
    std::shared_ptr<bool> alive = FAlive;
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) {
        if (Button == mbRight && *alive)
            UpdateTracking();
        return;
    }
    if (Enabled() && !FMouseInControl)
        SetMouseInControl(true);
    if (!Enabled())
        return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
    FMenuTracking = true;
    if (FDropDownMenu && FDropDownMenu->AutoPopup()) {
        TPoint p;
        bool right = FMenuPosition == dmpRight;
        switch (FDropDownMenu->Alignment()) {
        case paRight: p = right ? TPoint(-1, -1) : TPoint(Width() + 1, Height()); break;
        case paCenter: p = TPoint(Width() / 2, Height()); break;
        default: p = right ? TPoint(Width(), -1) : TPoint(-1, Height()); break;
        }
        p = ClientToScreen(p);
        FDropDownMenu->SetPopupComponent(this);
        FDropDownMenu->Popup(p.X, p.Y);
        if (!*alive)
            return;
        // The menu has closed: the press ends here, as released where it began
        // (no click while the menu is tracked).
        DoMouseUp(X >= 0 && X < Width() && Y >= 0 && Y < Height());
        // The press on the button that closed the menu would open it again: it goes.
        RemovePressOnButton();
    }
    FMenuTracking = false;
    if (FAllowTimer) {
        if (!FRepeatTimer) {
            FRepeatTimer = new TTimer(nullptr);
            FRepeatTimer->OnTimer = [this](TObject* Sender) { TimerExpired(Sender); };
        }
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->SetInterval(FInitPause);
        FRepeatTimer->SetEnabled(true);
    }
}

void TKxSpeedButton::RemovePressOnButton()
{
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated())
        return;
    const HWND wnd = parent->Handle();
    TMsg m;
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK})
        if (PeekMessage(m, wnd, msg, msg, PM_NOREMOVE) && m.message == msg && m.hwnd == wnd
            && PtInRect(BoundsRect(), TPoint(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam))))
            RemoveWaitingMessage(wnd, msg);
}

void TKxSpeedButton::TimerExpired(TObject*)
{
    FRepeatTimer->SetInterval(FRepeatInterval);
    if (FState == bsDown && MouseCapture())
        Click();
}

void TKxSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
    TButtonState next = FDown ? bsExclusive : (inside ? bsDown : bsUp);
    if (next != FState) {
        FState = next;
        Invalidate();
    }
}

void TKxSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    std::shared_ptr<bool> alive = FAlive;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) {
        if (Button == mbRight && *alive)
            UpdateTracking();
        return;
    }
    DoMouseUp(X >= 0 && X < Width() && Y >= 0 && Y < Height());
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TKxSpeedButton::DoMouseUp(bool Inside)
{
    if (!FDragging)
        return;
    FDragging = false;
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = false;
        Invalidate();
    } else if (Inside) {
        SetDown(!FDown);
        if (FDown)
            Invalidate();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (Inside && !FMenuTracking)
        Click();
    UpdateTracking();
}

void TKxSpeedButton::Paint()
{
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    bool designing = ComponentState() & csDesigning;
    // A flat button away from the mouse paints inactive; one that is down keeps its frame.
    bool inactive = FFlat && !FMouseInControl && !designing;
    TButtonState paintState = inactive ? bsInactive : FState;
    int w = Width(), h = Height();
    FDrawImage->SetSize(w, h);
    TCanvas* c = FDrawImage->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, w, h));
    if (FTransparent)
        CopyParentImage(this, c);
    TRect r(0, 0, w, h);
    bool pressed = FState == bsDown || FState == bsExclusive;
    if (!inactive || FDown) {
        if (FFlat)
            DrawEdge(c, r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        else
            DrawEdge(c, r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    } else {
        InflateRect(r, -2, -2);
    }
    if (FState == bsExclusive && !FTransparent && (!FFlat || inactive)) {
        // Dither of face and highlight.
        TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                c->SetPixels(x, y, ((x + y) & 1) ? light : face);
    }
    if (pressed)
        OffsetRect(r, 1, 1);
    TButtonState glyphState = FGrayedInactive && Enabled() ? paintState : FState;
    DrawGlyphAndCaption(c, r, glyphState);
    Canvas()->Draw(0, 0, FDrawImage.get());
}

void TKxSpeedButton::DrawGlyphAndCaption(TCanvas* c, TRect Client, TButtonState GlyphState)
{
    TBitmap* glyph = FGlyph->StateImage(GlyphState == bsInactive && FGlyph->NumGlyphs() < 5 ? bsInactive
                                                                                              : GlyphState);
    bool arrow = FMarkDropDown && FDropDownMenu;
    if (arrow)
        Client.Right -= 9;
    int gw = glyph ? glyph->Width() : 0, gh = glyph ? glyph->Height() : 0;
    c->SetFont(Font());
    AnsiString caption = Caption().substr(0, 255);
    int availText = Client.Width() - (FLayout == blGlyphLeft || FLayout == blGlyphRight ? gw + FSpacing : 0);
    if (!FWordWrap && !caption.empty())
        caption = TrimRight(ShortenString(caption, c, availText));
    // "&" marks the accelerator: the next letter is underlined, "&&" is one "&".
    TRect extent(0, 0, 0, 0);
    if (!caption.empty())
        DrawText(c, caption, -1, extent, DT_CALCRECT | DT_SINGLELINE);
    int tw = extent.Width();
    int th = caption.empty() ? 0 : c->TextHeight(caption);
    int spacing = glyph && !caption.empty() ? FSpacing : 0;
    bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    int totalW = horizontal ? gw + spacing + tw : std::max(gw, tw);
    int totalH = horizontal ? std::max(gh, th) : gh + spacing + th;
    int x0 = Client.Left + (FMargin >= 0 && horizontal ? FMargin : (Client.Width() - totalW) / 2);
    int y0 = Client.Top + (FMargin >= 0 && !horizontal ? FMargin : (Client.Height() - totalH) / 2);
    TPoint gp, tp;
    switch (FLayout) {
    case blGlyphLeft: gp = TPoint(x0, y0 + (totalH - gh) / 2); tp = TPoint(x0 + gw + spacing, y0 + (totalH - th) / 2); break;
    case blGlyphRight: tp = TPoint(x0, y0 + (totalH - th) / 2); gp = TPoint(x0 + tw + spacing, y0 + (totalH - gh) / 2); break;
    case blGlyphTop: gp = TPoint(x0 + (totalW - gw) / 2, y0); tp = TPoint(x0 + (totalW - tw) / 2, y0 + gh + spacing); break;
    case blGlyphBottom: tp = TPoint(x0 + (totalW - tw) / 2, y0); gp = TPoint(x0 + (totalW - gw) / 2, y0 + th + spacing); break;
    }
    if (glyph)
        c->Draw(gp.X, gp.Y, glyph);
    bool disabled = FState == bsDisabled;
    c->Brush()->SetStyle(bsClear);
    if (!caption.empty()) {
        auto text = [&](int x, int y) {
            TRect r(x, y, x + tw, y + th);
            DrawText(c, caption, -1, r, DT_SINGLELINE | DT_NOCLIP);
        };
        if (disabled) {
            c->Font()->SetColor(clBtnHighlight);
            text(tp.X + 1, tp.Y + 1);
            c->Font()->SetColor(clBtnShadow);
        }
        text(tp.X, tp.Y);
    }
    if (arrow) {
        int ax = Client.Right + 4, ay = Client.Top + Client.Height() / 2 - 2;
        auto triangle = [&](int dx, int dy, TColor color) {
            for (int row = 0; row < 4; ++row)
                for (int k = -3 + row; k <= 3 - row; ++k)
                    c->SetPixels(ax + k + dx, ay + row + dy, ColorToRGB(color));
        };
        if (disabled) {
            triangle(1, 1, clBtnHighlight);
            triangle(0, 0, clBtnShadow);
        } else {
            triangle(0, 0, clBtnText);
        }
    }
}

// ================================================================ check pictures
namespace {

void DrawCheckCell(TCanvas* c, int x0, int y0, int kind, int state, bool enabled)
{
    // 16 x 13 cell; the mark is 13 x 13 starting one pixel in.
    TColor ink = enabled ? clBlack : 0x808080;
    TColor face = enabled ? clWhite : 0xC0C0C0;
    int x = x0 + 1, y = y0;
    auto check = [&](TColor color) {
        for (int i = 0; i < 7; ++i) {
            int px = x + 3 + i, py = i < 3 ? y + 5 + i : y + 9 - (i - 2);
            for (int k = 0; k < 3; ++k)
                c->SetPixels(px, py - 2 + k, color);
        }
    };
    if (kind == 0) {
        c->Brush()->SetColor(face);
        c->FillRect(TRect(x, y, x + 13, y + 13));
        c->Brush()->SetColor(0x808080);
        c->FrameRect(TRect(x, y, x + 13, y + 13));
        if (state == 1)
            check(ink);
        else if (state == 2)
            check(0x808080);
    } else if (kind == 1) {
        c->Pen()->SetColor(0x808080);
        c->Brush()->SetColor(face);
        c->Ellipse(x, y, x + 12, y + 12);
        if (state != 0) {
            c->Pen()->SetColor(state == 1 ? ink : 0x808080);
            c->Brush()->SetColor(state == 1 ? ink : 0x808080);
            c->Ellipse(x + 4, y + 4, x + 8, y + 8);
        }
    } else {
        if (state == 1)
            check(ink);
        else if (state == 2)
            check(0x808080);
    }
}

}  // namespace

TBitmap* CheckImages()
{
    static std::unique_ptr<TBitmap> strip;
    if (!strip) {
        strip = std::make_unique<TBitmap>();
        strip->SetSize(96, 39);
        TCanvas* c = strip->Canvas();
        c->Brush()->SetColor(clFuchsia);
        c->FillRect(TRect(0, 0, 96, 39));
        for (int state = 0; state < 3; ++state)
            for (int kind = 0; kind < 3; ++kind)
                for (int disabled = 0; disabled < 2; ++disabled) {
                    int cell = CheckImageIndex(TCheckBoxState(state), TCheckKind(kind), !disabled);
                    DrawCheckCell(c, (cell % 6) * 16, (cell / 6) * 13, kind, state, !disabled);
                }
        strip->SetTransparentColor(clFuchsia);
        strip->SetTransparent(true);
    }
    return strip.get();
}

int CheckImageIndex(TCheckBoxState State, TCheckKind Kind, bool Enabled)
{
    // A row of the strip per kind: the three states enabled, then disabled.
    static const int cells[18] = {0, 3, 6, 9, 12, 15, 1, 4, 7, 10, 13, 16, 2, 5, 8, 11, 14, 17};
    return cells[int(State) * 6 + int(Kind) * 2 + (Enabled ? 0 : 1)];
}

// ================================================================ TKxCustomListBox
namespace {
// Writes (with Draw) or measures Text from X with a tab stop every Stop pixels from X
// (without stops a tab is a blank); returns the width.
int TabbedText(TCanvas* c, int X, int Y, const AnsiString& Text, int Stop, bool Draw)
{
    int x = 0;
    std::size_t from = 0;
    while (true) {
        std::size_t tab = Text.find('\t', from);
        AnsiString part = Text.substr(from, tab == AnsiString::npos ? AnsiString::npos : tab - from);
        if (Draw && !part.empty())
            c->TextOut(X + x, Y, part);
        x += c->TextWidth(part);
        if (tab == AnsiString::npos)
            return x;
        x = Stop > 0 ? (x / Stop + 1) * Stop : x + c->TextWidth(" ");
        from = tab + 1;
    }
}
}  // namespace

TKxCustomListBox::TKxCustomListBox(TComponent* AOwner) : TCustomListBox(AOwner)
{
    SetBounds(Left(), Top(), 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    // Owner-drawn widths count once both events are there: the items are measured again.
    auto measure = [this](bool) {
        if (FOwnerWidths != OwnerWidths())
            ResetItemWidths();
    };
    OnDrawItem.Assigned = measure;
    OnGetItemWidth.Assigned = measure;
}

TKxCustomListBox::~TKxCustomListBox() { *FAlive = false; }

void TKxCustomListBox::WndProc(TMessage& Message)
{
    if ((Message.Msg != WM_LBUTTONDOWN && Message.Msg != WM_LBUTTONDBLCLK) || DragMode() != dmAutomatic ||
        Dragging() || (ComponentState() & csDesigning)) {
        TCustomListBox::WndProc(Message);
        return;
    }
    const bool shift = Message.WParam & MK_SHIFT, ctrl = Message.WParam & MK_CONTROL;
    if (MultiSelect() && (!shift || ctrl)) {
        const int item = ItemAtPos(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)), true);
        if (item >= 0 && Selected(item)) {
            BeginDrag(false);
            return;
        }
    }
    std::shared_ptr<bool> alive = FAlive;
    Dispatch(Message);
    if (*alive && !(MultiSelect() && (shift || ctrl)))
        BeginDrag(false);
}

void TKxCustomListBox::SetIntegralHeight(bool Value)
{
    if (FIntegralHeight == Value)
        return;
    FIntegralHeight = Value;
    SetBounds(Left(), Top(), Width(), Height());
}

void TKxCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FIntegralHeight && Style() != lbOwnerDrawVariable && !(ComponentState() & csLoading)) {
        // Whole rows only: the height inside the sunken border is cut to a multiple of the row.
        const int border = BorderStyle() == bsNone ? 0 : 4;
        const int row = std::max(1, RowHeight());
        AHeight = border + std::max(1, (AHeight - border) / row) * row;
    }
    TCustomListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
}

int TKxCustomListBox::RowHeight() const
{
    if (FTextRowHeight <= 0) {
        TBitmap probe;
        probe.Canvas()->SetFont(Font());
        FTextRowHeight = probe.Canvas()->TextHeight("Wg");
    }
    int h = std::max(FTextRowHeight, MinRowHeight());
    if (Style() == lbOwnerDrawFixed)
        h = std::max(h, ItemHeight());
    return h;
}

void TKxCustomListBox::CreateWnd()
{
    FTextRowHeight = 0;
    TCustomListBox::CreateWnd();
    if (FSavedTopIndex >= 0)
        SetTopIndex(FSavedTopIndex);
    FSavedTopIndex = -1;
}

void TKxCustomListBox::DestroyWnd()
{
    FSavedTopIndex = Items()->Count() > 0 ? TopIndex() : -1;
    TCustomListBox::DestroyWnd();
}

void TKxCustomListBox::CMFontChanged(TMessage& Message)
{
    TCustomListBox::CMFontChanged(Message);
    FTextRowHeight = 0;
    RowsChanged();
    if (FIntegralHeight)
        SetBounds(Left(), Top(), Width(), Height());
    ResetItemWidths();
}

void TKxCustomListBox::SetGraySelection(bool Value)
{
    if (FGraySelection == Value)
        return;
    FGraySelection = Value;
    if (!Focused())
        Invalidate();
}

void TKxCustomListBox::SetTabWidth(int Value)
{
    FTabWidth = Value < 0 ? 0 : Value;
    ResetItemWidths();
    Invalidate();
}

int TKxCustomListBox::TabStopPixels(TCanvas* Canvas) const
{
    return FTabWidth > 0 ? int(FTabWidth * Canvas->TextWidth("0") / 4.0 + 0.5) : 0;
}

void TKxCustomListBox::SetAutoScroll(bool Value)
{
    FAutoScroll = Value;
    ResetItemWidths();
}

bool TKxCustomListBox::OwnerWidths() const
{
    return OnGetItemWidth && OnDrawItem && Style() != lbStandard;
}

int TKxCustomListBox::ItemWidth(int Index)
{
    int w = 0;
    if (OwnerWidths()) {
        OnGetItemWidth(this, Index, w);
    } else {
        if (!FProbe)
            FProbe = std::make_unique<TBitmap>();
        TCanvas* probe = FProbe->Canvas();
        probe->SetFont(Font());
        w = TabbedText(probe, 0, 0, Items()->Strings(Index) + "x", TabStopPixels(probe), false);
    }
    return w + TextIndent();
}

void TKxCustomListBox::SetMaxItemWidth(int Value)
{
    FMaxItemWidth = Value;
    SetHorizontalExtent(FMaxItemWidth);
}

void TKxCustomListBox::ResetItemWidths()
{
    FOwnerWidths = OwnerWidths();
    FItemWidths.clear();
    if (AutoScroll())
        for (int i = 0; i < Items()->Count(); ++i)
            FItemWidths.push_back(ItemWidth(i));
    SetMaxItemWidth(FItemWidths.empty() ? 0 : *std::max_element(FItemWidths.begin(), FItemWidths.end()));
}

void TKxCustomListBox::ItemsChanged(int Index, int Delta)
{
    const std::size_t count = std::size_t(Items()->Count());
    if (!AutoScroll() || Index < 0 || FItemWidths.size() + std::size_t(Delta) != count ||
        std::size_t(Index) >= FItemWidths.size() + std::size_t(Delta > 0)) {
        ResetItemWidths();
        return;
    }
    const auto at = FItemWidths.begin() + Index;
    const int gone = Delta > 0 ? 0 : *at;
    if (Delta < 0)
        FItemWidths.erase(at);
    else if (Delta > 0)
        FItemWidths.insert(at, ItemWidth(Index));
    else
        *at = ItemWidth(Index);
    if (Delta >= 0 && FItemWidths[std::size_t(Index)] >= FMaxItemWidth)
        SetMaxItemWidth(FItemWidths[std::size_t(Index)]);
    else if (gone >= FMaxItemWidth)
        SetMaxItemWidth(FItemWidths.empty() ? 0 : *std::max_element(FItemWidths.begin(), FItemWidths.end()));
}

void TKxCustomListBox::DrawItemText(int Index, const TRect& Rect)
{
    TCanvas* c = Canvas();
    c->FillRect(Rect);
    int top = Rect.Top + (Rect.Height() - c->TextHeight("Wy")) / 2;
    if (top < Rect.Top)
        top = Rect.Top;
    c->Brush()->SetStyle(bsClear);
    // The text stays inside its row.
    const int saved = SaveDC(c);
    IntersectClipRect(c, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    const AnsiString text = Items()->Strings(Index);
    const int stop = TabStopPixels(c);
    // 2 pixels from the left, or from the right with right-to-left alignment.
    const int left = UseRightToLeftAlignment() ? Rect.Right - 2 - TabbedText(c, 0, 0, text, stop, false)
                                               : Rect.Left + 2;
    TabbedText(c, left, top, text, stop, true);
    RestoreDC(c, saved);
}

TRect TKxCustomListBox::ItemFocusRect(int, const TRect& Rect) const
{
    if (UseRightToLeftAlignment())
        return TRect(Rect.Left, Rect.Top, Rect.Right - TextIndent(), Rect.Bottom);
    return TRect(Rect.Left + TextIndent(), Rect.Top, Rect.Right, Rect.Bottom);
}

void TKxCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem && Style() != lbStandard) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    if (Index >= 0 && Index < Items()->Count())
        DrawItemText(Index, Rect);
}

// ================================================================ TKxCheckListBox
namespace {
// The living check list boxes: the one whose items a list of strings is.
std::vector<TKxCheckListBox*>& CheckLists()
{
    static std::vector<TKxCheckListBox*> lists;
    return lists;
}
}  // namespace

TKxCheckListBox::TKxCheckListBox(TComponent* AOwner) : TKxCustomListBox(AOwner)
{
    SetAutoScroll(true);
    // The records go with their items.
    SetItemDataOwned(true);
    CheckLists().push_back(this);
}

TKxCheckListBox::~TKxCheckListBox()
{
    std::erase(CheckLists(), this);
    Destroying();
    *FAlive = false;
    SetIniStorage(nullptr);
}

TCheckListBoxItem* TKxCheckListBox::FindRecord(int Index) const
{
    if (Index < 0 || Index >= Items()->Count())
        throw EStringListError(Format("List index out of bounds (%d)", {Index}));
    // Only Record puts anything there: the caller's data live inside the records.
    return static_cast<TCheckListBoxItem*>(reinterpret_cast<TObject*>(InternalGetItemData(Index)));
}

TCheckListBoxItem* TKxCheckListBox::Record(int Index)
{
    if (TCheckListBoxItem* r = FindRecord(Index))
        return r;
    auto* r = new TCheckListBoxItem;
    InternalSetItemData(Index, reinterpret_cast<std::intptr_t>(static_cast<TObject*>(r)));
    return r;
}

TCheckBoxState TKxCheckListBox::State(int Index) const
{
    TCheckListBoxItem* r = FindRecord(Index);
    TCheckBoxState s = r ? r->State : cbUnchecked;
    if (FCheckKind == ckRadioButtons && s != cbChecked)
        return cbUnchecked;
    return s;
}

void TKxCheckListBox::SetState(int Index, TCheckBoxState Value)
{
    if (State(Index) == Value && !FForcing)
        return;
    if (FCheckKind == ckRadioButtons && Value != cbChecked && CheckedIndex() == Index)
        return;
    Record(Index)->State = Value;
    if (FCheckKind == ckRadioButtons && Value == cbChecked)
        for (int i = Items()->Count() - 1; i >= 0; --i)
            if (i != Index && State(i) == cbChecked) {
                Record(i)->State = cbUnchecked;
                InvalidateItem(i);
            }
    InvalidateItem(Index);
    if (!(ComponentState() & (csLoading | csReading)))
        ChangeItemState(Index);
}

void TKxCheckListBox::ChangeItemState(int Index)
{
    if (OnStateChange)
        OnStateChange(this, Index);
}

bool TKxCheckListBox::ItemEnabled(int Index) const
{
    TCheckListBoxItem* r = FindRecord(Index);
    return r ? r->Enabled : true;
}

void TKxCheckListBox::SetItemEnabled(int Index, bool Value)
{
    if (ItemEnabled(Index) == Value)
        return;
    Record(Index)->Enabled = Value;
    InvalidateItem(Index);
}

std::intptr_t TKxCheckListBox::GetItemData(int Index) const
{
    TCheckListBoxItem* r = FindRecord(Index);
    return r ? r->Data : 0;
}

void TKxCheckListBox::SetItemData(int Index, std::intptr_t Value)
{
    Record(Index)->Data = Value;
}

int TKxCheckListBox::CheckedIndex() const
{
    if (FCheckKind != ckRadioButtons)
        return -1;
    for (int i = 0; i < Items()->Count(); ++i)
        if (State(i) == cbChecked)
            return i;
    return -1;
}

void TKxCheckListBox::SetCheckedIndex(int Value)
{
    if (FCheckKind == ckRadioButtons && Items()->Count() > 0)
        SetState(Max(Value, 0), cbChecked);
}

void TKxCheckListBox::ApplyRadioRule()
{
    if (FCheckKind != ckRadioButtons || Items()->Count() == 0)
        return;
    FForcing = true;
    try {
        SetState(Max(CheckedIndex(), 0), cbChecked);
    } catch (...) {
        FForcing = false;
        throw;
    }
    FForcing = false;
}

void TKxCheckListBox::SetCheckKind(TCheckKind Value)
{
    if (FCheckKind == Value)
        return;
    FCheckKind = Value;
    ApplyRadioRule();
    Invalidate();
}

void TKxCheckListBox::SetAllowGrayed(bool Value)
{
    FAllowGrayed = Value;
}

void TKxCheckListBox::Loaded()
{
    TCustomListBox::Loaded();
    ApplyRadioRule();
}

void TKxCheckListBox::SetItems(TStrings* Value)
{
    auto from = std::find_if(CheckLists().begin(), CheckLists().end(),
                             [&](TKxCheckListBox* l) { return l != this && Value && l->Items() == Value; });
    if (from == CheckLists().end()) {
        Items()->Assign(Value);
    } else {
        // Item by item, so that a sorted list gives each item its own state and enabled flag.
        TKxCheckListBox* source = *from;
        Items()->BeginUpdate();
        try {
            Items()->Clear();
            for (int i = 0; i < Value->Count(); ++i) {
                const int at = Items()->AddObject(Value->Strings(i), Value->Objects(i));
                if (const TCheckListBoxItem* r = source->FindRecord(i)) {
                    Record(at)->State = r->State;
                    Record(at)->Enabled = r->Enabled;
                }
            }
        } catch (...) {
            Items()->EndUpdate();
            throw;
        }
        Items()->EndUpdate();
    }
    ApplyRadioRule();
    ResetItemWidths();
}

int TKxCheckListBox::CheckCellWidth() { return CheckImages()->Width() / 6; }
int TKxCheckListBox::CheckCellHeight() { return CheckImages()->Height() / 3; }
int TKxCheckListBox::CheckAreaWidth() const { return CheckCellWidth() + 2; }

void TKxCheckListBox::InvalidateItem(int Index)
{
    if (HandleAllocated())
        Invalidate();
}

void TKxCheckListBox::ToggleItem(int Index)
{
    if (Index < 0 || Index >= Items()->Count() || !ItemEnabled(Index))
        return;
    switch (State(Index)) {
    case cbUnchecked: SetState(Index, AllowGrayed() ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(Index, cbUnchecked); break;
    case cbGrayed: SetState(Index, cbChecked); break;
    }
    ClickCheck();
}

void TKxCheckListBox::ClickCheck()
{
    if (OnClickCheck)
        OnClickCheck(this);
}

void TKxCheckListBox::WMLButtonDown(TWMMouse& Message)
{
    std::shared_ptr<bool> alive = FAlive;
    TCustomListBox::WMLButtonDown(Message);
    if (!*alive)
        return;
    const int X = Message.XPos(), Y = Message.YPos();
    int index = ItemAtPos(TPoint(X, Y), true);
    if (index < 0)
        return;
    const TRect r = ItemRect(index);
    const int area = CheckAreaWidth();
    if (UseRightToLeftAlignment() ? X - (r.Right - area) > 0 && X - (r.Right - area) < area : X - r.Left < area)
        ToggleItem(index);
}

void TKxCheckListBox::KeyPress(char& Key)
{
    TCustomListBox::KeyPress(Key);
    if (Key == ' ') {
        ToggleItem(ItemIndex());
        Key = 0;
    } else if (Key == '+' || Key == '-') {
        if (FCheckKind != ckRadioButtons)
            for (int i = 0; i < Items()->Count(); ++i)
                if (ItemEnabled(i))
                    SetState(i, Key == '+' ? cbChecked : cbUnchecked);
        ClickCheck();
    }
}

void TKxCheckListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState ItemState)
{
    TCanvas* c = Canvas();
    if (!c || Index < 0 || Index >= Items()->Count())
        return;
    bool enabled = ItemEnabled(Index);
    // The check area, on the list's own background, in front of the text (on the right with
    // right-to-left alignment).
    const bool rightToLeft = UseRightToLeftAlignment();
    const TRect area(rightToLeft ? Rect.Right - CheckAreaWidth() : Rect.Left, Rect.Top,
                     rightToLeft ? Rect.Right : Rect.Left + CheckAreaWidth(), Rect.Bottom);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(area);
    TBitmap cell;
    AssignBitmapCell(CheckImages(), &cell, 6, 3, CheckImageIndex(State(Index), FCheckKind, enabled));
    cell.SetTransparentColor(clFuchsia);
    cell.SetTransparent(true);
    c->Draw(area.Left + (area.Width() - CheckCellWidth()) / 2, area.Top + (area.Height() - CheckCellHeight()) / 2,
            &cell);

    const TRect text(rightToLeft ? Rect.Left : area.Right, Rect.Top, rightToLeft ? area.Left : Rect.Right, Rect.Bottom);
    bool selected = ItemState & odSelected;
    if (selected) {
        if (Focused() || !GraySelection() || (ComponentState() & csDesigning)) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetColor(clBtnFace);
            if (Font()->Color() == clBtnFace)
                c->Font()->SetColor(clBtnText);
            else
                c->Font()->SetColor(Font()->Color());
        }
    } else {
        c->Brush()->SetColor(Color());
        c->Font()->SetColor(Font()->Color());
    }
    if (!enabled)
        c->Font()->SetColor(selected ? clInactiveCaptionText : clGrayText);
    // With the standard style the text is drawn here even when OnDrawItem is set.
    if (OnDrawItem && Style() != lbStandard)
        OnDrawItem(this, Index, text, ItemState);
    else
        DrawItemText(Index, text);
}

// ---------------------------------------------------------------- saving states
TFormPlacement* TKxCheckListBox::IniStorage() const { return FIniLink ? FIniLink->Storage() : nullptr; }

void TKxCheckListBox::SetIniStorage(TFormPlacement* Value)
{
    if (!Value) {
        if (FIniLink)
            FIniLink->SetStorage(nullptr);
        FIniLink.reset();
        return;
    }
    if (!FIniLink) {
        FIniLink = std::make_unique<TIniLink>();
        FIniLink->OnSave = [this](TObject*) { SaveStates(); };
        FIniLink->OnLoad = [this](TObject*) { RestoreStates(); };
    }
    FIniLink->SetStorage(Value);
}

void TKxCheckListBox::SaveStates()
{
    if (Name().empty() || !FIniLink || !FIniLink->IniObject())
        return;
    AnsiString section = FIniLink->RootSection() + GetDefaultSection(this);
    TObject* ini = FIniLink->IniObject();
    IniEraseSection(ini, section);
    IniWriteInteger(ini, section, "Count", Items()->Count());
    for (int i = 0; i < Items()->Count(); ++i)
        IniWriteInteger(ini, section, "Item" + IntToStr(i), int(State(i)));
}

void TKxCheckListBox::RestoreStates()
{
    if (Name().empty() || !FIniLink || !FIniLink->IniObject())
        return;
    AnsiString section = FIniLink->RootSection() + GetDefaultSection(this);
    TObject* ini = FIniLink->IniObject();
    int count = Min(IniReadInteger(ini, section, "Count", 0), Items()->Count());
    for (int i = 0; i < count; ++i) {
        int s = IniReadInteger(ini, section, "Item" + IntToStr(i), 0);
        SetState(i, s == 1 ? cbChecked : s == 2 ? cbGrayed : cbUnchecked);
        // A radio list takes the first item stored as checked (the item
        // checked before may refuse to be unchecked on the way there).
        if (FCheckKind == ckRadioButtons && s == cbChecked)
            break;
    }
    ApplyRadioRule();
}
