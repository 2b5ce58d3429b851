#pragma once
// Private helper of the grid's painting, measuring and hints: one call of the
// mini-HTML renderer with the settings these callers vary.
#include "grid/PsgHTML.h"
#include "platform/gui/Graphics.h"

class THTMLPictureCache;
class TPictureContainer;
class TWinControl;

struct THtmlRun {
    TImageList* Images = nullptr;
    int X = 0, Y = 0;           // hit-test point
    bool CheckHotSpot = false;
    bool CheckHeight = false;
    bool Selected = false;
    bool Blink = false;
    bool WordWrap = false;
    TColor URLColor = clBlue;
    TColor ShadowColor = clGray;
    int ShadowOffset = 1;
    THTMLPictureCache* Cache = nullptr;
    TPictureContainer* Container = nullptr;
    TWinControl* Owner = nullptr;

    // Results.
    bool Hit = false;
    int XSize = 0, YSize = 0;
    AnsiString Anchor, Strip, AnchorHint;
    // The form control under the hit-test point (empty ID when none).
    AnsiString ControlID, ControlValue, ControlType;
    TRect ControlRect;

    void Run(TCanvas* Canvas, const AnsiString& Text, const TRect& R)
    {
        AnsiString focus;
        int links = 0, mouse = 0;
        TRect hover;
        Hit = HtmlDraw(Canvas, Text, R, Images, X, Y, -1, -1, ShadowOffset, CheckHotSpot, CheckHeight, false,
                       Selected, Blink, false, WordWrap, false, 1.0, URLColor, clNone, clNone, ShadowColor, Anchor,
                       Strip, focus, AnchorHint, XSize, YSize, links, mouse, hover, ControlRect, ControlID, ControlValue, ControlType, Cache,
                       Container, Owner);
    }
};
