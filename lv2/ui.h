// GLv2Ui: the LV2 X11 UI adapter. It drives the plug-in's own editor over a
// UI-side Quelt of its own, which never processes: port events from the host
// set that gate's parameters and its shown gain. The editor's gestures wait
// in that gate's edit queue; this UI is the queue's sink, on the host's UI
// thread (idle, port_event, and cleanup once the editor's thread has ended):
// begin and end become ui:touch, a value the write function with the natural
// value.
// The host's UI thread calls everything public. Owns the UI-side gate and,
// through it, the editor; borrows the host's write function, controller and
// features.
#pragma once

#include "effect/editqueue.h"

#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>

class AudioEffect;
struct AEffect;

namespace Zorv {
class GEditor;
class Quelt;
}  // namespace Zorv

namespace Zorv::Lv2 {

class GLv2Ui : private GEditSink {
public:
    // The editor opened in the host's ui:parent; null without a parent or an editor window.
    static GLv2Ui* create(const char* pluginUri, LV2UI_Write_Function write,
                          LV2UI_Controller controller, LV2UI_Widget* widget,
                          const LV2_Feature* const* features);
    ~GLv2Ui() override;  // closes the editor (its UI thread ends, its edits go out), then the gate
    GLv2Ui(const GLv2Ui&) = delete;
    GLv2Ui& operator=(const GLv2Ui&) = delete;

    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    int idle();  // queued gestures out to the host, the editor woken; 1 once its window is gone

private:
    GLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller);
    bool open(const char* pluginUri, LV2UI_Widget* widget, const LV2_Feature* const* features);
    static intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt);
    intptr_t onHostCall(int32_t opcode, int32_t index, intptr_t value);  // host's UI thread
    void beginEdit(int index) override;
    void automate(int index, float normalised) override;
    void endEdit(int index) override;
    void touchPort(int index, bool grabbed);

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    std::unique_ptr<AudioEffect> effect;
    Quelt* gate = nullptr;
    GEditor* editor = nullptr;
};

}  // namespace Zorv::Lv2
