#pragma once
// Forms, the application object and the screen.
#include <functional>
#include <vector>

#include "platform/gui/Controls.h"

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

class TMainMenu;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState v);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Focuses the control when the form is showing, else when it is shown.
    void SetActiveControl(TWinControl* v);
    bool Active() const;
    TCanvas* Canvas() const { return FCanvas.get(); }
    // The main menu shows as the window's menu bar, above the client area.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* v);
    TRect ClientRect() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void Show();
    void Hide();
    void SetVisible(bool v) override;
    // Shows the form and waits until ModalResult is set; returns it.
    // EInvalidOperation "Cannot make a visible window modal" for a visible form.
    virtual int ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v);
    bool Modal() const { return FModal; }
    // OnCloseQuery, then OnClose and its action; a modal form gets mrCancel.
    void Close();
    virtual bool CloseQuery();
    // Frees the form from the event loop, after the current message.
    void Release();
    // Ends a modal run whose ModalResult is set: OnCloseQuery and OnClose may
    // keep the form open (ModalResult back to mrNone).
    void CloseModal();
    void BringToFront();
    // The form whose window owns this one's while it is shown (nullptr: none). An owned window
    // stays above its owner (and goes with it when that is minimised). A top-level form with a
    // frame, other than the main form, is owned when it is shown: by its owner component where
    // that is a shown form, else, shown modally, by the form active then, else by the main form.
    TCustomForm* WindowOwner() const;
    // Fires OnCreate; the application calls it for the forms it creates.
    virtual void DoCreate();
    void FocusControl(TWinControl* Control);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void Dispatch(TMessage& Message) override;

    // ---- window placement and size limits
    // The bounds the window has when it is neither maximised nor minimised (the
    // current bounds of a normal window).
    TRect RestoredBounds() const;
    // Sets the restored bounds; a maximised or minimised window keeps its state and
    // takes them when it is restored.
    void SetRestoredBounds(const TRect& R);
    // Limits of the size the user and the program give the window (0: no limit); the
    // form's Constraints hold for the window the same way.
    void SetSizeLimits(int MinWidth, int MinHeight, int MaxWidth, int MaxHeight);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // A minimised window that comes back maximised.
    bool RestoresMaximized() const;
    void SetRestoresMaximized(bool v);
    // The window offers maximising (the maximise box and system command).
    bool MaximizeBox() const { return FMaximizeBox; }
    void SetMaximizeBox(bool v);
    // The title bar carries the window's buttons and system menu (off: the caption alone, as a
    // form without border icons).
    bool SystemMenu() const { return FSystemMenu; }
    void SetSystemMenu(bool v);
    // Where the window goes when maximised, as the placement keeps it ((-1, -1): the system's choice).
    TPoint MaximizedPos() const { return FMaximizedPos; }
    void SetMaximizedPos(const TPoint& v) { FMaximizedPos = v; }
    // Translucency of a top-level window: with AlphaBlend the window shows with the opacity
    // AlphaBlendValue / 255 (0 invisible, 255 opaque). A form inside another window, or a
    // platform that cannot make windows translucent, shows it opaque.
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool v);
    Byte AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(Byte v);

protected:
    bool IsTopLevelWindow() const override { return true; }
    void PaintWindow() override;
    virtual void Paint();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void CMDialogKey(TMessage& Message) override;
    void CreateWnd() override;

private:
    friend class TWinControl;
    friend class TApplication;
    friend void FormActivated(TCustomForm* Form, bool Active);
    friend void FormWindowChanged(TCustomForm* Form, bool StateChanged);
    friend void FormFramed(TCustomForm* Form);
    // The window flags of the border and form style, and the owner window (ChooseWindowOwner)
    // of a form that is shown or Showing.
    void ApplyWindowFlags(bool Showing = false);
    TCustomForm* ChooseWindowOwner() const;
    void ApplyOpacity();
    void PlaceOnScreen();
    // Gives a normal top-level window the bounds Asked (left, top, right, bottom) as far as they
    // lie inside the work area of its screen, its frame too: no larger than it and not partly
    // off it.
    void FitOnScreen(const TRect& Asked);
    // Fits the window's bounds as they are, the size asked for and the one it got noted.
    void FitAsShown();
    TBorderStyle FBorderStyle = bsSizeable;
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    TWinControl* FActiveControl = nullptr;
    TMainMenu* FMenu = nullptr;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FActive = false;
    bool FPlaced = false;
    // Shown, and fitted once more when the window system tells the frame's size: the size asked
    // for and the size it was fitted to before.
    bool FFitPending = false;
    TSize FFitAsked, FFitted;
    std::unique_ptr<TCanvas> FCanvas;
    bool FMaximizeBox = true;
    bool FSystemMenu = true;
    TPoint FMaximizedPos{-1, -1};
    TRect FSizeLimits;
    // The window system is given the tighter of the size limits and the Constraints.
    void ApplyWindowLimits();
    bool FAlphaBlend = false;
    Byte FAlphaBlendValue = 255;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// ---------------------------------------------------------------- application
using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception* E)>;

class TEndSignals;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // From here on the program asked to end by the system (a logout, a shutdown, kill, Ctrl+C in
    // its terminal) terminates as at any end.
    void Initialize();
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& v) { FTitle = v; }
    // The program file (Windows-1250).
    AnsiString ExeName() const;
    HWND Handle() const { return FHandle; }
    TCustomForm* MainForm() const { return FMainForm; }

    // Makes a form owned by the application; the first one is the main form.
    template <class T>
    T* CreateForm(T*& Reference)
    {
        T* form = new T(this);
        Reference = form;
        FormCreated(form);
        return form;
    }
    void FormCreated(TCustomForm* Form);

    // Shows the main form and runs the event loop until it closes or Terminate.
    void Run();
    // Asks the event loop to end.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles what is waiting (events and posted messages), without waiting.
    void ProcessMessages();
    // Waits for one event and handles it.
    void HandleMessage();
    int MessageBox(const AnsiString& Text, const AnsiString& Caption = AnsiString(), int Flags = 0);
    // OnException, or a message box with the exception's message (not for EAbort).
    void HandleException(TObject* Sender);
    void ShowException(Exception* E);

    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    int HintPause() const { return FHintPause; }
    void SetHintPause(int v) { FHintPause = v; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int v) { FHintHidePause = v; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor v) { FHintColor = v; }
    void CancelHint();
    AnsiString Hint() const { return FHint; }

    TMessageEvent OnMessage;
    TExceptionEvent OnException;
    TNotifyEvent OnHint;

private:
    friend class TCustomForm;
    friend void ClearApplicationTerminated();
    AnsiString FTitle;
    HWND FHandle = 0;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    TColor FHintColor = clInfoBk;
    AnsiString FHint;
    std::unique_ptr<TEndSignals> FEndSignals;
};

// ---------------------------------------------------------------- screen
// A cursor of the toolkit, by number.
using HCURSOR = std::intptr_t;

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // crDefault puts back each control's own cursor.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);
    // Standard cursors by their crXXX number, custom ones by the number they were registered with.
    HCURSOR Cursors(int Index) const;
    void SetCursors(int Index, HCURSOR Cursor);
    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return 96; }
    TRect WorkAreaRect() const;
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const;

private:
    friend class TCustomForm;
    TCursor FCursor = crDefault;
    std::vector<TCustomForm*> FForms;
};

// A cursor from a picture (the hot spot in its pixels); 0 for an empty picture.
HCURSOR CreateCursorFromBitmap(TBitmap* Image, int HotX, int HotY);

extern TApplication* Application;
extern TScreen* Screen;

// Starts the toolkit and makes Application and Screen (the program's main
// calls it first); FinalizeApplication frees them.
void InitializeApplication(int& argc, char** argv);
void FinalizeApplication();
