#include <gtest/gtest.h>

#include "platform/core/SysUtils.h"

namespace {
class Dates : public ::testing::Test {
protected:
    void SetUp() override { ResetFormatSettings(); SetTestClock(EncodeDate(2025, 6, 15) + EncodeTime(14, 5, 9, 7)); }
    void TearDown() override { ResetFormatSettings(); SetTestClock(0); }
};
}   // namespace

TEST_F(Dates, EncodeDecodeRoundTrips)
{
    struct Case { Word y, m, d; double serial; int dow; } cases[] = {
        {1899, 12, 30, 0, 7},   {1900, 1, 1, 2, 2},     {1899, 12, 29, -1, 6}, {2000, 2, 29, 36585, 3},
        {2025, 6, 15, 45823, 1}, {1, 1, 1, -693593, 2}, {9999, 12, 31, 2958465, 6}, {1970, 1, 1, 25569, 5},
    };
    for (auto& c : cases) {
        TDateTime dt = EncodeDate(c.y, c.m, c.d);
        EXPECT_DOUBLE_EQ(dt, c.serial) << c.y << "-" << c.m << "-" << c.d;
        Word y, m, d;
        DecodeDate(dt < 0 ? dt - 0.75 : dt + 0.75, y, m, d);   // the time counts away from day 0
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
        EXPECT_EQ(DayOfWeek(dt), c.dow) << c.y << "-" << c.m << "-" << c.d;
    }
    for (TDateTime dt = -1000; dt < 80000; dt += 37) {
        Word y, m, d;
        DecodeDate(dt, y, m, d);
        EXPECT_DOUBLE_EQ(EncodeDate(y, m, d), dt);
    }
    try {
        EncodeDate(2023, 2, 29);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2020, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);

    Word h, n, s, ms;
    DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
    // Before 1899 the fraction still counts forward: -1.25 is 29.12.1899 06:00.
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(h, 6);
    // A time that rounds to midnight belongs to the next day.
    Word y, m, d;
    DecodeDate(EncodeDate(2024, 12, 31) + 0.9999999999, y, m, d);
    DecodeTime(EncodeDate(2024, 12, 31) + 0.9999999999, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20250101);
    EXPECT_EQ(h + n + s + ms, 0);
}

TEST_F(Dates, IncMonthClampsTheDay)
{
    struct Case { TDateTime from; int months; TDateTime to; } cases[] = {
        {EncodeDate(2024, 1, 31), 1, EncodeDate(2024, 2, 29)},
        {EncodeDate(2023, 1, 31), 1, EncodeDate(2023, 2, 28)},
        {EncodeDate(2024, 3, 31), -1, EncodeDate(2024, 2, 29)},
        {EncodeDate(2024, 1, 15), -13, EncodeDate(2022, 12, 15)},
        {EncodeDate(2024, 10, 31), 14, EncodeDate(2025, 12, 31)},
        {EncodeDate(2024, 5, 2) + 0.5, 1, EncodeDate(2024, 6, 2) + 0.5},
    };
    for (auto& c : cases) EXPECT_DOUBLE_EQ(IncMonth(c.from, c.months), c.to) << c.months;
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
}

TEST_F(Dates, FormatDateTimeSpecifiers)
{
    const TDateTime dt = EncodeDate(2005, 3, 7) + EncodeTime(9, 4, 5, 42);
    struct Case { const char* fmt; const char* expected; } cases[] = {
        {"d.m.yy", "7.3.05"},
        {"dd.mm.yyyy", "07.03.2005"},
        {"ddd dddd", "Pn poniedziałek"},
        {"mmm mmmm", "mar marzec"},
        {"h:n:s", "9:4:5"},
        {"hh:nn:ss.zzz", "09:04:05.042"},
        {"hh:mm", "09:04"},
        {"z", "42"},
        {"yyyy/mm/dd", "2005.03.07"},
        {"h:nn am/pm", "9:04 am"},
        {"hh AM/PM", "09 AM"},
        {"\"Dnia\" d 'o' h", "Dnia 7 o 9"},
        {"ddddd", "07.03.2005"},
        {"dddddd", "7 marzec 2005"},
        {"c", "07.03.2005 09:04:05"},
        {"t|tt", "09:04|09:04:05"},
    };
    for (auto& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, dt), c.expected) << c.fmt;
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(0, 30, 0, 0)), "12 am");
    EXPECT_EQ(FormatDateTime("h a/p", EncodeTime(13, 0, 0, 0)), "1 p");
    EXPECT_EQ(DateToStr(dt), "07.03.2005");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2005, 3, 7)), "07.03.2005");
    EXPECT_EQ(TimeToStr(dt), "09:04:05");
    FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    FormatSettings.DateSeparator = '-';
    EXPECT_EQ(DateToStr(dt), "2005-03-07");
}

TEST_F(Dates, StrToDateFollowsTheShortDateFormat)
{
    struct Case { const char* fmt; char sep; const char* text; int ymd; } cases[] = {
        {"dd.mm.yyyy", '.', "07.03.2005", 20050307},
        {"dd.mm.yyyy", '.', " 7.3.2005 ", 20050307},
        {"dd.mm.yyyy", '.', "7.3", 20250307},        // the current year
        {"dd.mm.yyyy", '.', "1.2.74", 20740201},     // window of 50 years before now
        {"dd.mm.yyyy", '.', "1.2.75", 19750201},
        {"dd.mm.yyyy", '.', "1.2.05", 20050201},
        {"mm/dd/yyyy", '/', "3/7/2005", 20050307},
        {"yyyy-mm-dd", '-', "2005-03-07", 20050307},
        {"dd.mm.yyyy", '.', "29.02.2023", 0},
        {"dd.mm.yyyy", '.', "07/03/2005", 0},
        {"dd.mm.yyyy", '.', "07.03.2005x", 0},
        {"dd.mm.yyyy", '.', "", 0},
        {"dd.mm.yyyy", '.', "7", 0},
    };
    for (auto& c : cases) {
        FormatSettings.ShortDateFormat = c.fmt;
        FormatSettings.DateSeparator = c.sep;
        TDateTime dt = -1;
        bool ok = TryStrToDate(c.text, dt);
        EXPECT_EQ(ok, c.ymd != 0) << c.text;
        if (ok) {
            Word y, m, d;
            DecodeDate(dt, y, m, d);
            EXPECT_EQ(y * 10000 + m * 100 + d, c.ymd) << c.text;
        }
    }
    ResetFormatSettings();
    try {
        StrToDate("31.04.2005");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'31.04.2005' is not a valid date");
    }
    // Round trip through the text form, with a time.
    const TDateTime dt = EncodeDate(2010, 11, 30) + EncodeTime(17, 45, 12, 0);
    EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(dt)), dt);
    EXPECT_DOUBLE_EQ(StrToDate(DateToStr(dt)), EncodeDate(2010, 11, 30));
    EXPECT_DOUBLE_EQ(StrToTime("5:07 PM"), EncodeTime(17, 7, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:00:01.5"), EncodeTime(12, 0, 1, 500));
    EXPECT_THROW(StrToTime("25:00"), EConvertError);
    EXPECT_THROW(StrToTime("12"), EConvertError);
    EXPECT_THROW(StrToDateTime("1.1.2000 x"), EConvertError);
}

TEST_F(Dates, ClockIsSettable)
{
    EXPECT_DOUBLE_EQ(Date(), EncodeDate(2025, 6, 15));
    EXPECT_NEAR(Time(), EncodeTime(14, 5, 9, 7), 1e-9);
    SetTestClock(0);
    Word y, m, d;
    DecodeDate(Now(), y, m, d);
    EXPECT_GE(y, 2024);
}
