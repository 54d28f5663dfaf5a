// GEditQueue: the editor's gestures on their way to the host. The editor's UI
// thread writes them (begin, value, end per parameter, in order; once that
// thread has ended, the thread that stopped it); the host's own thread drains
// them into a GEditSink, the only place a host hears of them. Both sides are
// wait-free and nothing is allocated after construction.
// While the ring has room every edit is kept as written. When it is full a
// parameter's edits merge into one pending entry of their own: values to the
// latest, a gesture begun right after one ended into that one. So a begin has
// its end and a gesture its last value, always; only intermediate values and
// the gap between two gestures can go.
// One writer at a time; a drain that meets another running (on any thread,
// or re-entered from a host callback the drain made) returns at once.
// Owns its ring and the per-parameter entries.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace Zorv {

// Where a drain delivers, on the draining thread.
class GEditSink {
public:
    virtual ~GEditSink() = default;
    virtual void beginEdit(int index) = 0;
    virtual void automate(int index, float normalised) = 0;
    virtual void endEdit(int index) = 0;
    virtual bool stopped() { return false; }  // true: deliver nothing more now
    // The writer's thread, after each edit it queued: a sink whose host
    // drains on request may ask for a drain here. Wait-free by default.
    virtual void editsWaiting() {}
};

class GEditQueue {
public:
    static constexpr uint32_t kCapacity = 256;

    explicit GEditQueue(int numParams);
    GEditQueue(const GEditQueue&) = delete;
    GEditQueue& operator=(const GEditQueue&) = delete;

    // The writer; an index outside 0..numParams-1 is ignored.
    void begin(int index);
    void value(int index, float normalised);
    void end(int index);

    // Delivers what is waiting, oldest first; false when another drain was running.
    bool drain(GEditSink& sink);

private:
    void push(int index, uint64_t edit);
    bool mergeIntoLast(int index, uint64_t edit);
    void mergeIntoPending(int index, uint64_t edit);
    bool isPendingDue(int index) const;  // pending, and what the ring held before it is out
    void deliver(uint64_t entry, GEditSink& sink);

    const int numParams;
    std::unique_ptr<std::atomic<uint64_t>[]> ring;     // 0: a free slot
    std::unique_ptr<std::atomic<uint64_t>[]> pending;  // per parameter, 0: nothing
    std::unique_ptr<std::atomic<uint32_t>[]> pendingSince;  // the ring's tail when it began
    uint32_t tail = 0;        // writer only: the next slot to fill
    uint32_t head = 0;        // drainer only: the next slot to take
    std::atomic_flag draining = ATOMIC_FLAG_INIT;
};

}  // namespace Zorv
