// GEditorControl: the base of every element a skin places on the editor. It
// knows its rectangle, page, visibility conditions, effect and skin; keeps
// the dirty/painted pair that drives incremental repainting; and receives
// the mouse in its own coordinates with the Shift and Ctrl flags. Families
// override the hooks. Every operation runs on the editor's UI thread; drawing
// calls come with the canvas clip set to the control's rectangle.
// Owns its copy of the condition list; borrows conditions, effect and skin.
#pragma once

#include "editor/checks.h"
#include "effect/named.h"

namespace Zorv {

class GCanvas;
class GEditorSkin;
class GEffect;

// Cursor codes a control answers from cursorAt.
enum GCursorKind : int { kCursorDefault = 0, kCursorNone = 1, kCursorHand = 2, kCursorText = 3 };

// What the skin builder hands every control constructor.
struct ControlArgs {
    int x = 0, y = 0, w = 0, h = 0;
    int page = 0;                              // 0: every page
    const GConditionSet* conditions = nullptr; // the builder's current set; null: none
    GEffect* effect = nullptr;
    GEditorSkin* skin = nullptr;
};

// v clamped to 0..1; a NaN becomes 0, so a gesture can recover from it.
double clampUnit(double v);

// The redraw rule for a shown double unless a family names another: it has
// moved from the one drawn by kValueTolerance or more (NaN: not moved).
constexpr double kValueTolerance = 1e-5;
bool movedFromDrawn(double now, double drawn);

class GEditorControl : public GIdBase {
public:
    explicit GEditorControl(const ControlArgs& args);

    virtual void invalidate();              // must be drawn at the next refresh, pixels unknown
    virtual void erase(GCanvas* canvas);    // repaints the background under it once, if painted
    virtual bool refresh(GCanvas* canvas);  // erase and draw when needed; true when drawn
    virtual bool needsRedraw();             // dirty, or not painted
    virtual void draw(GCanvas* canvas);     // the foreground; nothing by default
    virtual void requestRedraw();           // dirty, then the skin posts a repaint
    virtual int cursorAt(int x, int y);     // cursor code at a point; default cursor
    virtual bool onLeftDown(bool shift, bool control, int x, int y);   // true: capture
    virtual bool onLeftUp(bool shift, bool control, int x, int y);     // true: end capture
    virtual bool onRightDown(bool shift, bool control, int x, int y);  // true: capture
    virtual bool onRightUp(bool shift, bool control, int x, int y);    // true: end capture
    virtual void onMouseMove(bool shift, bool control, int x, int y);  // nothing by default
    virtual void cancelCapture();                                      // nothing by default
    // Wheel notches over the control (positive: up); true when taken. Not taken by default.
    virtual bool onWheel(bool shift, bool control, int x, int y, int notches);

    int getX() const { return x; }
    int getY() const { return y; }
    int getW() const { return w; }
    int getH() const { return h; }
    int getPage() const { return page; }
    const GConditionSet& getConditions() const { return conditions; }
    bool contains(int px, int py) const;  // the point lies in the rectangle
    bool isDirty() const { return dirty; }
    bool isPainted() const { return painted; }

protected:
    // The change protocol of a gesture on parameter index, through the effect:
    // values are written at once, what the host hears waits in the effect's
    // edit queue; an index the effect lacks reaches neither.
    bool hasParameter(int index) const;
    void beginEdit(int index);                  // queues the begin
    void endEdit(int index);                    // queues the end
    void writeParameter(int index, double normalised);  // full write, then queues the value
    void reportValue(int index);                // queues the current value unchanged
    // A press holding a gesture on index while `held` is set, one per capture.
    // pressGesture sets it, sends beginEdit and the current value, and asks for
    // a redraw; false, doing nothing, when it was set already. releaseGesture
    // clears it, sends endEdit and asks for a redraw; false when it was not set.
    bool pressGesture(int index, bool& held);
    bool releaseGesture(int index, bool& held);
    // Values of parameter index in the current program, read under the bank
    // lock; 0 when the effect lacks it.
    double shownValue(int index) const;    // quantised
    double storedValue(int index) const;   // normalised, as stored
    double defaultValue(int index) const;  // the parameter's default
    // One wheel gesture: the stored value moved by notches steps of 0.02 (0.002
    // when fine), clamped to 0..1, written between beginEdit and endEdit, then a
    // redraw request. False, with nothing sent, for 0 notches or a missing index.
    bool wheelParameter(int index, bool fine, int notches);

    int x, y, w, h;
    int page;
    GConditionSet conditions;
    GEffect* effect;
    GEditorSkin* skin;
    bool dirty = true;
    bool painted = false;
};

// What GPot and GSlide share: a left-button drag on one parameter. A press
// (beginDrag) is one gesture: beginEdit and the current value, then with Ctrl
// the default and no drag; each move while dragging adds dragDelta of the
// pointer's travel (a tenth of it with Shift) to the stored value, clamped to
// 0..1; the release or a lost capture ends the gesture with endEdit. A wheel
// notch while not pressed is a gesture of its own (wheelParameter).
class GDragControl : public GEditorControl {
public:
    bool onLeftUp(bool shift, bool control, int x, int y) override;    // ends the gesture
    void onMouseMove(bool shift, bool control, int x, int y) override; // drag step
    void cancelCapture() override;                                      // ends the gesture
    bool onWheel(bool shift, bool control, int x, int y, int notches) override;  // a nudge

    int parameterIndex() const { return paramIndex; }
    bool isPressed() const { return pressed; }
    bool isDragging() const { return dragging; }
    double shownValue() const;   // quantised value of the current program
    double storedValue() const;  // normalised value of the current program

protected:
    GDragControl(const ControlArgs& args, int paramIndex);

    // Begins the press's gesture at (px, py); false, doing nothing, while pressed.
    bool beginDrag(bool control, int px, int py);
    // Value change for a move of dx pixels right and dy up, before Shift's factor.
    virtual double dragDelta(int dx, int dy) const = 0;

    int paramIndex;
    int lastX = 0, lastY = 0;
    bool pressed = false;
    bool dragging = false;
};

}  // namespace Zorv
