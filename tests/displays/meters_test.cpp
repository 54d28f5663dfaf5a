// Meter bars in every direction and their tolerance; the image meters' frames.
#include "controls/meters.h"
#include "displaytest.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Zorv;

TEST(DisplayBarMeter, LitRectInEveryDirection)
{
    displaytest::DisplayFixture f;
    std::atomic<double> level{0.0};
    const struct {
        int direction;
        double level;
        GRect lit;
    } cases[] = {
        {kLeftToRight, 0.5, {0, 0, 60, 9}},  {kLeftToRight, 0.004, {0, 0, 0, 9}},
        {kLeftToRight, 1.3, {0, 0, 119, 9}}, {kLeftToRight, -0.2, {0, 0, 0, 9}},
        {kLeftToRight, NAN, {0, 0, 0, 9}},   {kRightToLeft, 0.5, {59, 0, 60, 9}},
        {kTopToBottom, 0.5, {0, 0, 119, 5}}, {kBottomToTop, 0.5, {0, 4, 119, 5}},
        {kDirectionNone, 1.0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        level = c.level;
        const GRect r = GBarFracMeter(f.args(188, 38, 119, 9), &level, c.direction, displaytest::kWhite).litRect();
        EXPECT_TRUE(r.x == c.lit.x && r.y == c.lit.y && r.w == c.lit.w && r.h == c.lit.h)
            << c.direction << " at " << c.level << ": " << r.x << "," << r.y << "," << r.w << "," << r.h;
    }
}

TEST(DisplayBarMeter, RedrawsOnceTheFractionMovesByTheTolerance)
{
    displaytest::DisplayFixture f;
    std::atomic<double> level{0.5};
    GBarFracMeter bar(f.args(188, 38, 119, 9), &level, kLeftToRight, displaytest::kWhite);
    EXPECT_TRUE(bar.refresh(&f.canvas));
    level = 0.50009;
    EXPECT_FALSE(bar.needsRedraw());
    level = 0.5002;
    EXPECT_TRUE(bar.refresh(&f.canvas));
    level = 3.0;
    EXPECT_TRUE(bar.refresh(&f.canvas));
    level = 1.5;  // still the full bar
    EXPECT_FALSE(bar.needsRedraw());
}

namespace {

// The audio thread writes once during the draw, then the value holds.
struct RampEndMeter : GBarFracMeter {
    using GBarFracMeter::GBarFracMeter;
    double fraction() const override { return reads++ == 0 ? 0.3 : 0.8; }
    mutable int reads = 0;
};

}  // namespace

TEST(DisplayBarMeter, RemembersTheFractionItDrew)
{
    displaytest::DisplayFixture f;
    std::atomic<double> level{0.0};
    RampEndMeter bar(f.args(188, 38, 119, 9), &level, kLeftToRight, displaytest::kWhite);
    EXPECT_TRUE(bar.refresh(&f.canvas));  // draws 0.3
    EXPECT_TRUE(bar.needsRedraw()) << "0.3 on screen while the value holds at 0.8";
    EXPECT_TRUE(bar.refresh(&f.canvas));
    EXPECT_FALSE(bar.needsRedraw());
}

TEST(DisplayImageMeters, Frames)
{
    displaytest::DisplayFixture f;
    std::atomic<double> level{0.0};
    GImgFracMeter fraction(f.args(0, 0, 33, 19), &level, f.image(10));
    const double levels[] = {0.5, 0.999, 1.0, 7.0, -0.5, NAN, 1e300};
    const int frames[] = {4, 8, 9, 9, 0, 0, 9};
    for (int i = 0; i < 7; ++i) {
        level = levels[i];
        EXPECT_EQ(fraction.frameIndex(), frames[i]) << levels[i];
    }
    level = 0.5;
    EXPECT_TRUE(fraction.refresh(&f.canvas));
    level = 0.51;  // the same frame
    EXPECT_FALSE(fraction.needsRedraw());

    std::atomic<int> steps{3};
    GImgMeter scaled(f.args(0, 0, 33, 19), f.image(10), &steps, 2.0, 1.0);
    GImgMeter offset(f.args(0, 0, 33, 19), f.image(10), &steps, 1.0, 1e300);
    EXPECT_EQ(scaled.frameIndex(), 7);
    EXPECT_EQ(offset.frameIndex(), 9);
    EXPECT_TRUE(scaled.refresh(&f.canvas));
    steps = -5;
    EXPECT_EQ(scaled.frameIndex(), 0);
    EXPECT_TRUE(scaled.needsRedraw());
    steps = 1000;
    EXPECT_EQ(scaled.frameIndex(), 9);
}
