#include "xp/resourcereader.h"

#include "shell/embedded.h"

#include <cstdint>
#include <cstring>

namespace XP {

void ResourceReader::open(const char* name)
{
    begin = end = position = nullptr;
    uint64_t size = 0;
    const unsigned char* data = Zorv::findResource(name, &size);
    if (!data || size == 0)
        return;
    begin = position = data;
    end = data + size;
}

bool ResourceReader::isOpen() const
{
    return begin != nullptr;
}

size_t ResourceReader::read(void* buffer, size_t n)
{
    if (!isOpen() || position >= end || !buffer)
        return 0;
    const size_t available = size_t(end - position);
    const size_t count = n < available ? n : available;
    memcpy(buffer, position, count);
    position += count;
    return count;
}

}  // namespace XP
