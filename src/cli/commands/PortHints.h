#pragma once
// The line after a port error that tells the technician what is wrong and what to do.

#include <string>
#include <vector>

#include "serial/PortHolders.h"

namespace velor::cli {

// Empty when there is nothing useful to say.
std::string BusyPortHint(const std::string& port, const std::vector<PortHolder>& holders);

// After the settings' failure of something that opened: it is no serial port.
std::string NotASerialPortHint(const std::string& port);

// Before the message of a port refused for want of permission, whose first line says busy.
std::string NoPermissionLine(const std::string& port);

// After "no such port": the port named, then presentHint (the ports there are).
std::string MissingPortLine(const std::string& port, const std::string& presentHint);

}  // namespace velor::cli
