#include <gtest/gtest.h>

#include "cli/commands/OutcomeCodes.h"
#include "cli/output/GangTable.h"
#include "cli/output/LiveLines.h"
#include "cli/production/SessionHost.h"

namespace velor::cli {
namespace {

TEST(GangTable, OneRowPerDeviceInColumns) {
    DeviceReport done{"/dev/ttyUSB10",
                      SessionOutcome::Done,
                      0,
                      "Мікропрограма успішно",
                      21.04,
                      0,
                      "0.0.0",
                      "",
                      ""};
    DeviceReport lost{"COM3", SessionOutcome::None, 3, "Помилка читання", 3.96, 7, "1.2.4", "", ""};
    DeviceReport stop{"COM4", SessionOutcome::Stopped, 4, "Зупинено", 0.5, 0, "0.0.0", "", ""};
    EXPECT_EQ(ReportTable({done, lost, stop}),
              "PORT           OUTCOME     SECONDS  FAILED  CALIBRATION  MESSAGE\n"
              "/dev/ttyUSB10  done           21.0       0  0.0.0        Мікропрограма успішно\n"
              "COM3           port-error      4.0       7  1.2.4        Помилка читання\n"
              "COM4           stopped         0.5       0  0.0.0        Зупинено\n");
}

TEST(GangTable, ProgressLineShowsCalibrationOnceAnAttemptFailed) {
    DeviceProgress p;
    EXPECT_EQ(ProgressLine("COM3", 6, p), "COM3          identifying");
    p.writing = true;
    p.write.PagesDone = 29;
    p.write.Pages = 64;
    p.write.Bytes = 29 * 1024 + 3 * 64;  // the bytes, not the pages, make the percentage
    p.write.BytesTotal = 64 * 1024;
    EXPECT_EQ(ProgressLine("COM3", 4, p), "COM3   45%  page 29/64  writing");
    p.write.FailedAttempts = 3;
    p.write.Calibration = "0.1.2";
    EXPECT_EQ(ProgressLine("COM3", 4, p),
              "COM3   45%  page 29/64  writing  failed attempts 3  calibration 0.1.2");
}

TEST(GangTable, WorstExitCodeRanksPortErrorsThenRefusalsThenStops) {
    EXPECT_EQ(WorseExitCode(kExitDone, kExitDone), kExitDone);
    EXPECT_EQ(WorseExitCode(kExitDone, kExitStopped), kExitStopped);
    EXPECT_EQ(WorseExitCode(kExitRefused, kExitStopped), kExitRefused);
    EXPECT_EQ(WorseExitCode(kExitStopped, kExitRefused), kExitRefused);
    EXPECT_EQ(WorseExitCode(kExitPortError, kExitRefused), kExitPortError);
    EXPECT_EQ(WorseExitCode(kExitRefused, kExitPortError), kExitPortError);
    EXPECT_EQ(ExitCodeOf(SessionOutcome::None), kExitRefused);
}

TEST(GangTable, MessagesOnOneLineAndCutToTheScreen) {
    EXPECT_EQ(OneLine("                              \r\nПомилка запису - 000400"),
              "Помилка запису - 000400");
    EXPECT_EQ(OneLine("  a \r\n\r\n   b c  \nd"), "a b c d");
    EXPECT_EQ(OneLine(""), "");
    EXPECT_EQ(FitColumns("Сторінка 12", 8), "Сторінка");
    EXPECT_EQ(FitColumns("abc", 3), "abc");
    EXPECT_EQ(FitColumns("abcd", 3), "abc");
}

}  // namespace
}  // namespace velor::cli
