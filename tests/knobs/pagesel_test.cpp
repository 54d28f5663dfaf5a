// Page selectors: the page changes on press and never on release, the
// highlight follows the press, image tabs show inactive, active and pressed.
#include "controls/pagesel.h"
#include "editor/resources.h"
#include "knobtest.h"

#include <gtest/gtest.h>

using namespace Zorv;

namespace {

const unsigned char kPageHl[4] = {230, 240, 250, 20};

// The default skin's two tabs, on every page, and a third for an empty page.
struct TabFixture : knobtest::KnobFixture {
    GPageSelHlt* first = adopt(new GPageSelHlt(args(0, 183, 3, 64, 16), 1, kPageHl));
    GPageSelHlt* second = adopt(new GPageSelHlt(args(0, 258, 3, 64, 16), 2, kPageHl));
    GPageSelHlt* third = adopt(new GPageSelHlt(args(0, 0, 0, 20, 20), 3, kPageHl));
};

}  // namespace

TEST(PageSelector, SwitchesOnPressNeverOnRelease)
{
    TabFixture f;
    EXPECT_FALSE(f.skin.onRightDown(false, false, 260, 5));
    EXPECT_EQ(f.skin.getPage(), 1);
    EXPECT_TRUE(f.skin.onLeftDown(true, true, 260, 5));
    EXPECT_EQ(f.skin.getPage(), 2);  // before any release
    f.skin.onMouseMove(false, false, 190, 5);
    EXPECT_TRUE(f.skin.onLeftUp(false, false, 190, 5));  // over the other tab
    EXPECT_EQ(f.skin.getPage(), 2);
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_FALSE(f.first->onLeftUp(false, false, 0, 0));  // not pressed: not taken

    f.skin.onLeftDown(false, false, 5, 5);  // a page without controls
    f.skin.onLeftUp(false, false, 5, 5);
    EXPECT_EQ(f.skin.getPage(), 3);
    EXPECT_EQ(f.skin.cursorAt(321, 18), kCursorHand);
}

TEST(PageSelector, CancelledCaptureEndsThePressKeepsThePage)
{
    TabFixture f;
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftDown(false, false, 260, 5);
    f.skin.drawPass(&f.canvas);
    f.second->cancelCapture();
    EXPECT_FALSE(f.second->isPressed());
    EXPECT_TRUE(f.second->needsRedraw()) << "the highlight goes";
    EXPECT_EQ(f.skin.getPage(), 2);

    f.skin.onLeftDown(false, false, 190, 5);
    f.skin.cancelCapture();  // the editor closes while the tab is held
    EXPECT_FALSE(f.first->isPressed());
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
    EXPECT_FALSE(f.skin.onLeftUp(false, false, 190, 5)) << "the late release finds no press";
}

TEST(PageSelector, HighlightOnlyWhileHeldAlsoOnTheShownPage)
{
    TabFixture f;
    f.skin.drawPass(&f.canvas);
    f.skin.onLeftDown(false, false, 190, 5);  // the page already shown
    EXPECT_EQ(f.skin.getPage(), 1);
    EXPECT_TRUE(f.first->needsRedraw());
    EXPECT_FALSE(f.second->needsRedraw());
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(f.first->needsRedraw());
    const int exposes = f.window.exposes;
    f.skin.onLeftUp(false, false, 0, 100);
    EXPECT_TRUE(f.first->needsRedraw());
    EXPECT_GT(f.window.exposes, exposes);
}

TEST(PageSelector, ImageTabShowsInactiveActiveAndPressed)
{
    knobtest::KnobFixture f;
    GImageResource three("three", "Quelt.png", 60, 20, 3), two("two", "Quelt.png", 60, 20, 2);
    auto* tab1 = f.adopt(new GImgPageSel(f.args(0, 0, 0, 60, 20), &three, 1));
    auto* tab2 = f.adopt(new GImgPageSel(f.args(0, 70, 0, 60, 20), &three, 2));
    auto* plain2 = f.adopt(new GImgPageSel(f.args(0, 140, 0, 60, 20), &two, 2));
    EXPECT_EQ(tab1->frameIndex(), 1);
    EXPECT_EQ(tab2->frameIndex(), 0);
    f.skin.drawPass(&f.canvas);

    f.skin.onLeftDown(false, false, 80, 5);
    EXPECT_EQ(tab1->frameIndex(), 0);
    EXPECT_EQ(tab2->frameIndex(), 2);
    EXPECT_EQ(plain2->frameIndex(), 1);
    EXPECT_TRUE(tab1->needsRedraw());
    f.skin.onLeftUp(false, false, 80, 5);
    EXPECT_EQ(tab2->frameIndex(), 1);

    plain2->onLeftDown(false, false, 0, 0);  // pressed on a two-frame strip: the active frame
    EXPECT_EQ(plain2->frameIndex(), 1);
    f.skin.drawPass(&f.canvas);
    f.skin.setPage(1);  // changed elsewhere
    EXPECT_TRUE(tab1->needsRedraw());
    EXPECT_TRUE(tab2->needsRedraw());
}
