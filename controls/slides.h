// Slides: a vertical fader bound to one automatable parameter. Frame 0 of a
// knob image travels up and down the control (the track is the background's);
// only the knob can be grabbed. A drag moves the value by the pointer's travel
// (the knob follows the pointer), Shift makes it ten times finer, Ctrl-click
// resets the default. While held, a rectangle of the press colour covers part
// of the knob. Each gesture reaches the host as beginEdit, the current value,
// one automated value per write, endEdit; a lost capture still ends it. A
// wheel notch anywhere on the slide nudges the value by 0.02 (Shift: 0.002)
// as a gesture of its own: beginEdit, the new value, endEdit. The drag is
// the control base's GDragControl; the slide adds the knob and its travel.
// UI thread only. Borrows the knob image and the colour from the skin's
// resources, effect and skin through the control base.
#pragma once

#include "controls/canvas.h"
#include "controls/control.h"

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;
class GImageResource;

class GSlide : public GDragControl {
public:
    // travel = h - the knob's frame height; the factory refuses travel <= 0.
    GSlide(const ControlArgs& args, int paramIndex, GImageResource* knob,
           const unsigned char* pressColour, const GRect& highlight);
    // Arguments: parameter, knob image, press colour, hlX, hlY, hlW, hlH.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;  // dirty, or the knob top moved
    void draw(GCanvas* canvas) override;
    int cursorAt(int x, int y) override;                                // hand on the knob
    bool onLeftDown(bool shift, bool control, int x, int y) override;  // knob only
    virtual int knobTop();  // knob top for the shown value: travel at 0, 1 at 1

    int getTravel() const { return travel; }
    int getKnobY() const { return knobY; }  // top as last drawn; -1 before

protected:
    double dragDelta(int dx, int dy) const override;  // the travel up: the whole range

private:
    bool onKnob(int px, int py) const;  // the point lies on the knob as last drawn

    GImageResource* knob;
    const unsigned char* pressColour;
    GRect highlight;  // relative to the knob's corner
    int travel;
    int knobY = -1;
};

}  // namespace Zorv
