// Plays a careless host against one instance of the plug-in: every dispatcher
// opcode with chosen index, value, float and pointer (a buffer of the size the
// opcode promises, or null), parameters with any float, programs and their
// names, chunks of any length both ways, speaker arrangements (also handing
// back the plug-in's own), sample rates and block sizes, suspend and resume in
// any order, bypass, and blocks of any length in both precisions, in place or
// not. After each step it checks: parameters read back what was set, a chunk
// taken and given back changes nothing, text answers end within their size,
// finite input gives finite output. The editor is never shown (no display).
#include "fuzz_resource.h"
#include "gate/quelt.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kParams = 3;
constexpr int kMaxSteps = 100;
constexpr int kMaxFrames = 1500;  // past the default block of 1024
constexpr int kTextBuffer = 512;
constexpr int kStructBuffer = 1024;
constexpr unsigned char kUnwritten = 0xA5;
constexpr int32_t kLastOpcode = 80;

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float)
{
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
        strcpy(static_cast<char*>(ptr), "Fuzz");
        return 1;
    default:
        return 0;
    }
}

// Bytes an answer of that opcode may use, terminator included; 0: not a text answer.
int textAnswerSize(int32_t opcode)
{
    switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed:
        return kVstMaxProgNameLen + 1;
    case effGetParamLabel:
    case effGetParamName:
        return kVstMaxParamStrLen + 1;
    case effGetParamDisplay:
        return 32;
    case effGetEffectName:
        return kVstMaxEffectNameLen;
    case effGetVendorString:
        return kVstMaxVendorStrLen;
    case effGetProductString:
        return kVstMaxProductStrLen;
    default:
        return 0;
    }
}

bool takesText(int32_t opcode)
{
    return opcode == effSetProgramName || opcode == effString2Parameter || opcode == effCanDo;
}

// Both NaN, or the same value.
bool sameValue(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) || memcmp(&a, &b, sizeof(a)) == 0;
}

class Host {
public:
    explicit Host(FuzzedDataProvider& in) : in(in)
    {
        object = Zorv::createEffectInstance(hostCallback);
        effect = object ? object->getAeffect() : nullptr;
    }
    ~Host()
    {
        if (effect)
            dispatch(effClose);
    }

    bool alive() const { return effect != nullptr; }
    void step();

private:
    intptr_t dispatch(int32_t op, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f)
    {
        return effect->dispatcher(effect, op, index, value, ptr, opt);
    }
    void forgetValues() { std::fill(known, known + kParams, false); }
    void anyOpcode();
    void textAnswer(int32_t op, int32_t index, intptr_t value);
    void setParameter();
    void arrangements();
    void chunkRoundTrip();
    void giveChunk();
    template <typename T> void process();
    void checkValues();
    std::vector<uint8_t> takeChunk(bool preset);
    std::string fuzzText() { return in.ConsumeRandomLengthString(64); }

    FuzzedDataProvider& in;
    AudioEffect* object = nullptr;
    AEffect* effect = nullptr;
    bool known[kParams] = {};
    float value[kParams] = {};
};

void Host::step()
{
    switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0: anyOpcode(); break;
    case 1: setParameter(); break;
    case 2: arrangements(); break;
    case 3: chunkRoundTrip(); break;
    case 4: giveChunk(); break;
    case 5: process<float>(); break;
    case 6: process<double>(); break;
    case 7:
        dispatch(effSetProgram, 0, in.ConsumeIntegralInRange<intptr_t>(-3, 12));
        forgetValues();
        break;
    case 8: dispatch(effMainsChanged, 0, in.ConsumeBool()); break;
    case 9: dispatch(effSetSampleRate, 0, 0, nullptr, in.ConsumeFloatingPoint<float>()); break;
    case 10: dispatch(effSetBlockSize, 0, in.ConsumeIntegral<int32_t>()); break;
    default: textAnswer(in.PickValueInArray({effGetProgramName, effGetParamLabel,
                                             effGetParamDisplay, effGetParamName,
                                             effGetProgramNameIndexed, effGetEffectName}),
                        in.ConsumeIntegralInRange(-2, 11), 0);
    }
    if (effect)
        checkValues();
}

void Host::anyOpcode()
{
    const int32_t op = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, kLastOpcode)
                                        : in.ConsumeIntegral<int32_t>();
    const int32_t index = in.ConsumeIntegral<int32_t>();
    const intptr_t value = in.ConsumeIntegral<intptr_t>();
    const float opt = in.ConsumeFloatingPoint<float>();
    const bool null = in.ConsumeBool();
    if (op == effClose) {
        dispatch(effClose);
        effect = nullptr;
        return;
    }
    if (textAnswerSize(op) && !null)
        return textAnswer(op, index, value);
    if (op == effSetSpeakerArrangement || op == effGetSpeakerArrangement || op == effSetChunk)
        return op == effSetChunk ? giveChunk() : arrangements();
    std::string text = fuzzText();
    std::vector<uint8_t> block(kStructBuffer, 0);
    void* holder[2] = {};
    void* ptr = nullptr;
    if (null)
        ptr = nullptr;
    else if (takesText(op))
        ptr = text.data();
    else if (op == effEditGetRect || op == effGetChunk)
        ptr = holder;
    else if (op == effEditOpen)
        ptr = reinterpret_cast<void*>(value);  // a window id, never dereferenced
    else
        ptr = block.data();
    dispatch(op, index, value, ptr, opt);
    if (op == effSetProgram || op == effString2Parameter)
        forgetValues();
}

void Host::textAnswer(int32_t op, int32_t index, intptr_t value)
{
    char text[kTextBuffer];
    memset(text, kUnwritten, sizeof(text));
    dispatch(op, index, value, text);
    const int size = textAnswerSize(op);
    require(memchr(text, 0, size_t(size)) != nullptr);
    for (int i = size; i < kTextBuffer; ++i)
        require(static_cast<unsigned char>(text[i]) == kUnwritten);
}

void Host::setParameter()
{
    const int index = in.ConsumeIntegralInRange(-2, kParams + 1);
    const float v = in.PickValueInArray({0.0f, 0.5f, 1.0f, NAN, INFINITY, -INFINITY, 1e30f,
                                         in.ConsumeFloatingPoint<float>()});
    effect->setParameter(effect, index, v);
    if (index >= 0 && index < kParams) {
        known[index] = true;
        value[index] = v;
    }
}

void Host::checkValues()
{
    for (int i = 0; i < kParams; ++i)
        if (known[i])
            require(sameValue(effect->getParameter(effect, i), value[i]));
    require(effect->getParameter(effect, kParams) == 0.0f);
}

// Fresh records, the plug-in's own handed back, or its own crossed over.
void Host::arrangements()
{
    VstSpeakerArrangement* own[2] = {};
    const bool answered = dispatch(effGetSpeakerArrangement, 0, intptr_t(&own[0]), &own[1]);
    require(answered && own[0] && own[1]);
    VstSpeakerArrangement fresh[2] = {};
    fresh[0].numChannels = in.ConsumeIntegralInRange(-1, 9);
    fresh[1].numChannels = in.ConsumeIntegralInRange(-1, 9);
    VstSpeakerArrangement* pair[2] = {own[0], own[1]};
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: pair[0] = &fresh[0]; pair[1] = &fresh[1]; break;
    case 1: std::swap(pair[0], pair[1]); break;
    case 2: pair[in.ConsumeBool()] = nullptr; break;
    default: break;  // exactly what it got
    }
    const int ins = pair[0] ? pair[0]->numChannels : 0, outs = pair[1] ? pair[1]->numChannels : 0;
    const intptr_t accepted = dispatch(effSetSpeakerArrangement, 0, intptr_t(pair[0]), pair[1]);
    require(dispatch(effGetSpeakerArrangement, 0, intptr_t(&own[0]), &own[1]) == 1);
    if (accepted) {
        require(own[0]->numChannels == ins && own[1]->numChannels == outs);
        require(own[0]->speakers[ins - 1].name[sizeof(own[0]->speakers[0].name) - 1] == 0);
    }
    require(own[0]->numChannels >= 1 && own[0]->numChannels <= 2);
    require(own[1]->numChannels >= 1 && own[1]->numChannels <= 2);
}

std::vector<uint8_t> Host::takeChunk(bool preset)
{
    void* data = nullptr;
    const intptr_t size = dispatch(effGetChunk, preset, 0, &data);
    require(size >= 0 && (size == 0 || data));
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

// A chunk taken and given back, copied or as the very bytes handed out, changes nothing.
void Host::chunkRoundTrip()
{
    const bool preset = in.ConsumeBool();
    const std::vector<uint8_t> before = takeChunk(preset);
    float values[kParams];
    for (int i = 0; i < kParams; ++i)
        values[i] = effect->getParameter(effect, i);
    const intptr_t program = dispatch(effGetProgram);
    if (in.ConsumeBool()) {
        std::vector<uint8_t> copy = before;
        dispatch(effSetChunk, preset, intptr_t(copy.size()), copy.data());
    } else {
        void* data = nullptr;
        const intptr_t size = dispatch(effGetChunk, preset, 0, &data);
        dispatch(effSetChunk, preset, size, data);
    }
    require(takeChunk(preset) == before);
    require(dispatch(effGetProgram) == program);
    for (int i = 0; i < kParams; ++i)
        require(sameValue(effect->getParameter(effect, i), values[i]));
}

void Host::giveChunk()
{
    std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 600));
    dispatch(effSetChunk, in.ConsumeBool(), intptr_t(bytes.size()),
             bytes.empty() ? nullptr : bytes.data());
    forgetValues();
}

template <typename T> void Host::process()
{
    VstSpeakerArrangement* own[2] = {};
    dispatch(effGetSpeakerArrangement, 0, intptr_t(&own[0]), &own[1]);
    const int frames = in.ConsumeIntegralInRange(-2, kMaxFrames);
    const size_t length = size_t(frames > 0 ? frames : 1);
    const bool inPlace = in.ConsumeBool();
    const T scale = T(in.ConsumeFloatingPointInRange<float>(-4.0f, 4.0f));
    const bool hostile = in.ConsumeIntegralInRange(0, 7) == 0;
    const T special = T(in.PickValueInArray({NAN, INFINITY, 3e38f}));
    std::vector<std::vector<T>> ins(size_t(own[0]->numChannels)), outs(size_t(own[1]->numChannels));
    std::vector<T*> inPtr, outPtr;
    bool finite = true;
    for (auto& channel : ins) {
        channel.resize(length);
        for (size_t i = 0; i < length; ++i)
            channel[i] = hostile && i % 97 == 3 ? special : scale * T(int(i * 37 % 201) - 100) / T(100);
        for (T x : channel)
            finite = finite && std::isfinite(x);
        inPtr.push_back(channel.data());
    }
    for (size_t k = 0; k < outs.size(); ++k) {
        outs[k].assign(length, T(0));
        outPtr.push_back(inPlace && k < ins.size() ? ins[k].data() : outs[k].data());
    }
    if constexpr (sizeof(T) == sizeof(float))
        effect->processReplacing(effect, inPtr.data(), outPtr.data(), frames);
    else
        effect->processDoubleReplacing(effect, inPtr.data(), outPtr.data(), frames);
    if (finite)
        for (T* channel : outPtr)
            for (size_t i = 0; i < length; ++i)
                require(std::isfinite(channel[i]));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    unsetenv("DISPLAY");  // the editor opcodes run, but no window is ever shown
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Host host(in);
    for (int i = 0; i < kMaxSteps && host.alive() && in.remaining_bytes() > 0; ++i)
        host.step();
    return 0;
}
