// GEffect: the framework's audio-side base. It turns the adapter's
// per-opcode virtuals into a parameter-object model: parameters, a program
// bank with cached texts, features and commands for the editor, speaker
// arrangements, bypass, and the single-precision path into the product's
// double-precision processing.
//
// Threads: the host's threads call the program, parameter, chunk and
// settings operations; the audio thread calls processReplacing,
// processDoubleReplacing, setParameter and getParameter; the editor thread
// writes parameters through the same operations. Whatever the audio thread
// may call is wait-free: values and the current program index are atomics,
// a redraw request is a flag the editor's UI thread picks up. Program names,
// chunks and texts are guarded by the bank lock, which only the other
// threads take.
// The editor's gestures never call the host from its thread: they wait in the
// edit queue until the host's own thread asks for them (deliverEdits, from
// the editor's open, idle and close), and the host facts the editor shows are
// read on that thread too.
// Owns: parameters, bank, features, commands, arrangements, scratch, editor,
// edit queue.
#pragma once

#include "effect/editqueue.h"
#include "effect/feature.h"
#include "effect/programbank.h"
#include "shell/audioeffect.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Zorv {

class GEffect : public AudioEffectX {
public:
    using BankLock = std::unique_lock<std::recursive_mutex>;

    static constexpr int kMaxChannels = 2;
    static constexpr int kVariableValueSize = 128;

    GEffect(audioMasterCallback audioMaster, int numPrograms, int numParams, int numInputs,
            int numOutputs);
    ~GEffect() override;

    // Programs.
    void setProgram(int32_t program) override;  // out of range: ignored; always recomputes
    int32_t getProgram() override;              // wait-free
    void setProgramName(const char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;

    // Parameters of the current program (index outside the table: 0 or empty text).
    float getParameter(int32_t index) override;
    void setParameter(int32_t index, float value) override;
    void getParameterName(int32_t index, char* text) override;
    void getParameterLabel(int32_t index, char* text) override;
    void getParameterDisplay(int32_t index, char* text) override;
    bool string2parameter(int32_t index, const char* text) override;

    // State chunk: a copy of the bank's bytes, one record or all of them, valid
    // until the calling thread's next getChunk.
    int32_t getChunk(void** data, bool isPreset) override;
    int32_t setChunk(void* data, int32_t byteSize, bool isPreset) override;

    // Identity, capabilities, settings.
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t canDo(const char* text) override;
    bool setBypass(bool on) override;
    bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override;
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override;
    void setBlockSize(int32_t size) override;
    // The host's content scale for the editor (index kVendorScaleIndex, value
    // kVendorScaleValue, factor in opt): 1 when the editor takes it; a factor it
    // refuses and any other call 0.
    intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) override;
    void suspend() override;
    void resume() override;

    // Processing through the current arrangements' channel counts.
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames) override;

    // Framework hooks for the product.
    virtual const char* effectName() { return nullptr; }
    virtual const char* vendorName() { return nullptr; }
    virtual const char* productName() { return nullptr; }
    virtual const char* versionText() { return nullptr; }
    virtual const char* buildText() { return nullptr; }
    virtual const char* buildDate() { return nullptr; }
    virtual const char* platformName() { return nullptr; }
    virtual void editorOpened() { editorOpen.store(true, std::memory_order_relaxed); }
    virtual void editorClosed() { editorOpen.store(false, std::memory_order_relaxed); }
    virtual void performCommand(int, bool, bool) {}
    virtual void resetState() = 0;
    virtual bool supportsIoConfig(int inputs, int outputs) = 0;
    virtual void expandVariables(char* out, int size, const char* text);  // "${Name}" substitution
    virtual void parametersChanged(int reason) = 0;
    virtual void onParameterChanged(int) {}
    virtual bool copyProgram(int destination);
    virtual bool loadPresetFile(const char* resourceName);
    virtual void getVariable(char* out, int size, const char* name);
    virtual void writeOutputFrame(bool stereoIn, bool stereoOut, double* out0, double* out1,
                                  double left, double right);
    virtual void processDouble(double** in, int nIn, double** out, int nOut, int frames) = 0;
    virtual void processFloat(float** in, int nIn, float** out, int nOut, int frames);

    // Asks the editor to redraw: a flag its UI thread picks up. Wait-free, any thread.
    // Sequentially consistent: the UI thread's doze and the host's idle pair through it.
    void refreshEditor() { editorRefresh.store(true); }
    bool takeEditorRefresh() { return editorRefresh.exchange(false); }
    bool isEditorRefreshPending() const { return editorRefresh.load(); }
    // Writes a value of the current program through the full change protocol; wait-free.
    void writeParameter(int index, double normalised);

    // The editor's gestures on parameter index, queued for the host; wait-free.
    void gestureBegin(int index);
    void gestureValue(int index);  // the current value
    void gestureEnd(int index);
    // Host's thread: what the editor queued, to the edit sink. The sink is the
    // VST 2.4 host unless an adapter set its own before the editor opened.
    void deliverEdits();
    void setEditSink(GEditSink* sink) { editSink = sink; }
    // Host's thread: asks the host for the facts the editor's texts show.
    void readHostFacts();

    // Held while reading names, texts or whole records; never by the audio thread.
    BankLock lockBank() const { return BankLock(bankMutex); }
    ProgramBank& getBank() { return bank; }
    const GParameterList& getParameters() const { return parameters; }
    GFeatureMgr& getFeatures() { return features; }
    GCommandMgr& getCommands() { return commands; }
    bool isBypassed() const { return bypass.load(std::memory_order_relaxed); }
    bool isEditorOpen() const { return editorOpen.load(std::memory_order_relaxed); }
    int inputChannels() const;
    int outputChannels() const;

    // The framework's output mapping, inlined by products that keep it.
    static void mapOutputFrame(bool stereoIn, bool stereoOut, double* out0, double* out1,
                               double left, double right)
    {
        if (stereoIn && !stereoOut) {
            *out0 = (left + right) * 0.5;
            return;
        }
        *out0 = left;
        if (stereoOut)
            *out1 = stereoIn ? right : left;
    }

protected:
    // Current program's slot of parameter i.
    void* currentSlot(int i) { return bank.slot(curProgram.load(std::memory_order_relaxed), i); }
    double naturalValue(int i) { return bank.parameter(i)->getNatural(currentSlot(i)); }
    // After any value write: the product's hook.
    void valuesChanged() { parametersChanged(0); }
    // While a delivery calls the host on this thread: an effClose made there waits for it.
    bool deliversHere() const override;

    GParameterList parameters;
    mutable std::recursive_mutex bankMutex;
    ProgramBank bank;
    GFeatureMgr features;
    GCommandMgr commands;
    std::atomic<bool> editorOpen{false};
    VstSpeakerArrangement* inputArrangement = nullptr;
    VstSpeakerArrangement* outputArrangement = nullptr;
    std::atomic<bool> bypass{false};

private:
    struct ChunkCopy {
        std::thread::id caller;
        std::vector<uint8_t> bytes;
    };
    // The VST 2.4 host as an edit sink; marks each call's thread as delivering.
    class HostSink : public GEditSink {
    public:
        explicit HostSink(GEffect& effect) : effect(effect) {}
        void beginEdit(int index) override;
        void automate(int index, float normalised) override;
        void endEdit(int index) override;
        bool stopped() override { return effect.isHostGone(); }

    private:
        GEffect& effect;
    };

    bool hasParameter(int32_t index) const { return bank.hasParameter(index); }
    void editsWaiting();  // the writer's thread: tells the edit sink
    void prepareScratch(int frames);
    int layOutScratch(int nIn, int nOut, int frames);  // frames per piece, 0: no area
    void growScratch(size_t needed);  // throws on failure, keeping the old area

    std::vector<ChunkCopy> chunkCopies;  // what getChunk handed each calling thread last
    std::atomic<bool> editorRefresh{false};
    GEditQueue edits;
    HostSink hostSink{*this};
    GEditSink* editSink = nullptr;
    std::atomic<std::thread::id> deliverer{};  // the thread inside a HostSink call
    mutable std::mutex factsMutex;             // host and UI threads, never the audio thread
    std::string hostVendor, hostProduct;       // as the host last told them; empty: unknown
    double* scratch = nullptr;
    size_t scratchCapacity = 0;
    int scratchInputs = 0;
    int scratchOutputs = 0;
    int scratchFrames = 0;
    double* scratchIn[kMaxChannels] = {};
    double* scratchOut[kMaxChannels] = {};
};

}  // namespace Zorv
