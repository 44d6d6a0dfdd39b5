#include "cli/output/Reporter.h"

#include "cli/output/LatencyHint.h"

#include <ctime>

#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/output/ControlEscapes.h"
#include "cli/output/JsonEvents.h"
#include "cli/output/Summary.h"
#include "cli/output/TerminalSteps.h"
#include "cli/platform/RegionalTime.h"

namespace velor::cli {

namespace {

std::string WallClock() {
    const std::tm local = LocalNow();
    char buffer[32];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buffer, n);
}

// The message box centres its lines with leading spaces; a terminal's lines start at the left.
std::string WithoutLeadingSpaces(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && c == ' ') {
            continue;
        }
        lineStart = c == '\n';
        out += c;
    }
    return out;
}

}  // namespace

Reporter::Reporter(ReporterSettings settings, std::FILE* out, std::FILE* err,
                   std::function<double()> clock)
    : m_settings(std::move(settings)), m_out(out), m_err(err), m_clock(std::move(clock)) {}

Reporter::~Reporter() {
    ClearLine();
}

bool Reporter::OpenLog(const std::string& path, std::string& error) {
    m_log = AttemptLogFile::Open(path, error);
    return m_log != nullptr;
}

void Reporter::Print(JsonEvent& event) const {
    if (m_settings.SeveralDevices) {
        if (!event.Has("port")) {
            event.Add("port", m_settings.Port);
        }
        if (!m_settings.Slot.empty()) {
            event.Add("slot", m_settings.Slot);
        }
    }
    PrintEvent(m_out, event);
}

void Reporter::LogLine(const std::string& text) {
    if (m_log) {
        m_log->Line(m_settings.SeveralDevices ? EscapeControls(m_settings.Port) + "\t" + text
                                              : text);
    }
}

void Reporter::Start() {
    m_started = m_clock();
    if (m_settings.Mode == OutputMode::Json) {
        JsonEvent event("start");
        event.Add("command", m_settings.Command)
            .Add("port", m_settings.Port)
            .Add("baud", static_cast<int64_t>(std::stoll(m_settings.Baud)));
        if (m_settings.Command == "write") {
            event.Add("firmware", m_settings.Firmware);
        }
        event.Add("version", VersionLine());
        Print(event);
    }
    std::string header = "# velor-flash " + m_settings.Command + " --port " + m_settings.Port +
                         " --baud " + m_settings.Baud;
    if (m_settings.Command == "write") {
        header += ", firmware " + m_settings.Firmware;
    }
    if (!m_settings.Slot.empty()) {
        header += ", slot " + m_settings.Slot;
    }
    LogLine(header + ", " + WallClock());
}

void Reporter::NoteStopRequest(const std::string& notice) {
    if (m_stopNoted || m_settings.Mode != OutputMode::Json) {
        return;
    }
    m_stopNoted = true;
    JsonEvent event = StoppingEvent(notice);
    Print(event);
}

void Reporter::OnProgress(const WriteProgressEvent& e) {
    if (!m_writingSince) {
        m_writingSince = m_clock();
    }
    m_follow.OnProgress(e);
}

void Reporter::OnAttempt(const FlashAttemptEvent& e) {
    LogLine(AttemptLogLine(e));
}

void Reporter::ClearLine() {
    if (m_lineShown) {
        std::fputs(kRewriteLine, m_err);
        std::fflush(m_err);
        m_lineShown = false;
        m_shownLine.clear();
    }
}

std::string Reporter::ForTerminal(const std::string& message) const {
    return WithTerminalSteps(WithoutLeadingSpaces(message), m_settings.Port);
}

void Reporter::Message(const std::string& text) {
    switch (m_settings.Mode) {
        case OutputMode::Human:
            ClearLine();
            std::fprintf(m_out, "%s\n", EscapeControls(ForTerminal(text)).c_str());
            std::fflush(m_out);
            break;
        case OutputMode::Quiet:
            m_quietMessages.push_back(EscapeControls(ForTerminal(text)));
            break;
        case OutputMode::Json: {
            JsonEvent event("message");
            Print(event.Add("text", text));
            break;
        }
        case OutputMode::Silent:
            break;
    }
}

void Reporter::Error(const std::string& text) {
    if (m_settings.Mode == OutputMode::Json) {
        JsonEvent event("error");
        Print(event.Add("text", text));
        return;
    }
    if (m_settings.Mode == OutputMode::Silent) {
        return;
    }
    ClearLine();
    std::fprintf(m_err, "%s\n", EscapeControls(text).c_str());
    std::fflush(m_err);
}

ProgressTimes Reporter::Times(const WriteProgress& progress) const {
    const double now = m_clock();
    ProgressTimes times;
    times.Elapsed = now - m_started;
    times.Remaining = EstimateRemaining(progress, m_writingSince ? now - *m_writingSince : 0);
    return times;
}

void Reporter::Turn() {
    if (m_settings.Mode == OutputMode::Quiet || m_settings.Mode == OutputMode::Silent ||
        !m_follow.Running()) {
        return;
    }
    if (m_follow.Writing()) {
        ShowProgress();
    } else if (m_follow.Operation() != SessionOperation::Reset &&
               m_settings.Mode == OutputMode::Human && m_settings.Terminal) {
        Redraw(FormatIdentifyingLine(m_settings.Port, m_clock() - m_started));
    }
}

void Reporter::Redraw(const std::string& line) {
    if (!m_redraw.Due(m_clock()) || line == m_shownLine) {
        return;
    }
    std::fprintf(m_err, "%s%s", kRewriteLine, line.c_str());
    std::fflush(m_err);
    m_shownLine = line;
    m_lineShown = true;
}

void Reporter::ShowProgress() {
    const WriteProgress p = m_follow.Progress();
    const double now = m_clock();
    switch (m_settings.Mode) {
        case OutputMode::Human:
            if (m_settings.Terminal) {
                Redraw(FormatProgressLine(p, Times(p), m_settings.Width - 1, m_settings.Colour));
            } else if (m_plain.Due(now)) {
                std::fprintf(m_err, "%s\n", FormatPlainProgress(p, Times(p)).c_str());
                std::fflush(m_err);
            }
            break;
        case OutputMode::Json: {
            // A new page or a new failure at once, otherwise a beat a second.
            const std::string key = std::to_string(p.PagesDone) + "/" + p.Calibration;
            if (key != m_lastJsonKey) {
                m_jsonBeat.Restart(now);
            } else if (!m_jsonBeat.Due(now)) {
                return;
            }
            m_lastJsonKey = key;
            JsonEvent event("progress");
            AddProgress(event, p);
            const ProgressTimes times = Times(p);
            event.AddSeconds("elapsed_s", times.Elapsed).AddSeconds("eta_s", times.Remaining);
            Print(event);
            break;
        }
        case OutputMode::Quiet:
        case OutputMode::Silent:
            break;
    }
}

bool Reporter::WroteSomething(SessionOutcome outcome) const {
    return m_settings.Command == "write" && m_writingSince.has_value() &&
           (outcome == SessionOutcome::Done || outcome == SessionOutcome::Failed ||
            outcome == SessionOutcome::Stopped || outcome == SessionOutcome::None);
}

void Reporter::NoteWriteEnd(bool leftAtReset, std::optional<double> replyLatencyMs) {
    m_leftAtReset = leftAtReset;
    m_replyLatencyMs = replyLatencyMs;
}

std::string Reporter::ReasonWord(int exitCode) const {
    if (m_follow.Ended()) {
        return OutcomeReasonName(m_follow.Ended()->Reason);
    }
    if (m_reason) {
        return OutcomeReasonName(*m_reason);
    }
    return exitCode == kExitStopped ? OutcomeReasonName(OutcomeReason::StopRequest)
                                    : OutcomeReasonName(OutcomeReason::OtherError);
}

void Reporter::Finish(SessionOutcome outcome, int exitCode) {
    ClearLine();
    const double seconds = m_clock() - m_started;
    const bool summarised = WroteSomething(outcome);
    const WriteProgress progress = m_follow.Progress();
    std::string summary = summarised ? FormatSummary(progress, seconds) : std::string();
    if (summarised && m_leftAtReset) {
        summary += "; the device left the line at its reset";
    }
    const std::string hint = summarised ? LatencyHint(m_replyLatencyMs, m_settings.Port) : "";
    const std::string ending = hint.empty() ? summary : summary + "\n" + hint;

    switch (m_settings.Mode) {
        case OutputMode::Human:
            if (summarised) {
                std::fprintf(m_out, "%s\n", ending.c_str());
            }
            break;
        case OutputMode::Quiet:
            // The messages are the result unless a write's summary says it all.
            if (!(summarised && outcome == SessionOutcome::Done)) {
                for (const auto& message : m_quietMessages) {
                    std::fprintf(m_out, "%s\n", message.c_str());
                }
            }
            if (summarised) {
                std::fprintf(m_out, "%s\n", ending.c_str());
            }
            break;
        case OutputMode::Json: {
            JsonEvent event("result");
            event.Add("outcome", OutcomeName(outcome, exitCode))
                .Add("reason", ReasonWord(exitCode))
                .Add("message_number", m_follow.Ended() ? m_follow.Ended()->PortMessage : 0)
                .Add("exit_code", exitCode)
                .Add("version", VersionLine());
            if (m_device && m_settings.Command == "detect") {
                AddDevice(event, *m_device);
            }
            if (m_settings.Command == "write") {
                const WriteProgress reported = summarised ? progress : WriteProgress{};
                event.Add("bytes", reported.Bytes)
                    .Add("pages", reported.PagesDone)
                    .AddSeconds("seconds", seconds)
                    .Add("failed_attempts", reported.FailedAttempts)
                    .Add("calibration", reported.Calibration);
                if (summarised && m_leftAtReset) {
                    event.AddFlag("left_line_at_reset", true);
                }
                if (summarised && m_replyLatencyMs) {
                    event.AddSeconds("reply_latency_ms", m_replyLatencyMs);
                }
                if (!hint.empty()) {
                    event.Add("hint", hint);
                }
            } else {
                event.AddSeconds("seconds", seconds);
            }
            Print(event);
            break;
        }
        case OutputMode::Silent:
            break;
    }
    std::fflush(m_out);
    if (summarised) {
        LogLine("# " + summary);
        if (!hint.empty()) {
            LogLine("# " + hint);
        }
    }
    LogLine(std::string("# result: ") + OutcomeName(outcome, exitCode) + " (" +
            ReasonWord(exitCode) + "), exit " + std::to_string(exitCode));
}

}  // namespace velor::cli
