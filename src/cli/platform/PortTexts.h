#pragma once
// The texts that name ports the way the system does: /dev paths on Linux, COM ports on Windows.
// Each platform has its own file (platform/*_port_texts.cpp), chosen by the build.

#include <string>
#include <vector>

namespace velor::cli {

// The description of --port in a device command's help.
const char* PortOptionHelp();
// The description of --long in the ports command's help.
const char* PortsLongHelp();
// What the ports command's help adds about the list; may be empty.
const char* PortsListNote();
// What `ports --long` prints beside a port of which nothing more is known.
const char* NoPortDescription();
// The line after "no such port": the ports that exist.
std::string MissingPortHint(const std::vector<std::string>& present);

}  // namespace velor::cli
