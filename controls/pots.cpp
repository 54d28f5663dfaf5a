#include "controls/pots.h"

#include <cmath>

#include "editor/builder.h"
#include "editor/resources.h"
#include "effect/effect.h"
#include "xp/tokenreader.h"

namespace Zorv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kArcSpan = 1.5 * kPi;   // 270 degrees of values
constexpr double kArcStart = 0.25 * kPi; // value 0, measured from straight down
constexpr double kDragStep = 0.01;       // per pixel of vertical travel
constexpr double kHorizontalWeight = 0.25;
constexpr double kDotRadius = 2.0;
constexpr double kLineWidth = 1.5;

bool isRadius(double r)
{
    return r > 0.0 && std::isfinite(r);
}

}  // namespace

GPot::GPot(const ControlArgs& args, int paramIndex) : GDragControl(args, paramIndex) {}

int GPot::cursorAt(int, int)
{
    return kCursorHand;
}

bool GPot::onLeftDown(bool, bool control, int px, int py)
{
    beginDrag(control, px, py);  // one gesture per capture
    return true;
}

double GPot::dragDelta(int dx, int dy) const
{
    return kDragStep * (dx * kHorizontalWeight + dy);
}

GVertex GPot::arcPoint(double v, double d) const
{
    const double theta = v * kArcSpan + kArcStart;
    return {w * 0.5 - d * std::sin(theta), h * 0.5 + d * std::cos(theta)};
}

bool GPot::needsRedraw()
{
    return GEditorControl::needsRedraw() || movedFromDrawn(shownValue(), lastShown);
}

void GPot::drawHighlight(GCanvas* canvas, const unsigned char* rgba) const
{
    if (pressed)
        canvas->FillCircle(rgba, w * 0.5, h * 0.5, (w - 1) * 0.5);
}

void GPot::drawDot(GCanvas* canvas, const unsigned char* rgba, double radius, double v) const
{
    const GVertex dot = arcPoint(v, radius);
    canvas->FillCircle(rgba, dot.x, dot.y, kDotRadius);
}

// GPotDot

GPotDot::GPotDot(const ControlArgs& args, int paramIndex, const unsigned char* highlight,
                 double radius, const unsigned char* dot)
    : GPot(args, paramIndex), highlightColour(highlight), radius(radius), dotColour(dot)
{
}

GEditorControl* GPotDot::create(const ControlArgs& args, XP::TokenReader& tokens,
                                GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    const unsigned char* highlight = builder.findColour(tokens.next());
    const double radius = tokens.nextDouble();
    if (!isRadius(radius))
        builder.refuse("radius must be above 0");
    const unsigned char* dot = builder.findColour(tokens.next());
    if (index < 0 || !highlight || !isRadius(radius) || !dot)
        return nullptr;
    return new GPotDot(args, index, highlight, radius, dot);
}

void GPotDot::draw(GCanvas* canvas)
{
    drawHighlight(canvas, highlightColour);
    const double v = shownValue();
    drawDot(canvas, dotColour, radius, v);
    lastShown = v;
}

// GBgPotDot

GBgPotDot::GBgPotDot(const ControlArgs& args, int paramIndex, GImageResource* image,
                     double radius, const unsigned char* dot)
    : GPot(args, paramIndex), image(image), radius(radius), dotColour(dot)
{
}

GEditorControl* GBgPotDot::create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    const double radius = tokens.nextDouble();
    if (!isRadius(radius))
        builder.refuse("radius must be above 0");
    const unsigned char* dot = builder.findColour(tokens.next());
    if (index < 0 || !image || !isRadius(radius) || !dot)
        return nullptr;
    return new GBgPotDot(args, index, image, radius, dot);
}

int GBgPotDot::imageFrame() const
{
    return pressed && image->frameCount() > 1 ? 1 : 0;
}

void GBgPotDot::draw(GCanvas* canvas)
{
    image->drawFrame(canvas, 0, 0, imageFrame());
    const double v = shownValue();
    drawDot(canvas, dotColour, radius, v);
    lastShown = v;
}

// GPotLine

GPotLine::GPotLine(const ControlArgs& args, int paramIndex, const unsigned char* highlight,
                   double length, const unsigned char* line)
    : GPot(args, paramIndex), highlightColour(highlight), length(length), lineColour(line)
{
}

GEditorControl* GPotLine::create(const ControlArgs& args, XP::TokenReader& tokens,
                                 GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    const unsigned char* highlight = builder.findColour(tokens.next());
    const double length = tokens.nextDouble();
    const unsigned char* line = builder.findColour(tokens.next());
    if (index < 0 || !highlight || !std::isfinite(length) || !line)
        return nullptr;
    return new GPotLine(args, index, highlight, length, line);
}

void GPotLine::draw(GCanvas* canvas)
{
    drawHighlight(canvas, highlightColour);
    const double v = shownValue();
    const GVertex end = arcPoint(v, length);
    canvas->DrawLine(lineColour, w * 0.5, h * 0.5, end.x, end.y, kLineWidth);
    lastShown = v;
}

// GImgPot

GImgPot::GImgPot(const ControlArgs& args, int paramIndex, GImageResource* image)
    : GPot(args, paramIndex), image(image)
{
}

GEditorControl* GImgPot::create(const ControlArgs& args, XP::TokenReader& tokens,
                                GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    if (index < 0 || !image)
        return nullptr;
    return new GImgPot(args, index, image);
}

int GImgPot::frameIndex()
{
    return int(shownValue() * (image->frameCount() - 1) + 0.5);
}

bool GImgPot::needsRedraw()
{
    return GEditorControl::needsRedraw() || frameIndex() != lastFrame;
}

void GImgPot::draw(GCanvas* canvas)
{
    const int frame = frameIndex();
    image->drawFrame(canvas, 0, 0, frame);
    lastFrame = frame;
}

}  // namespace Zorv
