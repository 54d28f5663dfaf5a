// The plughost tool's commands: info, process, demo and gui over one plug-in
// loaded with GPluginHost. Each command runs on the tool's main thread (gui
// adds an audio thread), prints its results on stdout and its errors on
// stderr, and returns an exit code.
#pragma once

#include "tools/host/host.h"
#include "tools/soundfile.h"

#include <string>
#include <utility>
#include <vector>

namespace Zorv {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,      // a file could not be read or written, or the plug-in refused a request
    kExitUsage = 2,       // bad command line
    kExitPluginLoad = 3,  // the plug-in did not load or start
};

struct GProcessOptions {
    int program = -1;  // -1: keep the plug-in's current program
    std::vector<std::pair<std::string, std::string>> params;
    bool bypass = false;
    int block = 512;
    bool useDouble = false;
    double rate = 0;   // 0: the file's rate
    int inputs = 0;    // 0: the file's channel count, at most 2
    int outputs = 0;   // 0: the input count
    std::string saveChunk;
    std::string loadChunk;
    bool bank = false;
};

// Prints what the plug-in reports about itself.
int runInfo(const std::string& plugin);
// Gates the sound file in into out.
int runProcess(const std::string& plugin, const std::string& in, const std::string& out,
               GProcessOptions options);
// Writes demo-in.wav and demo-out.wav into dir and prints a before/after summary.
int runDemo(const std::string& plugin, const std::string& dir, const GProcessOptions& options);

// Settings of the gui command.
struct GGuiOptions {
    double seconds = 0;                       // 0: until the window is closed
    std::vector<std::pair<int, int>> clicks;  // left clicks at window points, one a second
    std::string screenshot;                   // PPM of the window written before closing
};

// Opens the plug-in's editor in a window while the demo signal loops through it.
int runGui(const std::string& plugin, const GProcessOptions& options, const GGuiOptions& gui);
// Fills s with the 8 s demo signal at 44.1 kHz; returns the seconds of voice in it.
double makeDemo(GSound& s);

// Opens the plug-in for rate, block and channel counts; prints the reason and returns false on failure.
bool openPlugin(GPluginHost& host, const std::string& plugin);
// Applies chunk, program, parameter and bypass options; false (reported) on a refusal.
bool applyOptions(GPluginHost& host, const GProcessOptions& options);
// Runs sound through the opened plug-in into out (the host's output count); progress on stderr when asked.
void gateSound(GPluginHost& host, const GSound& in, GSound& out, const GProcessOptions& options,
               bool progress);
// Mixes the file's channels to count (1 or 2) channels: mono is duplicated, a mono mix
// averages every channel, a stereo mix of more channels keeps the first two.
GChannels<double> mixChannels(const GChannels<double>& channels, int count);

}  // namespace Zorv
