#pragma once
// Device records on a PostgreSQL server (libpq), for a line of stations. A record that cannot
// reach the server waits in the user's SQLite spool and is sent, in the order it came, when the
// server answers again (at the next record, every few seconds while the station runs, or by
// `velor-flash records push`). The record id makes a resend harmless.

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "cli/records/RecordStore.h"
#include "cli/records/SqliteRecords.h"

typedef struct pg_conn PGconn;

namespace velor::cli {

class PostgresRecords final : public RecordStore {
  public:
    explicit PostgresRecords(std::string url);
    ~PostgresRecords() override;

    // Opens the spool and connects, creating the schema on first use. With the spool open but
    // the server away, false with error set and Spooling() true: a station may go on.
    bool Open(std::string& error) override;
    bool Append(const DeviceRecord& record, std::string& error) override;
    bool Scan(const RecordFilter& filter, const std::function<void(const DeviceRecord&)>& each,
              std::string& error) override;
    std::size_t Waiting() override { return m_waiting.load(); }
    bool Push(std::string& error) override;

    bool Spooling() const override { return m_spool != nullptr; }

  private:
    struct Closer {
        void operator()(PGconn* conn) const;
    };
    bool Connect(std::string& error);
    bool PushLocked(std::string& error);
    bool Insert(const DeviceRecord& record, std::string& error);
    void CountWaiting();
    std::string Where() const;

    std::string m_url;
    std::mutex m_mutex;
    std::unique_ptr<PGconn, Closer> m_conn;
    std::unique_ptr<SqliteRecords> m_spool;
    std::atomic<std::size_t> m_waiting{0};
    std::chrono::steady_clock::time_point m_lastTry{};
};

}  // namespace velor::cli
