// The dial's arithmetic: ray ends, the centre, and label placement.
#include "dial/geometry.h"

#include <gtest/gtest.h>

namespace zeltan {
namespace {

TEST(DialGeometry, RayEndsForRadius170) {
    const struct {
        int32_t angle, dx, dy;
    } cases[] = {
        {0, 0, 170},      {30, 84, 147},    {45, 120, 120},   {60, 147, 85},
        {90, 169, 0},     {120, 147, -84},  {180, 0, -169},   {240, -147, -85},
        {270, -169, 0},   {360, 0, 169},    {-90, -169, 0},   {720, 0, 169},
        {-360, 0, 169},   {450, 169, 0},    {-180, 0, -169},  {3600, 0, 169},
        // The dial's 3.14159 drifts from the true 280 degrees (-167, 29) here.
        {1000000, -167, 27},
    };
    for (const auto& c : cases) {
        const Offset o = EndOffset(c.angle, 170);
        EXPECT_EQ(o.dx, c.dx) << c.angle << " degrees";
        EXPECT_EQ(o.dy, c.dy) << c.angle << " degrees";
    }
}

TEST(DialGeometry, ExtremeAnglesStayOnTheCircle) {
    for (int32_t angle : {INT32_MIN, INT32_MAX, INT32_MIN + 1}) {
        const Offset o = EndOffset(angle, 170);
        EXPECT_LE(o.dx * o.dx + o.dy * o.dy, 170 * 170) << angle;
    }
}

TEST(DialGeometry, CentreIsHalfTheClientSizeTruncated) {
    const struct {
        int32_t w, h, x, y;
    } cases[] = {{398, 398, 199, 199}, {397, 396, 198, 198}, {1, 0, 0, 0}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        const Point p = DialCentre(c.w, c.h);
        EXPECT_EQ(p.x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(p.y, c.y) << c.w << "x" << c.h;
    }
}

TEST(DialGeometry, LabelCornerFollowsTheSignsOfTheOffsets) {
    // A 21 x 13 label beside the end point (100, 50).
    const Point end{100, 50};
    const struct {
        int32_t dx, dy;
        int32_t x, y;
        const char* where;
    } cases[] = {
        {5, 5, 100, 37, "above right: lower-left corner on the end"},
        {5, -5, 100, 50, "below right: upper-left corner on the end"},
        {-5, -5, 79, 50, "below left: upper-right corner on the end"},
        {-5, 5, 79, 37, "above left: lower-right corner on the end"},
        {0, 5, 90, 37, "centred above"},
        {0, -5, 90, 50, "centred below"},
        {5, 0, 103, 44, "right with a 3-pixel gap, centred vertically"},
        {-5, 0, 79, 44, "left with no gap, centred vertically"},
    };
    for (const auto& c : cases) {
        Point corner{-1, -1};
        ASSERT_TRUE(LabelCorner({c.dx, c.dy}, end, 21, 13, &corner)) << c.where;
        EXPECT_EQ(corner.x, c.x) << c.where;
        EXPECT_EQ(corner.y, c.y) << c.where;
    }
}

TEST(DialGeometry, NoLabelWhereBothOffsetsAreZero) {
    Point corner{-1, -1};
    EXPECT_FALSE(LabelCorner({0, 0}, {5, 5}, 21, 13, &corner));
    EXPECT_EQ(corner.x, -1) << "the corner is left alone";
    for (int32_t angle : {0, 45, 90, 180, 300}) {
        const Offset o = EndOffset(angle, 1);
        EXPECT_EQ(o.dx, 0) << "a radius below 2 gives no offsets at " << angle;
        EXPECT_EQ(o.dy, angle == 0 ? 1 : 0) << angle;
    }
}

}  // namespace
}  // namespace zeltan
