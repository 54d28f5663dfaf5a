// The plug-in library exports its entry point under its two names and nothing else.

#include "tests/host/hostfixture.h"

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <sstream>

namespace Zorv {
namespace {

std::set<std::string> definedDynamicSymbols(const std::string& path)
{
    static const std::set<std::string> linkerSymbols = {"_init", "_fini", "_edata", "_end",
                                                        "__bss_start"};
    std::set<std::string> names;
    FILE* pipe = popen(("nm -D --defined-only '" + path + "'").c_str(), "r");
    if (!pipe)
        return names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string address, kind, name;
        if (fields >> address >> kind >> name && !linkerSymbols.count(name))
            names.insert(name);
    }
    EXPECT_EQ(pclose(pipe), 0) << "nm failed on " << path;
    return names;
}

TEST(Exports, OnlyTheEntryPointUnderBothNames)
{
    EXPECT_EQ(definedDynamicSymbols(kPluginPath), (std::set<std::string>{"VSTPluginMain", "main"}));
    void* library = dlopen(kPluginPath, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    void* entry = dlsym(library, "VSTPluginMain");
    EXPECT_NE(entry, nullptr);
    EXPECT_EQ(dlsym(library, "main"), entry) << "main is the same function";
    dlclose(library);
}

}  // namespace
}  // namespace Zorv
