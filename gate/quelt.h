// Quelt: the stereo noise gate. A power detector with separate rise and fall
// smoothing feeds a four-state machine (open, fading, closed, attacking) that
// ramps the gain linearly up over the attack time and down over the fade
// time; the gain doubles as the "Meter" feature. Three parameters: "Thresh"
// (dB), "Fade" (s), "Attack" (ms). Bypass crossfades between the gated and
// the dry signal over 5 ms; once over, the output is the input bit for bit.
//
// Threads: processDouble runs on the audio thread and alone writes the gate
// state. The values it runs on (threshold power, fade and attack steps) are
// its own: at the start of each block it reads the three parameter slots and
// the rate, and derives them again only when their bits changed, so a value
// written on any thread (one atomic store) is the one the next block uses.
// Resets come from the host's threads while the host keeps audio stopped.
// All shared scalars are relaxed atomics, read into locals once per block.
#pragma once

#include "effect/effect.h"

namespace Zorv {

enum GateState : int { Open = 0, Fading = 1, Closed = 2, Attacking = 3 };

enum QueltParameter : int { kThresh = 0, kFade = 1, kAttack = 2, kNumQueltParameters = 3 };

// Fast base-2 exponential: a quartic on the fraction, the integer part added
// to the binary exponent. No range check; callers keep x above -1022.
double exp2Approx(double x);

class Quelt : public GEffect {
public:
    static constexpr int kNumPrograms = 10;
    static constexpr int kVendorVersion = 2700;

    explicit Quelt(audioMasterCallback audioMaster);
    ~Quelt() override;  // ends the editor first: its UI thread reads this object's values

    const char* effectName() override { return "Quelt"; }
    const char* vendorName() override { return "Zorv"; }
    const char* productName() override { return "Quelt"; }
    const char* versionText() override { return "2.7"; }
    const char* buildText() override { return "2.7"; }
    const char* buildDate() override { return "27 Jan 2021"; }
    const char* platformName() override { return "Linux64"; }
    int32_t getVendorVersion() override { return kVendorVersion; }
    int32_t getPlugCategory() override { return kPlugCategEffect; }
    int32_t canDo(const char* text) override;

    // A rate the gate can run at: finite, above 0, at most kMaxSampleRate.
    static constexpr double kMaxSampleRate = 1e7;
    static bool isSampleRate(double rate);
    void setSampleRate(float rate) override;  // new coefficients, then reset; no rate: nothing
    void resetState() override;               // closed, silent, envelopes cleared
    void parametersChanged(int reason) override;
    bool supportsIoConfig(int inputs, int outputs) override;
    void processDouble(double** in, int nIn, double** out, int nOut, int frames) override;

    // Read-outs: the derived values of the current parameter values, and the gate state.
    double getThresholdPower() { return derive(currentSources()).threshold; }
    double getFadeStep() { return derive(currentSources()).fade; }
    double getAttackStep() { return derive(currentSources()).attack; }
    double getRiseCoefficient() const { return riseCoefficient.load(std::memory_order_relaxed); }
    double getFallCoefficient() const { return fallCoefficient.load(std::memory_order_relaxed); }
    double getGain() const { return gain.load(std::memory_order_relaxed); }
    int getState() const { return state.load(std::memory_order_relaxed); }
    // For an editor whose gate runs elsewhere: shows that gate's gain, 0..1. Wait-free.
    void showGain(double value);

private:
    struct Block;
    struct Derived {
        double threshold, fade, attack;
    };
    // What the derived values come from: the slots' and the rate's bits.
    struct Sources {
        uint64_t bits[kNumQueltParameters + 1];
        bool operator==(const Sources& other) const;
    };
    Sources currentSources();
    Derived derive(const Sources& sources) const;
    template <bool StereoIn, bool StereoOut, bool Crossfading>
    void runBlock(Block& b, const double* left, const double* right, double* out0, double* out1,
                  int frames) const;
    template <bool Crossfading>
    void runBlocks(Block& b, bool stereoIn, bool stereoOut, const double* left, const double* right,
                   double* out0, double* out1, int frames) const;
    void updateCoefficients();

    std::atomic<double> rate{44100.0};  // the sample rate the host set last
    Sources blockSources{};             // audio thread: what blockValues came from
    Derived blockValues{0.0, 1.0, 1.0};
    bool blockValuesSet = false;
    double dryShare = 0.0;  // audio thread: 1 fully bypassed
    std::atomic<bool> playing{false};  // audio thread; a reset (audio stopped) clears it
    double dryStep = 1.0;   // per sample, from the rate
    std::atomic<int> state{Closed};
    std::atomic<double> gain{0.0};
    std::atomic<double> envelopeLeft{0.0};
    std::atomic<double> envelopeRight{0.0};
    std::atomic<double> riseCoefficient{1.0};
    std::atomic<double> fallCoefficient{1.0};
};

// Builds the gate (and, where the skin allows, its editor); null on failure.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

}  // namespace Zorv
