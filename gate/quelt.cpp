#include "gate/quelt.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstring>

namespace Zorv {

namespace {

constexpr int32_t kUniqueId = fourCC("qZvk");
constexpr const char* kPresetResource = "QueltPreset.txt";

constexpr double kLog2Of10 = 3.321928094887362;
constexpr double kRiseSeconds = 0.0005;  // 90 % of a rising step in 0.5 ms
constexpr double kFallSeconds = 0.05;    // 90 % of a falling step in 50 ms
constexpr double kMinExp2Argument = -1022.0;
constexpr double kDenormalGuard = 1e-20;
// Ramps longer than this (in samples) are capped: far beyond any real fade.
constexpr double kMaxRampSamples = 1e15;
// Bypass switches over this long between the gated and the dry signal.
constexpr double kBypassFadeSeconds = 0.005;

// 1 - 10^(-1 / (seconds * rate)), or 1 when that time is no sample at all.
double smoothingCoefficient(double seconds, double rate)
{
    double a = seconds * rate;
    if (!(a > 0.0))
        return 1.0;
    double x = (-1.0 / a) * kLog2Of10;
    return 1.0 - exp2Approx(x < kMinExp2Argument ? kMinExp2Argument : x);
}

// Samples in a ramp of `samples` length, made finite and non-negative before
// the integer truncation; the step is one over that count plus one.
double rampStep(double samples)
{
    if (!(samples > 0.0))
        samples = 0.0;
    else if (samples > kMaxRampSamples)
        samples = kMaxRampSamples;
    return 1.0 / (double(int64_t(samples)) + 1.0);
}

double powerOf(double envelope, double sample, double rise, double fall)
{
    double p = sample * sample + kDenormalGuard;
    return envelope + (p - envelope) * (p > envelope ? rise : fall);
}

// Gated and dry mixed, dry below 1; all gated exactly as it is alone.
double mixDry(double x, double g, double dry)
{
    const double wet = x * g;
    return dry <= 0.0 ? wet : wet + (x - wet) * dry;
}

}  // namespace

double exp2Approx(double x)
{
    int64_t n = int64_t(x);
    double f = x - double(n);
    double p = (((0.009877912007796169 * f + 0.0571582110011819) * f + 0.24012208799220383) * f +
                0.6928417889988181) * f + 1.0;
    uint64_t bits;
    memcpy(&bits, &p, sizeof(bits));
    bits += uint64_t(n) << 52;
    memcpy(&p, &bits, sizeof(p));
    return p;
}

Quelt::Quelt(audioMasterCallback audioMaster)
    : GEffect(audioMaster, kNumPrograms, kNumQueltParameters, 2, 2)
{
    setUniqueID(kUniqueId);
    canProcessReplacing(true);
    canDoubleReplacing(true);

    auto* thresh = new GLogRangeParam("Thresh", "dB", 1, -100.0, -1.0);
    thresh->setDefaultNatural(-70.0);
    parameters.add(thresh);
    auto* fade = new GRangeParam("Fade", "s", 2, 0.01, 1.0, 99);
    fade->setDefaultNatural(0.5);
    parameters.add(fade);
    auto* attack = new GRangeParam("Attack", "ms", 1, 0.0, 30.0, 300);
    attack->setDefaultNatural(1.0);
    parameters.add(attack);

    bank.build(kNumPrograms, &parameters);
    loadPresetFile(kPresetResource);
    features.add(new GTypedFeature<double>("Meter", &gain));

    updateSampleRate();
    updateCoefficients();
    resetState();
}

int32_t Quelt::canDo(const char* text)
{
    static const char* const kYes[] = {"plugAsChannelInsert", "plugAsSend", "bypass"};
    static const char* const kNo[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                      "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                                      "offline",          "midiProgramNames"};
    for (const char* yes : kYes)
        if (strcmp(text, yes) == 0)
            return 1;
    for (const char* no : kNo)
        if (strcmp(text, no) == 0)
            return -1;
    return GEffect::canDo(text);
}

bool Quelt::supportsIoConfig(int inputs, int outputs)
{
    return (inputs == 1 || inputs == 2) && (outputs == 1 || outputs == 2);
}

bool Quelt::isSampleRate(double rate)
{
    return std::isfinite(rate) && rate > 0.0 && rate <= kMaxSampleRate;
}

void Quelt::setSampleRate(float rate)
{
    if (!isSampleRate(rate))
        return;
    sampleRate = rate;
    updateCoefficients();
    resetState();
}

void Quelt::updateCoefficients()
{
    double r = sampleRate;
    rate.store(r, std::memory_order_relaxed);
    dryStep = 1.0 / std::max(1.0, kBypassFadeSeconds * r);
    riseCoefficient.store(smoothingCoefficient(kRiseSeconds, r), std::memory_order_relaxed);
    fallCoefficient.store(smoothingCoefficient(kFallSeconds, r), std::memory_order_relaxed);
}

void Quelt::resetState()
{
    playing = false;
    state.store(Closed, std::memory_order_relaxed);
    gain.store(0.0, std::memory_order_relaxed);
    envelopeLeft.store(0.0, std::memory_order_relaxed);
    envelopeRight.store(0.0, std::memory_order_relaxed);
    parametersChanged(1);
}

void Quelt::parametersChanged(int)
{
    refreshEditor();
}

bool Quelt::Sources::operator==(const Sources& other) const
{
    return memcmp(bits, other.bits, sizeof(bits)) == 0;
}

Quelt::Sources Quelt::currentSources()
{
    Sources sources;
    for (int i = 0; i < kNumQueltParameters; ++i) {
        const double v = bank.parameter(i)->getNormalised(currentSlot(i));
        memcpy(&sources.bits[i], &v, sizeof(v));
    }
    const double r = rate.load(std::memory_order_relaxed);
    memcpy(&sources.bits[kNumQueltParameters], &r, sizeof(r));
    return sources;
}

Quelt::Derived Quelt::derive(const Sources& sources) const
{
    double value[kNumQueltParameters + 1];
    memcpy(value, sources.bits, sizeof(value));
    const double r = value[kNumQueltParameters];
    auto natural = [&](int i) { return bank.parameter(i)->toNatural(value[i]); };
    const double amplitude = std::pow(10.0, 0.05 * natural(kThresh));
    return {amplitude * amplitude, rampStep(r * natural(kFade)),
            rampStep(r * (0.001 * natural(kAttack)))};
}

// The per-block working copy of the gate: loaded once, stored back once.
// dry: how much of the output is the dry signal, 0 processing, 1 bypassed;
// it moves by dryStep a sample towards 1 while bypassed, towards 0 otherwise.
struct Quelt::Block {
    double threshold, fade, attack, rise, fall;
    double envelopeLeft, envelopeRight, gain;
    int state;
    bool bypass;
    double dry, dryStep;
};

template <bool StereoIn, bool StereoOut, bool Crossfading>
void Quelt::runBlock(Block& b, const double* left, const double* right, double* out0, double* out1,
                     int frames) const
{
    double envL = b.envelopeLeft, envR = b.envelopeRight, g = b.gain, dry = b.dry;
    const double dryTarget = b.bypass ? 1.0 : 0.0;
    int st = b.state;
    for (int i = 0; i < frames; ++i) {
        double x0 = left[i];
        double x1 = StereoIn ? right[i] : x0;
        envL = powerOf(envL, x0, b.rise, b.fall);
        if (StereoIn)
            envR = powerOf(envR, x1, b.rise, b.fall);
        bool restart = !(envL <= DBL_MAX && envR <= DBL_MAX);
        if (restart) {  // a non-finite sample: start the detector afresh
            envL = envR = 0.0;
            g = 0.0;
            st = Closed;
        }
        double level = envL > envR ? envL : envR;
        bool above = level > b.threshold;
        bool below = level < b.threshold;
        switch (st) {
        case Open:
            if (below)
                st = Fading;
            break;
        case Fading:
            g -= b.fade;
            if (g <= 0.0) {
                g = 0.0;
                st = Closed;
            }
            if (above)
                st = Attacking;
            break;
        case Closed:
            if (above)
                st = Attacking;
            break;
        case Attacking:
            g += b.attack;
            if (g >= 1.0) {
                g = 1.0;
                st = Open;
            }
            if (below)
                st = Fading;
            break;
        default:
            break;
        }
        if (Crossfading) {
            if (dry < dryTarget)
                dry = std::min(dry + b.dryStep, 1.0);
            else if (dry > dryTarget)
                dry = std::max(dry - b.dryStep, 0.0);
            if (dry < 1.0) {
                x0 = restart ? 0.0 : mixDry(x0, g, dry);
                x1 = restart ? 0.0 : mixDry(x1, g, dry);
            }
        } else if (!b.bypass) {
            x0 = restart ? 0.0 : x0 * g;
            x1 = restart ? 0.0 : x1 * g;
        }
        mapOutputFrame(StereoIn, StereoOut, out0 + i, out1 + i, x0, x1);
    }
    b.dry = dry;
    b.envelopeLeft = envL;
    b.envelopeRight = envR;
    b.gain = g;
    b.state = st;
}

template <bool Crossfading>
void Quelt::runBlocks(Block& b, bool stereoIn, bool stereoOut, const double* left,
                      const double* right, double* out0, double* out1, int frames) const
{
    if (stereoIn && stereoOut)
        runBlock<true, true, Crossfading>(b, left, right, out0, out1, frames);
    else if (stereoIn)
        runBlock<true, false, Crossfading>(b, left, right, out0, out1, frames);
    else if (stereoOut)
        runBlock<false, true, Crossfading>(b, left, right, out0, out1, frames);
    else
        runBlock<false, false, Crossfading>(b, left, right, out0, out1, frames);
}

void Quelt::processDouble(double** in, int nIn, double** out, int nOut, int frames)
{
    if (frames < 1)
        return;
    if (!playing) {  // nothing sounded before: no fade into the bypass state
        dryShare = isBypassed() ? 1.0 : 0.0;
        playing = true;
    }
    const Sources sources = currentSources();
    if (!blockValuesSet || !(sources == blockSources)) {
        blockValues = derive(sources);
        blockSources = sources;
        blockValuesSet = true;
    }
    const auto relaxed = std::memory_order_relaxed;
    Block b{blockValues.threshold,         blockValues.fade,              blockValues.attack,
            riseCoefficient.load(relaxed), fallCoefficient.load(relaxed), envelopeLeft.load(relaxed),
            envelopeRight.load(relaxed),  gain.load(relaxed),         state.load(relaxed),
            isBypassed(),                 dryShare,                      dryStep};
    double startGain = b.gain;
    bool stereoIn = nIn > 1, stereoOut = nOut > 1;
    const double* left = in[0];
    const double* right = stereoIn ? in[1] : in[0];
    double* out0 = out[0];
    double* out1 = stereoOut ? out[1] : out[0];
    if (b.dry != (b.bypass ? 1.0 : 0.0))
        runBlocks<true>(b, stereoIn, stereoOut, left, right, out0, out1, frames);
    else
        runBlocks<false>(b, stereoIn, stereoOut, left, right, out0, out1, frames);
    dryShare = b.dry;
    envelopeLeft.store(b.envelopeLeft, relaxed);
    envelopeRight.store(b.envelopeRight, relaxed);
    gain.store(b.gain, relaxed);
    state.store(b.state, relaxed);
    if (!(b.gain == startGain))
        refreshEditor();
}

void Quelt::showGain(double value)
{
    gain.store(value, std::memory_order_relaxed);
    refreshEditor();
}

Quelt::~Quelt()
{
    setEditor(nullptr);
}

}  // namespace Zorv
