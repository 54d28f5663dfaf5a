// Real drawing through Mesa's software GLX on a private Xvfb: the canvas and
// the image and font resources paint into nanovg's frame buffer, and the
// pixels read back match the embedded image and the requested colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "controls/canvas.h"
#include "editor/resources.h"
#include "shell/embedded.h"
#include "tests/editor/glsession.h"
#include "tests/editor/pngdecode.h"

namespace Zorv {
namespace {

constexpr int kW = 330, kH = 195;
constexpr int kTolerance = 3;

struct Pixels {
    std::vector<unsigned char> rgba;
    int w = 0;
    const unsigned char* at(int x, int y) const { return &rgba[((size_t)y * w + x) * 4]; }
};

// The embedded background, decoded by the test itself.
Pixels expectedImage()
{
    uint64_t size = 0;
    const unsigned char* data = findResource("Quelt.png", &size);
    Pixels image;
    int h = 0;
    if (data)
        image.rgba = decodeRgba(data, (int)size, &image.w, &h);
    return image;
}

bool near(const unsigned char* got, const unsigned char* want)
{
    for (int c = 0; c < 3; ++c)
        if (std::abs(got[c] - want[c]) > kTolerance)
            return false;
    return true;
}

// Count of pixels in [x0, x1) x [y0, y1) whose colour is not near want(x, y).
template <class Want>
int mismatches(const Pixels& got, int x0, int y0, int x1, int y1, Want want)
{
    int bad = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            bad += near(got.at(x, y), want(x, y)) ? 0 : 1;
    return bad;
}

class GlCanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.failure().empty()) << session.failure();
        ASSERT_FALSE(png.rgba.empty());
    }

    Pixels read() const { return {session.readPixels(), kW}; }

    // Frame 1 of the background as composited over black.
    std::vector<unsigned char> backgroundAt(int x, int y) const
    {
        const unsigned char* p = png.at(x + kW, y);
        return {(unsigned char)(p[0] * p[3] / 255), (unsigned char)(p[1] * p[3] / 255),
                (unsigned char)(p[2] * p[3] / 255)};
    }

    GlSession session{kW, kH};
    GCanvas canvas{session.context(), kW, kH};
    Pixels png = expectedImage();
};

TEST_F(GlCanvasTest, ImageFrameAndRectanglesLandOnTheirPixels)
{
    GImageResource image("Back", "Quelt.png", kW, kH, 2);
    image.load(&canvas);
    ASSERT_TRUE(image.isUsable());
    EXPECT_EQ(image.imageWidth(), 660);
    EXPECT_EQ(image.imageHeight(), 195);
    EXPECT_EQ(image.columns(), 2);
    EXPECT_EQ(image.rowCount(), 1);

    image.drawFrame(&canvas, 0, 0, 1);
    const unsigned char red[4] = {255, 0, 0, 255};
    canvas.FillRect(10, 10, 40, 20, red);
    const unsigned char green[3] = {0, 255, 0};
    canvas.SetClip(200, 100, 50, 30);
    canvas.FillRectRGB(-20, -20, 200, 200, green);
    canvas.ResetClip();
    const Pixels got = read();

    auto background = [&](int x, int y) {
        static thread_local std::vector<unsigned char> want;
        want = backgroundAt(x, y);
        return want.data();
    };
    auto inRect = [](int x, int y, int x0, int y0, int x1, int y1) {
        return x >= x0 && x < x1 && y >= y0 && y < y1;
    };
    // Borders of one pixel around each painted area are left out of the comparison.
    int bad = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (inRect(x, y, 9, 9, 51, 31) || inRect(x, y, 199, 99, 251, 131))
                continue;
            bad += near(got.at(x, y), background(x, y)) ? 0 : 1;
        }
    EXPECT_EQ(bad, 0) << "background pixels differing from frame 1";
    EXPECT_EQ(mismatches(got, 10, 10, 50, 30, [&](int, int) { return red; }), 0);
    EXPECT_EQ(mismatches(got, 200, 100, 250, 130, [&](int, int) { return green; }), 0)
        << "fill not clipped to its window";
    image.unload(&canvas);
    EXPECT_EQ(image.handle(), 0);
}

TEST_F(GlCanvasTest, ReloadedImageDrawsAgainAndOversizedGridNever)
{
    GImageResource image("Back", "Quelt.png", kW, kH, 2);
    image.load(&canvas);
    image.unload(&canvas);
    image.load(&canvas);
    ASSERT_GT(image.handle(), 0);
    GImageResource tooMany("Many", "Quelt.png", kW, kH, 3);
    tooMany.load(&canvas);
    EXPECT_GT(tooMany.handle(), 0);
    EXPECT_FALSE(tooMany.isUsable());

    tooMany.drawFrame(&canvas, 0, 0, 0);
    image.drawFrame(&canvas, 0, 0, 2);           // past the grid
    image.drawFrame(&canvas, 0, 0, 2000000000);  // far past it
    const unsigned char black[3] = {0, 0, 0};
    EXPECT_EQ(mismatches(read(), 0, 0, kW, kH, [&](int, int) { return black; }), 0);

    image.drawFramePart(&canvas, 1, {100, 50, 30, 20}, {5, 6});
    const Pixels got = read();
    EXPECT_EQ(mismatches(got, 5, 6, 35, 26,
                         [&](int x, int y) {
                             static thread_local std::vector<unsigned char> want;
                             want = backgroundAt(x - 5 + 100, y - 6 + 50);
                             return want.data();
                         }),
              0);
    EXPECT_EQ(mismatches(got, 40, 30, kW, kH, [&](int, int) { return black; }), 0);
    image.unload(&canvas);
    tooMany.unload(&canvas);
}

TEST_F(GlCanvasTest, TextOfAnInstalledFaceStaysInItsClip)
{
    GFontTypeResource face("kelvo.TTF", "Kelvo");
    face.load(&canvas);
    const unsigned char white[4] = {255, 255, 255, 255};
    GFont font(white, 18, "Kelvo");
    GFont unknown(white, 18, "Missing");

    canvas.SetClip(20, 20, 120, 30);
    canvas.DrawText("Quelt gate", 0, 0, 200, 30, &font, kAlignLeft);
    canvas.ResetClip();
    canvas.DrawText("Quelt gate", 20, 100, 200, 30, &unknown, kAlignLeft);
    const Pixels got = read();

    int lit = 0;
    for (int y = 20; y < 50; ++y)
        for (int x = 20; x < 140; ++x)
            lit += got.at(x, y)[0] > 128 ? 1 : 0;
    EXPECT_GT(lit, 50);
    const unsigned char black[3] = {0, 0, 0};
    auto dark = [&](int, int) { return black; };
    EXPECT_EQ(mismatches(got, 140, 0, kW, kH, dark), 0) << "text escaped its clip";
    EXPECT_EQ(mismatches(got, 0, 50, 140, kH, dark), 0) << "unknown face drew text";
}

}  // namespace
}  // namespace Zorv
