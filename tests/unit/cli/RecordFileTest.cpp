#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/UtcTimestamp.h"
#include "cli/production/RecordFile.h"

namespace velor::cli {
namespace {

DeviceRecord Sample() {
    DeviceRecord r;
    r.time = "2026-12-09T10:12:03Z";
    r.port = "/dev/ttyUSB0";
    r.adapterSerial = "A10K3XYZ";
    r.release = "241004";
    r.imageSha256 = std::string(64, 'e');
    r.outcome = "failed";
    r.reason = "failure-rule";
    r.message = "Помилка запису - 000400";
    r.seconds = 21.45;
    r.failedAttempts = 12;
    r.calibration = "0.5.7";
    r.version = "velor-flash 1.0.0";
    r.traceFile = "traces/20261209-101203-000-ttyUSB0-write.jsonl";
    return r;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RecordFile, FormatFollowsTheFileName) {
    EXPECT_EQ(RecordFormatOf("line.csv"), RecordFormat::Csv);
    EXPECT_EQ(RecordFormatOf("C:\\LINE\\DAY.CSV"), RecordFormat::Csv);
    EXPECT_EQ(RecordFormatOf("line.jsonl"), RecordFormat::JsonLines);
    EXPECT_EQ(RecordFormatOf("line.ndjson"), RecordFormat::JsonLines);
    EXPECT_EQ(RecordFormatOf("line.json"), RecordFormat::JsonLines);
    EXPECT_EQ(RecordFormatOf("line.txt"), std::nullopt);
    EXPECT_EQ(RecordFormatOf("csv"), std::nullopt);
}

TEST(RecordFile, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvLine(Sample()),
              "2026-12-09T10:12:03Z,/dev/ttyUSB0,A10K3XYZ,241004," + std::string(64, 'e') +
                  ",failed,failure-rule,0,Помилка запису - 000400,21.4,12,0.5.7,velor-flash 1.0.0,"
                  "traces/20261209-101203-000-ttyUSB0-write.jsonl\n");
    DeviceRecord r = Sample();
    r.message = "Не визначино, \"так\"\nдалі";
    r.port = "COM3";
    const std::string line = CsvLine(r);
    EXPECT_NE(line.find(",\"Не визначино, \"\"так\"\"\nдалі\","), std::string::npos) << line;
}

TEST(RecordFile, JsonEscapesQuotesBackslashesAndControls) {
    DeviceRecord r = Sample();
    r.port = "\\\\.\\COM12";
    r.message = "a \"b\"\r\n\tc";
    const std::string line = JsonLine(r);
    EXPECT_NE(line.find("\"port\":\"\\\\\\\\.\\\\COM12\""), std::string::npos) << line;
    EXPECT_NE(line.find("\"message\":\"a \\\"b\\\"\\r\\n\\tc\""), std::string::npos) << line;
    EXPECT_NE(line.find("\"seconds\":21.4,\"failed_attempts\":12,"), std::string::npos) << line;
    EXPECT_NE(line.find("\"outcome\":\"failed\",\"reason\":\"failure-rule\",\"message_number\":0,"),
              std::string::npos)
        << line;
    EXPECT_NE(line.find(",\"trace_file\":\"traces/20261209-101203-000-ttyUSB0-write.jsonl\"}"),
              std::string::npos)
        << line;
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
}

TEST(RecordFile, AppendsWithOneHeaderAndKeepsWhatWasThere) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("velor-record-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string dir = folder.string();
    const std::string csv = dir + "/line.csv";
    std::string error;
    {
        RecordFile file(csv, RecordFormat::Csv);
        ASSERT_TRUE(file.Append(Sample(), error)) << error;
    }
    {
        // A later run of the station adds to the same file.
        RecordFile file(csv, RecordFormat::Csv);
        ASSERT_TRUE(file.Append(Sample(), error)) << error;
    }
    // The mark that makes spreadsheets read UTF-8 opens the file, once, before the one header.
    EXPECT_EQ(ReadAll(csv),
              kUtf8ByteOrderMark + CsvHeader() + CsvLine(Sample()) + CsvLine(Sample()));

    // A file that has lines gets no mark mid-file, whether it began with one or not (a record
    // of an earlier velor-flash, or one a spreadsheet saved).
    const std::string older = dir + "/older.csv";
    for (const char* start : {"", kUtf8ByteOrderMark}) {
        std::ofstream(older, std::ios::binary | std::ios::trunc) << start << CsvHeader();
        RecordFile file(older, RecordFormat::Csv);
        ASSERT_TRUE(file.Append(Sample(), error)) << error;
        EXPECT_EQ(ReadAll(older), start + CsvHeader() + CsvLine(Sample()));
    }

    const std::string jsonl = dir + "/line.jsonl";
    {
        RecordFile json(jsonl, RecordFormat::JsonLines);
        ASSERT_TRUE(json.Append(Sample(), error));
        ASSERT_TRUE(json.Append(Sample(), error));
    }
    EXPECT_EQ(ReadAll(jsonl), JsonLine(Sample()) + JsonLine(Sample()));

    RecordFile nowhere(dir + "/no/such/folder/line.csv", RecordFormat::Csv);
    EXPECT_FALSE(nowhere.Append(Sample(), error));
    EXPECT_NE(error.find("line.csv"), std::string::npos) << error;
    std::filesystem::remove_all(folder);
}

TEST(RecordFile, TimestampIsUtcIso8601) {
    const std::string t = UtcTimestamp();
    ASSERT_EQ(t.size(), 20u) << t;
    EXPECT_EQ(t[4], '-');
    EXPECT_EQ(t[10], 'T');
    EXPECT_EQ(t[19], 'Z');
}

}  // namespace
}  // namespace velor::cli
