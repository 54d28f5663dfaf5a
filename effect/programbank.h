// ProgramBank: every program's name and parameter values, and their image as
// packed ProgramRecords (a 25-byte name, then one 8-byte value per parameter)
// that is the state chunk. Values live in 8-byte aligned slots that any
// thread reads and writes whole through the parameter objects (relaxed
// atomics), the audio thread included. Names, images and texts are for the
// host's threads and the editor thread only, under the owning effect's bank
// lock: a value's texts are formatted when first read after it changed.
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

    bool hasProgram(int p) const { return p >= 0 && p < numPrograms; }
    bool hasParameter(int i) const { return i >= 0 && i < numParams; }
    int getNumPrograms() const { return numPrograms; }
    int getNumParams() const { return numParams; }
    int getRecordSize() const { return recordSize; }
    int getBankSize() const { return bankSize; }

    void* slot(int p, int i) { return &values[entry(p, i)]; }  // any thread
    const GEffectParameter* parameter(int i) const { return parameters->get(i); }

    char* programName(int p) { return names.data() + size_t(p) * kNameBytes; }
    void setProgramName(int p, const char* name);  // at most 24 characters
    const char* valueText(int p, int i);    // the number, formatted if the value changed
    const char* displayText(int p, int i);  // number and unit, formatted if the value changed

    // Record images: `count` programs from `first`, in chunk layout.
    void writeRecords(uint8_t* out, int first, int count) const;
    bool isBank(const uint8_t* in, size_t size) const;  // a whole bank, every value finite
    void readRecords(const uint8_t* in, int first, int count);  // names cut to 24 characters
    void copyRecord(int to, int from);

private:
    size_t entry(int p, int i) const { return size_t(p) * size_t(numParams) + size_t(i); }
    void freshenTexts(int p, int i);  // formats both texts unless they show the current value

    int numPrograms = 0;
    const GParameterList* parameters = nullptr;
    int numParams = 0;
    std::vector<char> names;
    std::vector<double> values;  // one slot per (program, parameter)
    int recordSize = 0;
    int bankSize = 0;
    std::vector<int> offsets;  // byte offset of each parameter's value in a record
    std::vector<char> valueTexts;
    std::vector<char> displayTexts;
    std::vector<uint64_t> textBits;  // the value bits each entry's texts show
    std::vector<uint8_t> textShown;  // 1 once an entry's texts were formatted
};

}  // namespace Zorv
