// Helpers for the skin builder tests: building from a text held in memory and
// a builder with one extra control type, "Probe", that records what the
// lookups answered while the skin was being built.
#pragma once

#include "controls/control.h"
#include "editor/builder.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "gate/quelt.h"
#include "tests/text/memory_reader.h"
#include "xp/tokenreader.h"

#include <memory>
#include <string>
#include <vector>

namespace buildtest {

using SkinPtr = std::unique_ptr<Zorv::GEditorSkin>;

inline SkinPtr build(Zorv::GEditorSkinBuilder& builder, const std::string& text)
{
    MemoryReader source(text);
    XP::TokenReader tokens(&source);
    return SkinPtr(builder.buildSkin(tokens));
}

// What the lookups answered for the words after "Probe".
struct Lookups {
    const unsigned char* colour;
    const Zorv::GFont* font;
    Zorv::GImageResource* image;
};

// "Probe [word …]" makes a plain control and looks every word up as a
// colour, a font and an image; other type words go to the real table.
struct ProbeBuilder : Zorv::GEditorSkinBuilder {
    using GEditorSkinBuilder::GEditorSkinBuilder;

    Zorv::GEditorControl* createControl(const Zorv::ControlArgs& args,
                                        XP::TokenReader& tokens) override
    {
        if (!tokens.tokenIs(tokens.cursor, "Probe"))
            return GEditorSkinBuilder::createControl(args, tokens);
        for (int i = tokens.cursor + 1; i < tokens.count(); ++i)
            lookups.push_back({findColour(tokens.token(i)), findFont(tokens.token(i)),
                               findImage(tokens.token(i))});
        return new Zorv::GEditorControl(args);
    }

    std::vector<Lookups> lookups;
};

// A Quelt and a probing builder for it.
struct Fixture {
    Zorv::Quelt effect{nullptr};
    ProbeBuilder builder{&effect};

    SkinPtr build(const std::string& text) { return buildtest::build(builder, text); }
};

// An Init line for a valid two-page skin.
inline const std::string kInit = "Init 330 195 2\n";

}  // namespace buildtest
