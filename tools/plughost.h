// The plughost tool's commands: info, process, demo and gui over one plug-in
// loaded with GPluginHost, and skin over the gate linked into the tool. Each
// command runs on the tool's main thread (gui and skin add an audio thread),
// prints its results on stdout and its errors on stderr, and returns an exit code.
#pragma once

#include "tools/host/host.h"
#include "tools/soundfile.h"

#include <functional>
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
// Settings of the skin command beyond those of gui.
struct GSkinOptions {
    bool watch = false;  // rebuild the editor whenever the skin file changes
};
// Shows the editor built from the skin text in file with the gate linked into the tool,
// reports every skipped line on stderr and prints the parameters on exit.
int runSkin(const std::string& file, const GProcessOptions& options, const GGuiOptions& gui,
            const GSkinOptions& skin);

// The window an editor is shown in, as the showEditor loop lends it to its tick.
class GEditorStage {
public:
    virtual ~GEditorStage() = default;
    // Closes the editor with the demo stopped, runs change (which may replace the
    // editor), then opens the editor again in the window, resized to its rectangle.
    virtual void reopen(const std::function<void()>& change) = 0;
};
using GGuiTick = std::function<void(GEditorStage& stage)>;

// Shows the started plug-in's editor in a top-level window titled title while the
// demo loops through the plug-in in real time, calling effEditIdle and tick every
// 20 ms, until the window is closed or gui.seconds have passed; an exit code.
int showEditor(GPluginHost& host, const std::string& title, const GGuiOptions& gui,
               const GGuiTick& tick = nullptr);
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
