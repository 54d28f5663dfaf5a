#include "lv2/ui.h"

#include "editor/editor.h"
#include "editor/window.h"
#include "gate/quelt.h"
#include "lv2/ports.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>

namespace Zorv::Lv2 {

namespace {

const void* featureData(const LV2_Feature* const* features, const char* uri)
{
    for (; features && *features; ++features)
        if ((*features)->URI && strcmp((*features)->URI, uri) == 0)
            return (*features)->data;
    return nullptr;
}

// The host's ui:scaleFactor when it passes options and a URID map; else 0.
double hostScale(const LV2_Feature* const* features)
{
    auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
    auto* options = static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));
    if (!map || !options)
        return 0;
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (; options->key; ++options)
        if (options->key == key && options->type == floatType && options->size == sizeof(float) &&
            options->value)
            return *static_cast<const float*>(options->value);
    return 0;
}

}  // namespace

GLv2Ui* GLv2Ui::create(const char* pluginUri, LV2UI_Write_Function write,
                       LV2UI_Controller controller, LV2UI_Widget* widget,
                       const LV2_Feature* const* features)
{
    if (!write || !widget)
        return nullptr;
    try {
        std::unique_ptr<GLv2Ui> ui(new GLv2Ui(write, controller));
        return ui->open(pluginUri, widget, features) ? ui.release() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

GLv2Ui::GLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller)
    : write(write), controller(controller)
{
}

bool GLv2Ui::open(const char* pluginUri, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    void* parent = const_cast<void*>(featureData(features, LV2_UI__parent));
    touch = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
    resize = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));
    if (!parent)
        return false;
    effect.reset(createEffectInstance(hostCallback));
    gate = dynamic_cast<Quelt*>(effect.get());
    editor = gate ? dynamic_cast<GEditor*>(gate->getEditor()) : nullptr;
    if (!editor)
        return false;
    gate->getAeffect()->user = this;
    gate->setEditSink(this);
    if (pluginUri && strcmp(pluginUri, kMonoUri) == 0) {
        VstSpeakerArrangement mono{};
        mono.numChannels = kMono;
        gate->setSpeakerArrangement(&mono, &mono);
    }
    if (const double scale = hostScale(features))
        editor->setScale(scale);
    ERect* rect = nullptr;
    // The editor opens drawing, or not at all: no window, no GL, no parent.
    if (!editor->getRect(&rect) || !editor->open(parent))
        return false;
    const uintptr_t window = editor->getWindow()->getWindow();
    if (resize)
        resize->ui_resize(resize->handle, rect->right - rect->left, rect->bottom - rect->top);
    *widget = reinterpret_cast<LV2UI_Widget>(window);
    return true;
}

GLv2Ui::~GLv2Ui()
{
    if (editor)
        editor->close();
    effect.reset();
}

intptr_t GLv2Ui::hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void*,
                              float)
{
    GLv2Ui* ui = effect ? static_cast<GLv2Ui*>(effect->user) : nullptr;
    if (!ui)
        return 0;
    try {
        return ui->onHostCall(opcode, index, value);
    } catch (...) {
        return 0;
    }
}

intptr_t GLv2Ui::onHostCall(int32_t opcode, int32_t index, intptr_t value)
{
    if (opcode != audioMasterSizeWindow)
        return 0;
    if (resize)
        resize->ui_resize(resize->handle, index, int(value));
    return 1;
}

void GLv2Ui::touchPort(int index, bool grabbed)
{
    if (touch && index >= 0 && index < kNumQueltParameters)
        touch->touch(touch->handle, kFirstParameterPort + uint32_t(index), grabbed);
}

void GLv2Ui::beginEdit(int index)
{
    touchPort(index, true);
}

void GLv2Ui::endEdit(int index)
{
    touchPort(index, false);
}

void GLv2Ui::automate(int index, float normalised)
{
    if (index < 0 || index >= kNumQueltParameters)
        return;
    const float natural = float(gate->getBank().parameter(index)->toNatural(normalised));
    write(controller, kFirstParameterPort + uint32_t(index), sizeof(float), 0, &natural);
}

void GLv2Ui::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    gate->deliverEdits();
    if (format != 0 || size != sizeof(float) || !buffer)
        return;
    const float value = *static_cast<const float*>(buffer);
    if (value != value)
        return;
    if (port == kGainPort) {
        gate->showGain(value);
    } else if (isParameterPort(port)) {
        const int index = int(port - kFirstParameterPort);
        ProgramBank& bank = gate->getBank();
        const GEffectParameter* parameter = bank.parameter(index);
        void* slot = bank.slot(gate->getProgram(), index);
        // The echo of our own write leaves the value as the editor set it.
        if (float(parameter->getNatural(slot)) != value)
            gate->setParameter(index, float(parameter->toNormalised(value)));
    }
}

int GLv2Ui::idle()
{
    editor->idle();
    return editor->hasEnded() ? 1 : 0;
}

}  // namespace Zorv::Lv2
