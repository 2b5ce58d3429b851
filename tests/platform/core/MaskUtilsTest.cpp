#include <gtest/gtest.h>

#include "platform/core/MaskUtils.h"
#include "platform/core/SysUtils.h"

TEST(EditMask, FormatsTextIntoTheMaskAndBackAsTheMaskSavesIt)
{
    struct Case { const char* mask; const char* value; const char* editText; const char* text; };
    const Case cases[] = {
        {"00-000;1;_", "12345", "12-345", "12-345"},
        {"00-000;1;_", "12-345", "12-345", "12-345"},
        {"00-000;0;_", "12345", "12-345", "12345"},
        {"00-000;1;_", "12", "12-___", "12-   "},
        {"00-000;1;_", "1a345", "1_-345", "1 -345"},        // a letter leaves its digit position blank
        {"00-000;1;*", "", "**-***", "  -   "},
        {">LL 0000;1;_", "ąb1234", "ĄB 1234", "ĄB 1234"},   // upper case, Polish letters
        {"<ll\\;00;0;_", "XY12", "xy;12", "xy12"},         // "\" makes ";" a literal
        {"99:99;1;_", "1230", "12:30", "12:30"},           // ":" is the time separator
        {"!999;1;_", "7", "7__", "7  "},
        {"#0;1;_", "-5", "-5", "-5"},
        {"cC;1;_", " x", "_x", " x"},
        {"", "abc", "", ""},
    };
    for (const Case& c : cases) {
        TEditMask m(c.mask);
        AnsiString edit = m.Format(c.value);
        EXPECT_EQ(edit, c.editText) << c.mask << " <- " << c.value;
        EXPECT_EQ(m.TextOf(edit), c.text) << c.mask;
        EXPECT_EQ(FormatMaskText(c.mask, c.value), c.editText);
        // An edit text is already in its form.
        EXPECT_EQ(m.Format(edit), edit) << c.mask;
        EXPECT_EQ(m.Conform(edit), edit) << c.mask;
    }
}

TEST(EditMask, RequiredPositionsMustBeFilledOptionalOnesNot)
{
    struct Case { const char* mask; const char* editText; bool valid; int pos; };
    const Case cases[] = {
        {"00-000;1;_", "12-345", true, 0},  {"00-000;1;_", "12-3_5", false, 4}, {"00-000;1;_", "__-___", false, 0},
        {"99-999;1;_", "__-___", true, 0},  {"L9;1;_", "a_", true, 0},          {"L9;1;_", "_1", false, 0},
        {"AaCc;1;_", "1_x_", true, 0},      {"AaCc;1;_", "1a__", false, 2},
    };
    for (const Case& c : cases) {
        int pos = -1;
        EXPECT_EQ(TEditMask(c.mask).Validate(c.editText, pos), c.valid) << c.mask << " " << c.editText;
        if (!c.valid) { EXPECT_EQ(pos, c.pos) << c.mask << " " << c.editText; }
    }
    // The positions: literals are skipped by the caret's next and previous input.
    TEditMask m("00-000;1;_");
    EXPECT_EQ(m.Length(), 6);
    EXPECT_EQ(m.NextInput(2), 3);
    EXPECT_EQ(m.PrevInput(3), 1);
    EXPECT_EQ(m.NextInput(6), 6);
    EXPECT_EQ(m.Accept(0, 'x'), 0);
    EXPECT_EQ(m.Accept(2, '-'), 0);
}
