// Shared set-up of the host tests: a started plug-in instance and signal helpers.
#pragma once

#include "tools/host/host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Zorv {

extern const char* const kPluginPath;

constexpr double kRate = 44100.0;
constexpr int kDefaultsProgram = 3;  // a program holding the parameter defaults

// A started instance at 44100 Hz, stereo in and out.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override;

    GPluginHost host;
};

// Names, values and displays of every program, and the current program.
struct BankSnapshot {
    int current = 0;
    std::vector<std::string> names;
    std::vector<float> values;
    std::vector<std::string> displays;
    bool operator==(const BankSnapshot& o) const;
};
BankSnapshot snapshot(GPluginHost& host);

// channels channels of frames samples: a sine of amplitude and frequency (0 Hz: constant).
GChannels<float> tone(int channels, size_t frames, double amplitude, double hz = 1000.0);
GChannels<float> silence(int channels, size_t frames);
// a then b, channel by channel.
GChannels<float> joined(const GChannels<float>& a, const GChannels<float>& b);
GChannels<double> widened(const GChannels<float>& x);

}  // namespace Zorv
