// GSkinReport: where the skin builder tells why a line built nothing. Only a
// tool that previews skins sets one; the plug-in builds without a report and
// stays silent. Called on the building thread, during buildSkin, in line order.
// The texts passed in are valid only during the call.
#pragma once

namespace Zorv {

class GSkinReport {
public:
    virtual ~GSkinReport() = default;

    // A line that built nothing: its number in the text, its keyword or type word, why.
    virtual void skipped(int line, const char* word, const char* reason) = 0;
    // The text as a whole builds no skin (no valid Init), why.
    virtual void noSkin(const char* reason) = 0;
};

}  // namespace Zorv
