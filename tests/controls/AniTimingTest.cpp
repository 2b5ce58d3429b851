// Timing and layout variants of ".ani" data: display rates, the default
// rate, sequence tables, information lists and frame images further on.
#include <gtest/gtest.h>

#include "controls/aniicon.h"

namespace {

Cardinal GetLe32(const std::string& s, std::size_t at)
{
    Cardinal v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | Byte(s[at + std::size_t(i)]);
    return v;
}

void SetLe32(std::string& s, std::size_t at, Cardinal v)
{
    for (int i = 0; i < 4; ++i)
        s[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

std::string Le32(Cardinal v)
{
    std::string s(4, '\0');
    SetLe32(s, 0, v);
    return s;
}

std::string Chunk(const char* id, const std::string& data)
{
    return std::string(id, 4) + Le32(Cardinal(data.size())) + data + (data.size() & 1 ? std::string(1, '\0') : "");
}

// The program's animation: "anih" at 12, "rate" at 56, "LIST" at 104.
constexpr std::size_t AnihAt = 12, RateAt = 56, ListAt = 104;

// How many ticks each frame shows, frame by frame, over one round.
std::vector<int> TicksPerFrame(TAniIconFile& ani, int frames)
{
    std::vector<int> ticks;
    int count = 0, guard = 0;
    while (int(ticks.size()) < frames && ++guard < 10000) {
        int before = ani.Frame();
        ani.NextStep();
        ++count;
        if (ani.Frame() != before) {
            ticks.push_back(count);
            count = 0;
        }
    }
    return ticks;
}

}  // namespace

TEST(AniTiming, RatesDefaultRateAndSequence)
{
    const std::string base = ProgramAnimationData();
    ASSERT_EQ(base.substr(AnihAt, 4), "anih");
    ASSERT_EQ(base.substr(RateAt, 4), "rate");
    ASSERT_EQ(base.substr(ListAt, 4), "LIST");

    // A frame shows until the counter (2 per tick) passes its rate.
    std::string rated = base;
    const Cardinal rates[10] = {0, 1, 2, 3, 4, 5, 9, 10, 60, 3};
    for (int i = 0; i < 10; ++i)
        SetLe32(rated, RateAt + 8 + 4 * std::size_t(i), rates[i]);
    TAniIconFile ani;
    ani.LoadFromData(rated);
    EXPECT_EQ(TicksPerFrame(ani, 10), (std::vector<int>{1, 1, 2, 2, 3, 3, 5, 6, 31, 2}));
    EXPECT_EQ(ani.Frame(), 0);   // wrapped after the last frame

    // Without a "rate" chunk every frame takes the header's rate (10: six ticks).
    std::string noRate = base.substr(0, RateAt) + base.substr(ListAt);
    ani.LoadFromData(noRate);
    EXPECT_EQ(ani.FrameCount(), 10);
    EXPECT_EQ(ani.Rate(0), 10u);
    EXPECT_EQ(ani.Rate(63), 10u);
    EXPECT_EQ(TicksPerFrame(ani, 3), (std::vector<int>{6, 6, 6}));

    // A "seq " chunk after the rates is kept; one of 200 entries is cut at 128.
    std::string seq;
    for (Cardinal i = 0; i < 200; ++i)
        seq += Le32(9 - (i % 10));
    std::string withSeq = base.substr(0, ListAt) + Chunk("seq ", seq) + base.substr(ListAt);
    ani.LoadFromData(withSeq);
    EXPECT_EQ(ani.FrameCount(), 10);
    EXPECT_EQ(ani.Sequence(0), 9u);
    EXPECT_EQ(ani.Sequence(127), 9u - 127 % 10);
    EXPECT_EQ(ani.Sequence(128), 0u);   // outside the table
    EXPECT_EQ(ani.Rate(5), 3u);

    // An oversized "rate" chunk fills the table and no further.
    std::string manyRates;
    for (Cardinal i = 0; i < 300; ++i)
        manyRates += Le32(i + 1);
    std::string bigRate = base.substr(0, RateAt) + Chunk("rate", manyRates) + base.substr(ListAt);
    ani.LoadFromData(bigRate);
    EXPECT_EQ(ani.FrameCount(), 10);
    EXPECT_EQ(ani.Rate(0), 1u);
    EXPECT_EQ(ani.Rate(127), 128u);
}

TEST(AniTiming, InformationListFewerFramesAndImageOffsets)
{
    const std::string base = ProgramAnimationData();
    TAniIconFile ani;

    // Title and artist before the header.
    std::string info = "INFO" + Chunk("INAM", "Oczekiwanie") + Chunk("IART", std::string(300, 'x'));
    std::string withInfo = base.substr(0, AnihAt) + Chunk("LIST", info) + base.substr(AnihAt);
    ani.LoadFromData(withInfo);
    EXPECT_EQ(ani.FrameCount(), 10);
    EXPECT_EQ(ani.Header().iDispRate, 10u);
    EXPECT_EQ(ani.Rate(9), 3u);

    // A chunk of another kind between the header and the frame list ends the reading.
    ani.LoadFromData(base.substr(0, ListAt) + Chunk("junk", "abcd") + base.substr(ListAt));
    EXPECT_EQ(ani.FrameCount(), 0);

    // A header that promises 3 frames reads 3 of the 10 chunks; the fourth step wraps.
    std::string three = base;
    SetLe32(three, AnihAt + 8 + 4, 3);
    ani.LoadFromData(three);
    EXPECT_EQ(ani.FrameCount(), 3);
    std::vector<int> seen;
    for (int t = 0; t < 8; ++t) {
        ani.NextStep();
        seen.push_back(ani.Frame());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 2, 2, 0, 0, 1}));

    // The second frame's image lies 8 bytes after its directory entry.
    std::string shifted = base;
    std::size_t second = ListAt + 12 + (8 + 4286);
    ASSERT_EQ(shifted.substr(second, 4), "icon");
    ASSERT_EQ(GetLe32(shifted, second + 8 + 18), 22u);
    SetLe32(shifted, second + 8 + 18, 30);
    SetLe32(shifted, second + 4, 4286 + 8);
    SetLe32(shifted, ListAt + 4, GetLe32(shifted, ListAt + 4) + 8);
    shifted.insert(second + 8 + 22, std::string(8, '\x55'));
    ani.LoadFromData(shifted);
    EXPECT_EQ(ani.FrameCount(), 10);
    ASSERT_NE(ani.FrameIcon(1), nullptr);
    EXPECT_EQ(ani.FrameIcon(1)->Width(), 32);

    // Assigning nothing clears the graphic.
    ani.Assign(nullptr);
    EXPECT_FALSE(ani.Loaded());
    EXPECT_EQ(ani.FrameCount(), 0);
    EXPECT_EQ(ani.SaveToData(), "");
}
