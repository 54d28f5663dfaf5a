// Quelt.clap's process and flush under the counting host: parameter and
// bypass events inside every block, bursts and silence, 32- and 64-bit
// buffers, mono and stereo. Neither may allocate, lock or write.
#include "tests/clap/claphost.h"
#include "tests/realtime/interpose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using claptest::Change;
using claptest::InputEvents;

constexpr uint32_t kFrames = 256;

// An output list that keeps nothing, as a real-time host's fixed queue.
bool dropEvent(const clap_output_events_t*, const clap_event_header_t*)
{
    return true;
}

TEST(ClapRealtimeTest, ProcessAndFlushNeverAllocateLockOrWrite)
{
    for (const char* id : {"example.zorv.quelt", "example.zorv.quelt.mono"}) {
        SCOPED_TRACE(id);
        claptest::ClapHost host(QUELT_CLAP_PATH);
        ASSERT_TRUE(host.create(id));
        ASSERT_TRUE(host.activate(48000.0, kFrames));
        const clap_plugin_t* plugin = host.plugin();
        const uint32_t channels = id[std::strlen(id) - 1] == 'o' ? 1 : 2;
        std::vector<std::vector<float>> audio(2, std::vector<float>(kFrames));
        std::vector<std::vector<double>> wide(2, std::vector<double>(kFrames));
        float* floats[2] = {audio[0].data(), audio[1].data()};
        double* doubles[2] = {wide[0].data(), wide[1].data()};
        std::vector<std::unique_ptr<InputEvents>> events;
        for (int block = 0; block < 400; ++block)
            events.push_back(std::make_unique<InputEvents>(std::vector<Change>{{uint32_t(block % 200), 1, -90.0 + block % 60},
                                                    {128, 2, 0.01 * (1 + block % 90)},
                                                    {200, 3, double(block % 30)},
                                                    {250, 100, block % 50 < 45 ? 0.0 : 1.0}}));
        clap_output_events_t out{nullptr, dropEvent};
        rt::reset();
        for (int block = 0; block < 400; ++block) {
            const float level = (block / 20) % 2 ? 0.5f : 0.0005f;
            for (uint32_t c = 0; c < channels; ++c)
                for (uint32_t i = 0; i < kFrames; ++i)
                    wide[c][i] = audio[c][i] = level * float(std::sin(0.05 * double(i + block * kFrames)));
            clap_audio_buffer_t buffer{};
            buffer.channel_count = channels;
            if (block % 2)
                buffer.data64 = doubles;
            else
                buffer.data32 = floats;
            clap_process_t p{};
            p.frames_count = kFrames;
            p.audio_inputs = p.audio_outputs = &buffer;
            p.audio_inputs_count = p.audio_outputs_count = 1;
            p.in_events = events[size_t(block)]->list();
            p.out_events = &out;
            rt::AudioCall inside;
            ASSERT_EQ(plugin->process(plugin, &p), CLAP_PROCESS_CONTINUE);
            if (block % 10 == 0)
                host.params->flush(plugin, events[size_t(block)]->list(), &out);
        }
        EXPECT_EQ(rt::count(rt::kAllocation), 0);
        EXPECT_EQ(rt::count(rt::kLock), 0);
        EXPECT_EQ(rt::count(rt::kWrite), 0);
        EXPECT_NE(audio[0][kFrames / 2], 0.0f) << "the gate let the bursts through";
    }
}

}  // namespace
