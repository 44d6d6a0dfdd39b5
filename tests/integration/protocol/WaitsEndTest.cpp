// Every wait of velor-flash ends when the device or the line goes away: each run here has a
// watchdog, and a run that outlives it is a hang.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "DevsimProcess.h"
#include "Spawn.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using namespace std::chrono_literals;

struct Run {
    int code = -1;
    bool hung = false;
    std::string out;
    std::string err;
};

// Runs velor-flash; `during` runs alongside it. After `bound` the run is killed and marked hung.
Run RunBounded(std::vector<std::string> args, std::chrono::seconds bound,
               std::function<void()> during = {}) {
    Run r;
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return r;
    args.insert(args.begin(), VELOR_FLASH);
    const pid_t pid = Spawn(std::move(args), out[1], err[1]);
    close(out[1]);
    close(err[1]);
    std::atomic<bool> ended{false};
    std::thread watchdog([&] {
        const auto until = std::chrono::steady_clock::now() + bound;
        while (!ended && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(10ms);
        if (!ended) {
            r.hung = true;
            kill(pid, SIGKILL);
        }
    });
    std::thread side;
    if (during)
        side = std::thread(during);
    auto drain = [](int fd, std::string& into) {
        char buffer[4096];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
            into.append(buffer, n);
        close(fd);
    };
    std::thread errReader(drain, err[0], std::ref(r.err));
    drain(out[0], r.out);
    errReader.join();
    int status = 0;
    waitpid(pid, &status, 0);
    ended = true;
    watchdog.join();
    if (side.joinable())
        side.join();
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

using test::Has;

const char* kWriteError = "Помилка запису в порт.";
const char* kReadError = "Помилка читання з порта";

TEST(WaitsEnd, TheSimulatorKilledMidWriteIsAPortError) {
    DevsimProcess devsim({"--geometry", "16:64:64"});
    // Identification takes about 1.45 s; at 2.5 s the write is under way.
    const auto r = RunBounded({"write", "--port", devsim.Path()}, 30s, [&] {
        std::this_thread::sleep_for(2500ms);
        devsim.Kill();
    });
    EXPECT_FALSE(r.hung);
    EXPECT_EQ(r.code, 3) << r.out << r.err;
    EXPECT_TRUE(Has(r.err, kWriteError) || Has(r.err, kReadError)) << r.err;
    EXPECT_FALSE(Has(r.out, "успішно")) << r.out;
}

TEST(WaitsEnd, ALineThatHangsUpMidWriteIsAPortError) {
    // The device vanishes at its 10th erase, write or program frame and closes its end.
    DevsimProcess devsim({"--geometry", "4:32:8", "--unplug-after", "10"});
    const auto r = RunBounded({"write", "--port", devsim.Path()}, 30s);
    EXPECT_FALSE(r.hung);
    EXPECT_EQ(r.code, 3) << r.out << r.err;
    EXPECT_TRUE(Has(r.err, kWriteError) || Has(r.err, kReadError)) << r.err;
    EXPECT_FALSE(Has(r.out, "успішно")) << r.out;
    const auto dump = devsim.Dump();
    EXPECT_EQ(dump.size(), 4u * 32 * 8);
}

TEST(WaitsEnd, AFrozenDeviceIsNotFoundAfterItsTries) {
    DevsimProcess devsim({});
    devsim.Freeze();
    for (const char* command : {"detect", "write"}) {
        const auto r = RunBounded({command, "--port", devsim.Path()}, 30s);
        EXPECT_FALSE(r.hung) << command;
        EXPECT_EQ(r.code, 1) << command << r.out << r.err;
        EXPECT_TRUE(Has(r.out, "Не визначино")) << command << r.out;
    }
    const auto reset = RunBounded({"reset", "--port", devsim.Path()}, 30s);
    EXPECT_FALSE(reset.hung);
    EXPECT_EQ(reset.code, 1);  // it ends all the same: nothing answered
}

TEST(WaitsEnd, ABusyPortIsRefusedAtOnce) {
    DevsimProcess devsim({});
    const int holder = open(devsim.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    for (const char* command : {"detect", "write", "reset"}) {
        const auto r = RunBounded({command, "--port", devsim.Path()}, 10s);
        EXPECT_FALSE(r.hung) << command;
        EXPECT_EQ(r.code, 3) << command;
        EXPECT_TRUE(Has(r.err, "Порт зайнятий іншою програмою")) << command << r.err;
    }
    close(holder);
}

TEST(WaitsEnd, ClosedStandardOutputDoesNotHoldAMessage) {
    // The terminal's "message boxes" only print: with nobody reading them the run still ends.
    DevsimProcess devsim({"--ignore", "02"});
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    close(out[0]);
    const pid_t pid = Spawn({VELOR_FLASH, "detect", "--port", devsim.Path()}, out[1], out[1]);
    close(out[1]);
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < 3000 && done == 0; ++i) {
        done = waitpid(pid, &status, WNOHANG);
        if (done == 0)
            std::this_thread::sleep_for(10ms);
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    EXPECT_EQ(done, pid) << "velor-flash hung on a message nobody reads";
}

}  // namespace
}  // namespace velor::testing
