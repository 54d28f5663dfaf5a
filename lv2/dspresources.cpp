// Registers the one embedded file the gate itself reads, its preset text,
// in binaries built without the editor's resources.
#include "shell/embedded.h"

namespace Zorv::Resources {

extern EmbeddedResource queltPreset;

namespace {

struct Registration {
    Registration() { registerResource(&queltPreset); }
};

const Registration registration;

}  // namespace

}  // namespace Zorv::Resources
