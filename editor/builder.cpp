#include "editor/builder.h"

#include "editor/editor.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "effect/effect.h"
#include "effect/history.h"
#include "xp/nocase.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <cmath>
#include <cstring>
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

GEditorResource* pngResource(const Args& a, const GEditorSkin*)
{
    const int frameW = a.integer(1), frameH = a.integer(2), frames = a.integer(3);
    if (frameW < 1 || frameH < 1 || frames < 1 || !fitsFileField(a.word(0)))
        return nullptr;
    return new GImageResource(nullptr, a.word(0), frameW, frameH, frames);
}

GEditorResource* rgbColour(const Args& a, const GEditorSkin*)
{
    return new GColourResource(nullptr, a.integer(0), a.integer(1), a.integer(2));
}

GEditorResource* rgbaColour(const Args& a, const GEditorSkin*)
{
    return new GColourResource(nullptr, a.integer(0), a.integer(1), a.integer(2), a.integer(3));
}

GEditorResource* defFont(const Args& a, const GEditorSkin* skin)
{
    const double size = a.real(0);
    const GColourResource* colour = findResourceOf<GColourResource>(skin, a.word(1));
    if (!(size > 0.0) || !std::isfinite(size) || !colour)
        return nullptr;
    return new GFontResource(nullptr, new GFont(colour->colour(), size, a.word(2)));
}

struct ResourceType {
    const char* word;
    int minArgs;
    GEditorResource* (*create)(const Args& a, const GEditorSkin* skin);
};

const ResourceType kResourceTypes[] = {
    {"PngResource", 4, &pngResource},
    {"RGBColour", 3, &rgbColour},
    {"RGBAColour", 4, &rgbaColour},
    {"DefFont", 3, &defFont},
};

// Check kinds: Args start after the kind word.

GEditorCheck* paramCheck(const char* name, const Args& a, GEditorSkinBuilder& builder)
{
    const int index = builder.findParameter(a.word(0));
    const int op = parseCheckOperator(a.word(1));
    if (index < 0 || op < 0)
        return nullptr;
    return new GParamCheck(name, builder.getEffect(), index, op, a.real(2));
}

GEditorCheck* inOutCheck(const char* name, const Args& a, GEditorSkinBuilder& builder)
{
    const int inOp = parseCheckOperator(a.word(0));
    const int outOp = parseCheckOperator(a.word(2));
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

struct Build {
    GEditorSkinBuilder& builder;
    GEditorSkin& skin;
    GConditionSet& conditions;
};

// Beyond these an Init counts as invalid: the host's editor rectangle holds
// 16-bit sides, and every page costs a background entry per BackgroundMap.
constexpr int kMaxEditorSide = 32767;
constexpr int kMaxPages = 256;

void initSkin(const Args& a, Build& b)
{
    const int width = a.integer(0), height = a.integer(1), pages = a.integer(2);
    if (width > kMaxEditorSide || height > kMaxEditorSide || pages > kMaxPages)
        b.skin.setSize(0, 0, 0);
    else
        b.skin.setSize(width, height, pages);
}

void backgroundMap(const Args& a, Build& b)
{
    if (GImageResource* image = b.builder.findImage(a.word(0)))
        b.skin.addBackgroundMap(image, b.conditions);
}

void backgroundImage(const Args& a, Build& b)
{
    const int page = a.integer(0), frame = a.integer(2);
    GImageResource* image = b.builder.findImage(a.word(1));
    if (image && page >= 0 && frame >= 1)
        b.skin.addBackground(page, image, frame - 1, b.conditions);
}

void startPage(const Args& a, Build& b)
{
    const int page = a.integer(0);
    if (page >= 1 && page <= b.skin.getPages())
        b.skin.setStartPage(page);
}

void refreshThrottle(const Args& a, Build& b)
{
    b.skin.setRefreshThrottleMs(a.integer(0));
}

// Checks, each optionally after "Not"; a final "Not" names a check.
void condition(const Args& a, Build& b)
{
    b.conditions.clear();
    bool negate = false;
    for (int i = 0; a.word(i); ++i) {
        if (a.is(i, "Not") && a.word(i + 1)) {
            negate = true;
            continue;
        }
        if (GCondition* found = b.skin.findCondition(a.word(i), negate))
            b.conditions.add(found);
        negate = false;
    }
}

void conditionElse(const Args&, Build& b)
{
    b.conditions.toggleElse();
}

void endCondition(const Args&, Build& b)
{
    b.conditions.clear();
}

void addCheck(const Args& a, Build& b)
{
    const char* name = a.word(0);
    const char* kindWord = a.word(1);
    a.tokens.cursor += 2;
    for (const CheckKind& kind : kCheckKinds) {
        if (!XP::equalsNoCase(kindWord, kind.word))
            continue;
        if (a.tokens.remaining() >= kind.minArgs)
            if (GEditorCheck* check = kind.create(name, a, b.builder))
                b.skin.addCheck(check);
        return;
    }
}

void addResource(const Args& a, Build& b)
{
    const char* name = a.word(0);
    a.tokens.cursor += 1;
    if (GEditorResource* resource = b.builder.createResource(&b.skin, a.tokens)) {
        resource->setName(name);
        b.skin.addResource(resource);
    }
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
    return b.builder.createControl(args, a.tokens);
}

void addControl(const Args& a, Build& b)
{
    if (GEditorControl* control = placeControl(a, b))
        b.skin.addControl(control);
}

void addNameCtl(const Args& a, Build& b)
{
    const char* name = a.word(0);
    a.tokens.cursor += 1;
    if (GEditorControl* control = placeControl(a, b)) {
        control->setName(name);
        b.skin.addControl(control);
    }
}

void installTtf(const Args& a, Build& b)
{
    const char* family = a.word(0);
    const char* file = a.word(1);
    if (fitsFileField(family) && fitsFileField(file))
        b.skin.addResource(new GFontTypeResource(file, family));
}

struct Statement {
    const char* keyword;
    int minArgs;
    void (*run)(const Args& a, Build& b);
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
    if (!type || tokens.remaining() - 1 < type->minArgs)
        return nullptr;
    tokens.cursor += 1;
    return type->create(args, tokens, *this);
}

GEditorResource* GEditorSkinBuilder::createResource(GEditorSkin* target, XP::TokenReader& tokens)
{
    const Args a{tokens};
    for (const ResourceType& type : kResourceTypes) {
        if (!a.is(0, type.word))
            continue;
        if (tokens.remaining() - 1 < type.minArgs)
            return nullptr;
        tokens.cursor += 1;
        return type.create(a, target);
    }
    return nullptr;
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
    while (tokens.nextLine())
        runStatement(tokens);
    conditions.clear();
    GEditorSkin* built = skin;
    skin = nullptr;
    if (isValidSize(*built))
        return built;
    delete built;
    return nullptr;
}

void GEditorSkinBuilder::runStatement(XP::TokenReader& tokens)
{
    const int arguments = tokens.count() - 1;
    for (const Statement& statement : kStatements) {
        if (!tokens.tokenIs(0, statement.keyword) || arguments < statement.minArgs)
            continue;
        tokens.cursor = 1;
        Build build{*this, *skin, conditions};
        statement.run(Args{tokens}, build);
        return;
    }
}

const unsigned char* GEditorSkinBuilder::findColour(const char* name) const
{
    const GColourResource* colour = findResourceOf<GColourResource>(skin, name);
    return colour ? colour->colour() : nullptr;
}

const GFont* GEditorSkinBuilder::findFont(const char* name) const
{
    const GFontResource* font = findResourceOf<GFontResource>(skin, name);
    return font ? font->font() : nullptr;
}

GImageResource* GEditorSkinBuilder::findImage(const char* name) const
{
    return findResourceOf<GImageResource>(skin, name);
}

int GEditorSkinBuilder::findParameter(const char* name) const
{
    if (!effect)
        return -1;
    const GParameterList& parameters = effect->getParameters();
    for (int i = 0; i < parameters.getCount(); ++i)
        if (XP::equalsNoCase(parameters.get(i)->getName(), name))
            return i;
    return -1;
}

const std::atomic<double>* GEditorSkinBuilder::findRealFeature(const char* name) const
{
    return effect ? findFeatureValue<double>(effect->getFeatures(), name) : nullptr;
}

const std::atomic<int>* GEditorSkinBuilder::findIntFeature(const char* name) const
{
    return effect ? findFeatureValue<int>(effect->getFeatures(), name) : nullptr;
}

const GHistory* GEditorSkinBuilder::findHistory(const char* name) const
{
    return effect ? findFeatureValue<GHistory>(effect->getFeatures(), name) : nullptr;
}

int GEditorSkinBuilder::findCommand(const char* name) const
{
    if (!effect || isNullName(name))
        return -1;
    const GEffectCommand* command = effect->getCommands().find(name);
    return command ? command->getId() : -1;
}

}  // namespace Zorv
