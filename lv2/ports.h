// The LV2 face of the gate: URIs and port layout shared by the DSP adapter,
// the UI adapter and the build-time Turtle writer. Control ports come first,
// in parameter-table order, so both variants number them alike; the audio
// ports follow, inputs then outputs. Constants only; any thread.
#pragma once

#include "gate/quelt.h"

#include <cstdint>

namespace Zorv::Lv2 {

#define QUELT_LV2_URI "http://zorv.example/plugins/quelt"
constexpr const char* kProjectUri = QUELT_LV2_URI;
constexpr const char* kStereoUri = QUELT_LV2_URI "#stereo";
constexpr const char* kMonoUri = QUELT_LV2_URI "#mono";
constexpr const char* kUiUri = QUELT_LV2_URI "#ui";
constexpr const char* kPresetUriPrefix = QUELT_LV2_URI "#preset";

constexpr uint32_t kFirstParameterPort = 0;
constexpr uint32_t kEnabledPort = kNumQueltParameters;  // lv2:enabled: 1 processes, 0 bypasses
constexpr uint32_t kGainPort = kEnabledPort + 1;        // output: the gate's gain, 0..1
constexpr uint32_t kFirstAudioPort = kGainPort + 1;

constexpr int kStereo = 2;
constexpr int kMono = 1;

// Ports of a variant with `channels` inputs and as many outputs.
constexpr uint32_t portCount(int channels) { return kFirstAudioPort + 2 * uint32_t(channels); }
constexpr bool isParameterPort(uint32_t port) { return port < kEnabledPort; }

}  // namespace Zorv::Lv2
