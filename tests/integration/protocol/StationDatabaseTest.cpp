// velor-flash station --record FILE.db: the records of a gang in SQLite, a station killed with
// SIGKILL mid-run, two stations on one file, and files that are not ours.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "DevsimProcess.h"
#include "GangHelpers.h"
#include "ProgramRun.h"
#include "SqliteRows.h"
#include "TempFolder.h"

namespace velor::testing {
namespace {

const std::vector<std::string> kQuick{"--geometry", "32:255:8"};

DevsimProcess Device(const std::string& link, bool paced = false) {
    std::vector<std::string> args = kQuick;
    args.insert(args.end(), {"--link", link});
    if (paced) {
        args.insert(args.end(), {"--baud", "115200"});
    }
    return DevsimProcess(args);
}

std::vector<Row> Records(const std::string& db) {
    return SqliteRowsOf(db, "SELECT * FROM device_records ORDER BY rowid");
}

std::string One(const std::string& db, const std::string& sql) {
    const auto rows = SqliteRowsOf(db, sql);
    return rows.empty() ? "" : rows.front().begin()->second;
}

TEST(StationDatabase, RecordsAGangWithItsSlotsWhateverTheirNamesHold) {
    TempDir dir;
    const std::string db = dir.path + "/line.db";
    const std::string odd = "it's \"B\"'); DROP TABLE device_records;--";
    {
        std::ofstream slots(dir.path + "/slots.txt");
        slots << "# fixture 1\n\nA1 = " << dir.path << "/ttyA\n"
              << odd << "=" << dir.path << "/ttyB\n";
    }
    auto a = Device(dir.path + "/ttyA");
    auto b = Device(dir.path + "/ttyB");
    auto c = Device(dir.path + "/ttyC");
    const RunResult r = ProgramRun({VELOR_FLASH, "station", "--slots", dir.path + "/slots.txt",
                                    "--slot", "C=" + dir.path + "/ttyC", "--count", "3", "--record",
                                    db, "--station", "line 2; 'west'"})
                            .Wait();
    ASSERT_EQ(r.code, 0) << r.out << r.err;

    const auto rows = Records(db);
    ASSERT_EQ(rows.size(), 3u);
    std::set<std::string> slots, ids;
    for (const auto& row : rows) {
        slots.insert(row.at("slot"));
        ids.insert(row.at("id"));
        EXPECT_EQ(row.at("id").size(), 32u);
        EXPECT_EQ(row.at("station"), "line 2; 'west'");
        EXPECT_EQ(row.at("firmware_release"), "241004");
        EXPECT_EQ(row.at("outcome"), "done");
        EXPECT_EQ(row.at("image_sha256").size(), 64u);
        EXPECT_TRUE(Has(row.at("message"), "Мікропрограма успішно завантажена"))
            << row.at("message");
        EXPECT_GT(std::stod(row.at("seconds")), 0.0);
        EXPECT_EQ(row.at("port").rfind(dir.path + "/tty", 0), 0u) << row.at("port");
        EXPECT_EQ(row.at("trace_file"), "");
    }
    EXPECT_EQ(slots, (std::set<std::string>{"A1", odd, "C"}));
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(One(db, "SELECT max(version) FROM velor_schema"), "1");
    EXPECT_EQ(One(db, "PRAGMA journal_mode"), "wal");
    struct stat st {};
    ASSERT_EQ(stat(db.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The report reads them back, the odd slot as a value like any other.
    const RunResult all = ProgramRun({VELOR_FLASH, "report", db, "--json"}).Wait();
    EXPECT_EQ(all.code, 0) << all.err;
    EXPECT_TRUE(Has(all.out, "\"records\":3,\"done\":3,\"devices\":3,\"first_pass\":3")) << all.out;
    const RunResult one = ProgramRun({VELOR_FLASH, "report", db, "--slot", odd, "--json"}).Wait();
    EXPECT_TRUE(Has(one.out, "\"records\":1,")) << one.out;
    const RunResult none =
        ProgramRun({VELOR_FLASH, "report", db, "--release", "241003", "--json"}).Wait();
    EXPECT_TRUE(Has(none.out, "\"records\":0,")) << none.out;
}

TEST(StationDatabase, AStationKilledMidRunLosesNoRecordAndLeavesNoTornRow) {
    TempDir dir;
    const std::string db = dir.path + "/line.db";
    auto quick = Device(dir.path + "/ttyA");
    auto slow = Device(dir.path + "/ttyB", true);
    ProgramRun run({VELOR_FLASH, "station", "--slot", "A=" + dir.path + "/ttyA", "--slot",
                    "B=" + dir.path + "/ttyB", "--record", db});
    ASSERT_TRUE(WaitUntil([&] { return Has(run.Out(), "A  done"); }));
    // The slow device is in the middle of its write when the station dies.
    ASSERT_TRUE(WaitUntil([&] { return slow.LogLines("rx").size() > 40; }));
    run.Signal(SIGKILL);
    run.Wait();

    EXPECT_EQ(One(db, "PRAGMA integrity_check"), "ok");
    auto rows = Records(db);
    ASSERT_EQ(rows.size(), 1u);
    const Row first = rows[0];
    EXPECT_EQ(first.at("slot"), "A");
    EXPECT_EQ(first.at("outcome"), "done");
    EXPECT_EQ(first.at("calibration").empty(), false);

    // Started again on the same file, it goes on where it was.
    auto next = Device(dir.path + "/ttyC");
    const RunResult again = ProgramRun({VELOR_FLASH, "station", "--slot", "C=" + dir.path + "/ttyC",
                                        "--count", "1", "--record", db})
                                .Wait();
    EXPECT_EQ(again.code, 0) << again.err;
    rows = Records(db);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], first);
    EXPECT_EQ(rows[1].at("slot"), "C");
}

TEST(StationDatabase, TwoStationsAppendToOneFileAtOnce) {
    TempDir dir;
    const std::string db = dir.path + "/line.db";
    std::vector<std::unique_ptr<DevsimProcess>> devices;
    for (const char* name : {"ttyA", "ttyB", "ttyC", "ttyD"}) {
        devices.push_back(std::make_unique<DevsimProcess>(
            std::vector<std::string>{"--geometry", "32:255:8", "--link", dir.path + "/" + name}));
    }
    ProgramRun first({VELOR_FLASH, "station", "--station", "one", "--slot",
                      "1=" + dir.path + "/ttyA", "--slot", "2=" + dir.path + "/ttyB", "--count",
                      "2", "--record", db});
    const std::string log = dir.path + "/two.log";
    ProgramRun second({VELOR_FLASH, "station", "--station", "two", "--slot",
                       "1=" + dir.path + "/ttyC", "--slot", "2=" + dir.path + "/ttyD", "--count",
                       "2", "--record", db, "--json", "--log", log});
    const RunResult r1 = first.Wait();
    const RunResult r2 = second.Wait();
    EXPECT_EQ(r1.code, 0) << r1.err;
    EXPECT_EQ(r2.code, 0) << r2.err;
    // --json: each write's events and a device event per device, every one with its port and
    // slot, then the station's figures; nothing else on stdout, no board on stderr.
    EXPECT_EQ(r2.err, "");
    std::istringstream events(r2.out);
    std::vector<nlohmann::json> lines;
    for (std::string line; std::getline(events, line);) {
        ASSERT_NO_THROW(lines.push_back(nlohmann::json::parse(line))) << line;
    }
    ASSERT_GE(lines.size(), 3u) << r2.out;
    std::vector<nlohmann::json> recorded;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const auto& e = lines[i];
        ASSERT_TRUE(e.contains("port") && e.contains("slot")) << e;
        EXPECT_EQ(e["port"], dir.path + (e["slot"] == "1" ? "/ttyC" : "/ttyD")) << e;
        if (e["event"] == "device") {
            recorded.push_back(e);
        }
    }
    ASSERT_EQ(recorded.size(), 2u) << r2.out;
    EXPECT_EQ(recorded[0]["station"], "two");
    EXPECT_EQ(recorded[1]["outcome"], "done");
    EXPECT_EQ(lines.back()["event"], "station") << r2.out;
    EXPECT_EQ(lines.back()["records"], 2);
    EXPECT_EQ(lines.back()["done"], 2);
    EXPECT_EQ(lines.back()["exit_code"], 0);
    EXPECT_TRUE(Has(r2.out, "\"first_pass_yield_percent\":100.0")) << r2.out;
    // The writes' attempt log: one file, the port first on every line, the slot in the header.
    std::istringstream logged(ReadAll(log));
    int headers = 0;
    for (std::string line; std::getline(logged, line);) {
        EXPECT_TRUE(line.rfind(dir.path + "/ttyC\t", 0) == 0 ||
                    line.rfind(dir.path + "/ttyD\t", 0) == 0)
            << line;
        headers += Has(line, "\t# velor-flash write --port ") && Has(line, ", slot ") ? 1 : 0;
    }
    EXPECT_EQ(headers, 2);
    const auto rows = Records(db);
    ASSERT_EQ(rows.size(), 4u);
    std::multiset<std::string> stations;
    std::set<std::string> ids;
    for (const auto& row : rows) {
        stations.insert(row.at("station"));
        ids.insert(row.at("id"));
    }
    EXPECT_EQ(stations.count("one"), 2u);
    EXPECT_EQ(stations.count("two"), 2u);
    EXPECT_EQ(ids.size(), 4u);
}

TEST(StationDatabase, RefusesFilesThatAreNotItsRecordsBeforeAnyDevice) {
    TempDir dir;
    const auto station = [&](const std::string& db) {
        return ProgramRun({VELOR_FLASH, "station", "--port", dir.path + "/none", "--record", db})
            .Wait();
    };
    const std::string foreign = dir.path + "/foreign.db";
    const std::string newer = dir.path + "/newer.sqlite";
    ASSERT_TRUE(SqliteExec(foreign, "CREATE TABLE parts (x)"));
    ASSERT_TRUE(SqliteExec(newer,
                           "CREATE TABLE velor_schema (version INTEGER NOT NULL);"
                           "INSERT INTO velor_schema VALUES (99)"));
    {
        std::ofstream text(dir.path + "/text.db");
        text << "time,port\n";
    }
    RunResult r = station(foreign);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.err, "a database of something else")) << r.err;
    r = station(newer);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.err, "schema version 99, newer")) << r.err;
    r = station(dir.path + "/text.db");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.err, "not a database")) << r.err;
    EXPECT_EQ(SqliteRowsOf(foreign, "SELECT name FROM sqlite_master").size(), 1u);
}

// A server that is away lets the station run (its records would spool), so there is time to read
// what any user of the computer can read of it.
TEST(StationDatabase, APasswordInAPostgresUrlNeverShowsInTheProcessList) {
    TempDir dir;
    setenv("VELOR_SPOOL_DIR", (dir.path + "/spool").c_str(), 1);
    const std::string url = "postgresql://velor:s3cr3t-one@/postgres?host=" + dir.path +
                            "&connect_timeout=1&password=s3cr3t-two";
    ProgramRun station(
        {VELOR_FLASH, "station", "--slot", "a=" + dir.path + "/none", "--record", url});
    std::string cmdline;
    const auto read = [&] {
        std::ifstream file("/proc/" + std::to_string(station.Pid()) + "/cmdline");
        cmdline.assign(std::istreambuf_iterator<char>(file), {});
        return Has(cmdline, "velor:**********@");
    };
    EXPECT_TRUE(WaitUntil(read)) << cmdline;
    EXPECT_FALSE(Has(cmdline, "s3cr3t")) << cmdline;
    EXPECT_TRUE(Has(cmdline, "&password=**********")) << cmdline;
    station.Interrupt();
    const RunResult r = station.Wait();
    EXPECT_TRUE(Has(r.err, "holds a password")) << r.err;
    EXPECT_FALSE(Has(r.out + r.err, "s3cr3t")) << r.err;
    unsetenv("VELOR_SPOOL_DIR");
}

}  // namespace
}  // namespace velor::testing
