#pragma once
// velor-flash report's text and JSON: yield by day, slot and release, first-pass yield,
// cycle-time percentiles, failures by message and the failed devices.

#include <string>
#include <vector>

#include "cli/production/RecordFile.h"

namespace velor::cli {

// records: oldest first. Text a person reads (control bytes of the records escaped).
std::string ReportText(const std::vector<DeviceRecord>& records);
// One JSON object.
std::string ReportJson(const std::vector<DeviceRecord>& records);

}  // namespace velor::cli
