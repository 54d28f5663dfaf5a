// GEditor: the plug-in's editor object as the host drives it. The effect
// owns it and asks it, from any thread including the audio thread, for a
// throttled redraw while it is open.
#pragma once

#include "shell/audioeffect.h"

namespace Zorv {

class GEffect;

class GEditor : public AEffEditor {
public:
    using AEffEditor::AEffEditor;

    virtual GEffect* getGEffect();      // the owning effect as the framework type
    virtual void refreshThrottled() = 0; // redraw request, at most one per throttle interval
};

}  // namespace Zorv
