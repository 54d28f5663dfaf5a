// The editor window at scales 1, 1.5 and 2: its size, the artwork where no
// control lies, controls covering exactly their device pixels (no seams, an
// erase gives back the artwork), pointer positions in skin pixels, and the
// changed-rectangle present showing what a full redraw shows.
#include "tests/window/windowtest.h"  // gtest before X11

#include "tests/window/smoothart.h"

#include <X11/extensions/XTest.h>
#include <malloc.h>

namespace windowtest {
namespace {

using Zorv::GRect;
using Zorv::toDevice;
using Events = std::vector<std::string>;

class ScaledWindowTest : public EditorFixture, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        scale = GetParam();
        dw = toDevice(kW, scale);
        dh = toDevice(kH, scale);
        XResizeWindow(display, parent, unsigned(dw), unsigned(dh));
        XSync(display, False);
        art = backgroundAt(scale);
    }

    // Opens at the scale and waits until the corner shows the artwork.
    bool openScaled()
    {
        if (!editor)
            buildEditor();
        editor->setScale(scale);
        if (!editor->open(reinterpret_cast<void*>(parent)))
            return false;
        grabWhen([&](const Pixels&) { return mismatches(grabAll(), art, {0, 0, 8, 8}) == 0; });
        return editor->getWindow()->getWindow() != 0;
    }

    Window editorWindow() { return Window(editor->getWindow()->getWindow()); }
    Pixels grabAll() { return grabWindow(display, editorWindow(), dw, dh); }

    // Polls a whole grab until pred holds or two seconds pass; the last grab.
    Pixels grabAllWhen(const std::function<bool(const Pixels&)>& pred)
    {
        Pixels last;
        waitFor([&] {
            last = grabAll();
            return !last.rgb.empty() && pred(last);
        });
        return last;
    }

    GRect device(const GRect& skinRect) const { return Zorv::toDevice(skinRect, scale); }
    int grey(const Pixels& p, int x, int y) const { return p.at(x, y)[0]; }

    double scale = 1;
    int dw = kW, dh = kH;
    Pixels art;
};

TEST_P(ScaledWindowTest, SizeBeforeAndAfterOpeningIsTheScaledSize)
{
    buildEditor();
    editor->setScale(scale);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, dw);
    EXPECT_EQ(rect->bottom, dh);
    ASSERT_TRUE(openScaled());
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, dw);
    EXPECT_EQ(rect->bottom, dh);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, editorWindow(), &attributes));
    EXPECT_EQ(attributes.width, dw);
    EXPECT_EQ(attributes.height, dh);
}

TEST_P(ScaledWindowTest, ArtworkWhereNoControlLies)
{
    if (scale == 2.0 && !hasArt2x())
        GTEST_SKIP() << "\"Quelt@2x.png\" is not embedded yet: no 2x artwork to compare with";
    addProbe(1, 100, 50, 40, 30);
    ASSERT_TRUE(openScaled());
    const GRect p = device({100, 50, 40, 30});
    const Pixels shot = grabAllWhen([&](const Pixels& g) { return grey(g, p.x, p.y) == 20; });
    EXPECT_EQ(mismatches(shot, art, {0, 0, dw, p.y}), 0);
    EXPECT_EQ(mismatches(shot, art, {0, p.y + p.h, dw, dh - p.y - p.h}), 0);
    EXPECT_EQ(mismatches(shot, art, {0, p.y, p.x, p.h}), 0);
    EXPECT_EQ(mismatches(shot, art, {p.x + p.w, p.y, dw - p.x - p.w, p.h}), 0);
}

TEST_P(ScaledWindowTest, ControlsCoverExactlyTheirDevicePixels)
{
    auto* check = new SwitchCheck("shown");
    check->on = false;
    skin->addCheck(check);
    Zorv::GConditionSet set;
    set.add(skin->findCondition("shown", false));
    PaintProbe* a = addProbe(0, 21, 33, 31, 17, &set);
    PaintProbe* b = addProbe(0, 52, 33, 21, 17, &set);
    b->level = 2;
    ASSERT_TRUE(openScaled());
    const Pixels bare = grabAll();
    check->on = true;
    effect->refreshEditor();
    const GRect da = device({21, 33, 31, 17}), db = device({52, 33, 21, 17});
    const Pixels shot = grabAllWhen([&](const Pixels& g) {
        return grey(g, da.x, da.y) == 20 && grey(g, db.x, db.y) == 100;
    });
    int wrong = 0;
    for (int y = da.y; y < da.y + da.h; ++y) {
        for (int x = da.x; x < da.x + da.w; ++x)
            wrong += shot.at(x, y)[1] != 20;
        for (int x = db.x; x < db.x + db.w; ++x)
            wrong += shot.at(x, y)[1] != 100;
    }
    EXPECT_EQ(wrong, 0) << "every device pixel of both controls, up to their shared edge";
    EXPECT_EQ(mismatches(shot, bare, {da.x - 1, da.y - 1, da.w + db.w + 2, 1}), 0) << "above";
    EXPECT_EQ(mismatches(shot, bare, {da.x - 1, da.y + da.h, da.w + db.w + 2, 1}), 0) << "below";
    EXPECT_EQ(mismatches(shot, bare, {da.x - 1, da.y, 1, da.h}), 0) << "left";
    EXPECT_EQ(mismatches(shot, bare, {db.x + db.w, da.y, 1, da.h}), 0) << "right";

    a->level = 3;  // one repaints beside the other
    effect->refreshEditor();
    const Pixels next = grabAllWhen([&](const Pixels& g) { return grey(g, da.x, da.y) == 140; });
    EXPECT_EQ(grey(next, da.x + da.w - 1, da.y), 140);
    EXPECT_EQ(grey(next, db.x, db.y), 100);

    check->on = false;
    effect->refreshEditor();
    const Pixels erased =
        grabAllWhen([&](const Pixels& g) { return mismatches(g, bare, {0, 0, dw, dh}) == 0; });
    EXPECT_EQ(mismatches(erased, bare, {0, 0, dw, dh}), 0) << "the erase leaves no seam";
}

TEST_P(ScaledWindowTest, PointerPositionsArriveInSkinPixels)
{
    PaintProbe* probe = addProbe(0, 100, 50, 40, 30);
    ASSERT_TRUE(openScaled());
    pointerTo(toDevice(110, scale), toDevice(60, scale));
    button(1, true);
    pointerTo(toDevice(140, scale) - 1, toDevice(80, scale) - 1);  // the last device pixel
    button(1, false);
    pointerTo(toDevice(140, scale), toDevice(60, scale));  // just outside: not for the probe
    settle();
    EXPECT_EQ(probe->takeEvents(), (Events{"MV 10,10", "LD 10,10", "MV 39,29", "LU 39,29"}));
}

TEST_P(ScaledWindowTest, ChangedRectanglesShowWhatAFullRedrawShows)
{
    std::vector<PaintProbe*> probes = {addProbe(0, 7, 9, 13, 11), addProbe(0, 150, 101, 37, 19),
                                       addProbe(0, 301, 170, 29, 25)};
    ASSERT_TRUE(openScaled());
    for (int round = 1; round <= 4; ++round) {
        PaintProbe* probe = probes[size_t(round % 3)];
        probe->level = round;
        effect->refreshEditor();
        const GRect d = device({probe->getX(), probe->getY(), 1, 1});
        grabAllWhen([&](const Pixels& g) { return grey(g, d.x, d.y) == round * 40 + 20; });
    }
    const Pixels partial = grabAll();
    const int draws = probes[0]->draws.load();
    skin->invalidateAll();
    ASSERT_TRUE(waitFor([&] { return probes[0]->draws.load() > draws; }));
    settle();
    EXPECT_EQ(mismatches(grabAll(), partial, {0, 0, dw, dh}), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledWindowTest, ::testing::Values(1.0, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "x" + std::to_string(int(info.param * 100));
                         });

using RescaleMemoryTest = EditorFixture;

TEST_F(RescaleMemoryTest, TwoHundredRescalesOfAnOpenEditorGiveTheHeapBack)
{
    skin->addResource(new Zorv::GFontTypeResource("Kelvo.ttf", "Kelvo"));
    ASSERT_TRUE(openEditor());
    const auto rescale = [&](int round) {
        const double scale = round % 2 ? 2.0 : 1.0;
        editor->setScale(scale);
        return waitFor([&] {
            XWindowAttributes a = {};
            XGetWindowAttributes(display, Window(editor->getWindow()->getWindow()), &a);
            return a.width == toDevice(kW, scale);
        });
    };
    for (int round = 1; round <= 10; ++round)  // the driver's own lasting state
        ASSERT_TRUE(rescale(round));
    settle();  // the window resizes before the surface is made again
    const size_t before = mallinfo2().uordblks;
    for (int round = 1; round <= 200; ++round)
        ASSERT_TRUE(rescale(round));
    settle();
    EXPECT_LT(double(mallinfo2().uordblks) - double(before), 64.0 * 1024);
}

}  // namespace
}  // namespace windowtest
