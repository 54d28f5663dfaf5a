// Bad input from a host: out-of-range indices, null pointers, refused
// arrangements, empty blocks, non-finite parameter values and sample rates.

#include "tests/host/hostfixture.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>

namespace Zorv {
namespace {

using HostInput = HostTest;

const int32_t kBadParams[] = {-1, 3, 4, 100, INT_MIN, INT_MAX};
const int32_t kBadPrograms[] = {-1, 10, 11, 1000, INT_MIN, INT_MAX};

bool allFinite(const GChannels<float>& x)
{
    for (const auto& c : x)
        for (float v : c)
            if (!std::isfinite(v))
                return false;
    return true;
}

TEST_F(HostInput, OutOfRangeIndicesAnswerNothingAndTouchNothing)
{
    host.setProgram(2);
    BankSnapshot before = snapshot(host);
    for (int32_t i : kBadParams) {
        intptr_t result = -7;
        EXPECT_EQ(host.text(effGetParamName, i, 0, &result), "") << i;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(host.text(effGetParamLabel, i, 0, &result), "") << i;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(host.text(effGetParamDisplay, i, 0, &result), "") << i;
        EXPECT_EQ(result, 0);
        EXPECT_FALSE(host.string2parameter(i, "0.5")) << i;
        host.setParameter(i, 0.9f);
        EXPECT_EQ(host.getParameter(i), 0.0f) << i;
    }
    for (int32_t p : kBadPrograms) {
        EXPECT_EQ(host.programNameIndexed(p), "") << p;
        host.setProgram(p);
        EXPECT_EQ(host.program(), 2) << p;
    }
    EXPECT_TRUE(snapshot(host) == before);
}

TEST_F(HostInput, NullTextPointersAreRefused)
{
    BankSnapshot before = snapshot(host);
    const int32_t textOpcodes[] = {effGetParamName,     effGetParamLabel,    effGetParamDisplay,
                                   effGetProgramName,   effSetProgramName,   effGetEffectName,
                                   effGetVendorString,  effGetProductString, effCanDo,
                                   effGetProgramNameIndexed, effGetChunk,    effEditGetRect};
    for (int32_t opcode : textOpcodes)
        EXPECT_EQ(host.dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 490, nullptr), 0);
    EXPECT_EQ(host.dispatch(effSetChunk, 1, 49, nullptr), 0);
    host.dispatch(effString2Parameter, 0, 0, nullptr);
    host.dispatch(effGetSpeakerArrangement, 0, 0, nullptr);
    EXPECT_TRUE(snapshot(host) == before);
}

TEST_F(HostInput, NullTextToString2ParameterAsksWhetherTextIsAccepted)
{
    BankSnapshot before = snapshot(host);
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(host.dispatch(effString2Parameter, i, 0, nullptr), 1) << i;
    for (int32_t i : kBadParams)
        EXPECT_EQ(host.dispatch(effString2Parameter, i, 0, nullptr), 0) << i;
    EXPECT_TRUE(snapshot(host) == before);
}

constexpr int32_t kStereoType = 1;  // the published stereo arrangement type

// Stereo with a type and named speakers, so a lost copy shows.
VstSpeakerArrangement namedStereo(const char* prefix)
{
    VstSpeakerArrangement a{};
    a.type = kStereoType;
    a.numChannels = 2;
    for (int k = 0; k < 2; ++k)
        snprintf(a.speakers[k].name, sizeof(a.speakers[k].name), "%s%d", prefix, k);
    return a;
}

void expectNamedStereo(const VstSpeakerArrangement* a, const char* prefix)
{
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->numChannels, 2);
    EXPECT_EQ(a->type, kStereoType);
    for (int k = 0; k < 2; ++k)
        EXPECT_EQ(std::string(a->speakers[k].name), prefix + std::to_string(k));
}

TEST_F(HostInput, ArrangementsHandedBackStayValid)
{
    VstSpeakerArrangement in = namedStereo("in"), out = namedStereo("out");
    ASSERT_EQ(host.dispatch(effSetSpeakerArrangement, 0, intptr_t(&in), &out), 1);
    VstSpeakerArrangement* own[2] = {};
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, intptr_t(&own[0]), &own[1]), 1);
    // "Keep what you have": the very records it handed out.
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, intptr_t(own[0]), own[1]), 1);
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, intptr_t(&own[0]), &own[1]), 1);
    expectNamedStereo(own[0], "in");
    expectNamedStereo(own[1], "out");
    // Crossed over: each copy reads a record the other replaces.
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, intptr_t(own[1]), own[0]), 1);
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, intptr_t(&own[0]), &own[1]), 1);
    expectNamedStereo(own[0], "out");
    expectNamedStereo(own[1], "in");
    GChannels<float> signal = tone(2, 1024, 0.5), result;
    host.process(signal, result, 2, 512);
    EXPECT_TRUE(allFinite(result));
}

TEST_F(HostInput, RefusedArrangementsKeepTheOldOnes)
{
    ASSERT_TRUE(host.setSpeakerArrangement(1, 2));
    VstSpeakerArrangement stereo{};
    stereo.numChannels = 2;
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, intptr_t(&stereo), nullptr), 0);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, 0, &stereo), 0);
    const int pairs[][2] = {{0, 2}, {2, 0}, {3, 2}, {2, 3}, {-1, 2}, {2, -1}, {2, 4},
                            {8, 8}, {0, 0}, {INT_MAX, 2}, {2, INT_MIN}};
    for (const auto& p : pairs)
        EXPECT_FALSE(host.setSpeakerArrangement(p[0], p[1])) << p[0] << " in, " << p[1] << " out";
    int ins = 0, outs = 0;
    EXPECT_TRUE(host.getSpeakerArrangement(ins, outs));
    EXPECT_EQ(ins, 1);
    EXPECT_EQ(outs, 2);
}

template <typename T> void expectEmptyBlocksTouchNothing(GPluginHost& host)
{
    const T inValue = T(0.25), outValue = T(7);
    std::vector<T> inL(64, inValue), inR(64, inValue), outL(64, outValue), outR(64, outValue);
    T* in[] = {inL.data(), inR.data()};
    T* out[] = {outL.data(), outR.data()};
    for (int32_t frames : {0, -1, -64, INT_MIN}) {
        host.processBlock(in, out, frames);
        for (size_t i = 0; i < 64; ++i) {
            ASSERT_EQ(outL[i], outValue) << frames;
            ASSERT_EQ(outR[i], outValue) << frames;
            ASSERT_EQ(inL[i], inValue) << frames;
            ASSERT_EQ(inR[i], inValue) << frames;
        }
    }
    host.processBlock(in, out, 64);
    EXPECT_NE(outL[63], outValue) << "a real block after them is processed";
}

TEST_F(HostInput, EmptyAndNegativeBlocksTouchNoBuffer)
{
    expectEmptyBlocksTouchNothing<float>(host);
    expectEmptyBlocksTouchNothing<double>(host);
    ASSERT_TRUE(host.setSpeakerArrangement(1, 1));
    expectEmptyBlocksTouchNothing<float>(host);
}

TEST_F(HostInput, NonFiniteAndHugeParameterValues)
{
    const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            1e30f, -1e30f, FLT_MAX, -FLT_MAX, 1e10f, -1e10f, 40.0f, -40.0f,
                            FLT_MIN, 1e-45f};
    GChannels<float> in = joined(tone(2, 2048, 0.5), silence(2, 2048)), out;
    for (int i = 0; i < 3; ++i) {
        float original = host.getParameter(i);
        for (float v : values) {
            host.dispatch(effMainsChanged, 0, 0);
            host.dispatch(effMainsChanged, 0, 1);
            host.setParameter(i, v);
            EXPECT_FALSE(host.paramDisplay(i).empty()) << "param " << i << " at " << v;
            host.process(in, out, 2, 512);
            EXPECT_TRUE(allFinite(out)) << "param " << i << " at " << v;
        }
        host.setParameter(i, original);
    }
}

TEST_F(HostInput, OddSampleRatesGiveFiniteOutput)
{
    const float rates[] = {0.0f, -1.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), 1.0f, 1e7f, FLT_MAX,
                           1e-30f, 44100.0f};
    GChannels<float> in = joined(tone(2, 4096, 0.5), silence(2, 1024)), out;
    for (float rate : rates) {
        host.setSampleRate(rate);
        host.process(in, out, 2, 512);
        EXPECT_TRUE(allFinite(out)) << "float path at " << rate << " Hz";
        for (size_t c = 0; c < 2; ++c)
            for (size_t k = 0; k < in[c].size(); ++k)
                ASSERT_LE(std::fabs(out[c][k]), std::fabs(in[c][k]) * 1.000001f) << rate;
        GChannels<double> outD;
        host.process(widened(in), outD, 2, 512);
        for (const auto& c : outD)
            for (double v : c)
                ASSERT_TRUE(std::isfinite(v)) << "double path at " << rate << " Hz";
    }
}

}  // namespace
}  // namespace Zorv
