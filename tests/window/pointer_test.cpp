// Real pointer input through XTest reaches the skin with the capture rule;
// the middle button, and the wheel over controls that do not take it, only
// update the pointer shape, which follows the control under the pointer.
#include "tests/window/windowtest.h"

#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

namespace windowtest {
namespace {

using Events = std::vector<std::string>;

class PointerTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        left = addProbe(0, 20, 20, 60, 40);
        right = addProbe(0, 200, 20, 60, 40);
        right->cursor = Zorv::kCursorText;
        under = addProbe(0, 40, 30, 20, 20);  // inside left, listed after it
        ASSERT_TRUE(openEditor());
    }

    // Events of a probe once the UI thread has taken at least count of them.
    Events eventsOf(PaintProbe* probe, size_t count)
    {
        Events all;
        waitFor([&] {
            for (auto& e : probe->takeEvents())
                all.push_back(e);
            return all.size() >= count;
        });
        return all;
    }

    int cursorKind() { return editor->getWindow()->getCursorKind(); }

    PaintProbe* left = nullptr;
    PaintProbe* right = nullptr;
    PaintProbe* under = nullptr;
};

TEST_F(PointerTest, PressDragOutsideReleaseStaysWithTheCapturingControl)
{
    pointerTo(30, 30);
    button(1, true);
    pointerTo(220, 30);  // over the other control
    pointerTo(300, 150); // over nothing
    button(1, false);
    settle();
    EXPECT_EQ(eventsOf(left, 5), (Events{"MV 10,10", "LD 10,10", "MV 200,10", "MV 280,130",
                                         "LU 280,130"}));
    EXPECT_TRUE(right->takeEvents().empty());
    EXPECT_EQ(skin->getCaptureIndex(), -1);
}

TEST_F(PointerTest, RightReleaseEndsALeftCapture)
{
    pointerTo(30, 30);
    button(1, true);
    button(3, true);
    button(3, false);
    settle();
    EXPECT_EQ(skin->getCaptureIndex(), -1);
    pointerTo(220, 30);
    button(1, false);
    settle();
    EXPECT_EQ(eventsOf(left, 4), (Events{"MV 10,10", "LD 10,10", "RD 10,10", "RU 10,10"}));
    EXPECT_EQ(eventsOf(right, 2), (Events{"MV 20,10", "LU 20,10"}));
}

TEST_F(PointerTest, ModifiersArriveWithTheEvents)
{
    pointerTo(30, 30);
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    XTestFakeKeyEvent(display, shift, True, CurrentTime);
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    button(1, true);
    button(1, false);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XTestFakeKeyEvent(display, shift, False, CurrentTime);
    settle();
    EXPECT_EQ(eventsOf(left, 3), (Events{"MV 10,10", "LDsc 10,10", "LUsc 10,10"}));
}

TEST_F(PointerTest, MiddleButtonAndWheelOnlyChangeTheCursor)
{
    pointerTo(30, 30);
    ASSERT_TRUE(waitFor([&] { return cursorKind() == Zorv::kCursorHand; }));
    const int shapes[] = {Zorv::kCursorText, Zorv::kCursorDefault, Zorv::kCursorHand};
    const unsigned buttons[] = {2, 4, 5};
    for (int i = 0; i < 3; ++i) {
        left->cursor = shapes[i];  // no motion: only the click can apply it
        button(buttons[i], true);
        EXPECT_TRUE(waitFor([&] { return cursorKind() == shapes[i]; })) << buttons[i];
        button(buttons[i], false);
    }
    settle();
    EXPECT_EQ(eventsOf(left, 1), (Events{"MV 10,10"}));
    EXPECT_EQ(skin->getCaptureIndex(), -1);
}

TEST_F(PointerTest, CursorFollowsTheControlUnderThePointer)
{
    pointerTo(30, 30);
    EXPECT_TRUE(waitFor([&] { return cursorKind() == Zorv::kCursorHand; }));
    pointerTo(220, 30);
    EXPECT_TRUE(waitFor([&] { return cursorKind() == Zorv::kCursorText; }));
    pointerTo(150, 150);
    EXPECT_TRUE(waitFor([&] { return cursorKind() == Zorv::kCursorNone; }));
}

TEST_F(PointerTest, OverlappingControlsTheFirstWins)
{
    pointerTo(45, 35);
    button(1, true);
    button(1, false);
    settle();
    EXPECT_EQ(eventsOf(left, 3), (Events{"MV 25,15", "LD 25,15", "LU 25,15"}));
    EXPECT_TRUE(under->takeEvents().empty());
}

}  // namespace
}  // namespace windowtest
