#include "effect/effect.h"

#include "effect/numbers.h"

#include <algorithm>
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

// Marks the calling thread as delivering for the duration of one host call.
struct Delivering {
    explicit Delivering(std::atomic<std::thread::id>& mark) : mark(mark)
    {
        mark.store(std::this_thread::get_id());
    }
    ~Delivering() { mark.store(std::thread::id()); }
    std::atomic<std::thread::id>& mark;
};

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
    : AudioEffectX(audioMaster, numPrograms, numParams), edits(numParams)
{
    setNumInputs(numInputs);
    setNumOutputs(numOutputs);
    allocateArrangement(&inputArrangement, numInputs);
    allocateArrangement(&outputArrangement, numOutputs);
    prepareScratch(blockSize);  // a host that never announces its block size still gets an area
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
        curProgram.store(program);
    valuesChanged();
}

int32_t GEffect::getProgram()
{
    return curProgram.load(std::memory_order_relaxed);
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
    return float(bank.parameter(index)->getNormalised(currentSlot(index)));
}

void GEffect::setParameter(int32_t index, float value)
{
    if (hasParameter(index))
        writeParameter(index, value);
}

void GEffect::writeParameter(int index, double normalised)
{
    bank.parameter(index)->setNormalised(currentSlot(index), normalised);
    onParameterChanged(index);
    valuesChanged();
}

void GEffect::gestureBegin(int index)
{
    edits.begin(index);
    editsWaiting();
}

void GEffect::gestureValue(int index)
{
    if (hasParameter(index))
        edits.value(index, getParameter(index));
    editsWaiting();
}

void GEffect::gestureEnd(int index)
{
    edits.end(index);
    editsWaiting();
}

void GEffect::editsWaiting()
{
    if (editSink)
        editSink->editsWaiting();
}

void GEffect::deliverEdits()
{
    edits.drain(editSink ? *editSink : hostSink);
}

bool GEffect::deliversHere() const
{
    return deliverer.load() == std::this_thread::get_id();
}

void GEffect::HostSink::beginEdit(int index)
{
    Delivering here(effect.deliverer);
    effect.beginEdit(index);
}

void GEffect::HostSink::automate(int index, float normalised)
{
    Delivering here(effect.deliverer);
    effect.notifyAutomated(index, normalised);
}

void GEffect::HostSink::endEdit(int index)
{
    Delivering here(effect.deliverer);
    effect.endEdit(index);
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
    parameter->parseValue(currentSlot(index), text);
    onParameterChanged(index);
    valuesChanged();
    return accepts;
}

int32_t GEffect::getChunk(void** data, bool isPreset)
{
    BankLock hold = lockBank();
    const std::thread::id caller = std::this_thread::get_id();
    auto copy = std::find_if(chunkCopies.begin(), chunkCopies.end(),
                             [&](const ChunkCopy& c) { return c.caller == caller; });
    if (copy == chunkCopies.end())
        copy = chunkCopies.insert(chunkCopies.end(), ChunkCopy{caller, {}});
    // A copy per calling thread: each host thread reads its own after this returns,
    // while other threads save too or write the bank.
    const int32_t size = isPreset ? bank.getRecordSize() : bank.getBankSize();
    copy->bytes.resize(size_t(size));
    bank.writeRecords(copy->bytes.data(), isPreset ? curProgram.load() : 0,
                      isPreset ? 1 : numPrograms);
    *data = copy->bytes.data();
    return size;
}

int32_t GEffect::setChunk(void* data, int32_t byteSize, bool isPreset)
{
    int32_t expected = isPreset ? bank.getRecordSize() : bank.getBankSize();
    if (!data || byteSize < expected || expected <= 0)
        return 0;
    BankLock hold = lockBank();
    bank.readRecords(static_cast<const uint8_t*>(data), isPreset ? curProgram.load() : 0,
                     isPreset ? 1 : numPrograms);
    valuesChanged();
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
    const int current = curProgram;
    if (!bank.hasProgram(destination) || !bank.hasProgram(current))
        return false;
    if (destination != current)
        bank.copyRecord(destination, current);
    return true;
}

intptr_t GEffect::vendorSpecific(int32_t index, intptr_t value, void*, float opt)
{
    if (index != kVendorScaleIndex || value != kVendorScaleValue || !editor)
        return 0;
    return editor->setScale(opt) ? 1 : 0;
}

}  // namespace Zorv
