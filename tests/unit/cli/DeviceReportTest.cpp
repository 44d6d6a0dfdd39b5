#include <gtest/gtest.h>

#include "cli/commands/CommandLine.h"

#include <cstdio>
#include <string>

#include "cli/output/GangTable.h"
#include "cli/output/Reporter.h"
#include "cli/production/DeviceRun.h"
#include "support/TextLines.h"

namespace velor::cli {
namespace {

// Two pages of two 64-byte blocks; the write's second page failed twice before it went through.
void PlayWrite(ISessionEvents& events, OutcomeKind kind, OutcomeReason reason,
               const std::string& message, const std::string& headline) {
    events.OnStarted({SessionOperation::Write, "COM3", 115200});
    events.OnIdentified({"02", 2, 2, 64, "241003"});
    events.OnReleaseChecked(ReleaseVerdict::Older);
    const auto at = [](int64_t pages, int64_t blocks) {
        return WriteProgressEvent{pages, 2, blocks, 2, (pages * 2 + blocks) * 64, 256};
    };
    events.OnProgress(at(0, 0));
    events.OnProgress(at(1, 0));
    events.OnCalibration({0, 1, 0, 1});
    events.OnCalibration({0, 1, 1, 2});
    events.OnProgress(at(1, 1));
    OperationEnded end;
    end.Operation = SessionOperation::Write;
    end.Kind = kind;
    end.Reason = reason;
    end.Message = message;
    end.Headline = headline;
    end.Progress = at(1, 1);
    end.Calibration = {0, 1, 1, 2};
    events.OnEnded(end);
}

TEST(DeviceReportListener, TakesTheFiguresAndTheHeadlineOfTheEnd) {
    DeviceReportListener listener;
    EXPECT_FALSE(listener.Progress().writing);
    PlayWrite(listener, OutcomeKind::Failed, OutcomeReason::FailureRule,
              "  \r\nПомилка запису - 000140", "Помилка запису - 000140");
    EXPECT_TRUE(listener.Progress().writing);
    EXPECT_EQ(listener.Progress().write.Bytes, 192);
    DeviceReport report;
    listener.Fill(report);
    EXPECT_EQ(report.message, "Помилка запису - 000140");
    EXPECT_EQ(report.failedAttempts, 2);
    EXPECT_EQ(report.calibration, "0.1.1");
}

TEST(DeviceReportListener, TheFirstErrorShownIsTheMessage) {
    DeviceReportListener listener;
    listener.OnStarted({SessionOperation::Write, "COM3", 115200});
    listener.OnPortErrorReport("Помилка читання з порта\nНеобхідно повторно відкрити програму!");
    OperationEnded end;
    end.Kind = OutcomeKind::PortError;
    end.Reason = OutcomeReason::PortLost;
    end.Message = "Помилка запису в порт.";
    listener.OnEnded(end);
    DeviceReport report;
    listener.Fill(report);
    EXPECT_EQ(report.message, "Помилка читання з порта Необхідно повторно відкрити програму!");

    DeviceReportListener other;
    other.OnStarted({SessionOperation::Write, "COM3", 115200});
    other.OnEnded(end);
    other.Fill(report);
    EXPECT_EQ(report.message, "Помилка запису в порт.");
}

// The one write, told to velor-flash's JSON reporter and to a gang's report: the same figures.
TEST(SameWrite, IsReportedAlikeByTheSingleAndTheGangFrontEnds) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    DeviceReportListener gang;
    {
        ReporterSettings settings;
        settings.Mode = OutputMode::Json;
        settings.Command = "write";
        settings.Port = "COM3";
        settings.Baud = "115200";
        double now = 10.0;
        Reporter reporter(settings, out, out, [&now] { return now; });
        SessionEventFanOut fanOut;
        fanOut.Add(reporter);
        fanOut.Add(gang);
        reporter.Start();
        PlayWrite(fanOut, OutcomeKind::Stopped, OutcomeReason::StopRequest, "Зупинено", "Зупинено");
        reporter.Finish(SessionOutcome::Stopped, 4);
    }
    std::fflush(out);
    std::rewind(out);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    const auto lines = test::LinesOf(text);
    ASSERT_FALSE(lines.empty());
    DeviceReport report;
    gang.Fill(report);
    EXPECT_EQ(report.reason, "stopped");
    EXPECT_EQ(lines.back(),
              "{\"event\":\"result\",\"outcome\":\"stopped\",\"reason\":\"" + report.reason +
                  "\",\"message_number\":0,\"exit_code\":4,\"version\":\"" + VersionLine() +
                  "\",\"bytes\":192,\"pages\":1,\"seconds\":0.0,\"failed_attempts\":" +
                  std::to_string(report.failedAttempts) + ",\"calibration\":\"" +
                  report.calibration + "\"}");
    EXPECT_EQ(ProgressLine("COM3", 4, gang.Progress()),
              "COM3   75%  page 1/2  writing  failed attempts 2  calibration 0.1.1");
}

}  // namespace
}  // namespace velor::cli
