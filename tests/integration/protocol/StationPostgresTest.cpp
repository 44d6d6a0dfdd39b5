// velor-flash station --record postgresql://...: three stations on one server of the test's own
// (initdb and pg_ctl in a temporary folder, a Unix socket, no TCP port), the server stopped in
// the middle of the run and started again, and the report over what arrived.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "DevsimProcess.h"
#include "GangHelpers.h"
#include "PgServer.h"
#include "ProgramRun.h"
#include "SqliteRows.h"
#include "TempFolder.h"

namespace velor::testing {
namespace {

TEST(StationPostgres, ThreeStationsKeepEveryRecordThroughAServerStop) {
    if (geteuid() != 0 || !std::filesystem::exists(kPgBin + "initdb")) {
        GTEST_SKIP() << "needs root (runuser) and Debian's postgresql 15";
    }
    TempDir dir;
    PgServer server(dir.path);
    ASSERT_TRUE(server.Ok()) << Output("cat " + dir.path + "/log");
    const std::string spool = dir.path + "/spool";
    setenv("VELOR_SPOOL_DIR", spool.c_str(), 1);

    std::vector<std::unique_ptr<DevsimProcess>> devices;
    std::vector<std::unique_ptr<ProgramRun>> stations;
    for (int s = 1; s <= 3; ++s) {
        const std::string quick = dir.path + "/q" + std::to_string(s);
        const std::string slow = dir.path + "/s" + std::to_string(s);
        devices.push_back(std::make_unique<DevsimProcess>(
            std::vector<std::string>{"--geometry", "32:255:8", "--link", quick}));
        devices.push_back(std::make_unique<DevsimProcess>(std::vector<std::string>{
            "--geometry", "32:255:8", "--baud", "115200", "--link", slow}));
        stations.push_back(std::make_unique<ProgramRun>(
            std::vector<std::string>{VELOR_FLASH, "station", "--station", "st" + std::to_string(s),
                                     "--slot", "quick=" + quick, "--slot", "slow 'B'=" + slow,
                                     "--count", "2", "--record", server.Url()}));
    }
    // The quick devices reach the server; then it goes away while the slow ones are written.
    ASSERT_TRUE(
        WaitUntil([&] { return server.Query("SELECT count(*) FROM device_records") == "3"; }));
    ASSERT_TRUE(server.Stop());
    for (auto& station : stations) {
        const RunResult r = station->Wait();
        EXPECT_EQ(r.code, 0) << r.out << r.err;
        EXPECT_TRUE(Has(r.err, "records wait in the spool")) << r.err;
        EXPECT_FALSE(Has(r.out + r.err, "password")) << r.err;
    }
    std::vector<std::string> spools;
    for (const auto& entry : std::filesystem::directory_iterator(spool)) {
        if (entry.path().extension() == ".db") {
            spools.push_back(entry.path().string());
        }
    }
    ASSERT_EQ(spools.size(), 1u) << "one spool per user and server";
    EXPECT_EQ(SqliteRowsOf(spools[0], "SELECT * FROM device_records").size(), 3u);
    std::filesystem::copy_file(spools[0], dir.path + "/spool-before-push.db");

    ASSERT_TRUE(server.Start());
    const RunResult push = ProgramRun({VELOR_FLASH, "records", "push", server.Url()}).Wait();
    EXPECT_EQ(push.code, 0) << push.err;
    EXPECT_EQ(SqliteRowsOf(spools[0], "SELECT * FROM device_records").size(), 0u);
    // As if the spool had lost its removal after the server took the records: sent again,
    // still not doubled.
    std::filesystem::copy_file(dir.path + "/spool-before-push.db", spools[0],
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(spools[0] + "-wal");
    std::filesystem::remove(spools[0] + "-shm");
    EXPECT_EQ(ProgramRun({VELOR_FLASH, "records", "push", server.Url()}).Wait().code, 0);

    EXPECT_EQ(server.Query("SELECT count(*), count(DISTINCT id) FROM device_records"), "6|6");
    EXPECT_EQ(server.Query("SELECT station, count(*) FROM device_records GROUP BY station "
                           "ORDER BY station"),
              "st1|2\nst2|2\nst3|2");
    EXPECT_EQ(server.Query("SELECT count(*) FROM device_records WHERE slot = 'slow ''B''' AND "
                           "outcome = 'done'"),
              "3");

    const RunResult all = ProgramRun({VELOR_FLASH, "report", server.Url(), "--json"}).Wait();
    EXPECT_EQ(all.code, 0) << all.err;
    EXPECT_TRUE(Has(all.out, "\"records\":6,\"done\":6,\"devices\":6")) << all.out;
    const RunResult slowOnes =
        ProgramRun({VELOR_FLASH, "report", server.Url(), "--slot", "slow 'B'", "--json"}).Wait();
    EXPECT_TRUE(Has(slowOnes.out, "\"records\":3,")) << slowOnes.out;
    unsetenv("VELOR_SPOOL_DIR");
}

}  // namespace
}  // namespace velor::testing
