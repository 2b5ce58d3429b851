#pragma once
// Hooks for the test suites: they start the toolkit without a display and
// never let a dialog block. Tests outside platform/gui see no toolkit types.
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/OleDragDrop.h"

// Creates the application object on the offscreen platform, with scripted
// dialogs and timers that fire only when a test fires them.
void InitTestApplication(int& argc, char** argv);
void DoneTestApplication();

// ---------------------------------------------------------------- dialogs
// Thrown by a dialog that the test did not script (or that differs from the script).
VELMAROK_EXCEPTION(EUnexpectedDialog, Exception)

struct TRecordedDialog {
    TDialogKind Kind = dkMessageBox;
    AnsiString Name;
    AnsiString Text;
    AnsiString Caption;
    unsigned Flags = 0;
    int Result = 0;
};

class TDialogScript {
public:
    // The next message box (or message dialog) answers Answer (IDYES, mrOk ...);
    // with TextContains the box's text must contain it.
    TDialogScript& ExpectMessageBox(int Answer, const AnsiString& TextContains = AnsiString());
    // The next modal form (by Name or class name, "" any): Before runs on the
    // shown form, then the form's ModalResult becomes ModalResult unless Before set it.
    TDialogScript& ExpectModal(const AnsiString& FormName, int ModalResult,
                               std::function<void(TForm*)> Before = nullptr);
    // The next input box: accepted with Value, or cancelled.
    TDialogScript& ExpectInput(bool Ok, const AnsiString& Value = AnsiString());
    // Any dialog of a kind (common dialogs): Answer may fill the request's Values.
    TDialogScript& ExpectDialog(TDialogKind Kind, const AnsiString& Name, int Result,
                                std::function<void(TDialogRequest&)> Answer = nullptr);
};
TDialogScript& ScriptDialogs();
// The dialogs shown since the last clear, in order.
const std::vector<TRecordedDialog>& RecordedDialogs();
void ClearRecordedDialogs();
// True when every scripted answer was used; clears the script.
bool VerifyNoPendingDialogs();
// A message box expected with ExpectDialog(dkMessageBox, TextContains, Answer, Check)
// runs Check while it is shown.
// The real dialog of a request (inside a scripted answer) as the toolkit shows it: runs it,
// takes its window title (and, of a file dialog, the folder it shows) and then the texts of its
// buttons, labels and tabs, one a line, saves
// its picture as a PNG file to ShotFile when given, and cancels it. Nothing is chosen.
AnsiString ShownDialogTexts(TDialogRequest& Request, const AnsiString& ShotFile = AnsiString());

// ---------------------------------------------------------------- application
// Takes back the application's terminate request, so that a test can run
// another start of a program that ended.
void ClearApplicationTerminated();

// ---------------------------------------------------------------- input
// Mouse and keyboard events, delivered as the toolkit delivers real input.
// Points are client coordinates of the control. Each call advances the input
// clock by 10 ms, so two clicks in a row make a double click.
void MouseDown(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = 0);
void MouseUp(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = 0);
void MouseMove(TControl* Control, int X, int Y, TShiftState Shift = 0);
void Click(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = 0);
void DoubleClick(TControl* Control, int X, int Y, TShiftState Shift = 0);
void Drag(TControl* Control, TPoint From, TPoint To, TMouseButton Button = mbLeft, TShiftState Shift = 0);
void Wheel(TControl* Control, int X, int Y, int Delta, TShiftState Shift = 0);
void MouseLeave(TControl* Control);
// Lets time pass on the input clock (beyond the double-click time, for example).
void AdvanceInputClock(unsigned Milliseconds);
// Key press and release by virtual key; the press carries the character it types.
void KeyDown(TWinControl* Control, Word Key, TShiftState Shift = 0);
void KeyUp(TWinControl* Control, Word Key, TShiftState Shift = 0);
void TypeKey(TWinControl* Control, Word Key, TShiftState Shift = 0);
// A key press as the toolkit delivers one from a keyboard: named by the character the key gives
// with these modifiers ('!' for Shift+1, 'P' for Shift+P).
void KeyDownAsTyped(TWinControl* Control, char Typed, TShiftState Shift);
// Types Windows-1250 text, a character at a time.
void TypeText(TWinControl* Control, const AnsiString& Text);
// Types Unicode text, a character at a time (characters beyond Windows-1250 too).
void TypeWideText(TWinControl* Control, const WideString& Text);
// An input method hands the control the result of a composition, all at once.
void CommitInputMethodText(TWinControl* Control, const WideString& Text);
// The cursor the control's window shows now: crDefault when it sets none (for a
// top-level window, which always has one, the arrow), else the standard cursor
// of that shape (crArrow for the arrow).
TCursor WindowCursor(TWinControl* Control);
// The hint text the control shows at the point ("" for none).
AnsiString HintAt(TControl* Control, int X, int Y);
// The form's menu bar as shown: captions by "|", a sub-menu in "[...]", a
// separator "-", a disabled entry with "(off)", a checked one with "(on)".
AnsiString MenuBarText(TCustomForm* Form);
// Chooses an entry of the form's menu bar by its captions from the bar down,
// as the user clicks it; false when it is not there or disabled.
bool ClickMenuBar(TCustomForm* Form, const std::vector<AnsiString>& Path);

// ---------------------------------------------------------------- the window system
// What the user does to a form's window through the window system: the close
// button, maximise / minimise / restore, dragging or sizing its frame.
void CloseWindowByUser(TCustomForm* Form);
void SetWindowStateByUser(TCustomForm* Form, TWindowState State);
void MoveWindowByUser(TCustomForm* Form, int Left, int Top, int Width, int Height);
// The window system's activation of a form's window (true) or its loss (false).
void ActivateWindowByUser(TCustomForm* Form, bool Active);
// The opacity the window system is asked to show the form's window with (0 to 1; 1 without a window).
double WindowOpacity(TCustomForm* Form);
// Where the form's window lies on the screen, its frame included.
TRect WindowFrame(TCustomForm* Form);
// The window system is asked for a close box on the form's title bar.
bool WindowCloseBox(TCustomForm* Form);
// The form's window is a pop-up tip to the window system (shadowed as its tips, never activated).
bool WindowIsTip(TWinControl* Window);
// The desktop's theme changed (or, with ColoursOnly, only its colours), as the window system tells the form.
void ChangeDesktopTheme(TCustomForm* Form, bool ColoursOnly = false);

// ---------------------------------------------------------------- system drag and drop
// One point of a system drag: the pointer over a control (its client coordinates), keys held.
struct TSystemDragStep {
    TControl* Over = nullptr;
    int X = 0;
    int Y = 0;
    TShiftState Shift = 0;   // ssShift, ssCtrl, ssAlt
    bool Escape = false;     // Escape pressed at this point
};
// The next system drag the program starts (DoDragDrop) runs at once along the steps with the
// left button held, through the same drag events a real drag sends; the button is released
// at the last step (a drop there).
void ScriptSystemDrag(const std::vector<TSystemDragStep>& Steps);
// True while a scripted drag waits for the program to start it.
bool SystemDragPending();
// What another program drags in: text, rich text, files, a link, a grid column.
struct TSystemDropData {
    AnsiString Text;
    AnsiString Rtf;
    std::vector<AnsiString> Files;
    AnsiString Url;
    int Column = -1;
};
// Another program drags the data over the steps (the last is the drop point) and drops it;
// the effect the drop took (DROPEFFECT_NONE when no window took it).
DWORD DropFromOutside(const TSystemDropData& Data, const std::vector<TSystemDragStep>& Steps,
                      DWORD OkEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
// The size of the drag image of the last system drag (0 x 0 without one).
TSize LastSystemDragImageSize();

// ---------------------------------------------------------------- printer
// Runs Printer() at Dpi dots per inch, as a printer of that resolution would (0: back to its own).
void SetPrinterResolution(int Dpi);

// ---------------------------------------------------------------- painting, timers, loop
// The control as painted now.
std::unique_ptr<TBitmap> GrabControl(TControl* Control);
// The hint window the toolkit shows now (empty when none is shown).
std::unique_ptr<TBitmap> GrabShownHint();
// The whole screen as the display shows it now, the windows of other programs too (empty on
// the offscreen platform, which shows nothing).
std::unique_ptr<TBitmap> GrabScreen();
// A window timer of the control (or a TTimer) fires now; false when it is not set.
bool FireTimer(TWinControl* Control, UINT_PTR ID);
bool FireTimer(TTimer* Timer);
bool TimerActive(TWinControl* Control, UINT_PTR ID);
// Every timer fires once; returns how many did.
int FireAllTimers();
// Handles pending events and posted messages; rethrows what a handler raised.
void ProcessPendingMessages();

// ---------------------------------------------------------------- web
// Runs the event loop (without the layer's timers) until Done() is true or
// TimeoutMs has passed; returns Done(). For what the toolkit does on its own
// (a page loading in the browser); rethrows what a handler raised.
bool WaitUntil(const std::function<bool()>& Done, unsigned TimeoutMs = 10000);

// A local HTTP server on 127.0.0.1 (a free port) serving given bytes, for
// the browser and the downloads. It answers on a thread of its own, at most
// 32 connections at once, requests of up to 16 KiB of headers, each
// connection closed after one answer or 10 s without a request; GET and HEAD
// only. The destructor (or Stop) closes the port and joins the thread.
class TTestHttpServer {
public:
    TTestHttpServer();
    ~TTestHttpServer();
    TTestHttpServer(const TTestHttpServer&) = delete;
    TTestHttpServer& operator=(const TTestHttpServer&) = delete;

    // Answers requests for Path (the path without the query, "/index.php")
    // with Status, ContentType and Body. Other paths get 404.
    void Serve(const AnsiString& Path, int Status, const AnsiString& ContentType, const std::string& Body);
    // Requests for Path get no answer (the connection stays open until the
    // client gives up or the server stops).
    void Stall(const AnsiString& Path);
    void Stop();
    int Port() const;
    // "http://127.0.0.1:PORT" followed by PathAndQuery.
    AnsiString Url(const AnsiString& PathAndQuery = "/") const;
    // The targets (path and query) of the requests received, in order.
    std::vector<AnsiString> Requests() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// Requests of the program to Origin ("https://sklep.pkn.pl", the maker's
// "https://velmarok.invalid/") go to the server instead, path and query
// kept: in the browser and in downloads alike. The program keeps its
// addresses; only the tests redirect them.
void RedirectHostToTestServer(const AnsiString& Origin, const TTestHttpServer& Server);
// Ends every redirection.
void ClearHostRedirects();
