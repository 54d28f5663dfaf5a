// Fixture for tests of the built plug-in's editor as a host drives it: the
// host window of HostWindowTest, and the plug-in opened in a GPluginHost as a
// stereo effect of kBlock-frame blocks with its editor opened into the
// parent. The fixture owns the host; TearDown closes the editor and the
// plug-in before the window goes. Test thread only, but for the host calls a
// test makes from threads of its own.
#pragma once

#include "tests/window/hostwindow.h"  // gtest before X11
#include "tools/host/host.h"

#include <memory>

namespace windowtest {

class PluginWindowTest : public HostWindowTest {
protected:
    static constexpr int kBlock = 64;

    void TearDown() override;  // closePlugin(), then the window

    void openPlugin();   // a new host over the built plug-in
    void closePlugin();  // the editor, then the plug-in; no host afterwards
    bool openEditor();   // effEditOpen into the parent; whether its window came, then in editor
    // Stereo blocks of a constant level through processReplacing; the last sample's gain.
    float processLevel(float level, int blocks);

    std::unique_ptr<Zorv::GPluginHost> host;
    Window editor = 0;
};

}  // namespace windowtest
