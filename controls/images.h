// GImg: a still picture on a page, frame 0 of an image drawn at the control's
// corner and cut at its rectangle. It takes no input. Drawn at the first
// refresh after it becomes visible and after each erase, never otherwise.
// UI thread only. Borrows the image from the skin's resources.
#pragma once

#include "controls/control.h"

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;
class GImageResource;

class GImg : public GEditorControl {
public:
    GImg(const ControlArgs& args, GImageResource* image);
    // Arguments: image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;  // frame 0 at (0, 0)

private:
    GImageResource* image;
};

}  // namespace Zorv
