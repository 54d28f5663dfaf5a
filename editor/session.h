// GEditorSession: the UI thread's side of one editor opening. Holds what
// that thread owns on its stack: its own X connection (opened for it by the
// holder), the visual, the editor window, the GLX context, nanovg with one
// frame buffer the size of the editor in device pixels, and the canvas over
// them. run() builds them, loops on the window's events until a quit message,
// a stop request or DestroyNotify, and tears them down in reverse order,
// cancelling a gesture held at the time unless a stop was asked (the stopping
// thread ends it then); a failure at any step ends the thread quietly.
// Pointer positions reach the skin in skin pixels; a pass puts on the screen
// only the rectangles it repainted where GLX can copy part of the back
// buffer, else the whole frame.
// Once a context works, the libraries of the GL stack (front end, vendor
// library, driver) stay loaded for the process's life; nothing else is kept.
// Used only by GEditorWindow's UI thread; borrows the holder and its skin.
#pragma once

#include "editor/gl/nvg_gl.h"  // the loader's GL header goes before GLX's

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "editor/refresh.h"
#include "editor/skin.h"

#include <memory>

namespace Zorv {

// The client message that tells the UI thread to follow a new scale.
constexpr const char* kRescaleAtom = "_QUELT_RESCALE";

class GEditorWindow;

// The editor's own connections handle their X errors themselves, through
// Xlib's per-connection error table: they reach no process-wide handler (the
// host's stays in place and sees only the host's errors). Any thread, right
// after the connection opens.
void keepErrorsOn(Display* display);

// Closes a connection once its queued errors have come back (and ended there).
void closeDisplayQuietly(Display* display);

class GEditorSession {
public:
    // Events the editor window listens to (0x42807C).
    static constexpr long kEventMask = ButtonPressMask | ButtonReleaseMask | EnterWindowMask |
                                       LeaveWindowMask | PointerMotionMask | ExposureMask |
                                       StructureNotifyMask | PropertyChangeMask;

    explicit GEditorSession(GEditorWindow* holder);
    ~GEditorSession();  // tears down whatever was built
    GEditorSession(const GEditorSession&) = delete;
    GEditorSession& operator=(const GEditorSession&) = delete;

    void run();  // the whole opening, on the UI thread

private:
    bool openConnection();
    bool createWindow();
    bool createContext();
    bool createDrawing();
    bool createSurface();   // frame buffer and canvas at the current scale
    void destroySurface();
    void followScale();     // resizes everything when the holder's scale changed
    void eventLoop();
    bool dispatchPending();        // every queued event; false: leave the loop
    bool dispatch(XEvent& event);  // false: leave the loop
    void waitForEvents(int timeoutMs);  // -1: until the connection has input
    GPoint skinPoint(int x, int y) const;  // a window position in skin pixels
    void pointerButton(const XButtonEvent& event, bool press);
    void drawPass(bool wholeFrame);  // wholeFrame: the window lost its content
    void present(bool wholeFrame);
    void destroyDrawing();
    void destroyWindow();
    void closeConnection();

    GEditorWindow* holder;
    GEditorSkin* skin;
    Display* ui = nullptr;
    XVisualInfo* visual = nullptr;
    Colormap colormap = 0;
    Window window = 0;
    GLXContext glx = nullptr;
    NVGcontext* vg = nullptr;
    NVGLUframebuffer* framebuffer = nullptr;
    std::unique_ptr<GCanvas> canvas;
    double scale = 1.0;
    GDamage damage;
    GRefreshSchedule schedule;
    PFNGLXCOPYSUBBUFFERMESAPROC copySubBuffer = nullptr;  // null: whole frames only
    Atom quitAtom = 0;
    Atom rescaleAtom = 0;
};

}  // namespace Zorv
