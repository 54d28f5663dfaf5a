// Pixels for editor tests: a window read back with XGetImage, frames of the
// embedded background decoded by the test itself, and comparisons with a
// small per-channel tolerance; and the polling and counting those tests share.
#pragma once

#include "controls/canvas.h"

#include <X11/Xlib.h>

#include <functional>
#include <vector>

namespace windowtest {

constexpr int kW = 330, kH = 195;
constexpr int kTolerance = 3;

// Pixels of a window or image as RGB.
struct Pixels {
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * w + x) * 3]; }
};

Pixels backgroundFrame(int frame);  // frame of the embedded background, decoded
// Count of pixels in the rectangle that differ from want beyond the tolerance.
int mismatches(const Pixels& got, const Pixels& want, const Zorv::GRect& area);

// The window's top-left w x h pixels; empty when they cannot be read.
Pixels grabWindow(Display* display, Window window, int w = kW, int h = kH);
int countEntries(const char* directory);  // entries but . and ..; 0 when unreadable
int threadCount();                         // threads of this process
// Polls pred every 5 ms until it holds or ms pass; whether it held. The limit
// only bounds a failure: a loaded machine may take long to get there.
bool waitFor(const std::function<bool()>& pred, int ms = 20000);
// Runs before every poll of waitFor on the test's thread, as a host's idle
// would on its own; null: nothing.
void setPollHook(std::function<void()> hook);

}  // namespace windowtest
