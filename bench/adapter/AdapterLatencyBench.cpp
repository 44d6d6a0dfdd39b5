// velor_adapter_latency_bench: a 64 KiB write paced like a 115200 baud line, once with replies
// handed over at once and once through an adapter whose latency timer holds them (16 ms, the
// FTDI default), side by side: the time the timer costs, and the reply latency and hint that
// velor-flash reports for it.
//
//   velor_adapter_latency_bench [--latency-ms N] [--geometry BPP:SIZE:PAGES]

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "Spawn.h"

namespace {

using Clock = std::chrono::steady_clock;
using velor::testing::DevsimProcess;

struct Run {
    double seconds = 0;
    std::string latencyMs = "-";
    bool hint = false;
    bool ok = false;
};

Run Write(const std::vector<std::string>& devsimArgs) {
    DevsimProcess device(devsimArgs);
    char name[] = "/tmp/velor-adapter-bench-XXXXXX";
    const int out = mkstemp(name);
    std::vector<std::string> args = {VELOR_FLASH, "write", "--json", "--port", device.Path()};
    const int null = open("/dev/null", O_WRONLY);
    Run run;
    const auto start = Clock::now();
    const pid_t pid = velor::testing::Spawn(std::move(args), out, null);
    close(null);
    int status = 0;
    waitpid(pid, &status, 0);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    close(out);
    std::ifstream in(name);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::remove(name);
    std::smatch m;
    if (std::regex_search(text, m, std::regex("\"reply_latency_ms\":([0-9.]+)"))) {
        run.latencyMs = m[1];
    }
    run.hint = text.find("\"hint\":") != std::string::npos;
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    std::string latency = "16";
    std::string geometry = "16:64:64";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--latency-ms") == 0) {
            latency = argv[i + 1];
        } else if (std::strcmp(argv[i], "--geometry") == 0) {
            geometry = argv[i + 1];
        }
    }
    const std::vector<std::string> paced = {"--geometry", geometry, "--baud", "115200"};
    std::vector<std::string> held = paced;
    held.insert(held.end(), {"--adapter-latency-ms", latency});
    const Run direct = Write(paced);
    const Run timer = Write(held);
    std::printf("geometry %s, paced at 115200 baud\n", geometry.c_str());
    std::printf("%-28s %9s %18s %5s\n", "", "seconds", "reply latency ms", "hint");
    std::printf("%-28s %9.2f %18s %5s%s\n", "replies at once", direct.seconds,
                direct.latencyMs.c_str(), direct.hint ? "yes" : "no", direct.ok ? "" : " FAILED");
    std::printf("%-28s %9.2f %18s %5s%s\n", ("adapter latency " + latency + " ms").c_str(),
                timer.seconds, timer.latencyMs.c_str(), timer.hint ? "yes" : "no",
                timer.ok ? "" : " FAILED");
    std::printf("the timer costs %.2f s (%.2fx)\n", timer.seconds - direct.seconds,
                timer.seconds / direct.seconds);
    return direct.ok && timer.ok ? 0 : 1;
}
