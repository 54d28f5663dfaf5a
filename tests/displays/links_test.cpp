// Links start a stand-in xdg-open placed first on PATH: the address arrives
// as one unchanged argument, nothing runs through a shell, nothing waits for
// the opener and no child is left behind; short addresses, right clicks and
// releases elsewhere open nothing.
#include "controls/links.h"
#include "displaytest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Zorv;
using displaytest::DisplayFixture;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(10);
constexpr auto kGrace = std::chrono::milliseconds(300);

bool exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

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
        rest >> state >> parent;
        count += parent == getpid() ? 1 : 0;
    }
    if (proc)
        closedir(proc);
    return count;
}

// A temporary directory that is the whole PATH, with a stand-in opener that
// appends "<argument count>|<first argument>" to a log.
struct OpenerFixture : DisplayFixture {
    OpenerFixture()
    {
        char pattern[] = "/tmp/quelt-links-XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "";
        log = dir + "/log";
        const char* path = getenv("PATH");
        savedPath = path ? path : "";
        setenv("PATH", dir.c_str(), 1);
    }
    ~OpenerFixture()
    {
        setenv("PATH", savedPath.c_str(), 1);
        std::string command = "rm -rf '" + dir + "'";
        EXPECT_EQ(system(command.c_str()), 0);
    }

    void installOpener(const std::string& before = "", mode_t mode = 0755)
    {
        const std::string script = dir + "/xdg-open";
        std::ofstream out(script);
        out << "#!/bin/sh\n" << before << "printf '%s|%s\\n' \"$#\" \"$1\" >> '" << log << "'\n";
        out.close();
        chmod(script.c_str(), mode);
    }

    std::vector<std::string> records() const
    {
        std::vector<std::string> lines;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // The log once it holds count records (or the patience ran out), after a grace period.
    std::vector<std::string> awaitRecords(size_t count) const
    {
        const auto deadline = Clock::now() + kPatience;
        while (records().size() < count && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(kGrace);
        return records();
    }

    std::string dir, log, savedPath;
};

}  // namespace

TEST(Links, HostileAddressArrivesAsOneUnchangedArgument)
{
    OpenerFixture f;
    f.installOpener();
    const std::string address = "https://example.com/a b?q='x'&r=\"y\";>" + f.dir +
                                "/semi;$(>" + f.dir + "/subst)`>" + f.dir + "/tick` $HOME |&";
    const int children = childCount();
    EXPECT_TRUE(OpenAddress(address.c_str()));
    EXPECT_EQ(childCount(), children);  // the intermediate is reaped, the opener adopted

    const std::vector<std::string> lines = f.awaitRecords(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "1|" + address);
    EXPECT_FALSE(exists(f.dir + "/semi"));
    EXPECT_FALSE(exists(f.dir + "/subst"));
    EXPECT_FALSE(exists(f.dir + "/tick"));
    EXPECT_EQ(childCount(), children);
}

TEST(Links, ShortOrOptionLikeAddressesOpenNothing)
{
    OpenerFixture f;
    f.installOpener();
    EXPECT_FALSE(OpenAddress(nullptr));
    EXPECT_FALSE(OpenAddress(""));
    EXPECT_FALSE(OpenAddress("http://"));       // seven characters
    EXPECT_FALSE(OpenAddress("--manual-page"));  // would be an option of the opener
    EXPECT_TRUE(OpenAddress("http://a"));        // eight
    const std::vector<std::string> lines = f.awaitRecords(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "1|http://a");
}

TEST(Links, OnlyALeftReleaseOverTheLinkOpensIt)
{
    OpenerFixture f;
    f.installOpener();
    const char* never = "https://never.example";
    auto* link = f.add(new GUrl(f.args(0, 0, 160, 55, 2), never));
    auto* knob = f.add(new skintest::ProbeControl(f.args(200, 0, 50, 50, 2)));
    f.skin.setPage(2);
    EXPECT_EQ(f.skin.cursorAt(10, 10), kCursorHand);

    EXPECT_FALSE(f.skin.onLeftDown(false, false, 10, 10));  // a link takes no capture
    f.skin.onLeftUp(false, false, 170, 10);                  // released outside
    f.skin.onRightDown(false, false, 10, 10);
    f.skin.onRightUp(false, false, 10, 10);
    f.skin.onLeftDown(false, false, 210, 10);  // the knob captures
    f.skin.onMouseMove(false, false, 10, 10);
    f.skin.onLeftUp(false, false, 10, 10);
    EXPECT_EQ(knob->events.back(), "LU -190,10");
    EXPECT_FALSE(link->onLeftUp(false, false, 160, 10));  // a point outside the link
    f.skin.setPage(1);
    f.skin.onLeftUp(false, false, 10, 10);  // the link's page is not shown

    f.add(new GUrl(f.args(0, 60, 160, 55, 1), "https://page1.example"));
    EXPECT_FALSE(f.skin.onLeftDown(false, false, 300, 150));  // the bare background
    EXPECT_FALSE(f.skin.onLeftUp(false, false, 10, 70));
    const std::vector<std::string> lines = f.awaitRecords(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "1|https://page1.example");
}

TEST(Links, MissingOpenerIsHarmless)
{
    OpenerFixture f;
    const int children = childCount();
    GUrl link(f.args(0, 0, 160, 55), "https://example.com/");
    link.refresh(&f.canvas);
    EXPECT_FALSE(OpenAddress(link.address()));
    EXPECT_FALSE(link.onLeftUp(false, false, 5, 5));
    EXPECT_FALSE(link.isDirty());
    EXPECT_EQ(childCount(), children);

    f.installOpener("", 0644);  // present but not executable
    EXPECT_FALSE(OpenAddress(link.address()));
    setenv("PATH", "", 1);      // the working directory is never searched
    EXPECT_FALSE(OpenAddress(link.address()));
    EXPECT_EQ(childCount(), children);
}

TEST(Links, NothingWaitsForTheBrowser)
{
    OpenerFixture f;
    f.installOpener("/bin/sleep 2\n");
    GImgUrl link(f.args(0, 0, 33, 19), f.image(1), "https://slow.example");
    const int children = childCount();
    const auto start = Clock::now();
    link.onLeftUp(false, false, 1, 1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(childCount(), children);
    EXPECT_TRUE(f.records().empty());
    const std::vector<std::string> lines = f.awaitRecords(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "1|https://slow.example");
}
