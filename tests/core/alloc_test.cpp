// Counts heap allocations made while the audio thread processes blocks.
#include "gate/quelt.h"

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
std::atomic<size_t> failFrom{0};  // when set, allocations of at least this many bytes fail
}  // namespace

void* operator new(size_t n)
{
    if (counting.load())
        ++allocations;
    const size_t limit = failFrom.load();
    if (limit && n >= limit)
        throw std::bad_alloc();
    if (void* p = malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept
{
    if (counting.load())
        ++allocations;
    return malloc(n ? n : 1);
}
void* operator new[](size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

namespace {

int allocationsWhileProcessing(Zorv::Quelt& q, int frames, int ins, int outs)
{
    VstSpeakerArrangement in{}, out{};
    in.numChannels = ins;
    out.numChannels = outs;
    q.setSpeakerArrangement(&in, &out);
    std::vector<float> a(size_t(frames), 0.5f), b(size_t(frames), 0.5f);
    float* io[2] = {a.data(), b.data()};
    allocations = 0;
    counting = true;
    q.processReplacing(io, io, frames);
    q.processReplacing(io, io, frames / 2);
    counting = false;
    return allocations;
}

}  // namespace

TEST(AudioThread, AnnouncedBlocksNeverAllocate)
{
    Zorv::Quelt q(nullptr);
    q.setBlockSize(512);
    q.resume();
    EXPECT_EQ(allocationsWhileProcessing(q, 512, 2, 2), 0);
    EXPECT_EQ(allocationsWhileProcessing(q, 512, 1, 2), 0);
    EXPECT_EQ(allocationsWhileProcessing(q, 512, 2, 1), 0);
}

// A host that sends more frames than it announced gets them processed in pieces
// of the area it announced: nothing is allocated (an allocation would fail here)
// and the output is bit for bit that of a run laid out for the whole block.
TEST(AudioThread, LargerBlocksThanAnnouncedRunInPiecesBitForBit)
{
    constexpr int kFrames = 4096;
    std::vector<float> signal(kFrames);
    for (int i = 0; i < kFrames; ++i)
        signal[size_t(i)] = float(0.5 * std::sin(0.01 * i) * (i % 1500 < 700 ? 1.0 : 0.001));
    std::vector<std::vector<float>> outputs;
    for (int announced : {kFrames, 64, 32}) {
        Zorv::Quelt q(nullptr);
        AEffect* e = q.getAeffect();
        q.setBlockSize(announced);
        q.resume();
        std::vector<float> a = signal, b = signal;
        float* io[2] = {a.data(), b.data()};
        allocations = 0;
        counting = true;
        failFrom = 1;
        e->processReplacing(e, io, io, kFrames);
        failFrom = 0;
        counting = false;
        EXPECT_EQ(allocations.load(), 0) << announced;
        outputs.push_back(a);
        outputs.push_back(b);
    }
    for (size_t k = 2; k < outputs.size(); ++k)
        EXPECT_EQ(0, memcmp(outputs[k].data(), outputs[k % 2].data(), kFrames * sizeof(float))) << k;
}
