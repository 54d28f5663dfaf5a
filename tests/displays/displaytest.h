// Shared pieces of the display tests: control arguments on a SkinFixture,
// two fonts and a gate that records the commands it is asked to perform.
#pragma once

#include "editor/resources.h"
#include "tests/skin/skintest.h"

#include <vector>

namespace displaytest {

const unsigned char kWhite[4] = {255, 255, 255, 255};
const unsigned char kRed[4] = {255, 40, 40, 255};

struct Command {
    int id;
    bool shift, control;
};

struct CommandGate : Zorv::Quelt {
    using Quelt::Quelt;
    void performCommand(int id, bool shift, bool control) override
    {
        commands.push_back({id, shift, control});
    }
    std::vector<Command> commands;
};

// A skin over a CommandGate, with fonts and framed images that need no GL.
struct DisplayFixture {
    DisplayFixture() : effect(skintest::Recorder::callback), skin(&effect), canvas(nullptr, 330, 195)
    {
        skin.setSize(330, 195, 2);
        skin.setWindow(&window);
    }

    Zorv::ControlArgs args(int x, int y, int w, int h, int page = 0)
    {
        Zorv::ControlArgs a;
        a.x = x;
        a.y = y;
        a.w = w;
        a.h = h;
        a.page = page;
        a.effect = &effect;
        a.skin = &skin;
        return a;
    }

    template <class Control>
    Control* add(Control* control)
    {
        skin.addControl(control);
        return control;
    }

    Zorv::GImageResource* image(int frames)
    {
        auto* resource = new Zorv::GImageResource("strip", "Quelt.png", 33, 19, frames);
        skin.addResource(resource);
        return resource;
    }

    CommandGate effect;
    Zorv::GEditorSkin skin;
    Zorv::GCanvas canvas;
    skintest::CountingWindow window;
    Zorv::GFont font{kWhite, 12.0, "Kelvo"};
    Zorv::GFont hotFont{kRed, 12.0, "Kelvo"};
};

}  // namespace displaytest
