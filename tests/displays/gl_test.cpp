// Real drawing on a private Xvfb through Mesa's software GLX: the lit part
// of a meter bar in every direction, and the peak text's hot colour.
#include <gtest/gtest.h>

#include "controls/meters.h"
#include "controls/values.h"
#include "editor/resources.h"
#include "tests/editor/glsession.h"  // X11 macros: after gtest

#include <atomic>
#include <vector>

using namespace Zorv;

namespace {

constexpr int kW = 330, kH = 195;
const unsigned char kBlack[4] = {0, 0, 0, 255};
const unsigned char kBar[4] = {95, 210, 135, 255};
const unsigned char kWhite[4] = {255, 255, 255, 255};
const unsigned char kRed[4] = {255, 0, 0, 255};

class GlDisplayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.failure().empty()) << session.failure(); }

    ControlArgs at(int x, int y, int w, int h)
    {
        ControlArgs args;
        args.x = x;
        args.y = y;
        args.w = w;
        args.h = h;
        return args;
    }

    // Clears the surface and draws the control inside its clip window.
    void paint(GEditorControl& control)
    {
        canvas.ResetClip();
        canvas.FillRectRGB(0, 0, kW, kH, kBlack);
        canvas.SetClip(control.getX(), control.getY(), control.getW(), control.getH());
        control.draw(&canvas);
        pixels = session.readPixels();
    }

    const unsigned char* pixel(int x, int y) const { return &pixels[((size_t)y * kW + x) * 4]; }
    bool is(int x, int y, const unsigned char* rgb) const
    {
        const unsigned char* p = pixel(x, y);
        return p[0] == rgb[0] && p[1] == rgb[1] && p[2] == rgb[2];
    }

    // Pixels of colour rgb in the rectangle.
    int count(int x0, int y0, int w, int h, const unsigned char* rgb) const
    {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                n += is(x, y, rgb) ? 1 : 0;
        return n;
    }

    // Antialiased text pixels of a hue: grey (white ink) or red.
    enum Hue { kGrey, kReddish };
    int countInk(int x0, int y0, int w, int h, Hue hue) const
    {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                const unsigned char* p = pixel(x, y);
                const bool grey = p[0] > 64 && p[0] == p[1] && p[1] == p[2];
                const bool red = p[0] > 64 && p[1] == 0 && p[2] == 0;
                n += (hue == kGrey ? grey : red) ? 1 : 0;
            }
        return n;
    }

    GlSession session{kW, kH};
    GCanvas canvas{session.context(), kW, kH};
    std::vector<unsigned char> pixels;
};

}  // namespace

TEST_F(GlDisplayTest, BarLightsItsFractionInEveryDirection)
{
    std::atomic<double> level{0.5};
    GBarFracMeter horizontal(at(188, 38, 119, 9), &level, kLeftToRight, kBar);
    paint(horizontal);
    EXPECT_EQ(count(188, 38, 119, 9, kBar), 60 * 9);
    EXPECT_EQ(count(188, 38, 60, 9, kBar), 60 * 9);
    EXPECT_EQ(count(0, 0, kW, kH, kBar), 60 * 9);  // nothing outside the bar

    level = 0.004;
    paint(horizontal);
    EXPECT_EQ(count(0, 0, kW, kH, kBar), 0);

    level = 0.25;
    GBarFracMeter fromRight(at(100, 50, 40, 20), &level, kRightToLeft, kBar);
    paint(fromRight);
    EXPECT_EQ(count(130, 50, 10, 20, kBar), 10 * 20);
    EXPECT_EQ(count(0, 0, kW, kH, kBar), 10 * 20);

    GBarFracMeter fromTop(at(100, 50, 20, 40), &level, kTopToBottom, kBar);
    paint(fromTop);
    EXPECT_EQ(count(100, 50, 20, 10, kBar), 20 * 10);
    EXPECT_EQ(count(0, 0, kW, kH, kBar), 20 * 10);

    GBarFracMeter fromBottom(at(100, 50, 20, 40), &level, kBottomToTop, kBar);
    paint(fromBottom);
    EXPECT_EQ(count(100, 80, 20, 10, kBar), 20 * 10);
    EXPECT_EQ(count(0, 0, kW, kH, kBar), 20 * 10);

    level = 2.0;
    GBarFracMeter none(at(100, 50, 20, 40), &level, kDirectionNone, kBar);
    paint(none);
    EXPECT_EQ(count(0, 0, kW, kH, kBar), 0);
}

TEST_F(GlDisplayTest, PeakTextTurnsHotAboveZeroDecibels)
{
    GFontTypeResource face("Kelvo.ttf", "Kelvo");
    face.load(&canvas);
    GFont font(kWhite, 14.0, "Kelvo");
    GFont hot(kRed, 14.0, "Kelvo");
    std::atomic<double> peak{1.0};
    GTextPeak text(at(20, 20, 120, 20), &peak, 0, &font, &hot);

    paint(text);
    EXPECT_GT(countInk(20, 20, 120, 20, kGrey), 20);
    EXPECT_EQ(countInk(0, 0, kW, kH, kReddish), 0);

    peak = 2.0;
    paint(text);
    EXPECT_GT(countInk(20, 20, 120, 20, kReddish), 20);
    EXPECT_EQ(countInk(0, 0, kW, kH, kGrey), 0);
}
