// The two transfers the protocol runs thousands of times per write, on a real pseudo-terminal
// with the main window's timeouts (all 1 ms):
//   ReadTextQueuedReply: wall time of ReadText(reply, 40) when the reply already waits in the
//     input queue; the read cannot end before the 1 ms gap, so ~1 ms is the floor.
//   WriteTextFrame: CPU time of WriteText of a 140-byte frame while the other side reads.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "serial/TBComPort.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Pty {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    Pty() { openpty(&master, &slave, name, nullptr, nullptr); }
    ~Pty() {
        close(slave);
        close(master);
    }
};

void Configure(velor::TBComPort& port, const char* path) {
    port.SetPort(path);
    port.SetBaudRate(velor::TBaudRate::br115200);
    port.SetTimeouts(velor::TComTimeouts::Uniform(1));
    port.OpenPort();
}

void ReadTextQueuedReply(benchmark::State& state) {
    Pty pty;
    velor::TBComPort port;
    Configure(port, pty.name);
    const std::string reply = ":0A1B2C3D4E5F60718293\r\n";  // a 24-byte reply
    std::string got;
    for (auto _ : state) {
        if (write(pty.master, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size())) {
            state.SkipWithError("write to the pty failed");
            break;
        }
        while (port.QueuedInputCount() < static_cast<int32_t>(reply.size())) {
        }
        const auto start = Clock::now();
        const int32_t n = port.ReadText(got, 40);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (n != static_cast<int32_t>(reply.size())) {
            state.SkipWithError("short read");
            break;
        }
    }
}
BENCHMARK(ReadTextQueuedReply)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void WriteTextFrame(benchmark::State& state) {
    Pty pty;
    velor::TBComPort port;
    Configure(port, pty.name);
    std::atomic<bool> stop{false};
    std::thread device([&] {
        char sink[4096];
        while (!stop.load()) {
            pollfd p{pty.master, POLLIN, 0};
            if (poll(&p, 1, 10) > 0 && read(pty.master, sink, sizeof sink) < 0)
                break;
        }
    });
    std::string frame = ":";
    for (int i = 0; i < 137; ++i)
        frame += "0123456789ABCDEF"[i % 16];
    frame += "\r\n";  // 140 bytes
    for (auto _ : state) {
        benchmark::DoNotOptimize(port.WriteText(frame));
    }
    stop = true;
    device.join();
}
BENCHMARK(WriteTextFrame)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
