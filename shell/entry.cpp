// The library's entry point: VSTPluginMain, also exported as main.
// A host that answers 0 to the version query gets no effect; without any
// callback the effect is built to run stand-alone.
#include "gate/quelt.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    try {
        if (audioMaster && audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;
        AudioEffect* effect = Zorv::createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

extern "C" __attribute__((visibility("default"), alias("VSTPluginMain"))) AEffect*
pluginMainAlias(audioMasterCallback audioMaster) __asm__("main");
