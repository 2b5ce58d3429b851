// Dates and times: TDateTime is days since 30 December 1899, the fraction the
// time of day (for days before that date the fraction still counts forward).
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {

const int kDateDelta = 693594;   // days from 1 January 0001 to 30 December 1899
const double kMSecsPerDay = 86400000.0;
const Word kDaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                  {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

std::atomic<double> gTestClock{0.0};

// Whole days (counted from 1 January 0001 = 1) and milliseconds of the day.
void Split(TDateTime dt, long long& days, long long& msec)
{
    double whole = std::trunc(dt);
    days = static_cast<long long>(whole) + kDateDelta;
    msec = std::llround(std::fabs(dt - whole) * kMSecsPerDay);
    if (msec >= 86400000LL) {   // rounds up to the next midnight
        msec -= 86400000LL;
        days += dt < 0 ? -1 : 1;
    }
}

void DecodeDays(long long days, Word& year, Word& month, Word& day)
{
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    long long t = days - 1;
    long long y = 1;
    long long n400 = t / 146097; t %= 146097; y += n400 * 400;
    long long n100 = t / 36524; t %= 36524;
    if (n100 == 4) { n100 = 3; t += 36524; }
    y += n100 * 100;
    long long n4 = t / 1461; t %= 1461; y += n4 * 4;
    long long n1 = t / 365; t %= 365;
    if (n1 == 4) { n1 = 3; t += 365; }
    y += n1;
    year = static_cast<Word>(y);
    const Word* table = kDaysInMonth[IsLeapYear(year) ? 1 : 0];
    int m = 0;
    while (t >= table[m]) { t -= table[m]; ++m; }
    month = static_cast<Word>(m + 1);
    day = static_cast<Word>(t + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a number of up to `maxDigits` digits at s[i].
bool ReadNumber(const AnsiString& s, size_t& i, int& v, int& digits, int maxDigits = 4)
{
    v = 0;
    digits = 0;
    while (i < s.size() && IsDigit(s[i]) && digits < maxDigits) {
        v = v * 10 + (s[i++] - '0');
        ++digits;
    }
    return digits > 0;
}

void SkipBlanks(const AnsiString& s, size_t& i)
{
    while (i < s.size() && s[i] == ' ') ++i;
}

// Parses a date in the order of ShortDateFormat; stops after the date.
bool ScanDate(const AnsiString& s, size_t& i, TDateTime& dt)
{
    const AnsiString& f = FormatSettings.ShortDateFormat;
    char order = 'd';   // d: DMY, m: MDY, y: YMD
    for (char c : f) {
        char l = static_cast<char>(AnsiLowerChar(static_cast<unsigned char>(c)));
        if (l == 'd' || l == 'm' || l == 'y') { order = l; break; }
    }
    SkipBlanks(s, i);
    int n[3] = {0, 0, 0}, len[3] = {0, 0, 0};
    int count = 0;
    for (; count < 3; ++count) {
        if (count > 0) {
            if (i >= s.size() || s[i] != FormatSettings.DateSeparator) break;
            ++i;
        }
        if (!ReadNumber(s, i, n[count], len[count])) return false;
    }
    if (count < 2) return false;
    Word curYear, curMonth, curDay;
    DecodeDate(Now(), curYear, curMonth, curDay);
    int y, m, d, yLen;
    if (count == 2) {   // the current year
        y = curYear;
        yLen = 4;
        if (order == 'm') { m = n[0]; d = n[1]; }
        else if (order == 'y') { m = n[0]; d = n[1]; }
        else { d = n[0]; m = n[1]; }
    } else if (order == 'm') {
        m = n[0]; d = n[1]; y = n[2]; yLen = len[2];
    } else if (order == 'y') {
        y = n[0]; yLen = len[0]; m = n[1]; d = n[2];
    } else {
        d = n[0]; m = n[1]; y = n[2]; yLen = len[2];
    }
    if (yLen <= 2) {
        // Two-digit years fall within the window around the current year.
        int window = FormatSettings.TwoDigitYearCenturyWindow;
        int pivot = curYear - (window > 0 ? window : 0);
        y += pivot / 100 * 100;
        if (window > 0 && y < pivot) y += 100;
    }
    if (i < s.size() && s[i] == FormatSettings.DateSeparator && order != 'y' && count == 3) ++i;   // "1.2.2005."
    return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), dt);
}

bool ScanTime(const AnsiString& s, size_t& i, TDateTime& dt)
{
    SkipBlanks(s, i);
    int h, m = 0, sec = 0, ms = 0, digits;
    if (!ReadNumber(s, i, h, digits, 2)) return false;
    bool hasMinutes = false;
    if (i < s.size() && s[i] == FormatSettings.TimeSeparator) {
        ++i;
        if (!ReadNumber(s, i, m, digits, 2)) return false;
        hasMinutes = true;
        if (i < s.size() && s[i] == FormatSettings.TimeSeparator) {
            ++i;
            if (!ReadNumber(s, i, sec, digits, 2)) return false;
            if (i < s.size() && (s[i] == '.' || s[i] == FormatSettings.DecimalSeparator) && i + 1 < s.size() && IsDigit(s[i + 1])) {
                ++i;
                ReadNumber(s, i, ms, digits, 3);
                while (digits++ < 3) ms *= 10;
            }
        }
    }
    SkipBlanks(s, i);
    bool ampm = false;
    for (const char* tag : {"AM", "PM", "A", "P"}) {
        AnsiString t = tag;
        if (AnsiUpperCase(s.substr(i, t.size())) == t) {
            if (h < 1 || h > 12) return false;
            bool pm = t[0] == 'P';
            h = h % 12 + (pm ? 12 : 0);
            i += t.size();
            ampm = true;
            break;
        }
    }
    if (!hasMinutes && !ampm) return false;
    return TryEncodeTime(static_cast<Word>(h), static_cast<Word>(m), static_cast<Word>(sec), static_cast<Word>(ms), dt);
}

bool AtEnd(const AnsiString& s, size_t i)
{
    SkipBlanks(s, i);
    return i == s.size();
}

AnsiString Pad2(int v)
{
    AnsiString r = std::to_string(v);
    return r.size() < 2 ? "0" + r : r;
}

}   // namespace

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInAMonth(Word year, Word month)
{
    if (month < 1 || month > 12) return 0;
    return kDaysInMonth[IsLeapYear(year) ? 1 : 0][month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& dt)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
    const Word* table = kDaysInMonth[IsLeapYear(year) ? 1 : 0];
    long long days = day;
    for (int m = 0; m < month - 1; ++m) days += table[m];
    long long y = year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    dt = static_cast<double>(days - kDateDelta);
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day)
{
    TDateTime dt;
    if (!TryEncodeDate(year, month, day, dt)) throw EConvertError("Invalid argument to date encode");
    return dt;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& dt)
{
    if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
    dt = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec)
{
    TDateTime dt;
    if (!TryEncodeTime(hour, min, sec, msec, dt)) throw EConvertError("Invalid argument to time encode");
    return dt;
}

void DecodeDate(TDateTime dt, Word& year, Word& month, Word& day)
{
    long long days, msec;
    Split(dt, days, msec);
    DecodeDays(days, year, month, day);
}

void DecodeTime(TDateTime dt, Word& hour, Word& min, Word& sec, Word& msec)
{
    long long days, ms;
    Split(dt, days, ms);
    hour = static_cast<Word>(ms / 3600000);
    min = static_cast<Word>(ms / 60000 % 60);
    sec = static_cast<Word>(ms / 1000 % 60);
    msec = static_cast<Word>(ms % 1000);
}

int DayOfWeek(TDateTime dt)
{
    long long days, ms;
    Split(dt, days, ms);
    // 1 January 0001 (day 1) was a Monday.
    return static_cast<int>((days % 7 + 7) % 7) + 1;
}

TDateTime IncMonth(TDateTime dt, int months)
{
    Word y, m, d;
    DecodeDate(dt, y, m, d);
    long long total = static_cast<long long>(y) * 12 + (m - 1) + months;
    long long ny = total / 12;
    int nm = static_cast<int>(total % 12) + 1;
    if (ny < 1 || ny > 9999) throw EConvertError("Invalid argument to date encode");
    Word dim = DaysInAMonth(static_cast<Word>(ny), static_cast<Word>(nm));
    if (d > dim) d = dim;
    double frac = dt - std::trunc(dt);
    TDateTime r = EncodeDate(static_cast<Word>(ny), static_cast<Word>(nm), d);
    return r < 0 ? r - frac : r + std::fabs(frac);
}

void SetTestClock(TDateTime now) { gTestClock.store(now); }

TDateTime Now()
{
    double t = gTestClock.load();
    if (t != 0) return t;
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    time_t secs = static_cast<time_t>(ms / 1000);
    struct tm tm;
    ::localtime_r(&secs, &tm);
    TDateTime d = EncodeDate(static_cast<Word>(tm.tm_year + 1900), static_cast<Word>(tm.tm_mon + 1), static_cast<Word>(tm.tm_mday));
    return d + EncodeTime(static_cast<Word>(tm.tm_hour), static_cast<Word>(tm.tm_min), static_cast<Word>(tm.tm_sec > 59 ? 59 : tm.tm_sec),
                          static_cast<Word>(ms % 1000));
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time()
{
    TDateTime n = Now();
    return n - std::trunc(n);
}

Cardinal GetTickCount()
{
    struct timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Cardinal>(static_cast<unsigned long long>(ts.tv_sec) * 1000ULL + static_cast<unsigned long long>(ts.tv_nsec) / 1000000ULL);
}

// ---------------------------------------------------------------- text

AnsiString FormatDateTime(const AnsiString& fmt, TDateTime dt)
{
    Word year, month, day, hour, minute, sec, msec;
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, minute, sec, msec);
    const TFormatSettings& fs = FormatSettings;

    // Does an am/pm marker make hours 12-hour?
    bool twelve = false;
    {
        AnsiString u = AnsiUpperCase(fmt);
        char quote = 0;
        for (size_t i = 0; i < u.size(); ++i) {
            if (quote) { if (u[i] == quote) quote = 0; continue; }
            if (u[i] == '"' || u[i] == '\'') { quote = u[i]; continue; }
            if (u.compare(i, 5, "AM/PM") == 0 || u.compare(i, 3, "A/P") == 0 || u.compare(i, 4, "AMPM") == 0) {
                twelve = true;
                break;
            }
        }
    }

    AnsiString out;
    bool lastWasHour = false;
    auto run = [&fmt](size_t i, char lower) {
        size_t n = 0;
        while (i + n < fmt.size() && AnsiLowerChar(static_cast<unsigned char>(fmt[i + n])) == static_cast<unsigned char>(lower)) ++n;
        return n;
    };
    size_t i = 0;
    while (i < fmt.size()) {
        char c = fmt[i];
        char l = static_cast<char>(AnsiLowerChar(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\'') {
            size_t e = fmt.find(c, i + 1);
            if (e == AnsiString::npos) e = fmt.size();
            out += fmt.substr(i + 1, e - i - 1);
            i = e + 1;
            continue;
        }
        if (l == 'a') {
            AnsiString rest = AnsiLowerCase(fmt.substr(i, 5));
            if (rest == "am/pm") {
                bool upper = fmt[i] == 'A';
                out += hour >= 12 ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
                i += 5;
                continue;
            }
            if (rest.compare(0, 3, "a/p") == 0) {
                bool upper = fmt[i] == 'A';
                out += hour >= 12 ? (upper ? "P" : "p") : (upper ? "A" : "a");
                i += 3;
                continue;
            }
            if (rest.compare(0, 4, "ampm") == 0) {
                out += hour >= 12 ? fs.TimePMString : fs.TimeAMString;
                i += 4;
                continue;
            }
        }
        switch (l) {
        case 'd': {
            size_t n = run(i, 'd');
            i += n;
            if (n == 1) out += std::to_string(day);
            else if (n == 2) out += Pad2(day);
            else if (n == 3) out += fs.ShortDayNames[DayOfWeek(dt) - 1];
            else if (n == 4) out += fs.LongDayNames[DayOfWeek(dt) - 1];
            else if (n == 5) out += FormatDateTime(fs.ShortDateFormat, dt);
            else out += FormatDateTime(fs.LongDateFormat, dt);
            lastWasHour = false;
            continue;
        }
        case 'm': {
            size_t n = run(i, 'm');
            i += n;
            if (lastWasHour && n <= 2) {   // after an hour "m" is the minute
                out += n == 1 ? std::to_string(minute) : Pad2(minute);
            } else if (n == 1) out += std::to_string(month);
            else if (n == 2) out += Pad2(month);
            else if (n == 3) out += month ? fs.ShortMonthNames[month - 1] : "";
            else out += month ? fs.LongMonthNames[month - 1] : "";
            lastWasHour = false;
            continue;
        }
        case 'y': {
            size_t n = run(i, 'y');
            i += n;
            if (n <= 2) out += Pad2(year % 100);
            else {
                AnsiString y = std::to_string(year);
                while (y.size() < 4) y = "0" + y;
                out += y;
            }
            lastWasHour = false;
            continue;
        }
        case 'h': {
            size_t n = run(i, 'h');
            i += n;
            int h = hour;
            if (twelve) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            out += n == 1 ? std::to_string(h) : Pad2(h);
            lastWasHour = true;
            continue;
        }
        case 'n': {
            size_t n = run(i, 'n');
            i += n;
            out += n == 1 ? std::to_string(minute) : Pad2(minute);
            lastWasHour = false;
            continue;
        }
        case 's': {
            size_t n = run(i, 's');
            i += n;
            out += n == 1 ? std::to_string(sec) : Pad2(sec);
            lastWasHour = false;
            continue;
        }
        case 'z': {
            size_t n = run(i, 'z');
            i += n;
            AnsiString z = std::to_string(msec);
            if (n >= 3) while (z.size() < 3) z = "0" + z;
            out += z;
            lastWasHour = false;
            continue;
        }
        case 't': {
            size_t n = run(i, 't');
            i += n;
            out += FormatDateTime(n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt);
            lastWasHour = false;
            continue;
        }
        case 'c': {
            ++i;
            out += FormatDateTime(fs.ShortDateFormat, dt);
            if (dt - std::trunc(dt) != 0) out += " " + FormatDateTime(fs.LongTimeFormat, dt);
            lastWasHour = false;
            continue;
        }
        default:
            break;
        }
        if (c == '/') out += fs.DateSeparator;
        else if (c == ':') out += fs.TimeSeparator;
        else out += c;
        ++i;
    }
    return out;
}

AnsiString DateToStr(TDateTime dt) { return FormatDateTime("ddddd", dt); }
AnsiString TimeToStr(TDateTime dt) { return FormatDateTime("tt", dt); }
AnsiString DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

bool TryStrToDate(const AnsiString& s, TDateTime& dt)
{
    size_t i = 0;
    TDateTime d;
    if (!ScanDate(s, i, d) || !AtEnd(s, i)) return false;
    dt = d;
    return true;
}

bool TryStrToTime(const AnsiString& s, TDateTime& dt)
{
    size_t i = 0;
    TDateTime t;
    if (!ScanTime(s, i, t) || !AtEnd(s, i)) return false;
    dt = t;
    return true;
}

bool TryStrToDateTime(const AnsiString& s, TDateTime& dt)
{
    size_t i = 0;
    TDateTime d, t = 0;
    if (!ScanDate(s, i, d)) {
        // A time alone is a time on day 0.
        return TryStrToTime(s, dt);
    }
    if (!AtEnd(s, i) && !(ScanTime(s, i, t) && AtEnd(s, i))) return false;
    dt = d < 0 ? d - t : d + t;
    return true;
}

TDateTime StrToDate(const AnsiString& s)
{
    TDateTime dt;
    if (!TryStrToDate(s, dt)) throw EConvertError("'" + s + "' is not a valid date");
    return dt;
}

TDateTime StrToTime(const AnsiString& s)
{
    TDateTime dt;
    if (!TryStrToTime(s, dt)) throw EConvertError("'" + s + "' is not a valid time");
    return dt;
}

TDateTime StrToDateTime(const AnsiString& s)
{
    TDateTime dt;
    if (!TryStrToDateTime(s, dt)) throw EConvertError("'" + s + "' is not a valid date and time");
    return dt;
}
