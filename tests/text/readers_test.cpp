#include "memory_reader.h"
#include "shell/embedded.h"
#include "xp/linereader.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr size_t kWideLine = 8192;

std::vector<std::string> readLines(XP::InputReader* source, size_t size = kWideLine)
{
    XP::LineReader reader;
    reader.attach(source);
    std::vector<std::string> lines;
    std::vector<char> out(size);
    while (reader.readLine(out.data(), out.size()))
        lines.emplace_back(out.data());
    EXPECT_FALSE(reader.readLine(out.data(), out.size())) << "stays at the end";
    return lines;
}

std::vector<std::string> readLines(const std::string& text, size_t size = kWideLine)
{
    MemoryReader source(text);
    return readLines(&source, size);
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(ResourceReader, ReadsTheWholeResourceInPieces)
{
    uint64_t size = 0;
    const unsigned char* data = Zorv::findResource("QueltSkin.txt", &size);
    ASSERT_NE(data, nullptr);
    XP::ResourceReader reader;
    EXPECT_FALSE(reader.isOpen());
    reader.open("queltskin.TXT");
    ASSERT_TRUE(reader.isOpen());
    std::string text;
    char piece[100];
    while (size_t n = reader.read(piece, sizeof piece))
        text.append(piece, n);
    EXPECT_EQ(text, std::string(reinterpret_cast<const char*>(data), size));
    EXPECT_EQ(reader.read(piece, sizeof piece), 0u);
}

TEST(ResourceReader, UnknownOrEmptyResourceLeavesItClosed)
{
    static Zorv::EmbeddedResource empty = {"EmptyResource.txt", 0, reinterpret_cast<const unsigned char*>("")};
    Zorv::registerResource(&empty);
    char piece[8];
    XP::ResourceReader reader;
    reader.open("QueltPreset.txt");
    ASSERT_TRUE(reader.isOpen());
    for (const char* name : {"EmptyResource.txt", "NoSuchFile.txt", static_cast<const char*>(nullptr)}) {
        reader.open("QueltPreset.txt");
        reader.open(name);
        EXPECT_FALSE(reader.isOpen());
        EXPECT_EQ(reader.read(piece, sizeof piece), 0u);
        XP::TokenReader tokens(&reader);
        EXPECT_FALSE(tokens.nextLine());
    }
}

TEST(LineReader, WithoutUsableSourceIsAtEndAndLeavesOutputAlone)
{
    XP::LineReader reader;
    char out[16] = "untouched";
    EXPECT_FALSE(reader.readLine(out, sizeof out));
    reader.attach(nullptr);
    EXPECT_FALSE(reader.readLine(out, sizeof out));
    MemoryReader closed("");
    reader.attach(&closed);
    EXPECT_FALSE(reader.readLine(out, sizeof out));
    EXPECT_STREQ(out, "untouched");
}

TEST(LineReader, LineEndRunsEndLinesWithoutEmptyLines)
{
    EXPECT_EQ(readLines("one\r\ntwo\r\n"), (Lines{"one", "two"}));
    EXPECT_EQ(readLines("one\ntwo\rthree"), (Lines{"one", "two", "three"}));
    EXPECT_EQ(readLines("one\r\n\r\ntwo"), (Lines{"one", "two"}));
    EXPECT_EQ(readLines("one\n\n\r\r\n\ntwo\r\n\r\n"), (Lines{"one", "two"}));
    EXPECT_EQ(readLines("\r\n\r\nfirst"), (Lines{"", "first"})) << "only a leading run gives an empty line";
    EXPECT_EQ(readLines("last without end"), (Lines{"last without end"}));
}

TEST(LineReader, LongLinesAreCutAtSizeMinusTwo)
{
    const std::string longLine(300, 'x');
    EXPECT_EQ(readLines(longLine + "\r\nnext", 256), (Lines{std::string(254, 'x'), std::string(46, 'x'), "next"}));
    const std::string exact(254, 'y');
    EXPECT_EQ(readLines(exact + "\r\nnext", 256), (Lines{exact, "next"})) << "no empty line after an exact fit";
    EXPECT_EQ(readLines("abcdefg", 3), (Lines{"a", "b", "c", "d", "e", "f", "g"}));
    char out[2] = {'k', 'k'};
    MemoryReader source("abc");
    XP::LineReader reader;
    reader.attach(&source);
    EXPECT_FALSE(reader.readLine(out, sizeof out)) << "a buffer that holds no character";
    EXPECT_EQ(out[0], 'k');
}

TEST(LineReader, LinesAndLineEndsStraddleRefills)
{
    const std::string before(2047, 'a');
    EXPECT_EQ(readLines(before + "\r\nafter"), (Lines{before, "after"})) << "CR LF split by the refill";
    const std::string across = std::string(2040, 'b') + std::string(20, 'c');
    EXPECT_EQ(readLines("\n" + across + "\n"), (Lines{"", across}));
    EXPECT_EQ(readLines(std::string(2048, 'd')), (Lines{std::string(2048, 'd')})) << "text ends at the refill";
    EXPECT_EQ(readLines(std::string(2046, 'e') + "\r\n"), (Lines{std::string(2046, 'e')}));
}

TEST(LineReader, SplitsTheSameWhateverTheSourceDelivers)
{
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\n\r\n\r") + std::string(size_t(i % 17), 'z');
    const Lines whole = readLines(text, 256);
    ASSERT_GT(whole.size(), 400u);
    for (size_t chunk : {1, 2, 3, 7, 255, 2047}) {
        MemoryReader source(text, chunk);
        EXPECT_EQ(readLines(&source, 256), whole) << "chunk " << chunk;
    }
}

namespace {

// Numbers of the lines read, in order.
std::vector<int> lineNumbers(const std::string& text, size_t chunk = SIZE_MAX, size_t size = 256)
{
    MemoryReader source(text, chunk);
    XP::LineReader reader;
    reader.attach(&source);
    std::vector<int> numbers;
    std::vector<char> out(size);
    while (reader.readLine(out.data(), out.size()))
        numbers.push_back(reader.lineNumber());
    return numbers;
}

}  // namespace

TEST(LineReader, NumbersLinesAsTheTextHasThem)
{
    using Numbers = std::vector<int>;
    EXPECT_EQ(lineNumbers("a\r\nb\r\n\r\nc\n\nd\re"), (Numbers{1, 2, 4, 6, 7}));
    EXPECT_EQ(lineNumbers("\r\n\r\nfirst"), (Numbers{1, 3})) << "the leading empty line";
    EXPECT_EQ(lineNumbers("a\n\rb\r\rc"), (Numbers{1, 3, 5})) << "LF CR is two line ends";
    EXPECT_EQ(lineNumbers(std::string(300, 'x') + "\r\nnext"), (Numbers{1, 1, 2}))
        << "a cut line's rest keeps its number";
    for (size_t chunk : {1, 2, 3})
        EXPECT_EQ(lineNumbers("a\r\n\r\nb\r\nc", chunk), (Numbers{1, 3, 4})) << "chunk " << chunk;
}
