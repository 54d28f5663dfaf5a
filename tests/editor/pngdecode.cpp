// The test's own decoder for expected image pixels.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
// The only helper this decoder version leaves non-static; nanovg has one too.
#define stbi__tga_read_rgb16 test_stbi__tga_read_rgb16
#include "stb_image.h"

#include "tests/editor/pngdecode.h"

namespace Zorv {

std::vector<unsigned char> decodeRgba(const unsigned char* data, int size, int* w, int* h)
{
    int channels = 0;
    unsigned char* pixels = stbi_load_from_memory(data, size, w, h, &channels, 4);
    if (!pixels)
        return {};
    std::vector<unsigned char> rgba(pixels, pixels + (size_t)*w * *h * 4);
    stbi_image_free(pixels);
    return rgba;
}

}  // namespace Zorv
