// Editor resources without a GL context: colour wrapping, fonts, bounded
// names, the frame grid, source rectangles and twin names, and loading with
// no context.
#include <gtest/gtest.h>

#include <string>

#include "editor/resources.h"

namespace Zorv {
namespace {

TEST(ColourResource, KeepsLowByteOfEachComponent)
{
    GColourResource red("Red", 256, 0, 511, -1);
    const unsigned char* c = red.colour();
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(c[1], 0);
    EXPECT_EQ(c[2], 255);
    EXPECT_EQ(c[3], 255);
    EXPECT_EQ(GColourResource("Grey", 7, 8, 9).colour()[3], 255);
    EXPECT_TRUE(red.isNamed("Red"));
    EXPECT_FALSE(red.isNamed("red"));
}

TEST(FontResource, CopiesColourAndFamilyAndOwnsTheFont)
{
    unsigned char colour[4] = {10, 20, 30, 40};
    auto* font = new GFont(colour, 13.5, "Kelvo");
    colour[0] = 99;
    GFontResource resource("Small", font);
    ASSERT_EQ(resource.font(), font);
    EXPECT_EQ(font->size(), 13.5);
    EXPECT_STREQ(font->family(), "Kelvo");
    EXPECT_EQ(font->colour()[0], 10);
    EXPECT_EQ(font->colour()[3], 40);
}

TEST(FontTypeResource, NamedAfterFamilyWithBoundedFields)
{
    GFontTypeResource type("Kelvo.ttf", "Kelvo");
    EXPECT_TRUE(type.isNamed("Kelvo"));
    EXPECT_STREQ(type.file(), "Kelvo.ttf");
    EXPECT_STREQ(type.family(), "Kelvo");

    const std::string longName(100, 'f');
    GFontTypeResource cut(longName.c_str(), longName.c_str());
    EXPECT_EQ(std::string(cut.file()), longName.substr(0, 63));
    EXPECT_EQ(std::string(cut.family()), longName.substr(0, 63));
    GFontTypeResource empty(nullptr, nullptr);
    GCanvas canvas(nullptr, 10, 10);
    empty.load(&canvas);
    EXPECT_STREQ(empty.file(), "");
}

TEST(ImageFrames, GridCountsWholeCells)
{
    EXPECT_EQ(gridCells(660, 330), 2);
    EXPECT_EQ(gridCells(195, 195), 1);
    EXPECT_EQ(gridCells(659, 330), 1);
    EXPECT_EQ(gridCells(100, 330), 0);
    EXPECT_EQ(gridCells(100, 0), 0);
    EXPECT_EQ(gridCells(100, -4), 0);
}

TEST(ImageFrames, FramesRunRowByRowAndPartsOffsetWithinThem)
{
    GRect whole = frameSource(330, 195, 2, 1, {0, 0, 330, 195});
    EXPECT_EQ(whole.x, 330);
    EXPECT_EQ(whole.y, 0);
    EXPECT_EQ(whole.w, 330);
    EXPECT_EQ(whole.h, 195);

    // A 3-column grid of 20 x 10 frames: frame 4 is row 1, column 1.
    GRect part = frameSource(20, 10, 3, 4, {5, 2, 7, 3});
    EXPECT_EQ(part.x, 25);
    EXPECT_EQ(part.y, 12);
    EXPECT_EQ(part.w, 7);
    EXPECT_EQ(part.h, 3);
    EXPECT_EQ(frameSource(20, 10, 3, 9, {0, 0, 20, 10}).y, 30);
}

TEST(TwinName, GoesBeforeTheLastExtension)
{
    EXPECT_EQ(twinFileName("Quelt.png"), "Quelt@2x.png");
    EXPECT_EQ(twinFileName("knob.v2.PNG"), "knob.v2@2x.PNG");
    EXPECT_EQ(twinFileName("plain"), "plain@2x");
    EXPECT_EQ(twinFileName(""), "@2x");
    EXPECT_EQ(twinFileName(nullptr), "@2x");
}

TEST(ImageResource, StaysUnloadedWithoutContextOrFile)
{
    GImageResource image("Back", "Quelt.png", 330, 195, 2);
    EXPECT_EQ(image.handle(), 0);
    EXPECT_FALSE(image.isUsable());
    GCanvas canvas(nullptr, 330, 195);
    image.load(&canvas);
    image.load(nullptr);
    EXPECT_EQ(image.handle(), 0);
    EXPECT_EQ(image.columns(), 0);
    EXPECT_FALSE(image.isUsable());
    image.drawFrame(&canvas, 0, 0, 0);
    image.unload(&canvas);
    EXPECT_EQ(image.frameWidth(), 330);
    EXPECT_EQ(image.frameHeight(), 195);
    EXPECT_EQ(image.frameCount(), 2);
    EXPECT_EQ(image.density(), 1);
}

}  // namespace
}  // namespace Zorv
