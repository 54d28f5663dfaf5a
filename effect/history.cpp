#include "effect/history.h"

namespace Zorv {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

std::unique_ptr<std::atomic<double>[]> zeroes(int n)
{
    std::unique_ptr<std::atomic<double>[]> values(new std::atomic<double>[size_t(n)]);
    for (int i = 0; i < n; ++i)
        values[size_t(i)].store(0.0, kRelaxed);
    return values;
}

}  // namespace

GHistory::GHistory(int columns)
    : n(columns > 1 ? columns : 1), minA(zeroes(n)), maxA(zeroes(n)), minB(zeroes(n)),
      maxB(zeroes(n))
{
}

void GHistory::write(const GHistoryColumn& c)
{
    const int at = writePos.load(kRelaxed);
    minA[size_t(at)].store(c.minA, kRelaxed);
    maxA[size_t(at)].store(c.maxA, kRelaxed);
    minB[size_t(at)].store(c.minB, kRelaxed);
    maxB[size_t(at)].store(c.maxB, kRelaxed);
    writePos.store(at + 1 < n ? at + 1 : 0, std::memory_order_release);
    count.fetch_add(1u, std::memory_order_release);
}

int GHistory::columnCount() const
{
    return int(count.load(std::memory_order_acquire));
}

int GHistory::writePosition() const
{
    return writePos.load(std::memory_order_acquire);
}

GHistoryColumn GHistory::column(int i, int wp) const
{
    int index = (wp - 1 - i) % n;
    if (index < 0)
        index += n;
    const size_t at = size_t(index);
    return {minA[at].load(kRelaxed), maxA[at].load(kRelaxed), minB[at].load(kRelaxed),
            maxB[at].load(kRelaxed)};
}

}  // namespace Zorv
