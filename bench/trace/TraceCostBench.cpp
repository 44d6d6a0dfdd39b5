// velor_trace_bench: a 64 KiB write paced like a 115200 baud line, once without and once with
// --trace, side by side: what recording costs (at most 2 % of the write), the trace's size (at
// most 2 MB), and the window's recorder at start-up (its folder untouched until an operation).
//
//   velor_trace_bench [--runs N]   N writes of each kind, alternating (default 1)

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "Spawn.h"
#include "protocol/SessionEvents.h"
#include "serial/TBComPort.h"
#include "trace/WindowTraces.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Run {
    double seconds = 0;
    bool ok = false;
};

Run Write(const std::string& trace) {
    velor::testing::DevsimProcess device({"--baud", "115200"});
    std::vector<std::string> args = {VELOR_FLASH, "write", "-q", "--port", device.Path()};
    if (!trace.empty()) {
        args.insert(args.end(), {"--trace", trace});
    }
    const int null = open("/dev/null", O_WRONLY);
    const auto start = Clock::now();
    const pid_t pid = velor::testing::Spawn(std::move(args), null, null);
    close(null);
    int status = 0;
    waitpid(pid, &status, 0);
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

// The window's recorder made and dropped as at start-up and close, without an operation.
double StartUpMicros(const fs::path& folder, int times) {
    velor::SessionEventFanOut events;
    velor::TBComPort port;
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i) {
        const velor::WindowTraces traces(folder, events, port, nullptr);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / times;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    char dir[] = "/tmp/velor-trace-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        return 1;
    }
    const std::string trace = std::string(dir) + "/write.jsonl";
    double plain = 0;
    double traced = 0;
    bool ok = true;
    for (int i = 0; i < runs; ++i) {
        const Run a = Write("");
        const Run b = Write(trace);
        plain += a.seconds;
        traced += b.seconds;
        ok = ok && a.ok && b.ok;
    }
    plain /= runs;
    traced /= runs;
    const auto size = fs::exists(trace) ? fs::file_size(trace) : 0;
    const fs::path folder = fs::path(dir) / "window-traces";
    const double startUp = StartUpMicros(folder, 100);

    std::printf("64 KiB write paced at 115200 baud, %d run(s) of each\n", runs);
    std::printf("%-22s %9.2f s\n", "without a trace", plain);
    std::printf("%-22s %9.2f s  (%+.2f %%, goal <= 2 %%)\n", "with --trace", traced,
                (traced - plain) / plain * 100);
    std::printf("%-22s %9.2f MB (%ju bytes, goal <= 2 MB)\n", "trace size", size / 1e6,
                static_cast<uintmax_t>(size));
    std::printf("%-22s %9.1f us a window (the folder %s before an operation)\n",
                "recorder at start-up", startUp,
                fs::exists(folder) ? "WAS MADE" : "is not touched");
    fs::remove_all(dir);
    return ok && size > 0 && size <= 2'000'000 && !fs::exists(folder) ? 0 : 1;
}
