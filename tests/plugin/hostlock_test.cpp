// The built plug-in in a host made as most are: one recursive lock guards its
// calls into the plug-in and its own model, and its GUI thread idles the
// editor under that lock every 15 ms. The user drags the threshold knob; the
// host closes the editor under the lock after some work of its own while the
// pointer keeps moving. A callback that cannot get the lock in five seconds
// gives up and says so: that is a deadlock.
#include "tests/window/hostwindow.h"  // gtest before X11
#include "tests/window/pixels.h"
#include "tools/host/library.h"

#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace windowtest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKnobX = 80, kKnobY = 125;  // the threshold knob of the default skin
constexpr int kAboutTabX = 290, kAboutTabY = 11;
constexpr auto kIdlePeriod = std::chrono::milliseconds(15);

struct Call {
    int32_t opcode, index;
    float value;
    std::thread::id thread;
};

struct LockHost {
    static inline std::recursive_mutex lock;
    static inline std::mutex logGuard;
    static inline std::vector<Call> log;
    static inline std::atomic<int> gaveUp{0};

    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t, void* ptr, float opt)
    {
        if (opcode == audioMasterVersion)
            return kVstVersion;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (!lock.try_lock()) {  // polled: the sanitizers do not see timed locks taken
            if (Clock::now() >= deadline) {
                ++gaveUp;
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        {
            std::lock_guard<std::mutex> hold(logGuard);
            log.push_back({opcode, index, opt, std::this_thread::get_id()});
        }
        if (opcode == audioMasterGetProductString && ptr)
            strcpy(static_cast<char*>(ptr), "Lock Host");
        lock.unlock();
        return opcode == audioMasterGetProductString ? 1 : 0;
    }
    static std::vector<Call> calls()
    {
        std::lock_guard<std::mutex> hold(logGuard);
        return log;
    }
    static int count(int32_t opcode)
    {
        int n = 0;
        for (const Call& c : calls())
            n += c.opcode == opcode;
        return n;
    }
};

class HostLockTest : public HostWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(HostWindowTest::SetUp());
        LockHost::log.clear();
        LockHost::gaveUp = 0;
        ASSERT_TRUE(library.open(QUELT_PLUGIN_PATH)) << library.error();
        effect = library.entry()(LockHost::callback);
        ASSERT_NE(effect, nullptr);
        dispatch(effOpen);
        dispatch(effMainsChanged, 1);
        gui = std::thread([this] { guiThread(); });
    }
    void TearDown() override
    {
        command = kQuit;
        if (gui.joinable())
            gui.join();
        if (effect) {
            dispatch(effEditClose);
            dispatch(effClose);
        }
        HostWindowTest::TearDown();
    }

    intptr_t dispatch(int32_t opcode, intptr_t value = 0, void* ptr = nullptr)
    {
        std::lock_guard<std::recursive_mutex> hold(LockHost::lock);
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    }

    // The GUI thread: idles while open, opens and closes when told, all under the lock.
    enum Command { kNone, kOpen, kClose, kQuit };
    void guiThread()
    {
        guiId = std::this_thread::get_id();
        for (Command c; (c = command.load()) != kQuit;) {
            {
                std::lock_guard<std::recursive_mutex> hold(LockHost::lock);
                if (c == kOpen) {
                    dispatch(effEditOpen, 0, reinterpret_cast<void*>(parent));
                    open = true;
                } else if (c == kClose) {
                    const auto until = Clock::now() + std::chrono::microseconds(workUs.load());
                    while (Clock::now() < until) {  // the host's own work under its lock
                    }
                    closingAt = LockHost::calls().size();
                    dispatch(effEditClose);
                    open = false;
                } else if (open) {
                    dispatch(effEditIdle);
                }
            }
            if (c != kNone)
                command.compare_exchange_strong(c, kNone);
            std::this_thread::sleep_for(kIdlePeriod);
        }
    }
    // The editor window once it shows the gate page's artwork.
    bool drawn(Window editor)
    {
        const Pixels art = backgroundFrame(0);
        return editor && waitFor([&] { return mismatches(grabWindow(display, editor), art, {0, 20, 180, 80}) == 0; });
    }
    // Motion every millisecond over the knob until the GUI thread has done its command.
    void keepMovingUntilDone()
    {
        const auto limit = Clock::now() + std::chrono::seconds(20);
        for (int step = 0; command.load() != kNone && Clock::now() < limit; ++step) {
            XTestFakeMotionEvent(display, -1, kKnobX, kKnobY - 12 - step % 20, CurrentTime);
            XFlush(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // Asks the GUI thread and waits until it has done it.
    bool tell(Command c)
    {
        command = c;
        return waitFor([&] { return command.load() == kNone; });
    }

    Zorv::GPluginLibrary library;
    AEffect* effect = nullptr;
    std::thread gui;
    std::thread::id guiId;
    std::atomic<Command> command{kNone};
    std::atomic<int> workUs{0};
    bool open = false;      // GUI thread only
    size_t closingAt = 0;   // calls logged before the close; read once the close is done
};

TEST_F(HostLockTest, ClosingUnderTheLockMidDragNeverDeadlocksAndEveryCallIsOnTheGuiThread)
{
    for (int work : {0, 200, 2000}) {
        for (int trial = 0; trial < 3; ++trial) {
            SCOPED_TRACE(testing::Message() << work << " us of work, trial " << trial);
            LockHost::log.clear();
            ASSERT_TRUE(tell(kOpen));
            ASSERT_TRUE(drawn(waitForEditor()));
            pointerTo(kKnobX, kKnobY);
            button(true);
            for (int step = 1; step <= 3; ++step)
                pointerTo(kKnobX, kKnobY - 4 * step);
            ASSERT_TRUE(waitFor([] { return LockHost::count(audioMasterAutomate) >= 2; }))
                << "the drag's values reach the host in its idle";
            workUs = work;
            command = kClose;
            keepMovingUntilDone();
            ASSERT_TRUE(waitFor([&] { return command.load() == kNone; })) << "the close returns";
            button(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));

            EXPECT_EQ(LockHost::gaveUp.exchange(0), 0) << "a callback waited on the host's lock";
            const std::vector<Call> calls = LockHost::calls();
            std::vector<int32_t> edits;
            float lastValue = -1.0f;
            int valuesBeforeClose = 0;
            for (size_t i = 0; i < calls.size(); ++i) {
                const Call& c = calls[i];
                EXPECT_EQ(c.thread, guiId) << "opcode " << c.opcode;
                if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit)
                    edits.push_back(c.opcode);
                if (c.opcode == audioMasterAutomate) {
                    lastValue = c.value;
                    valuesBeforeClose += i < closingAt;
                }
            }
            EXPECT_EQ(edits, (std::vector<int32_t>{audioMasterBeginEdit, audioMasterEndEdit}));
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.back().opcode, audioMasterEndEdit) << "nothing after the end";
            EXPECT_EQ(lastValue, effect->getParameter(effect, 0)) << "the host has the last value";
            EXPECT_GE(valuesBeforeClose, 2) << "the drag's values came before the close";
        }
    }
}

TEST_F(HostLockTest, TheAboutPageShowsTheHostsNameWithoutAskingFromTheUiThread)
{
    ASSERT_TRUE(tell(kOpen));
    const Window editor = waitForEditor();
    ASSERT_TRUE(drawn(editor));
    pointerTo(kAboutTabX, kAboutTabY);
    button(true);
    button(false);
    const Pixels about = backgroundFrame(1);
    EXPECT_TRUE(waitFor([&] { return mismatches(grabWindow(display, editor), about, {0, 20, kW, 50}) == 0; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(tell(kClose));
    const std::thread::id self = std::this_thread::get_id();
    for (const Call& c : LockHost::calls())
        EXPECT_TRUE(c.thread == guiId || c.thread == self) << "opcode " << c.opcode;
    EXPECT_GT(LockHost::count(audioMasterGetProductString), 0);
    EXPECT_EQ(LockHost::gaveUp.exchange(0), 0);
}

}  // namespace
}  // namespace windowtest
