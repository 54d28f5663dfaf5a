// Links start a stand-in xdg-open that is alone on PATH: the address arrives
// as one unchanged argument, nothing runs through a shell, nothing waits for
// the opener and no child is left behind; short addresses, right clicks and
// releases elsewhere open nothing.
#include "controls/links.h"
#include "displaytest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Zorv;
using namespace std::chrono_literals;

namespace {

// Processes whose parent is this process, living or zombie.
int childCount()
{
    int count = 0;
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        char state = 0;
        int parent = 0;
        count += (rest >> state >> parent) && parent == getpid() ? 1 : 0;
    }
    if (proc)
        closedir(proc);
    return count;
}

// A temporary directory as the whole PATH; its stand-in opener appends
// "<argument count>|<first argument>" to a log.
struct OpenerFixture : displaytest::DisplayFixture {
    OpenerFixture() : savedPath(getenv("PATH") ? getenv("PATH") : "")
    {
        char pattern[] = "/tmp/quelt-links-XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "/nonexistent";
        setenv("PATH", dir.c_str(), 1);
        children = childCount();
    }
    ~OpenerFixture()
    {
        setenv("PATH", savedPath.c_str(), 1);
        EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
    }

    void installOpener(const std::string& before = "", mode_t mode = 0755)
    {
        const std::string script = dir + "/xdg-open";
        std::ofstream(script) << "#!/bin/sh\n" << before << "printf '%s|%s\\n' \"$#\" \"$1\" >> '"
                              << dir << "/log'\n";
        chmod(script.c_str(), mode);
    }

    // The log once it holds count records or ten seconds passed, after a grace period.
    std::vector<std::string> awaitRecords(size_t count) const
    {
        std::vector<std::string> lines;
        for (int tries = 0; tries < 1000 && (lines = records()).size() < count; ++tries)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(300ms);
        return records();
    }
    std::vector<std::string> records() const
    {
        std::vector<std::string> lines;
        std::ifstream in(dir + "/log");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool exists(const char* file) const { return access((dir + file).c_str(), F_OK) == 0; }

    std::string savedPath, dir;
    int children = 0;
};

}  // namespace

TEST(DisplayLinks, HostileAddressArrivesAsOneUnchangedArgument)
{
    OpenerFixture f;
    f.installOpener();
    const std::string address = "https://example.com/a b?q='x'&r=\"y\";>" + f.dir + "/semi;$(>" +
                                f.dir + "/subst)`>" + f.dir + "/tick` $HOME |&";
    EXPECT_FALSE(OpenAddress(nullptr));
    EXPECT_FALSE(OpenAddress("http://"));        // seven characters
    EXPECT_FALSE(OpenAddress("--manual-page"));  // would be an option of the opener
    EXPECT_TRUE(OpenAddress(address.c_str()));
    EXPECT_EQ(childCount(), f.children);  // the intermediate is reaped, the opener adopted

    const std::vector<std::string> lines = f.awaitRecords(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "1|" + address);
    EXPECT_FALSE(f.exists("/semi") || f.exists("/subst") || f.exists("/tick"));
}

TEST(DisplayLinks, OnlyALeftReleaseOverAShownLinkOpensIt)
{
    OpenerFixture f;
    f.installOpener();
    auto* link = f.add(new GUrl(f.args(0, 0, 160, 55, 2), "https://never.example"));
    f.add(new skintest::ProbeControl(f.args(200, 0, 50, 50, 2)));  // takes the capture
    f.add(new GUrl(f.args(0, 60, 160, 55, 1), "https://page1.example"));
    f.skin.setPage(2);
    EXPECT_EQ(f.skin.cursorAt(10, 10), kCursorHand);
    EXPECT_FALSE(f.skin.onLeftDown(false, false, 10, 10));  // a link takes no capture
    f.skin.onLeftUp(false, false, 170, 10);                  // released outside
    f.skin.onRightDown(false, false, 10, 10);
    f.skin.onRightUp(false, false, 10, 10);
    f.skin.onLeftDown(false, false, 210, 10);
    f.skin.onLeftUp(false, false, 10, 10);  // goes to the captured probe
    EXPECT_FALSE(link->onLeftUp(false, false, 160, 10));  // a point outside the link
    f.skin.setPage(1);
    f.skin.onLeftUp(false, false, 10, 10);  // the link's page is not shown

    f.skin.onLeftDown(false, false, 300, 150);  // the bare background
    f.skin.onLeftUp(false, false, 10, 70);
    const std::vector<std::string> lines = f.awaitRecords(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "1|https://page1.example");
}

TEST(DisplayLinks, MissingOpenerIsHarmless)
{
    OpenerFixture f;
    GUrl link(f.args(0, 0, 160, 55), "https://example.com/");
    link.refresh(&f.canvas);
    EXPECT_FALSE(OpenAddress(link.address()));
    EXPECT_FALSE(link.onLeftUp(false, false, 5, 5));
    EXPECT_FALSE(link.isDirty());
    f.installOpener("", 0644);  // present but not executable
    EXPECT_FALSE(OpenAddress(link.address()));
    setenv("PATH", "", 1);  // the working directory is never searched
    EXPECT_FALSE(OpenAddress(link.address()));
    EXPECT_EQ(childCount(), f.children);
}

TEST(DisplayLinks, NothingWaitsForTheBrowser)
{
    OpenerFixture f;
    f.installOpener("/bin/sleep 2\n");
    GImgUrl link(f.args(0, 0, 33, 19), f.image(1), "https://slow.example");
    const auto start = std::chrono::steady_clock::now();
    link.onLeftUp(false, false, 1, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(childCount(), f.children);
    EXPECT_TRUE(f.records().empty());
    EXPECT_EQ(f.awaitRecords(1), std::vector<std::string>{"1|https://slow.example"});
}
