// Shared pieces of the display tests: a skin over a gate that records the
// commands it is asked to perform, control arguments, fonts and images.
#pragma once

#include "editor/resources.h"
#include "tests/skin/skintest.h"

#include <vector>

namespace displaytest {

const unsigned char kWhite[4] = {255, 255, 255, 255};
const unsigned char kRed[4] = {255, 0, 0, 255};

struct Command {
    int id;
    bool shift, control;
};

struct CommandGate : Zorv::Quelt {
    using Quelt::Quelt;
    void performCommand(int id, bool shift, bool control) override { commands.push_back({id, shift, control}); }
    std::vector<Command> commands;
};

struct DisplayFixture {
    DisplayFixture() { skin.setWindow(&window); }

    Zorv::ControlArgs args(int x, int y, int w, int h, int page = 0)
    {
        return {x, y, w, h, page, nullptr, &effect, &skin};
    }
    template <class Control>
    Control* add(Control* control)
    {
        skin.addControl(control);
        return control;
    }
    Zorv::GImageResource* image(int frames)  // frames need no GL to be counted
    {
        auto* resource = new Zorv::GImageResource("strip", "Quelt.png", 33, 19, frames);
        skin.addResource(resource);
        return resource;
    }

    CommandGate effect{skintest::Recorder::callback};
    Zorv::GEditorSkin skin{&effect};
    Zorv::GCanvas canvas{nullptr, 330, 195};
    skintest::CountingWindow window;
    Zorv::GFont font{kWhite, 12.0, "Kelvo"};
    Zorv::GFont hotFont{kRed, 12.0, "Kelvo"};
};

}  // namespace displaytest
