// The refresh throttle with a clock the test sets, and an editor without any
// X server: every call answers safely and nothing is drawn.
#include "editor/editor.h"
#include "editor/skin.h"
#include "editor/window.h"
#include "tests/skin/skintest.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

uint32_t fakeNow = 0;
uint32_t fakeClock()
{
    return fakeNow;
}

class ThrottleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        fakeNow = 100000;
        skin = new Zorv::GEditorSkin(&effect);
        skin->setSize(330, 195, 2);
        editor = new Zorv::GEditor(&effect, skin);
        effect.setEditor(editor);
        editor->setClock(fakeClock);
        skin->setWindow(&counter);
    }
    void TearDown() override { skin->setWindow(nullptr); }

    skintest::CountingWindow counter;
    Zorv::Quelt effect{skintest::Recorder::callback};
    Zorv::GEditorSkin* skin = nullptr;
    Zorv::GEditor* editor = nullptr;
};

TEST_F(ThrottleTest, DefaultIntervalHoldsBackTheSecondRefreshUntilIdle)
{
    editor->refreshThrottled();
    EXPECT_EQ(counter.exposes, 1);
    fakeNow += 10;
    editor->refreshThrottled();
    EXPECT_EQ(counter.exposes, 1);
    EXPECT_TRUE(editor->isRefreshPending());
    fakeNow += 20;  // 30 ms after the first: still too early
    editor->idle();
    EXPECT_EQ(counter.exposes, 1);
    fakeNow += 10;  // 40 ms
    editor->idle();
    EXPECT_EQ(counter.exposes, 2);
    EXPECT_FALSE(editor->isRefreshPending());
    editor->idle();  // nothing pending: nothing posted
    EXPECT_EQ(counter.exposes, 2);
}

TEST_F(ThrottleTest, IdleRefreshesAQuietEditorOnceASecond)
{
    editor->refreshThrottled();
    fakeNow += Zorv::GEditor::kHeartbeatMs - 1;
    editor->idle();
    EXPECT_EQ(counter.exposes, 1);
    fakeNow += 1;
    editor->idle();
    editor->idle();
    EXPECT_EQ(counter.exposes, 2);
}

TEST_F(ThrottleTest, ZeroPassesEveryRefreshNegativeHoldsThemAll)
{
    skin->setRefreshThrottleMs(0);
    for (int i = 0; i < 5; ++i)
        editor->refreshThrottled();
    EXPECT_EQ(counter.exposes, 5);
    skin->setRefreshThrottleMs(-1);
    fakeNow += 3600u * 1000u;
    editor->refreshThrottled();
    editor->idle();
    EXPECT_EQ(counter.exposes, 5);
    EXPECT_TRUE(editor->isRefreshPending());
}

TEST_F(ThrottleTest, ClockWrapStillCountsForward)
{
    fakeNow = 0xFFFFFFF0u;
    editor->refreshThrottled();
    fakeNow = 0x20;  // 48 ms later, across the wrap
    editor->refreshThrottled();
    EXPECT_EQ(counter.exposes, 2);
}

TEST_F(ThrottleTest, SuppressedRedrawsPostNothing)
{
    skin->setRedrawSuppressed(true);
    editor->refreshThrottled();
    EXPECT_EQ(counter.exposes, 0);
}

TEST_F(ThrottleTest, EditorRectAndOpeningWithoutAnXServer)
{
    skin->setWindow(editor->getWindow());
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 195);
    EXPECT_EQ(rect->right, 330);
    EXPECT_FALSE(editor->getRect(nullptr));
    EXPECT_TRUE(editor->open(reinterpret_cast<void*>(uintptr_t(0x1234))));
    EXPECT_TRUE(editor->isOpen());
    EXPECT_TRUE(effect.isEditorOpen());
    EXPECT_FALSE(editor->getWindow()->isRunning());
    editor->refreshThrottled();
    editor->idle();
    editor->close();
    EXPECT_FALSE(editor->isOpen());
    EXPECT_FALSE(effect.isEditorOpen());
    EXPECT_FALSE(editor->open(nullptr)) << "a null parent is refused";
    EXPECT_FALSE(editor->isOpen());
}

TEST_F(ThrottleTest, EditorOpcodesThroughTheRecord)
{
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(record->dispatcher(record, effEditGetRect, 0, 0, &rect, 0), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 330);
    EXPECT_EQ(record->dispatcher(record, effEditGetRect, 0, 0, nullptr, 0), 0);
}

}  // namespace
