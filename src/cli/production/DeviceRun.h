#pragma once
// One device on one port, run on the calling thread with objects of its own: the window model,
// a quiet host, the port with its own hand-over queue, the session and its stop request. Several
// threads run these side by side; they share only the read-only image.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/MainWindowModel.h"
#include "cli/output/AttemptLog.h"
#include "cli/output/Reporter.h"
#include "cli/output/WriteProgress.h"
#include "firmware/FirmwareImage.h"
#include "protocol/DeviceSession.h"
#include "protocol/SessionEvents.h"

namespace velor::cli {

// What a device of several prints and logs besides its report: its --json events (with its port
// and slot) or nothing, and its lines of the shared attempt log.
struct DeviceOutput {
    OutputMode mode = OutputMode::Silent;  // Json or Silent
    std::string baud;
    std::string firmware;                 // "embedded release" or the --hex file
    std::shared_ptr<AttemptLogFile> log;  // null: no log
};

struct PortJob {
    std::string port;
    int baudIndex = kDefaultBaudIndex;
    std::shared_ptr<const FirmwareImage> image;
    const std::atomic<bool>* stop = nullptr;  // the session's stop request; never null
    std::string trace;  // a write's trace: a folder or a name with {port}; empty: none
    const DeviceOutput* output = nullptr;  // a write's events and log; null: none
    std::string slot;                      // the station's slot name; empty: none
};

// Where a write stands, published at every event turn of its session.
struct DeviceProgress {
    bool writing = false;  // false: identifying
    WriteProgress write;
};

struct DeviceReport {
    std::string port;
    SessionOutcome outcome = SessionOutcome::None;  // None with an error: a port or other error
    int exitCode = 0;
    std::string message;  // the system's message, on one line
    double seconds = 0;
    int64_t failedAttempts = 0;
    std::string calibration = "0.0.0";
    std::string traceFile;         // the write's trace; empty: none
    std::string traceProblem;      // why the trace is not whole; empty when it is
    std::string reason = "error";  // the session end's reason word (OutcomeReasonName)
    int messageNumber = 0;         // the port error's message number; 0 for none
};

// The word of the final table and the record for a report: OutcomeName's.
const char* OutcomeWord(const DeviceReport& report);

// Listens to one device's write for its report: the progress, the calibration and the message
// that tells how it ended (the first error shown, else the outcome's headline).
class DeviceReportListener : public ISessionEvents {
  public:
    void OnStarted(const OperationStarted& e) override { m_follow.OnStarted(e); }
    void OnProgress(const WriteProgressEvent& e) override { m_follow.OnProgress(e); }
    void OnCalibration(const CalibrationChanged& e) override { m_follow.OnCalibration(e); }
    void OnPortErrorReport(const std::string& text) override;
    void OnEnded(const OperationEnded& e) override;

    DeviceProgress Progress() const { return {m_follow.Writing(), m_follow.Progress()}; }
    // Fills the message, failed attempts and calibration of report.
    void Fill(DeviceReport& report) const;

  private:
    WriteFollower m_follow;
    std::string m_firstError;
};

// Identifies and writes the device; never throws.
DeviceReport WriteDevice(const PortJob& job,
                         const std::function<void(const DeviceProgress&)>& onProgress);

// What answers on a port now: nothing (the port does not open, or no device identifies), or a
// device with its description (empty when it has none).
struct Presence {
    bool present = false;
    std::string description;
};
Presence ProbeDevice(const PortJob& job);

}  // namespace velor::cli
