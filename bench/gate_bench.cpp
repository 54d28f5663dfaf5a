// Processing speed of the gate, stereo at 44.1 kHz, on bursts over silence,
// reported as time per stereo frame ("ns/frame" counter); the LV2 run through
// the built DSP binary's descriptor, as a host calls it; CLAP's process
// through the built Quelt.clap, with and without parameter events inside each
// block; and the cost of one setParameter as automation calls it on the
// audio thread.
#include "gate/quelt.h"

#include <benchmark/benchmark.h>
#include <clap/entry.h>
#include <clap/plugin-factory.h>
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

// CLAP events: a Thresh and a Fade change inside each block (range 1), or none.
struct ClapEvents {
    clap_event_param_value_t values[2];
    uint32_t count;
    static uint32_t size(const clap_input_events_t* list)
    {
        return static_cast<const ClapEvents*>(list->ctx)->count;
    }
    static const clap_event_header_t* get(const clap_input_events_t* list, uint32_t index)
    {
        return &static_cast<const ClapEvents*>(list->ctx)->values[index].header;
    }
};

bool dropEvent(const clap_output_events_t*, const clap_event_header_t*)
{
    return true;
}

// The stereo gate's process as a CLAP host calls it.
void clapProcess(benchmark::State& state)
{
    const uint32_t block = uint32_t(state.range(0));
    void* library = dlopen(QUELT_CLAP_PATH, RTLD_NOW | RTLD_LOCAL);
    auto* entry = library ? static_cast<const clap_plugin_entry_t*>(dlsym(library, "clap_entry")) : nullptr;
    const auto* factory = entry && entry->init(QUELT_CLAP_PATH)
                              ? static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID))
                              : nullptr;
    clap_host_t host{CLAP_VERSION_INIT, nullptr, "bench", "", "", "1",
                     [](const clap_host_t*, const char*) -> const void* { return nullptr; },
                     [](const clap_host_t*) {}, [](const clap_host_t*) {}, [](const clap_host_t*) {}};
    const clap_plugin_t* gate = factory ? factory->create_plugin(factory, &host, "example.zorv.quelt") : nullptr;
    if (!gate || !gate->init(gate) || !gate->activate(gate, 44100.0, 1, block) || !gate->start_processing(gate)) {
        state.SkipWithError("Quelt.clap did not load");
        return;
    }
    std::vector<float> left = burstSignal<float>(0.031), right = burstSignal<float>(0.047);
    std::vector<float> outL(block), outR(block);
    ClapEvents events{};
    for (int k = 0; k < 2; ++k) {
        clap_event_param_value_t& e = events.values[k];
        e.header = {sizeof e, block * uint32_t(k + 1) / 3, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = clap_id(k + 1);
        e.note_id = e.port_index = e.channel = e.key = -1;
    }
    events.count = state.range(1) ? 2 : 0;
    const clap_input_events_t in{&events, ClapEvents::size, ClapEvents::get};
    const clap_output_events_t out{nullptr, dropEvent};
    float *ins[2], *outs[2] = {outL.data(), outR.data()};
    clap_audio_buffer_t input{}, output{};
    input.channel_count = output.channel_count = 2;
    input.data32 = ins;
    output.data32 = outs;
    clap_process_t p{};
    p.frames_count = block;
    p.audio_inputs = &input;
    p.audio_outputs = &output;
    p.audio_inputs_count = p.audio_outputs_count = 1;
    p.in_events = &in;
    p.out_events = &out;
    int position = 0, call = 0;
    for (auto _ : state) {
        if (position + int(block) > kSignalFrames)
            position = 0;
        ins[0] = left.data() + position;
        ins[1] = right.data() + position;
        events.values[0].value = -90.0 + (call % 60);
        events.values[1].value = 0.01 * (1 + call % 90);
        gate->process(gate, &p);
        benchmark::DoNotOptimize(outL.data());
        position += int(block);
        ++call;
    }
    gate->stop_processing(gate);
    gate->deactivate(gate);
    gate->destroy(gate);
    entry->deinit();
    dlclose(library);
    reportFrames(state, int(block));
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
BENCHMARK(clapProcess)->Name("clapProcess")->ArgsProduct({{32, 256, 4096}, {0, 1}})->ArgNames({"block", "events"});

BENCHMARK_MAIN();
