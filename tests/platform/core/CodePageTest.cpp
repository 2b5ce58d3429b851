#include <gtest/gtest.h>

#include "platform/core/CodePage.h"
#include "tests/common/TestFiles.h"

TEST(CodePage, EveryByteRoundTripsThroughUtf16AndUtf8)
{
    for (int b = 0; b < 256; ++b) {
        AnsiString one(1, static_cast<char>(b));
        WideString w = AnsiToWide(one);
        ASSERT_EQ(w.size(), 1u) << b;
        EXPECT_EQ(WideToAnsi(w), one) << b;
        EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(one)), one) << b;
        EXPECT_EQ(Utf8ToWide(AnsiToUtf8(one)), w) << b;
        EXPECT_EQ(UnicodeToWin1250(Win1250ToUnicode(static_cast<unsigned char>(b))), b) << b;
    }
}

TEST(CodePage, KnownPositions)
{
    struct Case { unsigned char byte; char16_t uni; } cases[] = {
        {0x80, 0x20AC}, {0x81, 0x0081}, {0x83, 0x0083}, {0x88, 0x0088}, {0x90, 0x0090}, {0x98, 0x0098},
        {0x8C, 0x015A}, {0x9C, 0x015B}, {0x8F, 0x0179}, {0x9F, 0x017A}, {0xA3, 0x0141}, {0xB3, 0x0142},
        {0xA5, 0x0104}, {0xB9, 0x0105}, {0xAF, 0x017B}, {0xBF, 0x017C}, {0xC6, 0x0106}, {0xE6, 0x0107},
        {0xCA, 0x0118}, {0xEA, 0x0119}, {0xD1, 0x0143}, {0xF1, 0x0144}, {0xD3, 0x00D3}, {0xF3, 0x00F3},
        {0xA0, 0x00A0}, {0x96, 0x2013}, {0x84, 0x201E}, {0xFF, 0x02D9},
    };
    for (auto& c : cases) EXPECT_EQ(Win1250ToUnicode(c.byte), c.uni) << int(c.byte);
    // No byte: a question mark, in every direction.
    EXPECT_EQ(UnicodeToWin1250(0x0416), '?');
    EXPECT_EQ(UnicodeToWin1250(0x0085), '?');
    EXPECT_EQ(UnicodeToWin1250(0x1F600), '?');
    EXPECT_EQ(WideToAnsi(u"a\u0416b"), "a?b");
    EXPECT_EQ(WideToAnsi(u"x\U0001F600y"), "x?y");
    EXPECT_EQ(Utf8ToAnsi("a\xD0\x96" "b"), "a?b");
    EXPECT_EQ(Utf8ToAnsi("a\xFF\xC3"), "a??");          // malformed bytes
    EXPECT_EQ(Utf8ToAnsi("\xE2\x82"), "??");             // cut sequence
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(CodePage, SourceLiteralsAreWindows1250)
{
    const AnsiString s = "Zastąpiona";
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(static_cast<unsigned char>(s[4]), 0xB9);
    EXPECT_EQ(AnsiToUtf8(s), "Zast\xC4\x85piona");
    EXPECT_EQ(AnsiToWide("Łódź"), u"Łódź");
}

TEST(CodePage, Cp852BothWays)
{
    // ą ę ł ś ż ź ć ń ó and capitals in code page 852.
    const AnsiString ansi = "ąęłśżźćńóĄĘŁŚŻŹĆŃÓ";
    const unsigned char oem[] = {0xA5, 0xA9, 0x88, 0x98, 0xBE, 0xAB, 0x86, 0xE4, 0xA2,
                                 0xA4, 0xA8, 0x9D, 0x97, 0xBD, 0x8D, 0x8F, 0xE3, 0xE0};
    const AnsiString expected(reinterpret_cast<const char*>(oem), sizeof oem);
    EXPECT_EQ(AnsiToOem(ansi), expected);
    EXPECT_EQ(OemToAnsi(expected), ansi);
    EXPECT_EQ(AnsiToOem("abc 123"), "abc 123");
    EXPECT_EQ(AnsiToOem("\x80"), "?");                 // euro sign has no OEM byte
    EXPECT_EQ(OemToAnsi("\xC9"), "?");                 // box drawing has no ANSI byte
}

TEST(CodePage, PolishCase)
{
    struct Pair { unsigned char lower, upper; } pairs[] = {
        {0xB9, 0xA5}, {0x9C, 0x8C}, {0x9F, 0x8F}, {0xBF, 0xAF}, {0xB3, 0xA3}, {0xE6, 0xC6},
        {0xEA, 0xCA}, {0xF1, 0xD1}, {0xF3, 0xD3}, {0x9A, 0x8A}, {0xBE, 0xBC}, {'a', 'A'}, {'z', 'Z'},
    };
    for (auto& p : pairs) {
        EXPECT_EQ(AnsiUpperChar(p.lower), p.upper) << int(p.lower);
        EXPECT_EQ(AnsiLowerChar(p.upper), p.lower) << int(p.upper);
        EXPECT_TRUE(IsAnsiLetter(p.lower));
        EXPECT_TRUE(IsAnsiLetter(p.upper));
    }
    for (unsigned char c : {0xDF, 0xB5, 0xD7, 0xF7, 0xA0, int('1'), int('-')}) {
        EXPECT_EQ(AnsiUpperChar(c), c) << int(c);
        EXPECT_EQ(AnsiLowerChar(c), c) << int(c);
    }
    EXPECT_FALSE(IsAnsiLetter(0xD7));
    EXPECT_FALSE(IsAnsiLetter('5'));
    EXPECT_FALSE(IsAnsiLetter(0xA1));   // caron
}

TEST(CodePage, AnotherProgramsTextIsReadAsUtf8Utf16OrWindows1250)
{
    using namespace std::string_literals;
    const AnsiString polish = "ŚWIADECTWO żółć – „KÓŁKO”";   // Windows-1250 bytes
    const std::string utf8 = AnsiToUtf8(polish);
    const std::string bom = "\xEF\xBB\xBF";
    using TUnheld = std::vector<std::pair<char32_t, int>>;
    const struct {
        const char* What;
        std::string Bytes;
        AnsiString Text;
        const char* Encoding;
        TUnheld Unheld;
        int Undecodable, Nul;
        bool GuessUtf8 = true;
    } cases[] = {
        {"UTF-8", utf8 + "\r\n" + utf8, polish + "\r\n" + polish, "UTF-8", {}, 0, 0},
        {"UTF-8 with a byte-order mark", bom + utf8, polish, "UTF-8", {}, 0, 0},
        {"UTF-8 without a mark, not guessed", utf8, utf8, "Windows-1250", {}, 0, 0, false},
        {"Windows-1250", polish + "\r\n", polish + "\r\n", "Windows-1250", {}, 0, 0},
        {"Windows-1250 valid as UTF-8 only in part", "K\xD3\xA3KO \xB9", "KÓŁKO ą", "Windows-1250", {}, 0, 0},
        // Capitals alone are valid UTF-8 as well (U+04E3, U+028C), letters of no Polish text.
        {"Windows-1250 valid as UTF-8 whole", "P\xD3\xA3KA\tST\xD3\xA3\r\nCZ\xCA\x8C" "CI\r\n",
         "PÓŁKA\tSTÓŁ\r\nCZĘŚCI\r\n", "Windows-1250", {}, 0, 0},
        {"plain ASCII", "PN-EN 1|x|\r\n", "PN-EN 1|x|\r\n", "Windows-1250", {}, 0, 0},
        {"a byte-order mark before ASCII", bom + "abc", "abc", "UTF-8", {}, 0, 0},
        {"letters Windows-1250 has none for",
         "a?\n\xD0\x96uk\r\nb \xE4\xB8\xAD \xD0\x96\n\xF0\x9F\x98\x80", "a?\n?uk\r\nb ? ?\n?", "UTF-8",
         {{0x0416, 2}, {0x4E2D, 3}, {0x1F600, 4}}, 0, 0},
        {"bytes that are no UTF-8 after a byte-order mark", bom + "a\n\xFF" "b", "a\n?b", "UTF-8", {}, 2, 0},
        {"UTF-16 LE", Utf16(polish + "\r\n", false), polish + "\r\n", "UTF-16 LE", {}, 0, 0},
        {"UTF-16 BE", Utf16(polish, true), polish, "UTF-16 BE", {}, 0, 0},
        {"UTF-16 surrogate pair and U+FFFD", "\xFF\xFE" "a\0\n\0\x3D\xD8\x00\xDE\xFD\xFF"s, "a\n??", "UTF-16 LE",
         {{0x1F600, 2}, {0xFFFD, 2}}, 0, 0},
        {"UTF-16 of an odd length", "\xFE\xFF\0a\0\n\0"s, "a\n?", "UTF-16 BE", {}, 2, 0},
        {"UTF-16 with a lone low surrogate", "\xFF\xFE\x00\xDCx\0"s, "?x", "UTF-16 LE", {}, 1, 0},
        {"UTF-16 with a high surrogate at its end", "\xFF\xFE" "a\0\x3D\xD8"s, "a?", "UTF-16 LE", {}, 1, 0},
        {"UTF-16 with a NUL", "\xFF\xFE" "a\0\n\0\0\0"s, "a\n\0"s, "UTF-16 LE", {}, 0, 2},
        {"NUL bytes without a mark", "a\r\nb\0c"s, "a\r\nb\0c"s, "Windows-1250", {}, 0, 2},
    };
    for (const auto& c : cases) {
        const TDecodedText d = DecodeForeignText(c.Bytes, c.GuessUtf8);
        EXPECT_EQ(d.Text, c.Text) << c.What;
        EXPECT_STREQ(d.Encoding, c.Encoding) << c.What;
        TUnheld got;
        for (const TUnheldChar& u : d.Unheld)
            got.push_back({u.Code, u.Line});
        EXPECT_EQ(got, c.Unheld) << c.What;
        EXPECT_EQ(d.Undecodable, c.Undecodable) << c.What;
        EXPECT_EQ(d.Nul, c.Nul) << c.What;
        EXPECT_EQ(d.Whole(), c.Unheld.empty() && !c.Undecodable && !c.Nul) << c.What;
    }
}
