// velor_gang_bench: eight devices paced like a 115200 baud line written at once by one
// velor-flash, against one such device written alone, side by side in one run. Goals: at most
// 1.10x the time and 2x the peak memory of the single write.
//
//   velor_gang_bench [--devices N] [--geometry BPP:SIZE:PAGES] [--rounds R]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "Spawn.h"

namespace {

using Clock = std::chrono::steady_clock;
using velor::testing::DevsimProcess;

struct Run {
    double seconds = 0;
    long maxRssKb = 0;
    bool ok = false;
};

Run TimeFlash(const std::vector<std::string>& args) {
    std::vector<std::string> command = {VELOR_FLASH};
    command.insert(command.end(), args.begin(), args.end());
    const int null = open("/dev/null", O_WRONLY);
    Run run;
    const auto start = Clock::now();
    const pid_t pid = velor::testing::Spawn(std::move(command), null, null);
    close(null);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.maxRssKb = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

std::vector<std::unique_ptr<DevsimProcess>> StartDevices(int n, const std::string& geometry) {
    std::vector<std::unique_ptr<DevsimProcess>> devices;
    for (int i = 0; i < n; ++i) {
        devices.push_back(std::make_unique<DevsimProcess>(
            std::vector<std::string>{"--geometry", geometry, "--baud", "115200"}));
    }
    return devices;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 8;
    int rounds = 1;
    std::string geometry = "16:64:64";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--devices") == 0) {
            count = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--geometry") == 0) {
            geometry = argv[i + 1];
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::atoi(argv[i + 1]);
        }
    }
    std::printf("%d devices, geometry %s, paced at 115200 baud, %d round(s)\n", count,
                geometry.c_str(), rounds);
    bool allOk = true;
    double worstRatio = 0;
    double worstMemory = 0;
    for (int round = 0; round < rounds; ++round) {
        Run one;
        {
            auto devices = StartDevices(1, geometry);
            one = TimeFlash({"write", "--port", devices[0]->Path()});
        }
        Run gang;
        {
            auto devices = StartDevices(count, geometry);
            std::string ports;
            for (const auto& d : devices) {
                ports += (ports.empty() ? "" : ",") + d->Path();
            }
            gang = TimeFlash({"write", "--ports", ports});
        }
        const double ratio = gang.seconds / one.seconds;
        const double memory = static_cast<double>(gang.maxRssKb) / one.maxRssKb;
        std::printf(
            "round %d: one %.2f s %ld KiB%s | %d at once %.2f s %ld KiB%s | time %.3fx "
            "(goal <= 1.10x)  memory %.2fx (goal <= 2x)\n",
            round + 1, one.seconds, one.maxRssKb, one.ok ? "" : " FAILED", count, gang.seconds,
            gang.maxRssKb, gang.ok ? "" : " FAILED", ratio, memory);
        allOk = allOk && one.ok && gang.ok;
        worstRatio = std::max(worstRatio, ratio);
        worstMemory = std::max(worstMemory, memory);
    }
    std::printf("worst: time %.3fx, memory %.2fx: %s\n", worstRatio, worstMemory,
                allOk && worstRatio <= 1.10 && worstMemory <= 2.0 ? "goals met" : "goals missed");
    return allOk ? 0 : 1;
}
