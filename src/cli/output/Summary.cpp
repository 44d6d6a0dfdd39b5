#include "cli/output/Summary.h"

#include <cstdio>

#include "cli/text/Translate.h"

namespace velor::cli {

std::string GroupThousands(int64_t value) {
    const bool negative = value < 0;
    const uint64_t magnitude =
        negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    std::string out;
    const std::size_t lead = digits.size() % 3;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (i + 3 - lead) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

std::string FormatSummary(const WriteProgress& progress, double seconds) {
    const double rate = seconds > 0 ? static_cast<double>(progress.Bytes) / 1024.0 / seconds : 0;
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%.1f s, %.1f KB/s", seconds, rate);
    return Tr("Wrote ") + GroupThousands(progress.Bytes) + Tr(" bytes (") +
           std::to_string(progress.PagesDone) +
           (progress.PagesDone == 1 ? Tr(" page") : Tr(" pages")) + Tr(") in ") + numbers + "; " +
           std::to_string(progress.FailedAttempts) +
           (progress.FailedAttempts == 1 ? Tr(" failed attempt") : Tr(" failed attempts")) +
           Tr("; calibration ") + progress.Calibration;
}

}  // namespace velor::cli
