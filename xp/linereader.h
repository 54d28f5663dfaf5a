// Splits the bytes of an InputReader into lines. Any run of CR and LF bytes
// ends a line, so blank lines are swallowed; a line longer than the caller's
// buffer allows is cut and its rest comes back as the next line.
// Used by one thread for the span of one parse; it owns its 2048-byte refill
// buffer and only borrows the source, which must outlive it.
#pragma once

#include "xp/inputreader.h"

#include <cstddef>

namespace XP {

class LineReader {
public:
    static constexpr size_t kBufferSize = 2048;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    virtual ~LineReader() = default;

    // Reads from source (may be null or closed: then at the end at once).
    void attach(InputReader* source);
    // Zeroes out and stores the next line, at most size - 2 characters
    // (size must be at least 3); false at the end of the data.
    bool readLine(char* out, size_t size);
    // Number in the source of the line last read, from 1; CR LF, CR and LF each
    // end one line, so blank lines count. A cut line's rest keeps its number.
    int lineNumber() const { return number; }

private:
    bool refill();
    void skipLineEnds();
    bool atLineEnd() const;

    InputReader* source = nullptr;
    char buffer[kBufferSize] = {};
    char* position = buffer;
    char* dataEnd = buffer;
    bool atEnd = true;
    int number = 0;
    int lineEnds = 0;       // line ends passed so far
    bool afterCR = false;   // the last line end passed was a CR
};

}  // namespace XP
