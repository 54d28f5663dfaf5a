// Parameter objects: name, unit, decimals, default, and the mapping between
// the normalised value kept in a program's 8-byte slot (nominally 0..1) and
// the natural value shown to the user. They hold no current value: every
// value operation takes a pointer to a slot of the program bank: an 8-byte
// aligned double, read and written whole with relaxed atomic accesses, so any
// thread may use a slot while another writes it. Immutable after
// construction, so any thread may call them; nothing here allocates. Slots are borrowed; the effect owns the parameter objects.
#pragma once

#include "effect/named.h"

namespace Zorv {

constexpr int kUnitLength = 8;

class GEffectParameter : public GIdBase {
public:
    GEffectParameter(const char* name, const char* unit, int precision);

    virtual void setDefault(double normalised) { defaultValue = normalised; }
    virtual void setDefaultNatural(double natural) { setDefault(toNormalised(natural)); }
    virtual double getDefault() const { return defaultValue; }
    virtual void setPrecision(int decimals) { precision = decimals; }
    virtual bool acceptsText() const { return true; }
    virtual int valueSize() const { return int(sizeof(double)); }

    virtual double getNormalised(const void* slot) const;                  // the stored double, one atomic load
    virtual double getQuantised(const void* slot) const { return quantise(getNormalised(slot)); }
    virtual double getNatural(const void* slot) const { return toNatural(getNormalised(slot)); }
    virtual void formatValue(char* out, int size, const void* slot) const;  // the number
    virtual void formatDisplay(char* out, int size, const void* slot) const; // number, space, unit; out holds size + 9
    virtual void setNormalised(void* slot, double value) const;              // stored unclamped, one atomic store
    virtual void setNatural(void* slot, double natural) const { setNormalised(slot, toNormalised(natural)); }
    virtual void parseValue(void* slot, const char* text) const;
    virtual void resetToDefault(void* slot) const { setNormalised(slot, defaultValue); }
    virtual double toNatural(double normalised) const = 0;
    virtual double toNormalised(double natural) const = 0;  // clamped to 0..1
    virtual double quantise(double normalised) const { return toNormalised(toNatural(normalised)); }
    // How many evenly spaced natural values the range snaps to; 0: continuous.
    virtual int rangeSteps() const { return 0; }

    const char* getUnit() const { return unit; }
    int getPrecision() const { return precision; }

private:
    char unit[kUnitLength + 1] = {};
    int precision;
    double defaultValue = 0.0;
};

// Linear range min..max, snapped to `steps` steps when steps > 0.
class GRangeParam : public GEffectParameter {
public:
    GRangeParam(const char* name, const char* unit, int precision, double min, double max, int steps);

    double toNatural(double normalised) const override;
    double toNormalised(double natural) const override;
    int rangeSteps() const override { return steps > 0 ? steps + 1 : 0; }

private:
    double min, max;
    int steps;
};

// Geometric range: natural = min * (max / min)^normalised, rounded to the decimals.
class GLogRangeParam : public GEffectParameter {
public:
    GLogRangeParam(const char* name, const char* unit, int precision, double min, double max);

    double toNatural(double normalised) const override;
    double toNormalised(double natural) const override;
    int rangeSteps() const override;  // every value of the decimals between the ends

private:
    double min, max;
};

}  // namespace Zorv
