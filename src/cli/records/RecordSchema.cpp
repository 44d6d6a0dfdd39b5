#include "cli/records/RecordSchema.h"

namespace velor::cli {

const char* const kCreateSchema =
    "CREATE TABLE IF NOT EXISTS velor_schema (version INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS device_records ("
    " id TEXT PRIMARY KEY,"
    " time TEXT NOT NULL,"
    " station TEXT NOT NULL,"
    " slot TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " adapter_serial TEXT NOT NULL,"
    " firmware_release TEXT NOT NULL,"
    " image_sha256 TEXT NOT NULL,"
    " outcome TEXT NOT NULL,"
    " reason TEXT NOT NULL,"
    " message_number INTEGER NOT NULL,"
    " message TEXT NOT NULL,"
    " seconds DOUBLE PRECISION NOT NULL,"
    " failed_attempts BIGINT NOT NULL,"
    " calibration TEXT NOT NULL,"
    " trace_file TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS device_records_time ON device_records (time)";

const char* const kRecordColumns =
    "id, time, station, slot, port, adapter_serial, firmware_release, image_sha256, outcome, "
    "reason, message_number, message, seconds, failed_attempts, calibration, trace_file";

std::string NewerSchemaError(const std::string& where, long long version) {
    return where + " holds records of schema version " + std::to_string(version) +
           ", newer than this velor-flash knows (" + std::to_string(kSchemaVersion) +
           "): use a newer velor-flash or another database";
}

std::string ForeignDatabaseError(const std::string& where) {
    return where + " is no record database of velor-flash (a database of something else, " +
           "without velor_schema): give another file";
}

}  // namespace velor::cli
