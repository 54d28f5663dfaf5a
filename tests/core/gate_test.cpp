#include "testhost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Zorv;

namespace {

// Runs a stereo block through processDouble with the current arrangement.
std::vector<double> runMono(Quelt& q, const std::vector<double>& input)
{
    std::vector<double> left = input, right = input, outL(input.size()), outR(input.size());
    double* in[2] = {left.data(), right.data()};
    double* out[2] = {outL.data(), outR.data()};
    q.processDoubleReplacing(in, out, int32_t(input.size()));
    return outL;
}

}  // namespace

TEST(Exp2Approx, ReproducesTheQuarticAndTheExponentShift)
{
    EXPECT_EQ(exp2Approx(0.0), 1.0);
    EXPECT_EQ(exp2Approx(3.0), 8.0);
    EXPECT_NEAR(exp2Approx(-0.5), std::exp2(-0.5), 1e-4);
    EXPECT_NEAR(exp2Approx(-2.25), std::exp2(-2.25), 1e-4);
}

TEST(GateCoefficients, At44100And48000)
{
    Quelt q(nullptr);
    EXPECT_DOUBLE_EQ(q.getRiseCoefficient(), 0.09911998934731059);
    EXPECT_DOUBLE_EQ(q.getFallCoefficient(), 0.001043251389178601);
    q.setProgram(3);
    EXPECT_EQ(q.getFadeStep(), 1.0 / 22051);
    EXPECT_EQ(q.getAttackStep(), 1.0 / 45);
    EXPECT_NEAR(q.getThresholdPower(), 1e-7, 1e-22);

    q.setSampleRate(48000.0f);
    EXPECT_DOUBLE_EQ(q.getRiseCoefficient(), 0.09144637876385708);
    EXPECT_DOUBLE_EQ(q.getFallCoefficient(), 0.0009585278691176535);
    EXPECT_EQ(q.getAttackStep(), 1.0 / 49);
}

TEST(GateCoefficients, HostRateIsTakenAtConstruction)
{
    testhost::answers.sampleRate = 48000;
    Quelt q(testhost::callback);
    testhost::answers = {};
    EXPECT_EQ(q.getSampleRate(), 48000.0f);
    EXPECT_DOUBLE_EQ(q.getRiseCoefficient(), 0.09144637876385708);
}

TEST(GateCoefficients, RatesTheGateCannotRunAtAreRefusedAndExtremeOnesStayInRange)
{
    Quelt q(nullptr);
    q.setSampleRate(48000.0f);
    const struct {
        float rate;
        float kept;  // the rate afterwards
    } cases[] = {{0.0f, 48000.0f}, {-44100.0f, 48000.0f}, {NAN, 48000.0f}, {INFINITY, 48000.0f},
                 {1e30f, 48000.0f}, {1.0f, 1.0f},      {5.0f, 5.0f},      {1e7f, 1e7f}};
    for (const auto& c : cases) {
        q.setSampleRate(c.rate);
        EXPECT_EQ(q.getSampleRate(), c.kept) << c.rate;
        for (double k : {q.getRiseCoefficient(), q.getFallCoefficient()}) {
            EXPECT_GE(k, 0.0) << c.rate;
            EXPECT_LE(k, 1.0) << c.rate;
        }
        EXPECT_GT(q.getFadeStep(), 0.0);
        EXPECT_LE(q.getAttackStep(), 1.0);
        std::vector<double> out = runMono(q, std::vector<double>(64, 0.5));
        for (double x : out)
            EXPECT_TRUE(std::isfinite(x)) << c.rate;
    }
}

TEST(GateRamps, FullScaleAttackTakes45Samples)
{
    Quelt q(nullptr);
    q.setProgram(3);
    std::vector<double> out = runMono(q, std::vector<double>(100, 1.0));
    EXPECT_EQ(out[0], 0.0);
    for (int k = 1; k < 45; ++k)
        EXPECT_NEAR(out[size_t(k)], k / 45.0, 1e-12) << k;
    EXPECT_EQ(out[45], 1.0);
    EXPECT_EQ(q.getState(), Open);
    EXPECT_EQ(out[99], 1.0);
}

TEST(GateRamps, FadeReachesZeroOnThe22052ndDecrement)
{
    Quelt q(nullptr);
    q.setProgram(3);
    runMono(q, std::vector<double>(100, 1.0));
    ASSERT_EQ(q.getGain(), 1.0);
    // Feed silence one sample at a time and count the decrements.
    std::vector<double> zero(1, 0.0);
    int openSamples = 0;
    while (q.getState() == Open && openSamples < 100000) {
        runMono(q, zero);
        ++openSamples;
    }
    ASSERT_EQ(q.getState(), Fading);
    EXPECT_EQ(q.getGain(), 1.0);  // the sample that entered Fading did not move the gain
    int decrements = 0;
    while (q.getState() == Fading && decrements < 30000) {
        runMono(q, zero);
        ++decrements;
    }
    EXPECT_EQ(q.getState(), Closed);
    EXPECT_EQ(q.getGain(), 0.0);
    EXPECT_EQ(decrements, 22052);
}

TEST(GateRamps, AttackZeroOpensOneSampleLater)
{
    Quelt q(nullptr);
    q.setProgram(3);
    q.setParameter(kAttack, 0.0f);
    EXPECT_EQ(q.getAttackStep(), 1.0);
    std::vector<double> out = runMono(q, std::vector<double>(4, 0.5));
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[1], 0.5);
}

TEST(GateRamps, QuietInputStaysClosedAndMeterReadsZero)
{
    Quelt q(nullptr);
    q.setProgram(3);
    std::vector<double> in(4096);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = 1e-4 * std::sin(0.05 * double(i));  // -80 dB
    std::vector<double> out = runMono(q, in);
    for (double x : out)
        EXPECT_EQ(x, 0.0);
    EXPECT_EQ(q.getState(), Closed);
    const std::atomic<double>* meter = findFeatureValue<double>(q.getFeatures(), "Meter");
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->load(), 0.0);
}

TEST(GateRamps, ParameterChangesKeepTheGateState)
{
    Quelt q(nullptr);
    q.setProgram(3);
    runMono(q, std::vector<double>(20, 1.0));
    double gain = q.getGain();
    q.setParameter(kFade, 0.0f);
    q.setProgram(1);
    EXPECT_EQ(q.getGain(), gain);
    EXPECT_EQ(q.getState(), Attacking);
}
