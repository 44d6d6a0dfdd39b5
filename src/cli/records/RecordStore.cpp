#include "cli/records/RecordStore.h"

#include <cstdio>
#include <random>

#include "cli/records/SqliteRecords.h"
#ifdef VELOR_HAVE_LIBPQ
#include "cli/records/PostgresRecords.h"
#endif

namespace velor::cli {

bool IsPostgresUrl(const std::string& target) {
    return target.starts_with("postgresql://") || target.starts_with("postgres://");
}

bool IsDatabaseTarget(const std::string& target) {
    return IsPostgresUrl(target) || NameEndsWith(target, ".db") || NameEndsWith(target, ".sqlite");
}

std::unique_ptr<RecordStore> MakeRecordStore(const std::string& target, bool create,
                                             [[maybe_unused]] std::string& error) {
    if (!IsPostgresUrl(target)) {
        return std::make_unique<SqliteRecords>(target, create);
    }
#ifdef VELOR_HAVE_LIBPQ
    return std::make_unique<PostgresRecords>(target);
#else
    error =
        "this velor-flash is built without PostgreSQL (libpq): record into a .db file and "
        "copy it to the line's server elsewhere";
    return nullptr;
#endif
}

bool RecordStore::Read(const RecordFilter& filter, std::vector<DeviceRecord>& records,
                       std::string& error) {
    return Scan(
        filter, [&records](const DeviceRecord& r) { records.push_back(r); }, error);
}

std::string NewRecordId() {
    std::random_device random;
    char text[33];
    std::snprintf(text, sizeof text, "%08x%08x%08x%08x", random(), random(), random(), random());
    return text;
}

}  // namespace velor::cli
