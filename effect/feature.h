// Features and commands: named objects the effect exposes to the editor.
// A GTypedFeature<T> points at a shared value the product owns (a relaxed
// atomic, since the audio thread writes it while the editor reads it) and
// answers the identity of T to isType, so a consumer learns what it holds. A command is a
// name with an integer id handed to performCommand. Built in the product's
// constructor, read by the editor thread afterwards; the values they point to
// are written by the audio thread without locks.
#pragma once

#include "effect/named.h"
#include "effect/ptrlist.h"

#include <atomic>
#include <strings.h>
#include <typeinfo>

namespace Zorv {

class GEffectFeature : public GIdBase {
public:
    using GIdBase::GIdBase;
};

template <typename T>
class GTypedFeature : public GEffectFeature {
public:
    GTypedFeature(const char* name, const std::atomic<T>* value) : GEffectFeature(name), value(value) {}

    size_t typeId() const override { return typeid(T).hash_code(); }
    virtual const std::atomic<T>* get() const { return value; }  // the product's value

private:
    const std::atomic<T>* value;
};

class GEffectCommand : public Named {
public:
    GEffectCommand(const char* name, int id) : Named(name), id(id) {}
    int getId() const { return id; }

private:
    int id;
};

using GCommandMgr = PtrMgr<GEffectCommand>;
using GFeatureMgr = PtrMgr<GEffectFeature>;

// The value of feature `name` when it holds a T; null for "Null" (any case),
// an unknown name or another value type.
template <typename T>
const std::atomic<T>* findFeatureValue(const GFeatureMgr& features, const char* name)
{
    if (!name || strcasecmp(name, "Null") == 0)
        return nullptr;
    GEffectFeature* feature = features.find(name);
    if (!feature || !feature->isType(typeid(T).hash_code()))
        return nullptr;
    return static_cast<GTypedFeature<T>*>(feature)->get();
}

}  // namespace Zorv
