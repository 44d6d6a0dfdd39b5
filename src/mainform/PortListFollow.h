#pragma once
// The port list after adapters were plugged or unplugged while no operation ran: the chosen port
// stays chosen while it exists, and a newly plugged one is chosen only when the list was empty.

#include <string>
#include <vector>

#include "app/MainWindowModel.h"

namespace velor {

// Puts present (sorted, as the port list gives it) into list; false when nothing changed.
bool FollowPorts(TListState& list, std::vector<std::string> present);

}  // namespace velor
