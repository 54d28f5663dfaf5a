// Runs the host tool as a child process, as a user would from a shell: the
// words are its argv, standard output and error optionally go to files. With
// Mesa in the child (the gui and skin commands) AddressSanitizer's leak check
// is turned off there, since Mesa leaves blocks behind when the tool unloads
// it; the editor's own leak checks run in-process. Test threads only.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tooltest {

// Starts the program words[0]; an empty path leaves that stream inherited.
// The child's pid, or -1 when it could not start.
pid_t startTool(std::vector<std::string> words, const std::string& outPath,
                const std::string& errPath, bool loadsMesa);
int waitTool(pid_t pid);                        // exit status; -1 unless it exited normally
std::string readText(const std::string& path);  // a whole file, empty when missing

}  // namespace tooltest
