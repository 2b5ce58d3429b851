#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "grid/PictureContainer.h"
#include "grid/PsgHTML.h"
#include "grid/PsgHTMLE.h"
#include "tests/common/Bounds.h"

namespace {

struct THtmlResult {
    bool Hit = false;
    AnsiString AnchorVal, StripVal, FocusAnchor, AnchorHint, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, HyperLinks = 0, MouseLink = -1;
    TRect HoverRect, ControlRect;
};

struct THtmlCall {
    TRect R = TRect(0, 0, 100, 20);
    int X = -1, Y = -1;
    bool CheckHotSpot = false, CheckHeight = false, WordWrap = false;
    TPictureContainer* Container = nullptr;
    THTMLPictureCache* Cache = nullptr;
    AnsiString FindID;
    std::function<int(int)> PlaceTop;
};

THtmlResult Html(TCanvas* canvas, const AnsiString& text, const THtmlCall& c = THtmlCall())
{
    THtmlResult r;
    r.ControlID = c.FindID;
    r.Hit = HtmlDraw(canvas, text, c.R, nullptr, c.X, c.Y, -1, -1, 1, c.CheckHotSpot, c.CheckHeight, false, false,
                     true, false, c.WordWrap, false, 1.0, clBlue, clNone, clNone, clGray, r.AnchorVal, r.StripVal,
                     r.FocusAnchor, r.AnchorHint, r.XSize, r.YSize, r.HyperLinks, r.MouseLink, r.HoverRect,
                     r.ControlRect, r.ControlID, r.ControlValue, r.ControlType, c.Cache, c.Container, nullptr,
                     c.PlaceTop);
    return r;
}

// A white bitmap with a known font on its canvas.
struct TSheet {
    TBitmap Bmp;
    explicit TSheet(int w = 100, int h = 20)
    {
        Bmp.SetSize(w, h);
        Bmp.Canvas()->Brush()->SetColor(clWhite);
        Bmp.Canvas()->FillRect(TRect(0, 0, w, h));
        Bmp.Canvas()->Font()->SetName("DejaVu Sans");
        Bmp.Canvas()->Font()->SetSize(9);
        Bmp.Canvas()->Font()->SetColor(clBlack);
        Bmp.Canvas()->Font()->SetStyle(0);
    }
    TCanvas* C() { return Bmp.Canvas(); }
    int Width(const AnsiString& s, TFontStyles style = 0)
    {
        TFontStyles keep = C()->Font()->Style();
        C()->Font()->SetStyle(style);
        int w = C()->TextWidth(s);
        C()->Font()->SetStyle(keep);
        return w;
    }
    int LineH() { return C()->TextHeight("gh"); }
};

}  // namespace

TEST(HtmlDraw, StateCellIsBoldCentredAndColoured)
{
    TSheet s;
    const int w = s.Width("Aktualna", fsBold);
    ASSERT_NE(w, s.Width("Aktualna"));
    THtmlResult r = Html(s.C(), "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>");
    EXPECT_EQ(r.XSize, w);
    EXPECT_EQ(r.YSize, s.LineH());
    EXPECT_EQ(r.StripVal, "Aktualna");
    EXPECT_FALSE(r.Hit);

    int minX = 1000, maxX = -1, exact = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) {
            TColor p = s.C()->Pixels(x, y);
            if (p == clWhite) continue;
            EXPECT_LT(GetRValue(p) + GetBValue(p), GetGValue(p) * 2 + 1) << "not green at " << x << "," << y;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            if (p == 0x008000) ++exact;
        }
    const int left = 1 + (99 - w) / 2;   // the layout starts one pixel in
    EXPECT_GE(minX, left - 1);
    EXPECT_LE(minX, left + 3);
    EXPECT_LE(maxX, left + w);
    EXPECT_GT(exact, 10);
    // The canvas font is as it was.
    EXPECT_EQ(s.C()->Font()->Style(), 0u);
    EXPECT_EQ(s.C()->Font()->Color(), clBlack);
}

TEST(HtmlDraw, MeasuresLinesBreaksListsAndScripts)
{
    TSheet s(200, 200);
    const int h = s.LineH();
    const struct {
        const char* Text;
        int Lines;
        const char* Strip;
    } cases[] = {
        {"a<BR>b", 2, "a\rb"},
        {"a\r\nb\r\nc", 3, "a\rb\rc"},
        {"<UL><LI>a<LI>b</UL>", 3, "ab"},
        {"x<HR>y", 2, "xy"},
        {"<P>one</P>two", 2, "onetwo"},
        {"", 0, ""},
        {"<Z>hidden</Z>shown", 1, "hiddenshown"},
    };
    for (const auto& c : cases) {
        THtmlCall call;
        call.R = TRect(0, 0, 200, 200);
        THtmlResult r = Html(s.C(), c.Text, call);
        EXPECT_EQ(r.YSize, std::max(1, c.Lines) * h) << c.Text;
        EXPECT_EQ(r.StripVal, c.Strip) << c.Text;
    }
    THtmlCall call;
    call.R = TRect(0, 0, 200, 200);
    EXPECT_EQ(Html(s.C(), "<UL><LI>a<LI>b</UL>", call).XSize, 12 + std::max(s.Width("a"), s.Width("b")));
    EXPECT_EQ(Html(s.C(), "<Z>hidden</Z>shown", call).XSize, s.Width("shown"));
    EXPECT_EQ(Html(s.C(), "x<SUB>2</SUB>", call).YSize, h + h / 4);
    EXPECT_EQ(Html(s.C(), "x<SUP>2</SUP>", call).YSize, h + h / 4);
    EXPECT_EQ(Html(s.C(), "x<SUB>2</SU>y", call).StripVal, "x2y");
    // A rectangle too short for the second line stops after the first.
    call.R = TRect(0, 0, 200, h + 2);
    EXPECT_EQ(Html(s.C(), "a<BR>b<BR>c", call).YSize, h);
}

// A placed block is laid out once and drawn where its height puts it: the same pixels and sizes as
// measuring first and drawing from the top found, also when the lines run past the bottom.
TEST(HtmlDraw, PlacedBlockDrawsAsMeasuredThenDrawnAtItsTop)
{
    const struct {
        const char* Text;
        bool WordWrap;
        int Height;
    } cases[] = {
        {"<b>Aktualna</b>", false, 40},
        {"jeden<br><font size=\"14\">dwa</font><br><i>trzy</i>", false, 80},
        {"<p align=\"right\">prawo</p><br><p align=\"center\" bgcolor=\"clYellow\">środek</p>", false, 60},
        {"słowa zawinięte w wąskiej komórce na kilka linii", true, 90},
        {"raz<br>dwa<br>trzy<br>cztery<br>pięć<br>sześć", false, 30},   // lines beyond the bottom
        {"x<sup>2</sup> + <u>y</u><sub>i</sub><br><s>z</s>", false, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        for (int place = 0; place < 3; ++place) {
            const TRect rect(0, 0, 90, c.Height);
            auto topOf = [&](int YSize) {
                return place == 0 ? rect.Top : place == 1 ? rect.Top + (c.Height - YSize) / 2 : rect.Bottom - YSize;
            };
            TSheet measured(90, c.Height), placed(90, c.Height);
            THtmlCall call;
            call.R = rect;
            call.WordWrap = c.WordWrap;
            call.CheckHeight = true;
            const THtmlResult size = Html(measured.C(), c.Text, call);
            call.CheckHeight = false;
            call.R.Top = topOf(size.YSize);
            Html(measured.C(), c.Text, call);
            call.R = rect;
            call.PlaceTop = topOf;
            const THtmlResult once = Html(placed.C(), c.Text, call);
            EXPECT_EQ(once.XSize, size.XSize) << place;
            EXPECT_EQ(once.YSize, size.YSize) << place;
            int differing = 0;
            for (int y = 0; y < c.Height; ++y)
                for (int x = 0; x < 90; ++x)
                    differing += measured.C()->Pixels(x, y) != placed.C()->Pixels(x, y);
            EXPECT_EQ(differing, 0) << place;
        }
    }
}

TEST(HtmlDraw, EntitiesAreDecodedOnce)
{
    TSheet s(300, 20);
    THtmlCall call;
    call.R = TRect(0, 0, 300, 20);
    const struct {
        const char* Text;
        const char* Strip;
    } cases[] = {
        {"a &amp; b", "a & b"},
        {"&amp;lt;", "&lt;"},
        {"&lt;b&gt;x", "<b>x"},
        {"&quot;q&quot;", "\"q\""},
        {"&euro;&copy;", "\x80\xA9"},
        {"&AMP;amp;", "&amp;"},
    };
    for (const auto& c : cases) EXPECT_EQ(Html(s.C(), c.Text, call).StripVal, c.Strip) << c.Text;
    // "&lt;b&gt;" is text, not a bold tag.
    EXPECT_EQ(Html(s.C(), "&lt;b&gt;x", call).XSize, s.Width("<b>x"));
}

TEST(HtmlDraw, WrapsAtWordsAndKeepsLongWordsWhole)
{
    TSheet s(300, 200);
    const int h = s.LineH();
    THtmlCall call;
    call.WordWrap = true;
    call.R = TRect(0, 0, 1 + s.Width("aaa bbb") + 2, 200);
    THtmlResult r = Html(s.C(), "aaa bbb ccc", call);
    EXPECT_EQ(r.YSize, 2 * h);
    EXPECT_EQ(r.StripVal, "aaa bbb ccc");
    call.R = TRect(0, 0, 20, 200);
    r = Html(s.C(), "wwwwwwwwwwww", call);
    EXPECT_EQ(r.YSize, h);
    EXPECT_EQ(r.XSize, s.Width("wwwwwwwwwwww"));
    // Without wrapping it is one line.
    call.WordWrap = false;
    EXPECT_EQ(Html(s.C(), "aaa bbb ccc ddd eee", call).YSize, h);
}

TEST(HtmlDraw, HitTestsAnchorsAndMissesPlainText)
{
    TSheet s(300, 40);
    const AnsiString text = "Go <a href=\"http://x/\" title=\"Tip\">here</a> now";
    const int h = s.LineH();
    const int hereX = 1 + s.Width("Go ") + s.Width("here") / 2;
    THtmlCall call;
    call.R = TRect(0, 0, 300, 40);
    call.CheckHotSpot = true;
    call.X = hereX;
    call.Y = h / 2;
    THtmlResult r = Html(s.C(), text, call);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "http://x/");
    EXPECT_EQ(r.AnchorHint, "Tip");
    EXPECT_EQ(r.MouseLink, 1);
    EXPECT_EQ(r.HyperLinks, 1);
    EXPECT_EQ(r.HoverRect.Left, 1 + s.Width("Go "));

    call.X = 1 + s.Width("G");
    r = Html(s.C(), text, call);
    EXPECT_FALSE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "");
    EXPECT_EQ(r.MouseLink, -1);

    call.X = hereX;
    call.Y = h + 5;   // below the line
    EXPECT_FALSE(Html(s.C(), text, call).Hit);

    // Centred: the hit follows the aligned line.
    const AnsiString centred = "<p align=\"center\"><a href=\"c\">link</a></p>";
    call.X = 1 + (299 - s.Width("link")) / 2 + s.Width("link") / 2;
    call.Y = h / 2;
    r = Html(s.C(), centred, call);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "c");
    call.X = 3;
    EXPECT_FALSE(Html(s.C(), centred, call).Hit);
}

TEST(HtmlDraw, FormControlsTakeTheirSizeAndAreHit)
{
    TSheet s(300, 40);
    THtmlCall call;
    call.R = TRect(0, 0, 300, 40);
    const AnsiString check = "<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"77\">";
    THtmlResult r = Html(s.C(), check, call);
    EXPECT_EQ(r.XSize, 16);
    EXPECT_EQ(r.YSize, std::max(16, s.LineH()));   // at least one text line

    call.CheckHotSpot = true;
    call.X = 1 + 8;
    call.Y = 8;
    r = Html(s.C(), check, call);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "ctrl");
    EXPECT_EQ(r.ControlID, "c1");
    EXPECT_EQ(r.ControlType, "CHECK");
    EXPECT_EQ(r.ControlValue, "TRUE");
    EXPECT_EQ(r.ControlRect, TRect(1, 0, 17, 16));

    // Found by its ID without the mouse.
    call.X = call.Y = -100;
    call.FindID = "e";
    r = Html(s.C(), "x <CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"50\">", call);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.ControlRect.Width(), 50);

    call.CheckHotSpot = false;
    call.FindID.clear();
    EXPECT_EQ(Html(s.C(), "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\">", call).XSize, 0);        // no WIDTH
    EXPECT_EQ(Html(s.C(), "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"5x\">", call).XSize, 0);
    EXPECT_EQ(Html(s.C(), "<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Ok\" WIDTH=\"40\">", call).XSize, 40);
    // Drawing them does not fail.
    Html(s.C(), "<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"v\" WIDTH=\"60\"><CONTROL TYPE=\"RADIO\" ID=\"r\" "
                "VALUE=\"FALSE\" WIDTH=\"1\"><CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"secret\" WIDTH=\"60\">",
         call);
}

TEST(HtmlDraw, PicturesFromContainerAndCache)
{
    TSheet s(100, 40);
    TBitmap red;
    red.SetSize(10, 8);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(TRect(0, 0, 10, 8));
    TPictureContainer container(nullptr);
    TPictureItem* item = container.Items()->Add();
    item->SetName("Logo");
    item->Picture()->LoadFromData(red.SaveToData());

    THtmlCall call;
    call.R = TRect(0, 0, 100, 40);
    call.Container = &container;
    THtmlResult r = Html(s.C(), "<IMG src=\"LOGO\">", call);
    EXPECT_EQ(r.XSize, 10);
    EXPECT_EQ(r.YSize, std::max(8, s.LineH()));
    EXPECT_EQ(s.C()->Pixels(1 + 5, 4), clRed);
    EXPECT_EQ(s.C()->Pixels(1 + 11, 4), clWhite);

    EXPECT_EQ(Html(s.C(), "<IMG src=\"LOGO\" width=\"20\" height=\"4\">", call).XSize, 20);
    EXPECT_EQ(Html(s.C(), "<IMG src=\"missing\">", call).XSize, 0);
    EXPECT_EQ(Html(s.C(), "<IMG src=\"c:\\pic.bmp\">", call).XSize, 0);

    // A picture inside an anchor is hit.
    call.CheckHotSpot = true;
    call.X = 4;
    call.Y = 4;
    r = Html(s.C(), "<a href=\"pic\"><IMG src=\"logo\"></a>", call);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "pic");

    // Remote addresses are kept in the cache, empty; a broken file stays empty too.
    THTMLPictureCache cache;
    call.Cache = &cache;
    call.CheckHotSpot = false;
    EXPECT_EQ(Html(s.C(), "<IMG src=\"http://example.invalid/a.png\">", call).XSize, 0);
    EXPECT_EQ(Html(s.C(), "<IMG src=\"file:///nonexistent/zz.bmp\">", call).XSize, 0);
    EXPECT_EQ(cache.Count(), 2);
    ASSERT_NE(cache.FindPicture("http://example.invalid/a.png"), nullptr);
    EXPECT_TRUE(cache.FindPicture("http://example.invalid/a.png")->Empty());
    Html(s.C(), "<IMG src=\"http://example.invalid/a.png\">", call);
    EXPECT_EQ(cache.Count(), 2);
}

TEST(HtmlDraw, HugeIndentsAndTallLinesNeverOverflow)
{
    TSheet s(100, 40);
    THtmlCall call;
    call.R = TRect(0, 0, 100, 40);
    // The indent is held far beyond any canvas; what follows it still has a width.
    const int plain = Html(s.C(), "<IND x=\"1000\">a", call).XSize;
    EXPECT_GT(plain, 1000);
    for (bool measure : {true, false}) {
        call.CheckHeight = measure;
        THtmlResult r = Html(s.C(), "<IND x=\"2147483647\">a", call);
        EXPECT_GE(r.XSize, plain) << measure;
        r = Html(s.C(), "<IND x=\"2147483647\">a<IND x=\"2147483647\"><ul><ul><li>b<IMG src=\"missing\">", call);
        EXPECT_GE(r.XSize, plain) << measure;
    }

    // Lines whose heights add up beyond 2^31 pixels: the height only grows.
    TBitmap red;
    red.SetSize(4, 4);
    TPictureContainer container(nullptr);
    TPictureItem* item = container.Items()->Add();
    item->SetName("Tall");
    item->Picture()->LoadFromData(red.SaveToData());
    call.Container = &container;
    call.CheckHeight = true;
    const AnsiString tall = "<IMG src=\"Tall\" width=\"1\" height=\"1000000000\">";
    AnsiString text = tall;
    int previous = 0;
    for (int lines = 1; lines <= 12; ++lines) {
        THtmlResult r = Html(s.C(), text, call);
        EXPECT_GE(r.YSize, previous) << lines;
        previous = r.YSize;
        text += "<BR>" + tall;
    }
    EXPECT_GT(previous, 1 << 30);
    call.CheckHeight = false;   // painted, only the first line shows
    EXPECT_GE(Html(s.C(), text, call).YSize, 0);
}

TEST(HtmlDraw, FontStateIsRestoredWhateverTheMarkup)
{
    TSheet s(200, 40);
    s.C()->Font()->SetOrientation(0);
    const char* texts[] = {
        "</R>x<R a=\"90\">y<R a=\"45\">z",
        "<R a=\"90\"><R a=\"90\">a</R></R></R></R>",
        "<font face=\"Serif\" size=\"5\" color=\"clred\">a<font color=\"#0000FF\">b</font>c",
        "<b><i><u><s><shad><sub><e>x",
        "</a></font></p></hi></ul></b></i>x",
    };
    for (const char* t : texts) {
        THtmlCall call;
        call.R = TRect(0, 0, 200, 40);
        Html(s.C(), t, call);
        EXPECT_EQ(s.C()->Font()->Orientation(), 0) << t;
        EXPECT_EQ(s.C()->Font()->Name(), "DejaVu Sans") << t;
        EXPECT_EQ(s.C()->Font()->Size(), 9) << t;
        EXPECT_EQ(s.C()->Font()->Style(), 0u) << t;
        EXPECT_EQ(s.C()->Font()->Color(), clBlack) << t;
        EXPECT_EQ(s.C()->Brush()->Color(), clWhite) << t;
    }
    // After the inner </FONT> the base colour applies: "c" is black, not red.
    TSheet t(200, 20);
    THtmlCall call;
    call.R = TRect(0, 0, 200, 20);
    Html(t.C(), "<font color=\"clred\">a<font color=\"clblue\">b</font>ccc</font>", call);
    const int from = 1 + t.Width("ab") + 1, to = 1 + t.Width("abccc");
    int reds = 0, darks = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = from; x < to; ++x) {
            TColor p = t.C()->Pixels(x, y);
            if (p == clWhite) continue;
            if (GetRValue(p) > 200 && GetGValue(p) < 100) ++reds;
            if (GetRValue(p) < 80 && GetGValue(p) < 80 && GetBValue(p) < 80) ++darks;
        }
    EXPECT_EQ(reds, 0);
    EXPECT_GT(darks, 0);
}

TEST(HtmlDraw, FuzzedMarkupNeitherCrashesNorHangs)
{
    const double start = ProcessSeconds();
    TSheet s(120, 60);
    const char* pieces[] = {
        "<", ">", "<b>", "</b>", "<i>", "<a href=\"", "\">", "</a>", "<font color=\"#", "FF00", "\"", "<br>",
        "<ul>", "<li>", "</ul>", "<p align=\"right\">", "</p>", "<img src=\"x\">", "<R a=\"", "90", "</R>",
        "<sub>", "<sup>", "</su>", "&amp;", "&lt;", "&", "word ", " ", "<control type=\"edit\" width=\"",
        "<in x=\"300\">", "<z>", "</z>", "<hi>", "</hi>", "<e>", "<shad>", "<body bgcolor=\"clred\">",
        "<font size=\"", "\r\n", "<#tag>", "<blink>", "</bl>", "&nbsp;", "\xB9\xE6", "<p indent=\"-999999\">",
        "<img src=\"idx:99\" align=\"top\">", "<hr>", "<", "<<", ">>",
    };
    std::mt19937 rng(12345);
    TPictureContainer container(nullptr);
    THTMLPictureCache cache;
    for (int i = 0; i < 3000; ++i) {
        AnsiString text;
        const int n = int(rng() % 30);
        for (int k = 0; k < n; ++k) text += pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))];
        if (rng() % 4 == 0 && !text.empty()) text.resize(rng() % text.size());   // truncated
        THtmlCall call;
        call.R = TRect(0, 0, 120, 60);
        call.WordWrap = rng() % 2;
        call.CheckHotSpot = rng() % 3 == 0;
        call.CheckHeight = rng() % 3 == 0;
        call.X = int(rng() % 120);
        call.Y = int(rng() % 60);
        call.Container = &container;
        call.Cache = &cache;
        THtmlResult r = Html(s.C(), text, call);
        EXPECT_GE(r.YSize, 0);
        HtmlToPlainText(text);
        HtmlHighlight(text, "a", "hi", false);
        HtmlUnhighlight(text, "hi");
        HtmlDecodeEntities(HtmlEncodeEntities(text));
        AnsiString t2 = text;
        HtmlControlSetValue(t2, "", "v");
        HtmlNextEditControlID(text, "");
    }
    // Deep nesting, many lines and a huge attribute.
    AnsiString deep;
    for (int i = 0; i < 10000; ++i) deep += "<b><R a=\"10\"><font color=\"clred\"><a href=\"h\">";
    deep += "x";
    THtmlCall call;
    call.R = TRect(0, 0, 120, 60);
    EXPECT_EQ(Html(s.C(), deep, call).StripVal, "x");
    AnsiString lists;
    for (int i = 0; i < 10000; ++i) lists += "<ul><li>";
    call.CheckHeight = true;
    EXPECT_GT(Html(s.C(), lists, call).YSize, 0);
    call.CheckHeight = false;
    const AnsiString huge = "<a href=\"" + AnsiString(200000, 'h') + "\" title=\"" + AnsiString(100000, 't') + "\">x";
    EXPECT_EQ(Html(s.C(), huge, call).StripVal, "x");
    EXPECT_EQ(s.C()->Font()->Orientation(), 0);
    EXPECT_LT(ProcessSeconds() - start, 20.0);
}
