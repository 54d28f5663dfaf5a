// Meter bars in every direction, their tolerance, and the frames of the
// image meters.
#include "controls/meters.h"
#include "displaytest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

using namespace Zorv;
using displaytest::DisplayFixture;

namespace Zorv {

inline bool operator==(const GRect& a, const GRect& b)
{
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

inline std::ostream& operator<<(std::ostream& out, const GRect& r)
{
    return out << "{" << r.x << "," << r.y << "," << r.w << "," << r.h << "}";
}

}  // namespace Zorv

namespace {

struct BarFixture : DisplayFixture {
    GBarFracMeter bar(int direction, int w = 119, int h = 9)
    {
        return GBarFracMeter(args(188, 38, w, h, 1), &level, direction, displaytest::kWhite);
    }
    std::atomic<double> level{0.0};
};

}  // namespace

TEST(BarMeter, LitRectInEveryDirection)
{
    BarFixture f;
    struct Case {
        int direction;
        double level;
        GRect lit;
    } cases[] = {
        {kLeftToRight, 0.5, {0, 0, 60, 9}},   {kLeftToRight, 0.004, {0, 0, 0, 9}},
        {kLeftToRight, 1.3, {0, 0, 119, 9}},  {kLeftToRight, -0.2, {0, 0, 0, 9}},
        {kLeftToRight, NAN, {0, 0, 0, 9}},    {kRightToLeft, 0.5, {59, 0, 60, 9}},
        {kRightToLeft, 1.0, {0, 0, 119, 9}},  {kTopToBottom, 0.5, {0, 0, 119, 5}},
        {kBottomToTop, 0.5, {0, 4, 119, 5}},  {kBottomToTop, 1.0, {0, 0, 119, 9}},
        {kDirectionNone, 1.0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        f.level = c.level;
        EXPECT_EQ(f.bar(c.direction).litRect(), c.lit) << c.direction << " at " << c.level;
    }
}

TEST(BarMeter, DirectionWords)
{
    EXPECT_EQ(ParseMeterDirection("LeftToRight"), kLeftToRight);
    EXPECT_EQ(ParseMeterDirection("righttoleft"), kRightToLeft);
    EXPECT_EQ(ParseMeterDirection("TOPTOBOTTOM"), kTopToBottom);
    EXPECT_EQ(ParseMeterDirection("BottomToTop"), kBottomToTop);
    EXPECT_EQ(ParseMeterDirection("LeftToRightX"), kDirectionNone);
    EXPECT_EQ(ParseMeterDirection("Up"), kDirectionNone);
    EXPECT_EQ(ParseMeterDirection(nullptr), kDirectionNone);
}

TEST(BarMeter, RedrawsOnceTheFractionMovesByTheTolerance)
{
    BarFixture f;
    GBarFracMeter bar = f.bar(kLeftToRight);
    f.level = 0.5;
    EXPECT_TRUE(bar.refresh(&f.canvas));
    f.level = 0.50009;
    EXPECT_FALSE(bar.needsRedraw());
    f.level = 0.5002;
    EXPECT_TRUE(bar.refresh(&f.canvas));
    f.level = 3.0;
    EXPECT_TRUE(bar.refresh(&f.canvas));
    f.level = 1.5;  // still the full bar
    EXPECT_FALSE(bar.needsRedraw());
    EXPECT_EQ(bar.cursorAt(1, 1), kCursorDefault);
    EXPECT_FALSE(bar.onLeftDown(false, false, 1, 1));
}

TEST(ImageMeters, FractionFrames)
{
    DisplayFixture f;
    std::atomic<double> level{0.0};
    GImgFracMeter meter(f.args(0, 0, 33, 19), &level, f.image(10));
    struct Case {
        double level;
        int frame;
    } cases[] = {{0.5, 4}, {0.999, 8}, {1.0, 9}, {7.0, 9}, {-0.5, 0}, {NAN, 0}, {1e300, 9}};
    for (const Case& c : cases) {
        level = c.level;
        EXPECT_EQ(meter.frameIndex(), c.frame) << c.level;
    }
    level = 0.5;
    EXPECT_TRUE(meter.refresh(&f.canvas));
    level = 0.51;  // same frame
    EXPECT_FALSE(meter.needsRedraw());
    level = 0.6;
    EXPECT_TRUE(meter.needsRedraw());
}

TEST(ImageMeters, ScaledIntFrames)
{
    DisplayFixture f;
    std::atomic<int> steps{3};
    GImgMeter meter(f.args(0, 0, 33, 19), f.image(10), &steps, 2.0, 1.0);
    EXPECT_EQ(meter.frameIndex(), 7);
    steps = -5;
    EXPECT_EQ(meter.frameIndex(), 0);
    steps = 1000;
    EXPECT_EQ(meter.frameIndex(), 9);
    GImgMeter offset(f.args(0, 0, 33, 19), f.image(10), &steps, 1.0, 1e300);
    EXPECT_EQ(offset.frameIndex(), 9);

    steps = 2;
    EXPECT_TRUE(meter.refresh(&f.canvas));
    EXPECT_FALSE(meter.needsRedraw());
    steps = 3;
    EXPECT_TRUE(meter.needsRedraw());
}
