// Lets a fuzz target hand its input to code that reads embedded resources by
// name: one extra registry record whose bytes follow the current input.
// Single-threaded, as libFuzzer runs its inputs.
#pragma once

#include "shell/embedded.h"

#include <cstddef>
#include <cstdint>

// Stops the fuzzer with a crash report when an invariant breaks.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Points the record at data and returns the name it is found under.
inline const char* exposeAsResource(const uint8_t* data, size_t size)
{
    static Zorv::EmbeddedResource record = {"FuzzInput.txt", 0, nullptr};
    static const bool registered = (Zorv::registerResource(&record), true);
    (void)registered;
    record.data = data;
    record.size = size;
    return record.name;
}
