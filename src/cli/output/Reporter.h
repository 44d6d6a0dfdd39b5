#pragma once
// What velor-flash prints while a device operation runs and when it ends, in one of its three
// manners: for a person (progress line or plain lines, messages, summary), quiet (errors and the
// result), or JSON Lines. Also keeps the attempt log file. It listens to the session's events for
// every figure, and draws at the host's event turns.

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/output/AttemptLog.h"
#include "cli/output/JsonEvents.h"
#include "cli/output/ProgressLine.h"
#include "cli/output/TerminalOutput.h"
#include "cli/output/WriteProgress.h"
#include "protocol/DeviceSession.h"
#include "protocol/SessionEvents.h"

namespace velor::cli {

// Silent: nothing printed (a gang's table or a station's board speaks for the device); the log
// is kept all the same.
enum class OutputMode { Human, Quiet, Json, Silent };

struct ReporterSettings {
    OutputMode Mode = OutputMode::Human;
    bool Terminal = false;  // err is an interactive terminal: a line redrawn in place
    bool Colour = false;
    int Width = 80;
    std::string Command;  // detect, write, reset
    std::string Port;
    std::string Baud;
    std::string Firmware;  // what a write writes: a file name or "embedded release"
    // Several devices share stdout and the log: every event names the port (and the slot, when
    // there is one), every log line begins with the port and a tab.
    bool SeveralDevices = false;
    std::string Slot;
};

class Reporter : public ITerminalOutput, public ISessionEvents {
  public:
    // out: messages, the summary and the JSON events; err: errors and progress. clock: seconds
    // of a steady clock.
    Reporter(ReporterSettings settings, std::FILE* out, std::FILE* err,
             std::function<double()> clock);
    ~Reporter() override;
    Reporter(const Reporter&) = delete;
    Reporter& operator=(const Reporter&) = delete;

    // Appends the attempt log to path from Start on; false (and error) when it cannot be opened.
    bool OpenLog(const std::string& path, std::string& error);
    // Appends the attempt log to a log that other devices' reporters share.
    void ShareLog(std::shared_ptr<AttemptLogFile> log) { m_log = std::move(log); }
    // Whether a line of the attempt log could not be written.
    bool LogIncomplete() const { return m_log && m_log->Incomplete(); }
    void Start();

    void OnStarted(const OperationStarted& e) override { m_follow.OnStarted(e); }
    void OnProgress(const WriteProgressEvent& e) override;
    void OnCalibration(const CalibrationChanged& e) override { m_follow.OnCalibration(e); }
    void OnAttempt(const FlashAttemptEvent& e) override;
    void OnEnded(const OperationEnded& e) override { m_follow.OnEnded(e); }
    void OnIdentified(const DeviceIdentified& e) override { m_device = e; }

    void Message(const std::string& text) override;
    void Error(const std::string& text) override;
    void Turn() override;

    // What the write's end learnt of the device and its line, for the summary and the result.
    void NoteWriteEnd(bool leftAtReset, std::optional<double> replyLatencyMs);

    // Why a run ended that ended before its session did (no port, refused firmware).
    void NoteReason(OutcomeReason reason) { m_reason = reason; }

    // A stop was asked for (Ctrl+C): a --json run says so in a "stopping" event, once.
    void NoteStopRequest(const std::string& notice);

    // The operation's end: summary, result event, log footer.
    void Finish(SessionOutcome outcome, int exitCode);

  private:
    void Print(JsonEvent& event) const;
    void LogLine(const std::string& text);
    void ClearLine();
    // A message as a person reads it on the terminal.
    std::string ForTerminal(const std::string& message) const;
    void ShowProgress();
    // The terminal's line, at most ten times a second and only when it changed.
    void Redraw(const std::string& line);
    ProgressTimes Times(const WriteProgress& progress) const;
    bool WroteSomething(SessionOutcome outcome) const;
    // The reason's word: the session's end, else the one noted, else by the exit code.
    std::string ReasonWord(int exitCode) const;

    ReporterSettings m_settings;
    std::FILE* m_out;
    std::FILE* m_err;
    std::function<double()> m_clock;

    double m_started = 0;
    std::optional<double> m_writingSince;
    WriteFollower m_follow;
    bool m_lineShown = false;
    std::string m_shownLine;
    ProgressThrottle m_redraw{0.1};
    ProgressThrottle m_plain{1.0};
    ProgressThrottle m_jsonBeat{1.0};
    std::string m_lastJsonKey;
    std::vector<std::string> m_quietMessages;
    bool m_leftAtReset = false;
    std::optional<double> m_replyLatencyMs;
    std::optional<OutcomeReason> m_reason;
    std::optional<DeviceIdentified> m_device;
    bool m_stopNoted = false;

    std::shared_ptr<AttemptLogFile> m_log;
};

}  // namespace velor::cli
