// Text from a device reaches the terminal with its control characters shown, not obeyed.
#include <gtest/gtest.h>

#include "DevsimProcess.h"
#include "ProgramRun.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using test::Has;

TEST(TerminalEscapes, ADeviceDescriptionCannotDriveTheTerminal) {
    // Sets the window title and clears the screen.
    DevsimProcess device({"--description", "\x1b]0;pwned\x07\x1b[2J241003"});
    for (const std::vector<std::string>& mode : {std::vector<std::string>{}, {"--quiet"}}) {
        std::vector<std::string> args = {VELOR_FLASH, "detect", "--port", device.Path()};
        args.insert(args.end(), mode.begin(), mode.end());
        const RunResult r = ProgramRun(args).Wait();
        const std::string all = r.out + r.err;
        EXPECT_FALSE(Has(all, "\x1b")) << all;
        EXPECT_FALSE(Has(all, "\x07")) << all;
        EXPECT_TRUE(Has(r.out, "\\x1B]0;pwned\\x07\\x1B[2J241003")) << r.out;
    }
    // JSON keeps its own escapes.
    const RunResult json =
        ProgramRun({VELOR_FLASH, "detect", "--port", device.Path(), "--json"}).Wait();
    EXPECT_TRUE(Has(json.out, "\\u001b]0;pwned\\u0007")) << json.out;
}

}  // namespace
}  // namespace velor::testing
