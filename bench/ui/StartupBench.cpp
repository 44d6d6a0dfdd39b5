// Start-up to the window shown, offscreen: the desktop program against a bare Qt window program,
// each started as a fresh process several times. Reports the median wall time of each, their
// ratio, and the peak resident memory of the program. Exits 1 when a goal is missed
// (ratio above 1.5, peak above 150 MB).
//
// Usage: velor-bench-startup PROGRAM BARE [RUNS]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Run {
    double Seconds = 0;
    long PeakKiB = 0;
    bool Ok = false;
};

Run Start(const char* program) {
    const auto begin = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    Run run;
    if (child < 0) {
        return run;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return run;
    }
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    run.PeakKiB = usage.ru_maxrss;
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: velor-bench-startup PROGRAM BARE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
    std::vector<double> program, bare;
    long peakKiB = 0;
    Start(argv[1]);  // warm the file cache for both
    Start(argv[2]);
    for (int i = 0; i < runs; ++i) {
        const Run p = Start(argv[1]);
        const Run b = Start(argv[2]);
        if (!p.Ok || !b.Ok) {
            std::fprintf(stderr, "a start-up failed\n");
            return 2;
        }
        program.push_back(p.Seconds);
        bare.push_back(b.Seconds);
        peakKiB = std::max(peakKiB, p.PeakKiB);
    }
    const double ratio = Median(program) / Median(bare);
    const double peakMB = peakKiB / 1024.0;
    std::printf(
        "start-up, median of %d: program %.1f ms, bare Qt window %.1f ms, ratio %.2f "
        "(goal <= 1.50)\n",
        runs, Median(program) * 1000, Median(bare) * 1000, ratio);
    std::printf("peak resident memory of the program: %.1f MB (goal <= 150)\n", peakMB);
    return ratio <= 1.5 && peakMB <= 150 ? 0 : 1;
}
