// Buttons, switches and radios: click controls. GButton holds a parameter at
// 1 while pressed and writes 0 on release, without beginEdit/endEdit. GCommand
// performs an effect command on release, with Shift and Ctrl held at the
// press or at the release. GSwitch toggles its parameter once per press at the
// 0.5 boundary; GRadio writes the centre of its band, one of lastChoice + 1
// equal bands of the range. Ctrl-clicking a switch or radio writes the
// default; each of their presses is one beginEdit ... endEdit gesture. A lost
// capture ends the gesture cleanly (cancelCapture). The bases hold the
// interaction, the skin types only draw: highlight boxes or image strips,
// each look written once for switches and radios (GStateHighlight, GStateStrip).
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

// What GSwitch and GRadio share: each press is one beginEdit ... endEdit
// gesture on the parameter, ended by the release or a lost capture; the skin
// types draw the on-state the subclass answers.
class GStateButton : public GEditorControl {
public:
    int cursorAt(int x, int y) override;                              // pointing hand
    bool onLeftUp(bool shift, bool control, int x, int y) override;   // ends the gesture
    void cancelCapture() override;                                    // ends it too
    virtual bool showsOn() const = 0;  // the state drawn as on

    int parameterIndex() const { return paramIndex; }
    bool isPressed() const { return pressed; }

protected:
    GStateButton(const ControlArgs& args, int paramIndex);

    int paramIndex;
    bool pressed = false;
};

// On/off: each press writes 0 when the shown value is 0.5 or more, else 1.
class GSwitch : public GStateButton {
public:
    GSwitch(const ControlArgs& args, int paramIndex);

    bool onLeftDown(bool shift, bool control, int x, int y) override; // toggles, begins
    bool showsOn() const override { return isOn(); }

    bool isOn() const;  // the shown value is 0.5 or more
};

// Owns band `choice` of lastChoice + 1 equal bands; the top band includes 1.
class GRadio : public GStateButton {
public:
    GRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice);

    bool onLeftDown(bool shift, bool control, int x, int y) override; // selects, begins
    bool showsOn() const override { return selected(); }

    bool selected() const;  // the shown value lies in the band
    double getBandLow() const { return bandLow; }
    double getBandTarget() const { return bandTarget; }  // the value a click writes
    double getBandHigh() const { return bandHigh; }

protected:
    int choice, lastChoice;
    double bandLow, bandTarget, bandHigh;
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

// The indicator drawn over a switch or radio (Base), redrawn when its
// on-state changes. Instantiated for GSwitch and GRadio only.
template <typename Base>
class GStateHighlight : public Base {
public:
    bool needsRedraw() override;  // dirty, or the on-state changed
    void draw(GCanvas* canvas) override;

protected:
    template <typename... BaseArgs>
    explicit GStateHighlight(const GIndicator& indicator, const BaseArgs&... args)
        : Base(args...), indicator(indicator)
    {
    }

private:
    GIndicator indicator;
    bool lastState = false;
};

// An image strip drawn for a switch or radio (Base): (off, on), (off, on,
// pressed) or (off, on, off pressed, on pressed); redrawn when the frame
// changes. Instantiated for GSwitch and GRadio only.
template <typename Base>
class GStateStrip : public Base {
public:
    bool needsRedraw() override;  // dirty, or the frame changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex();

protected:
    template <typename... BaseArgs>
    explicit GStateStrip(GImageResource* image, const BaseArgs&... args)
        : Base(args...), image(image)
    {
    }

private:
    GImageResource* image;
    int lastFrame = -1;
};

extern template class GStateHighlight<GSwitch>;
extern template class GStateHighlight<GRadio>;
extern template class GStateStrip<GSwitch>;
extern template class GStateStrip<GRadio>;

class GHlSwitch : public GStateHighlight<GSwitch> {
public:
    GHlSwitch(const ControlArgs& args, int paramIndex, const GIndicator& indicator);
    // Arguments: parameter, boxX, boxY, boxW, boxH, off, on and press colours.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);
};

class GImgSwitch : public GStateStrip<GSwitch> {
public:
    GImgSwitch(const ControlArgs& args, int paramIndex, GImageResource* image);
    // Arguments: parameter, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);
};

class GHlRadio : public GStateHighlight<GRadio> {
public:
    GHlRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
             const GIndicator& indicator);
    // Arguments: parameter, 0 <= choice <= lastChoice, boxX, boxY, boxW, boxH,
    // off, on and press colours.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);
};

class GImgRadio : public GStateStrip<GRadio> {
public:
    GImgRadio(const ControlArgs& args, int paramIndex, int choice, int lastChoice,
              GImageResource* image);
    // Arguments: parameter, 0 <= choice <= lastChoice, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);
};

}  // namespace Zorv
