// velor-flash detect, write and reset: the window's device operations from a terminal.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Conversions.h"
#include "app/MainWindowModel.h"
#include "app/TimerPrecision.h"
#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/DeviceOptions.h"
#include "cli/commands/FirmwareLoad.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/commands/PortHints.h"
#include "cli/commands/PortMatch.h"
#include "cli/commands/SystemErrors.h"
#include "cli/commands/TraceOption.h"
#include "cli/output/Reporter.h"
#include "cli/output/TerminalHost.h"
#include "cli/output/TerminalInfo.h"
#include "cli/platform/Interrupts.h"
#include "cli/platform/PortTexts.h"
#include "cli/text/Translate.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/FirmwareImage.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"
#include "protocol/DeviceSession.h"
#include "protocol/PortSession.h"
#include "serial/EComPort.h"
#include "serial/ListSerialPorts.h"
#include "serial/PortDescription.h"
#include "serial/PortHolders.h"
#include "skin/TsGauge.h"

namespace velor::cli {

namespace {

enum class Operation { Detect, Write, Reset };

const char* CommandName(Operation op) {
    switch (op) {
        case Operation::Detect:
            return "detect";
        case Operation::Write:
            return "write";
        case Operation::Reset:
            return "reset";
    }
    return "";
}

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ReporterSettings SettingsFor(Operation op, const DeviceOptions& options) {
    ReporterSettings settings;
    settings.Mode = options.json    ? OutputMode::Json
                    : options.quiet ? OutputMode::Quiet
                                    : OutputMode::Human;
    settings.Terminal = settings.Mode == OutputMode::Human && IsInteractiveTerminal(stderr);
    settings.Colour = settings.Terminal && !NoColorRequested(std::getenv("NO_COLOR"));
    settings.Width = TerminalWidth(stderr);
    settings.Command = CommandName(op);
    settings.Port = options.port;
    settings.Baud = BaudRateItems()[options.baudIndex];
    settings.Firmware = options.hexFile.empty() ? "embedded release" : options.hexFile;
    return settings;
}

// A busy port names what holds it; one refused for want of permission says so before the
// message that calls it busy; a missing one is answered with the ports there are.
PortErrorLines PortErrorHint(const std::string& port, const EComPort& e) {
    switch (PortErrorReason(e)) {
        case OutcomeReason::PortMissing: {
            std::vector<std::string> present;
            try {
                ListSerialPorts(present);
            } catch (const EComPort&) {
                present.clear();  // none can be listed: none present
            }
            return {{}, MissingPortLine(port, MissingPortHint(present))};
        }
        case OutcomeReason::NotASerialPort:
            return {{}, NotASerialPortHint(port)};
        case OutcomeReason::Permission:
            return {NoPermissionLine(port), {}};
        case OutcomeReason::PortBusy:
            return {{}, BusyPortHint(port, FindPortHolders(port))};
        default:
            return {};
    }
}

int Run(Operation op, const Args& args) {
    std::string error;
    const auto options = ParseDeviceOptions(CommandName(op), args, error);
    if (!options) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help || options->version) {
        PrintHelpOrVersion(options->help, DeviceHelp(CommandName(op)));
        return kExitDone;
    }

    const TimerPrecision timers;
    MainWindowModel form;
    Reporter reporter(SettingsFor(op, *options), stdout, stderr, SteadySeconds);
    if (!options->logFile.empty() && !reporter.OpenLog(options->logFile, error)) {
        std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
        return kExitRefused;
    }
    reporter.Start();
    const auto portName = PortToOpen(options->port, error);
    if (!portName) {
        reporter.Error("velor-flash: " + error);
        reporter.NoteReason(OutcomeReason::PortMissing);
        reporter.Finish(SessionOutcome::None, kExitPortError);
        return kExitPortError;
    }
    ChoosePort(form, *portName, options->baudIndex);
    TerminalHost host(&form);
    host.SetOutput(&reporter);
    auto image = std::make_shared<const FirmwareImage>();
    SessionOutcome outcome = SessionOutcome::None;
    // Outlives the port it listens to.
    const std::unique_ptr<TraceRecorder> recorder =
        MakeTraceRecorder(options->traceFile, *portName, &image);

    const auto portHint = [&](const EComPort& e) { return PortErrorHint(*portName, e); };
    const int code = ExitCodeOfErrors(host, portHint, [&] {
        PortSession portSession(form, host, image);
        DeviceSession& session = portSession.Session();
        const ListenScope listening(portSession.Events(), reporter);
        std::optional<TraceScope> tracing;
        if (recorder) {
            tracing.emplace(portSession, *recorder);
        }
        // The port's event thread hands its notifications over at every turn of the host.
        const TerminalHost::TurnHooks hooks(host, [&portSession] { portSession.ServePending(); });
        // Told in the events the moment the session heeds it, before what the device then holds.
        session.SetStopRequest([&reporter] {
            if (!InterruptGuard::Requested()) {
                return false;
            }
            reporter.NoteStopRequest(InterruptGuard::Notice());
            return true;
        });
        switch (op) {
            case Operation::Detect:
                session.ButtonConectClick();
                break;
            case Operation::Write:
                // Until the session ends with its own reason, a run that ends is the file's fault.
                reporter.NoteReason(OutcomeReason::BadFirmware);
                if (!LoadFirmware(options->hexFile, form, host, image)) {
                    outcome = SessionOutcome::Refused;
                    return static_cast<int>(kExitRefused);
                }
                session.ButtonWriteClick();
                break;
            case Operation::Reset:
                session.ResetKey();
                // The message is the window's, whether or not anything answered.
                if (session.LastOutcome() == SessionOutcome::Done) {
                    reporter.Message(Tr("The device answered the reset."));
                } else if (session.LastOutcome() == SessionOutcome::Refused) {
                    reporter.Error(*portName + Tr(": nothing answered the reset (no device, or "
                                                  "one that is off or not connected)."));
                }
                break;
        }
        outcome = session.LastOutcome();
        reporter.NoteWriteEnd(session.LastFlash().LeftAtReset,
                              session.LastFlash().Replies.MedianMs());
        return ExitCodeOf(outcome);
    });
    if (InterruptGuard::Requested()) {
        reporter.NoteStopRequest(InterruptGuard::Notice());
    }
    reporter.Finish(outcome, code);
    if (recorder) {
        TellTrace(recorder->LastTrace(), !options->quiet && !options->json, stderr);
    }
    // The log was asked for: a run that could not keep it did not do all it was told.
    return code == kExitDone && reporter.LogIncomplete() ? kExitRefused : code;
}

}  // namespace

int RunDetect(const Args& args) {
    return Run(Operation::Detect, args);
}
int RunWrite(const Args& args) {
    return Run(Operation::Write, args);
}
int RunReset(const Args& args) {
    return Run(Operation::Reset, args);
}

}  // namespace velor::cli
