// Incremental drawing: first pass, changed controls only, erase once when
// hidden, backgrounds per page, full repaints and redraw requests.
#include "editor/resources.h"
#include "skintest.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Zorv;
using skintest::ProbeControl;

namespace {

struct DrawFixture : skintest::SkinFixture {
    GImageResource* image(int frames)
    {
        auto* resource = new GImageResource("bg", "Quelt.png", 330, 195, frames);
        skin.addResource(resource);
        return resource;
    }
};

}  // namespace

TEST(Drawing, OnlyChangedControlsRepaint)
{
    DrawFixture f;
    auto* a = f.add(1, 10, 20, 30, 40);
    auto* b = f.add(0, 100, 20, 30, 40);
    f.skin.attachCanvas(&f.canvas);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(a->erases, 0);  // the first draw needs no erase
    EXPECT_EQ(a->drawClip.x, 10);
    EXPECT_EQ(a->drawClip.h, 40);
    EXPECT_EQ(f.canvas.clip().w, 330);

    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(a->draws, 1);

    b->value = 7;
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    EXPECT_EQ(b->erases, 1);
    EXPECT_FALSE(b->isDirty());
    EXPECT_TRUE(b->isPainted());
}

TEST(Drawing, HiddenControlIsErasedExactlyOnce)
{
    DrawFixture f;
    auto* flag = new skintest::FlagCheck("flag", true);
    f.skin.addCheck(flag);
    GConditionSet set;
    set.add(f.skin.findCondition("flag", false));
    auto* conditional = f.add(1, 0, 0, 10, 10, &set);
    auto* onPage2 = f.add(2, 20, 0, 10, 10);
    f.skin.setPage(2);
    f.skin.drawPass(&f.canvas);
    f.skin.setPage(1);
    f.skin.drawPass(&f.canvas);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(onPage2->draws, 1);
    EXPECT_EQ(onPage2->erases, 1);

    flag->value = false;
    f.skin.drawPass(&f.canvas);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(conditional->erases, 1);
    EXPECT_FALSE(conditional->isPainted());
    flag->value = true;
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(conditional->draws, 2);
    EXPECT_EQ(conditional->erases, 1);  // drawn again over a fresh background
}

TEST(Drawing, ParameterCheckShowsAndHidesAtTheNextPass)
{
    DrawFixture f;
    f.skin.addCheck(new GParamCheck("longFade", &f.effect, kFade, kOpGreater, 0.5));
    GConditionSet set;
    set.add(f.skin.findCondition("longFade", false));
    auto* shown = f.add(1, 0, 0, 10, 10, &set);
    f.effect.writeParameter(kFade, 1.0);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(shown->draws, 1);
    f.effect.writeParameter(kFade, 0.0);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(shown->erases, 1);
}

TEST(Drawing, BackgroundMapGivesEachPageItsFrame)
{
    DrawFixture f;
    GConditionSet none;
    f.skin.addBackgroundMap(f.image(2), none);
    f.skin.addBackgroundMap(f.image(3), none);
    f.skin.addBackgroundMap(nullptr, none);
    const auto& bgs = f.skin.getBackgrounds();
    ASSERT_EQ(bgs.getCount(), 4);
    EXPECT_EQ(bgs.get(0)->page, 1);
    EXPECT_EQ(bgs.get(0)->frame, 0);
    EXPECT_EQ(bgs.get(1)->page, 2);
    EXPECT_EQ(bgs.get(1)->frame, 1);
    EXPECT_EQ(bgs.get(3)->frame, 0);  // frame count differs from the page count

    GEditorSkin empty(&f.effect);
    empty.addBackgroundMap(f.image(2), none);  // no pages yet
    EXPECT_EQ(empty.getBackgrounds().getCount(), 0);
}

TEST(Drawing, PageChangeRepaintsWithTheNewBackground)
{
    DrawFixture f;
    GConditionSet none;
    f.skin.addBackgroundMap(f.image(2), none);
    auto* knob = f.add(1, 0, 0, 10, 10);
    auto* tab = f.add(0, 50, 0, 10, 10);
    f.skin.attachCanvas(&f.canvas);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(f.skin.getCurrentBackground(), f.skin.getBackgrounds().get(0));

    const int before = f.window.exposes;
    f.skin.setPage(2);
    EXPECT_EQ(f.window.exposes, before + 1);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(f.skin.getCurrentBackground()->frame, 1);
    EXPECT_EQ(tab->draws, 2);
    EXPECT_EQ(tab->erases, 0);   // the full repaint invalidated it
    EXPECT_EQ(knob->erases, 0);  // already covered by the new background
    EXPECT_FALSE(knob->isPainted());
    EXPECT_EQ(knob->draws, 1);

    f.skin.setPage(5);  // outside the pages: only page-0 elements
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(f.skin.getCurrentBackground(), nullptr);
    EXPECT_EQ(tab->draws, 3);
}

TEST(Drawing, FullRepaintAfterInvalidateAllAndAttach)
{
    DrawFixture f;
    GConditionSet none;
    f.skin.addBackground(0, f.image(1), 0, none);
    auto* a = f.add(1, 0, 0, 10, 10);
    f.skin.drawPass(&f.canvas);
    f.skin.invalidateAll();
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(a->erases, 0);
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(a->draws, 2);

    f.skin.detachCanvas(&f.canvas);
    f.skin.attachCanvas(&f.canvas);
    EXPECT_EQ(f.skin.getCurrentBackground(), nullptr);
    EXPECT_TRUE(a->isDirty());
    f.skin.drawPass(&f.canvas);
    EXPECT_EQ(a->draws, 3);
    EXPECT_EQ(a->erases, 0);
}

TEST(Drawing, RedrawRequestsGoThroughTheWindowUnlessSuppressed)
{
    DrawFixture f;
    auto* a = f.add(1, 0, 0, 10, 10);
    f.skin.drawPass(&f.canvas);
    a->requestRedraw();
    EXPECT_TRUE(a->isDirty());
    EXPECT_EQ(f.window.exposes, 1);

    f.skin.setRedrawSuppressed(true);
    f.skin.requestRedraw();
    f.skin.setPage(2);
    EXPECT_EQ(f.window.exposes, 1);
    f.skin.setRedrawSuppressed(false);
    EXPECT_EQ(f.window.exposes, 2);

    f.skin.setWindow(nullptr);
    f.skin.setRedrawSuppressed(false);
    f.skin.invalidateAll();
    EXPECT_EQ(f.window.exposes, 2);
}

TEST(Drawing, RedrawRequestsFromOtherThreadsWhileTheUiThreadDraws)
{
    DrawFixture f;
    struct AtomicWindow : GRedrawTarget {
        void postExpose() override { exposes.fetch_add(1, std::memory_order_relaxed); }
        std::atomic<int> exposes{0};
    } window;
    f.skin.setWindow(&window);
    f.add(1, 0, 0, 10, 10);
    std::thread audio([&] {
        for (int i = 0; i < 2000; ++i)
            f.skin.requestRedraw();
    });
    for (int i = 0; i < 200; ++i) {
        f.skin.setRedrawSuppressed(i % 2 == 0);
        f.skin.invalidateAll();
        f.skin.drawPass(&f.canvas);
    }
    audio.join();
    EXPECT_GT(window.exposes.load(), 0);
}
