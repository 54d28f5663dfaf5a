#include "effect/programbank.h"

#include <cmath>
#include <cstring>

namespace Zorv {

namespace {
const char kDefaultProgramName[] = "Defaults";
constexpr int kProgramNameLength = ProgramBank::kNameBytes - 1;
constexpr size_t kValueBytes = sizeof(double);
}

void ProgramBank::build(int programs, const GParameterList* list)
{
    parameters = list;
    numPrograms = programs > 0 ? programs : 0;
    numParams = list ? list->getCount() : 0;
    const size_t numEntries = size_t(numPrograms) * size_t(numParams);
    offsets.assign(size_t(numParams), 0);
    names.assign(size_t(numPrograms) * kNameBytes, 0);
    values.assign(numEntries, 0.0);
    valueTexts.assign(numEntries * kValueTextSize, 0);
    displayTexts.assign(numEntries * kDisplayTextSize, 0);
    textBits.assign(numEntries, 0);
    textShown.assign(numEntries, 0);

    int offset = kNameBytes;
    for (int i = 0; i < numParams; ++i) {
        offsets[size_t(i)] = offset;
        offset += list->get(i)->valueSize();
    }
    recordSize = offset;
    bankSize = recordSize * numPrograms;
    resetToDefaults();
}

void ProgramBank::resetToDefaults()
{
    for (int p = 0; p < numPrograms; ++p) {
        memset(programName(p), 0, kNameBytes);
        memcpy(programName(p), kDefaultProgramName, strlen(kDefaultProgramName));
        for (int i = 0; i < numParams; ++i)
            parameter(i)->resetToDefault(slot(p, i));
    }
}

void ProgramBank::freshenTexts(int p, int i)
{
    const double value = parameter(i)->getNormalised(slot(p, i));
    uint64_t bits;
    memcpy(&bits, &value, sizeof(bits));
    const size_t e = entry(p, i);
    if (textShown[e] && textBits[e] == bits)
        return;
    parameter(i)->formatValue(valueTexts.data() + e * kValueTextSize, kValueTextSize, &value);
    parameter(i)->formatDisplay(displayTexts.data() + e * kDisplayTextSize, kValueTextSize, &value);
    textBits[e] = bits;
    textShown[e] = 1;
}

const char* ProgramBank::valueText(int p, int i)
{
    freshenTexts(p, i);
    return valueTexts.data() + entry(p, i) * kValueTextSize;
}

const char* ProgramBank::displayText(int p, int i)
{
    freshenTexts(p, i);
    return displayTexts.data() + entry(p, i) * kDisplayTextSize;
}

void ProgramBank::setProgramName(int p, const char* name)
{
    char* to = programName(p);
    memset(to, 0, kNameBytes);
    copyText(to, name, kProgramNameLength);
}

void ProgramBank::writeRecords(uint8_t* out, int first, int count) const
{
    for (int p = first; p < first + count; ++p, out += recordSize) {
        memcpy(out, names.data() + size_t(p) * kNameBytes, kNameBytes);
        for (int i = 0; i < numParams; ++i) {
            const double value = parameter(i)->getNormalised(&values[entry(p, i)]);
            memcpy(out + offsets[size_t(i)], &value, kValueBytes);
        }
    }
}

bool ProgramBank::isBank(const uint8_t* in, size_t size) const
{
    if (!in || size != size_t(bankSize))
        return false;
    for (int p = 0; p < numPrograms; ++p, in += recordSize)
        for (int i = 0; i < numParams; ++i) {
            double value;
            memcpy(&value, in + offsets[size_t(i)], kValueBytes);
            if (!std::isfinite(value))
                return false;
        }
    return true;
}

void ProgramBank::readRecords(const uint8_t* in, int first, int count)
{
    for (int p = first; p < first + count; ++p, in += recordSize) {
        memcpy(programName(p), in, kNameBytes);
        programName(p)[kNameBytes - 1] = 0;
        for (int i = 0; i < numParams; ++i) {
            double value;
            memcpy(&value, in + offsets[size_t(i)], kValueBytes);
            parameter(i)->setNormalised(slot(p, i), value);
        }
    }
}

void ProgramBank::copyRecord(int to, int from)
{
    memcpy(programName(to), programName(from), kNameBytes);
    for (int i = 0; i < numParams; ++i)
        parameter(i)->setNormalised(slot(to, i), parameter(i)->getNormalised(slot(from, i)));
}

}  // namespace Zorv
