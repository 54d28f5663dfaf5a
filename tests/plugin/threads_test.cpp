// A host that uses several threads at once on the built plug-in: an audio
// thread processes while a host thread changes programs, chunks and
// parameters and asks for texts, and the editor is open with the threshold
// knob dragged through XTest; the editor then closes mid-drag. Run under
// ThreadSanitizer in the sanitizer build.
#include <gtest/gtest.h>  // before X11, whose None macro it would meet

#include "tests/editor/glsession.h"
#include "tests/window/pixels.h"
#include "tools/host/host.h"

#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace windowtest {
namespace {

constexpr int kBlock = 64;
constexpr int kKnobX = 80, kKnobY = 125;  // the threshold knob of the default skin

class HostThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Zorv::prepareMesa();
        ASSERT_EQ(server.failure(), "");
        setenv("DISPLAY", server.name().c_str(), 1);
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        Zorv::GHostConfig config;
        config.blockSize = kBlock;
        config.inputs = 2;
        config.outputs = 2;
        host = std::make_unique<Zorv::GPluginHost>(config);
        ASSERT_TRUE(host->open(QUELT_PLUGIN_PATH)) << host->error();
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
    }

    void TearDown() override
    {
        if (host)
            host->close();
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
        unsetenv("DISPLAY");
    }

    bool editorShown()
    {
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, parent, &root, &up, &children, &count);
        if (children)
            XFree(children);
        return count == 1;
    }

    void pointer(int x, int y)
    {
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    void button(bool press)
    {
        XTestFakeButtonEvent(display, 1, press, CurrentTime);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    // The last value the host was told for parameter index; NaN when none.
    float lastAutomated(int index)
    {
        float value = NAN;
        for (const Zorv::GHostCall& c : host->calls().calls())
            if (c.opcode == audioMasterAutomate && c.index == index)
                value = c.opt;
        return value;
    }

    Zorv::XvfbServer server;
    Display* display = nullptr;
    Window parent = 0;
    std::unique_ptr<Zorv::GPluginHost> host;
};

// Programs, chunks, parameters and texts, as a busy host thread would.
void hostChanges(Zorv::GPluginHost& host, int round)
{
    host.setProgram(round % 10);
    host.setParameter(1 + round % 2, float(round % 7) / 7.0f);
    host.paramDisplay(round % 3);
    host.programName();
    host.programNameIndexed(round % 10);
    std::vector<uint8_t> chunk;
    if (host.getChunk(round % 4 == 0, chunk) > 0 && round % 3 == 0)
        host.setChunk(chunk, round % 4 == 0);
    host.getParameter(0);
}

TEST_F(HostThreadsTest, AudioHostAndEditorThreadsThenACloseMidDrag)
{
    std::atomic<bool> playing{true};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        float left[kBlock], right[kBlock];
        float* io[2] = {left, right};
        for (int block = 0; playing.load(); ++block) {
            for (int i = 0; i < kBlock; ++i)
                left[i] = right[i] = (block / 20) % 2 ? 0.5f * std::sin(0.05f * float(i)) : 0.0f;
            host->processBlock(io, io, kBlock);
            ++blocks;
        }
    });
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitFor([&] { return editorShown(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the first draw

    host->calls().clear();
    pointer(kKnobX, kKnobY);
    button(true);
    std::atomic<bool> changing{true};
    std::thread hostThread([&] {
        for (int round = 0; changing.load(); ++round) {
            hostChanges(*host, round);
            host->dispatch(effEditIdle);
        }
        host->setProgram(4);  // where the drag ends
    });
    for (int step = 0; step < 30; ++step)
        pointer(kKnobX, kKnobY - 20 + 10 * (step % 5));
    changing = false;
    hostThread.join();
    for (int step = 1; step <= 5; ++step)
        pointer(kKnobX, kKnobY - 8 * step);
    ASSERT_TRUE(waitFor([&] { return lastAutomated(0) == host->getParameter(0); }));

    host->dispatch(effEditClose);  // the button is still held
    button(false);
    playing = false;
    audio.join();
    EXPECT_GT(blocks.load(), 100);
    EXPECT_EQ(host->calls().count(audioMasterBeginEdit), 1);
    EXPECT_EQ(host->calls().count(audioMasterEndEdit), 1);
    EXPECT_EQ(lastAutomated(0), host->getParameter(0)) << "the host's value is the plug-in's";
    EXPECT_EQ(host->program(), 4);
}

}  // namespace
}  // namespace windowtest
