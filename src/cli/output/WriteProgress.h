#pragma once
// Where a write stands, as its session's events tell it: what the progress line, the JSON events,
// the summary, the gang lines and the station records report.

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/SessionEvents.h"

namespace velor::cli {

struct WriteProgress {
    int64_t PagesDone = 0;
    int64_t Pages = 0;
    int64_t BlocksDone = 0;  // of the current page
    int64_t BlocksPerPage = 0;
    int64_t Bytes = 0;  // written so far
    int64_t BytesTotal = 0;
    std::string Calibration = "0.0.0";  // erase.write.program delays, ms
    int64_t FailedAttempts = 0;

    int Percent() const;  // of the bytes, 0..100
};

// "3.0.12": the erase, write and program delays.
std::string CalibrationText(const CalibrationChanged& calibration);
WriteProgress ProgressOf(const WriteProgressEvent& progress, const CalibrationChanged& calibration);

// Follows one operation of a session: whether its writing began, and the last progress and
// calibration. A new operation starts it afresh.
class WriteFollower : public ISessionEvents {
  public:
    void OnStarted(const OperationStarted& e) override;
    void OnProgress(const WriteProgressEvent& e) override;
    void OnCalibration(const CalibrationChanged& e) override;
    void OnEnded(const OperationEnded& e) override;

    bool Running() const { return m_running; }
    SessionOperation Operation() const { return m_operation; }
    // Whether the pages began to go out (the release gate let the write through).
    bool Writing() const { return m_writing; }
    WriteProgress Progress() const { return ProgressOf(m_progress, m_calibration); }
    // The end of the operation, once it came.
    const std::optional<OperationEnded>& Ended() const { return m_ended; }

  private:
    bool m_running = false;
    bool m_writing = false;
    SessionOperation m_operation = SessionOperation::Detect;
    WriteProgressEvent m_progress;
    CalibrationChanged m_calibration;
    std::optional<OperationEnded> m_ended;
};

}  // namespace velor::cli
