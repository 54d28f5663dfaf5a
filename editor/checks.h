// Editor checks and conditions: what makes parts of a skin appear and
// disappear. A check is a named live test (a parameter against a constant,
// the channel configuration, the operating system); a condition is a check or
// its negation; a condition set joins conditions with AND and an else flag
// inverts the result. The skin owns checks and conditions; sets only borrow
// condition pointers. Evaluated on the editor's UI thread; parameter values
// and channel counts may change meanwhile on other threads.
#pragma once

#include "effect/named.h"
#include "effect/ptrlist.h"

namespace Zorv {

class GEffect;

// Comparison codes of checks, always read as current value, operator, constant.
enum GCheckOperator : int {
    kOpEqual = 0,
    kOpNotEqual = 1,
    kOpGreater = 2,
    kOpLess = 3,
    kOpGreaterEqual = 4,
    kOpLessEqual = 5,
};

// Operator code of a skin word ("==", "!=", ">", "<", ">=", "<="); -1 otherwise.
int parseCheckOperator(const char* word);
// value op constant for a valid code, IEEE semantics for NaN; false for others.
bool compareValues(double value, int op, double constant);

class GEditorCheck : public GIdBase {
public:
    using GIdBase::GIdBase;

    virtual bool evaluate() const = 0;  // the check's current truth
};

// A parameter of the current program, in its natural unit, against a constant.
class GParamCheck : public GEditorCheck {
public:
    GParamCheck(const char* name, GEffect* effect, int index, int op, double value);

    bool evaluate() const override;  // false for a parameter the effect lacks

private:
    GEffect* effect;
    int index;
    int op;
    double value;
};

// The current input and output channel counts against two constants.
class GInOutCheck : public GEditorCheck {
public:
    GInOutCheck(const char* name, GEffect* effect, int inOp, int inputs, int outOp, int outputs);

    bool evaluate() const override;  // both comparisons hold

private:
    GEffect* effect;
    int inOp, inputs;
    int outOp, outputs;
};

// The operating system, decided once at creation.
class GOSCheck : public GEditorCheck {
public:
    GOSCheck(const char* name, const char* system);  // true for "LNX", any case

    bool evaluate() const override { return result; }

private:
    bool result;
};

// A check or its negation; shared by every set that uses the pair.
class GCondition {
public:
    GCondition(GEditorCheck* check, bool negate) : check(check), negate(negate) {}
    virtual ~GCondition() = default;

    GEditorCheck* getCheck() const { return check; }
    bool isNegated() const { return negate; }
    bool holds() const;  // the check's result, inverted when negated

private:
    GEditorCheck* check;
    bool negate;
};

// Conditions joined by AND; the else flag inverts the whole. Borrows them.
class GConditionSet : public PtrList<GCondition> {
public:
    GConditionSet() = default;

    void clear() override;                        // no conditions, else flag cleared
    virtual void assign(const GConditionSet& other);  // same pointers and else flag

    bool isElse() const { return elseFlag; }
    void setElse(bool on) { elseFlag = on; }
    void toggleElse() { elseFlag = !elseFlag; }
    bool isMet() const;  // every condition evaluated, AND, then XOR the else flag

private:
    bool elseFlag = false;
};

}  // namespace Zorv
