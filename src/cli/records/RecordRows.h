#pragma once
// A device record as the sixteen values of a row (kRecordColumns' order), for every database.

#include <string>
#include <vector>

#include "cli/production/RecordFile.h"
#include "cli/records/RecordStore.h"

namespace velor::cli {

std::vector<std::string> RowValues(const DeviceRecord& record);
// Fills record from the values; its strings keep their room, so one record read row after row
// costs no allocation.
void AssignRecordOfRow(const std::vector<std::string>& values, DeviceRecord& record);

// INSERT of one record with the parameters $1..$16; a record already there (the same id) is
// left as it is.
extern const char* const kInsertRecord;

// " WHERE ..." with parameters from $1 for the filter's fields that are set (values receives
// them in order); empty for no filter.
std::string FilterClause(const RecordFilter& filter, std::vector<std::string>& values);

}  // namespace velor::cli
