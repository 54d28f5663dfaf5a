// Opening the built plug-in's editor again and again loads and unloads no
// library: whatever the first opening loaded for GL stays, instead of the GL
// driver being loaded at every opening and leaving memory behind each time it
// goes. This process, unlike the other editor tests, never keeps Mesa loaded
// by itself.
#include "tests/window/hostwindow.h"  // gtest before X11
#include "tests/window/pixels.h"
#include "tools/host/host.h"

#include <link.h>

#include <chrono>
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

Names loaded()
{
    Names names;
    dl_iterate_phdr(addName, &names);
    return names;
}

// The host's window without Mesa kept loaded by the test.
class EditorReopening : public HostWindowTest {
protected:
    void SetUp() override
    {
        setenv("LP_NUM_THREADS", "0", 1);
        ASSERT_NO_FATAL_FAILURE(openDisplay());
        makeParent(kW, kH);
    }
};

TEST_F(EditorReopening, LoadsNothingAfterTheFirstOpening)
{
    Zorv::GPluginHost host;
    ASSERT_TRUE(host.open(QUELT_PLUGIN_PATH)) << host.error();
    // One opening; the objects loaded while it was drawing.
    auto openOnce = [&] {
        EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        EXPECT_NE(waitForEditor(), 0u);
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
}

}  // namespace
}  // namespace windowtest
