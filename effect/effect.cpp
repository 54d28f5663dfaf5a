#include "effect/effect.h"

#include "editor/editor.h"
#include "effect/numbers.h"

#include <cstdio>
#include <cstring>

namespace Zorv {

namespace {

constexpr int kDisplayMaxLength = 31;
constexpr int kDisplayCutLength = 28;
constexpr int kProgramNameLength = kVstMaxProgNameLen;

// Canonical channel-pair texts: "NinMout".
const char* const kIoConfigs[] = {"1in1out", "1in2out", "2in1out", "2in2out", "2in4out",
                                  "4in2out", "4in4out", "4in8out", "8in4out", "8in8out"};

bool copyName(char* out, const char* name, size_t max)
{
    if (!name)
        return false;
    copyText(out, name, max);
    return true;
}

}  // namespace

GEffect::GEffect(audioMasterCallback audioMaster, int numPrograms, int numParams, int numInputs,
                 int numOutputs)
    : AudioEffectX(audioMaster, numPrograms, numParams)
{
    setNumInputs(numInputs);
    setNumOutputs(numOutputs);
    allocateArrangement(&inputArrangement, numInputs);
    allocateArrangement(&outputArrangement, numOutputs);
}

GEffect::~GEffect()
{
    setEditor(nullptr);
    deallocateArrangement(&inputArrangement);
    deallocateArrangement(&outputArrangement);
    delete[] scratch;
}

void GEffect::setProgram(int32_t program)
{
    BankLock hold = lockBank();
    if (program >= 0 && program < numPrograms && bank.hasProgram(program))
        curProgram = program;
    parametersChanged(0);
}

int32_t GEffect::getProgram()
{
    BankLock hold = lockBank();
    return curProgram;
}

void GEffect::setProgramName(const char* name)
{
    BankLock hold = lockBank();
    if (bank.hasProgram(curProgram) && name && name[0])
        bank.setProgramName(curProgram, name);
}

void GEffect::getProgramName(char* name)
{
    BankLock hold = lockBank();
    copyText(name, bank.hasProgram(curProgram) ? bank.programName(curProgram) : "",
             kProgramNameLength);
}

bool GEffect::getProgramNameIndexed(int32_t, int32_t index, char* text)
{
    BankLock hold = lockBank();
    if (!bank.hasProgram(index)) {
        *text = 0;
        return false;
    }
    copyText(text, bank.programName(index), kProgramNameLength);
    return true;
}

float GEffect::getParameter(int32_t index)
{
    if (!hasParameter(index))
        return 0.0f;
    BankLock hold = lockBank();
    return float(bank.parameter(index)->getNormalised(currentSlot(index)));
}

void GEffect::setParameter(int32_t index, float value)
{
    if (hasParameter(index))
        writeParameter(index, value);
}

void GEffect::writeParameter(int index, double normalised)
{
    BankLock hold = lockBank();
    bank.parameter(index)->setNormalised(currentSlot(index), normalised);
    refreshCurrentTexts(index);
    onParameterChanged(index);
    parametersChanged(0);
}

void GEffect::getParameterName(int32_t index, char* text)
{
    copyText(text, hasParameter(index) ? bank.parameter(index)->getName() : "", kVstMaxParamStrLen);
}

void GEffect::getParameterLabel(int32_t index, char* text)
{
    copyText(text, hasParameter(index) ? bank.parameter(index)->getUnit() : "", kVstMaxParamStrLen);
}

void GEffect::getParameterDisplay(int32_t index, char* text)
{
    BankLock hold = lockBank();
    const char* value = hasParameter(index) ? bank.valueText(curProgram, index) : "";
    if (strlen(value) <= size_t(kDisplayMaxLength)) {
        copyText(text, value, kDisplayMaxLength);
        return;
    }
    memcpy(text, value, kDisplayCutLength);
    memcpy(text + kDisplayCutLength, "...", 4);
}

bool GEffect::string2parameter(int32_t index, const char* text)
{
    if (!hasParameter(index))
        return false;
    const GEffectParameter* parameter = bank.parameter(index);
    bool accepts = parameter->acceptsText();
    if (!text || !accepts)
        return accepts;
    BankLock hold = lockBank();
    parameter->parseValue(currentSlot(index), text);
    refreshCurrentTexts(index);
    onParameterChanged(index);
    parametersChanged(0);
    return accepts;
}

int32_t GEffect::getChunk(void** data, bool isPreset)
{
    BankLock hold = lockBank();
    const uint8_t* bytes = isPreset ? bank.record(curProgram) : bank.bankBytes();
    const int32_t size = isPreset ? bank.getRecordSize() : bank.getBankSize();
    // A copy: the host reads it after this returns, while the editor may write the bank.
    chunkCopy.assign(bytes, bytes + size);
    *data = chunkCopy.data();
    return size;
}

int32_t GEffect::setChunk(void* data, int32_t byteSize, bool isPreset)
{
    int32_t expected = isPreset ? bank.getRecordSize() : bank.getBankSize();
    if (!data || byteSize < expected || expected <= 0)
        return 0;
    BankLock hold = lockBank();
    uint8_t* to = isPreset ? bank.record(curProgram) : bank.bankBytes();
    memcpy(to, data, size_t(expected));
    for (int p = isPreset ? curProgram : 0; p < (isPreset ? curProgram + 1 : numPrograms); ++p)
        bank.programName(p)[ProgramBank::kNameBytes - 1] = 0;
    bank.refreshAllTexts();
    parametersChanged(0);
    return expected;
}

bool GEffect::getEffectName(char* text)
{
    return copyName(text, effectName(), kVstMaxEffectNameLen - 1);
}

bool GEffect::getVendorString(char* text)
{
    return copyName(text, vendorName(), kVstMaxVendorStrLen - 1);
}

bool GEffect::getProductString(char* text)
{
    return copyName(text, productName(), kVstMaxProductStrLen - 1);
}

int32_t GEffect::canDo(const char* text)
{
    for (const char* config : kIoConfigs) {
        if (strcmp(text, config) != 0)
            continue;
        int ins = 0, outs = 0;
        sscanf(config, "%din%dout", &ins, &outs);
        return supportsIoConfig(ins, outs) ? 1 : -1;
    }
    return 0;
}

bool GEffect::setBypass(bool on)
{
    if (canDo("bypass") != 1)
        return false;
    bypass.store(on, std::memory_order_relaxed);
    return true;
}

bool GEffect::setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out)
{
    if (!in || !out || !supportsIoConfig(in->numChannels, out->numChannels))
        return false;
    // Both copies first: a host may hand back our own records, even crossed over.
    VstSpeakerArrangement* newIn = nullptr;
    VstSpeakerArrangement* newOut = nullptr;
    if (!matchArrangement(&newIn, in) || !matchArrangement(&newOut, out)) {
        deallocateArrangement(&newIn);
        deallocateArrangement(&newOut);
        return false;
    }
    deallocateArrangement(&inputArrangement);
    deallocateArrangement(&outputArrangement);
    inputArrangement = newIn;
    outputArrangement = newOut;
    return true;
}

bool GEffect::getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out)
{
    *in = inputArrangement;
    *out = outputArrangement;
    return true;
}

int GEffect::inputChannels() const
{
    return inputArrangement ? inputArrangement->numChannels : 0;
}

int GEffect::outputChannels() const
{
    return outputArrangement ? outputArrangement->numChannels : 0;
}

bool GEffect::copyProgram(int destination)
{
    BankLock hold = lockBank();
    if (!bank.hasProgram(destination) || !bank.hasProgram(curProgram))
        return false;
    if (destination != curProgram)
        memcpy(bank.record(destination), bank.record(curProgram), size_t(bank.getRecordSize()));
    return true;
}

intptr_t GEffect::vendorSpecific(int32_t index, intptr_t value, void*, float opt)
{
    if (index != kVendorScaleIndex || value != kVendorScaleValue || !editor)
        return 0;
    static_cast<GEditor*>(editor)->setScale(opt);
    return 1;
}

void GEffect::refreshEditor()
{
    if (isEditorOpen() && editor)
        static_cast<GEditor*>(editor)->refreshThrottled();
}

}  // namespace Zorv
