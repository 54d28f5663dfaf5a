// GEffect's host-information variables and "${Name}" expansion for labels.
#include "effect/effect.h"

#include "effect/numbers.h"

#include <cstdio>
#include <cstring>

namespace Zorv {

namespace {

constexpr int kMaxVariableName = 63;
constexpr size_t kHostTextSize = 256;
const char kUnknown[] = "Unknown";

void copyBounded(char* out, int size, const char* text)
{
    if (size > 0)
        copyText(out, text ? text : "", size_t(size - 1));
}

}  // namespace

void GEffect::getVariable(char* out, int size, const char* name)
{
    if (!out || size <= 0)
        return;
    out[0] = 0;
    if (!name)
        return;
    if (strcmp(name, "HostVend") == 0 || strcmp(name, "HostName") == 0) {
        std::lock_guard<std::mutex> hold(factsMutex);
        const std::string& host = name[4] == 'V' ? hostVendor : hostProduct;
        copyBounded(out, size, host.empty() ? kUnknown : host.c_str());
    } else if (strcmp(name, "PlugVer") == 0) {
        copyBounded(out, size, versionText());
    } else if (strcmp(name, "PlugBuild") == 0) {
        copyBounded(out, size, buildText());
    } else if (strcmp(name, "Platform") == 0) {
        copyBounded(out, size, platformName());
    } else if (strcmp(name, "BuildDate") == 0) {
        copyBounded(out, size, buildDate());
    } else if (strcmp(name, "SRate") == 0) {
        formatNumber(out, size, 0, getSampleRate());
    } else if (strcmp(name, "Inputs") == 0) {
        snprintf(out, size_t(size), "%d", inputChannels());
    } else if (strcmp(name, "Outputs") == 0) {
        snprintf(out, size_t(size), "%d", outputChannels());
    }
}

void GEffect::readHostFacts()
{
    char vendor[kHostTextSize] = {}, product[kHostTextSize] = {};
    if (!getHostVendorString(vendor))
        vendor[0] = 0;
    if (!getHostProductString(product))
        product[0] = 0;
    vendor[kHostTextSize - 1] = product[kHostTextSize - 1] = 0;
    std::lock_guard<std::mutex> hold(factsMutex);
    hostVendor = vendor;
    hostProduct = product;
}

void GEffect::expandVariables(char* out, int size, const char* text)
{
    if (!out || size <= 0)
        return;
    int used = 0;
    out[0] = 0;
    if (!text)
        return;
    const char* p = text;
    while (*p && used < size - 1) {
        if (p[0] != '$' || p[1] != '{') {
            out[used++] = *p++;
            continue;
        }
        p += 2;
        char name[kMaxVariableName + 1] = {};
        int length = 0;
        for (; *p && *p != '}'; ++p)
            if (length < kMaxVariableName)
                name[length++] = *p;
        if (*p == '}')
            ++p;
        char value[kVariableValueSize];
        getVariable(value, kVariableValueSize, name);
        for (const char* v = value; *v && used < size - 1; ++v)
            out[used++] = *v;
    }
    out[used] = 0;
}

}  // namespace Zorv
