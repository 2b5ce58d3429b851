// Hostile input for the animated icon's reader: RIFF ".ani" data, damaged in every way the
// mutation engine knows, loads its good frames or nothing, and steps and draws without a fault.
#include <gtest/gtest.h>

#include "controls/aniicon.h"
#include "tests/common/Fuzz.h"

TEST(Fuzz, AnimatedIconsLoadTheirGoodFramesOrNothing)
{
    const std::string data = ProgramAnimationData();
    // A short animation of two frames: the program's header and first two icons.
    const std::size_t list = data.find("LIST");
    ASSERT_NE(list, std::string::npos);
    TBitmap sheet;
    sheet.SetSize(40, 40);
    FuzzParser(".ani", {data, data.substr(0, list + 12 + 2 * (8 + 4286))}, 400, 201, [&](const std::string& bytes) {
        TAniIconFile ani;
        ani.LoadFromData(bytes);
        EXPECT_LE(ani.FrameCount(), 64);
        for (int i = 0; i < 3 * ani.FrameCount() + 2; ++i) {
            ani.NextStep();
            // A frame of the list (a frame whose icon did not read is skipped), or the first.
            EXPECT_GE(ani.Frame(), 0);
            EXPECT_LT(ani.Frame(), AniMaxFrames);
            EXPECT_TRUE(ani.Frame() == 0 || ani.FrameIcon(ani.Frame()) != nullptr) << ani.Frame();
        }
        ani.Draw(sheet.Canvas(), TRect(0, 0, 40, 40));
        return ani.FrameCount() > 0;
    });
}
