// Two host threads write Thresh and Fade at the same moment, round after
// round, flipping both between two settings; after each round the gate
// processes a block. Its output must equal, sample for sample, that of a gate
// given the same values one after the other: the block runs on the values
// last written, never on older ones that another thread's write outran.
#include "gate/quelt.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace Zorv;

namespace {

constexpr int kFrames = 32;
constexpr int kRounds = 1000000;  // a stale round came within 100 000 when it could

intptr_t noHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

struct Gate {
    Gate() : effect(noHost) { effect.setSampleRate(48000.0f); }
    // One block of a steady -40 dB into both channels; true when out matches other's.
    void process()
    {
        float* ins[2] = {in, in};
        float* outs[2] = {left, right};
        effect.processReplacing(ins, outs, kFrames);
    }
    bool sameOutput(const Gate& other) const
    {
        return memcmp(left, other.left, sizeof(left)) == 0 &&
               memcmp(right, other.right, sizeof(right)) == 0;
    }
    float normalised(int index, double natural)
    {
        return float(effect.getBank().parameter(index)->toNormalised(natural));
    }

    Quelt effect;
    float in[kFrames], left[kFrames] = {}, right[kFrames] = {};
};

TEST(ParameterThreads, TwoWritersAtOnceLeaveTheGateOnTheValuesLastWritten)
{
    Gate racing, reference;
    for (Gate* g : {&racing, &reference})
        std::fill(std::begin(g->in), std::end(g->in), 0.01f);
    // Odd rounds open the gate quickly, even ones close it slowly.
    const float thresh[2] = {racing.normalised(kThresh, -10.0), racing.normalised(kThresh, -90.0)};
    const float fade[2] = {racing.normalised(kFade, 1.0), racing.normalised(kFade, 0.01)};

    std::atomic<int> go{-1}, done{-1};
    std::atomic<bool> stop{false};
    std::thread fadeWriter([&] {
        for (int round = 0; round < kRounds; ++round) {
            while (go.load() < round && !stop.load()) {
            }
            if (stop.load())
                return;
            racing.effect.setParameter(kFade, fade[round % 2]);
            done.store(round);
        }
    });
    int firstMismatch = -1;
    for (int round = 0; round < kRounds; ++round) {
        go.store(round);
        racing.effect.setParameter(kThresh, thresh[round % 2]);
        while (done.load() < round) {
        }
        reference.effect.setParameter(kThresh, thresh[round % 2]);
        reference.effect.setParameter(kFade, fade[round % 2]);
        racing.process();
        reference.process();
        if (!racing.sameOutput(reference)) {
            firstMismatch = round;
            break;
        }
    }
    stop = true;
    fadeWriter.join();
    EXPECT_EQ(firstMismatch, -1) << "the gate ran on older values";
}

}  // namespace
