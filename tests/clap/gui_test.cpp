// The CLAP editor through the test host on a private Xvfb: embedded in a
// parent window of ours, drawn; an XTest drag on the Thresh knob reaches the
// host as gesture begin, rising values, gesture end, through process while
// an audio thread processes and through flush after request_flush while
// none does; host functions only on the threads CLAP allows them; a host
// change shows; 200 openings leave threads, fds and memory flat.
#include "tests/window/hostwindow.h"  // gtest before X11
#include "tests/window/pixels.h"

#include "tests/clap/claphost.h"


#include <atomic>
#include <thread>
#include <vector>

namespace windowtest {
namespace {

using claptest::ClapHost;
using claptest::OutEvent;
using Zorv::GRect;

constexpr GRect kThreshValue = {50, 155, 60, 15};
constexpr clap_id kThresh = 1;

class ClapGuiTest : public HostWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(HostWindowTest::SetUp());
        clap = std::make_unique<ClapHost>(QUELT_CLAP_PATH);
        ASSERT_TRUE(clap->create("example.zorv.quelt"));
        ASSERT_TRUE(clap->activate(48000.0, 256));
    }
    void TearDown() override
    {
        stopAudio();
        clap.reset();
        HostWindowTest::TearDown();
    }

    bool openGui()
    {
        const clap_window_t window{CLAP_WINDOW_API_X11, {.x11 = parent}};
        uint32_t w = 0, h = 0;
        return clap->gui->create(clap->plugin(), CLAP_WINDOW_API_X11, false) &&
               clap->gui->get_size(clap->plugin(), &w, &h) && w == uint32_t(kW) && h == uint32_t(kH) &&
               clap->gui->set_parent(clap->plugin(), &window) && clap->gui->show(clap->plugin()) &&
               (editor = waitForEditor()) != 0;
    }
    void closeGui() { clap->gui->destroy(clap->plugin()); }
    Pixels grab() { return grabWindow(display, editor); }

    // Processes silence every few milliseconds on a thread of its own.
    void startAudio()
    {
        running = true;
        audio = std::thread([this] {
            audioThread = std::this_thread::get_id();
            std::vector<float> in(256), out(256), right(256);
            float* ins[2] = {in.data(), in.data()};
            float* outs[2] = {out.data(), right.data()};
            while (running.load()) {
                clap->process(ins, outs, 2, 256);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    void stopAudio()
    {
        running = false;
        if (audio.joinable())
            audio.join();
    }

    void dragThreshUp()
    {
        pointerTo(80, 125);
        button(true);
        for (int step = 1; step <= 4; ++step)
            pointerTo(80, 125 - 5 * step);
        button(false);
    }

    // The output events until a gesture end, gathered by `poll`.
    std::vector<OutEvent> gestureVia(const std::function<void()>& poll)
    {
        std::vector<OutEvent> got;
        waitFor([&] {
            poll();
            for (const OutEvent& e : clap->takeOutEvents())
                got.push_back(e);
            return !got.empty() && got.back().type == CLAP_EVENT_PARAM_GESTURE_END;
        });
        return got;
    }

    void expectOneRisingGesture(const std::vector<OutEvent>& got)
    {
        ASSERT_GE(got.size(), 3u);
        EXPECT_EQ(got.front().type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
        EXPECT_EQ(got.back().type, CLAP_EVENT_PARAM_GESTURE_END);
        double last = -70.0;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].id, kThresh) << i;
            if (i == 0 || i + 1 == got.size())
                continue;
            EXPECT_EQ(got[i].type, CLAP_EVENT_PARAM_VALUE) << i;
            EXPECT_GE(got[i].value, last) << "an upward drag raises the threshold";
            EXPECT_LE(got[i].value, -1.0);
            last = got[i].value;
        }
        EXPECT_GT(last, -70.0);
        EXPECT_EQ(clap->value(kThresh), last) << "the plug-in holds what the host was told";
    }

    // Every host call on a thread CLAP allows it on.
    void expectCallsOnAllowedThreads()
    {
        for (const auto& call : clap->calls()) {
            const bool mainOnly = call.name == "state.mark_dirty" || call.name == "params.rescan";
            if (mainOnly) {
                EXPECT_EQ(call.thread, clap->mainThread()) << call.name;
            }
            if (call.name == "params.request_flush") {
                EXPECT_NE(call.thread, audioThread) << "request_flush is not for the audio thread";
            }
        }
    }

    void setThresh(double value)
    {
        clap->takeOutEvents();
        clap->flush({{0, kThresh, value}});
    }

    std::unique_ptr<ClapHost> clap;
    Window editor = 0;
    std::thread audio;
    std::atomic<bool> running{false};
    std::thread::id audioThread{};
};

TEST_F(ClapGuiTest, DrawnAndADragReachesTheHostThroughProcessWhileProcessing)
{
    setThresh(-70.0);
    ASSERT_TRUE(openGui());
    ASSERT_TRUE(waitFor([&] { return mismatches(grab(), backgroundFrame(0), {0, 20, 180, 80}) == 0; }));
    startAudio();
    dragThreshUp();
    const std::vector<OutEvent> got = gestureVia([] {});
    stopAudio();
    expectOneRisingGesture(got);
    EXPECT_GT(clap->flushRequests(), 0);
    EXPECT_GT(clap->callbackRequests(), 0);
    clap->runMainThreadCallback();
    bool dirty = false;
    for (const auto& call : clap->calls())
        dirty |= call.name == "state.mark_dirty";
    EXPECT_TRUE(dirty) << "an edit in the editor makes the state dirty";
    expectCallsOnAllowedThreads();
}

TEST_F(ClapGuiTest, WithoutProcessingTheDragComesThroughFlushAfterARequest)
{
    clap = std::make_unique<ClapHost>(QUELT_CLAP_PATH);  // never activated
    ASSERT_TRUE(clap->create("example.zorv.quelt"));
    setThresh(-70.0);
    ASSERT_TRUE(openGui());
    ASSERT_TRUE(waitFor([&] { return mismatches(grab(), backgroundFrame(0), {0, 20, 180, 80}) == 0; }));
    dragThreshUp();
    const std::vector<OutEvent> got = gestureVia([&] {
        if (clap->flushRequests() > 0)
            clap->flush();
    });
    expectOneRisingGesture(got);
    expectCallsOnAllowedThreads();
}

TEST_F(ClapGuiTest, AHostChangeShowsInTheEditor)
{
    setThresh(-70.0);
    ASSERT_TRUE(openGui());
    ASSERT_TRUE(waitFor([&] { return mismatches(grab(), backgroundFrame(0), {0, 20, 180, 80}) == 0; }));
    const Pixels before = grab();
    setThresh(-20.0);
    EXPECT_TRUE(waitFor([&] { return mismatches(grab(), before, kThreshValue) > 0; }));
    EXPECT_TRUE(clap->takeOutEvents().empty()) << "host changes are not echoed back";
}

TEST_F(ClapGuiTest, TwoHundredOpeningsLeaveThreadsFdsAndMemoryFlat)
{
    auto cycle = [&] {
        ASSERT_TRUE(openGui());
        closeGui();
    };
    expectFlatOverOpenings(cycle);
}

}  // namespace
}  // namespace windowtest
