// The entry point, the effect record and the host callbacks of construction.

#include "tests/host/hostfixture.h"

#include <algorithm>
#include <thread>

namespace Zorv {
namespace {

TEST(Record, FieldsAfterEntryPoint)
{
    GPluginHost host;
    ASSERT_TRUE(host.load(kPluginPath)) << host.error();
    const AEffect& e = *host.effect();
    EXPECT_EQ(sizeof(AEffect), 192u);
    EXPECT_EQ(e.magic, 0x56737450);
    EXPECT_EQ(e.version, 2700);
    EXPECT_EQ(e.uniqueID, 0x715A766B);
    EXPECT_EQ(e.uniqueID, fourCC("qZvk"));
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.numPrograms, 10);
    EXPECT_EQ(e.numParams, 3);
    EXPECT_EQ(e.flags, 4113) << "editor, replacing and double replacing";
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.resvd1, 0);
    EXPECT_EQ(e.resvd2, 0);
    EXPECT_EQ(e.realQualities, 0);
    EXPECT_EQ(e.offQualities, 0);
    EXPECT_NE(e.object, nullptr);
    EXPECT_EQ(e.user, nullptr);
    EXPECT_TRUE(e.dispatcher && e.process && e.setParameter && e.getParameter &&
                e.processReplacing && e.processDoubleReplacing);
    EXPECT_TRUE(std::all_of(e.future, e.future + sizeof(e.future), [](char c) { return c == 0; }));
}

TEST(Record, ConstructionAsksVersionSampleRateAndTheHostsName)
{
    GPluginHost host;
    ASSERT_TRUE(host.load(kPluginPath)) << host.error();
    std::vector<GHostCall> calls = host.calls().calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(calls[0].effect, nullptr);
    EXPECT_EQ(calls[1].opcode, audioMasterGetSampleRate);
    EXPECT_EQ(calls[1].effect, host.effect());
    // The host's names, for the editor's texts, asked here on the host's thread.
    EXPECT_EQ(calls[2].opcode, audioMasterGetVendorString);
    EXPECT_EQ(calls[3].opcode, audioMasterGetProductString);
    for (const GHostCall& c : calls)
        EXPECT_EQ(c.thread, std::this_thread::get_id());
    EXPECT_NE(calls[3].ptr, nullptr);
    calls.resize(2);
    for (const GHostCall& c : calls) {
        EXPECT_EQ(c.index, 0);
        EXPECT_EQ(c.value, 0);
        EXPECT_EQ(c.ptr, nullptr);
        EXPECT_EQ(c.opt, 0.0f);
        EXPECT_EQ(c.thread, std::this_thread::get_id());
    }
    host.calls().clear();
    ASSERT_TRUE(host.start());
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(host.calls().calls().empty()) << "start and resume call nobody back";
}

TEST(Record, HostAnsweringVersionZeroGetsNoEffect)
{
    GHostConfig config;
    config.versionAnswer = 0;
    GPluginHost host(config);
    EXPECT_FALSE(host.load(kPluginPath));
    EXPECT_EQ(host.effect(), nullptr);
    ASSERT_EQ(host.calls().calls().size(), 1u);
    EXPECT_EQ(host.calls().calls()[0].opcode, audioMasterVersion);
}

TEST(Record, WorksWithoutHostCallback)
{
    GHostConfig config;
    config.withCallback = false;
    GPluginHost host(config);
    ASSERT_TRUE(host.open(kPluginPath)) << host.error();
    EXPECT_EQ(host.effect()->version, 2700);
    EXPECT_EQ(host.paramName(0), "Thresh");
    GChannels<float> in = tone(2, 4096, 0.5), out;
    host.process(in, out, 2, 512);
    EXPECT_NEAR(out[0][4000], in[0][4000], 1e-6);
    EXPECT_EQ(host.close(), 1);
}

// Output sample 1 of a full-scale step is the first attack step, 1 / (trunc(rate * 1 ms) + 1).
float firstAttackStep(intptr_t sampleRateAnswer)
{
    GHostConfig config;
    config.sampleRateAnswer = sampleRateAnswer;
    GPluginHost host(config);
    EXPECT_TRUE(host.load(kPluginPath)) << host.error();
    EXPECT_TRUE(host.string2parameter(2, "1.0"));
    GChannels<float> in = tone(2, 8, 1.0, 0.0), out;
    host.process(in, out, 2, 8);
    EXPECT_EQ(out[0][0], 0.0f);
    return out[0][1];
}

TEST(Record, TakesSampleRateFromHostAtConstruction)
{
    EXPECT_FLOAT_EQ(firstAttackStep(48000), 1.0f / 49.0f);
    EXPECT_FLOAT_EQ(firstAttackStep(44100), 1.0f / 45.0f);
    EXPECT_FLOAT_EQ(firstAttackStep(0), 1.0f / 45.0f) << "no answer keeps 44100";
}

TEST(Record, CloseAnswersOne)
{
    GPluginHost host;
    ASSERT_TRUE(host.open(kPluginPath)) << host.error();
    host.calls().clear();
    EXPECT_EQ(host.close(), 1);
    EXPECT_EQ(host.effect(), nullptr);
    EXPECT_TRUE(host.calls().calls().empty());
}

TEST(Record, InstancesAreIndependent)
{
    GPluginHost a, b;
    ASSERT_TRUE(a.open(kPluginPath) && b.open(kPluginPath));
    EXPECT_NE(a.effect(), b.effect());
    a.setProgram(2);
    b.setParameter(0, 0.25f);
    EXPECT_EQ(b.program(), 0);
    EXPECT_NE(a.getParameter(0), 0.25f);
    EXPECT_EQ(a.close(), 1);
    EXPECT_EQ(b.getParameter(0), 0.25f);
}

}  // namespace
}  // namespace Zorv
