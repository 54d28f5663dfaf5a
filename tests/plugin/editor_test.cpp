// The built plug-in's own editor under a private Xvfb, driven as a host
// drives it (dlopen, the effect record, effEditOpen into a window of ours)
// with real pointer input through XTest: the default skin's background and
// pages, a knob drag with its automation gesture, and the level bar
// following the gate while audio runs.
#include "tests/plugin/pluginwindow.h"
#include "tests/window/pixels.h"

#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

namespace windowtest {
namespace {

using Zorv::GRect;

constexpr GRect kTabs = {183, 3, 139, 16};         // both page selectors
constexpr GRect kThreshValue = {50, 155, 60, 15};  // the read-out under "Thresh"
constexpr GRect kBar = {188, 38, 119, 9};          // the level bar

bool sameIn(const Pixels& a, const Pixels& b, const GRect& area)
{
    return mismatches(a, b, area) == 0;
}

class PluginEditorTest : public PluginWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(PluginWindowTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(openPlugin());
        ASSERT_TRUE(openEditor());
        frame0 = backgroundFrame(0);
        frame1 = backgroundFrame(1);
        ASSERT_TRUE(waitFor([&] { return sameIn(grab(), frame0, {0, 20, 180, 80}); }));
    }

    Pixels grab() { return grabWindow(display, editor); }
    void holdKnobDragged();

    // Columns of the bar's middle row that differ from the artwork beneath.
    int litColumns(const Pixels& shot)
    {
        int lit = 0;
        const int y = kBar.y + kBar.h / 2;
        for (int x = kBar.x; x < kBar.x + kBar.w; ++x)
            lit += mismatches(shot, frame0, {x, y, 1, 1});
        return lit;
    }

    Pixels frame0, frame1;
};

TEST_F(PluginEditorTest, DefaultEditorShowsFrameZeroWhereNoControlLies)
{
    const Pixels shot = grab();
    EXPECT_TRUE(sameIn(shot, frame0, {0, 20, kW, 18}));
    EXPECT_TRUE(sameIn(shot, frame0, {0, 0, 183, 20}));
    EXPECT_TRUE(sameIn(shot, frame0, {0, 172, kW, kH - 172}));
    EXPECT_FALSE(sameIn(shot, frame0, kThreshValue)) << "the read-out shows a value";
}

TEST_F(PluginEditorTest, SecondTabShowsFrameOneOnPress)
{
    pointerTo(290, 11);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    const bool switched = waitFor([&] { return sameIn(grab(), frame1, {0, 20, kW, 50}); });
    button(false);
    EXPECT_TRUE(switched) << "the page changes on the press";
    const Pixels shot = grab();
    EXPECT_TRUE(sameIn(shot, frame1, {0, 0, kTabs.x, 20}));
    EXPECT_TRUE(sameIn(shot, frame1, {0, 20, kW, 55}));       // above the labels
    EXPECT_TRUE(sameIn(shot, frame1, {0, 172, kW, kH - 172})); // below them
    pointerTo(215, 11);
    button(true);
    button(false);
    EXPECT_TRUE(waitFor([&] { return sameIn(grab(), frame0, {0, 20, kW, 18}); }));
}

TEST_F(PluginEditorTest, DraggingTheThresholdKnobIsOneAutomationGesture)
{
    const float before = host->getParameter(0);
    const Pixels readout = grab();
    host->calls().clear();
    pointerTo(80, 125);
    button(true);
    for (int step = 1; step <= 6; ++step)
        pointerTo(80, 125 - 5 * step);
    button(false);
    ASSERT_TRUE(waitFor([&] { return host->calls().count(audioMasterEndEdit) == 1; }));
    const float after = host->getParameter(0);
    EXPECT_NEAR(after, before + 0.30f, 1e-4f);

    std::vector<Zorv::GHostCall> gesture;
    for (const Zorv::GHostCall& c : host->calls().calls())
        if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit ||
            c.opcode == audioMasterAutomate)
            gesture.push_back(c);
    ASSERT_EQ(gesture.size(), 9u) << "begin, current value, six moves, end";
    EXPECT_EQ(gesture.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(gesture.back().opcode, audioMasterEndEdit);
    EXPECT_FLOAT_EQ(gesture[1].opt, before);
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(gesture[size_t(i)].opcode, audioMasterAutomate);
        EXPECT_EQ(gesture[size_t(i)].index, 0);
    }
    for (int step = 1; step <= 6; ++step)
        EXPECT_NEAR(gesture[size_t(step + 1)].opt, before + 0.05f * float(step), 1e-4f);
    EXPECT_TRUE(waitFor([&] { return !sameIn(grab(), readout, kThreshValue); }))
        << "the read-out follows";
}

// A drag on the threshold knob, held: the host has seen its beginEdit and two moves.
void PluginEditorTest::holdKnobDragged()
{
    host->calls().clear();
    pointerTo(80, 125);
    button(true);
    pointerTo(80, 120);
    pointerTo(80, 115);
    ASSERT_TRUE(waitFor([&] { return host->calls().count(audioMasterAutomate) >= 3; }));
    ASSERT_EQ(host->calls().count(audioMasterBeginEdit), 1);
    ASSERT_EQ(host->calls().count(audioMasterEndEdit), 0);
}

TEST_F(PluginEditorTest, ClosingMidDragEndsTheGestureAndReopeningStartsClean)
{
    holdKnobDragged();
    host->dispatch(effEditClose);
    EXPECT_EQ(host->calls().count(audioMasterEndEdit), 1) << "closed before the release";
    button(false);

    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(waitFor([&] { return sameIn(grab(), frame0, {0, 20, 180, 80}); }));
    const float value = host->getParameter(0);
    host->calls().clear();
    for (int step = 1; step <= 4; ++step)
        pointerTo(80, 115 - 10 * step);  // plain motion over the knob
    pointerTo(80, 125);
    EXPECT_EQ(host->getParameter(0), value);
    EXPECT_EQ(host->calls().count(audioMasterAutomate), 0);
}

TEST_F(PluginEditorTest, HostWindowDestroyedMidDragEndsTheGesture)
{
    holdKnobDragged();
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH, 0, 0, 0);
    EXPECT_TRUE(waitFor([&] { return host->calls().count(audioMasterEndEdit) == 1; }));
    button(false);
    EXPECT_EQ(host->calls().count(audioMasterEndEdit), 1);
}

TEST_F(PluginEditorTest, EffCloseMidDragEndsTheGesture)
{
    holdKnobDragged();
    host->close();
    EXPECT_EQ(host->calls().count(audioMasterEndEdit), 1);
    button(false);
    host.reset();
}

TEST_F(PluginEditorTest, LevelBarFollowsTheGain)
{
    EXPECT_EQ(litColumns(grab()), 0) << "no audio yet: the bar is the artwork";
    EXPECT_NEAR(processLevel(0.5f, 200), 1.0f, 1e-6f);
    EXPECT_TRUE(waitFor([&] {
        host->dispatch(effEditIdle);
        return litColumns(grab()) == kBar.w;
    })) << "open gate: the whole bar";

    // Below the threshold the gain fades; stop in the middle and compare.
    float gain = 1.0f;
    for (int i = 0; i < 100000 && gain > 0.5f; ++i)
        gain = processLevel(1e-5f, 1);
    ASSERT_GT(gain, 0.2f);
    ASSERT_LT(gain, 0.8f);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    host->dispatch(effEditIdle);
    const int expected = int(std::lround(gain * float(kBar.w)));
    EXPECT_TRUE(waitFor([&] { return std::abs(litColumns(grab()) - expected) <= 1; }))
        << "gain " << gain << ": " << litColumns(grab()) << " columns lit";

    for (int i = 0; i < 100000 && gain > 0; ++i)
        gain = processLevel(1e-5f, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    host->dispatch(effEditIdle);
    EXPECT_TRUE(waitFor([&] { return litColumns(grab()) == 0; })) << "closed: the artwork again";
}

}  // namespace
}  // namespace windowtest

namespace windowtest {
namespace {

std::atomic<int> hostErrors{0};

int countHostError(Display*, XErrorEvent*)
{
    ++hostErrors;
    return 0;
}

TEST_F(PluginWindowTest, TheHostsXErrorHandlerStaysAndSeesTheHostsErrors)
{
    ASSERT_NO_FATAL_FAILURE(openPlugin());
    const XErrorHandler before = XSetErrorHandler(countHostError);
    auto provoke = [&] {  // a request on the host's own connection that must fail
        hostErrors = 0;
        XMapWindow(display, Window(0x7ffffff0));
        XSync(display, False);
        return hostErrors.load();
    };
    ASSERT_TRUE(openEditor());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the editor's GL and first draw
    EXPECT_EQ(XSetErrorHandler(countHostError), &countHostError) << "open: still the host's";
    EXPECT_EQ(provoke(), 1);
    host->dispatch(effEditClose);
    EXPECT_EQ(XSetErrorHandler(countHostError), &countHostError) << "closed: still the host's";
    EXPECT_EQ(provoke(), 1);
    XSetErrorHandler(before);
}

}  // namespace
}  // namespace windowtest
