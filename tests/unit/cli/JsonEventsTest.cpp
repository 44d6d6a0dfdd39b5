#include "cli/output/JsonEvents.h"

#include <gtest/gtest.h>

namespace velor::cli {
namespace {

TEST(JsonEvents, StringsAreEscapedSoEveryEventStaysOneLine) {
    EXPECT_EQ(JsonString("plain"), "\"plain\"");
    EXPECT_EQ(JsonString("a \"b\" \\ c"), "\"a \\\"b\\\" \\\\ c\"");
    EXPECT_EQ(JsonString("line\r\nnext\ttab"), "\"line\\r\\nnext\\ttab\"");
    EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(JsonString(std::string("nul\0end", 7)), "\"nul\\u0000end\"");
    // UTF-8 passes as it is.
    EXPECT_EQ(JsonString("Скинуто прилад!!!"), "\"Скинуто прилад!!!\"");
    EXPECT_EQ(JsonString(""), "\"\"");
}

TEST(JsonEvents, AnEventIsOneObjectWithItsFieldsInOrder) {
    JsonEvent event("result");
    event.Add("outcome", "done").Add("exit_code", 0).Add("bytes", int64_t{65536});
    event.AddSeconds("seconds", 17.94).AddSeconds("eta_s", std::nullopt);
    EXPECT_EQ(event.Text(),
              "{\"event\":\"result\",\"outcome\":\"done\",\"exit_code\":0,\"bytes\":65536,"
              "\"seconds\":17.9,\"eta_s\":null}");
    EXPECT_EQ(JsonEvent("start").Text(), "{\"event\":\"start\"}");
}

TEST(JsonEvents, ProgressFieldsAreAllThere) {
    WriteProgress p;
    p.Pages = 4;
    p.PagesDone = 1;
    p.BlocksPerPage = 2;
    p.BlocksDone = 1;
    p.Bytes = 192;
    p.BytesTotal = 512;
    p.Calibration = "0.2.1";
    p.FailedAttempts = 3;
    JsonEvent event("progress");
    AddProgress(event, p);
    EXPECT_EQ(event.Text(),
              "{\"event\":\"progress\",\"pages_done\":1,\"pages\":4,\"blocks_done\":1,"
              "\"blocks_per_page\":2,\"bytes\":192,\"bytes_total\":512,\"percent\":37,"
              "\"failed_attempts\":3,\"calibration\":\"0.2.1\"}");
}

}  // namespace
}  // namespace velor::cli
