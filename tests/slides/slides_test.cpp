// Slides: the knob's travel and position, the knob-only grab, drag
// arithmetic with and without Shift, Ctrl-click reset, the host's view of a
// gesture including a lost capture, redraws, and the skin factory.
#include "controls/slides.h"
#include "editor/builder.h"
#include "editor/resources.h"
#include "tests/skin/skintest.h"
#include "tests/testeffect/testeffect.h"
#include "tests/text/memory_reader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace Zorv;
using skintest::Recorder;
using testeffect::kLevel;
using testeffect::kMode;
using testeffect::kTrim;

namespace {

constexpr int kX = 20, kY = 40;  // a 30 x 100 slide with a 20 x 20 knob: travel 80
const unsigned char kRed[4] = {255, 0, 0, 255};

struct SlideFixture {
    explicit SlideFixture(int index = kLevel)
    {
        Recorder::calls.source = &effect;
        Recorder::calls.clear();
        skin.setSize(330, 195, 2);
        skin.setWindow(&window);
        skin.addResource(knob);
        ControlArgs args{kX, kY, 30, 100, 1, nullptr, &effect, &skin};
        slide = new GSlide(args, index, knob, kRed, {0, 5, 20, 10});
        skin.addControl(slide);
    }

    double stored(int index)
    {
        return effect.getBank().parameter(index)->getNormalised(
            effect.getBank().slot(effect.getProgram(), index));
    }
    // Sets a value without telling the host, draws, and forgets earlier host calls.
    void set(int index, double normalised)
    {
        effect.writeParameter(index, normalised);
        skin.drawPass(&canvas);
        Recorder::calls.clear();
    }
    ~SlideFixture() { Recorder::calls.source = nullptr; }
    int knobCentreY() const { return kY + slide->getKnobY() + 10; }

    std::vector<int> opcodes() const
    {
        std::vector<int> codes;
        for (const skintest::HostCall& call : Recorder::calls)
            codes.push_back(call.opcode);
        return codes;
    }
    std::vector<float> automated() const
    {
        std::vector<float> values;
        for (const skintest::HostCall& call : Recorder::calls)
            if (call.opcode == audioMasterAutomate)
                values.push_back(call.value);
        return values;
    }

    testeffect::TestEffect effect{Recorder::callback};
    GEditorSkin skin{&effect};
    GCanvas canvas{nullptr, 330, 195};
    skintest::CountingWindow window;
    GImageResource* knob = new GImageResource("knob", "Quelt.png", 20, 20, 1);
    GSlide* slide = nullptr;
};

const std::vector<int> kGesture = {audioMasterBeginEdit, audioMasterAutomate,
                                   audioMasterAutomate, audioMasterEndEdit};

}  // namespace

TEST(SlideKnob, TravelAndTopFollowTheShownValue)
{
    SlideFixture f;
    EXPECT_EQ(f.slide->getTravel(), 80);
    EXPECT_EQ(f.slide->getKnobY(), -1);
    const std::pair<double, int> tops[] = {{0.0, 80}, {0.5, 40}, {1.0, 1}, {0.25, 60},
                                           {3.0, 1}, {-2.0, 80}};
    for (auto [value, top] : tops) {
        f.set(kLevel, value);
        EXPECT_EQ(f.slide->knobTop(), top) << value;
        EXPECT_EQ(f.slide->getKnobY(), top) << "drawn at " << value;
    }
    f.set(kLevel, std::numeric_limits<double>::quiet_NaN());
    EXPECT_GE(f.slide->knobTop(), 1);
    EXPECT_LE(f.slide->knobTop(), 80);

    SlideFixture stepped(kMode);  // 3 steps: 0.4 shows as 1/3
    stepped.set(kMode, 0.4);
    EXPECT_EQ(stepped.slide->knobTop(), 80 - int(79.0 / 3 + 0.5));
}

TEST(SlideDrag, FortyPixelsUpFromAQuarterWithAndWithoutShift)
{
    for (bool shift : {false, true}) {
        SlideFixture f;
        f.set(kLevel, 0.25);
        const int px = kX + 10, py = f.knobCentreY();
        ASSERT_TRUE(f.skin.onLeftDown(shift, false, px, py));
        for (int step = 1; step <= 4; ++step)
            f.skin.onMouseMove(shift, false, px, py - 10 * step);
        f.skin.onLeftUp(shift, false, px, py - 40);
        EXPECT_NEAR(f.stored(kLevel), shift ? 0.3 : 0.75, 1e-12) << shift;
        const std::vector<int> expected = {audioMasterBeginEdit, audioMasterAutomate,
                                           audioMasterAutomate, audioMasterAutomate,
                                           audioMasterAutomate, audioMasterAutomate,
                                           audioMasterEndEdit};
        EXPECT_EQ(f.opcodes(), expected);
        EXPECT_FLOAT_EQ(f.automated().front(), 0.25f);
        EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    }
}

TEST(SlideDrag, SidewaysChangesNothingAndTheEndsClamp)
{
    SlideFixture f;
    f.set(kLevel, 0.5);
    const int px = kX + 10, py = f.knobCentreY();
    f.skin.onLeftDown(false, false, px, py);
    f.skin.onMouseMove(false, false, px + 60, py);
    f.skin.onMouseMove(false, false, px - 90, py);
    EXPECT_EQ(f.stored(kLevel), 0.5);
    f.skin.onMouseMove(false, false, px, py - 300);  // far above, still captured
    EXPECT_EQ(f.stored(kLevel), 1.0);
    f.skin.onMouseMove(false, false, px, py + 500);
    EXPECT_EQ(f.stored(kLevel), 0.0);
    f.skin.onLeftUp(false, false, px, py + 500);
    EXPECT_EQ(f.automated(), (std::vector<float>{0.5f, 0.5f, 0.5f, 1.0f, 0.0f}));
}

TEST(SlideGrab, OnlyTheKnobIsGrabbed)
{
    SlideFixture f;
    f.set(kLevel, 0.5);  // knob rows 40..59 of the control
    const int knobTop = kY + 40;
    EXPECT_FALSE(f.skin.onLeftDown(false, false, kX + 10, knobTop - 1)) << "track above";
    EXPECT_FALSE(f.skin.onLeftDown(false, false, kX + 10, knobTop + 20)) << "track below";
    EXPECT_FALSE(f.skin.onLeftDown(false, false, kX + 25, knobTop + 5)) << "beside the knob";
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_TRUE(Recorder::calls.empty());
    EXPECT_EQ(f.skin.cursorAt(kX + 10, knobTop - 1), kCursorDefault);
    EXPECT_EQ(f.skin.cursorAt(kX + 10, knobTop), kCursorHand);
    EXPECT_EQ(f.skin.cursorAt(kX + 19, knobTop + 19), kCursorHand);

    EXPECT_TRUE(f.skin.onLeftDown(false, false, kX, knobTop));
    EXPECT_EQ(f.skin.cursorAt(kX + 10, kY), kCursorHand) << "anywhere while pressed";
    EXPECT_TRUE(f.skin.onLeftDown(false, false, kX, knobTop)) << "a second press changes nothing";
    f.skin.onLeftUp(false, false, kX, knobTop);
    EXPECT_EQ(f.opcodes(), (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate,
                                             audioMasterEndEdit}));
}

TEST(SlideGesture, CtrlClickWritesTheDefaultAndDoesNotDrag)
{
    SlideFixture f(kTrim);
    f.set(kTrim, 0.9);
    const int px = kX + 5, py = f.knobCentreY();
    ASSERT_TRUE(f.skin.onLeftDown(false, true, px, py));
    EXPECT_EQ(f.stored(kTrim), 0.25);
    EXPECT_FALSE(f.slide->isDragging());
    f.skin.onMouseMove(false, false, px, py - 40);
    EXPECT_EQ(f.stored(kTrim), 0.25);
    f.skin.onLeftUp(false, true, px, py - 40);
    EXPECT_EQ(f.opcodes(), (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate,
                                             audioMasterAutomate, audioMasterEndEdit}));
    EXPECT_EQ(f.automated(), (std::vector<float>{0.9f, 0.25f}));
}

TEST(SlideGesture, ALostCaptureStillEndsTheEdit)
{
    SlideFixture f;
    f.set(kLevel, 0.5);
    f.skin.onLeftDown(false, false, kX + 10, f.knobCentreY());
    f.skin.setPage(2);  // the slide is on page 1 only
    f.skin.onLeftUp(false, false, kX + 10, kY);
    EXPECT_FALSE(f.slide->isPressed());
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_EQ(f.opcodes(), (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate,
                                             audioMasterEndEdit}));
    f.slide->cancelCapture();  // nothing held: nothing sent
    EXPECT_EQ(Recorder::calls.size(), 3u);
}

TEST(SlideRedraw, OnlyWhenTheKnobMovesOrThePressChanges)
{
    SlideFixture f;
    f.set(kLevel, 0.5);
    EXPECT_FALSE(f.slide->needsRedraw());
    f.effect.writeParameter(kLevel, 0.5 + 0.004);  // same pixel row
    EXPECT_FALSE(f.slide->needsRedraw());
    f.effect.writeParameter(kLevel, 0.52);
    EXPECT_TRUE(f.slide->needsRedraw());
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftDown(false, false, kX + 10, f.knobCentreY());
    EXPECT_TRUE(f.slide->needsRedraw()) << "the press rectangle appears";
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftUp(false, false, kX + 10, f.knobCentreY());
    EXPECT_TRUE(f.slide->needsRedraw()) << "and goes";
}

TEST(SlideWheel, AnywhereOnTheSlideOneGesturePerNotchClamped)
{
    struct Case {
        double start;
        bool shift;
        int notches;
        int y;  // in the control: the track above the knob, the knob, the track below
        double expected;
    } cases[] = {
        {0.5, false, 1, 2, 0.52},   {0.5, false, -1, 50, 0.48}, {0.5, true, 1, 95, 0.502},
        {0.5, true, -1, 2, 0.498},  {0.995, false, 1, 2, 1.0},  {0.01, false, -1, 95, 0.0},
        {1.0, false, 1, 2, 1.0},
    };
    for (const Case& c : cases) {
        SlideFixture f;
        f.set(kLevel, c.start);
        EXPECT_TRUE(f.skin.onWheel(c.shift, false, kX + 25, kY + c.y, c.notches));
        EXPECT_NEAR(f.stored(kLevel), c.expected, 1e-12)
            << c.start << (c.shift ? " fine " : " by ") << c.notches << " at " << c.y;
        EXPECT_EQ(f.opcodes(), (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate,
                                                 audioMasterEndEdit}));
        EXPECT_EQ(f.automated(), (std::vector<float>{float(c.expected)}));
        EXPECT_FALSE(f.slide->isPressed());
        EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    }
}

TEST(SlideWheel, TheKnobFollowsButNotDuringADragNorOnAnotherPage)
{
    SlideFixture f;
    f.set(kLevel, 0.5);
    const int exposes = f.window.exposes;
    for (int i = 0; i < 5; ++i)
        f.skin.onWheel(false, false, kX + 5, kY + 5, 1);
    EXPECT_EQ(f.slide->knobTop(), 80 - int(0.6 * 79 + 0.5));
    EXPECT_TRUE(f.slide->needsRedraw());
    EXPECT_EQ(f.window.exposes, exposes + 5);
    f.skin.drawPass(&f.canvas);
    Recorder::calls.clear();

    f.skin.onLeftDown(false, false, kX + 10, f.knobCentreY());
    EXPECT_FALSE(f.skin.onWheel(false, false, kX + 10, kY + 5, 1));
    EXPECT_FALSE(f.slide->onWheel(false, false, 10, 5, 1)) << "pressed, called directly";
    f.skin.onLeftUp(false, false, kX + 10, f.knobCentreY());
    f.skin.setPage(2);
    EXPECT_FALSE(f.skin.onWheel(false, false, kX + 10, kY + 5, 1));
    EXPECT_EQ(f.opcodes(), (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate,
                                             audioMasterEndEdit}));
    EXPECT_NEAR(f.stored(kLevel), 0.6, 1e-12);
}

TEST(SlideFactory, ArgumentsAndAKnobWithoutRoomToTravel)
{
    testeffect::TestEffect effect(nullptr);
    const std::string prelude = "Init 330 195 2\n"
                                "AddResource col RGBColour 200 0 0\n"
                                "AddResource knob PngResource \"Quelt.png\" 20 20 1\n";
    std::vector<std::unique_ptr<GEditorSkin>> skins;
    auto build = [&](const std::string& line) {
        MemoryReader source(prelude + line + "\n");
        XP::TokenReader tokens(&source);
        GEditorSkinBuilder builder(&effect);
        skins.emplace_back(builder.buildSkin(tokens));
        const auto& controls = skins.back()->getControls();
        return controls.getCount() == 1 ? dynamic_cast<GSlide*>(controls.get(0)) : nullptr;
    };
    struct Case {
        const char* line;
        bool made;
    } cases[] = {
        {"AddControl 1 0 0 30 100 GSlide level knob col 0 5 20 10", true},
        {"AddControl 1 0 0 30 21 gslide Trim knob col 0 0 0 0", true},
        {"AddControl 1 0 0 30 20 GSlide Trim knob col 0 0 0 0", false},
        {"AddControl 1 0 0 30 5 GSlide Trim knob col 0 0 0 0", false},
        {"AddControl 1 0 0 30 -100 GSlide Trim knob col 0 0 0 0", false},
        {"AddControl 1 0 0 30 100 GSlide Nothing knob col 0 0 0 0", false},
        {"AddControl 1 0 0 30 100 GSlide Trim col col 0 0 0 0", false},
        {"AddControl 1 0 0 30 100 GSlide Trim knob knob 0 0 0 0", false},
        {"AddControl 1 0 0 30 100 GSlide Trim knob Null 0 0 0 0", false},
        {"AddControl 1 0 0 30 100 GSlide Trim knob col 0 0 0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(build(c.line) != nullptr, c.made) << c.line;
    GSlide* slide = build(cases[0].line);
    ASSERT_NE(slide, nullptr);
    EXPECT_EQ(slide->getTravel(), 80);
}
