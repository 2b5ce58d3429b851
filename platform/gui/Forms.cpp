#include "platform/gui/Forms.h"

#include <QApplication>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QResizeEvent>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QToolTip>
#include <QTranslator>
#include <QWindow>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>

#include "platform/gui/Controls_p.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Menus_p.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/SHDocVw_p.h"
#include "platform/gui/SysInfo.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {
TCustomForm* g_activeForm = nullptr;
std::map<int, QCursor> g_customCursors;
std::map<HCURSOR, QCursor> g_cursorHandles;
HCURSOR g_nextCursor = 1;
bool g_overrideCursor = false;
class TFormBridge;
std::map<TCustomForm*, TFormBridge*> g_formBridges;

// Closes and activation of a form's window reach the form.
class TFormBridge : public QObject {
public:
    explicit TFormBridge(TCustomForm* f) : Form(f) {}
    TCustomForm* Form;
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (!Form)
            return false;
        switch (ev->type()) {
        case QEvent::Close: {
            // The window's close button: WM_CLOSE, whose handling closes the form.
            TCustomForm* f = Form;
            ev->ignore();
            RunGuarded([f] { f->Perform(WM_CLOSE, 0, 0); });
            return true;
        }
        case QEvent::Move: {
            QPoint p = static_cast<QWidget*>(obj)->pos();
            if (!IsGeometryEcho(Form, true, p.x(), p.y()))
                FormWindowChanged(Form, false);
            FitWhenFramed(static_cast<QWidget*>(obj));
            return false;
        }
        case QEvent::Resize: {
            QSize z = static_cast<QResizeEvent*>(ev)->size();
            if (!IsGeometryEcho(Form, false, z.width(), z.height()))
                FormWindowChanged(Form, false);
            FitWhenFramed(static_cast<QWidget*>(obj));
            return false;
        }
        case QEvent::WindowStateChange:
            FormWindowChanged(Form, true);
            return false;
        case QEvent::WindowActivate:
            FormActivated(Form, true);
            return false;
        case QEvent::WindowDeactivate:
            FormActivated(Form, false);
            return false;
        default:
            return false;
        }
    }
    void FitWhenFramed(QWidget* w)
    {
        if (Form && w->windowHandle() && !w->windowHandle()->frameMargins().isNull())
            FormFramed(Form);
    }
};
}  // namespace

// The window manager framed a window just shown: it is fitted with the frame's real size.
void FormFramed(TCustomForm* Form)
{
    if (!Form->FFitPending)
        return;
    Form->FFitPending = false;
    // Unless it was sized since, the window takes as much of the size asked for as fits.
    if (Form->Width() != Form->FFitted.cx || Form->Height() != Form->FFitted.cy)
        return;
    const TSize asked = Form->FFitAsked;
    RunGuarded([Form, asked] {
        Form->FitOnScreen(TRect(Form->Left(), Form->Top(), Form->Left() + asked.cx, Form->Top() + asked.cy));
    });
}

void FormActivated(TCustomForm* Form, bool Active)
{
    RunGuarded([&] {
        // A form hidden and shown again is the active form once more.
        if (Active && (g_activeForm != Form || !Form->FActive)) {
            TCustomForm* old = g_activeForm != Form ? g_activeForm : nullptr;
            g_activeForm = Form;
            HWND oldH = old && old->HandleAllocated() ? old->Handle() : 0;
            if (old && old->FActive)
                old->Perform(WM_ACTIVATE, WA_INACTIVE, LPARAM(Form->Handle()));
            Form->Perform(WM_ACTIVATE, WA_ACTIVE, LPARAM(oldH));
        } else if (!Active && Form->FActive) {
            Form->Perform(WM_ACTIVATE, WA_INACTIVE, 0);
        }
    });
}

void FormWindowChanged(TCustomForm* Form, bool StateChanged)
{
    if (!Form || !Form->HandleAllocated() || Form->Parent())
        return;
    QWidget* w = ControlWidget(Form);
    std::shared_ptr<bool> alive = WinImpl(Form).Alive;
    RunGuarded([&] {
        if (StateChanged) {
            Qt::WindowStates st = w->windowState();
            TWindowState now = (st & Qt::WindowMinimized) ? wsMinimized
                               : (st & (Qt::WindowMaximized | Qt::WindowFullScreen)) ? wsMaximized : wsNormal;
            TWindowState was = Form->FWindowState;
            if (now != was) {
                // The user asked the window system: the form hears it as the system command.
                WPARAM cmd = now == wsMaximized ? SC_MAXIMIZE : now == wsMinimized ? SC_MINIMIZE : SC_RESTORE;
                Form->Perform(WM_SYSCOMMAND, cmd, 0);
                if (*alive && Form->FWindowState == was)
                    Form->SetWindowState(was);   // refused by a hook or handler: the window goes back
            }
        } else if (w->isVisible()) {
            Form->WindowBoundsChanged(w->x(), w->y(), w->width(), w->height());
            if (*alive)
                Form->Realign();
        }
    });
}

QCursor CursorFor(TCursor c)
{
    auto it = g_customCursors.find(c);
    if (it != g_customCursors.end())
        return it->second;
    switch (c) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass: case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag: case crMultiDrag: return QCursor(Qt::DragCopyCursor);
    case crNoDrop: case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

// ---------------------------------------------------------------- TCustomForm
TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    FVisible = false;
    FParentFont = false;
    FControlStyle |= csAcceptsControls;
    TWinControl::SetBounds(0, 0, 320, 240);
    Constraints()->OnChange = [this](TObject*) {
        ApplyWindowLimits();
        SetBounds(Left(), Top(), Width(), Height());
    };
    if (Screen)
        Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm()
{
    Destroying();
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
        }
    }
    if (Screen)
        Screen->FForms.erase(std::remove(Screen->FForms.begin(), Screen->FForms.end(), this), Screen->FForms.end());
    if (g_activeForm == this)
        g_activeForm = nullptr;
    if (Application && Application->FMainForm == this)
        Application->FMainForm = nullptr;
    auto it = g_formBridges.find(this);
    if (it != g_formBridges.end()) {
        it->second->Form = nullptr;
        g_formBridges.erase(it);
    }
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    QWidget* w = ControlWidget(this);
    auto* bridge = new TFormBridge(this);
    bridge->setParent(w);
    w->installEventFilter(bridge);
    g_formBridges[this] = bridge;
    w->setWindowTitle(ToQString(Caption()));
    ApplyWindowFlags();
    ApplyOpacity();
    ApplyWindowLimits();
    // A state chosen before the window existed applies when it is shown.
    if (FWindowState != wsNormal)
        SetWindowState(FWindowState);
}

TCustomForm* TCustomForm::ChooseWindowOwner() const
{
    if (Parent() || FBorderStyle == bsNone || !Application || !Application->MainForm() ||
        Application->MainForm() == this)
        return nullptr;
    auto shown = [this](TCustomForm* f) {
        return f && f != this && f->HandleAllocated() && !f->Parent() && f->Visible() && f->WindowOwner() != this;
    };
    if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); shown(owner))
        return owner;
    if (FModal && Screen && shown(Screen->ActiveForm()))
        return Screen->ActiveForm();
    return shown(Application->MainForm()) ? Application->MainForm() : nullptr;
}

TCustomForm* TCustomForm::WindowOwner() const
{
    if (!HandleAllocated() || Parent())
        return nullptr;
    const QWindow* window = ControlWidget(const_cast<TCustomForm*>(this))->windowHandle();
    const QWindow* owner = window ? window->transientParent() : nullptr;
    for (int i = 0; owner && Screen && i < Screen->FormCount(); ++i)
        if (TCustomForm* f = Screen->Forms(i); f->HandleAllocated() && ControlWidget(f)->windowHandle() == owner)
            return f;
    return nullptr;
}

void TCustomForm::ApplyWindowFlags(bool Showing)
{
    if (!HandleAllocated() || Parent())
        return;
    QWidget* w = ControlWidget(this);
    // An owned window is a dialog to the window system, which keeps it above the window it is
    // transient for; it keeps the buttons of its border.
    TCustomForm* owner = FVisible || Showing ? ChooseWindowOwner() : nullptr;
    Qt::WindowFlags f = Qt::Window;
    if (owner)
        f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
            Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    switch (FBorderStyle) {
    case bsNone: f = Qt::Window | Qt::FramelessWindowHint; break;
    case bsDialog: f = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    case bsToolWindow: case bsSizeToolWin: f = Qt::Tool; break;
    case bsSingle: f |= Qt::MSWindowsFixedSizeDialogHint; break;
    default: break;
    }
    if (FFormStyle == fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    TCreateParams params;
    CreateParams(params);
    // A tip lets the mouse through to what lies under it, as the system's hint windows do: laid
    // over the control under the mouse, it takes neither the mouse nor the hover from it (which
    // would hide the tip at once).
    if (FBorderStyle == bsNone && (params.WindowClass.style & CS_DROPSHADOW))
        f = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput;
    if (!FMaximizeBox && (f & Qt::Window) == Qt::Window && !(f & Qt::FramelessWindowHint)) {
        f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
             | Qt::WindowCloseButtonHint;
        f &= ~Qt::WindowMaximizeButtonHint;
    }
    if (!FSystemMenu && !(f & Qt::FramelessWindowHint))
        f = (f & ~(Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint)) |
            Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (w->windowFlags() != f) {
        bool vis = w->isVisible();
        w->setWindowFlags(f);
        if (vis)
            w->show();
    }
    if (owner) {
        w->winId();   // the windows exist, so that the one can name the other
        ControlWidget(owner)->winId();
        w->windowHandle()->setTransientParent(ControlWidget(owner)->windowHandle());
    } else if (QWindow* window = w->windowHandle()) {
        window->setTransientParent(nullptr);
    }
}

void TCustomForm::ApplyOpacity()
{
    if (!HandleAllocated() || Parent())
        return;
    ControlWidget(this)->setWindowOpacity(FAlphaBlend ? FAlphaBlendValue / 255.0 : 1.0);
}

void TCustomForm::SetAlphaBlend(bool v)
{
    FAlphaBlend = v;
    ApplyOpacity();
}

void TCustomForm::SetAlphaBlendValue(Byte v)
{
    FAlphaBlendValue = v;
    ApplyOpacity();
}

void TCustomForm::SetBorderStyle(TBorderStyle v)
{
    FBorderStyle = v;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle v)
{
    FFormStyle = v;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState v)
{
    FWindowState = v;
    if (!HandleAllocated() || Parent())
        return;
    QWidget* w = ControlWidget(this);
    Qt::WindowStates want = v == wsMaximized ? Qt::WindowMaximized : v == wsMinimized ? Qt::WindowMinimized
                                                                                        : Qt::WindowNoState;
    if (w->windowState() != want)
        w->setWindowState(want);
}

// ---------------------------------------------------------------- placement and size limits
TRect TCustomForm::RestoredBounds() const
{
    TRect now(Left(), Top(), Left() + Width(), Top() + Height());
    if (!HandleAllocated() || Parent())
        return now;
    QWidget* w = ControlWidget(const_cast<TCustomForm*>(this));
    if (!(w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        return now;
    QRect g = w->normalGeometry();
    if (!g.isValid())
        return now;
    // The normal geometry is the client area's; the form's left and top are its frame's.
    QPoint frame = w->geometry().topLeft() - w->pos();
    g.translate(-frame);
    return TRect(g.x(), g.y(), g.x() + g.width(), g.y() + g.height());
}

void TCustomForm::SetRestoredBounds(const TRect& R)
{
    if (!HandleAllocated() || Parent() || FWindowState == wsNormal) {
        SetBounds(R.Left, R.Top, R.Width(), R.Height());
        return;
    }
    // The window leaves its state for a moment to take the new normal bounds.
    TWindowState state = FWindowState;
    bool maximizedToo = RestoresMaximized();
    QWidget* w = ControlWidget(this);
    w->setWindowState(Qt::WindowNoState);
    SetBounds(R.Left, R.Top, R.Width(), R.Height());
    SetWindowState(state);
    if (maximizedToo)
        SetRestoresMaximized(true);
}

void TCustomForm::SetSizeLimits(int MinWidth, int MinHeight, int MaxWidth, int MaxHeight)
{
    FSizeLimits = TRect(std::max(0, MinWidth), std::max(0, MinHeight), std::max(0, MaxWidth), std::max(0, MaxHeight));
    if (Parent())
        return;
    ApplyWindowLimits();
    // The form's own bounds follow the limited window.
    if (FWindowState == wsNormal)
        SetBounds(Left(), Top(), Width(), Height());
}

void TCustomForm::ApplyWindowLimits()
{
    if (!HandleAllocated() || Parent())
        return;
    const TSizeConstraints* c = Constraints();
    auto largest = [](int A, int B) { return A > 0 && B > 0 ? std::min(A, B) : std::max(A, B); };
    const int maxWidth = largest(FSizeLimits.Right, c->MaxWidth()), maxHeight = largest(FSizeLimits.Bottom, c->MaxHeight());
    QWidget* w = ControlWidget(this);
    w->setMinimumSize(std::max(FSizeLimits.Left, c->MinWidth()), std::max(FSizeLimits.Top, c->MinHeight()));
    w->setMaximumSize(maxWidth > 0 ? maxWidth : QWIDGETSIZE_MAX, maxHeight > 0 ? maxHeight : QWIDGETSIZE_MAX);
}

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // The window keeps to its size limits whoever sizes it; the form's bounds are the window's.
    if (!Parent()) {
        AWidth = std::max(AWidth, FSizeLimits.Left);
        AHeight = std::max(AHeight, FSizeLimits.Top);
        if (FSizeLimits.Right > 0)
            AWidth = std::min(AWidth, FSizeLimits.Right);
        if (FSizeLimits.Bottom > 0)
            AHeight = std::min(AHeight, FSizeLimits.Bottom);
    }
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

bool TCustomForm::RestoresMaximized() const
{
    if (!HandleAllocated() || Parent())
        return false;
    Qt::WindowStates st = ControlWidget(const_cast<TCustomForm*>(this))->windowState();
    return (st & Qt::WindowMinimized) && (st & Qt::WindowMaximized);
}

void TCustomForm::SetRestoresMaximized(bool v)
{
    if (!HandleAllocated() || Parent() || FWindowState != wsMinimized)
        return;
    QWidget* w = ControlWidget(this);
    w->setWindowState(v ? (Qt::WindowMinimized | Qt::WindowMaximized) : Qt::WindowMinimized);
}

void TCustomForm::SetMaximizeBox(bool v)
{
    FMaximizeBox = v;
    if (!v && FWindowState == wsMaximized)
        SetWindowState(wsNormal);
    ApplyWindowFlags();
}

void TCustomForm::SetSystemMenu(bool v)
{
    FSystemMenu = v;
    ApplyWindowFlags();
}

void TCustomForm::SetActiveControl(TWinControl* v)
{
    FActiveControl = v;
    if (v && FVisible && v->CanFocus())
        v->SetFocus();
}

void TCustomForm::SetMenu(TMainMenu* v)
{
    if (SetReference(FMenu, v))
        AttachMainMenu(this, v);
}

TRect TCustomForm::ClientRect() const
{
    TRect r = TWinControl::ClientRect();
    r.Bottom = std::max(r.Top, r.Bottom - WinImpl(const_cast<TCustomForm*>(this)).ClientTop);
    return r;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenu)
        FMenu = nullptr;
}

bool TCustomForm::Active() const
{
    return FActive;
}

void TCustomForm::PlaceOnScreen()
{
    if (FPlaced || Parent())
        return;
    FPlaced = true;
    int sw = Screen ? Screen->Width() : 1024, sh = Screen ? Screen->Height() : 768;
    TCustomForm* anchor = nullptr;
    if (FPosition == poMainFormCenter && Application && Application->MainForm() != this)
        anchor = Application->MainForm();
    if (FPosition == poOwnerFormCenter)
        anchor = dynamic_cast<TCustomForm*>(Owner());
    if (anchor && anchor->Visible())
        SetBounds(anchor->Left() + (anchor->Width() - Width()) / 2, anchor->Top() + (anchor->Height() - Height()) / 2,
                  Width(), Height());
    else if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
             FPosition == poOwnerFormCenter)
        SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height());
}

void TCustomForm::FitOnScreen(const TRect& Asked)
{
    if (!HandleAllocated() || Parent() || FWindowState != wsNormal || !qApp)
        return;
    QWidget* w = ControlWidget(this);
    QScreen* screen = QGuiApplication::screenAt(QPoint((Asked.Left + Asked.Right) / 2, (Asked.Top + Asked.Bottom) / 2));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Before the window manager frames the window, a frame of the system's sizes.
    QMargins m = w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
    if (m.isNull() && FBorderStyle != bsNone) {
        const int frame = GetSystemMetrics(SM_CXFRAME);
        m = QMargins(frame, GetSystemMetrics(SM_CYCAPTION) + frame, frame, frame);
    }
    const int width = std::min(Asked.Width(), std::max(1, area.width() - m.left() - m.right()));
    const int height = std::min(Asked.Height(), std::max(1, area.height() - m.top() - m.bottom()));
    const int left = std::max(area.left(), std::min(Asked.Left, area.right() + 1 - m.left() - width - m.right()));
    const int top = std::max(area.top(), std::min(Asked.Top, area.bottom() + 1 - m.top() - height - m.bottom()));
    if (left != Left() || top != Top() || width != Width() || height != Height())
        SetBounds(left, top, width, height);
}

void TCustomForm::FitAsShown()
{
    FFitAsked = TSize{Width(), Height()};
    FitOnScreen(BoundsRect());
    FFitted = TSize{Width(), Height()};
}

void TCustomForm::SetVisible(bool v)
{
    if (v == FVisible)
        return;
    FFitPending = false;
    if (v) {
        HandleNeeded();
        PlaceOnScreen();
        ControlWidget(this)->setWindowTitle(ToQString(Caption()));
        // Its owner window now: the forms shown at this moment decide it. A modal form is
        // modal from its first showing on.
        ApplyWindowFlags(true);
        FitAsShown();
        FFitPending = !Parent();
        if (FModal && !Parent())
            ControlWidget(this)->setWindowModality(Qt::ApplicationModal);
    }
    TWinControl::SetVisible(v);
    if (v) {
        const TSize shown{Width(), Height()};
        DoShow();
        // Sized anew as it showed (OnShow): that size is fitted too.
        if (Width() != shown.cx || Height() != shown.cy)
            FitAsShown();
        // A tip (a hint or balloon window) shows without taking the activation.
        if (ControlWidget(this)->windowType() != Qt::ToolTip) {
            if (FActiveControl && FActiveControl->CanFocus())
                FActiveControl->SetFocus();
            FormActivated(this, true);
        }
    } else {
        if (FActive)
            FormActivated(this, false);
        DoHide();
    }
}

void TCustomForm::Show()
{
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide()
{
    SetVisible(false);
}

void TCustomForm::BringToFront()
{
    if (HandleAllocated() && !Parent()) {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            ControlWidget(this)->raise();
        return;
    }
    TWinControl::BringToFront();
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    if (Control && Control->CanFocus())
        Control->SetFocus();
}

bool TCustomForm::CloseQuery()
{
    bool can = true;
    if (OnCloseQuery)
        OnCloseQuery(this, can);
    return can;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    if (Application && Application->MainForm() == this)
        action = caFree;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Hide(); Release(); break;
    default: break;
    }
}

void TCustomForm::Release()
{
    PostMessage(Handle(), CM_RELEASE, 0, 0);
}

namespace {
// Qt's nested loop of one modal form, quit when the modal result is set.
std::map<TCustomForm*, QEventLoop*> g_modalLoops;
}

void TCustomForm::SetModalResult(TModalResult v)
{
    FModalResult = v;
    auto it = g_modalLoops.find(this);
    if (v != mrNone && it != g_modalLoops.end())
        it->second->quit();
}

void TCustomForm::CloseModal()
{
    if (FModalResult == mrNone)
        return;
    if (!CloseQuery()) {
        FModalResult = mrNone;
        return;
    }
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        FModalResult = mrNone;
}

int TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    FModalResult = mrNone;
    FModal = true;
    TDialogRequest r;
    r.Kind = dkModalForm;
    r.Name = Name().empty() ? ClassName() : Name();
    r.Caption = Caption();
    r.Form = this;
    r.Run = [](TDialogRequest& req) -> int {
        TCustomForm* f = req.Form;
        QEventLoop loop;
        g_modalLoops[f] = &loop;
        while (f->ModalResult() == mrNone && !(Application && Application->Terminated())) {
            loop.exec();
            f->CloseModal();
        }
        g_modalLoops.erase(f);
        return f->ModalResult();
    };
    try {
        Show();
        RunDialog(r);
    } catch (...) {
        FModal = false;
        g_modalLoops.erase(this);
        Hide();
        if (!Parent())
            ControlWidget(this)->setWindowModality(Qt::NonModal);
        throw;
    }
    FModal = false;
    Hide();
    if (!Parent())
        ControlWidget(this)->setWindowModality(Qt::NonModal);
    return FModalResult;
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow()
{
    if (QPainter* p = WinImpl(this).Painter) {
        TCanvasPaintScope scope(*FCanvas, *p);
        Paint();
    }
}

void TCustomForm::CMDialogKey(TMessage& m)
{
    Word key = Word(m.WParam);
    bool ctrlAlt = GetKeyState(VK_MENU) < 0 || GetKeyState(VK_CONTROL) < 0;
    if (!ctrlAlt) {
        switch (key) {
        case VK_TAB:
            SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
            m.Result = 1;
            return;
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
                m.Result = 1;
                return;
            }
            break;
        }
    }
    TWinControl::CMDialogKey(m);
}

void TCustomForm::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case WM_ACTIVATE: {
        bool on = (m.WParam & 0xFFFF) != WA_INACTIVE;
        if (on && !FActive) {
            FActive = true;
            Activate();
        } else if (!on && FActive) {
            FActive = false;
            Deactivate();
        }
        return;
    }
    case WM_SYSCOMMAND:
        switch (m.WParam & 0xFFF0) {
        case SC_MAXIMIZE: SetWindowState(wsMaximized); return;
        case SC_MINIMIZE: SetWindowState(wsMinimized); return;
        case SC_RESTORE: SetWindowState(wsNormal); return;
        case SC_CLOSE: Perform(WM_CLOSE, 0, 0); return;
        default: break;
        }
        break;
    default:
        break;
    }
    TWinControl::Dispatch(m);
}

// ---------------------------------------------------------------- TApplication
namespace {
// The program asked to end by the system (a logout, a shutdown, kill, Ctrl+C in its terminal) ends
// as though terminated: the loops return and everything is put away as at a normal end (the
// private temporary folder goes). One that has not ended ten seconds later ends as the signal
// would have ended it.
int g_endPipe[2] = {-1, -1};

void EndSignalled(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_endPipe[1], &byte, 1);
    ::alarm(10);
}

void EndOverdue(int)
{
    ::signal(SIGTERM, SIG_DFL);
    ::raise(SIGTERM);
}
}  // namespace

class TEndSignals {
public:
    TEndSignals()
    {
        if (::pipe2(g_endPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        FNotifier = std::make_unique<QSocketNotifier>(g_endPipe[0], QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, FNotifier.get(), [] {
            char buf[16];
            while (::read(g_endPipe[0], buf, sizeof buf) > 0) {
            }
            if (Application)
                Application->Terminate();
        });
        struct sigaction a = {};
        a.sa_handler = EndSignalled;
        sigemptyset(&a.sa_mask);
        a.sa_flags = SA_RESTART;
        for (int i = 0; i < 3; ++i)
            ::sigaction(Signals[i], &a, &FOld[i]);
        struct sigaction late = {};
        late.sa_handler = EndOverdue;
        sigemptyset(&late.sa_mask);
        ::sigaction(SIGALRM, &late, nullptr);
    }
    ~TEndSignals()
    {
        if (!FNotifier)
            return;
        for (int i = 0; i < 3; ++i)
            ::sigaction(Signals[i], &FOld[i], nullptr);
        FNotifier.reset();
        ::close(g_endPipe[0]);
        ::close(g_endPipe[1]);
        g_endPipe[0] = g_endPipe[1] = -1;
        // The alarm of an end under way stays: the rest of the end is bounded too.
    }
    TEndSignals(const TEndSignals&) = delete;
    TEndSignals& operator=(const TEndSignals&) = delete;

private:
    static constexpr int Signals[3] = {SIGTERM, SIGHUP, SIGINT};
    std::unique_ptr<QSocketNotifier> FNotifier;
    struct sigaction FOld[3] = {};
};

void TApplication::Initialize()
{
    if (!FEndSignals)
        FEndSignals = std::make_unique<TEndSignals>();
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    static HWND next = 0x10;
    FHandle = next++;
    FTitle = ChangeFileExt(ExtractFileName(ExeName()), "");
}

TApplication::~TApplication()
{
    Destroying();
    DestroyComponents();
}

AnsiString TApplication::ExeName() const
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return AnsiString();
    return FromOsPath(std::string(buf, size_t(n)));
}

void TApplication::FormCreated(TCustomForm* Form)
{
    if (!FMainForm)
        FMainForm = Form;
    Form->DoCreate();
}

void TApplication::Run()
{
    // Ended before the loop started (by the main form's creation): the
    // main form never comes into use.
    if (FTerminated)
        return;
    if (FMainForm && !FMainForm->Visible())
        FMainForm->Show();
    while (!FTerminated && FMainForm) {
        QApplication::exec();
        if (!FMainForm || !FMainForm->Visible())
            break;
    }
}

void TApplication::Terminate()
{
    FTerminated = true;
    QCoreApplication::exit(0);
}

void TApplication::ProcessMessages()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    gui_state::DeliverPostedMessages();
    gui_state::RethrowPending();
}

void TApplication::HandleMessage()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    gui_state::DeliverPostedMessages();
    gui_state::RethrowPending();
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags)
{
    return ::MessageBox(FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : 0, Text,
                        Caption.empty() ? FTitle : Caption, UINT(Flags));
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr ep = std::current_exception();
    if (!ep)
        return;
    try {
        std::rethrow_exception(ep);
    } catch (EAbort&) {
    } catch (Exception& e) {
        if (OnException)
            OnException(Sender, &e);
        else
            ShowException(&e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        if (OnException)
            OnException(Sender, &wrapped);
        else
            ShowException(&wrapped);
    } catch (...) {
        Exception wrapped("Unknown error");
        ShowException(&wrapped);
    }
}

void TApplication::ShowException(Exception* E)
{
    AnsiString msg = E->Message();
    if (!msg.empty() && msg.back() != '.')
        msg += '.';
    MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

void TApplication::CancelHint()
{
    QToolTip::hideText();
}

// ---------------------------------------------------------------- TScreen
TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen()
{
    if (g_overrideCursor && qApp)
        QApplication::restoreOverrideCursor();
    g_overrideCursor = false;
}

void TScreen::SetCursor(TCursor v)
{
    FCursor = v;
    if (!qApp)
        return;
    if (v == crDefault) {
        if (g_overrideCursor)
            QApplication::restoreOverrideCursor();
        g_overrideCursor = false;
    } else if (g_overrideCursor) {
        QApplication::changeOverrideCursor(CursorFor(v));
    } else {
        QApplication::setOverrideCursor(CursorFor(v));
        g_overrideCursor = true;
    }
}

HCURSOR TScreen::Cursors(int Index) const
{
    QCursor c = CursorFor(Index);
    for (auto& [h, qc] : g_cursorHandles)
        if (qc.shape() == c.shape() && c.shape() != Qt::BitmapCursor)
            return h;
    HCURSOR h = g_nextCursor++;
    g_cursorHandles[h] = c;
    return h;
}

void TScreen::SetCursors(int Index, HCURSOR Cursor)
{
    auto it = g_cursorHandles.find(Cursor);
    if (it == g_cursorHandles.end())
        g_customCursors.erase(Index);
    else
        g_customCursors[Index] = it->second;
}

HCURSOR CreateCursorFromBitmap(TBitmap* Image, int HotX, int HotY)
{
    if (!Image || Image->Empty())
        return 0;
    HCURSOR h = g_nextCursor++;
    g_cursorHandles[h] = QCursor(QPixmap::fromImage(BitmapImage(*Image)), HotX, HotY);
    return h;
}

int TScreen::Width() const
{
    QScreen* s = qApp ? QGuiApplication::primaryScreen() : nullptr;
    return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const
{
    QScreen* s = qApp ? QGuiApplication::primaryScreen() : nullptr;
    return s ? s->geometry().height() : 768;
}

TRect TScreen::WorkAreaRect() const
{
    QScreen* s = qApp ? QGuiApplication::primaryScreen() : nullptr;
    if (!s)
        return TRect(0, 0, 1024, 768);
    QRect r = s->availableGeometry();
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

TCustomForm* TScreen::ActiveForm() const
{
    if (TWinControl* f = gui_state::Focused())
        if (TCustomForm* form = GetParentForm(f))
            return form;
    return g_activeForm;
}

TWinControl* TScreen::ActiveControl() const
{
    return gui_state::Focused();
}

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= int(FForms.size()))
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FForms[size_t(Index)];
}

namespace {
std::unique_ptr<QApplication> g_qapp;
}

void InitializeApplication(int& argc, char** argv)
{
    if (!qApp) {
        // The web browser's engine shares its graphics contexts with the
        // windows; this must be said before the application object exists
        // (the engine itself starts only with the first browser).
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        g_qapp = std::make_unique<QApplication>(argc, argv);
        // Polish everywhere: the toolkit's own texts (file, print and colour dialogs, standard
        // buttons) from its Polish translations, and Polish as the locale of the toolkit and of
        // the web engine, which takes it when it starts.
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        for (const char* catalogue : {"qtbase", "qtwebengine"}) {
            auto* translator = new QTranslator(g_qapp.get());
            if (translator->load(QLocale(), QString::fromLatin1(catalogue), QStringLiteral("_"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                QCoreApplication::installTranslator(translator);
            else
                delete translator;
        }
    }
    if (!Application)
        Application = new TApplication(nullptr);
    if (!Screen)
        Screen = new TScreen(nullptr);
}

void FinalizeApplication()
{
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ShutDownBrowserEngine();
    g_qapp.reset();
}
