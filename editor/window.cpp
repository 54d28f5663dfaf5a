#include "editor/window.h"

#include "editor/scale.h"
#include "editor/session.h"
#include "shell/audioeffect.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <chrono>

namespace Zorv {

GEditorWindow::GEditorWindow(GEditorSkin* skin) : skin(skin)
{
    openHostConnection();
    if (skin)
        skin->setWindow(this);
}

GEditorWindow::~GEditorWindow()
{
    stopWindow();
    if (skin)
        skin->setWindow(nullptr);
    closeDisplayQuietly(display);  // a send may have met a window the host destroyed
}

bool GEditorWindow::startWindow(uintptr_t parentWindow)
{
    stopWindow();
    if (!parentWindow || !skin)
        return false;
    // Without a host-side connection nothing could tell the thread to quit;
    // the UI thread's own is opened here, so that no display means no opening.
    if (!openHostConnection() || !(uiConnection = openConnection()))
        return false;
    parent.store(parentWindow);
    stopRequested.store(false);
    stage.store(kStarting);
    cursorKind = 0;
    threadRunning = pthread_create(&thread, nullptr, editorThreadMain, this) == 0;
    if (!threadRunning) {
        stage.store(kEnded);
        XCloseDisplay(uiConnection);
        uiConnection = nullptr;
        parent.store(0);
    }
    return threadRunning;
}

void GEditorWindow::stopWindow()
{
    if (threadRunning) {
        // Paired with the UI thread storing its window, then reading this flag:
        // either it sees the request, or this side sees the window and sends.
        stopRequested.store(true);
        if (window.load())
            sendMessage(quitAtom);
        pthread_join(thread, nullptr);
        threadRunning = false;
        // The gesture the UI thread held ends on this thread, its end queued
        // after its last value.
        skin->cancelCapture();
    }
    window.store(0);
    parent.store(0);
}

Display* GEditorWindow::openConnection()
{
    std::lock_guard<std::mutex> hold(xGlobalsMutex());
    Display* opened = XOpenDisplay(nullptr);
    keepErrorsOn(opened);
    return opened;
}

bool GEditorWindow::openHostConnection()
{
    if (!display) {
        display = openConnection();
        // Interned now: later the connection only ever sends, with no round trip.
        quitAtom = display ? XInternAtom(display, "WM_DELETE_WINDOW", False) : 0;
        rescaleAtom = display ? XInternAtom(display, kRescaleAtom, False) : 0;
    }
    return display != nullptr;
}

void* GEditorWindow::editorThreadMain(void* holder)
{
    auto* self = static_cast<GEditorWindow*>(holder);
    if (self->skin && self->parent.load()) {
        GEditorSession session(self);
        session.run();
    }
    self->setStage(kEnded);
    return nullptr;
}

void GEditorWindow::setStage(Stage reached)
{
    std::lock_guard<std::mutex> hold(stageMutex);
    stage.store(reached);
    stageChanged.notify_all();
}

bool GEditorWindow::waitUntilReady(int timeoutMs)
{
    std::unique_lock<std::mutex> hold(stageMutex);
    stageChanged.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                          [this] { return stage.load() != kStarting; });
    return stage.load() == kReady;
}

bool GEditorWindow::trySend(long eventMask, void* event)
{
    if (!display || sending.test_and_set(std::memory_order_acquire))
        return false;
    const Window target = Window(window.load());
    if (target) {
        XSendEvent(display, target, False, eventMask, static_cast<XEvent*>(event));
        XFlush(display);
    }
    sending.clear(std::memory_order_release);
    return true;
}

void GEditorWindow::postExpose()
{
    XEvent event = {};
    event.xexpose.type = Expose;
    event.xexpose.window = Window(window.load());
    if (event.xexpose.window && !trySend(ExposureMask, &event))
        missedExpose.store(true, std::memory_order_relaxed);
}

void GEditorWindow::noteHostIdle(uint32_t now)
{
    hostIdleMs.store(now, std::memory_order_relaxed);
    hostIdled.store(true, std::memory_order_relaxed);
}

bool GEditorWindow::isHostIdling(uint32_t now) const
{
    return hostIdled.load(std::memory_order_relaxed) &&
           now - hostIdleMs.load(std::memory_order_relaxed) < kHostIdleTrustMs;
}

bool GEditorWindow::takeMissedExpose()
{
    return missedExpose.exchange(false, std::memory_order_relaxed);
}

void GEditorWindow::sendMessage(unsigned long atom)
{
    if (!display)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(atom);
    while (!trySend(StructureNotifyMask, &event)) {
    }
}

void GEditorWindow::setScale(double newScale)
{
    // Stored before the window is read; the UI thread stores its window before
    // reading the scale, so one side sees the other.
    if (scale.exchange(newScale) != newScale && window.load())
        sendMessage(rescaleAtom);
}

void GEditorWindow::updateCursor(Display* uiDisplay, int x, int y)
{
    const int kind = skin->cursorAt(x, y);
    if (kind == cursorKind)
        return;
    const Window target = Window(window.load());
    const unsigned long previous = cursor;
    cursor = 0;
    if (kind == kCursorHand || kind == kCursorText) {
        std::lock_guard<std::mutex> hold(xGlobalsMutex());  // the cursor theme is a resource
        cursor = XCreateFontCursor(uiDisplay, kind == kCursorHand ? XC_hand1 : XC_xterm);
    }
    if (cursor)
        XDefineCursor(uiDisplay, target, cursor);
    else
        XUndefineCursor(uiDisplay, target);
    if (previous)
        XFreeCursor(uiDisplay, previous);
    cursorKind = kind;
}

void GEditorWindow::releaseCursor(Display* uiDisplay)
{
    const Window target = Window(window.load());
    if (target)
        XUndefineCursor(uiDisplay, target);
    if (cursor)
        XFreeCursor(uiDisplay, cursor);
    cursor = 0;
    cursorKind = 0;
}

}  // namespace Zorv
