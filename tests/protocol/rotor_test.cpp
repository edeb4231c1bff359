// The rotor's arms and the pass counter, fed as the receive loop feeds them.
#include "protocol/rotor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "protocol/data.h"

namespace zeltan {
namespace {

TEST(Marker, PlacesTheThreeArmsFromAReport) {
    const struct {
        const char* text;
        int32_t arm0, arm1, arm2;
    } cases[] = {
        {"200#", 0, 120, 240}, {"300#", 270, 30, 150}, {"100#", 90, 210, 330},
        {"0#", 60, 180, 300},  {"#", 60, 180, 300},    {"3FF#", 300, 60, 180},
        {"400#", 300, 60, 180}, {" 1a#", 51, 171, 291}, {"354#", 0, 120, 240},
        {"AC#", 0, 120, 240},
    };
    for (const auto& c : cases) {
        TMarker m;
        m.Update(TData::HexToAngle(c.text));
        EXPECT_EQ(m.arm[0], c.arm0) << c.text;
        EXPECT_EQ(m.arm[1], c.arm1) << c.text;
        EXPECT_EQ(m.arm[2], c.arm2) << c.text;
    }
}

TEST(Marker, FoldsOnceEachWayWithoutOverflow) {
    TMarker m;
    m.Update(INT32_MIN);
    EXPECT_EQ(m.arm[0], -(INT32_MIN + 120));
    m.Update(INT32_MAX);
    EXPECT_EQ(m.arm[0], 360 - (INT32_MAX - 120));
}

TEST(Counter, CountsPassesThroughZero) {
    const struct {
        std::vector<int32_t> arm0;
        int32_t count;
    } cases[] = {
        {{100, 119, 0}, 1}, {{100, 20, 0}, 0},  {{250, 0}, 1},     {{250, 300, 0}, 0},
        {{100, 250, 0}, 2}, {{30, 0}, 0},       {{120, 0}, 0},     {{270, 0}, 0},
        {{240, 0}, 0},      {{100, 0, 0}, 1},   {{100, 0, 100, 0}, 2}, {{360, -5, 0}, 0},
    };
    for (const auto& c : cases) {
        TCounter counter;
        for (int32_t a : c.arm0) counter.Update(a);
        EXPECT_EQ(counter.Count(), c.count) << ::testing::PrintToString(c.arm0);
    }
}

TEST(Counter, ClearForgetsCountAndMarks) {
    TCounter counter;
    counter.Update(100);
    counter.Update(250);
    counter.Update(0);
    counter.Update(100);
    counter.Clear();
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(counter.lowMark, 0u);
    EXPECT_EQ(counter.highMark, 0u);
    counter.Update(0);
    EXPECT_EQ(counter.Count(), 0);
}

// Feeds reports as the receive loop does: the counter sees arm[0] only when
// it moved since the last refresh; records the v of every report that counted.
struct Rotor {
    TMarker marker;
    TCounter counter;
    int32_t lastArm = 0;
    std::vector<int> countedAt;

    void Report(int v) {
        char text[16];
        std::snprintf(text, sizeof text, "%X#", v);
        marker.Update(TData::HexToAngle(text));
        if (marker.arm[0] != lastArm) {
            lastArm = marker.arm[0];
            const int32_t before = counter.Count();
            counter.Update(marker.arm[0]);
            if (counter.Count() != before) countedAt.push_back(v);
        }
    }
};

TEST(Counter, ARisingSweepCountsOnceAt120Degrees) {
    Rotor rotor;
    for (int v = 0; v <= 1023; ++v) rotor.Report(v);
    EXPECT_EQ(rotor.countedAt, std::vector<int>({852}));
}

TEST(Counter, AFallingSweepCountsOnceThenTwicePerTurn) {
    Rotor rotor;
    for (int v = 1023; v >= 0; --v) rotor.Report(v);
    EXPECT_EQ(rotor.countedAt, std::vector<int>({172}));
    for (int revolution = 0; revolution < 2; ++revolution) {
        for (int v = 1023; v >= 0; --v) rotor.Report(v);
    }
    EXPECT_EQ(rotor.countedAt, std::vector<int>({172, 854, 172, 854, 172}));
}

TEST(Counter, SmallSwingsAroundZeroNeverCount) {
    Rotor rotor;
    for (int swing = 0; swing < 3; ++swing) {
        for (int v = 412; v <= 612; ++v) rotor.Report(v);  // about -35 to 35 degrees
        for (int v = 612; v >= 412; --v) rotor.Report(v);
    }
    EXPECT_TRUE(rotor.countedAt.empty());
}

TEST(Counter, WideSwingsCountTwicePerSwing) {
    Rotor rotor;
    for (int v = 512; v <= 900; ++v) rotor.Report(v);  // up to about 136 degrees
    for (int swing = 0; swing < 2; ++swing) {
        for (int v = 900; v >= 124; --v) rotor.Report(v);
        for (int v = 124; v <= 900; ++v) rotor.Report(v);
    }
    EXPECT_EQ(rotor.countedAt.size(), 1u + 4u);
}

}  // namespace
}  // namespace zeltan
