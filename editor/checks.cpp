#include "editor/checks.h"

#include "effect/effect.h"

#include <cstring>
#include <strings.h>

namespace Zorv {

namespace {

const char* const kOperatorWords[] = {"==", "!=", ">", "<", ">=", "<="};
constexpr int kOperatorCount = int(sizeof(kOperatorWords) / sizeof(kOperatorWords[0]));

}  // namespace

int parseCheckOperator(const char* word)
{
    if (!word)
        return -1;
    for (int op = 0; op < kOperatorCount; ++op)
        if (strcmp(word, kOperatorWords[op]) == 0)
            return op;
    return -1;
}

bool compareValues(double value, int op, double constant)
{
    switch (op) {
    case kOpEqual:
        return value == constant;
    case kOpNotEqual:
        return value != constant;
    case kOpGreater:
        return value > constant;
    case kOpLess:
        return value < constant;
    case kOpGreaterEqual:
        return value >= constant;
    case kOpLessEqual:
        return value <= constant;
    default:
        return false;
    }
}

GParamCheck::GParamCheck(const char* name, GEffect* effect, int index, int op, double value)
    : GEditorCheck(name), effect(effect), index(index), op(op), value(value)
{
}

bool GParamCheck::evaluate() const
{
    ProgramBank& bank = effect->getBank();
    if (!bank.hasParameter(index) || !bank.hasProgram(effect->getProgram()))
        return false;
    const double natural = bank.parameter(index)->getNatural(bank.slot(effect->getProgram(), index));
    return compareValues(natural, op, value);
}

GInOutCheck::GInOutCheck(const char* name, GEffect* effect, int inOp, int inputs, int outOp,
                         int outputs)
    : GEditorCheck(name), effect(effect), inOp(inOp), inputs(inputs), outOp(outOp), outputs(outputs)
{
}

bool GInOutCheck::evaluate() const
{
    const bool in = compareValues(effect->inputChannels(), inOp, inputs);
    const bool out = compareValues(effect->outputChannels(), outOp, outputs);
    return in && out;
}

GOSCheck::GOSCheck(const char* name, const char* system)
    : GEditorCheck(name), result(system && strcasecmp(system, "LNX") == 0)
{
}

bool GCondition::holds() const
{
    return check->evaluate() != negate;
}

void GConditionSet::clear()
{
    PtrList<GCondition>::clear();
    elseFlag = false;
}

void GConditionSet::assign(const GConditionSet& other)
{
    copyFrom(other);
    elseFlag = other.elseFlag;
}

bool GConditionSet::isMet() const
{
    bool result = true;
    for (int i = 0; i < count; ++i)
        result = items[i]->holds() && result;
    return result != elseFlag;
}

}  // namespace Zorv
