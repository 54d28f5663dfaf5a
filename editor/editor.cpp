#include "editor/editor.h"

#include "effect/effect.h"

namespace Zorv {

GEffect* GEditor::getGEffect()
{
    return static_cast<GEffect*>(getEffect());
}

}  // namespace Zorv
