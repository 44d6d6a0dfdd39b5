#pragma once
// Device records in an SQLite file: WAL, synchronous commits, one transaction per device, so a
// power cut or kill -9 loses no device already reported and leaves no torn row. Several stations
// (processes) may append to one file; each waits up to 10 s for another's transaction.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/records/RecordStore.h"

struct sqlite3;

namespace velor::cli {

class SqliteRecords final : public RecordStore {
  public:
    // create: a missing file is made (readable by its user only); otherwise it must exist.
    SqliteRecords(std::string path, bool create);
    ~SqliteRecords() override;

    bool Open(std::string& error) override;
    bool Append(const DeviceRecord& record, std::string& error) override;
    bool Scan(const RecordFilter& filter, const std::function<void(const DeviceRecord&)>& each,
              std::string& error) override;

    // For the spool: the oldest records (in the order they were appended), their removal once
    // sent, and how many there are.
    bool Oldest(std::size_t most, std::vector<DeviceRecord>& records, std::string& error);
    bool Remove(const std::vector<std::string>& ids, std::string& error);
    long long Count(std::string& error);

  private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    bool Fail(const std::string& what, std::string& error) const;
    bool Select(const std::string& tail, const std::vector<std::string>& values,
                const std::function<void(const DeviceRecord&)>& each, std::string& error);

    std::string m_path;
    bool m_create;
    std::mutex m_mutex;
    std::unique_ptr<sqlite3, Closer> m_db;
};

}  // namespace velor::cli
