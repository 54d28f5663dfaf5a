// The builder's driver: it reads a skin text line by line and runs each line's
// statement (editor/statements.cpp); control and resource type words are
// looked up in editor/controltypes.cpp and editor/resourcetypes.cpp.
#include "editor/builder.h"

#include "editor/buildertables.h"
#include "editor/editor.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "editor/skinreport.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <string>

namespace Zorv {

using skinwords::findWord;
using skinwords::needsArguments;

namespace {

bool isValidSize(const GEditorSkin& skin)
{
    return skin.getWidth() >= 1 && skin.getHeight() >= 1 && skin.getPages() >= 1;
}

}  // namespace

GEditorSkinBuilder::GEditorSkinBuilder(GEffect* effect) : effect(effect) {}

GEditorSkinBuilder::~GEditorSkinBuilder()
{
    delete skin;
}

GEditorControl* GEditorSkinBuilder::createControl(const ControlArgs& args, XP::TokenReader& tokens)
{
    const GControlType* type = findControlType(tokens.token(tokens.cursor));
    if (!type) {
        if (tokens.remaining() > 0)
            refuse("unknown control type");
        return nullptr;
    }
    const int arguments = tokens.remaining() - 1;
    if (arguments < type->minArgs)
        return refuse(needsArguments(type->minArgs, arguments).c_str());
    tokens.cursor += 1;
    GEditorControl* control = type->create(args, tokens, *this);
    return control ? control : refuse("an argument is out of range");
}

GEditorResource* GEditorSkinBuilder::createResource(GEditorSkin* target, XP::TokenReader& tokens)
{
    const char* word = tokens.token(tokens.cursor);
    const skinwords::ResourceType* type = findWord(skinwords::kResourceTypes, word);
    if (!type)
        return refuse(word ? "unknown resource type" : "no resource type after the name");
    const int arguments = tokens.remaining() - 1;
    if (arguments < type->minArgs)
        return refuse(needsArguments(type->minArgs, arguments).c_str());
    tokens.cursor += 1;
    GEditorResource* resource = type->create(skinwords::Args{tokens}, *this, target);
    return resource ? resource : refuse("an argument is out of range");
}

GEditor* GEditorSkinBuilder::createEditor(const char* resourceName)
{
    XP::ResourceReader reader;
    reader.open(resourceName);
    if (!reader.isOpen())
        return nullptr;
    XP::TokenReader tokens(&reader);
    GEditorSkin* built = buildSkin(tokens);
    return built ? new GEditor(effect, built) : nullptr;
}

GEditorSkin* GEditorSkinBuilder::buildSkin(XP::TokenReader& tokens)
{
    delete skin;
    skin = new GEditorSkin(effect);
    conditions.clear();
    initLine = 0;
    while (tokens.nextLine())
        runStatement(tokens);
    conditions.clear();
    GEditorSkin* built = skin;
    skin = nullptr;
    if (isValidSize(*built))
        return built;
    delete built;
    if (report)
        report->noSkin(initLine == 0 ? "no Init line"
                                     : ("the Init on line " + std::to_string(initLine) +
                                        " is invalid").c_str());
    return nullptr;
}

void GEditorSkinBuilder::runStatement(XP::TokenReader& tokens)
{
    reason.clear();
    const char* word = tokens.token(0);
    const int arguments = tokens.count() - 1;
    const skinwords::Statement* statement = findWord(skinwords::kStatements, word);
    bool done = false;
    if (!statement)
        refuse("unknown keyword");
    else if (arguments < statement->minArgs)
        refuse(needsArguments(statement->minArgs, arguments).c_str());
    else {
        if (skinwords::setsSize(*statement))
            initLine = tokens.lineNumber();
        tokens.cursor = 1;
        skinwords::Build build{*this, *skin, conditions, word};
        done = statement->run(skinwords::Args{tokens}, build);
    }
    if (!word || done || !report)
        return;
    report->skipped(tokens.lineNumber(), *word ? word : "\"\"",  // an empty quoted token
                    reason.empty() ? "not built" : reason.c_str());
}

std::nullptr_t GEditorSkinBuilder::refuse(const char* why) const
{
    if (report && reason.empty())
        reason = why;
    return nullptr;
}

}  // namespace Zorv
