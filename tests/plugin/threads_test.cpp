// A host that uses several threads at once on the built plug-in: an audio
// thread processes while a host thread changes programs, chunks and
// parameters and asks for texts, and the editor is open with the threshold
// knob dragged through XTest; the editor then closes mid-drag. Run under
// ThreadSanitizer in the sanitizer build. Every thread the test starts ends,
// whatever fails; waits are on the event, bounded only to report a failure.
#include "tests/plugin/pluginwindow.h"
#include "tests/window/pixels.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace windowtest {
namespace {

constexpr int kKnobX = 80, kKnobY = 125;  // the threshold knob of the default skin

class HostThreadsTest : public PluginWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(PluginWindowTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(openPlugin());
    }

    // Ends a thread of the test on every way out of it.
    struct Joined {
        std::thread& thread;
        std::atomic<bool>& running;
        ~Joined()
        {
            running = false;
            if (thread.joinable())
                thread.join();
        }
    };

    // The last value the host was told for parameter index; NaN when none.
    float lastAutomated(int index)
    {
        float value = NAN;
        for (const Zorv::GHostCall& c : host->calls().calls())
            if (c.opcode == audioMasterAutomate && c.index == index)
                value = c.opt;
        return value;
    }
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
    std::thread audio;
    const Joined endAudio{audio, playing};
    audio = std::thread([&] {
        float left[kBlock], right[kBlock];
        float* io[2] = {left, right};
        for (int block = 0; playing.load(); ++block) {
            for (int i = 0; i < kBlock; ++i)
                left[i] = right[i] = (block / 20) % 2 ? 0.5f * std::sin(0.05f * float(i)) : 0.0f;
            host->processBlock(io, io, kBlock);
            ++blocks;
        }
    });
    ASSERT_TRUE(openEditor());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the first draw

    host->calls().clear();
    pointerTo(kKnobX, kKnobY);
    button(true);
    std::atomic<bool> changing{true};
    std::thread hostThread;
    const Joined endHost{hostThread, changing};
    hostThread = std::thread([&] {
        for (int round = 0; changing.load(); ++round) {
            hostChanges(*host, round);
            host->dispatch(effEditIdle);
        }
        host->setProgram(4);  // where the drag ends
    });
    for (int step = 0; step < 30; ++step)
        pointerTo(kKnobX, kKnobY - 20 + 10 * (step % 5));
    changing = false;
    hostThread.join();
    for (int step = 1; step <= 5; ++step)
        pointerTo(kKnobX, kKnobY - 8 * step);
    ASSERT_TRUE(waitFor([&] { return lastAutomated(0) == host->getParameter(0); }));

    host->dispatch(effEditClose);  // the button is still held
    button(false);
    ASSERT_TRUE(waitFor([&] { return blocks.load() > 100; }));
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
