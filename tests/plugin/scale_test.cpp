// The built plug-in's editor scale as a host sees it, on a private Xvfb: the
// decision from the host's announcement, QUELT_SCALE and the server's
// Xft.dpi; effEditGetRect before and after opening; the host changing the
// scale while open; and at scales 1, 1.5 and 2 the artwork where no control
// lies, a knob drag at device coordinates and the level bar shown through
// changed rectangles matching a fresh full frame.
#include "tests/plugin/pluginwindow.h"  // gtest before X11

#include "controls/canvas.h"
#include "tests/window/pixels.h"
#include "tests/window/smoothart.h"

#include <X11/Xatom.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace windowtest {
namespace {

using Zorv::GRect;
using Zorv::toDevice;

// The parent window comes with the editor, at the size the editor asks for.
class PluginScaleTest : public PluginWindowTest {
protected:
    void SetUp() override
    {
        unsetenv("QUELT_SCALE");
        Zorv::prepareMesa();
        openDisplay();
    }

    void TearDown() override
    {
        PluginWindowTest::TearDown();
        unsetenv("QUELT_SCALE");
    }

    // The desktop's resource database on the test's server, as a desktop sets it.
    void setResources(const char* text)
    {
        XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(text),
                        int(strlen(text)));
        XSync(display, False);
    }

    // effEditGetRect as width and height; 0 x 0 when refused.
    std::pair<int, int> editorSize()
    {
        ERect* rect = nullptr;
        if (host->dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect)
            return {0, 0};
        return {rect->right - rect->left, rect->bottom - rect->top};
    }

    intptr_t announce(float factor)
    {
        return host->dispatch(effVendorSpecific, kVendorScaleIndex, kVendorScaleValue, nullptr,
                              factor);
    }

    // Opens the editor in a new parent of the size it asks for.
    bool openSizedEditor()
    {
        const auto [w, h] = editorSize();
        makeParent(w, h);
        return openEditor();
    }

    std::pair<int, int> windowSize()
    {
        XWindowAttributes attributes = {};
        XGetWindowAttributes(display, editor, &attributes);
        return {attributes.width, attributes.height};
    }
};

using Size = std::pair<int, int>;

TEST_F(PluginScaleTest, EnvironmentVariableDecidesWhenTheHostSaysNothing)
{
    const std::pair<const char*, Size> cases[] = {
        {"1.5", {495, 293}}, {"2", {660, 390}}, {"2.1", {660, 390}}, {"5", {990, 585}},
        {"abc", {330, 195}}, {"0", {330, 195}}, {"-2", {330, 195}}, {"1e9", {330, 195}},
        {"nan", {330, 195}}};
    setResources("Xft.dpi:\t144\n");
    for (const auto& [text, size] : cases) {
        setenv("QUELT_SCALE", text, 1);
        openPlugin();
        EXPECT_EQ(editorSize(), size) << "QUELT_SCALE=" << text;
    }
}

TEST_F(PluginScaleTest, XftDpiOfTheServerDecidesLast)
{
    const std::pair<const char*, Size> cases[] = {
        {"Xft.dpi:\t96\n", {330, 195}}, {"Xft.dpi:\t144\n", {495, 293}},
        {"Xft.antialias:\t1\nXft.dpi:\t192\n", {660, 390}}, {"Xft.dpi:\tbig\n", {330, 195}},
        {"Xft.dpi:\t0\n", {330, 195}}, {"Xcursor.size:\t48\n", {330, 195}}};
    for (const auto& [resources, size] : cases) {
        setResources(resources);
        openPlugin();
        EXPECT_EQ(editorSize(), size) << resources;
    }
    setResources("Xft.dpi:\t144\n");
    openPlugin();
    ASSERT_EQ(editorSize(), Size(495, 293));
    ASSERT_TRUE(openSizedEditor());
    EXPECT_EQ(editorSize(), Size(495, 293)) << "the same once open";
    EXPECT_EQ(windowSize(), Size(495, 293));
    setResources("Xft.dpi:\t192\n");
    EXPECT_EQ(editorSize(), Size(495, 293)) << "decided once, before the first question";
}

TEST_F(PluginScaleTest, TheHostsAnnouncementWinsAndOtherVendorCallsAreNotTaken)
{
    setResources("Xft.dpi:\t192\n");
    setenv("QUELT_SCALE", "2", 1);
    openPlugin();
    EXPECT_EQ(announce(1.5f), 1);
    EXPECT_EQ(editorSize(), Size(495, 293));
    EXPECT_EQ(host->dispatch(effVendorSpecific, kVendorScaleIndex, 0, nullptr, 2.0f), 0);
    EXPECT_EQ(host->dispatch(effVendorSpecific, 0, kVendorScaleValue, nullptr, 2.0f), 0);
    EXPECT_EQ(editorSize(), Size(495, 293));
    EXPECT_EQ(announce(NAN), 0) << "refused";
    EXPECT_EQ(editorSize(), Size(495, 293));
}

TEST_F(PluginScaleTest, FactorsThatAreNoScaleAreRefusedAndChangeNothing)
{
    openPlugin();
    ASSERT_EQ(announce(1.5f), 1);
    const float junk[] = {NAN, INFINITY, -INFINITY, 0.0f, -2.0f, 1e30f};
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "closed");
        if (open) {
            ASSERT_TRUE(openSizedEditor());
        }
        host->calls().clear();
        for (const float factor : junk) {
            EXPECT_EQ(announce(factor), 0) << factor;
            EXPECT_EQ(editorSize(), Size(495, 293)) << factor;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a resize would show
        if (open) {
            EXPECT_EQ(windowSize(), Size(495, 293));
        }
        EXPECT_EQ(host->calls().count(audioMasterSizeWindow), 0);
    }
    EXPECT_EQ(announce(5.0f), 1);
    EXPECT_EQ(editorSize(), Size(990, 585)) << "3 to 8 still clamp to 3";
}

TEST_F(PluginScaleTest, HostChangingTheScaleWhileOpenResizesAndAsksTheHost)
{
    openPlugin();
    announce(1.0f);
    ASSERT_TRUE(openSizedEditor());
    EXPECT_EQ(windowSize(), Size(330, 195));
    XResizeWindow(display, parent, 660, 390);
    host->calls().clear();
    EXPECT_EQ(announce(2.0f), 1);
    EXPECT_EQ(editorSize(), Size(660, 390));
    ASSERT_TRUE(waitFor([&] { return windowSize() == Size(660, 390); }));
    std::vector<Zorv::GHostCall> sized;
    for (const Zorv::GHostCall& c : host->calls().calls())
        if (c.opcode == audioMasterSizeWindow)
            sized.push_back(c);
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].index, 660);
    EXPECT_EQ(sized[0].value, 390);
    const Pixels art = backgroundAt(2.0);
    EXPECT_TRUE(waitFor([&] {
        return mismatches(grabWindow(display, editor, 660, 390), art, {0, 0, 40, 40}) == 0;
    })) << "redrawn at the new scale";
    announce(2.0f);
    EXPECT_EQ(host->calls().count(audioMasterSizeWindow), 1) << "no change, no request";
    host->dispatch(effEditClose);
    EXPECT_EQ(editorSize(), Size(660, 390)) << "the new size holds";
}

class ScaledPluginTest : public PluginScaleTest, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override
    {
        PluginScaleTest::SetUp();
        scale = GetParam();
        dw = toDevice(kW, scale);
        dh = toDevice(kH, scale);
        openPlugin();
        ASSERT_EQ(announce(float(scale)), 1);
        ASSERT_EQ(editorSize(), Size(dw, dh)) << "before opening";
        ASSERT_TRUE(openSizedEditor());
        EXPECT_EQ(editorSize(), Size(dw, dh)) << "after opening";
        EXPECT_EQ(windowSize(), Size(dw, dh));
        art = backgroundAt(scale);
        const GRect corner = device({0, 20, 180, 80});
        ASSERT_TRUE(waitFor([&] { return mismatches(grab(), art, corner) == 0; }));
    }

    Pixels grab() { return grabWindow(display, editor, dw, dh); }
    GRect device(const GRect& r) const { return Zorv::toDevice(r, scale); }

    // Pointer motion at the editor's own coordinates.
    void pointerTo(int x, int y)
    {
        PluginScaleTest::pointerTo(toDevice(x, scale), toDevice(y, scale));
    }

    // Polls until two grabs a pass apart agree; the last.
    Pixels steadyGrab()
    {
        Pixels last = grab();
        waitFor([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            Pixels next = grab();
            const bool same = mismatches(next, last, {0, 0, dw, dh}) == 0;
            last = next;
            return same;
        });
        return last;
    }

    double scale = 1;
    int dw = kW, dh = kH;
    Pixels art;
};

TEST_P(ScaledPluginTest, ArtworkWhereNoControlLies)
{
    if (scale == 2.0 && !hasArt2x())
        GTEST_SKIP() << "\"Quelt@2x.png\" is not embedded yet: no 2x artwork to compare with";
    const Pixels shot = grab();
    EXPECT_EQ(mismatches(shot, art, device({0, 20, kW, 18})), 0);
    EXPECT_EQ(mismatches(shot, art, device({0, 0, 183, 20})), 0);
    EXPECT_EQ(mismatches(shot, art, device({0, 172, kW, kH - 172})), 0);
}

TEST_P(ScaledPluginTest, KnobDragAtDeviceCoordinatesMovesAsAtOneX)
{
    const float before = host->getParameter(0);
    host->calls().clear();
    pointerTo(80, 125);
    button(true);
    for (int step = 1; step <= 6; ++step)
        pointerTo(80, 125 - 5 * step);
    button(false);
    ASSERT_TRUE(waitFor([&] { return host->calls().count(audioMasterEndEdit) == 1; }));
    EXPECT_NEAR(host->getParameter(0), before + 0.30f, 1e-4f);
    EXPECT_EQ(host->calls().count(audioMasterBeginEdit), 1);
    EXPECT_EQ(host->calls().count(audioMasterAutomate), 7) << "the value, then six moves";
}

TEST_P(ScaledPluginTest, LevelBarThroughChangedRectanglesMatchesAFreshFrame)
{
    ASSERT_NEAR(processLevel(0.5f, 200), 1.0f, 1e-6f);
    float gain = 1.0f;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 100000 && gain > 0.75f - 0.2f * float(round); ++i)
            gain = processLevel(1e-5f, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        host->dispatch(effEditIdle);
    }
    const Pixels partial = steadyGrab();
    EXPECT_GT(mismatches(partial, art, device({188, 38, 119, 9})), 0) << "the bar shows a level";
    host->dispatch(effEditClose);
    XSync(display, False);
    ASSERT_TRUE(openEditor());
    Pixels fresh;
    EXPECT_TRUE(waitFor([&] {
        fresh = grab();
        return mismatches(fresh, partial, {0, 0, dw, dh}) == 0;
    })) << mismatches(fresh, partial, {0, 0, dw, dh}) << " pixels differ from a full frame";
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledPluginTest, ::testing::Values(1.0, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "x" + std::to_string(int(info.param * 100));
                         });

}  // namespace
}  // namespace windowtest
