// Counts heap allocations made while the audio thread processes blocks.
#include "gate/quelt.h"

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
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

TEST(AudioThread, LargerBlocksThanAnnouncedStillWork)
{
    Zorv::Quelt q(nullptr);
    q.setBlockSize(64);
    q.resume();
    EXPECT_GE(allocationsWhileProcessing(q, 4096, 2, 2), 1);
    EXPECT_EQ(allocationsWhileProcessing(q, 4096, 2, 2), 0);
}

TEST(AudioThread, FailedScratchGrowthKeepsTheOldArea)
{
    constexpr int kBlock = 32;  // its scratch is small enough for the allocator's reuse cache
    constexpr int kScratchDoubles = 4 * kBlock;
    Zorv::Quelt q(nullptr);
    AEffect* e = q.getAeffect();
    q.setBlockSize(kBlock);
    q.resume();
    std::vector<float> a(4096, 0.5f), b(4096, 0.5f);
    float* io[2] = {a.data(), b.data()};
    e->processReplacing(e, io, io, kBlock);

    failFrom = sizeof(double) * kScratchDoubles + 1;
    e->processReplacing(e, io, io, 4096);  // the growth fails: the block is skipped
    failFrom = 0;
    EXPECT_EQ(a[kBlock], 0.5f);
    EXPECT_EQ(b[4095], 0.5f);

    // An area freed by the failed growth would be the next one of its size handed out.
    double* reused = new double[kScratchDoubles];
    std::fill(reused, reused + kScratchDoubles, 7.0);
    e->processReplacing(e, io, io, kBlock);
    EXPECT_EQ(std::count(reused, reused + kScratchDoubles, 7.0), kScratchDoubles);
    delete[] reused;
    e->processReplacing(e, io, io, 4096);  // grows now
    for (int i = 0; i < 4096; ++i)
        ASSERT_TRUE(std::isfinite(a[size_t(i)]) && std::isfinite(b[size_t(i)])) << i;
}
