// The LV2 bundle as a lilv host finds it: both variants with their ports and
// the ten presets named as the plug-in's programs, and their output sample
// for sample equal to the VST 2.4 plug-in's float output driven the same way
// (same natural values, bypass, a preset as the program), at any block size,
// with control changes between runs, separate or shared buffers.
#include "tests/lv2/lilvhost.h"
#include "tools/host/host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

using lv2test::LilvHost;
using lv2test::TestInstance;

const std::string kBase = "http://zorv.example/plugins/quelt";
constexpr double kRate = 48000.0;
constexpr int kFrames = 48000;

struct Controls {
    float thresh, fade, attack, enabled;
};

// Cycled through while the signal runs; the fourth bypasses.
const Controls kSchedule[] = {
    {-60.0f, 0.3f, 2.5f, 1.0f}, {-30.0f, 0.05f, 0.0f, 1.0f}, {-90.0f, 1.0f, 30.0f, 1.0f},
    {-45.5f, 0.12f, 7.3f, 0.0f}, {-70.0f, 0.5f, 1.0f, 1.0f},
};

// Bursts of two tones over a quiet hiss, the right channel a little behind.
std::vector<std::vector<float>> signal(int channels)
{
    std::vector<std::vector<float>> s(channels, std::vector<float>(kFrames));
    uint32_t noise = 12345;
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < kFrames; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const double hiss = (double(noise >> 8) / double(1 << 24) - 0.5) * 2e-4;
            const bool loud = ((i + 700 * c) / 3100) % 3 != 1;
            const double tone = loud ? 0.3 * std::sin(i * (0.01 + 0.003 * c)) : 0.0;
            s[c][i] = float(tone + hiss);
        }
    return s;
}

void setVst(Zorv::GPluginHost& vst, const Controls& c)
{
    const char* names[] = {"Thresh", "Fade", "Attack"};
    const float values[] = {c.thresh, c.fade, c.attack};
    for (int k = 0; k < 3; ++k) {
        char text[32];
        snprintf(text, sizeof text, "%g", values[k]);
        vst.string2parameter(vst.findParameter(names[k]), text);
    }
    vst.setBypass(!(c.enabled > 0.0f));
}

void setLv2(TestInstance& lv2, const Controls& c)
{
    lv2.control("thresh") = c.thresh;
    lv2.control("fade") = c.fade;
    lv2.control("attack") = c.attack;
    lv2.control("enabled") = c.enabled;
}

struct Case {
    const char* variant;
    int channels;
    int block;
    bool inPlace;
    int preset;  // program applied before the run through, -1: none
};

// Test names and failure messages say the case, not its bytes.
std::string caseName(const Case& c)
{
    return std::string(c.variant) + "_block" + std::to_string(c.block) + (c.inPlace ? "_inplace" : "") +
           (c.preset >= 0 ? "_preset" + std::to_string(c.preset) : "");
}
void PrintTo(const Case& c, std::ostream* out) { *out << caseName(c); }

class Lv2BitExact : public ::testing::TestWithParam<Case> {};

TEST_P(Lv2BitExact, OutputEqualsTheVstFloatPath)
{
    const Case& t = GetParam();
    LilvHost host;
    TestInstance lv2(host, host.plugin(kBase + "#" + t.variant), kRate);
    ASSERT_TRUE(lv2.ok());
    Zorv::GHostConfig config;
    config.sampleRate = kRate;
    config.blockSize = t.block;
    config.inputs = config.outputs = t.channels;
    Zorv::GPluginHost vst(config);
    ASSERT_TRUE(vst.open(QUELT_PLUGIN_PATH)) << vst.error();

    const auto in = signal(t.channels);
    auto lv2Out = in;  // overwritten; the input itself when in place
    std::vector<std::vector<float>> lv2In = in, vstOut(t.channels, std::vector<float>(kFrames));
    const char* sides[2][2] = {{"in", "out"}, {"in_l", "out_l"}};
    const char* right[2] = {"in_r", "out_r"};
    const int changeEvery = std::max(1, 5000 / t.block);
    float gainSeen = 0.0f;
    if (t.preset >= 0) {
        ASSERT_TRUE(lv2.applyPreset(host.presetUris(host.plugin(kBase + "#" + t.variant))[t.preset]));
        vst.setProgram(t.preset);
    }
    for (int done = 0, run = 0; done < kFrames; done += t.block, ++run) {
        const int n = std::min(t.block, kFrames - done);
        if (t.preset < 0 && run % changeEvery == 0) {
            const Controls& c = kSchedule[(run / changeEvery) % 5];
            setLv2(lv2, c);
            setVst(vst, c);
        }
        std::vector<float*> vin, vout;
        for (int c = 0; c < t.channels; ++c) {
            float* out = t.inPlace ? &lv2In[c][done] : &lv2Out[c][done];
            const bool stereo = t.channels == 2;
            lv2.connectAudio(c == 0 ? sides[stereo][0] : right[0], &lv2In[c][done]);
            lv2.connectAudio(c == 0 ? sides[stereo][1] : right[1], out);
            vin.push_back(const_cast<float*>(&in[c][done]));
            vout.push_back(&vstOut[c][done]);
        }
        lv2.run(uint32_t(n));
        vst.processBlock(vin.data(), vout.data(), n);
        gainSeen = std::max(gainSeen, lv2.control("gain"));
        ASSERT_GE(lv2.control("gain"), 0.0f);
        ASSERT_LE(lv2.control("gain"), 1.0f);
    }
    const auto& got = t.inPlace ? lv2In : lv2Out;
    for (int c = 0; c < t.channels; ++c)
        for (int i = 0; i < kFrames; ++i)
            ASSERT_EQ(got[c][i], vstOut[c][i]) << "channel " << c << " frame " << i;
    EXPECT_EQ(gainSeen, 1.0f);  // the gate opened fully at some point
}

INSTANTIATE_TEST_SUITE_P(Variants, Lv2BitExact,
                         ::testing::Values(Case{"stereo", 2, 1, false, -1}, Case{"stereo", 2, 32, false, -1},
                                           Case{"stereo", 2, 77, true, -1}, Case{"stereo", 2, 4096, false, -1},
                                           Case{"mono", 1, 32, false, -1}, Case{"mono", 1, 256, true, -1},
                                           Case{"stereo", 2, 256, false, 2}, Case{"mono", 1, 4096, false, 0}),
                         [](const ::testing::TestParamInfo<Case>& info) { return caseName(info.param); });

// A quiet sine under a closed gate, bypassed after 0.1 s and processed again
// after 0.2 s (over LV2 with enabled at 0.3: any value above 0 processes).
TEST(Bypass, SwitchesWithoutAStepAndIsDryOnceTheFadeIsOverInBothFormats)
{
    constexpr int kBlock = 480, kOn = 4800, kOff = 9600, kTotal = 14400;
    constexpr int kFadeFrames = 240 + 8;  // 5 ms at 48 kHz, and the steps' rounding
    std::vector<float> in(kTotal);
    float largestStep = 0.0f;
    for (int i = 0; i < kTotal; ++i) {
        in[i] = float(0.0316 * std::sin(2.0 * M_PI * 1000.0 * i / kRate));
        if (i > 0)
            largestStep = std::max(largestStep, std::fabs(in[i] - in[i - 1]));
    }
    for (const bool lv2Format : {false, true}) {
        SCOPED_TRACE(lv2Format ? "LV2" : "VST 2.4");
        LilvHost host;
        TestInstance lv2(host, host.plugin(kBase + "#stereo"), kRate);
        Zorv::GHostConfig config;
        config.sampleRate = kRate;
        config.blockSize = kBlock;
        config.inputs = config.outputs = 2;
        Zorv::GPluginHost vst(config);
        ASSERT_TRUE(lv2.ok());
        ASSERT_TRUE(vst.open(QUELT_PLUGIN_PATH)) << vst.error();
        setLv2(lv2, {-20.0f, 0.5f, 1.0f, 1.0f});
        setVst(vst, {-20.0f, 0.5f, 1.0f, 1.0f});
        std::vector<float> out(kTotal), right(kTotal);
        for (int done = 0; done < kTotal; done += kBlock) {
            const bool bypassed = done >= kOn && done < kOff;
            lv2.control("enabled") = bypassed ? 0.0f : (done >= kOff ? 0.3f : 1.0f);
            vst.setBypass(bypassed);
            float* ins[2] = {&in[done], &in[done]};
            float* outs[2] = {&out[done], &right[done]};
            if (lv2Format) {
                lv2.connectAudio("in_l", ins[0]);
                lv2.connectAudio("in_r", ins[1]);
                lv2.connectAudio("out_l", outs[0]);
                lv2.connectAudio("out_r", outs[1]);
                lv2.run(kBlock);
            } else {
                vst.processBlock(ins, outs, kBlock);
            }
        }
        float largestOut = 0.0f;
        for (int i = 1; i < kTotal; ++i)
            largestOut = std::max(largestOut, std::fabs(out[i] - out[i - 1]));
        EXPECT_LE(largestOut, largestStep * 1.01f) << "a click: the output stepped further than the signal";
        for (int i = 0; i < kTotal; ++i) {
            const bool dry = i >= kOn + kFadeFrames && i < kOff;
            const bool gated = i < kOn || i >= kOff + kFadeFrames;
            if (dry) {
                ASSERT_EQ(out[i], in[i]) << "frame " << i;
            }
            if (gated) {
                ASSERT_EQ(out[i], 0.0f) << "frame " << i;
            }
        }
    }
}

TEST(Lv2Bundle, BothVariantsWithTheirPortsAndTheProgramsAsPresets)
{
    LilvHost host;
    Zorv::GPluginHost vst;
    ASSERT_TRUE(vst.open(QUELT_PLUGIN_PATH)) << vst.error();
    std::vector<std::string> programs;
    for (int p = 0; p < 10; ++p)
        programs.push_back(vst.programNameIndexed(p));
    for (auto [variant, ports] : {std::pair{"stereo", 9u}, std::pair{"mono", 7u}}) {
        const LilvPlugin* plugin = host.plugin(kBase + "#" + variant);
        ASSERT_TRUE(plugin) << variant;
        EXPECT_EQ(lilv_plugin_get_num_ports(plugin), ports);
        EXPECT_EQ(host.presetLabels(plugin), programs);
        LilvNodes* required = lilv_plugin_get_required_features(plugin);
        EXPECT_EQ(lilv_nodes_size(required), 0u);
        lilv_nodes_free(required);
    }
}

}  // namespace
