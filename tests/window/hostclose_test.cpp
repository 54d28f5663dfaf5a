// Hosts that close the editor in awkward places: one that guards its calls
// into the plug-in and its own callback with one lock and closes while the
// user holds a knob, a button or a slide; one that closes from inside the
// beginEdit its own idle delivers, then closes the effect, reopens the
// editor, or closes the effect right there. The test's thread idles the
// editor through the effect record while it waits, as a host's GUI thread.
#include "controls/buttons.h"
#include "controls/pots.h"
#include "controls/slides.h"
#include "tests/window/windowtest.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

namespace windowtest {
namespace {

using Clock = std::chrono::steady_clock;

struct Call {
    int32_t opcode, index;
    float value;
    std::thread::id thread;
};

// The host: its lock (recursive, as calls into the plug-in may call back)
// guards its callback; a callback that cannot get it in
// two seconds gives up, so a deadlock shows as a slow close. The lock is
// polled with try_lock: the sanitizers do not see timed locks taken.
struct LockingHost {
    static inline std::recursive_mutex lock;
    static bool lockWithin(std::chrono::milliseconds limit)
    {
        const auto deadline = Clock::now() + limit;
        while (!lock.try_lock()) {
            if (Clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    static inline std::mutex logGuard;
    static inline std::vector<Call> log;
    static inline std::function<void()> onBeginEdit;  // run once, after the lock is let go

    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float opt)
    {
        if (opcode == audioMasterVersion)
            return kVstVersion;
        if (opcode != audioMasterBeginEdit && opcode != audioMasterEndEdit &&
            opcode != audioMasterAutomate)
            return 0;
        const bool held = lockWithin(std::chrono::seconds(2));
        {
            std::lock_guard<std::mutex> hold(logGuard);
            log.push_back({opcode, index, opt, std::this_thread::get_id()});
        }
        if (held)
            lock.unlock();
        std::function<void()> action;
        if (opcode == audioMasterBeginEdit)
            action.swap(onBeginEdit);
        if (action)
            action();
        return 0;
    }
    static std::vector<Call> calls()
    {
        std::lock_guard<std::mutex> hold(logGuard);
        return log;
    }
};

enum Held { kKnob, kButton, kSlide };

class HostCloseTest : public EditorFixture {
protected:
    HostCloseTest() { hostCallback = LockingHost::callback; }

    void SetUp() override
    {
        EditorFixture::SetUp();
        setPollHook([this] {
            if (aeffect && editor)
                dispatch(effEditIdle);
        });
        ASSERT_NO_FATAL_FAILURE(buildAndOpen());
    }

    // Knob, button and slide on page 1; opened, closed and opened again.
    void buildAndOpen()
    {
        if (!effect)
            makeEffect();
        aeffect = effect->getAeffect();
        auto* knobArt = new Zorv::GImageResource("knob", "Quelt.png", 20, 20, 1);
        skin->addResource(knobArt);
        skin->addControl(new Zorv::GPot(args(20, 40, 50, 50), 0));
        skin->addControl(new Zorv::GButton(args(100, 40, 40, 20), 1));
        slide = new Zorv::GSlide(args(200, 40, 30, 100), 2, knobArt, kRed, {0, 5, 20, 10});
        skin->addControl(slide);
        // One opening first, so that the GL driver's lasting threads are there.
        ASSERT_TRUE(openEditor());
        threadsOpen = threadCount();  // the UI thread and what its context runs
        editor->close();
        threads = threadCount();
        LockingHost::log.clear();
        ASSERT_TRUE(openEditor());
    }

    Zorv::ControlArgs args(int x, int y, int w, int h)
    {
        return {x, y, w, h, 1, nullptr, effect, skin};
    }

    void press(Held held)
    {
        const int slideY = 40 + slide->getKnobY() + 10;
        const int x[] = {45, 120, 210}, y[] = {65, 50, slideY};
        pointerTo(x[held], y[held]);
        button(1, true);
        ASSERT_TRUE(waitFor([&] { return skin->getCaptureIndex() == int(held); }));
        pointerTo(x[held], y[held] - 10);
        settle();
        dispatch(effEditIdle);  // what the press and the move sent, out before the close
    }

    intptr_t dispatch(int32_t opcode, void* ptr = nullptr)
    {
        return aeffect->dispatcher(aeffect, opcode, 0, 0, ptr, 0.0f);
    }

    // After an effClose: the effect, editor and skin are gone.
    void forgetEffect()
    {
        skintest::Recorder::calls.source = nullptr;
        aeffect = nullptr;
        effect = nullptr;
        editor = nullptr;
        skin = nullptr;
    }

    static constexpr unsigned char kRed[4] = {255, 0, 0, 255};
    Zorv::GSlide* slide = nullptr;
    AEffect* aeffect = nullptr;
    int threads = 0;
    int threadsOpen = 0;
};

TEST_F(HostCloseTest, CloseHoldingTheHostLockMidGestureReturnsAndEndsItThere)
{
    struct Case {
        Held held;
        int32_t close;
        std::vector<Call> closing;  // the calls made on the closing thread, last of all
    };
    const Call endKnob = {audioMasterEndEdit, 0, 0, {}};
    const Case cases[] = {
        {kKnob, effEditClose, {endKnob}},
        {kButton, effEditClose, {{audioMasterAutomate, 1, 1.0f, {}}, {audioMasterAutomate, 1, 0.0f, {}}}},
        {kSlide, effEditClose, {{audioMasterEndEdit, 2, 0, {}}}},
        {kKnob, effClose, {endKnob}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.held << ", opcode " << c.close);
        if (!editor->isOpen()) {
            ASSERT_TRUE(openEditor());
        }
        LockingHost::log.clear();
        ASSERT_NO_FATAL_FAILURE(press(c.held));
        const size_t before = LockingHost::calls().size();
        std::thread::id closer;
        Clock::duration took{};
        std::thread host([&] {
            std::lock_guard<std::recursive_mutex> hold(LockingHost::lock);
            closer = std::this_thread::get_id();
            const Clock::time_point start = Clock::now();
            dispatch(c.close);
            took = Clock::now() - start;
        });
        host.join();
        button(1, false);
        EXPECT_LT(took, std::chrono::seconds(1));
        const std::vector<Call> calls = LockingHost::calls();
        ASSERT_EQ(calls.size(), before + c.closing.size());
        for (size_t i = 0; i < c.closing.size(); ++i) {
            const Call& made = calls[before + i];
            EXPECT_EQ(made.opcode, c.closing[i].opcode);
            EXPECT_EQ(made.index, c.closing[i].index);
            EXPECT_EQ(made.value, c.closing[i].value);
            EXPECT_EQ(made.thread, closer);
        }
        EXPECT_EQ(calls.front().thread, std::this_thread::get_id()) << "begun in the host's idle";
        if (c.close == effClose)
            forgetEffect();
    }
}

TEST_F(HostCloseTest, CloseFromInsideBeginEditLeavesOneUiThreadAndFreesNothingUnderIt)
{
    enum After { kEffClose, kReopen, kNothing };
    struct Case {
        int32_t inside;  // what the host calls from inside beginEdit
        After after;     // what it does next on its own thread
    };
    const Case cases[] = {
        {effEditClose, kEffClose}, {effEditClose, kReopen}, {effClose, kNothing}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "inside " << c.inside << ", then " << c.after);
        if (!effect) {
            ASSERT_NO_FATAL_FAILURE(buildAndOpen());
        }
        if (!editor->isOpen()) {
            ASSERT_TRUE(openEditor());
        }
        std::atomic<bool> acted{false};
        LockingHost::onBeginEdit = [&] {
            dispatch(c.inside);
            if (c.inside == effClose)
                forgetEffect();  // deleted once the idle around this call returns
            acted = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the host's own work
        };
        pointerTo(45, 65);
        button(1, true);
        ASSERT_TRUE(waitFor([&] { return acted.load(); }));
        const size_t callsAtClose = LockingHost::calls().size();
        if (c.after == kEffClose) {
            dispatch(effClose);
            forgetEffect();
        } else if (c.after == kReopen) {
            ASSERT_EQ(dispatch(effEditOpen, reinterpret_cast<void*>(parent)), 1);
            EXPECT_EQ(threadCount(), threadsOpen) << "one UI thread";
            dispatch(effEditClose);
        } else {
            EXPECT_TRUE(waitFor([&] { return threadCount() == threads; }));
            EXPECT_EQ(LockingHost::calls().size(), callsAtClose) << "no host call after effClose";
        }
        button(1, false);
        EXPECT_TRUE(waitFor([&] { return threadCount() == threads; }));
    }
}

}  // namespace
}  // namespace windowtest
