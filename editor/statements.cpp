// Skin statements: Init, BackgroundMap, BackgroundImage, StartPage,
// RefreshThrottleMs, Condition, ConditionElse, EndCondition, AddCheck,
// AddResource, AddControl, AddNameCtl, InstallTTF.
#include "editor/buildertables.h"

#include "editor/resources.h"

#include <string>

namespace Zorv {
namespace skinwords {

namespace {

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

// Name, then a kind word of editor/checkkinds.cpp and its arguments.
bool addCheck(const Args& a, Build& b)
{
    const char* name = a.word(0);
    const char* kindWord = a.word(1);
    a.tokens.cursor += 2;
    const CheckKind* kind = findWord(kCheckKinds, kindWord);
    if (!kind) {
        b.builder.refuse(("unknown check kind '" + std::string(kindWord) + "'").c_str());
        return false;
    }
    b.word = kindWord;
    if (a.tokens.remaining() < kind->minArgs) {
        b.builder.refuse(needsArguments(kind->minArgs, a.tokens.remaining()).c_str());
        return false;
    }
    GEditorCheck* check = kind->create(name, a, b.builder);
    if (check)
        b.skin.addCheck(check);
    return check != nullptr;
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

}  // namespace

const std::initializer_list<Statement> kStatements = {
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

bool setsSize(const Statement& statement)
{
    return statement.run == &initSkin;
}

std::string needsArguments(int needed, int has)
{
    return "needs " + std::to_string(needed) + (needed == 1 ? " argument" : " arguments") +
           ", has " + std::to_string(has);
}

}  // namespace skinwords
}  // namespace Zorv
