// GEditorSkinBuilder: turns a skin text into a GEditorSkin and the GEditor
// around it. Lives only while the plug-in entry builds an instance, on that
// thread. Borrows the effect (parameters, features, commands); the skin it
// builds passes to the GEditor, which owns it from then on. Malformed lines
// are skipped; only a missing text or a bad Init yields no editor.
// Control families add their type words to one table (editor/controltypes.cpp);
// their factories read arguments through the lookups below.
// With a GSkinReport set (skin preview tools only) every line that built
// nothing is reported with a reason: the first failed lookup of the line, a
// factory's own refusal, or the statement's own check.
#pragma once

#include "controls/control.h"

#include <atomic>
#include <cstddef>
#include <string>

namespace XP {
class TokenReader;
}

namespace Zorv {

class GEditor;
class GEditorResource;
class GEditorSkin;
class GEffect;
class GFont;
class GHistory;
class GImageResource;
class GSkinReport;

class GEditorSkinBuilder {
public:
    explicit GEditorSkinBuilder(GEffect* effect);
    virtual ~GEditorSkinBuilder();  // deletes a skin left unfinished
    GEditorSkinBuilder(const GEditorSkinBuilder&) = delete;
    GEditorSkinBuilder& operator=(const GEditorSkinBuilder&) = delete;

    // A control from the type word at the reader's cursor on; null when malformed.
    virtual GEditorControl* createControl(const ControlArgs& args, XP::TokenReader& tokens);
    // A resource from the type word at the reader's cursor on; null when malformed.
    virtual GEditorResource* createResource(GEditorSkin* skin, XP::TokenReader& tokens);

    GEditor* createEditor(const char* resourceName);  // null without a valid skin
    GEditorSkin* buildSkin(XP::TokenReader& tokens);  // caller owns the result; null on a bad Init

    // Lookups for the factories; each answers null (or -1) for "Null" or no match.
    const unsigned char* findColour(const char* name) const;  // four colour bytes
    const GFont* findFont(const char* name) const;
    GImageResource* findImage(const char* name) const;
    int findParameter(const char* name) const;  // first parameter named so ignoring case
    const std::atomic<double>* findRealFeature(const char* name) const;
    const std::atomic<int>* findIntFeature(const char* name) const;
    const GHistory* findHistory(const char* name) const;
    int findCommand(const char* name) const;    // command id, -1 when none

    // Records why the current line builds nothing, unless a reason is recorded
    // already; answers null so that a factory can return it.
    std::nullptr_t refuse(const char* reason) const;
    void setReport(GSkinReport* sink) { report = sink; }  // borrowed; null: silent

    GEffect* getEffect() const { return effect; }
    GEditorSkin* getSkin() const { return skin; }  // the skin under construction

private:
    void runStatement(XP::TokenReader& tokens);  // the line's statement, if any applies
    void notFound(const char* kind, const char* name) const;  // a failed lookup, for the report
    void resourceNotFound(const char* kind, const char* name) const;

    GEffect* effect;
    GEditorSkin* skin = nullptr;
    GConditionSet conditions;  // in force for the backgrounds and controls that follow
    GSkinReport* report = nullptr;
    mutable std::string reason;  // why the current line builds nothing; empty: no failure yet
    int initLine = 0;            // line of the last Init statement, 0 before one
};

// A control family's factory: reads its arguments from the cursor on (the
// type word already consumed, at least minArgs tokens remain).
using GControlFactory = GEditorControl* (*)(const ControlArgs& args, XP::TokenReader& tokens,
                                            GEditorSkinBuilder& builder);

struct GControlType {
    const char* word;  // type word, matched ignoring case
    int minArgs;       // tokens needed after the type word
    GControlFactory create;
};

// The table of control types; null when the word names none.
const GControlType* findControlType(const char* word);

}  // namespace Zorv
