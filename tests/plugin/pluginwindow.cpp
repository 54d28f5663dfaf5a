#include "tests/plugin/pluginwindow.h"

#include "tests/window/pixels.h"

namespace windowtest {

void PluginWindowTest::TearDown()
{
    setPollHook(nullptr);
    closePlugin();
    HostWindowTest::TearDown();
}

void PluginWindowTest::openPlugin()
{
    closePlugin();
    Zorv::GHostConfig config;
    config.blockSize = kBlock;
    config.inputs = 2;
    config.outputs = 2;
    host = std::make_unique<Zorv::GPluginHost>(config);
    ASSERT_TRUE(host->open(QUELT_PLUGIN_PATH)) << host->error();
    setPollHook([this] {  // the test's thread is the host's: it idles while it waits
        if (host)
            host->dispatch(effEditIdle);
    });
}

void PluginWindowTest::closePlugin()
{
    if (!host)
        return;
    host->dispatch(effEditClose);
    host->close();
    host.reset();
}

bool PluginWindowTest::openEditor()
{
    if (host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) != 1)
        return false;
    editor = waitForEditor();
    return editor != 0;
}

float PluginWindowTest::processLevel(float level, int blocks)
{
    float in[kBlock], outL[kBlock], outR[kBlock];
    for (float& s : in)
        s = level;
    float* ins[2] = {in, in};
    float* outs[2] = {outL, outR};
    for (int i = 0; i < blocks; ++i)
        host->processBlock(ins, outs, kBlock);
    return outL[kBlock - 1] / level;
}

}  // namespace windowtest
