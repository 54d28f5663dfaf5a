// Abstract byte source read by LineReader. Implementations are used by one
// thread at a time, for the span of one parse.
#pragma once

#include <cstddef>

namespace XP {

class InputReader {
public:
    virtual ~InputReader() = default;
    // True while there are bytes that read can deliver.
    virtual bool isOpen() const = 0;
    // Copies up to n bytes into buffer; returns the count, 0 at the end or when closed.
    virtual size_t read(void* buffer, size_t n) = 0;
};

}  // namespace XP
