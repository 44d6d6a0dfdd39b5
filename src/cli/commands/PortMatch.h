#pragma once
// --port by what the adapter is: "usb:VID:PID[:SERIAL]" picks the one USB port with those IDs
// (and serial number), a /dev/serial/by-id path must lead to a port; any other name is taken as
// it is.

#include <optional>
#include <string>
#include <vector>

#include "serial/PortDescription.h"

namespace velor::cli {

// Whether the option needs the port descriptions to be resolved.
bool NeedsPortLookup(const std::string& option);

// The port name to open, or nullopt with error set: the reason and the candidates, one a line.
std::optional<std::string> ResolvePort(const std::string& option,
                                       const std::vector<PortDescription>& ports,
                                       std::string& error);

}  // namespace velor::cli
