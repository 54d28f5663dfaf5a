// GEffect's preset text loader: PRESET opens the next program and names it,
// SETSTR sets a parameter of the open program from its natural-value text.
#include "effect/effect.h"

#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <strings.h>

namespace Zorv {

namespace {

int findParameterIgnoringCase(const ProgramBank& bank, const char* name)
{
    for (int i = 0; i < bank.getNumParams(); ++i)
        if (strcasecmp(bank.parameter(i)->getName(), name) == 0)
            return i;
    return -1;
}

}  // namespace

bool GEffect::loadPresetFile(const char* resourceName)
{
    XP::ResourceReader source;
    source.open(resourceName);
    if (!source.isOpen())
        return false;
    XP::TokenReader reader(&source);
    int index = -1;
    while (reader.nextLine()) {
        int at = reader.cursor;
        if (reader.tokenIs(at, "PRESET") && reader.remaining() >= 2) {
            reader.cursor += 2;
            ++index;
            const char* name = reader.token(at + 1);
            if (bank.hasProgram(index) && name[0])
                bank.setProgramName(index, name);
        } else if (reader.tokenIs(at, "SETSTR") && reader.remaining() >= 3) {
            reader.cursor += 2;
            if (!bank.hasProgram(index))
                continue;
            int parameter = findParameterIgnoringCase(bank, reader.token(at + 1));
            if (parameter < 0)
                continue;
            reader.cursor += 1;
            bank.parameter(parameter)->parseValue(bank.slot(index, parameter), reader.token(at + 2));
        }
    }
    return true;
}

}  // namespace Zorv
