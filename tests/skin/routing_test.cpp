// Mouse routing: hit test order, relative coordinates, the capture rule and
// the pointer shape.
#include "skintest.h"

#include <gtest/gtest.h>

using namespace Zorv;
using Events = std::vector<std::string>;

TEST(Routing, FirstDeclaredOfOverlappingControlsGetsThePress)
{
    skintest::SkinFixture f;
    auto* under = f.add(1, 10, 10, 50, 50);
    auto* over = f.add(1, 30, 30, 50, 50);
    EXPECT_TRUE(f.skin.onLeftDown(true, false, 40, 45));
    EXPECT_EQ(under->events, Events{"LDs 30,35"});
    EXPECT_TRUE(over->events.empty());
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);

    EXPECT_EQ(f.skin.hitTest(70, 70), 1);
    EXPECT_EQ(f.skin.hitTest(80, 80), -1);  // right and bottom edges are outside
    EXPECT_EQ(f.skin.hitTest(10, 10), 0);
}

TEST(Routing, CaptureFollowsTheDragOutsideUntilRelease)
{
    skintest::SkinFixture f;
    auto* knob = f.add(1, 10, 10, 20, 20);
    auto* other = f.add(1, 100, 100, 20, 20);
    f.skin.onLeftDown(false, false, 15, 15);
    f.skin.onMouseMove(false, true, 105, 110);
    EXPECT_EQ(f.skin.cursorAt(200, 190), kCursorHand);  // the captured control answers
    f.skin.onLeftUp(false, false, 110, 110);
    EXPECT_EQ(knob->events, (Events{"LD 5,5", "MVc 95,100", "LU 100,100"}));
    EXPECT_TRUE(other->events.empty());
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);

    f.skin.onMouseMove(false, false, 105, 105);
    EXPECT_EQ(other->events, Events{"MV 5,5"});
}

TEST(Routing, RefusedPressDoesNotCapture)
{
    skintest::SkinFixture f;
    auto* refuses = f.add(1, 0, 0, 20, 20);
    auto* other = f.add(1, 50, 0, 20, 20);
    refuses->acceptPress = false;
    EXPECT_FALSE(f.skin.onLeftDown(false, false, 5, 5));
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    f.skin.onLeftUp(false, false, 55, 5);
    EXPECT_EQ(other->events, Events{"LU 5,5"});
}

TEST(Routing, RightReleaseEndsALeftCapture)
{
    skintest::SkinFixture f;
    auto* knob = f.add(1, 0, 0, 20, 20);
    f.skin.onLeftDown(false, false, 5, 5);
    knob->acceptRelease = false;
    EXPECT_FALSE(f.skin.onLeftUp(false, false, 90, 90));
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);  // a refused release keeps the capture
    knob->acceptRelease = true;
    EXPECT_TRUE(f.skin.onRightUp(false, false, 90, 90));
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_EQ(knob->events, (Events{"LD 5,5", "LU 90,90", "RU 90,90"}));
}

TEST(Routing, InactiveControlsAndEmptySpaceGetNothing)
{
    skintest::SkinFixture f;
    auto* onPage2 = f.add(2, 0, 0, 20, 20);
    auto* below = f.add(1, 0, 0, 20, 20);
    below->cursor = kCursorText;
    EXPECT_TRUE(f.skin.onRightDown(false, false, 5, 5));
    EXPECT_TRUE(onPage2->events.empty());
    EXPECT_EQ(below->events, Events{"RD 5,5"});
    f.skin.onRightUp(false, false, 5, 5);

    EXPECT_FALSE(f.skin.onLeftDown(false, false, 200, 100));
    EXPECT_FALSE(f.skin.onMouseMove(false, false, 200, 100));
    EXPECT_EQ(f.skin.cursorAt(200, 100), kCursorNone);
    EXPECT_EQ(f.skin.cursorAt(5, 5), kCursorText);
    f.skin.setPage(3);
    EXPECT_EQ(f.skin.cursorAt(5, 5), kCursorNone);
}

TEST(Routing, HiddenCapturedControlKeepsCaptureUntilARelease)
{
    skintest::SkinFixture f;
    auto* knob = f.add(1, 0, 0, 20, 20);
    auto* selector = f.add(0, 50, 0, 20, 20);
    f.skin.onLeftDown(false, false, 5, 5);
    f.skin.setPage(2);
    EXPECT_FALSE(f.skin.onMouseMove(false, false, 55, 5));
    EXPECT_FALSE(f.skin.onLeftDown(false, false, 55, 5));
    EXPECT_EQ(f.skin.cursorAt(55, 5), kCursorNone);
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);
    EXPECT_TRUE(selector->events.empty());

    // The release cannot reach the hidden control: its gesture is cancelled.
    EXPECT_FALSE(f.skin.onLeftUp(false, false, 55, 5));
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_EQ(knob->events, (Events{"LD 5,5", "CC"}));
    f.skin.onLeftDown(false, false, 55, 5);
    EXPECT_EQ(selector->events, Events{"LD 5,5"});
}
