#pragma once
// What the platform reports about itself; always the same answers, so that
// every unit takes one well-defined branch.
#include "platform/core/Types.h"

// The Windows version (GetVersionEx): 5.1.
void GetWindowsVersion(int& Major, int& Minor);
// Visual styles are active: themed parts are drawn with the toolkit's style.
bool IsThemeActive();
// The name of the theme's colour scheme: none.
AnsiString GetThemeColorSchemeName();
// Version of a system library by file name: "COMCTL32.DLL" is 6.0; 0 when unknown.
bool GetDllFileVersion(const AnsiString& DllName, int& Major, int& Minor);
// A network interface other than loopback is up.
bool InternetConnected();
// Where the interfaces are listed (tests point it elsewhere); "" restores /sys/class/net.
void SetNetInterfacesFolder(const std::string& Folder);

// ---------------------------------------------------------------- system metrics
// The metrics GetSystemMetrics answers (the documented numbers).
enum : int {
    SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4, SM_CXBORDER = 5,
    SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CXFIXEDFRAME = 7, SM_CYFIXEDFRAME = 8,
    SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
    SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21,
    SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32,
    SM_CYFRAME = 33, SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33, SM_CXMINTRACK = 34, SM_CYMINTRACK = 35,
    SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CMOUSEBUTTONS = 43, SM_CXEDGE = 45, SM_CYEDGE = 46,
    SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52, SM_CYSMSIZE = 53,
    SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62, SM_CXDRAG = 68,
    SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_MOUSEWHEELPRESENT = 75,
    SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79,
    SM_CMONITORS = 80,
};
// The metric in pixels (or the count); 0 for one the layer does not know. The
// screen's and the scroll bars' from the toolkit, so that they match what
// shows; the frames, captions and icons of the platform the layer reports.
int GetSystemMetrics(int Index);
