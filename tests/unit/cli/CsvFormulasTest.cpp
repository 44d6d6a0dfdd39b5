// A record field that a spreadsheet would run as a formula is kept as text.
#include <gtest/gtest.h>

#include "cli/production/RecordFile.h"

namespace velor::cli {
namespace {

DeviceRecord WithMessage(const std::string& message) {
    DeviceRecord r;
    r.time = "2026-12-09T10:12:03Z";
    r.port = "/dev/ttyUSB0";
    r.release = "241004";
    r.outcome = "refused";
    r.message = message;
    r.calibration = "0.0.0";
    return r;
}

TEST(CsvFormulas, FormulaStartsGetAnApostrophe) {
    EXPECT_NE(CsvLine(WithMessage("=1+2")).find(",'=1+2,"), std::string::npos)
        << CsvLine(WithMessage("=1+2"));
    for (const std::string start : {"=", "+", "-", "@", "\t", "\r"}) {
        const std::string line = CsvLine(WithMessage(start + "HYPERLINK(\"x\")"));
        EXPECT_NE(line.find(",\"'" + start + "HYPERLINK(\"\"x\"\")\","), std::string::npos) << line;
    }
    DeviceRecord r = WithMessage("ok");
    r.port = "@SUM(A1)";
    EXPECT_NE(CsvLine(r).find(",'@SUM(A1),"), std::string::npos) << CsvLine(r);
    // Inside a cell the characters stay as they are.
    EXPECT_NE(CsvLine(WithMessage("a=b-c")).find(",a=b-c,"), std::string::npos);
}

}  // namespace
}  // namespace velor::cli
