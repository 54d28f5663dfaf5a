#include "tests/plugin/toolrun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

extern char** environ;

namespace tooltest {

namespace {

constexpr const char* kAsanOptions = "ASAN_OPTIONS=";

// This process's environment, without leak checks when the child loads Mesa.
std::vector<std::string> childEnvironment(bool loadsMesa)
{
    std::vector<std::string> settings;
    if (loadsMesa)
        settings.push_back(std::string(kAsanOptions) + "detect_leaks=0");
    for (char** e = environ; *e; ++e)
        if (!loadsMesa || std::string(*e).rfind(kAsanOptions, 0) != 0)
            settings.push_back(*e);
    return settings;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> list;
    for (std::string& text : texts)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

}  // namespace

pid_t startTool(std::vector<std::string> words, const std::string& outPath,
                const std::string& errPath, bool loadsMesa)
{
    std::vector<std::string> settings = childEnvironment(loadsMesa);
    std::vector<char*> argv = pointers(words), envp = pointers(settings);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (!outPath.empty())
        posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    if (!errPath.empty())
        posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

int waitTool(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string readText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace tooltest
