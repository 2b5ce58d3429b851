#pragma once
// Hostile input for the parsers: a small seeded mutation engine over sample inputs and a runner
// that feeds a fixed number of mutated cases to a parser. Everything follows from the seed, so a
// failing case is found again by its number. The engine's mutations: truncation, bit flips, a span
// repeated many times, one huge field, bytes Windows-1250 does not define (and NUL), tokens that
// break numbers and delimiters, a span removed, a span of another sample spliced in, the line
// ends turned into CR-only or LF-only lines, a number of the sample replaced by a huge one (so
// that every numeric field of a format meets the limits of its type), a line of thousands of
// separators before thousands of short lines, a long run of letters without a blank, an element
// of the sample nested thousands deep, up to a megabyte of blanks (a part that unpacks far beyond
// its packed size), thousands of closing tags, and thousands of lines each with a key of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/SysUtils.h"
#include "tests/common/Bounds.h"

// Text repeated Times times.
inline std::string Repeated(const std::string& Text, std::size_t Times)
{
    std::string r;
    r.reserve(Text.size() * Times);
    for (; Times > 0; --Times)
        r += Text;
    return r;
}

class TMutator {
public:
    explicit TMutator(std::uint64_t Seed) : FState(Seed) {}

    // 0 .. N - 1 (N > 0).
    std::size_t Below(std::size_t N) { return static_cast<std::size_t>(Next() % N); }

    // One to four mutations of Sample; Others feeds the splicing.
    std::string Mutate(const std::string& Sample, const std::vector<std::string>& Others)
    {
        std::string s = Sample;
        const int n = 1 + static_cast<int>(Below(4));
        for (int i = 0; i < n; ++i)
            MutateOnce(s, Others);
        return s;
    }

    // The size of the huge field: beyond 16-bit lengths and counters.
    static constexpr std::size_t HugeField = 70000;

private:
    std::uint64_t FState;

    // splitmix64: the same numbers on every machine and library.
    std::uint64_t Next()
    {
        std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    std::size_t Pos(const std::string& s) { return Below(s.size() + 1); }

    // The name of an element of s picked at random ("w:p" of "<w:p>"), else Default.
    std::string ElementName(const std::string& s, const char* Default)
    {
        std::vector<std::size_t> starts;
        for (std::size_t i = s.find('<'); i != std::string::npos && starts.size() < 4096; i = s.find('<', i + 1))
            if (i + 1 < s.size() && (std::isalpha(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '_'))
                starts.push_back(i + 1);
        if (starts.empty())
            return Default;
        const std::size_t a = starts[Below(starts.size())];
        std::size_t b = a;
        while (b < s.size() && b - a < 64 && !std::isspace(static_cast<unsigned char>(s[b])) && s[b] != '>' &&
               s[b] != '/')
            ++b;
        return s.substr(a, b - a);
    }

    void MutateOnce(std::string& s, const std::vector<std::string>& Others)
    {
        static const char* const Tokens[] = {
            "-1", "0", "65535", "65536", "2147483647", "2147483648", "-2147483649", "4294967296",
            "99999999999999999999", "1e308", "-1e308", "NaN", "inf", "0x", "$", "%", "%s%n", "\"", "\"\"",
            "'", "<", ">", "</", "<>", "&", "&#", "&#99999999;", "|", "||", "\t", "[", "]", "=", "==", "{",
            "}", "\\", "\\\\", ";", ",", ".", ":", "/", "*", "?", "\r", "\n", "\r\n", "\n\r", "\x00", "\xFF"};
        static const unsigned char Undefined[] = {0x81, 0x83, 0x88, 0x90, 0x98, 0x00, 0xFF};
        switch (Below(19)) {
        case 0:   // truncation
            s.resize(Below(s.size() + 1));
            break;
        case 1:   // bit flips
        case 2:
            if (!s.empty())
                for (std::size_t k = 1 + Below(8); k > 0; --k)
                    s[Below(s.size())] ^= static_cast<char>(1u << Below(8));
            break;
        case 3: {   // a span repeated
            if (s.empty())
                break;
            std::size_t a = Below(s.size()), len = 1 + Below(std::min<std::size_t>(64, s.size() - a));
            std::string span = s.substr(a, len), rep;
            for (std::size_t k = 2 + Below(200); k > 0; --k)
                rep += span;
            s.insert(a, rep);
            break;
        }
        case 4: {   // one huge field (rarely: it is slow to feed)
            if (Below(4) != 0)
                break;
            static const char Fill[] = {'A', '9', '|', '\t', '"', '<', '{', ' ', ',', '\xB9', '\0'};
            s.insert(Pos(s), std::string(HugeField, Fill[Below(sizeof Fill)]));
            break;
        }
        case 5:   // undefined Windows-1250 bytes, inserted or overwritten
            for (std::size_t k = 1 + Below(4); k > 0; --k) {
                char c = static_cast<char>(Undefined[Below(sizeof Undefined)]);
                if (!s.empty() && Below(2))
                    s[Below(s.size())] = c;
                else
                    s.insert(Pos(s), 1, c);
            }
            break;
        case 6:
        case 7: {   // a token
            std::string t = Tokens[Below(sizeof Tokens / sizeof *Tokens)];
            if (t.empty())
                t.assign(1, '\0');
            s.insert(Pos(s), t);
            break;
        }
        case 8: {   // a span removed
            if (s.empty())
                break;
            std::size_t a = Below(s.size());
            s.erase(a, 1 + Below(s.size() - a));
            break;
        }
        case 9: {   // a span of another sample spliced in
            if (Others.empty())
                break;
            const std::string& o = Others[Below(Others.size())];
            if (o.empty())
                break;
            std::size_t a = Below(o.size());
            s.insert(Pos(s), o.substr(a, 1 + Below(o.size() - a)));
            break;
        }
        case 10:   // CR-only lines
        case 11: {   // LF-only lines
            const char end = Below(2) ? '\r' : '\n';
            std::string out;
            for (std::size_t i = 0; i < s.size(); ++i) {
                if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                    ++i;
                out += (s[i] == '\r' || s[i] == '\n') ? end : s[i];
            }
            s = out;
            break;
        }
        case 12: {   // a number of the sample replaced by a huge one
            static const char* const Huge[] = {"2147483647", "-2147483648", "2147483648", "4294967295",
                                               "99999999999", "-99999999999999999999", "9223372036854775808"};
            std::vector<std::size_t> starts;
            for (std::size_t i = 0; i < s.size(); ++i)
                if (s[i] >= '0' && s[i] <= '9' && (i == 0 || s[i - 1] < '0' || s[i - 1] > '9'))
                    starts.push_back(i);
            if (starts.empty())
                break;
            std::size_t a = starts[Below(starts.size())], b = a;
            while (b < s.size() && s[b] >= '0' && s[b] <= '9')
                ++b;
            s.replace(a, b - a, Huge[Below(sizeof Huge / sizeof *Huge)]);
            break;
        }
        case 13: {   // a line of many separators, then many short lines
            static const char Seps[] = {'\t', ',', ';', '|', '#', ':', '\\', '&'};
            std::string block(1000 + Below(4000), Seps[Below(sizeof Seps)]);
            for (std::size_t k = Below(4000); k > 0; --k)
                block += "\r\na";
            s.insert(Pos(s), block + "\r\n");
            break;
        }
        case 14: {   // a long run of letters without a blank
            static const char Letters[] = {'x', 'W', '\xB9', '-', '_'};
            s.insert(Pos(s), std::string(10000 + Below(50000), Letters[Below(sizeof Letters)]));
            break;
        }
        case 15: {   // an element of the sample nested thousands deep around a span
            const std::string name = ElementName(s, "a");
            const std::size_t depth = 1000 + Below(20000), a = Pos(s), b = a + Below(s.size() - a + 1);
            s.insert(b, Repeated("</" + name + ">", depth));
            s.insert(a, Repeated("<" + name + ">", depth));
            break;
        }
        case 16:   // up to a megabyte of blanks (rarely: they are slow to feed)
            if (Below(3) == 0)
                s.insert(Pos(s), std::string((std::size_t(1) << 18) + Below(std::size_t(3) << 18),
                                             Below(2) ? ' ' : '\n'));
            break;
        case 17: {   // thousands of closing tags
            static const char* const Names[] = {"b", "font", "i", "u", "p", "a", "sub", "z", nullptr};
            const char* name = Names[Below(sizeof Names / sizeof *Names)];
            const std::string tag = "</" + (name ? std::string(name) : ElementName(s, "b")) + ">";
            s.insert(Pos(s), Repeated(tag, 1000 + Below(40000)));
            break;
        }
        case 18: {   // thousands of lines, each with a key of its own
            static const char Seps[] = {'\t', ';', ',', '=', '|'};
            const char sep = Seps[Below(sizeof Seps)];
            std::string block;
            for (std::size_t k = 1000 + Below(2000); k > 0; --k)
                block += "k" + std::to_string(k) + sep + "v\r\n";
            s.insert(Pos(s), block);
            break;
        }
        }
    }
};

// What a run saw: the cases fed and how many the parser refused with a message.
struct TFuzzRun {
    int Cases = 0;
    int Refused = 0;
};

// Seconds a case's own thread may run before the case counts as a hang (generous: the sanitizer
// build is slow).
constexpr double FuzzCaseLimitSeconds = 10.0;

// The text of a case for the failure message: its first bytes, escaped.
inline std::string FuzzCaseText(const std::string& Case)
{
    std::string out;
    for (std::size_t i = 0; i < Case.size() && i < 160; ++i) {
        unsigned char c = static_cast<unsigned char>(Case[i]);
        char buf[8];
        if (c >= 0x20 && c < 0x7F && c != '\\')
            out += static_cast<char>(c);
        else {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    if (Case.size() > 160)
        out += "... (" + std::to_string(Case.size()) + " bytes)";
    return out;
}

// Feeds Parse the samples themselves and then Count mutated cases. A case may be refused by an
// Exception with a message; an empty message, any other exception or a case slower than the
// limit fails the test with the case's number and bytes. Parse may also return false to refuse
// (it reported the refusal through the program's own channel, a message box).
inline TFuzzRun FuzzParser(const char* Name, const std::vector<std::string>& Samples, int Count,
                           std::uint64_t Seed, const std::function<bool(const std::string&)>& Parse)
{
    TFuzzRun run;
    TMutator m(Seed);
    // VELMAROK_FUZZ_SCALE=N runs N times the cases (the same first ones, then more), for a deeper
    // search by hand; the suite runs the fixed number.
    if (const char* scale = std::getenv("VELMAROK_FUZZ_SCALE"); scale && std::atoi(scale) > 1)
        Count *= std::atoi(scale);
    const int total = static_cast<int>(Samples.size()) + Count;
    for (int i = 0; i < total; ++i) {
        const std::string input = i < static_cast<int>(Samples.size())
                                      ? Samples[static_cast<std::size_t>(i)]
                                      : m.Mutate(Samples[m.Below(Samples.size())], Samples);
        const double start = ThreadUserSeconds();
        std::string fault;
        try {
            if (!Parse(input))
                ++run.Refused;
        } catch (const Exception& e) {
            ++run.Refused;
            if (e.Message().empty())
                fault = "refused without a message";
        } catch (const std::bad_alloc&) {
            fault = "std::bad_alloc (a size taken from the input?)";
        } catch (const std::exception& e) {
            fault = std::string("std::exception: ") + e.what();
        } catch (...) {
            fault = "an unknown exception";
        }
        const double took = ThreadUserSeconds() - start;
        if (took > 0.2)
            std::printf("[   FUZZ   ] %s case %d: %.2f s, %zu bytes\n", Name, i, took, input.size());
        if (took > FuzzCaseLimitSeconds)
            fault = "took " + std::to_string(took) + " s";
        ++run.Cases;
        if (!fault.empty()) {
            ADD_FAILURE() << Name << " case " << i << " (seed " << Seed << "): " << fault << "\n  input: \""
                          << FuzzCaseText(input) << "\"";
            break;
        }
    }
    std::printf("[   FUZZ   ] %s: %d cases, %d refused\n", Name, run.Cases, run.Refused);
    return run;
}
