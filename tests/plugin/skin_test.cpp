// The host tool's skin preview on a private Xvfb: skipped lines reported with
// their numbers, files next to the skin before the embedded ones, no editor
// without an Init, the catalogue skin's pages, and --watch rebuilding the
// editor while an invalid save keeps the last good one on screen.
#include <gtest/gtest.h>  // before X11, whose None macro it would meet

#include "tests/editor/glsession.h"
#include "tests/editor/pngdecode.h"
#include "tests/plugin/toolrun.h"
#include "tests/window/pixels.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace windowtest {
namespace {

struct ToolRun {
    pid_t pid = -1;
    int status = -1;  // exit status, -1 until it ended normally
    std::string out, err;
};

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class SkinCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Zorv::prepareMesa();
        ASSERT_EQ(server.failure(), "");
        setenv("DISPLAY", server.name().c_str(), 1);
        keepAlive = XOpenDisplay(nullptr);  // the server ends with its last client
        ASSERT_NE(keepAlive, nullptr);
        char pattern[] = "/tmp/quelt-skin-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        shot = dir + "/shot.ppm";
    }
    void TearDown() override
    {
        std::system(("rm -rf '" + dir + "'").c_str());
        if (keepAlive)
            XCloseDisplay(keepAlive);
        unsetenv("DISPLAY");
    }

    // Starts plughost skin with the words; stdout and stderr go to files in dir.
    ToolRun start(const std::vector<std::string>& extra)
    {
        std::vector<std::string> words = {QUELT_PLUGHOST_PATH, "skin"};
        words.insert(words.end(), extra.begin(), extra.end());
        ToolRun run;
        run.pid = tooltest::startTool(words, dir + "/out", dir + "/err", true);
        return run;
    }

    void finish(ToolRun& run)
    {
        run.status = tooltest::waitTool(run.pid);
        run.out = tooltest::readText(dir + "/out");
        run.err = tooltest::readText(dir + "/err");
    }

    ToolRun runSkin(const std::vector<std::string>& extra)
    {
        ToolRun run = start(extra);
        finish(run);
        return run;
    }

    // Whether a top-level window's title contains text.
    bool hasWindowTitled(const std::string& text)
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(keepAlive, DefaultRootWindow(keepAlive), &root, &parent, &children, &count))
            return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(keepAlive, children[i], &name) && name)
                found = std::string(name).find(text) != std::string::npos;
            if (name)
                XFree(name);
        }
        if (children)
            XFree(children);
        return found;
    }

    Pixels screenshot() const
    {
        std::ifstream file(shot, std::ios::binary);
        std::string magic;
        Pixels p;
        int depth = 0;
        file >> magic >> p.w >> p.h >> depth;
        file.get();
        if (magic != "P6" || p.w < 1 || p.h < 1 || depth != 255)
            return Pixels();
        p.rgb.resize(size_t(p.w) * p.h * 3);
        file.read(reinterpret_cast<char*>(p.rgb.data()), std::streamsize(p.rgb.size()));
        return file ? p : Pixels();
    }

    Zorv::XvfbServer server;
    Display* keepAlive = nullptr;
    std::string dir, shot;
};

// Frame of a PNG file cut into frames of w x h, as RGB.
Pixels pngFrame(const std::string& path, int frame, int w, int h)
{
    const std::string bytes = tooltest::readText(path);
    int iw = 0, ih = 0;
    std::vector<unsigned char> rgba = Zorv::decodeRgba(
        reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()), &iw, &ih);
    Pixels p;
    if (rgba.empty() || iw < w || ih < h)
        return p;
    const int columns = iw / w;
    const int fx = w * (frame % columns), fy = h * (frame / columns);
    p.w = w;
    p.h = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                p.rgb.push_back(rgba[(size_t(fy + y) * iw + fx + x) * 4 + c]);
    return p;
}

// The part of picture at (x, y) of want's size.
Pixels part(const Pixels& picture, int x, int y, int w, int h)
{
    Pixels p;
    if (x + w > picture.w || y + h > picture.h)
        return p;
    p.w = w;
    p.h = h;
    for (int row = y; row < y + h; ++row)
        p.rgb.insert(p.rgb.end(), picture.at(x, row), picture.at(x, row) + size_t(w) * 3);
    return p;
}

const std::string kDefaultValues =
    "Thresh 0.062469 -75.0 dB\nFade 0.393939 0.40 s\nAttack 0.066667 2.0 ms\n";

TEST_F(SkinCommandTest, ReportsEachSkippedLineAndTakesImagesFromTheSkinsFolder)
{
    const std::string source = std::string(QUELT_SOURCE_DIR) + "/skins/catalogue/bgpot.png";
    writeText(dir + "/own.png", tooltest::readText(source));
    const std::string skin = dir + "/mistakes.txt";
    writeText(skin,
              "# a skin with mistakes\r\n"
              "AddResource col RGBColour 220 240 255\r\n"
              "AddResource font DefFont 12 col Kelvo\r\n"
              "AddResource bg PngResource \"Quelt.png\" 330 195 2\r\n"
              "AddResource own PngResource \"own.png\" 50 50 2\r\n"
              "AddResource gone PngResource \"gone.png\" 10 10 1\r\n"
              "\r\n"
              "Init 330 195 2\r\n"
              "BackgroundMap bg\r\n"
              "AddControl 1 10 10 50 50 GImgUrl own \"x\"\r\n"
              "AddControl 1 55 100 50 50 GImgPot \"Thresh\" knob\r\n"
              "AddControl 1 55 100 50 50 GPotDot \"Thresh\" col 15\r\n"
              "AddControl 1 50 155 60 15 GValue \"Foo\" font\r\n"
              "Frobnicate 1 2\r\n");
    const ToolRun run = runSkin({skin, "--seconds", "1.5", "--screenshot", shot});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string expected =
        skin + ":6: PngResource: file 'gone.png' found neither next to the skin nor embedded\n" +
        skin + ":11: GImgPot: skipped: image 'knob' not found\n" +
        skin + ":12: GPotDot: skipped: needs 4 arguments, has 3\n" +
        skin + ":13: GValue: skipped: parameter 'Foo' not found\n" +
        skin + ":14: Frobnicate: skipped: unknown keyword\n";
    EXPECT_EQ(run.err, expected);
    EXPECT_EQ(run.out, kDefaultValues);
    const Pixels picture = screenshot();
    ASSERT_EQ(picture.w, kW);
    EXPECT_EQ(mismatches(part(picture, 10, 10, 50, 50), pngFrame(source, 0, 50, 50),
                         {0, 0, 50, 50}), 0) << "the image next to the skin";
    EXPECT_EQ(mismatches(picture, backgroundFrame(0), {180, 60, 140, 30}), 0) << "embedded";
}

TEST_F(SkinCommandTest, ASkinWithoutAValidInitBuildsNoEditor)
{
    const std::string skin = dir + "/empty.txt";
    writeText(skin, "AddResource col RGBColour 1 2 3\n");
    ToolRun run = runSkin({skin, "--seconds", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, skin + ": no editor: no Init line\n");
    writeText(skin, "Init 330 195 0\n");
    run = runSkin({skin, "--seconds", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, skin + ":1: Init: skipped: width, height and pages must be at least 1\n" +
                           skin + ": no editor: the Init on line 1 is invalid\n");
    EXPECT_EQ(runSkin({dir + "/missing.txt"}).status, 1);
}

TEST_F(SkinCommandTest, TheCatalogueShowsItsPagesAndTheValuesAfterAClick)
{
    const std::string skins = std::string(QUELT_SOURCE_DIR) + "/skins/";
    // The Switches tab, then the third Thresh radio (band 0.5 to 0.75, centre 0.625).
    const ToolRun run = runSkin({skins + "catalogue.txt", "--seconds", "3", "--click", "237,11",
                             "--click", "111,103", "--screenshot", shot});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "") << "the catalogue builds every line";
    const Pixels picture = screenshot();
    ASSERT_EQ(picture.w, kW);
    ASSERT_EQ(picture.h, kH);
    const std::string art = skins + "catalogue/";
    EXPECT_EQ(mismatches(part(picture, 208, 2, 58, 18), pngFrame(art + "tab2.png", 1, 58, 18),
                         {0, 0, 58, 18}), 0) << "the Switches tab is the active one";
    EXPECT_EQ(mismatches(part(picture, 150, 2, 58, 18), pngFrame(art + "tab1.png", 0, 58, 18),
                         {0, 0, 58, 18}), 0);
    EXPECT_EQ(mismatches(picture, backgroundFrame(1), {0, 20, 140, 50}), 0) << "page 2's frame";
    EXPECT_EQ(run.out, "Thresh 0.625000 -5.6 dB\nFade 0.393939 0.40 s\nAttack 0.066667 2.0 ms\n");
}

TEST_F(SkinCommandTest, WatchRebuildsOnSavesAndKeepsTheLastGoodEditor)
{
    const std::string skin = dir + "/watched.txt";
    const std::string head = "AddResource bg PngResource \"Quelt.png\" 330 195 2\n";
    writeText(skin, head + "Init 330 195 2\nBackgroundImage 0 bg 1\n");
    // Generous pauses: each rebuild opens an editor that must draw first, slow under TSan.
    ToolRun run = start({skin, "--watch", "--seconds", "9", "--screenshot", shot});
    ASSERT_GT(run.pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_TRUE(hasWindowTitled("watched.txt"));
    writeText(skin, head + "Init 300 180 2\nBackgroundImage 0 bg 2\nBogus\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    writeText(skin, head + "AddControl 1 0 0 9 9 GValue Fade nofont\n");
    finish(run);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, skin + ":4: Bogus: skipped: unknown keyword\n" + skin + ": rebuilt\n" +
                           skin + ":2: GValue: skipped: font 'nofont' not found\n" + skin +
                           ": no editor: no Init line\n" + skin +
                           ": keeping the last good editor\n");
    const Pixels picture = screenshot();
    ASSERT_EQ(picture.w, 300) << "the window follows the editor's size";
    ASSERT_EQ(picture.h, 180);
    EXPECT_EQ(mismatches(picture, backgroundFrame(1), {0, 0, 300, 180}), 0)
        << "the editor of the second save stays";
}

}  // namespace
}  // namespace windowtest
