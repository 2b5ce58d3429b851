#pragma once
// Window messages: the message record, the message numbers, virtual-key codes
// and the flag values of the platform, and the typed views of the message
// record that message handlers take.
#include <cstdint>

#include "platform/core/Types.h"

using HWND = std::uintptr_t;       // a window of the layer: 0 is none
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT = unsigned;
using DWORD = std::uint32_t;
using SHORT = std::int16_t;
using UINT_PTR = std::uintptr_t;
using BOOL = int;
// COM result codes: negative is a failure.
using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0, S_FALSE = 1;
constexpr HRESULT E_ABORT = HRESULT(0x80004004u), E_FAIL = HRESULT(0x80004005u),
                  E_ACCESSDENIED = HRESULT(0x80070005u), E_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr Word LOWORD(std::uintptr_t v) { return Word(v & 0xFFFF); }
constexpr Word HIWORD(std::uintptr_t v) { return Word((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(DWORD((Word(lo)) | (DWORD(Word(hi)) << 16))); }
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(DWORD((Word(lo)) | (DWORD(Word(hi)) << 16))); }
constexpr int GET_X_LPARAM(LPARAM lp) { return SHORT(Word(lp & 0xFFFF)); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return SHORT(Word((lp >> 16) & 0xFFFF)); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM wp) { return SHORT(HIWORD(wp)); }

struct TMessage {
    Cardinal Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    Word WParamLo() const { return LOWORD(WParam); }
    Word WParamHi() const { return HIWORD(WParam); }
    Word LParamLo() const { return LOWORD(std::uintptr_t(LParam)); }
    Word LParamHi() const { return HIWORD(std::uintptr_t(LParam)); }
};

// A message as the message loop sees it (Application's OnMessage).
struct TMsg {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    TPoint pt;
};

// ---------------------------------------------------------------- typed views
// A view reads and writes the message record it was made from.
struct TWMKey {
    TMessage& M;
    explicit TWMKey(TMessage& m) : M(m) {}
    Cardinal Msg() const { return M.Msg; }
    Word CharCode() const { return Word(M.WParam); }
    void SetCharCode(Word v) { M.WParam = v; }
    LongInt KeyData() const { return LongInt(M.LParam); }
    LRESULT Result() const { return M.Result; }
    void SetResult(LRESULT v) { M.Result = v; }
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;

struct TWMMouse {
    TMessage& M;
    explicit TWMMouse(TMessage& m) : M(m) {}
    Cardinal Msg() const { return M.Msg; }
    LongInt Keys() const { return LongInt(M.WParam); }
    int XPos() const { return GET_X_LPARAM(M.LParam); }
    int YPos() const { return GET_Y_LPARAM(M.LParam); }
    TPoint Pos() const { return TPoint(XPos(), YPos()); }
    LRESULT Result() const { return M.Result; }
    void SetResult(LRESULT v) { M.Result = v; }
};

struct TWMMouseWheel {
    TMessage& M;
    explicit TWMMouseWheel(TMessage& m) : M(m) {}
    int Keys() const { return LOWORD(M.WParam); }
    int WheelDelta() const { return GET_WHEEL_DELTA_WPARAM(M.WParam); }
    int XPos() const { return GET_X_LPARAM(M.LParam); }    // screen coordinates
    int YPos() const { return GET_Y_LPARAM(M.LParam); }
    void SetResult(LRESULT v) { M.Result = v; }
};

struct TWMTimer {
    TMessage& M;
    explicit TWMTimer(TMessage& m) : M(m) {}
    UINT_PTR TimerID() const { return M.WParam; }
    void SetResult(LRESULT v) { M.Result = v; }
};

struct TWMSize {
    TMessage& M;
    explicit TWMSize(TMessage& m) : M(m) {}
    int SizeType() const { return int(M.WParam); }
    int Width() const { return M.LParamLo(); }
    int Height() const { return M.LParamHi(); }
};

// WM_SETFOCUS / WM_KILLFOCUS: the window that loses or gains the focus.
struct TWMFocus {
    TMessage& M;
    explicit TWMFocus(TMessage& m) : M(m) {}
    HWND FocusedWnd() const { return HWND(M.WParam); }
};

// ---------------------------------------------------------------- window messages
constexpr Cardinal WM_NULL = 0x0000;
constexpr Cardinal WM_CREATE = 0x0001;
constexpr Cardinal WM_DESTROY = 0x0002;
constexpr Cardinal WM_MOVE = 0x0003;
constexpr Cardinal WM_SIZE = 0x0005;
constexpr Cardinal WM_ACTIVATE = 0x0006;
constexpr Cardinal WM_SETFOCUS = 0x0007;
constexpr Cardinal WM_KILLFOCUS = 0x0008;
constexpr Cardinal WM_ENABLE = 0x000A;
constexpr Cardinal WM_SETREDRAW = 0x000B;
constexpr Cardinal WM_SETTEXT = 0x000C;
constexpr Cardinal WM_GETTEXT = 0x000D;
constexpr Cardinal WM_GETTEXTLENGTH = 0x000E;
constexpr Cardinal WM_PAINT = 0x000F;
constexpr Cardinal WM_CLOSE = 0x0010;
constexpr Cardinal WM_QUERYENDSESSION = 0x0011;
constexpr Cardinal WM_QUIT = 0x0012;
constexpr Cardinal WM_ERASEBKGND = 0x0014;
constexpr Cardinal WM_SYSCOLORCHANGE = 0x0015;
constexpr Cardinal WM_SHOWWINDOW = 0x0018;
constexpr Cardinal WM_ACTIVATEAPP = 0x001C;
constexpr Cardinal WM_CANCELMODE = 0x001F;
constexpr Cardinal WM_SETCURSOR = 0x0020;
constexpr Cardinal WM_MOUSEACTIVATE = 0x0021;
constexpr Cardinal WM_GETMINMAXINFO = 0x0024;
constexpr Cardinal WM_NEXTDLGCTL = 0x0028;
constexpr Cardinal WM_DRAWITEM = 0x002B;
constexpr Cardinal WM_MEASUREITEM = 0x002C;
constexpr Cardinal WM_SETFONT = 0x0030;
constexpr Cardinal WM_GETFONT = 0x0031;
constexpr Cardinal WM_WINDOWPOSCHANGING = 0x0046;
constexpr Cardinal WM_WINDOWPOSCHANGED = 0x0047;
constexpr Cardinal WM_NOTIFY = 0x004E;
constexpr Cardinal WM_HELP = 0x0053;
constexpr Cardinal WM_CONTEXTMENU = 0x007B;
constexpr Cardinal WM_NCCREATE = 0x0081;
constexpr Cardinal WM_NCDESTROY = 0x0082;
constexpr Cardinal WM_NCCALCSIZE = 0x0083;
constexpr Cardinal WM_NCHITTEST = 0x0084;
constexpr Cardinal WM_NCPAINT = 0x0085;
constexpr Cardinal WM_GETDLGCODE = 0x0087;
constexpr Cardinal WM_NCMOUSEMOVE = 0x00A0;
constexpr Cardinal WM_NCLBUTTONDOWN = 0x00A1;
constexpr Cardinal WM_KEYFIRST = 0x0100;
constexpr Cardinal WM_KEYDOWN = 0x0100;
constexpr Cardinal WM_KEYUP = 0x0101;
constexpr Cardinal WM_CHAR = 0x0102;
constexpr Cardinal WM_SYSKEYDOWN = 0x0104;
constexpr Cardinal WM_SYSKEYUP = 0x0105;
constexpr Cardinal WM_SYSCHAR = 0x0106;
constexpr Cardinal WM_KEYLAST = 0x0108;
constexpr Cardinal WM_COMMAND = 0x0111;
constexpr Cardinal WM_SYSCOMMAND = 0x0112;
constexpr Cardinal WM_TIMER = 0x0113;
constexpr Cardinal WM_HSCROLL = 0x0114;
constexpr Cardinal WM_VSCROLL = 0x0115;
constexpr Cardinal WM_CTLCOLOREDIT = 0x0133;
constexpr Cardinal WM_MOUSEFIRST = 0x0200;
constexpr Cardinal WM_MOUSEMOVE = 0x0200;
constexpr Cardinal WM_LBUTTONDOWN = 0x0201;
constexpr Cardinal WM_LBUTTONUP = 0x0202;
constexpr Cardinal WM_LBUTTONDBLCLK = 0x0203;
constexpr Cardinal WM_RBUTTONDOWN = 0x0204;
constexpr Cardinal WM_RBUTTONUP = 0x0205;
constexpr Cardinal WM_RBUTTONDBLCLK = 0x0206;
constexpr Cardinal WM_MBUTTONDOWN = 0x0207;
constexpr Cardinal WM_MBUTTONUP = 0x0208;
constexpr Cardinal WM_MBUTTONDBLCLK = 0x0209;
constexpr Cardinal WM_MOUSEWHEEL = 0x020A;
constexpr Cardinal WM_MOUSELAST = 0x020A;
constexpr Cardinal WM_SIZING = 0x0214;
constexpr Cardinal WM_CAPTURECHANGED = 0x0215;
constexpr Cardinal WM_MOVING = 0x0216;
constexpr Cardinal WM_ENTERSIZEMOVE = 0x0231;
constexpr Cardinal WM_EXITSIZEMOVE = 0x0232;
constexpr Cardinal WM_DROPFILES = 0x0233;
constexpr Cardinal WM_MOUSEHOVER = 0x02A1;
constexpr Cardinal WM_MOUSELEAVE = 0x02A3;
constexpr Cardinal WM_CUT = 0x0300;
constexpr Cardinal WM_COPY = 0x0301;
constexpr Cardinal WM_PASTE = 0x0302;
constexpr Cardinal WM_CLEAR = 0x0303;
constexpr Cardinal WM_UNDO = 0x0304;
constexpr Cardinal WM_PRINTCLIENT = 0x0318;
constexpr Cardinal WM_THEMECHANGED = 0x031A;
constexpr Cardinal WM_USER = 0x0400;
constexpr Cardinal WM_APP = 0x8000;

// The framework's control messages.
constexpr Cardinal CM_BASE = 0xB000;
constexpr Cardinal CM_ACTIVATE = CM_BASE + 0;
constexpr Cardinal CM_DEACTIVATE = CM_BASE + 1;
constexpr Cardinal CM_GOTFOCUS = CM_BASE + 2;
constexpr Cardinal CM_LOSTFOCUS = CM_BASE + 3;
constexpr Cardinal CM_CANCELMODE = CM_BASE + 4;
constexpr Cardinal CM_DIALOGKEY = CM_BASE + 5;
constexpr Cardinal CM_DIALOGCHAR = CM_BASE + 6;
constexpr Cardinal CM_FOCUSCHANGED = CM_BASE + 7;
constexpr Cardinal CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr Cardinal CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr Cardinal CM_HITTEST = CM_BASE + 10;
constexpr Cardinal CM_VISIBLECHANGED = CM_BASE + 11;
constexpr Cardinal CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr Cardinal CM_COLORCHANGED = CM_BASE + 13;
constexpr Cardinal CM_FONTCHANGED = CM_BASE + 14;
constexpr Cardinal CM_CURSORCHANGED = CM_BASE + 15;
constexpr Cardinal CM_CTL3DCHANGED = CM_BASE + 16;
constexpr Cardinal CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr Cardinal CM_TEXTCHANGED = CM_BASE + 18;
constexpr Cardinal CM_MOUSEENTER = CM_BASE + 19;
constexpr Cardinal CM_MOUSELEAVE = CM_BASE + 20;
constexpr Cardinal CM_MENUCHANGED = CM_BASE + 21;
constexpr Cardinal CM_BUTTONPRESSED = CM_BASE + 24;
constexpr Cardinal CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr Cardinal CM_ENTER = CM_BASE + 26;
constexpr Cardinal CM_EXIT = CM_BASE + 27;
constexpr Cardinal CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr Cardinal CM_RELEASE = CM_BASE + 33;
constexpr Cardinal CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr Cardinal CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr Cardinal CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr Cardinal CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr Cardinal CM_UIACTIVATE = CM_BASE + 41;
constexpr Cardinal CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr Cardinal CM_CHILDKEY = CM_BASE + 46;
constexpr Cardinal CM_HINTSHOW = CM_BASE + 48;
constexpr Cardinal CM_RECREATEWND = CM_BASE + 51;
constexpr Cardinal CM_INVALIDATE = CM_BASE + 52;
constexpr Cardinal CM_CONTROLCHANGE = CM_BASE + 54;
constexpr Cardinal CM_CHANGED = CM_BASE + 55;
constexpr Cardinal CM_BORDERCHANGED = CM_BASE + 59;
constexpr Cardinal CM_MOUSEWHEEL = CM_BASE + 67;

// Edit control messages (LParam of EM_SETRECT and EM_GETRECT: a TRect*).
constexpr Cardinal EM_GETSEL = 0x00B0;
constexpr Cardinal EM_SETSEL = 0x00B1;
constexpr Cardinal EM_GETRECT = 0x00B2;
constexpr Cardinal EM_SETRECT = 0x00B3;
constexpr Cardinal EM_SETRECTNP = 0x00B4;
constexpr Cardinal EM_SCROLLCARET = 0x00B7;
constexpr Cardinal EM_GETMODIFY = 0x00B8;
constexpr Cardinal EM_SETMODIFY = 0x00B9;
constexpr Cardinal EM_GETLINECOUNT = 0x00BA;
constexpr Cardinal EM_LINEINDEX = 0x00BB;
constexpr Cardinal EM_LINEFROMCHAR = 0x00C9;
constexpr Cardinal EM_REPLACESEL = 0x00C2;
constexpr Cardinal EM_LIMITTEXT = 0x00C5;
constexpr Cardinal EM_SETPASSWORDCHAR = 0x00CC;
constexpr Cardinal EM_SETREADONLY = 0x00CF;
constexpr Cardinal EM_SETMARGINS = 0x00D3;
constexpr Cardinal EM_GETMARGINS = 0x00D4;
constexpr Cardinal EM_POSFROMCHAR = 0x00D6;
constexpr Cardinal EM_CHARFROMPOS = 0x00D7;
// WParam of EM_SETMARGINS; LParam: left margin in the low word, right in the high word.
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

// Combo box messages.
constexpr Cardinal CB_GETEDITSEL = 0x0140;
constexpr Cardinal CB_LIMITTEXT = 0x0141;
constexpr Cardinal CB_SETEDITSEL = 0x0142;
constexpr Cardinal CB_GETCOUNT = 0x0146;
constexpr Cardinal CB_GETCURSEL = 0x0147;
constexpr Cardinal CB_SETCURSEL = 0x014E;
constexpr Cardinal CB_SHOWDROPDOWN = 0x014F;
constexpr Cardinal CB_SETITEMHEIGHT = 0x0153;
constexpr Cardinal CB_GETITEMHEIGHT = 0x0154;
constexpr Cardinal CB_GETDROPPEDSTATE = 0x0157;
constexpr Cardinal CB_GETDROPPEDWIDTH = 0x015F;
constexpr Cardinal CB_SETDROPPEDWIDTH = 0x0160;
constexpr LRESULT CB_ERR = -1;

// Notifications the layer reflects back to the control (the framework's CN_ range).
constexpr Cardinal CN_BASE = 0xBC00;
constexpr Cardinal CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr Cardinal CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr Cardinal CN_CHAR = CN_BASE + WM_CHAR;
constexpr Cardinal CN_NOTIFY = CN_BASE + WM_NOTIFY;

// A message number of its own for every name, the same number for the same
// name, from 0xC000 up.
UINT RegisterWindowMessage(const AnsiString& name);

// ---------------------------------------------------------------- flags
// WParam of the mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;

// Answers to WM_GETDLGCODE.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// WParam of WM_SIZE.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WParam of WM_SYSCOMMAND (the low four bits are the system's own).
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;

// Low word of WParam of WM_ACTIVATE.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// LParam of WM_WINDOWPOSCHANGED: where the window is now (its parent's
// client coordinates, the screen for a top-level window).
struct WINDOWPOS {
    HWND hwnd = 0;
    HWND hwndInsertAfter = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    UINT flags = 0;
};
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
// hWndInsertAfter of SetWindowPos.
constexpr HWND HWND_TOP = 0;
constexpr HWND HWND_BOTTOM = 1;
constexpr HWND HWND_TOPMOST = HWND(-1);
constexpr HWND HWND_NOTOPMOST = HWND(-2);

// ShowCmd values (ShowWindow, ShellExecute).
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
              SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWNA = 8, SW_RESTORE = 9,
              SW_SHOWDEFAULT = 10;

// Window styles, of every window and of edits (TCreateParams).
constexpr DWORD WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_BORDER = 0x00800000,
                WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_TABSTOP = 0x00010000;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr UINT CS_DROPSHADOW = 0x00020000;
constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004,
                ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_PASSWORD = 0x0020, ES_AUTOVSCROLL = 0x0040,
                ES_AUTOHSCROLL = 0x0080, ES_NOHIDESEL = 0x0100, ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800,
                ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;

// Combo box notifications (the high word of WM_COMMAND's WParam, sent to the parent).
constexpr Word CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5,
               CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;

// WM_HSCROLL / WM_VSCROLL: the low word of WParam is the code, the high word
// the thumb position for SB_THUMBPOSITION and SB_THUMBTRACK. The bars of a window:
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr Word SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1;
constexpr Word SB_PAGEUP = 2, SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3;
constexpr Word SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7;
constexpr Word SB_ENDSCROLL = 8;

// Results of WM_NCHITTEST.
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;

// ---------------------------------------------------------------- virtual keys
constexpr Word VK_LBUTTON = 0x01;
constexpr Word VK_RBUTTON = 0x02;
constexpr Word VK_CANCEL = 0x03;
constexpr Word VK_MBUTTON = 0x04;
constexpr Word VK_BACK = 0x08;
constexpr Word VK_TAB = 0x09;
constexpr Word VK_CLEAR = 0x0C;
constexpr Word VK_RETURN = 0x0D;
constexpr Word VK_SHIFT = 0x10;
constexpr Word VK_CONTROL = 0x11;
constexpr Word VK_MENU = 0x12;
constexpr Word VK_PAUSE = 0x13;
constexpr Word VK_CAPITAL = 0x14;
constexpr Word VK_ESCAPE = 0x1B;
constexpr Word VK_SPACE = 0x20;
constexpr Word VK_PRIOR = 0x21;
constexpr Word VK_NEXT = 0x22;
constexpr Word VK_END = 0x23;
constexpr Word VK_HOME = 0x24;
constexpr Word VK_LEFT = 0x25;
constexpr Word VK_UP = 0x26;
constexpr Word VK_RIGHT = 0x27;
constexpr Word VK_DOWN = 0x28;
constexpr Word VK_SELECT = 0x29;
constexpr Word VK_PRINT = 0x2A;
constexpr Word VK_EXECUTE = 0x2B;
constexpr Word VK_SNAPSHOT = 0x2C;
constexpr Word VK_INSERT = 0x2D;
constexpr Word VK_DELETE = 0x2E;
constexpr Word VK_HELP = 0x2F;
// '0'..'9' and 'A'..'Z' are their own codes.
constexpr Word VK_LWIN = 0x5B;
constexpr Word VK_RWIN = 0x5C;
constexpr Word VK_APPS = 0x5D;
constexpr Word VK_NUMPAD0 = 0x60;
constexpr Word VK_NUMPAD1 = 0x61;
constexpr Word VK_NUMPAD2 = 0x62;
constexpr Word VK_NUMPAD3 = 0x63;
constexpr Word VK_NUMPAD4 = 0x64;
constexpr Word VK_NUMPAD5 = 0x65;
constexpr Word VK_NUMPAD6 = 0x66;
constexpr Word VK_NUMPAD7 = 0x67;
constexpr Word VK_NUMPAD8 = 0x68;
constexpr Word VK_NUMPAD9 = 0x69;
constexpr Word VK_MULTIPLY = 0x6A;
constexpr Word VK_ADD = 0x6B;
constexpr Word VK_SEPARATOR = 0x6C;
constexpr Word VK_SUBTRACT = 0x6D;
constexpr Word VK_DECIMAL = 0x6E;
constexpr Word VK_DIVIDE = 0x6F;
constexpr Word VK_F1 = 0x70;
constexpr Word VK_F2 = 0x71;
constexpr Word VK_F3 = 0x72;
constexpr Word VK_F4 = 0x73;
constexpr Word VK_F5 = 0x74;
constexpr Word VK_F6 = 0x75;
constexpr Word VK_F7 = 0x76;
constexpr Word VK_F8 = 0x77;
constexpr Word VK_F9 = 0x78;
constexpr Word VK_F10 = 0x79;
constexpr Word VK_F11 = 0x7A;
constexpr Word VK_F12 = 0x7B;
constexpr Word VK_NUMLOCK = 0x90;
constexpr Word VK_SCROLL = 0x91;
constexpr Word VK_LSHIFT = 0xA0;
constexpr Word VK_RSHIFT = 0xA1;
constexpr Word VK_LCONTROL = 0xA2;
constexpr Word VK_RCONTROL = 0xA3;
constexpr Word VK_LMENU = 0xA4;
constexpr Word VK_RMENU = 0xA5;
constexpr Word VK_OEM_1 = 0xBA;        // ;:
constexpr Word VK_OEM_PLUS = 0xBB;
constexpr Word VK_OEM_COMMA = 0xBC;
constexpr Word VK_OEM_MINUS = 0xBD;
constexpr Word VK_OEM_PERIOD = 0xBE;
constexpr Word VK_OEM_2 = 0xBF;        // /?
constexpr Word VK_OEM_3 = 0xC0;        // `~
constexpr Word VK_OEM_4 = 0xDB;        // [{
constexpr Word VK_OEM_5 = 0xDC;        // \|
constexpr Word VK_OEM_6 = 0xDD;        // ]}
constexpr Word VK_OEM_7 = 0xDE;        // '"
