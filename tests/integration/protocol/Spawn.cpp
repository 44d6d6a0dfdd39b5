#include "Spawn.h"

#include <unistd.h>

namespace velor::testing {

pid_t Spawn(std::vector<std::string> args, int stdoutFd, int stderrFd) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    dup2(stdoutFd, STDOUT_FILENO);
    if (stderrFd >= 0) {
        dup2(stderrFd, STDERR_FILENO);
    }
    // Only the duplicates stay: a child holding a pipe's other end would keep it from closing.
    closefrom(STDERR_FILENO + 1);
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

}  // namespace velor::testing
