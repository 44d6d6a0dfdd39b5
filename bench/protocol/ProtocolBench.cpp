// velor_protocol_bench: how close a whole write comes to the line's own time, what the host
// spends per command, and how much memory velor-flash needs for a write.
//
//   velor_protocol_bench [--skip-wire] [--windows VELOR_FLASH_EXE]
//
// --windows adds the same paced write by the Windows build under Wine, through COM7 of the prefix
// in WINEPREFIX (bench/protocol/run-windows.sh prepares it), and prints its ratio beside Linux's.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "protocol/DeviceLink.h"
#include "protocol/Frames.h"
#include "protocol/PortSetup.h"
#include "support/QuietHost.h"

namespace {

using Clock = std::chrono::steady_clock;
using velor::testing::DevsimProcess;

constexpr double kBaud = 115200;
constexpr double kFixedWaits = 1.45;  // wake-up 5 x 50 ms, identify 100, describe 1000, reset 100
constexpr int kWakeUpChars = 25;

// Runs the program with args (a velor-flash write); returns its wall time and peak memory.
bool TimeWrite(const std::vector<std::string>& args, double& seconds, long& maxRssKb) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    maxRssKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The Windows build's write, under Wine, with COM7 of WINEPREFIX mapped to the device.
std::vector<std::string> WindowsWrite(const std::string& exe, const std::string& pty) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr)
        return {};
    char resolved[PATH_MAX];
    if (realpath(pty.c_str(), resolved) == nullptr)
        return {};
    const std::string link = std::string(prefix) + "/dosdevices/com7";
    unlink(link.c_str());
    if (symlink(resolved, link.c_str()) != 0)
        return {};
    const char* wine = std::getenv("WINE_BIN");
    return {wine != nullptr ? wine : "/usr/lib/wine/wine64", exe, "write", "--port", "COM7"};
}

// label: "wire" for Linux, "windows wire" for the Windows build; windowsExe empty for Linux.
int WireEfficiency(const char* label, const std::string& windowsExe) {
    DevsimProcess devsim({"--baud", "115200"});
    double seconds = 0;
    long rss = 0;
    const std::vector<std::string> args =
        windowsExe.empty() ? std::vector<std::string>{VELOR_FLASH, "write", "--port", devsim.Path()}
                           : WindowsWrite(windowsExe, devsim.Path());
    if (args.empty()) {
        std::fprintf(stderr, "%s: no Wine prefix (WINEPREFIX) to map COM7 in\n", label);
        return 1;
    }
    if (!TimeWrite(args, seconds, rss)) {
        std::fprintf(stderr, "%s: velor-flash write failed\n", label);
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
    std::printf("%s: 64 KiB write at 115200 baud, %ld characters, %ld frames\n", label, chars,
                frames);
    std::printf("%s: line time %.2f s, floor %.2f s (%.3fx), measured %.2f s (%.3fx)\n", label,
                line, floor, floor / line, seconds, seconds / line);
    if (windowsExe.empty())
        std::printf("memory: velor-flash write peak RSS %.1f MB\n", rss / 1024.0);
    return 0;
}

double MedianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int HostOverhead() {
    DevsimProcess devsim({});
    velor::MainWindowModel form;
    form.cbPort.Items = {devsim.Path()};
    form.cbPort.ItemIndex = 0;
    velor::test::QuietHost host;
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
    bool skipWire = false;
    std::string windowsExe;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--skip-wire") == 0) {
            skipWire = true;
        } else if (std::strcmp(argv[i], "--windows") == 0 && i + 1 < argc) {
            windowsExe = argv[++i];
        } else {
            std::fprintf(stderr, "usage: velor_protocol_bench [--skip-wire] [--windows EXE]\n");
            return 2;
        }
    }
    int rc = HostOverhead();
    if (!skipWire) {
        rc |= WireEfficiency("wire", "");
        if (!windowsExe.empty())
            rc |= WireEfficiency("windows wire", windowsExe);
    }
    return rc;
}
