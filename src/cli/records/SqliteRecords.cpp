#include "cli/records/SqliteRecords.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli/records/RecordRows.h"
#include "cli/records/RecordSchema.h"

namespace velor::cli {

namespace {

constexpr int kBusyWaitMs = 10000;

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

#ifndef _WIN32
// Makes a missing file readable by its user only, and refuses a link or anything but a regular
// file: the records are never written through a link someone else planted.
bool PrepareFile(const std::string& path, bool create, std::string& error) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            error = "'" + path + "' is not a regular file (a link or a device): give a plain file";
            return false;
        }
        return true;
    }
    if (errno != ENOENT || !create) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create '" + path + "': " + std::strerror(errno);
        return false;
    }
    close(fd);
    return true;
}
#else
bool PrepareFile(const std::string&, bool, std::string&) {
    return true;
}
#endif

}  // namespace

void SqliteRecords::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

SqliteRecords::SqliteRecords(std::string path, bool create)
    : m_path(std::move(path)), m_create(create) {}

SqliteRecords::~SqliteRecords() = default;

bool SqliteRecords::Fail(const std::string& what, std::string& error) const {
    error = "the record database '" + m_path + "': " + what + ": " +
            (m_db ? sqlite3_errmsg(m_db.get()) : "cannot open");
    return false;
}

bool SqliteRecords::Open(std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!PrepareFile(m_path, m_create, error)) {
        return false;
    }
    sqlite3* db = nullptr;
    // m_mutex guards every use of the connection: SQLite's own lock on each call would only
    // slow a report that reads a hundred thousand rows.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
#ifdef SQLITE_OPEN_NOFOLLOW
    flags |= SQLITE_OPEN_NOFOLLOW;
#endif
    if (m_create) {
        flags |= SQLITE_OPEN_CREATE;
    }
    const int opened = sqlite3_open_v2(m_path.c_str(), &db, flags, nullptr);
    m_db.reset(db);
    if (opened != SQLITE_OK) {
        return Fail("cannot open it", error);
    }
    sqlite3_busy_timeout(m_db.get(), kBusyWaitMs);
    sqlite3_extended_result_codes(m_db.get(), 1);
    // WAL: readers never block the station; FULL: a commit is on the disk when it returns. The
    // journal mode stays in the file; a reader (create false) leaves it as it is.
    if (m_create && sqlite3_exec(m_db.get(), "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL",
                                 nullptr, nullptr, nullptr) != SQLITE_OK) {
        return Fail("cannot set it up", error);
    }
    // A writer makes what is missing under the write lock; a reader only looks.
    if (sqlite3_exec(m_db.get(), m_create ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr,
                     nullptr) != SQLITE_OK) {
        return Fail("cannot begin", error);
    }
    long long tables = 0;
    long long ours = 0;
    long long version = -1;
    const auto count = [&](const char* sql, long long& value) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(m_db.get(), sql, -1, &raw, nullptr) != SQLITE_OK) {
            return false;
        }
        const Statement statement(raw);
        const int step = sqlite3_step(raw);
        if (step == SQLITE_ROW && sqlite3_column_type(raw, 0) != SQLITE_NULL) {
            value = sqlite3_column_int64(raw, 0);
        }
        return step == SQLITE_ROW || step == SQLITE_DONE;
    };
    bool ok = count("SELECT count(*) FROM sqlite_master WHERE type = 'table'", tables) &&
              count("SELECT count(*) FROM sqlite_master WHERE name = 'velor_schema'", ours);
    if (ok && ours == 0 && (tables > 0 || !m_create)) {
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        error = ForeignDatabaseError("'" + m_path + "'");
        return false;
    }
    ok = ok &&
         (!m_create ||
          sqlite3_exec(m_db.get(), kCreateSchema, nullptr, nullptr, nullptr) == SQLITE_OK) &&
         count("SELECT max(version) FROM velor_schema", version);
    if (ok && version > kSchemaVersion) {
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        error = NewerSchemaError("'" + m_path + "'", version);
        return false;
    }
    if (ok && version < 0 && m_create) {
        const std::string insert =
            "INSERT INTO velor_schema (version) VALUES (" + std::to_string(kSchemaVersion) + ")";
        ok = sqlite3_exec(m_db.get(), insert.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    if (!ok || sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        Fail("cannot read or create its tables", error);
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool SqliteRecords::Append(const DeviceRecord& record, std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_db) {
        error = "the record database '" + m_path + "' is not open";
        return false;
    }
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), kInsertRecord, -1, &raw, nullptr) != SQLITE_OK) {
        return Fail("cannot prepare the record", error);
    }
    const Statement statement(raw);
    // Bound, never spliced in: a slot or message holding quotes stays a value.
    const auto values = RowValues(record);
    for (std::size_t i = 0; i < values.size(); ++i) {
        sqlite3_bind_text(raw, static_cast<int>(i + 1), values[i].c_str(),
                          static_cast<int>(values[i].size()), SQLITE_TRANSIENT);
    }
    // The statement alone is the transaction: committed (synchronously) when it is done.
    if (sqlite3_step(raw) != SQLITE_DONE) {
        return Fail("cannot store the record", error);
    }
    return true;
}

bool SqliteRecords::Select(const std::string& tail, const std::vector<std::string>& values,
                           const std::function<void(const DeviceRecord&)>& each,
                           std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_db) {
        error = "the record database '" + m_path + "' is not open";
        return false;
    }
    const std::string sql = std::string("SELECT ") + kRecordColumns + " FROM device_records" + tail;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        return Fail("cannot prepare the query", error);
    }
    const Statement statement(raw);
    for (std::size_t i = 0; i < values.size(); ++i) {
        sqlite3_bind_text(raw, static_cast<int>(i + 1), values[i].c_str(),
                          static_cast<int>(values[i].size()), SQLITE_TRANSIENT);
    }
    std::vector<std::string> row(kRecordColumnCount);
    DeviceRecord record;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        for (int c = 0; c < kRecordColumnCount; ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, c));
            row[static_cast<std::size_t>(c)].assign(
                text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(raw, c)));
        }
        AssignRecordOfRow(row, record);
        each(record);
    }
    if (step != SQLITE_DONE) {
        return Fail("cannot read the records", error);
    }
    return true;
}

bool SqliteRecords::Scan(const RecordFilter& filter,
                         const std::function<void(const DeviceRecord&)>& each, std::string& error) {
    std::vector<std::string> values;
    const std::string where = FilterClause(filter, values);
    return Select(where + " ORDER BY time, rowid", values, each, error);
}

bool SqliteRecords::Oldest(std::size_t most, std::vector<DeviceRecord>& records,
                           std::string& error) {
    return Select(
        " ORDER BY rowid LIMIT " + std::to_string(most), {},
        [&records](const DeviceRecord& r) { records.push_back(r); }, error);
}

bool SqliteRecords::Remove(const std::vector<std::string>& ids, std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_db) {
        error = "the record database '" + m_path + "' is not open";
        return false;
    }
    if (sqlite3_exec(m_db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return Fail("cannot begin", error);
    }
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), "DELETE FROM device_records WHERE id = $1", -1, &raw,
                           nullptr) != SQLITE_OK) {
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        return Fail("cannot prepare the removal", error);
    }
    const Statement statement(raw);
    for (const auto& id : ids) {
        sqlite3_bind_text(raw, 1, id.c_str(), static_cast<int>(id.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(raw) != SQLITE_DONE) {
            Fail("cannot remove a sent record", error);
            sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
        sqlite3_reset(raw);
    }
    if (sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        Fail("cannot commit", error);
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

long long SqliteRecords::Count(std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    sqlite3_stmt* raw = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db.get(), "SELECT count(*) FROM device_records", -1, &raw,
                                    nullptr) != SQLITE_OK) {
        Fail("cannot count the records", error);
        return -1;
    }
    const Statement statement(raw);
    return sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int64(raw, 0) : -1;
}

}  // namespace velor::cli
