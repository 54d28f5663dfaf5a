// The editor under Mesa's software renderer on a private Xvfb:
// - the UI thread's CPU use over 5 s with the default editor open: idle,
//   with the level bar moving on every refresh (a long fade after each
//   burst, audio processed in real time), and during a continuous knob drag;
// - the cost of one draw pass into the frame buffer with one changed knob,
//   with the meter changed, and of a full repaint;
// - the time from effEditOpen to the first complete frame on the screen;
// - the delay from a knob drag's motion event to the host's audioMasterAutomate
//   when the host idles every 15 ms and every 50 ms (argument: the period);
// - for a 300-column wave display over the test effect's history: one draw
//   pass with one new column, and the UI thread's CPU use while the history
//   scrolls at 30 columns per second.
// CPU use is the process's CPU time minus the audio and benchmark threads'
// own, as a share of one core ("ui_cpu_%" counter). The default editor's
// benchmarks run at scales 1 and 2 (argument: scale x 100).
#include "controls/canvas.h"
#include "editor/builder.h"
#include "editor/editor.h"
#include "editor/skin.h"
#include "editor/window.h"
#include "gate/quelt.h"
#include "tests/editor/glsession.h"
#include "tests/testeffect/testeffect.h"
#include "tests/text/memory_reader.h"
#include "xp/tokenreader.h"

#include <X11/extensions/XTest.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace {

constexpr int kW = 330, kH = 195;
constexpr int kRate = 48000;
constexpr int kBlock = 480;  // 10 ms
constexpr double kMeasureSeconds = 5.0;

double scaleOf(const benchmark::State& state)
{
    return double(state.range(0)) / 100.0;
}

// A skin position as a position in the editor window at the scale.
int dev(int v, double scale)
{
    return Zorv::toDevice(v, scale);
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

Zorv::GEditor* defaultEditor(Zorv::Quelt* effect)
{
    Zorv::GEditorSkinBuilder builder(effect);
    Zorv::GEditor* editor = builder.createEditor("QueltSkin.txt");
    effect->setEditor(editor);
    return editor;
}

// A real-time audio thread: 100 ms bursts every 1.2 s.
class AudioLoop {
public:
    AudioLoop(Zorv::GEffect* effect, bool bursts) : effect(effect), bursts(bursts)
    {
        effect->setSampleRate(float(kRate));
        effect->setBlockSize(kBlock);
        effect->resume();
        worker = std::thread([this] { run(); });
    }
    ~AudioLoop()
    {
        running = false;
        worker.join();
    }
    double cpuSeconds() const { return cpu.load(); }

private:
    void run()
    {
        float in[2][kBlock], out[2][kBlock];
        float* ins[2] = {in[0], in[1]};
        float* outs[2] = {out[0], out[1]};
        auto next = std::chrono::steady_clock::now();
        for (long frame = 0; running.load(); frame += kBlock) {
            for (int i = 0; i < kBlock; ++i) {
                const bool loud = bursts && (frame + i) % (kRate * 12 / 10) < kRate / 10;
                in[0][i] = in[1][i] = loud ? 0.5f * std::sin(0.03f * float(frame + i)) : 0.0f;
            }
            effect->processReplacing(ins, outs, kBlock);
            cpu.store(threadCpuSeconds());
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
        }
    }

    Zorv::GEffect* effect;
    bool bursts;
    std::atomic<bool> running{true};
    std::atomic<double> cpu{0};
    std::thread worker;
};

// The default editor open in a parent window on a private server.
struct OpenEditor {
    explicit OpenEditor(double scale, audioMasterCallback host = nullptr) : scale(scale), effect(host)
    {
        Zorv::prepareMesa();
        setenv("DISPLAY", server.name().c_str(), 1);
        display = XOpenDisplay(nullptr);
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, dev(kW, scale),
                                     dev(kH, scale), 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        editor = defaultEditor(&effect);
        if (editor) {
            editor->setScale(scale);
            editor->open(reinterpret_cast<void*>(parent));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ~OpenEditor()
    {
        effect.setEditor(nullptr);
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
        unsetenv("DISPLAY");
    }

    double scale;
    Zorv::XvfbServer server;
    Display* display = nullptr;
    Window parent = 0;
    Zorv::Quelt effect;
    Zorv::GEditor* editor = nullptr;
};

// Runs idle() every 20 ms as a host would and reports the UI thread's share.
void measureUiShare(benchmark::State& state, Zorv::GEditor* editor, const AudioLoop* audio,
                    const std::function<void(int)>& step)
{
    if (!editor || !editor->getWindow()->getWindow()) {
        state.SkipWithError("the editor did not open");
        return;
    }
    for (auto _ : state) {
        const double audioStart = audio ? audio->cpuSeconds() : 0;
        const double mainStart = threadCpuSeconds();
        const double start = processCpuSeconds();
        const auto begin = std::chrono::steady_clock::now();
        for (int tick = 0; std::chrono::steady_clock::now() - begin <
                           std::chrono::duration<double>(kMeasureSeconds);
             ++tick) {
            if (step)
                step(tick);
            editor->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const double others = (threadCpuSeconds() - mainStart) +
                              (audio ? audio->cpuSeconds() - audioStart : 0);
        state.counters["ui_cpu_%"] = 100.0 * (processCpuSeconds() - start - others) /
                                     kMeasureSeconds;
    }
}

void measureUiCpu(benchmark::State& state, OpenEditor& open, const AudioLoop* audio,
                  void (*step)(OpenEditor&, int))
{
    std::function<void(int)> each;
    if (step)
        each = [&](int tick) { step(open, tick); };
    measureUiShare(state, open.editor, audio, each);
}

void BM_UiThreadIdle(benchmark::State& state)
{
    OpenEditor open(scaleOf(state));
    measureUiCpu(state, open, nullptr, nullptr);
}

void BM_UiThreadMeterMoving(benchmark::State& state)
{
    OpenEditor open(scaleOf(state));
    open.effect.setParameter(Zorv::kFade, 1.0f);  // faded out over 1 s
    AudioLoop audio(&open.effect, true);
    measureUiCpu(state, open, &audio, nullptr);
}

// Drags the "Thresh" knob up and down without pause, 4 px per 20 ms.
void dragKnob(OpenEditor& open, int tick)
{
    const double s = open.scale;
    if (tick == 0) {
        XTestFakeMotionEvent(open.display, -1, dev(80, s), dev(125, s), CurrentTime);
        XTestFakeButtonEvent(open.display, 1, True, CurrentTime);
    }
    const int phase = tick % 40;
    XTestFakeMotionEvent(open.display, -1, dev(80, s),
                         dev(125 + (phase < 20 ? -phase : phase - 40) * 4, s), CurrentTime);
    XFlush(open.display);
}

void BM_UiThreadKnobDrag(benchmark::State& state)
{
    OpenEditor open(scaleOf(state));
    measureUiCpu(state, open, nullptr, dragKnob);
    XTestFakeButtonEvent(open.display, 1, False, CurrentTime);
    XSync(open.display, False);
}

// When the host last heard audioMasterAutomate, on the steady clock.
std::atomic<int64_t> automatedAtNs{0};

int64_t steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

intptr_t timingHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == audioMasterAutomate)
        automatedAtNs.store(steadyNs());
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// One knob motion at a time, at a random phase of the host's idle period; the
// mean milliseconds until its value reaches the host ("delay_ms").
void BM_DragToAutomate(benchmark::State& state)
{
    const auto period = std::chrono::milliseconds(state.range(0));
    OpenEditor open(1.0, timingHost);
    Display* d = open.display;
    XTestFakeMotionEvent(d, -1, 80, 125, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XFlush(d);
    std::srand(1);
    double total = 0;
    int moves = 0;
    auto nextIdle = std::chrono::steady_clock::now();
    for (auto _ : state) {
        // The idle keeps its own beat; the motion comes somewhere between two.
        std::this_thread::sleep_until(nextIdle - period + std::chrono::microseconds(
                                                             std::rand() % (state.range(0) * 1000)));
        const int64_t sent = steadyNs();
        XTestFakeMotionEvent(d, -1, 80, 125 - 1 - moves % 40, CurrentTime);
        XFlush(d);
        while (automatedAtNs.load() < sent) {
            std::this_thread::sleep_until(nextIdle);
            open.editor->idle();
            nextIdle += period;
        }
        total += double(automatedAtNs.load() - sent) * 1e-6;
        ++moves;
    }
    state.counters["delay_ms"] = total / moves;
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
}

// Milliseconds from effEditOpen until the window shows the first frame: the
// knob under (80, 125), white on the artwork, replaces the black beneath.
void BM_OpenToFirstFrame(benchmark::State& state)
{
    const double scale = scaleOf(state);
    Zorv::prepareMesa();
    Zorv::XvfbServer server;
    setenv("DISPLAY", server.name().c_str(), 1);
    Display* display = XOpenDisplay(nullptr);
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0,
                                              dev(kW, scale), dev(kH, scale), 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    Zorv::Quelt effect(nullptr);
    Zorv::GEditor* editor = defaultEditor(&effect);
    editor->setScale(scale);
    double totalMs = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        editor->open(reinterpret_cast<void*>(parent));
        for (;;) {
            const Window window = Window(editor->getWindow()->getWindow());
            XImage* image = window ? XGetImage(display, window, dev(80, scale), dev(125, scale), 1,
                                               1, AllPlanes, ZPixmap)
                                   : nullptr;
            const unsigned long pixel = image ? XGetPixel(image, 0, 0) : 0;
            if (image)
                XDestroyImage(image);
            if ((pixel & 0xff) > 0x80 ||
                std::chrono::steady_clock::now() - begin > std::chrono::seconds(5))
                break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(took.count() / 1000.0);
        totalMs += took.count();
        editor->close();
    }
    state.counters["first_frame_ms"] = totalMs / double(state.iterations());
    effect.setEditor(nullptr);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
    unsetenv("DISPLAY");
}

// The default skin attached to an off-screen GL session's canvas.
struct DrawingSkin {
    explicit DrawingSkin(double scale)
        : session(dev(kW, scale), dev(kH, scale)), editor(defaultEditor(&effect))
    {
        if (ready()) {
            canvas = std::make_unique<Zorv::GCanvas>(session.context(), kW, kH, scale);
            editor->getSkin()->attachCanvas(canvas.get());
            pass();
        }
    }
    ~DrawingSkin()
    {
        if (canvas)
            editor->getSkin()->detachCanvas(canvas.get());
        effect.setEditor(nullptr);  // before the session's server goes
    }
    bool ready() const { return session.failure().empty() && editor; }
    void pass()
    {
        editor->getSkin()->drawPass(canvas.get());
        glFinish();
    }

    Zorv::Quelt effect{nullptr};
    Zorv::GlSession session;
    Zorv::GEditor* editor;
    std::unique_ptr<Zorv::GCanvas> canvas;
};

void BM_DrawPassOneKnob(benchmark::State& state)
{
    DrawingSkin skin(scaleOf(state));
    if (!skin.ready())
        return state.SkipWithError("no GL session or editor");
    int step = 0;
    for (auto _ : state) {
        skin.effect.setParameter(Zorv::kThresh, float(step++ % 100) / 100.0f);
        skin.pass();
    }
}

void BM_DrawPassMeter(benchmark::State& state)
{
    DrawingSkin skin(scaleOf(state));
    if (!skin.ready())
        return state.SkipWithError("no GL session or editor");
    skin.effect.setSampleRate(float(kRate));
    skin.effect.setBlockSize(kBlock);
    skin.effect.resume();
    float loud[kBlock], quiet[kBlock], out[2][kBlock];
    for (int i = 0; i < kBlock; ++i) {
        loud[i] = 0.5f * std::sin(0.03f * float(i));
        quiet[i] = 0;
    }
    float* outs[2] = {out[0], out[1]};
    bool opening = true;
    for (auto _ : state) {
        state.PauseTiming();
        // Open fully, then fade to closed, again and again: the bar keeps moving.
        const double before = skin.effect.getGain();
        while (std::fabs(skin.effect.getGain() - before) < 0.01) {
            if (skin.effect.getGain() >= 1.0)
                opening = false;
            else if (skin.effect.getGain() <= 0.0)
                opening = true;
            float* in = opening ? loud : quiet;
            float* ins[2] = {in, in};
            skin.effect.processReplacing(ins, outs, 16);
        }
        state.ResumeTiming();
        skin.pass();
    }
}

void BM_DrawPassFullRepaint(benchmark::State& state)
{
    DrawingSkin skin(scaleOf(state));
    if (!skin.ready())
        return state.SkipWithError("no GL session or editor");
    for (auto _ : state) {
        skin.editor->getSkin()->invalidateAll();
        skin.pass();
    }
}

// A 300 x 150 wave display over the test effect's history: 300 columns of
// 1600 samples, 30 columns per second at 48 kHz.
constexpr int kWaveColumns = 300;
constexpr int kSamplesPerColumn = kRate / 30;
const char kWaveSkin[] =
    "AddResource bg PngResource \"Quelt.png\" 330 195 2\n"
    "AddResource a RGBColour 95 210 135\n"
    "AddResource b RGBColour 90 140 230\n"
    "AddResource line RGBAColour 255 255 255 90\n"
    "Init 330 195 1\n"
    "RefreshThrottleMs 30\n"
    "BackgroundMap bg\n"
    "AddControl 1 15 25 300 150 GWave Wave Level Null a b line\n";

Zorv::GEditor* waveEditor(testeffect::TestEffect* effect)
{
    MemoryReader source(kWaveSkin);
    XP::TokenReader tokens(&source);
    Zorv::GEditorSkinBuilder builder(effect);
    Zorv::GEditorSkin* skin = builder.buildSkin(tokens);
    Zorv::GEditor* editor = skin ? new Zorv::GEditor(effect, skin) : nullptr;
    effect->setEditor(editor);
    return editor;
}

void fillHistory(Zorv::GHistory& history)
{
    for (int i = 0; i < kWaveColumns; ++i) {
        const double v = 0.8 * std::sin(0.05 * i);
        history.write({v - 0.1, v + 0.1, -v - 0.05, -v + 0.05});
    }
}

void BM_DrawPassWaveColumn(benchmark::State& state)
{
    testeffect::TestEffect effect(nullptr, kWaveColumns, kSamplesPerColumn);
    Zorv::GlSession session(kW, kH);
    Zorv::GEditor* editor = waveEditor(&effect);
    if (!session.failure().empty() || !editor)
        return state.SkipWithError("no GL session or editor");
    fillHistory(effect.getHistory());
    Zorv::GCanvas canvas(session.context(), kW, kH);
    editor->getSkin()->attachCanvas(&canvas);
    editor->getSkin()->drawPass(&canvas);
    int column = 0;
    for (auto _ : state) {
        const double v = 0.8 * std::sin(0.05 * column++);
        effect.getHistory().write({v - 0.1, v + 0.1, -v - 0.05, -v + 0.05});
        editor->getSkin()->drawPass(&canvas);
        glFinish();
    }
    editor->getSkin()->detachCanvas(&canvas);
    effect.setEditor(nullptr);  // before the session's server goes
}

// The wave editor open in a parent window on a private server.
struct OpenWaveEditor {
    OpenWaveEditor()
    {
        Zorv::prepareMesa();
        setenv("DISPLAY", server.name().c_str(), 1);
        display = XOpenDisplay(nullptr);
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        fillHistory(effect.getHistory());
        editor = waveEditor(&effect);
        if (editor)
            editor->open(reinterpret_cast<void*>(parent));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ~OpenWaveEditor()
    {
        effect.setEditor(nullptr);
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
        unsetenv("DISPLAY");
    }

    Zorv::XvfbServer server;
    Display* display = nullptr;
    Window parent = 0;
    testeffect::TestEffect effect{nullptr, kWaveColumns, kSamplesPerColumn};
    Zorv::GEditor* editor = nullptr;
};

void BM_UiThreadHistoryScroll(benchmark::State& state)
{
    OpenWaveEditor open;
    AudioLoop audio(&open.effect, true);
    const int before = open.effect.getHistory().columnCount();
    measureUiShare(state, open.editor, &audio, nullptr);
    state.counters["columns_per_s"] =
        (open.effect.getHistory().columnCount() - before) / kMeasureSeconds;
}

}  // namespace

BENCHMARK(BM_UiThreadIdle)->Arg(100)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UiThreadMeterMoving)->Arg(100)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UiThreadKnobDrag)->Arg(100)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstFrame)->Arg(100)->Arg(200)->Iterations(10)->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragToAutomate)->Arg(15)->Arg(50)->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPassOneKnob)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPassMeter)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPassFullRepaint)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UiThreadHistoryScroll)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPassWaveColumn)->Unit(benchmark::kMicrosecond);
