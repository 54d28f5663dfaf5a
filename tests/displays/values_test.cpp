// Parameter read-outs, labels with variables and their refresh interval, and
// the peak read-outs with their command.
#include "controls/values.h"
#include "displaytest.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace Zorv;
using displaytest::DisplayFixture;

namespace {

struct ValueFixture : DisplayFixture {
    // Draws the control the way a repaint does; true when it was drawn.
    bool repaint(GEditorControl* control) { return control->refresh(&canvas); }
};

struct FakeClock {
    int64_t now = 0;
    GMillisClock clock() { return [this] { return now; }; }
};

}  // namespace

TEST(ValueText, FollowsHostAndEditorChangesWithUnits)
{
    ValueFixture f;
    auto* attack = f.add(new GValue(f.args(135, 155, 60, 15, 1), kAttack, &f.font));
    auto* fade = f.add(new GBgValue(f.args(220, 155, 60, 15, 1), kFade, f.image(1), &f.font));
    f.effect.setParameter(kAttack, 0.5f);
    f.effect.setParameter(kFade, 0.0f);
    EXPECT_TRUE(f.repaint(attack));
    EXPECT_TRUE(f.repaint(fade));
    EXPECT_STREQ(attack->text(), "15.0 ms");
    EXPECT_STREQ(fade->text(), "0.01 s");
    EXPECT_FALSE(attack->needsRedraw());
    EXPECT_FALSE(f.repaint(fade));

    f.effect.setParameter(kAttack, 0.25f);  // host automation
    EXPECT_TRUE(attack->needsRedraw());
    EXPECT_TRUE(f.repaint(attack));
    EXPECT_STREQ(attack->text(), "7.5 ms");
    EXPECT_FALSE(attack->needsRedraw());

    f.effect.writeParameter(kFade, 1.0);  // an editor write
    EXPECT_TRUE(f.repaint(fade));
    EXPECT_STREQ(fade->text(), "1.00 s");
}

TEST(ValueText, TinyChangesAndProgramSwitches)
{
    ValueFixture f;
    auto* thresh = f.add(new GValue(f.args(50, 155, 60, 15, 1), kThresh, &f.font));
    f.effect.writeParameter(kThresh, 0.6);
    f.repaint(thresh);
    const std::string shown = thresh->text();
    EXPECT_NE(shown.find(" dB"), std::string::npos);

    f.effect.writeParameter(kThresh, 0.6 + 2e-5);  // within the same 0.1 dB step
    EXPECT_FALSE(thresh->needsRedraw());
    EXPECT_EQ(thresh->text(), shown);
    f.effect.writeParameter(kThresh, 0.62);
    EXPECT_TRUE(thresh->needsRedraw());
    f.repaint(thresh);

    f.effect.setProgram(1);
    f.effect.writeParameter(kThresh, 0.1);
    f.effect.setProgram(0);
    EXPECT_FALSE(thresh->needsRedraw());
    f.effect.setProgram(1);
    EXPECT_TRUE(thresh->needsRedraw());
}

TEST(ValueText, TakesNoMouse)
{
    ValueFixture f;
    auto* value = f.add(new GValue(f.args(0, 0, 60, 15), kAttack, &f.font));
    f.repaint(value);
    EXPECT_FALSE(f.skin.onLeftDown(false, false, 5, 5));
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_EQ(value->cursorAt(5, 5), kCursorDefault);
    EXPECT_FALSE(value->isDirty());
}

TEST(Label, TextsWithoutVariablesOrIntervalAreStatic)
{
    ValueFixture f;
    FakeClock time;
    GLabel plain(f.args(20, 75, 290, 20, 2), "Cost: $5 ~ no {braces}", &f.font, kAlignLeft, 0,
                 time.clock());
    GLabel noVars(f.args(20, 75, 290, 20, 2), "Noise gate", &f.font, kAlignLeft, 15000,
                  time.clock());
    GLabel build(f.args(20, 95, 290, 20, 2), "Build ~ ${PlugBuild} ~ ${Platform}${Nope}",
                 &f.font, kAlignLeft, 0, time.clock());
    EXPECT_STREQ(plain.text(), "Cost: $5 ~ no {braces}");
    EXPECT_STREQ(noVars.text(), "Noise gate");
    EXPECT_STREQ(build.text(), "Build ~ 2.7 ~ Linux64");
    for (GLabel* label : {&plain, &noVars, &build}) {
        EXPECT_TRUE(label->isStatic());
        EXPECT_TRUE(f.repaint(label));
        time.now += 1000000;
        EXPECT_FALSE(label->needsRedraw());
    }
}

TEST(Label, ReexpandsAtTheFirstRepaintAfterItsInterval)
{
    ValueFixture f;
    FakeClock time;
    time.now = 5000;
    f.effect.setSampleRate(44100.0f);
    GLabel label(f.args(20, 150, 260, 20, 2), "${SRate} Hz ~ ${Inputs}x${Outputs}", &f.font,
                 kAlignLeft, 15000, time.clock());
    EXPECT_FALSE(label.isStatic());
    EXPECT_STREQ(label.text(), "44100 Hz ~ 2x2");
    EXPECT_TRUE(f.repaint(&label));

    f.effect.setSampleRate(48000.0f);
    time.now = 5000 + 15000;
    EXPECT_FALSE(label.needsRedraw());
    EXPECT_STREQ(label.text(), "44100 Hz ~ 2x2");
    time.now += 1;
    EXPECT_TRUE(label.needsRedraw());
    EXPECT_TRUE(f.repaint(&label));
    EXPECT_STREQ(label.text(), "48000 Hz ~ 2x2");
    EXPECT_FALSE(label.needsRedraw());

    time.now -= 10;  // a clock that went back
    EXPECT_TRUE(label.needsRedraw());
}

TEST(Label, LongExpansionsAreCut)
{
    ValueFixture f;
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "${PlugVer}${Platform}";  // 40 x 10 characters expanded
    GLabel label(f.args(0, 0, 10, 10), text.c_str(), &f.font, kAlignLeft, 0);
    EXPECT_EQ(strlen(label.text()), size_t(GLabel::kTextSize - 1));
}

TEST(Peak, TextsAndFonts)
{
    ValueFixture f;
    std::atomic<double> peak{0.0};
    GTextPeak control(f.args(0, 0, 80, 15), &peak, 3, &f.font, &f.hotFont);
    struct Case {
        double value;
        const char* text;
        bool hot;
    } cases[] = {
        {0.0, "Peak: -Inf dB", false},   {5e-7, "Peak: -Inf dB", false},
        {-1.0, "Peak: -Inf dB", false},  {1.0, "Peak: 0.0 dB", false},
        {2.0, "Peak: 6.0 dB", true},     {0.5, "Peak: -6.0 dB", false},
        {1e300, "Peak: 6000.0 dB", true},
    };
    for (const Case& c : cases) {
        peak = c.value;
        control.invalidate();
        f.repaint(&control);
        EXPECT_STREQ(control.text(), c.text) << c.value;
        EXPECT_EQ(control.shownFont(), c.hot ? &f.hotFont : &f.font) << c.value;
    }
}

TEST(Peak, RedrawsOnlyWhenThePeakMoves)
{
    ValueFixture f;
    std::atomic<double> peak{0.25};
    GTextPeak text(f.args(0, 0, 80, 15), &peak, 3, &f.font, &f.hotFont);
    GImgPeak light(f.args(0, 20, 33, 19), f.image(2), &peak, 3);
    f.repaint(&text);
    f.repaint(&light);
    peak = 0.25 + 5e-6;
    EXPECT_FALSE(text.needsRedraw());
    peak = 0.999;
    EXPECT_TRUE(text.needsRedraw());
    EXPECT_FALSE(light.needsRedraw());
    EXPECT_EQ(light.frameIndex(), 0);
    peak = 1.0;
    EXPECT_EQ(light.frameIndex(), 1);
    EXPECT_TRUE(f.repaint(&light));
    EXPECT_FALSE(light.needsRedraw());
    peak = 0.0;
    EXPECT_TRUE(light.needsRedraw());

    GImgPeak single(f.args(0, 40, 33, 19), f.image(1), &peak, 3);
    peak = 4.0;
    EXPECT_EQ(single.frameIndex(), 0);  // no frame past the image's last
}

TEST(Peak, ClickRunsTheCommandWithoutCapture)
{
    ValueFixture f;
    std::atomic<double> peak{0.5};
    auto* text = f.add(new GTextPeak(f.args(0, 0, 80, 15), &peak, 3, &f.font, &f.hotFont));
    auto* light = f.add(new GImgPeak(f.args(0, 20, 33, 19), f.image(2), &peak, 7));
    f.repaint(text);
    f.repaint(light);
    const int exposes = f.window.exposes;

    EXPECT_EQ(f.skin.cursorAt(10, 5), kCursorHand);
    EXPECT_EQ(f.skin.cursorAt(10, 25), kCursorHand);
    f.skin.onLeftDown(true, false, 10, 5);
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    f.skin.onLeftDown(false, true, 10, 25);
    f.skin.onRightDown(false, false, 10, 25);
    ASSERT_EQ(f.effect.commands.size(), 2u);
    EXPECT_EQ(f.effect.commands[0].id, 3);
    EXPECT_TRUE(f.effect.commands[0].shift);
    EXPECT_FALSE(f.effect.commands[0].control);
    EXPECT_EQ(f.effect.commands[1].id, 7);
    EXPECT_TRUE(f.effect.commands[1].control);
    EXPECT_TRUE(text->isDirty());
    EXPECT_TRUE(light->isDirty());
    EXPECT_EQ(f.window.exposes, exposes + 2);
}
