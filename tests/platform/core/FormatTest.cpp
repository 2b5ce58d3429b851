#include <gtest/gtest.h>

#include "platform/core/SysUtils.h"

namespace {
class FormatText : public ::testing::Test {
protected:
    void SetUp() override { ResetFormatSettings(); }
    void TearDown() override { ResetFormatSettings(); }
};
}   // namespace

TEST_F(FormatText, FormatSpecifiers)
{
    int x = 0;
    struct Case { AnsiString got; const char* expected; } cases[] = {
        {Format("%d", {42}), "42"},
        {Format("%5d|%-5d|", {42, 42}), "   42|42   |"},
        {Format("%.4d", {-7}), "-0007"},
        {Format("%u", {-1}), "4294967295"},
        {Format("%x %.4X", {255, 10}), "FF 000A"},
        {Format("%s and %s", {"ab", AnsiString("cd")}), "ab and cd"},
        {Format("%.2s|%6s|%-6s|", {"abcdef", "ab", "ab"}), "ab|    ab|ab    |"},
        {Format("%f", {1.5}), "1,50"},
        {Format("%.3f", {2.0 / 3}), "0,667"},
        {Format("%.0f", {2.5}), "3"},
        {Format("%.2f", {-0.001}), "0,00"},
        {Format("%f", {3}), "3,00"},
        {Format("%n", {1234567.891}), "1\xA0" "234\xA0" "567,89"},
        {Format("%.0n", {-1234.0}), "-1\xA0" "234"},
        {Format("%m", {1234.5}), "1\xA0" "234,50 zł"},
        {Format("%e", {1234.5}), "1,23450000000000E+003"},
        {Format("%.3e", {-0.00012345}), "-1,23E-004"},
        {Format("%g", {1.5}), "1,5"},
        {Format("%g", {1e20}), "1E020"},
        {Format("%1:s %0:s %s", {"a", "b"}), "b a b"},
        {Format("%*d|%-*.*d", {4, 7, 5, 3, 9}), "   7|009  "},
        {Format("100%% %s", {"ok"}), "100% ok"},
        {Format("%p", {static_cast<const void*>(&x)}).size() == 2 * sizeof(void*) ? AnsiString("ok") : AnsiString("bad"), "ok"},
        {Format("%d:%s", {5, 'c'}), "5:c"},
    };
    for (auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST_F(FormatText, FormatRejectsBadFormatsAndArguments)
{
    for (const char* fmt : {"%d", "%s %s", "%2:s"})
        EXPECT_THROW(Format(fmt, {"x"}), EConvertError) << fmt;
    try {
        Format("%d", {1.5});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
    }
    try {
        Format("%s %s", {"a"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "No argument for format '%s %s'");
    }
    EXPECT_THROW(Format("%s", {5}), EConvertError);
    EXPECT_THROW(Format("abc %", {5}), EConvertError);
    EXPECT_THROW(Format("%k", {5}), EConvertError);
    EXPECT_THROW(Format("%999999999d", {5}), EConvertError);
}

TEST_F(FormatText, FormatFloatPatterns)
{
    struct Case { const char* fmt; double v; const char* expected; } cases[] = {
        {"0.00", 1.5, "1,50"},
        {"0.00", 2.675, "2,68"},
        {"0.00", -0.001, "0,00"},
        {"0.00%", 12.345, "12,35%"},
        {"#,##0.00", 1234567.5, "1\xA0" "234\xA0" "567,50"},
        {"#,##0.00", -1234.5, "-1\xA0" "234,50"},
        {"#,##0", 12, "12"},
        {"#.##", 1, "1"},
        {"#.##", 0.5, ",5"},
        {"0.###", 1.25, "1,25"},
        {"000", 7, "007"},
        {"0", 1234.6, "1235"},
        {"00-00", 1234, "12-34"},
        {"0.0;(0.0);zero", -2.25, "(2,3)"},
        {"0.0;(0.0);zero", 0, "zero"},
        {"0.0;;zero", -2, "-2,0"},
        {"0.0;(0.0);zero", 0.01, "zero"},
        {"0.###E+00", 12345, "1,235E+04"},
        {"0.00E-00", 0.00012, "1,20E-04"},
        {"0.0E+0", 5e10, "5,0E+10"},
        {"\"Nr \"0", 5, "Nr 5"},
        {"0 'szt.'", 3, "3 szt."},
        {"", 1.5, "1,5"},
    };
    for (auto& c : cases) EXPECT_EQ(FormatFloat(c.fmt, c.v), c.expected) << c.fmt << " " << c.v;
}

TEST_F(FormatText, FloatToStrFFormats)
{
    struct Case { double v; TFloatFormat f; int p, d; const char* expected; } cases[] = {
        {1234.5, ffExponent, 4, 2, "1,235E+03"},
        {-0.5, ffExponent, 3, 0, "-5,00E-1"},
        {1234.5678, ffFixed, 15, 2, "1234,57"},
        {1.23456, ffFixed, 3, 4, "1,2300"},
        {1e20, ffFixed, 15, 2, "1E20"},
        {1234567.891, ffNumber, 15, 1, "1\xA0" "234\xA0" "567,9"},
        {-5, ffCurrency, 15, 2, "-5,00 zł"},
        {123.456, ffGeneral, 4, 0, "123,5"},
        {123456, ffGeneral, 4, 0, "1,235E5"},
        {0, ffFixed, 15, 3, "0,000"},
    };
    for (auto& c : cases) EXPECT_EQ(FloatToStrF(c.v, c.f, c.p, c.d), c.expected) << c.v;
    FormatSettings.ThousandSeparator = ' ';
    FormatSettings.DecimalSeparator = '.';
    EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 2), "1 234.50");
}
