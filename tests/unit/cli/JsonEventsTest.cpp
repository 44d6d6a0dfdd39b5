#include "cli/output/JsonEvents.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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

// Whether text is UTF-8 as RFC 3629 has it: no stray continuation, no overlong form, no
// surrogate, nothing past U+10FFFF.
bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        uint32_t min = 0;
        uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (d & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

TEST(JsonEvents, InvalidUtf8IsReplacedNotPassedThrough) {
    const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
    // A Latin-1 file name, a cut Cyrillic letter, an overlong slash, a surrogate, a stray byte.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"caf\xE9.hex", "\"caf" + replacement + ".hex\""},
        {"\xD0", "\"" + replacement + "\""},
        {"a\xC0\xAF"
         "b",
         "\"a" + replacement + replacement + "b\""},
        {"\xED\xA0\x80", "\"" + replacement + replacement + replacement + "\""},
        {"\x80x", "\"" + replacement + "x\""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(JsonString(text), expected);
    }
    // Every field of an event, the key as well, comes out valid.
    JsonEvent event("start");
    event
        .Add("firmware",
             "/tmp/\xFF\xFE"
             "firmware.hex")
        .Add("port\xE9",
             "COM\xA7"
             "3");
    const std::string text = event.Text();
    EXPECT_TRUE(IsUtf8(text)) << text;
    EXPECT_EQ(text, "{\"event\":\"start\",\"firmware\":\"/tmp/" + replacement + replacement +
                        "firmware.hex\",\"port" + replacement + "\":\"COM" + replacement + "3\"}");
    EXPECT_FALSE(IsUtf8("caf\xE9"));
}

// Random bytes, nothing but control characters and high bytes among them, never break a line or
// its encoding.
TEST(JsonEvents, AnyBytesMakeOneValidLine) {
    uint32_t state = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int k = 0; k < round % 40; ++k) {
            state = state * 1664525u + 1013904223u;
            text += static_cast<char>(state >> 24);
        }
        JsonEvent event("message");
        const std::string line = event.Add("text", text).Text();
        ASSERT_TRUE(IsUtf8(line)) << round;
        ASSERT_EQ(line.find('\n'), std::string::npos) << round;
        ASSERT_EQ(line.find('\x7f'), std::string::npos) << round;
        for (const char c : line) {
            ASSERT_GE(static_cast<unsigned char>(c), 0x20) << round;
        }
    }
}

TEST(JsonEvents, AnEventIsOneObjectWithItsFieldsInOrder) {
    JsonEvent event("result");
    event.Add("outcome", "done").Add("exit_code", 0).Add("bytes", int64_t{65536});
    event.AddSeconds("seconds", 17.94).AddSeconds("eta_s", std::nullopt);
    EXPECT_EQ(event.Text(),
              "{\"event\":\"result\",\"outcome\":\"done\",\"exit_code\":0,\"bytes\":65536,"
              "\"seconds\":17.9,\"eta_s\":null}");
    EXPECT_EQ(JsonEvent("start").Text(), "{\"event\":\"start\"}");
    // A list of objects, as the station's failures by message.
    JsonObject failure;
    failure.Add("message", "Помилка").Add("count", 2);
    JsonEvent station("station");
    station.AddObjects("failures", {failure}).AddSeconds("units_per_hour", 120.0);
    EXPECT_EQ(station.Text(),
              "{\"event\":\"station\",\"failures\":[{\"message\":\"Помилка\",\"count\":2}],"
              "\"units_per_hour\":120.0}");
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
