#pragma once
// The figures of a run of records, for the station's board and for reports: units, yield,
// first-pass yield, cycle-time percentiles and failures by message.
//
// A device is not identified by the records; a record that follows a record of the same station
// and slot which did not end done, within kRetryWindowSeconds, is taken as that device tried
// again (the operator replugged it). A device counts once: it passes first time or after retries.

#include <map>
#include <string>
#include <vector>

#include "cli/production/RecordFile.h"

namespace velor::cli {

inline constexpr long long kRetryWindowSeconds = 600;

struct YieldFigures {
    long records = 0;
    long done = 0;
    long devices = 0;    // records less retries
    long firstPass = 0;  // devices done at their first record
    long retries = 0;
    double meanSeconds = 0;
    double p50Seconds = 0;
    double p90Seconds = 0;
    double p95Seconds = 0;
    double maxSeconds = 0;
    std::map<std::string, long> failuresByMessage;  // records not done, by their message

    double Yield() const { return records ? 100.0 * static_cast<double>(done) / records : 0; }
    double FirstPassYield() const {
        return devices ? 100.0 * static_cast<double>(firstPass) / devices : 0;
    }
};

// The figures of records handed over one at a time, oldest first: a report streams them.
class FigureTally {
  public:
    void Add(const DeviceRecord& r);
    YieldFigures Figures() const;

  private:
    struct Last {
        long long time;
        bool done;
    };
    YieldFigures m_f;
    std::map<std::pair<std::string, std::string>, Last> m_lastOfSlot;
    std::vector<double> m_seconds;
    double m_total = 0;
};

// records: oldest first.
YieldFigures FiguresOf(const std::vector<DeviceRecord>& records);

// Seconds since 1970 of an ISO 8601 UTC time (2026-12-09T10:12:03Z); -1 when it is not one.
long long UtcSeconds(const std::string& time);

}  // namespace velor::cli
