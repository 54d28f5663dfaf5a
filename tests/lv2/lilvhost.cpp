#include "tests/lv2/lilvhost.h"

#include <lv2/presets/presets.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace lv2test {

std::string privateLv2Path()
{
    const std::string dir = "/tmp/quelt-lv2-path-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::error_code ignored;
    std::filesystem::create_directory_symlink(QUELT_LV2_BUNDLE, dir + "/Quelt.lv2", ignored);
    return dir;
}

LilvHost::LilvHost()
{
    setenv("LV2_PATH", privateLv2Path().c_str(), 1);
    lilvWorld = lilv_world_new();
    lilv_world_load_all(lilvWorld);
}

LilvHost::~LilvHost()
{
    lilv_world_free(lilvWorld);
}

LV2_URID LilvHost::mapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    auto* host = static_cast<LilvHost*>(handle);
    for (size_t i = 0; i < host->uris.size(); ++i)
        if (host->uris[i] == uri)
            return LV2_URID(i + 1);
    host->uris.push_back(uri);
    return LV2_URID(host->uris.size());
}

const LilvPlugin* LilvHost::plugin(const std::string& uri) const
{
    LilvNode* node = lilv_new_uri(lilvWorld, uri.c_str());
    const LilvPlugin* found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), node);
    lilv_node_free(node);
    return found;
}

std::vector<std::string> LilvHost::presetUris(const LilvPlugin* plugin) const
{
    LilvNode* presetClass = lilv_new_uri(lilvWorld, LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
    std::vector<std::string> uris;
    LILV_FOREACH (nodes, i, presets)
        uris.push_back(lilv_node_as_uri(lilv_nodes_get(presets, i)));
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
    std::sort(uris.begin(), uris.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return uris;
}

std::vector<std::string> LilvHost::presetLabels(const LilvPlugin* plugin) const
{
    LilvNode* label = lilv_new_uri(lilvWorld, LILV_NS_RDFS "label");
    std::vector<std::string> labels;
    for (const std::string& uri : presetUris(plugin)) {
        LilvNode* preset = lilv_new_uri(lilvWorld, uri.c_str());
        lilv_world_load_resource(lilvWorld, preset);
        LilvNode* text = lilv_world_get(lilvWorld, preset, label, nullptr);
        labels.push_back(text ? lilv_node_as_string(text) : "");
        lilv_node_free(text);
        lilv_node_free(preset);
    }
    lilv_node_free(label);
    return labels;
}

TestInstance::TestInstance(LilvHost& host, const LilvPlugin* plugin, double rate)
    : host(host), plugin(plugin)
{
    if (!plugin)
        return;
    instance = lilv_plugin_instantiate(plugin, rate, nullptr);
    if (!instance)
        return;
    LilvNode* controlClass = lilv_new_uri(host.world(), LILV_URI_CONTROL_PORT);
    for (uint32_t p = 0; p < lilv_plugin_get_num_ports(plugin); ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
        if (!lilv_port_is_a(plugin, port, controlClass))
            continue;
        const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
        LilvNode* value = nullptr;
        lilv_port_get_range(plugin, port, &value, nullptr, nullptr);
        controls[symbol] = value ? lilv_node_as_float(value) : 0.0f;
        lilv_node_free(value);
    }
    lilv_node_free(controlClass);
    for (auto& [symbol, value] : controls) {
        LilvNode* node = lilv_new_string(host.world(), symbol.c_str());
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, node);
        lilv_instance_connect_port(instance, lilv_port_get_index(plugin, port), &value);
        lilv_node_free(node);
    }
    lilv_instance_activate(instance);
}

TestInstance::~TestInstance()
{
    if (!instance)
        return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void TestInstance::connectAudio(const std::string& symbol, float* buffer)
{
    LilvNode* node = lilv_new_string(host.world(), symbol.c_str());
    if (const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, node))
        lilv_instance_connect_port(instance, lilv_port_get_index(plugin, port), buffer);
    lilv_node_free(node);
}

void TestInstance::run(uint32_t frames)
{
    lilv_instance_run(instance, frames);
}

bool TestInstance::applyPreset(const std::string& uri)
{
    LilvNode* node = lilv_new_uri(host.world(), uri.c_str());
    lilv_world_load_resource(host.world(), node);
    LilvState* state = lilv_state_new_from_world(host.world(), host.map(), node);
    lilv_node_free(node);
    if (!state)
        return false;
    auto setValue = [](const char* symbol, void* self, const void* value, uint32_t size, uint32_t) {
        if (size == sizeof(float))
            static_cast<TestInstance*>(self)->controls[symbol] = *static_cast<const float*>(value);
    };
    lilv_state_restore(state, instance, setValue, this, 0, nullptr);
    lilv_state_free(state);
    return true;
}

}  // namespace lv2test
