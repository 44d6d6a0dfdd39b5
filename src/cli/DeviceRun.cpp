#include "cli/DeviceRun.h"

#include <chrono>

#include "app/MainWindowModel.h"
#include "cli/OutcomeCodes.h"
#include "cli/SessionHost.h"
#include "cli/SystemErrors.h"
#include "protocol/PortSetup.h"
#include "serial/EComPort.h"
#include "serial/MainThreadQueue.h"
#include "serial/TBComPort.h"

namespace velor::cli {

namespace {

// Everything one operation on one port works on, created on the thread that runs it, so that its
// port's event thread hands over to this thread and to no other.
struct SessionObjects {
    explicit SessionObjects(const PortJob& job) : image(job.image) {
        form.cbPort.Items = {job.port};
        form.cbPort.ItemIndex = 0;
        form.cbBaudRate.Items = BaudRateItems();
        form.cbBaudRate.ItemIndex = job.baudIndex;
        dispatcher.SetErrorReport([this](const std::string& m) { host.ShowError(m); });
        port.SetDispatcher(dispatcher);
        ApplyFormSettings(port);
        const std::atomic<bool>* stop = job.stop;
        session.SetStopRequest([stop] { return stop->load(); });
    }

    MainWindowModel form;
    SessionHost host;
    std::shared_ptr<const FirmwareImage> image;
    TMainThreadQueue dispatcher;
    TBComPort port;  // after the queue: closed (its event thread ended) before the queue goes
    DeviceSession session{form, host, port, image};
};

std::string CalibrationOf(const FlashState& s) {
    return std::to_string(s.EraseDelay) + "." + std::to_string(s.WriteDelay) + "." +
           std::to_string(s.ProgramDelay);
}

DeviceProgress ProgressOf(const SessionObjects& o) {
    DeviceProgress p;
    p.writing = o.form.Activity == DeviceActivity::Writing;
    p.page = o.form.ProgressbarReadWrite.Progress();
    p.pages = o.form.ProgressbarReadWrite.MaxValue();
    p.percent = p.pages > 0 ? static_cast<int>(p.page * 100 / p.pages) : 0;
    p.calibration = CalibrationOf(o.session.LastFlash());
    p.failedAttempts = o.session.LastFlash().FailedAttempts;
    return p;
}

// The message that tells how the operation ended: the first one shown (its first line for a
// success or a failure, whose further lines are the standing advice), or the error.
std::string MessageOf(const SessionHost& host, SessionOutcome outcome) {
    if (!host.Errors().empty()) {
        return OneLine(host.Errors().front());
    }
    if (host.Messages().empty()) {
        return "";
    }
    const std::string& text = host.Messages().front();
    if (outcome == SessionOutcome::Done || outcome == SessionOutcome::Failed) {
        std::size_t begin = 0;
        while (begin < text.size()) {
            const std::size_t end = std::min(text.find('\n', begin), text.size());
            std::string line = OneLine(text.substr(begin, end - begin));
            if (!line.empty()) {
                return line;
            }
            begin = end + 1;
        }
    }
    return OneLine(text);
}

}  // namespace

const char* OutcomeWord(const DeviceReport& report) {
    switch (report.outcome) {
        case SessionOutcome::Done:
            return "done";
        case SessionOutcome::Refused:
            return "refused";
        case SessionOutcome::Stopped:
            return "stopped";
        case SessionOutcome::Failed:
        case SessionOutcome::None:
            return "failed";
    }
    return "failed";
}

DeviceReport WriteDevice(const PortJob& job,
                         const std::function<void(const DeviceProgress&)>& onProgress) {
    const auto start = std::chrono::steady_clock::now();
    DeviceReport report;
    report.port = job.port;
    try {
        SessionObjects o(job);
        o.host.SetTurnHandler([&o, &onProgress] {
            o.dispatcher.ServePending();
            if (onProgress) {
                onProgress(ProgressOf(o));
            }
        });
        report.exitCode = ExitCodeOfErrors(o.host, [&o] {
            o.session.ButtonWriteClick();
            return ExitCodeOf(o.session.LastOutcome());
        });
        report.outcome = o.session.LastOutcome();
        report.message = MessageOf(o.host, report.outcome);
        report.failedAttempts = o.session.LastFlash().FailedAttempts;
        report.calibration = CalibrationOf(o.session.LastFlash());
        o.host.SetTurnHandler(nullptr);
    } catch (const std::exception& e) {
        // Closing a port that vanished under it may raise as well; the device is accounted for.
        report.outcome = SessionOutcome::None;
        report.exitCode = dynamic_cast<const EComPort*>(&e) ? kExitPortError : kExitRefused;
        if (report.message.empty()) {
            report.message = OneLine(e.what());
        }
    }
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

Presence ProbeDevice(const PortJob& job) {
    Presence presence;
    try {
        SessionObjects o(job);
        o.host.SetTurnHandler([&o] { o.dispatcher.ServePending(); });
        o.session.ButtonConectClick();
        if (o.session.LastOutcome() == SessionOutcome::Done) {
            presence.present = true;
            presence.description = OneLine(o.form.MemoAbout.Text());
        } else {
            // A bootloader of unknown version answered and left the port open; one that never
            // answered closed it.
            presence.present =
                o.session.LastOutcome() == SessionOutcome::Refused && o.port.Opened();
        }
        o.host.SetTurnHandler(nullptr);
    } catch (const std::exception&) {
        presence.present = false;
    }
    return presence;
}

}  // namespace velor::cli
