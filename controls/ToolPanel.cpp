// The tool panel: caption bar with its buttons, background, hovering and
// clicking of items, locking, closing, floating and the sizing edge.
#include <algorithm>

#include "controls/ToolPanels.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

namespace {

// The panels' own button pictures, drawn for this program (16 x 16, black on white).
void BuildCloseGlyph(TBitmap* b)
{
    b->SetSize(16, 16);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, 16, 16));
    for (int i = 0; i < 8; ++i) {
        c->SetPixels(4 + i, 4 + i, clBlack);
        c->SetPixels(5 + i, 4 + i, clBlack);
        c->SetPixels(11 - i, 4 + i, clBlack);
        c->SetPixels(12 - i, 4 + i, clBlack);
    }
}

// Upright pin: head, needle and the plate across.
void DrawPinUpright(TCanvas* c, int x, int y, TColor color)
{
    c->Pen()->SetColor(color);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(x + 1, y, x + 6, y + 6);       // head
    c->MoveTo(x + 4, y + 1);
    c->LineTo(x + 4, y + 6);                  // light edge of the head
    c->MoveTo(x, y + 6);
    c->LineTo(x + 7, y + 6);                  // plate
    c->MoveTo(x + 3, y + 7);
    c->LineTo(x + 3, y + 10);                 // needle
}

// Lying pin, pointing left.
void DrawPinLying(TCanvas* c, int x, int y, TColor color)
{
    c->Pen()->SetColor(color);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(x + 4, y + 1, x + 10, y + 6);
    c->MoveTo(x + 5, y + 4);
    c->LineTo(x + 10, y + 4);
    c->MoveTo(x + 4, y);
    c->LineTo(x + 4, y + 7);
    c->MoveTo(x, y + 3);
    c->LineTo(x + 4, y + 3);
}

void BuildLockGlyph(TBitmap* b)
{
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(TRect(0, 0, 16, 16));
    DrawPinUpright(b->Canvas(), 4, 3, clBlack);
}

void BuildUnlockGlyph(TBitmap* b)
{
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(TRect(0, 0, 16, 16));
    DrawPinLying(b->Canvas(), 3, 4, clBlack);
}

void RegisterPanelBitmaps()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterResourceBitmap("Halvik_CLOSEBTN", BuildCloseGlyph);
    RegisterResourceBitmap("Halvik_LOCKPIN", BuildLockGlyph);
    RegisterResourceBitmap("Halvik_UNLOCKPIN", BuildUnlockGlyph);
}

TColor BitmapLowerLeft(TBitmap* b)
{
    if (!b || b->Empty())
        return clNone;
    return b->Canvas()->Pixels(0, b->Height() - 1);
}

bool InRect(const TRect& r, int x, int y)
{
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

} // namespace

// ---------------------------------------------------------------- TToolPanelGlyphs
TToolPanelGlyphs::TToolPanelGlyphs()
{
    for (auto& b : FBitmaps)
        b = std::make_unique<TBitmap>();
}

TToolPanelGlyphs::~TToolPanelGlyphs() = default;

void TToolPanelGlyphs::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TToolPanelGlyphs*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    for (int i = 0; i < 9; ++i)
        FBitmaps[i]->Assign(s->FBitmaps[i].get());
    if (OnChange)
        OnChange(this);
}

void TToolPanelGlyphs::SetGlyph(int i, TBitmap* v)
{
    if (v)
        FBitmaps[i]->Assign(v);
    else
        FBitmaps[i] = std::make_unique<TBitmap>();
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- TProToolPanel
TProToolPanel::TProToolPanel(TComponent* AOwner) : TCustomPanel(AOwner)
{
    RegisterPanelBitmaps();
    FCloseGlyph = std::make_unique<TBitmap>();
    FLockGlyph = std::make_unique<TBitmap>();
    FUnlockGlyph = std::make_unique<TBitmap>();
    FCloseGlyph->LoadFromResourceName("Halvik_CLOSEBTN");
    FLockGlyph->LoadFromResourceName("Halvik_LOCKPIN");
    FUnlockGlyph->LoadFromResourceName("Halvik_UNLOCKPIN");
    FSections = std::make_unique<TProToolPanelSections>(this);
    FSectionLayout = std::make_unique<TSectionLayout>();
    FSectionLayout->OnChange = [this](TObject* s) { LayoutChanged(s); };
    FBackground = std::make_unique<TBitmap>();
    SetColor(0xFFE7D6);
    SetBounds(Left(), Top(), 180, 300);
    SetTabStop(true);
    SetDoubleBuffered(true);
    SetDragKind(dkDock);
    SetDragMode(dmManual);
    SetStyle(esOffice2003Blue);
}

TProToolPanel::~TProToolPanel()
{
    Destroying();
    if (FTab)
        FTab->RemovePanel(this);
    FTab = nullptr;
}

void TProToolPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FSectionImages) {
        FSectionImages = nullptr;
        LayoutChanged(this);
    }
}

void TProToolPanel::SetSectionImages(TImageList* v)
{
    // Told when the list goes, so that no pointer to it is left.
    if (SetReference(FSectionImages, v))
        LayoutChanged(this);
}

void TProToolPanel::SetBackground(TBitmap* v)
{
    if (v)
        FBackground->Assign(v);
    else
        FBackground = std::make_unique<TBitmap>();
    Invalidate();
}

void TProToolPanel::SetCaption(const AnsiString& Value)
{
    TControl::SetCaption(Value);
    if (Parent())
        Parent()->Invalidate();
    // Nudges the width to lay the panel out again.
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
    Invalidate();
    if (FTab)
        FTab->UpdatePanel(this);
}

void TProToolPanel::SetImageIndex(int Value)
{
    FImageIndex = Value;
    if (Parent())
        Parent()->Invalidate();
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
    if (FTab)
        FTab->UpdatePanel(this);
}

void TProToolPanel::SetOpenWidth(int Value)
{
    FOpenWidth = Value;
    if (FTab)
        FTab->UpdatePanel(this);
}

void TProToolPanel::SetLocked(bool Value)
{
    if (FTab && Value && !Visible()) {
        const int index = FTab->IndexOfPanel(this);
        if (index >= 0)
            FTab->OpenTab(index);
    }
    FLocked = Value;
    Invalidate();
    if (FTab)
        FTab->PanelLockChanged(this);
}

void TProToolPanel::SetHidden(bool Value)
{
    FHidden = Value;
    if (FTab) {
        FTab->FOpenIndex = -1;
        FTab->ArrangePanels(-1);
    }
}

void TProToolPanel::SetDocked(bool Value)
{
    FDocked = Value;
    if (FTab)
        FTab->Invalidate();
}

TRect TProToolPanel::CloseButtonRect() const
{
    const int r = ClientWidth();
    return TRect(r - 20, 2, r - 5, 18);
}

TRect TProToolPanel::LockButtonRect() const
{
    const int r = ClientWidth();
    return FShowClose ? TRect(r - 40, 2, r - 21, 18) : CloseButtonRect();
}

TRect TProToolPanel::CaptionButtonRect() const
{
    return TRect(FDockDots ? 8 : 0, 0, ClientWidth(), CaptionHeight);
}

void TProToolPanel::InvalidateButtons()
{
    Invalidate();
}

// Aligned controls sit inside the bevels and, with the caption shown, below it.
void TProToolPanel::AlignControls(TControl* AControl, TRect& Rect)
{
    const int w = FrameWidth();
    Rect = TRect(Rect.Left + w, Rect.Top + w, Rect.Right - w, Rect.Bottom - w);
    if (FShowCaption && !Floating() && Rect.Top < CaptionHeight)
        Rect.Top = CaptionHeight;
    TCustomControl::AlignControls(AControl, Rect);
}

void TProToolPanel::DoEnter()
{
    FFocused = true;
    Invalidate();
    TCustomPanel::DoEnter();
}

void TProToolPanel::DoExit()
{
    FFocused = false;
    Invalidate();
    TCustomPanel::DoExit();
}

void TProToolPanel::Resize()
{
    TCustomPanel::Resize();
    if (FTab)
        FTab->ResetAutoCloseCounter();
}

void TProToolPanel::WMEraseBkgnd(TMessage& Message)
{
    Message.Result = 1;
}

// ---------------------------------------------------------------- mouse
LRESULT TProToolPanel::SizingHit(int X, int Y) const
{
    if (!FTab || Floating() || !FCanSize)
        return HTCLIENT;
    const int w = Width(), h = Height();
    switch (FTab->Position()) {
    case ppLeft: return X >= w - 2 && X < w + 1 ? HTRIGHT : HTCLIENT;
    case ppTop: return Y >= h - 2 && Y <= h + 2 ? HTBOTTOM : HTCLIENT;
    case ppRight: return FLocked && X >= 0 && X < 3 ? HTLEFT : HTCLIENT;
    case ppBottom: return FLocked && Y >= -2 && Y < 3 ? HTTOP : HTCLIENT;
    }
    return HTCLIENT;
}

void TProToolPanel::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_NCHITTEST && FTab && !Floating()) {
        if (!FLocked)
            FTab->ResetAutoCloseCounter();
        const TPoint p = ScreenToClient(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        Message.Result = SizingHit(p.X, p.Y);
        return;
    }
    // No closing under the user while the panel is sized or moved.
    if ((Message.Msg == WM_ENTERSIZEMOVE || Message.Msg == WM_EXITSIZEMOVE) && FTab)
        FTab->SetAutoClose(Message.Msg == WM_EXITSIZEMOVE);
    TCustomPanel::Dispatch(Message);
}

namespace {
// The section after the first whose caption band holds Y, else -1.
int CaptionSectionAt(const TProToolPanel* P, int Y)
{
    for (int s = 1; s < P->Sections()->Count(); ++s) {
        const int top = P->SectionRect(s).Top;
        if (Y >= top && Y < top + P->SectionCaptionHeight())
            return s;
    }
    return -1;
}
}  // namespace

void TProToolPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseDown(Button, Shift, X, Y);
    // At design time a press on a caption sizes the section above it.
    if ((ComponentState() & csDesigning) && Button == mbLeft) {
        const int s = CaptionSectionAt(this, Y);
        if (s > 0) {
            FSizingSection = s - 1;
            return;
        }
    }
    for (int s = 0; s < FSections->Count(); ++s) {
        TProToolPanelSection* sec = FSections->Items(s);
        if (sec->Node() && InRect(ExpandBoxRect(s), X, Y)) {
            sec->SetExpanded(!sec->Expanded());
            break;
        }
    }
    if (Button == mbLeft && SizingHit(X, Y) != HTCLIENT) {
        FSizing = true;
        const bool horz = FTab->Position() == ppLeft || FTab->Position() == ppRight;
        FSizeStart = horz ? ClientToScreen(TPoint(X, Y)).X : ClientToScreen(TPoint(X, Y)).Y;
        FSizeStartExtent = horz ? Width() : Height();
        FTab->SetAutoClose(false);
    }
    FMouseDown = true;
    FMousePos = TPoint(X, Y);
    if (CanFocus())
        SetFocus();
    InvalidateButtons();
}

// The user pulls a locked panel off by its caption: a dock drag starts at once.
void TProToolPanel::StartFloatDrag(int X, int Y)
{
    // A drag must start on the caption, away from its buttons.
    if (Y >= CaptionHeight || X >= ClientWidth() - 40)
        return;
    FDragStart = TPoint(X, Y);
    SetDragKind(dkDock);
    SetDragMode(dmAutomatic);
    BeginDrag(true);
}

void TProToolPanel::DoStartDock(TDragDockObject*& DragObject)
{
    TCustomPanel::DoStartDock(DragObject);
    if (!FTab)
        return;
    const bool horz = FTab->Position() == ppLeft || FTab->Position() == ppRight;
    FOpenWidth = horz ? Width() : Height();
    const int index = FTab->IndexOfPanel(this);
    if (index >= 0)
        FTab->Panels()->Items(index)->SetState(psDocked);
    SetDocked(true);
    // Only the caption, away from its buttons, pulls the panel off.
    if (FDragStart.Y >= CaptionHeight || FDragStart.X >= ClientWidth() - 40) {
        EndDrag(false);
        SetDocked(false);
    }
}

void TProToolPanel::DoEndDock(TObject* Target, int X, int Y)
{
    TCustomPanel::DoEndDock(Target, X, Y);
    EndDocking();
}

void TProToolPanel::EndDocking()
{
    if (Screen->Cursor() == crSizeAll)
        Screen->SetCursor(Cursor());
    SetDocked(false);
    const bool floating = Floating();
    if (floating != FWasFloating) {
        FWasFloating = floating;
        // The floating window has its own caption: the content moves up, and back down when docked.
        if (FShowCaption)
            for (int i = 0; i < ControlCount(); ++i)
                Controls(i)->SetTop(Controls(i)->Top() + (floating ? -CaptionHeight : CaptionHeight));
        if (!floating && FTab) {
            const int index = FTab->IndexOfPanel(this);
            if (index >= 0)
                FTab->Panels()->Items(index)->SetState(psOpened);
        }
    }
    if (floating) {
        SetAlign(alClient);
        // Closing the floating window puts the panel back beside its strip.
        if (auto* host = FloatingForm()) {
            std::weak_ptr<bool> alive = FTab ? std::weak_ptr<bool>(FTab->FAlive) : std::weak_ptr<bool>();
            host->OnClose = [this, alive](TObject*, TCloseAction& Action) {
                auto a = alive.lock();
                if (FTab && a && *a) {
                    Action = caNone;
                    FTab->DockDrop(this);
                }
            };
        }
    }
    if (FTab)
        FTab->ArrangePanels(-1);
    SetDragMode(dmManual);
}

void TProToolPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseMove(Shift, X, Y);
    FMousePos = TPoint(X, Y);
    if (ComponentState() & csDesigning) {
        if (FSizingSection >= 0 && FSizingSection < FSections->Count()) {
            const int top = SectionRect(FSizingSection).Top;
            FSections->Items(FSizingSection)->SetHeight(std::max(SectionCaptionHeight() + 1, Y - top));
            return;
        }
        SetCursor(CaptionSectionAt(this, Y) > 0 ? crVSplit : crDefault);
    }
    const int r = ClientWidth();
    if (FSizing) {
        const bool horz = FTab->Position() == ppLeft || FTab->Position() == ppRight;
        const TPoint sp = ClientToScreen(TPoint(X, Y));
        int d = (horz ? sp.X : sp.Y) - FSizeStart;
        if (FTab->Position() == ppRight || FTab->Position() == ppBottom)
            d = -d;
        const int extent = std::max(FSizeStartExtent + d, 10);
        if (horz)
            SetWidth(extent);
        else
            SetHeight(extent);
        FTab->ResetAutoCloseCounter();
        return;
    }
    if (FTab && !FLocked)
        FTab->ResetAutoCloseCounter();
    if (FLocked && FTab && FTab->AutoDock() && FAllowDocking && Y < CaptionHeight && !Floating()) {
        const bool draggable = FDockDots ? X < 8 : X < r - 40;
        if (draggable) {
            Screen->SetCursor(crSizeAll);
            if (FMouseDown && (Shift & ssLeft)) {
                StartFloatDrag(X, Y);
                return;
            }
        } else if (Screen->Cursor() == crSizeAll) {
            Screen->SetCursor(Cursor());
        }
    }
    if (Y < CaptionHeight)
        InvalidateButtons();

    HoverAt(X, Y);
}

void TProToolPanel::HoverAt(int X, int Y)
{
    int s, i;
    TRect rr;
    ItemAtPos(X, Y, s, i, rr);
    if (s != FHoverSection || i != FHoverItem) {
        if (s >= 0)
            SetHover(s, i, rr);
        else
            CancelHover();
    }
}

void TProToolPanel::SetHover(int Section, int Item, const TRect& R)
{
    FHoverSection = Section;
    FHoverItem = Item;
    FHoverRect = R;
    if (FSectionLayout->ItemHoverUnderline())
        Screen->SetCursor(crHandPoint);
    Application->CancelHint();
    Invalidate();
}

void TProToolPanel::CancelHover()
{
    const bool had = FHoverSection >= 0;
    FHoverSection = -1;
    FHoverItem = -1;
    FHoverRect = TRect(-1, -1, -1, -1);
    if (had) {
        if (Screen->Cursor() == crHandPoint)
            Screen->SetCursor(Cursor());
        Invalidate();
    }
}

void TProToolPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (FSizingSection >= 0) {
        FSizingSection = -1;
        return;
    }
    if (FSizing) {
        FSizing = false;
        FMouseDown = false;
        const bool horz = FTab->Position() == ppLeft || FTab->Position() == ppRight;
        SetOpenWidth(horz ? Width() : Height());
        FTab->SetAutoClose(true);
        return;
    }
    if (!FMouseDown)
        return;
    FMouseDown = false;
    if (FTab) {
        // Also while floating: docked again, the panel opens to the size it was given.
        const bool horz = FTab->Position() == ppLeft || FTab->Position() == ppRight;
        SetOpenWidth(horz ? Width() : Height());
        InvalidateButtons();
        if (FShowClose && !Floating() && FShowCaption && InRect(CloseButtonRect(), X, Y)) {
            DoClose();
            return;
        }
        if (FShowLock && !Floating() && FShowCaption && InRect(LockButtonRect(), X, Y)) {
            SetLocked(!FLocked);
            return;
        }
        if (FCaptionButton && FShowCaption && !Floating() && InRect(CaptionButtonRect(), X, Y)) {
            CaptionButtonClick();
            return;
        }
    }
    // Items may have changed under a resting pointer since it last moved: the click names
    // the item that is under it now.
    HoverAt(X, Y);
    if (FHoverSection >= 0 && FHoverItem >= 0 && OnItemClick)
        OnItemClick(this, FHoverSection, FHoverItem);
}

void TProToolPanel::CMMouseLeave(TMessage& Message)
{
    FMouseDown = false;
    FMousePos = TPoint(-1, -1);
    CancelHover();
    InvalidateButtons();
    TCustomPanel::CMMouseLeave(Message);
}

void TProToolPanel::DoClose()
{
    TProToolPanelTab* tab = FTab;
    const int index = tab->IndexOfPanel(this);
    bool allow = true;
    if (tab->OnAllowTabHide)
        tab->OnAllowTabHide(tab, index, this, allow);
    if (!allow)
        return;
    if (tab->OnTabHide)
        tab->OnTabHide(tab, index, this);
    if (tab->FHostForm && Parent() == tab->FHostForm)
        tab->FHostForm->Hide();
    SetHidden(true);
    tab->ArrangePanels(-1);
    SetVisible(false);
}

void TProToolPanel::CaptionButtonClick()
{
    const TRect r = CaptionButtonRect();
    if (TPopupMenu* menu = PopupMenu()) {
        // The panel's menu drops down from the caption's bottom-left corner.
        const TPoint p = ClientToScreen(TPoint(r.Left, r.Bottom - 2));
        menu->SetPopupComponent(this);
        menu->Popup(p.X, p.Y);
        return;
    }
    if (OnCaptionBtnClick)
        OnCaptionBtnClick(this, r);
}

void TProToolPanel::CMHintShow(TMessage& Message)
{
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    Message.Result = 0;
    if (!info)
        return;
    const int x = info->CursorPos.X, y = info->CursorPos.Y;
    const int r = ClientWidth();
    const bool onCaption = FShowCaption && !Floating();
    if (onCaption && FShowClose && InRect(TRect(r - 21, 2, r - 5, 21), x, y)) {
        info->HintStr = FCloseHint;
        return;
    }
    const TRect lockBox = FShowClose ? TRect(r - 42, 2, r - 23, 21) : TRect(r - 21, 2, r - 5, 21);
    if (onCaption && FShowLock && InRect(lockBox, x, y)) {
        info->HintStr = FLocked ? FUnlockHint : FLockHint;
        return;
    }
    int s, i;
    TRect rr;
    if (ItemAtPos(x, y, s, i, rr)) {
        info->HintStr = FSections->Items(s)->SectionItems()->Items(i)->Hint();
        info->CursorRect = rr;
    }
}

// ---------------------------------------------------------------- floating
TForm* TProToolPanel::FloatingForm() const { return Floating() ? dynamic_cast<TForm*>(HostDockSite()) : nullptr; }

void TProToolPanel::FloatAt(const TRect& R)
{
    if (ManualFloat(R))
        EndDocking();
}

void TProToolPanel::EndFloat()
{
    if (!Floating())
        return;
    // Back in the strip's form; the floating window goes with its last control.
    ManualDock(FTab ? FTab->Parent() : nullptr);
    if (Floating())
        return;
    EndDocking();
}

// ---------------------------------------------------------------- painting
void TProToolPanel::PaintButtonBox(TCanvas* C, const TRect& R, bool Hot, bool Down)
{
    if (!Hot && !Down)
        return;
    if (FButton3D) {
        C->Pen()->SetColor(Down ? clGray : clWhite);
        C->MoveTo(R.Left, R.Bottom - 1);
        C->LineTo(R.Left, R.Top);
        C->LineTo(R.Right - 1, R.Top);
        C->Pen()->SetColor(Down ? clWhite : clGray);
        C->LineTo(R.Right - 1, R.Bottom - 1);
        C->LineTo(R.Left, R.Bottom - 1);
        return;
    }
    const TColor from = Down ? FDownButtonColor : FHoverButtonColor;
    const TColor to = Down ? FDownButtonColorTo : FHoverButtonColorTo;
    if (from != clNone)
        ToolPanelFill(C, from, to, false, R, 16);
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetColor(clBlack);
    C->Rectangle(R);
}

void TProToolPanel::PaintBackgroundPicture(TCanvas* C)
{
    if (FBackground->Empty())
        return;
    TBitmap* pic = FBackground.get();
    pic->SetTransparent(FBackgroundTransparent);
    const int pw = pic->Width(), ph = pic->Height();
    const TRect cr = ClientRect();
    const int top = CaptionHeight, left = 1, bw = BevelWidth();
    const int right = std::max(left, cr.Right - left - pw - bw), bottom = std::max(top, cr.Bottom - ph - bw - 1);
    int x = left, y = top;
    switch (FBackGroundPosition) {
    case bpTopLeft: break;
    case bpTopRight: x = right; break;
    case bpBottomLeft: y = bottom; break;
    case bpBottomRight:
        x = right;
        y = bottom;
        break;
    case bpTiled:
        for (int ty = top; ty < cr.Bottom; ty += std::max(ph, 1))
            for (int tx = left; tx < cr.Right; tx += std::max(pw, 1))
                C->Draw(tx, ty, pic);
        return;
    case bpStretched: C->StretchDraw(cr, pic); return;
    case bpCenter:
        x = right / 2;
        y = std::max(top, cr.Bottom - ph - bw) / 2;
        break;
    }
    C->Draw(x, y, pic);
}

void TProToolPanel::PaintCaption(TCanvas* C)
{
    const TRect cr(1, 1, ClientWidth() - 2, CaptionHeight - 1);
    const TColor from = FFocused ? FFocusCaptionColor : FNoFocusCaptionColor;
    const TColor to = FFocused ? FFocusCaptionColorTo : FNoFocusCaptionColorTo;
    const TColor fontColor = FFocused ? FFocusCaptionFontColor : FNoFocusCaptionFontColor;
    ToolPanelFill(C, from, to, FCaptionGradientDirection == gdHorizontal, cr, 16);
    if (!FFocused && FShowCaptionBorder) {
        C->Brush()->SetStyle(bsClear);
        C->Pen()->SetColor(0x808080);
        C->RoundRect(cr.Left, cr.Top, cr.Right, cr.Bottom, 3, 3);
    }
    TToolPanelGlyphs* glyphs = FTab ? FTab->PanelGlyphs() : nullptr;
    const bool designing = ComponentState() & csDesigning;
    auto hotIn = [&](const TRect& r) { return !designing && InRect(r, FMousePos.X, FMousePos.Y); };
    int textRight = cr.Right - 37;

    // Caption button: the whole caption is a button with a small triangle.
    if (FCaptionButton) {
        const TRect area = CaptionButtonRect();
        PaintButtonBox(C, TRect(area.Left, cr.Top, cr.Right, cr.Bottom), hotIn(area), hotIn(area) && FMouseDown);
        const int rx = cr.Right - 5, by = cr.Bottom;
        C->Pen()->SetColor(fontColor);
        for (int k = 0; k < 4; ++k) {
            C->MoveTo(rx - 10 + k, by - 10 + k);
            C->LineTo(rx - 10 + 7 - k, by - 10 + k);
        }
    }
    if (FShowClose) {
        const TRect box = CloseButtonRect();
        const bool hot = hotIn(box), down = hot && FMouseDown;
        if (glyphs && !glyphs->CloseGlyphNormal()->Empty()) {
            TBitmap* g = down && !glyphs->CloseGlyphDown()->Empty() ? glyphs->CloseGlyphDown()
                       : hot && !glyphs->CloseGlyphHot()->Empty() ? glyphs->CloseGlyphHot()
                                                                    : glyphs->CloseGlyphNormal();
            DrawTransparentBitmap(C, g, box.Left, box.Top, BitmapLowerLeft(g));
        } else {
            PaintButtonBox(C, box, hot, down);
            // An X of two 2-pixel-wide diagonals, 8 x 7 pixels.
            const int x = box.Left + (box.Width() - 8) / 2, y = box.Top + (box.Height() - 7) / 2;
            for (int i = 0; i < 7; ++i) {
                C->SetPixels(x + i, y + i, fontColor);
                C->SetPixels(x + i + 1, y + i, fontColor);
                C->SetPixels(x + 6 - i, y + i, fontColor);
                C->SetPixels(x + 7 - i, y + i, fontColor);
            }
        }
    }
    if (FShowLock) {
        const TRect box = LockButtonRect();
        const bool hot = hotIn(box), down = hot && FMouseDown;
        TBitmap* normal = glyphs ? (FLocked ? glyphs->LockGlyphNormal() : glyphs->UnLockGlyphNormal()) : nullptr;
        if (normal && !normal->Empty()) {
            TBitmap* dn = FLocked ? glyphs->LockGlyphDown() : glyphs->UnLockGlyphDown();
            TBitmap* ht = FLocked ? glyphs->LockGlyphHot() : glyphs->UnLockGlyphHot();
            TBitmap* g = down && !dn->Empty() ? dn : hot && !ht->Empty() ? ht : normal;
            DrawTransparentBitmap(C, g, box.Left, box.Top, BitmapLowerLeft(g));
        } else {
            PaintButtonBox(C, box, hot, down);
            if (FLocked)
                DrawPinUpright(C, box.Left + (box.Width() - 7) / 2, box.Top + 3, fontColor);
            else
                DrawPinLying(C, box.Left + (box.Width() - 10) / 2, box.Top + 5, fontColor);
        }
    }
    int textLeft = cr.Left + 4;
    if (FDockDots) {
        for (int k = 0; k < 4; ++k) {
            const int x = cr.Left + 5, y = cr.Top + 5 + 4 * k;
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(clWhite);
            C->FillRect(TRect(x, y, x + 2, y + 2));
            C->Brush()->SetColor(clBlack);
            C->FrameRect(TRect(x - 1, y - 1, x + 1, y + 1));
        }
        textLeft += 7;
    }
    C->Brush()->SetStyle(bsClear);
    C->Font()->Assign(Font());
    C->Font()->SetStyle(C->Font()->Style() | fsBold);
    C->Font()->SetColor(fontColor);
    TRect tr(textLeft, cr.Top + 4, textRight, cr.Top + 21);
    DrawText(C, Caption(), -1, tr, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TProToolPanel::Paint()
{
    ToolPanelPaintBuffered(Canvas(), Width(), Height(), Color(), FColorTo, FGradientDirection == gdHorizontal, 128,
                           [this](TCanvas* C, const TRect& R) {
                               // The gradient stays inside the border.
                               if (const int b = BorderWidth(); b > 0 && FColorTo != clNone) {
                                   C->Brush()->SetStyle(bsSolid);
                                   C->Brush()->SetColor(Color());
                                   C->FillRect(R);
                                   ToolPanelGradient(C, Color(), FColorTo, FGradientDirection == gdHorizontal,
                                                     TRect(R.Left + b, R.Top + b, R.Right - b, R.Bottom - b), 128);
                               }
                               PaintBackgroundPicture(C);
                               PaintSections(C);
                               if (FShowCaption && !Floating())
                                   PaintCaption(C);
                           });
}
