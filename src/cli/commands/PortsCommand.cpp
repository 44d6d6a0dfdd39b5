// velor-flash ports: the serial ports present, one a line, in the order the window lists them;
// with --long, what tells each apart.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "serial/EComPort.h"
#include "serial/ListSerialPorts.h"
#include "serial/PortDescription.h"

namespace velor::cli {

namespace {

constexpr const char* kPortsUsage =
    "Usage: velor-flash ports [--long]\n"
    "Lists the serial ports present, one a line, sorted as the window's port list.\n"
    "  --long   add what tells the ports apart: on Linux the USB maker and product, their\n"
    "           IDs (for --port usb:VID:PID[:SERIAL]), the serial number, the driver and the\n"
    "           /dev/serial/by-id name; on Windows the device manager's name\n"
    "On Linux the paths named in VELOR_EXTRA_PORTS (separated by \":\") are listed too.\n"
    "Exit codes: 0 done, 2 usage, 3 no serial ports can be listed.\n";

int PrintLong() {
    std::vector<PortDescription> ports;
    try {
        ports = DescribeSerialPorts();
    } catch (const EComPort& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return kExitPortError;
    }
    std::size_t width = 0;
    for (const auto& port : ports) {
        width = std::max(width, port.Name.size());
    }
    for (const auto& port : ports) {
        const std::string description = DescriptionText(port);
        std::printf("%-*s  %s\n", static_cast<int>(width), port.Name.c_str(),
                    description.empty() ? "(nothing more is known)" : description.c_str());
    }
    return kExitDone;
}

}  // namespace

int RunPorts(const Args& args) {
    bool longList = false;
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kPortsUsage, stdout);
            return kExitDone;
        }
        if (arg == "--long" || arg == "-l") {
            longList = true;
            continue;
        }
        std::fprintf(stderr, "velor-flash ports: unknown argument '%s'\n", arg.c_str());
        std::fputs(kPortsUsage, stderr);
        return kExitUsage;
    }
    if (longList) {
        return PrintLong();
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
