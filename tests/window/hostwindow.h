// Fixture for tests that open an editor into a window of theirs, as a host
// does, on a private Xvfb: SetUp keeps Mesa loaded, starts the server, points
// DISPLAY at it, opens a display and maps a kW x kH parent window standing in
// for the host's; TearDown destroys the parent, closes the display and unsets
// DISPLAY. Pointer input goes through XTest with a short pause after each
// event for the editor's UI thread. Everything runs on the test's thread; the
// fixture owns the server, the display and the parent window.
#pragma once

#include <gtest/gtest.h>  // before X11, whose None macro it would meet

#include "tests/editor/glsession.h"

#include <X11/Xlib.h>

#include <functional>

namespace windowtest {

class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override;     // Mesa, the display, then a kW x kH parent
    void TearDown() override;  // the parent, the display, DISPLAY

    void openDisplay();               // the server's display, with DISPLAY pointing at it
    void makeParent(int w, int h);    // a mapped top-level parent at the screen's corner
    Window waitForEditor();           // the parent's only child once there; 0 if none came
    void pointerTo(int x, int y);     // XTest motion to screen coordinates
    void button(bool press);          // XTest press or release of button 1
    // Runs `cycle` (one opening and closing) 20 times to settle, then 200
    // times: threads, descriptors and heap in use stay flat.
    static void expectFlatOverOpenings(const std::function<void()>& cycle);

    Zorv::XvfbServer server;
    Display* display = nullptr;
    Window parent = 0;
};

}  // namespace windowtest
