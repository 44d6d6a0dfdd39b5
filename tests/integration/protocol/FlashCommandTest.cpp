// velor-flash's device commands as a technician runs them: their output and exit codes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "DevsimProcess.h"
#include "Spawn.h"

namespace velor::testing {
namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs velor-flash with args; when interruptAfter is set, sends SIGINT once that has passed.
Result RunFlash(std::vector<std::string> args,
                std::chrono::milliseconds interruptAfter = std::chrono::milliseconds(0)) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return {};
    args.insert(args.begin(), VELOR_FLASH);
    const pid_t pid = Spawn(std::move(args), out[1], err[1]);
    close(out[1]);
    close(err[1]);
    std::thread interrupter;
    if (interruptAfter.count() > 0) {
        interrupter = std::thread([pid, interruptAfter] {
            std::this_thread::sleep_for(interruptAfter);
            kill(pid, SIGINT);
        });
    }
    Result r;
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
    if (interrupter.joinable())
        interrupter.join();
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

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
        EXPECT_EQ(reset.out, "Скинуто прилад!!!\n");
    }
    const auto missing = RunFlash({"detect", "--port", "/dev/velor-no-such-port"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_TRUE(Has(missing.err, "Спроба відкрити неіснуючий СОМ-порт")) << missing.err;
    EXPECT_EQ(RunFlash({"write"}).code, 2);
    EXPECT_EQ(RunFlash({"write", "--port", "x", "--baud", "12345"}).code, 2);
    EXPECT_EQ(RunFlash({"reset", "--port", "x", "--hex", "f.hex"}).code, 2);
    const auto noFile = RunFlash({"write", "--port", "x", "--hex", "/nonexistent/f.hex"});
    EXPECT_EQ(noFile.code, 1);
    EXPECT_TRUE(Has(noFile.err, "Cannot open file \"/nonexistent/f.hex\".")) << noFile.err;
}

TEST(FlashCommand, CtrlCStopsTheWrite) {
    DevsimProcess devsim({"--geometry", "16:64:64"});
    // Identification takes about 1.45 s; by 2.5 s the write is past its first page.
    const auto r = RunFlash({"write", "--port", devsim.Path()}, std::chrono::milliseconds(2500));
    EXPECT_EQ(r.code, 4) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Зупинено користувачем!")) << r.out;
    EXPECT_FALSE(Has(r.out, "успішно")) << r.out;
}

}  // namespace
}  // namespace velor::testing
