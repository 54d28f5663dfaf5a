// Skin words of AddResource: PngResource, RGBColour, RGBAColour, DefFont.
#include "editor/buildertables.h"

#include "editor/resources.h"

#include <cmath>
#include <cstring>
#include <string>

namespace Zorv {
namespace skinwords {

namespace {

GEditorResource* pngResource(const Args& a, const GEditorSkinBuilder& builder, const GEditorSkin*)
{
    const int frameW = a.integer(1), frameH = a.integer(2), frames = a.integer(3);
    if (frameW < 1 || frameH < 1 || frames < 1)
        return builder.refuse("frame width, height and count must be at least 1");
    if (!fitsFileField(a.word(0)))
        return builder.refuse("file name longer than 63 characters");
    return new GImageResource(nullptr, a.word(0), frameW, frameH, frames);
}

GEditorResource* rgbColour(const Args& a, const GEditorSkinBuilder&, const GEditorSkin*)
{
    return new GColourResource(nullptr, a.integer(0), a.integer(1), a.integer(2));
}

GEditorResource* rgbaColour(const Args& a, const GEditorSkinBuilder&, const GEditorSkin*)
{
    return new GColourResource(nullptr, a.integer(0), a.integer(1), a.integer(2), a.integer(3));
}

// The colour is looked up in the skin the font is made for.
GEditorResource* defFont(const Args& a, const GEditorSkinBuilder& builder, const GEditorSkin* skin)
{
    const double size = a.real(0);
    if (!(size > 0.0) || !std::isfinite(size))
        return builder.refuse("size must be above 0");
    const GColourResource* colour = findResourceOf<GColourResource>(skin, a.word(1));
    if (!colour)
        return builder.refuse(("colour '" + std::string(a.word(1)) + "' not found").c_str());
    return new GFontResource(nullptr, new GFont(colour->colour(), size, a.word(2)));
}

}  // namespace

const std::initializer_list<ResourceType> kResourceTypes = {
    {"PngResource", 4, &pngResource},
    {"RGBColour", 3, &rgbColour},
    {"RGBAColour", 4, &rgbaColour},
    {"DefFont", 3, &defFont},
};

bool fitsFileField(const char* name)
{
    return strlen(name) <= size_t(kResourceFileLength);
}

}  // namespace skinwords
}  // namespace Zorv
