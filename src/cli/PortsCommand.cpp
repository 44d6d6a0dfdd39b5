// velor-flash ports: the serial ports present, one a line, in the order the window lists them.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "serial/EComPort.h"
#include "serial/ListSerialPorts.h"

namespace velor::cli {

namespace {

constexpr const char* kPortsUsage =
    "Usage: velor-flash ports\n"
    "Lists the serial ports present, one a line, sorted as the window's port list.\n"
    "On Linux the paths named in VELOR_EXTRA_PORTS (separated by \":\") are listed too.\n"
    "Exit codes: 0 done, 2 usage, 3 no serial ports can be listed.\n";

}  // namespace

int RunPorts(const Args& args) {
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kPortsUsage, stdout);
            return kExitDone;
        }
        std::fprintf(stderr, "velor-flash ports: unknown argument '%s'\n", arg.c_str());
        std::fputs(kPortsUsage, stderr);
        return kExitUsage;
    }
    std::vector<std::string> ports;
    try {
        ListSerialPorts(ports);
    } catch (const EComPort& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return kExitPortError;
    }
    for (const auto& port : ports) {
        std::printf("%s\n", port.c_str());
    }
    return kExitDone;
}

}  // namespace velor::cli
