// Checks, conditions and condition sets: live evaluation, negation, the else
// flag, interning of conditions in the skin.
#include "skintest.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Zorv;
using skintest::FlagCheck;

TEST(CheckOperators, ParseAndCompareWithIeeeNaN)
{
    EXPECT_EQ(parseCheckOperator("=="), kOpEqual);
    EXPECT_EQ(parseCheckOperator("<="), kOpLessEqual);
    EXPECT_EQ(parseCheckOperator("=<"), -1);
    EXPECT_EQ(parseCheckOperator(nullptr), -1);

    EXPECT_TRUE(compareValues(2, kOpGreater, 1));
    EXPECT_FALSE(compareValues(1, kOpGreater, 1));
    EXPECT_TRUE(compareValues(1, kOpGreaterEqual, 1));
    EXPECT_TRUE(compareValues(0, kOpLess, 1));
    EXPECT_FALSE(compareValues(1, 6, 1));
    const double nan = std::nan("");
    EXPECT_FALSE(compareValues(nan, kOpEqual, nan));
    EXPECT_TRUE(compareValues(nan, kOpNotEqual, 1));
}

TEST(Checks, ParamCheckFollowsTheCurrentProgramInNaturalUnits)
{
    Quelt effect(skintest::Recorder::callback);
    GParamCheck longFade("longFade", &effect, kFade, kOpGreater, 0.5);
    effect.writeParameter(kFade, 0.0);  // 0.01 s
    EXPECT_FALSE(longFade.evaluate());
    effect.writeParameter(kFade, 1.0);  // 1 s
    EXPECT_TRUE(longFade.evaluate());

    effect.setProgram(1);
    effect.writeParameter(kFade, 0.0);
    EXPECT_FALSE(longFade.evaluate());
    effect.setProgram(0);
    EXPECT_TRUE(longFade.evaluate());

    GParamCheck missing("missing", &effect, 99, kOpLess, 1e9);
    EXPECT_FALSE(missing.evaluate());
}

TEST(Checks, InOutAndOperatingSystem)
{
    Quelt effect(skintest::Recorder::callback);
    const int in = effect.inputChannels();
    const int out = effect.outputChannels();
    EXPECT_TRUE(GInOutCheck("io", &effect, kOpEqual, in, kOpEqual, out).evaluate());
    EXPECT_FALSE(GInOutCheck("io", &effect, kOpEqual, in, kOpNotEqual, out).evaluate());
    EXPECT_FALSE(GInOutCheck("io", &effect, kOpGreater, in, kOpEqual, out).evaluate());

    EXPECT_TRUE(GOSCheck("os", "lnx").evaluate());
    EXPECT_FALSE(GOSCheck("os", "WIN").evaluate());
    EXPECT_FALSE(GOSCheck("os", nullptr).evaluate());
}

TEST(ConditionSets, AndOfAllConditionsThenElse)
{
    FlagCheck a("a", true), b("b", false);
    GCondition yes(&a, false), notB(&b, true), justB(&b, false);
    GConditionSet set;
    EXPECT_TRUE(set.isMet());
    set.toggleElse();
    EXPECT_FALSE(set.isMet());
    set.clear();
    EXPECT_FALSE(set.isElse());

    set.add(&yes);
    set.add(&notB);
    EXPECT_TRUE(set.isMet());
    set.add(&justB);
    EXPECT_FALSE(set.isMet());
    set.setElse(true);
    EXPECT_TRUE(set.isMet());

    a.evaluations = b.evaluations = 0;
    a.value = false;  // the first fails, the rest still run
    set.isMet();
    EXPECT_EQ(a.evaluations, 1);
    EXPECT_EQ(b.evaluations, 2);

    GConditionSet copy;
    copy.assign(set);
    EXPECT_EQ(copy.getCount(), 3);
    EXPECT_EQ(copy.get(2), &justB);
    EXPECT_TRUE(copy.isElse());
}

TEST(ConditionSets, SkinInternsOneConditionPerCheckAndNegation)
{
    skintest::SkinFixture f;
    f.skin.addCheck(new FlagCheck("dup", true));
    f.skin.addCheck(new FlagCheck("dup", false));
    GCondition* plain = f.skin.findCondition("dup", false);
    GCondition* negated = f.skin.findCondition("dup", true);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(negated, nullptr);
    EXPECT_NE(plain, negated);
    EXPECT_EQ(f.skin.findCondition("dup", false), plain);
    EXPECT_EQ(plain->getCheck(), f.skin.getChecks().get(0));  // the first of that name
    EXPECT_TRUE(plain->holds());
    EXPECT_FALSE(negated->holds());
    EXPECT_EQ(f.skin.getConditionList().getCount(), 2);

    EXPECT_EQ(f.skin.findCondition("Dup", false), nullptr);
    EXPECT_EQ(f.skin.findCondition(nullptr, false), nullptr);
    EXPECT_EQ(f.skin.getConditionList().getCount(), 2);
}

TEST(ConditionSets, ElsePairSplitsAPageBetweenTwoControls)
{
    skintest::SkinFixture f;
    auto* flag = new FlagCheck("flag", true);
    f.skin.addCheck(flag);
    GConditionSet set;
    set.add(f.skin.findCondition("flag", false));
    auto* ifBranch = f.add(1, 0, 0, 10, 10, &set);
    set.toggleElse();
    auto* elseBranch = f.add(1, 0, 0, 10, 10, &set);
    set.clear();
    auto* always = f.add(1, 0, 0, 10, 10, &set);

    EXPECT_TRUE(f.skin.isActive(ifBranch));
    EXPECT_FALSE(f.skin.isActive(elseBranch));
    flag->value = false;
    EXPECT_FALSE(f.skin.isActive(ifBranch));
    EXPECT_TRUE(f.skin.isActive(elseBranch));
    EXPECT_TRUE(f.skin.isActive(always));
    f.skin.setPage(2);  // off its page the else flag plays no part
    EXPECT_FALSE(f.skin.isActive(elseBranch));
}
