#include "shell/embedded.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

using Zorv::findResource;

namespace {

std::string resourceText(const char* name)
{
    uint64_t size = 0;
    const unsigned char* data = findResource(name, &size);
    return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

uint32_t bigEndian32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint16_t bigEndian16(const unsigned char* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

bool everyLineEndIsCrLf(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
    }
    return true;
}

const char kPresetText[] =
    "# Quelt Presets\r\n"
    "\r\n"
    "PRESET \"Basic gate\"\r\n"
    "SETSTR \"Thresh\" \"-75.0\"\r\n"
    "SETSTR \"Fade\" \"0.4\"\r\n"
    "SETSTR \"Attack\" \"2.0\"\r\n"
    "\r\n"
    "PRESET \"Gentle gate\"\r\n"
    "SETSTR \"Thresh\" \"-75.0\"\r\n"
    "SETSTR \"Fade\" \"0.8\"\r\n"
    "SETSTR \"Attack\" \"10.0\"\r\n"
    "\r\n"
    "PRESET \"Choppy\"\r\n"
    "SETSTR \"Thresh\" \"-24.0\"\r\n"
    "SETSTR \"Fade\" \"0.2\"\r\n"
    "SETSTR \"Attack\" \"2.0\"\r\n";

}  // namespace

TEST(EmbeddedFiles, PresetTextIsExact)
{
    const std::string preset = resourceText("QueltPreset.txt");
    EXPECT_EQ(preset.size(), 291u);
    EXPECT_EQ(preset, kPresetText);
}

TEST(EmbeddedFiles, SkinTextHasCrLfLinesAndOpensWithItsHeader)
{
    const std::string skin = resourceText("QueltSkin.txt");
    const std::string head = "# Quelt Skin\r\n\r\nInstallTTF \"Kelvo\" \"Kelvo.ttf\"\r\n";
    ASSERT_GT(skin.size(), head.size());
    EXPECT_EQ(skin.compare(0, head.size(), head), 0);
    EXPECT_TRUE(everyLineEndIsCrLf(skin));
    EXPECT_NE(skin.find("Init 330 195 2\r\n"), std::string::npos);
    EXPECT_NE(skin.find("PngResource \"Quelt.png\" 330 195 2\r\n"), std::string::npos);
    EXPECT_EQ(skin.find('#', 1), std::string::npos) << "only the title line is a comment";
}

namespace {

// Checks that an embedded file is an 8-bit palette PNG of width x height.
void expectPalettePng(const char* name, uint32_t width, uint32_t height)
{
    uint64_t size = 0;
    const unsigned char* png = findResource(name, &size);
    ASSERT_NE(png, nullptr) << name;
    ASSERT_GE(size, 33u) << name;
    EXPECT_EQ(memcmp(png, "\x89PNG\r\n\x1a\n", 8), 0) << name;
    EXPECT_EQ(memcmp(png + 12, "IHDR", 4), 0) << name;
    EXPECT_EQ(bigEndian32(png + 16), width) << name;
    EXPECT_EQ(bigEndian32(png + 20), height) << name;
    EXPECT_EQ(png[24], 8) << name << " bit depth";
    EXPECT_EQ(png[25], 3) << name << " palette colour type";
}

// The file in the source tree's resources folder; empty when unreadable.
std::string sourceFile(const char* name)
{
    std::ifstream in(std::string(QUELT_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(EmbeddedFiles, BackgroundIsA660By195PalettePng)
{
    expectPalettePng("Quelt.png", 660, 195);
}

TEST(EmbeddedFiles, BackgroundAt2xIsA1320By390PalettePngOfItsOwn)
{
    expectPalettePng("Quelt@2x.png", 1320, 390);
    EXPECT_NE(findResource("quelt@2X.PNG", nullptr), findResource("Quelt.png", nullptr));
}

TEST(EmbeddedFiles, ImagesHoldTheirSourceFilesByteForByte)
{
    for (const char* name : {"Quelt.png", "Quelt@2x.png"}) {
        const std::string source = sourceFile(name);
        ASSERT_FALSE(source.empty()) << name;
        EXPECT_EQ(resourceText(name), source) << name;
    }
}

TEST(EmbeddedFiles, FontIsTrueTypeWithGlyphOutlines)
{
    uint64_t size = 0;
    const unsigned char* ttf = findResource("Kelvo.ttf", &size);
    ASSERT_NE(ttf, nullptr);
    ASSERT_GE(size, 12u);
    ASSERT_EQ(bigEndian32(ttf), 0x00010000u);
    const uint16_t tables = bigEndian16(ttf + 4);
    ASSERT_GE(size, 12u + 16u * tables);
    bool glyf = false;
    for (uint16_t i = 0; i < tables; ++i) {
        const unsigned char* entry = ttf + 12 + 16 * i;
        if (memcmp(entry, "glyf", 4) != 0)
            continue;
        glyf = true;
        EXPECT_LE(uint64_t(bigEndian32(entry + 8)) + bigEndian32(entry + 12), size);
    }
    EXPECT_TRUE(glyf);
}
