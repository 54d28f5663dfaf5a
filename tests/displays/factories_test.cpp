// The skin words of the display, meter and link families: arguments, the
// conditions under which nothing is created, and the default skin's
// read-outs, labels, bar and links on a running gate.
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
#include <vector>

using namespace Zorv;

namespace {

const char kPrelude[] =
    "Init 330 195 2\n"
    "AddResource col RGBColour 200 210 220\n"
    "AddResource fnt DefFont 12 col \"Kelvo\"\n"
    "AddResource hot DefFont 12 col \"Kelvo\"\n"
    "AddResource strip PngResource \"Quelt.png\" 33 19 10\n";

struct FactoryFixture {
    FactoryFixture()
    {
        effect.getFeatures().add(new GTypedFeature<int>("Steps", &steps));
        effect.getCommands().add(new GEffectCommand("ResetPeak", 4));
        effect.getCommands().add(new GEffectCommand("Broken", -1));
    }

    // The controls one line adds after the prelude.
    const PtrMgr<GEditorControl>& build(const std::string& line)
    {
        MemoryReader source(kPrelude + line + "\n");
        XP::TokenReader tokens(&source);
        skin.reset(builder.buildSkin(tokens));
        return skin->getControls();
    }

    template <class Control>
    Control* one(const std::string& line)
    {
        const auto& controls = build(line);
        return controls.getCount() == 1 ? dynamic_cast<Control*>(controls.get(0)) : nullptr;
    }

    displaytest::CommandGate effect{skintest::Recorder::callback};
    GEditorSkinBuilder builder{&effect};
    std::unique_ptr<GEditorSkin> skin;
    std::atomic<int> steps{3};
};

}  // namespace

TEST(Factories, EveryWordWithItsArguments)
{
    FactoryFixture f;
    auto* value = f.one<GValue>("AddControl 1 50 155 60 15 gvalue \"attack\" fnt");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->getX(), 50);
    EXPECT_EQ(value->getPage(), 1);
    f.effect.setParameter(kAttack, 0.5f);
    EXPECT_STREQ(value->text(), "15.0 ms");
    EXPECT_NE(f.one<GBgValue>("AddControl 1 0 0 60 15 GBgValue Fade strip fnt"), nullptr);

    auto* label = f.one<GLabel>("AddControl 2 20 75 290 20 GLabel Left \"v${PlugVer}\" fnt 15000");
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->text(), "v2.7");
    EXPECT_FALSE(label->isStatic());

    auto* bar = f.one<GBarFracMeter>("AddControl 1 188 38 119 9 GBarFracMeter Meter toptobottom col");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->litRect().w, 119);  // a vertical bar spans the width

    auto* steps = f.one<GImgMeter>("AddControl 1 0 0 33 19 GImgMeter Steps 2 1 strip");
    ASSERT_NE(steps, nullptr);
    EXPECT_EQ(steps->frameIndex(), 7);
    EXPECT_NE(f.one<GImgFracMeter>("AddControl 1 0 0 33 19 GImgFracMeter Meter strip"), nullptr);

    auto* peak = f.one<GTextPeak>("AddControl 1 0 0 80 15 GTextPeak Meter ResetPeak fnt hot");
    ASSERT_NE(peak, nullptr);
    peak->onLeftDown(false, true, 1, 1);
    ASSERT_EQ(f.effect.commands.size(), 1u);
    EXPECT_EQ(f.effect.commands[0].id, 4);
    EXPECT_NE(f.one<GImgPeak>("AddControl 1 0 0 33 19 GImgPeak Meter ResetPeak strip"), nullptr);

    auto* url = f.one<GUrl>("AddControl 2 0 0 160 55 GUrl \"https://example.com/a b\"");
    ASSERT_NE(url, nullptr);
    EXPECT_STREQ(url->address(), "https://example.com/a b");
    auto* imgUrl = f.one<GImgUrl>("AddControl 2 0 0 33 19 GImgUrl strip https://example.com/");
    ASSERT_NE(imgUrl, nullptr);
    EXPECT_STREQ(imgUrl->address(), "https://example.com/");
}

TEST(Factories, UnresolvedArgumentsCreateNothing)
{
    FactoryFixture f;
    const char* const lines[] = {
        "AddControl 1 0 0 60 15 GValue Nope fnt",
        "AddControl 1 0 0 60 15 GValue Attack Null",
        "AddControl 1 0 0 60 15 GValue Attack col",  // a colour is no font
        "AddControl 1 0 0 60 15 GValue Attack",      // too few arguments
        "AddControl 1 0 0 60 15 GBgValue Attack Null fnt",
        "AddControl 1 0 0 60 15 GLabel Left \"text\" nofont 0",
        "AddControl 1 0 0 99 9 GBarFracMeter Meter LeftToRight Null",
        "AddControl 1 0 0 99 9 GBarFracMeter Null LeftToRight col",
        "AddControl 1 0 0 99 9 GBarFracMeter meter LeftToRight col",  // feature names keep case
        "AddControl 1 0 0 99 9 GBarFracMeter Steps LeftToRight col",  // an int feature
        "AddControl 1 0 0 33 19 GImgFracMeter Meter Null",
        "AddControl 1 0 0 33 19 GImgMeter Steps 0 1 strip",
        "AddControl 1 0 0 33 19 GImgMeter Steps -Inf 1 strip",
        "AddControl 1 0 0 33 19 GImgMeter Meter 1 0 strip",  // a double feature
        "AddControl 1 0 0 80 15 GTextPeak Meter NoSuch fnt hot",
        "AddControl 1 0 0 80 15 GTextPeak Meter Broken fnt hot",  // negative id
        "AddControl 1 0 0 80 15 GTextPeak Meter ResetPeak fnt Null",
        "AddControl 1 0 0 80 15 GTextPeak Steps ResetPeak fnt hot",
        "AddControl 1 0 0 33 19 GImgPeak Meter ResetPeak Null",
        "AddControl 1 0 0 33 19 GImgPeak Meter resetpeak strip",  // command names keep case
        "AddControl 2 0 0 160 55 GUrl",
        "AddControl 2 0 0 33 19 GImgUrl Null https://example.com/",
        "AddControl 2 0 0 33 19 GImgUrl strip",
    };
    for (const char* line : lines)
        EXPECT_EQ(f.build(line).getCount(), 0) << line;
}

TEST(Factories, WordsForDirectionAndAlignment)
{
    FactoryFixture f;
    auto* none = f.one<GBarFracMeter>("AddControl 1 0 0 99 9 GBarFracMeter Meter Sideways col");
    ASSERT_NE(none, nullptr);  // created, but it never paints
    EXPECT_EQ(none->litRect().w, 0);
    auto* right = f.one<GBarFracMeter>("AddControl 1 0 0 100 9 GBarFracMeter Meter RIGHTTOLEFT col");
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->litRect().x, 100);  // grows from the right edge; silent gate
    EXPECT_NE(f.one<GLabel>("AddControl 2 0 0 99 9 GLabel centred \"x\" fnt 0"), nullptr);
    EXPECT_NE(f.one<GLabel>("AddControl 2 0 0 99 9 GLabel ? \"\" fnt 0"), nullptr);
}

TEST(Factories, DefaultSkinOnARunningGate)
{
    FactoryFixture f;
    XP::ResourceReader source;
    source.open("QueltSkin.txt");
    XP::TokenReader tokens(&source);
    f.skin.reset(f.builder.buildSkin(tokens));
    ASSERT_TRUE(f.skin);
    std::vector<GValue*> values;
    std::vector<GLabel*> labels;
    std::vector<GUrl*> links;
    GBarFracMeter* bar = nullptr;
    const auto& controls = f.skin->getControls();
    for (int i = 0; i < controls.getCount(); ++i) {
        GEditorControl* control = controls.get(i);
        if (auto* value = dynamic_cast<GValue*>(control))
            values.push_back(value);
        if (auto* label = dynamic_cast<GLabel*>(control))
            labels.push_back(label);
        if (auto* link = dynamic_cast<GUrl*>(control))
            links.push_back(link);
        if (auto* meter = dynamic_cast<GBarFracMeter*>(control))
            bar = meter;
    }
    ASSERT_EQ(values.size(), 3u);
    EXPECT_NE(std::string(values[0]->text()).find(" dB"), std::string::npos);
    EXPECT_NE(std::string(values[1]->text()).find(" ms"), std::string::npos);
    EXPECT_NE(std::string(values[2]->text()).find(" s"), std::string::npos);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_FALSE(labels[3]->isStatic());
    EXPECT_EQ(std::string(labels[1]->text()).find('$'), std::string::npos);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_GT(strlen(links[0]->address()), size_t(kShortestIgnoredAddress));

    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->getW(), 119);
    EXPECT_EQ(bar->litRect().w, 0);
    f.effect.setSampleRate(44100.0f);
    f.effect.resume();
    std::vector<double> loud(4410, 0.5), left(4410), right(4410);
    double* in[] = {loud.data(), loud.data()};
    double* out[] = {left.data(), right.data()};
    f.effect.processDoubleReplacing(in, out, 4410);
    EXPECT_EQ(bar->litRect().w, 119);  // the gate is fully open
    std::vector<double> silence(4410, 0.0);
    double* quiet[] = {silence.data(), silence.data()};
    for (int block = 0; block < 20; ++block)
        f.effect.processDoubleReplacing(quiet, out, 4410);
    EXPECT_EQ(bar->litRect().w, 0);
}
