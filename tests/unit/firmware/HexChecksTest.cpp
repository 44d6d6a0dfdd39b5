#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Conversions.h"
#include "firmware/HexChecks.h"
#include "support/RecordingHost.h"

namespace velor {
namespace {

TEST(HexByteSum, SumsPairsModulo256AndIgnoresInvalidPairs) {
    const struct {
        std::string text, sum;
    } cases[] = {
        {"00000001", "01"},  // the end-of-file record's fields
        {"FFFF", "FE"},      //
        {"", "00"},          //
        {"ZZ01", "01"},      // an invalid pair adds 0
        {"8080", "00"},      // exactly 256
        {"ZZ -1+F", "00"},   // no valid pair at all (space, sign)
        {"0a0B", "15"},      // lower-case digits count
        {"10FC000001C022C1112484B7882369F0982F9A70", "F5"},
        {"ABC", "AB"},  // a lone last character adds nothing and is not overrun
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexByteSum(c.text), c.sum) << c.text;
    }
}

// The rule written the plain way, one character at a time, for texts of a, CR and LF.
std::vector<std::string_view> ReferenceLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0, i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += text.substr(i, 2) == "\r\n" ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

TEST(SplitLines, AgreesWithThePlainRuleOnEveryShortText) {
    // Every text of up to 7 characters over "a", CR and LF: 3,280 texts.
    const char alphabet[] = {'a', '\r', '\n'};
    for (int length = 0; length <= 7; ++length) {
        int total = 1;
        for (int k = 0; k < length; ++k) {
            total *= 3;
        }
        for (int n = 0; n < total; ++n) {
            std::string text;
            for (int k = 0, v = n; k < length; ++k, v /= 3) {
                text += alphabet[v % 3];
            }
            const auto expected = ReferenceLines(text);
            const HexLines lines = SplitLines(text);
            ASSERT_EQ(std::vector<std::string_view>(lines.begin(), lines.end()), expected)
                << testing::PrintToString(text);
            ASSERT_EQ(lines.size(), expected.size()) << testing::PrintToString(text);
            ASSERT_EQ(CountLines(text), expected.size()) << testing::PrintToString(text);
        }
    }
}

struct CheckRun {
    bool passed = false;
    test::RecordingHost host;
    TsGauge gauge;
};

void Check(const std::string& text, CheckRun& run) {
    EventPump pump(run.host);
    run.passed = CheckFirmwareText(SplitLines(text), run.gauge, run.host, pump);
}

TEST(CheckFirmwareText, PassesGoodTextsAndStepsTheGaugeForEveryLine) {
    const std::string texts[] = {
        ":00000001FF", ":020000040000FA\r\n:0100000041BE\r\n:00000001FF\r\n",
        ":00\n\n; comment\n :garbage\n",  // a bare ":00", and lines that are not records
        ":00000001FF\n:0100000041BE\n",   // lines after the end-of-file record are tested too
    };
    for (const auto& text : texts) {
        CheckRun run;
        Check(text, run);
        const auto n = static_cast<int64_t>(SplitLines(text).size());
        EXPECT_TRUE(run.passed) << text;
        EXPECT_TRUE(run.host.log.empty()) << text;
        EXPECT_EQ(run.gauge.MaxValue(), n - 1) << text;
        EXPECT_EQ(run.gauge.Progress(), n - 1) << text;
    }
}

TEST(CheckFirmwareText, ReportsTheFirstFailingLineByItsNumberAmongAllLines) {
    const std::string parity = "Порушення парності у строці мікропрограми: ";
    const std::string checksum = "Помилка контрольної суми у строці мікропрограми: ";
    const struct {
        std::string text, message;
    } cases[] = {
        {":0100000041BE\n\n:0100000041B\n", parity + "3! (:0100000041B)"},
        {":0100000041BEE\n", parity + "1! (:0100000041BEE)"},
        {"x\r\n:0100000041BF\r\n", checksum + "2! (:0100000041BF)"},
        {":FF\n", checksum + "1! (:FF)"},                  // the empty sum asks for 00
        {":01000000BE\n", checksum + "1! (:01000000BE)"},  // a whole byte missing
        {":00000001FF\n:0100000041BD\n", checksum + "2! (:0100000041BD)"},
        {":01000000Z1BE\n", checksum + "1! (:01000000Z1BE)"},  // Z1 adds 0
        // The line is shown as the 8-bit text it is: the capital А of CP1251 is 0xC0.
        {":00000001FF\xC0\n", parity + "1! (:00000001FFА)"},
        // Only the first failure counts: the bad checksum field of line 2 is never read.
        {":0100000041BF\n:01000000ZZ\n", checksum + "1! (:0100000041BF)"},
    };
    for (const auto& c : cases) {
        CheckRun run;
        run.gauge.SetProgress(50);
        Check(c.text, run);
        EXPECT_FALSE(run.passed) << c.text;
        EXPECT_EQ(run.host.log, (std::vector<std::string>{"beep 16", "message " + c.message}))
            << c.text;
        EXPECT_EQ(run.gauge.Progress(), 0) << c.text;
    }
}

TEST(CheckFirmwareText, NonHexChecksumFieldRaisesTheConversionErrorAndLeavesTheGauge) {
    const struct {
        std::string text, error;
        int64_t progress;
    } cases[] = {
        {"\n\n:0100000041G1\n:00000001FF\n", "'$G1' is not a valid integer value", 2},
        {":00000001FF\n:\n", "'$' is not a valid integer value", 1},
    };
    for (const auto& c : cases) {
        CheckRun run;
        try {
            Check(c.text, run);
            ADD_FAILURE() << "no conversion error for " << c.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
        }
        EXPECT_TRUE(run.host.log.empty());
        EXPECT_EQ(run.gauge.Progress(), c.progress);
    }
}

TEST(CheckFirmwareText, EmptyTextIsRefusedByTheGaugeRange) {
    CheckRun run;
    try {
        Check("", run);
        ADD_FAILURE() << "an empty text passed";
    } catch (const ERangeError& e) {
        EXPECT_EQ(std::string(e.what()), "Value must be between 1 and 2147483647");
    }
}

}  // namespace
}  // namespace velor
