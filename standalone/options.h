// The stand-alone application's command line: what `quelt --help` prints,
// parsed into GOptions. Pure: no I/O, any thread.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Zorv::Standalone {

struct GOptions {
    std::string name = "Quelt";
    bool mono = false;
    std::vector<std::string> connectIn, connectOut;
    int program = -1;                                           // -1: none given
    std::vector<std::pair<std::string, double>> params;        // natural values, in order
    std::string stateFile;                                      // empty: the default place
    bool noState = false;
    bool headless = false;
    bool help = false;
    bool version = false;
};

extern const char* const kUsage;  // the --help text

// Fills `options` from argv; false with `error` set on a bad option or value.
bool parseOptions(int argc, const char* const* argv, GOptions& options, std::string& error);

// $XDG_CONFIG_HOME/quelt/state.bank, ~/.config/quelt/state.bank when unset.
std::string defaultStateFile();

}  // namespace Zorv::Standalone
