#include "cli/WriteProgress.h"

#include <string_view>

#include "protocol/Texts.h"

namespace velor::cli {

namespace {

// The three decimal numbers of "a.b.c", or false.
bool ParseDelays(std::string_view text, int64_t (&delays)[3]) {
    int index = 0;
    bool digit = false;
    delays[0] = delays[1] = delays[2] = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (delays[index] > (INT64_MAX - 9) / 10) {
                return false;
            }
            delays[index] = delays[index] * 10 + (c - '0');
            digit = true;
        } else if (c == '.' && digit && index < 2) {
            ++index;
            digit = false;
        } else {
            return false;
        }
    }
    return digit && index == 2;
}

}  // namespace

int WriteProgress::Percent() const {
    if (BytesTotal <= 0) {
        return Pages > 0 ? static_cast<int>(PagesDone * 100 / Pages) : 0;
    }
    return static_cast<int>(Bytes * 100 / BytesTotal);
}

std::string CalibrationOf(const std::string& label3) {
    const std::string_view head = texts::kCalibrationHead;
    if (!label3.starts_with(head)) {
        return "0.0.0";
    }
    const std::string rest = label3.substr(head.size());
    int64_t delays[3];
    return ParseDelays(rest, delays) ? rest : "0.0.0";
}

int64_t FailedAttemptsOf(const std::string& calibration) {
    int64_t delays[3];
    return ParseDelays(calibration, delays) ? delays[0] + delays[1] + delays[2] : 0;
}

WriteProgress ReadProgress(const MainWindowModel& form, const DeviceInfo& info) {
    WriteProgress p;
    p.Pages = info.PageCount;
    p.PagesDone = form.ProgressbarReadWrite.Progress();
    p.BlocksPerPage = info.BlocksPerPage;
    p.BlocksDone = form.ProgressbarWrite.Position;
    const int64_t pageBytes = info.BlocksPerPage * info.BlockSize;
    p.BytesTotal = info.PageCount * pageBytes;
    // A full bar is either the page about to be counted or the one counted already; take the
    // pages alone then, so that the count never runs ahead of the device.
    const int64_t blocks = p.BlocksDone < form.ProgressbarWrite.Max ? p.BlocksDone : 0;
    p.Bytes = p.PagesDone * pageBytes + blocks * info.BlockSize;
    if (p.Bytes > p.BytesTotal) {
        p.Bytes = p.BytesTotal;
    }
    p.Calibration = CalibrationOf(form.Label3);
    p.FailedAttempts = FailedAttemptsOf(p.Calibration);
    return p;
}

WriteProgress CompletedProgress(const MainWindowModel& form, const DeviceInfo& info) {
    WriteProgress p = ReadProgress(form, info);
    p.PagesDone = p.Pages;
    p.BlocksDone = p.BlocksPerPage;
    p.Bytes = p.BytesTotal;
    return p;
}

}  // namespace velor::cli
