// plughost gui: opens the plug-in's editor in a top-level window of its size
// and loops the demo signal through the plug-in in real time on an audio
// thread (nothing is played), calling effEditIdle every 20 ms, until the
// window is closed or the given time has passed. The skin preview shows its
// editor through the same loop.

#include "tools/plughost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>

namespace Zorv {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kIdleInterval = std::chrono::milliseconds(20);

// Plays the demo in a loop through the plug-in at the pace of real time.
class DemoLoop {
public:
    DemoLoop(GPluginHost& host, int block) : host(host), block(block)
    {
        makeDemo(demo);
        for (auto& channel : demo.channels)
            input.emplace_back(channel.begin(), channel.end());
        output.assign(2, std::vector<float>(size_t(block)));
        worker = std::thread([this] { run(); });
    }
    ~DemoLoop()
    {
        running = false;
        worker.join();
    }

private:
    void run()
    {
        const auto period = std::chrono::duration<double>(double(block) / demo.rate);
        auto next = Clock::now();
        size_t at = 0;
        while (running.load()) {
            if (at + size_t(block) > demo.frames())
                at = 0;
            float* in[2] = {input[0].data() + at, input[1].data() + at};
            float* out[2] = {output[0].data(), output[1].data()};
            host.processBlock(in, out, block);
            at += size_t(block);
            next += std::chrono::duration_cast<Clock::duration>(period);
            std::this_thread::sleep_until(next);
        }
    }

    GPluginHost& host;
    int block;
    GSound demo;
    GChannels<float> input, output;
    std::atomic<bool> running{true};
    std::thread worker;
};

// Writes the window's pixels as a binary PPM.
bool writeScreenshot(Display* display, Window window, int w, int h, const std::string& path)
{
    XImage* image = XGetImage(display, window, 0, 0, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
    FILE* file = image ? std::fopen(path.c_str(), "wb") : nullptr;
    if (file) {
        std::fprintf(file, "P6\n%d %d\n255\n", w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                              static_cast<unsigned char>(p >> 8),
                                              static_cast<unsigned char>(p)};
                std::fwrite(rgb, 1, 3, file);
            }
        std::fclose(file);
    }
    if (image)
        XDestroyImage(image);
    return file != nullptr;
}

Window createTopLevel(Display* display, const std::string& title, int w, int h, Atom deleteAtom)
{
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(w),
                                        unsigned(h), 0, 0, 0);
    XStoreName(display, window, title.c_str());
    XSetWMProtocols(display, window, &deleteAtom, 1);
    XSelectInput(display, window, StructureNotifyMask);
    return window;
}

// Fixes the window's size to w x h.
void setSize(Display* display, Window window, int w, int h)
{
    XSizeHints hints = {};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = w;
    hints.min_height = hints.max_height = h;
    XSetWMNormalHints(display, window, &hints);
    XResizeWindow(display, window, unsigned(w), unsigned(h));
}

// True once the window manager asks to close the window or it is gone.
bool closeRequested(Display* display, Atom deleteAtom)
{
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify ||
            (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteAtom))
            return true;
    }
    return false;
}

void click(Display* display, int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

// The top-level window, the open editor in it and the demo loop.
class Stage : public GEditorStage {
public:
    Stage(GPluginHost& host, Display* display, const std::string& title, int block)
        : host(host), display(display), block(block),
          deleteAtom(XInternAtom(display, "WM_DELETE_WINDOW", False)),
          window(createTopLevel(display, title, 1, 1, deleteAtom))
    {
        open();
    }
    ~Stage() override
    {
        close();
        XDestroyWindow(display, window);
    }

    void reopen(const std::function<void()>& change) override
    {
        close();
        change();
        open();
    }

    bool closeRequested() { return Zorv::closeRequested(display, deleteAtom); }
    bool screenshot(const std::string& path) { return writeScreenshot(display, window, w, h, path); }
    bool hasEditor() const { return w > 0; }

private:
    // Sizes the window to the editor and opens it there with the demo playing.
    void open()
    {
        ERect* rect = nullptr;
        if (!host.dispatch(effEditGetRect, 0, 0, &rect) || !rect)
            return;
        w = rect->right - rect->left;
        h = rect->bottom - rect->top;
        setSize(display, window, w, h);
        XMapWindow(display, window);
        XSync(display, False);
        host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(window)));
        loop = std::make_unique<DemoLoop>(host, block);
    }

    void close()
    {
        loop.reset();
        if (w > 0)
            host.dispatch(effEditClose);
        w = h = 0;
    }

    GPluginHost& host;
    Display* display;
    int block;
    Atom deleteAtom;
    Window window;
    int w = 0, h = 0;
    std::unique_ptr<DemoLoop> loop;
};

}  // namespace

int showEditor(GPluginHost& host, const std::string& title, const GGuiOptions& gui,
               const GGuiTick& tick)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "plughost: showing an editor needs an X display (is DISPLAY set?)\n";
        return kExitFailed;
    }
    int status = kExitOk;
    {
        Stage stage(host, display, title, host.config().blockSize);
        if (!stage.hasEditor()) {
            std::cerr << "plughost: the plug-in has no editor\n";
            status = kExitFailed;
        }
        const auto start = Clock::now();
        size_t clicked = 0;
        while (status == kExitOk && !stage.closeRequested()) {
            const std::chrono::duration<double> elapsed = Clock::now() - start;
            if (clicked < gui.clicks.size() && elapsed.count() > 1.0 + double(clicked)) {
                click(display, gui.clicks[clicked].first, gui.clicks[clicked].second);
                ++clicked;
            }
            if (gui.seconds > 0 && elapsed.count() >= gui.seconds)
                break;
            host.dispatch(effEditIdle);
            if (tick)
                tick(stage);
            std::this_thread::sleep_for(kIdleInterval);
        }
        if (status == kExitOk && !gui.screenshot.empty() && !stage.screenshot(gui.screenshot)) {
            std::cerr << "plughost: cannot write " << gui.screenshot << "\n";
            status = kExitFailed;
        }
    }
    XCloseDisplay(display);
    return status;
}

int runGui(const std::string& plugin, const GProcessOptions& options, const GGuiOptions& gui)
{
    GHostConfig config;
    config.blockSize = options.block;
    config.inputs = 2;
    config.outputs = 2;
    GPluginHost host(config);
    if (!openPlugin(host, plugin) || !applyOptions(host, options))
        return kExitPluginLoad;
    const int status = showEditor(host, "Quelt", gui);
    host.close();
    return status;
}

}  // namespace Zorv
