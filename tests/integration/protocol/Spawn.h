#pragma once
// Starts a program as a child process with its standard output (and error, when given) on the
// write ends of the caller's pipes.

#include <sys/types.h>

#include <string>
#include <vector>

namespace velor::testing {

// args[0] is the program's path. stderrFd < 0 leaves standard error as it is. In the parent the
// caller still owns (and closes) every descriptor it passed. Returns the child's pid, or -1.
pid_t Spawn(std::vector<std::string> args, int stdoutFd, int stderrFd = -1);

}  // namespace velor::testing
