#include "cli/production/StationBoard.h"

#include <algorithm>
#include <cstdio>

#include "cli/output/ControlEscapes.h"
#include "cli/output/JsonEvents.h"
#include "cli/records/YieldFigures.h"
#include "cli/text/Translate.h"

namespace velor::cli {

namespace {

constexpr std::size_t kFailureLines = 3;

std::string Fixed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

double UnitsPerHour(long done, double elapsedSeconds) {
    return elapsedSeconds > 0 ? static_cast<double>(done) * 3600.0 / elapsedSeconds : 0;
}

}  // namespace

std::vector<std::string> StationFigureLines(const YieldFigures& f, double elapsedSeconds,
                                            std::size_t waiting) {
    std::vector<std::string> lines;
    lines.push_back(Tr("units/h ") + Fixed(UnitsPerHour(f.done, elapsedSeconds)) +
                    Tr("  first-pass yield ") + Fixed(f.FirstPassYield()) + " %" +
                    Tr("  cycle mean ") + Fixed(f.meanSeconds) + Tr(" s, p95 ") +
                    Fixed(f.p95Seconds) + Tr(" s"));
    std::vector<std::pair<long, std::string>> failures;
    for (const auto& [message, count] : f.failuresByMessage) {
        failures.emplace_back(count, message);
    }
    std::sort(failures.rbegin(), failures.rend());
    for (std::size_t k = 0; k < failures.size() && k < kFailureLines; ++k) {
        lines.push_back(Tr("failed ") + std::to_string(failures[k].first) + "x  " +
                        EscapeControls(failures[k].second));
    }
    if (waiting > 0) {
        lines.push_back(std::to_string(waiting) + Tr(" records wait for the record server"));
    }
    return lines;
}

JsonEvent StationFiguresEvent(const YieldFigures& f, double elapsedSeconds, std::size_t waiting) {
    std::vector<JsonObject> failures;
    for (const auto& [message, count] : f.failuresByMessage) {
        JsonObject failure;
        failure.Add("message", message).Add("count", static_cast<int64_t>(count));
        failures.push_back(std::move(failure));
    }
    JsonEvent event("station");
    event.Add("records", static_cast<int64_t>(f.records))
        .Add("done", static_cast<int64_t>(f.done))
        .AddSeconds("units_per_hour", UnitsPerHour(f.done, elapsedSeconds))
        .AddSeconds("first_pass_yield_percent", f.FirstPassYield())
        .AddSeconds("cycle_mean_seconds", f.meanSeconds)
        .AddSeconds("cycle_p95_seconds", f.p95Seconds);
    event.AddObjects("failures", failures);
    event.Add("records_waiting", static_cast<int64_t>(waiting));
    return event;
}

}  // namespace velor::cli
