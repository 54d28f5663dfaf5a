// Counts heap allocations made while the audio thread processes blocks.
#include "gate/quelt.h"

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
}  // namespace

void* operator new(size_t n)
{
    if (counting.load())
        ++allocations;
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
