// Framed images on scaled canvases, drawn through Mesa's software GLX: the
// "@2x" twin lands pixel for pixel at scale 2, scale 1 stays exact, and art
// drawn at any other ratio of image to device pixels is filtered smoothly,
// matching a bilinear reference computed here. A twin short of frames is
// passed over, and a new scale reloads the image.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "controls/canvas.h"
#include "editor/resources.h"
#include "shell/embedded.h"
#include "tests/editor/glsession.h"
#include "tests/editor/pngdecode.h"

namespace Zorv {
namespace {

constexpr int kFrameW = 330, kFrameH = 195;
constexpr int kSmoothTolerance = 3;

struct Pixels {
    std::vector<unsigned char> rgba;
    int w = 0, h = 0;
    const unsigned char* at(int x, int y) const { return &rgba[((size_t)y * w + x) * 4]; }
};

Pixels embeddedImage(const char* name)
{
    uint64_t size = 0;
    const unsigned char* data = findResource(name, &size);
    Pixels image;
    if (data)
        image.rgba = decodeRgba(data, (int)size, &image.w, &image.h);
    return image;
}

Pixels read(const GlSession& session, int w, int h)
{
    return {session.readPixels(), w, h};
}

// Device pixels in [x0, x1) x [y0, y1) whose colour differs from
// want(x, y) by more than tolerance in any channel.
template <class Want>
int mismatches(const Pixels& got, int x0, int y0, int x1, int y1, int tolerance, Want want)
{
    int bad = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::vector<double> w = want(x, y);
            for (int c = 0; c < 3; ++c)
                if (std::abs(got.at(x, y)[c] - w[c]) > tolerance) {
                    ++bad;
                    break;
                }
        }
    return bad;
}

std::vector<double> exact(const Pixels& image, int x, int y)
{
    const unsigned char* p = image.at(x, y);
    return {(double)p[0], (double)p[1], (double)p[2]};
}

// The image sampled bilinearly at (u, v) in pixel units, pixel centres at +0.5.
std::vector<double> bilinear(const Pixels& image, double u, double v)
{
    const double fx = u - 0.5, fy = v - 0.5;
    const int x0 = (int)std::floor(fx), y0 = (int)std::floor(fy);
    const double ax = fx - x0, ay = fy - y0;
    std::vector<double> out(3, 0.0);
    for (int c = 0; c < 3; ++c) {
        const double top = image.at(x0, y0)[c] * (1 - ax) + image.at(x0 + 1, y0)[c] * ax;
        const double bottom =
            image.at(x0, y0 + 1)[c] * (1 - ax) + image.at(x0 + 1, y0 + 1)[c] * ax;
        out[c] = top * (1 - ay) + bottom * ay;
    }
    return out;
}

// Device pixels differing from the frame of image (density image pixels per
// skin pixel) drawn at the skin origin and scale, sampled bilinearly.
int smoothMismatches(const Pixels& got, const Pixels& image, int frame, int density,
                     double scale)
{
    const double toImage = density / scale;
    const int frameX = frame * kFrameW * density;
    // One device pixel of filter footprint and anti-aliased fringe stays out.
    return mismatches(got, 1, 1, got.w - 1, got.h - 1, kSmoothTolerance, [&](int x, int y) {
        return bilinear(image, frameX + (x + 0.5) * toImage, (y + 0.5) * toImage);
    });
}

// The share of neighbouring device pixels that differ, a measure of how
// blocky a magnified picture is.
double stepShare(const Pixels& got)
{
    int steps = 0, pairs = 0;
    for (int y = 0; y < got.h; ++y)
        for (int x = 1; x < got.w; ++x, ++pairs)
            steps += got.at(x, y)[1] != got.at(x - 1, y)[1] ? 1 : 0;
    return (double)steps / pairs;
}

// A copy of the background under a name with no "@2x" twin.
EmbeddedResource twinless()
{
    uint64_t size = 0;
    const unsigned char* data = findResource("Quelt.png", &size);
    return {"Twinless.png", size, data};
}

TEST(ScaledImage, TwinFramesLandPixelForPixelAtScale2)
{
    GlSession session(2 * kFrameW, 2 * kFrameH);
    ASSERT_TRUE(session.failure().empty()) << session.failure();
    const Pixels twin = embeddedImage("Quelt@2x.png");
    ASSERT_EQ(twin.w, 4 * kFrameW);
    GCanvas canvas(session.context(), kFrameW, kFrameH, 2.0);
    GImageResource image("Back", "Quelt.png", kFrameW, kFrameH, 2);
    image.load(&canvas);
    ASSERT_TRUE(image.isUsable());
    EXPECT_EQ(image.density(), 2);
    EXPECT_EQ(image.imageWidth(), 2 * kFrameW);
    EXPECT_EQ(image.imageHeight(), kFrameH);
    EXPECT_EQ(image.columns(), 2);
    EXPECT_EQ(image.rowCount(), 1);

    for (int frame = 0; frame < 2; ++frame) {
        image.drawFrame(&canvas, 0, 0, frame);
        const Pixels got = read(session, 2 * kFrameW, 2 * kFrameH);
        EXPECT_EQ(mismatches(got, 0, 0, got.w, got.h, 0,
                             [&](int x, int y) {
                                 return exact(twin, frame * 2 * kFrameW + x, y);
                             }),
                  0)
            << "frame " << frame;
    }
    image.unload(&canvas);
}

TEST(ScaledImage, FramePartsAtScale2CoverTheirSkinRectangle)
{
    GlSession session(2 * kFrameW, 2 * kFrameH);
    ASSERT_TRUE(session.failure().empty()) << session.failure();
    const Pixels twin = embeddedImage("Quelt@2x.png");
    GCanvas canvas(session.context(), kFrameW, kFrameH, 2.0);
    GImageResource image("Back", "Quelt.png", kFrameW, kFrameH, 2);
    image.load(&canvas);
    ASSERT_TRUE(image.isUsable());

    image.drawFramePart(&canvas, 1, {100, 50, 30, 20}, {5, 6});
    canvas.SetClip(200, 100, 40, 40);
    image.drawFramePart(&canvas, 0, {10, 10, 30, 30}, {3, 4});
    canvas.ResetClip();
    const Pixels got = read(session, 2 * kFrameW, 2 * kFrameH);
    EXPECT_EQ(mismatches(got, 10, 12, 70, 52, 0,
                         [&](int x, int y) {
                             return exact(twin, 2 * kFrameW + 200 + x - 10, 100 + y - 12);
                         }),
              0);
    EXPECT_EQ(mismatches(got, 406, 208, 466, 268, 0,
                         [&](int x, int y) { return exact(twin, 20 + x - 406, 20 + y - 208); }),
              0)
        << "part in a clip window";
    const std::vector<double> black = {0, 0, 0};
    EXPECT_EQ(mismatches(got, 0, 52, got.w, 208, 0, [&](int, int) { return black; }), 0);
    EXPECT_EQ(mismatches(got, 70, 0, 406, got.h, 0, [&](int, int) { return black; }), 0);
    image.unload(&canvas);
}

TEST(ScaledImage, Scale1DrawsTheOneTimesFileExactly)
{
    GlSession session(kFrameW, kFrameH);
    ASSERT_TRUE(session.failure().empty()) << session.failure();
    const Pixels art = embeddedImage("Quelt.png");
    GCanvas canvas(session.context(), kFrameW, kFrameH);
    GImageResource image("Back", "Quelt.png", kFrameW, kFrameH, 2);
    image.load(&canvas);
    ASSERT_TRUE(image.isUsable());
    EXPECT_EQ(image.density(), 1);
    EXPECT_EQ(image.imageWidth(), 2 * kFrameW);

    image.drawFrame(&canvas, 0, 0, 1);
    const Pixels got = read(session, kFrameW, kFrameH);
    EXPECT_EQ(mismatches(got, 0, 0, kFrameW, kFrameH, 0,
                         [&](int x, int y) { return exact(art, kFrameW + x, y); }),
              0);
    image.unload(&canvas);
}

TEST(ScaledImage, TwinIsFilteredSmoothlyAtScale1Point5)
{
    // 194 skin rows make a whole number of device rows at 1.5.
    GlSession session(495, 291);
    ASSERT_TRUE(session.failure().empty()) << session.failure();
    const Pixels twin = embeddedImage("Quelt@2x.png");
    GCanvas canvas(session.context(), kFrameW, 194, 1.5);
    GImageResource image("Back", "Quelt.png", kFrameW, kFrameH, 2);
    image.load(&canvas);
    ASSERT_TRUE(image.isUsable());
    EXPECT_EQ(image.density(), 2);

    image.drawFrame(&canvas, 0, 0, 0);
    const Pixels whole = read(session, 495, 291);
    EXPECT_EQ(smoothMismatches(whole, twin, 0, 2, 1.5), 0);

    // A part put back in its place, as an erase does, samples the same texels.
    const unsigned char black[4] = {0, 0, 0, 255};
    canvas.FillRect(0, 0, kFrameW, 194, black);
    image.drawFramePart(&canvas, 0, {101, 51, 30, 20}, {101, 51});
    const Pixels part = read(session, 495, 291);
    EXPECT_EQ(mismatches(part, 153, 78, 196, 106, 0,
                         [&](int x, int y) { return exact(whole, x, y); }),
              0);
    image.unload(&canvas);
}

TEST(ScaledImage, ImageWithoutTwinIsMagnifiedSmoothly)
{
    static EmbeddedResource copy = twinless();
    registerResource(&copy);
    const Pixels art = embeddedImage("Quelt.png");
    {
        GlSession session(2 * kFrameW, 2 * kFrameH);
        ASSERT_TRUE(session.failure().empty()) << session.failure();
        GCanvas canvas(session.context(), kFrameW, kFrameH, 2.0);
        GImageResource image("Back", "Twinless.png", kFrameW, kFrameH, 2);
        image.load(&canvas);
        ASSERT_TRUE(image.isUsable());
        EXPECT_EQ(image.density(), 1);
        EXPECT_EQ(image.imageWidth(), 2 * kFrameW);
        image.drawFrame(&canvas, 0, 0, 1);
        const Pixels got = read(session, 2 * kFrameW, 2 * kFrameH);
        EXPECT_EQ(smoothMismatches(got, art, 1, 1, 2.0), 0);
        // Pixel doubling would repeat every colour across each pair of device pixels.
        EXPECT_GT(stepShare(got), 0.75 * stepShare(art));
        image.unload(&canvas);
    }
    {
        GlSession session(495, 291);
        ASSERT_TRUE(session.failure().empty()) << session.failure();
        GCanvas canvas(session.context(), kFrameW, 194, 1.5);
        GImageResource image("Back", "Twinless.png", kFrameW, kFrameH, 2);
        image.load(&canvas);
        EXPECT_EQ(image.density(), 1);
        image.drawFrame(&canvas, 0, 0, 0);
        EXPECT_EQ(smoothMismatches(read(session, 495, 291), art, 0, 1, 1.5), 0);
        image.unload(&canvas);
    }
    unregisterResource(&copy);
}

TEST(ScaledImage, TwinShortOfFramesGivesWayToTheFileItself)
{
    uint64_t size = 0;
    const unsigned char* data = findResource("Quelt.png", &size);
    // Frames of 165 x 97: eight in the file, two in a twin of the same pixels.
    static EmbeddedResource file = {"Short.png", size, data};
    static EmbeddedResource twin = {"Short@2x.png", size, data};
    registerResource(&file);
    registerResource(&twin);
    GlSession session(2 * kFrameW, 2 * kFrameH);
    ASSERT_TRUE(session.failure().empty()) << session.failure();
    GCanvas canvas(session.context(), kFrameW, kFrameH, 2.0);
    GImageResource two("Two", "Short.png", 165, 97, 2);
    GImageResource three("Three", "Short.png", 165, 97, 3);
    two.load(&canvas);
    three.load(&canvas);
    EXPECT_EQ(two.density(), 2);
    EXPECT_EQ(two.columns(), 2);
    EXPECT_EQ(three.density(), 1);
    EXPECT_EQ(three.columns(), 4);
    EXPECT_TRUE(three.isUsable());
    two.unload(&canvas);
    three.unload(&canvas);
    unregisterResource(&twin);
    unregisterResource(&file);
}

TEST(ScaledImage, ReloadsWhenTheScaleChangesAndOnlyThen)
{
    GlSession session(2 * kFrameW, 2 * kFrameH);
    ASSERT_TRUE(session.failure().empty()) << session.failure();
    const Pixels twin = embeddedImage("Quelt@2x.png");
    GCanvas single(session.context(), 2 * kFrameW, 2 * kFrameH);
    GCanvas doubled(session.context(), kFrameW, kFrameH, 2.0);
    GImageResource image("Back", "Quelt.png", kFrameW, kFrameH, 2);

    image.load(&single);
    EXPECT_EQ(image.density(), 1);
    image.load(&doubled);
    const int handle = image.handle();
    EXPECT_EQ(image.density(), 2);
    EXPECT_EQ(image.imageWidth(), 2 * kFrameW);
    image.load(&doubled);
    EXPECT_EQ(image.handle(), handle) << "same scale decoded again";

    image.drawFrame(&doubled, 0, 0, 1);
    const Pixels got = read(session, 2 * kFrameW, 2 * kFrameH);
    EXPECT_EQ(mismatches(got, 0, 0, got.w, got.h, 0,
                         [&](int x, int y) { return exact(twin, 2 * kFrameW + x, y); }),
              0);
    image.load(&single);
    EXPECT_EQ(image.density(), 1);
    EXPECT_EQ(image.columns(), 2);
    image.unload(&single);
    EXPECT_EQ(image.handle(), 0);
}

}  // namespace
}  // namespace Zorv
