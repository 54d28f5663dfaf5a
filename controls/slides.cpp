#include "controls/slides.h"

#include "editor/builder.h"
#include "editor/resources.h"
#include "effect/effect.h"
#include "xp/tokenreader.h"

namespace Zorv {

GSlide::GSlide(const ControlArgs& args, int paramIndex, GImageResource* knob,
               const unsigned char* pressColour, const GRect& highlight)
    : GDragControl(args, paramIndex), knob(knob), pressColour(pressColour),
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
    return beginDrag(control, px, py);
}

double GSlide::dragDelta(int, int dy) const
{
    return dy * (1.0 / travel);
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
