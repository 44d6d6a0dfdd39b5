#include "cli/records/RecordRows.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "cli/records/RecordSchema.h"

namespace velor::cli {

namespace {

std::string Milliseconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

}  // namespace

const char* const kInsertRecord =
    "INSERT INTO device_records (id, time, station, slot, port, adapter_serial, "
    "firmware_release, image_sha256, outcome, reason, message_number, message, seconds, "
    "failed_attempts, calibration, trace_file) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, "
    "$11, $12, $13, $14, $15, $16) ON CONFLICT (id) DO NOTHING";

std::vector<std::string> RowValues(const DeviceRecord& r) {
    return {r.id,
            r.time,
            r.station,
            r.slot,
            r.port,
            r.adapterSerial,
            r.release,
            r.imageSha256,
            r.outcome,
            r.reason,
            std::to_string(r.messageNumber),
            r.message,
            Milliseconds(r.seconds),
            std::to_string(r.failedAttempts),
            r.calibration,
            r.traceFile};
}

void AssignRecordOfRow(const std::vector<std::string>& v, DeviceRecord& r) {
    if (v.size() != static_cast<std::size_t>(kRecordColumnCount)) {
        r = DeviceRecord{};
        return;
    }
    r.id = v[0];
    r.time = v[1];
    r.station = v[2];
    r.slot = v[3];
    r.port = v[4];
    r.adapterSerial = v[5];
    r.release = v[6];
    r.imageSha256 = v[7];
    r.outcome = v[8];
    r.reason = v[9];
    r.messageNumber = std::atoi(v[10].c_str());
    r.message = v[11];
    r.seconds = std::strtod(v[12].c_str(), nullptr);
    r.failedAttempts = std::strtoll(v[13].c_str(), nullptr, 10);
    r.calibration = v[14];
    r.traceFile = v[15];
}

std::string FilterClause(const RecordFilter& filter, std::vector<std::string>& values) {
    std::string clause;
    const auto add = [&](const char* condition, const std::string& value) {
        values.push_back(value);
        clause += (clause.empty() ? " WHERE " : " AND ") + std::string(condition) + " $" +
                  std::to_string(values.size());
    };
    // An ISO time sorts as its text; a bare day as until takes the whole day in.
    if (!filter.since.empty()) {
        add("time >=", filter.since);
    }
    if (!filter.until.empty()) {
        add(filter.until.size() == 10 ? "time <" : "time <=",
            filter.until.size() == 10 ? filter.until + "T99" : filter.until);
    }
    if (!filter.release.empty()) {
        add("firmware_release =", filter.release);
    }
    if (!filter.slot.empty()) {
        add("slot =", filter.slot);
    }
    return clause;
}

}  // namespace velor::cli
