#include "platform/gui/Controls.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPolygon>
#include <QRegion>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "platform/gui/ActnList.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/EraseLast_p.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/Menus.h"
#include "platform/gui/QtText_p.h"

std::function<void(TPopupMenu*, TControl*, TPoint)> PopupMenuHandler;

namespace {
std::unordered_map<HWND, TWinControl*> g_windows;
HWND g_nextHandle = 0x100;
TWinControl* g_focused = nullptr;
TControl* g_capture = nullptr;
bool g_toolkitMenu = false;     // a widget is being asked for its own context menu
unsigned g_modifiers = 0;       // Qt::KeyboardModifiers
unsigned g_buttons = 0;         // Qt::MouseButtons
std::set<Word> g_keysDown;
TPoint g_cursorPos;
bool g_cursorReal = false;      // the last pointer event came from the window system

struct LastPress {
    HWND wnd = 0;
    int button = 0;
    quint64 time = 0;
    TPoint pos;
    bool valid = false;
} g_lastPress;

// A control that paints itself through its messages.
class TControlWidget : public QWidget {
public:
    explicit TControlWidget(TWinControlImpl* impl) : Impl(impl)
    {
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
    }
    TWinControlImpl* Impl;

protected:
    void paintEvent(QPaintEvent*) override;
};

class TEventBridge : public QObject {
public:
    TEventBridge(TWinControl* c, bool MouseOnly) : Control(c), MouseOnly(MouseOnly) {}
    TWinControl* Control;
    // Only the buttons and moves of the mouse, at points of the control's own window.
    bool MouseOnly;
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    bool Mouse(QWidget* w, QMouseEvent* ev);
    bool Wheel(QWidget* w, QWheelEvent* ev);
    bool Key(QWidget* w, QKeyEvent* ev);
    bool InputMethod(QWidget* w, QInputMethodEvent* ev);
    bool Hint(QWidget* w, QHelpEvent* ev);
};

WPARAM MouseKeys()
{
    WPARAM k = 0;
    if (g_buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (g_buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (g_buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (g_modifiers & Qt::ShiftModifier) k |= MK_SHIFT;
    if (g_modifiers & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

bool IsAlive(TWinControl* c, HWND h)
{
    auto it = g_windows.find(h);
    return h && it != g_windows.end() && it->second == c;
}

// Hands a message made from a toolkit event to the control, as the message in flight (a handler may
// let the toolkit have the event). False when the control was destroyed while handling it.
bool DeliverInFlight(TWinControl* c, HWND h, TMessage& m)
{
    TWinControlImpl& impl = WinImpl(c);
    impl.InFlight = &m;
    impl.PassToToolkit = false;
    c->MainWndProc(m);
    if (!IsAlive(c, h))
        return false;
    impl.InFlight = nullptr;
    return true;
}
}  // namespace

// ---------------------------------------------------------------- layer state
namespace gui_state {
bool TestMode = false;
bool ManualTimers = false;
std::exception_ptr PendingException;
AnsiString LastHint;
unsigned SimulatedTime = 0;
int EventDepth = 0;

TShiftState ShiftFromModifiers(unsigned mods)
{
    TShiftState s = 0;
    if (mods & Qt::ShiftModifier) s |= ssShift;
    if (mods & Qt::ControlModifier) s |= ssCtrl;
    if (mods & Qt::AltModifier) s |= ssAlt;
    return s;
}

void HandleException()
{
    if (TestMode) {
        if (!PendingException)
            PendingException = std::current_exception();
        return;
    }
    if (Application)
        Application->HandleException(nullptr);
}

void RethrowPending()
{
    if (PendingException) {
        std::exception_ptr e = PendingException;
        PendingException = nullptr;
        std::rethrow_exception(e);
    }
}

TWinControl* Focused() { return g_focused; }

void ChangeFocus(TWinControl* to)
{
    TWinControl* from = g_focused;
    if (from == to)
        return;
    g_focused = to;
    HWND fromH = from ? from->HandleAllocated() ? from->Handle() : 0 : 0;
    HWND toH = to ? to->Handle() : 0;
    if (from)
        from->Perform(WM_KILLFOCUS, toH, 0);
    if (from && IsAlive(from, fromH))
        from->Perform(CM_EXIT, 0, 0);
    if (to && IsAlive(to, toH) && g_focused == to) {
        to->Perform(WM_SETFOCUS, fromH, 0);
        if (IsAlive(to, toH) && g_focused == to)
            to->Perform(CM_ENTER, 0, 0);
    }
}

bool FilterMessage(TMsg& msg)
{
    if (!Application || !Application->OnMessage)
        return false;
    bool handled = false;
    Application->OnMessage(msg, handled);
    return handled;
}

bool DialogKey(TWinControl* c, Word vk, LPARAM keyData)
{
    if (c->ComponentState() & csDesigning)
        return false;
    LRESULT mask = 0;
    switch (vk) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    }
    if (!mask || c->Perform(CM_WANTSPECIALKEY, vk, keyData) != 0 || (c->Perform(WM_GETDLGCODE, 0, 0) & mask) != 0)
        return false;
    TCustomForm* form = GetParentForm(c);
    return form && form->Perform(CM_DIALOGKEY, vk, keyData) != 0;
}

void NoteModifiers(unsigned m) { g_modifiers = m; }
void NoteButtons(unsigned b) { g_buttons = b; }
void NoteKey(Word vk, bool down)
{
    if (down)
        g_keysDown.insert(vk);
    else
        g_keysDown.erase(vk);
}
void NoteCursorPos(TPoint p, bool Real)
{
    g_cursorPos = p;
    g_cursorReal = Real;
}

Word VirtualKeyFromQt(int k, unsigned mods)
{
    bool keypad = mods & Qt::KeypadModifier;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return Word('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return keypad ? Word(VK_NUMPAD0 + (k - Qt::Key_0)) : Word('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return Word(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Clear: return VK_CLEAR;
    // The digit row's shifted characters (the Polish programmer's keyboard, as the US one) come
    // as keys of their own: the key is still the digit's.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : Word('8');
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    default: return 0;
    }
}

int QtKeyFromVirtualKey(Word vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return Qt::Key_0 + (vk - '0');
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return Qt::Key_0 + (vk - VK_NUMPAD0);
    if (vk >= VK_F1 && vk <= VK_F1 + 23)
        return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
    case VK_LEFT: return Qt::Key_Left;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_UP: return Qt::Key_Up;
    case VK_DOWN: return Qt::Key_Down;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_HOME: return Qt::Key_Home;
    case VK_END: return Qt::Key_End;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_TAB: return Qt::Key_Tab;
    case VK_BACK: return Qt::Key_Backspace;
    case VK_SPACE: return Qt::Key_Space;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_APPS: return Qt::Key_Menu;
    case VK_MULTIPLY: return Qt::Key_Asterisk;
    case VK_ADD: return Qt::Key_Plus;
    case VK_SUBTRACT: return Qt::Key_Minus;
    case VK_DECIMAL: return Qt::Key_Period;
    case VK_DIVIDE: return Qt::Key_Slash;
    case VK_OEM_PLUS: return Qt::Key_Equal;
    case VK_OEM_MINUS: return Qt::Key_Minus;
    case VK_OEM_PERIOD: return Qt::Key_Period;
    case VK_OEM_COMMA: return Qt::Key_Comma;
    case VK_OEM_1: return Qt::Key_Semicolon;
    case VK_OEM_2: return Qt::Key_Slash;
    case VK_OEM_3: return Qt::Key_QuoteLeft;
    case VK_OEM_4: return Qt::Key_BracketLeft;
    case VK_OEM_5: return Qt::Key_Backslash;
    case VK_OEM_6: return Qt::Key_BracketRight;
    case VK_OEM_7: return Qt::Key_Apostrophe;
    default: return 0;
    }
}
}  // namespace gui_state

TWinControlImpl& WinImpl(TWinControl* c) { return *c->FImpl; }


QWidget* ControlWidget(TWinControl* c)
{
    c->HandleNeeded();
    return WinImpl(c).Widget.data();
}

TWinControl* WidgetControl(const QObject* w)
{
    for (auto& [h, c] : g_windows)
        if (WinImpl(c).Widget.data() == w)
            return c;
    return nullptr;
}

void InstallMessageBridge(QWidget* w, TWinControl* c, bool MouseOnly)
{
    auto* b = new TEventBridge(c, MouseOnly);
    b->setParent(w);
    w->installEventFilter(b);
}

// ---------------------------------------------------------------- the graphic child under the mouse
namespace {
// The window shows the cursor of the graphic child under the mouse; a child
// with crDefault (or none) shows the window's own.
void ShowMouseCursor(TWinControl* p)
{
    TWinControlImpl& impl = WinImpl(p);
    QWidget* w = impl.Widget.data();
    if (!w)
        return;
    TControl* c = impl.MouseControl;
    TCursor cur = impl.HitCursor != crDefault           ? impl.HitCursor
                  : c && c->Cursor() != crDefault ? c->Cursor()
                                                  : p->Cursor();
    if (cur == crDefault)
        w->unsetCursor();
    else
        w->setCursor(CursorFor(cur));
}

// The cursor the hit test's answer shows (WM_SETCURSOR): the sizing cursor of a border, else
// the window's own.
void ShowHitCursor(TWinControl* p, LRESULT Hit)
{
    TCursor cur = crDefault;
    switch (Hit) {
    case HTLEFT: case HTRIGHT: cur = crSizeWE; break;
    case HTTOP: case HTBOTTOM: cur = crSizeNS; break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: cur = crSizeNWSE; break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: cur = crSizeNESW; break;
    default: break;
    }
    TWinControlImpl& impl = WinImpl(p);
    if (impl.HitCursor == cur)
        return;
    impl.HitCursor = cur;
    ShowMouseCursor(p);
}

// Makes Control the graphic child of P under the mouse: the one left gets
// CM_MOUSELEAVE first, then the one entered CM_MOUSEENTER. A handler may free
// either of them, or the window.
void SetMouseControl(TWinControl* p, TControl* Control)
{
    TWinControlImpl& impl = WinImpl(p);
    TControl* old = impl.MouseControl;
    if (old == Control)
        return;
    impl.MouseControl = Control;
    ShowMouseCursor(p);
    std::shared_ptr<bool> alive = impl.Alive;
    if (old)
        old->Perform(CM_MOUSELEAVE, 0, 0);
    if (Control && *alive && impl.MouseControl == Control)
        Control->Perform(CM_MOUSEENTER, 0, 0);
}

// A graphic child that stops being a place for the mouse (hidden, disabled) is left.
void LeaveIfUnderMouse(TControl* c)
{
    TWinControl* p = c->Parent();
    if (p && WinImpl(p).MouseControl == c)
        SetMouseControl(p, nullptr);
}

// The mouse entered the window of C: the graphic children of the windows
// around it are no longer under the mouse.
void LeaveGraphicChildrenAround(TWinControl* c)
{
    std::vector<std::pair<TWinControl*, std::shared_ptr<bool>>> around;
    for (TWinControl* p = c->Parent(); p; p = p->Parent())
        if (WinImpl(p).MouseControl)
            around.emplace_back(p, WinImpl(p).Alive);
    for (auto& [p, alive] : around)
        if (*alive)
            SetMouseControl(p, nullptr);
}
}  // namespace

// ---------------------------------------------------------------- painting
void TControlWidget::paintEvent(QPaintEvent*)
{
    if (!Impl || !Impl->Control)
        return;
    QPainter p(this);
    p.translate(0, Impl->ClientTop);
    TWinControl* c = Impl->Control;
    TWinControlImpl* impl = Impl;
    std::shared_ptr<bool> alive = impl->Alive;
    RunGuarded([&] {
        impl->Painter = &p;
        TMessage erase{WM_ERASEBKGND, 0, 0, 0};
        c->MainWndProc(erase);
        if (!*alive)
            return;
        TMessage paint{WM_PAINT, 0, 0, 0};
        c->MainWndProc(paint);
    });
    if (*alive)
        impl->Painter = nullptr;
}

// ---------------------------------------------------------------- events to messages
namespace {
// True while a modal window is up and W lies outside it.
bool BlockedByModal(const QWidget* W)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    for (const QWidget* w = W; w; w = w->parentWidget())
        if (w == modal)
            return false;
    return true;
}
}  // namespace

bool TEventBridge::eventFilter(QObject* obj, QEvent* ev)
{
    if (!Control)
        return false;
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w)
        return false;
    bool eat = false;
    TWinControl* c = Control;
    const QEvent::Type type = ev->type();
    if (MouseOnly && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove)
        return false;
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        RunGuarded([&] { eat = Mouse(w, static_cast<QMouseEvent*>(ev)); });
        break;
    case QEvent::Wheel:
        RunGuarded([&] { eat = Wheel(w, static_cast<QWheelEvent*>(ev)); });
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        RunGuarded([&] { eat = Key(w, static_cast<QKeyEvent*>(ev)); });
        break;
    case QEvent::InputMethod:
        RunGuarded([&] { eat = InputMethod(w, static_cast<QInputMethodEvent*>(ev)); });
        break;
    case QEvent::ToolTip:
        RunGuarded([&] { eat = Hint(w, static_cast<QHelpEvent*>(ev)); });
        break;
    case QEvent::FocusIn:
        RunGuarded([&] { gui_state::ChangeFocus(c); });
        break;
    case QEvent::Enter:
        RunGuarded([&] {
            std::shared_ptr<bool> alive = WinImpl(c).Alive;
            LeaveGraphicChildrenAround(c);
            if (*alive)
                c->Perform(CM_MOUSEENTER, 0, 0);
        });
        break;
    case QEvent::Leave:
        RunGuarded([&] { c->Perform(CM_MOUSELEAVE, 0, 0); });
        break;
    case QEvent::ThemeChange:
    case QEvent::ApplicationPaletteChange:
        // Told to a window once, from where it goes down to its controls.
        if (!c->Parent() && w == ControlWidget(c))
            RunGuarded([&] { c->Perform(type == QEvent::ThemeChange ? WM_THEMECHANGED : CM_SYSCOLORCHANGE, 0, 0); });
        break;
    case QEvent::ContextMenu:
        if (g_toolkitMenu) {
            eat = false;   // the widget's own menu, as nothing else took the click
        } else if (static_cast<QContextMenuEvent*>(ev)->reason() == QContextMenuEvent::Mouse) {
            eat = true;   // made from the right button's release
        } else {
            RunGuarded([&] {
                auto* ce = static_cast<QContextMenuEvent*>(ev);
                TMessage m{WM_CONTEXTMENU, c->Handle(), MAKELPARAM(ce->globalPos().x(), ce->globalPos().y()), 0};
                if (DeliverInFlight(c, c->Handle(), m))
                    eat = !WinImpl(c).PassToToolkit;
            });
        }
        break;
    default:
        break;
    }
    return eat;
}

bool TEventBridge::Mouse(QWidget* w, QMouseEvent* ev)
{
    TWinControl* c = Control;
    gui_state::NoteModifiers(ev->modifiers());
    gui_state::NoteButtons(ev->buttons());
    QPoint gp = ev->globalPosition().toPoint();
    gui_state::NoteCursorPos(TPoint(gp.x(), gp.y()), ev->spontaneous());

    // An explicit capture takes the mouse wherever it is, but never out of a modal window into
    // a window the modal one keeps from input.
    TWinControl* target = c;
    if (g_capture && g_capture != c) {
        TWinControl* cw = dynamic_cast<TWinControl*>(g_capture);
        if (!cw)
            cw = g_capture->Parent();
        if (cw && cw != c && cw->HandleAllocated() && !BlockedByModal(ControlWidget(cw)))
            target = cw;
    }
    // A disabled window, or one inside a disabled window, takes no mouse input.
    if (target == c && !w->isEnabled())
        return true;
    QWidget* tw = target == c && !MouseOnly ? w : ControlWidget(target);
    QPoint lp = tw->mapFromGlobal(gp);
    if (tw == WinImpl(target).Widget.data())
        lp.ry() -= WinImpl(target).ClientTop;

    Cardinal msg = WM_MOUSEMOVE;
    int button = ev->button() == Qt::LeftButton ? 0 : ev->button() == Qt::RightButton ? 1
                 : ev->button() == Qt::MiddleButton ? 2 : -1;
    if (ev->type() == QEvent::MouseButtonPress || ev->type() == QEvent::MouseButtonDblClick) {
        if (button < 0)
            return true;
        static const Cardinal downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        msg = downs[button];
        quint64 t = ev->timestamp();
        TPoint p(gp.x(), gp.y());
        bool dbl = g_lastPress.valid && g_lastPress.wnd == target->Handle() && g_lastPress.button == button &&
                   t >= g_lastPress.time && t - g_lastPress.time <= GetDoubleClickTime() &&
                   std::abs(p.X - g_lastPress.pos.X) <= 2 && std::abs(p.Y - g_lastPress.pos.Y) <= 2 &&
                   (target->ControlStyle() & csDoubleClicks);
        if (dbl) {
            msg += 2;   // the DBLCLK message of the button
            g_lastPress.valid = false;
        } else {
            g_lastPress = {target->Handle(), button, t, p, true};
        }
    } else if (ev->type() == QEvent::MouseButtonRelease) {
        if (button < 0)
            return true;
        static const Cardinal ups[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
        msg = ups[button];
    }
    // A move of the free mouse asks the window under it what lies there and shows its cursor.
    if (msg == WM_MOUSEMOVE && !g_capture && ev->buttons() == Qt::NoButton) {
        const HWND h = target->Handle();
        const LRESULT hit = target->Perform(WM_NCHITTEST, 0, MAKELPARAM(gp.x(), gp.y()));
        if (!IsAlive(target, h))
            return true;
        target->Perform(WM_SETCURSOR, WPARAM(h), MAKELPARAM(Word(hit), WM_MOUSEMOVE));
        if (!IsAlive(target, h))
            return true;
    }
    TMsg loop{target->Handle(), msg, MouseKeys(), MAKELPARAM(lp.x(), lp.y()), DWORD(ev->timestamp()),
              TPoint(gp.x(), gp.y())};
    if (gui_state::FilterMessage(loop))
        return true;
    TMessage m{loop.message, loop.wParam, loop.lParam, 0};
    if (!DeliverInFlight(target, target->Handle(), m))
        return true;
    TWinControlImpl& impl = WinImpl(target);
    return impl.OwnPaint || !impl.PassToToolkit;
}

bool TEventBridge::Wheel(QWidget* w, QWheelEvent* ev)
{
    TWinControl* c = Control;
    gui_state::NoteModifiers(ev->modifiers());
    gui_state::NoteButtons(ev->buttons());
    QPoint gp = ev->globalPosition().toPoint();
    gui_state::NoteCursorPos(TPoint(gp.x(), gp.y()), ev->spontaneous());
    int delta = ev->angleDelta().y();
    if (delta == 0)
        return true;
    TMsg loop{c->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeys()), delta), MAKELPARAM(gp.x(), gp.y()),
              DWORD(ev->timestamp()), TPoint(gp.x(), gp.y())};
    if (gui_state::FilterMessage(loop))
        return true;
    TMessage m{loop.message, loop.wParam, loop.lParam, 0};
    if (!DeliverInFlight(c, c->Handle(), m))
        return true;
    TWinControlImpl& impl = WinImpl(c);
    return impl.OwnPaint || !impl.PassToToolkit;
}

namespace {
// The key event a bridge hands on to its widget, while it is on its way.
const QEvent* g_forwardedKey = nullptr;

// The widget handles the key event itself; what it leaves does not go up to the parents' windows,
// as a key goes to the focused window only.
void KeyToWidget(QWidget* w, QObject* Bridge, QKeyEvent* ev, TWinControl* c)
{
    const HWND h = c->Handle();
    w->removeEventFilter(Bridge);
    const QEvent* outer = g_forwardedKey;
    g_forwardedKey = ev;
    QCoreApplication::sendEvent(w, ev);
    g_forwardedKey = outer;
    if (IsAlive(c, h))
        w->installEventFilter(Bridge);
    ev->accept();
}
}  // namespace

bool TEventBridge::Key(QWidget* w, QKeyEvent* ev)
{
    if (ev == g_forwardedKey)
        return true;
    TWinControl* c = Control;
    bool down = ev->type() == QEvent::KeyPress;
    unsigned mods = ev->modifiers();
    gui_state::NoteModifiers(mods);
    Word vk = gui_state::VirtualKeyFromQt(ev->key(), mods);
    if (!down && ev->isAutoRepeat())
        return true;
    gui_state::NoteKey(vk, down);
    // The modifier key itself is down while its press is handled.
    if (vk == VK_SHIFT) gui_state::NoteModifiers(down ? mods | Qt::ShiftModifier : mods & ~Qt::ShiftModifier);
    if (vk == VK_CONTROL) gui_state::NoteModifiers(down ? mods | Qt::ControlModifier : mods & ~Qt::ControlModifier);
    if (vk == VK_MENU) gui_state::NoteModifiers(down ? mods | Qt::AltModifier : mods & ~Qt::AltModifier);
    bool alt = (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier);
    LPARAM keyData = 1 | (alt ? (1 << 29) : 0) | (down ? (ev->isAutoRepeat() ? (1 << 30) : 0) : (3u << 30));
    // The scan codes of the two full-stop keys (the keypad's decimal key and the main keyboard's).
    if (vk == VK_DECIMAL || vk == VK_OEM_PERIOD)
        keyData |= LPARAM(vk == VK_DECIMAL ? 0x53 : 0x34) << 16;
    HWND h = c->Handle();
    TWinControlImpl& impl = WinImpl(c);

    if (!down) {
        TMsg loop{h, alt ? WM_SYSKEYUP : WM_KEYUP, vk, keyData, DWORD(ev->timestamp()), g_cursorPos};
        if (gui_state::FilterMessage(loop))
            return true;
        TMessage m{loop.message, loop.wParam, loop.lParam, 0};
        if (!DeliverInFlight(c, h, m))
            return true;
        if (!impl.OwnPaint && impl.PassToToolkit)
            KeyToWidget(w, this, ev, c);
        return true;
    }

    TMsg loop{h, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, keyData, DWORD(ev->timestamp()), g_cursorPos};
    if (gui_state::FilterMessage(loop))
        return true;
    vk = Word(loop.wParam);

    // Keys the dialog manager takes unless the control asks for them.
    if (gui_state::DialogKey(c, vk, keyData) || !IsAlive(c, h))
        return true;

    TMessage m{loop.message, vk, keyData, 0};
    if (!DeliverInFlight(c, h, m))
        return true;
    bool passKey = impl.PassToToolkit && Word(m.WParam) == vk;

    // The typed characters follow the key (as the message loop translates them).
    QString text = ev->text();
    if (text.isEmpty() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        switch (vk) {
        case VK_RETURN: text = QString(QChar('\r')); break;
        case VK_BACK: text = QString(QChar(8)); break;
        case VK_ESCAPE: text = QString(QChar(27)); break;
        case VK_TAB: text = QString(QChar('\t')); break;
        }
    }
    if ((mods & Qt::ControlModifier) && vk >= 'A' && vk <= 'Z' && (text.isEmpty() || text[0].unicode() >= 32))
        text = QString(QChar(vk - 'A' + 1));
    QString passText;
    bool changed = false;
    for (QChar qc : text) {
        char ch = char(UnicodeToWin1250(qc.unicode()));
        WPARAM charParam = Byte(ch);
        // A character with no 8-bit form: 255 for the handlers, itself in the high word for the widget.
        if (c->UnicodeWindow() && ch == '?' && qc.unicode() != u'?') {
            ch = char(0xFF);
            charParam = 0xFF | (WPARAM(qc.unicode()) << 16);
        }
        TMessage cm{alt ? WM_SYSCHAR : WM_CHAR, charParam, keyData, 0};
        TMsg cl{h, cm.Msg, cm.WParam, cm.LParam, DWORD(ev->timestamp()), g_cursorPos};
        if (gui_state::FilterMessage(cl)) {
            changed = true;
            continue;
        }
        cm.WParam = cl.wParam;
        if (!DeliverInFlight(c, h, cm))
            return true;
        // A character typed with Alt is a command, never text.
        if (alt) {
            changed = true;
            continue;
        }
        if (impl.PassToToolkit && Byte(cm.WParam) != 0) {
            if (Byte(cm.WParam) != Byte(ch))
                changed = true;
            if (Byte(cm.WParam) == 0xFF && (cm.WParam >> 16) != 0)
                passText += QChar(char16_t(cm.WParam >> 16));
            else
                passText += QChar(Win1250ToUnicode(Byte(cm.WParam)));
        } else {
            changed = true;
        }
    }
    if (impl.OwnPaint)
        return true;
    if (passKey && !changed) {
        KeyToWidget(w, this, ev, c);
        return true;
    }
    // Return, Tab and Backspace act through their character, as the system's
    // controls take them: a swallowed one does nothing in the widget either.
    if (passKey && passText.isEmpty() && (vk == VK_RETURN || vk == VK_TAB || vk == VK_BACK))
        return true;
    if (passKey || !passText.isEmpty()) {
        // The toolkit widget gets the key as the handlers left it.
        QKeyEvent again(QEvent::KeyPress, passKey ? ev->key() : 0, ev->modifiers(), passText, ev->isAutoRepeat());
        // This bridge: a child widget of the control (a picker's field, a combo's edit) has its own.
        KeyToWidget(w, this, &again, c);
    }
    return true;
}

// The result of an input method reaches a Unicode window as one character message per character,
// as typed ones do; what the handlers leave goes on to the widget with the composition under way.
bool TEventBridge::InputMethod(QWidget* w, QInputMethodEvent* ev)
{
    TWinControl* c = Control;
    if (!c->UnicodeWindow() || ev->commitString().isEmpty())
        return false;
    HWND h = c->Handle();
    TWinControlImpl& impl = WinImpl(c);
    QString passText;
    for (QChar qc : ev->commitString()) {
        const char ch = char(UnicodeToWin1250(qc.unicode()));
        WPARAM charParam = Byte(ch);
        if (ch == '?' && qc.unicode() != u'?')
            charParam = 0xFF | (WPARAM(qc.unicode()) << 16);
        TMsg cl{h, WM_CHAR, charParam, 1, DWORD(0), g_cursorPos};
        if (gui_state::FilterMessage(cl))
            continue;
        TMessage cm{WM_CHAR, cl.wParam, cl.lParam, 0};
        if (!DeliverInFlight(c, h, cm))
            return true;
        if (!impl.PassToToolkit || Byte(cm.WParam) == 0)
            continue;
        if (Byte(cm.WParam) == 0xFF && (cm.WParam >> 16) != 0)
            passText += QChar(char16_t(cm.WParam >> 16));
        else
            passText += QChar(Win1250ToUnicode(Byte(cm.WParam)));
    }
    QInputMethodEvent again(ev->preeditString(), ev->attributes());
    again.setCommitString(passText, ev->replacementStart(), ev->replacementLength());
    QObject* bridge = this;
    w->removeEventFilter(bridge);
    QCoreApplication::sendEvent(w, &again);
    if (IsAlive(c, h))
        w->installEventFilter(bridge);
    return true;
}

bool TEventBridge::Hint(QWidget* w, QHelpEvent* ev)
{
    TWinControl* c = Control;
    TPoint pos(ev->pos().x(), ev->pos().y());
    TControl* hc = c->ControlAtPos(pos, false);
    TPoint local = pos;
    if (hc)
        local = TPoint(pos.X - hc->Left(), pos.Y - hc->Top());
    else
        hc = c;
    // The mouse rests over the control, whether or not it shows hints.
    if (hc->Enabled())
        hc->Perform(WM_MOUSEHOVER, 0, MAKELPARAM(local.X, local.Y));
    gui_state::LastHint.clear();
    if (!Application || !Application->ShowHint() || !hc->ShowHint() || !hc->Enabled()) {
        QToolTip::hideText();
        return true;
    }
    THintInfo info;
    info.HintControl = hc;
    info.CursorPos = local;
    info.CursorRect = hc->ClientRect();
    info.HintPos = TPoint(ev->globalPos().x(), ev->globalPos().y() + 16);
    info.HintColor = Application->HintColor();
    info.HideTimeout = Application->HintHidePause();
    // A control without a hint of its own shows the nearest parent's.
    AnsiString hint;
    for (TControl* h = hc; h && hint.empty(); h = h->Parent())
        hint = h->Hint();
    size_t bar = hint.find('|');
    info.HintStr = bar == AnsiString::npos ? hint : hint.substr(0, bar);
    if (hc->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0 || info.HintStr.empty()) {
        QToolTip::hideText();
        return true;
    }
    gui_state::LastHint = info.HintStr;
    if (info.HintData) {
        QToolTip::hideText();
        return true;
    }
    // The hint window breaks its lines at CR, LF and CR LF alike.
    QString text = ToQString(info.HintStr);
    // In the colour the handlers left in the record (the application's hint colour by default).
    QPalette tipPalette = QToolTip::palette();
    tipPalette.setColor(QPalette::ToolTipBase, ToQColor(info.HintColor));
    QToolTip::setPalette(tipPalette);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QToolTip::showText(QPoint(info.HintPos.X, info.HintPos.Y), text, w, QRect(), info.HideTimeout);
    return true;
}

// ---------------------------------------------------------------- TControl
// ---------------------------------------------------------------- TSizeConstraints
namespace {
// Sets one limit of a pair (0: none); the other follows when the least would pass the largest.
void SetLimit(int& Least, int& Largest, int Value, bool SettingLeast)
{
    Value = std::max(0, Value);
    (SettingLeast ? Least : Largest) = Value;
    if (Largest > 0 && Least > Largest)
        (SettingLeast ? Largest : Least) = Value;
}
}  // namespace

void TSizeConstraints::SetMinWidth(int v)
{
    SetLimit(FMinWidth, FMaxWidth, v, true);
    Change();
}

void TSizeConstraints::SetMinHeight(int v)
{
    SetLimit(FMinHeight, FMaxHeight, v, true);
    Change();
}

void TSizeConstraints::SetMaxWidth(int v)
{
    SetLimit(FMinWidth, FMaxWidth, v, false);
    Change();
}

void TSizeConstraints::SetMaxHeight(int v)
{
    SetLimit(FMinHeight, FMaxHeight, v, false);
    Change();
}

void TSizeConstraints::Assign(TPersistent* Source)
{
    if (auto* c = dynamic_cast<TSizeConstraints*>(Source)) {
        FMinWidth = c->FMinWidth;
        FMinHeight = c->FMinHeight;
        FMaxWidth = c->FMaxWidth;
        FMaxHeight = c->FMaxHeight;
        Change();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::Apply(int& Width, int& Height) const
{
    if (FMinWidth > 0)
        Width = std::max(Width, FMinWidth);
    if (FMaxWidth > 0)
        Width = std::min(Width, FMaxWidth);
    if (FMinHeight > 0)
        Height = std::max(Height, FMinHeight);
    if (FMaxHeight > 0)
        Height = std::min(Height, FMaxHeight);
}

void TSizeConstraints::Change()
{
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- TControl
TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FConstraints(std::make_unique<TSizeConstraints>())
{
    FFont->OnChange = [this](TObject* s) { FontChanged(s); };
    FConstraints->OnChange = [this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); };
}

TControl::~TControl()
{
    Destroying();
    DragDockControlGone(this);
    if (g_capture == this)
        g_capture = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::FontChanged(TObject*)
{
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    FConstraints->Apply(AWidth, AHeight);
    bool sized = AWidth != FWidth || AHeight != FHeight;
    if (sized && !CanResize(AWidth, AHeight))
        return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FParent) {
        FAnchorParentW = FParent->ClientWidth();
        FAnchorParentH = FParent->ClientHeight();
    }
    Invalidate();
    RequestAlign();
    if (sized && !(ComponentState() & csLoading))
        Resize();
}

TRect TControl::ClientRect() const
{
    return TRect(0, 0, FWidth, FHeight);
}

void TControl::SetClientWidth(int v)
{
    SetWidth(FWidth - ClientWidth() + v);
}

void TControl::SetClientHeight(int v)
{
    SetHeight(FHeight - ClientHeight() + v);
}

TPoint TControl::ClientOrigin() const
{
    if (!FParent)
        return TPoint(FLeft, FTop);
    TPoint p = FParent->ClientOrigin();
    return TPoint(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& p) const
{
    TPoint o = ClientOrigin();
    return TPoint(p.X + o.X, p.Y + o.Y);
}

TPoint TControl::ScreenToClient(const TPoint& p) const
{
    TPoint o = ClientOrigin();
    return TPoint(p.X - o.X, p.Y - o.Y);
}

void TControl::SetAlign(TAlign v)
{
    if (v == FAlign)
        return;
    FAlign = v;
    if (v != alNone && v != alCustom)
        FAnchors = akLeft | akTop;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors v)
{
    FAnchors = v;
    if (FParent) {
        FAnchorParentW = FParent->ClientWidth();
        FAnchorParentH = FParent->ClientHeight();
    }
}

void TControl::RequestAlign()
{
    if (FParent)
        FParent->Realign();
}

void TControl::SetVisible(bool v)
{
    if (v == FVisible)
        return;
    if (!v)
        LeaveIfUnderMouse(this);
    if (v == FVisible)
        return;
    Invalidate();
    FVisible = v;
    Perform(CM_VISIBLECHANGED, v, 0);
    Invalidate();
    RequestAlign();
}

void TControl::Show()
{
    if (FParent)
        FParent->Show();
    SetVisible(true);
}

void TControl::Hide()
{
    SetVisible(false);
}

bool TControl::Showing() const
{
    if (!FVisible)
        return false;
    if (FParent)
        return FParent->Showing();
    // A top-level window shows when it is visible.
    auto* w = dynamic_cast<const TWinControl*>(this);
    return w && w->IsTopLevelWindow();
}

void TControl::SetEnabled(bool v)
{
    if (v == FEnabled)
        return;
    if (!v)
        LeaveIfUnderMouse(this);
    if (v == FEnabled)
        return;
    FEnabled = v;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor v)
{
    if (v == FColor)
        return;
    FColor = v;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool v)
{
    FParentColor = v;
    if (v && FParent)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (FParentColor && FParent) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED, 0, 0);
        FParentColor = true;
    }
}

void TControl::SetParentFont(bool v)
{
    FParentFont = v;
    if (v && FParent)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (FParentFont && FParent) {
        FFont->Assign(FParent->Font());
        FParentFont = true;
    }
}

void TControl::SetText(const AnsiString& v)
{
    if (v == GetText())
        return;
    FText = v;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool v)
{
    FShowHint = v;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool v)
{
    FParentShowHint = v;
    if (v && FParent)
        FShowHint = FParent->ShowHint();
}

void TControl::SetCursor(TCursor v)
{
    if (v == FCursor)
        return;
    FCursor = v;
    if (auto* wc = dynamic_cast<TWinControl*>(this)) {
        if (wc->HandleAllocated())
            ShowMouseCursor(wc);
    } else if (FParent && WinImpl(FParent).MouseControl == this) {
        ShowMouseCursor(FParent);
    }
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* v)
{
    // Told when the menu goes, also while the window that owns both goes.
    SetReference(FPopupMenu, v);
}

bool TControl::MouseCapture() const
{
    return g_capture == this;
}

void TControl::SetMouseCapture(bool v)
{
    if (v)
        g_capture = this;
    else if (g_capture == this)
        g_capture = nullptr;
}

void TControl::Invalidate()
{
    InvalidateRect(TRect(0, 0, FWidth, FHeight));
}

void TControl::InvalidateRect(const TRect& r)
{
    if (FParent && FVisible)
        FParent->InvalidateRect(TRect(r.Left + FLeft, r.Top + FTop, r.Right + FLeft, r.Bottom + FTop));
}

void TControl::Repaint()
{
    if (FParent && FVisible && FParent->HandleAllocated()) {
        if (QWidget* w = ControlWidget(FParent))
            w->repaint(FLeft, FTop, FWidth, FHeight);
    }
}

void TControl::Update()
{
    if (FParent)
        FParent->Update();
}

void TControl::BringToFront()
{
    if (!FParent)
        return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
    if (auto* wc = dynamic_cast<TWinControl*>(this); wc && wc->HandleAllocated())
        ControlWidget(wc)->raise();
    Invalidate();
}

void TControl::SendToBack()
{
    if (!FParent)
        return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
    if (auto* wc = dynamic_cast<TWinControl*>(this); wc && wc->HandleAllocated())
        ControlWidget(wc)->lower();
    Invalidate();
}

LRESULT TControl::Perform(Cardinal Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    MainWndProc(m);
    return m.Result;
}

void TControl::MainWndProc(TMessage& Message)
{
    WndProc(Message);
}

void TControl::WndProc(TMessage& Message)
{
    // A drag in progress takes the mouse and Escape; a press starts an automatic drag.
    if (DragDockWndProc(this, Message))
        return;
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_LBUTTONDOWN: { TWMMouse v(m); WMLButtonDown(v); break; }
    case WM_LBUTTONUP: { TWMMouse v(m); WMLButtonUp(v); break; }
    case WM_LBUTTONDBLCLK: { TWMMouse v(m); WMLButtonDblClk(v); break; }
    case WM_RBUTTONDOWN: { TWMMouse v(m); WMRButtonDown(v); break; }
    case WM_RBUTTONUP: { TWMMouse v(m); WMRButtonUp(v); break; }
    case WM_RBUTTONDBLCLK: { TWMMouse v(m); WMRButtonDblClk(v); break; }
    case WM_MBUTTONDOWN: { TWMMouse v(m); WMMButtonDown(v); break; }
    case WM_MBUTTONUP: { TWMMouse v(m); WMMButtonUp(v); break; }
    case WM_MBUTTONDBLCLK: { TWMMouse v(m); WMMButtonDblClk(v); break; }
    case WM_MOUSEMOVE: { TWMMouse v(m); WMMouseMove(v); break; }
    case WM_MOUSEWHEEL: WMMouseWheel(m); break;
    case WM_CONTEXTMENU: WMContextMenu(m); break;
    case CM_MOUSEWHEEL: CMMouseWheel(m); break;
    case CM_MOUSEENTER: CMMouseEnter(m); break;
    case CM_MOUSELEAVE: CMMouseLeave(m); break;
    case CM_HINTSHOW: CMHintShow(m); break;
    case CM_TEXTCHANGED: CMTextChanged(m); break;
    case CM_COLORCHANGED: CMColorChanged(m); break;
    case CM_FONTCHANGED: CMFontChanged(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); break;
    default: DefaultHandler(m); break;
    }
}

void TControl::DefaultHandler(TMessage& m)
{
    switch (m.Msg) {
    case WM_RBUTTONUP: {
        TPoint p = ClientToScreen(TPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
        Perform(WM_CONTEXTMENU, 0, MAKELPARAM(p.X, p.Y));
        break;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
        if (FParent)
            m.Result = FParent->Perform(m.Msg, m.WParam, m.LParam);
        break;
    case WM_GETTEXTLENGTH:
        m.Result = LRESULT(GetText().size());
        break;
    case WM_NCHITTEST:
        m.Result = HTCLIENT;
        break;
    default:
        break;
    }
}

TShiftState TControl::KeysToShiftState(WPARAM k)
{
    TShiftState s = 0;
    if (k & MK_SHIFT) s |= ssShift;
    if (k & MK_CONTROL) s |= ssCtrl;
    if (k & MK_LBUTTON) s |= ssLeft;
    if (k & MK_RBUTTON) s |= ssRight;
    if (k & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

void TControl::MouseButtonDown(TWMMouse& msg, TMouseButton Button, TShiftState Extra)
{
    if (!(FControlStyle & csNoStdEvents))
        MouseDown(Button, KeysToShiftState(msg.M.WParam) | Extra, msg.XPos(), msg.YPos());
}

void TControl::MouseButtonUp(TWMMouse& msg, TMouseButton Button)
{
    if (!(FControlStyle & csNoStdEvents))
        MouseUp(Button, KeysToShiftState(msg.M.WParam), msg.XPos(), msg.YPos());
}

void TControl::WMLButtonDown(TWMMouse& m)
{
    if (FControlStyle & csCaptureMouse)
        SetMouseCapture(true);
    if (FControlStyle & csClickEvents)
        FControlState |= csClicked;
    MouseButtonDown(m, mbLeft, 0);
    DefaultHandler(m.M);
}

void TControl::WMLButtonUp(TWMMouse& m)
{
    if (FControlStyle & csCaptureMouse)
        SetMouseCapture(false);
    if (FControlState & csClicked) {
        FControlState &= ~csClicked;
        if (PtInRect(ClientRect(), m.Pos()))
            Click();
    }
    MouseButtonUp(m, mbLeft);
    DefaultHandler(m.M);
}

void TControl::WMLButtonDblClk(TWMMouse& m)
{
    if (FControlStyle & csCaptureMouse)
        SetMouseCapture(true);
    if (FControlStyle & csClickEvents)
        DblClick();
    MouseButtonDown(m, mbLeft, ssDouble);
    DefaultHandler(m.M);
}

void TControl::WMRButtonDown(TWMMouse& m)
{
    MouseButtonDown(m, mbRight, 0);
    DefaultHandler(m.M);
}

void TControl::WMRButtonUp(TWMMouse& m)
{
    MouseButtonUp(m, mbRight);
    DefaultHandler(m.M);
}

void TControl::WMRButtonDblClk(TWMMouse& m)
{
    MouseButtonDown(m, mbRight, ssDouble);
    DefaultHandler(m.M);
}

void TControl::WMMButtonDown(TWMMouse& m)
{
    MouseButtonDown(m, mbMiddle, 0);
    DefaultHandler(m.M);
}

void TControl::WMMButtonUp(TWMMouse& m)
{
    MouseButtonUp(m, mbMiddle);
    DefaultHandler(m.M);
}

void TControl::WMMButtonDblClk(TWMMouse& m)
{
    MouseButtonDown(m, mbMiddle, ssDouble);
    DefaultHandler(m.M);
}

void TControl::WMMouseMove(TWMMouse& m)
{
    if (!(FControlStyle & csNoStdEvents))
        MouseMove(KeysToShiftState(m.M.WParam), m.XPos(), m.YPos());
    DefaultHandler(m.M);
}

void TControl::WMMouseWheel(TMessage& m)
{
    m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
    if (m.Result == 0)
        DefaultHandler(m);
}

void TControl::CMMouseWheel(TMessage& m)
{
    TPoint pos(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    m.Result = DoMouseWheel(KeysToShiftState(LOWORD(m.WParam)), GET_WHEEL_DELTA_WPARAM(m.WParam), pos) ? 1 : 0;
}

void TControl::WMContextMenu(TMessage& m)
{
    TPoint screen(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    bool handled = false;
    DoContextPopup(ScreenToClient(screen), handled);
    if (handled) {
        m.Result = 1;
        return;
    }
    if (FPopupMenu && PopupMenuHandler) {
        PopupMenuHandler(FPopupMenu, this, screen);
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
}

void TControl::CMMouseEnter(TMessage& m)
{
    if (OnMouseEnter)
        OnMouseEnter(this);
    DefaultHandler(m);
}

void TControl::CMMouseLeave(TMessage& m)
{
    if (OnMouseLeave)
        OnMouseLeave(this);
    DefaultHandler(m);
}

void TControl::CMHintShow(TMessage& m) { DefaultHandler(m); }
void TControl::CMTextChanged(TMessage& m)
{
    Invalidate();
    DefaultHandler(m);
}
void TControl::CMColorChanged(TMessage& m)
{
    Invalidate();
    DefaultHandler(m);
}
void TControl::CMFontChanged(TMessage& m)
{
    if (auto* wc = dynamic_cast<TWinControl*>(this)) {
        // A standard control's widget shows its text in the control's font.
        if (!WinImpl(wc).OwnPaint && WinImpl(wc).Widget)
            WinImpl(wc).Widget->setFont(ToQFont(*FFont));
        // The children that take their parent's font follow it (and pass it on).
        std::vector<TControl*> kids = wc->FControls;
        for (TControl* c : kids)
            c->ParentFontChanged();
    }
    Invalidate();
    DefaultHandler(m);
}
void TControl::CMEnabledChanged(TMessage& m)
{
    Invalidate();
    DefaultHandler(m);
}
void TControl::CMVisibleChanged(TMessage& m) { DefaultHandler(m); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
    else if (FActionLink)
        FActionLink->Execute(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled)
        return true;
    FWheelAccumulator += WheelDelta;
    while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
        bool down = FWheelAccumulator < 0;
        FWheelAccumulator += down ? WHEEL_DELTA : -WHEEL_DELTA;
        handled = down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelDown)
        OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelUp)
        OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

bool TControl::CanResize(int& NewWidth, int& NewHeight)
{
    bool ok = true;
    if (OnCanResize)
        OnCanResize(this, NewWidth, NewHeight, ok);
    return ok;
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParentColor) ParentColorChanged();
    if (FParentFont) ParentFontChanged();
    RequestAlign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    if (Operation == opRemove && FActionLink && AComponent == FActionLink->Action())
        FActionLink.reset();
}

// ---------------------------------------------------------------- TWinControl
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FImpl(std::make_unique<TWinControlImpl>())
{
    FImpl->Control = this;
    FColor = clBtnFace;
}

TWinControl::~TWinControl()
{
    Destroying();
    DragDockControlGone(this);
    // The hooks learn that the window goes (the destroy message always reaches WndProc).
    if (FHandle && !FImpl->Hooks.empty()) {
        TMessage m{WM_DESTROY, 0, 0, 0};
        try {
            MainWndProc(m);
        } catch (...) {
        }
    }
    *FImpl->Alive = false;
    FImpl->Hooks.clear();
    // Children go with their parent window.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
    if (g_focused == this)
        g_focused = nullptr;
    if (g_capture == this)
        g_capture = nullptr;
    if (FParent) {
        FParent->RemoveControl(this);
        FParent = nullptr;
    }
    DestroyWnd();
}

void TWinControl::DestroyWnd()
{
    if (!FHandle && !FImpl->Widget)
        return;
    gui_state::KillAllTimers(this);
    if (g_focused == this)
        g_focused = nullptr;
    g_windows.erase(FHandle);
    FHandle = 0;
    if (auto* b = static_cast<TEventBridge*>(FImpl->Bridge))
        b->Control = nullptr;
    QWidget* w = FImpl->Widget.data();
    FImpl->Widget.clear();
    if (w) {
        if (auto* cw = dynamic_cast<TControlWidget*>(w))
            cw->Impl = nullptr;
        w->hide();
        w->setParent(nullptr);
        if (gui_state::EventDepth > 0)
            w->deleteLater();
        else
            delete w;
    }
    FImpl->Bridge = nullptr;
}

TNativeWidget* TWinControl::CreateNativeWidget()
{
    return nullptr;
}

namespace {
// The control inside its CreateNativeWidget (windows may be made inside one another's).
TWinControl* g_makingWindow = nullptr;
}  // namespace

TNativeWidget* WrapWidget(QWidget* w)
{
    if (g_makingWindow)
        WinImpl(g_makingWindow).Widget = w;
    return new TNativeWidget{w};
}

namespace {
// A pop-up control's window stays a tip of its own above its parent's window: it never takes the
// activation and is placed in screen coordinates. Other windows become children of the parent's.
void AttachWidget(TWinControlImpl& impl, QWidget* parent)
{
    if (impl.Popup) {
        impl.Widget->setParent(parent, Qt::ToolTip | Qt::FramelessWindowHint);
        impl.Widget->setAttribute(Qt::WA_ShowWithoutActivating);
    } else {
        impl.Widget->setParent(parent);
    }
}
}  // namespace

void TWinControl::CreateWnd()
{
    TWinControl* outer = g_makingWindow;
    g_makingWindow = this;
    TNativeWidget* nw = nullptr;
    try {
        nw = CreateNativeWidget();
    } catch (...) {
        g_makingWindow = outer;
        FImpl->Widget = nullptr;
        throw;
    }
    g_makingWindow = outer;
    QWidget* w = nullptr;
    if (nw) {
        w = nw->Widget;
        delete nw;
    }
    FImpl->OwnPaint = w == nullptr;
    if (!w) {
        w = new TControlWidget(FImpl.get());
    } else {
        w->setMouseTracking(true);
        w->setFont(ToQFont(*Font()));
    }
    FImpl->Widget = w;
    TCreateParams params;
    CreateParams(params);
    FImpl->Popup = FParent && (params.Style & WS_POPUP);
    if (FParent)
        AttachWidget(*FImpl, ControlWidget(FParent));
    else
        w->setWindowFlag(Qt::Window, true);
    auto* bridge = new TEventBridge(this, false);
    bridge->setParent(w);
    w->installEventFilter(bridge);
    FImpl->Bridge = bridge;
    FHandle = g_nextHandle++;
    g_windows[FHandle] = this;
    ApplyGeometry();
    w->setEnabled(FEnabled);
    if (FCursor != crDefault)
        w->setCursor(CursorFor(FCursor));
    if (FImpl->MouseControl)
        ShowMouseCursor(this);
    if (FParent || IsTopLevelWindow())
        w->setVisible(FVisible);
}

void TWinControl::CreateHandle()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    if (FHandle)
        return;
    FControlState |= csCreating;
    CreateWnd();
    FControlState &= ~csCreating;
    // The windows of the children follow, in z-order.
    std::vector<TControl*> kids = FControls;
    for (TControl* c : kids)
        if (auto* wc = dynamic_cast<TWinControl*>(c); wc && (wc->FVisible || !wc->WindowWaitsForShowing()))
            wc->CreateHandle();
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded()
{
    if (!FHandle)
        CreateHandle();
}

void TWinControl::RecreateWnd()
{
    if (!FHandle)
        return;
    Perform(WM_DESTROY, 0, 0);
    std::vector<TWinControl*> kids;
    for (TControl* c : FControls)
        if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->HandleAllocated())
            kids.push_back(wc);
    // Children keep their windows: they move to the new one.
    for (TWinControl* k : kids)
        k->FImpl->Widget->setParent(nullptr);
    bool hadFocus = g_focused == this;
    DestroyWnd();
    CreateHandle();
    for (TWinControl* k : kids) {
        AttachWidget(*k->FImpl, FImpl->Widget.data());
        k->ApplyGeometry();
        k->FImpl->Widget->setVisible(k->FVisible);
    }
    if (hadFocus)
        g_focused = this;
}

void TWinControl::ApplyGeometry()
{
    QWidget* w = FImpl->Widget.data();
    if (!w)
        return;
    if (FParent && !FImpl->Popup) {
        w->setGeometry(FLeft, FTop + FParent->FImpl->ClientTop, FWidth, FHeight);
        return;
    }
    // The window system reports the change later, perhaps in steps: those
    // reports are not moves of the user.
    auto note = [](auto& v, auto x) {
        if (v.size() >= 16)
            v.erase(v.begin());
        v.push_back(x);
    };
    if (w->size() != QSize(FWidth, FHeight))
        note(FImpl->SetSizes, QSize(FWidth, FHeight));
    if (w->pos() != QPoint(FLeft, FTop))
        note(FImpl->SetPositions, QPoint(FLeft, FTop));
    bool was = FImpl->ApplyingGeometry;
    FImpl->ApplyingGeometry = true;
    w->resize(FWidth, FHeight);
    w->move(FLeft, FTop);
    FImpl->ApplyingGeometry = was;
    // A size the window took at once has no report to come: a later report of it is the user's
    // (a size limit holding the user's sizing where the program once put the window).
    if (w->size() == QSize(FWidth, FHeight) && !FImpl->SetSizes.empty() && FImpl->SetSizes.back() == w->size())
        FImpl->SetSizes.pop_back();
}

bool IsGeometryEcho(TWinControl* c, bool Move, int A, int B)
{
    TWinControlImpl& impl = WinImpl(c);
    if (impl.ApplyingGeometry)
        return true;
    auto take = [](auto& v, auto x) {
        auto it = std::find(v.begin(), v.end(), x);
        if (it == v.end()) {
            v.clear();
            return false;
        }
        v.erase(v.begin(), it + 1);
        return true;
    };
    return Move ? take(impl.SetPositions, QPoint(A, B)) : take(impl.SetSizes, QSize(A, B));
}

void TWinControl::InsertControl(TControl* AControl)
{
    FControls.push_back(AControl);
    AControl->FParent = this;
    AControl->FAnchorParentW = ClientWidth();
    AControl->FAnchorParentH = ClientHeight();
    if (AControl->FParentFont)
        AControl->ParentFontChanged();
    if (AControl->FParentColor)
        AControl->ParentColorChanged();
    if (AControl->FParentShowHint)
        AControl->FShowHint = FShowHint;
    if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.push_back(wc);
        if (FHandle) {
            if (wc->FHandle) {
                AttachWidget(*wc->FImpl, FImpl->Widget.data());
                wc->ApplyGeometry();
                wc->FImpl->Widget->setVisible(wc->FVisible);
            } else if (wc->FVisible || !wc->WindowWaitsForShowing()) {
                wc->CreateHandle();
            }
        }
    }
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 1);
    AControl->Invalidate();
    Realign();
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (std::find(FControls.rbegin(), FControls.rend(), AControl) == FControls.rend())
        return;
    if (FImpl->MouseControl == AControl) {
        // A control that goes away is forgotten; one moved elsewhere is left first.
        if ((ComponentState() & csDestroying) || (AControl->ComponentState() & csDestroying)) {
            FImpl->MouseControl = nullptr;
            ShowMouseCursor(this);
        } else {
            std::shared_ptr<bool> alive = FImpl->Alive;
            SetMouseControl(this, nullptr);
            if (!*alive || std::find(FControls.begin(), FControls.end(), AControl) == FControls.end())
                return;
        }
    }
    AControl->Invalidate();
    if (g_capture == AControl)
        g_capture = nullptr;
    EraseLast(FControls, AControl);
    if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
        EraseLast(FTabList, wc);
        if (wc->ContainsControl(g_focused) || g_focused == wc)
            g_focused = nullptr;
        if (TCustomForm* f = GetParentForm(this); f && (f->FActiveControl == wc || wc->ContainsControl(f->FActiveControl)))
            f->FActiveControl = nullptr;
        if (wc->FImpl->Widget) {
            wc->FImpl->Widget->hide();
            wc->FImpl->Widget->setParent(nullptr);
        }
    }
    AControl->FParent = nullptr;
    if (!(ComponentState() & csDestroying)) {
        Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 0);
        Realign();
    }
}

void TWinControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    TControl::SetParent(AParent);
    if (!AParent && FImpl->Widget && !IsTopLevelWindow()) {
        // A window without a parent is no longer shown.
        FImpl->Widget->hide();
    }
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= int(FControls.size()))
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FControls[size_t(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return Control != nullptr;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWindows) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWindows && dynamic_cast<TWinControl*>(c))
            continue;
        if (c->Visible() && (AllowDisabled || c->Enabled()) && PtInRect(c->BoundsRect(), Pos))
            return c;
    }
    return nullptr;
}

namespace {
// What the window system tells a window after it moved or changed size.
void SendBoundsMessages(TWinControl* c, bool moved, bool sized)
{
    std::shared_ptr<bool> alive = WinImpl(c).Alive;
    WINDOWPOS wp;
    wp.hwnd = c->HandleAllocated() ? c->Handle() : 0;
    wp.x = c->Left();
    wp.y = c->Top();
    wp.cx = c->Width();
    wp.cy = c->Height();
    wp.flags = (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
    c->Perform(WM_WINDOWPOSCHANGED, 0, LPARAM(&wp));
    if (moved && *alive) {
        TPoint o(c->Left(), c->Top());
        c->Perform(WM_MOVE, 0, MAKELPARAM(o.X, o.Y));
    }
    if (sized && *alive) {
        WPARAM kind = SIZE_RESTORED;
        if (auto* f = dynamic_cast<TCustomForm*>(c))
            kind = f->WindowState() == wsMaximized ? SIZE_MAXIMIZED
                 : f->WindowState() == wsMinimized ? SIZE_MINIMIZED : SIZE_RESTORED;
        TRect cr = c->ClientRect();
        c->Perform(WM_SIZE, kind, MAKELPARAM(cr.Width(), cr.Height()));
    }
}
}  // namespace

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    FConstraints->Apply(AWidth, AHeight);
    bool sized = AWidth != FWidth || AHeight != FHeight;
    if (sized && !CanResize(AWidth, AHeight))
        return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    sized = AWidth != FWidth || AHeight != FHeight;
    bool moved = ALeft != FLeft || ATop != FTop;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FParent) {
        FAnchorParentW = FParent->ClientWidth();
        FAnchorParentH = FParent->ClientHeight();
    }
    ApplyGeometry();
    std::shared_ptr<bool> alive = FImpl->Alive;
    SendBoundsMessages(this, moved, sized);
    if (*alive)
        RequestAlign();
}

void TWinControl::WindowBoundsChanged(int ALeft, int ATop, int AWidth, int AHeight)
{
    bool moved = ALeft != FLeft || ATop != FTop;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    if (!moved && !sized)
        return;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = std::max(0, AWidth);
    FHeight = std::max(0, AHeight);
    SendBoundsMessages(this, moved, sized);
}

TPoint TWinControl::ClientOrigin() const
{
    if (FImpl->Widget) {
        QPoint p = FImpl->Widget->mapToGlobal(QPoint(0, FImpl->ClientTop));
        return TPoint(p.x(), p.y());
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetVisible(bool v)
{
    if (v == FVisible)
        return;
    if (!v && ContainsControl(g_focused)) {
        TCustomForm* f = GetParentForm(this);
        gui_state::ChangeFocus(nullptr);
        if (f && f != this && f->FActiveControl && ContainsControl(f->FActiveControl))
            f->FActiveControl = nullptr;
    }
    FVisible = v;
    if (FParent && !FHandle && v)
        FParent->HandleAllocated() ? CreateHandle() : void();
    if (FImpl->Widget && (FParent || IsTopLevelWindow()))
        FImpl->Widget->setVisible(v);
    Perform(CM_VISIBLECHANGED, v, 0);
    // The window and its visible windowed children show or hide with it.
    std::function<void(TWinControl*)> showing = [&showing](TWinControl* W) {
        W->Perform(CM_SHOWINGCHANGED, 0, 0);
        std::vector<TControl*> kids = W->FControls;
        for (TControl* c : kids)
            if (auto* child = dynamic_cast<TWinControl*>(c); child && child->Visible())
                showing(child);
    };
    showing(this);
    RequestAlign();
}

void TWinControl::SetEnabled(bool v)
{
    if (v == FEnabled)
        return;
    if (!v && ContainsControl(g_focused))
        gui_state::ChangeFocus(nullptr);
    FEnabled = v;
    if (FImpl->Widget)
        FImpl->Widget->setEnabled(v);
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TWinControl::InvalidateRect(const TRect& r)
{
    if (FImpl->Widget)
        FImpl->Widget->update(r.Left, r.Top, r.Width(), r.Height());
}

void TWinControl::Repaint()
{
    if (FImpl->Widget)
        FImpl->Widget->repaint();
}

void TWinControl::Update()
{
    if (FImpl->Widget && FImpl->Widget->isVisible())
        FImpl->Widget->repaint();
}


void TWinControl::ParentColorChanged()
{
    TControl::ParentColorChanged();
    for (TControl* c : FControls)
        c->ParentColorChanged();
}

// ---------------------------------------------------------------- focus and tab order
bool TWinControl::Focused() const
{
    return g_focused == this;
}

bool TWinControl::CanFocus() const
{
    const TWinControl* c = this;
    const TWinControl* top = this;
    for (; c; c = c->FParent) {
        if (!c->FVisible || !c->FEnabled)
            return false;
        top = c;
    }
    return top->IsTopLevelWindow();
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    QWidget* w = ControlWidget(this);
    TWinControl* before = gui_state::Focused();
    w->setFocus(Qt::OtherFocusReason);
    // The focus-in handlers may pass the focus on (a grid opening its editor): it stays there.
    if (gui_state::Focused() != before && gui_state::Focused() != this)
        return;
    gui_state::ChangeFocus(this);
    if (TCustomForm* f = GetParentForm(this); f && gui_state::Focused() == this)
        f->FActiveControl = this;
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    auto& v = FParent->FTabList;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TWinControl::SetTabOrder(int v)
{
    if (!FParent)
        return;
    auto& list = FParent->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    v = std::clamp(v, 0, int(list.size()));
    list.insert(list.begin() + v, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int n = int(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? n - 1 : 0) : int(found - list.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[size_t(i)];
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->FParent == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        next->SetFocus();
}

// ---------------------------------------------------------------- alignment
void TWinControl::Realign()
{
    if (FAlignLevel > 0 || FAligning || (ComponentState() & csLoading))
        return;
    FAligning = true;
    try {
        TRect r = ClientRect();
        AlignControls(nullptr, r);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0)
        Realign();
}

void TControl::ChangeScale(int M, int D)
{
    if (M == D || D == 0)
        return;
    int left = MulDiv(FLeft, M, D), top = MulDiv(FTop, M, D);
    SetBounds(left, top, MulDiv(FLeft + FWidth, M, D) - left, MulDiv(FTop + FHeight, M, D) - top);
    if (!FParentFont)
        FFont->SetSize(MulDiv(FFont->Size(), M, D));
}

void TWinControl::ChangeScale(int M, int D)
{
    if (M == D || D == 0)
        return;
    // A child may go away while it scales; walk a copy.
    std::vector<TControl*> children(FControls.begin(), FControls.end());
    for (TControl* c : children)
        c->ChangeScale(M, D);
    TControl::ChangeScale(M, D);
}

void TWinControl::ScaleBy(int M, int D)
{
    DisableAlign();
    ChangeScale(M, D);
    EnableAlign();
}

void TWinControl::AlignControls(TControl*, TRect& Rect)
{
    auto take = [&](TAlign a) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->FAlign == a && c->FVisible)
                list.push_back(c);
        auto key = [a](TControl* c) {
            switch (a) {
            case alTop: return c->FTop;
            case alBottom: return -(c->FTop + c->FHeight);
            case alLeft: return c->FLeft;
            case alRight: return -(c->FLeft + c->FWidth);
            default: return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) { return key(x) < key(y); });
        return list;
    };
    for (TControl* c : take(alTop)) {
        c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->FHeight);
        Rect.Top += c->FHeight;
    }
    for (TControl* c : take(alBottom)) {
        c->SetBounds(Rect.Left, Rect.Bottom - c->FHeight, Rect.Width(), c->FHeight);
        Rect.Bottom -= c->FHeight;
    }
    for (TControl* c : take(alLeft)) {
        c->SetBounds(Rect.Left, Rect.Top, c->FWidth, std::max(0, Rect.Height()));
        Rect.Left += c->FWidth;
    }
    for (TControl* c : take(alRight)) {
        c->SetBounds(Rect.Right - c->FWidth, Rect.Top, c->FWidth, std::max(0, Rect.Height()));
        Rect.Right -= c->FWidth;
    }
    for (TControl* c : take(alClient))
        c->SetBounds(Rect.Left, Rect.Top, std::max(0, Rect.Width()), std::max(0, Rect.Height()));
}

void TWinControl::AnchorChildren()
{
    int w = ClientWidth(), h = ClientHeight();
    std::vector<TControl*> kids = FControls;
    for (TControl* c : kids) {
        if (c->FAlign != alNone)
            continue;
        int l = c->FLeft, t = c->FTop, cw = c->FWidth, ch = c->FHeight;
        int dx = c->FAnchorParentW > 0 ? w - c->FAnchorParentW : 0;
        int dy = c->FAnchorParentH > 0 ? h - c->FAnchorParentH : 0;
        if (c->FAnchors & akRight) {
            if (c->FAnchors & akLeft) cw += dx; else l += dx;
        }
        if (c->FAnchors & akBottom) {
            if (c->FAnchors & akTop) ch += dy; else t += dy;
        }
        if (l != c->FLeft || t != c->FTop || cw != c->FWidth || ch != c->FHeight)
            c->SetBounds(l, t, cw, ch);
        c->FAnchorParentW = w;
        c->FAnchorParentH = h;
    }
}

// ---------------------------------------------------------------- messages
void TWinControl::WndProc(TMessage& m)
{
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL) {
        // Graphic children get the mouse through their parent window. The
        // window follows the child under the mouse, except while a child holds
        // the mouse after a press: then the moves are that child's alone.
        TPoint p(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        std::shared_ptr<bool> alive = FImpl->Alive;
        auto graphicCapture = [this] {
            return g_capture && g_capture->FParent == this && !dynamic_cast<TWinControl*>(g_capture);
        };
        if (m.Msg == WM_MOUSEMOVE && !graphicCapture()) {
            SetMouseControl(this, ControlAtPos(p, false));
            if (!*alive)
                return;
        }
        TControl* target = nullptr;
        if (graphicCapture())
            target = g_capture;
        else if (!g_capture || g_capture == this || !dynamic_cast<TWinControl*>(g_capture))
            target = ControlAtPos(p, false);
        if (target && target != this) {
            m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.X - target->FLeft, p.Y - target->FTop));
            return;
        }
    } else if (m.Msg == CM_MOUSELEAVE) {
        // The mouse left the window, and with it the graphic child it was over.
        std::shared_ptr<bool> alive = FImpl->Alive;
        SetMouseControl(this, nullptr);
        if (!*alive)
            return;
    }
    TControl::WndProc(m);
}

// ---------------------------------------------------------------- message hooks
namespace {
using THookList = std::vector<std::shared_ptr<TMessageHookEntry>>;

// Passes the message through the hooks from index i on (newest first), then WndProc.
void RunHooks(TWinControl* c, const THookList& hooks, size_t i, TMessage& m, const std::shared_ptr<bool>& alive)
{
    for (; i < hooks.size(); ++i) {
        const std::shared_ptr<TMessageHookEntry>& e = hooks[i];
        if (e->Removed)
            continue;
        bool passed = false;
        size_t rest = i + 1;
        TMessageNext next = [&, rest](TMessage& msg) {
            if (passed || !*alive)
                return;
            passed = true;
            RunHooks(c, hooks, rest, msg, alive);
        };
        bool handled = e->Hook(m, next);
        if (handled || passed || !*alive)
            return;
    }
    c->WndProc(m);
}
}  // namespace

void TWinControl::MainWndProc(TMessage& m)
{
    if (FImpl->Hooks.empty()) {
        WndProc(m);
        return;
    }
    THookList hooks(FImpl->Hooks.rbegin(), FImpl->Hooks.rend());
    std::shared_ptr<bool> alive = FImpl->Alive;
    RunHooks(this, hooks, 0, m, alive);
}

int TWinControl::AddMessageHook(TMessageHookEx Hook)
{
    static int nextId = 0;
    if (!Hook)
        return 0;
    auto e = std::make_shared<TMessageHookEntry>();
    e->Id = ++nextId;
    e->Hook = std::move(Hook);
    FImpl->Hooks.push_back(e);
    return e->Id;
}

int TWinControl::AddMessageHook(TMessageHook Hook)
{
    if (!Hook)
        return 0;
    return AddMessageHook(TMessageHookEx([h = std::move(Hook)](TMessage& m, const TMessageNext&) { return h(m); }));
}

void TWinControl::RemoveMessageHook(int Id)
{
    auto& v = FImpl->Hooks;
    for (auto it = v.begin(); it != v.end(); ++it)
        if ((*it)->Id == Id) {
            (*it)->Removed = true;
            v.erase(it);
            return;
        }
}

int TWinControl::MessageHookCount() const
{
    return int(FImpl->Hooks.size());
}

void TWinControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_KEYDOWN: { TWMKey v(m); WMKeyDown(v); return; }
    case WM_KEYUP: { TWMKey v(m); WMKeyUp(v); return; }
    case WM_CHAR: { TWMKey v(m); WMChar(v); return; }
    case WM_SYSKEYDOWN: { TWMKey v(m); WMSysKeyDown(v); return; }
    case WM_SYSKEYUP: { TWMKey v(m); WMSysKeyUp(v); return; }
    case WM_SYSCHAR: { TWMKey v(m); WMSysChar(v); return; }
    case WM_SETFOCUS: { TWMFocus v(m); WMSetFocus(v); return; }
    case WM_KILLFOCUS: { TWMFocus v(m); WMKillFocus(v); return; }
    case WM_SIZE: { TWMSize v(m); WMSize(v); return; }
    case WM_PAINT: WMPaint(m); return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_GETDLGCODE: WMGetDlgCode(m); return;
    case WM_TIMER: { TWMTimer v(m); WMTimer(v); return; }
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_DESTROY: WMDestroy(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_WANTSPECIALKEY: CMWantSpecialKey(m); return;
    case CM_SYSCOLORCHANGE:
    case WM_THEMECHANGED: {
        // The desktop's colours or theme changed: every control of the window hears of it.
        TControl::Dispatch(m);
        std::vector<TControl*> children(FControls.begin(), FControls.end());
        for (TControl* c : children)
            c->Perform(m.Msg, m.WParam, m.LParam);
        return;
    }
    default: TControl::Dispatch(m); return;
    }
}

namespace {
// A message sent to a standard control outside a toolkit event reaches its widget as an event.
void SendToWidget(QWidget* w, QObject* bridge, TMessage& m)
{
    if (!w)
        return;
    w->removeEventFilter(bridge);
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP) {
        int key = gui_state::QtKeyFromVirtualKey(Word(m.WParam));
        QKeyEvent ev(m.Msg == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease, key,
                     Qt::KeyboardModifiers(g_modifiers));
        QCoreApplication::sendEvent(w, &ev);
    } else if (m.Msg == WM_CHAR) {
        QString t(QChar(Win1250ToUnicode(Byte(m.WParam))));
        // Backspace acts through its key in the widget (it deletes the selection or a character).
        QKeyEvent ev(QEvent::KeyPress, Byte(m.WParam) == 8 ? int(Qt::Key_Backspace) : 0, Qt::NoModifier, t);
        QCoreApplication::sendEvent(w, &ev);
    }
    w->installEventFilter(bridge);
}
}  // namespace

namespace {
// WM_CONTEXTMENU at the release point; when no control takes it, a standard
// control's widget shows its own menu (an edit's, for example).
void RightButtonContextMenu(TWinControl* c, TMessage& m)
{
    TPoint p = c->ClientToScreen(TPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
    HWND h = c->Handle();
    LRESULT handled = c->Perform(WM_CONTEXTMENU, WPARAM(h), MAKELPARAM(p.X, p.Y));
    if (handled || !IsAlive(c, h) || WinImpl(c).OwnPaint || gui_state::TestMode)
        return;
    QWidget* w = WinImpl(c).Widget.data();
    QPoint gp(p.X, p.Y);
    if (QWidget* child = w->childAt(w->mapFromGlobal(gp)))
        w = child;
    QContextMenuEvent ev(QContextMenuEvent::Mouse, w->mapFromGlobal(gp), gp);
    g_toolkitMenu = true;
    QCoreApplication::sendEvent(w, &ev);
    g_toolkitMenu = false;
}
}  // namespace

void TWinControl::DefaultHandler(TMessage& m)
{
    if (FImpl->InFlight == &m) {
        FImpl->PassToToolkit = true;
        // The right button's release still asks for the context menu.
        if (m.Msg == WM_RBUTTONUP)
            RightButtonContextMenu(this, m);
        return;
    }
    if (!FImpl->OwnPaint && FImpl->Widget && (m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP || m.Msg == WM_CHAR)) {
        SendToWidget(FImpl->Widget.data(), FImpl->Bridge, m);
        return;
    }
    switch (m.Msg) {
    case WM_SETTEXT:
        if (m.LParam)
            FText = reinterpret_cast<const char*>(m.LParam);
        m.Result = 1;
        return;
    case WM_SETCURSOR:
        if (HWND(m.WParam) == FHandle)
            ShowHitCursor(this, SHORT(Word(m.LParam & 0xFFFF)));
        return;
    default:
        TControl::DefaultHandler(m);
    }
}

bool TWinControl::DoKeyDown(TWMKey& m)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyDown(m))
        return true;
    if (!(FControlStyle & csNoStdEvents)) {
        Word key = m.CharCode();
        TShiftState shift = KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt);
        if (m.KeyData() & (1 << 29))
            shift |= ssAlt;
        KeyDown(key, shift);
        m.SetCharCode(key);
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TWMKey& m)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyUp(m))
        return true;
    if (!(FControlStyle & csNoStdEvents)) {
        Word key = m.CharCode();
        TShiftState shift = KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt);
        KeyUp(key, shift);
        m.SetCharCode(key);
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TWMKey& m)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyPress(m))
        return true;
    if (!(FControlStyle & csNoStdEvents)) {
        char ch = char(m.CharCode());
        KeyPress(ch);
        // An unchanged character keeps a Unicode window's high word.
        if (Byte(ch) != Byte(m.CharCode()))
            m.SetCharCode(Byte(ch));
        if (ch == 0)
            return true;
    }
    return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::WMKeyDown(TWMKey& m)
{
    if (!DoKeyDown(m))
        DefaultHandler(m.M);
}

void TWinControl::WMKeyUp(TWMKey& m)
{
    if (!DoKeyUp(m))
        DefaultHandler(m.M);
}

void TWinControl::WMChar(TWMKey& m)
{
    if (!DoKeyPress(m))
        DefaultHandler(m.M);
}

void TWinControl::WMSysKeyDown(TWMKey& m)
{
    if (!DoKeyDown(m))
        DefaultHandler(m.M);
}

void TWinControl::WMSysKeyUp(TWMKey& m)
{
    if (!DoKeyUp(m))
        DefaultHandler(m.M);
}

void TWinControl::WMSysChar(TWMKey& m)
{
    // Alt with a letter: the form's accelerators (a label's underlined letter) answer it.
    if (TCustomForm* form = GetParentForm(this))
        if (form->Perform(CM_DIALOGCHAR, m.M.WParam, m.M.LParam) != 0) {
            m.M.Result = 1;
            return;
        }
    DefaultHandler(m.M);
}

void TWinControl::WMSetFocus(TWMFocus& m) { DefaultHandler(m.M); }
void TWinControl::WMKillFocus(TWMFocus& m) { DefaultHandler(m.M); }

void TWinControl::WMSize(TWMSize& m)
{
    AnchorChildren();
    Realign();
    if (!(ComponentState() & csLoading))
        Resize();
    DefaultHandler(m.M);
}

void TWinControl::WMPaint(TMessage& m)
{
    PaintHandler(m);
}

void TWinControl::PaintHandler(TMessage&)
{
    if (!FImpl->Painter) {
        // Outside the toolkit's paint: paint now.
        if (FImpl->Widget && FImpl->OwnPaint)
            FImpl->Widget->repaint();
        return;
    }
    PaintWindow();
    PaintControls();
}

void TWinControl::PaintWindow() {}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y)
{
    if (!Canvas || Width() <= 0 || Height() <= 0)
        return;
    QWidget* w = ControlWidget(this);
    QImage image(w->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(ToQColor(Color()));
    w->render(&image);
    gui_state::RethrowPending();
    TBitmap picture;
    SetBitmapImage(picture, image);
    Canvas->Draw(X, Y, &picture);
}

void TControl::PaintParentBeneath(TCanvas* Canvas)
{
    TWinControl* p = FParent;
    QPainter* painter = Canvas ? CanvasPainter(*Canvas) : nullptr;
    if (!p || !painter)
        return;
    TWinControlImpl& impl = *p->FImpl;
    const std::shared_ptr<bool> alive = impl.Alive;
    QPainter* const old = impl.Painter;
    painter->save();
    painter->translate(-FLeft, -FTop);
    impl.Painter = painter;
    const auto restore = [&] {
        if (*alive)
            impl.Painter = old;
        painter->restore();
    };
    try {
        p->Perform(WM_ERASEBKGND, 0, 0);
        p->PaintWindow();
        const std::vector<TControl*> kids = p->FControls;
        for (TControl* c : kids) {
            if (c == this)
                break;
            auto* g = dynamic_cast<TGraphicControl*>(c);
            TRect common;
            if (!g || !g->Visible() || !IntersectRect(common, g->BoundsRect(), BoundsRect()))
                continue;
            TCanvasPaintScope scope(*g->Canvas(), *painter, g->BoundsRect());
            g->Perform(WM_PAINT, 1, 0);
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TWinControl::PaintControls()
{
    QPainter* p = FImpl->Painter;
    if (!p)
        return;
    std::vector<TControl*> kids = FControls;
    for (TControl* c : kids) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible() || g->Width() <= 0 || g->Height() <= 0)
            continue;
        TCanvasPaintScope scope(*g->Canvas(), *p, g->BoundsRect());
        g->Perform(WM_PAINT, 1, 0);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& m)
{
    if (FImpl->Painter && !(FControlStyle & csOpaque))
        FImpl->Painter->fillRect(QRect(0, 0, FWidth, FHeight), ToQColor(FColor));
    m.Result = 1;
}

void TWinControl::WMGetDlgCode(TMessage& m) { DefaultHandler(m); }
void TWinControl::WMTimer(TWMTimer& m) { DefaultHandler(m.M); }
void TWinControl::WMSetCursor(TMessage& m) { DefaultHandler(m); }
void TWinControl::WMDestroy(TMessage& m) { DefaultHandler(m); }

void TWinControl::CMEnter(TMessage& m)
{
    DoEnter();
    DefaultHandler(m);
}

void TWinControl::CMExit(TMessage& m)
{
    DoExit();
    DefaultHandler(m);
}

void TWinControl::CMDialogKey(TMessage& m)
{
    // Offered to the children (default and cancel buttons answer).
    std::vector<TControl*> kids = FControls;
    for (TControl* c : kids) {
        m.Result = c->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
        if (m.Result != 0)
            return;
    }
}

void TWinControl::CMDialogChar(TMessage& m)
{
    std::vector<TControl*> kids = FControls;
    for (TControl* c : kids) {
        m.Result = c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
        if (m.Result != 0)
            return;
    }
}

void TWinControl::CMWantSpecialKey(TMessage& m) { DefaultHandler(m); }

// ---------------------------------------------------------------- TCustomControl
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow()
{
    if (QPainter* p = WinImpl(this).Painter) {
        TCanvasPaintScope scope(*FCanvas, *p);
        Paint();
    }
}

// ---------------------------------------------------------------- TGraphicControl
TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Paint() {}

void TGraphicControl::Dispatch(TMessage& m)
{
    if (m.Msg == WM_PAINT) {
        if (m.WParam != 0)
            Paint();
        else
            Repaint();
        return;
    }
    TControl::Dispatch(m);
}

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

// ---------------------------------------------------------------- window functions
TCustomForm* GetParentForm(TControl* Control)
{
    TControl* c = Control;
    while (c && c->Parent())
        c = c->Parent();
    return dynamic_cast<TCustomForm*>(c);
}

TWinControl* FindControl(HWND Handle)
{
    auto it = g_windows.find(Handle);
    return it == g_windows.end() ? nullptr : it->second;
}

bool IsChild(HWND Parent, HWND Child)
{
    TWinControl* p = FindControl(Parent);
    TWinControl* c = FindControl(Child);
    if (!p || !c)
        return false;
    for (c = c->Parent(); c; c = c->Parent())
        if (c == p)
            return true;
    return false;
}

LRESULT SendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWinControl* c = FindControl(Handle);
    return c ? c->Perform(Msg, WParam, LParam) : 0;
}

HWND SetCapture(HWND Handle)
{
    HWND old = GetCapture();
    g_capture = FindControl(Handle);
    return old;
}

bool ReleaseCapture()
{
    g_capture = nullptr;
    return true;
}

HWND GetCapture()
{
    if (!g_capture)
        return 0;
    TWinControl* w = dynamic_cast<TWinControl*>(g_capture);
    if (!w)
        w = g_capture->Parent();
    return w && w->HandleAllocated() ? w->Handle() : 0;
}

HWND GetFocus()
{
    return g_focused && g_focused->HandleAllocated() ? g_focused->Handle() : 0;
}

HWND SetFocus(HWND Handle)
{
    HWND old = GetFocus();
    if (TWinControl* c = FindControl(Handle)) {
        if (QWidget* w = ControlWidget(c))
            w->setFocus(Qt::OtherFocusReason);
        gui_state::ChangeFocus(c);
    }
    return old;
}

SHORT GetKeyState(int VirtKey)
{
    bool down = false;
    switch (VirtKey) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: down = g_modifiers & Qt::ShiftModifier; break;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: down = g_modifiers & Qt::ControlModifier; break;
    case VK_MENU: case VK_LMENU: case VK_RMENU: down = g_modifiers & Qt::AltModifier; break;
    case VK_LBUTTON: down = g_buttons & Qt::LeftButton; break;
    case VK_RBUTTON: down = g_buttons & Qt::RightButton; break;
    case VK_MBUTTON: down = g_buttons & Qt::MiddleButton; break;
    default: down = g_keysDown.count(Word(VirtKey)) > 0; break;
    }
    return down ? SHORT(-32768) : SHORT(0);
}

SHORT GetAsyncKeyState(int VirtKey)
{
    return GetKeyState(VirtKey);
}

TShiftState KeyboardStateToShiftState()
{
    TShiftState s = gui_state::ShiftFromModifiers(g_modifiers);
    if (g_buttons & Qt::LeftButton) s |= ssLeft;
    if (g_buttons & Qt::RightButton) s |= ssRight;
    if (g_buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

bool GetCursorPos(TPoint& Point)
{
    // The real pointer where there is one and the program follows it (see NoteCursorPos).
    if (g_cursorReal && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        const QPoint p = QCursor::pos();
        g_cursorPos = TPoint(p.x(), p.y());
    }
    Point = g_cursorPos;
    return true;
}

bool SetCursorPos(int X, int Y)
{
    gui_state::NoteCursorPos(TPoint(X, Y), true);
    QCursor::setPos(X, Y);
    return true;
}

UINT GetDoubleClickTime()
{
    int t = QApplication::doubleClickInterval();
    return t > 0 ? UINT(t) : 500;
}

bool SystemParametersInfo(UINT Action, UINT Param, void* PvParam, UINT)
{
    if (Action == SPI_GETWHEELSCROLLLINES && PvParam) {
        *static_cast<UINT*>(PvParam) = UINT(std::max(0, QApplication::wheelScrollLines()));
        return true;
    }
    if (Action == SPI_SETWHEELSCROLLLINES) {
        QApplication::setWheelScrollLines(int(Param));
        return true;
    }
    return false;
}

bool IsWindow(HWND Handle) { return FindControl(Handle) != nullptr; }

bool IsWindowVisible(HWND Handle)
{
    TWinControl* c = FindControl(Handle);
    return c && ControlWidget(c)->isVisible();
}

bool SetWindowPolygonRgn(HWND Handle, const std::vector<TPoint>& Points)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    QWidget* w = ControlWidget(c);
    if (Points.empty()) {
        w->clearMask();
        return true;
    }
    QPolygon polygon;
    for (const TPoint& p : Points)
        polygon << QPoint(p.X, p.Y);
    w->setMask(QRegion(polygon, Qt::WindingFill));
    return true;
}

bool IsWindowEnabled(HWND Handle)
{
    TWinControl* c = FindControl(Handle);
    return c && c->Enabled();
}

bool EnableWindow(HWND Handle, bool Enable)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    bool was = !c->Enabled();
    c->SetEnabled(Enable);
    return was;
}

bool InvalidateRect(HWND Handle, const TRect* Rect, bool)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    if (Rect)
        ControlWidget(c)->update(Rect->Left, Rect->Top, Rect->Width(), Rect->Height());
    else
        c->Invalidate();
    return true;
}

bool UpdateWindow(HWND Handle)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    c->Update();
    return true;
}
