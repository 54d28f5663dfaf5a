// GPluginLibrary: one plug-in shared library opened with dlopen and its entry
// point. Used by one host thread; owns the library handle and closes it on
// destruction.
#pragma once

#include "shell/vst.h"

#include <string>

namespace Zorv {

typedef AEffect* (*PluginEntry)(audioMasterCallback host);

class GPluginLibrary {
public:
    GPluginLibrary() = default;
    GPluginLibrary(const GPluginLibrary&) = delete;
    GPluginLibrary& operator=(const GPluginLibrary&) = delete;
    ~GPluginLibrary();

    // Opens path (RTLD_NOW | RTLD_LOCAL) and finds VSTPluginMain, else main; false with error() set.
    bool open(const std::string& path);
    // The entry point found by open, or null.
    PluginEntry entry() const { return entryPoint; }
    // Closes the library; the entry point becomes null.
    void close();
    // Why the last open failed.
    const std::string& error() const { return lastError; }

private:
    void* handle = nullptr;
    PluginEntry entryPoint = nullptr;
    std::string lastError;
};

}  // namespace Zorv
