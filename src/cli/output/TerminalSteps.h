#pragma once
// A window's message that asks for a step of the window ("open the firmware file") gets the
// terminal's step in place of that line; the message stays as it is everywhere else.

#include <string>

namespace velor::cli {

// message: as a terminal shows it (line feeds, no leading spaces). port: as the run was given it
// (empty: none given).
std::string WithTerminalSteps(const std::string& message, const std::string& port);

}  // namespace velor::cli
