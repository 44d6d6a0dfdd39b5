#include <gtest/gtest.h>

#include "cli/production/GangOptions.h"

namespace velor::cli {
namespace {

std::optional<GangOptions> Parse(const Args& args, bool station = false) {
    std::string error;
    auto options = ParseGangOptions(args, station, error);
    EXPECT_EQ(options.has_value(), error.empty()) << error;
    return options;
}

TEST(GangOptions, PortsComeFromEveryFormOnceEachInTheirOrder) {
    const auto o = Parse({"--port", "/dev/ttyUSB1", "--ports", "/dev/ttyUSB0,,/dev/ttyUSB1,COM7",
                          "--port", "COM3", "--baud", "57600", "--hex", "f.hex"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->ports, (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB0", "COM7", "COM3"}));
    EXPECT_EQ(o->baudIndex, 11);
    EXPECT_EQ(o->hexFile, "f.hex");
    EXPECT_FALSE(o->allPorts);
    const auto all = Parse({"--all"});
    ASSERT_TRUE(all);
    EXPECT_TRUE(all->allPorts);
    EXPECT_TRUE(all->ports.empty());
}

TEST(GangOptions, StationOptionsAndUsageErrors) {
    const auto s = Parse({"--port", "a", "--count", "12", "--record", "line.csv"}, true);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->count, 12);
    EXPECT_EQ(s->recordFile, "line.csv");
    std::string error;
    for (const Args& bad :
         std::vector<Args>{{},                                 // no port at all
                           {"--ports", ","},                   // a list of nothing
                           {"--port", "a", "--count", "2"},    // the write has no count
                           {"--port", "a", "--baud", "1000"},  // not in the rate list
                           {"--port"},                         // no value
                           {"--port", "a", "--verbose"}}) {
        EXPECT_FALSE(ParseGangOptions(bad, false, error)) << bad.size();
    }
    for (const char* count : {"0", "-1", "3x", "", "99999999999999999999"}) {
        EXPECT_FALSE(ParseGangOptions({"--port", "a", "--count", count}, true, error)) << count;
    }
}

TEST(GangOptions, WhichWritesAreForSeveralPorts) {
    EXPECT_FALSE(WantsSeveralPorts({"--port", "a"}));
    EXPECT_FALSE(WantsSeveralPorts({"--port", "a", "--hex", "--port"}));  // a file named --port
    EXPECT_TRUE(WantsSeveralPorts({"--port", "a", "--port", "b"}));
    EXPECT_TRUE(WantsSeveralPorts({"--ports", "a"}));
    EXPECT_TRUE(WantsSeveralPorts({"--all"}));
}

}  // namespace
}  // namespace velor::cli
