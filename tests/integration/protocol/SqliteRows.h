#pragma once
// Reads a record database the way any SQLite client would, with the library's own calls: the
// tests check the station's file from outside.

#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

namespace velor::testing {

using Row = std::map<std::string, std::string>;

// Every row of the query, each column by its name; empty when the file does not open.
inline std::vector<Row> SqliteRowsOf(const std::string& file, const std::string& sql) {
    std::vector<Row> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                Row row;
                for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                    const auto* text =
                        reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                    row[sqlite3_column_name(statement, c)] = text ? text : "";
                }
                rows.push_back(row);
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

// Runs statements on a file (made when missing); false when any fails.
inline bool SqliteExec(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

}  // namespace velor::testing
