#include "tests/editor/glsession.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace Zorv {

namespace {

constexpr int kServerStartMs = 20000;

// Reads the display number Xvfb writes to fd once it accepts connections.
std::string readDisplayNumber(int fd)
{
    std::string number;
    pollfd pfd = {fd, POLLIN, 0};
    char c = 0;
    while (poll(&pfd, 1, kServerStartMs) > 0 && read(fd, &c, 1) == 1 && c != '\n')
        number += c;
    return number;
}

}  // namespace

// Mesa unloads its GLX vendor library and driver when the display closes,
// turning the blocks they keep for the process into unattributable leaks at
// exit. Keeping both mapped keeps those blocks reachable. The software
// rasteriser draws on the calling thread, so the thread sanitizer sees only
// our threads.
void prepareMesa()
{
    setenv("LP_NUM_THREADS", "0", 1);
    const char* libraries[] = {"libGLX_mesa.so.0", QUELT_MESA_DRIVER};
    for (const char* library : libraries)
        dlopen(library, RTLD_NOW | RTLD_NODELETE | RTLD_GLOBAL);
}

XvfbServer::XvfbServer()
{
    int fds[2];
    if (pipe(fds) != 0) {
        error = "pipe failed";
        return;
    }
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24",
                          "+extension", "GLX", "+extension", "XTEST", "-nolisten", "tcp",
                          "-terminate", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr,
                                     const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        pid = -1;
        close(fds[0]);
        error = "Xvfb could not be started (install it with scripts/setup.sh)";
        return;
    }
    const std::string number = readDisplayNumber(fds[0]);
    close(fds[0]);
    if (number.empty())
        error = "Xvfb reported no display";
    else
        display = ":" + number;
}

XvfbServer::~XvfbServer()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

GlSession::GlSession(int w, int h) : width(w), height(h)
{
    prepareMesa();
    if (startServer() && createContext())
        createDrawing();
}

GlSession::~GlSession()
{
    if (framebuffer)
        nvgluDeleteFramebuffer(framebuffer);
    if (vg)
        nvgDeleteGL2(vg);
    if (glx) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, glx);
    }
    if (window)
        XDestroyWindow(display, window);
    if (display)
        XCloseDisplay(display);
}

bool GlSession::startServer()
{
    if (!server.failure().empty())
        return error = server.failure(), false;
    const std::string number = server.name();
    display = XOpenDisplay(number.c_str());
    if (!display)
        return error = "cannot connect to Xvfb on " + number, false;
    return true;
}

bool GlSession::createContext()
{
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8, GLX_STENCIL_SIZE, 8, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual)
        return error = "no GLX visual (GLX missing on the X server?)", false;
    XSetWindowAttributes wa = {};
    wa.colormap = XCreateColormap(display, RootWindow(display, visual->screen), visual->visual,
                                  AllocNone);
    window = XCreateWindow(display, RootWindow(display, visual->screen), 0, 0, width, height, 0,
                           visual->depth, InputOutput, visual->visual, CWColormap, &wa);
    glx = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    if (!glx || !glXMakeCurrent(display, window, glx))
        return error = "cannot make a GLX context current", false;
    if (!gladLoaderLoadGL())
        return error = "the OpenGL loader found no entry points", false;
    return true;
}

bool GlSession::createDrawing()
{
    vg = nvgCreateGL2(NVG_ANTIALIAS | NVG_STENCIL_STROKES);
    if (!vg)
        return error = "nvgCreateGL2 failed", false;
    framebuffer = nvgluCreateFramebuffer(vg, width, height, 0);
    if (!framebuffer)
        return error = "nvgluCreateFramebuffer failed", false;
    nvgluBindFramebuffer(framebuffer);
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return true;
}

std::vector<unsigned char> GlSession::readPixels() const
{
    const size_t row = (size_t)width * 4;
    std::vector<unsigned char> bottomUp(row * height), topDown(row * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < height; ++y)
        std::copy_n(&bottomUp[(height - 1 - y) * row], row, &topDown[y * row]);
    return topDown;
}

}  // namespace Zorv
