// The editor's OpenGL surface: the generated loader (call gladLoaderLoadGL
// with a context current before nvgCreateGL2), nanovg with its GL2 back end
// (nvgCreateGL2, nvgDeleteGL2) and the frame-buffer utilities (nvgluCreate-,
// nvgluBind-, nvgluDeleteFramebuffer).
#pragma once

#include <glad/gl.h>

#include "nanovg.h"

#define NANOVG_GL2 1
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
