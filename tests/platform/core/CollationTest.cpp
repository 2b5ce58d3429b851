#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

TEST(Collation, PolishWordSort)
{
    // expected sign of compare(a, b) for the Str (case matters) and Text variants
    struct Case { const char* a; const char* b; int str; int text; } cases[] = {
        {"a", "ą", -1, -1},          {"ą", "b", -1, -1},        {"l", "ł", -1, -1},
        {"łza", "ma", -1, -1},       {"lz", "ła", -1, -1},      {"c", "ć", -1, -1},
        {"ćma", "dom", -1, -1},      {"o", "ó", -1, -1},        {"ó", "p", -1, -1},
        {"s", "ś", -1, -1},          {"śruba", "tarcza", -1, -1}, {"z", "ź", -1, -1},
        {"ź", "ż", -1, -1},          {"Żuraw", "zawór", 1, 1},  {"n", "ń", -1, -1},
        {"e", "ę", -1, -1},          {"Armatura", "Zawory", -1, -1}, {"armatura", "Zawory", -1, -1},
        {"Zawory", "armatura", 1, 1}, {"a", "A", -1, 0},         {"ą", "Ą", -1, 0},
        {"Ab", "ab", 1, 0},          {"Ab", "ac", -1, -1},      {"10", "9", -1, -1},
        {"9", "a", -1, -1},          {"!", "0", -1, -1},        {" x", "x", -1, -1},
        {"PN-EN", "PNEN", 1, 1},     {"PN-EN 1", "PNEN 2", -1, -1}, {"co-op", "coop", 1, 1},
        {"", "a", -1, -1},           {"abc", "abc", 0, 0},      {"abc", "ab", 1, 1},
        {"á", "a", 1, 1},            {"á", "b", -1, -1},        {"š", "ś", -1, -1},
        {"Ö", "óa", -1, -1},         {"ŁÓDŹ", "łódź", 1, 0},    {"zażółć", "ZAŻÓŁĆ", -1, 0},
    };
    auto sign = [](int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
    for (auto& c : cases) {
        EXPECT_EQ(AnsiCompareStr(c.a, c.b), c.str) << c.a << " / " << c.b;
        EXPECT_EQ(AnsiCompareText(c.a, c.b), c.text) << c.a << " / " << c.b;
        EXPECT_EQ(AnsiCompareStr(c.b, c.a), -c.str) << c.b << " / " << c.a;
        EXPECT_EQ(sign(CollateWide(AnsiToWide(c.a), AnsiToWide(c.b), false)), c.str) << c.a << " / " << c.b;
        EXPECT_EQ(sign(CollateWide(AnsiToWide(c.a), AnsiToWide(c.b), true)), c.text) << c.a << " / " << c.b;
    }
}

TEST(Collation, LevelOfTheDifference)
{
    // Equal in the letters, the hyphen only breaks the tie.
    EXPECT_EQ(CollateAnsi("PN-EN", "PNEN", true), 1);
    EXPECT_EQ(CollateAnsi("PNEN", "PN-EN", false), -1);
    EXPECT_EQ(CollateAnsi("it's", "its", true), 1);
    EXPECT_EQ(CollateAnsi("a", "A", false), -2);
    EXPECT_EQ(CollateAnsi("a", "á", true), -3);
    EXPECT_EQ(CollateAnsi("a", "ą", true), -4);
    EXPECT_EQ(CollateAnsi("ab", "AB", true), 0);
}

TEST(Collation, SortsAListLikeThePlatform)
{
    std::vector<AnsiString> v = {"żuraw", "Zawór", "źródło", "łącznik", "Lutowie", "ćwierć", "Cynk",
                                 "ąb", "Ab", "10", "9", "-minus", "Ósemka", "Obejma", "śruba", "Sito"};
    std::sort(v.begin(), v.end(), [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; });
    std::vector<AnsiString> expected = {"10", "9", "Ab", "ąb", "Cynk", "ćwierć", "Lutowie", "łącznik", "-minus",
                                        "Obejma", "Ósemka", "Sito", "śruba", "Zawór", "źródło", "żuraw"};
    EXPECT_EQ(v, expected);
}

// Keys order as the word sort does, on random texts built from the
// characters that decide each of its levels (letters of both cases with and
// without accents, digits, punctuation and the ignored "-" and "'").
TEST(Collation, KeysOrderAsTheWordSort)
{
    const std::string alphabet = "aAąĄbBlLłŁoOóÓzZżŻźŹ09 .,-'";
    std::mt19937 rng(7);
    std::vector<AnsiString> texts = {"", "-", "'", "a-", "-a", "a'b", "ab"};
    for (int i = 0; i < 400; ++i) {
        AnsiString s;
        for (int n = int(rng() % 6); n > 0; --n)
            s += alphabet[rng() % alphabet.size()];
        texts.push_back(s);
    }
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (bool ignoreCase : {false, true}) {
        std::vector<AnsiString> keys;
        for (const AnsiString& t : texts)
            keys.push_back(CollationKey(t, ignoreCase));
        for (std::size_t i = 0; i < texts.size(); ++i)
            for (std::size_t j = 0; j < texts.size(); ++j)
                ASSERT_EQ(sign(CompareStr(keys[i], keys[j])), sign(CollateAnsi(texts[i], texts[j], ignoreCase)))
                    << texts[i] << " / " << texts[j] << " ignoreCase " << ignoreCase;
    }
    // Prefixes of the first level: where they differ they order the texts as the word sort does
    // (either way of case); a text ends before any character.
    for (std::size_t size : {4u, 8u}) {
        std::vector<std::string> prefixes;
        for (const AnsiString& t : texts) {
            std::string p(size, '?');
            CollationPrefix(t, reinterpret_cast<unsigned char*>(p.data()), size);
            prefixes.push_back(p);
        }
        int differ = 0;
        for (std::size_t i = 0; i < texts.size(); ++i)
            for (std::size_t j = 0; j < texts.size(); ++j) {
                if (prefixes[i] == prefixes[j])
                    continue;
                ++differ;
                for (bool ignoreCase : {false, true})
                    ASSERT_EQ(sign(prefixes[i].compare(prefixes[j])), sign(CollateAnsi(texts[i], texts[j], ignoreCase)))
                        << texts[i] << " / " << texts[j] << " prefix " << size;
            }
        EXPECT_GT(differ, 1000);
    }
}
