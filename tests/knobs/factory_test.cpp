// Skin factories of the pot and page-selector types, through the real
// builder: good lines make their control, bad arguments add nothing.
#include "controls/pagesel.h"
#include "controls/pots.h"
#include "editor/builder.h"
#include "knobtest.h"
#include "tests/text/memory_reader.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace Zorv;

namespace {

using SkinPtr = std::unique_ptr<GEditorSkin>;

SkinPtr build(Quelt& effect, XP::InputReader& text)
{
    XP::TokenReader tokens(&text);
    GEditorSkinBuilder builder(&effect);
    return SkinPtr(builder.buildSkin(tokens));
}

// The one control a line makes after a few resources, or null.
struct OneLine {
    Quelt effect{skintest::Recorder::callback};
    SkinPtr skin;

    GEditorControl* make(const std::string& line)
    {
        MemoryReader text("AddResource hl RGBAColour 255 255 255 60\n"
                          "AddResource col RGBColour 40 40 50\n"
                          "AddResource strip PngResource \"Quelt.png\" 33 39 31\n"
                          "Init 330 195 2\n"
                          "AddControl 1 55 100 50 50 " + line + "\n");
        skin = build(effect, text);
        return skin && skin->getControls().getCount() == 1 ? skin->getControls().get(0) : nullptr;
    }

    template <class Control>
    int parameterOf(const std::string& line)
    {
        auto* pot = dynamic_cast<Control*>(make(line));
        return pot ? pot->parameterIndex() : -1;
    }

    template <class Control>
    int targetOf(const std::string& line)
    {
        auto* tab = dynamic_cast<Control*>(make(line));
        return tab ? tab->getTargetPage() : -1;
    }
};

}  // namespace

TEST(KnobFactory, GoodLinesMakeTheirTypes)
{
    OneLine f;
    EXPECT_EQ(f.parameterOf<GPotDot>("gpotdot \"thresh\" hl 15 col"), kThresh);
    EXPECT_EQ(f.parameterOf<GBgPotDot>("GBgPotDot Fade strip 0.5 col"), kFade);
    EXPECT_EQ(f.parameterOf<GPotLine>("GPotLine Attack hl -20 col"), kAttack);
    EXPECT_EQ(f.parameterOf<GPotLine>("GPotLine Attack hl 0 col"), kAttack);
    EXPECT_EQ(f.parameterOf<GImgPot>("GImgPot Attack strip"), kAttack);
    EXPECT_EQ(f.targetOf<GPageSelHlt>("GPageSelHlt 2 hl"), 2);
    EXPECT_EQ(f.targetOf<GImgPageSel>("GIMGPAGESEL strip 1"), 1);
}

TEST(KnobFactory, BadArgumentsAddNothing)
{
    OneLine f;
    const char* lines[] = {
        "GPotDot Missing hl 15 col",  "GPotDot Thresh Null 15 col", "GPotDot Thresh hl 15 nocol",
        "GPotDot Thresh strip 15 col", "GPotDot Thresh hl 0 col",   "GPotDot Thresh hl -3 col",
        "GPotDot Thresh hl Inf col",  "GPotDot Thresh hl nan col",  "GPotDot Thresh hl 15",
        "GBgPotDot Thresh hl 15 col", "GBgPotDot Thresh strip 0 col", "GBgPotDot Nope strip 15 col",
        "GPotLine Attack Null 20 col", "GPotLine Attack hl 20 strip", "GPotLine Attack hl Inf col",
        "GImgPot Attack Null",        "GImgPot Attack hl",          "GImgPot Nope strip",
        "GPageSelHlt 0 hl",           "GPageSelHlt -1 hl",          "GPageSelHlt 1 strip",
        "GImgPageSel strip 0",        "GImgPageSel hl 1",           "GImgPageSel Null 1",
    };
    for (const char* line : lines) {
        EXPECT_EQ(f.make(line), nullptr) << line;
        ASSERT_NE(f.skin, nullptr);
    }
}

TEST(KnobFactory, DefaultSkinPlacesThreeKnobsAndTwoTabs)
{
    Quelt effect(skintest::Recorder::callback);
    XP::ResourceReader text;
    text.open("QueltSkin.txt");
    SkinPtr skin = build(effect, text);
    ASSERT_NE(skin, nullptr);
    std::vector<int> knobs, tabs;
    const auto& controls = skin->getControls();
    for (int i = 0; i < controls.getCount(); ++i) {
        if (auto* pot = dynamic_cast<GPotDot*>(controls.get(i)))
            knobs.push_back(pot->parameterIndex());
        if (auto* tab = dynamic_cast<GPageSelHlt*>(controls.get(i)))
            tabs.push_back(tab->getTargetPage() * 1000 + tab->getX());
    }
    EXPECT_EQ(knobs, (std::vector<int>{kThresh, kAttack, kFade}));
    EXPECT_EQ(tabs, (std::vector<int>{1183, 2258}));
}
