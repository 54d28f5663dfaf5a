// Fixture for tests of the editor window: a private Xvfb (DISPLAY points at
// it), a top-level parent window at the screen's corner standing in for the
// host's, a real Quelt with an editor over a skin built in code from the
// embedded "Quelt.png", probe controls that paint a colour and log what
// reaches them (the UI thread writes, the test reads: guarded), pixel
// read-back with XGetImage and real pointer input through XTest.
#pragma once

#include <gtest/gtest.h>  // before X11, whose None macro it would meet

#include "controls/canvas.h"
#include "controls/control.h"
#include "editor/editor.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "editor/window.h"
#include "tests/editor/glsession.h"
#include "tests/skin/skintest.h"
#include "tests/window/pixels.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace windowtest {

// A check the test switches from its own thread.
struct SwitchCheck : Zorv::GEditorCheck {
    explicit SwitchCheck(const char* name) : GEditorCheck(name) {}
    bool evaluate() const override { return on.load(); }
    std::atomic<bool> on{true};
};

// Fills its rectangle with a grey of its level; logs the mouse calls it gets.
struct PaintProbe : Zorv::GEditorControl {
    using GEditorControl::GEditorControl;

    bool needsRedraw() override { return GEditorControl::needsRedraw() || shown != level.load(); }
    void draw(Zorv::GCanvas* canvas) override;
    void erase(Zorv::GCanvas* canvas) override;
    int cursorAt(int, int) override { return cursor.load(); }
    bool onLeftDown(bool s, bool c, int px, int py) override { return log("LD", s, c, px, py); }
    bool onLeftUp(bool s, bool c, int px, int py) override { return log("LU", s, c, px, py); }
    bool onRightDown(bool s, bool c, int px, int py) override { return log("RD", s, c, px, py); }
    bool onRightUp(bool s, bool c, int px, int py) override { return log("RU", s, c, px, py); }
    void onMouseMove(bool s, bool c, int px, int py) override { log("MV", s, c, px, py); }

    bool log(const char* what, bool s, bool c, int px, int py);
    std::vector<std::string> takeEvents();  // the log so far, emptied

    std::atomic<int> level{0};
    std::atomic<int> draws{0};
    std::atomic<int> erases{0};
    std::atomic<int> cursor{Zorv::kCursorHand};
    int shown = -1;

private:
    std::mutex guard;
    std::vector<std::string> events;
};

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void makeEffect();  // a new effect and a skin over the background, no editor yet
    PaintProbe* addProbe(int page, int x, int y, int w, int h,
                         const Zorv::GConditionSet* set = nullptr);
    void buildEditor();           // the editor over the skin built so far
    bool openEditor();            // open into the parent and wait for the first draw
    Pixels grab();                // the editor window's pixels
    // Polls until the window matches pred or two seconds pass; the last grab.
    Pixels grabWhen(const std::function<bool(const Pixels&)>& pred);
    void pointerTo(int x, int y);  // XTest motion, window coordinates
    void button(unsigned button, bool press);  // XTest press or release
    void settle();                 // lets the UI thread take the events queued so far

    audioMasterCallback hostCallback = skintest::Recorder::callback;  // the effect's host
    Zorv::XvfbServer server;
    Display* display = nullptr;
    unsigned long parent = 0;
    Zorv::Quelt* effect = nullptr;
    Zorv::GEditorSkin* skin = nullptr;  // owned by editor once built
    Zorv::GEditor* editor = nullptr;    // owned by the effect
    Zorv::GImageResource* background = nullptr;
};

}  // namespace windowtest
