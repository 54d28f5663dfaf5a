// Buttons, switches and radios: click controls. GButton holds a parameter at
// 1 while pressed and writes 0 on release, without beginEdit/endEdit. GCommand
// performs an effect command on release, with Shift and Ctrl held at the
// press or at the release. GSwitch toggles its parameter once per press at the
// 0.5 boundary; GRadio writes the centre of its band, one of lastChoice + 1
// equal bands of the range. Ctrl-clicking a switch or radio writes the
// default; each of their presses is one beginEdit ... endEdit gesture. A lost
// capture ends the gesture cleanly (cancelCapture). The bases hold the
// interaction, the skin types only draw: highlight boxes or image strips.
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

// Momentary: 1 while held, 0 once released.
class GButton : public GEditorControl {
public:
    GButton(const ControlArgs& args, int paramIndex);

    int cursorAt(int x, int y) override;                              // pointing hand
    bool onLeftDown(bool shift, bool control, int x, int y) override; // writes 1
    bool onLeftUp(bool shift, bool control, int x, int y) override;   // writes 0
    void cancelCapture() override;                                    // writes 0 when held

    int parameterIndex() const { return paramIndex; }
    bool isPressed() const { return pressed; }

protected:
    int paramIndex;
    bool pressed = false;
};

// Performs its command on release, wherever the pointer is.
class GCommand : public GEditorControl {
public:
    GCommand(const ControlArgs& args, int commandId);

    int cursorAt(int x, int y) override;                              // pointing hand
    bool onLeftDown(bool shift, bool control, int x, int y) override; // keeps the modifiers
    bool onLeftUp(bool shift, bool control, int x, int y) override;   // performs the command
    void cancelCapture() override;                                    // forgets the press

    int getCommandId() const { return commandId; }
    bool isPressed() const { return pressed; }

protected:
    int commandId;
    bool pressed = false;
    bool savedShift = false;
    bool savedControl = false;
};

// On/off: each press writes 0 when the shown value is 0.5 or more, else 1.
class GSwitch : public GEditorControl {
public:
    GSwitch(const ControlArgs& args, int paramIndex);

    int cursorAt(int x, int y) override;                              // pointing hand
    bool onLeftDown(bool shift, bool control, int x, int y) override; // toggles, begins
    bool onLeftUp(bool shift, bool control, int x, int y) override;   // ends the gesture
    void cancelCapture() override;                                    // ends it too

    int parameterIndex() const { return paramIndex; }
    bool isPressed() const { return pressed; }
    bool isOn() const;  // the shown value is 0.5 or more

protected:
    int paramIndex;
    bool pressed = false;
};

// Owns band `choice` of lastChoice + 1 equal bands; the top band includes 1.
class GRadio : public GEditorControl {
public:
    GRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice);

    int cursorAt(int x, int y) override;                              // pointing hand
    bool onLeftDown(bool shift, bool control, int x, int y) override; // selects, begins
    bool onLeftUp(bool shift, bool control, int x, int y) override;   // ends the gesture
    void cancelCapture() override;                                    // ends it too

    bool selected() const;  // the shown value lies in the band
    int parameterIndex() const { return paramIndex; }
    bool isPressed() const { return pressed; }
    double getBandLow() const { return bandLow; }
    double getBandTarget() const { return bandTarget; }  // the value a click writes
    double getBandHigh() const { return bandHigh; }

protected:
    int paramIndex;
    int choice, lastChoice;
    double bandLow, bandTarget, bandHigh;
    bool pressed = false;
};

// Frame 1 while the value is 0.5 or more or held; frame 2 while held with three frames.
class GImgButton : public GButton {
public:
    GImgButton(const ControlArgs& args, int paramIndex, GImageResource* image);
    // Arguments: parameter, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;  // dirty, or the frame changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex();

private:
    GImageResource* image;
    int lastFrame = -1;
};

// Frame 1 while held, frame 0 otherwise.
class GImgCommand : public GCommand {
public:
    GImgCommand(const ControlArgs& args, int commandId, GImageResource* image);
    // Arguments: command, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;

private:
    GImageResource* image;
};

// The indicator of the highlight types: a disc when on, a cross when off, in
// a box inside the control, and the whole control tinted while held.
struct GIndicator {
    int boxX, boxY, boxW, boxH;
    const unsigned char* offColour;
    const unsigned char* onColour;
    const unsigned char* pressColour;

    // Reads boxX boxY boxW boxH and the three colours; false when a colour is missing.
    bool read(XP::TokenReader& tokens, GEditorSkinBuilder& builder);
    void draw(GCanvas* canvas, bool on, bool pressed, int w, int h) const;
};

class GHlSwitch : public GSwitch {
public:
    GHlSwitch(const ControlArgs& args, int paramIndex, const GIndicator& indicator);
    // Arguments: parameter, boxX, boxY, boxW, boxH, off, on and press colours.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;  // dirty, or the on/off state changed
    void draw(GCanvas* canvas) override;

private:
    GIndicator indicator;
    bool lastState = false;
};

// Image strips of switches and radios: (off, on), (off, on, pressed) or
// (off, on, off pressed, on pressed).
class GImgSwitch : public GSwitch {
public:
    GImgSwitch(const ControlArgs& args, int paramIndex, GImageResource* image);
    // Arguments: parameter, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;  // dirty, or the frame changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex();

private:
    GImageResource* image;
    int lastFrame = -1;
};

class GHlRadio : public GRadio {
public:
    GHlRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
             const GIndicator& indicator);
    // Arguments: parameter, 0 <= choice <= lastChoice, boxX, boxY, boxW, boxH,
    // off, on and press colours.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;  // dirty, or the selection changed
    void draw(GCanvas* canvas) override;

private:
    GIndicator indicator;
    bool lastState = false;
};

class GImgRadio : public GRadio {
public:
    GImgRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
              GImageResource* image);
    // Arguments: parameter, 0 <= choice <= lastChoice, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;  // dirty, or the frame changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex();

private:
    GImageResource* image;
    int lastFrame = -1;
};

}  // namespace Zorv
