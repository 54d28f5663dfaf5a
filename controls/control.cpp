#include "controls/control.h"

#include "editor/skin.h"
#include "effect/effect.h"

namespace Zorv {

double clampUnit(double v)
{
    if (!(v >= 0.0))
        return 0.0;
    return v < 1.0 ? v : 1.0;
}

namespace {

constexpr double kWheelStep = 0.02;       // of the range, per notch
constexpr double kWheelFineStep = 0.002;  // with Shift

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
        effect->beginEdit(index);
}

void GEditorControl::endEdit(int index)
{
    if (hasParameter(index))
        effect->endEdit(index);
}

void GEditorControl::writeParameter(int index, double normalised)
{
    if (!hasParameter(index))
        return;
    effect->writeParameter(index, normalised);
    effect->notifyAutomated(index, effect->getParameter(index));
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
    effect->beginEdit(index);
    writeParameter(index, clampUnit(v));
    effect->endEdit(index);
    requestRedraw();
    return true;
}

void GEditorControl::reportValue(int index)
{
    if (hasParameter(index))
        effect->notifyAutomated(index, effect->getParameter(index));
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

}  // namespace Zorv
