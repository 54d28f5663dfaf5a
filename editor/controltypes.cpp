// The one table of skin control types. Adding a family: include its header
// below, then add one line per type word to kControlTypes, for example
//     {"GPotDot", 4, &GPotDot::create},
// Words match ignoring case; the first entry with the word wins.
#include "editor/builder.h"
#include "xp/nocase.h"

#include <initializer_list>

// Control families.

namespace Zorv {

namespace {

const std::initializer_list<GControlType> kControlTypes = {
};

}  // namespace

const GControlType* findControlType(const char* word)
{
    for (const GControlType& type : kControlTypes)
        if (XP::equalsNoCase(type.word, word))
            return &type;
    return nullptr;
}

}  // namespace Zorv
