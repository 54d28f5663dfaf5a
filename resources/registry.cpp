// Registers the embedded files while the library loads, in a fixed order:
// background image, preset text, skin text, font.
#include "shell/embedded.h"

#include <initializer_list>

namespace Zorv::Resources {

extern EmbeddedResource queltPng;
extern EmbeddedResource queltPreset;
extern EmbeddedResource queltSkin;
extern EmbeddedResource kelvoTtf;

namespace {

struct Registration {
    Registration()
    {
        for (EmbeddedResource* resource : {&queltPng, &queltPreset, &queltSkin, &kelvoTtf})
            registerResource(resource);
    }
};

const Registration registration;

}  // namespace

}  // namespace Zorv::Resources
