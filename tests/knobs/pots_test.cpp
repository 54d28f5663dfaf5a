// Pots: drag arithmetic, clamping, Ctrl-click reset, the host's view of a
// gesture, buttons the pots ignore, and what the four types redraw.
#include "controls/pots.h"
#include "editor/resources.h"
#include "knobtest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Zorv;
using skintest::HostCall;
using skintest::Recorder;

namespace {

constexpr int kX = 55, kY = 100, kSize = 50;
const unsigned char kHighlight[4] = {255, 255, 255, 60};
const unsigned char kDot[4] = {40, 40, 50, 255};

struct PotFixture : knobtest::KnobFixture {
    GPotDot* addDot(int index)
    {
        return adopt(new GPotDot(args(1, kX, kY, kSize, kSize), index, kHighlight, 15, kDot));
    }

    // One plain gesture: press at the centre, the given moves, release at the last.
    void drag(bool shift, std::initializer_list<std::pair<int, int>> moves)
    {
        int px = kX + 25, py = kY + 25;
        skin.onLeftDown(shift, false, px, py);
        for (auto [dx, dy] : moves) {
            px += dx;
            py += dy;
            skin.onMouseMove(shift, false, px, py);
        }
        skin.onLeftUp(shift, false, px, py);
    }

    std::vector<float> automated() const
    {
        std::vector<float> values;
        for (const HostCall& call : Recorder::calls)
            if (call.opcode == audioMasterAutomate)
                values.push_back(call.value);
        return values;
    }
};

}  // namespace

TEST(PotDrag, VerticalAndHorizontalTravelWithAndWithoutShift)
{
    struct Case {
        double start;
        bool shift;
        int dx, dy;
        double expected;
    } cases[] = {
        {0.2, false, 0, -50, 0.7},     // 50 pixels up
        {0.2, true, 0, -50, 0.25},     // the same, fine
        {0.5, false, 10, 10, 0.425},   // right and down: 0.01 * (2.5 - 10)
        {0.5, false, 40, 0, 0.6},      // 400 pixels right cover the range
        {0.5, true, 40, 0, 0.51},
    };
    for (const Case& c : cases) {
        PotFixture f;
        f.addDot(kAttack);
        f.set(kAttack, c.start);
        f.drag(c.shift, {{c.dx, c.dy}});
        EXPECT_NEAR(f.stored(kAttack), c.expected, 1e-12)
            << "from " << c.start << " by " << c.dx << "," << c.dy << (c.shift ? " shift" : "");
    }
}

TEST(PotDrag, StepsAccumulateFromTheStoredValue)
{
    PotFixture f;
    f.addDot(kFade);
    f.set(kFade, 0.3);
    f.skin.onLeftDown(false, false, kX + 25, kY + 25);
    f.skin.onMouseMove(false, false, kX + 25, kY + 15);  // +0.1
    f.effect.setParameter(kFade, 0.8f);                   // host automation mid-drag
    f.skin.onMouseMove(false, false, kX + 25, kY + 5);   // +0.1 from what is stored now
    f.skin.onLeftUp(false, false, kX + 25, kY + 5);
    EXPECT_NEAR(f.stored(kFade), double(0.8f) + 0.1, 1e-12);
}

TEST(PotDrag, ClampsAtBothEndsAndStillWritesEveryMove)
{
    PotFixture f;
    f.addDot(kThresh);
    f.set(kThresh, 0.95);
    f.drag(false, {{0, -20}, {0, -40}, {0, -60}});
    EXPECT_EQ(f.stored(kThresh), 1.0);
    EXPECT_EQ(f.automated(), (std::vector<float>{0.95f, 1.0f, 1.0f, 1.0f}));

    Recorder::calls.clear();
    f.drag(false, {{0, 30}, {0, 200}, {-300, 0}});
    EXPECT_EQ(f.stored(kThresh), 0.0);
    EXPECT_EQ(f.automated(), (std::vector<float>{1.0f, 0.7f, 0.0f, 0.0f}));
}

TEST(PotDrag, OutOfRangeOrNaNStoredValueIsPulledIntoRange)
{
    PotFixture f;
    f.addDot(kAttack);
    f.set(kAttack, 3.0);  // the host may store anything
    f.drag(false, {{0, 10}});
    EXPECT_EQ(f.stored(kAttack), 1.0);

    f.set(kAttack, std::numeric_limits<double>::quiet_NaN());
    f.drag(false, {{0, -10}, {0, -10}});  // the first step lands on 0
    EXPECT_NEAR(f.stored(kAttack), 0.1, 1e-12);
}

TEST(PotGesture, HostSeesBeginCurrentValueOnePerMoveAndEnd)
{
    PotFixture f;
    GPotDot* pot = f.addDot(kFade);
    f.set(kFade, 0.5);
    f.skin.onLeftDown(false, false, kX + 25, kY + 25);
    EXPECT_TRUE(pot->isPressed());
    EXPECT_TRUE(pot->isDragging());
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);
    f.skin.onMouseMove(false, false, kX + 25, kY + 15);
    f.skin.onLeftDown(false, false, kX + 25, kY + 15);   // a second press changes nothing
    f.skin.onMouseMove(false, false, kX + 25, kY + 200);  // far outside: still captured
    f.skin.onLeftUp(false, false, kX + 300, kY + 200);

    const auto& calls = Recorder::calls;
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(calls[1].value, 0.5f);
    EXPECT_EQ(calls[2].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(calls[2].value, 0.6f);
    EXPECT_EQ(calls[3].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(calls[3].value, 0.0f);
    EXPECT_EQ(calls[4].opcode, audioMasterEndEdit);
    for (const HostCall& call : calls)
        EXPECT_EQ(call.index, kFade);
    EXPECT_FALSE(pot->isPressed());
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);

    Recorder::calls.clear();
    f.skin.onLeftUp(false, false, kX + 25, kY + 25);  // a release without a press
    EXPECT_TRUE(Recorder::calls.empty());
}

TEST(PotGesture, CtrlClickResetsAtOnceIgnoresMovesAndEndsOnce)
{
    PotFixture f;
    GPotDot* pot = f.addDot(kThresh);
    f.set(kThresh, 0.9);
    f.skin.onLeftDown(false, true, kX + 10, kY + 10);
    EXPECT_EQ(f.stored(kThresh), f.defaultOf(kThresh));
    EXPECT_FALSE(pot->isDragging());
    f.skin.onMouseMove(false, false, kX + 10, kY - 50);
    f.skin.onMouseMove(true, true, kX + 90, kY - 90);
    EXPECT_EQ(f.stored(kThresh), f.defaultOf(kThresh));
    f.skin.onLeftUp(false, true, kX + 10, kY - 90);

    const auto& calls = Recorder::calls;
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(calls[1].value, 0.9f);
    EXPECT_EQ(calls[2].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(calls[2].value, float(f.defaultOf(kThresh)));
    EXPECT_EQ(calls[3].opcode, audioMasterEndEdit);

    f.drag(false, {{0, -10}});  // the next plain press drags again
    EXPECT_NEAR(f.stored(kThresh), f.defaultOf(kThresh) + 0.1, 1e-12);
}

TEST(PotGesture, CancelCaptureEndsTheEditOnce)
{
    PotFixture f;
    GPotDot* pot = f.addDot(kAttack);
    f.skin.onLeftDown(false, false, kX + 25, kY + 25);
    pot->cancelCapture();
    pot->cancelCapture();
    pot->onMouseMove(false, false, 25, 0);
    ASSERT_EQ(Recorder::calls.size(), 3u);
    EXPECT_EQ(Recorder::calls.back().opcode, audioMasterEndEdit);
    EXPECT_FALSE(pot->isPressed());
}

TEST(PotGesture, RightButtonIsIgnoredAndDoesNotEndADrag)
{
    PotFixture f;
    GPotDot* pot = f.addDot(kAttack);
    f.set(kAttack, 0.2);
    EXPECT_FALSE(f.skin.onRightDown(false, false, kX + 25, kY + 25));
    EXPECT_FALSE(f.skin.onRightUp(false, false, kX + 25, kY + 25));
    EXPECT_TRUE(Recorder::calls.empty());
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);

    f.skin.onLeftDown(false, false, kX + 25, kY + 25);
    f.skin.onRightDown(false, false, kX + 25, kY + 25);
    f.skin.onRightUp(false, false, kX + 25, kY + 25);
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);
    EXPECT_TRUE(pot->isDragging());
    f.skin.onMouseMove(false, false, kX + 25, kY + 15);
    EXPECT_NEAR(f.stored(kAttack), 0.3, 1e-12);
}

TEST(PotGesture, HandCursorEverywhereOnThePot)
{
    PotFixture f;
    GPotDot* pot = f.addDot(kAttack);
    EXPECT_EQ(pot->cursorAt(0, 0), kCursorHand);
    EXPECT_EQ(pot->cursorAt(49, 49), kCursorHand);
    EXPECT_EQ(f.skin.cursorAt(kX + 49, kY), kCursorHand);
    EXPECT_EQ(f.skin.cursorAt(kX + 50, kY), kCursorNone);
}

TEST(PotRedraw, FollowsTheQuantisedValueAndThePress)
{
    PotFixture f;
    GPotDot* pot = f.addDot(kAttack);  // 300 steps
    f.set(kAttack, 0.5);
    f.skin.attachCanvas(&f.canvas);
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(pot->needsRedraw());

    f.set(kAttack, 0.5 + 0.001);  // within one step: the shown value stays
    EXPECT_FALSE(pot->needsRedraw());
    f.set(kAttack, 0.5 + 0.01);
    EXPECT_TRUE(pot->needsRedraw());
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(pot->needsRedraw());

    const int exposes = f.window.exposes;
    f.skin.onLeftDown(false, false, kX + 25, kY + 25);
    EXPECT_TRUE(pot->needsRedraw());
    EXPECT_GT(f.window.exposes, exposes);
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftUp(false, false, kX + 25, kY + 25);
    EXPECT_TRUE(pot->needsRedraw());
}

TEST(PotRedraw, LineAndBackgroundDotFollowTheValue)
{
    PotFixture f;
    GImageResource image("knob", "Quelt.png", 50, 50, 2);
    auto* line = f.adopt(new GPotLine(f.args(1, 0, 0, 50, 50), kFade, kHighlight, -20, kDot));
    auto* bg = f.adopt(new GBgPotDot(f.args(1, 60, 0, 50, 50), kFade, &image, 15, kDot));
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(line->needsRedraw());
    EXPECT_FALSE(bg->needsRedraw());
    f.set(kFade, 0.9);
    EXPECT_TRUE(line->needsRedraw());
    EXPECT_TRUE(bg->needsRedraw());
}

TEST(PotFrames, ImagePotMapsTheValueOntoItsFrames)
{
    PotFixture f;
    GImageResource strip("strip", "Quelt.png", 10, 10, 31);
    GImageResource single("single", "Quelt.png", 10, 10, 1);
    auto* pot = f.adopt(new GImgPot(f.args(1, 0, 0, 10, 10), kAttack, &strip));
    auto* still = f.adopt(new GImgPot(f.args(1, 20, 0, 10, 10), kAttack, &single));
    const std::pair<double, int> cases[] = {{0.0, 0}, {0.5, 15}, {1.0, 30}, {0.49, 15}, {0.48, 14}};
    for (auto [value, frame] : cases) {
        f.set(kAttack, value);
        EXPECT_EQ(pot->frameIndex(), frame) << value;
        EXPECT_EQ(still->frameIndex(), 0);
    }

    f.skin.drawPass(&f.canvas);
    f.set(kAttack, 0.001);  // shown as 0.0: still frame 0
    f.skin.drawPass(&f.canvas);
    f.set(kAttack, 0.0);
    EXPECT_FALSE(pot->needsRedraw());
    f.set(kAttack, 0.04);  // frame 1
    EXPECT_TRUE(pot->needsRedraw());
}

TEST(PotFrames, BackgroundDotUsesFrameOneWhileHeldIfThereIsOne)
{
    PotFixture f;
    GImageResource two("two", "Quelt.png", 50, 50, 2);
    GImageResource one("one", "Quelt.png", 50, 50, 1);
    auto* pot = f.adopt(new GBgPotDot(f.args(1, 0, 0, 50, 50), kFade, &two, 15, kDot));
    auto* plain = f.adopt(new GBgPotDot(f.args(1, 60, 0, 50, 50), kFade, &one, 15, kDot));
    EXPECT_EQ(pot->imageFrame(), 0);
    pot->onLeftDown(false, false, 25, 25);
    plain->onLeftDown(false, false, 25, 25);
    EXPECT_EQ(pot->imageFrame(), 1);
    EXPECT_EQ(plain->imageFrame(), 0);
    pot->onLeftUp(false, false, 25, 25);
    EXPECT_EQ(pot->imageFrame(), 0);
}
