// GClapGate: the CLAP adapter over one Quelt of its own, with its editor.
// The host's main thread creates it and calls init, activate, deactivate, the
// parameter queries and texts, state, gui and onMainThread; the audio thread
// calls startProcessing, stopProcessing, reset and process; flush comes from
// the audio thread while active, else from the main thread, never beside
// process. Parameters are in natural units (Thresh dB, Attack ms, Fade s)
// under ids that never change, plus a bypass parameter driving the gate's
// soft bypass. A parameter event inside a block takes effect at its sample:
// the block runs in pieces split at the events.
// The editor's gestures wait in the gate's edit queue; process and flush
// drain them into their output events (gesture begin, value, gesture end).
// When the editor queues one it asks the host for a flush and a main-thread
// callback (once until the next drain), where the state is marked dirty; nothing else calls the host
// from another thread than the one the CLAP headers allow.
// process and flush lock nothing, allocate nothing and make no system call.
// Owns the gate and, through it, the editor; borrows the host.
#pragma once

#include "effect/editqueue.h"

#include <clap/events.h>
#include <clap/ext/audio-ports.h>
#include <clap/ext/gui.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/plugin.h>
#include <clap/process.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

class AudioEffect;
struct AEffect;

namespace Zorv {
class GEditor;
class Quelt;
}  // namespace Zorv

namespace Zorv::Clap {

constexpr clap_id kBypassId = 100;  // the ids of the gate's parameters are 1, 2, 3

class GClapGate : private GEditSink {
public:
    // Null when the gate could not be built or channels is not 1 or 2. The
    // record is `shape` (descriptor and functions) pointing at the new gate.
    static GClapGate* create(const clap_host_t* host, const clap_plugin_t& shape, int channels);
    ~GClapGate() override;  // the editor closed first
    GClapGate(const GClapGate&) = delete;
    GClapGate& operator=(const GClapGate&) = delete;

    const clap_plugin_t* record() const { return &plugin; }
    static GClapGate* from(const clap_plugin_t* plugin);  // null for a record not ours

    // Lifecycle.
    bool init();  // the host's extensions looked up
    bool activate(double rate, uint32_t maxFrames);  // false for a rate the gate cannot run at
    void deactivate();
    void reset();
    void onMainThread();  // the state marked dirty after an editor edit

    // Audio.
    clap_process_status process(const clap_process_t* process);
    uint32_t portCount() const { return 1; }
    bool portInfo(uint32_t index, clap_audio_port_info_t* info) const;

    // Parameters.
    uint32_t paramCount() const;
    bool paramInfo(uint32_t index, clap_param_info_t* info) const;
    bool paramValue(clap_id id, double* value) const;
    bool valueToText(clap_id id, double value, char* text, uint32_t size) const;
    bool textToValue(clap_id id, const char* text, double* value) const;
    void flush(const clap_input_events_t* in, const clap_output_events_t* out);

    // State: the bank, the same bytes as the VST 2.4 bank chunk.
    bool save(const clap_ostream_t* stream);
    bool load(const clap_istream_t* stream);  // false, nothing changed, for bytes it cannot read

    // Editor: an X11 child of the host's window, fixed size.
    bool guiCreate();
    void guiDestroy();
    bool guiSetScale(double scale);
    bool guiGetSize(uint32_t* width, uint32_t* height);
    bool guiSetParent(const clap_window_t* window);
    bool guiShow();
    bool guiHide();

private:
    GClapGate(const clap_host_t* host, const clap_plugin_t& shape, int channels);
    bool build();
    static intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt);
    void applyEvent(const clap_event_header_t* event);
    void runAudio(const clap_process_t* process, uint32_t from, uint32_t to);
    void deliverEdits(const clap_output_events_t* out);
    bool openEditor();
    void pushGesture(uint16_t type, int index);

    // GEditSink: on the thread draining into `out`.
    void beginEdit(int index) override;
    void automate(int index, float normalised) override;
    void endEdit(int index) override;
    bool stopped() override;
    void editsWaiting() override;  // editor's thread, or the one closing it

    clap_plugin_t plugin;
    const clap_host_t* host;
    const clap_host_params_t* hostParams = nullptr;
    const clap_host_state_t* hostState = nullptr;
    const clap_host_gui_t* hostGui = nullptr;
    int channels;
    std::unique_ptr<AudioEffect> effect;
    Quelt* gate = nullptr;
    GEditor* editor = nullptr;
    bool guiCreated = false;
    uintptr_t parentWindow = 0;
    const clap_output_events_t* drainOut = nullptr;           // during a drain
    std::atomic<std::thread::id> drainer{};                   // the thread draining now
    std::atomic<bool> dirty{false};                           // an edit not yet marked
    std::atomic<bool> flushAsked{false};                      // requested, not drained since
};

}  // namespace Zorv::Clap
