// Skin words of the button and image families through the real builder,
// and a still image on a page of its own.
#include "buttontest.h"
#include "controls/buttons.h"
#include "controls/images.h"
#include "editor/builder.h"
#include "editor/resources.h"
#include "tests/knobs/knobtest.h"
#include "tests/text/memory_reader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace Zorv;

namespace {

const char kPrelude[] = "AddResource col RGBColour 40 40 50\n"
                        "AddResource hl RGBAColour 255 255 255 60\n"
                        "AddResource strip PngResource \"Quelt.png\" 55 100 3\n"
                        "Init 330 195 2\n";

// The one control a line makes after the prelude, or null.
struct OneLine {
    OneLine() { gate.getCommands().add(new GEffectCommand("Broken", -1)); }

    template <class Control = GEditorControl>
    Control* make(const std::string& line)
    {
        MemoryReader text(kPrelude + ("AddControl 1 10 20 40 40 " + line) + "\n");
        XP::TokenReader tokens(&text);
        GEditorSkinBuilder builder(&gate);
        skin.reset(builder.buildSkin(tokens));
        if (!skin || skin->getControls().getCount() != 1)
            return nullptr;
        return dynamic_cast<Control*>(skin->getControls().get(0));
    }

    buttontest::CommandGate gate{skintest::Recorder::callback};
    std::unique_ptr<GEditorSkin> skin;
};

}  // namespace

TEST(ButtonFactory, GoodLinesMakeTheirTypes)
{
    OneLine f;
    auto* button = f.make<GImgButton>("gimgbutton \"fade\" strip");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parameterIndex(), kFade);
    auto* command = f.make<GImgCommand>("GImgCommand Go strip");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->getCommandId(), buttontest::CommandGate::kGo);
    EXPECT_NE(f.make<GHlSwitch>("GHlSwitch Attack 5 5 30 30 col hl col"), nullptr);
    EXPECT_NE(f.make<GHlSwitch>("GHlSwitch Attack -5 0 0 -30 col hl col"), nullptr);
    EXPECT_NE(f.make<GImgSwitch>("GIMGSWITCH Thresh strip"), nullptr);
    auto* radio = f.make<GHlRadio>("GHlRadio Attack 2 3 5 5 30 30 col hl col");
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->getBandTarget(), 0.625);
    EXPECT_EQ(f.make<GImgRadio>("GImgRadio Fade 1 1 strip")->getBandHigh(), 1.0);
    EXPECT_EQ(f.make<GImgRadio>("GImgRadio Fade 0 2147483647 strip")->getBandLow(), 0.0);
    auto* image = f.make<GImg>("GImg strip");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getX() + image->getY() + image->getPage(), 31);
}

TEST(ButtonFactory, BadArgumentsAddNothing)
{
    OneLine f;
    const char* lines[] = {
        "GImgButton Missing strip",  "GImgButton Fade Null",         "GImgButton Fade col",
        "GImgButton Fade",           "GImgCommand Stop strip",       "GImgCommand Broken strip",
        "GImgCommand go strip",      "GImgCommand Go hl",            "GImgSwitch Nope strip",
        "GImgSwitch Fade hl",        "GHlSwitch Fade 5 5 30 30 col hl strip",
        "GHlSwitch Nope 5 5 30 30 col hl col", "GHlSwitch Fade 5 5 30 30 col Null col",
        "GHlSwitch Fade 5 5 30 30 col hl", "GImgRadio Fade 2 1 strip", "GImgRadio Fade -1 1 strip",
        "GImgRadio Fade 0 -1 strip", "GImgRadio Fade 0 1 col",       "GImgRadio Nope 0 1 strip",
        "GHlRadio Fade 0 -1 5 5 30 30 col hl col", "GHlRadio Fade -1 -1 5 5 30 30 col hl col",
        "GHlRadio Fade 2 1 5 5 30 30 col hl col",  "GHlRadio Fade -1 3 5 5 30 30 col hl col",
        "GHlRadio Fade 0 1 5 5 30 30 col hl Null", "GHlRadio Fade 0 1 5 5 30 30 col hl",
        "GImg Null",                 "GImg col",                     "GImg",
    };
    for (const char* line : lines) {
        EXPECT_EQ(f.make(line), nullptr) << line;
        ASSERT_NE(f.skin, nullptr);
    }
}

TEST(StillImage, DrawnOnItsPageOnlyAndWipedOnceWhenLeft)
{
    knobtest::KnobFixture f;
    GImageResource strip("strip", "Quelt.png", 55, 100, 3);
    auto* image = f.adopt(new GImg(f.args(2, 10, 10, 40, 40), &strip));
    EXPECT_EQ(image->cursorAt(5, 5), kCursorDefault);
    EXPECT_FALSE(f.skin.onLeftDown(false, false, 20, 20));
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(image->isPainted()) << "page 1 is shown";
    f.skin.setPage(2);
    f.skin.drawPass(&f.canvas);
    EXPECT_TRUE(image->isPainted());
    EXPECT_FALSE(image->needsRedraw()) << "drawn once";
    f.skin.setPage(1);
    f.skin.drawPass(&f.canvas);
    EXPECT_FALSE(image->isPainted());
    EXPECT_TRUE(image->needsRedraw());
    f.skin.setPage(2);
    f.skin.drawPass(&f.canvas);
    EXPECT_TRUE(image->isPainted());
}
