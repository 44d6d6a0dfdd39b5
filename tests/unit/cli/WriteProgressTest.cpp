#include "cli/output/WriteProgress.h"

#include <gtest/gtest.h>

namespace velor::cli {
namespace {

WriteProgressEvent At(int64_t pages, int64_t blocks) {
    return {pages, 64, blocks, 16, (pages * 16 + blocks) * 64, 65536};
}

TEST(WriteProgress, TakesTheFiguresOfTheEventsAsTheyAre) {
    const WriteProgress p = ProgressOf(At(10, 3), {3, 0, 12, 15});
    EXPECT_EQ(p.PagesDone, 10);
    EXPECT_EQ(p.BlocksDone, 3);
    EXPECT_EQ(p.Bytes, 10 * 1024 + 3 * 64);
    EXPECT_EQ(p.Percent(), (10 * 1024 + 3 * 64) * 100 / 65536);
    EXPECT_EQ(p.Calibration, "3.0.12");
    EXPECT_EQ(p.FailedAttempts, 15);
}

TEST(WriteProgress, ADeviceOfNoPagesIsNoDivisionByZero) {
    const WriteProgress p = ProgressOf(WriteProgressEvent{}, CalibrationChanged{});
    EXPECT_EQ(p.Percent(), 0);
    EXPECT_EQ(p.Calibration, "0.0.0");
}

TEST(WriteFollower, FollowsOneOperationAndStartsAfreshWithTheNext) {
    WriteFollower follower;
    EXPECT_FALSE(follower.Running());
    follower.OnStarted({SessionOperation::Write, "COM3", 115200});
    EXPECT_TRUE(follower.Running());
    EXPECT_FALSE(follower.Writing());  // identifying
    follower.OnProgress(At(0, 0));
    EXPECT_TRUE(follower.Writing());
    follower.OnProgress(At(5, 2));
    follower.OnCalibration({0, 2, 1, 3});
    OperationEnded end;
    end.Kind = OutcomeKind::Failed;
    end.Reason = OutcomeReason::FailureRule;
    follower.OnEnded(end);
    EXPECT_FALSE(follower.Running());
    ASSERT_TRUE(follower.Ended().has_value());
    EXPECT_EQ(follower.Ended()->Reason, OutcomeReason::FailureRule);
    EXPECT_EQ(follower.Progress().Bytes, (5 * 16 + 2) * 64);
    EXPECT_EQ(follower.Progress().Calibration, "0.2.1");

    follower.OnStarted({SessionOperation::Reset, "COM3", 115200});
    EXPECT_EQ(follower.Operation(), SessionOperation::Reset);
    EXPECT_FALSE(follower.Writing());
    EXPECT_FALSE(follower.Ended().has_value());
    EXPECT_EQ(follower.Progress().Bytes, 0);
    EXPECT_EQ(follower.Progress().FailedAttempts, 0);
}

}  // namespace
}  // namespace velor::cli
