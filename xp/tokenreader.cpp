#include "xp/tokenreader.h"

#include "effect/numbers.h"
#include "xp/nocase.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace XP {

namespace {
constexpr char kQuote = '"';
constexpr char kComment = '#';

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
}  // namespace

TokenReader::TokenReader(InputReader* source)
{
    lines.attach(source);
}

bool TokenReader::nextLine()
{
    memset(line, 0, sizeof line);
    memset(tokens, 0, sizeof tokens);
    tokenCount = 0;
    cursor = 0;
    const bool read = lines.readLine(line, sizeof line);
    if (read)
        tokenize();
    return read;
}

const char* TokenReader::token(int index) const
{
    return index >= 0 && index < tokenCount ? tokens[index] : nullptr;
}

bool TokenReader::tokenIs(int index, const char* word) const
{
    return equalsNoCase(token(index), word);
}

double TokenReader::tokenAsDouble(int index) const
{
    return Zorv::parseNumber(token(index));
}

int TokenReader::tokenAsInt(int index) const
{
    const char* text = token(index);
    if (!text)
        return 0;
    const long value = strtol(text, nullptr, 10);
    if (value < INT_MIN)
        return INT_MIN;
    if (value > INT_MAX)
        return INT_MAX;
    return int(value);
}

// The line buffer is always NUL-terminated: readLine stores at most kLineSize - 2 characters.
void TokenReader::tokenize()
{
    if (char* comment = strchr(line, kComment))
        *comment = '\0';
    char* scan = line;
    while (tokenCount < kMaxTokens) {
        while (isBlank(*scan))
            ++scan;
        if (*scan == '\0')
            return;
        tokens[tokenCount++] = *scan == kQuote ? scan + 1 : scan;
        scan = *scan == kQuote ? scanQuoted(scan + 1) : scanWord(scan);
    }
}

// Ends the quoted token opened before start; returns where the next scan begins.
char* TokenReader::scanQuoted(char* start)
{
    char* close = strchr(start, kQuote);
    if (!close)
        return start + strlen(start);
    *close = '\0';
    return close + 1;
}

// Ends the word at start; returns where the next scan begins.
char* TokenReader::scanWord(char* start)
{
    char* stop = start;
    while (*stop != '\0' && !isBlank(*stop))
        ++stop;
    if (*stop == '\0')
        return stop;
    *stop = '\0';
    return stop + 1;
}

}  // namespace XP
