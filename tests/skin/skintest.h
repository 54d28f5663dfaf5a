// Test doubles for the skin runtime: a recording host callback, a counting
// redraw target and a scriptable control that records what reaches it.
#pragma once

#include "controls/canvas.h"
#include "controls/control.h"
#include "editor/skin.h"
#include "gate/quelt.h"

#include <string>
#include <vector>

namespace skintest {

struct HostCall {
    int32_t opcode;
    int32_t index;
    float value;
};

// The calls recorded so far. Every read first delivers what the source effect
// queued, as a host's idle would: the reading thread is the host's.
struct RecordedCalls {
    const std::vector<HostCall>& delivered() const
    {
        if (source)
            source->deliverEdits();
        return list;
    }
    size_t size() const { return delivered().size(); }
    bool empty() const { return delivered().empty(); }
    const HostCall& operator[](size_t i) const { return delivered()[i]; }
    const HostCall& front() const { return delivered().front(); }
    const HostCall& back() const { return delivered().back(); }
    std::vector<HostCall>::const_iterator begin() const { return delivered().begin(); }
    std::vector<HostCall>::const_iterator end() const { return list.end(); }
    void clear()
    {
        delivered();
        list.clear();
    }

    std::vector<HostCall> list;
    Zorv::GEffect* source = nullptr;
};

// Host callback that records edit and automation calls.
struct Recorder {
    static inline RecordedCalls calls;

    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float opt)
    {
        if (opcode == audioMasterVersion)
            return kVstVersion;
        if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit ||
            opcode == audioMasterAutomate)
            calls.list.push_back({opcode, index, opt});
        return 0;
    }
};

struct CountingWindow : Zorv::GRedrawTarget {
    void postExpose() override { ++exposes; }
    int exposes = 0;
};

// A check whose result the test sets; counts its evaluations.
struct FlagCheck : Zorv::GEditorCheck {
    FlagCheck(const char* name, bool value) : GEditorCheck(name), value(value) {}
    bool evaluate() const override
    {
        ++evaluations;
        return value;
    }
    bool value;
    mutable int evaluations = 0;
};

// A control that accepts what the test says and logs every handler call.
struct ProbeControl : Zorv::GEditorControl {
    using GEditorControl::GEditorControl;

    bool onLeftDown(bool s, bool c, int px, int py) override { return log("LD", s, c, px, py, acceptPress); }
    bool onLeftUp(bool s, bool c, int px, int py) override { return log("LU", s, c, px, py, acceptRelease); }
    bool onRightDown(bool s, bool c, int px, int py) override { return log("RD", s, c, px, py, acceptPress); }
    bool onRightUp(bool s, bool c, int px, int py) override { return log("RU", s, c, px, py, acceptRelease); }
    void onMouseMove(bool s, bool c, int px, int py) override { log("MV", s, c, px, py, false); }
    void cancelCapture() override { events.push_back("CC"); }
    int cursorAt(int, int) override { return cursor; }

    bool needsRedraw() override { return GEditorControl::needsRedraw() || shown != value; }
    void draw(Zorv::GCanvas* canvas) override
    {
        ++draws;
        shown = value;
        drawClip = canvas->clip();
    }
    void erase(Zorv::GCanvas* canvas) override
    {
        erases += isPainted() ? 1 : 0;
        GEditorControl::erase(canvas);
    }

    bool log(const char* what, bool s, bool c, int px, int py, bool result)
    {
        events.push_back(std::string(what) + (s ? "s" : "") + (c ? "c" : "") + " " +
                         std::to_string(px) + "," + std::to_string(py));
        return result;
    }

    bool acceptPress = true;
    bool acceptRelease = true;
    int cursor = Zorv::kCursorHand;
    int value = 0, shown = 0;
    int draws = 0, erases = 0;
    Zorv::GRect drawClip{};
    std::vector<std::string> events;
};

// A skin of a real Quelt with a canvas that has no GL context behind it.
struct SkinFixture {
    SkinFixture() : effect(Recorder::callback), skin(&effect), canvas(nullptr, 330, 195)
    {
        Recorder::calls.source = &effect;
        Recorder::calls.clear();
        skin.setSize(330, 195, 2);
        skin.setWindow(&window);
    }

    ProbeControl* add(int page, int x, int y, int w, int h,
                      const Zorv::GConditionSet* set = nullptr)
    {
        Zorv::ControlArgs args{x, y, w, h, page, set, &effect, &skin};
        auto* control = new ProbeControl(args);
        skin.addControl(control);
        return control;
    }

    ~SkinFixture() { Recorder::calls.source = nullptr; }

    Zorv::Quelt effect;
    Zorv::GEditorSkin skin;
    Zorv::GCanvas canvas;
    CountingWindow window;
};

}  // namespace skintest
