// The reason beside the outcome in velor-flash's JSON result: a word of the documented list that
// a script can branch on, with the system message's number.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "DevsimProcess.h"
#include "FlashRun.h"

namespace velor::testing {
namespace {

std::string LastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    const std::size_t begin = text.rfind('\n', end);
    return text.substr(begin == std::string::npos ? 0 : begin + 1, end + 1 - (begin + 1));
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(FlashReasons, TheResultNamesWhyTheRunEnded) {
    DevsimProcess silent({"--ignore", "02"});
    DevsimProcess strange({"--version", "07"});
    DevsimProcess same({"--description", "241004"});
    const std::string empty = (std::filesystem::path(::testing::TempDir()) /
                               ("velor-empty-" + std::to_string(getpid()) + ".hex"))
                                  .string();
    std::ofstream(empty).close();
    const struct {
        std::vector<std::string> args;
        std::string outcome, reason;
    } cases[] = {
        {{"write", "--port", silent.Path()}, "refused", "no-reply"},
        {{"write", "--port", strange.Path()}, "refused", "unknown-bootloader"},
        {{"write", "--port", same.Path()}, "refused", "same-release"},
        {{"write", "--port", same.Path(), "--hex", empty}, "error", "bad-firmware"},
        {{"write", "--port", "/dev/velor-no-such-port"}, "port-error", "port-missing"},
        {{"detect", "--port", "/dev/null"}, "port-error", "not-a-serial-port"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const FlashResult r = RunFlashProgram(args);
        const std::string result = LastLine(r.out);
        EXPECT_TRUE(
            Has(result, "\"outcome\":\"" + c.outcome + "\",\"reason\":\"" + c.reason + "\""))
            << c.args[2] << ": " << result;
    }
    const FlashResult missing =
        RunFlashProgram({"detect", "--port", "/dev/velor-no-such-port", "--json"});
    EXPECT_TRUE(Has(LastLine(missing.out), "\"message_number\":1,")) << missing.out;
    std::filesystem::remove(empty);
}

// The system's message stays as it is; the terminal adds what it means.
TEST(FlashReasons, APortErrorGetsASecondLineThatFitsIt) {
    const FlashResult null = RunFlashProgram({"detect", "--port", "/dev/null"});
    EXPECT_EQ(null.code, 3);
    EXPECT_TRUE(Has(null.err, "/dev/null is not a serial port")) << null.err;
    const FlashResult missing = RunFlashProgram({"detect", "--port", "/dev/velor-no-such-port"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_TRUE(Has(missing.err, "There is no port /dev/velor-no-such-port.")) << missing.err;
    EXPECT_TRUE(Has(missing.err, "velor-flash ports")) << missing.err;
}

TEST(FlashReasons, DetectGivesTheDevicesFigures) {
    DevsimProcess devsim({"--geometry", "16:64:32", "--version", "02"});
    const FlashResult r = RunFlashProgram({"detect", "--port", devsim.Path(), "--json"});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string result = LastLine(r.out);
    for (const char* field :
         {"\"reason\":\"done\"", "\"bootloader_version\":\"02\"", "\"device_pages\":32",
          "\"device_blocks_per_page\":16", "\"device_block_size\":64", "\"release\":\"241003\""}) {
        EXPECT_TRUE(Has(result, field)) << field << " in " << result;
    }
}

}  // namespace
}  // namespace velor::testing
