// velor-flash ports: the serial ports present, one a line, in the order the window lists them;
// with --long, what tells each apart.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/PortsOptions.h"
#include "cli/output/ControlEscapes.h"
#include "cli/platform/PortTexts.h"
#include "serial/EComPort.h"
#include "serial/ListSerialPorts.h"
#include "serial/PortDescription.h"

namespace velor::cli {

namespace {

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
        const std::string description = EscapeControls(DescriptionText(port));
        const std::string name = EscapeControls(port.Name);
        const char* shown = description.empty() ? NoPortDescription() : description.c_str();
        if (*shown == '\0') {
            std::printf("%s\n", name.c_str());
        } else {
            std::printf("%-*s  %s\n", static_cast<int>(width), name.c_str(), shown);
        }
    }
    return kExitDone;
}

}  // namespace

int RunPorts(const Args& args) {
    std::string error;
    const auto options = ParsePortsOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help || options->version) {
        PrintHelpOrVersion(options->help, PortsHelp());
        return kExitDone;
    }
    if (options->longList) {
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
        std::printf("%s\n", EscapeControls(port).c_str());
    }
    return kExitDone;
}

}  // namespace velor::cli
