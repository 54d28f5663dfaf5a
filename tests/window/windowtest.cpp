#include "tests/window/windowtest.h"

#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace windowtest {

void PaintProbe::draw(Zorv::GCanvas* canvas)
{
    shown = level.load();
    const unsigned char grey = static_cast<unsigned char>(shown * 40 + 20);
    const unsigned char rgb[3] = {grey, grey, grey};
    canvas->FillRectRGB(0, 0, w, h, rgb);
    ++draws;
}

void PaintProbe::erase(Zorv::GCanvas* canvas)
{
    erases += isPainted() ? 1 : 0;
    GEditorControl::erase(canvas);
}

bool PaintProbe::log(const char* what, bool s, bool c, int px, int py)
{
    std::lock_guard<std::mutex> hold(guard);
    events.push_back(std::string(what) + (s ? "s" : "") + (c ? "c" : "") + " " +
                     std::to_string(px) + "," + std::to_string(py));
    return true;
}

std::vector<std::string> PaintProbe::takeEvents()
{
    std::lock_guard<std::mutex> hold(guard);
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
}

void EditorFixture::SetUp()
{
    Zorv::prepareMesa();
    ASSERT_EQ(server.failure(), "");
    setenv("DISPLAY", server.name().c_str(), 1);
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor)) << "no XTest";
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kW, kH, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    makeEffect();
    setPollHook([this] {  // the test's thread is the host's: it idles while it waits
        if (editor)
            editor->idle();
    });
}

void EditorFixture::makeEffect()
{
    skintest::Recorder::calls.source = nullptr;
    skintest::Recorder::calls.clear();
    effect = new Zorv::Quelt(hostCallback);
    skintest::Recorder::calls.source = effect;
    skin = new Zorv::GEditorSkin(effect);
    skin->setSize(kW, kH, 2);
    skin->setRefreshThrottleMs(0);
    background = new Zorv::GImageResource("bg", "Quelt.png", kW, kH, 2);
    skin->addResource(background);
    skin->addBackgroundMap(background, Zorv::GConditionSet());
}

void EditorFixture::TearDown()
{
    setPollHook(nullptr);
    if (!editor)
        delete skin;
    skintest::Recorder::calls.source = nullptr;
    delete effect;
    if (display) {
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
    }
    unsetenv("DISPLAY");
}

PaintProbe* EditorFixture::addProbe(int page, int x, int y, int w, int h,
                                    const Zorv::GConditionSet* set)
{
    Zorv::ControlArgs args{x, y, w, h, page, set, effect, skin};
    auto* probe = new PaintProbe(args);
    skin->addControl(probe);
    return probe;
}

void EditorFixture::buildEditor()
{
    editor = new Zorv::GEditor(effect, skin);
    effect->setEditor(editor);
}

bool EditorFixture::openEditor()
{
    if (!editor)
        buildEditor();
    if (!editor->open(reinterpret_cast<void*>(parent)))
        return false;
    const Pixels frame0 = backgroundFrame(0);
    // The first pass has drawn once the corner, where no probe lies, shows the artwork.
    grabWhen([&](const Pixels& p) { return mismatches(p, frame0, {0, 0, 8, 8}) == 0; });
    return editor->getWindow()->getWindow() != 0;
}

Pixels EditorFixture::grab()
{
    return grabWindow(display, Window(editor->getWindow()->getWindow()));
}

Pixels EditorFixture::grabWhen(const std::function<bool(const Pixels&)>& pred)
{
    Pixels last;
    waitFor([&] {
        last = grab();
        return !last.rgb.empty() && pred(last);
    });
    return last;
}

void EditorFixture::pointerTo(int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
}

void EditorFixture::button(unsigned which, bool press)
{
    XTestFakeButtonEvent(display, which, press, CurrentTime);
    XSync(display, False);
}

void EditorFixture::settle()
{
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

}  // namespace windowtest
