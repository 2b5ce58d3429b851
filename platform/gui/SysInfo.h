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
