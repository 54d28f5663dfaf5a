#include "editor/resources.h"

#include <climits>
#include <cstdint>

#include "nanovg.h"
#include "shell/embedded.h"

namespace Zorv {

namespace {

constexpr int kByteMask = 0xFF;

void setBytes(unsigned char* to, int red, int green, int blue, int alpha)
{
    to[0] = (unsigned char)(red & kByteMask);
    to[1] = (unsigned char)(green & kByteMask);
    to[2] = (unsigned char)(blue & kByteMask);
    to[3] = (unsigned char)(alpha & kByteMask);
}

// Bytes of a non-empty embedded file whose size fits nanovg's int, or null.
const unsigned char* embeddedFile(const char* name, int* size)
{
    uint64_t length = 0;
    const unsigned char* data = findResource(name, &length);
    if (!data || length == 0 || length > (uint64_t)INT_MAX)
        return nullptr;
    *size = (int)length;
    return data;
}

NVGcontext* contextOf(const GCanvas* canvas)
{
    return canvas ? canvas->context() : nullptr;
}

constexpr int kTwinDensity = 2;
constexpr char kTwinSuffix[] = "@2x";

// A new image of an embedded file, or 0. An image whose pixels meet device
// pixels one to one is sampled exactly; any other is filtered smoothly.
int createImage(NVGcontext* vg, const char* file, double scale, int density)
{
    int size = 0;
    const unsigned char* data = embeddedFile(file, &size);
    if (!data)
        return 0;
    const int flags = scale == density ? NVG_IMAGE_NEAREST : 0;
    const int image = nvgCreateImageMem(vg, flags, const_cast<unsigned char*>(data), size);
    return image > 0 ? image : 0;
}

}  // namespace

void GEditorResource::load(GCanvas*) {}

void GEditorResource::unload(GCanvas*) {}

GColourResource::GColourResource(const char* name, int red, int green, int blue, int alpha)
    : GEditorResource(name)
{
    setBytes(rgba, red, green, blue, alpha);
}

GFont::GFont(const unsigned char* colour, double size, const char* family)
    : pixels(size), face(family ? family : "")
{
    for (int i = 0; i < 4; ++i)
        rgba[i] = colour ? colour[i] : 0;
}

GFontResource::GFontResource(const char* name, GFont* font) : GEditorResource(name), owned(font)
{
}

GFontTypeResource::GFontTypeResource(const char* file, const char* family)
    : GEditorResource(family)
{
    copyText(fileName, file, kResourceFileLength);
    copyText(faceName, family, kResourceFileLength);
}

void GFontTypeResource::load(GCanvas* canvas)
{
    if (!fileName[0] || !faceName[0])
        return;
    NVGcontext* vg = contextOf(canvas);
    int size = 0;
    const unsigned char* data = embeddedFile(fileName, &size);
    // Each new canvas over the same context (a rescale) loads again: the face stays.
    if (!vg || !data || nvgFindFont(vg, faceName) >= 0)
        return;
    // With free flag 0 the context reads the registry's bytes in place.
    nvgCreateFontMem(vg, faceName, const_cast<unsigned char*>(data), size, 0);
}

int gridCells(int image, int cell)
{
    return cell < 1 ? 0 : image / cell;
}

GRect frameSource(int frameW, int frameH, int columns, int frame, const GRect& part)
{
    return {frameW * (frame % columns) + part.x, frameH * (frame / columns) + part.y, part.w,
            part.h};
}

std::string twinFileName(const char* file)
{
    const std::string name = file ? file : "";
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return name + kTwinSuffix;
    return name.substr(0, dot) + kTwinSuffix + name.substr(dot);
}

GImageResource::GImageResource(const char* name, const char* file, int frameW, int frameH,
                               int frameCount)
    : GEditorResource(name), frameW(frameW), frameH(frameH), frames(frameCount)
{
    copyText(fileName, file, kResourceFileLength);
}

void GImageResource::load(GCanvas* canvas)
{
    NVGcontext* vg = contextOf(canvas);
    if (!vg || (image > 0 && canvas->scale() == loadedScale))
        return;
    unload(canvas);
    const double scale = canvas->scale();
    if (scale > 1 && fileName[0]) {
        adopt(vg, createImage(vg, twinFileName(fileName).c_str(), scale, kTwinDensity),
              kTwinDensity, scale);
        if (image > 0 && !isUsable())
            unload(canvas);  // a twin short of frames gives way to the file itself
    }
    if (image <= 0)
        adopt(vg, createImage(vg, fileName, scale, 1), 1, scale);
}

void GImageResource::adopt(NVGcontext* vg, int handle, int density, double scale)
{
    image = handle;
    if (image <= 0)
        return;
    pixelsPerSkin = density;
    loadedScale = scale;
    int pixelsW = 0, pixelsH = 0;
    nvgImageSize(vg, image, &pixelsW, &pixelsH);
    imageW = pixelsW / density;
    imageH = pixelsH / density;
    cols = gridCells(imageW, frameW);
    rows = gridCells(imageH, frameH);
}

void GImageResource::unload(GCanvas* canvas)
{
    NVGcontext* vg = contextOf(canvas);
    if (!vg || image <= 0)
        return;
    nvgDeleteImage(vg, image);
    image = 0;
}

bool GImageResource::isUsable() const
{
    // cols and rows ≥ 1 also keep a frame count below 1 from dividing by zero.
    return image > 0 && frameW > 0 && frameH > 0 && imageW > 0 && imageH > 0 && cols > 0 &&
           rows > 0 && (long long)cols * rows >= frames;
}

void GImageResource::drawFrame(GCanvas* canvas, int x, int y, int frame) const
{
    drawFramePart(canvas, frame, {0, 0, frameW, frameH}, {x, y});
}

void GImageResource::drawFramePart(GCanvas* canvas, int frame, const GRect& part,
                                   const GPoint& dst) const
{
    // A frame past the grid has no pixels (and would overflow the arithmetic).
    if (!canvas || !isUsable() || frame < 0 || frame >= cols * rows)
        return;
    const GRect src = frameSource(frameW, frameH, cols, frame, part);
    canvas->DrawImage(image, &src, &dst, pixelsPerSkin);
}

}  // namespace Zorv
