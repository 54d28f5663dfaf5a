// Control statements, the control type table, the embedded default skin and
// the editor built around it.
#include "buildtest.h"

#include "editor/editor.h"
#include "shell/embedded.h"
#include "xp/resourcereader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

using namespace Zorv;
using buildtest::Fixture;
using buildtest::kInit;

namespace {

// Registers a text as an embedded file and returns its name.
const char* embedText(const char* name, const char* text)
{
    static std::vector<std::unique_ptr<EmbeddedResource>> records;
    records.push_back(std::make_unique<EmbeddedResource>(
        EmbeddedResource{name, strlen(text), reinterpret_cast<const unsigned char*>(text)}));
    registerResource(records.back().get());
    return name;
}

buildtest::SkinPtr buildDefaultSkin(GEditorSkinBuilder& builder)
{
    XP::ResourceReader reader;
    reader.open("QueltSkin.txt");
    XP::TokenReader tokens(&reader);
    return buildtest::SkinPtr(builder.buildSkin(tokens));
}

}  // namespace

TEST(BuilderControls, AddControlFillsTheArgumentsPageFirst)
{
    Fixture f;
    auto skin = f.build(kInit + "AddControl 2 10 20 30 40 Probe\n"
                        "addcontrol 0 -1 -2 0 0 probe\n"
                        "AddNameCtl knob 1 5 6 7 8 Probe\n");
    ASSERT_NE(skin, nullptr);
    const auto& controls = skin->getControls();
    ASSERT_EQ(controls.getCount(), 3);
    const GEditorControl* first = controls.get(0);
    EXPECT_EQ(first->getPage(), 2);
    EXPECT_EQ(first->getX(), 10);
    EXPECT_EQ(first->getY(), 20);
    EXPECT_EQ(first->getW(), 30);
    EXPECT_EQ(first->getH(), 40);
    EXPECT_STREQ(first->getName(), "");
    EXPECT_EQ(controls.get(1)->getX(), -1);
    EXPECT_STREQ(controls.get(2)->getName(), "knob");
    EXPECT_EQ(controls.get(2)->getPage(), 1);
    EXPECT_EQ(controls.get(2)->getH(), 8);
}

TEST(BuilderControls, MissingOrUnknownTypeWordsAddNothing)
{
    Fixture f;
    auto skin = f.build(kInit + "AddControl 1 0 0 10 10\nAddControl 1 0 0 10\n"
                        "AddControl 1 0 0 10 10 NoSuchType 1 2 3\n"
                        "AddNameCtl n 1 0 0 10 10\nAddNameCtl n 1 0 0 10 10 Probes\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getControls().getCount(), 0);
}

TEST(BuilderControls, ControlNamesKeepThirtyFiveCharacters)
{
    const std::string name(60, 'c');
    Fixture f;
    auto skin = f.build(kInit + "AddNameCtl " + name + " 1 0 0 1 1 Probe\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getControls().getCount(), 1);
    EXPECT_EQ(std::string(skin->getControls().get(0)->getName()), name.substr(0, kNameLength));
}

TEST(ControlTypes, WholeWordsMatchIgnoringCase)
{
    EXPECT_EQ(findControlType(nullptr), nullptr);
    EXPECT_EQ(findControlType(""), nullptr);
    EXPECT_EQ(findControlType("NoSuchType"), nullptr);
    for (const char* word : {"GPotDot", "GPageSelHlt", "GValue", "GLabel", "GUrl"}) {
        const GControlType* type = findControlType(word);
        if (!type)
            continue;
        std::string lower(word), longer(word);
        for (char& c : lower)
            c = char(tolower(c));
        longer += "X";
        EXPECT_EQ(findControlType(lower.c_str()), type) << word;
        EXPECT_EQ(findControlType(longer.c_str()), nullptr) << word;
        EXPECT_EQ(findControlType(std::string(word).substr(1).c_str()), nullptr) << word;
        EXPECT_NE(type->create, nullptr) << word;
    }
}

TEST(BuilderControls, TableTypesNeedTheirArgumentsAndResolvedColours)
{
    if (!findControlType("GBarFracMeter"))
        GTEST_SKIP() << "GBarFracMeter is not in the control table";
    Fixture f;
    auto skin = f.build(kInit + "AddResource bar RGBColour 1 2 3\n"
                        "AddControl 1 0 0 50 9 GBarFracMeter Meter LeftToRight bar\n"
                        "AddControl 1 0 0 50 9 gbarfracmeter Meter lefttoright bar\n"
                        "AddControl 1 0 0 50 9 GBarFracMeter Meter LeftToRight\n"
                        "AddControl 1 0 0 50 9 GBarFracMeter Meter LeftToRight Null\n"
                        "AddControl 1 0 0 50 9 GBarFracMeter Meter LeftToRight Bar\n"
                        "AddControl 1 0 0 50 9 GBarFracMeter Null LeftToRight bar\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getControls().getCount(), 2);
}

TEST(BuilderControls, CreateControlLeavesTheCursorAloneWhenTooFewArguments)
{
    const GControlType* type = findControlType("GBarFracMeter");
    if (!type)
        GTEST_SKIP() << "GBarFracMeter is not in the control table";
    Fixture f;
    MemoryReader source("GBarFracMeter Meter LeftToRight\n");
    XP::TokenReader tokens(&source);
    ASSERT_TRUE(tokens.nextLine());
    ASSERT_LT(tokens.count() - 1, type->minArgs);
    EXPECT_EQ(f.builder.createControl(ControlArgs{}, tokens), nullptr);
    EXPECT_EQ(tokens.cursor, 0);
}

TEST(DefaultSkin, BuildsTheTwoPageEditor)
{
    Quelt effect(nullptr);
    GEditorSkinBuilder builder(&effect);
    auto skin = buildDefaultSkin(builder);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getWidth(), 330);
    EXPECT_EQ(skin->getHeight(), 195);
    EXPECT_EQ(skin->getPages(), 2);
    EXPECT_EQ(skin->getStartPage(), 1);
    EXPECT_EQ(skin->getRefreshThrottleMs(), 30);
    EXPECT_EQ(skin->getChecks().getCount(), 0);

    const auto& bgs = skin->getBackgrounds();
    ASSERT_EQ(bgs.getCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(bgs.get(i)->page, i + 1);
        EXPECT_EQ(bgs.get(i)->frame, i);
        EXPECT_STREQ(bgs.get(i)->image->getName(), "bgimg");
        EXPECT_EQ(bgs.get(i)->conditions.getCount(), 0);
    }

    const char* names[] = {"Kelvo",  "valcol",  "dotcol",  "lblcol", "pagehl",
                           "dialhl", "barcol", "valfont", "lblfont", "bgimg"};
    const auto& resources = skin->getResources();
    ASSERT_EQ(resources.getCount(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_STREQ(resources.get(i)->getName(), names[i]);
    int colours = 0, fonts = 0, faces = 0, images = 0;
    for (int i = 0; i < resources.getCount(); ++i) {
        colours += resources.get(i)->isType(typeid(GColourResource).hash_code());
        fonts += resources.get(i)->isType(typeid(GFontResource).hash_code());
        faces += resources.get(i)->isType(typeid(GFontTypeResource).hash_code());
        images += resources.get(i)->isType(typeid(GImageResource).hash_code());
    }
    EXPECT_EQ(colours, 6);
    EXPECT_EQ(fonts, 2);
    EXPECT_EQ(faces, 1);
    EXPECT_EQ(images, 1);
    const auto* font = static_cast<const GFontResource*>(resources.get(7))->font();
    EXPECT_DOUBLE_EQ(font->size(), 12.4);
    EXPECT_STREQ(font->family(), "Kelvo");
    EXPECT_EQ(font->colour()[1], 240);
}

TEST(DefaultSkin, EveryTableTypeItUsesBuildsItsControls)
{
    const std::pair<const char*, int> uses[] = {{"GPageSelHlt", 2}, {"GPotDot", 3},
                                                {"GValue", 3},      {"GBarFracMeter", 1},
                                                {"GUrl", 2},        {"GLabel", 4}};
    int expected = 0;
    for (const auto& use : uses)
        expected += findControlType(use.first) ? use.second : 0;
    Quelt effect(nullptr);
    GEditorSkinBuilder builder(&effect);
    auto skin = buildDefaultSkin(builder);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getControls().getCount(), expected);
}

TEST(BuilderEditor, CreatedOnlyFromAnEmbeddedTextWithAValidInit)
{
    Quelt effect(nullptr);
    GEditorSkinBuilder builder(&effect);
    EXPECT_EQ(builder.createEditor("NoSuchSkin.txt"), nullptr);
    EXPECT_EQ(builder.createEditor(nullptr), nullptr);
    EXPECT_EQ(builder.createEditor(embedText("NoInitSkin.txt", "RefreshThrottleMs 5\r\n")), nullptr);

    std::unique_ptr<GEditor> editor(builder.createEditor("queltskin.txt"));
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor->getSkin(), nullptr);
    EXPECT_EQ(editor->getSkin()->getWidth(), 330);
    EXPECT_EQ(editor->getGEffect(), &effect);
    EXPECT_EQ(builder.getSkin(), nullptr) << "the editor owns the skin";
}
