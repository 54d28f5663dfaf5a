// Opening the built plug-in's editor again and again loads and unloads no
// library: whatever the first opening loaded for GL stays, instead of the GL
// driver being loaded at every opening and leaving memory behind each time it
// goes. This process, unlike the other editor tests, never keeps Mesa loaded
// by itself.
#include <gtest/gtest.h>  // before X11, whose None macro it would meet

#include "tests/editor/glsession.h"
#include "tools/host/host.h"

#include <link.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>

namespace windowtest {
namespace {

using Names = std::set<std::string>;

int addName(dl_phdr_info* info, size_t, void* names)
{
    if (info->dlpi_name && info->dlpi_name[0])
        static_cast<Names*>(names)->insert(info->dlpi_name);
    return 0;
}

constexpr int kW = 330, kH = 195;

bool waitFor(const std::function<bool()>& pred)
{
    for (int i = 0; i < 300 && !pred(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return pred();
}

Names loaded()
{
    Names names;
    dl_iterate_phdr(addName, &names);
    return names;
}

TEST(EditorReopening, LoadsNothingAfterTheFirstOpening)
{
    Zorv::XvfbServer server;
    ASSERT_EQ(server.failure(), "");
    setenv("DISPLAY", server.name().c_str(), 1);
    setenv("LP_NUM_THREADS", "0", 1);
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    Zorv::GPluginHost host;
    ASSERT_TRUE(host.open(QUELT_PLUGIN_PATH)) << host.error();
    auto shown = [&] {
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, parent, &root, &up, &children, &count);
        if (children)
            XFree(children);
        return count == 1;
    };
    // One opening; the objects loaded while it was drawing.
    auto openOnce = [&] {
        EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        EXPECT_TRUE(waitFor(shown));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));  // context and first draw
        const Names open = loaded();
        host.dispatch(effEditClose);
        return open;
    };
    const Names whileFirstOpen = openOnce();
    const Names afterFirst = loaded();
    EXPECT_EQ(afterFirst, whileFirstOpen) << "closing unloaded what opening loaded";
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(openOnce(), afterFirst) << round;
        EXPECT_EQ(loaded(), afterFirst) << round;
    }
    host.close();
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
    unsetenv("DISPLAY");
}

}  // namespace
}  // namespace windowtest
