// velor-flash write to several ports at once, against several simulators in one run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "DevsimProcess.h"
#include "GangHelpers.h"
#include "ProgramRun.h"

namespace velor::testing {
namespace {

ProgramRun StartFlash(std::vector<std::string> args) {
    args.insert(args.begin(), VELOR_FLASH);
    return ProgramRun(std::move(args));
}

// The first 8 pages of 32 blocks of 255 bytes reach the release stamp at F0E0.
constexpr const char* kStampGeometry = "32:255:8";
constexpr std::size_t kStampGeometryBytes = 32 * 255 * 8;

TEST(GangWrite, EachDeviceIsReportedAsItEndedAndTheOthersGoOn) {
    DevsimProcess good({"--geometry", kStampGeometry});
    DevsimProcess paced({"--geometry", kStampGeometry, "--baud", "115200"});
    DevsimProcess newer({"--geometry", kStampGeometry, "--description", "241005"});
    DevsimProcess silent({"--ignore", "02"});
    DevsimProcess unplugged({"--geometry", "16:64:64", "--baud", "115200"});
    DevsimProcess slow({"--geometry", kStampGeometry, "--reply-delay-ms", "25"});

    ProgramRun run = StartFlash({"write", "--port", good.Path(), "--ports",
                                 paced.Path() + "," + newer.Path() + "," + silent.Path(), "--port",
                                 unplugged.Path(), "--port", slow.Path()});
    // Pulled out while its third page is being written.
    ASSERT_TRUE(WaitUntil([&] { return Received(unplugged, "g04000800"); }));
    unplugged.Kill();
    const RunResult r = run.Wait();

    // The port error is the worst of the outcomes.
    EXPECT_EQ(r.code, 3) << r.out << r.err;
    const auto row = [&](const DevsimProcess& d) { return Words(LineStarting(r.out, d.Path())); };
    for (const DevsimProcess* d : {&good, &paced, &slow}) {
        const auto words = row(*d);
        ASSERT_GE(words.size(), 6u) << r.out;
        EXPECT_EQ(words[1], "done") << r.out;
        EXPECT_TRUE(Has(LineStarting(r.out, d->Path()), "Мікропрограма успішно завантажена в "));
    }
    // The slow one calibrated its waits; its failed attempts are the sum of its delays.
    const auto slowRow = row(slow);
    ASSERT_GE(slowRow.size(), 5u);
    EXPECT_GT(std::stol(slowRow[3]), 0) << r.out;
    EXPECT_NE(slowRow[4], "0.0.0") << r.out;
    long delays = 0;
    for (std::size_t begin = 0; begin <= slowRow[4].size();) {
        const auto end = std::min(slowRow[4].find('.', begin), slowRow[4].size());
        delays += std::stol(slowRow[4].substr(begin, end - begin));
        begin = end + 1;
    }
    EXPECT_EQ(delays, std::stol(slowRow[3]));

    EXPECT_EQ(row(newer)[1], "refused");
    EXPECT_TRUE(Has(LineStarting(r.out, newer.Path()), "В прилад вже записана новіша версія!"));
    EXPECT_EQ(row(silent)[1], "refused");
    EXPECT_TRUE(Has(LineStarting(r.out, silent.Path()), "Не визначино"));
    // The same word as the JSON result and the records.
    EXPECT_EQ(row(unplugged)[1], "port-error");
    EXPECT_FALSE(Has(LineStarting(r.out, unplugged.Path()), "Мікропрограма успішно"));

    // Every device that was written holds the release, byte for byte.
    const auto expected = ReleaseBytes(kStampGeometryBytes);
    for (DevsimProcess* d : {&good, &paced, &slow}) {
        d->Stop();
        EXPECT_EQ(d->Dump(), expected) << d->Path();
    }
    newer.Stop();
    EXPECT_FALSE(Received(newer, "g04"));
}

TEST(GangWrite, CtrlCStopsEveryDeviceAndSaysWhatEachHolds) {
    DevsimProcess a({"--geometry", "16:64:64", "--baud", "115200"});
    DevsimProcess b({"--geometry", "16:64:64", "--baud", "115200"});
    ProgramRun run = StartFlash({"write", "--ports", a.Path() + "," + b.Path()});
    ASSERT_TRUE(WaitUntil([&] { return Received(a, "g04000400") && Received(b, "g04000400"); }));
    run.Interrupt();
    const RunResult r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    for (const DevsimProcess* d : {&a, &b}) {
        const std::string line = LineStarting(r.out, d->Path());
        EXPECT_EQ(Words(line).at(1), "stopped") << r.out;
        EXPECT_TRUE(Has(line, "Зупинено користувачем! Записано сторінок: ")) << line;
        EXPECT_TRUE(Has(line, " з 64")) << line;
    }
    // Stopped before the end: neither device was reset into a firmware it does not wholly hold.
    a.Stop();
    b.Stop();
    EXPECT_FALSE(Received(a, "g04003C00"));
    EXPECT_FALSE(Received(a, "g0101"));
    EXPECT_FALSE(Received(b, "g0101"));
}

// The lines of a --json run, each parsed (a line that is no JSON, or not UTF-8, throws).
std::vector<nlohmann::json> Events(const std::string& out) {
    std::vector<nlohmann::json> events;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        events.push_back(nlohmann::json::parse(line));
    }
    return events;
}

TEST(GangWrite, JsonIsOneStreamWithThePortInEveryEventAndTheLogOneFile) {
    TempDir dir;
    const std::string log = dir.path + "/attempts.log";
    DevsimProcess a({"--geometry", "4:64:8"});
    DevsimProcess b({"--geometry", "4:64:8", "--description", "241005"});
    const RunResult r =
        StartFlash({"write", "--ports", a.Path() + "," + b.Path(), "--json", "--log", log}).Wait();
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<nlohmann::json> events;
    ASSERT_NO_THROW(events = Events(r.out)) << r.out;
    ASSERT_FALSE(events.empty());
    // Each device's events are a single write's, in its order, whatever the other's between.
    std::map<std::string, std::vector<std::string>> perPort;
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        ASSERT_TRUE(events[i].contains("port")) << events[i];
        perPort[events[i]["port"].get<std::string>()].push_back(
            events[i]["event"].get<std::string>());
    }
    ASSERT_EQ(perPort.size(), 2u) << r.out;
    for (const auto& [port, names] : perPort) {
        EXPECT_EQ(names.front(), "start") << port;
        EXPECT_EQ(names.back(), "result") << port;
        EXPECT_EQ(std::count(names.begin(), names.end(), "result"), 1) << port;
    }
    EXPECT_GT(std::count(perPort[a.Path()].begin(), perPort[a.Path()].end(), "progress"), 0);
    for (const auto& e : events) {
        if (e["event"] == "result") {
            EXPECT_EQ(e["outcome"], e["port"] == a.Path() ? "done" : "refused") << e;
            EXPECT_EQ(e["reason"], e["port"] == a.Path() ? "done" : "newer-release") << e;
        }
    }
    const nlohmann::json& gang = events.back();
    EXPECT_EQ(gang["event"], "gang") << gang;
    EXPECT_EQ(gang["devices"], 2);
    EXPECT_EQ(gang["done"], 1);
    EXPECT_EQ(gang["refused"], 1);
    EXPECT_EQ(gang["exit_code"], 1);

    // One log, every line beginning with its port; each device's header and result.
    const std::string text = ReadAll(log);
    std::istringstream lines(text);
    std::map<std::string, std::vector<std::string>> logged;
    for (std::string line; std::getline(lines, line);) {
        const auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        logged[line.substr(0, tab)].push_back(line.substr(tab + 1));
    }
    ASSERT_EQ(logged.size(), 2u) << text;
    EXPECT_EQ(logged[a.Path()].front().rfind("# velor-flash write --port " + a.Path(), 0), 0u);
    EXPECT_EQ(logged[a.Path()].back(), "# result: done (done), exit 0");
    EXPECT_GT(logged[a.Path()].size(), 10u) << "one line per attempt";
    EXPECT_EQ(logged[b.Path()].back(), "# result: refused (newer-release), exit 1");
}

TEST(GangWrite, QuietPrintsTheTableAlone) {
    DevsimProcess a({"--geometry", "4:64:8"});
    DevsimProcess b({"--geometry", "4:64:8"});
    const RunResult r = StartFlash({"write", "-q", "--ports", a.Path() + "," + b.Path()}).Wait();
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    // Off a terminal the ends are told on stderr as they come, unless -q.
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("PORT ", 0), 0u) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;
    EXPECT_EQ(Words(LineStarting(r.out, b.Path())).at(1), "done") << r.out;
}

TEST(GangWrite, CtrlCInJsonIsAnEventAsWellAsTheNoticeOnStderr) {
    DevsimProcess a({"--geometry", "16:64:64", "--baud", "115200"});
    DevsimProcess b({"--geometry", "16:64:64", "--baud", "115200"});
    ProgramRun run = StartFlash({"write", "--json", "--ports", a.Path() + "," + b.Path()});
    ASSERT_TRUE(WaitUntil([&] { return Received(a, "g04000400") && Received(b, "g04000400"); }));
    run.Interrupt();
    const RunResult r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    std::vector<nlohmann::json> events;
    ASSERT_NO_THROW(events = Events(r.out)) << r.out;
    const auto stopping = std::find_if(events.begin(), events.end(),
                                       [](const auto& e) { return e["event"] == "stopping"; });
    ASSERT_NE(stopping, events.end()) << r.out;
    const std::string notice = (*stopping)["text"].get<std::string>();
    EXPECT_TRUE(Has(r.err, notice)) << r.err;
    EXPECT_TRUE(Has(notice, "Ctrl+C")) << notice;
    // Told before either device says what it holds.
    for (auto e = events.begin(); e != events.end(); ++e) {
        if ((*e)["event"] == "message" || (*e)["event"] == "result") {
            EXPECT_GT(e, stopping) << *e;
        }
        if ((*e)["event"] == "result") {
            EXPECT_EQ((*e)["outcome"], "stopped") << *e;
        }
    }
    EXPECT_EQ(events.back()["stopped"], 2) << r.out;
}

TEST(GangWrite, APortAnotherProgramHoldsWithoutALockIsRefusedAndTheOthersGoOn) {
    DevsimProcess held({});
    DevsimProcess silent({"--ignore", "02"});
    const int fd = open(held.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const RunResult r = StartFlash({"write", "--ports", held.Path() + "," + silent.Path()}).Wait();
    close(fd);
    EXPECT_EQ(r.code, 3) << r.out << r.err;
    EXPECT_EQ(Words(LineStarting(r.out, held.Path())).at(1), "port-error") << r.out;
    EXPECT_TRUE(Has(LineStarting(r.out, held.Path()), "Порт зайнятий іншою програмою")) << r.out;
    EXPECT_EQ(Words(LineStarting(r.out, silent.Path())).at(1), "refused") << r.out;
    held.Stop();
    EXPECT_TRUE(held.LogLines("rx").empty());
}

TEST(GangWrite, UsageErrors) {
    EXPECT_EQ(StartFlash({"write", "--ports", "a,b", "--count", "2"}).Wait().code, 2);
    EXPECT_EQ(StartFlash({"write", "--port", "a", "--port", "b", "--baud", "7"}).Wait().code, 2);
    EXPECT_EQ(StartFlash({"write", "--ports", "a,b", "-q", "--json"}).Wait().code, 2);
    const RunResult help = StartFlash({"write", "--ports", "a,b", "--help"}).Wait();
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(Has(help.out, "--ports LIST")) << help.out;
}

}  // namespace
}  // namespace velor::testing
