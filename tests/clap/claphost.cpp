#include "tests/clap/claphost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace claptest {

InputEvents::InputEvents(const std::vector<Change>& changes)
{
    for (const Change& c : changes) {
        clap_event_param_value_t e{};
        e.header = {sizeof e, c.frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = c.id;
        e.note_id = e.port_index = e.channel = e.key = -1;
        e.value = c.value;
        values.push_back(e);
    }
    events.ctx = this;
    events.size = size;
    events.get = get;
}

uint32_t InputEvents::size(const clap_input_events_t* list)
{
    return uint32_t(static_cast<const InputEvents*>(list->ctx)->values.size());
}

const clap_event_header_t* InputEvents::get(const clap_input_events_t* list, uint32_t index)
{
    const auto* self = static_cast<const InputEvents*>(list->ctx);
    return index < self->values.size() ? &self->values[index].header : nullptr;
}

ClapHost::ClapHost(const std::string& path)
{
    host.clap_version = CLAP_VERSION;
    host.host_data = this;
    host.name = "Quelt test host";
    host.vendor = "Zorv";
    host.url = "";
    host.version = "1";
    host.get_extension = getExtension;
    host.request_restart = [](const clap_host_t* h) { self(h)->record("request_restart"); };
    host.request_process = [](const clap_host_t* h) { self(h)->record("request_process"); };
    host.request_callback = [](const clap_host_t* h) {
        self(h)->record("request_callback");
        ++self(h)->requestedCallbacks;
    };
    hostParams.rescan = [](const clap_host_t* h, clap_param_rescan_flags) { self(h)->record("params.rescan"); };
    hostParams.clear = [](const clap_host_t* h, clap_id, clap_param_clear_flags) {
        self(h)->record("params.clear");
    };
    hostParams.request_flush = [](const clap_host_t* h) {
        self(h)->record("params.request_flush");
        ++self(h)->requestedFlushes;
    };
    hostState.mark_dirty = [](const clap_host_t* h) { self(h)->record("state.mark_dirty"); };
    hostGui.resize_hints_changed = [](const clap_host_t* h) { self(h)->record("gui.resize_hints_changed"); };
    hostGui.request_resize = [](const clap_host_t* h, uint32_t, uint32_t) {
        self(h)->record("gui.request_resize");
        return true;
    };
    hostGui.request_show = [](const clap_host_t* h) {
        self(h)->record("gui.request_show");
        return true;
    };
    hostGui.request_hide = [](const clap_host_t* h) {
        self(h)->record("gui.request_hide");
        return true;
    };
    hostGui.closed = [](const clap_host_t* h, bool) { self(h)->record("gui.closed"); };

    library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    entryPoint = library ? static_cast<const clap_plugin_entry_t*>(dlsym(library, "clap_entry")) : nullptr;
    if (entryPoint && entryPoint->init(path.c_str()))
        pluginFactory = static_cast<const clap_plugin_factory_t*>(entryPoint->get_factory(CLAP_PLUGIN_FACTORY_ID));
}

ClapHost::~ClapHost()
{
    destroy();
    if (pluginFactory)
        entryPoint->deinit();
    if (library)
        dlclose(library);
}

ClapHost* ClapHost::self(const clap_host_t* host)
{
    return static_cast<ClapHost*>(host->host_data);
}

void ClapHost::record(const char* name)
{
    std::lock_guard<std::mutex> hold(logMutex);
    log.push_back({name, std::this_thread::get_id()});
}

const void* ClapHost::getExtension(const clap_host_t* host, const char* id)
{
    ClapHost* h = self(host);
    if (strcmp(id, CLAP_EXT_PARAMS) == 0)
        return &h->hostParams;
    if (strcmp(id, CLAP_EXT_STATE) == 0)
        return &h->hostState;
    if (strcmp(id, CLAP_EXT_GUI) == 0)
        return &h->hostGui;
    return nullptr;
}

bool ClapHost::create(const char* id)
{
    if (!pluginFactory)
        return false;
    instance = pluginFactory->create_plugin(pluginFactory, &host, id);
    if (!instance || !instance->init(instance)) {
        destroy();
        return false;
    }
    params = static_cast<const clap_plugin_params_t*>(instance->get_extension(instance, CLAP_EXT_PARAMS));
    state = static_cast<const clap_plugin_state_t*>(instance->get_extension(instance, CLAP_EXT_STATE));
    gui = static_cast<const clap_plugin_gui_t*>(instance->get_extension(instance, CLAP_EXT_GUI));
    ports = static_cast<const clap_plugin_audio_ports_t*>(instance->get_extension(instance, CLAP_EXT_AUDIO_PORTS));
    latency = static_cast<const clap_plugin_latency_t*>(instance->get_extension(instance, CLAP_EXT_LATENCY));
    return params && state && ports;
}

bool ClapHost::activate(double rate, uint32_t maxFrames)
{
    active = instance->activate(instance, rate, 1, maxFrames) && instance->start_processing(instance);
    return active;
}

void ClapHost::destroy()
{
    if (!instance)
        return;
    if (active) {
        instance->stop_processing(instance);
        instance->deactivate(instance);
        active = false;
    }
    instance->destroy(instance);
    instance = nullptr;
}

double ClapHost::value(clap_id id)
{
    double v = -1e300;
    params->get_value(instance, id, &v);
    return v;
}

std::string ClapHost::text(clap_id id, double value)
{
    char shown[CLAP_NAME_SIZE] = {};
    return params->value_to_text(instance, id, value, shown, sizeof shown) ? shown : "(refused)";
}

bool ClapHost::pushOut(const clap_output_events_t* list, const clap_event_header_t* event)
{
    auto* h = static_cast<ClapHost*>(list->ctx);
    OutEvent got{event->type, 0, 0};
    if (event->type == CLAP_EVENT_PARAM_VALUE) {
        const auto* v = reinterpret_cast<const clap_event_param_value_t*>(event);
        got.id = v->param_id;
        got.value = v->value;
    } else {
        got.id = reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id;
    }
    std::lock_guard<std::mutex> hold(h->logMutex);
    h->out.push_back(got);
    return true;
}

template <typename T>
clap_process_status ClapHost::run(T** in, T** out, int channels, uint32_t frames,
                                  const std::vector<Change>& changes)
{
    clap_audio_buffer_t input{}, output{};
    input.channel_count = output.channel_count = uint32_t(channels);
    if constexpr (sizeof(T) == sizeof(double)) {
        input.data64 = in;
        output.data64 = out;
    } else {
        input.data32 = in;
        output.data32 = out;
    }
    InputEvents events(changes);
    clap_output_events_t outEvents{this, pushOut};
    clap_process_t p{};
    p.steady_time = -1;
    p.frames_count = frames;
    p.audio_inputs = &input;
    p.audio_outputs = &output;
    p.audio_inputs_count = p.audio_outputs_count = 1;
    p.in_events = events.list();
    p.out_events = &outEvents;
    return instance->process(instance, &p);
}

clap_process_status ClapHost::process(float** in, float** out, int channels, uint32_t frames,
                                      const std::vector<Change>& changes)
{
    return run(in, out, channels, frames, changes);
}

clap_process_status ClapHost::process(double** in, double** out, int channels, uint32_t frames,
                                      const std::vector<Change>& changes)
{
    return run(in, out, channels, frames, changes);
}

void ClapHost::flush(const std::vector<Change>& changes)
{
    InputEvents events(changes);
    clap_output_events_t outEvents{this, pushOut};
    params->flush(instance, events.list(), &outEvents);
}

bool ClapHost::save(std::vector<uint8_t>& bytes)
{
    bytes.clear();
    clap_ostream_t stream{&bytes, [](const clap_ostream_t* s, const void* data, uint64_t size) -> int64_t {
                              auto* to = static_cast<std::vector<uint8_t>*>(s->ctx);
                              const auto* from = static_cast<const uint8_t*>(data);
                              to->insert(to->end(), from, from + size);
                              return int64_t(size);
                          }};
    return state->save(instance, &stream);
}

bool ClapHost::load(const std::vector<uint8_t>& bytes)
{
    // Read in small pieces, as a host reading a file might.
    struct Reader {
        const std::vector<uint8_t>* bytes;
        size_t at;
    } reader{&bytes, 0};
    clap_istream_t stream{&reader, [](const clap_istream_t* s, void* data, uint64_t size) -> int64_t {
                              auto* r = static_cast<Reader*>(s->ctx);
                              const size_t n = std::min<size_t>({size_t(size), 100, r->bytes->size() - r->at});
                              if (n > 0)
                                  memcpy(data, r->bytes->data() + r->at, n);
                              r->at += n;
                              return int64_t(n);
                          }};
    return state->load(instance, &stream);
}

std::vector<OutEvent> ClapHost::takeOutEvents()
{
    std::lock_guard<std::mutex> hold(logMutex);
    return std::exchange(out, {});
}

std::vector<HostCall> ClapHost::calls()
{
    std::lock_guard<std::mutex> hold(logMutex);
    return log;
}

void ClapHost::runMainThreadCallback()
{
    instance->on_main_thread(instance);
}

}  // namespace claptest
