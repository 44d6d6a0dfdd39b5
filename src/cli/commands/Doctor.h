#pragma once
// velor-flash doctor: what a technician runs when something is wrong, and whose output can be
// sent to support. Each check gives one line with a plain verdict and, where it is not ok, what
// to do.

#include <optional>
#include <string>
#include <vector>

#include "serial/PortDescription.h"
#include "serial/PortHolders.h"

namespace velor::cli {

enum class Verdict { Ok, Note, Warn, Fail };

struct Finding {
    Verdict verdict = Verdict::Ok;
    std::string what;
    std::string todo;  // empty when there is nothing to do
};

// "ok    what" (a second line "      -> todo"), outside text with its control bytes escaped.
std::string FindingText(const Finding& finding);

// The ports present with their drivers, USB identities and latency timers.
std::vector<Finding> CheckPortList(const std::vector<PortDescription>& ports);
// Programs that would take a new adapter or hold the port (ModemManager and the like).
std::vector<Finding> CheckPortHolders(const std::string& port,
                                      const std::vector<PortHolder>& holders);

// What a device on the port answered, for the verdicts below.
struct DeviceAnswer {
    bool opened = false;
    std::string openError;  // the port's own message when it did not open or take the settings
    bool identified = false;
    std::string reply;                     // the identification reply as it came
    std::optional<double> replyLatencyMs;  // from the identify frame's end to its reply
};
std::vector<Finding> CheckDeviceAnswer(const std::string& port, const DeviceAnswer& answer);

// Opens the port at 115200 baud with the window's settings, wakes the device and identifies it.
DeviceAnswer AskDevice(const std::string& port);

// The system's own checks: permissions, groups and the login they need (Linux).
std::vector<Finding> CheckAccess(const std::string& port);
// Services that take new serial adapters for themselves (ModemManager on Linux).
std::vector<Finding> CheckServices();

}  // namespace velor::cli
