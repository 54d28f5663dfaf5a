// The editor window under a real X server: the first draw shows the
// background, a page change shows the other frame, a changed control repaints
// only itself and a control that becomes inactive is erased once.
#include "tests/window/windowtest.h"

#include "controls/slides.h"

#include <climits>

namespace windowtest {
namespace {

using Zorv::GRect;

class DrawingTest : public EditorFixture {};

TEST_F(DrawingTest, FirstDrawShowsFrameZeroAndProbes)
{
    PaintProbe* probe = addProbe(1, 100, 50, 40, 30);
    ASSERT_TRUE(openEditor());
    const Pixels frame0 = backgroundFrame(0);
    const Pixels shot = grabWhen([&](const Pixels& p) { return p.at(110, 60)[0] == 20; });
    EXPECT_EQ(mismatches(shot, frame0, {0, 0, kW, 50}), 0);
    EXPECT_EQ(mismatches(shot, frame0, {0, 80, kW, kH - 80}), 0);
    EXPECT_EQ(shot.at(100, 50)[1], 20);
    EXPECT_EQ(shot.at(139, 79)[2], 20);
    EXPECT_EQ(probe->draws.load(), 1);
    EXPECT_TRUE(effect->isEditorOpen());
}

TEST_F(DrawingTest, PageTwoShowsFrameOne)
{
    addProbe(1, 100, 50, 40, 30);
    ASSERT_TRUE(openEditor());
    skin->setPage(2);
    const Pixels frame1 = backgroundFrame(1);
    const Pixels shot = grabWhen([&](const Pixels& p) {
        return mismatches(p, frame1, {0, 0, kW, kH}) == 0;
    });
    EXPECT_EQ(mismatches(shot, frame1, {0, 0, kW, kH}), 0) << "the page-1 probe is gone too";
}

TEST_F(DrawingTest, ChangedControlRepaintsOnlyItself)
{
    PaintProbe* changing = addProbe(0, 20, 20, 30, 30);
    PaintProbe* still = addProbe(0, 200, 20, 30, 30);
    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(waitFor([&] { return changing->draws.load() == 1 && still->draws.load() == 1; }));
    changing->level = 3;
    effect->refreshEditor();
    const Pixels shot = grabWhen([](const Pixels& p) { return p.at(30, 30)[0] == 140; });
    EXPECT_EQ(shot.at(30, 30)[0], 140);
    EXPECT_EQ(shot.at(210, 30)[0], 20);
    EXPECT_EQ(changing->draws.load(), 2);
    EXPECT_EQ(still->draws.load(), 1);
    EXPECT_EQ(mismatches(shot, backgroundFrame(0), {60, 60, kW - 60, kH - 60}), 0);
}

TEST_F(DrawingTest, InactiveControlIsErasedOnce)
{
    auto* check = new SwitchCheck("shown");
    skin->addCheck(check);
    Zorv::GConditionSet set;
    set.add(skin->findCondition("shown", false));
    PaintProbe* probe = addProbe(0, 40, 40, 50, 20, &set);
    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(waitFor([&] { return probe->draws.load() == 1; }));
    check->on = false;
    effect->refreshEditor();
    const Pixels frame0 = backgroundFrame(0);
    Pixels shot = grabWhen([&](const Pixels& p) { return mismatches(p, frame0, {40, 40, 50, 20}) == 0; });
    EXPECT_EQ(mismatches(shot, frame0, {40, 40, 50, 20}), 0);
    effect->refreshEditor();
    effect->refreshEditor();
    settle();
    EXPECT_EQ(probe->erases.load(), 1);
    EXPECT_EQ(probe->draws.load(), 1);
}

TEST_F(DrawingTest, SlideWithAHighlightNearIntMaxHeldAndDraggedDrawsOnSafely)
{
    static constexpr unsigned char kRed[4] = {255, 0, 0, 255};
    constexpr int kFar = INT_MAX - 5;
    auto* knob = new Zorv::GImageResource("knob", "Quelt.png", 20, 20, 1);
    skin->addResource(knob);
    Zorv::ControlArgs args{200, 40, 30, 100, 1, nullptr, effect, skin};
    auto* slide = new Zorv::GSlide(args, 2, knob, kRed, {kFar, kFar, 10, 10});
    skin->addControl(slide);
    ASSERT_TRUE(openEditor());
    const float before = effect->getParameter(2);
    const int y = 40 + slide->getKnobY() + 10;
    pointerTo(210, y);
    button(1, true);
    for (int step = 1; step <= 5; ++step)
        pointerTo(210, y - 4 * step);
    settle();
    EXPECT_NE(effect->getParameter(2), before);  // moved while held
    button(1, false);
    settle();
}

}  // namespace
}  // namespace windowtest
