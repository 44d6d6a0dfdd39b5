// velor-flash station: on each port, wait for a device, write it, report it, wait for the next.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/TimerPrecision.h"
#include "app/UtcTimestamp.h"
#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/commands/PortMatch.h"
#include "cli/commands/SystemErrors.h"
#include "cli/output/ControlEscapes.h"
#include "cli/output/GangTable.h"
#include "cli/output/JsonEvents.h"
#include "cli/output/LiveLines.h"
#include "cli/output/StatusBoard.h"
#include "cli/output/TerminalHost.h"
#include "cli/platform/Interrupts.h"
#include "cli/platform/PortEvents.h"
#include "cli/production/AdapterSerial.h"
#include "cli/production/DeviceRun.h"
#include "cli/production/GangOptions.h"
#include "cli/production/GangStart.h"
#include "cli/production/RecordFile.h"
#include "cli/production/StationBoard.h"
#include "cli/records/ConnectionUrl.h"
#include "cli/records/RecordStore.h"
#include "cli/records/YieldFigures.h"
#include "cli/text/Translate.h"
#include "firmware/ImageDigest.h"
#include "trace/TraceStore.h"

namespace velor::cli {

namespace {

constexpr auto kPollPause = std::chrono::milliseconds(500);
constexpr auto kPushPause = std::chrono::seconds(5);

std::string ComputerName() {
#ifdef _WIN32
    const char* name = std::getenv("COMPUTERNAME");
    return name ? name : "station";
#else
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "station";
#endif
}

// Opens the database of --record; a PostgreSQL server that is away still lets the station run,
// its records waiting in the spool. False after telling why on stderr.
bool OpenStationStore(const std::string& target, std::unique_ptr<RecordStore>& store) {
    std::string error;
    if (IsPostgresUrl(target) && UrlHasPassword(target)) {
        std::fprintf(stderr, "velor-flash: warning: %s\n", PasswordInUrlWarning().c_str());
    }
    store = MakeRecordStore(target, true, error);
    if (store && store->Open(error)) {
        return true;
    }
    if (store && store->Spooling()) {
        std::fprintf(stderr, "velor-flash: %s; records wait in the spool until it answers\n",
                     error.c_str());
        return true;
    }
    std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
    store.reset();
    return false;
}

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
    std::vector<std::string> ports;   // as given: a name, or what to look the port up by
    std::vector<std::string> labels;  // the slot's name, else the port as given
    std::string name;
    std::size_t portWidth = 0;
    int baudIndex = kDefaultBaudIndex;
    std::shared_ptr<const FirmwareImage> image;
    std::string release;
    std::string imageSha256;
    long count = 0;
    std::atomic<long> claimed{0};
    std::unique_ptr<RecordFile> record;
    std::unique_ptr<RecordStore> store;
    std::string traceFolder;  // empty: no traces
    bool json = false;
    DeviceOutput output;  // each write's --json events and --log lines
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    FigureTally figures;  // of this run's records (under tallyMutex)
    // Bumped when a port may have come or gone: a pause ends early for a new look.
    std::atomic<unsigned> portChanges{0};
    StatusBoard board;
    std::unique_ptr<std::atomic<bool>[]> stops;
    std::mutex tallyMutex;
    std::vector<Tally> tallies;
    std::vector<int> codes;
    // A device whose record could not be written: the station takes no other and says which.
    std::mutex lostMutex;
    std::vector<std::pair<std::size_t, std::string>> lostRecords;  // the slot and why
    std::atomic<bool> recordLost{false};

    explicit Station(std::size_t n)
        : board(n), stops(std::make_unique<std::atomic<bool>[]>(n)), tallies(n), codes(n, 0) {}

    std::string Head(std::size_t i) const { return PortHead(labels[i], portWidth); }
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
        const unsigned changes = portChanges.load();
        while (!Ending(i) && std::chrono::steady_clock::now() < until &&
               portChanges.load() == changes) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void Report(std::size_t i, const std::string& port, const DeviceReport& report) {
        const std::string now = UtcTimestamp();
        DeviceRecord r;
        r.id = NewRecordId();
        r.time = now;
        r.station = name;
        r.slot = labels[i];
        r.port = port;
        r.adapterSerial = AdapterSerialNumber(port);
        r.release = release;
        r.imageSha256 = imageSha256;
        r.outcome = OutcomeWord(report);
        r.reason = report.reason;
        r.messageNumber = report.messageNumber;
        r.message = report.message;
        r.seconds = report.seconds;
        r.failedAttempts = report.failedAttempts;
        r.calibration = report.calibration;
        r.traceFile = report.traceFile;
        r.version = VersionLine();
        {
            const std::lock_guard<std::mutex> lock(tallyMutex);
            tallies[i].Add(report);
            codes[i] = WorseExitCode(codes[i], report.exitCode);
            figures.Add(r);
        }
        if (json) {
            PrintEvent(stdout, DeviceEvent(r));
        } else {
            board.Announce(now + "  " + Head(i) + OutcomeWord(report) + "  " +
                           SecondsText(report.seconds) + Tr(" s  failed attempts ") +
                           std::to_string(report.failedAttempts) + Tr("  calibration ") +
                           report.calibration + "  " + report.message);
        }
        std::string error;
        const bool stored = store ? store->Append(r, error) : !record || record->Append(r, error);
        if (!stored) {
            {
                const std::lock_guard<std::mutex> lock(lostMutex);
                lostRecords.push_back({i, "velor-flash: no record of the device on " + labels[i] +
                                              " (" + OutcomeWord(report) + "): " + error});
            }
            // Writes under way end as they would; no port takes another device.
            recordLost = true;
        }
    }

    static JsonEvent DeviceEvent(const DeviceRecord& r) {
        JsonEvent event("device");
        event.Add("id", r.id)
            .Add("time", r.time)
            .Add("station", r.station)
            .Add("slot", r.slot)
            .Add("port", r.port)
            .Add("adapter_serial", r.adapterSerial)
            .Add("outcome", r.outcome)
            .Add("message", r.message)
            .AddSeconds("seconds", r.seconds)
            .Add("failed_attempts", r.failedAttempts)
            .Add("reason", r.reason)
            .Add("message_number", r.messageNumber);
        return event;
    }

    // A problem of a slot: with --json an error event naming its port and slot, else a line.
    void Tell(std::size_t i, const std::string& text) {
        if (json) {
            JsonEvent event("error");
            PrintEvent(stdout,
                       event.Add("text", text).Add("port", ports[i]).Add("slot", labels[i]));
        } else {
            board.Announce(text);
        }
    }

    std::vector<std::string> FigureLines() {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::lock_guard<std::mutex> lock(tallyMutex);
        return StationFigureLines(figures.Figures(), elapsed, store ? store->Waiting() : 0);
    }
    JsonEvent FiguresEvent() {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::lock_guard<std::mutex> lock(tallyMutex);
        return StationFiguresEvent(figures.Figures(), elapsed, store ? store->Waiting() : 0);
    }

    // A device that ended done needs no trace; the trace of another stays, and a trace that
    // could not be written is said beside the device's report.
    void KeepTraceOfFailure(std::size_t i, DeviceReport& report) {
        if (report.traceFile.empty()) {
            return;
        }
        if (report.outcome == SessionOutcome::Done) {
            std::error_code ignored;
            std::filesystem::remove(report.traceFile, ignored);
            report.traceFile.clear();
        } else if (!report.traceProblem.empty()) {
            Tell(i, "velor-flash: the trace " + report.traceFile +
                        " is not whole: " + report.traceProblem);
        }
    }

    // The loop of one port: waiting for a device, writing it, waiting for it to leave.
    void Serve(std::size_t i) {
        PortJob job{ports[i], baudIndex, image, &stops[i], traceFolder, nullptr, labels[i]};
        bool occupied = false;            // the last device handled may still be on the port
        std::optional<std::string> seen;  // what it said when it answered after its write
        while (!Ending(i)) {
            board.SetLine(i, Head(i) +
                                 (occupied ? Tr("remove the device") : Tr("waiting for a device")) +
                                 "  " + TallyText(i));
            // A slot named by where its adapter is plugged in is looked up at every probe: a
            // replugged adapter may come back under another name.
            std::string lookup;
            const auto port = PortToOpen(ports[i], lookup);
            if (!port) {
                occupied = false;
                Pause(i);
                continue;
            }
            job.port = *port;
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
            // The probes are no device's writes: only the write has events and log lines.
            job.output = &output;
            DeviceReport report = WriteDevice(job, [&](const DeviceProgress& progress) {
                board.SetLine(i,
                              ProgressLine(labels[i], portWidth, progress) + "  " + TallyText(i));
            });
            job.output = nullptr;
            KeepTraceOfFailure(i, report);
            Report(i, job.port, report);
            occupied = true;
            seen.reset();
        }
        board.SetLine(i, Head(i) + Tr("ended  ") + TallyText(i));
    }
};

}  // namespace

int RunStation(const Args& args) {
    std::string error;
    const auto options = ParseGangOptions(args, true, error);
    std::optional<RecordFormat> format;
    const bool database = options && IsDatabaseTarget(options->recordFile);
    if (options && !options->recordFile.empty() && !database) {
        format = RecordFormatOf(options->recordFile);
        if (!format) {
            error = UsageErrorLine("velor-flash station",
                                   Tr("the record file's name must end in .csv, .jsonl, .ndjson, "
                                      ".json, .db or .sqlite, or be a postgresql:// URL"));
        }
    }
    const bool usable = options && (options->recordFile.empty() || format || database);
    if (const auto end = EndBeforeDevices(options, usable, error, GangHelp(true).c_str())) {
        return *end;
    }
    DeviceOutput output;
    if (!OpenDeviceOutput(*options, output)) {
        return kExitRefused;
    }
    const TimerPrecision timers;
    TerminalHost host;
    const std::unique_ptr<Reporter> events = EventsBeforeDevices(options->json);
    host.SetOutput(events.get());
    GangStart start;
    if (const int prepared = PrepareGang(*options, host, start); prepared != kExitDone) {
        return prepared;
    }

    const std::size_t n = start.ports.size();
    Station station(n);
    station.ports = start.ports;
    for (std::size_t i = 0; i < n; ++i) {
        const bool named = i < options->slots.size() && !options->slots[i].empty();
        station.labels.push_back(named ? options->slots[i] : start.ports[i]);
        station.portWidth = std::max(station.portWidth, station.labels.back().size());
    }
    station.name = options->stationName.empty() ? ComputerName() : options->stationName;
    station.json = options->json;
    station.output = output;
    // The board only for a person: not with -q, not among --json events.
    const bool drawBoard = !options->json && !options->quiet;
    station.baudIndex = options->baudIndex;
    station.image = start.image;
    station.release = ImageReleaseStamp(*start.image);
    station.imageSha256 = ImageSha256(*start.image);
    station.count = options->count;
    // Beside a record file by default; a server's address names no folder.
    const bool recordIsFile =
        !options->recordFile.empty() && options->recordFile.find("://") == std::string::npos;
    station.traceFolder = !options->trace.empty() ? options->trace
                          : recordIsFile          ? options->recordFile + "-traces"
                                                  : "";
    if (!station.traceFolder.empty() && !NamesFolder(station.traceFolder)) {
        station.traceFolder += '/';
    }
    if (format) {
        station.record = std::make_unique<RecordFile>(options->recordFile, *format);
        if (!station.record->CanAppend(error)) {
            std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
            return kExitRefused;
        }
    }
    if (database && !OpenStationStore(options->recordFile, station.store)) {
        return kExitRefused;
    }
    PortEvents portEvents;

    bool interrupted = false;
    std::atomic<std::size_t> ended{0};
    auto nextPush = std::chrono::steady_clock::now() + kPushPause;
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
            for (auto& figure : station.FigureLines()) {
                lines.push_back(std::move(figure));
            }
            live.Draw(lines);
        };
        const auto showIfAsked = [&] {
            if (drawBoard) {
                show();
            } else {
                for (const auto& line : station.board.TakeAnnouncements()) {
                    std::printf("%s\n", EscapeControls(line).c_str());
                    std::fflush(stdout);
                }
            }
        };
        while (ended.load() < n) {
            if (!interrupted && InterruptGuard::Requested()) {
                interrupted = true;
                if (station.json) {
                    PrintEvent(stdout, StoppingEvent(InterruptGuard::Notice()));
                }
                station.StopAll();
            }
            showIfAsked();
            portEvents.Wait(station.portChanges);
            if (station.store && station.store->Waiting() > 0 &&
                std::chrono::steady_clock::now() >= nextPush) {
                // The server may be back: what waits goes out without waiting for a device.
                std::string ignored;
                station.store->Push(ignored);
                nextPush = std::chrono::steady_clock::now() + kPushPause;
            }
        }
        showIfAsked();
    }
    if (station.store && station.store->Waiting() > 0) {
        std::string why;
        if (!station.store->Push(why)) {
            const std::string text = "velor-flash: " + std::to_string(station.store->Waiting()) +
                                     " records wait in the spool (" + why +
                                     "); the next station run for this server or 'velor-flash "
                                     "records push' sends them";
            if (station.json) {
                JsonEvent event("error");
                PrintEvent(stdout, event.Add("text", text));
            } else {
                std::fprintf(stderr, "%s\n", text.c_str());
            }
        }
    }
    Tally total;
    int code = interrupted ? kExitStopped : kExitDone;
    for (std::size_t i = 0; i < n; ++i) {
        if (!station.json) {
            std::printf("%s%s\n", station.Head(i).c_str(), station.tallies[i].Text().c_str());
        }
        total.Add(station.tallies[i]);
        code = WorseExitCode(code, station.codes[i]);
    }
    for (const auto& [slot, lost] : station.lostRecords) {
        if (station.json) {
            station.Tell(slot, lost);
        } else {
            std::fprintf(stderr, "%s\n", lost.c_str());
        }
        code = WorseExitCode(code, kExitRefused);
    }
    // The log was asked for: a run that could not keep it did not do all it was told.
    if (code == kExitDone && output.log && output.log->Incomplete()) {
        code = kExitRefused;
    }
    if (station.json) {
        JsonEvent figures = station.FiguresEvent();
        PrintEvent(stdout, figures.Add("exit_code", code));
    } else {
        std::printf("total  %s\n", total.Text().c_str());
    }
    std::fflush(stdout);
    return code;
}

}  // namespace velor::cli
