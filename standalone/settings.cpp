#include "standalone/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace Zorv::Standalone {

namespace {

// A settings file longer than this is no settings file of ours.
constexpr off_t kMaxBytes = 1 << 20;

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p for the folder holding path.
bool makeFolders(const std::string& folder)
{
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool writeAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t wrote = write(fd, data, size);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        data += wrote;
        size -= size_t(wrote);
    }
    return true;
}

void syncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

LoadResult readSettings(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? LoadResult::kMissing : LoadResult::kUnreadable;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxBytes;
    if (ok) {
        bytes.resize(size_t(info.st_size));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            ok = got > 0;
            done += ok ? size_t(got) : 0;
        }
    }
    close(fd);
    return ok ? LoadResult::kLoaded : LoadResult::kUnreadable;
}

bool keepBadSettings(const std::string& path)
{
    return rename(path.c_str(), (path + ".bad").c_str()) == 0;
}

bool writeSettings(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::string folder = folderOf(path);
    if (!makeFolders(folder))
        return false;
    const std::string temporary = path + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace Zorv::Standalone
