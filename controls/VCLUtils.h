#pragma once
// Small support routines of the desktop controls: integer min and max, the
// hand and drag cursors, picture strips and embossed (disabled) pictures,
// window placement helpers, text shortening, command-line tokens and words.
#include <set>

#include "platform/gui/Controls.h"

class TImageList;

// ---------------------------------------------------------------- min and max
int Max(int A, int B);
int Min(int A, int B);

// ---------------------------------------------------------------- cursors
constexpr TCursor crHand = 14000;      // "KX_HANDCUR"
constexpr TCursor crDragHand = 14001;  // "KX_DRAGCUR"
// Puts the two cursors into Screen's cursor table (once; later calls do nothing).
void RegisterKxCursors();

// ---------------------------------------------------------------- pictures
// Dest becomes cell Index of a strip of Cols x Rows cells cut from Source.
void AssignBitmapCell(TGraphic* Source, TBitmap* Dest, int Cols, int Rows, int Index);
// Paints into Canvas what the control's parent shows beneath the control.
void CopyParentImage(TControl* Control, TCanvas* Canvas);
// A new bitmap of Source's size: BackColor with Source's shape stamped in
// ShadowColor (and first, when Highlight, in HighlightColor one pixel lower right).
TBitmap* CreateDisabledBitmapEx(TBitmap* Source, TColor TransparentColor, TColor BackColor, bool Highlight,
                                TColor ShadowColor, TColor HighlightColor);
TBitmap* CreateDisabledBitmap(TBitmap* Source, TColor TransparentColor);
void DrawDisabledImage(TImageList* Images, TCanvas* Canvas, int X, int Y, int Index, bool Highlight,
                       TColor ShadowColor, TColor HighlightColor);
// Source turned grey pixel by pixel (77 R + 150 G + 29 B) >> 8; pixels of
// TransparentColor and of the button face stay.
TBitmap* CreateGrayedBitmap(TBitmap* Source, TColor TransparentColor);

// ---------------------------------------------------------------- rectangles and windows
int RectWidth(const TRect& R);
int RectHeight(const TRect& R);
// Moves R (keeping its size) into the desktop's work area: right and bottom edges first, then
// left and top (a rectangle larger than the area keeps its left and top edges in it).
void MakeRectVisible(TRect& R);
// Moves the control to the centre of the screen, kept on the screen, without resizing.
void CenterWindow(TControl* Window);
// True when the active window belongs to this program.
bool IsForegroundTask();
// Takes one waiting message of that number for the window out of the queue (a
// waiting quit message stays queued).
void RemoveWaitingMessage(HWND Window, UINT Msg);

// ---------------------------------------------------------------- text
// Text, or its head followed by "..." so that it fits MaxWidth on Canvas.
AnsiString ShortenString(const AnsiString& Text, TCanvas* Canvas, int MaxWidth);

// Command-line tokens: blanks and control characters separate tokens, a
// double quote starts a run (blanks included) up to the next one; the quotes
// are dropped. Token receives the next token; the rest of Text is returned.
AnsiString ExtractCmdToken(const AnsiString& Text, AnsiString& Token);
int CmdTokenCount(const AnsiString& Text);
// The token at a 0-based index; empty when there are fewer.
AnsiString CmdToken(const AnsiString& Text, int Index);
// FileName = the first token; Params = the others joined by blanks, a token
// holding a blank quoted again.
void SplitCommandLine(const AnsiString& Text, AnsiString& FileName, AnsiString& Params);

// Words: runs of characters not in Delims.
using TCharSet = std::set<char>;
int WordPosition(int N, const AnsiString& S, const TCharSet& Delims);
AnsiString ExtractWord(int N, const AnsiString& S, const TCharSet& Delims);
// The text from Pos (1-based) to the next delimiter; Pos then points after it.
AnsiString ExtractSubstr(const AnsiString& S, int& Pos, const TCharSet& Delims);

// True when the short date format shows four-digit years ("yyyy", any case).
bool FourDigitYear();
