#include "effect/parameter.h"

#include "effect/numbers.h"

#include <cmath>
#include <cstring>

namespace Zorv {

namespace {

double clampUnit(double r)
{
    if (r < 0.0)
        return 0.0;
    return r < 1.0 ? r : 1.0;
}

// Rounds half away from zero to `precision` decimals. The classic form goes
// through a 32-bit integer; truncating in double gives the same result inside
// that range and stays defined outside it.
double roundToDecimals(double a, int precision)
{
    double scale = 1.0;
    for (int i = 0; i < precision; ++i)
        scale *= 10.0;
    double t = a * scale;
    double rounded = t >= 0.0 ? std::trunc(t + 0.5) : std::trunc(t - 0.5);
    return rounded / scale;
}

}  // namespace

GEffectParameter::GEffectParameter(const char* name, const char* unit, int precision)
    : GIdBase(name), precision(precision)
{
    copyText(this->unit, unit, kUnitLength);
}

double GEffectParameter::getNormalised(const void* slot) const
{
    double value;
    __atomic_load(static_cast<const double*>(slot), &value, __ATOMIC_RELAXED);
    return value;
}

void GEffectParameter::setNormalised(void* slot, double value) const
{
    __atomic_store(static_cast<double*>(slot), &value, __ATOMIC_RELAXED);
}

void GEffectParameter::formatValue(char* out, int size, const void* slot) const
{
    formatNumber(out, size, precision, getNatural(slot));
}

void GEffectParameter::formatDisplay(char* out, int size, const void* slot) const
{
    formatValue(out, size, slot);
    if (!unit[0])
        return;
    size_t end = strlen(out);
    out[end] = ' ';
    memcpy(out + end + 1, unit, strlen(unit) + 1);
}

void GEffectParameter::parseValue(void* slot, const char* text) const
{
    setNatural(slot, parseNumber(text));
}

GRangeParam::GRangeParam(const char* name, const char* unit, int precision, double min, double max,
                         int steps)
    : GEffectParameter(name, unit, precision), min(min), max(max), steps(steps)
{
}

double GRangeParam::toNatural(double x) const
{
    if (steps > 0)
        x = std::floor(x * steps + 0.5) / steps;
    return x * (max - min) + min;
}

double GRangeParam::toNormalised(double v) const
{
    return clampUnit((v - min) / (max - min));
}

GLogRangeParam::GLogRangeParam(const char* name, const char* unit, int precision, double min,
                               double max)
    : GEffectParameter(name, unit, precision), min(min), max(max)
{
}

int GLogRangeParam::rangeSteps() const
{
    const double values = std::fabs(max - min) * std::pow(10.0, getPrecision());
    return std::isfinite(values) && values < 1e9 ? int(std::lround(values)) + 1 : 0;
}

double GLogRangeParam::toNatural(double x) const
{
    double a = min * std::pow(max / min, x);
    if (!std::isfinite(a))
        return a;
    return roundToDecimals(a, getPrecision());
}

double GLogRangeParam::toNormalised(double v) const
{
    return clampUnit(std::log10(v / min) / std::log10(max / min));
}

}  // namespace Zorv
