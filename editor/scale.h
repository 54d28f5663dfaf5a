// The editor's scale: device pixels per skin pixel, one factor for the whole
// editor. A host's announcement wins; else the QUELT_SCALE environment
// variable; else the desktop's Xft.dpi over 96. Every factor is rounded to a
// quarter and kept within 1..3; an unreadable or absurd one gives 1.
// Pure functions except desktopScale, which reads the environment and the X
// server; called on the host's thread.
#pragma once

#include <mutex>

namespace Zorv {

constexpr double kMinScale = 1.0;
constexpr double kMaxScale = 3.0;

// Where a scale may come from; a null text is a source that is not there.
struct GScaleSources {
    bool hostAnnounced = false;
    double host = 0;                // the host's factor, when announced
    const char* env = nullptr;      // QUELT_SCALE; blank counts as unset
    const char* resources = nullptr;  // the X server's resource database as text
};

bool isScaleFactor(double factor);             // finite, above 0 and not absurd (above 8)
double roundScale(double factor);              // a quarter within 1..3; junk gives 1
double parseScale(const char* text);           // the whole text as a number; NaN otherwise
double xftScale(const char* resources);        // Xft.dpi / 96; NaN without one
double decideScale(const GScaleSources& from); // host, then env, then Xft.dpi, then 1
double desktopScale();                         // env, then the default display's Xft.dpi

// Held around this plug-in's Xlib calls that reach Xlib's process-wide state
// (the resource manager, connection set-up, cursor themes), which Xlib leaves
// unguarded without XInitThreads: the Xft.dpi read, connection opening,
// cursor loading and the GL driver's loading, from any instance's threads.
std::mutex& xGlobalsMutex();

}  // namespace Zorv
