// GEditorSkin: the editor at run time. Owns everything a skin declares
// (resources, checks, conditions, backgrounds, controls) and knows the
// editor's size, its pages and the page shown. Decides what is active by page
// and condition, routes mouse events to one control with a capture, and runs
// the incremental draw pass. Everything runs on the editor's UI thread except
// requestRedraw, which any thread may call. Borrows the effect and the
// redraw target (the window holder).
#pragma once

#include "controls/canvas.h"
#include "controls/control.h"
#include "editor/checks.h"
#include "effect/ptrlist.h"

#include <atomic>

namespace Zorv {

class GCanvas;
class GEditorResource;
class GImageResource;

// Where requestRedraw posts a repaint; any thread may call it.
class GRedrawTarget {
public:
    virtual ~GRedrawTarget() = default;
    virtual void postExpose() = 0;  // asks the UI thread for one draw pass
};

// One background entry: a frame of an image on a page (0: every page).
struct GEditorBg {
    GEditorBg(int page, GImageResource* image, int frame, const GConditionSet& set);

    int page;
    GImageResource* image;  // never null, owned by the skin's resources
    int frame;              // counted from 0
    GConditionSet conditions;
};

// The skin rectangles one draw pass repainted, or the whole surface.
struct GDamage {
    static constexpr int kMaxRects = 16;  // more are merged into their bounding box

    void clear() { whole = false; count = 0; }
    void add(const GRect& rect);  // empty rectangles are left out

    bool whole = false;
    int count = 0;
    GRect rects[kMaxRects] = {};
};

class GEditorSkin {
public:
    static constexpr int kDefaultRefreshMs = 40;

    explicit GEditorSkin(GEffect* effect);
    virtual ~GEditorSkin();  // deletes backgrounds, controls, conditions, checks, resources
    GEditorSkin(const GEditorSkin&) = delete;
    GEditorSkin& operator=(const GEditorSkin&) = delete;

    virtual void requestRedraw();               // posts a repaint unless suppressed
    virtual void invalidateAll();               // next draw pass repaints everything
    virtual void setRedrawSuppressed(bool on);  // false also posts a repaint at once
    virtual void setPage(int newPage);          // shows a page, no range check
    virtual int getPage() const;                // the page shown

    // Building.
    void setSize(int width, int height, int pageCount);  // editor size and page count
    void setStartPage(int page) { startPage = page; }
    void setRefreshThrottleMs(int ms) { refreshThrottleMs = ms; }
    void addBackground(int page, GImageResource* image, int frame, const GConditionSet& set);
    void addBackgroundMap(GImageResource* image, const GConditionSet& set);  // one per page
    GCondition* findCondition(const char* name, bool negate);  // interned; null: no check
    void addCheck(GEditorCheck* check) { checks.add(check); }              // takes ownership
    void addResource(GEditorResource* resource) { resources.add(resource); } // takes ownership
    void addControl(GEditorControl* control) { controls.add(control); }    // takes ownership

    // The window and its UI thread.
    void setWindow(GRedrawTarget* target);  // the window holder, or null
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getPages() const { return pages; }
    int getStartPage() const { return startPage; }
    int getRefreshThrottleMs() const { return refreshThrottleMs; }
    void attachCanvas(GCanvas* canvas);  // loads resources, every control invalidated
    void detachCanvas(GCanvas* canvas);  // unloads resources
    void drawPass(GCanvas* canvas, GDamage* damage = nullptr);  // repaints what changed
    bool onLeftDown(bool shift, bool ctrl, int x, int y);
    bool onLeftUp(bool shift, bool ctrl, int x, int y);
    bool onRightDown(bool shift, bool ctrl, int x, int y);
    bool onRightUp(bool shift, bool ctrl, int x, int y);
    bool onMouseMove(bool shift, bool ctrl, int x, int y);  // true when a control got it
    // Wheel notches (positive: up) to the active control under the point; ignored
    // while a control holds the capture. The capture is left alone.
    bool onWheel(bool shift, bool ctrl, int x, int y, int notches);
    int cursorAt(int x, int y);  // kCursorNone where no active control is concerned
    void cancelCapture();        // the session ends: the captured control cancels its gesture

    // For controls.
    void eraseUnder(GCanvas* canvas);  // background under the canvas's clip window

    // Inspection.
    bool isActive(int elementPage, const GConditionSet& set) const;  // page, then conditions
    bool isActive(const GEditorControl* control) const;
    int hitTest(int x, int y) const;  // index of the first active control there; -1 if none
    int getCaptureIndex() const { return captureIndex.load(std::memory_order_relaxed); }
    const GEditorBg* getCurrentBackground() const { return currentBackground; }
    GEffect* getEffect() const { return effect; }
    const PtrMgr<GEditorResource>& getResources() const { return resources; }
    const PtrMgr<GEditorCheck>& getChecks() const { return checks; }
    const PtrMgr<GCondition>& getConditionList() const { return conditions; }
    const PtrMgr<GEditorControl>& getControls() const { return controls; }
    const PtrMgr<GEditorBg>& getBackgrounds() const { return backgrounds; }

private:
    using ButtonHandler = bool (GEditorControl::*)(bool, bool, int, int);

    int target(int x, int y) const;  // captured control, else the hit control
    GEditorControl* activeTarget(int x, int y) const;  // the target when active, else null
    // A press that the handler accepts captures; an accepted release ends any capture.
    bool routeButton(ButtonHandler handler, bool press, bool shift, bool ctrl, int x, int y);
    void releaseHidden(GEditorControl* control);  // a release the captured control cannot see
    const GEditorBg* activeBackground() const;
    void repaintAll(GCanvas* canvas, const GEditorBg* bg);
    void invalidateControls();

    std::atomic<GRedrawTarget*> window{nullptr};
    PtrMgr<GEditorResource> resources;
    PtrMgr<GEditorCheck> checks;
    PtrMgr<GCondition> conditions;
    PtrMgr<GEditorControl> controls;
    PtrMgr<GEditorBg> backgrounds;
    GEffect* effect;
    int width = 0, height = 0;
    int pages = 0;
    int startPage = 1;
    const GEditorBg* currentBackground = nullptr;
    int refreshThrottleMs = kDefaultRefreshMs;
    std::atomic<int> captureIndex{-1};  // read by tests from any thread
    std::atomic<bool> redrawSuppressed{false};
    std::atomic<int> currentPage{1};  // set by any thread, read by the UI thread
    std::atomic<bool> fullRedraw{false};
};

}  // namespace Zorv
