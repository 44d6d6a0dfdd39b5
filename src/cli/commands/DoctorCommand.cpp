// velor-flash doctor [--port P]: the checks of Doctor.h in order, one verdict a line, for the
// technician and for support.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/Doctor.h"
#include "cli/commands/PortsOptions.h"
#include "cli/text/Translate.h"
#include "serial/EComPort.h"
#include "serial/PortHolders.h"

namespace velor::cli {

namespace {

#ifdef _WIN32
constexpr const char* kSystem = "Windows";
#else
constexpr const char* kSystem = "Linux";
#endif

// Prints the findings; how many failed.
int Print(const std::vector<Finding>& findings) {
    int failures = 0;
    for (const auto& f : findings) {
        failures += f.verdict == Verdict::Fail ? 1 : 0;
        std::printf("%s\n", FindingText(f).c_str());
    }
    return failures;
}

}  // namespace

int RunDoctor(const Args& args) {
    std::string error;
    const auto options = ParseDoctorOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help || options->version) {
        PrintHelpOrVersion(options->help, DoctorHelp());
        return kExitDone;
    }
    const std::string& port = options->port;
    int failures = 0;
    std::printf("velor-flash doctor (%s)\n", kSystem);
    std::vector<PortDescription> ports;
    try {
        ports = DescribeSerialPorts();
        failures += Print(CheckPortList(ports));
    } catch (const EComPort& e) {
        failures += Print(
            {{Verdict::Fail, std::string(Tr("the port list cannot be read: ")) + e.what(), {}}});
    }
    failures += Print(CheckServices());
    if (!port.empty()) {
        failures += Print(CheckAccess(port));
        failures += Print(CheckPortHolders(port, FindPortHolders(port)));
        failures += Print(CheckDeviceAnswer(port, AskDevice(port)));
    } else {
        std::fputs(
            Tr("note  no port named: run velor-flash doctor --port P for the device checks\n"),
            stdout);
    }
    std::fflush(stdout);
    return failures == 0 ? kExitDone : kExitRefused;
}

}  // namespace velor::cli
