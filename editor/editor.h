// GEditor: the plug-in's editor as the host drives it through the dispatcher.
// Owns the skin (every page, control and resource, kept from one opening to
// the next) and the window holder that runs each opening on a UI thread of
// its own. The host thread calls getRect, open, close, idle and the
// destructor, and only there does the editor reach the host: the gestures its
// UI thread queued (GEditQueue) are delivered in idle and, once the UI thread
// has ended, in close; the host facts its texts show are read at open and
// again in idle. Redraw requests from the audio thread never reach it: they
// are the effect's flag, which the UI thread picks up (GRefreshSchedule);
// idle wakes a dozing UI thread that has one waiting, at most once per
// refresh interval, and while the host idles the UI thread leaves that to it.
// Borrows the effect.
// The editor has one scale (device pixels per skin pixel), decided on the
// host's thread before the size is first needed; the host may change it.
#pragma once

#include "shell/audioeffect.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace Zorv {

class GEditorSkin;
class GEditorWindow;
class GEffect;

// Milliseconds of a monotonic clock, wrapping at 32 bits.
uint32_t monotonicMs();

class GEditor : public AEffEditor {
public:
    GEditor(GEffect* effect, GEditorSkin* skin);  // takes ownership of skin
    ~GEditor() override;                           // closes when open, deletes the skin
    GEditor(const GEditor&) = delete;
    GEditor& operator=(const GEditor&) = delete;

    bool getRect(ERect** rect) override;  // the skin's size at the scale, open or not
    bool open(void* parent) override;     // starts the UI thread in the host's window and
                                          // returns once it draws; false, holding nothing,
                                          // when it cannot (no parent, display or GL)
    void close() override;                // returns once the UI thread has ended
    bool isOpen() override;               // between open and close
    void idle() override;                 // queued gestures to the host; wakes a dozing UI
                                          // thread for a waiting request
    bool onKeyDown(int, int, int) override { return false; }
    bool onKeyUp(int, int, int) override { return false; }
    bool onWheel(float) override { return false; }  // the window reads X wheel buttons itself
    bool setKnobMode(int) override { return false; }

    virtual GEffect* getGEffect();    // the owning effect as the framework type
    // The host's scale, rounded as every scale; while open the window follows
    // and the host is asked for the new size. A factor that is no scale
    // (isScaleFactor) is refused and changes nothing.
    bool setScale(double factor) override;
    double getScale();  // decided at first need: the host's, QUELT_SCALE, else Xft.dpi

    GEditorSkin* getSkin() const { return skin; }
    GEditorWindow* getWindow() const { return window.get(); }
    bool hasEnded() const;  // opened, and its UI thread has ended since (the window is gone)

private:
    bool mayWake(uint32_t now);  // a redraw may be posted now

    GEditorSkin* skin;
    std::unique_ptr<GEditorWindow> window;
    ERect rect{};
    double scale = 0;  // 0 until decided; host thread only
    std::atomic<uint32_t> factsReadMs{0};  // when the host facts were last asked
    std::atomic<uint32_t> wokenMs{0};      // when idle last posted a redraw
    std::atomic<bool> wokeOnce{false};
};

}  // namespace Zorv
