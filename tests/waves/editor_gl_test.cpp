// A test skin for the test effect, built by the skin builder and opened as a
// host opens an editor, on a private Xvfb with real pointer input through
// XTest: a slide dragged by its knob (values, host calls in order, the press
// rectangle), the zoom handle dragged and reset, a peak read-out clicked
// with Shift, and the history scrolling while an audio thread fills it (run
// under ThreadSanitizer in the sanitizer build).
#include "tests/window/hostwindow.h"  // gtest before X11

#include "controls/waves.h"
#include "editor/builder.h"
#include "editor/editor.h"
#include "editor/skin.h"
#include "editor/window.h"
#include "tests/testeffect/testeffect.h"
#include "tests/text/memory_reader.h"
#include "tests/window/pixels.h"
#include "xp/tokenreader.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace windowtest {
namespace {

using testeffect::kTrim;

const char kSkin[] =
    "InstallTTF \"Kelvo\" \"Kelvo.ttf\"\n"
    "AddResource bg PngResource \"Quelt.png\" 330 195 2\n"
    "AddResource knob PngResource \"Quelt.png\" 20 20 1\n"
    "AddResource strip PngResource \"Quelt.png\" 30 15 11\n"
    "AddResource red RGBColour 255 0 0\n"
    "AddResource blue RGBColour 0 0 255\n"
    "AddResource green RGBColour 0 255 0\n"
    "AddResource grey RGBColour 60 60 60\n"
    "AddResource white RGBColour 255 255 255\n"
    "AddResource yellow RGBColour 255 255 0\n"
    "AddResource ink RGBColour 20 20 20\n"
    "AddResource small DefFont 10 ink \"Kelvo\"\n"
    "AddResource hot DefFont 10 red \"Kelvo\"\n"
    "Init 330 195 2\n"
    "RefreshThrottleMs 0\n"
    "BackgroundMap bg\n"
    "AddControl 1 20 40 30 100 GSlide Trim knob red 0 0 20 20\n"
    "AddControl 1 100 60 200 116 GZoomWave Wave Level Null red blue green grey white yellow small\n"
    "AddControl 1 100 20 120 20 GTextPeak Peak Clear small hot\n"
    "AddControl 1 240 20 30 15 GImgMeter Steps 1 0 strip\n";

// Slide (20, 40, 30, 100): knob 20 px, travel 80. Zoom wave (100, 60, 200, 116): bar rows 160..175.
constexpr int kSlideX = 30;
constexpr int kBarY = 167;
constexpr int kHandleRow = 162;

// Host callback that records the edit gesture under a lock: the UI thread calls it.
struct HostLog {
    static inline std::mutex guard;
    static inline std::vector<std::pair<int32_t, float>> calls;

    static intptr_t callback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float opt)
    {
        if (opcode == audioMasterVersion)
            return kVstVersion;
        if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit ||
            opcode == audioMasterAutomate) {
            std::lock_guard<std::mutex> hold(guard);
            calls.push_back({opcode, opt});
        }
        return 0;
    }
    static std::vector<std::pair<int32_t, float>> snapshot()
    {
        std::lock_guard<std::mutex> hold(guard);
        return calls;
    }
};

bool isColour(const Pixels& p, int x, int y, int r, int g, int b)
{
    const unsigned char* at = p.at(x, y);
    return std::abs(at[0] - r) <= kTolerance && std::abs(at[1] - g) <= kTolerance &&
           std::abs(at[2] - b) <= kTolerance;
}

class SkinEditorTest : public HostWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(HostWindowTest::SetUp());
        HostLog::calls.clear();
        effect = std::make_unique<testeffect::TestEffect>(HostLog::callback, 256, 32);
        MemoryReader source(kSkin);
        XP::TokenReader tokens(&source);
        Zorv::GEditorSkinBuilder builder(effect.get());
        Zorv::GEditorSkin* skin = builder.buildSkin(tokens);
        ASSERT_NE(skin, nullptr);
        ASSERT_EQ(skin->getControls().getCount(), 4) << "every line of the test skin builds";
        zoom = dynamic_cast<Zorv::GZoomWave*>(skin->getControls().get(1));
        editor = new Zorv::GEditor(effect.get(), skin);
        effect->setEditor(editor);
        setPollHook([this] { editor->idle(); });  // the test's thread is the host's
        ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
        const Pixels frame0 = backgroundFrame(0);
        ASSERT_TRUE(waitFor([&] { return mismatches(grab(), frame0, {0, 0, 8, 8}) == 0; }));
        ASSERT_TRUE(waitFor([&] { return isColour(grab(), 250, kBarY, 60, 60, 60); }));
    }

    void TearDown() override
    {
        setPollHook(nullptr);
        effect.reset();  // its editor first
        HostWindowTest::TearDown();
    }

    Pixels grab() { return grabWindow(display, Window(editor->getWindow()->getWindow())); }
    bool shows(int x, int y, int r, int g, int b)
    {
        return waitFor([&] {
            const Pixels p = grab();
            return !p.rgb.empty() && isColour(p, x, y, r, g, b);
        });
    }
    void key(KeySym sym, bool press)
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), press, CurrentTime);
        XSync(display, False);
    }
    double stored(int index)
    {
        Zorv::ProgramBank& bank = effect->getBank();
        return bank.parameter(index)->getNormalised(bank.slot(effect->getProgram(), index));
    }

    std::unique_ptr<testeffect::TestEffect> effect;
    Zorv::GEditor* editor = nullptr;  // owned by the effect
    Zorv::GZoomWave* zoom = nullptr;
};

TEST_F(SkinEditorTest, DraggingTheSlideKnobIsOneGestureAndLightsTheKnob)
{
    // Trim 0.25: knob top 60, window rows 100..119.
    pointerTo(kSlideX, 95);
    button(true);  // on the track: nothing
    button(false);
    pointerTo(kSlideX, 110);
    button(true);
    EXPECT_TRUE(shows(kSlideX, 110, 255, 0, 0)) << "press rectangle over the knob";
    for (int step = 1; step <= 4; ++step)
        pointerTo(kSlideX, 110 - 10 * step);
    EXPECT_TRUE(shows(kSlideX, 70, 255, 0, 0)) << "knob top 21 at 0.75: rows 61..80";
    EXPECT_FALSE(isColour(grab(), kSlideX, 100, 255, 0, 0)) << "the old place is track again";
    button(false);
    ASSERT_TRUE(waitFor([&] {
        const auto calls = HostLog::snapshot();
        return !calls.empty() && calls.back().first == audioMasterEndEdit;
    }));
    EXPECT_NEAR(stored(kTrim), 0.75, 1e-12);
    const std::vector<std::pair<int32_t, float>> expected = {
        {audioMasterBeginEdit, 0.0f},   {audioMasterAutomate, 0.25f}, {audioMasterAutomate, 0.375f},
        {audioMasterAutomate, 0.5f},    {audioMasterAutomate, 0.625f}, {audioMasterAutomate, 0.75f},
        {audioMasterEndEdit, 0.0f}};
    EXPECT_EQ(HostLog::snapshot(), expected);
    EXPECT_TRUE(waitFor([&] { return !isColour(grab(), kSlideX, 70, 255, 0, 0); }))
        << "released: the knob image again";
}

TEST_F(SkinEditorTest, DraggingTheZoomHandleAcrossTwoDecadesAndCtrlClickBack)
{
    // Idle handle at x 181..220 (zoom 1.00x).
    EXPECT_TRUE(shows(183, kHandleRow, 255, 255, 255));
    pointerTo(201, kBarY);
    button(true);
    EXPECT_TRUE(shows(184, kHandleRow, 255, 255, 0)) << "dragged handle";
    pointerTo(120, kBarY);  // 0.10x: handle at 101
    EXPECT_TRUE(shows(103, kHandleRow, 255, 255, 0));
    pointerTo(299, kBarY);  // 10.00x: handle at 260..299
    EXPECT_TRUE(shows(262, kHandleRow, 255, 255, 0));
    EXPECT_TRUE(isColour(grab(), 103, kHandleRow, 60, 60, 60));
    button(false);
    EXPECT_TRUE(shows(262, kHandleRow, 255, 255, 255)) << "idle colour after release";

    key(XK_Control_L, true);
    pointerTo(150, kBarY);
    button(true);
    button(false);
    key(XK_Control_L, false);
    EXPECT_TRUE(shows(183, kHandleRow, 255, 255, 255)) << "back at 1.00x";
    EXPECT_TRUE(isColour(grab(), 262, kHandleRow, 60, 60, 60));
    editor->close();  // the UI thread has ended: its state may be read
    EXPECT_STREQ(zoom->getZoomText(), "1.00x");
    EXPECT_TRUE(HostLog::snapshot().empty()) << "the zoom is no parameter";
}

TEST_F(SkinEditorTest, ShiftClickOnThePeakRunsItsCommand)
{
    pointerTo(150, 30);
    key(XK_Shift_L, true);
    button(true);
    button(false);
    key(XK_Shift_L, false);
    std::vector<testeffect::CommandCall> commands;
    ASSERT_TRUE(waitFor([&] {
        for (const auto& call : effect->takeCommands())
            commands.push_back(call);
        return !commands.empty();
    }));
    EXPECT_EQ(commands, (std::vector<testeffect::CommandCall>{{testeffect::kClear, true, false}}));
}

TEST_F(SkinEditorTest, HistoryScrollsWhileTheAudioThreadFillsIt)
{
    effect->setSampleRate(48000);
    effect->setBlockSize(64);
    effect->resume();
    std::atomic<bool> running{true};
    std::thread audio([&] {
        float left[64], right[64], outLeft[64], outRight[64];
        float* in[2] = {left, right};
        float* out[2] = {outLeft, outRight};
        for (long frame = 0; running.load(); frame += 64) {
            for (int i = 0; i < 64; ++i) {
                left[i] = 0.8f * std::sin(0.002f * float(frame + i));
                right[i] = 0.3f * std::sin(0.013f * float(frame + i));
            }
            effect->processReplacing(in, out, 64);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    const Zorv::GRect plot = {100, 60, 200, 100};
    Pixels before = grab();
    int changes = 0;
    for (int i = 0; i < 8; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        editor->idle();
        const Pixels now = grab();
        changes += mismatches(now, before, plot) > 0;
        before = now;
    }
    running = false;
    audio.join();
    EXPECT_GE(changes, 6) << "the picture moves with the columns";
    EXPECT_GT(effect->getHistory().columnCount(), 100);
    editor->close();
    EXPECT_TRUE(editor->open(reinterpret_cast<void*>(parent))) << "and opens again";
}

}  // namespace
}  // namespace windowtest
