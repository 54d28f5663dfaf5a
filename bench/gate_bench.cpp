// Processing speed of the gate, stereo at 44.1 kHz, on bursts over silence,
// reported as time per stereo frame ("ns/frame" counter); the LV2 run through
// the built DSP binary's descriptor, as a host calls it; and the cost of one
// setParameter as automation calls it on the audio thread.
#include "gate/quelt.h"

#include <benchmark/benchmark.h>
#include <lv2/core/lv2.h>

#include <dlfcn.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kSignalFrames = 44100;

// Half-second bursts of a tone alternating with near-silence.
template <typename T>
std::vector<T> burstSignal(double phaseStep)
{
    std::vector<T> signal(kSignalFrames);
    for (int i = 0; i < kSignalFrames; ++i) {
        bool burst = (i / 11025) % 2 == 0;
        signal[size_t(i)] = T((burst ? 0.5 : 1e-5) * std::sin(phaseStep * i));
    }
    return signal;
}

void reportFrames(benchmark::State& state, int block)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * block);
    state.counters["ns/frame"] = benchmark::Counter(
        double(state.iterations()) * block * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <typename T>
void processBlocks(benchmark::State& state)
{
    const int block = int(state.range(0));
    Zorv::Quelt gate(nullptr);
    gate.setBlockSize(block);
    gate.resume();
    std::vector<T> left = burstSignal<T>(0.031), right = burstSignal<T>(0.047);
    std::vector<T> outL(static_cast<size_t>(block));
    std::vector<T> outR(static_cast<size_t>(block));
    int position = 0;
    for (auto _ : state) {
        if (position + block > kSignalFrames)
            position = 0;
        T* in[2] = {left.data() + position, right.data() + position};
        T* out[2] = {outL.data(), outR.data()};
        if constexpr (sizeof(T) == sizeof(float))
            gate.processReplacing(in, out, block);
        else
            gate.processDoubleReplacing(in, out, block);
        benchmark::DoNotOptimize(outL.data());
        position += block;
    }
    reportFrames(state, block);
}

// The stereo variant's run with its control ports at their defaults.
void lv2Run(benchmark::State& state)
{
    const int block = int(state.range(0));
    void* library = dlopen(QUELT_LV2_DSP_PATH, RTLD_NOW | RTLD_LOCAL);
    auto entry = library ? reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(
                               dlsym(library, "lv2_descriptor"))
                         : nullptr;
    const LV2_Descriptor* d = entry ? entry(0) : nullptr;
    LV2_Handle gate = d ? d->instantiate(d, 44100.0, QUELT_LV2_DSP_PATH, nullptr) : nullptr;
    if (!gate) {
        state.SkipWithError("the LV2 DSP binary did not load");
        return;
    }
    float controls[5] = {-70.0f, 0.5f, 1.0f, 1.0f, 0.0f};  // thresh, fade, attack, enabled, gain
    for (uint32_t port = 0; port < 5; ++port)
        d->connect_port(gate, port, &controls[port]);
    std::vector<float> left = burstSignal<float>(0.031), right = burstSignal<float>(0.047);
    std::vector<float> outL(static_cast<size_t>(block)), outR(static_cast<size_t>(block));
    d->connect_port(gate, 7, outL.data());
    d->connect_port(gate, 8, outR.data());
    d->activate(gate);
    int position = 0;
    for (auto _ : state) {
        if (position + block > kSignalFrames)
            position = 0;
        d->connect_port(gate, 5, left.data() + position);
        d->connect_port(gate, 6, right.data() + position);
        d->run(gate, uint32_t(block));
        benchmark::DoNotOptimize(outL.data());
        position += block;
    }
    d->deactivate(gate);
    d->cleanup(gate);
    dlclose(library);
    reportFrames(state, block);
}

// Automation: each call a new value, the three parameters in turn.
void setParameter(benchmark::State& state)
{
    Zorv::Quelt gate(nullptr);
    gate.resume();
    int call = 0;
    for (auto _ : state) {
        gate.setParameter(call % Zorv::kNumQueltParameters, float(call % 1000) * 0.001f);
        ++call;
    }
    benchmark::DoNotOptimize(gate.getThresholdPower());
}

}  // namespace

BENCHMARK(setParameter);
BENCHMARK(processBlocks<float>)->Name("processReplacing")->Arg(32)->Arg(256)->Arg(4096);
BENCHMARK(processBlocks<double>)->Name("processDoubleReplacing")->Arg(32)->Arg(256)->Arg(4096);

BENCHMARK(lv2Run)->Name("lv2Run")->Arg(32)->Arg(256)->Arg(4096);

BENCHMARK_MAIN();
