// Quelt.clap through a CLAP host of our own: its entry, factory and both
// descriptors, extensions and parameters; texts both ways equal to the
// VST 2.4 plug-in's; output equal sample for sample to Quelt.so driven with
// blocks split where the CLAP events fall; bypass; state carried to a fresh
// instance (the VST 2.4 bank's bytes), garbage refused; flush applying
// events without processing.
#include "tests/clap/claphost.h"
#include "tools/host/host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using claptest::Change;
using claptest::ClapHost;

constexpr double kRate = 48000.0;
constexpr int kFrames = 24000;
constexpr clap_id kThresh = 1, kFade = 2, kAttack = 3, kBypass = 100;
const char* const kStereoId = "example.zorv.quelt";
const char* const kMonoId = "example.zorv.quelt.mono";

// Bursts of a tone over a quiet hiss, the right channel a little behind.
std::vector<std::vector<double>> signal(int channels)
{
    std::vector<std::vector<double>> s(channels, std::vector<double>(kFrames));
    uint32_t noise = 4711;
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < kFrames; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const double hiss = (double(noise >> 8) / double(1 << 24) - 0.5) * 2e-4;
            const bool loud = ((i + 500 * c) / 2300) % 3 != 1;
            s[c][i] = float((loud ? 0.3 * std::sin(i * (0.013 + 0.002 * c)) : 0.0) + hiss);
        }
    return s;
}

Zorv::GPluginHost* openVst(int channels, int block)
{
    Zorv::GHostConfig config;
    config.sampleRate = kRate;
    config.blockSize = block;
    config.inputs = config.outputs = channels;
    auto* vst = new Zorv::GPluginHost(config);
    if (!vst->open(QUELT_PLUGIN_PATH)) {
        delete vst;
        return nullptr;
    }
    return vst;
}

// The change as a VST 2.4 host makes it: the natural value typed in, or bypass.
void applyToVst(Zorv::GPluginHost& vst, const Change& c)
{
    if (c.id == kBypass) {
        vst.setBypass(c.value >= 0.5);
        return;
    }
    char text[40];
    snprintf(text, sizeof text, "%.17g", c.value);
    vst.string2parameter(int(c.id) - 1, text);
}

// The changes inside block number `block` of `frames` frames: two or three
// values at offsets that move from block to block, a bypass now and then.
std::vector<Change> changesIn(int block, uint32_t frames)
{
    static const double thresholds[] = {-60.0, -25.0, -90.0, -45.5, -70.0};
    static const double fades[] = {0.3, 0.05, 1.0, 0.12};
    static const double attacks[] = {2.5, 0.0, 30.0, 7.3};
    std::vector<Change> changes;
    if (frames < 4)
        return changes;
    changes.push_back({uint32_t(block * 7) % frames, kThresh, thresholds[block % 5]});
    changes.push_back({uint32_t(block * 13 + frames / 2) % frames, kFade, fades[block % 4]});
    if (block % 3 == 0)
        changes.push_back({frames - 1, kAttack, attacks[block % 4]});
    if (block % 11 == 5)
        changes.push_back({frames / 3, kBypass, 1.0});
    if (block % 11 == 8)
        changes.push_back({frames / 4, kBypass, 0.0});
    std::stable_sort(changes.begin(), changes.end(),
                     [](const Change& a, const Change& b) { return a.frame < b.frame; });
    return changes;
}

template <typename T>
std::vector<std::vector<T>> asType(const std::vector<std::vector<double>>& x)
{
    std::vector<std::vector<T>> y(x.size());
    for (size_t c = 0; c < x.size(); ++c)
        y[c].assign(x[c].begin(), x[c].end());
    return y;
}

struct BlockCase {
    const char* id;
    int channels;
    uint32_t block;
    bool doubles;
};

void PrintTo(const BlockCase& c, std::ostream* out)
{
    *out << (c.channels == 2 ? "stereo" : "mono") << " block " << c.block << (c.doubles ? " double" : " float");
}

class ClapProcessing : public ::testing::TestWithParam<BlockCase> {
protected:
    template <typename T>
    void compare(const BlockCase& r)
    {
        ClapHost clap(QUELT_CLAP_PATH);
        ASSERT_TRUE(clap.create(r.id));
        ASSERT_TRUE(clap.activate(kRate, r.block));
        std::unique_ptr<Zorv::GPluginHost> vst(openVst(r.channels, int(r.block)));
        ASSERT_TRUE(vst);
        const auto in = asType<T>(signal(r.channels));
        auto clapOut = in, vstOut = in;
        int block = 0;
        for (uint32_t done = 0; done < kFrames; done += r.block, ++block) {
            const uint32_t n = std::min<uint32_t>(r.block, kFrames - done);
            const std::vector<Change> changes = changesIn(block, n);
            T *ins[2], *outs[2], *vins[2], *vouts[2];
            for (int c = 0; c < r.channels; ++c) {
                ins[c] = const_cast<T*>(&in[c][done]);
                outs[c] = &clapOut[c][done];
            }
            ASSERT_EQ(clap.process(ins, outs, r.channels, n, changes), CLAP_PROCESS_CONTINUE);
            uint32_t at = 0;
            for (size_t k = 0; k <= changes.size(); ++k) {
                const uint32_t until = k < changes.size() ? changes[k].frame : n;
                if (until > at) {
                    for (int c = 0; c < r.channels; ++c) {
                        vins[c] = const_cast<T*>(&in[c][done + at]);
                        vouts[c] = &vstOut[c][done + at];
                    }
                    vst->processBlock(vins, vouts, int32_t(until - at));
                    at = until;
                }
                if (k < changes.size())
                    applyToVst(*vst, changes[k]);
            }
        }
        int opened = 0;
        for (int c = 0; c < r.channels; ++c)
            for (int i = 0; i < kFrames; ++i) {
                ASSERT_EQ(clapOut[c][i], vstOut[c][i]) << "channel " << c << " frame " << i;
                opened += clapOut[c][i] != 0;
            }
        EXPECT_GT(opened, kFrames / 4);  // the gate let the bursts through
    }
};

TEST_P(ClapProcessing, EventsAtTheirSampleEqualTheVstPathSplitThere)
{
    if (GetParam().doubles)
        compare<double>(GetParam());
    else
        compare<float>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Blocks, ClapProcessing,
                         ::testing::Values(BlockCase{kStereoId, 2, 32, false}, BlockCase{kStereoId, 2, 256, true},
                                           BlockCase{kStereoId, 2, 4096, false}, BlockCase{kMonoId, 1, 256, false},
                                           BlockCase{kMonoId, 1, 4096, true}, BlockCase{kStereoId, 2, 1, false}),
                         [](const ::testing::TestParamInfo<BlockCase>& info) {
                             return std::string(info.param.channels == 2 ? "stereo" : "mono") +
                                    "_block" + std::to_string(info.param.block) +
                                    (info.param.doubles ? "_double" : "_float");
                         });

TEST(ClapEntry, FactoryDescribesBothGatesAndEachOffersItsExtensions)
{
    ClapHost clap(QUELT_CLAP_PATH);
    ASSERT_TRUE(clap.factory());
    EXPECT_TRUE(clap_version_is_compatible(clap.entry()->clap_version));
    ASSERT_EQ(clap.factory()->get_plugin_count(clap.factory()), 2u);
    EXPECT_EQ(clap.factory()->get_plugin_descriptor(clap.factory(), 2), nullptr);
    EXPECT_EQ(clap.factory()->create_plugin(clap.factory(), nullptr, kStereoId), nullptr);
    EXPECT_FALSE(clap.create("example.zorv.other"));
    struct Want {
        const char* id;
        const char* name;
        const char* layout;
        uint32_t channels;
    };
    for (const Want& want : {Want{kStereoId, "Quelt", "stereo", 2}, Want{kMonoId, "Quelt Mono", "mono", 1}}) {
        SCOPED_TRACE(want.id);
        const uint32_t index = want.channels == 2 ? 0 : 1;
        const clap_plugin_descriptor_t* d = clap.factory()->get_plugin_descriptor(clap.factory(), index);
        ASSERT_TRUE(d);
        EXPECT_STREQ(d->id, want.id);
        EXPECT_STREQ(d->name, want.name);
        EXPECT_STREQ(d->vendor, "Zorv");
        EXPECT_STREQ(d->version, "2.7.0");
        std::vector<std::string> features;
        for (const char* const* f = d->features; *f; ++f)
            features.push_back(*f);
        EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", want.layout, "gate"}));

        ASSERT_TRUE(clap.create(want.id));
        ASSERT_TRUE(clap.gui && clap.latency);
        EXPECT_EQ(clap.latency->get(clap.plugin()), 0u);
        EXPECT_EQ(clap.plugin()->get_extension(clap.plugin(), "clap.note-ports"), nullptr);
        for (const bool input : {true, false}) {
            ASSERT_EQ(clap.ports->count(clap.plugin(), input), 1u);
            clap_audio_port_info_t port{};
            ASSERT_TRUE(clap.ports->get(clap.plugin(), 0, input, &port));
            EXPECT_EQ(port.channel_count, want.channels);
            EXPECT_STREQ(port.port_type, want.layout);
            EXPECT_EQ(port.in_place_pair, port.id);
            EXPECT_TRUE(port.flags & CLAP_AUDIO_PORT_IS_MAIN);
            EXPECT_TRUE(port.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS);
            EXPECT_FALSE(clap.ports->get(clap.plugin(), 1, input, &port));
        }
        EXPECT_TRUE(clap.gui->is_api_supported(clap.plugin(), CLAP_WINDOW_API_X11, false));
        EXPECT_FALSE(clap.gui->is_api_supported(clap.plugin(), CLAP_WINDOW_API_X11, true));
        EXPECT_FALSE(clap.gui->is_api_supported(clap.plugin(), "win32", false));
        EXPECT_FALSE(clap.gui->can_resize(clap.plugin()));
        uint32_t w = 0, h = 0;
        for (const double junk : {double(NAN), 0.0, -2.0, 1e9})
            EXPECT_FALSE(clap.gui->set_scale(clap.plugin(), junk)) << junk;
        ASSERT_TRUE(clap.gui->get_size(clap.plugin(), &w, &h));
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(330u, 195u));
        EXPECT_TRUE(clap.gui->set_scale(clap.plugin(), 2.0));
        ASSERT_TRUE(clap.gui->get_size(clap.plugin(), &w, &h));
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(660u, 390u));
        EXPECT_FALSE(clap.activate(1e300, 256)) << "a rate no gate runs at";
        EXPECT_TRUE(clap.activate(kRate, 256));
        clap.destroy();
    }
}

TEST(ClapParameters, InfosValuesAndTextsBothWaysAsTheVstPluginShowsThem)
{
    ClapHost clap(QUELT_CLAP_PATH);
    ASSERT_TRUE(clap.create(kStereoId));
    std::unique_ptr<Zorv::GPluginHost> vst(openVst(2, 256));
    ASSERT_TRUE(vst);
    struct Want {
        clap_id id;
        const char* name;
        double min, max, def;
        std::vector<double> values;  // shown as the VST 2.4 plug-in shows them
    };
    const Want table[] = {
        {kThresh, "Thresh", -100, -1, -70, {-100, -45.56, -1, -70}},
        {kFade, "Fade", 0.01, 1, 0.5, {0.01, 0.333, 1}},
        {kAttack, "Attack", 0, 30, 1, {0, 7.34, 30}},
    };
    ASSERT_EQ(clap.params->count(clap.plugin()), 4u);
    for (uint32_t index = 0; index < 3; ++index) {
        const Want& w = table[index];
        SCOPED_TRACE(w.name);
        clap_param_info_t info{};
        ASSERT_TRUE(clap.params->get_info(clap.plugin(), index, &info));
        EXPECT_EQ(info.id, w.id);
        EXPECT_STREQ(info.name, w.name);
        EXPECT_NEAR(info.min_value, w.min, 1e-9);
        EXPECT_NEAR(info.max_value, w.max, 1e-9);
        EXPECT_NEAR(info.default_value, w.def, 1e-9);
        EXPECT_EQ(clap.text(w.id, clap.value(w.id)),
                  vst->paramDisplay(int(index)) + " " + vst->paramLabel(int(index)))
            << "both start at the first program";
        EXPECT_EQ(info.flags, uint32_t(CLAP_PARAM_IS_AUTOMATABLE));
        for (double v : w.values) {
            applyToVst(*vst, {0, w.id, v});
            const std::string shown = vst->paramDisplay(int(index)) + " " + vst->paramLabel(int(index));
            EXPECT_EQ(clap.text(w.id, v), shown) << v;
            double back = 0;
            ASSERT_TRUE(clap.params->text_to_value(clap.plugin(), w.id, shown.c_str(), &back)) << shown;
            EXPECT_EQ(clap.text(w.id, back), shown);
        }
        double untouched = 123;
        EXPECT_FALSE(clap.params->text_to_value(clap.plugin(), w.id, "loud", &untouched));
        EXPECT_EQ(untouched, 123);
    }
    clap_param_info_t bypass{};
    ASSERT_TRUE(clap.params->get_info(clap.plugin(), 3, &bypass));
    EXPECT_EQ(bypass.id, kBypass);
    EXPECT_TRUE(bypass.flags & CLAP_PARAM_IS_BYPASS);
    EXPECT_EQ(clap.text(kBypass, 1), "On");
    EXPECT_FALSE(clap.params->get_info(clap.plugin(), 4, &bypass));
    EXPECT_EQ(clap.text(77, 0), "(refused)");
    EXPECT_EQ(clap.text(kThresh, NAN), "(refused)");
}

// Four blocks of 480 frames of a quiet sine through one instance.
std::vector<float> quietRun(ClapHost& clap, const std::vector<Change>& first = {})
{
    std::vector<float> in(1920), out(1920);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = float(0.0316 * std::sin(2.0 * M_PI * 1000.0 * double(i) / kRate));
    for (size_t done = 0; done < in.size(); done += 480) {
        float* ins[2] = {&in[done], &in[done]};
        std::vector<float> right(480);
        float* outs[2] = {&out[done], right.data()};
        clap.process(ins, outs, 2, 480, done == 0 ? first : std::vector<Change>{});
    }
    for (size_t i = 480; i < in.size(); ++i)
        out[i] -= in[i];  // 0 wherever the output is the input
    return out;
}

TEST(ClapBypass, TheBypassParameterFadesToTheDryInputBitForBit)
{
    ClapHost clap(QUELT_CLAP_PATH);
    ASSERT_TRUE(clap.create(kStereoId));
    ASSERT_TRUE(clap.activate(kRate, 480));
    const std::vector<float> diff = quietRun(clap, {{0, kThresh, -20.0}, {100, kBypass, 1.0}});
    for (size_t i = 480; i < diff.size(); ++i)
        ASSERT_EQ(diff[i], 0.0f) << i;  // the 5 ms fade is over within the first block
    EXPECT_EQ(clap.value(kBypass), 1.0);
}

TEST(ClapState, CarriesTheBankToAFreshInstanceAsTheVstChunkAndRefusesGarbage)
{
    const std::vector<Change> edits = {{0, kThresh, -33.3}, {0, kFade, 0.07}, {0, kAttack, 12.5}};
    ClapHost first(QUELT_CLAP_PATH);
    ASSERT_TRUE(first.create(kStereoId));
    first.flush(edits);  // not activated: flush alone applies them
    EXPECT_NEAR(first.value(kThresh), -33.3, 1e-9);
    EXPECT_NEAR(first.value(kAttack), 12.5, 1e-9);
    std::vector<uint8_t> saved;
    ASSERT_TRUE(first.save(saved));

    std::unique_ptr<Zorv::GPluginHost> vst(openVst(2, 256));
    ASSERT_TRUE(vst);
    for (const Change& c : edits)
        applyToVst(*vst, c);
    std::vector<uint8_t> chunk;
    vst->getChunk(false, chunk);
    EXPECT_EQ(saved, chunk) << "the VST 2.4 bank's bytes";

    ClapHost second(QUELT_CLAP_PATH);
    ASSERT_TRUE(second.create(kStereoId));
    std::vector<uint8_t> nan = saved, shortened(saved.begin(), saved.end() - 1), longer = saved;
    const double notANumber = NAN;
    memcpy(nan.data() + nan.size() - sizeof notANumber, &notANumber, sizeof notANumber);
    longer.push_back(0);
    const double before = second.value(kThresh);
    for (const auto& garbage : {std::vector<uint8_t>{}, shortened, longer, nan}) {
        EXPECT_FALSE(second.load(garbage)) << garbage.size() << " bytes";
        EXPECT_EQ(second.value(kThresh), before) << "nothing changed";
    }
    ASSERT_TRUE(second.load(saved));
    for (const Change& c : edits)
        EXPECT_NEAR(second.value(c.id), c.value, 1e-9);
    std::vector<uint8_t> again;
    ASSERT_TRUE(second.save(again));
    EXPECT_EQ(again, saved);
    bool rescanned = false;
    for (const auto& call : second.calls())
        rescanned |= call.name == "params.rescan";
    EXPECT_TRUE(rescanned) << "the host is told to read the values again";

    ASSERT_TRUE(first.activate(kRate, 480));
    ASSERT_TRUE(second.activate(kRate, 480));
    EXPECT_EQ(quietRun(first), quietRun(second)) << "the same settings give the same output";
}

}  // namespace
