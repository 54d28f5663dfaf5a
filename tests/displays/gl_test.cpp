// Real drawing on a private Xvfb through Mesa's software GLX: a meter bar
// lights exactly its fraction, in every direction, and nothing outside it.
#include <gtest/gtest.h>

#include "controls/meters.h"
#include "tests/editor/glsession.h"  // X11 macros: after gtest

#include <atomic>

using namespace Zorv;

namespace {

constexpr int kW = 330, kH = 195;
const unsigned char kBlack[4] = {0, 0, 0, 255};
const unsigned char kBar[4] = {95, 210, 135, 255};

struct Rect {
    int x, y, w, h;
};

class DisplayGl : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.failure().empty()) << session.failure(); }

    // Bar pixels inside and outside lit after drawing a meter at rect.
    std::pair<int, int> paint(const Rect& rect, int direction, const Rect& lit)
    {
        GBarFracMeter meter({rect.x, rect.y, rect.w, rect.h, 0, nullptr, nullptr, nullptr},
                            &level, direction, kBar);
        canvas.ResetClip();
        canvas.FillRectRGB(0, 0, kW, kH, kBlack);
        canvas.SetClip(rect.x, rect.y, rect.w, rect.h);
        meter.draw(&canvas);
        const std::vector<unsigned char> pixels = session.readPixels();
        int inside = 0, outside = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const unsigned char* p = &pixels[(size_t(y) * kW + x) * 4];
                const bool on = p[0] == kBar[0] && p[1] == kBar[1] && p[2] == kBar[2];
                const bool in = x >= lit.x && x < lit.x + lit.w && y >= lit.y && y < lit.y + lit.h;
                (in ? inside : outside) += on ? 1 : 0;
            }
        return {inside, outside};
    }

    GlSession session{kW, kH};
    GCanvas canvas{session.context(), kW, kH};
    std::atomic<double> level{0.5};
};

}  // namespace

TEST_F(DisplayGl, BarLightsItsFractionInEveryDirection)
{
    const Rect meter{188, 38, 119, 9}, tall{100, 50, 20, 40};
    EXPECT_EQ(paint(meter, kLeftToRight, {188, 38, 60, 9}), std::make_pair(60 * 9, 0));
    level = 0.004;
    EXPECT_EQ(paint(meter, kLeftToRight, {0, 0, 0, 0}), std::make_pair(0, 0));
    level = 0.25;
    EXPECT_EQ(paint(meter, kRightToLeft, {277, 38, 30, 9}), std::make_pair(30 * 9, 0));
    EXPECT_EQ(paint(tall, kTopToBottom, {100, 50, 20, 10}), std::make_pair(20 * 10, 0));
    EXPECT_EQ(paint(tall, kBottomToTop, {100, 80, 20, 10}), std::make_pair(20 * 10, 0));
    level = 2.0;
    EXPECT_EQ(paint(tall, kDirectionNone, {0, 0, 0, 0}), std::make_pair(0, 0));
}
