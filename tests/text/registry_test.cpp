#include "shell/embedded.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Zorv::EmbeddedResource;
using Zorv::findResource;
using Zorv::registerResource;

namespace {

const unsigned char kExtraBytes[] = {1, 2, 3, 4, 5, 6, 7, 8};

}  // namespace

TEST(Registry, FindsNamesInAnyLetterCase)
{
    uint64_t size = 0;
    const unsigned char* skin = findResource("QueltSkin.txt", &size);
    ASSERT_NE(skin, nullptr);
    EXPECT_GT(size, 0u);
    for (const char* name : {"QUELTSKIN.TXT", "queltskin.txt", "qUELTsKIN.tXT"}) {
        uint64_t other = 0;
        EXPECT_EQ(findResource(name, &other), skin) << name;
        EXPECT_EQ(other, size) << name;
    }
}

TEST(Registry, WholeNameMustMatchAndMissLeavesSizeAlone)
{
    for (const char* name : {"QueltSkin", "", "QueltSkin.txt ", " QueltSkin.txt",
                             "resources/QueltSkin.txt", "QueltSkin.txt2"}) {
        uint64_t size = 12345;
        EXPECT_EQ(findResource(name, &size), nullptr) << '"' << name << '"';
        EXPECT_EQ(size, 12345u);
    }
    uint64_t size = 7;
    EXPECT_EQ(findResource(nullptr, &size), nullptr);
    EXPECT_EQ(size, 7u);
}

TEST(Registry, NullSizePointerStillFindsData)
{
    uint64_t size = 0;
    const unsigned char* preset = findResource("QueltPreset.txt", &size);
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(findResource("queltpreset.TXT", nullptr), preset);
}

TEST(Registry, GrowsPastEveryBlockAndKeepsEarlierRecords)
{
    // Enough records to cross capacities 16, 32 and 48 whatever else is registered.
    static std::vector<std::string> names;
    static std::vector<EmbeddedResource> records;
    constexpr int kExtra = 50;
    names.reserve(kExtra);
    records.reserve(kExtra);
    for (int i = 0; i < kExtra; ++i) {
        names.push_back("GrowthRecord" + std::to_string(i) + ".bin");
        records.push_back({names.back().c_str(), uint64_t(i % 8 + 1), kExtraBytes});
        registerResource(&records.back());
        for (int j = 0; j <= i; ++j) {
            uint64_t size = 0;
            ASSERT_EQ(findResource(names[j].c_str(), &size), kExtraBytes) << i << ' ' << j;
            ASSERT_EQ(size, uint64_t(j % 8 + 1));
        }
    }
    for (const char* name : {"Quelt.png", "QueltPreset.txt", "QueltSkin.txt", "Kelvo.ttf"})
        EXPECT_NE(findResource(name, nullptr), nullptr) << name;
}

TEST(Registry, FirstRegisteredOfEqualNamesWins)
{
    static EmbeddedResource duplicate = {"quelt.PNG", sizeof kExtraBytes, kExtraBytes};
    const unsigned char* original = findResource("Quelt.png", nullptr);
    registerResource(&duplicate);
    EXPECT_EQ(findResource("Quelt.png", nullptr), original);
    registerResource(nullptr);
    EXPECT_EQ(findResource("Quelt.png", nullptr), original);
}

TEST(Registry, AnOverrideHidesAFileOfTheSameNameUntilItIsRemoved)
{
    uint64_t size = 0;
    const unsigned char* embedded = findResource("Quelt.png", &size);
    ASSERT_NE(embedded, nullptr);
    static EmbeddedResource own = {"quelt.PNG", sizeof kExtraBytes, kExtraBytes};
    Zorv::registerOverride(&own);
    uint64_t ownSize = 0;
    EXPECT_EQ(findResource("Quelt.png", &ownSize), kExtraBytes);
    EXPECT_EQ(ownSize, sizeof kExtraBytes);
    EXPECT_NE(findResource("QueltSkin.txt", nullptr), nullptr) << "the others stay";
    Zorv::unregisterResource(&own);
    EXPECT_EQ(findResource("Quelt.png", &ownSize), embedded);
    EXPECT_EQ(ownSize, size);
    Zorv::unregisterResource(&own);  // a second removal changes nothing
    EXPECT_EQ(findResource("Quelt.png", nullptr), embedded);
}
