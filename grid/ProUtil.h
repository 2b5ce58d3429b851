#pragma once
// Free routines shared by the string grid and its satellites: the
// Unicode-in-ANSI cell text, classification of cell text, numeric text,
// date parsing, the filter-condition language, CSV and line-break
// conversions and small string and integer helpers.
// None keeps state; text is Windows-1250 unless a WideString is named.
// Number and date routines read FormatSettings at call time.
#include "platform/core/Types.h"

class TStrings;

// ---------------------------------------------------------------- Unicode-in-ANSI cell text
// "|\" followed by the high and the low byte of every UTF-16 code unit.
// The result holds NUL bytes; it is length-counted, never NUL-terminated.
AnsiString EncodeUnicodeCell(const WideString& W);
// Undoes EncodeUnicodeCell (a trailing odd byte is ignored); text without the
// "|\" prefix is converted from Windows-1250.
WideString DecodeUnicodeCell(const AnsiString& S);

// 0 plain text, 1 HTML (only when CheckHTML), 2 rich text, 3 formula,
// 5 Unicode-in-ANSI.
Byte ClassifyCellText(std::string_view S, bool CheckHTML);

// First occurrence of SubStr in Str (both NUL-terminated), nullptr when absent.
const char16_t* WideStrPos(const char16_t* Str, const char16_t* SubStr);
// 1-based position of Substr in S, 0 when absent or when either is empty.
int WidePos(const WideString& Substr, const WideString& S);

// ---------------------------------------------------------------- numbers
bool IsDigitChar(char C);
bool IsDigitOrMinus(char C);
bool IsNumberChar(char C);         // digit, "E", "e", thousand or decimal separator
bool IsPlainNumberChar(char C);    // "+", "-", ".", digit, "E", "e"
bool IsSignedNumberChar(char C);   // IsNumberChar, "+" or "-"

// 0 integer, 1 floating-point number, 2 not a number, 5 scientific notation.
Byte IsNumericText(std::string_view S);

// Reduces cell text ("(12,50)", "zł 1.000,00", "12 kg") to a plain number
// with "." as decimal point ("-12.50", "1000.00", "12").
AnsiString CleanNumberText(const AnsiString& S);
// Decimal separator to ".", thousand separators dropped.
AnsiString NormalizeDecimalText(const char* P);

// ---------------------------------------------------------------- dates
// Fixed field order; the zero date when the text does not split or convert,
// EConvertError for an impossible date. A year of one or two digits is
// taken as 2000-2025 (0..25) or 1926-1999; longer years are taken as written.
// A year outside the date range (also one written in hexadecimal) is EConvertError.
TDateTime ParseDateMDY(const AnsiString& S);
TDateTime ParseDateDMY(const AnsiString& S);
// Field order from FormatSettings.ShortDateFormat; never raises.
bool TryParseLocaleDate(const AnsiString& S, TDateTime& D);
// The date separator occurs twice, neither time at the start.
bool IsDateLikeText(const AnsiString& S);
// Continues a date series by one step of Years, Months or Days (exactly one
// of them non-zero), else by Delta. The day is clamped to the target month;
// years and months of 32768 and above step back (65535 is one back).
TDateTime IncDateParts(Word Years, Word Months, Word Days, TDateTime Date, TDateTime Delta);

// ---------------------------------------------------------------- filter conditions
// Evaluates a filter or search condition ("a*|b*", ">=10", "(x|y)&!z*")
// against one cell text. A condition with brackets nested more than 64 deep
// matches nothing.
bool MatchFilterCondition(const AnsiString& Condition, const AnsiString& Text, bool CaseSensitive);

// ---------------------------------------------------------------- CSV and line breaks
AnsiString DoubleQuoteChars(const AnsiString& S);
void QuoteCSVCell(AnsiString& S);
void VTabToCRLF(AnsiString& S);
void StripCRFromCRLF(AnsiString& S);
AnsiString RemoveQuoteChar(char Ch, const AnsiString& S);
void LineBreaksToTilde(AnsiString& S);
void TildeToLineBreaks(AnsiString& S);
AnsiString LineBreaksToEscapedNewlines(const AnsiString& S);
AnsiString EscapedNewlinesToCR(const AnsiString& S);
AnsiString EncodeLineBreaksForStream(const AnsiString& S);
AnsiString DecodeLineBreaksFromStream(const AnsiString& S, bool MultiLine);
AnsiString CRToHtmlBreak(const AnsiString& S);
AnsiString RemoveCRChars(const AnsiString& S);
AnsiString DeleteCRChars(const AnsiString& S);
void AnsiToOemString(AnsiString& S);
void OemToAnsiString(AnsiString& S);
// Line = the text before the first CR (all of S when none); that text, the CR
// and one following LF leave S; S is emptied when KeepRest is false.
void ExtractFirstLine(AnsiString& S, bool KeepRest, AnsiString& Line);
int CountTextLines(const AnsiString& S, bool MultiLine);
// Pos = 1-based end of the first run of Ch of odd length, 0 when none.
bool FindOddCharRun(char Ch, const AnsiString& S, int& Pos);
int CountOddCharRuns(char Ch, const AnsiString& S);
int CountChar(char Ch, const AnsiString& S);

// ---------------------------------------------------------------- small helpers
int IntMax(int A, int B);
int IntMin(int A, int B);
// Column width limits: a bound of 0 or less is ignored; equal bounds leave Value.
int ClampToMinMax(int Value, int Min, int Max);
int PosInUpperCase(const AnsiString& Substr, const AnsiString& S);
int PosWithResult(const AnsiString& Substr, const AnsiString& S, int& Res);
int CharPosWithResult(char Ch, const AnsiString& S, int& Res);
int CharPos(char Ch, const AnsiString& S);
// When Delim occurs: Part = the text before it; S loses that text and the
// first character of Delim. Else Part is empty and S unchanged.
void CutUpToDelimiter(AnsiString& S, const AnsiString& Delim, AnsiString& Part);
AnsiString ConcatStrings(const TStrings& Strings);
void FillChars(AnsiString& S, char Ch);
bool PointInRect(const TRect& R, int X, int Y);   // bounds included
// "R3C2" -> Cell.X = 2 (column), Cell.Y = 3 (row).
bool ParseRowColRef(const AnsiString& S, TPoint& Cell);
bool IsURL(std::string_view S);
void StripURLPrefix(AnsiString& S);
// "jan mcdonald iii" -> "Jan McDonald III".
AnsiString ProperNameCase(const AnsiString& S);
