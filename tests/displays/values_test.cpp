// Parameter read-outs, labels with variables and their refresh interval, and
// the peak read-outs with their command.
#include "controls/values.h"
#include "displaytest.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Zorv;

namespace {

struct FakeClock {
    int64_t now = 5000;
    GMillisClock clock() { return [this] { return now; }; }
};

}  // namespace

TEST(DisplayValue, FollowsHostAndEditorChangesWithUnits)
{
    displaytest::DisplayFixture f;
    GValue attack(f.args(135, 155, 60, 15, 1), kAttack, &f.font);
    GBgValue thresh(f.args(50, 155, 60, 15, 1), kThresh, f.image(1), &f.font);
    f.effect.setParameter(kAttack, 0.5f);
    f.effect.writeParameter(kThresh, 0.6);
    EXPECT_TRUE(attack.refresh(&f.canvas));
    EXPECT_TRUE(thresh.refresh(&f.canvas));
    EXPECT_STREQ(attack.text(), "15.0 ms");
    EXPECT_FALSE(attack.needsRedraw());

    f.effect.setParameter(kAttack, 0.25f);  // host automation
    EXPECT_TRUE(attack.refresh(&f.canvas));
    EXPECT_STREQ(attack.text(), "7.5 ms");

    const std::string shown = thresh.text();
    f.effect.writeParameter(kThresh, 0.6 + 2e-5);  // an editor write within one 0.1 dB step
    EXPECT_FALSE(thresh.needsRedraw());
    EXPECT_EQ(thresh.text(), shown);
    f.effect.writeParameter(kThresh, 0.62);
    EXPECT_TRUE(thresh.refresh(&f.canvas));
    EXPECT_NE(thresh.text(), shown);
    EXPECT_NE(shown.find(" dB"), std::string::npos);

    f.effect.setProgram(1);  // another program's value
    EXPECT_TRUE(attack.needsRedraw());
}

namespace {

// A gate whose parameter moves once while the editor reads it (the host thread
// writing between two reads of one draw), then holds.
struct MovingGate : displaytest::CommandGate {
    using CommandGate::CommandGate;
    int32_t getProgram() override
    {
        if (armed && ++reads == 2) {
            armed = false;
            setParameter(Zorv::kAttack, 0.25f);
        }
        return CommandGate::getProgram();
    }
    bool armed = false;
    int reads = 0;
};

}  // namespace

TEST(DisplayValue, AValueThatMovesDuringTheDrawIsDrawnAgain)
{
    displaytest::DisplayFixture f;
    MovingGate gate(skintest::Recorder::callback);
    ControlArgs args = f.args(135, 155, 60, 15, 1);
    args.effect = &gate;
    GValue attack(args, kAttack, &f.font);
    gate.setParameter(kAttack, 0.5f);
    gate.armed = true;
    EXPECT_TRUE(attack.refresh(&f.canvas));
    EXPECT_STREQ(attack.text(), "7.5 ms");
    EXPECT_TRUE(attack.needsRedraw()) << "the draw may have shown 15.0 ms";
    EXPECT_TRUE(attack.refresh(&f.canvas));
    EXPECT_FALSE(attack.needsRedraw());
}

TEST(DisplayLabel, ExpandsOnceUnlessItHasAnInterval)
{
    displaytest::DisplayFixture f;
    FakeClock time;
    GLabel plain(f.args(0, 0, 290, 20), "Noise gate {no}", &f.font, kAlignLeft, 15000, time.clock());
    GLabel build(f.args(0, 0, 290, 20), "Build ~ ${PlugBuild} ~ ${Platform}${Nope}", &f.font,
                 kAlignLeft, 0, time.clock());
    EXPECT_STREQ(plain.text(), "Noise gate {no}");
    EXPECT_STREQ(build.text(), "Build ~ 2.7 ~ Linux64");
    for (GLabel* label : {&plain, &build}) {
        EXPECT_TRUE(label->refresh(&f.canvas));
        time.now += 100000;
        EXPECT_FALSE(label->needsRedraw());
    }
}

TEST(DisplayLabel, ReexpandsAtTheFirstRepaintAfterItsInterval)
{
    displaytest::DisplayFixture f;
    FakeClock time;
    f.effect.setSampleRate(44100.0f);
    GLabel label(f.args(20, 150, 260, 20, 2), "${SRate} Hz ~ ${Inputs}x${Outputs}", &f.font,
                 kAlignLeft, 15000, time.clock());
    EXPECT_STREQ(label.text(), "44100 Hz ~ 2x2");
    EXPECT_TRUE(label.refresh(&f.canvas));

    f.effect.setSampleRate(48000.0f);
    time.now += 15000;
    EXPECT_FALSE(label.needsRedraw());
    time.now += 1;
    EXPECT_TRUE(label.refresh(&f.canvas));
    EXPECT_STREQ(label.text(), "48000 Hz ~ 2x2");
    EXPECT_FALSE(label.needsRedraw());
    time.now -= 10;  // a clock that went back
    EXPECT_TRUE(label.needsRedraw());
}

TEST(DisplayPeak, TextsFontsAndFrames)
{
    displaytest::DisplayFixture f;
    std::atomic<double> peak{0.0};
    GTextPeak text(f.args(0, 0, 80, 15), &peak, 3, &f.font, &f.hotFont);
    GImgPeak light(f.args(0, 20, 33, 19), f.image(2), &peak, 3);
    GImgPeak single(f.args(0, 40, 33, 19), f.image(1), &peak, 3);
    const struct {
        double value;
        const char* text;
        bool hot;
        int frame;
    } cases[] = {
        {0.0, "Peak: -Inf dB", false, 0}, {5e-7, "Peak: -Inf dB", false, 0},
        {NAN, "Peak: -Inf dB", false, 0}, {0.5, "Peak: -6.0 dB", false, 0},
        {0.9, "Peak: -0.9 dB", false, 0}, {1.0, "Peak: 0.0 dB", false, 1},
        {2.0, "Peak: 6.0 dB", true, 1},
    };
    for (const auto& c : cases) {
        peak = c.value;
        text.invalidate();
        text.refresh(&f.canvas);
        EXPECT_STREQ(text.text(), c.text) << c.value;
        EXPECT_EQ(text.shownFont(), c.hot ? &f.hotFont : &f.font) << c.value;
        EXPECT_EQ(light.frameIndex(), c.frame) << c.value;
        EXPECT_EQ(single.frameIndex(), 0);
        peak = c.value + 5e-6;
        EXPECT_FALSE(text.needsRedraw()) << c.value;
    }
}

TEST(DisplayPeak, ClickRunsTheCommandWithoutCapture)
{
    displaytest::DisplayFixture f;
    std::atomic<double> peak{0.5};
    auto* text = f.add(new GTextPeak(f.args(0, 0, 80, 15), &peak, 3, &f.font, &f.hotFont));
    auto* light = f.add(new GImgPeak(f.args(0, 20, 33, 19), f.image(2), &peak, 7));
    text->refresh(&f.canvas);
    light->refresh(&f.canvas);
    EXPECT_EQ(f.skin.cursorAt(10, 25), kCursorHand);
    f.skin.onLeftDown(true, false, 10, 5);
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    f.skin.onLeftDown(false, true, 10, 25);
    f.skin.onRightDown(false, false, 10, 25);
    ASSERT_EQ(f.effect.commands.size(), 2u);
    EXPECT_EQ(f.effect.commands[0].id, 3);
    EXPECT_TRUE(f.effect.commands[0].shift && !f.effect.commands[0].control);
    EXPECT_EQ(f.effect.commands[1].id, 7);
    EXPECT_TRUE(f.effect.commands[1].control);
    EXPECT_TRUE(text->isDirty() && light->isDirty());
    EXPECT_EQ(f.window.exposes, 2);
}
