#include "tools/host/library.h"

#include <dlfcn.h>

namespace Zorv {

GPluginLibrary::~GPluginLibrary()
{
    close();
}

bool GPluginLibrary::open(const std::string& path)
{
    close();
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        lastError = why ? why : "cannot open " + path;
        return false;
    }
    void* symbol = dlsym(handle, "VSTPluginMain");
    if (!symbol)
        symbol = dlsym(handle, "main");
    if (!symbol) {
        lastError = path + " exports neither VSTPluginMain nor main";
        close();
        return false;
    }
    entryPoint = reinterpret_cast<PluginEntry>(symbol);
    return true;
}

void GPluginLibrary::close()
{
    entryPoint = nullptr;
    if (handle)
        dlclose(handle);
    handle = nullptr;
}

}  // namespace Zorv
