#include "standalone/options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Zorv::Standalone {

const char* const kUsage =
    "quelt [options]\n"
    "  --name NAME           JACK client name (default \"Quelt\")\n"
    "  --mono                one input and one output port (default: two of each)\n"
    "  --connect-in A[,B]    connect our inputs to these ports\n"
    "  --connect-out A[,B]   connect our outputs to these ports\n"
    "  --program N           start from factory program N (0-9)\n"
    "  --param NAME=VALUE    set a parameter in natural units: Thresh (dB), Attack (ms), Fade (s); repeatable\n"
    "  --state FILE          settings file (default $XDG_CONFIG_HOME/quelt/state.bank, ~/.config when unset)\n"
    "  --no-state            neither load nor save settings\n"
    "  --headless            no window\n"
    "  --help, --version\n";

namespace {

constexpr int kPrograms = 10;
const char* const kParameterNames[] = {"Thresh", "Fade", "Attack"};

std::vector<std::string> splitPorts(const std::string& list)
{
    std::vector<std::string> ports;
    size_t from = 0;
    for (size_t comma; (comma = list.find(',', from)) != std::string::npos; from = comma + 1)
        ports.push_back(list.substr(from, comma - from));
    ports.push_back(list.substr(from));
    return ports;
}

bool wholeNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = strtod(text.c_str(), &end);
    return !text.empty() && end && *end == 0 && std::isfinite(value);
}

bool parseParam(const std::string& text, GOptions& options, std::string& error)
{
    const size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    double value = 0;
    bool known = false;
    for (const char* candidate : kParameterNames)
        known |= strcasecmp(name.c_str(), candidate) == 0;
    if (equals == std::string::npos || !known || !wholeNumber(text.substr(equals + 1), value)) {
        error = "--param wants NAME=VALUE with NAME one of Thresh, Attack, Fade and a number: " + text;
        return false;
    }
    options.params.emplace_back(name, value);
    return true;
}

// The option at argv[i] that takes a value, with that value; false when it has none.
bool valueOf(int argc, const char* const* argv, int& i, std::string& value, std::string& error)
{
    if (i + 1 >= argc) {
        error = std::string(argv[i]) + " needs a value";
        return false;
    }
    value = argv[++i];
    return true;
}

}  // namespace

bool parseOptions(int argc, const char* const* argv, GOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        std::string value;
        if (option == "--help") {
            options.help = true;
        } else if (option == "--version") {
            options.version = true;
        } else if (option == "--mono") {
            options.mono = true;
        } else if (option == "--no-state") {
            options.noState = true;
        } else if (option == "--headless") {
            options.headless = true;
        } else if (option == "--name" || option == "--connect-in" || option == "--connect-out" ||
                   option == "--program" || option == "--param" || option == "--state") {
            if (!valueOf(argc, argv, i, value, error))
                return false;
            if (option == "--name") {
                if (value.empty()) {
                    error = "--name wants a client name";
                    return false;
                }
                options.name = value;
            } else if (option == "--connect-in") {
                options.connectIn = splitPorts(value);
            } else if (option == "--connect-out") {
                options.connectOut = splitPorts(value);
            } else if (option == "--program") {
                double program = -1;
                if (!wholeNumber(value, program) || program != std::floor(program) || program < 0 ||
                    program >= kPrograms) {
                    error = "--program wants a number from 0 to 9: " + value;
                    return false;
                }
                options.program = int(program);
            } else if (option == "--param") {
                if (!parseParam(value, options, error))
                    return false;
            } else {
                options.stateFile = value;
            }
        } else {
            error = "unknown option: " + option;
            return false;
        }
    }
    return true;
}

std::string defaultStateFile()
{
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0])
        base = config;
    else if (const char* home = getenv("HOME"))
        base = std::string(home) + "/.config";
    else
        base = ".config";
    return base + "/quelt/state.bank";
}

}  // namespace Zorv::Standalone
