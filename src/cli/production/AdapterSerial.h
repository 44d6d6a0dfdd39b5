#pragma once
// The USB serial number of the adapter behind a port, for the production record.

#include <string>

#include "serial/PortDescription.h"

namespace velor::cli {

// From sysfs on Linux, from the device instance of SetupAPI on Windows; empty where the port is
// no USB adapter or the adapter has no serial number.
inline std::string AdapterSerialNumber(const std::string& port) {
    return MakePlatformPortDescriber()->Describe(port).Serial;
}

}  // namespace velor::cli
