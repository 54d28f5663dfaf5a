// A private X server and a GLX context for drawing tests: starts Xvfb on a
// display it picks itself, makes a Mesa GLX context current on a small
// window, loads GL through the editor's loader and creates nanovg with an
// off-screen frame buffer bound. One session per test, on the test's thread.
#pragma once

#include "editor/gl/nvg_gl.h"  // the loader's GL header goes before GLX's

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace Zorv {

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
    pid_t server = -1;
    Display* display = nullptr;
    Window window = 0;
    GLXContext glx = nullptr;
    NVGcontext* vg = nullptr;
    NVGLUframebuffer* framebuffer = nullptr;
};

}  // namespace Zorv
