#include "effect/editqueue.h"

#include <cstring>

namespace Zorv {

namespace {

// An entry: the value's float bits, then what it holds, then the parameter index.
constexpr uint64_t kValueBits = 0xffffffffull;
constexpr uint64_t kBegin = 1ull << 32;
constexpr uint64_t kValue = 1ull << 33;
constexpr uint64_t kEnd = 1ull << 34;
constexpr uint64_t kKinds = kBegin | kValue | kEnd;
constexpr int kIndexShift = 40;

static_assert((GEditQueue::kCapacity & (GEditQueue::kCapacity - 1)) == 0,
              "slots stay in step when the 32-bit positions wrap");

uint64_t entryOf(int index, uint64_t kind)
{
    return (uint64_t(uint32_t(index)) << kIndexShift) | kind;
}

int indexOf(uint64_t entry)
{
    return int(entry >> kIndexShift);
}

// What entry holds with edit after it: a value replaces the one held, a begin
// after an end joins the two gestures. Nothing left to deliver: 0.
uint64_t merged(uint64_t entry, uint64_t edit)
{
    uint64_t result = entry | edit;
    if (edit & kValue)
        result = (entry & ~kValueBits) | edit;
    else if ((edit & kBegin) && (entry & kEnd))
        result = entry & ~kEnd;
    return (result & kKinds) ? result : 0;
}

}  // namespace

GEditQueue::GEditQueue(int numParams)
    : numParams(numParams > 0 ? numParams : 0),
      ring(std::make_unique<std::atomic<uint64_t>[]>(kCapacity)),
      pending(std::make_unique<std::atomic<uint64_t>[]>(size_t(this->numParams))),
      pendingSince(std::make_unique<std::atomic<uint32_t>[]>(size_t(this->numParams)))
{
}

void GEditQueue::begin(int index)
{
    push(index, kBegin);
}

void GEditQueue::value(int index, float normalised)
{
    uint32_t bits;
    memcpy(&bits, &normalised, sizeof(bits));
    push(index, kValue | bits);
}

void GEditQueue::end(int index)
{
    push(index, kEnd);
}

void GEditQueue::push(int index, uint64_t kind)
{
    if (index < 0 || index >= numParams)
        return;
    const uint64_t edit = entryOf(index, kind);
    // Once a parameter has edits pending, its later ones wait behind them there.
    if (pending[index].load(std::memory_order_acquire)) {
        mergeIntoPending(index, edit);
        return;
    }
    std::atomic<uint64_t>& next = ring[tail % kCapacity];
    const bool full = next.load(std::memory_order_acquire) != 0;
    if (full && mergeIntoLast(index, edit))
        return;
    // Free again when the drainer took the last slot meanwhile: it took all before it.
    if (!full || next.load(std::memory_order_acquire) == 0) {
        next.store(edit, std::memory_order_release);
        ++tail;
        return;
    }
    mergeIntoPending(index, edit);
}

bool GEditQueue::mergeIntoLast(int index, uint64_t edit)
{
    std::atomic<uint64_t>& last = ring[(tail - 1) % kCapacity];
    uint64_t entry = last.load(std::memory_order_acquire);
    // Only a value or the end joins a gesture still open in the last slot.
    if (!entry || indexOf(entry) != index || (entry & kEnd) || (edit & kBegin))
        return false;
    return last.compare_exchange_strong(entry, merged(entry, edit), std::memory_order_acq_rel);
}

void GEditQueue::mergeIntoPending(int index, uint64_t edit)
{
    // The drainer only ever empties the entry, so this settles by the second try.
    std::atomic<uint64_t>& entry = pending[index];
    uint64_t seen = entry.load(std::memory_order_acquire);
    do {
        if (!seen)  // what the ring holds up to here goes out first
            pendingSince[index].store(tail, std::memory_order_release);
    } while (!entry.compare_exchange_weak(seen, merged(seen, edit), std::memory_order_acq_rel));
}

bool GEditQueue::drain(GEditSink& sink)
{
    if (draining.test_and_set(std::memory_order_acquire))
        return false;
    // The ring again at the end: a host callback may have stopped the editor,
    // whose last gesture ended meanwhile on this thread.
    for (int pass = 0; pass < 2; ++pass) {
        for (uint32_t n = 0; n < kCapacity && !sink.stopped(); ++n) {
            const uint64_t entry = ring[head % kCapacity].exchange(0, std::memory_order_acq_rel);
            if (!entry)
                break;
            ++head;
            deliver(entry, sink);
        }
        for (int i = 0; pass == 0 && i < numParams && !sink.stopped(); ++i)
            if (isPendingDue(i))
                if (const uint64_t entry = pending[i].exchange(0, std::memory_order_acq_rel))
                    deliver(entry, sink);
    }
    draining.clear(std::memory_order_release);
    return true;
}

bool GEditQueue::isPendingDue(int index) const
{
    if (!pending[index].load(std::memory_order_acquire))
        return false;
    return int32_t(head - pendingSince[index].load(std::memory_order_acquire)) >= 0;
}

void GEditQueue::deliver(uint64_t entry, GEditSink& sink)
{
    const int index = indexOf(entry);
    if (entry & kBegin)
        sink.beginEdit(index);
    if (entry & kValue) {
        const uint32_t bits = uint32_t(entry & kValueBits);
        float value;
        memcpy(&value, &bits, sizeof(value));
        sink.automate(index, value);
    }
    if (entry & kEnd)
        sink.endEdit(index);
}

}  // namespace Zorv
