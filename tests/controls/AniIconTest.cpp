#include <gtest/gtest.h>

#include <random>

#include "controls/aniicon.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"

namespace {

void PutLe32(std::string& s, std::size_t offset, Cardinal v)
{
    for (int i = 0; i < 4; ++i)
        s[offset + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

}  // namespace

TEST(AniIconFile, ProgramAnimationHasTenFramesOfTwoTicks)
{
    std::string data = ProgramAnimationData();
    EXPECT_EQ(data.size(), 43056u);
    TAniIconFile ani;
    ani.LoadFromData(data);
    EXPECT_EQ(ani.FrameCount(), 10);
    EXPECT_EQ(ani.Header().nFrames, 10u);
    EXPECT_EQ(ani.Rate(0), 3u);
    // Each frame shows for two 20 ms ticks, and the animation wraps after frame 9.
    std::vector<int> frames;
    for (int tick = 0; tick < 22; ++tick) {
        ani.NextStep();
        frames.push_back(ani.Frame());
    }
    EXPECT_EQ(frames[0], 0);
    EXPECT_EQ(frames[1], 1);
    EXPECT_EQ(frames[2], 1);
    EXPECT_EQ(frames[3], 2);
    EXPECT_EQ(frames[19], 0);

    ani.SetFrame(70);
    EXPECT_EQ(ani.Frame(), 0);
    ani.SetFrame(-1);
    EXPECT_EQ(ani.Frame(), 0);
    ani.SetFrame(5);
    EXPECT_EQ(ani.Frame(), 5);
}

TEST(AniIconFile, FrameCountIsCappedAndShortChunksEndTheList)
{
    std::string data = ProgramAnimationData();
    // nFrames sits at offset 12 + 8 + 4 of the "anih" chunk.
    std::string hundred = data;
    PutLe32(hundred, 24, 100);
    TAniIconFile ani;
    // The data ends after the tenth frame, where the eleventh was to follow.
    EXPECT_THROW(ani.LoadFromData(hundred), EReadError);
    EXPECT_EQ(ani.Header().nFrames, 64u);
    EXPECT_EQ(ani.FrameCount(), 10);

    // The fourth "icon" chunk claims 700 bytes: frames 0..2 remain.
    std::size_t list = data.find("LIST");
    std::size_t fourth = list + 12 + 3 * (8 + 4286);
    std::string shortChunk = data;
    PutLe32(shortChunk, fourth + 4, 700);
    ani.LoadFromData(shortChunk);
    EXPECT_EQ(ani.FrameCount(), 3);

    // Data without a frame list has no frames, whatever the icon held before.
    ani.SetFrame(2);
    EXPECT_THROW(ani.LoadFromData(data.substr(0, list)), EReadError);
    EXPECT_EQ(ani.FrameCount(), 0);
    EXPECT_EQ(ani.FrameIcon(0), nullptr);
    EXPECT_EQ(ani.Frame(), 0);
}

TEST(AniIconFile, ALoadWithoutHeaderLeavesNothingOfTheLastOne)
{
    const std::string data = ProgramAnimationData();
    const std::string noHeader[] = {
        std::string("RIFF\x04\0\0\0ACON", 12), std::string(), "RIFF",
        std::string("RIFF\0\0\0\0ACONanih\x24\0\0\0", 20) + std::string(10, '\0'),   // header cut short
    };
    for (const std::string& bad : noHeader) {
        TAniIconFile ani;
        ani.LoadFromData(data);
        ani.SetFrame(4);
        ASSERT_EQ(ani.FrameCount(), 10);
        int changes = 0;
        ani.OnChange = [&](TObject*) { ++changes; };
        if (bad.empty())
            ani.LoadFromData(bad);
        else
            EXPECT_THROW(ani.LoadFromData(bad), EReadError);
        EXPECT_EQ(ani.FrameCount(), 0) << bad.size();
        EXPECT_EQ(ani.FrameIcon(0), nullptr);
        EXPECT_EQ(ani.Header().nFrames, 0u);
        EXPECT_EQ(ani.Header().iDispRate, 0u);
        EXPECT_EQ(ani.Rate(0), 0u);
        EXPECT_EQ(ani.Frame(), 0);
        EXPECT_EQ(changes, 1);
        ani.NextStep();
        EXPECT_EQ(ani.Frame(), 0);
    }
}

TEST(AniIconFile, TruncatedAndRandomDataNeverCrash)
{
    // Data that ends early raises the read error; the frames read whole before its end stay.
    std::string data = ProgramAnimationData();
    const std::size_t frames = data.find("LIST") + 12;
    for (std::size_t len = 1; len < data.size(); len += 97) {
        TAniIconFile ani;
        EXPECT_THROW(ani.LoadFromData(data.substr(0, len)), EReadError) << len;
        EXPECT_EQ(std::size_t(ani.FrameCount()), len < frames ? 0 : (len - frames) / (8 + 4286)) << len;
    }
    std::mt19937 rng(1250);
    for (int round = 0; round < 200; ++round) {
        std::string noisy = data.substr(0, std::size_t(rng() % data.size()));
        for (int k = 0; k < 20 && !noisy.empty(); ++k)
            noisy[rng() % noisy.size()] = char(rng());
        if (round % 2 == 0 && noisy.size() > 40)
            PutLe32(noisy, 16 + (rng() % 24), rng());   // hostile sizes in the first headers
        TAniIconFile ani;
        try {
            ani.LoadFromData(noisy);
        } catch (const EReadError&) {
        }
        EXPECT_LE(ani.FrameCount(), AniMaxFrames);
        for (int t = 0; t < 5; ++t)
            ani.NextStep();
    }
}

TEST(AniIcon, TimerStepsTheFrames)
{
    TAniIcon icon(nullptr);
    TAniIconFile source;
    source.LoadFromData(ProgramAnimationData());
    icon.SetAniFile(&source);
    EXPECT_EQ(icon.Version(), "1.0.0.0");
    icon.SetVersion("2.0");
    EXPECT_EQ(icon.Version(), "1.0.0.0");
    icon.SetAnimated(true);
    ASSERT_TRUE(TimerActive(&icon, TAniIcon::TimerId));
    FireTimer(&icon, TAniIcon::TimerId);
    FireTimer(&icon, TAniIcon::TimerId);
    EXPECT_EQ(icon.Frame(), 1);
    icon.SetAnimated(false);
    EXPECT_FALSE(TimerActive(&icon, TAniIcon::TimerId));
}

TEST(AniIcon, ATransparentIconShowsItsParentBeneathIt)
{
    TForm form(nullptr);
    form.SetBounds(10, 10, 120, 80);
    form.SetColor(clYellow);
    auto* icon = new TAniIcon(&form);
    icon->SetParent(&form);
    icon->SetBounds(20, 10, 48, 48);
    icon->SetColor(clBlue);
    icon->SetCenter(true);
    TAniIconFile source;
    source.LoadFromData(ProgramAnimationData());
    icon->SetAniFile(&source);
    form.Show();
    // The corner lies outside the centred 32 x 32 frame; the frame's own pixels are drawn either way.
    for (const bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        icon->SetTransparent(transparent);
        std::unique_ptr<TBitmap> shot = GrabControl(&form);
        EXPECT_EQ(shot->Canvas()->Pixels(20 + 2, 10 + 2), transparent ? clYellow : clBlue);
        int framed = 0;
        for (int y = 18; y < 50; ++y)
            for (int x = 28; x < 60; ++x)
                framed += shot->Canvas()->Pixels(x, y) != clYellow && shot->Canvas()->Pixels(x, y) != clBlue;
        EXPECT_GT(framed, 50);
    }
}
