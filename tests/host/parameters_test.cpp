// Parameter names, units, display texts and text entry as a host sees them.

#include "tests/host/hostfixture.h"

#include <cmath>
#include <iterator>

namespace Zorv {
namespace {

using Parameters = HostTest;

TEST_F(Parameters, NamesLabelsAndDefaults)
{
    host.setProgram(kDefaultsProgram);
    const char* names[] = {"Thresh", "Fade", "Attack"};
    const char* labels[] = {"dB", "s", "ms"};
    const char* displays[] = {"-70.0", "0.50", "1.0"};
    const float values[] = {0.0774509799928716f, 0.49 / 0.99f, 1.0f / 30.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(host.paramName(i), names[i]);
        EXPECT_EQ(host.paramLabel(i), labels[i]);
        EXPECT_EQ(host.paramDisplay(i), displays[i]);
        EXPECT_FLOAT_EQ(host.getParameter(i), values[i]);
    }
    EXPECT_EQ(host.findParameter("tHrEsH"), 0);
    EXPECT_EQ(host.findParameter("attack"), 2);
}

TEST_F(Parameters, PresetProgramsShowTheirValues)
{
    const char* expected[3][3] = {
        {"-75.0", "0.40", "2.0"}, {"-75.0", "0.80", "10.0"}, {"-24.0", "0.20", "2.0"}};
    for (int p = 0; p < 3; ++p) {
        host.setProgram(p);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(host.paramDisplay(i), expected[p][i]) << "program " << p << " param " << i;
    }
}

struct TextCase {
    int index;
    const char* text;
    const char* display;
};

TEST_F(Parameters, TextEntryInNaturalUnits)
{
    const TextCase cases[] = {
        {0, "-40", "-40.0"}, {0, "-100", "-100.0"}, {0, "-1", "-1.0"}, {0, "-10", "-10.0"},
        {0, "5", "-1.0"},    {0, "-500", "-100.0"}, {0, "-inf", "-100.0"},
        {1, "0.25", "0.25"}, {1, "1", "1.00"},      {1, "0", "0.01"},     {1, "0.404", "0.40"},
        {2, "12.5", "12.5"}, {2, "0", "0.0"},       {2, "30", "30.0"},    {2, "INF", "30.0"},
        {2, "abc", "0.0"},   {2, " 7.2ms", "7.2"},
    };
    for (const TextCase& c : cases) {
        EXPECT_TRUE(host.string2parameter(c.index, c.text)) << c.text;
        EXPECT_EQ(host.paramDisplay(c.index), c.display) << "param " << c.index << " '" << c.text
                                                         << "'";
    }
}

// Texts are formatted when read, for whatever value was written last: the same
// texts for the same values as when they were formatted at every write.
TEST_F(Parameters, DisplayTextsOfAnyValueAHostSends)
{
    const float values[] = {0.0f, 1.0f, NAN, INFINITY, -INFINITY, 0.5f, 0.25f,
                            0.999f, 0.001f, -0.5f, 1.7f, 3e38f, -3e38f, 1e-30f};
    const char* texts[3][14] = {
        {"-100.0", "-1.0", "nan", "0.0", "-Inf", "-10.0", "-31.6", "-1.0", "-99.5", "-1000.0",
         "-0.0", "0.0", "-Inf", "-100.0"},
        {"0.01", "1.00", "nan", "Inf", "-Inf", "0.51", "0.26", "1.00", "0.01", "-0.48", "1.69",
         "2970000005442778215311832288...", "-297000000544277821531183228...", "0.01"},
        {"0.0", "30.0", "nan", "Inf", "-Inf", "15.0", "7.5", "30.0", "0.0", "-15.0", "51.0",
         "9000000016493267273334119828...", "-900000001649326727333411982...", "0.0"},
    };
    for (int i = 0; i < 3; ++i)
        for (size_t k = 0; k < std::size(values); ++k) {
            host.setParameter(i, values[k]);
            EXPECT_EQ(host.paramDisplay(i), texts[i][k]) << "param " << i << " value " << values[k];
        }
}

TEST_F(Parameters, DisplayTextReadsBackToTheSameValue)
{
    for (int i = 0; i < 3; ++i)
        for (float x : {0.0f, 0.1f, 0.33f, 0.5f, 0.77f, 1.0f}) {
            host.setParameter(i, x);
            std::string shown = host.paramDisplay(i);
            ASSERT_TRUE(host.string2parameter(i, shown));
            EXPECT_EQ(host.paramDisplay(i), shown) << "param " << i << " at " << x;
        }
}

TEST_F(Parameters, SetParameterStoresUnclampedValue)
{
    for (int i = 0; i < 3; ++i) {
        host.setParameter(i, 1.7f);
        EXPECT_EQ(host.getParameter(i), 1.7f);
        host.setParameter(i, -0.25f);
        EXPECT_EQ(host.getParameter(i), -0.25f);
    }
    host.setParameter(2, 1.7f);
    EXPECT_EQ(host.paramDisplay(2), "51.0") << "30 ms x 1.7 on the 0.1 ms grid";
}

TEST_F(Parameters, ValuesBelongToTheCurrentProgram)
{
    host.setProgram(4);
    host.setParameter(0, 0.5f);
    EXPECT_EQ(host.paramDisplay(0), "-10.0");
    host.setProgram(kDefaultsProgram);
    EXPECT_EQ(host.paramDisplay(0), "-70.0");
    host.setProgram(4);
    EXPECT_EQ(host.getParameter(0), 0.5f);
}

}  // namespace
}  // namespace Zorv
