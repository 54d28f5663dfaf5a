#include "shell/audioeffect.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

AudioEffect* objectOf(AEffect* e)
{
    return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

intptr_t dispatchTrampoline(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                            float opt)
{
    AudioEffect* effect = objectOf(e);
    if (!effect)
        return 0;
    intptr_t result = 0;
    try {
        result = effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        result = 0;
    }
    if (opcode == effClose) {
        if (!effect->closesLater())
            delete effect;
        return 1;
    }
    if (effect->closeIsDue())  // an effClose made from inside this call
        delete effect;
    return result;
}

void processTrampoline(AEffect* e, float** in, float** out, int32_t frames)
{
    if (AudioEffect* effect = objectOf(e))
        effect->process(in, out, frames);
}

void processReplacingTrampoline(AEffect* e, float** in, float** out, int32_t frames)
{
    AudioEffect* effect = objectOf(e);
    try {
        if (effect)
            effect->processReplacing(in, out, frames);
    } catch (...) {  // nothing crosses into the host
    }
}

void processDoubleTrampoline(AEffect* e, double** in, double** out, int32_t frames)
{
    if (AudioEffect* effect = objectOf(e))
        effect->processDoubleReplacing(in, out, frames);
}

void setParameterTrampoline(AEffect* e, int32_t index, float value)
{
    if (AudioEffect* effect = objectOf(e))
        effect->setParameter(index, value);
}

float getParameterTrampoline(AEffect* e, int32_t index)
{
    AudioEffect* effect = objectOf(e);
    return effect ? effect->getParameter(index) : 0.0f;
}

// Opcodes whose ptr is a text buffer or text the host owns. effString2Parameter
// is not one: a null text asks whether the parameter takes text at all.
bool needsText(int32_t opcode)
{
    switch (opcode) {
    case effSetProgramName:
    case effGetProgramName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effGetProgramNameIndexed:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
    case effCanDo:
        return true;
    default:
        return false;
    }
}

constexpr int32_t kMinArrangementRoom = 8;

size_t arrangementBytes(int32_t n)
{
    int32_t room = n > kMinArrangementRoom ? n : kMinArrangementRoom;
    return offsetof(VstSpeakerArrangement, speakers) + size_t(room) * sizeof(VstSpeakerProperties);
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams)
{
    memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchTrampoline;
    cEffect.process = processTrampoline;
    cEffect.setParameter = setParameterTrampoline;
    cEffect.getParameter = getParameterTrampoline;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCC("NoEf");
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingTrampoline;
    cEffect.processDoubleReplacing = processDoubleTrampoline;
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

AEffect* AudioEffect::getAeffect()
{
    cEffect.version = getVendorVersion();
    return &cEffect;
}

void AudioEffect::setFlag(int32_t flag, bool on)
{
    if (on)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    if (editor != newEditor)
        delete editor;
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt,
                               bool withEffect)
{
    if (!audioMaster || hostGone.load(std::memory_order_relaxed))
        return 0;
    return audioMaster(withEffect ? &cEffect : nullptr, opcode, index, value, ptr, opt);
}

bool AudioEffect::closesLater()
{
    if (!deliversHere())
        return false;
    hostGone.store(true, std::memory_order_relaxed);
    closer.store(std::this_thread::get_id());
    return true;
}

bool AudioEffect::closeIsDue() const
{
    return closer.load(std::memory_order_relaxed) == std::this_thread::get_id() && !deliversHere();
}

bool AudioEffect::beginEdit(int32_t index)
{
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffect::endEdit(int32_t index)
{
    return callHost(audioMasterEndEdit, index) != 0;
}

void AudioEffect::setParameterAutomated(int32_t index, float value)
{
    setParameter(index, value);
    notifyAutomated(index, getParameter(index));
}

void AudioEffect::notifyAutomated(int32_t index, float value)
{
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

bool AudioEffect::updateSampleRate()
{
    intptr_t rate = callHost(audioMasterGetSampleRate);
    if (rate > 0)
        sampleRate = float(rate);
    return rate > 0;
}

intptr_t AudioEffect::dispatchEditor(int32_t opcode, void* ptr)
{
    if (!editor)
        return 0;
    switch (opcode) {
    case effEditGetRect:
        return ptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen:
        return editor->open(ptr);
    case effEditClose:
        editor->close();
        return 0;
    case effEditIdle:
        editor->idle();
        return 0;
    default:
        return 0;
    }
}

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    if (needsText(opcode) && !ptr)
        return 0;
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effSetProgram:
        if (value < numPrograms && value >= INT32_MIN)
            setProgram(int32_t(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        setProgramName(text);
        return 0;
    case effGetProgramName:
        getProgramName(text);
        return 0;
    case effGetParamLabel:
        getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        getParameterName(index, text);
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(int32_t(value));
        return 0;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effEditGetRect:
    case effEditOpen:
    case effEditClose:
    case effEditIdle:
        return dispatchEditor(opcode, ptr);
    case effIdentify:
        return fourCC("NvEf");
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return setChunk(ptr, int32_t(value), index != 0);
    default:
        return 0;
    }
}

intptr_t AudioEffectX::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    if (needsText(opcode) && !ptr)
        return 0;
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effCanBeAutomated:
        return 1;
    case effString2Parameter:
        return string2parameter(index, text);
    case effGetProgramNameIndexed:
        return getProgramNameIndexed(int32_t(value), index, text);
    case effGetPlugCategory:
        return getPlugCategory();
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                     static_cast<VstSpeakerArrangement*>(ptr));
    case effGetSpeakerArrangement:
        if (!value || !ptr)
            return 0;
        return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                     static_cast<VstSpeakerArrangement**>(ptr));
    case effSetBypass:
        setBypass(value != 0);
        return 1;
    case effGetEffectName:
        return getEffectName(text);
    case effGetVendorString:
        return getVendorString(text);
    case effGetProductString:
        return getProductString(text);
    case effGetVendorVersion:
        return getVendorVersion();
    case effCanDo:
        return canDo(text);
    case effGetTailSize:
        return getTailSize();
    case effGetVstVersion:
        return kVstVersion;
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram();
    case effSetTotalSampleToProcess:
        return value;
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out)
{
    *in = nullptr;
    *out = nullptr;
    return false;
}

void AudioEffectX::resume()
{
    if (!(cEffect.flags & effFlagsIsSynth) && receivesMidi())
        callHost(audioMasterWantMidi, 0, 1);
}

bool AudioEffectX::getHostVendorString(char* text)
{
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text)
{
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

bool AudioEffectX::sizeWindow(int32_t width, int32_t height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, int32_t n)
{
    if (!arrangement || n < 0)
        return false;
    deallocateArrangement(arrangement);
    void* bytes = calloc(1, arrangementBytes(n));
    if (!bytes)
        return false;
    *arrangement = static_cast<VstSpeakerArrangement*>(bytes);
    (*arrangement)->numChannels = n;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement)
{
    if (!arrangement)
        return false;
    free(*arrangement);
    *arrangement = nullptr;
    return true;
}

void AudioEffectX::copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from)
{
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    memset(to->name, 0, sizeof(to->name));
    memcpy(to->name, from->name, strnlen(from->name, sizeof(to->name) - 1));
    to->type = from->type;
    memcpy(to->future, from->future, sizeof(to->future));
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from)
{
    // The copy is made before the old record goes: from may be *to, or share it.
    VstSpeakerArrangement* copy = nullptr;
    if (!to || !from || !allocateArrangement(&copy, from->numChannels))
        return false;
    copy->type = from->type;
    for (int32_t i = 0; i < from->numChannels; ++i)
        copySpeaker(&copy->speakers[i], &from->speakers[i]);
    deallocateArrangement(to);
    *to = copy;
    return true;
}
