// plughost process: a sound file through the plug-in, block by block.

#include "tools/plughost.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

namespace Zorv {

namespace {

constexpr int kProgressSteps = 10;
constexpr size_t kLongFileSeconds = 10;

bool readBytes(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

const char* chunkKind(bool bank) { return bank ? "bank" : "program"; }

bool loadChunk(GPluginHost& host, const GProcessOptions& o)
{
    std::vector<uint8_t> bytes;
    if (!readBytes(o.loadChunk, bytes)) {
        std::cerr << "plughost: cannot read chunk file " << o.loadChunk << "\n";
        return false;
    }
    intptr_t taken = host.setChunk(bytes, !o.bank);
    if (taken <= 0) {
        std::cerr << "plughost: the plug-in refused the " << chunkKind(o.bank) << " chunk ("
                  << bytes.size() << " bytes; effSetChunk answered " << taken << ")\n";
        return false;
    }
    std::cerr << "loaded " << chunkKind(o.bank) << " chunk: plug-in took " << taken << " of "
              << bytes.size() << " bytes\n";
    return true;
}

bool saveChunk(GPluginHost& host, const GProcessOptions& o)
{
    std::vector<uint8_t> bytes;
    intptr_t size = host.getChunk(!o.bank, bytes);
    if (size <= 0 || bytes.empty()) {
        std::cerr << "plughost: the plug-in gives no " << chunkKind(o.bank)
                  << " chunk (effGetChunk answered " << size << ")\n";
        return false;
    }
    if (!writeBytes(o.saveChunk, bytes)) {
        std::cerr << "plughost: cannot write chunk file " << o.saveChunk << "\n";
        return false;
    }
    std::cerr << "saved " << chunkKind(o.bank) << " chunk: " << bytes.size() << " bytes\n";
    return true;
}

bool setProgram(GPluginHost& host, int program)
{
    if (program >= host.effect()->numPrograms) {
        std::cerr << "plughost: program " << program << " does not exist (the plug-in has "
                  << host.effect()->numPrograms << ")\n";
        return false;
    }
    host.setProgram(program);
    return true;
}

bool setParam(GPluginHost& host, const std::string& name, const std::string& value)
{
    int index = host.findParameter(name);
    if (index < 0) {
        std::cerr << "plughost: the plug-in has no parameter named " << name << "\n";
        return false;
    }
    if (!host.string2parameter(index, value)) {
        std::cerr << "plughost: the plug-in refused " << name << " = " << value << "\n";
        return false;
    }
    std::cerr << host.paramName(index) << " = " << host.paramDisplay(index) << " "
              << host.paramLabel(index) << "\n";
    return true;
}

// Reports progress as a percentage: rewritten in place on a terminal, every 10 % otherwise.
class Progress {
public:
    Progress(size_t total, bool on) : total(total), on(on), tty(isatty(STDERR_FILENO)) {}
    void update(size_t done)
    {
        if (!on || total == 0)
            return;
        int percent = int(done * 100 / total);
        int step = tty ? percent : percent / kProgressSteps * kProgressSteps;
        if (step == shown)
            return;
        shown = step;
        std::fprintf(stderr, tty ? "\rprocessing %3d %%" : "processing %3d %%\n", step);
        if (tty && done == total)
            std::fputc('\n', stderr);
    }

private:
    size_t total;
    bool on;
    bool tty;
    int shown = -1;
};

template <typename T>
void runBlocks(GPluginHost& host, const GChannels<double>& in, GChannels<double>& out, int block,
               Progress& progress)
{
    size_t length = in[0].size();
    GChannels<T> inBuf(in.size(), std::vector<T>(size_t(block)));
    GChannels<T> outBuf(out.size(), std::vector<T>(size_t(block)));
    std::vector<T*> inPtr, outPtr;
    for (auto& c : inBuf)
        inPtr.push_back(c.data());
    for (auto& c : outBuf)
        outPtr.push_back(c.data());
    for (size_t at = 0; at < length; at += size_t(block)) {
        size_t n = std::min(size_t(block), length - at);
        for (size_t c = 0; c < in.size(); ++c)
            std::copy_n(in[c].begin() + long(at), n, inBuf[c].begin());
        host.processBlock(inPtr.data(), outPtr.data(), int32_t(n));
        for (size_t c = 0; c < out.size(); ++c)
            std::copy_n(outBuf[c].begin(), n, out[c].begin() + long(at));
        progress.update(at + n);
    }
}

int channelsOf(const GSound& sound) { return std::min(int(sound.channels.size()), 2); }

}  // namespace

GChannels<double> mixChannels(const GChannels<double>& channels, int count)
{
    if (int(channels.size()) == count)
        return channels;
    size_t frames = channels.empty() ? 0 : channels[0].size();
    if (count == 2)
        return channels.size() == 1 ? GChannels<double>{channels[0], channels[0]}
                                    : GChannels<double>{channels[0], channels[1]};
    GChannels<double> mono(1, std::vector<double>(frames));
    for (const auto& c : channels)
        for (size_t f = 0; f < frames; ++f)
            mono[0][f] += c[f] / double(channels.size());
    return mono;
}

bool openPlugin(GPluginHost& host, const std::string& plugin)
{
    if (host.open(plugin))
        return true;
    std::cerr << "plughost: cannot use plug-in " << plugin << ": " << host.error() << "\n";
    return false;
}

bool applyOptions(GPluginHost& host, const GProcessOptions& o)
{
    if (!o.loadChunk.empty() && !loadChunk(host, o))
        return false;
    if (o.program >= 0 && !setProgram(host, o.program))
        return false;
    for (const auto& p : o.params)
        if (!setParam(host, p.first, p.second))
            return false;
    if (o.bypass && !host.setBypass(true)) {
        std::cerr << "plughost: the plug-in refused bypass\n";
        return false;
    }
    return o.saveChunk.empty() || saveChunk(host, o);
}

void gateSound(GPluginHost& host, const GSound& in, GSound& out, const GProcessOptions& o,
               bool progress)
{
    const GHostConfig& c = host.config();
    GChannels<double> input = mixChannels(in.channels, c.inputs);
    out.rate = in.rate;
    out.format = in.format;
    out.channels.assign(size_t(c.outputs), std::vector<double>(input[0].size()));
    Progress meter(input[0].size(), progress);
    if (o.useDouble)
        runBlocks<double>(host, input, out.channels, o.block, meter);
    else
        runBlocks<float>(host, input, out.channels, o.block, meter);
}

int runProcess(const std::string& plugin, const std::string& inPath, const std::string& outPath,
               GProcessOptions o)
{
    GSound in, out;
    std::string error;
    if (!readSound(inPath, in, error)) {
        std::cerr << "plughost: " << error << "\n";
        return kExitFailed;
    }
    if (in.frames() == 0) {
        std::cerr << "plughost: " << inPath << " holds no samples\n";
        return kExitFailed;
    }
    GHostConfig config;
    config.sampleRate = o.rate > 0 ? o.rate : in.rate;
    config.blockSize = o.block;
    config.inputs = o.inputs ? o.inputs : channelsOf(in);
    config.outputs = o.outputs ? o.outputs : config.inputs;
    GPluginHost host(config);
    if (!openPlugin(host, plugin))
        return kExitPluginLoad;
    if (!applyOptions(host, o))
        return kExitFailed;
    gateSound(host, in, out, o, in.frames() > size_t(in.rate) * kLongFileSeconds);
    if (!writeSound(outPath, out, error)) {
        std::cerr << "plughost: " << error << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace Zorv
