#pragma once
// Where a write stands, read from the window model and the device's geometry: what the progress
// line, the JSON events and the summary report.

#include <cstdint>
#include <string>

#include "app/MainWindowModel.h"
#include "protocol/DeviceInfo.h"

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

// The delays of a calibration label ("Автокалібровка: 3.0.12" gives "3.0.12"); "0.0.0" for a
// label that does not carry three numbers.
std::string CalibrationOf(const std::string& label3);
// Every failed attempt lengthens exactly one of the three delays by 1 ms: their sum.
int64_t FailedAttemptsOf(const std::string& calibration);

WriteProgress ReadProgress(const MainWindowModel& form, const DeviceInfo& info);
// A write that has completed: every page and block.
WriteProgress CompletedProgress(const MainWindowModel& form, const DeviceInfo& info);

}  // namespace velor::cli
