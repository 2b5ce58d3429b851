#pragma once
// Controls: TControl (position, looks, mouse and keys through window
// messages), TWinControl (a window of its own: focus, children, tab order),
// TCustomControl (a window that paints itself on its Canvas) and
// TGraphicControl (painted inside its parent's window).
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Component.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Messages.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
struct TNativeWidget;
class TWinControlImpl;

// ---------------------------------------------------------------- enumerations
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateFlag : unsigned {
    ssShift = 0x01, ssAlt = 0x02, ssCtrl = 0x04, ssLeft = 0x08, ssRight = 0x10, ssMiddle = 0x20, ssDouble = 0x40
};
using TShiftState = unsigned;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

enum TControlStyleFlag : unsigned {
    csAcceptsControls = 0x0001,
    csCaptureMouse = 0x0002,
    csDesignInteractive = 0x0004,
    csClickEvents = 0x0008,
    csFramed = 0x0010,
    csSetCaption = 0x0020,
    csOpaque = 0x0040,
    csDoubleClicks = 0x0080,
    csFixedWidth = 0x0100,
    csFixedHeight = 0x0200,
    csNoStdEvents = 0x0400,
    csReplicatable = 0x0800,
};
using TControlStyle = unsigned;

enum TControlStateFlag : unsigned {
    csLButtonDown = 0x01,
    csClicked = 0x02,
    csAlignmentNeeded = 0x04,
    csFocusing = 0x08,
    csCreating = 0x10,
    csCustomPaint = 0x20,
    csDestroyingHandle = 0x40,
};
using TControlState = unsigned;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// Which scroll bars a scrolling control shows.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// ---------------------------------------------------------------- events
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;

// LParam of CM_HINTSHOW: a handler may change the text and where it shows.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos;              // screen
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;            // client coordinates of HintControl
    TPoint CursorPos;            // client coordinates of HintControl
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    AnsiString HintStr;
    // Set by a handler that shows the hint in a window of its own: the toolkit's tooltip stays away.
    void* HintData = nullptr;
};

// ---------------------------------------------------------------- drag and dock
// The framework's own drag of controls within the program (not the system drag and drop
// of OleDragDrop.h): a drag object travels with the mouse from its source control to the
// control under the pointer, which accepts it (OnDragOver) and takes it (OnDragDrop). A
// dock drag carries a control to a dock site or floats it in a window of its own.
enum TDragMode { dmManual, dmAutomatic };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

class TDragObject;
class TDragDockObject;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
// Source: the dragged control (for the framework's control drag objects), else the drag object.
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
// Target: the control that took the drop, nullptr when none did.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockOverEvent =
    std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDockDropEvent = std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TUnDockEvent = std::function<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
using TGetSiteInfoEvent = std::function<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                             TPoint MousePos, bool& CanDock)>;

// ---------------------------------------------------------------- TControl
// The least and the largest size a control is given (0: no limit). A least value above the
// largest raises the largest with it, and the other way round.
class TSizeConstraints : public TPersistent {
public:
    int MinWidth() const { return FMinWidth; }
    int MinHeight() const { return FMinHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMinWidth(int v);
    void SetMinHeight(int v);
    void SetMaxWidth(int v);
    void SetMaxHeight(int v);
    void Assign(TPersistent* Source) override;
    // Width and Height kept within the limits.
    void Apply(int& Width, int& Height) const;
    TNotifyEvent OnChange;

private:
    void Change();
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    // Every change of position and size passes here; descendants may adjust or veto.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& p) const;
    TPoint ScreenToClient(const TPoint& p) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors v);
    // The size limits SetBounds keeps; a change applies them at once.
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* v) { FConstraints->Assign(v); }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    void Show();
    void Hide();
    // Visible, and every parent up to a top-level window visible.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);

    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);

    // Caption and Text are the same text; a change sends CM_TEXTCHANGED.
    AnsiString Caption() const { return GetText(); }
    void SetCaption(const AnsiString& v) { SetText(v); }
    AnsiString Text() const { return GetText(); }
    void SetText(const AnsiString& v);

    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& v) { FHint = v; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);
    // Reading order and alignment. A control that draws itself lays its drawing out from the
    // right while it uses right-to-left alignment (the toolkit's own widgets are not mirrored).
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode v)
    {
        FBiDiMode = v;
        Invalidate();
    }
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* v);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v) { FControlStyle = v; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState v) { FControlState = v; }
    bool MouseCapture() const;
    void SetMouseCapture(bool v);

    virtual void Invalidate();
    virtual void Repaint();
    virtual void Update();
    // Paints into Canvas, its top left at the control's, what the parent shows beneath the
    // control: the parent's background and its own painting, then each visible graphic control
    // of the parent that lies before this one and overlaps it, within its own bounds.
    void PaintParentBeneath(TCanvas* Canvas);
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    // Sends the message to the control now: through the message hooks of a
    // windowed control, then its window procedure.
    LRESULT Perform(Cardinal Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // Where every message to the control enters: Perform, SendMessage, posted
    // messages, timers and the toolkit's input all come here.
    virtual void MainWndProc(TMessage& Message);
    // The window procedure: the control's own handling of every message.
    virtual void WndProc(TMessage& Message);
    // Hands the message to its handler, DefaultHandler when none.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TContextPopupEvent OnContextPopup;

    // ---- actions (ActnList.h): the control takes the action's caption, enabled
    // state, hint and visibility, and a click executes it (unless OnClick is
    // assigned after the action was set).
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    // Asks the action to update (its OnUpdate).
    virtual void InitiateAction();

    // ---- drag and dock
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind v) { FDragKind = v; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor v) { FDragCursor = v; }
    // Starts a drag (or a dock drag, by DragKind) of this control: at once, or once the
    // mouse has moved Threshold pixels (-1: the system's 5) with the left button down.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends this control's drag: dropped where the pointer is, or cancelled.
    void EndDrag(bool Drop);
    bool Dragging() const;
    // Takes a drop (fires OnDragDrop).
    virtual void DragDrop(TObject* Source, int X, int Y);
    // The dock site the control is docked in (its floating window when floating), nullptr when none.
    TWinControl* HostDockSite() const { return FHostDockSite; }
    // Undocked into a window of its own.
    bool Floating() const;
    // Docks the control in NewDockSite (aligned to ControlSide unless alNone); nullptr floats it.
    // False when the old site's OnUnDock refuses.
    bool ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr, TAlign ControlSide = alNone);
    // Floats the control in a window of its own whose client area is ScreenPos. False when
    // the old site's OnUnDock refuses.
    bool ManualFloat(const TRect& ScreenPos);

    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TStartDockEvent OnStartDock;
    TEndDragEvent OnEndDock;

protected:
    TControlActionLink* ActionLink() const { return FActionLink.get(); }
    // The link made for a new Action; descendants link more properties.
    virtual TControlActionLink* CreateActionLink();
    // Takes the action's properties; with CheckDefaults only where the control's are still its defaults.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    std::unique_ptr<TControlActionLink> FActionLink;

    virtual AnsiString GetText() const { return FText; }
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Click();
    virtual void DblClick();
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void Resize();
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // Scales the bounds by M / D, and the font unless it is the parent's (ScaleBy).
    virtual void ChangeScale(int M, int D);
    // Repositions aligned siblings after a change of this control.
    void RequestAlign();
    // Font and colour of a control that takes its parent's.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();

    // Message handlers; each ends in DefaultHandler.
    virtual void WMLButtonDown(TWMMouse& Message);
    virtual void WMLButtonUp(TWMMouse& Message);
    virtual void WMLButtonDblClk(TWMMouse& Message);
    virtual void WMRButtonDown(TWMMouse& Message);
    virtual void WMRButtonUp(TWMMouse& Message);
    virtual void WMRButtonDblClk(TWMMouse& Message);
    virtual void WMMButtonDown(TWMMouse& Message);
    virtual void WMMButtonUp(TWMMouse& Message);
    virtual void WMMButtonDblClk(TWMMouse& Message);
    virtual void WMMouseMove(TWMMouse& Message);
    virtual void WMMouseWheel(TMessage& Message);
    virtual void WMContextMenu(TMessage& Message);
    virtual void CMMouseWheel(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMHintShow(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);

    // The painted area of the control changed (for a graphic control, in its parent).
    virtual void InvalidateRect(const TRect& r);

    // Shift state from the key bits of a mouse message.
    static TShiftState KeysToShiftState(WPARAM Keys);

    // ---- drag and dock
    // Something is dragged over the control: fires OnDragOver (Accept starts false when it is not assigned).
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    // A drag of this control starts (fires OnStartDrag) or ends (fires OnEndDrag).
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // The same for a dock drag (OnStartDock, OnEndDock).
    virtual void DoStartDock(TDragDockObject*& DragObject);
    virtual void DoEndDock(TObject* Target, int X, int Y);

    friend class TWinControl;
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = akLeft | akTop;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = false;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FParentFont = true;
    AnsiString FText;
    AnsiString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TPopupMenu* FPopupMenu = nullptr;
    TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState FControlState = 0;
    // The parent's client size when the bounds were last set (anchors move from it).
    int FAnchorParentW = 0, FAnchorParentH = 0;

private:
    friend struct TDragDockAccess;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TCursor FDragCursor = crDrag;
    TWinControl* FHostDockSite = nullptr;
    void MouseButtonDown(TWMMouse& Message, TMouseButton Button, TShiftState Extra);
    void MouseButtonUp(TWMMouse& Message, TMouseButton Button);
    void FontChanged(TObject* Sender);
    int FWheelAccumulator = 0;
};

// ---------------------------------------------------------------- message hooks
// A hook sees the messages of a windowed control before its window procedure
// (it stands in for replacing the window's procedure). Next hands the message
// on to the hooks added before this one and then to WndProc; a hook may call it
// to act after the control has handled the message. A hook answers true when it
// has handled the message; when it answers false without having called Next,
// the message goes on as if it had.
using TMessageNext = std::function<void(TMessage& Message)>;
using TMessageHookEx = std::function<bool(TMessage& Message, const TMessageNext& Next)>;
using TMessageHook = std::function<bool(TMessage& Message)>;

// ---------------------------------------------------------------- creation parameters
// What a window is made with: its styles (WS_, and ES_ for an edit) and place.
struct TCreateParams {
    AnsiString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = 0;
    AnsiString WinClassName;
    // The window class's styles: CS_DROPSHADOW on a form without a border makes it a pop-up tip,
    // which the window system draws with the shadow of its tips and never activates.
    struct {
        UINT style = 0;
    } WindowClass;
};

// ---------------------------------------------------------------- TWinControl
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    void SetParent(TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    TPoint ClientOrigin() const override;
    void Repaint() override;
    void Update() override;
    // Paints the control with its children, as it shows them, onto Canvas with its top left at X, Y.
    void PaintTo(TCanvas* Canvas, int X, int Y);

    // Child controls (windowed and graphic), back to front.
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const;
    bool ContainsControl(const TControl* Control) const;
    // The visible, enabled child at a client point (graphic ones only unless AllowWindows).
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWindows = false) const;

    // The window of the control: a non-zero id, made on first need.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded();
    // Makes the window again (WM_DESTROY, then CreateWnd).
    void RecreateWnd();
    // A hidden control kept for later use (an in-place editor) gets its window when it is first
    // shown rather than with its parent's, as pages do (WindowWaitsForShowing).
    void SetWindowWhenShown(bool v) { FWindowWhenShown = v; }

    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v) { FTabStop = v; }
    int TabOrder() const;
    void SetTabOrder(int v);
    // The next control in tab order among the descendants after CurControl.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // Children in tab order.
    void GetTabOrderList(std::vector<TWinControl*>& List);

    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
    // Lays out the aligned and anchored children in the client area.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    // Scales the control and its children by M / D.
    void ScaleBy(int M, int D);

    void MainWndProc(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // Message hooks run newest first; the id removes the hook again. A hook
    // may remove itself (or others) and may destroy the control while it runs;
    // hooks added while a message passes see the next message.
    int AddMessageHook(TMessageHook Hook);
    int AddMessageHook(TMessageHookEx Hook);
    void RemoveMessageHook(int Id);
    int MessageHookCount() const;

    // ---- Unicode windows: typed characters beyond Windows-1250 reach the
    // window's toolkit widget whole. Its WM_CHAR carries 255 in the low byte
    // and the character in the high word, so 8-bit key handlers see 255.
    bool UnicodeWindow() const { return FUnicodeWindow; }
    void SetUnicodeWindow(bool v) { FUnicodeWindow = v; }

    // ---- the three-dimensional look (a sunken frame); with ParentCtl3D the parent's.
    bool Ctl3D() const;
    void SetCtl3D(bool v);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool v);

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // ---- docking
    // A dock site takes controls dragged with DragKind dkDock.
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool v) { FDockSite = v; }
    // The controls docked here.
    int DockClientCount() const { return int(FDockClients.size()); }
    TControl* DockClients(int Index) const;
    // Docks the dragged control here (placed in the dock rectangle, or aligned to DropAlign),
    // then fires OnDockDrop.
    virtual void DockDrop(TDragDockObject* Source, int X, int Y);

    TDockOverEvent OnDockOver;
    TDockDropEvent OnDockDrop;
    TUnDockEvent OnUnDock;
    TGetSiteInfoEvent OnGetSiteInfo;

protected:
    // Makes the window: descendants call the inherited CreateWnd first and
    // may then start timers and the like. Runs once per window.
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // The toolkit widget of the control; a standard control wraps a ready
    // widget here (see Controls_p.h). nullptr: a widget that paints through WM_PAINT.
    virtual TNativeWidget* CreateNativeWidget();
    // A control without a parent is a window of its own only when this says so (forms).
    virtual bool IsTopLevelWindow() const { return false; }
    // A page of a notebook or page control: its window (and its controls')
    // is made when it is first shown, not with its parent's, as most pages
    // are never shown at all. Handle() makes it at any time.
    virtual bool WindowWaitsForShowing() const { return FWindowWhenShown; }
    // The window's creation parameters: WS_CHILD, WS_VISIBLE, WS_TABSTOP ... from the
    // properties; descendants add theirs (an edit's ES_ styles), and the standard
    // controls take them when their window is made.
    virtual void CreateParams(TCreateParams& Params);

    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // True when the key was swallowed (set to 0).
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);
    // Paints the window and then its graphic children (inside WM_PAINT).
    virtual void PaintWindow();
    void PaintControls();
    void PaintHandler(TMessage& Message);
    void ParentColorChanged() override;
    // The children first, then the control itself.
    void ChangeScale(int M, int D) override;
    void InvalidateRect(const TRect& r) override;
    // The window system moved or sized the window (a top-level window dragged,
    // maximised or restored): the bounds follow it, with the messages of a move.
    void WindowBoundsChanged(int ALeft, int ATop, int AWidth, int AHeight);

    virtual void WMKeyDown(TWMKey& Message);
    virtual void WMKeyUp(TWMKey& Message);
    virtual void WMChar(TWMKey& Message);
    virtual void WMSysKeyDown(TWMKey& Message);
    virtual void WMSysKeyUp(TWMKey& Message);
    virtual void WMSysChar(TWMKey& Message);
    virtual void WMSetFocus(TWMFocus& Message);
    virtual void WMKillFocus(TWMFocus& Message);
    virtual void WMSize(TWMSize& Message);
    virtual void WMPaint(TMessage& Message);
    virtual void WMEraseBkgnd(TMessage& Message);
    virtual void WMGetDlgCode(TMessage& Message);
    virtual void WMTimer(TWMTimer& Message);
    virtual void WMSetCursor(TMessage& Message);
    virtual void WMDestroy(TMessage& Message);
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    virtual void CMDialogKey(TMessage& Message);
    virtual void CMDialogChar(TMessage& Message);
    virtual void CMWantSpecialKey(TMessage& Message);

    // ---- docking
    // A dock drag is over the site: fires OnDockOver (Accept starts true).
    virtual void DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept);
    // A docked control leaves for NewTarget (nullptr: it floats): fires OnUnDock; false refuses.
    virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
    // Where the site takes a dock drag: InfluenceRect (screen) starts as the site's bounds
    // grown by 10 pixels; fires OnGetSiteInfo.
    virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock);

private:
    friend class TControl;
    friend struct TDragDockAccess;
    bool FDockSite = false;
    std::vector<TControl*> FDockClients;
    friend class TWinControlImpl;
    friend TWinControlImpl& WinImpl(TWinControl* c);
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    void CreateHandle();
    void ApplyGeometry();
    void AnchorChildren();

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    std::unique_ptr<TWinControlImpl> FImpl;
    HWND FHandle = 0;
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    bool FUnicodeWindow = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FWindowWhenShown = false;
    int FAlignLevel = 0;
    bool FAligning = false;
};

// ---------------------------------------------------------------- TCustomControl
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    // The canvas draws only while the control paints (in Paint).
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint();
    void PaintWindow() override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// ---------------------------------------------------------------- TGraphicControl
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint();
    void Dispatch(TMessage& Message) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A paint box: a graphic control painted by its OnPaint.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// ---------------------------------------------------------------- drag objects
// What a drag carries; the framework makes a TDragControlObject (a TDragDockObject for a
// dock drag) when OnStartDrag (OnStartDock) leaves none, and frees the objects it made.
class TDragObject : public TObject {
public:
    ~TDragObject() override;
    // The control under the pointer and the pointer (screen) during the drag.
    TControl* DragTarget() const { return FDragTarget; }
    TPoint DragPos() const { return FDragPos; }
    bool Dropped() const { return FDropped; }
    bool Cancelling() const { return FCancelling; }
    // The cursor over a target that accepts (crDrag, or the source's DragCursor) or not (crNoDrop).
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    // The drag has ended on Target (nullptr: none), accepted or not.
    virtual void Finished(TObject* Target, int X, int Y, bool Accepted) {}

private:
    friend struct TDragDockAccess;
    TControl* FDragTarget = nullptr;
    TPoint FDragPos;
    bool FDropped = false;
    bool FCancelling = false;
};

class TBaseDragControlObject : public TDragObject {
public:
    explicit TBaseDragControlObject(TControl* AControl) : FControl(AControl) {}
    TControl* Control() const { return FControl; }
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;

private:
    TControl* FControl;
};

class TDragControlObject : public TBaseDragControlObject {
public:
    using TBaseDragControlObject::TBaseDragControlObject;
};

class TDragDockObject : public TBaseDragControlObject {
public:
    using TBaseDragControlObject::TBaseDragControlObject;
    // Where the control would land (screen): on a site, or floating.
    TRect DockRect() const { return FDockRect; }
    void SetDockRect(const TRect& v) { FDockRect = v; }
    TAlign DropAlign() const { return FDropAlign; }
    void SetDropAlign(TAlign v) { FDropAlign = v; }
    TControl* DropOnControl() const { return FDropOnControl; }
    // True while no site takes the control: dropped so, it floats.
    bool Floating() const { return FFloating; }
    void SetFloating(bool v) { FFloating = v; }
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;

private:
    friend struct TDragDockAccess;
    TRect FDockRect;
    TAlign FDropAlign = alNone;
    TControl* FDropOnControl = nullptr;
    bool FFloating = true;
};

// The control under a screen point (the deepest visible one, disabled ones too when asked).
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// Cancels the drag in progress, if any.
void CancelDrag();
// The drag object of the drag in progress, nullptr when none.
TDragObject* DragObject();

// ---------------------------------------------------------------- window functions
// The form a control sits on, nullptr when none.
TCustomForm* GetParentForm(TControl* Control);
// The control of a window handle, nullptr for an unknown or destroyed window.
TWinControl* FindControl(HWND Handle);
// True when Child is a window inside Parent's window (its child, or a child of one).
bool IsChild(HWND Parent, HWND Child);
// Synchronous: the window procedure of the window runs now. 0 for an unknown window.
LRESULT SendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);
// Queued: delivered from the event loop, in order, after the Application's
// OnMessage. Returns false for an unknown window.
bool PostMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);
// The quit message: the application's event loop ends when it takes it.
void PostQuitMessage(int ExitCode);
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
// The first waiting posted message for the window (0: any window) with a number
// from MsgFilterMin to MsgFilterMax (both 0: any); PM_REMOVE takes it from the
// queue. A waiting quit message is found whatever the filter, and stays queued
// even with PM_REMOVE (posted again, as a program does after taking it).
// Input the window system has not yet delivered is not seen.
bool PeekMessage(TMsg& Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, UINT RemoveMsg);
// Moves, sizes, orders, shows or hides a window (SWP_ flags; HWND_TOP or
// HWND_BOTTOM for the order). False for an unknown window.
bool SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags);
// SW_HIDE hides, SW_SHOW... shows (a form: minimised, maximised or restored as
// asked); true when the window was visible before.
bool ShowWindow(HWND Handle, int CmdShow);
HWND SetCapture(HWND Handle);
bool ReleaseCapture();
HWND GetCapture();
HWND GetFocus();
HWND SetFocus(HWND Handle);
// Keys and buttons as the last input event left them: negative (high bit) when down.
SHORT GetKeyState(int VirtKey);
SHORT GetAsyncKeyState(int VirtKey);
bool GetCursorPos(TPoint& Point);
bool SetCursorPos(int X, int Y);
UINT GetDoubleClickTime();
// The lines a notch of the mouse wheel scrolls: the desktop's setting, read into *(UINT*)PvParam
// (SPI_GETWHEELSCROLLLINES), or Param set for this program (SPI_SETWHEELSCROLLLINES); false for
// any other action.
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068, SPI_SETWHEELSCROLLLINES = 0x0069;
bool SystemParametersInfo(UINT Action, UINT Param, void* PvParam, UINT WinIni);
// Shift state of the keyboard and mouse buttons now.
TShiftState KeyboardStateToShiftState();
bool IsWindow(HWND Handle);
bool IsWindowVisible(HWND Handle);
bool IsWindowEnabled(HWND Handle);
bool EnableWindow(HWND Handle, bool Enable);
bool InvalidateRect(HWND Handle, const TRect* Rect, bool Erase);
bool UpdateWindow(HWND Handle);
// The window region of a polygon (client coordinates, winding fill): the window shows and takes
// the mouse only inside it; no points give the window its whole rectangle back.
bool SetWindowPolygonRgn(HWND Handle, const std::vector<TPoint>& Points);

// Window timers: WM_TIMER with WParam = IDEvent reaches the control every Elapse
// milliseconds. Setting an existing id again restarts it. The timers of a
// window end with the window.
UINT_PTR SetTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse, void* TimerFunc = nullptr);
bool KillTimer(HWND Handle, UINT_PTR IDEvent);
UINT_PTR SetTimer(TWinControl* Control, UINT_PTR IDEvent, UINT Elapse);
bool KillTimer(TWinControl* Control, UINT_PTR IDEvent);

// ---------------------------------------------------------------- TTimer
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal v);
    TNotifyEvent OnTimer;
    // One tick: fires OnTimer (the layer's timer calls it).
    void Timer();

private:
    void UpdateTimer();
    bool FEnabled = true;
    Cardinal FInterval = 1000;
};
