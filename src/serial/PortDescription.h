#pragma once
// What the system knows of a port beyond its name: enough for a technician to pick the right
// adapter (velor-flash ports --long, the window's port tooltips, --port usb:VID:PID).

#include <memory>
#include <string>
#include <vector>

namespace velor {

struct PortDescription {
    std::string Name;      // as the port list gives it
    std::string VendorId;  // USB IDs, four lower-case hexadecimal digits; empty if not USB
    std::string ProductId;
    std::string Manufacturer;  // USB strings as the device reports them
    std::string Product;
    std::string Serial;
    std::string Driver;        // kernel driver (Linux)
    std::string ById;          // /dev/serial/by-id path leading to the port (Linux)
    std::string FriendlyName;  // the device manager's name (Windows)
    std::string Target;        // where a path given as the name leads, when elsewhere
    int LatencyTimerMs = -1;   // how long the adapter holds received bytes (FTDI); -1: none known
    // Where the adapter is plugged in, the same after a replug into the same socket: the USB
    // path of sysfs on Linux ("1-1.4:1.0"), the first location path of SetupAPI on Windows.
    std::string Location = {};
    std::string ByPath = {};  // /dev/serial/by-path link leading to the port (Linux)
};

// One line for a person: names first, then IDs, serial, driver and the stable path. Empty when
// nothing is known.
std::string DescriptionText(const PortDescription& port);

class IPortDescriber {
  public:
    virtual ~IPortDescriber() = default;
    // Never fails: what cannot be read stays empty.
    virtual PortDescription Describe(const std::string& name) = 0;
};

std::unique_ptr<IPortDescriber> MakePlatformPortDescriber();

// The ports present with their descriptions, in the port list's order. EComPort 15 when the
// list cannot be read.
std::vector<PortDescription> DescribeSerialPorts();

}  // namespace velor
