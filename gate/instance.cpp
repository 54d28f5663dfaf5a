// The plug-in's effect as a host gets it: the gate with the editor its
// embedded skin describes.
#include "editor/builder.h"
#include "editor/editor.h"
#include "gate/quelt.h"

#include <new>

namespace Zorv {

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    try {
        Quelt* effect = new Quelt(audioMaster);
        effect->readHostFacts();  // for the texts the skin expands as it is built
        // Without a valid embedded skin, or memory to build it, the effect has no editor.
        try {
            GEditorSkinBuilder builder(effect);
            effect->setEditor(builder.createEditor("QueltSkin.txt"));
        } catch (...) {
        }
        return effect;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace Zorv
