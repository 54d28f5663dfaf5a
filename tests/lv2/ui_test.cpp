// The LV2 UI binary as a host drives it, on a private Xvfb: dlopen, the UI
// descriptor, instantiation into a parent window of ours with ui:resize and
// ui:touch, port events and idle calls from the test's thread (the host's UI
// thread). Port events move the knob read-out and the gain bar; an XTest
// drag on a knob reaches the host as touch, writes of natural values in
// order, release; 200 openings leave threads, fds and memory flat.
#include "tests/window/hostwindow.h"  // gtest before X11
#include "tests/window/pixels.h"

#include <lv2/ui/ui.h>

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace windowtest {
namespace {

using Zorv::GRect;

constexpr GRect kThreshValue = {50, 155, 60, 15};
constexpr GRect kBar = {188, 38, 119, 9};
constexpr uint32_t kThreshPort = 0, kGainPort = 4;

struct HostCall {
    char kind;  // 't' touch, 'r' release, 'w' write
    uint32_t port;
    float value;
};

class Lv2UiTest : public HostWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(HostWindowTest::SetUp());
        library = dlopen(QUELT_LV2_BUNDLE "/quelt_ui.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(library) << dlerror();
        auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(
            dlsym(library, "lv2ui_descriptor"));
        ASSERT_TRUE(entry);
        descriptor = entry(0);
        ASSERT_TRUE(descriptor);
        idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_TRUE(idle);
    }
    void TearDown() override
    {
        closeUi();
        if (library)
            dlclose(library);
        HostWindowTest::TearDown();
    }

    bool openUi()
    {
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature touchFeature{LV2_UI__touch, &touch};
        const LV2_Feature* features[] = {&parentFeature, &resizeFeature, &touchFeature, nullptr};
        LV2UI_Widget widget = nullptr;
        ui = descriptor->instantiate(descriptor, "http://zorv.example/plugins/quelt#stereo",
                                     QUELT_LV2_BUNDLE, writePort, this, &widget, features);
        editor = Window(reinterpret_cast<uintptr_t>(widget));
        return ui && editor;
    }
    void closeUi()
    {
        if (ui)
            descriptor->cleanup(ui);
        ui = nullptr;
    }
    void portEvent(uint32_t port, float value) { descriptor->port_event(ui, port, sizeof value, 0, &value); }
    Pixels grab() { return grabWindow(display, editor); }

    static void writePort(LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t format,
                          const void* buffer)
    {
        if (size == sizeof(float) && format == 0)
            static_cast<Lv2UiTest*>(self)->calls.push_back({'w', port, *static_cast<const float*>(buffer)});
    }
    static int resized(LV2UI_Feature_Handle self, int w, int h)
    {
        static_cast<Lv2UiTest*>(self)->size = {w, h};
        return 0;
    }
    static void touched(LV2UI_Feature_Handle self, uint32_t port, bool grabbed)
    {
        static_cast<Lv2UiTest*>(self)->calls.push_back({grabbed ? 't' : 'r', port, 0.0f});
    }

    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Handle ui = nullptr;
    Window editor = 0;
    LV2UI_Resize resize{this, resized};
    LV2UI_Touch touch{this, touched};
    std::pair<int, int> size{0, 0};
    std::vector<HostCall> calls;
};

TEST_F(Lv2UiTest, PortEventsMoveTheReadoutAndTheGainBar)
{
    ASSERT_TRUE(openUi());
    EXPECT_EQ(size, (std::pair<int, int>{kW, kH}));
    const Pixels frame0 = backgroundFrame(0);
    ASSERT_TRUE(waitFor([&] { return mismatches(grab(), frame0, {0, 20, 180, 80}) == 0; }));
    const Pixels before = grab();
    EXPECT_EQ(mismatches(before, frame0, kBar), 0) << "gain 0: the bar is the artwork";
    portEvent(kThreshPort, -20.0f);
    portEvent(kGainPort, 1.0f);
    EXPECT_TRUE(waitFor([&] {
        idle->idle(ui);
        const Pixels now = grab();
        return mismatches(now, before, kThreshValue) > 0 && mismatches(now, frame0, kBar) > kBar.w;
    }));
    EXPECT_TRUE(calls.empty()) << "host changes are not echoed back";
}

TEST_F(Lv2UiTest, KnobDragIsTouchWritesOfNaturalValuesRelease)
{
    ASSERT_TRUE(openUi());
    portEvent(kThreshPort, -70.0f);
    ASSERT_TRUE(waitFor([&] { return mismatches(grab(), backgroundFrame(0), {0, 20, 180, 80}) == 0; }));
    pointerTo(80, 125);
    button(true);
    for (int step = 1; step <= 4; ++step)
        pointerTo(80, 125 - 5 * step);
    button(false);
    ASSERT_TRUE(waitFor([&] {
        idle->idle(ui);
        return !calls.empty() && calls.back().kind == 'r';
    }));
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls.front().kind, 't');
    float last = -70.0f;
    for (size_t i = 1; i + 1 < calls.size(); ++i) {
        EXPECT_EQ(calls[i].kind, 'w') << i;
        EXPECT_EQ(calls[i].port, kThreshPort);
        EXPECT_GE(calls[i].value, last) << "an upward drag raises the threshold";
        EXPECT_GE(calls[i].value, -100.0f);
        EXPECT_LE(calls[i].value, -1.0f);
        last = calls[i].value;
    }
    EXPECT_GT(last, -70.0f);
    EXPECT_EQ(calls.back().port, kThreshPort);
}

TEST_F(Lv2UiTest, CleanupMidDragDeliversTheEditsSinceTheLastIdleThenTheRelease)
{
    ASSERT_TRUE(openUi());
    portEvent(kThreshPort, -70.0f);
    ASSERT_TRUE(waitFor([&] { return mismatches(grab(), backgroundFrame(0), {0, 20, 180, 80}) == 0; }));
    pointerTo(80, 125);
    button(true);
    ASSERT_TRUE(waitFor([&] {
        idle->idle(ui);
        return !calls.empty();
    }));
    const size_t idled = calls.size();
    for (int step = 1; step <= 4; ++step)
        pointerTo(80, 125 - 5 * step);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the UI thread takes the moves
    closeUi();
    button(false);
    ASSERT_GT(calls.size(), idled + 1) << "the moves' writes, then the release";
    int touches = 0, releases = 0;
    for (const HostCall& c : calls) {
        touches += c.kind == 't';
        releases += c.kind == 'r';
    }
    EXPECT_EQ(touches, 1);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(calls.back().kind, 'r');
    EXPECT_EQ(calls[calls.size() - 2].kind, 'w');
    EXPECT_GT(calls[calls.size() - 2].value, -70.0f) << "the drag's last value";
}

TEST_F(Lv2UiTest, TwoHundredOpeningsLeaveThreadsFdsAndMemoryFlat)
{
    auto cycle = [&] {
        ASSERT_TRUE(openUi());
        portEvent(kGainPort, 0.5f);
        idle->idle(ui);
        closeUi();
    };
    expectFlatOverOpenings(cycle);
}

}  // namespace
}  // namespace windowtest
