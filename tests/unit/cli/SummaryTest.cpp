#include "cli/output/Summary.h"

#include <gtest/gtest.h>

namespace velor::cli {
namespace {

TEST(Summary, GroupsThousandsWithCommas) {
    EXPECT_EQ(GroupThousands(0), "0");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1000), "1,000");
    EXPECT_EQ(GroupThousands(65536), "65,536");
    EXPECT_EQ(GroupThousands(123456), "123,456");
    EXPECT_EQ(GroupThousands(1234567), "1,234,567");
    EXPECT_EQ(GroupThousands(-1234), "-1,234");
    EXPECT_EQ(GroupThousands(INT64_MIN), "-9,223,372,036,854,775,808");
}

TEST(Summary, ReadsAsTheTechnicianExpects) {
    WriteProgress p;
    p.Bytes = 65536;
    p.PagesDone = 64;
    p.FailedAttempts = 0;
    p.Calibration = "0.0.0";
    EXPECT_EQ(FormatSummary(p, 17.9),
              "Wrote 65,536 bytes (64 pages) in 17.9 s, 3.6 KB/s; 0 failed attempts; "
              "calibration 0.0.0");
    p.Bytes = 1024;
    p.PagesDone = 1;
    p.FailedAttempts = 1;
    p.Calibration = "0.1.0";
    EXPECT_EQ(FormatSummary(p, 2.0),
              "Wrote 1,024 bytes (1 page) in 2.0 s, 0.5 KB/s; 1 failed attempt; calibration 0.1.0");
    // No time has passed (a write of no pages): no division by zero.
    p.Bytes = 0;
    p.PagesDone = 0;
    EXPECT_EQ(FormatSummary(p, 0.0).substr(0, 40), "Wrote 0 bytes (0 pages) in 0.0 s, 0.0 KB");
}

}  // namespace
}  // namespace velor::cli
