// The parameter change protocol of a control gesture, against a real gate
// and a recording host callback.
#include "skintest.h"

#include <gtest/gtest.h>

using namespace Zorv;
using skintest::HostCall;
using skintest::Recorder;

namespace {

// A drag control: press begins the edit, motion writes y / 100, release ends it.
struct DragControl : GEditorControl {
    DragControl(const ControlArgs& args, int index) : GEditorControl(args), index(index) {}

    bool onLeftDown(bool, bool, int, int) override
    {
        beginEdit(index);
        reportValue(index);
        return true;
    }
    void onMouseMove(bool, bool, int, int py) override { writeParameter(index, py / 100.0); }
    bool onLeftUp(bool, bool, int, int) override
    {
        endEdit(index);
        return true;
    }

    int index;
};

struct ProtocolFixture : skintest::SkinFixture {
    DragControl* addDrag(int index)
    {
        ControlArgs args{0, 0, 50, 50, 1, nullptr, &effect, &skin};
        auto* control = new DragControl(args, index);
        skin.addControl(control);
        return control;
    }

    double stored(int index)
    {
        return effect.getBank().parameter(index)->getNormalised(
            effect.getBank().slot(effect.getProgram(), index));
    }
};

}  // namespace

TEST(ParameterProtocol, GestureBeginsWritesAutomatesAndEnds)
{
    ProtocolFixture f;
    f.addDrag(kAttack);
    const float before = f.effect.getParameter(kAttack);
    f.skin.onLeftDown(false, false, 10, 10);
    f.skin.onMouseMove(false, false, 10, 25);
    f.skin.onMouseMove(false, false, 80, 90);  // outside the control, still captured
    f.skin.onLeftUp(false, false, 80, 90);

    const auto& calls = Recorder::calls;
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[0].index, kAttack);
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[1].value, before);
    EXPECT_EQ(calls[2].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(calls[2].value, 0.25f);
    EXPECT_EQ(calls[3].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[3].index, kAttack);
    EXPECT_FLOAT_EQ(calls[3].value, 0.9f);
    EXPECT_EQ(calls[4].opcode, audioMasterEndEdit);
    EXPECT_EQ(calls[4].index, kAttack);
    EXPECT_EQ(f.skin.getCaptureIndex(), -1);
}

TEST(ParameterProtocol, WriteKeepsTheFullDoubleAndRefreshesTexts)
{
    ProtocolFixture f;
    f.addDrag(kThresh);
    f.skin.onLeftDown(false, false, 0, 0);
    f.skin.onMouseMove(false, false, 0, 33);
    EXPECT_EQ(f.stored(kThresh), 0.33);  // not rounded through float
    char before[64], after[64];
    f.effect.getParameterDisplay(kThresh, before);
    f.skin.onMouseMove(false, false, 0, 90);
    f.effect.getParameterDisplay(kThresh, after);
    EXPECT_STRNE(before, after);
}

TEST(ParameterProtocol, UnknownParameterReachesNeitherEffectNorHost)
{
    ProtocolFixture f;
    f.addDrag(kNumQueltParameters);
    f.skin.onLeftDown(false, false, 0, 0);
    f.skin.onMouseMove(false, false, 0, 50);
    f.skin.onLeftUp(false, false, 0, 50);
    EXPECT_TRUE(Recorder::calls.empty());
}
