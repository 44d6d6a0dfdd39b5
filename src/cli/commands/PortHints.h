#pragma once
// The line after "port busy" that tells the technician what holds the port and what to do.

#include <string>
#include <vector>

#include "serial/PortHolders.h"

namespace velor::cli {

// Empty when there is nothing useful to say.
std::string BusyPortHint(const std::string& port, const std::vector<PortHolder>& holders);

}  // namespace velor::cli
