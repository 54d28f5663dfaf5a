// Fixture for knob and page-selector tests: a skin over a real Quelt with a
// recording host, controls added at given rectangles, and the current
// program's stored values read and set directly.
#pragma once

#include "tests/skin/skintest.h"

namespace knobtest {

struct KnobFixture : skintest::SkinFixture {
    Zorv::ControlArgs args(int page, int x, int y, int w, int h)
    {
        return {x, y, w, h, page, nullptr, &effect, &skin};
    }

    template <class Control>
    Control* adopt(Control* control)
    {
        skin.addControl(control);
        return control;
    }

    double stored(int index)
    {
        return effect.getBank().parameter(index)->getNormalised(
            effect.getBank().slot(effect.getProgram(), index));
    }

    // Sets a value without telling the host, then forgets earlier host calls.
    void set(int index, double normalised)
    {
        effect.writeParameter(index, normalised);
        skintest::Recorder::calls.clear();
    }

    double defaultOf(int index) { return effect.getBank().parameter(index)->getDefault(); }
};

}  // namespace knobtest
