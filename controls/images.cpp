#include "controls/images.h"

#include "editor/builder.h"
#include "editor/resources.h"
#include "xp/tokenreader.h"

namespace Zorv {

GImg::GImg(const ControlArgs& args, GImageResource* image) : GEditorControl(args), image(image)
{
}

GEditorControl* GImg::create(const ControlArgs& args, XP::TokenReader& tokens,
                             GEditorSkinBuilder& builder)
{
    GImageResource* image = builder.findImage(tokens.next());
    return image ? new GImg(args, image) : nullptr;
}

void GImg::draw(GCanvas* canvas)
{
    image->drawFrame(canvas, 0, 0, 0);
}

}  // namespace Zorv
