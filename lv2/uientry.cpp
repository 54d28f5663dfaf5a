// The UI binary's entry point: lv2ui_descriptor, one X11 UI with the idle
// interface. Every callback answers with a safe default for a null handle.
#include "lv2/ports.h"
#include "lv2/ui.h"

#include <cstring>

namespace Zorv::Lv2 {

namespace {

GLv2Ui* uiOf(LV2UI_Handle handle) { return static_cast<GLv2Ui*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    return GLv2Ui::create(pluginUri, write, controller, widget, features);
}

void cleanup(LV2UI_Handle handle) { delete uiOf(handle); }

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    if (handle)
        uiOf(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) { return handle ? uiOf(handle)->idle() : 1; }

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri)
{
    return uri && strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdle : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

}  // namespace Zorv::Lv2

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &Zorv::Lv2::kDescriptor : nullptr;
}
