// GEditorWindow: runs one opening of the editor on a UI thread of its own.
// The thread creates an X11 child window of the host's window with a GLX
// context and nanovg, draws the skin through a persistent frame buffer, and
// routes the window's pointer events into the skin until it is told to quit
// or the host destroys its window. The host thread starts and stops it; the
// host's threads and the UI thread may ask for a redraw, which travels as a
// synthetic Expose over the holder's own (host-side) X connection, never the
// UI thread's. The audio thread never calls it, and the UI thread never
// calls the host. Once a stop is asked the UI thread routes no more input; a
// gesture it held ends on the stopping thread.
// Owns the host-side connection and the thread; borrows the skin.
#pragma once

#include "editor/skin.h"

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

typedef struct _XDisplay Display;

namespace Zorv {

class GEditorWindow : public GRedrawTarget {
public:
    explicit GEditorWindow(GEditorSkin* skin);  // opens the host-side connection
    ~GEditorWindow() override;                  // stops the thread, closes the connection
    GEditorWindow(const GEditorWindow&) = delete;
    GEditorWindow& operator=(const GEditorWindow&) = delete;

    bool startWindow(uintptr_t parentWindow);   // starts the UI thread; false without a
                                                // parent or a display
    // Host thread, after a start: waits until the UI thread has its window,
    // GL context and nanovg (true) or has ended (false), at most timeoutMs.
    bool waitUntilReady(int timeoutMs);
    bool hasEnded() const { return stage.load() == kEnded; }  // no UI thread draws now
    void setScale(double scale);                // device pixels per skin pixel; a running
                                                // UI thread resizes its window to match
    double getScale() const { return scale.load(std::memory_order_relaxed); }
    void stopWindow();                          // returns once the UI thread has ended
    void postExpose() override;                 // one draw pass on the UI thread, if it runs
    bool takeMissedExpose();                    // true once after a post that had to be dropped
    bool isDozing() const { return dozing.load(); }  // the UI thread sleeps until a heartbeat
    // The host's idle, which then wakes the UI thread for requests: noted at
    // each call, trusted while the last is under kHostIdleTrustMs old; a host
    // idling more slowly leaves the UI thread looking on its own. Any thread.
    static constexpr uint32_t kHostIdleTrustMs = 60;  // hosts idle every 15 to 50 ms
    void noteHostIdle(uint32_t now);
    bool isHostIdling(uint32_t now) const;
    void updateCursor(Display* uiDisplay, int x, int y);  // UI thread: pointer shape at a point

    uintptr_t getWindow() const { return window.load(); }  // the editor window, 0 when none
    bool isRunning() const { return threadRunning; }       // a UI thread was started, not joined
    int getCursorKind() const { return cursorKind.load(std::memory_order_relaxed); }  // last applied

private:
    friend class GEditorSession;
    enum Stage { kStarting, kReady, kEnded };  // how far the current opening came
    void setStage(Stage reached);              // UI thread
    static void* editorThreadMain(void* holder);

    // Host-side sends; false when another thread is sending at this moment.
    static Display* openConnection();  // the default display, opened under xGlobalsMutex
    bool openHostConnection();  // true when the host-side connection is open
    bool trySend(long eventMask, void* event);
    void sendMessage(unsigned long atom);  // a client message of that atom to the window
    void releaseCursor(Display* uiDisplay);  // UI thread: undefines and frees the cursor

    GEditorSkin* skin;
    Display* display = nullptr;
    Display* uiConnection = nullptr;  // opened by startWindow, taken by the UI thread
    unsigned long quitAtom = 0;     // "WM_DELETE_WINDOW" on the host-side connection
    unsigned long rescaleAtom = 0;  // kRescaleAtom on the host-side connection
    std::atomic<double> scale{1.0};
    std::atomic<uintptr_t> parent{0};
    std::atomic<uintptr_t> window{0};
    std::atomic<bool> stopRequested{false};
    std::atomic_flag sending = ATOMIC_FLAG_INIT;
    std::atomic<bool> missedExpose{false};
    std::atomic<bool> dozing{false};  // set by the UI thread, read by idle
    std::atomic<uint32_t> hostIdleMs{0};
    std::atomic<bool> hostIdled{false};
    std::atomic<int> stage{kEnded};
    std::mutex stageMutex;  // with stageChanged: the host thread waits for the UI thread
    std::condition_variable stageChanged;
    pthread_t thread{};
    bool threadRunning = false;
    std::atomic<int> cursorKind{0};
    unsigned long cursor = 0;  // the X cursor defined on the window, 0 when none
};

}  // namespace Zorv
