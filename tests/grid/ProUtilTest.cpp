#include <gtest/gtest.h>

#include "grid/ProUtil.h"
#include "platform/core/Classes.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {

// Every test sets the separators it relies on and puts the defaults back.
class ProUtil : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }

    static void Separators(char decimal, char thousand)
    {
        FormatSettings.DecimalSeparator = decimal;
        FormatSettings.ThousandSeparator = thousand;
    }
};

AnsiString Bytes(std::initializer_list<unsigned char> b)
{
    return AnsiString(b.begin(), b.end());
}

}  // namespace

// ---------------------------------------------------------------- Unicode-in-ANSI

TEST_F(ProUtil, UnicodeCellEncodingIsLengthCountedHighByteFirst)
{
    EXPECT_EQ(EncodeUnicodeCell(u"A"), Bytes({0x7C, 0x5C, 0x00, 0x41}));
    EXPECT_EQ(EncodeUnicodeCell(u""), "|\\");
    EXPECT_EQ(DecodeUnicodeCell(Bytes({0x7C, 0x5C, 0x00, 0x41})), u"A");
    // A trailing odd byte is ignored.
    EXPECT_EQ(DecodeUnicodeCell(Bytes({0x7C, 0x5C, 0x01, 0x42, 0x99})), u"\u0142");
    EXPECT_EQ(DecodeUnicodeCell("|\\"), u"");

    // NUL bytes, Polish letters and a surrogate pair survive the round trip.
    const WideString samples[] = {u"\u0000a\u0000", u"Zażółć gęślą jaźń", u"\U0001F600 x", u"\u4E2D\u6587"};
    for (const WideString& w : samples) {
        AnsiString cell = EncodeUnicodeCell(w);
        EXPECT_EQ(cell.size(), 2 + 2 * w.size());
        EXPECT_EQ(DecodeUnicodeCell(cell), w);
    }
    // Text without the prefix decodes from Windows-1250.
    EXPECT_EQ(DecodeUnicodeCell("x|\\y"), AnsiToWide("x|\\y"));
    EXPECT_EQ(DecodeUnicodeCell("łąka"), u"łąka");
    EXPECT_EQ(DecodeUnicodeCell("|"), u"|");
    EXPECT_EQ(DecodeUnicodeCell(""), u"");
}

TEST_F(ProUtil, ClassifyCellText)
{
    struct Case { AnsiString text; bool html; int expected; };
    const Case cases[] = {
        {"", true, 0}, {"=A1+1", false, 3}, {"=", false, 3}, {"{\\rtf1\\ansi x}", false, 2},
        {"{", false, 0},
        {"<b>x</b>", true, 1}, {"<b>x</b>", false, 0}, {"a<Bx", true, 1},
        {"<i>x", true, 0},          // the tags are case-sensitive, "<i" alone is not HTML
        {"a < b", true, 0},
        {Bytes({0x7C, 0x5C, 0x00, 0x3D, 0x00, 0x31}), false, 3},
        {Bytes({0x7C, 0x5C, 0x00, 0x41}), false, 5},
        {Bytes({0x7C, 0x5C, 0x00, 0x3D}), false, 5},   // the 5th byte is the appended blank
        {"|", false, 0}, {"plain", true, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyCellText(c.text, c.html), c.expected) << c.text;
}

TEST_F(ProUtil, WidePos)
{
    struct Case { WideString sub, s; int expected; };
    const Case cases[] = {
        {u"b", u"abc", 2}, {u"abc", u"abc", 1}, {u"bc", u"abcbc", 2}, {u"x", u"abc", 0},
        {u"", u"abc", 0},  {u"a", u"", 0},      {u"abcd", u"abc", 0}, {u"ąę", u"żąę", 2},
    };
    for (const Case& c : cases) EXPECT_EQ(WidePos(c.sub, c.s), c.expected);
}

// ---------------------------------------------------------------- numbers

TEST_F(ProUtil, IsNumericText)
{
    struct Case { AnsiString text; char decimal, thousand; int expected; };
    const Case cases[] = {
        {"123", ',', '.', 0}, {"-5", ',', '.', 0}, {"-", ',', '.', 0}, {"1,5", ',', '.', 1}, {"1.234.567", ',', '.', 1},
        {"1.23.4", ',', '.', 2}, {"1E5", ',', '.', 5}, {"-1E-5", ',', '.', 5}, {"1,5e3", ',', '.', 5},
        {"E5", ',', '.', 2}, {"1E", ',', '.', 2}, {"1E5E2", ',', '.', 2}, {"+5", ',', '.', 2}, {"+5E3", ',', '.', 5},
        {"1,2,3", ',', '.', 2}, {"", ',', '.', 2}, {" 5", ',', '.', 2}, {"5 ", ',', '.', 2}, {"5-", ',', '.', 2},
        {"1.5", '.', ' ', 1}, {"1 000.5", '.', ' ', 1},
        {"1.5", ',', '.', 1},       // "." as thousand separator still makes a float
        {"1.5", ',', '\xA0', 2}, {"--5", ',', '.', 2}, {"12a", ',', '.', 2},
    };
    for (const Case& c : cases) {
        Separators(c.decimal, c.thousand);
        EXPECT_EQ(IsNumericText(c.text), c.expected) << c.text;
    }
}

TEST_F(ProUtil, CleanNumberText)
{
    struct Case { AnsiString text; char decimal, thousand; AnsiString expected; };
    const Case cases[] = {
        {"(12,50)", ',', '.', "-12.50"}, {"EUR 1.000,00", ',', '.', "1000.00"}, {"12 kg", ',', '.', "12"},
        {"", ',', '.', ""}, {"   ", ',', '.', ""}, {"  -7,5  ", ',', '.', "-7.5"}, {"zł -3", ',', '.', "-3"},
        {"1 234,5", ',', ' ', "1234.5"}, {"1,234.5", '.', ',', "1234.5"}, {"1.5E3", '.', ',', "1.5E3"},
        {"abc", ',', '.', ""},
    };
    for (const Case& c : cases) {
        Separators(c.decimal, c.thousand);
        EXPECT_EQ(CleanNumberText(c.text), c.expected) << c.text;
    }
}

TEST_F(ProUtil, NormalizeDecimalText)
{
    Separators(',', '.');
    EXPECT_EQ(NormalizeDecimalText("1.234,5"), "1234.5");
    Separators('.', ' ');
    EXPECT_EQ(NormalizeDecimalText("1 234.5 x"), "1234.5x");
    EXPECT_EQ(NormalizeDecimalText(""), "");
    EXPECT_EQ(NormalizeDecimalText(nullptr), "");
}

// ---------------------------------------------------------------- dates

TEST_F(ProUtil, FixedOrderDates)
{
    struct Case { AnsiString text; bool monthFirst; int y, m, d; };   // y = 0: the zero date
    const Case cases[] = {
        {"31.12.99", false, 1999, 12, 31}, {"1-2-05", false, 2005, 2, 1}, {"5/6", false, 0, 0, 0},
        {"12/31/99", true, 1999, 12, 31}, {"2.1.25", false, 2025, 1, 2}, {"2.1.26", false, 1926, 1, 2},
        {"2.1.0", false, 2000, 1, 2},
        // Three and four digit years are taken as written.
        {"31.12.2008", false, 2008, 12, 31}, {"01/15/2025", true, 2025, 1, 15}, {"1.1.0999", false, 999, 1, 1},
        {"1.1.100", false, 100, 1, 1},
        // "/" wins over "." wins over "-".
        {"3/4.5/2009", false, 0, 0, 0}, {"5.6-2009", false, 0, 0, 0}, {"x.1.2009", false, 0, 0, 0},
        {"1.x.2009", false, 0, 0, 0}, {"1.1.", false, 0, 0, 0}, {"", false, 0, 0, 0}, {"2009", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        TDateTime expected = c.y == 0 ? 0 : EncodeDate(c.y, c.m, c.d);
        TDateTime got = c.monthFirst ? ParseDateMDY(c.text) : ParseDateDMY(c.text);
        EXPECT_EQ(got, expected) << c.text;
    }
    // Dates written alike keep their order.
    EXPECT_LT(ParseDateDMY("31.12.2008"), ParseDateDMY("1.1.2009"));
    EXPECT_LT(ParseDateDMY("31.12.99"), ParseDateDMY("1.1.00"));
    // Impossible dates raise. Hexadecimal years have few digits but any value: they must not overflow on the way.
    const char* texts[] = {"31.02.2009",     "0.1.2009",      "1.13.2009",      "1/2/-5",        "1.1.70000",
                           "1.1.0000",       "1-1-0x7FFFFFFF", "1-1-$7FFFFFFF", "1/1/0x7FFFF900", "1.1.$FFFF"};
    for (const char* t : texts) EXPECT_THROW(ParseDateDMY(t), EConvertError) << t;
    EXPECT_THROW(ParseDateMDY("13/1/2009"), EConvertError);
}

TEST_F(ProUtil, TryParseLocaleDate)
{
    struct Case { AnsiString format; char sep; AnsiString text; int y, m, d; };   // y = 0: false
    const Case cases[] = {
        {"dd.mm.yyyy", '.', "31.12.2009", 2009, 12, 31},
        {"dd.mm.yyyy", '.', "1.2.5", 5, 2, 1},          // no pivot
        {"mm/dd/yyyy", '/', "12/31/2009", 2009, 12, 31},
        {"yyyy-mm-dd", '-', "2009-02-28", 2009, 2, 28},
        {"dd.mm.yyyy", '.', "32.01.2009", 0, 0, 0}, {"dd.mm.yyyy", '.', "01.13.2009", 0, 0, 0},
        {"dd.mm.yyyy", '.', "31.02.2009", 0, 0, 0}, {"dd.mm.yyyy", '.', "00.01.2009", 0, 0, 0},
        {"dd.mm.yyyy", '.', "-1.01.2009", 0, 0, 0}, {"dd.mm.yyyy", '.', "1.1.70000", 0, 0, 0},
        {"dd.mm.yyyy", '.', "01.02", 0, 0, 0}, {"dd.mm.yyyy", '.', "a.b.c", 0, 0, 0},
        {"dd.mm.yyyy", '.', "01.02.2009 10:00", 0, 0, 0},
        {"dd.mm.yyyy", '.', "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        FormatSettings.ShortDateFormat = c.format;
        FormatSettings.DateSeparator = c.sep;
        TDateTime d = -1;
        bool ok = TryParseLocaleDate(c.text, d);
        EXPECT_EQ(ok, c.y != 0) << c.text;
        if (ok && c.y != 0) { EXPECT_EQ(d, EncodeDate(c.y, c.m, c.d)) << c.text; }
    }
}

TEST_F(ProUtil, IsDateLikeText)
{
    FormatSettings.DateSeparator = '.';
    struct Case { AnsiString text; bool expected; };
    const Case cases[] = {
        {"1.2.2009", true}, {"1.2.", true}, {".1.2", false}, {"1..2", false},
        {"1.2", false},     {"12", false},  {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsDateLikeText(c.text), c.expected) << c.text;
}

TEST_F(ProUtil, IncDateParts)
{
    struct Case { Word years, months, days; int y, m, d; double delta; int ey, em, ed; };
    const Case cases[] = {
        {0, 0, 3, 2009, 12, 30, 0, 2010, 1, 2}, {1, 0, 0, 2009, 3, 15, 0, 2010, 3, 15},
        {1, 0, 0, 2008, 2, 29, 0, 2009, 2, 28},    // clamped
        {4, 0, 0, 2008, 2, 29, 0, 2012, 2, 29}, {0, 1, 0, 2009, 12, 15, 0, 2010, 1, 15},
        {0, 1, 0, 2009, 1, 31, 0, 2009, 2, 28},    // clamped, not an error
        {0, 1, 0, 2008, 1, 31, 0, 2008, 2, 29}, {0, 1, 0, 2009, 3, 31, 0, 2009, 4, 30},
        {0, 25, 0, 2009, 1, 31, 0, 2011, 2, 28},   // more than a year at once
        {0, 12, 0, 2009, 5, 5, 0, 2010, 5, 5},
        {0, 65535, 0, 2009, 1, 15, 0, 2008, 12, 15}, {65535, 0, 0, 2009, 5, 5, 0, 2008, 5, 5},   // 16-bit sums wrap
        {0, 0, 0, 2009, 5, 5, 7, 2009, 5, 12},     // none: Delta
        {1, 1, 0, 2009, 5, 5, 2, 2009, 5, 7},      // several: Delta
    };
    for (const Case& c : cases) {
        TDateTime got = IncDateParts(c.years, c.months, c.days, EncodeDate(c.y, c.m, c.d), c.delta);
        EXPECT_EQ(got, EncodeDate(c.ey, c.em, c.ed)) << c.y << "-" << c.m << "-" << c.d;
    }
    EXPECT_THROW(IncDateParts(1, 0, 0, EncodeDate(9999, 1, 1), 0), EConvertError);
}

// ---------------------------------------------------------------- filter conditions

TEST_F(ProUtil, MatchFilterCondition)
{
    Separators(',', '\xA0');
    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
    struct Case { AnsiString cond, text; bool caseSensitive, expected; };
    const Case cases[] = {
        // comparisons
        {">5", "10", true, true}, {"<5", "10", true, false}, {">=10", "10", true, true}, {">10", "10", true, false},
        {"<=10", "10", true, true},
        {">10", "9", true, false},            // numerically, not "9" after "10"
        {"> 5", "6", true, true}, {">1,5", "2", true, true}, {"<1,5", "1,25", true, true},
        {">15.01.2009", "01.02.2010", true, true},   // as dates, not as text
        {"<15.01.2009", "01.02.2010", true, false}, {">b", "c", true, true}, {">b", "a", true, false},
        {">\"a b\"", "a c", true, true}, {">\"a b\"", "a a", true, false}, {"\">5&<10\"", "7", true, true},
        {"\">5&<10\"", "12", true, false}, {"\">5&<10\"", "3", true, false}, {">5&<10", "7", true, true},
        {">5&<10", "12", true, false}, {"<3|>8", "9", true, true}, {"<3|>8", "5", true, false},
        // wildcards
        {"a*", "abc", true, true}, {"!a*", "abc", true, false}, {"!x*", "abc", true, true}, {"a?c", "abc", true, true},
        {"a?c", "ac", true, false}, {"?", "", true, false}, {"*", "", true, true}, {"x*", "", true, false},
        {"*a*b", "xaxxb", true, true}, {"*ab", "aab", true, true}, {"a*b*c", "abxbc", true, true},
        {"a*b*c", "abxbcx", true, false}, {"a**b", "axyb", true, true},
        {"*aa*aa*aa*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", true, false},
        {"a\\*", "a*", true, true}, {"a\\*", "ab", true, false}, {"\\?", "x", true, false},
        {"a\\\\b", "a\\b", true, true}, {"abc", "abcd", true, false}, {"bc", "abc", true, false},
        // operators, strictly left to right
        {"a|b", "b", true, true}, {"a;b", "b", true, true}, {"a^b", "b", true, true}, {"a&b", "a", true, false},
        {"a*&*b", "ab", true, true}, {"a|b&c", "a", true, false}, {"c&a|b", "b", true, true},
        {"(a|b)&c*", "cat", true, false}, {"(a|b)&c*", "a", true, false}, {"(c*|b)&*t", "cat", true, true},
        {"x|(a|b)", "b", true, true}, {"((a|b))&b", "b", true, true}, {"(a", "a", true, false},
        // spaces, quotes, "="
        {"a | b", "b", true, true}, {"  =abc ", "abc", true, true}, {"\"a b\"", "a b", true, true},
        {"\"a b\"", "ab", true, false}, {"\"a b\"|c", "a b", true, true}, {"\"a|b\"", "a|b", true, true},
        {"\"a|b\"", "a", true, false}, {"\"(x)\"&\"(x)\"", "(x)", true, true}, {"", "", true, true},
        {"", "a", true, false},
        // case
        {"A*", "abc", true, false}, {"A*", "abc", false, true}, {"ż*", "Żaba", false, true},
        {"ż*", "Żaba", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchFilterCondition(c.cond, c.text, c.caseSensitive), c.expected)
            << "condition [" << c.cond << "] text [" << c.text << "]";
}

TEST_F(ProUtil, DeeplyNestedConditionsMatchNothingInsteadOfOverflowing)
{
    auto nested = [](int depth, const std::string& inner) {
        return std::string(std::size_t(depth), '(') + inner + std::string(std::size_t(depth), ')');
    };
    struct Case {
        int depth;
        bool expected;
    } cases[] = {{1, true}, {64, true}, {65, false}, {10000, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(MatchFilterCondition(nested(c.depth, "a|b"), "a", true), c.expected) << c.depth;
        EXPECT_EQ(MatchFilterCondition("x|" + nested(c.depth, "a|b"), "x", true), c.expected) << c.depth;
    }
    // Unbalanced brackets are not nesting: the text is a leaf as before.
    EXPECT_FALSE(MatchFilterCondition(std::string(10000, '(') + "a|b", "zzz", true));
}

TEST_F(ProUtil, FilterDatesAreNotTakenForNumbersWithDotThousands)
{
    // With "." as thousand separator "01.02.2010" also reads as the number 1022010.
    Separators(',', '.');
    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
    EXPECT_TRUE(MatchFilterCondition(">15.01.2009", "01.02.2010", true));
    EXPECT_TRUE(MatchFilterCondition(">1.000", "1.500", true));
    EXPECT_FALSE(MatchFilterCondition(">1.000", "999", true));
}

TEST_F(ProUtil, FilterNulIsPlainTextNotAnOperator)
{
    // A NUL byte of a condition used to split it like "|", and a long run of them took seconds.
    const std::string nul("a\0b", 3);
    EXPECT_TRUE(MatchFilterCondition(nul, nul, true));
    EXPECT_FALSE(MatchFilterCondition(nul, "a", true));
    EXPECT_FALSE(MatchFilterCondition(nul, "b", true));
    const std::string run = "a" + std::string(200000, '\0') + "b";
    EXPECT_TRUE(MatchFilterCondition(run, run, true));
}

// ---------------------------------------------------------------- CSV and line breaks

TEST_F(ProUtil, CsvAndQuoteRoutines)
{
    EXPECT_EQ(DoubleQuoteChars("a\"b\"\""), "a\"\"b\"\"\"\"");

    AnsiString s = "a\r\nb\"c\r";
    QuoteCSVCell(s);
    EXPECT_EQ(s, "\"a\x0B" "b\"c\r\"");
    s = "x\x0By\x0B";
    VTabToCRLF(s);
    EXPECT_EQ(s, "x\r\ny\r\n");
    s = "a\r\nb\rc\n\r\r\n";
    StripCRFromCRLF(s);
    EXPECT_EQ(s, "a\nb\rc\n\r\n");

    struct Case { char ch; AnsiString in, out; };
    const Case quotes[] = {
        {'"', "a\"\"b", "a\"b"}, {'"', "\"ab\"", "ab"}, {'"', "\"\"\"", "\""}, {'\'', "it''s", "it's"},
        {'"', "plain", "plain"},
    };
    for (const Case& c : quotes) EXPECT_EQ(RemoveQuoteChar(c.ch, c.in), c.out) << c.in;

    struct Run { AnsiString text; int pos, count; };
    const Run runs[] = {
        {"ab", 0, 0}, {"a\"b", 2, 1}, {"\"\"x\"", 4, 1}, {"\"\"\"", 3, 1}, {"\"a\"b\"\"", 1, 2}, {"", 0, 0},
    };
    for (const Run& r : runs) {
        int pos = -1;
        EXPECT_EQ(FindOddCharRun('"', r.text, pos), r.pos != 0) << r.text;
        EXPECT_EQ(pos, r.pos) << r.text;
        EXPECT_EQ(CountOddCharRuns('"', r.text), r.count) << r.text;
    }
    EXPECT_EQ(CountChar('a', "banana"), 3);
}

TEST_F(ProUtil, LineBreakConversions)
{
    AnsiString s = "a\r\nb\rc\nd";
    LineBreaksToTilde(s);
    EXPECT_EQ(s, "a~b~cd");
    TildeToLineBreaks(s);
    EXPECT_EQ(s, "a\r\nb\r\ncd");
    s = "^";
    TildeToLineBreaks(s);
    EXPECT_EQ(s, "");

    EXPECT_EQ(LineBreaksToEscapedNewlines("a\r\nb"), "a\\nb");
    EXPECT_EQ(EscapedNewlinesToCR("a\\nb\\n"), "a\rb\r");
    EXPECT_EQ(EscapedNewlinesToCR("a\\"), "a\\");

    EXPECT_EQ(CRToHtmlBreak("a\r\nb"), "a<br>\nb");
    EXPECT_EQ(RemoveCRChars("a\r\nb\r"), "a\nb");
    EXPECT_EQ(DeleteCRChars("a\r\nb\r"), "a\nb");
    EXPECT_EQ(CountTextLines("a\r\nb\r\nc", true), 3);
    EXPECT_EQ(CountTextLines("a\r\nb\r\nc", false), 1);
}

TEST_F(ProUtil, StreamLineBreaksRoundTrip)
{
    const AnsiString multi = AnsiString("one\r\ntwo\0three", 14);
    const AnsiString stored = EncodeLineBreaksForStream(multi);
    EXPECT_EQ(stored, AnsiString("one\x09\x08two\x01three"));
    EXPECT_EQ(DecodeLineBreaksFromStream(stored, true), multi);
    EXPECT_EQ(DecodeLineBreaksFromStream(stored, false), "one");
    // Text without a CR is stored as it is and read back as it is.
    const AnsiString tab = AnsiString("a\tb\0c", 5);
    EXPECT_EQ(EncodeLineBreaksForStream(tab), tab);
    EXPECT_EQ(DecodeLineBreaksFromStream(tab, false), tab);
}

TEST_F(ProUtil, ExtractFirstLine)
{
    struct Case { AnsiString in; bool keepRest; AnsiString line, rest; };
    const Case cases[] = {
        {"a\r\nb\r\nc", true, "a", "b\r\nc"}, {"a\r\nb", false, "a", ""}, {"a\rb", true, "a", "b"},
        {"a\r\n\nb", true, "a", "\nb"}, {"abc", true, "abc", ""}, {"", true, "", ""}, {"\r\n", true, "", ""},
    };
    for (const Case& c : cases) {
        AnsiString s = c.in, line = "old";
        ExtractFirstLine(s, c.keepRest, line);
        EXPECT_EQ(line, c.line) << c.in;
        EXPECT_EQ(s, c.rest) << c.in;
    }
}

// ---------------------------------------------------------------- small helpers

TEST_F(ProUtil, ClampToMinMax)
{
    struct Case { int value, min, max, expected; };
    const Case cases[] = {
        {5, 10, 20, 10}, {25, 10, 20, 20}, {15, 10, 20, 15}, {5, 7, 7, 5},   {5, 0, 3, 3},
        {5, 10, 0, 10},  {5, -1, -1, 5},   {50, 0, 0, 50},   {-5, -2, 10, -5},
        {15, 20, 10, 10},   // both bounds apply against the value passed in, Max last
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampToMinMax(c.value, c.min, c.max), c.expected) << c.value << " " << c.min << " " << c.max;
    EXPECT_EQ(IntMax(-3, 2), 2);
    EXPECT_EQ(IntMin(-3, 2), -3);
}

TEST_F(ProUtil, CutUpToDelimiterAndConcatStrings)
{
    struct Case { AnsiString s, delim, part, rest; };
    const Case cases[] = {
        {"key=value", "=", "key", "value"},
        {"a::b", "::", "a", ":b"},     // only the delimiter's first character goes
        {"abc", ";", "", "abc"}, {";x", ";", "", "x"},
    };
    for (const Case& c : cases) {
        AnsiString s = c.s, part = "old";
        CutUpToDelimiter(s, c.delim, part);
        EXPECT_EQ(part, c.part) << c.s;
        EXPECT_EQ(s, c.rest) << c.s;
    }

    TStringList list;
    list.Add("ab");
    list.Add("");
    list.Add("c");
    EXPECT_EQ(ConcatStrings(list), "abc");
}

TEST_F(ProUtil, ParseRowColRef)
{
    struct Case { AnsiString text; bool ok; int col, row; };
    const Case cases[] = {
        {"R3C2", true, 2, 3}, {"r10c1", true, 1, 10}, {"R1C", false, 0, 0}, {"RC12", false, 0, 0},
        {"R1X2", false, 0, 0}, {"C1R2", false, 0, 0}, {"", false, 0, 0},
        {"R1Cx", false, 0, 0},
    };
    for (const Case& c : cases) {
        TPoint p(-1, -1);
        EXPECT_EQ(ParseRowColRef(c.text, p), c.ok) << c.text;
        if (c.ok) { EXPECT_EQ(p, TPoint(c.col, c.row)) << c.text; }
    }
}

TEST_F(ProUtil, UrlRoutines)
{
    struct Case { AnsiString text; bool url; AnsiString stripped; };
    const Case cases[] = {
        {"http://example.org/x", true, "example.org/x"},
        {"mailto:jan@example.org", true, "jan@example.org"},
        {"ftp://a", true, "a"},
        {"www.example.org", false, "www.example.org"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsURL(c.text), c.url) << c.text;
        AnsiString s = c.text;
        StripURLPrefix(s);
        EXPECT_EQ(s, c.stripped) << c.text;
    }
}

TEST_F(ProUtil, ProperNameCase)
{
    struct Case { AnsiString in, out; };
    const Case cases[] = {
        {"jan kowalski", "Jan Kowalski"}, {"JAN KOWALSKI", "Jan Kowalski"}, {"mcdonald", "McDonald"},
        {"ronald mcdonald", "Ronald McDonald"}, {"o'brien-smith", "O'Brien-Smith"}, {"henry iii", "Henry III"},
        {"john smith ii", "John Smith II"}, {"louis iv", "Louis IV"}, {"ian", "Ian"}, {"st.john,a", "St.John,A"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ProperNameCase(c.in), c.out) << c.in;
}
