// A host's audio thread on the built plug-in with its editor open: automation
// through setParameter and getParameter, bursty audio through both processing
// functions and the dispatcher calls hosts make there, while a host thread
// reads texts, takes chunks, switches programs and idles the editor, and an
// XTest drag moves a knob. Nothing the audio thread calls may allocate, lock
// or write; the editor still follows what the audio thread wrote.
#include "tests/plugin/pluginwindow.h"
#include "tests/realtime/interpose.h"
#include "tests/window/pixels.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

namespace windowtest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKnobX = 80, kKnobY = 125;               // the threshold knob
constexpr Zorv::GRect kReadout = {50, 155, 60, 15};    // its value text
constexpr Zorv::GRect kMeter = {188, 38, 119, 9};      // the gain bar
constexpr int32_t kEffIdle = 53;                       // the old idle opcode some hosts send
constexpr auto kBlockPeriod = std::chrono::milliseconds(5);
constexpr int kFrames = 64;        // frames per block, as announced
constexpr int kBurstFrames = 256;  // now and then a host sends more

// The event list hosts pass with effProcessEvents: none this block.
struct NoEvents {
    int32_t numEvents = 0;
    intptr_t reserved = 0;
    void* events[2] = {};
};

// What an audio thread does each block; levels and values come from the test.
class AudioThread {
public:
    AudioThread(AEffect* effect, std::function<void(AEffect*, int)> automate,
                std::function<float(int)> level)
        : effect(effect), automate(std::move(automate)), level(std::move(level))
    {
        call([&] { effect->dispatcher(effect, effStartProcess, 0, 0, nullptr, 0); });
        thread = std::thread([this] { run(); });
    }
    ~AudioThread() { stop(); }

    void stop()
    {
        if (!thread.joinable())
            return;
        playing = false;
        thread.join();
        call([&] { effect->dispatcher(effect, effStopProcess, 0, 0, nullptr, 0); });
    }
    int blocksDone() const { return blocks.load(); }

    // One plug-in call, counted as the audio thread's.
    static void call(const std::function<void()>& f)
    {
        rt::AudioCall inside;
        f();
    }

private:
    void run()
    {
        float fl[kBurstFrames], fr[kBurstFrames];
        double dl[kBurstFrames], dr[kBurstFrames];
        float* fio[2] = {fl, fr};
        double* dio[2] = {dl, dr};
        NoEvents events;
        for (int block = 0; playing.load(); ++block) {
            const float a = level(block);
            const int n = block % 50 == 49 ? kBurstFrames : kFrames;
            for (int i = 0; i < n; ++i) {
                fl[i] = fr[i] = a * std::sin(0.07f * float(block * n + i));
                dl[i] = dr[i] = fl[i];
            }
            automate(effect, block);
            call([&] { sink += effect->getParameter(effect, block % 3); });
            call([&] { effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0); });
            call([&] { effect->dispatcher(effect, effSetBypass, 0, 0, nullptr, 0); });
            call([&] { effect->processReplacing(effect, fio, fio, n); });
            call([&] { effect->processDoubleReplacing(effect, dio, dio, n); });
            call([&] { sink += float(effect->dispatcher(effect, effGetTailSize, 0, 0, nullptr, 0)); });
            call([&] { effect->dispatcher(effect, kEffIdle, 0, 0, nullptr, 0); });
            ++blocks;
            std::this_thread::sleep_for(kBlockPeriod);
        }
    }

    AEffect* effect;
    std::function<void(AEffect*, int)> automate;
    std::function<float(int)> level;
    std::atomic<bool> playing{true};
    std::atomic<int> blocks{0};
    float sink = 0;
    std::thread thread;
};

class RealtimeTest : public PluginWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(PluginWindowTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(openPlugin());
        ASSERT_TRUE(openEditor());
    }

    // A host thread idling the editor as hosts do, and doing `work` each round.
    std::thread hostThread(std::atomic<bool>& running, std::function<void(int)> work)
    {
        return std::thread([this, &running, work] {
            for (int round = 0; running.load(); ++round) {
                work(round);
                host->dispatch(effEditIdle);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }

    Pixels shot() { return grabWindow(display, editor); }
    static bool isEditCall(int32_t opcode)
    {
        return opcode == audioMasterBeginEdit || opcode == audioMasterAutomate ||
               opcode == audioMasterEndEdit;
    }

    // The opcodes of the edit calls for parameter index, in order, without repeats.
    std::vector<int32_t> gestureOf(int index)
    {
        std::vector<int32_t> seen;
        for (const Zorv::GHostCall& c : host->calls().calls())
            if (c.index == index && isEditCall(c.opcode) && (seen.empty() || seen.back() != c.opcode))
                seen.push_back(c.opcode);
        return seen;
    }
};

TEST_F(RealtimeTest, AudioThreadNeverAllocatesLocksOrWritesWhileEverythingElseRuns)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the first draw
    rt::reset();
    host->calls().clear();
    AudioThread audio(
        host->effect(),
        [](AEffect* e, int block) {
            AudioThread::call([&] { e->setParameter(e, 1 + block % 2, float(block % 50) / 50.0f); });
        },
        [](int block) { return (block / 40) % 2 ? 0.5f : 0.0005f; });
    std::atomic<bool> running{true};
    std::thread other = hostThread(running, [this](int round) {
        host->paramDisplay(round % 3);
        std::vector<uint8_t> chunk;
        host->getChunk(round % 2 == 0, chunk);
        if (round % 5 == 0)
            host->setProgram(round / 5 % 10);
    });
    pointerTo(kKnobX, kKnobY);
    button(true);
    for (int step = 1; step <= 40; ++step)
        pointerTo(kKnobX, kKnobY - step % 20 * 3);
    button(false);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    running = false;
    other.join();
    audio.stop();

    EXPECT_GT(audio.blocksDone(), 200);
    EXPECT_EQ(rt::count(rt::kAllocation), 0) << "malloc, calloc, realloc or free";
    EXPECT_EQ(rt::count(rt::kLock), 0) << "pthread_mutex_lock or trylock";
    EXPECT_EQ(rt::count(rt::kWrite), 0) << "write, writev, send or sendmsg";
    const std::vector<int32_t> gesture = gestureOf(0);
    EXPECT_EQ(gesture, (std::vector<int32_t>{audioMasterBeginEdit, audioMasterAutomate,
                                              audioMasterEndEdit}));
}

TEST_F(RealtimeTest, EditorFollowsAutomationAndTheMeterFromTheAudioThread)
{
    std::atomic<int> automated{-1};  // the block from which the threshold is written
    std::atomic<int64_t> writtenAt{0};
    AudioThread audio(
        host->effect(),
        [&](AEffect* e, int block) {
            if (automated.load() < 0 || block < automated.load())
                return;
            AudioThread::call([&] { e->setParameter(e, 0, 0.9f); });
            int64_t none = 0;
            writtenAt.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
        },
        [](int block) { return block < 100 ? 0.5f : 0.0f; });
    std::atomic<bool> running{true};
    std::thread other = hostThread(running, [](int) {});

    Pixels open, closed;
    ASSERT_TRUE(waitFor([&] { return (open = shot()).w && audio.blocksDone() > 40; }));
    ASSERT_TRUE(waitFor([&] {
        closed = shot();
        return audio.blocksDone() > 100 && mismatches(closed, open, kMeter) > 100;
    })) << "the bar falls with the gain";

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the editor dozes
    const Pixels before = shot();
    automated = audio.blocksDone() + 1;
    Pixels after;
    ASSERT_TRUE(waitFor([&] {
        after = shot();
        return mismatches(after, before, kReadout) > 20 && mismatches(after, before, {55, 100, 50, 50}) > 20;
    })) << "knob and read-out follow";
    const auto seen = Clock::now().time_since_epoch().count();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        Clock::duration(seen - writtenAt.load())).count();
    RecordProperty("follow_ms", int(ms));
    EXPECT_LE(ms, 100);
    running = false;
    other.join();
}

}  // namespace
}  // namespace windowtest
