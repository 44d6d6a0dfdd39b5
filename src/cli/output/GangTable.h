#pragma once
// The lines velor-flash shows for several devices: a status line per port while they run, and
// the final table.

#include <string>
#include <vector>

#include "cli/production/DeviceRun.h"

namespace velor::cli {

// port, percent, page, state: "/dev/ttyUSB0  45%  page 29/64  writing  calibration 0.1.0".
std::string ProgressLine(const std::string& port, std::size_t portWidth,
                         const DeviceProgress& progress);

// One row per report, under a header: port, outcome, seconds, failed attempts, calibration and
// the message. Ends with a line feed.
std::string ReportTable(const std::vector<DeviceReport>& reports);

std::string SecondsText(double seconds);

// The port padded to the column's width and the gap after it: where a port's line begins.
std::string PortHead(const std::string& port, std::size_t portWidth);

}  // namespace velor::cli
