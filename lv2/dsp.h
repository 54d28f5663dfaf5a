// GLv2Gate: the LV2 DSP adapter over one Quelt of its own, built without a
// host callback. The host's instantiation thread builds it for one channel
// count (1: mono, 2: stereo) and rate; connect and run come from the audio
// thread, activate and deactivate from the host's other threads. Control
// ports carry natural units: run maps each changed one through its parameter
// object and writes it on the wait-free parameter path, applies the enabled
// port as the effect's bypass, processes through the effect's float path and
// reports the gain. Nothing in run locks, allocates or formats.
// Owns the gate; borrows every port buffer.
#pragma once

#include "gate/quelt.h"
#include "lv2/ports.h"

#include <cstdint>
#include <memory>

namespace Zorv::Lv2 {

class GLv2Gate {
public:
    // Null when the gate could not be built or the channel count is not 1 or 2.
    static GLv2Gate* create(int channels, double rate, int maxBlock);
    ~GLv2Gate();
    GLv2Gate(const GLv2Gate&) = delete;
    GLv2Gate& operator=(const GLv2Gate&) = delete;

    void connect(uint32_t port, void* data);  // unknown ports ignored
    void activate();                          // state cleared, scratch laid out
    void deactivate();
    void run(uint32_t frames);                // controls, then audio, then the gain

    Quelt& gate() { return *effect; }

private:
    GLv2Gate(std::unique_ptr<Quelt> effect, int channels);
    void applyControls();

    std::unique_ptr<Quelt> effect;
    int channels;
    const float* controls[kNumQueltParameters] = {};
    float applied[kNumQueltParameters] = {};
    const float* enabled = nullptr;
    float appliedEnabled = 1.0f;
    float* gain = nullptr;
    float* inputs[kStereo] = {};
    float* outputs[kStereo] = {};
};

}  // namespace Zorv::Lv2
