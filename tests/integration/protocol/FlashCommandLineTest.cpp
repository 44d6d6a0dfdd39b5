// velor-flash's command line as a process: the version, options before the command, the port
// from VELOR_PORT, and a usage error as one line.
#include <gtest/gtest.h>

#include <algorithm>

#include "DevsimProcess.h"
#include "FlashRun.h"

namespace velor::testing {
namespace {

TEST(FlashCommandLine, VersionOnItsOwnAndAfterACommand) {
    for (const auto& args : {std::vector<std::string>{"--version"}, {"write", "--version"}}) {
        const FlashResult r = RunFlashProgram(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(r.out.starts_with("velor-flash ")) << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    }
}

TEST(FlashCommandLine, OptionsBeforeTheCommandAndThePortFromTheEnvironment) {
    DevsimProcess devsim({});
    const FlashResult before =
        RunFlashProgram({"--port=" + devsim.Path(), "-b", "115200", "detect"});
    EXPECT_EQ(before.code, 0) << before.err;
    EXPECT_NE(before.out.find("Визначино:"), std::string::npos) << before.out;
    const FlashResult fromEnvironment =
        RunFlashProgram({"detect"}, {"VELOR_PORT=" + devsim.Path()});
    EXPECT_EQ(fromEnvironment.code, 0) << fromEnvironment.err;
    EXPECT_NE(fromEnvironment.out.find("Визначино:"), std::string::npos) << fromEnvironment.out;
}

TEST(FlashCommandLine, AUsageErrorIsOneLineThatNamesTheHelp) {
    const FlashResult r = RunFlashProgram({"write", "--prot", "/dev/ttyUSB0"}, {"VELOR_PORT="});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(
        r.err,
        "velor-flash write: unknown option '--prot', did you mean '--port'? (see `velor-flash "
        "write --help`)\n");
    const FlashResult command = RunFlashProgram({"wirte"});
    EXPECT_EQ(command.code, 2);
    EXPECT_NE(command.err.find("did you mean 'write'?"), std::string::npos) << command.err;
}

}  // namespace
}  // namespace velor::testing
