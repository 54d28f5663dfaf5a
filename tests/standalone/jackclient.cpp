// A JACK client of the tests' own: plays a sound file into a client's inputs
// from the start of one period and records that client's outputs from the
// same period, then compares the recording with a reference file sample for
// sample. The graph runs player -> client -> recorder in one client of ours,
// so the recording may lag by whole periods: the comparison takes the first
// lag (0 up to kMaxLagPeriods periods) at which every sample matches.
// Usage: jackclient CLIENT CHANNELS IN.wav REFERENCE.wav
// Exit status 0 when the recording matches, 1 when not, 2 on a setup failure.
#include <jack/jack.h>
#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kMaxLagPeriods = 4;

using Channels = std::vector<std::vector<float>>;

bool readWav(const char* path, int channels, Channels& out)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file || info.channels != channels) {
        if (file)
            sf_close(file);
        return false;
    }
    std::vector<float> interleaved(size_t(info.frames) * size_t(channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    out.assign(size_t(channels), std::vector<float>(size_t(info.frames)));
    for (size_t i = 0; i < size_t(info.frames); ++i)
        for (int c = 0; c < channels; ++c)
            out[size_t(c)][i] = interleaved[i * size_t(channels) + size_t(c)];
    return true;
}

struct Player {
    int channels = 0;
    jack_port_t* play[2] = {};
    jack_port_t* record[2] = {};
    const Channels* signal = nullptr;
    Channels recording;
    std::atomic<bool> started{false};
    std::atomic<size_t> done{0};  // frames played and recorded
};

int process(jack_nframes_t frames, void* arg)
{
    auto* p = static_cast<Player*>(arg);
    const size_t at = p->done.load(std::memory_order_relaxed);
    const size_t length = p->recording[0].size();
    const bool playing = p->started.load(std::memory_order_relaxed);
    for (int c = 0; c < p->channels; ++c) {
        auto* out = static_cast<float*>(jack_port_get_buffer(p->play[c], frames));
        const auto* in = static_cast<const float*>(jack_port_get_buffer(p->record[c], frames));
        const std::vector<float>& source = (*p->signal)[size_t(c)];
        for (jack_nframes_t i = 0; i < frames; ++i) {
            const size_t k = at + i;
            out[i] = playing && k < source.size() ? source[k] : 0.0f;
            if (playing && k < length)
                p->recording[size_t(c)][k] = in[i];
        }
    }
    if (playing)
        p->done.store(at + frames, std::memory_order_release);
    return 0;
}

// The first lag at which the recording holds the reference; -1: none.
long matchingLag(const Channels& recording, const Channels& reference, size_t period, size_t& firstBad)
{
    for (size_t lag = 0; lag <= kMaxLagPeriods * period; lag += period) {
        bool same = true;
        for (size_t c = 0; c < reference.size() && same; ++c)
            for (size_t i = 0; i < reference[c].size() && same; ++i)
                if (recording[c][lag + i] != reference[c][i]) {
                    same = false;
                    firstBad = i;
                }
        if (same)
            return long(lag);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: jackclient CLIENT CHANNELS IN.wav REFERENCE.wav\n");
        return 2;
    }
    const std::string target = argv[1];
    Player p;
    p.channels = std::stoi(argv[2]);
    Channels signal, reference;
    if ((p.channels != 1 && p.channels != 2) || !readWav(argv[3], p.channels, signal) ||
        !readWav(argv[4], p.channels, reference) || reference[0].size() != signal[0].size()) {
        fprintf(stderr, "jackclient: cannot read the sound files\n");
        return 2;
    }
    jack_client_t* client = jack_client_open("quelt-test-player", JackNoStartServer, nullptr);
    if (!client) {
        fprintf(stderr, "jackclient: no JACK server\n");
        return 2;
    }
    const size_t period = jack_get_buffer_size(client);
    p.signal = &signal;
    p.recording.assign(size_t(p.channels), std::vector<float>(signal[0].size() + (kMaxLagPeriods + 1) * period));
    const char* theirIn[2][2] = {{"in", ""}, {"in_1", "in_2"}};
    const char* theirOut[2][2] = {{"out", ""}, {"out_1", "out_2"}};
    for (int c = 0; c < p.channels; ++c) {
        p.play[c] = jack_port_register(client, ("play_" + std::to_string(c + 1)).c_str(),
                                       JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        p.record[c] = jack_port_register(client, ("record_" + std::to_string(c + 1)).c_str(),
                                         JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    }
    jack_set_process_callback(client, process, &p);
    if (jack_activate(client) != 0)
        return 2;
    const int stereo = p.channels == 2 ? 1 : 0;
    for (int c = 0; c < p.channels; ++c) {
        const std::string in = target + ":" + theirIn[stereo][c], out = target + ":" + theirOut[stereo][c];
        if (jack_connect(client, jack_port_name(p.play[c]), in.c_str()) != 0 ||
            jack_connect(client, out.c_str(), jack_port_name(p.record[c])) != 0) {
            fprintf(stderr, "jackclient: cannot connect to %s\n", target.c_str());
            return 2;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the graph settles
    p.started.store(true);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (p.done.load(std::memory_order_acquire) < p.recording[0].size() &&
           std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    jack_deactivate(client);
    jack_client_close(client);
    if (const char* dump = getenv("JACKCLIENT_DUMP")) {
        FILE* f = fopen(dump, "wb");
        for (auto& ch : p.recording)
            fwrite(ch.data(), sizeof(float), ch.size(), f);
        fclose(f);
    }
    size_t firstBad = 0;
    const long lag = matchingLag(p.recording, reference, period, firstBad);
    if (lag < 0) {
        fprintf(stderr, "jackclient: the recording differs from the reference (at lag 0 from frame %zu)\n",
                firstBad);
        return 1;
    }
    printf("jackclient: %zu frames equal to the reference, %ld frames behind the playing\n",
           reference[0].size(), lag);
    return 0;
}
