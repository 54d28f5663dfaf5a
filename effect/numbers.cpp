#include "effect/numbers.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace Zorv {

namespace {
constexpr int kMaxDecimals = 20;
}

void formatNumber(char* out, int size, int decimals, double x)
{
    if (!out || size <= 0)
        return;
    if (x < -DBL_MAX) {
        snprintf(out, size_t(size), "-Inf");
        return;
    }
    if (x > DBL_MAX) {
        snprintf(out, size_t(size), "Inf");
        return;
    }
    if (decimals < 0)
        decimals = 0;
    if (decimals > kMaxDecimals)
        decimals = kMaxDecimals;
    snprintf(out, size_t(size), "%.*f", decimals, x);
}

double parseNumber(const char* text)
{
    if (!text)
        return 0.0;
    if (strcasecmp(text, "-Inf") == 0)
        return -INFINITY;
    if (strcasecmp(text, "Inf") == 0)
        return INFINITY;
    return strtod(text, nullptr);
}

}  // namespace Zorv
