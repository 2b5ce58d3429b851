// Window timers, posted messages and the TTimer component.
#include <QApplication>
#include <QTimer>
#include <deque>
#include <map>

#include "platform/gui/Controls_p.h"
#include "platform/gui/Forms.h"

namespace {
struct TimerEntry {
    QTimer* Timer = nullptr;
    UINT Interval = 0;
    std::function<void()> Fire;
};
std::map<std::pair<const void*, UINT_PTR>, TimerEntry> g_timers;

struct Posted {
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};
std::deque<Posted> g_posted;
bool g_deliveryScheduled = false;

void DeliverTimer(const void* owner, UINT_PTR id)
{
    auto it = g_timers.find({owner, id});
    if (it == g_timers.end())
        return;
    std::function<void()> fire = it->second.Fire;
    fire();
}
}  // namespace

namespace gui_state {
void TimerSet(const void* owner, UINT_PTR id, UINT ms, std::function<void()> fire)
{
    TimerEntry& e = g_timers[{owner, id}];
    e.Interval = ms;
    e.Fire = std::move(fire);
    if (ManualTimers) {
        delete e.Timer;
        e.Timer = nullptr;
        return;
    }
    if (!e.Timer) {
        e.Timer = new QTimer();
        QObject::connect(e.Timer, &QTimer::timeout, [owner, id] { RunGuarded([&] { DeliverTimer(owner, id); }); });
    }
    e.Timer->start(int(ms ? ms : 1));
}

bool TimerKill(const void* owner, UINT_PTR id)
{
    auto it = g_timers.find({owner, id});
    if (it == g_timers.end())
        return false;
    QTimer* t = it->second.Timer;
    g_timers.erase(it);
    if (t) {
        t->stop();
        t->deleteLater();
    }
    return true;
}

void KillAllTimers(const void* owner)
{
    for (auto it = g_timers.begin(); it != g_timers.end();) {
        if (it->first.first == owner) {
            if (QTimer* t = it->second.Timer) {
                t->stop();
                t->deleteLater();
            }
            it = g_timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool TimerExists(const void* owner, UINT_PTR id)
{
    return g_timers.count({owner, id}) > 0;
}

bool FireTimer(const void* owner, UINT_PTR id)
{
    if (!TimerExists(owner, id))
        return false;
    DeliverTimer(owner, id);
    return true;
}

int FireAllTimers()
{
    std::vector<std::pair<const void*, UINT_PTR>> keys;
    for (auto& [k, e] : g_timers)
        keys.push_back(k);
    int n = 0;
    for (auto& k : keys)
        if (TimerExists(k.first, k.second)) {
            DeliverTimer(k.first, k.second);
            ++n;
        }
    return n;
}

void DeliverPostedMessages()
{
    g_deliveryScheduled = false;
    // What is posted while delivering waits for the next round.
    size_t n = g_posted.size();
    for (size_t i = 0; i < n && !g_posted.empty(); ++i) {
        Posted p = g_posted.front();
        g_posted.pop_front();
        TMsg msg{p.Wnd, p.Msg, p.WParam, p.LParam, 0, TPoint()};
        RunGuarded([&] {
            if (!FilterMessage(msg)) {
                TWinControl* c = FindControl(msg.hwnd);
                auto* form = dynamic_cast<TCustomForm*>(c);
                if (msg.message == WM_QUIT && !msg.hwnd) {
                    if (Application)
                        Application->Terminate();
                } else if (form && msg.message == CM_RELEASE)
                    delete form;
                // A posted key-down meets the dialog handling first, as a typed one does.
                else if (c && !(msg.message == WM_KEYDOWN && DialogKey(c, Word(msg.wParam), msg.lParam)))
                    c->Perform(msg.message, msg.wParam, msg.lParam);
            }
        });
    }
    if (!g_posted.empty() && !g_deliveryScheduled) {
        g_deliveryScheduled = true;
        QMetaObject::invokeMethod(qApp, [] { DeliverPostedMessages(); }, Qt::QueuedConnection);
    }
}
}  // namespace gui_state

namespace {
void ScheduleDelivery()
{
    if (!g_deliveryScheduled && qApp) {
        g_deliveryScheduled = true;
        QMetaObject::invokeMethod(qApp, [] { gui_state::DeliverPostedMessages(); }, Qt::QueuedConnection);
    }
}
}

bool PostMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    bool app = Application && Handle == Application->Handle();
    if (!app && !FindControl(Handle))
        return false;
    g_posted.push_back({Handle, Msg, WParam, LParam});
    ScheduleDelivery();
    return true;
}

void PostQuitMessage(int ExitCode)
{
    g_posted.push_back({0, WM_QUIT, WPARAM(ExitCode), 0});
    ScheduleDelivery();
}

bool PeekMessage(TMsg& Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, UINT RemoveMsg)
{
    bool anyNumber = MsgFilterMin == 0 && MsgFilterMax == 0;
    for (auto it = g_posted.begin(); it != g_posted.end(); ++it) {
        bool quit = it->Msg == WM_QUIT && !it->Wnd;
        if (!quit && ((Wnd && it->Wnd != Wnd) || (!anyNumber && (it->Msg < MsgFilterMin || it->Msg > MsgFilterMax))))
            continue;
        Msg = TMsg{it->Wnd, it->Msg, it->WParam, it->LParam, 0, TPoint()};
        GetCursorPos(Msg.pt);
        // The quit message stays: taken here, it would be lost to the event loop.
        if ((RemoveMsg & PM_REMOVE) && !quit)
            g_posted.erase(it);
        return true;
    }
    return false;
}

UINT_PTR SetTimer(TWinControl* Control, UINT_PTR IDEvent, UINT Elapse)
{
    if (!Control)
        return 0;
    HWND h = Control->Handle();
    gui_state::TimerSet(Control, IDEvent, Elapse, [Control, h, IDEvent] {
        if (FindControl(h) != Control)
            return;
        TMsg msg{h, WM_TIMER, IDEvent, 0, 0, TPoint()};
        if (!gui_state::FilterMessage(msg))
            Control->Perform(WM_TIMER, IDEvent, 0);
    });
    return IDEvent ? IDEvent : 1;
}

bool KillTimer(TWinControl* Control, UINT_PTR IDEvent)
{
    return Control && gui_state::TimerKill(Control, IDEvent);
}

UINT_PTR SetTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse, void*)
{
    return SetTimer(FindControl(Handle), IDEvent, Elapse);
}

bool KillTimer(HWND Handle, UINT_PTR IDEvent)
{
    return KillTimer(FindControl(Handle), IDEvent);
}

// ---------------------------------------------------------------- TTimer
TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    UpdateTimer();
}

TTimer::~TTimer()
{
    gui_state::TimerKill(this, 0);
}

void TTimer::SetEnabled(bool v)
{
    if (v == FEnabled)
        return;
    FEnabled = v;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal v)
{
    if (v == FInterval)
        return;
    FInterval = v;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    gui_state::TimerKill(this, 0);
    if (FEnabled && FInterval > 0)
        gui_state::TimerSet(this, 0, FInterval, [this] { Timer(); });
}

void TTimer::Timer()
{
    if (FEnabled && OnTimer)
        OnTimer(this);
}
