#include "editor/skin.h"

#include "controls/canvas.h"
#include "editor/resources.h"

#include <algorithm>

namespace Zorv {

namespace {

const unsigned char kBlack[3] = {0, 0, 0};

}  // namespace

void GDamage::add(const GRect& rect)
{
    if (rect.w <= 0 || rect.h <= 0)
        return;
    if (count == kMaxRects) {
        int x0 = rects[0].x, y0 = rects[0].y, x1 = x0 + rects[0].w, y1 = y0 + rects[0].h;
        for (int i = 1; i < count; ++i) {
            x0 = std::min(x0, rects[i].x);
            y0 = std::min(y0, rects[i].y);
            x1 = std::max(x1, rects[i].x + rects[i].w);
            y1 = std::max(y1, rects[i].y + rects[i].h);
        }
        rects[0] = {x0, y0, x1 - x0, y1 - y0};
        count = 1;
    }
    rects[count++] = rect;
}

GEditorBg::GEditorBg(int page, GImageResource* image, int frame, const GConditionSet& set)
    : page(page), image(image), frame(frame)
{
    conditions.assign(set);
}

GEditorSkin::GEditorSkin(GEffect* effect) : effect(effect) {}

GEditorSkin::~GEditorSkin()
{
    backgrounds.clear();
    controls.clear();
    conditions.clear();
    checks.clear();
    resources.clear();
}

void GEditorSkin::requestRedraw()
{
    GRedrawTarget* target = window.load(std::memory_order_acquire);
    if (target && !redrawSuppressed.load(std::memory_order_relaxed))
        target->postExpose();
}

void GEditorSkin::invalidateAll()
{
    fullRedraw.store(true, std::memory_order_relaxed);
    requestRedraw();
}

void GEditorSkin::setRedrawSuppressed(bool on)
{
    redrawSuppressed.store(on, std::memory_order_relaxed);
    if (on)
        return;
    if (GRedrawTarget* target = window.load(std::memory_order_acquire))
        target->postExpose();
}

void GEditorSkin::setPage(int newPage)
{
    currentPage.store(newPage, std::memory_order_relaxed);
    requestRedraw();
}

int GEditorSkin::getPage() const
{
    return currentPage.load(std::memory_order_relaxed);
}

void GEditorSkin::setSize(int newWidth, int newHeight, int pageCount)
{
    width = newWidth;
    height = newHeight;
    pages = pageCount;
}

void GEditorSkin::addBackground(int page, GImageResource* image, int frame,
                                const GConditionSet& set)
{
    if (image)
        backgrounds.add(new GEditorBg(page, image, frame, set));
}

void GEditorSkin::addBackgroundMap(GImageResource* image, const GConditionSet& set)
{
    if (!image)
        return;
    const bool framePerPage = image->frameCount() == pages;
    for (int p = 1; p <= pages; ++p)
        addBackground(p, image, framePerPage ? p - 1 : 0, set);
}

GCondition* GEditorSkin::findCondition(const char* name, bool negate)
{
    if (!name)
        return nullptr;
    GEditorCheck* check = checks.find(name);
    if (!check)
        return nullptr;
    for (int i = 0; i < conditions.getCount(); ++i) {
        GCondition* condition = conditions.get(i);
        if (condition->getCheck() == check && condition->isNegated() == negate)
            return condition;
    }
    GCondition* created = new GCondition(check, negate);
    conditions.add(created);
    return created;
}

void GEditorSkin::setWindow(GRedrawTarget* target)
{
    window.store(target, std::memory_order_release);
}

void GEditorSkin::attachCanvas(GCanvas* canvas)
{
    currentBackground = nullptr;
    invalidateControls();
    for (int i = 0; i < resources.getCount(); ++i)
        resources.get(i)->load(canvas);
}

void GEditorSkin::detachCanvas(GCanvas* canvas)
{
    for (int i = 0; i < resources.getCount(); ++i)
        resources.get(i)->unload(canvas);
}

void GEditorSkin::drawPass(GCanvas* canvas, GDamage* damage)
{
    GDamage ignored;
    GDamage& changed = damage ? *damage : ignored;
    changed.clear();
    canvas->ResetClip();
    const GEditorBg* bg = activeBackground();
    if (bg != currentBackground || fullRedraw.exchange(false, std::memory_order_relaxed)) {
        repaintAll(canvas, bg);
        changed.whole = true;
    }
    for (int i = 0; i < controls.getCount(); ++i) {
        GEditorControl* control = controls.get(i);
        canvas->SetClip(control->getX(), control->getY(), control->getW(), control->getH());
        bool painted = false;
        if (isActive(control)) {
            painted = control->refresh(canvas);
        } else {
            painted = control->isPainted();
            control->erase(canvas);
        }
        if (painted)
            changed.add(canvas->clip());
        canvas->ResetClip();
    }
}

void GEditorSkin::repaintAll(GCanvas* canvas, const GEditorBg* bg)
{
    currentBackground = bg;
    canvas->FillRectRGB(0, 0, width, height, kBlack);
    if (bg)
        bg->image->drawFrame(canvas, 0, 0, bg->frame);
    invalidateControls();
    fullRedraw.store(false, std::memory_order_relaxed);
}

void GEditorSkin::invalidateControls()
{
    for (int i = 0; i < controls.getCount(); ++i)
        controls.get(i)->invalidate();
}

void GEditorSkin::eraseUnder(GCanvas* canvas)
{
    const GRect clip = canvas->clip();
    canvas->FillRectRGB(0, 0, clip.w, clip.h, kBlack);
    if (currentBackground)
        currentBackground->image->drawFramePart(canvas, currentBackground->frame, clip, {0, 0});
}

bool GEditorSkin::isActive(int elementPage, const GConditionSet& set) const
{
    if (elementPage != 0 && elementPage != getPage())
        return false;
    return set.isMet();
}

bool GEditorSkin::isActive(const GEditorControl* control) const
{
    return isActive(control->getPage(), control->getConditions());
}

const GEditorBg* GEditorSkin::activeBackground() const
{
    for (int i = 0; i < backgrounds.getCount(); ++i) {
        const GEditorBg* bg = backgrounds.get(i);
        if (isActive(bg->page, bg->conditions))
            return bg;
    }
    return nullptr;
}

int GEditorSkin::hitTest(int x, int y) const
{
    for (int i = 0; i < controls.getCount(); ++i) {
        const GEditorControl* control = controls.get(i);
        if (control->contains(x, y) && isActive(control))
            return i;
    }
    return -1;
}

int GEditorSkin::target(int x, int y) const
{
    if (captureIndex >= 0 && captureIndex < controls.getCount())
        return captureIndex;
    return hitTest(x, y);
}

bool GEditorSkin::routeButton(ButtonHandler handler, bool press, bool shift, bool ctrl, int x,
                              int y)
{
    const int index = target(x, y);
    if (index < 0)
        return false;
    GEditorControl* control = controls.get(index);
    if (!isActive(control)) {
        if (!press && index == captureIndex)
            releaseHidden(control);
        return false;
    }
    if (!(control->*handler)(shift, ctrl, x - control->getX(), y - control->getY()))
        return false;
    captureIndex = press ? index : -1;
    return true;
}

void GEditorSkin::releaseHidden(GEditorControl* control)
{
    captureIndex = -1;
    control->cancelCapture();
}

void GEditorSkin::cancelCapture()
{
    const int index = captureIndex.exchange(-1);
    if (index >= 0 && index < controls.getCount())
        controls.get(index)->cancelCapture();
}

bool GEditorSkin::onLeftDown(bool shift, bool ctrl, int x, int y)
{
    return routeButton(&GEditorControl::onLeftDown, true, shift, ctrl, x, y);
}

bool GEditorSkin::onLeftUp(bool shift, bool ctrl, int x, int y)
{
    return routeButton(&GEditorControl::onLeftUp, false, shift, ctrl, x, y);
}

bool GEditorSkin::onRightDown(bool shift, bool ctrl, int x, int y)
{
    return routeButton(&GEditorControl::onRightDown, true, shift, ctrl, x, y);
}

bool GEditorSkin::onRightUp(bool shift, bool ctrl, int x, int y)
{
    return routeButton(&GEditorControl::onRightUp, false, shift, ctrl, x, y);
}

bool GEditorSkin::onMouseMove(bool shift, bool ctrl, int x, int y)
{
    GEditorControl* control = activeTarget(x, y);
    if (!control)
        return false;
    control->onMouseMove(shift, ctrl, x - control->getX(), y - control->getY());
    return true;
}

bool GEditorSkin::onWheel(bool shift, bool ctrl, int x, int y, int notches)
{
    // A drag in progress owns the pointer; a nudge elsewhere would interleave gestures.
    if (captureIndex >= 0)
        return false;
    const int index = hitTest(x, y);
    if (index < 0)
        return false;
    GEditorControl* control = controls.get(index);
    return control->onWheel(shift, ctrl, x - control->getX(), y - control->getY(), notches);
}

int GEditorSkin::cursorAt(int x, int y)
{
    GEditorControl* control = activeTarget(x, y);
    if (!control)
        return kCursorNone;
    return control->cursorAt(x - control->getX(), y - control->getY());
}

GEditorControl* GEditorSkin::activeTarget(int x, int y) const
{
    const int index = target(x, y);
    if (index < 0 || !isActive(controls.get(index)))
        return nullptr;
    return controls.get(index);
}

}  // namespace Zorv
