#include "editor/editor.h"

#include "editor/scale.h"
#include "editor/skin.h"
#include "editor/window.h"
#include "effect/effect.h"

#include <cstdint>
#include <ctime>

namespace Zorv {

namespace {

// How long open waits for the UI thread's window, GL context and nanovg.
constexpr int kReadyWaitMs = 5000;

// How often idle asks the host for its facts again.
constexpr uint32_t kHostFactsMs = 1000;

int16_t rectEdge(int v)
{
    return int16_t(v > INT16_MAX ? INT16_MAX : (v < 0 ? 0 : v));
}

}  // namespace

uint32_t monotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

GEditor::GEditor(GEffect* effect, GEditorSkin* skin)
    : AEffEditor(effect), skin(skin), window(std::make_unique<GEditorWindow>(skin))
{
}

GEditor::~GEditor()
{
    if (isOpen())
        close();  // an effClose with the editor open: a gesture held still ends with the host
    window.reset();
    delete skin;
}

GEffect* GEditor::getGEffect()
{
    return static_cast<GEffect*>(getEffect());
}

bool GEditor::getRect(ERect** out)
{
    if (!out)
        return false;
    rect.top = 0;
    rect.left = 0;
    const double s = getScale();
    rect.bottom = rectEdge(toDevice(skin->getHeight(), s));
    rect.right = rectEdge(toDevice(skin->getWidth(), s));
    *out = &rect;
    return true;
}

double GEditor::getScale()
{
    if (scale == 0)
        scale = desktopScale();
    return scale;
}

bool GEditor::setScale(double factor)
{
    if (!isScaleFactor(factor))
        return false;
    const double previous = scale;
    scale = roundScale(factor);
    if (scale == previous || !isOpen())
        return true;
    if (window)
        window->setScale(scale);
    getGEffect()->sizeWindow(toDevice(skin->getWidth(), scale), toDevice(skin->getHeight(), scale));
    return true;
}

bool GEditor::open(void* parent)
{
    if (isOpen())
        close();
    GEffect* effect = getGEffect();
    effect->deliverEdits();  // whatever an earlier opening left
    effect->readHostFacts();
    factsReadMs = monotonicMs();
    systemWindow = parent;
    if (window)
        window->setScale(getScale());
    if (!window || !window->startWindow(reinterpret_cast<uintptr_t>(parent)) ||
        !window->waitUntilReady(kReadyWaitMs)) {
        if (window)
            window->stopWindow();
        systemWindow = nullptr;
        return false;
    }
    effect->editorOpened();
    return true;
}

void GEditor::close()
{
    if (window)
        window->stopWindow();
    // The UI thread has ended; a gesture it held has ended too, after its last value.
    getGEffect()->deliverEdits();
    getGEffect()->editorClosed();
    systemWindow = nullptr;
}

bool GEditor::isOpen()
{
    return systemWindow != nullptr;
}

bool GEditor::hasEnded() const
{
    return systemWindow && (!window || window->hasEnded());
}

bool GEditor::mayWake(uint32_t now)
{
    // At most one redraw per throttle interval; a negative one holds them all back.
    const int throttle = skin->getRefreshThrottleMs();
    uint32_t last = wokenMs.load();
    if (throttle < 0 || (wokeOnce.load() && now - last < uint32_t(throttle)))
        return false;
    wokeOnce.store(true);
    return wokenMs.compare_exchange_strong(last, now);
}

void GEditor::idle()
{
    GEffect* effect = getGEffect();
    effect->deliverEdits();
    // A host idling from two threads at once asks on one of them.
    const uint32_t now = monotonicMs();
    uint32_t last = factsReadMs.load();
    if (now - last >= kHostFactsMs && factsReadMs.compare_exchange_strong(last, now))
        effect->readHostFacts();
    if (!window)
        return;
    window->noteHostIdle(now);
    if (window->takeMissedExpose() ||
        (window->isDozing() && effect->isEditorRefreshPending() && mayWake(now)))
        window->postExpose();
}

}  // namespace Zorv
