// Loads arbitrary bytes as a preset text into a fresh gate and traps when a
// program name or value text breaks its bounds.
#include "fuzz_resource.h"
#include "gate/quelt.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Zorv::Quelt gate(nullptr);
    gate.loadPresetFile(exposeAsResource(data, size));
    Zorv::ProgramBank& bank = gate.getBank();
    for (int p = 0; p < bank.getNumPrograms(); ++p) {
        require(strlen(bank.programName(p)) <= 24);
        for (int i = 0; i < bank.getNumParams(); ++i) {
            require(strlen(bank.displayText(p, i)) < size_t(Zorv::ProgramBank::kDisplayTextSize));
            double value;
            memcpy(&value, bank.slot(p, i), sizeof value);
            require(value >= 0.0 && value <= 1.0);
        }
    }
    return 0;
}
