#pragma once
// The station's figures under its slot lines: units per hour, first-pass yield, cycle times,
// failures by message and records waiting for the server.

#include <cstddef>
#include <string>
#include <vector>

#include "cli/output/JsonEvents.h"
#include "cli/records/YieldFigures.h"

namespace velor::cli {

// figures: of this run's records; elapsed: seconds since the station started.
std::vector<std::string> StationFigureLines(const YieldFigures& figures, double elapsedSeconds,
                                            std::size_t waiting);

// The same figures as one JSON Lines event ("station").
JsonEvent StationFiguresEvent(const YieldFigures& figures, double elapsedSeconds,
                              std::size_t waiting);

}  // namespace velor::cli
