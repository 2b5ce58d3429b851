#include "grid/ProXPVS.h"

#include <string>

#include "platform/gui/Graphics.h"

struct TThemeData {
    std::string ClassName;
};

namespace {
int InitCount = 0;
}

void InitThemeLibrary() { ++InitCount; }

void FreeThemeLibrary()
{
    if (InitCount > 0) --InitCount;
}

bool ThemeLibraryLoaded() { return InitCount > 0 || ThemesActive(); }

bool IsAppThemed() { return ThemesActive(); }

HTHEME OpenThemeData(TWinControl* Window, const char* ClassList)
{
    if (!ClassList || !*ClassList) return nullptr;
    return new TThemeData{ClassList};
}

void CloseThemeData(HTHEME Theme) { delete Theme; }

bool DrawThemeBackground(HTHEME Theme, TCanvas* DC, int PartId, int StateId, const TRect& R, const TRect* Clip)
{
    if (!Theme || !DC) return false;
    if (!Clip) return DrawThemedPart(DC, Theme->ClassName.c_str(), PartId, StateId, R);
    const int saved = SaveDC(DC);
    IntersectClipRect(DC, Clip->Left, Clip->Top, Clip->Right, Clip->Bottom);
    bool done = DrawThemedPart(DC, Theme->ClassName.c_str(), PartId, StateId, R);
    RestoreDC(DC, saved);
    return done;
}

bool IsVistaOrLater() { return false; }
