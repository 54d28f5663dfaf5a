#include "memory_reader.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;

// Tokens of every line of text, one vector per line.
std::vector<Tokens> tokenize(const std::string& text)
{
    MemoryReader source(text);
    XP::TokenReader reader(&source);
    std::vector<Tokens> lines;
    while (reader.nextLine()) {
        Tokens tokens;
        for (int i = 0; i < reader.count(); ++i)
            tokens.emplace_back(reader.token(i));
        lines.push_back(tokens);
    }
    EXPECT_FALSE(reader.nextLine());
    return lines;
}

Tokens tokenizeLine(const std::string& line)
{
    const std::vector<Tokens> lines = tokenize(line);
    EXPECT_EQ(lines.size(), 1u) << line;
    return lines.empty() ? Tokens{} : lines.front();
}

}  // namespace

TEST(Tokenizer, QuotesGroupBlanksAndEndTokensDirectly)
{
    EXPECT_EQ(tokenizeLine("alpha  \"beta gamma\"delta"), (Tokens{"alpha", "beta gamma", "delta"}));
    EXPECT_EQ(tokenizeLine("a\tb \t c"), (Tokens{"a", "b", "c"}));
    EXPECT_EQ(tokenizeLine("\"\" x"), (Tokens{"", "x"})) << "empty quoted token";
    EXPECT_EQ(tokenizeLine("say \"open ended"), (Tokens{"say", "open ended"}));
    EXPECT_EQ(tokenizeLine("in\"side quo\"te"), (Tokens{"in\"side", "quo\"te"}));
    EXPECT_EQ(tokenizeLine("\"a\"\"b\""), (Tokens{"a", "b"}));
    EXPECT_EQ(tokenizeLine("  lead  trail  "), (Tokens{"lead", "trail"}));
}

TEST(Tokenizer, CommentsRunToTheLineEndEvenInsideQuotes)
{
    EXPECT_EQ(tokenizeLine("word # more words"), (Tokens{"word"}));
    EXPECT_EQ(tokenizeLine("word#glued"), (Tokens{"word"}));
    EXPECT_EQ(tokenizeLine("\"ab # cd\" ef"), (Tokens{"ab "}));
    EXPECT_EQ(tokenizeLine("# only a comment"), Tokens{});
    EXPECT_EQ(tokenizeLine("   \t  "), Tokens{});
}

TEST(Tokenizer, KeepsTheFirst32TokensOfACrowdedLine)
{
    std::string line;
    for (int i = 0; i < 100; ++i)
        line += "t" + std::to_string(i) + (i % 2 ? " " : " \"q\"");
    MemoryReader source(line.substr(0, 254) + "\nnext");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(reader.count(), XP::TokenReader::kMaxTokens);
    EXPECT_STREQ(reader.token(0), "t0");
    EXPECT_STREQ(reader.token(1), "q");
    EXPECT_STREQ(reader.token(30), "t20");
    EXPECT_STREQ(reader.token(31), "q");
    EXPECT_EQ(reader.token(32), nullptr);
    EXPECT_FALSE(reader.tokenIs(32, "q"));
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(reader.count(), 1);
    EXPECT_STREQ(reader.token(0), "next");
}

TEST(Tokenizer, EveryLineStartsFresh)
{
    MemoryReader source("first second third\r\n\r\n300 \"Inf\" 2.5dB -inf 99999999999 x7\r\n");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.nextLine());
    reader.cursor = 2;
    EXPECT_EQ(reader.remaining(), 1);
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(reader.cursor, 0);
    EXPECT_EQ(reader.count(), 6);
    EXPECT_EQ(reader.token(3), std::string("-inf"));
    EXPECT_FALSE(reader.nextLine());
    EXPECT_EQ(reader.count(), 0);
    EXPECT_FALSE(reader.nextLine());
}

TEST(Tokenizer, KeywordAndNumberTests)
{
    MemoryReader source("SetStr 300 \"Inf\" 2.5dB -inf 99999999999 x7 -99999999999");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.nextLine());
    EXPECT_TRUE(reader.tokenIs(0, "SETSTR"));
    EXPECT_TRUE(reader.tokenIs(0, "setstr"));
    EXPECT_FALSE(reader.tokenIs(0, "SETST"));
    EXPECT_FALSE(reader.tokenIs(0, nullptr));
    EXPECT_FALSE(reader.tokenIs(-1, "SetStr"));
    EXPECT_EQ(reader.tokenAsInt(1), 300);
    EXPECT_EQ(reader.tokenAsDouble(2), INFINITY);
    EXPECT_EQ(reader.tokenAsDouble(3), 2.5);
    EXPECT_EQ(reader.tokenAsInt(3), 2);
    EXPECT_EQ(reader.tokenAsDouble(4), -INFINITY);
    EXPECT_EQ(reader.tokenAsInt(5), INT_MAX);
    EXPECT_EQ(reader.tokenAsInt(6), 0);
    EXPECT_EQ(reader.tokenAsDouble(6), 0.0);
    EXPECT_EQ(reader.tokenAsInt(7), INT_MIN);
    EXPECT_EQ(reader.tokenAsDouble(8), 0.0) << "outside the line";
    EXPECT_EQ(reader.tokenAsInt(-1), 0);
}

TEST(Tokenizer, ReadsTheEmbeddedPresetText)
{
    XP::ResourceReader resource;
    resource.open("QueltPreset.txt");
    XP::TokenReader reader(&resource);
    std::vector<Tokens> lines;
    while (reader.nextLine()) {
        Tokens tokens;
        for (int i = 0; i < reader.count(); ++i)
            tokens.emplace_back(reader.token(i));
        lines.push_back(tokens);
    }
    ASSERT_EQ(lines.size(), 13u) << "blank lines are swallowed";
    EXPECT_EQ(lines[0], Tokens{});
    EXPECT_EQ(lines[1], (Tokens{"PRESET", "Basic gate"}));
    EXPECT_EQ(lines[2], (Tokens{"SETSTR", "Thresh", "-75.0"}));
    EXPECT_EQ(lines[12], (Tokens{"SETSTR", "Attack", "2.0"}));
}
