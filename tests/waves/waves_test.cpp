// Wave displays without GL: signal rows rounded and clamped, the zoom bar's
// two decades and its handle, the gestures on it, redraws only for a new
// column or a moved level, and the skin factories.
#include "controls/waves.h"
#include "editor/builder.h"
#include "editor/resources.h"
#include "gate/quelt.h"
#include "tests/skin/skintest.h"
#include "tests/testeffect/testeffect.h"
#include "tests/text/memory_reader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace Zorv;

namespace {

const unsigned char kRed[4] = {255, 0, 0, 255};
const unsigned char kBlue[4] = {0, 0, 255, 255};
const unsigned char kGreen[4] = {0, 255, 0, 255};
const GWaveColours kColours = {kRed, kBlue, kGreen};
const GZoomWave::BarColours kBar = {kRed, kBlue, kGreen};
constexpr double kInf = std::numeric_limits<double>::infinity();

struct WaveFixture {
    WaveFixture()
    {
        skin.setSize(330, 195, 1);
        skin.setWindow(&window);
    }
    ControlArgs args(int x, int y, int w, int h) { return {x, y, w, h, 0, nullptr, &effect, &skin}; }
    const std::atomic<double>* feature(const char* name)
    {
        return findFeatureValue<double>(effect.getFeatures(), name);
    }
    // A 200 x 116 zoom display at (100, 20): its bar spans y 120..135.
    GZoomWave* zoomWave()
    {
        auto* wave = new GZoomWave(args(100, 20, 200, 116), &effect.getHistory(),
                                   feature("Level"), nullptr, kColours, kBar, &font);
        skin.addControl(wave);
        return wave;
    }
    void press(bool control, int x) { skin.onLeftDown(false, control, 100 + x, 128); }

    testeffect::TestEffect effect{nullptr, 64, 16};
    GEditorSkin skin{&effect};
    GCanvas canvas{nullptr, 330, 195};
    skintest::CountingWindow window;
    GFont font{kRed, 10.0, "Kelvo"};
};

}  // namespace

TEST(WaveRows, RoundHalfAwayFromZeroAndClampToTheControl)
{
    const struct {
        double v;
        int y;
    } rows[] = {{0.0, 30},  {0.5, 15},  {-0.5, 45}, {1.0, 1},  {-1.0, 59}, {2.0, 0},
                {-2.0, 60}, {kInf, 0},  {-kInf, 60}, {1e300, 0}, {-1e300, 60}};
    for (const auto& row : rows)
        EXPECT_EQ(waveY(30, row.v, 29.0, 60), row.y) << row.v;  // 0.5 x 29 = 14.5 -> 15
    EXPECT_EQ(waveY(30, std::nan(""), 29.0, 60), 0);
}

TEST(ZoomBar, HandleAndTextFollowTwoDecades)
{
    WaveFixture f;
    GZoomWave* wave = f.zoomWave();
    EXPECT_EQ(wave->getHandle().x, 81) << "1 + round(159 x 0.5)";
    EXPECT_EQ(wave->getHandle().y, 101);
    EXPECT_EQ(wave->getHandle().w, 40);
    EXPECT_EQ(wave->getHandle().h, 14);
    EXPECT_STREQ(wave->getZoomText(), "1.00x");

    f.press(false, 20);
    EXPECT_EQ(f.skin.getCaptureIndex(), 0);
    EXPECT_EQ(wave->getDragState(), 1);
    EXPECT_FLOAT_EQ(wave->getZoom(), 0.1f);
    EXPECT_EQ(wave->getHandle().x, 1);
    EXPECT_STREQ(wave->getZoomText(), "0.10x");

    f.skin.onMouseMove(false, false, 200, 300);  // x 100: the middle, any height
    EXPECT_STREQ(wave->getZoomText(), "1.01x");
    EXPECT_EQ(wave->getHandle().x, 81);
    f.skin.onMouseMove(false, false, 100 + 199, 128);
    EXPECT_FLOAT_EQ(wave->getZoom(), 10.0f);
    EXPECT_STREQ(wave->getZoomText(), "10.00x");
    EXPECT_EQ(wave->getHandle().x, 160) << "the handle's right edge at the bar's";
    f.skin.onMouseMove(false, false, -5000, 128);
    EXPECT_STREQ(wave->getZoomText(), "0.10x");
    f.skin.onLeftUp(false, false, -5000, 128);
    EXPECT_EQ(wave->getDragState(), 0);
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);

    f.skin.onMouseMove(false, false, 100 + 199, 128);  // not dragging: no change
    EXPECT_STREQ(wave->getZoomText(), "0.10x");
}

TEST(ZoomBar, CtrlClickResetsAndOnlyTheBarTakesThePointer)
{
    WaveFixture f;
    GZoomWave* wave = f.zoomWave();
    f.press(false, 199);
    f.skin.onLeftUp(false, false, 299, 128);
    ASSERT_STREQ(wave->getZoomText(), "10.00x");

    f.press(true, 30);
    EXPECT_STREQ(wave->getZoomText(), "1.00x");
    EXPECT_EQ(wave->getHandle().x, 81);
    EXPECT_EQ(wave->getDragState(), 2);
    f.skin.onMouseMove(false, false, 120, 128);
    EXPECT_STREQ(wave->getZoomText(), "1.00x") << "a reset does not drag";
    EXPECT_TRUE(f.skin.onLeftUp(false, true, 120, 128));
    EXPECT_EQ(wave->getDragState(), 0);

    EXPECT_FALSE(f.skin.onLeftDown(false, false, 150, 119)) << "just above the bar";
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_EQ(f.skin.cursorAt(150, 119), kCursorDefault);
    EXPECT_EQ(f.skin.cursorAt(150, 120), kCursorHand);
    EXPECT_EQ(f.skin.cursorAt(299, 135), kCursorHand);

    f.press(false, 50);
    EXPECT_EQ(f.skin.cursorAt(150, 30), kCursorHand) << "anywhere while dragging";
    wave->cancelCapture();
    EXPECT_EQ(wave->getDragState(), 0);
}

TEST(WaveRedraw, OnlyForANewColumnOrAMovedLevel)
{
    WaveFixture f;
    auto* wave = new GWave(f.args(0, 0, 100, 60), &f.effect.getHistory(), f.feature("Level"),
                           nullptr, kColours);
    f.skin.addControl(wave);
    GZoomWave* zoom = f.zoomWave();
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(wave->needsRedraw());
    EXPECT_FALSE(zoom->needsRedraw());

    f.effect.getHistory().write({-0.1, 0.1, -0.2, 0.2});
    EXPECT_TRUE(wave->needsRedraw());
    EXPECT_TRUE(zoom->needsRedraw());
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(wave->needsRedraw());

    f.effect.setLevel(0.5 + 5e-6);  // Level starts at the parameter's 0.5
    EXPECT_FALSE(wave->needsRedraw());
    f.effect.setLevel(0.5 + 5e-4);
    EXPECT_TRUE(wave->needsRedraw());
    EXPECT_FALSE(zoom->needsRedraw()) << "the zoom display waits for 0.001";
    f.effect.setLevel(0.5 + 2e-3);
    EXPECT_TRUE(zoom->needsRedraw());
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(zoom->needsRedraw());
    f.press(false, 30);
    EXPECT_TRUE(zoom->needsRedraw()) << "a new zoom";
    EXPECT_FALSE(wave->needsRedraw());
}

TEST(WaveFactory, HistoryColoursAndOptionalLevels)
{
    testeffect::TestEffect effect(nullptr);
    const std::string prelude = "Init 330 195 1\n"
                                "AddResource c RGBColour 200 0 0\n"
                                "AddResource f DefFont 10 c \"Kelvo\"\n";
    std::vector<std::unique_ptr<GEditorSkin>> skins;
    auto count = [&](const std::string& line) {
        MemoryReader source(prelude + line + "\n");
        XP::TokenReader tokens(&source);
        GEditorSkinBuilder builder(&effect);
        skins.emplace_back(builder.buildSkin(tokens));
        return skins.back()->getControls().getCount();
    };
    const struct {
        const char* line;
        int made;
    } cases[] = {
        {"AddControl 1 0 0 100 60 GWave Wave Level Peak c c c", 1},
        {"AddControl 1 0 0 100 60 gwave Wave Null Missing c c c", 1},
        {"AddControl 1 0 0 100 60 GWave Wave Wave Steps c c c", 1},
        {"AddControl 1 0 0 100 60 GWave Level Null Null c c c", 0},
        {"AddControl 1 0 0 100 60 GWave Missing Null Null c c c", 0},
        {"AddControl 1 0 0 100 60 GWave Wave Null Null c c Null", 0},
        {"AddControl 1 0 0 100 60 GWave Wave Null Null c f c", 0},
        {"AddControl 1 0 0 100 60 GWave Wave Null Null c c", 0},
        {"AddControl 1 0 0 200 116 GZoomWave Wave Level Null c c c c c c f", 1},
        {"AddControl 1 0 0 200 116 gzoomwave Wave Null Null c c c c c c f", 1},
        {"AddControl 1 0 0 200 116 GZoomWave Steps Null Null c c c c c c f", 0},
        {"AddControl 1 0 0 200 116 GZoomWave Wave Null Null c c c c c Null f", 0},
        {"AddControl 1 0 0 200 116 GZoomWave Wave Null Null c c c c c c c", 0},
        {"AddControl 1 0 0 200 116 GZoomWave Wave Null Null c c c c c c", 0},
        {"AddControl 1 0 0 10 30 GZoomWave Wave Null Null c c c c c c f", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(count(c.line), c.made) << c.line;

    Quelt gate(nullptr);  // no history: a skin for the gate gets no wave
    MemoryReader source(prelude + "AddControl 1 0 0 100 60 GWave Meter Meter Null c c c\n");
    XP::TokenReader tokens(&source);
    GEditorSkinBuilder builder(&gate);
    std::unique_ptr<GEditorSkin> skin(builder.buildSkin(tokens));
    EXPECT_EQ(skin->getControls().getCount(), 0);
}

TEST(ZoomBar, NarrowAndAbsurdSizesStayFinite)
{
    WaveFixture f;
    auto* wave = new GZoomWave(f.args(0, 0, 30, 40), &f.effect.getHistory(), nullptr, nullptr,
                               kColours, kBar, &f.font);
    f.skin.addControl(wave);  // handle span 30 - 41 < 0
    for (int x : {0, 10, 20, 29}) {
        f.skin.onLeftDown(false, false, x, 30);
        EXPECT_GE(wave->getZoom(), 0.1f) << x;
        EXPECT_LE(wave->getZoom(), 10.0f) << x;
        f.skin.onLeftUp(false, false, x, 30);
    }
    GZoomWave tiny(f.args(0, 0, INT_MIN, INT_MIN), &f.effect.getHistory(), nullptr, nullptr,
                   kColours, kBar, &f.font);  // no overflow (the sanitizer build traps one)
    EXPECT_EQ(tiny.getHandle().y, INT_MIN);
    EXPECT_STREQ(tiny.getZoomText(), "1.00x");
    GWave flat(f.args(0, 0, 100, INT_MIN), &f.effect.getHistory(), f.feature("Level"), nullptr,
               kColours);
    f.effect.setLevel(1.0);
    flat.draw(&f.canvas);  // its level lines lie far outside: not drawn, no overflow
    tiny.draw(&f.canvas);
}
