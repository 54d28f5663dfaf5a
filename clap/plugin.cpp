#include "clap/plugin.h"

#include "editor/editor.h"
#include "effect/channels.h"
#include "gate/quelt.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Zorv::Clap {

namespace {

// The gate's parameters keep these ids for good; index i has id i + 1.
constexpr clap_id kFirstParameterId = 1;
constexpr uint32_t kParamCount = kNumQueltParameters + 1;
// Scratch laid out for at most this many frames; longer blocks run in pieces.
constexpr uint32_t kLargestBlock = 8192;
// A state longer than this is no state of ours.
constexpr size_t kMaxStateBytes = 1 << 16;
constexpr uint32_t kTextBytes = 64;

int indexOf(clap_id id)
{
    return id >= kFirstParameterId && id < kFirstParameterId + kNumQueltParameters
               ? int(id - kFirstParameterId)
               : -1;
}

void copyText(char* out, uint32_t size, const char* text)
{
    if (!out || size == 0)
        return;
    const size_t length = std::min<size_t>(strlen(text), size - 1);
    memcpy(out, text, length);
    out[length] = 0;
}

bool isNumber(const char* text)
{
    char* end = nullptr;
    strtod(text, &end);
    return end != text || strcasecmp(text, "Inf") == 0 || strcasecmp(text, "-Inf") == 0;
}

}  // namespace

GClapGate* GClapGate::create(const clap_host_t* host, const clap_plugin_t& shape, int channels)
{
    if (!host || (channels != 1 && channels != 2))
        return nullptr;
    try {
        std::unique_ptr<GClapGate> made(new GClapGate(host, shape, channels));
        return made->build() ? made.release() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

GClapGate::GClapGate(const clap_host_t* host, const clap_plugin_t& shape, int channels)
    : plugin(shape), host(host), channels(channels)
{
    plugin.plugin_data = this;
}

bool GClapGate::build()
{
    effect.reset(createEffectInstance(hostCallback));
    gate = dynamic_cast<Quelt*>(effect.get());
    if (!gate)
        return false;
    gate->getAeffect()->user = this;
    gate->setEditSink(this);
    editor = dynamic_cast<GEditor*>(gate->getEditor());
    return useChannels(*gate, channels);
}

GClapGate::~GClapGate()
{
    guiDestroy();
    effect.reset();
}

GClapGate* GClapGate::from(const clap_plugin_t* plugin)
{
    return plugin ? static_cast<GClapGate*>(plugin->plugin_data) : nullptr;
}

intptr_t GClapGate::hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void*, float)
{
    auto* self = effect ? static_cast<GClapGate*>(effect->user) : nullptr;
    if (!self || opcode != audioMasterSizeWindow || !self->hostGui)
        return 0;
    return self->hostGui->request_resize(self->host, uint32_t(index), uint32_t(value)) ? 1 : 0;
}

bool GClapGate::init()
{
    if (!host->get_extension)
        return true;
    hostParams = static_cast<const clap_host_params_t*>(host->get_extension(host, CLAP_EXT_PARAMS));
    hostState = static_cast<const clap_host_state_t*>(host->get_extension(host, CLAP_EXT_STATE));
    hostGui = static_cast<const clap_host_gui_t*>(host->get_extension(host, CLAP_EXT_GUI));
    return true;
}

bool GClapGate::activate(double rate, uint32_t maxFrames)
{
    if (!Quelt::isSampleRate(rate))
        return false;
    try {
        gate->setSampleRate(float(rate));
        gate->setBlockSize(int32_t(std::clamp<uint32_t>(maxFrames, 1, kLargestBlock)));
        gate->resume();
        return true;
    } catch (...) {
        return false;
    }
}

void GClapGate::deactivate()
{
    gate->suspend();
}

void GClapGate::reset()
{
    gate->resetState();
}

void GClapGate::onMainThread()
{
    if (dirty.exchange(false) && hostState)
        hostState->mark_dirty(host);
}

bool GClapGate::portInfo(uint32_t index, clap_audio_port_info_t* info) const
{
    if (index != 0 || !info)
        return false;
    *info = {};
    info->id = 0;
    copyText(info->name, CLAP_NAME_SIZE, "Main");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
    info->channel_count = uint32_t(channels);
    info->port_type = channels == 2 ? CLAP_PORT_STEREO : CLAP_PORT_MONO;
    info->in_place_pair = 0;
    return true;
}

void GClapGate::applyEvent(const clap_event_header_t* event)
{
    if (!event || event->space_id != CLAP_CORE_EVENT_SPACE_ID || event->type != CLAP_EVENT_PARAM_VALUE ||
        event->size < sizeof(clap_event_param_value_t))
        return;
    const auto* change = reinterpret_cast<const clap_event_param_value_t*>(event);
    if (!std::isfinite(change->value))
        return;
    if (change->param_id == kBypassId) {
        gate->setBypass(change->value >= 0.5);
        return;
    }
    const int index = indexOf(change->param_id);
    if (index >= 0)
        gate->writeParameter(index, gate->getBank().parameter(index)->toNormalised(change->value));
}

void GClapGate::runAudio(const clap_process_t* process, uint32_t from, uint32_t to)
{
    if (to <= from || !process->audio_inputs || !process->audio_outputs ||
        process->audio_inputs_count < 1 || process->audio_outputs_count < 1)
        return;
    const clap_audio_buffer_t& in = process->audio_inputs[0];
    const clap_audio_buffer_t& out = process->audio_outputs[0];
    if (in.channel_count != uint32_t(channels) || out.channel_count != uint32_t(channels))
        return;
    const int32_t frames = int32_t(to - from);
    if (in.data64 && out.data64) {
        double* inputs[2] = {}, *outputs[2] = {};
        for (int c = 0; c < channels; ++c) {
            inputs[c] = in.data64[c] ? in.data64[c] + from : nullptr;
            outputs[c] = out.data64[c] ? out.data64[c] + from : nullptr;
        }
        gate->processDoubleReplacing(inputs, outputs, frames);
    } else if (in.data32 && out.data32) {
        float* inputs[2] = {}, *outputs[2] = {};
        for (int c = 0; c < channels; ++c) {
            inputs[c] = in.data32[c] ? in.data32[c] + from : nullptr;
            outputs[c] = out.data32[c] ? out.data32[c] + from : nullptr;
        }
        gate->processReplacing(inputs, outputs, frames);
    }
}

clap_process_status GClapGate::process(const clap_process_t* process)
{
    if (!process)
        return CLAP_PROCESS_ERROR;
    const uint32_t frames = process->frames_count;
    const clap_input_events_t* in = process->in_events;
    const uint32_t count = in && in->size ? in->size(in) : 0;
    uint32_t done = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* event = in->get(in, i);
        if (!event)
            continue;
        const uint32_t at = std::min(event->time, frames);
        if (at > done) {
            runAudio(process, done, at);
            done = at;
        }
        applyEvent(event);
    }
    runAudio(process, done, frames);
    deliverEdits(process->out_events);
    return CLAP_PROCESS_CONTINUE;
}

uint32_t GClapGate::paramCount() const
{
    return kParamCount;
}

bool GClapGate::paramInfo(uint32_t index, clap_param_info_t* info) const
{
    if (!info || index >= kParamCount)
        return false;
    *info = {};
    if (index == kNumQueltParameters) {
        info->id = kBypassId;
        info->flags = CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS;
        copyText(info->name, CLAP_NAME_SIZE, "Bypass");
        info->min_value = 0;
        info->max_value = 1;
        info->default_value = 0;
        return true;
    }
    const GEffectParameter* parameter = gate->getBank().parameter(int(index));
    info->id = kFirstParameterId + index;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    copyText(info->name, CLAP_NAME_SIZE, parameter->getName());
    info->min_value = parameter->toNatural(0.0);
    info->max_value = parameter->toNatural(1.0);
    info->default_value = parameter->toNatural(parameter->getDefault());
    return true;
}

bool GClapGate::paramValue(clap_id id, double* value) const
{
    if (!value)
        return false;
    if (id == kBypassId) {
        *value = gate->isBypassed() ? 1.0 : 0.0;
        return true;
    }
    const int index = indexOf(id);
    if (index < 0)
        return false;
    ProgramBank& bank = gate->getBank();
    *value = bank.parameter(index)->getNatural(bank.slot(gate->getProgram(), index));
    return true;
}

bool GClapGate::valueToText(clap_id id, double value, char* text, uint32_t size) const
{
    if (!text || size == 0 || !std::isfinite(value))
        return false;
    if (id == kBypassId) {
        copyText(text, size, value >= 0.5 ? "On" : "Off");
        return true;
    }
    const int index = indexOf(id);
    if (index < 0)
        return false;
    const GEffectParameter* parameter = gate->getBank().parameter(index);
    alignas(8) double slot = 0;
    parameter->setNatural(&slot, value);
    char shown[kTextBytes + kUnitLength + 2] = {};
    parameter->formatDisplay(shown, kTextBytes, &slot);
    copyText(text, size, shown);
    return true;
}

bool GClapGate::textToValue(clap_id id, const char* text, double* value) const
{
    if (!text || !value)
        return false;
    if (id == kBypassId) {
        const bool on = strcasecmp(text, "On") == 0 || (isNumber(text) && strtod(text, nullptr) >= 0.5);
        if (!on && strcasecmp(text, "Off") != 0 && !isNumber(text))
            return false;
        *value = on ? 1.0 : 0.0;
        return true;
    }
    const int index = indexOf(id);
    if (index < 0 || !isNumber(text))
        return false;
    const GEffectParameter* parameter = gate->getBank().parameter(index);
    alignas(8) double slot = 0;
    parameter->parseValue(&slot, text);
    *value = parameter->getNatural(&slot);
    return true;
}

void GClapGate::flush(const clap_input_events_t* in, const clap_output_events_t* out)
{
    const uint32_t count = in && in->size ? in->size(in) : 0;
    for (uint32_t i = 0; i < count; ++i)
        applyEvent(in->get(in, i));
    deliverEdits(out);
}

void GClapGate::deliverEdits(const clap_output_events_t* out)
{
    if (!out || !out->try_push)
        return;
    drainOut = out;
    flushAsked.store(false);  // an edit queued from here on asks again
    drainer.store(std::this_thread::get_id());
    gate->deliverEdits();
    drainer.store(std::thread::id());
    drainOut = nullptr;
}

bool GClapGate::stopped()
{
    return drainer.load() != std::this_thread::get_id() || !drainOut;
}

void GClapGate::pushGesture(uint16_t type, int index)
{
    clap_event_param_gesture_t gesture{};
    gesture.header = {sizeof gesture, 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
    gesture.param_id = kFirstParameterId + clap_id(index);
    drainOut->try_push(drainOut, &gesture.header);
}

void GClapGate::beginEdit(int index)
{
    pushGesture(CLAP_EVENT_PARAM_GESTURE_BEGIN, index);
}

void GClapGate::endEdit(int index)
{
    pushGesture(CLAP_EVENT_PARAM_GESTURE_END, index);
}

void GClapGate::automate(int index, float normalised)
{
    if (index < 0 || index >= kNumQueltParameters)
        return;
    clap_event_param_value_t change{};
    change.header = {sizeof change, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    change.param_id = kFirstParameterId + clap_id(index);
    change.note_id = change.port_index = change.channel = change.key = -1;
    change.value = gate->getBank().parameter(index)->toNatural(normalised);
    drainOut->try_push(drainOut, &change.header);
}

void GClapGate::editsWaiting()
{
    // One request until the next drain takes what is waiting.
    if (flushAsked.exchange(true))
        return;
    dirty.store(true);
    if (hostParams)
        hostParams->request_flush(host);
    if (host->request_callback)
        host->request_callback(host);
}

bool GClapGate::save(const clap_ostream_t* stream)
{
    if (!stream || !stream->write)
        return false;
    void* data = nullptr;
    const int32_t size = gate->getChunk(&data, false);
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (int32_t done = 0; done < size;) {
        const int64_t wrote = stream->write(stream, bytes + done, uint64_t(size - done));
        if (wrote <= 0)
            return false;
        done += int32_t(wrote);
    }
    return size > 0;
}

bool GClapGate::load(const clap_istream_t* stream)
{
    if (!stream || !stream->read)
        return false;
    std::vector<uint8_t> bytes;
    uint8_t piece[4096];
    for (;;) {
        const int64_t got = stream->read(stream, piece, sizeof piece);
        if (got < 0 || bytes.size() + size_t(got) > kMaxStateBytes)
            return false;
        if (got == 0)
            break;
        bytes.insert(bytes.end(), piece, piece + got);
    }
    {
        GEffect::BankLock hold = gate->lockBank();
        if (!gate->getBank().isBank(bytes.data(), bytes.size()))
            return false;
    }
    gate->setChunk(bytes.data(), int32_t(bytes.size()), false);
    if (hostParams)
        hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
    return true;
}

bool GClapGate::guiCreate()
{
    if (!editor || guiCreated)
        return false;
    guiCreated = true;
    return true;
}

void GClapGate::guiDestroy()
{
    if (editor)
        editor->close();
    guiCreated = false;
    parentWindow = 0;
}

bool GClapGate::guiSetScale(double scale)
{
    return editor && editor->setScale(scale);
}

bool GClapGate::guiGetSize(uint32_t* width, uint32_t* height)
{
    ERect* rect = nullptr;
    if (!width || !height || !editor || !editor->getRect(&rect) || !rect)
        return false;
    *width = uint32_t(rect->right - rect->left);
    *height = uint32_t(rect->bottom - rect->top);
    return true;
}

bool GClapGate::openEditor()
{
    if (editor->isOpen())
        editor->close();
    return editor->open(reinterpret_cast<void*>(parentWindow));
}

bool GClapGate::guiSetParent(const clap_window_t* window)
{
    if (!guiCreated || !window || !window->x11)
        return false;
    parentWindow = uintptr_t(window->x11);
    return openEditor();
}

bool GClapGate::guiShow()
{
    if (!guiCreated || !parentWindow)
        return false;
    return editor->isOpen() || openEditor();
}

bool GClapGate::guiHide()
{
    if (!guiCreated)
        return false;
    editor->close();
    return true;
}

}  // namespace Zorv::Clap
