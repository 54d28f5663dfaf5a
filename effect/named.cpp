#include "effect/named.h"

#include <cstring>
#include <typeinfo>

namespace Zorv {

bool Named::isNamed(const char* text) const
{
    return text && strncmp(name, text, kNameLength) == 0;
}

size_t Named::typeId() const
{
    return typeid(*this).hash_code();
}

void Named::setName(const char* text)
{
    copyText(name, text, kNameLength);
}

void copyText(char* to, const char* from, size_t max)
{
    size_t n = 0;
    if (from)
        while (n < max && from[n])
            ++n;
    memcpy(to, from ? from : "", n);
    to[n] = 0;
}

}  // namespace Zorv
