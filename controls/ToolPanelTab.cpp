// The tab strip: tabs, the auto-open and auto-close timer, sliding the panels
// in and out, locking beside the strip and docking.
#include <algorithm>
#include <chrono>

#include "controls/ToolPanels.h"
#include "platform/gui/Forms.h"

std::function<void(TProToolPanelTab* Strip, int Delay)> TProToolPanelTab::SlideWait;

namespace {

constexpr Cardinal WM_THEMECHANGED_MSG = 0x031A;

// Scroll arrows of an overflowing strip (17 x 9: down and up triangles, black on white).
void BuildUpDownGlyph(TBitmap* b)
{
    b->SetSize(17, 9);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, 17, 9));
    for (int k = 0; k < 4; ++k)
        for (int x = 1 + k; x < 8 - k; ++x) {
            c->SetPixels(x, 2 + k, clBlack);          // down
            c->SetPixels(x + 9, 6 - k, clBlack);      // up
        }
}

// Clears a flag when a slide ends, unless the strip is gone by then.
struct SlideFlag {
    std::shared_ptr<bool> Alive;
    bool* Flag;
    SlideFlag(std::shared_ptr<bool> a, bool* f) : Alive(std::move(a)), Flag(f) { *Flag = true; }
    ~SlideFlag()
    {
        if (*Alive)
            *Flag = false;
    }
};

} // namespace

// ---------------------------------------------------------------- entries
void TToolPanel::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TToolPanel*>(Source)) {
        FTag = s->FTag;
        FPanel = s->FPanel;
        FCaption = s->FCaption;
        FVisible = s->FVisible;
        FImageIndex = s->FImageIndex;
        FState = s->FState;
        FOpenWidth = s->FOpenWidth;
        return;
    }
    TCollectionItem::Assign(Source);
}

TToolPanels::TToolPanels(TProToolPanelTab* AOwner)
    : TOwnedCollection(AOwner, [](TCollection* c) -> TCollectionItem* { return new TToolPanel(c); })
{
}

TToolPanel* TToolPanels::Add()
{
    return static_cast<TToolPanel*>(TCollection::Add());
}

TToolPanel* TToolPanels::Items(int Index) const
{
    return static_cast<TToolPanel*>(TCollection::Items(Index));
}

void TPanelPersistence::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TPanelPersistence*>(Source)) {
        *this = *s;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- strip
TProToolPanelTab::TProToolPanelTab(TComponent* AOwner) : TCustomPanel(AOwner)
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        RegisterResourceBitmap("Halvik_UPDOWN", BuildUpDownGlyph);
    }
    FPanels = std::make_unique<TToolPanels>(this);
    FScrollGlyph = std::make_unique<TBitmap>();
    FScrollGlyph->LoadFromResourceName("Halvik_UPDOWN");
    FTabGlyph = std::make_unique<TBitmap>();
    FPersist = std::make_unique<TPanelPersistence>();
    FPanelGlyphs = std::make_unique<TToolPanelGlyphs>();
    FPanelGlyphs->OnChange = [this](TObject*) { Invalidate(); };
    SetCaption("");
    SetControlStyle(ControlStyle() & ~csAcceptsControls);
    SetDoubleBuffered(true);
    SetColor(clBtnFace);
    Font()->SetName("Tahoma");
    SetBounds(0, 0, FTabWidth, 200);
    SetAlign(alLeft);
    FHostForm = new TToolPanelForm(this);
    SetDockSite(FAutoDock);
    ArrangePanels(-1);
}

TProToolPanelTab::~TProToolPanelTab()
{
    Destroying();
    *FAlive = false;
    UnhookParentForm();
    if (FTimerOn && HandleAllocated())
        KillTimer(this, TimerId);
    FTimerOn = false;
    for (int i = 0; i < FPanels->Count(); ++i)
        if (TProToolPanel* p = FPanels->Items(i)->Panel()) {
            p->FTab = nullptr;
            if (p->Parent() == FHostForm)
                p->SetParent(Parent());
        }
    FPanels->Clear();
    delete FHostForm;
    FHostForm = nullptr;
}

void TProToolPanelTab::SetParent(TWinControl* AParent)
{
    TCustomPanel::SetParent(AParent);
    HookParentForm();
}

void TProToolPanelTab::SetName(const AnsiString& Value)
{
    TCustomPanel::SetName(Value);
    if (FHostForm)
        FHostForm->SetName("tabf" + Name());
}

TCanvas* TProToolPanelTab::MeasureCanvas() const
{
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    TCanvas* c = FMeasure->Canvas();
    c->Font()->Assign(Font());
    c->Font()->SetOrientation(0);
    return c;
}

int TProToolPanelTab::SlideDelay(TSlideSpeed Speed)
{
    switch (Speed) {
    case ssSlow: return 18;
    case ssMedium: return 9;
    case ssFast: return 3;
    case ssInstant: return 0;
    }
    return 0;
}

UINT TProToolPanelTab::AutoOpenCloseInterval(TAutoOpenCloseSpeed Speed)
{
    switch (Speed) {
    case aocSlow: return 500;
    case aocMedium: return 200;
    case aocFast: return 75;
    case aocVerySlow: return 1500;
    case aocVeryFast: return 40;
    }
    return 200;
}

void TProToolPanelTab::SetAutoOpenCloseSpeed(TAutoOpenCloseSpeed v)
{
    FAutoOpenCloseSpeed = v;
    if (FTimerOn && HandleAllocated())
        SetTimer(this, TimerId, AutoOpenCloseInterval(v));
}

void TProToolPanelTab::SetImages(TImageList* v)
{
    // Told when the list goes, so that no pointer to it is left.
    if (SetReference(FImages, v))
        Invalidate();
}

void TProToolPanelTab::SetTabWidth(int Value)
{
    FTabWidth = Value;
    Invalidate();
}

void TProToolPanelTab::SetTabGlyph(TBitmap* Value)
{
    if (Value)
        FTabGlyph->Assign(Value);
    else
        FTabGlyph = std::make_unique<TBitmap>();
    Invalidate();
}

void TProToolPanelTab::SetThickness(int v)
{
    if (Vertical())
        SetWidth(v);
    else
        SetHeight(v);
}

void TProToolPanelTab::SetPosition(TPanelPosition Value)
{
    FPosition = Value;
    for (int i = 0; i < FPanels->Count(); ++i)
        if (TProToolPanel* p = FPanels->Items(i)->Panel())
            p->Hide();
    if (FHostForm)
        FHostForm->Hide();
    FOpenIndex = -1;
    static const TAlign aligns[] = {alLeft, alRight, alTop, alBottom};
    SetAlign(aligns[Value]);
    ArrangePanels(-1);
}

// ---------------------------------------------------------------- panels
TProToolPanel* TProToolPanelTab::CreatePanel()
{
    auto* p = new TProToolPanel(Parent() ? static_cast<TComponent*>(Parent()) : Owner());
    p->FTab = this;
    p->SetParent(Parent());
    p->Hide();
    AddPanel(p);
    return p;
}

void TProToolPanelTab::AddPanel(TProToolPanel* APanel)
{
    TToolPanel* e = FPanels->Add();
    e->SetCaption(APanel->Caption());
    e->SetImageIndex(APanel->ImageIndex());
    e->SetPanel(APanel);
    e->SetOpenWidth(APanel->OpenWidth());
    APanel->FTab = this;
    ArrangePanels(-1);
}

void TProToolPanelTab::RemovePanel(TProToolPanel* APanel)
{
    const int index = IndexOfPanel(APanel);
    if (index < 0)
        return;
    if (FOpenIndex == index)
        FOpenIndex = -1;
    else if (FOpenIndex > index)
        --FOpenIndex;
    FPanels->Delete(index);
    if (ComponentState() & csDestroying)
        return;
    for (int i = 0; i < FPanels->Count(); ++i) {
        TProToolPanel* p = FPanels->Items(i)->Panel();
        if (p && p->Locked() && !p->Floating()) {
            if (Vertical())
                p->SetWidth(p->OpenWidth());
            else
                p->SetHeight(p->OpenWidth());
        }
    }
    if (FPosition == ppRight && Parent())
        SetLeft(Parent()->ClientWidth() - Width());
    ArrangePanels(-1);
}

void TProToolPanelTab::UpdatePanel(TProToolPanel* APanel)
{
    const int index = IndexOfPanel(APanel);
    if (index < 0)
        return;
    TToolPanel* e = FPanels->Items(index);
    e->SetCaption(APanel->Caption());
    e->SetImageIndex(APanel->ImageIndex());
    e->SetOpenWidth(APanel->OpenWidth());
    Invalidate();
}

int TProToolPanelTab::IndexOfPanel(TProToolPanel* APanel) const
{
    // From the newest: a panel being set up is the last one added.
    for (int i = FPanels->Count() - 1; i >= 0; --i)
        if (FPanels->Items(i)->Panel() == APanel)
            return i;
    return -1;
}

TProToolPanel* TProToolPanelTab::PanelByName(const AnsiString& AName) const
{
    for (int i = 0; i < FPanels->Count(); ++i) {
        TProToolPanel* p = FPanels->Items(i)->Panel();
        if (p && p->Name() == AName)
            return p;
    }
    return nullptr;
}

int TProToolPanelTab::TabCount() const
{
    int n = 0;
    for (int i = 0; i < FPanels->Count(); ++i)
        n += ShowsTabAt(i) ? 1 : 0;
    return n;
}

bool TProToolPanelTab::HasTabs() const
{
    for (int i = 0; i < FPanels->Count(); ++i)
        if (ShowsTabAt(i))
            return true;
    return false;
}

bool TProToolPanelTab::ShowsTabAt(int Index) const
{
    TProToolPanel* p = FPanels->Items(Index)->Panel();
    return p && p->ShowsTab() && !p->Floating();
}

void TProToolPanelTab::ArrangePanels(int)
{
    const bool loading = ComponentState() & (csLoading | csDesigning);
    const int thickness = Vertical() ? Width() : Height();
    if (!HasTabs()) {
        if (!loading)
            SetThickness(0);
    } else if (thickness == 0) {
        SetThickness(23);
    }
    if (FHostForm && FHostForm->Visible()) {
        if (FPosition == ppRight)
            FHostForm->SetHeight(Height());
        else if (FPosition == ppBottom)
            FHostForm->SetWidth(Width());
    }
    Invalidate();
}

// ---------------------------------------------------------------- tab geometry
int TProToolPanelTab::TabTextLength(int Index) const
{
    const TToolPanel* e = FPanels->Items(Index);
    int n = MeasureCanvas()->TextWidth(e->Caption()) + 4;
    if (FImages && e->ImageIndex() >= 0)
        n += 6 + FImages->Width();
    return n;
}

std::vector<TProToolPanelTab::TabSpan> TProToolPanelTab::TabSpans() const
{
    std::vector<TabSpan> spans;
    int pos = 2 + (Vertical() ? FScrollOffset : 0);
    for (int i = 0; i < FPanels->Count(); ++i) {
        TProToolPanel* p = FPanels->Items(i)->Panel();
        if (!p || !p->ShowsTab() || p->Floating())
            continue;
        const int n = TabTextLength(i);
        spans.push_back({i, pos, n});
        pos += n + 10;
    }
    return spans;
}

int TProToolPanelTab::TabsLength() const
{
    int n = 2;
    for (const TabSpan& s : TabSpans())
        n += s.Length + 10;
    return n;
}

int TProToolPanelTab::TabAtPos(int X, int Y) const
{
    const int along = Vertical() ? Y : X;
    const int extent = Vertical() ? Height() : Width();
    const std::vector<TabSpan> spans = TabSpans();
    int length = 2;
    for (const TabSpan& s : spans)
        length += s.Length + 10;
    if (length > extent && along > extent - 10)
        return -1;
    for (const TabSpan& s : spans)
        if (s.Start < along && along < s.Start + s.Length + 10)
            return s.Index;
    return -1;
}

// ---------------------------------------------------------------- painting
void TProToolPanelTab::Paint()
{
    ToolPanelPaintBuffered(Canvas(), Width(), Height(), Color(), FColorTo, Vertical(), 16,
                           [this](TCanvas* C, const TRect& r) { PaintTabs(C, r); });
}

void TProToolPanelTab::PaintTabs(TCanvas* C, const TRect& r)
{
    const int W = FTabWidth;
    C->Font()->Assign(Font());
    const int gh = C->TextHeight("gh");
    for (const TabSpan& t : TabSpans()) {
        const TToolPanel* e = FPanels->Items(t.Index);
        const bool hot = t.Index == FHotTab && FTabHoverColor != clNone;
        const TColor c1 = hot ? FTabHoverColor : FTabColor;
        const TColor c2 = hot ? FTabHoverColorTo : FTabColorTo;
        const int s = t.Start, n = t.Length;
        TRect tr;
        switch (FPosition) {
        case ppLeft: tr = TRect(r.Left, s, r.Left + W - 1, s + n + 4); break;
        case ppRight: tr = TRect(r.Right - W + 2, s, r.Right, s + n + 4); break;
        case ppTop: tr = TRect(s, r.Top, s + n + 4, r.Bottom - 1); break;
        case ppBottom: tr = TRect(s, r.Top + 1, s + n + 4, r.Bottom); break;
        }
        C->Pen()->SetColor(FTabBorderColor);
        C->Pen()->SetWidth(1);
        if (!FTabGlyph->Empty()) {
            TBitmap* g = FTabGlyph.get();
            const int gw = g->Width(), gH = g->Height();
            if (Vertical()) {
                const TColor key = g->Canvas()->Pixels(gw - 1, 0);
                const int cap = gH / 2;
                StretchTransparentBitmap(C, g, TRect(tr.Left, tr.Top, tr.Right, tr.Top + cap), TRect(0, 0, gw, cap), key);
                StretchTransparentBitmap(C, g, TRect(tr.Left, tr.Top + cap, tr.Right, tr.Bottom - cap),
                                         TRect(0, cap, gw, cap + 1), key);
                StretchTransparentBitmap(C, g, TRect(tr.Left, tr.Bottom - cap, tr.Right, tr.Bottom),
                                         TRect(0, gH - cap, gw, gH), key);
            } else {
                const TColor key = g->Canvas()->Pixels(0, gH - 1);
                const int cap = gw / 2;
                StretchTransparentBitmap(C, g, TRect(tr.Left, tr.Top, tr.Left + cap, tr.Bottom), TRect(0, 0, cap, gH), key);
                StretchTransparentBitmap(C, g, TRect(tr.Left + cap, tr.Top, tr.Right - cap, tr.Bottom),
                                         TRect(cap, 0, cap + 1, gH), key);
                StretchTransparentBitmap(C, g, TRect(tr.Right - cap, tr.Top, tr.Right, tr.Bottom),
                                         TRect(gw - cap, 0, gw, gH), key);
            }
        } else if (c2 != clNone) {
            ToolPanelGradient(C, c1, c2, !Vertical(), tr, 16);
            C->Pen()->SetColor(FTabBorderColor);
            C->Brush()->SetStyle(bsClear);
            C->Rectangle(tr);
        } else {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(c1);
            C->Rectangle(tr);
        }
        int textShift = 0;
        if (FImages && e->ImageIndex() >= 0) {
            if (Vertical()) {
                const int left = FPosition == ppLeft ? r.Left : r.Right - W;
                FImages->Draw(C, left + (W - FImages->Width()) / 2, s + 6, e->ImageIndex());
                textShift = FImages->Height() + 4;
            } else {
                FImages->Draw(C, s + 6, tr.Top + (tr.Height() - FImages->Height()) / 2, e->ImageIndex());
                textShift = FImages->Width() + 4;
            }
        }
        C->Brush()->SetStyle(bsClear);
        C->Font()->Assign(Font());
        if (Vertical()) {
            C->Font()->SetOrientation(-900);
            const int x = FPosition == ppLeft ? r.Left + W - (W - gh) / 2 : r.Right + 4 - (W - gh) / 2;
            C->TextOut(x, s + 4 + textShift, e->Caption());
            C->Font()->SetOrientation(0);
        } else {
            C->TextOut(s + 4 + textShift, r.Top + 4, e->Caption());
        }
    }
    if (Vertical() && TabsLength() > r.Height()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(TRect(r.Left, r.Bottom - 9, r.Right, r.Bottom));
        DrawTransparentBitmap(C, FScrollGlyph.get(), r.Left + 1, r.Bottom - 9, clWhite);
    }
}

void TProToolPanelTab::WMEraseBkgnd(TMessage& Message)
{
    Message.Result = 1;
}

// ---------------------------------------------------------------- mouse
void TProToolPanelTab::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseDown(Button, Shift, X, Y);
    if (!FMouseBusy && !FSliding) {
        auto alive = FAlive;
        const int tab = TabAtPos(X, Y);
        FMouseBusy = true;
        if (tab < 0) {
            if (FOpenIndex >= 0 && FOpenIndex < FPanels->Count()) {
                TProToolPanel* p = FPanels->Items(FOpenIndex)->Panel();
                if (p && !p->AutoLock())
                    SlidePanelIn(p);
            }
        } else {
            if (Button == mbLeft && OnTabLeftClick)
                OnTabLeftClick(this, tab, FPanels->Items(tab)->Panel());
            else if (Button == mbRight && OnTabRightClick)
                OnTabRightClick(this, tab, FPanels->Items(tab)->Panel());
            if (*alive)
                OpenTab(tab);
        }
        if (!*alive)
            return;
        FMouseBusy = false;
    }
    if (Vertical() && TabsLength() > Height() && Y > Height() - 10) {
        if (X < 12 && FScrollOffset < 0) {
            FScrollOffset += 10;
            Invalidate();
        } else if (X >= 13 && X <= 23 && Height() - TabsLength() < FScrollOffset) {
            FScrollOffset -= 10;
            Invalidate();
        }
    }
}

void TProToolPanelTab::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseMove(Shift, X, Y);
    if (ComponentState() & csDesigning)
        return;
    FMouseInStrip = true;
    const int tab = TabAtPos(X, Y);
    if (tab != FTabUnderCursor) {
        if (FTabUnderCursor >= 0 && FTabUnderCursor < FPanels->Count() && OnTabLeave)
            OnTabLeave(this, FTabUnderCursor, FPanels->Items(FTabUnderCursor)->Panel());
        FTabUnderCursor = tab;
        if (tab >= 0 && OnTabEnter)
            OnTabEnter(this, tab, FPanels->Items(tab)->Panel());
    }
    if (FHotTab != tab && FTabHoverColor != clNone) {
        FHotTab = tab;
        Invalidate();
    }
    if (FAutoOpenOnMouseEnter) {
        const bool inBand = Vertical() ? X > Width() - FTabWidth : Y > Height() - FTabWidth;
        if (inBand && !FAutoSliding) {
            if (X != FLastMouseX || Y != FLastMouseY) {
                const int candidate = TabAtPos(X, Y);
                if (candidate != FOpenCandidate)
                    FOpenTicks = 0;
                FOpenCandidate = candidate;
            } else {
                FOpenCandidate = -1;
            }
        } else if (!inBand) {
            FOpenCandidate = -1;
        }
    }
    FLastMouseX = X;
    FLastMouseY = Y;
}

void TProToolPanelTab::CMMouseLeave(TMessage& Message)
{
    if (FTabUnderCursor >= 0 && FTabUnderCursor < FPanels->Count() && OnTabLeave)
        OnTabLeave(this, FTabUnderCursor, FPanels->Items(FTabUnderCursor)->Panel());
    FMouseInStrip = false;
    if (Screen->Cursor() == crSizeAll)
        Screen->SetCursor(Cursor());
    FTabUnderCursor = -1;
    FHotTab = -1;
    Invalidate();
    TCustomPanel::CMMouseLeave(Message);
}

void TProToolPanelTab::Resize()
{
    TCustomPanel::Resize();
    FScrollOffset = 0;
    ArrangePanels(-1);
}

void TProToolPanelTab::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int oldLeft = Left();
    TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (ComponentState() & (csLoading | csDesigning | csDestroying) || !FPanels)
        return;
    for (int i = 0; i < FPanels->Count(); ++i) {
        TProToolPanel* p = FPanels->Items(i)->Panel();
        if (!p || !p->Visible() || p->Floating())
            continue;
        if (Vertical())
            p->SetHeight(Height());
        else
            p->SetWidth(Width());
    }
    if (FPosition == ppRight && FHostForm && FHostForm->Visible())
        FHostForm->SetLeft(FHostForm->Left() + Left() - oldLeft);
}

// ---------------------------------------------------------------- window, timer and the parent form
void TProToolPanelTab::CreateWnd()
{
    TCustomPanel::CreateWnd();
    if (!(ComponentState() & csDesigning)) {
        SetTimer(this, TimerId, AutoOpenCloseInterval(FAutoOpenCloseSpeed));
        FTimerOn = true;
        HookParentForm();
    }
}

void TProToolPanelTab::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_DESTROY) {
        FWindowDestroyed = true;
        if (FTimerOn)
            KillTimer(this, TimerId);
        FTimerOn = false;
        UnhookParentForm();
    } else if (Message.Msg == WM_THEMECHANGED_MSG && FAutoThemeAdapt) {
        ThemeAdapt();
    }
    TCustomPanel::WndProc(Message);
}

void TProToolPanelTab::WMTimer(TWMTimer& Message)
{
    TCustomPanel::WMTimer(Message);
    if (Message.TimerID() == TimerId)
        TabTimerTick();
}

void TProToolPanelTab::HookParentForm()
{
    if (ComponentState() & (csDesigning | csDestroying))
        return;
    TWinControl* form = GetParentForm(this);
    if (!form || form == FHookedForm)
        return;
    UnhookParentForm();
    FHookedForm = form;
    form->FreeNotification(this);
    std::weak_ptr<bool> alive = FAlive;
    FHookId = form->AddMessageHook([this, alive](TMessage& m, const TMessageNext& Next) {
        auto a = alive.lock();
        if (!a || !*a) {
            Next(m);
            return true;
        }
        return ParentFormMessage(m, Next);
    });
}

void TProToolPanelTab::UnhookParentForm()
{
    TWinControl* form = FHookedForm;
    FHookedForm = nullptr;
    if (!form)
        return;
    if (!(form->ComponentState() & csDestroying)) {
        form->RemoveMessageHook(FHookId);
        form->RemoveFreeNotification(this);
    }
    FHookId = 0;
}

bool TProToolPanelTab::ParentFormMessage(TMessage& Message, const TMessageNext& Next)
{
    const Cardinal msg = Message.Msg;
    const WPARAM wparam = Message.WParam;
    if (msg == WM_SIZE)
        ParentFormResized();
    std::shared_ptr<bool> alive = FAlive;
    Next(Message);
    if (!*alive || !FHookedForm)
        return true;
    switch (msg) {
    case WM_CLOSE:
        ParentFormClosing();
        break;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
        ParentFormMoved();
        break;
    case WM_SYSCOMMAND:
        ParentFormSysCommand(wparam);
        break;
    default:
        break;
    }
    return true;
}

// Panels never reach beyond the form's client area.
void TProToolPanelTab::ParentFormResized()
{
    TWinControl* form = FHookedForm;
    if (!form)
        return;
    for (int i = 0; i < FPanels->Count(); ++i) {
        TProToolPanel* p = FPanels->Items(i)->Panel();
        if (!p || p->Floating())
            continue;
        if (Vertical() && p->Height() > form->ClientHeight())
            p->SetHeight(form->ClientHeight());
        else if (!Vertical() && p->Width() > form->ClientWidth())
            p->SetWidth(form->ClientWidth());
    }
}

// The host window of an open right or bottom panel stays glued to the strip.
void TProToolPanelTab::ParentFormMoved()
{
    if (FSliding || FOpenIndex < 0 || (FPosition != ppRight && FPosition != ppBottom) || !FHostForm
        || !FHostForm->Visible())
        return;
    const int oldLeft = FHostForm->Left(), oldTop = FHostForm->Top();
    const bool wasActive = ParentFormActive();
    PlaceHostForm();
    ActivateParentForm(wasActive);
    if (FHookedForm && (FHostForm->Left() != oldLeft || FHostForm->Top() != oldTop))
        FHookedForm->Invalidate();
}

// Maximising, minimising, restoring or moving the form by its caption with a
// right panel open: the host follows; maximising slides every panel in.
void TProToolPanelTab::ParentFormSysCommand(WPARAM Command)
{
    switch (Command) {
    case 0xF030: case 0xF020: case 0xF120: case 0xF012: case 0xF032: case 0xF122:
        break;
    default:
        return;
    }
    if (FSliding || FPosition != ppRight || FOpenIndex < 0 || !FHostForm || !FHostForm->Visible())
        return;
    const bool wasActive = ParentFormActive();
    const TPoint P = ClientToScreen(TPoint(0, 0));
    FHostForm->SetBounds(P.X - FHostForm->Width(), P.Y, FHostForm->Width(), Height());
    if (Command == 0xF030) {
        std::shared_ptr<bool> alive = FAlive;
        for (int i = 0; i < FPanels->Count() && *alive; ++i) {
            TToolPanel* e = FPanels->Items(i);
            if (e->State() == psOpened && e->Panel())
                SlidePanelIn(e->Panel());
        }
        if (!*alive)
            return;
    }
    ActivateParentForm(wasActive);
}

void TProToolPanelTab::ParentFormClosing()
{
    if (FPersist->AutoSave() && !(ComponentState() & csDesigning))
        SavePanels();
    if (FHostForm && FHostForm->Visible())
        FHostForm->Hide();
}

void TProToolPanelTab::PlaceHostForm()
{
    if (!FHostForm || !FHostForm->Visible() || FOpenIndex < 0)
        return;
    const TPoint p = ClientToScreen(TPoint(0, 0));
    if (FPosition == ppRight)
        FHostForm->SetBounds(p.X - FHostForm->Width(), p.Y, FHostForm->Width(), Height());
    else if (FPosition == ppBottom)
        FHostForm->SetBounds(p.X, p.Y - FHostForm->Height(), Width(), FHostForm->Height());
}

bool TProToolPanelTab::ParentFormActive() const
{
    TCustomForm* f = GetParentForm(const_cast<TProToolPanelTab*>(this));
    return f && f->Active();
}

void TProToolPanelTab::ActivateParentForm(bool WasActive)
{
    if (!WasActive)
        return;
    if (TCustomForm* f = GetParentForm(this))
        if (f->Showing() && f->CanFocus())
            f->SetFocus();
}

void TProToolPanelTab::TabTimerTick()
{
    if (FSliding)
        return;
    auto alive = FAlive;
    TPoint sp;
    GetCursorPos(sp);
    const TPoint P = ScreenToClient(sp);
    const int count = FPanels->Count();
    // Auto-open.
    if (FOpenCandidate >= 0 && FMouseInStrip && count > 0) {
        const bool inBand = Vertical() ? (Width() - FTabWidth < P.X && P.X < Width())
                                       : (Height() - FTabWidth < P.Y && P.Y < Height());
        if (inBand) {
            if (FOpenTicks < 2 || FAutoSliding) {
                ++FOpenTicks;
            } else if (TabAtPos(P.X, P.Y) == FOpenCandidate) {
                const int candidate = FOpenCandidate;
                FAutoSliding = true;
                FOpenCandidate = -1;
                OpenTab(candidate);
                if (!*alive)
                    return;
                FAutoSliding = false;
            } else {
                FOpenCandidate = -1;
            }
        }
    }
    // Auto-close.
    if (!FAutoCloseEnabled)
        return;
    ++FCloseTicks;
    if (FOpenIndex < 0 || FOpenIndex >= count) {
        FCloseTicks = 0;
        return;
    }
    TProToolPanel* open = FPanels->Items(FOpenIndex)->Panel();
    if (!open)
        return;
    bool inside = false;
    const TPoint pp = open->ScreenToClient(sp);
    if (pp.X >= 0 && pp.Y >= 0 && pp.X < open->ClientWidth() && pp.Y < open->ClientHeight())
        inside = true;
    else if (Vertical() ? (TabAtPos(0, P.Y) == FOpenIndex && P.X >= 0 && P.X < Width())
                        : (TabAtPos(P.X, 0) == FOpenIndex && P.Y >= 0 && P.Y < Height()))
        inside = true;
    else {
        // A window control anywhere on the panel (also inside a group on it) holding the focus.
        std::function<bool(TWinControl*)> focusedOn = [&](TWinControl* parent) {
            for (int i = 0; i < parent->ControlCount(); ++i)
                if (auto* wc = dynamic_cast<TWinControl*>(parent->Controls(i)))
                    if (wc->Focused() || focusedOn(wc))
                        return true;
            return false;
        };
        inside = focusedOn(open);
    }
    if (inside) {
        FCloseTicks = 0;
        return;
    }
    if (FCloseTicks != 10)
        return;
    if (FPosition == ppLeft) {
        FPanels->Items(FOpenIndex)->SetOpenWidth(open->Width());
        open->FOpenWidth = open->Width();
    }
    if (open->Floating() || open->Locked())
        return;
    FAutoSliding = true;
    FOpenCandidate = -1;
    SlidePanelIn(open);
    if (!*alive)
        return;
    FAutoSliding = false;
    FCloseTicks = 0;
}

// ---------------------------------------------------------------- opening and sliding
void TProToolPanelTab::OpenTab(int Index)
{
    if (FSliding || Index < 0 || Index >= FPanels->Count())
        return;
    auto alive = FAlive;
    const bool wasActive = ParentFormActive();
    for (int i = 0; i < FPanels->Count(); ++i) {
        if (i == Index)
            continue;
        TProToolPanel* p = FPanels->Items(i)->Panel();
        if (!p || !p->Visible() || p->Locked() || p->Floating() || p->Hidden())
            continue;
        FPanels->Items(i)->SetOpenWidth(Vertical() ? p->Width() : p->Height());
        SlidePanelIn(p);
        if (!*alive)
            return;
        if (IndexOfPanel(p) >= 0)
            p->Hide();
    }
    if (Index >= FPanels->Count() || Index == FOpenIndex)
        return;
    TToolPanel* e = FPanels->Items(Index);
    TProToolPanel* p = e->Panel();
    if (!p)
        return;
    const int ow = e->OpenWidth();
    switch (FPosition) {
    case ppLeft:
        p->SetAlign(alNone);
        p->SetParent(Parent());
        p->SetBounds(-ow, Top(), ow, Height());
        p->Show();
        BringToFront();
        break;
    case ppTop:
        p->SetAlign(alNone);
        p->SetParent(Parent());
        p->SetBounds(Left(), -ow, Width(), ow);
        p->Show();
        BringToFront();
        break;
    case ppRight:
    case ppBottom: {
        const TPoint P = ClientToScreen(TPoint(0, 0));
        p->SetAlign(alNone);
        p->SetParent(FHostForm);
        if (FPosition == ppRight) {
            p->SetBounds(2, 0, 0, Height());
            FHostForm->SetBounds(P.X, P.Y, 0, Height());
        } else {
            p->SetBounds(0, 2, Width(), 0);
            FHostForm->SetBounds(P.X, P.Y, Width(), 0);
        }
        p->SetAnchors(akLeft | akTop | akRight | akBottom);
        p->Show();
        FHostForm->SetFormStyle(fsStayOnTop);
        FHostForm->Show();
        FHostForm->BringToFront();
        ActivateParentForm(wasActive);
        break;
    }
    }
    FOpenIndex = Index;
    SlidePanelOut(p);
}

void TProToolPanelTab::Wait()
{
    const int d = SlideDelay(FSlideSpeed);
    if (SlideWait) {
        SlideWait(this, d);
        return;
    }
    if (d == 0)
        return;
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    long last = -1;
    for (;;) {
        const long ms =
            long(std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - start).count());
        if (ms >= d)
            break;
        if (ms % 3 == 0 && ms != last) {
            last = ms;
            Application->ProcessMessages();
        }
    }
}

// Called only while the strip is alive: a member call on a strip freed during a slide is itself undefined.
bool TProToolPanelTab::SlideAlive(const std::shared_ptr<bool>& Alive, TProToolPanel* APanel) const
{
    return *Alive && IndexOfPanel(APanel) >= 0;
}

void TProToolPanelTab::SlidePanelOut(TProToolPanel* APanel)
{
    if (FSliding || !APanel || IndexOfPanel(APanel) < 0)
        return;
    auto alive = FAlive;
    SlideFlag sliding(alive, &FSliding);
    if (OnTabSlideOut)
        OnTabSlideOut(this, IndexOfPanel(APanel), APanel);
    if (!*alive || !SlideAlive(alive, APanel))
        return;
    const bool wasActive = ParentFormActive();
    const int d = SlideDelay(FSlideSpeed);
    const int target = HasTabs() ? FTabWidth : 0;
    switch (FPosition) {
    case ppLeft:
        if (d == 0)
            APanel->SetLeft(FTabWidth);
        APanel->SetHeight(APanel->Height() + 1);
        APanel->SetHeight(APanel->Height() - 1);
        while (APanel->Left() < target) {
            Wait();
            if (!*alive || !SlideAlive(alive, APanel))
                return;
            APanel->SetLeft(std::min(APanel->Left() + SlideStep, FTabWidth));
        }
        break;
    case ppTop:
        if (d == 0)
            APanel->SetTop(FTabWidth);
        while (APanel->Top() < target) {
            Wait();
            if (!*alive || !SlideAlive(alive, APanel))
                return;
            APanel->SetTop(std::min(APanel->Top() + SlideStep, FTabWidth));
        }
        break;
    case ppRight:
    case ppBottom: {
        const bool right = FPosition == ppRight;
        const int ow = APanel->OpenWidth();
        APanel->SetAnchors(akLeft | akTop);
        if (right)
            APanel->SetBounds(2, 0, ow, Height());
        else
            APanel->SetBounds(0, 2, Width(), ow);
        const TPoint P = ClientToScreen(TPoint(0, 0));
        auto extent = [&] { return right ? FHostForm->Width() : FHostForm->Height(); };
        auto setExtent = [&](int e) {
            if (right)
                FHostForm->SetBounds(P.X - e, P.Y, e, Height());
            else
                FHostForm->SetBounds(P.X, P.Y - e, Width(), e);
        };
        if (d == 0)
            setExtent(ow);
        while (extent() < ow) {
            Wait();
            if (!*alive || !SlideAlive(alive, APanel))
                return;
            setExtent(std::min(extent() + SlideStep, ow));
        }
        if (right)
            APanel->SetBounds(2, 0, FHostForm->Width() - 2, Height());
        else
            APanel->SetBounds(0, 2, Width(), FHostForm->Height() - 2);
        APanel->SetAnchors(akLeft | akTop | akRight | akBottom);
        ActivateParentForm(wasActive);
        break;
    }
    }
    if (FWindowDestroyed)
        return;
    const int index = IndexOfPanel(APanel);
    FPanels->Items(index)->SetState(psOpened);
    if (APanel->AutoLock()) {
        APanel->FLocked = true;
        APanel->Invalidate();
        FSliding = false;
        PanelLockChanged(APanel);
        FOpenCandidate = -1;
        FOpenIndex = -1;
    }
    if (OnTabSlideOutDone)
        OnTabSlideOutDone(this, index, APanel);
}

void TProToolPanelTab::SlidePanelIn(TProToolPanel* APanel)
{
    if (FSliding || !APanel || IndexOfPanel(APanel) < 0)
        return;
    auto alive = FAlive;
    SlideFlag sliding(alive, &FSliding);
    if (OnTabSlideIn)
        OnTabSlideIn(this, IndexOfPanel(APanel), APanel);
    if (!*alive || !SlideAlive(alive, APanel))
        return;
    const bool wasActive = ParentFormActive();
    const int d = SlideDelay(FSlideSpeed);
    switch (FPosition) {
    case ppLeft:
        if (d == 0)
            APanel->SetLeft(-APanel->Width());
        while (APanel->Left() > -APanel->Width()) {
            Wait();
            if (!*alive || !SlideAlive(alive, APanel))
                return;
            APanel->SetLeft(APanel->Left() - SlideStep);
        }
        break;
    case ppTop:
        if (d == 0)
            APanel->SetTop(-APanel->Height());
        while (APanel->Top() > -APanel->Height()) {
            Wait();
            if (!*alive || !SlideAlive(alive, APanel))
                return;
            APanel->SetTop(APanel->Top() - SlideStep);
        }
        break;
    case ppRight:
    case ppBottom: {
        const bool right = FPosition == ppRight;
        TToolPanel* e = FPanels->Items(IndexOfPanel(APanel));
        const int ext = right ? FHostForm->Width() : FHostForm->Height();
        if (ext > 0 && e->State() == psOpened)
            APanel->FOpenWidth = ext;
        const TPoint P = ClientToScreen(TPoint(0, 0));
        auto extent = [&] { return right ? FHostForm->Width() : FHostForm->Height(); };
        auto setExtent = [&](int v) {
            if (right)
                FHostForm->SetBounds(P.X - v, P.Y, v, Height());
            else
                FHostForm->SetBounds(P.X, P.Y - v, Width(), v);
        };
        if (d == 0)
            setExtent(0);
        while (extent() > 0) {
            Wait();
            if (!*alive || !SlideAlive(alive, APanel))
                return;
            setExtent(extent() < 16 ? 0 : extent() - SlideStep);
        }
        APanel->Hide();
        ActivateParentForm(wasActive);
        break;
    }
    }
    if (FWindowDestroyed)
        return;
    const int index = IndexOfPanel(APanel);
    FPanels->Items(index)->SetState(psClosed);
    SendToBack();
    FOpenIndex = -1;
    if (OnTabSlideInDone)
        OnTabSlideInDone(this, index, APanel);
}

// ---------------------------------------------------------------- locking and docking
void TProToolPanelTab::PanelLockChanged(TProToolPanel* APanel)
{
    const int W = FTabWidth;
    const bool wasActive = ParentFormActive();
    SetThickness(HasTabs() ? W : 2);
    const int index = IndexOfPanel(APanel);
    auto otherLocked = [&](auto fn) {
        for (int i = 0; i < FPanels->Count(); ++i) {
            TProToolPanel* p = FPanels->Items(i)->Panel();
            if (p && p != APanel && p->Locked() && !p->Floating() && !p->Hidden())
                fn(p);
        }
    };
    if (APanel->Locked()) {
        switch (FPosition) {
        case ppLeft:
        case ppTop: {
            int shift = 0;
            otherLocked([&](TProToolPanel* p) { shift += p->OpenWidth(); });
            if (FPosition == ppLeft) {
                APanel->SetLeft(Left() + Width() + shift);
                APanel->SetWidth(APanel->OpenWidth());
                APanel->SetAlign(alLeft);
            } else {
                APanel->SetTop(Top() + Height() + shift);
                APanel->SetHeight(APanel->OpenWidth());
                APanel->SetAlign(alTop);
            }
            APanel->SendToBack();
            break;
        }
        case ppRight:
        case ppBottom: {
            const bool right = FPosition == ppRight;
            otherLocked([&](TProToolPanel* p) {
                if (right)
                    p->SetLeft(p->Left() - APanel->Width());
                else
                    p->SetTop(p->Top() - APanel->Height());
            });
            APanel->SetAnchors(akLeft | akTop);
            APanel->SetParent(Parent());
            if (right) {
                APanel->SetBounds(Left() - APanel->OpenWidth(), Top(), APanel->OpenWidth(), Height());
                APanel->SetAlign(alRight);
            } else {
                APanel->SetBounds(Left(), Top() - APanel->OpenWidth(), Width(), APanel->OpenWidth());
                APanel->SetAlign(alBottom);
            }
            otherLocked([&](TProToolPanel* p) {
                if (right)
                    p->SetWidth(p->OpenWidth());
                else
                    p->SetHeight(p->OpenWidth());
            });
            APanel->SendToBack();
            if (FHostForm)
                FHostForm->Hide();
            break;
        }
        }
        ArrangePanels(-1);
        FOpenIndex = -1;
    } else {
        switch (FPosition) {
        case ppLeft:
        case ppTop: {
            const bool left = FPosition == ppLeft;
            if (left)
                SetLeft(0);
            else
                SetTop(0);
            otherLocked([&](TProToolPanel* p) {
                if (left && p->Left() > APanel->Left())
                    p->SetLeft(p->Left() - APanel->Width());
                else if (!left && p->Top() > APanel->Top())
                    p->SetTop(p->Top() - APanel->Height());
            });
            FOpenIndex = index;
            ArrangePanels(-1);
            APanel->SetAlign(alNone);
            if (left)
                APanel->SetLeft(W);
            else
                APanel->SetTop(W);
            APanel->BringToFront();
            BringToFront();
            APanel->BringToFront();
            break;
        }
        case ppRight:
        case ppBottom: {
            const bool right = FPosition == ppRight;
            otherLocked([&](TProToolPanel* p) {
                if (right && p->Left() < APanel->Left())
                    p->SetLeft(p->Left() + APanel->OpenWidth());
                else if (!right && p->Top() < APanel->Top())
                    p->SetTop(p->Top() + APanel->OpenWidth());
                if (right)
                    p->SetWidth(p->OpenWidth());
                else
                    p->SetHeight(p->OpenWidth());
            });
            FOpenIndex = index;
            APanel->FOpenWidth = (right ? APanel->Width() : APanel->Height()) + 2;
            APanel->SetAlign(alNone);
            APanel->SetParent(FHostForm);
            const TPoint P = ClientToScreen(TPoint(0, 0));
            const int ow = APanel->OpenWidth();
            if (right) {
                APanel->SetBounds(2, 0, ow - 2, Height());
                FHostForm->SetBounds(P.X - ow, P.Y, ow, Height());
            } else {
                APanel->SetBounds(0, 2, Width(), ow - 2);
                FHostForm->SetBounds(P.X, P.Y - ow, Width(), ow);
            }
            APanel->SetAnchors(akLeft | akTop | akRight | akBottom);
            FHostForm->SetFormStyle(fsStayOnTop);
            FHostForm->Show();
            break;
        }
        }
        if (index >= 0)
            FPanels->Items(index)->SetState(psOpened);
    }
    ActivateParentForm(wasActive);
    Invalidate();
}

void TProToolPanelTab::DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TRect band;
    Accept = Source && DockOver(Source->Control(), band);
    if (Accept)
        Source->SetDockRect(band);
    TCustomPanel::DockOver(Source, X, Y, State, Accept);
}

void TProToolPanelTab::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)
{
    TCustomPanel::GetSiteInfo(Client, InfluenceRect, MousePos, CanDock);
    TRect band;
    if (DockOver(Client, band))
        InfluenceRect = TRect(std::min(band.Left, InfluenceRect.Left), std::min(band.Top, InfluenceRect.Top),
                              std::max(band.Right, InfluenceRect.Right), std::max(band.Bottom, InfluenceRect.Bottom));
    CanDock = CanDock && dynamic_cast<TProToolPanel*>(Client);
}

void TProToolPanelTab::DockDrop(TDragDockObject* Source, int X, int Y)
{
    if (auto* panel = Source ? dynamic_cast<TProToolPanel*>(Source->Control()) : nullptr) {
        DockDrop(panel);
        if (OnDockDrop)
            OnDockDrop(this, Source, X, Y);
    }
}

bool TProToolPanelTab::DockOver(TControl* Source, TRect& DockRect) const
{
    if (!dynamic_cast<TProToolPanel*>(Source))
        return false;
    const int w = Width(), h = Height();
    TRect r;
    switch (FPosition) {
    case ppLeft: r = TRect(0, 0, 100, h); break;
    case ppRight: r = TRect(w - 100, 0, w, h); break;
    case ppTop: r = TRect(0, 0, w, 100); break;
    case ppBottom: r = TRect(0, h - 100, w, h); break;
    }
    const TPoint o = ClientToScreen(TPoint(0, 0));
    DockRect = TRect(r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y);
    return true;
}

void TProToolPanelTab::DockDrop(TProToolPanel* APanel)
{
    if (!APanel || FSliding)
        return;
    if (APanel->FTab && APanel->FTab != this)
        APanel->FTab->RemovePanel(APanel);
    if (IndexOfPanel(APanel) < 0)
        AddPanel(APanel);
    APanel->FTab = this;
    APanel->EndFloat();
    APanel->FFocused = false;
    APanel->FDocked = false;
    APanel->SetDragKind(dkDrag);
    APanel->SetDragMode(dmManual);
    APanel->SetParent(Parent());
    const int ow = APanel->OpenWidth();
    switch (FPosition) {
    case ppLeft: APanel->SetBounds(FTabWidth, Top() + 10, ow, Height()); break;
    case ppRight: APanel->SetBounds(Left() - ow - 1, Top(), ow, Height()); break;
    case ppTop: APanel->SetBounds(Left(), FTabWidth, Width(), ow); break;
    case ppBottom: APanel->SetBounds(Left(), Top() - ow - 1, Width(), ow); break;
    }
    APanel->Show();
    APanel->FLocked = true;
    PanelLockChanged(APanel);
    if (Vertical())
        APanel->SetWidth(ow);
    else
        APanel->SetHeight(ow);
    APanel->Invalidate();
}

void TProToolPanelTab::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FHookedForm) {
        // The form's hooks went with it.
        FHookedForm = nullptr;
        FHookId = 0;
        return;
    }
    if (AComponent && AComponent == FImages) {
        FImages = nullptr;
        Invalidate();
        return;
    }
    if (auto* p = dynamic_cast<TProToolPanel*>(AComponent)) {
        if (!(ComponentState() & csDesigning))
            RemovePanel(p);
        Invalidate();
    }
}

void TProToolPanelTab::Loaded()
{
    TCustomPanel::Loaded();
    if (ComponentState() & csDesigning)
        return;
    // Panels placed inside the strip move out beside it.
    std::vector<TProToolPanel*> inside;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* p = dynamic_cast<TProToolPanel*>(Controls(i)))
            inside.push_back(p);
    for (TProToolPanel* p : inside) {
        if (IndexOfPanel(p) < 0) {
            TToolPanel* e = FPanels->Add();
            e->SetCaption(p->Caption());
            e->SetImageIndex(p->ImageIndex());
            e->SetPanel(p);
            e->SetOpenWidth(p->OpenWidth());
        }
        p->Hide();
        p->FTab = this;
        p->SetParent(Parent());
    }
    SetThickness(FTabWidth);
    BringToFront();
    if (FPersist->AutoLoad())
        LoadPanels();
    if (FAutoThemeAdapt)
        ThemeAdapt();
}

// ================================================================ TToolPanelForm
TToolPanelForm::TToolPanelForm(TProToolPanelTab* ATab) : TForm(nullptr), FTab(ATab)
{
    SetBorderStyle(bsNone);
    SetVisible(false);
    SetName("tabf" + ATab->Name());
}

LRESULT TToolPanelForm::HitTest(int X, int Y) const
{
    if (!FTab || FTab->FOpenIndex < 0 || FTab->FOpenIndex >= FTab->Panels()->Count())
        return HTCLIENT;
    TProToolPanel* p = FTab->Panels()->Items(FTab->FOpenIndex)->Panel();
    if (!p || !p->CanSize())
        return HTCLIENT;
    if (FTab->Position() == ppRight && X >= 0 && X < 2)
        return HTLEFT;
    if (FTab->Position() == ppBottom && Y >= 0 && Y < 2)
        return HTTOP;
    return HTCLIENT;
}

void TToolPanelForm::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_NCHITTEST) {
        const TPoint p = ScreenToClient(TPoint(short(Message.LParam & 0xFFFF), short((Message.LParam >> 16) & 0xFFFF)));
        Message.Result = HitTest(p.X, p.Y);
        return;
    }
    TForm::Dispatch(Message);
}

// The window has no frame: a press on the inner edge sizes it, its outer edge staying at the strip.
void TToolPanelForm::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseDown(Button, Shift, X, Y);
    FSizing = Button == mbLeft ? HitTest(X, Y) : HTCLIENT;
    if (FSizing == HTCLIENT)
        return;
    FSizeFrom = ClientToScreen(TPoint(X, Y));
    FSizeStart = BoundsRect();
    FTab->SetAutoClose(false);
}

void TToolPanelForm::MouseMove(TShiftState Shift, int X, int Y)
{
    TForm::MouseMove(Shift, X, Y);
    if (FSizing == HTCLIENT || FSizing == 0)
        return;
    const TPoint p = ClientToScreen(TPoint(X, Y));
    TRect r = FSizeStart;
    if (FSizing == HTLEFT)
        r.Left = std::min(r.Right - 10, r.Left + p.X - FSizeFrom.X);
    else
        r.Top = std::min(r.Bottom - 10, r.Top + p.Y - FSizeFrom.Y);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    FTab->ResetAutoCloseCounter();
}

void TToolPanelForm::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseUp(Button, Shift, X, Y);
    if (FSizing == HTCLIENT || FSizing == 0)
        return;
    FSizing = 0;
    FTab->SetAutoClose(true);
    // The open panel opens to its new size from now on.
    if (FTab->FOpenIndex >= 0 && FTab->FOpenIndex < FTab->Panels()->Count())
        if (TProToolPanel* p = FTab->Panels()->Items(FTab->FOpenIndex)->Panel())
            p->SetOpenWidth((FTab->Position() == ppRight ? Width() : Height()));
}
