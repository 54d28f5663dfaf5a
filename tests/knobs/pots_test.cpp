// Pots: drag arithmetic, clamping, Ctrl-click reset, the host's view of a
// gesture, the right button, and the frames of the image types.
#include "controls/pots.h"
#include "editor/resources.h"
#include "knobtest.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Zorv;
using skintest::HostCall;
using skintest::Recorder;

namespace {

constexpr int kX = 55, kY = 100;  // a 50 x 50 pot; its centre is (80, 125)
const unsigned char kColour[4] = {40, 40, 50, 255};

struct PotFixture : knobtest::KnobFixture {
    explicit PotFixture(int index)
        : pot(adopt(new GPotDot(args(1, kX, kY, 50, 50), index, kColour, 15, kColour)))
    {
    }

    // One plain gesture from the centre through relative moves.
    void drag(bool shift, std::initializer_list<std::pair<int, int>> moves)
    {
        int px = kX + 25, py = kY + 25;
        skin.onLeftDown(shift, false, px, py);
        for (auto [dx, dy] : moves)
            skin.onMouseMove(shift, false, px += dx, py += dy);
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

    GPotDot* pot;
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
        {0.2, false, 0, -50, 0.7},    {0.2, true, 0, -50, 0.25},  {0.5, false, 10, 10, 0.425},
        {0.5, false, 40, 0, 0.6},     {0.5, true, 40, 0, 0.51},
    };
    for (const Case& c : cases) {
        PotFixture f(kAttack);
        f.set(kAttack, c.start);
        f.drag(c.shift, {{c.dx, c.dy}});
        EXPECT_NEAR(f.stored(kAttack), c.expected, 1e-12)
            << c.start << " by " << c.dx << "," << c.dy << (c.shift ? " shift" : "");
    }
}

TEST(PotDrag, ClampsAtBothEndsWithOneWritePerMove)
{
    PotFixture f(kThresh);
    f.set(kThresh, 0.95);
    f.drag(false, {{0, -20}, {0, -40}, {0, -60}});
    EXPECT_EQ(f.automated(), (std::vector<float>{0.95f, 1.0f, 1.0f, 1.0f}));
    Recorder::calls.clear();
    f.drag(false, {{0, 30}, {0, 200}, {-300, 0}});
    EXPECT_EQ(f.automated(), (std::vector<float>{1.0f, 0.7f, 0.0f, 0.0f}));

    f.set(kThresh, 3.0);  // the host may store anything
    f.drag(false, {{0, 10}});
    EXPECT_EQ(f.stored(kThresh), 1.0);
    f.set(kThresh, std::numeric_limits<double>::quiet_NaN());
    f.drag(false, {{0, -10}, {0, -10}});  // the first step lands on 0
    EXPECT_NEAR(f.stored(kThresh), 0.1, 1e-12);
}

TEST(PotGesture, HostSeesBeginCurrentValueOnePerMoveAndEnd)
{
    PotFixture f(kFade);
    f.set(kFade, 0.5);
    f.skin.onLeftDown(false, false, 80, 125);
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);
    f.skin.onMouseMove(false, false, 80, 115);
    f.skin.onLeftDown(false, false, 80, 115);  // a second press changes nothing
    f.skin.onMouseMove(false, false, 80, 325);  // far outside: still captured
    f.skin.onLeftUp(false, false, 380, 325);
    f.skin.onLeftUp(false, false, 80, 125);  // a release without a press

    const std::vector<int> opcodes = {audioMasterBeginEdit, audioMasterAutomate,
                                      audioMasterAutomate, audioMasterAutomate, audioMasterEndEdit};
    ASSERT_EQ(Recorder::calls.size(), opcodes.size());
    for (size_t i = 0; i < opcodes.size(); ++i) {
        EXPECT_EQ(Recorder::calls[i].opcode, opcodes[i]) << i;
        EXPECT_EQ(Recorder::calls[i].index, kFade);
    }
    EXPECT_EQ(f.automated(), (std::vector<float>{0.5f, 0.6f, 0.0f}));
    EXPECT_FALSE(f.pot->isPressed());
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
}

TEST(PotGesture, CancelledCaptureEndsTheGestureAndLaterMovesDoNothing)
{
    PotFixture f(kFade);
    f.set(kFade, 0.5);
    f.skin.onLeftDown(false, false, 80, 125);
    f.skin.onMouseMove(false, false, 80, 115);
    f.skin.cancelCapture();  // the editor closes mid-drag
    f.skin.cancelCapture();  // and nothing is left to cancel
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_FALSE(f.pot->isPressed());
    EXPECT_FALSE(f.pot->isDragging());
    f.skin.onMouseMove(false, false, 80, 25);  // plain motion after reopening
    f.skin.onLeftUp(false, false, 80, 25);
    EXPECT_NEAR(f.stored(kFade), 0.6, 1e-12);
    ASSERT_EQ(Recorder::calls.size(), 4u);
    EXPECT_EQ(Recorder::calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(Recorder::calls.back().opcode, audioMasterEndEdit);
}

TEST(PotGesture, CtrlClickResetsAtOnceIgnoresMovesAndEndsOnce)
{
    PotFixture f(kThresh);
    const double fallback = f.defaultOf(kThresh);
    f.set(kThresh, 0.9);
    f.skin.onLeftDown(false, true, 65, 110);
    EXPECT_EQ(f.stored(kThresh), fallback);
    f.skin.onMouseMove(false, false, 65, 50);
    f.skin.onMouseMove(true, true, 145, 10);
    f.skin.onLeftUp(false, true, 65, 10);
    EXPECT_EQ(f.stored(kThresh), fallback);
    ASSERT_EQ(Recorder::calls.size(), 4u);
    EXPECT_EQ(Recorder::calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(f.automated(), (std::vector<float>{0.9f, float(fallback)}));
    EXPECT_EQ(Recorder::calls[3].opcode, audioMasterEndEdit);

    f.drag(false, {{0, -10}});  // the next plain press drags again
    EXPECT_NEAR(f.stored(kThresh), fallback + 0.1, 1e-12);
}

TEST(PotGesture, RightButtonIsIgnoredAndCursorIsTheHand)
{
    PotFixture f(kAttack);
    f.set(kAttack, 0.2);
    EXPECT_FALSE(f.skin.onRightDown(false, false, 80, 125));
    EXPECT_FALSE(f.skin.onRightUp(false, false, 80, 125));
    EXPECT_TRUE(Recorder::calls.empty());

    f.skin.onLeftDown(false, false, 80, 125);
    f.skin.onRightDown(false, false, 80, 125);
    f.skin.onRightUp(false, false, 80, 125);  // does not end the drag
    f.skin.onMouseMove(false, false, 80, 115);
    EXPECT_NEAR(f.stored(kAttack), 0.3, 1e-12);
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);
    f.skin.onLeftUp(false, false, 80, 115);

    EXPECT_EQ(f.skin.cursorAt(kX, kY + 49), kCursorHand);
    EXPECT_EQ(f.skin.cursorAt(kX + 50, kY), kCursorNone);
}

TEST(PotRedraw, FollowsTheQuantisedValueAndThePress)
{
    PotFixture f(kAttack);  // 300 steps
    f.set(kAttack, 0.5);
    f.skin.drawPass(&f.canvas);
    f.set(kAttack, 0.5 + 0.001);  // within one step: the shown value stays
    EXPECT_FALSE(f.pot->needsRedraw());
    f.set(kAttack, 0.5 + 0.01);
    EXPECT_TRUE(f.pot->needsRedraw());
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftDown(false, false, 80, 125);
    EXPECT_TRUE(f.pot->needsRedraw());
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftUp(false, false, 80, 125);
    EXPECT_TRUE(f.pot->needsRedraw());
}

TEST(PotFrames, ImagePotAndBackgroundDotPickTheirFrames)
{
    PotFixture f(kAttack);
    GImageResource strip("strip", "Quelt.png", 10, 10, 31), one("one", "Quelt.png", 10, 10, 1);
    auto* pot = f.adopt(new GImgPot(f.args(1, 0, 0, 10, 10), kAttack, &strip));
    const std::pair<double, int> cases[] = {{0.0, 0}, {0.5, 15}, {1.0, 30}, {0.49, 15}, {0.48, 14}};
    for (auto [value, frame] : cases) {
        f.set(kAttack, value);
        EXPECT_EQ(pot->frameIndex(), frame) << value;
    }
    f.skin.drawPass(&f.canvas);
    f.set(kAttack, 0.47);  // shown value changed, frame 14 still
    EXPECT_FALSE(pot->needsRedraw());

    GBgPotDot two(f.args(1, 0, 0, 50, 50), kFade, &strip, 15, kColour);
    GBgPotDot single(f.args(1, 0, 0, 50, 50), kFade, &one, 15, kColour);
    two.onLeftDown(false, false, 25, 25);
    single.onLeftDown(false, false, 25, 25);
    EXPECT_EQ(two.imageFrame(), 1);
    EXPECT_EQ(single.imageFrame(), 0);
    two.onLeftUp(false, false, 25, 25);
    EXPECT_EQ(two.imageFrame(), 0);
}

namespace {

// One of each pot type, side by side on page 1 above the fixture's own, all
// bound to Attack, and a Thresh pot on page 2.
struct WheelFixture : PotFixture {
    WheelFixture() : PotFixture(kAttack)
    {
        pots[0] = adopt(new GPotDot(args(1, 0, 0, 50, 50), kAttack, kColour, 15, kColour));
        pots[1] = adopt(new GBgPotDot(args(1, 60, 0, 50, 50), kAttack, &strip, 15, kColour));
        pots[2] = adopt(new GPotLine(args(1, 120, 0, 50, 50), kAttack, kColour, 20, kColour));
        pots[3] = adopt(new GImgPot(args(1, 180, 0, 50, 50), kAttack, &strip));
        hidden = adopt(new GPotDot(args(2, 0, 100, 50, 50), kThresh, kColour, 15, kColour));
    }

    std::vector<int> opcodes() const
    {
        std::vector<int> codes;
        for (const HostCall& call : Recorder::calls)
            codes.push_back(call.opcode);
        return codes;
    }

    GImageResource strip{"strip", "Quelt.png", 50, 50, 31};
    GPot* pots[4] = {};
    GPot* hidden = nullptr;
};

const std::vector<int> kNudge = {audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};

}  // namespace

TEST(PotWheel, EveryTypeStepsByTheWheelStepAndClampsAsOneGesturePerNotch)
{
    struct Case {
        double start;
        bool shift;
        int notches;
        double expected;
    } cases[] = {
        {0.5, false, 1, 0.52},  {0.5, false, -1, 0.48}, {0.5, true, 1, 0.502},
        {0.5, true, -1, 0.498}, {0.99, false, 1, 1.0},  {0.001, true, -1, 0.0},
        {1.0, false, 1, 1.0},   {0.0, false, -1, 0.0},  {3.0, false, -1, 1.0},
        {std::numeric_limits<double>::quiet_NaN(), false, 1, 0.0},
    };
    for (const Case& c : cases) {
        WheelFixture f;
        for (GPot* pot : f.pots) {
            f.set(kAttack, c.start);
            const int px = pot->getX() + 25, py = pot->getY() + 25;
            EXPECT_TRUE(f.skin.onWheel(c.shift, false, px, py, c.notches));
            EXPECT_NEAR(f.stored(kAttack), c.expected, 1e-12)
                << pot->getX() << ": " << c.start << (c.shift ? " fine " : " by ") << c.notches;
            EXPECT_EQ(f.opcodes(), kNudge);
            for (const HostCall& call : Recorder::calls)
                EXPECT_EQ(call.index, kAttack);
            EXPECT_EQ(f.automated(), (std::vector<float>{float(c.expected)}));
            EXPECT_FALSE(pot->isPressed());
            EXPECT_EQ(f.skin.getCaptureIndex(), -1);
        }
    }
}

TEST(PotWheel, NothingElseTakesItAndADragInProgressKeepsItsOwnGesture)
{
    WheelFixture f;
    f.set(kAttack, 0.5);
    f.set(kThresh, 0.5);
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(f.skin.onWheel(false, false, 300, 180, 1)) << "background";
    EXPECT_FALSE(f.skin.onWheel(false, false, 25, 125, 1)) << "pot of page 2";
    EXPECT_FALSE(f.skin.onWheel(false, false, 25, 25, 0));
    EXPECT_TRUE(Recorder::calls.empty());
    EXPECT_FALSE(f.pots[0]->needsRedraw());

    f.skin.onLeftDown(false, false, 25, 25);  // a drag on the first pot
    EXPECT_FALSE(f.skin.onWheel(false, false, 25, 25, 1)) << "the dragged pot";
    EXPECT_FALSE(f.skin.onWheel(false, false, 85, 25, 1)) << "another pot";
    EXPECT_FALSE(f.pots[0]->onWheel(false, false, 25, 25, 1)) << "pressed, called directly";
    f.skin.onMouseMove(false, false, 25, 15);
    f.skin.onLeftUp(false, false, 25, 15);
    EXPECT_EQ(f.opcodes(), (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate,
                                             audioMasterAutomate, audioMasterEndEdit}));
    EXPECT_NEAR(f.stored(kAttack), 0.6, 1e-12);

    Recorder::calls.clear();
    f.skin.setPage(2);
    EXPECT_TRUE(f.skin.onWheel(false, false, 25, 125, -1)) << "once its page is shown";
    EXPECT_NEAR(f.stored(kThresh), 0.48, 1e-12);
    EXPECT_EQ(f.opcodes(), kNudge);
    EXPECT_TRUE(f.hidden->needsRedraw());
}

TEST(PotWheel, SteppedParameterStoresTheStepAndShowsTheNearestStep)
{
    WheelFixture f;  // Fade has 99 steps: one is 1/99, more than a fine notch
    GPot* fade = f.adopt(new GPotDot(f.args(1, 0, 60, 50, 50), kFade, kColour, 15, kColour));
    f.set(kFade, 50.0 / 99);
    f.skin.drawPass(&f.canvas);
    f.skin.onWheel(true, false, 25, 85, 1);
    EXPECT_NEAR(f.stored(kFade), 50.0 / 99 + 0.002, 1e-12);
    EXPECT_NEAR(fade->shownValue(), 50.0 / 99, 1e-12);
    f.skin.onWheel(true, false, 25, 85, 1);
    f.skin.onWheel(true, false, 25, 85, 1);  // past half a step
    EXPECT_NEAR(fade->shownValue(), 51.0 / 99, 1e-12);
    f.skin.onWheel(false, false, 25, 85, 1);
    EXPECT_NEAR(f.stored(kFade), 50.0 / 99 + 0.026, 1e-12);
    EXPECT_NEAR(fade->shownValue(), 53.0 / 99, 1e-12);
}
