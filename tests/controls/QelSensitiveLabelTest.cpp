// The link label: its fonts while the mouse is over it and while pressed.
#include <gtest/gtest.h>

#include "controls/QelSensitiveLabel.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

using LinkLabel = TShownFormTest;

TEST_F(LinkLabel, FontFollowsTheMouse)
{
    TQelSensitiveLabel label(form);
    label.SetParent(form);
    label.SetBounds(10, 10, 100, 20);
    label.SetCaption("Pobierz");
    const TColor normal = label.Font()->Color();
    const AnsiString normalName = label.Font()->Name();
    EXPECT_TRUE(label.ActiveMouseDown());
    EXPECT_FALSE(label.ActiveMouseMove());
    EXPECT_EQ(label.FontMouseDown()->Color(), 0x0000FF);
    // As designed: a blue underlined link, hover font green and bold.
    label.Font()->SetColor(clBlue);
    label.Font()->SetStyle(fsUnderline);
    label.FontMouseMove()->SetColor(clGreen);
    label.FontMouseMove()->SetStyle(fsBold);
    label.FontMouseMove()->SetSize(11);

    label.Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(label.Font()->Color(), clGreen);
    EXPECT_EQ(label.Font()->Style(), TFontStyles(fsBold));
    EXPECT_EQ(label.Font()->Size(), 11);
    struct { TMouseButton button; bool active; TColor during; } presses[] = {
        {mbLeft, true, 0x0000FF}, {mbRight, true, 0x0000FF}, {mbMiddle, true, clGreen}, {mbLeft, false, clGreen},
    };
    for (auto& p : presses) {
        label.SetActiveMouseDown(p.active);
        label.Perform(CM_MOUSEENTER, 0, 0);
        MouseDown(&label, 5, 5, p.button);
        EXPECT_EQ(label.Font()->Color(), p.during) << int(p.button) << p.active;
        MouseUp(&label, 5, 5, p.button);
        EXPECT_EQ(label.Font()->Color(), normal) << int(p.button);
        EXPECT_EQ(label.Font()->Name(), normalName);
        EXPECT_EQ(label.Font()->Style(), TFontStyles(0));
    }
    label.Perform(CM_MOUSEENTER, 0, 0);
    label.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(label.Font()->Color(), normal);
}
