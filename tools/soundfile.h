// GSound and its file access: a sound held as one vector of samples per
// channel, read from and written to any format libsndfile knows. Used by
// the plughost tool on its one thread; owns the samples.
#pragma once

#include "tools/host/host.h"

#include <string>

namespace Zorv {

struct GSound {
    int rate = 44100;
    int format = 0;  // libsndfile major and sub format; 0 writes 24-bit WAV
    GChannels<double> channels;

    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Reads path into sound; false with error set.
bool readSound(const std::string& path, GSound& sound, std::string& error);
// Writes sound to path (clipping to full scale for integer formats); false with error set.
bool writeSound(const std::string& path, const GSound& sound, std::string& error);

}  // namespace Zorv
