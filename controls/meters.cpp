#include "controls/meters.h"

#include "controls/canvas.h"
#include "editor/builder.h"
#include "editor/resources.h"
#include "xp/nocase.h"
#include "xp/tokenreader.h"

#include <cmath>

namespace Zorv {

namespace {

const char* const kDirectionWords[] = {"LeftToRight", "RightToLeft", "TopToBottom",
                                       "BottomToTop"};

// Length of a bar covering fraction f of a side, rounded to whole pixels.
int litLength(int side, double f)
{
    return int(side * f + 0.5);
}

int frameCountOf(const GImageResource* image)
{
    return image ? image->frameCount() : 0;
}

}  // namespace

int ParseMeterDirection(const char* word)
{
    int direction = kLeftToRight;
    for (const char* candidate : kDirectionWords) {
        if (XP::equalsNoCase(word, candidate))
            return direction;
        ++direction;
    }
    return kDirectionNone;
}

int clampFrame(double x, int frames)
{
    if (frames < 1 || !(x >= 1.0))
        return 0;
    if (x >= frames - 1)
        return frames - 1;
    return int(x);
}

// GBarFracMeter

GBarFracMeter::GBarFracMeter(const ControlArgs& args, const std::atomic<double>* value,
                             int direction, const unsigned char* rgba)
    : GMeter(args), value(value), direction(direction), rgba(rgba)
{
}

GEditorControl* GBarFracMeter::create(const ControlArgs& args, XP::TokenReader& tokens,
                                      GEditorSkinBuilder& builder)
{
    const std::atomic<double>* value = builder.findRealFeature(tokens.next());
    const int direction = ParseMeterDirection(tokens.next());
    const unsigned char* rgba = builder.findColour(tokens.next());
    if (!value || !rgba)
        return nullptr;
    return new GBarFracMeter(args, value, direction, rgba);
}

double GBarFracMeter::fraction() const
{
    const double v = value ? value->load(std::memory_order_relaxed) : 0.0;
    if (!(v > 0.0))
        return 0.0;  // also NaN
    return v < 1.0 ? v : 1.0;
}

GRect GBarFracMeter::litRect() const
{
    return litRect(fraction());
}

GRect GBarFracMeter::litRect(double f) const
{
    const int bw = litLength(w, f);
    const int bh = litLength(h, f);
    switch (direction) {
    case kLeftToRight: return {0, 0, bw, h};
    case kRightToLeft: return {w - bw, 0, bw, h};
    case kTopToBottom: return {0, 0, w, bh};
    case kBottomToTop: return {0, h - bh, w, bh};
    default: return {0, 0, 0, 0};
    }
}

bool GBarFracMeter::needsRedraw()
{
    return GEditorControl::needsRedraw() || std::fabs(fraction() - lastFraction) >= kTolerance;
}

void GBarFracMeter::draw(GCanvas* canvas)
{
    const double f = fraction();  // one read: what is drawn is what is remembered
    const GRect bar = litRect(f);
    if (bar.w > 0 && bar.h > 0)
        canvas->FillRect(bar.x, bar.y, bar.w, bar.h, rgba);
    lastFraction = f;
}

// GImgFracMeter

GImgFracMeter::GImgFracMeter(const ControlArgs& args, const std::atomic<double>* value,
                             GImageResource* image)
    : GMeter(args), value(value), image(image)
{
}

GEditorControl* GImgFracMeter::create(const ControlArgs& args, XP::TokenReader& tokens,
                                      GEditorSkinBuilder& builder)
{
    const std::atomic<double>* value = builder.findRealFeature(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    if (!value || !image)
        return nullptr;
    return new GImgFracMeter(args, value, image);
}

int GImgFracMeter::frameIndex() const
{
    const int frames = frameCountOf(image);
    const double v = value ? value->load(std::memory_order_relaxed) : 0.0;
    return clampFrame((frames - 1) * v, frames);
}

bool GImgFracMeter::needsRedraw()
{
    return GEditorControl::needsRedraw() || frameIndex() != lastFrame;
}

void GImgFracMeter::draw(GCanvas* canvas)
{
    lastFrame = frameIndex();
    image->drawFrame(canvas, 0, 0, lastFrame);
}

// GImgMeter

GImgMeter::GImgMeter(const ControlArgs& args, GImageResource* image,
                     const std::atomic<int>* value, double scale, double offset)
    : GMeter(args), image(image), value(value), scale(scale), offset(offset)
{
}

GEditorControl* GImgMeter::create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder)
{
    const std::atomic<int>* value = builder.findIntFeature(tokens.next());
    const double scale = tokens.nextDouble();
    if (!(scale > 0.0))
        builder.refuse("scale must be above 0");
    const double offset = tokens.nextDouble();
    GImageResource* image = builder.findImage(tokens.next());
    if (!value || !image || !(scale > 0.0))
        return nullptr;
    return new GImgMeter(args, image, value, scale, offset);
}

int GImgMeter::frameIndex() const
{
    const int v = value ? value->load(std::memory_order_relaxed) : 0;
    return clampFrame(double(v) * scale + offset + 0.5, frameCountOf(image));
}

bool GImgMeter::needsRedraw()
{
    return GEditorControl::needsRedraw() || frameIndex() != lastFrame;
}

void GImgMeter::draw(GCanvas* canvas)
{
    lastFrame = frameIndex();
    image->drawFrame(canvas, 0, 0, lastFrame);
}

}  // namespace Zorv
