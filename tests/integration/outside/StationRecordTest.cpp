// The station never writes a device whose record it cannot keep, and never loses one unsaid.
#include <gtest/gtest.h>

#include "DevsimProcess.h"
#include "GangHelpers.h"
#include "OutsideFiles.h"
#include "ProgramRun.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using test::Has;

TEST(StationRecord, ARecordThatCannotBeWrittenStopsTheStationBeforeAnyDevice) {
    WorkFolder folder;
    DevsimProcess device({"--geometry", "4:64:8"});
    for (const std::string& record : {folder / "missing/line.csv", folder / "missing/line.jsonl"}) {
        const RunResult r = ProgramRun({"/usr/bin/timeout", "60", VELOR_FLASH, "station", "--port",
                                        device.Path(), "--count", "1", "--record", record})
                                .Wait();
        EXPECT_EQ(r.code, 1) << r.out << r.err;
        EXPECT_TRUE(Has(r.err, "cannot open the record file '" + record + "'")) << r.err;
    }
    device.Stop();
    EXPECT_FALSE(Received(device, "g04")) << "a device was written without its record";
}

// The record file fills up (here: a size limit) after the check: the device just written has no
// record, so the station takes no other and ends naming it.
TEST(StationRecord, AFailedAppendEndsTheStationNamingTheDevice) {
    WorkFolder folder;
    const std::string record = folder / "line.jsonl";
    WriteAll(record, std::string(4096, ' ') + "\n");
    DevsimProcess device({"--geometry", "4:64:8"});
    const std::string command = "trap '' XFSZ; ulimit -f 4; exec /usr/bin/timeout 60 " +
                                std::string(VELOR_FLASH) + " station --port " + device.Path() +
                                " --count 2 --record " + record;
    const RunResult r = ProgramRun({"/bin/sh", "-c", command}).Wait();
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_TRUE(Has(r.err, "no record of the device on " + device.Path())) << r.err;
    EXPECT_TRUE(Has(r.out, "total  done 1, refused 0, failed 0, stopped 0")) << r.out;
}

}  // namespace
}  // namespace velor::testing
