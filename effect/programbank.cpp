#include "effect/programbank.h"

#include <cstring>

namespace Zorv {

namespace {
const char kDefaultProgramName[] = "Defaults";
constexpr int kProgramNameLength = ProgramBank::kNameBytes - 1;
}

void ProgramBank::build(int programs, const GParameterList* list)
{
    parameters = list;
    numPrograms = programs > 0 ? programs : 0;
    numParams = list ? list->getCount() : 0;
    numEntries = numPrograms * numParams;
    offsets.assign(size_t(numParams), 0);
    valueTexts.assign(size_t(numEntries) * kValueTextSize, 0);
    displayTexts.assign(size_t(numEntries) * kDisplayTextSize, 0);

    int offset = kNameBytes;
    for (int i = 0; i < numParams; ++i) {
        offsets[size_t(i)] = offset;
        offset += list->get(i)->valueSize();
    }
    recordSize = offset;
    bankSize = recordSize * numPrograms;
    values.assign(size_t(bankSize), 0);
    resetToDefaults();
}

void ProgramBank::resetToDefaults()
{
    for (int p = 0; p < numPrograms; ++p) {
        memset(programName(p), 0, kNameBytes);
        memcpy(programName(p), kDefaultProgramName, strlen(kDefaultProgramName));
        for (int i = 0; i < numParams; ++i) {
            parameter(i)->resetToDefault(slot(p, i));
            refreshTexts(p, i);
        }
    }
}

void ProgramBank::refreshTexts(int p, int i)
{
    const void* value = slot(p, i);
    parameter(i)->formatValue(valueTexts.data() + entry(p, i) * kValueTextSize, kValueTextSize, value);
    parameter(i)->formatDisplay(displayTexts.data() + entry(p, i) * kDisplayTextSize,
                                kValueTextSize, value);
}

void ProgramBank::refreshAllTexts()
{
    for (int p = 0; p < numPrograms; ++p)
        for (int i = 0; i < numParams; ++i)
            refreshTexts(p, i);
}

void ProgramBank::setProgramName(int p, const char* name)
{
    char* to = programName(p);
    memset(to, 0, kNameBytes);
    copyText(to, name, kProgramNameLength);
}

}  // namespace Zorv
