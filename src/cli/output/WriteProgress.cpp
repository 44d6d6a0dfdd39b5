#include "cli/output/WriteProgress.h"

namespace velor::cli {

int WriteProgress::Percent() const {
    if (BytesTotal <= 0) {
        return Pages > 0 ? static_cast<int>(PagesDone * 100 / Pages) : 0;
    }
    return static_cast<int>(Bytes * 100 / BytesTotal);
}

std::string CalibrationText(const CalibrationChanged& c) {
    return std::to_string(c.EraseDelay) + "." + std::to_string(c.WriteDelay) + "." +
           std::to_string(c.ProgramDelay);
}

WriteProgress ProgressOf(const WriteProgressEvent& e, const CalibrationChanged& c) {
    WriteProgress p;
    p.PagesDone = e.PagesDone;
    p.Pages = e.Pages;
    p.BlocksDone = e.BlocksDone;
    p.BlocksPerPage = e.BlocksPerPage;
    p.Bytes = e.Bytes;
    p.BytesTotal = e.BytesTotal;
    p.Calibration = CalibrationText(c);
    p.FailedAttempts = c.FailedAttempts;
    return p;
}

void WriteFollower::OnStarted(const OperationStarted& e) {
    m_running = true;
    m_writing = false;
    m_progress = {};
    m_calibration = {};
    m_ended.reset();
    m_operation = e.Operation;
}

void WriteFollower::OnProgress(const WriteProgressEvent& e) {
    m_writing = true;
    m_progress = e;
}

void WriteFollower::OnCalibration(const CalibrationChanged& e) {
    m_calibration = e;
}

void WriteFollower::OnEnded(const OperationEnded& e) {
    m_running = false;
    m_ended = e;
}

}  // namespace velor::cli
