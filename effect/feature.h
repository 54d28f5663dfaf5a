// Features and commands: named objects the effect exposes to the editor.
// A GTypedFeature<T> points at a shared value the product owns (a relaxed
// atomic for a scalar T, since the audio thread writes it while the editor
// reads it; the object itself for a class such as GHistory, which shares its
// own values safely) and answers the identity of T to isType, so a consumer
// learns what it holds. A command is a
// name with an integer id handed to performCommand. Built in the product's
// constructor, read by the editor thread afterwards; the values they point to
// are written by the audio thread without locks.
#pragma once

#include "effect/named.h"
#include "effect/ptrlist.h"

#include <atomic>
#include <strings.h>
#include <type_traits>
#include <typeinfo>

namespace Zorv {

// What a feature of value type T points at.
template <typename T>
using GFeatureValue = std::conditional_t<std::is_arithmetic_v<T>, std::atomic<T>, T>;

class GEffectFeature : public GIdBase {
public:
    using GIdBase::GIdBase;
};

template <typename T>
class GTypedFeature : public GEffectFeature {
public:
    GTypedFeature(const char* name, const GFeatureValue<T>* value) : GEffectFeature(name), value(value) {}

    size_t typeId() const override { return typeid(T).hash_code(); }
    virtual const GFeatureValue<T>* get() const { return value; }  // the product's value

private:
    const GFeatureValue<T>* value;
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
const GFeatureValue<T>* findFeatureValue(const GFeatureMgr& features, const char* name)
{
    if (!name || strcasecmp(name, "Null") == 0)
        return nullptr;
    GEffectFeature* feature = features.find(name);
    if (!feature || !feature->isType(typeid(T).hash_code()))
        return nullptr;
    return static_cast<GTypedFeature<T>*>(feature)->get();
}

}  // namespace Zorv
