// Checks quelt's window on the X display as a user meets it: a top-level
// window titled NAME, of the editor's size, not resizable, showing the
// editor's background; drags the Thresh knob upwards with XTest, then
// closes the window as a window manager would (WM_DELETE_WINDOW).
// Usage: windowcheck NAME. Exit status 0 when all held, 1 when not.
#include "tests/window/pixels.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

using namespace windowtest;

constexpr auto kInputPause = std::chrono::milliseconds(40);

int fail(const char* what)
{
    fprintf(stderr, "windowcheck: %s\n", what);
    return 1;
}

// The root's child named `name`; 0 when there is none.
Window findTitled(Display* display, const std::string& name)
{
    Window root = 0, up = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &up, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && title) {
            found = name == title ? children[i] : 0;
            XFree(title);
        }
    }
    if (children)
        XFree(children);
    return found;
}

void pointerTo(Display* display, int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(kInputPause);
}

void button(Display* display, bool press)
{
    XTestFakeButtonEvent(display, 1, press, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(kInputPause);
}

}  // namespace

int main(int argc, char** argv)
{
    Display* display = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
    if (!display)
        return fail("usage: windowcheck NAME, with DISPLAY set");
    Window window = 0;
    if (!waitFor([&] { return (window = findTitled(display, argv[1])) != 0; }, 10000))
        return fail("no window with that title");
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    if (attributes.width != kW || attributes.height != kH)
        return fail("the window is not the editor's size");
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(display, window, &hints, &supplied) || !(hints.flags & PMinSize) ||
        !(hints.flags & PMaxSize) || hints.min_width != hints.max_width || hints.min_height != hints.max_height)
        return fail("the window may be resized");
    if (!waitFor([&] { return mismatches(grabWindow(display, window), backgroundFrame(0), {0, 20, 180, 80}) == 0; }))
        return fail("the editor is not drawn");
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    pointerTo(display, x + 80, y + 125);
    button(display, true);
    for (int step = 1; step <= 6; ++step)
        pointerTo(display, x + 80, y + 125 - 5 * step);
    button(display, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
