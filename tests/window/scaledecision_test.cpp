// The editor's scale without an X server: rounding and limits, the sources in
// their order, Xft.dpi read from a resource-database text, the size a closed
// editor reports, the device-pixel rule and its inverse, and the damage list
// of a draw pass.
#include <gtest/gtest.h>

#include "controls/canvas.h"
#include "editor/editor.h"
#include "editor/scale.h"
#include "editor/skin.h"
#include "gate/quelt.h"

#include <cmath>
#include <cstdlib>

namespace {

using Zorv::GRect;

TEST(ScaleDecision, RoundedToQuartersWithinOneToThreeAndJunkGivesOne)
{
    const double cases[][2] = {{1, 1},     {1.1, 1},   {1.13, 1.25}, {1.4, 1.5}, {1.5, 1.5},
                               {2, 2},     {2.9, 3},   {3.2, 3},     {5, 3},     {0.5, 1},
                               {0, 1},     {-2, 1},    {1e9, 1},     {NAN, 1},   {INFINITY, 1},
                               {-INFINITY, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(Zorv::roundScale(c[0]), c[1]) << c[0];
}

TEST(ScaleDecision, OnlyAWholeNumberParses)
{
    EXPECT_EQ(Zorv::parseScale("1.5"), 1.5);
    EXPECT_EQ(Zorv::parseScale(" 2 \n"), 2.0);
    EXPECT_EQ(Zorv::parseScale("+1.25"), 1.25);
    for (const char* junk : {"", " ", "abc", "1.5x", "1,5", "x2", "--1", "+"})
        EXPECT_TRUE(std::isnan(Zorv::parseScale(junk))) << '"' << junk << '"';
    EXPECT_TRUE(std::isnan(Zorv::parseScale(nullptr)));
}

TEST(ScaleDecision, XftDpiFromTheResourceDatabase)
{
    EXPECT_EQ(Zorv::xftScale("Xft.dpi:\t144\n"), 1.5);
    EXPECT_EQ(Zorv::xftScale("Xft.antialias:\t1\nXft.dpi: 192\nXcursor.size: 48\n"), 2.0);
    EXPECT_EQ(Zorv::xftScale("*dpi:\t120\n"), 1.25) << "a wildcard entry matches too";
    EXPECT_TRUE(std::isnan(Zorv::xftScale("Xcursor.size: 48\n")));
    EXPECT_TRUE(std::isnan(Zorv::xftScale("Xft.dpi: lots\n")));
    EXPECT_TRUE(std::isnan(Zorv::xftScale("")));
    EXPECT_TRUE(std::isnan(Zorv::xftScale(nullptr)));
}

TEST(ScaleDecision, HostThenEnvironmentThenDesktopThenOne)
{
    Zorv::GScaleSources from;
    EXPECT_EQ(Zorv::decideScale(from), 1.0);
    from.resources = "Xft.dpi: 144\n";
    EXPECT_EQ(Zorv::decideScale(from), 1.5);
    from.env = "  ";
    EXPECT_EQ(Zorv::decideScale(from), 1.5) << "a blank variable is not set";
    from.env = "2";
    EXPECT_EQ(Zorv::decideScale(from), 2.0);
    from.env = "huge";
    EXPECT_EQ(Zorv::decideScale(from), 1.0) << "a set variable decides, junk gives 1";
    from.hostAnnounced = true;
    from.host = 2.6;
    EXPECT_EQ(Zorv::decideScale(from), 2.5);
    from.host = NAN;
    EXPECT_EQ(Zorv::decideScale(from), 1.0);
    Zorv::GScaleSources absurd;
    absurd.resources = "Xft.dpi: 96000000000\n";
    EXPECT_EQ(Zorv::decideScale(absurd), 1.0);
}

TEST(ScaleDecision, WithoutADisplayOrVariableTheDesktopScaleIsOne)
{
    const char* display = getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    unsetenv("QUELT_SCALE");
    EXPECT_EQ(Zorv::desktopScale(), 1.0);
    setenv("QUELT_SCALE", "1.75", 1);
    EXPECT_EQ(Zorv::desktopScale(), 1.75);
    unsetenv("QUELT_SCALE");
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
}

int sizeRequests = 0;

intptr_t countSizeRequests(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    sizeRequests += opcode == audioMasterSizeWindow;
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

TEST(ScaleDecision, ClosedEditorReportsTheScaledSizeAndAsksTheHostNothing)
{
    unsetenv("DISPLAY");
    unsetenv("QUELT_SCALE");
    sizeRequests = 0;
    Zorv::Quelt effect(countSizeRequests);
    auto* skin = new Zorv::GEditorSkin(&effect);
    skin->setSize(330, 195, 1);
    auto* editor = new Zorv::GEditor(&effect, skin);
    effect.setEditor(editor);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 330);
    EXPECT_EQ(rect->bottom, 195);
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->dispatcher(record, effVendorSpecific, kVendorScaleIndex, kVendorScaleValue,
                                 nullptr, 1.5f),
              1);
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 495);
    EXPECT_EQ(rect->bottom, 293);
    EXPECT_EQ(sizeRequests, 0) << "nothing to resize while closed";

    skin->setSize(40000, 20000, 1);  // beyond the rectangle's 16 bits
    editor->setScale(1.0);
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 32767) << "clamped, not wrapped to a negative width";
    EXPECT_EQ(rect->bottom, 20000);
}

TEST(DevicePixels, CeilingOfTheScaledEdgeAndItsInverse)
{
    EXPECT_EQ(Zorv::toDevice(195, 1.5), 293);
    EXPECT_EQ(Zorv::toDevice(330, 1.5), 495);
    EXPECT_EQ(Zorv::toDevice(195, 2.0), 390);
    EXPECT_EQ(Zorv::toSkin(-1, 1.5), -1) << "left of the window stays left of it";
    for (int quarters = 4; quarters <= 12; ++quarters) {
        const double s = quarters / 4.0;
        for (int d = -50; d < 1000; ++d) {
            const int v = Zorv::toSkin(d, s);
            ASSERT_LE(Zorv::toDevice(v, s), d) << s << " " << d;
            ASSERT_LT(d, Zorv::toDevice(v + 1, s)) << s << " " << d;
        }
    }
    const GRect r = Zorv::toDevice(GRect{21, 33, 31, 17}, 1.5);
    EXPECT_EQ(r.x, 32);
    EXPECT_EQ(r.y, 50);
    EXPECT_EQ(r.w, 78 - 32);
    EXPECT_EQ(r.h, 75 - 50);
    const GRect huge = Zorv::toDevice(GRect{2000000000, 0, 2000000000, 1}, 3.0);
    EXPECT_EQ(huge.x, INT32_MAX) << "clamped, not overflowed";
}

TEST(Damage, EmptyRectanglesAreLeftOutAndManyMergeIntoTheirBounds)
{
    Zorv::GDamage damage;
    damage.add({5, 5, 0, 10});
    damage.add({5, 5, 10, -1});
    EXPECT_EQ(damage.count, 0);
    for (int i = 0; i < Zorv::GDamage::kMaxRects; ++i)
        damage.add({10 * i, i, 5, 5});
    EXPECT_EQ(damage.count, Zorv::GDamage::kMaxRects);
    damage.add({300, 100, 2, 2});
    ASSERT_EQ(damage.count, 2);
    EXPECT_EQ(damage.rects[0].x, 0);
    EXPECT_EQ(damage.rects[0].y, 0);
    EXPECT_EQ(damage.rects[0].w, 10 * (Zorv::GDamage::kMaxRects - 1) + 5);
    EXPECT_EQ(damage.rects[0].h, Zorv::GDamage::kMaxRects - 1 + 5);
    EXPECT_EQ(damage.rects[1].x, 300);
    damage.clear();
    EXPECT_EQ(damage.count, 0);
    EXPECT_FALSE(damage.whole);
}

}  // namespace
