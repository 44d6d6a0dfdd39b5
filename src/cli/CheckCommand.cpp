// Placeholder until this subcommand is written.
#include <cstdio>

#include "cli/Commands.h"

namespace velor::cli {

int RunCheck(const Args&) {
    std::fputs("velor-flash: this command is not available yet\n", stderr);
    return kExitUsage;
}

}  // namespace velor::cli
