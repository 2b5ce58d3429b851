// Windows-1250 and code page 852 tables, Polish case rules and the word sort.
#include "platform/core/CodePage.h"

#include <algorithm>

#include <array>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace {

// Bytes 0x80..0xFF of Windows-1250; the undefined positions map to the
// C1 control with the same number so that every byte round-trips.
const char16_t kWin1250High[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Bytes 0x80..0xFF of code page 852.
const char16_t kCp852High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

// Upper/lower pairs of the page outside ASCII (lower, upper).
const unsigned char kCasePairs[][2] = {
    {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F},
    {0xB3, 0xA3}, {0xB9, 0xA5}, {0xBA, 0xAA}, {0xBE, 0xBC}, {0xBF, 0xAF},
};

// Weights of one character in the word sort.
struct CollKey {
    std::uint32_t primary = 0;
    std::uint16_t secondary = 0;   // accent of a letter that sorts with its base letter
    std::uint8_t upper = 0;        // 1 for a capital letter
    bool ignorable = false;        // "-" and "'": only breaks ties
};

enum : std::uint32_t { kSymbolBase = 0x100, kDigitBase = 0x20000, kLetterBase = 0x30000 };

struct Tables {
    unsigned char upper[256];
    unsigned char lower[256];
    bool letter[256];
    CollKey key[256];
    std::array<std::uint16_t, 0x10000> fromUnicode{};   // 0 = no byte (except U+0000)
    std::array<std::uint16_t, 0x10000> fromUnicode852{};

    Tables()
    {
        for (int c = 0; c < 256; ++c) {
            upper[c] = lower[c] = static_cast<unsigned char>(c);
            letter[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        }
        for (int c = 'a'; c <= 'z'; ++c) {
            upper[c] = static_cast<unsigned char>(c - 32);
            lower[c - 32] = static_cast<unsigned char>(c);
        }
        for (auto& p : kCasePairs) {
            upper[p[0]] = p[1];
            lower[p[1]] = p[0];
            letter[p[0]] = letter[p[1]] = true;
        }
        for (int c = 0xC0; c <= 0xDE; ++c) {
            if (c == 0xD7) continue;   // multiplication sign
            upper[c + 0x20] = static_cast<unsigned char>(c);
            lower[c] = static_cast<unsigned char>(c + 0x20);
            letter[c] = letter[c + 0x20] = true;
        }
        letter[0xDF] = true;   // sharp s, no capital in the page
        letter[0xB5] = true;   // micro sign

        for (int c = 0; c < 256; ++c) {
            char16_t u = c < 0x80 ? char16_t(c) : kWin1250High[c - 0x80];
            fromUnicode[u] = static_cast<std::uint16_t>(c);
            char16_t o = c < 0x80 ? char16_t(c) : kCp852High[c - 0x80];
            fromUnicode852[o] = static_cast<std::uint16_t>(c);
        }

        // The Polish alphabet in order; other letters sort with their base letter.
        static const char kAlphabet[] = "aąbcćdeęfghijklłmnńoópqrsśtuvwxyzźż";
        static const char kBase[] =   // pairs: letter, base letter
            "šsťtžzşsľlŕráaâaăaäaĺlçcčcéeëeěeíiîiďdđdňnôoőoöořrůuúuűuüuýyţtßs";
        const int alphabetLen = static_cast<int>(std::strlen(kAlphabet));
        auto alphaIndex = [&](unsigned char c) {
            for (int i = 0; i < alphabetLen; ++i)
                if (static_cast<unsigned char>(kAlphabet[i]) == c) return i;
            return -1;
        };
        for (int c = 0; c < 256; ++c) {
            CollKey& k = key[c];
            char16_t u = c < 0x80 ? char16_t(c) : kWin1250High[c - 0x80];
            if (c == '-' || c == '\'' || c == 0xAD) {
                k.ignorable = true;
                k.primary = kSymbolBase + u;
            } else if (c >= '0' && c <= '9') {
                k.primary = kDigitBase + static_cast<std::uint32_t>(c - '0');
            } else if (letter[c]) {
                unsigned char lc = lower[c];
                k.upper = lc != c ? 1 : 0;
                int idx = alphaIndex(lc);
                if (idx < 0) {
                    for (size_t i = 0; kBase[i] && kBase[i + 1]; i += 2)
                        if (static_cast<unsigned char>(kBase[i]) == lc) {
                            idx = alphaIndex(static_cast<unsigned char>(kBase[i + 1]));
                            k.secondary = lc;
                            break;
                        }
                }
                if (idx < 0) idx = alphabetLen;   // micro sign: after the alphabet
                k.primary = kLetterBase + static_cast<std::uint32_t>(idx);
            } else {
                k.primary = kSymbolBase + u;
            }
        }
    }
};

const Tables& T()
{
    static const Tables t;
    return t;
}

// Appends one code point as UTF-8.
void PutUtf8(std::string& out, char32_t u)
{
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// What the decoders hand on for bytes that are no character (beyond every code point).
constexpr char32_t kNoChar = 0x110000;

// Decodes UTF-8; a malformed sequence yields kNoChar for its first byte.
template <class Sink>
void DecodeUtf8(std::string_view s, Sink sink)
{
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t u;
        int extra;
        if (c < 0x80) { sink(char32_t(c)); ++i; continue; }
        if ((c & 0xE0) == 0xC0) { u = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { u = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { u = c & 0x07; extra = 3; }
        else { sink(kNoChar); ++i; continue; }
        if (i + static_cast<size_t>(extra) >= n) { sink(kNoChar); ++i; continue; }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) { ok = false; break; }
            u = (u << 6) | (cc & 0x3F);
        }
        static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || u < kMin[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) {
            sink(kNoChar);
            ++i;
            continue;
        }
        sink(u);
        i += static_cast<size_t>(extra) + 1;
    }
}

// Decodes UTF-16 of either byte order; an unpaired surrogate and a last odd byte yield kNoChar.
template <class Sink>
void DecodeUtf16(std::string_view s, bool BigEndian, Sink sink)
{
    const size_t n = s.size();
    auto unit = [&](size_t i) -> char32_t {
        const unsigned a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
        return BigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    size_t i = 0;
    for (; i + 1 < n; i += 2) {
        const char32_t u = unit(i);
        if (u < 0xD800 || u > 0xDFFF) {
            sink(u);
        } else if (u <= 0xDBFF && i + 3 < n && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            sink(0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else {
            sink(kNoChar);
        }
    }
    if (i < n)
        sink(kNoChar);
}

CollKey WideKey(char16_t c)
{
    const Tables& t = T();
    std::uint16_t b = t.fromUnicode[c];
    if (b != 0 || c == 0) return t.key[b];
    CollKey k;
    k.primary = kSymbolBase + c;   // characters outside the page sort among the symbols
    return k;
}

// The levels of the word sort: base characters, accents, case, the ignored
// characters, and finally the characters themselves so that only equal
// texts compare equal. The result's size tells the level (4 .. 1).
template <class Str, class KeyOf, class Fold>
int CollateImpl(const Str& a, const Str& b, bool ignoreCase, KeyOf keyOf, Fold fold)
{
    const size_t na = a.size(), nb = b.size();
    for (int level = 0; level < 3; ++level) {
        if (level == 2 && ignoreCase) break;
        size_t i = 0, j = 0;
        for (;;) {
            while (i < na && keyOf(a[i]).ignorable) ++i;
            while (j < nb && keyOf(b[j]).ignorable) ++j;
            if (i == na || j == nb) break;
            CollKey ka = keyOf(a[i]), kb = keyOf(b[j]);
            std::uint32_t wa = level == 0 ? ka.primary : level == 1 ? ka.secondary : ka.upper;
            std::uint32_t wb = level == 0 ? kb.primary : level == 1 ? kb.secondary : kb.upper;
            if (wa != wb) return wa < wb ? -(4 - level) : (4 - level);
            ++i;
            ++j;
        }
        if (i < na) return 4 - level;
        if (j < nb) return -(4 - level);
    }
    // Ignored characters: by their place among the others, then by weight;
    // the text with fewer of them sorts first.
    {
        size_t i = 0, j = 0, pa = 0, pb = 0;
        for (;;) {
            while (i < na && !keyOf(a[i]).ignorable) { ++i; ++pa; }
            while (j < nb && !keyOf(b[j]).ignorable) { ++j; ++pb; }
            if (i == na || j == nb) {
                if (i < na) return 1;
                if (j < nb) return -1;
                break;
            }
            if (pa != pb) return pa < pb ? -1 : 1;
            std::uint32_t wa = keyOf(a[i]).primary, wb = keyOf(b[j]).primary;
            if (wa != wb) return wa < wb ? -1 : 1;
            ++i;
            ++j;
        }
    }
    for (size_t k = 0; k < na && k < nb; ++k) {
        auto ca = fold(a[k]), cb = fold(b[k]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

// Windows-1250 bytes that are printable ASCII, TAB, CR, LF, a Polish letter or one of the
// marks „ ” ‚ ’ « » – — … ° § ×.
bool IsPlainPolishText(std::string_view Bytes)
{
    static const std::array<bool, 256> plain = [] {
        std::array<bool, 256> t{};
        for (int c = 0x20; c < 0x7F; ++c)
            t[size_t(c)] = true;
        t['\t'] = t['\r'] = t['\n'] = true;
        for (char16_t u : u"ĄĆĘŁŃÓŚŹŻąćęłńóśźż„”‚’«»–—…°§×")
            t[UnicodeToWin1250(u)] = true;
        return t;
    }();
    return std::all_of(Bytes.begin(), Bytes.end(), [](char c) { return plain[static_cast<unsigned char>(c)]; });
}

}   // namespace

char16_t Win1250ToUnicode(unsigned char c)
{
    return c < 0x80 ? char16_t(c) : kWin1250High[c - 0x80];
}

unsigned char UnicodeToWin1250(char32_t u)
{
    if (u < 0x80) return static_cast<unsigned char>(u);
    if (u > 0xFFFF) return '?';
    std::uint16_t b = T().fromUnicode[u];
    return b ? static_cast<unsigned char>(b) : '?';
}

WideString AnsiToWide(const AnsiString& s)
{
    WideString w;
    w.reserve(s.size());
    for (char c : s) w += Win1250ToUnicode(static_cast<unsigned char>(c));
    return w;
}

AnsiString WideToAnsi(const WideString& w)
{
    AnsiString s;
    s.reserve(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        char16_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF)
            ++i;   // a surrogate pair is one character without a byte
        s += static_cast<char>(c >= 0xD800 && c <= 0xDFFF ? '?' : UnicodeToWin1250(c));
    }
    return s;
}

std::string AnsiToUtf8(const AnsiString& s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (char c : s) PutUtf8(out, Win1250ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

AnsiString Utf8ToAnsi(const std::string& s)
{
    AnsiString out;
    out.reserve(s.size());
    DecodeUtf8(s, [&](char32_t u) { out += static_cast<char>(u == kNoChar ? '?' : UnicodeToWin1250(u)); });
    return out;
}

TDecodedText DecodeForeignText(std::string_view Bytes, bool GuessUtf8)
{
    TDecodedText r;
    enum { kWin1250, kUtf8, kUtf16LE, kUtf16BE } encoding = kWin1250;
    if (Bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        encoding = kUtf8;
        Bytes.remove_prefix(3);
    } else if (Bytes.substr(0, 2) == "\xFF\xFE" || Bytes.substr(0, 2) == "\xFE\xFF") {
        encoding = Bytes[0] == '\xFE' ? kUtf16BE : kUtf16LE;
        Bytes.remove_prefix(2);
    } else if (GuessUtf8) {
        // Valid UTF-8 with a character of more than one byte is UTF-8, unless a character of
        // that reading has no Windows-1250 byte while the bytes read as Windows-1250 are
        // plain Polish text: "PÓŁKA" in Windows-1250 is valid UTF-8 too (Ó Ł as U+04E3).
        bool valid = true, wide = false, held = true;
        DecodeUtf8(Bytes, [&](char32_t u) {
            valid = valid && u != kNoChar;
            wide = wide || u >= 0x80;
            held = held && (u < 0x80 || UnicodeToWin1250(u) != '?');
        });
        if (valid && wide && (held || !IsPlainPolishText(Bytes)))
            encoding = kUtf8;
    }
    if (encoding == kWin1250) {
        // Every byte is a character; only a NUL is no text.
        r.Text.assign(Bytes);
        if (const void* nul = std::memchr(Bytes.data(), 0, Bytes.size()))
            r.Nul = 1 + int(std::count(Bytes.data(), static_cast<const char*>(nul), '\n'));
        return r;
    }
    r.Encoding = encoding == kUtf8 ? "UTF-8" : encoding == kUtf16LE ? "UTF-16 LE" : "UTF-16 BE";
    r.Text.reserve(encoding == kUtf8 ? Bytes.size() : Bytes.size() / 2);
    std::unordered_set<char32_t> unheld;
    int line = 1;
    auto put = [&](char32_t u) {
        if (u == kNoChar) {
            if (r.Undecodable == 0)
                r.Undecodable = line;
            r.Text += '?';
            return;
        }
        const unsigned char b = UnicodeToWin1250(u);
        if (b == '?' && u != '?' && unheld.insert(u).second)
            r.Unheld.push_back({u, line});
        if (u == 0 && r.Nul == 0)
            r.Nul = line;
        line += u == '\n';
        r.Text += static_cast<char>(b);
    };
    if (encoding == kUtf8)
        DecodeUtf8(Bytes, put);
    else
        DecodeUtf16(Bytes, encoding == kUtf16BE, put);
    return r;
}

WideString Utf8ToWide(const std::string& s)
{
    WideString out;
    out.reserve(s.size());
    DecodeUtf8(s, [&](char32_t u) {
        if (u == kNoChar) {
            out += char16_t(0xFFFD);
        } else if (u >= 0x10000) {
            u -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (u >> 10));
            out += static_cast<char16_t>(0xDC00 + (u & 0x3FF));
        } else {
            out += static_cast<char16_t>(u);
        }
    });
    return out;
}

std::string WideToUtf8(const WideString& w)
{
    std::string out;
    out.reserve(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;   // a lone surrogate has no UTF-8 form
        }
        PutUtf8(out, c);
    }
    return out;
}

AnsiString AnsiToOem(const AnsiString& s)
{
    const Tables& t = T();
    AnsiString out(s);
    for (char& c : out) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x80) continue;
        std::uint16_t o = t.fromUnicode852[kWin1250High[b - 0x80]];
        c = static_cast<char>(o ? o : '?');
    }
    return out;
}

AnsiString OemToAnsi(const AnsiString& s)
{
    AnsiString out(s);
    for (char& c : out) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x80) c = static_cast<char>(UnicodeToWin1250(kCp852High[b - 0x80]));
    }
    return out;
}

unsigned char AnsiUpperChar(unsigned char c) { return T().upper[c]; }
unsigned char AnsiLowerChar(unsigned char c) { return T().lower[c]; }
bool IsAnsiLetter(unsigned char c) { return T().letter[c]; }

int CollateAnsi(std::string_view a, std::string_view b, bool ignoreCase)
{
    const Tables& t = T();
    return CollateImpl(
        a, b, ignoreCase, [&t](char c) -> const CollKey& { return t.key[static_cast<unsigned char>(c)]; },
        [&t, ignoreCase](char c) {
            unsigned char u = static_cast<unsigned char>(c);
            return ignoreCase ? t.lower[u] : u;
        });
}

// Each level of CollateImpl in turn: the weights of the counted characters
// (each one more than its weight, so that the zero end mark sorts before
// any), then the ignored characters as (place, weight), then the folded
// characters. Fixed widths keep the byte order the numeric order.
AnsiString CollationKey(const AnsiString& s, bool ignoreCase)
{
    const Tables& t = T();
    AnsiString key;
    key.reserve(s.size() * 8 + 16);
    auto put = [&key](std::uint32_t v, int bytes) {
        for (int b = bytes - 1; b >= 0; --b) key += static_cast<char>((v >> (8 * b)) & 0xFF);
    };
    for (int level = 0; level < 3; ++level) {
        if (level == 2 && ignoreCase) break;
        const int width = level == 2 ? 1 : 3;
        for (char c : s) {
            const CollKey& k = t.key[static_cast<unsigned char>(c)];
            if (k.ignorable) continue;
            put((level == 0 ? k.primary : level == 1 ? k.secondary : k.upper) + 1, width);
        }
        put(0, width);
    }
    std::uint32_t place = 0;
    for (char c : s) {
        const CollKey& k = t.key[static_cast<unsigned char>(c)];
        if (!k.ignorable) {
            ++place;
            continue;
        }
        put(place + 1, 4);
        put(k.primary + 1, 3);
    }
    put(0, 4);
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        key += static_cast<char>(ignoreCase ? t.lower[u] : u);
    }
    return key;
}

void CollationPrefix(std::string_view s, unsigned char* Out, std::size_t Size)
{
    // The ranks of the primary weights, from 1, once.
    static const std::array<std::uint16_t, 256> ranks = [] {
        const Tables& t = T();
        std::vector<std::uint32_t> weights;
        for (int c = 0; c < 256; ++c)
            weights.push_back(t.key[c].primary);
        std::sort(weights.begin(), weights.end());
        weights.erase(std::unique(weights.begin(), weights.end()), weights.end());
        std::array<std::uint16_t, 256> r{};
        for (int c = 0; c < 256; ++c)
            r[std::size_t(c)] = std::uint16_t(
                1 + (std::lower_bound(weights.begin(), weights.end(), t.key[c].primary) - weights.begin()));
        return r;
    }();
    const Tables& t = T();
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size() && n + 2 <= Size; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (t.key[c].ignorable)
            continue;
        Out[n++] = static_cast<unsigned char>(ranks[c] >> 8);
        Out[n++] = static_cast<unsigned char>(ranks[c] & 0xFF);
    }
    std::fill(Out + n, Out + Size, static_cast<unsigned char>(0));
}

int CollateWide(const WideString& a, const WideString& b, bool ignoreCase)
{
    const Tables& t = T();
    return CollateImpl(a, b, ignoreCase, WideKey, [&t, ignoreCase](char16_t c) -> char16_t {
        if (!ignoreCase) return c;
        std::uint16_t b8 = t.fromUnicode[c];
        if (b8 == 0) return c;
        return Win1250ToUnicode(t.lower[b8]);
    });
}
