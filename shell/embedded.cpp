#include "shell/embedded.h"

#include "xp/nocase.h"

#include <new>

namespace Zorv {

namespace {

constexpr int kGrowBy = 16;

// The process-wide pointer array; its destructor runs when the library unloads.
class Registry {
public:
    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    ~Registry()
    {
        delete[] entries;
        entries = nullptr;
        capacity = count = 0;
    }

    void add(EmbeddedResource* resource)
    {
        if (count == capacity && !grow())
            return;
        entries[count++] = resource;
    }

    const EmbeddedResource* find(const char* name) const
    {
        for (int i = 0; i < count; ++i)
            if (XP::equalsNoCase(entries[i]->name, name))
                return entries[i];
        return nullptr;
    }

private:
    bool grow()
    {
        const int newCapacity = count + kGrowBy;
        auto** grown = new (std::nothrow) EmbeddedResource*[newCapacity];
        if (!grown)
            return false;
        for (int i = 0; i < count; ++i)
            grown[i] = entries[i];
        delete[] entries;
        entries = grown;
        capacity = newCapacity;
        return true;
    }

    EmbeddedResource** entries = nullptr;
    int capacity = 0;
    int count = 0;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

}  // namespace

void registerResource(EmbeddedResource* resource)
{
    if (resource)
        registry().add(resource);
}

const unsigned char* findResource(const char* name, uint64_t* size)
{
    const EmbeddedResource* found = registry().find(name);
    if (!found)
        return nullptr;
    if (size)
        *size = found->size;
    return found->data;
}

}  // namespace Zorv
