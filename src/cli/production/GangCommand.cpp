// velor-flash write with several ports: a session per device, each on its own thread.

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
#include "cli/output/LiveLines.h"
#include "cli/output/StatusBoard.h"
#include "cli/output/TerminalHost.h"
#include "cli/platform/Interrupts.h"
#include "cli/production/DeviceRun.h"
#include "cli/production/GangOptions.h"
#include "cli/production/GangStart.h"

namespace velor::cli {

namespace {

// Off a terminal each device's end is told as it comes; on one its line says it. Seam: JSON Lines
// events of velor-flash, where they exist, would add one event per device end here.
void PrintAnnouncements(StatusBoard& board, LiveLines& live) {
    for (const auto& line : board.TakeAnnouncements()) {
        if (!live.OnTerminal()) {
            live.Print(line);
        }
    }
}

}  // namespace

int RunGangWrite(const Args& args) {
    std::string error;
    const auto options = ParseGangOptions(args, false, error);
    const bool traceUsable = !options || TraceFitsPorts(options->trace, error);
    if (const auto end = EndBeforeDevices(options, traceUsable, error, GangHelp(false).c_str())) {
        return *end;
    }
    const TimerPrecision timers;
    TerminalHost host;
    GangStart start;
    if (const int prepared = PrepareGang(*options, host, start); prepared != kExitDone) {
        return prepared;
    }
    const auto& [image, ports, portWidth] = start;

    const std::size_t n = ports.size();
    StatusBoard board(n);
    std::vector<DeviceReport> reports(n);
    const auto stops = std::make_unique<std::atomic<bool>[]>(n);
    std::atomic<std::size_t> finished{0};
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < n; ++i) {
            board.SetLine(i, ProgressLine(ports[i], portWidth, DeviceProgress{}));
            threads.emplace_back([&, i] {
                const PortJob job{ports[i], options->baudIndex, image, &stops[i], options->trace};
                reports[i] = WriteDevice(job, [&](const DeviceProgress& progress) {
                    board.SetLine(i, ProgressLine(ports[i], portWidth, progress));
                });
                board.SetLine(i, PortHead(ports[i], portWidth) + OutcomeWord(reports[i]) + "  " +
                                     reports[i].message);
                board.Announce(ports[i] + ": " + OutcomeWord(reports[i]) + ", " +
                               reports[i].message);
                ++finished;
            });
        }
        LiveLines live(stderr);
        bool stopping = false;
        while (finished.load() < n) {
            if (!stopping && InterruptGuard::Requested()) {
                stopping = true;
                for (std::size_t i = 0; i < n; ++i) {
                    stops[i] = true;
                }
            }
            PrintAnnouncements(board, live);
            live.Draw(board.Lines());
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        PrintAnnouncements(board, live);
    }
    std::fputs(EscapeControls(ReportTable(reports)).c_str(), stdout);
    std::fflush(stdout);
    int code = kExitDone;
    for (const auto& report : reports) {
        code = WorseExitCode(code, report.exitCode);
        TellTrace({report.traceFile, report.traceProblem.empty(), report.traceProblem}, false,
                  stderr);
    }
    return code;
}

}  // namespace velor::cli
