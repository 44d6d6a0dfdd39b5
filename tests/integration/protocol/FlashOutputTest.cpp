// What velor-flash prints for people and for programs: the summary, --quiet, --json, --log, the
// port chosen by USB IDs and the busy-port hint.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <thread>

#include "DevsimProcess.h"
#include "FlashRun.h"
#include "ProgramRun.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

// 8 pages of 4 blocks of 64 bytes: 2,048 bytes, far below the release stamp, so the device keeps
// reporting the older release and takes every write.
const std::vector<std::string> kGeometry = {"--geometry", "4:64:8"};

using test::LinesOf;

using test::Has;

TEST(FlashOutput, AWriteEndsWithItsSummary) {
    DevsimProcess devsim(kGeometry);
    const auto r = RunFlashProgram({"write", "--port", devsim.Path()});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto out = LinesOf(r.out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back().rfind("Wrote 2,048 bytes (8 pages) in ", 0), 0u) << out.back();
    // A loaded machine may cost an attempt; the count is the sum of the delays all the same.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out.back(), m,
                                  std::regex("; (\\d+) failed attempts?; calibration "
                                             "(\\d+)\\.(\\d+)\\.(\\d+)$")))
        << out.back();
    EXPECT_EQ(std::stoi(m[1]), std::stoi(m[2]) + std::stoi(m[3]) + std::stoi(m[4]));
    EXPECT_TRUE(Has(r.out, "Мікропрограма успішно завантажена в ")) << r.out;
    // Not a terminal: plain progress lines on stderr, no cursor controls.
    EXPECT_EQ(r.err.rfind("write: 0%  page 0/8  block 0/4  0/2,048 B", 0), 0u) << r.err;
    EXPECT_FALSE(Has(r.err, "\033")) << r.err;
}

TEST(FlashOutput, QuietLeavesTheSummaryAlone) {
    DevsimProcess devsim(kGeometry);
    const auto r = RunFlashProgram({"write", "-q", "--port", devsim.Path()});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto out = LinesOf(r.out);
    ASSERT_EQ(out.size(), 1u) << r.out;
    EXPECT_EQ(out[0].rfind("Wrote 2,048 bytes (8 pages)", 0), 0u);
    EXPECT_EQ(r.err, "");
    // A refusal is the result then: its message stays.
    const auto missing = RunFlashProgram({"detect", "--quiet", "--port", "/dev/velor-none"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_EQ(missing.out, "");
    EXPECT_TRUE(Has(missing.err, "Спроба відкрити неіснуючий СОМ-порт")) << missing.err;
}

TEST(FlashOutput, JsonIsAllThereIsOnStdout) {
    DevsimProcess devsim(kGeometry);
    const auto r = RunFlashProgram({"write", "--json", "--port", devsim.Path()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = LinesOf(r.out);
    ASSERT_GE(lines.size(), 3u) << r.out;
    for (const auto& line : lines) {
        EXPECT_EQ(line.rfind("{\"event\":\"", 0), 0u) << line;
        EXPECT_EQ(line.back(), '}') << line;
    }
    EXPECT_TRUE(Has(lines.front(), "\"event\":\"start\",\"command\":\"write\"")) << lines.front();
    EXPECT_TRUE(Has(r.out, "\"event\":\"progress\""));
    EXPECT_TRUE(Has(r.out,
                    "{\"event\":\"message\",\"text\":\"                                 "
                    "        Мікропрограма успішно завантажена в "))
        << r.out;
    EXPECT_EQ(lines.back().rfind("{\"event\":\"result\",\"outcome\":\"done\",\"reason\":\"done\","
                                 "\"message_number\":0,\"exit_code\":0,\"version\":\"velor-flash ",
                                 0),
              0u)
        << lines.back();
    EXPECT_TRUE(Has(lines.back(), "\"bytes\":2048,\"pages\":8,\"seconds\":")) << lines.back();
    EXPECT_TRUE(std::regex_search(
        lines.back(), std::regex("\"failed_attempts\":\\d+,\"calibration\":\"\\d+\\.\\d+\\.\\d+\""
                                 ",\"reply_latency_ms\":\\d+\\.\\d}$")))
        << lines.back();

    // A port that does not exist: an error event, then the result.
    const auto missing = RunFlashProgram({"write", "--json", "--port", "/dev/velor-none"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_EQ(missing.err, "");
    const auto failed = LinesOf(missing.out);
    ASSERT_EQ(failed.size(), 3u) << missing.out;
    EXPECT_TRUE(Has(failed[1], "{\"event\":\"error\",\"text\":\"Спроба відкрити"));
    EXPECT_TRUE(Has(failed[2],
                    "\"outcome\":\"port-error\",\"reason\":\"port-missing\","
                    "\"message_number\":1,\"exit_code\":3"))
        << failed[2];
}

// Every line parsed as JSON: one that is not, or not UTF-8, throws.
std::vector<nlohmann::json> Events(const std::string& out) {
    std::vector<nlohmann::json> events;
    for (const auto& line : LinesOf(out)) {
        events.push_back(nlohmann::json::parse(line));
    }
    return events;
}

TEST(FlashOutput, JsonIsUtf8WhateverBytesAFileNameHolds) {
    DevsimProcess devsim(kGeometry);
    // A Latin-1 name, a quote and a line break: one line, valid, the odd byte replaced.
    const std::string hex = "/tmp/velor-caf\xE9 \"new\"\nline.hex";
    const auto r = RunFlashProgram({"write", "--json", "--port", devsim.Path(), "--hex", hex});
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<nlohmann::json> events;
    ASSERT_NO_THROW(events = Events(r.out)) << r.out;
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front()["firmware"], "/tmp/velor-caf\uFFFD \"new\"\nline.hex");
    EXPECT_EQ(events.back()["reason"], "bad-firmware") << r.out;
}

TEST(FlashOutput, CtrlCInJsonIsAnEventAsWellAsTheNoticeOnStderr) {
    DevsimProcess devsim({"--geometry", "16:64:64", "--baud", "115200"});
    ProgramRun run({VELOR_FLASH, "write", "--json", "--port", devsim.Path()});
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    const auto writing = [&] {
        for (const auto& frame : devsim.LogLines("rx")) {
            if (frame.rfind("g04000400", 0) == 0) {
                return true;
            }
        }
        return false;
    };
    while (!writing() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.Interrupt();
    const RunResult r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    std::vector<nlohmann::json> events;
    ASSERT_NO_THROW(events = Events(r.out)) << r.out;
    ASSERT_GE(events.size(), 3u) << r.out;
    const auto& stopping = events[events.size() - 3];
    EXPECT_EQ(stopping["event"], "stopping") << r.out;
    const std::string notice = stopping.value("text", "");
    EXPECT_EQ(r.err, "\n" + notice + "\n");
    EXPECT_EQ(events[events.size() - 2]["event"], "message") << r.out;  // what the device holds
    EXPECT_EQ(events.back()["outcome"], "stopped") << r.out;
}

TEST(FlashOutput, TheLogHoldsEveryAttemptTheDeviceReceived) {
    DevsimProcess devsim(kGeometry);
    char pattern[] = "/tmp/velor-flash-log-XXXXXX";
    const int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    const auto r = RunFlashProgram({"write", "--port", devsim.Path(), "--log", pattern});
    ASSERT_EQ(r.code, 0) << r.err;
    devsim.Stop();
    std::ifstream in(pattern);
    std::stringstream text;
    text << in.rdbuf();
    unlink(pattern);
    const auto lines = LinesOf(text.str());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front().rfind("# velor-flash write --port " + devsim.Path() +
                                      " --baud 115200, firmware embedded release, ",
                                  0),
              0u)
        << lines.front();
    EXPECT_EQ(lines.back(), "# result: done (done), exit 0");

    std::vector<std::string> logged;
    for (const auto& line : lines) {
        for (const std::string word : {"Очистив", "Записав", "Прошив"}) {
            if (line.rfind(word, 0) == 0)
                logged.push_back(line.substr(word.size()));
        }
    }
    std::vector<std::string> received;
    for (const auto& frame : devsim.LogLines("rx")) {
        if (frame.rfind("g04", 0) == 0 || frame.rfind("g05", 0) == 0 || frame.rfind("g06", 0) == 0)
            received.push_back(frame);
    }
    EXPECT_GE(logged.size(), 8u * (1 + 2 * 4));  // more when an attempt was repeated
    EXPECT_EQ(logged, received);
}

TEST(FlashOutput, UsbIdsThatMatchNothingListTheCandidates) {
    const auto r = RunFlashProgram({"detect", "--port", "usb:dead:beef"});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(Has(r.err, "no USB serial port matches 'usb:dead:beef'; the USB serial ports:"))
        << r.err;
    const auto bad = RunFlashProgram({"detect", "--port", "usb:dead"});
    EXPECT_EQ(bad.code, 3);
    EXPECT_TRUE(Has(bad.err, "usb:VID:PID")) << bad.err;
    EXPECT_EQ(RunFlashProgram({"write", "--port", "x", "--json", "--quiet"}).code, 2);
}

TEST(FlashOutput, ABusyPortNamesItsHolder) {
    DevsimProcess devsim(kGeometry);
    const int fd = open(devsim.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    const auto r = RunFlashProgram({"detect", "--port", devsim.Path()});
    close(fd);
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(Has(r.err, "(pid " + std::to_string(getpid()) + ")")) << r.err;
    const auto lines = LinesOf(r.err);
    ASSERT_GE(lines.size(), 2u) << r.err;
    EXPECT_EQ(lines.back().rfind("The port is held by ", 0), 0u) << r.err;
}

}  // namespace
}  // namespace velor::testing
