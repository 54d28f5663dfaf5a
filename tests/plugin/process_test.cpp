// The host tool's process command refuses parameter values that are not
// finite numbers before it writes anything, naming the option.
#include "tests/plugin/toolrun.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kDir = "/tmp/quelt-process-test-" + std::to_string(getpid());

// A second of 16-bit mono silence at 44100 Hz.
void writeWav(const std::string& path)
{
    const uint32_t rate = 44100, frames = 44100, bytes = frames * 2;
    std::ofstream f(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4);
    u32(36 + bytes);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    f.write("data", 4);
    u32(bytes);
    f.write(std::string(bytes, '\0').data(), bytes);
}

// Runs plughost process with one --param; exit status, stderr in error.
int processWith(const std::string& param, const std::string& out, std::string& error)
{
    const std::string errPath = kDir + "/stderr.txt";
    const int status = tooltest::waitTool(tooltest::startTool(
        {QUELT_PLUGHOST_PATH, "--plugin", QUELT_PLUGIN_PATH, "process", kDir + "/in.wav", out,
         "--param", param},
        "", errPath, false));
    error = tooltest::readText(errPath);
    return status;
}

bool exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

TEST(ProcessCommand, ParameterValuesMustBeFiniteNumbers)
{
    ASSERT_EQ(system(("mkdir -p " + kDir).c_str()), 0);
    writeWav(kDir + "/in.wav");
    const std::string out = kDir + "/out.wav";
    std::string error;
    for (const char* bad : {"thresh=abc", "attack=nan", "fade=inf", "thresh=-Inf", "thresh=",
                            "thresh=-20dB", "attack=1e999"}) {
        EXPECT_EQ(processWith(bad, out, error), 2) << bad;
        EXPECT_NE(error.find("--param"), std::string::npos) << bad << ": " << error;
        EXPECT_FALSE(exists(out)) << bad;
    }
    EXPECT_EQ(processWith("thresh=-20", out, error), 0) << error;
    EXPECT_NE(error.find("Thresh = -20.0"), std::string::npos) << error;
    EXPECT_TRUE(exists(out));
    EXPECT_EQ(system(("rm -rf " + kDir).c_str()), 0);
}

}  // namespace
