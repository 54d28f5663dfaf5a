// The DSP binary's entry point: lv2_descriptor, one descriptor per variant.
// Every callback answers with a safe default for a null handle or a failure.
#include "lv2/dsp.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>

namespace Zorv::Lv2 {

namespace {

const LV2_Feature* findFeature(const LV2_Feature* const* features, const char* uri)
{
    for (; features && *features; ++features)
        if ((*features)->URI && strcmp((*features)->URI, uri) == 0)
            return *features;
    return nullptr;
}

// The host's bufsz:maxBlockLength when it passes options and a URID map; else 0.
int maxBlockLength(const LV2_Feature* const* features)
{
    const LV2_Feature* map = findFeature(features, LV2_URID__map);
    const LV2_Feature* options = findFeature(features, LV2_OPTIONS__options);
    if (!map || !map->data || !options || !options->data)
        return 0;
    auto* urids = static_cast<const LV2_URID_Map*>(map->data);
    const LV2_URID key = urids->map(urids->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID intType = urids->map(urids->handle, LV2_ATOM__Int);
    for (auto* o = static_cast<const LV2_Options_Option*>(options->data); o->key; ++o)
        if (o->key == key && o->type == intType && o->size == sizeof(int32_t) && o->value)
            return *static_cast<const int32_t*>(o->value);
    return 0;
}

template <int Channels>
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features)
{
    return GLv2Gate::create(Channels, rate, maxBlockLength(features));
}

GLv2Gate* gateOf(LV2_Handle handle) { return static_cast<GLv2Gate*>(handle); }

void connectPort(LV2_Handle handle, uint32_t port, void* data)
{
    if (handle)
        gateOf(handle)->connect(port, data);
}

void activate(LV2_Handle handle)
{
    if (handle)
        gateOf(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames)
{
    if (handle)
        gateOf(handle)->run(frames);
}

void deactivate(LV2_Handle handle)
{
    if (handle)
        gateOf(handle)->deactivate();
}

void cleanup(LV2_Handle handle) { delete gateOf(handle); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptors[] = {
    {kStereoUri, instantiate<kStereo>, connectPort, activate, run, deactivate, cleanup, extensionData},
    {kMonoUri, instantiate<kMono>, connectPort, activate, run, deactivate, cleanup, extensionData},
};

}  // namespace

}  // namespace Zorv::Lv2

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    constexpr uint32_t count = sizeof(Zorv::Lv2::kDescriptors) / sizeof(Zorv::Lv2::kDescriptors[0]);
    return index < count ? &Zorv::Lv2::kDescriptors[index] : nullptr;
}
