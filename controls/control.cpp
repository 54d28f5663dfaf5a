#include "controls/control.h"

#include "editor/skin.h"
#include "effect/effect.h"

#include <cmath>

namespace Zorv {

double clampUnit(double v)
{
    if (!(v >= 0.0))
        return 0.0;
    return v < 1.0 ? v : 1.0;
}

bool movedFromDrawn(double now, double drawn)
{
    return std::fabs(now - drawn) >= kValueTolerance;
}

namespace {

constexpr double kWheelStep = 0.02;       // of the range, per notch
constexpr double kWheelFineStep = 0.002;  // with Shift
constexpr double kDragFineFactor = 0.1;   // with Shift

}  // namespace

GEditorControl::GEditorControl(const ControlArgs& args)
    : x(args.x), y(args.y), w(args.w), h(args.h), page(args.page), effect(args.effect),
      skin(args.skin)
{
    if (args.conditions)
        conditions.assign(*args.conditions);
}

void GEditorControl::invalidate()
{
    painted = false;
    dirty = true;
}

void GEditorControl::erase(GCanvas* canvas)
{
    if (!painted)
        return;
    if (skin)
        skin->eraseUnder(canvas);
    painted = false;
    dirty = true;
}

bool GEditorControl::refresh(GCanvas* canvas)
{
    if (!needsRedraw())
        return false;
    if (painted)
        erase(canvas);
    draw(canvas);
    dirty = false;
    painted = true;
    return true;
}

bool GEditorControl::needsRedraw()
{
    return dirty || !painted;
}

void GEditorControl::draw(GCanvas*) {}

void GEditorControl::requestRedraw()
{
    dirty = true;
    if (skin)
        skin->requestRedraw();
}

int GEditorControl::cursorAt(int, int)
{
    return kCursorDefault;
}

bool GEditorControl::onLeftDown(bool, bool, int, int) { return false; }
bool GEditorControl::onLeftUp(bool, bool, int, int) { return false; }
bool GEditorControl::onRightDown(bool, bool, int, int) { return false; }
bool GEditorControl::onRightUp(bool, bool, int, int) { return false; }
void GEditorControl::onMouseMove(bool, bool, int, int) {}
void GEditorControl::cancelCapture() {}
bool GEditorControl::onWheel(bool, bool, int, int, int) { return false; }

bool GEditorControl::contains(int px, int py) const
{
    using Wide = long long;
    return x <= px && Wide(px) < Wide(x) + w && y <= py && Wide(py) < Wide(y) + h;
}

bool GEditorControl::hasParameter(int index) const
{
    return effect && effect->getBank().hasParameter(index);
}

void GEditorControl::beginEdit(int index)
{
    if (hasParameter(index))
        effect->gestureBegin(index);
}

void GEditorControl::endEdit(int index)
{
    if (hasParameter(index))
        effect->gestureEnd(index);
}

void GEditorControl::writeParameter(int index, double normalised)
{
    if (!hasParameter(index))
        return;
    effect->writeParameter(index, normalised);
    effect->gestureValue(index);
}

bool GEditorControl::pressGesture(int index, bool& held)
{
    if (held)
        return false;
    held = true;
    beginEdit(index);
    reportValue(index);
    requestRedraw();
    return true;
}

bool GEditorControl::releaseGesture(int index, bool& held)
{
    if (!held)
        return false;
    held = false;
    endEdit(index);
    requestRedraw();
    return true;
}

bool GEditorControl::wheelParameter(int index, bool fine, int notches)
{
    if (notches == 0 || !hasParameter(index))
        return false;
    const double v = storedValue(index) + notches * (fine ? kWheelFineStep : kWheelStep);
    beginEdit(index);
    writeParameter(index, clampUnit(v));
    endEdit(index);
    requestRedraw();
    return true;
}

void GEditorControl::reportValue(int index)
{
    if (hasParameter(index))
        effect->gestureValue(index);
}

double GEditorControl::shownValue(int index) const
{
    if (!hasParameter(index))
        return 0.0;
    ProgramBank& bank = effect->getBank();
    return bank.parameter(index)->getQuantised(bank.slot(effect->getProgram(), index));
}

double GEditorControl::storedValue(int index) const
{
    if (!hasParameter(index))
        return 0.0;
    ProgramBank& bank = effect->getBank();
    return bank.parameter(index)->getNormalised(bank.slot(effect->getProgram(), index));
}

double GEditorControl::defaultValue(int index) const
{
    return hasParameter(index) ? effect->getBank().parameter(index)->getDefault() : 0.0;
}

// GDragControl

GDragControl::GDragControl(const ControlArgs& args, int paramIndex)
    : GEditorControl(args), paramIndex(paramIndex)
{
}

bool GDragControl::beginDrag(bool control, int px, int py)
{
    if (!pressGesture(paramIndex, pressed))
        return false;
    dragging = !control;
    lastX = px;
    lastY = py;
    if (control)
        writeParameter(paramIndex, defaultValue(paramIndex));
    return true;
}

void GDragControl::onMouseMove(bool shift, bool, int px, int py)
{
    if (!dragging)
        return;
    double delta = dragDelta(px - lastX, lastY - py);
    if (shift)
        delta *= kDragFineFactor;
    writeParameter(paramIndex, clampUnit(storedValue() + delta));
    lastX = px;
    lastY = py;
    requestRedraw();
}

bool GDragControl::onLeftUp(bool, bool, int, int)
{
    dragging = false;
    return releaseGesture(paramIndex, pressed);
}

void GDragControl::cancelCapture()
{
    onLeftUp(false, false, lastX, lastY);
}

// The stored value moves by the wheel step and is not snapped; the control
// shows it quantised, so on a stepped parameter it stays put until the stored
// value passes half-way to the next step, then jumps a whole step.
bool GDragControl::onWheel(bool shift, bool, int, int, int notches)
{
    return !pressed && wheelParameter(paramIndex, shift, notches);
}

double GDragControl::shownValue() const
{
    return GEditorControl::shownValue(paramIndex);
}

double GDragControl::storedValue() const
{
    return GEditorControl::storedValue(paramIndex);
}

}  // namespace Zorv
