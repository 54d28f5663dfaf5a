#include "controls/buttons.h"

#include "controls/canvas.h"
#include "editor/builder.h"
#include "editor/resources.h"
#include "effect/effect.h"
#include "xp/tokenreader.h"

#include <algorithm>

namespace Zorv {

namespace {

constexpr double kOnAt = 0.5;          // switch states and button frames
constexpr double kPressedValue = 1.0;  // a held button
constexpr double kReleasedValue = 0.0;
constexpr double kCrossReach = 0.7;    // of the indicator's radius
constexpr double kCrossWidth = 1.5;
constexpr int kPressedFrame = 2;       // of a three-frame strip
constexpr int kFramesWithPressed = 3;
constexpr int kFramesWithBothPressed = 4;

// Frame of a switch or radio strip for a state and the press; a one-frame
// strip has only frame 0.
int stateFrame(bool on, bool pressed, int frames)
{
    if (frames < 2)
        return 0;
    const int state = on ? 1 : 0;
    if (!pressed)
        return state;
    if (frames == kFramesWithPressed)
        return kPressedFrame;
    return frames == kFramesWithBothPressed ? state + 2 : state;
}

// Choice and last choice of a radio line; false unless 0 <= choice <= lastChoice.
bool readChoices(XP::TokenReader& tokens, int& choice, int& lastChoice)
{
    choice = tokens.nextInt();
    lastChoice = tokens.nextInt();
    return choice >= 0 && choice <= lastChoice;
}

// A control of type T over a parameter and an image, the arguments of both
// GImgButton and GImgSwitch lines; null unless both resolve.
template <typename T>
GEditorControl* createOverImage(const ControlArgs& args, XP::TokenReader& tokens,
                                GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    if (index < 0 || !image)
        return nullptr;
    return new T(args, index, image);
}

}  // namespace

// GButton

GButton::GButton(const ControlArgs& args, int paramIndex)
    : GEditorControl(args), paramIndex(paramIndex)
{
}

int GButton::cursorAt(int, int)
{
    return kCursorHand;
}

bool GButton::onLeftDown(bool, bool, int, int)
{
    pressed = true;
    reportValue(paramIndex);
    writeParameter(paramIndex, kPressedValue);
    requestRedraw();
    return true;
}

bool GButton::onLeftUp(bool, bool, int, int)
{
    if (!pressed)
        return false;
    pressed = false;
    reportValue(paramIndex);
    writeParameter(paramIndex, kReleasedValue);
    requestRedraw();
    return true;
}

void GButton::cancelCapture()
{
    onLeftUp(false, false, 0, 0);
}

// GCommand

GCommand::GCommand(const ControlArgs& args, int commandId)
    : GEditorControl(args), commandId(commandId)
{
}

int GCommand::cursorAt(int, int)
{
    return kCursorHand;
}

bool GCommand::onLeftDown(bool shift, bool control, int, int)
{
    pressed = true;
    savedShift = shift;
    savedControl = control;
    requestRedraw();
    return true;
}

bool GCommand::onLeftUp(bool shift, bool control, int, int)
{
    if (!pressed)
        return false;
    if (effect)
        effect->performCommand(commandId, shift || savedShift, control || savedControl);
    cancelCapture();
    return true;
}

void GCommand::cancelCapture()
{
    if (!pressed)
        return;
    pressed = savedShift = savedControl = false;
    requestRedraw();
}

// GSwitch

GSwitch::GSwitch(const ControlArgs& args, int paramIndex)
    : GEditorControl(args), paramIndex(paramIndex)
{
}

int GSwitch::cursorAt(int, int)
{
    return kCursorHand;
}

bool GSwitch::isOn() const
{
    return shownValue(paramIndex) >= kOnAt;
}

bool GSwitch::onLeftDown(bool, bool control, int, int)
{
    if (pressed)  // one gesture per capture
        return true;
    const double target = control ? defaultValue(paramIndex) : isOn() ? 0.0 : 1.0;
    pressGesture(paramIndex, pressed);
    writeParameter(paramIndex, target);
    return true;
}

bool GSwitch::onLeftUp(bool, bool, int, int)
{
    return releaseGesture(paramIndex, pressed);
}

void GSwitch::cancelCapture()
{
    onLeftUp(false, false, 0, 0);
}

// GRadio

GRadio::GRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice)
    : GEditorControl(args), paramIndex(paramIndex), choice(choice), lastChoice(lastChoice)
{
    // In doubles: the ints may be as large as the skin writes them.
    const double d = (double(lastChoice) + 1.0) * 2.0;
    bandLow = 2.0 * choice / d;
    bandTarget = (2.0 * choice + 1.0) / d;
    bandHigh = (2.0 * choice + 2.0) / d;
}

int GRadio::cursorAt(int, int)
{
    return kCursorHand;
}

bool GRadio::selected() const
{
    const double v = shownValue(paramIndex);
    return (bandLow <= v && v < bandHigh) || (v == 1.0 && bandHigh == 1.0);
}

bool GRadio::onLeftDown(bool, bool control, int, int)
{
    if (pressGesture(paramIndex, pressed))  // one gesture per capture
        writeParameter(paramIndex, control ? defaultValue(paramIndex) : bandTarget);
    return true;
}

bool GRadio::onLeftUp(bool, bool, int, int)
{
    return releaseGesture(paramIndex, pressed);
}

void GRadio::cancelCapture()
{
    onLeftUp(false, false, 0, 0);
}

// GImgButton

GImgButton::GImgButton(const ControlArgs& args, int paramIndex, GImageResource* image)
    : GButton(args, paramIndex), image(image)
{
}

GEditorControl* GImgButton::create(const ControlArgs& args, XP::TokenReader& tokens,
                                   GEditorSkinBuilder& builder)
{
    return createOverImage<GImgButton>(args, tokens, builder);
}

int GImgButton::frameIndex()
{
    const int frames = image->frameCount();
    if (frames < 2 || !(pressed || storedValue(paramIndex) >= kOnAt))
        return 0;
    return frames >= kFramesWithPressed && pressed ? kPressedFrame : 1;
}

bool GImgButton::needsRedraw()
{
    return GButton::needsRedraw() || frameIndex() != lastFrame;
}

void GImgButton::draw(GCanvas* canvas)
{
    lastFrame = frameIndex();
    image->drawFrame(canvas, 0, 0, lastFrame);
}

// GImgCommand

GImgCommand::GImgCommand(const ControlArgs& args, int commandId, GImageResource* image)
    : GCommand(args, commandId), image(image)
{
}

GEditorControl* GImgCommand::create(const ControlArgs& args, XP::TokenReader& tokens,
                                    GEditorSkinBuilder& builder)
{
    const int id = builder.findCommand(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    if (id < 0 || !image)
        return nullptr;
    return new GImgCommand(args, id, image);
}

// A one-frame strip has no pressed frame: it stays on frame 0.
void GImgCommand::draw(GCanvas* canvas)
{
    image->drawFrame(canvas, 0, 0, pressed && image->frameCount() > 1 ? 1 : 0);
}

// GIndicator

bool GIndicator::read(XP::TokenReader& tokens, GEditorSkinBuilder& builder)
{
    boxX = tokens.nextInt();
    boxY = tokens.nextInt();
    boxW = tokens.nextInt();
    boxH = tokens.nextInt();
    offColour = builder.findColour(tokens.next());
    onColour = builder.findColour(tokens.next());
    pressColour = builder.findColour(tokens.next());
    return offColour && onColour && pressColour;
}

void GIndicator::draw(GCanvas* canvas, bool on, bool pressed, int w, int h) const
{
    const double cx = boxX + boxW * 0.5, cy = boxY + boxH * 0.5;
    const double r = std::min(boxW, boxH) * 0.5;
    if (on) {
        canvas->FillCircle(onColour, cx, cy, r);
    } else {
        const double d = r * kCrossReach;
        canvas->DrawLine(offColour, cx - d, cy - d, cx + d, cy + d, kCrossWidth);
        canvas->DrawLine(offColour, cx - d, cy + d, cx + d, cy - d, kCrossWidth);
    }
    if (pressed)
        canvas->FillRect(0, 0, w, h, pressColour);
}

// GHlSwitch

GHlSwitch::GHlSwitch(const ControlArgs& args, int paramIndex, const GIndicator& indicator)
    : GSwitch(args, paramIndex), indicator(indicator)
{
}

GEditorControl* GHlSwitch::create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    GIndicator indicator{};
    if (!indicator.read(tokens, builder) || index < 0)
        return nullptr;
    return new GHlSwitch(args, index, indicator);
}

bool GHlSwitch::needsRedraw()
{
    return GSwitch::needsRedraw() || isOn() != lastState;
}

void GHlSwitch::draw(GCanvas* canvas)
{
    lastState = isOn();
    indicator.draw(canvas, lastState, pressed, w, h);
}

// GImgSwitch

GImgSwitch::GImgSwitch(const ControlArgs& args, int paramIndex, GImageResource* image)
    : GSwitch(args, paramIndex), image(image)
{
}

GEditorControl* GImgSwitch::create(const ControlArgs& args, XP::TokenReader& tokens,
                                   GEditorSkinBuilder& builder)
{
    return createOverImage<GImgSwitch>(args, tokens, builder);
}

int GImgSwitch::frameIndex()
{
    return stateFrame(isOn(), pressed, image->frameCount());
}

bool GImgSwitch::needsRedraw()
{
    return GSwitch::needsRedraw() || frameIndex() != lastFrame;
}

void GImgSwitch::draw(GCanvas* canvas)
{
    lastFrame = frameIndex();
    image->drawFrame(canvas, 0, 0, lastFrame);
}

// GHlRadio

GHlRadio::GHlRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
                   const GIndicator& indicator)
    : GRadio(args, paramIndex, choice, lastChoice), indicator(indicator)
{
}

GEditorControl* GHlRadio::create(const ControlArgs& args, XP::TokenReader& tokens,
                                 GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    int choice = 0, lastChoice = 0;
    const bool choices = readChoices(tokens, choice, lastChoice);
    if (!choices)
        builder.refuse("choice must lie in 0..lastChoice");
    GIndicator indicator{};
    if (!indicator.read(tokens, builder) || index < 0 || !choices)
        return nullptr;
    return new GHlRadio(args, index, choice, lastChoice, indicator);
}

bool GHlRadio::needsRedraw()
{
    return GRadio::needsRedraw() || selected() != lastState;
}

void GHlRadio::draw(GCanvas* canvas)
{
    lastState = selected();
    indicator.draw(canvas, lastState, pressed, w, h);
}

// GImgRadio

GImgRadio::GImgRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
                     GImageResource* image)
    : GRadio(args, paramIndex, choice, lastChoice), image(image)
{
}

GEditorControl* GImgRadio::create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(tokens.next());
    int choice = 0, lastChoice = 0;
    const bool choices = readChoices(tokens, choice, lastChoice);
    if (!choices)
        builder.refuse("choice must lie in 0..lastChoice");
    GImageResource* image = builder.findImage(tokens.next());
    if (index < 0 || !choices || !image)
        return nullptr;
    return new GImgRadio(args, index, choice, lastChoice, image);
}

int GImgRadio::frameIndex()
{
    return stateFrame(selected(), pressed, image->frameCount());
}

bool GImgRadio::needsRedraw()
{
    return GRadio::needsRedraw() || frameIndex() != lastFrame;
}

void GImgRadio::draw(GCanvas* canvas)
{
    lastFrame = frameIndex();
    image->drawFrame(canvas, 0, 0, lastFrame);
}

}  // namespace Zorv
