// Pots: rotary knobs bound to one automatable parameter. A pot shows the
// parameter's quantised value as a position on a 270-degree arc (0 at the
// lower left, 1 at the lower right, the gap at the bottom) and changes it with
// a left-button drag: up or right raises it, Shift makes it ten times finer,
// Ctrl-click resets it to the default. Each gesture reaches the host as one
// beginEdit, the current value, one automated value per move, one endEdit.
// A wheel notch nudges the value by 0.02 (Shift: 0.002) as a gesture of its
// own: beginEdit, the new value, endEdit.
// GPot holds the interaction (its drag is the control base's GDragControl);
// the four skin types only draw.
// UI thread only. Colours and images are borrowed from the skin's resources;
// effect and skin are borrowed through the control base.
#pragma once

#include "controls/canvas.h"
#include "controls/control.h"

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;
class GImageResource;

class GPot : public GDragControl {
public:
    GPot(const ControlArgs& args, int paramIndex);

    int cursorAt(int x, int y) override;                                // pointing hand
    bool onLeftDown(bool shift, bool control, int x, int y) override;  // begins a gesture
    bool needsRedraw() override;  // dirty, or the shown value moved since the last draw

protected:
    double dragDelta(int dx, int dy) const override;  // 0.01 a pixel up, a quarter of it right
    // Point at distance d from the centre along the arc direction of value v.
    GVertex arcPoint(double v, double d) const;
    void drawHighlight(GCanvas* canvas, const unsigned char* rgba) const;  // disc while held
    void drawDot(GCanvas* canvas, const unsigned char* rgba, double radius, double v) const;

    double lastShown = 0.0;  // value of the last draw
};

// A dot on a circle, over a highlight disc while held.
class GPotDot : public GPot {
public:
    GPotDot(const ControlArgs& args, int paramIndex, const unsigned char* highlight,
            double radius, const unsigned char* dot);
    // Arguments: parameter, highlight colour, radius > 0, dot colour.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;

private:
    const unsigned char* highlightColour;
    double radius;
    const unsigned char* dotColour;
};

// A dot on a circle over an image: frame 1 while held when there is one.
class GBgPotDot : public GPot {
public:
    GBgPotDot(const ControlArgs& args, int paramIndex, GImageResource* image, double radius,
              const unsigned char* dot);
    // Arguments: parameter, image, radius > 0, dot colour.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;
    int imageFrame() const;  // frame drawn under the dot

private:
    GImageResource* image;
    double radius;
    const unsigned char* dotColour;
};

// A pointer line from the centre, over a highlight disc while held.
class GPotLine : public GPot {
public:
    GPotLine(const ControlArgs& args, int paramIndex, const unsigned char* highlight,
             double length, const unsigned char* line);
    // Arguments: parameter, highlight colour, length, line colour.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;

private:
    const unsigned char* highlightColour;
    double length;
    const unsigned char* lineColour;
};

// One frame of an image strip per value, from frame 0 at 0 to the last at 1.
class GImgPot : public GPot {
public:
    GImgPot(const ControlArgs& args, int paramIndex, GImageResource* image);
    // Arguments: parameter, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;  // dirty, or the frame of the shown value changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex();  // frame of the shown value

private:
    GImageResource* image;
    int lastFrame = -1;
};

}  // namespace Zorv
