// nanovg's core with fontstash, stb_truetype and stb_image, compiled as C++
// from the system's copy of the sources.
#include "nanovg.c"
