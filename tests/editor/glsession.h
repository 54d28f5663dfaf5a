// A private X server and a GLX context for drawing tests. XvfbServer starts
// Xvfb (with GLX and XTest) on a display it picks itself and stops it again.
// GlSession runs one, makes a Mesa GLX context current on a small window,
// loads GL through the editor's loader and creates nanovg with an off-screen
// frame buffer bound. One session per test, on the test's thread.
#pragma once

#include "editor/gl/nvg_gl.h"  // the loader's GL header goes before GLX's

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace Zorv {

// Keeps Mesa's GLX library and driver mapped for the whole process, so the
// blocks they keep are not reported as leaks once a display closes, and has
// its software rasteriser draw on the calling thread. Call before any GLX use.
void prepareMesa();

class XvfbServer {
public:
    XvfbServer();   // starts the server and waits until it accepts connections
    ~XvfbServer();  // stops it
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& failure() const { return error; }  // empty when running
    const std::string& name() const { return display; }   // ":N"

private:
    pid_t pid = -1;
    std::string display;
    std::string error;
};

class GlSession {
public:
    GlSession(int width, int height);
    ~GlSession();

    const std::string& failure() const { return error; }  // empty when ready
    NVGcontext* context() const { return vg; }

    // The frame buffer's pixels as RGBA rows from the top.
    std::vector<unsigned char> readPixels() const;

private:
    bool startServer();
    bool createContext();
    bool createDrawing();

    int width, height;
    std::string error;
    XvfbServer server;
    Display* display = nullptr;
    Window window = 0;
    GLXContext glx = nullptr;
    NVGcontext* vg = nullptr;
    NVGLUframebuffer* framebuffer = nullptr;
};

}  // namespace Zorv
