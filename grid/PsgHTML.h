#pragma once
// Mini-HTML cell text: lays out, draws, measures and hit-tests the small
// HTML-like language of the grid's cells, hints and popups.
#include <functional>

#include "platform/core/Types.h"
#include "platform/gui/Graphics.h"

class THTMLPictureCache;
class TPictureContainer;
class TWinControl;

// Tags switch drawing state as they are met, left to right; closing a font,
// anchor or highlight restores the base font (the canvas font on entry).
// The canvas's pen, brush and font are as on entry when it returns.
// With PlaceTop (a drawing call, neither CheckHotSpot nor CheckHeight), the
// whole text is laid out first, as CheckHeight lays it out, and the lines are
// drawn from that layout with the block's top at PlaceTop(YSize) instead of
// Rect.Top; XSize and YSize are those of the whole text.
bool HtmlDraw(TCanvas* Canvas, const AnsiString& Text, const TRect& Rect, TImageList* Images, int XPos, int YPos,
              int FocusLink, int HoverLink, int ShadowOffset, bool CheckHotSpot, bool CheckHeight, bool Print,
              bool Selected, bool Blink, bool HoverStyle, bool WordWrap, bool ControlDown, double ResFactor,
              TColor URLColor, TColor HoverColor, TColor HoverFontColor, TColor ShadowColor, AnsiString& AnchorVal,
              AnsiString& StripVal, AnsiString& FocusAnchor, AnsiString& AnchorHint, int& XSize, int& YSize,
              int& HyperLinks, int& MouseLink, TRect& HoverRect, TRect& ControlRect, AnsiString& ControlID,
              AnsiString& ControlValue, AnsiString& ControlType, THTMLPictureCache* PictureCache,
              TPictureContainer* PictureContainer, TWinControl* OwnerHandle,
              const std::function<int(int YSize)>& PlaceTop = nullptr);
