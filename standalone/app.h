// GStandalone: Quelt as a JACK application. The main thread builds it, runs
// it and tears it down: it opens the JACK client and its ports, loads the
// settings, applies the command line, connects what it was told to, shows
// the editor in a top-level window of its own (unless headless), and then
// loops: the editor's edits delivered to it (they mark the settings dirty),
// the settings saved a second after the last change, signals, a closed
// window or a server gone ending the loop; the settings saved on the way out.
// JACK's process thread calls only process: the gate on the port buffers,
// no lock, allocation, system call or formatting; a sample-rate change from
// JACK's other thread waits in an atomic for the next process call. The
// gate's scratch is laid out once, on the main thread, for a period larger
// than JACK's usual ones; a longer period runs in pieces, so a period change
// needs nothing.
// Owns the gate, its editor, the JACK client and the window's connection.
#pragma once

#include "effect/editqueue.h"
#include "standalone/options.h"

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class AudioEffect;
typedef struct _XDisplay Display;

namespace Zorv {
class GEditor;
class Quelt;
}  // namespace Zorv

namespace Zorv::Standalone {

// Exit statuses.
constexpr int kExitOk = 0, kExitJack = 1, kExitUsage = 2;

class GStandalone : private GEditSink {
public:
    explicit GStandalone(GOptions options);
    ~GStandalone() override;
    GStandalone(const GStandalone&) = delete;
    GStandalone& operator=(const GStandalone&) = delete;

    int run();  // the exit status; messages on stderr, the start line on stdout

    static void requestQuit();  // from a signal handler: async-signal-safe

private:
    bool buildGate();
    bool openClient();
    void loadSettings();
    bool applyOptions();  // false: a value the gate refused (reported)
    void connectPorts();
    void printStartLine();
    bool openWindow();
    void closeWindow();
    bool windowClosed();  // the window manager asked us to close
    void saveSettings();
    void loop();

    static int processCallback(jack_nframes_t frames, void* self);
    static int rateCallback(jack_nframes_t rate, void* self);
    static void shutdownCallback(void* self);

    // GEditSink, on the main thread: any edit makes the settings dirty.
    void beginEdit(int index) override;
    void automate(int index, float normalised) override;
    void endEdit(int index) override;
    void markDirty();

    GOptions options;
    std::string statePath;  // empty: no settings kept
    int channels;
    std::unique_ptr<AudioEffect> effect;
    Quelt* gate = nullptr;
    GEditor* editor = nullptr;
    jack_client_t* client = nullptr;
    jack_port_t* inputs[2] = {};
    jack_port_t* outputs[2] = {};
    std::atomic<uint32_t> pendingRate{0};
    uint32_t rate = 0;  // process thread only, after start
    std::atomic<bool> serverGone{false};
    Display* display = nullptr;
    unsigned long window = 0;
    unsigned long deleteAtom = 0;
    bool dirty = false;
    uint64_t dirtySinceMs = 0;
};

}  // namespace Zorv::Standalone
