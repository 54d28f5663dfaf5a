// Buttons, commands, switches and radios: what a press and a release write,
// the host calls around them, the frames of their strips, redraws, and a
// capture lost to a page change.
#include "buttontest.h"
#include "controls/buttons.h"
#include "editor/resources.h"
#include "tests/knobs/knobtest.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

using namespace Zorv;
using buttontest::takeCalls;
using Calls = std::vector<std::string>;

namespace {

const unsigned char kOff[4] = {255, 0, 0, 255};
const unsigned char kOn[4] = {0, 255, 0, 255};
const unsigned char kPress[4] = {0, 0, 255, 128};
const GIndicator kBox = {5, 5, 30, 30, kOff, kOn, kPress};
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ButtonFixture : knobtest::KnobFixture {
    GImageResource* strip(int frames)
    {
        auto* image = new GImageResource("strip", "Quelt.png", 55, 100, frames);
        skin.addResource(image);
        return image;
    }
    // A click at a control's corner through the skin.
    void click(const GEditorControl* control, bool shift = false, bool ctrl = false)
    {
        skin.onLeftDown(shift, ctrl, control->getX(), control->getY());
        skin.onLeftUp(shift, ctrl, control->getX(), control->getY());
    }
};

}  // namespace

TEST(Button, MomentaryWritesWithoutEditBrackets)
{
    ButtonFixture f;
    auto* button = f.adopt(new GImgButton(f.args(1, 10, 10, 40, 40), kThresh, f.strip(3)));
    f.set(kThresh, 0.25);
    EXPECT_TRUE(f.skin.onLeftDown(true, true, 20, 20));
    EXPECT_EQ(f.stored(kThresh), 1.0);
    EXPECT_EQ(takeCalls(), (Calls{"A0=0.25", "A0=1"}));
    f.skin.onMouseMove(false, false, 200, 150);
    EXPECT_TRUE(f.skin.onLeftUp(false, false, 200, 150));  // outside: still its release
    EXPECT_EQ(f.stored(kThresh), 0.0);
    EXPECT_EQ(takeCalls(), (Calls{"A0=1", "A0=0"}));
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_FALSE(button->onLeftUp(false, false, 5, 5));
    EXPECT_FALSE(f.skin.onRightDown(false, false, 20, 20));
    EXPECT_TRUE(takeCalls().empty());
    EXPECT_EQ(f.skin.cursorAt(10, 49), kCursorHand);
}

TEST(Button, ThreeTwoAndOneFrameStrips)
{
    ButtonFixture f;
    auto* three = f.adopt(new GImgButton(f.args(1, 0, 0, 40, 40), kThresh, f.strip(3)));
    GImgButton two(f.args(1, 0, 0, 40, 40), kThresh, f.strip(2));
    GImgButton one(f.args(1, 0, 0, 40, 40), kThresh, f.strip(1));
    GImgButton* buttons[] = {three, &two, &one};
    auto frames = [&] {
        return std::vector<int>{three->frameIndex(), two.frameIndex(), one.frameIndex()};
    };
    f.set(kThresh, 0.0);
    EXPECT_EQ(frames(), (std::vector<int>{0, 0, 0}));
    for (GImgButton* button : buttons)
        button->onLeftDown(false, false, 1, 1);
    f.set(kThresh, 0.0);  // the host moves it back while held
    EXPECT_EQ(frames(), (std::vector<int>{2, 1, 0}));
    for (GImgButton* button : buttons)
        button->onLeftUp(false, false, 1, 1);
    EXPECT_EQ(f.stored(kThresh), 0.0);
    EXPECT_EQ(frames(), (std::vector<int>{0, 0, 0}));
    f.set(kThresh, 0.5);
    EXPECT_EQ(frames(), (std::vector<int>{1, 1, 0}));
    f.set(kThresh, 0.49);
    EXPECT_EQ(frames(), (std::vector<int>{0, 0, 0}));
    f.set(kThresh, kNaN);
    EXPECT_EQ(frames(), (std::vector<int>{0, 0, 0}));

    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(three->needsRedraw());
    f.set(kThresh, 0.9);
    EXPECT_TRUE(three->needsRedraw());
}

TEST(Button, LostCaptureWritesZeroOnce)
{
    ButtonFixture f;
    auto* button = f.adopt(new GImgButton(f.args(1, 10, 10, 40, 40), kFade, f.strip(3)));
    f.set(kFade, 0.0);
    f.skin.onLeftDown(false, false, 20, 20);
    takeCalls();
    f.skin.setPage(2);  // the page changes under the held button
    EXPECT_FALSE(f.skin.onLeftUp(false, false, 20, 20));
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_FALSE(button->isPressed());
    EXPECT_EQ(f.stored(kFade), 0.0);
    EXPECT_EQ(takeCalls(), (Calls{"A1=1", "A1=0"}));
    button->cancelCapture();
    EXPECT_TRUE(takeCalls().empty());
}

TEST(Command, ActsOnReleaseWithTheModifiersOfPressOrRelease)
{
    buttontest::CommandGate gate(skintest::Recorder::callback);
    GEditorSkin skin(&gate);
    skin.setSize(330, 195, 2);
    GImageResource image("strip", "Quelt.png", 55, 100, 2);
    auto* command = new GImgCommand({10, 10, 40, 40, 1, nullptr, &gate, &skin},
                                    buttontest::CommandGate::kGo, &image);
    skin.addControl(command);
    skintest::Recorder::calls.source = &gate;
    skintest::Recorder::calls.clear();

    skin.onLeftDown(true, false, 20, 20);
    EXPECT_TRUE(gate.commands().empty()) << "nothing on the press";
    EXPECT_TRUE(command->isPressed());
    skin.onLeftUp(false, false, 20, 20);
    skin.onLeftDown(false, false, 20, 20);
    EXPECT_TRUE(skin.onLeftUp(false, true, 300, 150));  // away from it: still performed
    skin.onLeftDown(true, true, 20, 20);
    skin.onLeftUp(false, false, 20, 20);
    skin.onLeftDown(false, false, 20, 20);
    skin.onLeftUp(false, false, 20, 20);
    EXPECT_EQ(gate.commands(), (Calls{"7s", "7c", "7sc", "7"}));

    skin.onLeftDown(true, true, 20, 20);
    command->cancelCapture();
    EXPECT_FALSE(command->isPressed());
    EXPECT_FALSE(command->onLeftUp(false, false, 20, 20));
    skin.onLeftDown(false, false, 20, 20);  // the old modifiers are gone
    skin.onLeftUp(false, false, 20, 20);
    EXPECT_EQ(gate.commands().size(), 5u);
    EXPECT_EQ(gate.commands().back(), "7");
    EXPECT_TRUE(skintest::Recorder::calls.empty()) << "no parameter is touched";
    EXPECT_EQ(skin.cursorAt(20, 20), kCursorHand);
    skintest::Recorder::calls.source = nullptr;
}

TEST(Switch, TogglesOncePerPressAtTheHalf)
{
    const std::pair<double, double> cases[] = {
        {0.5, 0.0}, {0.49, 1.0}, {1.0, 0.0}, {0.0, 1.0}, {0.9, 0.0}, {7.0, 0.0}};
    for (auto [start, written] : cases) {
        ButtonFixture f;
        auto* sw = f.adopt(new GHlSwitch(f.args(1, 10, 10, 40, 40), kAttack, kBox));
        f.set(kAttack, start);
        f.skin.onLeftDown(false, false, 20, 20);
        f.skin.onMouseMove(false, false, 25, 25);  // holding and moving do nothing more
        f.skin.onMouseMove(false, false, 200, 25);
        EXPECT_TRUE(sw->isPressed());
        f.skin.onLeftUp(false, false, 200, 25);
        EXPECT_EQ(f.stored(kAttack), written) << start;
        const Calls calls = takeCalls();
        ASSERT_EQ(calls.size(), 4u) << start;
        EXPECT_EQ(calls[0], "B2");
        EXPECT_EQ(calls[2], written ? "A2=1" : "A2=0");
        EXPECT_EQ(calls[3], "E2");
    }
    ButtonFixture f;
    auto* sw = f.adopt(new GImgSwitch(f.args(1, 10, 10, 40, 40), kAttack, f.strip(2)));
    f.set(kAttack, 0.0);
    for (double expected : {1.0, 0.0, 1.0}) {
        f.click(sw);
        EXPECT_EQ(f.stored(kAttack), expected);
    }
    EXPECT_FALSE(sw->isPressed());
}

TEST(Radio, FourRadiosCutTheRangeIntoFourBands)
{
    ButtonFixture f;
    std::vector<GRadio*> radios;
    for (int choice = 0; choice < 4; ++choice)
        radios.push_back(f.adopt(new GHlRadio(f.args(1, 10 + 50 * choice, 10, 40, 40), kAttack,
                                              choice, 3, kBox)));
    EXPECT_EQ(radios[2]->getBandLow(), 0.5);
    EXPECT_EQ(radios[2]->getBandHigh(), 0.75);
    EXPECT_EQ(radios[3]->getBandHigh(), 1.0);

    f.set(kAttack, 0.1);
    f.click(radios[2]);
    EXPECT_EQ(f.stored(kAttack), 0.625);
    EXPECT_EQ(takeCalls(), (Calls{"B2", "A2=0.1", "A2=0.625", "E2"}));

    auto selection = [&] {
        std::string s;
        for (GRadio* radio : radios)
            s += radio->selected() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(selection(), "0010");
    const std::pair<double, const char*> cases[] = {
        {0.0, "1000"},  {0.24, "1000"}, {0.25, "0100"}, {0.5, "0010"}, {0.74, "0010"},
        {0.75, "0001"}, {0.99, "0001"}, {1.0, "0001"},  {-0.5, "1000"}, {1.5, "0001"}};
    for (auto [value, expected] : cases) {
        f.set(kAttack, value);
        EXPECT_EQ(selection(), expected) << value;
    }
}

TEST(Radio, BandsStayFiniteAtTheExtremes)
{
    ButtonFixture f;
    GRadio only(f.args(1, 0, 0, 10, 10), kAttack, 0, 0);
    EXPECT_EQ(only.getBandTarget(), 0.5);
    f.set(kAttack, 1.0);
    EXPECT_TRUE(only.selected());
    GRadio top(f.args(1, 0, 0, 10, 10), kAttack, INT_MAX, INT_MAX);
    EXPECT_EQ(top.getBandHigh(), 1.0);
    EXPECT_TRUE(top.selected());
    EXPECT_GT(top.getBandLow(), 0.999999999);
    EXPECT_LT(top.getBandLow(), top.getBandTarget());
    top.onLeftDown(false, false, 0, 0);
    EXPECT_LT(f.stored(kAttack), 1.0);
    EXPECT_GT(f.stored(kAttack), top.getBandLow());
    top.cancelCapture();
}

TEST(SwitchRadio, CtrlClickWritesTheDefault)
{
    ButtonFixture f;
    auto* sw = f.adopt(new GHlSwitch(f.args(1, 10, 10, 40, 40), kFade, kBox));
    auto* radio = f.adopt(new GImgRadio(f.args(1, 60, 10, 40, 40), kAttack, 3, 3, f.strip(4)));
    f.set(kFade, 0.9);
    f.set(kAttack, 0.1);
    f.click(sw, false, true);
    f.click(radio, true, true);
    EXPECT_EQ(f.stored(kFade), f.defaultOf(kFade));
    EXPECT_EQ(f.stored(kAttack), f.defaultOf(kAttack));
    EXPECT_EQ(takeCalls().size(), 8u);
}

TEST(SwitchRadio, LostCaptureEndsTheGesture)
{
    ButtonFixture f;
    auto* sw = f.adopt(new GImgSwitch(f.args(1, 10, 10, 40, 40), kFade, f.strip(2)));
    auto* radio = f.adopt(new GHlRadio(f.args(1, 60, 10, 40, 40), kAttack, 1, 1, kBox));
    f.set(kFade, 0.0);
    f.set(kAttack, 0.0);
    f.skin.onLeftDown(false, false, 20, 20);
    f.skin.setPage(2);
    f.skin.onLeftUp(false, false, 20, 20);
    EXPECT_EQ(takeCalls(), (Calls{"B1", "A1=0", "A1=1", "E1"}));
    f.skin.setPage(1);
    f.skin.onLeftDown(false, false, 70, 20);
    radio->cancelCapture();  // as the window does when it loses the pointer
    EXPECT_EQ(takeCalls(), (Calls{"B2", "A2=0", "A2=0.75", "E2"}));
    EXPECT_FALSE(sw->isPressed());
    EXPECT_FALSE(radio->isPressed());
    sw->cancelCapture();
    radio->cancelCapture();
    EXPECT_TRUE(takeCalls().empty()) << "nothing to end";
}

TEST(SwitchRadio, StripFramesOfTwoThreeAndFourFrames)
{
    ButtonFixture f;
    struct Case {
        int frames;
        bool on, pressed;
        int frame;
    } cases[] = {
        {2, false, false, 0}, {2, true, false, 1}, {2, false, true, 0}, {2, true, true, 1},
        {3, false, false, 0}, {3, true, false, 1}, {3, false, true, 2}, {3, true, true, 2},
        {4, false, false, 0}, {4, true, false, 1}, {4, false, true, 2}, {4, true, true, 3},
        {1, true, false, 0}, {1, true, true, 0},  // no frame but the first
    };
    for (const Case& c : cases) {
        GImgSwitch sw(f.args(1, 0, 0, 10, 10), kAttack, f.strip(c.frames));
        GImgRadio radio(f.args(1, 0, 0, 10, 10), kFade, 1, 1, f.strip(c.frames));
        if (c.pressed) {
            sw.onLeftDown(false, false, 0, 0);
            radio.onLeftDown(false, false, 0, 0);
        }
        f.set(kAttack, c.on ? 0.8 : 0.2);
        f.set(kFade, c.on ? 0.8 : 0.2);
        EXPECT_EQ(sw.frameIndex(), c.frame) << c.frames << c.on << c.pressed;
        EXPECT_EQ(radio.frameIndex(), c.frame) << c.frames << c.on << c.pressed;
        sw.cancelCapture();
        radio.cancelCapture();
    }
}

TEST(SwitchRadio, HighlightTypesRedrawOnlyWhenTheirStateChanges)
{
    ButtonFixture f;
    auto* sw = f.adopt(new GHlSwitch(f.args(1, 10, 10, 40, 40), kAttack, kBox));
    auto* radio = f.adopt(new GHlRadio(f.args(1, 60, 10, 40, 40), kFade, 0, 1, kBox));
    f.set(kAttack, 0.7);
    f.set(kFade, 0.3);
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(sw->needsRedraw()) << "on, though not at 1";
    EXPECT_FALSE(radio->needsRedraw());
    f.set(kAttack, 0.9);
    f.set(kFade, 0.1);
    EXPECT_FALSE(sw->needsRedraw());
    EXPECT_FALSE(radio->needsRedraw());
    f.set(kAttack, 0.2);
    f.set(kFade, 0.6);
    EXPECT_TRUE(sw->needsRedraw());
    EXPECT_TRUE(radio->needsRedraw());
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftDown(false, false, 20, 20);
    EXPECT_TRUE(sw->needsRedraw()) << "the press tint";
}
