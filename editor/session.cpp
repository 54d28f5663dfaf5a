#include "editor/session.h"

#include "controls/canvas.h"
#include "editor/skin.h"
#include "editor/editor.h"
#include "editor/scale.h"
#include "editor/window.h"
#include "effect/effect.h"

#include <X11/Xlibint.h>  // the per-connection error table
#include <dlfcn.h>
#include <link.h>
#include <poll.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Zorv {

namespace {

// An X error of one of the editor's own connections ends there.
Bool swallowError(Display*, XErrorEvent*, xError*)
{
    return False;
}

// Wire error codes run from 1 to 255.
constexpr int kErrorCodes = 256;

// The GL entry points are process-wide; they are loaded once, with a context current.
bool loadGlOnce()
{
    static std::mutex loadMutex;
    static bool loaded = false;
    std::lock_guard<std::mutex> hold(loadMutex);
    if (!loaded)
        loaded = gladLoaderLoadGL() != 0;
    return loaded;
}

std::atomic<bool> glPinned{false};

// Entry points only the GL stack's libraries define: the dispatch library,
// the GLX vendor libraries and Mesa's GL API library.
constexpr const char* kGlStackEntries[] = {"__glDispatchInit", "__glx_Main", "_glapi_get_dispatch"};
constexpr const char kDriverEntry[] = "__driDriverGetExtensions_";  // + the driver's name
constexpr const char kDriverSuffix[] = "_dri.so";

// Whether the object `name` itself defines `symbol` (not one of its dependencies).
bool defines(void* handle, const char* name, const char* symbol)
{
    Dl_info info{};
    void* at = dlsym(handle, symbol);
    return at && dladdr(at, &info) && info.dli_fname && strcmp(info.dli_fname, name) == 0;
}

// The DRI driver's entry point for an object called ".../NAME_dri.so".
std::string driverEntry(const char* name)
{
    const std::string path = name;
    const size_t slash = path.rfind('/') + 1;
    const size_t suffix = path.size() - (sizeof(kDriverSuffix) - 1);
    if (path.size() <= sizeof(kDriverSuffix) || path.compare(suffix, std::string::npos, kDriverSuffix) != 0)
        return {};
    return kDriverEntry + path.substr(slash, suffix - slash);
}

bool isGlStack(void* handle, const char* name, const char* frontEnd)
{
    if (frontEnd && strcmp(name, frontEnd) == 0)
        return true;
    for (const char* entry : kGlStackEntries)
        if (defines(handle, name, entry))
            return true;
    const std::string driver = driverEntry(name);
    return !driver.empty() && defines(handle, name, driver.c_str());
}

// Adds a loaded object's name to the list in `names`.
int collectName(dl_phdr_info* info, size_t, void* names)
{
    try {
        if (info->dlpi_name && info->dlpi_name[0])
            static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
        return 0;
    } catch (...) {
        return 1;  // no exception through the loader's frames: the iteration stops
    }
}

void pinIfGlStack(const char* name, const char* frontEnd)
{
    // A no-load open only takes a reference, which pinning keeps for good.
    if (void* handle = dlopen(name, RTLD_NOW | RTLD_NOLOAD)) {
        if (isGlStack(handle, name, frontEnd))
            dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        dlclose(handle);
    }
}

// The GL driver is loaded when a connection first asks for GLX and registers
// itself with the GLX front end once per process; unloaded with that front end
// (a host unloading this binary takes it along) or with its connection, it
// never comes back whole, and each round leaves some kilobytes behind (the
// front end keeps state from its first call, even on a server without GLX).
// So from the first GLX call on, every library of the GL stack loaded so far
// stays for the process, and nothing else is kept; once a context works the
// whole stack is there and later calls do nothing.
void pinGlStack(bool contextWorks)
{
    if (glPinned.load())
        return;
    glPinned.store(contextWorks);
    Dl_info frontEnd{};
    const bool found = dladdr(reinterpret_cast<void*>(&glXChooseVisual), &frontEnd) && frontEnd.dli_fname;
    // The names first: a dlopen inside the iteration would take the loader's
    // locks in the order opposite to another thread's dlopen or dlclose.
    std::vector<std::string> loaded;
    dl_iterate_phdr(collectName, &loaded);
    for (const std::string& name : loaded)
        pinIfGlStack(name.c_str(), found ? frontEnd.dli_fname : nullptr);
}

constexpr const char* kCopySubBuffer = "GLX_MESA_copy_sub_buffer";

// glXCopySubBufferMESA when the connection's GLX offers it, else null.
PFNGLXCOPYSUBBUFFERMESAPROC findCopySubBuffer(Display* display, int screen)
{
    const char* extensions = glXQueryExtensionsString(display, screen);
    const size_t length = strlen(kCopySubBuffer);
    for (const char* at = extensions; at && (at = strstr(at, kCopySubBuffer)); at += length)
        if ((at == extensions || at[-1] == ' ') && (at[length] == ' ' || at[length] == 0))
            return reinterpret_cast<PFNGLXCOPYSUBBUFFERMESAPROC>(
                glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    return nullptr;
}

}  // namespace

void keepErrorsOn(Display* display)
{
    // Xlib converts every error, replied or not, through the connection's own
    // table before it asks the process-wide handler; a false there ends it.
    for (int code = 1; display && code < kErrorCodes; ++code)
        XESetWireToError(display, code, swallowError);
}

void closeDisplayQuietly(Display* display)
{
    if (!display)
        return;
    XSync(display, False);
    XCloseDisplay(display);
}

GEditorSession::GEditorSession(GEditorWindow* holder)
    : holder(holder), skin(holder->skin), schedule(skin->getRefreshThrottleMs(), monotonicMs())
{
}

GEditorSession::~GEditorSession()
{
    destroyDrawing();
    destroyWindow();
    closeConnection();
}

void GEditorSession::run()
{
    if (!openConnection() || !createWindow())
        return;
    holder->window.store(window);
    if (holder->stopRequested.load())
        return;
    XMapWindow(ui, window);
    if (!createContext() || !createDrawing())
        return;
    pinGlStack(true);
    followScale();  // the host may have changed it while the window was made
    skin->getEffect()->takeEditorRefresh();  // the first pass shows everything anyway
    holder->setStage(GEditorWindow::kReady);
    eventLoop();
}

bool GEditorSession::openConnection()
{
    ui = std::exchange(holder->uiConnection, nullptr);
    if (!ui)
        return false;
    quitAtom = XInternAtom(ui, "WM_DELETE_WINDOW", False);
    rescaleAtom = XInternAtom(ui, kRescaleAtom, False);
    return true;
}

bool GEditorSession::createWindow()
{
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8, GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 24,
                        GLX_STENCIL_SIZE, 8, None};
    {
        // The first GLX call on a connection loads the GL driver, whose
        // loader keeps process-wide state.
        std::lock_guard<std::mutex> hold(xGlobalsMutex());
        visual = glXChooseVisual(ui, 0, attributes);
        pinGlStack(false);
    }
    if (!visual)
        return false;
    const Window parent = Window(holder->parent.load());
    colormap = XCreateColormap(ui, parent, visual->visual, AllocNone);
    XSetWindowAttributes wa = {};
    wa.colormap = colormap;
    wa.event_mask = kEventMask;
    scale = holder->getScale();
    window = XCreateWindow(ui, parent, 0, 0, unsigned(toDevice(skin->getWidth(), scale)),
                           unsigned(toDevice(skin->getHeight(), scale)), 0, visual->depth,
                           InputOutput, visual->visual, CWEventMask | CWColormap, &wa);
    // Errors are ignored, so ask the server whether the window really exists.
    XWindowAttributes created;
    if (window && XGetWindowAttributes(ui, window, &created))
        return true;
    window = 0;
    return false;
}

bool GEditorSession::createContext()
{
    glx = glXCreateContext(ui, visual, nullptr, True);
    if (!glx || !glXMakeCurrent(ui, window, glx) || !loadGlOnce())
        return false;
    copySubBuffer = findCopySubBuffer(ui, visual->screen);
    return true;
}

bool GEditorSession::createDrawing()
{
    vg = nvgCreateGL2(NVG_ANTIALIAS);
    if (!vg)
        return false;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return createSurface();
}

bool GEditorSession::createSurface()
{
    const int width = skin->getWidth(), height = skin->getHeight();
    framebuffer = nvgluCreateFramebuffer(vg, toDevice(width, scale), toDevice(height, scale), 0);
    if (!framebuffer)
        return false;
    canvas = std::make_unique<GCanvas>(vg, width, height, scale);
    skin->attachCanvas(canvas.get());
    return true;
}

void GEditorSession::destroySurface()
{
    if (canvas) {
        skin->detachCanvas(canvas.get());
        canvas.reset();
    }
    if (framebuffer)
        nvgluDeleteFramebuffer(framebuffer);
    framebuffer = nullptr;
}

void GEditorSession::followScale()
{
    const double wanted = holder->getScale();
    if (wanted == scale)
        return;
    scale = wanted;
    destroySurface();
    XResizeWindow(ui, window, unsigned(toDevice(skin->getWidth(), scale)),
                  unsigned(toDevice(skin->getHeight(), scale)));
    XSync(ui, False);
    glXMakeCurrent(ui, window, glx);  // the default frame buffer takes the new size
    if (createSurface())
        drawPass(true);
}

void GEditorSession::eventLoop()
{
    GEffect* effect = skin->getEffect();
    while (dispatchPending()) {
        const uint32_t now = monotonicMs();
        // While the host idles, its idle posts the redraw a request needs.
        const bool woken = holder->isHostIdling(now);
        if (schedule.isDue(now, !woken && effect->isEditorRefreshPending()))
            drawPass(false);
        // Dozing is announced before the last look at the flag; idle reads them
        // the other way round, so a request is seen by one side or the other.
        holder->dozing.store(woken || schedule.isDozing(now));
        const bool requested = !woken && effect->isEditorRefreshPending();
        if (requested && holder->dozing.load())
            holder->dozing.store(false);
        waitForEvents(schedule.waitMs(now, requested, woken));
    }
    holder->dozing.store(false);
}

bool GEditorSession::dispatchPending()
{
    // A stop asked meanwhile leaves the rest unrouted: the stopping thread ends the gesture.
    XEvent event;
    while (!holder->stopRequested.load() && XPending(ui)) {
        XNextEvent(ui, &event);
        if (!dispatch(event))
            return false;
    }
    return !holder->stopRequested.load();
}

void GEditorSession::waitForEvents(int timeoutMs)
{
    pollfd connection = {ConnectionNumber(ui), POLLIN, 0};
    poll(&connection, 1, timeoutMs);
}

bool GEditorSession::dispatch(XEvent& event)
{
    switch (event.type) {
    case ButtonPress:
    case ButtonRelease:
        pointerButton(event.xbutton, event.type == ButtonPress);
        return true;
    case MotionNotify: {
        const XMotionEvent& m = event.xmotion;
        const GPoint at = skinPoint(m.x, m.y);
        skin->onMouseMove(m.state & ShiftMask, m.state & ControlMask, at.x, at.y);
        holder->updateCursor(ui, at.x, at.y);
        return true;
    }
    case Expose:
        // Only the server's own Expose means the window lost pixels.
        drawPass(!event.xexpose.send_event);
        return true;
    case DestroyNotify:
        return event.xdestroywindow.window != window;
    case ClientMessage:
        if (Atom(event.xclient.data.l[0]) == rescaleAtom)
            followScale();
        return Atom(event.xclient.data.l[0]) != quitAtom;
    default:
        return true;
    }
}

GPoint GEditorSession::skinPoint(int x, int y) const
{
    return {toSkin(x, scale), toSkin(y, scale)};
}

void GEditorSession::pointerButton(const XButtonEvent& b, bool press)
{
    const bool shift = b.state & ShiftMask, ctrl = b.state & ControlMask;
    const GPoint p = skinPoint(b.x, b.y);
    if (b.button == Button1)
        press ? skin->onLeftDown(shift, ctrl, p.x, p.y) : skin->onLeftUp(shift, ctrl, p.x, p.y);
    else if (b.button == Button3)
        press ? skin->onRightDown(shift, ctrl, p.x, p.y) : skin->onRightUp(shift, ctrl, p.x, p.y);
    else if (press && (b.button == Button4 || b.button == Button5))
        skin->onWheel(shift, ctrl, p.x, p.y, b.button == Button4 ? 1 : -1);
    holder->updateCursor(ui, p.x, p.y);
}

void GEditorSession::drawPass(bool wholeFrame)
{
    // Taken first: a request made while the pass runs waits for the next one.
    schedule.passed(monotonicMs(), skin->getEffect()->takeEditorRefresh());
    if (!canvas)
        return;
    nvgluBindFramebuffer(framebuffer);
    glViewport(0, 0, canvas->deviceWidth(), canvas->deviceHeight());
    skin->drawPass(canvas.get(), &damage);
    nvgluBindFramebuffer(nullptr);
    if (wholeFrame || damage.whole || damage.count > 0)
        present(wholeFrame || damage.whole);
}

void GEditorSession::present(bool wholeFrame)
{
    // Straight copies: both surfaces were drawn by nanovg, so no flip is needed,
    // and a software renderer copies far faster than it fills a textured quad.
    const int width = canvas->deviceWidth(), height = canvas->deviceHeight();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer->fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (wholeFrame || !copySubBuffer) {
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glXSwapBuffers(ui, window);
    } else {
        // Only the repainted rectangles travel: frame buffer to back buffer to window.
        for (int i = 0; i < damage.count; ++i) {
            const GRect d = toDevice(damage.rects[i], scale);
            const int bottom = height - d.y - d.h;  // GL rows count from the bottom
            glBlitFramebuffer(d.x, bottom, d.x + d.w, bottom + d.h, d.x, bottom, d.x + d.w,
                              bottom + d.h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        for (int i = 0; i < damage.count; ++i) {
            const GRect d = toDevice(damage.rects[i], scale);
            copySubBuffer(ui, window, d.x, height - d.y - d.h, d.w, d.h);
        }
    }
}

void GEditorSession::destroyDrawing()
{
    if (window)
        holder->releaseCursor(ui);
    holder->window.store(0);
    // A gesture never outlives its window; when a stop was asked, the stopping
    // thread ends it instead.
    if (!holder->stopRequested.load())
        skin->cancelCapture();
    destroySurface();
    if (vg)
        nvgDeleteGL2(vg);
    vg = nullptr;
}

void GEditorSession::destroyWindow()
{
    if (glx) {
        glXMakeCurrent(ui, None, nullptr);
        glXDestroyContext(ui, glx);
        glx = nullptr;
    }
    if (window) {
        XDestroyWindow(ui, window);
        XFlush(ui);
        window = 0;
    }
    if (colormap)
        XFreeColormap(ui, colormap);
    colormap = 0;
}

void GEditorSession::closeConnection()
{
    if (visual)
        XFree(visual);
    visual = nullptr;
    closeDisplayQuietly(ui);
    ui = nullptr;
}

}  // namespace Zorv
