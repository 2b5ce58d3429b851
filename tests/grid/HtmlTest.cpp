#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "grid/GDIPicture.h"
#include "grid/PictureContainer.h"
#include "grid/PsgHTML.h"
#include "grid/PsgHTMLE.h"
#include "tests/common/Bounds.h"
#include "tests/common/GridTest.h"

namespace {

struct THtmlResult {
    bool Hit = false;
    AnsiString AnchorVal, StripVal, FocusAnchor, AnchorHint, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, HyperLinks = 0, MouseLink = -1;
    TRect HoverRect, ControlRect;
};

struct THtmlCall {
    THtmlCall() = default;
    THtmlCall(int Width, int Height) : R(0, 0, Width, Height) {}
    TRect R = TRect(0, 0, 100, 20);
    TImageList* Images = nullptr;
    int X = -1, Y = -1, FocusLink = -1, HoverLink = -1, ShadowOffset = 1;
    bool CheckHotSpot = false, CheckHeight = false, Print = false, Selected = false, Blink = true,
         HoverStyle = false, WordWrap = false, ControlDown = false;
    double ResFactor = 1.0;
    TColor URLColor = clBlue, HoverColor = clNone, HoverFontColor = clNone, ShadowColor = clGray;
    TPictureContainer* Container = nullptr;
    THTMLPictureCache* Cache = nullptr;
    AnsiString FindID;
    std::function<int(int)> PlaceTop;
    // Hit-tests the point instead of drawing.
    void HitAt(int AX, int AY)
    {
        CheckHotSpot = true;
        X = AX;
        Y = AY;
    }
};

THtmlResult Html(TCanvas* canvas, const AnsiString& text, const THtmlCall& c = THtmlCall())
{
    THtmlResult r;
    r.ControlID = c.FindID;
    r.Hit = HtmlDraw(canvas, text, c.R, c.Images, c.X, c.Y, c.FocusLink, c.HoverLink, c.ShadowOffset,
                     c.CheckHotSpot, c.CheckHeight, c.Print, c.Selected, c.Blink, c.HoverStyle, c.WordWrap,
                     c.ControlDown, c.ResFactor, c.URLColor, c.HoverColor, c.HoverFontColor, c.ShadowColor,
                     r.AnchorVal, r.StripVal, r.FocusAnchor, r.AnchorHint, r.XSize, r.YSize, r.HyperLinks,
                     r.MouseLink, r.HoverRect, r.ControlRect, r.ControlID, r.ControlValue, r.ControlType, c.Cache,
                     c.Container, nullptr, c.PlaceTop);
    return r;
}

using TFontSetup = std::function<void(TFont*)>;

// A white bitmap with a known font on its canvas.
struct TPage {
    TBitmap Bmp;
    explicit TPage(int w = 200, int h = 60)
    {
        Bmp.SetSize(w, h);
        Clear();
        C()->Font()->SetName("DejaVu Sans");
        C()->Font()->SetSize(9);
        C()->Font()->SetColor(clBlack);
        C()->Font()->SetStyle(0);
    }
    TCanvas* C() { return Bmp.Canvas(); }
    void Clear()
    {
        C()->Brush()->SetStyle(bsSolid);
        C()->Brush()->SetColor(clWhite);
        C()->FillRect(TRect(0, 0, Bmp.Width(), Bmp.Height()));
    }
    template <class F>
    auto WithFont(const TFontSetup& setup, F f)
    {
        TFont keep;
        keep.Assign(C()->Font());
        if (setup) setup(C()->Font());
        auto v = f();
        C()->Font()->Assign(&keep);
        return v;
    }
    int W(const AnsiString& s, const TFontSetup& f = {})
    {
        return WithFont(f, [&] { return C()->TextWidth(s); });
    }
    int TH(const AnsiString& s, const TFontSetup& f = {})
    {
        return WithFont(f, [&] { return C()->TextHeight(s); });
    }
    int H() { return TH("gh"); }
    // Bounding box of the pixels in the region that satisfy the test (empty when none).
    TRect Ink(const TRect& region, const std::function<bool(TColor)>& test)
    {
        TRect box(100000, 100000, -1, -1);
        for (int y = std::max(0, region.Top); y < std::min(Bmp.Height(), region.Bottom); ++y)
            for (int x = std::max(0, region.Left); x < std::min(Bmp.Width(), region.Right); ++x)
                if (test(C()->Pixels(x, y))) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box.Right < 0 ? TRect() : box;
    }
    TRect Ink(const TRect& region)
    {
        return Ink(region, [](TColor p) { return p != clWhite; });
    }
    int Count(const TRect& region, const std::function<bool(TColor)>& test)
    {
        int n = 0;
        for (int y = std::max(0, region.Top); y < std::min(Bmp.Height(), region.Bottom); ++y)
            for (int x = std::max(0, region.Left); x < std::min(Bmp.Width(), region.Right); ++x)
                if (test(C()->Pixels(x, y))) ++n;
        return n;
    }
};

bool Blackish(TColor p) { return GetRValue(p) < 100 && GetGValue(p) < 100 && GetBValue(p) < 100; }
bool Reddish(TColor p) { return GetRValue(p) > 150 && GetGValue(p) < 110 && GetBValue(p) < 110; }

// An image list of one red 40 x 40 picture.
struct TRedImage {
    TImageList List{40, 40};
    TRedImage()
    {
        TBitmap red;
        List.Add(&Filled(red, 40, 40, clRed), nullptr);
    }
};

TFontSetup Size(int pt)
{
    return [pt](TFont* f) { f->SetSize(pt); };
}
TFontSetup Style(TFontStyles s)
{
    return [s](TFont* f) { f->SetStyle(s); };
}

}  // namespace

TEST(HtmlDraw, StateCellIsBoldCentredAndColoured)
{
    TPage s(100, 20);
    const int w = s.W("Aktualna", Style(fsBold));
    ASSERT_NE(w, s.W("Aktualna"));
    THtmlResult r = Html(s.C(), "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>");
    EXPECT_EQ(TPoint(r.XSize, r.YSize), TPoint(w, s.H()));
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
    TPage s(200, 200);
    const int h = s.H();
    const struct {
        const char* Text;
        int Lines;
        const char* Strip;
    } cases[] = {
        {"a<BR>b", 2, "a\rb"}, {"a\r\nb\r\nc", 3, "a\rb\rc"}, {"<UL><LI>a<LI>b</UL>", 3, "ab"}, {"x<HR>y", 2, "xy"},
        {"<P>one</P>two", 2, "onetwo"}, {"", 0, ""}, {"<Z>hidden</Z>shown", 1, "hiddenshown"},
    };
    for (const auto& c : cases) {
        THtmlCall call(200, 200);
        THtmlResult r = Html(s.C(), c.Text, call);
        EXPECT_EQ(r.YSize, std::max(1, c.Lines) * h) << c.Text;
        EXPECT_EQ(r.StripVal, c.Strip) << c.Text;
    }
    THtmlCall call(200, 200);
    EXPECT_EQ(Html(s.C(), "<UL><LI>a<LI>b</UL>", call).XSize, 12 + std::max(s.W("a"), s.W("b")));
    EXPECT_EQ(Html(s.C(), "<Z>hidden</Z>shown", call).XSize, s.W("shown"));
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
            TPage measured(90, c.Height), placed(90, c.Height);
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
            EXPECT_EQ(TPoint(once.XSize, once.YSize), TPoint(size.XSize, size.YSize)) << place;
            EXPECT_EQ(DifferingPixels(&measured.Bmp, &placed.Bmp, rect), 0) << place;
        }
    }
}

TEST(HtmlDraw, HitTestsAnchorsAndMissesPlainText)
{
    TPage s(300, 40);
    const AnsiString text = "Go <a href=\"http://x/\" title=\"Tip\">here</a> now";
    const int h = s.H();
    const int hereX = 1 + s.W("Go ") + s.W("here") / 2;
    THtmlCall call(300, 40);
    call.HitAt(hereX, h / 2);
    THtmlResult r = Html(s.C(), text, call);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "http://x/");
    EXPECT_EQ(r.AnchorHint, "Tip");
    EXPECT_EQ(r.MouseLink, 1);
    EXPECT_EQ(r.HyperLinks, 1);
    EXPECT_EQ(r.HoverRect.Left, 1 + s.W("Go "));

    call.X = 1 + s.W("G");
    r = Html(s.C(), text, call);
    EXPECT_FALSE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "");
    EXPECT_EQ(r.MouseLink, -1);

    call.X = hereX;
    call.Y = h + 5;   // below the line
    EXPECT_FALSE(Html(s.C(), text, call).Hit);

    // Centred: the hit follows the aligned line.
    const AnsiString centred = "<p align=\"center\"><a href=\"c\">link</a></p>";
    call.X = 1 + (299 - s.W("link")) / 2 + s.W("link") / 2;
    call.Y = h / 2;
    r = Html(s.C(), centred, call);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.AnchorVal, "c");
    call.X = 3;
    EXPECT_FALSE(Html(s.C(), centred, call).Hit);
}

TEST(HtmlDraw, PicturesFromContainerAndCache)
{
    TPage s(100, 40);
    TBitmap red;
    Filled(red, 10, 8, clRed);
    TPictureContainer container(nullptr);
    TPictureItem* item = container.Items()->Add();
    item->SetName("Logo");
    item->Picture()->LoadFromData(red.SaveToData());

    THtmlCall call(100, 40);
    call.Container = &container;
    THtmlResult r = Html(s.C(), "<IMG src=\"LOGO\">", call);
    EXPECT_EQ(TPoint(r.XSize, r.YSize), TPoint(10, std::max(8, s.H())));
    EXPECT_EQ(s.C()->Pixels(1 + 5, 4), clRed);
    EXPECT_EQ(s.C()->Pixels(1 + 11, 4), clWhite);

    EXPECT_EQ(Html(s.C(), "<IMG src=\"LOGO\" width=\"20\" height=\"4\">", call).XSize, 20);
    EXPECT_EQ(Html(s.C(), "<IMG src=\"missing\">", call).XSize, 0);
    EXPECT_EQ(Html(s.C(), "<IMG src=\"c:\\pic.bmp\">", call).XSize, 0);

    // A picture inside an anchor is hit.
    call.HitAt(4, 4);
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
    TPage s(100, 40);
    THtmlCall call(100, 40);
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
    TPage s(200, 40);
    s.C()->Font()->SetOrientation(0);
    const char* texts[] = {
        "</R>x<R a=\"90\">y<R a=\"45\">z",
        "<R a=\"90\"><R a=\"90\">a</R></R></R></R>",
        "<font face=\"Serif\" size=\"5\" color=\"clred\">a<font color=\"#0000FF\">b</font>c",
        "<b><i><u><s><shad><sub><e>x",
        "</a></font></p></hi></ul></b></i>x",
    };
    for (const char* t : texts) {
        THtmlCall call(200, 40);
        Html(s.C(), t, call);
        EXPECT_EQ(s.C()->Font()->Orientation(), 0) << t;
        EXPECT_EQ(s.C()->Font()->Name(), "DejaVu Sans") << t;
        EXPECT_EQ(s.C()->Font()->Size(), 9) << t;
        EXPECT_EQ(s.C()->Font()->Style(), 0u) << t;
        EXPECT_EQ(s.C()->Font()->Color(), clBlack) << t;
        EXPECT_EQ(s.C()->Brush()->Color(), clWhite) << t;
    }
    // After the inner </FONT> the base colour applies: "c" is black, not red.
    TPage t(200, 20);
    THtmlCall call(200, 20);
    Html(t.C(), "<font color=\"clred\">a<font color=\"clblue\">b</font>ccc</font>", call);
    const int from = 1 + t.W("ab") + 1, to = 1 + t.W("abccc");
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
    TPage s(120, 60);
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
        THtmlCall call(120, 60);
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
    THtmlCall call(120, 60);
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

TEST(HtmlDraw, TagsGiveTheMeasuredSizes)
{
    TPage p;
    const int h = p.H();
    const struct {
        const char* Text;
        std::function<int(TPage&)> XSize;
        std::function<int(TPage&)> YSize = nullptr;   // none: one line
    } cases[] = {
        {"<b>Wide</b>", [](TPage& p) { return p.W("Wide", Style(fsBold)); }},
        {"<i>Wide</i>", [](TPage& p) { return p.W("Wide", Style(fsItalic)); }},
        {"<font size=\"1\">Wide</font>", [](TPage& p) { return p.W("Wide", Size(8)); }},
        {"<font size=\"3\">Wide</font>", [](TPage& p) { return p.W("Wide", Size(12)); },
         [](TPage& p) { return p.TH("Wide", Size(12)); }},
        {"<font size=\"5\">Wide</font>", [](TPage& p) { return p.W("Wide", Size(16)); },
         [](TPage& p) { return p.TH("Wide", Size(16)); }},
        {"<font size=\"20\">Wide</font>", [](TPage& p) { return p.W("Wide", Size(20)); },
         [](TPage& p) { return p.TH("Wide", Size(20)); }},
        {"<font face=\"DejaVu Sans Mono\">iii</font>",
         [](TPage& p) { return p.W("iii", [](TFont* f) { f->SetName("DejaVu Sans Mono"); }); }},
        // </FONT> gives back the base size, not the enclosing tag's.
        {"<font size=\"5\">a<font size=\"4\">b</font>Wide</font>",
         [](TPage& p) { return p.W("a", Size(16)) + p.W("b", Size(14)) + p.W("Wide"); },
         [](TPage& p) { return p.TH("a", Size(16)); }},
        {"a<IN x=\"50\">b", [](TPage& p) { return 50 + p.W("b"); }},
        {"abcdef<IN x=\"5\">b", [](TPage& p) { return p.W("abcdef") + p.W("b"); }},
        {"a<IN x=\"50px\">b", [](TPage& p) { return p.W("a") + p.W("b"); }},
        {"a<IN x=\"50 \">b", [](TPage& p) { return p.W("a") + p.W("b"); }},
        {"abc ", [](TPage& p) { return p.W("abc"); }},
        {"<UL><UL><LI>a</UL></UL>", [](TPage& p) { return 24 + p.W("a"); }, [](TPage& p) { return 3 * p.H(); }},
        {"x<LI>a", [](TPage& p) { return p.W("xa"); }},   // an item outside a list takes no room
        {"<Z><font size=\"20\">X</font></Z>y", [](TPage& p) { return p.W("y"); },
         [](TPage& p) { return p.TH("X", Size(20)); }},
        {"<Z>x<SUB>2</SUB></Z>", [](TPage&) { return 0; }, [](TPage& p) { return p.H() + p.TH("2") / 4; }},
        {"<BLINK>Wide</BLINK>", [](TPage& p) { return p.W("Wide"); }},
        {"a&b", [](TPage& p) { return p.W("ab"); }},
        {"a&amp;b", [](TPage& p) { return p.W("a&b"); }},
        {"<#name>", [](TPage& p) { return p.W("#name"); }},
        {"a<BR>bbb", [](TPage& p) { return p.W("bbb"); }, [](TPage& p) { return 2 * p.H(); }},
        {"a</LI>bbb", [](TPage& p) { return p.W("bbb"); }, [](TPage& p) { return 2 * p.H(); }},
        {"<q>Wide</q>", [](TPage& p) { return p.W("Wide"); }},
        {"Wide<", [](TPage& p) { return p.W("Wide"); }},
        {"Wide<b never closed", [](TPage& p) { return p.W("Wide"); }},
    };
    for (const auto& c : cases) {
        THtmlCall a(200, 60);
        THtmlResult o = Html(p.C(), c.Text, a);
        EXPECT_EQ(TPoint(o.XSize, o.YSize), TPoint(c.XSize(p), c.YSize ? c.YSize(p) : p.H())) << c.Text;
        a.CheckHeight = true;
        THtmlResult m = Html(p.C(), c.Text, a);   // measuring alone gives the same sizes
        EXPECT_EQ(TPoint(m.XSize, m.YSize), TPoint(o.XSize, o.YSize)) << c.Text;
    }
    EXPECT_EQ(h, p.C()->TextHeight("gh"));   // the canvas font is untouched
}

TEST(HtmlDraw, PlainTextResult)
{
    TPage p;
    const struct {
        const char* Text;
        const char* Strip;
    } cases[] = {
        // Entities are decoded once.
        {"a &amp; b", "a & b"}, {"&amp;lt;", "&lt;"}, {"&lt;b&gt;x", "<b>x"}, {"&quot;q&quot;", "\"q\""},
        {"&euro;&copy;", "\x80\xA9"}, {"&AMP;amp;", "&amp;"},
        {"&sect;&permil;&reg;&para;&trade;", "\xA7\x89\xAE\xB6\x99"},
        {"a&nbsp;b", "a b"}, {"&LT;i&Gt;", "<i>"}, {"x <#field> y", "x #field y"}, {"a<BR>b<HR>c</P>d", "a\rbcd"},
        {"x\r\ny\nz", "x\ryz"}, {"<Z>h</Z>v", "hv"}, {"<UL><LI>one<LI>two</UL>", "onetwo"},
        {"<a href=\"u\">link</a> <CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"20\">", "link "},
    };
    for (const auto& c : cases) EXPECT_EQ(Html(p.C(), c.Text, THtmlCall(200, 60)).StripVal, c.Strip) << c.Text;
    // "&lt;b&gt;" is text, not a bold tag.
    EXPECT_EQ(Html(p.C(), "&lt;b&gt;x", THtmlCall(200, 60)).XSize, p.W("<b>x"));
}

TEST(HtmlDraw, WrappingRules)
{
    TPage p(300, 200);
    const int h = p.H();
    const struct {
        const char* Text;
        std::function<int(TPage&)> Layout;   // width available to the text
        int Lines;
    } cases[] = {
        {"aaa bbb", [](TPage& p) { return p.W("aaa ") + p.W("bbb"); }, 1},
        {"aaa bbb", [](TPage& p) { return p.W("aaa ") + p.W("bbb") - 1; }, 2},
        {"aaa bbb ", [](TPage& p) { return p.W("aaa ") + p.W("bbb"); }, 1},   // a trailing space needs no room
        {"aaa<b>bbb</b>", [](TPage& p) { return p.W("aaa"); }, 1},  // no space: not split
        {"a wwwwwwwwwwww", [](TPage& p) { return p.W("wwwwwwwwwwww") - 5; }, 1},  // wider than the line: stays
        {"aaa bbb ccc", [](TPage& p) { return p.W("aaa ") + p.W("bbb") + 2; }, 2},
        {"x<BR>aaa ii", [](TPage& p) { return p.W("aaa"); }, 3},
        {"aaa bbb ccc", [](TPage& p) { return p.W("aaa bbb") + 2; }, 2},
        {"wwwwwwwwwwww", [](TPage&) { return 19; }, 1},   // a word wider than the line stays whole
    };
    for (const auto& c : cases) {
        THtmlCall a(200, 60);
        a.WordWrap = true;
        a.R = TRect(0, 0, 1 + c.Layout(p), 200);
        THtmlResult o = Html(p.C(), c.Text, a);
        EXPECT_EQ(o.YSize, c.Lines * h) << c.Text;
    }
    // Two wrapped lines: the wider one without its trailing space.
    THtmlCall a(200, 60);
    a.WordWrap = true;
    a.R = TRect(0, 0, 1 + p.W("aaaa"), 200);
    EXPECT_EQ(Html(p.C(), "aaaa bb", a).XSize, p.W("aaaa ") - p.W(" "));
    a.R = TRect(0, 0, 1 + p.W("aaaa") + 1, 200);
    EXPECT_EQ(Html(p.C(), "bb aaaa", a).XSize, p.W("aaaa"));
    // Wrapped text keeps its words; a word wider than the line keeps its width; unwrapped text is one line.
    a.R = TRect(0, 0, 1 + p.W("aaa bbb") + 2, 200);
    EXPECT_EQ(Html(p.C(), "aaa bbb ccc", a).StripVal, "aaa bbb ccc");
    a.R = TRect(0, 0, 20, 200);
    EXPECT_EQ(Html(p.C(), "wwwwwwwwwwww", a).XSize, p.W("wwwwwwwwwwww"));
    a.WordWrap = false;
    EXPECT_EQ(Html(p.C(), "aaa bbb ccc ddd eee", a).YSize, h);
    // A picture or control that does not fit moves to the next line, also without word wrap.
    a.R = TRect(0, 0, 1 + p.W("aaaa ") + 20, 200);
    for (bool wrap : {true, false}) {
        a.WordWrap = wrap;
        THtmlResult o = Html(p.C(), "aaaa <CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"\" WIDTH=\"1\"><CONTROL TYPE=\"EDIT\" "
                             "ID=\"e\" VALUE=\"\" WIDTH=\"30\">",
                      a);
        EXPECT_EQ(o.YSize, std::max(h, 16) + h + 6) << wrap;
    }
}

TEST(HtmlDraw, EllipsisAndPrefixDrawAsTheTextRoutine)
{
    const char* cases[][2] = {
        {"wwwwwwwwwwwwwwwwwwwwwwwwwwwww", "wwwwwwwwwwwwwwwwwwwwwwwwwwwww"},
        {"a&b", "a&b"}, {"a&&b", "a&&b"}, {"a &amp; b", "a && b"}, {"&lt;p&gt;", "<p>"},
    };
    for (const auto& c : cases) {
        TPage html(100, 30), ref(100, 30);
        const int h = ref.H();
        Html(html.C(), c[0], THtmlCall(100, 30));
        ref.C()->Brush()->SetStyle(bsClear);
        TRect r(1, 0, 100, h);
        DrawText(ref.C(), c[1], -1, r, DT_EXTERNALLEADING | DT_EXPANDTABS | DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS);
        EXPECT_EQ(DifferingPixels(&html.Bmp, &ref.Bmp, TRect(0, 0, 100, 30)), 0) << c[0];
    }
}

TEST(HtmlDraw, FontAndAnchorColours)
{
    const struct {
        const char* Text;
        bool Selected;
        TColor Expected;
    } cases[] = {
        {"<b><font color=\"clred\">WWW</font></b>", false, clRed},
        {"<b><font color=\"CLRED\">WWW</font></b>", false, clRed},
        {"<b><font color=\"ClLime\">WWW</font></b>", false, clLime},
        {"<b><font color=\"#0000FF\">WWW</font></b>", false, clBlue},
        {"<b><font color=\"#0000ff\">WWW</font></b>", false, clBlue},
        {"<b><font color=\"#FF0000\">WWW</font></b>", false, clRed},
        {"<b><font color=\"clnosuch\">WWW</font></b>", false, clBlack},
        {"<b><font color=\"clred\">WWW</font></b>", true, clBlack},   // selected: colours kept
        {"<b><a href=\"x\">WWW</a></b>", false, clBlue},
        {"<b><a href=\"x\">WWW</a></b>", true, clBlack},
        {"<b><font bgcolor=\"clred\" color=\"clwhite\">WWW</font></b>", false, clRed},
    };
    for (const auto& c : cases) {
        TPage p(100, 30);
        THtmlCall a(100, 30);
        a.Selected = c.Selected;
        Html(p.C(), c.Text, a);
        const TColor want = ColorToRGB(c.Expected);
        EXPECT_GT(p.Count(TRect(0, 0, 100, 30), [&](TColor px) { return px == want; }), 8) << c.Text;
        for (TColor other : {clRed, clBlue, clLime})
            if (ColorToRGB(other) != want) {
                EXPECT_EQ(p.Count(TRect(0, 0, 100, 30), [&](TColor px) { return px == ColorToRGB(other); }), 0)
                    << c.Text;
            }
    }
    // The font background ends with </FONT>.
    TPage p(100, 30);
    THtmlCall a(100, 30);
    Html(p.C(), "<font bgcolor=\"#00FF00\">ab</font>cd", a);
    const int ab = 1 + p.W("ab");
    EXPECT_GT(p.Count(TRect(1, 0, ab, 30), [](TColor px) { return px == clLime; }), 0);
    EXPECT_EQ(p.Count(TRect(ab, 0, 100, 30), [](TColor px) { return px == clLime; }), 0);
}

TEST(HtmlDraw, AnchorsHoverFocusTitlesAndExtent)
{
    TPage p(200, 40);
    const int h = p.H();
    const AnsiString text = "<a href=\"1\" title=\"T1\">aaa</a> <a href=\"2\">bbb</a>";
    const int x2 = 1 + p.W("aaa") + p.W(" ");   // where the second anchor starts
    const struct {
        bool HoverStyle;
        int HoverLink;
        int YellowFirst, YellowSecond;   // 1: some yellow expected
    } cases[] = {{true, 2, 0, 1}, {true, 1, 1, 0}, {true, -1, 0, 0}, {false, -1, 1, 1}};
    for (const auto& c : cases) {
        p.Clear();
        THtmlCall a(200, 40);
        a.HoverStyle = c.HoverStyle;
        a.HoverLink = c.HoverLink;
        a.HoverColor = clYellow;
        THtmlResult o = Html(p.C(), text, a);
        EXPECT_EQ(o.HyperLinks, 2);
        EXPECT_EQ(o.AnchorHint, "T1");
        auto yellow = [](TColor px) { return px == clYellow; };
        EXPECT_EQ(p.Count(TRect(0, 0, x2 - 2, 40), yellow) > 0, c.YellowFirst == 1) << c.HoverLink;
        EXPECT_EQ(p.Count(TRect(x2, 0, 200, 40), yellow) > 0, c.YellowSecond == 1) << c.HoverLink;
    }
    // A hover font colour on the hovered anchor only; the other keeps the link colour.
    p.Clear();
    THtmlCall a(200, 40);
    a.HoverStyle = true;
    a.HoverLink = 2;
    a.HoverFontColor = clRed;
    Html(p.C(), "<b>" + text + "</b>", a);
    EXPECT_GT(p.Count(TRect(0, 0, x2 - 2, 40), [](TColor px) { return px == clBlue; }), 0);
    EXPECT_EQ(p.Count(TRect(0, 0, x2 - 2, 40), [](TColor px) { return px == clRed; }), 0);
    EXPECT_GT(p.Count(TRect(x2, 0, 200, 40), [](TColor px) { return px == clRed; }), 0);

    // The focused anchor (index from 0) is reported and framed.
    p.Clear();
    a = THtmlCall(200, 40);
    a.FocusLink = 1;
    THtmlResult o = Html(p.C(), text, a);
    EXPECT_EQ(o.FocusAnchor, "2");
    EXPECT_GT(p.Count(TRect(x2 - 1, 0, x2, h), [](TColor px) { return px != clWhite; }), 0);
    p.Clear();
    a.FocusLink = -1;
    EXPECT_EQ(Html(p.C(), text, a).FocusAnchor, "");
    EXPECT_EQ(p.Count(TRect(x2 - 1, 0, x2, h), [](TColor px) { return px != clWhite; }), 0);

    // The last title read wins; the hit anchor's number and extent come back.
    a = THtmlCall(200, 40);
    a.HitAt(x2 + 2, h / 2);
    o = Html(p.C(), "<a href=\"1\" title=\"T1\">aaa</a> <a href=\"2\" title=\"T2\">bbb</a>", a);
    EXPECT_TRUE(o.Hit);
    EXPECT_EQ(o.AnchorHint, "T2");
    EXPECT_EQ(o.AnchorVal, "2");
    EXPECT_EQ(o.MouseLink, 2);
    EXPECT_EQ(o.HoverRect, TRect(x2, 0, x2 + p.W("bbb"), h));
    // An anchor that goes on to the next line: its extent on the line hit.
    o = Html(p.C(), "aaa <a href=\"2\">bbb<BR>c</a>", a);
    EXPECT_EQ(o.AnchorVal, "2");
    EXPECT_EQ(o.HoverRect, TRect(x2, 0, x2 + p.W("bbb"), h));
}

TEST(HtmlDraw, HitsOnlyInTheTextBandOfATallLine)
{
    TPage p(200, 60);
    const int h = p.H();
    TRedImage images;
    const struct {
        const char* Text;
        int Y;
        bool Hit;
    } cases[] = {
        {"<IMG src=\"idx:0\"><a href=\"x\">link</a>", 40 - h / 2, true},
        {"<IMG src=\"idx:0\"><a href=\"x\">link</a>", 5, false},
        {"<IMG src=\"idx:0\" align=\"top\"><a href=\"x\">link</a>", h / 2, true},
        {"<IMG src=\"idx:0\" align=\"top\"><a href=\"x\">link</a>", 40 - h / 2, false},
        {"<IMG src=\"idx:0\" align=\"middle\"><a href=\"x\">link</a>", 40 - (40 - h) / 2 - h / 2, true},
    };
    for (const auto& c : cases) {
        THtmlCall a(200, 60);
        a.Images = &images.List;
        a.HitAt(41 + p.W("link") / 2, c.Y);
        THtmlResult o = Html(p.C(), c.Text, a);
        EXPECT_EQ(o.Hit, c.Hit) << c.Text << " at " << c.Y;
        EXPECT_EQ(o.YSize, 40);
    }
    // A picture inside an anchor is hit anywhere on it.
    THtmlCall a(200, 60);
    a.Images = &images.List;
    a.HitAt(5, 5);
    THtmlResult o = Html(p.C(), "<a href=\"pic\"><IMG src=\"idx:0\"></a>", a);
    EXPECT_TRUE(o.Hit);
    EXPECT_EQ(o.AnchorVal, "pic");
}

TEST(HtmlDraw, ImageListPicturesAndTextAlignment)
{
    TRedImage images;
    TPage p(200, 100);
    const int h = p.H();
    const struct {
        const char* Text;
        bool Print;
        int XSize, YSize;
    } cases[] = {
        {"<IMG src=\"idx:0\">", false, 40, 40},
        {"<IMG src=\"IDX:0\">", true, 80, 80},   // printing: stretched by the factor
        {"<IMG src=\"idx:1\">", false, 0, h},     // outside the list
        {"<IMG src=\"idx:-1\">", false, 0, h},
        {"<IMG src=\"ssys:x.txt\">", false, 16, 16},   // the desktop's icon of the type, small
        {"<IMG src=\"LSYS:x.txt\">", true, 64, 64},    // large, stretched by the factor
    };
    for (const auto& c : cases) {
        p.Clear();
        THtmlCall a(200, 100);
        a.Images = &images.List;
        a.Print = c.Print;
        a.ResFactor = 2.0;
        THtmlResult o = Html(p.C(), c.Text, a);
        EXPECT_EQ(TPoint(o.XSize, o.YSize), TPoint(c.XSize, c.YSize)) << c.Text;
        if (c.XSize > 0 && AnsiString(c.Text).find("dx:") != AnsiString::npos) {
            EXPECT_EQ(p.C()->Pixels(1 + c.XSize - 1, c.YSize - 1), clRed) << c.Text;   // drawn from the line top
            EXPECT_EQ(p.C()->Pixels(1 + c.XSize, 1), clWhite) << c.Text;
        }
    }
    // ALIGN moves the text beside the picture: top, middle or bottom of the line.
    const struct {
        const char* Align;
        int TextBottom;
    } aligns[] = {{"", 40}, {" align=\"top\"", h}, {" align=\"middle\"", 40 - (40 - h) / 2}};
    for (const auto& c : aligns) {
        p.Clear();
        THtmlCall a(200, 100);
        a.Images = &images.List;
        Html(p.C(), AnsiString("<IMG src=\"idx:0\"") + c.Align + ">Wg", a);
        TRect ink = p.Ink(TRect(41, 0, 200, 100));
        EXPECT_LE(ink.Bottom, c.TextBottom) << c.Align;
        EXPECT_GE(ink.Bottom, c.TextBottom - h / 3) << c.Align;
    }
}

TEST(HtmlDraw, ScriptsShiftTheirRuns)
{
    TPage plain(100, 40), sub(100, 40), sup(100, 40);
    const int q = plain.TH("2") / 4;
    THtmlCall a(100, 40);
    Html(plain.C(), "WW22", a);
    Html(sub.C(), "WW<SUB>22</SUB>", a);
    Html(sup.C(), "WW<SUP>22</SUP>", a);
    const int split = 1 + plain.W("WW");
    const TRect ww(0, 0, split, 40), twos(split + 1, 0, 100, 40);
    ASSERT_GT(q, 0);
    // Subscript: the digits go down by a quarter of their height, the rest stays.
    EXPECT_EQ(sub.Ink(ww).Bottom, plain.Ink(ww).Bottom);
    EXPECT_EQ(sub.Ink(twos).Bottom, plain.Ink(twos).Bottom + q);
    // Superscript: the line grows above, so the plain text moves down and the digits stay put.
    EXPECT_EQ(sup.Ink(ww).Bottom, plain.Ink(ww).Bottom + q);
    EXPECT_EQ(sup.Ink(twos).Bottom, plain.Ink(twos).Bottom);
}

TEST(HtmlDraw, RulesShadowsHighlightsErrorsAndBlink)
{
    TPage p(100, 40);
    const int h = p.H();
    THtmlCall a(100, 40);

    // <HR>: a black line just below the line, from its left edge to the right edge.
    Html(p.C(), "x<HR>", a);
    EXPECT_EQ(p.C()->Pixels(0, h), clWhite);
    EXPECT_EQ(p.C()->Pixels(1, h), clBlack);
    EXPECT_EQ(p.C()->Pixels(98, h), clBlack);
    EXPECT_EQ(p.C()->Pixels(50, h + 1), clWhite);
    p.Clear();
    Html(p.C(), "<P align=\"right\">x<HR>", a);
    EXPECT_EQ(p.C()->Pixels(50, h), clWhite);
    EXPECT_EQ(p.C()->Pixels(100 - p.W("x"), h), clBlack);

    // <SHAD>: the shadow lies ShadowOffset pixels right of and below the text.
    for (int offset : {2, 3}) {
        p.Clear();
        a.ShadowOffset = offset;
        a.ShadowColor = clRed;
        Html(p.C(), "<SHAD>I</SHAD>", a);
        TRect text = p.Ink(TRect(0, 0, 100, 40), Blackish), shadow = p.Ink(TRect(0, 0, 100, 40), Reddish);
        ASSERT_GT(shadow.Right, 0);
        EXPECT_NEAR(shadow.Right - text.Right, offset, 1);
        EXPECT_NEAR(shadow.Bottom - text.Bottom, offset, 1);
        p.Clear();
        Html(p.C(), "<SHAD>I</SH>I", a);   // any </SH..> ends it
        EXPECT_LT(p.Ink(TRect(0, 0, 100, 40), Reddish).Right, 1 + p.W("I") + offset + 2);
    }
    a = THtmlCall(100, 40);

    // <HI>: highlight colours until </HI>, or until any </FONT> (tags do not nest).
    const TColor hl = ColorToRGB(clHighlight);
    const int ab = 1 + p.W("ab");
    for (const char* text : {"<HI>ab</HI>cd", "<HI>ab<FONT FACE=\"DejaVu Sans\"></FONT>cd</HI>"}) {
        p.Clear();
        Html(p.C(), text, a);
        EXPECT_GT(p.Count(TRect(1, 0, ab, h), [&](TColor px) { return px == hl; }), 0) << text;
        EXPECT_EQ(p.Count(TRect(ab + 1, 0, 100, 40), [&](TColor px) { return px == hl; }), 0) << text;
    }

    // <E>: a red zigzag from one pixel above to one below the text bottom.
    p.Clear();
    Html(p.C(), "ab<E>cd</E>ef", a);
    const TRect zig = p.Ink(TRect(0, 0, 100, 40), [](TColor px) { return px == clRed; });
    EXPECT_EQ(zig.Top, h - 1);
    EXPECT_EQ(zig.Bottom, h + 2);
    EXPECT_NEAR(zig.Left, 1 + p.W("ab"), 1);
    EXPECT_NEAR(zig.Right, 1 + p.W("abcd"), 2);

    // <BLINK>: hidden in the off phase, the rest of the text is not.
    for (bool blink : {false, true}) {
        p.Clear();
        a.Blink = blink;
        Html(p.C(), "<BLINK>WW</BLINK>ii", a);
        const int ww = 1 + p.W("WW");
        EXPECT_EQ(p.Ink(TRect(0, 0, ww, 40)).Right > 0, blink);
        EXPECT_GT(p.Ink(TRect(ww, 0, 100, 40)).Right, 0);
    }
}

TEST(HtmlDraw, AlignmentIndentAndBackgrounds)
{
    TPage p(100, 60);
    const int h = p.H();
    THtmlCall a(100, 60);
    // Right alignment stays in force after </P>.
    Html(p.C(), "<P align=\"right\">a</P>bb", a);
    TRect l1 = p.Ink(TRect(0, 0, 100, h)), l2 = p.Ink(TRect(0, h, 100, 2 * h));
    EXPECT_GE(l1.Left, 100 - p.W("a") - 1);
    EXPECT_GE(l2.Left, 100 - p.W("bb") - 1);
    EXPECT_LE(l2.Right, 100);
    // An indent moves every following line.
    p.Clear();
    Html(p.C(), "<P indent=\"20\">x</P>y", a);
    EXPECT_GE(p.Ink(TRect(0, 0, 100, h)).Left, 21);
    EXPECT_GE(p.Ink(TRect(0, h, 100, 2 * h)).Left, 21);
    EXPECT_EQ(Html(p.C(), "<P indent=\"20\">x</P>y", a).XSize, std::max(p.W("x"), p.W("y")));
    // A paragraph colour fills its lines to the full width, until </P>.
    p.Clear();
    Html(p.C(), "<P bgcolor=\"clyellow\">x<BR>y</P>z", a);
    EXPECT_EQ(p.C()->Pixels(99, 0), clYellow);
    EXPECT_EQ(p.C()->Pixels(1, 0), clYellow);
    EXPECT_EQ(p.C()->Pixels(99, h), clYellow);
    EXPECT_EQ(p.C()->Pixels(99, 2 * h), clWhite);
    // </P> puts back the background <P> found, none without a <P>.
    p.Clear();
    Html(p.C(), "<FONT bgcolor=\"cllime\">WW</P>WW", a);
    EXPECT_EQ(p.Count(TRect(0, h, 100, 2 * h), [](TColor px) { return px == clLime; }), 0);
    // A body colour fills the whole rectangle.
    for (const char* body : {"<BODY bgcolor=\"cllime\">x", "<body BGCOLOR=\"#00ff00\">x"}) {
        p.Clear();
        Html(p.C(), body, a);
        EXPECT_EQ(p.C()->Pixels(0, 0), clLime) << body;
        EXPECT_EQ(p.C()->Pixels(99, 59), clLime) << body;
    }
    // Measuring and hit-testing draw nothing.
    p.Clear();
    a.CheckHotSpot = true;
    Html(p.C(), "<BODY bgcolor=\"cllime\"><HI>x</HI><HR>", a);
    EXPECT_EQ(p.Ink(TRect(0, 0, 100, 60)).Right, 0);
}

TEST(HtmlDraw, ListBulletsAndIndentation)
{
    TPage p(100, 80);
    const int h = p.H();
    THtmlCall a(100, 80);
    Html(p.C(), "<UL><LI>WW<UL><LI>WW</UL></UL>", a);
    // Line 1 is empty; line 2: bullet in the first 12 pixels, text after them;
    // line 3 (after the second <UL>'s break): bullet and text 12 pixels further in.
    EXPECT_EQ(p.Ink(TRect(0, 0, 100, h)).Right, 0);
    const TRect bullet1 = p.Ink(TRect(0, h, 13, 2 * h)), text1 = p.Ink(TRect(13, h, 100, 2 * h));
    EXPECT_GT(bullet1.Right, 0);
    EXPECT_GE(text1.Left, 13);
    EXPECT_LE(text1.Left, 15);
    EXPECT_EQ(p.Ink(TRect(0, 2 * h, 13, 3 * h)).Right, 0);
    EXPECT_GT(p.Ink(TRect(13, 2 * h, 25, 3 * h)).Right, 0);
    EXPECT_GE(p.Ink(TRect(25, 2 * h, 100, 3 * h)).Left, 25);
    EXPECT_EQ(p.Ink(TRect(0, 3 * h, 100, 80)).Right, 0);
    EXPECT_EQ(Html(p.C(), "<UL><LI>WW<UL><LI>WW</UL></UL>", a).YSize, 3 * h);
}

TEST(HtmlDraw, FormControlSizesRectanglesAndFrames)
{
    TPage p(200, 60);
    const int h = p.H();
    const struct {
        const char* Type;
        int W, H;
    } cases[] = {
        {"edit", 50, h + 6}, {"PASSWORD", 50, h + 6}, {"Mask", 50, h + 6}, {"COMBO", 50, 25},
        {"CHECK", 16, 16},   {"radio", 16, 16},       {"BUTTON", 50, 18},
    };
    for (const auto& c : cases) {
        const AnsiString tag = AnsiString("<CONTROL TYPE=\"") + c.Type +
                               "\" ID=\"c1\" VALUE=\"a&amp;b\" WIDTH=\"50\" PROP=\"p\">";
        THtmlCall a(200, 60);
        a.CheckHotSpot = true;
        a.FindID = "c1";
        THtmlResult o = Html(p.C(), tag, a);
        EXPECT_TRUE(o.Hit) << c.Type;
        EXPECT_EQ(o.AnchorVal, "ctrl") << c.Type;
        EXPECT_EQ(o.ControlType, AnsiUpperCase(c.Type));
        EXPECT_EQ(o.ControlValue, "a&b") << c.Type;
        EXPECT_EQ(o.ControlRect, TRect(1, 0, 1 + c.W, c.H)) << c.Type;
        EXPECT_EQ(TPoint(o.XSize, o.YSize), TPoint(c.W, std::max(c.H, h))) << c.Type;
    }
    // Entities inside the tag belong to its value, decoded once.
    {
        THtmlCall a(200, 60);
        a.CheckHotSpot = true;
        a.FindID = "q";
        THtmlResult o = Html(p.C(), "x &amp; <CONTROL TYPE=\"EDIT\" ID=\"q\" VALUE=\"say &quot;hi&quot; &amp;lt;\" "
                             "WIDTH=\"60\">", a);
        EXPECT_EQ(o.ControlValue, "say \"hi\" &lt;");
        EXPECT_EQ(o.StripVal, "x & ");
        EXPECT_TRUE(o.Hit);   // found by its ID after the text
        EXPECT_EQ(o.ControlRect.Width(), 60);
    }
    // The mouse over a check box hits it, whatever its width says.
    {
        THtmlCall a(300, 40);
        a.HitAt(1 + 8, 8);
        THtmlResult o = Html(p.C(), "<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"77\">", a);
        EXPECT_TRUE(o.Hit);
        EXPECT_EQ(o.AnchorVal, "ctrl");
        EXPECT_EQ(o.ControlID, "c1");
        EXPECT_EQ(o.ControlType, "CHECK");
        EXPECT_EQ(o.ControlValue, "TRUE");
        EXPECT_EQ(o.ControlRect, TRect(1, 0, 17, 16));
    }
    // A missing or unreadable width gives no room; drawing every type does not fail.
    {
        THtmlCall a(300, 40);
        EXPECT_EQ(Html(p.C(), "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\">", a).XSize, 0);
        EXPECT_EQ(Html(p.C(), "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\" WIDTH=\"5x\">", a).XSize, 0);
        EXPECT_EQ(Html(p.C(), "<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Ok\" WIDTH=\"40\">", a).XSize, 40);
        Html(p.C(), "<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"v\" WIDTH=\"60\"><CONTROL TYPE=\"RADIO\" ID=\"r\" "
                    "VALUE=\"FALSE\" WIDTH=\"1\"><CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"secret\" WIDTH=\"60\">",
             a);
    }
    // The edit frame: from 3 pixels below the line top to 1 below its bottom.
    p.Clear();
    THtmlCall a(200, 60);
    Html(p.C(), "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"\" WIDTH=\"50\">", a);
    const TColor frame = 0xB99D7F;
    EXPECT_EQ(p.C()->Pixels(1, 2), clWhite);
    EXPECT_EQ(p.C()->Pixels(1, 3), frame);
    EXPECT_EQ(p.C()->Pixels(1, h + 6), frame);
    EXPECT_EQ(p.C()->Pixels(25, h + 6), frame);
    EXPECT_EQ(p.C()->Pixels(25, h + 7), clWhite);
    EXPECT_EQ(p.C()->Pixels(50, 10), frame);
    // Ticked and clear boxes differ; a password shows no letters of its value.
    TPage on(40, 30), off(40, 30), lower(40, 30), edit(100, 30), pass(100, 30);
    a.R = TRect(0, 0, 40, 30);
    Html(on.C(), "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\" WIDTH=\"5\">", a);
    Html(off.C(), "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"FALSE\" WIDTH=\"5\">", a);
    Html(lower.C(), "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"true\" WIDTH=\"5\">", a);   // only "TRUE" ticks
    EXPECT_GT(DifferingPixels(&on.Bmp, &off.Bmp, TRect(1, 0, 17, 16)), 4);
    EXPECT_EQ(DifferingPixels(&lower.Bmp, &off.Bmp, TRect(0, 0, 40, 30)), 0);
    THtmlCall over = a;   // the control under the mouse is drawn lit
    over.X = over.Y = 8;
    for (const char* tag :
         {"<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\" WIDTH=\"5\">", "<CONTROL TYPE=\"RADIO\" WIDTH=\"5\">"}) {
        TPage normal(40, 30), hot(40, 30);
        Html(normal.C(), tag, a), Html(hot.C(), tag, over);
        EXPECT_GT(DifferingPixels(&hot.Bmp, &normal.Bmp, TRect(1, 0, 17, 16)), 4) << tag;
    }
    a.R = TRect(0, 0, 100, 30);
    Html(edit.C(), "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"|||\" WIDTH=\"80\">", a);
    Html(pass.C(), "<CONTROL TYPE=\"PASSWORD\" ID=\"e\" VALUE=\"|||\" WIDTH=\"80\">", a);
    EXPECT_NE(edit.Ink(TRect(3, 4, 70, h + 6), Blackish), pass.Ink(TRect(3, 4, 70, h + 6), Blackish));
}

TEST(HtmlDraw, AnimatedPictureShowsItsFrameInTheScreen)
{
    TPictureContainer container(nullptr);
    TPictureItem* item = container.Items()->Add();
    item->SetName("anim");
    item->Picture()->LoadFromData(FramesGif({{0, 0}, {2, 1}, {3, 3}}, true));
    item->Picture()->SetFrame(2);
    TPage p(40, 30);
    p.C()->Brush()->SetColor(clYellow);   // the frame area is first filled with the entry brush
    THtmlCall a(40, 30);
    a.Container = &container;
    THtmlResult o = Html(p.C(), "<IMG src=\"ANIM\">x", a);
    EXPECT_EQ(o.XSize, 4 + p.W("x"));   // the logical screen's width
    EXPECT_EQ(p.C()->Pixels(1 + 2, 1), clRed);
    EXPECT_EQ(p.C()->Pixels(1, 0), clYellow);
    EXPECT_EQ(p.C()->Pixels(1 + 3, 3), clYellow);
    EXPECT_EQ(p.C()->Pixels(1 + 5, 3), clWhite);
    // A frame as wide as the screen (made 1 pixel wide here) stands at its place as well.
    std::string narrow = FramesGif({{0, 0}, {0, 3}});
    narrow[6] = 1;
    item->Picture()->LoadFromData(narrow);
    item->Picture()->SetFrame(2);
    Html(p.C(), "<IMG src=\"ANIM\">", a);
    EXPECT_EQ(TPoint(p.C()->Pixels(1, 0), p.C()->Pixels(1, 3)), TPoint(clYellow, clRed));
}
