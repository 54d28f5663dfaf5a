#include "tests/window/pixels.h"

#include "shell/embedded.h"
#include "tests/editor/pngdecode.h"

#include <X11/Xutil.h>
#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace windowtest {

Pixels backgroundFrame(int frame)
{
    uint64_t size = 0;
    const unsigned char* data = Zorv::findResource("Quelt.png", &size);
    int w = 0, h = 0;
    const std::vector<unsigned char> rgba = Zorv::decodeRgba(data, int(size), &w, &h);
    Pixels out;
    if (rgba.empty() || w < kW * (frame + 1) || h < kH)
        return out;
    out.w = kW;
    out.h = kH;
    out.rgb.resize(size_t(kW) * kH * 3);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < 3; ++c)
                out.rgb[(size_t(y) * kW + x) * 3 + c] = rgba[(size_t(y) * w + x + kW * frame) * 4 + c];
    return out;
}

int mismatches(const Pixels& got, const Pixels& want, const Zorv::GRect& area)
{
    if (got.w < area.x + area.w || got.h < area.y + area.h || want.w < area.x + area.w ||
        want.h < area.y + area.h)
        return area.w * area.h;
    int bad = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(got.at(x, y)[c] - want.at(x, y)[c]) > kTolerance) {
                    ++bad;
                    break;
                }
    return bad;
}

int countEntries(const char* directory)
{
    int count = 0;
    if (DIR* entries = opendir(directory)) {
        while (dirent* entry = readdir(entries))
            count += entry->d_name[0] != '.';
        closedir(entries);
    }
    return count;
}

int threadCount()
{
    return countEntries("/proc/self/task");
}

namespace {
std::function<void()> pollHook;
}  // namespace

void setPollHook(std::function<void()> hook)
{
    pollHook = std::move(hook);
}

bool waitFor(const std::function<bool()>& pred, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (pollHook)
            pollHook();
        if (pred())
            break;
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Pixels grabWindow(Display* display, Window window, int w, int h)
{
    Pixels out;
    XImage* image = window ? XGetImage(display, window, 0, 0, unsigned(w), unsigned(h), AllPlanes,
                                       ZPixmap)
                           : nullptr;
    if (!image)
        return out;
    out.w = w;
    out.h = h;
    out.rgb.resize(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* rgb = &out.rgb[(size_t(y) * w + x) * 3];
            rgb[0] = (pixel >> 16) & 0xff;
            rgb[1] = (pixel >> 8) & 0xff;
            rgb[2] = pixel & 0xff;
        }
    XDestroyImage(image);
    return out;
}

}  // namespace windowtest
