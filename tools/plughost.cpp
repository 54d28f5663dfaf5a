// plughost: loads a VST 2.4 plug-in and reports on it, runs sound files
// through it, gates a generated demo signal, or shows its editor; previews
// a skin text on the gate linked into the tool.

#include "tools/plughost.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#ifndef QUELT_PLUGIN_PATH
#define QUELT_PLUGIN_PATH "Quelt.so"
#endif

namespace {

using namespace Zorv;

const char* const kUsage =
    "usage: plughost [--plugin PATH] info\n"
    "       plughost [--plugin PATH] process IN.wav OUT.wav [options]\n"
    "       plughost [--plugin PATH] demo [OUTDIR] [options]\n"
    "       plughost [--plugin PATH] gui [options] [--seconds S] [--click X,Y]... [--screenshot F.ppm]\n"
    "       plughost skin FILE [--watch] [options] [--seconds S] [--click X,Y]... [--screenshot F.ppm]\n"
    "       plughost [--plugin PATH]            (same as demo)\n"
    "options: --program N  --param NAME=VALUE  --bypass  --block N  --double\n"
    "         --rate HZ  --inputs 1|2  --outputs 1|2\n"
    "         --save-chunk FILE  --load-chunk FILE  --bank\n"
    "The plug-in defaults to $QUELT_PLUGIN, else " QUELT_PLUGIN_PATH "\n";

struct CommandLine {
    std::string plugin;
    std::vector<std::string> words;
    GProcessOptions options;
    GGuiOptions gui;
    GSkinOptions skin;
};

int usage(const std::string& problem)
{
    std::cerr << "plughost: " << problem << "\n" << kUsage;
    return kExitUsage;
}

bool parseInt(const std::string& text, int low, int high, int& out)
{
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < low || value > high)
        return false;
    out = int(value);
    return true;
}

bool parseRate(const std::string& text, double& out)
{
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !(value >= 1.0 && value <= 1e7))
        return false;
    out = value;
    return true;
}

// A finite number and nothing else.
bool parseFinite(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return !text.empty() && !*end && std::isfinite(value);
}

// Parses one option that takes a value; false with problem set.
bool parseValued(const std::string& name, const std::string& value, CommandLine& line,
                 std::string& problem)
{
    GProcessOptions& o = line.options;
    bool ok = true;
    if (name == "--plugin")
        line.plugin = value;
    else if (name == "--program")
        ok = parseInt(value, 0, 1 << 20, o.program);
    else if (name == "--block")
        ok = parseInt(value, 1, 1 << 20, o.block);
    else if (name == "--inputs")
        ok = parseInt(value, 1, 2, o.inputs);
    else if (name == "--outputs")
        ok = parseInt(value, 1, 2, o.outputs);
    else if (name == "--rate")
        ok = parseRate(value, o.rate);
    else if (name == "--save-chunk")
        o.saveChunk = value;
    else if (name == "--load-chunk")
        o.loadChunk = value;
    else if (name == "--seconds")
        ok = parseRate(value, line.gui.seconds);
    else if (name == "--screenshot")
        line.gui.screenshot = value;
    else if (name == "--click") {
        int x = 0, y = 0;
        size_t comma = value.find(',');
        ok = comma != std::string::npos && parseInt(value.substr(0, comma), 0, 32767, x) &&
             parseInt(value.substr(comma + 1), 0, 32767, y);
        if (ok)
            line.gui.clicks.emplace_back(x, y);
    } else if (name == "--param") {
        size_t eq = value.find('=');
        ok = eq != std::string::npos && eq > 0 && parseFinite(value.substr(eq + 1));
        if (ok)
            o.params.emplace_back(value.substr(0, eq), value.substr(eq + 1));
    }
    if (!ok)
        problem = "bad value '" + value + "' for " + name;
    return ok;
}

bool takesValue(const std::string& name)
{
    static const char* const names[] = {"--plugin", "--program", "--block", "--inputs",
                                        "--outputs", "--rate", "--save-chunk", "--load-chunk",
                                        "--param", "--seconds", "--screenshot", "--click"};
    for (const char* n : names)
        if (name == n)
            return true;
    return false;
}

bool parse(int argc, char** argv, CommandLine& line, std::string& problem)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            line.words.push_back("help");
        else if (arg == "--bypass")
            line.options.bypass = true;
        else if (arg == "--double")
            line.options.useDouble = true;
        else if (arg == "--bank")
            line.options.bank = true;
        else if (arg == "--watch")
            line.skin.watch = true;
        else if (takesValue(arg)) {
            if (i + 1 >= argc) {
                problem = arg + " needs a value";
                return false;
            }
            if (!parseValued(arg, argv[++i], line, problem))
                return false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            problem = "unknown option " + arg;
            return false;
        } else
            line.words.push_back(arg);
    }
    return true;
}

std::string defaultPlugin()
{
    const char* env = std::getenv("QUELT_PLUGIN");
    return env && *env ? env : QUELT_PLUGIN_PATH;
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    std::string problem;
    if (!parse(argc, argv, line, problem))
        return usage(problem);
    if (line.plugin.empty())
        line.plugin = defaultPlugin();
    const std::vector<std::string>& w = line.words;
    std::string command = w.empty() ? "demo" : w[0];
    if (command == "info" && w.size() == 1)
        return runInfo(line.plugin);
    if (command == "process" && w.size() == 3)
        return runProcess(line.plugin, w[1], w[2], line.options);
    if (command == "demo" && w.size() <= 2)
        return runDemo(line.plugin, w.size() == 2 ? w[1] : ".", line.options);
    if (command == "gui" && w.size() == 1)
        return runGui(line.plugin, line.options, line.gui);
    if (command == "skin" && w.size() == 2)
        return runSkin(w[1], line.options, line.gui, line.skin);
    if (command == "help")
        return std::cout << kUsage, kExitOk;
    if (command == "process")
        return usage("process needs IN.wav and OUT.wav");
    if (command == "skin")
        return usage("skin needs one FILE");
    return usage("unknown command or extra arguments: " + command);
}
