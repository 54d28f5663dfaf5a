// Test byte source over a string, delivering at most chunk bytes per read so
// that tests can force refills at any position.
#pragma once

#include "xp/inputreader.h"

#include <algorithm>
#include <cstring>
#include <string>

class MemoryReader : public XP::InputReader {
public:
    explicit MemoryReader(std::string text, size_t chunk = SIZE_MAX)
        : bytes(std::move(text)), chunk(chunk) {}

    bool isOpen() const override { return !bytes.empty(); }

    size_t read(void* buffer, size_t n) override
    {
        const size_t count = std::min({n, chunk, bytes.size() - offset});
        memcpy(buffer, bytes.data() + offset, count);
        offset += count;
        return count;
    }

private:
    std::string bytes;
    size_t chunk;
    size_t offset = 0;
};
