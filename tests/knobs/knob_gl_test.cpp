// Pots and page selectors drawn through Mesa's software GLX on a private
// Xvfb: the dot follows the value and the old one is wiped, the highlight
// disc and the tab highlight appear only while held, and a page switch
// erases the controls of the page left.
#include <gtest/gtest.h>  // before X11's macros

#include <cstdlib>
#include <vector>

#include "controls/pagesel.h"
#include "controls/pots.h"
#include "knobtest.h"
#include "tests/editor/glsession.h"

using namespace Zorv;

namespace {

constexpr int kW = 330, kH = 195;
const unsigned char kRed[4] = {255, 0, 0, 255};
const unsigned char kBlue[4] = {0, 0, 255, 255};
const unsigned char kHalfWhite[4] = {255, 255, 255, 128};
const unsigned char kBlack[3] = {0, 0, 0};

struct GlKnobFixture : knobtest::KnobFixture {
    GlKnobFixture()
    {
        gl.FillRectRGB(0, 0, kW, kH, kBlack);
        skin.attachCanvas(&gl);
    }

    ~GlKnobFixture() { skin.detachCanvas(&gl); }

    void draw()
    {
        skin.drawPass(&gl);
        pixels = session.readPixels();
    }

    const unsigned char* at(int x, int y) const { return &pixels[((size_t)y * kW + x) * 4]; }
    bool is(int x, int y, int r, int g, int b) const
    {
        const unsigned char* p = at(x, y);
        return std::abs(p[0] - r) <= 3 && std::abs(p[1] - g) <= 3 && std::abs(p[2] - b) <= 3;
    }

    GlSession session{kW, kH};
    GCanvas gl{session.context(), kW, kH};
    std::vector<unsigned char> pixels;
};

}  // namespace

TEST(KnobDrawing, DotRunsAlongTheArcAndTheHeldPotLightsUp)
{
    GlKnobFixture f;
    ASSERT_TRUE(f.session.failure().empty()) << f.session.failure();
    f.adopt(new GPotDot(f.args(1, 55, 100, 50, 50), kAttack, kBlue, 15, kRed));
    // Dot centres at (80 - 15 sin t, 125 + 15 cos t), t = v * 1.5 pi + pi / 4.
    struct Spot {
        double value;
        int x, y;
    } spots[] = {{0.0, 69, 135}, {0.5, 80, 110}, {1.0, 90, 135}};
    for (const Spot& spot : spots) {
        f.set(kAttack, spot.value);
        f.draw();
        for (const Spot& other : spots)
            EXPECT_EQ(f.is(other.x, other.y, 255, 0, 0), &other == &spot)
                << "value " << spot.value << ", pixel " << other.x << "," << other.y;
        EXPECT_TRUE(f.is(80, 125, 0, 0, 0));
    }

    f.skin.onLeftDown(false, false, 80, 125);
    f.draw();
    EXPECT_TRUE(f.is(80, 125, 0, 0, 255)) << "no highlight disc while held";
    EXPECT_TRUE(f.is(90, 135, 255, 0, 0)) << "dot not drawn over the disc";
    EXPECT_TRUE(f.is(54, 125, 0, 0, 0)) << "disc outside the pot";
    f.skin.onLeftUp(false, false, 80, 125);
    f.draw();
    EXPECT_TRUE(f.is(80, 125, 0, 0, 0));
    EXPECT_TRUE(f.is(90, 135, 255, 0, 0));
}

TEST(KnobDrawing, TabLightsWhileHeldAndThePageLeftIsErased)
{
    GlKnobFixture f;
    ASSERT_TRUE(f.session.failure().empty()) << f.session.failure();
    f.adopt(new GPageSelHlt(f.args(0, 183, 3, 64, 16), 1, kHalfWhite));
    f.adopt(new GPageSelHlt(f.args(0, 258, 3, 64, 16), 2, kHalfWhite));
    f.adopt(new GPotDot(f.args(1, 55, 100, 50, 50), kAttack, kBlue, 15, kRed));
    f.set(kAttack, 0.5);
    f.draw();
    EXPECT_TRUE(f.is(80, 110, 255, 0, 0));
    EXPECT_TRUE(f.is(290, 10, 0, 0, 0));

    f.skin.onLeftDown(false, false, 290, 10);
    f.draw();
    EXPECT_TRUE(f.is(290, 10, 128, 128, 128)) << "tab of page 2 not lit while held";
    EXPECT_TRUE(f.is(259, 4, 128, 128, 128));
    EXPECT_TRUE(f.is(200, 10, 0, 0, 0)) << "the other tab lit";
    EXPECT_TRUE(f.is(80, 110, 0, 0, 0)) << "page-1 pot not erased";

    f.skin.onLeftUp(false, false, 200, 10);
    f.draw();
    EXPECT_TRUE(f.is(290, 10, 0, 0, 0));
    EXPECT_TRUE(f.is(80, 110, 0, 0, 0));
    EXPECT_EQ(f.skin.getPage(), 2);
}
