// Wave displays: a scrolling picture of an effect's GHistory, one pixel
// column per history column, newest at the right edge, the two signals'
// min-max spans in two colours around a zero line, plus up to two level
// lines (such as a threshold) mirrored about it. GWave draws at a fixed
// scale; GZoomWave adds a zoom bar along its bottom edge whose handle sets a
// vertical zoom over two decades, 0.1x to 10x; the zoom belongs to the
// display only. Both redraw only for a new column or a moved level.
// UI thread only; the history and levels are written by the audio thread and
// read here without locks (see effect/history.h). Borrows the history, the
// level values, colours and font; owns nothing.
#pragma once

#include "controls/canvas.h"
#include "controls/control.h"
#include "effect/history.h"

#include <atomic>
#include <vector>

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditorSkinBuilder;

// Colours of a wave plot: signal A, signal B, zero and level lines.
struct GWaveColours {
    const unsigned char* a;
    const unsigned char* b;
    const unsigned char* line;
};

// The columns of a history, newest at x = w - 1: per pass one batch of
// vertical lines for signal A, then one for B. Keeps the span buffers.
class GWaveColumns {
public:
    void draw(GCanvas* canvas, const GHistory& history, int w, int midY, double pixelsPerUnit,
              int bottom, const GWaveColours& colours);

private:
    std::vector<GSpan> spansA, spansB;
};

// y of a signal value v around midY at the given pixels per unit, rounded
// half away from zero and clamped to 0..bottom (NaN: 0).
int waveY(int midY, double v, double scale, int bottom);

// What GWave and GZoomWave share: the history, the two level features and the
// colours, and the redraw decision: a new column, or a level that moved from
// the one drawn by the display's own rule (levelMoved).
class GWaveDisplay : public GEditorControl {
public:
    bool needsRedraw() override;  // dirty, a new column, or a level moved

protected:
    // level1 and level2 may be null (absent).
    GWaveDisplay(const ControlArgs& args, const GHistory* history,
                 const std::atomic<double>* level1, const std::atomic<double>* level2,
                 const GWaveColours& colours, int midY);
    virtual bool levelMoved(double now, double drawn) const = 0;
    void readLevels(double levels[2]) const;  // the two levels now; 0 for an absent one
    void markDrawn(int count, const double levels[2]);  // what a draw showed

    const GHistory* history;
    const std::atomic<double>* level1;
    const std::atomic<double>* level2;
    GWaveColours colours;
    GWaveColumns columns;
    int midY;
    double scale;  // pixels per unit at zoom 1: midY - 1

private:
    int lastCount = 0;
    double lastLevel1 = 0.0, lastLevel2 = 0.0;
};

class GWave : public GWaveDisplay {
public:
    static constexpr double kLevelTolerance = kValueTolerance;

    // level1 and level2 may be null (absent).
    GWave(const ControlArgs& args, const GHistory* history, const std::atomic<double>* level1,
          const std::atomic<double>* level2, const GWaveColours& colours);
    // Arguments: history, level feature 1, level feature 2, colourA, colourB, colourLine.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;

protected:
    bool levelMoved(double now, double drawn) const override;  // by kLevelTolerance or more
};

class GZoomWave : public GWaveDisplay {
public:
    static constexpr double kLevelTolerance = 0.001;
    static constexpr int kBarHeight = 16;
    static constexpr int kHandleWidth = 40;

    // Colours of the zoom bar.
    struct BarColours {
        const unsigned char* bar;
        const unsigned char* handle;
        const unsigned char* active;  // handle while dragged or reset
    };

    GZoomWave(const ControlArgs& args, const GHistory* history,
              const std::atomic<double>* level1, const std::atomic<double>* level2,
              const GWaveColours& colours, const BarColours& barColours, const GFont* font);
    // Arguments: history, level feature 1, level feature 2, colourA, colourB,
    // colourLine, colourBar, colourHandle, colourHandleActive, font.
    static GEditorControl* create(const ControlArgs& args, XP::TokenReader& tokens,
                                  GEditorSkinBuilder& builder);

    void draw(GCanvas* canvas) override;
    int cursorAt(int x, int y) override;                                // hand on the bar
    bool onLeftDown(bool shift, bool control, int x, int y) override;  // bar only
    bool onLeftUp(bool shift, bool control, int x, int y) override;    // ends a drag
    void onMouseMove(bool shift, bool control, int x, int y) override; // drags the handle
    void cancelCapture() override;                                      // ends a drag

    float getZoom() const { return zoom; }
    const char* getZoomText() const { return zoomText; }
    GRect getHandle() const { return handle; }
    int getDragState() const { return dragState; }  // 0 idle, 1 dragging, 2 reset

protected:
    bool levelMoved(double now, double drawn) const override;  // by more than kLevelTolerance

private:
    bool onBar(int px, int py) const;
    void zoomAt(int px);   // the handle's centre follows the pointer
    void resetZoom();      // 1.00x, handle in the middle
    void setZoom(float z, int offset);
    void drawLevel(GCanvas* canvas, double v);

    BarColours barColours;
    const GFont* font;
    int plotW, plotH;
    GRect bar;
    GRect handleHome;
    GRect handle;
    int handleSpan;
    float zoom = 1.0f;
    char zoomText[8] = {};
    int dragState = 0;
};

}  // namespace Zorv
