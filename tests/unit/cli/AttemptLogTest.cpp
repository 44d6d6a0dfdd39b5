#include "cli/output/AttemptLog.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace velor::cli {
namespace {

TEST(AttemptLogLine, IsTheLogWordAndTheFrameWhateverTheVerdict) {
    FlashAttemptEvent attempt;
    attempt.Command = AttemptCommand::Write;
    attempt.LogWord = "Записав";
    attempt.Frame = "g0501AB;";
    attempt.Verdict = AttemptVerdict::NoReply;
    EXPECT_EQ(AttemptLogLine(attempt), "Записавg0501AB;");
    attempt.Verdict = AttemptVerdict::Accepted;
    attempt.Reply = "g0601;";
    EXPECT_EQ(AttemptLogLine(attempt), "Записавg0501AB;");
}

TEST(AttemptLogFile, AppendsRunAfterRun) {
    char pattern[] = "/tmp/velor-attempt-log-XXXXXX";
    const int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string error;
    for (const char* run : {"first", "second"}) {
        auto log = AttemptLogFile::Open(pattern, error);
        ASSERT_NE(log, nullptr) << error;
        log->Line(std::string("# ") + run);
        log->Line("Прошивg0606;");
    }
    std::ifstream in(pattern);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "# first\nПрошивg0606;\n# second\nПрошивg0606;\n");
    unlink(pattern);

    EXPECT_EQ(AttemptLogFile::Open("/nonexistent-dir/x.log", error), nullptr);
    EXPECT_NE(error.find("/nonexistent-dir/x.log"), std::string::npos);
}

}  // namespace
}  // namespace velor::cli
