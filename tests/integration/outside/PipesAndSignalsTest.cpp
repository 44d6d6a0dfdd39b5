// A closed output pipe and the stop signals of a session that goes away: the device is never left
// half-written by them, and the log and the exit code tell how the write ended.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "DevsimProcess.h"
#include "GangHelpers.h"
#include "ProgramRun.h"
#include "Spawn.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using test::Has;
using test::LinesOf;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TempLogPath() {
    char name[] = "/tmp/velor-pipe-log-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) {
        close(fd);
    }
    return name;
}

// As `velor-flash ... | head -n 4`: the reader takes four lines and goes.
TEST(PipesAndSignals, AClosedOutputPipeLetsTheWriteFinish) {
    const std::vector<std::string> geometry = {"--geometry", "8:64:16"};
    DevsimProcess devsim(geometry);
    const std::string log = TempLogPath();
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    // A shell's pipeline leaves SIGPIPE at its default: so must the child here.
    signal(SIGPIPE, SIG_DFL);
    const pid_t pid =
        Spawn({VELOR_FLASH, "write", "--json", "--port", devsim.Path(), "--log", log}, out[1]);
    close(out[1]);
    ASSERT_GT(pid, 0);
    {
        FILE* reader = fdopen(out[0], "r");
        ASSERT_NE(reader, nullptr);
        char line[4096];
        for (int i = 0; i < 4 && std::fgets(line, sizeof line, reader) != nullptr; ++i) {
        }
        std::fclose(reader);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const auto lines = LinesOf(ReadAll(log));
    std::remove(log.c_str());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "# result: done (done), exit 0");
    devsim.Stop();
    const auto dump = devsim.Dump();
    const auto release = ReleaseBytes(dump.size());
    EXPECT_EQ(dump.size(), 8192u);
    EXPECT_TRUE(dump == release) << "the device does not hold the release";
}

// SIGTERM and SIGHUP are asked to stop, as Ctrl+C: at the next safe point, with what the device
// then holds said and logged.
TEST(PipesAndSignals, TermAndHangUpAreStopRequests) {
    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        DevsimProcess devsim({"--geometry", "16:64:64"});
        const std::string log = TempLogPath();
        ProgramRun run({VELOR_FLASH, "write", "--port", devsim.Path(), "--log", log});
        ASSERT_TRUE(WaitUntil([&] { return Received(devsim, "g04000400"); }));
        run.Signal(signalNumber);
        const RunResult r = run.Wait();
        EXPECT_EQ(r.code, 4) << strsignal(signalNumber) << r.out << r.err;
        EXPECT_TRUE(Has(r.out, "Зупинено користувачем!")) << r.out;
        EXPECT_TRUE(Has(r.out, " з 64")) << r.out;
        const auto lines = LinesOf(ReadAll(log));
        std::remove(log.c_str());
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "# result: stopped (stopped), exit 4") << strsignal(signalNumber);
    }
}

}  // namespace
}  // namespace velor::testing
