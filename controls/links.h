// Links: hot areas that open a web address in the desktop's browser when the
// left button is released over them. GUrl is invisible over the background,
// GImgUrl also draws frame 0 of an image. They never take the capture, so the
// release reaches whichever control lies under the pointer. UI thread only;
// the opener starts xdg-open with the address as its one argument, detached,
// and returns at once. A link owns its copy of the address and borrows its
// image from the skin.
#pragma once

#include "controls/control.h"

#include <string>

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;
class GImageResource;

// Addresses of this many characters or fewer are not opened.
constexpr int kShortestIgnoredAddress = 7;

// Starts "xdg-open <address>" without a shell, detached (no wait, no child
// left behind); false when nothing was started (short or missing address, an
// address that starts with '-', no xdg-open on PATH, no process started).
bool OpenAddress(const char* address);

class GUrl : public GEditorControl {
public:
    GUrl(const ControlArgs& args, const char* address);
    // Skin arguments: address.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    int cursorAt(int x, int y) override;                             // pointing hand
    bool onLeftUp(bool shift, bool control, int x, int y) override;  // opens when over the link

    const char* address() const { return url.c_str(); }

private:
    std::string url;
};

class GImgUrl : public GUrl {
public:
    GImgUrl(const ControlArgs& args, GImageResource* image, const char* address);
    // Skin arguments: image, address.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;  // frame 0 of the image

private:
    GImageResource* image;
};

}  // namespace Zorv
