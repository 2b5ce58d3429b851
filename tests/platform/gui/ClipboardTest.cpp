#include <gtest/gtest.h>

#include "platform/gui/Clipbrd.h"
#include "platform/gui/Graphics.h"
#include "tests/platform/gui/Pixels.h"

TEST(Clipboard, PolishTextRoundTripsAsWindows1250Bytes)
{
    const AnsiString texts[] = {"Zażółć gęślą jaźń ZAŻÓŁĆ", "a\tb\r\nc", "€ „cudzysłów” – §", ""};
    for (const AnsiString& t : texts) {
        Clipboard()->SetAsText(t);
        EXPECT_EQ(t, Clipboard()->AsText());
        EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT)) << t;
    }
    Clipboard()->SetTextBuf("bufor ąę");
    char buf[6];
    EXPECT_EQ(5, Clipboard()->GetTextBuf(buf, sizeof buf));
    EXPECT_EQ(AnsiString("bufor"), AnsiString(buf));
}

TEST(Clipboard, RegisteredFormatsKeepTheirIdsAndBytes)
{
    UINT cells = RegisterClipboardFormat("TProStringGrid Cells");
    EXPECT_GE(cells, 0xC000u);
    EXPECT_EQ(cells, RegisterClipboardFormat("TProStringGrid Cells"));
    EXPECT_EQ(cells, RegisterClipboardFormat("tprostringgrid cells"));
    UINT rtf = RegisterClipboardFormat("Rich Text Format");
    EXPECT_NE(cells, rtf);
    EXPECT_EQ(0u, RegisterClipboardFormat(""));
    EXPECT_EQ("TProStringGrid Cells", GetClipboardFormatName(cells));

    AnsiString bytes("\x00\x01\xFF\xB9 cells\x00", 10);
    // Opened: the grid's format and the text go on the clipboard together.
    Clipboard()->Open();
    Clipboard()->Clear();
    Clipboard()->SetFormatData(cells, bytes);
    Clipboard()->SetAsText("tekst");
    Clipboard()->Close();
    EXPECT_TRUE(Clipboard()->HasFormat(cells));
    EXPECT_EQ(bytes, Clipboard()->GetFormatData(cells));
    EXPECT_EQ("tekst", Clipboard()->AsText());
    EXPECT_FALSE(Clipboard()->HasFormat(rtf));
    EXPECT_EQ("", Clipboard()->GetFormatData(rtf));

    // Not opened: each setter replaces what was there.
    Clipboard()->SetFormatData(rtf, "{\\rtf1 x}");
    EXPECT_TRUE(Clipboard()->HasFormat(rtf));
    EXPECT_FALSE(Clipboard()->HasFormat(cells));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ("{\\rtf1 x}", Clipboard()->GetFormatData(rtf));

    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(rtf));
    EXPECT_THROW(Clipboard()->SetFormatData(0xBFFF, "x"), Exception);
}

TEST(Clipboard, BitmapGoesThereAndBack)
{
    auto b = FilledBitmap(4, 3, RGB(10, 200, 30));
    Clipboard()->Assign(b.get());
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TBitmap back;
    Clipboard()->AssignTo(&back);
    EXPECT_EQ(4, back.Width());
    EXPECT_EQ(3, back.Height());
    EXPECT_EQ(RGB(10, 200, 30), back.Canvas()->Pixels(2, 1));
}
