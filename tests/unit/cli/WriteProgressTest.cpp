#include "cli/WriteProgress.h"

#include <gtest/gtest.h>

namespace velor::cli {
namespace {

TEST(WriteProgress, CalibrationComesFromTheDelayLabel) {
    EXPECT_EQ(CalibrationOf("Автокалібровка: 0.0.0"), "0.0.0");
    EXPECT_EQ(CalibrationOf("Автокалібровка: 3.0.12"), "3.0.12");
    EXPECT_EQ(CalibrationOf("Автокалібровка: 3.0"), "0.0.0");
    EXPECT_EQ(CalibrationOf("Автокалібровка: 3..1"), "0.0.0");
    EXPECT_EQ(CalibrationOf("Автокалібровка: 1.2.3x"), "0.0.0");
    EXPECT_EQ(CalibrationOf("1.2.3"), "0.0.0");
    EXPECT_EQ(CalibrationOf(""), "0.0.0");
    // Every failed attempt adds one millisecond to one delay.
    EXPECT_EQ(FailedAttemptsOf("3.0.12"), 15);
    EXPECT_EQ(FailedAttemptsOf("0.400.0"), 400);
    EXPECT_EQ(FailedAttemptsOf("garbage"), 0);
    EXPECT_EQ(FailedAttemptsOf("99999999999999999999.0.0"), 0);
}

class ProgressOfModel : public ::testing::Test {
  protected:
    void SetUp() override {
        info.PageCount = 64;
        info.BlocksPerPage = 16;
        info.BlockSize = 64;
        form.ProgressbarReadWrite.SetMaxValue(64);
        form.ProgressbarWrite.SetMax(16);
    }
    MainWindowModel form;
    DeviceInfo info;
};

TEST_F(ProgressOfModel, CountsFinishedPagesAndBlocksOfTheCurrentOne) {
    form.ProgressbarReadWrite.SetProgress(10);
    form.ProgressbarWrite.SetPosition(3);
    form.Label3 = "Автокалібровка: 1.2.0";
    const WriteProgress p = ReadProgress(form, info);
    EXPECT_EQ(p.PagesDone, 10);
    EXPECT_EQ(p.BlocksDone, 3);
    EXPECT_EQ(p.BytesTotal, 65536);
    EXPECT_EQ(p.Bytes, 10 * 1024 + 3 * 64);
    EXPECT_EQ(p.Percent(), (10 * 1024 + 3 * 64) * 100 / 65536);
    EXPECT_EQ(p.Calibration, "1.2.0");
    EXPECT_EQ(p.FailedAttempts, 3);
}

TEST_F(ProgressOfModel, AFullBarIsNeverCountedTwice) {
    // The last block of page 10 is written, the page not yet counted...
    form.ProgressbarReadWrite.SetProgress(10);
    form.ProgressbarWrite.SetPosition(16);
    const int64_t before = ReadProgress(form, info).Bytes;
    // ...then counted while the bar still shows it full.
    form.ProgressbarReadWrite.SetProgress(11);
    const int64_t after = ReadProgress(form, info).Bytes;
    EXPECT_EQ(after, 11 * 1024);
    EXPECT_LE(before, after);
    // The next page's first block.
    form.ProgressbarWrite.SetPosition(0);
    form.ProgressbarWrite.SetPosition(1);
    EXPECT_EQ(ReadProgress(form, info).Bytes, 11 * 1024 + 64);
}

TEST_F(ProgressOfModel, CompletedMeansEveryByte) {
    form.ProgressbarReadWrite.SetProgress(0);  // the completion sets the gauge back to 0
    const WriteProgress p = CompletedProgress(form, info);
    EXPECT_EQ(p.Bytes, 65536);
    EXPECT_EQ(p.PagesDone, 64);
    EXPECT_EQ(p.Percent(), 100);
}

TEST_F(ProgressOfModel, ADeviceOfNoPagesIsNoDivisionByZero) {
    info = DeviceInfo{};
    const WriteProgress p = ReadProgress(form, info);
    EXPECT_EQ(p.BytesTotal, 0);
    EXPECT_EQ(p.Bytes, 0);
    EXPECT_EQ(p.Percent(), 0);
}

}  // namespace
}  // namespace velor::cli
