// Builds a skin from arbitrary bytes for a gate, traps when the result
// breaks the builder's bounds, evaluates what decides activity, then
// deletes it. A second build with a skip report must build the same.
#include "editor/builder.h"
#include "editor/resources.h"
#include "editor/skin.h"
#include "editor/skinreport.h"
#include "fuzz_resource.h"
#include "gate/quelt.h"
#include "xp/resourcereader.h"
#include "xp/tokenreader.h"

#include <cstring>

namespace {

void checkSkin(const Zorv::GEditorSkin& skin)
{
    require(skin.getWidth() >= 1 && skin.getWidth() <= 32767);
    require(skin.getHeight() >= 1 && skin.getHeight() <= 32767);
    require(skin.getPages() >= 1 && skin.getPages() <= 256);
    // A later Init may shrink the pages under an earlier StartPage.
    require(skin.getStartPage() >= 1 && skin.getStartPage() <= 256);
    for (int i = 0; i < skin.getResources().getCount(); ++i)
        require(strlen(skin.getResources().get(i)->getName()) <= size_t(Zorv::kNameLength));
    for (int i = 0; i < skin.getBackgrounds().getCount(); ++i) {
        const Zorv::GEditorBg* bg = skin.getBackgrounds().get(i);
        require(bg->image && bg->page >= 0 && bg->frame >= 0);
        skin.isActive(bg->page, bg->conditions);
    }
    for (int i = 0; i < skin.getControls().getCount(); ++i)
        skin.isActive(skin.getControls().get(i));
    skin.hitTest(skin.getWidth() / 2, skin.getHeight() / 2);
}

// Reports must name a line and a word and give a reason.
struct CheckingReport : Zorv::GSkinReport {
    void skipped(int line, const char* word, const char* reason) override
    {
        require(line >= 1 && word && *word && reason && *reason);
    }
    void noSkin(const char* reason) override { require(reason && *reason); }
};

Zorv::GEditorSkin* build(Zorv::GEditorSkinBuilder& builder, const char* name)
{
    XP::ResourceReader resource;
    resource.open(name);
    XP::TokenReader tokens(&resource);
    return builder.buildSkin(tokens);
}

bool sameShape(const Zorv::GEditorSkin* a, const Zorv::GEditorSkin* b)
{
    if (!a || !b)
        return a == b;
    return a->getResources().getCount() == b->getResources().getCount() &&
           a->getChecks().getCount() == b->getChecks().getCount() &&
           a->getBackgrounds().getCount() == b->getBackgrounds().getCount() &&
           a->getControls().getCount() == b->getControls().getCount();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Zorv::Quelt gate(nullptr);
    const char* name = exposeAsResource(data, size);
    Zorv::GEditorSkinBuilder builder(&gate);
    Zorv::GEditorSkin* skin = build(builder, name);
    if (skin)
        checkSkin(*skin);
    require(builder.getSkin() == nullptr);
    CheckingReport report;
    builder.setReport(&report);
    Zorv::GEditorSkin* reported = build(builder, name);
    require(sameShape(skin, reported));
    delete reported;
    delete skin;
    return 0;
}
