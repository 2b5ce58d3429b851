// The framework's drag and dock of controls, on the layer's mouse messages:
// while a drag runs, the moves, the release and Escape that reach any control
// (the source holds the mouse) drive it; the control under the pointer is
// asked whether it accepts (DragOver / DockOver) and takes the drop
// (DragDrop / DockDrop). Floating puts a control in a tool window of its own.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

#include "platform/gui/Controls.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Forms.h"

// Reaches the protected and private parts of controls and drag objects for the drag.
struct TDragDockAccess {
    static void Over(TControl* c, TObject* source, TPoint p, TDragState s, bool& accept)
    {
        c->DragOver(source, p.X, p.Y, s, accept);
    }
    static void DockOver(TWinControl* c, TDragDockObject* source, TPoint p, TDragState s, bool& accept)
    {
        c->DockOver(source, p.X, p.Y, s, accept);
    }
    static void SiteInfo(TWinControl* c, TControl* client, TRect& r, TPoint pos, bool& canDock)
    {
        c->GetSiteInfo(client, r, pos, canDock);
    }
    static bool UnDock(TWinControl* site, TWinControl* newTarget, TControl* client)
    {
        return site->DoUnDock(newTarget, client);
    }
    static void StartDrag(TControl* c, TDragObject*& o) { c->DoStartDrag(o); }
    static void StartDock(TControl* c, TDragDockObject*& o) { c->DoStartDock(o); }
    static void EndDrag(TControl* c, TObject* target, TPoint p, bool dock)
    {
        if (dock)
            c->DoEndDock(target, p.X, p.Y);
        else
            c->DoEndDrag(target, p.X, p.Y);
    }
    static TWinControl*& Host(TControl* c) { return c->FHostDockSite; }
    static std::vector<TControl*>& Clients(TWinControl* w) { return w->FDockClients; }
    static void Track(TDragObject* o, TControl* target, TPoint pos)
    {
        o->FDragTarget = target;
        o->FDragPos = pos;
    }
    static void End(TDragObject* o, bool dropped, bool cancelling)
    {
        o->FDropped = dropped;
        o->FCancelling = cancelling;
    }
    static void SetDropOn(TDragDockObject* o, TControl* c) { o->FDropOnControl = c; }
};
using A = TDragDockAccess;

namespace {

constexpr int DefaultThreshold = 5;

struct TDragRun {
    TControl* Source = nullptr;
    TDragObject* Object = nullptr;
    bool OwnObject = false;
    bool Dock = false;
    bool Started = false;
    TPoint Start;
    int Threshold = DefaultThreshold;
    TControl* Target = nullptr;   // had dsDragEnter
    bool Accepted = false;
    TPoint Pos;
    TPoint Grab;                  // the pointer in the source when the drag began
    TCursor SavedCursor = crDefault;
};

std::unique_ptr<TDragRun> g_drag;
TPoint g_lastMouse;
bool g_haveMouse = false;
std::set<TWinControl*> g_floatHosts;

TObject* SourceOf(TDragObject* o)
{
    if (auto* c = dynamic_cast<TBaseDragControlObject*>(o); c && !dynamic_cast<TDragDockObject*>(o))
        return c->Control();
    return o;
}

bool Inside(TControl* c, TControl* ancestor)
{
    for (; c; c = c->Parent())
        if (c == ancestor)
            return true;
    return false;
}

// The dock site that would take the source at a screen point.
TWinControl* DockSiteAt(TDragRun& run, const TPoint& pos)
{
    for (TControl* c = FindDragTarget(pos, false); c; c = c->Parent()) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->DockSite() || Inside(w, run.Source))
            continue;
        TRect influence;
        bool canDock = true;
        A::SiteInfo(w, run.Source, influence, pos, canDock);
        if (canDock && PtInRect(influence, pos))
            return w;
    }
    return nullptr;
}

void ShowCursor(TDragRun& run, bool accepted)
{
    const TPoint local = run.Target ? run.Target->ScreenToClient(run.Pos) : run.Pos;
    Screen->SetCursor(run.Object->GetDragCursor(accepted, local.X, local.Y));
}

bool SendOver(TDragRun& run, TControl* target, TDragState state)
{
    // A control refuses unless its DragOver says otherwise; a dock site takes unless it refuses.
    bool accept = run.Dock;
    const TPoint local = target->ScreenToClient(run.Pos);
    if (run.Dock) {
        auto* d = static_cast<TDragDockObject*>(run.Object);
        if (state != dsDragLeave) {
            // By default the control would fill the site's client area.
            const TPoint o = target->ClientToScreen(TPoint(0, 0));
            d->SetDockRect(TRect(o.X, o.Y, o.X + target->ClientWidth(), o.Y + target->ClientHeight()));
            d->SetFloating(false);
        }
        A::DockOver(static_cast<TWinControl*>(target), d, local, state, accept);
    } else {
        A::Over(target, SourceOf(run.Object), local, state, accept);
    }
    return accept;
}

void FloatingRect(TDragRun& run)
{
    auto* d = static_cast<TDragDockObject*>(run.Object);
    const int w = run.Source->Width(), h = run.Source->Height();
    const TPoint at(run.Pos.X - run.Grab.X, run.Pos.Y - run.Grab.Y);
    d->SetDockRect(TRect(at.X, at.Y, at.X + w, at.Y + h));
    d->SetFloating(true);
}

void DragTo(const TPoint& pos)
{
    TDragRun& run = *g_drag;
    run.Pos = pos;
    if (!run.Started) {
        if (std::abs(pos.X - run.Start.X) < run.Threshold && std::abs(pos.Y - run.Start.Y) < run.Threshold)
            return;
        run.Started = true;
    }
    TControl* target = run.Dock ? DockSiteAt(run, pos) : FindDragTarget(pos, false);
    A::Track(run.Object, target, pos);
    if (run.Dock)
        FloatingRect(run);
    if (target != run.Target) {
        if (run.Target)
            SendOver(run, run.Target, dsDragLeave);
        if (!g_drag)
            return;
        run.Target = target;
        run.Accepted = target && SendOver(run, target, dsDragEnter);
    } else if (target) {
        run.Accepted = SendOver(run, target, dsDragMove);
    }
    if (!g_drag)
        return;
    if (run.Dock && !run.Accepted)
        FloatingRect(run);
    ShowCursor(run, run.Accepted || (run.Dock && static_cast<TDragDockObject*>(run.Object)->Floating()));
}

void DragDone(bool drop)
{
    if (!g_drag)
        return;
    std::unique_ptr<TDragRun> run = std::move(g_drag);
    TControl* source = run->Source;
    const bool accepted = drop && run->Started && run->Accepted && run->Target;
    TControl* target = accepted ? run->Target : nullptr;
    if (run->Target && !accepted)
        SendOver(*run, run->Target, dsDragLeave);
    A::End(run->Object, accepted, !drop);
    TPoint local = target ? target->ScreenToClient(run->Pos) : source->ScreenToClient(run->Pos);
    Screen->SetCursor(run->SavedCursor);
    if (GetCapture() && source->MouseCapture())
        ReleaseCapture();
    source->SetControlState(source->ControlState() & ~csClicked);
    try {
        if (run->Dock) {
            auto* d = static_cast<TDragDockObject*>(run->Object);
            if (accepted)
                static_cast<TWinControl*>(target)->DockDrop(d, local.X, local.Y);
            else if (drop && run->Started && d->Floating())
                source->ManualFloat(d->DockRect());
            run->Object->Finished(target, local.X, local.Y, accepted);
            A::EndDrag(source, target ? target : source->HostDockSite(), local, true);
        } else {
            if (accepted)
                target->DragDrop(SourceOf(run->Object), local.X, local.Y);
            run->Object->Finished(target, local.X, local.Y, accepted);
            A::EndDrag(source, target, local, false);
        }
    } catch (...) {
        if (run->OwnObject)
            delete run->Object;
        throw;
    }
    if (run->OwnObject)
        delete run->Object;
}

void ForgetClient(TWinControl* site, TControl* c)
{
    std::vector<TControl*>& list = A::Clients(site);
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
    // An empty floating window goes with its last control.
    if (list.empty() && g_floatHosts.count(site)) {
        g_floatHosts.erase(site);
        site->Hide();
        if (auto* f = dynamic_cast<TCustomForm*>(site))
            f->Release();
    }
}

// Moves the control into a site's client area: aligned, or at a screen rectangle.
void PlaceIn(TControl* c, TWinControl* site, TAlign align, const TRect& screenRect)
{
    TWinControl* old = A::Host(c);
    c->SetAlign(alNone);
    c->SetParent(site);
    if (align != alNone) {
        c->SetAlign(align);
    } else {
        const TPoint p = site->ScreenToClient(TPoint(screenRect.Left, screenRect.Top));
        c->SetBounds(p.X, p.Y, screenRect.Width(), screenRect.Height());
    }
    if (old != site) {
        if (old)
            ForgetClient(old, c);
        A::Clients(site).push_back(c);
        A::Host(c) = site;
    }
    c->SetVisible(true);
}

}  // namespace

// ---------------------------------------------------------------- drag objects
TDragObject::~TDragObject() = default;

TCursor TDragObject::GetDragCursor(bool Accepted, int, int)
{
    return Accepted ? crDrag : crNoDrop;
}

TCursor TBaseDragControlObject::GetDragCursor(bool Accepted, int, int)
{
    return Accepted ? FControl->DragCursor() : crNoDrop;
}

TCursor TDragDockObject::GetDragCursor(bool, int, int)
{
    return crDefault;
}

// ---------------------------------------------------------------- TControl: drag
void TControl::BeginDrag(bool Immediate, int Threshold)
{
    if (g_drag)
        return;
    auto run = std::make_unique<TDragRun>();
    run->Source = this;
    run->Dock = FDragKind == dkDock;
    TPoint p;
    if (g_haveMouse)
        p = g_lastMouse;
    else
        GetCursorPos(p);
    run->Start = run->Pos = p;
    run->Threshold = Threshold < 0 ? DefaultThreshold : Threshold;
    run->Grab = ScreenToClient(p);
    run->SavedCursor = Screen->Cursor();
    if (run->Dock) {
        TDragDockObject* d = nullptr;
        DoStartDock(d);
        if (!d) {
            d = new TDragDockObject(this);
            run->OwnObject = true;
        }
        run->Object = d;
    } else {
        TDragObject* o = nullptr;
        DoStartDrag(o);
        if (!o) {
            o = new TDragControlObject(this);
            run->OwnObject = true;
        }
        run->Object = o;
    }
    g_drag = std::move(run);
    if (Immediate) {
        g_drag->Started = true;
        DragTo(p);
    }
}

void TControl::EndDrag(bool Drop)
{
    if (Dragging())
        DragDone(Drop);
}

bool TControl::Dragging() const
{
    return g_drag && g_drag->Source == this;
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = bool(OnDragOver);
    if (OnDragOver)
        OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DoStartDrag(TDragObject*& DragObject)
{
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DoStartDock(TDragDockObject*& DragObject)
{
    if (OnStartDock)
        OnStartDock(this, DragObject);
}

void TControl::DoEndDock(TObject* Target, int X, int Y)
{
    if (OnEndDock)
        OnEndDock(this, Target, X, Y);
}

// ---------------------------------------------------------------- TControl: dock
bool TControl::Floating() const
{
    return FHostDockSite && g_floatHosts.count(FHostDockSite);
}

bool TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide)
{
    if (!NewDockSite) {
        const TPoint o = ClientToScreen(TPoint(0, 0));
        return ManualFloat(TRect(o.X, o.Y, o.X + Width(), o.Y + Height()));
    }
    TDragDockObject d(this);
    d.SetDropAlign(ControlSide);
    A::SetDropOn(&d, DropControl);
    d.SetFloating(false);
    const TPoint o = NewDockSite->ClientToScreen(TPoint(0, 0));
    d.SetDockRect(TRect(o.X, o.Y, o.X + Width(), o.Y + Height()));
    NewDockSite->DockDrop(&d, 0, 0);
    return FHostDockSite == NewDockSite && FParent == NewDockSite;
}

bool TControl::ManualFloat(const TRect& ScreenPos)
{
    const int w = ScreenPos.Width(), h = ScreenPos.Height();
    if (Floating()) {
        FHostDockSite->SetBounds(ScreenPos.Left, ScreenPos.Top, FHostDockSite->Width(), FHostDockSite->Height());
        FHostDockSite->SetClientWidth(w);
        FHostDockSite->SetClientHeight(h);
        return true;
    }
    if (FHostDockSite && !A::UnDock(FHostDockSite, nullptr, this))
        return false;
    auto* host = new TForm(nullptr);
    host->SetBorderStyle(bsSizeToolWin);
    host->SetCaption(Caption());
    host->SetDockSite(true);
    host->HandleNeeded();
    host->SetBounds(ScreenPos.Left, ScreenPos.Top, w, h);
    host->SetClientWidth(w);
    host->SetClientHeight(h);
    g_floatHosts.insert(host);
    PlaceIn(this, host, alClient, ScreenPos);
    host->Show();
    // The client area, not the frame, starts at ScreenPos.
    const TPoint client = host->ClientOrigin();
    host->SetBounds(host->Left() + ScreenPos.Left - client.X, host->Top() + ScreenPos.Top - client.Y, host->Width(),
                    host->Height());
    return true;
}

// ---------------------------------------------------------------- TWinControl: dock site
TControl* TWinControl::DockClients(int Index) const
{
    return Index >= 0 && Index < int(FDockClients.size()) ? FDockClients[size_t(Index)] : nullptr;
}

void TWinControl::DockDrop(TDragDockObject* Source, int X, int Y)
{
    TControl* c = Source ? Source->Control() : nullptr;
    if (!c || c == this || Inside(this, c))
        return;
    TWinControl* old = c->HostDockSite();
    if (old && old != this && !A::UnDock(old, this, c))
        return;
    PlaceIn(c, this, Source->DropAlign(), Source->DockRect());
    if (OnDockDrop)
        OnDockDrop(this, Source, X, Y);
}

void TWinControl::DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (OnDockOver)
        OnDockOver(this, Source, X, Y, State, Accept);
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client)
{
    bool allow = true;
    if (OnUnDock)
        OnUnDock(this, Client, NewTarget, allow);
    return allow;
}

void TWinControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)
{
    const TPoint o = ClientToScreen(TPoint(0, 0));
    InfluenceRect = TRect(o.X - 10, o.Y - 10, o.X + ClientWidth() + 10, o.Y + ClientHeight() + 10);
    CanDock = Showing();
    if (OnGetSiteInfo)
        OnGetSiteInfo(this, Client, InfluenceRect, MousePos, CanDock);
}

// ---------------------------------------------------------------- functions
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled)
{
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        TCustomForm* f = Screen->Forms(i);
        if (!f->Showing() || !PtInRect(f->ClientRect(), f->ScreenToClient(Pos)))
            continue;
        TControl* c = f;
        while (auto* w = dynamic_cast<TWinControl*>(c)) {
            TControl* child = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled, true);
            if (!child)
                break;
            c = child;
        }
        return c;
    }
    return nullptr;
}

void CancelDrag()
{
    DragDone(false);
}

TDragObject* DragObject()
{
    return g_drag ? g_drag->Object : nullptr;
}

// ---------------------------------------------------------------- the layer's side
bool DragDockWndProc(TControl* Control, TMessage& m)
{
    const bool mouse = m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL;
    if (mouse) {
        g_lastMouse = Control->ClientToScreen(TPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
        g_haveMouse = true;
    }
    if (!g_drag) {
        if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && Control->DragMode() == dmAutomatic) {
            Control->BeginDrag(true);
            return true;
        }
        return false;
    }
    switch (m.Msg) {
    case WM_MOUSEMOVE: DragTo(g_lastMouse); return true;
    case WM_LBUTTONUP: DragDone(true); return true;
    case WM_RBUTTONDOWN: DragDone(false); return true;
    case WM_KEYDOWN:
        if (m.WParam != VK_ESCAPE)
            return false;
        DragDone(false);
        return true;
    default: return mouse;
    }
}

void DragDockControlGone(TControl* Control)
{
    if (g_drag) {
        if (g_drag->Source == Control) {
            if (g_drag->OwnObject)
                delete g_drag->Object;
            g_drag.reset();
        } else if (g_drag->Target == Control) {
            g_drag->Target = nullptr;
            g_drag->Accepted = false;
        }
    }
    if (TWinControl*& host = A::Host(Control)) {
        TWinControl* site = host;
        host = nullptr;
        ForgetClient(site, Control);
    }
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        g_floatHosts.erase(w);
        for (TControl* c : A::Clients(w))
            A::Host(c) = nullptr;
        A::Clients(w).clear();
    }
}
