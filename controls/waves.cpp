#include "controls/waves.h"

#include "editor/builder.h"
#include "xp/tokenreader.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace Zorv {

namespace {

constexpr float kMinZoom = 0.1f;
constexpr float kMaxZoom = 10.0f;
constexpr float kZoomRange = 100.0f;  // two decades
constexpr int kPointerToCentre = 20;  // from the handle's left edge to its centre
constexpr int kHandleInset = 1;
constexpr int kHandleHeight = 14;

// a - b for b >= 0, held at INT_MIN: skin sizes may be anything.
int minus(int a, int b)
{
    return a < INT_MIN + b ? INT_MIN : a - b;
}

double levelOf(const std::atomic<double>* level)
{
    return level ? level->load(std::memory_order_relaxed) : 0.0;
}

struct Levels {
    const std::atomic<double>* level1;
    const std::atomic<double>* level2;
};

// History, two level features and three colours: the arguments both types share.
bool readWaveArguments(XP::TokenReader& tokens, GEditorSkinBuilder& builder,
                       const GHistory*& history, Levels& levels, GWaveColours& colours)
{
    history = builder.findHistory(tokens.next());
    levels.level1 = builder.findRealFeature(tokens.next());
    levels.level2 = builder.findRealFeature(tokens.next());
    colours.a = builder.findColour(tokens.next());
    colours.b = builder.findColour(tokens.next());
    colours.line = builder.findColour(tokens.next());
    return history && colours.a && colours.b && colours.line;
}

}  // namespace

int waveY(int midY, double v, double scale, int bottom)
{
    const double y = midY - std::round(v * scale);
    if (!(y > 0.0))
        return 0;
    return y < bottom ? int(y) : bottom;
}

void GWaveColumns::draw(GCanvas* canvas, const GHistory& history, int w, int midY,
                        double pixelsPerUnit, int bottom, const GWaveColours& colours)
{
    const int wp = history.writePosition();
    const int n = w < history.size() ? w : history.size();
    spansA.resize(size_t(n > 0 ? n : 0));
    spansB.resize(spansA.size());
    for (int i = 0; i < n; ++i) {
        const GHistoryColumn c = history.column(i, wp);
        const int x = w - 1 - i;
        spansA[size_t(i)] = {x, waveY(midY, c.minA, pixelsPerUnit, bottom),
                             waveY(midY, c.maxA, pixelsPerUnit, bottom)};
        spansB[size_t(i)] = {x, waveY(midY, c.minB, pixelsPerUnit, bottom),
                             waveY(midY, c.maxB, pixelsPerUnit, bottom)};
    }
    canvas->DrawVLines(spansA.data(), n, colours.a);
    canvas->DrawVLines(spansB.data(), n, colours.b);
}

// GWaveDisplay

GWaveDisplay::GWaveDisplay(const ControlArgs& args, const GHistory* history,
                           const std::atomic<double>* level1, const std::atomic<double>* level2,
                           const GWaveColours& colours, int midY)
    : GEditorControl(args), history(history), level1(level1), level2(level2), colours(colours),
      midY(midY), scale(midY - 1.0)
{
}

bool GWaveDisplay::needsRedraw()
{
    return GEditorControl::needsRedraw() || history->columnCount() != lastCount ||
           levelMoved(levelOf(level1), lastLevel1) || levelMoved(levelOf(level2), lastLevel2);
}

void GWaveDisplay::readLevels(double levels[2]) const
{
    levels[0] = levelOf(level1);
    levels[1] = levelOf(level2);
}

void GWaveDisplay::markDrawn(int count, const double levels[2])
{
    lastCount = count;
    lastLevel1 = levels[0];
    lastLevel2 = levels[1];
}

// GWave

GWave::GWave(const ControlArgs& args, const GHistory* history, const std::atomic<double>* level1,
             const std::atomic<double>* level2, const GWaveColours& colours)
    : GWaveDisplay(args, history, level1, level2, colours, args.h / 2)
{
}

GEditorControl* GWave::create(const ControlArgs& args, XP::TokenReader& tokens,
                              GEditorSkinBuilder& builder)
{
    const GHistory* history = nullptr;
    Levels levels{};
    GWaveColours colours{};
    if (!readWaveArguments(tokens, builder, history, levels, colours))
        return nullptr;
    return new GWave(args, history, levels.level1, levels.level2, colours);
}

bool GWave::levelMoved(double now, double drawn) const
{
    return movedFromDrawn(now, drawn);
}

void GWave::draw(GCanvas* canvas)
{
    const int count = history->columnCount();
    columns.draw(canvas, *history, w, midY, scale, h, colours);
    canvas->DrawHLine(0, midY, w, colours.line);
    double levels[2];
    readLevels(levels);
    for (double v : levels) {
        if (!(v >= 0.0 && v <= 1.0))
            continue;
        const double o = std::round(scale * v);
        for (double y : {midY - o, midY + o})
            if (y >= 0.0 && y <= h)  // beyond, not a pixel of it would show
                canvas->DrawHLine(0, int(y), w, colours.line);
    }
    markDrawn(count, levels);
}

// GZoomWave

GZoomWave::GZoomWave(const ControlArgs& args, const GHistory* history,
                     const std::atomic<double>* level1, const std::atomic<double>* level2,
                     const GWaveColours& colours, const BarColours& barColours, const GFont* font)
    : GWaveDisplay(args, history, level1, level2, colours, minus(args.h, kBarHeight) / 2),
      barColours(barColours), font(font), plotW(args.w), plotH(args.h),
      bar{0, minus(args.h, kBarHeight), args.w, kBarHeight},
      handleHome{kHandleInset, minus(args.h, kBarHeight - kHandleInset), kHandleWidth, kHandleHeight},
      handle(handleHome), handleSpan(minus(args.w, kHandleWidth + kHandleInset))
{
    resetZoom();
}

GEditorControl* GZoomWave::create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder)
{
    const GHistory* history = nullptr;
    Levels levels{};
    GWaveColours colours{};
    const bool wave = readWaveArguments(tokens, builder, history, levels, colours);
    BarColours barColours{};
    barColours.bar = builder.findColour(tokens.next());
    barColours.handle = builder.findColour(tokens.next());
    barColours.active = builder.findColour(tokens.next());
    const GFont* font = builder.findFont(tokens.next());
    if (!wave || !barColours.bar || !barColours.handle || !barColours.active || !font)
        return nullptr;
    return new GZoomWave(args, history, levels.level1, levels.level2, colours, barColours, font);
}

void GZoomWave::setZoom(float z, int offset)
{
    zoom = z;
    handle = handleHome;
    handle.x += offset;
    snprintf(zoomText, sizeof(zoomText), "%.2fx", double(zoom));
    dirty = true;
}

void GZoomWave::resetZoom()
{
    setZoom(1.0f, int(std::lround(handleSpan * 0.5)));
}

void GZoomWave::zoomAt(int px)
{
    const float span = float(handleSpan > 0 ? handleSpan : 1);
    const float z = std::pow(kZoomRange, float(px - kPointerToCentre - bar.x) / span) * kMinZoom;
    if (z <= kMinZoom)
        setZoom(kMinZoom, 0);
    else if (z < kMaxZoom)
        setZoom(z, int(std::lround(std::log2(z / kMinZoom) * handleSpan / std::log2(kZoomRange))));
    else
        setZoom(kMaxZoom, handleSpan);
}

bool GZoomWave::onBar(int px, int py) const
{
    return px >= bar.x && px < bar.x + bar.w && py >= bar.y && py < bar.y + bar.h;
}

int GZoomWave::cursorAt(int px, int py)
{
    return dragState != 0 || onBar(px, py) ? kCursorHand : kCursorDefault;
}

bool GZoomWave::onLeftDown(bool, bool control, int px, int py)
{
    if (!onBar(px, py))
        return false;
    if (control) {
        resetZoom();
        dragState = 2;
    } else {
        zoomAt(px);
        dragState = 1;
    }
    requestRedraw();
    return true;
}

void GZoomWave::onMouseMove(bool, bool, int px, int)
{
    if (dragState != 1)
        return;
    zoomAt(px);
    requestRedraw();
}

bool GZoomWave::onLeftUp(bool, bool, int, int)
{
    if (dragState == 0)
        return false;
    dragState = 0;
    requestRedraw();
    return true;
}

void GZoomWave::cancelCapture()
{
    onLeftUp(false, false, 0, 0);
}

bool GZoomWave::levelMoved(double now, double drawn) const
{
    return std::fabs(now - drawn) > kLevelTolerance;
}

void GZoomWave::drawLevel(GCanvas* canvas, double v)
{
    const double o = std::round(v * zoom * scale);
    if (!(o > 0.0))
        return;
    if (midY - o >= 0.0 && midY - o < plotH)
        canvas->DrawHLine(0, int(midY - o), plotW, colours.line);
    if (midY + o >= 0.0 && midY + o < plotH)
        canvas->DrawHLine(0, int(midY + o), plotW, colours.line);
}

void GZoomWave::draw(GCanvas* canvas)
{
    const int count = history->columnCount();
    columns.draw(canvas, *history, plotW, midY, zoom * scale, plotH, colours);
    canvas->DrawHLine(0, midY, plotW, colours.line);
    double levels[2];
    readLevels(levels);
    for (double v : levels)
        drawLevel(canvas, v);
    canvas->FillRect(bar.x, bar.y, bar.w, bar.h, barColours.bar);
    canvas->FillRect(handle.x, handle.y, handle.w, handle.h,
                     dragState != 0 ? barColours.active : barColours.handle);
    canvas->DrawText(zoomText, handle.x, handle.y, handle.w, handle.h, font, kAlignCentre);
    markDrawn(count, levels);
}

}  // namespace Zorv
