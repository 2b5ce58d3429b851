#pragma once
// Windows-1250 (the program's code page) and code page 852 (OEM), and the
// Polish case and collation rules of the platform, from our own tables.
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/core/Types.h"

// Every byte maps to one UTF-16 unit; the five undefined positions map to
// U+0081, U+0083, U+0088, U+0090 and U+0098 so that every byte round-trips.
char16_t Win1250ToUnicode(unsigned char c);
// A character with no Windows-1250 form becomes '?'.
unsigned char UnicodeToWin1250(char32_t u);
WideString AnsiToWide(const AnsiString& s);
AnsiString WideToAnsi(const WideString& w);          // '?' for what has no byte
std::string AnsiToUtf8(const AnsiString& s);
AnsiString Utf8ToAnsi(const std::string& s);         // '?' for what has no byte; bad UTF-8 bytes too
WideString Utf8ToWide(const std::string& s);
std::string WideToUtf8(const WideString& w);

// A character of another program's text that Windows-1250 has no byte for: its code point
// (U+FFFD for bytes that are no UTF-8) and the 1-based line it first stands on.
struct TUnheldChar {
    char32_t Code;
    int Line;
};
// Bytes another program wrote (an import's source, a CSV file opened or dropped into a grid) as
// the program's Windows-1250 text: read as UTF-8 when they start with the UTF-8 byte-order mark
// (which goes) or are valid UTF-8 holding characters of more than one byte; else they are
// Windows-1250 already and stay byte for byte. Unheld gets each character of a UTF-8 text
// that Windows-1250 cannot hold, once, in the order of their first lines ('?' stands for it).
// The program's own files are never read through it.
AnsiString ForeignTextToAnsi(std::string_view Bytes, std::vector<TUnheldChar>& Unheld);

// Code page 852 (the console code page), both ways.
AnsiString AnsiToOem(const AnsiString& s);
AnsiString OemToAnsi(const AnsiString& s);

// Case of one Windows-1250 character (Polish and the other letters of the page).
unsigned char AnsiUpperChar(unsigned char c);
unsigned char AnsiLowerChar(unsigned char c);
bool IsAnsiLetter(unsigned char c);

// The platform's word sort: letters in Polish order, digits before letters,
// punctuation before digits, "-" and "'" ignored except to break ties; case
// folded for the Text variant, lower before upper on a tie for the other.
// The sign gives the order; the size tells where the texts differ: 4 in the
// letters themselves, 3 in accents, 2 in case, 1 only in the ignored
// characters (or in characters that sort alike). 0 only for equal texts
// (equal up to case for ignoreCase).
int CollateAnsi(std::string_view a, std::string_view b, bool ignoreCase);
int CollateWide(const WideString& a, const WideString& b, bool ignoreCase);
// A text's key for the word sort: the sign of CompareStr of two keys is the
// sign of CollateAnsi of their texts (ignoreCase the same), so that a text
// sorted many times is weighed once.
AnsiString CollationKey(const AnsiString& s, bool ignoreCase);
// The start of a text's key for the word sort, its first level only: each counted
// character (not "-" or "'") as two bytes, the rank of its weight among the code
// page's weights (from 1, the high byte first), zeros after the text's end; Size
// bytes in all. Texts whose prefixes differ compare as the prefixes do, byte by
// byte (either way of case); equal prefixes tell nothing.
void CollationPrefix(std::string_view s, unsigned char* Out, std::size_t Size);
