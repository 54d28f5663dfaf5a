// Value and text displays: read-outs of a parameter's display text (GValue,
// GBgValue over an image), labels whose "${Name}" variables are expanded
// and re-expanded on their refresh interval (GLabel), and peak read-outs of a
// double feature that run a command when clicked (GTextPeak in decibels,
// GImgPeak as a clip light, both on GPeakDisplay). All run on the editor's UI thread. Each borrows
// its fonts and images from the skin and its parameter, feature and command
// from the effect; a label owns its template and its expanded text.
#pragma once

#include "controls/control.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;
class GFont;
class GImageResource;

// A parameter's display text (value, space, unit) of the current program, centred.
class GValue : public GEditorControl {
public:
    GValue(const ControlArgs& args, int paramIndex, const GFont* font);
    // Skin arguments: parameter, font.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;      // dirty, or the shown value moved
    void draw(GCanvas* canvas) override;

    const char* text() const;         // the display text; empty without it; hold the bank lock
    double shownValue() const;        // quantised value of the current program; 0 without it

protected:
    int paramIndex;
    const GFont* font;
    double lastShown = 0.0;
};

// A GValue drawn over frame 0 of an image.
class GBgValue : public GValue {
public:
    GBgValue(const ControlArgs& args, int paramIndex, GImageResource* image, const GFont* font);
    // Skin arguments: parameter, image, font.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;

private:
    GImageResource* image;
};

// Milliseconds of a monotonic clock.
using GMillisClock = std::function<int64_t()>;
int64_t monotonicMillis();

// One line of text; with variables and a positive interval it is expanded
// again at the first repaint after each interval.
class GLabel : public GEditorControl {
public:
    static constexpr int kTextSize = 384;

    GLabel(const ControlArgs& args, const char* text, const GFont* font, int align,
           int intervalMs, GMillisClock clock = monotonicMillis);
    // Skin arguments: alignment word, text, font, refresh interval in ms.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;      // dirty, or a variable label's interval has passed
    void draw(GCanvas* canvas) override;

    const char* text() const { return shown.c_str(); }  // the text as last expanded
    bool isStatic() const { return fixed; }             // never expanded again

private:
    void expand();

    std::string pattern;
    std::string shown;
    const GFont* font;
    int align;
    int intervalMs;
    bool fixed;
    GMillisClock clock;
    int64_t lastDrawMs = 0;
};

// What GTextPeak and GImgPeak share: a double feature read as a peak, and a
// click anywhere on them that runs a command with the click's Shift and Ctrl.
class GPeakDisplay : public GEditorControl {
public:
    int cursorAt(int x, int y) override;                              // pointing hand
    bool onLeftDown(bool shift, bool control, int x, int y) override; // runs the command

protected:
    GPeakDisplay(const ControlArgs& args, const std::atomic<double>* value, int commandId);
    double featureLevel() const;  // the feature's value; 0 below 1e-6

    const std::atomic<double>* value;
    int commandId;
};

// "Peak: <dB> dB" of a double feature, in the hot font above 0 dB.
class GTextPeak : public GPeakDisplay {
public:
    static constexpr int kTextSize = 32;

    GTextPeak(const ControlArgs& args, const std::atomic<double>* value, int commandId,
              const GFont* font, const GFont* hotFont);
    // Skin arguments: double feature, command, font, hot font.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;      // dirty, or the peak moved
    void draw(GCanvas* canvas) override;
    virtual double peakValue() const;  // the feature's value; 0 below 1e-6

    const char* text() const { return shown; }          // the text as last drawn
    const GFont* shownFont() const { return lastFont; }  // its font; null before a draw

private:
    const GFont* font;
    const GFont* hotFont;
    double lastShown = 0.0;
    char shown[kTextSize] = {};
    const GFont* lastFont = nullptr;
};

// A clip light: frame 1 of its image once the feature reaches 1.0, else frame 0.
class GImgPeak : public GPeakDisplay {
public:
    GImgPeak(const ControlArgs& args, GImageResource* image, const std::atomic<double>* value,
             int commandId);
    // Skin arguments: double feature, command, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;      // dirty, or the frame changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex() const;   // 0 or 1, never past the image's last frame

private:
    GImageResource* image;
    int lastFrame = -1;
};

// The text "Peak: <dB> dB" of a linear peak into out (kTextSize bytes).
void formatPeak(char* out, double peak);

}  // namespace Zorv
