// The refresh schedule over a clock the test sets, and an editor without any
// X server: every call answers safely and nothing is drawn.
#include "editor/editor.h"
#include "editor/refresh.h"
#include "editor/skin.h"
#include "editor/window.h"
#include "tests/skin/skintest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// One step of a schedule's life: at `at` ms, with or without a request waiting.
struct Step {
    uint32_t at;
    bool requested;
    bool due;      // isDue answers
    int wait;      // waitMs answers, after the pass when one was due
    bool dozing;   // isDozing answers
};

struct Schedule {
    const char* name;
    int throttleMs;
    uint32_t start;
    std::vector<Step> steps;
};

TEST(RefreshSchedule, PassesSleepsAndDozes)
{
    constexpr uint32_t kBeat = Zorv::GRefreshSchedule::kHeartbeatMs;
    const Schedule schedules[] = {
        {"40 ms holds the second request back",
         40,
         1000,
         {{1000, true, false, 40, true},
          {1010, true, false, 30, true},
          {1040, true, true, 40, false},
          {1041, false, false, 40, false}}},
        {"a quiet editor dozes from the start, with heartbeat passes",
         40,
         0,
         {{0, false, false, int(kBeat), true},
          {kBeat - 1, false, false, 1, true},
          {kBeat, false, true, int(kBeat), true},
          {kBeat + 5, true, false, 35, true}}},
        {"zero passes every request and polls each millisecond",
         0,
         500,
         {{500, true, true, 1, false}, {500, true, true, 1, false}, {501, false, false, 1, false}}},
        {"negative holds every request and the heartbeat",
         -1,
         0,
         {{0, true, false, -1, true}, {3600000, true, false, -1, true}}},
        {"the clock wraps",
         40,
         0xFFFFFFF0u,
         {{0x20, true, true, 40, false}}},
    };
    for (const Schedule& s : schedules) {
        Zorv::GRefreshSchedule schedule(s.throttleMs, s.start);
        for (const Step& step : s.steps) {
            SCOPED_TRACE(std::string(s.name) + " at " + std::to_string(step.at));
            EXPECT_EQ(schedule.isDue(step.at, step.requested), step.due);
            if (step.due)
                schedule.passed(step.at, step.requested);
            EXPECT_EQ(schedule.waitMs(step.at, step.requested && !step.due), step.wait);
            EXPECT_EQ(schedule.isDozing(step.at), step.dozing);
        }
    }
}

class ThrottleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        skin = new Zorv::GEditorSkin(&effect);
        skin->setSize(330, 195, 2);
        editor = new Zorv::GEditor(&effect, skin);
        effect.setEditor(editor);
        skin->setWindow(&counter);
    }
    void TearDown() override { skin->setWindow(nullptr); }

    skintest::CountingWindow counter;
    Zorv::Quelt effect{skintest::Recorder::callback};
    Zorv::GEditorSkin* skin = nullptr;
    Zorv::GEditor* editor = nullptr;
};

TEST_F(ThrottleTest, RefreshRequestsOnlySetTheFlagAndSuppressedRedrawsPostNothing)
{
    effect.setParameter(Zorv::kThresh, 0.3f);
    EXPECT_TRUE(effect.takeEditorRefresh());
    EXPECT_FALSE(effect.takeEditorRefresh());
    editor->idle();  // no UI thread dozes: nothing to wake
    EXPECT_EQ(counter.exposes, 0);
    skin->setRedrawSuppressed(true);
    skin->requestRedraw();
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
    EXPECT_FALSE(editor->open(reinterpret_cast<void*>(uintptr_t(0x1234)))) << "nothing to show on";
    EXPECT_FALSE(editor->isOpen());
    EXPECT_FALSE(effect.isEditorOpen());
    EXPECT_FALSE(editor->getWindow()->isRunning());
    effect.refreshEditor();
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
