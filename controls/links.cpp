#include "controls/links.h"

#include "editor/builder.h"
#include "editor/resources.h"
#include "xp/tokenreader.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Zorv {

namespace {

const char kOpener[] = "xdg-open";
const char kDefaultPath[] = "/usr/bin:/bin";
constexpr size_t kLengthLimit = 256;  // the address length is counted up to here
constexpr int kFirstInheritedFd = 3;  // descriptors past stdin, stdout, stderr
const char kSessionStarter[] = "/usr/bin/setsid";  // util-linux, on every Debian system

bool isOpenable(const char* address)
{
    return address && address[0] != '-' && strnlen(address, kLengthLimit) > kShortestIgnoredAddress;
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The opener's full path from PATH; empty components (the working directory) are skipped.
std::string findOpener()
{
    const char* path = getenv("PATH");
    std::string dirs = path ? path : kDefaultPath;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        if (end > start) {
            std::string candidate = dirs.substr(start, end - start) + "/" + kOpener;
            if (isExecutableFile(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

// posix_spawn, not fork: a host's process is large and has many threads. The
// child is setsid, which starts the opener in a session of its own and exits
// at once; it is reaped here, so the opener is adopted by init and nothing
// waits for it.
bool spawnDetached(const char* path, const char* address)
{
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attributes;
    sigset_t empty;
    sigemptyset(&empty);
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addclosefrom_np(&files, kFirstInheritedFd);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &empty);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    std::string name = "setsid", detach = "--fork", opener = path, argument = address;
    char* argv[] = {name.data(), detach.data(), opener.data(), argument.data(), nullptr};
    pid_t child = 0;
    const bool started = posix_spawn(&child, kSessionStarter, &files, &attributes, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (!started)
        return false;
    int status = 0;
    pid_t reaped;
    do
        reaped = waitpid(child, &status, 0);
    while (reaped < 0 && errno == EINTR);
    // ECHILD: the host ignores SIGCHLD or reaped the child itself.
    return reaped < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == EXIT_SUCCESS);
}

}  // namespace

bool OpenAddress(const char* address)
{
    if (!isOpenable(address))
        return false;
    const std::string path = findOpener();
    if (path.empty())
        return false;
    return spawnDetached(path.c_str(), address);
}

// GUrl

GUrl::GUrl(const ControlArgs& args, const char* address)
    : GEditorControl(args), url(address ? address : "")
{
}

GEditorControl* GUrl::create(const ControlArgs& args, XP::TokenReader& tokens,
                             GEditorSkinBuilder&)
{
    const char* address = tokens.next();
    return address ? new GUrl(args, address) : nullptr;
}

int GUrl::cursorAt(int, int)
{
    return kCursorHand;
}

bool GUrl::onLeftUp(bool, bool, int px, int py)
{
    if (px >= 0 && px < w && py >= 0 && py < h)
        OpenAddress(url.c_str());
    return false;
}

// GImgUrl

GImgUrl::GImgUrl(const ControlArgs& args, GImageResource* image, const char* address)
    : GUrl(args, address), image(image)
{
}

GEditorControl* GImgUrl::create(const ControlArgs& args, XP::TokenReader& tokens,
                                GEditorSkinBuilder& builder)
{
    GImageResource* image = builder.findImage(tokens.next());
    const char* address = tokens.next();
    if (!image || !address)
        return nullptr;
    return new GImgUrl(args, image, address);
}

void GImgUrl::draw(GCanvas* canvas)
{
    image->drawFrame(canvas, 0, 0, 0);
}

}  // namespace Zorv
