// Case-insensitive text comparison over ASCII letters only, independent of
// the process locale. Pure; callable from any thread.
#pragma once

namespace XP {

// True when a and b are both set and equal ignoring ASCII letter case.
inline bool equalsNoCase(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (; *a && *b; ++a, ++b)
        if (lower(*a) != lower(*b))
            return false;
    return *a == *b;
}

}  // namespace XP
