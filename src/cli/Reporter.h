#pragma once
// What velor-flash prints while a device operation runs and when it ends, in one of its three
// manners: for a person (progress line or plain lines, messages, summary), quiet (errors and the
// result), or JSON Lines. Also keeps the attempt log file.

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainWindowModel.h"
#include "cli/AttemptLog.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalOutput.h"
#include "cli/WriteProgress.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceSession.h"

namespace velor::cli {

enum class OutputMode { Human, Quiet, Json };

struct ReporterSettings {
    OutputMode Mode = OutputMode::Human;
    bool Terminal = false;  // err is an interactive terminal: a line redrawn in place
    bool Colour = false;
    int Width = 80;
    std::string Command;  // detect, write, reset
    std::string Port;
    std::string Baud;
    std::string Firmware;  // what a write writes: a file name or "embedded release"
};

class Reporter : public ITerminalOutput {
  public:
    // out: messages, the summary and the JSON events; err: errors and progress. clock: seconds
    // of a steady clock.
    Reporter(const MainWindowModel& form, ReporterSettings settings, std::FILE* out, std::FILE* err,
             std::function<double()> clock);
    ~Reporter() override;
    Reporter(const Reporter&) = delete;
    Reporter& operator=(const Reporter&) = delete;

    // Appends the attempt log to path from Start on; false (and error) when it cannot be opened.
    bool OpenLog(const std::string& path, std::string& error);
    void Start();
    // The device the running operation identifies; null when it goes (its last state is kept).
    void Follow(const DeviceInfo* info);

    void Message(const std::string& text) override;
    void Error(const std::string& text) override;
    void Turn() override;

    // What the write's end learnt of the device and its line, for the summary and the result.
    void NoteWriteEnd(bool leftAtReset, std::optional<double> replyLatencyMs);

    // The operation's end: summary, result event, log footer.
    void Finish(SessionOutcome outcome, int exitCode);

  private:
    void ClearLine();
    void Observe();
    void ShowProgress();
    // The terminal's line, at most ten times a second and only when it changed.
    void Redraw(const std::string& line);
    WriteProgress Progress() const;
    ProgressTimes Times(const WriteProgress& progress) const;
    bool WroteSomething(SessionOutcome outcome) const;

    const MainWindowModel& m_form;
    ReporterSettings m_settings;
    std::FILE* m_out;
    std::FILE* m_err;
    std::function<double()> m_clock;

    double m_started = 0;
    std::optional<double> m_writingSince;
    const DeviceInfo* m_info = nullptr;
    DeviceInfo m_lastInfo;
    WriteProgress m_lastProgress;
    bool m_lineShown = false;
    std::string m_shownLine;
    ProgressThrottle m_redraw{0.1};
    ProgressThrottle m_plain{1.0};
    ProgressThrottle m_jsonBeat{1.0};
    std::string m_lastJsonKey;
    std::vector<std::string> m_quietMessages;
    bool m_leftAtReset = false;
    std::optional<double> m_replyLatencyMs;

    std::unique_ptr<AttemptLogFile> m_log;
    AttemptLines m_attempts;
};

// Lets the reporter follow a session's device for a scope.
class FollowDevice {
  public:
    FollowDevice(Reporter& reporter, const DeviceInfo& info) : m_reporter(reporter) {
        m_reporter.Follow(&info);
    }
    ~FollowDevice() { m_reporter.Follow(nullptr); }
    FollowDevice(const FollowDevice&) = delete;
    FollowDevice& operator=(const FollowDevice&) = delete;

  private:
    Reporter& m_reporter;
};

// "done", "refused", "failed", "stopped", "port-error" or "error": the result event's outcome.
const char* OutcomeName(SessionOutcome outcome, int exitCode);

}  // namespace velor::cli
