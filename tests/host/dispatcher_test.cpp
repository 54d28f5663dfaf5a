// Dispatcher answers: every listed opcode, the canDo texts, and silence for everything else.

#include "tests/host/hostfixture.h"

#include <climits>
#include <cstring>

namespace Zorv {
namespace {

using Dispatcher = HostTest;

struct Answer {
    int32_t opcode;
    intptr_t value;
    intptr_t expected;
};

TEST_F(Dispatcher, PlainAnswers)
{
    const Answer answers[] = {
        {effOpen, 0, 0},
        {effGetProgram, 0, 0},
        {effSetSampleRate, 0, 0},
        {effSetBlockSize, 256, 0},
        {effMainsChanged, 1, 0},
        {effMainsChanged, 0, 0},
        {effIdentify, 0, 0x4E764566},
        {effGetPlugCategory, 0, kPlugCategEffect},
        {effGetVendorVersion, 0, 2700},
        {effGetTailSize, 0, 0},
        {effGetParameterProperties, 0, 0},
        {effGetVstVersion, 0, 2400},
        {effEditKeyDown, 0, 0},
        {effEditKeyUp, 0, 0},
        {effSetEditKnobMode, 2, 0},
        {effGetCurrentMidiProgram, 0, -1},
        {effSetTotalSampleToProcess, 12345, 12345},
        {effSetBypass, 0, 1},
    };
    char buffer[256] = {};
    for (const Answer& a : answers)
        EXPECT_EQ(host.dispatch(a.opcode, 0, a.value, buffer, 44100.0f), a.expected)
            << "opcode " << a.opcode;
    for (int index : {0, 1, 2, 3, -1, 99})
        EXPECT_EQ(host.dispatch(effCanBeAutomated, index), 1) << "index " << index;
}

TEST_F(Dispatcher, IdentityTexts)
{
    intptr_t result = 0;
    EXPECT_EQ(host.text(effGetEffectName, 0, 0, &result), "Quelt");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(host.text(effGetVendorString, 0, 0, &result), "Zorv");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(host.text(effGetProductString, 0, 0, &result), "Quelt");
    EXPECT_EQ(result, 1);
}

TEST_F(Dispatcher, Programs)
{
    const char* names[] = {"Basic gate", "Gentle gate", "Choppy"};
    intptr_t result = 0;
    for (int p = 0; p < 10; ++p) {
        EXPECT_EQ(host.text(effGetProgramNameIndexed, p, 0, &result), p < 3 ? names[p] : "Defaults");
        EXPECT_EQ(result, 1);
    }
    EXPECT_EQ(host.dispatch(effSetProgram, 0, 2), 0);
    EXPECT_EQ(host.program(), 2);
    EXPECT_EQ(host.text(effGetProgramName, 0, 0, &result), "Choppy");
    EXPECT_EQ(result, 0);
    host.setProgram(10);
    EXPECT_EQ(host.program(), 2);

    EXPECT_EQ(host.dispatch(effSetProgramName, 0, 0, const_cast<char*>("Renamed")), 0);
    EXPECT_EQ(host.programName(), "Renamed");
    host.setProgramName("");
    EXPECT_EQ(host.programName(), "Renamed");
    host.setProgramName("A name of thirty characters!!");
    EXPECT_EQ(host.programName(), "A name of thirty charact");
    EXPECT_EQ(host.programNameIndexed(2), "A name of thirty charact");
    EXPECT_EQ(host.programNameIndexed(1), "Gentle gate");
}

TEST_F(Dispatcher, SpeakerArrangements)
{
    int ins = 0, outs = 0;
    EXPECT_TRUE(host.getSpeakerArrangement(ins, outs));
    EXPECT_EQ(ins, 2);
    EXPECT_EQ(outs, 2);
    EXPECT_TRUE(host.setSpeakerArrangement(1, 2));
    EXPECT_FALSE(host.setSpeakerArrangement(2, 4));
    EXPECT_TRUE(host.getSpeakerArrangement(ins, outs));
    EXPECT_EQ(ins, 1);
    EXPECT_EQ(outs, 2);
    EXPECT_TRUE(host.setSpeakerArrangement(2, 1));
    host.getSpeakerArrangement(ins, outs);
    EXPECT_EQ(ins, 2);
    EXPECT_EQ(outs, 1);
}

TEST_F(Dispatcher, ChunksAreProgramRecordAndBank)
{
    std::vector<uint8_t> program, bank;
    EXPECT_EQ(host.getChunk(true, program), 49);
    EXPECT_EQ(host.getChunk(false, bank), 490);
    ASSERT_EQ(program.size(), 49u);
    EXPECT_STREQ(reinterpret_cast<const char*>(program.data()), "Basic gate");

    host.setProgram(5);
    EXPECT_EQ(host.setChunk(program, true), 49);
    EXPECT_EQ(host.programName(), "Basic gate");
    EXPECT_EQ(host.paramDisplay(0), "-75.0");
    host.setParameter(1, 0.9f);
    EXPECT_EQ(host.setChunk(bank, false), 490);
    EXPECT_EQ(host.programNameIndexed(5), "Defaults");
    EXPECT_EQ(host.paramDisplay(0), "-70.0");
}

TEST_F(Dispatcher, EditorRectBeforeOpeningAndANullParentRefused)
{
    ASSERT_TRUE(host.effect()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 195);
    EXPECT_EQ(rect->right, 330);
    EXPECT_EQ(host.dispatch(effEditOpen), 0);
    EXPECT_EQ(host.dispatch(effEditIdle), 0);
    EXPECT_EQ(host.dispatch(effEditClose), 0);
}

TEST_F(Dispatcher, UnlistedOpcodesAnswerZeroAndChangeNothing)
{
    const int32_t unlisted[] = {9,  16, 17, 18, 20, 21, 25, 28, 30, 31, 32, 33, 34, 36, 37,
                                38, 39, 40, 41, 43, 46, 50, 53, 54, 55, 57, 62, 64, 65, 66,
                                67, 68, 70, 71, 72, 74, 75, 76, 77, 78, 79, 80, 81, 100, 1000,
                                -1, INT_MIN, INT_MAX};
    host.setProgram(1);
    BankSnapshot before = snapshot(host);
    host.calls().clear();
    for (int32_t opcode : unlisted) {
        alignas(16) char buffer[1024] = {};
        EXPECT_EQ(host.dispatch(opcode, 0, 0, buffer), 0) << "opcode " << opcode;
        EXPECT_EQ(host.dispatch(opcode, 1, 1, buffer, 1.0f), 0) << "opcode " << opcode;
        EXPECT_EQ(host.dispatch(opcode), 0) << "opcode " << opcode;
    }
    EXPECT_TRUE(snapshot(host) == before);
    EXPECT_TRUE(host.calls().calls().empty());
}

struct CanDoCase {
    const char* text;
    intptr_t answer;
};

TEST_F(Dispatcher, CanDo)
{
    const CanDoCase cases[] = {
        {"1in1out", 1}, {"1in2out", 1}, {"2in1out", 1}, {"2in2out", 1},
        {"2in4out", -1}, {"4in2out", -1}, {"4in4out", -1}, {"4in8out", -1},
        {"8in4out", -1}, {"8in8out", -1},
        {"plugAsChannelInsert", 1}, {"plugAsSend", 1}, {"bypass", 1},
        {"sendVstEvents", -1}, {"sendVstMidiEvent", -1}, {"sendVstTimeInfo", -1},
        {"receiveVstEvents", -1}, {"receiveVstMidiEvent", -1}, {"receiveVstTimeInfo", -1},
        {"offline", -1}, {"midiProgramNames", -1},
        {"conformsToWindowRules", 0}, {"3in3out", 0}, {"Bypass", 0}, {"bypass ", 0},
        {"2in2out2", 0}, {"", 0}, {"somethingElse", 0},
    };
    for (const CanDoCase& c : cases)
        EXPECT_EQ(host.canDo(c.text), c.answer) << '"' << c.text << '"';
}

}  // namespace
}  // namespace Zorv
