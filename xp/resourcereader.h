// Byte source over one embedded resource, found by name in the registry.
// Used by one thread for the span of one parse. It only borrows the
// registry's bytes and never frees or modifies them.
#pragma once

#include "xp/inputreader.h"

namespace XP {

class ResourceReader : public InputReader {
public:
    ResourceReader() = default;
    // Opens the named resource; stays closed if it is unknown or empty.
    void open(const char* name);
    bool isOpen() const override;
    size_t read(void* buffer, size_t n) override;

private:
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    const unsigned char* position = nullptr;
};

}  // namespace XP
