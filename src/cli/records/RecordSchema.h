#pragma once
// The schema of the record database, the same text for SQLite and PostgreSQL. Documented in
// docs/records.md; a change of it raises kSchemaVersion.

#include <string>

namespace velor::cli {

inline constexpr int kSchemaVersion = 1;

// The statements that create what is missing, separated by ";".
extern const char* const kCreateSchema;

// The columns of device_records in the order of every INSERT and SELECT of ours.
extern const char* const kRecordColumns;
inline constexpr int kRecordColumnCount = 16;

// "a newer schema": what a store says of a database whose version it does not know.
std::string NewerSchemaError(const std::string& where, long long version);
std::string ForeignDatabaseError(const std::string& where);

}  // namespace velor::cli
