#include "cli/output/ProgressLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/Ansi.h"
#include "cli/output/Summary.h"
#include "cli/text/Translate.h"

namespace velor::cli {

namespace {

constexpr int kMinBar = 10;
constexpr int kMaxBar = 40;

std::string Counts(const WriteProgress& p) {
    return Tr("page ") + std::to_string(p.PagesDone) + "/" + std::to_string(p.Pages) +
           Tr("  block ") + std::to_string(p.BlocksDone) + "/" + std::to_string(p.BlocksPerPage) +
           "  " + GroupThousands(p.Bytes) + "/" + GroupThousands(p.BytesTotal) + Tr(" B");
}

std::string Times(const ProgressTimes& t) {
    return FormatDuration(t.Elapsed) + Tr("  ETA ") +
           (t.Remaining ? FormatDuration(*t.Remaining) : std::string("--:--"));
}

std::string PercentText(const WriteProgress& p) {
    std::string text = std::to_string(p.Percent()) + "%";
    return std::string(4 - std::min<std::size_t>(4, text.size()), ' ') + text;
}

}  // namespace

std::string FormatDuration(double seconds) {
    if (!(seconds >= 0) || !std::isfinite(seconds)) {
        seconds = 0;
    }
    const auto total = static_cast<long long>(seconds);
    const long long h = total / 3600;
    const long long m = total / 60 % 60;
    const long long s = total % 60;
    char buffer[32];
    if (h > 0) {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", h, m, s);
    } else {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", m, s);
    }
    return buffer;
}

std::optional<double> EstimateRemaining(const WriteProgress& progress, double writingSeconds) {
    if (progress.Bytes <= 0 || progress.BytesTotal <= 0 || writingSeconds <= 0) {
        return std::nullopt;
    }
    const double rate = static_cast<double>(progress.Bytes) / writingSeconds;
    return static_cast<double>(progress.BytesTotal - progress.Bytes) / rate;
}

std::string FormatProgressLine(const WriteProgress& progress, const ProgressTimes& times, int width,
                               bool colour) {
    const std::string tail = PercentText(progress) + "  " + Counts(progress) + "  " + Times(times) +
                             Tr("  delays ") + progress.Calibration;
    // Columns are characters: a Ukrainian tail has twice as many bytes.
    const int room = width - static_cast<int>(Utf8Length(tail)) - 3;  // "[", "]", " "
    if (room < kMinBar) {
        return std::string(Utf8Prefix(tail, width > 0 ? static_cast<std::size_t>(width) : 0));
    }
    const int bar = std::min(room, kMaxBar);
    const int filled = static_cast<int>(static_cast<int64_t>(bar) * progress.Percent() / 100);
    std::string line = "[";
    if (colour) {
        line += "\033[32m";
    }
    line += std::string(filled, '#');
    if (colour) {
        line += "\033[0m";
    }
    line += std::string(bar - filled, '.') + "] " + tail;
    return line;
}

std::string FormatIdentifyingLine(const std::string& port, double elapsed) {
    return Tr("identifying the device on ") + port + "...  " + FormatDuration(elapsed);
}

std::string FormatPlainProgress(const WriteProgress& progress, const ProgressTimes& times) {
    return Tr("write: ") + std::to_string(progress.Percent()) + "%  " + Counts(progress) +
           Tr("  elapsed ") + Times(times) + Tr("  delays ") + progress.Calibration;
}

bool NoColorRequested(const char* noColorValue) {
    return noColorValue != nullptr && noColorValue[0] != '\0';
}

}  // namespace velor::cli
