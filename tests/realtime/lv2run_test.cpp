// The LV2 DSP binary's run under the counting host: control ports that change
// every block (enabled toggling too), bursts and silence, mono and stereo.
// Run may not allocate, lock or write.
#include "tests/realtime/interpose.h"

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <dlfcn.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kControls = 4;  // the three parameters, then enabled
constexpr uint32_t kGainPort = 4, kFirstAudioPort = 5;
constexpr uint32_t kFrames = 256;

TEST(Lv2RealtimeTest, RunNeverAllocatesLocksOrWrites)
{
    void* module = dlopen(QUELT_LV2_DSP_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(module, "lv2_descriptor"));
    ASSERT_NE(entry, nullptr);
    for (uint32_t variant = 0; variant < 2; ++variant) {
        const LV2_Descriptor* d = entry(variant);
        ASSERT_NE(d, nullptr);
        const int channels = variant == 0 ? 2 : 1;
        for (double rate : {0.0, -48000.0, double(NAN), double(INFINITY), 2e7})
            EXPECT_EQ(d->instantiate(d, rate, "", nullptr), nullptr) << "no gate at " << rate;
        LV2_Handle h = d->instantiate(d, 48000.0, "", nullptr);
        ASSERT_NE(h, nullptr);
        float controls[kControls] = {-60.0f, 0.3f, 2.5f, 1.0f}, gain = 0.0f;
        std::vector<std::vector<float>> audio(2 * channels, std::vector<float>(kFrames));
        for (uint32_t p = 0; p < kControls; ++p)
            d->connect_port(h, p, &controls[p]);
        d->connect_port(h, kGainPort, &gain);
        for (int k = 0; k < 2 * channels; ++k)
            d->connect_port(h, kFirstAudioPort + uint32_t(k), audio[k].data());
        d->activate(h);
        rt::reset();
        for (int block = 0; block < 400; ++block) {
            controls[0] = -90.0f + float(block % 60);
            controls[1] = 0.01f * float(1 + block % 90);
            controls[2] = float(block % 30);
            controls[3] = block % 50 < 45 ? 1.0f : 0.0f;
            const float level = (block / 20) % 2 ? 0.5f : 0.0005f;
            for (int c = 0; c < channels; ++c)
                for (uint32_t i = 0; i < kFrames; ++i)
                    audio[c][i] = level * float(std::sin(0.05 * double(i + block * kFrames)));
            rt::AudioCall inside;
            d->run(h, kFrames);
        }
        EXPECT_EQ(rt::count(rt::kAllocation), 0) << "channels " << channels;
        EXPECT_EQ(rt::count(rt::kLock), 0) << "channels " << channels;
        EXPECT_EQ(rt::count(rt::kWrite), 0) << "channels " << channels;
        EXPECT_GT(gain, 0.0f);
        d->deactivate(h);
        d->cleanup(h);
    }
    dlclose(module);
}

}  // namespace
