#include "controls/canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "editor/gl/nvg_gl.h"
#include "editor/resources.h"

namespace Zorv {

namespace {

constexpr float kByteScale = 255.0f;
constexpr float kHairline = 1.0f;
constexpr float kTextDrop = 0.55f;  // glyph middle slightly below the box centre

NVGcolor colourOf(const unsigned char* rgba)
{
    return nvgRGBAf(rgba[0] / kByteScale, rgba[1] / kByteScale, rgba[2] / kByteScale,
                    rgba[3] / kByteScale);
}

int clampTo(int value, int limit)
{
    return value < 0 ? 0 : (value > limit ? limit : value);
}

GRect intersect(const GRect& a, const GRect& b)
{
    const int x0 = a.x > b.x ? a.x : b.x, y0 = a.y > b.y ? a.y : b.y;
    const long long x1 = std::min((long long)a.x + a.w, (long long)b.x + b.w);
    const long long y1 = std::min((long long)a.y + a.h, (long long)b.y + b.h);
    return {x0, y0, int(std::max(x1 - x0, 0LL)), int(std::max(y1 - y0, 0LL))};
}

int clampToInt(double v)
{
    constexpr double kLow = -2147483648.0, kHigh = 2147483647.0;
    return v <= kLow ? INT_MIN : (v >= kHigh ? INT_MAX : int(v));
}

}  // namespace

int saturatedSum(int a, int b)
{
    return clampToInt(double(a) + b);
}

int toDevice(int v, double scale)
{
    return clampToInt(std::ceil(v * scale));
}

int toSkin(int d, double scale)
{
    return scale > 0 ? clampToInt(std::floor(d / scale)) : d;
}

GRect toDevice(const GRect& skin, double scale)
{
    const int x0 = toDevice(skin.x, scale), y0 = toDevice(skin.y, scale);
    const double x1 = std::ceil((double(skin.x) + skin.w) * scale);
    const double y1 = std::ceil((double(skin.y) + skin.h) * scale);
    return {x0, y0, clampToInt(x1 - x0), clampToInt(y1 - y0)};
}

GCanvas::GCanvas(NVGcontext* context, int width, int height, double scale)
    : vg(context), surfaceW(width), surfaceH(height), pixelScale(scale > 0 ? scale : 1.0),
      deviceW(toDevice(width, pixelScale)), deviceH(toDevice(height, pixelScale)), clipW(width),
      clipH(height)
{
}

void GCanvas::SetClip(int x, int y, int w, int h)
{
    clipX = clampTo(x, surfaceW);
    clipY = clampTo(y, surfaceH);
    using Wide = long long;  // the sums may pass INT_MAX
    clipW = Wide(clipX) + w > surfaceW ? surfaceW - clipX : w;
    clipH = Wide(clipY) + h > surfaceH ? surfaceH - clipY : h;
}

void GCanvas::ResetClip()
{
    clipX = clipY = 0;
    clipW = surfaceW;
    clipH = surfaceH;
}

bool GCanvas::beginFrame()
{
    if (!vg)
        return false;
    // The view is the device surface in skin units, so skin units map onto
    // device pixels by exactly the scale.
    nvgBeginFrame(vg, float(deviceW / pixelScale), float(deviceH / pixelScale), (float)pixelScale);
    if (clipW < surfaceW || clipH < surfaceH) {
        // nanovg's scissor edge is soft over one device pixel; on a device edge it is exact.
        const GRect d = toDevice(GRect{clipX, clipY, clipW, clipH}, pixelScale);
        nvgScissor(vg, float(d.x / pixelScale), float(d.y / pixelScale), float(d.w / pixelScale),
                   float(d.h / pixelScale));
    }
    nvgBeginPath(vg);
    return true;
}

void GCanvas::snappedRect(int x, int y, int w, int h)
{
    const GRect at = {saturatedSum(clipX, x), saturatedSum(clipY, y), w, h};
    const GRect d = toDevice(at, pixelScale);
    nvgRect(vg, float(d.x / pixelScale), float(d.y / pixelScale), float(d.w / pixelScale),
            float(d.h / pixelScale));
}

void GCanvas::fill(const unsigned char* rgba)
{
    nvgFillColor(vg, colourOf(rgba));
    nvgFill(vg);
    nvgEndFrame(vg);
}

void GCanvas::stroke(const unsigned char* rgba, double width)
{
    nvgStrokeWidth(vg, (float)width);
    nvgStrokeColor(vg, colourOf(rgba));
    nvgStroke(vg);
    nvgEndFrame(vg);
}

void GCanvas::FillRectRGB(int x, int y, int w, int h, const unsigned char* rgb)
{
    if (!rgb || !vg)
        return;
    // An opaque fill on device edges sets exactly the pixels a clear of them
    // sets, and a software renderer clears far faster than it fills a path.
    const GRect surface = {0, 0, deviceW, deviceH};
    const GRect window = intersect(toDevice(clip(), pixelScale), surface);
    const GRect at = {saturatedSum(clipX, x), saturatedSum(clipY, y), w, h};
    const GRect d = intersect(toDevice(at, pixelScale), window);
    if (d.w <= 0 || d.h <= 0)
        return;
    glEnable(GL_SCISSOR_TEST);
    glScissor(d.x, deviceH - d.y - d.h, d.w, d.h);  // GL rows count from the bottom
    glClearColor(rgb[0] / kByteScale, rgb[1] / kByteScale, rgb[2] / kByteScale, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void GCanvas::FillRect(int x, int y, int w, int h, const unsigned char* rgba)
{
    if (!rgba || !beginFrame())
        return;
    snappedRect(x, y, w, h);
    fill(rgba);
}

void GCanvas::DrawRect(int x, int y, int w, int h, const unsigned char* rgba)
{
    if (!rgba || !beginFrame())
        return;
    nvgRect(vg, saturatedSum(clipX, x), saturatedSum(clipY, y), w, h);
    stroke(rgba, kHairline);
}

void GCanvas::DrawHLine(int x1, int y, int x2, const unsigned char* rgba)
{
    DrawLine(rgba, x1, y, x2, y, kHairline);
}

void GCanvas::DrawVLine(int x, int y1, int y2, const unsigned char* rgba)
{
    DrawLine(rgba, x, y1, x, y2, kHairline);
}

void GCanvas::DrawVLines(const GSpan* spans, int count, const unsigned char* rgba)
{
    if (!spans || count <= 0 || !rgba || !beginFrame())
        return;
    for (int i = 0; i < count; ++i) {
        const float x = (float)saturatedSum(clipX, spans[i].x);
        nvgMoveTo(vg, x, (float)saturatedSum(clipY, spans[i].y1));
        nvgLineTo(vg, x, (float)saturatedSum(clipY, spans[i].y2));
    }
    stroke(rgba, kHairline);
}

void GCanvas::DrawLine(const unsigned char* rgba, double x1, double y1, double x2, double y2,
                       double width)
{
    if (!rgba || !beginFrame())
        return;
    nvgMoveTo(vg, (float)(clipX + x1), (float)(clipY + y1));
    nvgLineTo(vg, (float)(clipX + x2), (float)(clipY + y2));
    stroke(rgba, width);
}

void GCanvas::FillCircle(const unsigned char* rgba, double cx, double cy, double r)
{
    if (!rgba || !beginFrame())
        return;
    nvgCircle(vg, (float)(clipX + cx), (float)(clipY + cy), (float)r);
    fill(rgba);
}

void GCanvas::DrawPolyline(const GVertex* points, int count, const unsigned char* rgba,
                           double width)
{
    if (!points || count <= 0 || !rgba)
        return;
    if (count == 1) {
        FillCircle(rgba, points[0].x, points[0].y, width * 0.5);
        return;
    }
    if (!beginFrame())
        return;
    nvgMoveTo(vg, (float)(clipX + points[0].x), (float)(clipY + points[0].y));
    for (int i = 1; i < count; ++i)
        nvgLineTo(vg, (float)(clipX + points[i].x), (float)(clipY + points[i].y));
    stroke(rgba, width);
}

void GCanvas::DrawImage(int image, const GRect* src, const GPoint* dst, int density)
{
    if (!vg || !src || !dst || image < 1 || density < 1)
        return;
    int iw = 0, ih = 0;
    nvgImageSize(vg, image, &iw, &ih);
    if (iw <= 0 || ih <= 0)
        return;
    // The pattern spans the image's size in skin pixels, so a density equal to
    // the scale puts each image pixel on one device pixel.
    const float ox = float(double(clipX) + dst->x - src->x);
    const float oy = float(double(clipY) + dst->y - src->y);
    const NVGpaint pattern =
        nvgImagePattern(vg, ox, oy, (float)iw / density, (float)ih / density, 0.0f, image, 1.0f);
    beginFrame();
    snappedRect(dst->x, dst->y, src->w, src->h);
    nvgFillPaint(vg, pattern);
    nvgFill(vg);
    nvgEndFrame(vg);
}

GTextAnchor GCanvas::textAnchor(int x, int y, int w, int h, int align) const
{
    int flags = NVG_ALIGN_CENTER;
    float ax = x + w * 0.5f;
    if (align == kAlignLeft) {
        flags = NVG_ALIGN_LEFT;
        ax = (float)x;
    } else if (align == kAlignRight) {
        flags = NVG_ALIGN_RIGHT;
        ax = (float)(x + w);
    }
    return {flags | NVG_ALIGN_MIDDLE, roundf(ax + clipX),
            roundf(h * kTextDrop + y + clipY + 0.5f)};
}

void GCanvas::DrawText(const char* text, int x, int y, int w, int h, const GFont* font,
                       int align)
{
    if (!text || !font || !beginFrame())
        return;
    const GTextAnchor anchor = textAnchor(x, y, w, h, align);
    nvgFontBlur(vg, 0.0f);
    nvgFontSize(vg, (float)font->size());
    nvgFontFace(vg, font->family());
    nvgTextAlign(vg, anchor.flags);
    nvgFillColor(vg, colourOf(font->colour()));
    nvgText(vg, anchor.x, anchor.y, text, nullptr);
    nvgEndFrame(vg);
}

int ParseTextAlign(const char* word)
{
    if (!word || !word[0])
        return kAlignLeft;
    const char first = word[0] | 0x20;
    return first == 'c' ? kAlignCentre : (first == 'r' ? kAlignRight : kAlignLeft);
}

}  // namespace Zorv
