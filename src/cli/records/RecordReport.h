#pragma once
// velor-flash report's text and JSON: yield by day, slot and release, first-pass yield,
// cycle-time percentiles, failures by message and the failed devices.

#include <map>
#include <string>
#include <vector>

#include "cli/production/RecordFile.h"
#include "cli/records/YieldFigures.h"

namespace velor::cli {

// What a report needs of the records, taken one at a time (oldest first) as they are read: the
// figures, the groups' counts and the records that did not end done.
class ReportTally {
  public:
    struct Group {
        long records = 0;
        long done = 0;
    };
    using Groups = std::map<std::string, Group>;

    void Add(const DeviceRecord& r);

    FigureTally figures;
    Groups byDay, bySlot, byRelease;
    std::vector<DeviceRecord> failed;
};

// Text a person reads (control bytes of the records escaped).
std::string ReportText(const ReportTally& tally);
// One JSON object.
std::string ReportJson(const ReportTally& tally);

}  // namespace velor::cli
