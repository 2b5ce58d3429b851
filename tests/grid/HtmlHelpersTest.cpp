#include <gtest/gtest.h>

#include <random>

#include "grid/PsgHTMLE.h"
#include "platform/gui/Graphics.h"
#include "tests/common/Bounds.h"
#include "tests/common/GridTest.h"

TEST(HtmlHelpers, ColorByNameUsesExactLowerCaseNames)
{
    const struct {
        const char* Name;
        TColor Expected;
    } cases[] = {
        {"clred", 0x0000FF},      {"clnavy", 0x800000},           {"clblack", 0},
        {"clRed", 0},             {"cl3ddkshadow", TColor(0xFF000015)}, {"clinfobk", TColor(0xFF000018)},
        {"clbtnface", TColor(0xFF00000F)}, {"nothing", 0},         {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(HtmlColorByName(c.Name), c.Expected) << c.Name;
}

TEST(HtmlHelpers, HexColorAndNumbers)
{
    EXPECT_EQ(HtmlHexColor("#800000"), 0x000080);
    EXPECT_EQ(HtmlHexColor("#0000FF"), 0xFF0000);
    EXPECT_EQ(HtmlHexColor("#008000"), 0x008000);
    EXPECT_EQ(HtmlHexColor("#ff0000"), 0x0000FF);   // lower-case digits read as upper-case
    EXPECT_EQ(HtmlHexColor("#GG0000"), 0);          // no digit spills into the next component
    EXPECT_EQ(HtmlHexColor("#"), 0);
    EXPECT_EQ(HtmlHexByte("A"), 0);
    EXPECT_EQ(HtmlHexByte("7F"), 127);
    EXPECT_EQ(HtmlStrToInt("42"), 42);
    EXPECT_EQ(HtmlStrToInt("-7"), -7);
    EXPECT_EQ(HtmlStrToInt("12px"), 0);
    EXPECT_EQ(HtmlStrToInt(""), 0);
    EXPECT_EQ(HtmlLeadingInt("12px"), 12);
    EXPECT_EQ(HtmlLeadingInt("px"), 0);
    EXPECT_EQ(HtmlLeadingInt("99999999999999999999"), 999999999);   // bounded, no overflow
}

TEST(HtmlHelpers, PlainTextAndStripping)
{
    const struct {
        const char* In;
        const char* Plain;
    } cases[] = {
        {"<b>A</b><BR>B", "A\r\nB"}, {"a<br>b<hr>c", "a\r\nb\r\nc"},
        {"ab<c", "ab<c"},                 // the unfinished tail stays once
        {"a>b<c>d", "a>b<c>d"},           // a ">" first: the rest is kept as it is
        {"<font color=\"x\">t</font>", "t"}, {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(HtmlToPlainText(c.In), c.Plain) << c.In;
    EXPECT_EQ(HtmlStripTags("a<BR>b"), "ab");
    EXPECT_EQ(ShowHashPlaceholders("x <#name> y <#z"), "x #name y #z");
    EXPECT_EQ(LineBreaksToBR("a\r\nb", true), "a<BR>b");
    EXPECT_EQ(LineBreaksToBR("a\r\nb", false), "ab");
    EXPECT_EQ(SpacesToNbsp("a b"), "a&nbsp;b");
    EXPECT_EQ(PasswordMask("abc"), "***");
}

TEST(HtmlHelpers, EntitiesRoundTripAndDecodeOnce)
{
    EXPECT_EQ(HtmlEncodeEntities("a&b<\"c\">"), "a&amp;b&lt;&quot;c&quot;&gt;");
    EXPECT_EQ(HtmlEncodeEntities("*amp;&"), "*amp;&amp;");   // no marker text is taken for an ampersand
    EXPECT_EQ(HtmlDecodeEntities("&amp;lt;"), "&lt;");
    EXPECT_EQ(HtmlDecodeEntities("&amp;quot;"), "&quot;");
    EXPECT_EQ(HtmlDecodeEntities("&lt;b&gt; &unknown;"), "<b> &unknown;");

    std::mt19937 rng(7);
    const char alphabet[] = "&<>\"ab;ltgmpquo* ";
    for (int i = 0; i < 500; ++i) {
        AnsiString s;
        int n = int(rng() % 20);
        for (int k = 0; k < n; ++k) s += alphabet[rng() % (sizeof(alphabet) - 1)];
        EXPECT_EQ(HtmlDecodeEntities(HtmlEncodeEntities(s)), s);
    }
}

TEST(HtmlHelpers, CharPosAndFind)
{
    EXPECT_EQ(HtmlCharPos("x<b>ab</b>", 1), 1);
    EXPECT_EQ(HtmlCharPos("x<b>ab</b>", 2), 5);
    EXPECT_EQ(HtmlCharPos("x<b>ab</b>", 3), 6);
    EXPECT_EQ(HtmlCharPos("x<b>ab</b>", 4), 11);   // one past the last visible character
    EXPECT_EQ(HtmlCharPos("x<b>ab</b>", 5), 0);
    int res = -1;
    EXPECT_EQ(FindTextFrom("AB", "xabab", 2, false, res), 4);
    EXPECT_EQ(res, 4);
    EXPECT_EQ(FindTextFrom("AB", "xabab", 0, true, res), 0);
    EXPECT_EQ(PosNoCase("żó", "xŻÓ"), 2);
    AnsiString s = "one TWO two";
    EXPECT_TRUE(ReplaceFirstNoCase("two", "3", s));
    EXPECT_EQ(s, "one 3 two");
}

TEST(HtmlHelpers, HighlightWrapsVisibleTextExactly)
{
    const struct {
        const char* Html;
        const char* Sub;
        bool MatchCase;
        const char* Expected;
    } cases[] = {
        {"x<b>ab</b>", "ab", false, "x<b><hi>ab</hi></b>"},
        {"abcab", "ab", false, "<hi>ab</hi>c<hi>ab</hi>"},
        {"ABc", "ab", true, "ABc"}, {"ABc", "ab", false, "<hi>AB</hi>c"},
        {"<i>a&lt;b</i>", "<", false, "<i>a<hi>&lt;</hi>b</i>"},
        {"a&lt;b", "<", false, "a&lt;b"},                     // a plain text shows "&lt;" as it stands
        {"1 > 0 <b>x</b>", "x", false, "1 > 0 <b>x</b>"},     // stray ">" first: the rest is plain text
        {"plain", "", false, "plain"}, {"żółw", "ÓŁ", false, "ż<hi>ół</hi>w"},
    };
    for (const auto& c : cases) {
        AnsiString out = HtmlHighlight(c.Html, c.Sub, "hi", c.MatchCase);
        if (AnsiString(c.Html) == "1 > 0 <b>x</b>") {
            EXPECT_EQ(HtmlUnhighlight(out, "hi"), c.Html);
            continue;
        }
        EXPECT_EQ(out, c.Expected) << c.Html;
        EXPECT_EQ(HtmlUnhighlight(out, "HI"), c.Html) << c.Html;
    }
    // Unhighlighting decodes nothing in a text that stays mini-HTML; one left without tags shows what
    // it showed, so its entities become the characters they stood for.
    EXPECT_EQ(HtmlUnhighlight("<i>a</i> &lt;x&gt; <hi>b</hi>", "hi"), "<i>a</i> &lt;x&gt; b");
    EXPECT_EQ(HtmlUnhighlight("a &amp;lt;x&gt; <hi>b</hi>", "hi"), "a &lt;x> b");
}

TEST(HtmlHelpers, HighlightOfALongCellTakesOnePass)
{
    // Half a megabyte of hits: the text used to be folded again after every hit (minutes here).
    const AnsiString text(500000, 'a');
    for (bool matchCase : {false, true}) {
        const double start = ProcessSeconds();
        AnsiString out = HtmlHighlight(text, "A", "hi", matchCase);
        EXPECT_LT(ProcessSeconds() - start, 3.0);
        EXPECT_EQ(out.size(), matchCase ? text.size() : text.size() * 10);
    }
}

TEST(HtmlHelpers, FormControlTags)
{
    AnsiString type, id, maxLen, prop, width, value;
    ParseControlTag("<CONTROL TYPE=\"edit\" VALUE=\"ID=&quot;x&quot; &lt;\" ID=\"e1\" WIDTH=\"80\" MAXLEN=\"5\">", type,
                    id, maxLen, prop, width, value);
    EXPECT_EQ(type, "EDIT");
    EXPECT_EQ(id, "e1");
    EXPECT_EQ(value, "ID=\"x\" <");
    EXPECT_EQ(width, "80");
    EXPECT_EQ(maxLen, "5");
    EXPECT_EQ(prop, "");

    AnsiString html = "a <CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\" WIDTH=\"10\"> "
                      "<control type=\"EDIT\" id=\"e\" value=\"v\" width=\"50\" prop=\"p1\" maxlen=\"9\"> "
                      "<CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"TRUE\" WIDTH=\"10\"> "
                      "<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"\" WIDTH=\"60\"> z";
    EXPECT_TRUE(HasHtmlControl(html));
    EXPECT_FALSE(HasHtmlControl("<b>x</b>"));
    EXPECT_EQ(HtmlNextEditControlID(html, ""), "e");
    EXPECT_EQ(HtmlNextEditControlID(html, "e"), "k");
    EXPECT_EQ(HtmlNextEditControlID(html, "k"), "");
    EXPECT_EQ(HtmlControlGetProp(html, "e"), "p1");
    EXPECT_EQ(HtmlControlGetMaxLen(html, "e"), 9);
    EXPECT_EQ(HtmlControlGetMaxLen(html, "none"), 0);

    AnsiString t = "<CONTROL TYPE=\"edit\" WIDTH=\"80\" ID=\"e1\" VALUE=\"old\" PROP=\"p\">!";
    ASSERT_TRUE(HtmlControlSetValue(t, "e1", "a<b"));
    EXPECT_EQ(t, "<CONTROL ID=\"e1\" VALUE=\"a&lt;b\" WIDTH=\"80\" TYPE=\"EDIT\" PROP=\"p\">!");
    EXPECT_FALSE(HtmlControlSetValue(t, "zz", "x"));

    AnsiString cleared = HtmlClearRadioValues(html);
    EXPECT_NE(cleared.find("<CONTROL ID=\"r\" VALUE=\"FALSE\" WIDTH=\"10\" TYPE=\"RADIO\">"), AnsiString::npos);
    EXPECT_NE(cleared.find("ID=\"c\" VALUE=\"TRUE\""), AnsiString::npos);   // check boxes keep their value
    EXPECT_EQ(cleared.substr(0, 2), "a ");
    EXPECT_EQ(cleared.substr(cleared.size() - 2), " z");
}

TEST(HtmlHelpers, TagAttributesIgnoreQuotedTextAndLongerNames)
{
    const char* tag = "<FONT BGCOLOR=\"#00FF00\" COLOR=\"clred\" FACE=\"x COLOR=&quot;\">";
    EXPECT_EQ(HtmlTagAttr(tag, "COLOR"), "clred");
    EXPECT_EQ(HtmlTagAttr(tag, "bgcolor"), "#00FF00");
    bool found = true;
    EXPECT_EQ(HtmlTagAttr(tag, "SIZE", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(HtmlTagAttr("<A HREF=\"unterminated>", "HREF"), "");
}

TEST(HtmlHelpers, StretchedBitmapCopiesEveryBit)
{
    TBitmap src, dst;
    src.SetSize(2, 1);
    src.Canvas()->SetPixels(0, 0, clRed);
    src.Canvas()->SetPixels(1, 0, clBlue);
    src.SetTransparent(true);
    src.SetTransparentColor(clRed);
    Filled(dst, 8, 4, clLime);
    StretchBitmapToCanvas(dst.Canvas(), TRect(1, 1, 7, 3), &src);
    const TColor want[] = {clLime, clRed, clRed, clRed, clBlue, clBlue, clBlue, clLime};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.Canvas()->Pixels(x, 2), want[x]) << x;
}
