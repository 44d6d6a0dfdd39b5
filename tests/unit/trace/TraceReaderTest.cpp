// The reader of traces from outside: what is wrong, on which line, and what it reads.
#include <gtest/gtest.h>

#include "trace/TraceReader.h"

namespace velor {
namespace {

const std::string kHeader =
    R"({"format":"velor-wire-trace","version":1,"program":"velor-flash","operation":"write","port":"p","baud":115200})"
    "\n";
const std::string kEnd =
    R"({"t":9,"ev":"end","outcome":"done","reason":"done","message":"m","pagesDone":0,"bytes":0,"failed":0,"calibration":[0,0,0]})"
    "\n";

TraceProblem ProblemOf(const std::string& text) {
    const TraceReading reading = ReadTraceText(text);
    return reading.problem.value_or(TraceProblem{-1, "none"});
}

TEST(TraceReader, SaysWhichLineIsWrongAndHow) {
    struct Case {
        std::string text;
        int64_t line;
        std::string what;
    };
    const std::vector<Case> cases = {
        {"", 1, "empty"},
        {"{\"format\":\"other\"}\n", 1, "not a wire trace"},
        {R"({"format":"velor-wire-trace","version":2})"
         "\n",
         1, "newer than this program reads"},
        {kHeader + "garbage\n", 2, "not JSON"},
        {kHeader + "[1,2]\n", 2, "not a JSON object"},
        {kHeader + R"({"t":5,"ev":"close"})"
                   "\n"
                   R"({"t":4,"ev":"close"})"
                   "\n",
         3, "time goes back"},
        {kHeader + R"({"t":5,"ev":"warp"})"
                   "\n",
         2, "unknown event"},
        {kHeader + R"({"t":5,"ev":"tx","data":"\u0100"})"
                   "\n",
         2, "not a byte"},
        {kHeader + R"({"t":5,"ev":"rx","data":"","readStart":6})"
                   "\n",
         2, "began after"},
        {kHeader +
             R"({"t":5,"ev":"attempt","command":"write","page":64,"block":1,"delayMs":0,"verdict":"accepted"})"
             "\n",
         2, "\"page\" is out of range"},
        {kHeader + kEnd +
             R"({"t":10,"ev":"close"})"
             "\n",
         3, "after the operation's end"},
        {kHeader + R"({"t":5,"ev":"cl)", 2, "cut off"},
        {kHeader + std::string(kTraceMaxLine + 1, ' ') + "\n", 2, "longer than"},
    };
    for (const Case& c : cases) {
        const TraceProblem problem = ProblemOf(c.text);
        EXPECT_EQ(problem.line, c.line) << c.text.substr(0, 200) << problem.what;
        EXPECT_NE(problem.what.find(c.what), std::string::npos) << problem.what;
    }
}

TEST(TraceReader, ATraceWithoutItsEndIsReadAndSaidToBeCutOff) {
    const TraceReading reading =
        ReadTraceText(kHeader + R"({"t":5,"ev":"tx","data":"g0202;","written":6})"
                                "\n");
    EXPECT_FALSE(reading.problem);
    EXPECT_TRUE(reading.cutOff());
    EXPECT_EQ(reading.content.exchanges.size(), 1u);
    EXPECT_FALSE(ReadTraceText(kHeader + kEnd).cutOff());
}

TEST(TraceReader, CountsAttemptsByKindAndFollowsTheCalibration) {
    const std::string text =
        kHeader +
        R"({"t":1,"ev":"attempt","command":"erase","page":0,"block":0,"delayMs":0,"verdict":"accepted"})"
        "\n"
        R"({"t":2,"ev":"attempt","command":"write","page":0,"block":1,"delayMs":0,"verdict":"no-reply"})"
        "\n"
        R"({"t":3,"ev":"calibration","erase":0,"write":1,"program":0,"failed":1})"
        "\n"
        R"({"t":4,"ev":"attempt","command":"write","page":0,"block":1,"delayMs":1,"verdict":"refused"})"
        "\n"
        R"({"t":5,"ev":"calibration","erase":0,"write":2,"program":0,"failed":2})"
        "\n" +
        kEnd;
    const TraceReading reading = ReadTraceText(text);
    ASSERT_FALSE(reading.problem) << reading.problem->what;
    const TraceContent& c = reading.content;
    EXPECT_EQ(c.attempts[0][0], 1);
    EXPECT_EQ(c.attempts[1][2], 1);
    EXPECT_EQ(c.attempts[1][1], 1);
    ASSERT_EQ(c.calibrations.size(), 2u);
    EXPECT_EQ(c.calibrations[1], (std::array<int64_t, 3>{0, 2, 0}));
}

TEST(TraceReader, RefusesWhatIsNoRegularFileOrTooLarge) {
    EXPECT_TRUE(ReadTraceFile("/dev/zero").problem);
    EXPECT_TRUE(ReadTraceFile("/nonexistent/trace.jsonl").problem);
}

}  // namespace
}  // namespace velor
