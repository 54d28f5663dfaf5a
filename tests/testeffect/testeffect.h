// TestEffect: a small GEffect for editor tests that need what the gate does
// not expose. Its processing passes audio through and closes one history
// column every samplesPerColumn frames: the minimum and maximum of the left
// (A) and right (B) input over those frames. Features: "Wave" (the
// GHistory), "Level" (a real value set by the "Level" parameter or by
// setLevel), "Peak" (real: the largest magnitude of A in the last column),
// "Steps" (int: that peak in tenths, 0..10). Commands: "Mark" (id 3) and
// "Clear" (id 5), both recorded; "Dead" has id -1. Parameters: "Level"
// (0..1, continuous, default 0.5), "Mode" (0..3 in 3 steps), "Trim" (0..1,
// default 0.25).
// Threads as for any effect: processing on the audio thread (the column
// accumulator is its own), commands on the editor thread; the record of
// commands is guarded so a test thread may read it.
#pragma once

#include "effect/effect.h"
#include "effect/history.h"

#include <mutex>
#include <vector>

namespace testeffect {

enum Parameter : int { kLevel = 0, kMode = 1, kTrim = 2, kNumParameters = 3 };
enum Command : int { kMark = 3, kClear = 5 };

struct CommandCall {
    int id;
    bool shift, control;
    bool operator==(const CommandCall& o) const
    {
        return id == o.id && shift == o.shift && control == o.control;
    }
};

class TestEffect : public Zorv::GEffect {
public:
    static constexpr int kDefaultColumns = 512;
    static constexpr int kDefaultSamplesPerColumn = 64;

    explicit TestEffect(audioMasterCallback audioMaster, int columns = kDefaultColumns,
                        int samplesPerColumn = kDefaultSamplesPerColumn);
    ~TestEffect() override;  // ends an editor first: its UI thread reads this object

    const char* effectName() override { return "TestEffect"; }
    void resetState() override;  // a fresh column; peak 0 (host keeps audio stopped)
    bool supportsIoConfig(int inputs, int outputs) override;
    void parametersChanged(int reason) override;  // "Level" follows its parameter
    void processDouble(double** in, int nIn, double** out, int nOut, int frames) override;
    void performCommand(int id, bool shift, bool control) override;  // recorded

    void setLevel(double v) { level.store(v, std::memory_order_relaxed); }
    Zorv::GHistory& getHistory() { return history; }
    std::vector<CommandCall> takeCommands();  // the record so far, emptied

private:
    void closeColumn();

    Zorv::GHistory history;
    int samplesPerColumn;
    std::atomic<double> level{0.0};
    std::atomic<double> peak{0.0};
    std::atomic<int> steps{0};
    // Audio thread only.
    Zorv::GHistoryColumn gathering{};
    int gathered = 0;

    std::mutex commandsGuard;
    std::vector<CommandCall> commandRecord;
};

}  // namespace testeffect
