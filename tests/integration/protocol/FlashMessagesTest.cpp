// The terminal's own line beside a system message that does not fit the case: an empty or
// foreign firmware file, a port refused for want of permission, the window's next step after a
// detect, a reset nothing answered, and a port another program holds open without a lock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <pty.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "DevsimProcess.h"
#include "FlashRun.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using test::Has;
using test::LinesOf;

std::string LastLine(const std::string& text) {
    const auto lines = LinesOf(text);
    return lines.empty() ? std::string() : lines.back();
}

std::string Reason(const FlashResult& r) {
    const std::string result = LastLine(r.out);
    const std::size_t at = result.find("\"reason\":\"");
    return at == std::string::npos ? result
                                   : result.substr(at + 10, result.find('"', at + 10) - at - 10);
}

struct TempFile {
    explicit TempFile(const std::string& bytes)
        : path((std::filesystem::path(::testing::TempDir()) /
                ("velor-file-" + std::to_string(getpid()) + "-" + std::to_string(++count)))
                   .string()) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~TempFile() { std::filesystem::remove(path); }
    std::string path;
    static inline int count = 0;
};

TEST(FlashMessages, AFirmwareFileThatIsNoIntelHexSaysWhatItIs) {
    DevsimProcess devsim({});
    const TempFile empty("");
    const TempFile png(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const TempFile passwd("root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1::/usr/sbin:/bin/sh\n");
    const struct {
        const TempFile& file;
        std::string systemLine, hint;
    } cases[] = {
        {empty, "Value must be between 1 and 2147483647.", " is empty"},
        {png, "", " is not an Intel HEX text"},
        {passwd, "", " is not an Intel HEX text"},
    };
    for (const auto& c : cases) {
        const FlashResult r =
            RunFlashProgram({"write", "--port", devsim.Path(), "--hex", c.file.path});
        EXPECT_EQ(r.code, 1) << c.file.path;
        const auto err = LinesOf(r.err);
        ASSERT_FALSE(err.empty()) << r.out;
        // After whatever the system said: its message stays first.
        EXPECT_EQ(err.back(), c.file.path + c.hint +
                                  (c.hint == " is empty" ? ": there is no firmware in it."
                                                         : ": no line of it is a record "
                                                           "(\":...\")."))
            << r.err;
        if (!c.systemLine.empty()) {
            ASSERT_GE(err.size(), 2u);
            EXPECT_EQ(err[err.size() - 2], c.systemLine) << r.err;
        } else {
            EXPECT_TRUE(err.size() >= 2 || !r.out.empty()) << "no system message: " << r.err;
        }
        const FlashResult json =
            RunFlashProgram({"write", "--port", devsim.Path(), "--hex", c.file.path, "--json"});
        EXPECT_EQ(Reason(json), "bad-firmware") << json.out;
    }
    // A HEX text with one bad record is the system's to explain.
    const TempFile bad(":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n");
    const FlashResult r = RunFlashProgram({"write", "--port", devsim.Path(), "--hex", bad.path});
    EXPECT_FALSE(Has(r.err, "Intel HEX")) << r.err;
}

// Run by a thread without the right to open any file whatever its mode: root, too, then meets a
// device it may not open. The bounding set is the thread's own and goes with it.
FlashResult RunWithoutFileOverride(const std::vector<std::string>& args) {
    FlashResult r;
    std::thread([&] {
        prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
        prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        r = RunFlashProgram(args);
    }).join();
    return r;
}

TEST(FlashMessages, APortRefusedForWantOfPermissionIsNotCalledBusyFirst) {
    int master = -1, slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    close(slave);
    ASSERT_EQ(chmod(name, 0), 0);
    const FlashResult r = RunWithoutFileOverride({"detect", "--port", name});
    const FlashResult json = RunWithoutFileOverride({"detect", "--port", name, "--json"});
    close(master);
    EXPECT_EQ(r.code, 3) << r.err;
    const auto err = LinesOf(r.err);
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.front(), std::string(name) +
                               ": permission denied. The port is not busy: this user may not "
                               "open it.")
        << r.err;
    // The system's message follows as the window has it, its advice included.
    EXPECT_TRUE(Has(r.err, "група dialout")) << r.err;
    EXPECT_EQ(Reason(json), "permission") << json.out;
}

TEST(FlashMessages, DetectEndsWithTheTerminalsNextStep) {
    DevsimProcess devsim({});
    const FlashResult r = RunFlashProgram({"detect", "--port", devsim.Path()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Робота приладу призупинена!")) << r.out;
    EXPECT_FALSE(Has(r.out, "Відкрийте мікропрограму")) << r.out;
    EXPECT_EQ(LastLine(r.out), "To write firmware: velor-flash write --port " + devsim.Path() +
                                   " (the release it carries), or with --hex FILE.")
        << r.out;
}

TEST(FlashMessages, AResetSaysWhetherTheDeviceAnswered) {
    DevsimProcess device({});
    const FlashResult answered = RunFlashProgram({"reset", "--port", device.Path()});
    EXPECT_EQ(answered.code, 0) << answered.err;
    EXPECT_EQ(answered.out, "Скинуто прилад!!!\nThe device answered the reset.\n");

    DevsimProcess deaf({"--ignore", "01"});
    const FlashResult silent = RunFlashProgram({"reset", "--port", deaf.Path()});
    EXPECT_EQ(silent.code, 1);
    // The window's message as the window shows it, and what it does not say.
    EXPECT_EQ(silent.out, "Скинуто прилад!!!\n");
    EXPECT_TRUE(Has(silent.err, deaf.Path() + ": nothing answered the reset")) << silent.err;
    const FlashResult json = RunFlashProgram({"reset", "--port", deaf.Path(), "--json"});
    EXPECT_TRUE(Has(LastLine(json.out), "\"outcome\":\"refused\",\"reason\":\"no-reply\""))
        << json.out;
}

TEST(FlashMessages, APortAnotherProgramHoldsWithoutALockIsRefused) {
    DevsimProcess devsim({});
    // Neither flock nor TIOCEXCL: only /proc tells that it is held.
    const int held = open(devsim.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    std::string comm;
    std::getline(std::ifstream("/proc/self/comm"), comm);
    for (const char* command : {"detect", "write", "reset"}) {
        const FlashResult r = RunFlashProgram({command, "--port", devsim.Path()});
        EXPECT_EQ(r.code, 3) << command << ": " << r.out << r.err;
        EXPECT_TRUE(Has(r.err, "Порт зайнятий іншою програмою")) << r.err;
        EXPECT_TRUE(
            Has(r.err, "The port is held by " + comm + " (pid " + std::to_string(getpid()) + ")"))
            << r.err;
        const FlashResult json = RunFlashProgram({command, "--port", devsim.Path(), "--json"});
        EXPECT_EQ(Reason(json), "port-busy") << json.out;
    }
    close(held);
    devsim.Stop();
    // Nothing went to the device while it was held.
    EXPECT_TRUE(devsim.LogLines("rx").empty());
}

}  // namespace
}  // namespace velor::testing
