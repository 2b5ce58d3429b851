#pragma once
// Helper routines for mini-HTML cell text: colours, entities, plain text,
// highlighting of found text, the <CONTROL> form-control tags, and a few
// drawing helpers the renderer uses (rotated fonts, system icons, stretching).
#include "platform/core/Types.h"
#include "platform/gui/Graphics.h"

// ---------------------------------------------------------------- colours
// Exact (lower-case) colour name: "clred", "clbtnface" ...; 0 when unknown.
TColor HtmlColorByName(const AnsiString& Name);
// "#RRGGBB" (upper-case hex digits) to a colour value 0x00BBGGRR.
TColor HtmlHexColor(const AnsiString& S);
// Two hex digits to 0..255; 0 when S is shorter than 2. A character that is
// not a hex digit counts as 0, lower-case letters are read as upper-case.
int HtmlHexByte(const AnsiString& S);
// Integer value of S; 0 when S is not wholly a number.
int HtmlStrToInt(const AnsiString& S);
// Leading decimal digits of S, with an optional sign; 0 without digits.
int HtmlLeadingInt(const AnsiString& S);

// ---------------------------------------------------------------- searching
int PosNoCase(const AnsiString& Sub, const AnsiString& S);
int PosOut(const AnsiString& Sub, const AnsiString& S, int& Res);
int PosUpperOut(const AnsiString& Sub, const AnsiString& S, int& Res);   // Sub in upper case
bool ReplaceFirstNoCase(const AnsiString& Find, const AnsiString& Repl, AnsiString& S);
// Searches Sub in S after its first From characters; From + position, 0 none.
int FindTextFrom(const AnsiString& Sub, const AnsiString& S, int From, bool MatchCase, int& Res);

// Value of attribute Name in a tag's text (Name without regard to case, not
// inside a quoted value); the text between the two double quotes after it.
// Found reports whether the attribute is there at all.
AnsiString HtmlTagAttr(const AnsiString& Tag, const AnsiString& Name, bool* Found = nullptr);

// ---------------------------------------------------------------- entities and text
AnsiString HtmlEncodeEntities(const AnsiString& S);
AnsiString HtmlDecodeEntities(const AnsiString& S);
AnsiString SpacesToNbsp(const AnsiString& S);
AnsiString ShowHashPlaceholders(const AnsiString& S);
AnsiString LineBreaksToBR(const AnsiString& S, bool CRToBR);
AnsiString HtmlToPlainText(const AnsiString& S);
AnsiString HtmlStripTags(const AnsiString& S);
// The same in place.
void StripHtmlTags(AnsiString& S);
// 1-based index in Html of the N-th character outside tags; Length + 1 when N
// is one past the last such character; 0 when further.
int HtmlCharPos(const AnsiString& Html, int N);
AnsiString HtmlHighlight(const AnsiString& Html, const AnsiString& Sub, const AnsiString& Tag, bool MatchCase);
AnsiString HtmlUnhighlight(const AnsiString& Html, const AnsiString& Tag);
AnsiString PasswordMask(const AnsiString& S);

// ---------------------------------------------------------------- form controls
bool HasHtmlControl(const AnsiString& S);
void ParseControlTag(const AnsiString& Tag, AnsiString& Type, AnsiString& ID, AnsiString& MaxLen,
                     AnsiString& Prop, AnsiString& Width, AnsiString& Value);
AnsiString HtmlNextEditControlID(const AnsiString& Html, const AnsiString& ID);
AnsiString HtmlClearRadioValues(const AnsiString& Html);
AnsiString HtmlControlGetProp(const AnsiString& Html, const AnsiString& ID);
int HtmlControlGetMaxLen(const AnsiString& Html, const AnsiString& ID);
bool HtmlControlSetValue(AnsiString& Html, const AnsiString& ID, const AnsiString& NewValue);

// ---------------------------------------------------------------- drawing helpers
// Selects a copy of the canvas font turned by Angle degrees; RestoreRotatedFont
// puts the font that was selected before back. Calls nest: each restore undoes
// the latest select, and a restore without a select does nothing.
void SelectRotatedFont(TCanvas* Canvas, int Angle);
void RestoreRotatedFont(TCanvas* Canvas);
// The desktop's icon of a file, folder or file type (by the name's extension when no
// such file exists), or icon Name of the system image list when Name is a number, from
// the small or large list: W and H are the list's icon size (0 when there is no icon).
// Drawn at X, Y; when printing, stretched by Scale.
void DrawSystemIcon(TCanvas* Canvas, int X, int Y, double Scale, bool Large, bool Draw, bool Print,
                    const AnsiString& Name, int& W, int& H);
void StretchBitmapToCanvas(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap);
bool IsDirectory(const AnsiString& Path);
// Whether form controls may be drawn themed (the platform reports XP visual styles).
bool HtmlThemesPossible();
