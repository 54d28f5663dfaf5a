// The channel count of an effect that no VST 2.4 host sets up: the same count
// in and out (1 or 2), as the speaker arrangement and as the record's counts.
// The adapter's setting-up thread, before processing starts.
#pragma once

namespace Zorv {

class GEffect;

bool useChannels(GEffect& effect, int channels);  // false: a count the effect does not take

}  // namespace Zorv
