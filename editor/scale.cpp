#include "editor/scale.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Zorv {

namespace {

constexpr double kScaleStep = 4.0;    // quarters
constexpr double kAbsurdScale = 8.0;  // no screen has more device pixels per skin pixel
constexpr double kBaseDpi = 96.0;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isBlankText(const char* text)
{
    while (*text && isBlank(*text))
        ++text;
    return *text == 0;
}

}  // namespace

bool isScaleFactor(double factor)
{
    return std::isfinite(factor) && factor > 0 && factor <= kAbsurdScale;
}

double roundScale(double factor)
{
    if (!isScaleFactor(factor))
        return kMinScale;
    const double rounded = std::round(factor * kScaleStep) / kScaleStep;
    return rounded < kMinScale ? kMinScale : (rounded > kMaxScale ? kMaxScale : rounded);
}

double parseScale(const char* text)
{
    if (!text)
        return NAN;
    const char* end = text + strlen(text);
    while (text < end && isBlank(*text))
        ++text;
    while (end > text && isBlank(end[-1]))
        --end;
    if (text < end && *text == '+')
        ++text;
    // from_chars ignores the locale a host may have set: "1.5" is always one and a half.
    double value = NAN;
    const std::from_chars_result read = std::from_chars(text, end, value);
    return read.ec == std::errc() && read.ptr == end && text < end ? value : NAN;
}

double xftScale(const char* resources)
{
    if (!resources)
        return NAN;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database)
        return NAN;
    char* type = nullptr;
    XrmValue value = {};
    double dpi = NAN;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        dpi = parseScale(std::string(value.addr, strnlen(value.addr, value.size)).c_str());
    XrmDestroyDatabase(database);
    return dpi / kBaseDpi;
}

double decideScale(const GScaleSources& from)
{
    if (from.hostAnnounced)
        return roundScale(from.host);
    if (from.env && !isBlankText(from.env))
        return roundScale(parseScale(from.env));
    const double desktop = xftScale(from.resources);
    return std::isnan(desktop) ? kMinScale : roundScale(desktop);
}

std::mutex& xGlobalsMutex()
{
    static std::mutex globals;
    return globals;
}

double desktopScale()
{
    GScaleSources from;
    from.env = getenv("QUELT_SCALE");
    if (from.env && !isBlankText(from.env))
        return decideScale(from);
    // A connection of its own, held only for this: the resource database is
    // read when a connection opens.
    std::lock_guard<std::mutex> hold(xGlobalsMutex());
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return kMinScale;
    from.resources = XResourceManagerString(display);
    const double scale = decideScale(from);
    XCloseDisplay(display);
    return scale;
}

}  // namespace Zorv
