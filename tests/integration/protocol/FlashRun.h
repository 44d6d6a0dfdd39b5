#pragma once
// Runs velor-flash as a child process and collects its output and exit code.

#include <string>
#include <vector>

namespace velor::testing {

struct FlashResult {
    int code = -1;
    std::string out;
    std::string err;
};

// args: what follows the program's name. extraEnv: "NAME=value" entries added to the child's
// environment.
FlashResult RunFlashProgram(const std::vector<std::string>& args,
                            const std::vector<std::string>& extraEnv = {});

}  // namespace velor::testing
