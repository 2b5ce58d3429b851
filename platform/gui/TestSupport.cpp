#include "platform/gui/TestSupport.h"

#include <QApplication>
#include <QAbstractButton>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QFileDialog>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>
#include <deque>
#include <string>

#include "platform/gui/Controls_p.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/OleDragDrop_p.h"
#include "platform/gui/Clipbrd_p.h"
#include "platform/gui/Printers_p.h"
#include "platform/gui/QtText_p.h"

namespace {
struct Expectation {
    TDialogKind Kind;
    AnsiString Name;       // form or dialog name, or the text the box must contain
    int Result;
    std::function<void(TForm*)> Before;
    std::function<void(TDialogRequest&)> Answer;
    bool InputOk = true;
    AnsiString Value;
};
std::deque<Expectation> g_script;
std::vector<TRecordedDialog> g_recorded;
TDialogScript g_scriptObject;
unsigned g_clock = 1000;

AnsiString KindName(TDialogKind k)
{
    switch (k) {
    case dkMessageBox: return "message box";
    case dkMessageDlg: return "message dialog";
    case dkModalForm: return "modal form";
    case dkInputQuery: return "input box";
    default: return "dialog";
    }
}

[[noreturn]] void Unexpected(const TDialogRequest& r, const AnsiString& why)
{
    throw EUnexpectedDialog("Unexpected " + KindName(r.Kind) + " (" + why + "): \"" + r.Text + "\" caption \"" +
                            r.Caption + "\" name \"" + r.Name + "\"");
}

// The class name without its namespace.
AnsiString ShortClassName(TObject* o)
{
    AnsiString n = o->ClassName();
    size_t p = n.rfind("::");
    return p == AnsiString::npos ? n : n.substr(p + 2);
}

int ScriptedDialog(TDialogRequest& r)
{
    // Recorded in the order the dialogs are shown: an outer modal form before
    // the boxes it opens.
    TRecordedDialog rec{r.Kind, r.Name, r.Text, r.Caption, r.Flags, 0};
    size_t at = g_recorded.size();
    g_recorded.push_back(rec);
    if (g_script.empty()) {
        Unexpected(r, "nothing scripted");
    }
    Expectation e = g_script.front();
    bool boxKind = r.Kind == dkMessageBox || r.Kind == dkMessageDlg;
    bool kindOk = e.Kind == r.Kind || (e.Kind == dkMessageBox && boxKind);
    if (!kindOk) {
        Unexpected(r, "the script expects a " + KindName(e.Kind));
    }
    g_script.pop_front();
    int result = e.Result;
    switch (r.Kind) {
    case dkMessageBox:
    case dkMessageDlg:
        if (!e.Name.empty() && r.Text.find(e.Name) == AnsiString::npos) {
            Unexpected(r, "the script expects a text with \"" + e.Name + "\"");
        }
        if (e.Answer)
            e.Answer(r);
        break;
    case dkModalForm: {
        TCustomForm* f = r.Form;
        if (!e.Name.empty() && !SameText(e.Name, f->Name()) && !SameText(e.Name, ShortClassName(f))) {
            Unexpected(r, "the script expects form " + e.Name);
        }
        if (e.Before)
            e.Before(dynamic_cast<TForm*>(f));
        if (f->ModalResult() == mrNone)
            f->SetModalResult(e.Result);
        f->CloseModal();
        if (f->ModalResult() == mrNone) {
            Unexpected(r, "the form refused to close");
        }
        result = f->ModalResult();
        break;
    }
    case dkInputQuery:
        result = e.InputOk ? IDOK : IDCANCEL;
        if (e.InputOk)
            r.Values.assign(1, e.Value);
        break;
    default:
        if (e.Answer)
            e.Answer(r);
        break;
    }
    if (at < g_recorded.size())
        g_recorded[at].Result = result;
    return result;
}

// Delivery through the toolkit's event path; a handler's exception comes back here.
void Deliver(QWidget* w, QEvent* ev)
{
    QCoreApplication::sendEvent(w, ev);
    gui_state::RethrowPending();
}

Qt::KeyboardModifiers Mods(TShiftState s)
{
    Qt::KeyboardModifiers m;
    if (s & ssShift) m |= Qt::ShiftModifier;
    if (s & ssCtrl) m |= Qt::ControlModifier;
    if (s & ssAlt) m |= Qt::AltModifier;
    return m;
}

Qt::MouseButton QtButton(TMouseButton b)
{
    return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

Qt::MouseButtons g_held;

// The window that gets the mouse for a control, and the point in it: as real
// input, the deepest widget at the point (the inner view of a list box).
QWidget* Target(TControl* c, int& x, int& y)
{
    QWidget* w = nullptr;
    if (auto* wc = dynamic_cast<TWinControl*>(c)) {
        w = ControlWidget(wc);
        y += WinImpl(wc).ClientTop;
    } else {
        if (!c->Parent())
            throw EInvalidOperation("A control without a parent gets no mouse input");
        x += c->Left();
        y += c->Top() + WinImpl(c->Parent()).ClientTop;
        w = ControlWidget(c->Parent());
    }
    if (QWidget* child = w->childAt(x, y)) {
        QPoint p = child->mapFrom(w, QPoint(x, y));
        x = p.x();
        y = p.y();
        w = child;
    }
    return w;
}

// The widget the test's pointer is over, as the toolkit tracks the real pointer.
QPointer<QWidget> g_under;

// The pointer moved onto W (nullptr: off every window): the widgets it left hear Leave from the
// innermost out, the ones it entered Enter from the outermost in, as real movement gives them.
void MovePointerOnto(QWidget* W, QPointF Global)
{
    QWidget* old = g_under.data();
    if (old == W)
        return;
    g_under = W;
    auto chain = [](QWidget* w) {
        std::vector<QPointer<QWidget>> c;
        for (; w; w = w->isWindow() ? nullptr : w->parentWidget())
            c.push_back(w);
        return c;
    };
    std::vector<QPointer<QWidget>> left = chain(old), entered = chain(W);
    while (!left.empty() && !entered.empty() && left.back() == entered.back()) {
        left.pop_back();
        entered.pop_back();
    }
    for (const QPointer<QWidget>& l : left)
        if (l) {
            QEvent ev(QEvent::Leave);
            Deliver(l, &ev);
        }
    for (auto e = entered.rbegin(); e != entered.rend(); ++e)
        if (*e) {
            const QPointF local = (*e)->mapFromGlobal(Global);
            QEnterEvent ev(local, local, Global);
            Deliver(*e, &ev);
        }
}

void SendMouse(TControl* c, QEvent::Type type, int x, int y, Qt::MouseButton button, TShiftState shift)
{
    QWidget* w = Target(c, x, y);
    // A move with no button held takes the pointer onto the widget (a held button keeps it where
    // the press was, as the toolkit's grab does).
    if (type == QEvent::MouseMove && !g_held) {
        const QPointF global = w->mapToGlobal(QPointF(x, y));
        MovePointerOnto(w->rect().contains(x, y) ? w : QApplication::widgetAt(global.toPoint()), global);
    }
    g_clock += 10;
    QPointF local(x, y);
    QPointF global = w->mapToGlobal(QPoint(x, y));
    QMouseEvent ev(type, local, local, global, button, g_held, Mods(shift));
    ev.setTimestamp(g_clock);
    Deliver(w, &ev);
}
}  // namespace

void InitTestApplication(int& argc, char** argv)
{
    // Offscreen, unless a suite is run on a display on purpose (the browser's
    // pictures under Xvfb: QT_QPA_PLATFORM=xcb with DISPLAY set).
    const char* platform = getenv("QT_QPA_PLATFORM");
    bool onDisplay = platform && std::string(platform) == "xcb" && getenv("DISPLAY") && *getenv("DISPLAY");
    if (!onDisplay)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    gui_state::TestMode = true;
    gui_state::ManualTimers = true;
    InitializeApplication(argc, argv);
    SetDialogHook(ScriptedDialog);
}

void DoneTestApplication()
{
    SetDialogHook(nullptr);
    FinalizeApplication();
}

// ---------------------------------------------------------------- dialogs
TDialogScript& ScriptDialogs() { return g_scriptObject; }

TDialogScript& TDialogScript::ExpectMessageBox(int Answer, const AnsiString& TextContains)
{
    g_script.push_back({dkMessageBox, TextContains, Answer, nullptr, nullptr, true, AnsiString()});
    return *this;
}

TDialogScript& TDialogScript::ExpectModal(const AnsiString& FormName, int ModalResult,
                                          std::function<void(TForm*)> Before)
{
    g_script.push_back({dkModalForm, FormName, ModalResult, std::move(Before), nullptr, true, AnsiString()});
    return *this;
}

TDialogScript& TDialogScript::ExpectInput(bool Ok, const AnsiString& Value)
{
    Expectation e{dkInputQuery, AnsiString(), Ok ? IDOK : IDCANCEL, nullptr, nullptr, Ok, Value};
    g_script.push_back(e);
    return *this;
}

TDialogScript& TDialogScript::ExpectDialog(TDialogKind Kind, const AnsiString& Name, int Result,
                                           std::function<void(TDialogRequest&)> Answer)
{
    g_script.push_back({Kind, Name, Result, nullptr, std::move(Answer), true, AnsiString()});
    return *this;
}

AnsiString ShownDialogTexts(TDialogRequest& Request, const AnsiString& ShotFile)
{
    QStringList texts;
    bool seen = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (seen || !dialog)
            return;
        seen = true;
        texts << dialog->windowTitle();
        if (auto* files = qobject_cast<QFileDialog*>(dialog))
            texts << files->directory().absolutePath();
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
            if (b->isVisible() && !b->text().isEmpty())
                texts << b->text();
        for (QLabel* l : dialog->findChildren<QLabel*>())
            if (l->isVisible() && !l->text().isEmpty())
                texts << l->text();
        for (QTabBar* t : dialog->findChildren<QTabBar*>())
            for (int i = 0; i < t->count(); ++i)
                texts << t->tabText(i);
        if (!ShotFile.empty())
            dialog->grab().save(QString::fromStdString(ToOsPath(ShotFile)), "PNG");
        dialog->reject();
    });
    watch.start();
    if (Request.Run)
        Request.Run(Request);
    watch.stop();
    return FromQString(texts.join(QStringLiteral("\r\n")));
}

const std::vector<TRecordedDialog>& RecordedDialogs() { return g_recorded; }
void ClearRecordedDialogs() { g_recorded.clear(); }

void ClearApplicationTerminated()
{
    if (Application)
        Application->FTerminated = false;
}

bool VerifyNoPendingDialogs()
{
    bool none = g_script.empty();
    g_script.clear();
    return none;
}

// ---------------------------------------------------------------- input
void MouseDown(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift)
{
    g_held |= QtButton(Button);
    SendMouse(Control, QEvent::MouseButtonPress, X, Y, QtButton(Button), Shift);
}

void MouseUp(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift)
{
    g_held &= ~QtButton(Button);
    SendMouse(Control, QEvent::MouseButtonRelease, X, Y, QtButton(Button), Shift);
}

void MouseMove(TControl* Control, int X, int Y, TShiftState Shift)
{
    SendMouse(Control, QEvent::MouseMove, X, Y, Qt::NoButton, Shift);
}

void Click(TControl* Control, int X, int Y, TMouseButton Button, TShiftState Shift)
{
    MouseDown(Control, X, Y, Button, Shift);
    MouseUp(Control, X, Y, Button, Shift);
}

void DoubleClick(TControl* Control, int X, int Y, TShiftState Shift)
{
    Click(Control, X, Y, mbLeft, Shift);
    Click(Control, X, Y, mbLeft, Shift);
}

void Drag(TControl* Control, TPoint From, TPoint To, TMouseButton Button, TShiftState Shift)
{
    MouseDown(Control, From.X, From.Y, Button, Shift);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        SendMouse(Control, QEvent::MouseMove, From.X + (To.X - From.X) * i / steps,
                  From.Y + (To.Y - From.Y) * i / steps, Qt::NoButton, Shift);
    MouseUp(Control, To.X, To.Y, Button, Shift);
}

void Wheel(TControl* Control, int X, int Y, int Delta, TShiftState Shift)
{
    QWidget* w = Target(Control, X, Y);
    g_clock += 10;
    QPointF local(X, Y);
    QPointF global = w->mapToGlobal(QPoint(X, Y));
    QWheelEvent ev(local, global, QPoint(), QPoint(0, Delta), g_held, Mods(Shift), Qt::NoScrollPhase, false);
    ev.setTimestamp(g_clock);
    Deliver(w, &ev);
}

void MouseLeave(TControl* Control)
{
    int x = 0, y = 0;
    QWidget* w = Target(Control, x, y);
    // The pointer leaves the control (onto its parent, or off a window): every widget it was in
    // inside the control hears it.
    if (g_under && (g_under == w || w->isAncestorOf(g_under))) {
        MovePointerOnto(w->isWindow() ? nullptr : w->parentWidget(), QCursor::pos());
        return;
    }
    QEvent ev(QEvent::Leave);
    Deliver(w, &ev);
}

TCursor WindowCursor(TWinControl* Control)
{
    QWidget* w = ControlWidget(Control);
    if (!w->testAttribute(Qt::WA_SetCursor))
        return crDefault;
    Qt::CursorShape shape = w->cursor().shape();
    if (shape == Qt::ArrowCursor)
        return w->isWindow() ? crDefault : crArrow;
    for (TCursor c = crNone; c >= crSizeAll; --c)
        if (CursorFor(c).shape() == shape)
            return c;
    return crDefault;
}

void AdvanceInputClock(unsigned Milliseconds)
{
    g_clock += Milliseconds;
}

namespace {
// The character a key types with the shift state ("" for none).
QString KeyText(Word vk, TShiftState shift)
{
    // A keyboard's Alt with a letter still types the letter (a dialog character); Ctrl types none.
    if (shift & ssCtrl)
        return QString();
    bool up = shift & ssShift;
    if (vk >= 'A' && vk <= 'Z')
        return QString(QChar(up ? vk : vk + 32));
    if (vk >= '0' && vk <= '9' && !up)
        return QString(QChar(vk));
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return QString(QChar('0' + vk - VK_NUMPAD0));
    switch (vk) {
    case VK_SPACE: return QStringLiteral(" ");
    case VK_RETURN: return QStringLiteral("\r");
    case VK_BACK: return QString(QChar(8));
    case VK_ESCAPE: return QString(QChar(27));
    case VK_TAB: return QStringLiteral("\t");
    case VK_OEM_COMMA: return up ? "<" : ",";
    case VK_OEM_PERIOD: return up ? ">" : ".";
    case VK_DECIMAL: return ".";
    case VK_OEM_MINUS: return up ? "_" : "-";
    case VK_OEM_PLUS: return up ? "+" : "=";
    default: return QString();
    }
}

void SendKey(TWinControl* c, QEvent::Type type, Word vk, TShiftState shift, const QString& text)
{
    // Keys go where the focus goes inside the control (the editor of a date picker).
    QWidget* w = ControlWidget(c);
    while (w->focusProxy())
        w = w->focusProxy();
    Qt::KeyboardModifiers m = Mods(shift);
    int key = gui_state::QtKeyFromVirtualKey(vk);
    if (key == Qt::Key_Tab && (shift & ssShift))
        key = Qt::Key_Backtab;
    if (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE)
        m |= Qt::KeypadModifier;
    QKeyEvent ev(type, key, m, text);
    ev.setTimestamp(g_clock += 10);
    Deliver(w, &ev);
}
}  // namespace

void KeyDown(TWinControl* Control, Word Key, TShiftState Shift)
{
    SendKey(Control, QEvent::KeyPress, Key, Shift, KeyText(Key, Shift));
}

void KeyDownAsTyped(TWinControl* Control, char Typed, TShiftState Shift)
{
    QWidget* w = ControlWidget(Control);
    while (w->focusProxy())
        w = w->focusProxy();
    const QChar up = QChar(Typed).toUpper();
    // With Ctrl a letter types its control character.
    const bool letter = up >= u'A' && up <= u'Z';
    const QString text = (Shift & ssCtrl) && letter ? QString(QChar(up.unicode() - 'A' + 1)) : QString(QChar(Typed));
    QKeyEvent ev(QEvent::KeyPress, up.unicode(), Mods(Shift), text);
    ev.setTimestamp(g_clock += 10);
    Deliver(w, &ev);
}

void KeyUp(TWinControl* Control, Word Key, TShiftState Shift)
{
    SendKey(Control, QEvent::KeyRelease, Key, Shift, KeyText(Key, Shift));
}

void TypeKey(TWinControl* Control, Word Key, TShiftState Shift)
{
    KeyDown(Control, Key, Shift);
    // The release goes where the focus is now (Tab may have moved it).
    TWinControl* focused = FindControl(GetFocus());
    KeyUp(focused && focused != Control && !Control->Focused() ? focused : Control, Key, Shift);
}

void TypeText(TWinControl* Control, const AnsiString& Text)
{
    for (char ch : Text) {
        Byte b = Byte(ch);
        Word vk = 0;
        TShiftState shift = 0;
        if (b >= 'a' && b <= 'z')
            vk = Word(b - 32);
        else if (b >= 'A' && b <= 'Z') {
            vk = b;
            shift = ssShift;
        } else if (b >= '0' && b <= '9')
            vk = b;
        else if (b == ' ')
            vk = VK_SPACE;
        QString t(QChar(Win1250ToUnicode(b)));
        SendKey(Control, QEvent::KeyPress, vk, shift, t);
        SendKey(Control, QEvent::KeyRelease, vk, shift, t);
    }
}

void TypeWideText(TWinControl* Control, const WideString& Text)
{
    for (char16_t ch : Text) {
        QString t(QChar{ch});
        SendKey(Control, QEvent::KeyPress, 0, 0, t);
        SendKey(Control, QEvent::KeyRelease, 0, 0, t);
    }
}

void CommitInputMethodText(TWinControl* Control, const WideString& Text)
{
    QWidget* w = ControlWidget(Control);
    while (w->focusProxy())
        w = w->focusProxy();
    QInputMethodEvent ev;
    ev.setCommitString(QString::fromUtf16(Text.data(), qsizetype(Text.size())));
    Deliver(w, &ev);
}

AnsiString HintAt(TControl* Control, int X, int Y)
{
    QWidget* w = Target(Control, X, Y);
    QHelpEvent ev(QEvent::ToolTip, QPoint(X, Y), w->mapToGlobal(QPoint(X, Y)));
    gui_state::LastHint.clear();
    Deliver(w, &ev);
    return gui_state::LastHint;
}

// ---------------------------------------------------------------- the window system
void CloseWindowByUser(TCustomForm* Form)
{
    QWidget* w = ControlWidget(Form);
    QCloseEvent ev;
    Deliver(w, &ev);
}

void ChangeDesktopTheme(TCustomForm* Form, bool ColoursOnly)
{
    QEvent ev(ColoursOnly ? QEvent::ApplicationPaletteChange : QEvent::ThemeChange);
    Deliver(ControlWidget(Form), &ev);
}

void SetWindowStateByUser(TCustomForm* Form, TWindowState State)
{
    QWidget* w = ControlWidget(Form);
    Qt::WindowStates st = State == wsMaximized ? Qt::WindowMaximized
                          : State == wsMinimized ? Qt::WindowMinimized : Qt::WindowNoState;
    w->setWindowState(st);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    gui_state::RethrowPending();
}

void MoveWindowByUser(TCustomForm* Form, int Left, int Top, int Width, int Height)
{
    QWidget* w = ControlWidget(Form);
    w->move(Left, Top);
    w->resize(Width, Height);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    gui_state::RethrowPending();
}

TRect WindowFrame(TCustomForm* Form)
{
    const QRect r = ControlWidget(Form)->frameGeometry();
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

void ActivateWindowByUser(TCustomForm* Form, bool Active)
{
    QWidget* w = ControlWidget(Form);
    QEvent ev(Active ? QEvent::WindowActivate : QEvent::WindowDeactivate);
    Deliver(w, &ev);
}

bool WindowCloseBox(TCustomForm* Form)
{
    const Qt::WindowFlags f = ControlWidget(Form)->windowFlags();
    return !(f & Qt::FramelessWindowHint) && (!(f & Qt::CustomizeWindowHint) || (f & Qt::WindowCloseButtonHint));
}

bool WindowIsTip(TWinControl* Window)
{
    return Window->HandleAllocated() && ControlWidget(Window)->windowType() == Qt::ToolTip;
}

double WindowOpacity(TCustomForm* Form)
{
    return Form->HandleAllocated() ? ControlWidget(Form)->windowOpacity() : 1.0;
}

// ---------------------------------------------------------------- painting, timers
std::unique_ptr<TBitmap> GrabControl(TControl* Control)
{
    auto bmp = std::make_unique<TBitmap>();
    QImage img;
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        QWidget* widget = ControlWidget(w);
        img = widget->grab().toImage();
        if (widget->isWindow() && !widget->mask().isEmpty()) {
            // A shaped window of its own shows only its shape: the rest stays transparent.
            QImage shaped(img.size(), QImage::Format_ARGB32_Premultiplied);
            shaped.fill(Qt::transparent);
            QPainter p(&shaped);
            p.setClipRegion(widget->mask());
            p.drawImage(0, 0, img);
            p.end();
            img = shaped;
        }
    } else if (Control->Parent()) {
        img = ControlWidget(Control->Parent())
                  ->grab(QRect(Control->Left(), Control->Top(), Control->Width(), Control->Height()))
                  .toImage();
    }
    gui_state::RethrowPending();
    SetBitmapImage(*bmp, img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return bmp;
}

std::unique_ptr<TBitmap> GrabShownHint()
{
    auto bmp = std::make_unique<TBitmap>();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->inherits("QTipLabel"))
            SetBitmapImage(*bmp, w->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return bmp;
}

std::unique_ptr<TBitmap> GrabScreen()
{
    auto bmp = std::make_unique<TBitmap>();
    QImage img;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        img = screen->grabWindow(0).toImage();
    SetBitmapImage(*bmp, img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return bmp;
}

bool FireTimer(TWinControl* Control, UINT_PTR ID)
{
    bool fired = gui_state::FireTimer(Control, ID);
    gui_state::RethrowPending();
    return fired;
}

bool FireTimer(TTimer* Timer)
{
    return gui_state::FireTimer(Timer, 0);
}

bool TimerActive(TWinControl* Control, UINT_PTR ID)
{
    return gui_state::TimerExists(Control, ID);
}

int FireAllTimers()
{
    int n = gui_state::FireAllTimers();
    gui_state::RethrowPending();
    return n;
}

void ProcessPendingMessages()
{
    Application->ProcessMessages();
}

// ---------------------------------------------------------------- menu bar
namespace {
QMenuBar* FormBar(TCustomForm* f)
{
    return ControlWidget(f)->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
}

AnsiString ActionsText(const QList<QAction*>& actions)
{
    AnsiString out;
    for (QAction* a : actions) {
        if (!a->isVisible())
            continue;
        if (!out.empty())
            out += "|";
        if (a->isSeparator()) {
            out += "-";
            continue;
        }
        AnsiString text = FromQString(a->text());
        out += text.substr(0, text.find('\t'));
        if (!a->isEnabled())
            out += "(off)";
        if (a->isChecked())
            out += "(on)";
        if (a->menu())
            out += "[" + ActionsText(a->menu()->actions()) + "]";
    }
    return out;
}
}  // namespace

AnsiString MenuBarText(TCustomForm* Form)
{
    QMenuBar* bar = FormBar(Form);
    return bar ? ActionsText(bar->actions()) : AnsiString();
}

bool ClickMenuBar(TCustomForm* Form, const std::vector<AnsiString>& Path)
{
    QMenuBar* bar = FormBar(Form);
    if (!bar || Path.empty())
        return false;
    QList<QAction*> actions = bar->actions();
    for (size_t i = 0; i < Path.size(); ++i) {
        QAction* found = nullptr;
        for (QAction* a : actions) {
            AnsiString text = FromQString(a->text());
            if (a->isVisible() && text.substr(0, text.find('\t')) == Path[i])
                found = a;
        }
        if (!found || !found->isEnabled())
            return false;
        if (i + 1 == Path.size()) {
            if (found->menu())
                return false;
            found->trigger();
            gui_state::RethrowPending();
            return true;
        }
        if (!found->menu())
            return false;
        actions = found->menu()->actions();
    }
    return false;
}

// ---------------------------------------------------------------- system drag and drop
namespace {
std::vector<TOleDragStep> ScreenSteps(const std::vector<TSystemDragStep>& steps)
{
    std::vector<TOleDragStep> out;
    for (const TSystemDragStep& s : steps) {
        TOleDragStep o;
        o.Screen = s.Over ? s.Over->ClientToScreen(TPoint(s.X, s.Y)) : TPoint(s.X, s.Y);
        o.KeyState = MK_LBUTTON | ((s.Shift & ssShift) ? MK_SHIFT : 0) | ((s.Shift & ssCtrl) ? MK_CONTROL : 0) |
                     ((s.Shift & ssAlt) ? MK_ALT : 0);
        o.Escape = s.Escape;
        out.push_back(o);
    }
    return out;
}
}  // namespace

void ScriptSystemDrag(const std::vector<TSystemDragStep>& Steps)
{
    ScriptNextOleDrag(ScreenSteps(Steps));
}

bool SystemDragPending()
{
    return OleDragScriptPending();
}

DWORD DropFromOutside(const TSystemDropData& Data, const std::vector<TSystemDragStep>& Steps, DWORD OkEffects)
{
    QMimeData m;
    QList<QUrl> urls;
    for (const AnsiString& f : Data.Files)
        urls << QUrl::fromLocalFile(QString::fromStdString(ToOsPath(f)));
    if (!Data.Url.empty())
        urls << QUrl(ToQString(Data.Url));
    if (!urls.isEmpty())
        m.setUrls(urls);
    if (!Data.Text.empty())
        m.setText(ToQString(Data.Text));
    if (!Data.Rtf.empty())
        m.setData(FormatMime(RegisterClipboardFormat("Rich Text Format")), QByteArray::fromStdString(Data.Rtf));
    if (Data.Column >= 0) {
        const std::int32_t col = Data.Column;
        m.setData(FormatMime(RegisterClipboardFormat("Grid Column")),
                  QByteArray(reinterpret_cast<const char*>(&col), sizeof col));
    }
    DWORD effect = RunForeignOleDrag(m, OkEffects, ScreenSteps(Steps));
    gui_state::RethrowPending();
    return effect;
}

TSize LastSystemDragImageSize()
{
    return LastOleDragImageSize();
}

// ---------------------------------------------------------------- printer
void SetPrinterResolution(int Dpi)
{
    SetPrinterResolution(Printer(), Dpi);
}
