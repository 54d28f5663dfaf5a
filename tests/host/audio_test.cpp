// Audio through the effect record: gating, bypass, channel mapping, both
// precisions, in-place buffers and block-size independence.

#include "tests/host/hostfixture.h"

#include <cmath>

namespace Zorv {
namespace {

class Audio : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        host.setProgram(kDefaultsProgram);
    }
    // Suspend and resume: the gate starts closed again.
    void reset()
    {
        host.dispatch(effMainsChanged, 0, 0);
        host.dispatch(effMainsChanged, 0, 1);
    }
};

constexpr size_t kAttackDone = 441;  // 10 ms: far beyond the 1 ms attack

TEST_F(Audio, SilenceAndQuietNoiseStayShut)
{
    GChannels<float> out;
    host.process(silence(2, 44100), out, 2, 512);
    for (const auto& c : out)
        for (float v : c)
            ASSERT_EQ(v, 0.0f);
    host.process(tone(2, 44100, 1e-5, 3000.0), out, 2, 512);  // -100 dBFS, below -70 dB
    for (const auto& c : out)
        for (float v : c)
            ASSERT_EQ(v, 0.0f);
}

TEST_F(Audio, FullScaleStepRampsOverTheAttack)
{
    GChannels<float> out;
    host.process(tone(2, 100, 1.0, 0.0), out, 2, 100);
    EXPECT_EQ(out[0][0], 0.0f);
    for (size_t k = 1; k <= 45; ++k)
        EXPECT_NEAR(out[0][k], double(k) / 45.0, 1e-5) << k;
    for (size_t k = 45; k < 100; ++k)
        EXPECT_EQ(out[1][k], 1.0f) << k;
}

double rms(const std::vector<float>& x, size_t from, size_t to)
{
    double sum = 0;
    for (size_t k = from; k < to; ++k)
        sum += double(x[k]) * x[k];
    return std::sqrt(sum / double(to - from));
}

TEST_F(Audio, BurstOpensThenFadesShut)
{
    // The detector needs about 14100 samples to fall from the burst's power to -70 dB,
    // then the fade of 0.5 s takes 22051 samples.
    const size_t start = 4410, end = start + 8820, fading = end + 20000, shut = end + 40000;
    GChannels<float> in = joined(joined(silence(2, start), tone(2, end - start, 0.5)),
                                 tone(2, 45000, 1e-5, 3000.0));
    GChannels<float> out;
    host.process(in, out, 2, 512);
    for (size_t k = start + kAttackDone; k < end; ++k)
        ASSERT_NEAR(out[0][k], in[0][k], 1e-6) << k;
    double ratio = rms(out[0], fading, fading + 500) / rms(in[0], fading, fading + 500);
    EXPECT_GT(ratio, 0.3) << "still fading";
    EXPECT_LT(ratio, 0.95) << "fading";
    for (size_t k = shut; k < in[0].size(); ++k)
        ASSERT_EQ(out[0][k], 0.0f) << k;
}

TEST_F(Audio, BypassPassesInputUnchanged)
{
    ASSERT_TRUE(host.setBypass(true));
    GChannels<float> in = joined(tone(2, 4000, 1e-4, 200.0), tone(2, 4000, 0.7)), out;
    host.process(in, out, 2, 512);
    EXPECT_EQ(out, in);
    ASSERT_TRUE(host.setBypass(false));
    host.process(tone(2, 512, 1e-6), out, 2, 512);
    EXPECT_NE(out[0][300], 0.0f) << "the gate ran on while bypassed and is open";
}

TEST_F(Audio, MonoInputIsDuplicated)
{
    ASSERT_TRUE(host.setSpeakerArrangement(1, 2));
    GChannels<float> in = tone(1, 4096, 0.5), out;
    host.process(in, out, 2, 512);
    EXPECT_EQ(out[0], out[1]);
    EXPECT_NEAR(out[0][4000], in[0][4000], 1e-6);
}

TEST_F(Audio, StereoIntoOneOutputIsAveraged)
{
    ASSERT_TRUE(host.setSpeakerArrangement(2, 1));
    GChannels<float> in = tone(2, 4096, 0.5), out;
    host.process(in, out, 1, 512);
    ASSERT_EQ(out.size(), 1u);
    for (size_t k = kAttackDone; k < 4096; ++k)
        ASSERT_NEAR(out[0][k], (in[0][k] + in[1][k]) * 0.5f, 1e-6) << k;
}

TEST_F(Audio, ArrangementChangeBetweenEqualBlocks)
{
    ASSERT_TRUE(host.setSpeakerArrangement(1, 2));
    GChannels<float> in = tone(2, 1024, 0.5, 0.0), out;
    in[1].assign(1024, 0.0f);
    host.process(in, out, 2, 512);
    EXPECT_EQ(out[1][1000], out[0][1000]);
    ASSERT_TRUE(host.setSpeakerArrangement(2, 1));
    host.process(in, out, 1, 512);
    EXPECT_NEAR(out[0][1000], 0.25f, 1e-6) << "both inputs are read after the switch";
}

TEST_F(Audio, FloatAndDoublePathsAgree)
{
    GChannels<float> in = joined(tone(2, 3000, 0.3), tone(2, 30000, 1e-5, 500.0)), outF;
    GChannels<double> outD;
    host.process(in, outF, 2, 512);
    reset();
    host.process(widened(in), outD, 2, 512);
    for (size_t c = 0; c < 2; ++c)
        for (size_t k = 0; k < in[c].size(); ++k)
            ASSERT_NEAR(outF[c][k], outD[c][k], 1e-7) << c << ":" << k;
}

TEST_F(Audio, InPlaceBuffersGiveTheSameResult)
{
    GChannels<float> in = joined(tone(2, 3000, 0.3), tone(2, 3000, 1e-5, 500.0)), expected;
    host.process(in, expected, 2, 256);
    reset();
    GChannels<float> buffers = in;
    for (size_t at = 0; at < in[0].size(); at += 256) {
        float* ptr[] = {buffers[0].data() + at, buffers[1].data() + at};
        host.processBlock(ptr, ptr, int32_t(std::min<size_t>(256, in[0].size() - at)));
    }
    EXPECT_EQ(buffers, expected);

    reset();
    GChannels<double> wide = widened(in), expectedD;
    host.process(wide, expectedD, 2, 256);
    reset();
    for (size_t at = 0; at < in[0].size(); at += 256) {
        double* ptr[] = {wide[0].data() + at, wide[1].data() + at};
        host.processBlock(ptr, ptr, int32_t(std::min<size_t>(256, in[0].size() - at)));
    }
    EXPECT_EQ(wide, expectedD);
}

TEST_F(Audio, BlockSizeDoesNotChangeTheResult)
{
    GChannels<float> in = joined(tone(2, 3000, 0.3), tone(2, 5000, 1e-5, 500.0)), a, b;
    host.process(in, a, 2, 4096);
    for (int block : {1, 7, 512}) {
        reset();
        host.process(in, b, 2, block);
        EXPECT_EQ(a, b) << "block " << block;
    }
}

}  // namespace
}  // namespace Zorv
