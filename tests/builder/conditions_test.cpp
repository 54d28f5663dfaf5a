// Checks and conditions of the skin text: check kinds and their arguments,
// Condition with Not, ConditionElse and EndCondition, and live evaluation
// against a real gate.
#include "buildtest.h"

#include <gtest/gtest.h>

using namespace Zorv;
using buildtest::Fixture;
using buildtest::kInit;

namespace {

bool active(const GEditorSkin& skin, int control)
{
    return skin.isActive(skin.getControls().get(control));
}

const GConditionSet& setOf(const GEditorSkin& skin, int control)
{
    return skin.getControls().get(control)->getConditions();
}

}  // namespace

TEST(BuilderChecks, KindsNeedTheirArgumentsAndValidOperators)
{
    Fixture f;
    auto skin = f.build(kInit +
                        "AddCheck p1 Param fade > 0.5\n"
                        "AddCheck p2 Param Nosuch > 0.5\n"
                        "AddCheck p3 Param Fade => 0.5\n"
                        "AddCheck p4 Param Fade >\n"
                        "AddCheck io1 InOut >= 0 <= 2\n"
                        "AddCheck io2 InOut = 0 <= 2\n"
                        "AddCheck io3 InOut >= 0 <= \n"
                        "AddCheck os1 os lnx\n"
                        "AddCheck os2 OS Windows\n"
                        "AddCheck os3 OS\n"
                        "AddCheck odd Colour 1 2 3\n"
                        "ADDCHECK PAram PARAM ATTACK == 1\n");
    ASSERT_NE(skin, nullptr);
    const auto& checks = skin->getChecks();
    ASSERT_EQ(checks.getCount(), 5);
    const char* names[] = {"p1", "io1", "os1", "os2", "PAram"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(checks.get(i)->getName(), names[i]);
    EXPECT_TRUE(checks.get(1)->evaluate());
    EXPECT_TRUE(checks.get(2)->evaluate());
    EXPECT_FALSE(checks.get(3)->evaluate());
}

TEST(BuilderChecks, CheckNamesKeepThirtyFiveCharacters)
{
    const std::string name(50, 'k');
    Fixture f;
    auto skin = f.build(kInit + "AddCheck " + name + " OS LNX\nCondition " +
                        name.substr(0, kNameLength) + "\nAddControl 1 0 0 1 1 Probe\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getChecks().getCount(), 1);
    EXPECT_EQ(std::string(skin->getChecks().get(0)->getName()), name.substr(0, kNameLength));
    EXPECT_EQ(setOf(*skin, 0).getCount(), 1);
}

TEST(BuilderConditions, ParamCheckFollowsTheParameterLive)
{
    Fixture f;
    auto skin = f.build(kInit +
                        "AddCheck longFade Param Fade > 0.5\n"
                        "Condition longFade\nAddControl 1 0 0 10 10 Probe\n"
                        "ConditionElse\nAddControl 1 0 0 10 10 Probe\n"
                        "EndCondition\nAddControl 1 0 0 10 10 Probe\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getControls().getCount(), 3);

    f.effect.setParameter(kFade, 1.0f);  // 1 s
    EXPECT_TRUE(active(*skin, 0));
    EXPECT_FALSE(active(*skin, 1));
    EXPECT_TRUE(active(*skin, 2));

    f.effect.setParameter(kFade, 0.0f);  // 0.01 s
    EXPECT_FALSE(active(*skin, 0));
    EXPECT_TRUE(active(*skin, 1));
    EXPECT_TRUE(active(*skin, 2));
    EXPECT_EQ(skin->hitTest(5, 5), 1) << "the else branch takes the mouse";

    skin->setPage(2);
    EXPECT_FALSE(active(*skin, 1)) << "the page decides first";
}

TEST(BuilderConditions, NotNegatesTheNextCheckAndAFinalNotIsAName)
{
    Fixture f;
    auto skin = f.build(kInit +
                        "AddCheck yes OS LNX\nAddCheck no OS MAC\n"
                        "Condition Not\nAddControl 1 0 0 1 1 Probe\n"
                        "Condition Not no yes\nAddControl 1 0 0 1 1 Probe\n"
                        "Condition NOT not yes\nAddControl 1 0 0 1 1 Probe\n"
                        "Condition nosuch yes Not\nAddControl 1 0 0 1 1 Probe\n"
                        "AddCheck Not OS MAC\n"
                        "Condition yes Not\nAddControl 1 0 0 1 1 Probe\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getControls().getCount(), 5);

    EXPECT_EQ(setOf(*skin, 0).getCount(), 0) << "no check is named Not yet";
    EXPECT_TRUE(active(*skin, 0));

    ASSERT_EQ(setOf(*skin, 1).getCount(), 2);
    EXPECT_TRUE(setOf(*skin, 1).get(0)->isNegated());
    EXPECT_FALSE(setOf(*skin, 1).get(1)->isNegated());
    EXPECT_TRUE(active(*skin, 1));

    ASSERT_EQ(setOf(*skin, 2).getCount(), 1) << "Not Not is still one negation";
    EXPECT_TRUE(setOf(*skin, 2).get(0)->isNegated());
    EXPECT_FALSE(active(*skin, 2));

    EXPECT_EQ(setOf(*skin, 3).getCount(), 1) << "unknown names are skipped";

    ASSERT_EQ(setOf(*skin, 4).getCount(), 2);
    EXPECT_STREQ(setOf(*skin, 4).get(1)->getCheck()->getName(), "Not");
    EXPECT_FALSE(setOf(*skin, 4).get(1)->isNegated());
    EXPECT_FALSE(active(*skin, 4));
}

TEST(BuilderConditions, ConditionsAreSharedPerCheckAndNegation)
{
    Fixture f;
    auto skin = f.build(kInit + "AddCheck a OS LNX\n"
                        "Condition a\nAddControl 1 0 0 1 1 Probe\n"
                        "Condition a Not a\nAddControl 1 0 0 1 1 Probe\n"
                        "Condition Not a\n");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->getConditionList().getCount(), 2);
    EXPECT_EQ(setOf(*skin, 0).get(0), setOf(*skin, 1).get(0));
    EXPECT_FALSE(active(*skin, 1)) << "a AND NOT a";
}

TEST(BuilderConditions, ElseTogglesEndClearsAndConditionReplaces)
{
    Fixture f;
    auto skin = f.build(kInit + "AddCheck a OS LNX\n"
                        "ConditionElse\nAddControl 1 0 0 1 1 Probe\n"
                        "ConditionElse\nAddControl 1 0 0 1 1 Probe\n"
                        "Condition a\nConditionElse\nCondition a\nAddControl 1 0 0 1 1 Probe\n"
                        "ConditionElse\nEndCondition\nAddControl 1 0 0 1 1 Probe\n"
                        "ConditionElse extra words\nAddControl 1 0 0 1 1 Probe\n");
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->getControls().getCount(), 5);
    EXPECT_TRUE(setOf(*skin, 0).isElse());
    EXPECT_FALSE(active(*skin, 0)) << "an empty set with else is false";
    EXPECT_FALSE(setOf(*skin, 1).isElse());
    EXPECT_FALSE(setOf(*skin, 2).isElse()) << "Condition clears the else flag";
    EXPECT_EQ(setOf(*skin, 2).getCount(), 1);
    EXPECT_FALSE(setOf(*skin, 3).isElse());
    EXPECT_EQ(setOf(*skin, 3).getCount(), 0);
    EXPECT_TRUE(setOf(*skin, 4).isElse());
}

TEST(BuilderConditions, BackgroundsCopyTheSetInForce)
{
    Fixture f;
    auto skin = f.build(kInit + "AddResource img PngResource Quelt.png 330 195 2\n"
                        "AddCheck longFade Param Fade > 0.5\n"
                        "Condition longFade\nBackgroundMap img\n"
                        "ConditionElse\nBackgroundImage 0 img 2\nEndCondition\n");
    ASSERT_NE(skin, nullptr);
    const auto& bgs = skin->getBackgrounds();
    ASSERT_EQ(bgs.getCount(), 3);
    f.effect.setParameter(kFade, 1.0f);
    EXPECT_TRUE(skin->isActive(bgs.get(0)->page, bgs.get(0)->conditions));
    EXPECT_FALSE(skin->isActive(bgs.get(2)->page, bgs.get(2)->conditions));
    f.effect.setParameter(kFade, 0.0f);
    EXPECT_FALSE(skin->isActive(bgs.get(0)->page, bgs.get(0)->conditions));
    EXPECT_TRUE(skin->isActive(bgs.get(2)->page, bgs.get(2)->conditions));
}
