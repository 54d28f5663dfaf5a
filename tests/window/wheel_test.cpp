// The mouse wheel through XTest on the plug-in's own editor (the default
// skin): a notch over a knob is one gesture that moves its parameter by 0.02
// (0.002 with Shift); over the background, and horizontal wheel buttons,
// nothing reaches the host.
#include "tests/window/windowtest.h"

#include "editor/builder.h"
#include "gate/quelt.h"

#include <algorithm>

#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

namespace windowtest {
namespace {

using skintest::HostCall;

// Records edits and automation from the UI thread for the test thread.
struct LockedHost {
    static inline std::mutex guard;
    static inline std::vector<HostCall> calls;

    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float opt)
    {
        if (opcode == audioMasterVersion)
            return kVstVersion;
        if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit ||
            opcode == audioMasterAutomate) {
            std::lock_guard<std::mutex> hold(guard);
            calls.push_back({opcode, index, opt});
        }
        return 0;
    }

    static size_t count()
    {
        std::lock_guard<std::mutex> hold(guard);
        return calls.size();
    }

    static std::vector<HostCall> take()
    {
        std::lock_guard<std::mutex> hold(guard);
        std::vector<HostCall> taken;
        taken.swap(calls);
        return taken;
    }
};

constexpr int kKnobX = 80, kKnobY = 125;  // centre of the "Thresh" knob
constexpr int kEmptyX = 300, kEmptyY = 180;

class WheelTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        if (HasFatalFailure())
            return;
        // The fixture's own skin and effect give way to the plug-in's editor.
        delete skin;
        delete effect;
        LockedHost::take();
        effect = new Zorv::Quelt(LockedHost::callback);
        Zorv::GEditorSkinBuilder builder(effect);
        editor = builder.createEditor("QueltSkin.txt");
        ASSERT_NE(editor, nullptr);
        effect->setEditor(editor);
        skin = editor->getSkin();
        ASSERT_TRUE(openEditor());
        unsigned char map[32];
        ASSERT_GE(XGetPointerMapping(display, map, 32), 7) << "no horizontal wheel buttons";
    }

    void notch(unsigned which)
    {
        button(which, true);
        button(which, false);
    }

    // The host calls of the next count that the UI thread makes.
    std::vector<HostCall> hostCalls(size_t count)
    {
        waitFor([&] { return LockedHost::count() >= count; });
        return LockedHost::take();
    }

    double stored()
    {
        Zorv::ProgramBank& bank = effect->getBank();
        return bank.parameter(Zorv::kThresh)
            ->getNormalised(bank.slot(effect->getProgram(), Zorv::kThresh));
    }

    // One gesture on Thresh: beginEdit, the value, endEdit.
    void expectNudge(const std::vector<HostCall>& calls, double value)
    {
        const int opcodes[] = {audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};
        ASSERT_EQ(calls.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(calls[i].opcode, opcodes[i]) << i;
            EXPECT_EQ(calls[i].index, Zorv::kThresh) << i;
        }
        EXPECT_FLOAT_EQ(calls[1].value, float(value));
    }
};

TEST_F(WheelTest, UpAndDownOverAKnobAreOneGestureEach)
{
    const double start = stored();
    pointerTo(kKnobX, kKnobY);
    notch(4);
    expectNudge(hostCalls(3), start + 0.02);
    EXPECT_NEAR(stored(), start + 0.02, 1e-12);
    notch(5);
    notch(5);
    const std::vector<HostCall> down = hostCalls(6);
    expectNudge({down.begin(), down.begin() + 3}, start);
    expectNudge({down.begin() + 3, down.end()}, start - 0.02);
    EXPECT_NEAR(stored(), start - 0.02, 1e-12);

    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    XTestFakeKeyEvent(display, shift, True, CurrentTime);
    notch(4);
    XTestFakeKeyEvent(display, shift, False, CurrentTime);
    expectNudge(hostCalls(3), start - 0.018);
    EXPECT_NEAR(stored(), start - 0.018, 1e-12);
    EXPECT_EQ(skin->getCaptureIndex(), -1);
}

TEST_F(WheelTest, BackgroundAndHorizontalButtonsReachNoOne)
{
    const double start = stored();
    pointerTo(kEmptyX, kEmptyY);
    notch(4);
    notch(5);
    pointerTo(kKnobX, kKnobY);
    notch(6);
    notch(7);
    notch(4);  // the marker: events are taken in order
    expectNudge(hostCalls(3), start + 0.02);
    EXPECT_NEAR(stored(), start + 0.02, 1e-12);
    settle();
    EXPECT_EQ(LockedHost::count(), 0u);
}

TEST_F(WheelTest, AKnobBeingDraggedKeepsItsOwnGesture)
{
    const double start = stored();
    pointerTo(kKnobX, kKnobY);
    button(1, true);
    notch(4);
    pointerTo(kKnobX + 85, kKnobY);  // over the "Attack" knob, still dragging Thresh
    notch(5);
    pointerTo(kKnobX + 85, kKnobY - 10);
    button(1, false);
    const std::vector<HostCall> calls = hostCalls(5);
    const int opcodes[] = {audioMasterBeginEdit, audioMasterAutomate, audioMasterAutomate,
                           audioMasterAutomate, audioMasterEndEdit};
    ASSERT_EQ(calls.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(calls[i].opcode, opcodes[i]) << i;
        EXPECT_EQ(calls[i].index, Zorv::kThresh) << i;
    }
    // Only the drag moved it: 85 px right, then 10 px up.
    EXPECT_NEAR(stored(), std::min(1.0, start + 0.01 * (85 * 0.25 + 10)), 1e-9);
    EXPECT_EQ(skin->getCaptureIndex(), -1);
}

}  // namespace
}  // namespace windowtest
