#include "controls/values.h"

#include "controls/canvas.h"
#include "editor/builder.h"
#include "editor/resources.h"
#include "effect/effect.h"
#include "effect/numbers.h"
#include "xp/tokenreader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

namespace Zorv {

namespace {

constexpr double kSilence = 1e-6;  // feature values below this count as 0
constexpr int kNumberSize = 16;
constexpr int kPeakDecimals = 1;

}  // namespace

// GValue

GValue::GValue(const ControlArgs& args, int paramIndex, const GFont* font)
    : GEditorControl(args), paramIndex(paramIndex), font(font)
{
}

GEditorControl* GValue::create(const ControlArgs& args, XP::TokenReader& tokens,
                               GEditorSkinBuilder& builder)
{
    const int param = builder.findParameter(tokens.next());
    const GFont* font = builder.findFont(tokens.next());
    if (param < 0 || !font)
        return nullptr;
    return new GValue(args, param, font);
}

const char* GValue::text() const
{
    if (!hasParameter(paramIndex))
        return "";
    return effect->getBank().displayText(effect->getProgram(), paramIndex);
}

double GValue::shownValue() const
{
    return GEditorControl::shownValue(paramIndex);
}

bool GValue::needsRedraw()
{
    return GEditorControl::needsRedraw() || movedFromDrawn(shownValue(), lastShown);
}

void GValue::draw(GCanvas* canvas)
{
    // The value first: a change after it, text included, shows as a change next pass.
    // The text is formatted and copied while the bank is held: another thread may read it too.
    char drawn[ProgramBank::kDisplayTextSize];
    double shown = 0.0;
    {
        GEffect::BankLock hold = hasParameter(paramIndex) ? effect->lockBank() : GEffect::BankLock();
        shown = shownValue();
        copyText(drawn, text(), sizeof(drawn) - 1);
    }
    canvas->DrawText(drawn, 0, 0, w, h, font, kAlignCentre);
    lastShown = shown;
}

// GBgValue

GBgValue::GBgValue(const ControlArgs& args, int paramIndex, GImageResource* image,
                   const GFont* font)
    : GValue(args, paramIndex, font), image(image)
{
}

GEditorControl* GBgValue::create(const ControlArgs& args, XP::TokenReader& tokens,
                                 GEditorSkinBuilder& builder)
{
    const int param = builder.findParameter(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    const GFont* font = builder.findFont(tokens.next());
    if (param < 0 || !image || !font)
        return nullptr;
    return new GBgValue(args, param, image, font);
}

void GBgValue::draw(GCanvas* canvas)
{
    image->drawFrame(canvas, 0, 0, 0);
    GValue::draw(canvas);
}

// GLabel

int64_t monotonicMillis()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

GLabel::GLabel(const ControlArgs& args, const char* text, const GFont* font, int align,
               int intervalMs, GMillisClock clock)
    : GEditorControl(args), pattern(text ? text : ""), font(font), align(align),
      intervalMs(intervalMs), clock(std::move(clock))
{
    const bool variable = pattern.find('$') != std::string::npos;
    fixed = !variable || intervalMs <= 0;
    if (variable)
        expand();
    else
        shown = pattern;
}

GEditorControl* GLabel::create(const ControlArgs& args, XP::TokenReader& tokens,
                               GEditorSkinBuilder& builder)
{
    const int align = ParseTextAlign(tokens.next());
    const char* text = tokens.next();
    const GFont* font = builder.findFont(tokens.next());
    const int interval = tokens.nextInt();
    if (!text || !font)
        return nullptr;
    return new GLabel(args, text, font, align, interval);
}

void GLabel::expand()
{
    char buffer[kTextSize] = {};
    if (effect)
        effect->expandVariables(buffer, kTextSize, pattern.c_str());
    shown = buffer;
}

bool GLabel::needsRedraw()
{
    if (GEditorControl::needsRedraw())
        return true;
    if (fixed)
        return false;
    const int64_t now = clock();
    return now - lastDrawMs > intervalMs || now < lastDrawMs;
}

void GLabel::draw(GCanvas* canvas)
{
    if (!fixed)
        expand();
    canvas->DrawText(shown.c_str(), 0, 0, w, h, font, align);
    lastDrawMs = clock();
}

// GPeakDisplay

GPeakDisplay::GPeakDisplay(const ControlArgs& args, const std::atomic<double>* value,
                           int commandId)
    : GEditorControl(args), value(value), commandId(commandId)
{
}

double GPeakDisplay::featureLevel() const
{
    const double v = value ? value->load(std::memory_order_relaxed) : 0.0;
    return v >= kSilence ? v : 0.0;  // also maps NaN to 0
}

int GPeakDisplay::cursorAt(int, int)
{
    return kCursorHand;
}

bool GPeakDisplay::onLeftDown(bool shift, bool control, int, int)
{
    if (effect)
        effect->performCommand(commandId, shift, control);
    requestRedraw();
    return false;
}

// GTextPeak

void formatPeak(char* out, double peak)
{
    const double db = peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
    char number[kNumberSize];
    formatNumber(number, kNumberSize, kPeakDecimals, db);
    snprintf(out, GTextPeak::kTextSize, "Peak: %s dB", number);
}

GTextPeak::GTextPeak(const ControlArgs& args, const std::atomic<double>* value, int commandId,
                     const GFont* font, const GFont* hotFont)
    : GPeakDisplay(args, value, commandId), font(font), hotFont(hotFont)
{
}

GEditorControl* GTextPeak::create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder)
{
    const std::atomic<double>* value = builder.findRealFeature(tokens.next());
    const int command = builder.findCommand(tokens.next());
    const GFont* font = builder.findFont(tokens.next());
    const GFont* hot = builder.findFont(tokens.next());
    if (!value || command < 0 || !font || !hot)
        return nullptr;
    return new GTextPeak(args, value, command, font, hot);
}

double GTextPeak::peakValue() const
{
    return featureLevel();
}

bool GTextPeak::needsRedraw()
{
    return GEditorControl::needsRedraw() || movedFromDrawn(peakValue(), lastShown);
}

void GTextPeak::draw(GCanvas* canvas)
{
    const double peak = peakValue();
    formatPeak(shown, peak);
    lastFont = peak > 1.0 ? hotFont : font;  // above 0 dB
    canvas->DrawText(shown, 0, 0, w, h, lastFont, kAlignCentre);
    lastShown = peak;
}


// GImgPeak

GImgPeak::GImgPeak(const ControlArgs& args, GImageResource* image,
                   const std::atomic<double>* value, int commandId)
    : GPeakDisplay(args, value, commandId), image(image)
{
}

GEditorControl* GImgPeak::create(const ControlArgs& args, XP::TokenReader& tokens,
                                 GEditorSkinBuilder& builder)
{
    const std::atomic<double>* value = builder.findRealFeature(tokens.next());
    const int command = builder.findCommand(tokens.next());
    GImageResource* image = builder.findImage(tokens.next());
    if (!value || command < 0 || !image)
        return nullptr;
    return new GImgPeak(args, image, value, command);
}

int GImgPeak::frameIndex() const
{
    const bool clipped = featureLevel() >= 1.0;
    return clipped && image && image->frameCount() > 1 ? 1 : 0;
}

bool GImgPeak::needsRedraw()
{
    return GEditorControl::needsRedraw() || frameIndex() != lastFrame;
}

void GImgPeak::draw(GCanvas* canvas)
{
    lastFrame = frameIndex();
    image->drawFrame(canvas, 0, 0, lastFrame);
}

}  // namespace Zorv
