// A small LV2 host on lilv for the tests: a world loaded from a private
// LV2_PATH holding only the built bundle, plug-ins found by URI, instances
// with their ports connected by symbol, and presets restored into them.
// One thread drives it. Owns the world, its nodes and the instances it makes.
#pragma once

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

namespace lv2test {

// A private LV2_PATH directory holding only a link to the built bundle.
std::string privateLv2Path();

class LilvHost {
public:
    LilvHost();   // LV2_PATH set to privateLv2Path(), then the world loaded
    ~LilvHost();
    LilvHost(const LilvHost&) = delete;
    LilvHost& operator=(const LilvHost&) = delete;

    const LilvPlugin* plugin(const std::string& uri) const;  // null when not found
    std::vector<std::string> presetLabels(const LilvPlugin* plugin) const;  // in URI order
    std::vector<std::string> presetUris(const LilvPlugin* plugin) const;    // sorted
    LilvWorld* world() const { return lilvWorld; }
    LV2_URID_Map* map() { return &uridMap; }

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);

    LilvWorld* lilvWorld;
    std::vector<std::string> uris;
    LV2_URID_Map uridMap{this, mapUri};
};

// One running instance; control values live here, audio buffers are the caller's.
class TestInstance {
public:
    TestInstance(LilvHost& host, const LilvPlugin* plugin, double rate);
    ~TestInstance();
    TestInstance(const TestInstance&) = delete;
    TestInstance& operator=(const TestInstance&) = delete;

    bool ok() const { return instance != nullptr; }
    float& control(const std::string& symbol) { return controls[symbol]; }  // set before run
    void connectAudio(const std::string& symbol, float* buffer);
    void run(uint32_t frames);
    bool applyPreset(const std::string& uri);  // port values from the preset, false if none

private:
    LilvHost& host;
    const LilvPlugin* plugin;
    LilvInstance* instance = nullptr;
    std::map<std::string, float> controls;
};

}  // namespace lv2test
