// Hover looks of the graphic controls as the mouse really moves over them:
// the link label's font and the flat speed button's frame.
#include <gtest/gtest.h>

#include "controls/KXCtrls.h"
#include "controls/QelSensitiveLabel.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {
struct Hover : TFormTest {
    void SetUp() override { MakeForm(300, 200); Form->Show(); }
};
}  // namespace

TEST_F(Hover, LinkLabelTakesItsHoverFontOnlyWhileTheMouseIsOverIt)
{
    auto* label = Place<TQelSensitiveLabel>(20, 20, 80, 20);
    label->SetAutoSize(false);
    label->SetBounds(20, 20, 80, 20);
    label->SetCaption("Pobierz");
    label->FontMouseMove()->SetColor(clGreen);
    label->FontMouseMove()->SetStyle(fsBold);
    int enters = 0, leaves = 0;
    label->OnMouseEnter = [&](TObject*) { ++enters; };
    label->OnMouseLeave = [&](TObject*) { ++leaves; };
    // Leaving gives back the default label font the label noted when made.
    const TColor normal = label->Font()->Color();

    MouseMove(Form, 5, 5);
    EXPECT_EQ(label->Font()->Color(), normal);
    MouseMove(Form, 30, 25);
    EXPECT_EQ(label->Font()->Color(), clGreen);
    EXPECT_EQ(label->Font()->Style(), TFontStyles(fsBold));
    MouseMove(Form, 60, 30);
    EXPECT_EQ(enters, 1);
    MouseMove(Form, 150, 100);
    EXPECT_EQ(label->Font()->Color(), normal);
    EXPECT_EQ(label->Font()->Style(), TFontStyles(0));
    // Out of the form straight from the label.
    MouseMove(Form, 30, 25);
    MouseLeave(Form);
    EXPECT_EQ(label->Font()->Color(), normal);
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(leaves, 2);
}

TEST_F(Hover, FlatSpeedButtonLightsOnEnterAndGoesOutOnLeave)
{
    auto* btn = Place<TKxSpeedButton>(40, 40, 30, 30);
    btn->SetFlat(true);
    const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    ASSERT_NE(face, light);
    auto corner = [&] { return GrabControl(btn)->Canvas()->Pixels(0, 0); };

    MouseMove(Form, 10, 10);
    EXPECT_FALSE(btn->MouseInControl());
    EXPECT_EQ(corner(), face);
    MouseMove(Form, 50, 50);
    EXPECT_TRUE(btn->MouseInControl());
    EXPECT_EQ(corner(), light);
    MouseMove(Form, 150, 150);
    EXPECT_FALSE(btn->MouseInControl());
    EXPECT_EQ(corner(), face);

    // Pressed, dragged out and back: the button keeps the mouse until released.
    MouseMove(Form, 50, 50);
    MouseDown(Form, 50, 50);
    MouseMove(Form, 150, 150);
    EXPECT_TRUE(btn->MouseInControl());
    MouseUp(Form, 150, 150);
    MouseMove(Form, 151, 151);
    EXPECT_FALSE(btn->MouseInControl());
    EXPECT_EQ(corner(), face);
    // Shown again under the resting mouse, or pressed with the right button, it looks where the mouse is.
    btn->SetVisible(false);
    MouseMove(Form, 50, 50);
    btn->SetVisible(true);
    EXPECT_EQ(corner(), light);
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    MouseDown(btn, 10, 10, mbRight);
    EXPECT_TRUE(btn->MouseInControl());
}
