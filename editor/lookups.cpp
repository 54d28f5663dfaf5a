// Names a skin line gives the factories: colours, fonts and images of the
// skin's resources, the effect's parameters, features, histories and commands.
#include "editor/buildertables.h"

#include "editor/resources.h"
#include "effect/effect.h"
#include "effect/history.h"

#include <cstring>
#include <string>

namespace Zorv {

using skinwords::findResourceOf;
using skinwords::isNullName;

namespace {

// The effect's feature value of type T so named; null without an effect.
template <typename T>
const GFeatureValue<T>* featureOf(GEffect* effect, const char* name)
{
    return effect ? findFeatureValue<T>(effect->getFeatures(), name) : nullptr;
}

}  // namespace

void GEditorSkinBuilder::notFound(const char* kind, const char* name) const
{
    if (report && reason.empty())
        reason = std::string(kind) + " '" + (name ? name : "") + "' not found";
}

// A resource name that names another kind says so.
void GEditorSkinBuilder::resourceNotFound(const char* kind, const char* name) const
{
    if (!report || !reason.empty())
        return;
    if (skin && !isNullName(name) && skin->getResources().find(name))
        reason = "'" + std::string(name) + "' is not " + (strchr("aeiou", kind[0]) ? "an " : "a ") +
                 kind;
    else
        notFound(kind, name);
}

const unsigned char* GEditorSkinBuilder::findColour(const char* name) const
{
    const GColourResource* colour = findResourceOf<GColourResource>(skin, name);
    if (!colour)
        resourceNotFound("colour", name);
    return colour ? colour->colour() : nullptr;
}

const GFont* GEditorSkinBuilder::findFont(const char* name) const
{
    const GFontResource* font = findResourceOf<GFontResource>(skin, name);
    if (!font)
        resourceNotFound("font", name);
    return font ? font->font() : nullptr;
}

GImageResource* GEditorSkinBuilder::findImage(const char* name) const
{
    GImageResource* image = findResourceOf<GImageResource>(skin, name);
    if (!image)
        resourceNotFound("image", name);
    return image;
}

int GEditorSkinBuilder::findParameter(const char* name) const
{
    if (effect) {
        const GParameterList& parameters = effect->getParameters();
        for (int i = 0; i < parameters.getCount(); ++i)
            if (XP::equalsNoCase(parameters.get(i)->getName(), name))
                return i;
    }
    notFound("parameter", name);
    return -1;
}

const std::atomic<double>* GEditorSkinBuilder::findRealFeature(const char* name) const
{
    const std::atomic<double>* value = featureOf<double>(effect, name);
    if (!value)
        notFound("real feature", name);
    return value;
}

const std::atomic<int>* GEditorSkinBuilder::findIntFeature(const char* name) const
{
    const std::atomic<int>* value = featureOf<int>(effect, name);
    if (!value)
        notFound("integer feature", name);
    return value;
}

const GHistory* GEditorSkinBuilder::findHistory(const char* name) const
{
    const GHistory* history = featureOf<GHistory>(effect, name);
    if (!history)
        refuse(("no history feature '" + std::string(name ? name : "") + "'").c_str());
    return history;
}

int GEditorSkinBuilder::findCommand(const char* name) const
{
    const GEffectCommand* command =
        effect && !isNullName(name) ? effect->getCommands().find(name) : nullptr;
    if (!command)
        notFound("command", name);
    return command ? command->getId() : -1;
}

}  // namespace Zorv
