#pragma once
// Access to visual styles for the grid and its editors: open a theme class
// ("button", "header", "Progress", "combobox", "spin") and draw its parts.
// The platform reports visual styles as active.
#include "platform/core/Types.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/Themes.h"

class TCanvas;
class TWinControl;

struct TThemeData;
using HTHEME = TThemeData*;

// Start-up and shutdown of the unit (counted: the last shutdown unloads).
void InitThemeLibrary();
void FreeThemeLibrary();
bool ThemeLibraryLoaded();

// IsThemeActive comes from the platform answers (SysInfo.h).
bool IsAppThemed();
// nullptr for an empty class name.
HTHEME OpenThemeData(TWinControl* Window, const char* ClassList);
void CloseThemeData(HTHEME Theme);
// False when the theme is nullptr or the part is not one the style draws.
bool DrawThemeBackground(HTHEME Theme, TCanvas* DC, int PartId, int StateId, const TRect& R,
                         const TRect* Clip = nullptr);

// The platform reports Windows 5.1: never Vista or later.
bool IsVistaOrLater();
