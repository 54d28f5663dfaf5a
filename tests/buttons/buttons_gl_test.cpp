// A small skin of switches, radios, a button, a command and a still image in
// an editor on a private Xvfb, clicked through XTest: the values stored, the
// host calls in order and the pixels on screen, also when a page change takes
// a held control away.
#include "tests/window/windowtest.h"  // gtest before X11

#include "buttontest.h"
#include "editor/builder.h"
#include "tests/text/memory_reader.h"
#include "tools/host/calllog.h"
#include "xp/tokenreader.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <array>

namespace windowtest {
namespace {

using Calls = std::vector<std::string>;
using Colour = std::array<int, 3>;
using Zorv::GRect;

const char kSkin[] =
    "AddResource bg PngResource \"Quelt.png\" 330 195 2\n"
    "AddResource cells PngResource \"Quelt.png\" 55 100 3\n"
    "AddResource single PngResource \"Quelt.png\" 55 100 1\n"
    "AddResource off RGBColour 255 0 0\n"
    "AddResource on RGBColour 0 255 0\n"
    "AddResource tint RGBColour 0 0 255\n"
    "Init 330 195 2\n"
    "RefreshThrottleMs 0\n"
    "BackgroundMap bg\n"
    "AddControl 1 100 20 40 40 GHlSwitch Attack 5 5 30 30 off on tint\n"
    "AddControl 1 150 20 40 40 GHlRadio Fade 2 3 5 5 30 30 off on tint\n"
    "AddControl 1 200 20 40 40 GHlRadio Fade 3 3 5 5 30 30 off on tint\n"
    "AddControl 1 10 90 55 100 GImgButton Thresh cells\n"
    "AddControl 1 70 90 55 100 GImgCommand Go cells\n"
    "AddControl 1 260 90 55 100 GImgCommand Go single\n"
    "AddControl 2 130 90 40 40 GImg cells\n";
constexpr int kControls = 7;
constexpr int kCellW = 55;                 // cells are side by side from the image's corner
constexpr GRect kButton = {10, 90, 55, 100};
constexpr GRect kCommand = {70, 90, 55, 100};
constexpr GRect kSingle = {260, 90, 55, 100};  // a command over a one-frame strip
constexpr GRect kImage = {130, 90, 40, 40};
constexpr Colour kRed = {255, 0, 0}, kGreen = {0, 255, 0}, kBlue = {0, 0, 255};

Zorv::GCallLog hostLog;

intptr_t logHost(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                 float opt)
{
    hostLog.add(effect, opcode, index, value, ptr, opt);
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// Pixels of dst that differ from the same-sized area of src at (sx, sy).
int mismatchesAt(const Pixels& got, const Pixels& src, const GRect& dst, int sx, int sy)
{
    int bad = 0;
    for (int y = 0; y < dst.h; ++y)
        for (int x = 0; x < dst.w; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(got.at(dst.x + x, dst.y + y)[c] - src.at(sx + x, sy + y)[c]) >
                    kTolerance) {
                    ++bad;
                    break;
                }
    return bad;
}

class ButtonEditorTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        if (HasFatalFailure())
            return;
        delete skin;  // the fixture's own; this test's skin comes from its text
        delete effect;
        hostLog.clear();
        gate = new buttontest::CommandGate(&logHost);
        effect = gate;
        MemoryReader text(kSkin);
        XP::TokenReader tokens(&text);
        Zorv::GEditorSkinBuilder builder(effect);
        skin = builder.buildSkin(tokens);
        ASSERT_NE(skin, nullptr);
        ASSERT_EQ(skin->getControls().getCount(), kControls);
        artwork = backgroundFrame(0);
        ASSERT_TRUE(openEditor());
        hostLog.clear();
    }

    // The UI thread ends before the gate it reads is taken apart.
    void TearDown() override
    {
        if (editor)
            editor->close();
        EditorFixture::TearDown();
    }

    // Edit and automation calls so far, as "B2", "A2=0.625", "E2".
    Calls gesture()
    {
        Calls out;
        for (const Zorv::GHostCall& c : hostLog.calls())
            if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit ||
                c.opcode == audioMasterAutomate)
                out.push_back(buttontest::describe(c.opcode, c.index, c.opt));
        return out;
    }
    static std::string automated(int index, float value)
    {
        return buttontest::describe(audioMasterAutomate, index, value);
    }
    bool gestureHas(size_t count)
    {
        return waitFor([&] { return gesture().size() >= count; });
    }

    void click(int x, int y)
    {
        pointerTo(x, y);
        button(1, true);
        button(1, false);
    }
    double stored(int index) { return effect->getParameter(index); }

    // Whether the window comes to satisfy pred before the wait runs out.
    bool becomes(const std::function<bool(const Pixels&)>& pred) { return pred(grabWhen(pred)); }
    // Whether the pixel comes near a colour (antialiased edges aside).
    bool turns(int x, int y, const Colour& rgb)
    {
        return becomes([&](const Pixels& shot) {
            const unsigned char* p = shot.at(x, y);
            for (int c = 0; c < 3; ++c)
                if (std::abs(p[c] - rgb[c]) >= 40)
                    return false;
            return true;
        });
    }
    // Whether a rectangle comes to show a cell of the strip.
    bool showsCell(const GRect& area, int cell)
    {
        return becomes([&](const Pixels& shot) {
            return mismatchesAt(shot, artwork, area, cell * kCellW, 0) == 0;
        });
    }

    buttontest::CommandGate* gate = nullptr;
    Pixels artwork;
};

TEST_F(ButtonEditorTest, SwitchClickTogglesOneGestureAndTheIndicator)
{
    EXPECT_TRUE(turns(120, 40, kRed)) << "off: a red cross through the centre";
    const float before = effect->getParameter(Zorv::kAttack);
    pointerTo(120, 40);
    button(1, true);
    EXPECT_TRUE(turns(102, 22, kBlue)) << "no tint while held";
    EXPECT_EQ(stored(Zorv::kAttack), 1.0f) << "toggled on the press";
    button(1, false);
    ASSERT_TRUE(gestureHas(4));
    EXPECT_EQ(gesture(), (Calls{"B2", automated(2, before), "A2=1", "E2"}));
    EXPECT_TRUE(turns(120, 40, kGreen)) << "on: a green disc";
    EXPECT_TRUE(turns(126, 46, kGreen));
    EXPECT_EQ(mismatches(grab(), artwork, {100, 20, 4, 4}), 0) << "tint left after release";

    hostLog.clear();
    click(130, 50);
    ASSERT_TRUE(gestureHas(4));
    EXPECT_EQ(gesture(), (Calls{"B2", "A2=1", "A2=0", "E2"}));
    EXPECT_TRUE(turns(120, 40, kRed));
}

TEST_F(ButtonEditorTest, RadioClickSelectsItsBandAndDeselectsTheOther)
{
    EXPECT_TRUE(turns(170, 40, kRed));
    EXPECT_TRUE(turns(220, 40, kRed));
    const float before = effect->getParameter(Zorv::kFade);
    click(170, 40);
    ASSERT_TRUE(gestureHas(4));
    EXPECT_EQ(gesture(), (Calls{"B1", automated(1, before), "A1=0.625", "E1"}));
    EXPECT_EQ(stored(Zorv::kFade), 0.625f);
    EXPECT_TRUE(turns(170, 40, kGreen)) << "the third band is selected";
    EXPECT_TRUE(turns(220, 40, kRed));

    hostLog.clear();
    click(220, 40);
    ASSERT_TRUE(gestureHas(4));
    EXPECT_EQ(gesture()[2], "A1=0.875");
    EXPECT_TRUE(turns(220, 40, kGreen));
    EXPECT_TRUE(turns(170, 40, kRed));
}

TEST_F(ButtonEditorTest, ButtonHoldsOneAndShowsItsPressedFrameWithoutEditCalls)
{
    ASSERT_TRUE(showsCell(kButton, 0));
    const float before = effect->getParameter(Zorv::kThresh);
    pointerTo(30, 120);
    button(1, true);
    EXPECT_TRUE(showsCell(kButton, 2)) << "frame 2 of three while held";
    EXPECT_EQ(stored(Zorv::kThresh), 1.0f);
    pointerTo(300, 20);  // released elsewhere: still the button's
    button(1, false);
    ASSERT_TRUE(gestureHas(4));
    EXPECT_EQ(gesture(), (Calls{automated(0, before), "A0=1", "A0=1", "A0=0"}));
    EXPECT_EQ(stored(Zorv::kThresh), 0.0f);
    EXPECT_TRUE(showsCell(kButton, 0));
}

TEST_F(ButtonEditorTest, CommandTakesShiftFromThePressAndActsOnRelease)
{
    ASSERT_TRUE(showsCell(kCommand, 0));
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    pointerTo(90, 120);
    XTestFakeKeyEvent(display, shift, True, CurrentTime);
    button(1, true);
    XTestFakeKeyEvent(display, shift, False, CurrentTime);
    EXPECT_TRUE(showsCell(kCommand, 1)) << "frame 1 while held";
    EXPECT_TRUE(gate->commands().empty());
    button(1, false);
    ASSERT_TRUE(waitFor([&] { return !gate->commands().empty(); }));
    EXPECT_EQ(gate->commands(), (Calls{"7s"}));
    EXPECT_TRUE(showsCell(kCommand, 0));
    EXPECT_TRUE(gesture().empty());

    pointerTo(280, 120);
    button(1, true);
    ASSERT_TRUE(waitFor([&] { return skin->getCaptureIndex() == 5; }));
    settle();
    EXPECT_TRUE(showsCell(kSingle, 0)) << "a one-frame strip stays on its frame while held";
    button(1, false);
    ASSERT_TRUE(waitFor([&] { return gate->commands().size() == 2; }));
}

TEST_F(ButtonEditorTest, PageChangeUnderAHeldControlEndsItsGesture)
{
    pointerTo(120, 40);
    button(1, true);
    ASSERT_TRUE(gestureHas(3));
    skin->setPage(2);
    button(1, false);
    ASSERT_TRUE(gestureHas(4));
    EXPECT_EQ(gesture().back(), "E2");
    EXPECT_EQ(skin->getCaptureIndex(), -1);

    skin->setPage(1);
    hostLog.clear();
    pointerTo(30, 120);
    button(1, true);
    ASSERT_TRUE(gestureHas(2));
    skin->setPage(2);
    button(1, false);
    ASSERT_TRUE(gestureHas(4));
    EXPECT_EQ(gesture().back(), "A0=0");
    EXPECT_EQ(stored(Zorv::kThresh), 0.0f);
}

TEST_F(ButtonEditorTest, StillImageIsCutAtItsRectangleAndLeavesWithItsPage)
{
    const Pixels page2 = backgroundFrame(1);
    EXPECT_EQ(mismatches(grab(), artwork, kImage), 0) << "page 1 shows no image";
    skin->setPage(2);
    EXPECT_TRUE(showsCell(kImage, 0)) << "the first cell's corner";
    const Pixels shot = grab();
    EXPECT_EQ(mismatches(shot, page2, {170, 90, 15, 60}), 0) << "drawn past its right edge";
    EXPECT_EQ(mismatches(shot, page2, {130, 130, 40, 30}), 0) << "drawn past its bottom";
    skin->setPage(1);
    EXPECT_TRUE(becomes([&](const Pixels& p) { return mismatches(p, artwork, kImage) == 0; }))
        << "not wiped with its page";
}

}  // namespace
}  // namespace windowtest
