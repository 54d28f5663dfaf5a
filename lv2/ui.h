// GLv2Ui: the LV2 X11 UI adapter. It drives the plug-in's own editor over a
// UI-side Quelt of its own, which never processes: port events from the host
// set that gate's parameters and its shown gain, and the gate's host
// callback, answered here, turns the editor's gestures into port writes:
// begin and end edit become ui:touch, automation the write function with the
// natural value. The editor's gestures come on its own UI thread; LV2 wants
// writes on the host's UI thread, so they wait in a queue (under a lock
// between those two threads only) that idle and port_event deliver.
// The host's UI thread calls everything public. Owns the UI-side gate and,
// through it, the editor; borrows the host's write function, controller and
// features.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class AudioEffect;
struct AEffect;

namespace Zorv {
class GEditor;
class Quelt;
}  // namespace Zorv

namespace Zorv::Lv2 {

class GLv2Ui {
public:
    // The editor opened in the host's ui:parent; null without a parent or an editor window.
    static GLv2Ui* create(const char* pluginUri, LV2UI_Write_Function write,
                          LV2UI_Controller controller, LV2UI_Widget* widget,
                          const LV2_Feature* const* features);
    ~GLv2Ui();  // closes the editor (its UI thread ends), then the gate
    GLv2Ui(const GLv2Ui&) = delete;
    GLv2Ui& operator=(const GLv2Ui&) = delete;

    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    int idle();  // queued gestures out to the host, the editor woken; always 0

private:
    struct Edit {
        enum Kind { Touch, Release, Write, Resize } kind;
        uint32_t port;
        float value;   // Write: the natural value
        int width, height;  // Resize
    };

    GLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller);
    bool open(const char* pluginUri, LV2UI_Widget* widget, const LV2_Feature* const* features);
    static intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt);
    intptr_t onHostCall(int32_t opcode, int32_t index, intptr_t value);  // any of our threads
    void queue(const Edit& edit);
    void deliver();  // host's UI thread

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    std::unique_ptr<AudioEffect> effect;
    Quelt* gate = nullptr;
    GEditor* editor = nullptr;
    std::mutex queueLock;
    std::vector<Edit> pending;
    std::vector<Edit> delivering;  // host's UI thread only
};

}  // namespace Zorv::Lv2
