// Resources of the skin text: colours, fonts, images, TrueType data, their
// names, their bounds, and the lookups that find them.
#include "buildtest.h"

#include <gtest/gtest.h>

#include <typeinfo>

using namespace Zorv;
using buildtest::Fixture;
using buildtest::kInit;

namespace {

template <typename T>
const T* resourceAt(const GEditorSkin& skin, int i)
{
    const GEditorResource* resource = skin.getResources().get(i);
    return resource->isType(typeid(T).hash_code()) ? static_cast<const T*>(resource) : nullptr;
}

void expectBytes(const unsigned char* rgba, int r, int g, int b, int a)
{
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba[0], r);
    EXPECT_EQ(rgba[1], g);
    EXPECT_EQ(rgba[2], b);
    EXPECT_EQ(rgba[3], a);
}

}  // namespace

TEST(BuilderColours, ComponentsKeepTheirLowByte)
{
    Fixture f;
    auto skin = f.build(kInit + "AddResource x RGBColour 300 -1 255\n"
                        "AddResource y RGBAColour 256 0 0 -2\n"
                        "AddResource z RGBColour 1 2\nAddResource w RGBAColour 1 2 3\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getResources().getCount(), 2) << "too few components add nothing";
    expectBytes(resourceAt<GColourResource>(*skin, 0)->colour(), 44, 255, 255, 255);
    expectBytes(resourceAt<GColourResource>(*skin, 1)->colour(), 0, 0, 0, 254);
}

TEST(BuilderFonts, DefFontNeedsPositiveFiniteSizeAndAColour)
{
    Fixture f;
    auto skin = f.build(kInit + "AddResource col RGBAColour 10 20 30 40\n"
                        "AddResource ok DefFont 12.4 col \"Kelvo Sans\"\n"
                        "AddResource zero DefFont 0 col Kelvo\n"
                        "AddResource neg DefFont -3 col Kelvo\n"
                        "AddResource inf DefFont inf col Kelvo\n"
                        "AddResource nul DefFont 10 Null Kelvo\n"
                        "AddResource miss DefFont 10 nocol Kelvo\n"
                        "AddResource short DefFont 10 col\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getResources().getCount(), 2);
    const GFontResource* font = resourceAt<GFontResource>(*skin, 1);
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(font->getName(), "ok");
    EXPECT_DOUBLE_EQ(font->font()->size(), 12.4);
    EXPECT_STREQ(font->font()->family(), "Kelvo Sans");
    expectBytes(font->font()->colour(), 10, 20, 30, 40);
}

TEST(BuilderImages, PngResourceNeedsPositiveFrameLayout)
{
    Fixture f;
    auto skin = f.build(kInit + "AddResource a PngResource Quelt.png 330 195 2\n"
                        "AddResource b PngResource Quelt.png 0 195 2\n"
                        "AddResource c PngResource Quelt.png 330 -1 2\n"
                        "AddResource d PngResource Quelt.png 330 195 0\n"
                        "AddResource e PngResource Quelt.png 330 195\n"
                        "AddResource f PngResource NoSuch.png 1 1 1\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getResources().getCount(), 2) << "a missing file is only found at load";
    const GImageResource* image = resourceAt<GImageResource>(*skin, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_STREQ(image->file(), "Quelt.png");
    EXPECT_EQ(image->frameWidth(), 330);
    EXPECT_EQ(image->frameHeight(), 195);
    EXPECT_EQ(image->frameCount(), 2);
    EXPECT_EQ(image->handle(), 0);
}

TEST(BuilderResources, UnknownOrMissingTypeAddsNothing)
{
    Fixture f;
    auto skin = f.build(kInit + "AddResource a\nAddResource b HSVColour 1 2 3\n"
                        "AddResource c RGBColour1 1 2 3\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getResources().getCount(), 0);
}

TEST(BuilderTrueType, InstallTtfNamesTheResourceAfterTheFamily)
{
    Fixture f;
    auto skin = f.build(kInit + "InstallTTF \"Kelvo\" \"Kelvo.ttf\"\nInstallTTF Only\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getResources().getCount(), 1);
    const GFontTypeResource* ttf = resourceAt<GFontTypeResource>(*skin, 0);
    ASSERT_NE(ttf, nullptr);
    EXPECT_STREQ(ttf->getName(), "Kelvo");
    EXPECT_STREQ(ttf->family(), "Kelvo");
    EXPECT_STREQ(ttf->file(), "Kelvo.ttf");
}

TEST(BuilderNames, FileAndFamilyNamesLongerThanTheirFieldAreRefused)
{
    const std::string fits(kResourceFileLength, 'f');
    const std::string tooLong(kResourceFileLength + 1, 'f');
    Fixture f;
    auto skin = f.build(kInit + "InstallTTF " + fits + " " + fits + "\n" +
                        "InstallTTF " + tooLong + " Kelvo.ttf\n" +
                        "InstallTTF Kelvo " + tooLong + "\n" +
                        "AddResource img PngResource " + fits + " 1 1 1\n" +
                        "AddResource big PngResource " + tooLong + " 1 1 1\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getResources().getCount(), 2);
    const GFontTypeResource* ttf = resourceAt<GFontTypeResource>(*skin, 0);
    ASSERT_NE(ttf, nullptr);
    EXPECT_EQ(ttf->family(), fits);
    EXPECT_EQ(ttf->file(), fits);
    EXPECT_EQ(std::string(ttf->getName()), fits.substr(0, kNameLength));
    EXPECT_EQ(resourceAt<GImageResource>(*skin, 1)->file(), fits);
}

TEST(BuilderLookups, FindTheFirstOfANameAndFailOnTheWrongKind)
{
    const std::string longName(40, 'n');
    Fixture f;
    auto skin = f.build(kInit +
                        "AddResource c RGBColour 1 2 3\nAddResource c RGBColour 4 5 6\n"
                        "AddResource f RGBColour 7 8 9\nAddResource f DefFont 10 f Kelvo\n"
                        "AddResource i PngResource Quelt.png 330 195 2\n"
                        "AddResource " + longName + " RGBColour 9 9 9\n"
                        "AddControl 1 0 0 1 1 Probe c C f i Null " +
                        longName.substr(0, kNameLength) + "xyz\n");
    ASSERT_NE(skin, nullptr);
    const auto& found = f.builder.lookups;
    ASSERT_EQ(found.size(), 6u);
    expectBytes(found[0].colour, 1, 2, 3, 255);
    EXPECT_EQ(found[1].colour, nullptr) << "names are case-sensitive";
    expectBytes(found[2].colour, 7, 8, 9, 255);
    EXPECT_EQ(found[2].font, nullptr) << "the first f is a colour, the font is never found";
    EXPECT_EQ(found[3].image, skin->getResources().get(4));
    EXPECT_EQ(found[3].colour, nullptr);
    EXPECT_EQ(found[4].colour, nullptr);
    EXPECT_EQ(found[4].image, nullptr);
    expectBytes(found[5].colour, 9, 9, 9, 255);  // names compare on 35 characters
}

TEST(BuilderLookups, ParametersIgnoreCaseFeaturesAndCommandsDoNot)
{
    Fixture f;
    EXPECT_EQ(f.builder.findParameter("Thresh"), kThresh);
    EXPECT_EQ(f.builder.findParameter("fADE"), kFade);
    EXPECT_EQ(f.builder.findParameter("attack"), kAttack);
    EXPECT_EQ(f.builder.findParameter("Threshold"), -1);
    EXPECT_EQ(f.builder.findParameter("Null"), -1);
    EXPECT_EQ(f.builder.findParameter(nullptr), -1);

    const std::atomic<double>* meter = f.builder.findRealFeature("Meter");
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->load(), f.effect.getGain());
    EXPECT_EQ(f.builder.findRealFeature("meter"), nullptr);
    EXPECT_EQ(f.builder.findRealFeature("Null"), nullptr);
    EXPECT_EQ(f.builder.findIntFeature("Meter"), nullptr) << "a double feature";

    f.effect.getCommands().add(new GEffectCommand("Reset", 7));
    EXPECT_EQ(f.builder.findCommand("Reset"), 7);
    EXPECT_EQ(f.builder.findCommand("reset"), -1);
    EXPECT_EQ(f.builder.findCommand("Null"), -1);

    GEditorSkinBuilder orphan(nullptr);
    EXPECT_EQ(orphan.findParameter("Thresh"), -1);
    EXPECT_EQ(orphan.findRealFeature("Meter"), nullptr);
    EXPECT_EQ(orphan.findCommand("Reset"), -1);
}

TEST(BuilderResources, CreateResourceResolvesColoursInTheSkinItIsGiven)
{
    Fixture f;
    GEditorSkin skin(&f.effect);
    skin.addResource(new GColourResource("col", 5, 6, 7));
    MemoryReader source("DefFont 9 col Kelvo\nRGBColour 1 2\n");
    XP::TokenReader tokens(&source);
    ASSERT_TRUE(tokens.nextLine());
    std::unique_ptr<GEditorResource> font(f.builder.createResource(&skin, tokens));
    ASSERT_NE(font, nullptr);
    expectBytes(static_cast<GFontResource*>(font.get())->font()->colour(), 5, 6, 7, 255);
    ASSERT_TRUE(tokens.nextLine());
    EXPECT_EQ(f.builder.createResource(&skin, tokens), nullptr);
    EXPECT_EQ(tokens.cursor, 0) << "too few arguments consume nothing";
}
