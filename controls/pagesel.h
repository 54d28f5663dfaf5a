// Page selectors: the tabs that switch the skin between its pages. A left
// press (any modifiers) makes the target page current at once and captures;
// the release only ends the press, wherever the pointer is, and never
// changes the page. GPageSelHlt is an invisible hot area that lights up with
// a translucent colour while held; GImgPageSel draws its tab from an image
// strip (inactive, active, and pressed when there is a third frame).
// UI thread only. Colours and images are borrowed from the skin's resources;
// effect and skin are borrowed through the control base.
#pragma once

#include "controls/control.h"

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;
class GImageResource;

class GPageSel : public GEditorControl {
public:
    GPageSel(const ControlArgs& args, int targetPage);

    int cursorAt(int x, int y) override;                              // pointing hand
    bool onLeftDown(bool shift, bool control, int x, int y) override; // switches the page
    bool onLeftUp(bool shift, bool control, int x, int y) override;   // ends the press
    void cancelCapture() override;                                     // ends the press

    int getTargetPage() const { return targetPage; }
    bool isPressed() const { return pressed; }

protected:
    int targetPage;
    bool pressed = false;
};

// A hot area filled with a colour while held.
class GPageSelHlt : public GPageSel {
public:
    GPageSelHlt(const ControlArgs& args, int targetPage, const unsigned char* colour);
    // Arguments: target page >= 1, colour.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;
    void draw(GCanvas* canvas) override;

private:
    const unsigned char* colour;
    bool lastPressed = false;
};

// A tab drawn from an image strip.
class GImgPageSel : public GPageSel {
public:
    GImgPageSel(const ControlArgs& args, GImageResource* image, int targetPage);
    // Arguments: image, target page >= 1.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;
    void draw(GCanvas* canvas) override;
    virtual int frameIndex();  // 0 inactive, 1 active, 2 pressed with three frames

private:
    GImageResource* image;
    int lastFrame = -1;
};

}  // namespace Zorv
