// Meters: displays of a feature the effect updates on its own, such as the
// gate's level "Meter". GBarFracMeter fills a bar whose length is the value,
// GImgFracMeter and GImgMeter pick one frame of an image strip. They take no
// input. They run on the editor's UI thread and read feature values the
// audio thread writes, each as one relaxed load. They borrow the feature
// value from the effect and the colour or image from the skin; own nothing.
#pragma once

#include "controls/canvas.h"
#include "controls/control.h"

#include <atomic>

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;
class GImageResource;

// Bar growth directions; kDirectionNone draws nothing.
enum GMeterDirection : int {
    kDirectionNone = 0,
    kLeftToRight = 1,
    kRightToLeft = 2,
    kTopToBottom = 3,
    kBottomToTop = 4,
};

// Direction of a skin word ("LeftToRight", ... any case); kDirectionNone otherwise.
int ParseMeterDirection(const char* word);

// The family base; adds nothing.
class GMeter : public GEditorControl {
public:
    using GEditorControl::GEditorControl;
};

// A bar filled in a colour over the fraction of its length the value gives.
class GBarFracMeter : public GMeter {
public:
    static constexpr double kTolerance = 1e-4;

    GBarFracMeter(const ControlArgs& args, const std::atomic<double>* value, int direction,
                  const unsigned char* rgba);
    // Skin arguments: double feature, direction word, colour.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;    // dirty, or the fraction moved by kTolerance
    void draw(GCanvas* canvas) override;
    virtual double fraction() const;  // the value clamped to 0..1
    GRect litRect() const;            // the bar's rectangle now; empty without a direction
    GRect litRect(double f) const;    // the bar's rectangle at fraction f

private:
    const std::atomic<double>* value;
    int direction;
    const unsigned char* rgba;
    double lastFraction = 0.0;
};

// Frame (frames - 1) x value of an image, truncated.
class GImgFracMeter : public GMeter {
public:
    GImgFracMeter(const ControlArgs& args, const std::atomic<double>* value,
                  GImageResource* image);
    // Skin arguments: double feature, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;    // dirty, or the frame changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex() const;  // 0 .. frames - 1

private:
    const std::atomic<double>* value;
    GImageResource* image;
    int lastFrame = -1;
};

// Frame value x scale + offset of an image, rounded, for an int feature.
class GImgMeter : public GMeter {
public:
    GImgMeter(const ControlArgs& args, GImageResource* image, const std::atomic<int>* value,
              double scale, double offset);
    // Skin arguments: int feature, scale (> 0), offset, image.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    bool needsRedraw() override;    // dirty, or the frame changed
    void draw(GCanvas* canvas) override;
    virtual int frameIndex() const;  // 0 .. frames - 1

private:
    GImageResource* image;
    const std::atomic<int>* value;
    double scale;
    double offset;
    int lastFrame = -1;
};

// Frame index for a position x along 0 .. frames - 1, truncated and clamped (NaN: 0).
int clampFrame(double x, int frames);

}  // namespace Zorv
