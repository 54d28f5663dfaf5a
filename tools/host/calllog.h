// GCallLog: the list of every call a plug-in made to the host callback.
// Any thread may add (the plug-in's construction, its dispatcher calls, its
// editor thread); tests read and clear it from their own thread. Owns copies
// of the call arguments only; pointers are recorded, never followed.
#pragma once

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

struct AEffect;

namespace Zorv {

struct GHostCall {
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
    std::thread::id thread;
};

class GCallLog {
public:
    // Appends one call, stamped with the calling thread.
    void add(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    // A copy of every call so far, oldest first.
    std::vector<GHostCall> calls() const;
    // Number of recorded calls with this opcode.
    int count(int32_t opcode) const;
    // Forgets every recorded call.
    void clear();

private:
    mutable std::mutex lock;
    std::vector<GHostCall> entries;
};

}  // namespace Zorv
