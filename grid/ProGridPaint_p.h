#pragma once
// Private helper of the grid's painting, measuring, printing, hints and captions:
// one call of the mini-HTML renderer with the settings these callers vary.
#include "grid/PsgHTML.h"
#include "platform/gui/Graphics.h"

// One of the grid's own glyph bitmaps ("PSGFILT" ...) drawn transparently with its top left at
// (X, Y) over Background (grid/ProGridGlyphs.cpp, which makes them when first drawn).
void DrawGridGlyph(TCanvas* Canvas, const AnsiString& Name, int X, int Y, TColor Background);

class THTMLPictureCache;
class TPictureContainer;
class TWinControl;

struct THtmlRun {
    TImageList* Images = nullptr;
    int X = 0, Y = 0;           // hit-test point
    bool CheckHotSpot = false;
    bool CheckHeight = false;
    bool Selected = false;
    // The phase of "<BLINK>" text: shown wherever nothing blinks (paper, footers, captions, hints);
    // only the grid's blinking cells pass their hidden phase.
    bool Blink = true;
    bool WordWrap = false;
    bool ControlDown = false;   // the mouse button is held on the form control under X, Y
    bool Print = false;       // printing: image-list pictures are stretched by ResFactor
    double ResFactor = 1.0;
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

    // PlaceTop: the drawn block's top from its height, the text laid out once (see HtmlDraw).
    void Run(TCanvas* Canvas, const AnsiString& Text, const TRect& R,
             const std::function<int(int YSize)>& PlaceTop = nullptr)
    {
        AnsiString focus;
        int links = 0, mouse = 0;
        TRect hover;
        Hit = HtmlDraw(Canvas, Text, R, Images, X, Y, -1, -1, ShadowOffset, CheckHotSpot, CheckHeight, Print,
                       Selected, Blink, false, WordWrap, ControlDown, ResFactor, URLColor, clNone, clNone, ShadowColor,
                       Anchor, Strip, focus, AnchorHint, XSize, YSize, links, mouse, hover, ControlRect, ControlID,
                       ControlValue, ControlType, Cache, Container, Owner, PlaceTop);
    }
};
