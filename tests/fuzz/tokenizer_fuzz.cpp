// Feeds arbitrary bytes through the resource, line and token readers and traps
// when a line or token breaks the readers' bounds.
#include "fuzz_resource.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <cstring>

namespace {

void checkLine(const XP::TokenReader& reader)
{
    constexpr size_t kMaxLine = XP::TokenReader::kLineSize - 2;
    require(reader.count() >= 0 && reader.count() <= XP::TokenReader::kMaxTokens);
    require(reader.cursor == 0);
    require(reader.token(-1) == nullptr && reader.token(reader.count()) == nullptr);
    for (int i = 0; i < reader.count(); ++i) {
        const char* token = reader.token(i);
        require(token != nullptr && strlen(token) <= kMaxLine && !strchr(token, '#'));
        require(reader.tokenIs(i, token));
        reader.tokenAsDouble(i);
        reader.tokenAsInt(i);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XP::ResourceReader resource;
    resource.open(exposeAsResource(data, size));
    require(resource.isOpen() == (size > 0));
    XP::TokenReader reader(&resource);
    size_t lines = 0;
    while (reader.nextLine()) {
        checkLine(reader);
        require(++lines <= size);
    }
    require(!reader.nextLine());
    return 0;
}
