// The three threads at once: an audio thread processes blocks (each one
// refreshing the editor as the meter moves) while the host thread opens,
// idles and closes the editor and the UI thread draws. Run under
// ThreadSanitizer in the sanitizer build.
#include "tests/window/windowtest.h"

#include <atomic>
#include <cmath>
#include <thread>

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

}  // namespace
}  // namespace windowtest
