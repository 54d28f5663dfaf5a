#include "xp/linereader.h"

#include <cstring>

namespace XP {

namespace {
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr size_t kMinLineSize = 3;
}  // namespace

void LineReader::attach(InputReader* newSource)
{
    source = newSource;
    refill();
}

bool LineReader::readLine(char* out, size_t size)
{
    if (atEnd || !out || size < kMinLineSize)
        return false;
    memset(out, 0, size);
    number = lineEnds + 1;
    const size_t limit = size - 2;
    for (size_t stored = 0; stored < limit && !atLineEnd(); ++stored) {
        out[stored] = *position++;
        if (position == dataEnd && !refill())
            return true;
    }
    skipLineEnds();
    return true;
}

bool LineReader::refill()
{
    size_t n = 0;
    if (source && source->isOpen())
        n = source->read(buffer, kBufferSize);
    if (n > kBufferSize)
        n = kBufferSize;
    position = buffer;
    dataEnd = buffer + n;
    atEnd = n == 0;
    return !atEnd;
}

void LineReader::skipLineEnds()
{
    afterCR = false;
    while (atLineEnd()) {
        const bool cr = *position == kCR;
        if (cr || !afterCR)
            ++lineEnds;  // the LF of a CR LF pair ends no further line
        afterCR = cr;
        ++position;
        if (position == dataEnd)
            refill();
    }
}

bool LineReader::atLineEnd() const
{
    return !atEnd && (*position == kCR || *position == kLF);
}

}  // namespace XP
