// The three threads at once: an audio thread processes blocks (each one
// refreshing the editor as the meter moves) while the host thread opens,
// idles and closes the editor and the UI thread draws. Run under
// ThreadSanitizer in the sanitizer build.
#include "tests/window/windowtest.h"

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace windowtest {
namespace {

class ConcurrencyTest : public EditorFixture {};

TEST_F(ConcurrencyTest, AudioRefreshesWhileTheHostOpensAndCloses)
{
    addProbe(1, 100, 50, 40, 30);
    buildEditor();
    skin->setRefreshThrottleMs(1);
    effect->setSampleRate(48000);
    effect->setBlockSize(64);
    effect->resume();
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        float left[64], right[64], outLeft[64], outRight[64];
        float* in[2] = {left, right};
        float* out[2] = {outLeft, outRight};
        for (int block = 0; running.load(); ++block) {
            const float level = (block / 50) % 2 ? 0.5f : 0.0f;  // bursts open and close the gate
            for (int i = 0; i < 64; ++i)
                left[i] = right[i] = level * std::sin(0.05f * float(block * 64 + i));
            effect->processReplacing(in, out, 64);
            ++blocks;
        }
    });
    const int threadsBefore = threadCount();
    for (int cycle = 0; cycle < 30; ++cycle) {
        ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
        const int target = blocks.load() + 20;
        waitFor([&] { return blocks.load() >= target; }, 500);
        for (int i = 0; i < 5; ++i)
            editor->idle();
        editor->close();
    }
    running = false;
    audio.join();
    EXPECT_EQ(threadCount(), threadsBefore - 1);
    EXPECT_FALSE(editor->getWindow()->isRunning());
    EXPECT_GT(blocks.load(), 600);
}

// Eight instances, each on a thread of its own as a host with one thread per
// plug-in window does: a new effect and editor whose scale is decided from
// the desktop while the other instances' UI threads run, opened, rescaled and
// closed again.
TEST_F(ConcurrencyTest, EightInstancesOpenRescaleAndCloseOnThreadsOfTheirOwn)
{
    constexpr int kInstances = 8, kRounds = 4;
    std::vector<Window> parents;
    for (int i = 0; i < kInstances; ++i)
        parents.push_back(XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH,
                                              0, 0, 0));
    XSync(display, False);
    std::atomic<int> opened{0};
    std::vector<std::thread> hosts;
    for (int i = 0; i < kInstances; ++i)
        hosts.emplace_back([&, i] {
            for (int round = 0; round < kRounds; ++round) {
                Zorv::Quelt instance(skintest::Recorder::callback);
                auto* instanceSkin = new Zorv::GEditorSkin(&instance);
                instanceSkin->setSize(kW, kH, 1);
                auto* instanceEditor = new Zorv::GEditor(&instance, instanceSkin);
                instance.setEditor(instanceEditor);
                ERect* rect = nullptr;
                instanceEditor->getRect(&rect);
                opened += instanceEditor->open(reinterpret_cast<void*>(parents[i]));
                for (double scale : {2.0, 1.5, 1.0})
                    instanceEditor->setScale(scale);
                instanceEditor->close();
            }
        });
    for (std::thread& host : hosts)
        host.join();
    EXPECT_EQ(opened.load(), kInstances * kRounds);
    for (Window w : parents)
        XDestroyWindow(display, w);
}

}  // namespace
}  // namespace windowtest
