// The VST 2.4 adapter: AEffEditor, AudioEffect and AudioEffectX.
//
// AudioEffect owns the effect record handed to the host, fills it with the
// trampolines that route every host call to the object, translates opcodes
// into virtual operations with neutral defaults and wraps the host callback.
// AudioEffectX adds the 2.x opcodes. Called from the host's threads (dispatcher,
// parameters) and its audio thread (processing); holds no lock.
// Owns: the attached editor (deleted with the effect) and the embedded record.
// Borrows: the host callback.
#pragma once

#include "shell/vst.h"

#include <atomic>
#include <thread>

class AudioEffect;

// The editor as the host drives it; implemented by the framework's editor.
class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }                 // the owning effect
    virtual bool getRect(ERect** rect) { *rect = nullptr; return false; } // editor size
    virtual bool open(void* parent) { systemWindow = parent; return false; } // show in parent
    virtual void close() { systemWindow = nullptr; }                    // hide
    virtual bool isOpen() { return systemWindow != nullptr; }           // shown now
    virtual void idle() {}                                              // host idle tick
    virtual bool onKeyDown(int, int, int) { return false; }             // keys: unused
    virtual bool onKeyUp(int, int, int) { return false; }
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(int) { return false; }
    virtual bool setScale(double) { return false; }                     // host content scale; true: taken

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
    virtual ~AudioEffect();

    // Opcode translation; unknown opcodes answer 0.
    virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    // Processing and parameters.
    virtual void process(float**, float**, int32_t) {}  // deprecated accumulating call: nothing
    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) = 0;
    virtual void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames) = 0;
    virtual void setParameter(int32_t, float) {}
    virtual float getParameter(int32_t) { return 0.0f; }

    // Lifecycle and settings.
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(int32_t size) { blockSize = size; }

    // Programs and parameter texts (texts: host buffers, never null here).
    virtual void setProgram(int32_t program) { curProgram = program; }
    virtual int32_t getProgram() { return curProgram; }
    virtual void setProgramName(const char*) {}
    virtual void getProgramName(char* name) { *name = 0; }
    virtual void getParameterLabel(int32_t, char* label) { *label = 0; }
    virtual void getParameterDisplay(int32_t, char* text) { *text = 0; }
    virtual void getParameterName(int32_t, char* text) { *text = 0; }
    virtual int32_t getChunk(void** data, bool) { *data = nullptr; return 0; }
    virtual int32_t setChunk(void*, int32_t, bool) { return 0; }
    virtual int32_t getVendorVersion() { return 0; }

    // Record and flag setters.
    AEffect* getAeffect();  // the record, its version set to getVendorVersion()
    void setUniqueID(int32_t id) { cEffect.uniqueID = id; }
    void setNumInputs(int32_t n) { cEffect.numInputs = n; }
    void setNumOutputs(int32_t n) { cEffect.numOutputs = n; }
    void setInitialDelay(int32_t delay) { cEffect.initialDelay = delay; }
    void canProcessReplacing(bool on) { setFlag(effFlagsCanReplacing, on); }
    void canDoubleReplacing(bool on) { setFlag(effFlagsCanDoubleReplacing, on); }
    void programsAreChunks(bool on) { setFlag(effFlagsProgramChunks, on); }
    void setEditor(AEffEditor* newEditor);  // takes ownership; sets or clears HasEditor
    AEffEditor* getEditor() const { return editor; }

    float getSampleRate() const { return sampleRate; }
    int32_t getBlockSize() const { return blockSize; }
    int32_t getNumPrograms() const { return numPrograms; }
    int32_t getNumParams() const { return numParams; }

    // Host callbacks; each returns its neutral value without a host.
    bool beginEdit(int32_t index);
    bool endEdit(int32_t index);
    void setParameterAutomated(int32_t index, float value);  // setParameter, then tell the host
    void notifyAutomated(int32_t index, float value);        // audioMasterAutomate only
    bool updateSampleRate();                                 // ask the host for its rate
    // effClose: true when it came from inside a host call that deliversHere()
    // made; the host is called no more from then on, and the effect is deleted
    // once the dispatcher call around that delivery returns (closeIsDue).
    bool closesLater();
    bool closeIsDue() const;  // after a dispatcher call: a deferred effClose is this thread's now

protected:
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f, bool withEffect = true);
    void setFlag(int32_t flag, bool on);
    virtual bool deliversHere() const { return false; }  // a host call of ours is on this thread
    bool isHostGone() const { return hostGone.load(std::memory_order_relaxed); }

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    int32_t blockSize = 1024;
    int32_t numPrograms;
    int32_t numParams;
    std::atomic<int32_t> curProgram{0};  // read by the audio thread
    AEffect cEffect;

private:
    std::atomic<bool> hostGone{false};  // effClose has returned to the host
    std::atomic<std::thread::id> closer{};  // the thread whose effClose waits
    intptr_t dispatchEditor(int32_t opcode, void* ptr);
};

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) override;

    virtual bool string2parameter(int32_t, const char*) { return false; }
    virtual bool getProgramNameIndexed(int32_t, int32_t, char* text) { *text = 0; return false; }
    virtual int32_t getPlugCategory() { return kPlugCategEffect; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) { return false; }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out);
    virtual bool setBypass(bool) { return false; }
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual int32_t canDo(const char*) { return 0; }
    virtual int32_t getTailSize() { return 0; }
    virtual int32_t getCurrentMidiProgram() { return -1; }
    virtual bool receivesMidi() { return canDo("receiveVstMidiEvent") == 1; }
    virtual intptr_t vendorSpecific(int32_t, intptr_t, void*, float) { return 0; }

    bool getHostVendorString(char* text);   // host vendor, true when filled
    bool getHostProductString(char* text);  // host product, true when filled
    bool sizeWindow(int32_t width, int32_t height);  // asks the host to resize the editor

    // Speaker arrangements: zero-filled records with room for n speakers.
    static bool allocateArrangement(VstSpeakerArrangement** arrangement, int32_t n);
    static bool deallocateArrangement(VstSpeakerArrangement** arrangement);
    static void copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from);
    static bool matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from);

    void resume() override;  // asks for MIDI only when the effect receives it
};
