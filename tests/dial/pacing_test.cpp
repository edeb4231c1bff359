// The dial's frame pacing: how long a repaint asked for at a given time
// waits, from the time of the last paint.
#include "dial/pacing.h"

#include <gtest/gtest.h>

namespace zeltan {
namespace {

TEST(FramePacer, TheFirstRepaintRunsAtOnce) {
    const FramePacer pacer;
    EXPECT_EQ(pacer.DelayMs(0), 0u);
    EXPECT_EQ(pacer.DelayMs(123456789), 0u);
}

TEST(FramePacer, ARepaintWithinAFrameWaitsForTheRestOfIt) {
    constexpr uint64_t kPainted = 5000000;  // 5 s on the caller's clock
    struct Case {
        uint64_t sinceUs;
        uint32_t delayMs;
    };
    const Case cases[] = {
        {0, 16},          // right after a paint: a whole frame
        {500, 15},        // 15.5 ms left: rounded down, the timer's lateness fills it
        {1000, 15},
        {15001, 1},       // under a millisecond left: still a wait, never 0
        {15999, 1},
        {16000, 0},       // a frame has passed
        {16001, 0},
        {3600000000, 0},  // an hour of quiet
    };
    FramePacer pacer;
    pacer.Painted(kPainted);
    for (const Case& c : cases) {
        EXPECT_EQ(pacer.DelayMs(kPainted + c.sinceUs), c.delayMs) << c.sinceUs << " us after";
    }
    // A clock that went back behind the last paint does not hold the dial.
    EXPECT_EQ(pacer.DelayMs(kPainted - 1), 0u);
}

TEST(FramePacer, EveryPaintStartsANewFrame) {
    FramePacer pacer;
    pacer.Painted(1000);
    pacer.Painted(40000);  // a paint that the platform asked for, say
    EXPECT_EQ(pacer.DelayMs(41000), 15u);
    EXPECT_EQ(pacer.DelayMs(55500), 1u);
    EXPECT_EQ(pacer.DelayMs(56000), 0u);
}

}  // namespace
}  // namespace zeltan
