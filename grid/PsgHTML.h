#pragma once
// Mini-HTML cell text: lays out, draws, measures and hit-tests the small
// HTML-like language of the grid's cells, hints and popups.
#include "platform/core/Types.h"
#include "platform/gui/Graphics.h"

class THTMLPictureCache;
class TPictureContainer;
class TWinControl;

// Tags switch drawing state as they are met, left to right; closing a font,
// anchor or highlight restores the base font (the canvas font on entry).
// The canvas's pen, brush and font are as on entry when it returns.
bool HtmlDraw(TCanvas* Canvas, const AnsiString& Text, const TRect& Rect, TImageList* Images, int XPos, int YPos,
              int FocusLink, int HoverLink, int ShadowOffset, bool CheckHotSpot, bool CheckHeight, bool Print,
              bool Selected, bool Blink, bool HoverStyle, bool WordWrap, bool ControlDown, double ResFactor,
              TColor URLColor, TColor HoverColor, TColor HoverFontColor, TColor ShadowColor, AnsiString& AnchorVal,
              AnsiString& StripVal, AnsiString& FocusAnchor, AnsiString& AnchorHint, int& XSize, int& YSize,
              int& HyperLinks, int& MouseLink, TRect& HoverRect, TRect& ControlRect, AnsiString& ControlID,
              AnsiString& ControlValue, AnsiString& ControlType, THTMLPictureCache* PictureCache,
              TPictureContainer* PictureContainer, TWinControl* OwnerHandle);
