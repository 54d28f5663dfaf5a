// A minimal in-process host callback for unit tests of the effect classes.
#pragma once

#include "gate/quelt.h"

#include <cstring>

namespace testhost {

struct Answers {
    intptr_t sampleRate = 0;
    const char* vendor = nullptr;
    const char* product = nullptr;
};

inline Answers answers;

inline intptr_t callback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float)
{
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return answers.sampleRate;
    case audioMasterGetVendorString:
    case audioMasterGetProductString: {
        const char* text = opcode == audioMasterGetVendorString ? answers.vendor : answers.product;
        if (!text)
            return 0;
        strcpy(static_cast<char*>(ptr), text);
        return 1;
    }
    default:
        return 0;
    }
}

// Quelt that counts its recompute hook.
struct CountingQuelt : Zorv::Quelt {
    using Zorv::Quelt::Quelt;
    void parametersChanged(int reason) override
    {
        ++changes;
        Zorv::Quelt::parametersChanged(reason);
    }
    int changes = 0;
};

}  // namespace testhost
