#include "controls/slides.h"

#include "editor/builder.h"
#include "editor/resources.h"
#include "effect/effect.h"
#include "xp/tokenreader.h"

namespace Zorv {

namespace {

constexpr double kFineFactor = 0.1;  // with Shift

}  // namespace

GSlide::GSlide(const ControlArgs& args, int paramIndex, GImageResource* knob,
               const unsigned char* pressColour, const GRect& highlight)
    : GEditorControl(args), paramIndex(paramIndex), knob(knob), pressColour(pressColour),
      highlight(highlight), travel(args.h - knob->frameHeight())
{
}

GEditorControl* GSlide::create(const ControlArgs& args, XP::TokenReader& tokens,
                               GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    GImageResource* knob = builder.findImage(tokens.next());
    const unsigned char* colour = builder.findColour(tokens.next());
    GRect highlight;
    highlight.x = tokens.nextInt();
    highlight.y = tokens.nextInt();
    highlight.w = tokens.nextInt();
    highlight.h = tokens.nextInt();
    if (index < 0 || !knob || !colour)
        return nullptr;
    // A knob as tall as the control or taller has no room to travel.
    if (static_cast<long long>(args.h) - knob->frameHeight() <= 0)
        return builder.refuse("knob as tall as the control or taller");
    return new GSlide(args, index, knob, colour, highlight);
}

double GSlide::storedValue() const
{
    return GEditorControl::storedValue(paramIndex);
}

double GSlide::shownValue() const
{
    return GEditorControl::shownValue(paramIndex);
}

int GSlide::knobTop()
{
    const double v = clampUnit(shownValue());
    return travel - int(v * (travel - 1) + 0.5);
}

bool GSlide::onKnob(int px, int py) const
{
    return px >= 0 && px < knob->frameWidth() && py >= knobY && py < knobY + knob->frameHeight();
}

int GSlide::cursorAt(int px, int py)
{
    return pressed || onKnob(px, py) ? kCursorHand : kCursorDefault;
}

bool GSlide::onLeftDown(bool, bool control, int px, int py)
{
    if (pressed || !onKnob(px, py))
        return pressed;
    pressGesture(paramIndex, pressed);
    dragging = !control;
    lastX = px;
    lastY = py;
    if (control)
        writeParameter(paramIndex, defaultValue(paramIndex));
    return true;
}

void GSlide::onMouseMove(bool shift, bool, int px, int py)
{
    if (!dragging)
        return;
    double delta = (lastY - py) * (1.0 / travel);
    if (shift)
        delta *= kFineFactor;
    writeParameter(paramIndex, clampUnit(storedValue() + delta));
    lastX = px;
    lastY = py;
    requestRedraw();
}

bool GSlide::onLeftUp(bool, bool, int, int)
{
    dragging = false;
    return releaseGesture(paramIndex, pressed);
}

void GSlide::cancelCapture()
{
    onLeftUp(false, false, lastX, lastY);
}

bool GSlide::onWheel(bool shift, bool, int, int, int notches)
{
    return !pressed && wheelParameter(paramIndex, shift, notches);
}

void GSlide::draw(GCanvas* canvas)
{
    const int top = knobTop();
    knob->drawFrame(canvas, 0, top, 0);
    if (pressed)
        canvas->FillRect(highlight.x, saturatedSum(top, highlight.y), highlight.w, highlight.h,
                         pressColour);
    knobY = top;
}

bool GSlide::needsRedraw()
{
    return GEditorControl::needsRedraw() || knobTop() != knobY;
}

}  // namespace Zorv
