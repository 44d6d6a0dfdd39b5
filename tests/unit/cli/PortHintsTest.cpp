#include "cli/commands/PortHints.h"

#include <gtest/gtest.h>

namespace velor::cli {
namespace {

TEST(PortHints, NamesTheHolders) {
    EXPECT_EQ(BusyPortHint("ttyUSB0", {{1234, "minicom"}}),
              "The port is held by minicom (pid 1234).");
    EXPECT_EQ(BusyPortHint("ttyUSB0", {{1, "screen"}, {2, ""}}),
              "The port is held by screen (pid 1), a program (pid 2).");
}

TEST(PortHints, ModemManagerGetsItsOwnAdvice) {
    const std::string held = BusyPortHint("ttyACM0", {{640, "ModemManager"}});
    EXPECT_EQ(held.rfind("The port is held by ModemManager (pid 640). ModemManager probes", 0), 0u)
        << held;
    EXPECT_NE(held.find("ID_MM_DEVICE_IGNORE"), std::string::npos);
    // A ttyACM port busy with no holder in sight: most likely ModemManager's probe.
    EXPECT_NE(BusyPortHint("/dev/ttyACM1", {}).find("ModemManager"), std::string::npos);
    EXPECT_EQ(BusyPortHint("ttyUSB0", {}), "");
}

}  // namespace
}  // namespace velor::cli
