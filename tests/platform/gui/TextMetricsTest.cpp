#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Graphics.h"
#include "platform/gui/TextMetrics.h"

// Widths kept for a font are those the canvas gives, text by text: summed
// from character advances, laid out whole where characters join (ligatures),
// and for control characters, tabs and soft hyphens.
TEST(TextMetrics, WidthsAndHeightEqualTheCanvasForEveryFontAndText)
{
    struct FontCase { const char* Name; int Height; TFontStyles Style; } fonts[] = {
        {"Tahoma", -11, 0},
        {"Tahoma", -11, fsBold},
        {"Tahoma", -13, fsItalic | fsUnderline},
        {"Arial", -16, fsBold | fsItalic},
        {"Courier New", -12, 0},
        {"Times New Roman", -15, 0},
        {"Tahoma", 14, 0},
    };
    std::string all;
    for (int i = 1; i < 256; ++i)
        all += char(i);
    const std::vector<std::string> texts = {
        "",
        "Norma",
        "PN-EN 10088-2:2014",
        "Zażółć gęślą jaźń ŻÓŁW",
        "office affluent fjord flaga",   // joined pairs in many fonts
        "ff", "fi", "fl", "ffi",
        "a\tb\tc",
        "podział\xADwyrazu",
        "linia\nniżej",
        "a\x01" "b",
        "€ „cudzysłów” – — … ‰ ˇ ˘ ˝",
        "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii",
        all,
    };
    for (const FontCase& f : fonts) {
        TBitmap bmp;
        bmp.SetSize(1, 1);
        TCanvas* c = bmp.Canvas();
        c->Font()->SetName(f.Name);
        c->Font()->SetHeight(f.Height);
        c->Font()->SetStyle(f.Style);
        TTextMetrics m(*c->Font(), c);
        EXPECT_EQ(m.TextHeight(), c->TextHeight("gh")) << f.Name << " " << f.Height;
        for (int pass = 0; pass < 2; ++pass)   // the second pass meets known characters and pairs
            for (const std::string& t : texts)
                EXPECT_EQ(m.TextWidth(t), c->TextWidth(t)) << f.Name << " " << f.Height << " '" << t << "'";
    }
}

// Measuring without learning: nothing is measured before its characters and
// pairs were met; once what was noted has been learnt, every text whose
// advances add up measures as the canvas does, and a text laid out whole is
// still refused.
TEST(TextMetrics, TryingWithoutLearningAgreesOnceTheCharactersAreMet)
{
    TBitmap bmp;
    bmp.SetSize(1, 1);
    TCanvas* c = bmp.Canvas();
    c->Font()->SetName("Tahoma");
    c->Font()->SetHeight(-11);
    TTextMetrics m(*c->Font(), c);
    const std::vector<std::string> texts = {"PN-EN 10088-1:2007", "Zażółć gęślą jaźń", "Aktualna", "",
                                            "WWW iii 0123456789"};
    int w = -1;
    TTextMetrics::TUnmet unmet;
    for (const std::string& t : texts)
        EXPECT_EQ(m.TryTextWidth(t.data(), t.size(), w, &unmet), t.empty()) << t;
    EXPECT_TRUE(unmet.Any());
    EXPECT_FALSE(m.TryTextWidth("Aktualna", 8, w));   // still nothing learnt
    m.Learn(unmet);
    for (const std::string& t : texts) {
        ASSERT_TRUE(m.TryTextWidth(t.data(), t.size(), w)) << t;
        EXPECT_EQ(w, c->TextWidth(t)) << t;
    }
    // A new character in a known text is refused, not guessed.
    EXPECT_FALSE(m.TryTextWidth("Aktualna€", 9, w));
    // A control character makes the text laid out whole: never summed.
    TTextMetrics::TUnmet more;
    const std::string tab = "a\tb";
    EXPECT_FALSE(m.TryTextWidth(tab.data(), tab.size(), w, &more));
    m.Learn(more);
    EXPECT_FALSE(m.TryTextWidth(tab.data(), tab.size(), w));
    EXPECT_EQ(m.TextWidth(tab), c->TextWidth(tab));
}

// A canvas measures and draws texts alike before and after the metrics of
// its font are kept and have met the texts' characters.
TEST(TextMetrics, CanvasWidthsStayWhenTheFontsMetricsAreKept)
{
    struct Case {
        const char* Text;
        unsigned Flags;
        int Width;   // of the rectangle given to DrawText
    } cases[] = {
        {"Zażółć gęślą jaźń", DT_SINGLELINE | DT_CALCRECT, 1000},
        {"office affluent fjord", DT_SINGLELINE | DT_CALCRECT, 1000},
        {"&Plik i &&znak", DT_SINGLELINE | DT_CALCRECT, 1000},
        {"a\tb", DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, 1000},
        {"PN-EN 10088-2:2014 Stale odporne na korozję", DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT, 60},
        {"C:\\Katalog Norm\\Wykazy\\zawory.txt", DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_CALCRECT, 70},
        {"Stale odporne na korozję - Część 2", DT_WORDBREAK | DT_CALCRECT, 50},
        {"pierwsza\r\ndruga linia", DT_CALCRECT, 1000},
    };
    TBitmap bmp;
    bmp.SetSize(1, 1);
    TCanvas* c = bmp.Canvas();
    c->Font()->SetName("Tahoma");
    c->Font()->SetHeight(-17);   // a size no other test keeps metrics for
    auto measure = [&](const Case& k) {
        TRect r(0, 0, k.Width, 0);
        const int h = DrawText(c, k.Text, -1, r, k.Flags);
        return std::vector<int>{c->TextWidth(k.Text), r.Right, r.Bottom, h};
    };
    std::vector<std::vector<int>> before;
    for (const Case& k : cases)
        before.push_back(measure(k));
    auto kept = TTextMetrics::Shared(*c->Font(), c);
    for (const Case& k : cases)
        kept->TextWidth(k.Text);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(measure(cases[i]), before[i]) << cases[i].Text;
}

// Texts one below the other, each from the last whose width was found: the
// widths are the canvas's whatever the texts share at their start and end
// (nothing, all, a prefix or an end of each other, a pair across where they
// part or meet again); a text with a
// character not met when the sums were made, or with a stop byte anywhere,
// is refused and leaves the last text as it was.
TEST(TextMetrics, TextsFromTheLastOneMeasureAsTheCanvas)
{
    TBitmap bmp;
    bmp.SetSize(1, 1);
    TCanvas* c = bmp.Canvas();
    c->Font()->SetName("Tahoma");
    c->Font()->SetHeight(-13);
    TTextMetrics m(*c->Font(), c);
    const std::vector<std::string> texts = {
        "Wymagania ogólne 12", "Wymagania ogólne 7",  "Wymagania ogólne 7", "Wymagania",
        "Wymagania ogólne AV", "Wymagania ogólne To", "PN-EN 10088-1:2007", "PN-EN 10088-2:2014",
        "PN-EN ISO 9001",      "P",                   "PN-EN ISO 9001 Tę", "PN-EN 10089-2:2014",
        "PN-EN 1:2014",        "PN-EN 10088-2:2014",  "xPN-EN 10088-2:2014", "2014", "AVTo 2014",
        "AV 2014",             "a<b",                 "<B>"};
    TTextMetrics::TUnmet unmet;
    int w = 0;
    for (const std::string& t : texts)
        m.TryTextWidth(t.data(), t.size(), w, &unmet);
    m.Learn(unmet);
    const TTextMetrics::TRunSums sums(m, "<");
    TTextMetrics::TLastText last;
    for (const std::string& t : texts) {
        if (t.find('<') != std::string::npos)
            continue;
        ASSERT_TRUE(sums.TryWidth(t.data(), t.size(), w, last)) << t;
        EXPECT_EQ(w, c->TextWidth(t)) << t;
        EXPECT_EQ(last.Text, t.data());
    }
    const std::string refused[] = {"PN-EN ISO 9001 €", "PN-EN ISO 9001 <B", "<B>", "PN-EN ISO 9001 T<", "€"};
    for (const std::string& t : refused) {
        EXPECT_FALSE(sums.TryWidth(t.data(), t.size(), w, last)) << t;
        EXPECT_EQ(last.Text, texts[texts.size() - 3].data()) << t;
    }
}

// The bytes two texts share at their start and at their end, for texts of every length up to
// three words and a difference at every place, read within the texts only (exactly sized, so
// that a sanitized build reports a byte read beyond them).
TEST(TextMetrics, SharedStartsAndEndsAreFoundAtEveryLengthAndPlace)
{
    const std::string source = "PN-EN ISO 10088-2:2014 Wymagania";
    auto copy = [](const std::string& s) {
        auto p = std::make_unique<char[]>(std::max<std::size_t>(s.size(), 1));
        std::memcpy(p.get(), s.data(), s.size());
        return p;
    };
    for (std::size_t la = 0; la <= 24; ++la)
        for (std::size_t lb = la > 2 ? la - 2 : 0; lb <= la + 2; ++lb)
            for (std::size_t k = 0; k <= 2 * std::max(la, lb) + 1; ++k) {
                // b begins as a does (odd k) or ends as it does (even k), byte k / 2 changed.
                const std::string a = source.substr(0, la);
                std::string b = k % 2 ? (a + source).substr(0, lb) : (source + a).substr(source.size() + la - lb);
                if (k / 2 < lb)
                    b[k / 2] = '#';
                const auto pa = copy(a), pb = copy(b);
                const std::size_t shorter = std::min(la, lb);
                std::size_t start = 0, end = 0;
                while (start < shorter && a[start] == b[start])
                    ++start;
                while (end < shorter && a[la - 1 - end] == b[lb - 1 - end])
                    ++end;
                const std::string where = a + " | " + b;
                EXPECT_EQ(TextMetricsDetail::CommonStart(pa.get(), pb.get(), shorter), start) << where;
                for (std::size_t limit = 0; limit <= shorter; ++limit)
                    EXPECT_EQ(TextMetricsDetail::CommonEnd(pa.get() + la, pb.get() + lb, limit, shorter),
                              std::min(end, limit))
                        << where << " limit " << limit;
            }
}
