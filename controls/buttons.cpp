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

// Parameter, choice and last choice: how a radio line starts.
struct RadioStart {
    int index;
    int choice;
    int lastChoice;
    bool valid;  // the parameter resolves and 0 <= choice <= lastChoice
};

// Reads a radio line's start; a choice out of range records the reason.
RadioStart readRadioStart(XP::TokenReader& tokens, GEditorSkinBuilder& builder)
{
    RadioStart start{};
    start.index = builder.findParameter(tokens.next());
    start.choice = tokens.nextInt();
    start.lastChoice = tokens.nextInt();
    const bool choices = start.choice >= 0 && start.choice <= start.lastChoice;
    if (!choices)
        builder.refuse("choice must lie in 0..lastChoice");
    start.valid = choices && start.index >= 0;
    return start;
}

using FindId = int (GEditorSkinBuilder::*)(const char* name) const;

// A control of type T over a parameter (or what findId looks up) and an
// image, the arguments of GImgButton, GImgSwitch and GImgCommand lines; null
// unless both resolve.
template <typename T, FindId findId = &GEditorSkinBuilder::findParameter>
GEditorControl* createOverImage(const ControlArgs& args, XP::TokenReader& tokens,
                                GEditorSkinBuilder& builder)
{
    const int id = (builder.*findId)(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    if (id < 0 || !image)
        return nullptr;
    return new T(args, id, image);
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

// GStateButton

GStateButton::GStateButton(const ControlArgs& args, int paramIndex)
    : GEditorControl(args), paramIndex(paramIndex)
{
}

int GStateButton::cursorAt(int, int)
{
    return kCursorHand;
}

bool GStateButton::onLeftUp(bool, bool, int, int)
{
    return releaseGesture(paramIndex, pressed);
}

void GStateButton::cancelCapture()
{
    onLeftUp(false, false, 0, 0);
}

// GSwitch

GSwitch::GSwitch(const ControlArgs& args, int paramIndex) : GStateButton(args, paramIndex) {}

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

// GRadio

GRadio::GRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice)
    : GStateButton(args, paramIndex), choice(choice), lastChoice(lastChoice)
{
    // In doubles: the ints may be as large as the skin writes them.
    const double d = (double(lastChoice) + 1.0) * 2.0;
    bandLow = 2.0 * choice / d;
    bandTarget = (2.0 * choice + 1.0) / d;
    bandHigh = (2.0 * choice + 2.0) / d;
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
    return createOverImage<GImgCommand, &GEditorSkinBuilder::findCommand>(args, tokens, builder);
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

// GStateHighlight

template <typename Base>
bool GStateHighlight<Base>::needsRedraw()
{
    return Base::needsRedraw() || this->showsOn() != lastState;
}

template <typename Base>
void GStateHighlight<Base>::draw(GCanvas* canvas)
{
    lastState = this->showsOn();
    indicator.draw(canvas, lastState, this->pressed, this->w, this->h);
}

template class GStateHighlight<GSwitch>;
template class GStateHighlight<GRadio>;

// GStateStrip

template <typename Base>
int GStateStrip<Base>::frameIndex()
{
    return stateFrame(this->showsOn(), this->pressed, image->frameCount());
}

template <typename Base>
bool GStateStrip<Base>::needsRedraw()
{
    return Base::needsRedraw() || frameIndex() != lastFrame;
}

template <typename Base>
void GStateStrip<Base>::draw(GCanvas* canvas)
{
    lastFrame = frameIndex();
    image->drawFrame(canvas, 0, 0, lastFrame);
}

template class GStateStrip<GSwitch>;
template class GStateStrip<GRadio>;

// GHlSwitch

GHlSwitch::GHlSwitch(const ControlArgs& args, int paramIndex, const GIndicator& indicator)
    : GStateHighlight(indicator, args, paramIndex)
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

// GImgSwitch

GImgSwitch::GImgSwitch(const ControlArgs& args, int paramIndex, GImageResource* image)
    : GStateStrip(image, args, paramIndex)
{
}

GEditorControl* GImgSwitch::create(const ControlArgs& args, XP::TokenReader& tokens,
                                   GEditorSkinBuilder& builder)
{
    return createOverImage<GImgSwitch>(args, tokens, builder);
}

// GHlRadio

GHlRadio::GHlRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
                   const GIndicator& indicator)
    : GStateHighlight(indicator, args, paramIndex, choice, lastChoice)
{
}

GEditorControl* GHlRadio::create(const ControlArgs& args, XP::TokenReader& tokens,
                                 GEditorSkinBuilder& builder)
{
    const RadioStart radio = readRadioStart(tokens, builder);
    GIndicator indicator{};
    if (!indicator.read(tokens, builder) || !radio.valid)
        return nullptr;
    return new GHlRadio(args, radio.index, radio.choice, radio.lastChoice, indicator);
}

// GImgRadio

GImgRadio::GImgRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
                     GImageResource* image)
    : GStateStrip(image, args, paramIndex, choice, lastChoice)
{
}

GEditorControl* GImgRadio::create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder)
{
    const RadioStart radio = readRadioStart(tokens, builder);
    GImageResource* image = builder.findImage(tokens.next());
    if (!radio.valid || !image)
        return nullptr;
    return new GImgRadio(args, radio.index, radio.choice, radio.lastChoice, image);
}

}  // namespace Zorv
