#include "testhost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Zorv;

namespace {

void arrange(Quelt& q, int ins, int outs)
{
    VstSpeakerArrangement in{}, out{};
    in.numChannels = ins;
    out.numChannels = outs;
    ASSERT_TRUE(q.setSpeakerArrangement(&in, &out));
}

// An open gate: constant full scale long enough to finish the attack.
void open(Quelt& q)
{
    std::vector<double> l(256, 1.0), r(256, 1.0), o(256), p(256);
    double* in[2] = {l.data(), r.data()};
    double* out[2] = {o.data(), p.data()};
    q.processDouble(in, 2, out, 2, 256);
    ASSERT_EQ(q.getState(), Open);
}

struct Stereo {
    std::vector<double> l, r;
    explicit Stereo(size_t n, double a = 0.0, double b = 0.0) : l(n, a), r(n, b) {}
    double* ch[2] = {nullptr, nullptr};
    double** ptrs()
    {
        ch[0] = l.data();
        ch[1] = r.data();
        return ch;
    }
};

}  // namespace

TEST(GateChannels, StereoToMonoAveragesAndMonoToStereoDuplicates)
{
    Quelt q(nullptr);
    open(q);
    Stereo in(8, 0.6, 0.2), out(8, 9.0, 9.0);
    arrange(q, 2, 1);
    q.processDoubleReplacing(in.ptrs(), out.ptrs(), 8);
    EXPECT_DOUBLE_EQ(out.l[7], 0.4);
    EXPECT_EQ(out.r[7], 9.0);

    arrange(q, 1, 2);
    q.processDoubleReplacing(in.ptrs(), out.ptrs(), 8);
    EXPECT_DOUBLE_EQ(out.l[7], 0.6);
    EXPECT_DOUBLE_EQ(out.r[7], 0.6);
}

TEST(GateChannels, BypassPassesInputWhileTheMeterFollows)
{
    Quelt q(nullptr);
    q.setProgram(3);
    ASSERT_TRUE(q.setBypass(true));
    Stereo in(50, 1.0, -0.5), out(50);
    q.processDoubleReplacing(in.ptrs(), out.ptrs(), 50);
    EXPECT_EQ(out.l, in.l);
    EXPECT_EQ(out.r, in.r);
    EXPECT_EQ(q.getGain(), 1.0);
    q.setBypass(false);
    EXPECT_FALSE(q.isBypassed());
}

TEST(GateChannels, InPlaceBuffersAreReadBeforeWritten)
{
    Quelt q(nullptr);
    q.setProgram(3);
    Stereo a(100, 1.0, 1.0), b(100, 1.0, 1.0), out(100);
    q.processDoubleReplacing(b.ptrs(), out.ptrs(), 100);
    Quelt inPlace(nullptr);
    inPlace.setProgram(3);
    inPlace.processDoubleReplacing(a.ptrs(), a.ptrs(), 100);
    EXPECT_EQ(a.l, out.l);
    EXPECT_EQ(a.r, out.r);
}

TEST(GateFloatPath, MatchesDoubleAndRelaysScratchWhenArrangementChanges)
{
    Quelt f(nullptr), d(nullptr);
    std::vector<float> l(256), r(256), ol(256), orr(256);
    Stereo dl(256), dout(256);
    for (size_t i = 0; i < 256; ++i) {
        l[i] = float(0.8 * std::sin(0.1 * double(i)));
        r[i] = float(0.3 * std::cos(0.07 * double(i)));
        dl.l[i] = l[i];
        dl.r[i] = r[i];
    }
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {ol.data(), orr.data()};
    for (Quelt* q : {&f, &d})
        arrange(*q, 1, 2);
    f.processReplacing(in, out, 256);
    d.processDoubleReplacing(dl.ptrs(), dout.ptrs(), 256);
    for (size_t i = 0; i < 256; ++i)
        EXPECT_EQ(ol[i], float(dout.l[i])) << i;

    for (Quelt* q : {&f, &d})
        arrange(*q, 2, 1);
    f.processReplacing(in, out, 256);
    d.processDoubleReplacing(dl.ptrs(), dout.ptrs(), 256);
    for (size_t i = 0; i < 256; ++i)
        EXPECT_EQ(ol[i], float(dout.l[i])) << i;  // both input channels reached the mix
}

TEST(GateFloatPath, EmptyOrMissingBuffersAreNotTouched)
{
    Quelt q(nullptr);
    std::vector<float> l(4, 7.0f), r(4, 7.0f);
    float* io[2] = {l.data(), r.data()};
    q.processReplacing(io, io, 0);
    q.processReplacing(io, io, -5);
    q.processReplacing(nullptr, io, 4);
    float* missing[2] = {l.data(), nullptr};
    q.processReplacing(missing, io, 4);
    double* dnull[2] = {nullptr, nullptr};
    q.processDoubleReplacing(dnull, dnull, 4);
    EXPECT_EQ(l, std::vector<float>(4, 7.0f));
    EXPECT_EQ(r, std::vector<float>(4, 7.0f));
}

TEST(GateNonFinite, ANaNSampleRestartsTheDetectorLikeAFreshGate)
{
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY), 1e200}) {
        Quelt q(nullptr), fresh(nullptr);
        q.setProgram(3);
        fresh.setProgram(3);
        open(q);
        Stereo spike(1, bad, 0.0), spikeOut(1);
        q.processDoubleReplacing(spike.ptrs(), spikeOut.ptrs(), 1);
        EXPECT_EQ(spikeOut.l[0], 0.0);
        Stereo in(200, 1.0, 1.0), out(200), expected(200);
        for (size_t i = 0; i < 200; ++i)
            in.l[i] = in.r[i] = (i < 120) ? 0.7 : 0.0;
        q.processDoubleReplacing(in.ptrs(), out.ptrs(), 200);
        fresh.processDoubleReplacing(in.ptrs(), expected.ptrs(), 200);
        EXPECT_EQ(out.l, expected.l) << bad;
        EXPECT_EQ(out.r, expected.r) << bad;
    }
}

TEST(GateNonFinite, HostValuesAreStoredButConversionsStayDefined)
{
    Quelt q(nullptr);
    for (float v : {NAN, INFINITY, -INFINITY, 3.4e38f, -3.4e38f}) {
        for (int i = 0; i < kNumQueltParameters; ++i) {
            q.setParameter(i, v);
            if (std::isnan(v))
                EXPECT_TRUE(std::isnan(q.getParameter(i)));
            else
                EXPECT_EQ(q.getParameter(i), v);
        }
        EXPECT_GE(q.getFadeStep(), 0.0);
        EXPECT_LE(q.getFadeStep(), 1.0);
        EXPECT_GE(q.getAttackStep(), 0.0);
        EXPECT_LE(q.getAttackStep(), 1.0);
        Stereo in(32, 0.5, 0.5), out(32);
        q.processDoubleReplacing(in.ptrs(), out.ptrs(), 32);
    }
}
