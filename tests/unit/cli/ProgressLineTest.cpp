#include "cli/output/ProgressLine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velor::cli {
namespace {

WriteProgress Halfway() {
    WriteProgress p;
    p.Pages = 64;
    p.PagesDone = 32;
    p.BlocksPerPage = 16;
    p.BlocksDone = 4;
    p.BytesTotal = 65536;
    p.Bytes = 32768;
    p.Calibration = "1.0.2";
    return p;
}

// The characters a terminal shows: escape sequences take no room.
std::string Visible(const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\033') {
            while (i < line.size() && line[i] != 'm')
                ++i;
            continue;
        }
        out += line[i];
    }
    return out;
}

TEST(ProgressLine, DurationsReadAsClocks) {
    EXPECT_EQ(FormatDuration(0), "0:00");
    EXPECT_EQ(FormatDuration(8.9), "0:08");
    EXPECT_EQ(FormatDuration(65), "1:05");
    EXPECT_EQ(FormatDuration(3600 * 12 + 3), "12:00:03");
    EXPECT_EQ(FormatDuration(-5), "0:00");
    EXPECT_EQ(FormatDuration(NAN), "0:00");
}

TEST(ProgressLine, TimeLeftFollowsTheRateSoFar) {
    WriteProgress p = Halfway();
    ASSERT_TRUE(EstimateRemaining(p, 10.0).has_value());
    EXPECT_DOUBLE_EQ(*EstimateRemaining(p, 10.0), 10.0);
    p.Bytes = 16384;
    EXPECT_DOUBLE_EQ(*EstimateRemaining(p, 10.0), 30.0);
    p.Bytes = 0;
    EXPECT_FALSE(EstimateRemaining(p, 10.0).has_value());
    EXPECT_FALSE(EstimateRemaining(Halfway(), 0.0).has_value());
}

TEST(ProgressLine, TheTerminalLineHoldsEveryFactAndFitsTheWidth) {
    ProgressTimes times{8.0, 10.0};
    const std::string line = FormatProgressLine(Halfway(), times, 120, false);
    for (const char* part : {" 50%", "page 32/64", "block 4/16", "32,768/65,536 B", "0:08",
                             "ETA 0:10", "delays 1.0.2"}) {
        EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
    }
    EXPECT_EQ(line.find('\033'), std::string::npos);
    // Half the bar is filled.
    const auto open = line.find('['), close = line.find(']');
    const std::string bar = line.substr(open + 1, close - open - 1);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), '#'), static_cast<long>(bar.size() / 2));

    for (int width : {200, 100, 80, 60, 40, 10, 0}) {
        EXPECT_LE(Visible(FormatProgressLine(Halfway(), times, width, true)).size(),
                  static_cast<std::size_t>(width))
            << width;
    }
    times.Remaining.reset();
    EXPECT_NE(FormatProgressLine(Halfway(), times, 120, false).find("ETA --:--"),
              std::string::npos);
}

TEST(ProgressLine, ColourOnlyWhenAskedAndNoColorIsHonoured) {
    const ProgressTimes times{1.0, 1.0};
    const std::string coloured = FormatProgressLine(Halfway(), times, 120, true);
    EXPECT_NE(coloured.find("\033[32m"), std::string::npos);
    EXPECT_EQ(Visible(coloured), FormatProgressLine(Halfway(), times, 120, false));
    EXPECT_FALSE(NoColorRequested(nullptr));
    EXPECT_FALSE(NoColorRequested(""));
    EXPECT_TRUE(NoColorRequested("1"));
}

TEST(ProgressLine, PlainLinesCarryTheSameFacts) {
    const std::string line = FormatPlainProgress(Halfway(), ProgressTimes{8.0, 10.0});
    EXPECT_EQ(line,
              "write: 50%  page 32/64  block 4/16  32,768/65,536 B  elapsed 0:08  ETA 0:10  "
              "delays 1.0.2");
}

TEST(ProgressLine, ThrottleLetsOneThroughPerInterval) {
    ProgressThrottle throttle(1.0);
    EXPECT_TRUE(throttle.Due(100.0));
    EXPECT_FALSE(throttle.Due(100.5));
    EXPECT_FALSE(throttle.Due(100.99));
    EXPECT_TRUE(throttle.Due(101.0));
    throttle.Restart(101.8);
    EXPECT_FALSE(throttle.Due(102.5));
    EXPECT_TRUE(throttle.Due(102.8));
}

}  // namespace
}  // namespace velor::cli
