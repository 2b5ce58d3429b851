// Floating-point conversion, Format and FormatFloat.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/core/SysUtils.h"

namespace {

// A decimal number d.ddd x 10^exp, digits without a sign.
struct Decimal {
    bool negative = false;
    std::string digits = "0";
    int exp = 0;
    bool IsZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

void RoundToDigits(struct Decimal& d, int keep);

// The value with 48 significant digits: as exact as the rounding that
// follows needs.
Decimal ExactDecimal(double v)
{
    Decimal d;
    d.negative = std::signbit(v) && v != 0;
    char buf[96];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 47);
    std::string s(buf, res.ptr);
    size_t e = s.find('e');
    d.digits.clear();
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') d.digits += s[i];
    d.exp = std::atoi(s.c_str() + e + 1);
    if (d.IsZero()) {
        d.digits = "0";
        d.exp = 0;
    }
    return d;
}

// The value rounded half away from zero to `sig` significant digits.
Decimal ToDecimal(double v, int sig)
{
    Decimal d = ExactDecimal(v);
    RoundToDigits(d, sig < 1 ? 1 : sig);
    return d;
}

void StripTrailingZeros(Decimal& d)
{
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
}

// Rounds half up so that `keep` digits remain (keep may be 0 or negative).
void RoundToDigits(Decimal& d, int keep)
{
    if (keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits = "0";
        d.exp = 0;
        return;
    }
    bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            if (d.digits[static_cast<size_t>(i)] == '9') {
                d.digits[static_cast<size_t>(i)] = '0';
            } else {
                ++d.digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exp;
        }
    }
    if (d.digits.empty()) {
        d.digits = "0";
        d.exp = 0;
    }
}

// Rounds to `frac` digits after the decimal point.
void RoundToFraction(Decimal& d, int frac) { RoundToDigits(d, d.exp + 1 + frac); }

AnsiString IntegerPart(const Decimal& d)
{
    if (d.exp < 0 || d.IsZero()) return "0";
    AnsiString s;
    for (int i = 0; i <= d.exp; ++i) s += i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0';
    size_t nz = s.find_first_not_of('0');
    return nz == AnsiString::npos ? AnsiString("0") : s.substr(nz);
}

AnsiString FractionPart(const Decimal& d, int frac)
{
    AnsiString s;
    for (int j = 1; j <= frac; ++j) {
        int idx = d.exp + j;
        s += idx >= 0 && idx < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(idx)] : '0';
    }
    return s;
}

AnsiString Group(const AnsiString& intPart, char sep)
{
    AnsiString r;
    const size_t n = intPart.size();
    for (size_t i = 0; i < n; ++i) {
        r += intPart[i];
        size_t left = n - 1 - i;
        if (left > 0 && left % 3 == 0) r += sep;
    }
    return r;
}

AnsiString Exponent(int exp, int minDigits, bool plusSign)
{
    AnsiString s = std::to_string(exp < 0 ? -exp : exp);
    if (minDigits > 4) minDigits = 4;
    if (static_cast<int>(s.size()) < minDigits) s.insert(0, static_cast<size_t>(minDigits) - s.size(), '0');
    return AnsiString("E") + (exp < 0 ? "-" : plusSign ? "+" : "") + s;
}

AnsiString Special(double v)
{
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

AnsiString GeneralScientific(const Decimal& d, int expDigits)
{
    AnsiString s = d.negative ? "-" : "";
    s += d.digits[0];
    if (d.digits.size() > 1) {
        s += FormatSettings.DecimalSeparator;
        s += d.digits.substr(1);
    }
    return s + Exponent(d.exp, expDigits, false);
}

AnsiString FixedText(double v, int precision, int digits, bool thousands)
{
    Decimal d = ToDecimal(v, precision);
    if (d.exp >= precision) {
        StripTrailingZeros(d);
        return GeneralScientific(d, 0);
    }
    if (digits < 0) digits = 0;
    if (digits > 18) digits = 18;
    // One rounding: to the precision or to the decimals, whichever is fewer.
    d = ExactDecimal(v);
    RoundToDigits(d, std::min(precision, d.exp + 1 + digits));
    AnsiString ip = IntegerPart(d);
    AnsiString fp = FractionPart(d, digits);
    AnsiString s = (d.negative && !d.IsZero()) ? "-" : "";
    s += thousands ? Group(ip, FormatSettings.ThousandSeparator) : ip;
    if (digits > 0) {
        s += FormatSettings.DecimalSeparator;
        s += fp;
    }
    return s;
}

}   // namespace

AnsiString FloatToStrF(double v, TFloatFormat fmt, int precision, int digits)
{
    if (!std::isfinite(v)) return Special(v);
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    switch (fmt) {
    case ffGeneral: {
        Decimal d = ToDecimal(v, precision);
        StripTrailingZeros(d);
        if (d.IsZero()) return "0";
        if (d.exp >= precision || d.exp < -4) return GeneralScientific(d, digits);
        AnsiString s = d.negative ? "-" : "";
        s += IntegerPart(d);
        int frac = static_cast<int>(d.digits.size()) - 1 - d.exp;
        if (frac > 0) {
            s += FormatSettings.DecimalSeparator;
            s += FractionPart(d, frac);
        }
        return s;
    }
    case ffExponent: {
        Decimal d = ToDecimal(v, precision);
        AnsiString s = d.negative ? "-" : "";
        s += d.digits[0];
        if (precision > 1) {
            s += FormatSettings.DecimalSeparator;
            AnsiString rest = d.digits.substr(1);
            rest.resize(static_cast<size_t>(precision - 1), '0');
            s += rest;
        }
        return s + Exponent(d.exp, digits, true);
    }
    case ffFixed:
        return FixedText(v, precision, digits, false);
    case ffNumber:
        return FixedText(v, precision, digits, true);
    case ffCurrency: {
        AnsiString s = FixedText(std::fabs(v), precision, digits, true);
        bool negative = v < 0 && s.find_first_of("123456789") != AnsiString::npos;
        return (negative ? "-" : "") + s + " " + FormatSettings.CurrencyString;
    }
    }
    return AnsiString();
}

AnsiString FloatToStr(double v) { return FloatToStrF(v, ffGeneral, 15, 0); }

bool TryStrToFloat(const AnsiString& s, double& v)
{
    size_t i = 0, n = s.size();
    while (i < n && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    while (n > i && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
    std::string c;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') c += '-';
        ++i;
    }
    int digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') { c += s[i++]; ++digits; }
    if (i < n && s[i] == FormatSettings.DecimalSeparator) {
        c += '.';
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') { c += s[i++]; ++digits; }
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) c += s[i++];
        int ed = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') { c += s[i++]; ++ed; }
        if (ed == 0) return false;
    }
    if (i != n) return false;
    double r = 0;
    auto res = std::from_chars(c.data(), c.data() + c.size(), r);
    if (res.ec != std::errc() || res.ptr != c.data() + c.size() || !std::isfinite(r)) return false;
    v = r;
    return true;
}

double StrToFloat(const AnsiString& s)
{
    double v;
    if (!TryStrToFloat(s, v)) throw EConvertError("'" + s + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(const AnsiString& s, double def)
{
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

// ---------------------------------------------------------------- Format

AnsiString Format(const AnsiString& fmt, std::initializer_list<TVarRec> args)
{
    const TVarRec* argv = args.begin();
    const int argc = static_cast<int>(args.size());
    auto invalid = [&fmt]() { return EConvertError("Format '" + fmt + "' invalid or incompatible with argument"); };
    int next = 0;
    auto take = [&](int index) -> const TVarRec& {
        if (index < 0 || index >= argc) throw EConvertError("No argument for format '" + fmt + "'");
        return argv[index];
    };
    auto intArg = [&](const TVarRec& a) -> Int64 {
        if (auto p = std::get_if<Int64>(&a.v)) return *p;
        throw invalid();
    };
    auto number = [&](size_t& i, int& out) -> bool {   // digits or "*"; false when absent
        if (i < fmt.size() && fmt[i] == '*') {
            Int64 w = intArg(take(next++));
            out = static_cast<int>(w);
            ++i;
            return true;
        }
        if (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
            long long w = 0;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
                w = w * 10 + (fmt[i++] - '0');
                if (w > 100000) throw invalid();
            }
            out = static_cast<int>(w);
            return true;
        }
        return false;
    };

    AnsiString out;
    size_t i = 0;
    while (i < fmt.size()) {
        char c = fmt[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < fmt.size() && fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        int first = 0;
        bool hasFirst = number(i, first);
        if (hasFirst && i < fmt.size() && fmt[i] == ':') {
            ++i;
            next = first;
            hasFirst = false;
        }
        bool left = false;
        if (i < fmt.size() && fmt[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0;
        if (hasFirst) width = first;
        else number(i, width);
        int prec = -1;
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            prec = 0;
            if (!number(i, prec)) prec = 0;
        }
        if (i >= fmt.size()) throw invalid();
        char type = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[i++])));
        AnsiString text;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            Int64 v = intArg(take(next++));
            bool neg = false;
            AnsiString digits;
            if (type == 'x') {
                digits = IntToHex(v, 0);
            } else if (type == 'u') {
                unsigned long long u = (v < 0 && v >= INT32_MIN) ? static_cast<std::uint32_t>(v)
                                                                 : static_cast<unsigned long long>(v);
                digits = std::to_string(u);
            } else {
                neg = v < 0;
                digits = std::to_string(v);
                if (neg) digits.erase(0, 1);
            }
            if (prec > 0 && static_cast<int>(digits.size()) < prec)
                digits.insert(0, static_cast<size_t>(prec) - digits.size(), '0');
            text = (neg ? "-" : "") + digits;
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            const TVarRec& a = take(next++);
            double v;
            if (auto p = std::get_if<double>(&a.v)) v = *p;
            else if (auto q = std::get_if<Int64>(&a.v)) v = static_cast<double>(*q);
            else throw invalid();
            switch (type) {
            case 'e': text = FloatToStrF(v, ffExponent, prec < 0 ? 15 : prec, 3); break;
            case 'f': text = FloatToStrF(v, ffFixed, 17, prec < 0 ? 2 : prec); break;
            case 'g': text = FloatToStrF(v, ffGeneral, prec < 0 ? 15 : prec, 3); break;
            case 'n': text = FloatToStrF(v, ffNumber, 17, prec < 0 ? 2 : prec); break;
            default: text = FloatToStrF(v, ffCurrency, 17, prec < 0 ? FormatSettings.CurrencyDecimals : prec); break;
            }
            break;
        }
        case 's': {
            const TVarRec& a = take(next++);
            auto p = std::get_if<AnsiString>(&a.v);
            if (!p) throw invalid();
            text = prec >= 0 && static_cast<size_t>(prec) < p->size() ? p->substr(0, static_cast<size_t>(prec)) : *p;
            break;
        }
        case 'p': {
            const TVarRec& a = take(next++);
            auto p = std::get_if<const void*>(&a.v);
            if (!p) throw invalid();
            text = IntToHex(static_cast<Int64>(reinterpret_cast<std::uintptr_t>(*p)), 2 * static_cast<int>(sizeof(void*)));
            break;
        }
        default:
            throw invalid();
        }
        if (static_cast<int>(text.size()) < width) {
            AnsiString pad(static_cast<size_t>(width) - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

// ---------------------------------------------------------------- FormatFloat

namespace {

struct Section {
    AnsiString text;
    int intPlaces = 0;       // "0" and "#" before the decimal point
    int firstIntZero = -1;   // index of the first "0" among them
    int fracPlaces = 0;
    int fracZeros = 0;       // minimum fraction digits (up to the last "0")
    bool thousands = false;
    bool scientific = false;
    int expDigits = 0;
};

// Splits a format at ";" outside quotes.
std::vector<AnsiString> SplitSections(const AnsiString& fmt)
{
    std::vector<AnsiString> parts(1);
    char quote = 0;
    for (char c : fmt) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            parts.emplace_back();
            continue;
        }
        parts.back() += c;
    }
    return parts;
}

Section Analyse(const AnsiString& text)
{
    Section s;
    s.text = text;
    bool afterPoint = false;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if ((c == 'E' || c == 'e') && !s.scientific && i + 1 < text.size() &&
                   (text[i + 1] == '+' || text[i + 1] == '-')) {
            s.scientific = true;
            i += 2;
            while (i < text.size() && text[i] == '0') {
                ++s.expDigits;
                ++i;
            }
            --i;
        } else if (s.scientific) {
            continue;
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            s.thousands = true;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                ++s.fracPlaces;
                if (c == '0') s.fracZeros = s.fracPlaces;
            } else {
                if (c == '0' && s.firstIntZero < 0) s.firstIntZero = s.intPlaces;
                ++s.intPlaces;
            }
        }
    }
    return s;
}

}   // namespace

AnsiString FormatFloat(const AnsiString& fmt, double v)
{
    if (!std::isfinite(v)) return Special(v);
    if (fmt.empty()) return FloatToStr(v);
    std::vector<AnsiString> parts = SplitSections(fmt);
    size_t idx = 0;
    if (v < 0 && parts.size() >= 2 && !parts[1].empty()) idx = 1;
    else if (v == 0 && parts.size() >= 3 && !parts[2].empty()) idx = 2;
    const bool signInFormat = idx == 1;

    auto render = [&](const Section& s, bool& zeroResult) {
        Decimal d = ToDecimal(v, 15);
        AnsiString intDigits, fracDigits;
        int shownExp = 0;
        if (s.scientific) {
            int k = s.intPlaces > 0 ? s.intPlaces : 1;
            if (!d.IsZero()) {
                RoundToDigits(d, k + s.fracPlaces);
                shownExp = d.exp - (k - 1);
            }
            AnsiString all = d.digits;
            if (d.IsZero()) all = "0";
            all.resize(static_cast<size_t>(k + s.fracPlaces), '0');
            intDigits = all.substr(0, static_cast<size_t>(k));
            size_t nz = intDigits.find_first_not_of('0');
            intDigits = nz == AnsiString::npos ? AnsiString() : intDigits.substr(nz);
            fracDigits = all.substr(static_cast<size_t>(k));
        } else {
            RoundToFraction(d, s.fracPlaces);
            intDigits = IntegerPart(d);
            if (intDigits == "0") intDigits.clear();
            fracDigits = FractionPart(d, s.fracPlaces);
        }
        while (static_cast<int>(fracDigits.size()) > s.fracZeros && !fracDigits.empty() && fracDigits.back() == '0')
            fracDigits.pop_back();
        zeroResult = intDigits.find_first_not_of('0') == AnsiString::npos &&
                     fracDigits.find_first_not_of('0') == AnsiString::npos;
        int minInt = s.firstIntZero < 0 ? 0 : s.intPlaces - s.firstIntZero;
        if (static_cast<int>(intDigits.size()) < minInt)
            intDigits.insert(0, static_cast<size_t>(minInt) - intDigits.size(), '0');

        AnsiString out;
        const int n = static_cast<int>(intDigits.size());
        int intPlace = 0, fracPlace = 0;
        bool afterPoint = false, pointDone = false;
        char quote = 0;
        const AnsiString grouped = s.thousands ? Group(intDigits, FormatSettings.ThousandSeparator) : intDigits;
        for (size_t i = 0; i < s.text.size(); ++i) {
            char c = s.text[i];
            if (quote) {
                if (c == quote) quote = 0;
                else out += c;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if ((c == 'E' || c == 'e') && s.scientific && i + 1 < s.text.size() &&
                       (s.text[i + 1] == '+' || s.text[i + 1] == '-')) {
                AnsiString e = Exponent(shownExp, s.expDigits, s.text[i + 1] == '+');
                e[0] = c;
                out += e;
                i += 2;
                while (i < s.text.size() && s.text[i] == '0') ++i;
                --i;
            } else if (c == '.' && !pointDone) {
                pointDone = afterPoint = true;
                if (s.intPlaces == 0) out += grouped;
                if (!fracDigits.empty()) out += FormatSettings.DecimalSeparator;
            } else if (c == ',') {
                // thousand separators are placed with the digits
            } else if (c == '0' || c == '#') {
                if (afterPoint) {
                    if (fracPlace < static_cast<int>(fracDigits.size())) out += fracDigits[static_cast<size_t>(fracPlace)];
                    ++fracPlace;
                } else if (s.thousands) {
                    if (intPlace == 0) out += grouped;
                    ++intPlace;
                } else {
                    // Digits are right-aligned on the placeholders; the first takes any surplus.
                    int offset = s.intPlaces - n;   // placeholders without a digit
                    if (intPlace == 0 && offset < 0) out += intDigits.substr(0, static_cast<size_t>(-offset + 1));
                    else if (intPlace >= offset) out += intDigits[static_cast<size_t>(intPlace - offset)];
                    ++intPlace;
                }
            } else {
                out += c;
            }
        }
        if (s.intPlaces == 0 && !pointDone) out = grouped + out;
        return out;
    };

    Section sec = Analyse(parts[idx]);
    bool zero = false;
    AnsiString text = render(sec, zero);
    if (zero && idx == 0 && v != 0 && parts.size() >= 3 && !parts[2].empty()) {
        Section zs = Analyse(parts[2]);
        return render(zs, zero);
    }
    if (v < 0 && !signInFormat && !zero) text = "-" + text;
    return text;
}
