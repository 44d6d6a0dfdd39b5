#include "cli/AttemptLog.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "app/Memo.h"

namespace velor::cli {
namespace {

using Lines = std::vector<std::string>;

// The memo grows the way identification and the attempts make it grow.
TEST(AttemptLines, TakesEachAttemptOnceAndNothingElse) {
    Memo memo;
    AttemptLines reader;
    memo.Append("2410");  // a description arriving a character at a time
    EXPECT_EQ(reader.Take(memo.Text()), Lines{});
    memo.Append("03");
    EXPECT_EQ(reader.Take(memo.Text()), Lines{});
    memo.AddLine("Очистивg0400000004;");
    EXPECT_EQ(reader.Take(memo.Text()), Lines{"Очистивg0400000004;"});
    EXPECT_EQ(reader.Take(memo.Text()), Lines{});
    memo.EndLine();
    EXPECT_EQ(reader.Take(memo.Text()), Lines{});
    memo.AddLine("Записавg0501AB;");
    memo.AddLine("Прошивg0606;");
    memo.AddLine("Прошивg0606;");  // a retry logs the same line again
    EXPECT_EQ(reader.Take(memo.Text()), (Lines{"Записавg0501AB;", "Прошивg0606;", "Прошивg0606;"}));
}

TEST(AttemptLines, StartsOverWhenTheMemoIsEmptiedAndFilledAgain) {
    Memo memo;
    AttemptLines reader;
    memo.AddLine("241003");
    memo.AddLine("Очистивg0400000004;");
    memo.AddLine("Записавg0501AA;");
    EXPECT_EQ(reader.Take(memo.Text()).size(), 2u);
    memo.Clear();
    memo.Append("241003");
    EXPECT_EQ(reader.Take(memo.Text()), Lines{});
    // Longer than before, but not the same text: read from its start.
    memo.Clear();
    memo.AddLine("ABCDEF");
    memo.AddLine("Очистивg0400000004;");
    memo.AddLine("Записавg0501BB;");
    memo.AddLine("Прошивg0606;");
    EXPECT_EQ(reader.Take(memo.Text()),
              (Lines{"Очистивg0400000004;", "Записавg0501BB;", "Прошивg0606;"}));
}

TEST(AttemptLines, KnowsTheThreeLogWords) {
    EXPECT_TRUE(IsAttemptLine("Очистивg0400000004;"));
    EXPECT_TRUE(IsAttemptLine("Записав"));
    EXPECT_TRUE(IsAttemptLine("Прошивg0606;"));
    EXPECT_FALSE(IsAttemptLine("241003"));
    EXPECT_FALSE(IsAttemptLine(" Прошив"));
    EXPECT_FALSE(IsAttemptLine(""));
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
