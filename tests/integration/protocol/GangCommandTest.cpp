// velor-flash write to several ports at once, against several simulators in one run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

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
    const RunResult help = StartFlash({"write", "--ports", "a,b", "--help"}).Wait();
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(Has(help.out, "--ports LIST")) << help.out;
}

}  // namespace
}  // namespace velor::testing
