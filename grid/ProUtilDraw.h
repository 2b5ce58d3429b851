#pragma once
// Drawing routines shared by the grid's painters: gradients, progress bars,
// combo and spin buttons, transparent bitmaps, the error underline, colour
// arithmetic and the layered-window calls. They keep no state.
#include "platform/core/Types.h"
#include "platform/gui/Graphics.h"

class TWinControl;

void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps);
void DrawMirrorGradient(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool LinesOnly, bool Fill);
// From blended towards To by Position in Low..High; From when High = Low.
TColor BlendColorAt(TColor From, TColor To, int Low, int Position, int High);
TColor DarkenColor(TColor Color);
void FillRectColor(TCanvas* Canvas, const TRect& R, TColor Color);
void DrawDropDownArrow(TCanvas* Canvas, int X, int Y, TColor Color);

// Value is a percentage when Format is empty, else a value in Min..Max
// (Max = Min counts as 0 %). A Format the text routine rejects shows no text.
void DrawProgressBar(TCanvas* Canvas, const TRect& R, TColor CompleteColor, TColor CompleteFontColor,
                     TColor UnCompleteColor, TColor UnCompleteFontColor, double Value, int MarginX, int MarginY,
                     double Min, double Max, const AnsiString& Format, TColor BorderColor, bool Rotated);

// What the painter fills in for the levelled progress bar.
struct TLevelProgressAppearance {
    TColor Level0Color = 0x00FF00, Level0ColorTo = clNone;
    TColor Level1Color = 0x00FFFF, Level1ColorTo = clNone;
    TColor Level2Color = 0x0080FF, Level2ColorTo = clNone;
    TColor Level3Color = 0x0000FF, Level3ColorTo = clNone;
    int Level1Perc = 70;
    int Level2Perc = 90;
    TColor BorderColor = clBlack;
    bool ShowBorder = false;
    bool Stacked = false;
    bool ShowPercentage = true;
    TFont* Font = nullptr;            // the canvas font when none
    bool CompletionSmooth = true;
    bool ShowGradient = true;
    int Steps = 11;
    TColor BackgroundColor = clWhite;
    bool Vertical = false;
};
void DrawLevelProgressBar(TCanvas* Canvas, const TRect& R, int Percentage, const TLevelProgressAppearance& A);
void DrawProgressPie(TCanvas* Canvas, const TRect& R, TColor Color, bool UpperHalf, int Value);
void DrawBalanceBar(TCanvas* Canvas, const TRect& R, int Value, TColor PositiveColor, TColor NegativeColor,
                    bool ShowValue, int Max);

void DrawComboButton(TCanvas* Canvas, TWinControl* Window, const TRect& R, bool Themed, bool Extra);
void DrawSpinButtons(TCanvas* Canvas, TWinControl* Window, const TRect& R, bool Themed, bool Extra);

// Copies the bitmap to R's top-left corner at its own size, its top-left
// pixel's colour replaced by BackgroundColor.
void DrawBitmapTransparent(TCanvas* Canvas, TBitmap* Bitmap, TColor BackgroundColor, const TRect& R);
void DrawResourceBitmapTransparent(TCanvas* Canvas, const AnsiString& ResourceName, TColor BackgroundColor,
                                   const TRect& R);

// Red zig-zag under characters ErrorPos .. ErrorPos + ErrorLength - 1 of Text
// laid out from R's left edge in the canvas font.
void DrawErrorUnderline(TWinControl* Parent, TCanvas* Canvas, const AnsiString& Text, int ErrorLength,
                        int ErrorPos, int YOffset, const TRect& R);

// There are no layered windows here: both calls do nothing and report success
// (true), as when the system offers no such functions.
bool CallUpdateLayeredWindow(TWinControl* Window, TCanvas* DestDC, const TPoint* DestPt, const TSize* Size,
                             TCanvas* SrcDC, const TPoint* SrcPt, TColor Key, Byte Alpha, Cardinal Flags);
bool CallSetLayeredWindowAttributes(TWinControl* Window, TColor Key, Byte Alpha, Cardinal Flags);
