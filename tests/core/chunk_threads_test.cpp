// Two host threads save the state at once, alternating program and bank
// chunks, while a third writes parameters and switches programs. Each caller's
// bytes stay whole and unchanged until its own next getChunk; every value in
// them is one that was written, never a torn mix. Run under ASan and TSan too.
#include "gate/quelt.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace Zorv;

namespace {

constexpr int kRecord = 49;
constexpr int kPrograms = 10;
constexpr int kWrittenSteps = 16;  // the writer's values are k / 16

// What a chunk's record must hold: a known name and values from the allowed set.
bool recordIsWhole(const uint8_t* record, const std::set<std::string>& names,
                   const std::set<uint64_t>& values)
{
    if (!names.count(std::string(reinterpret_cast<const char*>(record))))
        return false;
    for (int i = 0; i < kNumQueltParameters; ++i) {
        uint64_t bits;
        memcpy(&bits, record + 25 + 8 * i, sizeof bits);
        if (!values.count(bits))
            return false;
    }
    return true;
}

uint64_t bitsOf(double v)
{
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    return bits;
}

}  // namespace

TEST(ChunkThreads, ConcurrentSavesGetWholeBytesOfTheirOwn)
{
    Quelt q(nullptr);
    std::set<std::string> names;
    std::set<uint64_t> values;
    for (int p = 0; p < kPrograms; ++p) {
        names.insert(q.getBank().programName(p));
        for (int i = 0; i < kNumQueltParameters; ++i)
            values.insert(bitsOf(q.getBank().parameter(i)->getNormalised(q.getBank().slot(p, i))));
    }
    for (int k = 0; k <= kWrittenSteps; ++k)
        values.insert(bitsOf(double(float(k) / kWrittenSteps)));

    std::atomic<bool> saving{true};
    std::thread writer([&] {
        for (int round = 0; saving.load(); ++round) {
            q.setParameter(round % kNumQueltParameters, float(round % (kWrittenSteps + 1)) / kWrittenSteps);
            if (round % 64 == 0)
                q.setProgram(round / 64 % kPrograms);
        }
    });
    auto saver = [&](int offset, int& bad) {
        for (int round = 0; round < 500; ++round) {
            const bool preset = (round + offset) % 2 == 0;
            void* data = nullptr;
            const int32_t size = q.getChunk(&data, preset);
            if (size != (preset ? kRecord : kRecord * kPrograms) || !data) {
                ++bad;
                continue;
            }
            const std::vector<uint8_t> first(static_cast<uint8_t*>(data),
                                             static_cast<uint8_t*>(data) + size);
            std::this_thread::yield();  // the other saver takes its chunk meanwhile
            for (int r = 0; r < size / kRecord; ++r)
                bad += !recordIsWhole(first.data() + r * kRecord, names, values);
            bad += memcmp(first.data(), data, size_t(size)) != 0;
        }
    };
    int badA = 0, badB = 0;
    std::thread a(saver, 0, std::ref(badA));
    std::thread b(saver, 1, std::ref(badB));
    a.join();
    b.join();
    saving = false;
    writer.join();
    EXPECT_EQ(badA, 0);
    EXPECT_EQ(badB, 0);
}
