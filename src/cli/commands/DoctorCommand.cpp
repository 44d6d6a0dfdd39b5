// velor-flash doctor [--port P]: the checks of Doctor.h in order, one verdict a line, for the
// technician and for support.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/commands/Doctor.h"
#include "serial/EComPort.h"
#include "serial/PortHolders.h"

namespace velor::cli {

namespace {

constexpr const char* kDoctorUsage =
    "Usage: velor-flash doctor [--port P]\n"
    "Checks what a write needs, one line each with a verdict (ok, note, warn, FAIL) and what to\n"
    "do: the serial ports with their drivers, USB identities and latency timers, services that\n"
    "take adapters; with --port also the permissions, who holds the port, whether it opens and\n"
    "takes the settings, and whether a device answers the wake-up and identification and how\n"
    "fast. The output can be sent to support as it is.\n"
    "Exit codes: 0 nothing failed, 1 a check failed, 2 usage.\n";

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
    std::string port;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kDoctorUsage, stdout);
            return kExitDone;
        }
        if (args[i] == "--port" && i + 1 < args.size()) {
            port = args[++i];
            continue;
        }
        std::fprintf(stderr, "velor-flash doctor: unknown argument '%s'\n", args[i].c_str());
        std::fputs(kDoctorUsage, stderr);
        return kExitUsage;
    }
    int failures = 0;
    std::printf("velor-flash doctor (%s)\n", kSystem);
    std::vector<PortDescription> ports;
    try {
        ports = DescribeSerialPorts();
        failures += Print(CheckPortList(ports));
    } catch (const EComPort& e) {
        failures +=
            Print({{Verdict::Fail, std::string("the port list cannot be read: ") + e.what(), {}}});
    }
    failures += Print(CheckServices());
    if (!port.empty()) {
        failures += Print(CheckAccess(port));
        failures += Print(CheckPortHolders(port, FindPortHolders(port)));
        failures += Print(CheckDeviceAnswer(port, AskDevice(port)));
    } else {
        std::printf("note  no port named: run velor-flash doctor --port P for the device checks\n");
    }
    std::fflush(stdout);
    return failures == 0 ? kExitDone : kExitRefused;
}

}  // namespace velor::cli
