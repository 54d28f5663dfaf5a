// ProgramBank: every program's name and parameter values in one packed byte
// buffer of ProgramRecords (a 25-byte name, then one value slot per
// parameter), plus the formatted value and display texts of every
// (program, parameter) entry so nothing is formatted on demand. The same bytes
// are the state chunk. Read and written by the host's threads and the editor
// thread, always under the owning effect's bank lock; never by the audio thread.
// Owns its buffers; borrows the effect's parameter list.
#pragma once

#include "effect/parameter.h"
#include "effect/ptrlist.h"

#include <cstdint>
#include <vector>

namespace Zorv {

using GParameterList = PtrMgr<const GEffectParameter>;

class ProgramBank {
public:
    static constexpr int kNameBytes = 25;
    static constexpr int kValueTextSize = 276;
    static constexpr int kDisplayTextSize = 285;

    ProgramBank() = default;
    ProgramBank(const ProgramBank&) = delete;
    ProgramBank& operator=(const ProgramBank&) = delete;

    void build(int numPrograms, const GParameterList* parameters);  // lay out, then reset
    void resetToDefaults();                     // every program "Defaults" at the defaults
    void refreshTexts(int program, int parameter);
    void refreshAllTexts();

    bool hasProgram(int p) const { return p >= 0 && p < numPrograms; }
    bool hasParameter(int i) const { return i >= 0 && i < numParams; }
    int getNumPrograms() const { return numPrograms; }
    int getNumParams() const { return numParams; }
    int getRecordSize() const { return recordSize; }
    int getBankSize() const { return bankSize; }

    uint8_t* record(int p) { return values.data() + size_t(p) * size_t(recordSize); }
    uint8_t* bankBytes() { return values.data(); }
    void* slot(int p, int i) { return record(p) + offsets[size_t(i)]; }
    const GEffectParameter* parameter(int i) const { return parameters->get(i); }

    char* programName(int p) { return reinterpret_cast<char*>(record(p)); }
    void setProgramName(int p, const char* name);  // at most 24 characters
    const char* valueText(int p, int i) const { return valueTexts.data() + entry(p, i) * kValueTextSize; }
    const char* displayText(int p, int i) const { return displayTexts.data() + entry(p, i) * kDisplayTextSize; }

private:
    size_t entry(int p, int i) const { return size_t(p) * size_t(numParams) + size_t(i); }

    int numPrograms = 0;
    const GParameterList* parameters = nullptr;
    int numParams = 0;
    int numEntries = 0;
    std::vector<uint8_t> values;
    int recordSize = 0;
    int bankSize = 0;
    std::vector<int> offsets;  // byte offset of each parameter's slot in a record
    std::vector<char> valueTexts;
    std::vector<char> displayTexts;
};

}  // namespace Zorv
