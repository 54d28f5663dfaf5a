// Splits the lines of an InputReader into tokens for the preset and skin
// parsers. Tokens are separated by spaces and tabs; a token opened by a double
// quote runs to the next double quote and may hold blanks; "#" starts a
// comment that runs to the end of the line, even inside quotes. A line keeps
// at most kMaxTokens tokens; further ones are dropped.
// Used by one thread for one parse. It owns the line buffer the tokens point
// into (valid until the next nextLine) and borrows the source.
#pragma once

#include "xp/linereader.h"

namespace XP {

class TokenReader {
public:
    static constexpr int kLineSize = 256;
    static constexpr int kMaxTokens = 32;

    explicit TokenReader(InputReader* source = nullptr);
    TokenReader(const TokenReader&) = delete;
    TokenReader& operator=(const TokenReader&) = delete;
    virtual ~TokenReader() = default;

    // Reads and tokenizes the next line, resets cursor; false at the end of the text.
    bool nextLine();
    // Number in the text of the current line, from 1 (blank lines counted).
    int lineNumber() const { return lines.lineNumber(); }
    // Number of tokens on the current line.
    int count() const { return tokenCount; }
    // Tokens from cursor to the end of the line.
    int remaining() const { return tokenCount - cursor; }
    // Token at index, or null outside 0..count-1.
    const char* token(int index) const;
    // True when the token at index exists and equals word ignoring ASCII case.
    bool tokenIs(int index, const char* word) const;
    // Token at index as a number ("Inf", "-Inf" or strtod's prefix); 0 outside the line.
    double tokenAsDouble(int index) const;
    // Token at index as a base-10 integer (strtol's prefix, clamped to int); 0 outside the line.
    int tokenAsInt(int index) const;

    // The token at the cursor, as text, number or integer; each moves the cursor on.
    const char* next() { return token(cursor++); }
    double nextDouble() { return tokenAsDouble(cursor++); }
    int nextInt() { return tokenAsInt(cursor++); }

    // Index of the next token a parser consumes; parsers advance it themselves.
    int cursor = 0;

private:
    void tokenize();
    char* scanQuoted(char* start);
    char* scanWord(char* start);

    LineReader lines;
    char line[kLineSize] = {};
    const char* tokens[kMaxTokens] = {};
    int tokenCount = 0;
};

}  // namespace XP
