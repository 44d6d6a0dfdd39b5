// velor-flash write with several ports: a session per device, each on its own thread.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "app/TimerPrecision.h"
#include "cli/Commands.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/commands/SystemErrors.h"
#include "cli/commands/TraceOption.h"
#include "cli/output/ControlEscapes.h"
#include "cli/output/GangTable.h"
#include "cli/output/JsonEvents.h"
#include "cli/output/LiveLines.h"
#include "cli/output/StatusBoard.h"
#include "cli/output/TerminalHost.h"
#include "cli/platform/Interrupts.h"
#include "cli/production/DeviceRun.h"
#include "cli/production/GangOptions.h"
#include "cli/production/GangStart.h"

namespace velor::cli {

namespace {

// Off a terminal each device's end is told as it comes; on one its line says it.
void PrintAnnouncements(StatusBoard& board, LiveLines& live) {
    for (const auto& line : board.TakeAnnouncements()) {
        if (!live.OnTerminal()) {
            live.Print(line);
        }
    }
}

// The last event of a --json gang write: how many devices ended how, and the exit code.
JsonEvent GangEvent(const std::vector<DeviceReport>& reports, int code) {
    JsonEvent event("gang");
    event.Add("devices", static_cast<int64_t>(reports.size()));
    for (const char* word : {"done", "refused", "failed", "stopped", "port-error", "error"}) {
        int64_t count = 0;
        for (const auto& report : reports) {
            count += std::string(OutcomeWord(report)) == word ? 1 : 0;
        }
        std::string key = word;
        std::replace(key.begin(), key.end(), '-', '_');
        event.Add(key, count);
    }
    event.Add("exit_code", code);
    return event;
}

}  // namespace

int RunGangWrite(const Args& args) {
    std::string error;
    const auto options = ParseGangOptions(args, false, error);
    const bool traceUsable = !options || TraceFitsPorts(options->trace, error);
    if (const auto end = EndBeforeDevices(options, traceUsable, error, GangHelp(false).c_str())) {
        return *end;
    }
    DeviceOutput output;
    if (!OpenDeviceOutput(*options, output)) {
        return kExitRefused;
    }
    const bool json = options->json;
    // The table alone with -q; events alone with --json.
    const bool board = !json && !options->quiet;
    const TimerPrecision timers;
    TerminalHost host;
    const std::unique_ptr<Reporter> events = EventsBeforeDevices(options->json);
    host.SetOutput(events.get());
    GangStart start;
    if (const int prepared = PrepareGang(*options, host, start); prepared != kExitDone) {
        return prepared;
    }
    const auto& [image, ports, portWidth] = start;

    const std::size_t n = ports.size();
    StatusBoard status(n);
    std::vector<DeviceReport> reports(n);
    const auto stops = std::make_unique<std::atomic<bool>[]>(n);
    std::atomic<std::size_t> finished{0};
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < n; ++i) {
            status.SetLine(i, ProgressLine(ports[i], portWidth, DeviceProgress{}));
            threads.emplace_back([&, i] {
                const PortJob job{
                    ports[i], options->baudIndex, image, &stops[i], options->trace, &output, ""};
                reports[i] = WriteDevice(job, [&](const DeviceProgress& progress) {
                    status.SetLine(i, ProgressLine(ports[i], portWidth, progress));
                });
                status.SetLine(i, PortHead(ports[i], portWidth) + OutcomeWord(reports[i]) + "  " +
                                      reports[i].message);
                if (board) {
                    status.Announce(ports[i] + ": " + OutcomeWord(reports[i]) + ", " +
                                    reports[i].message);
                }
                ++finished;
            });
        }
        LiveLines live(stderr);
        bool stopping = false;
        while (finished.load() < n) {
            if (!stopping && InterruptGuard::Requested()) {
                stopping = true;
                // Before any device's own end tells what it holds.
                if (json) {
                    PrintEvent(stdout, StoppingEvent(InterruptGuard::Notice()));
                }
                for (std::size_t i = 0; i < n; ++i) {
                    stops[i] = true;
                }
            }
            PrintAnnouncements(status, live);
            if (board) {
                live.Draw(status.Lines());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        PrintAnnouncements(status, live);
    }
    int code = kExitDone;
    for (const auto& report : reports) {
        code = WorseExitCode(code, report.exitCode);
        TellTrace({report.traceFile, report.traceProblem.empty(), report.traceProblem}, false,
                  stderr);
    }
    // The log was asked for: a run that could not keep it did not do all it was told.
    if (code == kExitDone && output.log && output.log->Incomplete()) {
        code = kExitRefused;
    }
    if (json) {
        PrintEvent(stdout, GangEvent(reports, code));
    } else {
        std::fputs(EscapeControls(ReportTable(reports)).c_str(), stdout);
        std::fflush(stdout);
    }
    return code;
}

}  // namespace velor::cli
