// The skin builder's tables of statements, resource types and check kinds,
// each in a file of its own (editor/statements.cpp, resourcetypes.cpp,
// checkkinds.cpp), and the helpers their entries share. Internal to the
// builder: same thread and ownership as GEditorSkinBuilder.
#pragma once

#include "editor/builder.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "xp/nocase.h"
#include "xp/tokenreader.h"

#include <initializer_list>
#include <string>
#include <typeinfo>

namespace Zorv {
namespace skinwords {

// Tokens of the current line counted from the reader's cursor, wherever it
// has moved; an entry advances the cursor past the words it consumed.
struct Args {
    XP::TokenReader& tokens;

    const char* word(int i) const { return tokens.token(tokens.cursor + i); }
    bool is(int i, const char* keyword) const { return tokens.tokenIs(tokens.cursor + i, keyword); }
    int integer(int i) const { return tokens.tokenAsInt(tokens.cursor + i); }
    double real(int i) const { return tokens.tokenAsDouble(tokens.cursor + i); }
};

// What a statement works on. word is the word the report names: the keyword,
// or the type or kind word once the statement has read it.
struct Build {
    GEditorSkinBuilder& builder;
    GEditorSkin& skin;
    GConditionSet& conditions;
    const char*& word;
};

// A statement: Args start after the keyword, which has at least minArgs of
// them. Answers whether it did what the line asks; when not, the builder's
// recorded reason (if any) says why.
struct Statement {
    const char* word;  // the keyword
    int minArgs;
    bool (*run)(const Args& a, Build& b);
};

// A resource type: Args start after the type word.
struct ResourceType {
    const char* word;
    int minArgs;
    GEditorResource* (*create)(const Args& a, const GEditorSkinBuilder& builder,
                               const GEditorSkin* skin);
};

// A check kind: Args start after the kind word.
struct CheckKind {
    const char* word;
    int minArgs;
    GEditorCheck* (*create)(const char* name, const Args& a, GEditorSkinBuilder& builder);
};

// The tables, each in its own file.
extern const std::initializer_list<Statement> kStatements;        // statements.cpp
extern const std::initializer_list<ResourceType> kResourceTypes;  // resourcetypes.cpp
extern const std::initializer_list<CheckKind> kCheckKinds;        // checkkinds.cpp

// A table's entry for a word matched ignoring case, the first that matches;
// null for none or a null word.
template <typename Entry>
const Entry* findWord(const std::initializer_list<Entry>& table, const char* word)
{
    for (const Entry& entry : table)
        if (XP::equalsNoCase(word, entry.word))
            return &entry;
    return nullptr;
}

bool setsSize(const Statement& statement);  // the Init statement, whose line a report names

inline bool isNullName(const char* name)
{
    return !name || XP::equalsNoCase(name, "Null");
}

// Names bound for a 64-byte resource field are refused when longer.
bool fitsFileField(const char* name);

// "needs N arguments, has M", the reason for a short line.
std::string needsArguments(int needed, int has);

// The skin's resource of that name when it is a T; null otherwise.
template <typename T>
T* findResourceOf(const GEditorSkin* skin, const char* name)
{
    if (!skin || isNullName(name))
        return nullptr;
    GEditorResource* resource = skin->getResources().find(name);
    if (!resource || !resource->isType(typeid(T).hash_code()))
        return nullptr;
    return static_cast<T*>(resource);
}

}  // namespace skinwords
}  // namespace Zorv
