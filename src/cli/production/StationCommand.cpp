// velor-flash station: on each port, wait for a device, write it, report it, wait for the next.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "app/TimerPrecision.h"
#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/commands/SystemErrors.h"
#include "cli/output/ControlEscapes.h"
#include "cli/output/GangTable.h"
#include "cli/output/LiveLines.h"
#include "cli/output/StatusBoard.h"
#include "cli/output/TerminalHost.h"
#include "cli/platform/Interrupts.h"
#include "cli/production/AdapterSerial.h"
#include "cli/production/DeviceRun.h"
#include "cli/production/GangOptions.h"
#include "cli/production/GangStart.h"
#include "cli/production/RecordFile.h"
#include "firmware/ImageDigest.h"

namespace velor::cli {

namespace {

constexpr auto kPollPause = std::chrono::milliseconds(500);

struct Tally {
    long done = 0, refused = 0, failed = 0, stopped = 0;

    void Add(const DeviceReport& r) {
        switch (r.outcome) {
            case SessionOutcome::Done:
                ++done;
                break;
            case SessionOutcome::Refused:
                ++refused;
                break;
            case SessionOutcome::Stopped:
                ++stopped;
                break;
            case SessionOutcome::Failed:
            case SessionOutcome::None:
                ++failed;
                break;
        }
    }
    void Add(const Tally& t) {
        done += t.done;
        refused += t.refused;
        failed += t.failed;
        stopped += t.stopped;
    }
    std::string Text() const {
        return "done " + std::to_string(done) + ", refused " + std::to_string(refused) +
               ", failed " + std::to_string(failed) + ", stopped " + std::to_string(stopped);
    }
};

// What every port's loop shares: the read-only image and its identity, the device quota, the
// record file and the board; each port has its own slot, stop flag and tally.
struct Station {
    std::vector<std::string> ports;
    std::size_t portWidth = 0;
    int baudIndex = kDefaultBaudIndex;
    std::shared_ptr<const FirmwareImage> image;
    std::string release;
    std::string imageSha256;
    long count = 0;
    std::atomic<long> claimed{0};
    std::unique_ptr<RecordFile> record;
    StatusBoard board;
    std::unique_ptr<std::atomic<bool>[]> stops;
    std::mutex tallyMutex;
    std::vector<Tally> tallies;
    std::vector<int> codes;
    // A device whose record could not be written: the station takes no other and says which.
    std::mutex lostMutex;
    std::vector<std::string> lostRecords;
    std::atomic<bool> recordLost{false};

    explicit Station(std::size_t n)
        : board(n), stops(std::make_unique<std::atomic<bool>[]>(n)), tallies(n), codes(n, 0) {}

    std::string Head(std::size_t i) const { return PortHead(ports[i], portWidth); }
    std::string TallyText(std::size_t i) {
        const std::lock_guard<std::mutex> lock(tallyMutex);
        std::string text = "[";
        text += tallies[i].Text();
        text += ']';
        return text;
    }
    void StopAll() {
        for (std::size_t k = 0; k < ports.size(); ++k) {
            stops[k] = true;
        }
    }
    bool QuotaSpent() const { return count > 0 && claimed.load() >= count; }
    // A stop, the quota spent or a lost record: no new device on any port.
    bool Ending(std::size_t i) const {
        return stops[i].load() || QuotaSpent() || recordLost.load();
    }

    void Pause(std::size_t i) const {
        const auto until = std::chrono::steady_clock::now() + kPollPause;
        while (!Ending(i) && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void Report(std::size_t i, const DeviceReport& report) {
        {
            const std::lock_guard<std::mutex> lock(tallyMutex);
            tallies[i].Add(report);
            codes[i] = WorseExitCode(codes[i], report.exitCode);
        }
        const std::string now = UtcTimestamp();
        board.Announce(now + "  " + Head(i) + OutcomeWord(report) + "  " +
                       SecondsText(report.seconds) + " s  failed attempts " +
                       std::to_string(report.failedAttempts) + "  calibration " +
                       report.calibration + "  " + report.message);
        if (record) {
            DeviceRecord r;
            r.time = now;
            r.port = ports[i];
            r.adapterSerial = AdapterSerialNumber(ports[i]);
            r.release = release;
            r.imageSha256 = imageSha256;
            r.outcome = OutcomeWord(report);
            r.reason = report.reason;
            r.messageNumber = report.messageNumber;
            r.message = report.message;
            r.seconds = report.seconds;
            r.failedAttempts = report.failedAttempts;
            r.calibration = report.calibration;
            r.version = VersionLine();
            std::string error;
            if (!record->Append(r, error)) {
                {
                    const std::lock_guard<std::mutex> lock(lostMutex);
                    lostRecords.push_back("velor-flash: no record of the device on " + ports[i] +
                                          " (" + OutcomeWord(report) + "): " + error);
                }
                // Writes under way end as they would; no port takes another device.
                recordLost = true;
            }
        }
    }

    // The loop of one port: waiting for a device, writing it, waiting for it to leave.
    void Serve(std::size_t i) {
        const PortJob job{ports[i], baudIndex, image, &stops[i]};
        bool occupied = false;            // the last device handled may still be on the port
        std::optional<std::string> seen;  // what it said when it answered after its write
        while (!Ending(i)) {
            board.SetLine(i, Head(i) + (occupied ? "remove the device" : "waiting for a device") +
                                 "  " + TallyText(i));
            const Presence presence = ProbeDevice(job);
            if (Ending(i)) {
                break;
            }
            if (!presence.present) {
                occupied = false;
                Pause(i);
                continue;
            }
            // The device just handled answers as it did after its write (with the new release
            // when it was written): the same device, not a new one. One that says something else
            // was put in its place between two probes.
            if (occupied && (!seen || *seen == presence.description)) {
                seen = presence.description;
                Pause(i);
                continue;
            }
            if (count > 0 && claimed.fetch_add(1) >= count) {
                break;
            }
            const DeviceReport report = WriteDevice(job, [&](const DeviceProgress& progress) {
                board.SetLine(i, ProgressLine(ports[i], portWidth, progress) + "  " + TallyText(i));
            });
            Report(i, report);
            occupied = true;
            seen.reset();
        }
        board.SetLine(i, Head(i) + "ended  " + TallyText(i));
    }
};

}  // namespace

int RunStation(const Args& args) {
    std::string error;
    const auto options = ParseGangOptions(args, true, error);
    std::optional<RecordFormat> format;
    if (options && !options->recordFile.empty()) {
        format = RecordFormatOf(options->recordFile);
        if (!format) {
            error = UsageErrorLine("velor-flash station",
                                   "the record file's name must end in .csv, .jsonl, .ndjson or "
                                   ".json");
        }
    }
    const bool usable = options && (options->recordFile.empty() || format);
    if (const auto end = EndBeforeDevices(options, usable, error, GangHelp(true).c_str())) {
        return *end;
    }
    const TimerPrecision timers;
    TerminalHost host;
    GangStart start;
    if (const int prepared = PrepareGang(*options, host, start); prepared != kExitDone) {
        return prepared;
    }

    const std::size_t n = start.ports.size();
    Station station(n);
    station.ports = start.ports;
    station.portWidth = start.portWidth;
    station.baudIndex = options->baudIndex;
    station.image = start.image;
    station.release = ImageReleaseStamp(*start.image);
    station.imageSha256 = ImageSha256(*start.image);
    station.count = options->count;
    if (format) {
        station.record = std::make_unique<RecordFile>(options->recordFile, *format);
        if (!station.record->CanAppend(error)) {
            std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
            return kExitRefused;
        }
    }

    bool interrupted = false;
    std::atomic<std::size_t> ended{0};
    {
        LiveLines live(stderr);
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < n; ++i) {
            threads.emplace_back([&station, &ended, i] {
                station.Serve(i);
                ++ended;
            });
        }
        // Reports go to stdout as they come; the live lines to stderr on a terminal.
        const auto show = [&] {
            for (const auto& line : station.board.TakeAnnouncements()) {
                live.Clear();
                std::printf("%s\n", EscapeControls(line).c_str());
                std::fflush(stdout);
            }
            std::vector<std::string> lines = station.board.Lines();
            Tally total;
            {
                const std::lock_guard<std::mutex> lock(station.tallyMutex);
                for (const auto& t : station.tallies) {
                    total.Add(t);
                }
            }
            lines.push_back("total  " + total.Text());
            live.Draw(lines);
        };
        while (ended.load() < n) {
            if (!interrupted && InterruptGuard::Requested()) {
                interrupted = true;
                station.StopAll();
            }
            show();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        show();
    }
    Tally total;
    int code = interrupted ? kExitStopped : kExitDone;
    for (std::size_t i = 0; i < n; ++i) {
        std::printf("%s%s\n", station.Head(i).c_str(), station.tallies[i].Text().c_str());
        total.Add(station.tallies[i]);
        code = WorseExitCode(code, station.codes[i]);
    }
    std::printf("total  %s\n", total.Text().c_str());
    std::fflush(stdout);
    for (const auto& lost : station.lostRecords) {
        std::fprintf(stderr, "%s\n", lost.c_str());
        code = WorseExitCode(code, kExitRefused);
    }
    return code;
}

}  // namespace velor::cli
