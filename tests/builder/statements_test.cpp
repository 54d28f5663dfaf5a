// Statements of the skin text: Init and its validity, backgrounds, start
// page, refresh interval, keyword case and skipped lines.
#include "buildtest.h"

#include <gtest/gtest.h>

using namespace Zorv;
using buildtest::Fixture;
using buildtest::kInit;

namespace {

const std::string kImage = "AddResource img PngResource \"Quelt.png\" 330 195 2\n";

}  // namespace

TEST(BuilderInit, MissingOrBadInitBuildsNoSkin)
{
    Fixture f;
    EXPECT_EQ(f.build(""), nullptr);
    EXPECT_EQ(f.build("AddResource c RGBColour 1 2 3\n"), nullptr);
    EXPECT_EQ(f.build("Init 330 195 0\n"), nullptr);
    EXPECT_EQ(f.build("Init 0 195 2\n"), nullptr);
    EXPECT_EQ(f.build("Init 330 -1 2\n"), nullptr);
    EXPECT_EQ(f.build("Init 330 195\n"), nullptr) << "too few arguments";
    EXPECT_EQ(f.build("Init wide high many\n"), nullptr) << "words read as 0";
}

TEST(BuilderInit, LaterInitOverridesAndExtraTokensAreIgnored)
{
    Fixture f;
    auto skin = f.build("Init 330 195 0\nInit 100 50 3 and more words\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getWidth(), 100);
    EXPECT_EQ(skin->getHeight(), 50);
    EXPECT_EQ(skin->getPages(), 3);
    EXPECT_EQ(f.build("Init 330 195 2\nInit 330 195 0\n"), nullptr);
}

TEST(BuilderInit, SizesBeyondTheHostRectangleOrTooManyPagesAreInvalid)
{
    Fixture f;
    EXPECT_NE(f.build("Init 32767 32767 256\n"), nullptr);
    EXPECT_EQ(f.build("Init 32768 195 2\n"), nullptr);
    EXPECT_EQ(f.build("Init 330 99999999999 2\n"), nullptr);
    EXPECT_EQ(f.build("Init 330 195 257\n"), nullptr);
    auto skin = f.build("Init 330 195 2000000000\n" + kImage + "BackgroundMap img\nInit 330 195 2\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getBackgrounds().getCount(), 0) << "no page existed at the map";
}

TEST(BuilderKeywords, MatchInAnyCaseButNamesAreCaseSensitive)
{
    Fixture f;
    auto skin = f.build("init 10 20 1\nREFRESHTHROTTLEMS 25\naddresource Col rgbcolour 1 2 3\n"
                        "AddResource font1 deffont 10 col Kelvo\n"
                        "AddResource font2 DefFont 10 Col Kelvo\n"
                        "Initialise 1 1 1\nNoSuchStatement\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getWidth(), 10);
    EXPECT_EQ(skin->getRefreshThrottleMs(), 25);
    ASSERT_EQ(skin->getResources().getCount(), 2);
    EXPECT_STREQ(skin->getResources().get(1)->getName(), "font2");
}

TEST(BuilderBackgrounds, MapGivesOneEntryPerPageWithMatchingFrames)
{
    Fixture f;
    auto skin = f.build(kImage + kInit + "BackgroundMap img\nBackgroundMap nosuch\n");
    ASSERT_NE(skin, nullptr);
    const auto& bgs = skin->getBackgrounds();
    ASSERT_EQ(bgs.getCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(bgs.get(i)->page, i + 1);
        EXPECT_EQ(bgs.get(i)->frame, i);
        EXPECT_STREQ(bgs.get(i)->image->getName(), "img");
    }
}

TEST(BuilderBackgrounds, MapBeforeInitOrWithOtherFrameCountUsesNoneOrFrameZero)
{
    Fixture f;
    auto early = f.build(kImage + "BackgroundMap img\n" + kInit);
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(early->getBackgrounds().getCount(), 0);

    auto three = f.build("AddResource img PngResource \"Quelt.png\" 330 195 3\n" + kInit +
                         "BackgroundMap img\n");
    ASSERT_NE(three, nullptr);
    ASSERT_EQ(three->getBackgrounds().getCount(), 2);
    EXPECT_EQ(three->getBackgrounds().get(0)->frame, 0);
    EXPECT_EQ(three->getBackgrounds().get(1)->frame, 0);
}

TEST(BuilderBackgrounds, ImageNeedsPageFromZeroAndFrameFromOne)
{
    Fixture f;
    auto skin = f.build(kImage + kInit +
                        "BackgroundImage 0 img 1\nBackgroundImage 1 img 0\n"
                        "BackgroundImage -1 img 1\nBackgroundImage 2 nosuch 1\n"
                        "BackgroundImage 7 img 9\nBackgroundImage 1 img\n");
    ASSERT_NE(skin, nullptr);
    const auto& bgs = skin->getBackgrounds();
    ASSERT_EQ(bgs.getCount(), 2);
    EXPECT_EQ(bgs.get(0)->page, 0);
    EXPECT_EQ(bgs.get(0)->frame, 0);
    EXPECT_EQ(bgs.get(1)->page, 7) << "no upper bound on page";
    EXPECT_EQ(bgs.get(1)->frame, 8) << "nor on frame";
    EXPECT_TRUE(skin->isActive(bgs.get(0)->page, bgs.get(0)->conditions));
    skin->setPage(2);
    EXPECT_TRUE(skin->isActive(bgs.get(0)->page, bgs.get(0)->conditions)) << "page 0: every page";
}

TEST(BuilderSettings, StartPageWithinKnownPagesAndAnyRefreshInterval)
{
    Fixture f;
    auto skin = f.build("StartPage 1\n" + kInit + "StartPage 3\nStartPage 0\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getStartPage(), 1);
    EXPECT_EQ(skin->getRefreshThrottleMs(), GEditorSkin::kDefaultRefreshMs);

    skin = f.build("StartPage 2\n" + kInit + "StartPage 2\nRefreshThrottleMs -5\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getStartPage(), 2);
    EXPECT_EQ(skin->getRefreshThrottleMs(), -5);
    EXPECT_EQ(skin->getPage(), 1) << "the start page is stored, not applied";
}

TEST(BuilderSkin, BuilderForgetsEachSkinItHandsOut)
{
    Fixture f;
    auto first = f.build(kInit);
    auto second = f.build(kInit + "AddResource c RGBColour 1 2 3\n");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->getResources().getCount(), 0);
    EXPECT_EQ(f.builder.getSkin(), nullptr);
    EXPECT_EQ(f.builder.findColour("c"), nullptr) << "lookups need a skin under construction";
}
