#pragma once
// Private to platform/gui: where controls meet the toolkit's widgets.
#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Controls.h"

class QPainter;
class QEvent;

// What CreateNativeWidget returns: a ready widget the control takes over.
struct TNativeWidget {
    QWidget* Widget = nullptr;
};
// The control whose window is being made takes w at once, so that what its
// CreateNativeWidget applies to the widget after wrapping it reaches it.
TNativeWidget* WrapWidget(QWidget* w);

struct TMessageHookEntry {
    int Id = 0;
    TMessageHookEx Hook;
    bool Removed = false;
};

class TWinControlImpl {
public:
    TWinControl* Control = nullptr;
    QPointer<QWidget> Widget;
    QObject* Bridge = nullptr;
    bool OwnPaint = true;              // painted through WM_ERASEBKGND and WM_PAINT
    QPainter* Painter = nullptr;       // while painting
    TMessage* InFlight = nullptr;      // the message made from the toolkit event being handled
    bool PassToToolkit = false;        // the in-flight message reached DefaultHandler
    int ClientTop = 0;                 // a form's menu bar above the client area
    bool Popup = false;                // WS_POPUP: a window of its own, owned by the parent's, placed on the screen
    TControl* MouseControl = nullptr;  // the graphic child under the mouse (it had CM_MOUSEENTER)
    TCursor HitCursor = crDefault;     // the sizing cursor of the window's hit test under the mouse
    // Message hooks, oldest first; entries are shared with the messages passing them.
    std::vector<std::shared_ptr<TMessageHookEntry>> Hooks;
    // Top-level windows: positions and sizes the program gave the window whose
    // report from the window system may still come (they are no user's move).
    std::vector<QPoint> SetPositions;
    std::vector<QSize> SetSizes;
    bool ApplyingGeometry = false;
    // False once the control is being destroyed (held by the messages passing its hooks).
    std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
};
TWinControlImpl& WinImpl(TWinControl* c);

// The control's widget (the window is made when needed).
QWidget* ControlWidget(TWinControl* c);
// The control a widget belongs to, nullptr when none.
TWinControl* WidgetControl(const QObject* w);
// True when a move (or size) the window system reports for a top-level window
// is only the echo of one the program made.
bool IsGeometryEcho(TWinControl* c, bool Move, int A, int B);
// Events of a widget inside a standard control (the edit of a combo box)
// become messages of that control too; with MouseOnly only its mouse buttons
// and moves, at points of the control's own window.
void InstallMessageBridge(QWidget* w, TWinControl* c, bool MouseOnly = false);

// What pops up a control's PopupMenu at a screen point (set by the menus unit).
extern std::function<void(TPopupMenu* Menu, TControl* Control, TPoint ScreenPos)> PopupMenuHandler;

// The toolkit cursor of a cursor number (standard or registered).
QCursor CursorFor(TCursor c);

// Drag and dock (DragDock.cpp): true when the message belongs to a framework drag (a move,
// release or Escape while one runs; the press that starts an automatic drag).
bool DragDockWndProc(TControl* Control, TMessage& Message);
// A control goes: its drag ends, it leaves its dock site, its dock clients lose their site.
void DragDockControlGone(TControl* Control);

// Layer state shared by the units of platform/gui.
namespace gui_state {
// Rethrown by the test hooks; an exception from an event handler is kept
// here in tests instead of being shown.
extern bool TestMode;
extern bool ManualTimers;
extern std::exception_ptr PendingException;
// Called in a catch block: the exception of a handler run by the event loop.
void HandleException();
void RethrowPending();
// The focus moves (WM_KILLFOCUS, WM_SETFOCUS, CM_EXIT, CM_ENTER).
void ChangeFocus(TWinControl* to);
TWinControl* Focused();
// Passes a loop message through Application->OnMessage; true when handled there.
bool FilterMessage(TMsg& msg);
// A key-down of Tab, an arrow, Return or Escape that the control does not ask for goes to its
// form's dialog handling (CM_DIALOGKEY) first; true when the form took it.
bool DialogKey(TWinControl* c, Word vk, LPARAM keyData);
void DeliverPostedMessages();
// The last hint text shown (for tests).
extern AnsiString LastHint;
// The shift state of the toolkit's keyboard modifiers.
TShiftState ShiftFromModifiers(unsigned qtModifiers);
// Input state kept from the input events.
void NoteModifiers(unsigned qtModifiers);
void NoteButtons(unsigned qtButtons);
void NoteKey(Word vk, bool down);
// Where the pointer is: Real for an event of the window system's own (then GetCursorPos asks
// the window system, as the pointer may have gone where the program sees no events: out of its
// windows, over a window that keeps its moves to itself); otherwise, as the simulated input of
// the tests and drags put it, the point noted here.
void NoteCursorPos(TPoint p, bool Real = false);
// Milliseconds of the input clock the simulator advances (0: use event time).
extern unsigned SimulatedTime;
// Virtual key of a toolkit key and back.
Word VirtualKeyFromQt(int qtKey, unsigned qtModifiers);
int QtKeyFromVirtualKey(Word vk);
// Timers.
bool FireTimer(const void* owner, UINT_PTR id);
int FireAllTimers();
bool TimerExists(const void* owner, UINT_PTR id);
void TimerSet(const void* owner, UINT_PTR id, UINT ms, std::function<void()> fire);
bool TimerKill(const void* owner, UINT_PTR id);
void KillAllTimers(const void* owner);
// Number of toolkit events being handled right now.
extern int EventDepth;
}

// Runs a piece of the layer called by the toolkit (an event, a signal, a
// timer) as one toolkit event: an exception of a handler goes to the layer.
template <class F>
void RunGuarded(F&& f)
{
    ++gui_state::EventDepth;
    try {
        f();
    } catch (...) {
        gui_state::HandleException();
    }
    --gui_state::EventDepth;
}
