#include "cli/records/PostgresRecords.h"

#include <libpq-fe.h>

#include <cstdlib>

#include "cli/records/ConnectionUrl.h"
#include "cli/records/RecordRows.h"
#include "cli/records/RecordSchema.h"
#include "cli/records/SpoolPlace.h"

namespace velor::cli {

namespace {

// Any number would do; it only has to be the same in every station of the line.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7262700127)";
constexpr std::size_t kPushBatch = 500;
// A server that is away is asked again at most this often while records arrive.
constexpr auto kRetryPause = std::chrono::seconds(2);

struct ResultCloser {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultCloser>;

bool Ok(const Result& result) {
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

Result Exec(PGconn* conn, const char* sql) {
    return Result(PQexec(conn, sql));
}

Result ExecParams(PGconn* conn, const char* sql, const std::vector<std::string>& values) {
    std::vector<const char*> pointers;
    for (const auto& value : values) {
        pointers.push_back(value.c_str());
    }
    return Result(PQexecParams(conn, sql, static_cast<int>(values.size()), nullptr, pointers.data(),
                               nullptr, nullptr, 0));
}

// libpq's message on one line.
std::string MessageOf(PGconn* conn) {
    std::string text = conn ? PQerrorMessage(conn) : "no connection";
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

}  // namespace

void PostgresRecords::Closer::operator()(PGconn* conn) const {
    PQfinish(conn);
}

PostgresRecords::PostgresRecords(std::string url) : m_url(std::move(url)) {}

PostgresRecords::~PostgresRecords() = default;

std::string PostgresRecords::Where() const {
    return "the record server " + RedactedUrl(m_url);
}

bool PostgresRecords::Connect(std::string& error) {
    if (m_conn && PQstatus(m_conn.get()) == CONNECTION_OK) {
        return true;
    }
    m_lastTry = std::chrono::steady_clock::now();
    // The URL's own connect_timeout, if it has one, comes later and wins.
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"5", "velor-flash", m_url.c_str(), nullptr};
    m_conn.reset(PQconnectdbParams(keys, values, 1));
    if (!m_conn || PQstatus(m_conn.get()) != CONNECTION_OK) {
        error = Where() + " does not answer: " + MessageOf(m_conn.get());
        m_conn.reset();
        return false;
    }
    PGconn* conn = m_conn.get();
    bool ok = Ok(Exec(conn, "BEGIN")) && Ok(Exec(conn, kSchemaLock)) &&
              Ok(Exec(conn, "SET LOCAL client_min_messages = warning")) &&
              Ok(Exec(conn, kCreateSchema));
    long long version = -1;
    if (ok) {
        const Result result = Exec(conn, "SELECT max(version) FROM velor_schema");
        ok = Ok(result) && PQntuples(result.get()) == 1;
        if (ok && !PQgetisnull(result.get(), 0, 0)) {
            version = std::strtoll(PQgetvalue(result.get(), 0, 0), nullptr, 10);
        }
    }
    if (ok && version > kSchemaVersion) {
        Exec(conn, "ROLLBACK");
        error = NewerSchemaError(Where(), version);
        m_conn.reset();
        return false;
    }
    if (ok && version < 0) {
        ok = Ok(ExecParams(conn, "INSERT INTO velor_schema (version) VALUES ($1)",
                           {std::to_string(kSchemaVersion)}));
    }
    if (!ok || !Ok(Exec(conn, "COMMIT"))) {
        error = Where() + ": cannot read or create the tables: " + MessageOf(conn);
        m_conn.reset();
        return false;
    }
    return true;
}

void PostgresRecords::CountWaiting() {
    std::string ignored;
    const long long count = m_spool ? m_spool->Count(ignored) : 0;
    m_waiting = count > 0 ? static_cast<std::size_t>(count) : 0;
}

bool PostgresRecords::Open(std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto spoolFile = SpoolFileFor(m_url, error);
    if (!spoolFile) {
        return false;
    }
    auto spool = std::make_unique<SqliteRecords>(*spoolFile, true);
    if (!spool->Open(error)) {
        return false;
    }
    m_spool = std::move(spool);
    CountWaiting();
    if (!Connect(error)) {
        return false;
    }
    return PushLocked(error);
}

bool PostgresRecords::Insert(const DeviceRecord& record, std::string& error) {
    if (!Ok(ExecParams(m_conn.get(), kInsertRecord, RowValues(record)))) {
        error = Where() + ": cannot store the record: " + MessageOf(m_conn.get());
        if (PQstatus(m_conn.get()) != CONNECTION_OK) {
            m_conn.reset();
        }
        return false;
    }
    return true;
}

bool PostgresRecords::PushLocked(std::string& error) {
    if (!m_spool) {
        error = Where() + ": the spool is not open";
        return false;
    }
    for (;;) {
        std::vector<DeviceRecord> batch;
        if (!m_spool->Oldest(kPushBatch, batch, error)) {
            return false;
        }
        if (batch.empty()) {
            m_waiting = 0;
            return true;
        }
        if (!Connect(error)) {
            CountWaiting();
            return false;
        }
        // Sent in one transaction, then taken out of the spool: a cut between the two sends
        // them again, and their ids keep them single.
        bool ok = Ok(Exec(m_conn.get(), "BEGIN"));
        std::vector<std::string> ids;
        for (const auto& record : batch) {
            ok = ok && Insert(record, error);
            ids.push_back(record.id);
        }
        if (!ok || !m_conn || !Ok(Exec(m_conn.get(), "COMMIT"))) {
            if (error.empty()) {
                error = Where() + ": cannot send the waiting records: " + MessageOf(m_conn.get());
            }
            if (m_conn) {
                Exec(m_conn.get(), "ROLLBACK");
            }
            CountWaiting();
            return false;
        }
        if (!m_spool->Remove(ids, error)) {
            return false;
        }
        CountWaiting();
    }
}

bool PostgresRecords::Append(const DeviceRecord& record, std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::string why;
    const bool retry = std::chrono::steady_clock::now() - m_lastTry >= kRetryPause;
    if (m_waiting.load() == 0 && (m_conn || retry) && Connect(why) && Insert(record, why)) {
        return true;
    }
    // Away, or others still waiting before it: it joins the queue, then the queue goes out if
    // the server answers.
    if (!m_spool || !m_spool->Append(record, error)) {
        if (!m_spool) {
            error = Where() + ": " + why;
        }
        return false;
    }
    CountWaiting();
    if (m_conn || std::chrono::steady_clock::now() - m_lastTry >= kRetryPause) {
        PushLocked(why);
    }
    return true;
}

bool PostgresRecords::Push(std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    error.clear();
    return PushLocked(error);
}

bool PostgresRecords::Scan(const RecordFilter& filter,
                           const std::function<void(const DeviceRecord&)>& each,
                           std::string& error) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!Connect(error)) {
        return false;
    }
    std::vector<std::string> values;
    const std::string sql = std::string("SELECT ") + kRecordColumns + " FROM device_records" +
                            FilterClause(filter, values) + " ORDER BY time, id";
    std::vector<const char*> pointers;
    for (const auto& value : values) {
        pointers.push_back(value.c_str());
    }
    // Row by row as the server sends them: libpq would otherwise hold the whole answer.
    bool ok = PQsendQueryParams(m_conn.get(), sql.c_str(), static_cast<int>(values.size()), nullptr,
                                pointers.data(), nullptr, nullptr, 0) == 1 &&
              PQsetSingleRowMode(m_conn.get()) == 1;
    std::vector<std::string> row(kRecordColumnCount);
    DeviceRecord record;
    bool ended = false;
    while (ok) {
        const Result result(PQgetResult(m_conn.get()));
        if (!result) {
            break;
        }
        const ExecStatusType status = PQresultStatus(result.get());
        if (status == PGRES_SINGLE_TUPLE) {
            for (int c = 0; c < kRecordColumnCount; ++c) {
                row[static_cast<std::size_t>(c)].assign(
                    PQgetvalue(result.get(), 0, c),
                    static_cast<std::size_t>(PQgetlength(result.get(), 0, c)));
            }
            AssignRecordOfRow(row, record);
            each(record);
        } else {
            ended = status == PGRES_TUPLES_OK;
            ok = ended;
        }
    }
    if (!ok || !ended) {
        error = Where() + ": cannot read the records: " + MessageOf(m_conn.get());
        // What the server still sends of this query is read and dropped.
        while (const Result rest{PQgetResult(m_conn.get())}) {
        }
        return false;
    }
    return true;
}

}  // namespace velor::cli
