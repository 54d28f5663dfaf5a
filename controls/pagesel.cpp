#include "controls/pagesel.h"

#include "editor/builder.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "xp/tokenreader.h"

namespace Zorv {

namespace {

constexpr int kInactiveFrame = 0;
constexpr int kActiveFrame = 1;
constexpr int kPressedFrame = 2;
constexpr int kFramesWithPressed = 3;

}  // namespace

GPageSel::GPageSel(const ControlArgs& args, int targetPage)
    : GEditorControl(args), targetPage(targetPage)
{
}

int GPageSel::cursorAt(int, int)
{
    return kCursorHand;
}

bool GPageSel::onLeftDown(bool, bool, int, int)
{
    pressed = true;
    if (skin)
        skin->setPage(targetPage);
    dirty = true;
    return true;
}

bool GPageSel::onLeftUp(bool, bool, int, int)
{
    if (!pressed)
        return false;
    pressed = false;
    dirty = true;
    if (skin)
        skin->requestRedraw();
    return true;
}

void GPageSel::cancelCapture()
{
    onLeftUp(false, false, 0, 0);
}

// GPageSelHlt

GPageSelHlt::GPageSelHlt(const ControlArgs& args, int targetPage, const unsigned char* colour)
    : GPageSel(args, targetPage), colour(colour)
{
}

GEditorControl* GPageSelHlt::create(const ControlArgs& args, XP::TokenReader& tokens,
                                    GEditorSkinBuilder& builder)
{
    const int target = tokens.tokenAsInt(tokens.cursor++);
    if (target < 1)
        builder.refuse("target page must be at least 1");
    const unsigned char* colour = builder.findColour(tokens.token(tokens.cursor++));
    if (target < 1 || !colour)
        return nullptr;
    return new GPageSelHlt(args, target, colour);
}

bool GPageSelHlt::needsRedraw()
{
    return GPageSel::needsRedraw() || pressed != lastPressed;
}

void GPageSelHlt::draw(GCanvas* canvas)
{
    if (pressed)
        canvas->FillRect(0, 0, w, h, colour);
    lastPressed = pressed;
}

// GImgPageSel

GImgPageSel::GImgPageSel(const ControlArgs& args, GImageResource* image, int targetPage)
    : GPageSel(args, targetPage), image(image)
{
}

GEditorControl* GImgPageSel::create(const ControlArgs& args, XP::TokenReader& tokens,
                                    GEditorSkinBuilder& builder)
{
    GImageResource* image = builder.findImage(tokens.token(tokens.cursor++));
    const int target = tokens.tokenAsInt(tokens.cursor++);
    if (target < 1)
        builder.refuse("target page must be at least 1");
    if (!image || target < 1)
        return nullptr;
    return new GImgPageSel(args, image, target);
}

int GImgPageSel::frameIndex()
{
    const int active = skin && skin->getPage() == targetPage ? kActiveFrame : kInactiveFrame;
    if (pressed && image->frameCount() == kFramesWithPressed)
        return kPressedFrame;
    return active;
}

bool GImgPageSel::needsRedraw()
{
    return GPageSel::needsRedraw() || frameIndex() != lastFrame;
}

void GImgPageSel::draw(GCanvas* canvas)
{
    const int frame = frameIndex();
    image->drawFrame(canvas, 0, 0, frame);
    lastFrame = frame;
}

}  // namespace Zorv
