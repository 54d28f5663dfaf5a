#include "editor/session.h"

#include "controls/canvas.h"
#include "editor/skin.h"
#include "editor/window.h"

#include <dlfcn.h>
#include <link.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>

namespace Zorv {

namespace {

std::mutex handlerMutex;
int handlerUsers = 0;
XErrorHandler previousHandler = nullptr;

int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

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

using ObjectNames = std::set<std::string>;

std::atomic<bool> glPinned{false};

int addObjectName(dl_phdr_info* info, size_t, void* names)
{
    if (info->dlpi_name && info->dlpi_name[0])
        static_cast<ObjectNames*>(names)->insert(info->dlpi_name);
    return 0;
}

// The shared objects mapped into the process now.
ObjectNames loadedObjects()
{
    ObjectNames names;
    dl_iterate_phdr(addObjectName, &names);
    return names;
}

// The GL driver is loaded when a connection first asks for GLX and unloaded
// when that connection closes, and each round leaves some kilobytes behind
// inside it. So what the first opening loaded for GL stays for the process.
void keepLoadedSince(const ObjectNames& before)
{
    if (glPinned.exchange(true))
        return;
    for (const std::string& name : loadedObjects())
        if (!before.count(name))
            dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace

GXErrorShield::GXErrorShield()
{
    std::lock_guard<std::mutex> hold(handlerMutex);
    if (handlerUsers++ == 0)
        previousHandler = XSetErrorHandler(ignoreXError);
}

GXErrorShield::~GXErrorShield()
{
    std::lock_guard<std::mutex> hold(handlerMutex);
    if (--handlerUsers == 0)
        XSetErrorHandler(previousHandler);
}

void closeDisplayQuietly(Display* display)
{
    if (!display)
        return;
    GXErrorShield shield;
    XSync(display, False);
    XCloseDisplay(display);
}

GEditorSession::GEditorSession(GEditorWindow* holder) : holder(holder), skin(holder->skin) {}

GEditorSession::~GEditorSession()
{
    destroyDrawing();
    destroyWindow();
    closeConnection();
}

void GEditorSession::run()
{
    const ObjectNames before = glPinned.load() ? ObjectNames() : loadedObjects();
    if (!openConnection() || !createWindow())
        return;
    holder->window.store(window);
    if (holder->stopRequested.load())
        return;
    XMapWindow(ui, window);
    if (!createContext() || !createDrawing())
        return;
    if (!glPinned.load())
        keepLoadedSince(before);
    eventLoop();
}

bool GEditorSession::openConnection()
{
    ui = XOpenDisplay(nullptr);
    if (!ui)
        return false;
    shield = std::make_unique<GXErrorShield>();
    quitAtom = XInternAtom(ui, "WM_DELETE_WINDOW", False);
    return true;
}

bool GEditorSession::createWindow()
{
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8, GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 24,
                        GLX_STENCIL_SIZE, 8, None};
    visual = glXChooseVisual(ui, 0, attributes);
    if (!visual)
        return false;
    const Window parent = Window(holder->parent.load());
    colormap = XCreateColormap(ui, parent, visual->visual, AllocNone);
    XSetWindowAttributes wa = {};
    wa.colormap = colormap;
    wa.event_mask = kEventMask;
    window = XCreateWindow(ui, parent, 0, 0, unsigned(skin->getWidth()),
                           unsigned(skin->getHeight()), 0, visual->depth, InputOutput,
                           visual->visual, CWEventMask | CWColormap, &wa);
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
    return glx && glXMakeCurrent(ui, window, glx) && loadGlOnce();
}

bool GEditorSession::createDrawing()
{
    const int width = skin->getWidth(), height = skin->getHeight();
    vg = nvgCreateGL2(NVG_ANTIALIAS);
    if (!vg)
        return false;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    framebuffer = nvgluCreateFramebuffer(vg, width, height, 0);
    if (!framebuffer)
        return false;
    canvas = std::make_unique<GCanvas>(vg, width, height);
    skin->attachCanvas(canvas.get());
    return true;
}

void GEditorSession::eventLoop()
{
    XEvent event;
    do
        XNextEvent(ui, &event);
    while (dispatch(event));
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
        skin->onMouseMove(m.state & ShiftMask, m.state & ControlMask, m.x, m.y);
        holder->updateCursor(ui, m.x, m.y);
        return true;
    }
    case Expose:
        drawPass();
        return true;
    case DestroyNotify:
        return event.xdestroywindow.window != window;
    case ClientMessage:
        return Atom(event.xclient.data.l[0]) != quitAtom;
    default:
        return true;
    }
}

void GEditorSession::pointerButton(const XButtonEvent& b, bool press)
{
    const bool shift = b.state & ShiftMask, ctrl = b.state & ControlMask;
    if (b.button == Button1)
        press ? skin->onLeftDown(shift, ctrl, b.x, b.y) : skin->onLeftUp(shift, ctrl, b.x, b.y);
    else if (b.button == Button3)
        press ? skin->onRightDown(shift, ctrl, b.x, b.y) : skin->onRightUp(shift, ctrl, b.x, b.y);
    else if (press && (b.button == Button4 || b.button == Button5))
        skin->onWheel(shift, ctrl, b.x, b.y, b.button == Button4 ? 1 : -1);
    holder->updateCursor(ui, b.x, b.y);
}

void GEditorSession::drawPass()
{
    const int width = skin->getWidth(), height = skin->getHeight();
    nvgluBindFramebuffer(framebuffer);
    glViewport(0, 0, width, height);
    skin->drawPass(canvas.get());
    nvgluBindFramebuffer(nullptr);
    // A straight copy: both surfaces were drawn by nanovg, so no flip is needed,
    // and a software renderer copies far faster than it fills a textured quad.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer->fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glXSwapBuffers(ui, window);
}

void GEditorSession::destroyDrawing()
{
    if (window)
        holder->releaseCursor(ui);
    holder->window.store(0);
    skin->cancelCapture();  // a gesture never outlives its window: the host gets its endEdit
    if (canvas) {
        skin->detachCanvas(canvas.get());
        canvas.reset();
    }
    if (framebuffer)
        nvgluDeleteFramebuffer(framebuffer);
    framebuffer = nullptr;
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
    shield.reset();
}

}  // namespace Zorv
