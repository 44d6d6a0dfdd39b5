// Placeholder until these subcommands are written.
#include <cstdio>

#include "cli/Commands.h"

namespace velor::cli {

namespace {
int NotYet() {
    std::fputs("velor-flash: this command is not available yet\n", stderr);
    return kExitUsage;
}
}  // namespace

int RunDetect(const Args&) { return NotYet(); }
int RunWrite(const Args&) { return NotYet(); }
int RunReset(const Args&) { return NotYet(); }

}  // namespace velor::cli
