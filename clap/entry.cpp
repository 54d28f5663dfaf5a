// The CLAP entry point: clap_entry, one factory of two plug-ins (stereo and
// mono), and the plug-in record's and extensions' functions, each a guard
// against a host's mistake around one GClapGate call. Nothing throws out.
#include "clap/plugin.h"

#include <clap/entry.h>
#include <clap/ext/latency.h>
#include <clap/plugin-factory.h>

#include <cstring>

namespace Zorv::Clap {

namespace {

const char* const kStereoFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_STEREO,
                                       "gate", nullptr};
const char* const kMonoFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_MONO,
                                     "gate", nullptr};

const clap_plugin_descriptor_t kDescriptors[] = {
    {CLAP_VERSION_INIT, "example.zorv.quelt", "Quelt", "Zorv", "", "", "", QUELT_VERSION,
     "Stereo noise gate", const_cast<const char**>(kStereoFeatures)},
    {CLAP_VERSION_INIT, "example.zorv.quelt.mono", "Quelt Mono", "Zorv", "", "", "", QUELT_VERSION,
     "Mono noise gate", const_cast<const char**>(kMonoFeatures)},
};
constexpr uint32_t kStereoIndex = 0;

// Calls `call` on the plug-in's adapter, or answers `fallback` without one.
template <typename Result, typename Call>
Result guarded(const clap_plugin_t* plugin, Result fallback, Call call)
{
    GClapGate* gate = GClapGate::from(plugin);
    if (!gate)
        return fallback;
    try {
        return call(*gate);
    } catch (...) {
        return fallback;
    }
}

template <typename Call>
void guardedVoid(const clap_plugin_t* plugin, Call call)
{
    guarded(plugin, 0, [&](GClapGate& gate) {
        call(gate);
        return 0;
    });
}

// Audio ports.
uint32_t portsCount(const clap_plugin_t* plugin, bool)
{
    return guarded(plugin, 0u, [](GClapGate& g) { return g.portCount(); });
}

bool portsGet(const clap_plugin_t* plugin, uint32_t index, bool, clap_audio_port_info_t* info)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.portInfo(index, info); });
}

const clap_plugin_audio_ports_t kAudioPorts = {portsCount, portsGet};

// Parameters.
uint32_t paramsCount(const clap_plugin_t* plugin)
{
    return guarded(plugin, 0u, [](GClapGate& g) { return g.paramCount(); });
}

bool paramsInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.paramInfo(index, info); });
}

bool paramsValue(const clap_plugin_t* plugin, clap_id id, double* value)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.paramValue(id, value); });
}

bool paramsValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* text, uint32_t size)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.valueToText(id, value, text, size); });
}

bool paramsTextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.textToValue(id, text, value); });
}

void paramsFlush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out)
{
    guardedVoid(plugin, [&](GClapGate& g) { g.flush(in, out); });
}

const clap_plugin_params_t kParams = {paramsCount,       paramsInfo,        paramsValue,
                                      paramsValueToText, paramsTextToValue, paramsFlush};

// State, latency.
bool stateSave(const clap_plugin_t* plugin, const clap_ostream_t* stream)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.save(stream); });
}

bool stateLoad(const clap_plugin_t* plugin, const clap_istream_t* stream)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.load(stream); });
}

const clap_plugin_state_t kState = {stateSave, stateLoad};

uint32_t latencyGet(const clap_plugin_t*)
{
    return 0;
}

const clap_plugin_latency_t kLatency = {latencyGet};

// The editor: X11, embedded, fixed size.
bool guiIsApiSupported(const clap_plugin_t*, const char* api, bool floating)
{
    return api && strcmp(api, CLAP_WINDOW_API_X11) == 0 && !floating;
}

bool guiPreferredApi(const clap_plugin_t*, const char** api, bool* floating)
{
    if (!api || !floating)
        return false;
    *api = CLAP_WINDOW_API_X11;
    *floating = false;
    return true;
}

bool guiCreate(const clap_plugin_t* plugin, const char* api, bool floating)
{
    return guiIsApiSupported(plugin, api, floating) &&
           guarded(plugin, false, [](GClapGate& g) { return g.guiCreate(); });
}

void guiDestroy(const clap_plugin_t* plugin)
{
    guardedVoid(plugin, [](GClapGate& g) { g.guiDestroy(); });
}

bool guiSetScale(const clap_plugin_t* plugin, double scale)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.guiSetScale(scale); });
}

bool guiGetSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.guiGetSize(width, height); });
}

bool guiCanResize(const clap_plugin_t*)
{
    return false;
}

bool guiResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*)
{
    return false;
}

// A fixed size: whatever the host proposes becomes the editor's own.
bool guiAdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
    return guiGetSize(plugin, width, height);
}

bool guiSetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height)
{
    uint32_t w = 0, h = 0;
    return guiGetSize(plugin, &w, &h) && w == width && h == height;
}

bool guiSetParent(const clap_plugin_t* plugin, const clap_window_t* window)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.guiSetParent(window); });
}

bool guiSetTransient(const clap_plugin_t*, const clap_window_t*)
{
    return false;
}

void guiSuggestTitle(const clap_plugin_t*, const char*) {}

bool guiShow(const clap_plugin_t* plugin)
{
    return guarded(plugin, false, [](GClapGate& g) { return g.guiShow(); });
}

bool guiHide(const clap_plugin_t* plugin)
{
    return guarded(plugin, false, [](GClapGate& g) { return g.guiHide(); });
}

const clap_plugin_gui_t kGui = {guiIsApiSupported, guiPreferredApi, guiCreate,      guiDestroy,
                                guiSetScale,       guiGetSize,      guiCanResize,   guiResizeHints,
                                guiAdjustSize,     guiSetSize,      guiSetParent,   guiSetTransient,
                                guiSuggestTitle,   guiShow,         guiHide};

// The plug-in record.
bool pluginInit(const clap_plugin_t* plugin)
{
    return guarded(plugin, false, [](GClapGate& g) { return g.init(); });
}

void pluginDestroy(const clap_plugin_t* plugin)
{
    delete GClapGate::from(plugin);
}

bool pluginActivate(const clap_plugin_t* plugin, double rate, uint32_t, uint32_t maxFrames)
{
    return guarded(plugin, false, [&](GClapGate& g) { return g.activate(rate, maxFrames); });
}

void pluginDeactivate(const clap_plugin_t* plugin)
{
    guardedVoid(plugin, [](GClapGate& g) { g.deactivate(); });
}

bool pluginStartProcessing(const clap_plugin_t*)
{
    return true;
}

void pluginStopProcessing(const clap_plugin_t*) {}

void pluginReset(const clap_plugin_t* plugin)
{
    guardedVoid(plugin, [](GClapGate& g) { g.reset(); });
}

clap_process_status pluginProcess(const clap_plugin_t* plugin, const clap_process_t* process)
{
    return guarded(plugin, clap_process_status(CLAP_PROCESS_ERROR),
                   [&](GClapGate& g) { return g.process(process); });
}

const void* pluginExtension(const clap_plugin_t*, const char* id)
{
    if (!id)
        return nullptr;
    if (strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0)
        return &kAudioPorts;
    if (strcmp(id, CLAP_EXT_PARAMS) == 0)
        return &kParams;
    if (strcmp(id, CLAP_EXT_STATE) == 0)
        return &kState;
    if (strcmp(id, CLAP_EXT_LATENCY) == 0)
        return &kLatency;
    if (strcmp(id, CLAP_EXT_GUI) == 0)
        return &kGui;
    return nullptr;
}

void pluginOnMainThread(const clap_plugin_t* plugin)
{
    guardedVoid(plugin, [](GClapGate& g) { g.onMainThread(); });
}

// The factory.
uint32_t factoryCount(const clap_plugin_factory_t*)
{
    return uint32_t(sizeof kDescriptors / sizeof kDescriptors[0]);
}

const clap_plugin_descriptor_t* factoryDescriptor(const clap_plugin_factory_t* factory, uint32_t index)
{
    return index < factoryCount(factory) ? &kDescriptors[index] : nullptr;
}

const clap_plugin_t* factoryCreate(const clap_plugin_factory_t* factory, const clap_host_t* host,
                                   const char* id)
{
    if (!host || !id || !clap_version_is_compatible(host->clap_version))
        return nullptr;
    for (uint32_t i = 0; i < factoryCount(factory); ++i) {
        if (strcmp(id, kDescriptors[i].id) != 0)
            continue;
        const clap_plugin_t shape = {&kDescriptors[i], nullptr,
                                     pluginInit, pluginDestroy, pluginActivate, pluginDeactivate,
                                     pluginStartProcessing, pluginStopProcessing, pluginReset,
                                     pluginProcess, pluginExtension, pluginOnMainThread};
        GClapGate* gate = GClapGate::create(host, shape, i == kStereoIndex ? 2 : 1);
        return gate ? gate->record() : nullptr;
    }
    return nullptr;
}

const clap_plugin_factory_t kFactory = {factoryCount, factoryDescriptor, factoryCreate};

bool entryInit(const char*)
{
    return true;
}

void entryDeinit() {}

const void* entryFactory(const char* id)
{
    return id && strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace

}  // namespace Zorv::Clap

extern "C" __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION_INIT, Zorv::Clap::entryInit, Zorv::Clap::entryDeinit, Zorv::Clap::entryFactory};
