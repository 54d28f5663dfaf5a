// nanovg's OpenGL 2 back end and its frame-buffer utilities. The frame
// buffer entry points come from GL_ARB_framebuffer_object through the loader.
#include <glad/gl.h>

#include "nanovg.h"

#define NANOVG_GL2_IMPLEMENTATION
#define NANOVG_FBO_VALID 1
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
