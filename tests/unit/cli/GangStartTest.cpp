// The firmware and the ports a gang write and the station settle on before the first device.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/commands/OutcomeCodes.h"
#include "cli/production/GangStart.h"
#include "support/RecordingHost.h"

namespace velor::cli {
namespace {

TEST(GangStartTest, UsageErrorsAndHelpEndTheCommandBeforeAnyDevice) {
    EXPECT_EQ(EndBeforeDevices(std::nullopt, true, "bad", "usage\n"), kExitUsage);
    GangOptions options;
    options.ports = {"/dev/ttyUSB0"};
    EXPECT_EQ(EndBeforeDevices(options, false, "bad record", "usage\n"), kExitUsage);
    EXPECT_EQ(EndBeforeDevices(options, true, "", "usage\n"), std::nullopt);
    options.help = true;
    EXPECT_EQ(EndBeforeDevices(options, true, "", "usage\n"), kExitDone);
    // A usage error wins over --help: the operator must see what was wrong.
    EXPECT_EQ(EndBeforeDevices(options, false, "bad record", "usage\n"), kExitUsage);
}

TEST(GangStartTest, EmbeddedReleaseAndTheNamedPortsInTheirOrder) {
    test::RecordingHost host;
    GangOptions options;
    options.ports = {"/dev/ttyUSB1", "/dev/ttyUSB0"};
    GangStart start;
    ASSERT_EQ(PrepareGang(options, host, start), kExitDone);
    EXPECT_EQ(start.ports, options.ports);
    EXPECT_EQ(start.portWidth, std::string("/dev/ttyUSB1").size());
    ASSERT_TRUE(start.image);
    EXPECT_TRUE(start.image->HasData());
}

TEST(GangStartTest, RefusedTextStopsBeforeAnyPortIsUsed) {
    const auto file = std::filesystem::temp_directory_path() / "velor-gang-start-test.hex";
    std::ofstream(file) << ":10000000ZZ\n";
    test::RecordingHost host;
    GangOptions options;
    options.ports = {"/dev/ttyUSB0"};
    options.hexFile = file.string();
    GangStart start;
    EXPECT_EQ(PrepareGang(options, host, start), kExitRefused);
    EXPECT_FALSE(host.log.empty());  // the reason went to the host
    std::filesystem::remove(file);
}

TEST(GangStartTest, MissingFileIsNotSuccess) {
    test::RecordingHost host;
    GangOptions options;
    options.ports = {"/dev/ttyUSB0"};
    options.hexFile = "/nonexistent/velor/firmware.hex";
    GangStart start;
    EXPECT_NE(PrepareGang(options, host, start), kExitDone);
}

}  // namespace
}  // namespace velor::cli
