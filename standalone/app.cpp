#include "standalone/app.h"

#include "editor/editor.h"
#include "effect/channels.h"
#include "gate/quelt.h"
#include "standalone/settings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace Zorv::Standalone {

namespace {

std::atomic<bool> quitRequested{false};

// Scratch laid out for periods up to this long; longer ones run in pieces.
constexpr int kScratchFrames = 8192;
// How often the main loop looks around, and how long after the last change it saves.
constexpr auto kLoopPeriod = std::chrono::milliseconds(20);
constexpr uint64_t kSaveDelayMs = 500;

const char* const kPortNames[2][2][2] = {
    {{"in", ""}, {"out", ""}},               // mono
    {{"in_1", "in_2"}, {"out_1", "out_2"}},  // stereo
};

uint64_t nowMs()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Quiet JACK: its own messages would interleave with ours on stderr.
void ignoreJackMessage(const char*) {}

}  // namespace

GStandalone::GStandalone(GOptions given) : options(std::move(given)), channels(options.mono ? 1 : 2)
{
    if (!options.noState)
        statePath = options.stateFile.empty() ? defaultStateFile() : options.stateFile;
}

GStandalone::~GStandalone()
{
    closeWindow();
    if (client)
        jack_client_close(client);
    effect.reset();
}

void GStandalone::requestQuit()
{
    quitRequested.store(true);
}

bool GStandalone::buildGate()
{
    effect.reset(createEffectInstance(nullptr));
    gate = dynamic_cast<Quelt*>(effect.get());
    if (!gate)
        return false;
    gate->setEditSink(this);
    editor = dynamic_cast<GEditor*>(gate->getEditor());
    return useChannels(*gate, channels);
}

bool GStandalone::openClient()
{
    jack_set_error_function(ignoreJackMessage);
    jack_set_info_function(ignoreJackMessage);
    jack_status_t status{};
    client = jack_client_open(options.name.c_str(), JackNoStartServer, &status);
    if (!client) {
        fprintf(stderr, "quelt: cannot reach a JACK server (is one running?)\n");
        return false;
    }
    const int stereo = channels == 2 ? 1 : 0;
    for (int c = 0; c < channels; ++c) {
        inputs[c] = jack_port_register(client, kPortNames[stereo][0][c], JACK_DEFAULT_AUDIO_TYPE,
                                       JackPortIsInput, 0);
        outputs[c] = jack_port_register(client, kPortNames[stereo][1][c], JACK_DEFAULT_AUDIO_TYPE,
                                        JackPortIsOutput, 0);
        if (!inputs[c] || !outputs[c]) {
            fprintf(stderr, "quelt: cannot register the JACK ports\n");
            return false;
        }
    }
    rate = jack_get_sample_rate(client);
    if (!Quelt::isSampleRate(rate)) {
        fprintf(stderr, "quelt: the JACK server runs at a rate the gate cannot: %u Hz\n", rate);
        return false;
    }
    gate->setSampleRate(float(rate));
    gate->setBlockSize(std::max<int>(kScratchFrames, int(jack_get_buffer_size(client))));
    gate->resume();
    jack_set_process_callback(client, processCallback, this);
    jack_set_sample_rate_callback(client, rateCallback, this);
    jack_on_shutdown(client, shutdownCallback, this);
    return true;
}

void GStandalone::loadSettings()
{
    if (statePath.empty())
        return;
    std::vector<uint8_t> bytes;
    const LoadResult result = readSettings(statePath, bytes);
    if (result == LoadResult::kMissing)
        return;
    bool readable = result == LoadResult::kLoaded;
    if (readable) {
        GEffect::BankLock hold = gate->lockBank();
        readable = gate->getBank().isBank(bytes.data(), bytes.size());
    }
    if (readable) {
        gate->setChunk(bytes.data(), int32_t(bytes.size()), false);
        return;
    }
    const bool kept = keepBadSettings(statePath);
    fprintf(stderr, "quelt: warning: cannot read the settings in %s; %s, starting from the factory settings\n",
            statePath.c_str(), kept ? ("kept as " + statePath + ".bad").c_str() : "left as they are");
}

bool GStandalone::applyOptions()
{
    if (options.program >= 0) {
        gate->setProgram(options.program);
        markDirty();
    }
    for (const auto& [name, value] : options.params) {
        int index = -1;
        for (int i = 0; i < kNumQueltParameters; ++i)
            if (strcasecmp(gate->getBank().parameter(i)->getName(), name.c_str()) == 0)
                index = i;
        if (index < 0)
            return false;
        gate->writeParameter(index, gate->getBank().parameter(index)->toNormalised(value));
        markDirty();
    }
    return true;
}

void GStandalone::connectPorts()
{
    for (size_t k = 0; k < options.connectIn.size() && k < size_t(channels); ++k)
        if (jack_connect(client, options.connectIn[k].c_str(), jack_port_name(inputs[k])) != 0)
            fprintf(stderr, "quelt: warning: cannot connect %s to %s\n", options.connectIn[k].c_str(),
                    jack_port_name(inputs[k]));
    for (size_t k = 0; k < options.connectOut.size() && k < size_t(channels); ++k)
        if (jack_connect(client, jack_port_name(outputs[k]), options.connectOut[k].c_str()) != 0)
            fprintf(stderr, "quelt: warning: cannot connect %s to %s\n", jack_port_name(outputs[k]),
                    options.connectOut[k].c_str());
}

void GStandalone::printStartLine()
{
    char texts[kNumQueltParameters][kVstMaxParamStrLen + 1] = {};
    for (int i = 0; i < kNumQueltParameters; ++i)
        gate->getParameterDisplay(i, texts[i]);
    printf("Quelt: client '%s' at %u Hz, %u frames; Thresh %s dB, Attack %s ms, Fade %s s\n",
           jack_get_client_name(client), jack_get_sample_rate(client), jack_get_buffer_size(client),
           texts[kThresh], texts[kAttack], texts[kFade]);
    fflush(stdout);
}

bool GStandalone::openWindow()
{
    ERect* rect = nullptr;
    if (!editor || !editor->getRect(&rect) || !rect)
        return false;
    display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const unsigned width = unsigned(rect->right - rect->left), height = unsigned(rect->bottom - rect->top);
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0);
    XStoreName(display, window, options.name.c_str());
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(options.name.c_str()), int(options.name.size()));
    XClassHint classHint{const_cast<char*>("quelt"), const_cast<char*>("Quelt")};
    XSetClassHint(display, window, &classHint);
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = int(width);
    hints.min_height = hints.max_height = int(height);
    XSetWMNormalHints(display, window, &hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    deleteAtom = deleteWindow;
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XMapWindow(display, window);
    XSync(display, False);
    return editor->open(reinterpret_cast<void*>(window));
}

void GStandalone::closeWindow()
{
    if (editor)
        editor->close();
    if (display) {
        if (window)
            XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    display = nullptr;
    window = 0;
}

bool GStandalone::windowClosed()
{
    bool closed = false;
    while (display && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        closed |= event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteAtom;
    }
    return closed;
}

void GStandalone::saveSettings()
{
    dirty = false;
    if (statePath.empty())
        return;
    void* data = nullptr;
    const int32_t size = gate->getChunk(&data, false);
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (size <= 0 || !writeSettings(statePath, std::vector<uint8_t>(bytes, bytes + size)))
        fprintf(stderr, "quelt: warning: cannot save the settings to %s\n", statePath.c_str());
}

void GStandalone::markDirty()
{
    dirty = true;
    dirtySinceMs = nowMs();
}

void GStandalone::beginEdit(int)
{
    markDirty();
}

void GStandalone::automate(int, float)
{
    markDirty();
}

void GStandalone::endEdit(int)
{
    markDirty();
}

int GStandalone::processCallback(jack_nframes_t frames, void* self)
{
    auto* app = static_cast<GStandalone*>(self);
    const uint32_t changed = app->pendingRate.exchange(0);
    if (changed && changed != app->rate) {
        app->rate = changed;
        app->gate->setSampleRate(float(changed));
    }
    float* in[2] = {};
    float* out[2] = {};
    for (int c = 0; c < app->channels; ++c) {
        in[c] = static_cast<float*>(jack_port_get_buffer(app->inputs[c], frames));
        out[c] = static_cast<float*>(jack_port_get_buffer(app->outputs[c], frames));
    }
    app->gate->processReplacing(in, out, int32_t(frames));
    return 0;
}

int GStandalone::rateCallback(jack_nframes_t rate, void* self)
{
    if (!Quelt::isSampleRate(rate))
        return 1;
    static_cast<GStandalone*>(self)->pendingRate.store(rate);
    return 0;
}

void GStandalone::shutdownCallback(void* self)
{
    static_cast<GStandalone*>(self)->serverGone.store(true);
}

void GStandalone::loop()
{
    while (!quitRequested.load() && !serverGone.load()) {
        if (editor && editor->isOpen()) {
            editor->idle();
            if (windowClosed())
                break;
        }
        if (dirty && nowMs() - dirtySinceMs >= kSaveDelayMs)
            saveSettings();
        std::this_thread::sleep_for(kLoopPeriod);
    }
}

int GStandalone::run()
{
    if (!buildGate()) {
        fprintf(stderr, "quelt: cannot build the gate\n");
        return kExitJack;
    }
    loadSettings();
    if (!applyOptions())
        return kExitUsage;
    if (!openClient())
        return kExitJack;
    if (jack_activate(client) != 0) {
        fprintf(stderr, "quelt: cannot activate the JACK client\n");
        return kExitJack;
    }
    connectPorts();
    printStartLine();
    if (!options.headless && !openWindow()) {
        fprintf(stderr, "quelt: warning: no window (no X display or no GL); running without one\n");
        closeWindow();
    }
    loop();
    const bool gone = serverGone.load();
    if (!gone)
        jack_deactivate(client);
    closeWindow();
    saveSettings();
    if (gone) {
        fprintf(stderr, "quelt: the JACK server shut down; settings saved\n");
        return kExitJack;
    }
    return kExitOk;
}

}  // namespace Zorv::Standalone
