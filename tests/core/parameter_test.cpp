#include "effect/numbers.h"
#include "effect/parameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Zorv;

namespace {

std::string format(int decimals, double x, int size = 64)
{
    char out[64] = {};
    formatNumber(out, size, decimals, x);
    return out;
}

std::string display(const GEffectParameter& p, double natural)
{
    double slot;
    p.setNatural(&slot, natural);
    char out[64] = {};
    p.formatDisplay(out, 40, &slot);
    return out;
}

}  // namespace

TEST(Numbers, FormatsInfinitiesFixedDecimalsAndBounds)
{
    EXPECT_EQ(format(1, -INFINITY), "-Inf");
    EXPECT_EQ(format(1, INFINITY), "Inf");
    EXPECT_EQ(format(2, 0.5), "0.50");
    EXPECT_EQ(format(-3, 2.6), "3");
    EXPECT_EQ(format(25, 1.0), "1." + std::string(20, '0'));
    EXPECT_EQ(format(3, 123.4567, 4), "123");
}

TEST(Numbers, ParsesInfinitiesAnyCaseAndNumericPrefixes)
{
    EXPECT_EQ(parseNumber("iNf"), INFINITY);
    EXPECT_EQ(parseNumber("-INF"), -INFINITY);
    EXPECT_DOUBLE_EQ(parseNumber("  -12.5dB"), -12.5);
    EXPECT_EQ(parseNumber("abc"), 0.0);
    EXPECT_EQ(parseNumber(nullptr), 0.0);
}

TEST(RangeParam, SnapsToStepsWithHalvesRoundingUp)
{
    GRangeParam attack("Attack", "ms", 1, 0.0, 30.0, 300);
    EXPECT_DOUBLE_EQ(attack.toNatural(1.0 / 30.0), 1.0);
    EXPECT_DOUBLE_EQ(attack.toNatural(0.00166), 0.0);
    EXPECT_NEAR(attack.toNatural(0.00167), 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(attack.toNatural(1.5), 45.0);  // no clamping of the normalised value
    EXPECT_EQ(attack.toNormalised(-5.0), 0.0);
    EXPECT_EQ(attack.toNormalised(99.0), 1.0);
}

TEST(RangeParam, NaturalDefaultRoundTripsThroughTheGrid)
{
    GRangeParam fade("Fade", "s", 2, 0.01, 1.0, 99);
    fade.setDefaultNatural(0.5);
    EXPECT_NEAR(fade.getDefault(), 0.49 / 0.99, 1e-15);
    EXPECT_NEAR(fade.toNatural(fade.getDefault()), 0.5, 1e-12);
}

TEST(LogRangeParam, MapsNegativeBoundsGeometricallyAndRounds)
{
    GLogRangeParam thresh("Thresh", "dB", 1, -100.0, -1.0);
    EXPECT_DOUBLE_EQ(thresh.toNatural(0.0), -100.0);
    EXPECT_DOUBLE_EQ(thresh.toNatural(1.0), -1.0);
    EXPECT_DOUBLE_EQ(thresh.toNatural(0.5), -10.0);
    EXPECT_NEAR(thresh.toNormalised(-70.0), 0.0774509799928716, 1e-15);
    EXPECT_EQ(thresh.toNormalised(0.0), 1.0);
    EXPECT_DOUBLE_EQ(thresh.toNatural(thresh.toNormalised(-33.33)), -33.3);
}

TEST(LogRangeParam, HugeAndNonFiniteValuesStayDefined)
{
    GLogRangeParam thresh("Thresh", "dB", 1, -100.0, -1.0);
    EXPECT_DOUBLE_EQ(thresh.toNatural(-4.0), -1e10);  // beyond 32-bit rounding range
    EXPECT_EQ(thresh.toNatural(-1e6), -INFINITY);
    EXPECT_TRUE(std::isnan(thresh.toNatural(NAN)));
    EXPECT_EQ(thresh.toNatural(1e6), -0.0);
}

TEST(Parameter, TextInputClampsAndDisplayAddsTheUnit)
{
    GRangeParam attack("Attack", "ms", 1, 0.0, 30.0, 300);
    double slot = 0.5;
    attack.parseValue(&slot, "InF");
    EXPECT_EQ(slot, 1.0);
    attack.parseValue(&slot, "no number");
    EXPECT_EQ(slot, 0.0);
    EXPECT_EQ(display(attack, 2.0), "2.0 ms");

    GRangeParam plain("Mix", "", 1, 0.0, 30.0, 0);
    EXPECT_EQ(display(plain, 2.0), "2.0");

    attack.setNormalised(&slot, 1.7);
    EXPECT_EQ(attack.getNormalised(&slot), 1.7);
    EXPECT_NEAR(attack.getNatural(&slot), 51.0, 1e-12);
}

TEST(Named, NamesAreBoundedAndComparedOnTheirFirst35Characters)
{
    std::string longName(40, 'x');
    GRangeParam p(longName.c_str(), "toolongunit", 0, 0.0, 1.0, 0);
    EXPECT_EQ(std::string(p.getName()), std::string(35, 'x'));
    EXPECT_EQ(std::string(p.getUnit()), "toolongu");
    EXPECT_TRUE(p.isNamed((std::string(35, 'x') + "different").c_str()));
    EXPECT_FALSE(p.isNamed("X"));
    EXPECT_FALSE(p.isNamed(nullptr));

    GLogRangeParam q("q", "", 0, 1.0, 10.0);
    EXPECT_TRUE(p.isType(GRangeParam("a", "", 0, 0, 1, 0).typeId()));
    EXPECT_FALSE(p.isType(q.typeId()));
    EXPECT_TRUE(q.isNamedType("q", q.typeId()));
}
