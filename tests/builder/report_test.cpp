// The skip report: every line that builds nothing is named with its number,
// its keyword or type word and a reason; a report never changes the skin.
#include "buildtest.h"

#include "editor/skinreport.h"
#include "xp/resourcereader.h"

#include <gtest/gtest.h>

using namespace Zorv;
using buildtest::Fixture;
using buildtest::kInit;

namespace {

struct Entry {
    int line;
    std::string word, reason;
    bool operator==(const Entry& o) const
    {
        return line == o.line && word == o.word && reason == o.reason;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    return out << e.line << ": " << e.word << ": " << e.reason;
}

struct Recorder : GSkinReport {
    void skipped(int line, const char* word, const char* reason) override
    {
        entries.push_back({line, word, reason});
    }
    void noSkin(const char* reason) override { failures.push_back(reason); }

    std::vector<Entry> entries;
    std::vector<std::string> failures;
};

// Resources the lines below refer to, lines 2 to 6 after Init.
const std::string kHeader = kInit +
                            "AddResource col RGBColour 1 2 3\n"
                            "AddResource font DefFont 10 col Kelvo\n"
                            "AddResource img PngResource \"Quelt.png\" 330 195 2\n"
                            "AddCheck loud Param Thresh > -20\n"
                            "InstallTTF Kelvo Kelvo.ttf\n";
constexpr int kFirstLine = 7;

// Builds kHeader followed by one line and answers what the report says of it.
std::vector<Entry> reportOf(const std::string& line)
{
    Fixture f;
    Recorder report;
    f.builder.setReport(&report);
    f.build(kHeader + line + "\n");
    return report.entries;
}

std::vector<Entry> one(const char* word, const char* reason)
{
    return {{kFirstLine, word, reason}};
}

}  // namespace

TEST(BuilderReport, StatementsSayWhyTheyBuiltNothing)
{
    EXPECT_EQ(reportOf("Initialise 1 1 1"), one("Initialise", "unknown keyword"));
    EXPECT_EQ(reportOf("Init 330 195"), one("Init", "needs 3 arguments, has 2"));
    EXPECT_EQ(reportOf("Init 330 195 0"), one("Init", "width, height and pages must be at least 1"));
    EXPECT_EQ(reportOf("Init 40000 195 2"),
              one("Init", "larger than 32767 x 32767 pixels or 256 pages"));
    EXPECT_EQ(reportOf("BackgroundMap knob"), one("BackgroundMap", "image 'knob' not found"));
    EXPECT_EQ(reportOf("BackgroundMap col"), one("BackgroundMap", "'col' is not an image"));
    EXPECT_EQ(reportOf("BackgroundImage 1 img 0"),
              one("BackgroundImage", "frame must be at least 1 (frames count from 1)"));
    EXPECT_EQ(reportOf("BackgroundImage -1 img 1"),
              one("BackgroundImage", "page must be 0 (every page) or more"));
    EXPECT_EQ(reportOf("StartPage 3"), one("StartPage", "page 3 outside 1..2"));
    EXPECT_EQ(reportOf("Condition loud quiet"), one("Condition", "check 'quiet' not found"));
    EXPECT_EQ(reportOf("EndCondition"), std::vector<Entry>{});
    EXPECT_EQ(reportOf("InstallTTF " + std::string(64, 'f') + " Kelvo.ttf"),
              one("InstallTTF", "family or file name longer than 63 characters"));
}

TEST(BuilderReport, ResourcesAndChecksNameTheirTypeWord)
{
    EXPECT_EQ(reportOf("AddResource x Colour 1 2 3"), one("Colour", "unknown resource type"));
    EXPECT_EQ(reportOf("AddResource x \"\" 1 2 3"), one("\"\"", "unknown resource type"));
    EXPECT_EQ(reportOf("\"\" 1 2"), one("\"\"", "unknown keyword"));
    EXPECT_EQ(reportOf("AddResource x"), one("AddResource", "no resource type after the name"));
    EXPECT_EQ(reportOf("AddResource x RGBColour 1 2"), one("RGBColour", "needs 3 arguments, has 2"));
    EXPECT_EQ(reportOf("AddResource x PngResource knob.png 10 0 1"),
              one("PngResource", "frame width, height and count must be at least 1"));
    EXPECT_EQ(reportOf("AddResource x DefFont 0 col Kelvo"), one("DefFont", "size must be above 0"));
    EXPECT_EQ(reportOf("AddResource x DefFont 9 red Kelvo"),
              one("DefFont", "colour 'red' not found"));
    EXPECT_EQ(reportOf("AddCheck c Param Foo > 1"), one("Param", "parameter 'Foo' not found"));
    EXPECT_EQ(reportOf("AddCheck c Param Fade => 1"), one("Param", "operator '=>' not valid"));
    EXPECT_EQ(reportOf("AddCheck c InOut == 2"), one("InOut", "needs 4 arguments, has 2"));
    EXPECT_EQ(reportOf("AddCheck c Plugin 1"), one("AddCheck", "unknown check kind 'Plugin'"));
}

TEST(BuilderReport, ControlsNameTheirTypeAndTheFirstFailure)
{
    EXPECT_EQ(reportOf("AddControl 1 0 0 50 50 GImgPot Fade knob"),
              one("GImgPot", "image 'knob' not found"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 50 50 GPotDot Foo nocol 15 col"),
              one("GPotDot", "parameter 'Foo' not found")) << "the first failure of the line";
    EXPECT_EQ(reportOf("AddControl 1 0 0 50 50 GPotDot Fade col 0 x"),
              one("GPotDot", "radius must be above 0"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 50 50 GPotDot Fade col 15"),
              one("GPotDot", "needs 4 arguments, has 3"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 50 50 GValue Fade col"), one("GValue", "'col' is not a font"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 50 50 GValue Fade Null"),
              one("GValue", "font 'Null' not found"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9 GBarFracMeter Level LeftToRight col"),
              one("GBarFracMeter", "real feature 'Level' not found"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9 GImgMeter Meter 1 0 img"),
              one("GImgMeter", "integer feature 'Meter' not found"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9 GImgPeak Meter Reset img"),
              one("GImgPeak", "command 'Reset' not found"));
    EXPECT_EQ(reportOf("AddControl 0 0 0 9 9 GPageSelHlt 0 col"),
              one("GPageSelHlt", "target page must be at least 1"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9 GWave Wave Null Null col col col"),
              one("GWave", "no history feature 'Wave'"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 20 150 GSlide Fade img col 0 0 1 1"),
              one("GSlide", "knob as tall as the control or taller"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9 GHlRadio Fade 0 -1 0 0 9 9 col col col"),
              one("GHlRadio", "choice must lie in 0..lastChoice"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9 GImgRadio Fade 2 1 img"),
              one("GImgRadio", "choice must lie in 0..lastChoice"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9 GKnob Fade"), one("GKnob", "unknown control type"));
    EXPECT_EQ(reportOf("AddControl 1 0 0 9 9"), one("AddControl", "no control type after page x y w h"));
    EXPECT_EQ(reportOf("AddNameCtl n 1 0 0 9 9 GValue Fade"), one("GValue", "needs 2 arguments, has 1"));
    EXPECT_EQ(reportOf("AddControl 1 0 0"), one("AddControl", "needs 5 arguments, has 3"));
}

TEST(BuilderReport, LinesAreCountedInTheTextAndGoodLinesStaySilent)
{
    Fixture f;
    Recorder report;
    f.builder.setReport(&report);
    auto skin = f.build("# comment\r\n\r\nInit 330 195 2\r\nAddResource c RGBColour 1 2 3\r"
                        "Bogus\n\nAddControl 1 0 0 9 9 GValue Fade c # trailing\n");
    ASSERT_NE(skin, nullptr);
    const std::vector<Entry> expected = {{5, "Bogus", "unknown keyword"},
                                         {7, "GValue", "'c' is not a font"}};
    EXPECT_EQ(report.entries, expected);
    EXPECT_TRUE(report.failures.empty());
}

TEST(BuilderReport, ATextWithoutAValidInitIsReported)
{
    Fixture f;
    Recorder report;
    f.builder.setReport(&report);
    EXPECT_EQ(f.build("AddResource c RGBColour 1 2 3\n"), nullptr);
    EXPECT_EQ(f.build("Init 330 195 2\n\nInit 0 0 0\n"), nullptr);
    const std::vector<std::string> expected = {"no Init line", "the Init on line 3 is invalid"};
    EXPECT_EQ(report.failures, expected);
}

TEST(BuilderReport, AReportDoesNotChangeWhatIsBuilt)
{
    const std::string text = kHeader + "AddControl 1 0 0 50 50 GImgPot Fade knob\n"
                                       "AddControl 1 0 0 50 50 GImgPot Fade img\n"
                                       "Condition loud nothing\nBackgroundMap img\n"
                                       "AddControl 1 0 0 50 50 GValue Fade font\nEndCondition\n";
    Fixture silent, reported;
    Recorder report;
    reported.builder.setReport(&report);
    auto a = silent.build(text), b = reported.build(text);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(report.entries.size(), 2u);
    EXPECT_EQ(a->getResources().getCount(), b->getResources().getCount());
    EXPECT_EQ(a->getChecks().getCount(), b->getChecks().getCount());
    EXPECT_EQ(a->getBackgrounds().getCount(), b->getBackgrounds().getCount());
    ASSERT_EQ(b->getControls().getCount(), 2);
    EXPECT_EQ(a->getControls().getCount(), 2);
    EXPECT_EQ(b->getControls().get(1)->getConditions().getCount(), 1) << "the known check stays";
}

TEST(BuilderReport, TheDefaultSkinBuildsEveryLine)
{
    Fixture f;
    Recorder report;
    f.builder.setReport(&report);
    XP::ResourceReader reader;
    reader.open("QueltSkin.txt");
    XP::TokenReader tokens(&reader);
    buildtest::SkinPtr skin(f.builder.buildSkin(tokens));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(report.entries, std::vector<Entry>{});
}
