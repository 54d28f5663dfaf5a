#include "effect/channels.h"

#include "effect/effect.h"

namespace Zorv {

bool useChannels(GEffect& effect, int channels)
{
    VstSpeakerArrangement in{}, out{};
    in.numChannels = out.numChannels = channels;
    if (!effect.setSpeakerArrangement(&in, &out))
        return false;
    effect.setNumInputs(channels);
    effect.setNumOutputs(channels);
    return true;
}

}  // namespace Zorv
