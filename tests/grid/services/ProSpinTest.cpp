// The print dialogs' spin edit: clamping, smart, time and hex steps, the sign
// key, the typing filter and the value on leaving.
#include <gtest/gtest.h>

#include "grid/services/ProSpin.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"
#include "tests/common/FormTest.h"

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
    void Caret(int Pos)
    {
        Spin->SetSelStart(Pos);
        Spin->SetSelLength(0);
    }
};

TEST_F(ProSpin, IntegerLimitsClampOnlyWhenTheyDiffer)
{
    struct Case {
        int Min, Max, Set, Expected;
    } cases[] = {{0, 0, 1000, 1000}, {0, 0, -7, -7}, {5, 5, 9, 5}, {5, 5, 1, 5}, {1, 10, 11, 10}, {1, 10, -3, 1}};
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
    Caret(5);
    Spin->UpClick(Spin);
    EXPECT_EQ("12.35", Spin->Text());
    Caret(1);
    Spin->UpClick(Spin);
    EXPECT_EQ("22.35", Spin->Text());

    Spin->SetSpinType(sptTime);
    Spin->SetTimeValue(EncodeTime(0, 0, 30, 0));
    EXPECT_EQ("0:00:30", Spin->Text());
    Caret(6);
    Spin->DownClick(Spin);
    EXPECT_EQ("0:00:29", Spin->Text());
    Spin->SetTimeValue(0);
    Caret(6);
    Spin->DownClick(Spin);
    EXPECT_EQ("0:00:00", Spin->Text());   // no wrap below midnight
    Caret(0);
    Spin->UpClick(Spin);
    EXPECT_EQ("1:00:00", Spin->Text());

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
    Caret(2);
    EXPECT_FALSE(Spin->IsValidChar('.'));
    Spin->SelectAll();
    EXPECT_TRUE(Spin->IsValidChar('.'));
    Spin->SetPrecision(2);
    Spin->SetText("1.25");
    Caret(4);
    EXPECT_FALSE(Spin->IsValidChar('7'));   // a third decimal
    Caret(0);
    EXPECT_TRUE(Spin->IsValidChar('7'));

    Spin->SetSpinType(sptHex);
    Spin->SetHexValue(0xAB);
    Caret(1);
    EXPECT_FALSE(Spin->IsValidChar('5'));
    Caret(2);
    EXPECT_FALSE(Spin->IsValidChar(8));   // Backspace into the prefix
    Caret(4);
    EXPECT_TRUE(Spin->IsValidChar('c'));
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

}  // namespace
