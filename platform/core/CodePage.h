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

// A character of another program's text that Windows-1250 has no byte for: its code point and
// the 1-based line it first stands on.
struct TUnheldChar {
    char32_t Code;
    int Line;
};
// Another program's text (an import's source, a CSV file opened or dropped into a grid, an ini
// file an editor saved) as the program's Windows-1250 text, and what it held that the program's
// text cannot hold.
struct TDecodedText {
    AnsiString Text;                    // '?' stands for what has no byte and for bytes that are no text
    const char* Encoding = "Windows-1250";   // "UTF-8", "UTF-16 LE", "UTF-16 BE" or "Windows-1250"
    std::vector<TUnheldChar> Unheld;    // each character without a byte, once, in the order of their first lines
    int Undecodable = 0;                // line of the first bytes that are no character of Encoding; 0: none
    int Nul = 0;                        // line of the first NUL character; 0: none
    // Nothing was lost or stands in the text that the program's text may not hold.
    bool Whole() const { return Unheld.empty() && Undecodable == 0 && Nul == 0; }
};
// The one reading of text that other programs wrote. A byte-order mark (which goes) names the
// encoding: UTF-8, or UTF-16 little- or big-endian (what Windows' own editors save as
// "Unicode"). Without a mark, with GuessUtf8, bytes that are valid UTF-8 holding characters of
// more than one byte are UTF-8 when Windows-1250 holds every character of that reading, and also
// when it does not but the bytes read as Windows-1250 are no plain Polish text (printable ASCII,
// TAB, CR, LF, Polish letters, „ ” ‚ ’ « » – — … ° § ×), so that those characters are reported;
// all other bytes are Windows-1250 already and stay byte for byte. A reader of outside text refuses
// a text that is not Whole(); the program's own files are read byte for byte, an ini file only
// through the mark (GuessUtf8 false).
TDecodedText DecodeForeignText(std::string_view Bytes, bool GuessUtf8 = true);

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
