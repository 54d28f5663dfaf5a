// The host tool's gui command on a private Xvfb: it opens the editor in a
// window of the editor's size, plays the demo through it, clicks where asked,
// writes the window's picture and ends by itself.
#include <gtest/gtest.h>  // before X11, whose None macro it would meet

#include "tests/editor/glsession.h"
#include "tests/plugin/toolrun.h"
#include "tests/window/pixels.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace windowtest {
namespace {

// Runs plughost gui with extra arguments; its exit status, -1 if it did not run.
int runGui(const std::vector<std::string>& extra)
{
    std::vector<std::string> words = {QUELT_PLUGHOST_PATH, "--plugin", QUELT_PLUGIN_PATH, "gui"};
    words.insert(words.end(), extra.begin(), extra.end());
    return tooltest::waitTool(tooltest::startTool(words, "", "", true));
}

Pixels readPpm(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, depth = 0;
    file >> magic >> w >> h >> depth;
    file.get();
    Pixels p;
    if (magic != "P6" || w != kW || h != kH || depth != 255)
        return p;
    p.w = w;
    p.h = h;
    p.rgb.resize(size_t(w) * h * 3);
    file.read(reinterpret_cast<char*>(p.rgb.data()), std::streamsize(p.rgb.size()));
    return file ? p : Pixels();
}

class GuiCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Zorv::prepareMesa();
        ASSERT_EQ(server.failure(), "");
        setenv("DISPLAY", server.name().c_str(), 1);
        keepAlive = XOpenDisplay(nullptr);  // the server ends with its last client
        ASSERT_NE(keepAlive, nullptr);
        shot = ::testing::TempDir() + "quelt-gui-" + std::to_string(getpid()) + ".ppm";
    }
    void TearDown() override
    {
        std::remove(shot.c_str());
        if (keepAlive)
            XCloseDisplay(keepAlive);
        unsetenv("DISPLAY");
    }

    Zorv::XvfbServer server;
    Display* keepAlive = nullptr;
    std::string shot;
};

TEST_F(GuiCommandTest, ShowsTheEditorAndItsSecondPage)
{
    ASSERT_EQ(runGui({"--seconds", "1.5", "--screenshot", shot}), 0);
    Pixels picture = readPpm(shot);
    ASSERT_FALSE(picture.rgb.empty());
    EXPECT_EQ(mismatches(picture, backgroundFrame(0), {0, 20, 180, 80}), 0);

    ASSERT_EQ(runGui({"--seconds", "2", "--click", "290,11", "--screenshot", shot}), 0);
    picture = readPpm(shot);
    ASSERT_FALSE(picture.rgb.empty());
    EXPECT_EQ(mismatches(picture, backgroundFrame(1), {0, 20, kW, 50}), 0);
}

TEST_F(GuiCommandTest, WithoutADisplayItFailsCleanly)
{
    unsetenv("DISPLAY");
    EXPECT_EQ(runGui({"--seconds", "1"}), 1);
}

}  // namespace
}  // namespace windowtest
