// The skin words of the display, meter and link families: their arguments,
// what is not created, and the default skin's controls on a running gate.
#include "controls/links.h"
#include "controls/meters.h"
#include "controls/values.h"
#include "displaytest.h"
#include "editor/builder.h"
#include "tests/text/memory_reader.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Zorv;

namespace {

const char kPrelude[] = "Init 330 195 2\n"
                        "AddResource col RGBColour 200 210 220\n"
                        "AddResource fnt DefFont 12 col \"Kelvo\"\n"
                        "AddResource strip PngResource \"Quelt.png\" 33 19 10\n";

struct FactoryFixture {
    FactoryFixture()
    {
        effect.getFeatures().add(new GTypedFeature<int>("Steps", &steps));
        effect.getCommands().add(new GEffectCommand("ResetPeak", 4));
        effect.getCommands().add(new GEffectCommand("Broken", -1));
    }

    void build(XP::InputReader& source)
    {
        XP::TokenReader tokens(&source);
        skin.reset(builder.buildSkin(tokens));
    }
    // The one control a line adds after the prelude, if it has the type.
    template <class Control = GEditorControl>
    Control* one(const std::string& line)
    {
        MemoryReader source(kPrelude + line + "\n");
        build(source);
        const auto& controls = skin->getControls();
        return controls.getCount() == 1 ? dynamic_cast<Control*>(controls.get(0)) : nullptr;
    }
    template <class Control>
    std::vector<Control*> all() const
    {
        std::vector<Control*> found;
        for (int i = 0; i < skin->getControls().getCount(); ++i)
            if (auto* control = dynamic_cast<Control*>(skin->getControls().get(i)))
                found.push_back(control);
        return found;
    }

    displaytest::CommandGate effect{skintest::Recorder::callback};
    GEditorSkinBuilder builder{&effect};
    std::unique_ptr<GEditorSkin> skin;
    std::atomic<int> steps{3};
};

}  // namespace

TEST(DisplayFactories, EveryWordWithItsArguments)
{
    FactoryFixture f;
    f.effect.setParameter(kAttack, 0.5f);
    auto* value = f.one<GValue>("AddControl 1 50 155 60 15 gvalue \"attack\" fnt");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->getX() + value->getPage(), 51);
    EXPECT_STREQ(value->text(), "15.0 ms");
    EXPECT_NE(f.one<GBgValue>("AddControl 1 0 0 60 15 GBgValue Fade strip fnt"), nullptr);
    auto* label = f.one<GLabel>("AddControl 2 0 0 290 20 GLabel centre \"v${PlugVer}\" fnt 15000");
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->text(), "v2.7");
    EXPECT_FALSE(label->isStatic());
    auto* bar = f.one<GBarFracMeter>("AddControl 1 0 0 100 9 GBarFracMeter Meter RIGHTTOLEFT col");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->litRect().x, 100);  // grows from the right edge
    auto* sideways = f.one<GBarFracMeter>("AddControl 1 0 0 99 9 GBarFracMeter Meter Up col");
    ASSERT_NE(sideways, nullptr);  // created, but it never paints
    EXPECT_EQ(sideways->litRect().h, 0);
    auto* steps = f.one<GImgMeter>("AddControl 1 0 0 33 19 GImgMeter Steps 2 1 strip");
    ASSERT_NE(steps, nullptr);
    EXPECT_EQ(steps->frameIndex(), 7);
    EXPECT_NE(f.one<GImgFracMeter>("AddControl 1 0 0 33 19 GImgFracMeter Meter strip"), nullptr);
    auto* peak = f.one<GTextPeak>("AddControl 1 0 0 80 15 GTextPeak Meter ResetPeak fnt fnt");
    ASSERT_NE(peak, nullptr);
    peak->onLeftDown(false, true, 1, 1);
    ASSERT_EQ(f.effect.commands.size(), 1u);
    EXPECT_EQ(f.effect.commands[0].id, 4);
    EXPECT_NE(f.one<GImgPeak>("AddControl 1 0 0 33 19 GImgPeak Meter ResetPeak strip"), nullptr);
    auto* url = f.one<GUrl>("AddControl 2 0 0 160 55 GUrl \"https://example.com/a b\"");
    ASSERT_NE(url, nullptr);
    EXPECT_STREQ(url->address(), "https://example.com/a b");
    EXPECT_NE(f.one<GImgUrl>("AddControl 2 0 0 33 19 GImgUrl strip https://example.com/"), nullptr);
}

TEST(DisplayFactories, UnresolvedArgumentsCreateNothing)
{
    FactoryFixture f;
    const char* const lines[] = {
        "GValue Nope fnt",
        "GValue Attack col",  // a colour is no font
        "GBgValue Attack Null fnt",
        "GLabel Left \"text\" nofont 0",
        "GBarFracMeter Meter LeftToRight Null",
        "GBarFracMeter Null LeftToRight col",
        "GBarFracMeter meter LeftToRight col",  // feature names keep their case
        "GBarFracMeter Steps LeftToRight col",  // an int feature
        "GImgFracMeter Meter Null",
        "GImgMeter Steps 0 1 strip",
        "GImgMeter Meter 1 0 strip",  // a double feature
        "GTextPeak Meter NoSuch fnt fnt",
        "GTextPeak Meter Broken fnt fnt",  // a negative id
        "GTextPeak Meter ResetPeak fnt Null",
        "GImgPeak Meter ResetPeak Null",
        "GImgUrl Null https://example.com/",
        "GUrl",
    };
    for (const char* line : lines)
        EXPECT_EQ(f.one(std::string("AddControl 1 0 0 33 19 ") + line), nullptr) << line;
}

TEST(DisplayFactories, DefaultSkinOnARunningGate)
{
    FactoryFixture f;
    XP::ResourceReader source;
    source.open("QueltSkin.txt");
    f.build(source);
    ASSERT_TRUE(f.skin);
    const auto values = f.all<GValue>();
    const auto labels = f.all<GLabel>();
    const auto bars = f.all<GBarFracMeter>();
    ASSERT_EQ(values.size(), 3u);
    EXPECT_NE(std::string(values[0]->text()).find(" dB"), std::string::npos);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_FALSE(labels[3]->isStatic());
    EXPECT_EQ(std::string(labels[1]->text()).find('$'), std::string::npos);
    EXPECT_EQ(f.all<GUrl>().size(), 2u);

    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0]->litRect().w, 0);
    f.effect.setSampleRate(44100.0f);
    f.effect.resume();
    std::vector<double> loud(4410, 0.5), silence(4410, 0.0), left(4410), right(4410);
    double* in[] = {loud.data(), loud.data()};
    double* quiet[] = {silence.data(), silence.data()};
    double* out[] = {left.data(), right.data()};
    f.effect.processDoubleReplacing(in, out, 4410);
    EXPECT_EQ(bars[0]->litRect().w, 119);  // the gate is fully open
    for (int block = 0; block < 20; ++block)
        f.effect.processDoubleReplacing(quiet, out, 4410);
    EXPECT_EQ(bars[0]->litRect().w, 0);
}
