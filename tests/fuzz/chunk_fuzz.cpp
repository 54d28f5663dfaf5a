// Hands arbitrary bytes to the gate as a program or bank chunk through its
// dispatcher, then queries and processes; traps on a broken bound.
#include "fuzz_resource.h"
#include "gate/quelt.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Zorv::Quelt gate(nullptr);
    AEffect* effect = gate.getAeffect();
    bool isPreset = data[0] & 1;
    gate.setProgram(data[0] % 10);
    std::vector<uint8_t> chunk(data + 1, data + size);  // exact length, so ASan sees overreads
    intptr_t taken = effect->dispatcher(effect, effSetChunk, isPreset, intptr_t(chunk.size()),
                                        chunk.empty() ? nullptr : chunk.data(), 0.0f);
    require(taken == 0 || taken == (isPreset ? 49 : 490));
    char text[64];
    for (int i = 0; i < 10; ++i) {
        effect->dispatcher(effect, effGetProgramNameIndexed, i, 0, text, 0.0f);
        require(strlen(text) <= 24);
    }
    for (int i = 0; i < 3; ++i) {
        effect->dispatcher(effect, effGetParamDisplay, i, 0, text, 0.0f);
        require(strlen(text) <= 31);
    }
    float left[64] = {}, right[64] = {};
    for (int i = 0; i < 64; ++i)
        left[i] = right[i] = (i % 8) * 0.1f;
    float* io[2] = {left, right};
    effect->processReplacing(effect, io, io, 64);
    return 0;
}
