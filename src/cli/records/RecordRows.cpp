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

DeviceRecord RecordOfRow(std::vector<std::string>&& v) {
    DeviceRecord r;
    if (v.size() != static_cast<std::size_t>(kRecordColumnCount)) {
        return r;
    }
    r.id = std::move(v[0]);
    r.time = std::move(v[1]);
    r.station = std::move(v[2]);
    r.slot = std::move(v[3]);
    r.port = std::move(v[4]);
    r.adapterSerial = std::move(v[5]);
    r.release = std::move(v[6]);
    r.imageSha256 = std::move(v[7]);
    r.outcome = std::move(v[8]);
    r.reason = std::move(v[9]);
    r.messageNumber = std::atoi(v[10].c_str());
    r.message = std::move(v[11]);
    r.seconds = std::strtod(v[12].c_str(), nullptr);
    r.failedAttempts = std::strtoll(v[13].c_str(), nullptr, 10);
    r.calibration = std::move(v[14]);
    r.traceFile = std::move(v[15]);
    return r;
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
