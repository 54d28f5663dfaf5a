// A CLAP host of the tests' own: loads Quelt.clap with dlopen, creates one
// plug-in, and offers what a host's main and audio threads do: parameters
// and texts, processing with parameter events at sample offsets, flush,
// state through memory streams, the editor in a parent window. It records
// each host function the plug-in calls with the calling thread, and the
// output events of process and flush.
// Test thread only, apart from the recorded host functions (any thread).
#pragma once

#include <clap/entry.h>
#include <clap/events.h>
#include <clap/ext/audio-ports.h>
#include <clap/ext/gui.h>
#include <clap/ext/latency.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/plugin-factory.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace claptest {

// A parameter change at a frame of the block.
struct Change {
    uint32_t frame;
    clap_id id;
    double value;
};

// An output event as the host got it.
struct OutEvent {
    uint16_t type;
    clap_id id;
    double value;  // PARAM_VALUE only
};

// A host function the plug-in called, and on which thread.
struct HostCall {
    std::string name;
    std::thread::id thread;
};

class ClapHost {
public:
    explicit ClapHost(const std::string& path);  // loads the file and inits its entry
    ~ClapHost();                                 // destroys the plug-in, deinits, unloads
    ClapHost(const ClapHost&) = delete;
    ClapHost& operator=(const ClapHost&) = delete;

    const clap_plugin_entry_t* entry() const { return entryPoint; }
    const clap_plugin_factory_t* factory() const { return pluginFactory; }
    bool create(const char* id);  // init'ed; its extensions looked up
    bool activate(double rate, uint32_t maxFrames);
    void destroy();

    const clap_plugin_t* plugin() const { return instance; }
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_state_t* state = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
    const clap_plugin_audio_ports_t* ports = nullptr;
    const clap_plugin_latency_t* latency = nullptr;

    double value(clap_id id);
    std::string text(clap_id id, double value);
    // One block, in place when in == out; changes sorted by frame.
    clap_process_status process(float** in, float** out, int channels, uint32_t frames,
                                 const std::vector<Change>& changes = {});
    clap_process_status process(double** in, double** out, int channels, uint32_t frames,
                                const std::vector<Change>& changes = {});
    void flush(const std::vector<Change>& changes = {});
    bool save(std::vector<uint8_t>& bytes);
    bool load(const std::vector<uint8_t>& bytes);

    std::vector<OutEvent> takeOutEvents();  // since the last take
    std::vector<HostCall> calls();          // every host call so far
    int flushRequests() const { return requestedFlushes.load(); }
    int callbackRequests() const { return requestedCallbacks.load(); }
    void runMainThreadCallback();           // on_main_thread, as the host's main loop would
    std::thread::id mainThread() const { return main; }

private:
    template <typename T>
    clap_process_status run(T** in, T** out, int channels, uint32_t frames,
                            const std::vector<Change>& changes);
    void record(const char* name);
    static ClapHost* self(const clap_host_t* host);
    static const void* getExtension(const clap_host_t* host, const char* id);
    static bool pushOut(const clap_output_events_t* list, const clap_event_header_t* event);

    void* library = nullptr;
    const clap_plugin_entry_t* entryPoint = nullptr;
    const clap_plugin_factory_t* pluginFactory = nullptr;
    const clap_plugin_t* instance = nullptr;
    bool active = false;
    clap_host_t host{};
    clap_host_params_t hostParams{};
    clap_host_state_t hostState{};
    clap_host_gui_t hostGui{};
    std::thread::id main = std::this_thread::get_id();
    std::mutex logMutex;  // guards log and out
    std::vector<HostCall> log;
    std::vector<OutEvent> out;
    std::atomic<int> requestedFlushes{0};
    std::atomic<int> requestedCallbacks{0};
};

// The host's input events from changes, as a clap_input_events list.
class InputEvents {
public:
    explicit InputEvents(const std::vector<Change>& changes);
    InputEvents(const InputEvents&) = delete;  // the list points at this object
    InputEvents& operator=(const InputEvents&) = delete;
    const clap_input_events_t* list() const { return &events; }

private:
    static uint32_t size(const clap_input_events_t* list);
    static const clap_event_header_t* get(const clap_input_events_t* list, uint32_t index);
    std::vector<clap_event_param_value_t> values;
    clap_input_events_t events{};
};

}  // namespace claptest
