#include "testhost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace Zorv;
using testhost::CountingQuelt;

namespace {

std::string programName(Quelt& q)
{
    char text[64] = {};
    q.getProgramName(text);
    return text;
}

std::string display(Quelt& q, int index)
{
    char text[64] = {};
    q.getParameterDisplay(index, text);
    return text;
}

std::string expand(Quelt& q, const char* text, int size = 256)
{
    std::vector<char> out(size_t(size) + 8, '#');
    q.expandVariables(out.data(), size, text);
    return out.data();
}

}  // namespace

TEST(Effect, ProgramChangesStayInRangeAndAlwaysRecompute)
{
    CountingQuelt q(nullptr);
    q.setProgram(4);
    EXPECT_EQ(q.getProgram(), 4);
    int before = q.changes;
    q.setProgram(-1);
    q.setProgram(10);
    EXPECT_EQ(q.getProgram(), 4);
    EXPECT_EQ(q.changes, before + 2);
}

TEST(Effect, ProgramNamesIgnoreEmptyAndCutAt24)
{
    Quelt q(nullptr);
    q.setProgram(5);
    q.setProgramName("");
    EXPECT_EQ(programName(q), "Defaults");
    q.setProgramName("abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_EQ(programName(q), "abcdefghijklmnopqrstuvwx");
    char text[64];
    EXPECT_TRUE(q.getProgramNameIndexed(0, 5, text));
    EXPECT_STREQ(text, "abcdefghijklmnopqrstuvwx");
    EXPECT_FALSE(q.getProgramNameIndexed(0, 10, text));
    EXPECT_STREQ(text, "");
}

TEST(Effect, SetParameterStoresUnclampedAndRefreshesTexts)
{
    CountingQuelt q(nullptr);
    int before = q.changes;
    q.setParameter(kAttack, 1.7f);
    EXPECT_FLOAT_EQ(q.getParameter(kAttack), 1.7f);
    EXPECT_EQ(display(q, kAttack), "51.0");
    EXPECT_EQ(q.changes, before + 1);

    char label[16];
    q.getParameterLabel(kThresh, label);
    EXPECT_STREQ(label, "dB");
    q.setProgram(3);
    EXPECT_EQ(display(q, kThresh), "-70.0");
    EXPECT_EQ(display(q, kFade), "0.50");
    EXPECT_EQ(display(q, kAttack), "1.0");
}

TEST(Effect, DisplayTextsLongerThan31AreCut)
{
    Quelt q(nullptr);
    q.setParameter(kAttack, 1e30f);
    std::string text = display(q, kAttack);
    EXPECT_EQ(text.size(), 31u);
    EXPECT_EQ(text.substr(28), "...");
}

TEST(Effect, String2ParameterTakesNaturalTextsAndClamps)
{
    CountingQuelt q(nullptr);
    EXPECT_TRUE(q.string2parameter(kThresh, "-24"));
    EXPECT_EQ(display(q, kThresh), "-24.0");
    EXPECT_TRUE(q.string2parameter(kFade, "5"));
    EXPECT_EQ(q.getParameter(kFade), 1.0f);
    int before = q.changes;
    EXPECT_TRUE(q.string2parameter(kFade, nullptr));
    EXPECT_EQ(q.changes, before);
    EXPECT_FALSE(q.string2parameter(3, "1"));
}

TEST(Effect, OutOfRangeParameterIndicesTouchNothing)
{
    Quelt q(nullptr);
    std::vector<uint8_t> before(490), after(490);
    q.getBank().writeRecords(before.data(), 0, 10);
    q.setParameter(3, 0.5f);
    q.setParameter(-1, 0.5f);
    EXPECT_EQ(q.getParameter(3), 0.0f);
    EXPECT_EQ(q.getParameter(-7), 0.0f);
    char text[64] = "x";
    q.getParameterName(99, text);
    EXPECT_STREQ(text, "");
    q.getBank().writeRecords(after.data(), 0, 10);
    EXPECT_EQ(before, after);
}

TEST(Effect, CanDoFollowsTheIoConfigsAndTheProductsAnswers)
{
    Quelt q(nullptr);
    EXPECT_EQ(q.canDo("1in1out"), 1);
    EXPECT_EQ(q.canDo("2in1out"), 1);
    EXPECT_EQ(q.canDo("2in2out"), 1);
    EXPECT_EQ(q.canDo("2in4out"), -1);
    EXPECT_EQ(q.canDo("8in8out"), -1);
    EXPECT_EQ(q.canDo("3in3out"), 0);
    EXPECT_EQ(q.canDo("bypass"), 1);
    EXPECT_EQ(q.canDo("plugAsSend"), 1);
    EXPECT_EQ(q.canDo("midiProgramNames"), -1);
    EXPECT_EQ(q.canDo("receiveVstMidiEvent"), -1);
    EXPECT_EQ(q.canDo("conformsToWindowRules"), 0);
    EXPECT_EQ(q.canDo("Bypass"), 0);
}

TEST(Effect, SpeakerArrangementsAreCopiedOrRefused)
{
    Quelt q(nullptr);
    VstSpeakerArrangement mono{}, stereo{}, quad{};
    mono.numChannels = 1;
    stereo.numChannels = 2;
    quad.numChannels = 4;
    strcpy(mono.speakers[0].name, "M");
    EXPECT_TRUE(q.setSpeakerArrangement(&mono, &stereo));
    EXPECT_EQ(q.inputChannels(), 1);
    EXPECT_FALSE(q.setSpeakerArrangement(&stereo, &quad));
    EXPECT_FALSE(q.setSpeakerArrangement(nullptr, &stereo));
    VstSpeakerArrangement *in = nullptr, *out = nullptr;
    EXPECT_TRUE(q.getSpeakerArrangement(&in, &out));
    EXPECT_EQ(in->numChannels, 1);
    EXPECT_STREQ(in->speakers[0].name, "M");
    EXPECT_NE(in, &mono);
    EXPECT_EQ(out->numChannels, 2);
}

TEST(Variables, ExpandHostAndPluginTexts)
{
    testhost::answers = {48000, "Acme", nullptr};
    Quelt q(testhost::callback);
    EXPECT_EQ(expand(q, "by ${HostVend}"), "by Unknown") << "expanding never asks the host";
    q.readHostFacts();
    EXPECT_EQ(expand(q, "Rate ${SRate} Hz"), "Rate 48000 Hz");
    EXPECT_EQ(expand(q, "[${Nope}]"), "[]");
    EXPECT_EQ(expand(q, "by ${HostVend"), "by Acme");
    EXPECT_EQ(expand(q, "${HostName}/${PlugVer}/${PlugBuild}/${Platform}/${BuildDate}"),
              "Unknown/2.7/2.7/Linux64/27 Jan 2021");
    EXPECT_EQ(expand(q, "${Inputs}in${Outputs}out"), "2in2out");
    EXPECT_EQ(expand(q, "${SRate}", 4), "480");
    EXPECT_EQ(expand(q, "$x{y}$"), "$x{y}$");
    EXPECT_EQ(expand(q, nullptr), "");
    std::string longName = "${" + std::string(100, 'a') + "}end";
    EXPECT_EQ(expand(q, longName.c_str()), "end");
    testhost::answers = {};
}

TEST(Variables, UnknownHostTextsWithoutAHost)
{
    Quelt q(nullptr);
    char out[32];
    q.getVariable(out, sizeof out, "HostVend");
    EXPECT_STREQ(out, "Unknown");
    q.getVariable(out, sizeof out, "hostvend");
    EXPECT_STREQ(out, "");
    q.getVariable(out, sizeof out, "SRate");
    EXPECT_STREQ(out, "44100");
}
