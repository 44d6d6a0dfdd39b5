#pragma once
// --port by what the adapter is: "usb:VID:PID[:SERIAL]" picks the one USB port with those IDs
// (and serial number), "usb-path:1-1.4:1.0" the port plugged in at that USB path (the location
// path on Windows), a /dev/serial/by-id or by-path path must lead to a port; any other name is
// taken as it is.

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

// The port to open: the option as given, or the adapter it names, looked up in the ports present
// now (a station looks again at every probe: a replugged adapter may get another name).
std::optional<std::string> PortToOpen(const std::string& option, std::string& error);

}  // namespace velor::cli
