// Skin factories of the pot and page-selector types: every line is built
// by the real builder after a few resources; bad arguments add nothing.
#include "controls/pagesel.h"
#include "controls/pots.h"
#include "editor/builder.h"
#include "knobtest.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace Zorv;

namespace {

// Bytes of a string, for the token reader.
class TextReader : public XP::InputReader {
public:
    explicit TextReader(std::string text) : text(std::move(text)) {}
    bool isOpen() const override { return position < text.size(); }
    size_t read(void* buffer, size_t n) override
    {
        const size_t count = std::min(n, text.size() - position);
        std::memcpy(buffer, text.data() + position, count);
        position += count;
        return count;
    }

private:
    std::string text;
    size_t position = 0;
};

const char* const kResources =
    "AddResource dialhl RGBAColour 255 255 255 60\n"
    "AddResource dotcol RGBColour 40 40 50\n"
    "AddResource pagehl RGBAColour 230 240 250 20\n"
    "AddResource strip PngResource \"Quelt.png\" 33 39 31\n"
    "Init 330 195 2\n";

struct Built {
    std::unique_ptr<GEditorSkin> skin;
    GEditorControl* control = nullptr;  // the one control the line made, if any
};

Built build(Quelt& effect, const std::string& line)
{
    TextReader text(std::string(kResources) + line + "\n");
    XP::TokenReader tokens(&text);
    GEditorSkinBuilder builder(&effect);
    Built built;
    built.skin.reset(builder.buildSkin(tokens));
    if (built.skin && built.skin->getControls().getCount() == 1)
        built.control = built.skin->getControls().get(0);
    return built;
}

template <class Control>
Control* as(const Built& built)
{
    return dynamic_cast<Control*>(built.control);
}

}  // namespace

TEST(KnobFactory, PotTypesTakeTheirArguments)
{
    Quelt effect(skintest::Recorder::callback);
    Built dot = build(effect, "AddControl 1 55 100 50 50 gpotdot \"thresh\" dialhl 15 dotcol");
    ASSERT_NE(as<GPotDot>(dot), nullptr);
    EXPECT_EQ(as<GPotDot>(dot)->parameterIndex(), kThresh);
    EXPECT_EQ(dot.control->getX(), 55);
    EXPECT_EQ(dot.control->getPage(), 1);

    Built bg = build(effect, "AddControl 1 0 0 33 39 GBgPotDot Fade strip 15 dotcol");
    ASSERT_NE(as<GBgPotDot>(bg), nullptr);
    EXPECT_EQ(as<GBgPotDot>(bg)->parameterIndex(), kFade);

    for (const char* length : {"-20", "0"}) {
        Built line = build(effect, std::string("AddControl 1 0 0 50 50 GPotLine Attack dialhl ") +
                                       length + " dotcol");
        ASSERT_NE(as<GPotLine>(line), nullptr) << length;
        EXPECT_EQ(as<GPotLine>(line)->parameterIndex(), kAttack);
    }

    Built img = build(effect, "AddControl 1 0 0 33 39 GImgPot Attack strip");
    ASSERT_NE(as<GImgPot>(img), nullptr);
    effect.writeParameter(kAttack, 1.0);
    EXPECT_EQ(as<GImgPot>(img)->frameIndex(), 30);
}

TEST(KnobFactory, PotTypesRefuseBadArguments)
{
    Quelt effect(skintest::Recorder::callback);
    const char* lines[] = {
        "GPotDot Missing dialhl 15 dotcol",  // no such parameter
        "GPotDot Thresh Null 15 dotcol",     // highlight colour required
        "GPotDot Thresh dialhl 15 nocol",    // dot colour unresolved
        "GPotDot Thresh strip 15 dotcol",    // an image is no colour
        "GPotDot Thresh dialhl 0 dotcol",    // radius must be > 0
        "GPotDot Thresh dialhl -3 dotcol",
        "GPotDot Thresh dialhl Inf dotcol",  // nor infinite
        "GPotDot Thresh dialhl nan dotcol",
        "GPotDot Thresh dialhl 15",          // too few arguments
        "GBgPotDot Thresh dialhl 15 dotcol", // a colour is no image
        "GBgPotDot Thresh strip 0 dotcol",
        "GBgPotDot Thresh strip 15 Null",
        "GBgPotDot Nope strip 15 dotcol",
        "GPotLine Attack Null 20 dotcol",
        "GPotLine Attack dialhl 20 strip",
        "GPotLine Attack dialhl Inf dotcol",
        "GPotLine Nope dialhl 20 dotcol",
        "GImgPot Attack Null",
        "GImgPot Attack dialhl",
        "GImgPot Nope strip",
        "GImgPot Attack",
    };
    for (const char* line : lines) {
        Built built = build(effect, std::string("AddControl 1 0 0 50 50 ") + line);
        ASSERT_NE(built.skin, nullptr);
        EXPECT_EQ(built.skin->getControls().getCount(), 0) << line;
    }
}

TEST(KnobFactory, PageSelectorsNeedATargetPageAndTheirResource)
{
    Quelt effect(skintest::Recorder::callback);
    Built hlt = build(effect, "AddControl 0 183 3 64 16 GPageSelHlt 2 pagehl");
    ASSERT_NE(as<GPageSelHlt>(hlt), nullptr);
    EXPECT_EQ(as<GPageSelHlt>(hlt)->getTargetPage(), 2);
    Built img = build(effect, "AddControl 0 0 0 33 39 gimgpagesel strip 1");
    ASSERT_NE(as<GImgPageSel>(img), nullptr);
    EXPECT_EQ(as<GImgPageSel>(img)->getTargetPage(), 1);

    const char* lines[] = {
        "GPageSelHlt 0 pagehl", "GPageSelHlt -1 pagehl", "GPageSelHlt 1 Null",
        "GPageSelHlt 1 strip",  "GPageSelHlt 1",         "GImgPageSel strip 0",
        "GImgPageSel Null 1",   "GImgPageSel pagehl 1",  "GImgPageSel strip",
    };
    for (const char* line : lines) {
        Built built = build(effect, std::string("AddControl 0 0 0 50 50 ") + line);
        ASSERT_NE(built.skin, nullptr);
        EXPECT_EQ(built.skin->getControls().getCount(), 0) << line;
    }
}

TEST(KnobFactory, DefaultSkinPlacesThreeKnobsAndTwoTabs)
{
    Quelt effect(skintest::Recorder::callback);
    XP::ResourceReader text;
    text.open("QueltSkin.txt");
    XP::TokenReader tokens(&text);
    GEditorSkinBuilder builder(&effect);
    std::unique_ptr<GEditorSkin> skin(builder.buildSkin(tokens));
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
