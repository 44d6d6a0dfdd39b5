#include "cli/production/DeviceRun.h"

#include <chrono>
#include <optional>

#include "app/MainWindowModel.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/commands/SystemErrors.h"
#include "cli/commands/TraceOption.h"
#include "cli/production/SessionHost.h"
#include "protocol/PortSession.h"
#include "serial/EComPort.h"

namespace velor::cli {

namespace {

// Everything one operation on one port works on, created on the thread that runs it, so that its
// port's event thread hands over to this thread and to no other.
struct SessionObjects {
    explicit SessionObjects(const PortJob& job) : image(job.image) {
        ChoosePort(form, job.port, job.baudIndex);
        const std::atomic<bool>* stop = job.stop;
        port.Session().SetStopRequest([stop] { return stop->load(); });
    }

    MainWindowModel form;
    SessionHost host;
    std::shared_ptr<const FirmwareImage> image;
    PortSession port{form, host, image};
};

// The device's own events and log lines, when asked for.
std::unique_ptr<Reporter> DeviceReporter(const PortJob& job) {
    if (job.output == nullptr) {
        return nullptr;
    }
    ReporterSettings settings;
    settings.Mode = job.output->mode;
    settings.Command = "write";
    settings.Port = job.port;
    settings.Baud = job.output->baud;
    settings.Firmware = job.output->firmware;
    settings.SeveralDevices = true;
    settings.Slot = job.slot;
    auto reporter = std::make_unique<Reporter>(settings, stdout, stderr, [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    });
    reporter->ShareLog(job.output->log);
    return reporter;
}

}  // namespace

void DeviceReportListener::OnPortErrorReport(const std::string& text) {
    if (m_firstError.empty()) {
        m_firstError = text;
    }
}

void DeviceReportListener::OnEnded(const OperationEnded& e) {
    m_follow.OnEnded(e);
    if (m_firstError.empty() &&
        (e.Kind == OutcomeKind::PortError || e.Kind == OutcomeKind::Error)) {
        m_firstError = e.Message;
    }
}

void DeviceReportListener::Fill(DeviceReport& report) const {
    const WriteProgress progress = m_follow.Progress();
    report.failedAttempts = progress.FailedAttempts;
    report.calibration = progress.Calibration;
    if (const auto& end = m_follow.Ended()) {
        report.reason = OutcomeReasonName(end->Reason);
        report.messageNumber = end->PortMessage;
    }
    if (!m_firstError.empty()) {
        report.message = OneLine(m_firstError);
    } else if (m_follow.Ended()) {
        report.message = OneLine(m_follow.Ended()->Headline);
    }
}

const char* OutcomeWord(const DeviceReport& report) {
    return OutcomeName(report.outcome, report.exitCode);
}

DeviceReport WriteDevice(const PortJob& job,
                         const std::function<void(const DeviceProgress&)>& onProgress) {
    const auto start = std::chrono::steady_clock::now();
    DeviceReport report;
    report.port = job.port;
    DeviceReportListener listener;
    // Both outlive the port they listen to.
    const std::unique_ptr<TraceRecorder> recorder =
        MakeTraceRecorder(job.trace, job.port, &job.image);
    const std::unique_ptr<Reporter> reporter = DeviceReporter(job);
    if (reporter) {
        reporter->Start();
    }
    try {
        SessionObjects o(job);
        const ListenScope listening(o.port.Events(), listener);
        std::optional<ListenScope> reporting;
        if (reporter) {
            reporting.emplace(o.port.Events(), *reporter);
            o.host.SetOutput(reporter.get());
        }
        std::optional<TraceScope> tracing;
        if (recorder) {
            tracing.emplace(o.port, *recorder);
        }
        o.host.SetTurnHandler([&o, &onProgress, &listener] {
            o.port.ServePending();
            if (onProgress) {
                onProgress(listener.Progress());
            }
        });
        report.exitCode = ExitCodeOfErrors(o.host, [&o] {
            o.port.Session().ButtonWriteClick();
            return ExitCodeOf(o.port.Session().LastOutcome());
        });
        report.outcome = o.port.Session().LastOutcome();
        listener.Fill(report);
        if (reporter) {
            const auto& flash = o.port.Session().LastFlash();
            reporter->NoteWriteEnd(flash.LeftAtReset, flash.Replies.MedianMs());
        }
        o.host.SetTurnHandler(nullptr);
        o.host.SetOutput(nullptr);
    } catch (const std::exception& e) {
        // Closing a port that vanished under it may raise as well; the device is accounted for.
        report.outcome = SessionOutcome::None;
        report.exitCode = dynamic_cast<const EComPort*>(&e) ? kExitPortError : kExitRefused;
        if (report.message.empty()) {
            report.message = OneLine(e.what());
            if (reporter) {
                reporter->Error(e.what());
            }
        }
    }
    if (reporter) {
        reporter->Finish(report.outcome, report.exitCode);
    }
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (recorder) {
        const TraceResult trace = recorder->LastTrace();
        report.traceFile = trace.path;
        report.traceProblem = trace.whole ? "" : trace.problem;
    }
    return report;
}

Presence ProbeDevice(const PortJob& job) {
    struct Description : ISessionEvents {
        void OnIdentified(const DeviceIdentified& e) override { text = e.Description; }
        std::string text;
    } described;
    Presence presence;
    try {
        SessionObjects o(job);
        const ListenScope listening(o.port.Events(), described);
        o.host.SetTurnHandler([&o] { o.port.ServePending(); });
        o.port.Session().ButtonConectClick();
        if (o.port.Session().LastOutcome() == SessionOutcome::Done) {
            presence.present = true;
            presence.description = OneLine(described.text);
        } else {
            // A bootloader of unknown version answered and left the port open; one that never
            // answered closed it.
            presence.present =
                o.port.Session().LastOutcome() == SessionOutcome::Refused && o.port.Port().Opened();
        }
        o.host.SetTurnHandler(nullptr);
    } catch (const std::exception&) {
        presence.present = false;
    }
    return presence;
}

}  // namespace velor::cli
