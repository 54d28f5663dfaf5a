// Registers the embedded files while the library loads, in a fixed order:
// background image, preset text, skin text, font, background image at 2x.
#include "shell/embedded.h"

#include <initializer_list>

namespace Zorv::Resources {

extern EmbeddedResource queltPng;
extern EmbeddedResource queltPreset;
extern EmbeddedResource queltSkin;
extern EmbeddedResource kelvoTtf;
extern EmbeddedResource queltPng2x;

namespace {

struct Registration {
    Registration()
    {
        for (EmbeddedResource* resource :
             {&queltPng, &queltPreset, &queltSkin, &kelvoTtf, &queltPng2x})
            registerResource(resource);
    }
};

const Registration registration;

}  // namespace

}  // namespace Zorv::Resources
