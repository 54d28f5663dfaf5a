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

    void add(EmbeddedResource* resource, bool first)
    {
        if (count == capacity && !grow())
            return;
        const int at = first ? 0 : count;
        for (int i = count; i > at; --i)
            entries[i] = entries[i - 1];
        entries[at] = resource;
        ++count;
    }

    void remove(const EmbeddedResource* resource)
    {
        int kept = 0;
        for (int i = 0; i < count; ++i)
            if (entries[i] != resource)
                entries[kept++] = entries[i];
        count = kept;
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
        registry().add(resource, false);
}

void registerOverride(EmbeddedResource* resource)
{
    if (resource)
        registry().add(resource, true);
}

void unregisterResource(EmbeddedResource* resource)
{
    registry().remove(resource);
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
