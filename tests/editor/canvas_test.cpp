// Clip window and text anchor arithmetic of the canvas, and the alignment
// words of the skin; no GL context is needed for any of it.
#include <gtest/gtest.h>

#include <climits>

#include "controls/canvas.h"
#include "nanovg.h"

namespace Zorv {
namespace {

void expectClip(const GCanvas& canvas, int x, int y, int w, int h)
{
    const GRect clip = canvas.clip();
    EXPECT_EQ(clip.x, x);
    EXPECT_EQ(clip.y, y);
    EXPECT_EQ(clip.w, w);
    EXPECT_EQ(clip.h, h);
}

TEST(CanvasClip, StartsAsWholeSurfaceAndClampsToIt)
{
    GCanvas canvas(nullptr, 330, 195);
    expectClip(canvas, 0, 0, 330, 195);

    canvas.SetClip(-5, 10, 50, 50);
    expectClip(canvas, 0, 10, 50, 50);
    canvas.SetClip(300, 180, 50, 50);
    expectClip(canvas, 300, 180, 30, 15);
    canvas.SetClip(400, 250, 10, 10);
    expectClip(canvas, 330, 195, 0, 0);
    canvas.SetClip(0, 0, 330, 195);
    expectClip(canvas, 0, 0, 330, 195);
    canvas.SetClip(5, 5, -3, -4);
    expectClip(canvas, 5, 5, -3, -4);

    canvas.ResetClip();
    expectClip(canvas, 0, 0, 330, 195);
}

TEST(CanvasClip, HugeSurfacesAndSizesStayInside)
{
    const int big = INT_MAX - 5;
    GCanvas canvas(nullptr, big, big);
    canvas.SetClip(10, 20, INT_MAX, INT_MAX);
    expectClip(canvas, 10, 20, big - 10, big - 20);
    canvas.SetClip(big - 1, 0, 100, big);
    expectClip(canvas, big - 1, 0, 1, big);
    canvas.SetClip(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    expectClip(canvas, big, big, 0, 0);
}

TEST(CanvasText, AnchorsByAlignmentBelowTheBoxCentre)
{
    GCanvas canvas(nullptr, 330, 195);
    GTextAnchor right = canvas.textAnchor(10, 0, 60, 15, kAlignRight);
    EXPECT_EQ(right.flags, 20);
    EXPECT_EQ(right.x, 70.0f);
    EXPECT_EQ(right.y, 9.0f);

    GTextAnchor left = canvas.textAnchor(10, 0, 60, 15, kAlignLeft);
    EXPECT_EQ(left.flags, 17);
    EXPECT_EQ(left.x, 10.0f);

    GTextAnchor centre = canvas.textAnchor(10, 4, 61, 20, 7);
    EXPECT_EQ(centre.flags, 18);
    EXPECT_EQ(centre.x, 41.0f);  // 40.5 rounds away from zero
    EXPECT_EQ(centre.y, 16.0f);  // 20 * 0.55 + 4 + 0.5 = 15.5

    canvas.SetClip(100, 50, 80, 40);
    right = canvas.textAnchor(10, 0, 60, 15, kAlignRight);
    EXPECT_EQ(right.x, 170.0f);
    EXPECT_EQ(right.y, 59.0f);
}

TEST(CanvasText, ParsesAlignmentByFirstLetter)
{
    EXPECT_EQ(ParseTextAlign("right"), kAlignRight);
    EXPECT_EQ(ParseTextAlign("CENTRE"), kAlignCentre);
    EXPECT_EQ(ParseTextAlign("Center"), kAlignCentre);
    EXPECT_EQ(ParseTextAlign("Left"), kAlignLeft);
    EXPECT_EQ(ParseTextAlign("rubbish"), kAlignRight);
    EXPECT_EQ(ParseTextAlign("x"), kAlignLeft);
    EXPECT_EQ(ParseTextAlign(""), kAlignLeft);
    EXPECT_EQ(ParseTextAlign(nullptr), kAlignLeft);
}

TEST(CanvasDraw, WithoutContextOrArgumentsDrawsNothing)
{
    GCanvas canvas(nullptr, 330, 195);
    const unsigned char colour[4] = {1, 2, 3, 4};
    const GVertex points[2] = {{0, 0}, {5, 5}};
    const GRect src = {0, 0, 10, 10};
    const GPoint dst = {0, 0};
    canvas.FillRectRGB(0, 0, 5, 5, colour);
    canvas.FillRect(0, 0, 5, 5, colour);
    canvas.DrawRect(0, 0, 5, 5, colour);
    canvas.DrawHLine(0, 1, 5, colour);
    canvas.DrawVLine(1, 0, 5, colour);
    const GSpan spans[2] = {{1, 0, 5}, {2, 5, 0}};
    canvas.DrawVLines(spans, 2, colour);
    canvas.DrawVLines(nullptr, 2, colour);
    canvas.DrawLine(colour, 0, 0, 5, 5, 2);
    canvas.FillCircle(colour, 3, 3, 2);
    canvas.DrawPolyline(points, 2, colour, 1);
    canvas.DrawImage(1, &src, &dst);
    canvas.DrawImage(1, nullptr, &dst);
    canvas.DrawText("x", 0, 0, 5, 5, nullptr, 0);
    canvas.FillRect(0, 0, 5, 5, nullptr);
    SUCCEED();
}

}  // namespace
}  // namespace Zorv
