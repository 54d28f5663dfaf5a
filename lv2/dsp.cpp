#include "lv2/dsp.h"

#include "effect/channels.h"

#include <limits>
#include <new>

namespace Zorv::Lv2 {

namespace {

// Scratch laid out for this many frames when the host names no maximum;
// longer blocks run in pieces.
constexpr int kDefaultBlock = 4096;
constexpr float kUnapplied = std::numeric_limits<float>::quiet_NaN();

}  // namespace

GLv2Gate* GLv2Gate::create(int channels, double rate, int maxBlock)
{
    if ((channels != kMono && channels != kStereo) || !Quelt::isSampleRate(rate))
        return nullptr;
    try {
        std::unique_ptr<Quelt> effect(new Quelt(nullptr));
        if (!useChannels(*effect, channels))
            return nullptr;
        effect->setSampleRate(float(rate));
        effect->setBlockSize(maxBlock > 0 ? maxBlock : kDefaultBlock);
        return new GLv2Gate(std::move(effect), channels);
    } catch (...) {
        return nullptr;
    }
}

GLv2Gate::GLv2Gate(std::unique_ptr<Quelt> effect, int channels)
    : effect(std::move(effect)), channels(channels)
{
    for (float& value : applied)
        value = kUnapplied;
}

GLv2Gate::~GLv2Gate() = default;

void GLv2Gate::connect(uint32_t port, void* data)
{
    float* buffer = static_cast<float*>(data);
    if (isParameterPort(port))
        controls[port - kFirstParameterPort] = buffer;
    else if (port == kEnabledPort)
        enabled = buffer;
    else if (port == kGainPort)
        gain = buffer;
    else if (port < kFirstAudioPort + uint32_t(channels))
        inputs[port - kFirstAudioPort] = buffer;
    else if (port < portCount(channels))
        outputs[port - kFirstAudioPort - uint32_t(channels)] = buffer;
}

void GLv2Gate::activate()
{
    try {
        effect->resume();
    } catch (...) {
    }
}

void GLv2Gate::deactivate()
{
    effect->suspend();
}

void GLv2Gate::applyControls()
{
    for (int i = 0; i < kNumQueltParameters; ++i) {
        if (!controls[i])
            continue;
        const float value = *controls[i];
        if (value == applied[i] || value != value)
            continue;
        applied[i] = value;
        effect->writeParameter(i, effect->getBank().parameter(i)->toNormalised(value));
    }
    if (enabled && *enabled == *enabled && *enabled != appliedEnabled) {
        appliedEnabled = *enabled;
        effect->setBypass(!(appliedEnabled > 0.0f));
    }
}

void GLv2Gate::run(uint32_t frames)
{
    applyControls();
    if (frames > 0 && frames <= uint32_t(std::numeric_limits<int32_t>::max()))
        effect->processReplacing(inputs, outputs, int32_t(frames));
    if (gain)
        *gain = float(effect->getGain());
}

}  // namespace Zorv::Lv2
