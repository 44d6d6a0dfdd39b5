#pragma once
// A database of device records: an SQLite file of one station (or of a few on one PC) or the
// PostgreSQL server of a line. Each record goes in by itself, in one transaction, before the
// station reports the next device.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/production/RecordFile.h"

namespace velor::cli {

// Which records a report reads; empty fields do not filter. Times are UTC ISO 8601 texts or
// days (2026-12-09); since is inclusive, an until day includes that whole day.
struct RecordFilter {
    std::string since;
    std::string until;
    std::string release;
    std::string slot;
};

class RecordStore {
  public:
    virtual ~RecordStore() = default;

    // Opens the database, creating the schema where there is none, and checks that it is ours
    // and not newer. False with error set.
    virtual bool Open(std::string& error) = 0;

    // Stores the record for good (on the disk, or in the spool when the server is away); any
    // thread. False with error set when it could not be stored anywhere.
    virtual bool Append(const DeviceRecord& record, std::string& error) = 0;

    // Hands each record the filter lets through to each, oldest first, as it is read: a report
    // over a year of a line holds none of them. The record handed over is valid for the call.
    virtual bool Scan(const RecordFilter& filter,
                      const std::function<void(const DeviceRecord&)>& each, std::string& error) = 0;

    // The records the filter lets through, oldest first.
    bool Read(const RecordFilter& filter, std::vector<DeviceRecord>& records, std::string& error);

    // Records stored but not yet where they belong (spooled for an absent server).
    virtual std::size_t Waiting() { return 0; }

    // After a failed Open: whether only the server was away, so that records can wait in the
    // spool and a station may go on.
    virtual bool Spooling() const { return false; }

    // Sends what waits; true when nothing waits any more. error says why something still does.
    virtual bool Push(std::string& error) {
        error.clear();
        return true;
    }
};

// Whether the name asks for a database rather than a CSV or JSON Lines file: a name ending in
// .db or .sqlite, or a postgresql:// (postgres://) URL.
bool IsDatabaseTarget(const std::string& target);
bool IsPostgresUrl(const std::string& target);

// The store a database target names (create: a missing SQLite file is made); nullptr with error
// set when this build cannot reach it (PostgreSQL in a build without libpq).
std::unique_ptr<RecordStore> MakeRecordStore(const std::string& target, bool create,
                                             std::string& error);

// A fresh record id: 32 hexadecimal digits from the system's random source.
std::string NewRecordId();

}  // namespace velor::cli
