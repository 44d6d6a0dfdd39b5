// velor_protocol_bench: how close a whole write comes to the line's own time, what the host
// spends per command, and how much memory velor-flash needs for a write.
//
//   velor_protocol_bench [--skip-wire]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "protocol/DeviceLink.h"
#include "protocol/Frames.h"
#include "protocol/PortSetup.h"

namespace {

using Clock = std::chrono::steady_clock;
using velor::testing::DevsimProcess;

constexpr double kBaud = 115200;
constexpr double kFixedWaits = 1.45;  // wake-up 5 x 50 ms, identify 100, describe 1000, reset 100
constexpr int kWakeUpChars = 25;

// Runs velor-flash write on the port; returns its wall time and peak memory.
bool TimeWrite(const std::string& port, double& seconds, long& maxRssKb) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execl(VELOR_FLASH, VELOR_FLASH, "write", "--port", port.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    maxRssKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int WireEfficiency() {
    DevsimProcess devsim({"--baud", "115200"});
    double seconds = 0;
    long rss = 0;
    if (!TimeWrite(devsim.Path(), seconds, rss)) {
        std::fprintf(stderr, "velor-flash write failed\n");
        return 1;
    }
    devsim.Stop();
    long chars = kWakeUpChars;
    long frames = 0;
    for (const char* kind : {"rx", "lost"}) {
        for (const auto& f : devsim.LogLines(kind)) {
            chars += static_cast<long>(f.size());
            ++frames;
        }
    }
    for (const auto& r : devsim.LogLines("tx")) {
        chars += static_cast<long>(r.size());
    }
    const double line = chars * 10 / kBaud;
    // Each frame is followed by one read, which ends 1 ms after the reply's last character.
    const double floor = line + kFixedWaits + frames * 0.001;
    std::printf("wire: 64 KiB write at 115200 baud, %ld characters, %ld frames\n", chars, frames);
    std::printf("wire: line time %.2f s, floor %.2f s (%.3fx), measured %.2f s (%.3fx)\n", line,
                floor, floor / line, seconds, seconds / line);
    std::printf("memory: velor-flash write peak RSS %.1f MB\n", rss / 1024.0);
    return 0;
}

class QuietHost : public velor::IHost {
  public:
    void ShowMessage(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void MessageBeep(velor::BeepKind) override {}
    void Tone(int, int) override {}
    void Sleep(int) override {}
    void ProcessEvents() override {}
    void BringToFront() override {}
    std::string LongTimeOfDay() override { return ""; }
};

double MedianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int HostOverhead() {
    DevsimProcess devsim({});
    velor::MainWindowModel form;
    form.cbPort.Items = {devsim.Path()};
    form.cbPort.ItemIndex = 0;
    QuietHost host;
    velor::TBComPort port;
    velor::ApplyFormSettings(port);
    velor::OpenChosenPort(port, form);
    velor::ProtocolBuffers buffers;
    velor::DeviceInfo info;
    velor::DeviceLink link(form, host, port, buffers, info);

    const struct {
        const char* name;
        std::string frame;
        const velor::FlashCommand& command;
    } commands[] = {
        {"erase", velor::MakeFrame("04000000"), velor::kEraseCommand},
        {"write block", velor::MakeFrame("0501" + std::string(128, 'A')), velor::kWriteCommand},
        {"program", std::string(velor::kProgramFrame), velor::kProgramCommand},
    };
    for (const auto& c : commands) {
        std::vector<double> times;
        int refused = 0;
        for (int i = 0; i < 300; ++i) {
            buffers.CurrentCommand = c.frame;
            const auto start = Clock::now();
            refused += !link.FlashAttempt(c.command, 0);
            times.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::printf("host: %-11s attempt unpaced, median %.3f ms (%d of 300 refused)\n", c.name,
                    MedianMs(times), refused);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool skipWire = argc > 1 && std::strcmp(argv[1], "--skip-wire") == 0;
    int rc = HostOverhead();
    if (!skipWire) {
        rc |= WireEfficiency();
    }
    return rc;
}
