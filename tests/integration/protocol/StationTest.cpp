// velor-flash station: devices that appear one after another, each written once and recorded.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "DevsimProcess.h"
#include "GangHelpers.h"
#include "ProgramRun.h"
#include "TempFolder.h"

namespace velor::testing {
namespace {

constexpr std::size_t kDeviceBytes = 32 * 255 * 8;  // reaches the release stamp at F0E0

// sha256sum's digest of the image velor-flash check writes for the carried release.
std::string ExpectedSha256(const std::string& dir) {
    const std::string bin = dir + "/release.bin";
    const std::string command =
        std::string(VELOR_FLASH) + " check --image-out " + bin + " >/dev/null && sha256sum " + bin;
    std::string digest;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[128] = {};
        if (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            digest.assign(buffer, 64);
        }
        pclose(pipe);
    }
    return digest;
}

// The comma-separated fields of a CSV line without quoted commas.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    while (begin <= line.size()) {
        const auto end = std::min(line.find(',', begin), line.size());
        fields.push_back(line.substr(begin, end - begin));
        begin = end + 1;
    }
    return fields;
}

TEST(Station, WritesDevicesAsTheyAppearAndRecordsEach) {
    TempDir dir;
    const std::string portA = dir.path + "/ttyA";
    const std::string portB = dir.path + "/ttyB";
    const std::string record = dir.path + "/line.csv";
    DevsimProcess a({"--geometry", "32:255:8", "--link", portA});

    ProgramRun run({VELOR_FLASH, "station", "--port", portA, "--port", portB, "--count", "2",
                    "--record", record});
    // The first device is written while the second position is still empty.
    ASSERT_TRUE(WaitUntil([&] { return Has(run.Out(), portA + "  done"); }));
    EXPECT_FALSE(Has(run.Out(), portB));
    // It stays plugged in, back with the new release: not written again.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    DevsimProcess b({"--geometry", "32:255:8", "--link", portB});
    const RunResult r = run.Wait();
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "total  done 2, refused 0, failed 0, stopped 0")) << r.out;

    const auto expected = ReleaseBytes(kDeviceBytes);
    a.Stop();
    b.Stop();
    EXPECT_EQ(a.Dump(), expected);
    EXPECT_EQ(b.Dump(), expected);
    const auto resets = a.LogLines("rx");
    EXPECT_EQ(std::count_if(resets.begin(), resets.end(),
                            [](const std::string& f) { return f.rfind("g04000000", 0) == 0; }),
              1)
        << "the first device was erased more than once";

    // The byte-order mark spreadsheets look for, a header and one record per device, in the
    // order they were written.
    const std::string text = ReadAll(record);
    ASSERT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u) << text;
    std::istringstream lines(text.substr(3));
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 3u) << text;
    EXPECT_EQ(rows[0],
              "time,port,adapter_serial,release,image_sha256,outcome,reason,message_number,"
              "message,seconds,failed_attempts,calibration,version,trace_file");
    const std::string sha = ExpectedSha256(dir.path);
    ASSERT_EQ(sha.size(), 64u);
    for (std::size_t i = 1; i < 3; ++i) {
        const auto f = Fields(rows[i]);
        ASSERT_EQ(f.size(), 14u) << rows[i];
        EXPECT_EQ(f[13], "") << "a device done keeps no trace";
        EXPECT_EQ(f[0].size(), 20u) << f[0];  // 2026-12-09T10:12:03Z
        EXPECT_EQ(f[1], i == 1 ? portA : portB);
        EXPECT_EQ(f[3], "241004");
        EXPECT_EQ(f[4], sha);
        EXPECT_EQ(f[5], "done");
        EXPECT_EQ(f[6], "done");
        EXPECT_EQ(f[7], "0");
        EXPECT_TRUE(Has(f[8], "Мікропрограма успішно завантажена в ")) << f[8];
        EXPECT_GT(std::stod(f[9]), 0.0);
        EXPECT_EQ(std::to_string(std::stol(f[10])), f[10]);
        EXPECT_EQ(f[12].rfind("velor-flash ", 0), 0u) << f[12];
    }
}

TEST(Station, ADeviceUnpluggedMidWriteLeavesThePositionReadyForTheNext) {
    TempDir dir;
    const std::string port = dir.path + "/ttyA";
    const std::string record = dir.path + "/line.jsonl";
    auto first = std::make_unique<DevsimProcess>(
        std::vector<std::string>{"--geometry", "32:255:8", "--link", port, "--unplug-after", "40"});
    ProgramRun run({VELOR_FLASH, "station", "--port", port, "--count", "2", "--record", record});
    ASSERT_TRUE(WaitUntil([&] { return first->LogLines("unplug").size() == 1; }));
    first.reset();
    // The next device is plugged into the same position.
    DevsimProcess second({"--geometry", "32:255:8", "--link", port});
    const RunResult r = run.Wait();
    EXPECT_TRUE(Has(r.out, "total  done 1")) << r.out << r.err;
    second.Stop();
    EXPECT_EQ(second.Dump(), ReleaseBytes(kDeviceBytes));
    const std::string text = ReadAll(record);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
    EXPECT_TRUE(Has(text, "\"outcome\":\"done\"")) << text;
    // The unplugged device's record names its trace, kept beside the record; the done one's
    // names none.
    EXPECT_TRUE(Has(text, "\"trace_file\":\"\"")) << text;
    const std::string traces = record + "-traces";
    ASSERT_TRUE(Has(text, "\"trace_file\":\"" + traces + "/")) << text;
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(traces),
                            std::filesystem::directory_iterator()),
              1);
    const auto kept = std::filesystem::directory_iterator(traces)->path();
    EXPECT_TRUE(Has(ReadAll(kept.string()), "\"ev\":\"port-error\"")) << kept;
}

TEST(Station, CtrlCEndsTheWaitingAndTheWriteInProgress) {
    TempDir dir;
    const std::string record = dir.path + "/line.jsonl";
    DevsimProcess a({"--geometry", "16:64:64", "--baud", "115200"});
    ProgramRun run({VELOR_FLASH, "station", "--port", a.Path(), "--port",
                    dir.path + "/never-plugged", "--record", record});
    ASSERT_TRUE(WaitUntil([&] { return Received(a, "g04000400"); }));
    run.Interrupt();
    const RunResult r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "total  done 0, refused 0, failed 0, stopped 1")) << r.out;
    const std::string text = ReadAll(record);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_TRUE(Has(text, "\"outcome\":\"stopped\"")) << text;
    EXPECT_TRUE(Has(text, "\"port\":\"" + a.Path() + "\"")) << text;
}

TEST(Station, RefusesARecordFileOfUnknownKind) {
    const RunResult r =
        ProgramRun({VELOR_FLASH, "station", "--port", "x", "--record", "line.txt"}).Wait();
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Has(r.err, ".csv")) << r.err;
}

}  // namespace
}  // namespace velor::testing
