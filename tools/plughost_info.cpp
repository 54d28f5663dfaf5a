// plughost info: everything the plug-in reports through its record and dispatcher.

#include "tools/plughost.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace Zorv {

namespace {

const char* const kCanDoTexts[] = {
    "1in1out", "1in2out", "2in1out", "2in2out", "2in4out", "4in2out", "4in4out", "4in8out",
    "8in4out", "8in8out", "plugAsChannelInsert", "plugAsSend", "bypass", "sendVstEvents",
    "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline", "midiProgramNames", "conformsToWindowRules",
};

std::string fourChars(int32_t code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((uint32_t(code) >> shift) & 0xff);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

void printRecord(const AEffect& e)
{
    std::printf("record: magic 0x%08X '%s', uniqueID 0x%08X '%s', version %d\n",
                unsigned(e.magic), fourChars(e.magic).c_str(), unsigned(e.uniqueID),
                fourChars(e.uniqueID).c_str(), e.version);
    std::printf("        %d inputs, %d outputs, %d programs, %d parameters\n", e.numInputs,
                e.numOutputs, e.numPrograms, e.numParams);
    std::string names;
    const std::pair<int32_t, const char*> flagNames[] = {{effFlagsHasEditor, "editor"},
                                                         {effFlagsCanReplacing, "replacing"},
                                                         {effFlagsCanDoubleReplacing, "double"},
                                                         {effFlagsProgramChunks, "chunks"}};
    for (const auto& [flag, name] : flagNames)
        if (e.flags & flag)
            names += (names.empty() ? "" : " ") + std::string(name);
    std::printf("        flags %d (%s), initialDelay %d, ioRatio %g\n", e.flags, names.c_str(),
                e.initialDelay, e.ioRatio);
}

void printIdentity(GPluginHost& host)
{
    std::printf("effect \"%s\", vendor \"%s\", product \"%s\", vendor version %ld\n",
                host.effectName().c_str(), host.vendorString().c_str(),
                host.productString().c_str(), long(host.vendorVersion()));
    std::printf("VST version %ld, category %ld, tail %ld\n", long(host.dispatch(effGetVstVersion)),
                long(host.dispatch(effGetPlugCategory)), long(host.dispatch(effGetTailSize)));
}

void printParameters(GPluginHost& host)
{
    std::printf("parameters:\n");
    for (int i = 0; i < host.effect()->numParams; ++i)
        std::printf("  %2d  %-8s %-6s %10s  (normalised %.6f)\n", i, host.paramName(i).c_str(),
                    host.paramLabel(i).c_str(), host.paramDisplay(i).c_str(),
                    double(host.getParameter(i)));
}

void printPrograms(GPluginHost& host)
{
    std::printf("programs (current %d):\n", host.program());
    for (int i = 0; i < host.effect()->numPrograms; ++i)
        std::printf("  %2d  %s\n", i, host.programNameIndexed(i).c_str());
}

void printCanDo(GPluginHost& host)
{
    std::printf("canDo:\n");
    for (const char* text : kCanDoTexts)
        std::printf("  %-22s %2ld\n", text, long(host.canDo(text)));
}

void printChunks(GPluginHost& host)
{
    std::vector<uint8_t> bytes;
    std::printf("chunk sizes: program %ld, bank %ld bytes\n", long(host.getChunk(true, bytes)),
                long(host.getChunk(false, bytes)));
}

}  // namespace

int runInfo(const std::string& plugin)
{
    GPluginHost host;
    if (!openPlugin(host, plugin))
        return kExitPluginLoad;
    std::printf("plug-in: %s\n", plugin.c_str());
    printRecord(*host.effect());
    printIdentity(host);
    printParameters(host);
    printPrograms(host);
    printCanDo(host);
    printChunks(host);
    return kExitOk;
}

}  // namespace Zorv
