#include "editor/builder.h"

#include "editor/editor.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "editor/skinreport.h"
#include "effect/effect.h"
#include "effect/history.h"
#include "xp/nocase.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <cmath>
#include <cstring>
#include <string>
#include <typeinfo>

namespace Zorv {

namespace {

// Tokens of the current line counted from the reader's cursor, wherever it
// has moved; a factory advances the cursor past the words it consumed.
struct Args {
    XP::TokenReader& tokens;

    const char* word(int i) const { return tokens.token(tokens.cursor + i); }
    bool is(int i, const char* keyword) const { return tokens.tokenIs(tokens.cursor + i, keyword); }
    int integer(int i) const { return tokens.tokenAsInt(tokens.cursor + i); }
    double real(int i) const { return tokens.tokenAsDouble(tokens.cursor + i); }
};

bool isNullName(const char* name)
{
    return !name || XP::equalsNoCase(name, "Null");
}

// Names bound for a 64-byte resource field are refused when longer.
bool fitsFileField(const char* name)
{
    return strlen(name) <= size_t(kResourceFileLength);
}

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

// Resource types: Args start after the type word.

GEditorResource* pngResource(const Args& a, const GEditorSkinBuilder& builder, const GEditorSkin*)
{
    const int frameW = a.integer(1), frameH = a.integer(2), frames = a.integer(3);
    if (frameW < 1 || frameH < 1 || frames < 1)
        return builder.refuse("frame width, height and count must be at least 1");
    if (!fitsFileField(a.word(0)))
        return builder.refuse("file name longer than 63 characters");
    return new GImageResource(nullptr, a.word(0), frameW, frameH, frames);
}

GEditorResource* rgbColour(const Args& a, const GEditorSkinBuilder&, const GEditorSkin*)
{
    return new GColourResource(nullptr, a.integer(0), a.integer(1), a.integer(2));
}

GEditorResource* rgbaColour(const Args& a, const GEditorSkinBuilder&, const GEditorSkin*)
{
    return new GColourResource(nullptr, a.integer(0), a.integer(1), a.integer(2), a.integer(3));
}

// The colour is looked up in the skin the font is made for.
GEditorResource* defFont(const Args& a, const GEditorSkinBuilder& builder, const GEditorSkin* skin)
{
    const double size = a.real(0);
    if (!(size > 0.0) || !std::isfinite(size))
        return builder.refuse("size must be above 0");
    const GColourResource* colour = findResourceOf<GColourResource>(skin, a.word(1));
    if (!colour)
        return builder.refuse(("colour '" + std::string(a.word(1)) + "' not found").c_str());
    return new GFontResource(nullptr, new GFont(colour->colour(), size, a.word(2)));
}

struct ResourceType {
    const char* word;
    int minArgs;
    GEditorResource* (*create)(const Args& a, const GEditorSkinBuilder& builder,
                               const GEditorSkin* skin);
};

const ResourceType kResourceTypes[] = {
    {"PngResource", 4, &pngResource},
    {"RGBColour", 3, &rgbColour},
    {"RGBAColour", 4, &rgbaColour},
    {"DefFont", 3, &defFont},
};

// Check kinds: Args start after the kind word.

// An operator word, or -1 with the reason recorded.
int checkOperator(const char* word, const GEditorSkinBuilder& builder)
{
    const int op = parseCheckOperator(word);
    if (op < 0)
        builder.refuse(("operator '" + std::string(word) + "' not valid").c_str());
    return op;
}

GEditorCheck* paramCheck(const char* name, const Args& a, GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(a.word(0));
    const int op = checkOperator(a.word(1), builder);
    if (index < 0 || op < 0)
        return nullptr;
    return new GParamCheck(name, builder.getEffect(), index, op, a.real(2));
}

GEditorCheck* inOutCheck(const char* name, const Args& a, GEditorSkinBuilder& builder)
{
    const int inOp = checkOperator(a.word(0), builder);
    const int outOp = checkOperator(a.word(2), builder);
    if (inOp < 0 || outOp < 0)
        return nullptr;
    return new GInOutCheck(name, builder.getEffect(), inOp, a.integer(1), outOp, a.integer(3));
}

GEditorCheck* osCheck(const char* name, const Args& a, GEditorSkinBuilder&)
{
    return new GOSCheck(name, a.word(0));
}

struct CheckKind {
    const char* word;
    int minArgs;
    GEditorCheck* (*create)(const char* name, const Args& a, GEditorSkinBuilder& builder);
};

const CheckKind kCheckKinds[] = {
    {"Param", 3, &paramCheck},
    {"InOut", 4, &inOutCheck},
    {"OS", 1, &osCheck},
};

// Statements: Args start after the keyword, which has at least minArgs of them.
// Each answers whether it did what the line asks; when not, the builder's
// recorded reason (if any) says why. word is the word the report names: the
// keyword, or the type or kind word once the statement has read it.

struct Build {
    GEditorSkinBuilder& builder;
    GEditorSkin& skin;
    GConditionSet& conditions;
    const char*& word;
};

std::string needsArguments(int needed, int has)
{
    return "needs " + std::to_string(needed) + (needed == 1 ? " argument" : " arguments") +
           ", has " + std::to_string(has);
}

// Beyond these an Init counts as invalid: the host's editor rectangle holds
// 16-bit sides, and every page costs a background entry per BackgroundMap.
constexpr int kMaxEditorSide = 32767;
constexpr int kMaxPages = 256;

bool initSkin(const Args& a, Build& b)
{
    const int width = a.integer(0), height = a.integer(1), pages = a.integer(2);
    if (width > kMaxEditorSide || height > kMaxEditorSide || pages > kMaxPages) {
        b.skin.setSize(0, 0, 0);
        b.builder.refuse("larger than 32767 x 32767 pixels or 256 pages");
        return false;
    }
    b.skin.setSize(width, height, pages);
    if (width >= 1 && height >= 1 && pages >= 1)
        return true;
    b.builder.refuse("width, height and pages must be at least 1");
    return false;
}

bool backgroundMap(const Args& a, Build& b)
{
    GImageResource* image = b.builder.findImage(a.word(0));
    if (image && b.skin.getPages() < 1)
        b.builder.refuse("no pages yet: Init must come first");
    if (!image || b.skin.getPages() < 1)
        return false;
    b.skin.addBackgroundMap(image, b.conditions);
    return true;
}

bool backgroundImage(const Args& a, Build& b)
{
    const int page = a.integer(0), frame = a.integer(2);
    GImageResource* image = b.builder.findImage(a.word(1));
    if (page < 0)
        b.builder.refuse("page must be 0 (every page) or more");
    if (frame < 1)
        b.builder.refuse("frame must be at least 1 (frames count from 1)");
    if (!image || page < 0 || frame < 1)
        return false;
    b.skin.addBackground(page, image, frame - 1, b.conditions);
    return true;
}

bool startPage(const Args& a, Build& b)
{
    const int page = a.integer(0);
    if (page >= 1 && page <= b.skin.getPages()) {
        b.skin.setStartPage(page);
        return true;
    }
    b.builder.refuse(("page " + std::to_string(page) + " outside 1.." +
                      std::to_string(b.skin.getPages())).c_str());
    return false;
}

bool refreshThrottle(const Args& a, Build& b)
{
    b.skin.setRefreshThrottleMs(a.integer(0));
    return true;
}

// Checks, each optionally after "Not"; a final "Not" names a check. A name
// that matches no check is left out, which the answer reports.
bool condition(const Args& a, Build& b)
{
    b.conditions.clear();
    bool negate = false, complete = true;
    for (int i = 0; a.word(i); ++i) {
        if (a.is(i, "Not") && a.word(i + 1)) {
            negate = true;
            continue;
        }
        if (GCondition* found = b.skin.findCondition(a.word(i), negate))
            b.conditions.add(found);
        else if (complete) {
            b.builder.refuse(("check '" + std::string(a.word(i)) + "' not found").c_str());
            complete = false;
        }
        negate = false;
    }
    return complete;
}

bool conditionElse(const Args&, Build& b)
{
    b.conditions.toggleElse();
    return true;
}

bool endCondition(const Args&, Build& b)
{
    b.conditions.clear();
    return true;
}

bool addCheck(const Args& a, Build& b)
{
    const char* name = a.word(0);
    const char* kindWord = a.word(1);
    a.tokens.cursor += 2;
    for (const CheckKind& kind : kCheckKinds) {
        if (!XP::equalsNoCase(kindWord, kind.word))
            continue;
        b.word = kindWord;
        if (a.tokens.remaining() < kind.minArgs) {
            b.builder.refuse(needsArguments(kind.minArgs, a.tokens.remaining()).c_str());
            return false;
        }
        GEditorCheck* check = kind.create(name, a, b.builder);
        if (check)
            b.skin.addCheck(check);
        return check != nullptr;
    }
    b.builder.refuse(("unknown check kind '" + std::string(kindWord) + "'").c_str());
    return false;
}

bool addResource(const Args& a, Build& b)
{
    const char* name = a.word(0);
    a.tokens.cursor += 1;
    if (a.word(0))
        b.word = a.word(0);
    GEditorResource* resource = b.builder.createResource(&b.skin, a.tokens);
    if (!resource)
        return false;
    resource->setName(name);
    b.skin.addResource(resource);
    return true;
}

// Page x y w h from the cursor on, then the control type.
GEditorControl* placeControl(const Args& a, Build& b)
{
    ControlArgs args;
    args.page = a.integer(0);
    args.x = a.integer(1);
    args.y = a.integer(2);
    args.w = a.integer(3);
    args.h = a.integer(4);
    args.conditions = &b.conditions;
    args.effect = b.builder.getEffect();
    args.skin = &b.skin;
    a.tokens.cursor += 5;
    if (a.word(0))
        b.word = a.word(0);
    else
        b.builder.refuse("no control type after page x y w h");
    return b.builder.createControl(args, a.tokens);
}

bool addControl(const Args& a, Build& b)
{
    GEditorControl* control = placeControl(a, b);
    if (control)
        b.skin.addControl(control);
    return control != nullptr;
}

bool addNameCtl(const Args& a, Build& b)
{
    const char* name = a.word(0);
    a.tokens.cursor += 1;
    GEditorControl* control = placeControl(a, b);
    if (!control)
        return false;
    control->setName(name);
    b.skin.addControl(control);
    return true;
}

bool installTtf(const Args& a, Build& b)
{
    const char* family = a.word(0);
    const char* file = a.word(1);
    if (!fitsFileField(family) || !fitsFileField(file)) {
        b.builder.refuse("family or file name longer than 63 characters");
        return false;
    }
    b.skin.addResource(new GFontTypeResource(file, family));
    return true;
}

struct Statement {
    const char* keyword;
    int minArgs;
    bool (*run)(const Args& a, Build& b);
};

const Statement kStatements[] = {
    {"Init", 3, &initSkin},
    {"BackgroundMap", 1, &backgroundMap},
    {"BackgroundImage", 3, &backgroundImage},
    {"StartPage", 1, &startPage},
    {"RefreshThrottleMs", 1, &refreshThrottle},
    {"Condition", 1, &condition},
    {"ConditionElse", 0, &conditionElse},
    {"EndCondition", 0, &endCondition},
    {"AddCheck", 2, &addCheck},
    {"AddResource", 1, &addResource},
    {"AddControl", 5, &addControl},
    {"AddNameCtl", 6, &addNameCtl},
    {"InstallTTF", 2, &installTtf},
};

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
    const Args a{tokens};
    for (const ResourceType& type : kResourceTypes) {
        if (!a.is(0, type.word))
            continue;
        const int arguments = tokens.remaining() - 1;
        if (arguments < type.minArgs)
            return refuse(needsArguments(type.minArgs, arguments).c_str());
        tokens.cursor += 1;
        GEditorResource* resource = type.create(a, *this, target);
        return resource ? resource : refuse("an argument is out of range");
    }
    return refuse(a.word(0) ? "unknown resource type" : "no resource type after the name");
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
    const Statement* statement = nullptr;
    for (const Statement& candidate : kStatements)
        if (tokens.tokenIs(0, candidate.keyword) && !statement)
            statement = &candidate;
    bool done = false;
    if (!statement)
        refuse("unknown keyword");
    else if (arguments < statement->minArgs)
        refuse(needsArguments(statement->minArgs, arguments).c_str());
    else {
        if (statement->run == &initSkin)
            initLine = tokens.lineNumber();
        tokens.cursor = 1;
        Build build{*this, *skin, conditions, word};
        done = statement->run(Args{tokens}, build);
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

void GEditorSkinBuilder::notFound(const char* kind, const char* name) const
{
    if (report && reason.empty())
        reason = std::string(kind) + " '" + (name ? name : "") + "' not found";
}

// A resource name that names another kind says so.
void GEditorSkinBuilder::resourceNotFound(const char* kind, const char* name) const
{
    if (!report || !reason.empty())
        return;
    if (skin && !isNullName(name) && skin->getResources().find(name))
        reason = "'" + std::string(name) + "' is not " + (strchr("aeiou", kind[0]) ? "an " : "a ") +
                 kind;
    else
        notFound(kind, name);
}

const unsigned char* GEditorSkinBuilder::findColour(const char* name) const
{
    const GColourResource* colour = findResourceOf<GColourResource>(skin, name);
    if (!colour)
        resourceNotFound("colour", name);
    return colour ? colour->colour() : nullptr;
}

const GFont* GEditorSkinBuilder::findFont(const char* name) const
{
    const GFontResource* font = findResourceOf<GFontResource>(skin, name);
    if (!font)
        resourceNotFound("font", name);
    return font ? font->font() : nullptr;
}

GImageResource* GEditorSkinBuilder::findImage(const char* name) const
{
    GImageResource* image = findResourceOf<GImageResource>(skin, name);
    if (!image)
        resourceNotFound("image", name);
    return image;
}

int GEditorSkinBuilder::findParameter(const char* name) const
{
    if (effect) {
        const GParameterList& parameters = effect->getParameters();
        for (int i = 0; i < parameters.getCount(); ++i)
            if (XP::equalsNoCase(parameters.get(i)->getName(), name))
                return i;
    }
    notFound("parameter", name);
    return -1;
}

const std::atomic<double>* GEditorSkinBuilder::findRealFeature(const char* name) const
{
    const std::atomic<double>* value =
        effect ? findFeatureValue<double>(effect->getFeatures(), name) : nullptr;
    if (!value)
        notFound("real feature", name);
    return value;
}

const std::atomic<int>* GEditorSkinBuilder::findIntFeature(const char* name) const
{
    const std::atomic<int>* value =
        effect ? findFeatureValue<int>(effect->getFeatures(), name) : nullptr;
    if (!value)
        notFound("integer feature", name);
    return value;
}

const GHistory* GEditorSkinBuilder::findHistory(const char* name) const
{
    const GHistory* history =
        effect ? findFeatureValue<GHistory>(effect->getFeatures(), name) : nullptr;
    if (!history)
        refuse(("no history feature '" + std::string(name ? name : "") + "'").c_str());
    return history;
}

int GEditorSkinBuilder::findCommand(const char* name) const
{
    const GEffectCommand* command =
        effect && !isNullName(name) ? effect->getCommands().find(name) : nullptr;
    if (!command)
        notFound("command", name);
    return command ? command->getId() : -1;
}

}  // namespace Zorv
