#include "controls/links.h"

#include "editor/builder.h"
#include "editor/resources.h"
#include "xp/tokenreader.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Zorv {

namespace {

const char kOpener[] = "xdg-open";
const char kDefaultPath[] = "/usr/bin:/bin";
constexpr size_t kLengthLimit = 256;  // the address length is counted up to here
constexpr int kFirstInheritedFd = 3;  // descriptors past stdin, stdout, stderr
constexpr int kExecFailed = 127;

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

// Grandchild side: only async-signal-safe calls from here to execve.
[[noreturn]] void execDetached(const char* path, char* const argv[], const sigset_t* mask)
{
    setsid();
    sigprocmask(SIG_SETMASK, mask, nullptr);
#ifdef SYS_close_range
    syscall(SYS_close_range, kFirstInheritedFd, ~0U, 0);
#endif
    execve(path, argv, environ);
    _exit(kExecFailed);
}

// Double fork: the intermediate child exits at once and is reaped here, so
// the opener is adopted by init and nothing waits for it.
bool spawnDetached(const char* path, char* const argv[])
{
    sigset_t empty;
    sigemptyset(&empty);
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const pid_t grandchild = _Fork();
        if (grandchild == 0)
            execDetached(path, argv, &empty);
        _exit(grandchild < 0 ? EXIT_FAILURE : EXIT_SUCCESS);
    }
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
    std::string name = kOpener;
    std::string argument = address;
    char* argv[] = {name.data(), argument.data(), nullptr};
    return spawnDetached(path.c_str(), argv);
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
