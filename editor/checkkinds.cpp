// Skin words of AddCheck: the check kinds Param, InOut and OS.
#include "editor/buildertables.h"

#include "editor/checks.h"

#include <string>

namespace Zorv {
namespace skinwords {

namespace {

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

}  // namespace

const std::initializer_list<CheckKind> kCheckKinds = {
    {"Param", 3, &paramCheck},
    {"InOut", 4, &inOutCheck},
    {"OS", 1, &osCheck},
};

}  // namespace skinwords
}  // namespace Zorv
