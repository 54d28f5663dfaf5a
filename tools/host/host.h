// GPluginHost: a minimal VST 2.4 host for one plug-in instance. It loads the
// library, runs the usual start sequence, offers typed dispatcher calls and
// block processing, and records every callback the plug-in makes (GCallLog).
// One thread drives it; the callback may arrive on any thread. Owns the
// library, the effect (until close) and the arrangements it hands over.
#pragma once

#include "shell/vst.h"
#include "tools/host/calllog.h"
#include "tools/host/library.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Zorv {

struct GHostConfig {
    double sampleRate = 44100.0;
    int blockSize = 512;
    intptr_t versionAnswer = kVstVersion;  // 0 makes the plug-in refuse to start
    intptr_t sampleRateAnswer = -1;        // answer to audioMasterGetSampleRate; -1: sampleRate
    bool withCallback = true;              // false: the entry point gets a null callback
    int inputs = 0;                        // both above 0: effSetSpeakerArrangement at start
    int outputs = 0;
    std::string vendor = "Quelt Test Works";
    std::string product = "Quelt Test Host";
};

template <typename T> using GChannels = std::vector<std::vector<T>>;

class GPluginHost {
public:
    explicit GPluginHost(GHostConfig config = GHostConfig());
    GPluginHost(const GPluginHost&) = delete;
    GPluginHost& operator=(const GPluginHost&) = delete;
    ~GPluginHost();

    // Opens the library and calls its entry point; false with error() set.
    bool load(const std::string& path);
    // Calls an entry point linked into the calling program; false with error() set.
    bool load(PluginEntry entry);
    // effOpen, sample rate, block size, arrangement when configured, effMainsChanged 1.
    bool start();
    // load, then start.
    bool open(const std::string& path);
    bool open(PluginEntry entry);
    // effMainsChanged 0 (when started), effClose, dlclose; effClose's answer (0 when nothing was loaded).
    intptr_t close();

    AEffect* effect() const { return plugin; }
    const std::string& error() const { return lastError; }
    const GHostConfig& config() const { return settings; }
    GCallLog& calls() { return log; }

    // Raw dispatcher call.
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    // Dispatcher call with a zeroed 256-byte text buffer; returns the text, result through answer.
    std::string text(int32_t opcode, int32_t index = 0, intptr_t value = 0,
                     intptr_t* answer = nullptr);

    std::string effectName();
    std::string vendorString();
    std::string productString();
    intptr_t vendorVersion();
    std::string paramName(int index);
    std::string paramLabel(int index);
    std::string paramDisplay(int index);
    float getParameter(int index);
    void setParameter(int index, float value);
    // effString2Parameter with text; the plug-in's answer.
    bool string2parameter(int index, const std::string& text);
    // Index of the parameter whose name matches without regard to case, or -1.
    int findParameter(const std::string& name);

    int program();
    void setProgram(int index);
    std::string programName();
    std::string programNameIndexed(int index);
    bool setProgramName(const std::string& name);
    intptr_t canDo(const std::string& text);
    bool setBypass(bool on);
    void setSampleRate(float rate);

    // effGetChunk: the answered size; bytes receives a copy when the plug-in handed some out.
    intptr_t getChunk(bool program, std::vector<uint8_t>& bytes);
    // effSetChunk with the bytes; the plug-in's answer.
    intptr_t setChunk(const std::vector<uint8_t>& bytes, bool program);

    // effSetSpeakerArrangement with fresh arrangements of ins and outs channels.
    bool setSpeakerArrangement(int ins, int outs);
    // effGetSpeakerArrangement; channel counts of the plug-in's arrangements (-1 when absent).
    bool getSpeakerArrangement(int& ins, int& outs);

    // One processReplacing / processDoubleReplacing call.
    void processBlock(float** in, float** out, int32_t frames);
    void processBlock(double** in, double** out, int32_t frames);
    // Runs in through the plug-in in blocks of at most block frames; out is resized to
    // outChannels channels of the input's length.
    void process(const GChannels<float>& in, GChannels<float>& out, int outChannels, int block);
    void process(const GChannels<double>& in, GChannels<double>& out, int outChannels, int block);

    // The callback handed to every plug-in; routes to the host owning the effect.
    static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                             void* ptr, float opt);

private:
    intptr_t answer(int32_t opcode, void* ptr);
    template <typename T>
    void processAll(const GChannels<T>& in, GChannels<T>& out, int outChannels, int block);

    GHostConfig settings;
    GPluginLibrary library;
    GCallLog log;
    AEffect* plugin = nullptr;
    bool started = false;
    std::string lastError;
};

}  // namespace Zorv
