#include "tests/window/hostwindow.h"

#include "tests/window/pixels.h"

#include <X11/extensions/XTest.h>
#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace windowtest {

namespace {

constexpr auto kInputPause = std::chrono::milliseconds(15);

// The window's only child; 0 unless it has exactly one.
Window onlyChild(Display* display, Window window)
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, window, &root, &up, &children, &count);
    const Window child = count == 1 ? children[0] : 0;
    if (children)
        XFree(children);
    return child;
}

// Heap in use, every arena: unlike the resident size, free pages kept by
// arenas of threads that came and went do not count.
long heapKb()
{
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
}

}  // namespace

void HostWindowTest::expectFlatOverOpenings(const std::function<void()>& cycle)
{
    for (int i = 0; i < 20; ++i)
        ASSERT_NO_FATAL_FAILURE(cycle());
    const int threads = threadCount(), fds = countEntries("/proc/self/fd");
    const long memory = heapKb();
    for (int i = 0; i < 200; ++i)
        ASSERT_NO_FATAL_FAILURE(cycle());
    EXPECT_TRUE(waitFor([&] { return threadCount() == threads; }));
    EXPECT_EQ(countEntries("/proc/self/fd"), fds);
    EXPECT_LT(heapKb() - memory, 1024) << "kB grown over 200 openings";
}

void HostWindowTest::SetUp()
{
    Zorv::prepareMesa();
    ASSERT_NO_FATAL_FAILURE(openDisplay());
    makeParent(kW, kH);
}

void HostWindowTest::TearDown()
{
    if (display) {
        if (parent)
            XDestroyWindow(display, parent);
        XCloseDisplay(display);
    }
    unsetenv("DISPLAY");
}

void HostWindowTest::openDisplay()
{
    ASSERT_EQ(server.failure(), "");
    setenv("DISPLAY", server.name().c_str(), 1);
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
}

void HostWindowTest::makeParent(int w, int h)
{
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(w),
                                 unsigned(h), 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
}

Window HostWindowTest::waitForEditor()
{
    Window editor = 0;
    waitFor([&] { return (editor = onlyChild(display, parent)) != 0; });
    return editor;
}

void HostWindowTest::pointerTo(int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(kInputPause);
}

void HostWindowTest::button(bool press)
{
    XTestFakeButtonEvent(display, 1, press, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(kInputPause);
}

}  // namespace windowtest
