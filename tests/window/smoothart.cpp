#include "tests/window/smoothart.h"

#include "shell/embedded.h"
#include "tests/editor/pngdecode.h"

#include <algorithm>
#include <cmath>

namespace windowtest {

Pixels embeddedImage(const char* name)
{
    uint64_t size = 0;
    const unsigned char* data = Zorv::findResource(name, &size);
    Pixels out;
    if (!data)
        return out;
    const std::vector<unsigned char> rgba = Zorv::decodeRgba(data, int(size), &out.w, &out.h);
    if (rgba.empty())
        return Pixels();
    out.rgb.resize(size_t(out.w) * out.h * 3);
    for (size_t i = 0; i < size_t(out.w) * out.h; ++i)
        std::copy_n(&rgba[i * 4], 3, &out.rgb[i * 3]);
    return out;
}

namespace {

// Image coordinate of a device pixel's centre, in texels, less half a texel.
double texel(int device, double scale, double offset, double imageScale)
{
    return ((device + 0.5) / scale + offset) * imageScale - 0.5;
}

}  // namespace

Pixels smoothFrame(const Pixels& image, int frame, double imageScale, double scale)
{
    Pixels out;
    if (image.rgb.empty())
        return out;
    out.w = Zorv::toDevice(kW, scale);
    out.h = Zorv::toDevice(kH, scale);
    out.rgb.resize(size_t(out.w) * out.h * 3);
    for (int y = 0; y < out.h; ++y) {
        const double ty = texel(y, scale, 0, imageScale);
        const int y0 = int(std::floor(ty));
        const double fy = ty - y0;
        const int ya = std::clamp(y0, 0, image.h - 1), yb = std::clamp(y0 + 1, 0, image.h - 1);
        for (int x = 0; x < out.w; ++x) {
            const double tx = texel(x, scale, double(kW) * frame, imageScale);
            const int x0 = int(std::floor(tx));
            const double fx = tx - x0;
            const int xa = std::clamp(x0, 0, image.w - 1), xb = std::clamp(x0 + 1, 0, image.w - 1);
            for (int c = 0; c < 3; ++c) {
                const double top = image.at(xa, ya)[c] * (1 - fx) + image.at(xb, ya)[c] * fx;
                const double bottom = image.at(xa, yb)[c] * (1 - fx) + image.at(xb, yb)[c] * fx;
                out.rgb[(size_t(y) * out.w + x) * 3 + c] =
                    (unsigned char)std::lround(top * (1 - fy) + bottom * fy);
            }
        }
    }
    return out;
}

bool hasArt2x()
{
    return !embeddedImage("Quelt@2x.png").rgb.empty();
}

Pixels backgroundAt(double scale)
{
    if (scale == 1.0)
        return backgroundFrame(0);
    const Pixels big = embeddedImage("Quelt@2x.png");
    return big.rgb.empty() ? smoothFrame(embeddedImage("Quelt.png"), 0, 1.0, scale)
                           : smoothFrame(big, 0, 2.0, scale);
}

}  // namespace windowtest
