// velor-flash's device commands as a technician runs them: their output and exit codes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "DevsimProcess.h"
#include "Spawn.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

// velor-flash running as a child, its output gathered as it comes, so that a test can act on
// what it (or the simulator) has done so far.
class FlashRun {
  public:
    explicit FlashRun(std::vector<std::string> args) {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        args.insert(args.begin(), VELOR_FLASH);
        m_pid = Spawn(std::move(args), out[1], err[1]);
        close(out[1]);
        close(err[1]);
        m_outReader = std::thread(&FlashRun::Drain, this, out[0], std::ref(m_result.out));
        m_errReader = std::thread(&FlashRun::Drain, this, err[0], std::ref(m_result.err));
    }
    ~FlashRun() { Wait(); }

    void Interrupt() const { kill(m_pid, SIGINT); }
    std::string Err() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_result.err;
    }
    // Waits for the program's end.
    Result Wait() {
        if (m_pid > 0) {
            if (m_outReader.joinable())
                m_outReader.join();
            if (m_errReader.joinable())
                m_errReader.join();
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            m_pid = -1;
        }
        return m_result;
    }

  private:
    void Drain(int fd, std::string& into) {
        char buffer[4096];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            into.append(buffer, static_cast<std::size_t>(n));
        }
        close(fd);
    }

    pid_t m_pid = -1;
    std::mutex m_mutex;
    Result m_result;
    std::thread m_outReader;
    std::thread m_errReader;
};

Result RunFlash(std::vector<std::string> args) {
    return FlashRun(std::move(args)).Wait();
}

// Waits until `done` holds; false if it never did within a minute (the test then fails).
bool WaitUntil(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Whether the simulator has received a frame that begins with prefix.
bool Received(const DevsimProcess& devsim, const std::string& prefix) {
    for (const auto& frame : devsim.LogLines("rx"))
        if (frame.rfind(prefix, 0) == 0)
            return true;
    return false;
}

using test::Has;

TEST(FlashCommand, ExitCodesTellHowTheOperationEnded) {
    {
        DevsimProcess devsim({"--geometry", "32:255:8"});  // reaches the stamp at F0E0
        const auto r = RunFlash({"write", "--port", devsim.Path()});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(Has(r.out, "Мікропрограма успішно завантажена в ")) << r.out;
        // The device now holds our release.
        const auto again = RunFlash({"write", "--port", devsim.Path(), "--baud", "115200"});
        EXPECT_EQ(again.code, 1);
        EXPECT_TRUE(Has(again.out, "Дана версія вже записана в прилад!")) << again.out;
        const auto detect = RunFlash({"detect", "--port", devsim.Path()});
        EXPECT_EQ(detect.code, 0);
        EXPECT_TRUE(Has(detect.out, "Визначино:\n241004")) << detect.out;
        const auto reset = RunFlash({"reset", "--port", devsim.Path()});
        EXPECT_EQ(reset.code, 0);
        EXPECT_EQ(reset.out, "Скинуто прилад!!!\nThe device answered the reset.\n");
    }
    const auto missing = RunFlash({"detect", "--port", "/dev/velor-no-such-port"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_TRUE(Has(missing.err, "Спроба відкрити неіснуючий СОМ-порт")) << missing.err;
    // ... and the ports there are instead (none, or a list).
    EXPECT_TRUE(Has(missing.err, "serial port")) << missing.err;
    {
        // A device larger than any image: refused before the first erase, and the exit says so.
        DevsimProcess devsim({"--geometry", "255:255:400"});
        const auto r = RunFlash({"write", "--port", devsim.Path()});
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_TRUE(Has(r.out, "Мікропрограма менша за пам'ять приладу!")) << r.out;
        devsim.Stop();
        EXPECT_FALSE(Received(devsim, "g04"));
    }
    EXPECT_EQ(RunFlash({"write"}).code, 2);
    EXPECT_EQ(RunFlash({"write", "--port", "x", "--baud", "12345"}).code, 2);
    EXPECT_EQ(RunFlash({"reset", "--port", "x", "--hex", "f.hex"}).code, 2);
    const auto noFile = RunFlash({"write", "--port", "x", "--hex", "/nonexistent/f.hex"});
    EXPECT_EQ(noFile.code, 1);
    EXPECT_TRUE(Has(noFile.err, "Cannot open file \"/nonexistent/f.hex\".")) << noFile.err;
}

TEST(FlashCommand, CtrlCStopsTheWrite) {
    DevsimProcess devsim({"--geometry", "16:64:64"});
    FlashRun run({"write", "--port", devsim.Path()});
    ASSERT_TRUE(WaitUntil([&] { return Received(devsim, "g04000400"); }));  // the second page
    run.Interrupt();
    const auto r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Зупинено користувачем!")) << r.out;
    EXPECT_TRUE(Has(r.out, " з 64")) << r.out;
    EXPECT_FALSE(Has(r.out, "успішно")) << r.out;
}

// Ctrl+C before the first erase: the device is untouched, and velor-flash says so instead of
// printing the stop key's "written in part" and then writing the whole firmware.
TEST(FlashCommand, CtrlCDuringIdentificationWritesNothing) {
    DevsimProcess devsim({});
    FlashRun run({"write", "--port", devsim.Path()});
    ASSERT_TRUE(WaitUntil([&] { return Received(devsim, "g0202;"); }));
    run.Interrupt();
    const auto r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    EXPECT_EQ(r.out, "Зупинено користувачем!\nЗапис не розпочато, прилад не змінено.\n");
    devsim.Stop();
    EXPECT_FALSE(Received(devsim, "g04"));
    EXPECT_FALSE(Received(devsim, "g0101;"));
}

// The stop key does nothing on the first page; Ctrl+C must, even with a device that never
// answers the erase (the write would retry it for minutes).
TEST(FlashCommand, CtrlCOnTheFirstPageOfASilentDeviceStops) {
    DevsimProcess devsim({"--ignore", "04"});
    FlashRun run({"write", "--port", devsim.Path()});
    ASSERT_TRUE(WaitUntil([&] { return Received(devsim, "g04"); }));
    run.Interrupt();
    const auto r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    EXPECT_TRUE(Has(r.out,
                    "Записано сторінок: 0 з 64.\nСторінка 1 могла бути стерта і "
                    "записана частково.\nМікропрограма записана частково, прилад не "
                    "скинуто!"))
        << r.out;
    devsim.Stop();
    EXPECT_FALSE(Received(devsim, "g05"));
    EXPECT_FALSE(Received(devsim, "g0101;"));
}

TEST(FlashCommand, SecondCtrlCEndsAtOnce) {
    DevsimProcess devsim({});
    FlashRun run({"write", "--port", devsim.Path()});
    // The description's wait is a second long: both presses land in it.
    ASSERT_TRUE(WaitUntil([&] { return Received(devsim, "g0303;"); }));
    run.Interrupt();
    ASSERT_TRUE(WaitUntil([&] { return Has(run.Err(), "Ctrl+C again ends at once"); }));
    run.Interrupt();
    const auto r = run.Wait();
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    EXPECT_FALSE(Has(r.out, "Зупинено")) << r.out;
    devsim.Stop();
    EXPECT_FALSE(Received(devsim, "g04"));
}

}  // namespace
}  // namespace velor::testing
