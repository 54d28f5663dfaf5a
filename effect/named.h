// Named and GIdBase: the common root of parameters, features, commands,
// editor resources and controls. A name of at most 35 characters compared
// case-sensitively, and a class identity for type tests. No thread affinity;
// owns only its name buffer.
#pragma once

#include <cstddef>

namespace Zorv {

constexpr int kNameLength = 35;

class Named {
public:
    explicit Named(const char* name = nullptr) { setName(name); }
    virtual ~Named() = default;

    virtual const char* getName() const { return name; }  // the name text
    virtual bool isNamed(const char* text) const;          // first 35 characters equal
    virtual size_t typeId() const;                         // identity of the concrete class
    virtual void setName(const char* text);                // keeps at most 35 characters
    virtual bool isType(size_t hash) const { return typeId() == hash; }
    virtual bool isNamedType(const char* text, size_t hash) const
    {
        return isNamed(text) && isType(hash);
    }

private:
    char name[kNameLength + 1] = {};
};

class GIdBase : public Named {
public:
    using Named::Named;
};

// Copies at most max characters of from into to (room for max + 1), always terminated.
void copyText(char* to, const char* from, size_t max);

}  // namespace Zorv
