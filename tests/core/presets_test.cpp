#include "shell/embedded.h"
#include "testhost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace Zorv;
using testhost::CountingQuelt;

namespace {

// Registers a text under a name for the loader to find.
void registerText(const char* name, const char* text)
{
    static EmbeddedResource records[4];
    static int used = 0;
    ASSERT_LT(used, 4);
    records[used] = {name, strlen(text), reinterpret_cast<const unsigned char*>(text)};
    registerResource(&records[used++]);
}

std::string show(Quelt& q, int program, int parameter)
{
    return q.getBank().displayText(program, parameter);
}

std::string name(Quelt& q, int program)
{
    return q.getBank().programName(program);
}

}  // namespace

TEST(Presets, FactoryProgramsComeFromTheEmbeddedText)
{
    Quelt q(nullptr);
    EXPECT_EQ(name(q, 0), "Basic gate");
    EXPECT_EQ(name(q, 1), "Gentle gate");
    EXPECT_EQ(name(q, 2), "Choppy");
    for (int p = 3; p < 10; ++p)
        EXPECT_EQ(name(q, p), "Defaults");
    EXPECT_EQ(show(q, 0, kThresh), "-75.0 dB");
    EXPECT_EQ(show(q, 0, kFade), "0.40 s");
    EXPECT_EQ(show(q, 0, kAttack), "2.0 ms");
    EXPECT_EQ(show(q, 1, kFade), "0.80 s");
    EXPECT_EQ(show(q, 1, kAttack), "10.0 ms");
    EXPECT_EQ(show(q, 2, kThresh), "-24.0 dB");
    EXPECT_EQ(show(q, 3, kThresh), "-70.0 dB");
    EXPECT_EQ(show(q, 3, kFade), "0.50 s");
    EXPECT_EQ(show(q, 3, kAttack), "1.0 ms");
}

TEST(Presets, KeywordsAnyCaseLaterValuesWinLongNamesCut)
{
    registerText("case.txt",
                 "preset \"abcdefghijklmnopqrstuvwxyz0123\"\r\n"
                 "setstr thresh -30\n"
                 "SeTsTr FADE 0.9 extra tokens\n"
                 "SETSTR Fade 0.404\n"
                 "SETSTR Attack\n"                  // too few tokens
                 "SETSTR Unknown 3\n"
                 "PRESET\n"                         // no name: no program opened
                 "PRESET \"\"\n"                    // opens program 1, keeps its name
                 "SETSTR Attack notanumber\n"
                 "other words\n");
    Quelt q(nullptr);
    q.getBank().resetToDefaults();
    EXPECT_TRUE(q.loadPresetFile("CASE.TXT"));
    EXPECT_EQ(name(q, 0), "abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(show(q, 0, kThresh), "-30.0 dB");
    double fade;
    memcpy(&fade, q.getBank().slot(0, kFade), sizeof fade);
    EXPECT_NEAR(fade, (0.404 - 0.01) / 0.99, 1e-15);  // stored unsnapped
    EXPECT_EQ(show(q, 0, kFade), "0.40 s");
    EXPECT_EQ(show(q, 0, kAttack), "1.0 ms");
    EXPECT_EQ(name(q, 1), "Defaults");
    EXPECT_EQ(show(q, 1, kAttack), "0.0 ms");
}

TEST(Presets, ExtraProgramsAndEarlySetstrAreSkipped)
{
    std::string text = "SETSTR Thresh -10\n";
    for (int p = 0; p < 12; ++p)
        text += "PRESET P" + std::to_string(p) + "\nSETSTR Attack " + std::to_string(p) + "\n";
    static std::string keep;
    keep = text;
    registerText("many.txt", keep.c_str());
    Quelt q(nullptr);
    q.getBank().resetToDefaults();
    q.loadPresetFile("many.txt");
    EXPECT_EQ(show(q, 0, kThresh), "-70.0 dB");
    EXPECT_EQ(name(q, 9), "P9");
    EXPECT_EQ(show(q, 9, kAttack), "9.0 ms");
    EXPECT_FALSE(q.loadPresetFile("missing.txt"));
}

TEST(Chunk, BankRoundTripChangesNothingAndRecomputesOnce)
{
    CountingQuelt q(nullptr);
    void* data = nullptr;
    ASSERT_EQ(q.getChunk(&data, false), 490);
    std::vector<uint8_t> bank(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + 490);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bank.data())), "Basic gate");
    double thresh;
    memcpy(&thresh, bank.data() + 49 * 3 + 25, sizeof thresh);
    EXPECT_NEAR(thresh, 0.0774509799928716, 1e-15);

    int before = q.changes;
    EXPECT_EQ(q.setChunk(bank.data(), 490, false), 490);
    EXPECT_EQ(q.changes, before + 1);
    std::vector<uint8_t> image(490);
    q.getBank().writeRecords(image.data(), 0, 10);
    EXPECT_EQ(image, bank);
    EXPECT_EQ(show(q, 2, kThresh), "-24.0 dB");
}

TEST(Chunk, ProgramChunkLandsOnTheCurrentProgram)
{
    Quelt q(nullptr);
    q.setProgram(2);
    void* data = nullptr;
    ASSERT_EQ(q.getChunk(&data, true), 49);
    std::vector<uint8_t> record(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + 49);
    record.resize(60, 0xEE);  // a host's excess bytes
    q.setProgram(5);
    EXPECT_EQ(q.setChunk(record.data(), 60, true), 49);  // excess ignored
    EXPECT_EQ(name(q, 5), "Choppy");
    EXPECT_EQ(show(q, 5, kThresh), "-24.0 dB");
    EXPECT_EQ(name(q, 4), "Defaults");
}

TEST(Chunk, AllZeroBankGivesMinimaAndShortOrNullChunksAreRefused)
{
    Quelt q(nullptr);
    std::vector<uint8_t> zeros(490, 0);
    EXPECT_EQ(q.setChunk(nullptr, 490, false), 0);
    EXPECT_EQ(q.setChunk(zeros.data(), 489, false), 0);
    EXPECT_EQ(q.setChunk(zeros.data(), 48, true), 0);
    EXPECT_EQ(name(q, 0), "Basic gate");
    EXPECT_EQ(q.setChunk(zeros.data(), 490, false), 490);
    EXPECT_EQ(name(q, 0), "");
    EXPECT_EQ(show(q, 7, kThresh), "-100.0 dB");
    EXPECT_EQ(show(q, 7, kFade), "0.01 s");
    EXPECT_EQ(show(q, 7, kAttack), "0.0 ms");
}

TEST(Chunk, UnterminatedNamesAndNonFiniteValuesAreHarmless)
{
    Quelt q(nullptr);
    std::vector<uint8_t> record(49, 'A');
    double values[3] = {NAN, INFINITY, -1e300};
    memcpy(record.data() + 25, values, sizeof values);
    EXPECT_EQ(q.setChunk(record.data(), 49, true), 49);
    char text[64];
    q.getProgramName(text);
    EXPECT_EQ(std::string(text), std::string(24, 'A'));
    EXPECT_GT(q.getFadeStep(), 0.0);
    EXPECT_LE(q.getFadeStep(), 1.0);
    EXPECT_EQ(q.getAttackStep(), 1.0);
}
