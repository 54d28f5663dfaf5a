#include "tools/host/host.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

namespace Zorv {

namespace {

constexpr int kTextBufferSize = 256;
constexpr int kHostStringSize = 64;

std::mutex registryLock;
std::map<AEffect*, GPluginHost*> registry;
thread_local GPluginHost* constructing = nullptr;

GPluginHost* hostFor(AEffect* effect)
{
    std::lock_guard<std::mutex> guard(registryLock);
    auto found = registry.find(effect);
    return found != registry.end() ? found->second : constructing;
}

void enrol(AEffect* effect, GPluginHost* host)
{
    std::lock_guard<std::mutex> guard(registryLock);
    if (host)
        registry[effect] = host;
    else
        registry.erase(effect);
}

void copyHostString(void* ptr, const std::string& text)
{
    char* out = static_cast<char*>(ptr);
    size_t n = std::min(text.size(), size_t(kHostStringSize - 1));
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

GPluginHost::GPluginHost(GHostConfig config) : settings(std::move(config)) {}

GPluginHost::~GPluginHost()
{
    close();
}

intptr_t GPluginHost::callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                               void* ptr, float opt)
{
    try {
        GPluginHost* host = hostFor(effect);
        if (!host)
            return 0;
        host->log.add(effect, opcode, index, value, ptr, opt);
        return host->answer(opcode, ptr);
    } catch (...) {
        return 0;  // nothing may unwind through the plug-in's frames
    }
}

intptr_t GPluginHost::answer(int32_t opcode, void* ptr)
{
    switch (opcode) {
    case audioMasterVersion:
        return settings.versionAnswer;
    case audioMasterGetSampleRate:
        return settings.sampleRateAnswer >= 0 ? settings.sampleRateAnswer
                                              : intptr_t(settings.sampleRate);
    case audioMasterGetVendorString:
        if (!ptr)
            return 0;
        copyHostString(ptr, settings.vendor);
        return 1;
    case audioMasterGetProductString:
        if (!ptr)
            return 0;
        copyHostString(ptr, settings.product);
        return 1;
    default:
        return 0;
    }
}

bool GPluginHost::load(const std::string& path)
{
    close();
    if (!library.open(path)) {
        lastError = library.error();
        return false;
    }
    return load(library.entry());
}

bool GPluginHost::load(PluginEntry entry)
{
    if (plugin)
        close();
    constructing = this;
    AEffect* effect = entry(settings.withCallback ? &GPluginHost::callback : nullptr);
    constructing = nullptr;
    if (!effect) {
        lastError = "the plug-in's entry point returned no effect";
        library.close();
        return false;
    }
    if (effect->magic != kEffectMagic) {
        lastError = "the plug-in's effect record has a wrong magic number";
        library.close();
        return false;
    }
    plugin = effect;
    enrol(plugin, this);
    return true;
}

bool GPluginHost::start()
{
    if (!plugin) {
        lastError = "no plug-in loaded";
        return false;
    }
    dispatch(effOpen);
    setSampleRate(float(settings.sampleRate));
    dispatch(effSetBlockSize, 0, settings.blockSize);
    if (settings.inputs > 0 && settings.outputs > 0 &&
        !setSpeakerArrangement(settings.inputs, settings.outputs)) {
        lastError = "the plug-in refuses " + std::to_string(settings.inputs) + " input(s) and " +
                    std::to_string(settings.outputs) + " output(s)";
        return false;
    }
    dispatch(effMainsChanged, 0, 1);
    started = true;
    return true;
}

bool GPluginHost::open(const std::string& path)
{
    return load(path) && start();
}

bool GPluginHost::open(PluginEntry entry)
{
    return load(entry) && start();
}

intptr_t GPluginHost::close()
{
    intptr_t result = 0;
    if (plugin) {
        if (started)
            dispatch(effMainsChanged, 0, 0);
        result = plugin->dispatcher(plugin, effClose, 0, 0, nullptr, 0.0f);
        enrol(plugin, nullptr);
    }
    plugin = nullptr;
    started = false;
    library.close();
    return result;
}

intptr_t GPluginHost::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    return plugin ? plugin->dispatcher(plugin, opcode, index, value, ptr, opt) : 0;
}

std::string GPluginHost::text(int32_t opcode, int32_t index, intptr_t value, intptr_t* answer)
{
    char buffer[kTextBufferSize] = {};
    intptr_t result = dispatch(opcode, index, value, buffer);
    if (answer)
        *answer = result;
    buffer[kTextBufferSize - 1] = 0;
    return buffer;
}

std::string GPluginHost::effectName() { return text(effGetEffectName); }
std::string GPluginHost::vendorString() { return text(effGetVendorString); }
std::string GPluginHost::productString() { return text(effGetProductString); }
intptr_t GPluginHost::vendorVersion() { return dispatch(effGetVendorVersion); }
std::string GPluginHost::paramName(int index) { return text(effGetParamName, index); }
std::string GPluginHost::paramLabel(int index) { return text(effGetParamLabel, index); }
std::string GPluginHost::paramDisplay(int index) { return text(effGetParamDisplay, index); }

float GPluginHost::getParameter(int index)
{
    return plugin ? plugin->getParameter(plugin, index) : 0.0f;
}

void GPluginHost::setParameter(int index, float value)
{
    if (plugin)
        plugin->setParameter(plugin, index, value);
}

bool GPluginHost::string2parameter(int index, const std::string& text)
{
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back(0);
    return dispatch(effString2Parameter, index, 0, copy.data()) != 0;
}

int GPluginHost::findParameter(const std::string& name)
{
    int count = plugin ? plugin->numParams : 0;
    for (int i = 0; i < count; ++i)
        if (lowered(paramName(i)) == lowered(name))
            return i;
    return -1;
}

int GPluginHost::program() { return int(dispatch(effGetProgram)); }
void GPluginHost::setProgram(int index) { dispatch(effSetProgram, 0, index); }
std::string GPluginHost::programName() { return text(effGetProgramName); }

std::string GPluginHost::programNameIndexed(int index)
{
    return text(effGetProgramNameIndexed, index);
}

bool GPluginHost::setProgramName(const std::string& name)
{
    std::vector<char> copy(name.begin(), name.end());
    copy.push_back(0);
    return dispatch(effSetProgramName, 0, 0, copy.data()) != 0;
}

intptr_t GPluginHost::canDo(const std::string& text)
{
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back(0);
    return dispatch(effCanDo, 0, 0, copy.data());
}

bool GPluginHost::setBypass(bool on) { return dispatch(effSetBypass, 0, on ? 1 : 0) != 0; }
void GPluginHost::setSampleRate(float rate) { dispatch(effSetSampleRate, 0, 0, nullptr, rate); }

intptr_t GPluginHost::getChunk(bool program, std::vector<uint8_t>& bytes)
{
    void* data = nullptr;
    intptr_t size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    bytes.clear();
    if (data && size > 0) {
        const uint8_t* first = static_cast<const uint8_t*>(data);
        bytes.assign(first, first + size);
    }
    return size;
}

intptr_t GPluginHost::setChunk(const std::vector<uint8_t>& bytes, bool program)
{
    std::vector<uint8_t> copy(bytes);
    return dispatch(effSetChunk, program ? 1 : 0, intptr_t(copy.size()), copy.data());
}

bool GPluginHost::setSpeakerArrangement(int ins, int outs)
{
    VstSpeakerArrangement in{}, out{};
    in.numChannels = ins;
    out.numChannels = outs;
    return dispatch(effSetSpeakerArrangement, 0, intptr_t(&in), &out) != 0;
}

bool GPluginHost::getSpeakerArrangement(int& ins, int& outs)
{
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    bool answered = dispatch(effGetSpeakerArrangement, 0, intptr_t(&in), &out) != 0;
    ins = in ? in->numChannels : -1;
    outs = out ? out->numChannels : -1;
    return answered;
}

void GPluginHost::processBlock(float** in, float** out, int32_t frames)
{
    if (plugin)
        plugin->processReplacing(plugin, in, out, frames);
}

void GPluginHost::processBlock(double** in, double** out, int32_t frames)
{
    if (plugin)
        plugin->processDoubleReplacing(plugin, in, out, frames);
}

template <typename T>
void GPluginHost::processAll(const GChannels<T>& in, GChannels<T>& out, int outChannels, int block)
{
    size_t length = in.empty() ? 0 : in[0].size();
    out.assign(size_t(std::max(outChannels, 0)), std::vector<T>(length));
    std::vector<T*> inPtr(in.size()), outPtr(out.size());
    size_t step = size_t(std::max(block, 1));
    for (size_t at = 0; at < length; at += step) {
        size_t frames = std::min(step, length - at);
        for (size_t c = 0; c < in.size(); ++c)
            inPtr[c] = const_cast<T*>(in[c].data()) + at;
        for (size_t c = 0; c < out.size(); ++c)
            outPtr[c] = out[c].data() + at;
        processBlock(inPtr.data(), outPtr.data(), int32_t(frames));
    }
}

void GPluginHost::process(const GChannels<float>& in, GChannels<float>& out, int outChannels,
                          int block)
{
    processAll(in, out, outChannels, block);
}

void GPluginHost::process(const GChannels<double>& in, GChannels<double>& out, int outChannels,
                          int block)
{
    processAll(in, out, outChannels, block);
}

}  // namespace Zorv
