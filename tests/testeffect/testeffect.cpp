#include "tests/testeffect/testeffect.h"

#include <cmath>

namespace testeffect {

using Zorv::GHistory;
using Zorv::GRangeParam;
using Zorv::GTypedFeature;

namespace {

constexpr int kPrograms = 2;
constexpr int kTenths = 10;
constexpr auto kRelaxed = std::memory_order_relaxed;

}  // namespace

TestEffect::TestEffect(audioMasterCallback audioMaster, int columns, int samplesPerColumn)
    : GEffect(audioMaster, kPrograms, kNumParameters, 2, 2), history(columns),
      samplesPerColumn(samplesPerColumn > 0 ? samplesPerColumn : 1)
{
    canProcessReplacing(true);
    canDoubleReplacing(true);
    auto* levelParam = new GRangeParam("Level", "", 3, 0.0, 1.0, 0);
    levelParam->setDefault(0.5);
    parameters.add(levelParam);
    parameters.add(new GRangeParam("Mode", "", 0, 0.0, 3.0, 3));
    auto* trim = new GRangeParam("Trim", "", 2, 0.0, 1.0, 0);
    trim->setDefault(0.25);
    parameters.add(trim);
    bank.build(kPrograms, &parameters);

    features.add(new GTypedFeature<GHistory>("Wave", &history));
    features.add(new GTypedFeature<double>("Level", &level));
    features.add(new GTypedFeature<double>("Peak", &peak));
    features.add(new GTypedFeature<int>("Steps", &steps));
    commands.add(new Zorv::GEffectCommand("Mark", kMark));
    commands.add(new Zorv::GEffectCommand("Clear", kClear));
    commands.add(new Zorv::GEffectCommand("Dead", -1));
    resetState();
}

TestEffect::~TestEffect()
{
    setEditor(nullptr);
}

void TestEffect::resetState()
{
    gathered = 0;
    peak.store(0.0, kRelaxed);
    steps.store(0, kRelaxed);
    parametersChanged(1);
}

bool TestEffect::supportsIoConfig(int inputs, int outputs)
{
    return inputs >= 1 && inputs <= 2 && outputs >= 1 && outputs <= 2;
}

void TestEffect::parametersChanged(int)
{
    level.store(naturalValue(kLevel), kRelaxed);
    refreshEditor();
}

void TestEffect::closeColumn()
{
    history.write(gathering);
    const double p = std::fmax(std::fabs(gathering.minA), std::fabs(gathering.maxA));
    peak.store(p, kRelaxed);
    steps.store(p >= 1.0 ? kTenths : int(p * kTenths + 0.5), kRelaxed);
    gathered = 0;
    refreshEditor();
}

void TestEffect::processDouble(double** in, int nIn, double** out, int nOut, int frames)
{
    const bool stereoIn = nIn > 1, stereoOut = nOut > 1;
    for (int i = 0; i < frames; ++i) {
        const double a = in[0][i];
        const double b = stereoIn ? in[1][i] : a;
        if (gathered == 0)
            gathering = {a, a, b, b};
        gathering.minA = std::fmin(gathering.minA, a);
        gathering.maxA = std::fmax(gathering.maxA, a);
        gathering.minB = std::fmin(gathering.minB, b);
        gathering.maxB = std::fmax(gathering.maxB, b);
        if (++gathered == samplesPerColumn)
            closeColumn();
        mapOutputFrame(stereoIn, stereoOut, out[0] + i, stereoOut ? out[1] + i : nullptr, a, b);
    }
}

void TestEffect::performCommand(int id, bool shift, bool control)
{
    std::lock_guard<std::mutex> hold(commandsGuard);
    commandRecord.push_back({id, shift, control});
}

std::vector<CommandCall> TestEffect::takeCommands()
{
    std::lock_guard<std::mutex> hold(commandsGuard);
    std::vector<CommandCall> taken;
    taken.swap(commandRecord);
    return taken;
}

}  // namespace testeffect
