// Shared pieces of the button tests: a gate with one command that records
// what it is asked to perform (any thread may ask), and the host calls of a
// gesture as text.
#pragma once

#include "gate/quelt.h"
#include "tests/skin/skintest.h"

#include <mutex>
#include <string>
#include <vector>

namespace buttontest {

// A gate with the command "Go"; performCommand logs "7", "7s", "7c" or "7sc".
struct CommandGate : Zorv::Quelt {
    static constexpr int kGo = 7;

    explicit CommandGate(audioMasterCallback host) : Quelt(host)
    {
        getCommands().add(new Zorv::GEffectCommand("Go", kGo));
    }

    void performCommand(int id, bool shift, bool control) override
    {
        std::lock_guard<std::mutex> hold(guard);
        performed.push_back(std::to_string(id) + (shift ? "s" : "") + (control ? "c" : ""));
    }

    std::vector<std::string> commands()
    {
        std::lock_guard<std::mutex> hold(guard);
        return performed;
    }

private:
    std::mutex guard;
    std::vector<std::string> performed;
};

// "B2" for beginEdit(2), "A2=0.625" for an automation, "E2" for endEdit(2).
inline std::string describe(int opcode, int index, float value)
{
    if (opcode == audioMasterBeginEdit)
        return "B" + std::to_string(index);
    if (opcode == audioMasterEndEdit)
        return "E" + std::to_string(index);
    char text[32];
    snprintf(text, sizeof text, "A%d=%g", index, value);
    return text;
}

// The calls skintest::Recorder saw, described; then forgotten.
inline std::vector<std::string> takeCalls()
{
    std::vector<std::string> out;
    for (const skintest::HostCall& call : skintest::Recorder::calls)
        out.push_back(describe(call.opcode, call.index, call.value));
    skintest::Recorder::calls.clear();
    return out;
}

}  // namespace buttontest
