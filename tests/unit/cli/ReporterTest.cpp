#include "cli/commands/CommandLine.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/output/Reporter.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace velor::cli {
namespace {

// A FILE* whose text the test reads back (a temporary file: memory streams are not on Windows).
class Capture {
  public:
    Capture() : m_file(std::tmpfile()) {}
    ~Capture() { std::fclose(m_file); }
    std::FILE* File() { return m_file; }
    std::string Text() {
        std::fflush(m_file);
        const long end = std::ftell(m_file);
        std::string text(static_cast<std::size_t>(end), '\0');
        std::rewind(m_file);
        text.resize(std::fread(text.data(), 1, text.size(), m_file));
        std::fseek(m_file, 0, SEEK_END);
        return text;
    }

  private:
    std::FILE* m_file;
};

using test::LinesOf;

using test::Has;

class ReporterRun : public ::testing::Test {
  protected:
    std::unique_ptr<Reporter> Make(OutputMode mode, bool terminal = false) {
        ReporterSettings settings;
        settings.Mode = mode;
        settings.Terminal = terminal;
        settings.Width = 100;
        settings.Command = "write";
        settings.Port = "/dev/ttyUSB0";
        settings.Baud = "115200";
        settings.Firmware = "embedded release";
        return std::make_unique<Reporter>(settings, out.File(), err.File(), [this] { return now; });
    }
    // Four pages of two blocks of 64 bytes.
    static WriteProgressEvent At(int64_t pages, int64_t blocks) {
        return {pages, 4, blocks, 2, (pages * 2 + blocks) * 64, 512};
    }
    static OperationEnded End(OutcomeKind kind, OutcomeReason reason, WriteProgressEvent progress) {
        OperationEnded end;
        end.Operation = SessionOperation::Write;
        end.Kind = kind;
        end.Reason = reason;
        end.Progress = progress;
        return end;
    }
    // Identification, then a write of all four pages, one turn per block, 0.25 s apart.
    void Write(Reporter& reporter) {
        reporter.Start();
        reporter.OnStarted({SessionOperation::Write, "/dev/ttyUSB0", 115200});
        reporter.Turn();
        now += 1.0;
        reporter.OnProgress(At(0, 0));
        for (int page = 0; page < 4; ++page) {
            for (int block = 1; block <= 2; ++block) {
                FlashAttemptEvent attempt;
                attempt.Command = AttemptCommand::Write;
                attempt.Page = page;
                attempt.Block = block;
                attempt.LogWord = "Записав";
                attempt.Frame = "g050" + std::to_string(block) + ";";
                reporter.OnAttempt(attempt);
                reporter.Turn();
                reporter.OnProgress(At(page, block));
                now += 0.25;
            }
            reporter.OnProgress(At(page + 1, 0));
        }
        reporter.Message("Мікропрограма успішно завантажена");
        reporter.OnEnded(End(OutcomeKind::Done, OutcomeReason::Done, At(4, 0)));
    }

    double now = 100.0;
    Capture out;
    Capture err;
};

TEST_F(ReporterRun, JsonPutsOnlyEventsOnStdout) {
    auto reporter = Make(OutputMode::Json);
    Write(*reporter);
    reporter->Error("Помилка");
    reporter->Finish(SessionOutcome::Done, 0);
    EXPECT_EQ(err.Text(), "");
    const auto lines = LinesOf(out.Text());
    ASSERT_GE(lines.size(), 5u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.rfind("{\"event\":\"", 0), 0u) << line;
        EXPECT_EQ(line.back(), '}') << line;
    }
    EXPECT_EQ(lines.front(),
              "{\"event\":\"start\",\"command\":\"write\",\"port\":\"/dev/ttyUSB0\","
              "\"baud\":115200,\"firmware\":\"embedded release\",\"version\":\"" +
                  VersionLine() + "\"}");
    EXPECT_TRUE(Has(lines[1], "\"event\":\"progress\"")) << lines[1];
    EXPECT_TRUE(Has(lines[lines.size() - 3], "\"event\":\"message\""));
    EXPECT_EQ(lines[lines.size() - 2], "{\"event\":\"error\",\"text\":\"Помилка\"}");
    EXPECT_EQ(lines.back(),
              "{\"event\":\"result\",\"outcome\":\"done\",\"reason\":\"done\",\"message_number\":0,"
              "\"exit_code\":0,\"version\":\"" +
                  VersionLine() +
                  "\",\"bytes\":512,\"pages\":4,\"seconds\":3.0,\"failed_attempts\":0,"
                  "\"calibration\":\"0.0.0\"}");
    // Every new page is reported; progress never goes back.
    int64_t lastBytes = -1;
    int progressEvents = 0;
    for (const auto& line : lines) {
        if (!Has(line, "\"progress\""))
            continue;
        ++progressEvents;
        const auto at = line.find("\"bytes\":") + 8;
        const int64_t bytes = std::stoll(line.substr(at));
        EXPECT_GE(bytes, lastBytes);
        lastBytes = bytes;
    }
    EXPECT_GE(progressEvents, 4);
}

TEST_F(ReporterRun, QuietPrintsTheSummaryAloneAfterASuccess) {
    auto reporter = Make(OutputMode::Quiet);
    Write(*reporter);
    reporter->Finish(SessionOutcome::Done, 0);
    EXPECT_EQ(out.Text(),
              "Wrote 512 bytes (4 pages) in 3.0 s, 0.2 KB/s; 0 failed attempts; "
              "calibration 0.0.0\n");
    EXPECT_EQ(err.Text(), "");
}

TEST_F(ReporterRun, QuietKeepsTheMessagesOfARefusalAndTheErrors) {
    auto reporter = Make(OutputMode::Quiet);
    reporter->Start();
    reporter->OnStarted({SessionOperation::Write, "/dev/ttyUSB0", 115200});
    reporter->Turn();
    reporter->Message("Дана версія вже записана в прилад!");
    reporter->Error("Порт зайнятий");
    reporter->OnEnded(End(OutcomeKind::Refused, OutcomeReason::SameRelease, {}));
    reporter->Finish(SessionOutcome::Refused, 1);
    EXPECT_EQ(out.Text(), "Дана версія вже записана в прилад!\n");
    EXPECT_EQ(err.Text(), "Порт зайнятий\n");
}

TEST_F(ReporterRun, PlainLinesComeAtMostOnceASecond) {
    auto reporter = Make(OutputMode::Human, false);
    Write(*reporter);  // eight turns over two seconds of writing
    reporter->Finish(SessionOutcome::Done, 0);
    const auto progress = LinesOf(err.Text());
    EXPECT_EQ(progress.size(), 2u) << err.Text();
    for (const auto& line : progress)
        EXPECT_EQ(line.rfind("write: ", 0), 0u) << line;
    EXPECT_EQ(err.Text().find('\033'), std::string::npos);
    EXPECT_EQ(out.Text(),
              "Мікропрограма успішно завантажена\n"
              "Wrote 512 bytes (4 pages) in 3.0 s, 0.2 KB/s; 0 failed attempts; "
              "calibration 0.0.0\n");
}

TEST_F(ReporterRun, TheTerminalLineIsClearedBeforeAMessage) {
    auto reporter = Make(OutputMode::Human, true);
    Write(*reporter);
    reporter->Finish(SessionOutcome::Done, 0);
    const std::string progress = err.Text();
    EXPECT_EQ(progress.rfind("\r\033[Kidentifying the device on /dev/ttyUSB0...  0:00\r\033[K[", 0),
              0u)
        << progress;
    EXPECT_TRUE(Has(progress, "87%  page 3/4  block 1/2  448/512 B")) << progress;
    // The last thing on the line is the clearing, so the messages start on a clean line.
    EXPECT_EQ(progress.substr(progress.size() - 4), "\r\033[K");
    EXPECT_EQ(progress.find('\n'), std::string::npos);
}

TEST_F(ReporterRun, TheTerminalShowsMessagesWithoutTheBoxsLeadingSpaces) {
    const std::string boxed = std::string(41, ' ') + "Мікропрограма успішно завантажена\n  Після";
    auto human = Make(OutputMode::Human);
    human->Message(boxed);
    EXPECT_EQ(out.Text(), "Мікропрограма успішно завантажена\nПісля\n");
    // The JSON message stays word for word.
    Capture json;
    ReporterSettings settings;
    settings.Mode = OutputMode::Json;
    Reporter events(settings, json.File(), err.File(), [] { return 0.0; });
    events.Message(boxed);
    EXPECT_TRUE(Has(json.Text(), std::string(41, ' ') + "Мікропрограма")) << json.Text();
}

TEST_F(ReporterRun, AFailedWriteSummarisesWhatWasWritten) {
    auto reporter = Make(OutputMode::Human, false);
    reporter->Start();
    reporter->OnStarted({SessionOperation::Write, "/dev/ttyUSB0", 115200});
    reporter->OnProgress(At(1, 1));
    reporter->OnCalibration({0, 398, 2, 400});
    now += 2.0;
    reporter->Turn();
    reporter->OnEnded(End(OutcomeKind::Failed, OutcomeReason::FailureRule, At(1, 1)));
    reporter->Finish(SessionOutcome::Failed, 1);
    EXPECT_TRUE(Has(out.Text(),
                    "Wrote 192 bytes (1 page) in 2.0 s, 0.1 KB/s; 400 failed "
                    "attempts; calibration 0.398.2"))
        << out.Text();
}

TEST_F(ReporterRun, AFailedWriteCountsItsLastAttemptInTheSummaryAndTheResult) {
    for (const OutputMode mode : {OutputMode::Human, OutputMode::Json}) {
        auto reporter = Make(mode, false);
        reporter->Start();
        reporter->OnStarted({SessionOperation::Write, "/dev/ttyUSB0", 115200});
        reporter->OnProgress(At(1, 1));
        reporter->OnCalibration({399, 0, 0, 399});
        reporter->Turn();
        // The 400th attempt fails after the last turn; the write ends there.
        reporter->OnCalibration({400, 0, 0, 400});
        reporter->OnEnded(End(OutcomeKind::Failed, OutcomeReason::FailureRule, At(1, 1)));
        reporter->Finish(SessionOutcome::Failed, 1);
    }
    EXPECT_TRUE(Has(out.Text(), "400 failed attempts; calibration 400.0.0")) << out.Text();
    EXPECT_TRUE(Has(out.Text(), "\"failed_attempts\":400,\"calibration\":\"400.0.0\""))
        << out.Text();
}

TEST_F(ReporterRun, TheLogHoldsAHeaderTheAttemptsAndTheResult) {
    const std::filesystem::path pattern =
        std::filesystem::temp_directory_path() /
        ("velor-reporter-log-" + std::to_string(std::random_device{}()));
    {
        auto reporter = Make(OutputMode::Quiet);
        std::string error;
        ASSERT_TRUE(reporter->OpenLog(pattern.string(), error)) << error;
        Write(*reporter);
        reporter->Finish(SessionOutcome::Done, 0);
    }
    std::ifstream in(pattern);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(pattern);
    const auto lines = LinesOf(text.str());
    ASSERT_EQ(lines.size(), 1u + 8u + 2u) << text.str();
    EXPECT_EQ(lines[0].rfind("# velor-flash write --port /dev/ttyUSB0 --baud 115200, firmware "
                             "embedded release, ",
                             0),
              0u)
        << lines[0];
    EXPECT_EQ(lines[1], "Записавg0501;");
    EXPECT_EQ(lines[8], "Записавg0502;");
    EXPECT_EQ(lines[9].rfind("# Wrote 512 bytes", 0), 0u) << lines[9];
    EXPECT_EQ(lines[10], "# result: done (done), exit 0");
}

// Two devices of a gang: their events share stdout, their attempts one log.
TEST_F(ReporterRun, SeveralDevicesNameTheirPortInEveryEventAndLogLine) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("velor-reporter-shared-log-" + std::to_string(std::random_device{}()));
    {
        std::string error;
        std::shared_ptr<AttemptLogFile> log = AttemptLogFile::Open(path.string(), error);
        ASSERT_TRUE(log) << error;
        for (const char* port : {"/dev/ttyUSB0", "/dev/ttyUSB1"}) {
            ReporterSettings settings;
            settings.Mode = OutputMode::Json;
            settings.Command = "write";
            settings.Port = port;
            settings.Baud = "115200";
            settings.SeveralDevices = true;
            settings.Slot = std::string("slot of ") + port;
            Reporter reporter(settings, out.File(), err.File(), [this] { return now; });
            reporter.ShareLog(log);
            Write(reporter);
            reporter.Error("Помилка");
            reporter.NoteStopRequest("velor-flash: stopping");
            reporter.Finish(SessionOutcome::Done, 0);
        }
    }
    EXPECT_EQ(err.Text(), "");
    for (const auto& line : LinesOf(out.Text())) {
        const bool first = Has(line, "\"port\":\"/dev/ttyUSB0\"");
        EXPECT_NE(first, Has(line, "\"port\":\"/dev/ttyUSB1\"")) << line;
        EXPECT_TRUE(Has(line, first ? "\"slot\":\"slot of /dev/ttyUSB0\""
                                    : "\"slot\":\"slot of /dev/ttyUSB1\""))
            << line;
    }
    EXPECT_TRUE(Has(out.Text(), "{\"event\":\"error\",\"text\":\"Помилка\",\"port\":"));
    EXPECT_TRUE(Has(out.Text(), "{\"event\":\"stopping\",\"text\":\"velor-flash: stopping\""));

    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(path);
    const auto lines = LinesOf(text.str());
    ASSERT_EQ(lines.size(), 2u * 11u) << text.str();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string port = i < 11 ? "/dev/ttyUSB0\t" : "/dev/ttyUSB1\t";
        EXPECT_EQ(lines[i].rfind(port, 0), 0u) << lines[i];
    }
    EXPECT_TRUE(Has(lines[0], ", slot slot of /dev/ttyUSB0, ")) << lines[0];
    EXPECT_EQ(lines[12], "/dev/ttyUSB1\tЗаписавg0501;");
    EXPECT_EQ(lines.back(), "/dev/ttyUSB1\t# result: done (done), exit 0");
}

// A device of a gang in a person's manner: the table speaks for it, the reporter only logs.
TEST_F(ReporterRun, SilentPrintsNothingAndAStopIsAnEventOnlyInJson) {
    auto silent = Make(OutputMode::Silent);
    Write(*silent);
    silent->Error("Помилка");
    silent->NoteStopRequest("velor-flash: stopping");
    silent->Finish(SessionOutcome::Done, 0);
    EXPECT_EQ(out.Text(), "");
    EXPECT_EQ(err.Text(), "");

    auto json = Make(OutputMode::Json);
    json->Start();
    json->NoteStopRequest("velor-flash: stopping");
    json->NoteStopRequest("velor-flash: stopping");
    json->Finish(SessionOutcome::Stopped, 4);
    const auto lines = LinesOf(out.Text());
    ASSERT_EQ(lines.size(), 3u) << out.Text();
    EXPECT_EQ(lines[1], "{\"event\":\"stopping\",\"text\":\"velor-flash: stopping\"}");
    EXPECT_TRUE(Has(lines[2], "\"outcome\":\"stopped\"")) << lines[2];
}

TEST(OutcomeName, NamesEveryEnd) {
    EXPECT_STREQ(OutcomeName(SessionOutcome::Done, 0), "done");
    EXPECT_STREQ(OutcomeName(SessionOutcome::Refused, 1), "refused");
    EXPECT_STREQ(OutcomeName(SessionOutcome::Failed, 1), "failed");
    EXPECT_STREQ(OutcomeName(SessionOutcome::Stopped, 4), "stopped");
    EXPECT_STREQ(OutcomeName(SessionOutcome::None, 3), "port-error");
    EXPECT_STREQ(OutcomeName(SessionOutcome::None, 1), "error");
}

}  // namespace
}  // namespace velor::cli
