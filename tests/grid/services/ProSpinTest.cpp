// The print dialogs' spin edit: clamping, smart, time and hex steps, the sign
// key, the typing filter, the value on leaving, the keys and mouse that focus or
// step it, loading, and what it paints (flat line, focus frame, transparency).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "grid/services/ProSpin.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Sound.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {

struct ProSpin : TFormTest {
    TProSpinEdit* Spin = nullptr;
    TEdit* Other = nullptr;
    void SetUp() override
    {
        FormatSettings.DecimalSeparator = '.';
        FormatSettings.TimeSeparator = ':';
        MakeForm(300, 120);
        Spin = Place<TProSpinEdit>(10, 10, 120, 23);
        Other = Place<TEdit>(10, 60, 120, 23);
        Form->Show();
    }
    void TearDown() override
    {
        ResetFormatSettings();
        TFormTest::TearDown();
    }
    TColor PixelAt(TControl* C, int X, int Y)
    {
        std::unique_ptr<TBitmap> b = GrabControl(C);
        return ColorToRGB(b->Canvas()->Pixels(X, Y));
    }
    void Caret(int Pos)
    {
        Spin->SetSelStart(Pos);
        Spin->SetSelLength(0);
    }
    bool ValidAt(int Pos, char Key)
    {
        Caret(Pos);
        return Spin->IsValidChar(Key);
    }
    // The text after a click on the up or down button with the caret at Pos.
    AnsiString StepAt(int Pos, bool Up)
    {
        Caret(Pos);
        Up ? Spin->UpClick(Spin) : Spin->DownClick(Spin);
        return Spin->Text();
    }
};

TEST_F(ProSpin, IntegerLimitsClampOnlyWhenTheyDiffer)
{
    struct Case { int Min, Max, Set, Expected; } cases[] = {
        {0, 0, 1000, 1000}, {0, 0, -7, -7}, {5, 5, 9, 5}, {5, 5, 1, 5}, {1, 10, 11, 10}, {1, 10, -3, 1}};
    for (const Case& k : cases) {
        Spin->SetMinValue(k.Min);
        Spin->SetMaxValue(k.Max);
        Spin->SetValue(k.Set);
        EXPECT_EQ(k.Expected, Spin->Value()) << k.Min << ".." << k.Max << " " << k.Set;
    }
    Spin->SetText("abc");
    EXPECT_EQ(1, Spin->Value());   // unreadable: the minimum
    Spin->SetText(" ");
    EXPECT_EQ(0, Spin->Value());
}

TEST_F(ProSpin, StepsOfEveryType)
{
    Spin->SetSpinType(sptFloat);
    Spin->SetPrecision(2);
    Spin->SetIncrementSmart(true);
    Spin->SetFloatValue(12.34);
    EXPECT_EQ("12.34", Spin->Text());   // two decimals
    EXPECT_EQ("12.35", StepAt(5, true));
    EXPECT_EQ("22.35", StepAt(1, true));

    Spin->SetSpinType(sptTime);
    Spin->SetTimeValue(EncodeTime(0, 0, 30, 0));
    EXPECT_EQ("0:00:30", Spin->Text());
    EXPECT_EQ("0:00:29", StepAt(6, false));
    Spin->SetTimeValue(0);
    EXPECT_EQ("0:00:00", StepAt(6, false));   // no wrap below midnight
    EXPECT_EQ("1:00:00", StepAt(0, true));

    Spin->SetSpinType(sptHex);
    Spin->SetHexValue(0xFF);
    EXPECT_EQ("0xFF", Spin->Text());
    Spin->UpClick(Spin);
    EXPECT_EQ("0x100", Spin->Text());
    EXPECT_EQ(0x100, Spin->HexValue());

    int ups = 0;
    Spin->OnUpClick = [&](TObject*) { ++ups; };
    Spin->SetSpinType(sptNormal);
    Spin->SetIncrementSmart(false);
    Spin->SetValue(3);
    Spin->Button()->UpButton()->Click();
    EXPECT_EQ(4, Spin->Value());
    EXPECT_EQ(1, ups);
    Spin->SetFocus();
    KeyDown(Spin, VK_PRIOR);
    EXPECT_EQ(14, Spin->Value());   // the page step
}

// A read-only edit takes no step by any key, smart or paged, nor by its buttons, and no
// sign: each beeps, the text stays and no step is announced.
TEST_F(ProSpin, ReadOnlyRefusesEveryStepAndTellsNone)
{
    int steps = 0;
    Spin->OnUpClick = [&](TObject*) { ++steps; };
    Spin->OnDownClick = [&](TObject*) { ++steps; };
    Spin->SetSigned(true);
    Spin->SetReadOnly(true);
    Spin->SetFocus();
    TProTimerSpeedButton* up = Spin->Button()->UpButton();
    struct Case { TProSpinType Type; bool Smart; const char* Text; std::function<void()> Step; } cases[] = {
        {sptNormal, false, "15", [&] { TypeKey(Spin, VK_PRIOR); }},
        {sptNormal, false, "15", [&] { TypeKey(Spin, VK_NEXT); }},
        {sptFloat, false, "1.5", [&] { TypeKey(Spin, VK_PRIOR); }},
        {sptNormal, true, "15", [&] { TypeKey(Spin, VK_UP); }},
        {sptNormal, true, "15", [&] { TypeKey(Spin, VK_DOWN); }},
        {sptNormal, true, "15", [&] { TypeKey(Spin, VK_PRIOR); }},
        {sptFloat, true, "1.5", [&] { TypeKey(Spin, VK_NEXT); }},
        {sptNormal, false, "15", [&] { TypeKey(Spin, VK_UP); }},
        {sptNormal, false, "15", [&] { up->Click(); }},
        {sptNormal, false, "15", [&] { Spin->Button()->DownButton()->Click(); }},
        {sptNormal, false, "15", [&] { MouseDown(up, 3, 3); FireTimer(up->RepeatTimer()); MouseUp(up, 3, 3); }},
        {sptNormal, false, "15", [&] { TypeText(Spin, "-"); }},
    };
    for (const Case& k : cases) {
        Spin->SetSpinType(k.Type);
        Spin->SetIncrementSmart(k.Smart);
        Spin->SetText(k.Text);
        Caret(int(std::string(k.Text).size()));
        const int beeps = MessageBeepCount();
        k.Step();
        EXPECT_EQ(k.Text, Spin->Text()) << &k - cases;
        EXPECT_GT(MessageBeepCount(), beeps) << &k - cases;
    }
    EXPECT_EQ(0, steps);
}

// Without typing the clipboard keys neither paste nor cut; Backspace never reaches the "0x"
// prefix, a selection behind it neither; the type set again keeps the hexadecimal text; an
// empty decimal edit left without null values shows its value again.
TEST_F(ProSpin, ClipboardKeysPrefixTypeAndLeavingKeepTheText)
{
    Clipboard()->SetAsText("99");
    Spin->SetFocus();
    Spin->SetEditorEnabled(false);
    struct Key { Word Key; TShiftState Shift; } keys[] = {{'V', ssCtrl}, {VK_INSERT, ssShift}, {'X', ssCtrl}};
    for (const Key& k : keys) {
        Spin->SetText("12");
        Spin->SelectAll();
        TypeKey(Spin, k.Key, k.Shift);
        EXPECT_EQ("12", Spin->Text()) << k.Key;
    }
    Spin->SetEditorEnabled(true);

    Spin->SetSpinType(sptHex);
    Spin->SetText("0x1F");
    Spin->SetSelStart(2);
    Spin->SetSelLength(2);
    EXPECT_FALSE(Spin->IsValidChar(8));
    Spin->SetSpinType(sptHex);
    EXPECT_EQ("0x1F", Spin->Text());

    Spin->SetSpinType(sptFloat);
    Spin->SetPrecision(2);
    Spin->SetAllowNullValue(false);
    Spin->SetText("");
    Other->SetFocus();
    EXPECT_EQ("0.00", Spin->Text());   // equal limits: no minimum, the value set again
}

// The text starts 2 pixels in without the 3-D look and keeps its alignment; the label stands
// its margin off the edit in its own font; a disabled themed arrow is drawn grey.
TEST_F(ProSpin, TextRectAlignmentLabelAndDisabledArrow)
{
    Spin->SetCtl3D(false);
    Spin->SetBounds(150, 10, 120, 23);
    EXPECT_EQ(2, Spin->EditRect().Left);
    Spin->SetCtl3D(true);
    Spin->SetBounds(150, 10, 120, 23);
    EXPECT_EQ(0, Spin->EditRect().Left);

    Spin->SetText("8");
    auto ink = [&] {   // the first dark column of the text
        const TRect text(0, 2, Spin->EditRect().Right, Spin->Height() - 2);
        return InkBox(GrabControl(Spin).get(), text, [](TColor c) { return GetRValue(c) < 100; }).Left;
    };
    const int left = ink();
    Spin->SetEditAlign(eaRight);
    EXPECT_GT(ink(), left + 60);
    Spin->SetSpinFlat(true);
    EXPECT_TRUE(Spin->Button()->DownButton()->Flat());

    Spin->LabelFont()->SetSize(14);
    Spin->SetLabelCaption("Margines górny");
    TLabel* l = Spin->EditLabel();
    EXPECT_EQ(150 - 4, l->Left() + l->Width());

    TProTimerSpeedButton* up = Spin->Button()->UpButton();
    up->SetEnabled(false);
    std::unique_ptr<TBitmap> b = GrabControl(up);
    EXPECT_EQ(0, CountPixels(b.get(), TRect(0, 0, b->Width(), b->Height()), [](TColor c) { return c == clBlack; }));
}

// Both spin edits stop at the ends of the integer range; with smart steps the page
// keys leave dates, times and hexadecimal values as they do without them.
TEST_F(ProSpin, StepsStopAtTheIntegerEndsAndSmartPagesOnlyNumbers)
{
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
    TPsgSpinEdit* grid = Place<TPsgSpinEdit>(150, 10, 120, 23);
    grid->SetMinValue(0);
    grid->SetMaxValue(0);   // equal limits: no clamping
    struct Case {
        bool Grid; TProSpinType Type; bool Smart; const char* Text; int Caret; Word Key; const char* Expected;
    } cases[] = {
        {false, sptNormal, false, "2147483647", 0, VK_UP, "2147483647"},
        {false, sptNormal, false, "-2147483648", 0, VK_DOWN, "-2147483648"},
        {false, sptNormal, false, "2147483640", 0, VK_PRIOR, "2147483647"},
        {false, sptNormal, false, "-2147483640", 0, VK_NEXT, "-2147483648"},
        {false, sptNormal, true, "2147483647", 10, VK_UP, "2147483647"},
        {false, sptHex, false, "0x7FFFFFFF", 2, VK_UP, "0x7FFFFFFF"},
        {true, sptNormal, false, "2147483647", 0, VK_UP, "2147483647"},
        {true, sptNormal, false, "-2147483648", 0, VK_DOWN, "-2147483648"},
        {false, sptDate, true, "07.12.2025", 2, VK_PRIOR, "07.12.2025"},
        {false, sptDate, true, "07.12.2025", 10, VK_NEXT, "07.12.2025"},
        {false, sptTime, true, "0:00:30", 7, VK_PRIOR, "0:00:30"},
        {false, sptHex, true, "0xFF", 4, VK_NEXT, "0xFF"},
    };
    for (const Case& k : cases) {
        TCustomMaskEdit* e = k.Grid ? static_cast<TCustomMaskEdit*>(grid) : Spin;
        if (k.Grid) {
            grid->SetSpinType(k.Type);
        } else {
            Spin->SetSpinType(k.Type);
            Spin->SetIncrementSmart(k.Smart);
        }
        e->SetText(k.Text);
        e->SetFocus();
        e->SetSelStart(k.Caret);
        e->SetSelLength(0);
        TypeKey(e, k.Key);
        EXPECT_EQ(k.Expected, e->Text()) << (k.Grid ? "grid " : "print ") << k.Text << " key " << k.Key;
    }
}

// A typed key is converted before the filter judges it; the label takes the font while loading and
// follows the edit's showing; without the 3-D look the buttons sit lower.
TEST_F(ProSpin, KeysConvertBeforeTheFilterAndTheLabelFollowsFontAndShowing)
{
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    struct Case { TProSpinType Type; const char* Text; int Caret; const char* Typed; const char* Expected; } cases[] = {
        {sptTime, "0:00:30", 2, ",", "0:00:30"}, {sptFloat, "1,5", 3, ".", "1,5"}};
    Spin->SetFocus();
    for (const Case& k : cases) {
        Spin->SetSpinType(k.Type);
        Spin->SetPrecision(2);
        Spin->SetText(k.Text);
        Caret(k.Caret);
        TypeText(Spin, k.Typed);
        EXPECT_EQ(k.Expected, Spin->Text()) << k.Text << " " << k.Typed;
    }

    auto* panel = Place<TPanel>(150, 10, 140, 100);
    auto* s = new TProSpinEdit(Form);
    s->SetParent(panel);
    s->BeginLoading();
    s->SetLabelCaption("Margines");
    s->Font()->SetSize(14);
    EXPECT_EQ(14, s->EditLabel()->Font()->Size());
    s->EndLoading();
    panel->SetVisible(false);
    EXPECT_FALSE(s->EditLabel()->Visible());
    panel->SetVisible(true);
    EXPECT_TRUE(s->EditLabel()->Visible());

    s->SetCtl3D(false);
    s->SetBounds(10, 40, 100, 24);
    EXPECT_EQ(TRect(100 - s->Button()->Width() - 1, 2, 99, 2 + 24 - 3), s->Button()->BoundsRect());
}

TEST_F(ProSpin, TypingFilterAndSign)
{
    Spin->SetFocus();
    Spin->SetValue(15);
    TypeText(Spin, "-");
    EXPECT_EQ("15", Spin->Text());   // unsigned: "-" does nothing
    Spin->SetSigned(true);
    TypeText(Spin, "-");
    EXPECT_EQ("-15", Spin->Text());
    TypeText(Spin, "-");
    EXPECT_EQ("15", Spin->Text());

    Spin->SetSpinType(sptFloat);
    Spin->SetPrecision(0);
    Spin->SetText("12");
    EXPECT_FALSE(ValidAt(2, '.'));
    Spin->SelectAll();
    EXPECT_TRUE(Spin->IsValidChar('.'));
    Spin->SetPrecision(2);
    Spin->SetText("1.25");
    EXPECT_FALSE(ValidAt(4, '7'));   // a third decimal
    EXPECT_TRUE(ValidAt(0, '7'));

    Spin->SetSpinType(sptHex);
    Spin->SetHexValue(0xAB);
    EXPECT_FALSE(ValidAt(1, '5'));
    EXPECT_FALSE(ValidAt(2, 8));   // Backspace into the prefix
    EXPECT_TRUE(ValidAt(4, 'c'));
    EXPECT_FALSE(Spin->IsValidChar('g'));
}

TEST_F(ProSpin, LeavingAnEmptyEditWithoutNullValues)
{
    Spin->SetMinValue(3);
    Spin->SetMaxValue(9);
    Spin->SetFocus();
    Spin->SetText("");
    Other->SetFocus();
    EXPECT_EQ("", Spin->Text());   // null values are allowed by default
    Spin->SetAllowNullValue(false);
    Spin->SetFocus();
    Spin->SetText("");
    Other->SetFocus();
    EXPECT_EQ("3", Spin->Text());
    Spin->SetFocus();
    Spin->SetText("40");
    Other->SetFocus();
    EXPECT_EQ("9", Spin->Text());
}

TEST_F(ProSpin, FlatLineAndFocusFrameArePainted)
{
    Spin->SetFlatLineColor(clRed);
    const int bottom = Spin->Height() - 1;
    EXPECT_NE(clRed, PixelAt(Spin, 20, bottom));
    Spin->SetFlat(true);
    const TRect r = Spin->EditRect();
    EXPECT_EQ(clRed, PixelAt(Spin, r.Left + 1, bottom));
    EXPECT_EQ(clRed, PixelAt(Spin, r.Right - 1, bottom));
    EXPECT_NE(clRed, PixelAt(Spin, 20, bottom - 1));   // one pixel high
    Spin->SetFlat(false);
    EXPECT_NE(clRed, PixelAt(Spin, 20, bottom));

    Spin->SetFocusBorderColor(clLime);
    EXPECT_NE(clLime, PixelAt(Spin, 20, 0));   // not focused: no frame
    Spin->SetFocus();
    std::unique_ptr<TBitmap> b = GrabControl(Spin);
    EXPECT_EQ(clLime, ColorToRGB(b->Canvas()->Pixels(20, 0)));
    EXPECT_EQ(clLime, ColorToRGB(b->Canvas()->Pixels(0, 10)));
    EXPECT_EQ(clLime, ColorToRGB(b->Canvas()->Pixels(20, Spin->Height() - 1)));
    EXPECT_NE(clLime, ColorToRGB(b->Canvas()->Pixels(20, 1)));
    Other->SetFocus();
    EXPECT_NE(clLime, PixelAt(Spin, 20, 0));
}

TEST_F(ProSpin, TransparentShowsTheParentsBackground)
{
    EXPECT_FALSE(Spin->SpinTransparent());   // only when asked for
    Form->SetColor(clYellow);
    Spin->SetColor(clWhite);
    Spin->SetFlat(true);
    EXPECT_EQ(clWhite, PixelAt(Spin, 30, 10));
    Spin->SetTransparent(true);
    EXPECT_EQ(clYellow, PixelAt(Spin, 30, 10));
    Spin->SetTransparent(false);
    EXPECT_EQ(clWhite, PixelAt(Spin, 30, 10));
}

TEST_F(ProSpin, AutoFocusOnMouseEnterAndCtrlReturnStepsUp)
{
    // The mouse entering the edit's window.
    Other->SetFocus();
    Spin->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(Spin->Focused());   // off by default
    Spin->Perform(CM_MOUSELEAVE, 0, 0);
    Spin->SetAutoFocus(true);
    Spin->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(Spin->Focused());

    Spin->SetValue(7);
    KeyDown(Spin, VK_RETURN);
    ProcessPendingMessages();
    EXPECT_EQ(7, Spin->Value());   // Return alone does not step
    KeyDown(Spin, VK_RETURN, ssCtrl);
    ProcessPendingMessages();
    EXPECT_EQ(8, Spin->Value());
}

TEST_F(ProSpin, LoadedAppliesWhatWasOnlyStored)
{
    auto* s = new TProSpinEdit(Form);
    s->SetParent(Form);
    s->BeginLoading();
    s->SetSpinType(sptHex);
    s->SetMinValue(0);
    s->SetMaxValue(15);
    s->SetHexValue(0x40);   // only stored while loading
    s->SetFlat(true);
    EXPECT_EQ("0", s->Text());
    EXPECT_EQ(bsSingle, s->BorderStyle());
    int changes = 0;
    s->OnChange = [&](TObject*) { ++changes; };
    s->EndLoading();
    EXPECT_EQ("0xF", s->Text());   // the stored value, clamped once loaded
    EXPECT_EQ(0, changes);
    EXPECT_EQ(bsNone, s->BorderStyle());   // the flat look is applied
    EXPECT_EQ(TRect(2, 4, s->ClientWidth() - 4 - s->Button()->Width(), s->ClientHeight() - 4), s->EditRect());
}

TEST_F(ProSpin, ArrowsThemedOrFromTheDefaultGlyphs)
{
    TProTimerSpeedButton* up = Spin->Button()->UpButton();
    EXPECT_TRUE(up->IsWinXP());   // the platform reports 5.1
    EXPECT_EQ(9, up->Glyph()->Width());
    EXPECT_EQ(6, up->Glyph()->Height());
    auto ink = [](TBitmap* B, int Y0, int Y1) {   // dark pixels in rows Y0..Y1 of the middle column
        return CountPixels(B, TRect(B->Width() / 2, Y0, B->Width() / 2 + 1, Y1 + 1),
                           [](TColor c) { return GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96; });
    };
    for (bool themed : {true, false}) {
        up->SetIsWinXP(themed);
        Spin->Button()->DownButton()->SetIsWinXP(themed);
        std::unique_ptr<TBitmap> u = GrabControl(up), d = GrabControl(Spin->Button()->DownButton());
        EXPECT_GT(ink(u.get(), 1, u->Height() - 2), 0) << themed;   // an arrow in each button
        EXPECT_GT(ink(d.get(), 1, d->Height() - 2), 0) << themed;
    }

    auto* flat = Place<TProSpinEdit>(150, 10, 120, 23);
    flat->SetFlat(true);
    flat->SetSpinType(sptFloat);
    flat->SetPrecision(2);
    flat->SetFloatValue(2.5);
    flat->Button()->UpButton()->SetIsWinXP(false);
    flat->Button()->DownButton()->SetIsWinXP(false);
    Spin->SetValue(42);
    Form->Repaint();
    SaveScreenshot(Form, "ProSpinEdits.png");
}

}  // namespace
