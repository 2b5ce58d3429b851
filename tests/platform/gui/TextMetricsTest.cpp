#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/Graphics.h"
#include "platform/gui/TextMetrics.h"

// Widths kept for a font are those the canvas gives, text by text: summed
// from character advances, laid out whole where characters join (ligatures),
// and for control characters, tabs and soft hyphens.
TEST(TextMetrics, WidthsAndHeightEqualTheCanvasForEveryFontAndText)
{
    struct FontCase {
        const char* Name;
        int Height;
        TFontStyles Style;
    } fonts[] = {
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
