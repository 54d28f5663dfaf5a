// Opening and closing the editor many times, the host destroying its window,
// the effect closed with the editor open: no thread, window or descriptor is
// left behind, and the editor still works afterwards.
#include "tests/window/windowtest.h"

#include <chrono>
#include <string>

namespace windowtest {
namespace {

class LifecycleTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        probe = addProbe(1, 100, 50, 40, 30);
        // One opening first, so that the GL driver's lasting state is set up.
        ASSERT_TRUE(openEditor());
        editor->close();
        threads = threadCount();
        descriptors = countEntries("/proc/self/fd");
    }

    unsigned childWindows()
    {
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, parent, &root, &up, &children, &count);
        if (children)
            XFree(children);
        return count;
    }

    void expectNothingLeft()
    {
        EXPECT_EQ(threadCount(), threads);
        EXPECT_EQ(countEntries("/proc/self/fd"), descriptors);
        EXPECT_EQ(childWindows(), 0u);
        EXPECT_FALSE(editor->getWindow()->isRunning());
        EXPECT_FALSE(effect->isEditorOpen());
    }

    PaintProbe* probe = nullptr;
    int threads = 0;
    int descriptors = 0;
};

TEST_F(LifecycleTest, NoDisplayRefusesTheOpeningAndHoldsNothing)
{
    const std::string name = getenv("DISPLAY");
    for (const char* unreachable : {static_cast<const char*>(nullptr), ":4095"}) {
        SCOPED_TRACE(unreachable ? unreachable : "DISPLAY unset");
        unreachable ? setenv("DISPLAY", unreachable, 1) : unsetenv("DISPLAY");
        EXPECT_EQ(effect->dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0), 0);
        EXPECT_FALSE(editor->isOpen());
        expectNothingLeft();
    }
    setenv("DISPLAY", name.c_str(), 1);
    EXPECT_TRUE(openEditor());
}

TEST_F(LifecycleTest, TwoHundredCyclesWithoutPauses)
{
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
        editor->close();
    }
    expectNothingLeft();
    ASSERT_TRUE(openEditor());
    EXPECT_EQ(mismatches(grab(), backgroundFrame(0), {0, 0, 100, 50}), 0);
}

TEST_F(LifecycleTest, TwoHundredCyclesEachWaitingForTheWindow)
{
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
        ASSERT_TRUE(waitFor([&] { return editor->getWindow()->getWindow() != 0; })) << i;
        editor->close();
        ASSERT_EQ(editor->getWindow()->getWindow(), 0u);
    }
    expectNothingLeft();
}

TEST_F(LifecycleTest, CloseTwiceAndOpenTwice)
{
    ASSERT_TRUE(openEditor());
    editor->close();
    editor->close();
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));  // replaces the first
    EXPECT_TRUE(waitFor([&] { return childWindows() == 1; }));
    editor->close();
    expectNothingLeft();
}

TEST_F(LifecycleTest, PageAndStateSurviveReopening)
{
    ASSERT_TRUE(openEditor());
    skin->setPage(2);
    editor->close();
    ASSERT_TRUE(openEditor());
    const Pixels frame1 = backgroundFrame(1);
    EXPECT_EQ(mismatches(grabWhen([&](const Pixels& p) {
                             return mismatches(p, frame1, {0, 0, kW, kH}) == 0;
                         }),
                         frame1, {0, 0, kW, kH}),
              0);
}

TEST_F(LifecycleTest, HostDestroyingItsWindowEndsTheThread)
{
    ASSERT_TRUE(openEditor());
    XDestroyWindow(display, parent);
    XSync(display, False);
    EXPECT_TRUE(waitFor([&] { return editor->getWindow()->getWindow() == 0; }));
    EXPECT_TRUE(waitFor([&] { return threadCount() == threads; }));
    const auto start = std::chrono::steady_clock::now();
    editor->close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(editor->getWindow()->isRunning());
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    EXPECT_TRUE(openEditor());
}

TEST_F(LifecycleTest, EffCloseWithTheEditorOpen)
{
    ASSERT_TRUE(openEditor());
    AEffect* record = effect->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0), 1);
    effect = nullptr;
    skin = nullptr;
    EXPECT_EQ(threadCount(), threads);
    EXPECT_EQ(childWindows(), 0u);
}

TEST_F(LifecycleTest, RefreshBeforeTheWindowExistsPostsNothing)
{
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
    for (int i = 0; i < 50; ++i)
        effect->refreshEditor();
    EXPECT_TRUE(waitFor([&] { return probe->draws.load() >= 1; }));
    editor->close();
    expectNothingLeft();
}

}  // namespace
}  // namespace windowtest
