// The history ring (newest first, wrapping, counting) as the test effect's
// processing fills it, and its lookup as a typed feature by the builder.
#include "editor/builder.h"
#include "gate/quelt.h"
#include "tests/testeffect/testeffect.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Zorv;

namespace {

GHistoryColumn flat(double v)
{
    return {v, v, -v, -v};
}

}  // namespace

TEST(History, ColumnsReadNewestFirstAndWrapAtN)
{
    GHistory history(4);
    EXPECT_EQ(history.size(), 4);
    EXPECT_EQ(history.columnCount(), 0);
    EXPECT_EQ(history.column(0).maxA, 0.0) << "unwritten columns are zero";
    for (int i = 1; i <= 6; ++i)
        history.write(flat(i));
    EXPECT_EQ(history.columnCount(), 6);
    EXPECT_EQ(history.writePosition(), 2);
    const double expected[] = {6, 5, 4, 3, 6, 5};  // i wraps at N
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(history.column(i).minA, expected[i]) << i;
        EXPECT_EQ(history.column(i).minB, -expected[i]) << i;
    }
    EXPECT_EQ(history.column(0, 1).maxA, 5.0) << "before an older write position";
    EXPECT_EQ(GHistory(0).size(), 1);
    EXPECT_EQ(GHistory(-5).size(), 1);
}

TEST(History, ProcessingClosesAColumnOfBothSignalsEveryFewSamples)
{
    testeffect::TestEffect effect(nullptr, 16, 4);
    effect.resume();
    double left[10] = {0.1, -0.2, 0.3, 0.0, 0.5, 0.5, -0.9, 0.2, 7, 7};
    double right[10] = {1, 1, 1, 1, -1, 0, 0, 0.25, 7, 7};
    double outL[10], outR[10];
    double* in[2] = {left, right};
    double* out[2] = {outL, outR};
    effect.processDoubleReplacing(in, out, 10);
    const GHistory& history = effect.getHistory();
    ASSERT_EQ(history.columnCount(), 2) << "two columns closed, two samples gathering";
    const GHistoryColumn newest = history.column(0), older = history.column(1);
    EXPECT_EQ(older.minA, -0.2);
    EXPECT_EQ(older.maxA, 0.3);
    EXPECT_EQ(older.minB, 1.0);
    EXPECT_EQ(older.maxB, 1.0);
    EXPECT_EQ(newest.minA, -0.9);
    EXPECT_EQ(newest.maxA, 0.5);
    EXPECT_EQ(newest.minB, -1.0);
    EXPECT_EQ(newest.maxB, 0.25);
    EXPECT_EQ(outL[6], -0.9) << "audio passes through";
    EXPECT_EQ(outR[7], 0.25);

    const auto* peak = findFeatureValue<double>(effect.getFeatures(), "Peak");
    const auto* steps = findFeatureValue<int>(effect.getFeatures(), "Steps");
    ASSERT_TRUE(peak && steps);
    EXPECT_EQ(peak->load(), 0.9);
    EXPECT_EQ(steps->load(), 9);
}

TEST(HistoryFeature, TheBuilderFindsItByNameAndType)
{
    testeffect::TestEffect effect(nullptr);
    GEditorSkinBuilder builder(&effect);
    EXPECT_EQ(builder.findHistory("Wave"), &effect.getHistory());
    EXPECT_EQ(builder.findHistory("Level"), nullptr) << "a real feature is no history";
    EXPECT_EQ(builder.findRealFeature("Wave"), nullptr) << "nor a history a real feature";
    EXPECT_EQ(builder.findIntFeature("Wave"), nullptr);
    EXPECT_EQ(builder.findHistory("wave"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(builder.findHistory("Null"), nullptr);
    EXPECT_NE(builder.findRealFeature("Level"), nullptr);
    EXPECT_NE(builder.findIntFeature("Steps"), nullptr);
    EXPECT_EQ(builder.findCommand("Mark"), testeffect::kMark);
    EXPECT_EQ(builder.findCommand("Dead"), -1);

    Quelt gate(nullptr);
    GEditorSkinBuilder gateBuilder(&gate);
    EXPECT_EQ(gateBuilder.findHistory("Meter"), nullptr) << "the gate exposes no history";
    EXPECT_EQ(GEditorSkinBuilder(nullptr).findHistory("Wave"), nullptr);
}

TEST(HistoryFeature, CommandsAreRecordedInOrder)
{
    testeffect::TestEffect effect(nullptr);
    effect.performCommand(testeffect::kMark, true, false);
    effect.performCommand(testeffect::kClear, false, true);
    EXPECT_EQ(effect.takeCommands(), (std::vector<testeffect::CommandCall>{
                                         {testeffect::kMark, true, false},
                                         {testeffect::kClear, false, true}}));
    EXPECT_TRUE(effect.takeCommands().empty());
}
