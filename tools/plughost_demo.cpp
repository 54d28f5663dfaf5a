// plughost demo: gates a generated speech-like signal over a noise floor and
// prints the level before and after, 100 ms at a time.

#include "tools/plughost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <random>

namespace Zorv {

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 8.0;
// -84 dBFS: below the -75 dB threshold of the default program, so the gate can close.
constexpr double kNoiseRms = 6.3e-5;
constexpr double kVoicePeak = 0.3;   // about -10 dBFS
constexpr int kHarmonics = 10;
constexpr double kWindowSeconds = 0.1;
constexpr int kWindowsPerRow = 10;
constexpr double kOpenRatio = 0.5;
constexpr double kSilentDb = -120.0;
constexpr double kPi = 3.14159265358979323846;
constexpr unsigned kSeed = 2700;

// Adds one syllable: a falling harmonic tone under a sine-squared envelope.
void addSyllable(GSound& s, size_t start, size_t length, double f0, double panLeft)
{
    double phase = 0;
    for (size_t i = 0; i < length && start + i < s.frames(); ++i) {
        double t = double(i) / double(length);
        double f = f0 * (1.0 - 0.15 * t);
        phase += 2 * kPi * f / kRate;
        double v = 0;
        for (int k = 1; k <= kHarmonics; ++k)
            v += std::sin(phase * k) / k;
        double envelope = std::pow(std::sin(kPi * t), 2) * kVoicePeak / 2.0;
        s.channels[0][start + i] += v * envelope * panLeft;
        s.channels[1][start + i] += v * envelope * (1.6 - panLeft);
    }
}

// Words of two to four syllables separated by pauses; returns the seconds of voice.
double addWords(GSound& s, std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    size_t at = size_t(0.5 * kRate);
    size_t voiced = 0;
    while (true) {
        int syllables = 2 + int(unit(random) * 3);
        double f0 = 110 + unit(random) * 80;
        double pan = 0.6 + unit(random) * 0.4;
        size_t wordLength = 0;
        for (int k = 0; k < syllables; ++k)
            wordLength += size_t((0.19 + 0.09 * unit(random)) * kRate);
        if (at + wordLength > s.frames() - size_t(0.3 * kRate))
            break;
        for (int k = 0; k < syllables; ++k) {
            size_t length = size_t((0.14 + 0.12 * unit(random)) * kRate);
            addSyllable(s, at, length, f0 * (1.0 + 0.1 * unit(random)), pan);
            at += length + size_t((0.03 + 0.03 * unit(random)) * kRate);
            voiced += length;
        }
        at += size_t((0.35 + 0.55 * unit(random)) * kRate);
    }
    return double(voiced) / kRate;
}

}  // namespace

double makeDemo(GSound& s)
{
    s.rate = kRate;
    s.format = 0;
    s.channels.assign(2, std::vector<double>(size_t(kSeconds * kRate)));
    std::mt19937 random(kSeed);
    std::normal_distribution<double> noise(0.0, kNoiseRms);
    for (auto& c : s.channels)
        for (double& x : c)
            x = noise(random);
    return addWords(s, random);
}

namespace {

// Level of one window over all channels in dBFS (RMS).
double windowDb(const GSound& s, size_t from, size_t to)
{
    double sum = 0;
    for (const auto& c : s.channels)
        for (size_t i = from; i < to; ++i)
            sum += c[i] * c[i];
    double meanSquare = sum / double((to - from) * s.channels.size());
    return meanSquare > 0 ? std::max(10 * std::log10(meanSquare), kSilentDb) : kSilentDb;
}

bool gateOpen(double beforeDb, double afterDb)
{
    return afterDb - beforeDb > 20 * std::log10(kOpenRatio);
}

void printRow(const char* label, const std::vector<double>& values, size_t from, size_t to)
{
    std::printf("       %-5s", label);
    for (size_t w = from; w < to; ++w)
        values[w] <= kSilentDb ? std::printf("  -inf") : std::printf(" %5.0f", values[w]);
    std::printf("\n");
}

void printSummary(const GSound& in, const GSound& out, double voiceSeconds)
{
    size_t window = size_t(kWindowSeconds * in.rate);
    size_t count = in.frames() / window;
    std::vector<double> before(count), after(count);
    int open = 0;
    for (size_t w = 0; w < count; ++w) {
        before[w] = windowDb(in, w * window, (w + 1) * window);
        after[w] = windowDb(out, w * window, (w + 1) * window);
        open += gateOpen(before[w], after[w]);
    }
    std::printf("\nlevel per 100 ms in dBFS (RMS over both channels), 'gate' # = open, . = closed\n");
    for (size_t row = 0; row < count; row += kWindowsPerRow) {
        size_t end = std::min(count, row + kWindowsPerRow);
        std::printf("%4.1f s\n", double(row) * kWindowSeconds);
        printRow("in", before, row, end);
        printRow("out", after, row, end);
        std::printf("       %-5s", "gate");
        for (size_t w = row; w < end; ++w)
            std::printf("     %c", gateOpen(before[w], after[w]) ? '#' : '.');
        std::printf("\n");
    }
    std::printf("\nvoice in the input: %.1f s of %.1f s\n", voiceSeconds,
                double(in.frames()) / in.rate);
    std::printf("gate open: %.1f s (%d of %zu windows; a window counts as open when its output\n"
                "keeps more than half of the input's RMS level, i.e. the gain is above %.1f)\n",
                open * kWindowSeconds, open, count, kOpenRatio);
    std::printf("the gate holds open through short pauses: the level detector falls for a few\n"
                "hundred ms before the fade starts\n");
}

void printSettings(GPluginHost& host)
{
    std::printf("program %d \"%s\":", host.program(), host.programName().c_str());
    for (int i = 0; i < host.effect()->numParams; ++i)
        std::printf(" %s %s %s", host.paramName(i).c_str(), host.paramDisplay(i).c_str(),
                    host.paramLabel(i).c_str());
    std::printf("\n");
}

}  // namespace

int runDemo(const std::string& plugin, const std::string& dir, const GProcessOptions& options)
{
    GSound in, out;
    double voiceSeconds = makeDemo(in);
    GHostConfig config;
    config.sampleRate = kRate;
    config.blockSize = options.block;
    config.inputs = 2;
    config.outputs = 2;
    GPluginHost host(config);
    if (!openPlugin(host, plugin))
        return kExitPluginLoad;
    if (!applyOptions(host, options))
        return kExitFailed;
    printSettings(host);
    gateSound(host, in, out, options, false);
    std::string error;
    std::string inPath = dir + "/demo-in.wav", outPath = dir + "/demo-out.wav";
    if (!writeSound(inPath, in, error) || !writeSound(outPath, out, error)) {
        std::cerr << "plughost: " << error << "\n";
        return kExitFailed;
    }
    std::printf("wrote %s and %s (noise floor -84 dBFS, voice peaks about -10 dBFS)\n",
                inPath.c_str(), outPath.c_str());
    printSummary(in, out, voiceSeconds);
    return kExitOk;
}

}  // namespace Zorv
