#include "tools/soundfile.h"

#include <sndfile.h>

#include <memory>

namespace Zorv {

namespace {

constexpr int kDefaultFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

struct FileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundHandle = std::unique_ptr<SNDFILE, FileCloser>;

}  // namespace

bool readSound(const std::string& path, GSound& sound, std::string& error)
{
    SF_INFO info{};
    SoundHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    std::vector<double> interleaved(size_t(info.frames) * size_t(info.channels));
    sf_count_t got = sf_readf_double(file.get(), interleaved.data(), info.frames);
    sound.rate = info.samplerate;
    sound.format = info.format;
    sound.channels.assign(size_t(info.channels), std::vector<double>(size_t(got)));
    for (size_t f = 0; f < size_t(got); ++f)
        for (size_t c = 0; c < sound.channels.size(); ++c)
            sound.channels[c][f] = interleaved[f * sound.channels.size() + c];
    return true;
}

bool writeSound(const std::string& path, const GSound& sound, std::string& error)
{
    SF_INFO info{};
    info.samplerate = sound.rate;
    info.channels = int(sound.channels.size());
    info.format = sound.format ? sound.format : kDefaultFormat;
    if (!sf_format_check(&info))
        info.format = kDefaultFormat;
    SoundHandle file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // A PEAK chunk holds the time of writing: without it the same sound is the same bytes.
    sf_command(file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    size_t frames = sound.frames();
    std::vector<double> interleaved(frames * sound.channels.size());
    for (size_t f = 0; f < frames; ++f)
        for (size_t c = 0; c < sound.channels.size(); ++c)
            interleaved[f * sound.channels.size() + c] = sound.channels[c][f];
    if (sf_writef_double(file.get(), interleaved.data(), sf_count_t(frames)) != sf_count_t(frames)) {
        error = "cannot write " + path + ": " + sf_strerror(file.get());
        return false;
    }
    return true;
}

}  // namespace Zorv
