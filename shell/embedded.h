// Registry of the files compiled into the library.
// Each file is a static EmbeddedResource record; the library's static
// initialisation registers every record once, before the host can enter the
// plug-in. Afterwards any thread may look resources up without locking.
// The registry owns only its pointer array (freed at unload); records and
// their bytes are static data and are never freed or modified.
#pragma once

#include <cstdint>

namespace Zorv {

struct EmbeddedResource {
    const char* name;            // file name the resource is found under
    uint64_t size;               // length of data in bytes
    const unsigned char* data;   // the file's bytes, no terminator added
};

// Appends the record to the registry; called from static initialisation only.
void registerResource(EmbeddedResource* resource);

// Registers resource ahead of every record, so that it hides any of the same
// name. Only for tools that show files of their own (the skin preview); the
// plug-in never calls it. No lookup may run on another thread meanwhile.
void registerOverride(EmbeddedResource* resource);
// Removes a record registered before; no lookup may run on another thread meanwhile.
void unregisterResource(EmbeddedResource* resource);

// Data of the first record whose name equals name ignoring ASCII case, or null.
// Stores the size when found and size is not null; leaves it untouched otherwise.
const unsigned char* findResource(const char* name, uint64_t* size);

}  // namespace Zorv
