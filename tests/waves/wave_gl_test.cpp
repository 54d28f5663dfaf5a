// Wave displays drawn through Mesa's software GLX on a private Xvfb: the N
// newest columns at the right, cut at the control's edges, the zero and
// level lines, and the zoom bar whose zoom scales columns and levels.
#include <gtest/gtest.h>  // before X11's macros

#include "controls/waves.h"
#include "editor/resources.h"
#include "tests/editor/glsession.h"
#include "tests/skin/skintest.h"
#include "tests/testeffect/testeffect.h"

#include <algorithm>
#include <vector>

using namespace Zorv;

namespace {

constexpr int kW = 330, kH = 195;
constexpr int kColumns = 64;
const unsigned char kRed[4] = {255, 0, 0, 255};
const unsigned char kBlue[4] = {0, 0, 255, 255};
const unsigned char kGreen[4] = {0, 255, 0, 255};
const unsigned char kGrey[4] = {60, 60, 60, 255};
const unsigned char kWhite[4] = {255, 255, 255, 255};
const unsigned char kYellow[4] = {255, 255, 0, 255};
const unsigned char kBlack[4] = {0, 0, 0, 255};
const GWaveColours kColours = {kRed, kBlue, kGreen};

// Wave (100, 20, 100, 60): zero line at row 30, 29 pixels per unit.
constexpr int kWaveX = 100, kWaveY = 20;
// Zoom wave (100, 85, 200, 100): zero line at row 42, 41 pixels per unit, bar rows 84..99.
constexpr int kZoomX = 100, kZoomY = 85;

struct GlWaveFixture {
    GlWaveFixture()
    {
        skin.setSize(kW, kH, 1);
        gl.FillRectRGB(0, 0, kW, kH, kBlack);
        skin.attachCanvas(&gl);
        wave = add(new GWave(args(kWaveX, kWaveY, 100, 60), &effect.getHistory(), level(),
                             nullptr, kColours));
        zoom = add(new GZoomWave(args(kZoomX, kZoomY, 200, 100), &effect.getHistory(), level(),
                                 nullptr, kColours, {kGrey, kWhite, kYellow}, &font));
    }
    ~GlWaveFixture() { skin.detachCanvas(&gl); }

    ControlArgs args(int x, int y, int w, int h) { return {x, y, w, h, 0, nullptr, &effect, &skin}; }
    const std::atomic<double>* level()
    {
        return findFeatureValue<double>(effect.getFeatures(), "Level");
    }
    template <class Control>
    Control* add(Control* control)
    {
        skin.addControl(control);
        return control;
    }
    void draw()
    {
        skin.drawPass(&gl);
        pixels = session.readPixels();
    }
    // Channel c of a pixel, brightest of rows y - 1 and y (a line at y covers both by half).
    int channel(int x, int y, int c) const
    {
        auto at = [&](int row) { return int(pixels[(size_t(row) * kW + x) * 4 + c]); };
        return std::max(at(y - 1), at(y));
    }
    bool red(int x, int y) const { return channel(x, y, 0) > 100 && channel(x, y, 1) < 60; }
    bool blue(int x, int y) const { return channel(x, y, 2) > 100; }
    bool green(int x, int y) const { return channel(x, y, 1) > 100 && channel(x, y, 0) < 60; }
    bool dark(int x, int y) const
    {
        return channel(x, y, 0) < 20 && channel(x, y, 1) < 20 && channel(x, y, 2) < 20;
    }

    testeffect::TestEffect effect{nullptr, kColumns, 16};
    GlSession session{kW, kH};
    GCanvas gl{session.context(), kW, kH};
    GEditorSkin skin{&effect};
    GFont font{kBlack, 10.0, "Kelvo"};
    GWave* wave = nullptr;
    GZoomWave* zoom = nullptr;
    std::vector<unsigned char> pixels;
};

}  // namespace

TEST(WaveDrawing, NewestColumnsAtTheRightCutAtTheEdges)
{
    GlWaveFixture f;
    ASSERT_TRUE(f.session.failure().empty()) << f.session.failure();
    GHistory& history = f.effect.getHistory();
    history.write({-2.0, 2.0, 0.0, 0.0});  // the oldest: beyond both edges
    for (int i = 1; i < kColumns; ++i)
        history.write({-0.5, 0.5, -0.9, -0.6});
    f.effect.setLevel(-0.3);  // outside 0..1: no level line
    f.draw();

    const int right = kWaveX + 99, left = right - (kColumns - 1);
    // A spans rows 15..45, B rows 47..56 of the control.
    EXPECT_TRUE(f.red(right - 10, kWaveY + 20));
    EXPECT_TRUE(f.blue(right - 10, kWaveY + 52));
    EXPECT_FALSE(f.red(right - 10, kWaveY + 10)) << "above A's span";
    EXPECT_TRUE(f.red(left, kWaveY + 1)) << "the oldest column reaches the top";
    EXPECT_TRUE(f.red(left, kWaveY + 59)) << "and the bottom";
    EXPECT_FALSE(f.red(left + 3, kWaveY + 5));
    EXPECT_TRUE(f.dark(left, kWaveY - 1)) << "nothing above the control";
    EXPECT_TRUE(f.dark(left - 3, kWaveY + 20)) << "left of the N columns: background";
    EXPECT_TRUE(f.dark(kWaveX + 5, kWaveY + 20));
    EXPECT_TRUE(f.green(kWaveX + 5, kWaveY + 30)) << "zero line";
    EXPECT_TRUE(f.dark(kWaveX + 5, kWaveY + 21)) << "no line for a level of -0.3";

    f.effect.setLevel(0.3);  // 29 x 0.3 = 8.7: rows 21 and 39
    f.draw();
    EXPECT_TRUE(f.green(kWaveX + 5, kWaveY + 21));
    EXPECT_TRUE(f.green(kWaveX + 5, kWaveY + 39));
    EXPECT_TRUE(f.dark(kWaveX + 5, kWaveY + 25));

    history.write({0.0, 0.0, 0.0, 0.0});  // everything moves one pixel left
    f.effect.setLevel(1.2);
    f.draw();
    EXPECT_TRUE(f.dark(kWaveX + 5, kWaveY + 21)) << "1.2 is ignored, 0.3 wiped";
    EXPECT_FALSE(f.red(right, kWaveY + 20)) << "the newest column is flat";
    EXPECT_FALSE(f.red(left, kWaveY + 2)) << "the oldest column left the ring";
    EXPECT_TRUE(f.red(left, kWaveY + 20)) << "the next one took its place";
    EXPECT_TRUE(f.dark(left - 3, kWaveY + 20));
}

TEST(WaveDrawing, ZoomScalesColumnsAndShowsALevelBeyondOne)
{
    GlWaveFixture f;
    ASSERT_TRUE(f.session.failure().empty()) << f.session.failure();
    for (int i = 0; i < kColumns; ++i)
        f.effect.getHistory().write({-0.5, 0.5, 0.0, 0.0});
    f.effect.setLevel(1.2);  // at 1.00x: 49 px below the zero line, under the bar
    f.draw();
    const int x = kZoomX + 190, bar = kZoomY + 84;
    EXPECT_TRUE(f.red(x, kZoomY + 42 - 20)) << "A spans 21 px each side";
    EXPECT_FALSE(f.red(x, kZoomY + 42 - 23));
    EXPECT_TRUE(f.green(kZoomX + 5, kZoomY + 42));
    EXPECT_TRUE(f.dark(kZoomX + 5, kZoomY + 18));
    EXPECT_NEAR(f.channel(kZoomX + 150, bar + 5, 0), 60, 3) << "bar";
    EXPECT_EQ(f.channel(kZoomX + 83, kZoomY + 86, 0), 255) << "idle handle at x 81";
    EXPECT_EQ(f.channel(kZoomX + 83, kZoomY + 86, 2), 255);

    f.skin.onLeftDown(false, false, kZoomX + 75, bar + 5);  // 0.49x: 1.2 lies 24 px out
    f.draw();
    EXPECT_STREQ(f.zoom->getZoomText(), "0.49x");
    EXPECT_TRUE(f.green(kZoomX + 5, kZoomY + 42 - 24));
    EXPECT_TRUE(f.green(kZoomX + 5, kZoomY + 42 + 24));
    EXPECT_TRUE(f.red(x, kZoomY + 42 - 9)) << "A spans 10 px each side";
    EXPECT_FALSE(f.red(x, kZoomY + 42 - 13));
    const int handleX = kZoomX + f.zoom->getHandle().x;
    EXPECT_EQ(f.channel(handleX + 2, kZoomY + 86, 2), 0) << "active handle";
    EXPECT_EQ(f.channel(handleX + 2, kZoomY + 86, 0), 255);
    EXPECT_NEAR(f.channel(kZoomX + 110, kZoomY + 86, 0), 60, 3) << "the old place is bar again";

    f.skin.onLeftUp(false, false, kZoomX + 75, bar + 5);
    f.draw();
    EXPECT_EQ(f.channel(handleX + 2, kZoomY + 86, 2), 255) << "idle again";
}
